#pragma once
// The Local Cartesian module: X, Y, Z in metres in a frame tangent to the
// ellipsoid at an origin point. X points east and Y north, both turned
// clockwise by the orientation angle (the azimuth of the Y axis); Z points up
// along the ellipsoid normal.
//
// Module state is process-wide; the last successful set-parameters call wins.
// The geodetic operations set the Geocentric module to this module's
// ellipsoid as they go.

#include <cstdint>

constexpr std::uint32_t LCS_LatitudeError = 0x0001;          // geodetic -> local
constexpr std::uint32_t LCS_LongitudeError = 0x0002;         // geodetic -> local
constexpr std::uint32_t LCS_SemiMajorAxisError = 0x0004;     // a <= 0
constexpr std::uint32_t LCS_InverseFlatteningError = 0x0008; // 1/f outside 250..350
constexpr std::uint32_t LCS_OriginLatitudeError = 0x0010;    // outside -pi/2..pi/2
constexpr std::uint32_t LCS_OriginLongitudeError = 0x0020;   // outside -pi..2*pi
constexpr std::uint32_t LCS_OrientationError = 0x0040;       // outside -pi..2*pi
// An origin height, height, X, Y or Z that is not a finite number.
constexpr std::uint32_t LCS_CoordinateError = 0x0080;

std::uint32_t LocalCartesianSetParameters(double a, double f, double originLatitude,
                                          double originLongitude, double originHeight,
                                          double orientation);
void LocalCartesianGetParameters(double& a, double& f, double& originLatitude, double& originLongitude,
                                 double& originHeight, double& orientation);

std::uint32_t LocalCartesianFromGeocentric(double x, double y, double z, double& localX, double& localY,
                                           double& localZ);
std::uint32_t LocalCartesianToGeocentric(double localX, double localY, double localZ, double& x,
                                         double& y, double& z);
std::uint32_t LocalCartesianFromGeodetic(double latitude, double longitude, double height,
                                         double& localX, double& localY, double& localZ);
std::uint32_t LocalCartesianToGeodetic(double localX, double localY, double localZ, double& latitude,
                                       double& longitude, double& height);
