// Expected values: tests/data/geometry/reference.txt, made by
// make_reference.py beside it from shapely (GEOS: box.intersects, distance
// <= r). Rows marked "differs" there are the program's own rules, kept on
// purpose: edges tested by their boxes, holes counting as inside, circles
// meeting polygons only through vertices or the centre.

#include "geometry/SelectionHitTests.h"

#include "shapes/RecordFixtures.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

Bytes Square(double x1, double y1, double x2, double y2) {
    return MakeMulti(SHT_Polygon, {{{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}, {x1, y1}}});
}

const Parts kFrame = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                      {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}};

} // namespace

TEST(PolylineHitByRectangle, SegmentsInsideCrossingOrTouching) {
    const Bytes zig = MakeMulti(SHT_Polyline, {{{0, 0}, {4, 4}, {8, 0}}});
    struct Case {
        CDoubleRect rect;
        bool hit;
        const char* note;
    };
    const Case cases[] = {
        {{1, 0, 2, 3}, true, "crossing"},
        {{3.5, 3.5, 5, 5}, true, "around the apex"},
        {{4, 4, 6, 6}, true, "touching the apex with a corner"},
        {{5, 0, 6, 1}, false, "under the line"},
        {{1.5, 1.5, 2.5, 2.5}, true, "crossed by a segment"},
        {{0, 3, 1, 4}, false, "above the line"},
        {{-1, -1, 9, 5}, true, "holding the whole polyline, no edge crossed"},
        {{8, -2, 9, 0}, true, "touching an end point"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PolylineHitByRectangle(Rec(zig), c.rect), c.hit) << c.note;
}

TEST(PolylineHitByCircle, DistanceUpToTheRadius) {
    const Bytes zig = MakeMulti(SHT_Polyline, {{{0, 0}, {4, 4}, {8, 0}}});
    struct Case {
        CShapePoint centre;
        double radius;
        bool hit;
    };
    const Case cases[] = {
        // Border through the apex vertex: distance equal to the radius.
        {{4, 6}, 2.0, true},     {{4, 6}, 1.99, false},
        {{4, 2}, 0.5, false},    {{2, 3}, 0.7071067811865476, true},
        {{2, 3}, 0.7071, false}, {{10, 0}, 1.9, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PolylineHitByCircle(Rec(zig), c.centre, c.radius), c.hit)
            << c.centre.x << "," << c.centre.y;
}

TEST(PolygonHitByRectangle, EdgeBoxesAndTheCornerTest) {
    const Bytes big = Square(0, 0, 100, 100);
    const Bytes small = Square(10, 10, 11, 11);
    const Bytes triangle = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 0}, {0, 0}}});
    const Bytes frame = MakeMulti(SHT_Polygon, kFrame);
    // Pointing east, with its tip at (20, 5); no edge box reaches the middle.
    const Bytes arrow =
        MakeMulti(SHT_PolygonZ, {{{0, 0}, {0, 10}, {10, 10}, {20, 5}, {10, 0}, {0, 0}}});
    struct Case {
        const char* note;
        const Bytes* shape;
        CDoubleRect rect;
        bool hit;
    };
    const Case cases[] = {
        {"small rectangle inside a big polygon", &big, {40, 40, 41, 41}, true},
        {"small polygon inside the rectangle", &small, {0, 0, 50, 50}, true},
        {"beside the polygon", &small, {12, 12, 20, 20}, false},
        {"in the box of the oblique edge, outside the triangle (peer: miss)",
         &triangle,
         {6, 6, 7, 7},
         true},
        {"east of the triangle", &triangle, {11, 0, 12, 1}, false},
        {"in the hole (peer: miss)", &frame, {4, 4, 5, 5}, true},
        // The corner (x1, y1) lies at the height of the arrow's tip; the ray
        // through it must count that vertex once.
        {"inside, corner level with a vertex", &arrow, {4, 5, 5, 6}, true},
        {"west of the box", &arrow, {-5, 4, -4, 6}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PolygonHitByRectangle(Rec(*c.shape), c.rect), c.hit) << c.note;
}

TEST(PolygonHitByCircle, VerticesOrTheCentre) {
    const Bytes frame = MakeMulti(SHT_Polygon, kFrame);
    const Bytes longEdge = Square(0, 0, 100, 1);
    const Bytes arrow =
        MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {20, 5}, {10, 0}, {0, 0}}});
    struct Case {
        const char* note;
        const Bytes* shape;
        CShapePoint centre;
        double radius;
        bool hit;
    };
    const Case cases[] = {
        {"in the hole (peer: miss)", &frame, {5, 5}, 1.0, true},
        {"across a long edge, centre outside (peer: hit)", &longEdge, {50, 2}, 1.5, false},
        {"centre inside", &longEdge, {50, 0.5}, 0.1, true},
        {"vertex within the radius", &longEdge, {103, 4}, 4.25, true},
        {"vertex just beyond the radius", &longEdge, {103, 4}, 4.24, false},
        {"vertex on the border", &longEdge, {103, 5}, 5.0, true},
        {"centre inside, level with a vertex", &arrow, {4, 5}, 0.5, true},
        {"box missed", &longEdge, {50, 10}, 2.0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PolygonHitByCircle(Rec(*c.shape), c.centre, c.radius), c.hit) << c.note;
}

TEST(SelectionHitTests, NothingToHit) {
    const Bytes empty = MakeMulti(SHT_Polygon, {});
    const Bytes nanShape =
        MakeMulti(SHT_Polygon, {{{std::nan(""), 0}, {1, 1}, {0, 1}, {std::nan(""), 0}}});
    for (const Bytes* shape : {&empty, &nanShape}) {
        EXPECT_FALSE(PolylineHitByRectangle(Rec(*shape), CDoubleRect(-5, -5, 5, 5)));
        EXPECT_FALSE(PolylineHitByCircle(Rec(*shape), {0, 0}, 5));
        EXPECT_FALSE(PolygonHitByCircle(Rec(*shape), {0, 0}, 5));
    }
}
