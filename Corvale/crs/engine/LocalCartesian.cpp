#include "crs/engine/LocalCartesian.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/Geocentric.h"

#include <cmath>

using namespace geoengine;

namespace {

struct LocalCartesianState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.0;
    double originLongitude = 0.0;
    double originHeight = 0.0;
    double orientation = 0.0;
    // Rows of the rotation from geocentric offsets to the local frame.
    double r[3][3] = {{0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, {1.0, 0.0, 0.0}};
    // The origin in geocentric coordinates.
    double x0 = kWgs84A;
    double y0 = 0.0;
    double z0 = 0.0;
};

LocalCartesianState g_state;

} // namespace

std::uint32_t LocalCartesianSetParameters(double a, double f, double originLatitude,
                                          double originLongitude, double originHeight,
                                          double orientation) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= LCS_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= LCS_InverseFlatteningError;
    if (!IsLatitudeInRange(originLatitude))
        flags |= LCS_OriginLatitudeError;
    if (!IsLongitudeInRange(originLongitude))
        flags |= LCS_OriginLongitudeError;
    if (!IsLongitudeInRange(orientation))
        flags |= LCS_OrientationError;
    if (!IsFinite(originHeight))
        flags |= LCS_CoordinateError;
    if (flags)
        return flags;

    if (originLongitude > kPi)
        originLongitude -= kTwoPi;
    if (orientation > kPi)
        orientation -= kTwoPi;

    g_state.a = a;
    g_state.f = f;
    g_state.originLatitude = originLatitude;
    g_state.originLongitude = originLongitude;
    g_state.originHeight = originHeight;
    g_state.orientation = orientation;

    const double sinLat = std::sin(originLatitude);
    const double cosLat = std::cos(originLatitude);
    const double sinLon = std::sin(originLongitude);
    const double cosLon = std::cos(originLongitude);
    const double sinOr = std::sin(orientation);
    const double cosOr = std::cos(orientation);

    // East, north and up at the origin, as geocentric unit vectors.
    const double east[3] = {-sinLon, cosLon, 0.0};
    const double north[3] = {-sinLat * cosLon, -sinLat * sinLon, cosLat};
    const double up[3] = {cosLat * cosLon, cosLat * sinLon, sinLat};
    for (int i = 0; i < 3; ++i) {
        // Both horizontal axes turned clockwise by the orientation.
        g_state.r[0][i] = cosOr * east[i] - sinOr * north[i];
        g_state.r[1][i] = sinOr * east[i] + cosOr * north[i];
        g_state.r[2][i] = up[i];
    }

    const double e2 = 2.0 * f - f * f;
    const double rn = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
    g_state.x0 = (rn + originHeight) * cosLat * cosLon;
    g_state.y0 = (rn + originHeight) * cosLat * sinLon;
    g_state.z0 = (rn * (1.0 - e2) + originHeight) * sinLat;
    return 0;
}

void LocalCartesianGetParameters(double& a, double& f, double& originLatitude, double& originLongitude,
                                 double& originHeight, double& orientation) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    originLongitude = g_state.originLongitude;
    originHeight = g_state.originHeight;
    orientation = g_state.orientation;
}

std::uint32_t LocalCartesianFromGeocentric(double x, double y, double z, double& localX, double& localY,
                                           double& localZ) {
    if (!IsFinite(x) || !IsFinite(y) || !IsFinite(z))
        return LCS_CoordinateError;
    const double d[3] = {x - g_state.x0, y - g_state.y0, z - g_state.z0};
    localX = g_state.r[0][0] * d[0] + g_state.r[0][1] * d[1] + g_state.r[0][2] * d[2];
    localY = g_state.r[1][0] * d[0] + g_state.r[1][1] * d[1] + g_state.r[1][2] * d[2];
    localZ = g_state.r[2][0] * d[0] + g_state.r[2][1] * d[1] + g_state.r[2][2] * d[2];
    return 0;
}

std::uint32_t LocalCartesianToGeocentric(double localX, double localY, double localZ, double& x,
                                         double& y, double& z) {
    if (!IsFinite(localX) || !IsFinite(localY) || !IsFinite(localZ))
        return LCS_CoordinateError;
    // The rotation is orthonormal: its transpose turns it back.
    x = g_state.r[0][0] * localX + g_state.r[1][0] * localY + g_state.r[2][0] * localZ + g_state.x0;
    y = g_state.r[0][1] * localX + g_state.r[1][1] * localY + g_state.r[2][1] * localZ + g_state.y0;
    z = g_state.r[0][2] * localX + g_state.r[1][2] * localY + g_state.r[2][2] * localZ + g_state.z0;
    return 0;
}

std::uint32_t LocalCartesianFromGeodetic(double latitude, double longitude, double height,
                                         double& localX, double& localY, double& localZ) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= LCS_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= LCS_LongitudeError;
    if (!IsFinite(height))
        flags |= LCS_CoordinateError;
    if (flags)
        return flags;
    GeocentricSetParameters(g_state.a, g_state.f);
    double x, y, z;
    GeocentricFromGeodetic(latitude, longitude, height, x, y, z);
    return LocalCartesianFromGeocentric(x, y, z, localX, localY, localZ);
}

std::uint32_t LocalCartesianToGeodetic(double localX, double localY, double localZ, double& latitude,
                                       double& longitude, double& height) {
    double x, y, z;
    if (LocalCartesianToGeocentric(localX, localY, localZ, x, y, z))
        return LCS_CoordinateError;
    GeocentricSetParameters(g_state.a, g_state.f);
    double lat, lon, h;
    if (GeocentricToGeodetic(x, y, z, lat, lon, h))
        return LCS_CoordinateError;
    if (lon > kPi)
        lon -= kTwoPi;
    else if (lon < -kPi)
        lon += kTwoPi;
    latitude = lat;
    longitude = lon;
    height = h;
    return 0;
}
