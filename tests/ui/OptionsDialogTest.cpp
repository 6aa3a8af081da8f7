// The options dialog: its tree of pages, OK and Cancel over a settings copy,
// the range checks, the colour pickers' "Automatic" choice, the colour theme
// list, and the console page's file buttons.

#include "ui/OptionsDialog.h"
#include "ui/ColorThemeEditDialog.h"
#include "ui/controls/ColorListBox.h"
#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/ColourPopupXP.h"

#include "StyleControlsTestSupport.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using General = COptionsPageGeneral;
using Colors = COptionsPageColor;
using Themes = COptionsPageColorTheme;
using Data = COptionsPageData;
using Console = COptionsPageConsole;
using Plugins = COptionsPagePlugins;

template <class T> T* Must(QWidget* parent, int id) {
    T* control = Control<T>(parent, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

// Settings in which no field has its default, so a field the dialog forgets
// to carry shows.
CAppSettings Unusual() {
    CAppSettings s;
    s.m_LoadToBottom = 0;
    s.m_Performance = 1;
    s.m_ThemesVisible = 0;
    s.m_LoadLatestWorkspace = 1;
    s.m_UnloadHiddenRasters = 1;
    s.m_MouseWheelZoom = 0;
    s.m_ColorSelection = 0x00FF00;
    s.m_ColorSelectionOutline = 0x808080;
    s.m_ColorBkgnd = 0x102030;
    s.m_ColorDefault = 0x405060;
    s.m_ColorOutline = 0x708090;
    s.m_LoaderOverride = 1;
    s.m_ColorThemes = {CColorTheme("One", {0x1, 0x2}), CColorTheme("Two", {0x3})};
    s.m_DataViewPrecision = 3;
    s.m_CCTemplate = "<X>;<Y>";
    s.m_AutoLocate = 1;
    s.m_DynamicHelpLevel = 2;
    s.m_ConsoleColorScheme = 0;
    s.m_ConsoleAutoRun = "/tmp/auto.scr";
    s.m_ConsoleMaxCallDepth = 77;
    s.m_ConsoleBufferSize_kB = 5;
    s.m_UserScripts = {"a.js", "", "", "", "", "f.js"};
    s.m_LockPlugins = 1;
    return s;
}

// Every field, for comparing two settings objects field by field.
void ExpectSame(const CAppSettings& a, const CAppSettings& b) {
    EXPECT_EQ(a.m_LoadToBottom, b.m_LoadToBottom);
    EXPECT_EQ(a.m_Performance, b.m_Performance);
    EXPECT_EQ(a.m_ThemesVisible, b.m_ThemesVisible);
    EXPECT_EQ(a.m_LoadLatestWorkspace, b.m_LoadLatestWorkspace);
    EXPECT_EQ(a.m_UnloadHiddenRasters, b.m_UnloadHiddenRasters);
    EXPECT_EQ(a.m_MouseWheelZoom, b.m_MouseWheelZoom);
    EXPECT_EQ(a.m_ColorSelection, b.m_ColorSelection);
    EXPECT_EQ(a.m_ColorSelectionOutline, b.m_ColorSelectionOutline);
    EXPECT_EQ(a.m_ColorBkgnd, b.m_ColorBkgnd);
    EXPECT_EQ(a.m_ColorDefault, b.m_ColorDefault);
    EXPECT_EQ(a.m_ColorOutline, b.m_ColorOutline);
    EXPECT_EQ(a.m_LoaderOverride, b.m_LoaderOverride);
    EXPECT_EQ(a.m_ColorThemes, b.m_ColorThemes);
    EXPECT_EQ(a.m_DataViewPrecision, b.m_DataViewPrecision);
    EXPECT_EQ(a.m_CCTemplate, b.m_CCTemplate);
    EXPECT_EQ(a.m_AutoLocate, b.m_AutoLocate);
    EXPECT_EQ(a.m_DynamicHelpLevel, b.m_DynamicHelpLevel);
    EXPECT_EQ(a.m_ConsoleColorScheme, b.m_ConsoleColorScheme);
    EXPECT_EQ(a.m_ConsoleAutoRun, b.m_ConsoleAutoRun);
    EXPECT_EQ(a.m_ConsoleMaxCallDepth, b.m_ConsoleMaxCallDepth);
    EXPECT_EQ(a.m_ConsoleBufferSize_kB, b.m_ConsoleBufferSize_kB);
    EXPECT_EQ(a.m_UserScripts, b.m_UserScripts);
    EXPECT_EQ(a.m_LockPlugins, b.m_LockPlugins);
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void Open(const CAppSettings& start = Unusual()) {
        settings = start;
        dialog.SetSettings(&settings);
        dialog.SetMainDirectory("/opt/corvale/");
        dialog.SetPluginFolder("/opt/corvale/Plugins");
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Selects a page in the tree by its title.
    void Select(const QString& title) {
        const QList<QTreeWidgetItem*> found =
            dialog.GetTree()->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << title.toStdString();
        dialog.GetTree()->setCurrentItem(found.front());
    }

    void ClickOk() { QTest::mouseClick(Must<QPushButton>(&dialog, COptionsDialog::IDC_OK), Qt::LeftButton); }

    // Changes every control of every page away from Unusual().
    void ChangeEverything() {
        QWidget* general = dialog.GetGeneralPage();
        Must<QRadioButton>(general, General::IDC_AddLast)->click();
        Must<QSlider>(general, General::IDC_Performance)->setValue(0);
        Must<QCheckBox>(general, General::IDC_ThemesVisible)->click();
        Must<QCheckBox>(general, General::IDC_LoadLatest)->click();
        Must<QCheckBox>(general, General::IDC_UnloadRasters)->click();

        QWidget* colours = dialog.GetColorPage();
        Must<CColourPickerXP>(colours, Colors::IDC_Background)->SetColour(0x111111);
        Must<CColourPickerXP>(colours, Colors::IDC_Default)->SetColour(0x222222);
        Must<CColourPickerXP>(colours, Colors::IDC_Selection)->SetColour(0x333333);
        Must<CColourPickerXP>(colours, Colors::IDC_SelectionOutline)->SetColour(0x444444);
        Must<CColourPickerXP>(colours, Colors::IDC_Background)->OnPopupMessage(PCM_ColourAccepted, 0x111111);
        Must<QCheckBox>(colours, Colors::IDC_LoaderOverride)->click();

        dialog.GetColorThemePage()->OnDelete();

        QWidget* data = dialog.GetDataPage();
        Must<QLineEdit>(data, Data::IDC_Precision)->setText("12");
        Must<QLineEdit>(data, Data::IDC_Template)->setText("<Y> <X>");
        Must<QCheckBox>(data, Data::IDC_AutoLocate)->click();

        QWidget* console = dialog.GetConsolePage();
        Must<QRadioButton>(console, Console::IDC_WhiteOnBlack)->click();
        Must<QLineEdit>(console, Console::IDC_AutoRun)->setText("/tmp/other.scr");
        Must<QLineEdit>(console, Console::IDC_MaxCallDepth)->setText("500");
        Must<QLineEdit>(console, Console::IDC_BufferSize)->setText("32");

        Must<QCheckBox>(dialog.GetPluginsPage(), Plugins::IDC_LockPlugins)->click();
    }

    corvale::CScriptedUserInterface ui;
    CAppSettings settings;
    COptionsDialog dialog;
};

} // namespace

TEST_F(OptionsDialogTest, TheTreeListsThePagesAndTheirHelpContexts) {
    Open();
    EXPECT_EQ(dialog.windowTitle(), "Corvale Options");
    QTreeWidget* tree = dialog.GetTree();
    ASSERT_EQ(tree->topLevelItemCount(), 6);
    const char* titles[] = {"General", "Colors", "Color Themes", "Data", "Console", "Plugins"};
    const int ids[] = {General::IDD, Colors::IDD, Themes::IDD, Data::IDD, Console::IDD, Plugins::IDD};
    for (int i = 0; i < 6; ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        EXPECT_EQ(item->text(0).toStdString(), titles[i]);
        tree->setCurrentItem(item);
        EXPECT_EQ(dialog.GetHelpContext(), 0x20000 + ids[i]) << titles[i];
        ASSERT_NE(dialog.GetCurrentPage(), nullptr);
        EXPECT_TRUE(dialog.GetCurrentPage()->isVisible());
        // Inside the dialog, right of the tree, not a window of its own.
        EXPECT_FALSE(dialog.GetCurrentPage()->isWindow());
        EXPECT_EQ(dialog.GetCurrentPage()->window(), &dialog);
        EXPECT_GT(dialog.GetCurrentPage()->geometry().left(), tree->geometry().right());
        // Only the selected page shows.
        int visible = 0;
        for (QWidget* page : std::initializer_list<QWidget*>{dialog.GetGeneralPage(), dialog.GetColorPage(),
                                                             dialog.GetColorThemePage(), dialog.GetDataPage(),
                                                             dialog.GetConsolePage(), dialog.GetPluginsPage()})
            visible += page->isVisible() ? 1 : 0;
        EXPECT_EQ(visible, 1);
    }
    EXPECT_EQ(0x20000 + General::IDD, 0x20493);
    EXPECT_EQ(0x20000 + Console::IDD, 0x2045D);
    EXPECT_EQ(COptionsDialog::kOwnHelpContext, 0x2045A);
    EXPECT_TRUE(dialog.GetPluginsItem()->isExpanded());
}

TEST_F(OptionsDialogTest, TheDialogOpensOnGeneralWithTheFolders) {
    Open();
    EXPECT_EQ(dialog.GetCurrentPage(), dialog.GetGeneralPage());
    EXPECT_EQ(dialog.GetTree()->currentItem()->text(0), "General");
    // The trailing separator goes.
    EXPECT_EQ(Must<QLineEdit>(dialog.GetGeneralPage(), General::IDC_MainDirectory)->text(), "/opt/corvale");
    EXPECT_TRUE(Must<QLineEdit>(dialog.GetGeneralPage(), General::IDC_MainDirectory)->isReadOnly());
    EXPECT_EQ(Must<QLineEdit>(dialog.GetPluginsPage(), Plugins::IDC_Folder)->text(), "/opt/corvale/Plugins");
    // The slider runs the other way from the value.
    EXPECT_EQ(Must<QSlider>(dialog.GetGeneralPage(), General::IDC_Performance)->value(), 1);
}

TEST_F(OptionsDialogTest, OkStoresEveryFieldAndLeavesTheOthers) {
    Open();
    ChangeEverything();
    ClickOk();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    dialog.StoreSettings();

    CAppSettings expected = Unusual();
    expected.m_LoadToBottom = 1;
    expected.m_Performance = 2;
    expected.m_ThemesVisible = 1;
    expected.m_LoadLatestWorkspace = 0;
    expected.m_UnloadHiddenRasters = 0;
    expected.m_ColorBkgnd = 0x111111;
    expected.m_ColorDefault = 0x222222;
    expected.m_ColorSelection = 0x333333;
    expected.m_ColorSelectionOutline = 0x444444;
    expected.m_LoaderOverride = 0;
    expected.m_ColorThemes = {CColorTheme("Two", {0x3})};
    expected.m_DataViewPrecision = 12;
    expected.m_CCTemplate = "<Y> <X>";
    expected.m_AutoLocate = 0;
    expected.m_ConsoleColorScheme = 1;
    expected.m_ConsoleAutoRun = "/tmp/other.scr";
    expected.m_ConsoleMaxCallDepth = 500;
    expected.m_ConsoleBufferSize_kB = 32;
    expected.m_LockPlugins = 0;
    // MouseWheelZoom, ColorOutline, DynamicHelpLevel and the script bindings
    // have no control and stay as they were.
    ExpectSame(settings, expected);
}

TEST_F(OptionsDialogTest, CancelChangesNothingInTheCopyOrTheStore) {
    const std::string store = ConfigHome() + "/Corvale/Corvale2.ini";
    const bool storeExisted = std::ifstream(store).good();
    const std::vector<unsigned char> before = storeExisted ? ReadBytes(store) : std::vector<unsigned char>();
    Open();
    ChangeEverything();
    QTest::mouseClick(Must<QPushButton>(&dialog, COptionsDialog::IDC_Cancel), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ExpectSame(settings, Unusual());
    EXPECT_EQ(std::ifstream(store).good(), storeExisted);
    if (storeExisted) {
        EXPECT_EQ(ReadBytes(store), before);
    }
}

TEST_F(OptionsDialogTest, RangesAreCheckedOnOk) {
    struct Case {
        const char* name;
        QString page;
        int pageIndex;
        int field;
        const char* text;
        bool accepted;
        const char* message;
    };
    const char* depthRange = "Please enter an integer between 1 and 500.";
    const char* bufferRange = "Please enter an integer between 1 and 32.";
    const char* precisionRange = "Please enter an integer between 0 and 56.";
    const Case cases[] = {
        {"depth 501", "Console", 4, Console::IDC_MaxCallDepth, "501", false, depthRange},
        {"depth 500", "Console", 4, Console::IDC_MaxCallDepth, "500", true, nullptr},
        {"depth 1", "Console", 4, Console::IDC_MaxCallDepth, "1", true, nullptr},
        {"depth 0", "Console", 4, Console::IDC_MaxCallDepth, "0", false, depthRange},
        {"depth text", "Console", 4, Console::IDC_MaxCallDepth, "many", false, "Please enter an integer."},
        {"depth huge", "Console", 4, Console::IDC_MaxCallDepth, "99999999999999", false, "Please enter an integer."},
        {"buffer 33", "Console", 4, Console::IDC_BufferSize, "33", false, bufferRange},
        {"buffer 32", "Console", 4, Console::IDC_BufferSize, "32", true, nullptr},
        {"buffer 0", "Console", 4, Console::IDC_BufferSize, "0", false, bufferRange},
        {"precision 57", "Data", 3, Data::IDC_Precision, "57", false, precisionRange},
        {"precision 56", "Data", 3, Data::IDC_Precision, "56", true, nullptr},
        {"precision 0", "Data", 3, Data::IDC_Precision, "0", true, nullptr},
        {"precision -1", "Data", 3, Data::IDC_Precision, "-1", false, precisionRange},
        {"precision empty", "Data", 3, Data::IDC_Precision, "", false, "Please enter an integer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvale::CScriptedUserInterface answers;
        COptionsDialog dlg;
        CAppSettings copy = Unusual();
        dlg.SetSettings(&copy);
        dlg.show();
        QWidget* page = c.pageIndex == 3 ? static_cast<QWidget*>(dlg.GetDataPage()) : dlg.GetConsolePage();
        Must<QLineEdit>(page, c.field)->setText(QString::fromLatin1(c.text));
        // OK from another page: a refusal brings the field's page back.
        dlg.GetTree()->setCurrentItem(dlg.GetTree()->topLevelItem(0));
        QTest::mouseClick(Must<QPushButton>(&dlg, COptionsDialog::IDC_OK), Qt::LeftButton);
        if (c.accepted) {
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_TRUE(answers.Messages().empty());
            dlg.StoreSettings();
            const int expected = std::atoi(c.text);
            const int stored = c.field == Console::IDC_MaxCallDepth ? copy.m_ConsoleMaxCallDepth
                               : c.field == Console::IDC_BufferSize ? copy.m_ConsoleBufferSize_kB
                                                                    : copy.m_DataViewPrecision;
            EXPECT_EQ(stored, expected);
        } else {
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_NE(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(answers.Messages(), std::vector<std::string>{c.message});
            EXPECT_EQ(dlg.GetTree()->currentItem()->text(0), c.page);
            EXPECT_EQ(dlg.GetCurrentPage(), page);
            // The page keeps its previous value.
            EXPECT_EQ(dlg.GetConsolePage()->m_ConsoleMaxCallDepth, 77);
            EXPECT_EQ(dlg.GetConsolePage()->m_ConsoleBufferSize_kB, 5);
            EXPECT_EQ(dlg.GetDataPage()->m_DataViewPrecision, 3);
        }
    }
}

TEST_F(OptionsDialogTest, TheAutomaticColourRevertsToEachPickersDefault) {
    Open();
    Select("Colors");
    struct Case {
        int id;
        std::uint32_t fallback;
        std::uint32_t Colors::*member;
    };
    const Case cases[] = {{Colors::IDC_Background, 0xFFFFFF, &Colors::m_ColorBkgnd},
                          {Colors::IDC_Default, 0xFF0000, &Colors::m_ColorDefault},
                          {Colors::IDC_Selection, 0x0000FF, &Colors::m_ColorSelection},
                          {Colors::IDC_SelectionOutline, 0x000000, &Colors::m_ColorSelectionOutline}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        auto* picker = Must<CColourPickerXP>(dialog.GetColorPage(), c.id);
        QTest::mouseClick(picker, Qt::LeftButton);
        CColourPopupXP* popup = picker->GetPopup();
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(popup->HasEntry(CColourPopupXP::kDefaultEntry));
        const QPoint at = popup->GetEntryRect(CColourPopupXP::kDefaultEntry).center();
        SendMouse(popup, QEvent::MouseMove, at);
        SendMouse(popup, QEvent::MouseButtonPress, at);
        SendMouse(popup, QEvent::MouseButtonRelease, at);
        FlushDeletes();
        EXPECT_EQ(picker->GetStoredColour(), c.fallback);
        EXPECT_EQ(dialog.GetColorPage()->*(c.member), c.fallback);
    }
    ClickOk();
    dialog.StoreSettings();
    EXPECT_EQ(settings.m_ColorSelection, 0x0000FFu);
    EXPECT_EQ(settings.m_ColorBkgnd, 0xFFFFFFu);
}

TEST_F(OptionsDialogTest, ResetAndThePreview) {
    Open();
    Select("Colors");
    COptionsPageColor* page = dialog.GetColorPage();
    QImage image(200, 100, QImage::Format_RGB32);
    auto draw = [&] {
        image.fill(Qt::magenta);
        QPainter painter(&image);
        page->DrawPreview(painter, image.rect());
    };
    draw();
    // Below the caption, the map shows the background colour; the polygons
    // show the default colour on the left and the selection colour on the right.
    EXPECT_EQ(ColourAt(image, 50, 96), 0x102030u);
    const int polygonY = 18 + 1 + 41;
    EXPECT_EQ(ColourAt(image, 75, polygonY), 0x405060u);
    EXPECT_EQ(ColourAt(image, 175, polygonY), 0x00FF00u);

    QTest::mouseClick(Must<QPushButton>(page, Colors::IDC_Reset), Qt::LeftButton);
    EXPECT_EQ(page->m_ColorBkgnd, 0xFFFFFFu);
    EXPECT_EQ(page->m_ColorDefault, 0xFF0000u);
    EXPECT_EQ(page->m_ColorSelection, 0x0000FFu);
    EXPECT_EQ(page->m_ColorSelectionOutline, 0u);
    EXPECT_EQ(Must<CColourPickerXP>(page, Colors::IDC_Selection)->GetStoredColour(), 0x0000FFu);
    draw();
    EXPECT_EQ(ColourAt(image, 50, 96), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(image, 75, polygonY), 0xFF0000u);
    EXPECT_EQ(ColourAt(image, 175, polygonY), 0x0000FFu);
}

TEST_F(OptionsDialogTest, ColorThemesAreAddedEditedAndDeleted) {
    Open();
    Select("Color Themes");
    COptionsPageColorTheme* page = dialog.GetColorThemePage();
    auto* names = Must<QListWidget>(page, Themes::IDC_Names);
    auto* colours = Must<CColorListBox>(page, Themes::IDC_Colors);
    auto* remove = Must<QPushButton>(page, Themes::IDC_Delete);
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(names->currentRow(), 0);
    ASSERT_EQ(colours->count(), 2);
    EXPECT_EQ(colours->GetColor(1), 0x2u);
    names->setCurrentRow(1);
    EXPECT_EQ(colours->count(), 1);

    // Add: the editor comes up titled "Add Color Theme" on an empty theme.
    WhenModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Add Color Theme");
        Control<QLineEdit>(modal, CColorThemeEditDialog::IDC_Name)->setText("Three");
        Control<QPushButton>(modal, CColorThemeEditDialog::IDC_AddColor)->click();
        Control<QPushButton>(modal, CColorThemeEditDialog::IDC_OK)->click();
    });
    QTest::mouseClick(Must<QPushButton>(page, Themes::IDC_Add), Qt::LeftButton);
    ASSERT_EQ(page->m_ColorThemes.size(), 3u);
    EXPECT_EQ(page->m_ColorThemes[2].m_Name, "Three");
    EXPECT_EQ(names->count(), 3);
    EXPECT_EQ(names->currentRow(), 2);

    // Edit on a copy: Cancel keeps the theme, OK replaces it.
    names->setCurrentRow(0);
    WhenModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Edit Color Theme");
        EXPECT_EQ(Control<QLineEdit>(modal, CColorThemeEditDialog::IDC_Name)->text(), "One");
        Control<QLineEdit>(modal, CColorThemeEditDialog::IDC_Name)->setText("Changed");
        static_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(Must<QPushButton>(page, Themes::IDC_Edit), Qt::LeftButton);
    EXPECT_EQ(page->m_ColorThemes[0].m_Name, "One");
    WhenModal([](QWidget* modal) {
        Control<QLineEdit>(modal, CColorThemeEditDialog::IDC_Name)->setText("Uno");
        Control<QPushButton>(modal, CColorThemeEditDialog::IDC_OK)->click();
    });
    QTest::mouseClick(Must<QPushButton>(page, Themes::IDC_Edit), Qt::LeftButton);
    EXPECT_EQ(page->m_ColorThemes[0].m_Name, "Uno");
    EXPECT_EQ(page->m_ColorThemes[0].m_Colors, (std::vector<std::uint32_t>{0x1, 0x2}));
    EXPECT_EQ(names->item(0)->text(), "Uno");

    // Delete empties the list; Delete and Edit then have nothing to act on.
    while (names->count() > 0)
        QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_TRUE(page->m_ColorThemes.empty());
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(Must<QPushButton>(page, Themes::IDC_Edit)->isEnabled());
    EXPECT_EQ(colours->count(), 0);
}

TEST_F(OptionsDialogTest, DeletingEveryColorThemeBringsBackTheBuiltInsOnTheNextStart) {
    TempDir dir;
    QSettings store(QString::fromStdString(dir.file("store.ini")), QSettings::IniFormat);
    CAppSettings start = Unusual();
    ASSERT_TRUE(start.Save(store));
    store.sync();
    CAppSettings loaded;
    loaded.Load(store);
    ASSERT_EQ(loaded.m_ColorThemes.size(), 2u);

    Open(loaded);
    Select("Color Themes");
    while (!dialog.GetColorThemePage()->m_ColorThemes.empty())
        dialog.GetColorThemePage()->OnDelete();
    ClickOk();
    dialog.StoreSettings();
    EXPECT_TRUE(settings.m_ColorThemes.empty());
    ASSERT_TRUE(settings.Save(store));
    store.sync();

    // The next start finds no stored theme and takes the five built-in ones.
    QSettings reopened(QString::fromStdString(dir.file("store.ini")), QSettings::IniFormat);
    CAppSettings next;
    next.m_ColorThemes.clear();
    next.Load(reopened);
    EXPECT_EQ(next.m_ColorThemes, GetBuiltInColorThemes());
    EXPECT_EQ(next.m_ColorThemes.size(), 5u);
}

TEST_F(OptionsDialogTest, TheTemplateButtonsReplaceTheSelectionUndoably) {
    Open();
    Select("Data");
    auto* edit = Must<QLineEdit>(dialog.GetDataPage(), Data::IDC_Template);
    edit->setText("a-b");
    edit->setSelection(1, 1);
    QTest::mouseClick(Must<QPushButton>(dialog.GetDataPage(), Data::IDC_InsertX), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "a<X>b");
    edit->setCursorPosition(0);
    QTest::mouseClick(Must<QPushButton>(dialog.GetDataPage(), Data::IDC_InsertY), Qt::LeftButton);
    edit->end(false);
    QTest::mouseClick(Must<QPushButton>(dialog.GetDataPage(), Data::IDC_InsertTab), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "<Y>a<X>b<TAB>");
    EXPECT_EQ(dialog.GetDataPage()->m_CCTemplate, "<Y>a<X>b<TAB>");
    edit->undo();
    EXPECT_EQ(edit->text(), "<Y>a<X>b");

    // The long text of the locate check wraps beside the box; a click on it
    // toggles the box.
    auto* locate = Must<QCheckBox>(dialog.GetDataPage(), Data::IDC_AutoLocate);
    QLabel* text = nullptr;
    for (QLabel* label : dialog.GetDataPage()->findChildren<QLabel*>())
        if (label->buddy() == locate)
            text = label;
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text().startsWith("Automatically locate data selection.\nThis option only affects"));
    const bool wasChecked = locate->isChecked();
    QTest::mouseClick(text, Qt::LeftButton);
    EXPECT_NE(locate->isChecked(), wasChecked);
    EXPECT_EQ(dialog.GetDataPage()->m_AutoLocate, locate->isChecked() ? 1 : 0);
}

TEST_F(OptionsDialogTest, TheAutoRunFileButtons) {
    Open();
    Select("Console");
    COptionsPageConsole* page = dialog.GetConsolePage();
    auto* field = Must<QLineEdit>(page, Console::IDC_AutoRun);
    auto* edit = Must<QPushButton>(page, Console::IDC_EditAutoRun);
    std::vector<std::string> edited;
    COptionsPage::Editor() = [&edited](const std::string& file) { edited.push_back(file); };

    // "..." takes a chosen file.
    ui.openAnswers.push_back({"/data/start.scr"});
    QTest::mouseClick(Must<QPushButton>(page, Console::IDC_Browse), Qt::LeftButton);
    ASSERT_EQ(ui.openRequests.size(), 1u);
    EXPECT_EQ(ui.openRequests[0].title, "Select Script File");
    EXPECT_EQ(ui.openRequests[0].filter, "Script Files (*.scr;*.txt)|*.scr;*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(field->text(), "/data/start.scr");

    field->clear();
    EXPECT_FALSE(edit->isEnabled());

    TempDir dir;
    const std::string missing = dir.file("auto.scr");
    const char* ask = "The file does not exist.\n\nDo you want to create the file?";
    struct Case {
        const char* name;
        std::string path;
        int answer;
        std::vector<std::string> messages;
        bool exists;
        bool opened;
    };
    const Case cases[] = {
        {"declined", missing, corvale::IDNO, {ask}, false, false},
        {"created", missing, corvale::IDYES, {ask}, true, true},
        {"existing", missing, 0, {}, true, true},
        {"uncreatable", dir.file("no/such/folder/auto.scr"), corvale::IDYES, {ask, "The file could not be created!"},
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvale::CScriptedUserInterface answers;
        if (c.answer != 0)
            answers.messageAnswers.push_back(c.answer);
        edited.clear();
        field->setText(QString::fromStdString(c.path));
        EXPECT_TRUE(edit->isEnabled());
        QTest::mouseClick(edit, Qt::LeftButton);
        EXPECT_EQ(answers.Messages(), c.messages);
        EXPECT_EQ(FileExists(c.path), c.exists);
        EXPECT_EQ(edited, c.opened ? std::vector<std::string>{c.path} : std::vector<std::string>{});
    }
    COptionsPage::Editor() = nullptr;
}

TEST_F(OptionsDialogTest, ExploreOpensTheShownFolder) {
    std::vector<std::string> opened;
    COptionsPage::Explorer() = [&opened](const std::string& folder) { opened.push_back(folder); };
    Open();
    QTest::mouseClick(Must<QPushButton>(dialog.GetGeneralPage(), General::IDC_Explore), Qt::LeftButton);
    Select("Plugins");
    QTest::mouseClick(Must<QPushButton>(dialog.GetPluginsPage(), Plugins::IDC_Explore), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{"/opt/corvale", "/opt/corvale/Plugins"}));
    COptionsPage::Explorer() = nullptr;
}

namespace {

// A page from outside, as the plug-in lists are added.
class CCountingPage : public COptionsPage {
public:
    void Load(const CAppSettings& settings) override { loaded = settings.m_LockPlugins; }
    void Store(CAppSettings& settings) const override { settings.m_MouseWheelZoom = 42; }
    bool UpdateData(bool save) override {
        if (save)
            ++checks;
        return !refuse;
    }
    int loaded = -1;
    int checks = 0;
    bool refuse = false;
};

} // namespace

TEST_F(OptionsDialogTest, AddedPagesSitBelowPluginsAndTakePartInOk) {
    auto* page = new CCountingPage;
    QTreeWidgetItem* item = dialog.AddPage(page, "GPI", 1239, dialog.GetPluginsItem());
    Open();
    ASSERT_EQ(dialog.GetPluginsItem()->childCount(), 1);
    EXPECT_EQ(dialog.GetPluginsItem()->child(0), item);
    EXPECT_EQ(page->loaded, 1);
    dialog.GetTree()->setCurrentItem(item);
    EXPECT_EQ(dialog.GetHelpContext(), 0x204D7);
    EXPECT_EQ(dialog.GetCurrentPage(), page);
    EXPECT_FALSE(page->isWindow());

    page->refuse = true;
    dialog.GetTree()->setCurrentItem(dialog.GetTree()->topLevelItem(0));
    ClickOk();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.GetCurrentPage(), page);
    page->refuse = false;
    ClickOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.StoreSettings();
    EXPECT_EQ(settings.m_MouseWheelZoom, 42);
    EXPECT_EQ(page->checks, 2);
}

TEST_F(OptionsDialogTest, ResizingKeepsTheTreeWidthAndTheMinimumSize) {
    Open();
    dialog.resize(100, 100);
    EXPECT_GE(dialog.width(), 490);
    EXPECT_GE(dialog.height(), 365);
    dialog.resize(700, 500);
    QTest::qWait(0);
    const QRect tree = dialog.GetTree()->geometry();
    EXPECT_EQ(tree.height(), 500 - 27);
    const int treeWidth = tree.width();
    dialog.resize(800, 600);
    QTest::qWait(0);
    EXPECT_EQ(dialog.GetTree()->geometry().width(), treeWidth);
    EXPECT_EQ(dialog.GetTree()->geometry().height(), 600 - 27);
    const QRect page = dialog.GetGeneralPage()->geometry();
    EXPECT_EQ(page.height(), 600 - 55);
    // OK and Cancel keep their distance to the bottom-right corner.
    const QRect ok = Must<QPushButton>(&dialog, COptionsDialog::IDC_Cancel)->geometry();
    dialog.resize(700, 500);
    QTest::qWait(0);
    const QRect okSmall = Must<QPushButton>(&dialog, COptionsDialog::IDC_Cancel)->geometry();
    EXPECT_EQ(800 - ok.right(), 700 - okSmall.right());
    EXPECT_EQ(600 - ok.bottom(), 500 - okSmall.bottom());
}
