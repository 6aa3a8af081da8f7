// The built Ostrela.ldr, bound from the program's plug-in folder and driven
// through the document's Add Theme From command, its dialogs answered as a
// user would. Expected values: tests/data/mif/mixed.ogrinfo.txt.

#include "DialogDriver.h"
#include "PluginTestSupport.h"

#include "app/MainFrame.h"
#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <QCheckBox>
#include <QSettings>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string OstrelaPath() { return std::string(CORVALE_PLUGIN_DIR) + "/Ostrela.ldr"; }
std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/mif/" + name; }

CTheme* ThemeOfType(const CCorvaleDoc& doc, std::uint32_t type) {
    for (CTheme* theme : doc.m_themes)
        if (theme->m_ShapeType == type)
            return theme;
    return nullptr;
}

void SetImportFlags(int points, int polylines, int polygons) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Corvale", "MIF Loader Plugin");
    settings.beginGroup("Settings");
    settings.setValue("ImportPoints", points);
    settings.setValue("ImportPolylines", polylines);
    settings.setValue("ImportPolygons", polygons);
}

class OstrelaPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
        SetImportFlags(1, 1, 1);
    }
    void TearDown() override { *CAppSettings::GetInstance() = m_Saved; }
    CAppSettings& Settings() { return *CAppSettings::GetInstance(); }

    corvale::CScriptedUserInterface ui;
    DialogDriver dialogs;

private:
    CAppSettings m_Saved;
};

TEST_F(OstrelaPlugin, BindsFromThePluginFolderAsAVersionFiveLoader) {
    CLoaderPlugin loader;
    loader.Load(OstrelaPath());
    ASSERT_TRUE(loader.m_Valid) << loader.m_ErrorText;
    EXPECT_EQ(loader.m_Version, 5u);
    EXPECT_EQ(loader.m_Name, "Ostrela Interchange Format...");
    // Nothing chosen yet: no type is offered.
    EXPECT_EQ(loader.CountThemes(1), 0u);
}

TEST_F(OstrelaPlugin, TheProgramListsItUnderAddThemeFrom) {
    bool found = false;
    for (const CMainFrame::LoaderEntry& entry : CMainFrame::ReadLoaderList(CORVALE_PLUGIN_DIR))
        found = found || (entry.m_Path == OstrelaPath() && entry.m_Name == "Ostrela Interchange Format...");
    EXPECT_TRUE(found);
}

TEST_F(OstrelaPlugin, AddThemeFromMakesOneThemePerKindWithAttributesAndTheLastPen) {
    Settings().m_LoaderOverride = 1;
    CCorvaleDoc doc;
    dialogs.File(Fixture("mixed.mif"));
    ASSERT_EQ(doc.AddFromDataSource(OstrelaPath()), 3);
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_TRUE(ui.shown.empty());

    struct Case {
        std::uint32_t type;
        const char* name;
        std::vector<std::vector<std::string>> rows; // name, n, v
    } cases[] = {
        {1, "mixed Point", {{"say \"hi\", there", "3", "1.5"}, {"plain", "-7", "-0.5"}}},
        {3, "mixed Polyline", {{"red line", "10", "0.25"}, {"blue lines", "11", "-2.75"}}},
        {5, "mixed Polygon", {{"holed", "20", "100.125"}, {"", "21", "0"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTheme* theme = ThemeOfType(doc, c.type);
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(theme->m_Name, c.name);
        // The file's last pen, PEN(w:4px,c:#123456), in the program's byte order.
        EXPECT_EQ(theme->m_Color, 0x563412u);
        EXPECT_EQ(theme->m_LineWidth, 4);
        ASSERT_EQ(theme->GetAttributeCount(), 4u);
        EXPECT_EQ(theme->GetAttributeName(0), "name");
        EXPECT_EQ(theme->GetAttributeName(1), "n");
        EXPECT_EQ(theme->GetAttributeName(2), "v");
        EXPECT_EQ(theme->GetAttributeType(0) & 0xFF, 0);
        EXPECT_EQ(theme->GetAttributeType(1) & 0xFF, 1);
        EXPECT_EQ(theme->GetAttributeType(2) & 0xFF, 2);
        ASSERT_EQ(theme->GetShapeCount(), 2);
        for (int i = 0; i < 2; ++i)
            for (int f = 0; f < 3; ++f)
                EXPECT_EQ(theme->GetAttributeText(i, f), c.rows[i][f]) << i << "," << f;
    }
    const CShapeRecord* holed = ThemeOfType(doc, 5)->GetShape(0);
    EXPECT_EQ(CShapeRecord::GetPartCount(holed), 2u);
    EXPECT_EQ(CShapeRecord::GetPointCount(holed), 10u);

    // The reader stays for the themes that are left.
    ASSERT_TRUE(doc.RemoveTheme(ThemeOfType(doc, 1)));
    ASSERT_TRUE(doc.RemoveTheme(ThemeOfType(doc, 5)));
    EXPECT_EQ(ThemeOfType(doc, 3)->GetAttributeText(1, 0), "blue lines");
}

TEST_F(OstrelaPlugin, WithoutOverrideTheThemesKeepTheDefaultColour) {
    Settings().m_LoaderOverride = 0;
    CCorvaleDoc doc;
    dialogs.File(Fixture("comma.mif"));
    ASSERT_EQ(doc.AddFromDataSource(OstrelaPath()), 3);
    EXPECT_EQ(ThemeOfType(doc, 1)->m_Color, 0xFF0000u);
    const CShapePoint p = CShapeRecord::GetPoint(ThemeOfType(doc, 1)->GetShape(0), 0);
    EXPECT_EQ(p.x, 1.5);
    EXPECT_EQ(p.y, 2.5);
}

TEST_F(OstrelaPlugin, FailuresAndCancelAddNoTheme) {
    TempDir dir;
    WriteText(dir.file("broken.mif"), "Version 300\nColumns 0\nData\nEllipse 0 0 1 1\n");
    WriteText(dir.file("notes.mif"), "Shopping list\n");
    WriteText(dir.file("regions.mif"), "Version 300\nColumns 0\nData\nRegion 1\n 3\n0 0\n1 0\n0 1\n");
    struct Case {
        const char* what;
        std::string file;
        int polygons;
        std::vector<std::string> seen;
    } cases[] = {
        {"cancelled", "", 1, {"Open"}},
        {"broken", dir.file("broken.mif"), 1, {"Open", "MIF Loader Plugin|Error reading file."}},
        {"not a MIF file", dir.file("notes.mif"), 1, {"Open", "MIF Loader Plugin|Error reading file."}},
        {"no enabled kind", dir.file("regions.mif"), 0,
         {"Open", "MIF Loader Plugin|No shapes could be imported under current settings."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetImportFlags(1, 1, c.polygons);
        dialogs.m_Seen.clear();
        dialogs.File(c.file);
        if (c.seen.size() > 1)
            dialogs.Button(QMessageBox::Ok);
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(OstrelaPath()), 0);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_EQ(dialogs.m_Seen, c.seen);
        EXPECT_EQ(dialogs.Pending(), 0u);
    }
}

TEST_F(OstrelaPlugin, TheSettingsDialogChoosesTheKindsOfTheNextLoad) {
    CLoaderPlugin loader;
    loader.Load(OstrelaPath());
    ASSERT_TRUE(loader.m_Valid);
    // OK writes the boxes back; Cancel writes nothing.
    dialogs.Other([](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Ostrela Interchange Format Import Settings");
        auto* points = dialog->findChild<QCheckBox*>("2000");
        ASSERT_NE(points, nullptr);
        EXPECT_TRUE(points->isChecked());
        points->setChecked(false);
        dialog->findChild<QCheckBox*>("2002")->setChecked(false);
        dialog->accept();
    });
    loader.fnSettings();
    dialogs.Other([](QDialog* dialog) {
        dialog->findChild<QCheckBox*>("2001")->setChecked(false);
        dialog->reject();
    });
    loader.fnSettings();
    EXPECT_EQ(dialogs.Pending(), 0u);

    CCorvaleDoc doc;
    dialogs.File(Fixture("mixed.mif"));
    ASSERT_EQ(doc.AddFromDataSource(OstrelaPath()), 1);
    EXPECT_NE(ThemeOfType(doc, 3), nullptr);
    EXPECT_EQ(ThemeOfType(doc, 3)->GetAttributeText(0, 0), "red line");
}

} // namespace
