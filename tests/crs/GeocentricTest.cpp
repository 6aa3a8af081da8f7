#include "crs/engine/GeoEngine.h"
#include "crs/engine/Geocentric.h"
#include "crs/engine/LocalCartesian.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class CartesianModules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GeoEngineInitialize(), 0u);
        ASSERT_EQ(GeocentricSetParameters(kWgs84A, kWgs84F), 0u);
    }
    void TearDown() override {
        GeocentricSetParameters(kWgs84A, kWgs84F);
        LocalCartesianSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0);
    }
};

struct GeodeticXyz {
    double lon, lat, h;
    double x, y, z;
};

// cs2cs +proj=geocent +datum=WGS84 and CartConvert agree on all of these
// (tests/data/crs/reference.txt).
const GeodeticXyz kWgs84Geocentric[] = {
    {0, 0, 0, 6378137.0000, 0.0000, 0.0000},
    {15, 60, 0, 3088165.8899, 827471.5563, 5500477.1339},
    {-120, -45, 1500, -2259325.7695, -3913267.0236, -4488409.0690},
    {179.5, 89.9, -30, -11168.9145, 97.4696, 6356712.5672},
    {18.0686, 59.3293, 25, 3100763.5745, 1011605.2318, 5462760.5662},
};

TEST_F(CartesianModules, GeocentricMatchesProjAndGeographicLibBothWays) {
    for (const GeodeticXyz& p : kWgs84Geocentric) {
        SCOPED_TRACE(testing::Message() << p.lon << " " << p.lat << " " << p.h);
        double x, y, z;
        ASSERT_EQ(GeocentricFromGeodetic(Rad(p.lat), Rad(p.lon), p.h, x, y, z), 0u);
        EXPECT_NEAR(x, p.x, kMillimetre);
        EXPECT_NEAR(y, p.y, kMillimetre);
        EXPECT_NEAR(z, p.z, kMillimetre);
        double lat, lon, h;
        ASSERT_EQ(GeocentricToGeodetic(p.x, p.y, p.z, lat, lon, h), 0u);
        EXPECT_NEAR(lat, Rad(p.lat), kMillimetreRadians);
        EXPECT_NEAR(lon * std::cos(lat), Rad(p.lon) * std::cos(lat), kMillimetreRadians);
        EXPECT_NEAR(h, p.h, kMillimetre);
    }
}

TEST_F(CartesianModules, GeocentricPointsOnTheAxisAndAtTheCentre) {
    double lat, lon, h;
    ASSERT_EQ(GeocentricToGeodetic(0.0, 0.0, 0.0, lat, lon, h), 0u);
    EXPECT_EQ(lat, kPi / 2.0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_NEAR(h, -6356752.314245, 1e-6);

    ASSERT_EQ(GeocentricToGeodetic(0.0, 0.0, 6356852.314245, lat, lon, h), 0u);
    EXPECT_EQ(lat, kPi / 2.0);
    EXPECT_NEAR(h, 100.0, 1e-6);
    ASSERT_EQ(GeocentricToGeodetic(0.0, 0.0, -6356852.314245, lat, lon, h), 0u);
    EXPECT_EQ(lat, -kPi / 2.0);
    EXPECT_NEAR(h, 100.0, 1e-6);

    ASSERT_EQ(GeocentricToGeodetic(0.0, 6378137.0, 0.0, lat, lon, h), 0u);
    EXPECT_EQ(lon, kPi / 2.0);
    ASSERT_EQ(GeocentricToGeodetic(0.0, -6378137.0, 0.0, lat, lon, h), 0u);
    EXPECT_EQ(lon, -kPi / 2.0);
    EXPECT_NEAR(lat, 0.0, 1e-15);
    EXPECT_NEAR(h, 0.0, 1e-6);
}

TEST_F(CartesianModules, GeocentricFlags) {
    EXPECT_EQ(GeocentricSetParameters(0.0, kWgs84F), GCS_SemiMajorAxisError);
    EXPECT_EQ(GeocentricSetParameters(kWgs84A, 1.0 / 200.0), GCS_InverseFlatteningError);
    EXPECT_EQ(GeocentricSetParameters(-1.0, 0.0), GCS_SemiMajorAxisError | GCS_InverseFlatteningError);
    EXPECT_EQ(GeocentricSetParameters(kNaN, kNaN), GCS_SemiMajorAxisError | GCS_InverseFlatteningError);
    double a, f;
    GeocentricGetParameters(a, f);
    EXPECT_EQ(a, kWgs84A);   // refused set-ups changed nothing
    EXPECT_EQ(f, kWgs84F);

    struct Case {
        double lat, lon, h;
        std::uint32_t expected;
    } cases[] = {
        {2.0, 0.0, 0.0, GCS_LatitudeError},
        {0.0, -3.2, 0.0, GCS_LongitudeError},
        {0.0, 6.3, 0.0, GCS_LongitudeError},
        {-2.0, 7.0, 0.0, GCS_LatitudeError | GCS_LongitudeError},
        {kNaN, 0.0, 0.0, GCS_LatitudeError},
        {0.0, kInf, 0.0, GCS_LongitudeError},
        {0.0, 0.0, kNaN, GCS_CoordinateError},
    };
    for (const Case& c : cases) {
        double x = 1.0, y = 2.0, z = 3.0;
        EXPECT_EQ(GeocentricFromGeodetic(c.lat, c.lon, c.h, x, y, z), c.expected);
        EXPECT_EQ(x, 1.0);
    }
    double lat = 1.0, lon = 2.0, h = 3.0;
    EXPECT_EQ(GeocentricToGeodetic(kNaN, 0.0, 0.0, lat, lon, h), GCS_CoordinateError);
    EXPECT_EQ(GeocentricToGeodetic(0.0, 0.0, -kInf, lat, lon, h), GCS_CoordinateError);
    EXPECT_EQ(lat, 1.0);
    // A longitude up to 2*pi is accepted and brought into -pi..pi.
    double x1, y1, z1, x2, y2, z2;
    ASSERT_EQ(GeocentricFromGeodetic(0.5, 5.0, 0.0, x1, y1, z1), 0u);
    ASSERT_EQ(GeocentricFromGeodetic(0.5, 5.0 - 2.0 * kPi, 0.0, x2, y2, z2), 0u);
    EXPECT_NEAR(x1, x2, 1e-6);
    EXPECT_NEAR(y1, y2, 1e-6);
}

// CartConvert -l 59.3 18.0 30: x east, y north, z up.
TEST_F(CartesianModules, LocalCartesianMatchesGeographicLib) {
    ASSERT_EQ(LocalCartesianSetParameters(kWgs84A, kWgs84F, Rad(59.3), Rad(18.0), 30.0, 0.0), 0u);
    double x, y, z;
    ASSERT_EQ(LocalCartesianFromGeodetic(Rad(59.3), Rad(18.0), 30.0, x, y, z), 0u);
    EXPECT_NEAR(x, 0.0, 1e-6);
    EXPECT_NEAR(y, 0.0, 1e-6);
    EXPECT_NEAR(z, 0.0, 1e-6);

    struct Case {
        double lat, lon, h, x, y, z;
    } cases[] = {
        {59.3293, 18.0686, 25, 3905.1076, 3266.0592, -7.0281},
        {59.4, 18.2, 100, 11361.6106, 11157.3365, 50.1543},
        {59.3, 17.9, -10, -5697.4431, 4.2751, -42.5384},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        ASSERT_EQ(LocalCartesianFromGeodetic(Rad(c.lat), Rad(c.lon), c.h, x, y, z), 0u);
        EXPECT_NEAR(x, c.x, kMillimetre);
        EXPECT_NEAR(y, c.y, kMillimetre);
        EXPECT_NEAR(z, c.z, kMillimetre);
        double lat, lon, h;
        ASSERT_EQ(LocalCartesianToGeodetic(c.x, c.y, c.z, lat, lon, h), 0u);
        EXPECT_NEAR(lat, Rad(c.lat), kMillimetreRadians);
        EXPECT_NEAR(lon, Rad(c.lon), kMillimetreRadians);
        EXPECT_NEAR(h, c.h, kMillimetre);
    }
}

TEST_F(CartesianModules, LocalCartesianOrientationTurnsTheHorizontalAxesClockwise) {
    double e, n, u;
    ASSERT_EQ(LocalCartesianSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(7.0), 0.0, 0.0), 0u);
    ASSERT_EQ(LocalCartesianFromGeodetic(Rad(45.01), Rad(7.02), 5.0, e, n, u), 0u);
    // With the Y axis pointing east, X points south.
    double x, y, z;
    ASSERT_EQ(LocalCartesianSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(7.0), 0.0, kPi / 2.0), 0u);
    ASSERT_EQ(LocalCartesianFromGeodetic(Rad(45.01), Rad(7.02), 5.0, x, y, z), 0u);
    EXPECT_NEAR(x, -n, 1e-6);
    EXPECT_NEAR(y, e, 1e-6);
    EXPECT_NEAR(z, u, 1e-6);
    // And back through geocentric coordinates.
    double gx, gy, gz, lx, ly, lz;
    ASSERT_EQ(LocalCartesianToGeocentric(x, y, z, gx, gy, gz), 0u);
    ASSERT_EQ(LocalCartesianFromGeocentric(gx, gy, gz, lx, ly, lz), 0u);
    EXPECT_NEAR(lx, x, 1e-6);
    EXPECT_NEAR(ly, y, 1e-6);
    EXPECT_NEAR(lz, z, 1e-6);
}

TEST_F(CartesianModules, LocalCartesianFlags) {
    struct Case {
        const char* what;
        double a, f, lat0, lon0, h0, orientation;
        std::uint32_t expected;
    } cases[] = {
        {"valid", kWgs84A, kWgs84F, 0.5, 0.5, 10.0, 0.5, 0},
        {"a", 0.0, kWgs84F, 0.5, 0.5, 0.0, 0.0, LCS_SemiMajorAxisError},
        {"1/f", kWgs84A, 0.01, 0.5, 0.5, 0.0, 0.0, LCS_InverseFlatteningError},
        {"origin latitude", kWgs84A, kWgs84F, 1.6, 0.5, 0.0, 0.0, LCS_OriginLatitudeError},
        {"origin longitude", kWgs84A, kWgs84F, 0.5, -3.5, 0.0, 0.0, LCS_OriginLongitudeError},
        {"orientation", kWgs84A, kWgs84F, 0.5, 0.5, 0.0, 6.5, LCS_OrientationError},
        {"NaN origin height", kWgs84A, kWgs84F, 0.5, 0.5, kNaN, 0.0, LCS_CoordinateError},
        {"everything", -1.0, 1.0, 2.0, 7.0, kInf, kNaN, 0x00FC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LocalCartesianSetParameters(c.a, c.f, c.lat0, c.lon0, c.h0, c.orientation), c.expected);
    }
    double a, f, lat0, lon0, h0, orientation;
    LocalCartesianGetParameters(a, f, lat0, lon0, h0, orientation);
    EXPECT_EQ(lat0, 0.5);   // the last valid set-up
    EXPECT_EQ(h0, 10.0);

    // Angles above pi are stored less 2*pi.
    ASSERT_EQ(LocalCartesianSetParameters(kWgs84A, kWgs84F, 0.0, 4.0, 0.0, 5.0), 0u);
    LocalCartesianGetParameters(a, f, lat0, lon0, h0, orientation);
    EXPECT_DOUBLE_EQ(lon0, 4.0 - 2.0 * kPi);
    EXPECT_DOUBLE_EQ(orientation, 5.0 - 2.0 * kPi);

    double x = 1.0, y = 2.0, z = 3.0;
    EXPECT_EQ(LocalCartesianFromGeodetic(1.6, 0.0, 0.0, x, y, z), LCS_LatitudeError);
    EXPECT_EQ(LocalCartesianFromGeodetic(0.0, -3.2, 0.0, x, y, z), LCS_LongitudeError);
    EXPECT_EQ(LocalCartesianFromGeodetic(0.0, 0.0, kNaN, x, y, z), LCS_CoordinateError);
    EXPECT_EQ(LocalCartesianFromGeocentric(kNaN, 0.0, 0.0, x, y, z), LCS_CoordinateError);
    EXPECT_EQ(LocalCartesianToGeocentric(0.0, kInf, 0.0, x, y, z), LCS_CoordinateError);
    EXPECT_EQ(LocalCartesianToGeodetic(0.0, 0.0, kNaN, x, y, z), LCS_CoordinateError);
    EXPECT_EQ(x, 1.0);
}

} // namespace
