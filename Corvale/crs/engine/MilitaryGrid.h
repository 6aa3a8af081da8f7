#pragma once
// The lettering shared by the MGRS and USNG grid modules: latitude bands,
// 100 km square letters, the polar squares of UPS, breaking and writing
// grid strings. Both modules keep their own state and hand it in as Rules;
// they differ only in how a coordinate is reduced to the precision, in the
// row lettering of a few old ellipsoids and in what a point outside its
// latitude band means. Not for use outside the engine.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace geoengine::milgrid {

constexpr std::uint32_t kLatitudeError = 0x0001;
constexpr std::uint32_t kLongitudeError = 0x0002;
constexpr std::uint32_t kStringError = 0x0004;
constexpr std::uint32_t kPrecisionError = 0x0008;
constexpr std::uint32_t kSemiMajorAxisError = 0x0010;
constexpr std::uint32_t kInverseFlatteningError = 0x0020;
constexpr std::uint32_t kEastingError = 0x0040;
constexpr std::uint32_t kNorthingError = 0x0080;
constexpr std::uint32_t kZoneError = 0x0100;
constexpr std::uint32_t kHemisphereError = 0x0200;
constexpr std::uint32_t kBandWarning = 0x0400;

// Zone, three letters and ten digits, and the terminating NUL.
constexpr std::size_t kStringSize = 16;

struct Rules {
    double a;
    double f;
    // USNG: coordinates are rounded to the precision (half to even) rather
    // than truncated, and a point outside its band is only a warning.
    bool usng;
    // Rows start 1000 km / 500 km into the cycle instead of 0 / 1500 km.
    bool alternateRows;
};

std::uint32_t FromUtm(const Rules& rules, std::int32_t zone, char hemisphere, double easting,
                      double northing, long precision, char* out);
std::uint32_t ToUtm(const Rules& rules, std::string_view text, std::int32_t& zone, char& hemisphere,
                    double& easting, double& northing);
std::uint32_t FromUps(const Rules& rules, char hemisphere, double easting, double northing,
                      long precision, char* out);
std::uint32_t ToUps(const Rules& rules, std::string_view text, char& hemisphere, double& easting,
                    double& northing);
std::uint32_t Forward(const Rules& rules, double latitude, double longitude, long precision,
                      char* out);
std::uint32_t Inverse(const Rules& rules, std::string_view text, double& latitude,
                      double& longitude);

// Half-way values go to the even integer.
double RoundHalfEven(double value);

} // namespace geoengine::milgrid
