#pragma once
// Constants shared by the engine's modules. Angles are radians throughout.

#include <cmath>

namespace geoengine {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kTwoPi = 2.0 * kPi;

// The start ellipsoid of every module: WGS 84.
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;

inline bool IsFinite(double v) { return std::isfinite(v); }

// Inverse flattening inside 250..350, refusing f = 0 (a sphere) and NaN.
inline bool IsInverseFlatteningInRange(double f) {
    const double inv = 1.0 / f;
    return inv >= 250.0 && inv <= 350.0;
}

// Latitude inside -pi/2..pi/2 and longitude inside -pi..2*pi: the ranges every
// module accepts. NaN fails both.
inline bool IsLatitudeInRange(double lat) { return lat >= -kHalfPi && lat <= kHalfPi; }
inline bool IsLongitudeInRange(double lon) { return lon >= -kPi && lon <= kTwoPi; }

} // namespace geoengine
