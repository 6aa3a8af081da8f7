#pragma once
// The geometry of moving a route's end point along the route: cutting a
// polyline back to a point on it, adding the cut piece to the polylines that
// meet it, and the clean-up both need. Plain functions on vertex lists, so
// the tables of cases run without a host.
//
// A vertex keeps its z and m beside x and y: a route layer of PolylineZ
// records stays one, its heights carried along. Vertices are compared on x
// and y only, exactly, as the end points of a route meet exactly.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pathrill {

struct RouteVertex {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double m = 0.0;
};

inline bool SameXY(const RouteVertex& a, const RouteVertex& b) { return a.x == b.x && a.y == b.y; }
inline bool SameXY(const RouteVertex& a, double x, double y) { return a.x == x && a.y == y; }

using RouteVertices = std::vector<RouteVertex>;

// The first segment (i, i + 1) whose bounding box holds (x, y), boxes closed
// on both axes; -1 when none does or the list has fewer than two vertices.
long FindSegmentAt(const RouteVertices& line, double x, double y);

// True when the first segments of both lines whose boxes hold (x, y) exist
// and join the same two vertices, in either direction.
bool SameSegmentAt(const RouteVertices& a, const RouteVertices& b, double x, double y);

// The vertex at (x, y) on the segment (a, b): its z and m interpolated along
// the segment, so a cut keeps the heights of the line it cuts.
RouteVertex VertexOnSegment(const RouteVertex& a, const RouteVertex& b, double x, double y);

// Cuts the line back to q, which lies on it, from its end at e (its first
// vertex when that is e, else its last). The new line starts (or ends) at q;
// piece receives the part cut off, running from e to q. False, with the line
// and piece untouched, when no segment holds q.
bool TrimAtPoint(const RouteVertices& line, double qx, double qy, double ex, double ey, RouteVertices& trimmed,
                 RouteVertices& piece);

// Extends the line at its end e (its first vertex when that is e, else its
// last) by the piece, which runs from e to q, so that the line then ends at
// q; the result is cleaned and its loops removed.
RouteVertices ExtendByPiece(const RouteVertices& line, double ex, double ey, const RouteVertices& piece);

// Consecutive vertices at the same place collapse to the first of them.
void CleanVertices(RouteVertices& line);

// While some inner vertex (not the first, not the last) is met again later
// in the list, the stretch from it up to its next occurrence is dropped, so a
// line that doubles back on itself loses the loop.
void RemoveLoops(RouteVertices& line);

// Whether a press at (x, y) picks the mark whose centre is at pixel (cx, cy):
// the hot box reaches 4 pixels left and above and 2 right and below.
inline bool MarkHit(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y) {
    return cx - 5 < x && x < cx + 3 && cy - 5 < y && y < cy + 3;
}

// The vertices of each part of a polyline record (from its 8-byte header
// on); empty for a record that holds no polyline. z and m are read where the
// record has them.
std::vector<RouteVertices> ReadParts(const void* record, std::size_t size);
// The first part alone.
RouteVertices ReadPartZero(const void* record, std::size_t size);

// A polyline record of the shape type (Polyline or PolylineZ; the latter
// with the vertices' z and m), record number 1, one part per list.
std::vector<unsigned char> BuildPolylineRecord(const std::vector<RouteVertices>& parts, std::uint32_t shapeType);
std::vector<unsigned char> BuildPolylineRecord(const RouteVertices& line, std::uint32_t shapeType);

} // namespace pathrill
