#pragma once
// The EquidistantCylindrical module (CSYS_EquidistantCylindrical): the equidistant cylindrical
// projection on the sphere of radius Ra, true to scale along a standard parallel. Flags: those of
// ProjectionFlags.h. Module state is process-wide; the last successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t EquidistantCylindricalSetParameters(double a, double f, double standardParallel,
                                                  double centralMeridian, double falseEasting,
                                                  double falseNorthing);
void EquidistantCylindricalGetParameters(double& a, double& f, double& standardParallel,
                                         double& centralMeridian, double& falseEasting,
                                         double& falseNorthing);
std::uint32_t EquidistantCylindricalForward(double latitude, double longitude, double& easting,
                                            double& northing);
std::uint32_t EquidistantCylindricalInverse(double easting, double northing, double& latitude,
                                            double& longitude);
