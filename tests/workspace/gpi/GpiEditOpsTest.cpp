// Adding shapes to editable themes through the GPI operations, and the update
// batches that leave the per-shape work to the end.

#include "GpiOpsFixture.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void PutBE32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    const unsigned char be[4] = {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                                 static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    std::memcpy(bytes.data() + offset, be, 4);
}
void PutU32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}
void PutF64(std::vector<unsigned char>& bytes, std::size_t offset, double value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// A point record of the type (1 or 11) with its content length in words,
// as a shape file holds it.
std::vector<unsigned char> PointRecord(std::uint32_t type, double x, double y) {
    std::vector<unsigned char> bytes(type == SHT_PointZ ? 44 : 28, 0);
    PutBE32(bytes, 4, static_cast<std::uint32_t>((bytes.size() - 8) / 2));
    PutU32(bytes, 8, type);
    PutF64(bytes, 12, x);
    PutF64(bytes, 20, y);
    return bytes;
}

// A one-part polyline (type 3) or polygon (type 5) record through the builder
// (content length in bytes).
std::vector<unsigned char> MultiRecord(std::uint32_t type, const std::vector<CShapePoint>& points) {
    std::vector<unsigned char> bytes(CShapeRecordBuilder::RecordSize(1, static_cast<std::uint32_t>(points.size())));
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = static_cast<std::uint32_t>(points.size());
    builder.m_Record = bytes.data();
    EXPECT_TRUE(type == SHT_Polygon ? builder.BeginPolygon() : builder.BeginPolyline());
    for (const CShapePoint& p : points)
        EXPECT_TRUE(builder.AddPoint(p.x, p.y));
    return bytes;
}

} // namespace

class GpiEditOps : public GpiOpsTest {
protected:
    void SetUp() override {
        GpiOpsTest::SetUp();
        m_Identity = AddPlugin(nullptr, "{00000000-0000-0000-0000-0000000000e1}");
        m_Lines = AddNative("Lines", SHT_Polyline);
        m_LinesHandle = GpiThemeHandle(m_Lines);
    }

    int AddRecord(std::uint32_t theme, const void* record, std::uint32_t* shape = nullptr) {
        GpiThemeAddShapeArgs a = {theme, record, shape};
        return GpiHostDispatch(GPIOP_ThemeAddShape, &a);
    }
    int Batch(std::uint32_t theme, std::uint32_t end) {
        GpiThemeUpdateBatchArgs a = {m_Identity, theme, end};
        return GpiHostDispatch(GPIOP_ThemeUpdateBatch, &a);
    }
    std::size_t Refreshes() const {
        return static_cast<std::size_t>(std::count(m_Events.m_Codes.begin(), m_Events.m_Codes.end(),
                                                   static_cast<int>(DUE_ThemeDataChanged)));
    }

    std::uint32_t m_Identity = 0;
    CTheme* m_Lines = nullptr;
    std::uint32_t m_LinesHandle = 0;
};

TEST_F(GpiEditOps, AddShapeAcceptsOnlyTheThemesFamily) {
    const auto point = PointRecord(SHT_Point, 1, 2);
    const auto pointZ = PointRecord(SHT_PointZ, 3, 4);
    const auto line = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}});
    const auto ring = MultiRecord(SHT_Polygon, {{0, 0}, {0, 1}, {1, 1}, {0, 0}});
    struct Case {
        const char* name;
        std::uint32_t theme;
        const void* record;
        int code;
    };
    const Case cases[] = {
        {"point on points", m_PointsHandle, point.data(), GPIERR_NoError},
        {"PointZ on points", m_PointsHandle, pointZ.data(), GPIERR_NoError},
        {"polyline on points", m_PointsHandle, line.data(), GPIERR_UnexpectedShapeType},
        {"polygon on polygons", m_PolygonsHandle, ring.data(), GPIERR_NoError},
        {"polyline on polygons", m_PolygonsHandle, line.data(), GPIERR_UnexpectedShapeType},
        {"polyline on lines", m_LinesHandle, line.data(), GPIERR_NoError},
        {"polygon on lines", m_LinesHandle, ring.data(), GPIERR_UnexpectedShapeType},
        {"null record", m_PointsHandle, nullptr, GPIERR_IllegalParameter},
        {"unknown theme", 0x7FFFFF00u, point.data(), GPIERR_InvalidHandle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTheme* theme = GpiThemeFromHandle(c.theme);
        const int before = theme != nullptr ? theme->GetShapeCount() : 0;
        std::uint32_t shape = kUntouched;
        EXPECT_EQ(AddRecord(c.theme, c.record, &shape), c.code);
        if (theme == nullptr)
            continue;
        if (c.code == GPIERR_NoError) {
            EXPECT_EQ(theme->GetShapeCount(), before + 1);
            EXPECT_EQ(GpiShapeFromHandle(shape), theme->GetShape(before));
            // The theme keeps a copy of its own, numbered after its highest.
            EXPECT_NE(CShapeRecord::Bytes(GpiShapeFromHandle(shape)), c.record);
            EXPECT_EQ(GetShapeRecordIndex(GpiShapeFromHandle(shape)), before);
        } else {
            EXPECT_EQ(theme->GetShapeCount(), before);
            EXPECT_EQ(shape, kUntouched);
        }
    }
}

TEST_F(GpiEditOps, AddShapeRefusesImageNullAndReadOnlyThemes) {
    const auto point = PointRecord(SHT_Point, 1, 2);
    CTheme* image = m_Doc->CreateTheme("Image", SHT_Image);
    m_Doc->m_themes.push_back(image);
    CTheme* none = m_Doc->CreateTheme("None", SHT_Null);
    m_Doc->m_themes.push_back(none);
    none->m_Editable = true;
    CTheme* readOnly = AddNative("ReadOnly", SHT_Point);
    readOnly->m_Editable = false;
    std::uint32_t shape = kUntouched;
    EXPECT_EQ(AddRecord(GpiThemeHandle(image), point.data(), &shape), GPIERR_UnsupportedShapeType);
    // A theme of no type would take nothing and still answer success.
    EXPECT_EQ(AddRecord(GpiThemeHandle(none), point.data(), &shape), GPIERR_UnsupportedShapeType);
    EXPECT_EQ(AddRecord(GpiThemeHandle(readOnly), point.data(), &shape), GPIERR_PermissionDenied);
    EXPECT_EQ(shape, kUntouched);
    EXPECT_EQ(readOnly->GetShapeCount(), 0);
}

TEST_F(GpiEditOps, AddShapeRefusesARecordThatIsNotWhole) {
    struct Case {
        const char* name;
        std::vector<unsigned char> record;
    };
    std::vector<Case> cases;
    {
        auto r = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}, {2, 2}});
        PutBE32(r, 4, 1000); // claims more bytes than its counts give
        cases.push_back({"content length beyond the counts", r});
    }
    {
        auto r = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}, {2, 2}});
        PutU32(r, 48, 100000); // point count far beyond the content length
        cases.push_back({"point count beyond the content length", r});
    }
    {
        auto r = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}, {2, 2}});
        PutU32(r, 52, 3); // the only part starts at the point count
        cases.push_back({"part start at the point count", r});
    }
    {
        auto r = PointRecord(SHT_Point, 1, 2);
        PutBE32(r, 4, 4);
        cases.push_back({"point with a short content length", r});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t shape = kUntouched;
        CTheme* theme = CShapeRecord::IsPointType(CShapeRecord::GetShapeType(CShapeRecord::FromBytes(c.record.data())))
                            ? m_Points
                            : m_Lines;
        EXPECT_EQ(AddRecord(GpiThemeHandle(theme), c.record.data(), &shape), GPIERR_IllegalParameter);
        EXPECT_EQ(theme->GetShapeCount(), 0);
        EXPECT_EQ(shape, kUntouched);
    }
}

TEST_F(GpiEditOps, AddPointFamilies) {
    CTheme* readOnly = AddNative("ReadOnly", SHT_Point);
    readOnly->m_Editable = false;
    struct Case {
        const char* name;
        std::uint32_t theme;
        int code;
    };
    const Case cases[] = {
        {"points", m_PointsHandle, GPIERR_NoError},
        {"polylines", m_LinesHandle, GPIERR_UnsupportedShapeType},
        {"read-only points", GpiThemeHandle(readOnly), GPIERR_PermissionDenied},
        {"unknown", 0x7FFFFF00u, GPIERR_InvalidHandle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t shape = kUntouched;
        GpiThemeAddPointArgs a = {c.theme, 0, 7.5, 8.5, &shape};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddPoint, &a), c.code);
        if (c.code == GPIERR_NoError) {
            const CShapeRecord* record = GpiShapeFromHandle(shape);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(CShapeRecord::GetSize(record), 28u);
            EXPECT_EQ(CShapeRecord::GetPoint(record, 0), (CShapePoint{7.5, 8.5}));
        } else {
            EXPECT_EQ(shape, kUntouched);
        }
    }
    EXPECT_EQ(readOnly->GetShapeCount(), 0);
}

TEST_F(GpiEditOps, AddWktTakesOneGeometryOfTheThemesFamily) {
    struct Case {
        const char* text;
        std::uint32_t theme;
        int code;
    };
    const Case cases[] = {
        {"POINT (1 2)", m_PointsHandle, GPIERR_NoError},
        {"LINESTRING (0 0, 1 1)", m_LinesHandle, GPIERR_NoError},
        {"MULTILINESTRING ((0 0, 1 1))", m_LinesHandle, GPIERR_NoError},
        {"MULTIPOINT ((1 2))", m_PointsHandle, GPIERR_UnexpectedShapeType},
        {"LINESTRING (0 0, 1 1)", m_PointsHandle, GPIERR_UnexpectedShapeType},
        {"NOT WKT", m_PointsHandle, GPIERR_UnexpectedShapeType},
        // One record of two parts.
        {"MULTILINESTRING ((0 0, 1 1), (2 2, 3 3))", m_LinesHandle, GPIERR_NoError},
        // Two geometries in one text.
        {"POINT (1 2) POINT (3 4)", m_PointsHandle, GPIERR_OutOfResources},
        {"LINESTRING (0 0, 1 1), LINESTRING (2 2, 3 3)", m_LinesHandle, GPIERR_OutOfResources},
        {"POINT (1", m_PointsHandle, GPIERR_OutOfResources},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CTheme* theme = GpiThemeFromHandle(c.theme);
        const int before = theme->GetShapeCount();
        std::uint32_t shape = kUntouched;
        GpiThemeAddShapeWktArgs a = {c.theme, c.text, &shape};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkt, &a), c.code);
        EXPECT_EQ(theme->GetShapeCount(), before + (c.code == GPIERR_NoError ? 1 : 0));
        if (c.code != GPIERR_NoError) {
            EXPECT_EQ(shape, kUntouched);
        }
    }
    GpiThemeAddShapeWktArgs nullText = {m_PointsHandle, nullptr, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkt, &nullText), GPIERR_IllegalParameter);
}

TEST_F(GpiEditOps, AddWkbPoint) {
    // Little-endian WKB POINT (3 4).
    std::vector<unsigned char> wkb(21, 0);
    wkb[0] = 1;
    PutU32(wkb, 1, 1);
    PutF64(wkb, 5, 3.0);
    PutF64(wkb, 13, 4.0);
    std::uint32_t shape = kUntouched;
    GpiThemeAddShapeWkbArgs a = {m_PointsHandle, wkb.data(), static_cast<std::uint32_t>(wkb.size()), &shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkb, &a), GPIERR_NoError);
    EXPECT_EQ(CShapeRecord::GetPoint(GpiShapeFromHandle(shape), 0), (CShapePoint{3, 4}));
    GpiThemeAddShapeWkbArgs onLines = {m_LinesHandle, wkb.data(), static_cast<std::uint32_t>(wkb.size()), &shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkb, &onLines), GPIERR_UnexpectedShapeType);
    GpiThemeAddShapeWkbArgs truncated = {m_PointsHandle, wkb.data(), 12, &shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkb, &truncated), GPIERR_OutOfResources);
    GpiThemeAddShapeWkbArgs empty = {m_PointsHandle, wkb.data(), 0, &shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddShapeWkb, &empty), GPIERR_IllegalParameter);
    EXPECT_EQ(m_Points->GetShapeCount(), 1);
}

TEST_F(GpiEditOps, BatchBeginBeginEndGivesOneRefresh) {
    EXPECT_EQ(Batch(m_PointsHandle, 0), GPIERR_NoError);
    EXPECT_EQ(Batch(m_PointsHandle, 0), GPIERR_NoError);
    EXPECT_EQ(GpiState().m_BatchList.size(), 1u);
    for (int i = 0; i < 5; ++i) {
        GpiThemeAddPointArgs a = {m_PointsHandle, 0, 1.0 * i, 2.0, nullptr};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddPoint, &a), GPIERR_NoError);
    }
    EXPECT_EQ(Refreshes(), 0u) << "no refresh inside a batch";
    EXPECT_EQ(Batch(m_PointsHandle, 1), GPIERR_NoError);
    EXPECT_EQ(Refreshes(), 1u);
    EXPECT_TRUE(GpiState().m_BatchList.empty());
    // A finish without a begin does nothing.
    EXPECT_EQ(Batch(m_PointsHandle, 1), GPIERR_NoError);
    EXPECT_EQ(Refreshes(), 1u);
    // Outside a batch every add refreshes.
    GpiThemeAddPointArgs a = {m_PointsHandle, 0, 9.0, 9.0, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeAddPoint, &a), GPIERR_NoError);
    EXPECT_EQ(Refreshes(), 2u);
    EXPECT_EQ(m_Points->GetShapeCount(), 6);
}

TEST_F(GpiEditOps, BatchNeedsAPluginIdentityAndAKnownTheme) {
    GpiThemeUpdateBatchArgs stranger = {m_Identity + 1000, m_PointsHandle, 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatch, &stranger), GPIERR_InvalidHandle);
    GpiThemeUpdateBatchArgs unknown = {m_Identity, 0x7FFFFF00u, 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatch, &unknown), GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatch, nullptr), GPIERR_IllegalParameter);
    EXPECT_TRUE(GpiState().m_BatchList.empty());
}

TEST_F(GpiEditOps, BatchReserveMakesRoomOnEveryBegin) {
    GpiThemeUpdateBatchReserveArgs begin = {m_Identity, m_PointsHandle, 0, 1000};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatchReserve, &begin), GPIERR_NoError);
    EXPECT_GE(m_Points->m_Points.capacity(), 1000u);
    // A second begin still reserves.
    begin.count = 5000;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatchReserve, &begin), GPIERR_NoError);
    EXPECT_GE(m_Points->m_Points.capacity(), 5000u);
    EXPECT_EQ(GpiState().m_BatchList.size(), 1u);
    GpiThemeUpdateBatchReserveArgs end = {m_Identity, m_PointsHandle, 1, 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateBatchReserve, &end), GPIERR_NoError);
    EXPECT_TRUE(GpiState().m_BatchList.empty());
    EXPECT_EQ(Refreshes(), 1u);
}

class GpiAttributeEdits : public GpiEditOps {
protected:
    void SetUp() override {
        GpiEditOps::SetUp();
        for (const char* name : {"NAME", "VALUE"}) {
            CAttributeFieldInfo info;
            info.m_Name = name;
            info.m_Type = FT_String;
            info.m_Length = 40;
            m_Points->AddAttribute(info, nullptr, nullptr);
        }
        ASSERT_EQ(m_Points->GetAttributeCount(), 2u);
        m_Shape = GpiShapeHandle(m_Points->AddPointAt(false, false, 1.0, 2.0));
        ASSERT_TRUE(m_Points->SetAttributeText(0, 0, "old name", false));
        ASSERT_TRUE(m_Points->SetAttributeText(0, 1, "old value", false));
    }
    std::string Cell(int field) const { return m_Points->GetAttributeText(0, field); }

    std::uint32_t m_Shape = 0;
};

TEST_F(GpiAttributeEdits, NumbersAreStoredAsTheirText) {
    struct Case {
        double value;
        const char* text;
    };
    for (const Case& c : {Case{1.0, "1.000000"}, Case{2.5, "2.500000"}, Case{-0.125, "-0.125000"}}) {
        GpiShapeSetAttributeDoubleArgs a = {m_Shape, m_PointsHandle, 1, 0, c.value};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttributeDouble, &a), GPIERR_NoError);
        EXPECT_EQ(Cell(1), c.text);
    }
    GpiShapeSetAttributeIntArgs i = {m_Shape, m_PointsHandle, 1, -7};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttributeInt, &i), GPIERR_NoError);
    EXPECT_EQ(Cell(1), "-7");
    GpiShapeSetAttributeArgs t = {m_Shape, m_PointsHandle, 0, "new"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttribute, &t), GPIERR_NoError);
    EXPECT_EQ(Cell(0), "new");
    GpiShapeSetAttributeArgs beyond = {m_Shape, m_PointsHandle, 2, "x"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttribute, &beyond), GPIERR_IndexOutOfBounds);
}

TEST_F(GpiAttributeEdits, SetAttributesWritesTheGivenFieldsOnly) {
    const char* const both[] = {"first", "second"};
    const char* const skipFirst[] = {nullptr, "third"};
    struct Case {
        const char* name;
        std::uint32_t count;
        const char* const* values;
        int code;
        const char* name0;
        const char* value1;
    };
    const Case cases[] = {
        {"no fields", 0, both, GPIERR_NoError, "old name", "old value"},
        {"more than the fields", 3, both, GPIERR_IndexOutOfBounds, "old name", "old value"},
        {"null entry kept", 2, skipFirst, GPIERR_NoError, "old name", "third"},
        {"both", 2, both, GPIERR_NoError, "first", "second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GpiShapeSetAttributesArgs a = {m_Shape, m_PointsHandle, c.count, c.values};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttributes, &a), c.code);
        EXPECT_EQ(Cell(0), c.name0);
        EXPECT_EQ(Cell(1), c.value1);
    }
}

TEST_F(GpiAttributeEdits, ShapeOfAnotherThemeWritesNothing) {
    // Shape index 0 of the lines would name this theme's row 0.
    const auto line = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}});
    std::uint32_t lineShape = 0;
    ASSERT_EQ(AddRecord(m_LinesHandle, line.data(), &lineShape), GPIERR_NoError);
    GpiShapeSetAttributeArgs t = {lineShape, m_PointsHandle, 0, "wrong"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttribute, &t), GPIERR_InvalidHandle);
    const char* const values[] = {"wrong"};
    GpiShapeSetAttributesArgs s = {lineShape, m_PointsHandle, 1, values};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttributes, &s), GPIERR_InvalidHandle);
    EXPECT_EQ(Cell(0), "old name");
}

TEST_F(GpiEditOps, DeleteDropsTheHandleAndRefreshes) {
    std::uint32_t shape = 0;
    GpiThemeAddPointArgs add = {m_PointsHandle, 0, 1.0, 2.0, &shape};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeAddPoint, &add), GPIERR_NoError);
    const std::size_t refreshes = Refreshes();
    GpiThemeDeleteShapeArgs del = {m_PointsHandle, shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeDeleteShape, &del), GPIERR_NoError);
    EXPECT_EQ(m_Points->GetShapeCount(), 0);
    EXPECT_EQ(Refreshes(), refreshes + 1);
    EXPECT_EQ(GpiShapeFromHandle(shape), nullptr);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeDeleteShape, &del), GPIERR_InvalidHandle);
}

TEST_F(GpiEditOps, UpdateReplacesAPolylineInPlaceEvenInABatch) {
    const auto line = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}});
    std::uint32_t shape = 0;
    ASSERT_EQ(AddRecord(m_LinesHandle, line.data(), &shape), GPIERR_NoError);
    ASSERT_EQ(Batch(m_LinesHandle, 0), GPIERR_NoError);
    const std::size_t refreshes = Refreshes();
    const auto longer = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}, {5, 5}});
    GpiThemeUpdateShapeArgs update = {m_LinesHandle, shape, longer.data()};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateShape, &update), GPIERR_NoError);
    EXPECT_EQ(Refreshes(), refreshes + 1);
    const CShapeRecord* now = GpiShapeFromHandle(shape);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(CShapeRecord::GetPointCount(now), 3u);
    EXPECT_EQ(GetShapeRecordIndex(now), 0);
    // A record whose counts do not fit its content length is refused.
    auto broken = MultiRecord(SHT_Polyline, {{0, 0}, {1, 1}});
    PutU32(broken, 48, 1000);
    GpiThemeUpdateShapeArgs bad = {m_LinesHandle, shape, broken.data()};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateShape, &bad), GPIERR_IllegalParameter);
    EXPECT_EQ(CShapeRecord::GetPointCount(GpiShapeFromHandle(shape)), 3u);
    // Points cannot be replaced.
    std::uint32_t point = 0;
    GpiThemeAddPointArgs add = {m_PointsHandle, 0, 1.0, 2.0, &point};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeAddPoint, &add), GPIERR_NoError);
    const auto other = PointRecord(SHT_Point, 5, 5);
    GpiThemeUpdateShapeArgs onPoints = {m_PointsHandle, point, other.data()};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeUpdateShape, &onPoints), GPIERR_IllegalParameter);
    EXPECT_EQ(Batch(m_LinesHandle, 1), GPIERR_NoError);
}
