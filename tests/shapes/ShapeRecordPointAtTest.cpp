// The single-point edits that the geometry transforms use: a point written
// alone (no ring linking, no box update) and M values written in place.

#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

TEST(ShapeRecordPointAt, WritesOnePointOnly) {
    Bytes ring = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {0, 0}}});
    CShapeRecord::SetPointAt(Rec(ring), 0, 5, 6);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(ring), 0), (CShapePoint{5, 6}));
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(ring), 3), (CShapePoint{0, 0})) << "the closing point is not linked";
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(ring)), 1.0) << "the box is the caller's";
    const Bytes before = ring;
    CShapeRecord::SetPointAt(Rec(ring), 4, 9, 9);
    EXPECT_EQ(ring, before) << "beyond the points";
    Bytes point = MakePoint(1, 2);
    CShapeRecord::SetPointAt(Rec(point), 0, 9, 9);
    EXPECT_EQ(point, MakePoint(1, 2));
}

TEST(ShapeRecordPointAt, MPointerReachesEachMValue) {
    Bytes line = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 5}, {1, 1, 2, 6}}});
    CShapeRecord::GetMPointer(Rec(line), 1).Set(-4);
    EXPECT_EQ(CShapeRecord::GetM(Rec(line), 1), -4.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(line), 0), 5.0);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(line), 1), 2.0);
    EXPECT_FALSE(CShapeRecord::GetMPointer(Rec(line), 2));
    Bytes plain = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    EXPECT_FALSE(CShapeRecord::GetMPointer(Rec(plain), 0));
}
