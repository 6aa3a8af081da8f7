#include "crs/engine/AlbersEqualAreaConic.h"

#include "crs/engine/ProjectionSeries.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 40000000.0;
constexpr int kLatitudeBudget = 30;
constexpr double kLatitudeTolerance = 4.85e-10;

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
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= AEA_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= AEA_InverseFlatteningError;
    if (!IsLatitudeInRange(originLatitude))
        flags |= AEA_OriginLatitudeError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= AEA_CentralMeridianError;
    if (!IsLatitudeInRange(firstParallel))
        flags |= AEA_FirstParallelError;
    if (!IsLatitudeInRange(secondParallel))
        flags |= AEA_SecondParallelError;
    if (firstParallel == 0.0 && secondParallel == 0.0)
        flags |= AEA_ZeroParallelsError;
    if (firstParallel == -secondParallel)
        flags |= AEA_OppositeParallelsError;
    if (!IsFinite(falseEasting))
        flags |= AEA_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= AEA_NorthingError;
    if (flags)
        return flags;

    AlbersState s;
    s.a = a;
    s.f = f;
    s.originLatitude = originLatitude;
    s.centralMeridian = FoldOnce(centralMeridian);
    s.firstParallel = firstParallel;
    s.secondParallel = secondParallel;
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    g_state = Derived(s);
    return 0;
}

void AlbersEqualAreaConicGetParameters(double& a, double& f, double& originLatitude,
                                       double& centralMeridian, double& firstParallel,
                                       double& secondParallel, double& falseEasting,
                                       double& falseNorthing) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    firstParallel = g_state.firstParallel;
    secondParallel = g_state.secondParallel;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
}

std::uint32_t AlbersEqualAreaConicForward(double latitude, double longitude, double& easting,
                                          double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= AEA_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= AEA_LongitudeError;
    if (flags)
        return flags;

    const AlbersState& s = g_state;
    const double nq = s.n * AuthalicQ(latitude, s.e, s.e2);
    const double rho = nq <= s.c ? s.aOverN * std::sqrt(s.c - nq) : 0.0;
    const double theta = s.n * FoldOnce(longitude - s.centralMeridian);
    easting = rho * std::sin(theta) + s.falseEasting;
    northing = s.rho0 - rho * std::cos(theta) + s.falseNorthing;
    return 0;
}

std::uint32_t AlbersEqualAreaConicInverse(double easting, double northing, double& latitude,
                                          double& longitude) {
    const AlbersState& s = g_state;
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - kHalfWidth, s.falseEasting + kHalfWidth))
        flags |= AEA_EastingError;
    if (!InRange(northing, s.falseNorthing - kHalfWidth, s.falseNorthing + kHalfWidth))
        flags |= AEA_NorthingError;
    if (flags)
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = s.rho0 - (northing - s.falseNorthing);
    double rho = std::sqrt(dx * dx + dy * dy);
    if (s.n < 0.0)
        rho = -rho;
    double theta = 0.0;
    if (rho != 0.0)
        theta = s.n > 0.0 ? std::atan2(dx, dy) : std::atan2(-dx, -dy);
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
