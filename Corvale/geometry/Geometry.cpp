#include "geometry/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

double NormalizeAngle(double angle) {
    // A non-finite angle would never leave the loops below.
    if (!std::isfinite(angle))
        return angle;
    while (angle < -kPi)
        angle += 2.0 * kPi;
    while (angle >= kPi)
        angle -= 2.0 * kPi;
    return angle;
}

bool GetSegmentAngle(const CShapePoint& a, const CShapePoint& b, double& angle) {
    if (a.x == b.x && a.y == b.y)
        return false;
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    if (dx == 0.0) {
        angle = dy > 0.0 ? kPi / 2.0 : -kPi / 2.0;
        return true;
    }
    angle = std::atan(dy / dx);
    if (dx < 0.0)
        angle += kPi;
    return true;
}

bool SegmentsIntersect(const double a[4], const double b[4]) {
    // Boxes first; borders that only touch still overlap.
    if (std::max(a[0], a[2]) < std::min(b[0], b[2]) ||
        std::max(b[0], b[2]) < std::min(a[0], a[2]) ||
        std::max(a[1], a[3]) < std::min(b[1], b[3]) || std::max(b[1], b[3]) < std::min(a[1], a[3]))
        return false;

    // Sides of b's end points against the line of a.
    const double ax = a[2] - a[0];
    const double ay = a[3] - a[1];
    const double d1 = ax * (b[1] - a[1]) - ay * (b[0] - a[0]);
    const double d2 = ax * (b[3] - a[1]) - ay * (b[2] - a[0]);
    if (d1 != 0.0 && d2 != 0.0 && (d1 > 0.0) == (d2 > 0.0))
        return false;

    // Sides of a's end points against the line of b.
    const double bx = b[2] - b[0];
    const double by = b[3] - b[1];
    const double d3 = bx * (a[1] - b[1]) - by * (a[0] - b[0]);
    const double d4 = bx * (a[3] - b[1]) - by * (a[2] - b[0]);
    if (d3 == 0.0 || d4 == 0.0)
        return true;
    return (d3 > 0.0) != (d4 > 0.0);
}
