#include "shapes/FileReader.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::vector<unsigned char> Counting(std::size_t n) {
    std::vector<unsigned char> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

} // namespace

TEST(FileReader, MapsTheWholeFileAndReadsFromThePosition) {
    TempDir dir;
    WriteBytes(dir.file("a.bin"), Counting(100));
    CFileReader reader;
    ASSERT_TRUE(reader.Open(dir.file("a.bin").c_str()));
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetSize(), 100u);
    EXPECT_EQ(reader.GetPosition(), 0u);
    ASSERT_NE(reader.GetData(), nullptr);
    EXPECT_EQ(reader.GetData()[42], 42);

    unsigned char buffer[8];
    EXPECT_EQ(reader.Read(buffer, 8), 8u);
    EXPECT_EQ(buffer[7], 7);
    EXPECT_EQ(reader.GetPosition(), 8u);
    EXPECT_EQ(*reader.GetCurrentPointer(), 8);
}

TEST(FileReader, ReadsAreCutAtTheEnd) {
    TempDir dir;
    WriteBytes(dir.file("a.bin"), Counting(100));
    CFileReader reader;
    ASSERT_TRUE(reader.Open(dir.file("a.bin").c_str()));

    struct Case {
        std::uint64_t position;
        std::size_t asked;
        std::size_t got;
    };
    // The last rows are positions past the end: they must read nothing rather
    // than wrap size - position around into a huge copy.
    const Case cases[] = {{90, 100, 10}, {99, 1, 1}, {100, 5, 0}, {101, 5, 0}, {0xFFFFFFFFull, 5, 0},
                          {0xFFFFFFFFFFFFFFFFull, 5, 0}};
    for (const Case& c : cases) {
        unsigned char buffer[128] = {};
        reader.SetPosition(c.position);
        EXPECT_EQ(reader.Read(buffer, c.asked), c.got) << c.position;
        EXPECT_EQ(reader.IsEOF(), true) << c.position;
        if (c.position >= 100) {
            EXPECT_EQ(reader.GetCurrentPointer(), nullptr);
        }
    }
    reader.SetPosition(50);
    EXPECT_FALSE(reader.IsEOF());
}

TEST(FileReader, RefusesWhatCannotBeMapped) {
    TempDir dir;
    WriteBytes(dir.file("empty.bin"), {});
    ::mkdir(dir.file("folder").c_str(), 0755);
    const std::string names[] = {dir.file("missing.bin"), dir.file("empty.bin"), dir.file("folder")};
    for (const std::string& name : names) {
        CFileReader reader;
        EXPECT_FALSE(reader.Open(name.c_str())) << name;
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_EQ(reader.GetData(), nullptr);
        unsigned char b;
        EXPECT_EQ(reader.Read(&b, 1), 0u);
    }
    CFileReader reader;
    EXPECT_FALSE(reader.Open(nullptr));
}

TEST(FileReader, FailedOpenLeavesItReusableAndASecondOpenIsRefused) {
    TempDir dir;
    WriteBytes(dir.file("a.bin"), Counting(10));
    WriteBytes(dir.file("b.bin"), Counting(20));
    CFileReader reader;
    EXPECT_FALSE(reader.Open(dir.file("missing").c_str()));
    ASSERT_TRUE(reader.Open(dir.file("a.bin").c_str()));
    EXPECT_FALSE(reader.Open(dir.file("b.bin").c_str()));
    EXPECT_EQ(reader.GetSize(), 10u);
    EXPECT_TRUE(reader.IsOpen());

    reader.Close();
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    ASSERT_TRUE(reader.Open(dir.file("b.bin").c_str()));
    EXPECT_EQ(reader.GetSize(), 20u);
}
