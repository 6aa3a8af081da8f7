#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(TextEncoding, WindowsLatin1ToUtf8AndBack) {
    struct Case {
        std::string latin1, utf8;
    } cases[] = {
        {"plain", "plain"},
        {"C\xF4te d'Ivoire", "C\xC3\xB4te d'Ivoire"},
        {"\x80 \x9C \xFF", "\xE2\x82\xAC \xC5\x93 \xC3\xBF"},
        {"\x81", "\xC2\x81"}, // a byte the code page leaves unused
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Windows1252ToUtf8(c.latin1), c.utf8) << c.latin1;
        std::string back;
        EXPECT_TRUE(Utf8ToWindows1252(c.utf8, back)) << c.utf8;
        EXPECT_EQ(back, c.latin1);
    }
    std::string out;
    EXPECT_FALSE(Utf8ToWindows1252("\xD0\x96", out)) << "Cyrillic has no Windows Latin 1 byte";
    EXPECT_FALSE(Utf8ToWindows1252("\xC3", out)) << "cut short";
}

TEST(TextEncoding, TableTextByCodePage) {
    struct Case {
        std::string text;
        std::uint8_t codePage;
        std::string utf8;
    } cases[] = {
        {"C\xF4te", 87, "C\xC3\xB4te"},
        {"C\xF4te", 3, "C\xC3\xB4te"},
        {"C\xF4te", 0, "C\xC3\xB4te"},          // not valid UTF-8: read as Windows Latin 1
        {"C\xC3\xB4te", 0, "C\xC3\xB4te"},      // valid UTF-8 is kept when the table does not say
        {"C\xC3\xB4te", 87, "C\xC3\x83\xC2\xB4te"}, // the table says Latin 1: taken at its word
        {"\xED\xA0\x80", 0, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // a surrogate is no UTF-8
        {"\xC0\xAF", 0, "\xC3\x80\xC2\xAF"},                // nor an overlong form
    };
    for (const Case& c : cases)
        EXPECT_EQ(TableTextToUtf8(c.text, c.codePage), c.utf8) << c.text << " " << int(c.codePage);
    EXPECT_TRUE(IsWindowsLatin1CodePage(87));
    EXPECT_TRUE(IsWindowsLatin1CodePage(3));
    EXPECT_FALSE(IsWindowsLatin1CodePage(0));
}

TEST(TextEncoding, CodePointsRoundTripAndBadBytesBecomeReplacements) {
    const std::string text = "a\xC3\xB4\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToCodePoints(text), (std::u32string{U'a', 0xF4, 0x20AC, 0x1F600}));
    EXPECT_EQ(CodePointsToUtf8(Utf8ToCodePoints(text)), text);
    EXPECT_EQ(Utf8ToCodePoints("a\xFF"), (std::u32string{U'a', 0xFFFD}));
}
