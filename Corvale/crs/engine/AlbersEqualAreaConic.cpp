#include "crs/engine/AlbersEqualAreaConic.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 40000000.0;
constexpr int kLatitudeBudget = 30;
constexpr double kLatitudeTolerance = 4.85e-10;

constexpr CheckFlags kFlags = {AEA_LatitudeError,        AEA_LongitudeError,
                               AEA_EastingError,         AEA_NorthingError,
                               AEA_CentralMeridianError, AEA_SemiMajorAxisError,
                               AEA_InverseFlatteningError};

struct AlbersState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0.0;
    double firstParallel = 0.6981317007977318;
    double secondParallel = 0.8726646259971648;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    double e = 0.0;
    double oneMinusE2 = 1.0;
    double twoE = 0.0;
    double n = 0.0;
    double c = 0.0;
    double aOverN = 0.0;
    double rho0 = 0.0;
};

AlbersState Derived(AlbersState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(s.e2);
    s.oneMinusE2 = 1.0 - s.e2;
    s.twoE = 2.0 * s.e;
    const double q0 = AuthalicQ(s.originLatitude, s.e, s.e2);
    const double m1 = ParallelRadius(s.firstParallel, s.e2);
    const double q1 = AuthalicQ(s.firstParallel, s.e, s.e2);
    if (std::fabs(s.firstParallel - s.secondParallel) <= 1e-10) {
        s.n = std::sin(s.firstParallel);
    } else {
        const double m2 = ParallelRadius(s.secondParallel, s.e2);
        const double q2 = AuthalicQ(s.secondParallel, s.e, s.e2);
        s.n = (m1 * m1 - m2 * m2) / (q2 - q1);
    }
    s.c = m1 * m1 + s.n * q1;
    s.aOverN = s.a / s.n;
    s.rho0 = s.n * q0 <= s.c ? s.aOverN * std::sqrt(s.c - s.n * q0) : 0.0;
    return s;
}

AlbersState g_state = Derived(AlbersState{});

} // namespace

std::uint32_t AlbersEqualAreaConicSetParameters(double a, double f, double originLatitude,
                                                double centralMeridian, double firstParallel,
                                                double secondParallel, double falseEasting,
                                                double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing, kFlags) |
            CheckLatitudeParameter(originLatitude, AEA_OriginLatitudeError) |
            CheckLatitudeParameter(firstParallel, AEA_FirstParallelError) |
            CheckLatitudeParameter(secondParallel, AEA_SecondParallelError) |
            CheckParallelPair(firstParallel, secondParallel, AEA_ZeroParallelsError,
                              AEA_OppositeParallelsError))
        return flags;

    AlbersState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s.firstParallel = firstParallel;
    s.secondParallel = secondParallel;
    g_state = Derived(s);
    return 0;
}

void AlbersEqualAreaConicGetParameters(double& a, double& f, double& originLatitude,
                                       double& centralMeridian, double& firstParallel,
                                       double& secondParallel, double& falseEasting,
                                       double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
    firstParallel = g_state.firstParallel;
    secondParallel = g_state.secondParallel;
}

std::uint32_t AlbersEqualAreaConicForward(double latitude, double longitude, double& easting,
                                          double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude, kFlags))
        return flags;

    const AlbersState& s = g_state;
    const double nq = s.n * AuthalicQ(latitude, s.e, s.e2);
    const double rho = nq <= s.c ? s.aOverN * std::sqrt(s.c - nq) : 0.0;
    const double theta = s.n * FoldOnce(longitude - s.centralMeridian);
    ConeToGrid(rho, theta, s.rho0, s.falseEasting, s.falseNorthing, easting, northing);
    return 0;
}

std::uint32_t AlbersEqualAreaConicInverse(double easting, double northing, double& latitude,
                                          double& longitude) {
    const AlbersState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kHalfWidth, kHalfWidth,
                                s.falseNorthing, -kHalfWidth, kHalfWidth, kFlags))
        return flags;

    const ConePoint p = GridToCone(easting, northing, s.rho0, s.falseEasting, s.falseNorthing, s.n);
    const double rho = p.rho;
    double theta = 0.0;
    if (rho != 0.0)
        theta = ConeAngle(p, s.n);
    const double q = (s.c - rho * rho * s.n * s.n / (s.a * s.a)) / s.n;
    // q at the poles.
    const double qPole = 1.0 - (s.oneMinusE2 / s.twoE) * std::log((1.0 - s.e) / (1.0 + s.e));
    double lat;
    if (std::fabs(std::fabs(qPole) - std::fabs(q)) <= 1e-6) {
        lat = q < 0.0 ? -kHalfPi : kHalfPi;
    } else if (q / 2.0 > 1.0) {
        lat = kHalfPi;
    } else if (q / 2.0 < -1.0) {
        lat = -kHalfPi;
    } else {
        lat = std::asin(q / 2.0);
        if (s.e >= 1e-10) {
            int steps = 0;
            for (;;) {
                const double sinLat = std::sin(lat);
                const double es = s.e * sinLat;
                const double w = 1.0 - es * es;
                const double step =
                    w * w / (2.0 * std::cos(lat)) *
                    (q / s.oneMinusE2 - sinLat / w + std::log((1.0 - es) / (1.0 + es)) / s.twoE);
                lat += step;
                ++steps;
                if (steps >= kLatitudeBudget)
                    return AEA_NorthingError;
                if (std::fabs(step) <= kLatitudeTolerance)
                    break;
            }
        }
    }
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(s.centralMeridian + theta / s.n);
    return 0;
}
