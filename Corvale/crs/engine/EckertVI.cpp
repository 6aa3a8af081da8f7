#include "crs/engine/EckertVI.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 17653838.0;
constexpr double kShortEasting = 17555761.0;
constexpr double kNorthingHalfWidth = 8826919.0;
constexpr double kAreaConstant = 1.0 + kHalfPi;

struct EckertVIState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double r6 = 0.0;
    double invR6 = 0.0;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
};

EckertVIState Derived(EckertVIState s) {
    s.r6 = SphereRadius(s.a, 2.0 * s.f - s.f * s.f) / std::sqrt(2.0 + kPi);
    s.invR6 = 1.0 / s.r6;
    return s;
}

EckertVIState g_state = Derived(EckertVIState{});

} // namespace

std::uint32_t EckertVISetParameters(double a, double f, double centralMeridian, double falseEasting,
                                    double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    EckertVIState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s = Derived(s);
    if (s.centralMeridian > 0.0) {
        s.minEasting = -17653839.0;
        s.maxEasting = kShortEasting;
    } else {
        SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    }
    g_state = s;
    return 0;
}

void EckertVIGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                           double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t EckertVIForward(double latitude, double longitude, double& easting,
                              double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const EckertVIState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    // theta + sin theta = (1 + pi/2) sin phi.
    const double target = kAreaConstant * std::sin(latitude);
    double theta = latitude;
    bool converged = false;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double step = -(theta + std::sin(theta) - target) / (1.0 + std::cos(theta));
        theta += step;
        if (!(std::fabs(step) > 4.85e-10)) {
            converged = true;
            break;
        }
    }
    // Rounding can keep the last steps from shrinking below the tolerance
    // at the poles; a root that satisfies the equation is still a root.
    if (!converged && !(std::fabs(theta + std::sin(theta) - target) <= 1e-12))
        return PRJ_LatitudeError;
    easting = s.r6 * dl * (1.0 + std::cos(theta)) + s.falseEasting;
    northing = 2.0 * s.r6 * theta + s.falseNorthing;
    return 0;
}

std::uint32_t EckertVIInverse(double easting, double northing, double& latitude,
                              double& longitude) {
    const EckertVIState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -kNorthingHalfWidth, kNorthingHalfWidth))
        return flags;

    const double theta = (northing - s.falseNorthing) * s.invR6 / 2.0;
    const double sinLat = (theta + std::sin(theta)) / kAreaConstant;
    latitude = sinLat >= 1.0 ? kHalfPi : (sinLat <= -1.0 ? -kHalfPi : std::asin(sinLat));
    latitude = ClampLatitude(latitude);
    const double cosT1 = 1.0 + std::cos(theta);
    double lon = s.centralMeridian;
    // The pole line is one point; its easting says nothing of longitude.
    if (cosT1 > 0.0)
        lon += (easting - s.falseEasting) * s.invR6 / cosT1;
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
