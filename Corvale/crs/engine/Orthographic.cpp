#include "crs/engine/Orthographic.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

struct OrthographicState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double sinLat0 = 0.0;
    double cosLat0 = 1.0;
};

OrthographicState Derived(OrthographicState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.sinLat0 = std::sin(s.originLatitude);
    s.cosLat0 = std::cos(s.originLatitude);
    return s;
}

OrthographicState g_state = Derived(OrthographicState{});

} // namespace

std::uint32_t OrthographicSetParameters(double a, double f, double originLatitude,
                                        double centralMeridian, double falseEasting,
                                        double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    OrthographicState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    g_state = Derived(s);
    return 0;
}

void OrthographicGetParameters(double& a, double& f, double& originLatitude,
                               double& centralMeridian, double& falseEasting,
                               double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t OrthographicForward(double latitude, double longitude, double& easting,
                                  double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const OrthographicState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double cosDl = std::cos(dl);
    // The far hemisphere has no image.
    if (s.sinLat0 * sinLat + s.cosLat0 * cosLat * cosDl < 0.0)
        return PRJ_LongitudeError;
    easting = s.ra * cosLat * std::sin(dl) + s.falseEasting;
    northing = s.ra * (s.cosLat0 * sinLat - s.sinLat0 * cosLat * cosDl) + s.falseNorthing;
    return 0;
}

std::uint32_t OrthographicInverse(double easting, double northing, double& latitude,
                                  double& longitude) {
    const OrthographicState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -s.ra, s.ra,
                                s.falseNorthing, -s.ra, s.ra))
        return flags;
    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double rho = std::sqrt(dx * dx + dy * dy);
    if (rho > s.ra)
        return ORTH_RadiusError;

    double lat = s.originLatitude;
    double lon = s.centralMeridian;
    if (rho != 0.0) {
        const double c = std::asin(Clamp(rho / s.ra));
        double dl;
        SphericalAzimuthalInverse(dx, dy, rho, c, s.sinLat0, s.cosLat0, lat, dl);
        if (s.originLatitude == kHalfPi)
            dl = std::atan2(dx, -dy);
        else if (s.originLatitude == -kHalfPi)
            dl = std::atan2(dx, dy);
        lon += dl;
    }
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
