// The projection modules reached through the engine: defaults, parameter
// records in the module's order, and the mapping of module flags into the
// sides' status words.

#include "crs/engine/Cassini.h"
#include "crs/engine/GeoEngine.h"
#include "crs/engine/Sinusoidal.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace crstest;

namespace {

constexpr int kS = 0;

class ProjectionEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GeoEngineInitialize(), 0u);
        for (int d = 0; d < 2; ++d) {
            ASSERT_EQ(GeoEngineSetSystem(kS, d, CSYS_Geodetic), 0u);
            ASSERT_EQ(GeoEngineSetDatum(kS, d, 1), 0u);
        }
    }
    void TearDown() override { SetUp(); }
    static GeoEngineState Side(int d) {
        GeoEngineState side{};
        GeoEngineGetState(kS, d, side);
        return side;
    }
    // Geodetic (lon, lat) in radians to the output type, then back.
    static void Project(std::uint32_t type, const std::vector<double>& record, double lon,
                        double lat) {
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, type), 0u);
        ASSERT_EQ(GeoEngineSetProjectionParameters(kS, 1, type, record.data(), record.size()), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(kS, 0, lon, lat, 0.0), 0u);
    }
};

TEST_F(ProjectionEngine, DefaultsAreTheModulesStartValues) {
    struct Case {
        std::uint32_t type;
        std::vector<double> record;
    } cases[] = {
        {CSYS_Sinusoidal, {0.0, 0.0, 0.0}},
        {CSYS_MillerCylindrical, {0.0, 0.0, 0.0}},
        {CSYS_Mollweide, {0.0, 0.0, 0.0}},
        {CSYS_EckertIV, {0.0, 0.0, 0.0}},
        {CSYS_EckertVI, {0.0, 0.0, 0.0}},
        {CSYS_EquidistantCylindrical, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_CylindricalEqualArea, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_Cassini, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_TransverseCylindricalEqualArea, {0.0, 0.0, 0.0, 0.0, 1.0}},
        {CSYS_LambertConformalConic1, {0.7853981633974483, 0.0, 0.0, 0.0, 1.0}},
        {CSYS_LambertConformalConic2,
         {0.7853981633974483, 0.0, 0.6981317007977318, 0.8726646259971648, 0.0, 0.0}},
        {CSYS_Neys, {1.3962634015954636, 0.0, 1.239183768915974, 0.0, 0.0}},
        {CSYS_AlbersEqualAreaConic,
         {0.7853981633974483, 0.0, 0.6981317007977318, 0.8726646259971648, 0.0, 0.0}},
        {CSYS_Polyconic, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_Bonne, {0.7853981633974483, 0.0, 0.0, 0.0}},
        {CSYS_VanDerGrinten, {0.0, 0.0, 0.0}},
        {CSYS_PolarStereographic, {1.5707963267948966, 0.0, 0.0, 0.0}},
        {CSYS_Stereographic, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_Orthographic, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_Gnomonic, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_AzimuthalEquidistant, {0.0, 0.0, 0.0, 0.0}},
        {CSYS_ObliqueMercator,
         {0.7853981633974483, 0.6981317007977318, -0.08726646259971647, 0.8726646259971648,
          0.08726646259971647, 0.0, 0.0, 1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_EQ(GeoEngineSetSystem(kS, 1, c.type), 0u);
        std::vector<double> record(c.record.size(), -1.0);
        ASSERT_EQ(GeoEngineGetProjectionParameters(kS, 1, c.type, record.data(), record.size()),
                  0u);
        EXPECT_EQ(record, c.record);
        // A record of the wrong length, or for another type, is refused.
        EXPECT_EQ(GeoEngineSetProjectionParameters(kS, 1, c.type, record.data(), record.size() + 1),
                  GEE_InvalidType);
        EXPECT_EQ(GeoEngineSetProjectionParameters(kS, 0, c.type, record.data(), record.size()),
                  GEE_InvalidType);
        EXPECT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, c.type, 1.0, 2.0), GEE_InvalidType);
    }
    // Types this build has no module for keep answering GEE_InvalidType.
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Utm), 0u);
    double record[2] = {};
    EXPECT_EQ(GeoEngineSetProjectionParameters(kS, 1, CSYS_Utm, record, 2), GEE_InvalidType);
}

TEST_F(ProjectionEngine, ConvertsBothWaysThroughAModule) {
    // Sinusoidal on WGS 84, central meridian 20 E, false origin (500 km, -100 km).
    Project(CSYS_Sinusoidal, {Rad(20.0), 500000.0, -100000.0}, Rad(35.0), Rad(-40.0));
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    ProjectedCoordinates p{};
    ASSERT_EQ(GeoEngineGetProjectedCoordinates(kS, 1, CSYS_Sinusoidal, p), 0u);
    double e, n;
    ASSERT_EQ(SinusoidalSetParameters(kWgs84A, kWgs84F, Rad(20.0), 500000.0, -100000.0), 0u);
    ASSERT_EQ(SinusoidalForward(Rad(-40.0), Rad(35.0), e, n), 0u);
    EXPECT_DOUBLE_EQ(p.easting, e);
    EXPECT_DOUBLE_EQ(p.northing, n);

    // And back: the projected side as input.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Sinusoidal), 0u);
    const double record[] = {Rad(20.0), 500000.0, -100000.0};
    ASSERT_EQ(GeoEngineSetProjectionParameters(kS, 0, CSYS_Sinusoidal, record, 3), 0u);
    ASSERT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, CSYS_Sinusoidal, p.easting, p.northing), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
    ASSERT_EQ(GeoEngineConvert(kS), 0u);
    GeodeticCoordinates g{};
    ASSERT_EQ(GeoEngineGetGeodeticCoordinates(kS, 1, g), 0u);
    EXPECT_NEAR(g.longitude, Rad(35.0), 1e-9);
    EXPECT_NEAR(g.latitude, Rad(-40.0), 1e-9);
}

TEST_F(ProjectionEngine, ModuleFlagsBecomeStatusBits) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::vector<double> record;
        double lonDegrees, latDegrees;
        std::uint32_t code;
        std::uint32_t outputStatus;
    } cases[] = {
        {"Cassini 5 degrees off warns",
         CSYS_Cassini,
         {0.0, 0.0, 0.0, 0.0},
         5.0,
         10.0,
         GEC_OutputWarning,
         GES_LongitudeWarning},
        {"Cassini 3 degrees off", CSYS_Cassini, {0.0, 0.0, 0.0, 0.0}, 3.0, 10.0, 0, 0},
        {"TCEA scale factor",
         CSYS_TransverseCylindricalEqualArea,
         {0.0, 0.0, 0.0, 0.0, 5.0},
         1.0,
         1.0,
         GEC_OutputError,
         GES_ScaleFactorError},
        {"TCEA 100 degrees off warns",
         CSYS_TransverseCylindricalEqualArea,
         {0.0, 0.0, 0.0, 0.0, 1.0},
         100.0,
         10.0,
         GEC_OutputWarning,
         GES_LongitudeWarning},
        {"standard parallel",
         CSYS_CylindricalEqualArea,
         {2.0, 0.0, 0.0, 0.0},
         1.0,
         1.0,
         GEC_OutputError,
         GES_StandardParallelError},
        {"origin latitude",
         CSYS_Cassini,
         {2.0, 0.0, 0.0, 0.0},
         1.0,
         1.0,
         GEC_OutputError,
         GES_OriginLatitudeError},
        {"central meridian",
         CSYS_Mollweide,
         {-4.0, 0.0, 0.0},
         1.0,
         1.0,
         GEC_OutputError,
         GES_CentralMeridianError},
        {"latitude beyond the pole",
         CSYS_EckertVI,
         {0.0, 0.0, 0.0},
         1.0,
         91.0,
         GEC_OutputError,
         GES_LatitudeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Project(c.type, c.record, Rad(c.lonDegrees), Rad(c.latDegrees));
        ProjectedCoordinates before{};
        GeoEngineGetProjectedCoordinates(kS, 1, c.type, before);
        EXPECT_EQ(GeoEngineConvert(kS), c.code);
        EXPECT_EQ(Side(1).status, c.outputStatus);
        ProjectedCoordinates after{};
        GeoEngineGetProjectedCoordinates(kS, 1, c.type, after);
        // Errors write nothing; warnings and success write the result.
        if (c.code & GEC_OutputError)
            EXPECT_EQ(after.easting, before.easting);
        else
            EXPECT_NE(after.easting, before.easting);
    }

    // An inverse warning of the input module lands on the output side.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Cassini), 0u);
    ASSERT_EQ(GeoEngineSetSystem(kS, 1, CSYS_Geodetic), 0u);
    double e, n;
    ASSERT_EQ(CassiniSetParameters(kWgs84A, kWgs84F, 0.0, 0.0, 0.0, 0.0), 0u);
    ASSERT_EQ(CassiniForward(Rad(10.0), Rad(6.0), e, n), CAS_LongitudeWarning);
    ASSERT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, CSYS_Cassini, e, n), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_OutputWarning);
    EXPECT_EQ(Side(0).status, 0u);
    EXPECT_EQ(Side(1).status, GES_LongitudeWarning);
    // Outside the Van der Grinten circle.
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_VanDerGrinten), 0u);
    ASSERT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, CSYS_VanDerGrinten, 1.8e7, 1.8e7), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Side(0).status, GES_RadiusError);
    ASSERT_EQ(GeoEngineSetSystem(kS, 0, CSYS_Cassini), 0u);
    // A northing beyond the band is the input side's error.
    ASSERT_EQ(GeoEngineSetProjectedCoordinates(kS, 0, CSYS_Cassini, 0.0, 6.0e7), 0u);
    EXPECT_EQ(GeoEngineConvert(kS), GEC_InputError);
    EXPECT_EQ(Side(0).status, GES_NorthingError);
}

} // namespace
