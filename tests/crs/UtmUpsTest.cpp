#include "crs/engine/GeoEngine.h"
#include "crs/engine/PolarStereographic.h"
#include "crs/engine/TransverseMercator.h"
#include "crs/engine/Ups.h"
#include "crs/engine/Utm.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace crstest;

namespace {

class UtmUpsModules : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GeoEngineInitialize(), 0u); }
    void TearDown() override {
        UtmSetParameters(kWgs84A, kWgs84F, 0);
        UpsSetParameters(kWgs84A, kWgs84F);
        TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0);
        PolarStereographicSetParameters(kWgs84A, kWgs84F, kPi / 2.0, 0.0, 0.0, 0.0);
    }
};

// UPS here takes its scale from the latitude of true scale 81.114528
// degrees, which gives 0.99400001365 at the pole where GeographicLib uses
// exactly 0.994: distances from the pole are longer by this ratio (about a
// centimetre at the edge of the cap). The comparison applies it, so that
// everything else is still held to a millimetre.
constexpr double kUpsScaleRatio = 1.0000000137365304;

double UpsFromReference(double value) {
    return 2000000.0 + (value - 2000000.0) * kUpsScaleRatio;
}

struct GridPoint {
    double lat, lon;
    std::int32_t zone; // 0: UPS
    char hemisphere;
    double easting, northing;
};

// Made by GeographicLib's GeoConvert: sh tools/make_utm_ups_reference.sh
const GridPoint kReference[] = {
    {0, 0, 31, 'N', 166021.4431, 0.0000},
    {0.5, 3, 31, 'N', 500000.0000, 55265.0371},
    {-33.8, 151.2, 56, 'S', 333374.8157, 6258562.9611},
    {51.5, -0.12, 30, 'N', 699889.8070, 5709362.2928},
    {45, -93.7, 15, 'N', 444829.2903, 4983188.7144},
    {-12.3, 45.6, 38, 'S', 565243.4288, 8640199.8182},
    {60, 5, 32, 'N', 276979.9264, 6658157.2024},
    {56, 3, 32, 'N', 126049.9707, 6222336.3353},
    {63.9, 11.9, 32, 'N', 642314.7486, 7089106.2586},
    {64, 4, 31, 'N', 548910.6408, 7097397.8046},
    {75, 10, 33, 'N', 355706.5666, 8329692.6507},
    {72, 8.9, 31, 'N', 703202.5089, 7998893.2567},
    {72, 20.9, 33, 'N', 703202.5089, 7998893.2567},
    {72, 32.9, 35, 'N', 703202.5089, 7998893.2567},
    {72, 41.9, 37, 'N', 599987.7101, 7991339.6844},
    {72, 42.1, 38, 'N', 400012.2899, 7991339.6844},
    {0, 180, 1, 'N', 166021.4431, 0.0000},
    {0, -180, 1, 'N', 166021.4431, 0.0000},
    {-0.0001, -179.9, 1, 'S', 177163.8060, 9999988.9327},
    {-80.5, -70, 19, 'S', 481575.1258, 1062447.1310},
    {84.5, 20, 33, 'N', 553437.2602, 9386235.2208},
    {-79.9, 100.5, 47, 'S', 529363.1676, 1129197.2484},
    {83.9, -33.2, 25, 'N', 497627.2331, 9316934.2719},
    {83.6, 0, 0, 'N', 2000000.0000, 1288737.7253},
    {88, -45, 0, 'N', 1842973.3140, 1842973.3140},
    {86, 135, 0, 'N', 2314145.2191, 2314145.2191},
    {90, 0, 0, 'N', 2000000.0000, 2000000.0000},
    {-79.6, 10, 0, 'S', 2201032.5320, 3140112.1438},
    {-85, 120, 0, 'S', 2481040.2117, 1722271.3043},
    {-88.8, -60, 0, 'S', 1884616.6190, 2066616.6261},
    {-90, 0, 0, 'S', 2000000.0000, 2000000.0000},
};

TEST_F(UtmUpsModules, ForwardAndInverseAgreeWithGeographicLibWithinAMillimetre) {
    for (const GridPoint& p : kReference) {
        SCOPED_TRACE(testing::Message() << p.lat << " " << p.lon);
        double e = 0.0, n = 0.0;
        char h = '?';
        if (p.zone == 0) {
            ASSERT_EQ(UpsForward(Rad(p.lat), Rad(p.lon), h, e, n), 0u);
        } else {
            std::int32_t zone = 0;
            ASSERT_EQ(UtmForward(Rad(p.lat), Rad(p.lon), zone, h, e, n), 0u);
            EXPECT_EQ(zone, p.zone);
        }
        const double refE = p.zone == 0 ? UpsFromReference(p.easting) : p.easting;
        const double refN = p.zone == 0 ? UpsFromReference(p.northing) : p.northing;
        EXPECT_EQ(h, p.hemisphere);
        EXPECT_NEAR(e, refE, kMillimetre);
        EXPECT_NEAR(n, refN, kMillimetre);

        double lat = 0.0, lon = 0.0;
        const std::uint32_t flags = p.zone == 0
                                        ? UpsInverse(p.hemisphere, refE, refN, lat, lon)
                                        : UtmInverse(p.zone, p.hemisphere, refE, refN, lat, lon);
        // The widened zones near the pole lie up to 6 degrees from their
        // meridians, farther than 9 cos(latitude): still answered, and to a
        // millimetre.
        ASSERT_EQ(flags, 0u);
        EXPECT_NEAR(Deg(lat), p.lat, kMillimetreDegrees);
        // Longitude is undefined at the poles and 180 comes back as -180.
        if (std::fabs(p.lat) < 90.0) {
            double dl = Deg(lon) - p.lon;
            if (dl > 180.0)
                dl -= 360.0;
            if (dl < -180.0)
                dl += 360.0;
            EXPECT_NEAR(dl * std::cos(Rad(p.lat)), 0.0, kMillimetreDegrees);
        }
    }
}

TEST_F(UtmUpsModules, UtmZoneChoiceAndOverride) {
    struct Case {
        const char* what;
        double lat, lon;
        std::int32_t overrideZone;
        std::uint32_t flags;
        std::int32_t zone;
    };
    const Case cases[] = {
        {"Norway widens zone 32", 60.0, 5.0, 0, 0, 32},
        {"west of Norway stays in 31", 60.0, 2.9, 0, 0, 31},
        {"Svalbard: zone 33", 75.0, 10.0, 0, 0, 33},
        {"Svalbard: zone 31 below 9", 75.0, 8.0, 0, 0, 31},
        {"Svalbard: zone 35", 80.0, 25.0, 0, 0, 35},
        {"Svalbard: zone 37", 80.0, 40.0, 0, 0, 37},
        {"Svalbard ends at 71", 71.5, 10.0, 0, 0, 32},
        {"180 degrees", 0.0, 180.0, 0, 0, 1},
        {"-180 degrees", 0.0, -180.0, 0, 0, 1},
        {"longitude above 180", 0.0, 183.0, 0, 0, 1},
        {"override one zone east", 0.0, 5.5, 32, 0, 32},
        {"override one zone west", 0.0, 0.5, 30, 0, 30},
        {"override two zones away", 0.0, 3.0, 34, UTM_ZoneOverrideError, -1},
        {"override 60 from zone 1", 0.0, -179.9, 60, 0, 60},
        {"override 1 from zone 60", 0.0, 179.9, 1, 0, 1},
        {"latitude -80.5 accepted", -80.5, 3.0, 0, 0, 31},
        {"latitude -80.6 refused", -80.6, 3.0, 0, UTM_LatitudeError, -1},
        {"latitude 84.6 refused", 84.6, 3.0, 0, UTM_LatitudeError, -1},
        {"longitude 361 refused", 0.0, 361.0, 0, UTM_LongitudeError, -1},
        {"both refused", 85.0, -181.0, 0, UTM_LatitudeError | UTM_LongitudeError, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(UtmSetParameters(kWgs84A, kWgs84F, c.overrideZone), 0u);
        std::int32_t zone = -1;
        char h = '?';
        double e = -1.0, n = -1.0;
        EXPECT_EQ(UtmForward(Rad(c.lat), Rad(c.lon), zone, h, e, n), c.flags);
        EXPECT_EQ(zone, c.zone);
        if (c.flags != 0) {
            EXPECT_EQ(e, -1.0); // nothing written
        }
    }
}

TEST_F(UtmUpsModules, UtmOverrideOnZone60WestOfTheAntimeridianIsMeasuredFrom183) {
    // A point in zone 60 forced into zone 1 lies west of zone 1's meridian.
    ASSERT_EQ(UtmSetParameters(kWgs84A, kWgs84F, 1), 0u);
    std::int32_t zone = 0;
    char h = '?';
    double e = 0.0, n = 0.0;
    EXPECT_EQ(UtmForward(0.0, Rad(179.5), zone, h, e, n), 0u);
    EXPECT_EQ(zone, 1);
    EXPECT_LT(e, 500000.0);
    EXPECT_GT(e, 100000.0);
}

TEST_F(UtmUpsModules, UtmEastingBeyondTheGridIsFlaggedButWritten) {
    // 20 degrees from the meridian of an overridden zone at the equator.
    ASSERT_EQ(UtmSetParameters(kWgs84A, kWgs84F, 0), 0u);
    std::int32_t zone = 0;
    char h = '?';
    double e = 0.0, n = 0.0;
    ASSERT_EQ(UtmSetParameters(kWgs84A, kWgs84F, 30), 0u);
    // Computed zone 31 at 5.9 E; zone 30's meridian is -3: 8.9 degrees away.
    const std::uint32_t flags = UtmForward(0.0, Rad(5.9), zone, h, e, n);
    EXPECT_EQ(zone, 30);
    EXPECT_GT(e, 900000.0);
    EXPECT_EQ(flags, UTM_EastingError);
}

TEST_F(UtmUpsModules, SetParameterChecksAreOred) {
    struct Case {
        double a, f;
        std::int32_t overrideZone;
        std::uint32_t utmFlags, upsFlags;
    };
    const Case cases[] = {
        {kWgs84A, kWgs84F, 0, 0, 0},
        {kWgs84A, kWgs84F, 60, 0, 0},
        {kWgs84A, kWgs84F, 61, UTM_ZoneOverrideError, 0},
        {kWgs84A, kWgs84F, -1, UTM_ZoneOverrideError, 0},
        {0.0, kWgs84F, 0, UTM_SemiMajorAxisError, UPS_SemiMajorAxisError},
        {kWgs84A, 1.0 / 249.9, 0, UTM_InverseFlatteningError, UPS_InverseFlatteningError},
        {-1.0, 0.0, 99, 0x01C0, 0x0060},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UtmSetParameters(c.a, c.f, c.overrideZone), c.utmFlags);
        EXPECT_EQ(UpsSetParameters(c.a, c.f), c.upsFlags);
    }
    double a = 0.0, f = 0.0;
    std::int32_t over = -1;
    UtmGetParameters(a, f, over);
    EXPECT_EQ(over, 60); // the last accepted set
}

TEST_F(UtmUpsModules, UtmInverseChecks) {
    struct Case {
        const char* what;
        std::int32_t zone;
        char hemisphere;
        double easting, northing;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {"zone 0 and hemisphere X", 0, 'X', 500000.0, 0.0, UTM_ZoneError | UTM_HemisphereError},
        {"zone 61", 61, 'N', 500000.0, 0.0, UTM_ZoneError},
        {"lower-case n", 31, 'n', 500000.0, 0.0, UTM_HemisphereError},
        {"easting 99999", 31, 'N', 99999.0, 0.0, UTM_EastingError},
        {"easting 900001", 31, 'N', 900001.0, 0.0, UTM_EastingError},
        {"northing -1", 31, 'N', 500000.0, -1.0, UTM_NorthingError},
        {"northing beyond 10000000", 31, 'S', 500000.0, 10000001.0, UTM_NorthingError},
        {"north of 84.5", 31, 'N', 500000.0, 9400000.0, UTM_NorthingError},
        {"south of -80.5", 31, 'S', 500000.0, 1000000.0, UTM_NorthingError},
        {"limits inclusive", 31, 'N', 100000.0, 0.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double lat = 0.0, lon = 0.0;
        EXPECT_EQ(UtmInverse(c.zone, c.hemisphere, c.easting, c.northing, lat, lon), c.flags);
    }
}

TEST_F(UtmUpsModules, UpsChecks) {
    struct ForwardCase {
        const char* what;
        double lat, lon;
        std::uint32_t flags;
    };
    const ForwardCase forward[] = {
        {"83.5 accepted", 83.5, 0.0, 0},
        {"83.4 refused", 83.4, 0.0, UPS_LatitudeError},
        {"equator refused", 0.0, 0.0, UPS_LatitudeError},
        {"-79.5 accepted", -79.5, 0.0, 0},
        {"-79.4 refused", -79.4, 0.0, UPS_LatitudeError},
        {"beyond the pole", 90.1, 0.0, UPS_LatitudeError},
        {"longitude 361", 85.0, 361.0, UPS_LongitudeError},
        {"longitude -181", 85.0, -181.0, UPS_LongitudeError},
    };
    for (const ForwardCase& c : forward) {
        SCOPED_TRACE(c.what);
        char h = '?';
        double e = -1.0, n = -1.0;
        EXPECT_EQ(UpsForward(Rad(c.lat), Rad(c.lon), h, e, n), c.flags);
        if (c.flags) {
            EXPECT_EQ(e, -1.0);
        }
    }

    struct InverseCase {
        const char* what;
        char hemisphere;
        double easting, northing;
        std::uint32_t flags;
    };
    const InverseCase inverse[] = {
        {"pole", 'N', 2000000.0, 2000000.0, 0},
        {"hemisphere X", 'X', 2000000.0, 2000000.0, UPS_HemisphereError},
        {"easting -1", 'S', -1.0, 2000000.0, UPS_EastingError},
        {"northing 4000001", 'S', 2000000.0, 4000001.0, UPS_NorthingError},
        {"all three", 'Q', 4000001.0, -1.0, 0x1C},
        {"too far from the pole", 'N', 2000000.0, 4000000.0, UPS_LatitudeError},
    };
    for (const InverseCase& c : inverse) {
        SCOPED_TRACE(c.what);
        double lat = 0.0, lon = 0.0;
        EXPECT_EQ(UpsInverse(c.hemisphere, c.easting, c.northing, lat, lon), c.flags);
    }
}

// Through the engine: the zone override comes from the parameter record,
// and the module flags land on the side that raised them.
class UtmUpsEngine : public UtmUpsModules {
protected:
    static constexpr int kS = 0;
    void SetUp() override {
        UtmUpsModules::SetUp();
        std::uint32_t wge = 0;
        ASSERT_EQ(GeoEngineGetDatumIndex("WGE", wge), 0u);
        for (int d = 0; d < 2; ++d) {
            ASSERT_EQ(GeoEngineSetDatum(kS, d, wge), 0u);
            ASSERT_EQ(GeoEngineSetSystem(kS, d, CSYS_Geodetic), 0u);
            ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, d, GEH_NoHeight), 0u);
        }
    }
    static std::uint32_t Status(int direction) {
        GeoEngineState side{};
        EXPECT_EQ(GeoEngineGetState(kS, direction, side), 0u);
        return side.status;
    }
};

TEST_F(UtmUpsEngine, GeodeticToUtmAndBack) {
    // 60 N 5 E, from the reference table: Norway's zone 32.
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(5.0), Rad(60.0), 0.0), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    UtmCoordinates u{};
    ASSERT_EQ(GeoEngineGetUtmCoordinates(kS, 1, u), 0u);
    EXPECT_EQ(u.zone, 32);
    EXPECT_EQ(u.hemisphere, 'N');
    EXPECT_NEAR(u.easting, 276979.9264, kMillimetre);
    EXPECT_NEAR(u.northing, 6658157.2024, kMillimetre);

    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Utm), 0u);
    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 276979.9264, 6658157.2024, 32, 'N'), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 1, GEH_NoHeight), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(Deg(g.latitude), 60.0, kMillimetreDegrees);
    EXPECT_NEAR(Deg(g.longitude), 5.0, kMillimetreDegrees);
}

TEST_F(UtmUpsEngine, UtmInverseFarOutInAWidenedZoneNearThePoleIsAnswered) {
    // 75 N 10 E lies 5 degrees from zone 33's meridian, beyond 9 cos(75)
    // degrees, where UTM's own forward conversion puts it.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Utm), 0u);
    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 355706.5666, 8329692.6507, 33, 'N'), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(Deg(g.latitude), 75.0, kMillimetreDegrees);
    EXPECT_NEAR(Deg(g.longitude), 10.0, kMillimetreDegrees);
}

TEST_F(UtmUpsModules, UtmInverseRefusesPointsBeyondNineDegreesFromTheMeridian) {
    struct Case {
        double lat, offset; // degrees from zone 33's meridian
        std::uint32_t flags;
    };
    const Case cases[] = {
        {80.0, 6.0, 0},
        {80.0, -8.9, 0},
        {80.0, 9.2, UTM_EastingError},
        {80.0, -9.2, UTM_EastingError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.offset);
        ASSERT_EQ(TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, Rad(15.0), 500000.0, 0.0,
                                                  0.9996),
                  0u);
        double e = 0.0, n = 0.0;
        TransverseMercatorForward(Rad(c.lat), Rad(15.0 + c.offset), e, n);
        double lat = 0.0, lon = 0.0;
        EXPECT_EQ(UtmInverse(33, 'N', e, n, lat, lon), c.flags);
    }
}

TEST_F(UtmUpsEngine, OverrideIsUsedOnlyWhenItsFlagIsSet) {
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(5.5), Rad(10.0), 0.0), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    struct Case {
        std::int32_t zone, overrideFlag;
        std::uint32_t code, outputStatus;
        std::int32_t resultZone;
    };
    const Case cases[] = {
        {32, 0, 0, 0, 31},
        {32, 1, 0, 0, 32},
        {34, 0, 0, 0, 31},
        {34, 1, GEC_OutputError, GES_ZoneError, 0},
        {61, 1, GEC_OutputError, GES_ZoneOverrideError, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.overrideFlag);
        ASSERT_EQ(GeoEngineSetUtmParameters(kS, 1, c.zone, c.overrideFlag), 0u);
        ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 1, 0.0, 0.0, 0, 'N'), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), c.code);
        EXPECT_EQ(Status(1), c.outputStatus);
        UtmCoordinates u{};
        ASSERT_EQ(GeoEngineGetUtmCoordinates(kS, 1, u), 0u);
        EXPECT_EQ(u.zone, c.resultZone); // nothing written on an error
    }
}

TEST_F(UtmUpsEngine, InputFlagsMapToTheInputStatus) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::int32_t zone;
        char hemisphere;
        double easting, northing;
        std::uint32_t inputStatus;
    };
    const Case cases[] = {
        {"UTM zone 0, hemisphere X", CSYS_Utm, 0, 'X', 500000.0, 0.0,
         GES_ZoneError | GES_HemisphereError},
        {"UTM easting", CSYS_Utm, 31, 'N', 99999.0, 0.0, GES_EastingError},
        {"UTM beyond 84.5", CSYS_Utm, 31, 'N', 500000.0, 9400000.0, GES_NorthingError},
        {"UPS hemisphere", CSYS_Ups, 0, 'X', 2000000.0, 2000000.0, GES_HemisphereError},
        {"UPS easting", CSYS_Ups, 0, 'N', -1.0, 2000000.0, GES_EastingError},
        {"UPS northing", CSYS_Ups, 0, 'S', 2000000.0, 4000001.0, GES_NorthingError},
        {"UPS outside the cap", CSYS_Ups, 0, 'N', 2000000.0, 4000000.0, GES_LatitudeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(GeoEngineSetSystem(kS, 0, c.type), 0u);
        if (c.type == CSYS_Utm)
            ASSERT_EQ(
                GeoEngineSetUtmCoordinates(kS, 0, c.easting, c.northing, c.zone, c.hemisphere), 0u);
        else
            ASSERT_EQ(GeoEngineSetUpsCoordinates(kS, 0, c.hemisphere, c.easting, c.northing), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
        EXPECT_EQ(Status(0), c.inputStatus);
    }
}

TEST_F(UtmUpsEngine, UtmToUpsAtTheOverlapAndUpsOutputRefusesTheUtmBand) {
    // 84 N 3 E in zone 31 (GeoConvert -u -z 31n: 31n 500000.0000 9328093.8306)
    // and in UPS (GeoConvert -u -z 0: n 2034893.8319 1334186.0235).
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Utm), 0u);
    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 500000.0, 9328093.8306, 31, 'N'), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Ups), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    UpsCoordinates p{};
    ASSERT_EQ(GeoEngineGetUpsCoordinates(kS, 1, p), 0u);
    EXPECT_EQ(p.hemisphere, 'N');
    EXPECT_NEAR(p.easting, UpsFromReference(2034893.8319), kMillimetre);
    EXPECT_NEAR(p.northing, UpsFromReference(1334186.0235), kMillimetre);

    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 500000.0, 5000000.0, 31, 'N'), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
    EXPECT_EQ(Status(1), GES_LatitudeError);
}

} // namespace
