// The routing plug-in's engine on a generated road grid of 501 x 501 nodes
// joined both ways to their neighbours (1,002,000 one-way links, costs drawn
// from 1 to 10): building the network, and 100 random routes between nodes
// drawn with a fixed seed. When Boost is installed, Boost Graph's
// dijkstra_shortest_paths runs the same 100 routes on the same links in the
// same run, stopping as ours does once the end node is settled; both report
// the sum of the route costs (the "cost" counters agree), and the summary at
// the end gives the time per route of each and their ratio.

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

// Ends the search once the end node comes off the queue, as our search does.
class StopAtEnd : public boost::default_dijkstra_visitor {
public:
    explicit StopAtEnd(BoostVertex end) : m_End(end) {}
    void examine_vertex(BoostVertex v, const BoostGraph&) const {
        if (v == m_End)
            throw Reached();
    }

private:
    BoostVertex m_End;
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
    std::vector<double> distance(boost::num_vertices(graph));
    std::vector<BoostVertex> predecessor(boost::num_vertices(graph));
    double total = 0.0;
    for (auto _ : state) {
        total = 0.0;
        for (const auto& [from, to] : grid.routes) {
            const auto end = static_cast<BoostVertex>(to);
            try {
                boost::dijkstra_shortest_paths(
                    graph, static_cast<BoostVertex>(from),
                    boost::predecessor_map(
                        boost::make_iterator_property_map(predecessor.begin(), boost::get(boost::vertex_index, graph)))
                        .distance_map(
                            boost::make_iterator_property_map(distance.begin(), boost::get(boost::vertex_index, graph)))
                        .weight_map(boost::get(&EdgeCost::cost, graph))
                        .visitor(StopAtEnd(end)));
            } catch (const Reached&) {
            }
            // The route itself, walked back as ours is.
            std::size_t links = 0;
            for (BoostVertex v = end; v != static_cast<BoostVertex>(from); v = predecessor[v])
                ++links;
            benchmark::DoNotOptimize(links);
            total += distance[end];
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["cost"] = total;
    state.counters["routes/s"] = benchmark::Counter(kRoutes, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RoutesBoost)->Unit(benchmark::kMillisecond);
#endif

// Prints the usual table, then the time per route of each and the ratio
// (the median of the repetitions, when there are several).
class RatioReporter : public MedianReporter {
public:
    RatioReporter() : MedianReporter("routes/s", OO_Tabular) {}

protected:
    void Summarise() override {
        const double ours = m_Medians.Rate("BM_RoutesEngine");
        const double boost = m_Medians.Rate("BM_RoutesBoost");
        if (ours > 0.0)
            std::printf("route engine: %.3f ms per route\n", 1000.0 / ours);
        if (boost > 0.0)
            std::printf("Boost Graph dijkstra_shortest_paths: %.3f ms per route\n", 1000.0 / boost);
        if (ours > 0.0 && boost > 0.0)
            std::printf("time per route, engine/Boost: %.2f\n", boost / ours);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
