// The routing plug-in as the user meets it: the built Pathrill.gpi loaded
// into the program on the offscreen platform, its toolbar following the idle
// passes, the route wizard walked page by page over the bundled network
// (tests/data/pathrill), nodes picked by selecting them in the node layer,
// and a route's end points dragged with the mouse on the map view.

#include "AdjustRoute.h"
#include "DialogDriver.h"
#include "GpiClient.h"
#include "RouteWizard.h"
#include "PluginTestSupport.h"

#include "app/ChildFrame.h"
#include "app/CorvaleApp.h"
#include "app/CorvaleToolBar.h"
#include "app/MainFrame.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecord.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kGuid = "{7a3d51c2-94e0-4b6f-9c2e-510b8d47a316}";
constexpr std::uint32_t kWizardButton = 103;
constexpr std::uint32_t kAdjustButton = 32773;

// The host's entry for the plug-in classes the tests drive in-process; the
// host refuses the one shape update that comes after `g_UpdatesLeft` have
// gone through.
int g_UpdatesLeft = 1 << 30;
int Refusing(int op, void* block) {
    if (op == GPIOP_ThemeUpdateShape && g_UpdatesLeft-- == 0)
        return GPIERR_PermissionDenied;
    return GpiHostDispatch(op, block);
}

// What the wizard tells its user, kept in order.
struct RecordedOutput : pathrill::RouteWizardOutput {
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void Message(const std::string& caption, const std::string& text, Icon) override {
        messages.push_back(caption + "|" + text);
    }
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
};

std::string Text(const CShapeRecord* record) {
    std::string text;
    for (std::uint32_t i = 0; i < CShapeRecord::GetPointCount(record); ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i);
        // Points found from pixels land within a map unit of where they
        // are meant to.
        text += (text.empty() ? "" : " ") + std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y));
    }
    return text;
}

class PathrillPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
        m_Ui = std::make_unique<corvale::CScriptedUserInterface>();
        m_App = std::make_unique<CCorvaleApp>();
        m_App->m_InstallQtUserInterface = false;
        ASSERT_TRUE(m_App->InitInstance({}));
        LoadGpiPlugins(CORVALE_PLUGIN_DIR);
        CGpiPlugin* plugin = FindGpiPluginByGuid(kGuid);
        ASSERT_NE(plugin, nullptr);
        for (CCorvaleToolBar* bar : Frame().GetPluginToolBars())
            if (bar->windowTitle() == QStringLiteral("Route Toolbar"))
                m_Bar = bar;
        ASSERT_NE(m_Bar, nullptr);
        m_Identity = m_Bar->GetOwner();
        for (const char* name : {"links", "nodes", "links_z"})
            for (const char* extension : {".shp", ".shx", ".dbf"})
                std::filesystem::copy_file(std::string(CORVALE_TEST_DATA) + "/pathrill/" + name + extension,
                                           m_Dir.file(std::string(name) + extension));
    }

    void TearDown() override {
        if (m_App != nullptr)
            m_App->ExitInstance();
        m_App.reset();
        QApplication::processEvents();
        m_Ui.reset();
        *CAppSettings::GetInstance() = m_Saved;
    }

    CMainFrame& Frame() { return *m_App->GetMainFrame(); }

    // The network in the active workspace, the map shown at its full extent.
    void OpenNetwork(const char* linkLayer = "links") {
        m_Doc = Frame().GetActiveDocument();
        ASSERT_NE(m_Doc, nullptr);
        ASSERT_TRUE(m_Doc->OpenDataFile(m_Dir.file(std::string(linkLayer) + ".shp"), true));
        ASSERT_TRUE(m_Doc->OpenDataFile(m_Dir.file("nodes.shp"), true));
        for (CTheme* theme : m_Doc->m_themes)
            (theme->m_ShapeType == SHT_Point ? m_Nodes : m_Links) = theme;
        ASSERT_NE(m_Links, nullptr);
        ASSERT_NE(m_Nodes, nullptr);
        Frame().show();
        m_View = Frame().GetActiveChild()->GetView();
        m_View->resize(440, 340);
        m_Doc->ZoomToFullExtent(nullptr);
        // Room around the network, so that every mark is inside the view.
        const double extent[4] = {-60.0, -60.0, 260.0, 160.0};
        std::copy(extent, extent + 4, m_Doc->m_viewExtent);
        m_View->InvalidateMap(true);
        QApplication::processEvents();
    }

    void Idle() { m_App->OnIdle(0); }

    QAction* Button(std::uint32_t id) {
        for (unsigned command = 21000; command <= 21999; ++command) {
            const CMainFrame::PluginButton* button = Frame().FindPluginButton(command);
            if (button != nullptr && button->plugin == m_Identity && button->oldId == id)
                return Frame().GetCommandAction(command);
        }
        return nullptr;
    }

    void Click(std::uint32_t id) {
        QAction* action = Button(id);
        ASSERT_NE(action, nullptr);
        QWidget* button = m_Bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QDialog* Wizard() { return Frame().findChild<QDialog*>(QStringLiteral("pathrillRouteWizard")); }
    QDialog* AdjustDialog() { return Frame().findChild<QDialog*>(QStringLiteral("pathrillAdjustRoute")); }

    template <typename T>
    T* Child(QWidget* parent, const char* name) {
        T* child = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    void Choose(QComboBox* combo, const QString& text) {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    // The node layer active in the legend, with just the node of that id
    // selected in it.
    void SelectNodes(const std::vector<int>& ids) {
        m_Doc->SelectThemesMatching([this](const CTheme& theme) { return &theme == m_Nodes; });
        m_Nodes->ClearSelection();
        for (int id : ids)
            m_Nodes->AddToSelection(id - 1, id - 1, 3, 0xFF);
        m_Doc->FireUpdateEvent(nullptr, DUE_SelectionChanged, 0);
    }

    // The wizard up to its result page over links and nodes, by length.
    void WalkToResultPage(QDialog* wizard) {
        auto* next = Child<QPushButton>(wizard, "next");
        QTest::mouseClick(next, Qt::LeftButton);
        Choose(Child<QComboBox>(wizard, "linkLayer"), QStringLiteral("links.shp"));
        Choose(Child<QComboBox>(wizard, "fromField"), QStringLiteral("FROMNODE"));
        Choose(Child<QComboBox>(wizard, "toField"), QStringLiteral("TONODE"));
        QTest::mouseClick(next, Qt::LeftButton);
        Choose(Child<QComboBox>(wizard, "nodeLayer"), QStringLiteral("nodes.shp"));
        QTest::mouseClick(next, Qt::LeftButton);
        Child<QRadioButton>(wizard, "shortestPath")->click();
        Choose(Child<QComboBox>(wizard, "lengthField"), QStringLiteral("LENGTH"));
        QTest::mouseClick(next, Qt::LeftButton);
    }

    // The same, and on past the result page (results shown) to the node page.
    void WalkToNodePage(QDialog* wizard) {
        WalkToResultPage(wizard);
        QTest::mouseClick(Child<QPushButton>(wizard, "next"), Qt::LeftButton);
    }

    QPoint Pixel(double x, double y) {
        std::int32_t px = 0, py = 0;
        std::uint32_t map = 0;
        GpiWorkspaceGetMapArgs getMap = {GpiWorkspaceHandle(m_Doc), &map};
        EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetMap, &getMap), GPIERR_NoError);
        GpiMapWorldToClientArgs args = {map, 0, x, y, &px, &py};
        EXPECT_EQ(GpiHostDispatch(GPIOP_MapWorldToClient, &args), GPIERR_NoError);
        return {px, py};
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(m_View->mapToGlobal(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(m_View, &event);
    }

    void Drag(QPoint from, QPoint to) {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    // The links of the route from node 1 to node 6, selected, and the
    // adjustment started on them.
    void StartAdjusting(CTheme* links) {
        // Made editable as the Edit command makes a theme of a file.
        ASSERT_TRUE(links->ConvertToNative(true, false));
        m_Doc->SelectThemesMatching([links](const CTheme& theme) { return &theme == links; });
        for (int index : {4, 5, 6})
            m_Doc->ToggleShapeSelection(links->GetShape(index), index);
        Idle();
        Click(kAdjustButton);
        QDialog* dialog = AdjustDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        Choose(Child<QComboBox>(dialog, "routeLayer"), QString::fromStdString(links->m_Name));
        Idle();
        QApplication::processEvents();
    }

    QColor Grabbed(QPoint at) { return m_View->grab().toImage().pixelColor(at); }

    TempDir m_Dir;
    CAppSettings m_Saved;
    std::unique_ptr<corvale::CScriptedUserInterface> m_Ui;
    std::unique_ptr<CCorvaleApp> m_App;
    CCorvaleToolBar* m_Bar = nullptr;
    std::uint32_t m_Identity = 0;
    CCorvaleDoc* m_Doc = nullptr;
    CTheme* m_Links = nullptr;
    CTheme* m_Nodes = nullptr;
    CGeoView* m_View = nullptr;
};

TEST_F(PathrillPlugin, LoadsWithItsToolbarWhoseButtonsFollowTheIdlePasses) {
    CGpiPlugin* plugin = FindGpiPluginByGuid(kGuid);
    ASSERT_NE(plugin, nullptr);
    QAction* wizard = Button(kWizardButton);
    QAction* adjust = Button(kAdjustButton);
    ASSERT_NE(wizard, nullptr);
    ASSERT_NE(adjust, nullptr);

    // No workspace: both off.
    m_App->CloseAllDocuments();
    QApplication::processEvents();
    Idle();
    EXPECT_FALSE(wizard->isEnabled());
    EXPECT_FALSE(adjust->isEnabled());
    EXPECT_FALSE(adjust->isChecked());

    m_App->OnFileNew();
    QApplication::processEvents();
    Idle();
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_TRUE(adjust->isEnabled());
    EXPECT_FALSE(adjust->isChecked());
}

TEST_F(PathrillPlugin, WizardFindsTheRouteAndSelectsItsLinks) {
    OpenNetwork();
    Idle();
    DialogDriver dialogs;
    Click(kWizardButton);
    QDialog* wizard = Wizard();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Find Route"));
    auto* prev = Child<QPushButton>(wizard, "prev");
    auto* next = Child<QPushButton>(wizard, "next");
    EXPECT_FALSE(prev->isVisible());
    EXPECT_EQ(next->text(), QStringLiteral("Next >>"));

    // The layer lists hold the themes of their kinds only.
    QTest::mouseClick(next, Qt::LeftButton);
    auto* linkLayer = Child<QComboBox>(wizard, "linkLayer");
    ASSERT_EQ(linkLayer->count(), 1);
    EXPECT_EQ(linkLayer->currentIndex(), -1);
    // Choosing the link layer in the legend fills its field lists; a point
    // theme there empties them.
    m_Doc->SelectThemesMatching([this](const CTheme& theme) { return &theme == m_Links; });
    auto* fromField = Child<QComboBox>(wizard, "fromField");
    EXPECT_EQ(linkLayer->currentText(), QStringLiteral("links.shp"));
    EXPECT_EQ(fromField->count(), 3);
    m_Doc->SelectThemesMatching([this](const CTheme& theme) { return &theme == m_Nodes; });
    EXPECT_EQ(fromField->count(), 0);
    QTest::mouseClick(prev, Qt::LeftButton);

    // Button 103 again shows the same window on the page it was on.
    QTest::mouseClick(next, Qt::LeftButton);
    Click(kWizardButton);
    EXPECT_EQ(Wizard(), wizard);
    EXPECT_TRUE(linkLayer->isVisible());
    QTest::mouseClick(prev, Qt::LeftButton);

    WalkToNodePage(wizard);
    EXPECT_EQ(next->text(), QStringLiteral("Calculate"));
    auto* nodes = Child<QListWidget>(wizard, "nodes");
    auto* remove = Child<QPushButton>(wizard, "delete");
    EXPECT_FALSE(remove->isEnabled());

    // Picking: one selected node is added; two, or none, add nothing; a
    // node picked again moves to the end.
    SelectNodes({1});
    SelectNodes({2, 3});
    SelectNodes({});
    SelectNodes({3});
    SelectNodes({1});
    SelectNodes({6});
    ASSERT_EQ(nodes->count(), 3);
    EXPECT_EQ(nodes->item(0)->text(), QStringLiteral("3"));
    EXPECT_EQ(nodes->item(1)->text(), QStringLiteral("1"));
    EXPECT_EQ(nodes->item(2)->text(), QStringLiteral("6"));
    EXPECT_TRUE(remove->isEnabled());
    nodes->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_EQ(nodes->count(), 2);
    EXPECT_EQ(nodes->currentRow(), 0);
    // Deleting changes the picked ids only at the next pick.
    SelectNodes({6});
    ASSERT_EQ(nodes->count(), 2);

    m_Links->ClearSelection();
    dialogs.Button(QMessageBox::Ok);
    dialogs.Button(QMessageBox::Ok);
    QTest::mouseClick(next, Qt::LeftButton);
    auto* status = Child<QLabel>(wizard, "status");
    EXPECT_EQ(status->text().toStdString(),
              "Route contains 3 links with a total cost of 300.000000.\r\n\r\n"
              "Click Prev button to set new start and end nodes for a new route search.");
    ASSERT_EQ(dialogs.m_Seen.size(), 2u);
    EXPECT_EQ(dialogs.m_Seen[0].rfind("|Init completed in ", 0), 0u) << dialogs.m_Seen[0];
    EXPECT_EQ(dialogs.m_Seen[1].rfind("|Query completed in ", 0), 0u) << dialogs.m_Seen[1];
    EXPECT_FALSE(next->isVisible());
    std::vector<int> selected;
    for (int i = 0; i < m_Links->GetShapeCount(); ++i)
        if (m_Links->GetSelectionIndex(i) >= 0)
            selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{4, 5, 6}));

    // Back to the nodes: a single node left finds nothing.
    QTest::mouseClick(prev, Qt::LeftButton);
    ASSERT_EQ(nodes->count(), 2);
    nodes->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_FALSE(remove->isEnabled());
    SelectNodes({1});
    ASSERT_EQ(nodes->count(), 1);
    dialogs.Button(QMessageBox::Ok);
    dialogs.Button(QMessageBox::Ok);
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_EQ(dialogs.m_Seen.size(), 4u);
    EXPECT_EQ(dialogs.m_Seen[3], "Route Engine|No route found!");
    // The box is wide enough for its whole title.
    EXPECT_GE(dialogs.m_TitleRoom.back(), 100);
    EXPECT_EQ(status->text().toStdString(),
              "Click Prev button to set new start and end nodes for a new route search.");

    // Cancel closes the window; reopening starts again on the first page.
    QTest::mouseClick(Child<QPushButton>(wizard, "cancel"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Wizard(), nullptr);
    Click(kWizardButton);
    ASSERT_NE(Wizard(), nullptr);
    EXPECT_FALSE(Child<QPushButton>(Wizard(), "prev")->isVisible());
    EXPECT_EQ(dialogs.Pending(), 0u);
}

TEST_F(PathrillPlugin, CopyResultToNewLayerMakesAThemeOfTheRouteLinks) {
    OpenNetwork();
    Idle();
    DialogDriver dialogs;
    Click(kWizardButton);
    QDialog* wizard = Wizard();
    ASSERT_NE(wizard, nullptr);
    auto* next = Child<QPushButton>(wizard, "next");
    WalkToResultPage(wizard);
    auto* resultLayer = Child<QComboBox>(wizard, "resultLayer");
    EXPECT_FALSE(resultLayer->isEnabled());
    Child<QRadioButton>(wizard, "copyToLayer")->click();
    EXPECT_TRUE(resultLayer->isEnabled());
    EXPECT_EQ(resultLayer->currentText(), QStringLiteral("<Create new theme>"));
    QTest::mouseClick(next, Qt::LeftButton);
    SelectNodes({1});
    SelectNodes({6});
    dialogs.Button(QMessageBox::Ok);
    dialogs.Button(QMessageBox::Ok);
    const std::size_t before = m_Doc->m_themes.size();
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_EQ(m_Doc->m_themes.size(), before + 1);
    CTheme* route = nullptr;
    for (CTheme* theme : m_Doc->m_themes)
        if (theme->m_Name == "Route")
            route = theme;
    ASSERT_NE(route, nullptr);
    EXPECT_EQ(route->m_ShapeType, SHT_Polyline);
    ASSERT_EQ(route->GetShapeCount(), 3);
    EXPECT_EQ(Text(route->GetShape(0)), "0,0 0,100");
    EXPECT_EQ(Text(route->GetShape(2)), "100,100 200,100");
    EXPECT_EQ(route->GetAttributeText(2, 0) + ">" + route->GetAttributeText(2, 1), "5>6");
}

TEST_F(PathrillPlugin, DraggingASharedEndPointMovesItOnBothRoutes) {
    OpenNetwork();
    StartAdjusting(m_Links);
    QAction* adjust = Button(kAdjustButton);
    EXPECT_TRUE(adjust->isChecked());

    // The marks: one for each end point, the shared ones once; drawn over
    // the map.
    const QColor mark = Grabbed(Pixel(200, 100) + QPoint(2, 2));
    EXPECT_GT(mark.red(), 150);
    EXPECT_LT(mark.green(), 80);
    EXPECT_LT(mark.blue(), 80);

    // A press 6 pixels off the mark picks nothing.
    const QPoint shared = Pixel(100, 100);
    Drag(shared + QPoint(-6, 0), Pixel(50, 100));
    EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 100,100");

    // Grabbing the shared mark 4 pixels up-left of it and releasing half
    // way along link 6: link 6 is cut back, link 7 extended to the point.
    // While dragged, the mark shows in its own colour at the point of the
    // route nearest to the pointer.
    Mouse(QEvent::MouseButtonPress, shared + QPoint(-4, -4), Qt::LeftButton);
    Mouse(QEvent::MouseMove, Pixel(50, 130), Qt::LeftButton);
    QApplication::processEvents();
    const QColor dragged = Grabbed(Pixel(50, 100) + QPoint(2, 2));
    EXPECT_GT(dragged.blue(), 150);
    EXPECT_LT(dragged.red(), 80);
    const QColor left = Grabbed(shared + QPoint(2, 2));
    EXPECT_FALSE(left.red() > 150 && left.green() < 80) << "the dragged mark is not drawn at its old place";
    Mouse(QEvent::MouseButtonRelease, Pixel(50, 100) + QPoint(-4, -4), Qt::NoButton);
    EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 50,100");
    EXPECT_EQ(Text(m_Links->GetAllShape(6)), "50,100 100,100 200,100");
    EXPECT_EQ(Text(m_Links->GetAllShape(4)), "0,0 0,100");
    const QColor moved = Grabbed(Pixel(50, 100) + QPoint(2, 2));
    EXPECT_GT(moved.red(), 150);
    EXPECT_LT(moved.green(), 80);

    // A built-in tool ends the adjustment at the next idle pass.
    m_Doc->m_toolMode = MT_Select;
    Idle();
    EXPECT_FALSE(adjust->isChecked());
    EXPECT_FALSE(AdjustDialog()->isVisible());
    QApplication::processEvents();
    const QColor gone = Grabbed(Pixel(50, 100) + QPoint(2, 2));
    EXPECT_FALSE(gone.red() > 150 && gone.green() < 80) << "no marks once the tool is changed";
    Drag(Pixel(50, 100), Pixel(20, 100));
    EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 50,100");
}

TEST_F(PathrillPlugin, HeightsStayWithAPolylineZRouteLayer) {
    OpenNetwork("links_z");
    ASSERT_EQ(m_Links->m_ShapeType, SHT_PolylineZ);
    StartAdjusting(m_Links);
    Drag(Pixel(100, 100), Pixel(50, 100));
    const CShapeRecord* cut = m_Links->GetAllShape(5);
    const CShapeRecord* extended = m_Links->GetAllShape(6);
    ASSERT_EQ(CShapeRecord::GetShapeType(cut), SHT_PolylineZ);
    ASSERT_EQ(CShapeRecord::GetShapeType(extended), SHT_PolylineZ);
    EXPECT_EQ(Text(cut), "0,100 50,100");
    EXPECT_EQ(Text(extended), "50,100 100,100 200,100");
    // z = x / 10 + y / 10 along the links: 15 at the new end point.
    EXPECT_DOUBLE_EQ(CShapeRecord::GetZ(cut, 0), 10.0);
    EXPECT_NEAR(CShapeRecord::GetZ(cut, 1), 15.0, 0.1);
    EXPECT_NEAR(CShapeRecord::GetZ(extended, 0), 15.0, 0.1);
    EXPECT_DOUBLE_EQ(CShapeRecord::GetZ(extended, 1), 20.0);
    EXPECT_DOUBLE_EQ(CShapeRecord::GetZ(extended, 2), 30.0);
}

TEST_F(PathrillPlugin, EscapeEndsADragAndCancelReturnsToTheSelectTool) {
    OpenNetwork();
    StartAdjusting(m_Links);
    const QPoint shared = Pixel(100, 100);
    Mouse(QEvent::MouseButtonPress, shared, Qt::LeftButton);
    Mouse(QEvent::MouseMove, Pixel(50, 100), Qt::LeftButton);
    QTest::keyClick(m_View, Qt::Key_Escape);
    Mouse(QEvent::MouseButtonRelease, Pixel(50, 100), Qt::NoButton);
    EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 100,100");

    AdjustDialog()->reject();
    EXPECT_EQ(m_Doc->m_toolMode, MT_Select);
    Idle();
    EXPECT_FALSE(Button(kAdjustButton)->isChecked());
}

TEST_F(PathrillPlugin, ScriptMembersKeepAColourAndAnswerAString) {
    const std::uint32_t workspace = GpiWorkspaceHandle(Frame().GetActiveDocument());
    auto call = [&](const char* name, std::vector<GpiScriptValue> arguments, std::uint32_t& count,
                    GpiScriptValue*& results) {
        std::uint32_t inOut = 0;
        count = 0;
        results = nullptr;
        return GpiInvokePluginScript(kGuid, workspace, name, &inOut, static_cast<std::uint32_t>(arguments.size()),
                                     arguments.empty() ? nullptr : arguments.data(), &count, &results);
    };
    std::uint32_t count = 0;
    GpiScriptValue* results = nullptr;
    GpiScriptValue colour = {};
    colour.type = GPISV_Color;
    colour.value.color = 0x00336699;
    ASSERT_EQ(call("color", {colour}, count, results), GPISCRIPT_Ok);
    // A value of another type is refused and the colour kept.
    GpiScriptValue number = {};
    number.type = GPISV_Int;
    number.value.integer = 7;
    EXPECT_EQ(call("color", {number}, count, results), GPISCRIPT_BadParameters);
    ASSERT_EQ(call("color", {}, count, results), GPISCRIPT_Ok);
    ASSERT_EQ(count, 1u);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results[0].type, static_cast<std::uint32_t>(GPISV_Color));
    EXPECT_EQ(results[0].value.color, 0x00336699u);
    GpiHostDispatch(GPIOP_HostFree, results);

    ASSERT_EQ(call("getStringValue", {}, count, results), GPISCRIPT_Ok);
    ASSERT_EQ(count, 1u);
    ASSERT_EQ(results[0].type, static_cast<std::uint32_t>(GPISV_String));
    EXPECT_STREQ(results[0].value.text, "A string");
    GpiHostDispatch(GPIOP_HostFree, const_cast<char*>(results[0].value.text));
    GpiHostDispatch(GPIOP_HostFree, results);

    // Other names are answered without a value.
    EXPECT_EQ(call("Color", {}, count, results), GPISCRIPT_Ok);
    EXPECT_EQ(count, 0u);
}

TEST_F(PathrillPlugin, AnotherWorkspaceSetsTheAdjustedOneBackToTheSelectTool) {
    OpenNetwork();
    StartAdjusting(m_Links);
    ASSERT_EQ(m_Doc->m_toolMode, 255u) << "the plug-in's tool 256";
    CCorvaleDoc* other = m_App->OnFileNew();
    ASSERT_NE(other, nullptr);
    QApplication::processEvents();
    ASSERT_EQ(Frame().GetActiveDocument(), other);
    EXPECT_EQ(m_Doc->m_toolMode, MT_Select);
}

TEST_F(PathrillPlugin, RemovingTheRouteLayerDropsItsMarks) {
    OpenNetwork();
    StartAdjusting(m_Links);
    const QPoint shared = Pixel(100, 100);
    QApplication::processEvents();
    EXPECT_GT(Grabbed(shared + QPoint(2, 2)).red(), 150);
    ASSERT_TRUE(m_Doc->RemoveTheme(m_Links));
    m_Links = nullptr;
    Idle();
    QApplication::processEvents();
    const QColor gone = Grabbed(shared + QPoint(2, 2));
    EXPECT_FALSE(gone.red() > 150 && gone.green() < 80);
    // The layer lists no longer offer it; a press where a mark was does
    // nothing.
    EXPECT_EQ(Child<QComboBox>(AdjustDialog(), "routeLayer")->count(), 0);
    Drag(shared, Pixel(50, 100));
}

TEST_F(PathrillPlugin, AScriptThatCannotBeLoadedIsReportedAfterTheMove) {
    OpenNetwork();
    StartAdjusting(m_Links);
    Child<QLineEdit>(AdjustDialog(), "script")->setText(QString::fromStdString(m_Dir.file("missing.js")));
    DialogDriver dialogs;
    dialogs.Button(QMessageBox::Ok);
    Drag(Pixel(100, 100), Pixel(50, 100));
    EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 50,100");
    ASSERT_EQ(dialogs.m_Seen.size(), 1u);
    EXPECT_EQ(dialogs.m_Seen[0].rfind("Pathrill|An error occurred trying to load the JavaScript:\n\n", 0), 0u)
        << dialogs.m_Seen[0];
}

TEST_F(PathrillPlugin, WizardReopenedFromAnotherWorkspaceListsItsThemes) {
    OpenNetwork();
    Idle();
    Click(kWizardButton);
    QDialog* wizard = Wizard();
    ASSERT_NE(wizard, nullptr);
    QTest::mouseClick(Child<QPushButton>(wizard, "next"), Qt::LeftButton);
    auto* linkLayer = Child<QComboBox>(wizard, "linkLayer");
    EXPECT_EQ(linkLayer->count(), 1);
    CCorvaleDoc* other = m_App->OnFileNew();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(other->OpenDataFile(m_Dir.file("nodes.shp"), true));
    QApplication::processEvents();
    Idle();
    Click(kWizardButton);
    EXPECT_EQ(Wizard(), wizard);
    EXPECT_EQ(linkLayer->count(), 0);
    EXPECT_EQ(Child<QComboBox>(wizard, "nodeLayer")->count(), 1);
    EXPECT_TRUE(linkLayer->isVisible()) << "still on its page";
}

TEST_F(PathrillPlugin, WizardHelpShowsThePageOfItsLink) {
    OpenNetwork();
    Idle();
    Click(kWizardButton);
    QDialog* wizard = Wizard();
    ASSERT_NE(wizard, nullptr);
    QTest::mouseClick(Child<QPushButton>(wizard, "next"), Qt::LeftButton);
    QLabel* help = nullptr;
    for (QLabel* label : wizard->findChildren<QLabel*>(QStringLiteral("help")))
        if (label->isVisible())
            help = label;
    ASSERT_NE(help, nullptr);
    emit help->linkActivated(QStringLiteral("help:links"));
    auto* page = wizard->findChild<QDialog*>(QStringLiteral("pathrillRouteHelp"));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->windowTitle(), QStringLiteral("Find Route Help"));
    auto* text = page->findChild<QTextBrowser*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Each link in the layer is considered one-way.")));
}

// The wizard's logic without its window: the checks of a run in order, then
// a route over two legs, its links selected in route order.
TEST_F(PathrillPlugin, WizardLogicChecksItsSettingsAndRunsLegByLeg) {
    OpenNetwork();
    GpiInitInfo info = {};
    info.dispatch = &Refusing;
    CvClientInit(info);
    pathrill::CRouteWizard wizard;
    wizard.workspace = CvWorkspace(GpiWorkspaceHandle(m_Doc));
    const std::uint32_t links = GpiThemeHandle(m_Links);
    const std::uint32_t nodes = GpiThemeHandle(m_Nodes);

    struct Step {
        const char* name;
        std::uint32_t link, node, from, to;
        const char* status;
    };
    const Step steps[] = {
        {"no link layer", 0, nodes, 0, 1, "Invalid link layer."},
        {"no node layer", links, 0, 0, 1, "Invalid node layer."},
        {"from field beyond the fields", links, nodes, 3, 1, "Invalid from node id field."},
        {"to field beyond the fields", links, nodes, 0, 3, "Invalid to node id field."},
    };
    for (const Step& step : steps) {
        RecordedOutput output;
        wizard.linkLayer = CvTheme(step.link);
        wizard.nodeLayer = CvTheme(step.node);
        wizard.fromField = step.from;
        wizard.toField = step.to;
        EXPECT_FALSE(wizard.CalculateRoute(output)) << step.name;
        EXPECT_EQ(output.statuses, std::vector<std::string>{step.status}) << step.name;
        EXPECT_TRUE(output.messages.empty()) << step.name;
    }

    // 4 -> 5 -> 2 -> 3: two legs, 100 + 300 + 100.
    wizard.toField = 1;
    wizard.algorithm.lengthField = 2;
    wizard.nodeIds = {4, 2, 3};
    RecordedOutput output;
    ASSERT_TRUE(wizard.CalculateRoute(output));
    ASSERT_EQ(output.statuses.size(), 3u);
    EXPECT_EQ(output.statuses[0], "Initializing network...");
    EXPECT_EQ(output.statuses[1], "Calculating route...");
    EXPECT_EQ(output.statuses[2].substr(0, 55), "Route contains 3 links with a total cost of 500.000000.");
    ASSERT_EQ(output.messages.size(), 2u);
    EXPECT_EQ(m_Links->GetSelectionIndex(5), 0);
    EXPECT_EQ(m_Links->GetSelectionIndex(8), 1);
    EXPECT_EQ(m_Links->GetSelectionIndex(2), 2);

    // A new window starts on the first page with an empty list, but the
    // nodes picked before are kept for the next run.
    wizard.page = pathrill::CRouteWizard::kNodePage;
    wizard.nodeLines = {"4", "3"};
    wizard.Start();
    EXPECT_EQ(wizard.page, pathrill::CRouteWizard::kInfoPage);
    EXPECT_TRUE(wizard.nodeLines.empty());
    EXPECT_EQ(wizard.nodeIds, (std::vector<std::int32_t>{4, 2, 3}));

    // The page walk: the hooks each page listens to, the Next button's text.
    EXPECT_EQ(pathrill::CRouteWizard::HooksOf(1), std::vector<std::uint32_t>{GPIHOOK_ActiveThemeChanged});
    EXPECT_EQ(pathrill::CRouteWizard::HooksOf(5), std::vector<std::uint32_t>{GPIHOOK_SelectionChanged});
    EXPECT_TRUE(pathrill::CRouteWizard::HooksOf(3).empty());
    wizard.page = pathrill::CRouteWizard::kNodePage;
    EXPECT_STREQ(wizard.NextText(), "Calculate");
    wizard.nodeIds.clear();
    RecordedOutput none;
    wizard.Next(none);
    EXPECT_EQ(wizard.page, pathrill::CRouteWizard::kResultPage);
    EXPECT_FALSE(wizard.NextShown());
    EXPECT_FALSE(wizard.lastRunFound);
    EXPECT_EQ(none.statuses.front(), "Calculating...");
    EXPECT_EQ(none.messages.back(), "Route Engine|No route found!");
}

// Moving an end point writes every polyline it touches or none: when the
// host refuses the second write, the first is put back. Parts other than
// the first stay as they were.
TEST_F(PathrillPlugin, ARefusedWriteLeavesEveryRouteAsItWas) {
    OpenNetwork();
    ASSERT_TRUE(m_Links->ConvertToNative(true, false));
    // Link 7 gets a second part, far off, which no move may lose.
    const std::vector<unsigned char> twoParts = pathrill::BuildPolylineRecord(
        std::vector<pathrill::RouteVertices>{{{100, 100, 0, 0}, {200, 100, 0, 0}}, {{300, 300, 0, 0}, {310, 300, 0, 0}}},
        SHT_Polyline);
    ASSERT_NE(m_Links->ReplaceShape(CShapeRecord::FromBytes(twoParts.data()), m_Links->GetAllShape(6)), nullptr);
    for (int index : {4, 5, 6})
        m_Links->AddToSelection(index, index, 1, 0xFF);
    GpiInitInfo info = {};
    info.dispatch = &Refusing;
    CvClientInit(info);
    {
        pathrill::CAdjustRouteController controller;
        controller.SetWorkspace(CvWorkspace(GpiWorkspaceHandle(m_Doc)));
        controller.Activate(true);
        ASSERT_NE(controller.Dialog(), nullptr);
        Choose(Child<QComboBox>(controller.Dialog(), "routeLayer"), QStringLiteral("links.shp"));
        ASSERT_EQ(controller.EndPoints().size(), 4u);
        const auto shared = controller.EndPoints().find({100.0, 100.0});
        ASSERT_NE(shared, controller.EndPoints().end());
        ASSERT_EQ(shared->second.polylines.size(), 2u);

        g_UpdatesLeft = 1;
        EXPECT_THROW(controller.ApplyEndPointMove(50.0, 100.0, shared->second), CvException);
        EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 100,100");
        EXPECT_EQ(Text(m_Links->GetAllShape(6)), "100,100 200,100 300,300 310,300");

        g_UpdatesLeft = 1 << 30;
        const pathrill::EndPointDrag drag = controller.EndPoints().at({100.0, 100.0});
        controller.ApplyEndPointMove(50.0, 100.0, drag);
        EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 50,100");
        EXPECT_EQ(Text(m_Links->GetAllShape(6)), "50,100 100,100 200,100 300,300 310,300");
        EXPECT_EQ(CShapeRecord::GetPartCount(m_Links->GetAllShape(6)), 2u);
        EXPECT_EQ(CShapeRecord::GetPartStart(m_Links->GetAllShape(6), 1), 3u);
        // The marks follow: the shared one is now at the new point.
        EXPECT_EQ(controller.EndPoints().count({50.0, 100.0}), 1u);
        EXPECT_EQ(controller.EndPoints().count({100.0, 100.0}), 0u);

        // Dragged onto the far end of link 6, the point would leave link 6
        // a single vertex: nothing changes.
        const pathrill::EndPointDrag again = controller.EndPoints().at({50.0, 100.0});
        controller.ApplyEndPointMove(0.0, 100.0, again);
        EXPECT_EQ(Text(m_Links->GetAllShape(5)), "0,100 50,100");
        EXPECT_EQ(Text(m_Links->GetAllShape(6)), "50,100 100,100 200,100 300,300 310,300");
        controller.Activate(false);
    }
    CvClientInit(GpiInitInfo{});
}

} // namespace
