#include "crs/PseudoMercator.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/ProjectionFlags.h"

#include <cmath>

using namespace geoengine;

namespace {

// The latitude limit of the ellipsoidal Mercator module, kept for this one.
constexpr double kMaxLatitude = 1.562069680534925;

double ScaledRadius(const PseudoMercatorParameters& p) { return p.a * std::cos(p.originLatitude); }

double WrapLongitude(double lon) {
    if (lon > kPi)
        return lon - kTwoPi;
    if (lon < -kPi)
        return lon + kTwoPi;
    return lon;
}

} // namespace

std::uint32_t PseudoMercatorForward(const PseudoMercatorParameters& p, double latitude, double longitude,
                                    double& easting, double& northing) {
    std::uint32_t flags = 0;
    if (!(latitude >= -kMaxLatitude && latitude <= kMaxLatitude))
        flags |= PRJ_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= PRJ_LongitudeError;
    if (flags)
        return flags;
    const double r = ScaledRadius(p);
    easting = p.falseEasting + r * WrapLongitude(WrapLongitude(longitude) - p.centralMeridian);
    northing = p.falseNorthing + r * std::log(std::tan(kPi / 4.0 + latitude / 2.0));
    return 0;
}

std::uint32_t PseudoMercatorInverse(const PseudoMercatorParameters& p, double easting, double northing,
                                    double& latitude, double& longitude) {
    const double r = ScaledRadius(p);
    const double maxEasting = 1.01 * r * kPi;
    const double maxNorthing = 1.01 * r * std::log(std::tan(kPi / 4.0 + kMaxLatitude / 2.0));
    std::uint32_t flags = 0;
    if (!(std::fabs(easting - p.falseEasting) <= maxEasting))
        flags |= PRJ_EastingError;
    if (!(std::fabs(northing - p.falseNorthing) <= maxNorthing))
        flags |= PRJ_NorthingError;
    if (flags)
        return flags;
    latitude = kHalfPi - 2.0 * std::atan(std::exp(-(northing - p.falseNorthing) / r));
    longitude = WrapLongitude(p.centralMeridian + (easting - p.falseEasting) / r);
    return 0;
}
