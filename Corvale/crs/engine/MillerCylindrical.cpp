#include "crs/engine/MillerCylindrical.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 20015110.0;
constexpr double kShortEasting = 19903915.0;
constexpr double kNorthingHalfWidth = 14675058.0;

struct MillerState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = SphereRadius(kWgs84A, 2.0 * kWgs84F - kWgs84F * kWgs84F);
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
};

MillerState g_state;

} // namespace

std::uint32_t MillerCylindricalSetParameters(double a, double f, double centralMeridian,
                                             double falseEasting, double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    MillerState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.ra = SphereRadius(a, 2.0 * f - f * f);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    g_state = s;
    return 0;
}

void MillerCylindricalGetParameters(double& a, double& f, double& centralMeridian,
                                    double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t MillerCylindricalForward(double latitude, double longitude, double& easting,
                                       double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const MillerState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sin08 = std::sin(0.8 * latitude);
    easting = s.ra * dl + s.falseEasting;
    northing = (s.ra / 1.6) * std::log((1.0 + sin08) / (1.0 - sin08)) + s.falseNorthing;
    return 0;
}

std::uint32_t MillerCylindricalInverse(double easting, double northing, double& latitude,
                                       double& longitude) {
    const MillerState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -kNorthingHalfWidth, kNorthingHalfWidth))
        return flags;

    latitude = ClampLatitude(std::atan(std::sinh(0.8 * (northing - s.falseNorthing) / s.ra)) / 0.8);
    longitude = FoldAndClampLongitude(s.centralMeridian + (easting - s.falseEasting) / s.ra);
    return 0;
}
