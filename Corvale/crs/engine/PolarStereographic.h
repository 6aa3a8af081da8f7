#pragma once
// The PolarStereographic module (CSYS_PolarStereographic): the ellipsoidal
// polar stereographic projection with a latitude of true scale, Snyder's
// formulas; the sign of that latitude chooses the hemisphere, and a
// southern projection is computed as the mirror of a northern one.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t PST_LatitudeError = 0x0001; // also the other hemisphere
constexpr std::uint32_t PST_LongitudeError = 0x0002;
constexpr std::uint32_t PST_TrueScaleLatitudeError = 0x0004;
constexpr std::uint32_t PST_LongitudeDownError = 0x0008; // longitude down from the pole
constexpr std::uint32_t PST_EastingError = 0x0010;
constexpr std::uint32_t PST_NorthingError = 0x0020; // also: the latitude iteration did not settle
constexpr std::uint32_t PST_SemiMajorAxisError = 0x0040;
constexpr std::uint32_t PST_InverseFlatteningError = 0x0080;

std::uint32_t PolarStereographicSetParameters(double a, double f, double trueScaleLatitude,
                                              double longitudeDown, double falseEasting,
                                              double falseNorthing);
// For a southern projection the latitude of true scale and the longitude
// down from the pole come back negated, as stored.
void PolarStereographicGetParameters(double& a, double& f, double& trueScaleLatitude,
                                     double& longitudeDown, double& falseEasting,
                                     double& falseNorthing);
std::uint32_t PolarStereographicForward(double latitude, double longitude, double& easting,
                                        double& northing);
std::uint32_t PolarStereographicInverse(double easting, double northing, double& latitude,
                                        double& longitude);
