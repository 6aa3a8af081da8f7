// The grid modules driven through the engine: strings on the sides' records,
// the grid precision, the direct MGRS/USNG <-> UTM/UPS paths and the flags
// on the side that raised them.

#include "crs/engine/GeoEngine.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace crstest;

namespace {

constexpr int kS = 1;

class GridEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GeoEngineInitialize(), 0u);
        ASSERT_EQ(GeoEngineGetDatumIndex("WGE", wge_), 0u);
        for (int d = 0; d < 2; ++d) {
            ASSERT_EQ(GeoEngineSetDatum(kS, d, wge_), 0u);
            ASSERT_EQ(GeoEngineSetSystem(kS, d, CSYS_Geodetic), 0u);
            ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, d, GEH_NoHeight), 0u);
        }
    }
    void TearDown() override { GeoEngineSetGridPrecision(5); }

    static std::uint32_t Status(int direction) {
        GeoEngineState side{};
        EXPECT_EQ(GeoEngineGetState(kS, direction, side), 0u);
        return side.status;
    }
    static std::string Text(std::uint32_t type) {
        char text[kGridTextSize] = {};
        EXPECT_EQ(GeoEngineGetGridCoordinates(kS, 1, type, text), 0u);
        return text;
    }
    void GeodeticInput(double lat, double lon) {
        ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Geodetic), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(lon), Rad(lat), 0.0), 0u);
    }
    void GeodeticOutput() {
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 1, GEH_NoHeight), 0u);
    }
    static GeodeticCoordinates Geodetic() {
        GeodeticCoordinates g{};
        EXPECT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
        return g;
    }

    std::uint32_t wge_ = 0;
};

TEST_F(GridEngine, GeodeticToEveryGridStringAtTheEnginesPrecision) {
    struct Case {
        std::uint32_t type;
        double lat, lon;
        int precision;
        const char* text;
    };
    // Strings from the modules' own tests (GeoConvert for MGRS and USNG).
    const Case cases[] = {
        {CSYS_Mgrs, 51.4779, -0.0015, 5, "30UYC0821307235"},
        {CSYS_Mgrs, 51.4779, -0.0015, 2, "30UYC0807"},
        {CSYS_Mgrs, 51.4779, -0.0015, 9, "30UYC0821307235"}, // held to 5
        {CSYS_Mgrs, 51.4779, -0.0015, -3, "30UYC"},          // held to 0
        {CSYS_Usng, 51.4779, -0.0015, 4, "30UYC08210724"},
        {CSYS_Mgrs, 86.1, 120.3, 5, "  ZFK7398218537"},
        {CSYS_Gars, 0.1, 0.1, 5, "361HN35"},
        {CSYS_Gars, 0.1, 0.1, 0, "361HN"},
        {CSYS_Georef, 38.2861, -76.4291, 2, "GJPJ3417"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(GeoEngineSetGridPrecision(c.precision), 0u);
        GeodeticInput(c.lat, c.lon);
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, c.type), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), 0u);
        EXPECT_EQ(Text(c.type), c.text);
    }
}

TEST_F(GridEngine, GridStringsToGeodetic) {
    struct Case {
        std::uint32_t type;
        const char* text;
        std::uint32_t code, inputStatus;
        double lat, lon;
    };
    const Case cases[] = {
        // GeoConvert -n: the square's south-west corner.
        {CSYS_Mgrs, "30UYC0821307235", 0, 0, 51.47789425147135, -0.00150750686741},
        {CSYS_Usng, "30UYC0821307235", 0, 0, 51.47789425147135, -0.00150750686741},
        {CSYS_Gars, "001AA", 0, 0, -89.75, -179.75},
        {CSYS_Georef, "GJPJ3417", 0, 0, 38.0 + 17.0 / 60.0, -77.0 + 34.0 / 60.0},
        {CSYS_Mgrs, "31NIA", GEC_InputError, GES_StringError, 0, 0},
        {CSYS_Mgrs, "30TYC0821307235", GEC_InputError, GES_LatitudeError, 0, 0},
        {CSYS_Gars, "001AA5", GEC_InputError, GES_LongitudeMinutesError, 0, 0},
        {CSYS_Gars, "001AA10", GEC_InputError, GES_LatitudeMinutesError, 0, 0},
        {CSYS_Georef, "GJPJ6117", GEC_InputError, GES_LongitudeMinutesError, 0, 0},
        {CSYS_Georef, "GJPJ3461", GEC_InputError, GES_LatitudeMinutesError, 0, 0},
        {CSYS_Georef, "GJP", GEC_InputError, GES_StringError, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(GeoEngineSetSystem(kS, 0, c.type), 0u);
        ASSERT_EQ(GeoEngineSetGridCoordinates(kS, 0, c.type, c.text), 0u);
        GeodeticOutput();
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 1, -1.0, -1.0, 0.0), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), c.code);
        EXPECT_EQ(Status(0), c.inputStatus);
        const GeodeticCoordinates g = Geodetic();
        if (c.code) {
            EXPECT_EQ(g.latitude, -1.0); // left as it was
            continue;
        }
        EXPECT_NEAR(Deg(g.latitude), c.lat, kMillimetreDegrees);
        EXPECT_NEAR(Deg(g.longitude), c.lon, kMillimetreDegrees);
    }
}

TEST_F(GridEngine, AUsngStringOutsideItsBandIsAWarningWithAResult) {
    // The square of 51.4779 N (band U) named with band T. Before the mend
    // the warning skipped the datum stage and the output was made from an
    // empty point.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Usng), 0u);
    ASSERT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Usng, "30TYC0821307235"), 0u);
    GeodeticOutput();
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputWarning);
    EXPECT_EQ(Status(0), GES_GridWarning);
    const GeodeticCoordinates g = Geodetic();
    EXPECT_NEAR(Deg(g.latitude), 51.47789425147135, kMillimetreDegrees);
    EXPECT_NEAR(Deg(g.longitude), -0.00150750686741, kMillimetreDegrees);

    // The same straight to UTM.
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputWarning);
    UtmCoordinates u{};
    ASSERT_EQ(GeoEngineGetUtmCoordinates(kS, 1, u), 0u);
    EXPECT_EQ(u.zone, 30);
    EXPECT_NEAR(u.northing, 5707235.0, kMillimetre);

    // MGRS refuses it.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Mgrs), 0u);
    ASSERT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Mgrs, "30TYC0821307235"), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Status(0), GES_LatitudeError);
}

TEST_F(GridEngine, DirectPathsBetweenMgrsAndUtmOrUps) {
    // The string's UTM coordinates come over exactly.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Mgrs), 0u);
    ASSERT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Mgrs, "30UYC0821307235"), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), 0u);
    UtmCoordinates u{};
    ASSERT_EQ(GeoEngineGetUtmCoordinates(kS, 1, u), 0u);
    EXPECT_EQ(u.zone, 30);
    EXPECT_EQ(u.hemisphere, 'N');
    EXPECT_EQ(u.easting, 708213.0); // exact: no geodetic round trip
    EXPECT_EQ(u.northing, 5707235.0);

    // A polar square to UPS.
    ASSERT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Mgrs, "ZFK7398218537"), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Ups), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), 0u);
    UpsCoordinates p{};
    ASSERT_EQ(GeoEngineGetUpsCoordinates(kS, 1, p), 0u);
    EXPECT_EQ(p.hemisphere, 'N');
    EXPECT_EQ(p.easting, 2373982.0);
    EXPECT_EQ(p.northing, 2218537.0);

    // UTM to MGRS: zone 31 in south-west Norway is written in zone 32.
    // GeoConvert -u -z 31: 60 N 5 E is 31n 611544 6653097.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Utm), 0u);
    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 611544.0, 6653097.0, 31, 'N'), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Mgrs), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), 0u);
    EXPECT_EQ(Text(CSYS_Mgrs).substr(0, 3), "32V");

    // Flags land on the side that raised them.
    ASSERT_EQ(GeoEngineSetUtmCoordinates(kS, 0, 99999.0, 0.0, 0, 'X'), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Status(0), GES_ZoneError | GES_HemisphereError | GES_EastingError);
    EXPECT_EQ(Status(1), 0u);
}

TEST_F(GridEngine, TheBritishAndNewZealandGridsWantTheirOwnEllipsoids) {
    // None of the built-in datums is on Airy 1830 or International 1924:
    // both grids refuse to be set up and say so on their side.
    GeodeticInput(51.5, -0.12);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_BritishNationalGrid), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
    EXPECT_EQ(Status(1), GES_EllipsoidError);
    EXPECT_EQ(Text(CSYS_BritishNationalGrid), "SV 0000000000"); // untouched

    GeodeticInput(-41.0, 173.0);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_NewZealandMapGrid), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
    EXPECT_EQ(Status(1), GES_EllipsoidError);

    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_NewZealandMapGrid), 0u);
    ASSERT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, CSYS_NewZealandMapGrid, 2510000.0, 6023150.0),
              0u);
    GeodeticOutput();
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Status(0), GES_EllipsoidError);
}

TEST_F(GridEngine, GridRecordsAreCheckedByType) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Mgrs), 0u);
    EXPECT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Gars, "001AA"), GEE_InvalidType);
    EXPECT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Mgrs, std::string(kGridTextSize, '1')),
              GEE_InvalidCode);
    char text[kGridTextSize] = {};
    ASSERT_EQ(GeoEngineGetGridCoordinates(kS, 0, CSYS_Mgrs, text), 0u);
    EXPECT_STREQ(text, "31NEA0000000000"); // the default, kept
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Utm), 0u);
    EXPECT_EQ(GeoEngineSetGridCoordinates(kS, 0, CSYS_Utm, "x"), GEE_InvalidType);
    EXPECT_EQ(GeoEngineSetGridCoordinates(2, 0, CSYS_Utm, "x"), GEE_InvalidState);
}

TEST_F(GridEngine, UsngOnBesselLettersTheRowsFromAnotherStart) {
    std::uint32_t rt90 = 0;
    ASSERT_EQ(GeoEngineGetDatumIndex("RT90-7", rt90), 0u);
    ASSERT_EQ(GeoEngineSetGridPrecision(0), 0u);
    std::string strings[2];
    const std::uint32_t types[2] = {CSYS_Mgrs, CSYS_Usng};
    for (int i = 0; i < 2; ++i) {
        GeodeticInput(59.33, 18.07);
        ASSERT_EQ(GeoEngineSetDatum(kS, 0, rt90), 0u);
        ASSERT_EQ(GeoEngineSetDatum(kS, 1, rt90), 0u);
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, types[i]), 0u);
        ASSERT_EQ(GeoEngineConvert(kS), 0u);
        strings[i] = Text(types[i]);
    }
    // Same zone, band and column; the row letters differ.
    EXPECT_EQ(strings[0].substr(0, 4), strings[1].substr(0, 4));
    EXPECT_NE(strings[0][4], strings[1][4]);
}

} // namespace
