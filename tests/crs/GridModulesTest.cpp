#include "crs/engine/BritishNationalGrid.h"
#include "crs/engine/Gars.h"
#include "crs/engine/Georef.h"
#include "crs/engine/Nzmg.h"
#include "crs/engine/TransverseMercator.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace crstest;

namespace {

struct GridPoint {
    double lat, lon;
    double easting, northing;
};

// ---- New Zealand Map Grid ----

// Made by PROJ's cs2cs (+proj=nzmg): sh tools/make_grid_reference.sh
const GridPoint kNzmg[] = {
    {-41, 173, 2510000.0000, 6023150.0000},
    {-36.8485, 174.7633, 2667665.9324, 6482380.3138},
    {-45.8788, 170.5028, 2316008.4680, 5478214.7814},
    {-43.5321, 172.6362, 2480614.5269, 5741827.0255},
    {-34.5, 172.7, 2483497.1259, 6744846.0660},
    {-47.9, 166.5, 2023732.4705, 5237205.5306},
    {-39.3, 177.9, 2932489.2556, 6200233.3261},
    {-41.2865, 174.7762, 2658777.2366, 5989819.7802},
    {-46.6, 168.3, 2149752.8344, 5390750.5701},
    {-37.8, 179.9, 3117349.9021, 6355070.0391},
};

TEST(NzmgModule, AgreesWithProjWithinAMillimetre) {
    for (const GridPoint& p : kNzmg) {
        SCOPED_TRACE(testing::Message() << p.lat << " " << p.lon);
        double e = 0.0, n = 0.0;
        ASSERT_EQ(NzmgForward(Rad(p.lat), Rad(p.lon), e, n), 0u);
        EXPECT_NEAR(e, p.easting, kMillimetre);
        EXPECT_NEAR(n, p.northing, kMillimetre);
        double lat = 0.0, lon = 0.0;
        ASSERT_EQ(NzmgInverse(p.easting, p.northing, lat, lon), 0u);
        EXPECT_NEAR(Deg(lat), p.lat, kMillimetreDegrees);
        EXPECT_NEAR(Deg(lon), p.lon, kMillimetreDegrees);
    }
}

TEST(NzmgModule, Checks) {
    EXPECT_EQ(NzmgSetParameters("IN"), 0u);
    for (const char* code : {"WE", "in", "", "INX"})
        EXPECT_EQ(NzmgSetParameters(code), NZMG_EllipsoidError) << code;

    struct ForwardCase {
        double lat, lon;
        std::uint32_t flags;
    };
    const ForwardCase forward[] = {
        {-33.5, 165.5, 0},
        {-48.5, 180.0, 0},
        {-33.4, 170.0, NZMG_LatitudeError},
        {-48.6, 170.0, NZMG_LatitudeError},
        {-40.0, 165.4, NZMG_LongitudeError},
        {-40.0, -179.0, NZMG_LongitudeError},
        {0.0, 0.0, NZMG_LatitudeError | NZMG_LongitudeError},
    };
    for (const ForwardCase& c : forward) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        double e = -1.0, n = -1.0;
        EXPECT_EQ(NzmgForward(Rad(c.lat), Rad(c.lon), e, n), c.flags);
        if (c.flags) {
            EXPECT_EQ(e, -1.0);
        }
    }

    struct InverseCase {
        double easting, northing;
        std::uint32_t flags;
        bool written;
    };
    const InverseCase inverse[] = {
        {1809999.0, 6000000.0, NZMG_EastingError, false},
        {3170001.0, 6000000.0, NZMG_EastingError, false},
        {2500000.0, 5159999.0, NZMG_NorthingError, false},
        {2500000.0, 6900001.0, NZMG_NorthingError, false},
        // Inside the grid's box but west of 165.5 degrees: still answered.
        {1810000.0, 6000000.0, NZMG_LongitudeError, true},
    };
    for (const InverseCase& c : inverse) {
        SCOPED_TRACE(testing::Message() << c.easting << " " << c.northing);
        double lat = 1.0, lon = 1.0;
        EXPECT_EQ(NzmgInverse(c.easting, c.northing, lat, lon), c.flags);
        EXPECT_EQ(lat != 1.0, c.written);
    }
}

// ---- British National Grid ----

struct BngPoint {
    double lat, lon;
    double easting, northing; // cs2cs EPSG:4277 -> EPSG:27700
    const char* bng;          // at precision 5, letters by hand
};

// Eastings and northings by PROJ's cs2cs: sh tools/make_grid_reference.sh
const BngPoint kBng[] = {
    {51.5007, -0.1246, 530156.9542, 179694.7037, "TQ3015779695"},
    {55.9486, -3.1999, 325074.8672, 673485.7889, "NT2507573486"},
    {50.0657, -5.7132, 134306.7084, 25075.4790, "SW3430725075"},
    {58.6373, -3.0689, 337952.3362, 972610.3666, "ND3795272610"},
    {52.4862, -1.8904, 407441.5966, 287633.4559, "SP0744287633"},
    {54.9783, -1.6178, 424459.5389, 564929.8880, "NZ2446064930"},
    {49.9225, -6.2960, 91702.4288, 11400.9003, "SV9170211401"},
    {60.8, -0.9, 459860.3329, 1213440.1940, "HP5986013440"},
    {53.4, -2.9, 340166.8328, 389647.9240, "SJ4016789648"},
    {57.1497, -2.0943, 394295.0517, 806518.7753, "NJ9429506519"},
    // A metre west of the false origin is written at easting 0.
    {49.7751380038, -7.5574891527, -1.0000, 1000.0000, "SV0000001000"},
};

class BngModule : public ::testing::Test {
protected:
    void TearDown() override {
        TransverseMercatorSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0, 1.0);
    }
};

TEST_F(BngModule, AgreesWithProj) {
    for (const BngPoint& p : kBng) {
        SCOPED_TRACE(p.bng);
        char text[BNG_StringSize] = {};
        ASSERT_EQ(BngForward(Rad(p.lat), Rad(p.lon), 5, text), 0u);
        EXPECT_EQ(std::string(text), p.bng);

        // The module's own grid coordinates, a millimetre from PROJ's.
        ASSERT_EQ(BngSetParameters("AA"), 0u);
        double e = 0.0, n = 0.0;
        ASSERT_EQ(TransverseMercatorForward(Rad(p.lat), Rad(p.lon), e, n), 0u);
        EXPECT_NEAR(e, p.easting, kMillimetre);
        EXPECT_NEAR(n, p.northing, kMillimetre);

        // The string read back: the corner of its metre square.
        if (p.easting < 0.0)
            continue;
        double lat = 0.0, lon = 0.0;
        ASSERT_EQ(BngInverse(p.bng, lat, lon), 0u);
        double refLat = 0.0, refLon = 0.0;
        ASSERT_EQ(BngSetParameters("AA"), 0u);
        ASSERT_EQ(TransverseMercatorInverse(std::floor(p.easting + 0.5),
                                            std::floor(p.northing + 0.5), refLat, refLon),
                  0u);
        EXPECT_NEAR(lat, refLat, kMillimetreRadians);
        EXPECT_NEAR(lon, refLon, kMillimetreRadians);
    }
}

TEST_F(BngModule, PrecisionRoundsHalfToEven) {
    struct Case {
        long precision;
        const char* bng;
    };
    // 530156.9542 179694.7037 (London): rounded, the 100 km square may
    // change.
    const Case cases[] = {
        {5, "TQ3015779695"}, {3, "TQ302797"}, {1, "TQ38"}, {0, "TL"}, {9, "TQ3015779695"}};
    for (const Case& c : cases) {
        char text[BNG_StringSize] = {};
        ASSERT_EQ(BngForward(Rad(51.5007), Rad(-0.1246), c.precision, text), 0u);
        EXPECT_STREQ(text, c.bng);
    }
}

TEST_F(BngModule, Checks) {
    EXPECT_EQ(BngSetParameters("AA"), 0u);
    EXPECT_EQ(BngSetParameters("WE"), BNG_EllipsoidError);
    char code[3] = {};
    BngGetParameters(code);
    EXPECT_STREQ(code, "AA");

    struct ForwardCase {
        double lat, lon;
        std::uint32_t flags;
    };
    const ForwardCase forward[] = {
        {49.4, 0.0, BNG_LatitudeError},
        {61.6, 0.0, BNG_LatitudeError},
        {55.0, -10.1, BNG_LongitudeError},
        {55.0, 3.6, BNG_LongitudeError},
        {0.0, 90.0, BNG_LatitudeError | BNG_LongitudeError},
        // Three metres west of the false origin: no square.
        {49.7751366736, -7.5575168021, BNG_GridAreaError},
        // Inside the ranges, outside the grid's limits.
        {61.4, 3.4, BNG_GridAreaError},
    };
    for (const ForwardCase& c : forward) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        char text[BNG_StringSize] = "unchanged";
        EXPECT_EQ(BngForward(Rad(c.lat), Rad(c.lon), 5, text), c.flags);
        EXPECT_STREQ(text, "unchanged");
    }

    struct InverseCase {
        const char* text;
        std::uint32_t flags;
    };
    const InverseCase inverse[] = {
        {"SV 0000000000", 0}, // blanks before and after the letters
        {"  tq3080", 0},
        {"TQ", 0},
        {"T", BNG_StringError},
        {"TQ123", BNG_StringError},
        {"TQ123456789012", BNG_StringError},
        {"TQ12 34", BNG_StringError},
        {"T1", BNG_StringError},
        // Letter pairs that name no square of the grid.
        {"HA", BNG_GridAreaError},
        {"HL", 0},
        {"JA", BNG_GridAreaError},
        {"JM", 0},
        {"NV", BNG_GridAreaError},
        {"NA", 0},
        {"OC", BNG_GridAreaError},
        {"OV", 0},
        {"SA", BNG_GridAreaError},
        {"SV", 0},
        {"TD", BNG_GridAreaError},
        {"TQ", 0},
        {"AA", BNG_GridAreaError},
        {"SI", BNG_GridAreaError},
        // The square exists, the point is outside the grid's limits.
        {"SV0000000000", 0},
        {"JM9999999999", BNG_GridAreaError},
    };
    for (const InverseCase& c : inverse) {
        SCOPED_TRACE(c.text);
        double lat = -1.0, lon = -1.0;
        EXPECT_EQ(BngInverse(c.text, lat, lon), c.flags);
        EXPECT_EQ(lat == -1.0, c.flags != 0);
    }
}

// ---- GARS ----

TEST(GarsModule, Forward) {
    struct Case {
        double lat, lon;
        long precision;
        const char* gars;
    };
    // By hand: band = 30-minute columns from 180 W plus one; letters =
    // 30-minute rows from 90 S (24 letters a first letter); quadrant and
    // keypad numbered from the north-west.
    const Case cases[] = {
        {0.1, 0.1, 2, "361HN35"},
        {0.1, 0.1, 1, "361HN3"},
        {0.1, 0.1, 0, "361HN"},
        {0.1, 0.1, 5, "361HN35"},
        {-89.75, -179.75, 2, "001AA27"},
        {-89.99, -179.99, 2, "001AA37"},
        {90.0, 0.0, 2, "361QZ11"}, // the pole: the northernmost cell
        {90.0, 179.99, 2, "720QZ23"},
        {0.0, 180.0, 2, "001HN37"}, // 180 E is 180 W
        {0.0, 359.9, 2, "360HN48"}, // 0.1 W
        {38.8895, -77.0353, 2, "206LT26"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon << " " << c.precision);
        char text[GARS_StringSize] = {};
        ASSERT_EQ(GarsForward(Rad(c.lat), Rad(c.lon), c.precision, text), 0u);
        EXPECT_STREQ(text, c.gars);
    }
    char text[GARS_StringSize] = "x";
    EXPECT_EQ(GarsForward(Rad(90.1), 0.0, 2, text), GARS_LatitudeError);
    EXPECT_EQ(GarsForward(0.0, Rad(360.1), 2, text), GARS_LongitudeError);
    EXPECT_EQ(GarsForward(0.0, Rad(-180.1), 2, text), GARS_LongitudeError);
    EXPECT_EQ(GarsForward(0.0, 0.0, 6, text), GARS_PrecisionError);
    EXPECT_EQ(GarsForward(Rad(-91.0), Rad(400.0), -1, text), 0x83u);
    EXPECT_STREQ(text, "x");
}

TEST(GarsModule, InverseGivesTheCentreOfTheArea) {
    struct Case {
        const char* gars;
        std::uint32_t flags;
        double lat, lon;
    };
    const Case cases[] = {
        {"001AA", 0, -89.75, -179.75},
        {"361HN37", 0, 2.5 / 60.0, 2.5 / 60.0},
        {"361hn3", 0, 7.5 / 60.0, 7.5 / 60.0},
        {"720QZ2", 0, 89.875, 179.875},
        {"206LT26", 0, 38.875, -77.041666666666667},
        {"001A", GARS_StringError, 0, 0},
        {"001AA123", GARS_StringError, 0, 0},
        {"00AAA", GARS_StringError, 0, 0},
        // Bands beyond 001..720 and first letters beyond Q lie off the globe.
        {"000AA", GARS_StringError, 0, 0},
        {"721AA", GARS_StringError, 0, 0},
        {"001RA", GARS_Letter1Error, 0, 0},
        {"0011A", GARS_Letter1Error, 0, 0},
        {"001IA", GARS_Letter1Error, 0, 0},
        {"001A1", GARS_Letter2Error, 0, 0},
        {"001AO", GARS_Letter2Error, 0, 0},
        {"001AA5", GARS_QuadrantError, 0, 0},
        {"001AA0", GARS_QuadrantError, 0, 0},
        {"001AA10", GARS_KeypadError, 0, 0},
        {"001!!0!", GARS_Letter1Error | GARS_Letter2Error | GARS_QuadrantError | GARS_KeypadError,
         0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gars);
        double lat = -1.0, lon = -1.0;
        EXPECT_EQ(GarsInverse(c.gars, lat, lon), c.flags);
        if (c.flags) {
            EXPECT_EQ(lat, -1.0);
            continue;
        }
        EXPECT_NEAR(Deg(lat), c.lat, 1e-12);
        EXPECT_NEAR(Deg(lon), c.lon, 1e-12);
    }
}

// ---- GEOREF ----

TEST(GeorefModule, Forward) {
    struct Case {
        double lat, lon;
        long precision;
        const char* georef;
    };
    // By hand; 38.2861 N 76.4291 W is the usual worked example (GJPJ3417).
    const Case cases[] = {
        {38.2861, -76.4291, 2, "GJPJ3417"},
        {38.2861, -76.4291, 0, "GJPJ"},
        {38.2861, -76.4291, 1, "GJPJ3020"},
        {38.2861, -76.4291, 3, "GJPJ343172"},
        {38.2861, -76.4291, 5, "GJPJ3425417166"},
        {-90.0, -180.0, 5, "AAAA0000000000"},
        {90.0, 180.0, 5, "ZMQQ5999959999"}, // the far edges
        {90.0, 180.0, 2, "ZMQQ5959"},
        {90.0, 0.0, 3, "NMAQ000599"},
        {0.0, 359.5, 2, "MGQA3000"}, // above 180 is taken west
        {0.0, 0.0, 4, "NGAA00000000"},
        {59.99999, 10.99999, 2, "NKLQ5959"}, // 59.9994 minutes would round to 60
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon << " " << c.precision);
        char text[GEOREF_StringSize] = {};
        ASSERT_EQ(GeorefForward(Rad(c.lat), Rad(c.lon), c.precision, text), 0u);
        EXPECT_STREQ(text, c.georef);
    }
    char text[GEOREF_StringSize] = "x";
    EXPECT_EQ(GeorefForward(Rad(90.1), 0.0, 2, text), GEOREF_LatitudeError);
    EXPECT_EQ(GeorefForward(0.0, Rad(-180.1), 2, text), GEOREF_LongitudeError);
    EXPECT_EQ(GeorefForward(0.0, 0.0, 6, text), GEOREF_PrecisionError);
    EXPECT_STREQ(text, "x");
}

TEST(GeorefModule, Inverse) {
    struct Case {
        const char* georef;
        std::uint32_t flags;
        double lat, lon;
    };
    const Case cases[] = {
        {"GJPJ3417", 0, 38.0 + 17.0 / 60.0, -77.0 + 34.0 / 60.0},
        {"gjpj341172", 0, 38.0 + 17.2 / 60.0, -77.0 + 34.1 / 60.0},
        {"GJPJ", 0, 38.0, -77.0},
        {"NGAA0000000000", 0, 0.0, 0.0},
        {"ZMQQ6060", 0, 90.0, 180.0},
        {"GJP", GEOREF_StringError, 0, 0},
        {"GJPJ1", GEOREF_StringError, 0, 0},
        {"GJPJ123456789012", GEOREF_StringError, 0, 0},
        {"IJPJ", GEOREF_LongitudeLetterError, 0, 0},
        {"1JPJ", GEOREF_LongitudeLetterError, 0, 0},
        {"GJRJ", GEOREF_LongitudeLetterError, 0, 0}, // degree letter beyond Q
        {"GOPJ", GEOREF_LatitudeLetterError, 0, 0},
        {"GNPJ", GEOREF_LatitudeLetterError, 0, 0}, // tile letter beyond M
        {"GJPR", GEOREF_LatitudeLetterError, 0, 0},
        {"GJPJ6117", GEOREF_LongitudeMinutesError, 0, 0},
        {"GJPJ3x17", GEOREF_LongitudeMinutesError, 0, 0},
        {"GJPJ3461", GEOREF_LatitudeMinutesError, 0, 0},
        {"GJPJ34x7", GEOREF_LatitudeMinutesError, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.georef);
        double lat = -1.0, lon = -1.0;
        EXPECT_EQ(GeorefInverse(c.georef, lat, lon), c.flags);
        if (c.flags) {
            EXPECT_EQ(lat, -1.0);
            continue;
        }
        EXPECT_NEAR(Deg(lat), c.lat, 1e-12);
        EXPECT_NEAR(Deg(lon), c.lon, 1e-12);
    }
}

} // namespace
