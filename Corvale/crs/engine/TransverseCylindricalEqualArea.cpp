#include "crs/engine/TransverseCylindricalEqualArea.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kEastingHalfWidth = 6398628.0;
// Pole to pole along the central meridian.
constexpr double kNorthingSpan = 20003931.458986;

struct TcedState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double scaleFactor = 1.0;
    double e2 = 0.0;
    double e = 0.0;
    double oneMinusE2 = 1.0;
    double qPole = 0.0;
    MeridianSeries meridian;
    FootpointSeries footpoint;
    AuthalicSeries authalic;
    double m0 = 0.0;
    double minNorthing = -20003931.0;
    double maxNorthing = 20003931.0;
};

TcedState Derived(TcedState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(s.e2);
    s.oneMinusE2 = 1.0 - s.e2;
    s.qPole = AuthalicQ(kHalfPi, s.e, s.e2);
    s.meridian.Derive(s.e2);
    s.footpoint.Derive(s.e2);
    s.authalic.Derive(s.e2);
    s.m0 = s.a * s.meridian(s.originLatitude);
    return s;
}

TcedState g_state = Derived(TcedState{});

// The forward without the checks, on a given parameter set.
void Project(const TcedState& s, double latitude, double dl, double& x, double& y) {
    double sinBeta = AuthalicQ(latitude, s.e, s.e2) / s.qPole;
    sinBeta = sinBeta > 1.0 ? 1.0 : (sinBeta < -1.0 ? -1.0 : sinBeta);
    if (latitude == kHalfPi)
        sinBeta = 1.0;
    const double beta = std::asin(sinBeta);
    const double betaC = std::atan(std::tan(beta) / std::cos(dl));
    const double phiC = s.authalic(betaC);
    const double sinPhiC = std::sin(phiC);
    x = s.a * std::cos(beta) * std::cos(phiC) * std::sin(dl) /
        (s.scaleFactor * std::cos(betaC) * std::sqrt(1.0 - s.e2 * sinPhiC * sinPhiC));
    y = s.scaleFactor * (s.a * s.meridian(phiC) - s.m0);
}

} // namespace

std::uint32_t TransverseCylindricalEqualAreaSetParameters(double a, double f, double originLatitude,
                                                          double centralMeridian,
                                                          double falseEasting, double falseNorthing,
                                                          double scaleFactor) {
    std::uint32_t flags = CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
                          CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError);
    if (!InRange(scaleFactor, 0.3, 3.0))
        flags |= TCEA_ScaleFactorError;
    if (flags)
        return flags;

    TcedState s = g_state;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s.scaleFactor = scaleFactor;
    s = Derived(s);
    // The northing of the pole, half way round: the band reaches from there
    // to the other pole. A pole exactly on the origin keeps the band.
    double x, n;
    Project(s, kHalfPi, FoldOnce(kPi - s.centralMeridian), x, n);
    if (n > 0.0) {
        s.minNorthing = n - kNorthingSpan;
        s.maxNorthing = n;
    } else if (n < 0.0) {
        s.minNorthing = n;
        s.maxNorthing = n + kNorthingSpan;
    }
    g_state = s;
    return 0;
}

void TransverseCylindricalEqualAreaGetParameters(double& a, double& f, double& originLatitude,
                                                 double& centralMeridian, double& falseEasting,
                                                 double& falseNorthing, double& scaleFactor) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
    scaleFactor = g_state.scaleFactor;
}

std::uint32_t TransverseCylindricalEqualAreaForward(double latitude, double longitude,
                                                    double& easting, double& northing) {
    std::uint32_t flags = CheckGeodeticPoint(latitude, longitude);
    if (flags)
        return flags;

    const TcedState& s = g_state;
    if (std::fabs(longitude - s.centralMeridian) >= kHalfPi)
        flags |= TCEA_LongitudeWarning;
    double x, y;
    Project(s, latitude, FoldOnce(longitude - s.centralMeridian), x, y);
    easting = x + s.falseEasting;
    northing = y + s.falseNorthing;
    return flags;
}

std::uint32_t TransverseCylindricalEqualAreaInverse(double easting, double northing,
                                                    double& latitude, double& longitude) {
    const TcedState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kEastingHalfWidth,
                                kEastingHalfWidth, s.falseNorthing, s.minNorthing, s.maxNorthing))
        return flags;

    const double x = easting - s.falseEasting;
    const double y = northing - s.falseNorthing;
    const double mu = (s.m0 + y / s.scaleFactor) / (s.a * s.meridian.c0);
    const double phiC = s.footpoint(mu);
    double sinBetaC = AuthalicQ(phiC, s.e, s.e2) / s.qPole;
    sinBetaC = sinBetaC > 1.0 ? 1.0 : (sinBetaC < -1.0 ? -1.0 : sinBetaC);
    const double betaC = std::asin(sinBetaC);
    const double sinPhiC = std::sin(phiC);
    // The forward's factor cos(phiC) / (cos(betaC) sqrt(1 - e^2 sin^2 phiC)),
    // which keeps the areas true, taken back out.
    double sinBetaP = s.scaleFactor * x * std::cos(betaC) * std::sqrt(1.0 - s.e2 * sinPhiC * sinPhiC) /
                      (s.a * std::cos(phiC));
    sinBetaP = sinBetaP > 1.0 ? 1.0 : (sinBetaP < -1.0 ? -1.0 : sinBetaP);
    const double betaP = -std::asin(sinBetaP);
    const double beta = std::asin(std::cos(betaP) * std::sin(betaC));
    latitude = ClampLatitude(s.authalic(beta));
    longitude =
        FoldAndClampLongitude(s.centralMeridian - std::atan(std::tan(betaP) / std::cos(betaC)));
    return 0;
}
