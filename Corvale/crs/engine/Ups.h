#pragma once
// The Universal Polar Stereographic grid module (CSYS_Ups).
//
// North of 83.5 degrees and south of -79.5 degrees: polar stereographic with
// the latitude of true scale +-81.114528 degrees (a scale of 0.994 at the
// pole), the pole at easting and northing 2000000 m. Drives the Polar
// Stereographic module, which a caller using it directly must set up again
// afterwards.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t UPS_LatitudeError = 0x0001;          // also checked after the inverse
constexpr std::uint32_t UPS_LongitudeError = 0x0002;         // outside -pi..2*pi
constexpr std::uint32_t UPS_HemisphereError = 0x0004;        // not 'N' or 'S'
constexpr std::uint32_t UPS_EastingError = 0x0008;           // outside 0..4000000
constexpr std::uint32_t UPS_NorthingError = 0x0010;          // outside 0..4000000
constexpr std::uint32_t UPS_SemiMajorAxisError = 0x0020;     // a <= 0
constexpr std::uint32_t UPS_InverseFlatteningError = 0x0040; // 1/f outside 250..350

std::uint32_t UpsSetParameters(double a, double f);
void UpsGetParameters(double& a, double& f);
std::uint32_t UpsForward(double latitude, double longitude, char& hemisphere, double& easting,
                         double& northing);
std::uint32_t UpsInverse(char hemisphere, double easting, double northing, double& latitude,
                         double& longitude);
