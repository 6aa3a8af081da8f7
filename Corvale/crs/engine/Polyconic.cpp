#include "crs/engine/Polyconic.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 20037509.0;
constexpr double kShortEasting = 19926189.0;
// 41 degrees: the northing bounds are taken there on the antimeridian.
constexpr double kBoundLatitude = 0.715584993317675;

struct PolyconicState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    MeridianSeries meridian;
    double m0 = 0.0;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
    double minNorthing = -15348215.0;
    double maxNorthing = 15348215.0;
};

PolyconicState Derived(PolyconicState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.meridian.Derive(s.e2);
    s.m0 = s.a * s.meridian(s.originLatitude);
    return s;
}

PolyconicState g_state = Derived(PolyconicState{});

// Offsets from the false origin.
void Project(const PolyconicState& s, double latitude, double dl, double& x, double& y) {
    if (latitude == 0.0) {
        x = s.a * dl;
        y = -s.m0;
        return;
    }
    const double sinLat = std::sin(latitude);
    const double nCot = s.a / std::sqrt(1.0 - s.e2 * sinLat * sinLat) / std::tan(latitude);
    const double e = dl * sinLat;
    x = nCot * std::sin(e);
    y = s.a * s.meridian(latitude) - s.m0 + nCot * (1.0 - std::cos(e));
}

} // namespace

std::uint32_t PolyconicSetParameters(double a, double f, double originLatitude,
                                     double centralMeridian, double falseEasting,
                                     double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    PolyconicState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s = Derived(s);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    SetAntimeridianNorthingBounds(s, kBoundLatitude, 0.0, Project);
    g_state = s;
    return 0;
}

void PolyconicGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                            double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t PolyconicForward(double latitude, double longitude, double& easting,
                               double& northing) {
    std::uint32_t flags = CheckGeodeticPoint(latitude, longitude);
    if (flags)
        return flags;

    const PolyconicState& s = g_state;
    if (std::fabs(longitude - s.centralMeridian) > kHalfPi)
        flags |= POLY_LongitudeWarning;
    double x, y;
    Project(s, latitude, FoldOnce(longitude - s.centralMeridian), x, y);
    easting = x + s.falseEasting;
    northing = y + s.falseNorthing;
    return flags;
}

std::uint32_t PolyconicInverse(double easting, double northing, double& latitude,
                               double& longitude) {
    const PolyconicState& s = g_state;
    std::uint32_t flags =
        CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                            s.falseNorthing, s.minNorthing, s.maxNorthing);
    if (flags)
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    if (dy + s.m0 > -1.0 && dy + s.m0 < 1.0) {
        latitude = 0.0;
        longitude = FoldAndClampLongitude(s.centralMeridian + dx / s.a);
        return 0;
    }
    // Snyder's Newton iteration in the latitude, on M / a and its derivative.
    const MeridianSeries& m = s.meridian;
    const double aa = (s.m0 + dy) / s.a;
    const double bb = dx * dx / (s.a * s.a) + aa * aa;
    double lat = aa;
    double c = 0.0;
    bool converged = false;
    for (int i = 0; i < kMaxIterations; ++i) {
        // One sine and cosine of 2 phi give the multiple angles the series
        // and its derivative need.
        const double sin2 = std::sin(2.0 * lat);
        const double cos2 = std::cos(2.0 * lat);
        const double sin4 = 2.0 * sin2 * cos2;
        const double cos4 = 2.0 * cos2 * cos2 - 1.0;
        const double sin6 = sin2 * cos4 + cos2 * sin4;
        const double cos6 = cos2 * cos4 - sin2 * sin4;
        const double sinLat2 = (1.0 - cos2) / 2.0;
        c = std::sqrt(1.0 - s.e2 * sinLat2) * sin2 / (1.0 + cos2);
        const double mn = m.c0 * lat - m.c1 * sin2 + m.c2 * sin4 - m.c3 * sin6;
        const double mnPrime = m.c0 - 2.0 * m.c1 * cos2 + 4.0 * m.c2 * cos4 - 6.0 * m.c3 * cos6;
        const double step = (aa * (c * mn + 1.0) - mn - 0.5 * (mn * mn + bb) * c) /
                            (s.e2 * sin2 * (mn * mn + bb - 2.0 * aa * mn) / (4.0 * c) +
                             (aa - mn) * (c * mnPrime - 2.0 / sin2) - mnPrime);
        lat -= step;
        if (std::fabs(step) <= 1e-12) {
            converged = true;
            break;
        }
    }
    // A step that is not a number, or one that never settles, leaves no
    // latitude to give.
    if (!converged || !IsFinite(lat))
        return PRJ_NorthingError;
    lat = ClampLatitude(lat);
    double lon = s.centralMeridian;
    if (!(std::fabs(std::fabs(lat) - kHalfPi) < 1e-5) && lat != 0.0) {
        const double sinLat = std::sin(lat);
        c = std::sqrt(1.0 - s.e2 * sinLat * sinLat) * std::tan(lat);
        double arg = dx * c / s.a;
        arg = arg > 1.0 ? 1.0 : (arg < -1.0 ? -1.0 : arg);
        lon += std::asin(arg) / sinLat;
    }
    latitude = lat;
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
