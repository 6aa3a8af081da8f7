// Binding drawing (.ise) and statistics (.stc) plug-ins: which entries and
// versions make one valid, what the diagnostics say, and the list of
// statistics plug-ins the Table menu shows.

#include "core/DrawingPlugin.h"
#include "core/StatisticsPlugin.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string PagePlugin(const std::string& name, const std::string& extension) {
    return std::string(CORVALE_PAGE_TEST_PLUGINS) + "/" + name + "." + extension;
}

struct BindCase {
    const char* name;
    bool valid;
    unsigned version;
    // What follows "<path>:\n" in the error text.
    const char* diagnostics;
};

class DrawingBinding : public testing::TestWithParam<BindCase> {};

TEST_P(DrawingBinding, ChecksEntriesAndVersion) {
    const BindCase& c = GetParam();
    const std::string path = PagePlugin(c.name, "ise");
    CDrawingPlugin plugin;
    plugin.Load(path);
    EXPECT_EQ(plugin.m_Valid != 0, c.valid);
    EXPECT_EQ(plugin.m_ErrorText, path + ":\n" + c.diagnostics);
    if (c.valid) {
        EXPECT_EQ(plugin.m_Version, c.version);
        EXPECT_EQ(plugin.m_Name, c.name);
        EXPECT_EQ(plugin.m_Description, std::string(c.name) + " description");
        EXPECT_EQ(plugin.m_InfoText, std::string(c.name) + " information");
        EXPECT_NE(plugin.fnDrawShape, nullptr);
    }
    plugin.Unload();
    EXPECT_EQ(plugin.m_Module, nullptr);
    EXPECT_EQ(plugin.fnGetName, nullptr);
    EXPECT_TRUE(plugin.m_Name.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawingBinding,
    testing::Values(BindCase{"drawing_v1", true, 1, ""}, BindCase{"drawing_v2", true, 2, ""},
                    BindCase{"drawing_v0", false, 0, "Unsupported interface version.\n"},
                    BindCase{"drawing_v3", false, 3, "Unsupported interface version.\n"},
                    // Unlike a statistics plug-in, a drawing plug-in must say its version.
                    BindCase{"drawing_no_version", false, 0, "Could not find fnVersion() entry.\n"},
                    // Every missing piece is listed, in the order of the entries.
                    BindCase{"drawing_missing", false, 0,
                             "Could not find fnGetName() entry.\n"
                             "Could not find fnDrawShape() entry.\n"
                             "Could not find fnPreDrawLayer() entry.\n"
                             "Could not find fnInitializeSession() entry.\n"
                             "Could not find fnVersion() entry.\n"}),
    [](const testing::TestParamInfo<BindCase>& info) { return std::string(info.param.name); });

class StatisticsBinding : public testing::TestWithParam<BindCase> {};

TEST_P(StatisticsBinding, ChecksEntriesAndVersion) {
    const BindCase& c = GetParam();
    const std::string path = PagePlugin(c.name, "stc");
    // The constructor binds at once.
    CStatisticsPlugin plugin(path);
    EXPECT_EQ(plugin.m_Valid != 0, c.valid);
    EXPECT_EQ(plugin.m_ErrorText, path + ":\n" + c.diagnostics);
    EXPECT_EQ(plugin.m_Version, c.version);
    if (c.valid) {
        EXPECT_EQ(plugin.m_Name, c.name);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatisticsBinding,
    testing::Values(BindCase{"statistics_valid", true, 1, ""},
                    // Without fnVersion the plug-in is version 1.
                    BindCase{"statistics_no_version", true, 1, ""},
                    BindCase{"statistics_v2", false, 2, "Unsupported interface version.\n"},
                    BindCase{"statistics_missing", false, 1,
                             "Could not find fnPushValue() entry.\n"
                             "Could not find fnCalculate() entry.\n"}),
    [](const testing::TestParamInfo<BindCase>& info) { return std::string(info.param.name); });

TEST(ListedPluginBinding, AFileThatIsNoModuleIsInvalid) {
    TempDir folder;
    std::ofstream(folder.file("junk.ise")) << "not a shared object";
    CDrawingPlugin drawing;
    drawing.Load(folder.file("junk.ise"));
    EXPECT_EQ(drawing.m_Valid, 0);
    EXPECT_EQ(drawing.m_ErrorText,
              folder.file("junk.ise") + ":\nNot a valid plug-in, or missing a required component (dll).");
    CStatisticsPlugin statistics(folder.file("missing.stc"));
    EXPECT_EQ(statistics.m_Valid, 0);
    EXPECT_EQ(statistics.m_ErrorText,
              folder.file("missing.stc") + ":\nNot a valid plug-in, or missing a required component (dll).");
}

TEST(ListedPluginBinding, SettingsAreCalledWhenThePluginHasThem) {
    TempDir folder;
    const std::string log = folder.file("settings.log");
    ::setenv("PAGE_TEST_SETTINGS_LOG", log.c_str(), 1);

    CDrawingPlugin withSettings;
    withSettings.Load(PagePlugin("drawing_v1", "ise"));
    EXPECT_TRUE(withSettings.ShowSettings());
    CDrawingPlugin without;
    without.Load(PagePlugin("drawing_v2", "ise"));
    EXPECT_FALSE(without.ShowSettings());

    // A plug-in whose settings throw is noted, and the host goes on.
    CStatisticsPlugin throwing(PagePlugin("statistics_throwing", "stc"));
    EXPECT_TRUE(throwing.ShowSettings());
    EXPECT_EQ(throwing.m_ErrorText, "Unknown exception caught from plug-in fnSettings().");
    ::unsetenv("PAGE_TEST_SETTINGS_LOG");

    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "drawing_v1\n");
}

TEST(ListedPluginBinding, TheFolderIsListedByPatternInNameOrder) {
    TempDir folder;
    for (const char* name : {"b.stc", "A.STC", "c.ise", "a.stc.bak"})
        std::ofstream(folder.file(name)) << "x";
    std::filesystem::create_directory(folder.file("d.stc"));
    EXPECT_EQ(ListPluginFolder(folder.path(), "*.stc"),
              (std::vector<std::string>{folder.file("A.STC"), folder.file("b.stc")}));
    EXPECT_TRUE(ListPluginFolder(folder.file("absent"), "*.stc").empty());
}

TEST(ListedPluginBinding, TheTableMenuListsTheValidStatisticsPlugins) {
    TempDir folder;
    for (const char* name : {"statistics_v2", "statistics_valid", "statistics_missing", "statistics_no_version"})
        std::filesystem::copy_file(PagePlugin(name, "stc"), folder.file(std::string(name) + ".stc"));
    std::ofstream(folder.file("broken.stc")) << "x";
    const std::vector<StatisticsPluginEntry> entries = ListStatisticsPlugins(folder.path());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].m_Name, "statistics_no_version");
    EXPECT_EQ(entries[0].m_Path, folder.file("statistics_no_version.stc"));
    EXPECT_EQ(entries[1].m_Name, "statistics_valid");
    EXPECT_EQ(entries[1].m_Description, "statistics_valid description");
}

} // namespace
