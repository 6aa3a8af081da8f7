#include "crs/engine/Datum.h"

#include "crs/engine/Ellipsoid.h"
#include "crs/engine/EngineMath.h"
#include "crs/engine/Geocentric.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <mutex>

using namespace geoengine;

namespace {

constexpr std::size_t kMaxCodeLength = 23;
constexpr std::uint32_t kDatumCount = 6;

// Three-parameter datums use the Molodensky shift up to 89.75 degrees from
// the equator; nearer the poles its terms in 1/cos(latitude) grow too large.
constexpr double kMolodenskyLatitudeLimit = 1.5664330036649106;

// The published WGS 72 -> WGS 84 formula, in arc seconds.
constexpr double kSin1Second = 4.84813681109536e-6;
constexpr double kSecondsPerRadian = 206264.8062471;
constexpr double kWgs72LongitudeShift = 2.685867793346782e-6;   // 0.554''
constexpr double kWgs72Dz = 4.5;
constexpr double kWgs72Dr = 1.4;

struct DatumRow {
    DatumRecord record;
    // The ellipsoid, resolved once when the table is built (0: not found).
    std::uint32_t ellipsoidIndex;
    double a;
    double f;
};

DatumRow g_rows[kDatumCount];
std::uint32_t g_count = 0;
std::once_flag g_once;
std::atomic<bool> g_initialized{false};

DatumRecord MakeRecord(DatumType type, const char* code, const char* name, const char* ellipsoid,
                       double dx, double dy, double dz, double rx, double ry, double rz, double scale,
                       DatumRotationConvention convention) {
    DatumRecord r;
    r.type = type;
    r.code = code;
    r.name = name;
    r.ellipsoidCode = ellipsoid;
    r.dx = dx;
    r.dy = dy;
    r.dz = dz;
    r.rx = rx;
    r.ry = ry;
    r.rz = rz;
    r.scale = scale;
    r.sigmaX = r.sigmaY = r.sigmaZ = 0.0;
    r.west = -kPi;
    r.east = kPi;
    r.south = -kHalfPi;
    r.north = kHalfPi;
    r.userDefined = 0;
    r.rotationConvention = convention;
    return r;
}

void Build() {
    // The engine's own datums come first; the others follow from the table.
    const DatumRecord records[kDatumCount] = {
        MakeRecord(DT_Wgs84, "WGE", "World Geodetic System 1984", "WE", 0, 0, 0, 0, 0, 0, 0,
                   DRC_CoordinateFrame),
        MakeRecord(DT_Wgs72, "WGC", "World Geodetic System 1972", "WD", 0, 0, 0, 0, 0, 0, 0,
                   DRC_CoordinateFrame),
        // Lantmateriet's RT 90 -> SWEREF 99 parameters, published for the
        // coordinate-frame rotation.
        MakeRecord(DT_SevenParameter, "RT90-7", "RT90", "BR", 414.1055246174, 41.3265500042,
                   603.0582474221, 4.1457209945723475e-06, -1.0381399737843578e-05,
                   3.404715499641247e-05, 0.0, DRC_CoordinateFrame),
        MakeRecord(DT_ThreeParameter, "GRS80", "GRS 80", "RF", 0, 0, 0, 0, 0, 0, 0,
                   DRC_CoordinateFrame),
        // Monte Mario -> WGS 84 (0.971'', -2.917'', 0.714'', -11.68 ppm) is
        // published for the position-vector rotation; applied in the other
        // convention these angles would turn the wrong way by twice their size.
        MakeRecord(DT_SevenParameter, "MONTEMARIOTWGS84", "Monte Mario", "IN", -104.1, -49.1, -9.9,
                   4.707540843573511e-06, -1.4142015077964914e-05, 3.4615696831220255e-06,
                   -11.68e-6, DRC_PositionVector),
        // The same set with every sign reversed, for the way back.
        MakeRecord(DT_SevenParameter, "MONTEMARIOFWGS84", "Monte Mario", "IN", 104.1, 49.1, 9.9,
                   -4.707540843573511e-06, 1.4142015077964914e-05, -3.4615696831220255e-06,
                   11.68e-6, DRC_PositionVector),
    };
    EllipsoidInitialize();
    for (std::uint32_t i = 0; i < kDatumCount; ++i) {
        DatumRow& row = g_rows[i];
        row.record = records[i];
        row.a = 0.0;
        row.f = 0.0;
        if (EllipsoidGetIndex(row.record.ellipsoidCode, row.ellipsoidIndex) == 0)
            EllipsoidGetParameters(row.ellipsoidIndex, row.a, row.f);
    }
    g_count = kDatumCount;
    g_initialized.store(true, std::memory_order_release);
}

bool Initialized() { return g_initialized.load(std::memory_order_acquire); }

bool ValidIndex(std::uint32_t index) { return index >= 1 && index <= g_count; }

const DatumRow& Row(std::uint32_t index) { return g_rows[index - 1]; }

// The rotations as the coordinate-frame convention turns them.
void FrameRotations(const DatumRecord& r, double& rx, double& ry, double& rz) {
    const double sign = r.rotationConvention == DRC_PositionVector ? -1.0 : 1.0;
    rx = sign * r.rx;
    ry = sign * r.ry;
    rz = sign * r.rz;
}

void NormaliseGeodetic(double& lat, double& lon) {
    if (lat > kHalfPi)
        lat = kPi - lat;
    else if (lat < -kHalfPi)
        lat = -kPi - lat;
    if (lon > kPi)
        lon -= kTwoPi;
    else if (lon < -kPi)
        lon += kTwoPi;
}

// The standard Molodensky shift from an ellipsoid (a, f) by the translation
// (dx, dy, dz) and the ellipsoid change (da, df) to the other one.
void Molodensky(double a, double f, double da, double df, double dx, double dy, double dz, double lat,
                double lon, double h, double& outLat, double& outLon, double& outH) {
    const double e2 = 2.0 * f - f * f;
    const double b = a * (1.0 - f);
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double sinLon = std::sin(lon);
    const double cosLon = std::cos(lon);
    const double w = 1.0 - e2 * sinLat * sinLat;
    const double rn = a / std::sqrt(w);
    const double rm = a * (1.0 - e2) / (w * std::sqrt(w));
    const double dLat = (-dx * sinLat * cosLon - dy * sinLat * sinLon + dz * cosLat +
                         da * rn * e2 * sinLat * cosLat / a +
                         df * (rm * a / b + rn * b / a) * sinLat * cosLat) /
                        (rm + h);
    const double dLon = (-dx * sinLon + dy * cosLon) / ((rn + h) * cosLat);
    const double dH = dx * cosLat * cosLon + dy * cosLat * sinLon + dz * sinLat - da * a / rn +
                      df * b / a * rn * sinLat * sinLat;
    outLat = lat + dLat;
    outLon = lon + dLon;
    outH = h + dH;
    NormaliseGeodetic(outLat, outLon);
}

// The WGS 72 <-> WGS 84 formula, with the parameters of one direction.
void Wgs72Formula(double a, double da, double df, double dz, double dLon, double dr, double lat,
                  double lon, double h, double& outLat, double& outLon, double& outH) {
    const double sinLat = std::sin(lat);
    const double dLatSeconds =
        dz * std::cos(lat) / (a * kSin1Second) + df * std::sin(2.0 * lat) / kSin1Second;
    outLat = lat + dLatSeconds / kSecondsPerRadian;
    outLon = lon + dLon;
    outH = h + dz * sinLat + a * df * sinLat * sinLat - da + dr;
    NormaliseGeodetic(outLat, outLon);
}

void Wgs72ToWgs84(double lat, double lon, double h, double& outLat, double& outLon, double& outH) {
    double a72, f72, a84, f84;
    EllipsoidGetWgs72Parameters(a72, f72);
    EllipsoidGetWgs84Parameters(a84, f84);
    Wgs72Formula(a72, a84 - a72, f84 - f72, kWgs72Dz, kWgs72LongitudeShift, kWgs72Dr, lat, lon, h,
                 outLat, outLon, outH);
}

void Wgs84ToWgs72(double lat, double lon, double h, double& outLat, double& outLon, double& outH) {
    double a72, f72, a84, f84;
    EllipsoidGetWgs72Parameters(a72, f72);
    EllipsoidGetWgs84Parameters(a84, f84);
    Wgs72Formula(a84, a72 - a84, f72 - f84, -kWgs72Dz, -kWgs72LongitudeShift, -kWgs72Dr, lat, lon, h,
                 outLat, outLon, outH);
}

void SevenParameterToWgs84(const DatumRecord& r, double x, double y, double z, double& ox, double& oy,
                           double& oz) {
    double rx, ry, rz;
    FrameRotations(r, rx, ry, rz);
    ox = x + r.dx + rz * y - ry * z + r.scale * x;
    oy = y + r.dy - rz * x + rx * z + r.scale * y;
    oz = z + r.dz + ry * x - rx * y + r.scale * z;
}

// The shift back undoes the shift to WGS 84: the translation comes off
// first, and the rotations and scale act on what is left, as they acted on
// the datum's coordinates. Turning the WGS 84 coordinates themselves instead
// would also turn the translation, which with RT 90's 600 m and 7'' places
// points about 15 mm off.
void SevenParameterFromWgs84(const DatumRecord& r, double x, double y, double z, double& ox,
                             double& oy, double& oz) {
    double rx, ry, rz;
    FrameRotations(r, rx, ry, rz);
    const double tx = x - r.dx;
    const double ty = y - r.dy;
    const double tz = z - r.dz;
    ox = tx - rz * ty + ry * tz - r.scale * tx;
    oy = ty + rz * tx - rx * tz - r.scale * ty;
    oz = tz - ry * tx + rx * ty - r.scale * tz;
}

// Checks shared by the geodetic shifts.
std::uint32_t CheckGeodetic(std::uint32_t index, std::uint32_t indexFlag, double lat, double lon,
                            double h) {
    if (!Initialized())
        return DTM_NotInitialized;
    std::uint32_t flags = 0;
    if (!ValidIndex(index))
        flags |= indexFlag;
    if (!IsLatitudeInRange(lat))
        flags |= DTM_LatitudeError;
    if (!IsLongitudeInRange(lon))
        flags |= DTM_LongitudeError;
    if (!IsFinite(h))
        flags |= DTM_CoordinateError;
    return flags;
}

std::uint32_t CheckGeocentric(std::uint32_t index, std::uint32_t indexFlag, double x, double y,
                              double z) {
    if (!Initialized())
        return DTM_NotInitialized;
    std::uint32_t flags = 0;
    if (!ValidIndex(index))
        flags |= indexFlag;
    if (!IsFinite(x) || !IsFinite(y) || !IsFinite(z))
        flags |= DTM_CoordinateError;
    return flags;
}

// Accuracy terms of one datum at a point: CE90, LE90, SE90.
void AccuracyTerms(const DatumRecord& r, double lat, double lon, double terms[3]) {
    if (r.type != DT_ThreeParameter) {
        terms[0] = terms[1] = terms[2] = 0.0;
        return;
    }
    const double sx = r.sigmaX, sy = r.sigmaY, sz = r.sigmaZ;
    if (sx < 0.0 || sy < 0.0 || sz < 0.0) {
        terms[0] = terms[1] = terms[2] = -1.0;
        return;
    }
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double sinLon = std::sin(lon), cosLon = std::cos(lon);
    const double sn = std::sqrt(std::pow(sx * sinLat * cosLon, 2) + std::pow(sy * sinLat * sinLon, 2) +
                                std::pow(sz * cosLat, 2));
    const double se = std::sqrt(std::pow(sx * sinLon, 2) + std::pow(sy * cosLon, 2));
    const double su = std::sqrt(std::pow(sx * cosLat * cosLon, 2) + std::pow(sy * cosLat * sinLon, 2) +
                                std::pow(sz * sinLat, 2));
    terms[0] = 2.146 * (sn + se) / 2.0;
    terms[1] = 1.6449 * su;
    terms[2] = 2.5003 * (sx + sy + sz) / 3.0;
}

} // namespace

std::uint32_t DatumInitialize() {
    std::call_once(g_once, Build);
    return 0;
}

std::uint32_t DatumGetCount(std::uint32_t& count) {
    if (!Initialized()) {
        count = 0;
        return DTM_NotInitialized;
    }
    count = g_count;
    return 0;
}

std::uint32_t DatumGetIndex(std::string_view code, std::uint32_t& index) {
    index = 0;
    if (!Initialized())
        return DTM_NotInitialized;
    std::string wanted;
    wanted.reserve(code.size());
    for (char c : code) {
        if (c == ' ' || c == '\t')
            continue;
        wanted.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (wanted.size() > kMaxCodeLength)
        return DTM_InvalidCode;
    for (std::uint32_t i = 0; i < g_count; ++i) {
        if (g_rows[i].record.code == wanted) {
            index = i + 1;
            return 0;
        }
    }
    return DTM_InvalidCode;
}

std::uint32_t DatumGetRecord(std::uint32_t index, DatumRecord& record) {
    if (!Initialized())
        return DTM_NotInitialized;
    if (!ValidIndex(index))
        return DTM_InvalidIndex;
    record = Row(index).record;
    return 0;
}

std::uint32_t DatumGetEllipsoidCode(std::uint32_t index, std::string& code) {
    if (!Initialized())
        return DTM_NotInitialized;
    if (!ValidIndex(index))
        return DTM_InvalidIndex;
    code = Row(index).record.ellipsoidCode;
    return 0;
}

std::uint32_t DatumGetEllipsoidParameters(std::uint32_t index, double& a, double& f) {
    a = 0.0;
    f = 0.0;
    if (!Initialized())
        return DTM_NotInitialized;
    if (!ValidIndex(index))
        return DTM_InvalidIndex;
    const DatumRow& row = Row(index);
    if (row.ellipsoidIndex == 0)
        return DTM_EllipsoidError;
    a = row.a;
    f = row.f;
    return 0;
}

std::uint32_t DatumValidPoint(std::uint32_t index, double latitude, double longitude, int& inside) {
    inside = 0;
    if (!Initialized())
        return DTM_NotInitialized;
    std::uint32_t flags = 0;
    if (!ValidIndex(index))
        flags |= DTM_InvalidIndex;
    if (!IsLatitudeInRange(latitude))
        flags |= DTM_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= DTM_LongitudeError;
    if (flags)
        return flags;
    const DatumRecord& r = Row(index).record;
    inside = (latitude >= r.south && latitude <= r.north && longitude >= r.west && longitude <= r.east)
                 ? 1
                 : 0;
    return 0;
}

std::uint32_t DatumShiftToWgs84(std::uint32_t index, double latitude, double longitude, double height,
                                double& wgsLatitude, double& wgsLongitude, double& wgsHeight) {
    if (std::uint32_t flags = CheckGeodetic(index, DTM_InvalidSourceIndex, latitude, longitude, height))
        return flags;
    const DatumRow& row = Row(index);
    switch (row.record.type) {
    case DT_Wgs84:
        wgsLatitude = latitude;
        wgsLongitude = longitude;
        wgsHeight = height;
        return 0;
    case DT_Wgs72:
        Wgs72ToWgs84(latitude, longitude, height, wgsLatitude, wgsLongitude, wgsHeight);
        return 0;
    case DT_ThreeParameter:
    case DT_SevenParameter:
        break;
    }
    if (row.ellipsoidIndex == 0)
        return DTM_EllipsoidError;
    double a84, f84;
    EllipsoidGetWgs84Parameters(a84, f84);
    const DatumRecord& r = row.record;
    if (r.type == DT_ThreeParameter && std::fabs(latitude) <= kMolodenskyLatitudeLimit) {
        Molodensky(row.a, row.f, a84 - row.a, f84 - row.f, r.dx, r.dy, r.dz, latitude, longitude,
                   height, wgsLatitude, wgsLongitude, wgsHeight);
        return 0;
    }
    double x, y, z, wx, wy, wz;
    GeocentricSetParameters(row.a, row.f);
    GeocentricFromGeodetic(latitude, longitude, height, x, y, z);
    DatumGeocentricShiftToWgs84(index, x, y, z, wx, wy, wz);
    GeocentricSetParameters(a84, f84);
    GeocentricToGeodetic(wx, wy, wz, wgsLatitude, wgsLongitude, wgsHeight);
    return 0;
}

std::uint32_t DatumShiftFromWgs84(double wgsLatitude, double wgsLongitude, double wgsHeight,
                                  std::uint32_t index, double& latitude, double& longitude,
                                  double& height) {
    if (std::uint32_t flags =
            CheckGeodetic(index, DTM_InvalidTargetIndex, wgsLatitude, wgsLongitude, wgsHeight))
        return flags;
    const DatumRow& row = Row(index);
    switch (row.record.type) {
    case DT_Wgs84:
        latitude = wgsLatitude;
        longitude = wgsLongitude;
        height = wgsHeight;
        return 0;
    case DT_Wgs72:
        Wgs84ToWgs72(wgsLatitude, wgsLongitude, wgsHeight, latitude, longitude, height);
        return 0;
    case DT_ThreeParameter:
    case DT_SevenParameter:
        break;
    }
    if (row.ellipsoidIndex == 0)
        return DTM_EllipsoidError;
    double a84, f84;
    EllipsoidGetWgs84Parameters(a84, f84);
    const DatumRecord& r = row.record;
    if (r.type == DT_ThreeParameter && std::fabs(wgsLatitude) <= kMolodenskyLatitudeLimit) {
        Molodensky(a84, f84, row.a - a84, row.f - f84, -r.dx, -r.dy, -r.dz, wgsLatitude, wgsLongitude,
                   wgsHeight, latitude, longitude, height);
        return 0;
    }
    double x, y, z, wx, wy, wz;
    GeocentricSetParameters(a84, f84);
    GeocentricFromGeodetic(wgsLatitude, wgsLongitude, wgsHeight, wx, wy, wz);
    DatumGeocentricShiftFromWgs84(index, wx, wy, wz, x, y, z);
    GeocentricSetParameters(row.a, row.f);
    GeocentricToGeodetic(x, y, z, latitude, longitude, height);
    return 0;
}

std::uint32_t DatumGeocentricShiftToWgs84(std::uint32_t index, double x, double y, double z,
                                          double& wgsX, double& wgsY, double& wgsZ) {
    if (std::uint32_t flags = CheckGeocentric(index, DTM_InvalidSourceIndex, x, y, z))
        return flags;
    const DatumRow& row = Row(index);
    const DatumRecord& r = row.record;
    switch (r.type) {
    case DT_ThreeParameter:
        wgsX = x + r.dx;
        wgsY = y + r.dy;
        wgsZ = z + r.dz;
        return 0;
    case DT_SevenParameter:
        SevenParameterToWgs84(r, x, y, z, wgsX, wgsY, wgsZ);
        return 0;
    case DT_Wgs84:
        wgsX = x;
        wgsY = y;
        wgsZ = z;
        return 0;
    case DT_Wgs72: {
        double a72, f72, a84, f84, lat, lon, h, lat84, lon84, h84;
        EllipsoidGetWgs72Parameters(a72, f72);
        EllipsoidGetWgs84Parameters(a84, f84);
        GeocentricSetParameters(a72, f72);
        GeocentricToGeodetic(x, y, z, lat, lon, h);
        Wgs72ToWgs84(lat, lon, h, lat84, lon84, h84);
        GeocentricSetParameters(a84, f84);
        GeocentricFromGeodetic(lat84, lon84, h84, wgsX, wgsY, wgsZ);
        return 0;
    }
    }
    return DTM_InvalidSourceIndex;
}

std::uint32_t DatumGeocentricShiftFromWgs84(std::uint32_t index, double wgsX, double wgsY, double wgsZ,
                                            double& x, double& y, double& z) {
    if (std::uint32_t flags = CheckGeocentric(index, DTM_InvalidTargetIndex, wgsX, wgsY, wgsZ))
        return flags;
    const DatumRow& row = Row(index);
    const DatumRecord& r = row.record;
    switch (r.type) {
    case DT_ThreeParameter:
        x = wgsX - r.dx;
        y = wgsY - r.dy;
        z = wgsZ - r.dz;
        return 0;
    case DT_SevenParameter:
        SevenParameterFromWgs84(r, wgsX, wgsY, wgsZ, x, y, z);
        return 0;
    case DT_Wgs84:
        x = wgsX;
        y = wgsY;
        z = wgsZ;
        return 0;
    case DT_Wgs72: {
        double a72, f72, a84, f84, lat, lon, h, lat72, lon72, h72;
        EllipsoidGetWgs72Parameters(a72, f72);
        EllipsoidGetWgs84Parameters(a84, f84);
        GeocentricSetParameters(a84, f84);
        GeocentricToGeodetic(wgsX, wgsY, wgsZ, lat, lon, h);
        Wgs84ToWgs72(lat, lon, h, lat72, lon72, h72);
        GeocentricSetParameters(a72, f72);
        GeocentricFromGeodetic(lat72, lon72, h72, x, y, z);
        return 0;
    }
    }
    return DTM_InvalidTargetIndex;
}

std::uint32_t DatumShiftAccuracy(std::uint32_t inputIndex, std::uint32_t outputIndex, double latitude,
                                 double longitude, double& ce90, double& le90, double& se90) {
    if (!Initialized())
        return DTM_NotInitialized;
    std::uint32_t flags = 0;
    if (!ValidIndex(inputIndex))
        flags |= DTM_InvalidSourceIndex;
    if (!ValidIndex(outputIndex))
        flags |= DTM_InvalidTargetIndex;
    if (!IsLatitudeInRange(latitude))
        flags |= DTM_LatitudeError;
    if (!IsLongitudeInRange(longitude))
        flags |= DTM_LongitudeError;
    if (flags)
        return flags;
    if (inputIndex == outputIndex)
        return 0;

    double in[3], out[3];
    AccuracyTerms(Row(inputIndex).record, latitude, longitude, in);
    AccuracyTerms(Row(outputIndex).record, latitude, longitude, out);
    double* values[3] = {&ce90, &le90, &se90};
    bool unknown = false;
    for (int i = 0; i < 3; ++i) {
        double& v = *values[i];
        if (!unknown && v >= 0.0 && in[i] >= 0.0 && out[i] >= 0.0) {
            v = std::max(1.0, std::sqrt(v * v + in[i] * in[i] + out[i] * out[i]));
        } else {
            unknown = true;
            v = -1.0;
        }
    }
    return 0;
}
