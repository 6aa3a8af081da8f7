#include "core/styles/ArrowImage.h"

#include "core/ColorRef.h"

#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The two back corners of the head, relative to the tip, in a frame whose x
// axis points along the arrow and whose y axis points up; by size.
struct Corners {
    double x1, y1, x2, y2;
};
const Corners kCorners[3] = {
    {-5, 2, -5, -2},
    {-10, 4, -10, -4},
    {-15, 6, -15, -6},
};

// A corner turned by t, in pixels of the icon (rows grow downwards).
QPoint Turned(double x, double y, double t) {
    const double xr = x * std::cos(t) - y * std::sin(t);
    const double yr = x * std::sin(t) + y * std::cos(t);
    const int centre = CArrowImage::kIconSize / 2;
    return QPoint(static_cast<int>(std::floor(xr + 0.5)) + centre, centre - static_cast<int>(std::floor(yr + 0.5)));
}

// A one-pixel line from a to b, both ends included; pixels outside the icon
// are left out (the large head's corners may lie just beyond its edge).
void DrawPixelLine(QImage& image, QPoint a, QPoint b, QRgb colour) {
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int error = dx + dy;
    int x = a.x();
    int y = a.y();
    for (;;) {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
        if (x == b.x() && y == b.y())
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

} // namespace

int CArrowImage::IconIndexOfAngle(double angle) {
    // Reduce before converting, so that no angle makes a number too large
    // for an int; an angle too large to scale is no direction either.
    double k = std::floor(angle * kIconCount / (2.0 * kPi) + 0.5);
    if (!std::isfinite(k))
        return -1;
    k = std::fmod(k, static_cast<double>(kIconCount));
    if (k < 0)
        k += kIconCount;
    const int index = static_cast<int>(k);
    return index >= 0 && index < kIconCount ? index : 0;
}

void CArrowImage::DestroyIcons() {
    for (QImage& icon : m_Icons)
        icon = QImage();
}

void CArrowImage::CreateIcons() {
    DestroyIcons();
    const bool drawn = (m_ArrowType == AT_Outline || m_ArrowType == AT_Filled) && m_ArrowSize >= AS_Small &&
                       m_ArrowSize <= AS_Large;
    const QColor colour = ColorFromColorRef(m_ArrowColor);
    for (int k = 0; k < kIconCount; ++k) {
        QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        // A size outside the table draws nothing, as an unknown type does,
        // rather than a head of made-up proportions.
        if (drawn) {
            const double t = k * kPi / 8.0;
            const Corners& c = kCorners[m_ArrowSize];
            const QPoint tip(kIconSize / 2, kIconSize / 2);
            const QPoint c1 = Turned(c.x1, c.y1, t);
            const QPoint c2 = Turned(c.x2, c.y2, t);
            if (m_ArrowType == AT_Filled) {
                QPainter painter(&icon);
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                const QPoint head[] = {c1, tip, c2};
                painter.drawPolygon(head, 3);
            }
            // The outline of both types, every pixel of it, the tip included.
            const QRgb rgb = RgbFromColorRef(m_ArrowColor);
            DrawPixelLine(icon, c1, tip, rgb);
            DrawPixelLine(icon, tip, c2, rgb);
            DrawPixelLine(icon, c2, c1, rgb);
        }
        m_Icons[static_cast<std::size_t>(k)] = icon;
    }
}

QImage CArrowImage::GetIcon(double angle) {
    const int index = IconIndexOfAngle(angle);
    if (index < 0)
        return QImage();
    if (m_Icons[0].isNull())
        CreateIcons();
    return m_Icons[static_cast<std::size_t>(index)];
}

void CArrowImage::SetArrowType(int type) {
    if (type == m_ArrowType)
        return;
    m_ArrowType = type;
    CreateIcons();
}

void CArrowImage::SetArrowSize(int size) {
    if (size == m_ArrowSize)
        return;
    m_ArrowSize = size;
    CreateIcons();
}

void CArrowImage::SetArrowColor(std::uint32_t colour) {
    if (colour == m_ArrowColor)
        return;
    m_ArrowColor = colour;
    CreateIcons();
}
