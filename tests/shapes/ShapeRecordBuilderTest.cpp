#include "shapes/ShapeRecordBuilder.h"

#include "platform/ByteOrder.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(ShapeRecordBuilder, BuildsAPolygonWithItsHeaderPartsAndBox) {
    Bytes b(CShapeRecordBuilder::RecordSize(2, 5));
    ASSERT_EQ(b.size(), 52u + 8 + 80);
    CShapeRecordBuilder builder;
    builder.m_PartCount = 2;
    builder.m_PointCount = 5;
    builder.m_RecordNumber = 3;
    builder.m_Record = b.data();
    ASSERT_TRUE(builder.BeginPolygon());
    EXPECT_TRUE(builder.AddPoint(5, 5));
    EXPECT_TRUE(builder.AddPoint(-1, 7));
    EXPECT_TRUE(builder.NextPart());
    EXPECT_TRUE(builder.AddPoint(3, -2));
    EXPECT_TRUE(builder.AddPoint(4, 4));
    EXPECT_TRUE(builder.AddPoint(3, -2));

    EXPECT_EQ(ReadBE32(b.data()), 3u);
    EXPECT_EQ(ReadBE32(b.data() + 4), 44u + 8 + 80) << "content length in bytes";
    EXPECT_EQ(CShapeRecord::GetShapeType(Rec(b)), SHT_Polygon);
    EXPECT_EQ(CShapeRecord::GetPartStart(Rec(b), 1), 2u);
    EXPECT_EQ(CShapeRecord::GetMinX(Rec(b)), -1.0);
    EXPECT_EQ(CShapeRecord::GetMinY(Rec(b)), -2.0);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(b)), 5.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(Rec(b)), 7.0);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(b), 3), (CShapePoint{4, 4}));
}

TEST(ShapeRecordBuilder, RefusesPointsAndPartsBeyondItsCounts) {
    Bytes b(CShapeRecordBuilder::RecordSize(1, 2));
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = 2;
    builder.m_Record = b.data();
    ASSERT_TRUE(builder.BeginPolyline());
    EXPECT_FALSE(builder.NextPart()) << "all parts in use";
    EXPECT_TRUE(builder.AddPoint(1, 1));
    EXPECT_TRUE(builder.AddPoint(2, 2));
    const Bytes full = b;
    EXPECT_FALSE(builder.AddPoint(3, 3));
    EXPECT_EQ(b, full) << "a refused point changes nothing";
    EXPECT_EQ(builder.m_PointsAdded, 2u);

    CShapeRecordBuilder empty;
    EXPECT_FALSE(empty.BeginPolyline());
    EXPECT_FALSE(empty.AddPoint(0, 0));
    EXPECT_FALSE(empty.NextPart());
}

TEST(ShapeRecordBuilderZ, BuildsZAndMArraysAndRanges) {
    const Bytes b = MakeMulti(SHT_PolylineZ, {{{0, 0, 5, -1}, {1, 1, 9, 2}}, {{2, 2, 1, 3}}}, 4);
    ASSERT_EQ(b.size(), 84u + 8 + 32 * 3);
    EXPECT_EQ(ReadBE32(b.data() + 4), 76u + 8 + 32 * 3) << "content length in bytes";
    EXPECT_EQ(CShapeRecord::GetShapeType(Rec(b)), SHT_PolylineZ);
    EXPECT_EQ(CShapeRecord::GetZMin(Rec(b)), 1.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(b)), 9.0);
    EXPECT_EQ(CShapeRecord::GetMMin(Rec(b)), -1.0);
    EXPECT_EQ(CShapeRecord::GetMMax(Rec(b)), 3.0);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(b), 1), 9.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(b), 2), 3.0);
    EXPECT_EQ(CShapeRecord::GetPartStart(Rec(b), 1), 2u);
}

TEST(ShapeRecordBuilderZ, OnePointTooManyTouchesNothing) {
    // Guard bytes after the record catch any write past its end; ASan would too.
    const std::size_t size = CShapeRecordBuilderZ::RecordSize(1, 2);
    Bytes b(size + 64, 0xEE);
    CShapeRecordBuilderZ builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = 2;
    builder.m_Record = b.data();
    ASSERT_TRUE(builder.BeginPolygonZ());
    EXPECT_TRUE(builder.AddPoint(0, 0, 1, 2));
    EXPECT_TRUE(builder.AddPoint(1, 1, 3, 4));
    const Bytes full = b;
    EXPECT_FALSE(builder.AddPoint(9, 9, 9, 9));
    EXPECT_EQ(b, full);
    EXPECT_EQ(CShapeRecord::GetZMin(Rec(b)), 1.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(b)), 3.0);
    for (std::size_t i = size; i < b.size(); ++i)
        ASSERT_EQ(b[i], 0xEE) << i;
}

TEST(SinglePartPolylineBuilder, BuildsOnePartFromZero) {
    Bytes b(CSinglePartPolylineBuilder::RecordSize(3));
    CSinglePartPolylineBuilder builder;
    builder.m_PointCount = 3;
    builder.m_RecordNumber = 9;
    builder.m_Record = b.data();
    ASSERT_TRUE(builder.Begin());
    EXPECT_TRUE(builder.AddPoint(1, 2));
    EXPECT_TRUE(builder.AddPoint(-3, 4));
    EXPECT_TRUE(builder.AddPoint(5, -6));
    EXPECT_FALSE(builder.AddPoint(7, 8));
    EXPECT_EQ(ReadBE32(b.data() + 4), 48u + 16 * 3);
    EXPECT_EQ(CShapeRecord::GetShapeType(Rec(b)), SHT_Polyline);
    EXPECT_EQ(CShapeRecord::GetPartCount(Rec(b)), 1u);
    EXPECT_EQ(CShapeRecord::GetPartStart(Rec(b), 0), 0u);
    EXPECT_EQ(CShapeRecord::GetMinX(Rec(b)), -3.0);
    EXPECT_EQ(CShapeRecord::GetMinY(Rec(b)), -6.0);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(b)), 5.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(Rec(b)), 4.0);
    EXPECT_EQ(GetShapeRecordIndex(Rec(b)), 8);
}

TEST(ShapePointCreator, WritesPointRecords) {
    Bytes p(28, 0xAA);
    ASSERT_TRUE(CShapePointCreator(5).CreatePoint(p.data(), 1.25, -2.5));
    EXPECT_EQ(ReadBE32(p.data()), 5u);
    EXPECT_EQ(ReadBE32(p.data() + 4), 20u);
    EXPECT_EQ(CShapeRecord::GetShapeType(Rec(p)), SHT_Point);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(p), 0), (CShapePoint{1.25, -2.5}));

    Bytes pz(44, 0);
    WriteLEDouble(pz.data() + 36, 77.0);
    ASSERT_TRUE(CShapePointZCreator(6).CreatePoint(pz.data(), 1, 2, 3));
    EXPECT_EQ(ReadBE32(pz.data() + 4), 36u);
    EXPECT_EQ(CShapeRecord::GetShapeType(Rec(pz)), SHT_PointZ);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(pz), 0), 3.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(pz), 0), 77.0) << "m is left as the buffer held it";

    EXPECT_FALSE(CShapePointCreator().CreatePoint(nullptr, 0, 0));
    EXPECT_FALSE(CShapePointZCreator().CreatePoint(nullptr, 0, 0, 0));
}
