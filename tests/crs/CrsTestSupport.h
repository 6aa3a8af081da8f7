#pragma once
// Small helpers shared by the coordinate-engine tests.

#include <cmath>

namespace crstest {

constexpr double kPi = 3.141592653589793;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;

inline double Rad(double degrees) { return degrees * kPi / 180.0; }
inline double Deg(double radians) { return radians * 180.0 / kPi; }

// One millimetre, and the angle that is about one millimetre on the Earth.
constexpr double kMillimetre = 0.001;
constexpr double kMillimetreDegrees = 1.0e-8;
constexpr double kMillimetreRadians = 1.6e-10;

} // namespace crstest
