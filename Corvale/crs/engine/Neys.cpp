#include "crs/engine/Neys.h"

#include "crs/engine/LambertConformalConic2.h"
#include "crs/engine/ModuleSkeleton.h"

using namespace geoengine;

namespace {

constexpr double kHalfWidth = 400000000.0;
constexpr double k71Degrees = 1.239183768915974;
constexpr double k74Degrees = 1.2915436464758039;

constexpr CheckFlags kFlags = {NEYS_LatitudeError,        NEYS_LongitudeError,
                               NEYS_EastingError,         NEYS_NorthingError,
                               NEYS_CentralMeridianError, NEYS_SemiMajorAxisError,
                               NEYS_InverseFlatteningError};

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
    std::uint32_t flags =
        CheckModuleSetUp(a, f, centralMeridian, falseEasting, falseNorthing, kFlags);
    if (!InRange(originLatitude, -kMaxConeLatitude, kMaxConeLatitude))
        flags |= NEYS_OriginLatitudeError;
    if (standardParallel != k71Degrees && standardParallel != k74Degrees)
        flags |= NEYS_StandardParallelError;
    if (flags)
        return flags;

    NeysState s;
    StoreModuleParameters(s, a, f, centralMeridian, falseEasting, falseNorthing);
    s.originLatitude = originLatitude;
    // The cone opens towards the hemisphere of the origin.
    s.standardParallel = originLatitude < 0.0 ? -standardParallel : standardParallel;
    s.secondParallel = originLatitude < 0.0 ? -kMaxConeLatitude : kMaxConeLatitude;
    g_state = s;
    return MapFlags(LambertConformalConic2SetParameters(a, f, s.originLatitude, s.centralMeridian,
                                                        s.standardParallel, s.secondParallel,
                                                        falseEasting, falseNorthing));
}

void NeysGetParameters(double& a, double& f, double& originLatitude, double& centralMeridian,
                       double& standardParallel, double& falseEasting, double& falseNorthing) {
    ReadModuleParameters(g_state, a, f, centralMeridian, falseEasting, falseNorthing);
    originLatitude = g_state.originLatitude;
    standardParallel = g_state.standardParallel;
}

std::uint32_t NeysForward(double latitude, double longitude, double& easting, double& northing) {
    if (const std::uint32_t flags = CheckGeodeticPoint(latitude, longitude, kFlags))
        return flags;
    return MapFlags(LambertConformalConic2Forward(latitude, longitude, easting, northing));
}

std::uint32_t NeysInverse(double easting, double northing, double& latitude, double& longitude) {
    const NeysState& s = g_state;
    if (const std::uint32_t flags =
            CheckProjectedPoint(easting, northing, s.falseEasting, -kHalfWidth, kHalfWidth,
                                s.falseNorthing, -kHalfWidth, kHalfWidth, kFlags))
        return flags;
    return MapFlags(LambertConformalConic2Inverse(easting, northing, latitude, longitude));
}
