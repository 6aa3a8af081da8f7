// The record walk over large generated shape files: 1,000,000 points and
// 100,000 polygons of 20 vertices. The walk hands out pointers into the mapped
// file and copies nothing, so it should run far above 10 million records a
// second on one core.

#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

} // namespace

// Argument 1: through the .shx; 0: sequentially.
BENCHMARK(BM_WalkPoints)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkPolygons)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFolder();
    return 0;
}
