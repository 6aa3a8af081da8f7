#include "crs/engine/AzimuthalEquidistant.h"
#include "crs/engine/Gnomonic.h"
#include "crs/engine/Orthographic.h"
#include "crs/engine/PolarStereographic.h"
#include "crs/engine/Stereographic.h"

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

using ForwardFn = std::uint32_t (*)(double, double, double&, double&);
using InverseFn = std::uint32_t (*)(double, double, double&, double&);
using SetFn = std::uint32_t (*)(double, double, double, double, double, double);

class AzimuthalProjections : public ::testing::Test {
protected:
    void TearDown() override {
        PolarStereographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0);
        for (SetFn set : {StereographicSetParameters, OrthographicSetParameters,
                          GnomonicSetParameters, AzimuthalEquidistantSetParameters})
            set(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0);
    }
};

TEST_F(AzimuthalProjections, ForwardAndInverseMatchProj) {
    const auto reference = LoadProjectionReference();
    struct Case {
        const char* name;
        std::function<std::uint32_t()> set;
        ForwardFn forward;
        InverseFn inverse;
    } cases[] = {
        {"polar-north",
         [] {
             return PolarStereographicSetParameters(kWgs84A, kWgs84F, Rad(70.0), Rad(-45.0), 100.0,
                                                    -200.0);
         },
         PolarStereographicForward, PolarStereographicInverse},
        {"polar-south",
         [] {
             return PolarStereographicSetParameters(kIntlA, kIntlF, Rad(-71.0), Rad(20.0), 2.0e6,
                                                    2.0e6);
         },
         PolarStereographicForward, PolarStereographicInverse},
        {"polar-pole-scale",
         [] { return PolarStereographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0); },
         PolarStereographicForward, PolarStereographicInverse},
        {"stereo-oblique",
         [] {
             return StereographicSetParameters(kWgs84A, kWgs84F, Rad(40.0), Rad(10.0), 300.0,
                                               400.0);
         },
         StereographicForward, StereographicInverse},
        {"stereo-equator",
         [] { return StereographicSetParameters(kWgs84A, kWgs84F, 0.0, Rad(-60.0), 0.0, 0.0); },
         StereographicForward, StereographicInverse},
        {"stereo-south",
         [] { return StereographicSetParameters(kWgs84A, kWgs84F, -kPi / 2.0, 0.0, 0.0, 0.0); },
         StereographicForward, StereographicInverse},
        {"ortho-oblique",
         [] {
             return OrthographicSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(10.0), 500000.0,
                                              0.0);
         },
         OrthographicForward, OrthographicInverse},
        {"ortho-north",
         [] { return OrthographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0); },
         OrthographicForward, OrthographicInverse},
        {"gnomonic-oblique",
         [] { return GnomonicSetParameters(kWgs84A, kWgs84F, Rad(45.0), Rad(-100.0), 10.0, 20.0); },
         GnomonicForward, GnomonicInverse},
        {"gnomonic-equator",
         [] { return GnomonicSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0); },
         GnomonicForward, GnomonicInverse},
        {"gnomonic-south",
         [] { return GnomonicSetParameters(kWgs84A, kWgs84F, -kPi / 2.0, Rad(30.0), 0.0, 0.0); },
         GnomonicForward, GnomonicInverse},
        {"aeqd-oblique",
         [] {
             return AzimuthalEquidistantSetParameters(kWgs84A, kWgs84F, Rad(40.0), Rad(10.0), 300.0,
                                                      400.0);
         },
         AzimuthalEquidistantForward, AzimuthalEquidistantInverse},
        {"aeqd-equator",
         [] {
             return AzimuthalEquidistantSetParameters(kWgs84A, kWgs84F, 0.0, Rad(-60.0), 0.0, 0.0);
         },
         AzimuthalEquidistantForward, AzimuthalEquidistantInverse},
        {"aeqd-north",
         [] {
             return AzimuthalEquidistantSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0);
         },
         AzimuthalEquidistantForward, AzimuthalEquidistantInverse},
        {"aeqd-south",
         [] {
             return AzimuthalEquidistantSetParameters(kWgs84A, kWgs84F, -kPi / 2.0, 0.0, 0.0, 0.0);
         },
         AzimuthalEquidistantForward, AzimuthalEquidistantInverse},
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
            EXPECT_EQ(c.forward(Rad(r.lat), Rad(r.lon), e, n), 0u);
            EXPECT_NEAR(e, r.easting, 0.001);
            EXPECT_NEAR(n, r.northing, 0.001);
            double lat = 0.0, lon = 0.0;
            const std::uint32_t inv = c.inverse(r.easting, r.northing, lat, lon);
            EXPECT_EQ(inv, 0u);
            if (inv)
                continue;
            EXPECT_NEAR(kWgs84A * (lat - Rad(r.lat)), 0.0, 0.001);
            EXPECT_NEAR(kWgs84A * std::cos(Rad(r.lat)) *
                            std::remainder(lon - Rad(r.lon), 2.0 * kPi),
                        0.0, 0.001);
        }
    }
}

TEST_F(AzimuthalProjections, PolarStereographicHemispheres) {
    // A southern projection refuses northern latitudes and keeps the
    // equator.
    ASSERT_EQ(PolarStereographicSetParameters(kWgs84A, kWgs84F, -kPi / 2.0, Rad(10.0), 5.0, 6.0),
              0u);
    double e = 7.0, n = 8.0;
    EXPECT_EQ(PolarStereographicForward(Rad(1.0), 0.0, e, n), PST_LatitudeError);
    EXPECT_EQ(e, 7.0);
    EXPECT_EQ(PolarStereographicForward(0.0, 0.0, e, n), 0u);
    // The pole of the hemisphere is the false origin, and back.
    ASSERT_EQ(PolarStereographicForward(-kPi / 2.0, 0.3, e, n), 0u);
    EXPECT_EQ(e, 5.0);
    EXPECT_EQ(n, 6.0);
    double lat, lon;
    ASSERT_EQ(PolarStereographicInverse(5.0, 6.0, lat, lon), 0u);
    EXPECT_EQ(lat, -kPi / 2.0);
    EXPECT_NEAR(lon, Rad(10.0), 1e-15);
    // What comes back is stored negated for a southern projection.
    double a, f, trueScale, down, fe, fn;
    PolarStereographicGetParameters(a, f, trueScale, down, fe, fn);
    EXPECT_EQ(trueScale, -kPi / 2.0);
    EXPECT_NEAR(down, Rad(10.0), 1e-15);

    // The corners of the square of bounds are accepted: 1.01 times the
    // equator's distance from the pole.
    ASSERT_EQ(PolarStereographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0), 0u);
    ASSERT_EQ(PolarStereographicForward(0.0, 0.0, e, n), 0u);
    const double half = 1.01 * std::fabs(n);
    for (double sx : {-1.0, 1.0})
        for (double sy : {-1.0, 1.0})
            EXPECT_EQ(PolarStereographicInverse(sx * half, sy * half, lat, lon), 0u);
    EXPECT_EQ(PolarStereographicInverse(half * 1.001, 0.0, lat, lon), PST_EastingError);
    EXPECT_EQ(PolarStereographicInverse(0.0, kNaN, lat, lon), PST_NorthingError);

    // Set-up flags: this module numbers them its own way.
    EXPECT_EQ(PolarStereographicSetParameters(0.0, 0.2, 1.6, 7.0, 0.0, 0.0),
              PST_SemiMajorAxisError | PST_InverseFlatteningError | PST_TrueScaleLatitudeError |
                  PST_LongitudeDownError);
}

TEST_F(AzimuthalProjections, StereographicEdges) {
    ASSERT_EQ(StereographicSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0), 0u);
    double e = 7.0, n = 8.0;
    // The point opposite an equatorial centre.
    EXPECT_EQ(StereographicForward(0.0, kPi, e, n), STG_LongitudeError);
    EXPECT_EQ(e, 7.0);
    double lat, lon;
    // The centre is pi - 1e-6 and the point 2e-6 past it lies at pi + 1e-6:
    // within 3.5e-6 of pi, so exactly pi.
    ASSERT_EQ(StereographicSetParameters(kWgs84A, kWgs84F, 0.0, kPi - 1e-6, 0.0, 0.0), 0u);
    ASSERT_EQ(StereographicForward(0.0, -kPi + 1e-6, e, n), 0u);
    ASSERT_EQ(StereographicInverse(e, n, lat, lon), 0u);
    EXPECT_EQ(lon, kPi);
    EXPECT_EQ(StereographicSetParameters(kWgs84A, kWgs84F, 1.6, -4.0, 0.0, 0.0),
              STG_OriginLatitudeError | STG_CentralMeridianError);
}

TEST_F(AzimuthalProjections, OrthographicGnomonicAndEquidistantLimits) {
    ASSERT_EQ(OrthographicSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 500000.0, 0.0), 0u);
    double e = 7.0, n = 8.0;
    EXPECT_EQ(OrthographicForward(0.0, Rad(91.0), e, n), PRJ_LongitudeError);
    EXPECT_EQ(e, 7.0);
    EXPECT_EQ(OrthographicForward(0.0, Rad(89.0), e, n), 0u);
    double lat, lon;
    const double d = std::sqrt(0.5);
    EXPECT_EQ(OrthographicInverse(500000.0 + (kWgs84Ra - 1.0) * d, (kWgs84Ra - 1.0) * d, lat, lon),
              0u);
    EXPECT_EQ(OrthographicInverse(500000.0 + (kWgs84Ra + 1.0) * d, (kWgs84Ra + 1.0) * d, lat, lon),
              ORTH_RadiusError);
    EXPECT_EQ(OrthographicInverse(500000.0 + kWgs84Ra + 1.0, 0.0, lat, lon), PRJ_EastingError);

    ASSERT_EQ(GnomonicSetParameters(kWgs84A, kWgs84F, Rad(30.0), 0.0, 0.0, 0.0), 0u);
    // Exactly 90 degrees from the centre: the point on the equator 90 degrees
    // round from a centre on the equator, or the pole opposite an oblique
    // centre's great circle.
    ASSERT_EQ(GnomonicSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0), 0u);
    EXPECT_EQ(GnomonicForward(0.0, kPi / 2.0, e, n), PRJ_LongitudeError);
    EXPECT_EQ(GnomonicForward(0.0, Rad(89.0), e, n), 0u);

    ASSERT_EQ(AzimuthalEquidistantSetParameters(kWgs84A, kWgs84F, Rad(30.0), Rad(10.0), 11.0, 22.0),
              0u);
    ASSERT_EQ(AzimuthalEquidistantForward(Rad(30.0), Rad(10.0), e, n), 0u);
    EXPECT_EQ(e, 11.0);
    EXPECT_EQ(n, 22.0);
    e = 7.0;
    EXPECT_EQ(AzimuthalEquidistantForward(Rad(-30.0), Rad(-170.0), e, n), AZEQ_OppositePointError);
    EXPECT_EQ(e, 7.0);
}

TEST_F(AzimuthalProjections, NotANumberIsRefused) {
    struct Case {
        const char* name;
        ForwardFn forward;
        InverseFn inverse;
        std::uint32_t inverseFlags;
    } cases[] = {
        {"PolarStereographic", PolarStereographicForward, PolarStereographicInverse, 0x30},
        {"Stereographic", StereographicForward, StereographicInverse, 0x30},
        {"Orthographic", OrthographicForward, OrthographicInverse, 0x0C},
        {"Gnomonic", GnomonicForward, GnomonicInverse, 0x0C},
        {"AzimuthalEquidistant", AzimuthalEquidistantForward, AzimuthalEquidistantInverse, 0x0C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double e = 7.0, n = 8.0;
        EXPECT_EQ(c.forward(kNaN, kNaN, e, n), 0x03u);
        EXPECT_EQ(c.inverse(kNaN, kNaN, e, n), c.inverseFlags);
        EXPECT_EQ(e, 7.0);
        EXPECT_EQ(n, 8.0);
    }
    for (SetFn set :
         {OrthographicSetParameters, GnomonicSetParameters, AzimuthalEquidistantSetParameters})
        EXPECT_EQ(set(kWgs84A, kWgs84F, kNaN, kNaN, kNaN, 0.0), 0x34u);
}

} // namespace
