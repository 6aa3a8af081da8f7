#pragma once
// The Polyconic module (CSYS_Polyconic): the ellipsoidal American polyconic
// projection, Snyder's formulas with the meridian-distance series; the
// inverse finds the latitude by Newton's method.
// Flags: those of ProjectionFlags.h, and the one below. Module state is
// process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Forward: more than 90 degrees from the central meridian (result written).
constexpr std::uint32_t POLY_LongitudeWarning = 0x0100;

std::uint32_t PolyconicSetParameters(double a, double f, double originLatitude,
                                     double centralMeridian, double falseEasting,
                                     double falseNorthing);
void PolyconicGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                            double& falseEasting, double& falseNorthing);
std::uint32_t PolyconicForward(double latitude, double longitude, double& easting,
                               double& northing);
std::uint32_t PolyconicInverse(double easting, double northing, double& latitude,
                               double& longitude);
