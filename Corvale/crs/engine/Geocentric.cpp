#include "crs/engine/Geocentric.h"

#include "crs/engine/EngineMath.h"

#include <cmath>

using namespace geoengine;

namespace {

struct GeocentricState {
    double a = kWgs84A;
    double f = kWgs84F;
    double b = kWgs84A * (1.0 - kWgs84F);
    double e2 = 2.0 * kWgs84F - kWgs84F * kWgs84F;
    double ep2 = 1.0 / (1.0 - (2.0 * kWgs84F - kWgs84F * kWgs84F)) - 1.0;
};

GeocentricState g_state;

// cos(67.5 degrees): beyond it the height is taken from Z rather than W.
constexpr double kCos67p5 = 0.3826834323650898;

} // namespace

std::uint32_t GeocentricSetParameters(double a, double f) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= GCS_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= GCS_InverseFlatteningError;
    if (flags)
        return flags;
    g_state.a = a;
    g_state.f = f;
    g_state.b = a * (1.0 - f);
    g_state.e2 = 2.0 * f - f * f;
    g_state.ep2 = 1.0 / (1.0 - g_state.e2) - 1.0;
    return 0;
}

void GeocentricGetParameters(double& a, double& f) {
    a = g_state.a;
    f = g_state.f;
}

std::uint32_t GeocentricFromGeodetic(double latitude, double longitude, double height, double& x,
                                     double& y, double& z) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= GCS_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= GCS_LongitudeError;
    if (!IsFinite(height))
        flags |= GCS_CoordinateError;
    if (flags)
        return flags;
    if (longitude > kPi)
        longitude -= kTwoPi;
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double rn = g_state.a / std::sqrt(1.0 - g_state.e2 * sinLat * sinLat);
    x = (rn + height) * cosLat * std::cos(longitude);
    y = (rn + height) * cosLat * std::sin(longitude);
    z = (rn * (1.0 - g_state.e2) + height) * sinLat;
    return 0;
}

std::uint32_t GeocentricToGeodetic(double x, double y, double z, double& latitude, double& longitude,
                                   double& height) {
    if (!IsFinite(x) || !IsFinite(y) || !IsFinite(z))
        return GCS_CoordinateError;

    const double a = g_state.a;
    const double b = g_state.b;
    const double e2 = g_state.e2;

    bool onAxis = false;
    double lon = 0.0;
    double lat = 0.0;
    if (x != 0.0) {
        lon = std::atan2(y, x);
    } else if (y > 0.0) {
        lon = kHalfPi;
    } else if (y < 0.0) {
        lon = -kHalfPi;
    } else {
        onAxis = true;
        lon = 0.0;
        if (z > 0.0) {
            lat = kHalfPi;
        } else if (z < 0.0) {
            lat = -kHalfPi;
        } else {
            // The centre of the Earth: report it below the north pole.
            latitude = kHalfPi;
            longitude = 0.0;
            height = -b;
            return 0;
        }
    }

    // Bowring's non-iterative solution (Survey Review 23, 1976): the first
    // estimate of the parametric latitude is atan(a Z / (b W)), and one step
    // of his formula gives the latitude to well under a millimetre for any
    // point near the Earth's surface. (Scaling Z by 1.0026 instead, as some
    // implementations do to cover points far out in space, leaves errors of
    // 3 mm in latitude and 5 mm in height on the ground.)
    const double w = std::sqrt(x * x + y * y);
    const double t0 = z * a / b;
    const double s0 = std::sqrt(t0 * t0 + w * w);
    const double sinB0 = t0 / s0;
    const double cosB0 = w / s0;
    const double sin3B0 = sinB0 * sinB0 * sinB0;
    const double t1 = z + b * g_state.ep2 * sin3B0;
    const double sum = w - a * e2 * cosB0 * cosB0 * cosB0;
    const double s1 = std::sqrt(t1 * t1 + sum * sum);
    const double sinP = t1 / s1;
    const double cosP = sum / s1;
    const double rn = a / std::sqrt(1.0 - e2 * sinP * sinP);

    double h;
    if (cosP >= kCos67p5)
        h = w / cosP - rn;
    else if (cosP <= -kCos67p5)
        h = -w / cosP - rn;
    else
        h = z / sinP + rn * (e2 - 1.0);
    if (!onAxis)
        lat = std::atan(sinP / cosP);

    latitude = lat;
    longitude = lon;
    height = h;
    return 0;
}
