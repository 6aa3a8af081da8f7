#include "geometry/DoubleRect.h"

#include <algorithm>
#include <cmath>
#include <utility>

double CDoubleRect::GetWidth() const {
    return std::fabs(x1 - x2);
}

double CDoubleRect::GetHeight() const {
    return std::fabs(y1 - y2);
}

void CDoubleRect::GetHalfSize(double& halfWidth, double& halfHeight) const {
    halfWidth = GetWidth() / 2.0;
    halfHeight = GetHeight() / 2.0;
}

namespace {

bool HasNaN(const CDoubleRect& r) {
    return std::isnan(r.x1) || std::isnan(r.y1) || std::isnan(r.x2) || std::isnan(r.y2);
}

} // namespace

// std::min and std::max pass a NaN through or drop it depending on the
// argument order, so a NaN corner is refused outright.
bool CDoubleRect::Contains(double x, double y) const {
    return !HasNaN(*this) && std::min(x1, x2) <= x && x <= std::max(x1, x2) &&
           std::min(y1, y2) <= y && y <= std::max(y1, y2);
}

// Two closed rectangles meet exactly when their x ranges and their y ranges
// overlap. That is the same answer as testing each rectangle's corners against
// the other and then the cross-wise case (one wider, the other taller), in one
// comparison per side.
bool CDoubleRect::Intersects(const CDoubleRect& other) const {
    return !HasNaN(*this) && !HasNaN(other) && std::min(x1, x2) <= std::max(other.x1, other.x2) &&
           std::min(other.x1, other.x2) <= std::max(x1, x2) &&
           std::min(y1, y2) <= std::max(other.y1, other.y2) &&
           std::min(other.y1, other.y2) <= std::max(y1, y2);
}

void NormalizeDoubleRect(CDoubleRect& rect) {
    if (rect.x2 < rect.x1)
        std::swap(rect.x1, rect.x2);
    if (rect.y2 < rect.y1)
        std::swap(rect.y1, rect.y2);
}

void ExtendDoubleRect(const CDoubleRect& a, CDoubleRect& b) {
    const double xmin = std::min({a.x1, a.x2, b.x1, b.x2});
    const double ymin = std::min({a.y1, a.y2, b.y1, b.y2});
    const double xmax = std::max({a.x1, a.x2, b.x1, b.x2});
    const double ymax = std::max({a.y1, a.y2, b.y1, b.y2});
    b = CDoubleRect(xmin, ymin, xmax, ymax);
}
