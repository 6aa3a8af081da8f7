#pragma once
// Helpers shared by the projection modules: the folding of longitudes and
// the series in the eccentricity that several modules derive (Snyder, "Map
// Projections: A Working Manual", 1987); the checks every set-up makes are in
// ModuleSkeleton.h. Not for use outside the engine.

#include "crs/engine/EngineMath.h"
#include "crs/engine/ProjectionFlags.h"

#include <cmath>
#include <cstdint>

namespace geoengine {

// Newton and fixed-point loops stop after this many steps; a loop that has
// not converged by then has been handed a value it cannot solve.
constexpr int kMaxIterations = 100;

constexpr double kOneDegree = kPi / 180.0;

inline bool InRange(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

// One fold towards -pi..pi: above pi subtract 2*pi, below -pi add 2*pi.
inline double FoldOnce(double angle) {
    if (angle > kPi)
        return angle - kTwoPi;
    if (angle < -kPi)
        return angle + kTwoPi;
    return angle;
}

inline double Clamp(double v, double lo = -1.0, double hi = 1.0) {
    return v > hi ? hi : (v < lo ? lo : v);
}

inline double ClampLatitude(double lat) {
    return lat > kHalfPi ? kHalfPi : (lat < -kHalfPi ? -kHalfPi : lat);
}

// Folded once, then clamped to -pi..pi.
inline double FoldAndClampLongitude(double lon) {
    lon = FoldOnce(lon);
    return lon > kPi ? kPi : (lon < -kPi ? -kPi : lon);
}

// 89 degrees 59 minutes 59 seconds: the cones and their parallels stop
// short of the poles.
constexpr double kMaxConeLatitude = 1.5707914786580854;

// Snyder's t(phi) of the conformal projections.
inline double ConformalT(double phi, double e) {
    const double es = e * std::sin(phi);
    return std::tan(kPi / 4.0 - phi / 2.0) / std::pow((1.0 - es) / (1.0 + es), e / 2.0);
}

// Snyder's m(phi) = cos phi / sqrt(1 - e^2 sin^2 phi).
inline double ParallelRadius(double phi, double e2) {
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1.0 - e2 * s * s);
}

// Radius of the sphere used by the spherical modules.
inline double SphereRadius(double a, double e2) {
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    return a * (1.0 - e2 / 6.0 - 17.0 * e4 / 360.0 - 67.0 * e6 / 3024.0);
}

// Meridian distance M(phi) / a by the series to e^6.
struct MeridianSeries {
    double c0 = 1.0, c1 = 0.0, c2 = 0.0, c3 = 0.0;

    void Derive(double e2) {
        const double e4 = e2 * e2;
        const double e6 = e4 * e2;
        c0 = 1.0 - e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0;
        c1 = 3.0 * e2 / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0;
        c2 = 15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0;
        c3 = 35.0 * e6 / 3072.0;
    }
    // The multiple angles from one sine and cosine of 2 phi.
    double operator()(double phi) const {
        const double sin2 = std::sin(2.0 * phi);
        const double cos2 = std::cos(2.0 * phi);
        const double sin4 = 2.0 * sin2 * cos2;
        const double sin6 = sin2 * (2.0 * cos2 * cos2 - 1.0) + cos2 * sin4;
        return c0 * phi - c1 * sin2 + c2 * sin4 - c3 * sin6;
    }
};

// Footpoint latitude from the rectifying latitude mu = M / (a c0).
struct FootpointSeries {
    double f2 = 0.0, f4 = 0.0, f6 = 0.0, f8 = 0.0;

    void Derive(double e2) {
        const double s = std::sqrt(1.0 - e2);
        const double e1 = (1.0 - s) / (1.0 + s);
        const double e1_2 = e1 * e1;
        const double e1_3 = e1_2 * e1;
        const double e1_4 = e1_3 * e1;
        f2 = 3.0 * e1 / 2.0 - 27.0 * e1_3 / 32.0;
        f4 = 21.0 * e1_2 / 16.0 - 55.0 * e1_4 / 32.0;
        f6 = 151.0 * e1_3 / 96.0;
        f8 = 1097.0 * e1_4 / 512.0;
    }
    double operator()(double mu) const {
        const double sin2 = std::sin(2.0 * mu);
        const double cos2 = std::cos(2.0 * mu);
        const double sin4 = 2.0 * sin2 * cos2;
        const double cos4 = 2.0 * cos2 * cos2 - 1.0;
        const double sin6 = sin2 * cos4 + cos2 * sin4;
        const double sin8 = 2.0 * sin4 * cos4;
        return mu + f2 * sin2 + f4 * sin4 + f6 * sin6 + f8 * sin8;
    }
};

// Geodetic latitude from the authalic latitude beta.
struct AuthalicSeries {
    double b2 = 0.0, b4 = 0.0, b6 = 0.0;

    void Derive(double e2) {
        const double e4 = e2 * e2;
        const double e6 = e4 * e2;
        b2 = e2 / 3.0 + 31.0 * e4 / 180.0 + 517.0 * e6 / 5040.0;
        b4 = 23.0 * e4 / 360.0 + 251.0 * e6 / 3780.0;
        b6 = 761.0 * e6 / 45360.0;
    }
    double operator()(double beta) const {
        return beta + b2 * std::sin(2.0 * beta) + b4 * std::sin(4.0 * beta) +
               b6 * std::sin(6.0 * beta);
    }
};

// Snyder's q(phi) of the equal-area projections (e > 0).
inline double AuthalicQ(double phi, double e, double e2) {
    const double s = std::sin(phi);
    const double es = e * s;
    return (1.0 - e2) * (s / (1.0 - es * es) - std::log((1.0 - es) / (1.0 + es)) / (2.0 * e));
}

// Easting bounds of the world-wide modules: on the side towards which the
// central meridian is shifted one degree of longitude less is accepted.
struct EastingBounds {
    double min;
    double max;
};
inline EastingBounds EastingBoundsFor(double centralMeridian, double full, double shortened) {
    if (centralMeridian > 0.0)
        return {-full, shortened};
    if (centralMeridian < 0.0)
        return {-shortened, full};
    return {-full, full};
}

// The meridian opposite the central one, as the bounds of several modules
// take it: central meridian - pi above 0, + pi below 0, pi at 0.
inline double Antimeridian(double centralMeridian) {
    if (centralMeridian > 0.0)
        return centralMeridian - kPi;
    if (centralMeridian < 0.0)
        return centralMeridian + kPi;
    return kPi;
}

// Snyder's general inverse of the spherical azimuthal projections: from the
// offsets (dx, dy), their distance rho > 0 and the angular distance c from
// the centre (sin phi0, cos phi0), the latitude and the longitude offset.
inline void SphericalAzimuthalInverse(double dx, double dy, double rho, double c, double sinLat0,
                                      double cosLat0, double& latitude, double& dLongitude) {
    const double sinC = std::sin(c);
    const double cosC = std::cos(c);
    latitude = std::asin(Clamp(cosC * sinLat0 + dy * sinC * cosLat0 / rho));
    dLongitude = std::atan2(dx * sinC, rho * cosLat0 * cosC - dy * sinLat0 * sinC);
}

// The longitude rules of the inverses that snap to the antimeridian: just
// past +-pi by rounding (3.5e-6) is +-pi, farther is folded; near 0 is 0;
// then clamped.
inline double SnapLongitude(double lon) {
    if (lon > kPi)
        lon = lon - kPi < 3.5e-6 ? kPi : lon - kTwoPi;
    else if (lon < -kPi)
        lon = -kPi - lon < 3.5e-6 ? -kPi : lon + kTwoPi;
    if (std::fabs(lon) < 2e-7)
        lon = 0.0;
    return lon > kPi ? kPi : (lon < -kPi ? -kPi : lon);
}

} // namespace geoengine
