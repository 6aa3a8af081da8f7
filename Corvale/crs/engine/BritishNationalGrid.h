#pragma once
// The British National Grid module (CSYS_BritishNationalGrid).
//
// The Ordnance Survey's Transverse Mercator grid on the Airy 1830 ellipsoid
// (origin 49 N 2 W, scale 0.9996012717, false origin 400 km west and 100 km
// north of it) written as grid references such as "TQ 3004 8012": the
// letter of the 500 km square ("STNOHJ" from the false origin), the letter
// of the 100 km square within it (five by five, A to Z without I, from the
// north-west corner), then as many easting as northing digits, none to five.
// Drives the Transverse Mercator module, which a caller using it directly
// must set up again afterwards. The only ellipsoid accepted is "AA".

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::uint32_t BNG_LatitudeError = 0x0001;  // outside 49.5..61.5 degrees
constexpr std::uint32_t BNG_LongitudeError = 0x0002; // outside -10..3.5 degrees
constexpr std::uint32_t BNG_EastingError = 0x0004;   // Transverse Mercator easting flag
constexpr std::uint32_t BNG_NorthingError = 0x0008;  // Transverse Mercator northing flag
constexpr std::uint32_t BNG_GridAreaError = 0x0010;  // no square of the grid, or outside its limits
constexpr std::uint32_t BNG_StringError = 0x0020;
constexpr std::uint32_t BNG_EllipsoidError = 0x0040; // not Airy 1830

// Two letters, a blank, ten digits and the NUL.
constexpr std::size_t BNG_StringSize = 14;

std::uint32_t BngSetParameters(std::string_view ellipsoidCode);
void BngGetParameters(char (&ellipsoidCode)[3]);
// Precision 0 to 5 gives 100 km to 1 m; the string has no blanks.
std::uint32_t BngForward(double latitude, double longitude, long precision, char* bng);
// Blanks may precede the letters and stand between them and the digits.
std::uint32_t BngInverse(std::string_view bng, double& latitude, double& longitude);
