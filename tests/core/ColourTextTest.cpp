#include "core/ColourText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// A fully saturated colour of the given hue (degrees, 0 to 360).
std::uint32_t Hue(double degrees) {
    const double sector = degrees / 60.0;
    const int i = static_cast<int>(sector) % 6;
    const auto f = static_cast<unsigned>(std::lround((sector - std::floor(sector)) * 255.0));
    switch (i) {
    case 0: return Rgb(255, f, 0);
    case 1: return Rgb(255 - f, 255, 0);
    case 2: return Rgb(0, 255, f);
    case 3: return Rgb(0, 255 - f, 255);
    case 4: return Rgb(f, 0, 255);
    default: return Rgb(255, 0, 255 - f);
    }
}

} // namespace

TEST(ColourText, FormatsRedGreenBlueInUpperCase) {
    EXPECT_EQ(FormatColourHash(Rgb(255, 128, 0)), "#FF8000");
    EXPECT_EQ(FormatColourHash(Rgb(0x0A, 0xBC, 0xDE)), "#0ABCDE");
    EXPECT_EQ(FormatColourHash(0xFF000000u | Rgb(1, 2, 3)), "#010203");  // the top byte plays no part
}

TEST(ColourText, ParsesExactlySixHexDigits) {
    std::uint32_t colour = 0;
    EXPECT_TRUE(ParseColourHash("#ff8000", colour));
    EXPECT_EQ(colour, Rgb(255, 128, 0));
    EXPECT_TRUE(ParseColourHash("#0aBcDe", colour));
    EXPECT_EQ(colour, Rgb(0x0A, 0xBC, 0xDE));
    for (std::uint32_t c : {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(1, 128, 254)}) {
        std::uint32_t back = 0;
        ASSERT_TRUE(ParseColourHash(FormatColourHash(c).c_str(), back));
        EXPECT_EQ(back, c);
    }

    const std::uint32_t before = 0x00123456;
    for (const char* text : {"#FFF", "#FF80001", "FF8000", "", "#", "#12345G", "#0x1234", "# 12345", "#+12345",
                             "#-12345", "#FF80 0"}) {
        colour = before;
        EXPECT_FALSE(ParseColourHash(text, colour)) << text;
        EXPECT_EQ(colour, before) << text;
    }
    EXPECT_FALSE(ParseColourHash(nullptr, colour));
}

TEST(ColourText, ConvertsToHsvInDegrees) {
    struct Case {
        float r, g, b;
        float hue, saturation, value, chroma;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 1, 1, 1},       {0, 1, 0, 120, 1, 1, 1},     {0, 0, 1, 240, 1, 1, 1},
        {1, 0, 1, 300, 1, 1, 1},     {1, 0, 0.5f, 330, 1, 1, 1},  {0.5f, 0.5f, 0.5f, 0, 0, 0.5f, 0},
        {0, 0, 0, -1, 0, 0, 0},      {1, 0.5f, 0, 30, 1, 1, 1},   {0.5f, 0.25f, 0.25f, 0, 0.5f, 0.5f, 0.25f},
    };
    for (const Case& c : cases) {
        float h = 99, s = 99, v = 99;
        const float chroma = RgbToHsv(h, s, c.r, c.g, c.b, v);
        EXPECT_NEAR(h, c.hue, 1e-4) << c.r << ' ' << c.g << ' ' << c.b;
        EXPECT_NEAR(s, c.saturation, 1e-6);
        EXPECT_NEAR(v, c.value, 1e-6);
        EXPECT_NEAR(chroma, c.chroma, 1e-6);
    }
}

TEST(ColourText, SimilarColoursByHueOrByGreyValue) {
    const std::uint32_t grey50 = Rgb(128, 128, 128);
    const std::uint32_t grey55 = Rgb(140, 140, 140);
    for (float tolerance : {0.0f, 10.0f, 360.0f}) {
        EXPECT_TRUE(IsColourSimilar(grey50, grey55, 0.1f, tolerance));
        EXPECT_FALSE(IsColourSimilar(grey50, Rgb(160, 160, 160), 0.1f, tolerance));
    }
    const std::uint32_t red = Rgb(255, 0, 0);
    const std::uint32_t green = Rgb(0, 255, 0);
    EXPECT_FALSE(IsColourSimilar(red, green, 0.1f, 30.0f));
    EXPECT_TRUE(IsColourSimilar(red, Hue(20), 0.1f, 30.0f));
    // The tolerance is cut to whole degrees: red and yellow, 60 degrees apart,
    // are not less than 60.9 apart.
    const std::uint32_t yellow = Rgb(255, 255, 0);
    EXPECT_FALSE(IsColourSimilar(red, yellow, 0.1f, 60.9f));
    EXPECT_TRUE(IsColourSimilar(red, yellow, 0.1f, 61.0f));
    // Saturation must differ by less than 0.2 as well.
    EXPECT_FALSE(IsColourSimilar(red, Rgb(255, 102, 102), 0.1f, 30.0f));
    // Chroma of either colour at the threshold compares by hue.
    EXPECT_FALSE(IsColourSimilar(red, grey50, 0.1f, 30.0f));
}

TEST(ColourText, HueDifferenceWrapsRoundTheCircle) {
    EXPECT_TRUE(IsColourSimilar(Hue(359), Hue(1), 0.1f, 5.0f));
    EXPECT_TRUE(IsColourSimilar(Hue(1), Hue(359), 0.1f, 5.0f));
    EXPECT_TRUE(IsColourSimilar(Hue(350), Hue(10), 0.1f, 30.0f));
    EXPECT_FALSE(IsColourSimilar(Hue(350), Hue(40), 0.1f, 30.0f));
    EXPECT_FALSE(IsColourSimilar(Hue(0), Hue(180), 0.1f, 179.0f));
    // Tolerances that cannot be cut to an int are no undefined behaviour.
    EXPECT_TRUE(IsColourSimilar(Hue(0), Hue(180), 0.1f, 1e30f));
    EXPECT_FALSE(IsColourSimilar(Hue(0), Hue(0), 0.1f, std::nanf("")));
}
