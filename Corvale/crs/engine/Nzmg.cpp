#include "crs/engine/Nzmg.h"

#include "crs/engine/EngineMath.h"

#include <complex>

using namespace geoengine;

namespace {

using Complex = std::complex<double>;

constexpr double kA = 6378388.0;
constexpr double kOriginLatitude = -41.0;             // degrees
constexpr double kCentralMeridian = 3.01941960595019; // 173 degrees
constexpr double kFalseEasting = 2510000.0;
constexpr double kFalseNorthing = 6023150.0;
constexpr double kDegree = kPi / 180.0;

constexpr double kMinLatitude = -48.5 * kPi / 180.0;
constexpr double kMaxLatitude = -33.5 * kPi / 180.0;
constexpr double kMinLongitude = 165.5 * kPi / 180.0;
constexpr double kMaxLongitude = kPi;

// Latitude difference (in units of 10^5 seconds of arc) to the difference
// of isometric latitude, and back.
const double kToIsometric[10] = {0.6399175073, -0.1358797613, 0.063294409, -0.02526853, 0.0117879,
                                 -0.0055161,   0.0026906,     -0.001333,   0.00067,     -0.00034};
const double kFromIsometric[9] = {1.5627014243, 0.5185406398, -0.03333098, -0.1052906, -0.0368594,
                                  0.007317,     0.01220,      0.00394,     -0.0013};
// The polynomial to the grid and the first guess of its inverse.
const Complex kToGrid[6] = {{0.7557853228, 0.0},         {0.249204646, 0.003371507},
                            {-0.001541739, 0.041058560}, {-0.10162907, 0.01727609},
                            {-0.26623489, -0.36249218},  {-0.6870983, -1.1651967}};
const Complex kFromGrid[6] = {{1.3231270439, 0.0},         {-0.577245789, -0.007809598},
                              {0.508307513, -0.112208952}, {-0.15094762, 0.18200602},
                              {1.01418179, 1.64497696},    {1.9660549, 2.5127645}};

struct NzmgState {
    char ellipsoidCode[3] = {'I', 'N', '\0'};
};

NzmgState g_state;

bool LatitudeInRange(double lat) {
    return lat >= kMinLatitude && lat <= kMaxLatitude;
}
bool LongitudeInRange(double lon) {
    return lon >= kMinLongitude && lon <= kMaxLongitude;
}

} // namespace

std::uint32_t NzmgSetParameters(std::string_view ellipsoidCode) {
    if (ellipsoidCode.size() != 2 || ellipsoidCode[0] != g_state.ellipsoidCode[0] ||
        ellipsoidCode[1] != g_state.ellipsoidCode[1])
        return NZMG_EllipsoidError;
    return 0;
}

void NzmgGetParameters(char (&ellipsoidCode)[3]) {
    ellipsoidCode[0] = g_state.ellipsoidCode[0];
    ellipsoidCode[1] = g_state.ellipsoidCode[1];
    ellipsoidCode[2] = '\0';
}

std::uint32_t NzmgForward(double latitude, double longitude, double& easting, double& northing) {
    std::uint32_t flags = 0;
    if (!LatitudeInRange(latitude))
        flags |= NZMG_LatitudeError;
    if (!LongitudeInRange(longitude))
        flags |= NZMG_LongitudeError;
    if (flags)
        return flags;

    const double dphi = (latitude / kDegree - kOriginLatitude) * 3600.0 * 1.0e-5;
    double dpsi = 0.0;
    double power = 1.0;
    for (double c : kToIsometric) {
        power *= dphi;
        dpsi += c * power;
    }
    const Complex zeta(dpsi, longitude - kCentralMeridian);
    Complex z(0.0, 0.0);
    Complex zp(1.0, 0.0);
    for (const Complex& b : kToGrid) {
        zp *= zeta;
        z += b * zp;
    }
    northing = kFalseNorthing + kA * z.real();
    easting = kFalseEasting + kA * z.imag();
    return 0;
}

std::uint32_t NzmgInverse(double easting, double northing, double& latitude, double& longitude) {
    std::uint32_t flags = 0;
    if (!(easting >= 1810000.0 && easting <= 3170000.0))
        flags |= NZMG_EastingError;
    if (!(northing >= 5160000.0 && northing <= 6900000.0))
        flags |= NZMG_NorthingError;
    if (flags)
        return flags;

    const Complex z((northing - kFalseNorthing) / kA, (easting - kFalseEasting) / kA);
    Complex zeta(0.0, 0.0);
    Complex zp(1.0, 0.0);
    for (const Complex& c : kFromGrid) {
        zp *= z;
        zeta += c * zp;
    }
    // Two Newton-Raphson steps on the forward polynomial.
    for (int step = 0; step < 2; ++step) {
        Complex numerator = z;
        Complex denominator = kToGrid[0];
        Complex power = zeta; // zeta^(n-1) for n = 2 onwards
        for (int n = 2; n <= 6; ++n) {
            denominator += static_cast<double>(n) * kToGrid[n - 1] * power;
            power *= zeta;
            numerator += static_cast<double>(n - 1) * kToGrid[n - 1] * power;
        }
        zeta = numerator / denominator;
    }

    const double dpsi = zeta.real();
    double dphi = 0.0;
    double p = 1.0;
    for (double d : kFromIsometric) {
        p *= dpsi;
        dphi += d * p;
    }
    latitude = (kOriginLatitude + dphi * 1.0e5 / 3600.0) * kDegree;
    longitude = kCentralMeridian + zeta.imag();
    if (longitude > kPi && longitude - kPi < 1.0e-6)
        longitude = kPi;

    if (!LatitudeInRange(latitude))
        flags |= NZMG_LatitudeError;
    if (!LongitudeInRange(longitude))
        flags |= NZMG_LongitudeError;
    return flags;
}
