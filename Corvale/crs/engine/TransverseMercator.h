#pragma once
// The Transverse Mercator module (CSYS_TransverseMercator).
//
// Ellipsoidal Transverse Mercator by the series in powers of the longitude
// difference given in the U.S. Defense Mapping Agency's technical manual
// TM 8358.2, "The Universal Grids: Universal Transverse Mercator (UTM) and
// Universal Polar Stereographic (UPS)" (1989): northing terms to the eighth
// power, easting terms to the seventh, and the inverse series to the same
// orders about the footpoint latitude. Within 6 degrees of the central
// meridian the series stays within a millimetre of the exact projection.
//
// Flags: those of ProjectionFlags.h, plus the two below. Module state is
// process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

constexpr std::uint32_t TME_ScaleFactorError = 0x0100;   // scale factor outside 0.3..3.0
constexpr std::uint32_t TME_LongitudeWarning = 0x0200;   // more than 9 degrees from the central meridian

std::uint32_t TransverseMercatorSetParameters(double a, double f, double originLatitude,
                                              double centralMeridian, double falseEasting,
                                              double falseNorthing, double scaleFactor);
void TransverseMercatorGetParameters(double& a, double& f, double& originLatitude,
                                     double& centralMeridian, double& falseEasting,
                                     double& falseNorthing, double& scaleFactor);
std::uint32_t TransverseMercatorForward(double latitude, double longitude, double& easting,
                                        double& northing);
std::uint32_t TransverseMercatorInverse(double easting, double northing, double& latitude,
                                        double& longitude);
