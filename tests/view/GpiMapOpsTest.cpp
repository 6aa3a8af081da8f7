// The plug-in host's map view operations on a real map view: conversions
// between client pixels and map coordinates, the client extent and size,
// repainting and rendering, centring and zooming the document's extent, and
// the map tool that plug-ins take over.

#include "Gpi.h"
#include "ViewTestSupport.h"
#include "framework/ScriptedUserInterface.h"
#include "view/GeoViewGpi.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

class GpiMapOps : public ::testing::Test {
protected:
    void SetUp() override {
        GpiInitializeLock();
        GpiTestReset();
        InstallGpiMapViewServices();
        polygons = ws.AddPolygonTheme("polygons", {Square(10, 10, 30, 20)}, kRefRed);
        points = ws.AddPointTheme("points", {{60, 30}, {70, 40}}, kRefBlue);
        ws.SetExtent(0, 0, 100, 50);
        view = MakeView(ws, 200, 100);
        // The first rendering gives the view its mapping.
        view->GetMapPicture();
        map = GpiFindMapViewHandle(ws.doc.get());
        ASSERT_NE(map, 0u);
        ws.doc->m_updateEvent.AddHandler(this, &GpiMapOps::OnUpdate);
    }
    void TearDown() override {
        ws.doc->m_updateEvent.RemoveHandler(this);
        view.reset();
        GpiTestReset();
    }

    void OnUpdate(const void*, int code, std::intptr_t) { events.push_back(code); }

    std::uint32_t AddPlugin() {
        auto plugin = std::make_unique<CGpiPlugin>();
        plugin->m_Valid = 1;
        plugin->m_Initialised = 1;
        return GpiAddPlugin(std::move(plugin));
    }

    std::vector<double> Extent() const {
        return {ws.doc->m_viewExtent[0], ws.doc->m_viewExtent[1], ws.doc->m_viewExtent[2], ws.doc->m_viewExtent[3]};
    }

    TestWorkspace ws;
    CTheme* polygons = nullptr;
    CTheme* points = nullptr;
    std::unique_ptr<CGeoView> view;
    std::uint32_t map = 0;
    std::vector<int> events;
};

TEST_F(GpiMapOps, WorldToClientAndBack) {
    // 100 x 50 map units over 200 x 100 pixels: two pixels a unit, the top
    // row at y = 50.
    struct Case {
        double x, y;
        std::int32_t px, py;
    };
    const Case cases[] = {
        {0.0, 50.0, 0, 0}, {100.0, 0.0, 200, 100}, {50.0, 25.0, 100, 50}, {10.25, 40.0, 20, 20},
        {-5.0, 60.0, -10, -20},
    };
    for (const Case& c : cases) {
        std::int32_t px = 0, py = 0;
        GpiMapWorldToClientArgs toClient = {map, 0, c.x, c.y, &px, &py};
        ASSERT_EQ(GpiHostDispatch(GPIOP_MapWorldToClient, &toClient), GPIERR_NoError);
        EXPECT_EQ(px, c.px) << c.x;
        EXPECT_EQ(py, c.py) << c.y;

        double x = 0.0, y = 0.0;
        GpiMapClientToWorldArgs toWorld = {map, px, py, &x, &y};
        ASSERT_EQ(GpiHostDispatch(GPIOP_MapClientToWorld, &toWorld), GPIERR_NoError);
        // Back to the map through whole pixels: within half a unit.
        EXPECT_NEAR(x, c.x, 0.5);
        EXPECT_NEAR(y, c.y, 0.5);
    }

    // Whole pixels come back exactly.
    double x = 0.0, y = 0.0;
    GpiMapClientToWorldArgs toWorld = {map, 40, 30, &x, &y};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapClientToWorld, &toWorld), GPIERR_NoError);
    EXPECT_DOUBLE_EQ(x, 20.0);
    EXPECT_DOUBLE_EQ(y, 35.0);
}

TEST_F(GpiMapOps, ClientExtentAndSize) {
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    GpiMapGetClientExtentArgs extent = {map, &xmin, &ymin, &xmax, &ymax};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapGetClientExtent, &extent), GPIERR_NoError);
    EXPECT_DOUBLE_EQ(xmin, 0.0);
    EXPECT_DOUBLE_EQ(ymin, 0.0);
    EXPECT_DOUBLE_EQ(xmax, 100.0);
    EXPECT_DOUBLE_EQ(ymax, 50.0);

    std::uint32_t width = 0, height = 0;
    GpiMapGetClientSizeArgs size = {map, &width, &height};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapGetClientSize, &size), GPIERR_NoError);
    EXPECT_EQ(width, 200u);
    EXPECT_EQ(height, 100u);

    void* window = nullptr;
    GpiMapGetWindowArgs windowArgs = {map, &window};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapGetWindow, &windowArgs), GPIERR_NoError);
    EXPECT_EQ(window, static_cast<QWidget*>(view.get()));
}

TEST_F(GpiMapOps, RefusalsWriteNothing) {
    double d = 7.0;
    std::uint32_t u = kUntouched;
    std::int32_t i = 7;
    void* window = &d;
    const std::uint32_t theme = GpiThemeHandle(polygons);
    struct Case {
        const char* name;
        int op;
        void* args;
        int expected;
    };
    GpiMapGetClientExtentArgs extentMissing = {map, &d, &d, &d, nullptr};
    GpiMapGetClientExtentArgs extentUnknown = {theme, &d, &d, &d, &d};
    GpiMapGetClientSizeArgs sizeMissing = {map, &u, nullptr};
    GpiMapGetClientSizeArgs sizeUnknown = {0, &u, &u};
    GpiMapWorldToClientArgs toClientMissing = {map, 0, 1.0, 1.0, nullptr, &i};
    GpiMapWorldToClientArgs toClientUnknown = {map + 1000, 0, 1.0, 1.0, &i, &i};
    GpiMapClientToWorldArgs toWorldMissing = {map, 1, 1, &d, nullptr};
    GpiMapClientToWorldArgs toWorldUnknown = {theme, 1, 1, &d, &d};
    GpiMapGetWindowArgs windowMissing = {map, nullptr};
    GpiMapGetWindowArgs windowUnknown = {theme, &window};
    GpiMapRedrawArgs redrawUnknown = {theme, 1};
    GpiMapRenderArgs renderNoTarget = {map, nullptr, 10, 10, 0, 0, 0, 0};
    const Case cases[] = {
        {"extent null block", GPIOP_MapGetClientExtent, nullptr, GPIERR_IllegalParameter},
        {"extent null out", GPIOP_MapGetClientExtent, &extentMissing, GPIERR_IllegalParameter},
        {"extent theme handle", GPIOP_MapGetClientExtent, &extentUnknown, GPIERR_InvalidHandle},
        {"size null out", GPIOP_MapGetClientSize, &sizeMissing, GPIERR_IllegalParameter},
        {"size handle 0", GPIOP_MapGetClientSize, &sizeUnknown, GPIERR_InvalidHandle},
        {"to client null out", GPIOP_MapWorldToClient, &toClientMissing, GPIERR_IllegalParameter},
        {"to client unknown", GPIOP_MapWorldToClient, &toClientUnknown, GPIERR_InvalidHandle},
        {"to world null out", GPIOP_MapClientToWorld, &toWorldMissing, GPIERR_IllegalParameter},
        {"to world theme handle", GPIOP_MapClientToWorld, &toWorldUnknown, GPIERR_InvalidHandle},
        {"window null out", GPIOP_MapGetWindow, &windowMissing, GPIERR_IllegalParameter},
        {"window theme handle", GPIOP_MapGetWindow, &windowUnknown, GPIERR_InvalidHandle},
        {"redraw theme handle", GPIOP_MapRedraw, &redrawUnknown, GPIERR_InvalidHandle},
        {"render without target", GPIOP_MapRender, &renderNoTarget, GPIERR_IllegalParameter},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GpiHostDispatch(c.op, c.args), c.expected) << c.name;
        EXPECT_EQ(d, 7.0) << c.name;
        EXPECT_EQ(u, kUntouched) << c.name;
        EXPECT_EQ(i, 7) << c.name;
        EXPECT_EQ(window, &d) << c.name;
    }
}

TEST_F(GpiMapOps, ZoomScalesTheExtentAboutItsCentre) {
    struct Case {
        double factor;
        int result;
        std::vector<double> extent;
    };
    const Case cases[] = {
        {2.0, GPIERR_NoError, {-50, -25, 150, 75}},
        {1.0, GPIERR_NoError, {0, 0, 100, 50}},
        {0.5, GPIERR_NoError, {25, 12.5, 75, 37.5}},
        // A factor that is no zoom is refused and nothing changes.
        {0.0, GPIERR_IllegalParameter, {0, 0, 100, 50}},
        {-2.0, GPIERR_IllegalParameter, {0, 0, 100, 50}},
        {std::numeric_limits<double>::quiet_NaN(), GPIERR_IllegalParameter, {0, 0, 100, 50}},
        {std::numeric_limits<double>::infinity(), GPIERR_IllegalParameter, {0, 0, 100, 50}},
    };
    for (const Case& c : cases) {
        ws.SetExtent(0, 0, 100, 50);
        events.clear();
        GpiMapZoomArgs zoom = {map, 0, c.factor};
        EXPECT_EQ(GpiHostDispatch(GPIOP_MapZoom, &zoom), c.result) << c.factor;
        EXPECT_EQ(Extent(), c.extent) << c.factor;
        const std::vector<int> expected =
            c.result == GPIERR_NoError ? std::vector<int>{DUE_ExtentChanged} : std::vector<int>{};
        EXPECT_EQ(events, expected) << c.factor;
    }
    // Before the factor, the handle.
    GpiMapZoomArgs unknown = {GpiThemeHandle(points), 0, -1.0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_MapZoom, &unknown), GPIERR_InvalidHandle);
}

TEST_F(GpiMapOps, CentreAndZoomToThemesAndSelection) {
    GpiMapCenterAtArgs centre = {map, 0, 10.0, 20.0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapCenterAt, &centre), GPIERR_NoError);
    EXPECT_EQ(Extent(), (std::vector<double>{-40, -5, 60, 45}));

    // One theme; an unknown theme changes nothing.
    GpiMapZoomToThemeArgs toTheme = {map, GpiThemeHandle(polygons)};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapZoomToTheme, &toTheme), GPIERR_NoError);
    EXPECT_EQ(Extent(), (std::vector<double>{10, 10, 30, 20}));
    GpiMapZoomToThemeArgs unknown = {map, map};
    EXPECT_EQ(GpiHostDispatch(GPIOP_MapZoomToTheme, &unknown), GPIERR_InvalidHandle);
    EXPECT_EQ(Extent(), (std::vector<double>{10, 10, 30, 20}));

    // Theme 0: every visible theme.
    GpiMapZoomToThemeArgs all = {map, 0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapZoomToTheme, &all), GPIERR_NoError);
    EXPECT_EQ(Extent(), (std::vector<double>{10, 10, 70, 40}));

    points->AddToSelection(1, 0, 0, kRefGreen);
    events.clear();
    GpiMapZoomToSelectionArgs toSelection = {map, GpiThemeHandle(points)};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapZoomToSelection, &toSelection), GPIERR_NoError);
    // One point: an extent without size is widened by 5 units on every side.
    EXPECT_EQ(Extent(), (std::vector<double>{65, 35, 75, 45}));
    EXPECT_EQ(events, std::vector<int>{DUE_ExtentChanged});
    GpiMapZoomToSelectionArgs noTheme = {map, 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_MapZoomToSelection, &noTheme), GPIERR_InvalidHandle);
}

TEST_F(GpiMapOps, APluginToolIsSeenOnlyByItsOwner) {
    const std::uint32_t owner = AddPlugin();
    const std::uint32_t other = AddPlugin();
    auto getTool = [this](std::uint32_t identity) {
        std::uint32_t tool = kUntouched;
        GpiMapGetToolArgs args = {map, identity, &tool};
        EXPECT_EQ(GpiHostDispatch(GPIOP_MapGetTool, &args), GPIERR_NoError);
        return tool;
    };
    auto setTool = [this](std::uint32_t identity, std::uint32_t tool) {
        GpiMapSetToolArgs args = {map, identity, tool};
        return GpiHostDispatch(GPIOP_MapSetTool, &args);
    };

    EXPECT_EQ(getTool(owner), 1u);
    ASSERT_EQ(setTool(owner, 300), GPIERR_NoError);
    EXPECT_EQ(ws.doc->m_toolMode, 299u);
    EXPECT_EQ(getTool(owner), 300u);
    EXPECT_EQ(getTool(other), 255u);

    // A built-in tool is everybody's, whoever set the plug-in tool before.
    ASSERT_EQ(setTool(other, 20), GPIERR_NoError);
    EXPECT_EQ(ws.doc->m_toolMode, 19u);
    EXPECT_EQ(getTool(owner), 20u);
    EXPECT_EQ(getTool(other), 20u);

    struct Case {
        std::uint32_t tool;
        int result;
    };
    const Case cases[] = {{0, GPIERR_IllegalParameter},   {21, GPIERR_IllegalParameter},
                          {255, GPIERR_IllegalParameter}, {512, GPIERR_IllegalParameter},
                          {256, GPIERR_NoError},          {511, GPIERR_NoError},
                          {1, GPIERR_NoError}};
    for (const Case& c : cases) {
        ws.doc->m_toolMode = 7;
        EXPECT_EQ(setTool(owner, c.tool), c.result) << c.tool;
        EXPECT_EQ(ws.doc->m_toolMode, c.result == GPIERR_NoError ? c.tool - 1 : 7u) << c.tool;
    }

    // The identity must be a plug-in's; the tool's range is checked first.
    ws.doc->m_toolMode = 7;
    EXPECT_EQ(setTool(map, 300), GPIERR_InvalidHandle);
    EXPECT_EQ(setTool(map, 300 + 300), GPIERR_IllegalParameter);
    EXPECT_EQ(ws.doc->m_toolMode, 7u);
    std::uint32_t tool = kUntouched;
    GpiMapGetToolArgs badIdentity = {map, 0, &tool};
    EXPECT_EQ(GpiHostDispatch(GPIOP_MapGetTool, &badIdentity), GPIERR_InvalidHandle);
    EXPECT_EQ(tool, kUntouched);
    EXPECT_TRUE(events.empty());
}

TEST_F(GpiMapOps, RedrawPaintsAtOnceAndRendersOnlyWhenErasing) {
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->repaint();
    const std::uint64_t before = view->m_renderCount;
    GpiMapRedrawArgs keep = {map, 0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapRedraw, &keep), GPIERR_NoError);
    EXPECT_EQ(view->m_renderCount, before);

    GpiMapRedrawArgs erase = {map, 1};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapRedraw, &erase), GPIERR_NoError);
    EXPECT_EQ(view->m_renderCount, before + 1);
    EXPECT_FALSE(view->m_mapDirty);

    // An erase already pending is not cancelled by a redraw without erase.
    view->m_mapDirty = true;
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapRedraw, &keep), GPIERR_NoError);
    EXPECT_EQ(view->m_renderCount, before + 2);
}

TEST_F(GpiMapOps, RenderDrawsIntoThePluginsPixels) {
    constexpr std::uint32_t kSide = 40;
    std::vector<std::uint32_t> pixels(kSide * kSide, 0xFF123456u);
    GpiRenderTarget target = {kSide, kSide, kSide * 4, pixels.data()};
    // 20 x 20 pixels around the polygon's centre, 20 x 10 map units.
    GpiMapRenderArgs render = {map, &target, 20, 20, 20.0, 15.0, 20.0, 20.0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_MapRender, &render), GPIERR_NoError);
    const QColor red = Colour(kRefRed);
    EXPECT_EQ(pixels[10 * kSide + 10], red.rgba());
    // Nothing is drawn beyond the width and height asked for.
    EXPECT_EQ(pixels[30 * kSide + 30], 0xFF123456u);

    // A target whose rows do not hold its width is refused untouched.
    GpiRenderTarget narrow = {kSide, kSide, kSide * 2, pixels.data()};
    std::fill(pixels.begin(), pixels.end(), 0u);
    GpiMapRenderArgs bad = {map, &narrow, 20, 20, 20.0, 15.0, 20.0, 20.0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_MapRender, &bad), GPIERR_IllegalParameter);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0u), static_cast<long>(pixels.size()));
}

} // namespace
