#pragma once
// The VanDerGrinten module (CSYS_VanDerGrinten): the Van der Grinten
// projection on the sphere of radius Ra, Snyder's forward and his cubic
// inverse.
// Flags: those of ProjectionFlags.h, and the one below. Module state is
// process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Inverse: farther than pi Ra (+ 1 cm) from the false origin.
constexpr std::uint32_t VDG_RadiusError = 0x0100;

std::uint32_t VanDerGrintenSetParameters(double a, double f, double centralMeridian,
                                         double falseEasting, double falseNorthing);
void VanDerGrintenGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                                double& falseNorthing);
std::uint32_t VanDerGrintenForward(double latitude, double longitude, double& easting,
                                   double& northing);
std::uint32_t VanDerGrintenInverse(double easting, double northing, double& latitude,
                                   double& longitude);
