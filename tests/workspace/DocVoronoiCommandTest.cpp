// Voronoi Polygons on a point theme, driven by its command id with a
// scripted user interface and a map view that answers its extent.

#include "core/Theme.h"
#include "framework/Messages.h"
#include "framework/ScriptedUserInterface.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/ViewMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Answers WM_GET_VIEW_EXTENT as the map view does: minX, maxY, maxX, minY.
class ExtentView : public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t, std::intptr_t lParam) override {
        if (message == WM_GET_VIEW_EXTENT && lParam != 0)
            std::memcpy(reinterpret_cast<void*>(lParam), extent, sizeof extent);
        return 0;
    }
    double extent[4] = {0.0, 10.0, 10.0, 0.0};
};

CAttributeFieldInfo Field(const char* name, std::int32_t type, std::int32_t length) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = type;
    info.m_Length = length;
    return info;
}

struct Ring {
    std::vector<CShapePoint> points;
    double SignedArea() const {
        double a = 0.0;
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            a += points[i].x * points[i + 1].y - points[i + 1].x * points[i].y;
        return a / 2.0;
    }
};

Ring RingOf(const CShapeRecord* record) {
    Ring ring;
    for (std::uint32_t i = 0; i < CShapeRecord::GetPointCount(record); ++i)
        ring.points.push_back(CShapeRecord::GetPoint(record, i));
    return ring;
}

class DocVoronoiCommand : public ::testing::Test {
protected:
    void SetUp() override { doc.m_mapView = &view; }
    void TearDown() override { doc.m_mapView = nullptr; }

    // A native point theme with a NAME column, one named point per entry.
    CTheme* AddTowns(const std::vector<std::pair<CShapePoint, const char*>>& towns) {
        CTheme* theme = doc.CreateTheme("Towns", SHT_Point);
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        doc.m_themes.push_back(theme);
        theme->AddAttribute(Field("NAME", FT_String, 20), nullptr, nullptr);
        for (std::size_t i = 0; i < towns.size(); ++i) {
            theme->AddPointAt(false, false, towns[i].first.x, towns[i].first.y);
            theme->SetAttributeText(static_cast<int>(i), 0, towns[i].second, false);
        }
        theme->ResetFilter();
        theme->ResetShapePositions();
        theme->RecalculateBounds();
        doc.SetThemeSelected(theme, true);
        return theme;
    }

    CTheme* Run() {
        const std::size_t before = doc.m_themes.size();
        doc.OnCmdMsg(ID_THEME_VORONOI_POLYGONS, nullptr);
        if (doc.m_themes.size() == before)
            return nullptr;
        for (CTheme* theme : doc.m_themes)
            if (theme->m_Name == "Voronoi Polygons")
                return theme;
        return nullptr;
    }

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    ExtentView view;
};

TEST_F(DocVoronoiCommand, EnabledForAThemeWithVisiblePoints) {
    CCmdUI none(ID_THEME_VORONOI_POLYGONS);
    doc.OnCmdMsg(ID_THEME_VORONOI_POLYGONS, &none);
    EXPECT_FALSE(none.m_Enabled);

    CTheme* empty = AddTowns({});
    CCmdUI noPoints(ID_THEME_VORONOI_POLYGONS);
    doc.OnCmdMsg(ID_THEME_VORONOI_POLYGONS, &noPoints);
    EXPECT_FALSE(noPoints.m_Enabled);
    EXPECT_EQ(Run(), nullptr);

    empty->AddPointAt(false, false, 1, 1);
    empty->ResetFilter();
    empty->ResetShapePositions();
    CCmdUI points(ID_THEME_VORONOI_POLYGONS);
    doc.OnCmdMsg(ID_THEME_VORONOI_POLYGONS, &points);
    EXPECT_TRUE(points.m_Enabled);
}

// Two points: each cell is its side of the bisector within the view, and
// carries its point's attributes; both rings are closed and clockwise.
TEST_F(DocVoronoiCommand, TwoPointsSplitTheViewAtTheirBisector) {
    AddTowns({{{2, 5}, "West"}, {{8, 5}, "East"}});
    CTheme* cells = Run();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->m_ShapeType, static_cast<std::uint32_t>(SHT_Polygon));
    EXPECT_EQ(cells->m_SourceType, ST_Native);
    ASSERT_EQ(cells->GetAttributeCount(), 1u);
    EXPECT_EQ(cells->GetAttributeName(0), std::string("NAME"));
    ASSERT_EQ(cells->GetShapeCount(), 2);
    for (int p = 0; p < 2; ++p) {
        const Ring ring = RingOf(cells->m_VisiblePolygons[p]);
        ASSERT_GE(ring.points.size(), 5u);
        EXPECT_EQ(ring.points.front().x, ring.points.back().x);
        EXPECT_EQ(ring.points.front().y, ring.points.back().y);
        EXPECT_NEAR(ring.SignedArea(), -50.0, 1e-9) << "clockwise half of the 10 x 10 view";
        double minX = 1e9, maxX = -1e9;
        for (const CShapePoint& q : ring.points) {
            minX = std::min(minX, q.x);
            maxX = std::max(maxX, q.x);
        }
        // Cells are stored in ascending x of their points.
        EXPECT_EQ(cells->GetAttributeTextAt(p, 0), p == 0 ? "West" : "East");
        EXPECT_DOUBLE_EQ(p == 0 ? maxX : minX, 5.0);
    }
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(DocVoronoiCommand, OnePointFillsTheBoxWithARectangle) {
    AddTowns({{{3, 4}, "Only"}});
    CTheme* cells = Run();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->GetShapeCount(), 1);
    const Ring ring = RingOf(cells->m_VisiblePolygons[0]);
    EXPECT_EQ(ring.points.size(), 5u);
    EXPECT_NEAR(ring.SignedArea(), -100.0, 1e-12);
}

// Points at one location make one cell, with the attributes of the later
// point in visible order.
TEST_F(DocVoronoiCommand, SharedLocationsMakeOneCellWithTheLastPoint) {
    AddTowns({{{2, 2}, "First"}, {{7, 7}, "Other"}, {{2, 2}, "Second"}});
    CTheme* cells = Run();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->GetShapeCount(), 2);
    EXPECT_EQ(cells->GetAttributeTextAt(0, 0), "Second");
    EXPECT_EQ(cells->GetAttributeTextAt(1, 0), "Other");
}

// A view far from the points: the box covers both, so the cells' areas add
// up to the box spanning the view and the points.
TEST_F(DocVoronoiCommand, TheBoxCoversTheViewAndThePoints) {
    struct Case {
        const char* name;
        double view[4];
        double area;
    };
    const Case cases[] = {
        // minX, maxY, maxX, minY as the view answers them.
        {"view away from the points", {100, 110, 110, 100}, 110.0 * 109.0},
        {"view with swapped corners", {110, 100, 100, 110}, 110.0 * 109.0},
        {"view around the points", {-10, 20, 20, -10}, 30.0 * 30.0},
    };
    AddTowns({{{0, 1}, "A"}, {{3, 6}, "B"}, {{5, 2}, "C"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memcpy(view.extent, c.view, sizeof view.extent);
        CTheme* cells = Run();
        ASSERT_NE(cells, nullptr);
        ASSERT_EQ(cells->GetShapeCount(), 3);
        double area = 0.0;
        for (int p = 0; p < 3; ++p)
            area -= RingOf(cells->m_VisiblePolygons[p]).SignedArea();
        EXPECT_NEAR(area, c.area, 1e-6);
        ASSERT_TRUE(doc.RemoveTheme(cells));
    }
}

// Many points on a lattice (every cell corner shared by four cells) and on
// one line: every location gets its cell and the cells tile the box.
TEST_F(DocVoronoiCommand, DegenerateLayoutsStillTileTheBox) {
    std::vector<std::pair<CShapePoint, const char*>> towns;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            towns.push_back({{i + 0.5, j + 0.5}, "grid"});
    for (int i = 0; i < 5; ++i)
        towns.push_back({{2.0 * i + 0.25, 9.75}, "row"});
    AddTowns(towns);
    CTheme* cells = Run();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->GetShapeCount(), 105);
    double area = 0.0;
    for (CShapeRecord* record : cells->m_VisiblePolygons)
        area -= RingOf(record).SignedArea();
    EXPECT_NEAR(area, 100.0, 1e-9);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(DocVoronoiCommand, WithoutAViewTheBoxIsThePointsWidenedWhenFlat) {
    doc.m_mapView = nullptr;
    AddTowns({{{1, 3}, "A"}, {{5, 3}, "B"}});
    CTheme* cells = Run();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->GetShapeCount(), 2);
    double area = 0.0;
    for (CShapeRecord* record : cells->m_VisiblePolygons)
        area -= RingOf(record).SignedArea();
    // x 1..5, y widened from 3..3 to -2..8.
    EXPECT_NEAR(area, 4.0 * 10.0, 1e-9);
}

} // namespace
