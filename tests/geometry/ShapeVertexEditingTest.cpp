#include "geometry/ShapeVertexEditing.h"

#include "ShapeTestSupport.h"

#include <gtest/gtest.h>

namespace {

const Pt A{0, 0}, B{0, 4}, C{4, 4}, D{4, 0};

} // namespace

TEST(PartAccess, CountsPointsAndBoundsOfOnePart) {
    const Bytes point = MakePoint(3, 4);
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {2, -1}, {1, 5}}, {{7, 7}, {8, 9}}});
    EXPECT_EQ(GetPartPointCount(Rec(point), 0), 1u);
    EXPECT_EQ(GetPartPointCount(Rec(point), 1), 0u);
    EXPECT_EQ(GetPartPointCount(Rec(line), 0), 3u);
    EXPECT_EQ(GetPartPointCount(Rec(line), 1), 2u);
    EXPECT_EQ(GetPartPointCount(Rec(line), 2), 0u);

    CShapePointList points = {{9, 9}};
    ASSERT_TRUE(GetShapePartPoints(Rec(line), 1, points));
    EXPECT_EQ(points, (CShapePointList{{7, 7}, {8, 9}}));
    EXPECT_FALSE(GetShapePartPoints(Rec(line), 2, points));
    EXPECT_TRUE(points.empty());
    ASSERT_TRUE(GetShapePartPoints(Rec(point), 0, points));
    EXPECT_EQ(points, (CShapePointList{{3, 4}}));

    CDoubleRect rect;
    ASSERT_TRUE(GetShapePartBounds(Rec(line), 0, rect));
    EXPECT_EQ(rect.x1, 0.0);
    EXPECT_EQ(rect.y1, -1.0);
    EXPECT_EQ(rect.x2, 2.0);
    EXPECT_EQ(rect.y2, 5.0);
    ASSERT_TRUE(GetShapePartBounds(Rec(point), 0, rect));
    EXPECT_EQ(rect.x1, 3.0);
    EXPECT_EQ(rect.y2, 4.0);
    EXPECT_FALSE(GetShapePartBounds(Rec(line), 5, rect));
}

TEST(DeleteShapeVertex, RewritesCountsFromWhatIsWritten) {
    const struct {
        const char* name;
        std::uint32_t type;
        Parts parts;
        std::uint32_t v;
        Parts expected; // empty: refused, nothing changed
    } cases[] = {
        {"line vertex", SHT_Polyline, {{A, B, C}, {D, A}}, 1, {{A, C}, {D, A}}},
        {"vertex of the second part", SHT_Polyline, {{A, B, C}, {D, A, B}}, 4, {{A, B, C}, {D, B}}},
        {"the one point of a part: the part goes", SHT_Polyline, {{A}, {B, C}}, 0, {{B, C}}},
        {"ring vertex", SHT_Polygon, {{A, B, C, D, A}}, 1, {{A, C, D, A}}},
        {"ring's first vertex: it starts and closes at the second", SHT_Polygon, {{A, B, C, D, A}}, 0, {{B, C, D, B}}},
        {"second ring", SHT_Polygon, {{A, B, C, D, A}, {{1, 1}, {2, 1}, {2, 2}, {1, 1}}}, 6,
         {{A, B, C, D, A}, {{1, 1}, {2, 2}, {1, 1}}}},
        {"ring left with one point goes", SHT_Polygon, {{A, B, C, D, A}, {{1, 1}, {1, 1}}}, 5, {{A, B, C, D, A}}},
        {"closing vertex of a ring", SHT_Polygon, {{A, B, C, D, A}}, 4, {}},
        {"closing vertex of the first ring", SHT_Polygon, {{A, B, C, A}, {A, B, C, A}}, 3, {}},
        {"beyond the points", SHT_Polyline, {{A, B}}, 2, {}},
        {"the last point", SHT_Polyline, {{A}}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = MakeMulti(c.type, c.parts, 21);
        const Bytes before = b;
        ASSERT_EQ(DeleteShapeVertex(Rec(b), c.v), !c.expected.empty());
        if (c.expected.empty()) {
            EXPECT_EQ(b, before);
            continue;
        }
        EXPECT_TRUE(IsWellFormed(Rec(b)));
        EXPECT_EQ(GetShapeRecordIndex(Rec(b)), 20);
        EXPECT_TRUE(SameXY(PartsOf(Rec(b)), c.expected)) << Text(PartsOf(Rec(b)));
    }
    // Z and M stay with the remaining vertices; the ring closes with its
    // new first vertex's values.
    Bytes ringZ = MakeMulti(SHT_PolygonZ, {{{0, 0, 1, 2}, {0, 4, 3, 4}, {4, 4, 5, 6}, {4, 0, 7, 8}, {0, 0, 1, 2}}});
    ASSERT_TRUE(DeleteShapeVertex(Rec(ringZ), 0));
    EXPECT_TRUE(IsWellFormed(Rec(ringZ)));
    const Parts got = PartsOf(Rec(ringZ));
    ASSERT_EQ(got[0].size(), 4u);
    EXPECT_EQ(got[0][1].z, 5.0);
    EXPECT_EQ(got[0][1].m, 6.0);
    EXPECT_EQ(got[0][3].z, 3.0);
    EXPECT_EQ(got[0][3].m, 4.0);
    Bytes point = MakePoint(1, 1);
    EXPECT_FALSE(DeleteShapeVertex(Rec(point), 0));
}

TEST(DeleteShapePart, RemovesOnePartKeepsTheRest) {
    Bytes b = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 1}, {1, 1, 2, 2}}, {{5, 5, 3, 3}, {6, 6, 4, 4}}}, 3);
    const Bytes before = b;
    EXPECT_FALSE(DeleteShapePart(Rec(b), 2));
    EXPECT_EQ(b, before);
    ASSERT_TRUE(DeleteShapePart(Rec(b), 0));
    EXPECT_TRUE(IsWellFormed(Rec(b)));
    EXPECT_EQ(GetShapeRecordIndex(Rec(b)), 2);
    const Parts got = PartsOf(Rec(b));
    EXPECT_TRUE(SameXY(got, {{{5, 5}, {6, 6}}}));
    EXPECT_EQ(got[0][1].z, 4.0);
    EXPECT_EQ(got[0][1].m, 4.0);
    // The only part is not deleted: the shape itself would be.
    const Bytes single = b;
    EXPECT_FALSE(DeleteShapePart(Rec(b), 0));
    EXPECT_EQ(b, single);
}

TEST(RemoveDegenerateParts, DropsPartsTooShortToDraw) {
    const struct {
        const char* name;
        std::uint32_t type;
        Parts parts;
        bool removed;
        Parts expected;
    } cases[] = {
        {"rings of 5, 3 and 4 points", SHT_Polygon, {{A, B, C, D, A}, {A, B, A}, {A, B, C, A}}, true,
         {{A, B, C, D, A}, {A, B, C, A}}},
        {"two short rings in a row", SHT_Polygon, {{A, B, A}, {A, C, A}, {A, B, C, A}}, true, {{A, B, C, A}}},
        {"one-point line parts", SHT_Polyline, {{A}, {B, C}, {D}}, true, {{B, C}}},
        {"an empty part", SHT_Polyline, {{A, B}, {}, {C, D}}, true, {{A, B}, {C, D}}},
        {"nothing short", SHT_Polyline, {{A, B}, {C, D}}, false, {{A, B}, {C, D}}},
        {"all short: the last stays", SHT_Polygon, {{A, B, A}, {A, C, A}}, true, {{A, C, A}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = MakeMulti(c.type, c.parts);
        EXPECT_EQ(RemoveDegenerateParts(Rec(b)), c.removed);
        EXPECT_TRUE(IsWellFormed(Rec(b)));
        EXPECT_TRUE(SameXY(PartsOf(Rec(b)), c.expected)) << Text(PartsOf(Rec(b)));
    }
}

TEST(ReverseShapePart, ReversesVerticesZAndMButNotTheBox) {
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 5}, {2, 1}}});
    const CDoubleRect box = GetShapeBox(Rec(line));
    ASSERT_TRUE(ReverseShapePart(Rec(line), 0));
    EXPECT_TRUE(SameXY(PartsOf(Rec(line)), {{{2, 1}, {1, 5}, {0, 0}}}));
    EXPECT_EQ(GetShapeBox(Rec(line)).x2, box.x2);
    EXPECT_EQ(GetShapeBox(Rec(line)).y2, box.y2);
    EXPECT_FALSE(ReverseShapePart(Rec(line), 1));

    Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 2}, {1, 1, 3, 4}}, {{5, 5, 5, 6}, {6, 6, 7, 8}, {7, 7, 9, 10}}});
    ASSERT_TRUE(ReverseShapeParts(Rec(lineZ)));
    const Parts got = PartsOf(Rec(lineZ));
    const Parts expected = {{{1, 1, 3, 4}, {0, 0, 1, 2}}, {{7, 7, 9, 10}, {6, 6, 7, 8}, {5, 5, 5, 6}}};
    ASSERT_TRUE(SameXY(got, expected));
    for (std::size_t j = 0; j < got.size(); ++j)
        for (std::size_t i = 0; i < got[j].size(); ++i) {
            EXPECT_EQ(got[j][i].z, expected[j][i].z);
            EXPECT_EQ(got[j][i].m, expected[j][i].m);
        }

    Bytes point = MakePoint(1, 2);
    EXPECT_TRUE(ReverseShapePart(Rec(point), 0));
    EXPECT_TRUE(ReverseShapeParts(Rec(point)));
    EXPECT_EQ(point, MakePoint(1, 2));
}

TEST(RemoveDuplicateVertices, DropsRepeatsAndCountsThem) {
    const struct {
        const char* name;
        std::uint32_t type;
        Parts parts;
        int removed;
        Parts expected; // empty: no record
    } cases[] = {
        {"line A B B C", SHT_Polyline, {{A, B, B, C}}, 1, {{A, B, C}}},
        {"ring A B C C A", SHT_Polygon, {{A, B, C, C, A}}, 1, {{A, B, C, A}}},
        {"ring A B C A A keeps its closing vertex", SHT_Polygon, {{A, B, C, A, A}}, 1, {{A, B, C, A}}},
        {"repeats in two parts, none across them", SHT_Polyline, {{A, A, B}, {B, C, C, C}}, 3, {{A, B}, {B, C}}},
        {"nothing repeated", SHT_Polyline, {{A, B, A, B}}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes b = MakeMulti(c.type, c.parts, 4);
        int removed = -1;
        const OwnedRecord record(RemoveDuplicateVertices(Rec(b), removed));
        EXPECT_EQ(removed, c.removed);
        if (c.expected.empty()) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), c.type);
        EXPECT_EQ(GetShapeRecordIndex(record.get()), 3);
        EXPECT_TRUE(SameXY(PartsOf(record.get()), c.expected)) << Text(PartsOf(record.get()));
    }
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 7}, {0, 0, 2, 7}, {1, 1, 3, 7}}});
    int removed = 0;
    const OwnedRecord record(RemoveDuplicateVertices(Rec(lineZ), removed));
    ASSERT_NE(record, nullptr);
    const Parts got = PartsOf(record.get());
    EXPECT_EQ(got[0][0].z, 1.0);
    EXPECT_EQ(got[0][1].z, 3.0);
    EXPECT_EQ(got[0][1].m, 0.0);
}
