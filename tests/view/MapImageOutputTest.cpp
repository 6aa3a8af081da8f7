// Map images: sheets with their world files, the automatic sheet value, GIF
// transparency, HTML image maps and the print preview.
#include "ViewTestSupport.h"

#include "TempDir.h"
#include "framework/ScriptedUserInterface.h"
#include "view/MapImageOutput.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CMapSheetSettings SheetSettings(const std::string& directory, int columns, int rows, int kind) {
    CMapSheetSettings s;
    s.columns = columns;
    s.rows = rows;
    s.width = 30;
    s.height = 20;
    s.directory = directory;
    s.transformKind = kind;
    return s;
}

TEST(MapSheets, AThreeByTwoGridWritesSixSheetsWithWorldFiles) {
    corvale::CScriptedUserInterface ui;
    RecordingServices services;
    TestWorkspace ws;
    ws.SetExtent(0.0, 0.0, 300.0, 200.0);
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = MakeView(ws);
    TempDir dir;

    services.kindAnswer = 1;
    services.sheetAnswer = SheetSettings(dir.path(), 3, 2, STK_WorldFile);
    view->OnSaveMapImage();
    ASSERT_EQ(services.sheetQuestions.size(), 1u);
    EXPECT_EQ(services.sheetQuestions[0].clientWidth, view->width());
    EXPECT_EQ(RememberedMapImageChoice(), 1) << "the choice is kept for the next time";
    EXPECT_TRUE(ui.Messages().empty());

    // The row comes first in the default name, the column second.
    for (const char* name : {"img_1_1", "img_1_2", "img_1_3", "img_2_1", "img_2_2", "img_2_3"}) {
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string(name) + ".bmp"))) << name;
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string(name) + ".tfw"))) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              12);
    // Column 1, row 1 covers x 0..100, y 100..200 in 30 x 20 pixels; the
    // last number is the centre of the upper-left pixel.
    EXPECT_EQ(ReadFile(dir.file("img_1_1.tfw")),
              "3.333333333333333\r\n0\r\n0\r\n-5\r\n1.666666666666667\r\n197.5\r\n");
    // The sheet below it shows the red square that fills x 0..100, y 0..100.
    const QImage lower(QString::fromStdString(dir.file("img_2_1.bmp")));
    ASSERT_EQ(lower.size(), QSize(30, 20));
    EXPECT_EQ(lower.pixelColor(15, 10), Colour(kRefRed));
    const QImage upper(QString::fromStdString(dir.file("img_1_1.bmp")));
    EXPECT_EQ(upper.pixelColor(15, 10), Colour(kRefWhite));
    EXPECT_EQ(ui.progress.front(), -1);
    EXPECT_EQ(ui.progress.back(), -2);
    RememberedMapImageChoice() = 0;
    RememberedMapSheetSettings() = CMapSheetSettings();
}

TEST(MapSheets, SheetTextsAndSixteenBitSheets) {
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    ws.SetExtent(0.0, 0.0, 300.0, 200.0);
    auto view = MakeView(ws);
    TempDir dir;
    CMapSheetSettings s = SheetSettings(dir.path(), 3, 2, STK_SheetText);
    s.extension = ".png";
    s.bits = 16;
    EXPECT_EQ(view->WriteMapSheets(s), 0);
    EXPECT_EQ(ReadFile(dir.file("img_2_3.txt")),
              "TOP=100\r\nLEFT=200\r\nBOTTOM=0\r\nRIGHT=300\r\nROTATE=0.000000\r\n");
    EXPECT_FALSE(QImage(QString::fromStdString(dir.file("img_2_3.png"))).isNull());
}

TEST(MapSheets, SheetsThatCannotBeSavedAreCountedAndReported) {
    corvale::CScriptedUserInterface ui;
    RecordingServices services;
    TestWorkspace ws;
    auto view = MakeView(ws);
    TempDir dir;
    services.kindAnswer = 1;
    services.sheetAnswer = SheetSettings(dir.file("no/such/folder"), 2, 2, STK_WorldFile);
    view->OnSaveMapImage();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"4 of 4 map sheets could not be saved."});
    RememberedMapImageChoice() = 0;
    RememberedMapSheetSettings() = CMapSheetSettings();
}

TEST(MapSheets, AWorldFileThatCannotBeReplacedIsKept) {
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    ws.SetExtent(0.0, 0.0, 300.0, 200.0);
    auto view = MakeView(ws);
    TempDir dir;
    const std::string world = dir.file("img_1_1.tfw");
    std::ofstream(world) << "good";
    ASSERT_EQ(::chmod(world.c_str(), 0444), 0);
    EXPECT_EQ(view->WriteMapSheets(SheetSettings(dir.path(), 1, 1, STK_WorldFile)), 1);
    EXPECT_EQ(ReadFile(world), "good");
    // The image and the old world file, no temporary file left beside them.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"img_1_1.bmp", "img_1_1.tfw"}));
}

TEST(MapSheets, AutomaticValue) {
    struct Case {
        bool heightAutomatic;
        int columns, rows, width, height, clientWidth, clientHeight;
        bool computed;
        int expected; // the height, or the rows
    };
    const Case cases[] = {
        // 100 pixels for each 200-pixel column of a 400 x 300 window: 75
        // for each 150-pixel row.
        {true, 2, 2, 100, 0, 400, 300, true, 75},
        // Rounded up.
        {true, 3, 1, 100, 0, 400, 300, true, 225},
        // Rows: 2 columns of 100 pixels, sheets 50 high: 3 rows.
        {false, 2, 0, 100, 50, 400, 300, true, 3},
        {false, 2, 0, 100, 70, 400, 300, true, 3},
        {false, 2, 0, 100, 75, 400, 300, true, 2},
        // A divisor of zero changes nothing.
        {true, 0, 2, 100, 9, 400, 300, false, 9},
        {true, 2, 0, 100, 9, 400, 300, false, 9},
        {false, 2, 7, 0, 50, 400, 300, false, 7},
        {false, 2, 7, 100, 0, 400, 300, false, 7},
    };
    for (const Case& c : cases) {
        CMapSheetSettings s;
        s.heightAutomatic = c.heightAutomatic;
        s.columns = c.columns;
        s.rows = c.rows;
        s.width = c.width;
        s.height = c.height;
        s.clientWidth = c.clientWidth;
        s.clientHeight = c.clientHeight;
        EXPECT_EQ(ComputeAutomaticSheetValue(s), c.computed);
        EXPECT_EQ(c.heightAutomatic ? s.height : s.rows, c.expected)
            << c.columns << "x" << c.rows << " " << c.width << "x" << c.height;
    }
    EXPECT_EQ(ExpandSheetTemplate("a<SHEETX>_<SHEETY><SHEETX><sheetx>", 1, 9), "a2_102<sheetx>");
}

// ---------------------------------------------------------------------------

struct GifRead {
    int transparentIndex = NO_TRANSPARENT_COLOR;
    std::vector<QRgb> palette;
    std::vector<int> pixels;
};

GifRead ReadGif(const std::string& path) {
    GifRead read;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        ADD_FAILURE() << "not a GIF: " << path;
        if (gif != nullptr)
            DGifCloseFile(gif, &error);
        return read;
    }
    GraphicsControlBlock block{};
    if (DGifSavedExtensionToGCB(gif, 0, &block) == GIF_OK)
        read.transparentIndex = block.TransparentColor;
    const ColorMapObject* map = gif->SColorMap;
    for (int i = 0; map != nullptr && i < map->ColorCount; ++i)
        read.palette.push_back(qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    const SavedImage& image = gif->SavedImages[0];
    for (int i = 0; i < image.ImageDesc.Width * image.ImageDesc.Height; ++i)
        read.pixels.push_back(image.RasterBits[i]);
    DGifCloseFile(gif, &error);
    return read;
}

TEST(MapImageFiles, GifTransparencyHasAPaletteEntryOfItsOwn) {
    TempDir dir;
    // Black first: a transparent index 0 would make the black pixel clear.
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(255, 0, 0));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    image.setPixel(2, 1, qRgb(0, 0, 0));
    const std::uint32_t red = kRefRed;
    const std::string path = dir.file("map.Gif");
    ASSERT_TRUE(SaveImageFile(image, path, QByteArray(), &red));
    const GifRead read = ReadGif(path);
    ASSERT_NE(read.transparentIndex, NO_TRANSPARENT_COLOR);
    ASSERT_EQ(read.pixels.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const QRgb source = image.pixel(i % 3, i / 3);
        EXPECT_EQ(read.pixels[static_cast<std::size_t>(i)] == read.transparentIndex,
                  source == qRgb(255, 0, 0))
            << "pixel " << i;
        EXPECT_EQ(read.palette[static_cast<std::size_t>(read.pixels[static_cast<std::size_t>(i)])],
                  source);
    }
    // Qt reads the same file with clear red pixels and opaque others.
    const QImage back(QString::fromStdString(path), "GIF");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);
    EXPECT_EQ(back.pixel(0, 0), qRgb(0, 0, 0));

    // A colour the image does not hold makes nothing transparent; other
    // formats are saved as they are.
    const std::uint32_t green = 0x00FF00;
    ASSERT_TRUE(SaveImageFile(image, dir.file("plain.gif"), QByteArray(), &green));
    EXPECT_EQ(ReadGif(dir.file("plain.gif")).transparentIndex, NO_TRANSPARENT_COLOR);
    ASSERT_TRUE(SaveImageFile(image, dir.file("map.png"), QByteArray(), &red));
    EXPECT_EQ(qAlpha(QImage(QString::fromStdString(dir.file("map.png"))).pixel(1, 0)), 255);
}

TEST(MapImageFiles, ManyColoursAndFailedWrites) {
    TempDir dir;
    QImage gradient(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
    gradient.setPixel(5, 5, qRgb(1, 2, 3));
    const std::uint32_t key = 0x030201;
    ASSERT_TRUE(SaveImageFile(gradient, dir.file("g.gif"), QByteArray("gif"), &key));
    const GifRead read = ReadGif(dir.file("g.gif"));
    ASSERT_EQ(read.pixels.size(), 64u * 64u);
    EXPECT_EQ(read.pixels[5 * 64 + 5], read.transparentIndex);
    EXPECT_EQ(std::count(read.pixels.begin(), read.pixels.end(), read.transparentIndex), 1);
    // Reduced colours stay near their source.
    const QRgb c = read.palette[static_cast<std::size_t>(read.pixels[40 * 64 + 20])];
    EXPECT_NEAR(qRed(c), 80, 30);
    EXPECT_NEAR(qGreen(c), 160, 30);

    // A save that fails leaves the file that was there.
    std::ofstream(dir.file("keep.png")) << "old";
    EXPECT_FALSE(SaveImageFile(QImage(), dir.file("keep.png"), QByteArray(), nullptr));
    EXPECT_FALSE(SaveImageFile(gradient, dir.file("keep.png"), QByteArray("nosuchformat"), nullptr));
    EXPECT_EQ(ReadFile(dir.file("keep.png")), "old");
    EXPECT_FALSE(SaveImageFile(gradient, dir.file("none/x.gif"), QByteArray(), nullptr));
    // A read-only file is refused in every format, even for the super-user.
    for (const char* name : {"locked.png", "locked.gif"}) {
        std::ofstream(dir.file(name)) << "old";
        ASSERT_EQ(::chmod(dir.file(name).c_str(), 0444), 0);
        EXPECT_FALSE(SaveImageFile(gradient, dir.file(name), QByteArray(), nullptr)) << name;
        EXPECT_EQ(ReadFile(dir.file(name)), "old") << name;
    }
}

TEST(MapImageFiles, TheFileFilterListsWritableFormats) {
    const std::string filter = MapImageFileFilter();
    EXPECT_EQ(filter.rfind("PNG (*.png)|*.png|", 0), 0u) << filter;
    EXPECT_NE(filter.find("GIF (*.gif)|*.gif|"), std::string::npos);
    EXPECT_NE(filter.find("JPG (*.jpg;*.jpeg)|*.jpg;*.jpeg|"), std::string::npos);
    EXPECT_EQ(filter.find("ICO"), std::string::npos);
    EXPECT_EQ(filter.substr(filter.size() - 2), "||");
}

TEST(MapImageFiles, AnInteractiveSaveOffersImageMapsForPointAndPolygonThemes) {
    corvale::CScriptedUserInterface ui;
    RecordingServices services;
    TestWorkspace ws;
    ws.AddPolylineTheme("roads", {{{{10, 10}, {90, 90}}}}, kRefBlue);
    auto view = MakeView(ws);
    TempDir dir;
    ASSERT_TRUE(view->SaveMapImage(QByteArray(), dir.file("a.png"), nullptr, false));
    EXPECT_TRUE(ui.Messages().empty()) << "no point or polygon theme: no offer";

    ws.AddPolygonTheme("parcels", {Square(10, 10, 20, 20)}, kRefRed);
    ui.messageAnswers = {corvale::IDYES};
    ASSERT_TRUE(view->SaveMapImage(QByteArray(), dir.file("b.png"), nullptr, false));
    EXPECT_EQ(services.imageMapImages, std::vector<std::string>{dir.file("b.png")});
    ASSERT_EQ(ui.shown.size(), 1u) << "no theme chosen: no second question";
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Question);

    // A failed save says so, naming the file (a read-only one as such); the
    // offer follows it too, and the result stays the save's.
    std::ofstream(dir.file("locked.png")) << "old";
    ASSERT_EQ(::chmod(dir.file("locked.png").c_str(), 0444), 0);
    struct Failure {
        std::string path, message;
    } failures[] = {
        {dir.file("no/c.png"), "The map image could not be saved to\n" + dir.file("no/c.png")},
        {dir.file("locked.png"), "The file\n" + dir.file("locked.png") + "\nis read-only and was not replaced."},
    };
    for (const Failure& f : failures) {
        ui.shown.clear();
        EXPECT_FALSE(view->SaveMapImage(QByteArray(), f.path, nullptr, false));
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[0].text, f.message);
        EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);
        EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Question);
    }
    EXPECT_EQ(ReadFile(dir.file("locked.png")), "old");

    view->resize(0, 10);
    ui.shown.clear();
    EXPECT_FALSE(view->SaveMapImage(QByteArray(), dir.file("d.png"), nullptr, true));
    EXPECT_TRUE(ui.shown.empty()) << "quiet";
    view->OnSaveMapImage();
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"The map is not visible.\n\nResize the map and try again."});
    EXPECT_TRUE(services.kindQuestions.empty());
}

// ---------------------------------------------------------------------------

class ImageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 100 x 100 pixels over the map's 0..100 square: pixel x = x,
        // pixel y = 100 - y.
        SetMapViewport(viewport, CDeviceRect{0, 0, 100, 100}, 0.0, 100.0, 0.0, 100.0);
        points.m_SourceType = ST_Native;
        points.m_ShapeType = SHT_Point;
        points.m_Editable = true;
        CAttributeFieldInfo name;
        name.m_Name = "NAME";
        name.m_Length = 20;
        points.AddAttribute(name, nullptr, nullptr);
        const std::pair<CShapePoint, const char*> rows[] = {
            {{10, 20}, "A&B"}, {{150, 50}, "outside"}, {{50.5, 60}, "<'q\">"}};
        for (int i = 0; i < 3; ++i) {
            points.AddPointAt(false, false, rows[i].first.x, rows[i].first.y);
            points.SetAttributeText(i, 0, rows[i].second, false);
        }
    }

    CMapViewport viewport;
    CTheme points;
};

TEST_F(ImageMapTest, PointAreasWithEscapedValues) {
    CImageMapTexts texts;
    texts.href = "show?n=<NAME>&i=<$INDEX>";
    texts.alt = "<NAME>";
    texts.custom = "data-x='<$PIXEL_X>' data-y='<$PIXEL_Y>'";
    EXPECT_EQ(GenerateImageMap(points, viewport, false, texts),
              "<map name='map'>\r\n"
              "<Area shape='rect' coords='4,74,16,86' href='show?n=A&amp;B&i=0' alt='A&amp;B' "
              "data-x='10' data-y='80'>\r\n"
              "<Area shape='rect' coords='44,34,56,46' href='show?n=&lt;&#39;q&quot;&gt;&i=2' "
              "alt='&lt;&#39;q&quot;&gt;' data-x='50' data-y='40'>\r\n"
              "</map>");
    EXPECT_EQ(CountImageMapShapes(points, viewport, false), 2);

    // Only the selection, and no texts at all.
    points.AddToSelection(2, 2, 0, 0);
    EXPECT_EQ(GenerateImageMap(points, viewport, true, CImageMapTexts()),
              "<map name='map'>\r\n<Area shape='rect' coords='44,34,56,46' nohref>\r\n</map>");
    EXPECT_EQ(CountImageMapShapes(points, viewport, true), 1);
}

// The image map is UTF-8 text (shown in the dialog and saved as such): a
// value in Windows Latin 1 (a table that does not say its code page and
// holds no UTF-8) arrives converted, a UTF-8 value as it is.
TEST_F(ImageMapTest, ValuesArriveAsUtf8) {
    points.SetAttributeText(0, 0, "C\xF4te", false);
    points.SetAttributeText(2, 0, "C\xC3\xB4te", false);
    CImageMapTexts texts;
    texts.alt = "<NAME>";
    const std::string map = GenerateImageMap(points, viewport, false, texts);
    EXPECT_EQ(map, "<map name='map'>\r\n"
                   "<Area shape='rect' coords='4,74,16,86' nohref alt='C\xC3\xB4te'>\r\n"
                   "<Area shape='rect' coords='44,34,56,46' nohref alt='C\xC3\xB4te'>\r\n"
                   "</map>");
}

TEST_F(ImageMapTest, PointsOnTheImageEdges) {
    struct Case {
        double x, y;
        bool in;
    };
    const Case cases[] = {
        {0, 50, true},   // left edge
        {50, 100, true}, // top edge
        {100, 50, false}, // right edge
        {50, 0, false},  // bottom edge
    };
    for (const Case& c : cases) {
        CTheme theme;
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Point;
        theme.AddPointAt(false, false, c.x, c.y);
        EXPECT_EQ(CountImageMapShapes(theme, viewport, false), c.in ? 1 : 0) << c.x << "," << c.y;
        EXPECT_EQ(GenerateImageMap(theme, viewport, false, CImageMapTexts()).find("<Area") !=
                      std::string::npos,
                  c.in);
    }
}

TEST_F(ImageMapTest, PolygonPartsOutsideTheImageGetNoArea) {
    TestWorkspace ws;
    CTheme* parcels = ws.AddPolygonTheme(
        "parcels",
        {{{{10, 10}, {10.4, 9.6}, {10, 30}, {30, 30}, {30, 10}, {10, 10}},
          {{200, 200}, {200, 220}, {220, 220}, {200, 200}}}},
        kRefRed);
    CImageMapTexts texts;
    texts.alt = "<$PIXEL_X> #<$INDEX>";
    // The vertex that falls on the pixel before it is left out; pixel
    // placeholders mean nothing for polygons.
    EXPECT_EQ(GenerateImageMap(*parcels, viewport, false, texts),
              "<map name='map'>\r\n"
              "<Area shape='polygon' coords='10,90,10,70,30,70,30,90,10,90' nohref "
              "alt='<$PIXEL_X> #0'>\r\n"
              "</map>");
}

TEST(ImageMapText, SizeEstimateAndTestPage) {
    CImageMapTexts texts;
    EXPECT_EQ(EstimateImageMapSize(texts, 3), (50 + 2) * 3 + 24);
    texts.href = "abc";
    texts.alt = "de";
    texts.custom = "x";
    EXPECT_EQ(EstimateImageMapSize(texts, 2), (54 + 9 + 2 + 2) * 2 + 24);
    EXPECT_EQ(ImageMapTestPage("<map name='map'>\r\n</map>", "/tmp/Tom's $MAP.png"),
              "<HTML>\r\n<TITLE>Image map test</TITLE>\r\n<BODY>\r\n<map name='map'>\r\n</map>\r\n"
              "<IMG SRC='file:///tmp/Tom&#39;s $MAP.png' USEMAP='#Map'>\r\n"
              "</BODY>\r\n</HTML>\r\n");
}

// ---------------------------------------------------------------------------

TEST(PrintPreview, ShowsThePageWithItsOwnToolBar) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(10, 10, 90, 90)}, kRefRed);
    auto view = MakeView(ws);
    view->show();
    QStringList actions;
    int pages = -1;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("printPreview"))
                continue;
            for (QAction* action : widget->findChild<QToolBar*>()->actions())
                if (!action->isSeparator())
                    actions << action->objectName();
            auto* preview = widget->findChild<QPrintPreviewWidget*>();
            preview->updatePreview();
            pages = preview->pageCount();
            widget->close();
        }
    });
    view->OnFilePrintPreview();
    EXPECT_EQ(actions, (QStringList{"close", "print", "zoomIn", "zoomOut"}));
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(view->m_mapDirty) << "the screen's picture is rendered again";
}

TEST(PrintPreview, APrintedPdfHoldsThePage) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(10, 10, 90, 90)}, kRefRed);
    auto view = MakeView(ws);
    TempDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("map.pdf")));
    view->OnPrint(printer);
    const std::string pdf = ReadFile(dir.file("map.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/Type /Page"), std::string::npos);
}

} // namespace
