// Vertex markers: which vertices get one, how they are hit, and that they
// keep no address into a record that an edit replaces.

#include "ViewTestSupport.h"

#include "view/VertexMarkers.h"

#include <gtest/gtest.h>

namespace {

CMapViewport Identity() {
    CMapViewport v;
    SetMapViewport(v, {0, 0, 100, 100}, 0.0, 100.0, 0.0, 100.0);
    return v;
}

TEST(VertexMarkersTest, VerticesThatGetAMarker) {
    struct Case {
        const char* name;
        Bytes record;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"point", MakePoint(1, 2), {0}},
        {"point z", MakePointZ(1, 2, 3, 4), {0}},
        {"polyline of two parts",
         MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}, {2, 0}}, {{5, 5}, {6, 6}}}),
         {0, 1, 2, 3, 4}},
        // Four corners and the closing point: four markers.
        {"closed ring", MakeMulti(SHT_Polygon, Square(0, 0, 10, 10)), {0, 1, 2, 3}},
        {"two rings",
         MakeMulti(SHT_PolygonZ, {Square(0, 0, 10, 10)[0], {{2, 2}, {3, 2}, {2, 3}, {2, 2}}}),
         {0, 1, 2, 3, 5, 6, 7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildVertexMarkers(Rec(c.record)), c.expected) << c.name;
    EXPECT_TRUE(BuildVertexMarkers(nullptr).empty());
}

TEST(VertexMarkersTest, HitAreaIsFivePixelsWithExclusiveFarEdges) {
    Bytes line = MakeMulti(SHT_Polyline, {{{50, 50}, {80, 80}}});
    CVertexMarkerSet markers;
    markers.m_Vertices = BuildVertexMarkers(Rec(line));
    const CMapViewport v = Identity();
    // Vertex 0 lies on pixel (50, 50).
    struct Case {
        CDevicePoint point;
        bool hit;
    };
    const Case cases[] = {
        {{48, 50}, true}, {{52, 50}, false}, {{50, 48}, true}, {{50, 52}, false},
        {{51, 51}, true}, {{47, 50}, false}, {{49, 49}, true},
    };
    for (const Case& c : cases) {
        std::uint32_t vertex = 99;
        EXPECT_EQ(HitTestVertexMarker(markers, Rec(line), v, c.point, vertex), c.hit)
            << c.point.x << "," << c.point.y;
        if (c.hit) {
            EXPECT_EQ(vertex, 0u);
        }
    }
    std::uint32_t vertex = 0;
    EXPECT_FALSE(HitTestVertexMarker(CVertexMarkerSet(), Rec(line), v, {50, 50}, vertex));
    EXPECT_FALSE(HitTestVertexMarker(markers, nullptr, v, {50, 50}, vertex));
}

TEST(VertexMarkersTest, WhereMarkersOverlapTheLaterVertexWins) {
    Bytes line = MakeMulti(SHT_Polyline, {{{10, 10}, {50.2, 50.2}, {50.4, 50.4}, {90, 10}}});
    CVertexMarkerSet markers;
    markers.m_Vertices = BuildVertexMarkers(Rec(line));
    std::uint32_t vertex = 0;
    ASSERT_TRUE(HitTestVertexMarker(markers, Rec(line), Identity(), {50, 50}, vertex));
    EXPECT_EQ(vertex, 2u);
}

TEST(VertexMarkersTest, MarkersAreDrawnOnTheirVerticesInsideTheWindow) {
    Bytes line = MakeMulti(SHT_Polyline, {{{20, 20}, {150, 50}}});
    CVertexMarkerSet markers;
    markers.m_Vertices = BuildVertexMarkers(Rec(line));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter dc(&image);
    DrawVertexMarkers(markers, Rec(line), Identity(), dc);
    dc.end();
    // The square's frame around pixel (20, 80); the vertex beyond the
    // window draws nothing.
    EXPECT_EQ(image.pixelColor(18, 78), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(20, 80), QColor(Qt::white));
    EXPECT_EQ(CountColour(image, QColor(Qt::black)), 16);
}

// The markers of a shape whose record an edit replaces by a smaller one
// follow the new record; nothing reads the freed one.
TEST(VertexMarkersTest, MarkersFollowAReplacedRecord) {
    TestWorkspace ws;
    const Parts pentagon = {{{10, 10}, {10, 50}, {40, 70}, {70, 50}, {70, 10}, {10, 10}}};
    CTheme* theme = ws.AddPolygonTheme("edit", {pentagon}, kRefRed);
    theme->AddToSelection(0, 0, 0, kRefGreen);
    ws.doc->m_activeTheme = theme;
    ws.doc->m_vertexMode = 1;
    auto view = MakeView(ws);
    view->GetMapPicture();
    ASSERT_TRUE(view->RebuildVertexMarkers());
    ASSERT_EQ(view->m_vertexMarkers->m_Vertices.size(), 5u);
    view->m_dragVertex = {theme, 0, 4};

    ws.ReplaceRecord(theme, 0, Square(20, 20, 30, 30));

    const CShapeRecord* record = ResolveMarkerRecord(*ws.doc, *view->m_vertexMarkers);
    ASSERT_EQ(record, theme->GetShape(0));
    // Vertex 4 of the pentagon is the square's closing point now; its old
    // place (70, 10) hits nothing, the square's corner (20, 20) does.
    std::uint32_t vertex = 0;
    EXPECT_FALSE(HitTestVertexMarker(*view->m_vertexMarkers, record, view->m_viewport,
                                     MapToDevice(view->m_viewport, 70, 10), vertex));
    EXPECT_TRUE(HitTestVertexMarker(*view->m_vertexMarkers, record, view->m_viewport,
                                    MapToDevice(view->m_viewport, 20, 20), vertex));
    EXPECT_EQ(CShapeRecord::GetPoint(record, vertex), (CShapePoint{20, 20}));
    EXPECT_EQ(
        ResolveShapeRecord(*ws.doc, view->m_dragVertex.m_Theme, view->m_dragVertex.m_ShapeIndex),
        record);
    // Painting with the markers reads the new record only.
    view->grab();

    // A theme that left the workspace resolves to nothing.
    ws.doc->m_themes.clear();
    EXPECT_EQ(ResolveMarkerRecord(*ws.doc, *view->m_vertexMarkers), nullptr);
    ws.doc->m_themes.push_back(theme);
}

TEST(VertexMarkersTest, ShrunkRecordDrawsOnlyTheVerticesItStillHas) {
    TestWorkspace ws;
    const Parts pentagon = {{{10, 10}, {10, 50}, {40, 70}, {70, 50}, {70, 10}, {10, 10}}};
    CTheme* theme = ws.AddPolylineTheme("edit", {pentagon}, kRefRed);
    CVertexMarkerSet markers;
    markers.m_Theme = theme;
    markers.m_ShapeIndex = 0;
    markers.m_Vertices = BuildVertexMarkers(theme->GetShape(0));
    ASSERT_EQ(markers.m_Vertices.size(), 6u);
    ws.ReplaceRecord(theme, 0, {{{20, 20}, {30, 30}}});
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter dc(&image);
    DrawVertexMarkers(markers, ResolveMarkerRecord(*ws.doc, markers), Identity(), dc);
    dc.end();
    EXPECT_EQ(CountColour(image, QColor(Qt::black)), 2 * 16);
}

} // namespace
