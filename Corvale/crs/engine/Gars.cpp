#include "crs/engine/Gars.h"

#include "crs/engine/EngineMath.h"

#include <cstdio>

using namespace geoengine;

namespace {

constexpr double kDegree = kPi / 180.0;
// The 24 letters of the latitude bands.
constexpr char kLetters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
// 360 bands of 30 minutes: first letters A to Q.
constexpr int kLastFirstLetter = 14;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The index of a letter among the 24 (case ignored), -1 for I, O and
// anything that is no letter.
int LetterIndex(char c) {
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    for (int i = 0; i < 24; ++i)
        if (kLetters[i] == c)
            return i;
    return -1;
}

} // namespace

std::uint32_t GarsForward(double latitude, double longitude, long precision, char* gars) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= GARS_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= GARS_LongitudeError;
    if (precision < 0 || precision > 5)
        flags |= GARS_PrecisionError;
    if (flags)
        return flags;

    double lat = latitude / kDegree;
    double lon = longitude / kDegree;
    // 180 E is 180 W: band 001, as is everything east of it up to 360.
    if (lon >= 180.0)
        lon -= 360.0;
    if (lat == 90.0)
        lat = 89.99999999999;
    const double latMinutes = (lat + 90.0) * 60.0 + 5.0e-11;
    const double lonMinutes = (lon + 180.0) * 60.0 + 5.0e-11;

    int band = static_cast<int>(lonMinutes / 30.0) + 1;
    int cell = static_cast<int>(latMinutes / 30.0);
    // The last hair of a band rounds onto the next one at most.
    if (band > 720)
        band = 720;
    if (cell > 359)
        cell = 359;

    const double lonInCell = lonMinutes - (band - 1) * 30.0;
    const double latInCell = latMinutes - cell * 30.0;
    const bool east = lonInCell >= 15.0;
    const bool north = latInCell >= 15.0;
    const int quadrant = north ? (east ? 2 : 1) : (east ? 4 : 3);
    const double lonInQuadrant = east ? lonInCell - 15.0 : lonInCell;
    const double latInQuadrant = north ? latInCell - 15.0 : latInCell;
    int column = static_cast<int>(lonInQuadrant / 5.0);
    int rowFromSouth = static_cast<int>(latInQuadrant / 5.0);
    if (column > 2)
        column = 2;
    if (rowFromSouth > 2)
        rowFromSouth = 2;
    const int keypad = (2 - rowFromSouth) * 3 + column + 1;

    char text[16];
    std::snprintf(text, sizeof text, "%03d%c%c", band, kLetters[cell / 24], kLetters[cell % 24]);
    if (precision >= 1)
        text[5] = static_cast<char>('0' + quadrant);
    if (precision >= 2)
        text[6] = static_cast<char>('0' + keypad);
    text[precision >= 2 ? 7 : (precision == 1 ? 6 : 5)] = '\0';
    for (std::size_t i = 0; i < GARS_StringSize; ++i) {
        gars[i] = text[i];
        if (text[i] == '\0')
            break;
    }
    return 0;
}

std::uint32_t GarsInverse(std::string_view gars, double& latitude, double& longitude) {
    const std::size_t length = gars.size();
    if (length < 5 || length > 7 || !IsDigit(gars[0]) || !IsDigit(gars[1]) || !IsDigit(gars[2]))
        return GARS_StringError;
    // Bands outside 001..720 and first letters beyond Q would name places
    // off the globe.
    const int band = (gars[0] - '0') * 100 + (gars[1] - '0') * 10 + (gars[2] - '0');
    if (band < 1 || band > 720)
        return GARS_StringError;
    std::uint32_t flags = 0;
    const int first = LetterIndex(gars[3]);
    const int second = LetterIndex(gars[4]);
    if (first < 0 || first > kLastFirstLetter)
        flags |= GARS_Letter1Error;
    if (second < 0)
        flags |= GARS_Letter2Error;
    int quadrant = 0;
    int keypad = 0;
    if (length >= 6) {
        quadrant = gars[5] - '0';
        if (quadrant < 1 || quadrant > 4)
            flags |= GARS_QuadrantError;
    }
    if (length == 7) {
        keypad = gars[6] - '0';
        if (keypad < 1 || keypad > 9)
            flags |= GARS_KeypadError;
    }
    if (flags)
        return flags;

    double lon = (band - 1) * 0.5 - 180.0;
    double lat = first * 12.0 - 90.0 + second * 0.5;
    // Minutes from the cell's south-west corner to the centre of the area.
    double east = 15.0;
    double north = 15.0;
    if (quadrant) {
        east = (quadrant == 2 || quadrant == 4) ? 15.0 : 0.0;
        north = (quadrant == 1 || quadrant == 2) ? 15.0 : 0.0;
        if (keypad) {
            east += ((keypad - 1) % 3) * 5.0 + 2.5;
            north += (2 - (keypad - 1) / 3) * 5.0 + 2.5;
        } else {
            east += 7.5;
            north += 7.5;
        }
    }
    lon += east / 60.0;
    lat += north / 60.0;
    latitude = lat * kDegree;
    longitude = lon * kDegree;
    return 0;
}
