#pragma once
// A rectangle in map units whose corners may come in any order.
//
// The selection tools, the spatial hash and the geometry commands all pass
// rectangles around as two corner points as they were dragged or read; every
// helper here orders them itself, so a rectangle from (5, 5) to (1, 1) means
// the same as one from (1, 1) to (5, 5). Borders belong to the rectangle.

#include "shapes/ShapeRecord.h"

class CDoubleRect {
public:
    CDoubleRect() = default;
    CDoubleRect(double left, double bottom, double right, double top)
        : x1(left), y1(bottom), x2(right), y2(top) {}

    double GetWidth() const;
    double GetHeight() const;
    // Half the width and half the height.
    void GetHalfSize(double& halfWidth, double& halfHeight) const;

    // min <= coordinate <= max on both axes; never with a NaN corner.
    bool Contains(double x, double y) const;
    bool Contains(const CShapePoint& point) const { return Contains(point.x, point.y); }
    // The two closed rectangles share at least one point. A NaN corner shares
    // nothing.
    bool Intersects(const CDoubleRect& other) const;

    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

// Swaps x1 and x2 when x2 < x1, and y1 and y2 when y2 < y1.
void NormalizeDoubleRect(CDoubleRect& rect);
// b becomes the smallest normalized rectangle holding both a and b, whatever
// the corner order of either.
void ExtendDoubleRect(const CDoubleRect& a, CDoubleRect& b);
