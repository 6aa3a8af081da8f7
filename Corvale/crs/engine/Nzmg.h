#pragma once
// The New Zealand Map Grid module (CSYS_NewZealandMapGrid).
//
// The complex-polynomial projection of New Zealand on the International
// 1924 ellipsoid: the latitude becomes an isometric-latitude difference by a
// power series, which with the longitude difference forms a complex number
// carried to the grid by a polynomial of degree six. The constants are the
// published ones of the grid (origin 41 S 173 E, false easting 2510000 m,
// false northing 6023150 m); the only ellipsoid accepted is "IN".
//
// Module state (the ellipsoid code) is process-wide.

#include <cstdint>
#include <string_view>

constexpr std::uint32_t NZMG_LatitudeError = 0x0001;  // outside -48.5..-33.5 degrees
constexpr std::uint32_t NZMG_LongitudeError = 0x0002; // outside 165.5..180 degrees
constexpr std::uint32_t NZMG_EastingError = 0x0004;   // outside 1810000..3170000
constexpr std::uint32_t NZMG_NorthingError = 0x0008;  // outside 5160000..6900000
constexpr std::uint32_t NZMG_EllipsoidError = 0x0010; // not the International 1924 ellipsoid

std::uint32_t NzmgSetParameters(std::string_view ellipsoidCode);
void NzmgGetParameters(char (&ellipsoidCode)[3]);
std::uint32_t NzmgForward(double latitude, double longitude, double& easting, double& northing);
// A result outside the forward ranges is written and flagged.
std::uint32_t NzmgInverse(double easting, double northing, double& latitude, double& longitude);
