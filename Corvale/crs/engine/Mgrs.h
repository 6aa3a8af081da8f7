#pragma once
// The Military Grid Reference System grid module (CSYS_Mgrs).
//
// Grid strings such as "33UXP0500068700": a two-digit UTM zone (two blanks
// in the polar squares of UPS), a latitude band letter (or the polar letter
// A, B, Y or Z), the column and row letters of the 100 km square, then as
// many easting digits as northing digits, from none (the 100 km square) to
// five (the metre). Built on the UTM and UPS modules, which it
// re-parameterises with its own ellipsoid. Coordinates are truncated to the
// precision, so a string names the square the point lies in.
//
// Module state (a, f, 1/f, the ellipsoid code) is process-wide; the last
// successful set-parameters call wins.

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::uint32_t MGRS_LatitudeError = 0x0001;  // out of range, or outside the string's band
constexpr std::uint32_t MGRS_LongitudeError = 0x0002; // outside -pi..2*pi
constexpr std::uint32_t MGRS_StringError = 0x0004;    // format, zone or letters
constexpr std::uint32_t MGRS_PrecisionError = 0x0008; // outside 0..5
constexpr std::uint32_t MGRS_SemiMajorAxisError = 0x0010;     // a <= 0
constexpr std::uint32_t MGRS_InverseFlatteningError = 0x0020; // 1/f outside 250..350
constexpr std::uint32_t MGRS_EastingError = 0x0040;
constexpr std::uint32_t MGRS_NorthingError = 0x0080;
constexpr std::uint32_t MGRS_ZoneError = 0x0100;
constexpr std::uint32_t MGRS_HemisphereError = 0x0200; // not 'N' or 'S'

// Output strings need this many chars, the NUL included.
constexpr std::size_t MGRS_StringSize = 16;

std::uint32_t MgrsSetParameters(double a, double f, std::string_view ellipsoidCode);
// The code is written NUL-terminated into three chars.
void MgrsGetParameters(double& a, double& f, char (&ellipsoidCode)[3]);
std::uint32_t MgrsForward(double latitude, double longitude, long precision, char* mgrs);
std::uint32_t MgrsInverse(std::string_view mgrs, double& latitude, double& longitude);
std::uint32_t MgrsFromUtm(std::int32_t zone, char hemisphere, double easting, double northing,
                          long precision, char* mgrs);
std::uint32_t MgrsToUtm(std::string_view mgrs, std::int32_t& zone, char& hemisphere,
                        double& easting, double& northing);
std::uint32_t MgrsFromUps(char hemisphere, double easting, double northing, long precision,
                          char* mgrs);
std::uint32_t MgrsToUps(std::string_view mgrs, char& hemisphere, double& easting, double& northing);
