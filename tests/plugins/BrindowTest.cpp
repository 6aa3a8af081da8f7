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
        ASSERT_TRUE(out.Begin(dir.file("t.mif"), "", {}, error)) << error;
        EXPECT_EQ(out.WriteShape(Args(c.type, MakeRecord(c.type, c.shape, 1), c.color)), c.result);
        ASSERT_TRUE(out.End(true, error)) << error;
        EXPECT_EQ(ReadText(dir.file("t.mif")),
                  "Version 300\nCharset \"WindowsLatin1\"\nColumns 0\n\nDATA\n" + c.text);
    }
    // A multipoint is not written.
    TempDir dir;
    brindow::CMifExport out;
    std::string error;
    ASSERT_TRUE(out.Begin(dir.file("t.mif"), "", {}, error));
    std::vector<unsigned char> multipoint(60, 0);
    multipoint[8] = 8;
    EXPECT_EQ(out.WriteShape(Args(8, multipoint)), brindow::CMifExport::Unsupported);
}

// The files say their text is Windows Latin 1, so it is: UTF-8 values and
// names are converted, values that are no UTF-8 (a Latin 1 dBase table's)
// are kept, and a character the code page has no byte for becomes '?' and is
// counted. The Ostrela reader reads them back as the UTF-8 they were.
const char* LatinValue(std::uint32_t, std::uint32_t field) {
    static const char* const values[] = {"C\xC3\xB4te d'Ivoire", "C\xF4te", "\xD0\x96uk"};
    return values[field];
}

TEST(BrindowWriter, TextIsWrittenInTheCodePageTheFileDeclares) {
    TempDir dir;
    brindow::CMifExport out;
    std::string error;
    ASSERT_TRUE(out.Begin(dir.file("t.mif"), dir.file("t.mid"),
                          {{"R\xC3\xA9gion", XPR_FT_String}, {"LATIN", XPR_FT_String}, {"OTHER", XPR_FT_String}},
                          error))
        << error;
    const auto record = MakeRecord(SHT_Point, {{{1, 2}}}, 1);
    ExportShapeArgs args = Args(SHT_Point, record);
    args.word = 3;
    args.getAttributeValue = LatinValue;
    EXPECT_EQ(out.WriteShape(args), brindow::CMifExport::Written);
    ASSERT_TRUE(out.End(true, error)) << error;
    EXPECT_EQ(out.Replaced(), 1u);
    const std::string mif = ReadText(dir.file("t.mif"));
    EXPECT_NE(mif.find("Charset \"WindowsLatin1\""), std::string::npos);
    EXPECT_NE(mif.find("  R\xE9gion char (254)\n"), std::string::npos) << mif;
    EXPECT_EQ(ReadText(dir.file("t.mid")), "\"C\xF4te d'Ivoire\"\t\"C\xF4te\"\t\"?uk\"\n");

    ostrela::CMIF reader(true, true, true);
    ASSERT_TRUE(reader.ReadFile(dir.file("t.mif")));
    ASSERT_EQ(reader.m_Columns.size(), 3u);
    EXPECT_EQ(reader.m_Columns[0].m_Name, "R\xC3\xA9gion");
    const unsigned char* point = reader.Records(SHT_Point).at(0);
    EXPECT_EQ(reader.AttributeText(point, 0), "C\xC3\xB4te d'Ivoire");
    EXPECT_EQ(reader.AttributeText(point, 1), "C\xC3\xB4te");
}

TEST(BrindowWriter, AnUncreatableOutputFailsAndABrokenExportKeepsTheOldFiles) {
    TempDir dir;
    brindow::CMifExport out;
    std::string error;
    EXPECT_FALSE(out.Begin(dir.file("no/such/folder/t.mif"), "", {}, error));
    EXPECT_EQ(error, "Could not create the file " + dir.file("no/such/folder/t.mif") + ".");
    EXPECT_FALSE(out.IsOpen());
    error.clear();
    EXPECT_FALSE(out.Begin(dir.file("t.mif"), dir.file("no/t.mid"), {}, error));
    EXPECT_EQ(error, "Could not create the file " + dir.file("no/t.mid") + ".");
    EXPECT_FALSE(FileExists(dir.file("t.mif")));

    WriteText(dir.file("old.mif"), "good");
    WriteText(dir.file("old.mid"), "rows");
    ASSERT_TRUE(out.Begin(dir.file("old.mif"), dir.file("old.mid"), {{"A", XPR_FT_Int}}, error));
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
    EXPECT_EQ(exporter.m_Version, 3u);
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
