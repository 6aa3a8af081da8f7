// The map view: its cached picture, its messages and commands, and its
// reaction to the document's updates.

#include "ViewTestSupport.h"

#include "CommaLocale.h"
#include "TempDir.h"
#include "framework/Messages.h"
#include "framework/ScriptedUserInterface.h"
#include "view/MapRenderer.h"
#include "workspace/ViewMessages.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

class SettingsGuard {
public:
    SettingsGuard() : m_Saved(*CAppSettings::GetInstance()) {}
    ~SettingsGuard() { *CAppSettings::GetInstance() = m_Saved; }

private:
    CAppSettings m_Saved;
};

// Records the update events a document fires.
class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) {
        doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate);
    }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    int Count(int code) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [code](const auto& e) { return e.first == code; }));
    }
    std::vector<std::pair<int, std::intptr_t>> events;

private:
    CCorvaleDoc& m_Doc;
};

TEST(GeoViewTest, OnlyADirtyCacheIsRendered) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(10, 10, 90, 90)}, kRefRed);
    auto view = MakeView(ws);
    EXPECT_TRUE(view->m_mapDirty);
    EXPECT_EQ(view->m_renderCount, 0u);

    view->grab();
    EXPECT_EQ(view->m_renderCount, 1u);
    EXPECT_FALSE(view->m_mapDirty);
    view->grab();
    view->GetMapPicture();
    EXPECT_EQ(view->m_renderCount, 1u);

    view->InvalidateMap(false);
    view->grab();
    EXPECT_EQ(view->m_renderCount, 1u);

    // A pending render is never cancelled by a repaint request.
    view->InvalidateMap(true);
    view->InvalidateMap(false);
    EXPECT_TRUE(view->m_mapDirty);
    view->grab();
    EXPECT_EQ(view->m_renderCount, 2u);

    // A window larger than the cache needs a new picture.
    view->resize(view->m_mapBitmap.width() + 10, 50);
    view->grab();
    EXPECT_EQ(view->m_renderCount, 3u);
}

// The document hears of its first view only: the console is made then.
TEST(GeoViewTest, TheFirstViewOfADocumentMakesItsConsole) {
    RecordingServices services;
    TestWorkspace ws;
    int consoles = 0;
    const CDocumentConsoleServices saved = GetDocumentConsoleServices();
    CDocumentConsoleServices console;
    console.getConsole = [&consoles](CCorvaleDoc&) -> CConsoleDialog* {
        ++consoles;
        return nullptr;
    };
    SetDocumentConsoleServices(console);
    auto first = MakeView(ws);
    auto second = MakeView(ws);
    SetDocumentConsoleServices(saved);
    EXPECT_EQ(consoles, 1);
}

TEST(GeoViewTest, PaintShowsTheCachedMapWithBookmarksOver) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto bookmark = new CBookmarkRecord{50, 50, "BM 1", 1.0};
    ws.doc->m_bookmarks.push_back(bookmark);
    auto view = MakeView(ws);
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = view->GetMapPicture();
    EXPECT_EQ(picture.pixelColor(50, 50), Colour(kRefRed));
    // The bookmark icon is painted over the map, not into the cache.
    EXPECT_NE(shown, picture);
    EXPECT_EQ(CountColour(picture, Colour(kRefRed)), 100 * 100);
}

TEST(GeoViewTest, TwoQueuedSelectionMessagesGiveOneNotification) {
    RecordingServices services;
    TestWorkspace ws;
    auto view = MakeView(ws);
    EXPECT_TRUE(PostMessage(view.get(), WM_THEME_SELECTION_CHANGED, 0, 0));
    EXPECT_TRUE(PostMessage(view.get(), WM_THEME_SELECTION_CHANGED, 0, 0));
    QCoreApplication::sendPostedEvents(view.get(), 0);
    EXPECT_EQ(services.selectionNotifications, 1);
    PostMessage(view.get(), WM_THEME_SELECTION_CHANGED, 0, 0);
    QCoreApplication::sendPostedEvents(view.get(), 0);
    EXPECT_EQ(services.selectionNotifications, 2);
}

TEST(GeoViewTest, LoaderAndPropertiesMessagesReachTheDocumentsOperations) {
    RecordingServices services;
    TestWorkspace ws;
    CTheme* theme = ws.AddPointTheme("p", {{1, 1}}, kRefRed);
    auto view = MakeView(ws);
    EXPECT_EQ(
        SendMessage(view.get(), WM_LOADER_CUSTOM_EVENT, 5, reinterpret_cast<std::intptr_t>(theme)),
        77);
    ASSERT_EQ(services.customEvents.size(), 1u);
    EXPECT_EQ(services.customEvents[0].first, theme);
    EXPECT_EQ(services.customEvents[0].second, 5u);

    SendMessage(view.get(), WM_SHOW_WORKSPACE_PROPERTIES, 0, 0);
    EXPECT_TRUE(services.propertiesPages.empty());
    SendMessage(view.get(), WM_SHOW_WORKSPACE_PROPERTIES, 0, 1);
    EXPECT_EQ(services.propertiesPages, std::vector<int>{3});
}

TEST(GeoViewTest, UnitsPerPixelAndExtentMessages) {
    TestWorkspace ws;
    ws.SetExtent(10, 20, 210, 120);
    auto view = MakeView(ws, 200, 100);
    view->GetMapPicture();
    double upp = 0.0;
    SendMessage(view.get(), WM_GET_UNITS_PER_PIXEL, 0, reinterpret_cast<std::intptr_t>(&upp));
    EXPECT_DOUBLE_EQ(upp, 1.0);
    double extent[4] = {};
    SendMessage(view.get(), WM_GET_VIEW_EXTENT, 0, reinterpret_cast<std::intptr_t>(extent));
    EXPECT_DOUBLE_EQ(extent[0], 10.0);
    EXPECT_DOUBLE_EQ(extent[1], 120.0);
    EXPECT_DOUBLE_EQ(extent[2], 210.0);
    EXPECT_DOUBLE_EQ(extent[3], 20.0);
    // Null pointers are left alone.
    SendMessage(view.get(), WM_GET_VIEW_EXTENT, 0, 0);
    SendMessage(view.get(), WM_GET_UNITS_PER_PIXEL, 0, 0);
}

TEST(GeoViewTest, RenderingAnImageKeepsTheViewsViewport) {
    TestWorkspace ws;
    ws.AddPolygonTheme("t", {Square(10, 10, 60, 60)}, kRefRed);
    auto view = MakeView(ws);
    view->GetMapPicture();
    const CMapViewport before = view->m_viewport;

    MapImageRequest request;
    request.width = 50;
    request.height = 40;
    request.centerX = 70;
    request.centerY = 30;
    SendMessage(view.get(), WM_RENDER_MAP_IMAGE, 0, reinterpret_cast<std::intptr_t>(&request));
    ASSERT_FALSE(request.result.isNull());
    EXPECT_EQ(request.result.size(), QSize(50, 40));
    // At the view's scale (one unit per pixel) around (70, 30): map x 45..95,
    // y 10..50; the square ends at x 60.
    EXPECT_EQ(request.result.pixelColor(5, 20), Colour(kRefRed));
    EXPECT_EQ(request.result.pixelColor(30, 20), Colour(kRefWhite));

    EXPECT_EQ(std::memcmp(&before, &view->m_viewport, sizeof before), 0);
    const CShapePoint p = ScreenToMap(view->m_viewport, 25, 75);
    EXPECT_DOUBLE_EQ(p.x, 25.0);
    EXPECT_DOUBLE_EQ(p.y, 25.0);
    EXPECT_FALSE(view->m_mapDirty);

    // An image the size of nothing is no image.
    MapImageRequest empty;
    SendMessage(view.get(), WM_RENDER_MAP_IMAGE, 0, reinterpret_cast<std::intptr_t>(&empty));
    EXPECT_TRUE(empty.result.isNull());
}

TEST(GeoViewTest, ZoomToMakeVisible) {
    struct Case {
        double minScale;
        double maxScale;
        bool moves;
        double width;
    };
    // One unit per pixel on 100 pixels now.
    const Case cases[] = {
        {2.0, 4.0, true, 200.0},
        {0.1, 0.5, true, 100.0 * (0.1 + 0.4 * 0.9999999)},
        {0.5, 2.0, false, 100.0},
        {1.0, 1.0, false, 100.0},
    };
    for (const Case& c : cases) {
        TestWorkspace ws;
        CTheme* theme = ws.AddPointTheme("p", {{1, 1}}, kRefRed);
        theme->m_ScaleDependent = true;
        theme->m_MinScale = c.minScale;
        theme->m_MaxScale = c.maxScale;
        auto view = MakeView(ws);
        view->GetMapPicture();
        EventLog log(*ws.doc);
        SendMessage(view.get(), WM_ZOOM_TO_MAKE_VISIBLE, 0, reinterpret_cast<std::intptr_t>(theme));
        const double* e = ws.doc->m_viewExtent;
        EXPECT_NEAR(e[2] - e[0], c.width, 1e-9) << c.minScale;
        EXPECT_NEAR(e[0] + (e[2] - e[0]) / 2, 50.0, 1e-9);
        EXPECT_EQ(log.Count(DUE_ExtentChanged), c.moves ? 1 : 0);
    }
}

TEST(GeoViewTest, MapSignature) {
    struct Case {
        std::string path;
        std::string expected;
    };
    const std::string numbers = "/iw100ih80x50.000000y40.000000w100.000000h80.000000.bmp";
    const Case cases[] = {
        {"/data/town.cvw", "//data/town" + numbers},
        {"C:\\maps\\Town.CVW", "/C:\\maps\\Town" + numbers},
        {"/data/town.cvwx", "//data/town.cvwx" + numbers},
        {"", "/" + numbers},
    };
    RecordingServices services;
    CommaLocale comma;
    for (const Case& c : cases) {
        TestWorkspace ws;
        ws.SetExtent(0, 0, 100, 80);
        ws.doc->SetPathName(c.path);
        auto view = MakeView(ws, 100, 80);
        EXPECT_EQ(view->GetMapSignature(), c.expected) << c.path;
    }
    TestWorkspace ws;
    ws.SetExtent(0, 0, 100, 80);
    auto view = MakeView(ws, 100, 80);
    SendMessage(view.get(), WM_COMMAND, ID_MAP_VIEW_SIGNATURE, 0);
    ASSERT_EQ(services.texts.size(), 1u);
    EXPECT_EQ(services.texts[0].first, "Map Signature");
    EXPECT_EQ(services.texts[0].second,
              "The following signature can be used in the Corvale Image Server to generate this "
              "map:\r\n\r\n/" +
                  numbers);
}

TEST(GeoViewTest, CopyMapImageRendersADirtyCacheFirstAndLeavesTheOverlaysOut) {
    TestWorkspace ws;
    CTheme* theme = ws.AddPolygonTheme("t", {Square(0, 0, 100, 100)}, kRefRed);
    auto view = MakeView(ws);
    view->GetMapPicture();
    // The workspace changes after the last rendering.
    theme->m_Color = kRefBlue;
    theme->m_OutlineColor = kRefBlue;
    theme->UpdateStyles();
    view->InvalidateMap(true);
    ws.doc->m_toolMode = MT_Measure;
    view->m_toolPoints = {{10, 10}, {90, 90}};
    view->m_lastMousePoint = {90, 10};

    SendMessage(view.get(), WM_COMMAND, ID_MAP_VIEW_COPY_IMAGE, 0);
    EXPECT_EQ(view->m_renderCount, 2u);
    const QImage copied =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), QSize(100, 100));
    EXPECT_EQ(CountColour(copied, Colour(kRefBlue)), 100 * 100);
    // On the screen the measure line is painted over the map.
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(CountColour(shown, Colour(kRefBlue)), 100 * 100);
}

// The copy holds what the map shows of the selection: the vertex markers of
// the selected shape and the traced outline of an image.
TEST(GeoViewTest, CopyMapImageHoldsTheVertexMarkersAndTheSelectionOutline) {
    TestWorkspace ws;
    CTheme* theme = ws.AddPolygonTheme("t", {Square(20, 20, 80, 80)}, kRefBlue);
    theme->m_OutlineColor = kRefBlue;
    theme->UpdateStyles();
    auto view = MakeView(ws);
    const QImage plain = view->GetMapPicture();

    ws.doc->m_activeTheme = theme;
    ws.doc->m_vertexMode = 1;
    theme->AddToSelection(0, 0, 0, kRefBlue);
    ASSERT_TRUE(view->RebuildVertexMarkers());
    SendMessage(view.get(), WM_COMMAND, ID_MAP_VIEW_COPY_IMAGE, 0);
    QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), plain.size());
    EXPECT_NE(copied, plain.convertToFormat(QImage::Format_RGB32)) << "the markers are in the copy";
    EXPECT_EQ(view->GetMapPicture(), plain) << "the cache itself stays the plain map";

    QImage bitmap(10, 10, QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    CTheme* image = ws.AddImageTheme("image", bitmap, 0, 0, 100, 100);
    ws.doc->m_vertexMode = 0;
    view->RebuildVertexMarkers();
    view->InvalidateMap(true);
    const QImage withImage = view->GetMapPicture().convertToFormat(QImage::Format_RGB32);
    ws.doc->m_activeTheme = image;
    const std::vector<CShapePoint> outline = {{30, 30}, {30, 70}, {70, 70}, {70, 30}, {30, 30}};
    image->SetSelectionArea(&outline);
    SendMessage(view.get(), WM_COMMAND, ID_MAP_VIEW_COPY_IMAGE, 0);
    copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(copied, withImage) << "the outline is in the copy";
}

TEST(GeoViewTest, FindTheme) {
    SettingsGuard guard;
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    CTheme* top = ws.AddPolygonTheme("top", {Square(10, 10, 40, 40)}, kRefRed);
    CTheme* lower = ws.AddPolygonTheme("lower", {Square(10, 10, 90, 90)}, kRefBlue);
    auto view = MakeView(ws);
    view->GetMapPicture();
    EventLog log(*ws.doc);

    view->m_contextPoint = {20, 80};
    SendMessage(view.get(), WM_COMMAND, ID_VIEW_FIND_THEME, 0);
    EXPECT_EQ(ws.doc->m_activeTheme, top);
    EXPECT_EQ(ws.doc->m_selectedThemes, std::vector<CTheme*>{top});
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0],
              std::make_pair(int(DUE_ActiveThemeChanged), reinterpret_cast<std::intptr_t>(top)));
    EXPECT_EQ(log.events[1],
              std::make_pair(int(DUE_ThemeFound), reinterpret_cast<std::intptr_t>(top)));

    view->m_contextPoint = {70, 30};
    view->OnFindTheme();
    EXPECT_EQ(ws.doc->m_activeTheme, lower);

    // A hidden theme on top does not end the search.
    top->m_Visible = false;
    view->m_contextPoint = {20, 80};
    view->OnFindTheme();
    EXPECT_EQ(ws.doc->m_activeTheme, lower);
    EXPECT_TRUE(ui.Messages().empty());

    view->m_contextPoint = {95, 5};
    view->OnFindTheme();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "No theme had data at selected location.");
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Information);
}

TEST(GeoViewTest, FindThemeInAnEmptyWorkspace) {
    corvale::CScriptedUserInterface ui;
    TestWorkspace ws;
    auto view = MakeView(ws);
    CCmdUI state(ID_VIEW_FIND_THEME);
    view->OnCmdMsg(ID_VIEW_FIND_THEME, &state);
    EXPECT_FALSE(state.m_Enabled);
    view->OnFindTheme();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No theme had data at selected location."});
}

TEST(GeoViewTest, FirstExtentOfAWindow) {
    struct Case {
        int width;
        int height;
        double minY;
    };
    // A window without width yet starts with a square rather than dividing
    // by its width.
    for (const Case c : {Case{100, 50, 5.0}, Case{0, 50, 0.0}, Case{0, 0, 0.0}}) {
        TestWorkspace ws;
        ws.SetExtent(0, 0, 0, 0);
        auto view = MakeView(ws, c.width, c.height);
        const double* e = ws.doc->m_viewExtent;
        EXPECT_DOUBLE_EQ(e[0], 0.0);
        EXPECT_DOUBLE_EQ(e[1], c.minY) << c.width;
        EXPECT_DOUBLE_EQ(e[2], 10.0);
        EXPECT_DOUBLE_EQ(e[3], 10.0);
        EXPECT_EQ(ws.doc->m_mapView, view.get());
        EXPECT_EQ(ws.doc->m_viewCount, 1);
    }
}

TEST(GeoViewTest, DestroyedViewLeavesTheDocument) {
    TestWorkspace ws;
    auto view = MakeView(ws);
    const std::size_t subscribers = ws.doc->m_updateEvent.GetCount();
    view.reset();
    EXPECT_EQ(ws.doc->m_mapView, nullptr);
    EXPECT_EQ(ws.doc->m_updateEvent.GetCount(), subscribers - 1);
    ws.doc->FireUpdateEvent(nullptr, DUE_Refresh, 0);
}

TEST(GeoViewTest, PrintingRendersAPageAndRestoresTheView) {
    TempDir dir;
    TestWorkspace ws;
    ws.AddPolygonTheme("area", {Square(10, 10, 90, 90)}, kRefRed);
    auto view = MakeView(ws);
    view->GetMapPicture();
    const CMapViewport before = view->m_viewport;
    const std::string path = dir.file("map.pdf");
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    view->OnPrint(printer);
    EXPECT_GT(QFileInfo(QString::fromStdString(path)).size(), 0);
    EXPECT_FALSE(view->m_printing);
    EXPECT_EQ(view->m_printInfo, nullptr);
    EXPECT_EQ(std::memcmp(&before, &view->m_viewport, sizeof before), 0);
    EXPECT_DOUBLE_EQ(ws.doc->m_viewExtent[2], 100.0);
}

TEST(GeoViewTest, HelpHint) {
    SettingsGuard guard;
    TestWorkspace ws;
    auto view = MakeView(ws);
    EXPECT_EQ(view->GetHintText(), "Open a workspace or insert themes from the Insert menu.");

    CTheme* empty = ws.AddPolygonTheme("empty", {}, kRefRed);
    empty->m_Editable = true;
    ws.doc->m_activeTheme = empty;
    EXPECT_EQ(view->GetHintText(), "Select Draw New from edit toolbar to add new shapes\nor copy "
                                   "shapes from another theme and paste here.");

    ws.doc->m_toolMode = MT_DrawNew;
    EXPECT_EQ(view->GetHintText(), "Left click to add vertices.");
    view->m_sketchPoints = {{1, 1}};
    EXPECT_EQ(view->GetHintText(), "Left click to add vertices.\nRight click to set last vertex "
                                   "and close polygon.\n<ESC> to undo last vertex.");

    CTheme* lines = ws.AddPolylineTheme("lines", {{{{0, 0}, {1, 1}}}}, kRefRed);
    lines->m_Editable = true;
    ws.doc->m_activeTheme = lines;
    EXPECT_EQ(view->GetHintText(),
              "Left click to add vertices.\nRight click to set last vertex.\n<ESC> to undo last "
              "vertex.\nHold down <CTRL> to snap vertices to other\nshapes in this theme.\n\nUse "
              "Attribute Manager from Edit menu\nto add a set of attributes for this theme.");

    ws.doc->m_toolMode = MT_Measure;
    EXPECT_EQ(view->GetHintText(), "Left click to set measure points.");
    view->m_toolPoints = {{1, 1}};
    EXPECT_EQ(view->GetHintText(), "Left click to set measure points.\n<ESC> to cancel.");

    ws.doc->m_toolMode = MT_SelectPolygonDraw;
    EXPECT_EQ(view->GetHintText(), "Left click to add selection vertices.\nRight click to set last "
                                   "vertex and close polygon.");

    CAppSettings::GetInstance()->m_DynamicHelpLevel = 1;
    view->UpdateHintTip();
    EXPECT_TRUE(view->m_hintTip.IsActive());
    EXPECT_EQ(view->m_hintTip.GetText(), view->GetHintText());
    view->m_infoTip.SetText("Road 5");
    view->UpdateHintTip();
    EXPECT_FALSE(view->m_hintTip.IsActive());
}

// ---------------------------------------------------------------------------
// The reaction to the document's update codes
// ---------------------------------------------------------------------------

class DocumentUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        editTheme = ws.AddPolygonTheme("edit", {Square(10, 10, 40, 40)}, kRefRed);
        otherTheme = ws.AddPolygonTheme("other", {Square(50, 50, 90, 90)}, kRefBlue);
        editTheme->AddToSelection(0, 0, 0, kRefGreen);
        ws.doc->m_activeTheme = editTheme;
        ws.doc->m_vertexMode = 1;
        view = MakeView(ws);
        view->OnMapOverview();
        ASSERT_TRUE(services.overview->visible);
        Reset();
    }

    // A clean cache, a sketch, markers and no outline shown.
    void Reset() {
        view->GetMapPicture();
        view->m_selectionAreaShown = false;
        view->m_sketchPoints = {{1, 1}, {2, 2}};
        ASSERT_TRUE(view->RebuildVertexMarkers());
        services.overview->refreshes = 0;
    }

    RecordingServices services;
    TestWorkspace ws;
    CTheme* editTheme = nullptr;
    CTheme* otherTheme = nullptr;
    std::unique_ptr<CGeoView> view;
};

TEST_F(DocumentUpdateTest, ReactionTable) {
    enum Data { None, EditTheme, OtherTheme };
    enum Markers { Kept, Gone };
    struct Case {
        int code;
        Data data;
        bool areaShown;
        bool dirty;
        bool sketchCleared;
        Markers markers;
        bool overviewRefreshed;
    };
    const Case cases[] = {
        {DUE_ThemeAdded, None, false, true, true, Kept, true},
        {DUE_ExtentChanged, None, false, true, false, Kept, false},
        {DUE_ActiveThemeChanged, OtherTheme, false, false, true, Kept, false},
        {DUE_ActiveThemeChanged, OtherTheme, true, true, true, Kept, false},
        {DUE_ActiveThemeChanged, EditTheme, false, true, true, Kept, false},
        {DUE_ThemeStyleChanged, None, false, true, false, Kept, false},
        {DUE_FilterChanged, None, false, true, false, Kept, false},
        {DUE_VisibilityChanged, None, false, true, true, Kept, false},
        {DUE_ThemeRemoved, None, false, true, true, Gone, true},
        {DUE_SelectionChanged, None, false, true, false, Kept, false},
        {DUE_ThemeOrderChanged, None, false, true, false, Kept, true},
        {DUE_OptionsChanged, None, false, true, false, Kept, false},
        {DUE_ThemeDataChanged, None, false, true, true, Kept, true},
        {DUE_ThemeDataChanged, OtherTheme, false, true, true, Kept, true},
        {DUE_Refresh, None, false, true, false, Kept, true},
        {DUE_CoordinatesReversed, None, false, true, false, Kept, true},
        {DUE_EditModeChanged, None, false, true, false, Kept, false},
        {DUE_BookmarksChanged, None, false, true, false, Kept, false},
        {DUE_WorkspacePropertiesChanged, None, false, true, false, Kept, false},
        {DUE_VertexSelectionCleared, None, false, true, false, Kept, false},
        {DUE_ZOrderChanged, None, false, true, true, Kept, false},
        {DUE_ZOrderChanged, OtherTheme, false, true, true, Kept, false},
        {DUE_BoundingBoxesToggled, None, false, true, false, Kept, false},
        // Codes the view leaves alone.
        {DUE_NewDocument, None, false, false, false, Kept, false},
        {2, None, false, false, false, Kept, false},
        {DUE_EditThemeProperties, None, false, false, false, Kept, false},
        {12, None, false, false, false, Kept, false},
        {13, None, false, false, false, Kept, false},
        {DUE_ThemeModifiedChanged, None, false, false, false, Kept, false},
        {DUE_ThemeRenamed, None, false, false, false, Kept, false},
        {DUE_InfoTipsChanged, None, false, false, false, Kept, false},
        {DUE_VertexAddedToSelection, None, false, false, false, Kept, false},
        {DUE_ColumnCommand, None, false, false, false, Kept, false},
        {32, None, false, false, false, Kept, false},
        {33, None, false, false, false, Kept, false},
        {DUE_ThemeFound, None, false, false, false, Kept, false},
        {37, None, false, false, false, Kept, false},
        {-1, None, false, false, false, Kept, false},
    };
    for (const Case& c : cases) {
        Reset();
        view->m_selectionAreaShown = c.areaShown;
        const std::intptr_t data = c.data == EditTheme ? reinterpret_cast<std::intptr_t>(editTheme)
                                   : c.data == OtherTheme
                                       ? reinterpret_cast<std::intptr_t>(otherTheme)
                                       : 0;
        view->OnDocumentUpdate(nullptr, c.code, data);
        SCOPED_TRACE(testing::Message() << "code " << c.code << " data " << c.data);
        EXPECT_EQ(view->m_mapDirty, c.dirty);
        EXPECT_EQ(view->m_sketchPoints.empty(), c.sketchCleared);
        EXPECT_EQ(view->m_vertexMarkers != nullptr, c.markers == Kept);
        EXPECT_EQ(services.overview->refreshes > 0, c.overviewRefreshed);
    }
}

TEST_F(DocumentUpdateTest, ChangesInThemesNotDrawnHereRepaintFromTheCache) {
    // Selection change in an active theme that is outside its scale range.
    editTheme->m_ScaleDependent = true;
    editTheme->m_MinScale = 10.0;
    editTheme->m_MaxScale = 20.0;
    for (int code :
         {int(DUE_SelectionChanged), int(DUE_ThemeDataChanged), int(DUE_ZOrderChanged)}) {
        view->GetMapPicture();
        const std::uint64_t renders = view->m_renderCount;
        view->OnDocumentUpdate(nullptr, code, reinterpret_cast<std::intptr_t>(editTheme));
        EXPECT_FALSE(view->m_mapDirty) << code;
        view->grab();
        EXPECT_EQ(view->m_renderCount, renders) << code;
    }
    // Not drawn here: no markers either.
    EXPECT_EQ(view->m_vertexMarkers, nullptr);
}

TEST_F(DocumentUpdateTest, MarkersNeedVertexModeAndOneSelectedShape) {
    EXPECT_TRUE(view->RebuildVertexMarkers());
    editTheme->AddToSelection(0, 0, 0, kRefGreen);
    ws.doc->m_vertexMode = 0;
    EXPECT_FALSE(view->RebuildVertexMarkers());
    ws.doc->m_vertexMode = 1;
    editTheme->ClearSelection();
    EXPECT_FALSE(view->RebuildVertexMarkers());
    ws.doc->m_activeTheme = nullptr;
    EXPECT_FALSE(view->RebuildVertexMarkers());
}

// The outline the user traced on an image: set through the theme, drawn by
// the view and marked vertex by vertex in vertex mode.
TEST_F(DocumentUpdateTest, AnImagesSelectionAreaIsOutlinedAndMarked) {
    QImage bitmap(10, 10, QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    CTheme* image = ws.AddImageTheme("image", bitmap, 0, 0, 100, 100);
    ws.doc->m_activeTheme = image;
    EXPECT_FALSE(view->RebuildVertexMarkers()) << "no area yet";

    const std::vector<CShapePoint> outline = {{20, 20}, {20, 60}, {60, 60}, {60, 20}, {20, 20}};
    image->SetSelectionArea(&outline);
    ASSERT_TRUE(view->RebuildVertexMarkers());
    EXPECT_EQ(view->m_vertexMarkers->m_ShapeIndex, kSelectionAreaShapeIndex);
    EXPECT_EQ(view->m_vertexMarkers->m_Vertices.size(), 4u) << "the closing point shares the first marker";

    view->m_selectionAreaShown = false;
    view->InvalidateMap(true);
    view->grab();
    EXPECT_TRUE(view->m_selectionAreaShown);

    image->ClearSelection();
    EXPECT_FALSE(view->RebuildVertexMarkers());
}

TEST_F(DocumentUpdateTest, SaveMapImageToFileSavesTheWorkspaceAsItIsNow) {
    // A script that edits and saves in one turn gets the edited map.
    TempDir dir;
    const std::uint64_t renders = view->m_renderCount;
    editTheme->m_Color = kRefYellow;
    editTheme->UpdateStyles();
    editTheme->ClearSelection();
    view->InvalidateMap(true);
    CSaveMapImageRequest request;
    request.m_Path = dir.file("map.PNG");
    ws.doc->FireUpdateEvent(nullptr, DUE_SaveMapImageToFile,
                            reinterpret_cast<std::intptr_t>(&request));
    EXPECT_TRUE(request.m_Result);
    EXPECT_FALSE(view->m_mapDirty);
    EXPECT_EQ(view->m_renderCount, renders + 1);
    const QImage saved(QString::fromStdString(request.m_Path), "PNG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), view->size());
    EXPECT_EQ(saved.pixelColor(25, 75), Colour(kRefYellow));
    EXPECT_TRUE(services.imageMapImages.empty()) << "a quiet save offers no image map";

    // A path that cannot be written is a failure, not a success.
    request.m_Path = dir.file("missing/map.png");
    request.m_Result = true;
    ws.doc->FireUpdateEvent(nullptr, DUE_SaveMapImageToFile,
                            reinterpret_cast<std::intptr_t>(&request));
    EXPECT_FALSE(request.m_Result);

    ws.doc->FireUpdateEvent(nullptr, DUE_SaveMapImage, 0);
    EXPECT_EQ(services.kindQuestions, std::vector<int>{0});
}

TEST_F(DocumentUpdateTest, GoToBookmarkInAWindowWithoutHeight) {
    view->resize(100, 0);
    CBookmarkRecord bookmark{500, 500, "BM 1", 2.0};
    EventLog log(*ws.doc);
    view->OnDocumentUpdate(nullptr, DUE_GoToBookmark, reinterpret_cast<std::intptr_t>(&bookmark));
    const double* e = ws.doc->m_viewExtent;
    EXPECT_DOUBLE_EQ(e[2] - e[0], 200.0);
    EXPECT_DOUBLE_EQ(e[3] - e[1], 2.0);
    EXPECT_DOUBLE_EQ(e[0] + (e[2] - e[0]) / 2, 500.0);
    EXPECT_DOUBLE_EQ(e[1] + (e[3] - e[1]) / 2, 500.0);
    EXPECT_EQ(log.Count(DUE_ExtentChanged), 1);
}

TEST_F(DocumentUpdateTest, ZoomToScaleNeedsAScaleAndAReferenceSystem) {
    const std::vector<double> before(ws.doc->m_viewExtent, ws.doc->m_viewExtent + 4);
    for (double scale : {-1.0, 25000.0, 0.0}) {
        view->OnDocumentUpdate(nullptr, DUE_ZoomToScale, reinterpret_cast<std::intptr_t>(&scale));
        EXPECT_EQ(std::vector<double>(ws.doc->m_viewExtent, ws.doc->m_viewExtent + 4), before)
            << scale;
    }
}

TEST_F(DocumentUpdateTest, LocateVertex) {
    SettingsGuard guard;
    const std::vector<double> before(ws.doc->m_viewExtent, ws.doc->m_viewExtent + 4);
    double inside[2] = {30, 70};
    view->OnDocumentUpdate(nullptr, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(inside));
    EXPECT_TRUE(view->m_locateCrossShown);
    EXPECT_EQ(view->m_locatePoint, (CDevicePoint{30, 30}));
    EXPECT_EQ(std::vector<double>(ws.doc->m_viewExtent, ws.doc->m_viewExtent + 4), before);

    view->m_locateCrossShown = false;
    CAppSettings::GetInstance()->m_AutoLocate = 0;
    double outside[2] = {500, 500};
    view->OnDocumentUpdate(nullptr, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(outside));
    EXPECT_FALSE(view->m_locateCrossShown);
    EXPECT_EQ(std::vector<double>(ws.doc->m_viewExtent, ws.doc->m_viewExtent + 4), before);

    CAppSettings::GetInstance()->m_AutoLocate = 1;
    view->OnDocumentUpdate(nullptr, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(outside));
    EXPECT_TRUE(view->m_locateCrossShown);
    EXPECT_DOUBLE_EQ(ws.doc->m_viewExtent[0], 450.0);
    EXPECT_DOUBLE_EQ(ws.doc->m_viewExtent[3], 550.0);
    EXPECT_EQ(view->m_locatePoint, (CDevicePoint{50, 50}));
}

TEST_F(DocumentUpdateTest, MapOverviewIsCreatedOnceAndRefreshedAfterwards) {
    EXPECT_EQ(services.overview->creates, 1);
    view->OnMapOverview();
    EXPECT_EQ(services.overview->creates, 1);
    EXPECT_EQ(services.overview->refreshes, 1);
    EXPECT_EQ(services.overview->shows, 2);
}

} // namespace
