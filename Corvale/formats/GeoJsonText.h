#pragma once
// Shapes of a theme as GeoJSON text, for Copy as GeoJSON. The program only
// writes GeoJSON; it never reads it.
//
// Numbers are fixed-point with the given number of decimals; a coordinate
// that is not finite, which JSON cannot express, is written as null.

#include "shapes/ShapeRecord.h"

#include <string>

class CTheme;

// "Point" (1, 11); "LineString" (3, 13, at most one part) or
// "MultiLineString" (two or more parts); "Polygon" (5, 15) when the rings form
// one polygon (or none), "MultiPolygon" when they form several; "" otherwise.
std::string GetGeoJsonGeometryType(const CShapeRecord* record);

// Appends the geometry object of one record: { "type": ..., "coordinates": ...}.
// Polygon rings are grouped as the WKT writer groups them (outer rings with
// their holes).
void WriteGeoJsonGeometry(std::string& out, const CShapeRecord* record, int precision);

// Appends the properties object of one record: every attribute column of the
// theme, in column order, with the value of the record's row, all as JSON
// strings.
void WriteGeoJsonProperties(std::string& out, const CShapeRecord* record, const CTheme& theme);

// Appends the text as a JSON string body: quotation mark and reverse solidus
// escaped, control characters as their JSON escapes.
void AppendJsonEscaped(std::string& out, const std::string& text);

// The feature collection of the selected, visible shapes of the theme, in
// ascending shape-index order.
std::string FormatGeoJsonFeatureCollection(CTheme& theme, int precision);
