#pragma once
// Geoid separation: heights between the ellipsoid and mean sea level by the
// separation N of a global grid (height above mean sea level = ellipsoid
// height - N), from the EGM96 grid (15 minutes) or the EGM84 grid (10
// degrees), read bilinearly or by a natural cubic spline.
//
// The grids are not part of the program: until GeoidInstallGrids has been
// given both, every interpolation returns GEOID_NotInitialized and every
// height conversion hands its height back unchanged with that flag, so no
// caller ever reads a separation that was not computed.
//
// The grids are process-wide, like every module's state.

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t GEOID_NotInitialized = 0x0004; // no grids installed
constexpr std::uint32_t GEOID_RangeError = 0x0008;     // latitude or longitude out of range

// Posts run along rows from longitude 0 eastwards to 360 inclusive; rows
// from latitude 90 down to -90.
constexpr int GEOID_Egm96PostsPerRow = 1441;
constexpr int GEOID_Egm96Rows = 721;
constexpr double GEOID_Egm96Spacing = 0.25; // degrees
constexpr int GEOID_Egm84PostsPerRow = 37;
constexpr int GEOID_Egm84Rows = 19;
constexpr double GEOID_Egm84Spacing = 10.0;

// Copies both grids (separations in metres, row by row) and marks the
// module initialised. Refuses, changing nothing, when either count is not
// the grid's post count.
bool GeoidInstallGrids(const float* egm96, std::size_t egm96Count, const float* egm84,
                       std::size_t egm84Count);
// Forgets the grids: the module is uninitialised again.
void GeoidClearGrids();

// Latitude and longitude in radians; the grid of postsPerRow * rows posts
// at the spacing in degrees. The separation is written only on success.
std::uint32_t GeoidInterpolateBilinear(double latitude, double longitude, double spacing,
                                       int postsPerRow, int rows, const float* grid,
                                       double& separation);
std::uint32_t GeoidInterpolateSpline(double latitude, double longitude, double spacing,
                                     int postsPerRow, int rows, const float* grid,
                                     double& separation);

// Height conversions. On a flag the height is handed back unchanged.
std::uint32_t GeoidEllipsoidToMslEgm96(double latitude, double longitude, double height,
                                       double& result);
std::uint32_t GeoidEllipsoidToMslEgm96Spline(double latitude, double longitude, double height,
                                             double& result);
std::uint32_t GeoidEllipsoidToMslEgm84(double latitude, double longitude, double height,
                                       double& result);
std::uint32_t GeoidEllipsoidToMslEgm84Spline(double latitude, double longitude, double height,
                                             double& result);
std::uint32_t GeoidMslToEllipsoidEgm96(double latitude, double longitude, double height,
                                       double& result);
std::uint32_t GeoidMslToEllipsoidEgm96Spline(double latitude, double longitude, double height,
                                             double& result);
std::uint32_t GeoidMslToEllipsoidEgm84(double latitude, double longitude, double height,
                                       double& result);
std::uint32_t GeoidMslToEllipsoidEgm84Spline(double latitude, double longitude, double height,
                                             double& result);
