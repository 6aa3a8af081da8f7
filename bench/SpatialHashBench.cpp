// Selection on a polygon theme of 200,000 generated polygons: building the
// spatial hash, then selecting by 1,000 random rectangles and by 1,000 clicks,
// once through the hash and once by a linear scan of every visible polygon,
// in the same run. Both paths select the same shapes (the "hits" counters
// agree); the summary at the end says how much faster the hash is.
//
// Then window queries at scale: 10,000 windows over 1,000,000 and 4,000,000
// boxes, through the hash and, when Boost is installed, through a bulk-loaded
// Boost.Geometry R-tree holding the same boxes (read through its query(), as
// its documentation advises), in the same run. Both count the boxes that meet
// each window (the "hits" counters agree). Building each is timed too, as
// one-shot builds taken in turn (see BM_WindowBuild), with the heap it holds
// afterwards per box; the summary gives the ratios.

#include "core/Theme.h"
#include "geometry/SelectionHitTests.h"
#include "geometry/SpatialPredicates.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#if CORVALE_BENCH_BOOST
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#endif

namespace {

constexpr int kPolygons = 200000;
constexpr int kQueries = 1000;
constexpr double kExtent = 1000.0;

struct World {
    std::vector<std::unique_ptr<unsigned char[]>> records;
    CTheme theme;
    std::vector<CDoubleRect> rectangles;
    std::vector<CShapePoint> clicks;
};

// Irregular convex-ish rings of 6 to 10 vertices, 0.3 to 1.5 units across,
// scattered over a 1000 x 1000 square: about 200 polygons per cell of the
// 50 x 50 grid, as on a detailed parcel map.
World& GetWorld() {
    static World* world = [] {
        auto* w = new World;
        std::mt19937 random(20240611);
        std::uniform_real_distribution<double> position(0.0, kExtent);
        std::uniform_real_distribution<double> radius(0.3, 1.5);
        std::uniform_real_distribution<double> wobble(0.7, 1.0);
        std::uniform_int_distribution<int> corners(6, 10);
        w->theme.m_ShapeType = SHT_Polygon;
        w->records.reserve(kPolygons);
        for (int i = 0; i < kPolygons; ++i) {
            const double cx = position(random);
            const double cy = position(random);
            const double r = radius(random);
            const int n = corners(random);
            auto bytes = WobblyRing(random, wobble, cx, cy, r, n, static_cast<std::uint32_t>(i + 1));
            if (!CTheme::ShapeCallback(&w->theme, CShapeRecord::FromBytes(bytes.get()), 0))
                std::abort();
            w->records.push_back(std::move(bytes));
        }
        w->theme.ResetFilter();
        w->theme.BuildSpatialIndex();
        if (!w->theme.m_SpatialIndex)
            std::abort();

        std::uniform_real_distribution<double> side(1.0, 20.0);
        for (int q = 0; q < kQueries; ++q) {
            w->rectangles.push_back(RandomBox(random, position, side));
            w->clicks.push_back({position(random), position(random)});
        }
        return w;
    }();
    return *world;
}

void Select(CTheme& theme, CShapeRecord* record, int position) {
    const int shapeIndex = GetShapeRecordIndex(record);
    theme.AddToSelection(shapeIndex, position, theme.m_LineWidth, 0x0000FF);
}

void Report(benchmark::State& state, std::size_t hits) {
    state.counters["queries/s"] =
        benchmark::Counter(static_cast<double>(kQueries) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_BuildHash(benchmark::State& state) {
    CTheme& theme = GetWorld().theme;
    for (auto _ : state) {
        theme.DeleteSpatialIndex();
        theme.BuildSpatialIndex();
        benchmark::DoNotOptimize(theme.m_SpatialIndex.get());
    }
}
BENCHMARK(BM_BuildHash)->Unit(benchmark::kMillisecond);

void BM_RectanglesHash(benchmark::State& state) {
    World& world = GetWorld();
    CTheme& theme = world.theme;
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const CDoubleRect& rect : world.rectangles) {
            theme.m_SpatialIndex->ForEachCandidate(rect, [&](CShapeRecord* record) {
                if (PolygonHitByRectangle(record, rect))
                    Select(theme, record, theme.GetShapePosition(GetShapeRecordIndex(record)));
                return true;
            });
            hits += theme.m_Selection.size();
            theme.ClearSelection();
        }
    }
    Report(state, hits);
}
BENCHMARK(BM_RectanglesHash)->Unit(benchmark::kMillisecond);

void BM_RectanglesLinear(benchmark::State& state) {
    World& world = GetWorld();
    CTheme& theme = world.theme;
    const int count = theme.GetShapeCount();
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const CDoubleRect& rect : world.rectangles) {
            for (int position = 0; position < count; ++position) {
                CShapeRecord* record = theme.GetShape(position);
                if (PolygonHitByRectangle(record, rect))
                    Select(theme, record, position);
            }
            hits += theme.m_Selection.size();
            theme.ClearSelection();
        }
    }
    Report(state, hits);
}
BENCHMARK(BM_RectanglesLinear)->Unit(benchmark::kMillisecond);

void BM_ClicksHash(benchmark::State& state) {
    World& world = GetWorld();
    CTheme& theme = world.theme;
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const CShapePoint& click : world.clicks) {
            theme.m_SpatialIndex->ForEachCandidate(
                CDoubleRect(click.x, click.y, click.x, click.y), [&](CShapeRecord* record) {
                    if (PointInPolygon(record, click))
                        Select(theme, record, theme.GetShapePosition(GetShapeRecordIndex(record)));
                    return true;
                });
            hits += theme.m_Selection.size();
            theme.ClearSelection();
        }
    }
    Report(state, hits);
}
BENCHMARK(BM_ClicksHash)->Unit(benchmark::kMillisecond);

void BM_ClicksLinear(benchmark::State& state) {
    World& world = GetWorld();
    CTheme& theme = world.theme;
    const int count = theme.GetShapeCount();
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const CShapePoint& click : world.clicks) {
            for (int position = 0; position < count; ++position) {
                CShapeRecord* record = theme.GetShape(position);
                if (PointInPolygon(record, click))
                    Select(theme, record, position);
            }
            hits += theme.m_Selection.size();
            theme.ClearSelection();
        }
    }
    Report(state, hits);
}
BENCHMARK(BM_ClicksLinear)->Unit(benchmark::kMillisecond);

// Boxes 0.05 to 1.5 units across, as two-point polylines from corner to
// corner, scattered over the 1000 x 1000 square; the windows 1 to 10 units
// across.
constexpr int kWindows = 10000;

struct BoxWorld {
    std::vector<std::unique_ptr<unsigned char[]>> records;
    std::vector<CShapeRecord*> shapes;
    std::vector<CDoubleRect> boxes;
    std::unique_ptr<CShapeAreaHashTable> hash;
    std::vector<CDoubleRect> windows;
};

BoxWorld& GetBoxWorld(std::size_t count) {
    static std::map<std::size_t, std::unique_ptr<BoxWorld>> worlds;
    std::unique_ptr<BoxWorld>& slot = worlds[count];
    if (slot)
        return *slot;
    // One world at a time: 4,000,000 records are large.
    worlds.clear();
    worlds[count] = std::make_unique<BoxWorld>();
    BoxWorld& w = *worlds[count];
    std::mt19937 random(static_cast<unsigned>(count));
    std::uniform_real_distribution<double> position(0.0, kExtent);
    std::uniform_real_distribution<double> size(0.05, 1.5);
    w.records.reserve(count);
    w.boxes.reserve(count);
    w.shapes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double x = position(random);
        const double y = position(random);
        const double x2 = x + size(random);
        const double y2 = y + size(random);
        CShapeRecordBuilder builder;
        builder.m_PartCount = 1;
        builder.m_PointCount = 2;
        builder.m_RecordNumber = static_cast<std::uint32_t>(i + 1);
        auto bytes = std::make_unique<unsigned char[]>(CShapeRecordBuilder::RecordSize(1, 2));
        builder.m_Record = bytes.get();
        if (!builder.BeginPolyline() || !builder.AddPoint(x, y) || !builder.AddPoint(x2, y2))
            std::abort();
        w.shapes.push_back(CShapeRecord::FromBytes(bytes.get()));
        w.records.push_back(std::move(bytes));
        w.boxes.emplace_back(x, y, x2, y2);
    }
    std::uniform_real_distribution<double> side(1.0, 10.0);
    for (int q = 0; q < kWindows; ++q) {
        w.windows.push_back(RandomBox(random, position, side));
    }
    return w;
}

void BuildBoxHash(BoxWorld& w) {
    w.hash = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, kExtent + 1.5, kExtent + 1.5);
    w.hash->Reserve(w.records.size());
    if (w.hash->InsertRecords(w.shapes.data(), w.shapes.size()) != 0)
        std::abort();
    w.hash->Pack();
}

void ReportWindows(benchmark::State& state, std::size_t hits) {
    state.counters["queries/s"] =
        benchmark::Counter(static_cast<double>(kWindows) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["hits"] = static_cast<double>(hits);
}

#if CORVALE_BENCH_BOOST
namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using RtreePoint = bg::model::point<double, 2, bg::cs::cartesian>;
using RtreeBox = bg::model::box<RtreePoint>;
using RtreeValue = std::pair<RtreeBox, std::uint32_t>;
using Rtree = bgi::rtree<RtreeValue, bgi::rstar<16>>;

std::unique_ptr<Rtree> BuildRtree(const BoxWorld& w) {
    std::vector<RtreeValue> values;
    values.reserve(w.boxes.size());
    for (std::size_t i = 0; i < w.boxes.size(); ++i) {
        const CDoubleRect& b = w.boxes[i];
        values.emplace_back(RtreeBox(RtreePoint(b.x1, b.y1), RtreePoint(b.x2, b.y2)),
                            static_cast<std::uint32_t>(i));
    }
    // The range constructor bulk-loads (packing).
    return std::make_unique<Rtree>(values.begin(), values.end());
}
#endif

// Builds are timed one at a time, not in Google Benchmark's loop: how long a
// bulk load takes depends on what the heap went through just before it (the
// pages the system must hand out again, the chunks the previous structure
// freed), so a build repeated back to back measures a heap no real build
// meets, and two structures measured in separate loops each meet a
// different one. Here the hash and the R-tree are built in turn, each from
// nothing, timed once by the wall clock and freed again, kBuildRounds times;
// both then always follow the same history, and the medians hold from run
// to run. The row's own time is that of all the rounds; the counters carry
// the medians.
constexpr int kBuildRounds = 7;

// Times one build from nothing by the wall clock, in milliseconds, with the
// heap the built structure holds afterwards; build returns a pointer to the
// structure, which is freed before the next build.
template <class Build> double TimeBuild(Build&& build, std::size_t& bytes) {
    using Clock = std::chrono::steady_clock;
    const std::size_t before = HeapInUse();
    const Clock::time_point start = Clock::now();
    auto built = build();
    const Clock::time_point end = Clock::now();
    benchmark::DoNotOptimize(built.get());
    bytes = HeapInUse() - before;
    built.reset();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void BM_WindowBuild(benchmark::State& state) {
    BoxWorld& w = GetBoxWorld(static_cast<std::size_t>(state.range(0)));
    w.hash.reset();
    const double boxes = static_cast<double>(w.records.size());
    std::vector<double> hashTimes;
    std::vector<double> hashBytes;
    std::vector<double> treeTimes;
    std::vector<double> treeBytes;
    for (auto _ : state) {
        for (int round = 0; round < kBuildRounds; ++round) {
            std::size_t bytes = 0;
            hashTimes.push_back(TimeBuild(
                [&w] {
                    BuildBoxHash(w);
                    return std::move(w.hash);
                },
                bytes));
            hashBytes.push_back(static_cast<double>(bytes) / boxes);
#if CORVALE_BENCH_BOOST
            treeTimes.push_back(TimeBuild([&w] { return BuildRtree(w); }, bytes));
            treeBytes.push_back(static_cast<double>(bytes) / boxes);
#endif
        }
    }
    state.counters["hash ms"] = MedianOf(hashTimes);
    state.counters["hash bytes/box"] = MedianOf(hashBytes);
#if CORVALE_BENCH_BOOST
    state.counters["R-tree ms"] = MedianOf(treeTimes);
    state.counters["R-tree bytes/box"] = MedianOf(treeBytes);
#endif
}
BENCHMARK(BM_WindowBuild)->Arg(1000000)->Arg(4000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WindowHash(benchmark::State& state) {
    BoxWorld& w = GetBoxWorld(static_cast<std::size_t>(state.range(0)));
    if (!w.hash)
        BuildBoxHash(w);
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const CDoubleRect& window : w.windows)
            w.hash->ForEachCandidate(window, [&](CShapeRecord*) {
                ++hits;
                return true;
            });
    }
    ReportWindows(state, hits);
}
BENCHMARK(BM_WindowHash)->Arg(1000000)->Arg(4000000)->Unit(benchmark::kMillisecond);

#if CORVALE_BENCH_BOOST
void BM_WindowRtree(benchmark::State& state) {
    const BoxWorld& w = GetBoxWorld(static_cast<std::size_t>(state.range(0)));
    const std::unique_ptr<Rtree> tree = BuildRtree(w);
    std::size_t hits = 0;
    std::vector<RtreeValue> found;
    for (auto _ : state) {
        hits = 0;
        for (const CDoubleRect& window : w.windows) {
            const RtreeBox query(RtreePoint(window.x1, window.y1), RtreePoint(window.x2, window.y2));
            found.clear();
            tree->query(bgi::intersects(query), std::back_inserter(found));
            hits += found.size();
        }
    }
    ReportWindows(state, hits);
}
BENCHMARK(BM_WindowRtree)->Arg(1000000)->Arg(4000000)->Unit(benchmark::kMillisecond);
#endif

void Compare(const BenchMedians& medians, const char* what, const std::string& hash, const std::string& linear) {
    const double h = medians.Rate(hash);
    const double l = medians.Rate(linear);
    if (h <= 0.0 || l <= 0.0)
        return;
    std::printf("%s: hash %.0f queries/s, linear scan %.0f queries/s, hash %.0f times faster\n",
                what, h, l, h / l);
}

// After the usual table: the speed-up of the hash over the scan and
// the hash against the R-tree (the medians of the repetitions, when there are
// several).
void Summarise(const BenchMedians& medians) {
    Compare(medians, "rectangles", "BM_RectanglesHash", "BM_RectanglesLinear");
    Compare(medians, "clicks", "BM_ClicksHash", "BM_ClicksLinear");
#if !CORVALE_BENCH_BOOST
    ReportMissingPeer("windows and building against an R-tree", "Boost", "libboost-dev");
#endif
    for (const char* n : {"1000000", "4000000"}) {
        const std::string count = std::string("/") + n;
        const double h = medians.Rate("BM_WindowHash" + count);
        const double t = medians.Rate("BM_WindowRtree" + count);
        if (h > 0.0 && t > 0.0)
            std::printf("windows over %s boxes: hash %.0f queries/s, R-tree %.0f queries/s, "
                        "hash/R-tree rate %.2f\n",
                        n, h, t, h / t);
        const std::string build = "BM_WindowBuild" + count;
        const double hb = medians.Counter(build, "hash ms");
        const double tb = medians.Counter(build, "R-tree ms");
        const double hm = medians.Counter(build, "hash bytes/box");
        const double tm = medians.Counter(build, "R-tree bytes/box");
        if (hb > 0.0 && tb > 0.0)
            std::printf("building over %s boxes (one-shot builds in turn, medians of %d): hash %.0f ms and "
                        "%.1f bytes/box, R-tree %.0f ms and %.1f bytes/box, hash/R-tree time %.2f, memory %.2f\n",
                        n, kBuildRounds, hb, hm, tb, tm, hb / tb, tm > 0.0 ? hm / tm : 0.0);
        else if (hb > 0.0)
            std::printf("building over %s boxes (one-shot builds, median of %d): hash %.0f ms and %.1f bytes/box\n",
                        n, kBuildRounds, hb, hm);
    }
}

} // namespace

int main(int argc, char** argv) {
    MedianReporter reporter("queries/s", MedianReporter::OO_Tabular, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
