// The main frame as start-up leaves it: docking panes, toolbars, status
// panes, the scale box, the folders beside the program, and the services
// the frame gives the rest of the program.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "app/QtUserInterface.h"
#include "core/Theme.h"
#include "panes/AttributesGridPane.h"
#include "panes/StatisticsGridPane.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <vector>

namespace {

using MainFrameTest = AppTest;

TEST_F(MainFrameTest, StartUpBuildsPanesToolbarsAndStatusPanes) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.isVisible());

    struct Pane {
        int id;
        const char* caption;
        Qt::DockWidgetArea area;
    };
    const Pane panes[] = {{ID_PANE_THEMES, "Themes", Qt::LeftDockWidgetArea},
                          {ID_PANE_ATTRIBUTES, "Attributes", Qt::RightDockWidgetArea},
                          {ID_PANE_COORDINATES, "Coordinates", Qt::RightDockWidgetArea},
                          {ID_PANE_STATISTICS, "Statistics", Qt::RightDockWidgetArea},
                          {ID_PANE_BOOKMARKS, "Bookmarks", Qt::RightDockWidgetArea}};
    for (const Pane& pane : panes) {
        SCOPED_TRACE(pane.caption);
        QDockWidget* dock = frame.GetPane(pane.id);
        ASSERT_NE(dock, nullptr);
        EXPECT_EQ(dock->windowTitle().toStdString(), pane.caption);
        EXPECT_EQ(frame.dockWidgetArea(dock), pane.area);
    }
    // Coordinates, statistics and bookmarks are tabs of the attributes pane.
    const QList<QDockWidget*> tabs = frame.tabifiedDockWidgets(frame.GetPane(ID_PANE_ATTRIBUTES));
    EXPECT_EQ(tabs.size(), 3);
    EXPECT_TRUE(tabs.contains(frame.GetPane(ID_PANE_COORDINATES)));
    EXPECT_TRUE(tabs.contains(frame.GetPane(ID_PANE_BOOKMARKS)));
    EXPECT_EQ(frame.GetPane(999), nullptr);

    const std::vector<std::pair<QToolBar*, const char*>> bars = {
        {frame.GetStandardToolBar(), "Standard Toolbar"},
        {frame.GetScriptToolBar(), "Script Toolbar"},
        {frame.GetEditToolBar(), "Edit Toolbar"},
        {frame.GetStatisticsToolBar(), "Statistics Toolbar"}};
    for (const auto& [bar, title] : bars) {
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->windowTitle().toStdString(), title);
    }
    // The scale button became the scale box with its twelve scales (and
    // the free scale of the new workspace's view at the top).
    QComboBox* scales = frame.GetScaleControl();
    ASSERT_NE(scales, nullptr);
    EXPECT_EQ(scales->itemText(scales->count() - 12).toStdString(), "1:5000");
    EXPECT_EQ(scales->itemText(scales->count() - 1).toStdString(), "1:25000000");
    // Every statistics command sits on the statistics toolbar.
    for (unsigned id = ID_STATISTICS_FIRST; id <= ID_STATISTICS_LAST; ++id)
        EXPECT_TRUE(frame.GetStatisticsToolBar()->actions().contains(frame.GetCommandAction(id))) << id;

    for (int id : {ID_INDICATOR_SCALE, ID_INDICATOR_X, ID_INDICATOR_Y, ID_INDICATOR_REFSYS})
        EXPECT_TRUE(frame.HasPane(id)) << id;
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_X), "0.000000");
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_Y), "0.000000");
    // The new workspace of start-up shows no reference system.
    ASSERT_FALSE(m_Ui->paneTexts.empty());
    EXPECT_EQ(m_Ui->paneTexts.back(), std::make_pair(int(ID_INDICATOR_REFSYS), std::string("Unknown")));

    const std::string& program = frame.GetProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '/');
    EXPECT_EQ(frame.GetPluginFolder(), program + "Plugins/");
    EXPECT_EQ(frame.GetScriptFolder(), program + "Scripts/");
    EXPECT_EQ(frame.GetScriptTemplateFolder(), program + "Templates/JavaScript/");
}

TEST_F(MainFrameTest, AttributesAndStatisticsPanesFollowTheActiveWorkspace) {
    const std::string workspace = WriteWorkspace(CopyShapeFixture("points", m_Dir.path()), m_Dir.file("pts.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_NE(document->m_activeTheme, nullptr);
    auto* attributes = dynamic_cast<CAttributesGridPane*>(Frame().GetPane(ID_PANE_ATTRIBUTES)->widget());
    auto* statistics = dynamic_cast<CStatisticsGridPane*>(Frame().GetPane(ID_PANE_STATISTICS)->widget());
    ASSERT_NE(attributes, nullptr);
    ASSERT_NE(statistics, nullptr);
    EXPECT_EQ(attributes->GetDocument(), document);
    EXPECT_EQ(attributes->GetTheme(), document->m_activeTheme);
    EXPECT_EQ(attributes->GetModel()->GetRowCount(), document->m_activeTheme->GetShapeCount());
    EXPECT_EQ(document->m_commandWindow, attributes);
    EXPECT_EQ(statistics->GetDocument(), document);
    EXPECT_EQ(statistics->GetValue("Themes, Total"), "1");
    // The statistics toolbar asks the attributes pane: no heading is selected.
    QAction* sum = Frame().GetCommandAction(ID_STATISTICS_FIRST + 2);
    ASSERT_NE(sum, nullptr);
    Frame().UpdateCommandUI(sum);
    EXPECT_FALSE(sum->isEnabled());
}

TEST_F(MainFrameTest, StatusPanesByIdAndPluginPanes) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.SetStatusCoordinates(12.5, -3.25);
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_X), "12.500000");
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_Y), "-3.250000");

    // Four plug-in panes are handed out; the fifth request gets 0.
    EXPECT_EQ(frame.AddPluginStatusPane(40), 22000);
    EXPECT_EQ(frame.AddPluginStatusPane(40), 22001);
    EXPECT_EQ(frame.AddPluginStatusPane(40), 22002);
    EXPECT_EQ(frame.AddPluginStatusPane(40), 22003);
    EXPECT_EQ(frame.AddPluginStatusPane(40), 0);
    EXPECT_EQ(frame.GetPaneText(22001), "");

    const QFontMetrics metrics(frame.statusBar()->font());
    frame.ShowRefSys(-1);
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_REFSYS), "Unknown");
    EXPECT_EQ(frame.GetPaneWidth(ID_INDICATOR_REFSYS), metrics.horizontalAdvance(QStringLiteral("Unknown")) + 3);
    // An empty text still leaves room for three blanks.
    frame.SetPaneText(ID_INDICATOR_REFSYS, "");
    frame.FitRefSysPane();
    EXPECT_EQ(frame.GetPaneWidth(ID_INDICATOR_REFSYS), metrics.horizontalAdvance(QStringLiteral("   ")) + 3);
}

TEST_F(MainFrameTest, MapScaleKeepsOneFreeScaleAtTheTop) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    QComboBox* box = frame.GetScaleControl();

    frame.ShowMapScale(document, 12344.6);
    EXPECT_EQ(box->currentText().toStdString(), "1:12345");
    EXPECT_EQ(box->count(), 13);
    frame.ShowMapScale(document, 777.0);
    EXPECT_EQ(box->currentText().toStdString(), "1:777");
    EXPECT_EQ(box->count(), 13);
    EXPECT_EQ(box->findText(QStringLiteral("1:12345")), -1);
    // A listed scale is only selected; the free one stays.
    frame.ShowMapScale(document, 25000.2);
    EXPECT_EQ(box->currentText().toStdString(), "1:25000");
    EXPECT_EQ(box->count(), 13);

    // Another workspace's scale is not shown.
    CCorvaleDoc other;
    frame.ShowMapScale(&other, 50.0);
    EXPECT_EQ(box->currentText().toStdString(), "1:25000");
}

TEST_F(MainFrameTest, CommandsRouteToTheApplicationAndUpdateTheirActions) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    QAction* save = frame.GetCommandAction(ID_FILE_SAVE);
    ASSERT_NE(save, nullptr);
    frame.UpdateCommandUI(save);
    EXPECT_TRUE(save->isEnabled());

    EXPECT_TRUE(frame.ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(OpenCount(), 2);

    // A command no target takes is disabled by the update pass.
    QAction* properties = frame.GetCommandAction(ID_WORKSPACE_PROPERTIES);
    frame.UpdateCommandUI(properties);
    EXPECT_FALSE(properties->isEnabled());

    // The recent-workspace commands are enabled only for existing entries.
    QAction* recent = frame.GetCommandAction(ID_FILE_MRU_FIRST);
    frame.UpdateCommandUI(recent);
    EXPECT_FALSE(recent->isEnabled());
}

TEST_F(MainFrameTest, PluginCommandIdsRunOut) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_EQ(frame.AddPluginTool("first", 1, 6, "prompt", 7), 22010u);
    for (unsigned id = 22011; id <= 23009; ++id)
        ASSERT_EQ(frame.AddPluginTool("tool", 1, 6, "", 0), id);
    EXPECT_EQ(frame.AddPluginTool("one too many", 1, 6, "", 0), 0u);
    EXPECT_EQ(frame.GetPluginCommandItems().size(), 1000u);
    EXPECT_EQ(frame.GetPluginCommandItems().front().pluginData, 7u);
}

TEST_F(MainFrameTest, MissingPluginFolderCountsAsChangedAtEveryPoll) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    ASSERT_FALSE(frame.IsPluginFolderWatched());
    frame.SetLoaderListDirty(false);
    EXPECT_TRUE(frame.PollPluginFolder());
    frame.SetLoaderListDirty(false);
    EXPECT_TRUE(frame.PollPluginFolder());
}

TEST(FileDialogFilter, ConvertsPairsToNameFilters) {
    struct Case {
        const char* filter;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {"Corvale Workspaces (*.cvw)|*.cvw|All Files (*.*)|*.*||",
         {"Corvale Workspaces (*.cvw)", "All Files (*)"}},
        {"Image files (*.bmp;*.jpg)|*.bmp;*.jpg;*.jpeg|", {"Image files (*.bmp *.jpg *.jpeg)"}},
        {"Plain|*.txt||", {"Plain (*.txt)"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        const QStringList result = ConvertFileDialogFilter(c.filter);
        ASSERT_EQ(result.size(), static_cast<int>(c.expected.size()));
        for (int i = 0; i < result.size(); ++i)
            EXPECT_EQ(result[i].toStdString(), c.expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(AddDefaultExtension("/tmp/map", ".cvw"), "/tmp/map.cvw");
    EXPECT_EQ(AddDefaultExtension("/tmp/map.cvw", ".cvw"), "/tmp/map.cvw");
    EXPECT_EQ(AddDefaultExtension("/tmp/a.b/map", "cvw"), "/tmp/a.b/map.cvw");
}

} // namespace
