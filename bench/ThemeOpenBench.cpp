// Opening a shape-file theme of 1,000,000 points with a 5-column dBase table,
// and reading every cell of one column. Opening maps the files and keeps
// pointers, so it should take a small fraction of a second.

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "platform/NumberText.h"
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

} // namespace

BENCHMARK(BM_OpenTheme)->Unit(benchmark::kMillisecond);
// Field 1 is the 24-character NAME column, field 2 the numeric VALUE column.
BENCHMARK(BM_ReadColumn)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFolder();
    return 0;
}
