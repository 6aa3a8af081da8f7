// The workspace's properties command and the Transform command over the
// themes selected in the legend.

#include "core/Theme.h"
#include "framework/CommandTarget.h"
#include "framework/ScriptedUserInterface.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct EventLog {
    void OnUpdate(const void*, int code, std::intptr_t) { codes.push_back(code); }
    std::vector<int> codes;
};

// Installs dialog services for the test's lifetime.
class DialogServices {
public:
    explicit DialogServices(const CDocumentDialogServices& services) : m_Old(GetDocumentDialogServices()) {
        SetDocumentDialogServices(services);
    }
    ~DialogServices() { SetDocumentDialogServices(m_Old); }

private:
    CDocumentDialogServices m_Old;
};

CTheme* AddTheme(CCorvaleDoc& doc, std::uint32_t type, bool editable) {
    auto* theme = new CTheme;
    theme->m_ShapeType = type;
    if (type != SHT_Image) {
        EXPECT_TRUE(theme->ConvertToNative(true, true));
    }
    theme->m_Editable = editable;
    doc.m_themes.push_back(theme);
    doc.SetThemeSelected(theme, true);
    return theme;
}

bool Enabled(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    return doc.OnCmdMsg(id, &ui) && ui.m_Enabled;
}

} // namespace

TEST(DocWorkspaceProperties, OkStoresTheValues) {
    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    doc.m_openPropertiesFlag = 1;
    std::vector<int> pages;
    std::vector<bool> shownChecked;
    CDocumentDialogServices services = GetDocumentDialogServices();
    services.workspaceProperties = [&](CWorkspacePropertyValues& values) {
        pages.push_back(values.m_Page);
        shownChecked.push_back(values.m_ShowOnOpen);
        values.m_GridX = 3.0;
        values.m_GridY = 4.0;
        values.m_Description = "notes";
        values.m_RefSystem = -1;
        values.m_ShowOnOpen = false;
        values.m_BackgroundColor = 0xFF;
        return true;
    };
    DialogServices installed(services);
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(Enabled(doc, ID_WORKSPACE_SHOW_PROPERTIES));
    doc.OnCmdMsg(ID_WORKSPACE_SHOW_PROPERTIES, nullptr);
    doc.ShowWorkspaceProperties(3);
    EXPECT_EQ(pages, (std::vector<int>{0, 3}));
    // Checked while the flag was 1; the first OK cleared it.
    EXPECT_EQ(shownChecked, (std::vector<bool>{true, false}));
    EXPECT_EQ(doc.m_gridSpacingX, 3.0);
    EXPECT_EQ(doc.m_gridSpacingY, 4.0);
    EXPECT_EQ(doc.m_description, "notes");
    EXPECT_EQ(doc.m_refSystem, -1);
    EXPECT_EQ(doc.m_backgroundColor, 0xFFu);
    EXPECT_EQ(doc.m_openPropertiesFlag, 0u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(log.codes, (std::vector<int>{DUE_WorkspacePropertiesChanged, DUE_WorkspacePropertiesChanged}));
    ASSERT_FALSE(ui.paneTexts.empty());
    EXPECT_EQ(ui.paneTexts.back(), std::make_pair(1130, std::string("Unknown")));
    doc.m_updateEvent.RemoveHandler(&log);
}

TEST(DocWorkspaceProperties, CancelChangesNothing) {
    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CDocumentDialogServices services = GetDocumentDialogServices();
    services.workspaceProperties = [](CWorkspacePropertyValues& values) {
        values.m_GridX = 99.0;
        return false;
    };
    DialogServices installed(services);
    doc.SetModifiedFlag(false);
    doc.ShowWorkspaceProperties(0);
    EXPECT_EQ(doc.m_gridSpacingX, 1.0);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocTransformThemes, SelectionDecidesTheDialog) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, bool>> themes;
        int vectorDialogs;
        int imageDialogs;
        bool refused;
    };
    const Case cases[] = {
        {"one raster and one vector", {{SHT_Image, true}, {SHT_Point, true}}, 0, 0, true},
        {"two rasters", {{SHT_Image, true}, {SHT_Image, true}}, 0, 0, true},
        {"a read-only vector theme", {{SHT_Point, true}, {SHT_Polyline, false}}, 0, 0, true},
        {"editable vector themes", {{SHT_Point, true}, {SHT_Polygon, true}}, 1, 0, false},
        {"one raster", {{SHT_Image, true}}, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvale::CScriptedUserInterface ui;
        CCorvaleDoc doc;
        int vectorDialogs = 0;
        int imageDialogs = 0;
        std::size_t themesGiven = 0;
        CDocumentDialogServices services = GetDocumentDialogServices();
        services.transformThemes = [&](CCorvaleDoc*, const std::vector<CTheme*>& themes) {
            ++vectorDialogs;
            themesGiven = themes.size();
            return true;
        };
        services.transformImage = [&](CCorvaleDoc*, CTheme*) { ++imageDialogs; };
        DialogServices installed(services);
        EXPECT_FALSE(Enabled(doc, ID_WORKSPACE_TRANSFORM));
        for (const auto& [type, editable] : c.themes)
            AddTheme(doc, type, editable);
        ASSERT_TRUE(Enabled(doc, ID_WORKSPACE_TRANSFORM));
        doc.OnCmdMsg(ID_WORKSPACE_TRANSFORM, nullptr);
        EXPECT_EQ(vectorDialogs, c.vectorDialogs);
        EXPECT_EQ(imageDialogs, c.imageDialogs);
        if (c.vectorDialogs > 0) {
            EXPECT_EQ(themesGiven, c.themes.size());
        }
        if (c.refused)
            EXPECT_EQ(ui.Messages(), std::vector<std::string>{
                                         "Selected themes cannot be transformed at the same time.\n\nRaster and "
                                         "vector layers cannot be mixed.\nOnly one raster layer can be transformed "
                                         "at a time.\nVector layers need to be editable."});
        else
            EXPECT_TRUE(ui.Messages().empty());
    }
}
