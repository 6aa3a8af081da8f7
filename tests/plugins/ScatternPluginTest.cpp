// The built Scattern.ldr, bound from the program's plug-in folder and driven
// through the document's Add Theme From command, its dialogs answered as a
// user would, and its themes kept in a workspace and read back from it.
// Expected values: tests/data/text/stations.ogrinfo.txt.

#include "DialogDriver.h"
#include "PluginTestSupport.h"

#include "app/MainFrame.h"
#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ScatternPath() { return std::string(CORVALE_PLUGIN_DIR) + "/Scattern.ldr"; }
std::string Fixture(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/text/" + name; }

// Header titles and rows the preview shows.
struct Preview {
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
};

Preview PreviewOf(QDialog* dialog) {
    Preview preview;
    auto* tree = dialog->findChild<QTreeWidget*>("4006");
    if (tree == nullptr)
        return preview;
    for (int c = 0; c < tree->columnCount(); ++c)
        preview.titles.push_back(tree->headerItem()->text(c).toStdString());
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < tree->columnCount(); ++c)
            row.push_back(tree->topLevelItem(r)->text(c).toStdString());
        preview.rows.push_back(row);
    }
    return preview;
}

class ScatternPlugin : public ::testing::Test {
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

TEST_F(ScatternPlugin, BindsFromThePluginFolderAndIsListed) {
    CLoaderPlugin loader;
    loader.Load(ScatternPath());
    ASSERT_TRUE(loader.m_Valid) << loader.m_ErrorText;
    EXPECT_EQ(loader.m_Version, 3u);
    EXPECT_EQ(loader.m_Name, "Text Point Loader...");
    bool found = false;
    for (const CMainFrame::LoaderEntry& entry : CMainFrame::ReadLoaderList(CORVALE_PLUGIN_DIR))
        found = found || (entry.m_Path == ScatternPath() && entry.m_Name == "Text Point Loader...");
    EXPECT_TRUE(found);
}

TEST_F(ScatternPlugin, TheDefinitionDialogPreviewsAndThePointsLoad) {
    CCorvaleDoc doc;
    dialogs.File(Fixture("stations.txt"));
    std::vector<Preview> seen;
    dialogs.Other([&seen](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Data Definition");
        // Without names: "Field n" titles, every line an item, columns added
        // for a longer line.
        seen.push_back(PreviewOf(dialog));
        dialog->findChild<QCheckBox*>("4000")->click();
        seen.push_back(PreviewOf(dialog));
        // "Other:" with ";" splits nothing here; back to Tab.
        dialog->findChild<QRadioButton*>("4004")->click();
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("4005")->isEnabled());
        seen.push_back(PreviewOf(dialog));
        dialog->findChild<QRadioButton*>("4003")->click();
        EXPECT_FALSE(dialog->findChild<QLineEdit*>("4005")->isEnabled());
        dialog->findChild<QLineEdit*>("4001")->setText("2");
        dialog->findChild<QLineEdit*>("4002")->setText("3");
        dialog->accept();
    });
    ASSERT_EQ(doc.AddFromDataSource(ScatternPath()), 1);
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_TRUE(ui.shown.empty());

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].titles, (std::vector<std::string>{"Field 1", "Field 2", "Field 3", "Field 4", "Field 5"}));
    ASSERT_EQ(seen[0].rows.size(), 5u);
    EXPECT_EQ(seen[0].rows[0][0], "name");
    EXPECT_EQ(seen[0].rows[3][4], "extra");
    EXPECT_EQ(seen[1].titles, (std::vector<std::string>{"name", "lon", "lat", "note", "Field 5"}));
    ASSERT_EQ(seen[1].rows.size(), 4u);
    EXPECT_EQ(seen[1].rows[0][0], "Harbour");
    EXPECT_EQ(seen[2].titles, (std::vector<std::string>{"name\tlon\tlat\tnote"}));

    ASSERT_EQ(doc.m_themes.size(), 1u);
    CTheme* theme = doc.m_themes.front();
    EXPECT_EQ(theme->m_Name, Fixture("stations.txt"));
    ASSERT_EQ(theme->GetShapeCount(), 3);
    ASSERT_EQ(theme->GetAttributeCount(), 5u);
    EXPECT_EQ(theme->GetAttributeName(4), "Field 5");
    EXPECT_EQ(theme->GetAttributeTextAt(1, 0), "Mill");
    EXPECT_EQ(theme->GetAttributeTextAt(1, 4), "extra");
    EXPECT_EQ(theme->GetAttributeTextAt(2, 0), "");
    EXPECT_EQ(theme->GetAttributeTextAt(2, 2), "-33.0625");
    // The program finds a point's values by its shape index too; the first
    // line's point and those after the skipped lines included.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(theme->GetAttributeText(GetShapeRecordIndex(theme->GetShape(i)), 2),
                  theme->GetAttributeTextAt(i, 2))
            << i;
    const CShapePoint p = CShapeRecord::GetPoint(theme->GetShape(2), 0);
    EXPECT_EQ(p.x, 4.125);
    EXPECT_EQ(p.y, -33.0625);

    // The workspace keeps the definition; opening it reads the file anew,
    // with no dialog.
    TempDir dir;
    ASSERT_TRUE(doc.SaveWorkspace(dir.file("points.cvw")));
    CCorvaleDoc reopened;
    ASSERT_TRUE(reopened.OpenWorkspace(dir.file("points.cvw"))) << ::testing::PrintToString(ui.Messages());
    EXPECT_EQ(dialogs.Pending(), 0u);
    ASSERT_EQ(reopened.m_themes.size(), 1u);
    CTheme* again = reopened.m_themes.front();
    ASSERT_EQ(again->GetShapeCount(), 3);
    ASSERT_EQ(again->GetAttributeCount(), 5u);
    EXPECT_EQ(again->GetAttributeName(1), "lon");
    EXPECT_EQ(again->GetAttributeTextAt(0, 3), "quay");
    EXPECT_EQ(CShapeRecord::GetPoint(again->GetShape(1), 0).x, -2.25);
}

TEST_F(ScatternPlugin, FailuresAndCancelAddNoTheme) {
    TempDir dir;
    WriteText(dir.file("blank.txt"), "\n1\t2\n");
    struct Case {
        const char* what;
        std::string file;
        bool accept;
        std::vector<std::string> seen;
    } cases[] = {
        {"file dialog cancelled", "", true, {"Open Text File"}},
        {"definition cancelled", Fixture("stations.txt"), false,
         {"Open Text File", "Text Point Loader Plugin|Error reading file."}},
        {"empty first line", dir.file("blank.txt"), true,
         {"Open Text File", "Text Point Loader Plugin|Error reading file."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.m_Seen.clear();
        dialogs.File(c.file);
        if (!c.file.empty()) {
            const bool accept = c.accept;
            dialogs.Other([accept](QDialog* dialog) { accept ? dialog->accept() : dialog->reject(); });
            dialogs.Button(QMessageBox::Ok);
        }
        CCorvaleDoc doc;
        EXPECT_EQ(doc.AddFromDataSource(ScatternPath()), 0);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_EQ(dialogs.m_Seen, c.seen);
        EXPECT_EQ(dialogs.Pending(), 0u);
    }
    // The last file dialog opened where the file before it was chosen: the
    // fixtures' folder of the second case.
    ASSERT_GE(dialogs.m_Folders.size(), 3u);
    const std::size_t n = dialogs.m_Folders.size();
    EXPECT_EQ(dialogs.m_Folders[n - 1],
              QFileInfo(QString::fromStdString(Fixture("stations.txt"))).absolutePath().toStdString());
}

TEST_F(ScatternPlugin, OkWaitsForAOneCharacterSeparatorAndValidColumns) {
    CCorvaleDoc doc;
    dialogs.File(Fixture("decimal.txt"));
    dialogs.Other([](QDialog* dialog) {
        auto* other = dialog->findChild<QLineEdit*>("4005");
        dialog->findChild<QRadioButton*>("4004")->click();
        other->setText("");
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        other->setText(";");
        dialog->findChild<QLineEdit*>("4001")->setText("0");
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>("4001")->setText("2");
        dialog->findChild<QLineEdit*>("4002")->setText("3");
        dialog->accept();
        EXPECT_FALSE(dialog->isVisible());
    });
    ASSERT_EQ(doc.AddFromDataSource(ScatternPath()), 1);
    CTheme* theme = doc.m_themes.front();
    ASSERT_EQ(theme->GetShapeCount(), 3);
    const CShapePoint p = CShapeRecord::GetPoint(theme->GetShape(0), 0);
    EXPECT_EQ(p.x, 12.5);
    EXPECT_EQ(p.y, -3.25);
}

} // namespace
