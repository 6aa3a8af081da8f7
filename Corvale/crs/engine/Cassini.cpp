#include "crs/engine/Cassini.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 20037508.4;
constexpr double kShortEasting = 19926188.9;
// 31 degrees: the northing bounds are taken at this latitude on the
// antimeridian, where the series is still monotonic.
constexpr double kBoundLatitude = 0.5410520681182421;
// 4 degrees: beyond this the series loses its accuracy.
constexpr double kAccurateWidth = 0.06981317007977318;

struct CassiniState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    double oneMinusE2 = 1.0;
    MeridianSeries meridian;
    FootpointSeries footpoint;
    double m0 = 0.0;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
    double minNorthing = -56575846.0;
    double maxNorthing = 56575846.0;
};

CassiniState Derived(CassiniState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.oneMinusE2 = 1.0 - s.e2;
    s.meridian.Derive(s.e2);
    s.footpoint.Derive(s.e2);
    s.m0 = s.a * s.meridian(s.originLatitude);
    return s;
}

CassiniState g_state = Derived(CassiniState{});

// Snyder's series, offsets from the false origin.
void Project(const CassiniState& s, double latitude, double dl, double& x, double& y) {
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double tanLat = std::tan(latitude);
    const double n = s.a / std::sqrt(1.0 - s.e2 * sinLat * sinLat);
    const double t = tanLat * tanLat;
    const double a1 = dl * cosLat;
    const double a2 = a1 * a1;
    const double c = s.e2 * cosLat * cosLat / s.oneMinusE2;
    x = n * (a1 - t * a2 * a1 / 6.0 - (8.0 - t + 8.0 * c) * t * a2 * a2 * a1 / 120.0);
    y = s.a * s.meridian(latitude) - s.m0 +
        n * tanLat * (a2 / 2.0 + (5.0 - t + 6.0 * c) * a2 * a2 / 24.0);
}

} // namespace

std::uint32_t CassiniSetParameters(double a, double f, double originLatitude,
                                   double centralMeridian, double falseEasting,
                                   double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    CassiniState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s = Derived(s);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    SetAntimeridianNorthingBounds(s, kBoundLatitude, 0.1, Project);
    g_state = s;
    return 0;
}

void CassiniGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                          double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t CassiniForward(double latitude, double longitude, double& easting, double& northing) {
    std::uint32_t flags = CheckGeodeticPoint(latitude, longitude);
    if (flags)
        return flags;

    const CassiniState& s = g_state;
    // Measured before folding: 355 degrees east is also far from the
    // meridian for the series.
    if (std::fabs(longitude - s.centralMeridian) > kAccurateWidth)
        flags |= CAS_LongitudeWarning;
    double x, y;
    Project(s, latitude, FoldOnce(longitude - s.centralMeridian), x, y);
    easting = x + s.falseEasting;
    northing = y + s.falseNorthing;
    return flags;
}

std::uint32_t CassiniInverse(double easting, double northing, double& latitude, double& longitude) {
    const CassiniState& s = g_state;
    std::uint32_t flags =
        CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                            s.falseNorthing, s.minNorthing, s.maxNorthing);
    if (flags)
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double mu = (s.m0 + dy) / (s.a * s.meridian.c0);
    const double phi1 = s.footpoint(mu);
    if (std::fabs(std::fabs(phi1) - kHalfPi) < 1.0e-5) {
        latitude = phi1 > 0.0 ? kHalfPi : -kHalfPi;
        longitude = s.centralMeridian;
        return 0;
    }
    const double sin1 = std::sin(phi1);
    const double cos1 = std::cos(phi1);
    const double tan1 = std::tan(phi1);
    const double w = 1.0 - s.e2 * sin1 * sin1;
    const double n1 = s.a / std::sqrt(w);
    const double r1 = s.a * s.oneMinusE2 / (w * std::sqrt(w));
    const double t1 = tan1 * tan1;
    const double d = dx / n1;
    const double d2 = d * d;
    const double lat = phi1 - (n1 * tan1 / r1) * (d2 / 2.0 - (1.0 + 3.0 * t1) * d2 * d2 / 24.0);
    const double dl = (d - t1 * d2 * d / 3.0 + (1.0 + 3.0 * t1) * t1 * d2 * d2 * d / 15.0) / cos1;
    if (std::fabs(dl) > kAccurateWidth)
        flags |= CAS_LongitudeWarning;
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(s.centralMeridian + dl);
    return flags;
}
