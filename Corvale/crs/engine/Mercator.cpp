#include "crs/engine/Mercator.h"

#include "crs/engine/EngineMath.h"

#include <cmath>

using namespace geoengine;

namespace {

// 89.5 degrees: the projection goes to infinity at the poles.
constexpr double kMaxLatitude = 1.562069680534925;

struct MercatorState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double scaleFactor = 1.0;
    double e2 = 0.0;
    double e = 0.0;
    // Coefficients of the inverse series in the conformal latitude.
    double c2 = 0.0, c4 = 0.0, c6 = 0.0, c8 = 0.0;
    double deltaEasting = 0.0;
    double deltaNorthing = 0.0;
};

MercatorState g_state;

void Derive(MercatorState& s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(s.e2);
    const double sinLat = std::sin(s.originLatitude);
    s.scaleFactor = std::cos(s.originLatitude) / std::sqrt(1.0 - s.e2 * sinLat * sinLat);
    const double e4 = s.e2 * s.e2;
    const double e6 = e4 * s.e2;
    const double e8 = e6 * s.e2;
    s.c2 = s.e2 / 2.0 + 5.0 * e4 / 24.0 + e6 / 12.0 + 13.0 * e8 / 360.0;
    s.c4 = 7.0 * e4 / 48.0 + 29.0 * e6 / 240.0 + 811.0 * e8 / 11520.0;
    s.c6 = 7.0 * e6 / 120.0 + 81.0 * e8 / 1120.0;
    s.c8 = 4279.0 * e8 / 161280.0;
}

void ComputeBounds() {
    // The projection of the farthest point the forward accepts, half way
    // round from the central meridian, with one per cent to spare.
    double e = 0.0, n = 0.0;
    MercatorForward(kMaxLatitude, g_state.centralMeridian + kPi, e, n);
    g_state.deltaEasting = 1.01 * std::fabs(e - g_state.falseEasting);
    g_state.deltaNorthing = 1.01 * std::fabs(n - g_state.falseNorthing);
}

MercatorState StartState() {
    MercatorState s;
    Derive(s);
    return s;
}

struct StartBounds {
    StartBounds() {
        g_state = StartState();
        ComputeBounds();
    }
};
const StartBounds g_startBounds;

} // namespace

std::uint32_t MercatorSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                    double falseEasting, double falseNorthing, double& scaleFactor) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= PRJ_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= PRJ_InverseFlatteningError;
    if (!(originLatitude >= -kMaxLatitude && originLatitude <= kMaxLatitude))
        flags |= PRJ_OriginLatitudeError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= PRJ_CentralMeridianError;
    // False values that are not numbers would make every result NaN.
    if (!IsFinite(falseEasting))
        flags |= PRJ_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= PRJ_NorthingError;
    if (flags)
        return flags;

    if (centralMeridian > kPi)
        centralMeridian -= kTwoPi;
    // The engine sets the same parameters before every conversion: the
    // derived values are the same then, so they are kept.
    const bool same = g_state.a == a && g_state.f == f && g_state.originLatitude == originLatitude &&
                      g_state.centralMeridian == centralMeridian &&
                      g_state.falseEasting == falseEasting && g_state.falseNorthing == falseNorthing;
    if (!same) {
        g_state.a = a;
        g_state.f = f;
        g_state.originLatitude = originLatitude;
        g_state.centralMeridian = centralMeridian;
        g_state.falseEasting = falseEasting;
        g_state.falseNorthing = falseNorthing;
        Derive(g_state);
        ComputeBounds();
    }
    scaleFactor = g_state.scaleFactor;
    return 0;
}

void MercatorGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                           double& falseEasting, double& falseNorthing, double& scaleFactor) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
    scaleFactor = g_state.scaleFactor;
}

std::uint32_t MercatorForward(double latitude, double longitude, double& easting, double& northing) {
    std::uint32_t flags = 0;
    if (!(latitude >= -kMaxLatitude && latitude <= kMaxLatitude))
        flags |= PRJ_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= PRJ_LongitudeError;
    if (flags)
        return flags;

    if (longitude > kPi)
        longitude -= kTwoPi;
    const double ka = g_state.scaleFactor * g_state.a;
    const double es = g_state.e * std::sin(latitude);
    northing = ka * std::log(std::tan(kPi / 4.0 + latitude / 2.0) *
                             std::pow((1.0 - es) / (1.0 + es), g_state.e / 2.0)) +
               g_state.falseNorthing;
    double dl = longitude - g_state.centralMeridian;
    if (dl > kPi)
        dl -= kTwoPi;
    else if (dl < -kPi)
        dl += kTwoPi;
    easting = ka * dl + g_state.falseEasting;
    return 0;
}

std::uint32_t MercatorInverse(double easting, double northing, double& latitude, double& longitude) {
    std::uint32_t flags = 0;
    if (!(easting >= g_state.falseEasting - g_state.deltaEasting &&
          easting <= g_state.falseEasting + g_state.deltaEasting))
        flags |= PRJ_EastingError;
    if (!(northing >= g_state.falseNorthing - g_state.deltaNorthing &&
          northing <= g_state.falseNorthing + g_state.deltaNorthing))
        flags |= PRJ_NorthingError;
    if (flags)
        return flags;

    const double ka = g_state.scaleFactor * g_state.a;
    double lon = g_state.centralMeridian + (easting - g_state.falseEasting) / ka;
    const double chi = kHalfPi - 2.0 * std::atan(1.0 / std::exp((northing - g_state.falseNorthing) / ka));
    const double lat = chi + g_state.c2 * std::sin(2.0 * chi) + g_state.c4 * std::sin(4.0 * chi) +
                       g_state.c6 * std::sin(6.0 * chi) + g_state.c8 * std::sin(8.0 * chi);
    if (lon > kPi)
        lon -= kTwoPi;
    else if (lon < -kPi)
        lon += kTwoPi;
    latitude = lat;
    longitude = lon;
    return 0;
}
