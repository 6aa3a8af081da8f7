#pragma once
// Walking the parts and segments of a polyline or polygon record.
//
// Records from files have been checked (part starts in order and below the
// point count) before they reach a theme, but records also come from loader
// plug-ins and in-place edits; the walk therefore holds every part inside the
// record's points itself, so that a bad part start can make a part empty but
// never send a read past the points.

#include "geometry/DoubleRect.h"
#include "shapes/ShapeRecord.h"

#include <algorithm>
#include <cstdint>

struct CShapePartRange {
    std::uint32_t first = 0;
    // One past the last point of the part.
    std::uint32_t end = 0;
};

// Point range of part j of a multi record; empty for other records and for a
// part whose start lies beyond the points.
inline CShapePartRange GetShapePartRange(const CShapeRecord* record, std::uint32_t j) {
    if (!CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return {};
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    if (j >= parts)
        return {};
    const std::uint32_t first = std::min(CShapeRecord::GetPartStart(record, j), points);
    const std::uint32_t end =
        j + 1 < parts ? std::min(CShapeRecord::GetPartStart(record, j + 1), points) : points;
    return {first, std::max(first, end)};
}

// Part count of a multi record; 0 for every other record (the record accessor
// counts a point as one part).
inline std::uint32_t GetMultiPartCount(const CShapeRecord* record) {
    return CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record))
               ? CShapeRecord::GetPartCount(record)
               : 0;
}

// Calls visit(a, b) for every segment between consecutive points of every
// part, in order; stops early and returns true as soon as visit returns true.
template <class Visit> bool ForEachShapeSegment(const CShapeRecord* record, Visit&& visit) {
    const std::uint32_t parts = GetMultiPartCount(record);
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        if (range.end - range.first < 2)
            continue;
        CShapePoint a = CShapeRecord::GetPoint(record, range.first);
        for (std::uint32_t i = range.first + 1; i < range.end; ++i) {
            const CShapePoint b = CShapeRecord::GetPoint(record, i);
            if (visit(a, b))
                return true;
            a = b;
        }
    }
    return false;
}

// The record's box (xmin, ymin, xmax, ymax) as stored; a point's box is the
// point.
inline CDoubleRect GetShapeBox(const CShapeRecord* record) {
    return CDoubleRect(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record),
                       CShapeRecord::GetMaxX(record), CShapeRecord::GetMaxY(record));
}
