// The stored form of one bookmark inside the workspace file.

#include "platform/Archive.h"
#include "workspace/BookmarkRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Store(const CBookmarkRecord& record) {
    CArchive archive;
    CBookmarkRecord copy = record;
    copy.Serialize(archive);
    return archive.GetStored();
}

std::vector<unsigned char> Doubles(std::vector<double> values) {
    std::vector<unsigned char> bytes(values.size() * 8);
    std::memcpy(bytes.data(), values.data(), bytes.size()); // the test machine is little-endian
    return bytes;
}

} // namespace

TEST(BookmarkRecord, DefaultRecord) {
    const CBookmarkRecord record;
    EXPECT_EQ(record.m_X, 0.0);
    EXPECT_EQ(record.m_Y, 0.0);
    EXPECT_EQ(record.m_Name, "");
    EXPECT_EQ(record.m_UnitsPerPixel, 1.0);
}

// Version word, name (one length byte below 255, else 0xFF and a u16
// length), units per pixel, x, y.
TEST(BookmarkRecord, StoredBytes) {
    struct Case {
        std::size_t nameLength;
        std::vector<unsigned char> prefix;
    };
    const Case cases[] = {
        {3, {0x03}},
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nameLength);
        CBookmarkRecord record;
        record.m_Name = std::string(c.nameLength, 'n');
        record.m_UnitsPerPixel = 0.25;
        record.m_X = 10.5;
        record.m_Y = -3.0;
        std::vector<unsigned char> expected = {1, 0, 0, 0};
        expected.insert(expected.end(), c.prefix.begin(), c.prefix.end());
        expected.insert(expected.end(), c.nameLength, 'n');
        const std::vector<unsigned char> numbers = Doubles({0.25, 10.5, -3.0});
        expected.insert(expected.end(), numbers.begin(), numbers.end());
        const std::vector<unsigned char> stored = Store(record);
        EXPECT_EQ(stored, expected);

        CArchive reading(stored.data(), stored.size());
        CBookmarkRecord read;
        read.Serialize(reading);
        EXPECT_EQ(read.m_Name, record.m_Name);
        EXPECT_EQ(read.m_UnitsPerPixel, 0.25);
        EXPECT_EQ(read.m_X, 10.5);
        EXPECT_EQ(read.m_Y, -3.0);
        EXPECT_EQ(reading.GetRemaining(), 0u);
    }
}

TEST(BookmarkRecord, VersionWordIsIgnoredWhenRead) {
    CBookmarkRecord record;
    record.m_Name = "BM 1";
    std::vector<unsigned char> stored = Store(record);
    stored[0] = 7;
    CArchive reading(stored.data(), stored.size());
    CBookmarkRecord read;
    read.Serialize(reading);
    EXPECT_EQ(read.m_Name, "BM 1");
}

TEST(BookmarkRecord, TruncatedRecordThrows) {
    CBookmarkRecord record;
    record.m_Name = "short";
    std::vector<unsigned char> stored = Store(record);
    stored.resize(stored.size() - 1);
    CArchive reading(stored.data(), stored.size());
    CBookmarkRecord read;
    EXPECT_THROW(read.Serialize(reading), CArchiveException);
}
