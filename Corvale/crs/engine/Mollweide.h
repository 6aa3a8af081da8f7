#pragma once
// The Mollweide module (CSYS_Mollweide): the Mollweide projection on the sphere of radius
// Ra; the forward solves for the auxiliary angle by Newton steps.
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t MollweideSetParameters(double a, double f, double centralMeridian,
                                     double falseEasting, double falseNorthing);
void MollweideGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                            double& falseNorthing);
std::uint32_t MollweideForward(double latitude, double longitude, double& easting,
                               double& northing);
std::uint32_t MollweideInverse(double easting, double northing, double& latitude,
                               double& longitude);
