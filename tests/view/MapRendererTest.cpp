// The map renderer, read off the pixels of rendered images.

#include "ViewTestSupport.h"

#include "core/styles/PointSymbols.h"
#include "geometry/SpatialHash.h"
#include "view/MapDrawing.h"
#include "view/MapRenderer.h"

#include <QFont>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Settings the renderer reads, put back after each test.
class SettingsGuard {
public:
    SettingsGuard() : m_Saved(*CAppSettings::GetInstance()) {}
    ~SettingsGuard() { *CAppSettings::GetInstance() = m_Saved; }

private:
    CAppSettings m_Saved;
};

// Extent 0..100 on 100 x 100 pixels: map (x, y) lies on pixel (x, 100 - y).
QPoint Pixel(double x, double y) {
    return QPoint(static_cast<int>(x), static_cast<int>(100 - y));
}

QColor At(const QImage& image, double x, double y) {
    return image.pixelColor(Pixel(x, y));
}

TEST(MapRendererTest, TopThemeOfTheListWinsWhereThemesOverlap) {
    TestWorkspace ws;
    ws.AddPolygonTheme("top", {Square(10, 10, 60, 60)}, kRefRed);
    ws.AddPolygonTheme("bottom", {Square(40, 40, 90, 90)}, kRefBlue);
    auto view = MakeView(ws);
    const QImage image = RenderToImage(*view);
    EXPECT_EQ(At(image, 50, 50), Colour(kRefRed));
    EXPECT_EQ(At(image, 20, 20), Colour(kRefRed));
    EXPECT_EQ(At(image, 80, 80), Colour(kRefBlue));
    EXPECT_EQ(At(image, 95, 5), Colour(kRefWhite));

    // Reversing the list reverses the stacking.
    std::swap(ws.doc->m_themes[0], ws.doc->m_themes[1]);
    EXPECT_EQ(At(RenderToImage(*view), 50, 50), Colour(kRefBlue));
}

TEST(MapRendererTest, ScaleRangesIncludeBothBounds) {
    struct Case {
        double minScale;
        double maxScale;
        bool drawn;
    };
    // 100 map units on 100 pixels: one unit per pixel.
    const Case cases[] = {
        {1.0, 2.0, true},        {0.5, 1.0, true},        {1.0, 1.0, true},
        {1.0000001, 2.0, false}, {0.0, 0.9999999, false},
    };
    for (const Case& c : cases) {
        TestWorkspace ws;
        CTheme* theme = ws.AddPolygonTheme("t", {Square(10, 10, 90, 90)}, kRefRed);
        theme->m_ScaleDependent = true;
        theme->m_MinScale = c.minScale;
        theme->m_MaxScale = c.maxScale;
        auto view = MakeView(ws);
        const QImage image = RenderToImage(*view);
        EXPECT_EQ(At(image, 50, 50) == Colour(kRefRed), c.drawn)
            << c.minScale << ".." << c.maxScale;
        EXPECT_EQ(IsThemeVisibleInView(theme, view.get()), c.drawn);
    }
}

TEST(MapRendererTest, VisibilityOfThemesWithoutRange) {
    TestWorkspace ws;
    CTheme* theme = ws.AddPolygonTheme("t", {Square(10, 10, 90, 90)}, kRefRed);
    auto view = MakeView(ws);
    RenderToImage(*view);
    theme->m_MinScale = 50.0; // ignored: not scale-dependent
    EXPECT_TRUE(IsThemeVisibleInView(theme, view.get()));
    theme->m_Visible = false;
    EXPECT_FALSE(IsThemeVisibleInView(theme, view.get()));
    EXPECT_EQ(At(RenderToImage(*view), 50, 50), Colour(kRefWhite));
    EXPECT_FALSE(IsThemeVisibleInView(nullptr, view.get()));
}

TEST(MapRendererTest, SelectionColourOnlyInTheActiveTheme) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_ColorSelection = kRefGreen;
    CAppSettings::GetInstance()->m_ColorSelectionOutline = kRefGreen;
    TestWorkspace ws;
    CTheme* theme =
        ws.AddPolygonTheme("t", {Square(10, 10, 40, 40), Square(60, 60, 90, 90)}, kRefRed);
    theme->AddToSelection(0, 0, 0, kRefGreen);
    auto view = MakeView(ws);

    ws.doc->m_activeTheme = nullptr;
    QImage image = RenderToImage(*view);
    EXPECT_EQ(At(image, 25, 25), Colour(kRefRed));

    ws.doc->m_activeTheme = theme;
    image = RenderToImage(*view);
    EXPECT_EQ(At(image, 25, 25), Colour(kRefGreen));
    EXPECT_EQ(At(image, 75, 75), Colour(kRefRed));
    // The shape drawn after the selected one has its own style again.
    theme->ClearSelection();
    theme->AddToSelection(1, 1, 0, kRefGreen);
    image = RenderToImage(*view);
    EXPECT_EQ(At(image, 25, 25), Colour(kRefRed));
    EXPECT_EQ(At(image, 75, 75), Colour(kRefGreen));
}

// Two-way roads are two lines on the same place, and a copy of a shape lies
// on its original: whichever of them is selected shows the selection colour.
TEST(MapRendererTest, SelectedShapesLieOverTheOtherShapesOfTheirTheme) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_ColorSelection = kRefGreen;
    CAppSettings::GetInstance()->m_ColorSelectionOutline = kRefGreen;
    enum Kind { Polygons, Lines, LinesBySpatialIndex, Points, PointsOfTheDefaultSymbol };
    struct Case {
        const char* name;
        Kind kind;
        int selected;
    };
    const Case cases[] = {{"polygon under its copy", Polygons, 0},
                          {"polygon over its copy", Polygons, 1},
                          {"line under its twin", Lines, 0},
                          {"line over its twin", Lines, 1},
                          {"indexed line under its twin", LinesBySpatialIndex, 0},
                          {"point under its neighbour", Points, 0},
                          {"point of the default symbol", PointsOfTheDefaultSymbol, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorkspace ws;
        CTheme* theme = nullptr;
        switch (c.kind) {
        case Polygons:
            theme = ws.AddPolygonTheme("t", {Square(20, 20, 60, 60), Square(20, 20, 60, 60)},
                                       kRefRed);
            break;
        case Lines:
        case LinesBySpatialIndex:
            theme = ws.AddPolylineTheme(
                "t", {{{{10, 50}, {90, 50}}}, {{{90, 50}, {10, 50}}}}, kRefRed);
            if (c.kind == LinesBySpatialIndex) {
                theme->m_SpatialIndex =
                    std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 100.0, 100.0);
                for (CShapeRecord* record : theme->m_VisibleArcs)
                    theme->m_SpatialIndex->InsertRecord(record);
            }
            break;
        case Points:
            // "Dot 2": smaller than the selection mark.
            theme = ws.AddPointTheme("t", {{50, 50}, {56, 50}}, kRefRed, 1);
            break;
        case PointsOfTheDefaultSymbol:
            // "Dot 1", the selection mark's own shape.
            theme = ws.AddPointTheme("t", {{50, 50}, {56, 50}}, kRefRed, 0);
            break;
        }
        theme->AddToSelection(c.selected, c.selected, 0, kRefGreen);
        ws.doc->m_activeTheme = theme;
        auto view = MakeView(ws);
        const QImage image = RenderToImage(*view);
        if (c.kind == Points) {
            // The other point's symbol no longer covers the mark's edge.
            EXPECT_EQ(At(image, 50 + 12, 50), Colour(kRefGreen));
            EXPECT_EQ(At(image, 50, 50), Colour(kRefGreen)) << "the mark lies over its own symbol";
        } else if (c.kind == PointsOfTheDefaultSymbol) {
            EXPECT_EQ(At(image, 50, 50), Colour(kRefGreen)) << "its own symbol does not hide the mark";
        } else {
            EXPECT_EQ(At(image, 40, 50), Colour(kRefGreen));
        }
        EXPECT_TRUE(view->m_selectionAreaShown);
    }
}

TEST(MapRendererTest, PatternedFillShowsTheThemeBelow) {
    TestWorkspace ws;
    // Pattern 5 is a checkerboard: every other pixel is background.
    ws.AddPolygonTheme("pattern", {Square(20, 20, 80, 80)}, kRefRed, 5);
    ws.AddPolygonTheme("below", {Square(0, 0, 100, 100)}, kRefBlue);
    auto view = MakeView(ws);
    const QImage image = RenderToImage(*view);
    const QRect inside(30, 30, 40, 40);
    EXPECT_GT(CountColour(image, Colour(kRefRed), inside), 600);
    EXPECT_GT(CountColour(image, Colour(kRefBlue), inside), 600);
    EXPECT_EQ(CountColour(image, Colour(kRefWhite), inside), 0);
}

TEST(MapRendererTest, RasterThemeFillsItsBoundsAndARotatedOneItsOutline) {
    QImage bitmap(10, 10, QImage::Format_RGB32);
    bitmap.fill(Qt::green);
    TestWorkspace ws;
    CTheme* image = ws.AddImageTheme("image", bitmap, 20, 20, 80, 80);
    auto view = MakeView(ws);
    QImage out = RenderToImage(*view);
    EXPECT_EQ(At(out, 50, 50), QColor(Qt::green));
    EXPECT_EQ(At(out, 22, 22), QColor(Qt::green));
    EXPECT_EQ(At(out, 10, 10), Colour(kRefWhite));

    // A rotated image: only the diamond of its corners is painted.
    image->m_Raster.m_Transformation.Set(1.0, 0.5, 0.0, 0.5, -1.0, 0.0);
    image->m_Raster.m_Corners = {{50, 80}, {20, 50}, {50, 20}, {80, 50}, {50, 80}};
    out = RenderToImage(*view);
    EXPECT_EQ(At(out, 50, 50), QColor(Qt::green));
    EXPECT_EQ(At(out, 22, 22), Colour(kRefWhite));
    EXPECT_EQ(At(out, 78, 78), Colour(kRefWhite));
}

TEST(MapRendererTest, EmptyWorkspaceShowsItsHintOnlyWhenAsked) {
    TestWorkspace ws;
    auto view = MakeView(ws, 300, 300);
    auto render = [&](bool emptyText) {
        QImage image(300, 300, QImage::Format_RGB32);
        QPainter dc(&image);
        double extent[4] = {0, 0, 100, 100};
        view->RenderMap(dc, extent, false, emptyText, CDeviceRect{0, 0, 300, 300});
        dc.end();
        return image;
    };
    const QImage shown = render(true);
    const int white = CountColour(shown, Colour(kRefWhite), QRect(20, 20, 200, 280));
    EXPECT_LT(white, 200 * 280);
    // Nothing is drawn outside the hint's rectangle.
    EXPECT_EQ(CountColour(shown, Colour(kRefWhite), QRect(230, 0, 70, 300)), 70 * 300);
    const QImage hidden = render(false);
    EXPECT_EQ(CountColour(hidden, Colour(kRefWhite)), 300 * 300);
}

TEST(MapRendererTest, AspectWidensTheExtentAndTheDocumentFollows) {
    TestWorkspace ws;
    auto view = MakeView(ws, 200, 100);
    QImage image(200, 100, QImage::Format_RGB32);
    QPainter dc(&image);
    double extent[4] = {0, 0, 100, 100};
    view->RenderMap(dc, extent, true, false, CDeviceRect{0, 0, 200, 100});
    EXPECT_DOUBLE_EQ(extent[2], 200.0);
    EXPECT_DOUBLE_EQ(extent[1], 0.0);
    EXPECT_DOUBLE_EQ(ws.doc->m_viewExtent[2], 200.0);
    EXPECT_DOUBLE_EQ(view->m_viewport.maxX, 200.0);

    // Taller than wide: the bottom edge moves down, the north-west corner stays.
    double tall[4] = {0, 0, 100, 100};
    view->RenderMap(dc, tall, true, false, CDeviceRect{0, 0, 50, 100});
    EXPECT_DOUBLE_EQ(tall[0], 0.0);
    EXPECT_DOUBLE_EQ(tall[3], 100.0);
    EXPECT_DOUBLE_EQ(tall[1], -100.0);

    // A rectangle without width has no proportions: the extent stays finite.
    double flat[4] = {0, 0, 100, 100};
    view->RenderMap(dc, flat, true, false, CDeviceRect{0, 0, 0, 100});
    EXPECT_DOUBLE_EQ(flat[1], 0.0);
    EXPECT_DOUBLE_EQ(flat[2], 100.0);
    EXPECT_TRUE(std::isfinite(ws.doc->m_viewExtent[1]));
}

TEST(MapRendererTest, SpatialOrderDrawsWhatTheListOrderDraws) {
    TestWorkspace ws;
    std::vector<Parts> lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back({{{5.0 + 7 * i, 5.0}, {5.0 + 7 * i, 95.0}, {95.0, 95.0 - 7 * i}}});
    CTheme* theme = ws.AddPolylineTheme("lines", lines, kRefBlue);
    auto view = MakeView(ws);
    const QImage listOrder = RenderToImage(*view);

    // A hash over part of the area: lines beyond its grid live in its
    // outside list and must be drawn all the same, each once.
    theme->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 60.0, 60.0);
    for (CShapeRecord* record : theme->m_VisibleArcs)
        theme->m_SpatialIndex->InsertRecord(record);
    EXPECT_GT(theme->m_SpatialIndex->GetOutsideCount(), 0);
    EXPECT_EQ(RenderToImage(*view), listOrder);
}

// The renderer copies symbol icons straight into an image and draws small
// polygons through an integer outline; both must give QPainter's picture.
TEST(MapRendererTest, FastPathsDrawWhatThePainterDraws) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_ColorSelection = kRefGreen;
    TestWorkspace ws;
    std::vector<CShapePoint> points;
    for (int i = 0; i < 40; ++i)
        points.push_back({(i * 37) % 100 + 0.5, (i * 53) % 100 + 0.25});
    CTheme* dots = ws.AddPointTheme("dots", points, kRefRed, 0);
    CTheme* stars = ws.AddPointTheme("stars", {{-1, 50}, {30, 101}, {60, 60}}, kRefMagenta, 7);
    std::vector<Parts> rings;
    for (int i = 0; i < 30; ++i) {
        const double x = (i * 29) % 100;
        const double y = (i * 41) % 100;
        rings.push_back(
            {{{x, y}, {x + 0.2, y + 0.1}, {x + 3.4, y + 7.7}, {x + 9.1, y + 2.2}, {x, y}}});
    }
    rings.push_back({{{50, 50}, {50.2, 50.3}, {50.1, 50.1}, {50, 50}}});
    ws.AddPolygonTheme("rings", rings, kRefBlue);
    dots->AddToSelection(3, 3, 0, kRefGreen);
    ws.doc->m_activeTheme = dots;
    auto view = MakeView(ws);
    const QImage fast = RenderToImage(*view);

    // A clip that covers everything sends the icons through the painter.
    QImage painted(100, 100, QImage::Format_RGB32);
    painted.fill(Qt::black);
    QPainter dc(&painted);
    dc.setClipRect(QRect(0, 0, 100, 100));
    double extent[4] = {0, 0, 100, 100};
    view->RenderMap(dc, extent, false, false, CDeviceRect{0, 0, 100, 100});
    dc.end();
    EXPECT_EQ(fast, painted);

    // The polygons alone, drawn one by one with DrawPolygonShape.
    dots->m_Visible = false;
    stars->m_Visible = false;
    const QImage polygons = RenderToImage(*view);
    QImage shapes(100, 100, QImage::Format_RGB32);
    shapes.fill(Colour(kRefWhite));
    QPainter p(&shapes);
    CTheme* theme = ws.doc->m_themes[2];
    theme->m_Styles[0]->BeginDraw(p, false);
    for (CShapeRecord* record : theme->m_VisiblePolygons)
        DrawPolygonShape(view->m_viewport, p, record);
    p.end();
    EXPECT_EQ(polygons, shapes);
}

TEST(MapRendererTest, IconPartDrawsTheWholeIconsPicture) {
    QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    icon.setPixelColor(5, 7, QColor(255, 0, 0));
    icon.setPixelColor(20, 25, QColor(0, 0, 128, 128));
    const QRect part = GetIconOpaqueRect(icon);
    EXPECT_EQ(part, QRect(QPoint(5, 7), QPoint(20, 25)));
    QImage empty(32, 32, QImage::Format_ARGB32_Premultiplied);
    empty.fill(Qt::transparent);
    EXPECT_TRUE(GetIconOpaqueRect(empty).isEmpty());

    CMapViewport v;
    SetMapViewport(v, {0, 0, 100, 100}, 0.0, 100.0, 0.0, 100.0);
    for (const CShapePoint at : {CShapePoint{50, 50}, CShapePoint{1, 99}, CShapePoint{102, 50}}) {
        Bytes point = MakePoint(at.x, at.y);
        QImage whole(100, 100, QImage::Format_RGB32);
        whole.fill(Qt::white);
        QImage cropped = whole;
        QPainter a(&whole);
        const bool drewWhole = DrawPointIcon(icon, QSize(32, 32), v, a, Rec(point));
        a.end();
        QPainter b(&cropped);
        const bool drewPart = DrawPointIconPart(icon, QSize(32, 32), part, v, b, Rec(point));
        b.end();
        EXPECT_EQ(drewWhole, drewPart);
        EXPECT_EQ(whole, cropped) << at.x << "," << at.y;
    }
}

TEST(MapRendererTest, BoundingBoxesOfTheActiveThemesSelectedShapes) {
    SettingsGuard guard;
    CAppSettings::GetInstance()->m_ColorSelection = kRefGreen;
    CAppSettings::GetInstance()->m_ColorSelectionOutline = kRefGreen;
    TestWorkspace ws;
    CTheme* theme = ws.AddPolygonTheme("t", {Square(20, 20, 60, 60)}, kRefRed);
    theme->AddToSelection(0, 0, 0, kRefGreen);
    ws.doc->m_activeTheme = theme;
    auto view = MakeView(ws);
    ws.doc->m_showBoundingBoxes = 0;
    EXPECT_EQ(CountColour(RenderToImage(*view), Colour(kRefBlack)), 0);
    ws.doc->m_showBoundingBoxes = 1;
    const QImage image = RenderToImage(*view);
    EXPECT_EQ(image.pixelColor(Pixel(20, 60)), Colour(kRefBlack));
    EXPECT_EQ(image.pixelColor(Pixel(60, 20)), Colour(kRefBlack));
}

// Labels: texts of a fixed size, point themes with the blank symbol so that
// only the labels leave pixels.
CTheme* AddLabelled(TestWorkspace& ws, const std::string& name,
                    const std::vector<CShapePoint>& points, std::uint32_t colour,
                    const std::string& text) {
    CTheme* theme = ws.AddPointTheme(name, points, colour, kBlankPointSymbol);
    theme->m_InfoTipTemplate = text;
    CThemeDisplaySettings& display = ws.Display(theme);
    display.m_ShowLabels = true;
    display.m_LabelColor = colour;
    display.m_LabelFont.setPixelSize(14);
    // Whole pixels of the label colour, for counting.
    display.m_LabelFont.setStyleStrategy(QFont::NoAntialias);
    display.m_LabelAlignment = LP_Center;
    return theme;
}

TEST(MapRendererLabelTest, TopThemesLabelsWinCollisions) {
    struct Case {
        bool topForced;
        bool lowerDrawn;
    };
    // A forced label is never kept in the way of later ones.
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        TestWorkspace ws;
        CTheme* top = AddLabelled(ws, "top", {{50, 50}}, kRefRed, "HHHH");
        AddLabelled(ws, "lower", {{52, 52}}, kRefBlue, "HHHH");
        ws.Display(top).m_LabelForce = c.topForced;
        auto view = MakeView(ws);
        const QImage image = RenderToImage(*view);
        EXPECT_GT(CountColour(image, Colour(kRefRed)), 0);
        EXPECT_EQ(CountColour(image, Colour(kRefBlue)) > 0, c.lowerDrawn) << c.topForced;
    }
}

TEST(MapRendererLabelTest, LowerThemeLabelsWhereNothingCollides) {
    TestWorkspace ws;
    AddLabelled(ws, "top", {{25, 50}}, kRefRed, "H");
    AddLabelled(ws, "lower", {{75, 50}}, kRefBlue, "H");
    auto view = MakeView(ws);
    const QImage image = RenderToImage(*view);
    EXPECT_GT(CountColour(image, Colour(kRefRed)), 0);
    EXPECT_GT(CountColour(image, Colour(kRefBlue)), 0);
}

TEST(MapRendererLabelTest, DuplicateTextsAreDrawnOnceUnlessAllowed) {
    TestWorkspace ws;
    CTheme* theme = AddLabelled(ws, "dup", {{25, 50}, {50, 50}, {75, 50}}, kRefRed, "HI");
    auto view = MakeView(ws);
    auto countsAt = [&](const QImage& image) {
        std::vector<int> counts;
        for (double x : {25.0, 50.0, 75.0})
            counts.push_back(CountColour(image, Colour(kRefRed),
                                         QRect(Pixel(x, 50) - QPoint(11, 11), QSize(22, 22))));
        return counts;
    };
    const std::vector<int> once = countsAt(RenderToImage(*view));
    EXPECT_GT(once[0], 0);
    EXPECT_EQ(once[1], 0);
    EXPECT_EQ(once[2], 0);

    ws.Display(theme).m_LabelDuplicates = true;
    const std::vector<int> all = countsAt(RenderToImage(*view));
    EXPECT_GT(all[0], 0);
    EXPECT_GT(all[1], 0);
    EXPECT_GT(all[2], 0);
}

TEST(MapRendererLabelTest, LabelsOutsideTheMarginAreLeftOut) {
    // The labelling area is the picture less 20 pixels on every side.
    TestWorkspace ws;
    AddLabelled(ws, "edge", {{10, 50}}, kRefRed, "H");
    auto view = MakeView(ws);
    EXPECT_EQ(CountColour(RenderToImage(*view), Colour(kRefRed)), 0);
}

TEST(PrintLegendLayoutTest, Cells) {
    struct Case {
        int n;
        int textWidth;
        int textHeight;
        int width;
        int height;
        bool portrait;
        int columns;
        int rows;
    };
    const Case cases[] = {
        // Cells 200 wide (120 + 40 + 40) across a page 1000 wide.
        {11, 120, 20, 1000, 1400, true, 5, 3},
        {3, 120, 20, 1000, 1400, true, 3, 1},
        // Landscape: cells 40 high down a side 100 high.
        {5, 120, 20, 1400, 100, false, 2, 3},
        {1, 120, 20, 1400, 1000, false, 1, 1},
        // Cells wider than the page still take one column.
        {2, 2000, 20, 1000, 1400, true, 1, 2},
        // Enough cells for every theme: 3 columns of 300, 10 themes.
        {10, 220, 20, 1000, 1400, true, 3, 4},
        {0, 120, 20, 1000, 1400, true, 0, 0},
        {4, 120, 20, 0, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        const CPrintLegendLayout layout =
            ComputePrintLegendLayout(c.n, c.textWidth, c.textHeight, c.width, c.height, c.portrait);
        EXPECT_EQ(layout.columns, c.columns) << c.n << " " << c.portrait;
        EXPECT_EQ(layout.rows, c.rows) << c.n << " " << c.portrait;
        if (c.columns > 0) {
            EXPECT_GE(layout.columns * layout.rows, c.n);
        }
    }
}

TEST(MapRendererTest, PrintingDrawsTheLegendBesideTheMap) {
    TestWorkspace ws;
    ws.AddPolygonTheme("area", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = MakeView(ws, 400, 400);
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter dc(&image);
    view->m_printing = true;
    double extent[4] = {0, 0, 100, 100};
    view->RenderMap(dc, extent, false, false, CDeviceRect{0, 0, 400, 400});
    view->m_printing = false;
    dc.end();
    // Landscape without a printer: the legend takes a strip on the right
    // and the map the rest; the document's extent is not touched.
    EXPECT_LT(view->m_viewport.right, 400);
    EXPECT_EQ(image.pixelColor(10, 200), Colour(kRefRed));
    EXPECT_NE(image.pixelColor(398, 2), Colour(kRefRed));
    EXPECT_DOUBLE_EQ(ws.doc->m_viewExtent[2], 100.0);
}

} // namespace
