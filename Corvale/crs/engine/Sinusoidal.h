#pragma once
// The Sinusoidal module (CSYS_Sinusoidal): the ellipsoidal sinusoidal
// projection, meridian distance and footpoint latitude by Snyder's series.
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins. Bonne drives this module at an origin
// latitude of 0.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t SinusoidalSetParameters(double a, double f, double centralMeridian,
                                      double falseEasting, double falseNorthing);
void SinusoidalGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                             double& falseNorthing);
std::uint32_t SinusoidalForward(double latitude, double longitude, double& easting,
                                double& northing);
std::uint32_t SinusoidalInverse(double easting, double northing, double& latitude,
                                double& longitude);
