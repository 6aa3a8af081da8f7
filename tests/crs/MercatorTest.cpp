#include "crs/engine/GeoEngine.h"
#include "crs/engine/Mercator.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kBesselA = 6377397.155;
constexpr double kBesselF = 1.0 / 299.1528128;

class MercatorModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GeoEngineInitialize(), 0u); }
    void TearDown() override {
        double k;
        MercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, k);
    }
    static void SetWgs84() {
        double k = 0.0;
        ASSERT_EQ(MercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, k), 0u);
    }
};

TEST_F(MercatorModule, SetParametersFlagsAndDerivedScale) {
    struct Case {
        const char* what;
        double a, f, originLatitude, centralMeridian, falseEasting, falseNorthing;
        std::uint32_t expected;
    } cases[] = {
        {"valid", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 0},
        {"1/f 249.9", kWgs84A, 1.0 / 249.9, 0.0, 0.0, 0.0, 0.0, PRJ_InverseFlatteningError},
        {"a = 0", 0.0, kWgs84F, 0.0, 0.0, 0.0, 0.0, PRJ_SemiMajorAxisError},
        {"origin 89.5 inclusive", kWgs84A, kWgs84F, 1.562069680534925, 0.0, 0.0, 0.0, 0},
        {"origin 89.6", kWgs84A, kWgs84F, Rad(89.6), 0.0, 0.0, 0.0, PRJ_OriginLatitudeError},
        {"meridian -4", kWgs84A, kWgs84F, 0.0, -4.0, 0.0, 0.0, PRJ_CentralMeridianError},
        {"all four", -1.0, 0.5, 1.57, 7.0, 0.0, 0.0, 0x00F0},
        {"NaN origin", kWgs84A, kWgs84F, kNaN, 0.0, 0.0, 0.0, PRJ_OriginLatitudeError},
        {"NaN false easting", kWgs84A, kWgs84F, 0.0, 0.0, kNaN, 0.0, PRJ_EastingError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double k = -5.0;
        EXPECT_EQ(MercatorSetParameters(c.a, c.f, c.originLatitude, c.centralMeridian, c.falseEasting,
                                        c.falseNorthing, k),
                  c.expected);
        if (c.expected) {
            EXPECT_EQ(k, -5.0);
        }
    }
    double k = 0.0;
    ASSERT_EQ(MercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, k), 0u);
    EXPECT_EQ(k, 1.0);
    ASSERT_EQ(MercatorSetParameters(kWgs84A, kWgs84F, Rad(40.0), 0.0, 0.0, 0.0, k), 0u);
    // cos(phi0) / sqrt(1 - e^2 sin^2(phi0))
    const double e2 = 2.0 * kWgs84F - kWgs84F * kWgs84F;
    EXPECT_DOUBLE_EQ(k, std::cos(Rad(40.0)) / std::sqrt(1.0 - e2 * std::pow(std::sin(Rad(40.0)), 2)));
}

TEST_F(MercatorModule, ForwardLatitudeLimitIs89AndAHalfDegrees) {
    SetWgs84();
    double e = 7.0, n = 8.0;
    EXPECT_EQ(MercatorForward(1.562069680534925, 0.0, e, n), 0u);
    e = 7.0;
    n = 8.0;
    EXPECT_EQ(MercatorForward(Rad(89.51), 0.0, e, n), PRJ_LatitudeError);
    EXPECT_EQ(MercatorForward(0.0, Rad(-181.0), e, n), PRJ_LongitudeError);
    EXPECT_EQ(MercatorForward(kNaN, kNaN, e, n), PRJ_LatitudeError | PRJ_LongitudeError);
    EXPECT_EQ(e, 7.0);
    EXPECT_EQ(n, 8.0);
}

// cs2cs +proj=merc (tests/data/crs/reference.txt).
TEST_F(MercatorModule, ForwardMatchesProj) {
    struct Case {
        double a, f, lat0, cm, fe, fn;
        double lon, lat, e, n;
    } cases[] = {
        {kWgs84A, kWgs84F, 0, 0, 0, 0, 180, 89.5, 20037508.3428, 34619289.3719},
        {kWgs84A, kWgs84F, 0, 0, 0, 0, -180, -89.5, -20037508.3428, -34619289.3719},
        {kWgs84A, kWgs84F, 0, 0, 0, 0, 0, 30, 0.0, 3482189.0854},
        {kWgs84A, kWgs84F, 0, 0, 0, 0, 45, -60, 5009377.0857, -8362698.5485},
        {kBesselA, kBesselF, 40, 10, 1000, 2000, 30, 60, 1708671.9525, 6416391.1432},
        {kBesselA, kBesselF, 40, 10, 1000, 2000, -120, -20, -11098867.6912, -1730275.8426},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat);
        double k;
        ASSERT_EQ(MercatorSetParameters(c.a, c.f, Rad(c.lat0), Rad(c.cm), c.fe, c.fn, k), 0u);
        double e, n;
        ASSERT_EQ(MercatorForward(Rad(c.lat), Rad(c.lon), e, n), 0u);
        EXPECT_NEAR(e, c.e, kMillimetre);
        EXPECT_NEAR(n, c.n, kMillimetre);
        double lat, lon;
        ASSERT_EQ(MercatorInverse(e, n, lat, lon), 0u);
        EXPECT_NEAR(lat, Rad(c.lat), kMillimetreRadians);
        // 180 and -180 are the same meridian.
        EXPECT_NEAR(std::remainder(lon - Rad(c.lon), 2.0 * kPi), 0.0, kMillimetreRadians);
    }
}

TEST_F(MercatorModule, InverseBoundsAreOnePerCentBeyondTheFarthestProjectedPoint) {
    SetWgs84();
    // The projection of 89.5 N half way round: 20037508.3428, 34619289.3719.
    const double eMax = 20037508.3428;
    const double nMax = 34619289.3719;
    double lat = 3.0, lon = 4.0;
    EXPECT_EQ(MercatorInverse(1.0099 * eMax, 0.0, lat, lon), 0u);
    EXPECT_EQ(MercatorInverse(-1.0099 * eMax, 0.0, lat, lon), 0u);
    EXPECT_EQ(MercatorInverse(0.0, 1.0099 * nMax, lat, lon), 0u);
    lat = 3.0;
    lon = 4.0;
    EXPECT_EQ(MercatorInverse(1.02 * eMax, 0.0, lat, lon), PRJ_EastingError);
    EXPECT_EQ(MercatorInverse(0.0, -1.02 * nMax, lat, lon), PRJ_NorthingError);
    EXPECT_EQ(MercatorInverse(kNaN, kNaN, lat, lon), PRJ_EastingError | PRJ_NorthingError);
    EXPECT_EQ(lat, 3.0);
    EXPECT_EQ(lon, 4.0);
}

TEST_F(MercatorModule, BoundsFollowTheFalseOrigin) {
    double k;
    ASSERT_EQ(MercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 1.0e7, -5.0e6, k), 0u);
    double lat, lon;
    EXPECT_EQ(MercatorInverse(1.0e7 + 20.0e6, -5.0e6 + 34.0e6, lat, lon), 0u);
    EXPECT_EQ(MercatorInverse(1.0e7 - 20.5e6, -5.0e6, lat, lon), PRJ_EastingError);
}

} // namespace
