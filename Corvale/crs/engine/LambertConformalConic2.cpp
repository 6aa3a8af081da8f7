#include "crs/engine/LambertConformalConic2.h"

#include "crs/engine/LambertConformalConic1.h"
#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 400000000.0;

constexpr CheckFlags kFlags = {LCC2_LatitudeError,        LCC2_LongitudeError,
                               LCC2_EastingError,         LCC2_NorthingError,
                               LCC2_CentralMeridianError, LCC2_SemiMajorAxisError,
                               LCC2_InverseFlatteningError};

struct Lcc2State {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0.0;
    double firstParallel = 0.6981317007977318;
    double secondParallel = 0.8726646259971648;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    // The equivalent one-parallel cone.
    double coneLatitude = 0.0;
    double coneScaleFactor = 1.0;
    double coneFalseNorthing = 0.0;
};

void Reduce(Lcc2State& s) {
    const double e2 = 2.0 * s.f - s.f * s.f;
    const double e = std::sqrt(e2);
    if (std::fabs(s.firstParallel - s.secondParallel) <= 1e-10) {
        s.coneLatitude = s.firstParallel;
        s.coneScaleFactor = 1.0;
        s.coneFalseNorthing = s.falseNorthing;
        return;
    }
    const double m1 = ParallelRadius(s.firstParallel, e2);
    const double m2 = ParallelRadius(s.secondParallel, e2);
    const double t1 = ConformalT(s.firstParallel, e);
    const double t2 = ConformalT(s.secondParallel, e);
    const double n = std::log(m1 / m2) / std::log(t1 / t2);
    s.coneLatitude = std::asin(n);
    s.coneScaleFactor =
        (m1 / ParallelRadius(s.coneLatitude, e2)) * std::pow(ConformalT(s.coneLatitude, e) / t1, n);
    const auto rho = [&](double phi) {
        return s.a * m1 * std::pow(ConformalT(phi, e) / t1, n) / n;
    };
    s.coneFalseNorthing = s.falseNorthing + rho(s.originLatitude) - rho(s.coneLatitude);
}

Lcc2State Initial() {
    Lcc2State s;
    Reduce(s);
    return s;
}

Lcc2State g_state = Initial();

std::uint32_t MapOneParallelFlags(std::uint32_t flags) {
    std::uint32_t mapped = 0;
    if (flags & LCC1_SemiMajorAxisError)
        mapped |= LCC2_SemiMajorAxisError;
    if (flags & LCC1_InverseFlatteningError)
        mapped |= LCC2_InverseFlatteningError;
    if (flags & LCC1_OriginLatitudeError)
        mapped |= LCC2_OriginLatitudeError;
    if (flags & LCC1_CentralMeridianError)
        mapped |= LCC2_CentralMeridianError;
    if (flags & LCC1_ScaleFactorError)
        mapped |= LCC2_ScaleFactorError;
    if (flags & LCC1_EastingError)
        mapped |= LCC2_EastingError;
    if (flags & LCC1_NorthingError)
        mapped |= LCC2_NorthingError;
    return mapped;
}

std::uint32_t SetOneParallelCone(const Lcc2State& s) {
    return MapOneParallelFlags(LambertConformalConic1SetParameters(
        s.a, s.f, s.coneLatitude, s.centralMeridian, s.falseEasting, s.coneFalseNorthing,
        s.coneScaleFactor));
}

} // namespace

std::uint32_t LambertConformalConic2SetParameters(double a, double f, double originLatitude,
                                                  double centralMeridian, double firstParallel,
                                                  double secondParallel, double falseEasting,
                                                  double falseNorthing) {
    std::uint32_t flags =
        CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing, kFlags) |
        CheckParallelPair(firstParallel, secondParallel, LCC2_ZeroParallelsError,
                          LCC2_OppositeParallelsError);
    if (!InRange(originLatitude, -kMaxConeLatitude, kMaxConeLatitude))
        flags |= LCC2_OriginLatitudeError;
    if (!InRange(firstParallel, -kMaxConeLatitude, kMaxConeLatitude))
        flags |= LCC2_FirstParallelError;
    if (!InRange(secondParallel, -kMaxConeLatitude, kMaxConeLatitude))
        flags |= LCC2_SecondParallelError;
    if (flags)
        return flags;

    Lcc2State s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s.firstParallel = firstParallel;
    s.secondParallel = secondParallel;
    Reduce(s);
    // The two-parallel set stays even when the cone it reduces to is
    // refused: the refusal is reported, and every later operation sets the
    // cone again.
    g_state = s;
    return SetOneParallelCone(s);
}

void LambertConformalConic2GetParameters(double& a, double& f, double& originLatitude,
                                         double& centralMeridian, double& firstParallel,
                                         double& secondParallel, double& falseEasting,
                                         double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
    firstParallel = g_state.firstParallel;
    secondParallel = g_state.secondParallel;
}

std::uint32_t LambertConformalConic2Forward(double latitude, double longitude, double& easting,
                                            double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude, kFlags))
        return flags;
    if (const std::uint32_t setUp = SetOneParallelCone(g_state))
        return setUp;
    // The one-parallel flags 0x01 and 0x02 are this module's.
    return LambertConformalConic1Forward(latitude, longitude, easting, northing);
}

std::uint32_t LambertConformalConic2Inverse(double easting, double northing, double& latitude,
                                            double& longitude) {
    const Lcc2State& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kHalfWidth, kHalfWidth,
                                s.coneFalseNorthing, -kHalfWidth, kHalfWidth, kFlags))
        return flags;
    if (const std::uint32_t setUp = SetOneParallelCone(s))
        return setUp;
    // The one-parallel flags 0x04 and 0x08 are this module's.
    return LambertConformalConic1Inverse(easting, northing, latitude, longitude);
}
