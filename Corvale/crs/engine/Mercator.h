#pragma once
// The Mercator module (CSYS_Mercator): the ellipsoidal normal Mercator with a
// latitude of true scale, after J. P. Snyder, "Map Projections: A Working
// Manual", U.S. Geological Survey Professional Paper 1395 (1987): forward by
// the isometric latitude, inverse by the series in the conformal latitude.
//
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

// The scale factor is derived from the latitude of origin (the latitude of
// true scale) and handed back.
std::uint32_t MercatorSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                    double falseEasting, double falseNorthing, double& scaleFactor);
void MercatorGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                           double& falseEasting, double& falseNorthing, double& scaleFactor);
std::uint32_t MercatorForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t MercatorInverse(double easting, double northing, double& latitude, double& longitude);
