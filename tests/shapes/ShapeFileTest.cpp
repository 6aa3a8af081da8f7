#include "shapes/ShapeFile.h"

#include "TempDir.h"
#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

using namespace corvale;

namespace {

const std::string kShapes = std::string(CORVALE_TEST_DATA) + "/shapes/";

// The coordinates make_fixtures.sh gave shapelib and ogr2ogr, one Parts per
// record (as ogrinfo reports them; GDAL writes no M, read as 0.0).
struct Fixture {
    const char* name;
    std::uint32_t type;
    std::vector<Parts> records;
    bool withM = true;
};

const Fixture kFixtures[] = {
    {"points", SHT_Point, {{{{1.5, 2.5}}}, {{{-3, 4}}}, {{{10, -20}}}}},
    {"lines",
     SHT_Polyline,
     {{{{0, 0}, {10, 0}, {10, 5}}}, {{{1, 1}, {2, 2}}, {{5, 5}, {6, 7}, {8, 6}}}}},
    {"polygons",
     SHT_Polygon,
     {{{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}}},
      {{{20, 20}, {25, 30}, {30, 20}, {20, 20}}}}},
    {"pointsz", SHT_PointZ, {{{{1, 2, 3, 4}}}, {{{-5, 6, -7, 8}}}}},
    {"linesz", SHT_PolylineZ, {{{{0, 0, 100, 0.5}, {1, 1, 110, 1.5}}, {{2, 2, 90, 2.5}, {3, 5, 120, 3.5}}}}},
    {"polygonsz", SHT_PolygonZ, {{{{0, 0, 5, 1}, {0, 4, 6, 2}, {4, 4, 7, 3}, {0, 0, 5, 4}}}}},
    {"gdal_pointz", SHT_PointZ, {{{{1, 2, 3}}}, {{{-5.5, 6.25, -7}}}}, false},
    {"gdal_linez",
     SHT_PolylineZ,
     {{{{0, 0, 100}, {10, 0, 110}, {10, 5, 120}}}, {{{1, 1, 1}, {2, 2, 2}}, {{5, 5, -5}, {6, 7, -6}, {8, 6, -8}}}},
     false},
    {"gdal_polygonz",
     SHT_PolygonZ,
     {{{{0, 0, 5}, {0, 10, 6}, {10, 10, 7}, {10, 0, 8}, {0, 0, 5}}, {{2, 2, 1}, {2, 4, 2}, {4, 4, 2}, {4, 2, 1}, {2, 2, 1}}}},
     false},
};

void ExpectRecord(const CShapeRecord* record, std::uint32_t type, const Parts& parts, std::uint32_t index) {
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(CShapeRecord::GetShapeType(record), type);
    EXPECT_EQ(GetShapeRecordIndex(record), static_cast<int>(index));
    EXPECT_EQ(CShapeRecord::GetPartCount(record), parts.size());
    std::uint32_t i = 0;
    for (std::size_t j = 0; j < parts.size(); ++j) {
        if (CShapeRecord::IsMultiType(type)) {
            EXPECT_EQ(CShapeRecord::GetPartStart(record, static_cast<std::uint32_t>(j)), i);
        }
        for (const Pt& p : parts[j]) {
            EXPECT_EQ(CShapeRecord::GetPoint(record, i), (CShapePoint{p.x, p.y})) << "point " << i;
            EXPECT_EQ(CShapeRecord::GetZ(record, i), p.z) << "z " << i;
            EXPECT_EQ(CShapeRecord::GetM(record, i), p.m) << "m " << i;
            ++i;
        }
    }
    EXPECT_EQ(CShapeRecord::GetPointCount(record), i);
}

Bytes Build(std::uint32_t type, const Parts& parts, std::uint32_t number) {
    if (type == SHT_Point)
        return MakePoint(parts[0][0].x, parts[0][0].y, number);
    if (type == SHT_PointZ)
        return MakePointZ(parts[0][0].x, parts[0][0].y, parts[0][0].z, parts[0][0].m, number);
    return MakeMulti(type, parts, number);
}

struct Walked {
    std::vector<CShapeRecord*> records;
    int nulls = 0;
};

bool Collect(void* context, CShapeRecord* record, std::intptr_t) {
    auto* walked = static_cast<Walked*>(context);
    if (record == nullptr)
        ++walked->nulls;
    else
        walked->records.push_back(record);
    return true;
}

// A .shp (and maybe .shx) opened the way a theme opens them.
struct OpenedPair {
    CFileReader shpReader;
    CFileReader shxReader;
    CShapeFileView shp;
    CShapeIndexView shx;
    bool hasShx = false;

    OpenedPair(const std::string& shpPath, const std::string& shxPath) {
        if (!shpReader.Open(shpPath.c_str()))
            throw std::runtime_error("cannot open " + shpPath);
        shp.m_Reader = &shpReader;
        if (!shxPath.empty() && shxReader.Open(shxPath.c_str()))
            hasShx = shx.Attach(&shxReader);
    }

    bool Walk(Walked& walked, unsigned checkThreads = 0) {
        return ForEachShapeFileRecord(shp, hasShx ? &shx : nullptr, Collect, &walked, checkThreads);
    }
};

bool WriteFiles(const std::string& stem, std::uint32_t type, const std::vector<const CShapeRecord*>& records,
                bool withIndex = true) {
    CFileWriter shp, shx;
    if (!shp.Open((stem + ".shp").c_str()) || (withIndex && !shx.Open((stem + ".shx").c_str())))
        return false;
    if (!WriteShapeFile(shp, withIndex ? &shx : nullptr, type, records.size(), records.data()))
        return false;
    return shp.Close() && (!withIndex || shx.Close());
}

} // namespace

TEST(ShapeFileWalk, ReadsPeerMadeFilesWithAndWithoutIndex) {
    for (const Fixture& f : kFixtures) {
        for (bool useIndex : {true, false}) {
            SCOPED_TRACE(std::string(f.name) + (useIndex ? " with .shx" : " without .shx"));
            OpenedPair pair(kShapes + f.name + ".shp", useIndex ? kShapes + f.name + ".shx" : "");
            ASSERT_EQ(pair.hasShx, useIndex);
            Walked walked;
            ASSERT_TRUE(pair.Walk(walked));
            EXPECT_EQ(pair.shp.m_Header.m_ShapeType, f.type);
            EXPECT_EQ(pair.shp.m_Header.m_FileCode, 9994u);
            EXPECT_EQ(pair.shp.m_Header.m_Version, 1000u);
            EXPECT_EQ(pair.shp.m_Header.m_FileLength, pair.shpReader.GetSize());
            ASSERT_EQ(walked.records.size(), f.records.size());
            for (std::size_t r = 0; r < f.records.size(); ++r) {
                ExpectRecord(walked.records[r], f.type, f.records[r], static_cast<std::uint32_t>(r));
                const bool zType = f.type == SHT_PointZ || f.type == SHT_PolylineZ || f.type == SHT_PolygonZ;
                EXPECT_EQ(CShapeRecord::HasM(walked.records[r]), zType && f.withM);
            }
            // Records are handed out in place, never copied.
            const unsigned char* mapped = pair.shpReader.GetData();
            for (CShapeRecord* record : walked.records) {
                EXPECT_GE(CShapeRecord::Bytes(record), mapped);
                EXPECT_LT(CShapeRecord::Bytes(record), mapped + pair.shpReader.GetSize());
            }
        }
    }
}

TEST(ShapeFileWalk, HeaderOfThePeerFile) {
    OpenedPair pair(kShapes + "polygons.shp", kShapes + "polygons.shx");
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    // shpdump: File Bounds: (0,0,0,0) to (30,30,0,0)
    EXPECT_EQ(pair.shp.m_Header.m_XMin, 0.0);
    EXPECT_EQ(pair.shp.m_Header.m_YMin, 0.0);
    EXPECT_EQ(pair.shp.m_Header.m_XMax, 30.0);
    EXPECT_EQ(pair.shp.m_Header.m_YMax, 30.0);
    EXPECT_EQ(pair.shx.m_RecordCount, 2);
}

TEST(ShapeFileWalk, MultiPointStopsTheWalk) {
    OpenedPair pair(kShapes + "multipoint.shp", kShapes + "multipoint.shx");
    Walked walked;
    EXPECT_FALSE(pair.Walk(walked));
    EXPECT_TRUE(walked.records.empty());
}

TEST(ShapeFileWalk, FollowsTheIndexOrderAndCount) {
    TempDir dir;
    Bytes shp = ReadBytes(kShapes + "points.shp");
    Bytes shx = ReadBytes(kShapes + "points.shx");
    // Swap the first and last entries and announce only two of the three.
    for (int k = 0; k < 8; ++k)
        std::swap(shx[100 + k], shx[116 + k]);
    WriteBE32(shx.data() + 24, (100 + 16) / 2);
    WriteBytes(dir.file("p.shp"), shp);
    WriteBytes(dir.file("p.shx"), shx);

    OpenedPair pair(dir.file("p.shp"), dir.file("p.shx"));
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    ASSERT_EQ(walked.records.size(), 2u);
    EXPECT_EQ(CShapeRecord::GetPoint(walked.records[0], 0), (CShapePoint{10, -20}));
    EXPECT_EQ(CShapeRecord::GetPoint(walked.records[1], 0), (CShapePoint{-3, 4}));
}

TEST(ShapeFileWalk, InFileOrderStopsWhereTheHeaderSaysTheFileEnds) {
    // make_fixtures.sh: points.shp with text appended and no .shx.
    OpenedPair trailing(kShapes + "trailing.shp", "");
    ASSERT_GT(trailing.shpReader.GetSize(), trailing.shp.m_Header.m_FileLength + 100);
    Walked walked;
    ASSERT_TRUE(trailing.Walk(walked));
    ASSERT_EQ(walked.records.size(), 3u);
    EXPECT_EQ(CShapeRecord::GetPoint(walked.records[2], 0), (CShapePoint{10, -20}));

    // A header length shorter than the file's records ends the walk early;
    // one shorter than the header itself says nothing and the file size rules.
    TempDir dir;
    Bytes shp = ReadBytes(kShapes + "points.shp");
    WriteBE32(shp.data() + 24, (100 + 28) / 2);
    WriteBytes(dir.file("short.shp"), shp);
    WriteBE32(shp.data() + 24, 0);
    WriteBytes(dir.file("zero.shp"), shp);
    const std::pair<const char*, std::size_t> cases[] = {{"short.shp", 1}, {"zero.shp", 3}};
    for (const auto& [name, count] : cases) {
        OpenedPair pair(dir.file(name), "");
        Walked w;
        EXPECT_TRUE(pair.Walk(w)) << name;
        EXPECT_EQ(w.records.size(), count) << name;
    }
}

TEST(ShapeFileWalk, NullRecordsAreDeliveredAsNull) {
    TempDir dir;
    Bytes shp = ReadBytes(kShapes + "points.shp");
    Bytes null(12, 0);
    WriteBE32(null.data(), 4);
    WriteBE32(null.data() + 4, 2);
    shp.insert(shp.end(), null.begin(), null.end());
    WriteBE32(shp.data() + 24, static_cast<std::uint32_t>(shp.size() / 2));
    WriteBytes(dir.file("n.shp"), shp);
    OpenedPair pair(dir.file("n.shp"), "");
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    EXPECT_EQ(walked.records.size(), 3u);
    EXPECT_EQ(walked.nulls, 1);
}

TEST(ShapeFileWalk, ACallbackThatThrowsDoesNotEndTheWalk) {
    OpenedPair pair(kShapes + "points.shp", kShapes + "points.shx");
    int calls = 0;
    auto throwing = [](void* context, CShapeRecord*, std::intptr_t) -> bool {
        ++*static_cast<int*>(context);
        throw std::runtime_error("handler failed");
    };
    EXPECT_TRUE(ForEachShapeFileRecord(pair.shp, &pair.shx, throwing, &calls));
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(ForEachShapeFileRecord(pair.shp, &pair.shx, nullptr, nullptr));
    CShapeFileView closed;
    EXPECT_FALSE(ForEachShapeFileRecord(closed, nullptr, Collect, &calls));
}

// Damaged files must stop the walk with false and never read outside the
// mapping; under AddressSanitizer an out-of-bounds read fails the test run.
TEST(ShapeFileWalk, HostileFilesStopTheWalk) {
    const Bytes lines = ReadBytes(kShapes + "lines.shp");
    const Bytes linesIndex = ReadBytes(kShapes + "lines.shx");
    // Record 1 of lines.shp starts at byte 100 + 8 + 4 + 44 + 4 + 48 = 208
    // (one part, three points); record 2 has two parts.
    const std::size_t second = 100 + 52 + 4 + 48;
    auto patch = [](Bytes b, std::size_t offset, std::uint32_t value, bool bigEndian = false) {
        if (bigEndian)
            WriteBE32(b.data() + offset, value);
        else
            WriteLE32(b.data() + offset, value);
        return b;
    };
    auto cut = [](Bytes b, std::size_t size) {
        b.resize(size);
        return b;
    };
    auto invertBox = [](Bytes b) {
        WriteLEDouble(b.data() + 36, 100.0); // xmin above xmax
        return b;
    };

    struct Case {
        const char* name;
        Bytes shp;
        Bytes shx; // empty: walk without an index
        std::size_t deliveredBefore;
    };
    const Case cases[] = {
        {"last record cut in half", cut(lines, lines.size() - 20), {}, 1},
        {"last record cut in half, through the index", cut(lines, lines.size() - 20), linesIndex, 1},
        {"stray bytes after the last record that the header counts",
         [&] {
             Bytes b = lines;
             b.resize(b.size() + 6);
             WriteBE32(b.data() + 24, static_cast<std::uint32_t>(b.size() / 2));
             return b;
         }(),
         {},
         2},
        {"point count far past the end", patch(lines, second + 48, 0x7FFFFFFF), {}, 1},
        {"part count that wraps 32-bit sizes", patch(lines, second + 44, 0x40000000), {}, 1},
        {"more parts than points", patch(lines, second + 44, 6), {}, 1},
        {"part start at the point count", patch(lines, second + 56, 5), {}, 1},
        {"decreasing part starts", patch(lines, second + 52, 3), {}, 1},
        {"unknown shape type", patch(lines, second + 8, 9), {}, 1},
        {"index offset beyond the file", lines, patch(linesIndex, 108, 0x00FFFFFF, true), 1},
        {"index offset inside the header", lines, patch(linesIndex, 108, 10, true), 1},
        {"index offset into the middle of a record", lines, patch(linesIndex, 108, 60, true), 1},
        {"index content length disagrees with the record", lines, patch(linesIndex, 112, 8, true), 1},
        {"index announces entries it does not hold", lines, patch(linesIndex, 24, 1000, true), 2},
        {"inverted header box", invertBox(lines), linesIndex, 0},
        {"shorter than a header", cut(lines, 60), {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteBytes(dir.file("h.shp"), c.shp);
        if (!c.shx.empty())
            WriteBytes(dir.file("h.shx"), c.shx);
        OpenedPair pair(dir.file("h.shp"), c.shx.empty() ? "" : dir.file("h.shx"));
        Walked walked;
        EXPECT_FALSE(pair.Walk(walked));
        EXPECT_EQ(walked.records.size(), c.deliveredBefore);
    }
}

// An index header that claims a file of 2 GiB (some 268 million entries) in a
// file of 181 bytes: the pair of fuzz/make_huge_index_seeds.py. The entries
// the file holds are walked, no more, and the walk reports the cut index as it
// reports any index shorter than its header says.
TEST(ShapeFileWalk, AnIndexClaimingAHugeFileIsBoundByItsSize) {
    const Bytes shp = ReadBytes(kShapes + "linesz.shp");
    const Bytes index = ReadBytes(kShapes + "linesz.shx");
    ASSERT_EQ(shp.size(), 320u);
    ASSERT_EQ(index.size(), 108u);
    Bytes shx(index.begin(), index.begin() + 100);
    WriteBE32(shx.data() + 24, 0x40000000);
    for (int k = 0; k < 10; ++k)
        shx.insert(shx.end(), index.begin() + 100, index.end());
    shx.push_back(0);
    ASSERT_EQ(shx.size(), 181u);

    TempDir dir;
    WriteBytes(dir.file("huge.shp"), shp);
    WriteBytes(dir.file("huge.shx"), shx);
    OpenedPair pair(dir.file("huge.shp"), dir.file("huge.shx"));
    ASSERT_TRUE(pair.hasShx);
    EXPECT_EQ(pair.shx.m_Header.m_FileLength, 0x80000000ull);
    EXPECT_EQ(pair.shx.m_RecordCount, (181 - 100) / 8);

    const Fixture& linesz = kFixtures[4];
    ASSERT_STREQ(linesz.name, "linesz");
    Walked walked;
    EXPECT_FALSE(pair.Walk(walked));
    ASSERT_EQ(walked.records.size(), 10u);
    for (CShapeRecord* record : walked.records)
        ExpectRecord(record, SHT_PolylineZ, linesz.records[0], 0);

    // A view filled in by hand with the header's claim is bounded the same way.
    CShapeIndexView claimed = pair.shx;
    claimed.m_RecordCount = (0x80000000ll - 100) / 8;
    Walked again;
    EXPECT_FALSE(ForEachShapeFileRecord(pair.shp, &claimed, Collect, &again));
    EXPECT_EQ(again.records.size(), 10u);

    // The same index with its header telling the truth walks to the end.
    WriteBE32(shx.data() + 24, (100 + 80) / 2);
    WriteBytes(dir.file("told.shx"), shx);
    OpenedPair told(dir.file("huge.shp"), dir.file("told.shx"));
    EXPECT_EQ(told.shx.m_RecordCount, 10);
    Walked all;
    EXPECT_TRUE(told.Walk(all));
    EXPECT_EQ(all.records.size(), 10u);
}

TEST(ShapeFileWriter, WritesWhatThePeerWrites) {
    // Records built here carry content lengths in bytes; records read from a
    // file carry words. Both must come out byte for byte as shapelib wrote them.
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.name);
        if (!f.withM)
            continue; // GDAL leaves M off; this writer always writes it (below)
        TempDir dir;
        std::vector<Bytes> built;
        for (std::size_t r = 0; r < f.records.size(); ++r)
            built.push_back(Build(f.type, f.records[r], 77));
        std::vector<const CShapeRecord*> records;
        for (const Bytes& b : built)
            records.push_back(Rec(b));
        ASSERT_TRUE(WriteFiles(dir.file("built"), f.type, records));
        EXPECT_EQ(ReadBytes(dir.file("built.shp")), ReadBytes(kShapes + f.name + ".shp"));
        EXPECT_EQ(ReadBytes(dir.file("built.shx")), ReadBytes(kShapes + f.name + ".shx"));

        OpenedPair pair(kShapes + f.name + ".shp", kShapes + f.name + ".shx");
        Walked walked;
        ASSERT_TRUE(pair.Walk(walked));
        ASSERT_TRUE(WriteFiles(dir.file("copy"), f.type, {walked.records.begin(), walked.records.end()}));
        EXPECT_EQ(ReadBytes(dir.file("copy.shp")), ReadBytes(kShapes + f.name + ".shp"));
        EXPECT_EQ(ReadBytes(dir.file("copy.shx")), ReadBytes(kShapes + f.name + ".shx"));
    }
}

TEST(ShapeFileWriter, ZRecordsWithoutMAreWrittenWithAnMBlockOfZeros) {
    for (const Fixture& f : kFixtures) {
        if (f.withM)
            continue;
        SCOPED_TRACE(f.name);
        TempDir dir;
        OpenedPair pair(kShapes + f.name + ".shp", kShapes + f.name + ".shx");
        Walked walked;
        ASSERT_TRUE(pair.Walk(walked));
        ASSERT_TRUE(WriteFiles(dir.file("copy"), f.type, {walked.records.begin(), walked.records.end()}));

        std::vector<const CShapeRecord*> built;
        std::vector<Bytes> buffers;
        for (const Parts& parts : f.records)
            buffers.push_back(Build(f.type, parts, 1));
        for (const Bytes& b : buffers)
            built.push_back(Rec(b));
        ASSERT_TRUE(WriteFiles(dir.file("built"), f.type, built));
        // The same as writing records whose m values are all 0.0.
        EXPECT_EQ(ReadBytes(dir.file("copy.shp")), ReadBytes(dir.file("built.shp")));
        EXPECT_EQ(ReadBytes(dir.file("copy.shx")), ReadBytes(dir.file("built.shx")));

        OpenedPair again(dir.file("copy.shp"), "");
        Walked reread;
        ASSERT_TRUE(again.Walk(reread));
        ASSERT_EQ(reread.records.size(), f.records.size());
        for (std::size_t r = 0; r < f.records.size(); ++r) {
            ExpectRecord(reread.records[r], f.type, f.records[r], static_cast<std::uint32_t>(r));
            EXPECT_TRUE(CShapeRecord::HasM(reread.records[r]));
        }
    }
}

TEST(ShapeFileWriter, ZeroRecordsGiveBareHeaders) {
    TempDir dir;
    const CShapeRecord* none[1] = {};
    CFileWriter shp, shx;
    ASSERT_TRUE(shp.Open(dir.file("empty.shp").c_str()));
    ASSERT_TRUE(shx.Open(dir.file("empty.shx").c_str()));
    ASSERT_TRUE(WriteShapeFile(shp, &shx, SHT_Polygon, 0, none));
    ASSERT_TRUE(shp.Close());
    ASSERT_TRUE(shx.Close());
    for (const char* ext : {".shp", ".shx"}) {
        const Bytes b = ReadBytes(dir.file(std::string("empty") + ext));
        ASSERT_EQ(b.size(), 100u);
        EXPECT_EQ(ReadBE32(b.data()), 9994u);
        EXPECT_EQ(ReadBE32(b.data() + 24), 50u);
        EXPECT_EQ(ReadLE32(b.data() + 28), 1000u);
        EXPECT_EQ(ReadLE32(b.data() + 32), SHT_Polygon);
        for (std::size_t i = 36; i < 100; ++i)
            EXPECT_EQ(b[i], 0) << i;
    }
}

// A damaged record whose box is inverted (its minimum above its maximum) is
// walked as it stands; the file written from it gets a header box that is
// not inverted, so that the walk takes the written file again.
TEST(ShapeFileWriter, AnInvertedRecordBoxNeverInvertsTheHeader) {
    TempDir dir;
    Bytes line = Build(SHT_Polyline, {{{0, 0}, {3, 5}}}, 1);
    WriteLEDouble(line.data() + 8 + 4 + 8, 1e300); // the record's minimum y
    Bytes other = Build(SHT_Polyline, {{{-1, 2}, {1, 3}}}, 2);
    ASSERT_TRUE(WriteFiles(dir.file("inverted"), SHT_Polyline, {Rec(line), Rec(other)}, true));
    const Bytes b = ReadBytes(dir.file("inverted.shp"));
    EXPECT_DOUBLE_EQ(ReadLEDouble(b.data() + 36), -1.0);
    EXPECT_DOUBLE_EQ(ReadLEDouble(b.data() + 44), 2.0);
    EXPECT_DOUBLE_EQ(ReadLEDouble(b.data() + 52), 3.0);
    EXPECT_DOUBLE_EQ(ReadLEDouble(b.data() + 60), 1e300);
    OpenedPair pair(dir.file("inverted.shp"), dir.file("inverted.shx"));
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    EXPECT_EQ(walked.records.size(), 2u);
}

TEST(ShapeFileWriter, RenumbersAndWritesOnlyTheShpWhenAsked) {
    TempDir dir;
    const Bytes a = MakePoint(1, 1, 40);
    const Bytes b = MakePoint(2, 2, 7);
    ASSERT_TRUE(WriteFiles(dir.file("p"), SHT_Point, {Rec(a), Rec(b)}, false));
    EXPECT_FALSE(FileExists(dir.file("p.shx")));
    OpenedPair pair(dir.file("p.shp"), "");
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    ASSERT_EQ(walked.records.size(), 2u);
    EXPECT_EQ(GetShapeRecordIndex(walked.records[0]), 0);
    EXPECT_EQ(GetShapeRecordIndex(walked.records[1]), 1);
    EXPECT_EQ(ReadBE32(CShapeRecord::Bytes(walked.records[0]) + 4), 10u) << "content length in words";
    EXPECT_EQ(GetShapeRecordIndex(Rec(a)), 39) << "the records in memory are not renumbered";
}

TEST(ShapeFileWriter, ConvertsWithinAFamilyToTheFileLayout) {
    TempDir dir;
    const Bytes flat = MakeMulti(SHT_Polyline, {{{0, 0}, {3, 4}}});
    const Bytes withZ = MakeMulti(SHT_PolylineZ, {{{1, 1, 7, 8}, {2, 2, 9, 10}}});

    ASSERT_TRUE(WriteFiles(dir.file("z"), SHT_PolylineZ, {Rec(flat), Rec(withZ)}));
    {
        OpenedPair pair(dir.file("z.shp"), dir.file("z.shx"));
        Walked walked;
        ASSERT_TRUE(pair.Walk(walked));
        ASSERT_EQ(walked.records.size(), 2u);
        ExpectRecord(walked.records[0], SHT_PolylineZ, {{{0, 0, 0, 0}, {3, 4, 0, 0}}}, 0);
        ExpectRecord(walked.records[1], SHT_PolylineZ, {{{1, 1, 7, 8}, {2, 2, 9, 10}}}, 1);
        const Bytes shp = ReadBytes(dir.file("z.shp"));
        EXPECT_EQ(ReadLEDouble(shp.data() + 68), 0.0) << "zmin over both records";
        EXPECT_EQ(ReadLEDouble(shp.data() + 76), 9.0) << "zmax";
    }

    ASSERT_TRUE(WriteFiles(dir.file("flat"), SHT_Polyline, {Rec(flat), Rec(withZ)}));
    OpenedPair pair(dir.file("flat.shp"), dir.file("flat.shx"));
    Walked walked;
    ASSERT_TRUE(pair.Walk(walked));
    ASSERT_EQ(walked.records.size(), 2u);
    ExpectRecord(walked.records[1], SHT_Polyline, {{{1, 1}, {2, 2}}}, 1);
    EXPECT_EQ(pair.shpReader.GetSize(), 100u + 2 * (52 + 4 + 32));
}

TEST(ShapeFileWriter, RefusesWhatWouldMakeABrokenFile) {
    TempDir dir;
    const Bytes point = MakePoint(1, 1);
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<const CShapeRecord*> records;
    };
    const Case cases[] = {
        {"point in a polyline file", SHT_Polyline, {Rec(line), Rec(point)}},
        {"polyline in a polygon file", SHT_Polygon, {Rec(line)}},
        {"null entry", SHT_Polyline, {Rec(line), nullptr}},
        {"multipoint file", SHT_MultiPoint, {}},
        {"null file type", SHT_Null, {}},
    };
    for (const Case& c : cases) {
        CFileWriter shp;
        ASSERT_TRUE(shp.Open(dir.file("x.shp").c_str()));
        EXPECT_FALSE(WriteShapeFile(shp, nullptr, c.type, c.records.size(), c.records.data())) << c.name;
        EXPECT_EQ(shp.GetPosition(), 0) << c.name << ": nothing written";
        shp.Discard();
    }
    CFileWriter shp;
    ASSERT_TRUE(shp.Open(dir.file("x.shp").c_str()));
    EXPECT_FALSE(WriteShapeFile(shp, nullptr, SHT_Point, 0, nullptr));
}

TEST(ShapeFileIndex, OffsetsAreCheckedAgainstTheFile) {
    CFileReader reader;
    ASSERT_TRUE(reader.Open((kShapes + "points.shx").c_str()));
    CShapeIndexView index;
    ASSERT_TRUE(index.Attach(&reader));
    EXPECT_EQ(index.m_RecordCount, 3);
    EXPECT_EQ(ReadShapeIndexOffset(index, 0), 100);
    EXPECT_EQ(ReadShapeIndexOffset(index, 1), 128);
    EXPECT_EQ(ReadShapeIndexOffset(index, 3), -1);
    EXPECT_EQ(ReadShapeIndexOffset(index, -1), -1);
    CShapeIndexView unopened;
    EXPECT_EQ(ReadShapeIndexOffset(unopened, 0), -1);
}

// Big files are checked in parallel chunks, each handed over once it and the
// chunks before it are checked; the walk must still hand over exactly the
// records before the first one a walk in file order would refuse, however
// many chunks hold damage and wherever their borders fall.
TEST(ShapeFileWalk, BigIndexedFilesStopAtTheFirstDamagedRecord) {
    constexpr std::uint32_t kCount = 200000;
    TempDir dir;
    const std::string stem = dir.file("many");
    {
        std::vector<Bytes> points;
        points.reserve(kCount);
        std::vector<const CShapeRecord*> records;
        for (std::uint32_t i = 0; i < kCount; ++i)
            points.push_back(MakePoint(i % 1000, i / 1000.0, i + 1));
        for (Bytes& p : points)
            records.push_back(Rec(p));
        ASSERT_TRUE(WriteFiles(stem, SHT_Point, records));
    }
    const std::vector<unsigned char> shpBytes = ReadBytes(stem + ".shp");
    const std::vector<unsigned char> shxBytes = ReadBytes(stem + ".shx");
    ASSERT_EQ(shpBytes.size(), 100u + 28u * kCount);

    enum Damage { OffsetBelowHeader, LengthMismatch, BadRecordType };
    struct Case {
        std::vector<std::uint32_t> damaged; // record numbers, zero-based
        Damage damage;
    };
    const Case cases[] = {
        {{}, OffsetBelowHeader},
        {{0}, OffsetBelowHeader},
        {{123457}, LengthMismatch},
        {{kCount - 1}, BadRecordType},
        {{170001, 30000, 99999}, LengthMismatch},
        {{190000, 5}, BadRecordType},
        {{60000, 180000}, OffsetBelowHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damaged.empty() ? -1 : static_cast<int>(c.damaged[0]));
        std::vector<unsigned char> shp = shpBytes;
        std::vector<unsigned char> shx = shxBytes;
        for (std::uint32_t n : c.damaged) {
            unsigned char* entry = shx.data() + 100 + 8 * static_cast<std::size_t>(n);
            if (c.damage == OffsetBelowHeader)
                WriteBE32(entry, 10);
            else if (c.damage == LengthMismatch)
                WriteBE32(entry + 4, 9);
            else
                WriteLE32(shp.data() + 100 + 28 * static_cast<std::size_t>(n) + 8, 99);
        }
        WriteBytes(stem + ".shp", shp);
        WriteBytes(stem + ".shx", shx);
        const std::uint32_t delivered =
            c.damaged.empty() ? kCount : *std::min_element(c.damaged.begin(), c.damaged.end());

        // The machine's own number of threads, one thread, and numbers that
        // put the chunk borders elsewhere: the same records, in the same
        // order, and the same refusal.
        std::vector<std::ptrdiff_t> firstWalk;
        for (const unsigned threads : {0u, 1u, 5u, 3u}) {
            SCOPED_TRACE(threads);
            OpenedPair pair(stem + ".shp", stem + ".shx");
            ASSERT_TRUE(pair.hasShx);
            Walked walked;
            EXPECT_EQ(pair.Walk(walked, threads), c.damaged.empty());
            ASSERT_EQ(walked.records.size(), delivered);
            for (std::uint32_t i = 0; i < delivered; i += 997)
                ASSERT_EQ(GetShapeRecordIndex(walked.records[i]), static_cast<int>(i));
            if (delivered > 0) {
                EXPECT_EQ(GetShapeRecordIndex(walked.records.back()), static_cast<int>(delivered - 1));
            }
            // The reader stands after the last record handed over.
            EXPECT_EQ(pair.shpReader.GetPosition(), 100u + 28u * delivered);
            // Offsets into the mapping, which each pair maps anew.
            std::vector<std::ptrdiff_t> offsets;
            for (CShapeRecord* record : walked.records)
                offsets.push_back(reinterpret_cast<const unsigned char*>(record) - pair.shpReader.GetData());
            if (threads == 0)
                firstWalk = offsets;
            else
                EXPECT_TRUE(offsets == firstWalk);
        }
    }
}
