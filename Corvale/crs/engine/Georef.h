#pragma once
// The World Geographic Reference System module (CSYS_Georef).
//
// Strings such as "NGAA0000000000": a 15-degree longitude tile letter (A to
// Z without I and O, eastwards from 180 W), a 15-degree latitude tile letter
// (A to M, northwards from 90 S), the longitude and latitude degree letters
// within the tile (A to Q), then as many longitude minute digits as latitude
// minute digits: none, two (whole minutes, written from precision 1 or 2)
// or up to five (the digits after the second are decimals of a minute). A
// string is read as the south-west corner of the area it names. No
// parameters.

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::uint32_t GEOREF_LatitudeError = 0x0001;        // outside -90..90 degrees
constexpr std::uint32_t GEOREF_LongitudeError = 0x0002;       // outside -180..360 degrees
constexpr std::uint32_t GEOREF_StringError = 0x0004;          // length not even in 4..14
constexpr std::uint32_t GEOREF_LatitudeLetterError = 0x0008;  // second or fourth letter
constexpr std::uint32_t GEOREF_LongitudeLetterError = 0x0010; // first or third letter
constexpr std::uint32_t GEOREF_LatitudeMinutesError = 0x0020;
constexpr std::uint32_t GEOREF_LongitudeMinutesError = 0x0040;
constexpr std::uint32_t GEOREF_PrecisionError = 0x0080; // outside 0..5

constexpr std::size_t GEOREF_StringSize = 15;

std::uint32_t GeorefForward(double latitude, double longitude, long precision, char* georef);
std::uint32_t GeorefInverse(std::string_view georef, double& latitude, double& longitude);
