// The database plug-in's point load: a SQLite table of a million rows (x, y
// and three attribute columns) read through unixODBC and the SQLite ODBC
// driver and put into a point theme through the host's dispatch entry, as
// the loaded plug-in does it. Reported as rows per second.
//
// Needs the SQLite ODBC driver (libsqliteodbc); the driver is named by its
// path in an odbcinst.ini of the bench folder.

#include "LayerBuilder.h"
#include "Odbc.h"

#include "GpiClient.h"
#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 1000000;

class CSilentReport : public CLayerBuildReport {
public:
    void HostError(const std::string& text) override { error = text; }
    void DatabaseError(const std::string& text) override { error = text; }
    void RowsSkipped(std::uint64_t, std::uint64_t) override {}
    std::string error;
};

// The table, made once per run of the program.
const std::string& Database() {
    static const std::string path = [] {
        const std::string path = BenchFolder() + "/sorvend.db";
        std::filesystem::remove(path);
        sqlite3* db = nullptr;
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
            std::abort();
        sqlite3_exec(db, "CREATE TABLE pts (x REAL, y REAL, name TEXT, code INTEGER, value REAL);BEGIN", nullptr,
                     nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO pts VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
        for (int i = 0; i < kRows; ++i) {
            const std::string name = "p" + std::to_string(i);
            sqlite3_bind_double(insert, 1, 500000.0 + (i % 1000) * 10.25);
            sqlite3_bind_double(insert, 2, 5600000.0 + (i / 1000) * 10.5);
            sqlite3_bind_text(insert, 3, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, i % 97);
            sqlite3_bind_double(insert, 5, i * 0.125);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        std::ofstream(BenchFolder() + "/odbcinst.ini") << "[SQLite3]\nDriver=" CORVALE_SQLITE_ODBC_DRIVER "\n";
        ::setenv("ODBCSYSINI", BenchFolder().c_str(), 1);
        return path;
    }();
    return path;
}

void BM_SorvendPointLoad(benchmark::State& state) {
    const std::string& path = Database();
    GpiInitializeLock();
    auto plugin = std::make_unique<CGpiPlugin>();
    plugin->m_Valid = 1;
    plugin->m_Initialised = 1;
    GpiInitInfo info = {};
    info.identity = GpiAddPlugin(std::move(plugin));
    info.dispatch = &GpiHostDispatch;
    CvClientInit(info);
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<CCorvaleDoc>();
        // A theme already there: a first load would zoom a map view, which
        // this document has none of.
        CTheme* existing = document->CreateTheme("existing", SHT_Point);
        document->m_themes.push_back(existing);
        const std::uint32_t workspace = GpiWorkspaceHandle(document.get());
        state.ResumeTiming();

        CDatabase database;
        database.OpenEx("DRIVER={SQLite3};Database=" + path, CDatabase::openReadOnly);
        CRecordset recordset(&database);
        recordset.Open("SELECT x, y, name, code, value FROM pts");
        CSilentReport report;
        std::uint32_t points = 0;
        if (!BuildLayer(workspace, &recordset, 0, 1, false, &points, report) || points == 0)
            state.SkipWithError(("load failed: " + report.error).c_str());
        else if (GpiThemeFromHandle(points)->GetShapeCount() != kRows)
            state.SkipWithError("rows missing");

        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    GpiTestReset();
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_SorvendPointLoad)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
