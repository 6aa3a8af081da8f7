// World files: their names beside an image, reading and writing the six
// numbers.

#include "CommaLocale.h"
#include "TempDir.h"
#include "raster/RasterImageData.h"
#include "raster/RasterTransformation.h"

#include <clocale>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <locale>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace {

const std::string kData = std::string(CORVALE_TEST_DATA) + "/raster/";

std::string TextOf(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}


void ExpectCoefficients(const CRasterTransformation& t, double a, double b, double c, double d, double e,
                        double f) {
    EXPECT_EQ(t.GetA(), a);
    EXPECT_EQ(t.GetB(), b);
    EXPECT_EQ(t.GetC(), c);
    EXPECT_EQ(t.GetD(), d);
    EXPECT_EQ(t.GetE(), e);
    EXPECT_EQ(t.GetF(), f);
}

} // namespace

TEST(WorldFileName, ExtensionFollowsTheImageExtension) {
    const struct {
        const char* image;
        const char* world;
    } cases[] = {
        {"photo.TIF", ".tfw"},      {"photo.tif", ".tfw"},   {"photo.jpg", ".jgw"},  {"photo.jpeg", ".jgw"},
        {"photo.JPEG", ".jgw"},     {"photo.tiff", ".tfw"},  {"photo.jp2", ".j2w"},  {"photo.jfif", ".wld"},
        {"photo.png", ".pgw"},      {"photo.gif", ".gfw"},   {"photo.bmp", ".bpw"},  {"photo", ".wld"},
        {"/maps.v2/photo", ".wld"}, {"/maps/photo.", ".wld"}, {"/maps/.hidden", ".wld"}, {"a.b.Png", ".pgw"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetWorldFileExtension(c.image), c.world) << c.image;
}

TEST(WorldFileName, FindWorldFileTriesThePreferredNameFirstThenTheFallbacks) {
    const struct {
        const char* image;
        std::vector<const char*> present;
        bool found;
        const char* expected; // file name the out path ends in
    } cases[] = {
        {"photo.png", {"photo.wld"}, true, "photo.wld"},
        {"photo.png", {"photo.wld", "photo.pgw"}, true, "photo.pgw"},
        {"photo.png", {"photo.w", "photo.tfw"}, true, "photo.w"},
        {"photo.png", {"photo.tfw"}, true, "photo.tfw"},
        {"photo.TIF", {"photo.TFW"}, true, "photo.TFW"},
        {"photo.tif", {"PHOTO.Tfw"}, true, "PHOTO.Tfw"},
        {"photo.tiff", {"photo.tfw"}, true, "photo.tfw"},
        {"photo.jpeg", {"photo.jgw"}, true, "photo.jgw"},
        {"photo.png", {}, false, "photo.pgw"},
        {"photo.png", {"other.pgw"}, false, "photo.pgw"},
        {"photo", {"photo.wld"}, true, "photo.wld"},
        {"photo", {"photo.WLD"}, true, "photo.WLD"},
        {"photo", {"photo.tfw"}, false, "photo.wld"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const char* name : c.present)
            WriteText(dir.file(name), "1\n0\n0\n-1\n0\n0\n");
        std::string world;
        EXPECT_EQ(FindWorldFile(dir.file(c.image), world), c.found) << c.image;
        EXPECT_EQ(world, dir.file(c.expected)) << c.image;
    }
}

TEST(WorldFileName, AFolderNamedLikeAWorldFileIsNoWorldFile) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("photo.pgw").c_str(), 0700), 0);
    WriteText(dir.file("photo.wld"), "1\n0\n0\n-1\n0\n0\n");
    std::string world;
    EXPECT_TRUE(FindWorldFile(dir.file("photo.png"), world));
    EXPECT_EQ(world, dir.file("photo.wld"));
}

TEST(WorldFileRead, ReadsTheSixNumbersInWorldFileOrder) {
    std::istringstream in("1\r\n0\r\n0\r\n-1\r\n100\r\n200\r\n");
    CRasterTransformation t(5, 5, 5, 5, 5, 5);
    ASSERT_TRUE(t.ReadWorldFile(in));
    ExpectCoefficients(t, 1, 0, 100, 0, -1, 200);
    EXPECT_EQ(t.GetK3(), -1.0);
    // K1 = B*F - C*E = 0*200 - 100*(-1); K2 = A*F - C*D = 200.
    EXPECT_EQ(t.GetK1(), 100.0);
    EXPECT_EQ(t.GetK2(), 200.0);
}

TEST(WorldFileRead, AcceptsTheLayoutsRealWorldFilesHave) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"CR LF", "2\r\n0.5\r\n-0.25\r\n-3\r\n100.5\r\n200.25\r\n"},
        // Many world files end directly after the last digit.
        {"no line end at the end", "2\r\n0.5\r\n-0.25\r\n-3\r\n100.5\r\n200.25"},
        {"LF", "2\n0.5\n-0.25\n-3\n100.5\n200.25\n"},
        {"CR", "2\r0.5\r-0.25\r-3\r100.5\r200.25\r"},
        {"blanks and exponents", "  +2.0e0\t\n5e-1\n -2.5E-1 \n\n-3.000\n1.005e2\n200.25   \n"},
        {"more after the sixth number", "2\n0.5\n-0.25\n-3\n100.5\n200.25\nEPSG:4326\n"},
        {"a tail on the sixth number", "2\n0.5\n-0.25\n-3\n100.5\n200.25;\n"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        CRasterTransformation t;
        ASSERT_TRUE(t.ReadWorldFile(in)) << c.name;
        ExpectCoefficients(t, 2, -0.25, 100.5, 0.5, -3, 200.25);
    }
}

TEST(WorldFileRead, RefusesDamagedFilesAndKeepsTheTransformation) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"five numbers", "1\n0\n0\n-1\n100\n"},
        {"five numbers and blanks", "1\n0\n0\n-1\n100\n\r\n  \n"},
        {"decimal comma", "1,5\n0\n0\n-1\n100\n200\n"},
        {"a word", "1\n0\nzero\n-1\n100\n200\n"},
        {"junk after a number", "1\n0abc\n0\n-1\n100\n200\n"},
        {"not a number", "nan\n0\n0\n-1\n100\n200\n"},
        {"infinite", "1\n0\n0\n-1\ninf\n200\n"},
        {"too large for a double", "1\n0\n0\n-1\n1e400\n200\n"},
        // A*E = B*D: every pixel on one line, no inverse.
        {"zero determinant", "1\n2\n2\n4\n100\n200\n"},
        {"all zero", "0\n0\n0\n0\n0\n0\n"},
        {"determinant beyond a double", "1e200\n0\n0\n-1e200\n0\n0\n"},
        {"one endless number", "1\n0\n0\n-1\n100\n" + std::string(100000, '2')},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        CRasterTransformation t(2, 3, 4, 5, 6, 7);
        EXPECT_FALSE(t.ReadWorldFile(in)) << c.name;
        ExpectCoefficients(t, 2, 3, 4, 5, 6, 7);
        EXPECT_EQ(t.GetK3(), 2.0 * 6 - 3.0 * 5);
    }
}

TEST(WorldFileRead, ReadsTheWorldFileGdalWrote) {
    // geo.tfw: written by gdal_translate -co TFW=YES (make_fixtures.sh) with
    // LF line ends and ten decimals.
    std::ifstream in(kData + "geo.tfw", std::ios::binary);
    CRasterTransformation t;
    ASSERT_TRUE(t.ReadWorldFile(in));
    ExpectCoefficients(t, 0.5, 0, -9.75, 0, -0.25, 49.875);
}

TEST(WorldFileWrite, FormatsSixDecimalsWithCrLf) {
    std::string text;
    CRasterTransformation().FormatWorldFile(text);
    EXPECT_EQ(text, "1.000000\r\n0.000000\r\n0.000000\r\n-1.000000\r\n0.000000\r\n0.000000\r\n");

    CRasterTransformation(0.1234567, -2.5, 654321.125, 1e-7, -0.5, -42).FormatWorldFile(text);
    EXPECT_EQ(text, "0.123457\r\n0.000000\r\n-2.500000\r\n-0.500000\r\n654321.125000\r\n-42.000000\r\n");
}

TEST(WorldFileWrite, UsesADecimalPointUnderACommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "the de_DE.UTF-8 locale is missing; scripts/setup.sh generates it";
    std::string text;
    CRasterTransformation(1.5, 0, 10.25, 0, -1.5, 20.75).FormatWorldFile(text);
    EXPECT_EQ(text, "1.500000\r\n0.000000\r\n0.000000\r\n-1.500000\r\n10.250000\r\n20.750000\r\n");

    std::istringstream in(text);
    CRasterTransformation read;
    ASSERT_TRUE(read.ReadWorldFile(in));
    ExpectCoefficients(read, 1.5, 0, 10.25, 0, -1.5, 20.75);
}

TEST(WorldFileWrite, WritesAFileThatReadsBack) {
    TempDir dir;
    const std::string path = dir.file("sheet.pgw");
    const CRasterTransformation written(2.5, -0.125, 1000.5, 0.375, -2.5, -2000.25);
    ASSERT_TRUE(written.WriteWorldFile(path));
    EXPECT_EQ(TextOf(path), "2.500000\r\n0.375000\r\n-0.125000\r\n-2.500000\r\n1000.500000\r\n-2000.250000\r\n");

    std::ifstream in(path, std::ios::binary);
    CRasterTransformation read;
    ASSERT_TRUE(read.ReadWorldFile(in));
    ExpectCoefficients(read, 2.5, -0.125, 1000.5, 0.375, -2.5, -2000.25);
}

TEST(WorldFileWrite, ReplacesAnOldFileAndFailsWhereNoFileCanBeMade) {
    TempDir dir;
    const std::string path = dir.file("sheet.wld");
    WriteText(path, "old");
    ASSERT_TRUE(CRasterTransformation().WriteWorldFile(path));
    EXPECT_EQ(TextOf(path).substr(0, 10), "1.000000\r\n");

    EXPECT_FALSE(CRasterTransformation().WriteWorldFile(dir.file("missing/sheet.wld")));
    EXPECT_FALSE(FileExists(dir.file("missing")));
}
