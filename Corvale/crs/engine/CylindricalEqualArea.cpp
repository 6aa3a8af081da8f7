#include "crs/engine/CylindricalEqualArea.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

struct CylindricalEqualAreaState {
    double a = kWgs84A;
    double f = kWgs84F;
    double standardParallel = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    double e = 0.0;
    double k0 = 1.0;
    double aK0 = 0.0;
    double twoK0 = 2.0;
    double qPole = 0.0;
    AuthalicSeries authalic;
    double minEasting = -20037509.0;
    double maxEasting = 20037509.0;
    double northingHalfWidth = 6363886.0;
};

CylindricalEqualAreaState Derived(CylindricalEqualAreaState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(s.e2);
    const double sinParallel = std::sin(s.standardParallel);
    s.k0 = std::cos(s.standardParallel) / std::sqrt(1.0 - s.e2 * sinParallel * sinParallel);
    s.aK0 = s.a * s.k0;
    s.twoK0 = 2.0 * s.k0;
    s.qPole = AuthalicQ(kHalfPi, s.e, s.e2);
    s.authalic.Derive(s.e2);
    return s;
}

CylindricalEqualAreaState g_state = Derived(CylindricalEqualAreaState{});

} // namespace

std::uint32_t CylindricalEqualAreaSetParameters(double a, double f, double standardParallel,
                                                double centralMeridian, double falseEasting,
                                                double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(standardParallel, PRJ_OriginLatitudeError))
        return flags;

    CylindricalEqualAreaState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.standardParallel = standardParallel;
    s = Derived(s);
    // The forward at the edges of the accepted longitudes; the shifted side
    // loses one degree.
    if (s.centralMeridian > 0.0) {
        s.maxEasting = s.aK0 * (kPi - kOneDegree);
        s.minEasting = -s.aK0 * kPi;
    } else if (s.centralMeridian < 0.0) {
        s.maxEasting = s.aK0 * kPi;
        s.minEasting = s.aK0 * (-kPi + kOneDegree);
    } else {
        s.maxEasting = s.aK0 * kPi;
        s.minEasting = -s.maxEasting;
    }
    s.northingHalfWidth = std::fabs(s.a * s.qPole / s.twoK0);
    g_state = s;
    return 0;
}

void CylindricalEqualAreaGetParameters(double& a, double& f, double& standardParallel,
                                       double& centralMeridian, double& falseEasting,
                                       double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    standardParallel = g_state.standardParallel;
}

std::uint32_t CylindricalEqualAreaForward(double latitude, double longitude, double& easting,
                                          double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const CylindricalEqualAreaState& s = g_state;
    easting = s.aK0 * FoldOnce(longitude - s.centralMeridian) + s.falseEasting;
    northing = s.a * AuthalicQ(latitude, s.e, s.e2) / s.twoK0 + s.falseNorthing;
    return 0;
}

std::uint32_t CylindricalEqualAreaInverse(double easting, double northing, double& latitude,
                                          double& longitude) {
    const CylindricalEqualAreaState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -s.northingHalfWidth, s.northingHalfWidth))
        return flags;

    double sinBeta = s.twoK0 * (northing - s.falseNorthing) / (s.a * s.qPole);
    sinBeta = sinBeta > 1.0 ? 1.0 : (sinBeta < -1.0 ? -1.0 : sinBeta);
    latitude = ClampLatitude(s.authalic(std::asin(sinBeta)));
    longitude = FoldAndClampLongitude(s.centralMeridian + (easting - s.falseEasting) / s.aK0);
    return 0;
}
