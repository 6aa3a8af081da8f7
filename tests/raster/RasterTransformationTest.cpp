// The pixel-to-map transformation: rotation, fits to a rectangle and to
// control points, and its archive form.

#include "platform/Archive.h"
#include "raster/RasterTransformation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Coefficients {
    double a, b, c, d, e, f;
};

void ExpectNear(const CRasterTransformation& t, const Coefficients& want, double tolerance) {
    EXPECT_NEAR(t.GetA(), want.a, tolerance);
    EXPECT_NEAR(t.GetB(), want.b, tolerance);
    EXPECT_NEAR(t.GetC(), want.c, tolerance);
    EXPECT_NEAR(t.GetD(), want.d, tolerance);
    EXPECT_NEAR(t.GetE(), want.e, tolerance);
    EXPECT_NEAR(t.GetF(), want.f, tolerance);
}

void ExpectCofactorsCurrent(const CRasterTransformation& t) {
    EXPECT_DOUBLE_EQ(t.GetK1(), t.GetB() * t.GetF() - t.GetC() * t.GetE());
    EXPECT_DOUBLE_EQ(t.GetK2(), t.GetA() * t.GetF() - t.GetC() * t.GetD());
    EXPECT_DOUBLE_EQ(t.GetK3(), t.GetA() * t.GetE() - t.GetB() * t.GetD());
}

} // namespace

TEST(RasterTransformation, DefaultPlacesOneUnitPerPixelRowsDownward) {
    const CRasterTransformation t;
    ExpectNear(t, {1, 0, 0, 0, -1, 0}, 0);
    EXPECT_EQ(t.GetK3(), -1.0);
    const CShapePoint p = t.PixelToWorld(3, 2);
    EXPECT_EQ(p.x, 3.0);
    EXPECT_EQ(p.y, -2.0);
}

TEST(RasterTransformation, InverseMapsWorldBackToPixels) {
    const CRasterTransformation t(2.5, 0.75, 1000, -0.5, -3, 2000);
    for (const auto& pixel : {std::pair{0.0, 0.0}, {3.0, 7.0}, {-0.5, 12.25}}) {
        const CShapePoint w = t.PixelToWorld(pixel.first, pixel.second);
        double column = 0, row = 0;
        ASSERT_TRUE(t.WorldToPixel(w.x, w.y, column, row));
        EXPECT_NEAR(column, pixel.first, 1e-12);
        EXPECT_NEAR(row, pixel.second, 1e-12);
    }
    double column = 99, row = 99;
    EXPECT_FALSE(CRasterTransformation(1, 2, 0, 2, 4, 0).WorldToPixel(1, 1, column, row));
    EXPECT_EQ(column, 99);
}

TEST(RasterTransformation, SetAndSetCoefficientsKeepTheCofactorsCurrent) {
    CRasterTransformation t;
    t.Set(2, 3, 5, 7, 11, 13);
    ExpectCofactorsCurrent(t);
    EXPECT_EQ(t.GetK3(), 2.0 * 11 - 3.0 * 7);

    CRasterTransformation copy;
    copy.SetCoefficients(t);
    ExpectNear(copy, {2, 3, 5, 7, 11, 13}, 0);
    ExpectCofactorsCurrent(copy);
    copy.SetCoefficients(copy);
    ExpectNear(copy, {2, 3, 5, 7, 11, 13}, 0);
}

TEST(VectorToPolar, GivesLengthAndADirectionThatRebuildsTheVector) {
    const struct {
        double x, y, length;
    } cases[] = {
        {3, 4, 5}, {-1, 0, 1}, {0, -2, 2}, {-1, -1, std::sqrt(2.0)}, {-3, 4, 5}, {1e-300, 1, 1}, {2, -1e-17, 2},
    };
    for (const auto& c : cases) {
        double length = 0, angle = 0;
        VectorToPolar(c.x, c.y, length, angle);
        EXPECT_NEAR(length, c.length, 1e-15) << c.x << ", " << c.y;
        EXPECT_NEAR(length * std::cos(angle), c.x, 1e-15) << c.x << ", " << c.y;
        EXPECT_NEAR(length * std::sin(angle), c.y, 1e-15) << c.x << ", " << c.y;
    }
    double length = 9, angle = 9;
    VectorToPolar(0, 0, length, angle);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(angle, 0);
}

TEST(RasterRotate, QuarterTurnTurnsBothAxisVectorsAndKeepsTheTopLeftPixel) {
    // The column axis (A, D) and the row axis (B, E) each lose 90 degrees of
    // direction: (1, 0) becomes (0, -1) and (0, -1) becomes (-1, 0). Pixels
    // that are not square keep their width along the column axis and their
    // height along the row axis (the second case).
    const struct {
        Coefficients before, after;
    } cases[] = {
        {{1, 0, 100, 0, -1, 200}, {0, -1, 100, -1, 0, 200}},
        {{2, 0, 5, 0, -3, 7}, {0, -3, 5, -2, 0, 7}},
        {{0, 1, 0, 1, 0, 0}, {1, 0, 0, 0, -1, 0}},
        {{-1, 0, 0, 0, 1, 0}, {0, 1, 0, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        CRasterTransformation t(c.before.a, c.before.b, c.before.c, c.before.d, c.before.e, c.before.f);
        ASSERT_TRUE(t.Rotate(kPi / 2));
        ExpectNear(t, c.after, 1e-15);
        EXPECT_EQ(t.GetC(), c.before.c);
        EXPECT_EQ(t.GetF(), c.before.f);
        ExpectCofactorsCurrent(t);
    }
}

TEST(RasterRotate, PlusAndMinusNinetyDegreesGiveTheCoefficientsBack) {
    const Coefficients cases[] = {
        {1, 0, 0, 0, -1, 0},        {2, 0, 5, 0, -3, 7},      {-1, 0.5, 3, 0.25, -1, 4},
        {1, 0, 0, -2, -1, 0},       {-2, -1, 0, -1, 2, 0},    {0.00025, 0.0001, 500000, -0.0001, -0.00025, 5e6},
        {-30, 0, 1e6, -0.5, -30, 0},
    };
    for (const auto& c : cases) {
        for (double angle : {kPi / 2, -kPi / 2}) {
            CRasterTransformation t(c.a, c.b, c.c, c.d, c.e, c.f);
            ASSERT_TRUE(t.Rotate(angle));
            ASSERT_TRUE(t.Rotate(-angle));
            const double scale = std::max({std::fabs(c.a), std::fabs(c.b), std::fabs(c.d), std::fabs(c.e)});
            ExpectNear(t, c, 1e-14 * scale);
            EXPECT_EQ(t.GetC(), c.c);
            EXPECT_EQ(t.GetF(), c.f);
        }
    }
}

TEST(RasterRotate, RefusesAnAngleThatIsNoNumber) {
    CRasterTransformation t(2, 0, 5, 0, -3, 7);
    EXPECT_FALSE(t.Rotate(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(t.Rotate(std::numeric_limits<double>::infinity()));
    ExpectNear(t, {2, 0, 5, 0, -3, 7}, 0);
}

TEST(RasterSetFromExtent, FitsTheImageToTheRectangle) {
    CRasterTransformation t(9, 9, 9, 9, 9, 9);
    // 4 x 2 pixels on 20 x 10 map units: A = 20 / 4, E = -(10 / 2); x1 and
    // y2 become C and F.
    ASSERT_TRUE(t.SetFromExtent(4, 2, RasterRect{10, 20, 30, 30}, 0));
    ExpectNear(t, {5, 0, 10, 0, -5, 30}, 0);
    ExpectCofactorsCurrent(t);

    ASSERT_TRUE(t.SetFromExtent(4, 2, RasterRect{30, 30, 10, 20}, 0));
    ExpectNear(t, {5, 0, 30, 0, -5, 20}, 0);

    // A quarter turn takes B and D from the turned default, (0, -1, -1, 0).
    ASSERT_TRUE(t.SetFromExtent(4, 2, RasterRect{10, 20, 30, 30}, kPi / 2));
    ExpectNear(t, {5, -1, 10, -1, -5, 30}, 1e-15);
}

TEST(RasterSetFromExtent, RefusesAnEmptyImageOrRectangle) {
    const struct {
        unsigned width, height;
        RasterRect rect;
    } cases[] = {
        {0, 2, {10, 20, 30, 30}},
        {4, 0, {10, 20, 30, 30}},
        {4, 2, {10, 20, 10, 30}},
        {4, 2, {10, 20, 30, 20}},
        {4, 2, {10, 20, std::numeric_limits<double>::infinity(), 30}},
    };
    for (const auto& c : cases) {
        CRasterTransformation t(2, 0, 5, 0, -3, 7);
        EXPECT_FALSE(t.SetFromExtent(c.width, c.height, c.rect, 0));
        ExpectNear(t, {2, 0, 5, 0, -3, 7}, 0);
    }
}

TEST(RasterFit, TwoPointsGiveScaleAndOffset) {
    // A = (1000 - 1200) / (10 - 110) = 2, E = (5000 - 4900) / (20 - 70) = -2,
    // C = 1000 - 10 * 2 = 980, F = 5000 - 20 * (-2) = 5040.
    CRasterTransformation fit;
    CRasterTransformation out(9, 9, 9, 9, 9, 9);
    ASSERT_TRUE(fit.FitFromControlPoints({{10, 20}, {110, 70}}, {{1000, 5000}, {1200, 4900}}, out));
    ExpectNear(out, {2, 0, 980, 0, -2, 5040}, 0);
    ExpectNear(fit, {2, 0, 980, 0, -2, 5040}, 0);
    ExpectCofactorsCurrent(out);
}

TEST(RasterFit, ThreePointsGiveTheExactAffine) {
    // Made with x = 2c + 0.3r + 100, y = 0.1c - 3r + 200:
    // (0, 0) -> (100, 200), (10, 0) -> (120, 201), (0, 10) -> (103, 170).
    CRasterTransformation fit;
    CRasterTransformation out;
    ASSERT_TRUE(fit.FitFromControlPoints({{0, 0}, {10, 0}, {0, 10}}, {{100, 200}, {120, 201}, {103, 170}}, out));
    ExpectNear(out, {2, 0.3, 100, 0.1, -3, 200}, 1e-12);
}

TEST(RasterFit, FourPointsGiveTheLeastSquaresFit) {
    // Pixels (0,0), (2,0), (0,2), (2,2); x 0, 2, 0, 3; y 10, 10, 6, 5.
    // Normal equations, rows (sum c*c, sum c*r, sum c), ..., (sum c, sum r, n):
    //   [8 4 4; 4 8 4; 4 4 4] (A B C) = (sum c*x, sum r*x, sum x) = (10, 6, 5)
    //   [8 4 4; 4 8 4; 4 4 4] (D E F) = (sum c*y, sum r*y, sum y) = (30, 22, 31)
    // Solved by hand: A 1.25, B 0.25, C -0.25 (8*1.25 + 4*0.25 - 4*0.25 = 10,
    // 5 + 2 - 1 = 6, 5 + 1 - 1 = 5) and D -0.25, E -2.25, F 10.25
    // (-2 - 9 + 41 = 30, -1 - 18 + 41 = 22, -1 - 9 + 41 = 31).
    CRasterTransformation fit;
    CRasterTransformation out;
    ASSERT_TRUE(fit.FitFromControlPoints({{0, 0}, {2, 0}, {0, 2}, {2, 2}}, {{0, 10}, {2, 10}, {0, 6}, {3, 5}}, out));
    ExpectNear(out, {1.25, 0.25, -0.25, -0.25, -2.25, 10.25}, 1e-12);
}

TEST(RasterFit, WellPlacedButAwkwardPointsStillFit) {
    // x = 2c + 0.5r + 10, y = -0.25c - 3r + 7 at points that are nearly on
    // one line, and at a small triangle far from the image's corner.
    const auto world = [](RasterPixelPoint p) {
        return CShapePoint{2.0 * p.column + 0.5 * p.row + 10, -0.25 * p.column - 3.0 * p.row + 7};
    };
    const std::vector<std::vector<RasterPixelPoint>> cases = {
        {{0, 0}, {100, 100}, {200, 201}},
        {{100000, 100000}, {100010, 100000}, {100000, 100010}},
        {{2000000000, -2000000000}, {2000000100, -2000000000}, {2000000000, -1999999900}, {2000000100, -1999999900}},
    };
    for (const auto& pixels : cases) {
        std::vector<CShapePoint> points;
        for (const auto& p : pixels)
            points.push_back(world(p));
        CRasterTransformation fit;
        CRasterTransformation out;
        ASSERT_TRUE(fit.FitFromControlPoints(pixels, points, out)) << pixels[0].column;
        EXPECT_NEAR(out.GetA(), 2, 1e-6);
        EXPECT_NEAR(out.GetB(), 0.5, 1e-6);
        EXPECT_NEAR(out.GetD(), -0.25, 1e-6);
        EXPECT_NEAR(out.GetE(), -3, 1e-6);
        // The offsets are checked where they matter: at the points.
        for (const auto& p : pixels) {
            const CShapePoint got = out.PixelToWorld(p.column, p.row);
            EXPECT_NEAR(got.x, world(p).x, 1e-6 * std::fabs(world(p).x) + 1e-9);
            EXPECT_NEAR(got.y, world(p).y, 1e-6 * std::fabs(world(p).y) + 1e-9);
        }
    }
}

TEST(RasterFit, RefusesPointsThatCannotFixATransformation) {
    const std::vector<CShapePoint> world4 = {{0, 0}, {10, 1}, {3, 8}, {7, 7}};
    const struct {
        const char* name;
        std::vector<RasterPixelPoint> pixels;
        std::vector<CShapePoint> world;
    } cases[] = {
        {"no points", {}, {}},
        {"one point", {{1, 2}}, {{3, 4}}},
        {"counts differ", {{0, 0}, {10, 0}, {0, 10}}, {{0, 0}, {1, 1}}},
        {"two points, same column", {{5, 0}, {5, 10}}, {{0, 0}, {10, 10}}},
        {"two points, same row", {{0, 7}, {10, 7}}, {{0, 0}, {10, 10}}},
        {"two points, same world x", {{0, 0}, {10, 10}}, {{3, 0}, {3, 10}}},
        {"two points, same world y", {{0, 0}, {10, 10}}, {{0, 4}, {10, 4}}},
        {"collinear from the corner", {{0, 0}, {3, 7}, {6, 14}, {9, 21}}, world4},
        // Rounding leaves a pivot of about 1e-15 of its column here instead of
        // 0 (the mean of the rows is 112/3); without a relative tolerance the
        // fit "succeeds" with coefficients made of that noise.
        {"collinear, rounding noise", {{23, 36}, {24, 37}, {26, 39}}, {{0, 0}, {10, 1}, {3, 8}}},
        {"collinear, evenly spaced", {{1, 3}, {4, 10}, {7, 17}}, {{0, 0}, {10, 1}, {3, 8}}},
        {"collinear, more noise", {{10, 30}, {17, 41}, {24, 52}, {31, 63}}, world4},
        {"collinear, far away", {{1000003, 2000011}, {2000006, 4000022}, {3000009, 6000033}}, {{0, 0}, {10, 1}, {3, 8}}},
        {"one column", {{5, 5}, {5, 9}, {5, 100}}, {{0, 0}, {10, 1}, {3, 8}}},
        {"one pixel", {{5, 5}, {5, 5}, {5, 5}}, {{0, 0}, {10, 1}, {3, 8}}},
        // Good pixels, but every world point on one line: no inverse.
        {"world on a line", {{0, 0}, {10, 0}, {0, 10}}, {{0, 0}, {1, 1}, {2, 2}}},
        {"world not finite", {{0, 0}, {10, 0}, {0, 10}}, {{0, 0}, {1, 1}, {std::nan(""), 2}}},
    };
    for (const auto& c : cases) {
        CRasterTransformation fit(2, 0, 5, 0, -3, 7);
        CRasterTransformation out(4, 0, 6, 0, -4, 8);
        EXPECT_FALSE(fit.FitFromControlPoints(c.pixels, c.world, out)) << c.name;
        ExpectNear(fit, {2, 0, 5, 0, -3, 7}, 0);
        ExpectNear(out, {4, 0, 6, 0, -4, 8}, 0);
    }
}

TEST(RasterTransformationArchive, StoresWorldFileOrderAndReloads) {
    CArchive store;
    CRasterTransformation(1, 2, 3, 4, 5, 6).Serialize(store);
    const auto& bytes = store.GetStored();
    ASSERT_EQ(bytes.size(), 48u);

    CArchive raw(bytes.data(), bytes.size());
    for (double expected : {1.0, 4.0, 2.0, 5.0, 3.0, 6.0})
        EXPECT_EQ(raw.ReadF64(), expected);

    CArchive load(bytes.data(), bytes.size());
    CRasterTransformation t;
    t.Serialize(load);
    ExpectNear(t, {1, 2, 3, 4, 5, 6}, 0);
    ExpectCofactorsCurrent(t);
    EXPECT_EQ(load.GetRemaining(), 0u);
}

TEST(RasterTransformationArchive, RefusesTruncatedAndNonFiniteData) {
    CArchive store;
    CRasterTransformation(1, 2, 3, 4, 5, 6).Serialize(store);
    const auto& bytes = store.GetStored();
    for (std::size_t size = 0; size < bytes.size(); size += 7) {
        CArchive load(bytes.data(), size);
        CRasterTransformation t(2, 0, 5, 0, -3, 7);
        try {
            t.Serialize(load);
            ADD_FAILURE() << "read " << size << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, CArchiveException::EndOfFile);
        }
        ExpectNear(t, {2, 0, 5, 0, -3, 7}, 0);
    }

    CArchive nan;
    CRasterTransformation(1, 2, std::numeric_limits<double>::quiet_NaN(), 4, 5, 6).Serialize(nan);
    CArchive load(nan.GetStored().data(), nan.GetStored().size());
    CRasterTransformation t(2, 0, 5, 0, -3, 7);
    try {
        t.Serialize(load);
        ADD_FAILURE() << "loaded a NaN";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_Cause, CArchiveException::BadData);
    }
    ExpectNear(t, {2, 0, 5, 0, -3, 7}, 0);
}
