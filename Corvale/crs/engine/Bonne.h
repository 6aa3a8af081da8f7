#pragma once
// The Bonne module (CSYS_Bonne): the ellipsoidal Bonne projection, Snyder's
// formulas; at an origin latitude of 0 it is the sinusoidal projection and
// hands its work to the Sinusoidal module (replacing its parameters).
// Flags: those of ProjectionFlags.h. Module state is process-wide; the last
// successful set-parameters call wins.

#include "crs/engine/ProjectionFlags.h"

#include <cstdint>

std::uint32_t BonneSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                 double falseEasting, double falseNorthing);
void BonneGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                        double& falseEasting, double& falseNorthing);
std::uint32_t BonneForward(double latitude, double longitude, double& easting, double& northing);
std::uint32_t BonneInverse(double easting, double northing, double& latitude, double& longitude);
