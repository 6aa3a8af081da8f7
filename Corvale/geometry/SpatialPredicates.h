#pragma once
// Yes/no tests between shapes, points, segments and rectangles.
//
// Every test is exact: no tolerance, and contact on a boundary counts as
// meeting, except for the inside test of polygons. That test counts, for each
// ring, the ring edges crossing a ray from the point eastwards, by the
// half-open rule: an edge counts when the point's y lies in [lower end,
// upper end) and the edge lies at or east of the point. A ray through a
// vertex therefore counts once, and of a polygon's boundary the east and
// south sides are inside and the west and north sides outside. A point
// counts as inside when any ring's count is odd, so a point in a hole is
// inside its polygon.
//
// Shapes are point (1, 11), polyline (3, 13) and polygon (5, 15) records.

#include "geometry/DoubleRect.h"
#include "shapes/ShapeRecord.h"

// Both end points in the rectangle (any corner order, borders included), or
// the segment meets one of its four edges.
bool SegmentMeetsRectangle(const CDoubleRect& rect, const CShapePoint& a, const CShapePoint& b);

// The ray test alone: some ring of the record has an odd crossing count for
// p (see above). No box test; a point east of the polygon has no crossings.
bool PointInAnyRing(const CShapeRecord* polygon, const CShapePoint& p);

// p inside the polygon: inside its box, and then on a box of zero width or
// height (a polygon flattened to a line holds the points of that line), or
// inside by the ray test.
bool PointInPolygon(const CShapeRecord* polygon, const CShapePoint& p);

// An end point of the segment inside the polygon, or the segment meets one of
// its edges.
bool SegmentMeetsPolygon(const CShapeRecord* polygon, const CShapePoint& a, const CShapePoint& b);

// p lies on the polyline: its box meets the polyline's and p is a vertex or
// lies on a segment.
bool PointOnPolyline(const CShapeRecord* polyline, const CShapePoint& p);

// The boxes meet and some segment of a meets some segment of b.
bool PolylinesIntersect(const CShapeRecord* a, const CShapeRecord* b);

// The boxes meet and some segment of the multi-part record meets the polygon
// (SegmentMeetsPolygon). A polygon enclosing the polygon argument without
// an edge crossing is not seen here; ShapesIntersect tests both ways.
bool ShapeMeetsPolygon(const CShapeRecord* polygon, const CShapeRecord* shape);

// Whether two shapes share a point; symmetric. Points: equal coordinates, on
// a polyline, inside a polygon. Polylines: a crossing or touching segment.
// Polyline and polygon: a segment of the polyline meets the polygon. Two
// polygons: a segment of either meets the other, so one lying wholly inside
// the other meets it. Any other type gives false.
bool ShapesIntersect(const CShapeRecord* a, const CShapeRecord* b);

// rect has x1 <= x2 and y1 <= y2. With intersect: a point lies in the
// rectangle; a polyline or polygon has a vertex in it or a segment crossing
// its border, or (a polygon) encloses it. Without: the shape's box lies
// within the rectangle, borders included. False for other record types.
bool ShapeInRectangle(const CShapeRecord* record, const CDoubleRect& rect, bool intersect);
