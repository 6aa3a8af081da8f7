#pragma once
// The Gnomonic module (CSYS_Gnomonic): the gnomonic projection on the sphere of
// radius Ra (Snyder's spherical formulas); points 90 degrees or more from
// the centre have no image.
// Flags: those of ProjectionFlags.h.
// Module state is process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t GnomonicSetParameters(double a, double f, double originLatitude,
                                    double centralMeridian, double falseEasting,
                                    double falseNorthing);
void GnomonicGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                           double& falseEasting, double& falseNorthing);
std::uint32_t GnomonicForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t GnomonicInverse(double easting, double northing, double& latitude, double& longitude);
