#include "crs/engine/Neys.h"

#include "crs/engine/LambertConformalConic2.h"
#include "crs/engine/ProjectionSeries.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 400000000.0;
constexpr double k71Degrees = 1.239183768915974;
constexpr double k74Degrees = 1.2915436464758039;

struct NeysState {
    double a = kWgs84A;
    double f = kWgs84F;
    double originLatitude = 1.3962634015954636;
    double centralMeridian = 0.0;
    double standardParallel = k71Degrees;
    double secondParallel = kMaxConeLatitude;
    double falseEasting = 0.0;
    double falseNorthing = 0.0;
};

NeysState g_state;

// The two-parallel module's flags in this module's values.
std::uint32_t MapFlags(std::uint32_t flags) {
    std::uint32_t mapped =
        flags & (NEYS_LatitudeError | NEYS_LongitudeError | NEYS_EastingError | NEYS_NorthingError);
    if (flags & LCC2_SemiMajorAxisError)
        mapped |= NEYS_SemiMajorAxisError;
    if (flags & LCC2_InverseFlatteningError)
        mapped |= NEYS_InverseFlatteningError;
    if (flags & LCC2_OriginLatitudeError)
        mapped |= NEYS_OriginLatitudeError;
    if (flags & LCC2_CentralMeridianError)
        mapped |= NEYS_CentralMeridianError;
    if (flags & LCC2_ScaleFactorError)
        mapped |= NEYS_ScaleFactorError;
    return mapped;
}

} // namespace

std::uint32_t NeysSetParameters(double a, double f, double originLatitude, double centralMeridian,
                                double standardParallel, double falseEasting,
                                double falseNorthing) {
    std::uint32_t flags = 0;
    if (!(a > 0.0) || !IsFinite(a))
        flags |= NEYS_SemiMajorAxisError;
    if (!IsInverseFlatteningInRange(f))
        flags |= NEYS_InverseFlatteningError;
    if (!InRange(originLatitude, -kMaxConeLatitude, kMaxConeLatitude))
        flags |= NEYS_OriginLatitudeError;
    if (standardParallel != k71Degrees && standardParallel != k74Degrees)
        flags |= NEYS_StandardParallelError;
    if (!IsLongitudeInRange(centralMeridian))
        flags |= NEYS_CentralMeridianError;
    if (!IsFinite(falseEasting))
        flags |= NEYS_EastingError;
    if (!IsFinite(falseNorthing))
        flags |= NEYS_NorthingError;
    if (flags)
        return flags;

    NeysState s;
    s.a = a;
    s.f = f;
    s.originLatitude = originLatitude;
    s.centralMeridian = FoldOnce(centralMeridian);
    // The cone opens towards the hemisphere of the origin.
    s.standardParallel = originLatitude < 0.0 ? -standardParallel : standardParallel;
    s.secondParallel = originLatitude < 0.0 ? -kMaxConeLatitude : kMaxConeLatitude;
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
    g_state = s;
    return MapFlags(LambertConformalConic2SetParameters(a, f, s.originLatitude, s.centralMeridian,
                                                        s.standardParallel, s.secondParallel,
                                                        falseEasting, falseNorthing));
}

void NeysGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                       double& standardParallel, double& falseEasting, double& falseNorthing) {
    a = g_state.a;
    f = g_state.f;
    originLatitude = g_state.originLatitude;
    centralMeridian = g_state.centralMeridian;
    standardParallel = g_state.standardParallel;
    falseEasting = g_state.falseEasting;
    falseNorthing = g_state.falseNorthing;
}

std::uint32_t NeysForward(double latitude, double longitude, double& easting, double& northing) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= NEYS_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= NEYS_LongitudeError;
    if (flags)
        return flags;
    return MapFlags(LambertConformalConic2Forward(latitude, longitude, easting, northing));
}

std::uint32_t NeysInverse(double easting, double northing, double& latitude, double& longitude) {
    const NeysState& s = g_state;
    std::uint32_t flags = 0;
    if (!InRange(easting, s.falseEasting - kHalfWidth, s.falseEasting + kHalfWidth))
        flags |= NEYS_EastingError;
    if (!InRange(northing, s.falseNorthing - kHalfWidth, s.falseNorthing + kHalfWidth))
        flags |= NEYS_NorthingError;
    if (flags)
        return flags;
    return MapFlags(LambertConformalConic2Inverse(easting, northing, latitude, longitude));
}
