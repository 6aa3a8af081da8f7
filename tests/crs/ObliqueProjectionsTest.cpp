#include "crs/engine/ObliqueMercator.h"
#include "crs/engine/VanDerGrinten.h"

#include "crs/CrsTestSupport.h"
#include "crs/ProjectionReference.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kIntlA = 6378388.0;
constexpr double kIntlF = 1.0 / 297.0;
constexpr double kWgs84Ra = 6371007.18108243;

class ObliqueProjections : public ::testing::Test {
protected:
    void TearDown() override {
        ObliqueMercatorSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(40.0), Rad(-5.0), Rad(50.0),
                                     Rad(5.0), 0.0, 0.0, 1.0);
        VanDerGrintenSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0);
    }
};

using ForwardFn = std::uint32_t (*)(double, double, double&, double&);
using InverseFn = std::uint32_t (*)(double, double, double&, double&);

TEST_F(ObliqueProjections, ForwardAndInverseMatchProj) {
    const auto reference = LoadProjectionReference();
    struct Case {
        const char* name;
        std::function<std::uint32_t()> set;
        ForwardFn forward;
        InverseFn inverse;
        std::uint32_t warnings;
    } cases[] = {
        {"omerc-wgs84",
         [] {
             return ObliqueMercatorSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(40.0), Rad(-5.0),
                                                 Rad(50.0), Rad(5.0), 0.0, 0.0, 1.0);
         },
         ObliqueMercatorForward, ObliqueMercatorInverse, OMERC_LongitudeWarning},
        {"omerc-south",
         [] {
             return ObliqueMercatorSetParameters(kIntlA, kIntlF, Rad(-30.0), Rad(-20.0), Rad(130.0),
                                                 Rad(-40.0), Rad(150.0), 1000.0, 2000.0, 0.9996);
         },
         ObliqueMercatorForward, ObliqueMercatorInverse, OMERC_LongitudeWarning},
        {"vandg-wgs84", [] { return VanDerGrintenSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0); },
         VanDerGrintenForward, VanDerGrintenInverse, 0},
        {"vandg-shifted",
         [] { return VanDerGrintenSetParameters(kIntlA, kIntlF, Rad(-100.0), 300.0, -400.0); },
         VanDerGrintenForward, VanDerGrintenInverse, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto it = reference.find(c.name);
        ASSERT_NE(it, reference.end());
        ASSERT_FALSE(it->second.empty());
        for (const ReferenceRow& r : it->second) {
            SCOPED_TRACE(testing::Message() << r.lon << " " << r.lat);
            ASSERT_EQ(c.set(), 0u);
            double e = 0.0, n = 0.0;
            EXPECT_EQ(c.forward(Rad(r.lat), Rad(r.lon), e, n) & ~c.warnings, 0u);
            EXPECT_NEAR(e, r.easting, 0.001);
            EXPECT_NEAR(n, r.northing, 0.001);
            double lat = 0.0, lon = 0.0;
            EXPECT_EQ(c.inverse(r.easting, r.northing, lat, lon) & ~c.warnings, 0u);
            EXPECT_NEAR(kWgs84A * (lat - Rad(r.lat)), 0.0, 0.001);
            EXPECT_NEAR(kWgs84A * std::cos(Rad(r.lat)) *
                            std::remainder(lon - Rad(r.lon), 2.0 * kPi),
                        0.0, 0.001);
        }
    }
}

TEST_F(ObliqueProjections, ObliqueMercatorChecks) {
    struct Case {
        const char* what;
        double lat0, lat1, lon1, lat2, lon2, k;
        std::uint32_t expected;
    } cases[] = {
        {"valid", Rad(45.0), Rad(40.0), Rad(-5.0), Rad(50.0), Rad(5.0), 1.0, 0},
        {"point 1 on the equator", Rad(45.0), 0.0, Rad(-5.0), Rad(50.0), Rad(5.0), 1.0,
         OMERC_Latitude1Error},
        {"points in both hemispheres", Rad(0.0), Rad(30.0), Rad(-5.0), Rad(-10.0), Rad(5.0), 1.0,
         OMERC_HemisphereError},
        {"equal latitudes", Rad(45.0), Rad(40.0), Rad(-5.0), Rad(40.0), Rad(5.0), 1.0,
         OMERC_EqualLatitudesError},
        {"origin at the pole", kPi / 2.0, Rad(40.0), Rad(-5.0), Rad(50.0), Rad(5.0), 1.0,
         OMERC_OriginLatitudeError},
        {"point 2 at the pole", Rad(45.0), Rad(40.0), Rad(-5.0), -kPi / 2.0, Rad(5.0), 1.0,
         OMERC_Latitude2Error | OMERC_HemisphereError},
        {"scale 0.3", Rad(45.0), Rad(40.0), Rad(-5.0), Rad(50.0), Rad(5.0), 0.3, 0},
        {"scale 3.0", Rad(45.0), Rad(40.0), Rad(-5.0), Rad(50.0), Rad(5.0), 3.0, 0},
        {"scale 3.1", Rad(45.0), Rad(40.0), Rad(-5.0), Rad(50.0), Rad(5.0), 3.1,
         OMERC_ScaleFactorError},
        {"longitudes", Rad(45.0), Rad(40.0), -4.0, Rad(50.0), 7.0, 1.0,
         OMERC_Longitude1Error | OMERC_Longitude2Error},
        {"NaN everywhere", kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 0x207C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ObliqueMercatorSetParameters(kWgs84A, kWgs84F, c.lat0, c.lat1, c.lon1, c.lat2,
                                               c.lon2, 0.0, 0.0, c.k),
                  c.expected);
    }
    EXPECT_EQ(ObliqueMercatorSetParameters(0.0, 1.0 / 200.0, Rad(45.0), Rad(40.0), Rad(-5.0),
                                           Rad(50.0), Rad(5.0), 0.0, 0.0, 1.0),
              OMERC_SemiMajorAxisError | OMERC_InverseFlatteningError);
}

TEST_F(ObliqueProjections, SecondLongitudeIsBroughtNextToTheFirst) {
    ASSERT_EQ(ObliqueMercatorSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(40.0), -3.0, Rad(50.0),
                                           3.0, 0.0, 0.0, 1.0),
              0u);
    double a, f, lat0, lat1, lon1, lat2, lon2, fe, fn, k;
    ObliqueMercatorGetParameters(a, f, lat0, lat1, lon1, lat2, lon2, fe, fn, k);
    EXPECT_EQ(lon1, -3.0);
    EXPECT_DOUBLE_EQ(lon2, 3.0 - 2.0 * kPi);
    // A value the module itself would refuse as input.
    EXPECT_EQ(
        ObliqueMercatorSetParameters(kWgs84A, kWgs84F, lat0, lat1, lon1, lat2, lon2, fe, fn, k),
        OMERC_Longitude2Error);
    // Both points lie on the central line, where the scale is k0: their
    // eastings and northings sit on one line through the projected origin.
    ASSERT_EQ(ObliqueMercatorSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(40.0), -3.0, Rad(50.0),
                                           3.0, 0.0, 0.0, 1.0),
              0u);
    double e1, n1, e2, n2;
    ASSERT_EQ(ObliqueMercatorForward(Rad(40.0), -3.0 + 2.0 * kPi, e1, n1) & ~OMERC_LongitudeWarning,
              0u);
    ASSERT_EQ(ObliqueMercatorForward(Rad(50.0), 3.0, e2, n2) & ~OMERC_LongitudeWarning, 0u);
    double lat, lon;
    ASSERT_EQ(ObliqueMercatorInverse(e1, n1, lat, lon) & ~OMERC_LongitudeWarning, 0u);
    EXPECT_NEAR(lat, Rad(40.0), 1e-9);
    EXPECT_NEAR(lon, -3.0, 1e-9);
}

TEST_F(ObliqueProjections, ObliqueMercatorWarningsAndLimits) {
    // The pole is a finite point, and its inverse gives the longitude of
    // origin lambda0 (where the central line crosses the equator).
    double e = kNaN, n = kNaN;
    EXPECT_EQ(ObliqueMercatorForward(kPi / 2.0, 0.3, e, n), 0u);
    double lat, lambda0;
    EXPECT_EQ(ObliqueMercatorInverse(e, n, lat, lambda0) & ~OMERC_LongitudeWarning, 0u);
    EXPECT_NEAR(lat, kPi / 2.0, 1e-9);
    // 100 degrees from lambda0 warns and answers; 80 degrees does not warn.
    e = kNaN;
    EXPECT_EQ(ObliqueMercatorForward(Rad(45.0), lambda0 + Rad(100.0), e, n),
              OMERC_LongitudeWarning);
    EXPECT_TRUE(std::isfinite(e) && std::isfinite(n));
    EXPECT_EQ(ObliqueMercatorForward(Rad(45.0), lambda0 + Rad(80.0), e, n), 0u);
    double lon;
    EXPECT_EQ(ObliqueMercatorForward(kNaN, 0.0, e, n), OMERC_LatitudeError);
    EXPECT_EQ(ObliqueMercatorForward(0.0, -4.0, e, n), OMERC_LongitudeError);
    lat = 3.0;
    EXPECT_EQ(ObliqueMercatorInverse(kNaN, kNaN, lat, lon),
              OMERC_EastingError | OMERC_NorthingError);
    EXPECT_EQ(ObliqueMercatorInverse(4.0e7 + 1.0, 0.0, lat, lon), OMERC_EastingError);
    EXPECT_EQ(lat, 3.0);
    // The edge of the accepted square is far off the map; it ends with an
    // answer or a flag, never a hang.
    for (double x : {-4.0e7, 4.0e7})
        for (double y : {-4.0e7, 4.0e7}) {
            const std::uint32_t flags = ObliqueMercatorInverse(x, y, lat, lon);
            EXPECT_TRUE(flags == 0 ||
                        (flags & (OMERC_NorthingError | OMERC_LongitudeWarning)) != 0);
        }
}

TEST_F(ObliqueProjections, VanDerGrinten) {
    const double piRa = kPi * kWgs84Ra;
    for (double fe : {0.0, 500000.0, -2.0e6}) {
        SCOPED_TRACE(fe);
        ASSERT_EQ(VanDerGrintenSetParameters(kWgs84A, kWgs84F, Rad(20.0), fe, 300.0), 0u);
        double e, n;
        ASSERT_EQ(VanDerGrintenForward(0.0, Rad(20.0), e, n), 0u);
        EXPECT_EQ(e, fe);
        EXPECT_EQ(n, 300.0);
        ASSERT_EQ(VanDerGrintenForward(kPi / 2.0, Rad(20.0), e, n), 0u);
        EXPECT_NEAR(e, fe, 1e-6);
        EXPECT_NEAR(n, 300.0 + piRa, 0.001);
        ASSERT_EQ(VanDerGrintenForward(Rad(30.0), Rad(-70.0), e, n), 0u);
        EXPECT_LT(e, fe);
        // The ends of the equator.
        double lat, lon;
        ASSERT_EQ(VanDerGrintenInverse(fe - piRa, 300.0, lat, lon), 0u);
        EXPECT_EQ(lat, 0.0);
        EXPECT_NEAR(lon, Rad(20.0) - kPi, 1e-9);
        ASSERT_EQ(VanDerGrintenInverse(fe + piRa, 300.0, lat, lon), 0u);
        EXPECT_NEAR(lon, Rad(20.0) - kPi, 1e-9); // 200 degrees, folded
        // Outside the circle, though inside the square.
        EXPECT_EQ(VanDerGrintenInverse(fe + 0.9 * piRa, 300.0 + 0.9 * piRa, lat, lon),
                  VDG_RadiusError);
        EXPECT_EQ(VanDerGrintenInverse(fe + piRa + 0.02, 300.0, lat, lon), PRJ_EastingError);
        EXPECT_EQ(VanDerGrintenInverse(kNaN, kNaN, lat, lon), PRJ_EastingError | PRJ_NorthingError);
    }
    // With the central meridian 0 the ends of the equator are -pi and pi.
    ASSERT_EQ(VanDerGrintenSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0), 0u);
    double lat, lon;
    ASSERT_EQ(VanDerGrintenInverse(-piRa, 0.0, lat, lon), 0u);
    EXPECT_NEAR(lon, -kPi, 1e-12);
    ASSERT_EQ(VanDerGrintenInverse(piRa, 0.0, lat, lon), 0u);
    EXPECT_NEAR(lon, kPi, 1e-12);
    // Checks.
    EXPECT_EQ(VanDerGrintenSetParameters(0.0, 0.5, 7.0, 0.0, 0.0), 0xE0u);
    double e = 1.0, n = 2.0;
    EXPECT_EQ(VanDerGrintenForward(kNaN, kNaN, e, n), 0x03u);
    EXPECT_EQ(e, 1.0);
}

} // namespace
