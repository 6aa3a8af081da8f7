#pragma once
// The MillerCylindrical module (CSYS_MillerCylindrical): Miller's cylindrical projection on the
// sphere of radius Ra (Snyder's spherical formulas).
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t MillerCylindricalSetParameters(double a, double f, double centralMeridian,
                                             double falseEasting, double falseNorthing);
void MillerCylindricalGetParameters(double& a, double& f, double& centralMeridian,
                                    double& falseEasting, double& falseNorthing);
std::uint32_t MillerCylindricalForward(double latitude, double longitude, double& easting,
                                       double& northing);
std::uint32_t MillerCylindricalInverse(double easting, double northing, double& latitude,
                                       double& longitude);
