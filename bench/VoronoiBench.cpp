// The Voronoi diagram of random points: the program's sweep-line generator
// (edges clipped to a box, border pieces included), the generator followed by
// the cells the Voronoi Polygons command builds, and, when Boost is installed,
// Boost.Polygon's voronoi builder on the same points in the same run. Two
// spreads: even (10,000, 100,000 and 1,000,000 points), and clustered as real
// point layers are (100,000 and 1,000,000 points, nine in ten in one normal
// cluster of sigma extent / 2000, the rest even). Boost.Polygon takes integer
// coordinates, so the points are integers (below 2^24) for both. The summary
// at the end gives the time of each against Boost's.

#include "geometry/VoronoiCells.h"
#include "geometry/VoronoiEdgeGenerator.h"

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
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

void BM_VoronoiEdges(benchmark::State& state) {
    const PointSet& p = Points(static_cast<int>(state.range(0)), state.range(1) != 0);
    const int n = static_cast<int>(p.xs.size());
    std::size_t segments = 0;
    for (auto _ : state) {
        VoronoiEdgeGenerator generator;
        if (!generator.GenerateVoronoiEdges(p.xs.data(), p.ys.data(), n, -1.0, kExtent, -1.0, kExtent, 0.0))
            state.SkipWithError("generator failed");
        segments = generator.GetSegmentCount();
    }
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_VoronoiEdges)->Apply(Sizes)->Unit(benchmark::kMillisecond);

void BM_VoronoiCells(benchmark::State& state) {
    const PointSet& p = Points(static_cast<int>(state.range(0)), state.range(1) != 0);
    const int n = static_cast<int>(p.xs.size());
    int unchained = 0;
    for (auto _ : state) {
        VoronoiEdgeGenerator generator;
        CVoronoiCells cells;
        if (!generator.GenerateVoronoiEdges(p.xs.data(), p.ys.data(), n, -1.0, kExtent, -1.0, kExtent, 0.0) ||
            !cells.Build(generator, p.xs.data(), p.ys.data(), n, nullptr, 1e-8))
            state.SkipWithError("cells failed");
        unchained = cells.GetUnchainedCount();
    }
    state.counters["unchained"] = unchained;
}
BENCHMARK(BM_VoronoiCells)->Apply(Sizes)->Unit(benchmark::kMillisecond);

#if CORVALE_BENCH_BOOST
void BM_BoostVoronoi(benchmark::State& state) {
    const PointSet& p = Points(static_cast<int>(state.range(0)), state.range(1) != 0);
    std::vector<boost::polygon::point_data<std::int32_t>> points;
    points.reserve(p.ix.size());
    for (std::size_t i = 0; i < p.ix.size(); ++i)
        points.emplace_back(p.ix[i], p.iy[i]);
    std::size_t edges = 0;
    for (auto _ : state) {
        boost::polygon::voronoi_diagram<double> diagram;
        boost::polygon::construct_voronoi(points.begin(), points.end(), &diagram);
        edges = diagram.num_edges();
    }
    state.counters["half-edges"] = static_cast<double>(edges);
}
BENCHMARK(BM_BoostVoronoi)->Apply(Sizes)->Unit(benchmark::kMillisecond);
#endif

// After the usual table: each of the program's times against Boost's
// for the same points (medians when there are repetitions).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_BOOST
    ReportMissingPeer("Voronoi against Boost.Polygon", "Boost", "libboost-dev");
#endif
    for (const char* n : {"10000/0", "100000/0", "100000/1", "1000000/0", "1000000/1"}) {
        const double edges = medians.Time(std::string("BM_VoronoiEdges/") + n);
        const double cells = medians.Time(std::string("BM_VoronoiCells/") + n);
        const double boost = medians.Time(std::string("BM_BoostVoronoi/") + n);
        if (edges <= 0.0)
            continue;
        const std::string name(n);
        std::printf("%s points, %s: generator %.1f ms, generator and cells %.1f ms", name.substr(0, name.find('/')).c_str(),
                    name.back() == '1' ? "clustered" : "even", edges, cells);
        if (boost > 0.0)
            std::printf(", Boost.Polygon %.1f ms; generator/Boost %.2f, with cells/Boost %.2f", boost,
                        edges / boost, cells / boost);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    MedianReporter reporter("", MedianReporter::OO_Tabular, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
