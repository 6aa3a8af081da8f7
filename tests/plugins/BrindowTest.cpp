// The Brindow exporter: its writer directly, and the built Brindow.xpr bound
// from the program's plug-in folder and driven as the export command drives
// it, its dialogs answered as a user would. The committed files
// tests/data/mif/brindow_*.mif/.mid are what it wrote for the fixture themes;
// `ogrinfo -al` reads them back with the same geometry, attributes and pen
// colours (tests/data/mif/brindow.ogrinfo.txt, tools/make_mif_fixtures.sh).

#include "DialogDriver.h"
#include "MifReader.h"
#include "MifWriter.h"
#include "PluginTestSupport.h"

#include "core/AttributeField.h"
#include "core/ExporterPlugin.h"
#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string BrindowPath() { return std::string(CORVALE_PLUGIN_DIR) + "/Brindow.xpr"; }
std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/mif/" + name; }

using Part = std::vector<CShapePoint>;
using Shape = std::vector<Part>; // one part of one point for a point

std::vector<unsigned char> MakeRecord(std::uint32_t type, const Shape& shape, std::uint32_t number) {
    if (type == SHT_Point) {
        std::vector<unsigned char> record(28);
        CShapePointCreator(number).CreatePoint(record.data(), shape[0][0].x, shape[0][0].y);
        return record;
    }
    std::uint32_t points = 0;
    for (const Part& part : shape)
        points += static_cast<std::uint32_t>(part.size());
    const auto parts = static_cast<std::uint32_t>(shape.size());
    std::vector<unsigned char> record(CShapeRecordBuilder::RecordSize(parts, points));
    CShapeRecordBuilder builder;
    builder.m_PartCount = parts;
    builder.m_PointCount = points;
    builder.m_RecordNumber = number;
    builder.m_Record = record.data();
    if (type == SHT_Polygon)
        builder.BeginPolygon();
    else
        builder.BeginPolyline();
    for (std::size_t p = 0; p < shape.size(); ++p) {
        if (p > 0)
            builder.NextPart();
        for (const CShapePoint& point : shape[p])
            builder.AddPoint(point.x, point.y);
    }
    return record;
}

// A native theme of one shape type with the columns NAME (text),
// "my-count (n)" (integer), VALUE (double) and WHEN (date).
struct FixtureTheme {
    FixtureTheme(std::uint32_t type, const std::vector<Shape>& shapes, const std::vector<std::vector<std::string>>& rows,
                 bool withColumns = true) {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = type;
        theme.m_Editable = true;
        theme.m_Name = "fixture";
        if (withColumns) {
            const std::pair<const char*, std::int32_t> columns[] = {
                {"NAME", FT_String}, {"my-count (n)", FT_Int}, {"VALUE", FT_Double}, {"WHEN", FT_Date}};
            for (const auto& column : columns) {
                CAttributeFieldInfo info;
                info.m_Name = column.first;
                info.m_Type = column.second;
                info.m_Length = 40;
                info.m_Decimals = column.second == FT_Double ? 3 : 0;
                theme.AddAttribute(info, nullptr, nullptr);
            }
        }
        for (std::size_t i = 0; i < shapes.size(); ++i)
            records.push_back(MakeRecord(type, shapes[i], static_cast<std::uint32_t>(i + 1)));
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            CTheme::ShapeCallback(&theme, reinterpret_cast<CShapeRecord*>(records[i].data()), 0);
            if (withColumns) {
                const int row = theme.AppendAttributeRow();
                for (std::size_t c = 0; c < rows[i].size(); ++c)
                    theme.SetAttributeText(row, static_cast<int>(c), rows[i][c], false);
            }
        }
        theme.ResetFilter();
    }
    CTheme theme;
    std::vector<std::vector<unsigned char>> records;
};

const std::vector<std::vector<std::string>> kRows = {
    {"say \"hi\", there", "3", "1.500", "20200102"},
    {"tab\there", "-7", "-0.250", "20211231"},
    {"two\nlines", "0", "100.125", ""},
};

std::unique_ptr<FixtureTheme> Points() {
    auto f = std::make_unique<FixtureTheme>(SHT_Point, std::vector<Shape>{{{{12.5, 55}}}, {{{-3.25, 4}}}, {{{0, 0}}}},
                                            kRows);
    f->theme.m_Name = "points";
    f->theme.m_Color = 0x0000FF;
    return f;
}

std::unique_ptr<FixtureTheme> Lines() {
    auto f = std::make_unique<FixtureTheme>(
        SHT_Polyline,
        std::vector<Shape>{{{{0, 0}, {1, 1}, {2, 0.5}}}, {{{0, 0}, {1, 1}}, {{5, 5}, {6, 6}, {7, 5.5}}}, {}}, kRows);
    f->theme.m_Name = "lines";
    f->theme.m_Color = 0x0000FF; // red
    f->theme.m_LineWidth = 3;
    return f;
}

std::unique_ptr<FixtureTheme> Polygons() {
    auto f = std::make_unique<FixtureTheme>(
        SHT_Polygon,
        std::vector<Shape>{{{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}}},
                           {{{20, 20}, {21, 21}, {21, 20}, {20, 20}}},
                           {{{30, 30}, {30, 31}, {31, 30}, {30, 30}}}},
        kRows);
    f->theme.m_Name = "areas";
    f->theme.m_Color = 0xFFFFFF;
    f->theme.m_OutlineColor = 0x563412; // #123456
    f->theme.m_LineWidth = 2;
    return f;
}

// A shape file of one point whose table has the one text column NAME holding
// value, the header's code-page byte set to codePage; the path of the .shp.
std::string WriteOnePointTable(const TempDir& dir, std::uint8_t codePage, const std::string& value) {
    const std::string stem = dir.file("table");
    const std::vector<unsigned char> point = MakeRecord(SHT_Point, {{{1, 2}}}, 1);
    const CShapeRecord* records[] = {reinterpret_cast<const CShapeRecord*>(point.data())};
    CFileWriter shp;
    CFileWriter shx;
    EXPECT_TRUE(shp.Open((stem + ".shp").c_str()));
    EXPECT_TRUE(shx.Open((stem + ".shx").c_str()));
    EXPECT_TRUE(WriteShapeFile(shp, &shx, SHT_Point, 1, records));
    EXPECT_TRUE(shp.Close());
    EXPECT_TRUE(shx.Close());

    std::vector<CAttributeFieldInfo> fields(1);
    fields[0].m_Name = "NAME";
    fields[0].m_Type = FT_String;
    fields[0].m_Length = 20;
    std::vector<CAttributeFieldValue> values(1);
    values[0].m_Text = value;
    values[0].m_Type = FT_String;
    values[0].m_Length = 20;
    CFileWriter dbf;
    EXPECT_TRUE(dbf.Open((stem + ".dbf").c_str()));
    EXPECT_TRUE(CdBaseFile::WriteHeader(fields, &dbf, 1, codePage));
    EXPECT_TRUE(CdBaseFile::WriteRecord(fields, &dbf, values));
    const unsigned char end = 0x1A;
    dbf.Write(&end, 1);
    EXPECT_TRUE(dbf.Close());
    return stem + ".shp";
}

// ---------------------------------------------------------------------------
// The writer
// ---------------------------------------------------------------------------

TEST(BrindowWriter, ColumnNamesAndValues) {
    EXPECT_EQ(brindow::MifColumnName("a b%c/d[e]f(g)h{i}j+k-l"), "a_b_c_d_e_f_g_h_i_j_k_l");
    EXPECT_EQ(brindow::MifColumnName("plain_name1"), "plain_name1");
    struct Case {
        const char* value;
        std::uint32_t type;
        const char* mid;
    } cases[] = {
        {"say \"hi\"", XPR_FT_String, "\"say \"\"hi\"\"\""},
        {"a\tb", XPR_FT_String, "\"a\tb\""},
        {"two\r\nlines", XPR_FT_String, "\"two  lines\""},
        {"", XPR_FT_String, "\"\""},
        {nullptr, XPR_FT_String, "\"\""},
        {"20200102", XPR_FT_Date, "\"20200102\""},
        {"T", XPR_FT_Boolean, "\"T\""},
        {"-12", XPR_FT_Int, "-12"},
        {"1.5", XPR_FT_Double, "1.5"},
        {"1\t2\n", XPR_FT_Int, "1 2 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mid);
        EXPECT_EQ(brindow::MidValue(c.value, c.type), c.mid);
    }
    EXPECT_EQ(brindow::MidPathFor("/a/b.mif"), "/a/b.mid");
    EXPECT_EQ(brindow::MidPathFor("/a.b/c"), "/a.b/c.mid");
}

ExportShapeArgs Args(std::uint32_t type, const std::vector<unsigned char>& record, std::uint32_t color = 0,
                     std::uint32_t width = 1) {
    ExportShapeArgs args{};
    args.shapeType = type;
    args.record = record.data();
    args.color = color;
    args.lineWidth = width;
    return args;
}

TEST(BrindowWriter, ShapesAsTheFileWantsThem) {
    struct Case {
        const char* what;
        std::uint32_t type;
        Shape shape;
        std::uint32_t color;
        std::string text; // after the header
        brindow::CMifExport::Result result;
    } cases[] = {
        {"a point with six decimals", SHT_Point, {{{12.5, 55}}}, 0,
         "POINT 12.500000 55.000000\n    Symbol (86,12583008,18,\"Wingdings\",289,0)\n", brindow::CMifExport::Written},
        {"a one-part polyline", SHT_Polyline, {{{0, 0}, {1, 1}, {2, 0.5}}}, 0x0000FF,
         "PLINE   3\n  0.000000 0.000000\n  1.000000 1.000000\n  2.000000 0.500000\n    PEN (1, 2, 16711680)\n",
         brindow::CMifExport::Written},
        {"a two-part polyline", SHT_Polyline, {{{0, 0}, {1, 1}}, {{-5, 5}}}, 0xFF0000,
         "PLINE MULTIPLE 2\n  2\n  0.000000 0.000000\n  1.000000 1.000000\n  1\n  -5.000000 5.000000\n"
         "    PEN (1, 2, 255)\n",
         brindow::CMifExport::Written},
        {"a polygon with a hole", SHT_Polygon, {{{0, 0}, {0, 1}, {1, 0}, {0, 0}}, {{0.1, 0.1}, {0.2, 0.1}, {0.1, 0.2}}},
         0x563412,
         "REGION 2\n  4\n  0.000000 0.000000\n  0.000000 1.000000\n  1.000000 0.000000\n  0.000000 0.000000\n"
         "  3\n  0.100000 0.100000\n  0.200000 0.100000\n  0.100000 0.200000\n    PEN (1, 2, 1193046)\n",
         brindow::CMifExport::Written},
        {"a polyline without parts", SHT_Polyline, {}, 0, "", brindow::CMifExport::Skipped},
        {"a polygon without parts", SHT_Polygon, {}, 0, "", brindow::CMifExport::Skipped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        brindow::CMifExport out;
        std::string error;
        ASSERT_TRUE(out.Begin(dir.file("t.mif"), "", {}, XPR_CP_NotStated, error)) << error;
        EXPECT_EQ(out.WriteShape(Args(c.type, MakeRecord(c.type, c.shape, 1), c.color)), c.result);
        ASSERT_TRUE(out.End(true, error)) << error;
        EXPECT_EQ(ReadText(dir.file("t.mif")),
                  "Version 300\nCharset \"WindowsLatin1\"\nColumns 0\n\nDATA\n" + c.text);
    }
    // A multipoint is not written.
    TempDir dir;
    brindow::CMifExport out;
    std::string error;
    ASSERT_TRUE(out.Begin(dir.file("t.mif"), "", {}, XPR_CP_NotStated, error));
    std::vector<unsigned char> multipoint(60, 0);
    multipoint[8] = 8;
    EXPECT_EQ(out.WriteShape(Args(8, multipoint)), brindow::CMifExport::Unsupported);
}

// The files say their text is Windows Latin 1, so it is. Text the host says
// is Windows Latin 1 (a dBase table's) goes out byte for byte, also where its
// bytes happen to form UTF-8; text whose code page is not stated is read as
// the XML and GeoJSON exports read it: UTF-8 when it is valid UTF-8, else
// Windows Latin 1. A character the code page has no byte for becomes '?' and
// is counted. The Ostrela reader reads the files back as the text they were.
const char* g_Value = nullptr;
const char* OneValue(std::uint32_t, std::uint32_t) { return g_Value; }

TEST(BrindowWriter, TextIsWrittenInTheCodePageTheFileDeclares) {
    const char* const region = "R\xC3\xA9gion";   // UTF-8
    const char* const regionLatin1 = "R\xE9gion"; // Windows Latin 1, as the MIF holds it
    struct Case {
        const char* what;
        std::uint32_t codePage;
        const char* name;     // of the column
        const char* column;   // the name as the MIF holds it
        const char* value;
        const char* mid;      // the value as the MID holds it
        std::size_t replaced; // in the name and the value
        const char* readBack; // the value through the Ostrela reader
    } cases[] = {
        {"7-bit text", XPR_CP_NotStated, "NAME", "NAME", "say \"hi\"", "say \"\"hi\"\"", 0, "say \"hi\""},
        {"7-bit text of a Latin 1 table", XPR_CP_WindowsLatin1, "NAME", "NAME", "abc", "abc", 0, "abc"},
        {"UTF-8", XPR_CP_NotStated, region, regionLatin1, "C\xC3\xB4te d'Ivoire", "C\xF4te d'Ivoire", 0,
         "C\xC3\xB4te d'Ivoire"},
        {"Latin 1 bytes, code page not stated", XPR_CP_NotStated, regionLatin1, regionLatin1, "C\xF4te", "C\xF4te", 0,
         "C\xC3\xB4te"},
        {"a Latin 1 table's text", XPR_CP_WindowsLatin1, regionLatin1, regionLatin1, "C\xF4te", "C\xF4te", 0,
         "C\xC3\xB4te"},
        {"a Latin 1 table's text that forms UTF-8", XPR_CP_WindowsLatin1, "\xC3\xA9", "\xC3\xA9", "\xC3\xA9tude",
         "\xC3\xA9tude", 0, "\xC3\x83\xC2\xA9tude"},
        {"UTF-8 that Latin 1 holds", XPR_CP_NotStated, "\xC3\xA9", "\xE9", "\xC3\xA9tude", "\xE9tude", 0,
         "\xC3\xA9tude"},
        {"a Windows Latin 1 character outside ISO 8859-1", XPR_CP_NotStated, "NAME", "NAME", "\xE2\x82\xAC 5",
         "\x80 5", 0, "\xE2\x82\xAC 5"},
        {"characters Latin 1 lacks", XPR_CP_NotStated, "\xD0\x96", "?", "\xD0\x96uk", "?uk", 2, "?uk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        brindow::CMifExport out;
        std::string error;
        ASSERT_TRUE(out.Begin(dir.file("t.mif"), dir.file("t.mid"), {{c.name, XPR_FT_String}}, c.codePage, error))
            << error;
        const auto record = MakeRecord(SHT_Point, {{{1, 2}}}, 1);
        ExportShapeArgs args = Args(SHT_Point, record);
        args.word = 1;
        args.getAttributeValue = OneValue;
        g_Value = c.value;
        EXPECT_EQ(out.WriteShape(args), brindow::CMifExport::Written);
        ASSERT_TRUE(out.End(true, error)) << error;
        EXPECT_EQ(out.Replaced(), c.replaced);
        const std::string mif = ReadText(dir.file("t.mif"));
        EXPECT_NE(mif.find("Charset \"WindowsLatin1\""), std::string::npos);
        EXPECT_NE(mif.find("\n  " + std::string(c.column) + " char (254)\n"), std::string::npos) << mif;
        EXPECT_EQ(ReadText(dir.file("t.mid")), "\"" + std::string(c.mid) + "\"\n");

        ostrela::CMIF reader(true, true, true);
        ASSERT_TRUE(reader.ReadFile(dir.file("t.mif")));
        ASSERT_EQ(reader.m_Columns.size(), 1u);
        EXPECT_EQ(reader.AttributeText(reader.Records(SHT_Point).at(0), 0), c.readBack);
    }
}

TEST(BrindowWriter, AnUncreatableOutputFailsAndABrokenExportKeepsTheOldFiles) {
    TempDir dir;
    brindow::CMifExport out;
    std::string error;
    EXPECT_FALSE(out.Begin(dir.file("no/such/folder/t.mif"), "", {}, XPR_CP_NotStated, error));
    EXPECT_EQ(error, "Could not create the file " + dir.file("no/such/folder/t.mif") + ".");
    EXPECT_FALSE(out.IsOpen());
    error.clear();
    EXPECT_FALSE(out.Begin(dir.file("t.mif"), dir.file("no/t.mid"), {}, XPR_CP_NotStated, error));
    EXPECT_EQ(error, "Could not create the file " + dir.file("no/t.mid") + ".");
    EXPECT_FALSE(FileExists(dir.file("t.mif")));

    WriteText(dir.file("old.mif"), "good");
    WriteText(dir.file("old.mid"), "rows");
    ASSERT_TRUE(
        out.Begin(dir.file("old.mif"), dir.file("old.mid"), {{"A", XPR_FT_Int}}, XPR_CP_NotStated, error));
    out.WriteShape(Args(SHT_Point, MakeRecord(SHT_Point, {{{1, 1}}}, 1)));
    ASSERT_TRUE(out.End(false, error));
    EXPECT_EQ(ReadText(dir.file("old.mif")), "good");
    EXPECT_EQ(ReadText(dir.file("old.mid")), "rows");
}

// ---------------------------------------------------------------------------
// The plug-in
// ---------------------------------------------------------------------------

class BrindowPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        exporter.Load(BrindowPath());
        ASSERT_TRUE(exporter.m_Valid) << exporter.m_ErrorText;
    }
    void TearDown() override { CExporterPlugin::ClearExportTheme(); }

    // The export command's calls for one theme; false at the first refusal.
    bool Export(CTheme& theme) {
        if (!exporter.PreExport(&theme, 0, static_cast<std::uint32_t>(theme.GetShapeCount())))
            return false;
        bool ok = true;
        for (int i = 0; i < theme.GetShapeCount() && ok; ++i) {
            const CShapeRecord* record = theme.GetShape(i);
            ok = exporter.ExportShape(&theme, nullptr, CShapeRecord::GetShapeType(record), record,
                                      theme.GetAttributeCount());
        }
        return exporter.PostExport(0, ok) && ok;
    }

    CExporterPlugin exporter;
    DialogDriver dialogs;
    TempDir dir;
};

TEST_F(BrindowPlugin, BindsFromThePluginFolder) {
    EXPECT_EQ(exporter.m_Version, 6u); // told the code page of the theme's text
    EXPECT_EQ(exporter.m_Name, "Ostrela Interchange Format (MIF/MID)");
    EXPECT_EQ(exporter.m_Description, "Exports to MIF/MID format.");
    EXPECT_EQ(exporter.m_InfoText.rfind("<html><head><CorvaleStyleSheet></head><body><h1>MIF/MID Exporter plugin "
                                        "version 1.01.</h1>",
                                        0),
              0u);
    struct Case {
        std::uint32_t type;
        bool supported;
    } cases[] = {{SHT_Point, true}, {SHT_Polyline, true}, {SHT_Polygon, true}, {8, false}, {31, false}};
    for (const Case& c : cases) {
        FixtureTheme f(c.type == 8 || c.type == 31 ? SHT_Point : c.type, {}, {});
        f.theme.m_ShapeType = c.type;
        EXPECT_EQ(exporter.SupportsType(&f.theme), c.supported) << c.type;
    }
}

TEST_F(BrindowPlugin, WritesTheFixtureThemesAsTheCommittedFiles) {
    struct Case {
        const char* name;
        std::unique_ptr<FixtureTheme> (*make)();
    } cases[] = {{"brindow_points", Points}, {"brindow_lines", Lines}, {"brindow_areas", Polygons}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = c.make();
        const std::string path = dir.file(std::string(c.name) + ".mif");
        // Set to write the files afresh into tests/data/mif, which
        // tools/make_mif_fixtures.sh then has ogrinfo read.
        const bool refresh = qEnvironmentVariableIsSet("CORVALE_REFRESH_BRINDOW_FIXTURES");
        dialogs.m_Seen.clear();
        dialogs.File(path);
        dialogs.Button(QMessageBox::Yes);
        ASSERT_TRUE(Export(f->theme)) << exporter.m_ErrorText;
        EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Save MIF for layer " + f->theme.m_Name,
                                                            "MIF/MID Exporter|Would you like to create a data "
                                                            "table file (.mid)?"}));
        if (refresh) {
            WriteText(Fixture(std::string(c.name) + ".mif"), ReadText(path));
            WriteText(Fixture(std::string(c.name) + ".mid"), ReadText(dir.file(std::string(c.name) + ".mid")));
        }
        EXPECT_EQ(ReadText(path), ReadText(Fixture(std::string(c.name) + ".mif")));
        EXPECT_EQ(ReadText(dir.file(std::string(c.name) + ".mid")), ReadText(Fixture(std::string(c.name) + ".mid")));
    }
}

// The export command's path: the host says which code page the theme's text
// is in, and the MID keeps what the text means. A dBase table says so in its
// header (87 and 3 are Windows Latin 1); text of a table that does not say,
// or of a native table, is read as the XML and GeoJSON exports read it.
TEST_F(BrindowPlugin, TheMidKeepsWhatTheTablesTextMeans) {
    const std::uint8_t kNative = 0xFF; // not a dBase table at all
    struct Case {
        const char* what;
        std::uint8_t codePage; // the dBase header's byte, or kNative
        const char* value;
        const char* mid; // the value as the MID holds it
        std::size_t replaced;
    } cases[] = {
        {"a Latin 1 table's text that forms UTF-8", 87, "\xC3\xA9tude", "\xC3\xA9tude", 0},
        {"the same under the older Latin 1 byte", 3, "\xC3\xA9tude", "\xC3\xA9tude", 0},
        {"a Latin 1 table's accented letter", 87, "C\xF4te", "C\xF4te", 0},
        {"7-bit text of a Latin 1 table", 87, "plain", "plain", 0},
        {"UTF-8 in a table that does not say", 0, "\xC3\xA9tude", "\xE9tude", 0},
        {"Latin 1 in a table that does not say", 0, "C\xF4te", "C\xF4te", 0},
        {"UTF-8 in a table of a code page not converted", 0x65, "\xC3\xA9tude", "\xE9tude", 0},
        {"UTF-8 in a native table", kNative, "\xC3\xA9tude", "\xE9tude", 0},
        {"a character Latin 1 lacks", kNative, "\xD0\x96uk \xE2\x82\xAC", "?uk \x80", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        std::unique_ptr<FixtureTheme> native;
        CTheme opened;
        CTheme* theme = &opened;
        if (c.codePage == kNative) {
            native = std::make_unique<FixtureTheme>(SHT_Point, std::vector<Shape>{{{{1, 2}}}},
                                                    std::vector<std::vector<std::string>>{{c.value, "1", "2", ""}});
            theme = &native->theme;
        } else {
            ASSERT_TRUE(opened.OpenShapeFile(WriteOnePointTable(folder, c.codePage, c.value)));
            opened.ResetFilter();
            opened.m_Name = "table";
            ASSERT_EQ(opened.GetAttributeText(0, 0), c.value);
        }
        const std::string path = folder.file("t.mif");
        dialogs.m_Seen.clear();
        dialogs.File(path);
        dialogs.Button(QMessageBox::Yes);
        if (c.replaced > 0)
            dialogs.Button(QMessageBox::Ok);
        ASSERT_TRUE(Export(*theme)) << exporter.m_ErrorText;
        EXPECT_EQ(dialogs.Pending(), 0u);
        const std::string row = ReadText(folder.file("t.mid"));
        EXPECT_EQ(row.substr(0, row.find_first_of("\t\n")), "\"" + std::string(c.mid) + "\"");
        if (c.replaced > 0) {
            EXPECT_EQ(dialogs.m_Seen.back(), "MIF/MID Exporter|" + std::to_string(c.replaced) +
                                                 " characters have no place in the Windows Latin 1 code page of "
                                                 "MIF files and were written as \"?\".");
        } else {
            EXPECT_EQ(dialogs.m_Seen.size(), 2u);
        }
        CExporterPlugin::ClearExportTheme();
    }
}

TEST_F(BrindowPlugin, TheQuestionsDecideWhatIsWritten) {
    struct Case {
        const char* what;
        bool withColumns;
        std::string file;                 // empty: the save dialog is cancelled
        QMessageBox::StandardButton answer; // to the MID question, when asked
        bool exported;
        bool mif, mid;
        std::string error;
    } cases[] = {
        {"cancelled save dialog", true, "", QMessageBox::Yes, false, false, false, "Export aborted for this layer."},
        {"MID question cancelled", true, "c.mif", QMessageBox::Cancel, false, false, false,
         "Export aborted for this layer."},
        {"no table", true, "n.mif", QMessageBox::No, true, true, false, ""},
        {"no columns, no question", false, "z.mif", QMessageBox::Yes, true, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureTheme f(SHT_Point, {{{{1, 2}}}}, {{"a", "1", "2", "3"}}, c.withColumns);
        const std::string path = c.file.empty() ? "" : dir.file(c.file);
        dialogs.File(path);
        if (c.withColumns && !path.empty())
            dialogs.Button(c.answer);
        exporter.m_ErrorText.clear();
        EXPECT_EQ(Export(f.theme), c.exported);
        EXPECT_EQ(dialogs.Pending(), 0u);
        EXPECT_EQ(exporter.m_ErrorText, c.error);
        if (path.empty())
            continue;
        EXPECT_EQ(FileExists(path), c.mif);
        EXPECT_EQ(FileExists(brindow::MidPathFor(path)), c.mid);
        if (!c.withColumns) {
            EXPECT_NE(ReadText(path).find("\nColumns 0\n"), std::string::npos);
        }
    }
}

TEST_F(BrindowPlugin, AnUnsupportedShapeAbortsTheLayerAndLeavesTheOldFile) {
    const std::string path = dir.file("old.mif");
    WriteText(path, "good");
    FixtureTheme f(SHT_Point, {{{{1, 2}}}}, {{"a", "1", "2", "3"}});
    dialogs.File(path);
    dialogs.Button(QMessageBox::Yes); // replace the file
    dialogs.Button(QMessageBox::No);  // no table
    ASSERT_TRUE(exporter.PreExport(&f.theme, 0, 1));
    EXPECT_EQ(dialogs.m_Seen.size(), 3u);
    std::vector<unsigned char> multipoint(60, 0);
    multipoint[3] = 1;
    multipoint[8] = 8;
    EXPECT_FALSE(exporter.ExportShape(&f.theme, nullptr, 8, reinterpret_cast<const CShapeRecord*>(multipoint.data()),
                                      4));
    EXPECT_EQ(exporter.m_ErrorText,
              "An unsupported shape type encountered when exporting layer.\n\nExport aborted for this layer.");
    EXPECT_TRUE(exporter.PostExport(0, false));
    EXPECT_EQ(ReadText(path), "good");
}

} // namespace
