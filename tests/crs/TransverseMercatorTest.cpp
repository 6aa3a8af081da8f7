#include "crs/engine/GeoEngine.h"
#include "crs/engine/TransverseMercator.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kBesselA = 6377397.155;
constexpr double kBesselF = 1.0 / 299.1528128;

// The module's state is process-wide: every test starts from the engine's
// defaults having been taken and leaves the module at its start values.
class TransverseMercatorModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GeoEngineInitialize(), 0u); }
    void TearDown() override {
        TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0);
    }
    static void SetUtm33(double falseNorthing = 0.0) {
        ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, Rad(15.0), 500000.0, falseNorthing,
                                                  0.9996),
                  0u);
    }
};

struct SetUpCase {
    const char* what;
    double a, f, originLatitude, centralMeridian, falseEasting, falseNorthing, scale;
    std::uint32_t expected;
};

TEST_F(TransverseMercatorModule, SetParametersFlagsAreOredAndRefusalKeepsTheOldState) {
    const SetUpCase cases[] = {
        {"valid", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0, 0},
        {"scale 0.2999", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 0.2999, TME_ScaleFactorError},
        {"scale 0.3 inclusive", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 0.3, 0},
        {"scale 3.0 inclusive", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 3.0, 0},
        {"a = 0 and scale 5", 0.0, kWgs84F, 0.0, 0.0, 0.0, 0.0, 5.0, 0x0140},
        {"a < 0", -1.0, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_SemiMajorAxisError},
        {"1/f 249.9", kWgs84A, 1.0 / 249.9, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_InverseFlatteningError},
        {"sphere", kWgs84A, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_InverseFlatteningError},
        {"origin beyond the pole", kWgs84A, kWgs84F, 1.6, 0.0, 0.0, 0.0, 1.0, PRJ_OriginLatitudeError},
        {"meridian below -pi", kWgs84A, kWgs84F, 0.0, -3.2, 0.0, 0.0, 1.0, PRJ_CentralMeridianError},
        {"meridian above 2 pi", kWgs84A, kWgs84F, 0.0, 6.3, 0.0, 0.0, 1.0, PRJ_CentralMeridianError},
        {"everything wrong", 0.0, 0.0, 2.0, 7.0, 0.0, 0.0, 0.1, 0x01F0},
        {"NaN a", kNaN, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_SemiMajorAxisError},
        {"infinite a", kInf, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_SemiMajorAxisError},
        {"NaN f", kWgs84A, kNaN, 0.0, 0.0, 0.0, 0.0, 1.0, PRJ_InverseFlatteningError},
        {"NaN origin", kWgs84A, kWgs84F, kNaN, 0.0, 0.0, 0.0, 1.0, PRJ_OriginLatitudeError},
        {"NaN meridian", kWgs84A, kWgs84F, 0.0, kNaN, 0.0, 0.0, 1.0, PRJ_CentralMeridianError},
        {"NaN scale", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, kNaN, TME_ScaleFactorError},
        {"NaN false easting", kWgs84A, kWgs84F, 0.0, 0.0, kNaN, 0.0, 1.0, PRJ_EastingError},
        {"infinite false northing", kWgs84A, kWgs84F, 0.0, 0.0, 0.0, -kInf, 1.0, PRJ_NorthingError},
    };
    for (const SetUpCase& c : cases) {
        SCOPED_TRACE(c.what);
        // A known state first, to see that a refusal leaves it alone.
        ASSERT_EQ(TransverseMercatorSetParameters(kBesselA, kBesselF, 0.1, 0.2, 3.0, 4.0, 0.9), 0u);
        EXPECT_EQ(TransverseMercatorSetParameters(c.a, c.f, c.originLatitude, c.centralMeridian,
                                                  c.falseEasting, c.falseNorthing, c.scale),
                  c.expected);
        if (c.expected != 0) {
            double a, f, lat0, cm, fe, fn, k;
            TransverseMercatorGetParameters(a, f, lat0, cm, fe, fn, k);
            EXPECT_EQ(a, kBesselA);
            EXPECT_EQ(f, kBesselF);
            EXPECT_EQ(lat0, 0.1);
            EXPECT_EQ(cm, 0.2);
            EXPECT_EQ(fe, 3.0);
            EXPECT_EQ(fn, 4.0);
            EXPECT_EQ(k, 0.9);
        }
    }
}

TEST_F(TransverseMercatorModule, CentralMeridianAbovePiIsStoredLessTwoPi) {
    ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, 4.0, 0.0, 0.0, 1.0), 0u);
    double a, f, lat0, cm, fe, fn, k;
    TransverseMercatorGetParameters(a, f, lat0, cm, fe, fn, k);
    EXPECT_DOUBLE_EQ(cm, 4.0 - 2.0 * kPi);
}

TEST_F(TransverseMercatorModule, ForwardRefusesPointsItCannotProjectAndWritesNothing) {
    SetUtm33();
    struct Case {
        const char* what;
        double lat, lon;
        std::uint32_t expected;
    } cases[] = {
        {"89.995 degrees", Rad(89.995), Rad(15.0), PRJ_LatitudeError},
        {"-89.995 degrees", Rad(-89.995), Rad(15.0), PRJ_LatitudeError},
        {"more than 90 degrees from the meridian", Rad(10.0), Rad(106.0), PRJ_LongitudeError},
        {"both", Rad(95.0), Rad(-100.0), PRJ_LatitudeError | PRJ_LongitudeError},
        {"NaN latitude", kNaN, Rad(15.0), PRJ_LatitudeError},
        {"NaN longitude", 0.5, kNaN, PRJ_LongitudeError},
        {"infinite latitude", kInf, Rad(15.0), PRJ_LatitudeError},
        {"infinite longitude", 0.5, -kInf, PRJ_LongitudeError},
        {"huge longitude", 0.5, 1.0e300, PRJ_LongitudeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double e = 123.0, n = 456.0;
        EXPECT_EQ(TransverseMercatorForward(c.lat, c.lon, e, n), c.expected);
        EXPECT_EQ(e, 123.0);
        EXPECT_EQ(n, 456.0);
    }
}

TEST_F(TransverseMercatorModule, ForwardFarFromTheMeridianWarnsButStillProjects) {
    SetUtm33();
    double e = 0.0, n = 0.0;
    EXPECT_EQ(TransverseMercatorForward(Rad(60.0), Rad(25.0), e, n), TME_LongitudeWarning);
    EXPECT_GT(e, 500000.0);
    EXPECT_GT(n, 6000000.0);
    // Nine degrees is still inside.
    EXPECT_EQ(TransverseMercatorForward(Rad(60.0), Rad(23.9), e, n), 0u);
}

TEST_F(TransverseMercatorModule, ForwardAcrossTheAntimeridian) {
    // Zone 1 (central meridian -177): 179 degrees east lies 4 degrees west of it.
    ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, Rad(-177.0), 500000.0, 0.0, 0.9996), 0u);
    double eWest = 0.0, nWest = 0.0, eEast = 0.0, nEast = 0.0;
    const std::uint32_t west = TransverseMercatorForward(Rad(10.0), Rad(179.0), eWest, nWest);
    EXPECT_EQ(west & ~TME_LongitudeWarning, 0u);
    ASSERT_EQ(TransverseMercatorForward(Rad(10.0), Rad(-173.0), eEast, nEast), 0u);
    // Mirror images about the central meridian.
    EXPECT_NEAR(eWest + eEast, 1000000.0, kMillimetre);
    EXPECT_NEAR(nWest, nEast, kMillimetre);
}

TEST_F(TransverseMercatorModule, InverseRefusesCoordinatesOutsideTheBounds) {
    SetUtm33();
    double lat = 1.0, lon = 2.0;
    struct Case {
        const char* what;
        double e, n;
        std::uint32_t expected;
    } cases[] = {
        {"easting far east", 1.0e9, 0.0, PRJ_EastingError},
        {"northing far north", 500000.0, 1.0e8, PRJ_NorthingError},
        {"both", -1.0e9, -1.0e8, PRJ_EastingError | PRJ_NorthingError},
        {"NaN easting", kNaN, 0.0, PRJ_EastingError},
        {"NaN northing", 500000.0, kNaN, PRJ_NorthingError},
        {"infinite", kInf, -kInf, PRJ_EastingError | PRJ_NorthingError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TransverseMercatorInverse(c.e, c.n, lat, lon), c.expected);
        EXPECT_EQ(lat, 1.0);
        EXPECT_EQ(lon, 2.0);
    }
}

TEST_F(TransverseMercatorModule, InverseWarnsFarFromTheMeridianAndFlagsPointsBeyondThePole) {
    SetUtm33();
    double lat = 0.0, lon = 0.0;
    // 1200 km east of the meridian at 60N is more than 9 cos(60) degrees away.
    EXPECT_EQ(TransverseMercatorInverse(1700000.0, 6700000.0, lat, lon) & TME_LongitudeWarning,
              TME_LongitudeWarning);
    // A latitude of origin at 60N moves the arc past the pole.
    ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, Rad(60.0), Rad(15.0), 0.0, 0.0, 1.0), 0u);
    EXPECT_EQ(TransverseMercatorInverse(0.0, 9000000.0, lat, lon) & PRJ_NorthingError, PRJ_NorthingError);
}

// Forward then inverse on two ellipsoids, up to six degrees from the meridian
// and from the equator to 84 degrees.
TEST_F(TransverseMercatorModule, RoundTripsWithinAMillimetre) {
    struct Ellipsoid {
        double a, f;
    } ellipsoids[] = {{kWgs84A, kWgs84F}, {kBesselA, kBesselF}};
    for (const Ellipsoid& el : ellipsoids) {
        ASSERT_EQ(TransverseMercatorSetParameters(el.a, el.f, 0.0, Rad(15.0), 500000.0, 0.0, 0.9996), 0u);
        for (double lat = -84.0; lat <= 84.0; lat += 6.0) {
            for (double dl = -6.0; dl <= 6.0; dl += 1.5) {
                SCOPED_TRACE(testing::Message() << "lat " << lat << " dl " << dl);
                double e, n, lat2, lon2;
                ASSERT_EQ(TransverseMercatorForward(Rad(lat), Rad(15.0 + dl), e, n), 0u);
                const std::uint32_t back = TransverseMercatorInverse(e, n, lat2, lon2);
                EXPECT_EQ(back & ~TME_LongitudeWarning, 0u);
                EXPECT_NEAR(lat2, Rad(lat), kMillimetreRadians);
                EXPECT_NEAR(lon2 * std::cos(Rad(lat)), Rad(15.0 + dl) * std::cos(Rad(lat)),
                            kMillimetreRadians);
            }
        }
    }
}

TEST_F(TransverseMercatorModule, SetParametersTwiceGivesTheSameResultAsOnce) {
    // The module keeps the constants of recent ellipsoids; switching between
    // two must give exactly what a fresh set-up gives.
    ASSERT_EQ(TransverseMercatorSetParameters(kBesselA, kBesselF, 0.0, Rad(15.808277777777779), 1500000.0,
                                              0.0, 1.0),
              0u);
    double e1, n1;
    ASSERT_EQ(TransverseMercatorForward(Rad(59.0), Rad(18.0), e1, n1), 0u);
    for (int i = 0; i < 3; ++i) {
        SetUtm33();
        ASSERT_EQ(TransverseMercatorSetParameters(kBesselA, kBesselF, 0.0, Rad(15.808277777777779),
                                                  1500000.0, 0.0, 1.0),
                  0u);
    }
    double e2, n2;
    ASSERT_EQ(TransverseMercatorForward(Rad(59.0), Rad(18.0), e2, n2), 0u);
    EXPECT_EQ(e1, e2);
    EXPECT_EQ(n1, n2);
}

TEST_F(TransverseMercatorModule, LatitudeOfOriginShiftsTheNorthing) {
    double e0, n0, e1, n1;
    ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, Rad(15.0), 0.0, 0.0, 1.0), 0u);
    ASSERT_EQ(TransverseMercatorForward(Rad(50.0), Rad(15.0), e0, n0), 0u);
    ASSERT_EQ(TransverseMercatorForward(Rad(45.0), Rad(17.0), e1, n1), 0u);
    ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, Rad(50.0), Rad(15.0), 0.0, 0.0, 1.0), 0u);
    double e2, n2;
    ASSERT_EQ(TransverseMercatorForward(Rad(45.0), Rad(17.0), e2, n2), 0u);
    EXPECT_NEAR(e2, e1, 1e-6);
    EXPECT_NEAR(n2, n1 - n0, 1e-6);
}

} // namespace
