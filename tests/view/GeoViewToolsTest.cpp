// The map view's mouse tools, driven by Qt Test's mouse, wheel and key
// events on the offscreen platform: navigation, measuring, pointer feedback
// and selection.

#include "ViewTestSupport.h"

#include "crs/RefSysTable.h"
#include "framework/ScriptedUserInterface.h"
#include "geometry/SpatialHash.h"
#include "platform/ByteOrder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <cmath>

namespace {

class SettingsGuard {
public:
    SettingsGuard() : m_Saved(*CAppSettings::GetInstance()) {}
    ~SettingsGuard() { *CAppSettings::GetInstance() = m_Saved; }

private:
    CAppSettings m_Saved;
};

class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) {
        doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate);
    }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    int Count(int code, std::intptr_t data) const {
        return static_cast<int>(std::count(events.begin(), events.end(), std::make_pair(code, data)));
    }
    std::vector<std::pair<int, std::intptr_t>> events;

private:
    CCorvaleDoc& m_Doc;
};

// A shown view whose viewport holds the first rendering; with the default
// extent (0, 0)-(100, 100) on 100 x 100 pixels, pixel (x, y) shows the map
// point (x, 100 - y).
std::unique_ptr<CGeoView> ShownView(TestWorkspace& ws, int width = 100, int height = 100) {
    auto view = MakeView(ws, width, height);
    view->show();
    view->GetMapPicture();
    return view;
}

std::array<double, 4> Extent(const TestWorkspace& ws) {
    const double* e = ws.doc->m_viewExtent;
    return {e[0], e[1], e[2], e[3]};
}

void ExpectExtent(const TestWorkspace& ws, std::array<double, 4> expected) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(ws.doc->m_viewExtent[i], expected[i], 1e-9) << "corner " << i;
}

QImage Shown(CGeoView& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Click(CGeoView& view, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(&view, Qt::LeftButton, keys, at);
}

void Drag(CGeoView& view, QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mousePress(&view, Qt::LeftButton, keys, from);
    QTest::mouseMove(&view, to);
    QTest::mouseRelease(&view, Qt::LeftButton, keys, to);
}

// The offscreen platform sends no context-menu request of its own: the test
// sends it after the button goes down, as desktop platforms do.
void RightClickWithMenu(CGeoView& view, QPoint at) {
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &menu);
    QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, at);
}

std::set<int> Selected(const CTheme* theme) {
    std::set<int> indexes;
    for (const auto& entry : theme->m_Selection)
        indexes.insert(entry.first);
    return indexes;
}

// ---------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------

TEST(GeoViewToolsTest, PanMovesThePictureThenTheExtent) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 50, 100)}, kRefRed);
    ws.doc->m_toolMode = MT_Pan;
    auto view = ShownView(ws);

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(ws.doc->m_toolMode, MT_PanDrag);
    QTest::mouseMove(view.get(), QPoint(70, 60));
    // The picture follows the pointer: the red half now reaches x = 69 and
    // the background shows where the picture left the window.
    const QImage dragging = Shown(*view);
    EXPECT_EQ(dragging.pixelColor(65, 80), Colour(kRefRed));
    EXPECT_EQ(dragging.pixelColor(10, 5), Colour(kRefWhite));
    // The cross in the centre: black over a white rim.
    EXPECT_EQ(dragging.pixelColor(50 + 5, 50), QColor(0, 0, 0));
    EXPECT_EQ(dragging.pixelColor(50 + 5, 49), QColor(255, 255, 255));
    const std::uint64_t renders = view->m_renderCount;
    EXPECT_EQ(Extent(ws), (std::array<double, 4>{0, 0, 100, 100}));

    // Back to the press point: the extent is as it was, the map is drawn again.
    QTest::mouseMove(view.get(), QPoint(50, 50));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(ws.doc->m_toolMode, MT_Pan);
    ExpectExtent(ws, {0, 0, 100, 100});
    Shown(*view);
    EXPECT_EQ(view->m_renderCount, renders + 1);

    // Dragging right and down shows what lies left and above.
    Drag(*view, QPoint(50, 50), QPoint(60, 70));
    ExpectExtent(ws, {-10, 20, 90, 120});
}

TEST(GeoViewToolsTest, ZoomRectangleKeepsTheWindowsProportions) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    // Nothing starts at 0, so a corner computed from another new corner
    // would show.
    ws.SetExtent(1000, 500, 1200, 600);
    ws.doc->m_toolMode = MT_ZoomIn;
    auto view = ShownView(ws, 200, 100);
    ExpectExtent(ws, {1000, 500, 1200, 600});

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(ws.doc->m_toolMode, MT_ZoomInDrag);
    // The pointer lies far below: the rectangle still has the window's
    // proportions, 40 x 20.
    QTest::mouseMove(view.get(), QPoint(60, 90));
    EXPECT_EQ(view->m_dragRect, (CDeviceRect{20, 20, 60, 40}));
    // Inverted lines over the white background.
    const QImage shown = Shown(*view);
    EXPECT_EQ(shown.pixelColor(40, 20), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(40, 40), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(20, 30), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(40, 30), Colour(kRefWhite));
    EXPECT_EQ(shown.pixelColor(40, 41), Colour(kRefWhite));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_ZoomIn);
    ExpectExtent(ws, {1020, 560, 1060, 580});

    // Up and to the left of the press point the rectangle grows upwards.
    ws.doc->m_toolMode = MT_ZoomInDrag;
    view->m_pressPoint = {100, 80};
    view->OnMouseMove(0, {60, 10});
    EXPECT_EQ(view->m_dragRect, (CDeviceRect{100, 80, 60, 60}));
    view->OnMouseMove(0, {140, 10});
    EXPECT_EQ(view->m_dragRect, (CDeviceRect{100, 60, 140, 80}));
    ws.doc->m_toolMode = MT_ZoomIn;
}

TEST(GeoViewToolsTest, ATinyZoomRectangleOnlyRepaints) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.doc->m_toolMode = MT_ZoomIn;
    auto view = ShownView(ws, 200, 100);
    const auto before = Extent(ws);
    const std::uint64_t renders = view->m_renderCount;
    // 2 pixels wide.
    Drag(*view, QPoint(20, 20), QPoint(22, 60));
    EXPECT_EQ(Extent(ws), before);
    // A plain click.
    Click(*view, QPoint(50, 50));
    EXPECT_EQ(Extent(ws), before);
    Shown(*view);
    EXPECT_EQ(view->m_renderCount, renders);
    EXPECT_FALSE(view->m_dragRectShown);
}

TEST(GeoViewToolsTest, ZoomOutCentresOnTheClick) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.doc->m_toolMode = MT_ZoomOut;
    auto view = ShownView(ws);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    ExpectExtent(ws, {0, 0, 100, 100});
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    ExpectExtent(ws, {30 - 80, 80 - 80, 30 + 80, 80 + 80});
}

void Wheel(CGeoView& view, QPoint at, int delta) {
    QWheelEvent event(QPointF(at), QPointF(view.mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &event);
    // The extent change asks for a new picture; the next step reads its
    // mapping.
    view.GetMapPicture();
}

TEST(GeoViewToolsTest, WheelStepsAboutThePointer) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_MouseWheelZoom = 1;
    struct Case {
        std::vector<int> deltas;
        double width; // of the extent afterwards, from 100
    };
    const Case cases[] = {
        {{60}, 100},        // half a notch: nothing yet
        {{60, 60}, 75},     // two halves make a step
        {{30, 30, 30, 30}, 75},
        {{120}, 75},        // forward zooms in to 3/4
        {{240}, 75},        // one step per message
        {{-120}, 125},      // backward zooms out to 5/4
        {{120, -120}, 93.75},
        {{60, -60, 60}, 100}, // a turn back starts afresh
    };
    for (const Case& c : cases) {
        TestWorkspace ws;
        ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
        auto view = ShownView(ws);
        const CShapePoint under = ScreenToMap(view->m_viewport, 30, 70);
        for (int delta : c.deltas)
            Wheel(*view, QPoint(30, 70), delta);
        const double* e = ws.doc->m_viewExtent;
        EXPECT_NEAR(e[2] - e[0], c.width, 1e-9) << c.deltas.size() << " " << c.deltas[0];
        EXPECT_NEAR(e[3] - e[1], c.width, 1e-9);
        // The map point under the pointer stays there.
        const double px = e[0] + (e[2] - e[0]) * 30.0 / 100.0;
        const double py = e[3] - (e[3] - e[1]) * 70.0 / 100.0;
        EXPECT_NEAR(px, under.x, 1e-9);
        EXPECT_NEAR(py, under.y, 1e-9);
    }
}

TEST(GeoViewToolsTest, WheelWithoutTheSettingDoesNothing) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_MouseWheelZoom = 0;
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = ShownView(ws);
    EventLog log(*ws.doc);
    EXPECT_EQ(view->OnMouseWheel(120, {50, 50}), 0);
    EXPECT_EQ(Extent(ws), (std::array<double, 4>{0, 0, 100, 100}));

    // A step tells every listener of the new extent.
    CAppSettings::GetInstance()->m_MouseWheelZoom = 1;
    EXPECT_EQ(view->OnMouseWheel(120, {50, 50}), 1);
    EXPECT_EQ(log.Count(DUE_ExtentChanged, 0), 1);
    EXPECT_TRUE(view->m_mapDirty);
    // Outside the window the wheel does nothing.
    EXPECT_EQ(view->OnMouseWheel(120, {150, 50}), 1);
    EXPECT_EQ(log.Count(DUE_ExtentChanged, 0), 1);
}

TEST(GeoViewToolsTest, ArrowKeysMoveAThirdOfTheView) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.SetExtent(0, 0, 300, 600);
    auto view = ShownView(ws, 100, 200);
    EventLog log(*ws.doc);
    QTest::keyClick(view.get(), Qt::Key_Left);
    ExpectExtent(ws, {-100, 0, 200, 600});
    QTest::keyClick(view.get(), Qt::Key_Up);
    ExpectExtent(ws, {-100, 200, 200, 800});
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Down);
    ExpectExtent(ws, {0, 0, 300, 600});
    EXPECT_TRUE(log.events.empty());
    EXPECT_TRUE(view->m_mapDirty);
}

TEST(GeoViewToolsTest, ResizingKeepsUnitsPerPixel) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = ShownView(ws);
    const std::uint64_t renders = view->m_renderCount;
    view->resize(200, 50);
    QApplication::processEvents();
    ExpectExtent(ws, {0, 50, 200, 100});
    Shown(*view);
    EXPECT_EQ(view->m_renderCount, renders + 1);
    view->resize(100, 25);
    QApplication::processEvents();
    ExpectExtent(ws, {0, 75, 100, 100});
    // Smaller in both directions: the cached picture still covers it.
    Shown(*view);
    EXPECT_EQ(view->m_renderCount, renders + 1);

    // An empty workspace has no scale to keep, nor has a first size.
    TestWorkspace empty;
    auto other = MakeView(empty);
    other->OnSize(100, 100);
    other->OnSize(200, 50);
    EXPECT_EQ(Extent(empty), (std::array<double, 4>{0, 0, 100, 100}));
    EXPECT_EQ(other->m_lastClientSize, QSize(200, 50));
}

// ---------------------------------------------------------------------------
// Measuring and pointer feedback
// ---------------------------------------------------------------------------

TEST(GeoViewToolsTest, MeasureAddsEuclideanDistancesWithoutAReferenceSystem) {
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.doc->m_toolMode = MT_Measure;
    auto view = ShownView(ws);
    Click(*view, QPoint(10, 90)); // (10, 10)
    QTest::mouseMove(view.get(), QPoint(40, 50)); // (40, 50): 50 from the first point
    ASSERT_FALSE(ui.paneTexts.empty());
    EXPECT_EQ(ui.paneTexts.back(), std::make_pair(1133, std::string("50.000000\u00B0")));
    Click(*view, QPoint(40, 50));
    QTest::mouseMove(view.get(), QPoint(40, 20)); // 30 further
    EXPECT_EQ(ui.paneTexts.back().second, "80.000000\u00B0");
    EXPECT_EQ(view->m_toolPoints.size(), 2u);

    // The line and its rubber segment are painted over the map.
    const QImage shown = Shown(*view);
    const QColor inverted(0, 255, 255);
    EXPECT_EQ(shown.pixelColor(40, 35), inverted);
    EXPECT_EQ(shown.pixelColor(40, 60), Colour(kRefRed));

    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_TRUE(view->m_toolPoints.empty());
    EXPECT_EQ(ui.paneTexts.back().second, "");
    EXPECT_EQ(CountColour(Shown(*view), inverted), 0);
}

// With a reference system the figure is a length on the ground, in metres
// up to a kilometre and in kilometres beyond. Expected values: the great
// circle on the document's sphere of radius 6361442.043 m, one degree of
// latitude being 6361442.043 * pi / 180 = 111028.1088 m (python3 math).
TEST(GeoViewToolsTest, MeasureShowsGroundLengthsWithTheirUnit) {
    int wgs84 = -1;
    for (int i = 0; i < kRefSysCount; ++i)
        if (RefSysTable()[static_cast<std::size_t>(i)].id == 2)
            wgs84 = i;
    ASSERT_GE(wgs84, 0);
    struct Case {
        double extent; // the square extent 0..extent on 100 pixels
        int pixels;    // how far north the pointer goes
        const char* shown;
    };
    const Case cases[] = {{0.1, 1, "111.03 m"}, {100.0, 2, "222.056 km"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        corvale::CScriptedUserInterface ui;
        TestWorkspace ws;
        ws.AddPolygonTheme("t", {Square(0, 0, c.extent, c.extent)}, kRefRed);
        ws.SetExtent(0, 0, c.extent, c.extent);
        ws.doc->m_refSystem = wgs84;
        ws.doc->m_toolMode = MT_Measure;
        auto view = ShownView(ws);
        Click(*view, QPoint(10, 90));
        // Each pixel north is a hundredth of the extent's height.
        QTest::mouseMove(view.get(), QPoint(10, 90 - c.pixels));
        ASSERT_FALSE(ui.paneTexts.empty());
        EXPECT_EQ(ui.paneTexts.back(), std::make_pair(1133, std::string(c.shown)));
    }
}

TEST(GeoViewToolsTest, StatusCoordinatesAndInfoTips) {
    RecordingServices services;
    TestWorkspace ws;
    CTheme* theme = ws.AddPolygonTheme("t", {Square(0, 0, 50, 50), Square(50, 50, 100, 100)},
                                       kRefRed);
    auto view = ShownView(ws);
    ASSERT_TRUE(view->m_infoTip.Exists());
    QTest::mouseMove(view.get(), QPoint(25, 30));
    ASSERT_FALSE(services.statusCoordinates.empty());
    EXPECT_EQ(services.statusCoordinates.back(), std::make_pair(25.0, 70.0));
    EXPECT_EQ(view->m_infoTip.GetText(), "");

    theme->m_ShowInfoTip = true;
    theme->m_InfoTipTemplate = "shape <$INDEX>";
    QTest::mouseMove(view.get(), QPoint(25, 75));
    EXPECT_EQ(view->m_infoTip.GetText(), theme->GetInfoTipText(0));
    EXPECT_FALSE(view->m_infoTip.GetText().empty());
    QTest::mouseMove(view.get(), QPoint(75, 25));
    EXPECT_EQ(view->m_infoTip.GetText(), theme->GetInfoTipText(1));

    // While panning the coordinates name the map point under the pointer on
    // the moved picture.
    ws.doc->m_toolMode = MT_Pan;
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(view.get(), QPoint(30, 40));
    EXPECT_EQ(services.statusCoordinates.back(), std::make_pair(20.0, 80.0));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));

    // Without a drawn theme they are (0, 0).
    theme->m_Visible = false;
    QTest::mouseMove(view.get(), QPoint(60, 60));
    EXPECT_EQ(services.statusCoordinates.back(), std::make_pair(0.0, 0.0));
}

TEST(GeoViewToolsTest, CopyCoordinatePutsTextAndBlockInOneMimeData) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_CCTemplate = "<X>;<Y>";
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = ShownView(ws);
    view->m_contextPoint = {25, 40};
    SendMessage(view.get(), WM_COMMAND, ID_VIEW_COPY_COORDINATE, 0);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text().toStdString(), CAppSettings::GetInstance()->FormatCopyCoordinate(25, 60));
    const QByteArray block = data->data(kCoordinateClipboardMime);
    ASSERT_EQ(block.size(), 24);
    EXPECT_EQ(corvale::ReadLE32(block.constData()), 1u);
    EXPECT_EQ(corvale::ReadLE32(block.constData() + 4), 2u);
    EXPECT_EQ(corvale::ReadLEDouble(block.constData() + 8), 25.0);
    EXPECT_EQ(corvale::ReadLEDouble(block.constData() + 16), 60.0);
}

TEST(GeoViewToolsTest, AddBookmarkAtTheContextPoint) {
    TestWorkspace ws;
    auto view = ShownView(ws, 100, 50);
    CCmdUI ui(ID_VIEW_ADD_BOOKMARK);
    view->OnCmdMsg(ID_VIEW_ADD_BOOKMARK, &ui);
    EXPECT_FALSE(ui.m_Enabled);

    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.SetExtent(0, 0, 200, 100);
    view->InvalidateMap(true);
    view->GetMapPicture();
    CCmdUI enabled(ID_VIEW_ADD_BOOKMARK);
    view->OnCmdMsg(ID_VIEW_ADD_BOOKMARK, &enabled);
    EXPECT_TRUE(enabled.m_Enabled);
    view->m_contextPoint = {50, 10};
    SendMessage(view.get(), WM_COMMAND, ID_VIEW_ADD_BOOKMARK, 0);
    SendMessage(view.get(), WM_COMMAND, ID_VIEW_ADD_BOOKMARK, 0);
    ASSERT_EQ(ws.doc->m_bookmarks.size(), 2u);
    const CBookmarkRecord* first = ws.doc->m_bookmarks[0];
    EXPECT_EQ(first->m_Name, "BM 1");
    EXPECT_EQ(ws.doc->m_bookmarks[1]->m_Name, "BM 2");
    EXPECT_DOUBLE_EQ(first->m_X, 100.0);
    EXPECT_DOUBLE_EQ(first->m_Y, 80.0);
    EXPECT_DOUBLE_EQ(first->m_UnitsPerPixel, 2.0);
    EXPECT_TRUE(ws.doc->IsModified());
}

TEST(GeoViewToolsTest, ContextMenuByModeAndAfterAPolygon) {
    RecordingServices services;
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = ShownView(ws);
    RightClickWithMenu(*view, QPoint(10, 20));
    EXPECT_EQ(services.contextMenus, std::vector<unsigned>{IDR_GEOVIEW_MENU});
    EXPECT_EQ(view->m_contextPoint, (CDevicePoint{10, 20}));

    // Not while measuring, nor from the keyboard.
    ws.doc->m_toolMode = MT_Measure;
    RightClickWithMenu(*view, QPoint(10, 20));
    ws.doc->m_toolMode = MT_Select;
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5),
                               view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view.get(), &keyboard);
    EXPECT_EQ(services.contextMenus.size(), 1u);

    // The right click that closes a selection polygon opens no menu; the
    // next one does.
    ws.doc->m_toolMode = MT_SelectPolygon;
    Click(*view, QPoint(10, 10));
    Click(*view, QPoint(90, 10));
    RightClickWithMenu(*view, QPoint(50, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectPolygon);
    EXPECT_EQ(services.contextMenus.size(), 1u);
    RightClickWithMenu(*view, QPoint(50, 90));
    EXPECT_EQ(services.contextMenus.size(), 2u);
}

TEST(GeoViewToolsTest, ContextMenuItemsActOrAreDisabled) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = ShownView(ws);
    std::unique_ptr<QMenu> menu(view->CreateContextMenu(IDR_GEOVIEW_MENU));
    std::map<std::string, bool> enabled;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            enabled[action->text().toStdString()] = action->isEnabled();
    EXPECT_EQ(enabled.size(), 7u);
    EXPECT_TRUE(enabled["&Copy Coordinate"]);
    EXPECT_TRUE(enabled["Add &Bookmark"]);
    EXPECT_TRUE(enabled["&Find Theme"]);
    // Commands nobody handles here stay disabled.
    EXPECT_FALSE(enabled["Cut"]);

    view->m_contextPoint = {50, 50};
    for (QAction* action : menu->actions())
        if (action->text() == QLatin1String("Add &Bookmark"))
            action->trigger();
    EXPECT_EQ(ws.doc->m_bookmarks.size(), 1u);
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

TEST(GeoViewToolsTest, ClickSelectionPicksTheTopShape) {
    TestWorkspace ws;
    // Two overlapping polygons: the later one in the list lies on top.
    CTheme* polygons = ws.AddPolygonTheme(
        "p", {Square(10, 10, 60, 60), Square(40, 40, 90, 90), Square(0, 0, 5, 5)}, kRefRed);
    ws.doc->m_activeTheme = polygons;
    auto view = ShownView(ws);
    EventLog log(*ws.doc);

    Click(*view, QPoint(50, 50)); // (50, 50): in both
    EXPECT_EQ(Selected(polygons), std::set<int>{1});
    EXPECT_EQ(log.Count(DUE_SelectionChanged, 1), 1);
    Click(*view, QPoint(20, 80)); // only the first
    EXPECT_EQ(Selected(polygons), std::set<int>{0});
    // A plain click on the selected shape leaves it the only one selected.
    Click(*view, QPoint(20, 80));
    EXPECT_EQ(Selected(polygons), std::set<int>{0});
    // SHIFT adds, CTRL toggles.
    Click(*view, QPoint(80, 20), Qt::ShiftModifier);
    EXPECT_EQ(Selected(polygons), (std::set<int>{0, 1}));
    Click(*view, QPoint(20, 80), Qt::ControlModifier);
    EXPECT_EQ(Selected(polygons), std::set<int>{1});
    Click(*view, QPoint(20, 80), Qt::ControlModifier);
    EXPECT_EQ(Selected(polygons), (std::set<int>{0, 1}));
    // Empty map keeps the selection.
    Click(*view, QPoint(95, 5));
    EXPECT_EQ(Selected(polygons), (std::set<int>{0, 1}));

    // Without an active theme a click selects nothing.
    ws.doc->m_activeTheme = nullptr;
    Click(*view, QPoint(3, 97));
    EXPECT_EQ(Selected(polygons), (std::set<int>{0, 1}));
}

TEST(GeoViewToolsTest, PointsWinOverPolygons) {
    TestWorkspace ws;
    // A native theme of mixed kinds is not what files give; the test puts a
    // point list beside the polygons of one theme.
    CTheme* points = ws.AddPointTheme("pt", {{1, 1}, {2, 2}, {50, 50}}, kRefBlue);
    CTheme* polygons = ws.AddPolygonTheme("p", {Square(10, 10, 90, 90)}, kRefRed);
    polygons->m_VisiblePoints = {points->m_VisiblePoints[2]};
    ws.doc->m_activeTheme = polygons;
    auto view = ShownView(ws);
    Click(*view, QPoint(51, 50));
    EXPECT_EQ(Selected(polygons), std::set<int>{2});
    polygons->m_VisiblePoints.clear();
    polygons->ClearSelection();
}

TEST(GeoViewToolsTest, PolylineClickThroughTheSpatialIndexCell) {
    TestWorkspace ws;
    // Two lines, the first registered in the cell under the click.
    CTheme* lines = ws.AddPolylineTheme(
        "l",
        {{{{0, 50}, {100, 50}}},
         {{{0, 10}, {100, 10}}},
         {{{80, 0}, {80, 20}}},
         // Too wide for the grid: the index keeps it in its outside list.
         {{{0, 150}, {200, 150}}}},
        kRefRed);
    lines->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 100.0, 100.0);
    lines->m_SpatialIndex->SetTagging(true);
    for (CShapeRecord* record : lines->m_VisibleArcs)
        lines->m_SpatialIndex->InsertRecord(record);
    ws.doc->m_activeTheme = lines;
    auto view = ShownView(ws);

    Click(*view, QPoint(30, 50)); // on the first line, alone in its cell
    EXPECT_EQ(Selected(lines), std::set<int>{0});
    Click(*view, QPoint(80, 90)); // where the second and the third lines cross
    EXPECT_EQ(Selected(lines), std::set<int>{2});

    // Beyond the grid only the lines that did not fit it are candidates.
    ws.SetExtent(0, 0, 200, 200);
    view->InvalidateMap(true);
    view->GetMapPicture();
    lines->ClearSelection();
    Click(*view, QPoint(75, 75)); // (150, 50)
    EXPECT_TRUE(lines->m_Selection.empty());
    Click(*view, QPoint(75, 25)); // (150, 150)
    EXPECT_EQ(Selected(lines), std::set<int>{3});
}

TEST(GeoViewToolsTest, RectangleSelectionReplacesOrAdds) {
    TestWorkspace ws;
    // Blank symbols: the rubber figure lies on the white background.
    CTheme* theme = ws.AddPointTheme("pt", {{10, 10}, {20, 20}, {80, 80}}, kRefBlue, 21);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_SelectRectangle;
    auto view = ShownView(ws);
    EventLog log(*ws.doc);

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 95));
    QTest::mouseMove(view.get(), QPoint(25, 75));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectRectangleDrag);
    // The rubber rectangle is painted over the white map.
    const QImage shown = Shown(*view);
    EXPECT_EQ(shown.pixelColor(24, 95), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(22, 92), QColor(255, 255, 255));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 75));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectRectangle);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1}));
    EXPECT_EQ(log.Count(DUE_SelectionChanged, -2), 1);
    EXPECT_EQ(Shown(*view).pixelColor(24, 95), QColor(255, 255, 255));

    Drag(*view, QPoint(70, 30), QPoint(90, 10), Qt::ShiftModifier);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1, 2}));
    Drag(*view, QPoint(70, 30), QPoint(90, 10));
    EXPECT_EQ(Selected(theme), std::set<int>{2});

    // Escape drops the rectangle and selects nothing.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 95));
    QTest::mouseMove(view.get(), QPoint(25, 75));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectRectangle);
    EXPECT_FALSE(view->m_dragRectShown);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 75));
    EXPECT_EQ(Selected(theme), std::set<int>{2});
}

TEST(GeoViewToolsTest, CircleSelectionShowsItsRadius) {
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    CTheme* theme = ws.AddPointTheme("pt", {{50, 50}, {58, 50}, {70, 50}}, kRefBlue, 21);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_SelectCircle;
    auto view = ShownView(ws);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mouseMove(view.get(), QPoint(50, 40));
    EXPECT_EQ(ui.paneTexts.back(), std::make_pair(1133, std::string("10.000000\u00B0")));
    EXPECT_EQ(view->m_dragRect, (CDeviceRect{40, 40, 60, 60}));
    const QImage shown = Shown(*view);
    EXPECT_GT(CountColour(shown, QColor(0, 0, 0), QRect(45, 40, 11, 1)), 0);
    EXPECT_EQ(CountColour(shown, QColor(0, 0, 0), QRect(45, 35, 11, 4)), 0);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1}));
    EXPECT_TRUE(view->m_toolPoints.empty());
    EXPECT_EQ(ui.paneTexts.back().second, "");
}

TEST(GeoViewToolsTest, PolygonSelection) {
    TestWorkspace ws;
    CTheme* theme = ws.AddPointTheme("pt", {{20, 20}, {80, 80}, {50, 30}}, kRefBlue, 21);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_SelectPolygon;
    auto view = ShownView(ws);
    EventLog log(*ws.doc);

    // A triangle around (20, 20) and (50, 30).
    Click(*view, QPoint(10, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectPolygonDraw);
    Click(*view, QPoint(70, 90));
    QTest::mouseMove(view.get(), QPoint(30, 40));
    EXPECT_EQ(Shown(*view).pixelColor(40, 90), QColor(0, 0, 0));
    QTest::mousePress(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectPolygon);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 2}));
    EXPECT_EQ(log.Count(DUE_SelectionChanged, -2), 1);
    EXPECT_TRUE(view->m_toolPoints.empty());

    // One click and the right click: nothing selected, nothing cleared, and
    // the change is still announced.
    Click(*view, QPoint(10, 90));
    QTest::mousePress(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 2}));
    EXPECT_EQ(log.Count(DUE_SelectionChanged, -2), 2);

    // Escape gives up the polygon.
    Click(*view, QPoint(10, 90));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(ws.doc->m_toolMode, MT_SelectPolygon);
    EXPECT_TRUE(view->m_toolPoints.empty());
}

} // namespace

namespace {

class TracingDoc : public CCorvaleDoc {
public:
    void PrintConsoleLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

TEST(GeoViewToolsTest, TraceLinesUnderTheMouseDebugFlag) {
    TestWorkspace ws;
    auto* doc = new TracingDoc;
    ws.doc.reset(doc);
    ws.doc->m_backgroundColor = kRefWhite;
    ws.SetExtent(0, 0, 100, 100);
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    ws.doc->m_debugFlags = 8;
    auto view = ShownView(ws);
    Click(*view, QPoint(25, 40));
    EXPECT_TRUE(doc->lines.empty());

    ws.doc->m_debugFlags = 1 | 8;
    Click(*view, QPoint(25, 40));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    ASSERT_EQ(doc->lines.size(), 3u);
    EXPECT_EQ(doc->lines[0], "CV: LBtn dn (x,y) (25.0000,60.0000)");
    EXPECT_EQ(doc->lines[1], "CV: LBtn up (x,y) (25.0000,60.0000)");
    EXPECT_EQ(doc->lines[2].rfind("CV: Escape (x,y) (", 0), 0u);
}

TEST(GeoViewToolsTest, CursorByTool) {
    TestWorkspace ws;
    auto view = ShownView(ws);
    const std::pair<std::uint32_t, Qt::CursorShape> cases[] = {
        {MT_Select, Qt::ArrowCursor},          {MT_Pan, Qt::OpenHandCursor},
        {MT_PanDrag, Qt::ClosedHandCursor},    {MT_Measure, Qt::CrossCursor},
        {MT_SplitPolyline, Qt::SplitHCursor},  {MT_AdjustVertexDrag, Qt::SizeAllCursor},
        {MT_SelectRectangle, Qt::ArrowCursor},
    };
    for (const auto& c : cases) {
        ws.doc->m_toolMode = c.first;
        EXPECT_EQ(view->GetToolCursor({10, 10}).shape(), c.second) << c.first;
    }
    // The zoom tools show pictures of their own, one for each direction.
    ws.doc->m_toolMode = MT_ZoomIn;
    const QCursor zoomIn = view->GetToolCursor({10, 10});
    ws.doc->m_toolMode = MT_ZoomOut;
    const QCursor zoomOut = view->GetToolCursor({10, 10});
    EXPECT_EQ(zoomIn.shape(), Qt::BitmapCursor);
    EXPECT_EQ(zoomOut.shape(), Qt::BitmapCursor);
    EXPECT_NE(zoomIn.pixmap().toImage(), zoomOut.pixmap().toImage());
    // Moving the mouse shows the tool's cursor.
    ws.doc->m_toolMode = MT_Pan;
    QTest::mouseMove(view.get(), QPoint(20, 20));
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
}

} // namespace

namespace {

TEST(GeoViewToolsTest, AnotherToolDropsTheMeasureLine) {
    TestWorkspace ws;
    CTheme* theme = ws.AddPointTheme("pt", {{50, 50}}, kRefBlue, 21);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_Measure;
    auto view = ShownView(ws);
    Click(*view, QPoint(10, 10));
    Click(*view, QPoint(90, 10));
    // The polygon tool chosen from the toolbar starts a polygon of its own.
    ws.doc->m_toolMode = MT_SelectPolygon;
    Click(*view, QPoint(10, 90));
    EXPECT_EQ(view->m_toolPoints.size(), 1u);
    QTest::mouseMove(view.get(), QPoint(30, 90));
    EXPECT_EQ(CountColour(Shown(*view), QColor(0, 0, 0), QRect(0, 0, 100, 20)), 0);
}

} // namespace
