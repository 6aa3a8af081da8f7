#pragma once
// The engine's ellipsoid module: the 23 reference ellipsoids, looked up by
// two-letter code or by 1-based index.
//
// The table is built once per process (EllipsoidInitialize) and read-only
// afterwards. Every operation returns an error word, 0 for success.

#include <cstdint>
#include <string_view>

constexpr std::uint32_t ELL_InitError = 0x0002;      // "WE" or "WD" missing from the table
constexpr std::uint32_t ELL_NotInitialized = 0x0008;
constexpr std::uint32_t ELL_InvalidIndex = 0x0010;   // index outside 1..count
constexpr std::uint32_t ELL_InvalidCode = 0x0020;    // no row with that code

constexpr std::uint32_t kEllipsoidCount = 23;

std::uint32_t EllipsoidInitialize();

// The code is upper-cased before the look-up; index is 0 on failure.
std::uint32_t EllipsoidGetIndex(std::string_view code, std::uint32_t& index);

// a in metres and the flattening f (not its inverse); both 0 on failure.
std::uint32_t EllipsoidGetParameters(std::uint32_t index, double& a, double& f);

std::uint32_t EllipsoidGetWgs84Parameters(double& a, double& f);
std::uint32_t EllipsoidGetWgs72Parameters(double& a, double& f);
