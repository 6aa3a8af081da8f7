// The Ostrela loader's reader over a MIF/MID pair of 100,000 regions of 21
// points each (with pen and brush clauses, three columns), written the way
// GDAL writes them. The rate counts regions, the bytes both files.
//
// Peer: GDAL's MapInfo driver reading the same pair in the same process, when
// GDAL's development files are installed: the file opened and every feature
// read (geometry, attributes and style) and freed. The line after the table
// gives the ratio. (The program prints the folder of the files with
// --mif_keep.)

#include "MifReader.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#if CORVALE_BENCH_GDAL
#include <gdal.h>
#include <ogr_api.h>
#endif

namespace {

constexpr std::size_t kRegions = 100000;
constexpr int kPoints = 21;

std::string Fixed(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

// Writes regions.mif and regions.mid once per process.
std::string MakeFiles() {
    const std::string stem = BenchFolder() + "/regions";
    if (std::filesystem::exists(stem + ".mif"))
        return stem;
    std::ofstream mif(stem + ".mif", std::ios::binary);
    std::ofstream mid(stem + ".mid", std::ios::binary);
    mif << "Version 300\nCharset \"Neutral\"\nDelimiter \",\"\nCoordSys Earth Projection 1, 104\nColumns 3\n"
           "  name Char(20)\n  id Integer\n  area Float\nData\n\n";
    std::string text;
    for (std::size_t i = 0; i < kRegions; ++i) {
        const double cx = static_cast<double>(i % 1000);
        const double cy = static_cast<double>(i / 1000);
        text = "Region 1\n  " + std::to_string(kPoints) + "\n";
        for (int k = 0; k < kPoints; ++k) {
            const double a = 2 * M_PI * (k % (kPoints - 1)) / (kPoints - 1);
            text += Fixed(cx + 0.4 * std::cos(a)) + " " + Fixed(cy + 0.4 * std::sin(a)) + "\n";
        }
        text += "    Pen (1,2,0)\n    Brush (2,16777215,16777215)\n";
        mif << text;
        mid << "\"region " << i << "\"," << i << "," << Fixed(0.5 + i * 0.001) << "\n";
    }
    if (!mif || !mid)
        std::abort();
    return stem;
}

void BM_ReadRegions(benchmark::State& state) {
    const std::string stem = MakeFiles();
    const auto bytes = std::filesystem::file_size(stem + ".mif") + std::filesystem::file_size(stem + ".mid");
    for (auto _ : state) {
        ostrela::CMIF reader(true, true, true);
        if (!reader.ReadFile(stem + ".mif") || reader.Records(5).size() != kRegions)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(reader.Records(5).back());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRegions));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadRegions)->Unit(benchmark::kMillisecond);

#if CORVALE_BENCH_GDAL
void BM_ReadRegionsOgr(benchmark::State& state) {
    const std::string stem = MakeFiles();
    const auto bytes = std::filesystem::file_size(stem + ".mif") + std::filesystem::file_size(stem + ".mid");
    for (auto _ : state) {
        GDALDatasetH dataset =
            GDALOpenEx((stem + ".mif").c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
        OGRLayerH layer = dataset != nullptr ? GDALDatasetGetLayer(dataset, 0) : nullptr;
        std::size_t features = 0;
        if (layer != nullptr) {
            OGR_L_ResetReading(layer);
            while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
                benchmark::DoNotOptimize(OGR_F_GetGeometryRef(feature));
                benchmark::DoNotOptimize(OGR_F_GetStyleString(feature));
                ++features;
                OGR_F_Destroy(feature);
            }
        }
        if (dataset != nullptr)
            GDALClose(dataset);
        if (features != kRegions)
            state.SkipWithError("GDAL did not read the file");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRegions));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadRegionsOgr)->Unit(benchmark::kMillisecond);
#endif

// After the usual table: the reader's time against GDAL's (medians,
// when there are repetitions).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_GDAL
    ReportMissingPeer("MIF reading against GDAL", "GDAL", "libgdal-dev");
#endif
    const double ours = medians.Time("BM_ReadRegions");
    const double gdal = medians.Time("BM_ReadRegionsOgr");
    if (ours > 0.0 && gdal > 0.0)
        std::printf("%zu regions: reader %.1f ms, GDAL %.1f ms, reader/GDAL time %.2f\n", kRegions, ours, gdal,
                    ours / gdal);
}

} // namespace

int main(int argc, char** argv) {
    bool keep = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--mif_keep") == 0)
            keep = true;
#if CORVALE_BENCH_GDAL
    GDALAllRegister();
#endif
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter("items_per_second", MedianReporter::OO_Defaults, Summarise);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (keep)
        std::printf("files kept in %s\n", BenchFolder().c_str());
    else
        RemoveBenchFolder();
    return 0;
}
