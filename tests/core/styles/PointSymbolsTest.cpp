// The point-symbol catalogue: names, coloured icons and vector drawings.

#include "core/styles/PointSymbols.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kTeal = 0x808000;

QRgb Rgb(std::uint32_t colorRef) {
    return qRgb(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                static_cast<int>((colorRef >> 16) & 0xFF));
}

struct Seed {
    int x;
    int y;
};

} // namespace

TEST(PointSymbols, Names) {
    struct Case {
        int value;
        const char* name;
    };
    const Case cases[] = {{0, "Dot 1"},      {1, "Dot 2"},     {6, "Warning"},  {7, "Flash"},
                          {14, "Triangles"}, {16, "Arrow"},    {19, "Snowflake"}, {21, "Blank"},
                          {22, "Symbol #22"}, {-1, "Symbol #-1"}};
    for (const Case& c : cases)
        EXPECT_EQ(GetPointSymbolName(c.value), c.name) << c.value;
}

// Each coloured icon takes the colour exactly in its marked area: the pixels
// that differ between two colours are the pixels in those colours, and they
// include every seed.
TEST(PointSymbols, RecolouredIconsTakeTheColourAtTheirSeeds) {
    struct Case {
        int iconIndex;
        std::vector<Seed> coloured;
    };
    const Case cases[] = {
        {0, {{16, 16}}},  {2, {{16, 16}}},  {3, {{16, 16}}},  {4, {{16, 16}}},           {5, {{16, 16}}},
        {6, {{15, 15}}},  {7, {{14, 14}}},  {8, {{14, 14}, {15, 21}}},                 {9, {{24, 8}}},
        {10, {{16, 11}}}, {11, {{15, 15}}}, {12, {{15, 15}}}, {13, {{15, 10}}},          {14, {{17, 10}}},
        {15, {{14, 16}, {18, 16}}},
    };
    for (const Case& c : cases) {
        SymbolIconList icons;
        const QImage red = CreateSymbolIcon(icons, c.iconIndex, kRed);
        const QImage teal = CreateSymbolIcon(icons, c.iconIndex, kTeal);
        ASSERT_EQ(red.size(), QSize(32, 32)) << c.iconIndex;
        ASSERT_EQ(icons.size(), 2u) << c.iconIndex;
        EXPECT_TRUE(icons[0].owned);
        for (const Seed& s : c.coloured) {
            EXPECT_EQ(red.pixel(s.x, s.y), Rgb(kRed)) << c.iconIndex << " at " << s.x << "," << s.y;
            EXPECT_EQ(teal.pixel(s.x, s.y), Rgb(kTeal)) << c.iconIndex << " at " << s.x << "," << s.y;
        }
        int changed = 0;
        int opaqueUnchanged = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (red.pixel(x, y) != teal.pixel(x, y)) {
                    ++changed;
                    EXPECT_EQ(red.pixel(x, y), Rgb(kRed)) << c.iconIndex << " at " << x << "," << y;
                    EXPECT_EQ(teal.pixel(x, y), Rgb(kTeal)) << c.iconIndex << " at " << x << "," << y;
                } else if (qAlpha(red.pixel(x, y)) == 255) {
                    ++opaqueUnchanged;
                }
            }
        }
        // A real area, and (but for "Square 3") an outline that keeps its colour.
        EXPECT_GT(changed, 20) << c.iconIndex;
        if (c.iconIndex != 5) {
            EXPECT_GT(opaqueUnchanged, 10) << c.iconIndex;
        }
    }
}

TEST(PointSymbols, DotOneIsGenerated) {
    SymbolIconList icons;
    const QImage dot = CreateSymbolIcon(icons, 1, kRed);
    EXPECT_EQ(dot.pixel(16, 16), Rgb(kRed));
    EXPECT_EQ(dot.pixel(3, 16), Rgb(kRed));
    EXPECT_EQ(dot.pixel(28, 15), Rgb(kRed));
    EXPECT_EQ(qAlpha(dot.pixel(2, 16)), 0);
    EXPECT_EQ(qAlpha(dot.pixel(29, 16)), 0);
    EXPECT_EQ(qAlpha(dot.pixel(4, 4)), 0);
    EXPECT_EQ(icons.size(), 1u);
}

TEST(PointSymbols, UncolouredIconsComeAsTheyAre) {
    SymbolIconList icons;
    for (int index = kFirstUncolouredSymbolIcon; index < kSymbolIconCount; ++index) {
        const QImage a = CreateSymbolIcon(icons, index, kRed);
        const QImage b = CreateSymbolIcon(icons, index, kTeal);
        EXPECT_EQ(a, b) << index;
        EXPECT_EQ(a.size(), QSize(32, 32)) << index;
        bool anyOpaque = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                anyOpaque = anyOpaque || qAlpha(a.pixel(x, y)) != 0;
        // Every symbol shows something but "Blank".
        EXPECT_EQ(anyOpaque, index != kBlankPointSymbol + 1) << index;
    }
    EXPECT_TRUE(icons.empty());

    // "Arrow" has an arrow of its own, its tip at the point.
    const QImage arrow = CreateSymbolIcon(icons, 17, kRed);
    const QImage flash = CreateSymbolIcon(icons, 8, 0x000000);
    EXPECT_NE(arrow, flash);
    EXPECT_EQ(arrow.pixel(16, 16), qRgb(0, 0, 0));
    EXPECT_EQ(arrow.pixel(28, 28), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(arrow.pixel(8, 8)), 0);
}

TEST(PointSymbols, IconListKeepsWhatItMade) {
    SymbolIconList icons;
    EXPECT_TRUE(CreateSymbolIcon(icons, -1, kRed).isNull());
    EXPECT_TRUE(CreateSymbolIcon(icons, kSymbolIconCount, kRed).isNull());
    EXPECT_TRUE(icons.empty());

    const QImage first = CreateSymbolIcon(icons, 2, kRed);
    const QImage second = CreateSymbolIcon(icons, 3, kRed);
    const QImage uncoloured = CreateSymbolIcon(icons, 18, kRed);
    ASSERT_EQ(icons.size(), 2u);

    EXPECT_FALSE(ReleaseSymbolIcon(icons, uncoloured));
    EXPECT_FALSE(ReleaseSymbolIcon(icons, QImage()));
    EXPECT_EQ(icons.size(), 2u);
    EXPECT_TRUE(ReleaseSymbolIcon(icons, first));
    EXPECT_EQ(icons.size(), 1u);
    EXPECT_FALSE(ReleaseSymbolIcon(icons, first));
    EXPECT_EQ(icons[0].icon, second);

    DestroyIconList(icons);
    EXPECT_TRUE(icons.empty());
    // The caller's own copy outlives the list.
    EXPECT_EQ(second.pixel(16, 16), Rgb(kRed));
}

TEST(PointSymbols, VectorDrawings) {
    const SymbolUnit unit{4.0, 4.0};
    for (int value = -1; value <= 22; ++value) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        const QPen pen(Qt::green, 3);
        painter.setPen(pen);
        const bool drawn = DrawPointSymbol(unit, 50, painter, 50, value, kRed);
        EXPECT_EQ(painter.pen(), pen) << value;
        painter.end();
        int marked = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                marked += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        EXPECT_EQ(drawn, value >= 0 && value <= kBlankPointSymbol) << value;
        EXPECT_EQ(marked > 0, value >= 0 && value < kBlankPointSymbol) << value;
        if (value == 1) {
            EXPECT_EQ(image.pixel(50, 50), Rgb(kRed));
        }
        if (value == 2) {
            EXPECT_EQ(image.pixel(50, 50), Rgb(kRed));
            EXPECT_EQ(image.pixel(50 + 10, 50), qRgb(0, 0, 0)); // the black frame, 2.5 units out
        }
    }
}
