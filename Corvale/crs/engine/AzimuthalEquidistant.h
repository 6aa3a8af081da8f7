#pragma once
// The AzimuthalEquidistant module (CSYS_AzimuthalEquidistant): the azimuthal equidistant
// projection on the sphere of radius Ra (Snyder's spherical formulas).
// Flags: those of ProjectionFlags.h, and the one below.
// Module state is process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Forward: the point opposite the centre, a circle on the map.
constexpr std::uint32_t AZEQ_OppositePointError = 0x0100;

std::uint32_t AzimuthalEquidistantSetParameters(double a, double f, double originLatitude,
                                                double centralMeridian, double falseEasting,
                                                double falseNorthing);
void AzimuthalEquidistantGetParameters(double& a, double& f, double& originLatitude,
                                       double& centralMeridian, double& falseEasting,
                                       double& falseNorthing);
std::uint32_t AzimuthalEquidistantForward(double latitude, double longitude, double& easting,
                                          double& northing);
std::uint32_t AzimuthalEquidistantInverse(double easting, double northing, double& latitude,
                                          double& longitude);
