#pragma once
// The EckertIV module (CSYS_EckertIV): the Eckert IV projection on the sphere of radius
// Ra; the forward solves for the auxiliary angle by Newton steps.
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t EckertIVSetParameters(double a, double f, double centralMeridian, double falseEasting,
                                    double falseNorthing);
void EckertIVGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                           double& falseNorthing);
std::uint32_t EckertIVForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t EckertIVInverse(double easting, double northing, double& latitude, double& longitude);
