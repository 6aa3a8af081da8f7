#include "crs/engine/LambertConformalConic1.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 400000000.0;
// About one arc-second either side of the equator: no cone.
constexpr double kMinOriginLatitude = 4.89e-6;
// The inverse's latitude iteration settles in a handful of steps; 30 are
// allowed.
constexpr int kLatitudeBudget = 30;
constexpr double kLatitudeTolerance = 4.85e-10;

constexpr CheckFlags kFlags = {LCC1_LatitudeError,        LCC1_LongitudeError,
                               LCC1_EastingError,         LCC1_NorthingError,
                               LCC1_CentralMeridianError, LCC1_SemiMajorAxisError,
                               LCC1_InverseFlatteningError};

struct Lcc1State {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double scaleFactor = 1.0;
    double e = 0.0;
    double halfE = 0.0;
    double n = 0.0;
    double t0 = 0.0;
    double rho0 = 0.0;
};

Lcc1State Derived(Lcc1State s) {
    s.e = std::sqrt(2.0 * s.f - s.f * s.f);
    s.halfE = s.e / 2.0;
    s.n = std::sin(s.originLatitude);
    s.t0 = ConformalT(s.originLatitude, s.e);
    s.rho0 = s.a * s.scaleFactor * ParallelRadius(s.originLatitude, s.e * s.e) / s.n;
    return s;
}

Lcc1State g_state = Derived(Lcc1State{});

} // namespace

std::uint32_t LambertConformalConic1SetParameters(double a, double f, double originLatitude,
                                                  double centralMeridian, double falseEasting,
                                                  double falseNorthing, double scaleFactor) {
    std::uint32_t flags =
        CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing, kFlags);
    if (!InRange(originLatitude, -kMaxConeLatitude, kMaxConeLatitude) ||
        (originLatitude > -kMinOriginLatitude && originLatitude < kMinOriginLatitude))
        flags |= LCC1_OriginLatitudeError;
    if (!(scaleFactor >= 1e-9) || !IsFinite(scaleFactor))
        flags |= LCC1_ScaleFactorError;
    if (flags)
        return flags;

    Lcc1State s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s.scaleFactor = scaleFactor;
    // The two-parallel module sets the same cone before every point: the
    // derived values are the same then, so they are kept.
    const Lcc1State& old = g_state;
    if (old.a == s.a && old.f == s.f && old.originLatitude == s.originLatitude &&
        old.centralMeridian == s.centralMeridian && old.falseEasting == s.falseEasting &&
        old.falseNorthing == s.falseNorthing && old.scaleFactor == s.scaleFactor)
        return 0;
    g_state = Derived(s);
    return 0;
}

void LambertConformalConic1GetParameters(double& a, double& f, double& originLatitude,
                                         double& centralMeridian, double& falseEasting,
                                         double& falseNorthing, double& scaleFactor) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
    scaleFactor = g_state.scaleFactor;
}

std::uint32_t LambertConformalConic1Forward(double latitude, double longitude, double& easting,
                                            double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude, kFlags))
        return flags;

    const Lcc1State& s = g_state;
    double rho = 0.0;
    if (std::fabs(std::fabs(latitude) - kHalfPi) <= 1e-10) {
        // The pole away from the apex lies at infinity.
        if (s.n * latitude <= 0.0)
            return LCC1_LatitudeError;
    } else {
        rho = s.rho0 * std::pow(ConformalT(latitude, s.e) / s.t0, s.n);
    }
    const double theta = s.n * FoldOnce(longitude - s.centralMeridian);
    ConeToGrid(rho, theta, s.rho0, s.falseEasting, s.falseNorthing, easting, northing);
    return 0;
}

std::uint32_t LambertConformalConic1Inverse(double easting, double northing, double& latitude,
                                            double& longitude) {
    const Lcc1State& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kHalfWidth, kHalfWidth,
                                s.falseNorthing, -kHalfWidth, kHalfWidth, kFlags))
        return flags;

    const ConePoint p = GridToCone(easting, northing, s.rho0, s.falseEasting, s.falseNorthing, s.n);
    const double rho = p.rho;
    if (rho == 0.0) {
        latitude = s.n > 0.0 ? kHalfPi : -kHalfPi;
        longitude = s.centralMeridian;
        return 0;
    }
    const double theta = ConeAngle(p, s.n);
    const double t = s.t0 * std::pow(rho / s.rho0, 1.0 / s.n);
    double lat = kHalfPi - 2.0 * std::atan(t);
    if (!(std::fabs(lat) <= kLatitudeTolerance)) {
        int steps = 0;
        for (;;) {
            const double es = s.e * std::sin(lat);
            const double next =
                kHalfPi - 2.0 * std::atan(t * std::pow((1.0 - es) / (1.0 + es), s.halfE));
            const double change = std::fabs(next - lat);
            lat = next;
            ++steps;
            if (steps >= kLatitudeBudget)
                return LCC1_NorthingError;
            if (change <= kLatitudeTolerance)
                break;
        }
    }
    if (std::fabs(lat) < 2e-7)
        lat = 0.0;
    latitude = ClampLatitude(lat);
    longitude = SnapLongitude(s.centralMeridian + theta / s.n);
    return 0;
}
