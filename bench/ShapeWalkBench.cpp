// The record walk over large generated shape files: 1,000,000 points and
// 100,000 polygons of 20 vertices. The walk hands out pointers into the mapped
// file and copies nothing, so it should run far above 10 million records a
// second on one core.
//
// Peer: shapelib walking the same files through their index (SHPOpen, then
// SHPReadObject and SHPDestroyObject for every record, each vertex read), when
// its development files are installed; the lines after the table give the
// ratios to the program's walk through the index. Rates are records per
// second of real time.

#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if CORVALE_BENCH_SHAPELIB
#include <shapefil.h>
#endif

namespace {


// Writes the file once per process with the program's own writer.
std::string MakeFile(const std::string& name, std::uint32_t type, std::size_t count, std::size_t vertices) {
    const std::string stem = BenchFolder() + "/" + name;
    if (std::filesystem::exists(stem + ".shp"))
        return stem;
    std::vector<std::vector<unsigned char>> buffers(count);
    std::vector<const CShapeRecord*> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double cx = static_cast<double>(i % 1000);
        const double cy = static_cast<double>(i / 1000);
        if (type == SHT_Point) {
            buffers[i].resize(28);
            CShapePointCreator(static_cast<std::uint32_t>(i + 1)).CreatePoint(buffers[i].data(), cx, cy);
        } else {
            const auto n = static_cast<std::uint32_t>(vertices);
            buffers[i].resize(CShapeRecordBuilder::RecordSize(1, n));
            CShapeRecordBuilder builder;
            builder.m_PartCount = 1;
            builder.m_PointCount = n;
            builder.m_RecordNumber = static_cast<std::uint32_t>(i + 1);
            builder.m_Record = buffers[i].data();
            builder.BeginPolygon();
            for (std::uint32_t k = 0; k < n; ++k) {
                const double a = 2 * M_PI * (k % (n - 1)) / (n - 1);
                builder.AddPoint(cx + 0.4 * std::cos(a), cy + 0.4 * std::sin(a));
            }
        }
        records[i] = CShapeRecord::FromBytes(buffers[i].data());
    }
    CFileWriter shp, shx;
    if (!shp.Open((stem + ".shp").c_str()) || !shx.Open((stem + ".shx").c_str()) ||
        !WriteShapeFile(shp, &shx, type, count, records.data()) || !shp.Close() || !shx.Close())
        std::abort();
    return stem;
}

bool CountRecord(void* context, CShapeRecord* record, std::intptr_t) {
    *static_cast<std::size_t*>(context) += record != nullptr;
    return true;
}

void Walk(benchmark::State& state, const std::string& stem, bool useIndex) {
    CFileReader shpReader, shxReader;
    if (!shpReader.Open((stem + ".shp").c_str()) || !shxReader.Open((stem + ".shx").c_str()))
        std::abort();
    CShapeFileView shp;
    shp.m_Reader = &shpReader;
    CShapeIndexView shx;
    shx.Attach(&shxReader);
    std::size_t total = 0;
    for (auto _ : state) {
        std::size_t count = 0;
        if (!ForEachShapeFileRecord(shp, useIndex ? &shx : nullptr, CountRecord, &count))
            state.SkipWithError("walk failed");
        benchmark::DoNotOptimize(count);
        total += count;
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
}

void BM_WalkPoints(benchmark::State& state) {
    Walk(state, MakeFile("points", SHT_Point, 1000000, 1), state.range(0) != 0);
}

void BM_WalkPolygons(benchmark::State& state) {
    Walk(state, MakeFile("polygons", SHT_Polygon, 100000, 20), state.range(0) != 0);
}

#if CORVALE_BENCH_SHAPELIB
// Every record read into shapelib's object and its vertices summed, so
// that none of the reading is left out.
void WalkShapelib(benchmark::State& state, const std::string& stem) {
    SHPHandle shp = SHPOpen((stem + ".shp").c_str(), "rb");
    if (shp == nullptr) {
        state.SkipWithError("shapelib open failed");
        return;
    }
    int count = 0;
    SHPGetInfo(shp, &count, nullptr, nullptr, nullptr);
    std::size_t total = 0;
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < count; ++i) {
            SHPObject* object = SHPReadObject(shp, i);
            if (object == nullptr) {
                state.SkipWithError("shapelib read failed");
                break;
            }
            sum += object->padfX[0];
            SHPDestroyObject(object);
        }
        benchmark::DoNotOptimize(sum);
        total += static_cast<std::size_t>(count);
    }
    SHPClose(shp);
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
}

void BM_WalkPointsShapelib(benchmark::State& state) {
    WalkShapelib(state, MakeFile("points", SHT_Point, 1000000, 1));
}

void BM_WalkPolygonsShapelib(benchmark::State& state) {
    WalkShapelib(state, MakeFile("polygons", SHT_Polygon, 100000, 20));
}
#endif

// After the usual table: the walk's rate against shapelib's, records per
// second of real time (medians, when there are repetitions).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_SHAPELIB
    ReportMissingPeer("record walk against shapelib", "shapelib", "libshp-dev");
#endif
    const struct {
        const char* name;
        const char* label;
    } kinds[] = {{"Points", "points"}, {"Polygons", "polygons"}};
    for (const auto& kind : kinds) {
        const double ours = medians.Rate(std::string("BM_Walk") + kind.name + "/1");
        const double peer = medians.Rate(std::string("BM_Walk") + kind.name + "Shapelib");
        if (ours > 0.0 && peer > 0.0)
            std::printf("walk of the %s through the index: program %.0f records/s, shapelib %.0f records/s, "
                        "program/shapelib rate %.1f\n",
                        kind.label, ours, peer, ours / peer);
    }
}

} // namespace

// Argument 1: through the .shx; 0: sequentially. The walk through the index
// checks its records on several threads, so every walk, shapelib's too, is
// timed by the wall clock: the CPU time of the calling thread would leave the
// other threads' work out.
BENCHMARK(BM_WalkPoints)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WalkPolygons)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
#if CORVALE_BENCH_SHAPELIB
BENCHMARK(BM_WalkPointsShapelib)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WalkPolygonsShapelib)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

int main(int argc, char** argv) {
    MedianReporter reporter("records/s", MedianReporter::OO_Defaults, Summarise);
    const int status = RunBenchmarks(argc, argv, reporter);
    RemoveBenchFolder();
    return status;
}
