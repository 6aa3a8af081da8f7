#include "view/MapViewport.h"

#include "geometry/Geometry.h"
#include "view/ShapeParts.h"

#include <algorithm>
#include <cmath>
#include <limits>

void SetMapViewport(CMapViewport& viewport, const CDeviceRect& rect, double minX, double maxX,
                    double minY, double maxY) {
    viewport.minX = minX;
    viewport.maxX = maxX;
    viewport.minY = minY;
    viewport.maxY = maxY;
    viewport.left = rect.left;
    viewport.top = rect.top;
    viewport.right = rect.right;
    viewport.bottom = rect.bottom;
    // Pixel spans in double: the difference of two 32-bit ints may not fit one.
    viewport.scaleX = (static_cast<double>(rect.right) - rect.left) / (maxX - minX);
    viewport.scaleY = (static_cast<double>(rect.bottom) - rect.top) / (minY - maxY);
}

CShapePoint ScreenToMap(const CMapViewport& viewport, std::int32_t px, std::int32_t py) {
    const double width = static_cast<double>(viewport.right) - viewport.left;
    const double height = static_cast<double>(viewport.bottom) - viewport.top;
    constexpr double infinity = std::numeric_limits<double>::infinity();
    CShapePoint p;
    p.x = width == 0.0 ? infinity
                       : (viewport.maxX - viewport.minX) / width *
                                 (static_cast<double>(px) - viewport.left) +
                             viewport.minX;
    p.y = height == 0.0 ? infinity
                        : (viewport.minY - viewport.maxY) / height *
                                  (static_cast<double>(py) - viewport.bottom) +
                              viewport.minY;
    return p;
}

CDevicePoint MapToScreen(const CMapViewport& viewport, double x, double y) {
    const double width = static_cast<double>(viewport.right) - viewport.left;
    const double height = static_cast<double>(viewport.bottom) - viewport.top;
    CDevicePoint p;
    p.x =
        TruncToInt32((x - viewport.minX) / (viewport.maxX - viewport.minX) * width + viewport.left);
    p.y =
        TruncToInt32((y - viewport.maxY) / (viewport.minY - viewport.maxY) * height + viewport.top);
    return p;
}

bool PointInRectInclusive(const CDeviceRect& rect, const CDevicePoint& point) {
    return std::min(rect.left, rect.right) <= point.x &&
           point.x <= std::max(rect.left, rect.right) &&
           std::min(rect.top, rect.bottom) <= point.y && point.y <= std::max(rect.top, rect.bottom);
}

namespace {

bool AnyCornerInside(const CDeviceRect& rect, const CDeviceRect& other) {
    return PointInRectInclusive(rect, {other.left, other.top}) ||
           PointInRectInclusive(rect, {other.right, other.top}) ||
           PointInRectInclusive(rect, {other.left, other.bottom}) ||
           PointInRectInclusive(rect, {other.right, other.bottom});
}

CDeviceRect Ordered(const CDeviceRect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

// wide strictly wider than tall on both sides, tall strictly taller than wide
// on both sides: a cross, whose middles overlap though no corner of either
// lies in the other.
bool Crosses(const CDeviceRect& wide, const CDeviceRect& tall) {
    return wide.left < tall.left && wide.right > tall.right && tall.top < wide.top &&
           tall.bottom > wide.bottom;
}

} // namespace

bool RectsCollide(const CDeviceRect& a, const CDeviceRect& b) {
    if (AnyCornerInside(a, b) || AnyCornerInside(b, a))
        return true;
    const CDeviceRect oa = Ordered(a);
    const CDeviceRect ob = Ordered(b);
    return Crosses(oa, ob) || Crosses(ob, oa);
}

bool HitTestPoint(const CMapViewport& viewport, const CShapeRecord* record,
                  const CDevicePoint& point) {
    if (!record)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type != SHT_Point && type != SHT_PointZ)
        return false;
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    const CDevicePoint s = MapToDevice(viewport, p.x, p.y);
    const double dx = static_cast<double>(point.x) - s.x;
    const double dy = static_cast<double>(point.y) - s.y;
    if (std::fabs(dx) > 3.0 || std::fabs(dy) > 3.0)
        return false;
    return std::sqrt(dx * dx + dy * dy) < 3.0;
}

bool HitTestPolyline(const CMapViewport& viewport, const CShapeRecord* record,
                     const CDevicePoint& point) {
    if (!record || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    const double px = point.x;
    const double py = point.y;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        if (end - first < 2)
            continue;
        CShapePoint m = CShapeRecord::GetPoint(record, first);
        CDevicePoint a = MapToDevice(viewport, m.x, m.y);
        for (std::uint32_t i = first + 1; i < end; ++i) {
            m = CShapeRecord::GetPoint(record, i);
            const CDevicePoint b = MapToDevice(viewport, m.x, m.y);
            // Pixels as doubles: grown boxes and offsets may pass the 32-bit range.
            const double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
            a = b;
            if (!(std::min(x1, x2) - 2.0 < px && px < std::max(x1, x2) + 2.0 &&
                  std::min(y1, y2) - 2.0 < py && py < std::max(y1, y2) + 2.0))
                continue;
            double offset = 0.0;
            if (x1 == x2) {
                offset = px - x1;
            } else {
                const double slope = (y2 - y1) / (x2 - x1);
                if (std::fabs(slope) <= 1.0) {
                    offset = std::trunc(slope * x2 - y2) - std::trunc(slope * px - py);
                } else {
                    const double k = 1.0 / slope;
                    offset = std::trunc(k * y1 - x1) - std::trunc(k * py - px);
                }
            }
            if (std::fabs(offset) < 3.0)
                return true;
        }
    }
    return false;
}

namespace {

// Edges of one ring, closed implicitly: consecutive points, then the last
// back to the first when the ring is stored open.
template <typename Visit>
void ForEachRingEdge(const CShapeRecord* record, std::uint32_t first, std::uint32_t end,
                     Visit visit) {
    if (end - first < 2)
        return;
    for (std::uint32_t i = first + 1; i < end; ++i)
        visit(CShapeRecord::GetPoint(record, i - 1), CShapeRecord::GetPoint(record, i));
    const CShapePoint last = CShapeRecord::GetPoint(record, end - 1);
    const CShapePoint start = CShapeRecord::GetPoint(record, first);
    if (!(last == start))
        visit(last, start);
}

// Sum of the turns at the ring's vertices, each the incoming edge's direction
// less the outgoing one's: about +2 pi for a clockwise ring, -2 pi for a
// counter-clockwise one. Edges of no length (repeated points) have no
// direction and are passed over, so a turn is always taken between two real
// edges.
double RingTurningSum(const CShapeRecord* record, std::uint32_t first, std::uint32_t end) {
    double sum = 0.0;
    double firstAngle = 0.0;
    double previous = 0.0;
    bool started = false;
    ForEachRingEdge(record, first, end, [&](const CShapePoint& from, const CShapePoint& to) {
        double angle = 0.0;
        if (!GetSegmentAngle(to, from, angle))
            return;
        angle = NormalizeAngle(angle);
        if (started)
            sum += NormalizeAngle(previous - angle);
        else
            firstAngle = angle;
        previous = angle;
        started = true;
    });
    if (started)
        sum += NormalizeAngle(previous - firstAngle);
    return sum;
}

// Crossings of the ring with the ray from (x, y) to (rayEnd, y), by the
// half-open rule: an edge counts when exactly one of its ends lies above the
// ray's height, so a vertex on the ray belongs to one of its two edges only
// and edges along the ray count not at all.
std::uint32_t RingCrossings(const CShapeRecord* record, std::uint32_t first, std::uint32_t end,
                            double x, double y, double rayEnd) {
    const double lo = std::min(x, rayEnd);
    const double hi = std::max(x, rayEnd);
    std::uint32_t crossings = 0;
    ForEachRingEdge(record, first, end, [&](const CShapePoint& p, const CShapePoint& q) {
        if ((p.y > y) == (q.y > y))
            return;
        const double cross = p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y);
        if (lo <= cross && cross <= hi)
            ++crossings;
    });
    return crossings;
}

} // namespace

bool HitTestPolygon(const CMapViewport& viewport, const CShapeRecord* record,
                    const CDevicePoint& point) {
    if (!record || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    const double xmin = CShapeRecord::GetMinX(record);
    const double ymin = CShapeRecord::GetMinY(record);
    const double xmax = CShapeRecord::GetMaxX(record);
    const double ymax = CShapeRecord::GetMaxY(record);
    const CDevicePoint topLeft = MapToDevice(viewport, xmin, ymax);
    const CDevicePoint bottomRight = MapToDevice(viewport, xmax, ymin);
    if (!PointInRectInclusive({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, point))
        return false;

    const CShapePoint p = ScreenToMap(viewport, point.x, point.y);
    // The ray runs east from the point to beyond the box.
    const double rayEnd = xmax > 0.0 ? 1.5 * xmax : xmax < 0.0 ? 0.5 * xmax : 0.0;
    std::int64_t count = 0;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        const std::uint32_t parity = RingCrossings(record, first, end, p.x, p.y, rayEnd) % 2;
        if (parity == 0)
            continue;
        if (RingTurningSum(record, first, end) > 0.0)
            count += parity;
        else
            count -= parity;
    }
    return count != 0;
}
