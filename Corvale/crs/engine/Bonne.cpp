#include "crs/engine/Bonne.h"

#include "crs/engine/ModuleSkeleton.h"
#include "crs/engine/Sinusoidal.h"

using namespace geoengine;

namespace {

constexpr double kSinusoidalFullEasting = 20037509.0;
constexpr double kSinusoidalShortEasting = 19926189.0;
constexpr double kSinusoidalNorthing = 10001966.0;

struct BonneState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    MeridianSeries meridian;
    FootpointSeries footpoint;
    double m1 = 0.0;
    double bigM1 = 0.0;
    // a m1 / sin(phi1): the radius of the origin parallel.
    double coneRadius = 0.0;
    double minEasting = -20027474.0;
    double maxEasting = 20027474.0;
    double northingHalfWidth = 20003932.0;
};

BonneState Derived(BonneState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.meridian.Derive(s.e2);
    s.footpoint.Derive(s.e2);
    const double sin1 = std::sin(s.originLatitude);
    s.m1 = ParallelRadius(s.originLatitude, s.e2);
    s.bigM1 = s.a * s.meridian(s.originLatitude);
    s.coneRadius = sin1 == 0.0 ? 0.0 : s.a * s.m1 / sin1;
    return s;
}

BonneState g_state = Derived(BonneState{});

} // namespace

std::uint32_t BonneSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                 double falseEasting, double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    BonneState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s = Derived(s);
    if (originLatitude == 0.0) {
        SetWorldEastingBounds(s, kSinusoidalFullEasting, kSinusoidalShortEasting);
        s.northingHalfWidth = kSinusoidalNorthing;
        SinusoidalSetParameters(a, f, centralMeridian, falseEasting, falseNorthing);
    }
    g_state = s;
    return 0;
}

void BonneGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                        double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t BonneForward(double latitude, double longitude, double& easting, double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const BonneState& s = g_state;
    if (s.originLatitude == 0.0) {
        SinusoidalForward(latitude, longitude, easting, northing);
        return 0;
    }
    if (latitude - s.originLatitude == 0.0 && std::fabs(std::fabs(latitude) - kHalfPi) < 1e-5) {
        easting = s.falseEasting;
        northing = s.falseNorthing;
        return 0;
    }
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double rho = s.coneRadius + s.bigM1 - s.a * s.meridian(latitude);
    const double e = rho == 0.0 ? 0.0 : s.a * ParallelRadius(latitude, s.e2) * dl / rho;
    ConeToGrid(rho, e, s.coneRadius, s.falseEasting, s.falseNorthing, easting, northing);
    return 0;
}

std::uint32_t BonneInverse(double easting, double northing, double& latitude, double& longitude) {
    const BonneState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -s.northingHalfWidth, s.northingHalfWidth))
        return flags;

    if (s.originLatitude == 0.0) {
        SinusoidalInverse(easting, northing, latitude, longitude);
        return 0;
    }
    const ConePoint p = GridToCone(easting, northing, s.coneRadius, s.falseEasting,
                                   s.falseNorthing, s.originLatitude);
    const double rho = p.rho;
    const double bigM = s.coneRadius + s.bigM1 - rho;
    const double lat = ClampLatitude(s.footpoint(bigM / (s.a * s.meridian.c0)));
    double lon = s.centralMeridian;
    if (!(std::fabs(std::fabs(lat) - kHalfPi) < 1e-5)) {
        // Snyder reverses the signs for a southern origin, where rho < 0.
        lon += rho * ConeAngle(p, s.originLatitude) / (s.a * ParallelRadius(lat, s.e2));
    }
    latitude = lat;
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
