// Image themes: loading placed by a world file, the calibration page's moves,
// scales and rotation, reloading and unloading, images of older workspaces
// and bitmaps handed over by plug-ins.

#include "TempDir.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kData = std::string(CORVALE_TEST_DATA) + "/raster/";

std::string Copy(const TempDir& dir, const std::string& fixture, const std::string& name) {
    const std::string path = dir.file(name);
    WriteBytes(path, ReadBytes(kData + fixture));
    return path;
}

void ExpectBounds(const CTheme& theme, double xmin, double ymin, double xmax, double ymax) {
    EXPECT_TRUE(theme.m_BoundsValid);
    EXPECT_NEAR(theme.m_Bounds[0], xmin, 1e-9);
    EXPECT_NEAR(theme.m_Bounds[1], ymin, 1e-9);
    EXPECT_NEAR(theme.m_Bounds[2], xmax, 1e-9);
    EXPECT_NEAR(theme.m_Bounds[3], ymax, 1e-9);
}

// The theme bounds equal the raster part's extent.
void ExpectBoundsFollowExtent(const CTheme& theme) {
    const RasterRect& e = theme.m_Raster.m_Bounds;
    ExpectBounds(theme, std::min(e.x1, e.x2), std::min(e.y1, e.y2), std::max(e.x1, e.x2), std::max(e.y1, e.y2));
}

// An image theme made from placed.png (4 x 3 pixels, A 2, E -3, C 100.5,
// F 200.25), loaded, as the document makes it.
struct PlacedImage {
    PlacedImage() {
        path = Copy(dir, "placed.png", "placed.png");
        Copy(dir, "placed.pgw", "placed.pgw");
        theme.m_ShapeType = SHT_Image;
        theme.m_SourceType = ST_ImageFile;
        loaded = theme.LoadRaster(path);
    }
    qint64 BitmapKey() const { return theme.m_Raster.m_DisplayBitmap.cacheKey(); }

    TempDir dir;
    std::string path;
    CTheme theme;
    bool loaded = false;
};

} // namespace

// The corners gdalinfo reports for the same image and world file
// (tests/data/raster/*.gdalinfo.txt, made by make_fixtures.sh).
TEST(ThemeRaster, LoadPlacesTheBoundsOnTheCornersGdalReports) {
    struct Case {
        const char* image;
        const char* world;
        double xmin, ymin, xmax, ymax;
    };
    const Case cases[] = {
        {"placed.png", "placed.pgw", 99.5, 192.75, 107.5, 201.75},
        {"sheared.png", "sheared.pgw", 996.5, 1990.5, 1020.5, 2015.5},
        {"geo.tif", "geo.tfw", -10.0, 49.25, -8.0, 50.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        TempDir dir;
        const std::string image = Copy(dir, c.image, c.image);
        Copy(dir, c.world, c.world);
        CTheme theme;
        bool placed = false;
        ASSERT_TRUE(theme.LoadRaster(image, nullptr, &placed));
        EXPECT_TRUE(placed);
        EXPECT_TRUE(theme.m_Raster.HasDisplayBitmap());
        ExpectBounds(theme, c.xmin, c.ymin, c.xmax, c.ymax);
        // Loading is not an edit of the theme.
        EXPECT_FALSE(theme.m_Modified);
    }
}

TEST(ThemeRaster, LoadWithoutWorldFileSucceedsUnplacedAndAnUndecodableFileFails) {
    TempDir dir;
    const std::string image = Copy(dir, "placed.png", "alone.png");
    CTheme theme;
    bool placed = true;
    ASSERT_TRUE(theme.LoadRaster(image, nullptr, &placed));
    EXPECT_FALSE(placed);
    // One map unit per pixel, the top-left pixel's centre at (0, 0).
    ExpectBounds(theme, -0.5, -2.5, 3.5, 0.5);

    const std::string garbage = dir.file("garbage.png");
    WriteBytes(garbage, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    CTheme other;
    EXPECT_FALSE(other.LoadRaster(garbage));
    EXPECT_FALSE(other.m_BoundsValid);
    EXPECT_FALSE(other.m_Raster.HasDisplayBitmap());
}

TEST(ThemeRaster, MovingShiftsTheBoundsAndKeepsTheBitmap) {
    PlacedImage image;
    ASSERT_TRUE(image.loaded);
    const qint64 before = image.BitmapKey();
    ASSERT_TRUE(image.theme.MoveRasterHorizontally(10.0));
    ExpectBounds(image.theme, 109.5, 192.75, 117.5, 201.75);
    ASSERT_TRUE(image.theme.MoveRasterVertically(-2.5));
    ExpectBounds(image.theme, 109.5, 190.25, 117.5, 199.25);
    EXPECT_TRUE(image.theme.m_Modified);
    EXPECT_EQ(image.BitmapKey(), before);
}

// Whether a bitmap is built again: scaling the width of an unrotated image
// only stretches it; its height, and either on a rotated image, rebuild it.
TEST(ThemeRaster, ScalingRebuildsTheBitmapWhereItsShapeChanges) {
    struct Case {
        const char* name;
        bool rotated;
        bool width;
        bool rebuilt;
    };
    const Case cases[] = {
        {"width, unrotated", false, true, false},
        {"height, unrotated", false, false, true},
        {"width, rotated", true, true, true},
        {"height, rotated", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlacedImage image;
        ASSERT_TRUE(image.loaded);
        if (c.rotated) {
            ASSERT_TRUE(image.theme.RotateRaster(0.3));
        }
        image.theme.m_Modified = false;
        const qint64 before = image.BitmapKey();
        ASSERT_TRUE(c.width ? image.theme.ScaleRasterWidth(2.0) : image.theme.ScaleRasterHeight(2.0));
        EXPECT_EQ(image.BitmapKey() != before, c.rebuilt);
        EXPECT_TRUE(image.theme.m_Raster.HasDisplayBitmap());
        EXPECT_TRUE(image.theme.m_Modified);
        ExpectBoundsFollowExtent(image.theme);
    }

    PlacedImage image;
    ASSERT_TRUE(image.theme.ScaleRasterWidth(2.0));
    // The top-left pixel's centre stays where it is; the pixels are twice as
    // wide.
    ExpectBounds(image.theme, 98.5, 192.75, 114.5, 201.75);
}

TEST(ThemeRaster, RotationTurnsTheBoundsAndRebuildsTheBitmap) {
    PlacedImage image;
    ASSERT_TRUE(image.loaded);
    const qint64 before = image.BitmapKey();
    ASSERT_TRUE(image.theme.RotateRaster(kPi / 2.0));
    // A quarter turn clockwise about the top-left pixel's centre (100.5,
    // 200.25): columns now run south 2 units each, rows west 3 units each.
    ExpectBounds(image.theme, 93.0, 193.25, 102.0, 201.25);
    EXPECT_NE(image.BitmapKey(), before);
    EXPECT_EQ(image.theme.m_Raster.m_DisplayBitmap.width(), 3);
    EXPECT_EQ(image.theme.m_Raster.m_DisplayBitmap.height(), 4);
    EXPECT_TRUE(image.theme.m_Modified);

    // An angle that is no number changes nothing.
    PlacedImage other;
    EXPECT_FALSE(other.theme.RotateRaster(std::nan("")));
    ExpectBounds(other.theme, 99.5, 192.75, 107.5, 201.75);
    EXPECT_FALSE(other.theme.m_Modified);
}

TEST(ThemeRaster, OperationsForImageFilesRefuseOtherThemes) {
    for (std::uint32_t source : {ST_Unknown, ST_ShapeFile, ST_ExternalRaster}) {
        SCOPED_TRACE(source);
        PlacedImage image;
        ASSERT_TRUE(image.loaded);
        image.theme.m_SourceType = source;
        const qint64 before = image.BitmapKey();
        EXPECT_FALSE(image.theme.MoveRasterHorizontally(1.0));
        EXPECT_FALSE(image.theme.MoveRasterVertically(1.0));
        EXPECT_FALSE(image.theme.ScaleRasterWidth(2.0));
        EXPECT_FALSE(image.theme.ScaleRasterHeight(2.0));
        EXPECT_FALSE(image.theme.RotateRaster(1.0));
        CRasterTransformation moved(1, 0, 0, 0, -1, 0);
        EXPECT_FALSE(image.theme.ReloadRaster(&moved));
        EXPECT_FALSE(image.theme.SetRasterLoaded(false));
        EXPECT_FALSE(image.theme.PlaceRaster(CDoubleRect(0, 0, 8, 6), image.path, 0.0));
        ExpectBounds(image.theme, 99.5, 192.75, 107.5, 201.75);
        EXPECT_EQ(image.BitmapKey(), before);
        EXPECT_FALSE(image.theme.m_Modified);
    }
}

TEST(ThemeRaster, ReloadSetsNewCoefficientsAndReportsAFailedLoad) {
    PlacedImage image;
    ASSERT_TRUE(image.loaded);
    const qint64 before = image.BitmapKey();
    // Without new coefficients a loaded image stays as it is.
    EXPECT_TRUE(image.theme.ReloadRaster());
    EXPECT_EQ(image.BitmapKey(), before);
    EXPECT_TRUE(image.theme.m_Modified);

    const CRasterTransformation moved(1, 0, 10, 0, -1, 20);
    ASSERT_TRUE(image.theme.ReloadRaster(&moved));
    EXPECT_NE(image.BitmapKey(), before);
    ExpectBounds(image.theme, 9.5, 17.5, 13.5, 20.5);

    // The image is gone: the placement still follows the coefficients, but
    // the reload is a failure and there is no bitmap.
    ASSERT_EQ(std::remove(image.path.c_str()), 0);
    const CRasterTransformation again(2, 0, 0, 0, -2, 0);
    EXPECT_FALSE(image.theme.ReloadRaster(&again));
    EXPECT_FALSE(image.theme.m_Raster.HasDisplayBitmap());
    ExpectBounds(image.theme, -1.0, -5.0, 7.0, 1.0);
}

TEST(ThemeRaster, UnloadingAndLoadingAgain) {
    corvale::CScriptedUserInterface ui;
    PlacedImage image;
    ASSERT_TRUE(image.loaded);
    const qint64 before = image.BitmapKey();
    // Loading what is loaded does nothing.
    EXPECT_TRUE(image.theme.SetRasterLoaded(true));
    EXPECT_EQ(image.BitmapKey(), before);

    EXPECT_TRUE(image.theme.SetRasterLoaded(false));
    EXPECT_FALSE(image.theme.m_Raster.HasDisplayBitmap());
    EXPECT_FALSE(image.theme.m_RasterLoaded);
    ExpectBounds(image.theme, 99.5, 192.75, 107.5, 201.75);

    EXPECT_TRUE(image.theme.SetRasterLoaded(true));
    EXPECT_TRUE(image.theme.m_Raster.HasDisplayBitmap());
    EXPECT_TRUE(image.theme.m_RasterLoaded);
    // Placed as before the unload, not read again from the world file.
    ExpectBounds(image.theme, 99.5, 192.75, 107.5, 201.75);
    EXPECT_TRUE(ui.shown.empty());

    // The file went away while the image was unloaded.
    EXPECT_TRUE(image.theme.SetRasterLoaded(false));
    ASSERT_EQ(std::remove(image.path.c_str()), 0);
    EXPECT_FALSE(image.theme.SetRasterLoaded(true));
    EXPECT_FALSE(image.theme.m_Raster.HasDisplayBitmap());
    EXPECT_FALSE(image.theme.m_RasterLoaded);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              "Error reloading raster file:\n    " + image.path + "\n\nProbable cause:\n    Out of memory.");
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);
}

TEST(ThemeRaster, ScalingAnUnloadedImageLeavesItUnloaded) {
    PlacedImage image;
    ASSERT_TRUE(image.theme.SetRasterLoaded(false));
    ASSERT_TRUE(image.theme.ScaleRasterHeight(2.0));
    EXPECT_FALSE(image.theme.m_Raster.HasDisplayBitmap());
    ExpectBounds(image.theme, 99.5, 185.25, 107.5, 203.25);
}

TEST(ThemeRaster, PlacingAnImageOfAnOlderWorkspaceOnItsRectangle) {
    TempDir dir;
    const std::string image = Copy(dir, "placed.png", "old.png");
    CTheme theme;
    theme.m_ShapeType = SHT_Image;
    theme.m_SourceType = ST_ImageFile;
    // The rectangle may come with its corners in any order.
    ASSERT_TRUE(theme.PlaceRaster(CDoubleRect(18, 29, 10, 20), image, 0.0));
    const CRasterTransformation& t = theme.m_Raster.m_Transformation;
    EXPECT_DOUBLE_EQ(t.GetA(), 2.0);
    EXPECT_DOUBLE_EQ(t.GetE(), -3.0);
    EXPECT_DOUBLE_EQ(t.GetC(), 10.0);
    EXPECT_DOUBLE_EQ(t.GetF(), 29.0);
    EXPECT_EQ(t.GetB(), 0.0);
    EXPECT_EQ(t.GetD(), 0.0);
    ExpectBoundsFollowExtent(theme);
    EXPECT_TRUE(theme.m_Raster.HasDisplayBitmap());
    EXPECT_TRUE(theme.m_Modified);

    // A turned placement is applied too, with its bitmap built again.
    CTheme turned;
    turned.m_ShapeType = SHT_Image;
    turned.m_SourceType = ST_ImageFile;
    ASSERT_TRUE(turned.PlaceRaster(CDoubleRect(10, 20, 18, 29), image, 0.5));
    EXPECT_NE(turned.m_Raster.m_Transformation.GetB(), 0.0);
    ExpectBoundsFollowExtent(turned);
    EXPECT_TRUE(turned.m_Raster.HasDisplayBitmap());

    // A missing image: false, no bounds, still a change of the theme.
    CTheme missing;
    missing.m_ShapeType = SHT_Image;
    missing.m_SourceType = ST_ImageFile;
    EXPECT_FALSE(missing.PlaceRaster(CDoubleRect(10, 20, 18, 29), dir.file("gone.png"), 0.0));
    EXPECT_FALSE(missing.m_BoundsValid);
    EXPECT_FALSE(missing.m_Raster.HasDisplayBitmap());
    EXPECT_TRUE(missing.m_Modified);
}

TEST(ThemeRaster, TakingOverAPluginBitmap) {
    QImage bitmap(8, 4, QImage::Format_RGB32);
    bitmap.fill(qRgb(10, 20, 30));

    CTheme shapes;
    shapes.m_ShapeType = SHT_Point;
    EXPECT_FALSE(shapes.SetExternalRaster(CDoubleRect(0, 0, 8, 4), "plug-in", bitmap));
    EXPECT_EQ(shapes.m_SourceType, ST_Unknown);

    CTheme theme;
    theme.m_ShapeType = SHT_Image;
    ASSERT_TRUE(theme.SetExternalRaster(CDoubleRect(40, 30, 0, 10), "plug-in", bitmap));
    EXPECT_EQ(theme.m_SourceType, ST_ExternalRaster);
    ExpectBounds(theme, 0, 10, 40, 30);
    EXPECT_EQ(theme.m_Raster.m_DisplayBitmap.size(), QSize(8, 4));
    EXPECT_DOUBLE_EQ(theme.m_Raster.m_Transformation.GetA(), 5.0);
    EXPECT_DOUBLE_EQ(theme.m_Raster.m_Transformation.GetE(), -5.0);

    CTheme empty;
    empty.m_ShapeType = SHT_Image;
    EXPECT_FALSE(empty.SetExternalRaster(CDoubleRect(0, 0, 8, 4), "plug-in", QImage()));
    EXPECT_FALSE(empty.m_BoundsValid);
}
