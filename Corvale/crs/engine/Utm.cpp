#include "crs/engine/Utm.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/TransverseMercator.h"

#include <cmath>

using namespace geoengine;

namespace {

constexpr double kMinLatitude = -1.4049900478554351; // -80.5 degrees
constexpr double kMaxLatitude = 1.4748032179352084;  // 84.5 degrees
constexpr double kMinEasting = 100000.0;
constexpr double kMaxEasting = 900000.0;
constexpr double kMinNorthing = 0.0;
constexpr double kMaxNorthing = 10000000.0;
constexpr double kScale = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kSouthFalseNorthing = 10000000.0;
// 2*pi plus a hair, so that -180 degrees lands just past 180 and so in zone 1.
constexpr double kNegativeLongitudeShift = 6.283185307279586;

struct UtmState {
    double a = kWgs84A;
    double f = kWgs84F;
    std::int32_t overrideZone = 0;
};

UtmState g_state;

// Zones 1..30 have central meridians 183..357 degrees; the Transverse
// Mercator set-up folds values above 180 back by 360.
double CentralMeridian(std::int32_t zone) {
    const double degrees = zone >= 31 ? 6.0 * zone - 183.0 : 6.0 * zone + 177.0;
    return degrees * kPi / 180.0;
}

constexpr double kMaxDistanceFromMeridian = 9.0 * kPi / 180.0;

double DistanceFromMeridian(double longitude, std::int32_t zone) {
    double d = std::fabs(longitude - CentralMeridian(zone));
    while (d > kPi)
        d = std::fabs(d - kTwoPi);
    return d;
}

bool EastingInRange(double e) {
    return e >= kMinEasting && e <= kMaxEasting;
}
bool NorthingInRange(double n) {
    return n >= kMinNorthing && n <= kMaxNorthing;
}

} // namespace

std::uint32_t UtmSetParameters(double a, double f, std::int32_t overrideZone) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= UTM_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= UTM_InverseFlatteningError;
    if (overrideZone < 0 || overrideZone > 60)
        flags |= UTM_ZoneOverrideError;
    if (flags)
        return flags;
    g_state = {a, f, overrideZone};
    return 0;
}

void UtmGetParameters(double& a, double& f, std::int32_t& overrideZone) {
    a = g_state.a;
    f = g_state.f;
    overrideZone = g_state.overrideZone;
}

std::uint32_t UtmForward(double latitude, double longitude, std::int32_t& zone, char& hemisphere,
                         double& easting, double& northing) {
    std::uint32_t flags = 0;
    if (!(latitude >= kMinLatitude && latitude <= kMaxLatitude))
        flags |= UTM_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= UTM_LongitudeError;
    if (flags)
        return flags;

    if (longitude < 0.0)
        longitude += kNegativeLongitudeShift;
    const long latDegrees = static_cast<long>(latitude * 180.0 / kPi);
    const long lonDegrees = static_cast<long>(longitude * 180.0 / kPi);

    std::int32_t computed = longitude < kPi
                                ? static_cast<std::int32_t>(31.0 + longitude * 180.0 / kPi / 6.0)
                                : static_cast<std::int32_t>(longitude * 180.0 / kPi / 6.0 - 29.0);
    if (computed > 60)
        computed = 1;
    // Norway: the south-west coast is widened into zone 32.
    if (latDegrees > 55 && latDegrees < 64) {
        if (lonDegrees < 3)
            computed = 31;
        else if (lonDegrees < 12)
            computed = 32;
    }
    // Svalbard: zones 32, 34 and 36 are not used.
    if (latDegrees > 71) {
        if (lonDegrees < 9)
            computed = 31;
        else if (lonDegrees < 21)
            computed = 33;
        else if (lonDegrees < 33)
            computed = 35;
        else if (lonDegrees < 42)
            computed = 37;
    }

    std::int32_t chosen = computed;
    const std::int32_t over = g_state.overrideZone;
    if (over != 0) {
        if (computed == 1 && over == 60)
            chosen = 60;
        else if (computed == 60 && over == 1)
            chosen = 1;
        else if (std::abs(over - computed) > 1)
            return UTM_ZoneOverrideError;
        else
            chosen = over;
    }

    const bool south = latitude < 0.0;
    const double falseNorthing = south ? kSouthFalseNorthing : 0.0;
    // The zone's parameters are always valid for a valid ellipsoid, and the
    // distortion warning of a wide zone says nothing UTM's own bounds miss.
    TransverseMercatorSetParameters(g_state.a, g_state.f, 0.0, CentralMeridian(chosen),
                                    kFalseEasting, falseNorthing, kScale);
    double e = 0.0;
    double n = 0.0;
    TransverseMercatorForward(latitude, longitude, e, n);

    if (!EastingInRange(e))
        flags |= UTM_EastingError;
    if (!NorthingInRange(n))
        flags |= UTM_NorthingError;
    zone = chosen;
    hemisphere = south ? 'S' : 'N';
    easting = e;
    northing = n;
    return flags;
}

std::uint32_t UtmInverse(std::int32_t zone, char hemisphere, double easting, double northing,
                         double& latitude, double& longitude) {
    std::uint32_t flags = 0;
    if (zone < 1 || zone > 60)
        flags |= UTM_ZoneError;
    if (hemisphere != 'N' && hemisphere != 'S')
        flags |= UTM_HemisphereError;
    if (!EastingInRange(easting))
        flags |= UTM_EastingError;
    if (!NorthingInRange(northing))
        flags |= UTM_NorthingError;
    if (flags)
        return flags;

    const double falseNorthing = hemisphere == 'S' ? kSouthFalseNorthing : 0.0;
    TransverseMercatorSetParameters(g_state.a, g_state.f, 0.0, CentralMeridian(zone), kFalseEasting,
                                    falseNorthing, kScale);
    double lat = latitude;
    double lon = longitude;
    const std::uint32_t tm = TransverseMercatorInverse(easting, northing, lat, lon);
    if (tm & PRJ_EastingError)
        flags = UTM_EastingError;
    // The Transverse Mercator inverse warns beyond 9 degrees times the
    // cosine of the latitude, which near the pole cuts into the widened
    // Svalbard and Norway zones: UTM's own forward conversion writes points
    // 6 degrees from the meridian there, so only a point farther out than
    // the forward conversion ever goes (9 degrees) is refused.
    if ((tm & TME_LongitudeWarning) && DistanceFromMeridian(lon, zone) > kMaxDistanceFromMeridian)
        flags = UTM_EastingError;
    if (tm & PRJ_NorthingError)
        flags |= UTM_NorthingError;
    if (!(lat >= kMinLatitude && lat <= kMaxLatitude))
        flags |= UTM_NorthingError;
    latitude = lat;
    longitude = lon;
    return flags;
}
