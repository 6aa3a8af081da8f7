// The operations on a workspace: its themes, their order and selection, its
// description, console, extent and the plug-ins' data blocks.

#include "GpiOpsFixture.h"
#include "GpiTestPlugins.h"

#include "settings/AppSettings.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using GpiWorkspaceOps = GpiOpsTest;

TEST_F(GpiWorkspaceOps, ThemeCountAndThemeByPositionUpToTheBoundary) {
    std::uint32_t count = kUntouched;
    GpiWorkspaceGetThemeCountArgs countArgs = {m_Workspace, &count};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetThemeCount, &countArgs), GPIERR_NoError);
    ASSERT_EQ(count, 2u);

    struct Case {
        std::uint32_t index;
        int result;
        std::uint32_t theme;
    };
    const Case cases[] = {
        {0, GPIERR_NoError, m_PointsHandle},
        {1, GPIERR_NoError, m_PolygonsHandle},
        {2, GPIERR_IndexOutOfBounds, kUntouched},
        {0xFFFFFFFFu, GPIERR_IndexOutOfBounds, kUntouched},
    };
    for (const Case& c : cases) {
        std::uint32_t theme = kUntouched;
        GpiWorkspaceGetThemeArgs args = {m_Workspace, c.index, &theme};
        EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetTheme, &args), c.result) << c.index;
        EXPECT_EQ(theme, c.theme) << c.index;
    }
}

TEST_F(GpiWorkspaceOps, AThemeSeenFirstThroughItsPositionGetsAHandleThen) {
    CTheme* fresh = AddNative("Fresh", SHT_Polyline);
    ASSERT_EQ(GpiFindThemeHandle(fresh), 0u);
    std::uint32_t theme = kUntouched;
    GpiWorkspaceGetThemeArgs args = {m_Workspace, 2, &theme};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetTheme, &args), GPIERR_NoError);
    EXPECT_EQ(GpiThemeFromHandle(theme), fresh);
}

TEST_F(GpiWorkspaceOps, AddThemeTakesTheDrawableShapeTypesOnly) {
    struct Case {
        std::uint32_t type;
        int result;
    };
    const Case cases[] = {
        {SHT_Point, GPIERR_NoError},       {SHT_Polyline, GPIERR_NoError},
        {SHT_Polygon, GPIERR_NoError},     {SHT_MultiPoint, GPIERR_NoError},
        {SHT_PointZ, GPIERR_NoError},      {SHT_PolylineZ, GPIERR_NoError},
        {SHT_PolygonZ, GPIERR_NoError},    {SHT_Null, GPIERR_UnsupportedShapeType},
        {2, GPIERR_UnsupportedShapeType},  {18, GPIERR_UnsupportedShapeType},
        {31, GPIERR_UnsupportedShapeType}, {SHT_Image, GPIERR_UnsupportedShapeType},
        {0xFFFFFFFFu, GPIERR_UnsupportedShapeType},
    };
    std::vector<std::uint32_t> added;
    const std::uint32_t identity = AddPlugin([&added](std::uint32_t, std::uint32_t hookType, void* args) {
        if (hookType == GPIHOOK_ThemeAdded)
            added.push_back(static_cast<GpiHookThemeArgs*>(args)->theme);
        return 0;
    });
    Subscribe(identity, GPIHOOK_ThemeAdded, 0);
    for (const Case& c : cases) {
        const std::size_t themes = m_Doc->m_themes.size();
        added.clear();
        std::uint32_t theme = kUntouched;
        GpiWorkspaceAddThemeArgs args = {m_Workspace, c.type, "Made", &theme};
        ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceAddTheme, &args), c.result) << c.type;
        if (c.result != GPIERR_NoError) {
            EXPECT_EQ(theme, kUntouched) << c.type;
            EXPECT_EQ(m_Doc->m_themes.size(), themes) << c.type;
            EXPECT_TRUE(added.empty()) << c.type;
            continue;
        }
        CTheme* made = GpiThemeFromHandle(theme);
        ASSERT_NE(made, nullptr) << c.type;
        EXPECT_EQ(m_Doc->m_themes.size(), themes + 1) << c.type;
        EXPECT_EQ(made->m_Name, "Made");
        EXPECT_EQ(made->m_ShapeType, c.type);
        EXPECT_EQ(added, std::vector<std::uint32_t>{theme}) << c.type;
        // The plug-in can fill it: editable, with its own table.
        if (c.type != SHT_MultiPoint) {
            EXPECT_TRUE(made->m_Editable) << c.type;
            EXPECT_EQ(made->m_SourceType, static_cast<std::uint32_t>(ST_Native)) << c.type;
        }
    }
    // The out word may be left out.
    GpiWorkspaceAddThemeArgs args = {m_Workspace, SHT_Point, "No out", nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceAddTheme, &args), GPIERR_NoError);
}

TEST_F(GpiWorkspaceOps, AddThemeFollowsTheNewThemeOrderSetting) {
    CAppSettings* settings = CAppSettings::GetInstance();
    const int saved = settings->m_LoadToBottom;
    for (int toBottom : {0, 1}) {
        settings->m_LoadToBottom = toBottom;
        std::uint32_t theme = 0;
        GpiWorkspaceAddThemeArgs args = {m_Workspace, SHT_Point, "Placed", &theme};
        ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceAddTheme, &args), GPIERR_NoError);
        EXPECT_EQ(toBottom ? m_Doc->m_themes.back() : m_Doc->m_themes.front(), GpiThemeFromHandle(theme));
    }
    settings->m_LoadToBottom = saved;
}

TEST_F(GpiWorkspaceOps, PrintConsoleOnlyUnderThePluginFlag) {
    struct Case {
        unsigned char flags;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {0, {}},
        {8, {}},
        {4, {"CV: route found"}},
        {0xFF, {"CV: route found"}},
    };
    for (const Case& c : cases) {
        m_Doc->m_Lines.clear();
        m_Doc->m_debugFlags = c.flags;
        GpiWorkspacePrintConsoleArgs args = {m_Workspace, "route found"};
        EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspacePrintConsole, &args), GPIERR_NoError) << int(c.flags);
        EXPECT_EQ(m_Doc->m_Lines, c.lines) << int(c.flags);
    }
}

TEST_F(GpiWorkspaceOps, SelectedAndActiveThemes) {
    std::uint32_t out = kUntouched;
    GpiWorkspaceGetActiveThemeArgs active = {m_Workspace, &out};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetActiveTheme, &active), GPIERR_NoError);
    EXPECT_EQ(out, 0u) << "no active theme";

    // Selected through the theme operation, in this order.
    for (std::uint32_t theme : {m_PolygonsHandle, m_PointsHandle}) {
        GpiThemeSetSelectedArgs select = {theme, 1};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetSelected, &select), GPIERR_NoError);
    }
    GpiWorkspaceGetSelectedThemeCountArgs count = {m_Workspace, &out};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetSelectedThemeCount, &count), GPIERR_NoError);
    EXPECT_EQ(out, 2u);
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetActiveTheme, &active), GPIERR_NoError);
    EXPECT_EQ(out, 0u) << "two selected themes leave no active one";

    std::uint32_t recordset = kUntouched;
    GpiWorkspaceGetSelectedThemesArgs list = {m_Workspace, &recordset};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetSelectedThemes, &list), GPIERR_NoError);
    EXPECT_EQ(GpiGetHandleKind(recordset), GPIHANDLE_Recordset);
    const GpiRecordset* set = *GpiState().m_Recordsets.Find(recordset);
    EXPECT_EQ(set->m_ElementKind, static_cast<std::uint32_t>(GPIHANDLE_Theme));
    EXPECT_EQ(set->m_Current, 0);
    EXPECT_EQ(set->m_Handles, (std::vector<std::uint32_t>{m_PolygonsHandle, m_PointsHandle}));

    GpiThemeSetSelectedArgs deselect = {m_PolygonsHandle, 0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetSelected, &deselect), GPIERR_NoError);
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetActiveTheme, &active), GPIERR_NoError);
    EXPECT_EQ(out, m_PointsHandle) << "the one selected theme is the active one";

    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceClearThemeSelection, reinterpret_cast<void*>(std::uintptr_t{m_Workspace})),
              GPIERR_NoError);
    EXPECT_TRUE(m_Doc->m_selectedThemes.empty());
    EXPECT_EQ(m_Doc->m_activeTheme, nullptr);
}

TEST_F(GpiWorkspaceOps, DescriptionNotifyAndExtent) {
    GpiWorkspaceSetDescriptionArgs set = {m_Workspace, "Roads of the north"};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceSetDescription, &set), GPIERR_NoError);
    EXPECT_FALSE(m_Doc->IsModified()) << "no change a user would save";
    std::uint32_t size = 0;
    GpiWorkspaceGetDescriptionArgs get = {m_Workspace, nullptr, &size};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetDescription, &get), GPIERR_NoError);
    EXPECT_EQ(size, 19u);
    std::vector<char> text(size);
    get.buffer = text.data();
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetDescription, &get), GPIERR_NoError);
    EXPECT_STREQ(text.data(), "Roads of the north");
    EXPECT_TRUE(m_Events.m_Codes.empty());

    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceNotifyChanged, reinterpret_cast<void*>(std::uintptr_t{m_Workspace})),
              GPIERR_NoError);
    EXPECT_EQ(m_Events.m_Codes, std::vector<int>{DUE_Refresh});

    m_Points->AddPointAt(false, false, 2.0, 3.0);
    m_Points->AddPointAt(false, false, -4.0, 9.0);
    // Only the out words asked for are written.
    double xmin = 99.0, ymax = 99.0;
    GpiWorkspaceGetExtentArgs extent = {m_Workspace, &xmin, nullptr, nullptr, &ymax};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetExtent, &extent), GPIERR_NoError);
    EXPECT_EQ(xmin, -4.0);
    EXPECT_EQ(ymax, 9.0);
}

TEST_F(GpiWorkspaceOps, MapHandleOnceTheViewHasRegistered) {
    std::uint32_t map = kUntouched;
    GpiWorkspaceGetMapArgs args = {m_Workspace, &map};
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetMap, &args), GPIERR_InvalidHandle);
    EXPECT_EQ(map, kUntouched);

    CFakeMapWindow window;
    m_Doc->m_mapView = &window;
    auto* view = reinterpret_cast<CGeoView*>(std::uintptr_t{0x4000});
    const std::uint32_t registered = GpiRegisterMapView(view, &window);
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetMap, &args), GPIERR_NoError);
    EXPECT_EQ(map, registered);
    GpiForgetMapView(view);
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceGetMap, &args), GPIERR_InvalidHandle);
    m_Doc->m_mapView = nullptr;
}

TEST_F(GpiWorkspaceOps, IsActiveAsksTheFrame) {
    CRecordingDoc other;
    GpiFrameServices frame;
    frame.activeDocument = [&other]() -> CCorvaleDoc* { return &other; };
    GpiSetFrameServices(frame);
    std::uint32_t out = kUntouched;
    GpiWorkspaceIsActiveArgs args = {m_Workspace, &out};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceIsActive, &args), GPIERR_NoError);
    EXPECT_EQ(out, 0u);
    frame.activeDocument = [this]() -> CCorvaleDoc* { return m_Doc.get(); };
    GpiSetFrameServices(frame);
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceIsActive, &args), GPIERR_NoError);
    EXPECT_EQ(out, 1u);
}

TEST_F(GpiWorkspaceOps, SelectThemeAnswersTheChosenThemeOrZero) {
    std::string caption;
    int answer = -1;
    GpiFrameServices frame;
    frame.chooseTheme = [&](CCorvaleDoc* document, const std::string& text) {
        EXPECT_EQ(document, m_Doc.get());
        caption = text;
        return answer;
    };
    GpiSetFrameServices(frame);

    struct Case {
        const char* caption;
        int answer;
        std::uint32_t theme;
        const char* shown;
    };
    const Case cases[] = {
        {nullptr, -1, 0, "Select Theme"},
        {"Network theme", 1, m_PolygonsHandle, "Network theme"},
        {"Network theme", 0, m_PointsHandle, "Network theme"},
        {nullptr, 7, 0, "Select Theme"},
    };
    for (const Case& c : cases) {
        answer = c.answer;
        std::uint32_t theme = kUntouched;
        GpiWorkspaceSelectThemeArgs args = {m_Workspace, c.caption, &theme};
        ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceSelectTheme, &args), GPIERR_NoError);
        EXPECT_EQ(theme, c.theme) << c.answer;
        EXPECT_EQ(caption, c.shown);
    }
}

TEST_F(GpiWorkspaceOps, RemoveThemeAsksFirst) {
    m_Ui.messageAnswers = {corvale::IDCANCEL};
    std::uint32_t removed = kUntouched;
    GpiWorkspaceRemoveThemeArgs args = {m_Workspace, m_PointsHandle, &removed};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &args), GPIERR_NoError);
    EXPECT_EQ(removed, 0u);
    EXPECT_EQ(m_Doc->m_themes.size(), 2u);
    ASSERT_EQ(m_Ui.Messages(), std::vector<std::string>{"A plug-in is trying to remove a theme.\n\nContinue?"});
    EXPECT_EQ(m_Ui.shown.back().icon, corvale::MessageIcon::Warning);
    EXPECT_EQ(m_Ui.shown.back().buttons, corvale::MessageButtons::OkCancel);
    EXPECT_TRUE(m_Events.m_Codes.empty());

    std::vector<std::uint32_t> heard;
    const std::uint32_t identity = AddPlugin([&heard](std::uint32_t, std::uint32_t hookType, void* block) {
        if (hookType == GPIHOOK_ThemesRemoved)
            heard.push_back(static_cast<GpiHookThemeArgs*>(block)->theme);
        return 0;
    });
    Subscribe(identity, GPIHOOK_ThemesRemoved, 0);
    m_Ui.messageAnswers = {corvale::IDOK};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &args), GPIERR_NoError);
    EXPECT_EQ(removed, 1u);
    EXPECT_EQ(m_Doc->m_themes, std::vector<CTheme*>{m_Polygons});
    EXPECT_EQ(heard, std::vector<std::uint32_t>{m_PointsHandle});
    EXPECT_EQ(m_Events.m_Codes, (std::vector<int>{DUE_ThemeRemoved, DUE_ActiveThemeChanged}));
    EXPECT_FALSE(IsValid(m_PointsHandle)) << "the removed theme's handle is gone";
    // Removing it again finds no theme.
    removed = kUntouched;
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &args), GPIERR_InvalidHandle);
    EXPECT_EQ(removed, kUntouched);
}

TEST_F(GpiWorkspaceOps, RemoveThemeRefusesAThemeOthersAreMadeFrom) {
    m_Points->AddPointAt(false, false, 1.0, 1.0);
    m_Points->AddToSelection(0, 0, 1, 0);
    CTheme* child = m_Doc->NewThemeFromSelection(m_Points, "Child", true);
    ASSERT_NE(child, nullptr);
    m_Ui.messageAnswers = {corvale::IDOK};
    std::uint32_t removed = kUntouched;
    GpiWorkspaceRemoveThemeArgs args = {m_Workspace, m_PointsHandle, &removed};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &args), GPIERR_NoError);
    EXPECT_EQ(removed, 0u);
    EXPECT_NE(std::find(m_Doc->m_themes.begin(), m_Doc->m_themes.end(), m_Points), m_Doc->m_themes.end());
}

TEST_F(GpiWorkspaceOps, RemoveThemeRefusesAThemeOfAnotherWorkspace) {
    CRecordingDoc other;
    const std::uint32_t otherWorkspace = GpiWorkspaceHandle(&other);
    m_Ui.messageAnswers = {corvale::IDOK};
    std::uint32_t removed = kUntouched;
    GpiWorkspaceRemoveThemeArgs args = {otherWorkspace, m_PointsHandle, &removed};
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &args), GPIERR_InvalidHandle);
    EXPECT_EQ(removed, kUntouched);
    EXPECT_TRUE(m_Ui.Messages().empty());
    EXPECT_EQ(m_Doc->m_themes.size(), 2u);
}

TEST_F(GpiWorkspaceOps, NewThemeFromSelectionCopiesTheSelectedShapes) {
    for (double x : {1.0, 2.0, 3.0})
        m_Points->AddPointAt(false, false, x, -x);
    m_Points->AddToSelection(2, 2, 1, 0);
    m_Points->AddToSelection(0, 0, 1, 0);

    struct Case {
        const char* name;
        std::string expected;
    };
    for (const Case& c : {Case{nullptr, "From: Points"}, Case{"Picked", "Picked"}}) {
        std::uint32_t theme = kUntouched;
        GpiWorkspaceNewThemeFromSelectionArgs args = {m_Workspace, m_PointsHandle, c.name, &theme};
        ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceNewThemeFromSelection, &args), GPIERR_NoError);
        CTheme* made = GpiThemeFromHandle(theme);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->m_Name, c.expected);
        EXPECT_EQ(made->m_SourceType, static_cast<std::uint32_t>(ST_Native)) << "copies of its own";
        EXPECT_TRUE(m_Points->m_ChildThemes.empty());
        ASSERT_EQ(made->GetShapeCount(), 2);
        EXPECT_EQ(CShapeRecord::GetPoint(made->GetShape(0), 0).x, 1.0);
        EXPECT_EQ(CShapeRecord::GetPoint(made->GetShape(1), 0).x, 3.0);
        EXPECT_NE(made->GetShape(0), m_Points->GetShape(0));
    }
    EXPECT_EQ(std::count(m_Events.m_Codes.begin(), m_Events.m_Codes.end(), DUE_ThemeAdded), 2);
}

// The data blocks through a real plug-in: its identity and its dispatch entry
// as fnInit received them.
using GpiWorkspacePluginData = GpiRealPluginTest;

TEST_F(GpiWorkspacePluginData, OneBlockPerPluginReplacedByGuid) {
    AddPluginFile("valid_a", "a.gpi");
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    GpiTestControl* a = Control(listed[0]);
    GpiTestControl* b = Control(listed[1]);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    CRecordingDoc document;
    const std::uint32_t workspace = GpiWorkspaceHandle(&document);
    const auto store = [workspace](GpiTestControl* plugin, const std::string& bytes) {
        GpiWorkspaceSetPluginDataArgs args = {plugin->initInfo.identity, workspace,
                                              static_cast<std::uint32_t>(bytes.size()), bytes.data()};
        return plugin->initInfo.dispatch(GPIOP_WorkspaceSetPluginData, &args);
    };
    ASSERT_EQ(store(a, "first"), GPIERR_NoError);
    ASSERT_EQ(store(a, "second"), GPIERR_NoError);
    ASSERT_EQ(document.m_gpiDataBlocks.size(), 1u);
    EXPECT_EQ(document.m_gpiDataBlocks[0].m_PluginName, kGuidA);
    EXPECT_EQ(std::string(document.m_gpiDataBlocks[0].m_Data.begin(), document.m_gpiDataBlocks[0].m_Data.end()),
              "second");

    ASSERT_EQ(store(b, ""), GPIERR_NoError) << "an empty block is a block";
    ASSERT_EQ(document.m_gpiDataBlocks.size(), 2u);
    EXPECT_EQ(document.m_gpiDataBlocks[1].m_PluginName, kGuidB);
    EXPECT_TRUE(document.m_gpiDataBlocks[1].m_Data.empty());

    // A block stored under the GUID in capitals is the same plug-in's.
    std::string upper = kGuidA;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    document.m_gpiDataBlocks[0].m_PluginName = upper;
    ASSERT_EQ(store(a, "third"), GPIERR_NoError);
    ASSERT_EQ(document.m_gpiDataBlocks.size(), 2u);
    EXPECT_EQ(std::string(document.m_gpiDataBlocks[0].m_Data.begin(), document.m_gpiDataBlocks[0].m_Data.end()),
              "third");

    // The theme's blocks follow the same rule.
    CTheme* theme = document.CreateTheme("T", SHT_Point);
    document.m_themes.push_back(theme);
    const std::uint32_t themeHandle = GpiThemeHandle(theme);
    for (const char* bytes : {"x", "yy"}) {
        GpiThemeSetPluginDataArgs args = {b->initInfo.identity, themeHandle, static_cast<std::uint32_t>(std::strlen(bytes)),
                                          bytes};
        ASSERT_EQ(b->initInfo.dispatch(GPIOP_ThemeSetPluginData, &args), GPIERR_NoError);
    }
    ASSERT_EQ(theme->m_GpiData.size(), 1u);
    EXPECT_EQ(theme->m_GpiData[0].m_PluginName, kGuidB);
    EXPECT_EQ(theme->m_GpiData[0].m_Data.size(), 2u);
}
