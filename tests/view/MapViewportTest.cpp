#include "view/MapViewport.h"

#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();

// Map (0..100, 0..100) on device (0..100, 0..100): map (x, y) is pixel
// (x, 100 - y), exactly.
CMapViewport Identity() {
    CMapViewport v;
    SetMapViewport(v, {0, 0, 100, 100}, 0.0, 100.0, 0.0, 100.0);
    return v;
}

CDevicePoint Pixel(double x, double y) {
    return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(100 - y)};
}

struct PolygonCase {
    const char* name;
    Parts rings;
    double x;
    double y;
    bool expected;
    bool peer;
};

} // namespace

TEST(MapViewport, SetMapViewportComputesScalesAndKeepsLineSpacing) {
    CMapViewport v;
    v.lineSpacing = 7;
    SetMapViewport(v, {10, 20, 210, 120}, -50.0, 50.0, 1000.0, 1050.0);
    EXPECT_EQ(v.minX, -50.0);
    EXPECT_EQ(v.maxX, 50.0);
    EXPECT_EQ(v.minY, 1000.0);
    EXPECT_EQ(v.maxY, 1050.0);
    EXPECT_EQ(v.left, 10);
    EXPECT_EQ(v.top, 20);
    EXPECT_EQ(v.right, 210);
    EXPECT_EQ(v.bottom, 120);
    EXPECT_EQ(v.scaleX, 2.0);
    EXPECT_EQ(v.scaleY, -2.0);
    EXPECT_EQ(v.lineSpacing, 7);
    EXPECT_EQ(CMapViewport().lineSpacing, 1);
}

TEST(MapViewport, ConversionsMapCornersBothWays) {
    CMapViewport v;
    SetMapViewport(v, {10, 20, 210, 120}, -50.0, 50.0, 1000.0, 1050.0);

    const CShapePoint topLeft = ScreenToMap(v, 10, 20);
    EXPECT_EQ(topLeft.x, -50.0);
    EXPECT_EQ(topLeft.y, 1050.0);
    const CShapePoint bottomRight = ScreenToMap(v, 210, 120);
    EXPECT_EQ(bottomRight.x, 50.0);
    EXPECT_EQ(bottomRight.y, 1000.0);
    const CShapePoint middle = ScreenToMap(v, 110, 70);
    EXPECT_EQ(middle.x, 0.0);
    EXPECT_EQ(middle.y, 1025.0);

    const struct {
        double x, y;
        CDevicePoint pixel;
    } cases[] = {
        {-50.0, 1050.0, {10, 20}},
        {50.0, 1000.0, {210, 120}},
        {0.0, 1025.0, {110, 70}},
        // Truncation toward zero, not rounding, and not flooring.
        {-49.9, 1049.9, {10, 20}},
        {-49.4, 1049.4, {11, 21}},
        {-60.2, 1060.2, {-10, 0}},
        {-55.2, 1055.2, {0, 9}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MapToScreen(v, c.x, c.y), c.pixel) << c.x << ", " << c.y;
        EXPECT_EQ(MapToDevice(v, c.x, c.y), c.pixel) << c.x << ", " << c.y;
    }
}

TEST(MapViewport, ScreenToMapOnAnEmptyPixelSpanGivesInfinity) {
    CMapViewport v;
    SetMapViewport(v, {5, 5, 5, 50}, 0.0, 10.0, 0.0, 10.0);
    CShapePoint p = ScreenToMap(v, 5, 50);
    EXPECT_EQ(p.x, std::numeric_limits<double>::infinity());
    EXPECT_EQ(p.y, 0.0);

    SetMapViewport(v, {0, 7, 100, 7}, 0.0, 10.0, 0.0, 10.0);
    p = ScreenToMap(v, 100, 7);
    EXPECT_EQ(p.x, 10.0);
    EXPECT_EQ(p.y, std::numeric_limits<double>::infinity());
}

TEST(MapViewport, DegenerateExtentsAndFarPointsSaturateInsteadOfOverflowing) {
    CMapViewport v;
    // No map width: the x scale is infinite; no map height either.
    SetMapViewport(v, {0, 0, 100, 100}, 5.0, 5.0, 3.0, 3.0);
    // 0 * infinity is NaN: the pixel lands far outside.
    EXPECT_EQ(MapToDevice(v, 5.0, 3.0), (CDevicePoint{kIntMin, kIntMin}));
    EXPECT_EQ(MapToScreen(v, 5.0, 3.0), (CDevicePoint{kIntMin, kIntMin}));
    EXPECT_EQ(MapToDevice(v, 6.0, 4.0), (CDevicePoint{kIntMax, kIntMax}));
    EXPECT_EQ(MapToScreen(v, 4.0, 2.0), (CDevicePoint{kIntMin, kIntMin}));

    // Neither pixels nor map: 0 / 0 everywhere.
    SetMapViewport(v, {0, 0, 0, 0}, 5.0, 5.0, 3.0, 3.0);
    EXPECT_EQ(MapToDevice(v, 1.0, 1.0), (CDevicePoint{kIntMin, kIntMin}));

    v = Identity();
    EXPECT_EQ(MapToDevice(v, 1e300, -1e300), (CDevicePoint{kIntMax, kIntMax}));
    EXPECT_EQ(MapToScreen(v, -1e300, 1e300), (CDevicePoint{kIntMin, kIntMin}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(MapToDevice(v, nan, nan), (CDevicePoint{kIntMin, kIntMin}));

    // The device rectangle at the ends of the integer range.
    SetMapViewport(v, {kIntMin, kIntMin, kIntMax, kIntMax}, 0.0, 1.0, 0.0, 1.0);
    EXPECT_EQ(MapToDevice(v, 1.0, 0.0), (CDevicePoint{kIntMax, kIntMax}));
    EXPECT_DOUBLE_EQ(ScreenToMap(v, kIntMax, kIntMin).x, 1.0);
    EXPECT_DOUBLE_EQ(ScreenToMap(v, kIntMax, kIntMin).y, 1.0);
}

TEST(MapViewport, PointInRectInclusiveTakesCornersInAnyOrder) {
    const CDeviceRect rects[] = {{10, 20, 30, 40}, {30, 40, 10, 20}, {30, 20, 10, 40}};
    for (const CDeviceRect& r : rects) {
        EXPECT_TRUE(PointInRectInclusive(r, {10, 20}));
        EXPECT_TRUE(PointInRectInclusive(r, {30, 40}));
        EXPECT_TRUE(PointInRectInclusive(r, {20, 30}));
        EXPECT_FALSE(PointInRectInclusive(r, {9, 30}));
        EXPECT_FALSE(PointInRectInclusive(r, {31, 30}));
        EXPECT_FALSE(PointInRectInclusive(r, {20, 19}));
        EXPECT_FALSE(PointInRectInclusive(r, {20, 41}));
    }
}

TEST(MapViewport, RectsCollideNamedCases) {
    const struct {
        const char* name;
        CDeviceRect a, b;
        bool expected;
    } cases[] = {
        {"apart", {0, 0, 10, 10}, {11, 0, 20, 10}, false},
        {"touching edges", {0, 0, 10, 10}, {10, 0, 20, 10}, true},
        {"touching corners", {0, 0, 10, 10}, {10, 10, 20, 20}, true},
        {"one inside the other", {0, 0, 100, 100}, {40, 40, 60, 60}, true},
        {"crossing, no corner inside", {0, 40, 100, 60}, {40, 0, 60, 100}, true},
        {"crossing, reversed corners", {100, 60, 0, 40}, {60, 100, 40, 0}, true},
        {"above", {0, 0, 10, 10}, {0, -10, 10, -1}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RectsCollide(c.a, c.b), c.expected) << c.name;
        EXPECT_EQ(RectsCollide(c.b, c.a), c.expected) << c.name << " (swapped)";
    }
}

TEST(MapViewport, RectsCollideIsOverlapOfClosedRectangles) {
    // Every pair of rectangles on a small grid, against the plain interval test.
    std::vector<std::pair<int, int>> spans;
    for (int lo = 0; lo < 5; ++lo)
        for (int hi = lo; hi < 5; ++hi)
            spans.emplace_back(lo, hi);
    std::vector<CDeviceRect> rects;
    for (const auto& x : spans)
        for (const auto& y : spans)
            rects.push_back({x.first, y.first, x.second, y.second});
    for (const CDeviceRect& a : rects) {
        for (const CDeviceRect& b : rects) {
            const bool overlap = std::max(a.left, b.left) <= std::min(a.right, b.right) &&
                                 std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
            ASSERT_EQ(RectsCollide(a, b), overlap)
                << a.left << " " << a.top << " " << a.right << " " << a.bottom << " / " << b.left
                << " " << b.top << " " << b.right << " " << b.bottom;
        }
    }
}

TEST(MapViewport, HitTestPointWithinLessThanThreePixels) {
    const CMapViewport v = Identity();
    const Bytes point = MakePoint(50, 50); // pixel (50, 50)
    const Bytes pointZ = MakePointZ(50, 50, 1, 2);
    const struct {
        int dx, dy;
        bool hit;
    } cases[] = {
        {0, 0, true},  {2, 0, true},   {0, -2, true}, {2, 2, true},   // 2.83 pixels
        {-2, 2, true}, {3, 0, false},  {0, 3, false}, {-3, 0, false}, // exactly 3 is out
        {3, 1, false}, {2, -3, false}, {4, 0, false},
    };
    for (const auto& c : cases) {
        const CDevicePoint p{50 + c.dx, 50 + c.dy};
        EXPECT_EQ(HitTestPoint(v, Rec(point), p), c.hit) << c.dx << ", " << c.dy;
        EXPECT_EQ(HitTestPoint(v, Rec(pointZ), p), c.hit) << c.dx << ", " << c.dy << " (PointZ)";
    }
    // A fraction of a pixel is truncated before measuring.
    EXPECT_TRUE(HitTestPoint(v, Rec(MakePoint(52.9, 50)), {50, 50}));
    EXPECT_EQ(HitTestPoint(v, nullptr, {50, 50}), false);
    const Bytes line = MakeMulti(SHT_Polyline, {{{50, 50}, {60, 50}}});
    EXPECT_FALSE(HitTestPoint(v, Rec(line), {50, 50}));
}

TEST(MapViewport, HitTestPolylineBySegmentBoxAndOffset) {
    const CMapViewport v = Identity();
    // Pixels: a flat segment (20,50)-(80,50), a steep one (50,10)-(52,90)
    // and a diagonal (10,90)-(40,60), each a part of one record.
    const Bytes line =
        MakeMulti(SHT_Polyline, {{{20, 50}, {80, 50}}, {{50, 90}, {52, 10}}, {{10, 10}, {40, 40}}});
    const struct {
        const char* name;
        CDevicePoint p;
        bool hit;
    } cases[] = {
        {"on the flat segment", {50, 50}, true},
        {"1 pixel above it", {30, 49}, true},
        // The box grown by 2 is open, so a flat line is hit only 1 pixel away.
        {"2 pixels above it", {30, 48}, false},
        {"3 pixels below it", {30, 53}, false},
        {"1 pixel past its end", {81, 50}, true},
        {"2 pixels past its end", {82, 50}, false},
        {"2 pixels before its start", {18, 50}, false},
        {"beside the steep segment", {52, 30}, true},
        {"2.5 pixels beside the steep segment, truncated to 3", {53, 30}, false},
        {"2 pixels beside the steep segment further down", {53, 50}, true},
        {"on the diagonal", {25, 75}, true},
        {"2 pixels right of the diagonal", {27, 75}, true},
        {"3 pixels right of the diagonal", {28, 75}, false},
        {"nowhere", {5, 5}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HitTestPolyline(v, Rec(line), c.p), c.hit) << c.name;

    // A vertical segment is measured across.
    const Bytes vertical = MakeMulti(SHT_PolylineZ, {{{30, 20}, {30, 80}}});
    EXPECT_TRUE(HitTestPolyline(v, Rec(vertical), {31, 50}));
    EXPECT_FALSE(HitTestPolyline(v, Rec(vertical), {32, 50}));
    EXPECT_FALSE(HitTestPolyline(v, Rec(vertical), {30, 83}));

    EXPECT_FALSE(HitTestPolyline(v, nullptr, {50, 50}));
    EXPECT_FALSE(HitTestPolyline(v, Rec(MakePoint(50, 50)), {50, 50}));
    const Bytes single = MakeMulti(SHT_Polyline, {{{50, 50}}});
    EXPECT_FALSE(HitTestPolyline(v, Rec(single), {50, 50}));
}

TEST(MapViewport, HitTestPolylineOfARecordWithoutParts) {
    const CMapViewport v = Identity();
    Bytes none = MakeMulti(SHT_Polyline, {});
    EXPECT_FALSE(HitTestPolyline(v, Rec(none), {0, 100}));
}

TEST(MapViewport, HitTestPolygonAgreesWithShapely) {
    // Reference values from shapely; see tests/data/geometry/make_peer_cases.py,
    // which lists the rows where the program differs on purpose.
    const PolygonCase cases[] = {
#include "data/geometry/peer_polygons.inc"
    };
    const CMapViewport v = Identity();
    for (const PolygonCase& c : cases) {
        const Bytes polygon = MakeMulti(SHT_Polygon, c.rings);
        EXPECT_EQ(HitTestPolygon(v, Rec(polygon), Pixel(c.x, c.y)), c.expected) << c.name;
        const Bytes polygonZ = MakeMulti(SHT_PolygonZ, c.rings);
        EXPECT_EQ(HitTestPolygon(v, Rec(polygonZ), Pixel(c.x, c.y)), c.expected)
            << c.name << " (PolygonZ)";
    }
}

TEST(MapViewport, HitTestPolygonAtAVertexHeightCountsTheVertexOnce) {
    // Every interior pixel of a diamond whose side vertices lie on the rows the
    // rays pass through: a ray through a vertex once flipped the answer.
    const CMapViewport v = Identity();
    const Bytes diamond =
        MakeMulti(SHT_Polygon, {{{50, 90}, {90, 50}, {50, 10}, {10, 50}, {50, 90}}});
    for (int x = 11; x < 90; ++x)
        EXPECT_TRUE(HitTestPolygon(v, Rec(diamond), Pixel(x, 50))) << x;
    // A triangle whose apex points east, level with interior points.
    const Bytes arrow = MakeMulti(SHT_Polygon, {{{10, 20}, {10, 80}, {90, 50}, {10, 20}}});
    for (int x = 11; x < 90; ++x)
        EXPECT_TRUE(HitTestPolygon(v, Rec(arrow), Pixel(x, 50))) << x;
}

TEST(MapViewport, HitTestPolygonRingsWithRepeatedOrMissingClosingPoints) {
    const CMapViewport v = Identity();
    // Repeated vertices have no direction; the rings keep their orientation.
    const Bytes repeated = MakeMulti(
        SHT_Polygon, {{{10, 10}, {10, 90}, {10, 90}, {90, 90}, {90, 10}, {10, 10}, {10, 10}},
                      {{30, 30}, {70, 30}, {70, 30}, {70, 70}, {30, 70}, {30, 30}}});
    EXPECT_TRUE(HitTestPolygon(v, Rec(repeated), Pixel(20, 50)));
    EXPECT_FALSE(HitTestPolygon(v, Rec(repeated), Pixel(50, 50)));

    // A ring stored without its closing point is taken as closed, as it is filled.
    const Bytes open = MakeMulti(SHT_Polygon, {{{10, 10}, {10, 90}, {90, 90}, {90, 10}},
                                               {{30, 30}, {70, 30}, {70, 70}, {30, 70}}});
    EXPECT_TRUE(HitTestPolygon(v, Rec(open), Pixel(20, 50)));
    EXPECT_FALSE(HitTestPolygon(v, Rec(open), Pixel(50, 50)));
    EXPECT_TRUE(HitTestPolygon(v, Rec(open), Pixel(50, 20)));
}

TEST(MapViewport, HitTestPolygonAwayFromTheOriginAndAcrossIt) {
    // The ray's end depends on the sign of xmax; the answer must not.
    const struct { double shift; } cases[] = {{-1000.0}, {-60.0}, {-50.0}, {-10.0}, {0.0}, {1e6}};
    for (const auto& c : cases) {
        CMapViewport v;
        SetMapViewport(v, {0, 0, 100, 100}, c.shift, c.shift + 100.0, 0.0, 100.0);
        const double s = c.shift;
        const Bytes square = MakeMulti(
            SHT_Polygon, {{{s + 10, 10}, {s + 10, 90}, {s + 50, 90}, {s + 50, 10}, {s + 10, 10}}});
        EXPECT_TRUE(HitTestPolygon(v, Rec(square), {30, 50})) << s;
        EXPECT_TRUE(HitTestPolygon(v, Rec(square), {49, 50})) << s;
        EXPECT_FALSE(HitTestPolygon(v, Rec(square), {60, 50})) << s;
        EXPECT_FALSE(HitTestPolygon(v, Rec(square), {30, 95})) << s;
    }
}

TEST(MapViewport, HitTestPolygonRefusesWhatIsNoPolygonAndDegenerateViewports) {
    CMapViewport v = Identity();
    EXPECT_FALSE(HitTestPolygon(v, nullptr, {50, 50}));
    EXPECT_FALSE(HitTestPolygon(v, Rec(MakePoint(50, 50)), {50, 50}));
    EXPECT_FALSE(HitTestPolygon(v, Rec(MakeMulti(SHT_Polygon, {})), {0, 100}));

    const Bytes square =
        MakeMulti(SHT_Polygon, {{{10, 10}, {10, 90}, {90, 90}, {90, 10}, {10, 10}}});
    // No map span: every pixel shows the map point (50, 50), which is inside.
    SetMapViewport(v, {0, 0, 100, 100}, 50.0, 50.0, 50.0, 50.0);
    EXPECT_TRUE(HitTestPolygon(v, Rec(square), {50, 50}));
    // No pixels: the point comes back at infinity.
    SetMapViewport(v, {0, 0, 0, 0}, 0.0, 100.0, 0.0, 100.0);
    EXPECT_FALSE(HitTestPolygon(v, Rec(square), {0, 0}));
}
