#include "shapes/ShapeRecord.h"

#include "platform/ByteOrder.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

using namespace corvale;

namespace {

const Parts kSquareWithHole = {
    {{0, 0, 1, 10}, {0, 10, 2, 20}, {10, 10, 3, 30}, {10, 0, 4, 40}, {0, 0, 1, 10}},
    {{2, 2, 5, 50}, {4, 2, 6, 60}, {4, 4, 7, 70}, {2, 2, 5, 50}},
};

// A record of a type the program does not handle: only the type word matters.
Bytes TypeOnly(std::uint32_t type, std::size_t size = 60) {
    Bytes b(size, 0);
    WriteLE32(b.data() + 8, type);
    return b;
}

} // namespace

TEST(ShapeRecord, SizesAndCountsByType) {
    struct Case {
        const char* name;
        Bytes record;
        std::size_t size;
        std::uint32_t parts;
        std::uint32_t points;
    };
    const Case cases[] = {
        {"point", MakePoint(1, 2), 28, 1, 1},
        {"pointz", MakePointZ(1, 2, 3, 4), 44, 1, 1},
        {"polyline", MakeMulti(SHT_Polyline, kSquareWithHole), 52 + 8 + 16 * 9, 2, 9},
        {"polygon", MakeMulti(SHT_Polygon, kSquareWithHole), 52 + 8 + 16 * 9, 2, 9},
        {"polylinez", MakeMulti(SHT_PolylineZ, kSquareWithHole), 84 + 8 + 32 * 9, 2, 9},
        {"polygonz", MakeMulti(SHT_PolygonZ, kSquareWithHole), 84 + 8 + 32 * 9, 2, 9},
        {"null", TypeOnly(SHT_Null), 0, 0, 0},
        {"multipoint", TypeOnly(SHT_MultiPoint), 0, 0, 0},
        {"unknown", TypeOnly(31), 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CShapeRecord::GetSize(Rec(c.record)), c.size);
        EXPECT_EQ(CShapeRecord::GetPartCount(Rec(c.record)), c.parts);
        EXPECT_EQ(CShapeRecord::GetPointCount(Rec(c.record)), c.points);
        EXPECT_EQ(CShapeRecord::GetBodySize(Rec(c.record)), c.size ? c.size - 12 : 0);
        if (c.size) {
            EXPECT_EQ(c.record.size(), c.size) << "the builder's buffer size";
        }
    }
}

TEST(ShapeRecord, ReadAccessors) {
    const Bytes point = MakePoint(1.5, -2.5, 7);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(point), 0), (CShapePoint{1.5, -2.5}));
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(point), 99), (CShapePoint{1.5, -2.5}));
    EXPECT_EQ(CShapeRecord::GetMinX(Rec(point)), 1.5);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(point)), 1.5);
    EXPECT_EQ(CShapeRecord::GetMinY(Rec(point)), -2.5);
    EXPECT_EQ(CShapeRecord::GetMaxY(Rec(point)), -2.5);
    EXPECT_EQ(GetShapeRecordIndex(Rec(point)), 6);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(point), 0), 0.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(point), 0), 0.0);
    EXPECT_FALSE(CShapeRecord::GetZArray(Rec(point)));

    const Bytes pointz = MakePointZ(1, 2, 3, 4);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(pointz), 5), 3.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(pointz), 5), 4.0);

    const Bytes poly = MakeMulti(SHT_Polygon, kSquareWithHole);
    EXPECT_EQ(CShapeRecord::GetPartStart(Rec(poly), 0), 0u);
    EXPECT_EQ(CShapeRecord::GetPartStart(Rec(poly), 1), 5u);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(poly), 6), (CShapePoint{4, 2}));
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(poly), 9), (CShapePoint{0, 0})) << "beyond the points";
    EXPECT_EQ(CShapeRecord::GetMinX(Rec(poly)), 0.0);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(poly)), 10.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(Rec(poly)), 10.0);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(poly), 0), 0.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(poly), 0), 0.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(poly)), 0.0);
    EXPECT_FALSE(CShapeRecord::GetMArray(Rec(poly)));

    const Bytes polyz = MakeMulti(SHT_PolygonZ, kSquareWithHole);
    EXPECT_EQ(CShapeRecord::GetZMin(Rec(polyz)), 1.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(polyz)), 7.0);
    EXPECT_EQ(CShapeRecord::GetMMin(Rec(polyz)), 10.0);
    EXPECT_EQ(CShapeRecord::GetMMax(Rec(polyz)), 70.0);
    const CRecordDoubleArray zs = CShapeRecord::GetZArray(Rec(polyz));
    ASSERT_TRUE(zs);
    ASSERT_EQ(zs.size(), 9u);
    EXPECT_EQ(zs[6], 6.0);
    EXPECT_EQ(CShapeRecord::GetM(Rec(polyz), 6), 60.0);
    EXPECT_EQ(CShapeRecord::GetZ(Rec(polyz), 9), 0.0) << "beyond the points";
}

// A run of points read at once matches GetPoint point by point, and stops
// where the record's points end.
TEST(ShapeRecord, GetPointsCopiesARunOfPoints) {
    const Bytes poly = MakeMulti(SHT_PolygonZ, kSquareWithHole);
    const Bytes point = MakePoint(1.5, -2.5);
    const struct {
        const Bytes* record;
        std::uint32_t first;
        std::uint32_t count;
        std::uint32_t copied;
    } cases[] = {
        {&poly, 0, 9, 9},  {&poly, 3, 4, 4}, {&poly, 6, 10, 3},
        {&poly, 9, 2, 0},  {&poly, 4, 0, 0}, {&point, 0, 1, 0},
    };
    for (const auto& c : cases) {
        std::vector<CShapePoint> out(c.count + 1, CShapePoint{-7, -7});
        ASSERT_EQ(CShapeRecord::GetPoints(Rec(*c.record), c.first, c.count, out.data()), c.copied)
            << "first " << c.first << " count " << c.count;
        for (std::uint32_t i = 0; i < c.copied; ++i)
            EXPECT_EQ(out[i], CShapeRecord::GetPoint(Rec(*c.record), c.first + i)) << "point " << c.first + i;
        EXPECT_EQ(out[c.copied], (CShapePoint{-7, -7})) << "nothing written past the points copied";
    }
}

TEST(ShapeRecord, RecordIndexIsBigEndianNumberMinusOne) {
    Bytes b = MakePoint(0, 0);
    SetShapeRecordIndex(Rec(b), 0x01020304 - 1);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[3], 0x04);
    EXPECT_EQ(GetShapeRecordIndex(Rec(b)), 0x01020304 - 1);
    std::uint32_t v = 0xAABBCCDD;
    SwapBytes32(v);
    EXPECT_EQ(v, 0xDDCCBBAAu);
}

TEST(ShapeRecord, SetPointKeepsRingsClosed) {
    struct Case {
        std::uint32_t index;
        std::vector<std::uint32_t> moved; // every index that must end up at (50, 60)
    };
    const Case cases[] = {
        {0, {0, 4}}, // first point of the outer ring moves its closing point
        {4, {4, 0}}, // and the other way round
        {2, {2}},    // a middle point moves alone
        {5, {5, 8}}, // first point of the hole
        {8, {8, 5}},
    };
    for (const Case& c : cases) {
        Bytes b = MakeMulti(SHT_Polygon, kSquareWithHole);
        const Bytes before = b;
        CShapeRecord::SetPoint(Rec(b), c.index, true, 50, 60);
        for (std::uint32_t i = 0; i < 9; ++i) {
            const bool moved = std::find(c.moved.begin(), c.moved.end(), i) != c.moved.end();
            const CShapePoint expected = moved ? CShapePoint{50, 60} : CShapeRecord::GetPoint(Rec(before), i);
            EXPECT_EQ(CShapeRecord::GetPoint(Rec(b), i), expected) << "edit " << c.index << " point " << i;
        }
        EXPECT_EQ(CShapeRecord::GetMaxX(Rec(b)), 50.0);
        EXPECT_EQ(CShapeRecord::GetMaxY(Rec(b)), 60.0);
    }
}

TEST(ShapeRecord, SetPointWithoutRecalcLeavesTheBox) {
    Bytes b = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}, {2, 0}}});
    CShapeRecord::SetPoint(Rec(b), 1, false, 100, 100);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(b)), 2.0);
    CShapeRecord::RecalcBounds(Rec(b));
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(b)), 100.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(Rec(b)), 100.0);
}

TEST(ShapeRecord, ZEditsSetZAndRecomputeAllRanges) {
    Bytes b = MakeMulti(SHT_PolygonZ, kSquareWithHole);
    CShapeRecord::SetPointZ(Rec(b), 0, -1, -2, -3);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(b), 4), (CShapePoint{-1, -2}));
    EXPECT_EQ(CShapeRecord::GetZ(Rec(b), 4), -3.0);
    EXPECT_EQ(CShapeRecord::GetZMin(Rec(b)), -3.0);
    EXPECT_EQ(CShapeRecord::GetMinX(Rec(b)), -1.0);

    Bytes line = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 5}, {1, 1, 2, 6}, {2, 2, 3, 7}}});
    CShapeRecord::SetPointZAt(Rec(line), 0, 9, 9, 99);
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(line), 2), (CShapePoint{2, 2})) << "part ends untouched";
    EXPECT_EQ(CShapeRecord::GetZ(Rec(line), 0), 99.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(line)), 99.0);
    EXPECT_EQ(CShapeRecord::GetMaxX(Rec(line)), 9.0);
    EXPECT_EQ(CShapeRecord::GetMMin(Rec(line)), 5.0);

    CShapeRecord::GetZPointer(Rec(line), 1).Set(-7);
    CShapeRecord::RecalcBoundsZ(Rec(line));
    EXPECT_EQ(CShapeRecord::GetZMin(Rec(line)), -7.0);
    EXPECT_FALSE(CShapeRecord::GetZPointer(Rec(line), 3));
}

TEST(ShapeRecord, CheckRefusesBytesThatDoNotHoldTheirRecord) {
    const Bytes good = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}}});
    auto with = [&](std::size_t offset, std::uint32_t value) {
        Bytes b = good;
        WriteLE32(b.data() + offset, value);
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t available;
        bool ok;
    };
    const Case cases[] = {
        {"whole record", good, good.size(), true},
        {"one byte short", good, good.size() - 1, false},
        {"shorter than the counts", good, 40, false},
        {"point count past the end", with(48, 0x10000000), good.size(), false},
        {"huge counts do not wrap", with(44, 0xFFFFFFFF), good.size(), false},
        {"more parts than points", with(44, 5), good.size() + 64, false},
        {"part start at the point count", with(56, 4), good.size(), false},
        {"decreasing part starts", with(52, 3), good.size(), false},
        {"multipoint", TypeOnly(SHT_MultiPoint), 60, false},
        {"type above 15", TypeOnly(256), 60, false},
        {"null record", TypeOnly(SHT_Null, 12), 12, true},
        {"point", MakePoint(1, 1), 28, true},
        {"truncated point", MakePoint(1, 1), 27, false},
        {"truncated pointz", MakePointZ(1, 1, 1, 1), 43, false},
        {"pointz without m", WithoutM(MakePointZ(1, 1, 1, 1)), 36, true},
        {"truncated pointz without m", WithoutM(MakePointZ(1, 1, 1, 1)), 35, false},
        {"polylinez without m", WithoutM(MakeMulti(SHT_PolylineZ, kSquareWithHole)), 68 + 8 + 24 * 9, true},
        {"polygonz without m, one byte short", WithoutM(MakeMulti(SHT_PolygonZ, kSquareWithHole)), 67 + 8 + 24 * 9,
         false},
        {"less than a header", good, 11, false},
    };
    for (const Case& c : cases) {
        std::size_t size = 0;
        EXPECT_EQ(CheckShapeRecordBytes(c.bytes.data(), c.available, size), c.ok) << c.name;
    }
}

// Other tools write Z records without the optional M block; the content
// length tells. Every size and M accessor must stay inside such a record
// (its buffer here is exactly as long, so AddressSanitizer sees any overrun).
TEST(ShapeRecord, ZRecordsWithoutM) {
    auto withLength = [](Bytes b, std::uint32_t words) {
        WriteBE32(b.data() + 4, words);
        return b;
    };
    const Bytes pointz = MakePointZ(1, 2, 3, 4);
    const Bytes polylinez = MakeMulti(SHT_PolylineZ, kSquareWithHole);
    const std::uint32_t fullWords = (84 + 8 + 32 * 9 - 8) / 2;
    const std::uint32_t zOnlyWords = (68 + 8 + 24 * 9 - 8) / 2;
    struct Case {
        const char* name;
        Bytes record;
        bool hasM;
        std::size_t size;
    };
    const Case cases[] = {
        {"pointz built here (content length in bytes)", pointz, true, 44},
        {"pointz read from a file with m", withLength(pointz, 18), true, 44},
        {"pointz without m", WithoutM(pointz), false, 36},
        {"pointz with no content length", withLength(pointz, 0), true, 44},
        {"polylinez built here", polylinez, true, 84 + 8 + 32 * 9},
        {"polylinez read from a file with m", withLength(polylinez, fullWords), true, 84 + 8 + 32 * 9},
        {"polylinez without m", WithoutM(polylinez), false, 68 + 8 + 24 * 9},
        {"polylinez whose length stops inside the m block", withLength(polylinez, fullWords - 1), false,
         68 + 8 + 24 * 9},
        {"polylinez with no content length", withLength(polylinez, 0), true, 84 + 8 + 32 * 9},
        {"polygonz without m", WithoutM(MakeMulti(SHT_PolygonZ, kSquareWithHole)), false, 68 + 8 + 24 * 9},
        {"plain polyline", withLength(MakeMulti(SHT_Polyline, kSquareWithHole), zOnlyWords), false,
         52 + 8 + 16 * 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b(c.record.begin(), c.record.begin() + static_cast<std::ptrdiff_t>(c.size));
        CShapeRecord* r = Rec(b);
        EXPECT_EQ(CShapeRecord::HasM(r), c.hasM);
        EXPECT_EQ(CShapeRecord::GetSize(r), c.size);
        std::size_t checked = 0;
        ASSERT_TRUE(CheckShapeRecordBytes(b.data(), b.size(), checked));
        EXPECT_EQ(checked, c.size);
        if (c.hasM)
            continue;
        EXPECT_FALSE(CShapeRecord::GetMArray(r));
        EXPECT_EQ(CShapeRecord::GetMArray(r).size(), 0u);
        EXPECT_FALSE(CShapeRecord::GetMMinPointer(r));
        EXPECT_FALSE(CShapeRecord::GetMMaxPointer(r));
        EXPECT_EQ(CShapeRecord::GetMMin(r), 0.0);
        EXPECT_EQ(CShapeRecord::GetMMax(r), 0.0);
        EXPECT_EQ(CShapeRecord::GetM(r, 0), 0.0);
        if (CShapeRecord::GetShapeType(r) == SHT_Polyline)
            continue;
        EXPECT_EQ(CShapeRecord::GetZ(r, 0), CShapeRecord::GetZ(Rec(c.record), 0)) << "z is still read";
        if (CShapeRecord::GetShapeType(r) == SHT_PointZ)
            continue;
        // Edits keep to the Z block.
        CShapeRecord::SetPointZ(r, 1, 0, 12, 42);
        CShapeRecord::SetPointZAt(r, 2, 11, 10, -1);
        EXPECT_EQ(CShapeRecord::GetZMax(r), 42.0);
        EXPECT_EQ(CShapeRecord::GetZMin(r), -1.0);
        EXPECT_EQ(CShapeRecord::GetMaxY(r), 12.0);
        EXPECT_EQ(CShapeRecord::GetZArray(r).size(), 9u);
    }
}
