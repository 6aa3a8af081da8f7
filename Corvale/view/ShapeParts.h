#pragma once
// The point range of one part of a multi-part record, for the view's drawing
// routines and hit tests.

#include "shapes/ShapeRecord.h"

#include <algorithm>
#include <cstdint>

// Points [first, end) of a part: from its start to the next part's start, the
// last part to the point count. Part starts that run backwards or beyond the
// points (a record built in memory and never checked) give an empty or
// shortened range, never indexes past the points.
inline void GetPartRange(const CShapeRecord* record, std::uint32_t part, std::uint32_t& first,
                         std::uint32_t& end) {
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
    end = std::min(end, points);
    first = std::min(CShapeRecord::GetPartStart(record, part), end);
}
