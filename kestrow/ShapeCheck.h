#pragma once
// The structural check of one shape file (.shp with its .shx index): header
// fields, file lengths, index entries, record numbers, types and content
// lengths, bounding boxes, empty parts, unclosed rings and counts, written as
// a plain-text report. Each fault is named with its record or index entry and
// the check goes on past a damaged record; a summary of the kinds found
// follows.

#include <functional>
#include <string>

// Called with the share of records walked so far, 0 to 100.
using ShapeCheckProgress = std::function<void(int percent)>;

// Checks the .shp at path and its index (the same name ending in .shx).
// Report lines end in "\r\n"; the report of a file without faults ends with
// "Kestrow reported no errors.". True when no fault was found. Only reads
// the files.
bool CheckShapeFile(const std::string& path, std::string& report, const ShapeCheckProgress& progress = {});
