#pragma once
// Shapes as Well-Known Text and Well-Known Binary.
//
// WKT carries shapes between the program, the clipboard, the multi-edit
// attribute dialog and GPI plug-ins; WKB comes in from plug-ins only. All
// functions are free functions without state and report by their result
// (false, 0 or null); the callers word any message.
//
// Records made here are new buffers the caller owns (FreeShapeRecord,
// DeleteShapeRecords in geometry/ShapePiece.h).

#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The polygons a polygon record stands for: rings grouped by orientation.
// Shape files store outer rings clockwise and holes counter-clockwise; each
// hole goes with the smallest outer ring that contains it. A hole inside no
// outer ring, and a ring of no area, stands as an outer ring of its own.
// Each entry lists part indexes, the outer ring first, then its holes in
// record order; the entries follow their outer rings' record order. Empty for
// a record without parts and for other types.
std::vector<std::vector<std::uint32_t>> GroupPolygonRings(const CShapeRecord* record);

// The WKT of one record of type 1, 3, 5, 11, 13 or 15, numbers with precision
// digits after the point (clamped to 0..17). Polygons become POLYGON, or
// MULTIPOLYGON when their rings form several polygons, holes kept; a polyline
// of two or more parts becomes MULTILINESTRING. A record without points gives
// the EMPTY form ("LINESTRING EMPTY"). False, text untouched, for other types
// and for coordinates that are not finite, which WKT cannot express.
bool FormatShapeAsWkt(const CShapeRecord* record, std::string& text, int precision);

// Appends the records of the wanted family (a type of it: 1/11, 3/13, 5/15)
// that the text describes; geometries of other families are read and
// dropped. Two-dimensional geometries give SHT_Point, SHT_Polyline and
// SHT_Polygon records, those written with Z ("POINT Z (1 2 3)") SHT_PointZ,
// SHT_PolylineZ and SHT_PolygonZ. A kept geometry that makes no record (an
// EMPTY one, a part of fewer than 2 points, a ring of fewer than 4) is
// appended as a null entry, which callers skip. maxCount > 0 stops the parse
// as soon as the vector holds that many entries. False for a syntax error,
// GEOMETRYCOLLECTION, a text that is no WKT, and MULTIPOINT (read, never
// kept); entries appended before the failure stay in the vector.
bool ParseWkt(std::string_view text, std::vector<CShapeRecord*>& records, std::uint32_t wantedType,
              std::size_t maxCount);
bool ParseWkt(const char* text, std::vector<CShapeRecord*>& records, std::uint32_t wantedType,
              std::size_t maxCount);

// One record from little-endian WKB: a Point (SHT_Point), a LineString
// (one-part SHT_Polyline) or a MultiPolygon (SHT_Polygon with one part per
// ring of every polygon). Null for big-endian input, other types, and any
// count that does not fit the bytes.
CShapeRecord* ParseWkb(const unsigned char* bytes, std::size_t size);

// The part and point totals of a little-endian WKB Point, LineString or
// MultiPolygon; false for other input or counts that do not fit the bytes.
// The polygons of a multi-polygon are read in their own byte order and must
// be polygons.
bool GetWkbPartAndPointCount(const unsigned char* bytes, std::size_t size, std::uint32_t& parts,
                             std::uint32_t& points);

// True when the text, after leading blanks, starts with a WKT keyword.
bool IsWktText(const char* text);
// The shape type a WKT text names: POINT 1, LINESTRING 3, POLYGON 5,
// MULTIPOINT 8, MULTILINESTRING 3, MULTIPOLYGON 5; 0 otherwise.
std::uint32_t GetWktShapeType(const char* text);
// The shape type of a WKB geometry from its first five bytes (either byte
// order); 0 for an unknown type or byte order.
std::uint32_t GetWkbShapeType(const unsigned char* bytes);
