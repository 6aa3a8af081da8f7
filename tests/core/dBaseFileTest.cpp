#include "core/dBaseFile.h"

#include "TempDir.h"
#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"
#include "shapes/FileWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

std::string Fixture(const std::string& name) {
    return std::string(CORVALE_TEST_DATA) + "/dbf/" + name;
}

// ---------------------------------------------------------------------------
// Hand-made tables

struct RawField {
    std::string name;
    char letter;
    unsigned length;
    unsigned decimals = 0;
};

// The bytes of a table as another writer (or a damaged disk) might have left
// it; every part can be bent out of shape.
struct RawTable {
    std::uint32_t recordCount = 0;
    std::vector<RawField> fields;
    // Header length to store; -1 stores 32 * n + 33.
    int headerLength = -1;
    bool terminator = true;
    // Bytes between the terminator and the first record.
    std::string afterTerminator;
    std::string records;

    std::vector<unsigned char> Bytes() const {
        std::vector<unsigned char> bytes(32, 0);
        bytes[0] = 3;
        corvale::WriteLE32(&bytes[4], recordCount);
        const unsigned stored = headerLength >= 0 ? static_cast<unsigned>(headerLength)
                                                  : static_cast<unsigned>(32 * fields.size() + 33);
        corvale::WriteLE16(&bytes[8], static_cast<std::uint16_t>(stored));
        unsigned recordLength = 1;
        for (const auto& f : fields)
            recordLength += f.length;
        corvale::WriteLE16(&bytes[10], static_cast<std::uint16_t>(recordLength));
        for (const auto& f : fields) {
            unsigned char d[32] = {};
            std::copy_n(f.name.begin(), std::min<std::size_t>(f.name.size(), 11), d);
            d[11] = static_cast<unsigned char>(f.letter);
            d[16] = static_cast<unsigned char>(f.length);
            d[17] = static_cast<unsigned char>(f.decimals);
            bytes.insert(bytes.end(), d, d + 32);
        }
        if (terminator)
            bytes.push_back(0x0D);
        bytes.insert(bytes.end(), afterTerminator.begin(), afterTerminator.end());
        bytes.insert(bytes.end(), records.begin(), records.end());
        return bytes;
    }
};

// A table file on disk, its reader and the table read from it.
class OpenTable {
public:
    bool Load(const std::vector<unsigned char>& bytes) {
        const std::string path = m_Dir.file("table.dbf");
        WriteBytes(path, bytes);
        return Load(path);
    }
    bool Load(const std::string& path) {
        m_Reader.Close();
        EXPECT_TRUE(m_Reader.Open(path.c_str())) << path;
        return m_Table.ReadHeader(&m_Reader);
    }
    std::optional<std::string> Text(std::int32_t record, std::int32_t field) {
        CAttributeFieldValue value;
        if (!m_Table.ReadValue(record, field, value))
            return std::nullopt;
        return value.m_Text;
    }

    TempDir m_Dir;
    CFileReader m_Reader;
    CdBaseFile m_Table;
};

// ---------------------------------------------------------------------------
// Writers that keep the bytes in memory, optionally with a disk that fills up.

class MemoryWriter : public CFileWriter {
public:
    explicit MemoryWriter(std::size_t room = SIZE_MAX) : m_Room(room) {}
    bool IsOpen() const override { return true; }
    std::size_t Write(const void* buffer, std::size_t n) override {
        const std::size_t count = std::min(n, m_Room);
        m_Room -= count;
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        m_Bytes.insert(m_Bytes.end(), bytes, bytes + count);
        return count;
    }

    std::vector<unsigned char> m_Bytes;

private:
    std::size_t m_Room;
};

CAttributeFieldInfo Field(std::string name, std::int32_t type, std::int32_t length,
                          std::int32_t decimals = 0) {
    CAttributeFieldInfo info;
    info.m_Name = std::move(name);
    info.m_Type = type;
    info.m_Length = length;
    info.m_Decimals = decimals;
    return info;
}

CAttributeFieldValue Value(std::string text, std::int32_t type, std::int32_t length) {
    CAttributeFieldValue value;
    value.m_Text = std::move(text);
    value.m_Type = type;
    value.m_Length = length;
    return value;
}

std::string Bytes(const std::vector<unsigned char>& bytes, std::size_t offset, std::size_t count) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

std::string StoredName(const std::vector<unsigned char>& file, std::size_t field) {
    const std::size_t at = 32 + 32 * field;
    std::size_t length = 0;
    while (length < 11 && file[at + length] != 0)
        ++length;
    return Bytes(file, at, length);
}

// ---------------------------------------------------------------------------
// Tables made by shapelib and GDAL (tests/data/dbf/make_fixtures.sh). The
// expected names, widths and texts are those in the dumps committed beside
// each file.

struct FixtureField {
    const char* file;
    int index;
    const char* name;
    int length;
    int decimals;
    int type;
};

TEST(dBaseFileFixtures, DescriptorsMatchTheDumps) {
    // dbfdump calls N fields of width 10 or more "Double"; this program keeps
    // N up to width 11 without decimals as integers.
    const FixtureField cases[] = {
        {"strings.dbf", 0, "NAME", 12, 0, FT_String},
        {"strings.dbf", 1, "CODE", 4, 0, FT_String},
        {"numbers.dbf", 0, "ID", 5, 0, FT_Int},
        {"numbers.dbf", 1, "BIG", 11, 0, FT_Int},
        {"numbers.dbf", 2, "WIDE", 12, 0, FT_Double},
        {"numbers.dbf", 3, "AREA", 10, 3, FT_Double},
        {"numbers.dbf", 4, "SCORE", 5, 2, FT_Double},
        {"typed.dbf", 0, "AMOUNT", 8, 2, FT_Double},
        {"typed.dbf", 1, "DAY", 8, 0, FT_Date},
        {"typed.dbf", 2, "OK", 1, 0, FT_Boolean},
        {"typed.dbf", 3, "NOTE", 6, 0, FT_String},
        {"empty.dbf", 0, "NAME", 20, 0, FT_String},
        {"empty.dbf", 1, "POP", 9, 0, FT_Int},
        {"empty.dbf", 2, "DENS", 8, 2, FT_Double},
        {"extra_header.dbf", 0, "CITY", 6, 0, FT_String},
        {"extra_header.dbf", 1, "RANK", 3, 0, FT_Int},
        {"gdal.dbf", 0, "NAME", 12, 0, FT_String},
        {"gdal.dbf", 1, "COUNT", 6, 0, FT_Int},
        {"gdal.dbf", 2, "AREA", 10, 2, FT_Double},
        {"gdal.dbf", 3, "DAY", 8, 0, FT_Date},
        {"gdal.dbf", 4, "FLAG", 1, 0, FT_Int},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " field " + std::to_string(c.index));
        OpenTable t;
        ASSERT_TRUE(t.Load(Fixture(c.file)));
        ASSERT_LT(c.index, t.m_Table.GetFieldCount());
        const CAttributeFieldInfo& f = t.m_Table.GetFields()[static_cast<std::size_t>(c.index)];
        EXPECT_EQ(f.m_Name, c.name);
        EXPECT_EQ(f.m_Length, c.length);
        EXPECT_EQ(f.m_Decimals, c.decimals);
        EXPECT_EQ(f.m_Type, c.type);
        EXPECT_FALSE(f.m_PrimaryKey);
    }
}

TEST(dBaseFileFixtures, CountsAndLayout) {
    struct Case {
        const char* file;
        int fields;
        std::uint32_t records;
        int recordLength;
        int dataOffset;
    };
    const Case cases[] = {
        {"strings.dbf", 2, 4, 17, 97},
        {"numbers.dbf", 5, 3, 44, 193},
        {"typed.dbf", 4, 3, 24, 161},
        // No records, and still the fields: a new, empty layer has columns.
        {"empty.dbf", 3, 0, 38, 129},
        // The header length says the records start 6 bytes after the terminator.
        {"extra_header.dbf", 2, 2, 10, 103},
        {"gdal.dbf", 5, 3, 38, 193},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        OpenTable t;
        ASSERT_TRUE(t.Load(Fixture(c.file)));
        EXPECT_EQ(t.m_Table.GetFieldCount(), c.fields);
        EXPECT_EQ(t.m_Table.GetFields().size(), static_cast<std::size_t>(c.fields));
        EXPECT_EQ(t.m_Table.GetRecordCount(), c.records);
        EXPECT_EQ(t.m_Table.GetRecordLength(), c.recordLength);
        EXPECT_EQ(t.m_Table.GetDataOffset(), c.dataOffset);
        EXPECT_FALSE(t.Text(static_cast<std::int32_t>(c.records), 0));
    }
}

TEST(dBaseFileFixtures, ValuesMatchTheDumps) {
    struct Case {
        const char* file;
        int record;
        int field;
        std::string_view text;
    };
    // From the *.dbfdump.txt files (dbfdump -r prints the stored text, padded
    // to the field width; the padding is not part of the value) and, for the
    // F field, typed.ogrinfo.txt.
    const Case cases[] = {
        {"strings.dbf", 0, 1, "ab"},
        {"strings.dbf", 1, 0, "Z\xC3\xBCrich"},
        {"strings.dbf", 2, 0, ""},
        {"strings.dbf", 2, 1, ""},
        {"strings.dbf", 3, 0, "abcdefghijkl"},
        {"strings.dbf", 3, 1, "wxyz"},

        {"numbers.dbf", 0, 0, "1"},
        {"numbers.dbf", 0, 1, "2147483647"},
        {"numbers.dbf", 0, 2, "123456789012"},
        {"numbers.dbf", 0, 3, "3.250"},
        {"numbers.dbf", 0, 4, "-1.50"},
        {"numbers.dbf", 1, 0, "-42"},
        {"numbers.dbf", 1, 1, "-7"},
        {"numbers.dbf", 1, 2, "0"},
        {"numbers.dbf", 1, 3, "-0.500"},
        {"numbers.dbf", 1, 4, "99.99"},
        // shapelib marks empty numbers by filling the field with '*': they
        // read as blank numbers do.
        {"numbers.dbf", 2, 0, ""},
        {"numbers.dbf", 2, 2, ""},
        {"numbers.dbf", 2, 3, ""},

        // "  007.50": the leading zeros go, as in ogrinfo's "7.50".
        {"typed.dbf", 0, 0, "7.50"},
        {"typed.dbf", 1, 0, "-12.25"},
        {"typed.dbf", 2, 0, "0.05"},
        {"typed.dbf", 0, 1, "20260115"},
        {"typed.dbf", 1, 1, "19991231"},
        {"typed.dbf", 2, 1, ""},
        {"typed.dbf", 0, 2, "T"},
        {"typed.dbf", 1, 2, "f"},
        {"typed.dbf", 2, 2, "?"},
        {"typed.dbf", 0, 3, "first"},
        {"typed.dbf", 1, 3, "second"},
        {"typed.dbf", 2, 3, ""},

        {"extra_header.dbf", 0, 0, "Oslo"},
        {"extra_header.dbf", 0, 1, "1"},
        {"extra_header.dbf", 1, 0, "Bergen"},
        {"extra_header.dbf", 1, 1, "2"},

        {"gdal.dbf", 0, 0, "Harbour"},
        {"gdal.dbf", 0, 1, "12"},
        {"gdal.dbf", 0, 2, "1234.50"},
        {"gdal.dbf", 0, 3, "20260115"},
        {"gdal.dbf", 0, 4, "1"},
        {"gdal.dbf", 1, 1, "-3"},
        {"gdal.dbf", 1, 2, "0.25"},
        {"gdal.dbf", 1, 3, "19991231"},
        {"gdal.dbf", 1, 4, "0"},
        // GDAL's nulls: blanks, '*' fills and a zero date.
        {"gdal.dbf", 2, 0, ""},
        {"gdal.dbf", 2, 1, ""},
        {"gdal.dbf", 2, 2, ""},
        {"gdal.dbf", 2, 3, "00000000"},
        {"gdal.dbf", 2, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " record " + std::to_string(c.record) + " field " +
                     std::to_string(c.field));
        OpenTable t;
        ASSERT_TRUE(t.Load(Fixture(c.file)));
        CAttributeFieldValue value;
        ASSERT_TRUE(t.m_Table.ReadValue(c.record, c.field, value));
        EXPECT_EQ(value.m_Text, c.text);
        const CAttributeFieldInfo& f = t.m_Table.GetFields()[static_cast<std::size_t>(c.field)];
        EXPECT_EQ(value.m_Length, f.m_Length);
        EXPECT_EQ(value.m_Type, f.m_Type);
    }
}

TEST(dBaseFileFixtures, LeadingBlanksOfTextAreKept) {
    // dbfdump and ogrinfo both strip leading blanks ("lead", "x", "Mill");
    // the stored bytes (strings.xxd.txt, and "  Mill" in gdal.dbf) begin with
    // two spaces, and a text cell is shown as stored.
    OpenTable t;
    ASSERT_TRUE(t.Load(Fixture("strings.dbf")));
    EXPECT_EQ(t.Text(0, 0), "  lead");
    EXPECT_EQ(t.Text(1, 1), "  x");
    ASSERT_TRUE(t.Load(Fixture("gdal.dbf")));
    EXPECT_EQ(t.Text(1, 0), "  Mill");
}

// ---------------------------------------------------------------------------
// Reading descriptors

TEST(dBaseFileReadHeader, TypeLettersAndDecimals) {
    struct Case {
        char letter;
        unsigned length;
        unsigned decimals;
        int type;
        int readDecimals;
    };
    const Case cases[] = {
        {'C', 10, 0, FT_String, 0},   {'C', 10, 3, FT_String, 0}, // decimals belong to numbers only
        {'N', 11, 0, FT_Int, 0},      {'N', 1, 0, FT_Int, 0},      {'N', 12, 0, FT_Double, 0},
        {'N', 5, 2, FT_Double, 2},    {'N', 0, 0, FT_Int, 0},      {'F', 5, 0, FT_Double, 0},
        {'F', 19, 11, FT_Double, 11}, {'D', 8, 0, FT_Date, 0},     {'D', 8, 4, FT_Date, 0},
        {'L', 1, 0, FT_Boolean, 0},   {'n', 5, 0, FT_String, 0},   {'M', 10, 0, FT_String, 0},
        {'c', 10, 0, FT_String, 0},   {'\0', 10, 0, FT_String, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("letter ") + c.letter + " length " + std::to_string(c.length) +
                     " decimals " + std::to_string(c.decimals));
        RawTable raw;
        raw.recordCount = 0;
        raw.fields = {{"F", c.letter, c.length, c.decimals}};
        OpenTable t;
        ASSERT_TRUE(t.Load(raw.Bytes()));
        ASSERT_EQ(t.m_Table.GetFieldCount(), 1);
        EXPECT_EQ(t.m_Table.GetFields()[0].m_Type, c.type);
        EXPECT_EQ(t.m_Table.GetFields()[0].m_Decimals, c.readDecimals);
        EXPECT_EQ(t.m_Table.GetFields()[0].m_Length, static_cast<int>(c.length));
    }
}

TEST(dBaseFileReadHeader, NamesEndAtTheFirstZeroByteOrAfterElevenBytes) {
    RawTable raw;
    raw.fields = {{"ABCDEFGHIJK", 'C', 1}, {std::string("AB\0CD", 5), 'C', 1}, {"", 'C', 1}};
    OpenTable t;
    ASSERT_TRUE(t.Load(raw.Bytes()));
    ASSERT_EQ(t.m_Table.GetFieldCount(), 3);
    EXPECT_EQ(t.m_Table.GetFields()[0].m_Name, "ABCDEFGHIJK");
    EXPECT_EQ(t.m_Table.GetFields()[1].m_Name, "AB");
    EXPECT_EQ(t.m_Table.GetFields()[2].m_Name, "");
}

TEST(dBaseFileReadHeader, WhereTheRecordsStart) {
    struct Case {
        const char* what;
        int headerLength;
        bool terminator;
        std::string afterTerminator;
        int dataOffset;
    };
    // Two fields: 32 * 2 + 33 = 97 bytes of header.
    const Case cases[] = {
        {"header length as usual", -1, true, "", 97},
        {"extra bytes after the terminator", 97 + 5, true, "xxxxx", 102},
        // Some writers leave the header length 0: the terminator decides.
        {"header length 0", 0, true, "", 97},
        // 32 leaves no room even for the terminator: not a length to go by.
        {"header length 32", 32, true, "", 97},
        // The header length ends the descriptor list even without a terminator.
        {"no terminator, header length", 97, false, "?", 97},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RawTable raw;
        raw.recordCount = 2;
        raw.fields = {{"A", 'C', 3}, {"B", 'N', 2}};
        raw.headerLength = c.headerLength;
        raw.terminator = c.terminator;
        raw.afterTerminator = c.afterTerminator;
        raw.records = " abc 1*xyz42";
        OpenTable t;
        ASSERT_TRUE(t.Load(raw.Bytes()));
        EXPECT_EQ(t.m_Table.GetFieldCount(), 2);
        EXPECT_EQ(t.m_Table.GetDataOffset(), c.dataOffset);
        EXPECT_EQ(t.Text(0, 0), "abc");
        EXPECT_EQ(t.Text(0, 1), "1");
        // A record marked deleted reads like any other.
        EXPECT_EQ(t.Text(1, 0), "xyz");
        EXPECT_EQ(t.Text(1, 1), "42");
    }
}

TEST(dBaseFileReadHeader, ReadingAgainReplacesTheTable) {
    OpenTable t;
    ASSERT_TRUE(t.Load(Fixture("numbers.dbf")));
    ASSERT_EQ(t.m_Table.GetFieldCount(), 5);

    // A second file too short for a header: nothing of the first table stays.
    CFileReader shortFile;
    const std::string path = t.m_Dir.file("short.dbf");
    WriteBytes(path, std::vector<unsigned char>(20, 3));
    ASSERT_TRUE(shortFile.Open(path.c_str()));
    EXPECT_FALSE(t.m_Table.ReadHeader(&shortFile));
    EXPECT_EQ(t.m_Table.GetFieldCount(), 0);
    EXPECT_TRUE(t.m_Table.GetFields().empty());
    EXPECT_EQ(t.m_Table.GetRecordCount(), 0u);
    EXPECT_FALSE(t.Text(0, 0));

    ASSERT_TRUE(t.m_Table.ReadHeader(&t.m_Reader));
    EXPECT_EQ(t.Text(1, 0), "-42");
}

TEST(dBaseFileReadHeader, MissingOrClosedReader) {
    CdBaseFile table;
    EXPECT_FALSE(table.ReadHeader(nullptr));
    CFileReader closed;
    EXPECT_FALSE(table.ReadHeader(&closed));
    CAttributeFieldValue value;
    EXPECT_FALSE(table.ReadValue(0, 0, value));

    // The theme closes its reader while the table is still around.
    OpenTable t;
    ASSERT_TRUE(t.Load(Fixture("strings.dbf")));
    t.m_Reader.Close();
    EXPECT_FALSE(t.Text(0, 0));
}

// ---------------------------------------------------------------------------
// Damaged and hostile files: a false result, never a read outside the file.

TEST(dBaseFileHostile, CutOffDescriptorLists) {
    struct Case {
        const char* what;
        int headerLength;
        std::size_t size;
        int fields;
    };
    // A header and two descriptors, cut at various points; the header length
    // is the usual 97 or, as some writers leave it, 0.
    const Case cases[] = {
        {"inside the header", 97, 31, 0},
        {"no descriptor at all", 97, 32, 0},
        {"no descriptor at all", 0, 32, 0},
        {"inside the first descriptor", 97, 32 + 20, 0},
        {"inside the first descriptor", 0, 32 + 20, 0},
        {"inside the second descriptor", 97, 64 + 31, 1},
        {"inside the second descriptor", 0, 64 + 31, 1},
        {"after the second descriptor, no terminator", 0, 96, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", header length " + std::to_string(c.headerLength));
        RawTable raw;
        raw.recordCount = 5;
        raw.fields = {{"A", 'C', 3}, {"B", 'N', 4}};
        raw.terminator = false;
        raw.headerLength = c.headerLength;
        const std::vector<unsigned char> full = raw.Bytes();
        ASSERT_LE(c.size, full.size());
        OpenTable t;
        std::vector<unsigned char> bytes(full.begin(),
                                         full.begin() + static_cast<std::ptrdiff_t>(c.size));
        EXPECT_FALSE(t.Load(bytes));
        // The descriptors before the cut stay; no value can be read.
        EXPECT_EQ(t.m_Table.GetFieldCount(), c.fields);
        EXPECT_EQ(t.m_Table.GetRecordCount(), 0u);
        EXPECT_FALSE(t.Text(0, 0));
    }
}

TEST(dBaseFileHostile, TerminatorAtTheVeryEnd) {
    // Fewer than 32 bytes after the last descriptor are fine when they start
    // with the terminator. The records the header promises are not there.
    RawTable raw;
    raw.recordCount = 3;
    raw.fields = {{"A", 'C', 3}};
    OpenTable t;
    ASSERT_TRUE(t.Load(raw.Bytes()));
    EXPECT_EQ(t.m_Table.GetFieldCount(), 1);
    EXPECT_EQ(t.m_Table.GetRecordCount(), 3u);
    EXPECT_FALSE(t.Text(0, 0));
}

TEST(dBaseFileHostile, RecordCountBeyondTheFile) {
    struct Case {
        const char* what;
        std::uint32_t recordCount;
    };
    const Case cases[] = {{"a few more", 5}, {"the largest count", 0xFFFFFFFFu}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RawTable raw;
        raw.recordCount = c.recordCount;
        raw.fields = {{"A", 'C', 2}, {"B", 'C', 255}, {"C", 'N', 3}};
        // Two whole records and half of a third one.
        raw.records = " ab" + std::string(255, 'x') + "  1" + " cd" + std::string(255, 'y') +
                      "  2" + " ef" + std::string(100, 'z');
        OpenTable t;
        ASSERT_TRUE(t.Load(raw.Bytes()));
        // The count stays as the header gives it, so rows keep their shapes.
        EXPECT_EQ(t.m_Table.GetRecordCount(), c.recordCount);
        EXPECT_EQ(t.m_Table.GetRecordsPresent(), 2u);
        EXPECT_FALSE(t.m_Table.IsHeaderLengthDamaged());
        EXPECT_EQ(t.Text(1, 0), "cd");
        EXPECT_EQ(t.Text(1, 2), "2");
        // The third record is cut: even its first field, which is there, is
        // not read from a record the file does not hold.
        EXPECT_FALSE(t.Text(2, 0));
        EXPECT_FALSE(t.Text(2, 2));
        EXPECT_FALSE(t.Text(4, 1));
        if (c.recordCount == 0xFFFFFFFFu) {
            EXPECT_FALSE(t.Text(INT32_MAX, 2));
        }
    }
}

TEST(dBaseFileHostile, HeaderLengthPastTheEnd) {
    RawTable raw;
    raw.recordCount = 1;
    raw.fields = {{"A", 'C', 2}};
    raw.headerLength = 0xFFFF;
    raw.records = " ab";
    OpenTable t;
    ASSERT_TRUE(t.Load(raw.Bytes()));
    EXPECT_EQ(t.m_Table.GetFieldCount(), 1);
    // No record fits after the header length: they start after the terminator.
    EXPECT_EQ(t.m_Table.GetDataOffset(), 32 + 32 + 1);
    EXPECT_TRUE(t.m_Table.IsHeaderLengthDamaged());
    EXPECT_EQ(t.Text(0, 0), "ab");
}

TEST(dBaseFileHostile, EndlessDescriptorListWithoutHeaderLength) {
    // No header length and no terminator: the list is not followed beyond
    // what any header could describe (2046 fields).
    RawTable raw;
    raw.recordCount = 1;
    raw.headerLength = 0;
    raw.terminator = false;
    raw.fields.assign(3000, RawField{"F", 'C', 255});
    OpenTable t;
    EXPECT_FALSE(t.Load(raw.Bytes()));
    EXPECT_EQ(t.m_Table.GetRecordCount(), 0u);
    EXPECT_LE(t.m_Table.GetFieldCount(), 2046);
}

TEST(dBaseFileHostile, BadRecordAndFieldNumbers) {
    OpenTable t;
    ASSERT_TRUE(t.Load(Fixture("numbers.dbf")));
    EXPECT_FALSE(t.Text(-1, 0));
    EXPECT_FALSE(t.Text(0, -1));
    EXPECT_FALSE(t.Text(0, 5));
    EXPECT_FALSE(t.Text(3, 0));
    EXPECT_FALSE(t.Text(INT32_MAX, 0));
}

// ---------------------------------------------------------------------------
// Damaged copies of a table written by GDAL (gdal.dbf: 5 fields, a header of
// 32 * 5 + 33 = 193 bytes, 3 records of 38 bytes, then the 0x1A end byte).

namespace {

// What dbfdump -r and ogrinfo read from gdal.dbf (gdal.dbfdump.txt,
// gdal.ogrinfo.txt); ogrinfo strips the leading blanks of "  Mill" and shows
// dates as 2026/01/15 and '*' fills as (null).
const char* const kGdalValues[3][5] = {
    {"Harbour", "12", "1234.50", "20260115", "1"},
    {"  Mill", "-3", "0.25", "19991231", "0"},
    {"", "", "", "00000000", ""},
};

constexpr std::size_t kGdalHeaderLength = 193;

std::vector<unsigned char> GdalTable() {
    return ReadBytes(Fixture("gdal.dbf"));
}

} // namespace

TEST(dBaseFileDamaged, CopiesOfAPeerTableReadWithTheGoodValues) {
    const std::vector<unsigned char> good = GdalTable();
    ASSERT_EQ(good.size(), kGdalHeaderLength + 3 * 38 + 1);
    ASSERT_EQ(corvale::ReadLE16(&good[8]), kGdalHeaderLength);

    const auto headerLength = [&](unsigned length, std::vector<unsigned char> b) {
        corvale::WriteLE16(&b[8], static_cast<std::uint16_t>(length));
        return b;
    };
    const auto recordCount = [&](std::uint32_t count, std::vector<unsigned char> b) {
        corvale::WriteLE32(&b[4], count);
        return b;
    };
    const auto cut = [](std::size_t bytes, std::vector<unsigned char> b) {
        b.resize(b.size() - bytes);
        return b;
    };
    // Bytes after the terminator with the header length counting them, as
    // writers that keep more there leave it (FoxPro's 263-byte backlink area
    // of zeros, for one).
    const auto padded = [&](std::size_t bytes, unsigned char fill) {
        std::vector<unsigned char> b = good;
        b.insert(b.begin() + kGdalHeaderLength, bytes, fill);
        return headerLength(static_cast<unsigned>(kGdalHeaderLength + bytes), b);
    };

    const std::string damaged = "The header of the attribute file is damaged:";
    const std::string damagedAndShort =
        "The header of the attribute file is damaged, and the file is incomplete:";
    const std::string incomplete = "The attribute file is incomplete:";
    const std::string readAfterList = "Its records were read from where its field list ends.";
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        int dataOffset;
        std::uint32_t present;
        std::uint32_t count;
        bool headerDamaged;
        std::string first; // empty: no message
        std::string last;
    };
    const Case cases[] = {
        {"as written", good, 193, 3, 3, false, "", ""},
        {"header length inside the first descriptor", headerLength(64, good), 193, 3, 3, true,
         damaged, readAfterList},
        {"header length after three of the five descriptors", headerLength(32 * 3 + 33, good), 193,
         3, 3, true, damaged, readAfterList},
        {"header length inside the second record", headerLength(193 + 38 + 5, good), 193, 3, 3,
         true, damaged, readAfterList},
        // The end byte makes room for the records one byte on, but the byte
        // there is no deletion flag.
        {"header length one byte past the terminator", headerLength(194, good), 193, 3, 3, true,
         damaged, readAfterList},
        {"header length past the end", headerLength(0xFFFF, good), 193, 3, 3, true, damaged,
         readAfterList},
        {"record count above what the file holds", recordCount(5, good), 193, 3, 5, false,
         incomplete, "3 of 5 records could be read."},
        {"the largest record count", recordCount(0xFFFFFFFFu, good), 193, 3, 0xFFFFFFFFu, false,
         incomplete, "3 of 4294967295 records could be read."},
        {"file cut inside the last record", cut(20, good), 193, 2, 3, false, incomplete,
         "2 of 3 records could be read."},
        {"header length past the end and a record count above",
         headerLength(400, recordCount(7, good)), 193, 3, 7, true, damagedAndShort,
         readAfterList + " 3 of 7 records could be read."},
        {"header length inside the descriptors and the file cut", headerLength(64, cut(20, good)),
         193, 2, 3, true, damagedAndShort, readAfterList + " 2 of 3 records could be read."},
        {"padded header", padded(263, 0), 193 + 263, 3, 3, false, "", ""},
        {"padded by one byte", padded(1, 'X'), 194, 3, 3, false, "", ""},
        // Too short for the records either way: the records start where
        // the deletion flags are.
        {"padded header, file cut", cut(20, padded(263, 0)), 193 + 263, 2, 3, false, incomplete,
         "2 of 3 records could be read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenTable t;
        const std::string path = t.m_Dir.file("damaged.dbf");
        WriteBytes(path, c.bytes);
        ASSERT_TRUE(t.Load(path));
        ASSERT_EQ(t.m_Table.GetFieldCount(), 5);
        EXPECT_EQ(t.m_Table.GetFields()[2].m_Name, "AREA");
        EXPECT_EQ(t.m_Table.GetRecordLength(), 38);
        EXPECT_EQ(t.m_Table.GetDataOffset(), c.dataOffset);
        EXPECT_EQ(t.m_Table.GetRecordCount(), c.count);
        EXPECT_EQ(t.m_Table.GetRecordsPresent(), c.present);
        EXPECT_EQ(t.m_Table.IsHeaderLengthDamaged(), c.headerDamaged);
        for (std::int32_t r = 0; r < 3; ++r) {
            for (std::int32_t f = 0; f < 5; ++f) {
                if (static_cast<std::uint32_t>(r) < c.present)
                    EXPECT_EQ(t.Text(r, f), kGdalValues[r][f]) << "record " << r << " field " << f;
                else // a record cut by the end of the file is not read in part
                    EXPECT_FALSE(t.Text(r, f)) << "record " << r << " field " << f;
            }
        }
        EXPECT_FALSE(t.Text(3, 0));
        const std::string expected =
            c.first.empty() ? "" : c.first + "\n\n" + path + "\n\n\n" + c.last;
        EXPECT_EQ(DamagedTableMessage(t.m_Table, path), expected);
    }
}

TEST(dBaseFileDamaged, AStrayTerminatorInATableWithoutOneIsNotTaken) {
    // No terminator after the two descriptors (a '?' where it belongs); the
    // header length says where they end. Record 0 holds a 0x0D byte where a
    // third descriptor would end: read as descriptors, the records would end
    // there, but they would not fit after it, and the header's record length
    // is that of the two fields.
    RawTable raw;
    raw.recordCount = 2;
    raw.fields = {{"A", 'C', 31}, {"B", 'N', 2}};
    raw.terminator = false;
    raw.headerLength = 97;
    raw.afterTerminator = "?";
    raw.records = " " + std::string(30, 'x') + "\r" + " 1" + "*" + std::string(31, 'y') + "42";
    ASSERT_EQ(raw.Bytes()[96 + 32], 0x0D);
    OpenTable t;
    ASSERT_TRUE(t.Load(raw.Bytes()));
    EXPECT_EQ(t.m_Table.GetFieldCount(), 2);
    EXPECT_EQ(t.m_Table.GetDataOffset(), 97);
    EXPECT_FALSE(t.m_Table.IsHeaderLengthDamaged());
    EXPECT_EQ(t.Text(0, 0), std::string(30, 'x') + "\r");
    EXPECT_EQ(t.Text(0, 1), "1");
    EXPECT_EQ(t.Text(1, 0), std::string(31, 'y'));
    EXPECT_EQ(t.Text(1, 1), "42");
    EXPECT_EQ(DamagedTableMessage(t.m_Table, "t.dbf"), "");
}

TEST(dBaseFileDamaged, ATableThatCannotBeReadHasNoDamageMessage) {
    // Such a table gets the message of an unreadable table instead.
    std::vector<unsigned char> bytes = GdalTable();
    bytes.resize(32 + 20);
    OpenTable t;
    EXPECT_FALSE(t.Load(bytes));
    EXPECT_EQ(DamagedTableMessage(t.m_Table, "t.dbf"), "");
    // A good table read after a damaged one has none either.
    ASSERT_TRUE(t.Load(Fixture("gdal.dbf")));
    EXPECT_EQ(DamagedTableMessage(t.m_Table, "t.dbf"), "");
}

// ---------------------------------------------------------------------------
// Value text

TEST(dBaseFileReadValue, TextOfEachType) {
    struct Case {
        char letter;
        unsigned length;
        unsigned decimals;
        std::string_view stored;
        std::string_view text;
    };
    const Case cases[] = {
        // Numbers are right-aligned: what follows the last space.
        {'N', 5, 0, "   42", "42"},
        {'N', 5, 0, "42   ", ""},
        {'N', 5, 0, "12345", "12345"},
        {'N', 5, 0, "  -7 ", ""},
        {'N', 5, 0, "42\0\0\0"sv, "42"},
        {'N', 5, 0, "\0\0\0\0\0"sv, ""},
        {'N', 5, 0, "  007", "007"}, // leading zeros are dropped for doubles only
        {'N', 12, 0, "000000000012", "12"},
        {'F', 5, 0, "  007", "7"},
        {'N', 8, 2, "  007.50", "7.50"},
        {'N', 6, 1, "   0.5", "0.5"},
        {'F', 5, 0, "  000", "0"},
        {'N', 6, 2, " -0.50", "-0.50"},
        {'N', 6, 2, "-00.50", "-00.50"},
        // Text keeps its leading blanks and ends at a zero byte.
        {'C', 5, 0, "ab   ", "ab"},
        {'C', 5, 0, "  ab ", "  ab"},
        {'C', 5, 0, "a b  ", "a b"},
        {'C', 5, 0, "ab\0cd"sv, "ab"},
        {'C', 5, 0, "ab \0\0"sv, "ab"},
        {'C', 5, 0, "     ", ""},
        {'C', 4, 0, "\xFF\xFE\x01z", "\xFF\xFE\x01z"},
        {'D', 8, 0, "20260115", "20260115"},
        {'D', 8, 0, "        ", ""},
        {'L', 1, 0, "T", "T"},
        {'L', 1, 0, " ", ""},
        {'M', 10, 0, "0000000012", "0000000012"},
        {'C', 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("letter ") + c.letter + " stored '" + std::string(c.stored) + "'");
        ASSERT_EQ(c.stored.size(), c.length);
        RawTable raw;
        raw.recordCount = 1;
        raw.fields = {{"V", c.letter, c.length, c.decimals}, {"AFTER", 'C', 2}};
        raw.records = " " + std::string(c.stored) + "ok";
        OpenTable t;
        ASSERT_TRUE(t.Load(raw.Bytes()));
        CAttributeFieldValue value;
        ASSERT_TRUE(t.m_Table.ReadValue(0, 0, value));
        EXPECT_EQ(value.m_Text, c.text);
        EXPECT_EQ(value.m_Length, static_cast<int>(c.length));
        EXPECT_EQ(value.m_Type, t.m_Table.GetFields()[0].m_Type);
        // The next field starts right after this one.
        EXPECT_EQ(t.Text(0, 1), "ok");
    }
}

// ---------------------------------------------------------------------------
// Writing

TEST(dBaseFileWrite, HeaderLayout) {
    const std::vector<CAttributeFieldInfo> fields = {Field("NAME", FT_String, 5),
                                                     Field("COUNT", FT_Int, 4)};
    MemoryWriter writer;
    std::time_t before = std::time(nullptr);
    ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, 3));
    std::time_t after = std::time(nullptr);
    const auto& b = writer.m_Bytes;
    ASSERT_EQ(b.size(), 97u);

    EXPECT_EQ(b[0], 3);
    // The date of writing, with the year counted from 1900 (126 for 2026).
    bool dateMatches = false;
    for (std::time_t t : {before, after}) {
        std::tm local{};
        localtime_r(&t, &local);
        dateMatches = dateMatches || (b[1] == local.tm_year &&
                                      b[2] == local.tm_mon + 1 && b[3] == local.tm_mday);
    }
    EXPECT_TRUE(dateMatches) << int(b[1]) << "-" << int(b[2]) << "-" << int(b[3]);
    EXPECT_EQ(corvale::ReadLE32(&b[4]), 3u);
    EXPECT_EQ(corvale::ReadLE16(&b[8]), 97);
    EXPECT_EQ(corvale::ReadLE16(&b[10]), 10);
    EXPECT_EQ(Bytes(b, 12, 20), std::string(20, '\0'));

    EXPECT_EQ(Bytes(b, 32, 11), std::string("NAME\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(corvale::ReadLE32(&b[32 + 12]), 0u);
    EXPECT_EQ(b[32 + 16], 5);
    EXPECT_EQ(Bytes(b, 32 + 18, 14), std::string(14, '\0'));

    EXPECT_EQ(StoredName(b, 1), "COUNT");
    EXPECT_EQ(b[64 + 11], 'N');
    EXPECT_EQ(corvale::ReadLE32(&b[64 + 12]), 5u);
    EXPECT_EQ(b[64 + 16], 4);

    EXPECT_EQ(b[96], 0x0D);
}

TEST(dBaseFileWrite, DescriptorWidthsAndOffsets) {
    struct Case {
        const char* what;
        CAttributeFieldInfo field;
        char letter;
        int width;
        int decimals;
    };
    const Case cases[] = {
        {"text", Field("S", FT_String, 20), 'C', 20, 0},
        {"text wider than 255", Field("S", FT_String, 300), 'C', 255, 0},
        {"negative length", Field("S", FT_String, -4), 'C', 0, 0},
        {"integer", Field("I", FT_Int, 9), 'N', 9, 0},
        {"double", Field("D", FT_Double, 12, 3), 'N', 12, 3},
        {"decimals low byte", Field("D", FT_Double, 12, 0x103), 'N', 12, 3},
        // A double without decimals gets as many as its width allows, at least
        // one and at most 15, so that it does not read back as a whole number.
        {"double without decimals", Field("D", FT_Double, 8), 'N', 8, 6},
        {"narrow double without decimals", Field("D", FT_Double, 2), 'N', 2, 1},
        {"wide double without decimals", Field("D", FT_Double, 40), 'N', 40, 15},
        {"integer keeps no decimals", Field("I", FT_Int, 40), 'N', 40, 0},
        // Dates and logicals have fixed widths in dBase.
        {"date given 10", Field("T", FT_Date, 10), 'D', 8, 0},
        {"date given 0", Field("T", FT_Date, 0), 'D', 8, 0},
        {"logical given 3", Field("L", FT_Boolean, 3), 'L', 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The field sits between two others: its offset and the next one's
        // show the width the record is laid out with.
        const std::vector<CAttributeFieldInfo> fields = {Field("FIRST", FT_String, 7), c.field,
                                                         Field("LAST", FT_String, 1)};
        MemoryWriter writer;
        ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, 0));
        const auto& b = writer.m_Bytes;
        ASSERT_EQ(b.size(), 32u * 4 + 1);
        EXPECT_EQ(b[64 + 11], c.letter);
        EXPECT_EQ(b[64 + 16], c.width);
        EXPECT_EQ(b[64 + 17], c.decimals);
        EXPECT_EQ(corvale::ReadLE32(&b[64 + 12]), 7u);
        EXPECT_EQ(corvale::ReadLE32(&b[96 + 12]), 7u + static_cast<unsigned>(c.width));
        EXPECT_EQ(corvale::ReadLE16(&b[10]), 1 + 7 + c.width + 1);
    }
}

TEST(dBaseFileWrite, NamesAreCutAndKeptApart) {
    struct Case {
        std::vector<std::string> names;
        std::vector<std::string> stored;
    };
    const Case cases[] = {
        {{"ABCDEFGHIJKLMNO", "SHORT"}, {"ABCDEFGHIJ", "SHORT"}},
        {{"LONGFIELDNAME_A", "LONGFIELDNAME_B", "LONGFIELDNAME_C"},
         {"LONGFIELDN", "LONGFIELD1", "LONGFIELD2"}},
        // dBase readers look names up without regard to case.
        {{"Area", "AREA", "area"}, {"Area", "AREA1", "area2"}},
        {{"ABCDEFGHIJ", "abcdefghijk"}, {"ABCDEFGHIJ", "abcdefghi1"}},
        // A renamed column does not take a later column's own name.
        {{"LONGFIELDNAME_A", "LONGFIELDNAME_B", "LONGFIELD1"},
         {"LONGFIELDN", "LONGFIELD2", "LONGFIELD1"}},
        {{"ID", "ID1", "ID"}, {"ID", "ID1", "ID2"}},
    };
    for (const auto& c : cases) {
        std::vector<CAttributeFieldInfo> fields;
        for (const auto& name : c.names)
            fields.push_back(Field(name, FT_String, 1));
        MemoryWriter writer;
        ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, 0));
        for (std::size_t i = 0; i < c.stored.size(); ++i) {
            SCOPED_TRACE(c.names[i]);
            EXPECT_EQ(StoredName(writer.m_Bytes, i), c.stored[i]);
        }
    }

    // Many columns that all cut to the same name still get names of their own.
    std::vector<CAttributeFieldInfo> many;
    for (int i = 0; i < 150; ++i)
        many.push_back(Field("POPULATION_" + std::to_string(i), FT_Int, 5));
    MemoryWriter writer;
    ASSERT_TRUE(CdBaseFile::WriteHeader(many, &writer, 0));
    std::vector<std::string> names;
    for (std::size_t i = 0; i < many.size(); ++i) {
        names.push_back(StoredName(writer.m_Bytes, i));
        EXPECT_LE(names.back().size(), 10u);
    }
    EXPECT_EQ(names[0], "POPULATION");
    EXPECT_EQ(names[149], "POPULAT149");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

TEST(dBaseFileWrite, HeaderRefusals) {
    struct Case {
        const char* what;
        std::vector<CAttributeFieldInfo> fields;
    };
    const Case cases[] = {
        {"type above the range", {Field("A", FT_String, 1), Field("B", 5, 1)}},
        {"negative type", {Field("A", -1, 1)}},
        // The header length is 16 bits: 32 * 2047 + 33 does not fit.
        {"too many fields", std::vector<CAttributeFieldInfo>(2047, Field("F", FT_Int, 1))},
        // So is the record length: 1 + 257 * 255 > 65535.
        {"record too long", std::vector<CAttributeFieldInfo>(257, Field("F", FT_String, 255))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryWriter writer;
        EXPECT_FALSE(CdBaseFile::WriteHeader(c.fields, &writer, 1));
        EXPECT_TRUE(writer.m_Bytes.empty());
    }

    // The largest record and the most fields that fit are written.
    std::vector<CAttributeFieldInfo> widest(256, Field("F", FT_String, 255));
    widest.push_back(Field("G", FT_String, 254));
    MemoryWriter wide;
    ASSERT_TRUE(CdBaseFile::WriteHeader(widest, &wide, 1));
    EXPECT_EQ(corvale::ReadLE16(&wide.m_Bytes[10]), 65535);
    MemoryWriter most;
    ASSERT_TRUE(CdBaseFile::WriteHeader(
        std::vector<CAttributeFieldInfo>(2046, Field("F", FT_Int, 1)), &most, 1));
    EXPECT_EQ(corvale::ReadLE16(&most.m_Bytes[8]), 65505);

    const std::vector<CAttributeFieldInfo> one = {Field("A", FT_String, 1)};
    EXPECT_FALSE(CdBaseFile::WriteHeader(one, nullptr, 1));
    CFileWriter closed;
    EXPECT_FALSE(CdBaseFile::WriteHeader(one, &closed, 1));
    EXPECT_FALSE(CdBaseFile::WriteFieldDescriptor(0, one[0], nullptr));
    EXPECT_FALSE(CdBaseFile::WriteFieldDescriptor(0, one[0], &closed));

    MemoryWriter writer;
    EXPECT_FALSE(CdBaseFile::WriteFieldDescriptor(0, Field("A", 5, 1), &writer));
    EXPECT_FALSE(CdBaseFile::WriteFieldDescriptor(0, Field("A", -1, 1), &writer));
    EXPECT_TRUE(writer.m_Bytes.empty());
}

TEST(dBaseFileWrite, RecordLayout) {
    struct Case {
        const char* what;
        CAttributeFieldValue value;
        std::string_view stored;
    };
    const Case cases[] = {
        {"integer right-aligned", Value("12", FT_Int, 5), "   12"},
        {"integer filling its field", Value("-1234", FT_Int, 5), "-1234"},
        {"double right-aligned", Value("1.5", FT_Double, 6), "   1.5"},
        {"empty number", Value("", FT_Double, 3), "   "},
        {"text left-aligned, zero-filled", Value("ab", FT_String, 5), "ab\0\0\0"sv},
        {"text cut to its field", Value("abcdefg", FT_String, 3), "abc"},
        {"text keeps leading blanks", Value("  x", FT_String, 4), "  x\0"sv},
        {"date is always 8 wide", Value("20260115", FT_Date, 10), "20260115"},
        {"short date", Value("2026", FT_Date, 8), "2026\0\0\0\0"sv},
        {"logical is always 1 wide", Value("T", FT_Boolean, 3), "T"},
        {"empty logical", Value("", FT_Boolean, 1), "\0"sv},
        {"negative width", Value("abc", FT_String, -2), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<CAttributeFieldInfo> fields = {
            Field("A", c.value.m_Type, c.value.m_Length), Field("B", FT_Int, 2)};
        MemoryWriter writer;
        ASSERT_TRUE(CdBaseFile::WriteRecord(fields, &writer, {c.value, Value("7", FT_Int, 2)}));
        const std::string record(writer.m_Bytes.begin(), writer.m_Bytes.end());
        EXPECT_EQ(record, " " + std::string(c.stored) + " 7");
    }

    // A text wider than 255 is cut to 255 bytes.
    MemoryWriter writer;
    ASSERT_TRUE(CdBaseFile::WriteRecord({Field("A", FT_String, 300)}, &writer,
                                        {Value(std::string(300, 'q'), FT_String, 300)}));
    EXPECT_EQ(writer.m_Bytes.size(), 1u + 255u);
}

TEST(dBaseFileWrite, RecordRefusals) {
    const std::vector<CAttributeFieldInfo> fields = {Field("A", FT_String, 3),
                                                     Field("B", FT_Int, 5)};
    struct Case {
        const char* what;
        std::vector<CAttributeFieldValue> values;
    };
    const Case cases[] = {
        // A number cut to fit would be a different number.
        {"integer wider than its field", {Value("a", FT_String, 3), Value("123456", FT_Int, 5)}},
        {"double wider than its field", {Value("a", FT_String, 3), Value("1.25", FT_Double, 3)}},
        {"number with negative width", {Value("a", FT_String, 3), Value("1", FT_Int, -5)}},
        {"type out of range", {Value("a", FT_String, 3), Value("1", 5, 5)}},
        {"too few values", {Value("a", FT_String, 3)}},
        {"too many values",
         {Value("a", FT_String, 3), Value("1", FT_Int, 5), Value("1", FT_Int, 5)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryWriter writer;
        EXPECT_FALSE(CdBaseFile::WriteRecord(fields, &writer, c.values));
        EXPECT_TRUE(writer.m_Bytes.empty());
    }

    const std::vector<CAttributeFieldValue> good = {Value("a", FT_String, 3),
                                                    Value("1", FT_Int, 5)};
    EXPECT_FALSE(CdBaseFile::WriteRecord(fields, nullptr, good));
    CFileWriter closed;
    EXPECT_FALSE(CdBaseFile::WriteRecord(fields, &closed, good));
}

TEST(dBaseFileWrite, FailedWritesAreReported) {
    // A disk that fills up at every point of a header with two fields
    // (97 bytes) and of a record (9 bytes).
    const std::vector<CAttributeFieldInfo> fields = {Field("A", FT_String, 3),
                                                     Field("B", FT_Int, 5)};
    for (std::size_t room : {0u, 31u, 32u, 63u, 64u, 95u, 96u}) {
        SCOPED_TRACE("header, room for " + std::to_string(room) + " bytes");
        MemoryWriter writer(room);
        EXPECT_FALSE(CdBaseFile::WriteHeader(fields, &writer, 1));
    }
    MemoryWriter enough(97);
    EXPECT_TRUE(CdBaseFile::WriteHeader(fields, &enough, 1));

    const std::vector<CAttributeFieldValue> values = {Value("abc", FT_String, 3),
                                                      Value("42", FT_Int, 5)};
    for (std::size_t room : {0u, 1u, 8u}) {
        SCOPED_TRACE("record, room for " + std::to_string(room) + " bytes");
        MemoryWriter writer(room);
        EXPECT_FALSE(CdBaseFile::WriteRecord(fields, &writer, values));
    }
    MemoryWriter record(9);
    EXPECT_TRUE(CdBaseFile::WriteRecord(fields, &record, values));

    MemoryWriter descriptor(31);
    EXPECT_FALSE(CdBaseFile::WriteFieldDescriptor(0, fields[0], &descriptor));
}

TEST(dBaseFileWrite, WrittenTablesReadBack) {
    // The way the shape-file export writes: header, records, end byte.
    const std::vector<CAttributeFieldInfo> fields = {
        Field("NAME", FT_String, 10),
        Field("POP", FT_Int, 8),
        Field("AREA", FT_Double, 12, 3),
        Field("FOUNDED", FT_Date, 8),
        Field("CAPITAL", FT_Boolean, 1),
        Field("A_VERY_LONG_NAME", FT_Int, 3),
        Field("A_VERY_LONG_NAME_TOO", FT_Int, 3),
    };
    const std::vector<std::vector<CAttributeFieldValue>> rows = {
        {Value("Oslo", FT_String, 10), Value("709037", FT_Int, 8), Value("454.030", FT_Double, 12),
         Value("10480101", FT_Date, 8), Value("T", FT_Boolean, 1), Value("1", FT_Int, 3),
         Value("-2", FT_Int, 3)},
        {Value("  Troms\xC3\xB8", FT_String, 10), Value("-12", FT_Int, 8),
         Value("0.500", FT_Double, 12), Value("", FT_Date, 8), Value("?", FT_Boolean, 1),
         Value("", FT_Int, 3), Value("999", FT_Int, 3)},
    };

    TempDir dir;
    const std::string path = dir.file("out.dbf");
    CFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, static_cast<std::uint32_t>(rows.size())));
    for (const auto& row : rows)
        ASSERT_TRUE(CdBaseFile::WriteRecord(fields, &writer, row));
    const unsigned char end = 0x1A;
    ASSERT_EQ(writer.Write(&end, 1), 1u);
    ASSERT_TRUE(writer.Close());

    const auto bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size(), 32u * 8 + 1 + 2 * 46 + 1);
    EXPECT_EQ(bytes.back(), 0x1A);

    OpenTable t;
    ASSERT_TRUE(t.Load(path));
    ASSERT_EQ(t.m_Table.GetFieldCount(), 7);
    EXPECT_EQ(t.m_Table.GetRecordCount(), 2u);
    EXPECT_EQ(t.m_Table.GetRecordLength(), 46);
    EXPECT_EQ(t.m_Table.GetRecordLength(), corvale::ReadLE16(&bytes[10]));
    EXPECT_EQ(t.m_Table.GetDataOffset(), corvale::ReadLE16(&bytes[8]));

    const int types[] = {FT_String, FT_Int, FT_Double, FT_Date, FT_Boolean, FT_Int, FT_Int};
    const char* names[] = {"NAME", "POP", "AREA", "FOUNDED", "CAPITAL", "A_VERY_LON", "A_VERY_LO1"};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(t.m_Table.GetFields()[i].m_Name, names[i]);
        EXPECT_EQ(t.m_Table.GetFields()[i].m_Type, types[i]);
    }
    EXPECT_EQ(t.m_Table.GetFields()[2].m_Decimals, 3);

    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t f = 0; f < fields.size(); ++f) {
            SCOPED_TRACE("record " + std::to_string(r) + " field " + std::to_string(f));
            EXPECT_EQ(t.Text(static_cast<int>(r), static_cast<int>(f)), rows[r][f].m_Text);
        }
    }
}

// The header's code-page byte says how the table's text is encoded; a copy
// keeps it, and a table that does not say is written with 0.
TEST(dBaseFileWrite, TheCodePageByteIsReadAndWritten) {
    const std::vector<CAttributeFieldInfo> fields = {Field("NAME", FT_String, 10)};
    for (const std::uint8_t codePage : {std::uint8_t{0}, std::uint8_t{3}, std::uint8_t{87}}) {
        SCOPED_TRACE(int(codePage));
        TempDir dir;
        const std::string path = dir.file("out.dbf");
        CFileWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, 0, codePage));
        ASSERT_TRUE(writer.Close());
        EXPECT_EQ(ReadBytes(path)[29], codePage);
        OpenTable t;
        ASSERT_TRUE(t.Load(path));
        EXPECT_EQ(t.m_Table.GetCodePage(), codePage);
    }
    // GDAL writes Windows Latin 1 tables with 87 (the sample's table).
    OpenTable sample;
    ASSERT_TRUE(sample.Load(std::string(CORVALE_TEST_DATA) + "/../../samples/world.dbf"));
    EXPECT_EQ(sample.m_Table.GetCodePage(), 87);
}

// ---------------------------------------------------------------------------
// Names and values checked by the attribute dialogs

TEST(dBaseFieldTypeNames, ExactNamesOnly) {
    struct Case {
        const char* name;
        int type;
    };
    const Case cases[] = {
        {"FT_String", FT_String},
        {"FT_Int", FT_Int},
        {"FT_Double", FT_Double},
        {"FT_Date", FT_Date},
        {"FT_Boolean", FT_Boolean},
        {"ft_int", -1},
        {"FT_Int ", -1},
        {"FT_Integer", -1},
        {"", -1},
        {nullptr, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(GetFieldTypeFromName(c.name), c.type);
    }
    // The dialog lists the names up to the empty entry.
    for (int type = FT_String; type <= FT_Boolean; ++type)
        EXPECT_EQ(GetFieldTypeFromName(g_FieldTypeNames[type]), type);
    EXPECT_STREQ(g_FieldTypeNames[5], "");
}

TEST(dBaseFieldNames, Validity) {
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"A", true},      {"ABCDEFGHIJ", true}, {"ABCDEFGHIJK", false},
        {"", false},      {nullptr, false},     {"a_1", true},
        {"_", true},      {"1st", true},        {"a b", false},
        {"a-b", false},   {"a.b", false},       {"Z\xC3\xBCrich", false},
        {"tab\t", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(IsValidFieldName(c.name), c.valid);
    }
}

struct ValueCase {
    const char* text;
    int type;
    bool valid;
};

const ValueCase kValueCases[] = {
    {nullptr, FT_String, false},
    // The empty text is always allowed, even before the type is looked at.
    {"", FT_Int, true},
    {"", FT_Date, true},
    {"", 9, true},
    {"x", 5, false},
    {"x", -1, false},
    {"anything at all", FT_String, true},

    {"42", FT_Int, true},
    {"+42", FT_Int, true},
    {"-42", FT_Int, true},
    {"+", FT_Int, false},
    {"-", FT_Int, false},
    {"1e5", FT_Int, false},
    {"1.0", FT_Int, false},
    {" 42", FT_Int, false},
    {"42 ", FT_Int, false},
    {"4 2", FT_Int, false},
    {"--4", FT_Int, false},

    {"1.5", FT_Double, true},
    {" 1.5 ", FT_Double, true},
    {"\t-2\n", FT_Double, true},
    {"+1.5", FT_Double, true},
    {"-.5e-2", FT_Double, true},
    {"1.", FT_Double, true},
    {"1E5", FT_Double, true},
    {"1e999", FT_Double, true},
    {"inf", FT_Double, true},
    {"-Infinity", FT_Double, true},
    {"nan", FT_Double, true},
    {"0x1A", FT_Double, true},
    {"0x1p3", FT_Double, true},
    {"1.5x", FT_Double, false},
    {"x", FT_Double, false},
    {".", FT_Double, false},
    {"   ", FT_Double, false},
    {"1 2", FT_Double, false},
    {"1,5", FT_Double, false},
    {"+-1", FT_Double, false},
    {"--1", FT_Double, false},
    {"- 1", FT_Double, false},
    {"0x", FT_Double, false},
    {"0xg", FT_Double, false},
    {"0xinf", FT_Double, false},
    {"infx", FT_Double, false},

    {"20260115", FT_Date, true},
    {"20260231", FT_Date, true}, // the length of the month is not checked
    {"00000131", FT_Date, true}, // nor the year
    {"20261201", FT_Date, true},
    {"2026-1-1", FT_Date, false},
    {"20261301", FT_Date, false},
    {"20260001", FT_Date, false},
    {"20260100", FT_Date, false},
    {"20260132", FT_Date, false},
    {"2026011", FT_Date, false},
    {"202601150", FT_Date, false},
    {" 2026011", FT_Date, false},
    {"2026O115", FT_Date, false},

    {"y", FT_Boolean, true},
    {"N", FT_Boolean, true},
    {"t", FT_Boolean, true},
    {"F", FT_Boolean, true},
    {"?", FT_Boolean, true},
    {"yes", FT_Boolean, false},
    {"1", FT_Boolean, false},
    {"x", FT_Boolean, false},
    {" ", FT_Boolean, false},
};

TEST(dBaseFieldValues, Validity) {
    for (const auto& c : kValueCases) {
        SCOPED_TRACE(std::string(c.text ? c.text : "(null)") + " as type " +
                     std::to_string(c.type));
        EXPECT_EQ(IsValidFieldValue(c.text, c.type), c.valid);
    }
}

// Restores the numeric locale however the test ends.
class NumericLocale {
public:
    NumericLocale() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        m_Saved = current ? current : "C";
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, m_Saved.c_str()); }

private:
    std::string m_Saved;
};

TEST(dBaseFieldValues, NumbersIgnoreACommaLocale) {
    NumericLocale restore;
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    // The locale really writes numbers with a comma.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    for (const auto& c : kValueCases) {
        SCOPED_TRACE(std::string(c.text ? c.text : "(null)") + " as type " +
                     std::to_string(c.type));
        EXPECT_EQ(IsValidFieldValue(c.text, c.type), c.valid);
    }

    // Cells keep their decimal point both ways.
    const std::vector<CAttributeFieldInfo> fields = {Field("AREA", FT_Double, 8, 2)};
    TempDir dir;
    const std::string path = dir.file("comma.dbf");
    CFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, 1));
    ASSERT_TRUE(CdBaseFile::WriteRecord(fields, &writer, {Value("1234.50", FT_Double, 8)}));
    ASSERT_TRUE(writer.Close());
    OpenTable t;
    ASSERT_TRUE(t.Load(path));
    EXPECT_EQ(t.Text(0, 0), "1234.50");
}

} // namespace

// A double column whose decimals are not set (the program's own columns) used
// to be written as N(w,0) and read back, here and in GDAL, as whole numbers:
// 2.5 became 2 after a save. written_doubles.dbf holds what this test writes
// (the date bytes aside); written_doubles.ogrinfo.txt shows GDAL reads Real.
TEST(dBaseFileWrite, DoublesWithoutDecimalsReadBackAsDoubles) {
    const std::vector<CAttributeFieldInfo> fields = {Field("RATIO", FT_Double, 7), Field("COUNT", FT_Int, 4)};
    const std::vector<std::vector<CAttributeFieldValue>> rows = {
        {Value("2.5", FT_Double, 7), Value("3", FT_Int, 4)},
        {Value("-0.125", FT_Double, 7), Value("-12", FT_Int, 4)},
        {Value("", FT_Double, 7), Value("", FT_Int, 4)},
    };
    TempDir dir;
    const std::string path = dir.file("written_doubles.dbf");
    CFileWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(CdBaseFile::WriteHeader(fields, &writer, static_cast<std::uint32_t>(rows.size())));
    for (const auto& row : rows)
        ASSERT_TRUE(CdBaseFile::WriteRecord(fields, &writer, row));
    const unsigned char end = 0x1A;
    ASSERT_EQ(writer.Write(&end, 1), 1u);
    ASSERT_TRUE(writer.Close());

    auto written = ReadBytes(path);
    auto committed = ReadBytes(Fixture("written_doubles.dbf"));
    ASSERT_EQ(written.size(), committed.size());
    for (std::size_t i = 1; i <= 3; ++i)
        written[i] = committed[i] = 0; // the date of writing
    EXPECT_EQ(written, committed);

    OpenTable t;
    ASSERT_TRUE(t.Load(path));
    EXPECT_EQ(t.m_Table.GetFields()[0].m_Type, FT_Double);
    EXPECT_EQ(t.m_Table.GetFields()[1].m_Type, FT_Int);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(t.Text(static_cast<int>(r), 0), rows[r][0].m_Text);
        EXPECT_EQ(t.Text(static_cast<int>(r), 1), rows[r][1].m_Text);
    }
}
