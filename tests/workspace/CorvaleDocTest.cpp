#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/Messages.h"
#include "framework/ScriptedUserInterface.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CommandIds.h"

#include <QObject>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A subscriber that logs what it hears, and optionally acts on it.
struct Listener {
    explicit Listener(std::string name, std::vector<std::string>* log) : m_Name(std::move(name)), m_Log(log) {}
    void OnUpdate(const void*, int code, std::intptr_t data) {
        m_Log->push_back(m_Name + ":" + std::to_string(code) + ":" + std::to_string(data));
        if (onUpdate)
            onUpdate();
    }
    std::string m_Name;
    std::vector<std::string>* m_Log;
    std::function<void()> onUpdate;
};

CTheme* AddTheme(CCorvaleDoc& doc, std::uint32_t type) {
    auto* theme = new CTheme;
    theme->m_ShapeType = type;
    doc.m_themes.push_back(theme);
    return theme;
}

} // namespace

TEST(DocumentUpdateEvent, ReachesSubscribersInOrderAndSkipsTheSender) {
    CCorvaleDoc doc;
    std::vector<std::string> log;
    Listener a("a", &log), b("b", &log), c("c", &log);
    doc.m_updateEvent.AddHandler(&a, &Listener::OnUpdate);
    doc.m_updateEvent.AddHandler(&b, &Listener::OnUpdate);
    doc.m_updateEvent.AddHandler(&c, &Listener::OnUpdate);

    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    doc.FireUpdateEvent(&b, DUE_ThemeDataChanged, 7);
    EXPECT_EQ(log, (std::vector<std::string>{"a:19:0", "b:19:0", "c:19:0", "a:15:7", "c:15:7"}));

    log.clear();
    doc.m_updateEvent.RemoveHandler(&b);
    doc.m_updateEvent.RemoveHandler(&b); // a second removal finds nothing
    FireDocumentUpdateEvent(doc.m_updateEvent, nullptr, DUE_ExtentChanged, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a:3:0", "c:3:0"}));
}

TEST(DocumentUpdateEvent, SubscribersMayLeaveOrJoinWhileNotified) {
    CCorvaleDoc doc;
    std::vector<std::string> log;
    Listener a("a", &log), b("b", &log), c("c", &log), late("late", &log);
    // a removes itself and c, and adds a late subscriber, during the round.
    a.onUpdate = [&] {
        doc.m_updateEvent.RemoveHandler(&a);
        doc.m_updateEvent.RemoveHandler(&c);
        doc.m_updateEvent.AddHandler(&late, &Listener::OnUpdate);
    };
    doc.m_updateEvent.AddHandler(&a, &Listener::OnUpdate);
    doc.m_updateEvent.AddHandler(&b, &Listener::OnUpdate);
    doc.m_updateEvent.AddHandler(&c, &Listener::OnUpdate);

    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a:19:0", "b:19:0"}));
    log.clear();
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"b:19:1", "late:19:1"}));
}

TEST(CorvaleDoc, DefaultsOfANewWorkspace) {
    CCorvaleDoc doc;
    EXPECT_EQ(doc.m_toolMode, MT_Select);
    EXPECT_EQ(doc.m_debugFlags, 8);
    EXPECT_EQ(doc.m_refSystem, -1);
    EXPECT_EQ(doc.m_earthRadius, 6361442.043);
    EXPECT_EQ(doc.m_gridSpacingX, 1.0);
    EXPECT_EQ(doc.m_nextBookmarkNumber, 1);
    EXPECT_EQ(doc.m_vectorizationTolerance, 20.0f);
    EXPECT_EQ(doc.m_vectorizationResolution, 0.0390625f);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(IsDocumentOpen(&doc));
}

TEST(CorvaleDoc, NewDocumentShowsTheReferenceSystemAndTheMapScale) {
    corvale::CScriptedUserInterface ui;
    std::vector<double> shown;
    const CDocumentDialogServices saved = GetDocumentDialogServices();
    CDocumentDialogServices services;
    services.showMapScale = [&shown](CCorvaleDoc*, double scale) { shown.push_back(scale); };
    SetDocumentDialogServices(services);
    struct Restore {
        const CDocumentDialogServices& saved;
        ~Restore() { SetDocumentDialogServices(saved); }
    } restore{saved};

    CCorvaleDoc unknown;
    ASSERT_TRUE(unknown.OnNewDocument());
    ASSERT_FALSE(ui.paneTexts.empty());
    EXPECT_EQ(ui.paneTexts.back(), (std::pair<int, std::string>(1130, "Unknown")));
    EXPECT_TRUE(shown.empty()) << "no view to measure";

    CCorvaleDoc doc;
    doc.m_refSystem = 0;
    const double extent[4] = {0, 0, 1000, 500};
    std::copy(extent, extent + 4, doc.m_viewExtent);
    CMessageWindow view;
    doc.m_mapView = &view;
    doc.m_mapViewMetrics = [](double& dpi, int& width) {
        dpi = 96.0;
        width = 1000;
        return true;
    };
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(ui.paneTexts.back(), (std::pair<int, std::string>(1130, GetRefSysEntry(0)->name)));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_GT(doc.m_mapScale, 0.0);
    EXPECT_EQ(doc.m_mapScale, shown[0]);
    doc.m_mapView = nullptr;
}

TEST(CorvaleDoc, ModifiedFollowsTheThemes) {
    CCorvaleDoc doc;
    CTheme* theme = AddTheme(doc, SHT_Point);
    EXPECT_FALSE(doc.IsModified());
    theme->m_Modified = true;
    EXPECT_TRUE(doc.IsModified()) << "a theme edit counts although the document's flag is clear";
    EXPECT_TRUE(doc.CanCloseFrame());
    theme->m_Modified = false;
    EXPECT_TRUE(doc.IsModified()) << "closing set the document's own flag, so the save prompt shows";
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.IsModified());
}

TEST(MapToolModes, CommandsSetTheIdleModeAndUpdateHandlersFollowTheTable) {
    struct Case {
        unsigned id;
        std::uint32_t mode;
    };
    const Case commands[] = {
        {ID_TOOL_SELECT, MT_Select},         {ID_TOOL_SELECT_RECTANGLE, MT_SelectRectangle},
        {ID_TOOL_SELECT_CIRCLE, MT_SelectCircle}, {ID_TOOL_SELECT_POLYGON, MT_SelectPolygon},
        {ID_TOOL_PAN, MT_Pan},               {ID_TOOL_ZOOM_IN, MT_ZoomIn},
        {ID_TOOL_ZOOM_OUT, MT_ZoomOut},      {ID_TOOL_MEASURE, MT_Measure},
        {ID_TOOL_DRAW_NEW, MT_DrawNew},      {ID_TOOL_ADJUST_VERTEX, MT_AdjustVertex},
        {ID_TOOL_NEW_VERTEX, MT_NewVertex},  {ID_TOOL_SPLIT_POLYLINE, MT_SplitPolyline},
    };
    for (const Case& c : commands) {
        CCorvaleDoc doc;
        doc.m_toolMode = MT_SelectRectangleDrag; // a drag in progress is simply dropped
        ASSERT_TRUE(doc.OnCmdMsg(c.id, nullptr));
        EXPECT_EQ(doc.m_toolMode, c.mode) << c.id;
    }

    // Which buttons show pressed in each mode.
    struct Check {
        unsigned id;
        std::vector<std::uint32_t> modes;
    };
    const Check checks[] = {
        {ID_TOOL_SELECT, {0}},          {ID_TOOL_SELECT_RECTANGLE, {1, 2}}, {ID_TOOL_SELECT_CIRCLE, {3, 4}},
        {ID_TOOL_SELECT_POLYGON, {16, 17}}, {ID_TOOL_PAN, {5, 6}},         {ID_TOOL_ZOOM_IN, {7, 8}},
        {ID_TOOL_ZOOM_OUT, {9}},        {ID_TOOL_MEASURE, {10}},            {ID_TOOL_DRAW_NEW, {11}},
        {ID_TOOL_ADJUST_VERTEX, {12, 13}}, {ID_TOOL_NEW_VERTEX, {14, 15}}, {ID_TOOL_SPLIT_POLYLINE, {18, 19}},
    };
    CCorvaleDoc doc;
    for (std::uint32_t mode = 0; mode <= 19; ++mode) {
        doc.m_toolMode = mode;
        for (const Check& c : checks) {
            CCmdUI ui(c.id);
            ASSERT_TRUE(doc.OnCmdMsg(c.id, &ui));
            const bool expected = std::find(c.modes.begin(), c.modes.end(), mode) != c.modes.end();
            EXPECT_EQ(ui.m_Checked, expected) << "command " << c.id << " mode " << mode;
        }
    }
}

TEST(MapToolModes, EditingToolsNeedAnEditableActiveTheme) {
    enum Setup { NoTheme, ReadOnlyLines, EditablePoints, EditableLines, EditableLinesVertexMode,
                 EditablePointsVertexMode, EditablePolygonsVertexMode };
    struct Expect {
        Setup setup;
        bool drawNew, adjustVertex, newVertex, split, vertexMode, boxes;
    };
    const Expect table[] = {
        {NoTheme, false, false, false, false, false, false},
        {ReadOnlyLines, false, false, false, false, true, true},
        {EditablePoints, true, false, false, false, true, true},
        {EditableLines, true, false, false, true, true, true},
        {EditableLinesVertexMode, true, true, true, true, true, true},
        {EditablePointsVertexMode, true, true, false, false, true, true},
        {EditablePolygonsVertexMode, true, true, true, false, true, true},
    };
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    Bytes polygon = MakeMulti(SHT_Polygon, {{{0, 0}, {1, 1}, {1, 0}, {0, 0}}});
    Bytes point = MakePoint(0, 0);
    for (const Expect& e : table) {
        CCorvaleDoc doc;
        if (e.setup != NoTheme) {
            const bool points = e.setup == EditablePoints || e.setup == EditablePointsVertexMode;
            const bool polygons = e.setup == EditablePolygonsVertexMode;
            CTheme* theme = AddTheme(doc, points ? SHT_Point : polygons ? SHT_Polygon : SHT_Polyline);
            CTheme::ShapeCallback(theme, Rec(points ? point : polygons ? polygon : line), 0);
            theme->ResetFilter();
            theme->m_Editable = e.setup != ReadOnlyLines;
            doc.m_activeTheme = theme;
            doc.m_vertexMode = e.setup == EditableLinesVertexMode || e.setup == EditablePointsVertexMode ||
                               e.setup == EditablePolygonsVertexMode;
        }
        auto enabled = [&](unsigned id) {
            CCmdUI ui(id);
            doc.OnCmdMsg(id, &ui);
            return ui.m_Enabled;
        };
        SCOPED_TRACE(static_cast<int>(e.setup));
        EXPECT_EQ(enabled(ID_TOOL_DRAW_NEW), e.drawNew);
        EXPECT_EQ(enabled(ID_TOOL_ADJUST_VERTEX), e.adjustVertex);
        EXPECT_EQ(enabled(ID_TOOL_NEW_VERTEX), e.newVertex);
        EXPECT_EQ(enabled(ID_TOOL_SPLIT_POLYLINE), e.split);
        EXPECT_EQ(enabled(ID_TOOL_VERTEX_MODE), e.vertexMode);
        EXPECT_EQ(enabled(ID_TOOL_BOUNDING_BOXES), e.boxes);
        for (unsigned id : {ID_TOOL_SELECT, ID_TOOL_PAN, ID_TOOL_ZOOM_IN, ID_TOOL_MEASURE})
            EXPECT_TRUE(enabled(id));
    }
}

TEST(MapToolModes, TogglesFlipAndAnnounceThemselves) {
    CCorvaleDoc doc;
    std::vector<std::string> log;
    Listener listener("l", &log);
    doc.m_updateEvent.AddHandler(&listener, &Listener::OnUpdate);
    doc.OnCmdMsg(ID_TOOL_VERTEX_MODE, nullptr);
    doc.OnCmdMsg(ID_TOOL_BOUNDING_BOXES, nullptr);
    doc.OnCmdMsg(ID_TOOL_BOUNDING_BOXES, nullptr);
    EXPECT_EQ(doc.m_vertexMode, 1);
    EXPECT_EQ(doc.m_showBoundingBoxes, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"l:21:0", "l:31:0", "l:31:0"}));
    CCmdUI ui(ID_TOOL_VERTEX_MODE);
    doc.OnCmdMsg(ID_TOOL_VERTEX_MODE, &ui);
    EXPECT_TRUE(ui.m_Checked);
}

namespace {

// Stands in for the attribute pane: it takes the table commands and routes
// Find Next back to the document, as the real pane's routing does.
class CommandWindow : public CMessageWindow {
public:
    explicit CommandWindow(CCorvaleDoc* doc) : m_Doc(doc) {}
    bool OnCmdMsg(unsigned id, CCmdUI* ui) override {
        calls.push_back(id);
        if (ui != nullptr)
            ui->Enable(true);
        return m_Doc->OnCmdMsg(id, ui) || true;
    }
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        messages.emplace_back(message, wParam);
        return 0;
    }
    std::vector<unsigned> calls;
    std::vector<std::pair<unsigned, std::uintptr_t>> messages;

private:
    CCorvaleDoc* m_Doc;
};

} // namespace

TEST(CorvaleDoc, FindCommandsGoToTheCommandWindowWithoutLooping) {
    CCorvaleDoc doc;
    CCmdUI disabled(ID_EDIT_FIND_NEXT);
    EXPECT_FALSE(doc.OnCmdMsg(ID_EDIT_FIND_NEXT, &disabled));
    EXPECT_FALSE(disabled.m_Enabled) << "no command window: disabled";

    CommandWindow window(&doc);
    doc.m_commandWindow = &window;
    CCmdUI ui(ID_EDIT_FIND_PREVIOUS);
    EXPECT_TRUE(doc.OnCmdMsg(ID_EDIT_FIND_PREVIOUS, &ui));
    EXPECT_TRUE(ui.m_Enabled);
    EXPECT_EQ(window.calls, std::vector<unsigned>{ID_EDIT_FIND_PREVIOUS}) << "routed once, not round and round";
}

TEST(CorvaleDoc, StatisticsEntriesAreSentToTheCommandWindow) {
    CCorvaleDoc doc;
    CCmdUI ui(20321);
    doc.OnCmdMsg(20321, &ui);
    EXPECT_FALSE(ui.m_Enabled);
    EXPECT_TRUE(doc.OnCmdMsg(20400, nullptr)) << "ignored without a command window";

    CommandWindow window(&doc);
    doc.m_commandWindow = &window;
    EXPECT_TRUE(doc.OnCmdMsg(20400, nullptr));
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].first, WM_COMMAND);
    EXPECT_EQ(window.messages[0].second, 20400u);
}

TEST(CorvaleDoc, FindQueryAndGoToAreSentToTheCommandWindowWhileItCanAct) {
    CCorvaleDoc doc;
    CommandWindow window(&doc);
    QObject pane;
    struct Shown : CommandWindow {
        using CommandWindow::CommandWindow;
        QObject* object = nullptr;
        QObject* GetMessageObject() override { return object; }
    } shown(&doc);
    shown.object = &pane;
    auto* theme = new CTheme;
    auto enabled = [&](unsigned id) {
        CCmdUI ui(id);
        doc.OnCmdMsg(id, &ui);
        return ui.m_Enabled;
    };
    struct Case {
        const char* name;
        CMessageWindow* commandWindow;
        bool withTheme;
        bool visible;
        bool find, query, goTo;
    };
    const Case cases[] = {
        {"no command window", nullptr, true, true, false, false, false},
        {"no theme", &shown, false, true, false, false, false},
        {"pane hidden", &shown, true, false, false, true, true},
        {"pane shown", &shown, true, true, true, true, true},
        // A window without an object cannot be seen.
        {"no object", &window, true, true, false, true, true},
    };
    for (const Case& c : cases) {
        doc.m_commandWindow = c.commandWindow;
        doc.m_themes.clear();
        doc.m_activeTheme = nullptr;
        if (c.withTheme) {
            doc.m_themes.push_back(theme);
            doc.m_activeTheme = theme;
        }
        pane.setProperty("visible", QVariant(c.visible));
        EXPECT_EQ(enabled(ID_TABLE_FIND), c.find) << c.name;
        EXPECT_EQ(enabled(ID_TABLE_QUERY), c.query) << c.name;
        EXPECT_EQ(enabled(ID_TABLE_GO_TO), c.goTo) << c.name;
    }
    doc.m_commandWindow = &shown;
    for (unsigned id : {static_cast<unsigned>(ID_TABLE_FIND), static_cast<unsigned>(ID_TABLE_QUERY),
                        static_cast<unsigned>(ID_TABLE_GO_TO)})
        EXPECT_TRUE(doc.OnCmdMsg(id, nullptr));
    ASSERT_EQ(shown.messages.size(), 3u);
    EXPECT_EQ(shown.messages[0], (std::pair<unsigned, std::uintptr_t>{WM_COMMAND, ID_TABLE_FIND}));
    EXPECT_EQ(shown.messages[2], (std::pair<unsigned, std::uintptr_t>{WM_COMMAND, ID_TABLE_GO_TO}));
    doc.m_commandWindow = nullptr;
}

TEST(CorvaleDoc, SaveMapImageRequestCarriesTheViewsAnswer) {
    CCorvaleDoc doc;
    struct View {
        void OnUpdate(const void*, int code, std::intptr_t data) {
            if (code != DUE_SaveMapImageToFile)
                return;
            auto* request = reinterpret_cast<CSaveMapImageRequest*>(data);
            path = request->m_Path;
            silent = request->m_Silent;
            request->m_Result = true;
        }
        std::string path;
        bool silent = false;
    } view;
    EXPECT_FALSE(doc.RequestSaveMapImage("/tmp/a.png", nullptr)) << "no view: nothing saved";
    doc.m_updateEvent.AddHandler(&view, &View::OnUpdate);
    EXPECT_TRUE(doc.RequestSaveMapImage("/tmp/a.png", nullptr));
    EXPECT_EQ(view.path, "/tmp/a.png");
    EXPECT_TRUE(view.silent);
}
