// The routing plug-in's engine on a generated road grid of 501 x 501 nodes
// joined both ways to their neighbours (1,002,000 one-way links, costs drawn
// from 1 to 10): building the network, and 100 random routes between nodes
// drawn with a fixed seed. When Boost is installed, Boost Graph's Dijkstra
// runs the same 100 routes on the same links in the same run, as our search
// works: dijkstra_shortest_paths_no_init on maps set up once, stopping once
// the end node is settled and then resetting only the nodes it reached. Both
// report the sum of the route costs (the "cost" counters agree), and the
// summary at the end gives the time per route of each and their ratio.

#include "RouteEngine.h"

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#if CORVALE_BENCH_BOOST
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <boost/graph/two_bit_color_map.hpp>
#include <functional>
#include <limits>
#endif

namespace {

constexpr std::int32_t kSide = 501;
constexpr int kRoutes = 100;

struct Grid {
    std::vector<pathrill::RouteLink> links;
    std::vector<std::pair<std::int32_t, std::int32_t>> routes;
};

const Grid& TheGrid() {
    static const Grid grid = [] {
        Grid g;
        std::mt19937 random(2029);
        std::uniform_real_distribution<double> cost(1.0, 10.0);
        auto add = [&](std::int32_t from, std::int32_t to) {
            pathrill::RouteLink link;
            link.shape = static_cast<std::uint32_t>(g.links.size() + 1);
            link.from = from;
            link.to = to;
            link.cost = cost(random);
            link.endX = to % kSide;
            link.endY = to / kSide;
            g.links.push_back(link);
        };
        for (std::int32_t y = 0; y < kSide; ++y)
            for (std::int32_t x = 0; x < kSide; ++x) {
                const std::int32_t n = y * kSide + x;
                if (x + 1 < kSide) {
                    add(n, n + 1);
                    add(n + 1, n);
                }
                if (y + 1 < kSide) {
                    add(n, n + kSide);
                    add(n + kSide, n);
                }
            }
        std::uniform_int_distribution<std::int32_t> node(0, kSide * kSide - 1);
        while (g.routes.size() < kRoutes) {
            const std::int32_t a = node(random);
            const std::int32_t b = node(random);
            if (a != b)
                g.routes.emplace_back(a, b);
        }
        return g;
    }();
    return grid;
}

void BM_BuildNetwork(benchmark::State& state) {
    const Grid& grid = TheGrid();
    for (auto _ : state) {
        pathrill::RouteNetwork network;
        benchmark::DoNotOptimize(network.Build(grid.links).links);
    }
    state.counters["links"] = static_cast<double>(grid.links.size());
}
BENCHMARK(BM_BuildNetwork)->Unit(benchmark::kMillisecond);

void BM_RoutesEngine(benchmark::State& state) {
    const Grid& grid = TheGrid();
    pathrill::RouteNetwork network;
    network.Build(grid.links);
    pathrill::RouteSearch search(network);
    pathrill::RouteLeg leg;
    double total = 0.0;
    for (auto _ : state) {
        total = 0.0;
        for (const auto& [from, to] : grid.routes) {
            if (search.Run(from, to, leg))
                total += leg.cost;
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["cost"] = total;
    state.counters["routes/s"] = benchmark::Counter(kRoutes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RoutesEngine)->Unit(benchmark::kMillisecond);

#if CORVALE_BENCH_BOOST
struct EdgeCost {
    double cost;
};
using BoostGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, EdgeCost>;
using BoostVertex = boost::graph_traits<BoostGraph>::vertex_descriptor;

struct Reached {};

// Ends the search once the end node comes off the queue, as our search does,
// and notes every node the search reached, to reset only those.
class StopAtEnd : public boost::default_dijkstra_visitor {
public:
    StopAtEnd(BoostVertex end, std::vector<BoostVertex>& reached) : m_End(end), m_Reached(&reached) {}
    void discover_vertex(BoostVertex v, const BoostGraph&) const { m_Reached->push_back(v); }
    void examine_vertex(BoostVertex v, const BoostGraph&) const {
        if (v == m_End)
            throw Reached();
    }

private:
    BoostVertex m_End;
    std::vector<BoostVertex>* m_Reached;
};

void BM_RoutesBoost(benchmark::State& state) {
    const Grid& grid = TheGrid();
    std::vector<std::pair<BoostVertex, BoostVertex>> edges;
    std::vector<EdgeCost> costs;
    edges.reserve(grid.links.size());
    costs.reserve(grid.links.size());
    for (const pathrill::RouteLink& link : grid.links) {
        edges.emplace_back(static_cast<BoostVertex>(link.from), static_cast<BoostVertex>(link.to));
        costs.push_back({link.cost});
    }
    const BoostGraph graph(boost::edges_are_unsorted_multi_pass, edges.begin(), edges.end(), costs.begin(),
                           static_cast<std::size_t>(kSide) * kSide);
    // Set up once, as the engine's own arrays are; each search leaves them
    // as it found them.
    const std::size_t nodes = boost::num_vertices(graph);
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> distance(nodes, infinity);
    std::vector<BoostVertex> predecessor(nodes);
    for (std::size_t v = 0; v < nodes; ++v)
        predecessor[v] = static_cast<BoostVertex>(v);
    const auto index = boost::get(boost::vertex_index, graph);
    boost::two_bit_color_map<decltype(index)> color(nodes, index);
    std::vector<BoostVertex> reached;
    double total = 0.0;
    for (auto _ : state) {
        total = 0.0;
        for (const auto& [from, to] : grid.routes) {
            const auto start = static_cast<BoostVertex>(from);
            const auto end = static_cast<BoostVertex>(to);
            reached.clear();
            distance[start] = 0.0;
            try {
                boost::dijkstra_shortest_paths_no_init(
                    graph, start, boost::make_iterator_property_map(predecessor.begin(), index),
                    boost::make_iterator_property_map(distance.begin(), index), boost::get(&EdgeCost::cost, graph),
                    index, std::less<double>(), boost::closed_plus<double>(infinity), 0.0, StopAtEnd(end, reached),
                    color);
            } catch (const Reached&) {
            }
            // The route itself, walked back as ours is.
            std::size_t links = 0;
            for (BoostVertex v = end; v != static_cast<BoostVertex>(from); v = predecessor[v])
                ++links;
            benchmark::DoNotOptimize(links);
            total += distance[end];
            for (BoostVertex v : reached) {
                distance[v] = infinity;
                predecessor[v] = v;
                boost::put(color, v, boost::two_bit_white);
            }
            distance[start] = infinity;
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["cost"] = total;
    state.counters["routes/s"] = benchmark::Counter(kRoutes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RoutesBoost)->Unit(benchmark::kMillisecond);
#endif

// After the usual table: the time per route of each and the ratio
// (the median of the repetitions, when there are several).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_BOOST
    ReportMissingPeer("routes against Boost Graph", "Boost", "libboost-dev and libboost-graph-dev");
#endif
    const double ours = medians.Rate("BM_RoutesEngine");
    const double boost = medians.Rate("BM_RoutesBoost");
    if (ours > 0.0)
        std::printf("route engine: %.3f ms per route\n", 1000.0 / ours);
    if (boost > 0.0)
        std::printf("Boost Graph dijkstra_shortest_paths_no_init: %.3f ms per route\n", 1000.0 / boost);
    if (ours > 0.0 && boost > 0.0)
        std::printf("time per route, engine/Boost: %.2f\n", boost / ours);
}

} // namespace

int main(int argc, char** argv) {
    MedianReporter reporter("routes/s", MedianReporter::OO_Tabular, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
