#include "crs/engine/Stereographic.h"

#include "crs/engine/ProjectionSeries.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 1460090226.0;

struct StereographicState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double twoRa = 0.0;
    double sinLat0 = 0.0;
    double cosLat0 = 1.0;
    bool polar = false;
    double eastingHalfWidth = kHalfWidth;
};

StereographicState Derived(StereographicState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.twoRa = 2.0 * s.ra;
    s.sinLat0 = std::sin(s.originLatitude);
    s.cosLat0 = std::cos(s.originLatitude);
    s.polar = std::fabs(std::fabs(s.originLatitude) - kHalfPi) < 1e-10;
    return s;
}

StereographicState g_state = Derived(StereographicState{});

} // namespace

std::uint32_t StereographicSetParameters(double a, double f, double originLatitude,
                                         double centralMeridian, double falseEasting,
                                         double falseNorthing) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= STG_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= STG_InverseFlatteningError;
    if (!IsLatitudeInRange(originLatitude))
        flags |= STG_OriginLatitudeError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= STG_CentralMeridianError;
    if (!IsFinite(falseEasting))
        flags |= STG_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= STG_NorthingError;
    if (flags)
        return flags;

    StereographicState s;
    s.a = a;
    s.f = f;
    s.originLatitude = originLatitude;
    s.centralMeridian = FoldOnce(centralMeridian);
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    g_state = Derived(s);
    if (!g_state.polar && std::fabs(originLatitude) >= 1e-10) {
        // Oblique: the easting of the point 179 degrees round on the
        // opposite latitude.
        double e, n;
        StereographicForward(-originLatitude, s.centralMeridian + kPi - kOneDegree, e, n);
        g_state.eastingHalfWidth = std::fabs(e - falseEasting);
    }
    return 0;
}

void StereographicGetParameters(double& a, double& f, double& originLatitude,
                                double& centralMeridian, double& falseEasting,
                                double& falseNorthing) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
}

std::uint32_t StereographicForward(double latitude, double longitude, double& easting,
                                   double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= STG_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= STG_LongitudeError;
    if (flags)
        return flags;

    const StereographicState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double cosDl = std::cos(dl);
    const double g = 1.0 + s.sinLat0 * sinLat + s.cosLat0 * cosLat * cosDl;
    // The point opposite the centre goes to infinity.
    if (std::fabs(g) <= 1e-10)
        return STG_LongitudeError;
    if (s.polar) {
        if (std::fabs(std::fabs(latitude) - kHalfPi) < 1e-10) {
            easting = s.falseEasting;
            northing = s.falseNorthing;
        } else if (s.originLatitude <= 0.0) {
            const double rho = s.twoRa * std::tan(kPi / 4.0 + latitude / 2.0);
            easting = rho * std::sin(dl) + s.falseEasting;
            northing = rho * cosDl + s.falseNorthing;
        } else {
            const double rho = s.twoRa * std::tan(kPi / 4.0 - latitude / 2.0);
            easting = rho * std::sin(dl) + s.falseEasting;
            northing = s.falseNorthing - rho * cosDl;
        }
        return 0;
    }
    if (std::fabs(s.originLatitude) > 1e-10) {
        const double k = s.twoRa / g;
        easting = k * cosLat * std::sin(dl) + s.falseEasting;
        northing = k * (s.cosLat0 * sinLat - s.sinLat0 * cosLat * cosDl) + s.falseNorthing;
    } else {
        const double k = s.twoRa / (1.0 + cosLat * cosDl);
        easting = k * cosLat * std::sin(dl) + s.falseEasting;
        northing = k * sinLat + s.falseNorthing;
    }
    return 0;
}

std::uint32_t StereographicInverse(double easting, double northing, double& latitude,
                                   double& longitude) {
    const StereographicState& s = g_state;
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - s.eastingHalfWidth, s.falseEasting + s.eastingHalfWidth))
        flags |= STG_EastingError;
    if (!InRange(northing, s.falseNorthing - kHalfWidth, s.falseNorthing + kHalfWidth))
        flags |= STG_NorthingError;
    if (flags)
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double rho = std::sqrt(dx * dx + dy * dy);
    double lat = s.originLatitude;
    double lon = s.centralMeridian;
    if (rho > 1e-10) {
        double dl;
        SphericalAzimuthalInverse(dx, dy, rho, 2.0 * std::atan(rho / s.twoRa), s.sinLat0, s.cosLat0,
                                  lat, dl);
        lon += dl;
    }
    if (std::fabs(lat) < 2.2e-8)
        lat = 0.0;
    latitude = ClampLatitude(lat);
    longitude = SnapLongitude(lon);
    return 0;
}
