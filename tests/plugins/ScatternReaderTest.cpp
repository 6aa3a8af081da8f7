// The delimited-text point reader of the Scattern loader on texts in memory
// and on the fixtures of tests/data/text. The points and values of
// stations.txt are those GDAL reads from the same bytes
// (tests/data/text/stations.ogrinfo.txt, made with
//   cp stations.txt /tmp/x/stations.csv && ogrinfo -ro -al -oo SEPARATOR=TAB
//      -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat -oo AUTODETECT_TYPE=NO
//      /tmp/x/stations.csv).

#include "TextPointReader.h"

#include "PluginTestSupport.h"

#include "shapes/ShapeRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using scattern::CTextPointLoader;
using scattern::SplitFields;

namespace {

std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/text/" + name; }

struct Point {
    std::uint32_t index;
    double x;
    double y;
};

std::vector<Point> PointsOf(const CTextPointLoader& loader) {
    std::vector<Point> points;
    for (const unsigned char* record : loader.m_Records) {
        const auto* shape = reinterpret_cast<const CShapeRecord*>(record);
        EXPECT_EQ(CShapeRecord::GetShapeType(shape), static_cast<std::uint32_t>(SHT_Point));
        const CShapePoint p = CShapeRecord::GetPoint(shape, 0);
        // The shape index (the record number less one) is the data line's.
        points.push_back({static_cast<std::uint32_t>(GetShapeRecordIndex(shape)), p.x, p.y});
    }
    return points;
}

TEST(ScatternSplit, FieldsAsTheSeparatorCutsThem) {
    struct Case {
        const char* line;
        char separator;
        std::vector<std::string> fields;
    } cases[] = {
        {"", ';', {}},
        {"\r", ';', {}},
        {"a", ';', {"a"}},
        {"a;b;c", ';', {"a", "b", "c"}},
        {"a;;c", ';', {"a", "", "c"}},
        {"a;b;", ';', {"a", "b", ""}},
        {"a;b\r", ';', {"a", "b"}},
        // A leading separator ends an empty first field.
        {";b;c", ';', {"", "b", "c"}},
        {";", ';', {"", ""}},
        {"\tx\t", '\t', {"", "x", ""}},
        // No quoting.
        {"\"a;b\";c", ';', {"\"a", "b\"", "c"}},
        {"1,5,2,5", ',', {"1", "5", "2", "5"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFields(c.line, c.separator), c.fields) << c.line;
}

TEST(ScatternReader, StationsReadAsGdalReadsThem) {
    CTextPointLoader loader;
    loader.m_Path = Fixture("stations.txt");
    loader.m_FirstRowNames = true;
    loader.m_Separator = '\t';
    loader.m_XColumn = 2;
    loader.m_YColumn = 3;
    ASSERT_TRUE(loader.ReadFile());
    // The short line and the bad number are skipped, but still counted.
    const std::vector<Point> points = PointsOf(loader);
    ASSERT_EQ(points.size(), 3u);
    const Point expected[] = {{0, 10.75, 59.91}, {2, -2.25, 51.5}, {4, 4.125, -33.0625}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(points[i].index, expected[i].index) << i;
        EXPECT_EQ(points[i].x, expected[i].x) << i;
        EXPECT_EQ(points[i].y, expected[i].y) << i;
    }
    // The extra field of the Mill line names its position for every row.
    EXPECT_EQ(loader.m_FieldNames, (std::vector<std::string>{"name", "lon", "lat", "note", "Field 5"}));
    const std::vector<std::vector<std::string>> values = {
        {"Harbour", "10.75", "59.91", "quay", ""},
        {"Mill", "-2.25", "51.5", "by the river", "extra"},
        {"", "4.125", "-33.0625", "", ""},
    };
    for (std::size_t r = 0; r < values.size(); ++r)
        for (std::uint32_t c = 0; c < values[r].size(); ++c)
            EXPECT_STREQ(loader.Attribute(loader.m_Records[r], c), values[r][c].c_str()) << r << "," << c;
    EXPECT_STREQ(loader.Attribute(loader.m_Records[0], 99), "");
}

TEST(ScatternReader, DefinitionsAndTheirPoints) {
    struct Case {
        const char* what;
        std::string text;
        bool names;
        char separator;
        std::uint32_t x;
        std::uint32_t y;
        std::vector<Point> points;
        std::vector<std::string> fieldNames;
    } cases[] = {
        {"decimal commas with ';'", ReadText(Fixture("decimal.txt")), false, ';', 2, 3,
         {{0, 12.5, -3.25}, {1, 7, 8}, {2, 0.125, 1000}}, {"Field 1", "Field 2", "Field 3", "Field 4"}},
        {"a decimal comma with ',' splits the number", "1,5,2,5\n", false, ',', 1, 2, {{0, 1, 5}},
         {"Field 1", "Field 2", "Field 3", "Field 4"}},
        {"columns swapped", "a;1;2\n", false, ';', 3, 2, {{0, 2, 1}}, {"Field 1", "Field 2", "Field 3"}},
        {"header only", "x;y\n", true, ';', 1, 2, {}, {"x", "y"}},
        {"header only, no line end", "x;y", true, ';', 1, 2, {}, {"x", "y"}},
        {"CRLF lines, last without end", "x;y\r\n1;2\r\n3;4", true, ';', 1, 2, {{0, 1, 2}, {1, 3, 4}}, {"x", "y"}},
        {"blank and short lines count", "1;2\n\n5\n7;8\n", false, ';', 1, 2, {{0, 1, 2}, {3, 7, 8}},
         {"Field 1", "Field 2"}},
        {"signs, blanks and trailing text", " +1.5 ;-2e1m\n", false, ';', 1, 2, {{0, 1.5, -20}},
         {"Field 1", "Field 2"}},
        {"no number, infinity and NaN are skipped", "a;1\n1;inf\nnan;2\n1;2\n", false, ';', 1, 2, {{3, 1, 2}},
         {"Field 1", "Field 2"}},
        {"column 0 takes nothing", "1;2\n", false, ';', 0, 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTextPointLoader loader;
        loader.m_FirstRowNames = c.names;
        loader.m_Separator = c.separator;
        loader.m_XColumn = c.x;
        loader.m_YColumn = c.y;
        ASSERT_TRUE(loader.Parse(c.text));
        const std::vector<Point> points = PointsOf(loader);
        ASSERT_EQ(points.size(), c.points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].index, c.points[i].index) << i;
            EXPECT_EQ(points[i].x, c.points[i].x) << i;
            EXPECT_EQ(points[i].y, c.points[i].y) << i;
            EXPECT_EQ(CTextPointLoader::RowOf(loader.m_Records[i]), i);
        }
        EXPECT_EQ(loader.m_FieldNames, c.fieldNames);
    }
}

TEST(ScatternReader, AnEmptyFirstLineOrFileFails) {
    for (const char* text : {"", "\n1;2\n", "\r\n1;2\n"}) {
        CTextPointLoader loader;
        loader.m_Separator = ';';
        EXPECT_FALSE(loader.Parse(text)) << text;
    }
    CTextPointLoader missing;
    missing.m_Path = "/nonexistent/points.txt";
    EXPECT_FALSE(missing.ReadFile());
}

TEST(ScatternReader, ALongLineIsCutAtItsLimit) {
    // Past 8,192 bytes the line's text is dropped, the Y column with it.
    std::string text = "1;" + std::string(scattern::kMaxLine, ' ') + ";2\n3;4\n";
    CTextPointLoader loader;
    loader.m_Separator = ';';
    ASSERT_TRUE(loader.Parse(text));
    const std::vector<Point> points = PointsOf(loader);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].index, 1u);
}

TEST(ScatternReader, AForeignRecordAnswersError) {
    CTextPointLoader loader;
    loader.m_Separator = ';';
    ASSERT_TRUE(loader.Parse("1;2\n"));
    unsigned char foreign[32] = {};
    std::memcpy(foreign, loader.m_Records[0], 28);
    foreign[28] = 7;
    EXPECT_STREQ(loader.Attribute(foreign, 0), "ERROR");
    EXPECT_STREQ(loader.Attribute(nullptr, 0), "ERROR");
}

TEST(ScatternReader, TheDefinitionIsSavedAndRestored) {
    CTextPointLoader loader;
    loader.m_Path = "/data/points.txt";
    loader.m_FirstRowNames = true;
    loader.m_Separator = ';';
    loader.m_XColumn = 3;
    loader.m_YColumn = 258;
    ASSERT_EQ(loader.SavedSize(), 15u + loader.m_Path.size());
    std::vector<unsigned char> block(loader.SavedSize(), 0xAA);
    ASSERT_TRUE(loader.Save(block.data(), block.size()));
    const unsigned char header[] = {1, 0, 0, 0, 1, ';', 3, 0, 0, 0, 2, 1, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(block.begin(), block.begin() + 14),
              std::vector<unsigned char>(std::begin(header), std::end(header)));
    EXPECT_EQ(block.back(), 0);

    CTextPointLoader restored;
    ASSERT_TRUE(restored.Restore(block.data(), block.size()));
    EXPECT_EQ(restored.m_Path, loader.m_Path);
    EXPECT_TRUE(restored.m_FirstRowNames);
    EXPECT_EQ(restored.m_Separator, ';');
    EXPECT_EQ(restored.m_XColumn, 3u);
    EXPECT_EQ(restored.m_YColumn, 258u);

    // A short buffer keeps the path's start and its terminator.
    std::vector<unsigned char> small(20, 0xAA);
    ASSERT_TRUE(loader.Save(small.data(), small.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(small.data() + 14)), "/data");
    EXPECT_FALSE(loader.Save(small.data(), 14));

    // A block too short, or whose path has no terminator, restores nothing.
    struct Case {
        const char* what;
        std::size_t size;
    } bad[] = {{"empty", 0}, {"header only", 14}, {"unterminated path", block.size() - 1}};
    for (const Case& c : bad) {
        CTextPointLoader none;
        EXPECT_FALSE(none.Restore(block.data(), c.size)) << c.what;
        EXPECT_TRUE(none.m_Path.empty()) << c.what;
    }
    EXPECT_FALSE(CTextPointLoader().Restore(nullptr, 40));
}

} // namespace
