// The attributes pane on a shape-file theme of 1,000,000 points with a
// 3-column dBase table: opening the pane on the theme (columns and rows set,
// the first screen painted) and scrolling from the top to the last row with
// the screen painted again. The grid reads the cells it shows from the theme,
// so neither should depend on the number of rows.
//
// Both are timed by the wall clock: Qt paints part of the screen (wide fills)
// on its own pool of threads, which the CPU time of the calling thread leaves
// out.

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "panes/AttributesGridPane.h"
#include "platform/NumberText.h"
#include "shapes/FileWriter.h"
#include "workspace/CorvaleDoc.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kCount = 1000000;

const std::string& Stem() {
    static const std::string stem = [] {
        const std::string stem = BenchFolder() + "/table";
        WritePointGrid(stem, kCount);
        const std::vector<CAttributeFieldInfo> fields = {BenchField("ID", 10, 0, FT_Int),
                                                         BenchField("NAME", 24, 0, FT_String),
                                                         BenchField("VALUE", 16, 4, FT_Double)};
        CFileWriter dbf;
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

struct Workspace {
    CCorvaleDoc doc;
    CTheme* theme = nullptr;
    Workspace() {
        theme = new CTheme;
        if (!theme->OpenShapeFile(Stem() + ".shp") || theme->GetShapeCount() != static_cast<int>(kCount))
            std::abort();
        doc.m_themes.push_back(theme);
        doc.m_activeTheme = theme;
        doc.m_selectedThemes.assign(1, theme);
    }
};

void BM_OpenPane(benchmark::State& state) {
    Workspace workspace;
    CAttributesGridPane pane;
    pane.resize(800, 600);
    QPixmap screen(pane.size());
    for (auto _ : state) {
        pane.SetDocument(&workspace.doc);
        pane.render(&screen);
        if (pane.GetModel()->GetRowCount() != static_cast<int>(kCount))
            state.SkipWithError("rows missing");
        state.PauseTiming();
        pane.SetDocument(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPane)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScrollToEnd(benchmark::State& state) {
    Workspace workspace;
    CAttributesGridPane pane;
    pane.resize(800, 600);
    pane.SetDocument(&workspace.doc);
    QPixmap screen(pane.size());
    QScrollBar* bar = pane.GetGrid()->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(0);
        pane.render(&screen);
        bar->setValue(bar->maximum());
        pane.render(&screen);
    }
    if (pane.GetGrid()->rowAt(pane.GetGrid()->viewport()->height() - 1) != static_cast<int>(kCount) - 1)
        state.SkipWithError("the last row is not shown");
    pane.SetDocument(nullptr);
}
BENCHMARK(BM_ScrollToEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFolder();
    return 0;
}
