#include "crs/engine/Mollweide.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 18019930.0;
constexpr double kShortEasting = 17919819.0;
constexpr double kNorthingHalfWidth = 9009965.0;
constexpr double kSqrt2 = 1.4142135623730951;
constexpr double kSqrt8 = 2.8284271247461903;

struct MollweideState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double sqrt2Ra = 0.0;
    double sqrt8Ra = 0.0;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
};

MollweideState Derived(MollweideState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.sqrt2Ra = kSqrt2 * s.ra;
    s.sqrt8Ra = kSqrt8 * s.ra;
    return s;
}

MollweideState g_state = Derived(MollweideState{});

} // namespace

std::uint32_t MollweideSetParameters(double a, double f, double centralMeridian,
                                     double falseEasting, double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    MollweideState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s = Derived(s);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    g_state = s;
    return 0;
}

void MollweideGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                            double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t MollweideForward(double latitude, double longitude, double& easting,
                               double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const MollweideState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    // theta' + sin theta' = pi sin phi.
    const double target = kPi * std::sin(latitude);
    double thetaP = latitude;
    const auto step = [target](double t) {
        return -(t + std::sin(t) - target) / (1.0 + std::cos(t));
    };
    const auto residual = [target](double t) { return t + std::sin(t) - target; };
    if (!SolveAuxiliaryAngle(thetaP, step, residual))
        return PRJ_LatitudeError;
    const double theta = thetaP / 2.0;
    easting = (s.sqrt8Ra / kPi) * dl * std::cos(theta) + s.falseEasting;
    northing = s.sqrt2Ra * std::sin(theta) + s.falseNorthing;
    return 0;
}

std::uint32_t MollweideInverse(double easting, double northing, double& latitude,
                               double& longitude) {
    const MollweideState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -kNorthingHalfWidth, kNorthingHalfWidth))
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double i = dy / s.sqrt2Ra;
    double lat;
    double theta = 0.0;
    if (std::fabs(i) <= 1.0) {
        theta = std::asin(i);
        double sinLat = (2.0 * theta + std::sin(2.0 * theta)) / kPi;
        sinLat = sinLat > 1.0 ? 1.0 : (sinLat < -1.0 ? -1.0 : sinLat);
        lat = std::asin(sinLat);
    } else {
        lat = dy >= 0.0 ? kHalfPi : -kHalfPi;
    }
    double lon = s.centralMeridian;
    if (!(std::fabs(std::fabs(lat) - kHalfPi) < 1e-10))
        lon += kPi * dx / (s.sqrt8Ra * std::cos(theta));
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
