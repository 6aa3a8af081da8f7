#pragma once
// Measures on shape records and map points: the distance from a point to a
// segment, the nearest point and nearest vertex of a shape, the centre used
// for labels and zooming, the position and direction at a fraction of a
// polyline (arrows), ground distances and shape lengths.
//
// Coordinates are map units. Ground distances are measured on a sphere whose
// radius the caller passes (the workspace's m_earthRadius, in metres), and
// come out in the radius' units.

#include "shapes/ShapeRecord.h"

#include <memory>
#include <vector>

class CRefSysConverter;

// The distance from p to the segment a-b. When nearest is given it receives
// the segment's point nearest to p, except for a segment of zero length
// (a equal to b), where it is left as it was. Of two equally near ends, b is
// the one taken.
double PointToSegmentDistance(const CShapePoint& p, const CShapePoint& a, const CShapePoint& b,
                              CShapePoint* nearest = nullptr);

// The point of the shape nearest to p: a point record's own point; on a
// polyline the nearest point of its segments (the first of equally near
// ones); for a polygon p itself when it lies inside one of the rings (holes
// included), else the nearest point of the rings' edges. False, with nearest
// untouched, for other record types and for a shape without a single segment.
bool NearestPointOnShape(const CShapeRecord* record, const CShapePoint& p, CShapePoint& nearest);

// p inside the ring by the winding rule. The caller closes the ring (last
// point equal to the first); fewer than 3 points give false.
bool PointInRingWinding(const std::vector<CShapePoint>& ring, const CShapePoint& p);

// The signed area of part j of a polyline or polygon record (shoelace sum
// over its points, the segment from the last back to the first included):
// negative for a clockwise ring, which is how shape files store outer
// rings, positive for a counter-clockwise one (holes); 0 for fewer than 3
// points, other record types and a part that does not exist.
double GetRingSignedArea(const CShapeRecord* record, std::uint32_t j);

// The vertex nearest to p (the first of equally near ones) and its distance;
// a point record gives its point. False for other record types and for a
// record without vertices.
bool SnapToNearestVertex(const CShapeRecord* record, const CShapePoint& p, CShapePoint& vertex,
                         double& distance);

// The mean of the vertices, the closing one included, of the ring with the
// most points (the first of equal rings). False when that ring has fewer than
// 3 points or there is none.
bool GetPolygonCentre(const CShapeRecord* record, CShapePoint& centre);

// The point halfway along the longest part (the first of equally long ones).
// False when every part has length 0.
bool GetPolylineMidPoint(const CShapeRecord* record, CShapePoint& point);

// A point's point, a polyline's mid point, a polygon's centre; false for
// other types.
bool GetShapeCentre(const CShapeRecord* record, CShapePoint& centre);

// The point at the fraction f of the first part's length and the direction
// (radians, GetSegmentAngle) of the segment it lies on. f exactly 0 and 1
// give the first and the last point of the record with the direction of the
// first and of the last segment. False for fewer than 2 points, when no
// segment holds the fraction, and when that segment has no length (the point
// is then still written for f 0 and 1).
bool GetPolylinePositionAtFraction(const CShapeRecord* record, float fraction, CShapePoint& point,
                                   double& angle);

// Reference system -1 (none): the Euclidean distance. Otherwise both points
// are converted from that row of the reference-system table into WGS 84
// longitude and latitude (the row whose program id is 2) and the
// great-circle distance on the sphere of the given radius is returned; NaN
// when a point cannot be converted, so that no made-up figure is shown as a
// length.
double GroundDistance(int refSystem, const CShapePoint& p1, const CShapePoint& p2, double radius);

// GroundDistance for many distances in one reference system, one after
// another (the measure tool's readout, on every mouse move): the converter is
// made once and kept, instead of configuring the engine for every distance.
class CGroundMeasure {
public:
    explicit CGroundMeasure(int refSystem);
    ~CGroundMeasure();
    CGroundMeasure(const CGroundMeasure&) = delete;
    CGroundMeasure& operator=(const CGroundMeasure&) = delete;

    int GetRefSystem() const { return m_RefSystem; }
    double Distance(const CShapePoint& p1, const CShapePoint& p2, double radius) const;

private:
    int m_RefSystem;
    // Into WGS 84; none for reference system -1.
    std::unique_ptr<CRefSysConverter> m_Converter;
};

// The distance along the equator from longitude lon1 eastwards to lon2
// (degrees), whole half-turns included, on the sphere of the given radius.
// Used for the map scale of a view that spans more than half the globe. NaN
// for a longitude that is not finite.
double GroundDistanceAlongEquator(double lon1, double lon2, double radius);

// The sum of the ground distances of every segment of every part of a
// polyline or polygon (a polygon's perimeter, its closing segments as
// stored); 0 for other types.
double GetShapeLength(const CShapeRecord* record, int refSystem, double radius);

// a.x > b.x, or a.x == b.x and a.y > b.y.
bool PointGreater(const CShapePoint& a, const CShapePoint& b);
