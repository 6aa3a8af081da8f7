// The shape-file checker over a generated file of 1,000,000 small polygons
// (square rings), written once per process with the program's own writer.

#include "ShapeCheck.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecords = 1000000;

std::string MakeFile() {
    const std::string stem = BenchFolder() + "/kestrow_squares";
    if (std::filesystem::exists(stem + ".shp"))
        return stem;
    const std::size_t size = CShapeRecordBuilder::RecordSize(1, 5);
    std::vector<unsigned char> bytes(kRecords * size);
    std::vector<const CShapeRecord*> records(kRecords);
    for (std::size_t i = 0; i < kRecords; ++i) {
        const double x = static_cast<double>(i % 1000);
        const double y = static_cast<double>(i / 1000);
        CShapeRecordBuilder builder;
        builder.m_PartCount = 1;
        builder.m_PointCount = 5;
        builder.m_RecordNumber = static_cast<std::uint32_t>(i + 1);
        builder.m_Record = bytes.data() + i * size;
        builder.BeginPolygon();
        builder.AddPoint(x, y);
        builder.AddPoint(x, y + 0.5);
        builder.AddPoint(x + 0.5, y + 0.5);
        builder.AddPoint(x + 0.5, y);
        builder.AddPoint(x, y);
        records[i] = CShapeRecord::FromBytes(bytes.data() + i * size);
    }
    CFileWriter shp, shx;
    if (!shp.Open((stem + ".shp").c_str()) || !shx.Open((stem + ".shx").c_str()) ||
        !WriteShapeFile(shp, &shx, SHT_Polygon, kRecords, records.data()) || !shp.Close() || !shx.Close())
        std::abort();
    return stem;
}

void BM_CheckMillionPolygons(benchmark::State& state) {
    const std::string path = MakeFile() + ".shp";
    std::string report;
    for (auto _ : state) {
        if (!CheckShapeFile(path, report, [](int percent) { benchmark::DoNotOptimize(percent); }))
            state.SkipWithError(report.c_str());
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(kRecords * state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_CheckMillionPolygons)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFolder();
    return 0;
}
