#pragma once
// The skeleton the projection modules repeat around their formulas: the
// checks of a set-up, of a forward's latitude and longitude and of an
// inverse's easting and northing; the storing and reading of the parameters
// most modules take (ellipsoid, central meridian, false origin); the bounds
// of the world-wide modules; the Newton solution of an auxiliary angle; the
// polar coordinates of the cones.
//
// Each module keeps its own file and its own file-local state; these helpers
// hold nothing. They are handed the module's state (any struct with the
// fields they name) or its values, and they do the arithmetic in the order
// the modules always did, so that every result stays the same to the last
// bit. Everything is inline, so that the shared checks cost a point no more
// than the modules' own code did. Not for use outside the engine.

#include "crs/engine/ProjectionSeries.h"

#include <cmath>
#include <cstdint>

namespace geoengine {

// The flag each shared check raises: the values of ProjectionFlags.h, unless
// a module numbers its flags its own way (the conics), in the order of the
// members here.
struct CheckFlags {
    std::uint32_t latitude = PRJ_LatitudeError;
    std::uint32_t longitude = PRJ_LongitudeError;
    std::uint32_t easting = PRJ_EastingError;
    std::uint32_t northing = PRJ_NorthingError;
    std::uint32_t centralMeridian = PRJ_CentralMeridianError;
    std::uint32_t semiMajorAxis = PRJ_SemiMajorAxisError;
    std::uint32_t inverseFlattening = PRJ_InverseFlatteningError;
};

constexpr CheckFlags kCommonFlags{};

// ---------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------

// What every set-up refuses: a <= 0 (or not a number), 1/f outside 250..350,
// a central meridian outside -pi..2*pi, a false easting or northing that is
// not a number (it would make every result NaN).
inline std::uint32_t CheckModuleSetUp(double a, double f, double centralMeridian,
                                      double falseEasting, double falseNorthing,
                                      const CheckFlags& flags = kCommonFlags) {
    std::uint32_t result = 0;
    if (!(a > 0.0) || !IsFinite(a))
        result |= flags.semiMajorAxis;
    if (!IsInverseFlatteningInRange(f))
        result |= flags.inverseFlattening;
    if (!IsLongitudeInRange(centralMeridian))
        result |= flags.centralMeridian;
    if (!IsFinite(falseEasting))
        result |= flags.easting;
    if (!IsFinite(falseNorthing))
        result |= flags.northing;
    return result;
}

// A latitude parameter (origin, standard parallel) outside -pi/2..pi/2.
inline std::uint32_t CheckLatitudeParameter(double latitude, std::uint32_t flag) {
    return IsLatitudeInRange(latitude) ? 0 : flag;
}

// The two standard parallels of a cone: both 0, or one the other's opposite,
// give no cone.
inline std::uint32_t CheckParallelPair(double firstParallel, double secondParallel,
                                       std::uint32_t zeroFlag, std::uint32_t oppositeFlag) {
    std::uint32_t result = 0;
    if (firstParallel == 0.0 && secondParallel == 0.0)
        result |= zeroFlag;
    if (firstParallel == -secondParallel)
        result |= oppositeFlag;
    return result;
}

// Stores the parameters most modules take into the module's new state; the
// central meridian is folded once towards -pi..pi.
template <class State>
void StoreModuleParameters(State& s, double a, double f, double centralMeridian,
                           double falseEasting, double falseNorthing) {
    s.a = a;
    s.f = f;
    s.centralMeridian = FoldOnce(centralMeridian);
    s.falseEasting = falseEasting;
    s.falseNorthing = falseNorthing;
}

// Their pair: the parameters as the module keeps them.
template <class State>
void ReadModuleParameters(const State& s, double& a, double& f, double& centralMeridian,
                          double& falseEasting, double& falseNorthing) {
    a = s.a;
    f = s.f;
    centralMeridian = s.centralMeridian;
    falseEasting = s.falseEasting;
    falseNorthing = s.falseNorthing;
}

// The easting bounds of a world-wide module (minEasting, maxEasting of its
// state) for its central meridian: see EastingBoundsFor.
template <class State>
void SetWorldEastingBounds(State& s, double fullEasting, double shortEasting) {
    const EastingBounds b = EastingBoundsFor(s.centralMeridian, fullEasting, shortEasting);
    s.minEasting = b.min;
    s.maxEasting = b.max;
}

// The northing bounds (minNorthing, maxNorthing of the state) of a module
// whose series is taken at +-boundLatitude on the antimeridian, widened by
// `margin` metres each way. project(state, latitude, dLongitude, x, y) gives
// the offsets from the false origin.
template <class State, class Project>
void SetAntimeridianNorthingBounds(State& s, double boundLatitude, double margin, Project project) {
    const double dl = FoldOnce(Antimeridian(s.centralMeridian) - s.centralMeridian);
    double x, y;
    project(s, boundLatitude, dl, x, y);
    s.maxNorthing = y + margin;
    project(s, -boundLatitude, dl, x, y);
    s.minNorthing = y - margin;
}

// ---------------------------------------------------------------------------
// Forward and inverse
// ---------------------------------------------------------------------------

// A forward's point: latitude outside -pi/2..pi/2, longitude outside
// -pi..2*pi (or not numbers).
inline std::uint32_t CheckGeodeticPoint(double latitude, double longitude,
                                        const CheckFlags& flags = kCommonFlags) {
    std::uint32_t result = 0;
    if (!IsLatitudeInRange(latitude))
        result |= flags.latitude;
    if (!IsLongitudeInRange(longitude))
        result |= flags.longitude;
    return result;
}

// An inverse's point: easting outside falseEasting + minEasting ..
// falseEasting + maxEasting, northing likewise (bounds are offsets from the
// false origin; a half width w is -w..w).
inline std::uint32_t CheckProjectedPoint(double easting, double northing, double falseEasting,
                                         double minEasting, double maxEasting, double falseNorthing,
                                         double minNorthing, double maxNorthing,
                                         const CheckFlags& flags = kCommonFlags) {
    std::uint32_t result = 0;
    if (!InRange(easting, falseEasting + minEasting, falseEasting + maxEasting))
        result |= flags.easting;
    if (!InRange(northing, falseNorthing + minNorthing, falseNorthing + maxNorthing))
        result |= flags.northing;
    return result;
}

// ---------------------------------------------------------------------------
// The pseudocylindrical auxiliary angle
// ---------------------------------------------------------------------------

// Newton's method on x, from its start value: step(x) gives the next step,
// -g(x) / g'(x); the loop stops after a step no larger than 4.85e-10 rad or
// after kMaxIterations steps. Near the poles the derivative vanishes and the
// method slows to a linear rate, and rounding can keep the last steps from
// shrinking below the tolerance: a root that satisfies the equation
// (|residual(x)| = |g(x)| <= 1e-12) is still a root. False when there is none.
template <class Step, class Residual>
bool SolveAuxiliaryAngle(double& x, Step step, Residual residual) {
    for (int i = 0; i < kMaxIterations; ++i) {
        const double change = step(x);
        x += change;
        if (!(std::fabs(change) > 4.85e-10))
            return true;
    }
    return std::fabs(residual(x)) <= 1e-12;
}

// ---------------------------------------------------------------------------
// Cones
// ---------------------------------------------------------------------------

// Snyder's rectangular coordinates of a cone from the radius rho of the
// point's parallel and its angle theta from the central meridian; rho0 is the
// radius of the origin's parallel.
inline void ConeToGrid(double rho, double theta, double rho0, double falseEasting,
                       double falseNorthing, double& easting, double& northing) {
    easting = rho * std::sin(theta) + falseEasting;
    northing = rho0 - rho * std::cos(theta) + falseNorthing;
}

// Their inverse: the offsets from the apex and the radius, negative for a
// cone that opens to the south (sign < 0: the cone constant or the origin
// latitude).
struct ConePoint {
    double dx;
    double dy;
    double rho;
};

inline ConePoint GridToCone(double easting, double northing, double rho0, double falseEasting,
                            double falseNorthing, double sign) {
    ConePoint p;
    p.dx = easting - falseEasting;
    p.dy = rho0 - (northing - falseNorthing);
    p.rho = std::sqrt(p.dx * p.dx + p.dy * p.dy);
    if (sign < 0.0)
        p.rho = -p.rho;
    return p;
}

// The angle theta of the point from the central meridian; Snyder reverses the
// signs for a cone that opens to the south.
inline double ConeAngle(const ConePoint& p, double sign) {
    return sign > 0.0 ? std::atan2(p.dx, p.dy) : std::atan2(-p.dx, -p.dy);
}

} // namespace geoengine
