#include "formats/WktText.h"

#include "FormatsTestSupport.h"
#include "geometry/ShapeOperations.h"
#include "shapes/RecordFixtures.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const char* const kFixtureThemes[] = {"points", "pointsz", "lines", "linesz", "polygons", "polygonsz"};

std::vector<unsigned char> FromHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The records of a theme, all shapes in file order.
std::vector<const CShapeRecord*> RecordsOf(const CTheme& theme) {
    std::vector<const CShapeRecord*> records;
    for (int i = 0; i < theme.GetAllShapeCount(); ++i)
        records.push_back(theme.GetAllShape(i));
    return records;
}

// The record as the parser gives it back: plain types stay plain, and rings
// come in the order the writer groups them (outer ring, then its holes).
RecordImage GroupedImage(const CShapeRecord* record) {
    RecordImage image = ImageOf(record);
    if (!CShapeRecord::IsPolygonType(image.type))
        return image;
    RecordImage grouped;
    grouped.type = image.type;
    for (const auto& polygon : GroupPolygonRings(record))
        for (std::uint32_t j : polygon)
            grouped.parts.push_back(image.parts[j]);
    return grouped;
}

TEST(WktWriter, WritesEveryFixtureShapeAsThePeersRead) {
    for (const char* stem : kFixtureThemes) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        const auto expected = ReadFixtureLines(std::string(stem) + ".wkt");
        const auto records = RecordsOf(*theme);
        ASSERT_EQ(records.size(), expected.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            std::string text;
            ASSERT_TRUE(FormatShapeAsWkt(records[i], text, 6));
            EXPECT_EQ(text, expected[i]);
        }
    }
}

TEST(WktParser, ReadsBackWhatTheWriterWritesWithZ) {
    for (const char* stem : kFixtureThemes) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        for (const CShapeRecord* record : RecordsOf(*theme)) {
            std::string text;
            ASSERT_TRUE(FormatShapeAsWkt(record, text, 6));
            ParsedRecords parsed;
            EXPECT_TRUE(ParseWkt(text, parsed.records, theme->m_ShapeType, 0)) << text;
            ASSERT_EQ(parsed.records.size(), 1u) << text;
            EXPECT_EQ(ImageOf(parsed.records[0]), GroupedImage(record)) << text;
        }
    }
}

TEST(WktParser, ReadsShapelysTextOfTheFixtureShapes) {
    for (const char* stem : kFixtureThemes) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        const auto texts = ReadFixtureLines(std::string(stem) + ".shapely.wkt");
        const auto records = RecordsOf(*theme);
        ASSERT_EQ(records.size(), texts.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            ParsedRecords parsed;
            EXPECT_TRUE(ParseWkt(texts[i], parsed.records, theme->m_ShapeType, 0)) << texts[i];
            ASSERT_EQ(parsed.records.size(), 1u);
            EXPECT_EQ(ImageOf(parsed.records[0]), GroupedImage(records[i])) << texts[i];
        }
    }
}

TEST(WkbReader, ReadsShapelysWkbOfTheFixtureShapes) {
    // shapely's WKB of the points, the one-part line and every polygon as a
    // multi-polygon (the multi-part line has no WKB form the reader takes).
    struct Case {
        const char* stem;
        std::vector<std::size_t> records;
    };
    const Case cases[] = {{"points", {0, 1, 2}}, {"lines", {0}}, {"polygons", {0, 1, 2, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stem);
        const auto theme = OpenFixtureTheme(c.stem);
        ASSERT_NE(theme, nullptr);
        const auto hexes = ReadFixtureLines(std::string(c.stem) + ".shapely.wkb");
        ASSERT_EQ(hexes.size(), c.records.size());
        const auto records = RecordsOf(*theme);
        for (std::size_t k = 0; k < hexes.size(); ++k) {
            const auto bytes = FromHex(hexes[k]);
            CShapeRecordPtr parsed(ParseWkb(bytes.data(), bytes.size()));
            ASSERT_NE(parsed, nullptr) << hexes[k];
            EXPECT_EQ(ImageOf(parsed.get()), GroupedImage(records[c.records[k]]));
        }
    }
}

// A polyline or polygon record of no parts and no points.
Bytes EmptyMulti(std::uint32_t type) {
    Bytes b(52, 0);
    corvale::WriteBE32(b.data(), 1);
    corvale::WriteBE32(b.data() + 4, 22);
    corvale::WriteLE32(b.data() + 8, type);
    return b;
}

TEST(WktWriter, FormsOfSingleRecords) {
    const Bytes point = MakePoint(1.5, -2);
    const Bytes pointZ = MakePointZ(1.5, -2, 7, 0);
    const Bytes square = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}});
    const Bytes squareZ = MakeMulti(SHT_PolygonZ, {{{0, 0, 1}, {0, 1, 2}, {1, 1, 3}, {1, 0, 4}, {0, 0, 1}}});
    // Two clockwise rings apart: two polygons.
    const Bytes twoIslands = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}},
                                                     {{5, 5}, {5, 6}, {6, 6}, {6, 5}, {5, 5}}});
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {2.5, 1}}});
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 1}, {2.5, 1, 2}}});
    const Bytes emptyLine = EmptyMulti(SHT_Polyline);
    const Bytes emptyPolygon = EmptyMulti(SHT_Polygon);
    struct Case {
        const Bytes* record;
        int precision;
        const char* text;
    };
    const Case cases[] = {
        {&point, 3, "POINT(1.500 -2.000)"},
        {&pointZ, 3, "POINT Z (1.500 -2.000 7.000)"},
        {&square, 0, "POLYGON((0 0, 0 1, 1 1, 1 0, 0 0))"},
        {&squareZ, 0, "POLYGON Z ((0 0 1, 0 1 2, 1 1 3, 1 0 4, 0 0 1))"},
        {&twoIslands, 0, "MULTIPOLYGON(((0 0, 0 1, 1 1, 1 0, 0 0)), ((5 5, 5 6, 6 6, 6 5, 5 5)))"},
        {&line, 1, "LINESTRING(0.0 0.0, 2.5 1.0)"},
        {&lineZ, 1, "LINESTRING Z (0.0 0.0 1.0, 2.5 1.0 2.0)"},
        {&emptyLine, 2, "LINESTRING EMPTY"},
        {&emptyPolygon, 2, "POLYGON EMPTY"},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_TRUE(FormatShapeAsWkt(Rec(*c.record), text, c.precision));
        EXPECT_EQ(text, c.text);
    }
}

TEST(WktWriter, RecordsWithoutWktFormLeaveTheTextAlone) {
    Bytes multipoint(40, 0);
    corvale::WriteLE32(multipoint.data() + 8, SHT_MultiPoint);
    Bytes image(40, 0);
    corvale::WriteLE32(image.data() + 8, SHT_Image);
    const Bytes notFinite = MakePoint(std::numeric_limits<double>::quiet_NaN(), 1);
    for (const Bytes* record : std::vector<const Bytes*>{&multipoint, &image, &notFinite}) {
        std::string text = "unchanged";
        EXPECT_FALSE(FormatShapeAsWkt(Rec(*record), text, 6));
        EXPECT_EQ(text, "unchanged");
    }
    std::string text = "unchanged";
    EXPECT_FALSE(FormatShapeAsWkt(nullptr, text, 6));
}

TEST(WktParser, Cases) {
    struct Case {
        const char* text;
        std::uint32_t wanted;
        std::size_t maxCount;
        bool result;
        // The types of the entries appended, 0 for an empty entry.
        std::vector<std::uint32_t> types;
    };
    const Case cases[] = {
        {"", 1, 0, true, {}},
        {"  polygon ((0 0, 1 0, 1 1, 0 0))", 5, 0, true, {SHT_Polygon}},
        {"POINT(1 2)\r\nPOINT(3 4)", 1, 0, true, {SHT_Point, SHT_Point}},
        {"POINT(1 2)\r\nPOINT(3 4)", 3, 0, true, {}},
        {"POINT(1 2) POINT(3 4)", 11, 1, true, {SHT_Point}},
        {"MULTIPOINT(1 2, 3 4)", 1, 0, false, {}},
        {"MULTIPOINT((1 2), (3 4))", 1, 0, false, {}},
        {"POINT(1 2 3)", 1, 0, false, {}},
        {"POINT M (1 2 3)", 1, 0, false, {}},
        {"POINT ZM (1 2 3 4)", 1, 0, false, {}},
        {"POINT Z (1 2)", 1, 0, false, {}},
        {"GEOMETRYCOLLECTION(POINT(1 2))", 1, 0, false, {}},
        {"POINT(1 2), POINT(3 4)", 1, 0, false, {SHT_Point}},
        {"CIRCLE(1 2)", 1, 0, false, {}},
        {"POINT(1 2", 1, 0, false, {}},
        {"POINT(1 2;", 1, 0, false, {}},
        {"POINT(1 x)", 1, 0, false, {}},
        {"POINT(inf 2)", 1, 0, false, {}},
        {"POINT(1e999 2)", 1, 0, false, {}},
        {"POINT(+1.5e2 -.5)", 1, 0, true, {SHT_Point}},
        {"POINT Z (1 2 3)", 1, 0, true, {SHT_PointZ}},
        {"LINESTRING Z (0 0 1, 1 1 2)", 13, 0, true, {SHT_PolylineZ}},
        {"MULTILINESTRING((0 0, 1 1), (2 2, 3 3))", 3, 0, true, {SHT_Polyline}},
        {"MULTIPOLYGON(((0 0, 0 1, 1 1, 0 0)), ((5 5, 5 6, 6 6, 5 5)))", 15, 0, true, {SHT_Polygon}},
        {"POLYGON Z ((0 0 1, 0 1 1, 1 1 1, 0 0 1))", 5, 0, true, {SHT_PolygonZ}},
        // Kept but too short, or empty: an empty entry.
        {"LINESTRING(0 0)", 3, 0, true, {0}},
        {"POLYGON((0 0, 1 1, 0 0))", 5, 0, true, {0}},
        {"LINESTRING EMPTY", 3, 0, true, {0}},
        {"POLYGON Z EMPTY", 5, 0, true, {0}},
        {"POINT EMPTY", 3, 0, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedRecords parsed;
        EXPECT_EQ(ParseWkt(c.text, parsed.records, c.wanted, c.maxCount), c.result);
        std::vector<std::uint32_t> types;
        for (const CShapeRecord* record : parsed.records)
            types.push_back(record != nullptr ? CShapeRecord::GetShapeType(record) : 0);
        EXPECT_EQ(types, c.types);
    }
    ParsedRecords parsed;
    EXPECT_TRUE(ParseWkt(static_cast<const char*>(nullptr), parsed.records, 1, 0));
    EXPECT_TRUE(parsed.records.empty());
}

TEST(WktParser, KeepsTheNumbersAndZOfTheText) {
    ParsedRecords parsed;
    ASSERT_TRUE(ParseWkt("LINESTRING Z (1.25 -2 3, 4 5e1 -6)", parsed.records, 3, 0));
    ASSERT_EQ(parsed.records.size(), 1u);
    RecordImage expected{SHT_PolylineZ, {{{1.25, -2, 3}, {4, 50, -6}}}};
    EXPECT_EQ(ImageOf(parsed.records[0]), expected);
}

TEST(WktParser, TextThatIsNotTerminatedIsReadOnlyToItsEnd) {
    // The view ends inside the number; what lies beyond is never read.
    const char text[] = "POINT(1 23456)";
    ParsedRecords parsed;
    EXPECT_FALSE(ParseWkt(std::string_view(text, 10), parsed.records, 1, 0));
}

TEST(WktKeywords, ShapeTypeAndDetection) {
    struct Case {
        const char* text;
        std::uint32_t type;
        bool isWkt;
    };
    const Case cases[] = {
        {"POINT(1 2)", 1, true},
        {" \t\r\nlinestring(0 0, 1 1)", 3, true},
        {"Polygon((0 0))", 5, true},
        {"MULTIPOINT(1 2)", 8, true},
        {"MULTILINESTRING((0 0, 1 1))", 3, true},
        {"MULTIPOLYGON(((0 0)))", 5, true},
        {"GEOMETRYCOLLECTION(POINT(1 2))", 0, true},
        {"hello", 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetWktShapeType(c.text), c.type) << c.text;
        EXPECT_EQ(IsWktText(c.text), c.isWkt) << c.text;
    }
    EXPECT_EQ(GetWktShapeType(nullptr), 0u);
    EXPECT_FALSE(IsWktText(nullptr));
}

// ---- WKB ----

struct WkbBytes {
    std::vector<unsigned char> bytes;
    WkbBytes& Order(bool little) {
        bytes.push_back(little ? 1 : 0);
        return *this;
    }
    WkbBytes& U32(std::uint32_t v, bool little = true) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(little ? v >> (8 * i) : v >> (8 * (3 - i))));
        return *this;
    }
    WkbBytes& Double(double d, bool little = true) {
        unsigned char raw[8];
        corvale::WriteLEDouble(raw, d);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(little ? raw[i] : raw[7 - i]);
        return *this;
    }
    WkbBytes& Ring(const std::vector<CShapePoint>& points, bool little = true) {
        U32(static_cast<std::uint32_t>(points.size()), little);
        for (const CShapePoint& p : points)
            Double(p.x, little).Double(p.y, little);
        return *this;
    }
};

const std::vector<CShapePoint> kSquare = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};

TEST(WkbReader, HonoursTheByteOrderOfEachPolygon) {
    WkbBytes wkb;
    wkb.Order(true).U32(6).U32(2);
    wkb.Order(false).U32(3, false).U32(1, false).Ring(kSquare, false);
    wkb.Order(true).U32(3).U32(1).Ring(kSquare);
    CShapeRecordPtr parsed(ParseWkb(wkb.bytes.data(), wkb.bytes.size()));
    ASSERT_NE(parsed, nullptr);
    std::vector<std::vector<double>> ring;
    for (const CShapePoint& p : kSquare)
        ring.push_back({p.x, p.y});
    EXPECT_EQ(ImageOf(parsed.get()), (RecordImage{SHT_Polygon, {ring, ring}}));
    std::uint32_t parts = 0;
    std::uint32_t points = 0;
    ASSERT_TRUE(GetWkbPartAndPointCount(wkb.bytes.data(), wkb.bytes.size(), parts, points));
    EXPECT_EQ(parts, 2u);
    EXPECT_EQ(points, 10u);
}

TEST(WkbReader, RefusesCountsThatDoNotFitTheBytes) {
    struct Case {
        const char* name;
        WkbBytes wkb;
    };
    std::vector<Case> cases;
    // A point count whose byte size overflows 32 bits.
    cases.push_back({"line count 2^28", WkbBytes().Order(true).U32(2).U32(0x10000000u).Double(0).Double(0)
                                            .Double(1).Double(1)});
    cases.push_back({"line count 0xFFFFFFFF",
                     WkbBytes().Order(true).U32(2).U32(0xFFFFFFFFu).Double(0).Double(0).Double(1).Double(1)});
    cases.push_back({"line cut", WkbBytes().Order(true).U32(2).U32(3).Double(0).Double(0).Double(1).Double(1)});
    cases.push_back({"ring beyond the end", WkbBytes().Order(true).U32(6).U32(1).Order(true).U32(3).U32(1)
                                                .U32(0x20000000u).Double(0).Double(0)});
    cases.push_back({"polygon header cut", WkbBytes().Order(true).U32(6).U32(1).Order(true).U32(3)});
    cases.push_back({"many polygons, no bytes", WkbBytes().Order(true).U32(6).U32(0xFFFFFFFFu)});
    cases.push_back({"inner not a polygon", WkbBytes().Order(true).U32(6).U32(1).Order(true).U32(2).U32(1)
                                                .Ring(kSquare)});
    cases.push_back({"inner byte order 7", WkbBytes().Order(true).U32(6).U32(1).Order(true).U32(3).U32(1)
                                               .Ring(kSquare)});
    cases.back().wkb.bytes[9] = 7;
    cases.push_back({"point cut", WkbBytes().Order(true).U32(1).Double(1)});
    cases.push_back({"big-endian point", WkbBytes().Order(false).U32(1, false).Double(1, false).Double(2, false)});
    cases.push_back({"polygon", WkbBytes().Order(true).U32(3).U32(1).Ring(kSquare)});
    cases.push_back({"multilinestring", WkbBytes().Order(true).U32(5).U32(0)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CShapeRecordPtr parsed(ParseWkb(c.wkb.bytes.data(), c.wkb.bytes.size()));
        EXPECT_EQ(parsed, nullptr);
    }
    EXPECT_EQ(ParseWkb(nullptr, 0), nullptr);
}

TEST(WkbReader, ShapeTypeFromTheFirstFiveBytes) {
    struct Case {
        WkbBytes wkb;
        std::uint32_t type;
    };
    const Case cases[] = {
        {WkbBytes().Order(true).U32(1), 1},         {WkbBytes().Order(false).U32(1, false), 1},
        {WkbBytes().Order(true).U32(2), 3},         {WkbBytes().Order(true).U32(3), 5},
        {WkbBytes().Order(true).U32(4), 8},         {WkbBytes().Order(true).U32(5), 3},
        {WkbBytes().Order(true).U32(6), 5},         {WkbBytes().Order(true).U32(7), 0},
        {WkbBytes().Order(true).U32(1001), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetWkbShapeType(c.wkb.bytes.data()), c.type);
    const unsigned char badOrder[5] = {2, 1, 0, 0, 0};
    EXPECT_EQ(GetWkbShapeType(badOrder), 0u);
}

TEST(PolygonRings, HolesGoWithTheSmallestOuterRingThatHoldsThem) {
    // A big outer ring, an island inside its hole with a hole of its own.
    const Bytes nested = MakeMulti(
        SHT_Polygon,
        {{{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}},   // 0 outer
         {{40, 40}, {45, 40}, {45, 45}, {40, 45}, {40, 40}},  // 1 hole of the island
         {{10, 10}, {90, 10}, {90, 90}, {10, 90}, {10, 10}},  // 2 hole of the outer
         {{30, 30}, {30, 70}, {70, 70}, {70, 30}, {30, 30}}}); // 3 island
    const std::vector<std::vector<std::uint32_t>> expected = {{0, 2}, {3, 1}};
    EXPECT_EQ(GroupPolygonRings(Rec(nested)), expected);
}

TEST(PolygonRings, RingsWhoseAreaOverflowsStandAsOuterRings) {
    // The shoelace sum of these rings is inf - inf: neither clockwise nor
    // counter-clockwise.
    const Bytes huge = MakeMulti(SHT_Polygon, {{{-1e300, -1e300}, {-1e300, 1e300}, {1e300, 1e300}, {1e300, -1e300},
                                                {-1e300, -1e300}},
                                               {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}});
    EXPECT_EQ(GroupPolygonRings(Rec(huge)), (std::vector<std::vector<std::uint32_t>>{{0, 1}}));
    const Bytes twoHuge = MakeMulti(SHT_Polygon, {{{-1e300, -1e300}, {-1e300, 1e300}, {1e300, 1e300},
                                                   {1e300, -1e300}, {-1e300, -1e300}},
                                                  {{1e300, -1e300}, {1e300, 1e300}, {-1e300, 1e300},
                                                   {-1e300, -1e300}, {1e300, -1e300}}});
    std::string text;
    EXPECT_TRUE(FormatShapeAsWkt(Rec(twoHuge), text, 0));
    EXPECT_EQ(text.rfind("MULTIPOLYGON(((", 0), 0u) << text.substr(0, 40);
}

} // namespace
