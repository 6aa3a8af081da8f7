// The database plug-in's WKT reader: which texts read, which kind of record
// each gives for each wanted type, and the parts and points in the records.

#include "WktReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint32_t Word(const WktRecord& r, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, r.data() + at, 4);
    return v;
}

double Number(const WktRecord& r, std::size_t at) {
    double v = 0;
    std::memcpy(&v, r.data() + at, 8);
    return v;
}

// "type parts points" of a record, e.g. "5 2 10"; a point: "1 x y".
std::string Describe(const WktRecord& r) {
    const std::uint32_t type = Word(r, 8);
    if (type == 1)
        return "1 " + std::to_string(static_cast<int>(Number(r, 12))) + " " +
               std::to_string(static_cast<int>(Number(r, 20)));
    return std::to_string(type) + " " + std::to_string(Word(r, 44)) + " " + std::to_string(Word(r, 48));
}

struct Case {
    const char* name;
    const char* text;
    std::uint32_t wanted;
    bool ok;
    std::vector<std::string> records;
};

} // namespace

TEST(WktReader, ReadsEachFormIntoTheWantedKindOnly) {
    const Case cases[] = {
        {"null-like empty", "", 1, true, {}},
        {"point", "POINT (3 4)", 1, true, {"1 3 4"}},
        {"comma inside a pair", "\tpoint(\n3\t, 4 )", 1, false, {}},
        {"point case-insensitive", "point ( 3  4 )", 11, true, {"1 3 4"}},
        {"point asked as line", "POINT (3 4)", 3, true, {}},
        {"linestring", "LINESTRING (0 0, 1 1, 2 0)", 3, true, {"3 1 3"}},
        {"linestring as Z line", "LINESTRING(0 0,1 1)", 13, true, {"3 1 2"}},
        {"linestring asked as polygon", "LINESTRING(0 0,1 1)", 5, true, {}},
        {"line of one point", "LINESTRING (0 0)", 3, true, {}},
        {"polygon with a hole", "POLYGON ((0 0, 0 10, 10 10, 10 0, 0 0), (2 2, 4 2, 4 4, 2 2))", 5, true,
         {"5 2 9"}},
        {"ring of three points", "POLYGON ((0 0, 0 10, 0 0))", 5, true, {}},
        {"multilinestring", "MULTILINESTRING ((0 0, 1 1), (2 2, 3 3, 4 4))", 3, true, {"3 2 5"}},
        {"multipolygon of two", "MULTIPOLYGON (((0 0,0 1,1 1,0 0)),((5 5,5 6,6 6,6 5,5 5),(1 1,1 2,2 2,1 1)))", 5,
         true, {"5 3 13"}},
        {"multipoint reads but fails", "MULTIPOINT (1 2, 3 4)", 1, false, {}},
        {"point z", "POINT Z (1 2 3)", 1, false, {}},
        {"point empty", "POINT EMPTY", 1, false, {}},
        {"pointz word", "POINTZ (1 2 3)", 1, false, {}},
        {"third coordinate", "POINT (1 2 3)", 1, false, {}},
        {"missing bracket", "LINESTRING (0 0, 1 1", 3, false, {}},
        {"bad number", "POINT (1 x)", 1, false, {}},
        {"collection", "GEOMETRYCOLLECTION (POINT (1 2))", 1, false, {}},
        {"unknown word", "CIRCLE (1 2)", 1, false, {}},
        {"two points in a row", "POINT (1 2) POINT (3 4)", 1, true, {"1 1 2", "1 3 4"}},
        {"exponent and sign", "POINT (+1e1 -2.5)", 1, true, {"1 10 -2"}},
        {"decimal comma is a separator", "POINT (1,5 2)", 1, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<WktRecord> records;
        EXPECT_EQ(ReadWkt(c.text, records, c.wanted, 0), c.ok) << c.name;
        std::vector<std::string> got;
        for (const WktRecord& r : records)
            got.push_back(Describe(r));
        EXPECT_EQ(got, c.records) << c.name;
    }
}

TEST(WktReader, NullTextAndMaximumCount) {
    std::vector<WktRecord> records;
    EXPECT_TRUE(ReadWkt(nullptr, records, 1, 0));
    EXPECT_TRUE(records.empty());
    // Stops after the first record: the rest of the text is not read at all.
    EXPECT_TRUE(ReadWkt("POINT (1 2) POINT (3 4) nonsense", records, 1, 1));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Describe(records[0]), "1 1 2");
}

TEST(WktReader, PolygonRingsKeepTheirPointsInOrder) {
    std::vector<WktRecord> records;
    ASSERT_TRUE(ReadWkt("POLYGON ((0 0, 0 10, 10 10, 10 0, 0 0), (2 2, 4 2, 4 4, 2 2))", records, 5, 0));
    ASSERT_EQ(records.size(), 1u);
    const WktRecord& r = records[0];
    EXPECT_EQ(Word(r, 52), 0u);
    EXPECT_EQ(Word(r, 56), 5u) << "the hole starts after the outer ring";
    const std::size_t points = 60;
    EXPECT_EQ(Number(r, points + 16 * 5), 2.0);
    EXPECT_EQ(Number(r, points + 16 * 6), 4.0);
    // Bounds: xmin, ymin, xmax, ymax.
    EXPECT_EQ(Number(r, 12), 0.0);
    EXPECT_EQ(Number(r, 36), 10.0);
}

// The one-pass reading a load uses gives the kind and the records of trying
// one point, then polylines, then polygons, for texts of every kind, mixed
// texts, a MULTIPOINT before and after a point, and broken texts.
TEST(WktReader, OnePassMatchesTheThreeTries) {
    const char* const texts[] = {
        "",
        "POINT (1 2)",
        "point(1 2)",
        "LINESTRING (0 0, 1 1)",
        "LINESTRING (0 0)",
        "MULTILINESTRING ((0 0, 1 1), (2 2, 3 3))",
        "POLYGON ((0 0, 0 1, 1 1, 0 0))",
        "POLYGON ((0 0, 0 1, 0 0))",
        "MULTIPOLYGON (((0 0, 0 1, 1 1, 0 0)), ((5 5, 5 6, 6 6, 5 5)))",
        "LINESTRING (0 0, 1 1) POINT (7 8)",
        "POLYGON ((0 0, 0 1, 1 1, 0 0)) LINESTRING (0 0, 1 1)",
        "POINT (1 2) nonsense",
        "LINESTRING (0 0, 1 1) nonsense",
        "MULTIPOINT (1 2, 3 4)",
        "MULTIPOINT (1 2) POINT (3 4)",
        "POINT (3 4) MULTIPOINT (1 2)",
        "LINESTRING (0 0, 1 1) MULTIPOINT (1 2)",
        "POINT Z (1 2 3)",
        "GEOMETRYCOLLECTION (POINT (1 2))",
        "POINT (1",
    };
    for (const char* text : texts) {
        std::uint32_t wantedType = 0;
        std::vector<WktRecord> wanted;
        if (ReadWkt(text, wanted, 1, 1) && wanted.size() == 1) {
            wantedType = 1;
        } else {
            wanted.clear();
            if (ReadWkt(text, wanted, 3, 0) && !wanted.empty()) {
                wantedType = 3;
            } else {
                wanted.clear();
                if (ReadWkt(text, wanted, 5, 0) && !wanted.empty())
                    wantedType = 5;
                else
                    wanted.clear();
            }
        }
        std::vector<WktRecord> got;
        EXPECT_EQ(ReadWktShapes(text, got), wantedType) << text;
        EXPECT_EQ(got, wanted) << text;
    }
    std::vector<WktRecord> none;
    EXPECT_EQ(ReadWktShapes(nullptr, none), 0u);
    EXPECT_TRUE(none.empty());
}
