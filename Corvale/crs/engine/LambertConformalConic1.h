#pragma once
// The LambertConformalConic1 module (CSYS_LambertConformalConic1): the
// ellipsoidal Lambert conformal conic with one standard parallel (the origin
// latitude) and a scale factor, Snyder's formulas. The two-parallel and
// Ney's modules drive this one and so replace its parameters.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t LCC1_LatitudeError = 0x0001; // also the pole away from the apex
constexpr std::uint32_t LCC1_LongitudeError = 0x0002;
constexpr std::uint32_t LCC1_EastingError = 0x0004;
constexpr std::uint32_t LCC1_NorthingError = 0x0008; // also: the latitude iteration did not settle
constexpr std::uint32_t LCC1_OriginLatitudeError = 0x0010;
constexpr std::uint32_t LCC1_CentralMeridianError = 0x0020;
constexpr std::uint32_t LCC1_ScaleFactorError = 0x0040;
constexpr std::uint32_t LCC1_SemiMajorAxisError = 0x0080;
constexpr std::uint32_t LCC1_InverseFlatteningError = 0x0100;

std::uint32_t LambertConformalConic1SetParameters(double a, double f, double originLatitude,
                                                  double centralMeridian, double falseEasting,
                                                  double falseNorthing, double scaleFactor);
void LambertConformalConic1GetParameters(double& a, double& f, double& originLatitude,
                                         double& centralMeridian, double& falseEasting,
                                         double& falseNorthing, double& scaleFactor);
std::uint32_t LambertConformalConic1Forward(double latitude, double longitude, double& easting,
                                            double& northing);
std::uint32_t LambertConformalConic1Inverse(double easting, double northing, double& latitude,
                                            double& longitude);
