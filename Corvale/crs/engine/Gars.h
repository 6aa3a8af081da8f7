#pragma once
// The Global Area Reference System module (CSYS_Gars).
//
// Strings such as "361HN37": a three-digit longitude band of 30 minutes
// (001 to 720 eastwards from 180 W), two letters naming the 30-minute
// latitude band (AA to QZ northwards from 90 S, without I and O), then
// optionally the 15-minute quadrant (1 to 4 from the north-west) and the
// 5-minute keypad square (1 to 9 from the north-west, row by row). A string
// is read as the centre of the area it names. No parameters.

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::uint32_t GARS_LatitudeError = 0x0001;  // outside -90..90 degrees
constexpr std::uint32_t GARS_LongitudeError = 0x0002; // outside -180..360 degrees
constexpr std::uint32_t GARS_StringError = 0x0004;    // length, or the band not 001..720
constexpr std::uint32_t GARS_Letter2Error = 0x0008;   // second letter
constexpr std::uint32_t GARS_Letter1Error = 0x0010;   // first letter
constexpr std::uint32_t GARS_QuadrantError = 0x0020;  // not 1..4
constexpr std::uint32_t GARS_KeypadError = 0x0040;    // not 1..9
constexpr std::uint32_t GARS_PrecisionError = 0x0080; // outside 0..5

constexpr std::size_t GARS_StringSize = 8;

// Precision 0 gives the 30-minute cell, 1 adds the quadrant, 2 to 5 the
// keypad square as well.
std::uint32_t GarsForward(double latitude, double longitude, long precision, char* gars);
std::uint32_t GarsInverse(std::string_view gars, double& latitude, double& longitude);
