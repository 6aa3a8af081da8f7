#pragma once
// Error flags shared by the projection modules of the engine.
//
// Every module keeps one current parameter set in process-wide storage and
// offers four operations: set parameters, get parameters, forward (geodetic
// to projected) and inverse (projected to geodetic). Each returns a word of
// these flags, 0 for success; the values from 0x0100 upward belong to the
// module that raises them. All ranges are inclusive at both ends; a value
// that is not a finite number is out of every range.

#include <cstdint>

constexpr std::uint32_t PRJ_LatitudeError = 0x0001;          // forward
constexpr std::uint32_t PRJ_LongitudeError = 0x0002;         // forward
constexpr std::uint32_t PRJ_EastingError = 0x0004;           // inverse
constexpr std::uint32_t PRJ_NorthingError = 0x0008;          // inverse
constexpr std::uint32_t PRJ_OriginLatitudeError = 0x0010;    // set parameters
constexpr std::uint32_t PRJ_CentralMeridianError = 0x0020;   // set parameters: outside -pi..2*pi
constexpr std::uint32_t PRJ_SemiMajorAxisError = 0x0040;     // set parameters: a <= 0
constexpr std::uint32_t PRJ_InverseFlatteningError = 0x0080; // set parameters: 1/f outside 250..350
