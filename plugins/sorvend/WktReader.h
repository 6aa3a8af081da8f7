#pragma once
// Reads the well-known text of a database column into shape records of one
// wanted kind, for the database plug-in's WKT layers. It knows the 2D forms
// POINT, LINESTRING, POLYGON, MULTILINESTRING and MULTIPOLYGON; a MULTIPOINT
// is read over but answers false, since a point theme holds one point per
// shape; Z, M and EMPTY variants, GEOMETRYCOLLECTION and any other word fail.

#include <cstdint>
#include <vector>

using WktRecord = std::vector<unsigned char>;

// Reads the geometries of text (null or empty: true and nothing) one after
// another. Those of the wanted shape type (1 or 11 points, 3 or 13
// polylines, 5 polygons) are appended to records as shape records; the
// others are read and left out. A line or part of fewer than 2 points, or a
// ring of fewer than 4, gives no record. Stops once records holds maxCount
// records when maxCount is positive. Answers whether the text read; false
// when a MULTIPOINT was among it.
bool ReadWkt(const char* text, std::vector<WktRecord>& records, std::uint32_t wantedType, int maxCount);

// The shapes of one database value, read in one pass: its first POINT when
// one reads (answer 1, one record), else its lines (3) or else its polygons
// (5), the text read to its end. 0, and nothing appended, when the text is
// null or empty, does not read, holds a MULTIPOINT ahead of its first point,
// or gives no shape; so the answer and records are those of ReadWkt tried for
// one point, then for polylines, then for polygons.
std::uint32_t ReadWktShapes(const char* text, std::vector<WktRecord>& records);
