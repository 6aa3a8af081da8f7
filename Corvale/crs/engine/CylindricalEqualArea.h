#pragma once
// The CylindricalEqualArea module (CSYS_CylindricalEqualArea): the ellipsoidal normal cylindrical
// equal-area projection with a standard parallel; the inverse by the
// authalic-latitude series.
// Flags: those of ProjectionFlags.h. Module state is process-wide; the
// last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t CylindricalEqualAreaSetParameters(double a, double f, double standardParallel,
                                                double centralMeridian, double falseEasting,
                                                double falseNorthing);
void CylindricalEqualAreaGetParameters(double& a, double& f, double& standardParallel,
                                       double& centralMeridian, double& falseEasting,
                                       double& falseNorthing);
std::uint32_t CylindricalEqualAreaForward(double latitude, double longitude, double& easting,
                                          double& northing);
std::uint32_t CylindricalEqualAreaInverse(double easting, double northing, double& latitude,
                                          double& longitude);
