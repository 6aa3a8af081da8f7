// Expected values: tests/data/geometry/reference.txt, made by
// make_reference.py beside it from shapely (GEOS). Rows marked "differs"
// there are the program's own rules: a hole counts as inside its polygon, and
// of a polygon's boundary the east and south sides are inside.

#include "geometry/SpatialPredicates.h"

#include "shapes/RecordFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

const Parts kSquare = {{{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}}};
const Parts kDiamond = {{{0, -2}, {-2, 0}, {0, 2}, {2, 0}, {0, -2}}};
const Parts kNotch = {{{0, 0}, {0, 4}, {2, 2}, {4, 4}, {4, 0}, {0, 0}}};
const Parts kFrame = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                      {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}};
const Parts kZig = {{{0, 0}, {4, 4}, {8, 0}}};

Bytes Polygon(const Parts& parts) {
    return MakeMulti(SHT_Polygon, parts);
}
Bytes Polyline(const Parts& parts) {
    return MakeMulti(SHT_Polyline, parts);
}
Bytes Square(double x1, double y1, double x2, double y2) {
    return Polygon({{{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}, {x1, y1}}});
}

} // namespace

TEST(PointInPolygon, RayThroughVerticesAndBoundaries) {
    const Bytes square = Polygon(kSquare);
    const Bytes diamond = Polygon(kDiamond);
    const Bytes notch = Polygon(kNotch);
    const Bytes frame = Polygon(kFrame);
    struct Case {
        const Bytes* shape;
        CShapePoint p;
        bool inside;
        const char* note;
    };
    const Case cases[] = {
        {&square, {1, 1}, true, "interior"},
        {&square, {2, 1}, true, "east edge"},
        {&square, {0, 1}, false, "west edge (peer: true)"},
        {&square, {2, 2}, false, "north-east corner (peer: true)"},
        {&square, {1, 0}, true, "south edge"},
        {&square, {1, 2}, false, "north edge (peer: true)"},
        {&square, {3, 1}, false, "east of the box"},
        // The ray from these passes exactly through a vertex and must count
        // it once.
        {&diamond, {0, 0}, true, "ray through the east vertex"},
        {&diamond, {-1, 0}, true, "ray through the east vertex"},
        {&diamond, {1.9, 0}, true, "ray through the east vertex"},
        {&diamond, {2.5, 0}, false, "east of the box"},
        {&notch, {1, 2}, true, "ray grazing the notch's vertex"},
        {&notch, {3, 2}, true, "at the height of the notch's vertex"},
        {&notch, {2, 3}, false, "in the notch"},
        {&notch, {2, 2.5}, false, "in the notch"},
        {&frame, {1, 3}, true, "ray along the hole's bottom edge"},
        {&frame, {8, 7}, true, "ray along the hole's top edge"},
        {&frame, {5, 5}, true, "in the hole (peer: false)"},
        {&frame, {11, 5}, false, "outside"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointInPolygon(Rec(*c.shape), c.p), c.inside)
            << c.p.x << ", " << c.p.y << ": " << c.note;
}

TEST(PointInPolygon, FlatAndUndefinedPolygons) {
    // A polygon flattened to a line holds the points of the line.
    const Bytes vertical = Polygon({{{1, 0}, {1, 5}, {1, 0}}});
    EXPECT_TRUE(PointInPolygon(Rec(vertical), {1, 3}));
    EXPECT_FALSE(PointInPolygon(Rec(vertical), {1, 6}));
    const Bytes horizontal = Polygon({{{0, 2}, {5, 2}, {0, 2}}});
    EXPECT_TRUE(PointInPolygon(Rec(horizontal), {4, 2}));
    const Bytes square = Polygon(kSquare);
    EXPECT_FALSE(PointInPolygon(Rec(square), {std::nan(""), 1}));
    EXPECT_FALSE(PointInPolygon(Rec(square), {1, std::nan("")}));
}

TEST(ShapesIntersect, MatchesThePeerBothWays) {
    const Bytes frame = Polygon(kFrame);
    const Bytes zig = Polyline(kZig);
    const Bytes p11 = MakePoint(1, 1);
    const Bytes p12 = MakePoint(1, 2);
    const Bytes onVertex = MakePoint(4, 4);
    const Bytes midSegment = MakePointZ(2, 2, 7, 0);
    const Bytes offLine = MakePoint(2, 3);
    const Bytes across = Polyline({{{0, 4}, {8, 4}}});
    const Bytes above = Polyline({{{0, 5}, {8, 5}}});
    const Bytes diagonal = MakeMulti(SHT_PolylineZ, {{{-1, -1}, {11, 11}}});
    const Bytes shortInside = Polyline({{{1, 1}, {2, 1}}});
    const Bytes inner = Square(1, 1, 2, 2);
    const Bytes overlapping = Square(8, 8, 12, 12);
    const Bytes far = Square(20, 20, 21, 21);
    const Bytes inHole = MakeMulti(SHT_PolygonZ, {{{4, 4}, {4, 5}, {5, 5}, {5, 4}, {4, 4}}});
    const Bytes pointInHole = MakePoint(5, 5);
    struct Case {
        const char* name;
        const Bytes* a;
        const Bytes* b;
        bool meet;
    };
    const Case cases[] = {
        {"equal points", &p11, &p11, true},
        {"different points", &p11, &p12, false},
        {"point on a vertex", &onVertex, &zig, true},
        {"point in the middle of a segment", &midSegment, &zig, true},
        {"point beside the polyline", &offLine, &zig, false},
        {"polyline touching the apex", &across, &zig, true},
        {"polyline above", &above, &zig, false},
        {"polyline across the frame", &diagonal, &frame, true},
        {"polyline inside the frame", &shortInside, &frame, true},
        {"polygon inside the frame", &inner, &frame, true},
        {"polygon overlapping the frame", &overlapping, &frame, true},
        {"polygon far away", &far, &frame, false},
        {"polygon in the hole (peer: false)", &inHole, &frame, true},
        {"point in the hole (peer: false)", &pointInHole, &frame, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShapesIntersect(Rec(*c.a), Rec(*c.b)), c.meet) << c.name;
        EXPECT_EQ(ShapesIntersect(Rec(*c.b), Rec(*c.a)), c.meet) << c.name << ", swapped";
    }
    const Bytes empty = MakeMulti(SHT_Polyline, {});
    EXPECT_FALSE(ShapesIntersect(Rec(empty), Rec(frame)));
}

TEST(ShapeMeetsPolygon, SeesOnlyTheSegmentsOfTheShape) {
    const Bytes frame = Polygon({{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}});
    const Bytes inner = Square(1, 1, 2, 2);
    EXPECT_TRUE(ShapeMeetsPolygon(Rec(frame), Rec(inner)));
    EXPECT_FALSE(ShapeMeetsPolygon(Rec(inner), Rec(frame)));
    EXPECT_TRUE(PolylinesIntersect(Rec(frame), Rec(Polyline({{{5, -1}, {5, 1}}}))));
}

TEST(ShapeInRectangle, IntersectAndContain) {
    const CDoubleRect rect(2, 2, 6, 5);
    const Bytes enclosing = Square(0, 0, 10, 10);
    const Bytes frame = Polygon(kFrame);
    const Bytes crossing = Polyline({{{0, 0}, {8, 8}}});
    const Bytes inside = Polyline({{{3, 3}, {5, 4}}});
    const Bytes onBorder = Polyline({{{2, 2}, {6, 2}}});
    const Bytes beside = Polyline({{{7, 0}, {7, 9}}});
    const Bytes triangle = Polygon({{{0, 0}, {0, 10}, {10, 0}, {0, 0}}});
    const Bytes corner = MakePoint(6, 5);
    struct Case {
        const char* name;
        const Bytes* shape;
        bool meets;
        bool contained;
    };
    const Case cases[] = {
        {"polygon around the rectangle", &enclosing, true, false},
        {"frame whose hole holds part of the rectangle", &frame, true, false},
        {"polyline crossing", &crossing, true, false},
        {"polyline inside", &inside, true, true},
        {"polyline along the border", &onBorder, true, true},
        {"polyline beside", &beside, false, false},
        {"triangle over a corner", &triangle, true, false},
        {"point on the corner", &corner, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShapeInRectangle(Rec(*c.shape), rect, true), c.meets) << c.name;
        EXPECT_EQ(ShapeInRectangle(Rec(*c.shape), rect, false), c.contained) << c.name;
    }
    Bytes null(12, 0);
    EXPECT_FALSE(ShapeInRectangle(Rec(null), CDoubleRect(-1, -1, 1, 1), false));
}

TEST(SegmentMeetsRectangle, EndsInsideOrCrossingAnEdge) {
    struct Case {
        CShapePoint a, b;
        bool meets;
    };
    const Case cases[] = {
        {{1, 1}, {2, 1}, true},     {{-1, 1}, {5, 1}, true}, {{0, 0}, {4, 0}, true},
        {{5, 0}, {5, 2}, false},    {{-1, 3}, {1, 1}, true}, {{-1, 3}, {0.9, -0.9}, true},
        {{-2, 3}, {-1, -1}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentMeetsRectangle(CDoubleRect(0, 0, 4, 2), c.a, c.b), c.meets)
            << c.a.x << "," << c.a.y;
        // Any corner order.
        EXPECT_EQ(SegmentMeetsRectangle(CDoubleRect(4, 2, 0, 0), c.a, c.b), c.meets)
            << c.a.x << "," << c.a.y;
    }
}

TEST(DoubleRect, Helpers) {
    CDoubleRect b(5, 5, 1, 1);
    ExtendDoubleRect(CDoubleRect(2, 2, 3, 3), b);
    EXPECT_EQ(b.x1, 1);
    EXPECT_EQ(b.y1, 1);
    EXPECT_EQ(b.x2, 5);
    EXPECT_EQ(b.y2, 5);
    ExtendDoubleRect(CDoubleRect(9, -1, 7, 0), b);
    EXPECT_EQ(b.x1, 1);
    EXPECT_EQ(b.y1, -1);
    EXPECT_EQ(b.x2, 9);
    EXPECT_EQ(b.y2, 5);

    CDoubleRect r(4, 3, 1, 7);
    NormalizeDoubleRect(r);
    EXPECT_EQ(r.x1, 1);
    EXPECT_EQ(r.y1, 3);
    EXPECT_EQ(r.x2, 4);
    EXPECT_EQ(r.y2, 7);
    EXPECT_EQ(r.GetWidth(), 3);
    EXPECT_EQ(CDoubleRect(4, 7, 1, 3).GetHeight(), 4);
    double hw = 0;
    double hh = 0;
    r.GetHalfSize(hw, hh);
    EXPECT_EQ(hw, 1.5);
    EXPECT_EQ(hh, 2);

    EXPECT_TRUE(r.Contains(1, 7));
    EXPECT_FALSE(r.Contains(0.5, 5));
    // Corners inside, shared borders, and the cross-wise case where neither
    // holds a corner of the other.
    EXPECT_TRUE(CDoubleRect(0, 0, 2, 2).Intersects(CDoubleRect(1, 1, 3, 3)));
    EXPECT_TRUE(CDoubleRect(0, 0, 2, 2).Intersects(CDoubleRect(2, 2, 3, 3)));
    EXPECT_TRUE(CDoubleRect(0, 1, 10, 2).Intersects(CDoubleRect(3, 0, 4, 5)));
    EXPECT_TRUE(CDoubleRect(3, 5, 4, 0).Intersects(CDoubleRect(10, 2, 0, 1)));
    EXPECT_FALSE(CDoubleRect(0, 0, 2, 2).Intersects(CDoubleRect(2.5, 0, 3, 2)));
    EXPECT_FALSE(CDoubleRect(0, 0, 2, 2).Intersects(CDoubleRect(std::nan(""), 0, 3, 2)));
}
