#include "core/Theme.h"

#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;

std::string NameOf(int shapeIndex) {
    return "S" + std::to_string(shapeIndex);
}

// A native theme of n shapes of one kind, each with a NAME cell naming its
// shape index, so that attribute rows can be checked against positions.
struct NativeShapes {
    std::vector<Bytes> records;
    CTheme theme;

    NativeShapes(std::uint32_t type, int n) {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = type;
        theme.m_Editable = true;
        theme.m_LineWidth = 2;
        CAttributeFieldInfo name;
        name.m_Name = "NAME";
        name.m_Type = FT_String;
        name.m_Length = 10;
        theme.AddAttribute(name, nullptr, nullptr);
        records.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const auto number = static_cast<std::uint32_t>(i + 1);
            const double x = 10.0 * i;
            if (type == SHT_Point)
                records.push_back(MakePoint(x, 0, number));
            else
                records.push_back(
                    MakeMulti(type, {{{x, 0}, {x, 5}, {x + 5, 5}, {x + 5, 0}, {x, 0}}}, number));
            CTheme::ShapeCallback(&theme, Rec(records.back()), 0);
            const int row = theme.AppendAttributeRow();
            theme.SetAttributeText(row, 0, NameOf(i), false);
        }
        theme.ResetFilter();
    }

    std::vector<CShapeRecord*>& All() {
        return theme.IsPointTheme() ? theme.m_Points : theme.m_Polygons;
    }
    std::vector<CShapeRecord*>& Visible() {
        return theme.IsPointTheme() ? theme.m_VisiblePoints : theme.m_VisiblePolygons;
    }

    // Shape indexes of the visible list, in order.
    std::vector<int> VisibleIndexes() {
        std::vector<int> indexes;
        for (const CShapeRecord* record : Visible())
            indexes.push_back(GetShapeRecordIndex(record));
        return indexes;
    }

    // Shape indexes in selection order.
    std::vector<int> SelectionOrder() const {
        std::vector<int> order(theme.m_Selection.size(), -1);
        for (const auto& entry : theme.m_Selection)
            if (entry.second.m_SelectionIndex >= 0 &&
                entry.second.m_SelectionIndex < static_cast<int>(order.size()))
                order[static_cast<std::size_t>(entry.second.m_SelectionIndex)] = entry.first;
        return order;
    }

    // What must hold after every operation: record number = index + 1,
    // positions and shape indexes translate both ways, attribute rows follow
    // their shapes, the selection order is dense, and every selected shape
    // is found where it really stands.
    void ExpectConsistent() {
        std::vector<CShapeRecord*>& all = All();
        for (std::size_t i = 0; i < all.size(); ++i)
            EXPECT_EQ(GetShapeRecordIndex(all[i]), static_cast<int>(i));
        const std::set<CShapeRecord*> known(all.begin(), all.end());
        std::set<int> visibleIndexes;
        for (int p = 0; p < static_cast<int>(Visible().size()); ++p) {
            ASSERT_EQ(known.count(Visible()[static_cast<std::size_t>(p)]), 1u);
            const int index = theme.GetShapeIndex(p);
            visibleIndexes.insert(index);
            EXPECT_EQ(theme.GetShapePosition(index), p);
            EXPECT_EQ(theme.GetAttributeTextAt(p, 0), NameOf(index));
        }
        for (int i = 0; i < static_cast<int>(all.size()); ++i)
            if (visibleIndexes.count(i) == 0) {
                EXPECT_EQ(theme.GetShapePosition(i), -1) << i;
            }
        EXPECT_EQ(theme.GetFilteredShapeCount(), static_cast<int>(all.size() - Visible().size()));

        EXPECT_EQ(theme.m_SelectionCounter, static_cast<int>(theme.m_Selection.size()));
        const std::vector<int> order = SelectionOrder();
        EXPECT_EQ(std::count(order.begin(), order.end(), -1), 0) << "selection indexes not dense";
        for (int n = 0; n < static_cast<int>(order.size()); ++n) {
            const int index = order[static_cast<std::size_t>(n)];
            const CShapeRecord* selected = theme.GetSelectedShape(n);
            if (visibleIndexes.count(index) != 0) {
                ASSERT_NE(selected, nullptr) << n;
                EXPECT_EQ(GetShapeRecordIndex(selected), index);
            } else {
                EXPECT_EQ(selected, nullptr) << "a filtered-out shape has no position";
            }
        }
        EXPECT_EQ(theme.GetSelectedShape(static_cast<int>(order.size())), nullptr);
        EXPECT_EQ(theme.GetSelectedShape(-1), nullptr);
    }

    void Select(std::initializer_list<int> indexes, std::uint32_t color = kRed) {
        for (int index : indexes)
            theme.AddToSelection(index, theme.GetShapePosition(index), theme.m_LineWidth, color);
    }
};

} // namespace

TEST(ThemeSelection, SelectionOrderStaysDense) {
    NativeShapes shapes(SHT_Polygon, 10);
    shapes.Select({7, 2, 5});
    EXPECT_EQ(shapes.theme.GetSelectionIndex(7), 0);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(2), 1);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(5), 2);
    shapes.ExpectConsistent();

    shapes.theme.RemoveFromSelection(2);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(7), 0);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(5), 1);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(2), -1);
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 2);
    shapes.theme.RemoveFromSelection(2);
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 2);
    shapes.ExpectConsistent();

    // Selecting again keeps the old colour, width and order.
    shapes.theme.AddToSelection(7, 7, 9, kGreen);
    const CSelectionEntry& entry = shapes.theme.m_Selection.at(7);
    EXPECT_EQ(entry.m_Color, kRed);
    EXPECT_EQ(entry.m_Width, 2);
    EXPECT_EQ(entry.m_SelectionIndex, 0);
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 2);

    shapes.theme.SetSelectionColour(kGreen);
    for (const auto& e : shapes.theme.m_Selection)
        EXPECT_EQ(e.second.m_Color, kGreen);
}

TEST(ThemeSelection, SelectAllWidthsAndTheSelectionArea) {
    NativeShapes polygons(SHT_Polygon, 4);
    polygons.theme.m_SelectionArea = std::make_unique<unsigned char[]>(16);
    polygons.Select({3});
    polygons.theme.SelectAll(kGreen);
    EXPECT_EQ(polygons.theme.m_SelectionArea, nullptr);
    EXPECT_EQ(polygons.SelectionOrder(), (std::vector<int>{0, 1, 2, 3}));
    for (const auto& e : polygons.theme.m_Selection) {
        EXPECT_EQ(e.second.m_Width, 2);
        EXPECT_EQ(e.second.m_Color, kGreen);
    }
    polygons.ExpectConsistent();

    NativeShapes points(SHT_Point, 3);
    points.theme.SelectAll(kRed);
    for (const auto& e : points.theme.m_Selection)
        EXPECT_EQ(e.second.m_Width, 3);

    points.theme.m_SelectionArea = std::make_unique<unsigned char[]>(16);
    points.theme.ClearSelection();
    EXPECT_TRUE(points.theme.m_Selection.empty());
    EXPECT_EQ(points.theme.m_SelectionCounter, 0);
    EXPECT_EQ(points.theme.m_SelectionArea, nullptr);
    points.ExpectConsistent();

    CTheme empty;
    empty.SelectAll(kRed);
    empty.InvertSelection(kRed);
    EXPECT_TRUE(empty.m_Selection.empty());
}

TEST(ThemeSelection, SetSelectionAreaBuildsAOnePartPolygon) {
    CTheme theme;
    const std::vector<CShapePoint> ring = {{0, 0}, {0, 4}, {3, 4}, {3, 0}, {0, 0}};
    theme.SetSelectionArea(&ring);
    ASSERT_NE(theme.m_SelectionArea, nullptr);
    const CShapeRecord* area = CShapeRecord::FromBytes(theme.m_SelectionArea.get());
    EXPECT_EQ(CShapeRecord::GetShapeType(area), SHT_Polygon);
    EXPECT_EQ(CShapeRecord::GetPartCount(area), 1u);
    ASSERT_EQ(CShapeRecord::GetPointCount(area), 5u);
    for (std::uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(CShapeRecord::GetPoint(area, i), ring[i]) << i;
    EXPECT_EQ(CShapeRecord::GetMaxX(area), 3.0);
    EXPECT_EQ(CShapeRecord::GetMaxY(area), 4.0);
    EXPECT_EQ(GetShapeRecordIndex(area), 0);

    // Too few points for a ring, or none at all, leave no area behind.
    const std::vector<CShapePoint> three = {{0, 0}, {1, 1}, {0, 0}};
    theme.SetSelectionArea(&three);
    EXPECT_EQ(theme.m_SelectionArea, nullptr);
    theme.SetSelectionArea(&ring);
    theme.SetSelectionArea(nullptr);
    EXPECT_EQ(theme.m_SelectionArea, nullptr);
}

TEST(ThemeSelection, InvertSelection) {
    NativeShapes shapes(SHT_Polygon, 6);
    shapes.Select({4, 1});
    shapes.theme.m_SelectionArea = std::make_unique<unsigned char[]>(16);
    shapes.theme.InvertSelection(kGreen);
    EXPECT_EQ(shapes.SelectionOrder(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_NE(shapes.theme.m_SelectionArea, nullptr) << "the outline is left alone";
    shapes.ExpectConsistent();

    shapes.theme.SelectAll(kRed);
    shapes.theme.InvertSelection(kRed);
    EXPECT_TRUE(shapes.theme.m_Selection.empty());
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 0);

    // Entries of filtered-out shapes go too.
    shapes.Select({0, 3});
    shapes.Visible().erase(shapes.Visible().begin() + 3);
    shapes.theme.ResetShapePositions();
    shapes.theme.InvertSelection(kRed);
    EXPECT_EQ(shapes.SelectionOrder(), (std::vector<int>{1, 2, 4, 5}));
    shapes.ExpectConsistent();

    const std::uint32_t saved = CAppSettings::GetInstance()->m_ColorSelection;
    CAppSettings::GetInstance()->m_ColorSelection = 0x123456;
    shapes.theme.InvertSelectionWithDefaultColour();
    CAppSettings::GetInstance()->m_ColorSelection = saved;
    EXPECT_EQ(shapes.SelectionOrder(), (std::vector<int>{0}));
    EXPECT_EQ(shapes.theme.m_Selection.at(0).m_Color, 0x123456u);
}

TEST(ThemeFilter, FilterSelectedRemovesTheSelectedShapes) {
    corvale::CScriptedUserInterface ui;
    NativeShapes shapes(SHT_Polygon, 5);
    shapes.Select({3, 1});
    shapes.theme.m_SelectionArea = std::make_unique<unsigned char[]>(16);
    // The styles follow the visible list, so filtering rebuilds them.
    shapes.theme.m_ShapeStyles.clear();
    shapes.theme.m_Styles.clear();
    ASSERT_TRUE(shapes.theme.FilterSelected());
    EXPECT_FALSE(shapes.theme.m_Styles.empty());
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(shapes.theme.m_Selection.empty());
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 0);
    EXPECT_EQ(shapes.theme.m_SelectionArea, nullptr);
    EXPECT_EQ(ui.progress, (std::vector<int>{-1, 0, 50, -2}));
    shapes.ExpectConsistent();

    // Nothing selected: done, nothing changed.
    ASSERT_TRUE(shapes.theme.FilterSelected());
    EXPECT_EQ(shapes.theme.GetShapeCount(), 3);

    CTheme empty;
    empty.AddToSelection(0, 0, 1, kRed);
    EXPECT_FALSE(empty.FilterSelected());
}

TEST(ThemeFilter, InvertFilterAndReset) {
    NativeShapes shapes(SHT_Point, 6);
    shapes.Select({1, 4});
    ASSERT_TRUE(shapes.theme.FilterSelected());
    shapes.ExpectConsistent();

    shapes.theme.m_ShapeStyles.clear();
    shapes.theme.m_Styles.clear();
    shapes.theme.InvertFilter();
    EXPECT_FALSE(shapes.theme.m_Styles.empty());
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{1, 4}));
    shapes.ExpectConsistent();
    shapes.theme.InvertFilter();
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_EQ(shapes.theme.GetFilteredShapeCount(), 2);
    shapes.ExpectConsistent();

    shapes.theme.ResetFilter();
    EXPECT_EQ(shapes.theme.GetFilteredShapeCount(), 0);
    shapes.ExpectConsistent();

    CTheme empty;
    EXPECT_EQ(empty.GetFilteredShapeCount(), 0);
    EXPECT_EQ(empty.GetShapeIndex(0), -1);
    EXPECT_EQ(empty.GetShapePosition(0), -1);
}

TEST(ThemeFilter, FilteredOutShapesHaveNoPosition) {
    NativeShapes shapes(SHT_Polygon, 5);
    shapes.Visible().erase(shapes.Visible().begin() + 2);
    shapes.theme.ResetShapePositions();
    EXPECT_EQ(shapes.theme.GetShapePosition(2), -1);
    const std::size_t mapped = shapes.theme.m_PositionByIndex.size();
    EXPECT_EQ(shapes.theme.GetShapePosition(2), -1);
    EXPECT_EQ(shapes.theme.m_PositionByIndex.size(), mapped);
    EXPECT_EQ(shapes.theme.GetShapePosition(99), -1);
    EXPECT_EQ(shapes.theme.GetShapeIndex(-1), -1);
    EXPECT_EQ(shapes.theme.GetShapeIndex(4), -1);
    EXPECT_EQ(shapes.theme.GetShapeIndex(2), 3);
}

// The stored-position fault: an entry that remembered where its shape stood
// when it was selected pointed at another shape after a sort, a filter or a
// deletion, and Delete or Copy then acted on that other shape.
TEST(ThemeSelection, SelectedShapesAreFoundAfterReorderingAndFiltering) {
    NativeShapes shapes(SHT_Polygon, 8);
    // The position passed in is deliberately wrong; it is not kept.
    shapes.theme.AddToSelection(6, 0, 2, kRed);
    shapes.Select({2});
    shapes.ExpectConsistent();

    // A sort reverses the visible list and resets the position map.
    std::reverse(shapes.Visible().begin(), shapes.Visible().end());
    shapes.theme.ResetShapePositions();
    EXPECT_EQ(GetShapeRecordIndex(shapes.theme.GetSelectedShape(0)), 6);
    shapes.ExpectConsistent();

    // An edit that reorders without resetting the map is caught too.
    std::reverse(shapes.Visible().begin(), shapes.Visible().end());
    EXPECT_EQ(GetShapeRecordIndex(shapes.theme.GetSelectedShape(0)), 6);
    EXPECT_EQ(GetShapeRecordIndex(shapes.theme.GetSelectedShape(1)), 2);
    shapes.ExpectConsistent();

    // The filter is inverted with the selection kept: both selected shapes
    // stay visible, the others go, and the selection still names them.
    shapes.theme.InvertFilter();
    EXPECT_TRUE(shapes.VisibleIndexes().empty());
    shapes.theme.InvertFilter();
    shapes.Select({0, 7});
    ASSERT_TRUE(shapes.theme.FilterSelected());
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{1, 3, 4, 5}));
    shapes.ExpectConsistent();

    // A selection made, then the filter inverted without clearing it: the
    // selected shapes are now filtered out and have no record to act on.
    shapes.Select({3, 5});
    shapes.theme.InvertFilter();
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{0, 2, 6, 7}));
    EXPECT_EQ(shapes.theme.GetSelectedShape(0), nullptr);
    shapes.ExpectConsistent();
    // Filtering the selection then removes nothing visible.
    ASSERT_TRUE(shapes.theme.FilterSelected());
    EXPECT_EQ(shapes.VisibleIndexes(), (std::vector<int>{0, 2, 6, 7}));
    shapes.ExpectConsistent();

    shapes.theme.ResetFilter();
    shapes.Select({4, 0});
    shapes.ExpectConsistent();
    // A shape removed from the visible list by an edit that forgot the map.
    shapes.Visible().erase(shapes.Visible().begin());
    EXPECT_EQ(shapes.theme.GetShapePosition(4), 3);
    EXPECT_EQ(GetShapeRecordIndex(shapes.theme.GetSelectedShape(0)), 4);
    EXPECT_EQ(shapes.theme.GetSelectedShape(1), nullptr);
    shapes.ExpectConsistent();
}
