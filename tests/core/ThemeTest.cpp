#include "core/Theme.h"

#include "TempDir.h"
#include "platform/ByteOrder.h"
#include "shapes/RecordFixtures.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace corvale;

namespace {

const std::string kShapes = std::string(CORVALE_TEST_DATA) + "/shapes/";
const std::string kDbf = std::string(CORVALE_TEST_DATA) + "/dbf/";

void Copy(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

// Expect a theme back in the state of a new one after a refused open.
void ExpectEmpty(const CTheme& theme) {
    EXPECT_EQ(theme.GetAllShapeCount(), 0);
    EXPECT_EQ(theme.GetShapeCount(), 0);
    EXPECT_EQ(theme.m_SourceType, ST_Unknown);
    EXPECT_EQ(theme.m_ShapeType, SHT_Null);
    EXPECT_FALSE(theme.m_BoundsValid);
    EXPECT_FALSE(theme.m_ShpReader.IsOpen());
    EXPECT_FALSE(theme.m_Modified);
}

} // namespace

TEST(ThemeOpen, OpensAShapeFileWithoutCopyingRecords) {
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(kShapes + "points.shp"));
    EXPECT_EQ(theme.m_SourceType, ST_ShapeFile);
    EXPECT_EQ(theme.m_ShapeType, SHT_Point);
    EXPECT_TRUE(theme.IsPointTheme());
    EXPECT_EQ(theme.GetAllShapeCount(), 3);
    EXPECT_EQ(theme.GetShapeCount(), 3);
    EXPECT_EQ(theme.m_ShxRecordCount, 3);
    EXPECT_TRUE(theme.m_Modified);
    EXPECT_EQ(theme.m_Dbf.GetFieldCount(), 0) << "no .dbf beside it";
    EXPECT_EQ(theme.m_DbfPath, kShapes + "points.dbf");
    ASSERT_TRUE(theme.m_BoundsValid);
    EXPECT_EQ(theme.m_Bounds[0], -3.0);
    EXPECT_EQ(theme.m_Bounds[1], -20.0);
    EXPECT_EQ(theme.m_Bounds[2], 10.0);
    EXPECT_EQ(theme.m_Bounds[3], 4.0);
    EXPECT_FALSE(theme.m_ZRangeValid);

    const unsigned char* mapped = theme.m_ShpReader.GetData();
    EXPECT_EQ(CShapeRecord::Bytes(theme.GetShape(0)), mapped + 100);
    EXPECT_EQ(CShapeRecord::GetPoint(theme.GetShape(2), 0), (CShapePoint{10, -20}));
    EXPECT_EQ(theme.GetShape(-1), nullptr);
    EXPECT_EQ(theme.GetShape(3), nullptr);
    EXPECT_EQ(theme.GetAllShape(3), nullptr);
}

TEST(ThemeOpen, FindsTheTrioInAnyLetterCase) {
    TempDir dir;
    Copy(kShapes + "lines.shp", dir.file("ROADS.SHP"));
    Copy(kShapes + "lines.shx", dir.file("ROADS.SHX"));
    Copy(kDbf + "typed.dbf", dir.file("Roads.Dbf"));
    for (const std::string& path : {dir.file("ROADS.SHP"), dir.file("ROADS"), dir.file("ROADS.shp")}) {
        SCOPED_TRACE(path);
        CTheme theme;
        ASSERT_TRUE(theme.OpenShapeFile(path));
        EXPECT_EQ(theme.m_ShpPath, dir.file("ROADS.SHP"));
        EXPECT_EQ(theme.m_ShxPath, dir.file("ROADS.SHX"));
        EXPECT_EQ(theme.m_DbfPath, dir.file("Roads.Dbf"));
        EXPECT_EQ(theme.m_ShxRecordCount, 2) << "the index was used";
        EXPECT_GT(theme.m_Dbf.GetFieldCount(), 0) << "the table was read";
        EXPECT_EQ(theme.GetAllShapeCount(), 2);
    }
}

TEST(ThemeOpen, AnUnusableIndexIsPassedOver) {
    const Bytes shx = ReadBytes(kShapes + "polygons.shx");
    auto patched = [&](std::size_t offset, std::uint32_t value) {
        Bytes b = shx;
        WriteBE32(b.data() + offset, value);
        return b;
    };
    struct Case {
        const char* name;
        bool present;
        Bytes bytes;
    };
    const Case cases[] = {
        {"missing", false, {}},
        {"empty", true, {}},
        {"header length disagrees with the file", true, patched(24, 1000)},
        {"header length of 2 GiB", true, patched(24, 0x40000000)},
        {"offset beyond the .shp", true, patched(108, 0x00FFFFFF)},
        {"offset into the middle of a record", true, patched(108, 60)},
        {"cut inside the header", true, Bytes(shx.begin(), shx.begin() + 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Copy(kShapes + "polygons.shp", dir.file("p.shp"));
        if (c.present)
            WriteBytes(dir.file("p.shx"), c.bytes);
        CTheme theme;
        ASSERT_TRUE(theme.OpenShapeFile(dir.file("p.shp")));
        ASSERT_EQ(theme.GetAllShapeCount(), 2);
        EXPECT_EQ(CShapeRecord::GetPointCount(theme.GetShape(0)), 10u);
        EXPECT_EQ(CShapeRecord::GetPointCount(theme.GetShape(1)), 4u);
        EXPECT_EQ(theme.m_Bounds[2], 30.0);
        // Never more entries than the index file holds.
        const std::int64_t held =
            c.bytes.size() < 100 ? -1 : static_cast<std::int64_t>((c.bytes.size() - 100) / 8);
        EXPECT_LE(theme.m_ShxRecordCount, held);
    }
}

TEST(ThemeOpen, AShapeFileThatDoesNotReadWholeLeavesNoTheme) {
    const Bytes lines = ReadBytes(kShapes + "lines.shp");
    Bytes cut = lines;
    cut.resize(cut.size() - 20);
    Bytes inverted = lines;
    WriteLEDouble(inverted.data() + 36, 1000.0);
    Bytes measured = lines; // PolylineM, a type the program does not handle
    WriteLE32(measured.data() + 32, 23);
    struct Case {
        const char* name;
        std::string shpFixture; // copied as is when set
        Bytes shp;
        bool withIndex;
    };
    const Case cases[] = {
        {"truncated, with its index", "", cut, true},
        {"truncated, without index", "", cut, false},
        {"inverted header box", "", inverted, true},
        {"header type not handled", "", measured, true},
        {"multipoint", "multipoint", {}, true},
        {"shorter than a header", "", Bytes(lines.begin(), lines.begin() + 40), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (!c.shpFixture.empty()) {
            Copy(kShapes + c.shpFixture + ".shp", dir.file("x.shp"));
            Copy(kShapes + c.shpFixture + ".shx", dir.file("x.shx"));
        } else {
            WriteBytes(dir.file("x.shp"), c.shp);
            if (c.withIndex)
                Copy(kShapes + "lines.shx", dir.file("x.shx"));
        }
        CTheme theme;
        EXPECT_FALSE(theme.OpenShapeFile(dir.file("x.shp")));
        ExpectEmpty(theme);
    }
    CTheme theme;
    EXPECT_FALSE(theme.OpenShapeFile("/nonexistent/x.shp"));
    ExpectEmpty(theme);
}

TEST(ThemeOpen, AShapeFileWithBytesAfterItsRecordsAndNoIndexOpens) {
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(kShapes + "trailing.shp"));
    EXPECT_EQ(theme.GetAllShapeCount(), 3);
}

TEST(ThemeOpen, ASecondOpenIsRefusedAndChangesNothing) {
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(kShapes + "points.shp"));
    EXPECT_FALSE(theme.OpenShapeFile(kShapes + "lines.shp"));
    EXPECT_EQ(theme.m_ShapeType, SHT_Point);
    EXPECT_EQ(theme.GetAllShapeCount(), 3);
    EXPECT_EQ(theme.m_ShpPath, kShapes + "points.shp");
}

TEST(ThemeOpen, ZRangeFollowsOneRuleForEveryKindWithZ) {
    struct Case {
        const char* file;
        bool valid;
        double zmin;
        double zmax;
    };
    const Case cases[] = {
        {"pointsz", true, -7, 3}, {"linesz", true, 90, 120}, {"polygonsz", true, 5, 7}, {"lines", false, 0, 0},
        // Written by GDAL, whose Z records carry no M block.
        {"gdal_pointz", true, -7, 3}, {"gdal_linez", true, -8, 120}, {"gdal_polygonz", true, 1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CTheme theme;
        ASSERT_TRUE(theme.OpenShapeFile(kShapes + c.file + ".shp"));
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(theme.m_ZRangeValid, c.valid) << "pass " << pass;
            EXPECT_EQ(theme.m_ZRange[0], c.zmin) << "pass " << pass;
            EXPECT_EQ(theme.m_ZRange[1], c.zmax) << "pass " << pass;
            // Recomputing must give what delivery gave.
            theme.RecalculateBounds();
        }
    }
}

TEST(ThemeRecords, DeliveryRefusesRecordsOfAnotherKind) {
    Bytes point = MakePoint(1, 2);
    Bytes pointz = MakePointZ(3, 4, 5, 6);
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    Bytes multipoint(60, 0);
    WriteLE32(multipoint.data() + 8, SHT_MultiPoint);

    CTheme theme;
    theme.m_ShapeType = SHT_PointZ;
    EXPECT_TRUE(CTheme::ShapeCallback(&theme, Rec(point), 11));
    EXPECT_EQ(theme.m_LastLoaderHandle, 11);
    EXPECT_TRUE(CTheme::ShapeCallback(&theme, Rec(pointz), 12));
    EXPECT_FALSE(CTheme::ShapeCallback(&theme, Rec(line), 13));
    EXPECT_FALSE(CTheme::ShapeCallback(&theme, Rec(multipoint), 14));
    EXPECT_FALSE(CTheme::ShapeCallback(&theme, nullptr, 15));
    EXPECT_EQ(theme.m_LastLoaderHandle, 15);
    EXPECT_EQ(theme.m_Points.size(), 2u);
    EXPECT_TRUE(theme.m_Arcs.empty());
    // A plain point in a PointZ theme counts as z 0.
    EXPECT_EQ(theme.m_ZRange[0], 0.0);
    EXPECT_EQ(theme.m_ZRange[1], 5.0);
    EXPECT_EQ(theme.m_Bounds[0], 1.0);
    EXPECT_EQ(theme.m_Bounds[3], 4.0);
    EXPECT_EQ(theme.GetShapeCount(), 0) << "delivery does not touch the visible lists";
    theme.ResetFilter();
    EXPECT_EQ(theme.GetShapeCount(), 2);

    CTheme byKind;
    byKind.m_ShapeType = SHT_Polyline;
    EXPECT_TRUE(CTheme::ShapeCallbackByKind(&byKind, nullptr, Rec(line), Rec(point), 1));
    EXPECT_FALSE(CTheme::ShapeCallbackByKind(&byKind, nullptr, nullptr, nullptr, 2));
    EXPECT_EQ(byKind.m_Arcs.size(), 1u);
}

TEST(ThemeBounds, ExtendAndRecalculate) {
    CTheme theme;
    theme.ExtendBounds(1, 2, 3, 4);
    theme.ExtendBounds(0, 3, 2, 10);
    EXPECT_TRUE(theme.m_BoundsValid);
    EXPECT_EQ(theme.m_Bounds[0], 0.0);
    EXPECT_EQ(theme.m_Bounds[1], 2.0);
    EXPECT_EQ(theme.m_Bounds[2], 3.0);
    EXPECT_EQ(theme.m_Bounds[3], 10.0);
    theme.RecalculateBounds();
    EXPECT_FALSE(theme.m_BoundsValid) << "no records";
    EXPECT_EQ(theme.m_Bounds[3], 0.0);
}

TEST(ThemeFamily, ChildrenAndTheRootTable) {
    auto parent = std::make_unique<CTheme>();
    ASSERT_TRUE(parent->OpenShapeFile(kShapes + "points.shp"));
    {
        CTheme child;
        child.m_ParentTheme = parent.get();
        parent->AddChildTheme(&child);
        parent->AddChildTheme(&child);
        EXPECT_EQ(parent->m_ChildThemes.size(), 1u);
        CTheme grandchild;
        grandchild.m_ParentTheme = &child;
        EXPECT_EQ(grandchild.GetRootDbaseFile(), &parent->m_Dbf);
        EXPECT_EQ(parent->GetRootDbaseFile(), &parent->m_Dbf);
    }
    EXPECT_TRUE(parent->m_ChildThemes.empty()) << "a destroyed child leaves its parent's list";
    CTheme stranger;
    parent->RemoveChildTheme(&stranger);
    EXPECT_TRUE(parent->m_ChildThemes.empty());
}

TEST(ThemeSourceType, DisplayNamesAreTheIdentifiers) {
    const char* expected[] = {"ST_Unknown",  "ST_ShapeFile", "ST_CustomLoader",  "ST_ParentTheme",
                              "ST_Native",   "ST_ImageFile", "ST_ExternalRaster"};
    for (std::uint32_t t = 0; t < 7; ++t)
        EXPECT_STREQ(GetSourceTypeName(t), expected[t]);
    EXPECT_EQ(GetSourceTypeName(7), nullptr);

    CTheme theme;
    EXPECT_TRUE(theme.m_Visible);
    EXPECT_FALSE(theme.m_ScaleDependent);
    EXPECT_EQ(theme.m_MaxScale, 1.0);
    EXPECT_EQ(theme.m_MinScale, 0.0);
    EXPECT_EQ(theme.m_ShxRecordCount, -1);
    EXPECT_FALSE(theme.m_Editable);
}
