#include "crs/engine/ObliqueMercator.h"

#include "crs/engine/ProjectionSeries.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 40000000.0;

struct ObliqueMercatorState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 0.7853981633974483;
    double latitude1 = 0.6981317007977318;
    double longitude1 = -0.08726646259971647;
    double latitude2 = 0.8726646259971648;
    double longitude2 = 0.08726646259971647;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double scaleFactor = 1.0;
    double e = 0.0;
    double halfE = 0.0;
    double b = 0.0;
    double aa = 0.0;
    double aOverB = 0.0;
    double bOverA = 0.0;
    double bigE = 0.0;
    double lambda0 = 0.0;
    double sinGamma0 = 0.0;
    double cosGamma0 = 1.0;
    double sinAlphaC = 0.0;
    double cosAlphaC = 1.0;
    double uc = 0.0;
};

ObliqueMercatorState Derived(ObliqueMercatorState s) {
    const double e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(e2);
    s.halfE = s.e / 2.0;
    const double sin0 = std::sin(s.originLatitude);
    const double cos0 = std::cos(s.originLatitude);
    const double w0 = 1.0 - e2 * sin0 * sin0;
    s.b = std::sqrt(1.0 + e2 * cos0 * cos0 * cos0 * cos0 / (1.0 - e2));
    s.aa = s.a * s.b * s.scaleFactor * std::sqrt(1.0 - e2) / w0;
    s.aOverB = s.aa / s.b;
    s.bOverA = s.b / s.aa;
    const double t0 = ConformalT(s.originLatitude, s.e);
    const double t1 = ConformalT(s.latitude1, s.e);
    const double t2 = ConformalT(s.latitude2, s.e);
    double d = s.b * std::sqrt(1.0 - e2) / (cos0 * std::sqrt(w0));
    double d2 = d * d;
    if (d2 < 1.0) {
        d = 1.0;
        d2 = 1.0;
    }
    const double t0B = std::pow(t0, s.b);
    if (d2 - 1.0 <= 1e-10)
        s.bigE = d * t0B;
    else if (s.originLatitude >= 0.0)
        s.bigE = (d + std::sqrt(d2 - 1.0)) * t0B;
    else
        s.bigE = (d - std::sqrt(d2 - 1.0)) * t0B;
    const double h = std::pow(t1, s.b);
    const double l = std::pow(t2, s.b);

    // The second point next to the first.
    if (s.longitude1 - s.longitude2 < -kPi)
        s.longitude2 -= kTwoPi;
    else if (s.longitude1 - s.longitude2 > kPi)
        s.longitude2 += kTwoPi;

    const double e2B = s.bigE * s.bigE;
    const double j = (e2B - l * h) / (e2B + l * h);
    const double p = (l - h) / (l + h);
    s.lambda0 = (s.longitude1 + s.longitude2) / 2.0 -
                std::atan(j * std::tan(s.b * (s.longitude1 - s.longitude2) / 2.0) / p) / s.b;
    if (s.longitude1 - s.lambda0 < -kPi)
        s.lambda0 -= kTwoPi;
    else if (s.longitude1 - s.lambda0 > kPi)
        s.lambda0 += kTwoPi;
    const double bigF = s.bigE / h;
    const double g = (bigF - 1.0 / bigF) / 2.0;
    const double gamma0 = std::atan(std::sin(s.b * (s.longitude1 - s.lambda0)) / g);
    s.sinGamma0 = std::sin(gamma0);
    s.cosGamma0 = std::cos(gamma0);
    const double alphaC = std::asin(Clamp(d * s.sinGamma0));
    s.sinAlphaC = std::sin(alphaC);
    s.cosAlphaC = std::cos(alphaC);
    s.uc = s.aOverB * std::atan(std::sqrt(d2 - 1.0) / s.cosAlphaC);
    if (s.originLatitude < 0.0)
        s.uc = -s.uc;
    return s;
}

ObliqueMercatorState g_state = Derived(ObliqueMercatorState{});

bool StrictlyInsideLatitudes(double v) {
    return v > -kHalfPi && v < kHalfPi;
}

} // namespace

std::uint32_t ObliqueMercatorSetParameters(double a, double f, double originLatitude,
                                           double latitude1, double longitude1, double latitude2,
                                           double longitude2, double falseEasting,
                                           double falseNorthing, double scaleFactor) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= OMERC_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= OMERC_InverseFlatteningError;
    if (!StrictlyInsideLatitudes(originLatitude))
        flags |= OMERC_OriginLatitudeError;
    if (!StrictlyInsideLatitudes(latitude1) || latitude1 == 0.0)
        flags |= OMERC_Latitude1Error;
    if (!StrictlyInsideLatitudes(latitude2))
        flags |= OMERC_Latitude2Error;
    if (latitude1 == latitude2)
        flags |= OMERC_EqualLatitudesError;
    if ((latitude1 < 0.0 && latitude2 > 0.0) || (latitude1 > 0.0 && latitude2 < 0.0))
        flags |= OMERC_HemisphereError;
    if (!IsLongitudeInRange(longitude1))
        flags |= OMERC_Longitude1Error;
    if (!IsLongitudeInRange(longitude2))
        flags |= OMERC_Longitude2Error;
    if (!InRange(scaleFactor, 0.3, 3.0))
        flags |= OMERC_ScaleFactorError;
    if (!IsFinite(falseEasting))
        flags |= OMERC_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= OMERC_NorthingError;
    if (flags)
        return flags;

    ObliqueMercatorState s;
    s.a = a;
    s.f = f;
    s.originLatitude = originLatitude;
    s.latitude1 = latitude1;
    s.longitude1 = longitude1;
    s.latitude2 = latitude2;
    s.longitude2 = longitude2;
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    s.scaleFactor = scaleFactor;
    g_state = Derived(s);
    return 0;
}

void ObliqueMercatorGetParameters(double& a, double& f, double& originLatitude, double& latitude1,
                                  double& longitude1, double& latitude2, double& longitude2,
                                  double& falseEasting, double& falseNorthing,
                                  double& scaleFactor) {
    const ObliqueMercatorState& s = g_state;
    a = s.a;
    f = s.f;
    originLatitude = s.originLatitude;
    latitude1 = s.latitude1;
    longitude1 = s.longitude1;
    latitude2 = s.latitude2;
    longitude2 = s.longitude2;
    falseEasting = s.falseEasting;
    falseNorthing = s.falseNorthing;
    scaleFactor = s.scaleFactor;
}

std::uint32_t ObliqueMercatorForward(double latitude, double longitude, double& easting,
                                     double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= OMERC_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= OMERC_LongitudeError;
    if (flags)
        return flags;

    const ObliqueMercatorState& s = g_state;
    double dl = longitude - s.lambda0;
    if (std::fabs(dl) >= kHalfPi)
        flags |= OMERC_LongitudeWarning;
    dl = FoldOnce(dl);
    double u, v;
    if (std::fabs(std::fabs(latitude) - kHalfPi) <= 1e-10) {
        const double gammaHalf = std::atan2(s.sinGamma0, s.cosGamma0) / 2.0;
        v = latitude > 0.0 ? s.aOverB * std::log(std::tan(kPi / 4.0 - gammaHalf))
                           : s.aOverB * std::log(std::tan(kPi / 4.0 + gammaHalf));
        u = s.aOverB * latitude;
    } else {
        const double q = s.bigE / std::pow(ConformalT(latitude, s.e), s.b);
        const double sq = (q - 1.0 / q) / 2.0;
        const double tq = (q + 1.0 / q) / 2.0;
        const double vv = std::sin(s.b * dl);
        const double uu = (-vv * s.cosGamma0 + sq * s.sinGamma0) / tq;
        // On the line U = +-1 the projection runs off to infinity.
        if (std::fabs(std::fabs(uu) - 1.0) < 1e-10)
            return OMERC_LongitudeError;
        v = s.aa * std::log((1.0 - uu) / (1.0 + uu)) / (2.0 * s.b);
        const double cosBdl = std::cos(s.b * dl);
        if (std::fabs(cosBdl) < 1e-10)
            u = s.aa * s.b * dl;
        else
            u = s.aOverB * std::atan((sq * s.cosGamma0 + vv * s.sinGamma0) / cosBdl);
    }
    const double du = u - s.uc;
    easting = v * s.cosAlphaC + du * s.sinAlphaC + s.falseEasting;
    northing = du * s.cosAlphaC - v * s.sinAlphaC + s.falseNorthing;
    return flags;
}

std::uint32_t ObliqueMercatorInverse(double easting, double northing, double& latitude,
                                     double& longitude) {
    const ObliqueMercatorState& s = g_state;
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - kHalfWidth, s.falseEasting + kHalfWidth))
        flags |= OMERC_EastingError;
    if (!InRange(northing, s.falseNorthing - kHalfWidth, s.falseNorthing + kHalfWidth))
        flags |= OMERC_NorthingError;
    if (flags)
        return flags;

    const double dx = easting - s.falseEasting;
    const double dy = northing - s.falseNorthing;
    const double v = dx * s.cosAlphaC - dy * s.sinAlphaC;
    const double u = dy * s.cosAlphaC + dx * s.sinAlphaC + s.uc;
    const double q = std::exp(-s.bOverA * v);
    const double sq = (q - 1.0 / q) / 2.0;
    const double tq = (q + 1.0 / q) / 2.0;
    const double vv = std::sin(s.bOverA * u);
    const double uu = (vv * s.cosGamma0 + sq * s.sinGamma0) / tq;
    double lat;
    double lon;
    if (std::fabs(std::fabs(uu) - 1.0) < 1e-10) {
        lat = uu > 0.0 ? kHalfPi : -kHalfPi;
        lon = s.lambda0;
    } else {
        const double t = std::pow(s.bigE / std::sqrt((1.0 + uu) / (1.0 - uu)), 1.0 / s.b);
        lat = kHalfPi - 2.0 * std::atan(t);
        if (!(std::fabs(lat) <= 1e-10)) {
            bool converged = false;
            for (int i = 0; i < kMaxIterations; ++i) {
                const double es = s.e * std::sin(lat);
                const double next =
                    kHalfPi - 2.0 * std::atan(t * std::pow((1.0 - es) / (1.0 + es), s.halfE));
                const double change = std::fabs(next - lat);
                lat = next;
                if (change <= 1e-10) {
                    converged = true;
                    break;
                }
            }
            // Far outside the map the values overflow and the step never
            // settles: no latitude to give.
            if (!converged)
                return OMERC_NorthingError;
        }
        lon = s.lambda0 -
              std::atan2(sq * s.cosGamma0 - vv * s.sinGamma0, std::cos(s.bOverA * u)) / s.b;
    }
    if (std::fabs(lat) < 2e-7)
        lat = 0.0;
    lat = ClampLatitude(lat);
    lon = FoldOnce(lon);
    if (std::fabs(lon) < 2e-7)
        lon = 0.0;
    lon = lon > kPi ? kPi : (lon < -kPi ? -kPi : lon);
    if (std::fabs(lon - s.lambda0) >= kHalfPi)
        flags |= OMERC_LongitudeWarning;
    latitude = lat;
    longitude = lon;
    return flags;
}
