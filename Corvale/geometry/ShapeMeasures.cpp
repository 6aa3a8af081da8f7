#include "geometry/ShapeMeasures.h"

#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"
#include "geometry/Geometry.h"
#include "geometry/ShapeParts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

double Distance(const CShapePoint& a, const CShapePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool IsPointType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_PointZ;
}
bool IsPolylineType(std::uint32_t type) {
    return type == SHT_Polyline || type == SHT_PolylineZ;
}
bool IsPolygonType(std::uint32_t type) {
    return type == SHT_Polygon || type == SHT_PolygonZ;
}

// The nearest point of the record's segments, the first of equally near ones
// winning; false when the record has no segment or no distance compares
// (NaN coordinates).
bool NearestPointOnSegments(const CShapeRecord* record, const CShapePoint& p,
                            CShapePoint& nearest) {
    double best = std::numeric_limits<double>::max();
    bool found = false;
    ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
        // A zero-length segment leaves the candidate alone; its point is then a.
        CShapePoint candidate = a;
        const double d = PointToSegmentDistance(p, a, b, &candidate);
        if (d < best) {
            best = d;
            nearest = candidate;
            found = true;
        }
        return false;
    });
    return found;
}

// Great-circle distance between two longitude/latitude points in degrees, by
// the haversine form: the law of cosines takes the arc cosine of a value next
// to 1 and loses a third of a 10 cm segment to rounding.
double SphereDistance(const CShapePoint& a, const CShapePoint& b, double radius) {
    const double toRadians = kPi / 180.0;
    const double lat1 = a.y * toRadians;
    const double lat2 = b.y * toRadians;
    const double sinHalfLat = std::sin((lat2 - lat1) / 2.0);
    const double sinHalfLon = std::sin((b.x - a.x) * toRadians / 2.0);
    double h = sinHalfLat * sinHalfLat + std::cos(lat1) * std::cos(lat2) * sinHalfLon * sinHalfLon;
    h = std::clamp(h, 0.0, 1.0);
    return 2.0 * radius * std::asin(std::sqrt(h));
}

// The table row of WGS 84 longitude and latitude, into which ground
// distances convert; -1 if the table had none.
int Wgs84Row() {
    static const int row = [] {
        const auto& table = RefSysTable();
        for (int i = 0; i < kRefSysCount; ++i)
            if (table[static_cast<std::size_t>(i)].id == 2)
                return i;
        return -1;
    }();
    return row;
}

// Converts a point into WGS 84 longitude and latitude.
bool ToGeographic(const CRefSysConverter& converter, const CShapePoint& p,
                  CShapePoint& geographic) {
    return converter.Convert(p.x, p.y, geographic.x, geographic.y);
}

} // namespace

double PointToSegmentDistance(const CShapePoint& p, const CShapePoint& a, const CShapePoint& b,
                              CShapePoint* nearest) {
    if (a.x == b.x && a.y == b.y)
        return Distance(p, a);
    const double length = Distance(a, b);
    const double ux = (b.x - a.x) / length;
    const double uy = (b.y - a.y) / length;
    // Foot of the perpendicular from p: p plus the part of (a - p) that is
    // normal to the segment.
    const double dx = a.x - p.x;
    const double dy = a.y - p.y;
    const double along = dx * ux + dy * uy;
    const CShapePoint foot{p.x + (dx - along * ux), p.y + (dy - along * uy)};
    if (std::max(Distance(foot, a), Distance(foot, b)) <= length) {
        if (nearest != nullptr)
            *nearest = foot;
        return Distance(p, foot);
    }
    const double toA = Distance(p, a);
    const double toB = Distance(p, b);
    if (toA < toB) {
        if (nearest != nullptr)
            *nearest = a;
        return toA;
    }
    if (nearest != nullptr)
        *nearest = b;
    return toB;
}

bool PointInRingWinding(const std::vector<CShapePoint>& ring, const CShapePoint& p) {
    if (ring.size() < 3)
        return false;
    int winding = 0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const CShapePoint& a = ring[i];
        const CShapePoint& b = ring[i + 1];
        const double s = (p.y - a.y) * (b.x - a.x) - (b.y - a.y) * (p.x - a.x);
        if (a.y <= p.y && p.y < b.y && s > 0)
            ++winding;
        else if (b.y <= p.y && p.y < a.y && s < 0)
            --winding;
    }
    return winding != 0;
}

bool NearestPointOnShape(const CShapeRecord* record, const CShapePoint& p, CShapePoint& nearest) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (IsPointType(type)) {
        nearest = CShapeRecord::GetPoint(record, 0);
        return true;
    }
    if (IsPolylineType(type))
        return NearestPointOnSegments(record, p, nearest);
    if (!IsPolygonType(type))
        return false;
    const std::uint32_t parts = GetMultiPartCount(record);
    std::vector<CShapePoint> ring;
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        ring.clear();
        for (std::uint32_t i = range.first; i < range.end; ++i)
            ring.push_back(CShapeRecord::GetPoint(record, i));
        if (!ring.empty() && !(ring.back() == ring.front()))
            ring.push_back(ring.front());
        if (PointInRingWinding(ring, p)) {
            nearest = p;
            return true;
        }
    }
    // Outside every ring: the nearest point of the outline, as for polylines.
    return NearestPointOnSegments(record, p, nearest);
}

bool SnapToNearestVertex(const CShapeRecord* record, const CShapePoint& p, CShapePoint& vertex,
                         double& distance) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (IsPointType(type)) {
        vertex = CShapeRecord::GetPoint(record, 0);
        distance = Distance(p, vertex);
        return true;
    }
    if (!CShapeRecord::IsMultiType(type))
        return false;
    double best = std::numeric_limits<double>::max();
    bool found = false;
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    for (std::uint32_t i = 0; i < points; ++i) {
        const CShapePoint v = CShapeRecord::GetPoint(record, i);
        const double dx = v.x - p.x;
        const double dy = v.y - p.y;
        const double squared = dx * dx + dy * dy;
        if (squared < best) {
            best = squared;
            vertex = v;
            found = true;
        }
    }
    if (found)
        distance = std::sqrt(best);
    return found;
}

bool GetPolygonCentre(const CShapeRecord* record, CShapePoint& centre) {
    const std::uint32_t parts = GetMultiPartCount(record);
    CShapePartRange best;
    bool any = false;
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        if (!any || range.end - range.first > best.end - best.first) {
            best = range;
            any = true;
        }
    }
    const std::uint32_t count = best.end - best.first;
    if (!any || count < 3)
        return false;
    double sx = 0.0;
    double sy = 0.0;
    for (std::uint32_t i = best.first; i < best.end; ++i) {
        const CShapePoint v = CShapeRecord::GetPoint(record, i);
        sx += v.x;
        sy += v.y;
    }
    centre = {sx / count, sy / count};
    return true;
}

bool GetPolylineMidPoint(const CShapeRecord* record, CShapePoint& point) {
    const std::uint32_t parts = GetMultiPartCount(record);
    double longest = -1.0;
    CShapePartRange best;
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        double length = 0.0;
        for (std::uint32_t i = range.first + 1; i < range.end; ++i)
            length +=
                Distance(CShapeRecord::GetPoint(record, i - 1), CShapeRecord::GetPoint(record, i));
        if (length > longest) {
            longest = length;
            best = range;
        }
    }
    // Also false for a NaN length, which compares with nothing.
    if (!(longest > 0.0))
        return false;
    const double half = longest / 2.0;
    double walked = 0.0;
    for (std::uint32_t i = best.first + 1; i < best.end; ++i) {
        const CShapePoint a = CShapeRecord::GetPoint(record, i - 1);
        const CShapePoint b = CShapeRecord::GetPoint(record, i);
        const double d = Distance(a, b);
        walked += d;
        if (walked >= half && d > 0.0) {
            const double back = (walked - half) / d;
            point = {b.x - (b.x - a.x) * back, b.y - (b.y - a.y) * back};
            return true;
        }
    }
    return false;
}

bool GetShapeCentre(const CShapeRecord* record, CShapePoint& centre) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (IsPointType(type)) {
        centre = CShapeRecord::GetPoint(record, 0);
        return true;
    }
    if (IsPolylineType(type))
        return GetPolylineMidPoint(record, centre);
    if (IsPolygonType(type))
        return GetPolygonCentre(record, centre);
    return false;
}

bool GetPolylinePositionAtFraction(const CShapeRecord* record, float fraction, CShapePoint& point,
                                   double& angle) {
    if (!CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    if (points < 2)
        return false;
    if (fraction == 1.0f) {
        const CShapePoint before = CShapeRecord::GetPoint(record, points - 2);
        point = CShapeRecord::GetPoint(record, points - 1);
        return GetSegmentAngle(point, before, angle);
    }
    if (fraction == 0.0f) {
        point = CShapeRecord::GetPoint(record, 0);
        return GetSegmentAngle(CShapeRecord::GetPoint(record, 1), point, angle);
    }
    const CShapePartRange range = GetShapePartRange(record, 0);
    double length = 0.0;
    for (std::uint32_t i = range.first + 1; i < range.end; ++i)
        length +=
            Distance(CShapeRecord::GetPoint(record, i - 1), CShapeRecord::GetPoint(record, i));
    const double target = length * static_cast<double>(fraction);
    double walked = 0.0;
    for (std::uint32_t i = range.first + 1; i < range.end; ++i) {
        const CShapePoint a = CShapeRecord::GetPoint(record, i - 1);
        const CShapePoint b = CShapeRecord::GetPoint(record, i);
        const double d = Distance(a, b);
        const double before = walked;
        walked += d;
        if (target < walked) {
            // Only a fraction below 0 can land on a segment without length.
            if (!(d > 0.0))
                return false;
            const double t = (target - before) / d;
            point = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            return GetSegmentAngle(b, a, angle);
        }
    }
    return false;
}

double GroundDistance(int refSystem, const CShapePoint& p1, const CShapePoint& p2, double radius) {
    return CGroundMeasure(refSystem).Distance(p1, p2, radius);
}

CGroundMeasure::CGroundMeasure(int refSystem) : m_RefSystem(refSystem) {
    if (refSystem != -1)
        m_Converter = std::make_unique<CRefSysConverter>(refSystem, Wgs84Row());
}

CGroundMeasure::~CGroundMeasure() = default;

double CGroundMeasure::Distance(const CShapePoint& p1, const CShapePoint& p2, double radius) const {
    if (m_Converter == nullptr)
        return ::Distance(p1, p2);
    CShapePoint g1;
    CShapePoint g2;
    if (!ToGeographic(*m_Converter, p1, g1) || !ToGeographic(*m_Converter, p2, g2))
        return std::numeric_limits<double>::quiet_NaN();
    return SphereDistance(g1, g2, radius);
}

double GroundDistanceAlongEquator(double lon1, double lon2, double radius) {
    if (!std::isfinite(lon1) || !std::isfinite(lon2))
        return std::numeric_limits<double>::quiet_NaN();
    // n counts the whole half-turns: the number of n from 0 up for which
    // lon1 + 180 (n + 1) < lon2 holds. Counting them one by one would take
    // forever for a far-off longitude, so the count is computed and then
    // settled against the comparison itself.
    // Beyond 2^53 half-turns n +- 1 is n again, so the settling is bounded.
    double n = std::max(0.0, std::ceil((lon2 - lon1) / 180.0) - 1.0);
    for (int step = 0; step < 2 && n > 0.0 && !(lon1 + 180.0 * n < lon2); ++step)
        n -= 1.0;
    for (int step = 0; step < 2 && lon1 + 180.0 * (n + 1.0) < lon2; ++step)
        n += 1.0;
    return SphereDistance({lon1 + 180.0 * n, 0.0}, {lon2, 0.0}, radius) + n * kPi * radius;
}

double GetShapeLength(const CShapeRecord* record, int refSystem, double radius) {
    if (!CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return 0.0;
    double length = 0.0;
    if (refSystem == -1) {
        ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
            length += Distance(a, b);
            return false;
        });
        return length;
    }
    // The same sum as GroundDistance over every segment, with one converter
    // for the whole shape and each vertex converted once.
    const CRefSysConverter converter(refSystem, Wgs84Row());
    const std::uint32_t parts = GetMultiPartCount(record);
    for (std::uint32_t j = 0; j < parts; ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        CShapePoint previous;
        bool previousOk = false;
        for (std::uint32_t i = range.first; i < range.end; ++i) {
            CShapePoint current;
            const bool ok = ToGeographic(converter, CShapeRecord::GetPoint(record, i), current);
            if (i > range.first)
                length += previousOk && ok ? SphereDistance(previous, current, radius)
                                           : std::numeric_limits<double>::quiet_NaN();
            previous = current;
            previousOk = ok;
        }
    }
    return length;
}

bool PointGreater(const CShapePoint& a, const CShapePoint& b) {
    return a.x > b.x || (a.x == b.x && a.y > b.y);
}

double GetRingSignedArea(const CShapeRecord* record, std::uint32_t j) {
    const CShapePartRange range = GetShapePartRange(record, j);
    if (range.end - range.first < 3)
        return 0.0;
    // Coordinates are taken relative to the first point so that rings far
    // from the origin (projected coordinates in the millions) keep their
    // precision.
    const CShapePoint origin = CShapeRecord::GetPoint(record, range.first);
    double sum = 0.0;
    CShapePoint a{0.0, 0.0};
    for (std::uint32_t i = range.first + 1; i <= range.end; ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i < range.end ? i : range.first);
        const CShapePoint b{p.x - origin.x, p.y - origin.y};
        sum += a.x * b.y - b.x * a.y;
        a = b;
    }
    return sum / 2.0;
}
