#include "view/MapDrawing.h"

#include "shapes/RecordFixtures.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

namespace {

// Text needs a QGuiApplication: one per process, on the offscreen platform
// unless the environment names another, made on first use and destroyed
// after the last test so that the font libraries release what they hold.
class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { m_App.reset(); }

    void Ensure() {
        if (QGuiApplication::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_App = std::make_unique<QGuiApplication>(m_Argc, m_Argv);
    }

private:
    int m_Argc = 1;
    char m_Name[11] = "view_tests";
    char* m_Argv[2] = {m_Name, nullptr};
    std::unique_ptr<QGuiApplication> m_App;
};

GuiApplicationEnvironment* const gGuiEnvironment = static_cast<GuiApplicationEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment));

void EnsureGuiApplication() {
    gGuiEnvironment->Ensure();
}

// Map (0..size, 0..size) on device (0..size, 0..size): map (x, y) is pixel
// (x, size - y).
CMapViewport Identity(int size = 100) {
    CMapViewport v;
    SetMapViewport(v, {0, 0, size, size}, 0.0, size, 0.0, size);
    return v;
}

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

// Draws on a white image with a black one-pixel pen and no brush.
QImage Render(const std::function<void(QPainter&)>& draw, int size = 100) {
    EnsureGuiApplication();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(kWhite);
    QPainter dc(&image);
    dc.setPen(QPen(kBlack, 1));
    dc.setBrush(Qt::NoBrush);
    draw(dc);
    dc.end();
    return image;
}

int CountNot(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) != colour;
    return n;
}

int CountIn(const QImage& image, const QColor& colour, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

QImage Icon(int w, int h, const QColor& colour) {
    QImage icon(w, h, QImage::Format_ARGB32);
    icon.fill(colour);
    return icon;
}

// A font whose text is drawn in pure colours, so pixels can be compared.
QFont LabelFont() {
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

TEST(MapDrawing, PolylineDrawsEverySegment) {
    const Bytes line =
        MakeMulti(SHT_Polyline, {{{10, 50}, {90, 50}, {90, 10}}, {{20, 80}, {40, 80}}});
    bool drew = false;
    const QImage image =
        Render([&](QPainter& dc) { drew = DrawPolylineShape(Rec(line), Identity(), dc); });
    EXPECT_TRUE(drew);
    EXPECT_EQ(image.pixelColor(50, 50), kBlack);
    EXPECT_EQ(image.pixelColor(90, 70), kBlack);
    EXPECT_EQ(image.pixelColor(30, 20), kBlack);
    EXPECT_EQ(image.pixelColor(50, 52), kWhite);
    // Nothing joins the end of one part, (90, 90), to the start of the next, (20, 20).
    EXPECT_EQ(image.pixelColor(55, 55), kWhite);
}

TEST(MapDrawing, PolylineOnOnePixelIsADotAndReportsNothingDrawn) {
    // Box (50.2, 50.2)-(50.7, 50.9): both corners on pixel (50, 49).
    const Bytes line = MakeMulti(SHT_PolylineZ, {{{50.2, 50.2}, {50.7, 50.9}, {50.5, 50.5}}});
    bool drew = true;
    const QImage image =
        Render([&](QPainter& dc) { drew = DrawPolylineShape(Rec(line), Identity(), dc); });
    EXPECT_FALSE(drew);
    EXPECT_EQ(CountNot(image, kWhite), 1);
    EXPECT_EQ(image.pixelColor(50, 49), kBlack);
}

TEST(MapDrawing, PolylineSegmentsBeyondOneSideAreLeftOut) {
    const CMapViewport v = Identity();
    const struct {
        const char* name;
        Parts parts;
        bool drew;
        int painted; // -1: some
    } cases[] = {
        {"left of the view", {{{-50, 50}, {-10, 60}}}, false, 0},
        {"right of the view", {{{150, 50}, {110, 60}}}, false, 0},
        {"above the view", {{{10, 150}, {90, 120}}}, false, 0},
        {"below the view", {{{10, -50}, {90, -1}}}, false, 0},
        {"across the view", {{{-50, 50}, {150, 50}}}, true, -1},
        {"out and back in", {{{-50, 50}, {-10, 50}, {50, 50}}}, true, -1},
    };
    for (const auto& c : cases) {
        const Bytes line = MakeMulti(SHT_Polyline, c.parts);
        bool drew = false;
        const QImage image =
            Render([&](QPainter& dc) { drew = DrawPolylineShape(Rec(line), v, dc); });
        EXPECT_EQ(drew, c.drew) << c.name;
        if (c.painted == 0) {
            EXPECT_EQ(CountNot(image, kWhite), 0) << c.name;
        } else {
            EXPECT_EQ(image.pixelColor(20, 50), kBlack) << c.name;
        }
    }
}

TEST(MapDrawing, FarAwayAndUndefinedCoordinatesNeverOverflow) {
    const Bytes far = MakeMulti(SHT_Polyline, {{{-1e12, 50}, {1e12, 50}}});
    for (const int width : {1, 5}) {
        bool drew = false;
        const QImage image = Render([&](QPainter& dc) {
            dc.setPen(QPen(kBlack, width));
            drew = DrawPolylineShape(Rec(far), Identity(), dc);
        });
        EXPECT_TRUE(drew) << width;
        EXPECT_EQ(image.pixelColor(1, 50), kBlack) << width;
        EXPECT_EQ(image.pixelColor(98, 50), kBlack) << width;
        EXPECT_EQ(image.pixelColor(50, 40), kWhite) << width;
    }

    // A polygon reaching far beyond the view on every side still covers it.
    for (const double reach : {1e9, 1e12}) {
        const Bytes huge = MakeMulti(SHT_Polygon, {{{-reach, -reach},
                                                    {-reach, reach},
                                                    {reach, reach},
                                                    {reach, -reach},
                                                    {-reach, -reach}}});
        bool drew = false;
        const QImage image = Render([&](QPainter& dc) {
            dc.setBrush(kRed);
            drew = DrawPolygonShape(Identity(), dc, Rec(huge));
        });
        EXPECT_TRUE(drew) << reach;
        EXPECT_EQ(CountIn(image, kRed, 0, 0, 100, 100), 100 * 100) << reach;
    }

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Bytes undefined = MakeMulti(SHT_Polygon, {{{nan, 50}, {50, nan}, {90, 90}, {nan, 50}}});
    CMapViewport flat = Identity();
    SetMapViewport(flat, {0, 0, 100, 100}, 50.0, 50.0, 50.0, 50.0);
    const Bytes square =
        MakeMulti(SHT_Polygon, {{{10, 10}, {10, 90}, {90, 90}, {90, 10}, {10, 10}}});
    Render([&](QPainter& dc) {
        dc.setBrush(kRed);
        DrawPolylineShape(Rec(undefined), Identity(), dc);
        DrawOffsetPolyline(Rec(undefined), Identity(), dc, LO_Left, 4);
        DrawPolygonShape(Identity(), dc, Rec(undefined));
        DrawPolylineShape(Rec(square), flat, dc);
        DrawOffsetPolyline(Rec(square), flat, dc, LO_North, -2147483647 - 1);
        DrawPolygonShape(flat, dc, Rec(square));
        GetOffsetVector(Rec(square), 0, flat, LO_Right, 2147483647);
    });
}

TEST(MapDrawing, OffsetPolylineSidesByMode) {
    // Pixels: eastward and westward along row 50, northward and southward
    // along column 50; every line displaced by 5 pixels.
    const Bytes east = MakeMulti(SHT_Polyline, {{{20, 50}, {80, 50}}});
    const Bytes west = MakeMulti(SHT_Polyline, {{{80, 50}, {20, 50}}});
    const Bytes north = MakeMulti(SHT_Polyline, {{{50, 20}, {50, 80}}});
    const Bytes south = MakeMulti(SHT_Polyline, {{{50, 80}, {50, 20}}});
    const struct {
        const char* name;
        const Bytes* line;
        std::int32_t mode;
        std::int32_t distance;
        int x, y; // a pixel of the displaced line
    } cases[] = {
        {"none", &east, LO_None, 5, 50, 50},
        {"no distance", &east, LO_Left, 0, 50, 50},
        {"left of eastward", &east, LO_Left, 5, 50, 45},
        {"left of westward", &west, LO_Left, 5, 50, 55},
        {"left of northward", &north, LO_Left, 5, 45, 50},
        {"right of eastward", &east, LO_Right, 5, 50, 55},
        {"right of southward", &south, LO_Right, 5, 45, 50},
        {"negative distance turns left into right", &east, LO_Left, -5, 50, 55},
        {"unknown mode acts as left", &east, 9, 5, 50, 45},
        {"north of eastward", &east, LO_North, 5, 50, 45},
        {"north of westward", &west, LO_North, 5, 50, 45},
        {"south of westward", &west, LO_South, 5, 50, 55},
        {"south of eastward", &east, LO_South, 5, 50, 55},
        {"east of northward", &north, LO_East, 5, 55, 50},
        {"east of southward", &south, LO_East, 5, 55, 50},
        {"west of northward", &north, LO_West, 5, 45, 50},
        {"west of southward", &south, LO_West, 5, 45, 50},
    };
    for (const auto& c : cases) {
        bool drew = false;
        const QImage image = Render([&](QPainter& dc) {
            drew = DrawOffsetPolyline(Rec(*c.line), Identity(), dc, c.mode, c.distance);
        });
        EXPECT_TRUE(drew) << c.name;
        EXPECT_EQ(image.pixelColor(c.x, c.y), kBlack) << c.name;
        const bool displaced = c.x != 50 || c.y != 50;
        if (displaced) {
            EXPECT_EQ(image.pixelColor(50, 50), kWhite) << c.name;
        }
    }
}

TEST(MapDrawing, OffsetPolylineDisplacesEachSegmentOnItsOwn) {
    // An L: east along row 50, then north along column 80.
    const Bytes corner = MakeMulti(SHT_Polyline, {{{20, 50}, {80, 50}, {80, 90}}});
    const QImage image =
        Render([&](QPainter& dc) { DrawOffsetPolyline(Rec(corner), Identity(), dc, LO_Right, 4); });
    EXPECT_EQ(image.pixelColor(50, 54), kBlack); // below the eastward leg
    EXPECT_EQ(image.pixelColor(84, 30), kBlack); // east of the northward leg
    EXPECT_EQ(image.pixelColor(50, 50), kWhite);
    EXPECT_EQ(image.pixelColor(80, 30), kWhite);
}

TEST(MapDrawing, OffsetPolylineOfTooFewPointsDrawsNothing) {
    const Bytes single = MakeMulti(SHT_Polyline, {{{50, 50}}});
    bool drew = true;
    QImage image = Render(
        [&](QPainter& dc) { drew = DrawOffsetPolyline(Rec(single), Identity(), dc, LO_East, 3); });
    EXPECT_FALSE(drew);
    EXPECT_EQ(CountNot(image, kWhite), 0);
    image = Render([&](QPainter& dc) {
        drew = DrawOffsetPolyline(Rec(MakePoint(5, 5)), Identity(), dc, LO_Left, 3);
    });
    EXPECT_FALSE(drew);
    EXPECT_EQ(CountNot(image, kWhite), 0);
}

TEST(MapDrawing, OffsetVectorPointsAtTheDisplacedLine) {
    const CMapViewport v = Identity();
    const Bytes line =
        MakeMulti(SHT_Polyline, {{{10, 10}, {20, 80}}, {{20, 50}, {50, 50}, {80, 50}}});
    const struct {
        std::int32_t mode;
        CDevicePoint vector;
    } cases[] = {
        {LO_None, {0, 0}},
        {LO_Left, {0, -6}},
        {LO_Right, {0, 6}},
        {LO_North, {0, -6}},
        // East and west of a level line: the minus side, below it.
        {LO_South, {0, 6}},
        {LO_East, {0, 6}},
        {LO_West, {0, 6}},
        {8, {0, -6}},
    };
    for (const auto& c : cases) {
        const CDevicePoint vector = GetOffsetVector(Rec(line), 1, v, c.mode, 6);
        EXPECT_EQ(vector, c.vector) << c.mode;
        // The last segment's end plus the vector lies on what is drawn.
        const QImage image =
            Render([&](QPainter& dc) { DrawOffsetPolyline(Rec(line), v, dc, c.mode, 6); });
        EXPECT_EQ(image.pixelColor(70 + vector.x, 50 + vector.y), kBlack) << c.mode;
    }
    // Part beyond the record, a last segment of no pixel length.
    EXPECT_EQ(GetOffsetVector(Rec(line), 2, v, LO_Left, 6), (CDevicePoint{0, 0}));
    const Bytes stub = MakeMulti(SHT_Polyline, {{{20, 50}, {80, 50}, {80.3, 49.9}}});
    EXPECT_EQ(GetOffsetVector(Rec(stub), 0, v, LO_Left, 6), (CDevicePoint{0, 0}));
}

TEST(MapDrawing, PolygonFillsWithTheWindingRuleAndLeavesHolesOpen) {
    // Outer ring clockwise, hole counter-clockwise, as shape files store them.
    const Bytes polygon =
        MakeMulti(SHT_Polygon, {{{10, 10}, {10, 90}, {90, 90}, {90, 10}, {10, 10}},
                                {{30, 30}, {70, 30}, {70, 70}, {30, 70}, {30, 30}}});
    bool drew = false;
    const QImage image = Render([&](QPainter& dc) {
        dc.setBrush(kRed);
        drew = DrawPolygonShape(Identity(), dc, Rec(polygon));
    });
    EXPECT_TRUE(drew);
    EXPECT_EQ(image.pixelColor(20, 50), kRed);
    EXPECT_EQ(image.pixelColor(50, 50), kWhite);
    EXPECT_EQ(image.pixelColor(10, 50), kBlack);
    EXPECT_EQ(image.pixelColor(30, 50), kBlack);
    EXPECT_EQ(image.pixelColor(5, 50), kWhite);
}

TEST(MapDrawing, PolygonOutsideTheExtentIsNotDrawn) {
    const struct {
        const char* name;
        Parts rings;
        bool drew;
    } cases[] = {
        {"east of the extent", {{{101, 10}, {101, 90}, {150, 90}, {150, 10}, {101, 10}}}, false},
        {"touching the east border",
         {{{100, 10}, {100, 90}, {150, 90}, {150, 10}, {100, 10}}},
         true},
        {"touching a corner", {{{-50, -50}, {-50, 0}, {0, 0}, {0, -50}, {-50, -50}}}, true},
        {"below the extent", {{{10, -20}, {10, -1}, {90, -1}, {90, -20}, {10, -20}}}, false},
        {"a ring of one point", {{{50, 50}}}, false},
    };
    for (const auto& c : cases) {
        const Bytes polygon = MakeMulti(SHT_Polygon, c.rings);
        bool drew = !c.drew;
        const QImage image = Render([&](QPainter& dc) {
            dc.setBrush(kRed);
            drew = DrawPolygonShape(Identity(), dc, Rec(polygon));
        });
        EXPECT_EQ(drew, c.drew) << c.name;
        if (!c.drew) {
            EXPECT_EQ(CountNot(image, kWhite), 0) << c.name;
        }
    }
}

TEST(MapDrawing, IconsAreCentredAndDrawnWithinTheDeviceRectangleGrownByThree) {
    const QImage icon = Icon(4, 4, kRed);
    const QSize size(4, 4);
    bool drew = false;
    QImage image =
        Render([&](QPainter& dc) { drew = DrawIconAt(icon, size, Identity(), dc, 50.0, 50.0); });
    EXPECT_TRUE(drew);
    EXPECT_EQ(CountIn(image, kRed, 48, 48, 52, 52), 16);
    EXPECT_EQ(CountNot(image, kWhite), 16);

    const struct {
        double x, y;
        bool drawn;
    } edges[] = {
        {102.5, 50, true}, {103.0, 50, false}, {-3.0, 50, true},
        {-3.9, 50, true},  {-4.0, 50, false},  {50, -2.5, true},
        {50, -3.0, false}, {50, 103.0, true},  {50, 104.0, false},
    };
    for (const auto& e : edges) {
        image =
            Render([&](QPainter& dc) { drew = DrawIconAt(icon, size, Identity(), dc, e.x, e.y); });
        EXPECT_EQ(drew, e.drawn) << e.x << ", " << e.y;
    }
}

TEST(MapDrawing, IconAtOffsetTestsTheShiftedPixel) {
    const QImage icon = Icon(2, 2, kRed);
    bool drew = false;
    QImage image = Render([&](QPainter& dc) {
        drew = DrawIconAtOffset(icon, QSize(2, 2), Identity(), dc, 10, -5, 50.0, 50.0);
    });
    EXPECT_TRUE(drew);
    EXPECT_EQ(CountIn(image, kRed, 59, 44, 61, 46), 4);
    image = Render([&](QPainter& dc) {
        drew = DrawIconAtOffset(icon, QSize(2, 2), Identity(), dc, 10, 0, 95.0, 50.0);
    });
    EXPECT_FALSE(drew);
    EXPECT_EQ(CountNot(image, kWhite), 0);
}

TEST(MapDrawing, PointIconsAtTheRecordsPosition) {
    const QImage icon = Icon(4, 4, kRed);
    const Bytes point = MakePointZ(20, 70, 5, 6);
    bool drew = false;
    QImage image = Render(
        [&](QPainter& dc) { drew = DrawPointIcon(icon, QSize(4, 4), Identity(), dc, Rec(point)); });
    EXPECT_TRUE(drew);
    EXPECT_EQ(CountIn(image, kRed, 18, 28, 22, 32), 16);

    // Stretched 2 by 3 and centred: 8 x 12 pixels from (16, 24).
    image = Render([&](QPainter& dc) {
        drew = DrawScaledPointIcon(icon, QSize(4, 4), Identity(), dc, Rec(point), 2, 3);
    });
    EXPECT_TRUE(drew);
    EXPECT_EQ(CountIn(image, kRed, 16, 24, 24, 36), 96);
    EXPECT_EQ(CountNot(image, kWhite), 96);

    const Bytes away = MakePoint(200, 50);
    image = Render([&](QPainter& dc) {
        EXPECT_FALSE(DrawScaledPointIcon(icon, QSize(4, 4), Identity(), dc, Rec(away), 2, 2));
        EXPECT_FALSE(DrawPointIcon(icon, QSize(4, 4), Identity(), dc, Rec(away)));
        EXPECT_FALSE(DrawPointIcon(icon, QSize(4, 4), Identity(), dc, nullptr));
        EXPECT_TRUE(DrawScaledPointIcon(icon, QSize(4, 4), Identity(), dc, Rec(point), 0, 2));
    });
    EXPECT_EQ(CountNot(image, kWhite), 0);
}

TEST(MapDrawing, LabelExtentCountsEveryLine) {
    Render([&](QPainter& dc) {
        dc.setFont(LabelFont());
        const QFontMetrics fm = dc.fontMetrics();
        CMapViewport v = Identity();
        v.lineSpacing = 3;
        EXPECT_EQ(GetLabelExtent(v, dc, "abc"), QSize(fm.horizontalAdvance("abc"), fm.height()));
        // The widest line may be the last one.
        EXPECT_EQ(GetLabelExtent(v, dc, "A\nWWWW"),
                  QSize(fm.horizontalAdvance("WWWW"), 2 * fm.height() + 3));
        EXPECT_EQ(GetLabelExtent(v, dc, "WWWW\r\nA\r\n"),
                  QSize(fm.horizontalAdvance("WWWW"), 3 * fm.height() + 6));
        EXPECT_EQ(GetLabelExtent(v, dc, ""), QSize(0, fm.height()));
    });
}

TEST(MapDrawing, LabelPositionCodesPlaceTheRectangleAroundTheAnchor) {
    const CMapViewport v = Identity(200);
    Render(
        [&](QPainter& dc) {
            dc.setFont(LabelFont());
            const QFontMetrics fm = dc.fontMetrics();
            const int w = fm.horizontalAdvance("Label");
            const int h = fm.height();
            // Anchor pixel (100, 100); offsets 2 and 3.
            const struct {
                std::int32_t code;
                int left, top;
            } cases[] = {
                {LP_Center, 100 - w / 2, 100 - h / 2},
                {LP_TopLeft, 100 - (w + 2), 100 - (h + 3)},
                {LP_Top, 100 - w / 2, 100 - (h + 3)},
                {LP_TopRight, 102, 100 - (h + 3)},
                {LP_Left, 100 - (w + 2), 100 - h / 2},
                {LP_Right, 102, 100 - h / 2},
                {LP_BottomLeft, 100 - (w + 2), 103},
                {LP_Bottom, 100 - w / 2, 103},
                {LP_BottomRight, 102, 103},
                {9, 100, 100},
                {-1, 100, 100},
            };
            for (const auto& c : cases) {
                CDeviceRect out;
                EXPECT_TRUE(DrawLabel(v, dc, 100.0, 100.0, "Label", c.code, 2, 3, false, nullptr,
                                      &out, kRed))
                    << c.code;
                EXPECT_EQ(out, (CDeviceRect{c.left, c.top, c.left + w, c.top + h})) << c.code;
            }
        },
        200);
}

TEST(MapDrawing, LabelsCollideWithTheDeviceRectangleAndPlacedLabels) {
    const CMapViewport v = Identity(200);
    int w = 0;
    int h = 0;
    const QImage image = Render(
        [&](QPainter& dc) {
            dc.setFont(LabelFont());
            w = dc.fontMetrics().horizontalAdvance("Label");
            h = dc.fontMetrics().height();

            // Entirely outside the device rectangle: nothing, and out untouched.
            CDeviceRect out{-1, -1, -1, -1};
            EXPECT_FALSE(DrawLabel(v, dc, 300.0, 100.0, "Label", LP_BottomRight, 2, 2, false,
                                   nullptr, &out, kRed));
            EXPECT_EQ(out, (CDeviceRect{-1, -1, -1, -1}));
            // Reaching in by its border is enough.
            EXPECT_TRUE(DrawLabel(v, dc, 200.0, 100.0, "Label", LP_BottomRight, 0, 0, false,
                                  nullptr, &out, kRed));
            EXPECT_EQ(out, (CDeviceRect{200, 100, 200 + w, 100 + h}));

            // At anchor (50, 50), top-left placement: (50, 50, 50 + w, 50 + h).
            std::vector<CDeviceRect> placed = {{50 + w + 1, 0, 200, 200}};
            EXPECT_TRUE(
                DrawLabel(v, dc, 50.0, 150.0, "Label", 9, 0, 0, false, &placed, &out, kRed));
            EXPECT_EQ(out, (CDeviceRect{50, 50, 50 + w, 50 + h}));
            // A placed rectangle touching the label's border blocks it; out is
            // still written.
            placed = {{50 + w, 0, 200, 200}};
            out = {};
            EXPECT_FALSE(
                DrawLabel(v, dc, 50.0, 100.0, "Label", 9, 0, 0, false, &placed, &out, kRed));
            EXPECT_EQ(out, (CDeviceRect{50, 100, 50 + w, 100 + h}));
        },
        200);
    const int inFirst = CountIn(image, kRed, 50, 50, 50 + w, 50 + h);
    EXPECT_GT(inFirst, 0);
    EXPECT_EQ(CountIn(image, kRed, 0, 0, 200, 200), inFirst);
}

TEST(MapDrawing, BoxedLabelFrameAndText) {
    const CMapViewport v = Identity(200);
    CDeviceRect out;
    int w = 0;
    int h = 0;
    QColor penAfter;
    const QImage image = Render(
        [&](QPainter& dc) {
            dc.setFont(LabelFont());
            dc.setPen(QPen(kBlue, 0));
            dc.setBrush(kYellow);
            w = dc.fontMetrics().horizontalAdvance("Label");
            h = dc.fontMetrics().height();
            EXPECT_TRUE(DrawLabel(v, dc, 50.0, 150.0, "Label", 9, 2, 2, true, nullptr, &out, kRed));
            penAfter = dc.pen().color();
        },
        200);
    // The frame: 2 wider on each side, 2 taller at the bottom, right and
    // bottom just outside.
    EXPECT_EQ(out, (CDeviceRect{48, 50, 50 + w + 2, 50 + h + 2}));
    EXPECT_EQ(image.pixelColor(48, 50), kBlue);
    EXPECT_EQ(image.pixelColor(out.right - 1, out.bottom - 1), kBlue);
    EXPECT_EQ(image.pixelColor(out.right, out.bottom), kWhite);
    EXPECT_EQ(image.pixelColor(out.right, 60), kWhite);
    EXPECT_EQ(image.pixelColor(49, 51), kYellow);
    EXPECT_GT(CountIn(image, kRed, 50, 50, 50 + w, 50 + h), 0);
    EXPECT_EQ(CountIn(image, kRed, 0, 0, 200, 50), 0);
    EXPECT_EQ(penAfter, kBlue);
}

TEST(MapDrawing, MultiLineLabelWritesLinesDownwards) {
    CMapViewport v = Identity(200);
    v.lineSpacing = 4;
    for (const char* text : {"AB\r\nWWWW\r\nC", "AB\nWWWW\nC"}) {
        CDeviceRect out;
        int w = 0;
        int h = 0;
        const QImage image = Render(
            [&](QPainter& dc) {
                dc.setFont(LabelFont());
                w = dc.fontMetrics().horizontalAdvance("WWWW");
                h = dc.fontMetrics().height();
                EXPECT_TRUE(DrawMultiLineLabel(v, dc, 50.0, 150.0, text, 9, 2, 2, false, nullptr,
                                               &out, kRed));
            },
            200);
        // Placed 4 wider and 2 taller than the text; no character is lost to
        // the line ends, whichever they are.
        EXPECT_EQ(out, (CDeviceRect{50, 50, 50 + w + 4, 50 + 3 * h + 2 * 4 + 2})) << text;
        for (int line = 0; line < 3; ++line) {
            const int top = 50 + line * (h + 4);
            EXPECT_GT(CountIn(image, kRed, 50, top, 50 + w, top + h), 0)
                << text << " line " << line;
        }
        // "WWWW" is the widest line: its last W reaches beyond "AB" and "C".
        EXPECT_GT(CountIn(image, kRed, 50 + w / 2, 50 + h + 4, 50 + w, 50 + 2 * h + 4), 0) << text;
        EXPECT_EQ(CountIn(image, kRed, 50, 50 + 3 * h + 8, 200, 200), 0) << text;
    }
}

TEST(MapDrawing, BoxedMultiLineLabelFrame) {
    const CMapViewport v = Identity(200);
    CDeviceRect out;
    int w = 0;
    int h = 0;
    Render(
        [&](QPainter& dc) {
            dc.setFont(LabelFont());
            w = dc.fontMetrics().horizontalAdvance("WWWW");
            h = dc.fontMetrics().height();
            EXPECT_TRUE(DrawMultiLineLabel(v, dc, 50.0, 150.0, "WWWW\nA", 9, 2, 2, true, nullptr,
                                           &out, kRed));
        },
        200);
    EXPECT_EQ(out, (CDeviceRect{48, 50, 50 + w + 2, 50 + 2 * h + 1 + 2}));
}

TEST(MapDrawing, DibPixelReadsBlueGreenRedAndRefusesOutside) {
    QImage rgb32(3, 2, QImage::Format_RGB32);
    rgb32.fill(Qt::black);
    rgb32.setPixel(2, 1, qRgb(0x12, 0x34, 0x56));
    QImage bgr888 = rgb32.convertToFormat(QImage::Format_BGR888);
    QImage rgb888 = rgb32.convertToFormat(QImage::Format_RGB888);
    QImage argb = rgb32.convertToFormat(QImage::Format_ARGB32);
    for (const QImage* image : {&rgb32, &bgr888, &rgb888, &argb}) {
        EXPECT_EQ(GetDibPixel(*image, 2, 1), 0x563412) << image->format();
        EXPECT_EQ(GetDibPixel(*image, 0, 0), 0) << image->format();
        EXPECT_EQ(GetDibPixel(*image, 3, 1), -1) << image->format();
        EXPECT_EQ(GetDibPixel(*image, 2, 2), -1) << image->format();
        EXPECT_EQ(GetDibPixel(*image, -1, 0), -1) << image->format();
        EXPECT_EQ(GetDibPixel(*image, 0, -1), -1) << image->format();
    }
    EXPECT_EQ(GetDibPixel(rgb32.convertToFormat(QImage::Format_Grayscale8), 0, 0), -1);
    EXPECT_EQ(GetDibPixel(rgb32.convertToFormat(QImage::Format_RGB16), 0, 0), -1);
    EXPECT_EQ(GetDibPixel(QImage(), 0, 0), -1);
}
