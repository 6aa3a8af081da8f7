#include "crs/engine/MilitaryGrid.h"

#include "crs/engine/EngineMath.h"
#include "crs/engine/Ups.h"
#include "crs/engine/Utm.h"

#include <cmath>
#include <cstdio>

namespace geoengine::milgrid {

namespace {

constexpr int kA = 0, kC = 2, kD = 3, kE = 4, kI = 8, kJ = 9, kL = 11, kM = 12, kN = 13, kO = 14,
              kS = 18, kV = 21, kW = 22, kX = 23, kY = 24, kZ = 25;

constexpr double kSquare = 100000.0;
constexpr double kRowCycle = 2000000.0;
constexpr double kUtmMaxNorthing = 10000000.0;
constexpr double kPoleOffset = 2000000.0;
constexpr double kDegree = kPi / 180.0;

struct Band {
    int letter;
    double minNorthing;
    double north; // degrees
    double south;
};

// Bands C to X, 8 degrees each but X, which reaches 84.5 degrees.
const Band kBands[20] = {
    {kC, 1100000.0, -72.0, -80.5}, {kD, 2000000.0, -64.0, -72.0}, {kE, 2800000.0, -56.0, -64.0},
    {5, 3700000.0, -48.0, -56.0},  {6, 4600000.0, -40.0, -48.0},  {7, 5500000.0, -32.0, -40.0},
    {kJ, 6400000.0, -24.0, -32.0}, {10, 7300000.0, -16.0, -24.0}, {kL, 8200000.0, -8.0, -16.0},
    {kM, 9100000.0, 0.0, -8.0},    {kN, 0.0, 8.0, 0.0},           {15, 800000.0, 16.0, 8.0},
    {16, 1700000.0, 24.0, 16.0},   {17, 2600000.0, 32.0, 24.0},   {kS, 3500000.0, 40.0, 32.0},
    {19, 4400000.0, 48.0, 40.0},   {20, 5300000.0, 56.0, 48.0},   {kV, 6200000.0, 64.0, 56.0},
    {kW, 7000000.0, 72.0, 64.0},   {kX, 7900000.0, 84.5, 72.0},
};

struct PolarSquare {
    int letter;
    int firstColumn;
    int lastColumn;
    int lastRow;
    double falseEasting;
    double falseNorthing;
};

const PolarSquare kPolar[4] = {
    {kA, kJ, kZ, kZ, 800000.0, 800000.0},
    {1, kA, 17, kZ, 2000000.0, 800000.0},
    {kY, kJ, kZ, 15, 800000.0, 1300000.0},
    {kZ, kA, kJ, 15, 2000000.0, 1300000.0},
};

const Band* FindBand(int letter) {
    for (const Band& b : kBands)
        if (b.letter == letter)
            return &b;
    return nullptr;
}

const PolarSquare* FindPolar(int letter) {
    for (const PolarSquare& p : kPolar)
        if (p.letter == letter)
            return &p;
    return nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

double Divisor(long precision) {
    static const double kPowers[6] = {100000.0, 10000.0, 1000.0, 100.0, 10.0, 1.0};
    return kPowers[precision];
}

// A coordinate reduced to a multiple of the divisor.
double Reduce(const Rules& rules, double value, double divisor) {
    const double q = value / divisor;
    return (rules.usng ? RoundHalfEven(q) : std::trunc(q)) * divisor;
}

// The zone set (1 to 6) decides the column letters and the row offset.
int ZoneSet(std::int32_t zone) {
    const int set = zone % 6;
    return set == 0 ? 6 : set;
}

int FirstColumnLetter(int set) {
    switch (set) {
    case 1:
    case 4:
        return kA;
    case 2:
    case 5:
        return kJ;
    default:
        return kS;
    }
}

// Last letter of a set's eight columns (the set from J skips O).
int LastColumnLetter(int set) {
    const int first = FirstColumnLetter(set);
    return first == kJ ? 17 : first + 7;
}

double RowOffset(const Rules& rules, int set) {
    const bool odd = set % 2 == 1;
    if (rules.alternateRows)
        return odd ? 1000000.0 : 500000.0;
    return odd ? 0.0 : 1500000.0;
}

struct Parsed {
    std::int32_t zone = 0;
    int letters[3] = {0, 0, 0};
    double easting = 0.0;
    double northing = 0.0;
    long precision = 0;
};

double DigitsValue(std::string_view digits) {
    double v = 0.0;
    for (char c : digits)
        v = v * 10.0 + (c - '0');
    return v;
}

// Blanks, a zone of up to two digits, three letters, an even number of
// digits (at most ten), trailing blanks. Anything after the digits would
// otherwise be dropped unseen, so it is refused.
std::uint32_t Break(std::string_view s, Parsed& p) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    std::size_t start = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    const std::size_t zoneDigits = i - start;
    if (zoneDigits > 2)
        return kStringError;
    p.zone = zoneDigits ? static_cast<std::int32_t>(DigitsValue(s.substr(start, zoneDigits))) : 0;
    if (zoneDigits && (p.zone < 1 || p.zone > 60))
        return kStringError;

    start = i;
    while (i < s.size() && IsLetter(s[i]))
        ++i;
    if (i - start != 3)
        return kStringError;
    for (int k = 0; k < 3; ++k) {
        char c = s[start + k];
        if (c >= 'a')
            c = static_cast<char>(c - 'a' + 'A');
        p.letters[k] = c - 'A';
        if (p.letters[k] == kI || p.letters[k] == kO)
            return kStringError;
    }

    start = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    const std::size_t digits = i - start;
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i != s.size() || digits % 2 != 0 || digits > 10)
        return kStringError;
    p.precision = static_cast<long>(digits / 2);
    if (digits < 2) {
        p.easting = 0.0;
        p.northing = 0.0;
    } else {
        const double scale = Divisor(p.precision);
        p.easting = DigitsValue(s.substr(start, digits / 2)) * scale;
        p.northing = DigitsValue(s.substr(start + digits / 2, digits / 2)) * scale;
    }
    return 0;
}

// The digits within the square, never 100000 however close the value.
long SquareDigits(double value, double divisor) {
    double v = std::fmod(value, kSquare);
    if (v >= 99999.5)
        v = 99999.0;
    return static_cast<long>(v / divisor);
}

void Write(char* out, std::int32_t zone, int l0, int l1, int l2, double easting, double northing,
           long precision) {
    const double divisor = Divisor(precision);
    const int width = static_cast<int>(precision);
    // Two digits, or two blanks for a polar square; zones lie in 1..60.
    char zoneText[3] = {' ', ' ', '\0'};
    if (zone) {
        zoneText[0] = static_cast<char>('0' + zone / 10);
        zoneText[1] = static_cast<char>('0' + zone % 10);
    }
    std::snprintf(out, kStringSize, "%s%c%c%c%*.*ld%*.*ld", zoneText, 'A' + l0, 'A' + l1, 'A' + l2,
                  width, width, SquareDigits(easting, divisor), width, width,
                  SquareDigits(northing, divisor));
}

// The string of a UTM point whose latitude is known.
std::uint32_t StringFromUtm(const Rules& rules, std::int32_t zone, double latitude, double easting,
                            double northing, long precision, char* out) {
    const double divisor = Divisor(precision);
    easting = Reduce(rules, easting, divisor);
    northing = Reduce(rules, northing, divisor);
    if (latitude <= 0.0 && northing == kUtmMaxNorthing) {
        latitude = 0.0;
        northing = 0.0;
    }

    const double degrees = latitude / kDegree;
    int band;
    if (degrees >= 72.0 && degrees < 84.5)
        band = kX;
    else if (degrees < -80.5 || degrees >= 84.5)
        return kLatitudeError;
    else
        band = kBands[static_cast<int>((degrees + 80.0) / 8.0 + 1.0e-12)].letter;

    const int set = ZoneSet(zone);
    double cycle = std::fmod(northing, kRowCycle) - RowOffset(rules, set);
    if (cycle < 0.0)
        cycle += kRowCycle;
    int row = static_cast<int>(cycle / kSquare);
    if (row > 7)
        ++row;
    if (row > 13)
        ++row;

    // Squares run from 100 km to 900 km east; a value reduced onto either
    // edge has no column letter in the zone's set.
    const int squares = static_cast<int>(easting / kSquare);
    if (squares < 1 || squares > 8)
        return kEastingError;
    const int first = FirstColumnLetter(set);
    int column = first + squares - 1;
    if (first == kJ && column > 13)
        ++column;

    Write(out, zone, band, column, row, easting, northing, precision);
    return 0;
}

std::uint32_t MapUtmInverse(std::uint32_t u) {
    std::uint32_t flags = 0;
    if (u & (UTM_ZoneError | UTM_HemisphereError))
        flags |= kStringError;
    if (u & UTM_EastingError)
        flags |= kEastingError;
    if (u & UTM_NorthingError)
        flags |= kNorthingError;
    return flags;
}

std::uint32_t MapUtmForward(std::uint32_t u) {
    std::uint32_t flags = 0;
    if (u & UTM_LatitudeError)
        flags |= kLatitudeError;
    if (u & UTM_LongitudeError)
        flags |= kLongitudeError;
    if (u & UTM_ZoneOverrideError)
        flags |= kZoneError;
    if (u & UTM_EastingError)
        flags |= kEastingError;
    if (u & UTM_NorthingError)
        flags |= kNorthingError;
    return flags;
}

std::uint32_t MapUps(std::uint32_t u) {
    std::uint32_t flags = 0;
    if (u & UPS_LatitudeError)
        flags |= kLatitudeError;
    if (u & UPS_LongitudeError)
        flags |= kLongitudeError;
    if (u & UPS_HemisphereError)
        flags |= kStringError;
    if (u & UPS_EastingError)
        flags |= kEastingError;
    if (u & UPS_NorthingError)
        flags |= kNorthingError;
    return flags;
}

// South-west Norway belongs to zone 32 although zone 31 would reach it.
std::uint32_t NorwayZone(const Rules& rules, double latitude, double longitude, std::int32_t& zone,
                         double& easting, double& northing) {
    if (zone != 31 || latitude < 56.0 * kDegree || latitude >= 64.0 * kDegree ||
        longitude < 3.0 * kDegree)
        return 0;
    UtmSetParameters(rules.a, rules.f, 32);
    std::int32_t z = 0;
    char h = 'N';
    double e = 0.0;
    double n = 0.0;
    const std::uint32_t u = UtmForward(latitude, longitude, z, h, e, n);
    UtmSetParameters(rules.a, rules.f, 0);
    if ((u & (UTM_LatitudeError | UTM_LongitudeError | UTM_ZoneOverrideError)) == 0) {
        zone = z;
        easting = e;
        northing = n;
    }
    return MapUtmForward(u);
}

bool HasZone(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    return i < s.size() && IsDigit(s[i]);
}

} // namespace

double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double rest = value - lower;
    if (rest > 0.5)
        return lower + 1.0;
    if (rest < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::uint32_t FromUtm(const Rules& rules, std::int32_t zone, char hemisphere, double easting,
                      double northing, long precision, char* out) {
    std::uint32_t flags = 0;
    if (zone < 1 || zone > 60)
        flags |= kZoneError;
    if (hemisphere != 'N' && hemisphere != 'S')
        flags |= kHemisphereError;
    if (!(easting >= 100000.0 && easting <= 900000.0))
        flags |= kEastingError;
    if (!(northing >= 0.0 && northing <= kUtmMaxNorthing))
        flags |= kNorthingError;
    if (precision < 0 || precision > 5)
        flags |= kPrecisionError;
    if (flags)
        return flags;

    UtmSetParameters(rules.a, rules.f, 0);
    double latitude = 0.0;
    double longitude = 0.0;
    flags |= MapUtmInverse(UtmInverse(zone, hemisphere, easting, northing, latitude, longitude));
    flags |= NorwayZone(rules, latitude, longitude, zone, easting, northing);
    return flags | StringFromUtm(rules, zone, latitude, easting, northing, precision, out);
}

std::uint32_t ToUtm(const Rules& rules, std::string_view text, std::int32_t& zone, char& hemisphere,
                    double& easting, double& northing) {
    Parsed p;
    if (const std::uint32_t flags = Break(text, p))
        return flags;
    if (p.zone == 0)
        return kStringError;
    const Band* band = FindBand(p.letters[0]);
    if (!band)
        return kStringError;
    // Svalbard is covered by the widened zones 31, 33, 35 and 37.
    if (band->letter == kX && (p.zone == 32 || p.zone == 34 || p.zone == 36))
        return kStringError;
    const char h = band->letter < kN ? 'S' : 'N';

    const int set = ZoneSet(p.zone);
    const int first = FirstColumnLetter(set);
    const int column = p.letters[1];
    const int row = p.letters[2];
    if (column < first || column > LastColumnLetter(set) || row > kV)
        return kStringError;

    double gridNorthing = row * kSquare + RowOffset(rules, set);
    double gridEasting = (column - first + 1) * kSquare;
    if (first == kJ && column > kO)
        gridEasting -= kSquare;
    if (row > kO)
        gridNorthing -= kSquare;
    if (row > kI)
        gridNorthing -= kSquare;
    if (gridNorthing >= kRowCycle)
        gridNorthing -= kRowCycle;

    // The band's first row in the 2000 km cycle; the square is the first
    // row of that letter at or north of it.
    double difference = gridNorthing - std::fmod(band->minNorthing, kRowCycle);
    if (difference < 0.0)
        difference += kRowCycle;
    const double e = gridEasting + p.easting;
    const double n = band->minNorthing + difference + p.northing;
    // A row letter whose square would lie beyond the end of the UTM
    // northings cannot be placed in the band.
    if (difference < 0.0 || n > kUtmMaxNorthing)
        return kNorthingError;

    std::uint32_t flags = 0;
    UtmSetParameters(rules.a, rules.f, 0);
    double latitude = 0.0;
    double longitude = 0.0;
    const std::uint32_t u = UtmInverse(p.zone, h, e, n, latitude, longitude);
    if (u)
        return MapUtmInverse(u);
    const double tolerance = 1.0 * kDegree / std::pow(10.0, static_cast<double>(p.precision));
    if (latitude < band->south * kDegree - tolerance ||
        latitude > band->north * kDegree + tolerance) {
        if (!rules.usng)
            return kLatitudeError;
        flags |= kBandWarning;
    }
    zone = p.zone;
    hemisphere = h;
    easting = e;
    northing = n;
    return flags;
}

std::uint32_t FromUps(const Rules& rules, char hemisphere, double easting, double northing,
                      long precision, char* out) {
    std::uint32_t flags = 0;
    if (hemisphere != 'N' && hemisphere != 'S')
        flags |= kHemisphereError;
    if (!(easting >= 0.0 && easting <= 4000000.0))
        flags |= kEastingError;
    if (!(northing >= 0.0 && northing <= 4000000.0))
        flags |= kNorthingError;
    if (precision < 0 || precision > 5)
        flags |= kPrecisionError;
    if (flags)
        return flags;

    const double divisor = Divisor(precision);
    easting = Reduce(rules, easting, divisor);
    northing = Reduce(rules, northing, divisor);
    const bool east = easting >= kPoleOffset;
    const PolarSquare& sq = kPolar[(hemisphere == 'N' ? 2 : 0) + (east ? 1 : 0)];

    // Points of the cap beyond the polar lettering (near the UTM edge) have
    // no square letters.
    const double dn = northing - sq.falseNorthing;
    const double de = easting - sq.falseEasting;
    if (dn < 0.0)
        return kNorthingError;
    if (de < 0.0)
        return kEastingError;

    int row = static_cast<int>(dn / kSquare);
    if (row > 7)
        ++row;
    if (row > 13)
        ++row;
    int column = sq.firstColumn + static_cast<int>(de / kSquare);
    if (east) {
        if (column > kC)
            column += 2;
        if (column > 7)
            column += 1;
        if (column >= kM)
            column += 3;
    } else {
        if (column > kL)
            column += 3;
        if (column >= kV)
            column += 2;
    }
    if (row > sq.lastRow)
        return kNorthingError;
    if (column > sq.lastColumn)
        return kEastingError;

    Write(out, 0, sq.letter, column, row, easting, northing, precision);
    return 0;
}

std::uint32_t ToUps(const Rules& rules, std::string_view text, char& hemisphere, double& easting,
                    double& northing) {
    (void)rules;
    Parsed p;
    if (const std::uint32_t flags = Break(text, p))
        return flags;
    if (p.zone != 0)
        return kStringError;
    const PolarSquare* sq = FindPolar(p.letters[0]);
    if (!sq)
        return kStringError;
    const int column = p.letters[1];
    const int row = p.letters[2];
    if (column < sq->firstColumn || column > sq->lastColumn || column == kD || column == kE ||
        column == kM || column == kN || column == kV || column == kW || row > sq->lastRow)
        return kStringError;

    double gridNorthing = row * kSquare + sq->falseNorthing;
    if (row > kI)
        gridNorthing -= kSquare;
    if (row > kO)
        gridNorthing -= kSquare;
    double gridEasting = sq->falseEasting + (column - sq->firstColumn) * kSquare;
    if (sq->firstColumn == kJ) {
        if (column > kL)
            gridEasting -= 3.0 * kSquare;
        if (column >= kV)
            gridEasting -= 2.0 * kSquare;
    } else {
        if (column > kC)
            gridEasting -= 2.0 * kSquare;
        if (column > kI)
            gridEasting -= kSquare;
        if (column >= kM)
            gridEasting -= 3.0 * kSquare;
    }
    hemisphere = p.letters[0] >= kY ? 'N' : 'S';
    easting = gridEasting + p.easting;
    northing = gridNorthing + p.northing;
    return 0;
}

std::uint32_t Forward(const Rules& rules, double latitude, double longitude, long precision,
                      char* out) {
    std::uint32_t flags = 0;
    if (!IsLatitudeInRange(latitude))
        flags |= kLatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= kLongitudeError;
    if (precision < 0 || precision > 5)
        flags |= kPrecisionError;
    if (flags)
        return flags;

    if (latitude < -80.0 * kDegree || latitude > 84.0 * kDegree) {
        UpsSetParameters(rules.a, rules.f);
        char h = 'N';
        double e = 0.0;
        double n = 0.0;
        if (const std::uint32_t u = UpsForward(latitude, longitude, h, e, n))
            return MapUps(u);
        return FromUps(rules, h, e, n, precision, out);
    }

    UtmSetParameters(rules.a, rules.f, 0);
    std::int32_t zone = 0;
    char h = 'N';
    double e = 0.0;
    double n = 0.0;
    const std::uint32_t u = UtmForward(latitude, longitude, zone, h, e, n);
    flags |= MapUtmForward(u);
    if (u & (UTM_LatitudeError | UTM_LongitudeError | UTM_ZoneOverrideError))
        return flags;
    flags |= NorwayZone(rules, latitude, longitude, zone, e, n);
    return flags | StringFromUtm(rules, zone, latitude, e, n, precision, out);
}

std::uint32_t Inverse(const Rules& rules, std::string_view text, double& latitude,
                      double& longitude) {
    double lat = 0.0;
    double lon = 0.0;
    std::uint32_t flags = 0;
    if (HasZone(text)) {
        std::int32_t zone = 0;
        char h = 'N';
        double e = 0.0;
        double n = 0.0;
        flags = ToUtm(rules, text, zone, h, e, n);
        if (flags & ~kBandWarning)
            return flags;
        UtmSetParameters(rules.a, rules.f, 0);
        const std::uint32_t u = UtmInverse(zone, h, e, n, lat, lon);
        if (u)
            return flags | MapUtmInverse(u);
    } else {
        char h = 'N';
        double e = 0.0;
        double n = 0.0;
        if (const std::uint32_t f = ToUps(rules, text, h, e, n))
            return f;
        UpsSetParameters(rules.a, rules.f);
        if (const std::uint32_t u = UpsInverse(h, e, n, lat, lon))
            return MapUps(u);
    }
    latitude = lat;
    longitude = lon;
    return flags;
}

} // namespace geoengine::milgrid
