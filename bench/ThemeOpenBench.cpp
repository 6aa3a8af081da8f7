// Opening a shape-file theme of 1,000,000 points with a 5-column dBase table,
// and reading every cell of one column. Opening maps the files and keeps
// pointers, so it should take a small fraction of a second.
//
// Then a trio of 1,000,000 polygons: the theme's open against shapelib's,
// when shapelib's development files are installed, each from a warm page
// cache (first argument 0) and from a cold one (1: the files' pages are
// dropped with posix_fadvise before every open, as after a reboot), with the
// heap each open holds per record. The theme's open reads and checks every
// record, so its peer is what a shapelib program does to have every shape at
// hand: SHPOpen and DBFOpen, then SHPReadObject for every record (second
// argument 1). SHPOpen and DBFOpen alone (second argument 0) read only the
// index and the table's header; that time is shown, with no ratio. The lines
// after the table give the ratios.
// BM_WalkPolygons/1 and /0 walk the same index with the records checked on one
// thread and on all of them.

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "platform/NumberText.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <string>
#include <vector>

#if CORVALE_BENCH_SHAPELIB
#include <shapefil.h>
#endif

namespace {

constexpr std::size_t kCount = 1000000;

const std::string& Stem() {
    static const std::string stem = [] {
        const std::string stem = BenchFolder() + "/points";
        WritePointGrid(stem, kCount);
        CFileWriter dbf;

        const std::vector<CAttributeFieldInfo> fields = {
            BenchField("ID", 10, 0, FT_Int), BenchField("NAME", 24, 0, FT_String), BenchField("VALUE", 16, 4, FT_Double),
            BenchField("DAY", 8, 0, FT_Date), BenchField("OK", 1, 0, FT_Boolean)};
        if (!dbf.Open((stem + ".dbf").c_str()) || !CdBaseFile::WriteHeader(fields, &dbf, kCount))
            std::abort();
        std::vector<CAttributeFieldValue> values(fields.size());
        for (std::size_t k = 0; k < fields.size(); ++k) {
            values[k].m_Length = fields[k].m_Length;
            values[k].m_Type = fields[k].m_Type;
        }
        for (std::size_t i = 0; i < kCount; ++i) {
            values[0].m_Text = corvale::FormatInt(static_cast<std::int64_t>(i));
            values[1].m_Text = "point " + values[0].m_Text;
            values[2].m_Text = corvale::FormatFixed(static_cast<double>(i) / 7.0, 4);
            values[3].m_Text = "20261210";
            values[4].m_Text = i % 2 ? "T" : "F";
            if (!CdBaseFile::WriteRecord(fields, &dbf, values))
                std::abort();
        }
        const unsigned char end = 0x1A;
        if (dbf.Write(&end, 1) != 1 || !dbf.Close())
            std::abort();
        return stem;
    }();
    return stem;
}

void BM_OpenTheme(benchmark::State& state) {
    const std::string path = Stem() + ".shp";
    for (auto _ : state) {
        CTheme theme;
        if (!theme.OpenShapeFile(path) || theme.GetShapeCount() != static_cast<int>(kCount))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(theme.m_Bounds[0]);
    }
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(kCount * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ReadColumn(benchmark::State& state) {
    CTheme theme;
    if (!theme.OpenShapeFile(Stem() + ".shp"))
        std::abort();
    const auto field = static_cast<std::int32_t>(state.range(0));
    std::size_t cells = 0;
    CAttributeFieldValue value;
    for (auto _ : state) {
        for (std::int32_t r = 0; r < static_cast<std::int32_t>(kCount); ++r) {
            if (!theme.m_Dbf.ReadValue(r, field, value))
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(value.m_Text.data());
        }
        cells += kCount;
    }
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsRate);
}

constexpr std::size_t kPolygons = 1000000;

// 1,000,000 squares of 5 points in rows of 1000, with a one-column table.
const std::string& PolygonStem() {
    static const std::string stem = [] {
        const std::string stem = BenchFolder() + "/polygons";
        constexpr std::uint32_t kPoints = 5;
        const std::size_t size = CShapeRecordBuilder::RecordSize(1, kPoints);
        std::vector<unsigned char> buffer(size * kPolygons);
        std::vector<const CShapeRecord*> records(kPolygons);
        for (std::size_t i = 0; i < kPolygons; ++i) {
            CShapeRecordBuilder builder;
            builder.m_PartCount = 1;
            builder.m_PointCount = kPoints;
            builder.m_RecordNumber = static_cast<std::uint32_t>(i + 1);
            builder.m_Record = buffer.data() + size * i;
            const double x = static_cast<double>(i % 1000);
            const double y = static_cast<double>(i / 1000);
            if (!builder.BeginPolygon() || !builder.AddPoint(x, y) || !builder.AddPoint(x, y + 0.9) ||
                !builder.AddPoint(x + 0.9, y + 0.9) || !builder.AddPoint(x + 0.9, y) || !builder.AddPoint(x, y))
                std::abort();
            records[i] = CShapeRecord::FromBytes(builder.m_Record);
        }
        CFileWriter shp, shx, dbf;
        if (!shp.Open((stem + ".shp").c_str()) || !shx.Open((stem + ".shx").c_str()) ||
            !WriteShapeFile(shp, &shx, SHT_Polygon, kPolygons, records.data()) || !shp.Close() || !shx.Close())
            std::abort();
        const std::vector<CAttributeFieldInfo> fields = {BenchField("ID", 10, 0, FT_Int)};
        if (!dbf.Open((stem + ".dbf").c_str()) || !CdBaseFile::WriteHeader(fields, &dbf, kPolygons))
            std::abort();
        std::vector<CAttributeFieldValue> values(1);
        values[0].m_Length = 10;
        values[0].m_Type = FT_Int;
        for (std::size_t i = 0; i < kPolygons; ++i) {
            values[0].m_Text = corvale::FormatInt(static_cast<std::int64_t>(i));
            if (!CdBaseFile::WriteRecord(fields, &dbf, values))
                std::abort();
        }
        const unsigned char end = 0x1A;
        if (dbf.Write(&end, 1) != 1 || !dbf.Close())
            std::abort();
        return stem;
    }();
    return stem;
}

void ReportPolygons(benchmark::State& state) {
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(kPolygons * state.iterations()), benchmark::Counter::kIsRate);
}

// Before a cold open: the trio's pages out of the page cache.
void DropTrio(benchmark::State& state, const std::string& stem) {
    state.PauseTiming();
    for (const char* extension : {".shp", ".shx", ".dbf"})
        if (!DropFromPageCache(stem + extension))
            state.SkipWithError("the page cache could not be dropped");
    state.ResumeTiming();
}

void ReportHeap(benchmark::State& state, std::size_t bytes) {
    state.counters["heap bytes/record"] = static_cast<double>(bytes) / static_cast<double>(kPolygons);
}

void BM_OpenPolygons(benchmark::State& state) {
    const std::string stem = PolygonStem();
    const std::string path = stem + ".shp";
    const bool cold = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (cold)
            DropTrio(state, stem);
        const std::size_t before = HeapInUse();
        {
            CTheme theme;
            if (!theme.OpenShapeFile(path) || theme.GetShapeCount() != static_cast<int>(kPolygons))
                state.SkipWithError("open failed");
            benchmark::DoNotOptimize(theme.m_Bounds[0]);
            bytes = HeapInUse() - before;
        }
    }
    ReportPolygons(state);
    ReportHeap(state, bytes);
}

// The walk through the index alone, its records checked on the given number
// of threads (0: as many as the machine has): what the parallel check gains.
void BM_WalkPolygons(benchmark::State& state) {
    const std::string stem = PolygonStem();
    CFileReader shpReader, shxReader;
    CShapeFileView shp;
    CShapeIndexView shx;
    if (!shpReader.Open((stem + ".shp").c_str()) || !shxReader.Open((stem + ".shx").c_str()) ||
        !shx.Attach(&shxReader))
        std::abort();
    shp.m_Reader = &shpReader;
    std::vector<CShapeRecord*> records;
    const auto collect = [](void* context, CShapeRecord* record, std::intptr_t) {
        static_cast<std::vector<CShapeRecord*>*>(context)->push_back(record);
        return true;
    };
    for (auto _ : state) {
        records.clear();
        if (!ForEachShapeFileRecord(shp, &shx, collect, &records, static_cast<unsigned>(state.range(0))) ||
            records.size() != kPolygons)
            state.SkipWithError("walk failed");
    }
    ReportPolygons(state);
}

#if CORVALE_BENCH_SHAPELIB
void BM_OpenPolygonsShapelib(benchmark::State& state) {
    const std::string stem = PolygonStem();
    const bool cold = state.range(0) != 0;
    const bool readEvery = state.range(1) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (cold)
            DropTrio(state, stem);
        const std::size_t before = HeapInUse();
        SHPHandle shp = SHPOpen((stem + ".shp").c_str(), "rb");
        DBFHandle dbf = DBFOpen((stem + ".dbf").c_str(), "rb");
        int count = 0;
        int type = 0;
        if (shp != nullptr)
            SHPGetInfo(shp, &count, &type, nullptr, nullptr);
        if (shp == nullptr || dbf == nullptr || count != static_cast<int>(kPolygons))
            state.SkipWithError("shapelib open failed");
        if (readEvery) {
            for (int i = 0; i < count; ++i) {
                SHPObject* object = SHPReadObject(shp, i);
                if (object == nullptr) {
                    state.SkipWithError("shapelib could not read a record");
                    break;
                }
                benchmark::DoNotOptimize(object->dfXMin);
                SHPDestroyObject(object);
            }
        }
        bytes = HeapInUse() - before;
        if (dbf != nullptr)
            DBFClose(dbf);
        if (shp != nullptr)
            SHPClose(shp);
    }
    ReportPolygons(state);
    ReportHeap(state, bytes);
}
#endif

// After the usual table: the theme's open time against shapelib's open with
// every record read (the medians of the repetitions, when there are several).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_SHAPELIB
    ReportMissingPeer("theme open against shapelib", "shapelib", "libshp-dev");
#endif
    for (const char* cache : {"0", "1"}) {
        const std::string theme = std::string("BM_OpenPolygons/") + cache;
        const std::string shapelib = std::string("BM_OpenPolygonsShapelib/") + cache + "/1";
        const std::string indexOnly = std::string("BM_OpenPolygonsShapelib/") + cache + "/0";
        const double t = medians.Time(theme);
        const double s = medians.Time(shapelib);
        const double tb = medians.Counter(theme, "heap bytes/record");
        const double sb = medians.Counter(shapelib, "heap bytes/record");
        if (t > 0.0 && s > 0.0)
            std::printf("open of %zu polygons, %s cache: theme %.1f ms and %.1f heap bytes/record, shapelib open "
                        "with every record read %.1f ms and %.1f heap bytes/record, theme/shapelib time %.2f "
                        "(SHPOpen alone, which reads only the index, %.1f ms: not the same work)\n",
                        kPolygons, cache[0] == '1' ? "cold" : "warm", t, tb, s, sb, t / s,
                        medians.Time(indexOnly));
    }
    const double one = medians.Time("BM_WalkPolygons/1");
    const double all = medians.Time("BM_WalkPolygons/0");
    if (one > 0.0 && all > 0.0)
        std::printf("record check: one thread %.1f ms, all threads %.1f ms\n", one, all);
}

} // namespace

// Everything here is timed by the wall clock: the theme's open walks the
// index with its records checked on several threads, and a cold open waits
// for the disk; the CPU time of the calling thread counts neither.
// Argument 0: warm page cache; 1: cold.
BENCHMARK(BM_OpenPolygons)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WalkPolygons)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
#if CORVALE_BENCH_SHAPELIB
// Arguments: the cache as above; 1 to read every record after the open.
BENCHMARK(BM_OpenPolygonsShapelib)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
#endif
BENCHMARK(BM_OpenTheme)->Unit(benchmark::kMillisecond)->UseRealTime();
// Field 1 is the 24-character NAME column, field 2 the numeric VALUE column.
BENCHMARK(BM_ReadColumn)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    MedianReporter reporter("records/s", MedianReporter::OO_Defaults, Summarise);
    const int status = RunBenchmarks(argc, argv, reporter);
    RemoveBenchFolder();
    return status;
}
