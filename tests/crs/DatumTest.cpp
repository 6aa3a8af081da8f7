#include "crs/engine/Datum.h"
#include "crs/engine/Ellipsoid.h"
#include "crs/engine/GeoEngine.h"
#include "crs/engine/Geocentric.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::uint32_t kWge = 1, kWgc = 2, kRt90 = 3, kGrs80 = 4, kMonteMarioTo = 5, kMonteMarioFrom = 6;

class Datums : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GeoEngineInitialize(), 0u); }
    void TearDown() override { GeocentricSetParameters(kWgs84A, kWgs84F); }
};

TEST_F(Datums, TablesAreBuiltOnceEvenWhenThreadsRace) {
    std::vector<std::thread> threads;
    std::vector<std::uint32_t> results(8, 99);
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&results, i] { results[i] = DatumInitialize() | EllipsoidInitialize(); });
    for (std::thread& t : threads)
        t.join();
    for (std::uint32_t r : results)
        EXPECT_EQ(r, 0u);
    std::uint32_t count = 0;
    ASSERT_EQ(DatumGetCount(count), 0u);
    EXPECT_EQ(count, 6u);
}

TEST_F(Datums, EllipsoidLookups) {
    struct Case {
        const char* code;
        std::uint32_t error, index;
    } cases[] = {
        {"WE", 0, 23}, {"we", 0, 23}, {"Wd", 0, 22}, {"AA", 0, 1}, {"RF", 0, 20}, {"BR", 0, 5},
        {"IN", 0, 18}, {"X", ELL_InvalidCode, 0}, {"WEX", ELL_InvalidCode, 0}, {"", ELL_InvalidCode, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::uint32_t index = 77;
        EXPECT_EQ(EllipsoidGetIndex(c.code, index), c.error);
        EXPECT_EQ(index, c.index);
    }
    double a = 1.0, f = 1.0;
    ASSERT_EQ(EllipsoidGetParameters(5, a, f), 0u);
    EXPECT_EQ(a, 6377397.155);
    EXPECT_EQ(f, 1.0 / 299.1528128);
    for (std::uint32_t bad : {0u, 24u, 0xFFFFFFFFu}) {
        EXPECT_EQ(EllipsoidGetParameters(bad, a, f), ELL_InvalidIndex);
        EXPECT_EQ(a, 0.0);
        EXPECT_EQ(f, 0.0);
    }
    ASSERT_EQ(EllipsoidGetWgs84Parameters(a, f), 0u);
    EXPECT_EQ(a, 6378137.0);
    EXPECT_EQ(f, 1.0 / 298.257223563);
    ASSERT_EQ(EllipsoidGetWgs72Parameters(a, f), 0u);
    EXPECT_EQ(a, 6378135.0);
    EXPECT_EQ(f, 1.0 / 298.26);
}

TEST_F(Datums, DatumLookupsUpperCaseAndDropBlanks) {
    struct Case {
        const char* code;
        std::uint32_t error, index;
    } cases[] = {
        {"WGE", 0, 1},
        {"wge", 0, 1},
        {" W G E ", 0, 1},
        {"WGC", 0, 2},
        {"rt90-7", 0, 3},
        {"GRS80", 0, 4},
        {"MonteMarioTWGS84", 0, 5},
        {"MONTEMARIOFWGS84", 0, 6},
        {"WG", DTM_InvalidCode, 0},
        {"ABCDEFGHIJKLMNOPQRSTUVWX", DTM_InvalidCode, 0},   // 24 characters
        {"", DTM_InvalidCode, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::uint32_t index = 77;
        EXPECT_EQ(DatumGetIndex(c.code, index), c.error);
        EXPECT_EQ(index, c.index);
    }
    std::string code;
    ASSERT_EQ(DatumGetEllipsoidCode(kRt90, code), 0u);
    EXPECT_EQ(code, "BR");
    EXPECT_EQ(DatumGetEllipsoidCode(0, code), DTM_InvalidIndex);
    EXPECT_EQ(DatumGetEllipsoidCode(7, code), DTM_InvalidIndex);
    DatumRecord record;
    ASSERT_EQ(DatumGetRecord(kMonteMarioTo, record), 0u);
    EXPECT_EQ(record.name, "Monte Mario");
    EXPECT_EQ(record.type, DT_SevenParameter);
    EXPECT_EQ(record.scale, -11.68e-6);
    EXPECT_EQ(DatumGetRecord(7, record), DTM_InvalidIndex);
}

TEST_F(Datums, AreaTest) {
    int inside = -1;
    ASSERT_EQ(DatumValidPoint(kRt90, 1.0, 0.3, inside), 0u);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(DatumValidPoint(0, 1.0, 0.3, inside), DTM_InvalidIndex);
    EXPECT_EQ(DatumValidPoint(kWge, 1.6, 0.3, inside), DTM_LatitudeError);
    EXPECT_EQ(DatumValidPoint(kWge, 0.0, 6.5, inside), DTM_LongitudeError);
    EXPECT_EQ(DatumValidPoint(9, kNaN, kNaN, inside), DTM_InvalidIndex | DTM_LatitudeError | DTM_LongitudeError);
}

TEST_F(Datums, ShiftErrorWords) {
    double lat, lon, h;
    struct Case {
        const char* what;
        bool toWgs84;
        std::uint32_t index;
        double lat, lon, h;
        std::uint32_t expected;
    } cases[] = {
        {"to: index 0", true, 0, 0.5, 0.5, 0.0, DTM_InvalidSourceIndex},
        {"to: index 7", true, 7, 0.5, 0.5, 0.0, DTM_InvalidSourceIndex},
        {"to: latitude", true, kRt90, 1.6, 0.5, 0.0, DTM_LatitudeError},
        {"to: longitude", true, kRt90, 0.5, -3.5, 0.0, DTM_LongitudeError},
        {"to: all three", true, 0, -1.6, 6.5, 0.0, 0x1900},
        {"to: NaN", true, kRt90, kNaN, kNaN, kNaN, DTM_LatitudeError | DTM_LongitudeError | DTM_CoordinateError},
        {"from: index 0", false, 0, 0.5, 0.5, 0.0, DTM_InvalidTargetIndex},
        {"from: all three", false, 99, 2.0, 7.0, 0.0, 0x1A00},
        {"from: infinite height", false, kGrs80, 0.5, 0.5, -std::numeric_limits<double>::infinity(),
         DTM_CoordinateError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lat = lon = h = 42.0;
        const std::uint32_t r = c.toWgs84 ? DatumShiftToWgs84(c.index, c.lat, c.lon, c.h, lat, lon, h)
                                          : DatumShiftFromWgs84(c.lat, c.lon, c.h, c.index, lat, lon, h);
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(lat, 42.0);
    }
    double x, y, z;
    EXPECT_EQ(DatumGeocentricShiftToWgs84(0, 1.0, 2.0, 3.0, x, y, z), DTM_InvalidSourceIndex);
    EXPECT_EQ(DatumGeocentricShiftFromWgs84(7, 1.0, 2.0, 3.0, x, y, z), DTM_InvalidTargetIndex);
    EXPECT_EQ(DatumGeocentricShiftToWgs84(kRt90, kNaN, 2.0, 3.0, x, y, z), DTM_CoordinateError);
}

TEST_F(Datums, GeocentricShiftsByDatumType) {
    const double p[3] = {3100000.0, 1000000.0, 5460000.0};
    double x, y, z;
    // Three parameters with no translation, and WGS 84 itself: unchanged.
    for (std::uint32_t index : {kGrs80, kWge}) {
        ASSERT_EQ(DatumGeocentricShiftToWgs84(index, p[0], p[1], p[2], x, y, z), 0u);
        EXPECT_EQ(x, p[0]);
        EXPECT_EQ(y, p[1]);
        EXPECT_EQ(z, p[2]);
    }
    // RT 90: the coordinate-frame rotation X' = X + dx + rz Y - ry Z.
    ASSERT_EQ(DatumGeocentricShiftToWgs84(kRt90, p[0], p[1], p[2], x, y, z), 0u);
    const double rx = 4.1457209945723475e-06, ry = -1.0381399737843578e-05, rz = 3.404715499641247e-05;
    EXPECT_NEAR(x, p[0] + 414.1055246174 + rz * p[1] - ry * p[2], 1e-6);
    EXPECT_NEAR(y, p[1] + 41.3265500042 - rz * p[0] + rx * p[2], 1e-6);
    EXPECT_NEAR(z, p[2] + 603.0582474221 + ry * p[0] - rx * p[1], 1e-6);
    // The shift back takes the translation off first and turns what is left:
    // X = T - M T with T = X' - d (M the rotation and scale above).
    double bx, by, bz;
    ASSERT_EQ(DatumGeocentricShiftFromWgs84(kRt90, x, y, z, bx, by, bz), 0u);
    const double tx = x - 414.1055246174, ty = y - 41.3265500042, tz = z - 603.0582474221;
    EXPECT_NEAR(bx, tx - rz * ty + ry * tz, 1e-6);
    EXPECT_NEAR(by, ty + rz * tx - rx * tz, 1e-6);
    EXPECT_NEAR(bz, tz - ry * tx + rx * ty, 1e-6);
    // Both are first order, as published: there and back is off by the
    // square of the angles times the radius, a few millimetres.
    EXPECT_NEAR(bx, p[0], 0.006);
    EXPECT_NEAR(by, p[1], 0.006);
    EXPECT_NEAR(bz, p[2], 0.006);
}

// EPSG 1660, Monte Mario to WGS 84, is published for the position-vector
// rotation; cct's Helmert in that convention gives the reference. Taken in
// the other convention the angles would move the point by about 130 m.
TEST_F(Datums, MonteMarioRotationsTurnAsPublished) {
    double x, y, z;
    ASSERT_EQ(DatumGeocentricShiftToWgs84(kMonteMarioTo, 4642000.0, 1028000.0, 4236000.0, x, y, z), 0u);
    // The engine's shift is the published first-order one; PROJ's is exact.
    // They differ by the square of the angles times the radius: millimetres.
    EXPECT_NEAR(x, 4641778.2181, 0.005);
    EXPECT_NEAR(y, 1027935.0205, 0.005);
    EXPECT_NEAR(z, 4236011.1093, 0.005);

    // The reversed row undoes the shift.
    double bx, by, bz;
    ASSERT_EQ(DatumGeocentricShiftToWgs84(kMonteMarioFrom, x, y, z, bx, by, bz), 0u);
    EXPECT_NEAR(bx, 4642000.0, 0.005);
    EXPECT_NEAR(by, 1028000.0, 0.005);
    EXPECT_NEAR(bz, 4236000.0, 0.005);

    struct Case {
        double lon, lat, h, wlon, wlat, wh;
    } cases[] = {
        {12.4964, 41.9028, 0, 12.4962136444, 41.9034434873, 46.0869635064},
        {9.19, 45.4642, 100, 9.1896530144, 45.4648700218, 145.9647839507},
        {15.55, 38.19, 0, 15.5499436300, 38.1906189720, 46.7627484007},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat);
        double lat, lon, h;
        ASSERT_EQ(DatumShiftToWgs84(kMonteMarioTo, Rad(c.lat), Rad(c.lon), c.h, lat, lon, h), 0u);
        EXPECT_NEAR(Deg(lat), c.wlat, 5 * kMillimetreDegrees);
        EXPECT_NEAR(Deg(lon), c.wlon, 5 * kMillimetreDegrees);
        EXPECT_NEAR(h, c.wh, 0.005);
    }
}

// EPSG 1238 (dz 4.5 m, rz 0.554'', 0.219 ppm) through cct. The engine uses
// the published WGS 72 formula, a first-order form of the same shift: it
// places latitudes within a few centimetres of the Helmert result.
TEST_F(Datums, Wgs72FormulaAgreesWithTheHelmertShift) {
    struct Case {
        double lon, lat, h, wlon, wlat, wh;
    } cases[] = {
        {15, 60, 0, 15.0001538889, 60.0000217609, 3.4446216393},
        {-120, -45, 0, -119.9998461111, -44.9999731768, -3.6847810009},
        {0, 0, 0, 0.0001538889, 0.0000406966, -0.6031638319},
        {100, -10, 0, 100.0001538889, -9.9999605536, -1.3785375031},
        {15, 60, 500, 15.0001538889, 60.0000217592, 503.4447311433},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat);
        double lat, lon, h;
        ASSERT_EQ(DatumShiftToWgs84(kWgc, Rad(c.lat), Rad(c.lon), c.h, lat, lon, h), 0u);
        // 0.554'' of longitude, exactly.
        EXPECT_NEAR(lon - Rad(c.lon), 2.685867793346782e-6, 1e-15);
        EXPECT_NEAR(Deg(lon), c.wlon, kMillimetreDegrees);
        EXPECT_NEAR((Deg(lat) - c.wlat) * 111000.0, 0.0, 0.05);
        EXPECT_NEAR(h, c.wh, 0.01);
        // The formula back is its mirror.
        double lat72, lon72, h72;
        ASSERT_EQ(DatumShiftFromWgs84(lat, lon, h, kWgc, lat72, lon72, h72), 0u);
        EXPECT_NEAR(lat72, Rad(c.lat), 1e-11);
        EXPECT_NEAR(lon72, Rad(c.lon), 1e-15);
        EXPECT_NEAR(h72, c.h, 0.001);
    }
}

TEST_F(Datums, Wgs72ShiftBringsLongitudeBackIntoRange) {
    double lat, lon, h;
    ASSERT_EQ(DatumShiftToWgs84(kWgc, 0.3, kPi, 0.0, lat, lon, h), 0u);
    EXPECT_NEAR(lon, -kPi + 2.685867793346782e-6, 1e-12);
}

TEST_F(Datums, ThreeParameterDatumUsesMolodenskyExceptNearThePoles) {
    // Nearer the poles than 89.75 degrees the shift goes through geocentric
    // coordinates: the same as doing those steps by hand.
    const double a80 = 6378137.0, f80 = 1.0 / 298.257222101;
    for (double latDeg : {89.8, -89.9}) {
        double lat, lon, h;
        ASSERT_EQ(DatumShiftToWgs84(kGrs80, Rad(latDeg), 0.4, 120.0, lat, lon, h), 0u);
        double x, y, z, elat, elon, eh;
        GeocentricSetParameters(a80, f80);
        GeocentricFromGeodetic(Rad(latDeg), 0.4, 120.0, x, y, z);
        GeocentricSetParameters(kWgs84A, kWgs84F);
        GeocentricToGeodetic(x, y, z, elat, elon, eh);
        EXPECT_EQ(lat, elat);
        EXPECT_EQ(lon, elon);
        EXPECT_EQ(h, eh);
    }
    // Up to 89.75 the Molodensky shift: the same point within a millimetre.
    for (double latDeg : {89.75, 59.3, -30.0}) {
        double lat, lon, h;
        ASSERT_EQ(DatumShiftToWgs84(kGrs80, Rad(latDeg), 0.4, 120.0, lat, lon, h), 0u);
        EXPECT_NEAR(lat, Rad(latDeg), kMillimetreRadians);
        EXPECT_NEAR(lon, 0.4, 1e-15);
        EXPECT_NEAR(h, 120.0, kMillimetre);
        double back, backLon, backH;
        ASSERT_EQ(DatumShiftFromWgs84(lat, lon, h, kGrs80, back, backLon, backH), 0u);
        EXPECT_NEAR(back, Rad(latDeg), 1e-14);
    }
}

TEST_F(Datums, ShiftAccuracy) {
    struct Case {
        const char* what;
        std::uint32_t in, out;
        double ce, le, se;
        std::uint32_t expectedError;
        double ece, ele, ese;
    } cases[] = {
        {"same datum: unchanged", kGrs80, kGrs80, 0.25, 7.0, -1.0, 0, 0.25, 7.0, -1.0},
        {"known values, zero sigmas: raised to 1", kGrs80, kRt90, 0.0, 0.5, 3.0, 0, 1.0, 1.0, 3.0},
        {"unknown CE: all unknown", kGrs80, kWge, -1.0, 5.0, 5.0, 0, -1.0, -1.0, -1.0},
        {"unknown LE: LE and SE unknown", kWgc, kWge, 5.0, -1.0, 5.0, 0, 5.0, -1.0, -1.0},
        {"both indices bad", 0, 7, 5.0, 5.0, 5.0, 0x300, 5.0, 5.0, 5.0},
        {"input index bad", 0, 1, 5.0, 5.0, 5.0, DTM_InvalidSourceIndex, 5.0, 5.0, 5.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double ce = c.ce, le = c.le, se = c.se;
        EXPECT_EQ(DatumShiftAccuracy(c.in, c.out, 0.5, 0.5, ce, le, se), c.expectedError);
        EXPECT_EQ(ce, c.ece);
        EXPECT_EQ(le, c.ele);
        EXPECT_EQ(se, c.ese);
    }
    double ce = 1.0, le = 1.0, se = 1.0;
    EXPECT_EQ(DatumShiftAccuracy(1, 2, 1.6, 0.0, ce, le, se), DTM_LatitudeError);
    EXPECT_EQ(DatumShiftAccuracy(1, 2, 0.0, -3.2, ce, le, se), DTM_LongitudeError);
}

} // namespace
