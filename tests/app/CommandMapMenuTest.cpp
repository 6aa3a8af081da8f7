// Every command of the workspace document has a way to it in the running
// program: an item of the menus, or a toolbar button, that is one of the
// frame's commands and reaches a handler. The commands the attribute pane
// does for the document (query, go to, sort, the duplicate check, the value
// list and the column statistics) and the edit commands of the document work
// from their menu items and keys.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "core/Theme.h"
#include "panes/AttributesGridPane.h"
#include "panes/GridModel.h"
#include "panes/PaneDialogServices.h"
#include "ui/QueryDialog.h"
#include "ui/ShapeBinaryDialog.h"
#include "view/GeoView.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/WorkspaceFileLoader.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The document's command map: every command id with the command's name.
// Quick Tabs (32848) has no quick tab bar to show and is left out.
struct MapCommand {
    unsigned id;
    const char* name;
};
const MapCommand kCommandMap[] = {
    // File.
    {32999, "Save Map Image"}, {33000, "Workspace Properties"}, {57607, "Print"}, {57609, "Print Preview"},
    // Edit.
    {57635, "Cut"}, {57634, "Copy"}, {57637, "Paste"}, {32828, "Delete"}, {33001, "Copy Map Image"},
    {33002, "Copy as GeoJSON"}, {33003, "Copy as WKT"}, {32841, "Enable Editing"}, {57642, "Select All"},
    {32835, "Invert Selection"}, {32860, "Clear Selection"}, {33004, "Multipart Shapes"},
    {33005, "Intersecting Clipboard Polygons"}, {33006, "Point Count"}, {33007, "Merge to Multipart Copy"},
    {33008, "Split to Single Part Copies"}, {33052, "Simplify Polyline Parts"}, {33055, "Simplify Shapes"},
    {33009, "Snap to Grid"}, {33010, "Reverse Coordinates"}, {33011, "Multi-Edit Attributes"},
    {33012, "Create Polyline on Clipboard"}, {33013, "Top Z-Order"}, {33014, "Bottom Z-Order"}, {57636, "Find"},
    {32830, "Find Next"}, {32831, "Find Previous"}, {32868, "Go To"}, {33015, "Filter Selection"},
    {33016, "Remove Filter"}, {32832, "Invert Filter"}, {33017, "Build Attribute List"},
    {32843, "Attribute Manager"}, {33018, "Vectorization Parameters"},
    // View.
    {32795, "Show All"}, {32794, "Hide All"}, {33019, "Zoom to Full Extent"}, {33020, "Center Map"},
    {33021, "Edit View Rectangle"}, {33022, "Selection Bounds"}, {33023, "Map Signature"}, {32923, "Map Overview"},
    {33024, "Console"}, {32922, "Shape Data"},
    // Insert.
    {32773, "Add Theme"}, {32812, "New Point Theme"}, {32813, "New Polyline Theme"}, {32814, "New Polygon Theme"},
    {32815, "From Selection"}, {33047, "Bounding Boxes"}, {32883, "Polyline End Points"}, {33025, "Mid Points"},
    {33026, "Polygon Outline"}, {33027, "Voronoi Polygons"}, {33028, "Import From Workspace File"},
    // Theme.
    {32784, "Show"}, {32783, "Remove"}, {32845, "InfoTips"}, {33029, "Copy Style From"}, {32788, "Properties"},
    {32840, "Zoom to Selection"}, {32793, "Zoom to Theme Extent"}, {32979, "Zoom to Make Visible"},
    {32870, "Transform"}, {32790, "Export"},
    // Table.
    {33030, "Min"}, {33031, "Max"}, {33032, "Sum"}, {33033, "Arithmetic Mean"}, {33034, "Geometric Mean"},
    {33035, "Median"}, {33036, "Standard Deviation"}, {33037, "Sort Ascending"}, {33038, "Sort Descending"},
    {33039, "Check for Duplicates"}, {33040, "Show Value List"}, {32838, "Query"},
    // Map tools.
    {32772, "Select"}, {32798, "Select (rectangle)"}, {32800, "Select (circle)"}, {32909, "Select (polygon)"},
    {32771, "Pan"}, {32777, "Zoom In"}, {32786, "Zoom Out"}, {32801, "Measure"}, {32842, "Draw New"},
    {32891, "Adjust Vertex"}, {32900, "New Vertex"}, {32986, "Split Polyline"}, {32862, "Vertex Mode"},
    {32939, "Bounding Boxes"}, {32894, "Autosnap"},
    // Scripts.
    {32994, "Create New Script"}, {32966, "User Script 1"}, {32967, "User Script 2"}, {32968, "User Script 3"},
    {32969, "User Script 4"}, {32970, "User Script 5"}, {32971, "User Script 6"},
};
// Ranges whose items come and go with what there is to list (loaders,
// recent shape files, statistics plug-ins): each id reaches a handler.
const std::pair<unsigned, unsigned> kCommandRanges[] = {{20000, 20100}, {20310, 20319}, {20321, 20420}};
// The attribute pane has nothing to search again with, so these keep their
// items, disabled, without a handler.
const std::set<unsigned> kItemOnly = {32830, 32831};

void CollectMenu(QMenu* menu, std::vector<QAction*>& items) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr)
            CollectMenu(action->menu(), items);
        else if (!action->isSeparator())
            items.push_back(action);
    }
}

class CommandMapMenuTest : public AppTest {
protected:
    // Starts on a workspace of the sample countries (polygons with a table),
    // copied so that nothing of the sample changes.
    void StartOnCountries() {
        for (const char* extension : {".shp", ".shx", ".dbf"})
            std::filesystem::copy_file(std::string(CORVALE_SAMPLES) + "/world" + extension,
                                       m_Dir.file(std::string("world") + extension));
        const std::string workspace = WriteWorkspace(m_Dir.file("world.shp"), m_Dir.file("world.cvw"));
        ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
        m_Document = Frame().GetActiveDocument();
        ASSERT_NE(m_Document, nullptr);
        ASSERT_EQ(m_Document->m_themes.size(), 1u);
        m_Countries = m_Document->m_themes.front();
        ASSERT_EQ(m_Document->m_activeTheme, m_Countries);
        QDockWidget* dock = Frame().GetPane(ID_PANE_ATTRIBUTES);
        m_Attributes = dock != nullptr ? dynamic_cast<CAttributesGridPane*>(dock->widget()) : nullptr;
        ASSERT_NE(m_Attributes, nullptr);
    }
    // The items of the menu bar's menu with that title, submenus included.
    std::vector<QAction*> MenuItems(const QString& title) {
        std::vector<QAction*> items;
        for (QAction* action : Frame().menuBar()->actions())
            if (action->menu() != nullptr && action->text() == title)
                CollectMenu(action->menu(), items);
        return items;
    }
    QAction* MenuItem(const QString& title, unsigned id) {
        for (QAction* action : MenuItems(title))
            if (action->data().toUInt() == id)
                return action;
        return nullptr;
    }
    // Whether some target on the frame's route has the command.
    bool Handled(unsigned id) {
        CCmdUI ui(id);
        return RouteCommand(id, &ui,
                            {&Frame(), Frame().GetActiveView(), Frame().GetActiveDocument(), m_App.get()}) &&
               ui.m_Handled;
    }
    // The column's texts from the top row down.
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < m_Attributes->GetModel()->GetRowCount(); ++row)
            texts.push_back(m_Attributes->GetModel()->GetCellText(row, column));
        return texts;
    }
    int ColumnNamed(const char* name) {
        for (int column = 0; column < m_Attributes->GetModel()->GetColumnCount(); ++column)
            if (m_Attributes->GetModel()->GetHeading(column) == name)
                return column;
        return -1;
    }
    void ActivateFrame() {
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        // What the idle pass does between the user's actions.
        Frame().UpdateShortcutCommands();
    }

    CCorvaleDoc* m_Document = nullptr;
    CTheme* m_Countries = nullptr;
    CAttributesGridPane* m_Attributes = nullptr;
};

} // namespace

TEST_F(CommandMapMenuTest, EveryCommandHasAnItemOrButtonThatReachesItsHandler) {
    StartOnCountries();
    std::map<unsigned, std::vector<QAction*>> ways;
    std::vector<QAction*> items;
    for (QAction* action : Frame().menuBar()->actions())
        if (action->menu() != nullptr)
            CollectMenu(action->menu(), items);
    for (QToolBar* bar : Frame().findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (!action->isSeparator())
                items.push_back(action);
    for (QAction* action : items)
        if (action->data().isValid())
            ways[action->data().toUInt()].push_back(action);

    for (const MapCommand& command : kCommandMap) {
        SCOPED_TRACE(std::to_string(command.id) + " " + command.name);
        ASSERT_FALSE(ways[command.id].empty()) << "no item or button";
        // Each item is the frame's command of that id, which runs it.
        for (QAction* action : ways[command.id])
            EXPECT_EQ(action, Frame().GetCommandAction(command.id));
        EXPECT_EQ(Handled(command.id), kItemOnly.count(command.id) == 0);
    }
    for (const auto& [first, last] : kCommandRanges)
        for (unsigned id = first; id <= last; ++id)
            EXPECT_TRUE(Handled(id)) << id;
}

TEST_F(CommandMapMenuTest, TheNewItemsSitInTheirMenusWithTheirKeys) {
    ASSERT_TRUE(Start());
    struct Item {
        const char* menu;
        unsigned id;
        const char* text;
        QKeySequence key;
    };
    const Item cases[] = {
        {"&File", ID_WORKSPACE_SHOW_PROPERTIES, "Workspace &Properties...", {}},
        {"&Edit", ID_TABLE_GO_TO, "&Go To", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"&View", ID_EDIT_SHAPE_DATA, "Shape Data...", QKeySequence(Qt::Key_F9)},
        {"&Insert", ID_FILE_IMPORT_WORKSPACE, "Import From &Workspace File...", {}},
        {"T&able", ID_COLUMN_SORT_ASCENDING, "Sort &Ascending", {}},
        {"T&able", ID_COLUMN_SORT_DESCENDING, "Sort Descending", {}},
        {"T&able", ID_COLUMN_CHECK_DUPLICATES, "&Check for Duplicates...", {}},
        {"T&able", ID_COLUMN_SHOW_VALUE_LIST, "Show &Value List...", {}},
        {"T&able", ID_TABLE_QUERY, "&Query...", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const Item& c : cases) {
        SCOPED_TRACE(c.text);
        QAction* item = MenuItem(QString::fromLatin1(c.menu), c.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text().toStdString(), c.text);
        EXPECT_EQ(item->shortcut(), c.key);
    }
}

TEST_F(CommandMapMenuTest, CtrlQOpensTheQueryAndCtrlGTheGoToBox) {
    StartOnCountries();
    ActivateFrame();
    ASSERT_TRUE(Frame().GetCommandAction(ID_TABLE_QUERY)->isEnabled());
    QTest::keyClick(&Frame(), Qt::Key_Q, Qt::ControlModifier);
    CQueryDialog* query = nullptr;
    for (CQueryDialog* dialog : Frame().findChildren<CQueryDialog*>())
        query = dialog;
    ASSERT_NE(query, nullptr);
    EXPECT_TRUE(query->isVisible());
    query->hide();

    // The menu item does the same.
    MenuItem(QStringLiteral("T&able"), ID_TABLE_QUERY)->trigger();
    EXPECT_TRUE(query->isVisible());
    query->hide();

    ActivateFrame();
    QTest::keyClick(&Frame(), Qt::Key_G, Qt::ControlModifier);
    QWidget* goTo = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle() == QStringLiteral("Go To"))
            goTo = widget;
    ASSERT_NE(goTo, nullptr);
    goTo->hide();

    // Without a theme neither is offered, nor does its key do anything.
    m_Document->ClearThemeSelection();
    Frame().UpdateShortcutCommands();
    EXPECT_FALSE(Frame().GetCommandAction(ID_TABLE_QUERY)->isEnabled());
    EXPECT_FALSE(Frame().GetCommandAction(ID_TABLE_GO_TO)->isEnabled());
}

// Find needs the attribute pane in sight. Its tab clicked behind another
// pane, or the pane closed, turns the item off at once (no idle pass comes
// between), and Ctrl+F with it; the tab brought forward turns both on.
TEST_F(CommandMapMenuTest, FindAndCtrlFFollowWhetherTheAttributePaneCanBeSeen) {
    StartOnCountries();
    ActivateFrame();
    QDockWidget* attributes = Frame().GetPane(ID_PANE_ATTRIBUTES);
    QAction* find = MenuItem(QStringLiteral("&Edit"), ID_TABLE_FIND);
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(find->isEnabled());
    auto clickTab = [this](const QString& title) {
        for (QTabBar* bar : Frame().findChildren<QTabBar*>())
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isVisible() && bar->tabText(i) == title) {
                    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                    return true;
                }
        return false;
    };
    auto findDialog = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("1106") && widget->isVisible())
                return widget;
        return static_cast<QWidget*>(nullptr);
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        bool seen;
    };
    const Step steps[] = {
        {"the Statistics tab clicked", [&] { ASSERT_TRUE(clickTab(QStringLiteral("Statistics"))); }, false},
        {"the Attributes tab clicked", [&] { ASSERT_TRUE(clickTab(QStringLiteral("Attributes"))); }, true},
        {"the Bookmarks tab brought forward", [&] { Frame().GetPane(ID_PANE_BOOKMARKS)->raise(); }, false},
        {"the Attributes tab brought forward", [&] { attributes->raise(); }, true},
        {"the pane closed", [&] { attributes->close(); }, false},
        {"the pane opened again", [&] {
             attributes->toggleViewAction()->trigger();
             attributes->raise();
         }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(m_Attributes->IsWindowVisible(), step.seen);
        EXPECT_EQ(find->isEnabled(), step.seen);
        ActivateFrame();
        QTest::keyClick(&Frame(), Qt::Key_F, Qt::ControlModifier);
        QWidget* dialog = findDialog();
        EXPECT_EQ(dialog != nullptr, step.seen);
        if (dialog != nullptr)
            dialog->hide();
    }
}

TEST_F(CommandMapMenuTest, SortFromTheTableMenuAndStatisticsOverSelectedRows) {
    StartOnCountries();
    const int name = ColumnNamed("name_long");
    ASSERT_GE(name, 0);
    m_Attributes->GetModel()->SetHeadingSelected(name, true);
    // Sorting reorders the shapes, so the theme must be open to edits.
    EXPECT_FALSE(EnabledInFrame(Frame(), ID_COLUMN_SORT_ASCENDING));
    Frame().GetCommandAction(ID_THEME_ENABLE_EDITING)->trigger();
    ASSERT_TRUE(m_Countries->m_Editable);
    ASSERT_TRUE(EnabledInFrame(Frame(), ID_COLUMN_SORT_DESCENDING));
    MenuItem(QStringLiteral("T&able"), ID_COLUMN_SORT_DESCENDING)->trigger();
    const std::vector<std::string> descending = Column(name);
    ASSERT_EQ(descending.size(), 177u);
    // The table is built anew in the new order; the heading is chosen again.
    m_Attributes->GetModel()->SetHeadingSelected(name, true);
    ASSERT_TRUE(EnabledInFrame(Frame(), ID_COLUMN_SORT_ASCENDING));
    MenuItem(QStringLiteral("T&able"), ID_COLUMN_SORT_ASCENDING)->trigger();
    m_Attributes->GetModel()->SetHeadingSelected(name, true);
    const std::vector<std::string> ascending = Column(name);
    EXPECT_EQ(ascending.front(), "Afghanistan");
    EXPECT_EQ(std::vector<std::string>(descending.rbegin(), descending.rend()), ascending);

    // The value list and the duplicate check are offered on the column.
    EXPECT_TRUE(EnabledInFrame(Frame(), ID_COLUMN_SHOW_VALUE_LIST));
    EXPECT_TRUE(EnabledInFrame(Frame(), ID_COLUMN_CHECK_DUPLICATES));

    // With rows selected the statistics ask which rows count.
    const int area = ColumnNamed("area_km2");
    ASSERT_GE(area, 0);
    m_Attributes->GetModel()->ClearHeadingSelection();
    m_Attributes->GetModel()->SetHeadingSelected(area, true);
    m_Countries->AddToSelection(m_Countries->GetShapeIndex(0), 0, 1, 0);
    m_Document->FireUpdateEvent(nullptr, DUE_SelectionChanged, -3);
    ASSERT_EQ(m_Attributes->GetSelectedRows(), std::vector<int>{0});
    ASSERT_TRUE(EnabledInFrame(Frame(), ID_COLUMN_STATISTICS_FIRST));
    QString caption;
    QTimer::singleShot(0, [&caption] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        for (QRadioButton* radio : dialog->findChildren<QRadioButton*>())
            if (radio->text() == QStringLiteral("Selected shapes"))
                radio->click();
        dialog->accept();
    });
    MenuItem(QStringLiteral("T&able"), ID_COLUMN_STATISTICS_FIRST)->trigger();
    EXPECT_EQ(caption, QStringLiteral("Selection"));
    ASSERT_FALSE(m_Ui->Messages().empty());
    EXPECT_NE(m_Ui->Messages().back().find("column 'area_km2'"), std::string::npos) << m_Ui->Messages().back();
    EXPECT_NE(m_Ui->Messages().back().find("occurred 1 time(s)"), std::string::npos) << m_Ui->Messages().back();
}

TEST_F(CommandMapMenuTest, F9ShowsTheBytesOfTheOneSelectedShape) {
    StartOnCountries();
    ActivateFrame();
    EXPECT_FALSE(Frame().GetCommandAction(ID_EDIT_SHAPE_DATA)->isEnabled()) << "nothing selected";
    m_Countries->AddToSelection(m_Countries->GetShapeIndex(0), 0, 1, 0);
    Frame().UpdateShortcutCommands();
    ASSERT_TRUE(Frame().GetCommandAction(ID_EDIT_SHAPE_DATA)->isEnabled());
    std::size_t shownSize = 0;
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* viewer = dynamic_cast<CShapeBinaryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(viewer, nullptr);
        caption = viewer->windowTitle();
        shownSize = viewer->GetShownSize();
        viewer->reject();
    });
    QTest::keyClick(&Frame(), Qt::Key_F9);
    EXPECT_EQ(caption, QStringLiteral("Binary Shape Viewer"));
    EXPECT_EQ(shownSize, CShapeRecord::GetSize(m_Countries->GetShape(0)));
}
