#pragma once
// The United States National Grid module (CSYS_Usng).
//
// The strings and lettering of the MGRS module (crs/engine/Mgrs.h) with
// three differences: coordinates are rounded to the precision, a half going
// to the even multiple, instead of truncated; on the Clarke 1866, Clarke
// 1880 and Bessel ellipsoids ("CC", "CD", "BR", "BN") the row letters start
// at another place in their cycle; and a string whose point lies outside its
// latitude band gives the warning USNG_BandWarning with its result instead
// of an error.
//
// Module state (a, f, the ellipsoid code) is process-wide; the last
// successful set-parameters call wins.

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::uint32_t USNG_LatitudeError = 0x0001;
constexpr std::uint32_t USNG_LongitudeError = 0x0002;
constexpr std::uint32_t USNG_StringError = 0x0004;
constexpr std::uint32_t USNG_PrecisionError = 0x0008;
constexpr std::uint32_t USNG_SemiMajorAxisError = 0x0010;
constexpr std::uint32_t USNG_InverseFlatteningError = 0x0020;
constexpr std::uint32_t USNG_EastingError = 0x0040;
constexpr std::uint32_t USNG_NorthingError = 0x0080;
constexpr std::uint32_t USNG_ZoneError = 0x0100;
constexpr std::uint32_t USNG_HemisphereError = 0x0200;
constexpr std::uint32_t USNG_BandWarning = 0x0400; // the conversion completes

constexpr std::size_t USNG_StringSize = 16;

std::uint32_t UsngSetParameters(double a, double f, std::string_view ellipsoidCode);
void UsngGetParameters(double& a, double& f, char (&ellipsoidCode)[3]);
std::uint32_t UsngForward(double latitude, double longitude, long precision, char* usng);
std::uint32_t UsngInverse(std::string_view usng, double& latitude, double& longitude);
std::uint32_t UsngFromUtm(std::int32_t zone, char hemisphere, double easting, double northing,
                          long precision, char* usng);
std::uint32_t UsngToUtm(std::string_view usng, std::int32_t& zone, char& hemisphere,
                        double& easting, double& northing);
std::uint32_t UsngFromUps(char hemisphere, double easting, double northing, long precision,
                          char* usng);
std::uint32_t UsngToUps(std::string_view usng, char& hemisphere, double& easting, double& northing);
