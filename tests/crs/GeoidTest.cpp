#include "crs/engine/Geoid.h"
#include "crs/engine/GeoEngine.h"

#include "crs/CrsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace crstest;

namespace {

using Conversion = std::uint32_t (*)(double, double, double, double&);

struct ConversionCase {
    const char* name;
    Conversion convert;
    double sign; // -1: ellipsoid to sea level, +1: back
    bool egm96;
};

const ConversionCase kConversions[] = {
    {"EllipsoidToMslEgm96", GeoidEllipsoidToMslEgm96, -1.0, true},
    {"EllipsoidToMslEgm96Spline", GeoidEllipsoidToMslEgm96Spline, -1.0, true},
    {"EllipsoidToMslEgm84", GeoidEllipsoidToMslEgm84, -1.0, false},
    {"EllipsoidToMslEgm84Spline", GeoidEllipsoidToMslEgm84Spline, -1.0, false},
    {"MslToEllipsoidEgm96", GeoidMslToEllipsoidEgm96, 1.0, true},
    {"MslToEllipsoidEgm96Spline", GeoidMslToEllipsoidEgm96Spline, 1.0, true},
    {"MslToEllipsoidEgm84", GeoidMslToEllipsoidEgm84, 1.0, false},
    {"MslToEllipsoidEgm84Spline", GeoidMslToEllipsoidEgm84Spline, 1.0, false},
};

constexpr int kW = GEOID_Egm84PostsPerRow;
constexpr int kH = GEOID_Egm84Rows;
constexpr double kS = GEOID_Egm84Spacing;

// A small synthetic 10-degree grid: post (row, column) holds f(row, column).
template <typename F> std::vector<float> MakeGrid(F f) {
    std::vector<float> grid(static_cast<std::size_t>(kW) * kH);
    for (int r = 0; r < kH; ++r)
        for (int c = 0; c < kW; ++c)
            grid[static_cast<std::size_t>(r) * kW + c] = static_cast<float>(f(r, c));
    return grid;
}

class Geoid : public ::testing::Test {
protected:
    void TearDown() override { GeoidClearGrids(); }
    static void Install(float egm96Value, const std::vector<float>& egm84) {
        const std::vector<float> egm96(
            static_cast<std::size_t>(GEOID_Egm96PostsPerRow) * GEOID_Egm96Rows, egm96Value);
        ASSERT_TRUE(GeoidInstallGrids(egm96.data(), egm96.size(), egm84.data(), egm84.size()));
    }
};

TEST_F(Geoid, BeforeAGridIsLoadedNothingIsComputed) {
    const std::vector<float> grid = MakeGrid([](int r, int c) { return r * 100 + c; });
    double n = -1.0;
    EXPECT_EQ(GeoidInterpolateBilinear(0.5, 0.5, kS, kW, kH, grid.data(), n), GEOID_NotInitialized);
    EXPECT_EQ(GeoidInterpolateSpline(0.5, 0.5, kS, kW, kH, grid.data(), n), GEOID_NotInitialized);
    // Checked first: even a point out of range reports the missing grid.
    EXPECT_EQ(GeoidInterpolateBilinear(9.0, 9.0, kS, kW, kH, grid.data(), n), GEOID_NotInitialized);
    EXPECT_EQ(n, -1.0);
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        double h = -1.0;
        EXPECT_EQ(c.convert(0.5, 0.5, 123.25, h), GEOID_NotInitialized);
        EXPECT_EQ(h, 123.25); // handed back unchanged
    }
    // A grid of the wrong size is refused and leaves the module as it was.
    const std::vector<float> small(10, 0.0f);
    EXPECT_FALSE(GeoidInstallGrids(small.data(), small.size(), grid.data(), grid.size()));
    EXPECT_EQ(GeoidInterpolateBilinear(0.5, 0.5, kS, kW, kH, grid.data(), n), GEOID_NotInitialized);
}

TEST_F(Geoid, BilinearOnASyntheticGrid) {
    const std::vector<float> grid = MakeGrid([](int r, int c) { return r * 100 + c; });
    Install(0.0f, grid);
    struct Case {
        const char* what;
        double lat, lon;
        std::uint32_t flags;
        double separation;
    };
    // By hand: the cell's posts NW (row, col), NE (row, col+1), SW (row+1,
    // col), SE (row+1, col+1) weighted by x from the west and y from the
    // south.
    const Case cases[] = {
        {"a post", 80.0, 20.0, 0, 102.0},
        {"mid-cell", 85.0, 15.0, 0, (1.0 + 2.0 + 101.0 + 102.0) / 4.0},
        {"off-centre", 82.5, 17.5, 0,
         1.0 * 0.0625 + 2.0 * 0.1875 + 101.0 * 0.1875 + 102.0 * 0.5625},
        {"-10 is read at 350", 80.0, -10.0, 0, 135.0},
        {"350", 80.0, 350.0, 0, 135.0},
        {"the -90 row: last cell moved back", -90.0, 20.0, 0, 1802.0},
        {"the north pole", 90.0, 20.0, 0, 2.0},
        {"360: last column moved back", 80.0, 360.0, 0, 136.0},
        {"-180", 0.0, -180.0, 0, 918.0},
        {"latitude beyond 90", 90.1, 0.0, GEOID_RangeError, 0.0},
        {"longitude beyond 360", 0.0, 360.1, GEOID_RangeError, 0.0},
        {"longitude below -180", 0.0, -180.1, GEOID_RangeError, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double n = -1.0;
        EXPECT_EQ(GeoidInterpolateBilinear(Rad(c.lat), Rad(c.lon), kS, kW, kH, grid.data(), n),
                  c.flags);
        EXPECT_NEAR(n, c.flags ? -1.0 : c.separation, 1e-9);
    }
}

TEST_F(Geoid, SplineOnASyntheticGrid) {
    struct Case {
        const char* what;
        double lat, lon;
        double separation;
    };
    // Linear data: the spline is exact, like the bilinear reading.
    const std::vector<float> plane = MakeGrid([](int r, int c) { return 3 * c - 2 * r; });
    Install(0.0f, plane);
    const Case linear[] = {
        {"mid-cell", 45.0, 95.0, 3 * 9.5 - 2 * 4.5},
        {"off-centre", 41.0, 93.0, 3 * 9.3 - 2 * 4.9},
        {"a post", 40.0, 90.0, 3 * 9 - 2 * 5},
    };
    for (const Case& c : linear) {
        SCOPED_TRACE(c.what);
        double n = 0.0;
        ASSERT_EQ(GeoidInterpolateSpline(Rad(c.lat), Rad(c.lon), kS, kW, kH, plane.data(), n), 0u);
        EXPECT_NEAR(n, c.separation, 1e-9);
    }

    // Curved data along the longitude, column squared: through 0, 1, 4, 9
    // the natural spline gives 2.2 halfway between 1 and 4 (second
    // derivatives 2.4 at both inner posts), where the bilinear reading gives
    // 2.5.
    const std::vector<float> curved = MakeGrid([](int, int c) { return c * c; });
    GeoidClearGrids();
    Install(0.0f, curved);
    double n = 0.0;
    ASSERT_EQ(GeoidInterpolateSpline(Rad(80.0), Rad(15.0), kS, kW, kH, curved.data(), n), 0u);
    EXPECT_NEAR(n, 2.2, 1e-9);
    ASSERT_EQ(GeoidInterpolateBilinear(Rad(80.0), Rad(15.0), kS, kW, kH, curved.data(), n), 0u);
    EXPECT_NEAR(n, 2.5, 1e-9);
    // Posts are met exactly, and the poles and the last column stay inside
    // the grid.
    ASSERT_EQ(GeoidInterpolateSpline(Rad(80.0), Rad(20.0), kS, kW, kH, curved.data(), n), 0u);
    EXPECT_NEAR(n, 4.0, 1e-9);
    ASSERT_EQ(GeoidInterpolateSpline(Rad(-90.0), Rad(20.0), kS, kW, kH, curved.data(), n), 0u);
    EXPECT_NEAR(n, 4.0, 1e-9);
    ASSERT_EQ(GeoidInterpolateSpline(Rad(90.0), Rad(360.0), kS, kW, kH, curved.data(), n), 0u);
    EXPECT_NEAR(n, 1296.0, 1e-9);
}

TEST_F(Geoid, HeightConversionsUseTheirGrid) {
    // EGM96 30 m everywhere, EGM84 -20 m everywhere.
    Install(30.0f, MakeGrid([](int, int) { return -20; }));
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        double h = 0.0;
        ASSERT_EQ(c.convert(Rad(45.0), Rad(-120.0), 100.0, h), 0u);
        EXPECT_NEAR(h, 100.0 + c.sign * (c.egm96 ? 30.0 : -20.0), 1e-9);
        EXPECT_EQ(c.convert(Rad(91.0), 0.0, 100.0, h), GEOID_RangeError);
        EXPECT_EQ(h, 100.0);
    }
}

TEST_F(Geoid, TheEngineConvertsSeaLevelHeightsOnceTheGridsAreLoaded) {
    Install(30.0f, MakeGrid([](int, int) { return -20; }));
    ASSERT_EQ(GeoEngineInitialize(), 0u);
    std::uint32_t wge = 0;
    ASSERT_EQ(GeoEngineGetDatumIndex("WGE", wge), 0u);
    struct Case {
        std::uint32_t inHeight, outHeight;
        double height;
    };
    const Case cases[] = {
        {GEH_EllipsoidHeight, GEH_Egm96, 12.0 - 30.0},
        {GEH_Egm84, GEH_EllipsoidHeight, 12.0 - 20.0},
        {GEH_Egm96Spline, GEH_Egm84Spline, 12.0 + 30.0 + 20.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inHeight << " -> " << c.outHeight);
        for (int d = 0; d < 2; ++d) {
            ASSERT_EQ(GeoEngineSetDatum(0, d, wge), 0u);
            ASSERT_EQ(GeoEngineSetSystem(0, d, CSYS_Geodetic), 0u);
        }
        ASSERT_EQ(GeoEngineSetGeodeticParameters(0, 0, c.inHeight), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticParameters(0, 1, c.outHeight), 0u);
        ASSERT_EQ(GeoEngineSetGeodeticCoordinates(0, 0, Rad(10.0), Rad(50.0), 12.0), 0u);
        ASSERT_EQ(GeoEngineConvert(0), 0u);
        GeodeticCoordinates g{};
        ASSERT_EQ(GeoEngineGetGeodeticCoordinates(0, 1, g), 0u);
        EXPECT_NEAR(g.height, c.height, 1e-9);
    }
}

} // namespace
