#include "crs/engine/AzimuthalEquidistant.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kPolarHalfWidth = 20015110.0;
constexpr double kHalfWidth = 19903915.0;

struct AzimuthalEquidistantState {
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
    double eastingHalfWidth = kHalfWidth;
    double northingHalfWidth = kHalfWidth;
};

AzimuthalEquidistantState Derived(AzimuthalEquidistantState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.sinLat0 = std::sin(s.originLatitude);
    s.cosLat0 = std::cos(s.originLatitude);
    s.absLat0 = std::fabs(s.originLatitude);
    return s;
}

AzimuthalEquidistantState g_state = Derived(AzimuthalEquidistantState{});

bool IsPolar(const AzimuthalEquidistantState& s) {
    return std::fabs(s.absLat0 - kHalfPi) < 1e-10;
}

} // namespace

std::uint32_t AzimuthalEquidistantSetParameters(double a, double f, double originLatitude,
                                                double centralMeridian, double falseEasting,
                                                double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing) |
            CheckLatitudeParameter(originLatitude, PRJ_OriginLatitudeError))
        return flags;

    AzimuthalEquidistantState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    s = Derived(s);
    if (IsPolar(s)) {
        s.eastingHalfWidth = kPolarHalfWidth;
        s.northingHalfWidth = kPolarHalfWidth;
    }
    g_state = s;
    if (!IsPolar(s) && s.absLat0 >= 1e-10) {
        // Oblique: the easting of the point 179 degrees round on the
        // opposite latitude.
        double e, n;
        if (AzimuthalEquidistantForward(-originLatitude, s.centralMeridian + kPi - kOneDegree, e,
                                        n) == 0)
            g_state.eastingHalfWidth = std::fabs(e - falseEasting);
    }
    return 0;
}

void AzimuthalEquidistantGetParameters(double& a, double& f, double& originLatitude,
                                       double& centralMeridian, double& falseEasting,
                                       double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
}

std::uint32_t AzimuthalEquidistantForward(double latitude, double longitude, double& easting,
                                          double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const AzimuthalEquidistantState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sinDl = std::sin(dl);
    const double cosDl = std::cos(dl);
    if (IsPolar(s)) {
        if (s.originLatitude > 0.0) {
            const double rho = s.ra * (kHalfPi - latitude);
            easting = rho * sinDl + s.falseEasting;
            northing = s.falseNorthing - rho * cosDl;
        } else {
            const double rho = s.ra * (kHalfPi + latitude);
            easting = rho * sinDl + s.falseEasting;
            northing = s.falseNorthing + rho * cosDl;
        }
        return 0;
    }
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const bool equatorial = s.absLat0 < 1e-10;
    const double cosZ =
        equatorial ? cosLat * cosDl : s.sinLat0 * sinLat + s.cosLat0 * cosLat * cosDl;
    if (std::fabs(std::fabs(cosZ) - 1.0) >= 1e-14) {
        const double z = std::acos(cosZ);
        const double k = s.ra * z / std::sin(z);
        easting = k * cosLat * sinDl + s.falseEasting;
        northing =
            (equatorial ? k * sinLat : k * (s.cosLat0 * sinLat - s.sinLat0 * cosLat * cosDl)) +
            s.falseNorthing;
        return 0;
    }
    if (cosZ > 0.0) {
        easting = s.falseEasting;
        northing = s.falseNorthing;
        return 0;
    }
    // The point opposite the centre is the whole bounding circle.
    return AZEQ_OppositePointError;
}

std::uint32_t AzimuthalEquidistantInverse(double easting, double northing, double& latitude,
                                          double& longitude) {
    const AzimuthalEquidistantState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -s.eastingHalfWidth,
                                s.eastingHalfWidth, s.falseNorthing, -s.northingHalfWidth,
                                s.northingHalfWidth))
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double rho = std::sqrt(dx * dx + dy * dy);
    double lat = s.originLatitude;
    double lon = s.centralMeridian;
    if (rho > 1e-10) {
        double dl;
        SphericalAzimuthalInverse(dx, dy, rho, rho / s.ra, s.sinLat0, s.cosLat0, lat, dl);
        if (IsPolar(s))
            dl = s.originLatitude > 0.0 ? std::atan2(dx, -dy) : std::atan2(dx, dy);
        lon += dl;
    }
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
