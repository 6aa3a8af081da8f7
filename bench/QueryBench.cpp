// The attribute query over a shape-file theme of 1,000,000 points with a
// generated dBase table: Prepare once, Evaluate per row, as the query
// selection and the attribute filter do. The goal is at least 5 million rows
// per second for a query of two comparisons, a LIKE and an arithmetic term.
//
// BM_ReadCells reads the same four cells per row that the query reads, without
// evaluating anything: the part of the time that belongs to the dBase reads.
// BM_ReadRowTyped reads them as the engine does: by row, numbers as numbers.
// BM_QueryNativeTable runs the query over an in-memory native table, where the
// engine's own share shows.
//
// BM_QuerySqlite, built when SQLite's development files are installed, runs the
// same four-term query over the same 1,000,000 rows in an in-memory SQLite
// table, counting matches in SQL; the "matches" counters agree, and the line
// after the table gives the ratio of the two row rates.

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "core/query/QueryEngine.h"
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

#if CORVALE_BENCH_SQLITE
#include <sqlite3.h>
#endif

namespace {

constexpr std::size_t kCount = 1000000;

const char* const kNames[] = {"Sydney", "Melbourne", "Springfield", "Perth", "Salem", "Hobart", "Sale", "Darwin"};

// The values of the towns' rows in order, the same for the dBase table, the
// native table and SQLite's: xorshift64 from a fixed seed, one step a row.
class TownRows {
public:
    struct Row {
        const char* name;
        std::int64_t population;
        double area;
    };

    Row Next() {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 7;
        m_State ^= m_State << 17;
        return Row{kNames[m_State % 8], static_cast<std::int64_t>(m_State % 100000),
                   static_cast<double>((m_State >> 20) % 1000000) / 1000.0};
    }

private:
    std::uint64_t m_State = 88172645463325252ull;
};

const std::string& Stem() {
    static const std::string stem = [] {
        const std::string stem = BenchFolder() + "/towns";
        WritePointGrid(stem, kCount);
        CFileWriter dbf;

        const std::vector<CAttributeFieldInfo> fields = {BenchField("ID", 10, 0, FT_Int), BenchField("NAME", 24, 0, FT_String),
                                                         BenchField("POP", 10, 0, FT_Int), BenchField("AREA", 12, 3, FT_Double)};
        if (!dbf.Open((stem + ".dbf").c_str()) || !CdBaseFile::WriteHeader(fields, &dbf, kCount))
            std::abort();
        std::vector<CAttributeFieldValue> values(fields.size());
        for (std::size_t k = 0; k < fields.size(); ++k) {
            values[k].m_Length = fields[k].m_Length;
            values[k].m_Type = fields[k].m_Type;
        }
        TownRows rows;
        for (std::size_t i = 0; i < kCount; ++i) {
            const TownRows::Row town = rows.Next();
            values[0].m_Text = corvale::FormatInt(static_cast<std::int64_t>(i));
            values[1].m_Text = town.name;
            values[2].m_Text = corvale::FormatInt(town.population);
            values[3].m_Text = corvale::FormatFixed(town.area, 3);
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

CTheme& Towns() {
    static CTheme* theme = [] {
        auto* t = new CTheme;
        if (!t->OpenShapeFile(Stem() + ".shp") || t->GetShapeCount() != static_cast<int>(kCount))
            std::abort();
        return t;
    }();
    return *theme;
}

void Evaluate(benchmark::State& state, const char* query) {
    CTheme& theme = Towns();
    CorvaleSQL::CQueryEngine engine;
    std::string error;
    if (!engine.Prepare(&theme, query, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (int position = 0; position < static_cast<int>(kCount); ++position) {
            bool result = false;
            if (!engine.Evaluate(&theme, result, position, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            matches += result ? 1 : 0;
        }
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(kCount * state.iterations()), benchmark::Counter::kIsRate);
    state.counters["matches"] = static_cast<double>(matches);
}

// Two comparisons, a LIKE and an integer arithmetic term.
void BM_Query(benchmark::State& state) {
    Evaluate(state, "POP > 5000 AND AREA < 750.5 AND NAME LIKE 'S*' AND ID * 2 + 1 > 1000");
}

// The same with the arithmetic on doubles, whose results are written with
// fifteen decimals and read back at every step.
void BM_QueryDoubleArithmetic(benchmark::State& state) {
    Evaluate(state, "POP > 5000 AND AREA < 750.5 AND NAME LIKE 'S*' AND AREA * 2 + 1 > 1000");
}

// The same query over a native table of 100,000 rows with the same kind of
// values: nearly all of the time is the engine's, since a native cell is one
// string copy.
CTheme& NativeTowns() {
    static CTheme* theme = [] {
        constexpr int kRows = 100000;
        auto* t = new CTheme;
        t->m_SourceType = ST_Native;
        t->m_ShapeType = SHT_Point;
        t->m_Editable = true;
        for (const auto& [name, type] : {std::pair<const char*, std::int32_t>{"ID", FT_Int}, {"NAME", FT_String},
                                         {"POP", FT_Int}, {"AREA", FT_Double}}) {
            CAttributeFieldInfo info;
            info.m_Name = name;
            info.m_Type = type;
            info.m_Length = 24;
            t->AddAttribute(info, nullptr, nullptr);
        }
        static std::vector<unsigned char> records(28 * kRows);
        TownRows towns;
        for (int i = 0; i < kRows; ++i) {
            unsigned char* p = records.data() + 28 * static_cast<std::size_t>(i);
            CShapePointCreator(static_cast<std::uint32_t>(i + 1)).CreatePoint(p, i % 1000, i / 1000);
            CTheme::ShapeCallback(t, CShapeRecord::FromBytes(p), 0);
            const TownRows::Row town = towns.Next();
            const int row = t->AppendAttributeRow();
            t->SetAttributeText(row, 0, corvale::FormatInt(i), false);
            t->SetAttributeText(row, 1, town.name, false);
            t->SetAttributeText(row, 2, corvale::FormatInt(town.population), false);
            t->SetAttributeText(row, 3, corvale::FormatFixed(town.area, 3), false);
        }
        t->ResetFilter();
        return t;
    }();
    return *theme;
}

void BM_QueryNativeTable(benchmark::State& state) {
    CTheme& theme = NativeTowns();
    CorvaleSQL::CQueryEngine engine;
    std::string error;
    if (!engine.Prepare(&theme, "POP > 5000 AND AREA < 750.5 AND NAME LIKE 'S*' AND ID * 2 + 1 > 1000", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int rows = theme.GetShapeCount();
    for (auto _ : state) {
        for (int position = 0; position < rows; ++position) {
            bool result = false;
            if (!engine.Evaluate(&theme, result, position, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            benchmark::DoNotOptimize(result);
        }
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ReadCells(benchmark::State& state) {
    CTheme& theme = Towns();
    const int fields[] = {2, 3, 1, 0};
    for (auto _ : state) {
        for (int position = 0; position < static_cast<int>(kCount); ++position)
            for (const int field : fields)
                benchmark::DoNotOptimize(theme.GetAttributeTextAt(position, field));
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(kCount * state.iterations()), benchmark::Counter::kIsRate);
}

// The same four cells read as the query engine reads them: the row found once
// per shape, the three number cells read as numbers straight from their
// bytes and the text cell copied once.
void BM_ReadRowTyped(benchmark::State& state) {
    CTheme& theme = Towns();
    std::string name;
    for (auto _ : state) {
        for (int position = 0; position < static_cast<int>(kCount); ++position) {
            CTheme::CAttributeRow row = theme.GetAttributeRowAt(position);
            benchmark::DoNotOptimize(row.Integer(2));
            benchmark::DoNotOptimize(row.Number(3));
            const std::string_view text = row.Text(1);
            name.assign(text.data(), text.size());
            benchmark::DoNotOptimize(name.data());
            benchmark::DoNotOptimize(row.Integer(0));
        }
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(kCount * state.iterations()), benchmark::Counter::kIsRate);
}

#if CORVALE_BENCH_SQLITE
// The rows of Stem()'s table, made from the same random sequence.
sqlite3* SqliteTowns() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        if (sqlite3_open(":memory:", &d) != SQLITE_OK ||
            sqlite3_exec(d, "CREATE TABLE towns (ID INTEGER, NAME TEXT, POP INTEGER, AREA REAL);"
                            "BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(d, "INSERT INTO towns VALUES (?, ?, ?, ?)", -1, &insert, nullptr) != SQLITE_OK)
            std::abort();
        TownRows rows;
        for (std::size_t i = 0; i < kCount; ++i) {
            const TownRows::Row town = rows.Next();
            sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i));
            sqlite3_bind_text(insert, 2, town.name, -1, SQLITE_STATIC);
            sqlite3_bind_int64(insert, 3, static_cast<sqlite3_int64>(town.population));
            sqlite3_bind_double(insert, 4, town.area);
            if (sqlite3_step(insert) != SQLITE_DONE)
                std::abort();
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        if (sqlite3_exec(d, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        return d;
    }();
    return db;
}

void BM_QuerySqlite(benchmark::State& state) {
    sqlite3* db = SqliteTowns();
    sqlite3_stmt* query = nullptr;
    // SQLite's LIKE ignores ASCII case as the engine's does; % is its '*'.
    if (sqlite3_prepare_v2(db,
                           "SELECT count(*) FROM towns WHERE POP > 5000 AND AREA < 750.5 AND "
                           "NAME LIKE 'S%' AND ID * 2 + 1 > 1000",
                           -1, &query, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        return;
    }
    std::int64_t matches = 0;
    for (auto _ : state) {
        if (sqlite3_step(query) != SQLITE_ROW) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
        matches = sqlite3_column_int64(query, 0);
        sqlite3_reset(query);
    }
    sqlite3_finalize(query);
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(kCount * state.iterations()), benchmark::Counter::kIsRate);
    state.counters["matches"] = static_cast<double>(matches);
}
BENCHMARK(BM_QuerySqlite)->Unit(benchmark::kMillisecond);
#endif

// After the usual table: the engine's row rate against SQLite's (the
// medians of the repetitions, when there are several).
void Summarise(const BenchMedians& medians) {
#if !CORVALE_BENCH_SQLITE
    ReportMissingPeer("query against SQLite", "SQLite", "libsqlite3-dev");
#endif
    const double engine = medians.Rate("BM_Query");
    const double sqlite = medians.Rate("BM_QuerySqlite");
    if (engine > 0.0 && sqlite > 0.0)
        std::printf("four-term query: engine %.0f rows/s, SQLite %.0f rows/s, engine/SQLite %.2f\n", engine,
                    sqlite, engine / sqlite);
}

} // namespace

BENCHMARK(BM_Query)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryDoubleArithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRowTyped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryNativeTable)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    MedianReporter reporter("rows/s", MedianReporter::OO_Defaults, Summarise);
    const int status = RunBenchmarks(argc, argv, reporter);
    RemoveBenchFolder();
    return status;
}
