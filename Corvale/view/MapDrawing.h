#pragma once
// Drawing of one shape record, icon or label on a QPainter through a
// CMapViewport.
//
// The routines draw with what the painter holds: a style is applied by
// setting the painter's pen and brush (and font, for labels) before the call,
// and nothing here changes them for good. They are called once per shape per
// rendering, so they convert through the viewport's cached scales, pass over
// segments that lie beyond one side of the device rectangle and points that
// fall on the pixel just drawn, and test a polygon's box before building its
// outline.

#include "shapes/ShapeRecord.h"
#include "view/MapViewport.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <string>
#include <vector>

class QPainter;

// Icons. An icon is drawn when its pixel lies in the device rectangle grown
// by 3 (left - 3 <= x < right + 3, likewise y); the result says whether it
// was.
//
// Draws the icon at its natural size with its top-left corner at the pixel
// of (x, y) less half the given size.
bool DrawIconAt(const QImage& icon, const QSize& size, const CMapViewport& viewport, QPainter& dc,
                double x, double y);
// The same with (dx, dy) pixels added to the converted position before the
// test.
bool DrawIconAtOffset(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                      QPainter& dc, std::int32_t dx, std::int32_t dy, double x, double y);
// DrawIconAt at a point record's position; false for a null record and for
// records of other types.
bool DrawPointIcon(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                   QPainter& dc, const CShapeRecord* record);
// The icon stretched to size.width() * fx by size.height() * fy pixels and
// centred on the point; for printing, where icons grow with the printer's
// resolution. A non-positive stretched size draws nothing.
bool DrawScaledPointIcon(const QImage& icon, const QSize& size, const CMapViewport& viewport,
                         QPainter& dc, const CShapeRecord* record, std::int32_t fx,
                         std::int32_t fy);

// The smallest rectangle of the icon that holds every pixel not fully
// transparent; an empty rectangle for an icon without any.
QRect GetIconOpaqueRect(const QImage& icon);
// DrawPointIcon drawing only the part of the icon inside `part` (icon
// pixels, as GetIconOpaqueRect gives it): outside it the icon is fully
// transparent, so the picture is the same and far fewer pixels are blended.
// Placement and the test against the device rectangle are DrawPointIcon's.
bool DrawPointIconPart(const QImage& icon, const QSize& size, const QRect& part,
                       const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record);

// Draws the parts of a polyline with the painter's pen, one line per segment.
// A record whose whole box falls on one pixel is drawn as a dot on that pixel
// and gives false. Otherwise true when any segment was drawn.
bool DrawPolylineShape(const CShapeRecord* record, const CMapViewport& viewport, QPainter& dc);
// A polyline displaced sideways by distance pixels (LineOffsetMode): each
// segment is moved on its own, without joins or clipping. LO_East to
// LO_South decide the side per part from its first and last points; LO_Left
// and modes beyond LO_South displace to the left of the drawing direction,
// LO_Right to the right. Mode LO_None or distance 0 draws the plain line;
// fewer than 2 points draw nothing.
bool DrawOffsetPolyline(const CShapeRecord* record, const CMapViewport& viewport, QPainter& dc,
                        std::int32_t mode, std::int32_t distance);
// Draws the segments between points first and last (both included), each
// displaced by (ox, -oy) with ox = floor(d * dy / L + 0.5),
// oy = floor(d * dx / L + 0.5) for its pixel vector (dx, dy) of length L > 0;
// d is -distance when sign is 2 (LO_Right's value) and distance otherwise.
// True when any segment was drawn.
bool DrawOffsetPart(const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record,
                    std::uint32_t first, std::uint32_t last, std::int32_t sign,
                    std::int32_t distance);
// The pixel vector by which DrawOffsetPolyline displaces the last segment of
// a part, ready to add to a pixel (so a direction arrow lands on the
// displaced line): (0, 0) for LO_None, for a part of fewer than 2 points and
// for a segment of no pixel length.
CDevicePoint GetOffsetVector(const CShapeRecord* record, std::uint32_t part,
                             const CMapViewport& viewport, std::int32_t mode,
                             std::int32_t distance);

// Strokes and fills all rings of a polygon as one outline with the winding
// rule, with the painter's pen and brush. False without drawing when the
// record's box does not meet the viewport's map extent (touching borders
// meet); otherwise true when any ring had two or more points.
bool DrawPolygonShape(const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record);

// Labels. Text is UTF-8 and drawn with the painter's font; a line feed starts
// a new line and a carriage return before it is not part of the line.
//
// Width of the widest line and height of all lines with the viewport's
// lineSpacing between them, in the painter's font.
QSize GetLabelExtent(const CMapViewport& viewport, QPainter& dc, const std::string& text);
// Places a one-line label by its position code (LabelPosition; an unknown
// code puts the rectangle's top-left corner on the anchor) around the pixel
// of (x, y), the offsets dx and dy keeping it clear of the anchor. Nothing is
// drawn, and false returned, when the rectangle misses the device rectangle
// or, once written to out (when given), collides with a rectangle of placed
// (when given); borders that touch collide. A boxed label's rectangle is
// its frame, 2 pixels wider on each side and 2 taller at the bottom, drawn
// with the painter's pen and brush before the text. The text is drawn in
// textColour, with the painter's background mode.
bool DrawLabel(const CMapViewport& viewport, QPainter& dc, double x, double y,
               const std::string& text, std::int32_t position, std::int32_t dx, std::int32_t dy,
               bool boxed, const std::vector<CDeviceRect>* placed, CDeviceRect* out,
               const QColor& textColour);
// The same for a text of several lines, written one under the other with the
// viewport's lineSpacing between them. It is placed as a rectangle 4 pixels
// wider and 2 taller than the text.
bool DrawMultiLineLabel(const CMapViewport& viewport, QPainter& dc, double x, double y,
                        const std::string& text, std::int32_t position, std::int32_t dx,
                        std::int32_t dy, bool boxed, const std::vector<CDeviceRect>* placed,
                        CDeviceRect* out, const QColor& textColour);

// The colour of one pixel of a 24- or 32-bit image as 0x00BBGGRR (red in the
// low byte); -1 for a position outside the image, a null image or another
// depth.
std::int32_t GetDibPixel(const QImage& image, std::int32_t column, std::int32_t row);
