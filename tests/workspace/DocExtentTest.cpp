// The map extent: zooming to themes and selections, centring, the map scale
// and the extent commands of the View and Theme menus.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/Messages.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CommandIds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using Extent = std::array<double, 4>;

Extent ExtentOf(const CCorvaleDoc& doc) {
    return {doc.m_viewExtent[0], doc.m_viewExtent[1], doc.m_viewExtent[2], doc.m_viewExtent[3]};
}

void SetExtent(CCorvaleDoc& doc, const Extent& e) { std::copy(e.begin(), e.end(), doc.m_viewExtent); }

// A theme with bounds only (no records), owned by the document.
CTheme* AddBoundsTheme(CCorvaleDoc& doc, const Extent& bounds, bool visible = true, bool valid = true) {
    auto* theme = new CTheme;
    theme->m_ShapeType = SHT_Polygon;
    std::copy(bounds.begin(), bounds.end(), theme->m_Bounds);
    theme->m_BoundsValid = valid;
    theme->m_Visible = visible;
    doc.m_themes.push_back(theme);
    return theme;
}

// A theme whose records live in the fixture.
struct RecordTheme {
    CTheme* Add(CCorvaleDoc& doc, std::uint32_t type, std::vector<Bytes> records) {
        buffers = std::move(records);
        theme = new CTheme;
        theme->m_ShapeType = type;
        for (Bytes& b : buffers)
            CTheme::ShapeCallback(theme, Rec(b), 0);
        theme->ResetFilter();
        doc.m_themes.push_back(theme);
        return theme;
    }
    std::vector<Bytes> buffers;
    CTheme* theme = nullptr;
};

// A map view stand-in that records the messages sent to it.
struct FakeView : CMessageWindow {
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    struct Sent {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Sent> messages;
};

struct EventLog {
    void OnUpdate(const void*, int code, std::intptr_t) { codes.push_back(code); }
    std::vector<int> codes;
};

bool Enabled(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnCmdMsg(id, &ui));
    return ui.m_Enabled;
}

// Puts back the dialog services after a test installed some.
struct DialogServicesGuard {
    DialogServicesGuard() : saved(GetDocumentDialogServices()) {}
    ~DialogServicesGuard() { SetDocumentDialogServices(saved); }
    CDocumentDialogServices saved;
};

} // namespace

TEST(ZoomToFullExtent, TakesTheUnionOfTheVisibleThemesAndOpensUpDegenerateExtents) {
    struct ThemeSetup {
        Extent bounds;
        bool visible;
        bool valid;
    };
    struct Case {
        const char* name;
        std::vector<ThemeSetup> themes;
        Extent expected;
    };
    const Extent previous{100, 100, 200, 300};
    const Case cases[] = {
        {"one point: a 10 x 10 square around it", {{{3, 4, 3, 4}, true, true}}, {-2, -1, 8, 9}},
        {"a horizontal line is opened on every side", {{{0, 7, 20, 7}, true, true}}, {-5, 2, 25, 12}},
        {"union of two", {{{0, 0, 10, 10}, true, true}, {{-5, 5, 3, 20}, true, true}}, {-5, 0, 10, 20}},
        {"hidden themes do not count", {{{0, 0, 10, 10}, true, true}, {{-50, -50, 60, 60}, false, true}}, {0, 0, 10, 10}},
        {"nor themes without bounds", {{{0, 0, 10, 10}, true, true}, {{-50, -50, 60, 60}, true, false}}, {0, 0, 10, 10}},
        {"the only theme counts though hidden", {{{1, 2, 3, 4}, false, true}}, {1, 2, 3, 4}},
        {"only hidden themes keep the extent", {{{1, 2, 3, 4}, false, true}, {{5, 6, 7, 8}, false, true}}, previous},
        {"no themes keep the extent", {}, previous},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc doc;
        SetExtent(doc, previous);
        for (const ThemeSetup& t : c.themes)
            AddBoundsTheme(doc, t.bounds, t.visible, t.valid);
        EventLog log;
        doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
        doc.ZoomToFullExtent(nullptr);
        EXPECT_EQ(ExtentOf(doc), c.expected);
        EXPECT_TRUE(log.codes.empty());
    }

    // A previous extent of no width is opened up even when nothing contributes.
    CCorvaleDoc doc;
    SetExtent(doc, {0, 0, 0, 10});
    doc.ZoomToFullExtent(nullptr);
    EXPECT_EQ(ExtentOf(doc), (Extent{-5, -5, 5, 15}));

    // With a theme, its bounds, hidden or not.
    CTheme* hidden = AddBoundsTheme(doc, {7, 8, 9, 12}, false);
    AddBoundsTheme(doc, {-100, -100, 100, 100});
    doc.ZoomToFullExtent(hidden);
    EXPECT_EQ(ExtentOf(doc), (Extent{7, 8, 9, 12}));
}

TEST(ThemesExtent, CountsHiddenThemesAndLeavesTheRectangleWhenNoneHasBounds) {
    CCorvaleDoc doc;
    SetExtent(doc, {1, 1, 2, 2});
    AddBoundsTheme(doc, {0, 0, 10, 10});
    AddBoundsTheme(doc, {20, -5, 30, 5}, false);
    AddBoundsTheme(doc, {-99, -99, 99, 99}, true, false);
    double rect[4] = {0, 0, 0, 0};
    doc.GetThemesExtent(rect);
    EXPECT_EQ((Extent{rect[0], rect[1], rect[2], rect[3]}), (Extent{0, -5, 30, 10}));
    // The document's own extent is not touched.
    EXPECT_EQ(ExtentOf(doc), (Extent{1, 1, 2, 2}));

    CCorvaleDoc empty;
    double kept[4] = {1, 2, 3, 4};
    empty.GetThemesExtent(kept);
    EXPECT_EQ((Extent{kept[0], kept[1], kept[2], kept[3]}), (Extent{1, 2, 3, 4}));
}

TEST(ZoomToSelectedThemes, TakesTheVisibleSelectedThemesOnly) {
    CCorvaleDoc doc;
    CTheme* a = AddBoundsTheme(doc, {0, 0, 10, 10});
    CTheme* hidden = AddBoundsTheme(doc, {-50, -50, 0, 0}, false);
    AddBoundsTheme(doc, {100, 100, 200, 200});
    CTheme* b = AddBoundsTheme(doc, {5, 5, 20, 12});
    doc.m_selectedThemes = {a, hidden, b};
    doc.ZoomToSelectedThemes();
    EXPECT_EQ(ExtentOf(doc), (Extent{0, 0, 20, 12}));
}

TEST(SelectionExtent, BoxesTheSelectedShapesThatAreNotFilteredOut) {
    CCorvaleDoc doc;
    RecordTheme points;
    CTheme* theme = points.Add(doc, SHT_Point,
                               {MakePoint(1, 2, 1), MakePoint(30, 40, 2), MakePoint(-4, 6, 3), MakePoint(9, 9, 4)});
    SetExtent(doc, {0, 0, 1, 1});
    theme->AddToSelection(0, 0, 1, 0xFF);
    theme->AddToSelection(2, 2, 1, 0xFF);
    doc.GetSelectionExtent(theme);
    EXPECT_EQ(ExtentOf(doc), (Extent{-4, 2, 1, 6}));

    // A selected shape that is filtered out is not on the map: filter out
    // shape 1 alone, then select it and shape 3 again.
    theme->AddToSelection(3, 3, 1, 0xFF);
    ASSERT_TRUE(theme->FilterSelected());
    theme->InvertFilter();
    theme->AddToSelection(1, 0, 1, 0xFF);
    theme->AddToSelection(3, -1, 1, 0xFF);
    ASSERT_EQ(theme->GetShapePosition(1), -1);
    ASSERT_NE(theme->GetShapePosition(3), -1);
    doc.GetSelectionExtent(theme);
    EXPECT_EQ(ExtentOf(doc), (Extent{4, 4, 14, 14}));

    // Polygons contribute their record boxes.
    RecordTheme polygons;
    CTheme* areas = polygons.Add(doc, SHT_Polygon,
                                 {MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {0, 0}}}, 1),
                                  MakeMulti(SHT_Polygon, {{{20, 20}, {25, 30}, {30, 20}, {20, 20}}}, 2)});
    areas->AddToSelection(1, 1, 1, 0xFF);
    doc.GetSelectionExtent(areas);
    EXPECT_EQ(ExtentOf(doc), (Extent{20, 20, 30, 30}));

    // Without a theme nothing happens.
    doc.GetSelectionExtent(nullptr);
    EXPECT_EQ(ExtentOf(doc), (Extent{20, 20, 30, 30}));
}

TEST(CenterMap, KeepsWidthAndHeightAndFiresExtentChanged) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    // Stored with the corners swapped: the size is kept all the same.
    SetExtent(doc, {10, 20, 0, 0});
    doc.CenterMap(100, 200);
    EXPECT_EQ(ExtentOf(doc), (Extent{95, 190, 105, 210}));
    EXPECT_EQ(log.codes, (std::vector<int>{DUE_ExtentChanged}));

    RecordTheme polygons;
    doc.m_activeTheme = polygons.Add(doc, SHT_Polygon, {MakeMulti(SHT_Polygon, {{{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}})});
    log.codes.clear();
    doc.CenterMapOnShape(-1);
    doc.CenterMapOnShape(1);
    EXPECT_TRUE(log.codes.empty());
    doc.CenterMapOnShape(0);
    // The centre of a polygon is the mean of its ring's vertices, the
    // closing one included.
    const Extent centred = ExtentOf(doc);
    const Extent expected{1.6 - 5, 1.6 - 10, 1.6 + 5, 1.6 + 10};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(centred[i], expected[i], 1e-12) << i;
    EXPECT_EQ(log.codes, (std::vector<int>{DUE_ExtentChanged}));
}

TEST(MapScale, ComesFromTheViewsScreenAndTheGroundWidth) {
    DialogServicesGuard guard;
    std::vector<double> shown;
    CDocumentDialogServices services;
    services.showMapScale = [&shown](CCorvaleDoc*, double scale) { shown.push_back(scale); };
    SetDocumentDialogServices(services);

    CCorvaleDoc doc;
    const double extent[4] = {0, 0, 1000, 500};
    // Without a map view the extent is stored and no scale shown.
    doc.SetViewExtent(extent);
    EXPECT_EQ(ExtentOf(doc), (Extent{0, 0, 1000, 500}));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(doc.m_mapScale, 0.0);

    FakeView view;
    doc.m_mapView = &view;
    doc.m_mapViewMetrics = [](double& dpi, int& width) {
        dpi = 96.0;
        width = 1000;
        return true;
    };
    // 1000 pixels at 96 dots per inch are 264.583 mm of screen.
    const double screenMetres = 1000 / (96.0 * 1000.0 / 25.4);
    doc.SetViewExtent(extent);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NEAR(shown[0], 1000.0 / screenMetres, 1e-6);
    EXPECT_EQ(doc.m_mapScale, shown[0]);

    // In WGS 84 degrees the width is measured along the equator on the
    // workspace's sphere: one degree is radius * pi / 180.
    int wgs84 = -1;
    for (int i = 0; i < kRefSysCount; ++i)
        if (RefSysTable()[static_cast<std::size_t>(i)].id == 2)
            wgs84 = i;
    ASSERT_GE(wgs84, 0);
    doc.m_refSystem = wgs84;
    const double oneDegree[4] = {10, 50, 11, 51};
    doc.SetViewExtent(oneDegree);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NEAR(shown[1], 6361442.043 * 3.14159265358979323846 / 180.0 / screenMetres, 1e-3);

    // A view that cannot tell its screen shows nothing.
    doc.m_mapViewMetrics = [](double&, int&) { return false; };
    doc.UpdateMapScale();
    EXPECT_EQ(shown.size(), 2u);
}

TEST(ExtentCommands, ZoomCommandsFireExtentChangedAndFollowTheirEnableRules) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);

    // Bounds alone do not make a theme zoomable: it needs records or an image.
    CTheme* empty = AddBoundsTheme(doc, {0, 0, 10, 10});
    EXPECT_FALSE(Enabled(doc, ID_VIEW_ZOOM_FULL_EXTENT));
    empty->m_ShapeType = SHT_Image;
    EXPECT_TRUE(Enabled(doc, ID_VIEW_ZOOM_FULL_EXTENT));

    RecordTheme points;
    CTheme* theme = points.Add(doc, SHT_Point, {MakePoint(50, 60, 1), MakePoint(70, 65, 2)});
    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_THEME));
    doc.m_selectedThemes = {theme};
    EXPECT_TRUE(Enabled(doc, ID_THEME_ZOOM_TO_THEME));

    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_ZOOM_FULL_EXTENT, nullptr));
    EXPECT_EQ(ExtentOf(doc), (Extent{0, 0, 70, 65}));
    ASSERT_TRUE(doc.OnCmdMsg(ID_THEME_ZOOM_TO_THEME, nullptr));
    EXPECT_EQ(ExtentOf(doc), (Extent{50, 60, 70, 65}));

    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_SELECTION));
    doc.m_activeTheme = theme;
    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_SELECTION));
    const std::vector<CShapePoint> outline = {{0, 0}, {0, 1}, {1, 1}, {0, 0}};
    theme->SetSelectionArea(&outline);
    EXPECT_TRUE(Enabled(doc, ID_THEME_ZOOM_TO_SELECTION)) << "a selection area alone";
    theme->ClearSelection();
    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_SELECTION));
    theme->AddToSelection(1, 1, 1, 0xFF);
    EXPECT_TRUE(Enabled(doc, ID_THEME_ZOOM_TO_SELECTION));
    ASSERT_TRUE(doc.OnCmdMsg(ID_THEME_ZOOM_TO_SELECTION, nullptr));
    EXPECT_EQ(ExtentOf(doc), (Extent{65, 60, 75, 70}));
    EXPECT_EQ(log.codes, (std::vector<int>{DUE_ExtentChanged, DUE_ExtentChanged, DUE_ExtentChanged}));
}

TEST(ExtentCommands, ZoomToMakeVisibleAsksTheView) {
    CCorvaleDoc doc;
    RecordTheme points;
    CTheme* theme = points.Add(doc, SHT_Point, {MakePoint(1, 1)});
    doc.m_activeTheme = theme;
    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_MAKE_VISIBLE));
    theme->m_ScaleDependent = true;
    EXPECT_TRUE(Enabled(doc, ID_THEME_ZOOM_TO_MAKE_VISIBLE));
    theme->m_Visible = false;
    EXPECT_FALSE(Enabled(doc, ID_THEME_ZOOM_TO_MAKE_VISIBLE));
    theme->m_Visible = true;

    // Without a view there is nobody to ask.
    EXPECT_TRUE(doc.OnCmdMsg(ID_THEME_ZOOM_TO_MAKE_VISIBLE, nullptr));
    FakeView view;
    doc.m_mapView = &view;
    ASSERT_TRUE(doc.OnCmdMsg(ID_THEME_ZOOM_TO_MAKE_VISIBLE, nullptr));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].message, 0x8009u);
    EXPECT_EQ(view.messages[0].lParam, reinterpret_cast<std::intptr_t>(theme));
}

TEST(ExtentCommands, CenterMapAndEditViewRectangleGoThroughTheirDialogs) {
    DialogServicesGuard guard;
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    SetExtent(doc, {0, 0, 10, 20});

    EXPECT_FALSE(Enabled(doc, ID_VIEW_CENTER_MAP));
    EXPECT_FALSE(Enabled(doc, ID_VIEW_EDIT_VIEW_RECTANGLE));
    RecordTheme points;
    doc.m_activeTheme = points.Add(doc, SHT_Point, {MakePoint(1, 1)});
    // Without the dialogs the commands are disabled and do nothing.
    EXPECT_FALSE(Enabled(doc, ID_VIEW_CENTER_MAP));
    EXPECT_FALSE(Enabled(doc, ID_VIEW_EDIT_VIEW_RECTANGLE));
    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_CENTER_MAP, nullptr));
    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_EDIT_VIEW_RECTANGLE, nullptr));
    EXPECT_TRUE(log.codes.empty());

    std::vector<double> presets;
    bool accept = false;
    CDocumentDialogServices services;
    services.centerMap = [&](double& x, double& y) {
        presets.insert(presets.end(), {x, y});
        x = 100;
        y = 100;
        return accept;
    };
    services.viewRectangle = [&](double extent[4]) {
        presets.insert(presets.end(), extent, extent + 4);
        extent[0] = -1;
        extent[3] = 99;
        return accept;
    };
    SetDocumentDialogServices(services);
    EXPECT_TRUE(Enabled(doc, ID_VIEW_CENTER_MAP));
    EXPECT_TRUE(Enabled(doc, ID_VIEW_EDIT_VIEW_RECTANGLE));

    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_CENTER_MAP, nullptr));
    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_EDIT_VIEW_RECTANGLE, nullptr));
    EXPECT_EQ(presets, (std::vector<double>{5, 10, 0, 0, 10, 20}));
    EXPECT_EQ(ExtentOf(doc), (Extent{0, 0, 10, 20}));
    EXPECT_TRUE(log.codes.empty());

    accept = true;
    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_CENTER_MAP, nullptr));
    EXPECT_EQ(ExtentOf(doc), (Extent{95, 90, 105, 110}));
    ASSERT_TRUE(doc.OnCmdMsg(ID_VIEW_EDIT_VIEW_RECTANGLE, nullptr));
    EXPECT_EQ(ExtentOf(doc), (Extent{-1, 90, 105, 99}));
    EXPECT_EQ(log.codes, (std::vector<int>{DUE_ExtentChanged, DUE_ExtentChanged}));
}
