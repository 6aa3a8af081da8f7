#pragma once
// The Cassini module (CSYS_Cassini): the ellipsoidal Cassini projection by Snyder's series;
// accurate only near the central meridian.
// Flags: those of ProjectionFlags.h, and the one below. Module state is process-wide; the
// last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Forward and inverse: more than 4 degrees from the central meridian
// (result written).
constexpr std::uint32_t CAS_LongitudeWarning = 0x0100;

std::uint32_t CassiniSetParameters(double a, double f, double originLatitude,
                                   double centralMeridian, double falseEasting,
                                   double falseNorthing);
void CassiniGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                          double& falseEasting, double& falseNorthing);
std::uint32_t CassiniForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t CassiniInverse(double easting, double northing, double& latitude, double& longitude);
