#include "crs/engine/Mgrs.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/MilitaryGrid.h"

using namespace geoengine;

namespace {

struct MgrsState {
    double a = kWgs84A;
    double f = kWgs84F;
    double inverseFlattening = 298.257223563;
    char ellipsoidCode[3] = {'W', 'E', '\0'};
};

MgrsState g_state;

milgrid::Rules Rules() {
    return {g_state.a, g_state.f, false, false};
}

} // namespace

static_assert(MGRS_StringSize == milgrid::kStringSize);

std::uint32_t MgrsSetParameters(double a, double f, std::string_view ellipsoidCode) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= MGRS_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= MGRS_InverseFlatteningError;
    if (flags)
        return flags;
    g_state.a = a;
    g_state.f = f;
    g_state.inverseFlattening = 1.0 / f;
    g_state.ellipsoidCode[0] = ellipsoidCode.size() > 0 ? ellipsoidCode[0] : '\0';
    g_state.ellipsoidCode[1] = ellipsoidCode.size() > 1 ? ellipsoidCode[1] : '\0';
    return 0;
}

void MgrsGetParameters(double& a, double& f, char (&ellipsoidCode)[3]) {
    a = g_state.a;
    f = g_state.f;
    ellipsoidCode[0] = g_state.ellipsoidCode[0];
    ellipsoidCode[1] = g_state.ellipsoidCode[1];
    ellipsoidCode[2] = '\0';
}

std::uint32_t MgrsForward(double latitude, double longitude, long precision, char* mgrs) {
    return milgrid::Forward(Rules(), latitude, longitude, precision, mgrs);
}

std::uint32_t MgrsInverse(std::string_view mgrs, double& latitude, double& longitude) {
    return milgrid::Inverse(Rules(), mgrs, latitude, longitude);
}

std::uint32_t MgrsFromUtm(std::int32_t zone, char hemisphere, double easting, double northing,
                          long precision, char* mgrs) {
    return milgrid::FromUtm(Rules(), zone, hemisphere, easting, northing, precision, mgrs);
}

std::uint32_t MgrsToUtm(std::string_view mgrs, std::int32_t& zone, char& hemisphere,
                        double& easting, double& northing) {
    return milgrid::ToUtm(Rules(), mgrs, zone, hemisphere, easting, northing);
}

std::uint32_t MgrsFromUps(char hemisphere, double easting, double northing, long precision,
                          char* mgrs) {
    return milgrid::FromUps(Rules(), hemisphere, easting, northing, precision, mgrs);
}

std::uint32_t MgrsToUps(std::string_view mgrs, char& hemisphere, double& easting,
                        double& northing) {
    return milgrid::ToUps(Rules(), mgrs, hemisphere, easting, northing);
}
