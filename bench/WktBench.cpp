// WKT writing and parsing of 1,000,000 points and 100,000 polygons of 50
// vertices, six decimals as Copy as WKT writes them. When GEOS is installed
// (libgeos-dev), its WKT reader and writer run on the same texts in the same
// process, for comparison.

#include "formats/WktText.h"
#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef CORVALE_BENCH_GEOS
#include <geos_c.h>
#endif

namespace {

constexpr std::size_t kPoints = 1000000;
constexpr std::size_t kPolygons = 100000;
constexpr std::uint32_t kVertices = 50;

struct Data {
    std::vector<std::vector<unsigned char>> buffers;
    std::vector<const CShapeRecord*> records;
    std::vector<std::string> texts;
};

Data MakePoints() {
    Data data;
    data.buffers.resize(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i) {
        data.buffers[i].resize(28);
        CShapePointCreator(static_cast<std::uint32_t>(i + 1))
            .CreatePoint(data.buffers[i].data(), 500000.0 + 0.123456 * static_cast<double>(i % 1000),
                         4000000.0 + 0.654321 * static_cast<double>(i / 1000));
    }
    return data;
}

Data MakePolygons() {
    Data data;
    data.buffers.resize(kPolygons);
    for (std::size_t i = 0; i < kPolygons; ++i) {
        const double cx = static_cast<double>(i % 1000);
        const double cy = static_cast<double>(i / 1000);
        data.buffers[i].resize(CShapeRecordBuilder::RecordSize(1, kVertices));
        CShapeRecordBuilder builder;
        builder.m_PartCount = 1;
        builder.m_PointCount = kVertices;
        builder.m_RecordNumber = static_cast<std::uint32_t>(i + 1);
        builder.m_Record = data.buffers[i].data();
        builder.BeginPolygon();
        // Clockwise, closed.
        for (std::uint32_t k = 0; k < kVertices; ++k) {
            const double a = -2 * M_PI * (k % (kVertices - 1)) / (kVertices - 1);
            builder.AddPoint(cx + 0.4 * std::cos(a), cy + 0.4 * std::sin(a));
        }
    }
    return data;
}

Data& Get(bool polygons) {
    static Data points;
    static Data shapes;
    Data& data = polygons ? shapes : points;
    if (data.records.empty()) {
        data = polygons ? MakePolygons() : MakePoints();
        for (auto& buffer : data.buffers)
            data.records.push_back(CShapeRecord::FromBytes(buffer.data()));
        data.texts.resize(data.records.size());
        for (std::size_t i = 0; i < data.records.size(); ++i)
            FormatShapeAsWkt(data.records[i], data.texts[i], 6);
    }
    return data;
}

void BM_WriteWkt(benchmark::State& state) {
    const Data& data = Get(state.range(0) != 0);
    std::string text;
    for (auto _ : state) {
        for (const CShapeRecord* record : data.records) {
            FormatShapeAsWkt(record, text, 6);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * data.records.size()));
}

void BM_ParseWkt(benchmark::State& state) {
    const Data& data = Get(state.range(0) != 0);
    const std::uint32_t wanted = state.range(0) != 0 ? SHT_Polygon : SHT_Point;
    CShapeRecordVector records;
    for (auto _ : state) {
        for (const std::string& text : data.texts) {
            if (!ParseWkt(text, records, wanted, 0) || records.size() != 1)
                std::abort();
            DeleteShapeRecords(records);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * data.texts.size()));
}

#ifdef CORVALE_BENCH_GEOS
GEOSContextHandle_t Geos() {
    static GEOSContextHandle_t handle = GEOS_init_r();
    return handle;
}

void BM_GeosReadWkt(benchmark::State& state) {
    const Data& data = Get(state.range(0) != 0);
    GEOSWKTReader* reader = GEOSWKTReader_create_r(Geos());
    for (auto _ : state) {
        for (const std::string& text : data.texts) {
            GEOSGeometry* geometry = GEOSWKTReader_read_r(Geos(), reader, text.c_str());
            if (geometry == nullptr)
                std::abort();
            GEOSGeom_destroy_r(Geos(), geometry);
        }
    }
    GEOSWKTReader_destroy_r(Geos(), reader);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * data.texts.size()));
}

void BM_GeosWriteWkt(benchmark::State& state) {
    const Data& data = Get(state.range(0) != 0);
    GEOSWKTReader* reader = GEOSWKTReader_create_r(Geos());
    std::vector<GEOSGeometry*> geometries;
    geometries.reserve(data.texts.size());
    for (const std::string& text : data.texts)
        geometries.push_back(GEOSWKTReader_read_r(Geos(), reader, text.c_str()));
    GEOSWKTReader_destroy_r(Geos(), reader);
    GEOSWKTWriter* writer = GEOSWKTWriter_create_r(Geos());
    GEOSWKTWriter_setTrim_r(Geos(), writer, 0);
    GEOSWKTWriter_setRoundingPrecision_r(Geos(), writer, 6);
    for (auto _ : state) {
        for (const GEOSGeometry* geometry : geometries) {
            char* text = GEOSWKTWriter_write_r(Geos(), writer, geometry);
            benchmark::DoNotOptimize(text);
            GEOSFree_r(Geos(), text);
        }
    }
    GEOSWKTWriter_destroy_r(Geos(), writer);
    for (GEOSGeometry* geometry : geometries)
        GEOSGeom_destroy_r(Geos(), geometry);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * data.texts.size()));
}
#endif

// Argument 0: 1,000,000 points; 1: 100,000 polygons of 50 vertices.
BENCHMARK(BM_WriteWkt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ParseWkt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
#ifdef CORVALE_BENCH_GEOS
BENCHMARK(BM_GeosWriteWkt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GeosReadWkt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

// After the usual table: each of the program's times against GEOS's
// for the same texts (medians, when there are repetitions).
void Summarise(const BenchMedians& medians) {
#ifndef CORVALE_BENCH_GEOS
    ReportMissingPeer("WKT against GEOS", "GEOS", "libgeos-dev");
#endif
    for (const char* arg : {"0", "1"}) {
        const char* what = arg[0] == '0' ? "points" : "polygons";
        const double write = medians.Time(std::string("BM_WriteWkt/") + arg);
        const double geosWrite = medians.Time(std::string("BM_GeosWriteWkt/") + arg);
        const double parse = medians.Time(std::string("BM_ParseWkt/") + arg);
        const double geosRead = medians.Time(std::string("BM_GeosReadWkt/") + arg);
        if (write > 0.0 && geosWrite > 0.0)
            std::printf("writing the %s: program %.1f ms, GEOS %.1f ms, program/GEOS time %.2f\n", what, write,
                        geosWrite, write / geosWrite);
        if (parse > 0.0 && geosRead > 0.0)
            std::printf("parsing the %s: program %.1f ms, GEOS %.1f ms, program/GEOS time %.2f\n", what, parse,
                        geosRead, parse / geosRead);
    }
}

} // namespace

int main(int argc, char** argv) {
    MedianReporter reporter("items_per_second", MedianReporter::OO_Defaults, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
