#include "crs/engine/Usng.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/MilitaryGrid.h"

using namespace geoengine;

namespace {

struct UsngState {
    double a = kWgs84A;
    double f = kWgs84F;
    char ellipsoidCode[3] = {'W', 'E', '\0'};
};

UsngState g_state;

// The old ellipsoids of North America and Europe keep the older row
// lettering.
bool UsesAlternateRows() {
    static const char* const kCodes[] = {"CC", "CD", "BR", "BN"};
    for (const char* code : kCodes)
        if (g_state.ellipsoidCode[0] == code[0] && g_state.ellipsoidCode[1] == code[1])
            return true;
    return false;
}

milgrid::Rules Rules() {
    return {g_state.a, g_state.f, true, UsesAlternateRows()};
}

} // namespace

static_assert(USNG_StringSize == milgrid::kStringSize);

std::uint32_t UsngSetParameters(double a, double f, std::string_view ellipsoidCode) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= USNG_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= USNG_InverseFlatteningError;
    if (flags)
        return flags;
    g_state.a = a;
    g_state.f = f;
    g_state.ellipsoidCode[0] = ellipsoidCode.size() > 0 ? ellipsoidCode[0] : '\0';
    g_state.ellipsoidCode[1] = ellipsoidCode.size() > 1 ? ellipsoidCode[1] : '\0';
    return 0;
}

void UsngGetParameters(double& a, double& f, char (&ellipsoidCode)[3]) {
    a = g_state.a;
    f = g_state.f;
    ellipsoidCode[0] = g_state.ellipsoidCode[0];
    ellipsoidCode[1] = g_state.ellipsoidCode[1];
    ellipsoidCode[2] = '\0';
}

std::uint32_t UsngForward(double latitude, double longitude, long precision, char* usng) {
    return milgrid::Forward(Rules(), latitude, longitude, precision, usng);
}

std::uint32_t UsngInverse(std::string_view usng, double& latitude, double& longitude) {
    return milgrid::Inverse(Rules(), usng, latitude, longitude);
}

std::uint32_t UsngFromUtm(std::int32_t zone, char hemisphere, double easting, double northing,
                          long precision, char* usng) {
    return milgrid::FromUtm(Rules(), zone, hemisphere, easting, northing, precision, usng);
}

std::uint32_t UsngToUtm(std::string_view usng, std::int32_t& zone, char& hemisphere,
                        double& easting, double& northing) {
    return milgrid::ToUtm(Rules(), usng, zone, hemisphere, easting, northing);
}

std::uint32_t UsngFromUps(char hemisphere, double easting, double northing, long precision,
                          char* usng) {
    return milgrid::FromUps(Rules(), hemisphere, easting, northing, precision, usng);
}

std::uint32_t UsngToUps(std::string_view usng, char& hemisphere, double& easting,
                        double& northing) {
    return milgrid::ToUps(Rules(), usng, hemisphere, easting, northing);
}
