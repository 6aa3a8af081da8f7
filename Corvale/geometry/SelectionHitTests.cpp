#include "geometry/SelectionHitTests.h"

#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeParts.h"
#include "geometry/SpatialPredicates.h"

#include <algorithm>
#include <cmath>

namespace {

CDoubleRect CircleBox(const CShapePoint& centre, double radius) {
    return CDoubleRect(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius);
}

// The inside test of the polygon hit tests: nothing east of the box, then the
// ray test.
bool InsideForHitTest(const CShapeRecord* record, const CShapePoint& p) {
    if (p.x > CShapeRecord::GetMaxX(record))
        return false;
    return PointInAnyRing(record, p);
}

} // namespace

bool PolylineHitByRectangle(const CShapeRecord* record, const CDoubleRect& rect) {
    if (!GetShapeBox(record).Intersects(rect))
        return false;
    return ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
        return SegmentMeetsRectangle(rect, a, b);
    });
}

bool PolylineHitByCircle(const CShapeRecord* record, const CShapePoint& centre, double radius) {
    if (!GetShapeBox(record).Intersects(CircleBox(centre, radius)))
        return false;
    return ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
        return PointToSegmentDistance(centre, a, b) <= radius;
    });
}

bool PolygonHitByRectangle(const CShapeRecord* record, const CDoubleRect& figure) {
    CDoubleRect rect = figure;
    NormalizeDoubleRect(rect);
    if (!GetShapeBox(record).Intersects(rect))
        return false;
    const bool edgeHit =
        ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
            return std::max(a.x, b.x) >= rect.x1 && std::min(a.x, b.x) <= rect.x2 &&
                   std::max(a.y, b.y) >= rect.y1 && std::min(a.y, b.y) <= rect.y2;
        });
    if (edgeHit)
        return true;
    // No edge near: the rectangle either lies wholly inside the polygon or
    // misses it, and one corner tells which.
    if (rect.x1 < CShapeRecord::GetMinX(record))
        return false;
    return InsideForHitTest(record, {rect.x1, rect.y1});
}

bool PolygonHitByCircle(const CShapeRecord* record, const CShapePoint& centre, double radius) {
    if (!GetShapeBox(record).Intersects(CircleBox(centre, radius)))
        return false;
    const std::uint32_t parts = GetMultiPartCount(record);
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        for (std::uint32_t i = range.first; i < range.end; ++i) {
            const CShapePoint v = CShapeRecord::GetPoint(record, i);
            if (std::hypot(v.x - centre.x, v.y - centre.y) <= radius)
                return true;
        }
    }
    if (centre.x < CShapeRecord::GetMinX(record))
        return false;
    return InsideForHitTest(record, centre);
}
