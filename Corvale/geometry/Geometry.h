#pragma once
// Plane geometry on map coordinates shared by the data model, the document's
// geometry operations and the map view. No Qt here: the data model links it
// without the GUI libraries.

#include "shapes/ShapeRecord.h"

#include <cmath>
#include <cstdint>
#include <limits>

// A double truncated toward zero to a 32-bit integer, the way device pixels
// are computed. A value the integer cannot hold never reaches the cast:
// values beyond the range (the infinities included) give the nearest limit,
// and NaN gives INT32_MIN, a pixel far outside any device rectangle, so an
// undefined coordinate is neither drawn nor hit. Inline: the map view turns
// every vertex it draws through it.
inline std::int32_t TruncToInt32(double value) {
    constexpr auto lo = std::numeric_limits<std::int32_t>::min();
    constexpr auto hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return lo;
    // Both limits are exact doubles; anything at or beyond them saturates.
    if (value <= static_cast<double>(lo))
        return lo;
    if (value >= static_cast<double>(hi))
        return hi;
    return static_cast<std::int32_t>(value);
}

// Brings an angle in radians into [-pi, pi): below -pi it adds 2 pi, at pi or
// above it subtracts 2 pi, as often as needed. NaN and the infinities come
// back unchanged rather than looping.
double NormalizeAngle(double angle);

// Direction in radians of the vector from b to a, in [-pi/2, 3pi/2): +pi/2 or
// -pi/2 when the x values are equal, else atan(dy / dx), plus pi when a lies
// west of b. False, angle untouched, when a and b are the same point. For the
// direction of a segment from its first to its second point pass the second
// point as a.
bool GetSegmentAngle(const CShapePoint& a, const CShapePoint& b, double& angle);

// Whether two closed segments, each x1, y1, x2, y2, meet. Their boxes must
// overlap (touching boxes do), and neither segment may have both end points
// strictly on the same side of the other's line. An end point lying on the
// other segment, and collinear overlapping segments, count as meeting.
bool SegmentsIntersect(const double a[4], const double b[4]);
