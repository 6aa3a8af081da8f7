#include "view/MapDrawing.h"

#include "geometry/Geometry.h"
#include "view/ShapeParts.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Sums of pixels and offsets are worked out in 64 bits and brought back into
// the device range here.
std::int32_t ClampPixel(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The device rectangle grown by 3 pixels, right and bottom exclusive.
bool InGrownDeviceRect(const CMapViewport& viewport, std::int64_t x, std::int64_t y) {
    return std::int64_t(viewport.left) - 3 <= x && x < std::int64_t(viewport.right) + 3 &&
           std::int64_t(viewport.top) - 3 <= y && y < std::int64_t(viewport.bottom) + 3;
}

CDeviceRect DeviceRect(const CMapViewport& viewport) {
    return {viewport.left, viewport.top, viewport.right, viewport.bottom};
}

bool IsPointType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_PointZ;
}

CDevicePoint DevicePointAt(const CMapViewport& viewport, const CShapeRecord* record,
                           std::uint32_t i) {
    const CShapePoint p = CShapeRecord::GetPoint(record, i);
    return MapToDevice(viewport, p.x, p.y);
}

// Whether both ends of a segment lie beyond the same side of the device
// rectangle, where the segment cannot show.
bool BeyondOneSide(const CMapViewport& viewport, const CDevicePoint& a, const CDevicePoint& b) {
    return (a.x < viewport.left && b.x < viewport.left) ||
           (a.x > viewport.right && b.x > viewport.right) ||
           (a.y < viewport.top && b.y < viewport.top) ||
           (a.y > viewport.bottom && b.y > viewport.bottom);
}

// A record whose box falls on one pixel is drawn as a dot there; true when it
// was.
bool DrawAsDotWhenOnePixel(const CShapeRecord* record, const CMapViewport& viewport, QPainter& dc) {
    const CDevicePoint a =
        MapToDevice(viewport, CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record));
    const CDevicePoint b =
        MapToDevice(viewport, CShapeRecord::GetMaxX(record), CShapeRecord::GetMaxY(record));
    if (a != b)
        return false;
    dc.drawPoint(a.x, a.y);
    return true;
}

// The displacement of one segment of pixel vector (dx, dy): to be added as
// (ox, -oy). False for a segment of no length.
bool SegmentOffset(double dx, double dy, double d, double& ox, double& oy) {
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0))
        return false;
    ox = std::floor(d * dy / length + 0.5);
    oy = std::floor(d * dx / length + 0.5);
    return true;
}

std::int32_t OffsetPixel(std::int32_t pixel, double offset) {
    // offset is at most |distance| in size, so the sum fits a double exactly.
    return TruncToInt32(static_cast<double>(pixel) + offset);
}

// The side of a part for the compass modes, from its first and last points:
// 2 (the minus side) or 1.
std::int32_t CompassSign(std::int32_t mode, const CShapePoint& first, const CShapePoint& last) {
    bool plus = false;
    switch (mode) {
    case LO_East:
        plus = first.y > last.y;
        break;
    case LO_West:
        plus = first.y < last.y;
        break;
    case LO_North:
        plus = last.x > first.x;
        break;
    case LO_South:
        plus = last.x < first.x;
        break;
    default:
        plus = true;
        break;
    }
    return plus ? 1 : 2;
}

bool IsCompassMode(std::int32_t mode) {
    return mode >= LO_East && mode <= LO_South;
}

// The label rectangle of width w and height h around the anchor, by position
// code; halves truncate toward zero.
CDeviceRect PlaceLabel(std::int32_t position, const CDevicePoint& anchor, std::int64_t w,
                       std::int64_t h, std::int64_t dx, std::int64_t dy) {
    const std::int64_t ax = anchor.x;
    const std::int64_t ay = anchor.y;
    std::int64_t x0 = ax;
    std::int64_t y0 = ay;
    switch (position) {
    case LP_Center:
        x0 = ax - w / 2;
        y0 = ay - h / 2;
        break;
    case LP_TopLeft:
        x0 = ax - (w + dx);
        y0 = ay - (h + dy);
        break;
    case LP_Top:
        x0 = ax - w / 2;
        y0 = ay - (h + dy);
        break;
    case LP_TopRight:
        x0 = ax + dx;
        y0 = ay - (h + dy);
        break;
    case LP_Left:
        x0 = ax - (w + dx);
        y0 = ay - h / 2;
        break;
    case LP_Right:
        x0 = ax + dx;
        y0 = ay - h / 2;
        break;
    case LP_BottomLeft:
        x0 = ax - (w + dx);
        y0 = ay + dy;
        break;
    case LP_Bottom:
        x0 = ax - w / 2;
        y0 = ay + dy;
        break;
    case LP_BottomRight:
        x0 = ax + dx;
        y0 = ay + dy;
        break;
    default:
        break;
    }
    return {ClampPixel(x0), ClampPixel(y0), ClampPixel(x0 + w), ClampPixel(y0 + h)};
}

// A filled and outlined rectangle as the platform's drawing call makes it:
// the pixels from left to right - 1 and top to bottom - 1, outline included.
void DrawFrame(QPainter& dc, const CDeviceRect& r) {
    const std::int64_t w = std::int64_t(r.right) - r.left - 1;
    const std::int64_t h = std::int64_t(r.bottom) - r.top - 1;
    if (w < 0 || h < 0)
        return;
    dc.drawRect(QRect(r.left, r.top, ClampPixel(w), ClampPixel(h)));
}

// The lines of a label: split at line feeds, a carriage return before a line
// feed left out.
std::vector<QString> LabelLines(const std::string& text) {
    std::vector<QString> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t feed = text.find('\n', start);
        std::size_t stop = feed == std::string::npos ? text.size() : feed;
        if (feed != std::string::npos && stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(
            QString::fromUtf8(text.data() + start, static_cast<qsizetype>(stop - start)));
        if (feed == std::string::npos)
            break;
        start = feed + 1;
    }
    return lines;
}

std::int64_t WidestLine(const QFontMetrics& metrics, const std::vector<QString>& lines) {
    std::int64_t widest = 0;
    for (const QString& line : lines)
        widest = std::max<std::int64_t>(widest, metrics.horizontalAdvance(line));
    return widest;
}

std::int64_t LinesHeight(const CMapViewport& viewport, const QFontMetrics& metrics,
                         std::size_t lines) {
    const auto n = static_cast<std::int64_t>(lines);
    return n * metrics.height() + (n - 1) * viewport.lineSpacing;
}

// Steps shared by both label routines once the text is measured: placement,
// the tests against the device rectangle and the placed labels, the frame.
// Returns the top-left corner of the text, or false when nothing is to be
// drawn.
bool PlaceAndFrame(const CMapViewport& viewport, QPainter& dc, double x, double y,
                   std::int32_t position, std::int32_t dx, std::int32_t dy, std::int64_t placeWidth,
                   std::int64_t placeHeight, std::int64_t textWidth, std::int64_t textHeight,
                   bool boxed, const std::vector<CDeviceRect>* placed, CDeviceRect* out,
                   CDevicePoint& origin) {
    const CDeviceRect rect =
        PlaceLabel(position, MapToDevice(viewport, x, y), placeWidth, placeHeight, dx, dy);
    if (!RectsCollide(rect, DeviceRect(viewport)))
        return false;
    const CDeviceRect label = boxed ? CDeviceRect{ClampPixel(std::int64_t(rect.left) - 2), rect.top,
                                                  ClampPixel(rect.left + textWidth + 2),
                                                  ClampPixel(rect.top + textHeight + 2)}
                                    : rect;
    if (out)
        *out = label;
    if (placed) {
        for (const CDeviceRect& other : *placed) {
            if (RectsCollide(label, other))
                return false;
        }
    }
    if (boxed)
        DrawFrame(dc, label);
    origin = {rect.left, rect.top};
    return true;
}

void DrawTextLine(QPainter& dc, const QFontMetrics& metrics, std::int64_t left, std::int64_t top,
                  const QString& line) {
    // The text's top-left corner is given; QPainter places the baseline.
    dc.drawText(QPoint(ClampPixel(left), ClampPixel(top + metrics.ascent())), line);
}

} // namespace

bool DrawIconAtOffset(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                      QPainter& dc, std::int32_t dx, std::int32_t dy, double x, double y) {
    const CDevicePoint p = MapToDevice(viewport, x, y);
    const std::int64_t px = std::int64_t(p.x) + dx;
    const std::int64_t py = std::int64_t(p.y) + dy;
    if (!InGrownDeviceRect(viewport, px, py))
        return false;
    dc.drawImage(QPoint(ClampPixel(px - size.width() / 2), ClampPixel(py - size.height() / 2)),
                 icon);
    return true;
}

bool DrawIconAt(const QImage& icon, const QSize& size, const CMapViewport& viewport, QPainter& dc,
                double x, double y) {
    return DrawIconAtOffset(icon, size, viewport, dc, 0, 0, x, y);
}

bool DrawPointIcon(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                   QPainter& dc, const CShapeRecord* record) {
    if (!record || !IsPointType(CShapeRecord::GetShapeType(record)))
        return false;
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    return DrawIconAt(icon, size, viewport, dc, p.x, p.y);
}

QRect GetIconOpaqueRect(const QImage& icon) {
    if (icon.isNull())
        return QRect();
    if (!icon.hasAlphaChannel())
        return icon.rect();
    const QImage argb = icon.format() == QImage::Format_ARGB32_Premultiplied ||
                                icon.format() == QImage::Format_ARGB32
                            ? icon
                            : icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int left = argb.width();
    int top = argb.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const uchar* line = argb.constScanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            QRgb word = 0;
            std::memcpy(&word, line + 4 * static_cast<std::size_t>(x), sizeof word);
            if (qAlpha(word) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

bool DrawPointIconPart(const QImage& icon, const QSize& size, const QRect& part,
                       const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record) {
    if (!record || !IsPointType(CShapeRecord::GetShapeType(record)))
        return false;
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    const CDevicePoint s = MapToDevice(viewport, p.x, p.y);
    if (!InGrownDeviceRect(viewport, s.x, s.y))
        return false;
    if (!part.isEmpty())
        dc.drawImage(QPoint(ClampPixel(std::int64_t(s.x) - size.width() / 2 + part.left()),
                            ClampPixel(std::int64_t(s.y) - size.height() / 2 + part.top())),
                     icon, part);
    return true;
}

bool DrawScaledPointIcon(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                         QPainter& dc, const CShapeRecord* record, std::int32_t fx,
                         std::int32_t fy) {
    if (!record || !IsPointType(CShapeRecord::GetShapeType(record)))
        return false;
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    const CDevicePoint s = MapToDevice(viewport, p.x, p.y);
    if (!InGrownDeviceRect(viewport, s.x, s.y))
        return false;
    const std::int64_t w = std::int64_t(size.width()) * fx;
    const std::int64_t h = std::int64_t(size.height()) * fy;
    if (w <= 0 || h <= 0)
        return true;
    // The icon's transparency does what the mask and colour passes of a
    // platform icon do.
    dc.drawImage(
        QRect(ClampPixel(s.x - w / 2), ClampPixel(s.y - h / 2), ClampPixel(w), ClampPixel(h)), icon,
        icon.rect());
    return true;
}

bool DrawPolylineShape(const CShapeRecord* record, const CMapViewport& viewport, QPainter& dc) {
    if (!record || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    if (DrawAsDotWhenOnePixel(record, viewport, dc))
        return false;
    bool drew = false;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        if (first == end)
            continue;
        CDevicePoint previous = DevicePointAt(viewport, record, first);
        for (std::uint32_t i = first + 1; i < end; ++i) {
            const CDevicePoint current = DevicePointAt(viewport, record, i);
            if (current == previous)
                continue;
            if (!BeyondOneSide(viewport, previous, current)) {
                dc.drawLine(QLine(previous.x, previous.y, current.x, current.y));
                drew = true;
            }
            previous = current;
        }
    }
    return drew;
}

bool DrawOffsetPart(const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record,
                    std::uint32_t first, std::uint32_t last, std::int32_t sign,
                    std::int32_t distance) {
    if (!record)
        return false;
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    if (points == 0)
        return false;
    last = std::min(last, points - 1);
    if (first >= last)
        return false;
    const double d = sign == 2 ? -static_cast<double>(distance) : static_cast<double>(distance);
    bool drew = false;
    CDevicePoint a = DevicePointAt(viewport, record, first);
    for (std::uint32_t i = first + 1; i <= last; ++i) {
        const CDevicePoint b = DevicePointAt(viewport, record, i);
        double ox = 0.0;
        double oy = 0.0;
        if (SegmentOffset(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y, d, ox,
                          oy)) {
            dc.drawLine(QLine(OffsetPixel(a.x, ox), OffsetPixel(a.y, -oy), OffsetPixel(b.x, ox),
                              OffsetPixel(b.y, -oy)));
            drew = true;
        }
        a = b;
    }
    return drew;
}

bool DrawOffsetPolyline(const CShapeRecord* record, const CMapViewport& viewport, QPainter& dc,
                        std::int32_t mode, std::int32_t distance) {
    if (mode == LO_None || distance == 0)
        return DrawPolylineShape(record, viewport, dc);
    if (!record || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)) ||
        CShapeRecord::GetPointCount(record) < 2)
        return false;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    bool drew = false;
    if (IsCompassMode(mode)) {
        for (std::uint32_t part = 0; part < parts; ++part) {
            std::uint32_t first = 0;
            std::uint32_t end = 0;
            GetPartRange(record, part, first, end);
            if (end - first < 2)
                continue;
            const std::int32_t sign = CompassSign(mode, CShapeRecord::GetPoint(record, first),
                                                  CShapeRecord::GetPoint(record, end - 1));
            drew = DrawOffsetPart(viewport, dc, record, first, end - 1, sign, distance) || drew;
        }
        return drew;
    }
    if (DrawAsDotWhenOnePixel(record, viewport, dc))
        return false;
    const std::int32_t sign = mode == LO_Right ? 2 : 1;
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        if (end - first < 2)
            continue;
        drew = DrawOffsetPart(viewport, dc, record, first, end - 1, sign, distance) || drew;
    }
    return drew;
}

CDevicePoint GetOffsetVector(const CShapeRecord* record, std::uint32_t part,
                             const CMapViewport& viewport, std::int32_t mode,
                             std::int32_t distance) {
    if (mode == LO_None || !record ||
        !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)) ||
        part >= CShapeRecord::GetPartCount(record))
        return {};
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    GetPartRange(record, part, first, end);
    if (end - first < 2)
        return {};
    const CShapePoint p = CShapeRecord::GetPoint(record, end - 2);
    const CShapePoint q = CShapeRecord::GetPoint(record, end - 1);
    const std::int32_t sign = IsCompassMode(mode) ? CompassSign(mode, p, q)
                              : mode == LO_Right  ? 2
                                                  : 1;
    const double d = sign == 2 ? -static_cast<double>(distance) : static_cast<double>(distance);
    const CDevicePoint a = MapToDevice(viewport, p.x, p.y);
    const CDevicePoint b = MapToDevice(viewport, q.x, q.y);
    double ox = 0.0;
    double oy = 0.0;
    if (!SegmentOffset(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y, d, ox, oy))
        return {};
    return {TruncToInt32(ox), TruncToInt32(-oy)};
}

bool DrawPolygonShape(const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record) {
    if (!record || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    // Box against the map extent, touching borders included.
    const double xmin = CShapeRecord::GetMinX(record);
    const double xmax = CShapeRecord::GetMaxX(record);
    const double ymin = CShapeRecord::GetMinY(record);
    const double ymax = CShapeRecord::GetMaxY(record);
    if (!(std::min(xmin, xmax) <= std::max(viewport.minX, viewport.maxX) &&
          std::min(viewport.minX, viewport.maxX) <= std::max(xmin, xmax) &&
          std::min(ymin, ymax) <= std::max(viewport.minY, viewport.maxY) &&
          std::min(viewport.minY, viewport.maxY) <= std::max(ymin, ymax)))
        return false;

    // One path per thread, emptied for each polygon, keeps its storage
    // between calls.
    thread_local QPainterPath path;
    path.clear();
    path.setFillRule(Qt::WindingFill);
    bool anyRing = false;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        if (first == end)
            continue;
        const CDevicePoint start = DevicePointAt(viewport, record, first);
        path.moveTo(start.x, start.y);
        for (std::uint32_t i = first + 1; i < end; ++i) {
            const CDevicePoint p = DevicePointAt(viewport, record, i);
            path.lineTo(p.x, p.y);
        }
        anyRing = anyRing || end - first >= 2;
    }
    dc.drawPath(path);
    return anyRing;
}

QSize GetLabelExtent(const CMapViewport& viewport, QPainter& dc, const std::string& text) {
    const QFontMetrics metrics = dc.fontMetrics();
    const std::vector<QString> lines = LabelLines(text);
    return {ClampPixel(WidestLine(metrics, lines)),
            ClampPixel(LinesHeight(viewport, metrics, lines.size()))};
}

bool DrawLabel(const CMapViewport& viewport, QPainter& dc, double x, double y,
               const std::string& text, std::int32_t position, std::int32_t dx, std::int32_t dy,
               bool boxed, const std::vector<CDeviceRect>* placed, CDeviceRect* out,
               const QColor& textColour) {
    const QSize extent = GetLabelExtent(viewport, dc, text);
    CDevicePoint origin;
    if (!PlaceAndFrame(viewport, dc, x, y, position, dx, dy, extent.width(), extent.height(),
                       extent.width(), extent.height(), boxed, placed, out, origin))
        return false;
    const QPen pen = dc.pen();
    dc.setPen(textColour);
    DrawTextLine(dc, dc.fontMetrics(), origin.x, origin.y,
                 QString::fromUtf8(text.data(), qsizetype(text.size())));
    dc.setPen(pen);
    return true;
}

bool DrawMultiLineLabel(const CMapViewport& viewport, QPainter& dc, double x, double y,
                        const std::string& text, std::int32_t position, std::int32_t dx,
                        std::int32_t dy, bool boxed, const std::vector<CDeviceRect>* placed,
                        CDeviceRect* out, const QColor& textColour) {
    const QFontMetrics metrics = dc.fontMetrics();
    const std::vector<QString> lines = LabelLines(text);
    const std::int64_t widest = WidestLine(metrics, lines);
    const std::int64_t height = LinesHeight(viewport, metrics, lines.size());
    CDevicePoint origin;
    if (!PlaceAndFrame(viewport, dc, x, y, position, dx, dy, widest + 4, height + 2, widest, height,
                       boxed, placed, out, origin))
        return false;
    const QPen pen = dc.pen();
    dc.setPen(textColour);
    std::int64_t top = origin.y;
    for (const QString& line : lines) {
        DrawTextLine(dc, metrics, origin.x, top, line);
        top += metrics.height() + viewport.lineSpacing;
    }
    dc.setPen(pen);
    return true;
}

std::int32_t GetDibPixel(const QImage& image, std::int32_t column, std::int32_t row) {
    if (image.isNull() || column < 0 || row < 0 || column >= image.width() || row >= image.height())
        return -1;
    const uchar* line = image.constScanLine(row);
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        // The stored word, as the bitmap holds it (no unpremultiplying).
        QRgb word = 0;
        std::memcpy(&word, line + 4 * static_cast<std::size_t>(column), sizeof word);
        red = qRed(word);
        green = qGreen(word);
        blue = qBlue(word);
        break;
    }
    case QImage::Format_BGR888: {
        const uchar* p = line + 3 * static_cast<std::size_t>(column);
        blue = p[0];
        green = p[1];
        red = p[2];
        break;
    }
    case QImage::Format_RGB888: {
        const uchar* p = line + 3 * static_cast<std::size_t>(column);
        red = p[0];
        green = p[1];
        blue = p[2];
        break;
    }
    default:
        return -1;
    }
    return static_cast<std::int32_t>(red | (green << 8) | (blue << 16));
}
