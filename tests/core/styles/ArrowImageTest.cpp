// Direction arrows: the icon of each direction, and when the icons are made.

#include "core/styles/ArrowImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::uint32_t kRed = 0x0000FF;

// The pixel at a distance along direction t from the tip (16, 16).
QPoint Along(double t, double distance) {
    return QPoint(16 + static_cast<int>(std::lround(distance * std::cos(t))),
                  16 - static_cast<int>(std::lround(distance * std::sin(t))));
}

bool AllTransparent(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

} // namespace

TEST(ArrowImage, AngleSelectsTheNearestOfSixteen) {
    struct Case {
        double angle;
        int index;
    };
    const Case cases[] = {
        {0.0, 0},
        {-kPi / 16 + 1e-9, 0},
        {-kPi / 16 - 1e-9, 15},
        {15 * 2 * kPi / 16, 15},
        {2 * kPi, 0},
        {kPi, 8},
        {-kPi / 2, 12},
        {kPi / 2, 4},
        {-20 * kPi, 0},
        {std::numeric_limits<double>::quiet_NaN(), -1},
        {std::numeric_limits<double>::infinity(), -1},
        {1e308, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CArrowImage::IconIndexOfAngle(c.angle), c.index) << c.angle;
    EXPECT_GE(CArrowImage::IconIndexOfAngle(-1e300), 0);
    EXPECT_LT(CArrowImage::IconIndexOfAngle(-1e300), 16);

    CArrowImage arrows;
    EXPECT_TRUE(arrows.GetIcon(std::numeric_limits<double>::quiet_NaN()).isNull());
}

// Every direction, both types: the tip at the centre, the head behind it and
// nothing ahead of it.
TEST(ArrowImage, OneIconPerDirection) {
    for (int type : {CArrowImage::AT_Outline, CArrowImage::AT_Filled}) {
        CArrowImage arrows;
        arrows.SetArrowColor(kRed);
        arrows.SetArrowSize(CArrowImage::AS_Medium);
        arrows.SetArrowType(type);
        for (int k = 0; k < 16; ++k) {
            const double t = k * kPi / 8;
            const QImage icon = arrows.GetIcon(t);
            ASSERT_EQ(icon.size(), QSize(32, 32));
            const QRgb red = qRgb(255, 0, 0);
            EXPECT_EQ(icon.pixel(16, 16), red) << "tip, direction " << k;
            // The back corners lie 10 pixels behind the tip, 4 to each side.
            for (double side : {4.0, -4.0}) {
                const QPoint corner = Along(t + std::atan2(side, -10.0), std::hypot(10.0, side));
                EXPECT_EQ(icon.pixel(corner), red) << "corner, direction " << k;
            }
            const QPoint inside = Along(t, -6);
            EXPECT_EQ(qAlpha(icon.pixel(inside)), type == CArrowImage::AT_Filled ? 255 : 0)
                << "inside, direction " << k;
            EXPECT_EQ(qAlpha(icon.pixel(Along(t, 8))), 0) << "ahead, direction " << k;
        }
    }
}

TEST(ArrowImage, SizesAndUnknownValues) {
    struct Case {
        int type;
        int size;
        double reach; // how far behind the tip the head reaches
    };
    const Case cases[] = {{1, 0, 5}, {1, 1, 10}, {1, 2, 15}, {7, 1, 0}, {-1, 1, 0}, {1, 3, 0}, {1, -1, 0}};
    for (const Case& c : cases) {
        CArrowImage arrows;
        arrows.SetArrowColor(kRed);
        arrows.SetArrowType(c.type);
        arrows.SetArrowSize(c.size);
        const QImage icon = arrows.GetIcon(0.0);
        ASSERT_FALSE(icon.isNull()) << c.type << "/" << c.size;
        if (c.reach == 0) {
            EXPECT_TRUE(AllTransparent(icon)) << c.type << "/" << c.size;
            continue;
        }
        EXPECT_EQ(qAlpha(icon.pixel(16 - static_cast<int>(c.reach), 16)), 255) << c.size;
        EXPECT_EQ(qAlpha(icon.pixel(16 - static_cast<int>(c.reach) - 1, 16)), 0) << c.size;
    }
}

TEST(ArrowImage, IconsAreRebuiltOnlyOnChange) {
    CArrowImage arrows;
    const QImage first = arrows.GetIcon(0.0);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.pixel(16, 16), qRgb(0, 0, 0));

    arrows.SetArrowColor(0);
    arrows.SetArrowType(CArrowImage::AT_Outline);
    arrows.SetArrowSize(CArrowImage::AS_Small);
    EXPECT_EQ(arrows.GetIcon(0.0).cacheKey(), first.cacheKey());

    arrows.SetArrowColor(kRed);
    const QImage recoloured = arrows.GetIcon(0.0);
    EXPECT_NE(recoloured.cacheKey(), first.cacheKey());
    EXPECT_EQ(recoloured.pixel(16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(arrows.GetArrowColor(), kRed);

    arrows.DestroyIcons();
    EXPECT_EQ(arrows.GetIcon(0.0).pixel(16, 16), qRgb(255, 0, 0));
}
