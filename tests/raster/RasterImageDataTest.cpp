// The raster part of image themes: loading and placing images, the north-up
// display bitmap, bitmaps from plug-ins, corners and the archive form.

#include "TempDir.h"
#include "platform/Archive.h"
#include "raster/RasterImageData.h"

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kData = std::string(CORVALE_TEST_DATA) + "/raster/";

// The colours make_fixtures.sh writes.
const QRgb kPalette16[16] = {
    qRgb(255, 0, 0),   qRgb(0, 255, 0),     qRgb(0, 0, 255),     qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255),
    qRgb(128, 0, 0),   qRgb(0, 128, 0),     qRgb(0, 0, 128),     qRgb(128, 128, 0), qRgb(0, 128, 128), qRgb(128, 0, 128),
    qRgb(64, 64, 64),  qRgb(192, 192, 192), qRgb(255, 255, 255), qRgb(10, 20, 30),
};
const QRgb kBlack = qRgb(0, 0, 0);

std::string Copy(const TempDir& dir, const std::string& fixture, const std::string& name) {
    const std::string path = dir.file(name);
    WriteBytes(path, ReadBytes(kData + fixture));
    return path;
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string SaveImage(const TempDir& dir, const QImage& image, const std::string& name) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
    return path;
}

// A width x height image whose pixel colours differ by position.
QImage PatternImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c)
            image.setPixel(c, r, qRgb(40 * c + 20, 60 * r + 10, 100));
    }
    return image;
}

void ExpectPoint(const CShapePoint& got, double x, double y, const char* what) {
    EXPECT_NEAR(got.x, x, 1e-9) << what;
    EXPECT_NEAR(got.y, y, 1e-9) << what;
}

void ExpectBounds(const RasterRect& got, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(got.x1, x1, 1e-9);
    EXPECT_NEAR(got.y1, y1, 1e-9);
    EXPECT_NEAR(got.x2, x2, 1e-9);
    EXPECT_NEAR(got.y2, y2, 1e-9);
}

// Little-endian archive bytes written by hand, so the expected layout does not
// come from the code under test.
struct Bytes {
    std::vector<unsigned char> data;
    Bytes& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i)
            data.push_back(static_cast<unsigned char>(bits >> (8 * i)));
        return *this;
    }
    Bytes& str(const std::string& s) {
        data.push_back(static_cast<unsigned char>(s.size()));
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
};

} // namespace

TEST(RasterImageData, NewPartIsEmptyWithTheDefaultPlacement) {
    const CRasterImageData part;
    EXPECT_TRUE(part.m_ImagePath.empty());
    EXPECT_TRUE(part.m_ControlPoints.empty());
    EXPECT_FALSE(part.HasDisplayBitmap());
    EXPECT_EQ(part.m_BitmapWidth, 0);
    EXPECT_EQ(part.m_ImageHeight, 0);
    EXPECT_EQ(part.m_Resampled, 0);
    EXPECT_EQ(part.m_Ready, 1);
    ExpectBounds(part.m_Bounds, 0, 0, 0, 0);
    EXPECT_EQ(part.m_Transformation.GetA(), 1);
    EXPECT_EQ(part.m_Transformation.GetE(), -1);
    EXPECT_EQ(part.m_Transformation.GetK3(), -1);
}

// Corner coordinates as gdalinfo reports them for the fixtures (see
// tests/data/raster/*.gdalinfo.txt and make_fixtures.sh): GDAL reads the
// same world file and places the image by it independently.
TEST(RasterLoad, PlacesImagesByTheirWorldFileAsGdalDoes) {
    const struct {
        const char* image;
        double ul[2], ll[2], lr[2], ur[2];
    } cases[] = {
        {"placed.png", {99.5, 201.75}, {99.5, 192.75}, {107.5, 192.75}, {107.5, 201.75}},
        // sheared.pgw ends after its last digit without a line end.
        {"sheared.png", {996.5, 1999.5}, {1008.5, 1990.5}, {1020.5, 2006.5}, {1008.5, 2015.5}},
        // A GeoTIFF with the .tfw GDAL wrote for it.
        {"geo.tif", {-10, 50}, {-10, 49.25}, {-8, 49.25}, {-8, 50}},
    };
    for (const auto& c : cases) {
        CRasterImageData part;
        ASSERT_EQ(part.Load(kData + c.image), RLS_Loaded) << c.image;
        EXPECT_EQ(part.m_ImagePath, kData + c.image);
        EXPECT_EQ(part.m_ImageWidth, 4);
        EXPECT_EQ(part.m_ImageHeight, 3);
        EXPECT_EQ(part.m_Ready, 1);
        EXPECT_EQ(part.m_Resampled, 1);
        ASSERT_EQ(part.m_Corners.size(), 5u);
        ExpectPoint(part.m_Corners[0], c.ul[0], c.ul[1], c.image);
        ExpectPoint(part.m_Corners[1], c.ll[0], c.ll[1], c.image);
        ExpectPoint(part.m_Corners[2], c.lr[0], c.lr[1], c.image);
        ExpectPoint(part.m_Corners[3], c.ur[0], c.ur[1], c.image);
        ExpectPoint(part.m_Corners[4], c.ul[0], c.ul[1], c.image);
        const double xs[] = {c.ul[0], c.ll[0], c.lr[0], c.ur[0]};
        const double ys[] = {c.ul[1], c.ll[1], c.lr[1], c.ur[1]};
        ExpectBounds(part.m_Bounds, *std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                     *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4));
    }
}

TEST(RasterLoad, WithoutAWorldFileTheImageKeepsItsPlacement) {
    TempDir dir;
    const std::string image = Copy(dir, "placed.png", "photo.png");
    CRasterImageData part;
    ASSERT_EQ(part.Load(image), RLS_NoWorldFile);
    // One map unit per pixel, the top-left pixel's centre at (0, 0), rows
    // running towards -y.
    EXPECT_EQ(part.m_Transformation.GetA(), 1);
    EXPECT_EQ(part.m_Transformation.GetE(), -1);
    EXPECT_EQ(part.m_Transformation.GetC(), 0);
    ExpectBounds(part.m_Bounds, -0.5, -2.5, 3.5, 0.5);
    EXPECT_EQ(part.m_Ready, 1);
    EXPECT_TRUE(part.HasDisplayBitmap());

    // A part placed before keeps that placement.
    CRasterImageData moved;
    moved.m_Transformation.Set(2, 0, 10, 0, -2, 20);
    ASSERT_EQ(moved.Load(image), RLS_NoWorldFile);
    EXPECT_EQ(moved.m_Transformation.GetC(), 10);
    EXPECT_EQ(moved.m_Transformation.GetA(), 2);
}

TEST(RasterLoad, AnUnreadableWorldFileCountsAsMissing) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"zero determinant", "1\r\n2\r\n2\r\n4\r\n100\r\n200\r\n"},
        {"truncated", "2\r\n0\r\n0\r\n-3\r\n100"},
        {"decimal comma", "2\r\n0\r\n0\r\n-3\r\n100,5\r\n200\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string image = Copy(dir, "placed.png", "photo.png");
        WriteText(dir.file("photo.pgw"), c.text);
        CRasterImageData part;
        EXPECT_EQ(part.Load(image), RLS_NoWorldFile) << c.name;
        EXPECT_EQ(part.m_Transformation.GetA(), 1) << c.name;
        EXPECT_EQ(part.m_Transformation.GetF(), 0) << c.name;
        EXPECT_TRUE(part.HasDisplayBitmap()) << c.name;
    }
}

TEST(RasterLoad, AGivenTransformationWinsOverTheWorldFile) {
    CRasterImageData part;
    const CRasterTransformation given(0.5, 0, -20, 0, -0.5, 30);
    ASSERT_EQ(part.Load(kData + "placed.png", &given), RLS_Loaded);
    EXPECT_EQ(part.m_Transformation.GetA(), 0.5);
    EXPECT_EQ(part.m_Transformation.GetC(), -20);
    ExpectBounds(part.m_Bounds, -20.25, 28.75, -18.25, 30.25);
}

TEST(RasterLoad, RefusesWhatItCannotDecode) {
    TempDir dir;
    const auto png = ReadBytes(kData + "placed.png");
    WriteBytes(dir.file("truncated.png"), std::vector<unsigned char>(png.begin(), png.begin() + 40));
    WriteBytes(dir.file("empty.png"), {});
    WriteText(dir.file("text.png"), "this is no image\n");
    std::vector<unsigned char> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    WriteBytes(dir.file("noise.tif"), noise);
    for (const char* name : {"truncated.png", "empty.png", "text.png", "noise.tif", "missing.png"}) {
        CRasterImageData part;
        EXPECT_EQ(part.Load(dir.file(name)), RLS_DecodeFailed) << name;
        EXPECT_FALSE(part.HasDisplayBitmap()) << name;
        EXPECT_EQ(part.m_Ready, 0) << name;
        EXPECT_TRUE(part.m_ImagePath.empty()) << name;
    }
}

TEST(RasterLoad, NoPathAndASecondLoadChangeNothing) {
    CRasterImageData part;
    EXPECT_EQ(part.Load(""), RLS_NoPath);
    EXPECT_EQ(part.m_Ready, 0);

    ASSERT_EQ(part.Load(kData + "placed.png"), RLS_Loaded);
    const QImage before = part.m_DisplayBitmap;
    EXPECT_EQ(part.Load(kData + "sheared.png"), RLS_BitmapExists);
    EXPECT_EQ(part.m_ImagePath, kData + "placed.png");
    EXPECT_EQ(part.m_Transformation.GetC(), 100.5);
    EXPECT_EQ(part.m_DisplayBitmap, before);
    EXPECT_EQ(part.m_Ready, 1);

    // Once the bitmap is deleted the image loads again.
    part.DeleteDisplayBitmap();
    EXPECT_EQ(part.Load(kData + "sheared.png"), RLS_Loaded);
}

// Every depth ends up as the same 32-bit colours; an image that is not rotated
// comes out of the resampling pixel for pixel.
TEST(RasterLoad, EveryDepthDisplaysItsColours) {
    using Expected = std::function<QRgb(int)>;
    const auto palette = [](int i) { return kPalette16[i]; };
    const auto grey = [](int i) { return qRgb(10 + 20 * i, 10 + 20 * i, 10 + 20 * i); };
    const struct {
        const char* file;
        Expected colour;
        int tolerance;
    } cases[] = {
        {"depth_p1.png", [](int i) { return i % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0); }, 0},
        {"depth_p4.png", palette, 0},
        {"depth_p8.png", palette, 0},
        {"depth_g8.png", grey, 0},
        {"depth_g16.png", grey, 0},
        {"depth_p4.bmp", palette, 0},
        {"depth_p8.bmp", palette, 0},
        // 5 bits per channel: how 31 widens to 8 bits is the codec's choice.
        {"depth_16.bmp",
         [](int i) {
             static const int c555[12][3] = {{31, 0, 0},  {0, 31, 0},  {0, 0, 31},  {31, 31, 0},
                                             {0, 31, 31}, {31, 0, 31}, {16, 0, 0},  {0, 16, 0},
                                             {0, 0, 16},  {16, 16, 0}, {0, 16, 16}, {31, 31, 31}};
             return qRgb(c555[i][0] * 255 / 31, c555[i][1] * 255 / 31, c555[i][2] * 255 / 31);
         },
         8},
        {"placed.png", palette, 0},
    };
    for (const auto& c : cases) {
        CRasterImageData part;
        const CRasterTransformation unrotated;
        ASSERT_EQ(part.Load(kData + c.file, &unrotated), RLS_Loaded) << c.file;
        EXPECT_EQ(part.m_BitsPerPixel, 32);
        ASSERT_EQ(part.m_DisplayBitmap.format(), QImage::Format_RGB32) << c.file;
        ASSERT_EQ(part.m_BitmapWidth, 4) << c.file;
        ASSERT_EQ(part.m_BitmapHeight, 3) << c.file;
        ASSERT_EQ(part.m_DisplayBitmap.size(), QSize(4, 3)) << c.file;
        for (int r = 0; r < 3; ++r) {
            for (int col = 0; col < 4; ++col) {
                const QRgb got = part.m_DisplayBitmap.pixel(col, r);
                const QRgb want = c.colour(col + 4 * r);
                EXPECT_NEAR(qRed(got), qRed(want), c.tolerance) << c.file << " " << col << "," << r;
                EXPECT_NEAR(qGreen(got), qGreen(want), c.tolerance) << c.file << " " << col << "," << r;
                EXPECT_NEAR(qBlue(got), qBlue(want), c.tolerance) << c.file << " " << col << "," << r;
            }
        }
    }
}

TEST(RasterResample, AnImageThatIsNotRotatedKeepsItsSizeAndPixels) {
    // Pixel sizes and offsets whose corner coordinates carry rounding: the
    // extent over the pixel size comes out as 4.0000000000873115 and the like.
    const struct {
        double size, c, f;
    } cases[] = {
        {0.1, 123456.789, 5000000.7}, {0.1, 1000000.3, -73.25}, {0.3, -73.25, 500000.1},
        {1.0 / 3, 0, 0},              {0.0001, 179.9, -89.9},  {0.00027, 1e6 + 0.3, 1e6 + 0.3},
    };
    for (const auto& c : cases) {
        CRasterImageData part;
        const CRasterTransformation placed(c.size, 0, c.c, 0, -c.size, c.f);
        ASSERT_EQ(part.Load(kData + "placed.png", &placed), RLS_Loaded);
        ASSERT_EQ(part.m_DisplayBitmap.size(), QSize(4, 3)) << c.size << " " << c.c;
        for (int r = 0; r < 3; ++r) {
            for (int col = 0; col < 4; ++col)
                EXPECT_EQ(part.m_DisplayBitmap.pixel(col, r), kPalette16[col + 4 * r]) << c.size << " " << c.c;
        }
    }
}

TEST(RasterResample, AQuarterTurnTurnsThePixels) {
    TempDir dir;
    const QImage source = PatternImage(3, 2);
    const std::string path = SaveImage(dir, source, "pattern.bmp");
    const struct {
        double angle;
        // The source pixel that output pixel (oc, or) shows.
        std::function<QPoint(int, int)> from;
        double bounds[4];
    } cases[] = {
        // x = -row, y = -column: output (oc, or) shows column or, row 1 - oc.
        {kPi / 2, [](int oc, int orow) { return QPoint(orow, 1 - oc); }, {-1.5, -2.5, 0.5, 0.5}},
        // x = row, y = column: output (oc, or) shows column 2 - or, row oc.
        {-kPi / 2, [](int oc, int orow) { return QPoint(2 - orow, oc); }, {-0.5, -0.5, 1.5, 2.5}},
    };
    for (const auto& c : cases) {
        CRasterTransformation turned;
        ASSERT_TRUE(turned.Rotate(c.angle));
        CRasterImageData part;
        ASSERT_EQ(part.Load(path, &turned), RLS_Loaded);
        ASSERT_EQ(part.m_DisplayBitmap.size(), QSize(2, 3)) << c.angle;
        EXPECT_EQ(part.m_BitmapWidth, 2);
        EXPECT_EQ(part.m_BitmapHeight, 3);
        EXPECT_EQ(part.m_ImageWidth, 3);
        EXPECT_EQ(part.m_ImageHeight, 2);
        ExpectBounds(part.m_Bounds, c.bounds[0], c.bounds[1], c.bounds[2], c.bounds[3]);
        for (int orow = 0; orow < 3; ++orow) {
            for (int oc = 0; oc < 2; ++oc) {
                const QPoint p = c.from(oc, orow);
                EXPECT_EQ(part.m_DisplayBitmap.pixel(oc, orow), source.pixel(p)) << c.angle << " " << oc << "," << orow;
            }
        }
    }
}

TEST(RasterResample, ARotatedImageGrowsAndIsBlackOutsideItsOutline) {
    TempDir dir;
    QImage source(20, 10, QImage::Format_RGB32);
    const QRgb colour = qRgb(51, 102, 204);
    source.fill(colour);
    const std::string path = SaveImage(dir, source, "plain.png");

    CRasterTransformation turned;
    ASSERT_TRUE(turned.Rotate(kPi / 6));
    CRasterImageData part;
    ASSERT_EQ(part.Load(path, &turned), RLS_Loaded);
    // Unit pixels turned by 30 degrees: 20 cos 30 + 10 sin 30 = 22.32 wide,
    // 20 sin 30 + 10 cos 30 = 18.66 high, rounded up.
    ASSERT_EQ(part.m_DisplayBitmap.size(), QSize(23, 19));
    const QImage& shown = part.m_DisplayBitmap;
    EXPECT_EQ(shown.pixel(0, 0), kBlack);
    EXPECT_EQ(shown.pixel(22, 0), kBlack);
    EXPECT_EQ(shown.pixel(0, 18), kBlack);
    EXPECT_EQ(shown.pixel(22, 18), kBlack);
    EXPECT_EQ(shown.pixel(11, 9), colour);
    int coloured = 0;
    for (int r = 0; r < shown.height(); ++r) {
        for (int c = 0; c < shown.width(); ++c) {
            const QRgb p = shown.pixel(c, r);
            EXPECT_TRUE(p == colour || p == kBlack);
            coloured += p == colour;
        }
    }
    // The image's 200 pixels, give or take the pixels its outline cuts.
    EXPECT_GT(coloured, 170);
    EXPECT_LT(coloured, 230);
}

TEST(RasterResample, AnOversizeNorthUpCopyFailsTheLoad) {
    TempDir dir;
    // 100000 x 1 pixels turned by 45 degrees would need a north-up copy of
    // about 70711 x 70711 pixels (20 GB).
    QImage line(100000, 1, QImage::Format_RGB32);
    line.fill(qRgb(255, 255, 255));
    const std::string path = SaveImage(dir, line, "line.png");
    CRasterTransformation turned;
    ASSERT_TRUE(turned.Rotate(kPi / 4));
    CRasterImageData part;
    EXPECT_EQ(part.Load(path, &turned), RLS_BitmapFailed);
    EXPECT_FALSE(part.HasDisplayBitmap());
    EXPECT_EQ(part.m_Ready, 0);

    // Without the turn the same image loads.
    CRasterImageData plain;
    EXPECT_EQ(plain.Load(path), RLS_NoWorldFile);
    EXPECT_EQ(plain.m_DisplayBitmap.size(), QSize(100000, 1));
}

TEST(RasterResample, ATransformationWithoutInverseFailsTheLoad) {
    CRasterImageData part;
    const CRasterTransformation flat(1, 2, 0, 2, 4, 0);
    EXPECT_EQ(part.Load(kData + "placed.png", &flat), RLS_BitmapFailed);
    EXPECT_FALSE(part.HasDisplayBitmap());
}

TEST(RasterResample, RefusesAResampledSourceAndATargetWithABitmap) {
    CRasterImageData part;
    ASSERT_EQ(part.Load(kData + "placed.png"), RLS_Loaded);
    CRasterImageData target;
    std::vector<CShapePoint> corners;
    EXPECT_FALSE(part.Resample(target, corners));
    EXPECT_FALSE(target.HasDisplayBitmap());

    part.m_Resampled = 0;
    ASSERT_EQ(target.CreateDisplayBitmap(2, 2, 32), RLS_Loaded);
    EXPECT_FALSE(part.Resample(target, corners));
    EXPECT_EQ(target.m_DisplayBitmap.size(), QSize(2, 2));

    CRasterImageData fresh;
    ASSERT_TRUE(part.Resample(fresh, corners));
    ASSERT_EQ(corners.size(), 4u);
    ExpectPoint(corners[0], 99.5, 201.75, "top-left");
    ExpectPoint(corners[2], 107.5, 192.75, "bottom-right");
}

TEST(RasterDisplayBitmap, CreatesBlackBitmapsAndRefusesImpossibleSizes) {
    const struct {
        int width, height, depth, status;
    } cases[] = {
        {4, 3, 32, RLS_Loaded},
        {0, 3, 32, RLS_BitmapFailed},
        {4, 0, 32, RLS_BitmapFailed},
        {-4, 3, 32, RLS_BitmapFailed},
        {4, 3, 24, RLS_BitmapFailed},
        {4, 3, 8, RLS_BitmapFailed},
        {40000, 40000, 32, RLS_BitmapFailed},
        {16385, 16385, 32, RLS_BitmapFailed},
        {2147483647, 2, 32, RLS_BitmapFailed},
    };
    for (const auto& c : cases) {
        CRasterImageData part;
        EXPECT_EQ(part.CreateDisplayBitmap(c.width, c.height, c.depth), c.status) << c.width << "x" << c.height;
        EXPECT_EQ(part.HasDisplayBitmap(), c.status == RLS_Loaded);
        EXPECT_EQ(part.m_Ready, c.status == RLS_Loaded ? 1 : 0);
    }
    CRasterImageData part;
    ASSERT_EQ(part.CreateDisplayBitmap(4, 3, 32), RLS_Loaded);
    EXPECT_EQ(part.m_DisplayBitmap.pixel(3, 2), kBlack);
    EXPECT_EQ(part.CreateDisplayBitmap(8, 8, 32), RLS_BitmapExists);
    EXPECT_EQ(part.m_DisplayBitmap.size(), QSize(4, 3));
}

TEST(RasterRebuildBitmap, TakesOverAPluginBitmapOnItsRectangle) {
    QImage source(4, 2, QImage::Format_Indexed8);
    source.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    source.fill(0);
    source.setPixel(3, 1, 1);

    CRasterImageData part;
    ASSERT_TRUE(part.RebuildBitmap("Plugin raster", source, RasterRect{100, 50, 140, 70}));
    EXPECT_EQ(part.m_Ready, 1);
    EXPECT_EQ(part.m_ImagePath, "Plugin raster");
    ASSERT_EQ(part.m_DisplayBitmap.format(), QImage::Format_RGB32);
    EXPECT_EQ(part.m_DisplayBitmap.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(part.m_DisplayBitmap.pixel(3, 1), qRgb(0, 0, 255));
    EXPECT_EQ(part.m_BitmapWidth, 4);
    EXPECT_EQ(part.m_BitmapHeight, 2);
    EXPECT_EQ(part.m_ImageWidth, 4);
    EXPECT_EQ(part.m_ImageHeight, 2);
    // 40 x 20 map units over 4 x 2 pixels.
    EXPECT_EQ(part.m_Transformation.GetA(), 10);
    EXPECT_EQ(part.m_Transformation.GetE(), -10);
    EXPECT_EQ(part.m_Transformation.GetC(), 100);
    EXPECT_EQ(part.m_Transformation.GetF(), 70);
    ExpectBounds(part.m_Bounds, 100, 50, 140, 70);
    ASSERT_EQ(part.m_Corners.size(), 5u);
    ExpectPoint(part.m_Corners[0], 100, 70, "north-west");
    ExpectPoint(part.m_Corners[1], 100, 50, "south-west");
    ExpectPoint(part.m_Corners[2], 140, 50, "south-east");
    ExpectPoint(part.m_Corners[3], 140, 70, "north-east");
    ExpectPoint(part.m_Corners[4], 100, 70, "north-west");

    CRasterImageData empty;
    EXPECT_FALSE(empty.RebuildBitmap("x", QImage(), RasterRect{0, 0, 1, 1}));
    EXPECT_EQ(empty.m_Ready, 0);
    CRasterImageData flat;
    EXPECT_FALSE(flat.RebuildBitmap("x", source, RasterRect{5, 0, 5, 1}));
    EXPECT_FALSE(flat.HasDisplayBitmap());
}

TEST(RasterCorners, FollowEveryChangeOfTheTransformation) {
    // A 4 x 3 image, 2 x 3 units a pixel, top-left pixel centre at (100, 200):
    // outer corners from x 99 to 107 and y 192.5 to 201.5.
    const struct {
        const char* name;
        std::function<bool(CRasterImageData&)> change;
        double bounds[4];
    } cases[] = {
        {"none", [](CRasterImageData&) { return true; }, {99, 192.5, 107, 201.5}},
        {"move east", [](CRasterImageData& p) { return p.MoveHorizontally(10); }, {109, 192.5, 117, 201.5}},
        {"move south", [](CRasterImageData& p) { return p.MoveVertically(-2.5); }, {99, 190, 107, 199}},
        {"half width", [](CRasterImageData& p) { return p.ScaleWidth(0.5); }, {99.5, 192.5, 103.5, 201.5}},
        {"double height", [](CRasterImageData& p) { return p.ScaleHeight(2); }, {99, 185, 107, 203}},
        {"mirror", [](CRasterImageData& p) { return p.ScaleWidth(-1); }, {93, 192.5, 101, 201.5}},
    };
    for (const auto& c : cases) {
        CRasterImageData part;
        part.m_ImageWidth = 4;
        part.m_ImageHeight = 3;
        part.m_Transformation.Set(2, 0, 100, 0, -3, 200);
        part.UpdateCorners();
        ASSERT_TRUE(c.change(part)) << c.name;
        ASSERT_EQ(part.m_Corners.size(), 5u);
        ExpectBounds(part.m_Bounds, c.bounds[0], c.bounds[1], c.bounds[2], c.bounds[3]);
        EXPECT_DOUBLE_EQ(part.m_Transformation.GetK3(),
                         part.m_Transformation.GetA() * part.m_Transformation.GetE() -
                             part.m_Transformation.GetB() * part.m_Transformation.GetD());
    }
}

TEST(RasterCorners, ScaleByZeroOrNoNumberChangesNothing) {
    const double nan = std::nan("");
    for (const auto& change : std::vector<std::function<bool(CRasterImageData&)>>{
             [](CRasterImageData& p) { return p.ScaleWidth(0); },
             [](CRasterImageData& p) { return p.ScaleHeight(0); },
             [nan](CRasterImageData& p) { return p.ScaleHeight(nan); },
             [nan](CRasterImageData& p) { return p.MoveHorizontally(nan); },
             [](CRasterImageData& p) { return p.MoveVertically(INFINITY); },
         }) {
        CRasterImageData part;
        part.m_ImageWidth = 4;
        part.m_ImageHeight = 3;
        part.m_Transformation.Set(2, 0, 100, 0, -3, 200);
        part.UpdateCorners();
        EXPECT_FALSE(change(part));
        EXPECT_EQ(part.m_Transformation.GetA(), 2);
        EXPECT_EQ(part.m_Transformation.GetE(), -3);
        EXPECT_EQ(part.m_Transformation.GetC(), 100);
        EXPECT_EQ(part.m_Transformation.GetF(), 200);
        ExpectBounds(part.m_Bounds, 99, 192.5, 107, 201.5);
    }
}

TEST(ReadImageSize, ReportsThePixelSizeOfWhatDecodes) {
    int width = 0, height = 0;
    ASSERT_TRUE(ReadImageSize(kData + "geo.tif", width, height));
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 3);
    ASSERT_TRUE(ReadImageSize(kData + "depth_p1.png", width, height));
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 3);
    width = height = -1;
    EXPECT_FALSE(ReadImageSize(kData + "placed.pgw", width, height));
    EXPECT_FALSE(ReadImageSize(kData + "nothing.png", width, height));
    EXPECT_EQ(width, -1);
}

namespace {

CRasterImageData ArchivedPart() {
    CRasterImageData part;
    part.m_ImagePath = "maps/sheet 1.png";
    part.m_ControlPoints = {{1, 2, 10.5, 20.5}, {-3, 4, -1, 2}};
    part.m_Transformation.Set(2, 0.5, 100, 0.25, -3, 200);
    return part;
}

Bytes ArchivedBytes(std::uint32_t version) {
    Bytes b;
    b.u32(version).str("maps/sheet 1.png").u32(1).u32(2);
    b.i32(1).i32(2).f64(10.5).f64(20.5);
    b.i32(-3).i32(4).f64(-1).f64(2);
    if (version >= 2)
        b.f64(2).f64(0.25).f64(0.5).f64(-3).f64(100).f64(200); // A, D, B, E, C, F
    return b;
}

} // namespace

TEST(RasterArchive, StoresVersionPathControlPointsAndTransformation) {
    CRasterImageData part = ArchivedPart();
    CArchive store;
    part.Serialize(store);
    EXPECT_EQ(store.GetStored(), ArchivedBytes(2).data);
}

TEST(RasterArchive, LoadsBothVersions) {
    for (std::uint32_t version : {1u, 2u}) {
        const auto bytes = ArchivedBytes(version).data;
        CArchive load(bytes.data(), bytes.size());
        CRasterImageData part;
        part.m_ControlPoints = {{9, 9, 9, 9}};
        part.Serialize(load);
        EXPECT_EQ(load.GetRemaining(), 0u);
        EXPECT_EQ(part.m_ImagePath, "maps/sheet 1.png");
        ASSERT_EQ(part.m_ControlPoints.size(), 2u);
        EXPECT_EQ(part.m_ControlPoints[1].column, -3);
        EXPECT_EQ(part.m_ControlPoints[1].row, 4);
        EXPECT_EQ(part.m_ControlPoints[1].x, -1);
        EXPECT_EQ(part.m_ControlPoints[1].y, 2);
        const CRasterTransformation& t = part.m_Transformation;
        if (version == 1) {
            // No transformation block: the default stays.
            EXPECT_EQ(t.GetA(), 1);
            EXPECT_EQ(t.GetE(), -1);
            EXPECT_EQ(t.GetC(), 0);
        } else {
            EXPECT_EQ(t.GetA(), 2);
            EXPECT_EQ(t.GetB(), 0.5);
            EXPECT_EQ(t.GetC(), 100);
            EXPECT_EQ(t.GetD(), 0.25);
            EXPECT_EQ(t.GetE(), -3);
            EXPECT_EQ(t.GetF(), 200);
            EXPECT_EQ(t.GetK3(), 2 * -3 - 0.5 * 0.25);
        }
    }
}

TEST(RasterArchive, RefusesNewerVersionsAndDamagedDataLeavingThePartAlone) {
    const auto expectRefused = [](const std::vector<unsigned char>& bytes, CArchiveException::Cause cause,
                                  const std::string& what) {
        CArchive load(bytes.data(), bytes.size());
        CRasterImageData part;
        part.m_ImagePath = "kept.png";
        part.m_ControlPoints = {{7, 8, 9, 10}};
        part.m_Transformation.Set(3, 0, 1, 0, -3, 2);
        try {
            part.Serialize(load);
            ADD_FAILURE() << what << ": loaded";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, cause) << what;
        }
        EXPECT_EQ(part.m_ImagePath, "kept.png") << what;
        ASSERT_EQ(part.m_ControlPoints.size(), 1u) << what;
        EXPECT_EQ(part.m_ControlPoints[0].column, 7) << what;
        EXPECT_EQ(part.m_Transformation.GetA(), 3) << what;
    };

    expectRefused(ArchivedBytes(3).data, CArchiveException::BadSchema, "version 3");

    // Version, path (1 + 16 bytes), control-point version and count take 29
    // bytes; the two points the next 48. A count whose points are not all
    // there is refused before anything is read as a point.
    const auto full = ArchivedBytes(2).data;
    for (std::size_t size = 0; size < full.size(); ++size) {
        const auto cause = size >= 29 && size < 29 + 48 ? CArchiveException::BadData : CArchiveException::EndOfFile;
        expectRefused(std::vector<unsigned char>(full.begin(), full.begin() + size), cause,
                      "truncated to " + std::to_string(size));
    }

    Bytes huge;
    huge.u32(2).str("a.png").u32(1).u32(0xFFFFFFFFu).i32(1).i32(2).f64(3).f64(4);
    expectRefused(huge.data, CArchiveException::BadData, "count beyond the data");

    Bytes nan;
    nan.u32(1).str("a.png").u32(1).u32(1).i32(1).i32(2).f64(std::nan("")).f64(4);
    expectRefused(nan.data, CArchiveException::BadData, "control point not finite");
}
