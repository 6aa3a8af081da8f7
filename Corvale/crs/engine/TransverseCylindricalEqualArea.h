#pragma once
// The TransverseCylindricalEqualArea module (CSYS_TransverseCylindricalEqualArea): the ellipsoidal
// transverse cylindrical equal-area projection (Snyder's ellipsoidal formulas, with the
// meridian-distance, footpoint and authalic series). Flags: those of ProjectionFlags.h, and those
// below. Module state is process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// Scale factor outside 0.3..3.0 (set parameters).
constexpr std::uint32_t TCEA_ScaleFactorError = 0x0100;
// Forward: 90 degrees or more from the central meridian (result written).
constexpr std::uint32_t TCEA_LongitudeWarning = 0x0200;

std::uint32_t TransverseCylindricalEqualAreaSetParameters(double a, double f, double originLatitude,
                                                          double centralMeridian,
                                                          double falseEasting, double falseNorthing,
                                                          double scaleFactor);
void TransverseCylindricalEqualAreaGetParameters(double& a, double& f, double& originLatitude,
                                                 double& centralMeridian, double& falseEasting,
                                                 double& falseNorthing, double& scaleFactor);
std::uint32_t TransverseCylindricalEqualAreaForward(double latitude, double longitude,
                                                    double& easting, double& northing);
std::uint32_t TransverseCylindricalEqualAreaInverse(double easting, double northing,
                                                    double& latitude, double& longitude);
