// Themes from loader plug-ins: the load command, the loaders' callbacks
// (remove, select, custom events) and selection events, driven through the
// test loaders of tests/workspace/loader/testloader.

#include "workspace/CorvaleDoc.h"

#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/Messages.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/Archive.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/ViewMessages.h"

#include "TestLoaderControl.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string LoaderPath(const std::string& kind) {
    return std::string(CORVALE_LOADER_TEST_PLUGINS) + "/" + kind + ".ldr";
}

// Holds the loader's module for the test, so that its control record stays
// readable whatever the bindings do, and starts it from a clean record.
struct LoaderModule {
    explicit LoaderModule(const std::string& kind) : module(dlopen(LoaderPath(kind).c_str(), RTLD_NOW)) {
        auto get = reinterpret_cast<LoaderTestGetControlFn>(dlsym(module, LOADER_TEST_CONTROL_ENTRY));
        control = get();
        std::memset(control, 0, sizeof *control);
        record = reinterpret_cast<LoaderTestGetRecordFn>(dlsym(module, LOADER_TEST_RECORD_ENTRY));
    }
    ~LoaderModule() { dlclose(module); }
    LoaderModule(const LoaderModule&) = delete;
    LoaderModule& operator=(const LoaderModule&) = delete;
    void* module;
    LoaderTestControl* control = nullptr;
    LoaderTestGetRecordFn record = nullptr;
};

class CConsoleDoc : public CCorvaleDoc {
public:
    void PrintConsoleLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

struct EventLog {
    void OnUpdate(const void*, int code, std::intptr_t data) { events.push_back({code, data}); }
    int Count(int code) const {
        int n = 0;
        for (const auto& e : events)
            n += e.first == code ? 1 : 0;
        return n;
    }
    std::vector<std::pair<int, std::intptr_t>> events;
};

// A map view whose posted messages go through Qt's event queue and are then
// handed to the document the way the real view does.
class LoaderView : public CMessageWindow {
public:
    struct Target : QObject {
        explicit Target(LoaderView* view) : m_View(view) {}
        bool event(QEvent* e) override { return DispatchPostedMessage(m_View, e) || QObject::event(e); }
        LoaderView* m_View;
    };
    explicit LoaderView(CCorvaleDoc& doc) : m_Doc(doc), m_Target(this) {}
    QObject* GetMessageObject() override { return &m_Target; }
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (message != WM_LOADER_CUSTOM_EVENT)
            return 0;
        themes.push_back(reinterpret_cast<CTheme*>(lParam));
        return m_Doc.SendLoaderCustomEvent(reinterpret_cast<CTheme*>(lParam), static_cast<std::uint32_t>(wParam));
    }
    CCorvaleDoc& m_Doc;
    std::vector<CTheme*> themes;
    Target m_Target;
};

void EnsureApp() {
    static int argc = 1;
    static char name[] = "workspace_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
}

std::vector<std::string> Names(const CCorvaleDoc& doc) {
    std::vector<std::string> names;
    for (const CTheme* theme : doc.m_themes)
        names.push_back(theme->m_Name);
    return names;
}

CTheme* ThemeOfType(const CCorvaleDoc& doc, std::uint32_t type) {
    for (CTheme* theme : doc.m_themes)
        if (theme->m_ShapeType == type)
            return theme;
    return nullptr;
}

class DocLoaders : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
    }
    void TearDown() override { *CAppSettings::GetInstance() = m_Saved; }
    CAppSettings& Settings() { return *CAppSettings::GetInstance(); }

    corvale::CScriptedUserInterface ui;

private:
    CAppSettings m_Saved;
};

} // namespace

TEST_F(DocLoaders, OneThemePerFamilyWithTheLoadersNameAndColour) {
    struct Case {
        const char* kind;
        int loaderOverride;
        std::uint32_t expectedColor;
        std::vector<std::string> names; // front to back
    };
    const Case cases[] = {
        {"v5", 0, 0xFF0000, {"test areas 0", "test lines 0", "test points 0"}},
        {"v5", 1, 0x123456, {"test areas 0", "test lines 0", "test points 0"}},
        {"v3", 1, 0x123456, {"test areas 0", "test lines 0", "test points 0"}},
        // Version 1 cannot name or colour its themes.
        {"v1", 1, 0xFF0000, {"v1", "v1", "v1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " override " + std::to_string(c.loaderOverride));
        LoaderModule module(c.kind);
        module.control->color = 0x123456;
        Settings().m_LoaderOverride = c.loaderOverride;
        Settings().m_LoadToBottom = 0;
        CCorvaleDoc doc;
        EventLog log;
        doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath(c.kind)), 3);
        EXPECT_TRUE(ui.Messages().empty());
        EXPECT_EQ(Names(doc), c.names);
        EXPECT_EQ(log.Count(DUE_ThemeAdded), 3);
        EXPECT_TRUE(doc.IsModified());
        std::vector<CLoaderPlugin*> bindings;
        for (CTheme* theme : doc.m_themes) {
            EXPECT_EQ(theme->m_Color, c.expectedColor);
            EXPECT_EQ(theme->m_OutlineColor, Settings().m_ColorOutline);
            EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
            ASSERT_NE(theme->m_Loader, nullptr);
            bindings.push_back(theme->m_Loader);
            EXPECT_EQ(theme->GetShapeCount(), theme->m_ShapeType == SHT_Point ? 3 : 2);
            EXPECT_TRUE(theme->m_BoundsValid);
        }
        // Every theme owns a binding of its own.
        EXPECT_NE(bindings[0], bindings[1]);
        EXPECT_NE(bindings[1], bindings[2]);
        EXPECT_EQ(doc.m_themes[2]->m_ShapeType, static_cast<std::uint32_t>(SHT_Point));
        if (std::string(c.kind) != "v1") {
            EXPECT_EQ(doc.m_themes[0]->m_LoaderHandle, 501u);
            EXPECT_EQ(doc.m_themes[2]->m_LoaderHandle, 101u);
        }
        // The load filled an empty workspace: the view shows all its themes
        // (points (n, 2n) for n 1..3, lines and areas from x 1 to 4 and y 0
        // to 1).
        EXPECT_EQ(std::vector<double>(doc.m_viewExtent, doc.m_viewExtent + 4),
                  (std::vector<double>{1.0, 0.0, 4.0, 6.0}));
    }
}

TEST_F(DocLoaders, ThemesFollowTheCountOfEachSupportedType) {
    {
        LoaderModule module("polygons_only");
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath("polygons_only")), 1);
        ASSERT_EQ(doc.m_themes.size(), 1u);
        EXPECT_EQ(doc.m_themes[0]->m_ShapeType, static_cast<std::uint32_t>(SHT_Polygon));
    }
    {
        LoaderModule module("v5");
        module.control->themeCount = 2;
        Settings().m_LoadToBottom = 1;
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 6);
        EXPECT_EQ(Names(doc), (std::vector<std::string>{"test points 0", "test points 1", "test lines 0",
                                                         "test lines 1", "test areas 0", "test areas 1"}));
        EXPECT_EQ(doc.m_themes[1]->m_LoaderHandle, 102u);
        EXPECT_EQ(doc.m_themes[1]->m_Points.size(), 3u);
        // Theme 1 lies 100 units east of theme 0.
        EXPECT_DOUBLE_EQ(doc.m_themes[1]->m_Bounds[0], 101.0);
    }
}

TEST_F(DocLoaders, ALoaderThatCannotBeDrivenIsRefusedWithAMessage) {
    struct Case {
        const char* kind;
        std::string message;
    };
    const Case cases[] = {
        {"v6", "This loader plugin has an unsupported interface version.\nOperation aborted."},
        {"no_supports_type", "The loader plugin encountered a problem:\n\n" + LoaderPath("no_supports_type") +
                                 ":\nCould not find fnSupportType() entry.\n"},
        {"missing", "The loader plugin encountered a problem:\n\n" + LoaderPath("missing") +
                        ":\nNot a valid plug-in, or missing a required component (dll)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        corvale::CScriptedUserInterface local;
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath(c.kind)), 0);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_EQ(local.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(local.waitCursorDepth, 0);
    }

    LoaderModule module("v5");
    module.control->preLoadFails = 1;
    corvale::CScriptedUserInterface local;
    CCorvaleDoc doc;
    EXPECT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 0);
    EXPECT_EQ(local.Messages(),
              std::vector<std::string>{"The loader plugin encountered a problem:\n\nPre-load refused"});
    EXPECT_EQ(module.control->loadCalls, 0);
}

TEST_F(DocLoaders, AFailingThemeIsDroppedAndStopsTheLoadThemesBeforeItStay) {
    struct Case {
        const char* name;
        void (*arrange)(LoaderTestControl&);
        std::string message;
    };
    const Case cases[] = {
        {"failing", [](LoaderTestControl& c) { c.failType = SHT_Polyline; }, "Test failure (error buffer)"},
        {"throwing", [](LoaderTestControl& c) { c.throwInLoadType = SHT_Polyline; },
         "Unknown exception caught from fnLoadShapes()."},
        {"damaged record", [](LoaderTestControl& c) { c.damagedType = SHT_Polyline; },
         LoaderPath("v5") + ":\nThe loader handed over 1 damaged shape(s) or shape(s) of another type."},
        {"record of another kind", [](LoaderTestControl& c) { c.wrongKindType = SHT_Polyline; },
         LoaderPath("v5") + ":\nThe loader handed over 1 damaged shape(s) or shape(s) of another type."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderModule module("v5");
        c.arrange(*module.control);
        corvale::CScriptedUserInterface local;
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 1);
        EXPECT_EQ(Names(doc), std::vector<std::string>{"test points 0"});
        EXPECT_EQ(local.Messages(), std::vector<std::string>{c.message});
        // The loader heard that the failed theme's records go; the polygons
        // were never asked for.
        EXPECT_EQ(module.control->removeShapesCalls, 1);
        EXPECT_EQ(module.control->lastRemovedHandle, 301u);
        EXPECT_EQ(module.control->loadCalls, 2);
        EXPECT_EQ(doc.m_loaderTargetTheme, doc.m_themes[0]);
    }
}

TEST_F(DocLoaders, TheLoaderMayPlaceOnTopConvertAndStyleItsThemes) {
    LoaderModule module("v5");
    module.control->placeOnTop = 1;
    module.control->penWidth = 4;
    module.control->infoTip = "<NAME>";
    Settings().m_LoadToBottom = 1;
    {
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
        EXPECT_EQ(Names(doc), (std::vector<std::string>{"test areas 0", "test lines 0", "test points 0"}));
        EXPECT_EQ(doc.m_themes[1]->m_LineWidth, 4);
        EXPECT_EQ(doc.m_themes[1]->m_InfoTipTemplate, "<NAME>");
    }
    module.control->placeOnTop = 0;
    module.control->convertToNative = 1;
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    EXPECT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
    for (CTheme* theme : doc.m_themes) {
        EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_Native));
        EXPECT_TRUE(theme->m_Editable);
        EXPECT_EQ(theme->m_Loader, nullptr);
    }
    EXPECT_EQ(doc.m_themes[0]->GetAttributeText(0, 0), "P1");
    EXPECT_EQ(log.Count(DUE_ThemeModifiedChanged), 3);
}

TEST_F(DocLoaders, ConsoleTracesUnderThePluginsFlag) {
    LoaderModule module("polygons_only");
    CConsoleDoc doc;
    doc.m_debugFlags = 4;
    doc.AddFromDataSource(LoaderPath("polygons_only"));
    EXPECT_EQ(doc.lines, (std::vector<std::string>{"CV: Starting to load polygons from plugin...",
                                                    "CV: Done loading polygons from plugin.",
                                                    "CV: Loading took 0 seconds."}));
    CConsoleDoc quiet;
    quiet.m_debugFlags = 2;
    quiet.AddFromDataSource(LoaderPath("polygons_only"));
    EXPECT_TRUE(quiet.lines.empty());
}

TEST_F(DocLoaders, TheCommandTakesTheLoaderFromTheFramesList) {
    LoaderModule module("polygons_only");
    CDocumentDialogServices services = GetDocumentDialogServices();
    const CDocumentDialogServices saved = services;
    std::vector<unsigned> asked;
    services.loaderPluginPath = [&asked](unsigned index) {
        asked.push_back(index);
        return index == 2 ? LoaderPath("polygons_only") : std::string();
    };
    SetDocumentDialogServices(services);
    CCorvaleDoc doc;
    EXPECT_TRUE(doc.OnCmdMsg(ID_ADD_FROM_DATA_SOURCE_FIRST + 2, nullptr));
    EXPECT_TRUE(doc.OnCmdMsg(ID_ADD_FROM_DATA_SOURCE_FIRST + 5, nullptr));
    SetDocumentDialogServices(saved);
    EXPECT_EQ(asked, (std::vector<unsigned>{2, 5}));
    EXPECT_EQ(doc.m_themes.size(), 1u);
}

// ---- callbacks during custom events ----

TEST_F(DocLoaders, PostedCustomEventsReachTheLoaderThroughTheView) {
    EnsureApp();
    LoaderModule module("polygons_only");
    module.control->customAnswer = 1;
    module.control->customAction = LTA_AddRecord;
    CCorvaleDoc doc;
    LoaderView view(doc);
    doc.m_mapView = &view;
    ASSERT_EQ(doc.AddFromDataSource(LoaderPath("polygons_only")), 1);
    CTheme* theme = doc.m_themes[0];
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);

    // The post slot of the load request, called later by the loader.
    ASSERT_NE(module.control->post, nullptr);
    EXPECT_EQ(module.control->post(module.control->host, 42), 1);
    QCoreApplication::sendPostedEvents(&view.m_Target);
    EXPECT_EQ(view.themes, std::vector<CTheme*>{theme});
    EXPECT_EQ(module.control->lastCustomCode, 42u);
    EXPECT_EQ(module.control->lastCustomHandle, 501u);
    EXPECT_EQ(module.control->lastActionResult, 1);
    EXPECT_EQ(theme->GetShapeCount(), 3);
    // The extra record lies at x 9 .. 10.
    EXPECT_DOUBLE_EQ(theme->m_Bounds[2], 10.0);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);
    EXPECT_EQ(theme->GetAttributeTextAt(2, 0), "A9");

    // A damaged record is refused.
    module.control->customAction = LTA_AddDamaged;
    EXPECT_EQ(doc.SendLoaderCustomEvent(theme, 1), 1);
    EXPECT_EQ(module.control->lastActionResult, 0);
    EXPECT_EQ(theme->GetShapeCount(), 3);

    // An answer of 0 ends the custom events of that binding.
    module.control->customAction = LTA_None;
    module.control->customAnswer = 0;
    doc.SendLoaderCustomEvent(theme, 2);
    doc.SendLoaderCustomEvent(theme, 3);
    EXPECT_EQ(module.control->customEventCalls, 3);

    // A theme of no document is not asked for.
    CTheme stranger;
    EXPECT_EQ(doc.SendLoaderCustomEvent(&stranger, 1), 0);
    doc.m_mapView = nullptr;
}

TEST_F(DocLoaders, LoaderSelectsAndDeselectsItsRecords) {
    LoaderModule module("v5");
    module.control->customAnswer = 1;
    CCorvaleDoc doc;
    ASSERT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
    CTheme* points = ThemeOfType(doc, SHT_Point);
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);

    struct Step {
        int action;
        std::vector<int> selected; // shape indexes after the step
    };
    const Step steps[] = {
        {LTA_SelectFirst, {0}},
        {LTA_SelectAll, {0, 1, 2}},
        {LTA_DeselectFirst, {1, 2}},
        {LTA_ClearAll, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.action);
        module.control->customAction = step.action;
        doc.SendLoaderCustomEvent(points, 0);
        EXPECT_EQ(module.control->lastActionResult, 1);
        std::vector<int> selected;
        for (const auto& entry : points->m_Selection)
            selected.push_back(entry.first);
        EXPECT_EQ(selected, step.selected);
        if (!step.selected.empty()) {
            EXPECT_EQ(points->m_Selection.begin()->second.m_Width, 3);
        }
    }
    EXPECT_EQ(log.Count(DUE_SelectionChanged), 4);

    // A handle word no theme of that loader has is refused.
    CLoaderPlugin* loader = points->m_Loader;
    EXPECT_FALSE(LoaderHostUpdateShape(&doc, loader, 999, nullptr, true));
    EXPECT_TRUE(points->m_Selection.empty());
}

TEST_F(DocLoaders, RemovedRecordsLeaveNoStaleSelection) {
    LoaderModule module("v5");
    module.control->customAnswer = 1;
    CCorvaleDoc doc;
    ASSERT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
    CTheme* points = ThemeOfType(doc, SHT_Point);
    points->AddToSelection(0, 0, 3, 0);
    points->AddToSelection(2, 2, 3, 0);

    module.control->customAction = LTA_RemoveFirst;
    doc.SendLoaderCustomEvent(points, 0);
    EXPECT_EQ(module.control->lastActionResult, 1);
    EXPECT_EQ(points->GetShapeCount(), 2);
    EXPECT_EQ(points->m_Selection.size(), 1u);
    // The remaining selected shape is found where it now stands.
    EXPECT_EQ(points->GetShapePosition(2), 1);
    EXPECT_EQ(points->GetSelectedShape(0), points->GetShape(1));
    EXPECT_DOUBLE_EQ(points->m_Bounds[0], 2.0);

    // Gone already: refused.
    doc.SendLoaderCustomEvent(points, 0);
    EXPECT_EQ(module.control->lastActionResult, 0);

    // An editable theme keeps its records.
    CTheme* lines = ThemeOfType(doc, SHT_Polyline);
    lines->m_Editable = true;
    doc.SendLoaderCustomEvent(lines, 0);
    EXPECT_EQ(module.control->lastActionResult, 0);
    EXPECT_EQ(lines->GetShapeCount(), 2);
    lines->m_Editable = false;
}

// ---- selection events ----

TEST_F(DocLoaders, SelectionChangesReachTheLoaderWithTheSelectedRecords) {
    LoaderModule module("v5");
    module.control->eventAnswer = 1 | 2;
    CCorvaleDoc doc;
    ASSERT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
    CTheme* points = ThemeOfType(doc, SHT_Point);
    points->AddToSelection(2, 2, 3, 0);
    points->AddToSelection(1, 1, 3, 0);
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);

    doc.NotifyLoaderSelectionChanged(points);
    EXPECT_EQ(module.control->eventCalls, 1);
    EXPECT_EQ(module.control->lastEventCount, 2u);
    // Records 0 and 1 of the selection by shape index; record 2 is past the end.
    EXPECT_EQ(module.control->eventRecordsFound, 2u);
    EXPECT_EQ(module.control->firstEventRecordNumber, 2u);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);

    // Without bit 0 the binding hears no more.
    module.control->eventAnswer = 0;
    doc.NotifyLoaderSelectionChanged(points);
    doc.NotifyLoaderSelectionChanged(points);
    EXPECT_EQ(module.control->eventCalls, 2);
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 1);

    doc.m_loaderTargetTheme = points;
    CShapeRecord* record = nullptr;
    EXPECT_TRUE(LoaderHostGetRecord(&doc, 1, &record));
    EXPECT_EQ(record, points->GetShape(2));
    EXPECT_FALSE(LoaderHostGetRecord(&doc, 2, &record));
    EXPECT_EQ(record, nullptr);
}

// ---- the workspace ----

TEST_F(DocLoaders, LoaderThemesAreStoredByTheLoaderAndReadBackBound) {
    LoaderModule module("v5");
    module.control->customAnswer = 1;
    CArchive store;
    {
        CCorvaleDoc doc;
        ASSERT_EQ(doc.AddFromDataSource(LoaderPath("v5")), 3);
        doc.Serialize(store);
        EXPECT_EQ(module.control->serializeCalls[LSM_Save], 3);
    }
    // Deleting the document's themes told the loader.
    EXPECT_EQ(module.control->removeShapesCalls, 3);
    const std::vector<unsigned char> bytes = store.GetStored();
    CCorvaleDoc doc;
    CArchive load(bytes.data(), bytes.size());
    doc.Serialize(load);
    ASSERT_EQ(doc.m_themes.size(), 3u);
    EXPECT_EQ(Names(doc), (std::vector<std::string>{"test points 0", "test lines 0", "test areas 0"}));
    for (CTheme* theme : doc.m_themes) {
        ASSERT_NE(theme->m_Loader, nullptr);
        EXPECT_EQ(theme->GetShapeCount(), theme->m_ShapeType == SHT_Point ? 3 : 2);
    }
    // The restored bindings call back into this document.
    module.control->customAction = LTA_SelectFirst;
    CTheme* points = ThemeOfType(doc, SHT_Point);
    doc.SendLoaderCustomEvent(points, 0);
    EXPECT_EQ(points->m_Selection.size(), 1u);
    EXPECT_EQ(points->m_Loader->m_Callbacks.hostContext, &doc);
}
