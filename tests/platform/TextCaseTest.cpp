#include "platform/TextCase.h"

#include <gtest/gtest.h>

namespace {

using namespace corvale;

TEST(TextCase, ComparisonsIgnoreOnlyAsciiCase) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {".SHP", ".shp", true},   {"dir", "DIR", true}, {"", "", true},
        {"ab", "abc", false},     {"a[", "A{", false},  {"\xC3\xA9", "\xC3\x89", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_TRUE(StartsWithNoCase("Point Z (1 2 3)", "POINT"));
    EXPECT_FALSE(StartsWithNoCase("POI", "POINT"));
    EXPECT_TRUE(EndsWithNoCase("/maps/World.GIF", ".gif"));
    EXPECT_FALSE(EndsWithNoCase("gif", ".gif"));
    EXPECT_EQ(ToUpperAscii("dir a\xC3\xA9z"), "DIR A\xC3\xA9Z");
}

TEST(TextCase, ReplacementsAreNotSearchedAgain) {
    std::string text = "<X>-<X>";
    ReplaceAll(text, "<X>", "<X><X>");
    EXPECT_EQ(text, "<X><X>-<X><X>");
    ReplaceAll(text, "", "never");
    EXPECT_EQ(text, "<X><X>-<X><X>");
    std::string none = "abc";
    ReplaceAll(none, "z", "y");
    EXPECT_EQ(none, "abc");
}

} // namespace
