// The theme's spatial index: when it is built, and the searches that use it.

#include "core/Theme.h"

#include "geometry/SpatialHash.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A theme of the given kind whose records live in the fixture.
struct Shapes {
    std::vector<Bytes> records;
    CTheme theme;

    explicit Shapes(std::uint32_t type) { theme.m_ShapeType = type; }

    void Add(Bytes record) {
        SetShapeRecordIndex(Rec(record), static_cast<int>(records.size()));
        records.push_back(std::move(record));
        EXPECT_TRUE(CTheme::ShapeCallback(&theme, Rec(records.back()), 0));
    }

    // n unit squares (or diagonal strokes for polylines) in rows of 100.
    void AddGrid(int n) {
        records.reserve(records.size() + static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const double x = i % 100;
            const double y = i / 100;
            if (theme.IsArcTheme())
                Add(MakeMulti(SHT_Polyline, {{{x, y}, {x + 0.5, y + 0.5}}}));
            else
                Add(MakeMulti(SHT_Polygon,
                              {{{x, y}, {x, y + 0.5}, {x + 0.5, y + 0.5}, {x + 0.5, y}, {x, y}}}));
        }
        theme.ResetFilter();
    }
};

// Sets the Performance setting for one test.
class PerformanceSetting {
public:
    explicit PerformanceSetting(int value) : m_Old(CAppSettings::GetInstance()->m_Performance) {
        CAppSettings::GetInstance()->m_Performance = value;
    }
    ~PerformanceSetting() { CAppSettings::GetInstance()->m_Performance = m_Old; }

private:
    int m_Old;
};

std::vector<CShapeRecord*> Candidates(const CShapeAreaHashTable& hash, const CDoubleRect& box) {
    std::vector<CShapeRecord*> found;
    hash.ForEachCandidate(box, [&](CShapeRecord* record) {
        found.push_back(record);
        return true;
    });
    return found;
}

} // namespace

TEST(BuildSpatialIndex, ThresholdsAndSettings) {
    PerformanceSetting performance(2);
    struct Case {
        std::uint32_t type;
        int count;
        bool built;
    };
    const Case cases[] = {
        {SHT_Polyline, 14999, false},
        {SHT_Polyline, 15000, true},
        {SHT_Polygon, 2999, false},
        {SHT_Polygon, 3000, true},
    };
    for (const Case& c : cases) {
        Shapes shapes(c.type);
        shapes.AddGrid(c.count);
        shapes.theme.BuildSpatialIndex();
        EXPECT_EQ(shapes.theme.m_SpatialIndex != nullptr, c.built) << c.type << " " << c.count;
    }

    Shapes polygons(SHT_PolygonZ);
    polygons.AddGrid(3000);
    {
        PerformanceSetting lower(1);
        polygons.theme.BuildSpatialIndex();
        EXPECT_EQ(polygons.theme.m_SpatialIndex, nullptr);
    }
    // Visible shapes count: with one filtered out the theme is too small.
    polygons.theme.m_VisiblePolygons.pop_back();
    polygons.theme.BuildSpatialIndex();
    EXPECT_EQ(polygons.theme.m_SpatialIndex, nullptr);
    polygons.theme.ResetFilter();
    polygons.theme.BuildSpatialIndex();
    ASSERT_NE(polygons.theme.m_SpatialIndex, nullptr);
    // A second build keeps the hash it has.
    const CShapeAreaHashTable* built = polygons.theme.m_SpatialIndex.get();
    polygons.theme.BuildSpatialIndex();
    EXPECT_EQ(polygons.theme.m_SpatialIndex.get(), built);
    polygons.theme.DeleteSpatialIndex();
    EXPECT_EQ(polygons.theme.m_SpatialIndex, nullptr);

    Shapes points(SHT_Point);
    for (int i = 0; i < 20000; ++i)
        points.Add(MakePoint(i, i));
    points.theme.ResetFilter();
    points.theme.BuildSpatialIndex();
    EXPECT_EQ(points.theme.m_SpatialIndex, nullptr);
}

TEST(BuildSpatialIndex, FilteredOutShapesAndLaterRecordsAreFound) {
    PerformanceSetting performance(2);
    Shapes shapes(SHT_Polygon);
    shapes.AddGrid(3001);
    shapes.theme.m_VisiblePolygons.erase(shapes.theme.m_VisiblePolygons.begin());
    shapes.theme.BuildSpatialIndex();
    ASSERT_NE(shapes.theme.m_SpatialIndex, nullptr);
    const CShapeAreaHashTable& hash = *shapes.theme.m_SpatialIndex;
    const std::vector<CShapeRecord*> first = Candidates(hash, CDoubleRect(0.1, 0.1, 0.2, 0.2));
    EXPECT_EQ(std::count(first.begin(), first.end(), Rec(shapes.records[0])), 1);

    // A record moved beyond the grid, re-inserted as edits do, is still found.
    CShapeRecord* moved = Rec(shapes.records[5]);
    shapes.theme.m_SpatialIndex->Remove(moved);
    const Bytes far = MakeMulti(
        SHT_Polygon, {{{505, 500}, {505, 500.5}, {505.5, 500.5}, {505.5, 500}, {505, 500}}}, 6);
    ASSERT_EQ(far.size(), shapes.records[5].size());
    std::copy(far.begin(), far.end(), shapes.records[5].begin());
    EXPECT_FALSE(shapes.theme.m_SpatialIndex->InsertRecord(moved));
    EXPECT_EQ(Candidates(hash, CDoubleRect(505.1, 500.1, 505.2, 500.2)).size(), 1u);
}

TEST(FindClosestShapes, PointsTiesAndPolylines) {
    Shapes points(SHT_Point);
    points.Add(MakePoint(0, 2));
    points.Add(MakePoint(5, 5));
    points.Add(MakePoint(2, 0));
    points.Add(MakePoint(0, 2));
    points.theme.ResetFilter();
    std::vector<int> positions;
    ASSERT_TRUE(points.theme.FindClosestShapes(positions, 0, 0));
    EXPECT_EQ(positions, (std::vector<int>{0, 2, 3}));

    Shapes lines(SHT_Polyline);
    lines.Add(MakeMulti(SHT_Polyline, {{{0, 0}, {4, 4}, {8, 0}}}));
    lines.Add(MakeMulti(SHT_Polyline, {{{0, 10}, {8, 10}}}));
    lines.Add(MakeMulti(SHT_Polyline, {{{20, 20}, {30, 30}}, {{4, 6}, {4, 9}}}));
    lines.theme.ResetFilter();
    positions.clear();
    // (4, 5): one unit from the apex shared by two segments of line 0, and
    // from the start of line 2's second part.
    ASSERT_TRUE(lines.theme.FindClosestShapes(positions, 4, 5));
    EXPECT_EQ(positions, (std::vector<int>{0, 2}));

    Shapes none(SHT_Polyline);
    positions.clear();
    EXPECT_FALSE(none.theme.FindClosestShapes(positions, 0, 0));
    EXPECT_TRUE(positions.empty());
}

TEST(FindClosestShapes, ContainingPolygonsWin) {
    Shapes shapes(SHT_Polygon);
    // 0: a frame with a hole; 1: an arrow whose tip lies at the height of the
    // query points inside it; 2: a square far off; 3: a square whose west
    // edge passes through (30, 5); 4: a small square inside the arrow, whose
    // outline is nearer to (15, 5) than the arrow's.
    shapes.Add(MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                                       {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{12, 0}, {12, 10}, {20, 10}, {26, 5}, {20, 0}, {12, 0}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{50, 50}, {50, 51}, {51, 51}, {51, 50}, {50, 50}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{30, 0}, {30, 10}, {40, 10}, {40, 0}, {30, 0}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{14, 4}, {14, 4.5}, {14.5, 4.5}, {14.5, 4}, {14, 4}}}));
    shapes.theme.ResetFilter();
    struct Case {
        CShapePoint p;
        std::vector<int> positions;
        const char* note;
    };
    const Case cases[] = {
        {{1, 1}, {0}, "inside the frame"},
        {{5, 5}, {0}, "in the frame's hole"},
        {{15, 5}, {1}, "inside the arrow, level with its tip"},
        {{30, 5}, {3}, "on a square's outline"},
        {{11, 5}, {0, 1}, "between frame and arrow, one unit from each"},
        {{52, 52}, {2}, "nearest outline"},
    };
    for (const Case& c : cases) {
        std::vector<int> positions;
        ASSERT_TRUE(shapes.theme.FindClosestShapes(positions, c.p.x, c.p.y)) << c.note;
        EXPECT_EQ(positions, c.positions) << c.note;
    }
}

TEST(GetIntersectingShapes, BothDirectionsAndNotItself) {
    Shapes shapes(SHT_Polygon);
    shapes.Add(MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{2, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}}}));
    shapes.Add(MakeMulti(SHT_Polygon, {{{20, 20}, {20, 30}, {30, 30}, {30, 20}, {20, 20}}}));
    shapes.theme.ResetFilter();
    std::vector<int> positions;
    // The big square meets the small one inside it, though none of its own
    // edges does.
    ASSERT_TRUE(shapes.theme.GetIntersectingShapes(shapes.theme.GetShape(0), positions));
    EXPECT_EQ(positions, std::vector<int>{1});
    positions.clear();
    ASSERT_TRUE(shapes.theme.GetIntersectingShapes(shapes.theme.GetShape(1), positions));
    EXPECT_EQ(positions, std::vector<int>{0});
    positions.clear();
    EXPECT_FALSE(shapes.theme.GetIntersectingShapes(shapes.theme.GetShape(2), positions));
    // A shape from elsewhere (a clipboard polygon) is compared with all.
    const Bytes query = MakeMulti(SHT_Polyline, {{{-1, 5}, {25, 25}}});
    ASSERT_TRUE(shapes.theme.GetIntersectingShapes(Rec(query), positions));
    EXPECT_EQ(positions, (std::vector<int>{0, 2}));
}
