#pragma once
// The Geocentric module: Earth-centred X, Y, Z in metres on the module's
// ellipsoid. The datum module uses it for its shifts through geocentric
// coordinates; the engine uses it as the coordinate system CSYS_Geocentric.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t GCS_LatitudeError = 0x0001;          // latitude outside -pi/2..pi/2
constexpr std::uint32_t GCS_LongitudeError = 0x0002;         // longitude outside -pi..2*pi
constexpr std::uint32_t GCS_SemiMajorAxisError = 0x0004;     // a <= 0
constexpr std::uint32_t GCS_InverseFlatteningError = 0x0008; // 1/f outside 250..350
// A height, X, Y or Z that is not a finite number: no point to convert.
constexpr std::uint32_t GCS_CoordinateError = 0x0010;

std::uint32_t GeocentricSetParameters(double a, double f);
void GeocentricGetParameters(double& a, double& f);

// Nothing is written when a flag is returned.
std::uint32_t GeocentricFromGeodetic(double latitude, double longitude, double height, double& x,
                                     double& y, double& z);
std::uint32_t GeocentricToGeodetic(double x, double y, double z, double& latitude, double& longitude,
                                   double& height);
