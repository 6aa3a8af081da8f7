#include "crs/engine/Gnomonic.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 40000000.0;

struct GnomonicState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double sinLat0 = 0.0;
    double cosLat0 = 1.0;
    double absLat0 = 0.0;
};

GnomonicState Derived(GnomonicState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.sinLat0 = std::sin(s.originLatitude);
    s.cosLat0 = std::cos(s.originLatitude);
    s.absLat0 = std::fabs(s.originLatitude);
    return s;
}

GnomonicState g_state = Derived(GnomonicState{});

} // namespace

std::uint32_t GnomonicSetParameters(double a, double f, double originLatitude,
                                    double centralMeridian, double falseEasting,
                                    double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    GnomonicState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    g_state = Derived(s);
    return 0;
}

void GnomonicGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                           double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t GnomonicForward(double latitude, double longitude, double& easting,
                              double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const GnomonicState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double sinDl = std::sin(dl);
    const double cosDl = std::cos(dl);
    const double cosC = s.cosLat0 * cosLat * cosDl + s.sinLat0 * sinLat;
    // 90 degrees or more from the centre has no image.
    if (cosC <= 1e-10)
        return PRJ_LongitudeError;
    if (std::fabs(s.absLat0 - kHalfPi) < 1e-10) {
        const double r = s.ra * cosLat / sinLat;
        if (s.originLatitude > 0.0) {
            easting = s.falseEasting + r * sinDl;
            northing = s.falseNorthing - r * cosDl;
        } else {
            // r < 0 in the southern hemisphere: both signs turn with it.
            // (A northing of + r cos dl would mirror the map north to south
            // and part it from the inverse.)
            easting = s.falseEasting - r * sinDl;
            northing = s.falseNorthing - r * cosDl;
        }
    } else if (s.absLat0 <= 1e-10) {
        easting = s.ra * std::tan(dl) + s.falseEasting;
        northing = s.ra * std::tan(latitude) / cosDl + s.falseNorthing;
    } else {
        const double k = s.ra / cosC;
        easting = k * cosLat * sinDl + s.falseEasting;
        northing = k * (s.cosLat0 * sinLat - s.sinLat0 * cosLat * cosDl) + s.falseNorthing;
    }
    return 0;
}

std::uint32_t GnomonicInverse(double easting, double northing, double& latitude,
                              double& longitude) {
    const GnomonicState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kHalfWidth, kHalfWidth,
                                s.falseNorthing, -kHalfWidth, kHalfWidth))
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double rho = std::sqrt(dx * dx + dy * dy);
    double lat = s.originLatitude;
    double lon = s.centralMeridian;
    if (rho > 1e-10) {
        double dl;
        SphericalAzimuthalInverse(dx, dy, rho, std::atan(rho / s.ra), s.sinLat0, s.cosLat0, lat,
                                  dl);
        lon += dl;
    }
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
