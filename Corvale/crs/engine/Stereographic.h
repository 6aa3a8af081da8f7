#pragma once
// The Stereographic module (CSYS_Stereographic): the stereographic projection on the sphere
// of radius Ra, polar, equatorial and oblique aspects (Snyder's spherical
// formulas).
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t STG_LatitudeError = 0x0001;
constexpr std::uint32_t STG_LongitudeError = 0x0002; // also the point opposite the centre
constexpr std::uint32_t STG_OriginLatitudeError = 0x0004;
constexpr std::uint32_t STG_CentralMeridianError = 0x0008;
constexpr std::uint32_t STG_EastingError = 0x0010;
constexpr std::uint32_t STG_NorthingError = 0x0020;
constexpr std::uint32_t STG_SemiMajorAxisError = 0x0040;
constexpr std::uint32_t STG_InverseFlatteningError = 0x0080;

std::uint32_t StereographicSetParameters(double a, double f, double originLatitude,
                                         double centralMeridian, double falseEasting,
                                         double falseNorthing);
void StereographicGetParameters(double& a, double& f, double& originLatitude,
                                double& centralMeridian, double& falseEasting,
                                double& falseNorthing);
std::uint32_t StereographicForward(double latitude, double longitude, double& easting,
                                   double& northing);
std::uint32_t StereographicInverse(double easting, double northing, double& latitude,
                                   double& longitude);
