#include "crs/engine/Georef.h"

#include "crs/engine/EngineMath.h"

#include <cmath>
#include <cstdio>

using namespace geoengine;

namespace {

constexpr double kDegree = kPi / 180.0;
constexpr double kFudge = 5.0e-7;
constexpr int kI = 8;
constexpr int kO = 14;

// A tile or degree index (0..23) to its letter, skipping I and O.
char Letter(int index) {
    if (index >= kI)
        ++index;
    if (index >= kO)
        ++index;
    return static_cast<char>('A' + index);
}

// A letter to its index, -1 for I, O and what is no letter.
int Index(char c) {
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z' || c == 'I' || c == 'O')
        return -1;
    int index = c - 'A';
    if (index > kO)
        --index;
    if (index > kI)
        --index;
    return index;
}

struct Part {
    int tile;
    int degree;
    double minutes;
};

// Degrees east of the origin (180 W or 90 S) split into tile, degree and
// minutes; the fudge keeps a value a hair under a whole degree in it.
Part Split(double fromOrigin) {
    Part p;
    p.tile = static_cast<int>(fromOrigin / 15.0 + kFudge);
    const double inTile = fromOrigin - p.tile * 15.0;
    p.degree = static_cast<int>(inTile + kFudge);
    p.minutes = (inTile - p.degree) * 60.0;
    if (p.minutes < 0.0)
        p.minutes = 0.0;
    return p;
}

long MinutesField(double minutes, long precision) {
    static const double kDivisors[6] = {100000.0, 10000.0, 1000.0, 100.0, 10.0, 1.0};
    const double divisor = kDivisors[precision];
    const double q = minutes * 1000.0 / divisor;
    const double lower = std::floor(q);
    const double rest = q - lower;
    double rounded =
        rest > 0.5 ? lower + 1.0
                   : (rest < 0.5 ? lower : (std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0));
    // A whole 60 minutes would be the next degree's 0: write 59.999.
    if (rounded >= 60000.0 / divisor)
        rounded = std::floor(59999.0 / divisor);
    return static_cast<long>(rounded);
}

bool ReadMinutes(std::string_view digits, double& minutes) {
    double value = 0.0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10.0 + (c - '0');
    }
    // The digits after the first two are decimals of a minute.
    if (digits.size() > 2)
        value /= std::pow(10.0, static_cast<double>(digits.size() - 2));
    minutes = value;
    return minutes <= 60.0;
}

} // namespace

std::uint32_t GeorefForward(double latitude, double longitude, long precision, char* georef) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= GEOREF_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= GEOREF_LongitudeError;
    if (precision < 0 || precision > 5)
        flags |= GEOREF_PrecisionError;
    if (flags)
        return flags;

    double lon = longitude / kDegree;
    const double lat = latitude / kDegree;
    if (lon > 180.0)
        lon -= 360.0;

    Part lonPart = Split(lon + 180.0);
    Part latPart = Split(lat + 90.0);
    char lonTile, lonDegree, latTile, latDegree;
    // 180 E and 90 N lie on the far edge of the last tile.
    if (lonPart.tile >= 24) {
        lonTile = 'Z';
        lonDegree = 'Q';
        lonPart.minutes = 59.999;
    } else {
        lonTile = Letter(lonPart.tile);
        lonDegree = Letter(lonPart.degree);
    }
    if (latPart.tile >= 12) {
        latTile = 'M';
        latDegree = 'Q';
        latPart.minutes = 59.999;
    } else {
        latTile = Letter(latPart.tile);
        latDegree = Letter(latPart.degree);
    }

    char text[GEOREF_StringSize + 2];
    const int width = static_cast<int>(precision);
    if (precision == 0) {
        std::snprintf(text, sizeof text, "%c%c%c%c", lonTile, latTile, lonDegree, latDegree);
    } else if (precision == 1) {
        // Tens of minutes, written as whole minutes.
        std::snprintf(text, sizeof text, "%c%c%c%c%ld0%ld0", lonTile, latTile, lonDegree, latDegree,
                      MinutesField(lonPart.minutes, 1), MinutesField(latPart.minutes, 1));
    } else {
        std::snprintf(text, sizeof text, "%c%c%c%c%*.*ld%*.*ld", lonTile, latTile, lonDegree,
                      latDegree, width, width, MinutesField(lonPart.minutes, precision), width,
                      width, MinutesField(latPart.minutes, precision));
    }
    for (std::size_t i = 0; i < GEOREF_StringSize; ++i) {
        georef[i] = text[i];
        if (text[i] == '\0')
            break;
    }
    return 0;
}

std::uint32_t GeorefInverse(std::string_view georef, double& latitude, double& longitude) {
    const std::size_t length = georef.size();
    if (length < 4 || length > 14 || length % 2 != 0)
        return GEOREF_StringError;

    std::uint32_t flags = 0;
    const int lonTile = Index(georef[0]);
    const int latTile = Index(georef[1]);
    const int lonDegree = Index(georef[2]);
    const int latDegree = Index(georef[3]);
    if (lonTile < 0 || lonDegree < 0 || lonTile > 23 || lonDegree > 14)
        flags |= GEOREF_LongitudeLetterError;
    if (latTile < 0 || latDegree < 0 || latTile > 11 || latDegree > 14)
        flags |= GEOREF_LatitudeLetterError;

    const std::size_t digits = (length - 4) / 2;
    double lonMinutes = 0.0;
    double latMinutes = 0.0;
    if (digits) {
        if (!ReadMinutes(georef.substr(4, digits), lonMinutes))
            flags |= GEOREF_LongitudeMinutesError;
        if (!ReadMinutes(georef.substr(4 + digits, digits), latMinutes))
            flags |= GEOREF_LatitudeMinutesError;
    }
    if (flags)
        return flags;

    longitude = (lonTile * 15.0 + lonDegree - 180.0 + lonMinutes / 60.0) * kDegree;
    latitude = (latTile * 15.0 + latDegree - 90.0 + latMinutes / 60.0) * kDegree;
    return 0;
}
