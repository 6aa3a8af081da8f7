#include "crs/engine/PolarStereographic.h"

#include "crs/engine/ProjectionSeries.h"

using namespace geoengine;

namespace {

struct PolarStereographicState {
    double a = kWgs84A;
    double f = kWgs84F;
    double twoA = 2.0 * kWgs84A;
    // Stored as for a northern projection: negated for a southern one.
    double trueScaleLatitude = kHalfPi;
    double longitudeDown = 0.0;
    bool southern = false;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
    double e = 0.0;
    double halfE = 0.0;
    bool trueScaleAtPole = true;
    double k90 = 1.0; // sqrt((1 + e)^(1 + e) (1 - e)^(1 - e))
    double aMc = 0.0;
    double tc = 1.0;
    double halfWidth = 12713601.0;
};

PolarStereographicState Derived(PolarStereographicState s) {
    const double e2 = 2.0 * s.f - s.f * s.f;
    s.e = std::sqrt(e2);
    s.halfE = s.e / 2.0;
    s.twoA = 2.0 * s.a;
    s.trueScaleAtPole = std::fabs(std::fabs(s.trueScaleLatitude) - kHalfPi) <= 1e-10;
    if (s.trueScaleAtPole) {
        s.k90 = std::sqrt(std::pow(1.0 + s.e, 1.0 + s.e) * std::pow(1.0 - s.e, 1.0 - s.e));
    } else {
        s.aMc = s.a * ParallelRadius(s.trueScaleLatitude, e2);
        s.tc = ConformalT(s.trueScaleLatitude, s.e);
    }
    return s;
}

PolarStereographicState g_state = Derived(PolarStereographicState{});

double Rho(const PolarStereographicState& s, double t) {
    return s.trueScaleAtPole ? s.twoA * t / s.k90 : s.aMc * t / s.tc;
}

} // namespace

std::uint32_t PolarStereographicSetParameters(double a, double f, double trueScaleLatitude,
                                              double longitudeDown, double falseEasting,
                                              double falseNorthing) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= PST_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= PST_InverseFlatteningError;
    if (!IsLatitudeInRange(trueScaleLatitude))
        flags |= PST_TrueScaleLatitudeError;
    if (!IsLongitudeInRange(longitudeDown))
        flags |= PST_LongitudeDownError;
    if (!IsFinite(falseEasting))
        flags |= PST_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= PST_NorthingError;
    if (flags)
        return flags;

    PolarStereographicState s;
    s.a = a;
    s.f = f;
    const double folded = FoldOnce(longitudeDown);
    s.southern = trueScaleLatitude < 0.0;
    s.trueScaleLatitude = s.southern ? -trueScaleLatitude : trueScaleLatitude;
    s.longitudeDown = s.southern ? -folded : folded;
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    s = Derived(s);
    g_state = s;
    // The equator on the meridian down from the pole, with 1 % to spare.
    double e, n;
    PolarStereographicForward(0.0, longitudeDown, e, n);
    g_state.halfWidth = 1.01 * std::fabs(n - falseNorthing);
    return 0;
}

void PolarStereographicGetParameters(double& a, double& f, double& trueScaleLatitude,
                                     double& longitudeDown, double& falseEasting,
                                     double& falseNorthing) {
    const PolarStereographicState& s = g_state;
    a = s.a;
    f = s.f;
    trueScaleLatitude = s.southern ? -s.trueScaleLatitude : s.trueScaleLatitude;
    longitudeDown = s.southern ? -s.longitudeDown : s.longitudeDown;
    falseEasting = s.falseEasting;
    falseNorthing = s.falseNorthing;
}

std::uint32_t PolarStereographicForward(double latitude, double longitude, double& easting,
                                        double& northing) {
    const PolarStereographicState& s = g_state;
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude) || (!s.southern && latitude < 0.0) ||
        (s.southern && latitude > 0.0))
        flags |= PST_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= PST_LongitudeError;
    if (flags)
        return flags;

    if (std::fabs(std::fabs(latitude) - kHalfPi) < 1e-10) {
        easting = s.falseEasting;
        northing = s.falseNorthing;
        return 0;
    }
    if (s.southern) {
        latitude = -latitude;
        longitude = -longitude;
    }
    const double dl = FoldOnce(longitude - s.longitudeDown);
    const double rho = Rho(s, ConformalT(latitude, s.e));
    if (s.southern) {
        easting = s.falseEasting - rho * std::sin(dl);
        northing = s.falseNorthing + rho * std::cos(dl);
    } else {
        easting = s.falseEasting + rho * std::sin(dl);
        northing = s.falseNorthing - rho * std::cos(dl);
    }
    return 0;
}

std::uint32_t PolarStereographicInverse(double easting, double northing, double& latitude,
                                        double& longitude) {
    const PolarStereographicState& s = g_state;
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - s.halfWidth, s.falseEasting + s.halfWidth))
        flags |= PST_EastingError;
    if (!InRange(northing, s.falseNorthing - s.halfWidth, s.falseNorthing + s.halfWidth))
        flags |= PST_NorthingError;
    if (flags)
        return flags;

    double dx = easting - s.falseEasting;
    double dy = northing - s.falseNorthing;
    double lat = kHalfPi;
    double lon = s.longitudeDown;
    if (dx != 0.0 || dy != 0.0) {
        if (s.southern) {
            dx = -dx;
            dy = -dy;
        }
        const double rho = std::sqrt(dx * dx + dy * dy);
        const double t = s.trueScaleAtPole ? rho * s.k90 / s.twoA : rho * s.tc / s.aMc;
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
            if (!converged)
                return PST_NorthingError;
        }
        lon = FoldOnce(s.longitudeDown + std::atan2(dx, -dy));
    }
    lat = ClampLatitude(lat);
    lon = lon > kPi ? kPi : (lon < -kPi ? -kPi : lon);
    latitude = s.southern ? -lat : lat;
    longitude = s.southern ? -lon : lon;
    return 0;
}
