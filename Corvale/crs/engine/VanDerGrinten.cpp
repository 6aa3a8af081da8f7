#include "crs/engine/VanDerGrinten.h"

#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

struct VanDerGrintenState {
    double a = kWgs84A;
    double f = kWgs84F;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double ra = 0.0;
    double piRa = 0.0;
};

VanDerGrintenState Derived(VanDerGrintenState s) {
    s.ra = SphereRadius(s.a, 2.0 * s.f - s.f * s.f);
    s.piRa = kPi * s.ra;
    return s;
}

VanDerGrintenState g_state = Derived(VanDerGrintenState{});

} // namespace

std::uint32_t VanDerGrintenSetParameters(double a, double f, double centralMeridian,
                                         double falseEasting, double falseNorthing) {
    if (const std::uint32_t flags =
            CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing))
        return flags;

    VanDerGrintenState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    g_state = Derived(s);
    return 0;
}

void VanDerGrintenGetParameters(double& a, double& f, double& centralMeridian, double& falseEasting,
                                double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
}

std::uint32_t VanDerGrintenForward(double latitude, double longitude, double& easting,
                                   double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude))
        return flags;

    const VanDerGrintenState& s = g_state;
    const double dl = FoldOnce(longitude - s.centralMeridian);
    double x = 0.0;
    double y = 0.0;
    if (latitude == 0.0) {
        x = s.ra * dl;
    } else if (dl == 0.0 || std::fabs(std::fabs(latitude) - kHalfPi) < 1e-5) {
        const double theta = std::asin(Clamp(std::fabs(2.0 * latitude / kPi)));
        y = s.piRa * std::tan(theta / 2.0);
    } else {
        const double theta = std::asin(Clamp(std::fabs(2.0 * latitude / kPi)));
        const double aa = 0.5 * std::fabs(kPi / dl - dl / kPi);
        const double sinT = std::sin(theta);
        const double cosT = std::cos(theta);
        const double g = cosT / (sinT + cosT - 1.0);
        const double p = g * (2.0 / sinT - 1.0);
        const double q = aa * aa + g;
        const double p2 = p * p;
        const double a2 = aa * aa;
        const double gp = g - p2;
        x = s.piRa * (aa * gp + std::sqrt(a2 * gp * gp - (p2 + a2) * (g * g - p2))) / (p2 + a2);
        y = s.piRa * (p * q - aa * std::sqrt((a2 + 1.0) * (p2 + a2) - q * q)) / (p2 + a2);
    }
    x = std::copysign(std::fabs(x), dl);
    y = std::copysign(std::fabs(y), latitude);
    easting = x + s.falseEasting;
    northing = y + s.falseNorthing;
    return 0;
}

std::uint32_t VanDerGrintenInverse(double easting, double northing, double& latitude,
                                   double& longitude) {
    const VanDerGrintenState& s = g_state;
    const double limit = s.piRa + 0.01;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -limit, limit,
                                s.falseNorthing, -limit, limit))
        return flags;
    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    if (std::sqrt(dx * dx + dy * dy) > limit)
        return VDG_RadiusError;

    const double x = dx / s.piRa;
    const double y = dy / s.piRa;
    const double x2 = x * x;
    const double y2 = y * y;
    const double r2 = x2 + y2;
    double lat = 0.0;
    if (y != 0.0) {
        const double c1 = -std::fabs(y) * (1.0 + r2);
        const double c2 = c1 - 2.0 * y2 + x2;
        const double c3 = -2.0 * c1 + 1.0 + 2.0 * y2 + r2 * r2;
        const double d =
            y2 / c3 + (2.0 * c2 * c2 * c2 / (c3 * c3 * c3) - 9.0 * c1 * c2 / (c3 * c3)) / 27.0;
        const double a1 = (c1 - c2 * c2 / (3.0 * c3)) / c3;
        const double m1 = 2.0 * std::sqrt(-a1 / 3.0);
        const double arg = 3.0 * d / (a1 * m1);
        if (!(arg >= -1.0 && arg <= 1.0)) {
            lat = kHalfPi;
        } else {
            const double theta1 = std::acos(arg) / 3.0;
            lat = kPi * (-m1 * std::cos(theta1 + kPi / 3.0) - c2 / (3.0 * c3));
        }
        lat = std::copysign(lat, y);
    }
    double lon = s.centralMeridian;
    if (x != 0.0)
        lon += kPi * (r2 - 1.0 + std::sqrt(1.0 + 2.0 * (x2 - y2) + r2 * r2)) / (2.0 * x);
    latitude = ClampLatitude(lat);
    longitude = FoldAndClampLongitude(lon);
    return 0;
}
