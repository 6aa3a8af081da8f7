#pragma once
// The Universal Transverse Mercator grid module (CSYS_Utm).
//
// Picks the zone from the point (6-degree zones, with the Norway and
// Svalbard exceptions and an optional override of at most one zone) and
// drives the Transverse Mercator module with scale 0.9996, false easting
// 500000 m and, south of the equator, false northing 10000000 m. Because it
// re-parameterises that module, a caller that uses Transverse Mercator
// itself must set it up again afterwards.
//
// Module state (a, f, the override zone) is process-wide; the last
// successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t UTM_LatitudeError = 0x0001;  // outside -80.5..84.5 degrees
constexpr std::uint32_t UTM_LongitudeError = 0x0002; // outside -pi..2*pi
constexpr std::uint32_t UTM_EastingError = 0x0004;   // outside 100000..900000
constexpr std::uint32_t UTM_NorthingError =
    0x0008;                                     // outside 0..10000000, or latitude after inverse
constexpr std::uint32_t UTM_ZoneError = 0x0010; // zone outside 1..60
constexpr std::uint32_t UTM_HemisphereError = 0x0020;        // hemisphere not 'N' or 'S'
constexpr std::uint32_t UTM_ZoneOverrideError = 0x0040;      // override outside 0..60, or too far
constexpr std::uint32_t UTM_SemiMajorAxisError = 0x0080;     // a <= 0
constexpr std::uint32_t UTM_InverseFlatteningError = 0x0100; // 1/f outside 250..350

// An override zone of 0 means none: the zone follows the point.
std::uint32_t UtmSetParameters(double a, double f, std::int32_t overrideZone);
void UtmGetParameters(double& a, double& f, std::int32_t& overrideZone);
// Zone, hemisphere, easting and northing are written whenever the latitude,
// longitude and override checks pass, even with an easting or northing flag.
std::uint32_t UtmForward(double latitude, double longitude, std::int32_t& zone, char& hemisphere,
                         double& easting, double& northing);
std::uint32_t UtmInverse(std::int32_t zone, char hemisphere, double easting, double northing,
                         double& latitude, double& longitude);
