#include "crs/engine/GeoEngine.h"
#include "crs/engine/GeoEngineInternal.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace crstest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kS = 0;   // the tests use state 0; the reference-system converter uses 1
constexpr std::uint32_t kWge = 1, kWgc = 2, kRt90 = 3, kMonteMario = 5;

// Before the first GeoEngineInitialize every operation reports
// GEE_NotInitialized. The engine stays initialised for the life of the
// process, so this runs in a fresh process of its own.
int CheckUninitialisedEngine() {
    int failures = 0;
    auto expect = [&failures](std::uint32_t got, std::uint32_t want, const char* what) {
        if (got != want) {
            std::fprintf(stderr, "%s: got 0x%X, want 0x%X\n", what, got, want);
            ++failures;
        }
    };
    GeodeticCoordinates g{};
    ProjectedCoordinates p{};
    GeoEngineState side{};
    std::uint32_t index = 9;
    expect(GeoEngineSetSystem(0, 0, CSYS_Geodetic), 0x10, "SetSystem");
    expect(GeoEngineSetSystem(5, 2, CSYS_Geodetic), 0x1810, "SetSystem state 5 direction 2");
    expect(GeoEngineSetDatum(0, 0, 1), 0x10, "SetDatum");
    expect(GeoEngineSetDatum(5, 2, 0), 0x1810, "SetDatum state 5 direction 2 index 0");
    expect(GeoEngineSetGeodeticParameters(1, 1, 0), 0x10, "SetGeodeticParameters");
    expect(GeoEngineSetGeodeticCoordinates(5, 2, 0, 0, 0), 0x1810, "SetGeodeticCoordinates");
    expect(GeoEngineGetGeodeticCoordinates(0, 1, g), 0x10, "GetGeodeticCoordinates");
    expect(GeoEngineSetTransverseMercatorParameters(0, 0, 0, 0, 1, 0, 0), 0x10, "SetTMParameters");
    expect(GeoEngineGetMercatorCoordinates(1, 0, p), 0x10, "GetMercatorCoordinates");
    expect(GeoEngineGetState(0, 0, side), 0x10, "GetState");
    expect(GeoEngineGetDatumIndex("WGE", index), 0x10, "GetDatumIndex");
    expect(GeoEngineConvert(1), 0x10, "Convert");
    expect(GeoEngineConvert(2), 0x1010, "Convert state 2");
    expect(GeoEngineInitialize(), 0, "Initialize");
    expect(GeoEngineSetDatum(0, 0, 1), 0, "SetDatum after Initialize");
    return failures;
}

TEST(GeoEngineStart, EveryOperationBeforeInitialiseReportsNotInitialized) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(CheckUninitialisedEngine() == 0 ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

class GeoEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GeoEngineInitialize(), 0u);
        for (int d = 0; d < 2; ++d) {
            ASSERT_EQ(GeoEngineSetDatum(kS, d, kWge), 0u);
            ASSERT_EQ(GeoEngineSetSystem(kS, d, CSYS_Geodetic), 0u);
            ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, d, GEH_NoHeight), 0u);
        }
    }
    static GeoEngineState Side(int direction) {
        GeoEngineState side{};
        EXPECT_EQ(GeoEngineGetState(kS, direction, side), 0u);
        return side;
    }
    static void SetTransverseMercatorOutput(double cmDegrees) {
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_TransverseMercator), 0u);
        ASSERT_EQ(GeoEngineSetTransverseMercatorParameters(kS, 1, 0.0, Rad(cmDegrees), 0.9996, 500000.0, 0.0), 0u);
    }
};

TEST_F(GeoEngine, InitialiseTwiceSucceedsAndSelectsGeodeticWgs84Everywhere) {
    EXPECT_EQ(GeoEngineInitialize(), 0u);
    GeoEngineState side{};
    ASSERT_EQ(GeoEngineGetState(1, 1, side), 0u);
    EXPECT_EQ(side.datumIndex, 1u);
    EXPECT_EQ(side.type, static_cast<std::uint32_t>(CSYS_Geodetic));
    EXPECT_EQ(geoengine::g_engine.datumCount, 6u);
    EXPECT_EQ(geoengine::g_engine.gridPrecision, 5);
}

TEST_F(GeoEngine, CatalogueNamesAndCodes) {
    struct Case {
        std::uint32_t type;
        const char* name;
        const char* code;
    } cases[] = {
        {CSYS_Geodetic, "Geodetic", "GD"},
        {CSYS_Gars, "Global Area Reference System (GARS)", "GA"},
        {CSYS_AzimuthalEquidistant, "Azimuthal Equidistant (S)", "AL"},
        {CSYS_Mercator, "Mercator", "MC"},
        {CSYS_Neys, "Ney's (Modified Lambert Conformal Conic)", "NY"},
        {CSYS_TransverseMercator, "Transverse Mercator", "TC"},
        {CSYS_VanDerGrinten, "Van der Grinten", "VA"},
    };
    for (const Case& c : cases) {
        std::string_view name, code;
        ASSERT_EQ(GeoEngineGetSystemName(c.type, name, code), 0u);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(code, c.code);
    }
    std::string_view name, code;
    for (std::uint32_t t = 0; t < kCoordinateSystemTypeCount; ++t) {
        ASSERT_EQ(GeoEngineGetSystemName(t, name, code), 0u);
        EXPECT_EQ(code.size(), 2u);
        EXPECT_LE(name.size(), 49u);
    }
    EXPECT_EQ(GeoEngineGetSystemName(35, name, code), GEE_InvalidType);
    EXPECT_TRUE(name.empty());
}

TEST_F(GeoEngine, SetterErrorWords) {
    struct Case {
        const char* what;
        int state, direction;
        std::uint32_t expected;
    } cases[] = {
        {"valid", 0, 1, 0},
        {"direction 2", 0, 2, GEE_InvalidDirection},
        {"direction -1", 1, -1, GEE_InvalidDirection},
        {"state 2", 2, 0, GEE_InvalidState},
        {"state 5 direction 2", 5, 2, GEE_InvalidDirection | GEE_InvalidState},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeodeticCoordinates g{};
        EXPECT_EQ(GeoEngineSetSystem(c.state, c.direction, CSYS_Geodetic), c.expected);
        EXPECT_EQ(GeoEngineSetDatum(c.state, c.direction, 1), c.expected);
        EXPECT_EQ(GeoEngineSetGeodeticParameters(c.state, c.direction, 0), c.expected);
        EXPECT_EQ(GeoEngineSetGeodeticCoordinates(c.state, c.direction, 0, 0, 0), c.expected);
        EXPECT_EQ(GeoEngineGetGeodeticCoordinates(c.state, c.direction, g), c.expected);
        // The type is compared only when the other checks pass.
        EXPECT_EQ(GeoEngineSetMercatorCoordinates(c.state, c.direction, 0, 0),
                  c.expected ? c.expected : GEE_InvalidType);
    }
    // A bad datum index adds its bit to the others.
    EXPECT_EQ(GeoEngineSetDatum(5, 2, 0), 0x3800u);
}

TEST_F(GeoEngine, SetDatumRefusesIndicesOutsideTheTableAndKeepsTheOldOne) {
    ASSERT_EQ(GeoEngineSetDatum(kS, 0, kRt90), 0u);
    EXPECT_EQ(GeoEngineSetDatum(kS, 0, 0), GEE_InvalidDatumIndex);
    EXPECT_EQ(GeoEngineSetDatum(kS, 0, 7), GEE_InvalidDatumIndex);
    EXPECT_EQ(GeoEngineSetDatum(kS, 0, 0xFFFFFFFF), GEE_InvalidDatumIndex);
    EXPECT_EQ(Side(0).datumIndex, kRt90);

    std::uint32_t index = 0;
    EXPECT_EQ(GeoEngineGetDatumIndex("rt90-7", index), 0u);
    EXPECT_EQ(index, kRt90);
    EXPECT_EQ(GeoEngineGetDatumIndex("NAD27", index), GEE_InvalidCode);
    EXPECT_EQ(index, 0u);
}

TEST_F(GeoEngine, SetSystemCopiesTheTypeDefaultsAndRefusesTypesOutsideTheCatalogue) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_TransverseMercator), 0u);
    GeoEngineState side = Side(1);
    EXPECT_EQ(side.status, 0u);
    const TransverseMercatorParameters& tm = side.parameters.transverseMercator;
    EXPECT_EQ(tm.originLatitude, 0.0);
    EXPECT_EQ(tm.centralMeridian, 0.0);
    EXPECT_EQ(tm.scaleFactor, 1.0);
    EXPECT_EQ(tm.falseEasting, 0.0);
    EXPECT_EQ(tm.falseNorthing, 0.0);

    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
    EXPECT_EQ(Side(1).parameters.geodetic.heightType, GEH_EllipsoidHeight);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    EXPECT_EQ(Side(1).parameters.utm.zone, 30);
    EXPECT_EQ(Side(1).coordinates.utm.zone, 31);
    EXPECT_EQ(Side(1).coordinates.utm.hemisphere, 'N');
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Mgrs), 0u);
    EXPECT_STREQ(Side(1).coordinates.text, "31NEA0000000000");
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_BritishNationalGrid), 0u);
    EXPECT_STREQ(Side(1).coordinates.text, "SV 0000000000");

    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Mercator), 0u);
    for (std::uint32_t bad : {35u, 1000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(GeoEngineSetSystem(kS, 1, bad), GEE_InvalidType);
        EXPECT_EQ(Side(1).type, static_cast<std::uint32_t>(CSYS_Mercator));
    }
}

TEST_F(GeoEngine, ParametersOfAnotherTypeAreRefused) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_TransverseMercator), 0u);
    EXPECT_EQ(GeoEngineSetMercatorParameters(kS, 0, 0, 0, 1, 0, 0), GEE_InvalidType);
    EXPECT_EQ(GeoEngineSetGeodeticParameters(kS, 0, 1), GEE_InvalidType);
    ProjectedCoordinates p{};
    EXPECT_EQ(GeoEngineGetMercatorCoordinates(kS, 0, p), GEE_InvalidType);
    EXPECT_EQ(GeoEngineSetTransverseMercatorCoordinates(kS, 0, 1, 2), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Geodetic), 0u);
    EXPECT_EQ(GeoEngineSetGeodeticParameters(kS, 0, 6), GEE_InvalidType);
}

TEST_F(GeoEngine, GeodeticToGeodeticOnOneDatumPassesThrough) {
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.3, 0.9, 55.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_EQ(g.longitude, 0.3);
    EXPECT_EQ(g.latitude, 0.9);
    EXPECT_EQ(g.height, 0.0);
}

TEST_F(GeoEngine, ConvertOnAnInvalidStateChangesNothing) {
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.3, 0.9, 0.0), 0u);
    const GeoEngineState before = Side(1);
    EXPECT_EQ(GeoEngineConvert(2), GEE_InvalidState);
    EXPECT_EQ(GeoEngineConvert(-1), GEE_InvalidState);
    const GeoEngineState after = Side(1);
    EXPECT_EQ(std::memcmp(&before.coordinates, &after.coordinates, sizeof before.coordinates), 0);
}

TEST_F(GeoEngine, TransverseMercatorFarFromItsMeridianIsAWarning) {
    SetTransverseMercatorOutput(15.0);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(25.0), Rad(60.0), 0.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputWarning);
    EXPECT_EQ(Side(1).status, GES_LongitudeWarning);
    ProjectedCoordinates p{};
    ASSERT_EQ(GeoEngineGetTransverseMercatorCoordinates(kS, 1, p), 0u);
    EXPECT_GT(p.easting, 1000000.0);
}

TEST_F(GeoEngine, MercatorNearThePoleIsAnOutputError) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Mercator), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.0, Rad(89.6), 0.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
    EXPECT_EQ(Side(1).status, GES_LatitudeError);
    EXPECT_EQ(geoengine::g_engine.ce90, -1.0);
    EXPECT_EQ(geoengine::g_engine.le90, -1.0);
    EXPECT_EQ(geoengine::g_engine.se90, -1.0);
}

TEST_F(GeoEngine, MercatorOutputWritesItsDerivedScaleFactorBack) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Mercator), 0u);
    ASSERT_EQ(GeoEngineSetMercatorParameters(kS, 1, Rad(40.0), 0.0, 1.0, 0.0, 0.0), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.1, 0.2, 0.0), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    // cos(40) / sqrt(1 - e^2 sin^2(40)) on WGS 84.
    EXPECT_NEAR(Side(1).parameters.mercator.scaleFactor, 0.767106, 1e-6);
}

TEST_F(GeoEngine, TransverseMercatorInputErrorsLeaveTheOutputAlone) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_TransverseMercator), 0u);
    ASSERT_EQ(GeoEngineSetTransverseMercatorParameters(kS, 0, 0.0, Rad(15.0), 0.9996, 500000.0, 0.0), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 1, 1.0, 2.0, 3.0), 0u);
    struct Case {
        const char* what;
        double e, n;
        std::uint32_t status;
    } cases[] = {
        {"easting", 1.0e9, 6.0e6, GES_EastingError},
        {"northing", 5.0e5, -1.0e9, GES_NorthingError},
        {"NaN", kNaN, kNaN, GES_EastingError | GES_NorthingError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(GeoEngineSetTransverseMercatorCoordinates(kS, 0, c.e, c.n), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
        EXPECT_EQ(Side(0).status, c.status);
        GeodeticCoordinates g{};
        ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
        EXPECT_EQ(g.longitude, 1.0);
        EXPECT_EQ(g.latitude, 2.0);
    }
    // Set-up errors of the input module are input errors too.
    ASSERT_EQ(GeoEngineSetTransverseMercatorParameters(kS, 0, 0.0, Rad(15.0), 0.1, 500000.0, 0.0), 0u);
    ASSERT_EQ(GeoEngineSetTransverseMercatorCoordinates(kS, 0, 500000.0, 6.0e6), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Side(0).status, GES_ScaleFactorError);
}

TEST_F(GeoEngine, GeodeticInputThatIsNotANumberIsRefused) {
    SetTransverseMercatorOutput(15.0);
    struct Case {
        double lon, lat;
        std::uint32_t status;
    } cases[] = {
        {kNaN, 1.0, GES_LongitudeError},
        {0.2, kNaN, GES_LatitudeError},
        {std::numeric_limits<double>::infinity(), kNaN, GES_LongitudeError | GES_LatitudeError},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, c.lon, c.lat, 0.0), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
        EXPECT_EQ(Side(0).status, c.status);
    }
}

TEST_F(GeoEngine, PointsTheDatumShiftRefusesAreErrorsNotOtherPoints) {
    SetTransverseMercatorOutput(15.0);
    ASSERT_EQ(GeoEngineSetDatum(kS, 1, kRt90), 0u);
    ProjectedCoordinates before{};
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(15.0), Rad(60.0), 0.0), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    ASSERT_EQ(GeoEngineGetTransverseMercatorCoordinates(kS, 1, before), 0u);

    // A latitude beyond the pole passes the geodetic input unchecked, but no
    // datum shift can take it.
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(15.0), Rad(100.0), 0.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
    EXPECT_EQ(Side(1).status, GES_LatitudeError);
    ProjectedCoordinates after{};
    ASSERT_EQ(GeoEngineGetTransverseMercatorCoordinates(kS, 1, after), 0u);
    EXPECT_EQ(after.easting, before.easting);
    EXPECT_EQ(after.northing, before.northing);

    // The same on the way in.
    ASSERT_EQ(GeoEngineSetDatum(kS, 0, kRt90), 0u);
    ASSERT_EQ(GeoEngineSetDatum(kS, 1, kWge), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(15.0), Rad(-95.0), 0.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Side(0).status, GES_LatitudeError);
}

TEST_F(GeoEngine, TypesWithoutAModuleAnswerWithTheErrorWordAndChangeNothing) {
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.1, 0.2, 0.0), 0u);
    for (std::uint32_t type = 0; type < kCoordinateSystemTypeCount; ++type) {
        if (geoengine::GeoEngineHasModule(type))
            continue;
        SCOPED_TRACE(type);
        // As output.
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, type), 0u);
        const GeoEngineState before = Side(1);
        EXPECT_EQ(GeoEngineConvert(kS), GEE_InvalidType);
        const GeoEngineState after = Side(1);
        EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
        // As input.
        ASSERT_EQ(GeoEngineSetSystem(kS, 0, type), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 1, 7.0, 8.0, 9.0), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), GEE_InvalidType);
        GeodeticCoordinates g{};
        ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
        EXPECT_EQ(g.longitude, 7.0);
        ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Geodetic), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.1, 0.2, 0.0), 0u);
    }
}

TEST_F(GeoEngine, MeanSeaLevelHeightsWithoutGeoidGridsPassUnchangedAndMarkTheOutput) {
    // No geoid grid is loaded: a height that needs the geoid keeps its
    // value and the output side says so; nothing undefined is written.
    struct Case {
        const char* what;
        std::uint32_t inHeight, outHeight, outDatum;
        std::uint32_t expected, outputStatus;
        double height;
    } cases[] = {
        {"same type, same datum", 2, 2, kWge, 0, 0, 12.0},
        {"same type, other datum", 3, 3, kRt90, 0, 0, 12.0},
        {"sea level to none on one datum", 2, 0, kWge, 0, 0, 0.0},
        {"sea level to ellipsoid", 2, 1, kWge, GEC_OutputError, GES_GridAreaError, 12.0},
        {"ellipsoid to sea level", 1, 5, kWge, GEC_OutputError, GES_GridAreaError, 12.0},
        {"sea level to sea level of another model", 2, 4, kWge, GEC_OutputError, GES_GridAreaError,
         12.0},
        {"sea level to none on another datum", 4, 0, kRt90, 0, 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 0, c.inHeight), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 1, c.outHeight), 0u);
        ASSERT_EQ(GeoEngineSetDatum(kS, 1, c.outDatum), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, 0.3, 1.0, 12.0), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 1, -1.0, -1.0, -1.0), 0u);
        EXPECT_EQ(GeoEngineConvert(kS), c.expected);
        EXPECT_EQ(Side(1).status, c.outputStatus);
        GeodeticCoordinates g{};
        ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
        EXPECT_EQ(g.height, c.height);
        EXPECT_NEAR(g.latitude, 1.0, 1e-4); // the position is converted
    }
}

TEST_F(GeoEngine, HeightsFollowTheHeightTypes) {
    // WGS 72 (ellipsoid heights) to WGS 84: the formula's height terms.
    ASSERT_EQ(GeoEngineSetDatum(kS, 0, kWgc), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 0, GEH_EllipsoidHeight), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 1, GEH_EllipsoidHeight), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(15.0), Rad(60.0), 500.0), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(g.height, 503.4447311433, 0.01);   // cct, EPSG 1238
    EXPECT_NEAR(Deg(g.longitude), 15.0001538889, kMillimetreDegrees);
    // No height on the output: 0.
    ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 1, GEH_NoHeight), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_EQ(g.height, 0.0);
}

TEST_F(GeoEngine, MonteMarioToWgs84ThroughTheEngine) {
    ASSERT_EQ(GeoEngineSetDatum(kS, 0, kMonteMario), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(12.4964), Rad(41.9028), 0.0), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(Deg(g.longitude), 12.4962136444, 5 * kMillimetreDegrees);   // cct, EPSG 1660
    EXPECT_NEAR(Deg(g.latitude), 41.9034434873, 5 * kMillimetreDegrees);
}

TEST_F(GeoEngine, GeocentricSystemBothWays) {
    ASSERT_EQ(GeoEngineSetGeodeticParameters(kS, 0, GEH_EllipsoidHeight), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geocentric), 0u);
    ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, Rad(-120.0), Rad(-45.0), 1500.0), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    CartesianCoordinates c{};
    ASSERT_EQ(GeoEngineGetGeocentricCoordinates(kS, 1, c), 0u);
    EXPECT_NEAR(c.x, -2259325.7695, kMillimetre);   // cs2cs +proj=geocent
    EXPECT_NEAR(c.y, -3913267.0236, kMillimetre);
    EXPECT_NEAR(c.z, -4488409.0690, kMillimetre);

    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Geocentric), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
    ASSERT_EQ(GeoEngineSetGeocentricCoordinates(kS, 0, 3088165.8899, 827471.5563, 5500477.1339), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(Deg(g.longitude), 15.0, kMillimetreDegrees);
    EXPECT_NEAR(Deg(g.latitude), 60.0, kMillimetreDegrees);
    EXPECT_NEAR(g.height, 0.0, kMillimetre);

    ASSERT_EQ(GeoEngineSetGeocentricCoordinates(kS, 0, kNaN, 0.0, 0.0), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Side(0).status, GES_EastingError | GES_NorthingError);
}

TEST_F(GeoEngine, GeocentricToLocalCartesianOnOneDatumGoesDirect) {
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Geocentric), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_LocalCartesian), 0u);
    ASSERT_EQ(GeoEngineSetLocalCartesianParameters(kS, 1, Rad(59.3), Rad(18.0), 30.0, 0.0), 0u);
    ASSERT_EQ(GeoEngineSetGeocentricCoordinates(kS, 0, 3100763.5745, 1011605.2318, 5462760.5662), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    CartesianCoordinates c{};
    ASSERT_EQ(GeoEngineGetLocalCartesianCoordinates(kS, 1, c), 0u);
    EXPECT_NEAR(c.x, 3905.1076, kMillimetre);   // CartConvert -l 59.3 18.0 30
    EXPECT_NEAR(c.y, 3266.0592, kMillimetre);
    EXPECT_NEAR(c.z, -7.0281, kMillimetre);

    // And back.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_LocalCartesian), 0u);
    ASSERT_EQ(GeoEngineSetLocalCartesianParameters(kS, 0, Rad(59.3), Rad(18.0), 30.0, 0.0), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geocentric), 0u);
    ASSERT_EQ(GeoEngineSetLocalCartesianCoordinates(kS, 0, 3905.1076, 3266.0592, -7.0281), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    ASSERT_EQ(GeoEngineGetGeocentricCoordinates(kS, 1, c), 0u);
    EXPECT_NEAR(c.x, 3100763.5745, kMillimetre);
    EXPECT_NEAR(c.z, 5462760.5662, kMillimetre);
}

TEST_F(GeoEngine, LocalCartesianFrameThatCannotBeSetUpIsAnError) {
    struct Case {
        const char* what;
        double lat0, lon0, orientation;
        std::uint32_t status;
    } cases[] = {
        {"origin latitude", 2.0, 0.0, 0.0, GES_OriginLatitudeError},
        {"origin longitude", 0.0, 7.0, 0.0, GES_OriginLongitudeError},
        // No bit of its own: reported on the origin-longitude bit rather than
        // as a success that converted nothing.
        {"orientation", 0.0, 0.0, 7.0, GES_OriginLongitudeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Direct path (geocentric input on the same datum) and general path.
        for (std::uint32_t inType : {static_cast<std::uint32_t>(CSYS_Geocentric),
                                     static_cast<std::uint32_t>(CSYS_Geodetic)}) {
            ASSERT_EQ(GeoEngineSetSystem(kS, 0, inType), 0u);
            if (inType == CSYS_Geocentric) {
                ASSERT_EQ(GeoEngineSetGeocentricCoordinates(kS, 0, 6378137.0, 0.0, 0.0), 0u);
            }
            ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_LocalCartesian), 0u);
            ASSERT_EQ(GeoEngineSetLocalCartesianParameters(kS, 1, c.lat0, c.lon0, 0.0, c.orientation), 0u);
            EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputError);
            EXPECT_EQ(Side(1).status, c.status);
        }
    }
}

} // namespace
