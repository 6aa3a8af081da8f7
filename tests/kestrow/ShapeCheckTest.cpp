// The shape-file check on files written by GDAL and shapelib
// (tools/make_kestrow_fixtures.sh), on copies of them with one fault each and
// on damaged copies of a real polygon file.

#include "ShapeCheck.h"

#include "TempDir.h"
#include "platform/ByteOrder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <functional>
#include <string>
#include <vector>

using namespace corvale;

namespace {

const std::string kData = CORVALE_TEST_DATA "/kestrow/";

std::string Check(const std::string& path, bool& passed) {
    std::string report;
    passed = CheckShapeFile(path, report);
    return report;
}

TEST(ShapeCheck, ValidFilesOfEveryTypePass) {
    const struct {
        const char* name;
        const char* typeLine;
        int records;
        int nulls;
    } cases[] = {
        {"point", "Shape type: 1 (Point).", 3, 0},
        {"line", "Shape type: 3 (Arc).", 2, 0},
        {"polygon", "Shape type: 5 (Polygon).", 2, 0},
        {"pointz", "Shape type: 11 (PointZ).", 2, 0},
        // GDAL writes PolyLineZ and PolygonZ without the M block unless asked.
        {"linez", "Shape type: 13 (PolyLineZ).", 2, 0},
        {"linezm", "Shape type: 13 (PolyLineZ).", 1, 0},
        {"polygonz", "Shape type: 15 (PolygonZ).", 1, 0},
        {"polygonzm", "Shape type: 15 (PolygonZ).", 1, 0},
        {"shapelib_polygon", "Shape type: 5 (Polygon).", 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = kData + c.name + ".shp";
        bool passed = false;
        const std::string report = Check(path, passed);
        EXPECT_TRUE(passed);
        EXPECT_EQ(report, "File: " + path + "\r\nRecord count: " + std::to_string(c.records) + "\r\n" + c.typeLine +
                              "\r\nNull shapes: " + std::to_string(c.nulls) +
                              " (no error)\r\nKestrow reported no errors.");
    }
}

void CopyPair(const std::string& name, const std::string& to) {
    WriteBytes(to + ".shp", ReadBytes(kData + name + ".shp"));
    WriteBytes(to + ".shx", ReadBytes(kData + name + ".shx"));
}

// The damaged copies of a six-county polygon file and the reports a separate
// reader of both files gives for them (tests/data/kestrow/damaged/make.sh).
TEST(ShapeCheck, DamagedCopiesNameEveryFaultWithItsRecord) {
    const char* const names[] = {"nc6",           "truncated_shp",  "truncated_shx", "content_length",
                                 "index_offset",  "index_past_end", "index_length",  "unclosed_ring",
                                 "record_box",    "file_code",      "header_box",    "record_type",
                                 "record_number", "zero_parts",     "three_faults"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string base = kData + "damaged/" + name;
        const std::vector<unsigned char> bytes = ReadBytes(base + ".expected");
        const std::string expected(bytes.begin(), bytes.end());
        ASSERT_FALSE(expected.empty());
        bool passed = !expected.empty();
        std::string report = Check(base + ".shp", passed);
        EXPECT_EQ(passed, std::string(name) == "nc6");
        // The reference writes LF line ends.
        for (std::size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at))
            report.erase(at, 1);
        EXPECT_EQ(report, "File: " + base + ".shp\n" + expected);
    }
}

// polygon.shp: record 1 at byte 100 (two rings, nine points from byte 160),
// record 2 at byte 304 (one ring, four points); header box 0 0 11 11. The
// expected reports agree with tests/data/kestrow/damaged/reference_check.py.
TEST(ShapeCheck, EachFaultGivesItsLine) {
    using Bytes = std::vector<unsigned char>;
    const std::string head = "Record count: 2\r\nShape type: 5 (Polygon).\r\n";
    const std::string nulls = "Null shapes: 0 (no error)\r\n";
    const struct {
        const char* name;
        std::function<void(Bytes& shp, Bytes& shx)> damage;
        std::string expected; // after "File: <path>\r\n"
    } cases[] = {
        {"file code", [](Bytes& shp, Bytes&) { WriteBE32(shp.data(), 9995); },
         "File code error: File code set to 9995. Expected 9994.\r\n" + head + nulls},
        {"version", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 28, 1001); },
         "Unsupported file version: File version set to 1001. Expected 1000.\r\n"},
        {"unsupported type", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 32, 8); },
         "Record count: 2\r\nShape type: 8 (Unsupported type in Corvale).\r\n"},
        // Every record of another type is named and still checked as its own type.
        {"type error", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 32, 3); },
         "Record count: 2\r\nShape type: 3 (Arc).\r\nRecord 1: shape type 5, the file's type is 3.\r\n"
         "Record 2: shape type 5, the file's type is 3.\r\nShape type error. Type was 5. Expected 3.\r\n" +
             nulls},
        {"unclosed ring", [](Bytes& shp, Bytes&) { WriteLEDouble(shp.data() + 160 + 8 * 16, 1.5); },
         head + "Record 1, part 2: ring not closed.\r\n" + nulls +
             "Coordinate error. One or more polygons are not closed.\r\n"},
        // Both files agree on a length four bytes past the end of the file;
        // the record's counts give its real size.
        {"content length",
         [](Bytes& shp, Bytes& shx) {
             WriteBE32(shp.data() + 304 + 4, 0x3a);
             WriteBE32(shx.data() + 108 + 4, 0x3a);
         },
         head + "Record 2: content length 116 bytes; its part and point counts need 112.\r\n" + nulls +
             "Shape content length error. One or more shapes have an erroneous content length set.\r\n"},
        // The file box is held against the points, not the wrong record box.
        {"record box wider than its points",
         [](Bytes& shp, Bytes&) {
             WriteLEDouble(shp.data() + 112, -1.0);
             WriteLEDouble(shp.data() + 36, -1.0);
         },
         head +
             "Record 1: box -1.000000 0.000000 4.000000 4.000000 does not match its points, 0.000000 0.000000 "
             "4.000000 4.000000.\r\n" +
             nulls + "Shape bounding box error. One or more shapes have erroneous bounding boxes.\r\n"
                     "File bounding box error. x-min is set to -1.000000. Expected 0.000000.\r\n"},
        {"record box x inverted", [](Bytes& shp, Bytes&) { WriteLEDouble(shp.data() + 304 + 12 + 16, 9.0); },
         head + "Record 2: box x-min 10.000000 is above x-max 9.000000.\r\n"
                "Record 2: box 10.000000 10.000000 9.000000 11.000000 does not match its points, 10.000000 "
                "10.000000 11.000000 11.000000.\r\n" +
             nulls +
             "Shape bounding box error. One or more shapes have invalid bounding box values. x-min > x-max.\r\n"
             "Shape bounding box error. One or more shapes have erroneous bounding boxes.\r\n"},
        {"count", [](Bytes&, Bytes& shx) { WriteBE32(shx.data() + 24, 62); },
         "Record count: 3\r\nShape type: 5 (Polygon).\r\nIndex file length error. Header says 124 bytes, the file "
         "has 116.\r\n" +
             nulls + "Shape count error. Actual shapes in file: 2. Header said 3.\r\n"},
        {"header box", [](Bytes& shp, Bytes&) { WriteLEDouble(shp.data() + 52, 12.0); },
         head + nulls + "File bounding box error. x-max is set to 12.000000. Expected 11.000000.\r\n"},
        // An inverted header box stops nothing: the records are checked.
        {"header box inverted", [](Bytes& shp, Bytes&) { WriteLEDouble(shp.data() + 52, -5.0); },
         head + nulls + "File bounding box error. x-max is set to -5.000000. Expected 11.000000.\r\n"},
        // The box of the record read is inside the header's: no box error.
        {"truncated", [](Bytes& shp, Bytes&) { shp.resize(304 + 40); },
         head + "Main file length error. Header says 424 bytes, the file has 344.\r\n"
                "Record 2 is cut: it runs to byte 424, the main file ends at byte 344.\r\n" +
             nulls + "Shape count error. Actual shapes in file: 1. Header said 2.\r\n"
                     "File bounding box checked against 1 of 2 records.\r\n"},
        {"record of an unknown type", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 304 + 8, 8); },
         head + "Record 2: unknown shape type 8.\r\nShape type error. Type was 8. Expected 5.\r\n" + nulls +
             "File bounding box checked against 1 of 2 records.\r\n"},
        {"part start past the points", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 100 + 52 + 4, 20); },
         head + "Record 1: its part starts do not fit its 9 points.\r\n" + nulls +
             "File bounding box checked against 1 of 2 records.\r\n"},
        // Record 1 holds 196 bytes: both files are wrong, each differently;
        // the counts' length finds record 2.
        {"three content lengths",
         [](Bytes& shp, Bytes& shx) {
             WriteBE32(shp.data() + 104, ReadBE32(shp.data() + 104) + 2);
             WriteBE32(shx.data() + 104, ReadBE32(shx.data() + 104) + 4);
         },
         head + "Record 1: content length 200 bytes in the main file and 204 in the index; its counts need 196.\r\n" +
             nulls + "Shape content length error. One or more shapes have an erroneous content length set.\r\n"},
        // A point count past the record: both lengths agree, so the record is
        // stepped over by them and its points are not read.
        {"point count", [](Bytes& shp, Bytes&) { WriteLE32(shp.data() + 100 + 48, 10); },
         head + "Record 1: content length 196 bytes; its part and point counts need 212.\r\n" + nulls +
             "Shape content length error. One or more shapes have an erroneous content length set.\r\n"
             "File bounding box checked against 1 of 2 records.\r\n"},
        {"last record gone",
         [](Bytes& shp, Bytes&) {
             shp.resize(304);
             WriteBE32(shp.data() + 24, 152);
         },
         head + "Index entry 2: offset 304 lies past the end of the main file (304 bytes).\r\n" + nulls +
             "Shape count error. Actual shapes in file: 1. Header said 2.\r\n"
             "File bounding box checked against 1 of 2 records.\r\n"},
        {"bytes after the last record", [](Bytes& shp, Bytes&) { shp.resize(shp.size() + 6, 0); },
         head + "Main file length error. Header says 424 bytes, the file has 430.\r\n"
                "Main file: 6 bytes after the last record are not a record.\r\n" +
             nulls},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string base = dir.file("damaged");
        Bytes shp = ReadBytes(kData + "polygon.shp");
        Bytes shx = ReadBytes(kData + "polygon.shx");
        c.damage(shp, shx);
        WriteBytes(base + ".shp", shp);
        WriteBytes(base + ".shx", shx);
        bool passed = true;
        const std::string report = Check(base + ".shp", passed);
        EXPECT_FALSE(passed);
        EXPECT_EQ(report, "File: " + base + ".shp\r\n" + c.expected);
    }
}

TEST(ShapeCheck, ZeroPartsAndMissingCoordinates) {
    TempDir dir;
    const std::string base = dir.file("line");
    CopyPair("line", base);
    std::vector<unsigned char> shp = ReadBytes(base + ".shp");
    std::vector<unsigned char> shx = ReadBytes(base + ".shx");
    // Record 2 has parts of 2 and 3 points; moving the first part's start
    // from 0 to 1 leaves it a single point.
    const std::uint64_t second = 2ull * ReadBE32(shx.data() + 108);
    WriteLE32(shp.data() + second + 52, 1);
    WriteBytes(base + ".shp", shp);
    bool passed = true;
    std::string report = Check(base + ".shp", passed);
    EXPECT_FALSE(passed);
    EXPECT_NE(report.find("Record 2, part 1: fewer than two points.\r\nNull shapes: 0 (no error)\r\n"
                          "Shape coordinate error. One or more shapes are missing coordinates.\r\n"),
              std::string::npos)
        << report;

    // A record with no parts and no points: 44 bytes of body.
    TempDir dir2;
    const std::string empty = dir2.file("empty");
    std::vector<unsigned char> file(100 + 8 + 44, 0);
    std::copy(shp.begin(), shp.begin() + 100, file.begin());
    WriteBE32(file.data() + 24, static_cast<std::uint32_t>(file.size() / 2));
    for (int i = 0; i < 4; ++i)
        WriteLEDouble(file.data() + 36 + 8 * i, 0.0);
    WriteBE32(file.data() + 100, 1);
    WriteBE32(file.data() + 104, 22);
    WriteLE32(file.data() + 108, 3);
    WriteBytes(empty + ".shp", file);
    std::vector<unsigned char> index(108, 0);
    std::copy(shx.begin(), shx.begin() + 100, index.begin());
    WriteBE32(index.data() + 24, 54);
    for (int i = 0; i < 4; ++i)
        WriteLEDouble(index.data() + 36 + 8 * i, 0.0);
    WriteBE32(index.data() + 100, 50);
    WriteBE32(index.data() + 104, 22);
    WriteBytes(empty + ".shx", index);
    report = Check(empty + ".shp", passed);
    EXPECT_FALSE(passed);
    EXPECT_EQ(report, "File: " + empty +
                          ".shp\r\nRecord count: 1\r\nShape type: 3 (Arc).\r\nRecord 1 has zero parts.\r\n"
                          "Null shapes: 0 (no error)\r\n"
                          "Shape part error. 1 shape(s) have zero parts (empty).\r\n");
}

TEST(ShapeCheck, MissingFiles) {
    TempDir dir;
    const std::string base = dir.file("alone");
    WriteBytes(base + ".shp", ReadBytes(kData + "point.shp"));
    bool passed = true;
    EXPECT_EQ(Check(base + ".shp", passed), "Error opening shape index file.");
    EXPECT_FALSE(passed);
    EXPECT_EQ(Check(dir.file("none.shp"), passed), "File: " + dir.file("none.shp") + "\r\nError opening shape main file.");
    EXPECT_FALSE(passed);
    // An empty main file cannot be read as one.
    WriteBytes(dir.file("zero.shp"), {});
    WriteBytes(dir.file("zero.shx"), ReadBytes(kData + "point.shx"));
    EXPECT_EQ(Check(dir.file("zero.shp"), passed), "File: " + dir.file("zero.shp") + "\r\nError opening shape main file.");
}

TEST(ShapeCheck, LongIndexPathIsUsedWhole) {
    TempDir dir;
    std::string folder = dir.path();
    // Folder names past 250 characters, where a cut path would miss the index.
    for (int i = 0; i < 3; ++i) {
        folder += "/" + std::string(100, static_cast<char>('a' + i));
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    CopyPair("point", folder + "/long");
    bool passed = false;
    const std::string report = Check(folder + "/long.shp", passed);
    EXPECT_TRUE(passed) << report;
}

TEST(ShapeCheck, ProgressReachesAHundredAndEmptyIndexNeverDivides) {
    std::vector<int> seen;
    std::string report;
    EXPECT_TRUE(CheckShapeFile(kData + "point.shp", report, [&](int p) { seen.push_back(p); }));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);

    // An index announcing no records over a main file that holds some: each
    // record is still found and checked.
    TempDir dir;
    const std::string base = dir.file("p");
    CopyPair("point", base);
    std::vector<unsigned char> shx = ReadBytes(base + ".shx");
    WriteBE32(shx.data() + 24, 50);
    shx.resize(100);
    WriteBytes(base + ".shx", shx);
    seen.clear();
    EXPECT_FALSE(CheckShapeFile(base + ".shp", report, [&](int p) { seen.push_back(p); }));
    EXPECT_EQ(report, "File: " + base +
                          ".shp\r\nRecord count: 0\r\nShape type: 1 (Point).\r\n"
                          "Record 1 at byte 100 has no index entry.\r\n"
                          "Record 2 at byte 128 has no index entry.\r\n"
                          "Record 3 at byte 156 has no index entry.\r\n"
                          "Null shapes: 0 (no error)\r\n"
                          "Shape count error. Actual shapes in file: 3. Header said 0.\r\n");
    EXPECT_EQ(seen, (std::vector<int>{0, 100}));
}

} // namespace
