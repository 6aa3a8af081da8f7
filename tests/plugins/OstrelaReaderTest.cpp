// The MIF/MID reader of the Ostrela loader: the fixtures of tests/data/mif
// were written by GDAL's ogr2ogr (tools/make_mif_fixtures.sh) and the expected
// geometry, attributes and pens below are what `ogrinfo -al` reads from them
// (tests/data/mif/mixed.ogrinfo.txt).

#include "MifReader.h"
#include "common/MifColor.h"

#include "platform/NumberText.h"
#include "shapes/ShapeRecord.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using ostrela::CMIF;

namespace {

std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/mif/" + name; }

// The record's points as ogrinfo lists them: "(x y,x y),(x y)".
std::string Parts(const unsigned char* bytes) {
    const auto* record = reinterpret_cast<const CShapeRecord*>(bytes);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        return "(" + corvale::FormatDouble(p.x) + " " + corvale::FormatDouble(p.y) + ")";
    }
    std::string text;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        const std::uint32_t end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
        text += part > 0 ? ",(" : "(";
        for (std::uint32_t i = CShapeRecord::GetPartStart(record, part); i < end; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(record, i);
            text += (i > CShapeRecord::GetPartStart(record, part) ? "," : "") + corvale::FormatDouble(p.x) + " " +
                    corvale::FormatDouble(p.y);
        }
        text += ")";
    }
    return text;
}

std::vector<std::string> Values(const CMIF& mif, const unsigned char* record) {
    std::vector<std::string> values;
    for (std::uint32_t c = 0; c < mif.m_Columns.size(); ++c)
        values.emplace_back(mif.Attribute(record, c));
    return values;
}

struct Expected {
    std::uint32_t type;
    std::size_t index;
    std::uint32_t objectNumber;
    std::string parts;
    std::vector<std::string> values; // name, n, v
};

// From mixed.ogrinfo.txt, in the order the reader hands the records out.
const std::vector<Expected>& MixedRecords() {
    static const std::vector<Expected> expected = {
        {SHT_Point, 0, 0, "(1.5 2.5)", {"say \"hi\", there", "3", "1.5"}},
        {SHT_Point, 1, 4, "(-3.25 4)", {"plain", "-7", "-0.5"}},
        {SHT_Polyline, 0, 1, "(0 0,1 1,2 0.5)", {"red line", "10", "0.25"}},
        {SHT_Polyline, 1, 2, "(0 0,1 1),(5 5,6 6,7 5.5)", {"blue lines", "11", "-2.75"}},
        {SHT_Polygon, 0, 3, "(0 0,10 0,10 10,0 10,0 0),(2 2,2 4,4 4,4 2,2 2)", {"holed", "20", "100.125"}},
        {SHT_Polygon, 1, 5, "(20 20,21 20,21 21,20 20),(30 30,32 30,32 32,30 30)", {"", "21", "0"}},
    };
    return expected;
}

TEST(OstrelaReader, ReadsWhatGdalWroteWithPlainAndDecimalCommaCoordinates) {
    for (const char* file : {"mixed.mif", "comma.mif"}) {
        SCOPED_TRACE(file);
        CMIF mif(true, true, true);
        ASSERT_TRUE(mif.ReadFile(Fixture(file)));
        EXPECT_EQ(mif.m_Version, 300);
        EXPECT_EQ(mif.m_Charset, "Neutral");
        EXPECT_EQ(mif.m_Delimiter, ',');
        EXPECT_EQ(mif.m_NonEmptyKinds, 3);
        ASSERT_EQ(mif.m_Columns.size(), 4u);
        EXPECT_EQ(mif.m_Columns[0].m_Name, "name");
        EXPECT_EQ(mif.m_Columns[3].m_Name, "OGR_STYLE");
        EXPECT_EQ(mif.m_TailSize, 4u + 255 + 13 + 48 + 255);
        for (std::uint32_t type : {SHT_Point, SHT_Polyline, SHT_Polygon})
            EXPECT_EQ(mif.Records(type).size(), 2u) << type;
        for (const Expected& e : MixedRecords()) {
            SCOPED_TRACE(e.values[0]);
            const unsigned char* record = mif.Records(e.type).at(e.index);
            EXPECT_EQ(CShapeRecord::GetShapeType(reinterpret_cast<const CShapeRecord*>(record)), e.type);
            EXPECT_EQ(Parts(record), e.parts);
            EXPECT_EQ(CMIF::ObjectNumberOf(record), e.objectNumber);
            std::vector<std::string> values = Values(mif, record);
            values.pop_back(); // the style column
            EXPECT_EQ(values, e.values);
            // The record number counts the records of its kind.
            EXPECT_EQ(GetShapeRecordIndex(reinterpret_cast<const CShapeRecord*>(record)), static_cast<int>(e.index));
        }
        // The last pen of the file: PEN(w:4px,c:#123456).
        EXPECT_EQ(mif.m_PenWidth, 4);
        EXPECT_EQ(mif.m_PenColor, 0x123456u);
    }
}

// What the Brindow exporter wrote for its fixture themes reads back whole:
// the same values (quotes, the TAB and the joined line included) and, for
// lines and areas, the theme colour in the program's byte order.
TEST(OstrelaReader, ReadsWhatBrindowWrote) {
    struct Case {
        const char* file;
        std::uint32_t type;
        std::size_t count;
        std::uint32_t programColor;
        int penWidth;
    } cases[] = {
        {"brindow_points.mif", SHT_Point, 3, 0, 0},
        {"brindow_lines.mif", SHT_Polyline, 2, 0x0000FF, 3},
        {"brindow_areas.mif", SHT_Polygon, 3, 0x563412, 2},
    };
    const std::vector<std::vector<std::string>> rows = {
        {"say \"hi\", there", "3", "1.500", "20200102"},
        {"tab\there", "-7", "-0.250", "20211231"},
        {"two lines", "0", "100.125", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CMIF mif(true, true, true);
        ASSERT_TRUE(mif.ReadFile(Fixture(c.file)));
        EXPECT_EQ(mif.m_NonEmptyKinds, 1);
        ASSERT_EQ(mif.Records(c.type).size(), c.count);
        for (std::size_t i = 0; i < c.count; ++i)
            EXPECT_EQ(Values(mif, mif.Records(c.type)[i]), rows[i]) << i;
        EXPECT_EQ(mifcolor::MifToProgram(mif.m_PenColor), c.programColor);
        EXPECT_EQ(mif.m_PenWidth, c.penWidth);
    }
}

// Builds a MIF text with these columns and data lines.
std::string Mif(const std::string& columns, const std::string& data, const std::string& header = "") {
    std::istringstream in(columns);
    std::string line;
    int n = 0;
    std::string body;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        body += "  " + line + "\n";
        ++n;
    }
    return "Version 300\nCharset \"WindowsLatin1\"\n" + header + "Columns " + std::to_string(n) + "\n" + body +
           "Data\n\n" + data;
}

TEST(OstrelaReader, BrokenFilesFail) {
    struct Case {
        const char* what;
        std::string mif;
    } cases[] = {
        {"no VERSION first", "Charset \"x\"\nColumns 0\nData\nPoint 1 2\n"},
        {"no COLUMNS", "Version 300\nData\nPoint 1 2\n"},
        {"no DATA", "Version 300\nColumns 0\nPoint 1 2\n"},
        {"empty file", ""},
        {"unknown column type", Mif("a blob", "Point 1 2\n")},
        {"char without width", Mif("a Char", "Point 1 2\n")},
        {"COORDSYS continued on a second line",
         "Version 300\nCoordSys Earth Projection 1, 104\n  Bounds (0, 0) (1, 1)\nColumns 0\nData\n"},
        {"an ELLIPSE anywhere", Mif("", "Point 1 2\nEllipse 0 0 1 1\nPoint 3 4\n")},
        {"ROUNDRECT", Mif("", "Roundrect 0 0 1 1 0.1\n")},
        {"MULTIPOINT", Mif("", "Multipoint 1\n1 1\n")},
        {"COLLECTION", Mif("", "Collection 1\n")},
        {"a point with one number", Mif("", "Point 1\n")},
        {"a point of text", Mif("", "Point a b\n")},
        {"a LINE of three numbers", Mif("", "Line 0 0 1\n")},
        {"a region without ring count", Mif("", "Region\n")},
        {"a ring count that is no number", Mif("", "Region 1\n  x\n0 0\n")},
        {"the end of the file inside a ring", Mif("", "Region 1\n  4\n0 0\n1 0\n")},
        {"the end of the file inside a PLINE", Mif("", "Pline 3\n0 0\n1 1\n")},
        {"a section count missing", Mif("", "Pline Multiple 2\n  2\n0 0\n1 1\n")},
        {"ARC without its second line", Mif("", "Arc 0 0 1 1\n")},
        {"TEXT without its second line", Mif("", "Text \"a\"\n")},
        {"a point that is not finite", Mif("", "Point nan 1\n")},
        {"a negative count", Mif("", "Region 1\n  -3\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMIF mif(true, true, true);
        EXPECT_FALSE(mif.Parse(c.mif, ""));
    }
}

TEST(OstrelaReader, ObjectsOfEveryKind) {
    struct Case {
        const char* what;
        std::string data;
        std::uint32_t type;
        std::vector<std::string> parts;
    } cases[] = {
        {"PLINE with a count reads one section", "Pline 3\n0 0\n1 1\n2 0\n", SHT_Polyline, {"(0 0,1 1,2 0)"}},
        {"PLINE with the count on its own line is one point of its own", "Pline\n5 6\n", SHT_Polyline, {"(5 6)"}},
        {"PLINE MULTIPLE 2 reads two sections", "PLINE MULTIPLE 2\n  2\n0 0\n1 1\n  1\n3 3\n", SHT_Polyline,
         {"(0 0,1 1),(3 3)"}},
        {"LINE is one part of two points", "Line 1 2 3 4\n    Pen (1,2,0)\n", SHT_Polyline, {"(1 2,3 4)"}},
        {"RECT is a closed ring of five points", "Rect 0 0 2 1\n    Pen (1,2,0)\n    Brush (2,0)\n",
         SHT_Polygon, {"(0 0,0 1,2 1,2 0,0 0)"}},
        {"rings are kept as written", "Region 1\n  3\n0 0\n0 1\n1 0\n    Pen (1,2,0)\n    Brush (2,0)\n"
                                      "    Center 0.3 0.3\n",
         SHT_Polygon, {"(0 0,0 1,1 0)"}},
        {"comments, blank lines and lower case", "' a comment\n\n  point 7 8\n  symbol (35,0,12)\n", SHT_Point,
         {"(7 8)"}},
        {"decimal commas", "Point 1,5 2,5\nLine 0,5 1 2 3,25\n", SHT_Point, {"(1.5 2.5)"}},
        {"decimal commas in a line", "Point 1,5 2,5\nLine 0,5 1 2 3,25\n", SHT_Polyline, {"(0.5 1,2 3.25)"}},
        {"objects the loader does not take are passed over", "Arc 0 0 1 1\n 0 90\n    Pen (1,2,0)\n"
                                                              "Text \"x\"\n 0 0 1 1\n Font (\"a\",0,0,0)\n"
                                                              " Angle 30\nPoint 1 1\nSmooth\n",
         SHT_Point, {"(1 1)"}},
        {"a region without points makes no record", "Region 1\n  0\nRegion 1\n  1\n4 4\n", SHT_Polygon,
         {"(4 4)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMIF mif(true, true, true);
        ASSERT_TRUE(mif.Parse(Mif("", c.data), ""));
        std::vector<std::string> parts;
        for (const unsigned char* record : mif.Records(c.type))
            parts.push_back(Parts(record));
        EXPECT_EQ(parts, c.parts);
    }
}

TEST(OstrelaReader, EveryObjectTakesItsRowSoTheAttributesStayAligned) {
    const std::string mif = Mif("id Integer\nname Char(10)",
                                "Arc 0 0 1 1\n 0 90\nPoint 1 1\nText \"t\"\n 0 0 1 1\n Label Line Arrow 0 0\n"
                                "Region 1\n  1\n0 0\nPoint 2 2\n    Symbol (1,2,3)\nLine 0 0 1 1\n");
    const std::string mid = "1,\"arc\"\n2,\"p1\"\n3,\"text\"\n4,\"r\"\n5,\"p2\"\n6,\"l\"\n";
    struct Case {
        bool points, polylines, polygons;
        std::vector<std::string> pointIds, polylineIds, polygonIds;
        int kinds;
    } cases[] = {
        {true, true, true, {"2", "5"}, {"6"}, {"4"}, 3},
        {false, true, true, {}, {"6"}, {"4"}, 2},
        {true, false, false, {"2", "5"}, {}, {}, 1},
        {false, false, false, {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.points) + std::to_string(c.polylines) + std::to_string(c.polygons));
        CMIF reader(c.points, c.polylines, c.polygons);
        std::string delimited = std::string("Delimiter \",\"\n");
        ASSERT_TRUE(reader.Parse(mif.substr(0, mif.find("Columns")) + delimited + mif.substr(mif.find("Columns")),
                                 mid));
        EXPECT_EQ(reader.m_NonEmptyKinds, c.kinds);
        auto ids = [&](std::uint32_t type) {
            std::vector<std::string> v;
            for (const unsigned char* record : reader.Records(type))
                v.emplace_back(reader.Attribute(record, 0));
            return v;
        };
        EXPECT_EQ(ids(SHT_Point), c.pointIds);
        EXPECT_EQ(ids(SHT_Polyline), c.polylineIds);
        EXPECT_EQ(ids(SHT_Polygon), c.polygonIds);
    }
    // The object numbers count every object line, the passed-over ones too.
    CMIF reader(true, true, true);
    ASSERT_TRUE(reader.Parse(mif, mid));
    EXPECT_EQ(CMIF::ObjectNumberOf(reader.Records(SHT_Point)[0]), 1u);
    EXPECT_EQ(CMIF::ObjectNumberOf(reader.Records(SHT_Point)[1]), 4u);
    EXPECT_EQ(CMIF::ObjectNumberOf(reader.Records(SHT_Polyline)[0]), 5u);
}

// GDAL writes a feature without geometry as a NONE object, which still has
// its row in the table (nogeom.ogrinfo.txt): the shapes after it keep their
// own values.
TEST(OstrelaReader, ObjectsWithoutGeometryKeepTheirRows) {
    CMIF mif(true, true, true);
    ASSERT_TRUE(mif.ReadFile(Fixture("nogeom.mif")));
    const auto& points = mif.Records(SHT_Point);
    ASSERT_EQ(points.size(), 3u);
    const std::vector<std::vector<std::string>> expected = {{"first", "1"}, {"third", "3"}, {"fourth", "4"}};
    const std::vector<std::string> where = {"(1 1)", "(3 3)", "(4 4)"};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(Values(mif, points[i]), expected[i]);
        EXPECT_EQ(Parts(points[i]), where[i]);
    }
    EXPECT_EQ(CMIF::ObjectNumberOf(points[1]), 2u);

    // An object line the reader does not know takes its row too; a style
    // clause out of the usual order is not an object and takes none.
    const std::string text = Mif("id Integer",
                                 "Region 1\n 3\n0 0\n1 0\n0 1\n Brush (2,16777215,0)\n Pen (3,2,255)\n"
                                 "Future 1 2\nNone\nPoint 5 5\n");
    CMIF reader(true, true, true);
    ASSERT_TRUE(reader.Parse(text, "1\n2\n3\n4\n"));
    ASSERT_EQ(reader.Records(SHT_Point).size(), 1u);
    EXPECT_STREQ(reader.Attribute(reader.Records(SHT_Point)[0], 0), "4");
    EXPECT_EQ(CMIF::ObjectNumberOf(reader.Records(SHT_Point)[0]), 3u);
    ASSERT_EQ(reader.Records(SHT_Polygon).size(), 1u);
    EXPECT_STREQ(reader.Attribute(reader.Records(SHT_Polygon)[0], 0), "1");
    EXPECT_EQ(reader.m_PenWidth, 3);
    EXPECT_EQ(reader.m_PenColor, 255u);
}

// Values and column names are handed out as UTF-8, converted from the code
// page the file's Charset names; a value keeps at most its width in the
// file's bytes, and never half a UTF-8 character.
TEST(OstrelaReader, TextIsConvertedFromTheDeclaredCharset) {
    struct Case {
        const char* charset;
        std::string name, value; // as the file holds them
        std::string utf8Name, utf8Value;
    } cases[] = {
        {"WindowsLatin1", "R\xE9gion", "C\xF4te d'Ivoire", "R\xC3\xA9gion", "C\xC3\xB4te"},
        {"ISO8859_1", "R\xE9gion", "\x80uro", "R\xC3\xA9gion", "\xE2\x82\xACuro"},
        {"Neutral", "Region", "\xC3\xB4t\xC3\xA9", "Region", "\xC3\xB4t"},
        {"Neutral", "R\xE9gion", "C\xF4te", "R\xC3\xA9gion", "C\xC3\xB4te"},
        {"UTF-8", "R\xC3\xA9gion", "abc\xC3\xB4te", "R\xC3\xA9gion", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.charset) + " " + c.value);
        const std::string mif = std::string("Version 300\nCharset \"") + c.charset + "\"\nColumns 1\n  " + c.name +
                                " Char(4)\nData\n\nPoint 1 2\n";
        CMIF reader(true, true, true);
        ASSERT_TRUE(reader.Parse(mif, "\"" + c.value + "\"\n"));
        EXPECT_EQ(reader.m_Columns.at(0).m_Name, c.utf8Name);
        EXPECT_EQ(reader.m_Columns.at(0).m_Width, 4);
        ASSERT_EQ(reader.Records(SHT_Point).size(), 1u);
        EXPECT_EQ(reader.AttributeText(reader.Records(SHT_Point)[0], 0), c.utf8Value);
    }
}

TEST(OstrelaReader, MidRowsAreSplitIntoTheirSlots) {
    struct Case {
        const char* what;
        std::string header; // Delimiter line or nothing (TAB)
        std::string columns;
        std::string row;
        std::vector<std::string> values;
    } cases[] = {
        {"a quoted text holding a TAB", "", "a Integer\nb Char(10)\nc Integer", "1\t\"x\ty\"\t3", {"1", "x\ty", "3"}},
        {"a doubled quote is one quote", "Delimiter \",\"\n", "a Char(20)\nb Integer", "\"say \"\"hi\"\", ok\",7",
         {"say \"hi\", ok", "7"}},
        {"an unquoted text", "", "a Char(5)\nb Char(5)", "ab\tcd", {"ab", "cd"}},
        {"a value longer than its slot is cut", "", "a Char(3)\nb Integer", "\"abcdef\"\t12", {"abc", "12"}},
        {"an unquoted long value is cut too", "", "a Char(2)\nb SmallInt", "abcdef\t-5", {"ab", "-5"}},
        {"a row that gives out leaves the rest empty", "", "a Integer\nb Char(4)\nc Float", "9", {"9", "", ""}},
        {"an empty field between delimiters", "", "a Integer\nb Integer\nc Integer", "1\t\t3", {"1", "", "3"}},
        {"decimal values keep their sign and point", "", "a Decimal(5,2)", "-123.45", {"-123.45"}},
        {"numbers and dates as written", "", "d Date\nl Logical\nf Float", "20200102\tT\t1.25e3",
         {"20200102", "T", "1.25e3"}},
        {"a quote in a number column is kept", "", "a Integer\nb Char(5)", "\"1\"\tx", {"\"1\"", "x"}},
        {"an unclosed quote runs to the end", "", "a Char(9)\nb Integer", "\"ab\tc", {"ab\tc", ""}},
        {"CR LF endings", "", "a Char(9)\nb Integer", "\"ab\"\t4\r", {"ab", "4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMIF mif(true, true, true);
        ASSERT_TRUE(mif.Parse(Mif(c.columns, "Point 0 0\n", c.header), c.row + "\n"));
        ASSERT_EQ(mif.Records(SHT_Point).size(), 1u);
        EXPECT_EQ(Values(mif, mif.Records(SHT_Point)[0]), c.values);
    }
}

TEST(OstrelaReader, ColumnTypesWidthsAndAttributeTypes) {
    CMIF mif(true, true, true);
    ASSERT_TRUE(mif.Parse(Mif("a Char (8)\nb integer\nc SMALLINT\nd Decimal(10,2)\ne Float\nf Date\ng Logical",
                              "Point 0 0\n"),
                          ""));
    struct Col {
        const char* name;
        int type, width;
        std::uint32_t attributeType;
    } expected[] = {{"a", 0, 8, 0},   {"b", 1, 12, 1},  {"c", 2, 7, 1}, {"d", 3, 12, 2},
                    {"e", 4, 47, 2},  {"f", 5, 128, 0}, {"g", 6, 16, 0}};
    ASSERT_EQ(mif.m_Columns.size(), std::size(expected));
    std::size_t tail = 4;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(mif.m_Columns[i].m_Name, expected[i].name);
        EXPECT_EQ(mif.m_Columns[i].m_Type, expected[i].type);
        EXPECT_EQ(mif.m_Columns[i].m_Width, expected[i].width);
        EXPECT_EQ(ostrela::AttributeTypeOf(mif.m_Columns[i].m_Type), expected[i].attributeType);
        tail += expected[i].width + 1;
    }
    EXPECT_EQ(mif.m_TailSize, tail);
    const unsigned char* record = mif.Records(SHT_Point)[0];
    EXPECT_STREQ(mif.Attribute(record, 7), "#ERROR# Out of bounds");
    unsigned char other[28] = {};
    other[8] = 8; // a MultiPoint
    EXPECT_STREQ(mif.Attribute(other, 0), "###ERROR###");
}

TEST(OstrelaReader, PenColoursKeepRedRed) {
    struct Case {
        const char* pen;
        int width;
        std::uint32_t programColor; // 0x00BBGGRR
    } cases[] = {
        {"    Pen (3,2,16711680)", 3, 0x0000FF}, // red
        {"    Pen (1,2,65280)", 1, 0x00FF00},    // green
        {"    Pen (2,2,255)", 2, 0xFF0000},      // blue
        {"    Pen (4, 2, 1193046)", 4, 0x563412},
        {"    PEN(5,2,0)", 5, 0x000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pen);
        CMIF mif(true, true, true);
        ASSERT_TRUE(mif.Parse(Mif("", "Line 0 0 1 1\n" + std::string(c.pen) + "\n"), ""));
        EXPECT_EQ(mif.m_PenWidth, c.width);
        EXPECT_EQ(mifcolor::MifToProgram(mif.m_PenColor), c.programColor);
        EXPECT_EQ(mifcolor::ProgramToMif(c.programColor), mif.m_PenColor);
    }
    // The last pen of the file wins, whatever object it belongs to.
    CMIF mif(true, true, true);
    ASSERT_TRUE(mif.Parse(Mif("", "Line 0 0 1 1\n Pen (1,2,255)\nRegion 1\n 1\n0 0\n Pen (7,2,16711680)\nPoint 1 1\n"),
                          ""));
    EXPECT_EQ(mif.m_PenWidth, 7);
    EXPECT_EQ(mif.m_PenColor, 16711680u);
}

TEST(OstrelaReader, ManyRecordsSpreadOverThePoolStayPut) {
    std::string data;
    for (int i = 0; i < 2000; ++i)
        data += "Point " + std::to_string(i) + " 1\n";
    std::string mid;
    for (int i = 0; i < 2000; ++i)
        mid += "\"" + std::string(i % 300, 'x') + "\"\n";
    CMIF mif(true, true, true);
    ASSERT_TRUE(mif.Parse(Mif("t Char(254)", data), mid));
    ASSERT_EQ(mif.Records(SHT_Point).size(), 2000u);
    for (int i = 0; i < 2000; i += 97) {
        const unsigned char* record = mif.Records(SHT_Point)[i];
        EXPECT_EQ(CShapeRecord::GetPoint(reinterpret_cast<const CShapeRecord*>(record), 0).x, i);
        EXPECT_EQ(std::string(mif.Attribute(record, 0)), std::string(std::min(i % 300, 254), 'x'));
    }
}

} // namespace
