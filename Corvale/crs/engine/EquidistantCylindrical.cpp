#include "crs/engine/EquidistantCylindrical.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

struct EquidistantCylindricalState {
    double a = kWgs84A;
    double f = kWgs84F;
    double standardParallel = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double cosParallel = 1.0;
    double raCosParallel = 0.0;
    double minEasting = -20015110.0;
    double maxEasting = 20015110.0;
    double northingHalfWidth = 10007555.0;
};

EquidistantCylindricalState g_state = [] {
    EquidistantCylindricalState s;
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.raCosParallel = s.ra;
    return s;
}();

} // namespace

std::uint32_t EquidistantCylindricalSetParameters(double a, double f, double standardParallel,
                                                  double centralMeridian, double falseEasting,
                                                  double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(standardParallel, PRJ_OriginLatitudeError))
        return flags;

    EquidistantCylindricalState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.standardParallel = standardParallel;
    s.ra = SphereRadius(a, 2.0 * f - f * f);
    s.cosParallel = std::cos(standardParallel);
    s.raCosParallel = s.ra * s.cosParallel;
    // The forward easting at the edges of the accepted longitudes; the
    // shifted side loses one degree.
    if (s.centralMeridian > 0.0) {
        s.maxEasting = s.raCosParallel * (kPi - kOneDegree);
        s.minEasting = -s.raCosParallel * kPi;
    } else if (s.centralMeridian < 0.0) {
        s.maxEasting = s.raCosParallel * kPi;
        s.minEasting = s.raCosParallel * (-kPi + kOneDegree);
    } else {
        s.maxEasting = s.raCosParallel * kPi;
        s.minEasting = -s.maxEasting;
    }
    s.northingHalfWidth = s.ra * kHalfPi;
    g_state = s;
    return 0;
}

void EquidistantCylindricalGetParameters(double& a, double& f, double& standardParallel,
                                         double& centralMeridian, double& falseEasting,
                                         double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    standardParallel = g_state.standardParallel;
}

std::uint32_t EquidistantCylindricalForward(double latitude, double longitude, double& easting,
                                            double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const EquidistantCylindricalState& s = g_state;
    easting = s.raCosParallel * FoldOnce(longitude - s.centralMeridian) + s.falseEasting;
    northing = s.ra * latitude + s.falseNorthing;
    return 0;
}

std::uint32_t EquidistantCylindricalInverse(double easting, double northing, double& latitude,
                                            double& longitude) {
    const EquidistantCylindricalState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -s.northingHalfWidth, s.northingHalfWidth))
        return flags;

    latitude = ClampLatitude((northing - s.falseNorthing) / s.ra);
    longitude =
        FoldAndClampLongitude(s.centralMeridian + (easting - s.falseEasting) / s.raCosParallel);
    return 0;
}
