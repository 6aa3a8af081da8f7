#include "crs/engine/TransverseMercator.h"

#include "crs/engine/EngineMath.h"

#include <cmath>

using namespace geoengine;

namespace {

// 89.99 degrees: the forward projection refuses latitudes nearer the poles.
constexpr double kMaxLatitude = 1.570621793869697;
// 9 degrees: beyond it from the central meridian the series loses accuracy.
constexpr double kMaxDeltaLongitude = 0.15707963267948966;
// Longitude differences this small are taken as zero.
constexpr double kMinDeltaLongitude = 2.0e-10;
constexpr int kFootpointSteps = 5;
// After a footpoint step this small (6 micrometres on the ground) what is
// left of the error is of the order of its square: the iteration ends.
constexpr double kFootpointConverged = 1.0e-12;

// What depends on the ellipsoid alone.
struct Derived {
    double a = 0.0;
    double f = 0.0;
    double e2 = 0.0;
    double ep2 = 0.0;
    double b = 0.0;
    // Meridional-arc coefficients.
    double ap = 0.0, bp = 0.0, cp = 0.0, dp = 0.0, ep = 0.0;
    // Inverse bounds around the false easting and northing.
    double deltaEasting = 0.0;
    double deltaNorthing = 0.0;
};

struct TransverseMercatorState {
    Derived d;
    double originLatitude = 0.0;
    double centralMeridian = 0.0;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double scaleFactor = 1.0;
    double originArc = 0.0;   // arc(originLatitude), kept with it
};

TransverseMercatorState StartState();
// Every module starts on WGS 84 with its own start parameters.
TransverseMercatorState g_state = StartState();

// The engine sets the module's parameters before every conversion, and a
// conversion between two datums sets it on two ellipsoids in turn. Keeping the
// constants of the last few ellipsoids spares deriving them again each time;
// the result is the same as deriving them.
constexpr int kCacheSize = 4;
Derived g_cache[kCacheSize];
int g_cacheUsed = 0;
int g_cacheNext = 0;

struct SinCos {
    double s2, c2, s4, c4, s6, s8;
};

inline SinCos Multiples(double sinPhi, double cosPhi) {
    SinCos m;
    m.s2 = 2.0 * sinPhi * cosPhi;
    m.c2 = cosPhi * cosPhi - sinPhi * sinPhi;
    m.s4 = 2.0 * m.s2 * m.c2;
    m.c4 = m.c2 * m.c2 - m.s2 * m.s2;
    m.s6 = m.s4 * m.c2 + m.c4 * m.s2;
    m.s8 = 2.0 * m.s4 * m.c4;
    return m;
}

// Meridional arc from the equator, from the latitude and its sine and cosine.
inline double Arc(const Derived& d, double phi, double sinPhi, double cosPhi) {
    const SinCos m = Multiples(sinPhi, cosPhi);
    return d.ap * phi - d.bp * m.s2 + d.cp * m.s4 - d.dp * m.s6 + d.ep * m.s8;
}

inline double Arc(const Derived& d, double phi) { return Arc(d, phi, std::sin(phi), std::cos(phi)); }

// The series of the forward projection for a longitude difference dl from the
// central meridian, without the scale factor, the false values and the arc of
// the latitude of origin: dN is the northing from the equator, dE the easting.
void ForwardSeries(const Derived& d, double phi, double dl, double& dE, double& dN) {
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double t = s / c;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta = d.ep2 * c * c;
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double sn = d.a / std::sqrt(1.0 - d.e2 * s * s);
    const double c2 = c * c;
    const double c3 = c2 * c;
    const double c5 = c3 * c2;
    const double c7 = c5 * c2;

    const double t1 = Arc(d, phi, s, c);
    const double t2n = sn * s * c / 2.0;
    const double t3 = sn * s * c3 / 24.0 * (5.0 - t2 + 9.0 * eta + 4.0 * eta2);
    const double t4n = sn * s * c5 / 720.0 *
                       (61.0 - 58.0 * t2 + t4 + 270.0 * eta - 330.0 * t2 * eta + 445.0 * eta2 +
                        324.0 * eta3 - 680.0 * t2 * eta2 + 88.0 * eta4 - 600.0 * t2 * eta3 -
                        192.0 * t2 * eta4);
    const double t5 = sn * s * c7 / 40320.0 * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6);

    const double t6e = sn * c;
    const double t7 = sn * c3 / 6.0 * (1.0 - t2 + eta);
    const double t8 = sn * c5 / 120.0 *
                      (5.0 - 18.0 * t2 + t4 + 14.0 * eta - 58.0 * t2 * eta + 13.0 * eta2 + 4.0 * eta3 -
                       64.0 * t2 * eta2 - 24.0 * t2 * eta3);
    const double t9 = sn * c7 / 5040.0 * (61.0 - 479.0 * t2 + 179.0 * t4 - t6);

    const double dl2 = dl * dl;
    dN = t1 + dl2 * (t2n + dl2 * (t3 + dl2 * (t4n + dl2 * t5)));
    dE = dl * (t6e + dl2 * (t7 + dl2 * (t8 + dl2 * t9)));
}

void Derive(double a, double f, Derived& d) {
    d.a = a;
    d.f = f;
    d.e2 = 2.0 * f - f * f;
    d.ep2 = 1.0 / (1.0 - d.e2) - 1.0;
    d.b = a * (1.0 - f);
    const double n = (a - d.b) / (a + d.b);
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;
    const double n5 = n4 * n;
    d.ap = a * (1.0 - n + 5.0 * (n2 - n3) / 4.0 + 81.0 * (n4 - n5) / 64.0);
    d.bp = 3.0 * a * (n - n2 + 7.0 * (n3 - n4) / 8.0 + 55.0 * n5 / 64.0) / 2.0;
    d.cp = 15.0 * a * (n2 - n3 + 3.0 * (n4 - n5) / 4.0) / 16.0;
    d.dp = 35.0 * a * (n3 - n4 + 11.0 * n5 / 16.0) / 48.0;
    d.ep = 315.0 * a * (n4 - n5) / 512.0;

    // The bounds are the projection, with no false values and scale 1, of
    // the point at 89.99 degrees latitude 90 degrees from the central
    // meridian (northing) and of the point on the equator 90 degrees from it
    // (easting).
    double e, nn;
    ForwardSeries(d, kMaxLatitude, kHalfPi, e, nn);
    d.deltaNorthing = nn;
    ForwardSeries(d, 0.0, kHalfPi, e, nn);
    d.deltaEasting = e;
}

const Derived& DerivedFor(double a, double f) {
    if (g_state.d.a == a && g_state.d.f == f)
        return g_state.d;
    for (int i = 0; i < g_cacheUsed; ++i)
        if (g_cache[i].a == a && g_cache[i].f == f)
            return g_cache[i];
    Derived& slot = g_cache[g_cacheNext];
    Derive(a, f, slot);
    g_cacheNext = (g_cacheNext + 1) % kCacheSize;
    if (g_cacheUsed < kCacheSize)
        ++g_cacheUsed;
    return slot;
}

inline double MeridianRadius(const Derived& d, double sinPhi) {
    const double w = 1.0 - d.e2 * sinPhi * sinPhi;
    return d.a * (1.0 - d.e2) / (w * std::sqrt(w));
}

TransverseMercatorState StartState() {
    TransverseMercatorState state;
    Derive(kWgs84A, kWgs84F, state.d);
    return state;
}

} // namespace

std::uint32_t TransverseMercatorSetParameters(double a, double f, double originLatitude,
                                              double centralMeridian, double falseEasting,
                                              double falseNorthing, double scaleFactor) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= PRJ_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= PRJ_InverseFlatteningError;
    if (!IsLatitudeInRange(originLatitude))
        flags |= PRJ_OriginLatitudeError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= PRJ_CentralMeridianError;
    if (!(scaleFactor >= 0.3 && scaleFactor <= 3.0))
        flags |= TME_ScaleFactorError;
    // False values that are not numbers would make every result NaN.
    if (!IsFinite(falseEasting))
        flags |= PRJ_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= PRJ_NorthingError;
    if (flags)
        return flags;

    const Derived& d = DerivedFor(a, f);
    if (&d != &g_state.d)
        g_state.d = d;
    if (centralMeridian > kPi)
        centralMeridian -= kTwoPi;
    g_state.originLatitude = originLatitude;
    g_state.centralMeridian = centralMeridian;
    g_state.falseEasting = falseEasting;
    g_state.falseNorthing = falseNorthing;
    g_state.scaleFactor = scaleFactor;
    g_state.originArc = Arc(g_state.d, originLatitude);
    return 0;
}

void TransverseMercatorGetParameters(double& a, double& f, double& originLatitude,
                                     double& centralMeridian, double& falseEasting,
                                     double& falseNorthing, double& scaleFactor) {
    a = g_state.d.a;
    f = g_state.d.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
    scaleFactor = g_state.scaleFactor;
}

std::uint32_t TransverseMercatorForward(double latitude, double longitude, double& easting,
                                        double& northing) {
    std::uint32_t flags = 0;
    if (!(latitude >= -kMaxLatitude && latitude <= kMaxLatitude))
        flags |= PRJ_LatitudeError;
    if (!IsFinite(longitude)) {
        flags |= PRJ_LongitudeError;
    } else {
        if (longitude > kPi)
            longitude -= kTwoPi;
        const double cm = g_state.centralMeridian;
        if (longitude < cm - kHalfPi || longitude > cm + kHalfPi) {
            // Near the antimeridian the two may be on either side of +-pi:
            // compare them again on 0..2*pi.
            const double lon2 = longitude < 0.0 ? longitude + kTwoPi : longitude;
            const double cm2 = cm < 0.0 ? cm + kTwoPi : cm;
            if (lon2 < cm2 - kHalfPi || lon2 > cm2 + kHalfPi)
                flags |= PRJ_LongitudeError;
        }
    }
    if (flags)
        return flags;

    double dl = longitude - g_state.centralMeridian;
    if (std::fabs(dl) > kMaxDeltaLongitude)
        flags |= TME_LongitudeWarning;
    if (dl > kPi)
        dl -= kTwoPi;
    else if (dl < -kPi)
        dl += kTwoPi;
    if (std::fabs(dl) < kMinDeltaLongitude)
        dl = 0.0;

    double dE, dN;
    ForwardSeries(g_state.d, latitude, dl, dE, dN);
    const double k0 = g_state.scaleFactor;
    northing = k0 * (dN - g_state.originArc) + g_state.falseNorthing;
    easting = k0 * dE + g_state.falseEasting;
    return flags;
}

std::uint32_t TransverseMercatorInverse(double easting, double northing, double& latitude,
                                        double& longitude) {
    const Derived& d = g_state.d;
    std::uint32_t flags = 0;
    if (!(easting >= g_state.falseEasting - d.deltaEasting &&
          easting <= g_state.falseEasting + d.deltaEasting))
        flags |= PRJ_EastingError;
    if (!(northing >= g_state.falseNorthing - d.deltaNorthing &&
          northing <= g_state.falseNorthing + d.deltaNorthing))
        flags |= PRJ_NorthingError;
    if (flags)
        return flags;

    const double k0 = g_state.scaleFactor;
    const double arc = g_state.originArc + (northing - g_state.falseNorthing) / k0;

    // Footpoint latitude: Newton's method on the meridional arc, whose
    // derivative is the meridian radius of curvature. At most five steps: the
    // start is within a few milliradians and each step squares the error, so
    // after the third step or so the rest would change nothing. The sine and cosine of each new latitude come from the
    // old ones by the addition theorem, the step being small enough for a
    // short series in it.
    double phi = arc / (d.a * (1.0 - d.e2));
    double s = std::sin(phi);
    double c = std::cos(phi);
    for (int i = 0; i < kFootpointSteps; ++i) {
        const double step = (arc - Arc(d, phi, s, c)) / MeridianRadius(d, s);
        phi += step;
        if (std::fabs(step) < kFootpointConverged)
            break;
        if (std::fabs(step) < 0.05) {
            const double h2 = step * step;
            const double sinStep = step * (1.0 - h2 / 6.0 * (1.0 - h2 / 20.0 * (1.0 - h2 / 42.0)));
            const double cosStep = 1.0 - h2 / 2.0 * (1.0 - h2 / 12.0 * (1.0 - h2 / 30.0));
            const double sNew = s * cosStep + c * sinStep;
            c = c * cosStep - s * sinStep;
            s = sNew;
        } else {
            s = std::sin(phi);
            c = std::cos(phi);
        }
    }

    const double t = s / c;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta = d.ep2 * c * c;
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double w = 1.0 - d.e2 * s * s;
    const double sn = d.a / std::sqrt(w);
    // 1 / (radius in the prime vertical * scale), and the ratio of the two
    // radii of curvature (prime vertical over meridian): the terms of the
    // inverse series are built from their powers.
    const double q = 1.0 / (sn * k0);
    const double q2 = q * q;
    const double q3 = q2 * q;
    const double q4 = q2 * q2;
    const double q5 = q4 * q;
    const double q6 = q4 * q2;
    const double q7 = q6 * q;
    const double q8 = q4 * q4;
    const double ratio = w / (1.0 - d.e2);
    const double secant = 1.0 / c;

    const double t10 = t * ratio * q2 / 2.0;
    const double t11 = t * ratio * q4 / 24.0 * (5.0 + 3.0 * t2 + eta - 4.0 * eta2 - 9.0 * t2 * eta);
    const double t12 = t * ratio * q6 / 720.0 *
                       (61.0 + 90.0 * t2 + 46.0 * eta + 45.0 * t4 - 252.0 * t2 * eta - 3.0 * eta2 +
                        100.0 * eta3 - 66.0 * t2 * eta2 - 90.0 * t4 * eta + 88.0 * eta4 +
                        225.0 * t4 * eta2 + 84.0 * t2 * eta3 - 192.0 * t2 * eta4);
    const double t13 = t * ratio * q8 / 40320.0 * (1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6);
    const double t14 = q * secant;
    const double t15 = q3 * secant / 6.0 * (1.0 + 2.0 * t2 + eta);
    const double t16 = q5 * secant / 120.0 *
                       (5.0 + 6.0 * eta + 28.0 * t2 - 3.0 * eta2 + 8.0 * t2 * eta + 24.0 * t4 -
                        4.0 * eta3 + 4.0 * t2 * eta2 + 24.0 * t2 * eta3);
    const double t17 = q7 * secant / 5040.0 * (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6);

    const double de = easting - g_state.falseEasting;
    const double de2 = de * de;
    const double lat = phi - de2 * (t10 - de2 * (t11 - de2 * (t12 - de2 * t13)));
    const double dl = de * (t14 - de2 * (t15 - de2 * (t16 - de2 * t17)));
    double lon = g_state.centralMeridian + dl;

    latitude = lat;
    longitude = lon;

    if (!(std::fabs(lat) <= kHalfPi))
        flags |= PRJ_NorthingError;
    if (lon > kPi) {
        lon -= kTwoPi;
        if (std::fabs(lon) > kPi)
            flags |= PRJ_EastingError;
    } else if (lon < -kPi) {
        lon += kTwoPi;
        if (std::fabs(lon) > kPi)
            flags |= PRJ_EastingError;
    } else if (!IsFinite(lon)) {
        flags |= PRJ_EastingError;
    }
    longitude = lon;
    if (std::fabs(dl) > kMaxDeltaLongitude * std::cos(lat))
        flags |= TME_LongitudeWarning;
    return flags;
}
