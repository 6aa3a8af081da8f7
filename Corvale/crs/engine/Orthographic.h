#pragma once
// The Orthographic module (CSYS_Orthographic): the orthographic projection on the sphere
// of radius Ra (Snyder's spherical formulas); only the hemisphere about the
// centre is shown.
// Flags: those of ProjectionFlags.h, and the one below.
// Module state is process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Inverse: farther than Ra from the false origin.
constexpr std::uint32_t ORTH_RadiusError = 0x0100;

std::uint32_t OrthographicSetParameters(double a, double f, double originLatitude,
                                        double centralMeridian, double falseEasting,
                                        double falseNorthing);
void OrthographicGetParameters(double& a, double& f, double& originLatitude,
                               double& centralMeridian, double& falseEasting,
                               double& falseNorthing);
std::uint32_t OrthographicForward(double latitude, double longitude, double& easting,
                                  double& northing);
std::uint32_t OrthographicInverse(double easting, double northing, double& latitude,
                                  double& longitude);
