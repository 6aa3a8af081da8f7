// The Voronoi diagram of random points, the program's against Boost.Polygon's
// on the same points in the same run. Two spreads: even (10,000, 100,000
// and 1,000,000 points), and clustered as real point layers are (100,000 and
// 1,000,000 points, nine in ten in one normal cluster of sigma extent / 2000,
// the rest even). Boost.Polygon takes integer coordinates, so the points are
// integers (below 2^24) for both.
//
// What each line times:
// - generator: the program's sweep, giving the Voronoi edges clipped to a
//   box around the points with the two sites of each, and the pieces of
//   the box's border;
// - generator and cells: that and the cells the Voronoi Polygons command
//   builds from it, a closed clockwise ring of points per site;
// - Boost diagram: construct_voronoi, giving Boost's half-edge diagram: the
//   cells, each with its edges linked in order, the edges and the vertices,
//   infinite edges left unclipped and no ring of points;
// - Boost diagram and rings: that and what a program does to get the same
//   rings out of it: each cell's edges walked, infinite edges given far
//   ends, the cells that reach past the box clipped to it, each ring closed
//   and turned clockwise.
// Like for like is "generator and cells" against "Boost diagram and rings";
// "generator and cells" against the bare diagram is the stricter figure.
// The summary also gives the rings and points each side made, which agree
// but for the rounding of the clipped border cells.
//
// Each spread and size is one row: the program's run and Boost's, each from
// nothing and timed once by the wall clock, taken in turn kRounds times, so
// that both follow the same history of the heap; the medians are the row's
// counters (the row's own time is that of all the rounds).

#include "geometry/VoronoiCells.h"
#include "geometry/VoronoiEdgeGenerator.h"

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#if CORVALE_BENCH_BOOST
#include <boost/polygon/voronoi.hpp>
#endif

namespace {

constexpr std::int32_t kExtent = 1 << 24;

struct PointSet {
    std::vector<std::int32_t> ix, iy;
    std::vector<double> xs, ys;
};

// Distinct random integer points, the same for every benchmark of a size and
// spread.
const PointSet& Points(int n, bool clustered) {
    static std::map<std::pair<int, bool>, PointSet> sets;
    PointSet& set = sets[{n, clustered}];
    if (set.xs.empty()) {
        std::mt19937 random(20261211u + static_cast<unsigned>(n));
        std::uniform_int_distribution<std::int32_t> coordinate(0, kExtent - 1);
        std::normal_distribution<double> near(kExtent / 2.0, kExtent / 2000.0);
        std::uniform_int_distribution<int> tenth(0, 9);
        const auto draw = [&]() -> std::pair<std::int32_t, std::int32_t> {
            if (!clustered || tenth(random) == 0) {
                const std::int32_t x = coordinate(random);
                return {x, coordinate(random)};
            }
            const auto x = static_cast<std::int32_t>(std::lround(near(random)));
            return {x, static_cast<std::int32_t>(std::lround(near(random)))};
        };
        std::vector<std::pair<std::int32_t, std::int32_t>> points;
        points.reserve(static_cast<std::size_t>(n) + n / 8);
        while (static_cast<int>(points.size()) < n) {
            while (static_cast<int>(points.size()) < n)
                points.push_back(draw());
            std::sort(points.begin(), points.end());
            points.erase(std::unique(points.begin(), points.end()), points.end());
        }
        // Back into random order: neither side is handed sorted input.
        std::shuffle(points.begin(), points.end(), random);
        for (const auto& p : points) {
            set.ix.push_back(p.first);
            set.iy.push_back(p.second);
            set.xs.push_back(p.first);
            set.ys.push_back(p.second);
        }
    }
    return set;
}

// Points and spread (1: clustered).
void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({10000, 0})->Args({100000, 0})->Args({100000, 1})->Args({1000000, 0})->Args({1000000, 1});
}

constexpr int kRounds = 7;

// The box both sides clip to, around every point.
constexpr double kBoxMin = -1.0;
constexpr double kBoxMax = kExtent;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// One run of each side: how long it took to its first result and to its
// rings, and the rings and their points it made.
struct Timing {
    double first = 0.0;
    double rings = 0.0;
    std::size_t ringCount = 0;
    std::size_t pointCount = 0;
};

Timing RunProgram(const PointSet& p) {
    const int n = static_cast<int>(p.xs.size());
    Timing t;
    VoronoiEdgeGenerator generator;
    CVoronoiCells cells;
    const Clock::time_point start = Clock::now();
    if (!generator.GenerateVoronoiEdges(p.xs.data(), p.ys.data(), n, kBoxMin, kBoxMax, kBoxMin, kBoxMax, 0.0))
        std::abort();
    const Clock::time_point generated = Clock::now();
    if (!cells.Build(generator, p.xs.data(), p.ys.data(), n, nullptr, 1e-8))
        std::abort();
    const Clock::time_point built = Clock::now();
    t.first = Milliseconds(start, generated);
    t.rings = Milliseconds(start, built);
    for (int site = 0; site < n; ++site)
        if (cells.GetStatus(site) == CVoronoiCells::CS_Ring) {
            ++t.ringCount;
            t.pointCount += cells.GetRingSize(site);
        }
    return t;
}

#if CORVALE_BENCH_BOOST
struct XY {
    double x;
    double y;
};

// Cuts a ring (not closed) to the side of a box edge where inside(p) holds;
// cross(a, b) is where the segment from a to b crosses the edge.
template <class Inside, class Cross>
void ClipToEdge(std::vector<XY>& ring, std::vector<XY>& out, Inside inside, Cross cross) {
    out.clear();
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const XY& a = ring[i];
        const XY& b = ring[(i + 1) % ring.size()];
        const bool aIn = inside(a);
        const bool bIn = inside(b);
        if (aIn)
            out.push_back(a);
        if (aIn != bIn)
            out.push_back(cross(a, b));
    }
    ring.swap(out);
}

// Sutherland and Hodgman's clipping of a convex ring to the box.
void ClipToBox(std::vector<XY>& ring, std::vector<XY>& scratch) {
    const auto atX = [](const XY& a, const XY& b, double x) {
        return XY{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
    const auto atY = [](const XY& a, const XY& b, double y) {
        return XY{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
    ClipToEdge(ring, scratch, [](const XY& p) { return p.x >= kBoxMin; },
               [&](const XY& a, const XY& b) { return atX(a, b, kBoxMin); });
    ClipToEdge(ring, scratch, [](const XY& p) { return p.x <= kBoxMax; },
               [&](const XY& a, const XY& b) { return atX(a, b, kBoxMax); });
    ClipToEdge(ring, scratch, [](const XY& p) { return p.y >= kBoxMin; },
               [&](const XY& a, const XY& b) { return atY(a, b, kBoxMin); });
    ClipToEdge(ring, scratch, [](const XY& p) { return p.y <= kBoxMax; },
               [&](const XY& a, const XY& b) { return atY(a, b, kBoxMax); });
}

using BoostDiagram = boost::polygon::voronoi_diagram<double>;

// Each cell's ring out of Boost's diagram, as the program's cells give
// them: the cell's edges walked (counterclockwise in Boost), an infinite
// edge given a far end beyond the box along its bisector, a cell reaching
// past the box clipped to it, the ring closed and turned clockwise.
void BoostRings(const BoostDiagram& diagram, const std::vector<boost::polygon::point_data<std::int32_t>>& sites,
                std::vector<XY>& points, std::vector<std::size_t>& starts) {
    const double side = kBoxMax - kBoxMin;
    const double centre = (kBoxMin + kBoxMax) / 2.0;
    std::vector<XY> ring;
    std::vector<XY> scratch;
    points.reserve(sites.size() * 8);
    starts.reserve(sites.size() + 1);
    for (const BoostDiagram::cell_type& cell : diagram.cells()) {
        const BoostDiagram::edge_type* first = cell.incident_edge();
        if (first == nullptr)
            continue;
        ring.clear();
        bool clip = false;
        const BoostDiagram::edge_type* edge = first;
        do {
            const BoostDiagram::vertex_type* v0 = edge->vertex0();
            const BoostDiagram::vertex_type* v1 = edge->vertex1();
            if (v0 != nullptr) {
                ring.push_back({v0->x(), v0->y()});
                clip = clip || v0->x() < kBoxMin || v0->x() > kBoxMax || v0->y() < kBoxMin || v0->y() > kBoxMax;
            }
            if (v0 == nullptr || v1 == nullptr) {
                // The bisector of the cell's site and its neighbour's, run
                // with the cell on its left.
                const auto& p1 = sites[edge->cell()->source_index()];
                const auto& p2 = sites[edge->twin()->cell()->source_index()];
                const double dx = static_cast<double>(p1.y()) - p2.y();
                const double dy = static_cast<double>(p2.x()) - p1.x();
                XY origin{(static_cast<double>(p1.x()) + p2.x()) / 2.0, (static_cast<double>(p1.y()) + p2.y()) / 2.0};
                if (v0 != nullptr)
                    origin = {v0->x(), v0->y()};
                else if (v1 != nullptr)
                    origin = {v1->x(), v1->y()};
                const double reach =
                    2.0 * side + std::max(std::fabs(origin.x - centre), std::fabs(origin.y - centre));
                const double k = reach / std::max(std::fabs(dx), std::fabs(dy));
                if (v0 == nullptr)
                    ring.push_back({origin.x - dx * k, origin.y - dy * k});
                if (v1 == nullptr)
                    ring.push_back({origin.x + dx * k, origin.y + dy * k});
                clip = true;
            }
            edge = edge->next();
        } while (edge != first);
        if (clip)
            ClipToBox(ring, scratch);
        if (ring.size() < 3)
            continue;
        starts.push_back(points.size());
        points.push_back(ring[0]);
        for (std::size_t i = ring.size() - 1; i > 0; --i)
            points.push_back(ring[i]);
        points.push_back(ring[0]);
    }
    starts.push_back(points.size());
}

Timing RunBoost(const std::vector<boost::polygon::point_data<std::int32_t>>& sites) {
    Timing t;
    BoostDiagram diagram;
    std::vector<XY> points;
    std::vector<std::size_t> starts;
    const Clock::time_point start = Clock::now();
    boost::polygon::construct_voronoi(sites.begin(), sites.end(), &diagram);
    const Clock::time_point constructed = Clock::now();
    BoostRings(diagram, sites, points, starts);
    const Clock::time_point ringed = Clock::now();
    t.first = Milliseconds(start, constructed);
    t.rings = Milliseconds(start, ringed);
    t.ringCount = starts.size() - 1;
    t.pointCount = points.size();
    return t;
}
#endif

void BM_Voronoi(benchmark::State& state) {
    const PointSet& p = Points(static_cast<int>(state.range(0)), state.range(1) != 0);
#if CORVALE_BENCH_BOOST
    std::vector<boost::polygon::point_data<std::int32_t>> sites;
    sites.reserve(p.ix.size());
    for (std::size_t i = 0; i < p.ix.size(); ++i)
        sites.emplace_back(p.ix[i], p.iy[i]);
#endif
    std::vector<double> generator, cells, diagram, rings;
    Timing program;
    Timing boost;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            program = RunProgram(p);
            generator.push_back(program.first);
            cells.push_back(program.rings);
#if CORVALE_BENCH_BOOST
            boost = RunBoost(sites);
            diagram.push_back(boost.first);
            rings.push_back(boost.rings);
#endif
        }
    }
    state.counters["generator ms"] = MedianOf(generator);
    state.counters["cells ms"] = MedianOf(cells);
    state.counters["rings"] = static_cast<double>(program.ringCount);
    state.counters["points"] = static_cast<double>(program.pointCount);
#if CORVALE_BENCH_BOOST
    state.counters["Boost ms"] = MedianOf(diagram);
    state.counters["Boost rings ms"] = MedianOf(rings);
    state.counters["Boost rings"] = static_cast<double>(boost.ringCount);
    state.counters["Boost points"] = static_cast<double>(boost.pointCount);
#endif
}
BENCHMARK(BM_Voronoi)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);

// After the usual table: each of the program's times against Boost's
// for the same points.
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_BOOST
    ReportMissingPeer("Voronoi against Boost.Polygon", "Boost", "libboost-dev");
#endif
    for (const char* n : {"10000/0", "100000/0", "100000/1", "1000000/0", "1000000/1"}) {
        const std::string row = std::string("BM_Voronoi/") + n;
        const double edges = medians.Counter(row, "generator ms");
        const double cells = medians.Counter(row, "cells ms");
        const double diagram = medians.Counter(row, "Boost ms");
        const double rings = medians.Counter(row, "Boost rings ms");
        if (edges <= 0.0)
            continue;
        const std::string name(n);
        std::printf("%s points, %s (medians of %d runs in turn): generator %.1f ms, generator and cells %.1f ms",
                    name.substr(0, name.find('/')).c_str(), name.back() == '1' ? "clustered" : "even", kRounds,
                    edges, cells);
        if (diagram > 0.0 && rings > 0.0)
            std::printf("; Boost diagram %.1f ms, diagram and rings %.1f ms; generator/diagram %.2f, "
                        "with cells/diagram %.2f, with cells/diagram and rings %.2f; rings %.0f and %.0f, "
                        "points %.0f and %.0f",
                        diagram, rings, edges / diagram, cells / diagram, cells / rings,
                        medians.Counter(row, "rings"), medians.Counter(row, "Boost rings"),
                        medians.Counter(row, "points"), medians.Counter(row, "Boost points"));
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    MedianReporter reporter("", MedianReporter::OO_Tabular, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
