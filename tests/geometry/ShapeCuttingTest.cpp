// Expected values of the splits: tests/data/geometry/peer_line_splits.inc and
// peer_polygon_splits.inc, made by make_shape_edit_cases.py from shapely
// (GEOS); the rows where the program differs on purpose are listed there.

#include "geometry/ShapeCutting.h"

#include "ShapeTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct LineSplitCase {
    const char* name;
    Parts parts;
    double cut[4];
    Parts expected;
    Parts peer;
};

const LineSplitCase kLineSplits[] = {
#include "data/geometry/peer_line_splits.inc"
};

struct PolygonSplitCase {
    const char* name;
    Parts rings;
    double cut[4];
    std::vector<double> expected;
    std::vector<double> peer;
};

const PolygonSplitCase kPolygonSplits[] = {
#include "data/geometry/peer_polygon_splits.inc"
};

const Parts kSquare = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}};

// Every part of every record, in order.
Parts AllParts(const CShapeRecordVector& records) {
    Parts all;
    for (const CShapeRecord* record : records)
        for (const auto& part : PartsOf(record))
            all.push_back(part);
    return all;
}

} // namespace

TEST(SegmentIntersectionPoint, BothEndsIncludedParallelNever) {
    const struct {
        const char* name;
        double s[4];
        double t[4];
        bool meets;
        CShapePoint point;
    } cases[] = {
        {"crossing", {0, 0, 10, 10}, {0, 10, 10, 0}, true, {5, 5}},
        {"end on the other's middle", {5, 0, 5, 5}, {0, 0, 10, 0}, true, {5, 0}},
        {"ends meeting", {0, 0, 5, 5}, {5, 5, 10, 0}, true, {5, 5}},
        {"lines cross beyond the segment", {0, 0, 1, 1}, {3, 0, 0, 3}, false, {}},
        {"parallel", {0, 0, 10, 0}, {0, 1, 10, 1}, false, {}},
        {"collinear overlapping", {0, 0, 10, 0}, {5, 0, 15, 0}, false, {}},
        {"zero-length segment", {5, 0, 5, 0}, {0, 0, 10, 0}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CShapePoint point{-1, -1};
        EXPECT_EQ(SegmentIntersectionPoint(c.s, c.t, point), c.meets);
        EXPECT_EQ(point, c.meets ? c.point : (CShapePoint{-1, -1}));
    }
}

TEST(InsertCrossingVertices, AVertexAtEveryCrossing) {
    const double across[4] = {4, -5, 4, 15};
    const struct {
        const char* name;
        std::uint32_t type;
        Parts parts;
        double cut[4];
        Parts expected; // empty: no record
    } cases[] = {
        {"line crossed once", SHT_Polyline, {{{0, 0}, {10, 0}}}, {5, -5, 5, 5}, {{{0, 0}, {5, 0}, {10, 0}}}},
        {"square crossed through two sides, the closing one included",
         SHT_Polygon,
         kSquare,
         {across[0], across[1], across[2], across[3]},
         {{{0, 0}, {0, 10}, {4, 10}, {10, 10}, {10, 0}, {4, 0}, {0, 0}}}},
        {"second part only", SHT_Polyline, {{{0, 0}, {1, 0}}, {{0, 5}, {10, 5}}}, {5, 4, 5, 6},
         {{{0, 0}, {1, 0}}, {{0, 5}, {5, 5}, {10, 5}}}},
        {"cut through a vertex: it is there three times",
         SHT_Polyline,
         {{{0, 0}, {5, 5}, {10, 0}}},
         {5, 0, 5, 10},
         {{{0, 0}, {5, 5}, {5, 5}, {5, 5}, {10, 0}}}},
        {"missed", SHT_Polyline, {{{0, 0}, {10, 0}}}, {5, 1, 5, 5}, {}},
        {"parallel and overlapping", SHT_Polyline, {{{0, 0}, {10, 0}}}, {2, 0, 8, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes b = MakeMulti(c.type, c.parts, 12);
        const OwnedRecord record(InsertCrossingVertices(Rec(b), c.cut));
        if (c.expected.empty()) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), c.type);
        EXPECT_EQ(GetShapeRecordIndex(record.get()), 11);
        EXPECT_TRUE(SameXY(PartsOf(record.get()), c.expected)) << Text(PartsOf(record.get()));
    }
    // Z: the source vertices keep theirs, the new one gets 0.0; M is 0.0.
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 10, 3}, {10, 0, 20, 3}}});
    const double cut[4] = {5, -5, 5, 5};
    const OwnedRecord record(InsertCrossingVertices(Rec(lineZ), cut));
    ASSERT_TRUE(IsWellFormed(record.get()));
    const Parts got = PartsOf(record.get());
    ASSERT_EQ(got[0].size(), 3u);
    EXPECT_EQ(got[0][0].z, 10.0);
    EXPECT_EQ(got[0][1].z, 0.0);
    EXPECT_EQ(got[0][2].z, 20.0);
    for (const Pt& p : got[0])
        EXPECT_EQ(p.m, 0.0);
}

TEST(SplitShapeAlongSegment, LinesMatchThePeer) {
    for (const LineSplitCase& c : kLineSplits) {
        SCOPED_TRACE(c.name);
        const Bytes b = MakeMulti(SHT_Polyline, c.parts, 3);
        OwnedRecords out;
        const bool divided = c.expected.size() != c.parts.size();
        ASSERT_EQ(SplitShapeAlongSegment(Rec(b), c.cut, out.records), divided);
        if (!divided) {
            EXPECT_TRUE(out.records.empty());
            continue;
        }
        for (const CShapeRecord* record : out.records) {
            EXPECT_TRUE(IsWellFormed(record));
            EXPECT_EQ(CShapeRecord::GetShapeType(record), SHT_Polyline);
            EXPECT_EQ(GetShapeRecordIndex(record), 2);
        }
        EXPECT_TRUE(SameXY(AllParts(out.records), c.expected, 1e-9)) << Text(AllParts(out.records));
    }
}

TEST(SplitShapeAlongSegment, LaterPartsStayWithThePieceBeingBuilt) {
    const Bytes b = MakeMulti(SHT_Polyline, {{{0, 0}, {10, 0}}, {{0, 5}, {10, 5}}});
    const double cut[4] = {3, -1, 3, 1};
    OwnedRecords out;
    ASSERT_TRUE(SplitShapeAlongSegment(Rec(b), cut, out.records));
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_TRUE(SameXY(PartsOf(out.records[0]), {{{0, 0}, {3, 0}}}));
    EXPECT_TRUE(SameXY(PartsOf(out.records[1]), {{{3, 0}, {10, 0}}, {{0, 5}, {10, 5}}}));

    // Z: each source vertex keeps its Z, the crossing gets 0.0, M is 0.0.
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 10, 3}, {10, 0, 20, 3}}});
    const double across[4] = {5, -5, 5, 5};
    OwnedRecords outZ;
    ASSERT_TRUE(SplitShapeAlongSegment(Rec(lineZ), across, outZ.records));
    ASSERT_EQ(outZ.records.size(), 2u);
    const Parts first = PartsOf(outZ.records[0]);
    const Parts second = PartsOf(outZ.records[1]);
    EXPECT_EQ(CShapeRecord::GetShapeType(outZ.records[1]), SHT_PolylineZ);
    EXPECT_EQ(first[0][0].z, 10.0);
    EXPECT_EQ(first[0][1].z, 0.0);
    EXPECT_EQ(second[0][0].z, 0.0);
    EXPECT_EQ(second[0][1].z, 20.0);
    for (const auto* part : {&first[0], &second[0]})
        for (const Pt& p : *part)
            EXPECT_EQ(p.m, 0.0);
}

TEST(SplitShapeAlongSegment, SquareThroughOppositeSides) {
    const Bytes b = MakeMulti(SHT_Polygon, kSquare, 4);
    const double cut[4] = {4, -5, 4, 15};
    OwnedRecords out;
    ASSERT_TRUE(SplitShapeAlongSegment(Rec(b), cut, out.records));
    ASSERT_EQ(out.records.size(), 2u);
    // The ring's start to the first crossing, along the cut, the last
    // crossing back to the start; then the stretch between the crossings.
    EXPECT_TRUE(SameXY(PartsOf(out.records[0]), {{{0, 0}, {0, 10}, {4, 10}, {4, 0}, {0, 0}}}))
        << Text(PartsOf(out.records[0]));
    EXPECT_TRUE(SameXY(PartsOf(out.records[1]), {{{4, 10}, {10, 10}, {10, 0}, {4, 0}, {4, 10}}}))
        << Text(PartsOf(out.records[1]));
}

TEST(SplitShapeAlongSegment, PolygonsMatchThePeersAreas) {
    for (const PolygonSplitCase& c : kPolygonSplits) {
        SCOPED_TRACE(c.name);
        const Bytes b = MakeMulti(SHT_PolygonZ, c.rings, 8);
        OwnedRecords out;
        out.records.push_back(nullptr); // emptied first
        ASSERT_EQ(SplitShapeAlongSegment(Rec(b), c.cut, out.records), !c.expected.empty());
        std::vector<double> areas;
        for (const CShapeRecord* record : out.records) {
            EXPECT_TRUE(IsWellFormed(record));
            EXPECT_EQ(CShapeRecord::GetShapeType(record), SHT_PolygonZ);
            EXPECT_EQ(GetShapeRecordIndex(record), 7);
            const Parts rings = PartsOf(record);
            for (const auto& ring : rings) {
                EXPECT_GE(ring.size(), 4u);
                EXPECT_EQ(ring.front().x, ring.back().x);
                EXPECT_EQ(ring.front().y, ring.back().y);
            }
            areas.push_back(std::abs(SignedArea(rings)));
        }
        std::sort(areas.begin(), areas.end());
        ASSERT_EQ(areas.size(), c.expected.size());
        for (std::size_t k = 0; k < areas.size(); ++k)
            EXPECT_NEAR(areas[k], c.expected[k], 1e-9);
    }
}

TEST(SplitShapeAlongSegment, AHoleGoesWithThePieceThatHoldsIt) {
    const Parts rings = {kSquare[0], {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}};
    const Bytes b = MakeMulti(SHT_Polygon, rings);
    const double cut[4] = {1, -1, 1, 11};
    OwnedRecords out;
    ASSERT_TRUE(SplitShapeAlongSegment(Rec(b), cut, out.records));
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(CShapeRecord::GetPartCount(out.records[0]), 1u);
    ASSERT_EQ(CShapeRecord::GetPartCount(out.records[1]), 2u);
    EXPECT_TRUE(SameXY({PartsOf(out.records[1])[1]}, {rings[1]}));
}

TEST(SplitShapeAlongSegment, RefusalsLeaveTheVectorEmpty) {
    const Bytes square = MakeMulti(SHT_Polygon, kSquare);
    const Bytes openRing = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}}});
    const Bytes point = MakePoint(5, 5);
    const struct {
        const char* name;
        const Bytes* record;
        double cut[4];
    } cases[] = {
        {"odd number of crossings: the cut ends inside", &square, {5, -5, 5, 5}},
        {"ends inside twice", &square, {2, 5, 8, 5}},
        {"cut ring not closed", &openRing, {5, -5, 5, 15}},
        {"a point record", &point, {5, 0, 5, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CShapeRecordVector out;
        EXPECT_FALSE(SplitShapeAlongSegment(Rec(*c.record), c.cut, out));
        EXPECT_TRUE(out.empty());
    }
}

TEST(SplitPolylineAtVertex, DividesThePartsWhereTheVertexLies) {
    const Parts two = {{{0, 0}, {1, 0}, {2, 0}}, {{5, 5}, {6, 5}}};
    const struct {
        const char* name;
        Parts parts;
        CShapePoint vertex;
        Parts first; // empty: refused
        Parts second;
    } cases[] = {
        {"inside a one-part line", {{{0, 0}, {1, 1}, {2, 0}}}, {1, 1}, {{{0, 0}, {1, 1}}}, {{{1, 1}, {2, 0}}}},
        {"inside the first of two parts", two, {1, 0}, {{{0, 0}, {1, 0}}}, {{{1, 0}, {2, 0}}, {{5, 5}, {6, 5}}}},
        {"end of a part that is not the last", two, {2, 0}, {{{0, 0}, {1, 0}, {2, 0}}}, {{{5, 5}, {6, 5}}}},
        {"start of a later part", two, {5, 5}, {{{0, 0}, {1, 0}, {2, 0}}}, {{{5, 5}, {6, 5}}}},
        {"first match in record order", {{{0, 0}, {3, 3}, {1, 0}, {3, 3}, {4, 4}}}, {3, 3},
         {{{0, 0}, {3, 3}}}, {{{3, 3}, {1, 0}, {3, 3}, {4, 4}}}},
        {"the record's last vertex", two, {6, 5}, {}, {}},
        {"the record's first vertex", two, {0, 0}, {}, {}},
        {"no such vertex", two, {1, 0.5}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes b = MakeMulti(SHT_Polyline, c.parts, 6);
        OwnedRecords out;
        ASSERT_EQ(SplitPolylineAtVertex(Rec(b), c.vertex, out.records), !c.first.empty());
        if (c.first.empty()) {
            EXPECT_TRUE(out.records.empty());
            continue;
        }
        ASSERT_EQ(out.records.size(), 2u);
        for (const CShapeRecord* record : out.records) {
            EXPECT_TRUE(IsWellFormed(record));
            EXPECT_EQ(GetShapeRecordIndex(record), 0);
        }
        EXPECT_TRUE(SameXY(PartsOf(out.records[0]), c.first)) << Text(PartsOf(out.records[0]));
        EXPECT_TRUE(SameXY(PartsOf(out.records[1]), c.second)) << Text(PartsOf(out.records[1]));
    }
    // Z and M stay with their vertices; polygons are not split here.
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 2}, {1, 1, 3, 4}, {2, 0, 5, 6}}});
    OwnedRecords out;
    ASSERT_TRUE(SplitPolylineAtVertex(Rec(lineZ), {1, 1}, out.records));
    EXPECT_EQ(PartsOf(out.records[0])[0][1].m, 4.0);
    EXPECT_EQ(PartsOf(out.records[1])[0][0].z, 3.0);
    EXPECT_EQ(PartsOf(out.records[1])[0][1].m, 6.0);
    const Bytes square = MakeMulti(SHT_Polygon, kSquare);
    CShapeRecordVector none;
    EXPECT_FALSE(SplitPolylineAtVertex(Rec(square), {0, 10}, none));
}
