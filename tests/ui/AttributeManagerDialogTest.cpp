// The attribute manager and the column editor: what they show, and that the
// theme's columns change on OK only, completely or not at all.

#include "ui/AttributeManagerDialog.h"
#include "ui/AttributeModifierDialog.h"

#include "core/dBaseFile.h"
#include "framework/ScriptedUserInterface.h"
#include "ui/DialogButtons.h"
#include "ui/controls/ColumnExListCtrl.h"

#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace {

using corvale::CScriptedUserInterface;
using corvale::IDNO;
using corvale::IDOK;
using corvale::IDYES;

const char* const kEraseTwo =
    "Continuing will erase 2 entire columns of data.\n\nThis operation cannot be undone.\n\nContinue anyway?";
const char* const kEraseOne =
    "Continuing will erase an entire column of data.\n\nThis operation cannot be undone.\n\nContinue anyway?";
const char* const kDuplicates =
    "Integrity check failed.\n\nThe given columns contain duplicate items.\n\nCorvale failed to set the requested "
    "Primary Key.";

QPushButton* Button(QWidget* dialog, int id) { return Control<QPushButton>(dialog, id); }
CColumnExListCtrl* List(QWidget* dialog) { return Control<CColumnExListCtrl>(dialog, IDC_AMAN_LIST); }

// Clicks list rows; the first click selects, the others add with Ctrl.
void SelectRows(QWidget* dialog, const std::vector<int>& rows) {
    CColumnExListCtrl* list = List(dialog);
    for (std::size_t i = 0; i < rows.size(); ++i)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                          list->visualRect(list->model()->index(rows[i], 1)).center());
}

// Queues the column editor's answer, then presses the button that opens it.
void EditColumn(QWidget* manager, int button, const std::string& name, const std::string& type,
                const std::string& defaultValue = "", const std::string& description = "") {
    WhenModal([=](QWidget* modifier) {
        Control<QLineEdit>(modifier, IDC_AMOD_NAME)->setText(QString::fromStdString(name));
        auto* types = Control<QComboBox>(modifier, IDC_AMOD_TYPE);
        types->setCurrentIndex(types->findText(QString::fromStdString(type)));
        Control<QLineEdit>(modifier, IDC_AMOD_DEFAULT)->setText(QString::fromStdString(defaultValue));
        Control<QPlainTextEdit>(modifier, IDC_AMOD_DESCRIPTION)->setPlainText(QString::fromStdString(description));
        QTest::mouseClick(Button(modifier, IDC_DIALOG_OK), Qt::LeftButton);
    });
    QTest::mouseClick(Button(manager, button), Qt::LeftButton);
}

std::vector<std::string> ColumnNames(const CTheme& theme) {
    std::vector<std::string> names;
    for (unsigned field = 0; field < theme.GetAttributeCount(); ++field)
        names.push_back(theme.GetAttributeName(static_cast<int>(field)));
    return names;
}

std::vector<std::string> ListColumn(QWidget* dialog, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < List(dialog)->GetItemCount(); ++row)
        texts.push_back(List(dialog)->GetItemText(row, column));
    return texts;
}

class AttributeManagerTest : public ::testing::Test {
protected:
    AttributeManagerTest() {
        MakeNativeTheme(theme, {{"NAME", FT_String}, {"CODE", FT_Int}, {"AREA", FT_Double}},
                        {{"a", "1", "1.5"}, {"b", "1", "2"}, {"c", "2", "3"}});
        dialog.m_Theme = &theme;
    }
    // Runs the dialog with the steps done inside it; its answer.
    int Run(std::function<void(QWidget*)> steps) {
        WhenModal(std::move(steps));
        return dialog.DoModal();
    }

    CScriptedUserInterface ui;
    CTheme theme;
    CAttributeManagerDialog dialog;
};

TEST_F(AttributeManagerTest, ShowsTheColumnsAndEnablesTheButtonsByTheSelection) {
    theme.m_NativeTable.SetField(*theme.m_NativeTable.GetField(1), 1, "7", "two\r\nlines\tand a tab");
    theme.SetPrimaryKey({0});
    const int answer = Run([&](QWidget* shown) {
        EXPECT_EQ(shown, &dialog);
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("Attribute Manager"));
        EXPECT_EQ(ListColumn(shown, 0), (std::vector<std::string>{"NAME", "CODE", "AREA"}));
        EXPECT_EQ(ListColumn(shown, 1), (std::vector<std::string>{"FT_String", "FT_Int", "FT_Double"}));
        EXPECT_EQ(List(shown)->GetItemText(1, 2), "7");
        EXPECT_EQ(List(shown)->GetItemText(1, 3), "two lines and a tab");
        EXPECT_FALSE(List(shown)->item(0, 0)->icon().isNull());
        EXPECT_TRUE(List(shown)->item(1, 0)->icon().isNull());
        EXPECT_EQ(dialog.GetEntries()[0].m_Flags, AMF_Key);

        EXPECT_TRUE(Button(shown, IDC_AMAN_ADD)->isEnabled());
        EXPECT_FALSE(Button(shown, IDC_AMAN_CHANGE)->isEnabled());
        EXPECT_FALSE(Button(shown, IDC_AMAN_DELETE)->isEnabled());
        EXPECT_FALSE(Button(shown, IDC_AMAN_PRIMARY_KEY)->isEnabled());
        EXPECT_TRUE(Button(shown, IDC_AMAN_REMOVE_KEYS)->isEnabled());
        SelectRows(shown, {0, 2});
        EXPECT_FALSE(Button(shown, IDC_AMAN_CHANGE)->isEnabled());
        EXPECT_TRUE(Button(shown, IDC_AMAN_DELETE)->isEnabled());
        EXPECT_TRUE(Button(shown, IDC_AMAN_PRIMARY_KEY)->isEnabled());
        SelectRows(shown, {1});
        EXPECT_TRUE(Button(shown, IDC_AMAN_CHANGE)->isEnabled());

        // The table as text, descriptions in one line.
        QTest::mouseClick(Button(shown, IDC_AMAN_COPY_TABLE), Qt::LeftButton);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
                  "Name\tType\tDefault Value\tDescription\r\nNAME\tFT_String\t\t\r\nCODE\tFT_Int\t7\ttwo lines and a "
                  "tab\r\nAREA\tFT_Double\t\t\r\n");
        QTest::mouseClick(Button(shown, IDC_DIALOG_CANCEL), Qt::LeftButton);
    });
    EXPECT_EQ(answer, corvale::IDCANCEL);
}

TEST_F(AttributeManagerTest, AddingAndChangingTakeEffectOnOkOnly) {
    const int answer = Run([&](QWidget* shown) {
        EditColumn(shown, IDC_AMAN_ADD, "POP", "FT_Int", "0", "people\r\ncounted");
        EXPECT_EQ(ListColumn(shown, 0), (std::vector<std::string>{"NAME", "CODE", "AREA", "POP"}));
        EXPECT_EQ(List(shown)->GetItemText(3, 3), "people counted");
        SelectRows(shown, {2});
        EditColumn(shown, IDC_AMAN_CHANGE, "SURFACE", "FT_String", "", "was AREA");
        EXPECT_EQ(List(shown)->GetItemText(2, 0), "SURFACE");
        EXPECT_EQ(dialog.GetEntries()[2].m_Flags, AMF_Changed);
        EXPECT_EQ(dialog.GetEntries()[3].m_Flags, AMF_Added);
        // Nothing reached the theme yet.
        EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "AREA"}));
        EXPECT_FALSE(theme.m_Modified);
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(theme.m_Modified);
    EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "SURFACE", "POP"}));
    EXPECT_EQ(theme.GetAttributeType(2), FT_String);
    EXPECT_EQ(theme.GetAttributeType(3), FT_Int);
    EXPECT_EQ(theme.m_NativeTable.GetDescription(2).value_or(""), "was AREA");
    EXPECT_EQ(theme.m_NativeTable.GetDescription(3).value_or(""), "people\r\ncounted");
    EXPECT_EQ(theme.m_NativeTable.GetDefault(3).value_or(""), "0");
    // The values stay; the new column takes its default in every row.
    EXPECT_EQ(theme.GetAttributeText(0, 2), "1.5");
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(theme.GetAttributeText(row, 3), "0") << row;
}

TEST_F(AttributeManagerTest, AColumnAddedAndDeletedBeforeOkLeavesNoTrace) {
    const int answer = Run([&](QWidget* shown) {
        EditColumn(shown, IDC_AMAN_ADD, "TEMP", "FT_String");
        SelectRows(shown, {3});
        QTest::mouseClick(Button(shown, IDC_AMAN_DELETE), Qt::LeftButton);
        EXPECT_EQ(dialog.GetEntries().size(), 3u);
        EXPECT_FALSE(Button(shown, IDC_AMAN_DELETE)->isEnabled());
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_TRUE(ui.shown.empty()) << "no question for a column that never was";
    EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "AREA"}));
    EXPECT_FALSE(theme.m_Modified);
}

TEST_F(AttributeManagerTest, DeletingColumnsAsksFirstAndNoKeepsEverything) {
    ui.messageAnswers = {IDNO, IDYES};
    const int answer = Run([&](QWidget* shown) {
        SelectRows(shown, {0, 2});
        QTest::mouseClick(Button(shown, IDC_AMAN_DELETE), Qt::LeftButton);
        EXPECT_EQ(ListColumn(shown, 0), (std::vector<std::string>{"CODE"}));
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
        // No: the dialog stays and the theme is as it was.
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "AREA"}));
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    ASSERT_EQ(ui.Messages(), (std::vector<std::string>{kEraseTwo, kEraseTwo}));
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Warning);
    EXPECT_EQ(ui.shown[0].buttons, corvale::MessageButtons::YesNo);
    EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"CODE"}));
    EXPECT_EQ(theme.GetAttributeText(2, 0), "2");
    EXPECT_TRUE(theme.m_Modified);
}

// The key is counted on the columns as they stand after the deletions.
TEST_F(AttributeManagerTest, TwoSelectedRowsMakeATwoColumnKeyAfterADeletion) {
    ui.messageAnswers = {IDYES};
    const int answer = Run([&](QWidget* shown) {
        SelectRows(shown, {0});
        QTest::mouseClick(Button(shown, IDC_AMAN_DELETE), Qt::LeftButton);
        SelectRows(shown, {1, 0});
        QTest::mouseClick(Button(shown, IDC_AMAN_PRIMARY_KEY), Qt::LeftButton);
        EXPECT_FALSE(List(shown)->item(0, 0)->icon().isNull());
        EXPECT_FALSE(List(shown)->item(1, 0)->icon().isNull());
        EXPECT_TRUE(Button(shown, IDC_AMAN_REMOVE_KEYS)->isEnabled());
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{kEraseOne});
    EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"CODE", "AREA"}));
    std::vector<int> key;
    theme.m_NativeTable.GetPrimaryKey(key);
    EXPECT_EQ(key, (std::vector<int>{0, 1}));
}

// A refused key undoes the column changes of the same OK, so a second OK
// starts from the table as it was and adds nothing twice.
TEST_F(AttributeManagerTest, ARefusedKeyLeavesTheTableUnchangedAndASecondOkAppliesOnce) {
    const CNativeAttributeTable before = theme.m_NativeTable;
    ui.messageAnswers = {IDYES, IDOK, IDYES};
    const int answer = Run([&](QWidget* shown) {
        EditColumn(shown, IDC_AMAN_ADD, "EXTRA", "FT_String", "x");
        SelectRows(shown, {2});
        QTest::mouseClick(Button(shown, IDC_AMAN_DELETE), Qt::LeftButton);
        SelectRows(shown, {1}); // CODE holds 1 twice
        QTest::mouseClick(Button(shown, IDC_AMAN_PRIMARY_KEY), Qt::LeftButton);
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);

        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "AREA"}));
        EXPECT_EQ(theme.m_NativeTable.GetFieldCount(), before.GetFieldCount());
        EXPECT_EQ(theme.GetAttributeText(1, 2), "2");
        EXPECT_FALSE(theme.IsKeyAttribute(1));
        EXPECT_FALSE(theme.m_Modified);

        SelectRows(shown, {0});
        QTest::mouseClick(Button(shown, IDC_AMAN_PRIMARY_KEY), Qt::LeftButton);
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    ASSERT_EQ(ui.Messages(), (std::vector<std::string>{kEraseOne, kDuplicates, kEraseOne}));
    EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Error);
    EXPECT_EQ(ColumnNames(theme), (std::vector<std::string>{"NAME", "CODE", "EXTRA"}));
    EXPECT_TRUE(theme.IsKeyAttribute(0));
    EXPECT_FALSE(theme.IsKeyAttribute(1));
    EXPECT_EQ(theme.GetAttributeText(2, 2), "x");
}

TEST_F(AttributeManagerTest, RemoveKeysClearsTheKeyOnOk) {
    theme.SetPrimaryKey({1, 2});
    theme.m_Modified = false;
    const int answer = Run([&](QWidget* shown) {
        QTest::mouseClick(Button(shown, IDC_AMAN_REMOVE_KEYS), Qt::LeftButton);
        EXPECT_FALSE(Button(shown, IDC_AMAN_REMOVE_KEYS)->isEnabled());
        EXPECT_TRUE(List(shown)->item(1, 0)->icon().isNull());
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    std::vector<int> key;
    theme.m_NativeTable.GetPrimaryKey(key);
    EXPECT_TRUE(key.empty());
    EXPECT_TRUE(theme.m_Modified);
}

// A shape-file theme only shows its columns: its table is never written.
TEST(AttributeManagerShapeFile, ShowsTheDbaseColumnsAndWritesNothing) {
    TempDir folder;
    CTheme theme;
    ASSERT_TRUE(OpenShapeFileTheme(theme, folder));
    const auto dbfBefore = ReadBytes(folder.file("points.dbf"));
    const bool modified = theme.m_Modified;

    // The columns as ogrinfo reads them (tests/data/dbf/make_fixtures.sh).
    std::ifstream ogrinfo(kTestData + "/dbf/gdal.ogrinfo.txt");
    const std::regex fieldLine(R"(^(\w+): (String|Integer|Real|Date) \()");
    const std::map<std::string, std::string> typeNames = {
        {"String", "FT_String"}, {"Integer", "FT_Int"}, {"Real", "FT_Double"}, {"Date", "FT_Date"}};
    std::vector<std::string> names;
    std::vector<std::string> types;
    for (std::string line; std::getline(ogrinfo, line);) {
        std::smatch match;
        if (std::regex_search(line, match, fieldLine)) {
            names.push_back(match[1]);
            types.push_back(typeNames.at(match[2]));
        }
    }
    ASSERT_EQ(names.size(), 5u);

    CScriptedUserInterface ui;
    CAttributeManagerDialog dialog;
    dialog.m_Theme = &theme;
    WhenModal([&](QWidget* shown) {
        EXPECT_EQ(ListColumn(shown, 0), names);
        EXPECT_EQ(ListColumn(shown, 1), types);
        for (int id : {IDC_AMAN_ADD, IDC_AMAN_CHANGE, IDC_AMAN_DELETE, IDC_AMAN_PRIMARY_KEY, IDC_AMAN_REMOVE_KEYS})
            EXPECT_FALSE(Button(shown, id)->isEnabled()) << id;
        SelectRows(shown, {1});
        EXPECT_FALSE(Button(shown, IDC_AMAN_DELETE)->isEnabled());
        // A double-click changes nothing either.
        CColumnExListCtrl* list = List(shown);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                           list->visualRect(list->model()->index(1, 0)).center());
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(theme.m_Modified, modified);
    EXPECT_EQ(ReadBytes(folder.file("points.dbf")), dbfBefore);
    EXPECT_EQ(ColumnNames(theme), names);
}

TEST(AttributeModifier, ANonStandardNameIsKeptOnlyAfterYes) {
    CScriptedUserInterface ui;
    ui.messageAnswers = {IDNO, IDYES};
    CAttributeModifierDialog modifier;
    modifier.m_Caption = "Change Attribute";
    modifier.m_Name = "NAME";
    modifier.m_TypeName = "FT_Double";
    modifier.m_Description = "first\r\nsecond";
    WhenModal([&](QWidget* shown) {
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("Change Attribute"));
        auto* types = Control<QComboBox>(shown, IDC_AMOD_TYPE);
        EXPECT_EQ(types->count(), 5);
        EXPECT_EQ(types->currentText(), QStringLiteral("FT_Double"));
        auto* name = Control<QLineEdit>(shown, IDC_AMOD_NAME);
        name->setText(QStringLiteral("ELEVENCHARS"));
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
        // No: the dialog stays with the name selected for correction.
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(name->selectedText(), QStringLiteral("ELEVENCHARS"));
        EXPECT_EQ(modifier.m_Name, "NAME");
        QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(modifier.DoModal(), IDOK);
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0],
              "Attribute name does not conform to the shape file standard.\n\nIf this attribute name is exported to a "
              "shape file,\nthe name will be changed to obey the standard.\n\nContinue anyway?");
    EXPECT_EQ(modifier.m_Name, "ELEVENCHARS");
    EXPECT_EQ(modifier.m_TypeName, "FT_Double");
    EXPECT_EQ(modifier.m_Description, "first\r\nsecond");

    // A standard name asks nothing.
    CAttributeModifierDialog plain;
    plain.m_Name = "ROAD_2";
    plain.m_TypeName = "FT_String";
    WhenModal([&](QWidget* shown) { QTest::mouseClick(Button(shown, IDC_DIALOG_OK), Qt::LeftButton); });
    EXPECT_EQ(plain.DoModal(), IDOK);
    EXPECT_EQ(ui.Messages().size(), 2u);
}

} // namespace
