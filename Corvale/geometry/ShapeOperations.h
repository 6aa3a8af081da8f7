#pragma once
// Building, copying, converting and transforming shape records.
//
// The WKT and WKB readers, clipboard paste, the geometry commands, the script
// object Shape and Layer.transform build and change records through these
// functions. Records returned are new buffers the caller owns (FreeShapeRecord,
// DeleteShapeRecords in geometry/ShapePiece.h); no function changes its input
// unless it says so. Invalid input gives null (building, converting) or false
// with the record unchanged (the in-place operations); nothing here shows a
// message. A record that gains a Z dimension gets Z -99999.0 (kShapeNoZ); every
// rebuilt Z record gets M 0.0.

#include "geometry/ShapePiece.h"

#include <cstdint>
#include <vector>

class CRefSysConverter;

// A 28-byte SHT_Point, record number 1. Null for coordinates that are not
// finite.
CShapeRecord* CreatePointShape(double x, double y);
// One-part SHT_Polyline, record number 1; null for fewer than 2 points.
CShapeRecord* CreatePolylineShape(const CShapePointList& points);
// One-part SHT_Polygon, record number 1, of the points as given (the ring is
// not closed for the caller); null for fewer than 4 points.
CShapeRecord* CreatePolygonShape(const CShapePointList& points);
// SHT_Polyline with one part per element; null for no parts or when any
// part has fewer than 2 points.
CShapeRecord* CreatePolylineFromParts(const CShapePartList& parts);
// SHT_Polygon with one part per ring; null for no rings or when any ring has
// fewer than 4 points.
CShapeRecord* CreatePolygonFromRings(const CShapePartList& rings);

// Every part of a, then every part of b, record number 1. The result is a
// polyline (CombinePolylineShapes) or polygon (CombinePolygonShapes), with Z
// when a has Z: a's and b's Z values are kept, points of a plain b get
// -99999.0. Null unless both are sound polylines or polygons.
CShapeRecord* CombinePolylineShapes(const CShapeRecord* a, const CShapeRecord* b);
CShapeRecord* CombinePolygonShapes(const CShapeRecord* a, const CShapeRecord* b);

// A copy of a sound polyline or polygon, record number 1, of the record's
// own type, with the points appended to part k (no new part). Appended points
// of a Z record get Z -99999.0. In a polygon whose ring k is closed the points
// go in before the closing vertex, so that the ring stays closed. A k that is
// not a part index gives a copy of the parts. Null for other records.
CShapeRecord* AppendPointsToPart(const CShapeRecord* record, const CShapePointList& points, std::uint32_t k);

// An exact copy of a sound point, polyline or polygon record (with or without
// Z); null for a null record or any other.
CShapeRecord* CloneShapeRecord(const CShapeRecord* record);

// The record converted to a type of its own family: Z and M dropped, or
// gained (Z -99999.0, M 0.0); the same type gives a clone. Converted records
// carry the source's record number plus one. Null for a type outside the
// record's family or a record that is not sound.
CShapeRecord* ConvertShapeToType(const CShapeRecord* record, std::uint32_t type);

// Recomputes the box of a sound polyline or polygon from all its points (Z
// and M ranges untouched). False, nothing changed, for other records.
bool RecalcShapeBounds(CShapeRecord* record);

// Rotates every vertex of a sound record counter-clockwise by angle radians
// about (cx, cy), then recomputes the box. Each stored vertex is moved once,
// from its own position: closed rings stay closed and an unclosed ring keeps
// all its vertices. False, nothing changed, for records that are not sound.
bool RotateShape(CShapeRecord* record, double cx, double cy, double angle);
// Moves every vertex of a sound record by (dx, dy), then recomputes the box.
bool TranslateShape(CShapeRecord* record, double dx, double dy);

// Converts the point of a sound point record and stores it. False, record
// unchanged, when the conversion fails.
bool ReprojectPointShape(CShapeRecord* record, const CRefSysConverter& converter);
// Converts every point of a sound polyline or polygon, then sets the box to
// the converted points. When any point fails nothing is written: the answer
// is false and failedPoints (when given) lists every point that failed, in
// order.
bool ReprojectShape(CShapeRecord* record, const CRefSysConverter& converter,
                    std::vector<std::uint32_t>* failedPoints = nullptr);
