#pragma once
// Cutting shapes along a segment the user drags on the map: vertices inserted
// where the segment crosses a shape, shapes split along it, and polylines
// split at one of their vertices.
//
// Every result is a new record the caller owns (FreeShapeRecord,
// DeleteShapeRecords); the tool replaces the cut shape with the first result
// and adds the others as new shapes. Crossings are exact double computations
// and contact counts: a cut that ends on a segment, or passes through a
// vertex, crosses there.
//
// Z results keep each source vertex's Z and give a vertex made at a crossing
// Z 0.0; every M is 0.0, except in SplitPolylineAtVertex, which only divides
// the vertices and keeps Z and M.

#include "geometry/ShapePiece.h"

// Where segment s (x1, y1, x2, y2) meets segment t, both ends of both
// included. False for parallel segments, collinear overlapping ones
// included, and for segments that do not meet; point is then untouched.
// Callers pass the shape's segment as s and the cut as t.
bool SegmentIntersectionPoint(const double s[4], const double t[4], CShapePoint& point);

// A copy of a sound polyline or polygon with a vertex added wherever one of
// its segments (a ring's closing segment included) meets the cut; the parts
// stay as they are. Null when the cut meets no segment, or for other records.
CShapeRecord* InsertCrossingVertices(const CShapeRecord* record, const double cut[4]);

// Splits a sound polyline or polygon along the cut into records of its own
// type and record number, appended to out (emptied first).
//
// Polylines are divided at every crossing, in the order of their vertices:
// a part that follows a crossing stays with the piece then being built, so a
// cut through the first part of a two-part line gives the part's first half,
// then its second half with the second part. A cut through a vertex divides
// the line there once; a cut through a part's end divides nothing.
//
// Polygons are divided into the pieces the cut leaves: each piece is one ring
// made of stretches of the cut rings joined along the cut, and every ring the
// cut misses (hole or island) goes, whole, with the piece that contains it, or
// with the first piece when none does. The first piece is the one holding the
// start of the first ring the cut crosses, and begins there. The crossings
// along the cut must pair up as the cut goes in and out of the polygon: a cut
// that ends inside the polygon, an odd number of crossings, or a cut ring that
// is not closed gives false.
//
// False, out empty, when nothing is divided or for other records.
bool SplitShapeAlongSegment(const CShapeRecord* record, const double cut[4], CShapeRecordVector& out);

// Splits a sound polyline (with or without Z) at the first vertex, in record
// order, whose x and y equal the point exactly, into two records (record
// number 1, Z and M kept) appended to out (emptied first): the vertices up to
// the found one and those from it on, the parts divided where it lies. A
// vertex inside a part goes into both records; at the start of a later part
// the first record ends with the part before; at the end of a part the second
// record begins with the next part. False, out empty, when no vertex matches,
// when the match is the record's very first or very last vertex, or for other
// records.
bool SplitPolylineAtVertex(const CShapeRecord* record, const CShapePoint& vertex, CShapeRecordVector& out);
