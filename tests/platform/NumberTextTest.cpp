#include "platform/NumberText.h"

#include "CommaLocale.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <locale>
#include <string>

using namespace corvale;


TEST(NumberText, FormatsWithAPointUnderACommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "the de_DE.UTF-8 locale is missing; scripts/setup.sh generates it";
    EXPECT_EQ(FormatDouble(1.5), "1.5");
    EXPECT_EQ(FormatFixed(1.5, 3), "1.500");
    double value = 0.0;
    EXPECT_TRUE(ParseDouble("2.25", value));
    EXPECT_EQ(value, 2.25);
    EXPECT_FALSE(ParseDouble("2,25", value));
}

TEST(NumberText, FormatDoubleRoundTrips) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},         {1.5, "1.5"},           {-2.0, "-2"},         {0.1, "0.1"},
        {1e300, "1e+300"},  {-1234.5678, "-1234.5678"}, {NAN, "nan"},     {INFINITY, "inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDouble(c.value), c.text);
        double back = 0.0;
        if (std::isfinite(c.value)) {
            ASSERT_TRUE(ParseDouble(FormatDouble(c.value), back));
            EXPECT_EQ(back, c.value);
        }
    }
}

TEST(NumberText, FormatFixedRoundsLikePrintf) {
    struct Case {
        double value;
        int decimals;
    };
    const Case cases[] = {{1.005, 2}, {2.5, 0}, {-0.125, 2}, {123456.789, 6}, {1e20, 1}, {-3.0, 0}};
    for (const Case& c : cases) {
        char expected[128];
        std::snprintf(expected, sizeof expected, "%.*f", c.decimals, c.value);
        EXPECT_EQ(FormatFixed(c.value, c.decimals), expected) << c.value;
    }
}

TEST(NumberText, ParsesWholeTextOnly) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},  {" 1.5 ", true, 1.5}, {"+2", true, 2.0},  {"-0.25", true, -0.25},
        {"1e3", true, 1000}, {"1.5x", false, 0},   {"", false, 0},     {"  ", false, 0},
        {"+", false, 0},     {"+-1", false, 0},    {"1,5", false, 0},  {"x", false, 0},
    };
    for (const Case& c : cases) {
        double value = -99.0;
        EXPECT_EQ(ParseDouble(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : -99.0) << c.text;
    }
}

TEST(NumberText, ParsesIntegers) {
    std::int64_t v = 0;
    EXPECT_TRUE(ParseInt64(" -42 ", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(ParseInt64("+7", v));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(ParseInt64("1.0", v));
    EXPECT_FALSE(ParseInt64("99999999999999999999", v));
    EXPECT_EQ(FormatInt(-9223372036854775807LL - 1), "-9223372036854775808");
}
