#pragma once
// The mapping between a rectangle of device pixels and a rectangle of map
// coordinates that every drawing and every mouse hit test of the map goes
// through, with the hit tests of one shape record against a device point.
//
// Device pixels grow downwards, map y grows upwards: the top row shows maxY.
// Device coordinates are 32-bit integers; every conversion from map units
// goes through TruncToInt32, so NaN, the infinities and values beyond the
// 32-bit range saturate instead of reaching a float-to-int cast, and sums of
// pixels with offsets are worked out in 64 bits.

#include "geometry/Geometry.h"
#include "shapes/ShapeRecord.h"

#include <cstdint>

struct CDevicePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

inline bool operator==(const CDevicePoint& a, const CDevicePoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const CDevicePoint& a, const CDevicePoint& b) {
    return !(a == b);
}

// A device rectangle as the platform's drawing calls take it: right and
// bottom lie just outside the area when it is filled.
struct CDeviceRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

inline bool operator==(const CDeviceRect& a, const CDeviceRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A plain value owned by whoever draws with it (the map view keeps one as its
// drawing state, the overview control its own). Nothing checks it: with a
// zero map span the scales are infinite or undefined and the routines draw
// and hit nothing; only ScreenToMap guards its division.
struct CMapViewport {
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // Extra pixels between the lines of a multi-line label.
    std::int32_t lineSpacing = 1;
    // (right - left) / (maxX - minX).
    double scaleX = 0.0;
    // (bottom - top) / (minY - maxY); negative, since maxY lies on the top row.
    double scaleY = 0.0;
};

// Label position codes: where a label's rectangle lies around its anchor.
enum LabelPosition : std::int32_t {
    LP_Center = 0,
    LP_TopLeft = 1,
    LP_Top = 2,
    LP_TopRight = 3,
    LP_Left = 4,
    LP_Right = 5,
    LP_BottomLeft = 6,
    LP_Bottom = 7,
    LP_BottomRight = 8,
};

// Sideways displacement of drawn polylines. Modes 7 and above act as LO_Left.
enum LineOffsetMode : std::int32_t {
    LO_None = 0,
    // Left of the drawing direction: a line drawn eastwards moves north.
    LO_Left = 1,
    LO_Right = 2,
    LO_East = 3,
    LO_West = 4,
    LO_North = 5,
    LO_South = 6,
};

// Stores the rectangle and the extent and computes both scales; lineSpacing
// is left as it is.
void SetMapViewport(CMapViewport& viewport, const CDeviceRect& rect, double minX, double maxX,
                    double minY, double maxY);

// Device to map: left gives minX, top gives maxY. A coordinate whose pixel
// span is 0 comes back as +infinity; nothing divides by zero.
CShapePoint ScreenToMap(const CMapViewport& viewport, std::int32_t px, std::int32_t py);

// Map to device, dividing by the map spans each time (no cached scale). For
// conversions done once, such as those asked for by plug-ins.
CDevicePoint MapToScreen(const CMapViewport& viewport, double x, double y);

// Map to device through the cached scales; what the drawing routines and the
// hit tests use for every vertex.
inline std::int32_t MapToDeviceX(const CMapViewport& viewport, double x);
inline std::int32_t MapToDeviceY(const CMapViewport& viewport, double y);
inline CDevicePoint MapToDevice(const CMapViewport& viewport, double x, double y);

// min(left, right) <= x <= max(left, right), likewise for y: corners may come
// in any order and every border belongs to the rectangle.
bool PointInRectInclusive(const CDeviceRect& rect, const CDevicePoint& point);

// Whether two closed rectangles, corners in any order, share a pixel: a
// corner of one lies inside or on the other, or they cross, one strictly
// wider on both sides and the other strictly taller on both sides. Touching
// borders collide.
bool RectsCollide(const CDeviceRect& a, const CDeviceRect& b);

// Hit tests of a device point against one record. A null record is never hit.
//
// A point record is hit within a distance of less than 3 pixels of its
// position (and no more than 3 pixels away on either axis).
bool HitTestPoint(const CMapViewport& viewport, const CShapeRecord* record,
                  const CDevicePoint& point);
// A polyline is hit at the first segment whose pixel box, grown by 2 on every
// side, holds the point strictly inside and whose line passes less than 3
// pixels away from it, measured vertically for flat segments (slope up to 1)
// and horizontally for steep ones. A record without parts is never hit.
bool HitTestPolyline(const CMapViewport& viewport, const CShapeRecord* record,
                     const CDevicePoint& point);
// Whether the point lies inside a polygon record: inside its box on the
// screen, then counted by rings in map coordinates. Each ring (closed
// implicitly when its last point is not its first) is crossed by a
// horizontal ray from the point eastwards, counted by the half-open rule (an
// edge counts when one end lies above the ray's height and the other at or
// below it), so a ray passing through a vertex counts it once. A clockwise
// ring (turning to the right, the outer ring of the shape-file convention)
// adds its parity, any other ring subtracts it; the point is inside when the
// sum is not 0. A point in a hole is therefore outside, a point in a second
// outer ring inside.
bool HitTestPolygon(const CMapViewport& viewport, const CShapeRecord* record,
                    const CDevicePoint& point);

// ---------------------------------------------------------------------------

inline std::int32_t MapToDeviceX(const CMapViewport& viewport, double x) {
    return TruncToInt32((x - viewport.minX) * viewport.scaleX + viewport.left);
}

inline std::int32_t MapToDeviceY(const CMapViewport& viewport, double y) {
    return TruncToInt32((y - viewport.maxY) * viewport.scaleY + viewport.top);
}

inline CDevicePoint MapToDevice(const CMapViewport& viewport, double x, double y) {
    return {MapToDeviceX(viewport, x), MapToDeviceY(viewport, y)};
}
