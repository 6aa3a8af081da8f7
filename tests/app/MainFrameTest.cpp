// The main frame as start-up leaves it: docking panes, toolbars, status
// panes, the scale box, the folders beside the program, and the services
// the frame gives the rest of the program.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "app/ChildFrame.h"
#include "app/QtUserInterface.h"
#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "panes/AttributesGridPane.h"
#include "panes/StatisticsGridPane.h"
#include "scripting/JSHandler.h"
#include "view/GeoView.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <initializer_list>
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
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id)
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

// The tabs of the docked panes show their whole captions.
TEST_F(MainFrameTest, PaneTabsShowTheirWholeCaptions) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    QApplication::processEvents();
    QTabBar* tabs = nullptr;
    for (QTabBar* bar : frame.findChildren<QTabBar*>())
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == QStringLiteral("Coordinates"))
                tabs = bar;
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->elideMode(), Qt::ElideNone);
    const QFontMetrics metrics(tabs->font());
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_GE(tabs->tabRect(i).width(), metrics.horizontalAdvance(tabs->tabText(i)))
            << tabs->tabText(i).toStdString();
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
    QAction* sum = Frame().GetCommandAction(ID_COLUMN_STATISTICS_FIRST + 2);
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

    // A measured length or a far coordinate is shown whole; the pane keeps
    // its width when the text gets shorter again.
    for (const auto& [id, text] : {std::make_pair(int(ID_INDICATOR_SCALE), "20015.087 km"),
                                   std::make_pair(int(ID_INDICATOR_X), "-20037508.342789")}) {
        frame.SetPaneText(id, text);
        QApplication::processEvents();
        const int width = frame.GetPaneWidth(id);
        EXPECT_GT(width, metrics.horizontalAdvance(QString::fromLatin1(text))) << text;
        frame.SetPaneText(id, "1");
        EXPECT_EQ(frame.GetPaneWidth(id), width);
    }
}

// The reference-system pane follows the active workspace.
TEST_F(MainFrameTest, TheReferenceSystemPaneFollowsTheActiveWorkspace) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* first = frame.GetActiveDocument();
    ASSERT_NE(first, nullptr);
    int wgs84 = -1;
    for (int i = 0; i < kRefSysCount; ++i)
        if (RefSysTable()[static_cast<std::size_t>(i)].id == 2)
            wgs84 = i;
    ASSERT_GE(wgs84, 0);
    first->m_refSystem = wgs84;
    CCorvaleDoc other;
    frame.SetActiveDocument(&other);
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_REFSYS), "Unknown");
    frame.SetActiveDocument(first);
    EXPECT_EQ(frame.GetPaneText(ID_INDICATOR_REFSYS), RefSysTable()[static_cast<std::size_t>(wgs84)].name);
    frame.SetActiveDocument(nullptr);
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

// The box shows the whole scale: on a map of the whole earth a free scale
// has nine digits, and a box that cuts them reads a hundred times wrong.
TEST_F(MainFrameTest, TheScaleBoxShowsItsLongestScaleWhole) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    QComboBox* box = frame.GetScaleControl();
    ASSERT_NE(box, nullptr);
    auto textRoom = [box] {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        option.rect = QRect(QPoint(0, 0), box->size());
        return box->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
            .width();
    };
    for (double scale : {5000.0, 25000000.0, 204699408.0, 9876543210.0, 12345.0}) {
        frame.ShowMapScale(document, scale);
        QApplication::processEvents();
        const QFontMetrics metrics(box->font());
        for (int i = 0; i < box->count(); ++i)
            EXPECT_GE(textRoom(), metrics.horizontalAdvance(box->itemText(i)))
                << box->itemText(i).toStdString() << " shown after 1:" << scale;
    }
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
    QAction* help = frame.GetCommandAction(ID_CONTEXT_HELP);
    frame.UpdateCommandUI(help);
    EXPECT_FALSE(help->isEnabled());

    // The workspace takes its properties command once its dialog exists.
    QAction* properties = frame.GetCommandAction(ID_WORKSPACE_SHOW_PROPERTIES);
    frame.UpdateCommandUI(properties);
    EXPECT_TRUE(properties->isEnabled());

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

TEST_F(MainFrameTest, AddThemeFromListsTheLoadersAndLoadsTheChosenOne) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    frame.SetPluginFolder(CORVALE_LOADER_TEST_PLUGINS);
    auto* menu = frame.findChild<QMenu*>(QStringLiteral("AddThemeFrom"));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* v5 = nullptr;
    std::vector<std::string> names;
    for (QAction* action : menu->actions()) {
        names.push_back(action->text().toStdString());
        if (action->text() == QStringLiteral("v5"))
            v5 = action;
    }
    // A module without the required entries is not offered.
    EXPECT_NE(std::find(names.begin(), names.end(), "v1"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "no_supports_type"), names.end());
    ASSERT_NE(v5, nullptr);
    EXPECT_TRUE(v5->isEnabled());
    v5->trigger();
    ASSERT_EQ(document->m_themes.size(), 3u);
    for (const CTheme* theme : document->m_themes)
        EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));

    // An empty folder offers nothing to choose.
    frame.SetPluginFolder(m_Dir.path());
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_FALSE(menu->actions().front()->isEnabled());
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

// Lets the event loop run, as the program's own loop would between events.
void Settle(int milliseconds = 50) { QTest::qWait(milliseconds); }

std::vector<QTabBar*> DockTabBars(CMainFrame& frame) {
    std::vector<QTabBar*> bars;
    for (QTabBar* bar : frame.findChildren<QTabBar*>())
        if (bar->parentWidget() == &frame && bar->isVisible())
            bars.push_back(bar);
    return bars;
}

// The workspace stays active through clicks anywhere but on another
// workspace's window: the toolbars, the panes, the status bar and the menus
// take the click (and maybe the focus), not the workspace's place.
TEST_F(MainFrameTest, ClicksOutsideTheMapKeepTheActiveWorkspace) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.activateWindow();
    Settle();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    QAction* save = frame.GetCommandAction(ID_FILE_SAVE);
    QAction* close = frame.GetCommandAction(ID_FILE_CLOSE);
    const QString title = frame.windowTitle();
    EXPECT_EQ(title.toStdString(), document->GetTitle() + " - Corvale");
    EXPECT_TRUE(save->isEnabled());

    QWidget other;
    other.resize(100, 100);
    const std::vector<QTabBar*> dockTabs = DockTabBars(frame);
    ASSERT_FALSE(dockTabs.empty());
    QMenuBar* menus = frame.menuBar();
    const QAction* fileMenu = menus->actions().front();

    struct Case {
        const char* what;
        std::function<void()> click;
    };
    const Case cases[] = {
        {"a toolbar button",
         [&] {
             QWidget* button = frame.GetStandardToolBar()->widgetForAction(frame.GetCommandAction(ID_TOOL_PAN));
             ASSERT_NE(button, nullptr);
             QTest::mouseClick(button, Qt::LeftButton);
         }},
        {"an empty part of a toolbar",
         [&] {
             QToolBar* bar = frame.GetStatisticsToolBar();
             QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
         }},
        {"a pane's tab",
         [&] {
             QTabBar* tabs = dockTabs.front();
             QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tabs->count() - 1).center());
         }},
        {"a pane's body",
         [&] { QTest::mouseClick(frame.GetPane(ID_PANE_THEMES)->widget(), Qt::LeftButton, {}, QPoint(10, 10)); }},
        {"the status bar", [&] { QTest::mouseClick(frame.statusBar(), Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"the scale box", [&] { QTest::mouseClick(frame.GetScaleControl(), Qt::LeftButton); }},
        {"a menu opened and closed",
         [&] {
             QTest::mouseClick(menus, Qt::LeftButton, {}, menus->actionGeometry(const_cast<QAction*>(fileMenu)).center());
             Settle();
             if (QWidget* popup = QApplication::activePopupWidget())
                 QTest::keyClick(popup, Qt::Key_Escape);
         }},
        {"another window activated and left",
         [&] {
             other.show();
             other.activateWindow();
             Settle();
             other.hide();
             frame.activateWindow();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.click();
        Settle();
        EXPECT_EQ(frame.GetActiveDocument(), document);
        EXPECT_EQ(frame.GetLastActiveDocument(), document);
        EXPECT_TRUE(save->isEnabled());
        EXPECT_TRUE(close->isEnabled());
        EXPECT_EQ(frame.windowTitle(), title);
        // The update pass of a menu, too, sees the workspace.
        frame.UpdateCommandUI(save);
        EXPECT_TRUE(save->isEnabled());
    }
}

// With two workspaces, the one whose window is activated is the active
// document; closing the last window leaves none.
TEST_F(MainFrameTest, TheActiveWorkspaceFollowsTheActivatedWindow) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.activateWindow();
    CCorvaleDoc* first = frame.GetActiveDocument();
    CCorvaleDoc* second = m_App->OnFileNew();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    Settle();
    EXPECT_EQ(frame.GetActiveDocument(), second);

    QTabBar* windows = frame.GetMdiArea()->findChild<QTabBar*>();
    ASSERT_NE(windows, nullptr);
    ASSERT_EQ(windows->count(), 2);
    const std::vector<CChildFrame*> children = frame.GetChildFrames();
    ASSERT_EQ(children.size(), 2u);
    for (int round = 0; round < 2; ++round) {
        for (CCorvaleDoc* document : {first, second}) {
            SCOPED_TRACE(document->GetTitle());
            const int index = document == first ? 0 : 1;
            QTest::mouseClick(windows, Qt::LeftButton, {}, windows->tabRect(index).center());
            Settle();
            EXPECT_EQ(frame.GetActiveDocument(), document);
            EXPECT_EQ(frame.GetLastActiveDocument(), document);
            EXPECT_EQ(frame.windowTitle().toStdString(), document->GetTitle() + " - Corvale");
            // A click on the map keeps it.
            CGeoView* view = frame.GetActiveView();
            ASSERT_NE(view, nullptr);
            QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
            Settle();
            EXPECT_EQ(frame.GetActiveDocument(), document);
        }
    }

    // Closing the active one hands over to the other; closing that leaves
    // no active workspace, and the commands that need one are off.
    frame.ExecuteCommand(ID_FILE_CLOSE);
    Settle();
    EXPECT_EQ(frame.GetActiveDocument(), first);
    EXPECT_EQ(frame.GetLastActiveDocument(), first);
    frame.ExecuteCommand(ID_FILE_CLOSE);
    Settle();
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(frame.GetActiveDocument(), nullptr);
    EXPECT_EQ(frame.GetLastActiveDocument(), nullptr);
    EXPECT_FALSE(frame.GetCommandAction(ID_FILE_SAVE)->isEnabled());
    EXPECT_EQ(frame.windowTitle().toStdString(), "Corvale");
}

// Counts the events of one kind that reach the widgets of one window.
class EventCounter : public QObject {
public:
    EventCounter(QWidget& window, std::initializer_list<QEvent::Type> types) : m_Window(window), m_Types(types) {
        QApplication::instance()->installEventFilter(this);
    }
    ~EventCounter() override { QApplication::instance()->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == &m_Window &&
            std::find(m_Types.begin(), m_Types.end(), event->type()) != m_Types.end())
            ++count;
        return false;
    }

private:
    QWidget& m_Window;
    std::vector<QEvent::Type> m_Types;
};

double ProcessSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// An untouched program sleeps: after the first pass the idle work neither
// runs again nor repaints, rewrites the title or touches the modified mark.
TEST_F(MainFrameTest, AQuietProgramDoesNoIdleWorkAndPaintsNothing) {
    const std::string workspace = m_Dir.file("quiet.cvw");
    WriteWorkspace(CopyShapeFixture("polygons", m_Dir.path()), workspace);
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CMainFrame& frame = Frame();
    frame.activateWindow();
    EventCounter paints(frame, {QEvent::Paint});
    EventCounter titles(frame, {QEvent::WindowTitleChange, QEvent::ModifiedChange});
    // Start-up first: the window is laid out and painted (later on a busy
    // machine), with the idle passes that follow.
    for (int wait = 0; wait < 50; ++wait) {
        const long passes = m_App->GetIdleCount();
        paints.count = 0;
        titles.count = 0;
        Settle(100);
        if (m_App->GetIdleCount() == passes && paints.count == 0 && titles.count == 0)
            break;
    }
    const long firstPasses = m_App->GetIdleCount();
    EXPECT_GE(firstPasses, 1);
    paints.count = 0;
    titles.count = 0;
    const double cpuBefore = ProcessSeconds();
    Settle(1000);
    const double cpu = ProcessSeconds() - cpuBefore;
    EXPECT_LE(m_App->GetIdleCount() - firstPasses, 1);
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(titles.count, 0);
    EXPECT_LT(cpu, 0.2);

    // Something happening wakes the idle work, which then sleeps again.
    const long beforeInput = m_App->GetIdleCount();
    QTest::mouseMove(frame.GetActiveView(), QPoint(20, 20));
    Settle();
    const long afterInput = m_App->GetIdleCount();
    EXPECT_GT(afterInput, beforeInput);
    Settle(300);
    EXPECT_LE(m_App->GetIdleCount() - afterInput, 1);

    // A change the pass makes reaches the window once.
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    document->SetModifiedFlag(true);
    QTest::mouseMove(frame.GetActiveView(), QPoint(30, 30));
    Settle();
    EXPECT_TRUE(frame.GetActiveChild()->isWindowModified());
    const int changes = titles.count;
    EXPECT_GE(changes, 1);
    Settle(300);
    EXPECT_EQ(titles.count, changes);
}

// The first window fits the screen's room, and its title names the
// workspace once.
TEST_F(MainFrameTest, TheFirstWindowFitsTheScreenAndNamesTheWorkspaceOnce) {
    const std::string workspace = m_Dir.file("harbour.cvw");
    WriteWorkspace(CopyShapeFixture("points", m_Dir.path()), workspace);
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CMainFrame& frame = Frame();
    Settle();
    ASSERT_NE(frame.screen(), nullptr);
    const QRect available = frame.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(frame.geometry()))
        << frame.geometry().width() << "x" << frame.geometry().height() << " in " << available.width() << "x"
        << available.height();
    const QString title = frame.windowTitle();
    EXPECT_EQ(title.toStdString(), "harbour.cvw - Corvale");
    EXPECT_EQ(title.count(QStringLiteral("harbour")), 1);
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

// Plug-ins reach the frame's own status panes and progress through the host.
TEST_F(MainFrameTest, PluginStatusPanesAndProgressUseTheFramesOwn) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    std::uint32_t pane = 0;
    GpiStatusPaneCreateArgs create = {60, &pane};
    ASSERT_EQ(GpiHostDispatch(GPIOP_StatusPaneCreate, &create), GPIERR_NoError);
    ASSERT_TRUE(frame.HasPane(22000));
    EXPECT_EQ(frame.GetPaneWidth(22000), 60);
    GpiStatusPaneSetTextArgs text = {pane, "Routing", nullptr};
    ASSERT_EQ(GpiHostDispatch(GPIOP_StatusPaneSetText, &text), GPIERR_NoError);
    EXPECT_EQ(frame.GetPaneText(22000), "Routing");
    ASSERT_EQ(GpiHostDispatch(GPIOP_StatusPaneDestroy, reinterpret_cast<void*>(std::uintptr_t{pane})), GPIERR_NoError);
    EXPECT_FALSE(frame.HasPane(22000));
    EXPECT_EQ(frame.AddPluginStatusPane(40), 22000) << "the pane is free again";

    std::uint32_t progress = 0;
    GpiProgressCreateArgs bar = {nullptr, 0.3f, &progress};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ProgressCreate, &bar), GPIERR_NoError);
    EXPECT_FALSE(frame.GetProgressBar()->isHidden());
    EXPECT_EQ(frame.GetProgressBar()->value(), 30);
    GpiProgressSetPosArgs move = {progress, 0.75f};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ProgressSetPos, &move), GPIERR_NoError);
    EXPECT_EQ(frame.GetProgressBar()->value(), 75);
    ASSERT_EQ(GpiHostDispatch(GPIOP_ProgressDestroy, reinterpret_cast<void*>(std::uintptr_t{progress})), GPIERR_NoError);
    EXPECT_TRUE(frame.GetProgressBar()->isHidden());

    // The answer is the engine library's presence, found at the first question.
#ifdef CORVALE_SCRIPT_ENGINE
    SetScriptEngineLibraryPath(QString::fromUtf8(CORVALE_SCRIPT_ENGINE));
    const std::uint32_t expected = 1;
#else
    const std::uint32_t expected = 0;
#endif
    std::uint32_t scripting = 0;
    ASSERT_EQ(GpiHostDispatch(GPIOP_IsScriptingAvailable, &scripting), GPIERR_NoError);
    EXPECT_EQ(scripting, expected);
}
