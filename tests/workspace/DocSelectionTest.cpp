// The document's selections for the map view's tools: the click toggle and
// the area selections, through the spatial hash and without it; and the
// bookmarks the view adds.

#include "core/Theme.h"
#include "geometry/DoubleRect.h"
#include "geometry/ShapeOperations.h"
#include "geometry/SpatialHash.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) {
        doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate);
    }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    std::vector<std::pair<int, std::intptr_t>> events;

private:
    CCorvaleDoc& m_Doc;
};

std::set<int> Selected(const CTheme* theme) {
    std::set<int> indexes;
    for (const auto& entry : theme->m_Selection)
        indexes.insert(entry.first);
    return indexes;
}

// A workspace with one native theme of the given kind, made active.
class DocSelection : public ::testing::Test {
protected:
    CTheme* MakeTheme(std::uint32_t type) {
        auto* theme = new CTheme;
        doc.m_themes.push_back(theme);
        theme->m_ShapeType = type;
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        doc.m_activeTheme = theme;
        return theme;
    }
    // A 5 x 5 grid of squares 8 units wide, 10 apart, from (0, 0).
    CTheme* MakeSquares() {
        CTheme* theme = MakeTheme(SHT_Polygon);
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 5; ++column) {
                const double x = 10.0 * column;
                const double y = 10.0 * row;
                Bytes record = MakeMulti(
                    SHT_Polygon, {{{x, y}, {x, y + 8}, {x + 8, y + 8}, {x + 8, y}, {x, y}}});
                EXPECT_NE(theme->AddShape(Rec(record), true, true, false), nullptr);
            }
        return theme;
    }
    static void BuildHash(CTheme* theme) {
        theme->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 48.0, 48.0);
        for (CShapeRecord* record : theme->m_VisiblePolygons)
            theme->m_SpatialIndex->InsertRecord(record);
    }

    CCorvaleDoc doc;
};

TEST_F(DocSelection, AreaSelectionsGiveTheSameShapesWithAndWithoutTheHash) {
    CTheme* theme = MakeSquares();
    const CShapeRecordPtr polygon{CreatePolygonShape({{5, 5}, {25, 35}, {45, 5}, {5, 5}})};
    ASSERT_NE(polygon, nullptr);
    struct Result {
        std::set<int> rectangle, circle, polygon;
    };
    auto run = [&] {
        Result r;
        theme->ClearSelection();
        doc.SelectByRectangle(CDoubleRect(19, 29, 9, 12)); // corners in any order
        r.rectangle = Selected(theme);
        theme->ClearSelection();
        doc.SelectByCircle(24, 24, 5);
        r.circle = Selected(theme);
        theme->ClearSelection();
        doc.SelectByPolygon(polygon.get());
        r.polygon = Selected(theme);
        return r;
    };
    const Result linear = run();
    BuildHash(theme);
    const Result hashed = run();
    EXPECT_EQ(linear.rectangle, hashed.rectangle);
    EXPECT_EQ(linear.circle, hashed.circle);
    EXPECT_EQ(linear.polygon, hashed.polygon);
    // Column 1 of rows 1 and 2 (squares 6 and 11); the neighbours lie a
    // unit outside the rectangle.
    const auto index = [theme](int n) { return GetShapeRecordIndex(theme->m_VisiblePolygons[n]); };
    EXPECT_EQ(linear.rectangle, (std::set<int>{index(6), index(11)}));
    // The centre square and its neighbours' corners within 5 units.
    EXPECT_EQ(linear.circle.count(index(12)), 1u);
    EXPECT_FALSE(linear.polygon.empty());
    EXPECT_EQ(linear.polygon.count(index(20)), 0u);

    // Every entry has its position and the selection width of a polygon.
    for (const auto& entry : theme->m_Selection)
        EXPECT_EQ(entry.second.m_Width, theme->m_LineWidth);
}

TEST_F(DocSelection, AFilteredShapeIsNeverSelectedThroughTheHash) {
    CTheme* theme = MakeSquares();
    BuildHash(theme);
    const int hidden = GetShapeRecordIndex(theme->m_VisiblePolygons[0]);
    theme->m_VisiblePolygons.erase(theme->m_VisiblePolygons.begin());
    doc.SelectByRectangle(CDoubleRect(0, 0, 15, 5));
    EXPECT_EQ(Selected(theme).count(hidden), 0u);
    EXPECT_EQ(theme->m_Selection.size(), 1u);
}

TEST_F(DocSelection, AreaSelectionsOnlyAddAndFireNothing) {
    CTheme* theme = MakeTheme(SHT_Point);
    for (const auto& p : std::vector<CShapePoint>{{0, 0}, {10, 0}, {3, 4}}) {
        Bytes record = MakePoint(p.x, p.y);
        ASSERT_NE(theme->AddShape(Rec(record), true, true, false), nullptr);
    }
    EventLog log(doc);
    // Borders count, for the rectangle and for the circle.
    doc.SelectByRectangle(CDoubleRect(10, 0, 20, 5));
    EXPECT_EQ(theme->m_Selection.size(), 1u);
    doc.SelectByCircle(0, 0, 5);
    EXPECT_EQ(theme->m_Selection.size(), 3u);
    for (const auto& entry : theme->m_Selection)
        EXPECT_EQ(entry.second.m_Width, 3);
    EXPECT_TRUE(log.events.empty());

    // Without an active theme nothing happens.
    theme->ClearSelection();
    doc.m_activeTheme = nullptr;
    doc.SelectByCircle(0, 0, 50);
    EXPECT_TRUE(theme->m_Selection.empty());
}

TEST_F(DocSelection, ToggleAddsOrRemovesAndAnnounces) {
    CTheme* theme = MakeSquares();
    EventLog log(doc);
    CShapeRecord* second = theme->m_VisiblePolygons[1];
    const int index = GetShapeRecordIndex(second);
    doc.ToggleShapeSelection(second, 1);
    EXPECT_EQ(Selected(theme), std::set<int>{index});
    doc.ToggleShapeSelection(theme->m_VisiblePolygons[2], 2);
    doc.ToggleShapeSelection(second, 1);
    EXPECT_EQ(theme->m_Selection.size(), 1u);
    // The remaining entry moved up to selection index 0.
    EXPECT_EQ(theme->m_Selection.begin()->second.m_SelectionIndex, 0);
    ASSERT_EQ(log.events.size(), 3u);
    EXPECT_EQ(log.events[0], std::make_pair(int(DUE_SelectionChanged), std::intptr_t(index)));

    doc.ToggleShapeSelection(nullptr, 0);
    EXPECT_EQ(log.events.size(), 3u);
}

TEST_F(DocSelection, BookmarksAreNumbered) {
    EventLog log(doc);
    doc.AddBookmark(1, 2, 0.5);
    doc.AddBookmark(3, 4, 2.0);
    ASSERT_EQ(doc.m_bookmarks.size(), 2u);
    EXPECT_EQ(doc.m_bookmarks[0]->m_Name, "BM 1");
    EXPECT_EQ(doc.m_bookmarks[1]->m_Name, "BM 2");
    EXPECT_EQ(doc.m_bookmarks[1]->m_UnitsPerPixel, 2.0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[1].first, int(DUE_BookmarksChanged));
}

TEST(CreatePolygonShape, NeedsFourPoints) {
    EXPECT_EQ(CShapeRecordPtr(CreatePolygonShape({{0, 0}, {1, 1}, {0, 0}})), nullptr);
    const std::vector<CShapePoint> ring{{0, 0}, {0, 2}, {3, 2}, {0, 0}};
    const CShapeRecordPtr polygon{CreatePolygonShape(ring)};
    ASSERT_NE(polygon, nullptr);
    const CShapeRecord* record = polygon.get();
    EXPECT_EQ(CShapeRecord::GetShapeType(record), SHT_Polygon);
    EXPECT_EQ(GetShapeRecordIndex(record), 0);
    EXPECT_EQ(CShapeRecord::GetPartCount(record), 1u);
    ASSERT_EQ(CShapeRecord::GetPointCount(record), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(CShapeRecord::GetPoint(record, i).x, ring[i].x);
        EXPECT_EQ(CShapeRecord::GetPoint(record, i).y, ring[i].y);
    }
    EXPECT_EQ(CShapeRecord::GetMaxX(record), 3.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(record), 2.0);
}

} // namespace
