#include "crs/engine/Gnomonic.h"

#include "crs/engine/ProjectionSeries.h"

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
    std::uint32_t flags = CheckEllipsoid(a, f) | CheckFalseOrigin(falseEasting, falseNorthing);
    if (!IsLatitudeInRange(originLatitude))
        flags |= PRJ_OriginLatitudeError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= PRJ_CentralMeridianError;
    if (flags)
        return flags;

    GnomonicState s;
    s.a = a;
    s.f = f;
    s.originLatitude = originLatitude;
    s.centralMeridian = FoldOnce(centralMeridian);
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    g_state = Derived(s);
    return 0;
}

void GnomonicGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                           double& falseEasting, double& falseNorthing) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
}

std::uint32_t GnomonicForward(double latitude, double longitude, double& easting,
                              double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= PRJ_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= PRJ_LongitudeError;
    if (flags)
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
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - kHalfWidth, s.falseEasting + kHalfWidth))
        flags |= PRJ_EastingError;
    if (!InRange(northing, s.falseNorthing - kHalfWidth, s.falseNorthing + kHalfWidth))
        flags |= PRJ_NorthingError;
    if (flags)
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
