#include "platform/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

using corvale::MatchWildcard;
using corvale::MatchWildcardList;

TEST(Wildcard, MatchesTheWholeTextWithStarsAndQuestionMarks) {
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"Sydney", "s*", true},
        {"Sydney", "S*Y", true},
        {"Sydney", "*dne?", true},
        {"Sydney", "Syd", false},  // the whole text must match
        {"Sydney", "ydney", false},
        {"Sydney", "??????", true},
        {"Sydney", "???????", false},
        {"Sydney", "*", true},
        {"", "*", true},
        {"", "", true},
        {"a", "", false},
        {"", "?", false},
        {"roads.GPI", "*.gpi", true},
        {"roads.gpi.bak", "*.gpi", false},
        {"a.b.c", "*.*.*", true},
        {"abcabcabd", "*abd", true},
        {"mississippi", "*ss*ss*", true},
        {"mississippi", "m*x*", false},
        {"a;b", "a;b", true},  // ';' is an ordinary character in one pattern
        {"a", "a;b", false},
        {"caf\xc3\xa9", "CAF\xc3\xa9", true},
        {"caf\xc3\xa9", "caf\xc3\x89", false},  // only ASCII letters fold
        {"[x]", "[X]", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchWildcard(c.text, c.pattern), c.match) << '"' << c.text << "\" ~ \"" << c.pattern << '"';
}

TEST(Wildcard, ManyStarsDoNotBacktrackForEver) {
    const std::string text(5000, 'a');
    const std::string pattern = std::string(2000, '*') + std::string(100, 'a') + "b";
    EXPECT_FALSE(MatchWildcard(text, pattern));
    EXPECT_TRUE(MatchWildcard(text + "b", pattern));
}

TEST(Wildcard, PatternListsTakeAnyAlternative) {
    EXPECT_TRUE(MatchWildcardList("photo.JPEG", "*.jpg;*.jpeg"));
    EXPECT_TRUE(MatchWildcardList("photo.jpg", "*.jpg;*.jpeg"));
    EXPECT_FALSE(MatchWildcardList("photo.png", "*.jpg;*.jpeg"));
    EXPECT_TRUE(MatchWildcardList("", "*.jpg;"));
    EXPECT_FALSE(MatchWildcardList("a", "*.jpg;"));
    EXPECT_TRUE(MatchWildcardList("a", "a"));
}
