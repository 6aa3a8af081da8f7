#include "crs/engine/EckertIV.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 16902288.0;
constexpr double kShortEasting = 16808386.0;
constexpr double kNorthingHalfWidth = 8451144.0;
constexpr double kXFactor = 0.4222382;
constexpr double kYFactor = 1.3265004;
constexpr double kAreaConstant = 2.0 + kHalfPi;

struct EckertIVState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double xRa = 0.0;
    double yRa = 0.0;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
};

EckertIVState Derived(EckertIVState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.xRa = kXFactor * s.ra;
    s.yRa = kYFactor * s.ra;
    return s;
}

EckertIVState g_state = Derived(EckertIVState{});

} // namespace

std::uint32_t EckertIVSetParameters(double a, double f, double centralMeridian, double falseEasting,
                                    double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    EckertIVState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s = Derived(s);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    g_state = s;
    return 0;
}

void EckertIVGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                           double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t EckertIVForward(double latitude, double longitude, double& easting,
                              double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const EckertIVState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    // theta + sin theta cos theta + 2 sin theta = (2 + pi/2) sin phi.
    const double target = kAreaConstant * std::sin(latitude);
    double theta = latitude / 2.0;
    const auto step = [target](double t) {
        const double sinT = std::sin(t);
        const double cosT = std::cos(t);
        return -(t + sinT * cosT + 2.0 * sinT - target) / (2.0 * cosT * (1.0 + cosT));
    };
    const auto residual = [target](double t) {
        return t + std::sin(t) * std::cos(t) + 2.0 * std::sin(t) - target;
    };
    if (!SolveAuxiliaryAngle(theta, step, residual))
        return PRJ_LatitudeError;
    easting = s.xRa * dl * (1.0 + std::cos(theta)) + s.falseEasting;
    northing = s.yRa * std::sin(theta) + s.falseNorthing;
    return 0;
}

std::uint32_t EckertIVInverse(double easting, double northing, double& latitude,
                              double& longitude) {
    const EckertIVState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -kNorthingHalfWidth, kNorthingHalfWidth))
        return flags;

    // The northing band is about half a metre wider than the map: the last
    // half metre is the pole.
    const double theta = std::asin(Clamp((northing - s.falseNorthing) / s.yRa));
    const double sinT = std::sin(theta);
    const double cosT = std::cos(theta);
    latitude = ClampLatitude(std::asin(Clamp((theta + sinT * cosT + 2.0 * sinT) / kAreaConstant)));
    double lon = s.centralMeridian;
    // At the poles (cos theta = 0) the whole pole line is one point.
    if (1.0 + cosT > 0.0)
        lon += (easting - s.falseEasting) / (s.xRa * (1.0 + cosT));
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
