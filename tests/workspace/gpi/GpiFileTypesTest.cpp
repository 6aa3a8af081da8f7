// Files of the types plug-ins register reach their plug-in from every way of
// opening a file, and plug-ins hear of a shape-file theme when it is inserted,
// before its records are read, and of its removal when the read fails.

#include "GpiTestSupport.h"

#include "TempDir.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/RecentShapeFileList.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kGuid = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}";

int Register(std::uint32_t identity, std::uint32_t hookType, std::uint32_t userData, const void* info = nullptr) {
    GpiRegisterHookArgs args = {identity, hookType, userData, info};
    return GpiHostDispatch(GPIOP_RegisterHook, &args);
}

class GpiFileTypes : public GpiHostTest {
protected:
    void SetUp() override {
        GpiHostTest::SetUp();
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
        m_Plugin = AddPlugin(
            [this](std::uint32_t, std::uint32_t hookType, void* args) {
                if (hookType == GPIHOOK_FileOpen) {
                    const auto* open = static_cast<const GpiHookFileOpenArgs*>(args);
                    m_Events.push_back("open " + std::to_string(open->userData) + " " + open->path);
                } else if (hookType == GPIHOOK_ThemeAdded) {
                    // The count of records the theme holds when the plug-in hears of it.
                    const CTheme* theme = GpiThemeFromHandle(static_cast<const GpiHookThemeArgs*>(args)->theme);
                    m_Events.push_back("added " + (theme ? std::to_string(theme->GetAllShapeCount()) : "?"));
                } else if (hookType == GPIHOOK_ThemesRemoved) {
                    const CTheme* theme = GpiThemeFromHandle(static_cast<const GpiHookThemeArgs*>(args)->theme);
                    m_Events.push_back(theme != nullptr ? "removed" : "removed ?");
                }
                return 0;
            },
            kGuid);
    }
    void TearDown() override {
        *CAppSettings::GetInstance() = m_Saved;
        GpiHostTest::TearDown();
    }

    void RegisterNetworks() {
        GpiFileTypeInfo info = {"Route networks (*.net;*.rte)", "*.net;*.rte"};
        ASSERT_EQ(Register(m_Plugin, GPIHOOK_FileOpen, 7, &info), GPIERR_NoError);
    }

    std::string CopyShapes(const std::string& stem, std::size_t cut = 0) {
        const std::string from = std::string(CORVALE_TEST_DATA) + "/shapes/points";
        std::filesystem::copy_file(from + ".shp", stem + ".shp");
        std::filesystem::copy_file(from + ".shx", stem + ".shx");
        if (cut > 0)
            std::filesystem::resize_file(stem + ".shp", std::filesystem::file_size(stem + ".shp") - cut);
        return stem + ".shp";
    }

    corvale::CScriptedUserInterface ui;
    TempDir dir;
    std::uint32_t m_Plugin = 0;
    std::vector<std::string> m_Events;

private:
    CAppSettings m_Saved;
};

} // namespace

TEST_F(GpiFileTypes, OpenAddThemeAndLoadFileHandTheFileToItsPlugin) {
    RegisterNetworks();
    const std::string roads = dir.file("roads.net");
    const std::string rivers = dir.file("rivers.RTE");
    std::ofstream(roads) << "network";
    std::ofstream(rivers) << "network";

    CCorvaleDoc doc;
    EXPECT_TRUE(doc.OpenDataFile(roads, true));
    EXPECT_EQ(GetRecentShapeFiles().Get(0), roads) << "it joins the recent files";
    EXPECT_TRUE(ui.Messages().empty());

    // Add Theme lists the plug-in's type between the images and all files.
    ui.openAnswers.push_back({rivers});
    ASSERT_TRUE(doc.OnCmdMsg(ID_INSERT_ADD_THEME, nullptr));
    ASSERT_FALSE(ui.openRequests.empty());
    const std::string& filter = ui.openRequests.back().filter;
    const std::size_t images = filter.find("Image files");
    const std::size_t plugin = filter.find("Route networks (*.net;*.rte)|*.net;*.rte|");
    const std::size_t all = filter.find("All Files (*.*)");
    ASSERT_NE(plugin, std::string::npos) << filter;
    EXPECT_LT(images, plugin);
    EXPECT_LT(plugin, all);
    EXPECT_EQ(GetRecentShapeFiles().Get(0), rivers);

    // Load File: the recent entry 1 is roads.net again.
    ASSERT_TRUE(doc.OnCmdMsg(ID_RECENT_SHAPE_FILE_FIRST + 1, nullptr));
    EXPECT_EQ(m_Events, (std::vector<std::string>{"open 7 " + roads, "open 7 " + rivers, "open 7 " + roads}));
    EXPECT_TRUE(doc.m_themes.empty());
    EXPECT_TRUE(ui.Messages().empty()) << ui.Messages().front();

    // A name no type matches is still refused.
    EXPECT_FALSE(doc.OpenDataFile(dir.file("notes.xyz"), true));
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Corvale does not understand this file format.\n\n" + dir.file("notes.xyz")}));
}

TEST_F(GpiFileTypes, PluginsHearOfAShapeFileThemeBeforeItsRecordsAreRead) {
    ASSERT_EQ(Register(m_Plugin, GPIHOOK_ThemeAdded, 0), GPIERR_NoError);
    ASSERT_EQ(Register(m_Plugin, GPIHOOK_ThemesRemoved, 0), GPIERR_NoError);
    CCorvaleDoc doc;
    ASSERT_NE(doc.LoadShapeFile(CopyShapes(dir.file("good")), true), nullptr);
    EXPECT_EQ(doc.m_themes.back()->GetAllShapeCount(), 3);
    EXPECT_EQ(m_Events, (std::vector<std::string>{"added 0"}));

    // A read that fails takes the theme out again, and the plug-ins hear of it.
    m_Events.clear();
    EXPECT_EQ(doc.LoadShapeFile(CopyShapes(dir.file("cut"), 10), false), nullptr);
    EXPECT_EQ(m_Events, (std::vector<std::string>{"added 0", "removed"}));
    EXPECT_EQ(doc.m_themes.size(), 1u);
    EXPECT_EQ(doc.m_loaderTargetTheme, nullptr);
}
