// The MAP/TAB reader of the Grindal loader on the fixtures of
// tests/data/maptab, which GDAL's ogr2ogr wrote (make_fixtures.py there), and
// on small geometry files built here byte by byte. The coordinates and values
// expected of the fixtures are those ogrinfo -al reports of the same files
// (the *.ogrinfo.txt beside them), read here.

#include "MapReader.h"

#include "PluginTestSupport.h"

#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using grindal::CMAPLoader;
using grindal::FieldKind;

namespace {

std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/maptab/" + name; }

using Part = std::vector<std::pair<double, double>>;

// One feature as ogrinfo -al prints it: its values with their types, and
// its geometry as parts of points.
struct OgrFeature {
    int fid = 0;
    std::vector<std::string> names;
    std::map<std::string, std::pair<std::string, std::string>> values; // name: (type, value)
    std::string kind;                                                   // POINT, LINESTRING, ...
    std::vector<Part> parts;
};

// The parts of a WKT geometry: each innermost parenthesised list is a part.
std::vector<Part> PartsOfWkt(const std::string& wkt) {
    std::vector<Part> parts;
    const char* p = wkt.c_str();
    while ((p = std::strchr(p, '(')) != nullptr) {
        ++p;
        if (*p == '(')
            continue;
        Part part;
        while (*p != ')' && *p != 0) {
            char* end = nullptr;
            const double x = std::strtod(p, &end);
            const double y = std::strtod(end, &end);
            part.emplace_back(x, y);
            p = end;
            while (*p == ',' || *p == ' ')
                ++p;
        }
        parts.push_back(part);
    }
    return parts;
}

std::vector<OgrFeature> ReadOgrInfo(const std::string& path) {
    std::vector<OgrFeature> features;
    std::istringstream in(ReadText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("OGRFeature(", 0) == 0) {
            features.emplace_back();
            features.back().fid = std::atoi(line.c_str() + line.find("):") + 2);
            continue;
        }
        if (features.empty() || line.size() < 3 || line.rfind("  ", 0) != 0)
            continue;
        OgrFeature& f = features.back();
        const std::string body = line.substr(2);
        const std::size_t open = body.find(" (");
        const std::size_t eq = body.find(") = ");
        if (open != std::string::npos && eq != std::string::npos && body.rfind("Style", 0) != 0 &&
            open < eq && body.find(' ') == open) {
            const std::string name = body.substr(0, open);
            f.names.push_back(name);
            f.values[name] = {body.substr(open + 2, eq - open - 2), body.substr(eq + 4)};
        } else if (body.rfind("Style", 0) != 0) {
            f.kind = body.substr(0, body.find(' '));
            f.parts = PartsOfWkt(body);
        }
    }
    return features;
}

std::vector<Part> PartsOf(const unsigned char* bytes) {
    const auto* record = reinterpret_cast<const CShapeRecord*>(bytes);
    std::vector<Part> parts;
    if (CShapeRecord::GetShapeType(record) == SHT_Point) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        parts.push_back({{p.x, p.y}});
        return parts;
    }
    const std::uint32_t partCount = CShapeRecord::GetPartCount(record);
    const std::uint32_t pointCount = CShapeRecord::GetPointCount(record);
    for (std::uint32_t i = 0; i < partCount; ++i) {
        const std::uint32_t end = i + 1 < partCount ? CShapeRecord::GetPartStart(record, i + 1) : pointCount;
        Part part;
        for (std::uint32_t n = CShapeRecord::GetPartStart(record, i); n < end; ++n) {
            const CShapePoint p = CShapeRecord::GetPoint(record, n);
            part.emplace_back(p.x, p.y);
        }
        parts.push_back(part);
    }
    return parts;
}

void ExpectSameParts(const std::vector<Part>& got, const std::vector<Part>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].size(), want[i].size()) << "part " << i;
        for (std::size_t n = 0; n < got[i].size(); ++n) {
            EXPECT_NEAR(got[i][n].first, want[i][n].first, 1e-9) << "part " << i << " point " << n;
            EXPECT_NEAR(got[i][n].second, want[i][n].second, 1e-9) << "part " << i << " point " << n;
        }
    }
}

// Every record of the loader matches the feature of its row, geometry and
// values; every feature with a geometry (and not in skipped) has a record.
void ExpectAsOgrInfo(CMAPLoader& loader, const std::vector<OgrFeature>& features, std::vector<int> skipped = {}) {
    std::map<std::uint32_t, std::pair<std::uint32_t, const unsigned char*>> byRow;
    for (std::uint32_t type : {1u, 3u, 5u}) {
        std::uint32_t number = 0;
        for (const unsigned char* record : loader.Records(type)) {
            // Records are numbered by kind from 1.
            EXPECT_EQ(GetShapeRecordIndex(reinterpret_cast<const CShapeRecord*>(record)), static_cast<int>(number++));
            EXPECT_TRUE(byRow.emplace(CMAPLoader::RowOf(record), std::make_pair(type, record)).second);
        }
    }
    std::size_t expected = 0;
    for (const OgrFeature& f : features) {
        SCOPED_TRACE("feature " + std::to_string(f.fid));
        const bool skip = std::find(skipped.begin(), skipped.end(), f.fid) != skipped.end();
        auto it = byRow.find(static_cast<std::uint32_t>(f.fid - 1));
        if (f.kind.empty() || skip) {
            EXPECT_TRUE(it == byRow.end());
            continue;
        }
        ++expected;
        ASSERT_TRUE(it != byRow.end());
        const std::uint32_t type = f.kind == "POINT" ? 1u : f.kind.find("POLYGON") != std::string::npos ? 5u : 3u;
        EXPECT_EQ(it->second.first, type) << f.kind;
        ExpectSameParts(PartsOf(it->second.second), f.parts);
        ASSERT_EQ(loader.m_Fields.size(), f.names.size());
        for (std::uint32_t c = 0; c < f.names.size(); ++c) {
            EXPECT_EQ(loader.m_Fields[c].m_Name, f.names[c]);
            const auto& [type, value] = f.values.at(f.names[c]);
            const std::string got = loader.Attribute(it->second.second, c);
            if (type == "Real")
                EXPECT_DOUBLE_EQ(std::stod(got), std::stod(value)) << f.names[c] << ": " << got;
            else
                EXPECT_EQ(got, value) << f.names[c];
        }
    }
    EXPECT_EQ(byRow.size(), expected);
}

TEST(GrindalReader, FilesWrittenByGdalReadAsGdalReadsThem) {
    for (const char* name : {"mixed", "near"}) {
        SCOPED_TRACE(name);
        CMAPLoader loader;
        ASSERT_TRUE(loader.Load(Fixture(std::string(name) + ".map")));
        EXPECT_EQ(loader.m_Undecoded, 0u);
        ExpectAsOgrInfo(loader, ReadOgrInfo(Fixture(std::string(name) + ".ogrinfo.txt")));
        EXPECT_EQ(loader.m_UseCount, loader.NonEmptyKinds());
    }
    CMAPLoader mixed;
    ASSERT_TRUE(mixed.Load(Fixture("mixed.map")));
    // Points, 2-point lines, polylines of one and of two sections in both
    // codings, the long ones over several coordinate blocks; two regions.
    EXPECT_EQ(mixed.m_Points.size(), 2u);
    EXPECT_EQ(mixed.m_Polylines.size(), 7u);
    EXPECT_EQ(mixed.m_Polygons.size(), 2u);
    EXPECT_EQ(mixed.m_UseCount, 3);
}

// A copy of a fixture in a scratch folder, under other names.
void CopyAs(const std::string& from, const TempDir& dir, const std::map<std::string, std::string>& names) {
    for (const auto& [ext, to] : names)
        std::filesystem::copy_file(Fixture(from + ext), dir.file(to));
}

TEST(GrindalReader, CompanionsAreFoundWhateverTheirCaseAndWithoutTheIndexTheBlocksAreWalked) {
    const std::vector<OgrFeature> features = ReadOgrInfo(Fixture("mixed.ogrinfo.txt"));
    struct Case {
        const char* what;
        std::map<std::string, std::string> names;
        const char* map;
    } cases[] = {
        {"upper-case companions", {{".map", "ROADS.MAP"}, {".id", "ROADS.ID"}, {".dat", "ROADS.DAT"}, {".tab", "ROADS.TAB"}},
         "ROADS.MAP"},
        {"mixed cases", {{".map", "Roads.Map"}, {".id", "roads.iD"}, {".dat", "ROADS.dat"}, {".tab", "roads.TAB"}},
         "Roads.Map"},
        {"no index", {{".map", "roads.map"}, {".dat", "roads.dat"}, {".tab", "roads.tab"}}, "roads.map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        CopyAs("mixed", dir, c.names);
        CMAPLoader loader;
        ASSERT_TRUE(loader.Load(dir.file(c.map)));
        EXPECT_EQ(loader.m_Undecoded, 0u);
        ExpectAsOgrInfo(loader, features);
    }
}

TEST(GrindalReader, ADeletedObjectIsSkippedAndShiftsNoRow) {
    // Row 2 (the Mill point) is deleted; every later object keeps its row.
    const std::vector<OgrFeature> features = ReadOgrInfo(Fixture("mixed.ogrinfo.txt"));
    for (bool index : {true, false}) {
        SCOPED_TRACE(index ? "through the index" : "block by block");
        TempDir dir;
        std::map<std::string, std::string> names = {{".map", "d.map"}, {".dat", "d.dat"}, {".tab", "d.tab"}};
        if (index)
            names[".id"] = "d.id";
        CopyAs("deleted", dir, names);
        CMAPLoader loader;
        ASSERT_TRUE(loader.Load(dir.file("d.map")));
        EXPECT_EQ(loader.m_Undecoded, 1u);
        EXPECT_EQ(loader.m_Points.size(), 1u);
        ExpectAsOgrInfo(loader, features, {2});
    }
}

TEST(GrindalReader, TheDefinitionKeepsShortCharColumnsText) {
    // Without the .tab the type letter and width decide, and "NO", a Char(2),
    // reads as the 16-bit number of its bytes; with it, it is text.
    TempDir dir;
    CopyAs("mixed", dir, {{".map", "m.map"}, {".id", "m.id"}, {".dat", "m.dat"}});
    CMAPLoader bare;
    ASSERT_TRUE(bare.Load(dir.file("m.map")));
    const unsigned char* harbour = bare.m_Points.front();
    EXPECT_STREQ(bare.Attribute(harbour, 1), std::to_string('N' | ('O' << 8)).c_str());
    EXPECT_STREQ(bare.Attribute(harbour, 4), "70000");
    EXPECT_STREQ(bare.Attribute(harbour, 5), "2.500000");

    CMAPLoader defined;
    ASSERT_TRUE(defined.Load(Fixture("mixed.map")));
    harbour = defined.m_Points.front();
    const char* expected[] = {"Harbour", "NO", "QUAY", "ABCDEFGH", "70000", "2.500000", "12.25"};
    for (std::uint32_t c = 0; c < 7; ++c)
        EXPECT_STREQ(defined.Attribute(harbour, c), expected[c]) << c;
    // Past the last column.
    EXPECT_STREQ(defined.Attribute(harbour, 7), "### ERROR ###");
    EXPECT_STREQ(defined.Attribute(harbour, 0xFFFFFFFFu), "### ERROR ###");
}

TEST(GrindalReader, FieldKindsOfADefinition) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<FieldKind> kinds;
    } cases[] = {
        {"every type", ReadText(Fixture("mixed.tab")),
         {FieldKind::Text, FieldKind::Text, FieldKind::Text, FieldKind::Text, FieldKind::Int32, FieldKind::Double,
          FieldKind::Trimmed}},
        {"other types and cases, CRLF, a blank line",
         "Definition Table\r\n  FIELDS 5\r\n    a SmallInt ;\r\n\r\n    b largeint ;\r\n    c Date ;\r\n"
         "    d Logical ;\r\n    e decimal(4,1) ;\r\n",
         {FieldKind::Int16, FieldKind::Int64, FieldKind::ByLetter, FieldKind::ByLetter, FieldKind::Trimmed}},
        {"no fields list (a view)", "!table\n!version 300\nopen table \"x\"\n", {}},
        {"fewer fields than counted", "Fields 3\n a Char (2) ;\n b Integer ;\n", {}},
        {"a bad count", "Fields x\n a Char (2) ;\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grindal::ReadFieldKinds(c.text), c.kinds) << c.what;
}

// ---------------------------------------------------------------------------
// Geometry files built here: the header's version and scales, object blocks
// and coordinate blocks placed by hand.

class MapBuilder {
public:
    explicit MapBuilder(std::size_t blocks, std::uint16_t version = 300) : bytes(blocks * 512, 0) {
        corvale::WriteLE16(&bytes[260], version);
        corvale::WriteLEDouble(&bytes[368], 100.0); // X scale
        corvale::WriteLEDouble(&bytes[376], 10.0);  // Y scale
        corvale::WriteLEDouble(&bytes[384], 50.0);  // X displacement
        corvale::WriteLEDouble(&bytes[392], -20.0); // Y displacement
    }
    // An object block with its centre; objects are appended with Object.
    void ObjectBlock(std::size_t block, std::int32_t cx, std::int32_t cy) {
        m_Block = block * 512;
        m_Pos = m_Block + 20;
        bytes[m_Block] = 2;
        corvale::WriteLE32(&bytes[m_Block + 4], static_cast<std::uint32_t>(cx));
        corvale::WriteLE32(&bytes[m_Block + 8], static_cast<std::uint32_t>(cy));
    }
    // An object of a type and length; answers its offset.
    std::size_t Object(std::uint8_t type, std::size_t length, std::uint32_t rowId) {
        const std::size_t at = m_Pos;
        bytes[at] = type;
        corvale::WriteLE32(&bytes[at + 1], rowId);
        m_Pos += length;
        corvale::WriteLE16(&bytes[m_Block + 2], static_cast<std::uint16_t>(m_Pos - m_Block - 20));
        return at;
    }
    void I16(std::size_t at, std::int32_t v) { corvale::WriteLE16(&bytes[at], static_cast<std::uint16_t>(v)); }
    void I32(std::size_t at, std::int64_t v) { corvale::WriteLE32(&bytes[at], static_cast<std::uint32_t>(v)); }
    // A coordinate block holding the given 16-bit values, chained to next.
    void CoordBlock16(std::size_t block, const std::vector<std::int32_t>& values, std::size_t next) {
        const std::size_t at = block * 512;
        I16(at, 3);
        I16(at + 2, static_cast<std::int32_t>(values.size() * 2));
        I32(at + 4, static_cast<std::int64_t>(next));
        for (std::size_t i = 0; i < values.size(); ++i)
            I16(at + 8 + 2 * i, values[i]);
    }

    std::vector<unsigned char> bytes;

private:
    std::size_t m_Block = 0;
    std::size_t m_Pos = 0;
};

double X(double stored) { return (stored - 50.0) / 100.0; }
double Y(double stored) { return (stored + 20.0) / 10.0; }

TEST(GrindalReader, CompressedObjectsCountFromTheirCentres) {
    MapBuilder map(4);
    map.ObjectBlock(1, 1000, 2000);
    // A compressed point and a compressed 2-point line: the block's centre.
    std::size_t at = map.Object(1, 10, 1);
    map.I16(at + 5, -7);
    map.I16(at + 7, 9);
    at = map.Object(4, 14, 2);
    map.I16(at + 5, 1);
    map.I16(at + 7, 2);
    map.I16(at + 9, -3);
    map.I16(at + 11, -4);
    // A compressed polyline of 3 points whose data runs from the end of
    // block 2 on into block 3 (the chain's next block), around its own centre.
    at = map.Object(7, 34, 3);
    map.I32(at + 5, 2 * 512 + 8 + 492);
    map.I32(at + 9, 12);
    map.I32(at + 17, 500);
    map.I32(at + 21, -500);
    std::vector<std::int32_t> first(248, 0);
    first[246] = 10;
    first[247] = 20;
    map.CoordBlock16(2, first, 3 * 512);
    map.CoordBlock16(3, {30, 40, 50, 60}, 0);

    CMAPLoader loader;
    loader.Decode(map.bytes.data(), map.bytes.size(), nullptr, 0);
    EXPECT_EQ(loader.m_Undecoded, 0u);
    ASSERT_EQ(loader.m_Points.size(), 1u);
    ExpectSameParts(PartsOf(loader.m_Points[0]), {{{X(993), Y(2009)}}});
    EXPECT_EQ(CMAPLoader::RowOf(loader.m_Points[0]), 0u);
    ASSERT_EQ(loader.m_Polylines.size(), 2u);
    ExpectSameParts(PartsOf(loader.m_Polylines[0]), {{{X(1001), Y(2002)}, {X(997), Y(1996)}}});
    ExpectSameParts(PartsOf(loader.m_Polylines[1]),
                    {{{X(510), Y(-480)}, {X(530), Y(-460)}, {X(550), Y(-440)}}});
    EXPECT_EQ(CMAPLoader::RowOf(loader.m_Polylines[1]), 2u);
}

TEST(GrindalReader, ARegionOfThreeRingsIsOnePolygonOfThreeParts) {
    MapBuilder map(4);
    map.ObjectBlock(1, 0, 0);
    const std::size_t at = map.Object(13, 37, 5);
    map.I32(at + 5, 2 * 512 + 8);
    map.I16(at + 13, 3);
    map.I32(at + 19, 100);
    map.I32(at + 23, 200);
    // Ring headers: vertex count, hole count, box, vertex offset; then the
    // vertices of the three rings.
    std::vector<std::int32_t> data;
    const int counts[] = {4, 3, 3};
    int offset = 48;
    for (int count : counts) {
        data.insert(data.end(), {count, 0, 0, 0, 0, 0, offset & 0xFFFF, 0});
        offset += 4 * count;
    }
    const std::vector<std::int32_t> vertices = {0, 0, 10, 0, 10, 10, 0, 0, 1, 1, 2, 1, 1, 2, 5, 5, 6, 5, 5, 6};
    data.insert(data.end(), vertices.begin(), vertices.end());
    map.CoordBlock16(2, data, 0);

    CMAPLoader loader;
    loader.Decode(map.bytes.data(), map.bytes.size(), nullptr, 0);
    EXPECT_EQ(loader.m_Undecoded, 0u);
    ASSERT_EQ(loader.m_Polygons.size(), 1u);
    ExpectSameParts(PartsOf(loader.m_Polygons[0]),
                    {{{X(100), Y(200)}, {X(110), Y(200)}, {X(110), Y(210)}, {X(100), Y(200)}},
                     {{X(101), Y(201)}, {X(102), Y(201)}, {X(101), Y(202)}},
                     {{X(105), Y(205)}, {X(106), Y(205)}, {X(105), Y(206)}}});
    EXPECT_EQ(CMAPLoader::RowOf(loader.m_Polygons[0]), 4u);
}

TEST(GrindalReader, TheHeadersVersionPlacesTheFirstObjectBlock) {
    // Block 1 holds a point; the walk starts at block 2 for version 500 and
    // at block 1 otherwise.
    for (std::uint16_t version : {300, 500, 650}) {
        MapBuilder map(4, version);
        map.ObjectBlock(1, 0, 0);
        std::size_t at = map.Object(2, 14, 1);
        map.I32(at + 5, 150);
        map.ObjectBlock(2, 0, 0);
        at = map.Object(2, 14, 2);
        map.I32(at + 5, 250);
        CMAPLoader loader;
        loader.Decode(map.bytes.data(), map.bytes.size(), nullptr, 0);
        ASSERT_EQ(loader.m_Points.size(), version == 500 ? 1u : 2u) << version;
        EXPECT_EQ(CMAPLoader::RowOf(loader.m_Points[0]), version == 500 ? 1u : 0u) << version;
    }
}

TEST(GrindalReader, UnknownObjectsAndIndexEntriesAreCountedAndSkipped) {
    MapBuilder map(4);
    map.ObjectBlock(1, 0, 0);
    const std::size_t first = map.Object(2, 14, 1);
    const std::size_t unknown = map.Object(99, 14, 2);
    map.Object(2, 14, 3);
    map.ObjectBlock(2, 0, 0);
    const std::size_t last = map.Object(2, 14, 4);

    // Block by block: the rest of a block after an unknown object is lost.
    CMAPLoader walked;
    walked.Decode(map.bytes.data(), map.bytes.size(), nullptr, 0);
    EXPECT_EQ(walked.m_Undecoded, 1u);
    ASSERT_EQ(walked.m_Points.size(), 2u);
    EXPECT_EQ(CMAPLoader::RowOf(walked.m_Points[1]), 3u);

    // Through the index: a 0 is a row without geometry, not an error; an
    // offset past the end is.
    std::vector<unsigned char> index(5 * 4);
    const std::uint32_t offsets[] = {static_cast<std::uint32_t>(first), 0, static_cast<std::uint32_t>(unknown),
                                     0xFFFFFF00u, static_cast<std::uint32_t>(last)};
    for (int i = 0; i < 5; ++i)
        corvale::WriteLE32(&index[4 * i], offsets[i]);
    CMAPLoader indexed;
    indexed.Decode(map.bytes.data(), map.bytes.size(), index.data(), index.size());
    EXPECT_EQ(indexed.m_Undecoded, 2u);
    ASSERT_EQ(indexed.m_Points.size(), 2u);
    EXPECT_EQ(CMAPLoader::RowOf(indexed.m_Points[1]), 3u);
}

TEST(GrindalReader, AttributeTextsByTypeLetterAndWidth) {
    // A table of one row: C2, C4, C8, C10, N6, L1, c4 (lower case).
    struct Field {
        const char* name;
        char letter;
        std::uint8_t width;
    } fields[] = {{"small", 'C', 2}, {"int", 'C', 4}, {"dbl", 'C', 8}, {"text", 'C', 10},
                  {"num", 'N', 6},   {"flag", 'L', 1}, {"lower", 'c', 4}, {"ELEVENCHARS", 'C', 3}};
    const std::size_t count = std::size(fields);
    const std::size_t header = 32 + 32 * count + 1;
    std::size_t length = 1;
    for (const Field& f : fields)
        length += f.width;
    std::vector<unsigned char> dat(header + length, 0);
    corvale::WriteLE32(&dat[4], 1);
    corvale::WriteLE16(&dat[8], static_cast<std::uint16_t>(header));
    corvale::WriteLE16(&dat[10], static_cast<std::uint16_t>(length));
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(&dat[32 + 32 * i], fields[i].name, std::strlen(fields[i].name));
        dat[32 + 32 * i + 11] = static_cast<unsigned char>(fields[i].letter);
        dat[32 + 32 * i + 16] = fields[i].width;
    }
    dat[header - 1] = 13;
    unsigned char* row = &dat[header];
    row[0] = ' ';
    corvale::WriteLE16(row + 1, static_cast<std::uint16_t>(-300));
    corvale::WriteLE32(row + 3, static_cast<std::uint32_t>(-70000));
    corvale::WriteLEDouble(row + 7, 2.5);
    std::memcpy(row + 15, "ten chars!", 10);
    std::memcpy(row + 25, "  4.50", 6);
    row[31] = 'T';
    corvale::WriteLE32(row + 32, 12);
    std::memcpy(row + 36, "abc", 3);

    MapBuilder map(2);
    map.ObjectBlock(1, 0, 0);
    map.Object(2, 14, 1);
    map.Object(2, 14, 2);
    CMAPLoader loader;
    loader.Decode(map.bytes.data(), map.bytes.size(), nullptr, 0);
    ASSERT_EQ(loader.m_Points.size(), 2u);
    const unsigned char* point = loader.m_Points[0];
    EXPECT_STREQ(loader.Attribute(point, 0), "### ERROR ###") << "no table";

    loader.UseTable(dat.data(), dat.size());
    ASSERT_EQ(loader.m_Fields.size(), count);
    EXPECT_EQ(loader.m_Fields[7].m_Name, "ELEVENCHARS");
    const char* expected[] = {"-300", "-70000", "2.500000", "ten chars!", "4.50", "### Not implemented ###", "12",
                              "abc"};
    for (std::uint32_t c = 0; c < count; ++c)
        EXPECT_STREQ(loader.Attribute(point, c), expected[c]) << c;
    EXPECT_STREQ(loader.Attribute(point, static_cast<std::uint32_t>(count)), "### ERROR ###");
    // The second object's row is not in the table.
    EXPECT_STREQ(loader.Attribute(loader.m_Points[1], 0), "### ERROR ###");
}

TEST(GrindalReader, AMissingGeometryFileFails) {
    CMAPLoader loader;
    EXPECT_FALSE(loader.Load("/nonexistent/none.map"));
    EXPECT_EQ(grindal::FindCompanion("/nonexistent/none.map", ".id"), "");
}

} // namespace
