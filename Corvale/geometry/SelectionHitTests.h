#pragma once
// Whether a dragged rectangle or circle selects a polyline or polygon.
//
// The rectangle and circle selection tools offer every candidate shape of
// the active theme to these tests (point shapes they test themselves). All
// tests are exact in map units; the only tolerance a user feels is the size
// of the figure dragged. Each first checks that the shape's box and the
// figure's box meet (a circle's box is centre +- radius).
//
// The polygon tests are deliberately generous where that is cheap and
// strict where exactness would cost: a rectangle hits a polygon when it
// overlaps the box of any single edge (so near a long oblique edge it can
// hit from outside), and a circle hits a polygon only through a vertex within
// the radius or a centre inside the polygon (so a circle cutting across a
// long edge between far-apart vertices, centre outside, misses). A figure
// inside a hole counts as inside the polygon, as PointInPolygon has it.

#include "geometry/DoubleRect.h"
#include "shapes/ShapeRecord.h"

// Some segment has both ends in the rectangle or crosses its border.
bool PolylineHitByRectangle(const CShapeRecord* record, const CDoubleRect& rect);
// Some segment comes within the radius of the centre (distance <= radius).
bool PolylineHitByCircle(const CShapeRecord* record, const CShapePoint& centre, double radius);
// Some edge's own box overlaps the rectangle, or the rectangle's corner
// (x1, y1) lies inside the polygon.
bool PolygonHitByRectangle(const CShapeRecord* record, const CDoubleRect& rect);
// Some vertex lies within the radius of the centre, or the centre lies inside
// the polygon.
bool PolygonHitByCircle(const CShapeRecord* record, const CShapePoint& centre, double radius);
