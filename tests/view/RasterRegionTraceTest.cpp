// Tracing a region of like colour in an image: the boundary walk, the
// thinning of straight runs, the step limit, and the click on an image theme
// that stores the outline as the theme's selection area.

#include "ViewTestSupport.h"

#include "view/MapDrawing.h"
#include "view/RasterRegionTrace.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A white image with the given pixels (column, row) black.
QImage ImageWith(int width, int height, const std::vector<CPixelPosition>& black) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (const CPixelPosition& p : black)
        image.setPixel(p.column, p.row, qRgb(0, 0, 0));
    return image;
}

std::vector<CPixelPosition> Block(int column0, int row0, int column1, int row1) {
    std::vector<CPixelPosition> pixels;
    for (int row = row0; row <= row1; ++row)
        for (int column = column0; column <= column1; ++column)
            pixels.push_back({column, row});
    return pixels;
}

std::string Text(const PixelPath& path) {
    std::string text;
    for (const CPixelPosition& p : path)
        text += "(" + std::to_string(p.column) + "," + std::to_string(p.row) + ")";
    return text;
}

// The region of the pixel's own colour, with no tolerance.
ETraceResult Trace(const QImage& image, int column, int row, PixelPath& path, std::size_t limit = 0) {
    const auto seed = static_cast<std::uint32_t>(GetDibPixel(image, column, row));
    const CSimilarColourRegion region(image, seed, 0.04f, 20.0f);
    return TraceRegion(region, column, row, limit ? limit : TraceStepLimit(image.width(), image.height()), path);
}

} // namespace

TEST(RasterRegionTrace, OutlinesOfRegions) {
    struct Case {
        const char* name;
        std::vector<CPixelPosition> black;
        CPixelPosition click;
        ETraceResult result;
        const char* outline;
    };
    std::vector<CPixelPosition> ell = Block(0, 0, 1, 3);
    for (int column = 2; column <= 4; ++column)
        ell.push_back({column, 3});
    const Case cases[] = {
        {"isolated pixel", {{4, 4}}, {4, 4}, ETraceResult::TooSmall, "(4,4)"},
        // The straight runs keep only their ends; the last point is the
        // pixel below the start, where the walk closes.
        {"rectangle", Block(2, 1, 6, 4), {4, 3}, ETraceResult::Traced, "(2,1)(6,1)(6,4)(2,4)(2,2)"},
        {"rectangle clicked at its lower right", Block(2, 1, 6, 4), {6, 4}, ETraceResult::Traced,
         "(2,1)(6,1)(6,4)(2,4)(2,2)"},
        // Pixels outside the image are never in the region, so a region
        // that touches the border closes along it.
        {"touching the border", Block(0, 0, 9, 2), {5, 1}, ETraceResult::Traced, "(0,0)(9,0)(9,2)(0,2)(0,1)"},
        // Walked by hand: (0,0) (1,0) (1,1) (1,2) (2,3) (3,3) (4,3) (3,3)
        // (2,3) (1,3) (0,3) (0,2) (0,1), then thinned.
        {"L shape", ell, {4, 3}, ETraceResult::Traced, "(0,0)(1,0)(1,2)(2,3)(4,3)(0,3)(0,1)"},
        {"one-pixel line", Block(3, 5, 7, 5), {5, 5}, ETraceResult::Traced, "(3,5)(7,5)(4,5)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelPath path;
        EXPECT_EQ(Trace(ImageWith(10, 8, c.black), c.click.column, c.click.row, path), c.result);
        EXPECT_EQ(Text(path), c.outline);
    }
}

// A region without an end stands for a boundary that never leads back to
// its start: the trace gives up after its limit instead of walking for ever.
TEST(RasterRegionTrace, StopsAtTheStepLimit) {
    class Endless : public CPixelRegion {
    public:
        bool Contains(std::int32_t column, std::int32_t row) const override { return column >= 0 && row == 0; }
    } endless;
    PixelPath path;
    EXPECT_EQ(TraceRegion(endless, 0, 0, 1000, path), ETraceResult::StepLimit);
    EXPECT_TRUE(path.empty());

    // A real region whose boundary is longer than the limit allows.
    PixelPath rectangle;
    EXPECT_EQ(Trace(ImageWith(10, 8, Block(2, 1, 6, 4)), 3, 3, rectangle, 5), ETraceResult::StepLimit);
    EXPECT_TRUE(rectangle.empty());
    EXPECT_GE(TraceStepLimit(10, 8), 8u * 10 * 8);
    EXPECT_EQ(TraceStepLimit(0, 8), 0u);
}

TEST(RasterRegionTrace, ReducePathKeepsOnlyTurns) {
    struct Case {
        const char* name;
        PixelPath path;
        const char* reduced;
    };
    PixelPath longRun;
    for (int i = 0; i <= 200; ++i)
        longRun.push_back({i, 7});
    PixelPath diagonal;
    for (int i = 0; i <= 100; ++i)
        diagonal.push_back({i, i});
    diagonal.push_back({101, 100});
    const Case cases[] = {
        {"empty", {}, ""},
        {"two points", {{0, 0}, {5, 5}}, "(0,0)(5,5)"},
        {"straight run", {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, "(0,0)(3,0)"},
        {"long straight run", longRun, "(0,7)(200,7)"},
        {"one turn", {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}, "(0,0)(2,0)(2,2)"},
        {"diagonal then a step", diagonal, "(0,0)(100,100)(101,100)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelPath path = c.path;
        ReducePath(path);
        EXPECT_EQ(Text(path), c.reduced);
    }

    // A zigzag keeps every turn.
    PixelPath zigzag;
    for (int i = 0; i < 5000; ++i)
        zigzag.push_back({i, i % 2});
    ReducePath(zigzag);
    EXPECT_EQ(zigzag.size(), 5000u);
}

// The click on an image theme: the outline in map coordinates (pixel corners)
// becomes the theme's selection area, and the view is told either way.
TEST(RasterRegionTrace, ClickStoresTheOutlineAsSelectionArea) {
    TestWorkspace ws;
    // 10 x 8 pixels over (0, 0)-(100, 80): a pixel is 10 map units square.
    CTheme* image = ws.AddImageTheme("Scan", ImageWith(10, 8, Block(2, 1, 6, 4)), 0, 0, 100, 80);
    ws.doc->m_activeTheme = image;
    auto view = MakeView(ws);
    std::vector<int> codes;
    struct Recorder {
        std::vector<int>* codes;
        void OnUpdate(const void*, int code, std::intptr_t) { codes->push_back(code); }
    } recorder{&codes};
    ws.doc->m_updateEvent.AddHandler(&recorder, &Recorder::OnUpdate);

    view->TraceImageRegion(image, {45.0, 45.0}); // pixel (4, 3)
    ASSERT_NE(image->m_SelectionArea, nullptr);
    const CShapeRecord* area = CShapeRecord::FromBytes(image->m_SelectionArea.get());
    const std::vector<CShapePoint> expected = {{20, 70}, {60, 70}, {60, 40}, {20, 40}, {20, 70}};
    ASSERT_EQ(CShapeRecord::GetPointCount(area), expected.size());
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(CShapeRecord::GetPoint(area, i).x, expected[i].x) << i;
        EXPECT_DOUBLE_EQ(CShapeRecord::GetPoint(area, i).y, expected[i].y) << i;
    }
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DUE_VertexSelectionCleared), 1);

    // An isolated pixel stores nothing; a click outside the image only tells
    // the view.
    CTheme* dot = ws.AddImageTheme("Dot", ImageWith(10, 8, {{4, 4}}), 0, 0, 100, 80);
    view->TraceImageRegion(dot, {45.0, 35.0});
    EXPECT_EQ(dot->m_SelectionArea, nullptr);
    view->TraceImageRegion(dot, {150.0, 35.0});
    EXPECT_EQ(dot->m_SelectionArea, nullptr);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DUE_VertexSelectionCleared), 3);
    ws.doc->m_updateEvent.RemoveHandler(&recorder);
}

// A select click on an image theme that vectorizes traces; without the
// option the click selects as ever and stores no outline.
TEST(RasterRegionTrace, SelectClickOnAVectorizingImage) {
    TestWorkspace ws;
    // 10 x 10 pixels over (0, 0)-(100, 100), which the 100 x 100 view shows
    // one map unit a pixel.
    CTheme* image = ws.AddImageTheme("Scan", ImageWith(10, 10, Block(2, 2, 6, 6)), 0, 0, 100, 100);
    ws.doc->m_activeTheme = image;
    ws.doc->m_toolMode = MT_Select;
    auto view = MakeView(ws);
    view->show();
    view->GetMapPicture();
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(45, 45));
    EXPECT_EQ(image->m_SelectionArea, nullptr);

    image->m_VectorizeOnSelect = true;
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(45, 45));
    ASSERT_NE(image->m_SelectionArea, nullptr);
    EXPECT_EQ(CShapeRecord::GetPointCount(CShapeRecord::FromBytes(image->m_SelectionArea.get())), 5u);
}
