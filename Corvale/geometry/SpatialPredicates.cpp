#include "geometry/SpatialPredicates.h"

#include "geometry/Geometry.h"
#include "geometry/ShapeParts.h"

namespace {

bool Meet(const CShapePoint& a1, const CShapePoint& a2, const CShapePoint& b1,
          const CShapePoint& b2) {
    const double a[4] = {a1.x, a1.y, a2.x, a2.y};
    const double b[4] = {b1.x, b1.y, b2.x, b2.y};
    return SegmentsIntersect(a, b);
}

// Whether the edge a-b crosses the eastward ray from p by the half-open rule.
bool CrossesRay(const CShapePoint& a, const CShapePoint& b, const CShapePoint& p) {
    const bool upward = a.y <= p.y && p.y < b.y;
    const bool downward = b.y <= p.y && p.y < a.y;
    if (!upward && !downward)
        return false;
    // The edge meets the height of p at or east of p exactly when p lies on
    // the edge's left (upward edge) or right (downward edge), or on it.
    const double side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    return upward ? side >= 0.0 : side <= 0.0;
}

} // namespace

bool SegmentMeetsRectangle(const CDoubleRect& rect, const CShapePoint& a, const CShapePoint& b) {
    if (rect.Contains(a) && rect.Contains(b))
        return true;
    const CShapePoint p11{rect.x1, rect.y1};
    const CShapePoint p12{rect.x1, rect.y2};
    const CShapePoint p21{rect.x2, rect.y1};
    const CShapePoint p22{rect.x2, rect.y2};
    return Meet(a, b, p11, p12) || Meet(a, b, p21, p22) || Meet(a, b, p11, p21) ||
           Meet(a, b, p12, p22);
}

bool PointInAnyRing(const CShapeRecord* polygon, const CShapePoint& p) {
    const std::uint32_t parts = GetMultiPartCount(polygon);
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(polygon, j);
        if (range.end - range.first < 2)
            continue;
        bool odd = false;
        CShapePoint a = CShapeRecord::GetPoint(polygon, range.first);
        for (std::uint32_t i = range.first + 1; i < range.end; ++i) {
            const CShapePoint b = CShapeRecord::GetPoint(polygon, i);
            if (CrossesRay(a, b, p))
                odd = !odd;
            a = b;
        }
        if (odd)
            return true;
    }
    return false;
}

bool PointInPolygon(const CShapeRecord* polygon, const CShapePoint& p) {
    const CDoubleRect box = GetShapeBox(polygon);
    if (!(box.x1 <= p.x && p.x <= box.x2 && box.y1 <= p.y && p.y <= box.y2))
        return false;
    if (box.x1 == box.x2 || box.y1 == box.y2)
        return true;
    return PointInAnyRing(polygon, p);
}

bool SegmentMeetsPolygon(const CShapeRecord* polygon, const CShapePoint& a, const CShapePoint& b) {
    if (PointInPolygon(polygon, a) || PointInPolygon(polygon, b))
        return true;
    return ForEachShapeSegment(
        polygon, [&](const CShapePoint& e1, const CShapePoint& e2) { return Meet(a, b, e1, e2); });
}

bool PointOnPolyline(const CShapeRecord* polyline, const CShapePoint& p) {
    if (!GetShapeBox(polyline).Intersects(CDoubleRect(p.x, p.y, p.x, p.y)))
        return false;
    // A part of a single point has no segment but still holds its vertex.
    const std::uint32_t points = CShapeRecord::GetPointCount(polyline);
    for (std::uint32_t i = 0; i < points; ++i)
        if (CShapeRecord::GetPoint(polyline, i) == p)
            return true;
    return ForEachShapeSegment(
        polyline, [&](const CShapePoint& a, const CShapePoint& b) { return Meet(p, p, a, b); });
}

bool PolylinesIntersect(const CShapeRecord* a, const CShapeRecord* b) {
    if (!GetShapeBox(a).Intersects(GetShapeBox(b)))
        return false;
    return ForEachShapeSegment(a, [&](const CShapePoint& a1, const CShapePoint& a2) {
        return ForEachShapeSegment(
            b, [&](const CShapePoint& b1, const CShapePoint& b2) { return Meet(a1, a2, b1, b2); });
    });
}

bool ShapeMeetsPolygon(const CShapeRecord* polygon, const CShapeRecord* shape) {
    if (!GetShapeBox(polygon).Intersects(GetShapeBox(shape)))
        return false;
    return ForEachShapeSegment(shape, [&](const CShapePoint& a, const CShapePoint& b) {
        return SegmentMeetsPolygon(polygon, a, b);
    });
}

bool ShapesIntersect(const CShapeRecord* a, const CShapeRecord* b) {
    const std::uint32_t ta = CShapeRecord::GetShapeType(a);
    const std::uint32_t tb = CShapeRecord::GetShapeType(b);
    if (CShapeRecord::IsPointType(tb)) {
        const CShapePoint pb = CShapeRecord::GetPoint(b, 0);
        if (CShapeRecord::IsPointType(ta))
            return CShapeRecord::GetPoint(a, 0) == pb;
        if (CShapeRecord::IsPolylineType(ta))
            return PointOnPolyline(a, pb);
        if (CShapeRecord::IsPolygonType(ta))
            return PointInPolygon(a, pb);
        return false;
    }
    if (CShapeRecord::IsPolylineType(tb)) {
        if (CShapeRecord::IsPointType(ta))
            return PointOnPolyline(b, CShapeRecord::GetPoint(a, 0));
        if (CShapeRecord::IsPolylineType(ta))
            return PolylinesIntersect(b, a);
        if (CShapeRecord::IsPolygonType(ta))
            return ShapeMeetsPolygon(a, b);
        return false;
    }
    if (CShapeRecord::IsPolygonType(tb)) {
        if (CShapeRecord::IsPointType(ta))
            return PointInPolygon(b, CShapeRecord::GetPoint(a, 0));
        if (CShapeRecord::IsPolylineType(ta))
            return ShapeMeetsPolygon(b, a);
        // Both ways: a polygon lying wholly inside the other, with no edge
        // crossing, is only seen from its own vertices.
        if (CShapeRecord::IsPolygonType(ta))
            return ShapeMeetsPolygon(b, a) || ShapeMeetsPolygon(a, b);
    }
    return false;
}

bool ShapeInRectangle(const CShapeRecord* record, const CDoubleRect& rect, bool intersect) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type)) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        if (intersect)
            return rect.Contains(p);
        return p.x >= rect.x1 && p.y >= rect.y1 && p.x <= rect.x2 && p.y <= rect.y2;
    }
    if (!CShapeRecord::IsMultiType(type))
        return false;
    const CDoubleRect box = GetShapeBox(record);
    if (!intersect)
        return box.x1 >= rect.x1 && box.y1 >= rect.y1 && box.x2 <= rect.x2 && box.y2 <= rect.y2;
    if (!box.Intersects(rect))
        return false;
    // A vertex inside the rectangle or a segment crossing its border: every
    // segment that meets the closed rectangle does one or the other.
    if (ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
            return SegmentMeetsRectangle(rect, a, b);
        }))
        return true;
    // A polygon around the whole rectangle has neither, yet covers it.
    return CShapeRecord::IsPolygonType(type) && PointInPolygon(record, {rect.x1, rect.y1});
}
