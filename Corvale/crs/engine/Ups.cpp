#include "crs/engine/Ups.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/PolarStereographic.h"

using namespace geoengine;

namespace {

constexpr double kTrueScaleLatitude = 1.4157155848011311; // 81.114528 degrees
constexpr double kSouthLimit = -1.387536755335492;        // -79.5 degrees
constexpr double kNorthLimit = 1.4573499254152653;        // 83.5 degrees
constexpr double kPoleOffset = 2000000.0;
constexpr double kMaxCoordinate = 4000000.0;

struct UpsState {
    double a = kWgs84A;
    double f = kWgs84F;
    double trueScaleLatitude = kTrueScaleLatitude;
    double easting = kPoleOffset;
    double northing = kPoleOffset;
};

UpsState g_state;

// Between the UPS caps lies UTM's ground.
bool LatitudeOutsideCaps(double latitude) {
    return (latitude < 0.0 && latitude > kSouthLimit) ||
           (latitude >= 0.0 && latitude < kNorthLimit);
}

bool CoordinateInRange(double v) {
    return v >= 0.0 && v <= kMaxCoordinate;
}

} // namespace

std::uint32_t UpsSetParameters(double a, double f) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= UPS_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= UPS_InverseFlatteningError;
    if (flags)
        return flags;
    g_state.a = a;
    g_state.f = f;
    return 0;
}

void UpsGetParameters(double& a, double& f) {
    a = g_state.a;
    f = g_state.f;
}

std::uint32_t UpsForward(double latitude, double longitude, char& hemisphere, double& easting,
                         double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude) || LatitudeOutsideCaps(latitude))
        flags |= UPS_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= UPS_LongitudeError;
    if (flags)
        return flags;

    const bool north = latitude >= 0.0;
    g_state.trueScaleLatitude = north ? kTrueScaleLatitude : -kTrueScaleLatitude;
    PolarStereographicSetParameters(g_state.a, g_state.f, g_state.trueScaleLatitude, 0.0, 0.0, 0.0);
    double x = 0.0;
    double y = 0.0;
    PolarStereographicForward(latitude, longitude, x, y);
    g_state.easting = kPoleOffset + x;
    g_state.northing = kPoleOffset + y;
    hemisphere = north ? 'N' : 'S';
    easting = g_state.easting;
    northing = g_state.northing;
    return 0;
}

std::uint32_t UpsInverse(char hemisphere, double easting, double northing, double& latitude,
                         double& longitude) {
    std::uint32_t flags = 0;
    if (hemisphere == 'N')
        g_state.trueScaleLatitude = kTrueScaleLatitude;
    else if (hemisphere == 'S')
        g_state.trueScaleLatitude = -kTrueScaleLatitude;
    else
        flags |= UPS_HemisphereError;
    if (!CoordinateInRange(easting))
        flags |= UPS_EastingError;
    if (!CoordinateInRange(northing))
        flags |= UPS_NorthingError;
    if (flags)
        return flags;

    PolarStereographicSetParameters(g_state.a, g_state.f, g_state.trueScaleLatitude, 0.0,
                                    kPoleOffset, kPoleOffset);
    double lat = latitude;
    double lon = longitude;
    PolarStereographicInverse(easting, northing, lat, lon);
    if (LatitudeOutsideCaps(lat))
        flags |= UPS_LatitudeError;
    latitude = lat;
    longitude = lon;
    return flags;
}
