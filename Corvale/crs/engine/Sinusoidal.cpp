#include "crs/engine/Sinusoidal.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kFullEasting = 20037509.0;
// 179/180 of the full width.
constexpr double kShortEasting = 19926189.0;
constexpr double kNorthingHalfWidth = 10001966.0;

struct SinusoidalState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e2 = 0.0;
    MeridianSeries meridian;
    FootpointSeries footpoint;
    double minEasting = -kFullEasting;
    double maxEasting = kFullEasting;
};

SinusoidalState Derived(SinusoidalState s) {
    s.e2 = 2.0 * s.f - s.f * s.f;
    s.meridian.Derive(s.e2);
    s.footpoint.Derive(s.e2);
    return s;
}

SinusoidalState g_state = Derived(SinusoidalState{});

} // namespace

std::uint32_t SinusoidalSetParameters(double a, double f, double centralMeridian,
                                      double falseEasting, double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    SinusoidalState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s = Derived(s);
    SetWorldEastingBounds(s, kFullEasting, kShortEasting);
    g_state = s;
    return 0;
}

void SinusoidalGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                             double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t SinusoidalForward(double latitude, double longitude, double& easting,
                                double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const SinusoidalState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sinLat = std::sin(latitude);
    easting =
        s.a * dl * std::cos(latitude) / std::sqrt(1.0 - s.e2 * sinLat * sinLat) + s.falseEasting;
    northing = s.a * s.meridian(latitude) + s.falseNorthing;
    return 0;
}

std::uint32_t SinusoidalInverse(double easting, double northing, double& latitude,
                                double& longitude) {
    const SinusoidalState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, s.minEasting, s.maxEasting,
                                s.falseNorthing, -kNorthingHalfWidth, kNorthingHalfWidth))
        return flags;

    const double mu = (northing - s.falseNorthing) / (s.a * s.meridian.c0);
    const double lat = ClampLatitude(s.footpoint(mu));
    double lon = s.centralMeridian;
    // Within 1e-8 of a pole every easting is the pole itself.
    const double absLat = std::fabs(lat);
    if (!(absLat > 1.5707963167948966 && absLat < 1.5707963367948965)) {
        const double sinLat = std::sin(lat);
        lon += (easting - s.falseEasting) * std::sqrt(1.0 - s.e2 * sinLat * sinLat) /
               (s.a * std::cos(lat));
    }
    latitude = lat;
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
