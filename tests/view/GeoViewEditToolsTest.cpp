// The map view's editing tools, driven by Qt Test's mouse and key events on
// the offscreen platform: drawing points, lines and polygons with snapping,
// moving and inserting vertices, and splitting lines.
//
// With the default extent (0, 0)-(100, 100) on 100 x 100 pixels, pixel
// (x, y) shows the map point (x, 100 - y).

#include "ViewTestSupport.h"

#include "framework/ScriptedUserInterface.h"
#include "geometry/SpatialHash.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

class SettingsGuard {
public:
    SettingsGuard() : m_Saved(*CAppSettings::GetInstance()) {}
    ~SettingsGuard() { *CAppSettings::GetInstance() = m_Saved; }

private:
    CAppSettings m_Saved;
};

// Every update event with its sender, and the vertex of the vertex events.
class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) {
        doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate);
    }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void* sender, int code, std::intptr_t data) {
        events.push_back({sender, code, data});
        if ((code == DUE_VertexSelected || code == DUE_VertexAddedToSelection) && data != 0)
            std::memcpy(vertex, reinterpret_cast<const void*>(data), sizeof vertex);
    }
    int Count(int code) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [code](const Event& e) { return e.code == code; }));
    }
    const void* SenderOf(int code) const {
        for (const Event& e : events)
            if (e.code == code)
                return e.sender;
        return reinterpret_cast<const void*>(-1);
    }
    struct Event {
        const void* sender;
        int code;
        std::intptr_t data;
    };
    std::vector<Event> events;
    double vertex[2] = {0.0, 0.0};

private:
    CCorvaleDoc& m_Doc;
};

std::unique_ptr<CGeoView> ShownView(TestWorkspace& ws) {
    auto view = MakeView(ws);
    view->show();
    view->GetMapPicture();
    return view;
}

QImage Shown(CGeoView& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Click(CGeoView& view, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(&view, Qt::LeftButton, keys, at);
}

void RightClick(CGeoView& view, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(&view, Qt::RightButton, keys, at);
}

void Drag(CGeoView& view, QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mousePress(&view, Qt::LeftButton, keys, from);
    QTest::mouseMove(&view, to);
    QTest::mouseRelease(&view, Qt::LeftButton, keys, to);
}

// The points of a record, in order.
std::vector<std::pair<double, double>> PointsOf(const CShapeRecord* record) {
    std::vector<std::pair<double, double>> points;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const std::uint32_t count = type == SHT_Point || type == SHT_PointZ
                                    ? 1
                                    : CShapeRecord::GetPointCount(record);
    for (std::uint32_t i = 0; i < count; ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i);
        points.emplace_back(p.x, p.y);
    }
    return points;
}

std::vector<std::string> IdsOf(CTheme* theme) {
    std::vector<std::string> ids;
    for (int p = 0; p < theme->GetShapeCount(); ++p)
        ids.push_back(theme->GetAttributeTextAt(p, 0));
    return ids;
}

std::set<int> Selected(const CTheme* theme) {
    std::set<int> indexes;
    for (const auto& entry : theme->m_Selection)
        indexes.insert(entry.first);
    return indexes;
}

// Vertex mode on the active theme with its shape `index` selected, so that
// the shape shows its markers.
void EditShape(TestWorkspace& ws, CGeoView& view, CTheme* theme, int index,
               std::uint32_t mode) {
    ws.doc->m_activeTheme = theme;
    ws.doc->m_vertexMode = 1;
    ws.doc->m_toolMode = mode;
    theme->ClearSelection();
    theme->AddToSelection(index, theme->GetShapePosition(index), 1, kRefRed);
    ASSERT_TRUE(view.RebuildVertexMarkers());
}

using PointList = std::vector<std::pair<double, double>>;

// ---------------------------------------------------------------------------
// Snapping
// ---------------------------------------------------------------------------

TEST(GeoViewEditToolsTest, SnappingByKeysAndAutosnap) {
    // The active point theme has a vertex at (54, 50); another theme one at
    // (50, 53); the grid is 10 units.
    struct Case {
        const char* name;
        Qt::KeyboardModifiers keys;
        bool autoSnap;
        QPoint click;
        std::pair<double, double> added;
    };
    const Case cases[] = {
        {"mode 0 keeps the point", Qt::NoModifier, false, {50, 50}, {50, 50}},
        {"CTRL: the active theme's nearest vertex", Qt::ControlModifier, false, {50, 50}, {54, 50}},
        {"SHIFT: the other themes' vertex, though the active one is nearer",
         Qt::ShiftModifier, false, {56, 50}, {50, 53}},
        {"CTRL and SHIFT: every theme, the nearest wins", Qt::ControlModifier | Qt::ShiftModifier,
         false, {50, 50}, {50, 53}},
        {"CTRL and SHIFT: the active theme included", Qt::ControlModifier | Qt::ShiftModifier,
         false, {56, 50}, {54, 50}},
        {"Autosnap alone: the grid", Qt::NoModifier, true, {53, 52}, {50, 50}},
        {"Autosnap, then the vertex", Qt::ControlModifier, true, {58, 52}, {54, 50}},
        {"CTRL far from everything still takes the nearest vertex", Qt::ControlModifier, false,
         {5, 95}, {54, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorkspace ws;
        CTheme* points = ws.AddEditableTheme("points", SHT_Point, {{{{54, 50}}}}, kRefRed);
        ws.AddPolygonTheme("other", {Square(50, 53, 80, 90)}, kRefBlue);
        // An image theme has no vertices to offer.
        QImage bitmap(4, 4, QImage::Format_RGB32);
        bitmap.fill(Qt::green);
        ws.AddImageTheme("image", bitmap, 49, 49, 51, 51);
        ws.doc->m_activeTheme = points;
        ws.doc->m_autoSnap = c.autoSnap ? 1 : 0;
        ws.doc->m_gridSpacingX = ws.doc->m_gridSpacingY = 10.0;
        ws.doc->m_toolMode = MT_DrawNew;
        EventLog log(*ws.doc);
        auto view = ShownView(ws);

        Click(*view, c.click, c.keys);
        ASSERT_EQ(points->GetShapeCount(), 2);
        EXPECT_EQ(PointsOf(points->GetShape(1)), PointList{c.added});
        EXPECT_TRUE(points->m_Modified);
        EXPECT_TRUE(ws.doc->IsModified());
        EXPECT_EQ(log.Count(DUE_ActiveThemeChanged), 1);
        EXPECT_EQ(log.SenderOf(DUE_ActiveThemeChanged), view.get());
    }
}

TEST(GeoViewEditToolsTest, GridSnapNeedsPositiveSpacings) {
    TestWorkspace ws;
    double x = 14.0;
    double y = -6.0;
    ws.doc->m_gridSpacingX = 5.0;
    ws.doc->m_gridSpacingY = 4.0;
    EXPECT_TRUE(ws.doc->SnapPointToGrid(x, y));
    EXPECT_EQ(x, 15.0);
    EXPECT_EQ(y, -4.0);
    ws.doc->m_gridSpacingY = 0.0;
    x = 14.0;
    EXPECT_FALSE(ws.doc->SnapPointToGrid(x, y));
    EXPECT_EQ(x, 14.0);
}

// ---------------------------------------------------------------------------
// Moving vertices
// ---------------------------------------------------------------------------

TEST(GeoViewEditToolsTest, MovingARingsFirstVertexMovesItsClosingTwin) {
    SettingsGuard settings;
    CAppSettings::GetInstance()->m_ColorSelectionOutline = kRefMagenta;
    TestWorkspace ws;
    CTheme* theme =
        ws.AddEditableTheme("rings", SHT_Polygon, {Square(10, 10, 40, 40)}, kRefGreen);
    EventLog log(*ws.doc);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);

    // The ring's first vertex (10, 10).
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_AdjustVertexDrag);
    ASSERT_EQ(log.Count(DUE_VertexSelected), 1);
    EXPECT_EQ(log.SenderOf(DUE_VertexSelected), view.get());
    EXPECT_EQ(log.vertex[0], 10.0);
    EXPECT_EQ(log.vertex[1], 10.0);
    // The rubber lines join the ring's second-to-last and second points.
    EXPECT_EQ(view->m_dragNeighbours,
              (std::vector<CShapePoint>{{40, 10}, {10, 10}, {10, 40}}));

    QTest::mouseMove(view.get(), QPoint(20, 80));
    const QImage dragging = Shown(*view);
    // On the line from (10, 40) at pixel (10, 60) to the pointer.
    EXPECT_EQ(dragging.pixelColor(15, 70), Colour(kRefMagenta));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 80));
    EXPECT_EQ(ws.doc->m_toolMode, MT_AdjustVertex);

    const CShapeRecord* ring = theme->GetShape(0);
    EXPECT_EQ(PointsOf(ring), (PointList{{20, 20}, {10, 40}, {40, 40}, {40, 10}, {20, 20}}));
    EXPECT_EQ(CShapeRecord::GetMinX(ring), 10.0);
    EXPECT_EQ(CShapeRecord::GetMinY(ring), 10.0);
    EXPECT_EQ(theme->m_Bounds[1], 10.0);
    EXPECT_TRUE(theme->m_Modified);
    EXPECT_TRUE(ws.doc->IsModified());
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);
    EXPECT_EQ(log.SenderOf(DUE_ThemeDataChanged), view.get());
    // The markers follow the moved vertex.
    ASSERT_TRUE(view->m_vertexMarkers);
    std::uint32_t vertex = 99;
    EXPECT_TRUE(HitTestVertexMarker(*view->m_vertexMarkers, ring, view->m_viewport, {20, 80},
                                    vertex));
    EXPECT_EQ(vertex, 0u);
}

// The rubber lines of a drag go with it: after the drop only the moved
// line shows, whether the vertex moved, was refused or the drag was cancelled.
TEST(GeoViewEditToolsTest, TheRubberLinesGoWithTheDrag) {
    SettingsGuard settings;
    CAppSettings::GetInstance()->m_ColorSelection = kRefMagenta;
    enum End { Drop, DropOnAReadOnlyTheme, Escape };
    for (End end : {Drop, DropOnAReadOnlyTheme, Escape}) {
        SCOPED_TRACE(end);
        TestWorkspace ws;
        CTheme* theme = ws.AddEditableTheme("lines", SHT_Polyline,
                                            {{{{10, 50}, {50, 50}, {90, 50}}}}, kRefGreen);
        auto view = ShownView(ws);
        EditShape(ws, *view, theme, 0, MT_AdjustVertex);
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        // The pointer passes (50, 10), which draws the rubber lines there.
        QTest::mouseMove(view.get(), QPoint(50, 10));
        const QImage dragging = Shown(*view);
        // On the line from (10, 50) to the pointer at (50, 10).
        ASSERT_EQ(dragging.pixelColor(30, 30), Colour(kRefMagenta));
        if (end == DropOnAReadOnlyTheme)
            theme->m_Editable = false;
        if (end == Escape) {
            QTest::keyClick(view.get(), Qt::Key_Escape);
            QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
        } else {
            QTest::mouseMove(view.get(), QPoint(50, 80));
            QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 80));
        }
        QApplication::processEvents();
        const QImage after = Shown(*view);
        EXPECT_EQ(CountColour(after, Colour(kRefMagenta), QRect(15, 5, 70, 40)), 0)
            << "rubber lines left above the line";
    }
}

TEST(GeoViewEditToolsTest, NeighboursOfALinesVertices) {
    struct Case {
        QPoint press;
        std::vector<CShapePoint> neighbours;
    };
    const Case cases[] = {
        {{10, 50}, {{10, 50}, {50, 50}}},           // the first point: it and the next
        {{50, 50}, {{10, 50}, {50, 50}, {90, 50}}}, // inside: both neighbours
        {{90, 50}, {{90, 50}, {50, 50}}},           // the last point: it and the previous
    };
    for (const Case& c : cases) {
        TestWorkspace ws;
        CTheme* theme = ws.AddEditableTheme("lines", SHT_Polyline,
                                            {{{{10, 50}, {50, 50}, {90, 50}}}}, kRefGreen);
        auto view = ShownView(ws);
        EditShape(ws, *view, theme, 0, MT_AdjustVertex);
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, c.press);
        EXPECT_EQ(view->m_dragNeighbours, c.neighbours) << c.press.x();
        QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, c.press);
    }
}

TEST(GeoViewEditToolsTest, ADroppedVertexSnapsToOtherShapesNeverItsOwn) {
    TestWorkspace ws;
    // The dragged line's own second vertex (30, 50) lies nearer the drop
    // point than the other line's (36, 44).
    CTheme* theme = ws.AddEditableTheme(
        "lines", SHT_Polyline, {{{{10, 50}, {30, 50}}}, {{{36, 44}, {80, 10}}}}, kRefGreen);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);
    Drag(*view, QPoint(10, 50), QPoint(31, 51), Qt::ControlModifier);
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{36, 44}, {30, 50}}));
}

TEST(GeoViewEditToolsTest, EscapeKeepsTheRecordUnchanged) {
    TestWorkspace ws;
    CTheme* theme =
        ws.AddEditableTheme("rings", SHT_Polygon, {Square(10, 10, 40, 40)}, kRefGreen);
    EventLog log(*ws.doc);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);
    const PointList before = PointsOf(theme->GetShape(0));

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 60));
    QTest::mouseMove(view.get(), QPoint(70, 20));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(ws.doc->m_toolMode, MT_AdjustVertex);
    EXPECT_TRUE(view->m_dragNeighbours.empty());
    EXPECT_FALSE(view->m_dragVertex.IsSet());
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 20));

    EXPECT_EQ(PointsOf(theme->GetShape(0)), before);
    EXPECT_FALSE(theme->m_Modified);
    EXPECT_FALSE(ws.doc->IsModified());
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 0);
}

TEST(GeoViewEditToolsTest, AShapeReplacedDuringTheDragIsLookedUpAgain) {
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme("lines", SHT_Polyline,
                                        {{{{10, 50}, {50, 50}, {90, 50}}}}, kRefGreen);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 50));
    // A plug-in or the coordinates pane replaces the record (its buffer is
    // freed) and takes a vertex away while the button is down.
    Bytes shorter = MakeMulti(SHT_Polyline, {{{10, 50}, {50, 50}}});
    ASSERT_NE(theme->ReplaceShape(Rec(shorter), theme->GetShape(0)), nullptr);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 20));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 50}, {50, 50}}));

    // Replaced by one of the same size: the vertex moves in the new record.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    Bytes moved = MakeMulti(SHT_Polyline, {{{10, 60}, {50, 60}}});
    ASSERT_NE(theme->ReplaceShape(Rec(moved), theme->GetShape(0)), nullptr);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 60}, {60, 80}}));
}

TEST(GeoViewEditToolsTest, AMovedLineIsHitWhereItNowLies) {
    SettingsGuard settings;
    CAppSettings::GetInstance()->m_Performance = 2;
    TestWorkspace ws;
    // Enough lines for a spatial index: short ones along the bottom, one in
    // the top-right corner so that the index grid covers the map, and the
    // line to move at (10, 30)-(12, 30).
    std::vector<Parts> lines;
    lines.push_back({{{10, 30}, {12, 30}}});
    lines.push_back({{{95, 95}, {100, 100}}});
    for (int i = 0; i < 15000; ++i) {
        const double x = (i % 1000) / 10.0;
        const double y = (i / 1000) * 0.2;
        lines.push_back({{{x, y}, {x + 0.05, y}}});
    }
    CTheme* theme = ws.AddEditableTheme("lines", SHT_Polyline, lines, kRefGreen);
    theme->BuildSpatialIndex();
    ASSERT_TRUE(theme->m_SpatialIndex);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);

    // The line's end goes from (12, 30) to (90, 90).
    Drag(*view, QPoint(12, 70), QPoint(90, 10));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 30}, {90, 90}}));

    // A click on the line where it runs now, through the index cell there.
    theme->ClearSelection();
    ws.doc->m_toolMode = MT_Select;
    Click(*view, QPoint(50, 40));
    EXPECT_EQ(Selected(theme), (std::set<int>{0}));
}

TEST(GeoViewEditToolsTest, DraggingAPointShowsACrossAndMovesIt) {
    SettingsGuard settings;
    CAppSettings::GetInstance()->m_ColorSelection = kRefBlue;
    TestWorkspace ws;
    CTheme* theme =
        ws.AddEditableTheme("points", SHT_Point, {{{{20, 20}}}, {{{70, 70}}}}, kRefRed);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 80));
    QTest::mouseMove(view.get(), QPoint(50, 50));
    const QImage dragging = Shown(*view);
    EXPECT_EQ(dragging.pixelColor(50 + 8, 50), Colour(kRefBlue));
    EXPECT_EQ(dragging.pixelColor(50, 50 - 8), Colour(kRefBlue));
    EXPECT_NE(dragging.pixelColor(50 + 11, 50), Colour(kRefBlue));
    // Dropped with CTRL near the other point: on it.
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(66, 33));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{70, 70}}));
    EXPECT_TRUE(theme->m_Modified);
}

// ---------------------------------------------------------------------------
// Inserting vertices and splitting
// ---------------------------------------------------------------------------

TEST(GeoViewEditToolsTest, InsertingAVertexWhereTheDragCrosses) {
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme("lines", SHT_Polyline,
                                        {{{{10, 50}, {90, 50}}}, {{{10, 20}, {90, 20}}}},
                                        kRefGreen);
    EventLog log(*ws.doc);
    auto view = ShownView(ws);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_NewVertex;

    // Without a selection the click selects.
    Click(*view, QPoint(30, 50));
    EXPECT_EQ(Selected(theme), (std::set<int>{0}));
    EXPECT_EQ(ws.doc->m_toolMode, MT_NewVertex);

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_EQ(ws.doc->m_toolMode, MT_NewVertexDrag);
    QTest::mouseMove(view.get(), QPoint(40, 90));
    // The rubber line, inverted over the white background.
    EXPECT_EQ(Shown(*view).pixelColor(40, 45), QColor(0, 0, 0));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_NewVertex);

    // Only the selected line gains the vertex.
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 50}, {40, 50}, {90, 50}}));
    EXPECT_EQ(PointsOf(theme->GetShape(1)), (PointList{{10, 20}, {90, 20}}));
    EXPECT_EQ(IdsOf(theme), (std::vector<std::string>{"s0", "s1"}));
    EXPECT_TRUE(theme->m_Modified);
    EXPECT_TRUE(ws.doc->IsModified());
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);
    EXPECT_EQ(log.SenderOf(DUE_ThemeDataChanged), nullptr);

    // A drag that crosses nothing changes nothing.
    log.events.clear();
    theme->m_Modified = false;
    Drag(*view, QPoint(60, 5), QPoint(70, 10));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 50}, {40, 50}, {90, 50}}));
    EXPECT_FALSE(theme->m_Modified);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 0);
}

TEST(GeoViewEditToolsTest, ADragSplitPlacesPiecesAfterTheirSourcesSelected) {
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme(
        "lines", SHT_Polyline,
        {{{{10, 70}, {90, 70}}}, {{{10, 50}, {90, 50}}}, {{{10, 30}, {90, 30}}}}, kRefGreen);
    EventLog log(*ws.doc);
    auto view = ShownView(ws);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_SplitPolyline;
    theme->AddToSelection(0, 0, 1, kRefRed);
    theme->AddToSelection(2, 2, 1, kRefRed);

    Drag(*view, QPoint(50, 10), QPoint(50, 90));
    EXPECT_EQ(ws.doc->m_toolMode, MT_SplitPolyline);
    ASSERT_EQ(theme->GetShapeCount(), 5);
    EXPECT_EQ(IdsOf(theme), (std::vector<std::string>{"s0", "s0", "s1", "s2", "s2"}));
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 70}, {50, 70}}));
    EXPECT_EQ(PointsOf(theme->GetShape(1)), (PointList{{50, 70}, {90, 70}}));
    EXPECT_EQ(PointsOf(theme->GetShape(2)), (PointList{{10, 50}, {90, 50}}));
    EXPECT_EQ(PointsOf(theme->GetShape(3)), (PointList{{10, 30}, {50, 30}}));
    EXPECT_EQ(PointsOf(theme->GetShape(4)), (PointList{{50, 30}, {90, 30}}));
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(GetShapeRecordIndex(theme->GetShape(p)), p);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1, 3, 4}));
    EXPECT_TRUE(theme->m_Modified);
    EXPECT_TRUE(ws.doc->IsModified());
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);

    // Escape during a split drag ends it without a split.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(ws.doc->m_toolMode, MT_SplitPolyline);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 90));
    EXPECT_EQ(theme->GetShapeCount(), 5);
}

TEST(GeoViewEditToolsTest, SplitHereAtAVertex) {
    RecordingServices services;
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme(
        "lines", SHT_Polyline, {{{{10, 50}, {50, 50}, {90, 20}}}, {{{10, 10}, {90, 10}}}},
        kRefGreen);
    EventLog log(*ws.doc);
    auto view = ShownView(ws);
    EditShape(ws, *view, theme, 0, MT_AdjustVertex);

    auto splitAt = [&](QPoint at) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QApplication::sendEvent(view.get(), &menu);
        std::unique_ptr<QMenu> popup(view->CreateContextMenu(IDR_GEOVIEW_GRABBER_MENU));
        QAction* item = popup->actions().value(0);
        if (item == nullptr || !item->isEnabled())
            return false;
        item->trigger();
        return true;
    };

    // Away from a marker the command is off.
    EXPECT_FALSE(splitAt(QPoint(30, 50)));
    // At the line's first vertex the split is refused.
    ASSERT_TRUE(splitAt(QPoint(10, 50)));
    EXPECT_EQ(services.contextMenus.back(), IDR_GEOVIEW_GRABBER_MENU);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Failed to split line at selected break point."});
    EXPECT_EQ(ui.shown.back().icon, corvale::MessageIcon::Warning);
    EXPECT_EQ(theme->GetShapeCount(), 2);
    EXPECT_FALSE(theme->m_Modified);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 0);

    // At the middle vertex: two lines, the second right after the first.
    ASSERT_TRUE(splitAt(QPoint(50, 50)));
    ASSERT_EQ(theme->GetShapeCount(), 3);
    EXPECT_EQ(PointsOf(theme->GetShape(0)), (PointList{{10, 50}, {50, 50}}));
    EXPECT_EQ(PointsOf(theme->GetShape(1)), (PointList{{50, 50}, {90, 20}}));
    EXPECT_EQ(PointsOf(theme->GetShape(2)), (PointList{{10, 10}, {90, 10}}));
    EXPECT_EQ(IdsOf(theme), (std::vector<std::string>{"s0", "s0", "s1"}));
    EXPECT_TRUE(theme->m_Modified);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);
    EXPECT_EQ(ui.Messages().size(), 1u);

    // A read-only theme offers no split, nor does one out of vertex mode.
    theme->m_Editable = false;
    EXPECT_FALSE(splitAt(QPoint(10, 50)));
    theme->m_Editable = true;
    ws.doc->m_vertexMode = 0;
    EXPECT_FALSE(splitAt(QPoint(10, 50)));
}

// ---------------------------------------------------------------------------
// Drawing new shapes
// ---------------------------------------------------------------------------

TEST(GeoViewEditToolsTest, FinishingSketches) {
    struct Case {
        std::uint32_t type;
        std::vector<QPoint> clicks;
        QPoint rightClick;
        PointList expected;
    };
    const Case cases[] = {
        // One left click and a right click: a two-point line.
        {SHT_Polyline, {{10, 10}}, {30, 40}, {{10, 90}, {30, 60}}},
        {SHT_PolylineZ, {{10, 10}, {20, 10}}, {30, 40}, {{10, 90}, {20, 90}, {30, 60}}},
        // The ring is closed on its first point.
        {SHT_Polygon, {{10, 10}, {50, 10}}, {30, 40}, {{10, 90}, {50, 90}, {30, 60}, {10, 90}}},
        {SHT_PolygonZ, {{10, 10}, {50, 10}}, {30, 40}, {{10, 90}, {50, 90}, {30, 60}, {10, 90}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TestWorkspace ws;
        CTheme* theme = ws.AddEditableTheme("drawn", c.type, {}, kRefGreen);
        ws.doc->m_activeTheme = theme;
        ws.doc->m_toolMode = MT_DrawNew;
        EventLog log(*ws.doc);
        auto view = ShownView(ws);
        for (const QPoint& at : c.clicks)
            Click(*view, at);
        EXPECT_EQ(view->m_sketchPoints.size(), c.clicks.size());
        RightClick(*view, c.rightClick);

        ASSERT_EQ(theme->GetShapeCount(), 1);
        const CShapeRecord* record = theme->GetShape(0);
        EXPECT_EQ(CShapeRecord::GetShapeType(record), c.type);
        EXPECT_EQ(PointsOf(record), c.expected);
        if (c.type == SHT_PolylineZ || c.type == SHT_PolygonZ)
            for (std::uint32_t i = 0; i < c.expected.size(); ++i) {
                EXPECT_EQ(CShapeRecord::GetZ(record, i), 0.0);
                EXPECT_EQ(CShapeRecord::GetM(record, i), 0.0);
            }
        EXPECT_TRUE(view->m_sketchPoints.empty());
        EXPECT_TRUE(theme->m_Modified);
        EXPECT_TRUE(ws.doc->IsModified());
        EXPECT_EQ(log.Count(DUE_ActiveThemeChanged), 1);
        EXPECT_EQ(log.SenderOf(DUE_ActiveThemeChanged), view.get());
    }
}

TEST(GeoViewEditToolsTest, DegenerateSketchesAreRefusedAndKept) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<QPoint> clicks;
        QPoint rightClick;
        const char* message;
    };
    const Case cases[] = {
        {"a right click on the pixel of the only left click", SHT_Polyline, {{10, 10}}, {10, 10},
         "A line needs at least two different vertices.\nAdd another vertex before finishing it."},
        {"two different points make no polygon", SHT_Polygon, {{10, 10}}, {30, 40},
         "A polygon needs at least three different vertices.\nAdd another vertex before "
         "finishing it."},
        {"three clicks on two pixels make no polygon", SHT_PolygonZ, {{10, 10}, {30, 40}},
         {30, 40},
         "A polygon needs at least three different vertices.\nAdd another vertex before "
         "finishing it."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvale::CScriptedUserInterface ui;
        TestWorkspace ws;
        CTheme* theme = ws.AddEditableTheme("drawn", c.type, {}, kRefGreen);
        ws.doc->m_activeTheme = theme;
        ws.doc->m_toolMode = MT_DrawNew;
        auto view = ShownView(ws);
        for (const QPoint& at : c.clicks)
            Click(*view, at);
        RightClick(*view, c.rightClick);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(theme->GetShapeCount(), 0);
        EXPECT_FALSE(theme->m_Modified);
        // The vertices drawn so far stay for another try.
        EXPECT_EQ(view->m_sketchPoints.size(), c.clicks.size());
    }
}

TEST(GeoViewEditToolsTest, EscapeRemovesTheLastSketchPoint) {
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme("drawn", SHT_Polyline, {}, kRefGreen);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_DrawNew;
    auto view = ShownView(ws);
    Click(*view, QPoint(10, 50));
    Click(*view, QPoint(40, 50));
    Click(*view, QPoint(40, 20));
    QTest::mouseMove(view.get(), QPoint(80, 20));
    ASSERT_EQ(view->m_sketchPoints.size(), 3u);

    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(view->m_sketchPoints, (std::vector<CShapePoint>{{10, 50}, {40, 50}}));
    // The rubber line runs from the new last point to the pointer; the
    // removed segment is gone.
    const QImage shown = Shown(*view);
    EXPECT_EQ(shown.pixelColor(25, 50), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(60, 35), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(40, 35), Colour(kRefWhite));
    QTest::mouseMove(view.get(), QPoint(40, 90));
    EXPECT_EQ(Shown(*view).pixelColor(40, 70), QColor(0, 0, 0));

    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(view->m_sketchPoints.size(), 1u);
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_TRUE(view->m_sketchPoints.empty());
    // An empty sketch is left alone.
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_TRUE(view->m_sketchPoints.empty());
    EXPECT_EQ(theme->GetShapeCount(), 0);
}

TEST(GeoViewEditToolsTest, AReadOnlyThemeTakesNoDrawing) {
    TestWorkspace ws;
    CTheme* theme = ws.AddEditableTheme("drawn", SHT_Point, {}, kRefGreen);
    theme->ConvertToNative(false, true);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_toolMode = MT_DrawNew;
    auto view = ShownView(ws);
    Click(*view, QPoint(10, 50));
    EXPECT_EQ(theme->GetShapeCount(), 0);
    EXPECT_FALSE(ws.doc->IsModified());
}

} // namespace
