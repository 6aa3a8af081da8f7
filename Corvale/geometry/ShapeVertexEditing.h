#pragma once
// Reading and editing the parts and vertices of one shape record: a part's
// points, bounds and point count; deleting a vertex or a part; dropping parts
// too short to be drawn; reversing vertex order; removing repeated vertices.
//
// The coordinates pane, the Reverse Coordinates and Simplify commands, the
// drawing of the edited shape and the image-map export use them. The deleting
// and reversing operations edit the record in place and keep its record
// number: a shortened record is built in a scratch buffer and copied over the
// start of the record's own, which it never outgrows; an edit that would not
// fit, or would leave no point, is refused with the record unchanged. Z types
// keep each remaining vertex's Z and M. Records that are not sound
// (IsShapeRecordSound) are refused: false, null or 0, and nothing changed.

#include "geometry/DoubleRect.h"
#include "geometry/ShapePiece.h"

#include <cstdint>

// Points of part k: 1 for part 0 of a point record; 0 for an index not below
// the part count, other types and records that are not sound.
std::uint32_t GetPartPointCount(const CShapeRecord* record, std::uint32_t part);
// Empties points, then copies part k's points in order (a point record's
// part 0 is its point). False when there is no such part.
bool GetShapePartPoints(const CShapeRecord* record, std::uint32_t part, CShapePointList& points);
// (xmin, ymin, xmax, ymax) of part k's points; both corners are the point of a
// point record. False, rect untouched, when there is no such part.
bool GetShapePartBounds(const CShapeRecord* record, std::uint32_t part, CDoubleRect& rect);

// Deletes vertex v, counted over all points of the record. A polyline part
// loses the vertex (a part left without points goes). A polygon ring loses
// it and is closed again on its new first vertex, so deleting a ring's first
// vertex starts the ring at its second; a ring left with fewer than 2 points
// goes. The header counts are those of what is written. False, nothing
// changed, for point types, v beyond the points, v the closing vertex of a
// closed ring, and when no point would be left.
bool DeleteShapeVertex(CShapeRecord* record, std::uint32_t v);
// Deletes part k of a polyline or polygon. False, nothing changed, for an
// index not below the part count and for the record's only part (the shape
// itself is deleted instead).
bool DeleteShapePart(CShapeRecord* record, std::uint32_t part);
// Deletes every polyline part with fewer than 2 points and every polygon ring
// with fewer than 4, keeping the last part when all are such. True when at
// least one part went.
bool RemoveDegenerateParts(CShapeRecord* record);

// Reverses the vertices of part k (Z and M too); part boundaries and box stay.
// True for a point record, which has nothing to reverse; false for an index
// not below the part count and other types.
bool ReverseShapePart(CShapeRecord* record, std::uint32_t part);
// Reverses every part; false as soon as one reversal fails.
bool ReverseShapeParts(CShapeRecord* record);

// A copy of a polyline or polygon, with its type, parts and record number,
// without each vertex whose x and y equal exactly those of the vertex kept
// before it in its part; Z kept, M 0.0. removed is the number of vertices
// dropped. Null, removed 0, when none is dropped or for other records.
CShapeRecord* RemoveDuplicateVertices(const CShapeRecord* record, int& removed);
