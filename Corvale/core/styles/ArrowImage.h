#pragma once
// The direction arrows drawn along a theme's polylines: an arrow head of a
// type, size and colour, kept as sixteen 32 x 32 icons, one every 22.5
// degrees. The tip of the head sits at the icon's centre pixel (16, 16).
// Icons are transparent QImages (ARGB32, premultiplied).

#include <QImage>

#include <array>
#include <cstdint>

class CArrowImage {
public:
    static constexpr int kIconCount = 16;
    static constexpr int kIconSize = 32;

    // Arrow types: 0 a triangle outline, 1 a filled triangle; other types
    // draw nothing. Sizes: 0 small, 1 medium, 2 large.
    enum { AT_Outline = 0, AT_Filled = 1 };
    enum { AS_Small = 0, AS_Medium = 1, AS_Large = 2 };

    CArrowImage() = default;
    virtual ~CArrowImage() = default;
    CArrowImage(const CArrowImage&) = default;
    CArrowImage& operator=(const CArrowImage&) = default;

    // Draws all sixteen icons again for the current type, size and colour.
    void CreateIcons();
    void DestroyIcons();

    // The icon of a direction in radians, counter-clockwise from the positive
    // x axis: the nearest of the sixteen. The icons are made on first use. A
    // null image when the angle is no number (or too large to be a direction).
    QImage GetIcon(double angle);

    // Each stores the value and, only when it changed, draws the icons again.
    void SetArrowType(int type);
    void SetArrowSize(int size);
    void SetArrowColor(std::uint32_t colour);

    int GetArrowType() const { return m_ArrowType; }
    int GetArrowSize() const { return m_ArrowSize; }
    std::uint32_t GetArrowColor() const { return m_ArrowColor; }

    // 0..15 for an angle; -1 when it is not a finite number.
    static int IconIndexOfAngle(double angle);

private:
    int m_ArrowType = AT_Outline;
    int m_ArrowSize = AS_Small;
    std::array<QImage, kIconCount> m_Icons;
    // A COLORREF.
    std::uint32_t m_ArrowColor = 0;
};
