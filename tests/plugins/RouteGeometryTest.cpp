// Moving a route's end point, on vertex lists worked out by hand: cutting a
// polyline back from either end, extending another by the cut piece, the
// clean-up of repeated vertices and loops, the segment two polylines share,
// the hot box of a mark, and records that keep their shape type and heights.

#include "RouteGeometry.h"

#include "shapes/ShapeRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pathrill::RouteVertex;
using pathrill::RouteVertices;

RouteVertices Line(std::initializer_list<std::pair<double, double>> points) {
    RouteVertices line;
    for (const auto& [x, y] : points)
        line.push_back({x, y, 0.0, 0.0});
    return line;
}

std::string Text(const RouteVertices& line) {
    std::string text;
    for (const RouteVertex& v : line)
        text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(v.x)) + "," +
                std::to_string(static_cast<int>(v.y));
    return text;
}

struct TrimCase {
    const char* name;
    RouteVertices line;
    double qx, qy; // the cut point, on the line
    double ex, ey; // the end being moved
    const char* trimmed;
    const char* piece; // from e to q
};

TEST(RouteGeometry, TrimAtPointCutsFromTheMovedEnd) {
    const RouteVertices l = Line({{0, 0}, {10, 0}, {10, 10}, {20, 10}});
    const TrimCase cases[] = {
        {"first vertex, cut in the first segment", l, 4, 0, 0, 0, "4,0 10,0 10,10 20,10", "0,0 4,0"},
        {"first vertex, cut in the second segment", l, 10, 5, 0, 0, "10,5 10,10 20,10", "0,0 10,0 10,5"},
        {"first vertex, cut on a vertex: the first box that holds it", l, 10, 0, 0, 0, "10,0 10,10 20,10",
         "0,0 10,0"},
        {"last vertex, cut in the last segment", l, 15, 10, 20, 10, "0,0 10,0 10,10 15,10", "20,10 15,10"},
        {"last vertex, cut in the first segment", l, 6, 0, 20, 10, "0,0 6,0", "20,10 10,10 10,0 6,0"},
        {"an end that is neither vertex counts as the last", l, 6, 0, 99, 99, "0,0 6,0", "20,10 10,10 10,0 6,0"},
    };
    for (const TrimCase& c : cases) {
        RouteVertices trimmed, piece;
        ASSERT_TRUE(pathrill::TrimAtPoint(c.line, c.qx, c.qy, c.ex, c.ey, trimmed, piece)) << c.name;
        EXPECT_EQ(Text(trimmed), c.trimmed) << c.name;
        EXPECT_EQ(Text(piece), c.piece) << c.name;
    }
}

TEST(RouteGeometry, TrimAtPointOffTheLineChangesNothing) {
    const RouteVertices l = Line({{0, 0}, {10, 0}});
    RouteVertices trimmed = Line({{1, 1}}), piece = Line({{2, 2}});
    EXPECT_FALSE(pathrill::TrimAtPoint(l, 5, 3, 0, 0, trimmed, piece));
    EXPECT_EQ(Text(trimmed), "1,1");
    EXPECT_EQ(Text(piece), "2,2");
    // Fewer than two vertices have no segment at all.
    EXPECT_FALSE(pathrill::TrimAtPoint(Line({{5, 0}}), 5, 0, 5, 0, trimmed, piece));
}

TEST(RouteGeometry, TrimAtPointCarriesHeights) {
    RouteVertices l = {{0, 0, 100, 1}, {10, 0, 200, 2}, {10, 10, 300, 3}};
    RouteVertices trimmed, piece;
    ASSERT_TRUE(pathrill::TrimAtPoint(l, 10, 5, 10, 10, trimmed, piece));
    ASSERT_EQ(trimmed.size(), 3u);
    EXPECT_DOUBLE_EQ(trimmed[2].z, 250.0);
    EXPECT_DOUBLE_EQ(trimmed[2].m, 2.5);
    EXPECT_DOUBLE_EQ(trimmed[1].z, 200.0);
    ASSERT_EQ(piece.size(), 2u);
    EXPECT_DOUBLE_EQ(piece[0].z, 300.0);
    EXPECT_DOUBLE_EQ(piece[1].z, 250.0);
}

struct ExtendCase {
    const char* name;
    RouteVertices line;
    double ex, ey;
    RouteVertices piece; // from e to q
    const char* extended;
};

TEST(RouteGeometry, ExtendByPieceReachesTheNewEnd) {
    const ExtendCase cases[] = {
        {"at the last vertex", Line({{0, 0}, {10, 0}}), 10, 0, Line({{10, 0}, {10, 5}}), "0,0 10,0 10,5"},
        {"at the first vertex", Line({{10, 0}, {20, 0}}), 10, 0, Line({{10, 0}, {5, 0}, {5, 5}}),
         "5,5 5,0 10,0 20,0"},
        {"back along itself: the repeated vertex goes", Line({{0, 0}, {10, 0}, {10, 10}}), 10, 10,
         Line({{10, 10}, {10, 0}, {5, 0}}), "0,0 10,0 5,0"},
        {"an empty piece leaves the line", Line({{0, 0}, {10, 0}}), 10, 0, RouteVertices{}, "0,0 10,0"},
    };
    for (const ExtendCase& c : cases)
        EXPECT_EQ(Text(pathrill::ExtendByPiece(c.line, c.ex, c.ey, c.piece)), c.extended) << c.name;
}

TEST(RouteGeometry, CleaningAndLoopRemoval) {
    struct Case {
        const char* name;
        RouteVertices line;
        const char* cleaned;
        const char* withoutLoops;
    };
    const Case cases[] = {
        {"repeats collapse", Line({{0, 0}, {0, 0}, {1, 0}, {1, 0}, {1, 0}, {2, 0}}), "0,0 1,0 2,0", "0,0 1,0 2,0"},
        {"a loop through an inner vertex", Line({{0, 0}, {1, 0}, {1, 1}, {2, 1}, {1, 0}, {3, 0}}),
         "0,0 1,0 1,1 2,1 1,0 3,0", "0,0 1,0 3,0"},
        {"the first vertex met again is no loop", Line({{0, 0}, {1, 0}, {1, 1}, {0, 0}}), "0,0 1,0 1,1 0,0",
         "0,0 1,0 1,1 0,0"},
        {"an inner vertex equal to the last", Line({{0, 0}, {5, 0}, {5, 5}, {5, 0}}), "0,0 5,0 5,5 5,0", "0,0 5,0"},
        {"two loops, one after the other", Line({{0, 0}, {1, 0}, {1, 1}, {1, 0}, {2, 0}, {2, 1}, {2, 0}, {3, 0}}),
         "0,0 1,0 1,1 1,0 2,0 2,1 2,0 3,0", "0,0 1,0 2,0 3,0"},
        {"two vertices stay", Line({{0, 0}, {1, 0}}), "0,0 1,0", "0,0 1,0"},
    };
    for (const Case& c : cases) {
        RouteVertices line = c.line;
        pathrill::CleanVertices(line);
        EXPECT_EQ(Text(line), c.cleaned) << c.name;
        pathrill::RemoveLoops(line);
        EXPECT_EQ(Text(line), c.withoutLoops) << c.name;
    }
}

TEST(RouteGeometry, SameSegmentAt) {
    const RouteVertices a = Line({{0, 0}, {10, 0}, {10, 10}});
    struct Case {
        const char* name;
        RouteVertices b;
        double x, y;
        bool same;
    };
    const Case cases[] = {
        {"same segment, same direction", Line({{0, 0}, {10, 0}}), 5, 0, true},
        {"same segment, the other way", Line({{10, 0}, {0, 0}, {0, -5}}), 5, 0, true},
        {"other segments", Line({{0, 0}, {5, 0}}), 3, 0, false},
        {"the point on neither", Line({{0, 0}, {10, 0}}), 5, 5, false},
        {"a polyline of one vertex has no segment", Line({{5, 0}}), 5, 0, false},
        {"the first box that holds the point decides", Line({{10, 0}, {10, 10}}), 10, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pathrill::SameSegmentAt(a, c.b, c.x, c.y), c.same) << c.name;
    EXPECT_EQ(pathrill::FindSegmentAt(a, 10, 0), 0);
    EXPECT_EQ(pathrill::FindSegmentAt(a, 10, 3), 1);
    EXPECT_EQ(pathrill::FindSegmentAt(Line({{1, 1}}), 1, 1), -1);
}

TEST(RouteGeometry, MarkHitBoxReachesFourLeftAndAboveTwoRightAndBelow) {
    struct Case {
        int dx, dy;
        bool hit;
    };
    const Case cases[] = {
        {0, 0, true},   {-4, 0, true},  {-5, 0, false}, {2, 0, true},  {3, 0, false},
        {0, -4, true},  {0, -5, false}, {0, 2, true},   {0, 3, false}, {-4, -4, true},
        {2, 2, true},   {-4, 3, false}, {3, -4, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pathrill::MarkHit(100, 50, 100 + c.dx, 50 + c.dy), c.hit) << c.dx << "," << c.dy;
}

TEST(RouteGeometry, RecordsKeepTheirTypeAndHeights) {
    const RouteVertices line = {{0, 0, 5, 7}, {10, 0, 6, 8}, {10, 10, 9, 9}};
    for (std::uint32_t type : {std::uint32_t(SHT_Polyline), std::uint32_t(SHT_PolylineZ)}) {
        const std::vector<unsigned char> record = pathrill::BuildPolylineRecord(line, type);
        const auto* shape = CShapeRecord::FromBytes(record.data());
        EXPECT_EQ(CShapeRecord::GetShapeType(shape), type);
        EXPECT_EQ(CShapeRecord::GetPartCount(shape), 1u);
        EXPECT_DOUBLE_EQ(CShapeRecord::GetMaxX(shape), 10.0);
        const RouteVertices back = pathrill::ReadPartZero(record.data(), record.size());
        ASSERT_EQ(back.size(), 3u) << type;
        EXPECT_EQ(Text(back), "0,0 10,0 10,10");
        if (type == SHT_PolylineZ) {
            EXPECT_DOUBLE_EQ(back[2].z, 9.0);
            EXPECT_DOUBLE_EQ(back[1].m, 8.0);
            EXPECT_DOUBLE_EQ(CShapeRecord::GetZMax(shape), 9.0);
        }
    }
    // A polyline of several parts keeps them all, each where it was.
    const std::vector<RouteVertices> parts = {Line({{0, 0}, {5, 0}}), Line({{7, 7}, {8, 8}, {9, 7}}), Line({{1, 2}, {3, 4}})};
    for (std::uint32_t type : {std::uint32_t(SHT_Polyline), std::uint32_t(SHT_PolylineZ)}) {
        const std::vector<unsigned char> record = pathrill::BuildPolylineRecord(parts, type);
        const auto* shape = CShapeRecord::FromBytes(record.data());
        EXPECT_EQ(CShapeRecord::GetPartCount(shape), 3u);
        EXPECT_EQ(CShapeRecord::GetPartStart(shape, 2), 5u);
        const std::vector<RouteVertices> back = pathrill::ReadParts(record.data(), record.size());
        ASSERT_EQ(back.size(), 3u) << type;
        EXPECT_EQ(Text(back[0]), "0,0 5,0");
        EXPECT_EQ(Text(back[1]), "7,7 8,8 9,7");
        EXPECT_EQ(Text(back[2]), "1,2 3,4");
        EXPECT_EQ(Text(pathrill::ReadPartZero(record.data(), record.size())), "0,0 5,0");
    }
    // Only the first part is read by ReadPartZero; a truncated or foreign record gives nothing.
    const std::vector<unsigned char> record = pathrill::BuildPolylineRecord(line, SHT_Polyline);
    EXPECT_TRUE(pathrill::ReadPartZero(record.data(), 20).empty());
    EXPECT_TRUE(pathrill::ReadPartZero(nullptr, 0).empty());
}

} // namespace
