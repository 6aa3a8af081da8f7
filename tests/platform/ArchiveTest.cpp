#include "platform/Archive.h"

#include <gtest/gtest.h>

namespace {

std::vector<unsigned char> Stored(const std::string& text) {
    CArchive ar;
    ar.WriteString(text);
    return ar.GetStored();
}

} // namespace

TEST(Archive, NumbersAreLittleEndianAndRoundTrip) {
    CArchive out;
    out.WriteU8(0xAB);
    out.WriteU16(0x1234);
    out.WriteU32(0xDEADBEEF);
    out.WriteI32(-2);
    out.WriteF64(-1234.5625);
    const auto& b = out.GetStored();
    ASSERT_EQ(b.size(), 1u + 2 + 4 + 4 + 8);
    EXPECT_EQ(b[1], 0x34);
    EXPECT_EQ(b[3], 0xEF);
    EXPECT_EQ(b[7], 0xFE);

    CArchive in(b.data(), b.size());
    EXPECT_TRUE(in.IsLoading());
    EXPECT_EQ(in.ReadU8(), 0xAB);
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadU32(), 0xDEADBEEFu);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadF64(), -1234.5625);
    EXPECT_EQ(in.GetRemaining(), 0u);
}

TEST(Archive, StringLengthPrefixForms) {
    struct Case {
        std::size_t length;
        std::vector<unsigned char> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        const auto bytes = Stored(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        CArchive in(bytes.data(), bytes.size());
        EXPECT_EQ(in.ReadString(), text) << c.length;
    }
}

TEST(Archive, ReadsWideStringsAsUtf8) {
    // 0xFF 0xFFFE marks a wide string; then its length in UTF-16 units.
    const std::vector<unsigned char> bytes = {0xFF, 0xFE, 0xFF, 0x04,       'O',  0x00, 0xF8, 0x00,
                                              0x3D, 0xD8, 0x00, 0xDE /* U+1F600 as a pair */};
    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.ReadString(), "O\xC3\xB8\xF0\x9F\x98\x80");
}

TEST(Archive, TruncatedAndImpossibleDataThrow) {
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"string longer than the data", {0x05, 'a', 'b'}, CArchiveException::EndOfFile},
        {"prefix cut short", {0xFF, 0x01}, CArchiveException::EndOfFile},
        {"wide string cut short", {0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00}, CArchiveException::BadData},
        {"nothing at all", {}, CArchiveException::EndOfFile},
    };
    for (const Case& c : cases) {
        CArchive in(c.bytes.data(), c.bytes.size());
        try {
            in.ReadString();
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << c.name;
        }
    }
    const std::vector<unsigned char> three = {1, 2, 3};
    CArchive in(three.data(), three.size());
    EXPECT_THROW(in.ReadU32(), CArchiveException);
    EXPECT_NO_THROW(in.CheckCount(3, 1));
    EXPECT_THROW(in.CheckCount(2, 2), CArchiveException);
    EXPECT_THROW(in.CheckCount(0xFFFFFFFFFFFFFFFFull, 8), CArchiveException);
}
