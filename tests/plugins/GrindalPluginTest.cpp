// The built Grindal.ldr, bound from the program's plug-in folder and driven
// through the document's Add Theme From command, its dialogs answered as a
// user would. Expected values: tests/data/maptab/mixed.ogrinfo.txt.

#include "DialogDriver.h"
#include "PluginTestSupport.h"

#include "app/MainFrame.h"
#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string GrindalPath() { return std::string(CORVALE_PLUGIN_DIR) + "/Grindal.ldr"; }
std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/maptab/" + name; }

const char kWarning[] = "MAP/TAB Loader Plugin|One or more features could not be interpreted.\n"
                        "These could be special Ostrela objects not supported by Corvale\n"
                        "or the MAP file could be corrupt.";

CTheme* ThemeOfType(const CCorvaleDoc& doc, std::uint32_t type) {
    for (CTheme* theme : doc.m_themes)
        if (theme->m_ShapeType == type)
            return theme;
    return nullptr;
}

class GrindalPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
    }
    void TearDown() override { *CAppSettings::GetInstance() = m_Saved; }

    corvale::CScriptedUserInterface ui;
    DialogDriver dialogs;

private:
    CAppSettings m_Saved;
};

TEST_F(GrindalPlugin, BindsFromThePluginFolderAndIsListed) {
    CLoaderPlugin loader;
    loader.Load(GrindalPath());
    ASSERT_TRUE(loader.m_Valid) << loader.m_ErrorText;
    EXPECT_EQ(loader.m_Version, 5u);
    EXPECT_EQ(loader.m_Name, "MAP/TAB file...");
    // Nothing read yet: no type is offered.
    EXPECT_EQ(loader.CountThemes(1), 0u);
    bool found = false;
    for (const CMainFrame::LoaderEntry& entry : CMainFrame::ReadLoaderList(CORVALE_PLUGIN_DIR))
        found = found || (entry.m_Path == GrindalPath() && entry.m_Name == "MAP/TAB file...");
    EXPECT_TRUE(found);
}

TEST_F(GrindalPlugin, AddThemeFromMakesOneThemePerKindWithTheTablesValues) {
    CCorvaleDoc doc;
    dialogs.File(Fixture("mixed.map"));
    ASSERT_EQ(doc.AddFromDataSource(GrindalPath()), 3);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Open MAP File"}));
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_TRUE(ui.shown.empty());

    struct Case {
        std::uint32_t type;
        int shapes;
        // name and code of each shape, in load order
        std::vector<std::pair<std::string, std::string>> rows;
    } cases[] = {
        {1, 2, {{"Harbour", "NO"}, {"Mill", "GB"}}},
        {3, 7,
         {{"Short road", "FR"}, {"Long road", "ES"}, {"Bend", "IT"}, {"Two paths", "DE"}, {"Wide lines", "PL"},
          {"Long wiggle", "CH"}, {"Small wiggle", "CH"}}},
        {5, 2, {{"Park", "AT"}, {"Lake land", "FI"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CTheme* theme = ThemeOfType(doc, c.type);
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(theme->m_Name, Fixture("mixed.map"));
        ASSERT_EQ(theme->GetShapeCount(), c.shapes);
        ASSERT_EQ(theme->GetAttributeCount(), 7u);
        EXPECT_EQ(theme->GetAttributeName(1), "code");
        for (int i = 0; i < c.shapes; ++i) {
            // By position and by the shape's own index.
            EXPECT_EQ(theme->GetAttributeTextAt(i, 0), c.rows[i].first) << i;
            EXPECT_EQ(theme->GetAttributeTextAt(i, 1), c.rows[i].second) << i;
            EXPECT_EQ(theme->GetAttributeText(GetShapeRecordIndex(theme->GetShape(i)), 0), c.rows[i].first) << i;
        }
    }
    const CShapeRecord* lake = ThemeOfType(doc, 5)->GetShape(1);
    EXPECT_EQ(CShapeRecord::GetPartCount(lake), 3u);
    EXPECT_EQ(CShapeRecord::GetPointCount(lake), 13u);
    EXPECT_EQ(ThemeOfType(doc, 1)->GetAttributeTextAt(0, 4), "70000");

    // The loader stays for the themes that are left.
    ASSERT_TRUE(doc.RemoveTheme(ThemeOfType(doc, 1)));
    ASSERT_TRUE(doc.RemoveTheme(ThemeOfType(doc, 5)));
    EXPECT_EQ(ThemeOfType(doc, 3)->GetAttributeTextAt(6, 3), "wiggle16");
}

TEST_F(GrindalPlugin, ADeletedObjectWarnsOnceAndTheRestLoads) {
    CCorvaleDoc doc;
    dialogs.File(Fixture("deleted.map"));
    dialogs.Button(QMessageBox::Ok);
    ASSERT_EQ(doc.AddFromDataSource(GrindalPath()), 3);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Open MAP File", kWarning}));
    EXPECT_EQ(dialogs.Pending(), 0u);
    CTheme* points = ThemeOfType(doc, 1);
    ASSERT_EQ(points->GetShapeCount(), 1);
    EXPECT_EQ(points->GetAttributeTextAt(0, 0), "Harbour");
    EXPECT_EQ(ThemeOfType(doc, 3)->GetAttributeTextAt(0, 0), "Short road");
}

// An object index cut short reaches only the first objects: the loader says
// how many of the table's rows it could not read rather than loading part
// of the file in silence.
TEST_F(GrindalPlugin, AnIndexShorterThanTheTableIsReported) {
    TempDir dir;
    for (const char* ext : {".map", ".dat", ".tab"})
        std::filesystem::copy_file(Fixture(std::string("mixed") + ext), dir.file(std::string("short") + ext));
    // The first five of the twelve entries: two points, three polylines.
    std::ifstream in(Fixture("mixed.id"), std::ios::binary);
    std::string index((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(index.size(), 48u);
    WriteText(dir.file("short.id"), index.substr(0, 20));

    CCorvaleDoc doc;
    dialogs.File(dir.file("short.map"));
    dialogs.Button(QMessageBox::Ok);
    ASSERT_EQ(doc.AddFromDataSource(GrindalPath()), 2);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{
                                  "Open MAP File",
                                  "MAP/TAB Loader Plugin|7 of 12 objects could not be read.\n"
                                  "The object index (.id) lists fewer objects than the table holds."}));
    EXPECT_EQ(ThemeOfType(doc, 1)->GetShapeCount(), 2);
    EXPECT_EQ(ThemeOfType(doc, 3)->GetShapeCount(), 3);
    EXPECT_EQ(ThemeOfType(doc, 5), nullptr);
}

// The table definition is what a user picks as the table; its geometry file
// beside it is what loads, without a warning.
TEST_F(GrindalPlugin, PickingTheTableDefinitionOpensItsGeometry) {
    CCorvaleDoc doc;
    dialogs.File(Fixture("mixed.tab"));
    ASSERT_EQ(doc.AddFromDataSource(GrindalPath()), 3);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Open MAP File"}));
    EXPECT_EQ(ThemeOfType(doc, 1)->GetAttributeTextAt(0, 0), "Harbour");

    // A definition without its geometry file names the file that is missing.
    TempDir dir;
    std::filesystem::copy_file(Fixture("mixed.tab"), dir.file("alone.TAB"));
    dialogs.m_Seen.clear();
    dialogs.File(dir.file("alone.TAB"));
    dialogs.Button(QMessageBox::Ok);
    CCorvaleDoc empty;
    EXPECT_EQ(empty.AddFromDataSource(GrindalPath()), 0);
    EXPECT_EQ(dialogs.m_Seen, (std::vector<std::string>{"Open MAP File", "MAP/TAB Loader Plugin|Error reading file:\n" +
                                                                               dir.file("alone.map")}));
}

TEST_F(GrindalPlugin, FailuresAndCancelAddNoTheme) {
    TempDir dir;
    WriteText(dir.file("empty.map"), "");
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> seen;
    } cases[] = {
        {"cancelled", "", {"Open MAP File"}},
        {"unreadable", dir.file("empty.map"),
         {"Open MAP File", "MAP/TAB Loader Plugin|Error reading file:\n" + dir.file("empty.map")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.m_Seen.clear();
        dialogs.File(c.file);
        if (c.seen.size() > 1)
            dialogs.Button(QMessageBox::Ok);
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(GrindalPath()), 0);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_EQ(dialogs.m_Seen, c.seen);
        EXPECT_EQ(dialogs.Pending(), 0u);
    }
}

} // namespace
