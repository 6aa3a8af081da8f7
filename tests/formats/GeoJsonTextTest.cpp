#include "formats/GeoJsonText.h"

#include "FormatsTestSupport.h"
#include "core/NativeThemeFixture.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

namespace {

void SelectAll(CTheme& theme) {
    for (int i = 0; i < theme.GetShapeCount(); ++i)
        theme.AddToSelection(theme.GetShapeIndex(i), i, 1, 0xFF);
}

TEST(GeoJsonText, FeatureCollectionOfEveryFixtureThemeIsThePeersText) {
    for (const char* stem : {"points", "pointsz", "lines", "linesz", "polygons", "polygonsz"}) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        SelectAll(*theme);
        EXPECT_EQ(FormatGeoJsonFeatureCollection(*theme, 6), ReadFixtureText(std::string(stem) + ".geojson"));
    }
}

TEST(GeoJsonText, FeatureCollectionTakesTheSelectionInShapeIndexOrder) {
    const auto theme = OpenFixtureTheme("points");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(FormatGeoJsonFeatureCollection(*theme, 1),
              "{ \"type\": \"FeatureCollection\",\r\n\"features\": [\r\n\r\n]\r\n}\r\n");
    theme->AddToSelection(2, 2, 1, 0xFF);
    theme->AddToSelection(0, 0, 1, 0xFF);
    const std::string text = FormatGeoJsonFeatureCollection(*theme, 1);
    const auto first = text.find("[1.5, -2.0]");
    const auto second = text.find("[-179.5, 89.9]");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_EQ(text.find("100.25"), std::string::npos);
}

TEST(GeoJsonText, GeometryTypesAndObjects) {
    const Bytes pointZ = MakePointZ(1, 2, 3, 0);
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {2.5, 1}}});
    const Bytes twoLines = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}}});
    const Bytes holed = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}},
                                                {{1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}}});
    const Bytes islands = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}},
                                                  {{5, 5}, {5, 6}, {6, 6}, {6, 5}, {5, 5}}});
    Bytes multipoint(40, 0);
    corvale::WriteLE32(multipoint.data() + 8, SHT_MultiPoint);
    struct Case {
        const Bytes* record;
        int precision;
        const char* type;
        const char* object;
    };
    const Case cases[] = {
        {&pointZ, 2, "Point", "{ \"type\": \"Point\", \"coordinates\": [1.00, 2.00, 3.00]}"},
        {&line, 1, "LineString", "{ \"type\": \"LineString\", \"coordinates\": [ [0.0, 0.0], [2.5, 1.0] ]}"},
        {&twoLines, 0, "MultiLineString",
         "{ \"type\": \"MultiLineString\", \"coordinates\": [ [ [0, 0], [1, 1] ],\r\n[ [2, 2], [3, 3] ] ]}"},
        {&holed, 0, "Polygon",
         "{ \"type\": \"Polygon\", \"coordinates\": [ [ [0, 0], [0, 4], [4, 4], [4, 0], [0, 0] ],\r\n"
         "[ [1, 1], [2, 1], [2, 2], [1, 2], [1, 1] ] ]}"},
        {&islands, 0, "MultiPolygon",
         "{ \"type\": \"MultiPolygon\", \"coordinates\": [ [ [ [0, 0], [0, 1], [1, 1], [1, 0], [0, 0] ] ],\r\n"
         "[ [ [5, 5], [5, 6], [6, 6], [6, 5], [5, 5] ] ] ]}"},
        {&multipoint, 6, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetGeoJsonGeometryType(Rec(*c.record)), c.type);
        std::string out;
        WriteGeoJsonGeometry(out, Rec(*c.record), c.precision);
        EXPECT_EQ(out, c.object);
    }
    // JSON has no infinity: the number becomes null.
    const Bytes infinite = MakePoint(std::numeric_limits<double>::infinity(), 1);
    std::string out;
    WriteGeoJsonGeometry(out, Rec(infinite), 0);
    EXPECT_EQ(out, "{ \"type\": \"Point\", \"coordinates\": [null, 1]}");
}

// Text columns are JSON strings; number columns JSON numbers, an empty cell
// null, and a cell that holds no number stays text so that nothing is lost.
TEST(GeoJsonText, PropertiesAreJsonStringsAndNumbers) {
    NativePointTheme fixture({{"N\"AME", FT_String}, {"COUNT", FT_Int}},
                             {{"say \"hi\"\\ \t\x01", "12"}, {"", ""}});
    std::string out;
    WriteGeoJsonProperties(out, fixture.theme.GetShape(0), fixture.theme);
    EXPECT_EQ(out, "{ \"N\\\"AME\": \"say \\\"hi\\\"\\\\ \\t\\u0001\", \"COUNT\": 12}");
    out.clear();
    WriteGeoJsonProperties(out, fixture.theme.GetShape(1), fixture.theme);
    EXPECT_EQ(out, "{ \"N\\\"AME\": \"\", \"COUNT\": null}");

    const std::pair<const char*, const char*> numbers[] = {
        {"-7", "-7"},          {"  3.25 ", "3.25"}, {"0.5e-3", "0.5e-3"}, {"+5", "5"},   {"007", "7"},
        {"2.", "2"},           {".5", "0.5"},       {"1,5", "\"1,5\""},  {"nan", "\"nan\""},
        {"inf", "\"inf\""}, {"+-1", "\"+-1\""}, {"***", "\"***\""},   {"n\xB0", "\"n\xC2\xB0\""},
    };
    for (const auto& [cell, json] : numbers) {
        NativePointTheme one({{"V", FT_Double}}, {{cell}});
        out.clear();
        WriteGeoJsonProperties(out, one.theme.GetShape(0), one.theme);
        EXPECT_EQ(out, std::string("{ \"V\": ") + json + "}") << cell;
    }

    NativePointTheme bare({}, {{}});
    out.clear();
    WriteGeoJsonProperties(out, bare.theme.GetShape(0), bare.theme);
    EXPECT_EQ(out, "{ }");
}

} // namespace
