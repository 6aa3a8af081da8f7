// Expected values: tests/data/geometry/reference.txt, made by
// make_reference.py beside it from shapely (GEOS) and GeodSolve.

#include "geometry/ShapeMeasures.h"

#include "crs/RefSysTable.h"
#include "shapes/RecordFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadius = 6361442.043;

const Parts kFrame = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                      {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}};

// Rows of the reference-system table: WGS 84 longitude and latitude, and
// UTM zone 33N.
int Wgs84() {
    return FindRefSysByEpsg(4326);
}
int Utm33N() {
    return FindRefSysByEpsg(32633);
}

} // namespace

TEST(PointToSegmentDistance, MatchesThePeer) {
    struct Case {
        CShapePoint p, a, b;
        double distance;
        CShapePoint nearest;
    };
    const Case cases[] = {
        {{0, 0}, {1, -1}, {1, 1}, 1.0, {1, 0}},
        {{0, 0}, {2, 0}, {3, 0}, 2.0, {2, 0}},
        {{3, 4}, {0, 0}, {10, 0}, 4.0, {3, 0}},
        {{5, 5}, {0, 0}, {10, 10}, 0.0, {5, 5}},
        {{-1, 2}, {0, 0}, {4, 2}, 2.23606797749979, {0, 0}},
        {{1.5, -2.25},
         {-3, 1},
         {7, -4},
         0.894427190999916,
         {1.9000000000000004, -1.4500000000000002}},
        {{12, 3}, {0, 0}, {10, 0}, 3.605551275463989, {10, 0}},
        {{-7.5, 0.25}, {-2, -2}, {-2, 6}, 5.5, {-2, 0.25}},
    };
    for (const Case& c : cases) {
        CShapePoint nearest{-99, -99};
        EXPECT_NEAR(PointToSegmentDistance(c.p, c.a, c.b, &nearest), c.distance, 1e-12);
        EXPECT_NEAR(nearest.x, c.nearest.x, 1e-12);
        EXPECT_NEAR(nearest.y, c.nearest.y, 1e-12);
    }
}

TEST(PointToSegmentDistance, ZeroLengthSegmentLeavesTheNearestPoint) {
    CShapePoint nearest{-99, -99};
    EXPECT_DOUBLE_EQ(PointToSegmentDistance({3, 4}, {0, 0}, {0, 0}, &nearest), 5.0);
    EXPECT_EQ(nearest, (CShapePoint{-99, -99}));
    // Without an output it is only a distance.
    EXPECT_DOUBLE_EQ(PointToSegmentDistance({0, 0}, {1, -1}, {1, 1}), 1.0);
}

TEST(NearestPointOnShape, PolylinePartsAndPolygonOutline) {
    const Bytes polyline = MakeMulti(SHT_Polyline, {{{0, 0}, {4, 0}, {4, 4}}, {{10, 0}, {10, 10}}});
    const Bytes frame = MakeMulti(SHT_Polygon, kFrame);
    struct Case {
        const Bytes* shape;
        CShapePoint p, expected;
    };
    const Case cases[] = {
        {&polyline, {2, 1}, {2, 0}},
        {&polyline, {5, 5}, {4, 4}},
        {&polyline, {9, 3}, {10, 3}},
        {&polyline, {4, -1}, {4, 0}},
        {&polyline, {7, 20}, {10, 10}},
        {&frame, {1, 1}, {1, 1}},
        {&frame, {12, 5}, {10, 5}},
        {&frame, {-3, -4}, {0, 0}},
        {&frame, {5, 12.5}, {5, 10}},
        // The peer gives (5, 3), on the hole's edge; here a point in a hole
        // is inside its polygon, as everywhere else in the program.
        {&frame, {5, 5}, {5, 5}},
    };
    for (const Case& c : cases) {
        CShapePoint nearest{-99, -99};
        ASSERT_TRUE(NearestPointOnShape(Rec(*c.shape), c.p, nearest));
        EXPECT_EQ(nearest, c.expected) << c.p.x << ", " << c.p.y;
    }
    const Bytes point = MakePoint(7, 8);
    CShapePoint nearest;
    ASSERT_TRUE(NearestPointOnShape(Rec(point), {0, 0}, nearest));
    EXPECT_EQ(nearest, (CShapePoint{7, 8}));
}

// A shape with nothing to measure is a failure, not a success that leaves
// the caller's preset (0, 0) standing as an answer.
TEST(NearestPointOnShape, ReportsFailureWhenThereIsNoPoint) {
    const Bytes lonePoint = MakeMulti(SHT_Polyline, {{{3, 3}}});
    const Bytes noParts = MakeMulti(SHT_Polygon, {});
    const Bytes nanLine = MakeMulti(SHT_Polyline, {{{std::nan(""), 0}, {std::nan(""), 1}}});
    for (const Bytes* shape : {&lonePoint, &noParts, &nanLine}) {
        CShapePoint nearest{-99, -99};
        EXPECT_FALSE(NearestPointOnShape(Rec(*shape), {0, 0}, nearest));
        EXPECT_EQ(nearest, (CShapePoint{-99, -99}));
    }
}

TEST(PointInRingWinding, WindingRule) {
    const std::vector<CShapePoint> square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}};
    EXPECT_TRUE(PointInRingWinding(square, {1, 1}));
    EXPECT_FALSE(PointInRingWinding(square, {3, 1}));
    // A ray through the vertex (2, 0) of a diamond counts once.
    const std::vector<CShapePoint> diamond = {{0, -2}, {2, 0}, {0, 2}, {-2, 0}, {0, -2}};
    EXPECT_TRUE(PointInRingWinding(diamond, {0, 0}));
    EXPECT_FALSE(PointInRingWinding({{0, 0}, {1, 1}}, {0.5, 0.5}));
}

TEST(SnapToNearestVertex, FirstOfTheNearestWins) {
    const Bytes shape = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}});
    CShapePoint vertex;
    double distance = 0;
    ASSERT_TRUE(SnapToNearestVertex(Rec(shape), {3, 5}, vertex, distance));
    EXPECT_EQ(vertex, (CShapePoint{4, 4}));
    EXPECT_DOUBLE_EQ(distance, std::sqrt(2.0));
    // Equally near (0, 0), the first and the closing vertex, and (0, 4).
    ASSERT_TRUE(SnapToNearestVertex(Rec(shape), {0, 2}, vertex, distance));
    EXPECT_EQ(vertex, (CShapePoint{0, 0}));
    EXPECT_DOUBLE_EQ(distance, 2.0);

    const Bytes point = MakePoint(1, 1);
    ASSERT_TRUE(SnapToNearestVertex(Rec(point), {4, 5}, vertex, distance));
    EXPECT_EQ(vertex, (CShapePoint{1, 1}));
    EXPECT_DOUBLE_EQ(distance, 5.0);

    const Bytes empty = MakeMulti(SHT_Polyline, {});
    vertex = {-99, -99};
    EXPECT_FALSE(SnapToNearestVertex(Rec(empty), {0, 0}, vertex, distance));
    EXPECT_EQ(vertex, (CShapePoint{-99, -99}));
}

TEST(ShapeCentre, PolygonMeanAndPolylineMidPoint) {
    CShapePoint centre;
    // The closing point counts twice.
    const Bytes square = MakeMulti(SHT_Polygon, {{{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}});
    ASSERT_TRUE(GetPolygonCentre(Rec(square), centre));
    EXPECT_DOUBLE_EQ(centre.x, 0.8);
    EXPECT_DOUBLE_EQ(centre.y, 0.8);
    // The ring with the most points decides.
    const Bytes twoRings = MakeMulti(SHT_Polygon, {{{10, 10}, {10, 11}, {11, 10}, {10, 10}},
                                                   {{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}});
    ASSERT_TRUE(GetShapeCentre(Rec(twoRings), centre));
    EXPECT_DOUBLE_EQ(centre.x, 1.6);
    const Bytes sliver = MakeMulti(SHT_Polygon, {{{0, 0}, {1, 1}}});
    EXPECT_FALSE(GetPolygonCentre(Rec(sliver), centre));

    const Bytes polyline = MakeMulti(SHT_Polyline, {{{0, 0}, {4, 0}, {4, 2}}, {{0, 10}, {1, 10}}});
    ASSERT_TRUE(GetShapeCentre(Rec(polyline), centre));
    EXPECT_EQ(centre, (CShapePoint{3, 0}));
    const Bytes flat = MakeMulti(SHT_Polyline, {{{1, 1}, {1, 1}}});
    EXPECT_FALSE(GetPolylineMidPoint(Rec(flat), centre));

    const Bytes point = MakePoint(5, 6);
    ASSERT_TRUE(GetShapeCentre(Rec(point), centre));
    EXPECT_EQ(centre, (CShapePoint{5, 6}));
}

TEST(GetPolylinePositionAtFraction, PointsAndDirections) {
    const Bytes zigzag = MakeMulti(SHT_Polyline, {{{0, 0}, {3, 4}, {3, 10}, {-5, 10}}});
    struct Case {
        float f;
        CShapePoint point;
        double angle;
    };
    const Case cases[] = {
        {0.0f, {0, 0}, std::atan(4.0 / 3.0)},
        {0.125f, {1.4249999999999998, 1.9}, std::atan(4.0 / 3.0)},
        {0.25f, {2.8499999999999996, 3.8}, std::atan(4.0 / 3.0)},
        {0.5f, {3.0, 8.5}, kPi / 2},
        {0.75f, {-0.25, 10.0}, kPi},
        // The program works with the float nearest to 0.9.
        {0.9f, {-3.1000000000000014, 10.0}, kPi},
        {1.0f, {-5, 10}, kPi},
    };
    for (const Case& c : cases) {
        CShapePoint point;
        double angle = 99;
        ASSERT_TRUE(GetPolylinePositionAtFraction(Rec(zigzag), c.f, point, angle)) << c.f;
        EXPECT_NEAR(point.x, c.point.x, 1e-6) << c.f;
        EXPECT_NEAR(point.y, c.point.y, 1e-6) << c.f;
        EXPECT_DOUBLE_EQ(angle, c.angle) << c.f;
    }
    CShapePoint point;
    double angle = 99;
    const Bytes west = MakeMulti(SHT_Polyline, {{{0, 0}, {-10, 0}}});
    ASSERT_TRUE(GetPolylinePositionAtFraction(Rec(west), 0.5f, point, angle));
    EXPECT_EQ(point, (CShapePoint{-5, 0}));
    EXPECT_DOUBLE_EQ(angle, kPi);

    const Bytes single = MakeMulti(SHT_Polyline, {{{1, 1}}});
    EXPECT_FALSE(GetPolylinePositionAtFraction(Rec(single), 0.5f, point, angle));
    // A last segment of no length has no direction.
    const Bytes stub = MakeMulti(SHT_Polyline, {{{0, 0}, {5, 0}, {5, 0}}});
    EXPECT_FALSE(GetPolylinePositionAtFraction(Rec(stub), 1.0f, point, angle));
    EXPECT_FALSE(GetPolylinePositionAtFraction(Rec(stub), std::nanf(""), point, angle));
}

TEST(GroundDistance, OnTheSphere) {
    struct Case {
        CShapePoint a, b;
        double metres;
    };
    const Case cases[] = {
        {{0, 0}, {1, 0}, 111028.108825145},
        {{13.4, 52.5}, {2.35, 48.85}, 875483.678977495},
        {{-74, 40.7}, {151.2, -33.9}, 15967383.413406843},
        {{10, 0}, {190, 0}, 19985059.588526044},
        {{0, 89}, {180, 89}, 222056.217650289},
        {{-0.5, 0.25}, {0.5, -0.25}, 124132.884261277},
        // Short segments keep their length to the tenth of a millimetre.
        {{10, 50}, {10, 50.0000009}, 0.099925298},
        {{10, 50}, {10.0000014, 50}, 0.09991449},
        {{-120.5, 35.25}, {-120.5000001, 35.2500001}, 0.014334685},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GroundDistance(Wgs84(), c.a, c.b, kRadius), c.metres, c.metres < 1 ? 1e-4 : 1e-3)
            << c.a.x << " " << c.a.y;
    EXPECT_NEAR(GroundDistance(Wgs84(), {0, 0}, {1, 0}, kRadius), kRadius * kPi / 180, 1e-3);
    // Projected points go through the coordinate engine first.
    EXPECT_NEAR(GroundDistance(Utm33N(), {500000, 5500000}, {600000, 5600000}, kRadius),
                141015.356299822, 1e-2);
    EXPECT_DOUBLE_EQ(GroundDistance(-1, {0, 0}, {3, 4}, kRadius), 5.0);
}

// A point the engine cannot convert has no ground distance, rather than
// one made up from whatever the conversion left behind.
TEST(GroundDistance, UnconvertiblePointsAreNotANumber) {
    EXPECT_TRUE(std::isnan(GroundDistance(kRefSysCount, {0, 0}, {1, 0}, kRadius)));
    EXPECT_TRUE(std::isnan(GroundDistance(Wgs84(), {std::nan(""), 0}, {1, 0}, kRadius)));
}

TEST(GroundDistanceAlongEquator, CountsHalfTurns) {
    struct Case {
        double lon1, lon2, metres;
    };
    const Case cases[] = {
        {0, 90, 9992529.794263022},      {-170, 190, 39970119.17705209},
        {-180, 400, 64396303.118583925}, {30, -20, 5551405.441257235},
        {-100, 170, 29977589.382789068},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GroundDistanceAlongEquator(c.lon1, c.lon2, kRadius), c.metres, 1e-3)
            << c.lon1 << " " << c.lon2;
    // A far-off or undefined longitude ends at once instead of counting
    // half-turns for ever.
    EXPECT_TRUE(std::isfinite(GroundDistanceAlongEquator(0, 1e300, kRadius)));
    EXPECT_TRUE(std::isnan(
        GroundDistanceAlongEquator(0, std::numeric_limits<double>::infinity(), kRadius)));
    EXPECT_TRUE(std::isnan(GroundDistanceAlongEquator(std::nan(""), 10, kRadius)));
}

TEST(GetShapeLength, PlaneAndGround) {
    const Bytes zigzag = MakeMulti(SHT_PolylineZ, {{{0, 0}, {3, 4}, {3, 10}, {-5, 10}}});
    EXPECT_DOUBLE_EQ(GetShapeLength(Rec(zigzag), -1, kRadius), 19.0);
    // A polygon's perimeter, holes included.
    const Bytes frame = MakeMulti(SHT_Polygon, kFrame);
    EXPECT_DOUBLE_EQ(GetShapeLength(Rec(frame), -1, kRadius), 56.0);
    const Bytes track = MakeMulti(SHT_Polyline, {{{5, 45}, {6, 46}, {8, 46}, {8, 44.5}}});
    EXPECT_NEAR(GetShapeLength(Rec(track), Wgs84(), kRadius), 456373.70143235, 1e-3);
    const Bytes utm = MakeMulti(SHT_Polyline, {{{500000, 5500000}, {600000, 5600000}}});
    EXPECT_NEAR(GetShapeLength(Rec(utm), Utm33N(), kRadius), 141015.356299822, 1e-2);
    const Bytes point = MakePoint(1, 2);
    EXPECT_EQ(GetShapeLength(Rec(point), -1, kRadius), 0.0);
}

TEST(PointGreater, OrdersByXThenY) {
    EXPECT_TRUE(PointGreater({2, 0}, {1, 5}));
    EXPECT_TRUE(PointGreater({1, 2}, {1, 1}));
    EXPECT_FALSE(PointGreater({1, 1}, {1, 1}));
    EXPECT_FALSE(PointGreater({0, 9}, {1, 0}));
}

namespace {

TEST(GetRingSignedArea, OrientationAndSize) {
    // Shape files store outer rings clockwise (negative) and holes
    // counter-clockwise (positive).
    const Bytes frame = MakeMulti(SHT_Polygon, kFrame);
    const Bytes far = MakeMulti(SHT_Polygon, {{{500000, 4000000}, {500000, 4000001}, {500001, 4000001},
                                               {500001, 4000000}, {500000, 4000000}}});
    // The closing segment counts even when the ring is left open.
    const Bytes open = MakeMulti(SHT_PolylineZ, {{{0, 0}, {2, 0}, {2, 2}}});
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    const Bytes point = MakePoint(1, 1);
    struct Case {
        const Bytes* record;
        std::uint32_t part;
        double area;
    };
    const Case cases[] = {
        {&frame, 0, -100.0}, {&frame, 1, 16.0}, {&frame, 2, 0.0}, {&far, 0, -1.0},
        {&open, 0, 2.0},     {&line, 0, 0.0},   {&point, 0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(GetRingSignedArea(Rec(*c.record), c.part), c.area);
}

} // namespace
