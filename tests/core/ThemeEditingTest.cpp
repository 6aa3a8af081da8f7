// Adding, replacing and deleting records, and the conversion of themes into
// editable native ones. Every editing test checks the theme's invariants
// after each step (ExpectEditInvariants).

#include "core/Theme.h"

#include "TempDir.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/FileWriter.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>

namespace {

// Shape k of the tests lies at x = 10k: a point at (10k, 5k), a polyline or
// polygon square from (10k, 0) to (10k + 5, 5). Its ID cell holds k, so that
// every row can be checked against the shape it belongs to.
constexpr double kSpacing = 10.0;

int IdOf(const CShapeRecord* record) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const double x = type == SHT_Point || type == SHT_PointZ ? CShapeRecord::GetPoint(record, 0).x
                                                             : CShapeRecord::GetMinX(record);
    return static_cast<int>(std::lround(x / kSpacing));
}

Bytes MakeShape(std::uint32_t type, int id, double dy = 0.0) {
    const double x = kSpacing * id;
    switch (type) {
    case SHT_Point:
        return MakePoint(x, 5.0 * id + dy);
    case SHT_PointZ:
        return MakePointZ(x, 5.0 * id + dy, 100.0 + id, 0.0);
    default:
        return MakeMulti(
            type, {{{x, dy, 1}, {x, 5 + dy, 2}, {x + 5, 5 + dy, 3}, {x + 5, dy, 4}, {x, dy, 1}}});
    }
}

struct KindLists {
    std::vector<CShapeRecord*>* all;
    std::vector<CShapeRecord*>* visible;
    std::vector<std::unique_ptr<unsigned char[]>>* owned;
};

KindLists ListsOf(CTheme& theme) {
    if (theme.IsPointTheme())
        return {&theme.m_Points, &theme.m_VisiblePoints, &theme.m_OwnedPoints};
    if (theme.IsArcTheme())
        return {&theme.m_Arcs, &theme.m_VisibleArcs, &theme.m_OwnedArcs};
    return {&theme.m_Polygons, &theme.m_VisiblePolygons, &theme.m_OwnedPolygons};
}

// The box of a record (a point's box is the point).
CDoubleRect BoxOf(const CShapeRecord* record) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        return {p.x, p.y, p.x, p.y};
    }
    return {CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record),
            CShapeRecord::GetMaxX(record), CShapeRecord::GetMaxY(record)};
}

// What must hold after every edit of an editable native theme: record
// number = index + 1; every record owned, in list order; one row per shape,
// holding that shape's values; the visible list made of the theme's records,
// positions and shape indexes translating both ways, a style list no longer
// than it; selection entries naming live shapes with dense selection
// indexes; bounds equal to the records' extent; a spatial hash that lists
// only live records and finds every one of them.
void ExpectEditInvariants(CTheme& theme) {
    KindLists lists = ListsOf(theme);
    const std::vector<CShapeRecord*>& all = *lists.all;
    const std::vector<CShapeRecord*>& visible = *lists.visible;

    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(GetShapeRecordIndex(all[i]), static_cast<int>(i)) << "record number = index + 1";
    ASSERT_EQ(lists.owned->size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(CShapeRecord::FromBytes((*lists.owned)[i].get()), all[i])
            << "owned in list order, at " << i;
    ASSERT_EQ(theme.m_NativeTable.GetRowCount(), static_cast<int>(all.size()));
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(theme.GetAttributeText(static_cast<int>(i), 0), std::to_string(IdOf(all[i])))
            << "row " << i;

    const std::set<const CShapeRecord*> live(all.begin(), all.end());
    for (int p = 0; p < static_cast<int>(visible.size()); ++p) {
        const CShapeRecord* record = visible[static_cast<std::size_t>(p)];
        ASSERT_EQ(live.count(record), 1u) << "visible position " << p;
        EXPECT_TRUE(theme.IsShapeVisible(record));
        EXPECT_EQ(theme.GetShapePosition(theme.GetShapeIndex(p)), p);
        EXPECT_EQ(theme.GetAttributeTextAt(p, 0), std::to_string(IdOf(record)));
    }
    EXPECT_LE(theme.m_ShapeStyles.size(), visible.size());

    EXPECT_EQ(theme.m_SelectionCounter, static_cast<int>(theme.m_Selection.size()));
    std::set<int> order;
    for (const auto& entry : theme.m_Selection) {
        EXPECT_GE(entry.first, 0);
        EXPECT_LT(entry.first, static_cast<int>(all.size()))
            << "a selection entry names a deleted shape";
        order.insert(entry.second.m_SelectionIndex);
    }
    EXPECT_EQ(order.size(), theme.m_Selection.size());
    if (!order.empty()) {
        EXPECT_EQ(*order.begin(), 0);
        EXPECT_EQ(*order.rbegin(), static_cast<int>(order.size()) - 1);
    }

    ASSERT_EQ(theme.m_BoundsValid, !all.empty());
    if (!all.empty()) {
        CDoubleRect extent = BoxOf(all[0]);
        for (const CShapeRecord* record : all)
            ExtendDoubleRect(BoxOf(record), extent);
        EXPECT_EQ(theme.m_Bounds[0], extent.x1);
        EXPECT_EQ(theme.m_Bounds[1], extent.y1);
        EXPECT_EQ(theme.m_Bounds[2], extent.x2);
        EXPECT_EQ(theme.m_Bounds[3], extent.y2);
    }

    if (theme.m_SpatialIndex) {
        const CShapeAreaHashTable& hash = *theme.m_SpatialIndex;
        for (int c = 0; c < CShapeAreaHashTable::kColumns; ++c)
            for (int r = 0; r < CShapeAreaHashTable::kRows; ++r)
                for (const CShapeRecord* value : hash.GetCellAt(c, r).values)
                    ASSERT_EQ(live.count(value), 1u)
                        << "the hash lists a record the theme no longer has";
        for (int n = 0; n < hash.GetOutsideCount(); ++n)
            ASSERT_EQ(live.count(hash.GetOutsideEntry(n)), 1u);
        for (const CShapeRecord* record : all) {
            bool found = false;
            hash.ForEachCandidate(BoxOf(record), [&](const CShapeRecord* candidate) {
                found = candidate == record;
                return !found;
            });
            ASSERT_TRUE(found) << "record " << GetShapeRecordIndex(record)
                               << " missing from the hash";
        }
    }
}

// An editable native theme of the given type with an ID column, made the
// way the new-theme commands make one, holding shapes 0..n-1.
class EditableTheme {
public:
    explicit EditableTheme(std::uint32_t type, int n = 0, CTheme* target = nullptr)
        : theme(target != nullptr ? *target : m_Own) {
        theme.m_ShapeType = type;
        theme.m_LineWidth = 2;
        EXPECT_TRUE(theme.ConvertToNative(true, true));
        CAttributeFieldInfo id;
        id.m_Name = "ID";
        id.m_Type = FT_Int;
        id.m_Length = 8;
        EXPECT_EQ(theme.AddAttribute(id, nullptr, nullptr), 0);
        theme.ReserveShapes(n);
        for (int k = 0; k < n; ++k)
            Add(k, k + 1 == n);
        theme.m_Modified = false;
    }

    // Adds shape `id` as a copy and writes its ID cell.
    CShapeRecord* Add(int id, bool last = true, std::uint32_t type = 0) {
        Bytes record = MakeShape(type != 0 ? type : theme.m_ShapeType, id);
        CShapeRecord* added = theme.AddShape(Rec(record), last, last, false);
        if (added != nullptr)
            theme.SetAttributeText(GetShapeRecordIndex(added), 0, std::to_string(id), false);
        return added;
    }

    void Select(std::initializer_list<int> indexes) {
        for (int index : indexes)
            theme.AddToSelection(index, theme.GetShapePosition(index), 2, 0xFF);
    }

    std::vector<int> Ids() {
        std::vector<int> ids;
        for (const CShapeRecord* record : *ListsOf(theme).all)
            ids.push_back(IdOf(record));
        return ids;
    }

private:
    CTheme m_Own;

public:
    CTheme& theme;
};

// Saves and restores the Performance setting, which decides whether themes
// build their spatial hash.
class PerformanceSetting {
public:
    explicit PerformanceSetting(int value) : m_Old(CAppSettings::GetInstance()->m_Performance) {
        CAppSettings::GetInstance()->m_Performance = value;
    }
    ~PerformanceSetting() { CAppSettings::GetInstance()->m_Performance = m_Old; }
    PerformanceSetting(const PerformanceSetting&) = delete;
    PerformanceSetting& operator=(const PerformanceSetting&) = delete;

private:
    int m_Old;
};

// Polygon themes get a hash from this many visible shapes on.
constexpr int kHashPolygons = 3000;

} // namespace

// ---------------------------------------------------------------------------
// Adding
// ---------------------------------------------------------------------------

TEST(ThemeEditing, RecordNumbersFollowTheShapes) {
    EditableTheme points(SHT_Point);
    CShapeRecord* first = points.Add(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetShapeRecordIndex(first), 0) << "record number 1";
    ExpectEditInvariants(points.theme);
    CShapeRecord* second = points.Add(1);
    EXPECT_EQ(GetShapeRecordIndex(second), 1);
    EXPECT_TRUE(points.theme.m_Modified);
    ExpectEditInvariants(points.theme);

    ASSERT_TRUE(points.theme.DeleteShape(first));
    EXPECT_EQ(GetShapeRecordIndex(second), 0) << "renumbered to 1";
    EXPECT_EQ(points.theme.GetAttributeText(0, 0), "1") << "its row is row 0";
    ExpectEditInvariants(points.theme);
    EXPECT_EQ(points.theme.GetHighestShapeIndex(), 0);
}

TEST(ThemeEditing, EachKindTakesItsOwnFamily) {
    // AddShape dispatches by the record's type, so only AddArc called
    // directly turns polygons into polylines.
    enum Adder { Shape, Arc };
    struct Case {
        const char* name;
        std::uint32_t themeType;
        std::uint32_t recordType;
        Adder adder;
        bool adopt;
        std::uint32_t storedType; // 0: refused
        std::size_t storedSize;
    };
    const Case cases[] = {
        {"point", SHT_Point, SHT_Point, Shape, false, SHT_Point, 28},
        {"PointZ into a plain point theme", SHT_Point, SHT_PointZ, Shape, false, SHT_PointZ, 44},
        {"plain point into a PointZ theme", SHT_PointZ, SHT_Point, Shape, false, SHT_Point, 28},
        {"polyline", SHT_Polyline, SHT_Polyline, Shape, false, SHT_Polyline, 52 + 4 + 16 * 5},
        {"polygon into a polyline theme", SHT_Polyline, SHT_Polygon, Arc, false, SHT_Polyline,
         52 + 4 + 16 * 5},
        {"adopted polygon into a polyline theme", SHT_Polyline, SHT_Polygon, Arc, true,
         SHT_Polyline, 52 + 4 + 16 * 5},
        {"PolygonZ into a PolylineZ theme", SHT_PolylineZ, SHT_PolygonZ, Arc, false, SHT_PolylineZ,
         52 + 4 + 16 * 5 + 16 * 7},
        {"polygon", SHT_Polygon, SHT_Polygon, Shape, false, SHT_Polygon, 52 + 4 + 16 * 5},
        {"polygon into a polyline theme by its type", SHT_Polyline, SHT_Polygon, Shape, false, 0,
         0},
        {"polyline into a polygon theme", SHT_Polygon, SHT_Polyline, Shape, false, 0, 0},
        {"polygon into a point theme", SHT_Point, SHT_Polygon, Shape, false, 0, 0},
        {"point into a polyline theme", SHT_Polyline, SHT_Point, Arc, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditableTheme shapes(c.themeType, 2);
        const std::vector<int> before = shapes.Ids();
        Bytes source = MakeShape(c.recordType, 7);
        const Bytes original = source;
        unsigned char* adopted = nullptr;
        CShapeRecord* record = Rec(source);
        if (c.adopt) {
            adopted = new unsigned char[source.size()];
            std::copy(source.begin(), source.end(), adopted);
            record = CShapeRecord::FromBytes(adopted);
        }
        CShapeRecord* added = c.adder == Arc ? shapes.theme.AddArc(record, true, true, c.adopt)
                                             : shapes.theme.AddShape(record, true, true, c.adopt);
        if (c.storedType == 0) {
            EXPECT_EQ(added, nullptr);
            EXPECT_EQ(shapes.Ids(), before);
            EXPECT_FALSE(shapes.theme.m_Modified);
            EXPECT_EQ(shapes.theme.m_NativeTable.GetRowCount(), 2);
            delete[] adopted; // refused: still the caller's
            continue;
        }
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(CShapeRecord::GetShapeType(added), c.storedType);
        EXPECT_EQ(CShapeRecord::GetSize(added), c.storedSize);
        EXPECT_EQ(GetShapeRecordIndex(added), 2);
        if (c.adopt) {
            EXPECT_EQ(CShapeRecord::Bytes(added), adopted) << "the buffer itself";
        } else {
            EXPECT_NE(CShapeRecord::Bytes(added), source.data()) << "a copy";
            EXPECT_EQ(source, original) << "the caller's record is left alone";
        }
        // Parts and points are the source's; only number and type may differ.
        const unsigned char* bytes = CShapeRecord::Bytes(added);
        const unsigned char* from = c.adopt ? original.data() : source.data();
        EXPECT_TRUE(std::equal(bytes + 12, bytes + c.storedSize, from + 12));
        shapes.theme.SetAttributeText(2, 0, "7", false);
        ExpectEditInvariants(shapes.theme);
    }

    EditableTheme points(SHT_Point, 1);
    EXPECT_EQ(points.theme.AddShape(nullptr, true, true, false), nullptr);
    Bytes multipoint = MakePoint(1, 1);
    corvale::WriteLE32(multipoint.data() + 8, SHT_MultiPoint);
    EXPECT_EQ(points.theme.AddShape(Rec(multipoint), true, true, false), nullptr);
    CTheme noKind;
    Bytes point = MakePoint(1, 1);
    EXPECT_EQ(noKind.AddShape(Rec(point), true, true, false), nullptr);
}

TEST(ThemeEditing, AddPointAtMakesPlainPoints) {
    for (std::uint32_t type : {SHT_Point, SHT_PointZ}) {
        SCOPED_TRACE(type);
        EditableTheme points(type, 1);
        const bool zValid = points.theme.m_ZRangeValid;
        CShapeRecord* added = points.theme.AddPointAt(true, true, 30.0, 15.0);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(CShapeRecord::GetShapeType(added), static_cast<std::uint32_t>(SHT_Point));
        EXPECT_EQ(CShapeRecord::GetSize(added), 28u);
        EXPECT_EQ(CShapeRecord::GetPoint(added, 0), (CShapePoint{30.0, 15.0}));
        EXPECT_EQ(GetShapeRecordIndex(added), 1);
        EXPECT_EQ(points.theme.m_ZRangeValid, zValid) << "the Z range is not touched";
        points.theme.SetAttributeText(1, 0, "3", false);
        ExpectEditInvariants(points.theme);
    }
    EditableTheme polygons(SHT_Polygon, 1);
    EXPECT_EQ(polygons.theme.AddPointAt(true, true, 1.0, 1.0), nullptr);
    ExpectEditInvariants(polygons.theme);
}

TEST(ThemeEditing, HighestShapeIndex) {
    EditableTheme native(SHT_Polygon, 4);
    EXPECT_EQ(native.theme.GetHighestShapeIndex(), 3);
    EditableTheme empty(SHT_Point);
    EXPECT_EQ(empty.theme.GetHighestShapeIndex(), -1);

    // A theme of another source answers by the numbers its records carry,
    // and a shape added to it continues after the highest.
    CTheme loaded;
    loaded.m_ShapeType = SHT_Point;
    loaded.m_SourceType = ST_CustomLoader;
    std::vector<Bytes> records = {MakePoint(0, 0, 5), MakePoint(10, 0, 2), MakePoint(20, 0, 9)};
    for (Bytes& r : records)
        ASSERT_TRUE(loaded.AppendLoadedShape(Rec(r)));
    EXPECT_EQ(loaded.GetHighestShapeIndex(), 8);
    Bytes more = MakePoint(30, 0);
    CShapeRecord* added = loaded.AddPoint(Rec(more), true, true, false);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(GetShapeRecordIndex(added), 9);
    EXPECT_EQ(loaded.m_NativeTable.GetRowCount(), 0) << "rows only for native themes";

    CTheme image;
    image.m_ShapeType = SHT_Image;
    EXPECT_EQ(image.GetHighestShapeIndex(), -1);
}

TEST(ThemeEditing, StylesOfABatchAreDecidedWithItsLastShape) {
    // A rule draws the shapes whose ID is above 2 in its own style. Shapes
    // 2 to 5 are added with applyStyle false, shape 6 with it: the styles of
    // the whole batch are decided then, not only the last one's.
    EditableTheme shapes(SHT_Polygon, 2);
    CAdvancedProperty rule;
    rule.Condition = "ID > 2";
    shapes.theme.m_AdvancedProperties.m_Properties.push_back(rule);
    shapes.theme.UpdateStyles();
    ASSERT_EQ(shapes.theme.m_ShapeStyles.size(), 2u);
    CStyleInfo* defaultStyle = shapes.theme.m_Styles[0].get();
    CStyleInfo* ruleStyle = shapes.theme.m_Styles[1].get();
    for (int id = 2; id < 6; ++id) {
        Bytes record = MakeShape(SHT_Polygon, id);
        CShapeRecord* added = shapes.theme.AddShape(Rec(record), false, false, false);
        ASSERT_NE(added, nullptr);
        shapes.theme.SetAttributeText(GetShapeRecordIndex(added), 0, std::to_string(id), false);
    }
    EXPECT_EQ(shapes.theme.m_ShapeStyles.size(), 2u) << "not decided yet";
    Bytes last = MakeShape(SHT_Polygon, 6);
    ASSERT_NE(shapes.theme.AddPolygon(Rec(last), true, true, false), nullptr);
    ASSERT_EQ(shapes.theme.m_ShapeStyles.size(), 7u);
    EXPECT_EQ(shapes.theme.m_ShapeStyles[2], defaultStyle);
    for (std::size_t p = 3; p < 6; ++p)
        EXPECT_EQ(shapes.theme.m_ShapeStyles[p], ruleStyle) << p;
}

// ---------------------------------------------------------------------------
// Records delivered by a loader
// ---------------------------------------------------------------------------

TEST(ThemeEditing, AppendLoadedShape) {
    CTheme loaded;
    loaded.m_ShapeType = SHT_PointZ;
    loaded.m_SourceType = ST_CustomLoader;
    Bytes z = MakePointZ(1, 2, 30, 0);
    Bytes plain = MakePoint(5, 6);
    Bytes polygon = MakeShape(SHT_Polygon, 1);
    ASSERT_TRUE(loaded.AppendLoadedShape(Rec(z)));
    EXPECT_EQ(loaded.GetShape(0), Rec(z)) << "listed, not copied";
    EXPECT_TRUE(loaded.m_OwnedPoints.empty());
    ASSERT_TRUE(loaded.m_ZRangeValid);
    ASSERT_TRUE(loaded.AppendLoadedShape(Rec(plain)));
    // One rule with delivery and RecalculateBounds: a plain point in a
    // PointZ theme counts as z 0, as it is written.
    EXPECT_EQ(loaded.m_ZRange[0], 0.0);
    EXPECT_EQ(loaded.m_ZRange[1], 30.0);
    EXPECT_EQ(loaded.m_Bounds[2], 5.0);
    loaded.RecalculateBounds();
    EXPECT_EQ(loaded.m_ZRange[0], 0.0) << "recomputing gives what adding gave";
    EXPECT_EQ(loaded.m_ZRange[1], 30.0);
    EXPECT_TRUE(loaded.m_Modified);
    EXPECT_FALSE(loaded.AppendLoadedShape(Rec(polygon)));
    EXPECT_FALSE(loaded.AppendLoadedShape(nullptr));
    EXPECT_EQ(loaded.GetAllShapeCount(), 2);
    EXPECT_EQ(loaded.GetShapeCount(), 2);

    EditableTheme editable(SHT_Point, 1);
    Bytes point = MakePoint(1, 1);
    EXPECT_FALSE(editable.theme.AppendLoadedShape(Rec(point)));
    EXPECT_FALSE(editable.theme.m_Modified);
    ExpectEditInvariants(editable.theme);
}

TEST(ThemeEditing, AppendLoadedShapeLeavesWithTheHashWhateverTheAnswer) {
    PerformanceSetting performance(2);
    CTheme loaded;
    loaded.m_ShapeType = SHT_Polygon;
    loaded.m_SourceType = ST_CustomLoader;
    std::vector<Bytes> records;
    records.reserve(kHashPolygons);
    for (int k = 0; k < kHashPolygons; ++k)
        records.push_back(MakeShape(SHT_Polygon, k));
    for (Bytes& r : records)
        ASSERT_TRUE(loaded.AppendLoadedShape(Rec(r)));
    ASSERT_NE(loaded.m_SpatialIndex, nullptr);
    Bytes point = MakePoint(1, 1);
    EXPECT_FALSE(loaded.AppendLoadedShape(Rec(point)));
    EXPECT_NE(loaded.m_SpatialIndex, nullptr) << "rebuilt after the refusal";
}

// ---------------------------------------------------------------------------
// Replacing
// ---------------------------------------------------------------------------

TEST(ThemeEditing, ReplaceShapePutsACopyInPlace) {
    EditableTheme shapes(SHT_Polygon, 4);
    CShapeRecord* old = shapes.theme.GetShape(2);
    Bytes moved = MakeShape(SHT_Polygon, 2, 7.0);
    SetShapeRecordIndex(Rec(moved), 40);
    CShapeRecord* copy = shapes.theme.ReplaceShape(Rec(moved), old);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(CShapeRecord::Bytes(copy), moved.data());
    EXPECT_EQ(GetShapeRecordIndex(copy), 2) << "keeps the old record's number";
    EXPECT_EQ(shapes.theme.m_Polygons[2], copy);
    EXPECT_EQ(shapes.theme.GetShape(2), copy);
    EXPECT_EQ(CShapeRecord::GetMinY(copy), 7.0);
    EXPECT_FALSE(shapes.theme.m_Modified) << "left to the caller";
    shapes.theme.RecalculateBounds(); // as the callers do
    ExpectEditInvariants(shapes.theme);
}

TEST(ThemeEditing, ReplaceShapeRefusals) {
    EditableTheme other(SHT_Polygon, 2);
    struct Case {
        const char* name;
        std::uint32_t themeType;
        std::uint32_t newType;
        bool editable;
        bool foreignOld;
    };
    const Case cases[] = {
        {"read-only theme", SHT_Polygon, SHT_Polygon, false, false},
        {"point theme", SHT_Point, SHT_Point, true, false},
        {"another type than the theme's", SHT_Polygon, SHT_PolygonZ, true, false},
        {"a polyline into a polygon theme", SHT_Polygon, SHT_Polyline, true, false},
        {"a record of another theme", SHT_Polygon, SHT_Polygon, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditableTheme shapes(c.themeType, 3);
        shapes.theme.m_Editable = c.editable;
        Bytes replacement = MakeShape(c.newType, 1, 3.0);
        CShapeRecord* old = c.foreignOld ? other.theme.GetShape(1) : shapes.theme.GetShape(1);
        const std::vector<CShapeRecord*> before = *ListsOf(shapes.theme).all;
        EXPECT_EQ(shapes.theme.ReplaceShape(Rec(replacement), old), nullptr);
        EXPECT_EQ(*ListsOf(shapes.theme).all, before);
        shapes.theme.m_Editable = true;
        ExpectEditInvariants(shapes.theme);
    }
    EXPECT_EQ(other.theme.ReplaceShape(nullptr, other.theme.GetShape(0)), nullptr);
    Bytes replacement = MakeShape(SHT_Polygon, 1);
    EXPECT_EQ(other.theme.ReplaceShape(Rec(replacement), nullptr), nullptr);
    ExpectEditInvariants(other.theme);
}

TEST(ThemeEditing, ReplaceShapeKeepsTheHashInStep) {
    PerformanceSetting performance(2);
    EditableTheme shapes(SHT_Polygon, kHashPolygons);
    ASSERT_NE(shapes.theme.m_SpatialIndex, nullptr);
    ExpectEditInvariants(shapes.theme);
    const CShapeAreaHashTable* hash = shapes.theme.m_SpatialIndex.get();
    Bytes moved = MakeShape(SHT_Polygon, 100, 2.0);
    CShapeRecord* copy = shapes.theme.ReplaceShape(Rec(moved), shapes.theme.GetShape(100));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(shapes.theme.m_SpatialIndex.get(), hash) << "updated in place, not rebuilt";
    shapes.theme.RecalculateBounds();
    ExpectEditInvariants(shapes.theme);
}

TEST(ThemeEditing, ReplaceShapePointsChildThemesAtTheCopy) {
    PerformanceSetting performance(2);
    EditableTheme parent(SHT_Polygon, kHashPolygons);
    // A child made from a selection, and a grandchild made from the child:
    // both list the parent's record pointers.
    CTheme child;
    CTheme grandchild;
    for (CTheme* derived : {&child, &grandchild}) {
        derived->m_ShapeType = SHT_Polygon;
        derived->m_SourceType = ST_ParentTheme;
        derived->m_Polygons = parent.theme.m_Polygons;
        derived->ResetFilter();
        derived->RecalculateBounds();
        derived->BuildSpatialIndex();
        ASSERT_NE(derived->m_SpatialIndex, nullptr);
    }
    child.m_ParentTheme = &parent.theme;
    parent.theme.AddChildTheme(&child);
    grandchild.m_ParentTheme = &child;
    child.AddChildTheme(&grandchild);

    CShapeRecord* old = parent.theme.GetShape(5);
    Bytes moved = MakeShape(SHT_Polygon, 5, -50.0);
    CShapeRecord* copy = parent.theme.ReplaceShape(Rec(moved), old);
    ASSERT_NE(copy, nullptr);
    for (CTheme* derived : {&child, &grandchild}) {
        EXPECT_EQ(derived->m_Polygons[5], copy);
        EXPECT_EQ(derived->GetShape(5), copy);
        EXPECT_EQ(derived->m_Bounds[1], -50.0) << "bounds follow the copy";
        bool found = false;
        derived->m_SpatialIndex->ForEachCandidate(BoxOf(copy), [&](const CShapeRecord* r) {
            found = r == copy;
            return !found;
        });
        EXPECT_TRUE(found);
        // Reading every record of the child touches no freed memory.
        for (const CShapeRecord* r : derived->m_Polygons)
            EXPECT_EQ(CShapeRecord::GetShapeType(r), static_cast<std::uint32_t>(SHT_Polygon));
    }
    parent.theme.RemoveChildTheme(&child);
    child.m_ParentTheme = nullptr;
    child.RemoveChildTheme(&grandchild);
    grandchild.m_ParentTheme = nullptr;
}

// ---------------------------------------------------------------------------
// Deleting
// ---------------------------------------------------------------------------

TEST(ThemeEditing, DeleteSelectedShapes) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<int> selected;  // shape indexes
        std::vector<int> remaining; // ids in order
    };
    const Case cases[] = {
        {"shapes 2 and 4 of five", SHT_Polygon, {1, 3}, {0, 2, 4}},
        {"the first and the last", SHT_Point, {0, 4}, {1, 2, 3}},
        {"everything", SHT_Polyline, {0, 1, 2, 3, 4}, {}},
        {"nothing", SHT_Point, {}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvale::CScriptedUserInterface ui;
        EditableTheme shapes(c.type, 5);
        for (int index : c.selected)
            shapes.Select({index});
        shapes.theme.m_SelectionArea = std::make_unique<unsigned char[]>(16);
        ASSERT_TRUE(shapes.theme.DeleteSelectedShapes());
        EXPECT_EQ(shapes.Ids(), c.remaining);
        EXPECT_TRUE(shapes.theme.m_Selection.empty());
        EXPECT_EQ(shapes.theme.m_SelectionArea, nullptr);
        EXPECT_TRUE(shapes.theme.m_Modified);
        ASSERT_FALSE(ui.progress.empty());
        EXPECT_EQ(ui.progress.front(), -1);
        EXPECT_EQ(ui.progress.back(), -2);
        ExpectEditInvariants(shapes.theme);
    }
}

TEST(ThemeEditing, DeleteSelectedShapesClosesTheStyleListWithTheVisibleList) {
    EditableTheme shapes(SHT_Polygon, 6);
    // Styles are only compared, never drawn here.
    std::vector<CStyleInfo*> styles;
    for (std::uintptr_t p = 0; p < 6; ++p)
        styles.push_back(reinterpret_cast<CStyleInfo*>(0x1000 + 0x10 * p));
    shapes.theme.m_ShapeStyles = styles;
    // Shape 4 is filtered out; its selection survives the filter change.
    shapes.Select({4});
    ASSERT_TRUE(shapes.theme.FilterSelected());
    shapes.theme.m_ShapeStyles = {styles[0], styles[1], styles[2], styles[3], styles[5]};
    shapes.Select({1, 4, 5});
    ASSERT_TRUE(shapes.theme.DeleteSelectedShapes());
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(shapes.theme.m_ShapeStyles,
              (std::vector<CStyleInfo*>{styles[0], styles[2], styles[3]}));
    ExpectEditInvariants(shapes.theme);
}

TEST(ThemeEditing, DeletesAreRefusedWhereRecordsAreNotTheThemesToFree) {
    struct Case {
        const char* name;
        std::uint32_t source;
        bool editable;
        bool child;
    };
    const Case cases[] = {
        {"read-only", ST_Native, false, false},
        {"not native", ST_ShapeFile, true, false},
        {"with a child theme", ST_Native, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditableTheme shapes(SHT_Polygon, 3);
        CTheme child;
        shapes.theme.m_Editable = c.editable;
        shapes.theme.m_SourceType = c.source;
        if (c.child)
            shapes.theme.AddChildTheme(&child);
        shapes.Select({1});
        EXPECT_FALSE(shapes.theme.DeleteSelectedShapes());
        EXPECT_FALSE(shapes.theme.DeleteShape(shapes.theme.GetShape(1)));
        EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(shapes.theme.m_Selection.size(), 1u);
        EXPECT_FALSE(shapes.theme.m_Modified);
        shapes.theme.RemoveChildTheme(&child);
        shapes.theme.m_Editable = true;
        shapes.theme.m_SourceType = ST_Native;
        ExpectEditInvariants(shapes.theme);
    }
}

TEST(ThemeEditing, DeleteShapeMovesTheSelectionDown) {
    EditableTheme shapes(SHT_Point, 6);
    std::vector<CStyleInfo*> styles;
    for (std::uintptr_t p = 0; p < 6; ++p)
        styles.push_back(reinterpret_cast<CStyleInfo*>(0x1000 + 0x10 * p));
    shapes.theme.m_ShapeStyles = styles;
    shapes.Select({5, 2, 0, 3}); // selection indexes 0, 1, 2, 3
    ASSERT_TRUE(shapes.theme.DeleteShape(shapes.theme.GetShape(2)));
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 3, 4, 5}));
    // Shape 5 is now 4, shape 3 is now 2; the deleted entry's successors
    // close the gap in the selection order.
    EXPECT_EQ(shapes.theme.m_SelectionCounter, 3);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(4), 0);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(0), 1);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(2), 2);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(3), -1);
    EXPECT_EQ(shapes.theme.m_ShapeStyles,
              (std::vector<CStyleInfo*>{styles[0], styles[1], styles[3], styles[4], styles[5]}));
    EXPECT_TRUE(shapes.theme.m_Modified);
    ExpectEditInvariants(shapes.theme);

    // A record of another theme, or none, is refused untouched.
    EditableTheme other(SHT_Point, 3);
    EXPECT_FALSE(shapes.theme.DeleteShape(other.theme.GetShape(1)));
    EXPECT_FALSE(shapes.theme.DeleteShape(nullptr));
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 3, 4, 5}));
    ExpectEditInvariants(other.theme);
}

TEST(ThemeEditing, MoveShapeCarriesRowStyleAndSelection) {
    struct Case {
        int from;
        int newIndex;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {4, 1, {0, 4, 1, 2, 3}}, // towards the front: put in at the index
        {1, 4, {0, 2, 3, 1, 4}}, // towards the end: before the shape at the index
        {1, 5, {0, 2, 3, 4, 1}}, // the count puts it last
        {0, 0, {0, 1, 2, 3, 4}}, // where it stands: nothing moves
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.newIndex));
        EditableTheme shapes(SHT_Polyline, 5);
        std::vector<CStyleInfo*> styles;
        for (std::uintptr_t p = 0; p < 5; ++p)
            styles.push_back(reinterpret_cast<CStyleInfo*>(0x1000 + 0x10 * p));
        shapes.theme.m_ShapeStyles = styles;
        shapes.Select({c.from, 3}); // selection indexes 0 and 1 (or one entry)
        ASSERT_TRUE(shapes.theme.MoveShape(shapes.theme.GetShape(c.from), c.newIndex, true));
        EXPECT_EQ(shapes.Ids(), c.ids);
        // Every selected shape keeps its entry under its new index.
        for (int index = 0; index < 5; ++index) {
            const int id = c.ids[static_cast<std::size_t>(index)];
            EXPECT_EQ(shapes.theme.GetSelectionIndex(index) >= 0, id == c.from || id == 3)
                << "index " << index;
            EXPECT_EQ(shapes.theme.m_ShapeStyles[static_cast<std::size_t>(index)],
                      styles[static_cast<std::size_t>(id)]);
        }
        EXPECT_EQ(shapes.theme.m_Modified, c.from != c.newIndex);
        ExpectEditInvariants(shapes.theme);
    }
}

TEST(ThemeEditing, MoveShapeRefusals) {
    EditableTheme shapes(SHT_Polygon, 3);
    EditableTheme other(SHT_Polygon, 3);
    EXPECT_FALSE(shapes.theme.MoveShape(other.theme.GetShape(0), 1, false));
    EXPECT_FALSE(shapes.theme.MoveShape(nullptr, 1, false));
    EXPECT_FALSE(shapes.theme.MoveShape(shapes.theme.GetShape(0), 4, false));
    EXPECT_FALSE(shapes.theme.MoveShape(shapes.theme.GetShape(0), -1, false));
    // No place in the drawing order while shapes are filtered out.
    shapes.Select({2});
    ASSERT_TRUE(shapes.theme.FilterSelected());
    EXPECT_FALSE(shapes.theme.MoveShape(shapes.theme.GetShape(0), 2, false));
    shapes.theme.ResetFilter();
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(shapes.theme.m_Modified);
    ExpectEditInvariants(shapes.theme);
}

// ---------------------------------------------------------------------------
// Sorting and moving the selection in the drawing order
// ---------------------------------------------------------------------------

namespace {

// Adds a column of the given type to a theme made by EditableTheme and
// fills it, shape k getting values[k]; returns the column.
int AddValues(CTheme& theme, std::int32_t type, const std::vector<std::string>& values) {
    CAttributeFieldInfo info;
    info.m_Name = "V";
    info.m_Type = type;
    info.m_Length = 20;
    info.m_Decimals = type == FT_Double ? 4 : 0;
    const int field = theme.AddAttribute(info, nullptr, nullptr);
    for (std::size_t k = 0; k < values.size(); ++k)
        if (!values[k].empty()) {
            EXPECT_TRUE(theme.SetAttributeText(static_cast<int>(k), field, values[k], false));
        }
    theme.m_Modified = false;
    return field;
}

std::vector<CStyleInfo*> FakeStyles(int count) {
    std::vector<CStyleInfo*> styles;
    for (std::uintptr_t p = 0; p < static_cast<std::uintptr_t>(count); ++p)
        styles.push_back(reinterpret_cast<CStyleInfo*>(0x1000 + 0x10 * p));
    return styles;
}

} // namespace

TEST(ThemeEditing, SortShapesOrdersByTheColumnType) {
    struct Case {
        const char* what;
        std::int32_t type;
        std::vector<std::string> values;
        bool descending;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"integers by value", FT_Int, {"10", "9", "100"}, false, {1, 0, 2}},
        {"the same texts byte by byte", FT_String, {"10", "9", "100"}, false, {0, 2, 1}},
        {"integers wider than 32 bits", FT_Int, {"9999999999", "3000000000", "12", "-3000000000"}, false,
         {3, 2, 1, 0}},
        {"integers read from the front, none is 0", FT_Int, {"-5", " 7", "abc", "3x"}, false, {0, 2, 3, 1}},
        {"doubles", FT_Double, {"1.5", "1e1", "-2", "abc"}, false, {2, 3, 0, 1}},
        {"a nan cell before the numbers", FT_Double, {"1", "nan", "0"}, false, {1, 2, 0}},
        {"equal values keep their order", FT_Int, {"2", "1", "2", "1"}, false, {1, 3, 0, 2}},
        {"equal values keep their order descending", FT_Int, {"2", "1", "2", "1"}, true, {0, 2, 1, 3}},
        {"descending text, a missing value as empty", FT_String, {"b", "", "a"}, true, {0, 2, 1}},
        {"text is case-sensitive", FT_String, {"a", "B", "b"}, false, {1, 0, 2}},
        {"dates as text", FT_Date, {"20240102", "20231231"}, false, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditableTheme shapes(SHT_Point, static_cast<int>(c.values.size()));
        const int field = AddValues(shapes.theme, c.type, c.values);
        const std::vector<CStyleInfo*> styles = FakeStyles(static_cast<int>(c.values.size()));
        shapes.theme.m_ShapeStyles = styles;
        ASSERT_TRUE(shapes.theme.SortShapes(field, c.descending));
        EXPECT_EQ(shapes.Ids(), c.ids);
        for (std::size_t k = 0; k < c.ids.size(); ++k) {
            const int id = c.ids[k];
            EXPECT_EQ(shapes.theme.GetAttributeText(static_cast<int>(k), field),
                      c.values[static_cast<std::size_t>(id)]);
            EXPECT_EQ(shapes.theme.m_ShapeStyles[k], styles[static_cast<std::size_t>(id)]);
        }
        EXPECT_TRUE(shapes.theme.m_Modified);
        ExpectEditInvariants(shapes.theme);
    }
}

TEST(ThemeEditing, SelectionFollowsItsShapesThroughASort) {
    EditableTheme shapes(SHT_Polyline, 4);
    const int field = AddValues(shapes.theme, FT_Int, {"40", "30", "20", "10"});
    shapes.Select({0, 3}); // shape 0 selected first, shape 3 second
    ASSERT_TRUE(shapes.theme.SortShapes(field, false));
    ASSERT_EQ(shapes.Ids(), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(shapes.theme.GetSelectionIndex(3), 0); // shape 0
    EXPECT_EQ(shapes.theme.GetSelectionIndex(0), 1); // shape 3
    EXPECT_EQ(shapes.theme.GetSelectionIndex(1), -1);
    EXPECT_EQ(shapes.theme.GetSelectionIndex(2), -1);
    ExpectEditInvariants(shapes.theme);
    // A later Delete takes the shapes the user selected.
    ASSERT_TRUE(shapes.theme.DeleteSelectedShapes());
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{2, 1}));
    ExpectEditInvariants(shapes.theme);
}

TEST(ThemeEditing, MoveSelectionToTopOrBottom) {
    struct Case {
        const char* what;
        bool toTop;
        std::vector<int> selected; // in selection order
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"to the top", true, {3, 1}, {0, 2, 4, 1, 3}},
        {"to the bottom", false, {3, 1}, {1, 3, 0, 2, 4}},
        {"nothing selected", true, {}, {0, 1, 2, 3, 4}},
        {"everything selected", false, {4, 0, 1, 2, 3}, {0, 1, 2, 3, 4}},
        {"already on top", true, {4}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditableTheme shapes(SHT_Polygon, 5);
        const std::vector<CStyleInfo*> styles = FakeStyles(5);
        shapes.theme.m_ShapeStyles = styles;
        for (int index : c.selected)
            shapes.Select({index});
        std::vector<CShapePoint> outline = {{0, 0}, {0, 1}, {1, 1}, {0, 0}};
        shapes.theme.SetSelectionArea(&outline);
        ASSERT_TRUE(c.toTop ? shapes.theme.MoveSelectionToTop() : shapes.theme.MoveSelectionToBottom());
        EXPECT_EQ(shapes.Ids(), c.ids);
        EXPECT_EQ(shapes.theme.m_SelectionArea, nullptr);
        // The moved shapes stay selected, their selection order now their
        // drawing order.
        int next = 0;
        for (int index = 0; index < 5; ++index) {
            const int id = c.ids[static_cast<std::size_t>(index)];
            const bool wasSelected =
                std::find(c.selected.begin(), c.selected.end(), id) != c.selected.end();
            EXPECT_EQ(shapes.theme.GetSelectionIndex(index), wasSelected ? next : -1) << "index " << index;
            if (wasSelected)
                ++next;
            EXPECT_EQ(shapes.theme.m_ShapeStyles[static_cast<std::size_t>(index)],
                      styles[static_cast<std::size_t>(id)]);
        }
        EXPECT_EQ(shapes.theme.m_SelectionCounter, static_cast<int>(c.selected.size()));
        ExpectEditInvariants(shapes.theme);
        // A later Delete takes the shapes the user selected.
        ASSERT_TRUE(shapes.theme.DeleteSelectedShapes());
        for (int id : shapes.Ids())
            EXPECT_EQ(std::find(c.selected.begin(), c.selected.end(), id), c.selected.end()) << id;
        EXPECT_EQ(shapes.theme.GetShapeCount(), 5 - static_cast<int>(c.selected.size()));
    }
}

TEST(ThemeEditing, ReorderingAHashedThemeKeepsTheHashInStep) {
    PerformanceSetting performance(2);
    EditableTheme shapes(SHT_Polygon, kHashPolygons + 5);
    shapes.theme.BuildSpatialIndex();
    ASSERT_TRUE(shapes.theme.SortShapes(0, true));
    ExpectEditInvariants(shapes.theme);
    shapes.Select({0, 7});
    ASSERT_TRUE(shapes.theme.MoveSelectionToBottom());
    ExpectEditInvariants(shapes.theme);
    ASSERT_TRUE(shapes.theme.MoveSelectionToTop());
    ExpectEditInvariants(shapes.theme);
}

TEST(ThemeEditing, ReorderingRefusals) {
    // Filtered-out shapes have no place in the drawing order.
    EditableTheme filtered(SHT_Point, 3);
    const int field = AddValues(filtered.theme, FT_Int, {"3", "2", "1"});
    filtered.Select({2});
    ASSERT_TRUE(filtered.theme.FilterSelected());
    EXPECT_FALSE(filtered.theme.SortShapes(field, false));
    EXPECT_FALSE(filtered.theme.MoveSelectionToTop());
    EXPECT_FALSE(filtered.theme.MoveSelectionToBottom());
    filtered.theme.ResetFilter();
    EXPECT_EQ(filtered.Ids(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(filtered.theme.m_Modified);

    // Columns outside the table.
    EditableTheme shapes(SHT_Point, 3);
    EXPECT_FALSE(shapes.theme.SortShapes(-1, false));
    EXPECT_FALSE(shapes.theme.SortShapes(1, false));
    EXPECT_FALSE(shapes.theme.m_Modified);

    // A child theme reads the records by their numbers.
    CTheme child;
    shapes.theme.m_ChildThemes.push_back(&child);
    shapes.Select({0});
    EXPECT_FALSE(shapes.theme.SortShapes(0, true));
    EXPECT_FALSE(shapes.theme.MoveSelectionToTop());
    shapes.theme.m_ChildThemes.clear();
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 2}));

    // A theme whose data the program does not own.
    CTheme empty;
    empty.m_ShapeType = SHT_Point;
    EXPECT_FALSE(empty.SortShapes(0, false));
    EXPECT_FALSE(empty.MoveSelectionToBottom());
}

// ---------------------------------------------------------------------------
// Sequences of edits
// ---------------------------------------------------------------------------

namespace {

// Runs a fixed pseudo-random sequence of edits, checking the invariants
// after each one.
void RunEditSequence(std::uint32_t type, int initial, int steps) {
    EditableTheme shapes(type, initial);
    ExpectEditInvariants(shapes.theme);
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % bound);
    };
    int nextId = initial;
    for (int step = 0; step < steps; ++step) {
        const int count = shapes.theme.GetAllShapeCount();
        const int op = next(7);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        switch (op) {
        case 0: // a batch of adds, the last one updating index and styles
            shapes.theme.ReserveShapes(3);
            for (int k = 0; k < 3; ++k)
                ASSERT_NE(shapes.Add(nextId++, k == 2), nullptr);
            break;
        case 1: // delete a few selected shapes
            for (int k = 0; k < 3 && count > 0; ++k)
                shapes.Select({next(static_cast<std::uint32_t>(count))});
            ASSERT_TRUE(shapes.theme.DeleteSelectedShapes());
            break;
        case 2: // delete one shape, with others selected around it
            if (count > 1) {
                shapes.Select({next(static_cast<std::uint32_t>(count))});
                ASSERT_TRUE(shapes.theme.DeleteShape(
                    shapes.theme.GetAllShape(next(static_cast<std::uint32_t>(count)))));
            }
            break;
        case 3: // replace a shape by a moved copy of itself
            if (count > 0 && !shapes.theme.IsPointTheme()) {
                CShapeRecord* old =
                    shapes.theme.GetAllShape(next(static_cast<std::uint32_t>(count)));
                Bytes moved = MakeShape(shapes.theme.m_ShapeType, IdOf(old), next(20) - 10.0);
                ASSERT_NE(shapes.theme.ReplaceShape(Rec(moved), old), nullptr);
                shapes.theme.RecalculateBounds();
            } else if (shapes.theme.IsPointTheme()) {
                CShapeRecord* added = shapes.theme.AddPointAt(true, true, kSpacing * nextId, 1.0);
                ASSERT_NE(added, nullptr);
                shapes.theme.SetAttributeText(GetShapeRecordIndex(added), 0,
                                              std::to_string(nextId++), false);
            }
            break;
        case 4: // filter some shapes out, then select across the filter
            if (count > 2) {
                shapes.Select({next(static_cast<std::uint32_t>(count))});
                ASSERT_TRUE(shapes.theme.FilterSelected());
                shapes.Select({next(static_cast<std::uint32_t>(count))});
            }
            break;
        case 5: // move a shape, with others selected around it
            if (count > 1 && shapes.theme.GetFilteredShapeCount() == 0) {
                shapes.Select({next(static_cast<std::uint32_t>(count))});
                ASSERT_TRUE(shapes.theme.MoveShape(
                    shapes.theme.GetAllShape(next(static_cast<std::uint32_t>(count))),
                    next(static_cast<std::uint32_t>(count + 1)), true));
            }
            break;
        default:
            shapes.theme.ResetFilter();
            break;
        }
        ExpectEditInvariants(shapes.theme);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

} // namespace

TEST(ThemeEditing, EditSequencesKeepEveryInvariant) {
    RunEditSequence(SHT_Point, 8, 200);
    RunEditSequence(SHT_PolylineZ, 8, 120);
}

TEST(ThemeEditing, EditSequencesOfAHashedThemeKeepTheHashInStep) {
    PerformanceSetting performance(2);
    RunEditSequence(SHT_Polygon, kHashPolygons + 5, 25);
}

// ---------------------------------------------------------------------------
// Conversion to native
// ---------------------------------------------------------------------------

namespace {

// A shape-file trio in a scratch folder: polygons 0..n-1 with a NAME and a
// VALUE column.
std::string WriteTrio(const TempDir& dir, int n) {
    const std::string stem = dir.file("parcels");
    std::vector<Bytes> records;
    std::vector<const CShapeRecord*> pointers;
    for (int k = 0; k < n; ++k)
        records.push_back(MakeShape(SHT_Polygon, k));
    for (const Bytes& r : records)
        pointers.push_back(Rec(r));
    CFileWriter shp;
    CFileWriter shx;
    EXPECT_TRUE(shp.Open((stem + ".shp").c_str()));
    EXPECT_TRUE(shx.Open((stem + ".shx").c_str()));
    EXPECT_TRUE(WriteShapeFile(shp, &shx, SHT_Polygon, pointers.size(), pointers.data()));
    EXPECT_TRUE(shp.Close());
    EXPECT_TRUE(shx.Close());

    std::vector<CAttributeFieldInfo> fields(2);
    fields[0].m_Name = "NAME";
    fields[0].m_Length = 12;
    fields[1].m_Name = "VALUE";
    fields[1].m_Type = FT_Int;
    fields[1].m_Length = 6;
    CFileWriter dbf;
    EXPECT_TRUE(dbf.Open((stem + ".dbf").c_str()));
    EXPECT_TRUE(CdBaseFile::WriteHeader(fields, &dbf, static_cast<std::uint32_t>(n)));
    for (int k = 0; k < n; ++k) {
        std::vector<CAttributeFieldValue> values(2);
        values[0].m_Text = "parcel " + std::to_string(k);
        values[0].m_Length = 12;
        values[1].m_Text = std::to_string(100 * k);
        values[1].m_Length = 6;
        values[1].m_Type = FT_Int;
        EXPECT_TRUE(CdBaseFile::WriteRecord(fields, &dbf, values));
    }
    const unsigned char end = 0x1A;
    dbf.Write(&end, 1);
    EXPECT_TRUE(dbf.Close());
    return stem + ".shp";
}

} // namespace

// A record the theme does not hold in a buffer of its own (one read from
// its file) is replaced by a copy the theme then owns; making room for that
// copy must not leave the replacement reading freed memory.
TEST(ThemeEditing, ReplaceShapeOfARecordTheThemeDoesNotOwn) {
    corvale::CScriptedUserInterface ui;
    TempDir dir;
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(WriteTrio(dir, 5)));
    theme.m_Editable = true;
    for (int i = 0; i < 5; ++i) {
        Bytes moved = MakeShape(SHT_Polygon, i, 30.0 + i);
        CShapeRecord* copy = theme.ReplaceShape(Rec(moved), theme.GetShape(i));
        ASSERT_NE(copy, nullptr) << i;
        EXPECT_EQ(theme.GetShape(i), copy);
        EXPECT_EQ(CShapeRecord::GetMinY(copy), CShapeRecord::GetMinY(Rec(moved)));
    }
    // Replaced again: now its own buffer is swapped out.
    Bytes again = MakeShape(SHT_Polygon, 0, 77.0);
    CShapeRecord* copy = theme.ReplaceShape(Rec(again), theme.GetShape(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(CShapeRecord::GetMinY(copy), CShapeRecord::GetMinY(Rec(again)));
}

TEST(ThemeEditing, ConvertAShapeFileTheme) {
    corvale::CScriptedUserInterface ui;
    TempDir dir;
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(WriteTrio(dir, 5)));
    theme.m_Modified = false;

    // With a filter applied the conversion is refused and nothing changes.
    theme.AddToSelection(1, 1, 2, 0xFF);
    ASSERT_TRUE(theme.FilterSelected());
    EXPECT_FALSE(theme.ConvertToNative(true, false));
    EXPECT_EQ(theme.m_SourceType, ST_ShapeFile);
    EXPECT_FALSE(theme.m_Editable);
    EXPECT_FALSE(theme.m_Modified);
    EXPECT_EQ(theme.m_NativeTable.GetFieldCount(), 0);

    theme.ResetFilter();
    theme.AddToSelection(3, 3, 2, 0xFF);
    theme.AddToSelection(0, 0, 2, 0xFF);
    const unsigned char* mapped = theme.m_ShpReader.GetData();
    const std::uint64_t mappedSize = theme.m_ShpReader.GetSize();
    ui.progress.clear();
    ASSERT_TRUE(theme.ConvertToNative(true, false));
    EXPECT_EQ(theme.m_SourceType, ST_Native);
    EXPECT_EQ(theme.m_FormerSourceType, ST_ShapeFile);
    EXPECT_TRUE(theme.m_Editable);
    EXPECT_TRUE(theme.m_Modified);
    EXPECT_FALSE(theme.m_ShpReader.IsOpen());
    EXPECT_FALSE(theme.m_ShxReader.IsOpen());
    EXPECT_FALSE(theme.m_DbfReader.IsOpen());
    for (const CShapeRecord* record : theme.m_Polygons) {
        const unsigned char* bytes = CShapeRecord::Bytes(record);
        EXPECT_FALSE(bytes >= mapped && bytes < mapped + mappedSize) << "copied out of the mapping";
    }
    EXPECT_EQ(ui.progress, (std::vector<int>{-1, 0, 20, 40, 60, 80, -2}));

    // The attributes now come from the native table.
    ASSERT_EQ(theme.GetAttributeCount(), 2u);
    EXPECT_EQ(theme.GetAttributeName(0), "NAME");
    EXPECT_EQ(theme.GetAttributeType(1), FT_Int);
    EXPECT_FALSE(theme.m_NativeTable.GetDefault(0).has_value());
    EXPECT_FALSE(theme.m_NativeTable.GetDescription(1).has_value());
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(theme.m_NativeTable.GetValue(0, k), "parcel " + std::to_string(k));
        EXPECT_EQ(theme.m_NativeTable.GetValue(1, k), std::to_string(100 * k));
    }
    // The selection came along, order kept.
    EXPECT_EQ(theme.GetSelectionIndex(3), 0);
    EXPECT_EQ(theme.GetSelectionIndex(0), 1);
    EXPECT_EQ(theme.m_SelectionCounter, 2);

    // The NAME column is the test's ID column no longer; renumbering and
    // rows are checked through VALUE instead.
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(GetShapeRecordIndex(theme.m_Polygons[static_cast<std::size_t>(k)]), k);
    theme.ClearSelection();
    theme.AddToSelection(2, 2, 2, 0xFF);
    ASSERT_TRUE(theme.DeleteSelectedShapes());
    EXPECT_EQ(theme.GetAttributeText(2, 1), "300") << "editable now, rows follow";
}

TEST(ThemeEditing, ConvertWithoutChangingWhatIsNotAllowed) {
    EditableTheme parent(SHT_Point, 2);
    CTheme withChild;
    withChild.m_ShapeType = SHT_Point;
    withChild.m_SourceType = ST_CustomLoader;
    withChild.AddChildTheme(&parent.theme);
    CTheme image;
    image.m_ShapeType = SHT_Image;
    image.m_SourceType = ST_ImageFile;
    CTheme multipoint;
    multipoint.m_ShapeType = SHT_MultiPoint;
    multipoint.m_SourceType = ST_CustomLoader;
    for (CTheme* theme : {&withChild, &image, &multipoint}) {
        EXPECT_FALSE(theme->ConvertToNative(true, true));
        if (theme != &multipoint) { // a read-only theme of any kind may be made
            EXPECT_FALSE(theme->ConvertToNative(false, true));
        }
        EXPECT_NE(theme->m_SourceType, static_cast<std::uint32_t>(ST_Native));
        EXPECT_FALSE(theme->m_Modified);
        EXPECT_EQ(theme->m_NativeTable.GetFieldCount(), 0);
    }
    withChild.RemoveChildTheme(&parent.theme);
}

TEST(ThemeEditing, ConvertEitherCompletesOrLeavesTheThemeAsItWas) {
    // The third of four delivered records cannot be copied (its type was
    // spoilt after delivery): the conversion fails half way through.
    CTheme loaded;
    loaded.m_ShapeType = SHT_Point;
    loaded.m_SourceType = ST_CustomLoader;
    std::vector<Bytes> records = {MakePoint(0, 0, 1), MakePoint(10, 0, 2), MakePoint(20, 0, 3),
                                  MakePoint(30, 0, 4)};
    for (Bytes& r : records)
        ASSERT_TRUE(loaded.AppendLoadedShape(Rec(r)));
    // An entry of a shape index no record carries is not carried over; the
    // order of the others closes up.
    loaded.AddToSelection(7, -1, 3, 0xFF);
    loaded.AddToSelection(1, 1, 3, 0xFF);
    loaded.m_Modified = false;
    corvale::WriteLE32(records[2].data() + 8, SHT_MultiPoint);

    EXPECT_FALSE(loaded.ConvertToNative(true, true));
    EXPECT_EQ(loaded.m_SourceType, ST_CustomLoader);
    EXPECT_EQ(loaded.m_FormerSourceType, ST_Unknown);
    EXPECT_FALSE(loaded.m_Editable);
    EXPECT_FALSE(loaded.m_Modified);
    ASSERT_EQ(loaded.m_Points.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(loaded.m_Points[i], Rec(records[i]));
        EXPECT_EQ(loaded.m_VisiblePoints[i], Rec(records[i]));
    }
    EXPECT_TRUE(loaded.m_OwnedPoints.empty());
    EXPECT_EQ(loaded.GetSelectionIndex(1), 1);
    EXPECT_EQ(loaded.m_SelectionCounter, 2);
    EXPECT_EQ(loaded.m_NativeTable.GetFieldCount(), 0);
    EXPECT_EQ(loaded.m_NativeTable.GetRowCount(), 0);

    corvale::WriteLE32(records[2].data() + 8, SHT_Point);
    ASSERT_TRUE(loaded.ConvertToNative(true, true));
    EXPECT_EQ(loaded.m_OwnedPoints.size(), 4u);
    EXPECT_EQ(loaded.GetSelectionIndex(1), 0);
    EXPECT_EQ(loaded.GetSelectionIndex(7), -1);
    EXPECT_EQ(loaded.m_SelectionCounter, 1);
    EXPECT_EQ(loaded.m_NativeTable.GetRowCount(), 4);
}

TEST(ThemeEditing, ConvertAThemeMadeFromASelection) {
    EditableTheme parent(SHT_Polygon, 4);
    CTheme child;
    child.m_ShapeType = SHT_Polygon;
    child.m_SourceType = ST_ParentTheme;
    child.m_Polygons = {parent.theme.m_Polygons[1], parent.theme.m_Polygons[3]};
    child.ResetFilter();
    child.RecalculateBounds();
    child.m_ParentTheme = &parent.theme;
    parent.theme.AddChildTheme(&child);

    ASSERT_TRUE(child.ConvertToNative(true, true));
    EXPECT_EQ(child.m_ParentTheme, nullptr);
    EXPECT_TRUE(parent.theme.m_ChildThemes.empty());
    EXPECT_EQ(child.m_FormerSourceType, ST_ParentTheme);
    // The child's rows hold the values its shapes had in the parent.
    EXPECT_EQ(child.GetAttributeText(0, 0), "1");
    EXPECT_EQ(child.GetAttributeText(1, 0), "3");
    ExpectEditInvariants(child);
    // The parent keeps its own records, numbers and rows.
    EXPECT_NE(child.m_Polygons[0], parent.theme.m_Polygons[1]);
    ExpectEditInvariants(parent.theme);
    EXPECT_EQ(parent.Ids(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ThemeEditing, ConvertToReadOnlyAndBack) {
    EditableTheme shapes(SHT_Point, 3);
    ASSERT_TRUE(shapes.theme.ConvertToNative(false, true));
    EXPECT_FALSE(shapes.theme.m_Editable);
    EXPECT_EQ(shapes.theme.m_SourceType, ST_Native);
    EXPECT_EQ(shapes.Ids(), (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(shapes.theme.ConvertToNative(true, true));
    EXPECT_TRUE(shapes.theme.m_Editable);
    ExpectEditInvariants(shapes.theme);

    CTheme fresh;
    fresh.m_ShapeType = SHT_Polyline;
    ASSERT_TRUE(fresh.ConvertToNative(true, true));
    EXPECT_EQ(fresh.m_SourceType, ST_Native);
    EXPECT_EQ(fresh.m_FormerSourceType, ST_Native);
    EXPECT_TRUE(fresh.m_Editable);
}

// ---------------------------------------------------------------------------
// Writing a theme that holds both point kinds
// ---------------------------------------------------------------------------

TEST(ThemeEditing, MixedPointKindsAreWrittenInTheFilesLayout) {
    for (std::uint32_t type : {SHT_Point, SHT_PointZ}) {
        SCOPED_TRACE(type);
        EditableTheme points(type, 0);
        ASSERT_NE(points.theme.AddPointAt(true, true, 1.0, 2.0), nullptr);
        Bytes z = MakePointZ(3.0, 4.0, 50.0, 7.0);
        ASSERT_NE(points.theme.AddShape(Rec(z), true, true, false), nullptr);
        Bytes plain = MakePoint(5.0, 6.0);
        ASSERT_NE(points.theme.AddShape(Rec(plain), true, true, false), nullptr);

        TempDir dir;
        CFileWriter shp;
        CFileWriter shx;
        ASSERT_TRUE(shp.Open(dir.file("mixed.shp").c_str()));
        ASSERT_TRUE(shx.Open(dir.file("mixed.shx").c_str()));
        std::vector<const CShapeRecord*> records(points.theme.m_Points.begin(),
                                                 points.theme.m_Points.end());
        ASSERT_TRUE(
            WriteShapeFile(shp, &shx, points.theme.m_ShapeType, records.size(), records.data()));
        ASSERT_TRUE(shp.Close());
        ASSERT_TRUE(shx.Close());

        const std::size_t size = type == SHT_PointZ ? 44 : 28;
        EXPECT_EQ(ReadBytes(dir.file("mixed.shp")).size(), 100 + 3 * size)
            << "every record in the file's layout";
        CTheme reread;
        ASSERT_TRUE(reread.OpenShapeFile(dir.file("mixed.shp")));
        EXPECT_EQ(reread.m_ShapeType, type);
        ASSERT_EQ(reread.GetAllShapeCount(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(CShapeRecord::GetShapeType(reread.GetShape(i)), type);
            EXPECT_EQ(GetShapeRecordIndex(reread.GetShape(i)), i);
        }
        EXPECT_EQ(CShapeRecord::GetPoint(reread.GetShape(1), 0), (CShapePoint{3.0, 4.0}));
        EXPECT_EQ(CShapeRecord::GetZ(reread.GetShape(1), 0), type == SHT_PointZ ? 50.0 : 0.0);
        EXPECT_EQ(CShapeRecord::GetZ(reread.GetShape(0), 0), 0.0);
    }
}
