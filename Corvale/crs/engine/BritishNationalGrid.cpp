#include "crs/engine/BritishNationalGrid.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/MilitaryGrid.h"
#include "crs/engine/ProjectionFlags.h"
#include "crs/engine/TransverseMercator.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace geoengine;

namespace {

constexpr double kA = 6377563.396;
constexpr double kF = 0.0033408506414970775;
constexpr double kOriginLatitude = 0.8552113334772214;    // 49 degrees
constexpr double kCentralMeridian = -0.03490658503988659; // -2 degrees
constexpr double kScale = 0.9996012717;
constexpr double kFalseEasting = 400000.0;
constexpr double kFalseNorthing = -100000.0;

constexpr double kMinEasting = -133134.0;
constexpr double kMaxEasting = 759961.0;
constexpr double kMinNorthing = -14829.0;
constexpr double kMaxNorthing = 1257875.0;

constexpr double kDegree = kPi / 180.0;
constexpr double kMinLatitude = 49.5 * kPi / 180.0;
constexpr double kMaxLatitude = 61.5 * kPi / 180.0;
constexpr double kMinLongitude = -10.0 * kPi / 180.0;
constexpr double kMaxLongitude = 3.5 * kPi / 180.0;

// 500 km squares from the false origin, west to east then south to north;
// 100 km squares five by five, row by row from the south.
constexpr char kLetters500[] = "STNOHJ";
constexpr char kLetters100[] = "VWXYZQRSTULMNOPFGHJKABCDE";

struct BngState {
    char ellipsoidCode[3] = {'A', 'A', '\0'};
};

BngState g_state;

void SetUpTransverseMercator() {
    TransverseMercatorSetParameters(kA, kF, kOriginLatitude, kCentralMeridian, kFalseEasting,
                                    kFalseNorthing, kScale);
}

bool InsideLimits(double e, double n) {
    return e >= kMinEasting && e <= kMaxEasting && n >= kMinNorthing && n <= kMaxNorthing;
}

bool InsideRanges(double lat, double lon) {
    return lat >= kMinLatitude && lat <= kMaxLatitude && lon >= kMinLongitude &&
           lon <= kMaxLongitude;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The letter pairs that name squares of the grid.
bool NamesSquare(char first, char second) {
    if (second == 'I' || !std::strchr(kLetters100, second))
        return false;
    switch (first) {
    case 'H':
        return second >= 'L';
    case 'J':
        return std::strchr("LMQRVW", second) != nullptr;
    case 'N':
        return second != 'V';
    case 'O':
        return !std::strchr("CDEJKOPTUYZ", second);
    case 'S':
        return !std::strchr("AFL", second);
    case 'T':
        return !std::strchr("DEJKOPTUXYZ", second);
    default:
        return false;
    }
}

double Divisor(long precision) {
    static const double kPowers[6] = {100000.0, 10000.0, 1000.0, 100.0, 10.0, 1.0};
    return kPowers[precision];
}

} // namespace

std::uint32_t BngSetParameters(std::string_view ellipsoidCode) {
    if (ellipsoidCode.size() != 2 || ellipsoidCode[0] != g_state.ellipsoidCode[0] ||
        ellipsoidCode[1] != g_state.ellipsoidCode[1])
        return BNG_EllipsoidError;
    SetUpTransverseMercator();
    return 0;
}

void BngGetParameters(char (&ellipsoidCode)[3]) {
    ellipsoidCode[0] = g_state.ellipsoidCode[0];
    ellipsoidCode[1] = g_state.ellipsoidCode[1];
    ellipsoidCode[2] = '\0';
}

std::uint32_t BngForward(double latitude, double longitude, long precision, char* bng) {
    std::uint32_t flags = 0;
    if (!(latitude >= kMinLatitude && latitude <= kMaxLatitude))
        flags |= BNG_LatitudeError;
    if (!(longitude >= kMinLongitude && longitude <= kMaxLongitude))
        flags |= BNG_LongitudeError;
    if (flags)
        return flags;
    // Grid strings are made at precisions 0 to 5 throughout the engine.
    if (precision < 0)
        precision = 0;
    if (precision > 5)
        precision = 5;

    SetUpTransverseMercator();
    double e = 0.0;
    double n = 0.0;
    TransverseMercatorForward(latitude, longitude, e, n);
    // A point just west or south of the false origin is written at 0.
    if (e > -2.0 && e < 0.0)
        e = 0.0;
    if (n > -2.0 && n < 0.0)
        n = 0.0;
    if (!InsideLimits(e, n))
        return BNG_GridAreaError;

    const double divisor = Divisor(precision);
    e = milgrid::RoundHalfEven(e / divisor) * divisor;
    n = milgrid::RoundHalfEven(n / divisor) * divisor;
    // The limits reach beyond the lettered squares in the west and south.
    if (e < 0.0 || n < 0.0)
        return BNG_GridAreaError;

    const long ie = static_cast<long>(e);
    const long in = static_cast<long>(n);
    const char first = kLetters500[(in / 500000) * 2 + ie / 500000];
    const char second = kLetters100[((in % 500000) / 100000) * 5 + (ie % 500000) / 100000];
    const int width = static_cast<int>(precision);
    const long d = static_cast<long>(divisor);
    char text[BNG_StringSize + 8];
    std::snprintf(text, sizeof text, "%c%c%*.*ld%*.*ld", first, second, width, width,
                  (ie % 100000) / d, width, width, (in % 100000) / d);
    std::memcpy(bng, text, std::strlen(text) + 1);
    return 0;
}

std::uint32_t BngInverse(std::string_view bng, double& latitude, double& longitude) {
    std::size_t i = 0;
    while (i < bng.size() && bng[i] == ' ')
        ++i;
    if (i + 2 > bng.size() || !IsLetter(bng[i]) || !IsLetter(bng[i + 1]))
        return BNG_StringError;
    const char first = Upper(bng[i]);
    const char second = Upper(bng[i + 1]);
    i += 2;
    while (i < bng.size() && bng[i] == ' ')
        ++i;
    const std::size_t start = i;
    while (i < bng.size() && IsDigit(bng[i]))
        ++i;
    const std::size_t digits = i - start;
    while (i < bng.size() && bng[i] == ' ')
        ++i;
    if (i != bng.size() || digits % 2 != 0 || digits > 10)
        return BNG_StringError;
    if (!NamesSquare(first, second))
        return BNG_GridAreaError;

    const long index500 = static_cast<long>(std::strchr(kLetters500, first) - kLetters500);
    const long index100 = static_cast<long>(std::strchr(kLetters100, second) - kLetters100);
    double e = (index500 % 2) * 500000.0 + (index100 % 5) * 100000.0;
    double n = (index500 / 2) * 500000.0 + (index100 / 5) * 100000.0;
    if (digits) {
        const long precision = static_cast<long>(digits / 2);
        double de = 0.0;
        double dn = 0.0;
        for (std::size_t k = 0; k < digits / 2; ++k) {
            de = de * 10.0 + (bng[start + k] - '0');
            dn = dn * 10.0 + (bng[start + digits / 2 + k] - '0');
        }
        e += de * Divisor(precision);
        n += dn * Divisor(precision);
    }
    if (!InsideLimits(e, n))
        return BNG_GridAreaError;

    SetUpTransverseMercator();
    double lat = 0.0;
    double lon = 0.0;
    const std::uint32_t tm = TransverseMercatorInverse(e, n, lat, lon);
    std::uint32_t flags = 0;
    if (tm & PRJ_EastingError)
        flags |= BNG_EastingError;
    if (tm & PRJ_NorthingError)
        flags |= BNG_NorthingError;
    if (flags)
        return flags;
    if (!InsideRanges(lat, lon))
        return BNG_GridAreaError;
    latitude = lat;
    longitude = lon;
    return 0;
}
