// The style classes: values, equality and assignment, the pens, brushes and
// icons they set, checked on the pixels they draw.

#include "core/styles/BrushPatterns.h"
#include "core/styles/StyleInfo.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;

QImage WhiteImage(int w = 32, int h = 32) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QRgb Rgb(std::uint32_t colorRef) {
    return qRgb(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                static_cast<int>((colorRef >> 16) & 0xFF));
}

// Fills the whole image through the style, as the renderer fills a polygon.
void FillWith(QImage& image, CStyleInfo& style) {
    QPainter painter(&image);
    style.BeginDraw(painter, false);
    painter.drawRect(QRect(-4, -4, image.width() + 8, image.height() + 8));
    style.EndDraw(painter);
}

} // namespace

TEST(StyleInfo, EqualityComparesKindAndEveryValue) {
    const CStyleInfoPolygon polygon(3, kRed, 1, 2, kBlue);
    struct Case {
        const char* what;
        CStyleInfoPolygon other;
        bool equal;
    };
    const Case cases[] = {
        {"same values", CStyleInfoPolygon(3, kRed, 1, 2, kBlue), true},
        {"fill pattern", CStyleInfoPolygon(4, kRed, 1, 2, kBlue), false},
        {"fill colour", CStyleInfoPolygon(3, kGreen, 1, 2, kBlue), false},
        {"pen style", CStyleInfoPolygon(3, kRed, 2, 2, kBlue), false},
        {"pen width", CStyleInfoPolygon(3, kRed, 1, 3, kBlue), false},
        {"pen colour", CStyleInfoPolygon(3, kRed, 1, 2, kGreen), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(polygon == c.other, c.equal) << c.what;
        EXPECT_EQ(polygon != c.other, !c.equal) << c.what;
    }

    EXPECT_EQ(CStyleInfoPolyline(kRed, 1, 2), CStyleInfoPolyline(kRed, 1, 2));
    EXPECT_NE(CStyleInfoPolyline(kRed, 1, 2), CStyleInfoPolyline(kRed, 1, 3));
    EXPECT_NE(CStyleInfoPolyline(kRed, 1, 2), CStyleInfoPolyline(kRed, 2, 2));
    EXPECT_EQ(CStyleInfoPoint(kRed, 4), CStyleInfoPoint(kRed, 4));
    EXPECT_NE(CStyleInfoPoint(kRed, 4), CStyleInfoPoint(kRed, 5));
    EXPECT_EQ(CStyleInfo(kRed), CStyleInfo(kRed));
    EXPECT_NE(CStyleInfo(kRed), CStyleInfo(kBlue));

    // The same colour in styles of different kinds is no match, either way round.
    const CStyleInfo base(kRed);
    const CStyleInfoPoint point(kRed, 0);
    const CStyleInfoPolyline line(kRed, 0, 0);
    EXPECT_NE(base, point);
    EXPECT_NE(point, base);
    EXPECT_NE(point, line);
    EXPECT_NE(line, CStyleInfoPolygon(0, kRed, 0, 0, kRed));
    EXPECT_EQ(point.GetStyleType(), SIT_Point);
    EXPECT_EQ(line.GetStyleType(), SIT_Polyline);
    EXPECT_EQ(polygon.GetStyleType(), SIT_Polygon);
    EXPECT_EQ(base.GetStyleType(), SIT_Base);
}

// A style keeps its brush between draws; new values must not be drawn with
// the brush of the old ones.
TEST(StyleInfo, AssignmentDrawsTheNewValues) {
    CStyleInfoPolygon style(0, kRed, PS_Null, 0, kRed);
    QImage image = WhiteImage();
    FillWith(image, style);
    ASSERT_EQ(image.pixel(16, 16), Rgb(kRed));

    style = CStyleInfoPolygon(0, kBlue, PS_Null, 0, kBlue);
    FillWith(image, style);
    EXPECT_EQ(image.pixel(16, 16), Rgb(kBlue));
    EXPECT_EQ(style.m_Color, kBlue);

    // The colour alone, through the base class, is drawn too.
    CStyleInfo& base = style;
    base = CStyleInfo(kGreen);
    FillWith(image, style);
    EXPECT_EQ(image.pixel(16, 16), Rgb(kGreen));
    EXPECT_EQ(style.m_FillPattern, 0);

    CStyleInfoPolyline line(kRed, 0, 1);
    line = CStyleInfoPolyline(kBlue, 2, 4);
    EXPECT_EQ(line, CStyleInfoPolyline(kBlue, 2, 4));
    CStyleInfoPoint point(kRed, 1);
    point = CStyleInfoPoint(kBlue, 3);
    EXPECT_EQ(point, CStyleInfoPoint(kBlue, 3));
}

TEST(StyleInfo, PolylinePens) {
    struct Case {
        int penStyle;
        int width;
        bool thick;
        int penWidth;
        Qt::PenStyle qtStyle;
    };
    const Case cases[] = {
        {PS_Solid, 3, false, 3, Qt::SolidLine},
        {PS_Solid, 3, true, 18, Qt::SolidLine},
        {PS_Solid, 0, true, 0, Qt::SolidLine},          // the thinnest line stays thin on paper
        {PS_Dash, 0, false, 0, Qt::DashLine},
        {PS_Dash, 4, false, 4, Qt::DashLine},           // wide lines keep their pattern
        {PS_DashDotDot, 4, true, 24, Qt::DashDotDotLine},
        {PS_Dot, 2, false, 2, Qt::DotLine},
        {PS_DashDot, 2, false, 2, Qt::DashDotLine},
        {PS_Null, 2, false, 2, Qt::NoPen},
        {PS_Alternate, 1, false, 1, Qt::CustomDashLine},
        {PS_Alternate, 0, true, 6, Qt::CustomDashLine},
        {42, 2, false, 2, Qt::SolidLine},               // a style no pen has is drawn solid
        {PS_Dot, -3, false, 0, Qt::DotLine},            // no negative widths
        {PS_Solid, INT_MAX, true, 32767, Qt::SolidLine}, // no overflow when printing
    };
    for (const Case& c : cases) {
        CStyleInfoPolyline style(kRed, c.penStyle, c.width);
        QImage image = WhiteImage();
        QPainter painter(&image);
        const QPen before(Qt::green, 7);
        painter.setPen(before);
        style.BeginDraw(painter, c.thick);
        EXPECT_EQ(painter.pen().width(), c.penWidth) << c.penStyle << " " << c.width << " " << c.thick;
        EXPECT_EQ(painter.pen().style(), c.qtStyle) << c.penStyle << " " << c.width;
        EXPECT_EQ(painter.pen().color(), QColor(Rgb(kRed))) << c.penStyle;
        EXPECT_EQ(style.m_Thick, c.thick);
        style.EndDraw(painter);
        EXPECT_EQ(painter.pen(), before) << c.penStyle;
    }
}

TEST(StyleInfo, PolylinePenFollowsTheThickFlag) {
    CStyleInfoPolyline style(kRed, PS_Solid, 2);
    QImage image = WhiteImage();
    QPainter painter(&image);
    style.BeginDraw(painter, false);
    EXPECT_EQ(painter.pen().width(), 2);
    style.BeginDraw(painter, true);
    EXPECT_EQ(painter.pen().width(), 12);
    style.BeginDraw(painter, false);
    EXPECT_EQ(painter.pen().width(), 2);
    // An EndDraw without a BeginDraw before it leaves the painter alone.
    CStyleInfoPolyline other(kBlue, PS_Solid, 5);
    other.EndDraw(painter);
    EXPECT_EQ(painter.pen().width(), 2);
}

TEST(StyleInfo, PolylineDrawsItsWidth) {
    CStyleInfoPolyline style(kRed, PS_Solid, 3);
    QImage image = WhiteImage();
    {
        QPainter painter(&image);
        style.BeginDraw(painter, false);
        painter.drawLine(QPointF(2, 16), QPointF(30, 16));
        style.EndDraw(painter);
    }
    EXPECT_EQ(image.pixel(16, 15), Rgb(kRed));
    EXPECT_EQ(image.pixel(16, 16), Rgb(kRed));
    EXPECT_EQ(image.pixel(16, 13), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(16, 19), qRgb(255, 255, 255));
}

// Every fill pattern, pixel by pixel: clear bits in the fill colour, set bits
// letting the white below show; the hollow pattern and numbers without a
// pattern fill nothing.
TEST(StyleInfo, PolygonFillPatterns) {
    for (int pattern = -1; pattern <= 15; ++pattern) {
        CStyleInfoPolygon style(pattern, kBlue, PS_Null, 0, kRed);
        QImage image = WhiteImage();
        FillWith(image, style);
        const unsigned char* rows = GetFillPatternRows(pattern);
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool clearBit = rows != nullptr && (rows[y % 8] & (0x80 >> (x % 8))) == 0;
                const QRgb expected = clearBit ? Rgb(kBlue) : qRgb(255, 255, 255);
                ASSERT_EQ(image.pixel(x, y), expected) << "pattern " << pattern << " at " << x << "," << y;
                coloured += clearBit ? 1 : 0;
            }
        }
        if (pattern == 0) {
            EXPECT_EQ(coloured, 32 * 32);
        }
        if (pattern == 5) {
            EXPECT_EQ(coloured, 32 * 32 / 2);
        }
        if (pattern == kHollowFillPattern || pattern < 0 || pattern >= kFillPatternCount) {
            EXPECT_EQ(coloured, 0) << pattern;
        }
    }
}

TEST(StyleInfo, PolygonOutlineAndRestoredPainter) {
    CStyleInfoPolygon style(6, kBlue, PS_Solid, 2, kRed);
    QImage image = WhiteImage();
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    const QBrush brush(Qt::yellow);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setBackgroundMode(Qt::OpaqueMode);
    style.BeginDraw(painter, false);
    EXPECT_EQ(painter.pen().width(), 2);
    EXPECT_EQ(painter.pen().color(), QColor(Rgb(kRed)));
    EXPECT_EQ(painter.backgroundMode(), Qt::TransparentMode);
    painter.drawRect(QRect(8, 8, 16, 16));
    style.EndDraw(painter);
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);
    painter.end();
    // The outline is drawn in the pen colour.
    EXPECT_EQ(image.pixel(8, 16), Rgb(kRed));
}

TEST(StyleInfo, PointIconInTheStyleColour) {
    CStyleInfoPoint style(kGreen, 1); // "Dot 2": its disc takes the colour
    QImage image = WhiteImage(64, 64);
    {
        QPainter painter(&image);
        EXPECT_TRUE(style.GetIcon().isNull());
        style.BeginDraw(painter, false);
        const QImage icon = style.GetIcon();
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(32, 32));
        painter.drawImage(QPoint(16, 16), icon);
        style.EndDraw(painter);
        EXPECT_TRUE(style.GetIcon().isNull());
    }
    EXPECT_EQ(image.pixel(32, 32), Rgb(kGreen));
    EXPECT_EQ(image.pixel(16 + 7, 16 + 16), qRgb(0, 0, 0)); // the black rim
    EXPECT_EQ(image.pixel(18, 18), qRgb(255, 255, 255));    // transparent corner

    struct Case {
        int symbol;
        bool hasIcon;
    };
    const Case cases[] = {{-2, false}, {-1, true}, {0, true}, {20, true}, {21, true}, {22, false}, {1000, false}};
    for (const Case& c : cases) {
        CStyleInfoPoint s(kRed, c.symbol);
        QPainter painter(&image);
        s.BeginDraw(painter, false);
        EXPECT_EQ(!s.GetIcon().isNull(), c.hasIcon) << c.symbol;
    }
}

// The cache of attribute-driven styles is an ordered map: its key must order
// strictly and weakly, or the map may lose or duplicate styles.
TEST(StyleCacheKey, IsAStrictWeakOrdering) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> bit(0, 1);
    std::uniform_int_distribution<int> value(0, 2);
    std::vector<StyleCacheKey> keys(70);
    for (StyleCacheKey& key : keys) {
        key.m_StyleType = bit(random) != 0 ? SIT_Polygon : SIT_Polyline;
        for (int c = 0; c < 4; ++c) {
            key.m_Present[c] = bit(random) != 0;
            key.m_Values[c] = value(random);
        }
    }
    auto equivalent = [](const StyleCacheKey& a, const StyleCacheKey& b) { return !(a < b) && !(b < a); };
    for (const auto& a : keys) {
        ASSERT_FALSE(a < a);
        for (const auto& b : keys) {
            if (a < b) {
                ASSERT_FALSE(b < a);
            }
            for (const auto& c : keys) {
                if (a < b && b < c) {
                    ASSERT_TRUE(a < c);
                }
                if (equivalent(a, b) && equivalent(b, c)) {
                    ASSERT_TRUE(equivalent(a, c));
                }
            }
        }
    }

    // Keys that agree where a fill colour is present on one side only are not
    // the same style.
    StyleCacheKey fillOnly;
    fillOnly.Set(StyleCacheKey::Fill, 5);
    StyleCacheKey both = fillOnly;
    both.Set(StyleCacheKey::PenColor, 9);
    EXPECT_TRUE(fillOnly < both);
    EXPECT_FALSE(fillOnly == both);
    // What is stored for an absent component does not count.
    StyleCacheKey stale = fillOnly;
    stale.m_Values[StyleCacheKey::PenWidth] = 99;
    EXPECT_TRUE(stale == fillOnly);
}
