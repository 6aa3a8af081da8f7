// The options pages that list the plug-ins: a folder of valid and broken
// plug-ins of every kind, what each row and its information say, the
// buttons, and the GPI page's block list.

#include "StyleControlsTestSupport.h"
#include "TempDir.h"
#include "UiTestSupport.h"

#include "framework/ScriptedUserInterface.h"
#include "settings/Registry.h"
#include "ui/PluginOptionPages.h"
#include "ui/SmallDialogs.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include "TestPluginControl.h"

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string PagePlugin(const std::string& name, const std::string& extension) {
    return std::string(CORVALE_PAGE_TEST_PLUGINS) + "/" + name + "." + extension;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> RowTexts(QTreeWidget* list, int row) {
    std::vector<std::string> texts;
    QTreeWidgetItem* item = list->topLevelItem(row);
    for (int column = 0; column < list->columnCount(); ++column)
        texts.push_back(item != nullptr ? item->text(column).toStdString() : std::string());
    return texts;
}

void ClickRow(QTreeWidget* list, int row) {
    // The file column: a wide row may reach past the visible part of the list.
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// What the information dialog showed, line by line, when the button was pressed.
std::vector<std::string> InfoLines(COptionsPagePluginList& page) {
    std::vector<std::string> lines;
    std::string caption;
    WhenModal([&](QWidget* dialog) {
        caption = dialog->windowTitle().toStdString();
        if (auto* edit = Control<QPlainTextEdit>(dialog, IDC_INFORMATION_TEXT)) {
            for (const QString& line : edit->toPlainText().split(QLatin1Char('\n')))
                lines.push_back(line.toStdString());
        }
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(page.GetInfoButton(), Qt::LeftButton);
    EXPECT_EQ(caption, "Information");
    return lines;
}

// A plug-in folder with one valid and one broken plug-in of every kind, and
// a file of each kind that is no module at all.
class PluginFilePages : public testing::Test {
protected:
    void SetUp() override {
        const std::pair<const char*, const char*> files[] = {
            {"exporter_valid", "xpr"}, {"exporter_broken", "xpr"}, {"loader_valid", "ldr"},
            {"loader_broken", "ldr"},  {"drawing_v1", "ise"},      {"drawing_v3", "ise"},
            {"statistics_valid", "stc"}, {"statistics_missing", "stc"}};
        for (const auto& [name, extension] : files)
            std::filesystem::copy_file(PagePlugin(name, extension),
                                       m_Folder.file(std::string(name) + "." + extension));
        for (const char* junk : {"zz_junk.xpr", "zz_junk.ldr", "zz_junk.ise", "zz_junk.stc"})
            std::ofstream(m_Folder.file(junk)) << "not a module";
        ::setenv("PAGE_TEST_SETTINGS_LOG", m_Folder.file("settings.log").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("PAGE_TEST_SETTINGS_LOG"); }

    std::unique_ptr<COptionsPagePluginFiles> MakePage(const std::string& kind) {
        if (kind == "xpr")
            return std::make_unique<COptionsPageExporters>(m_Folder.path());
        if (kind == "ldr")
            return std::make_unique<COptionsPageLoaders>(m_Folder.path());
        if (kind == "ise")
            return std::make_unique<COptionsPageISE>(m_Folder.path());
        return std::make_unique<COptionsPageStatistics>(m_Folder.path());
    }

    TempDir m_Folder;
};

struct PageCase {
    const char* extension;
    int dialogId;
    int listId;
    // The rows are in name order; the junk file comes last.
    int brokenRow;
    const char* broken;
    const char* valid;
    const char* validVersion;
    std::vector<std::string> missing;
};

const PageCase kPageCases[] = {
    {"xpr", 1126, 2050, 0, "exporter_broken", "exporter_valid", "5",
     {"Could not find fnExportShape() entry.", "Could not find fnSupportsType() entry."}},
    {"ldr", 1125, 2049, 0, "loader_broken", "loader_valid", "5", {"Could not find fnLoadShapes() entry."}},
    {"ise", 1181, 2049, 1, "drawing_v3", "drawing_v1", "1", {"Unsupported interface version."}},
    {"stc", 1151, 2067, 0, "statistics_missing", "statistics_valid", "1",
     {"Could not find fnPushValue() entry.", "Could not find fnCalculate() entry."}},
};

TEST_F(PluginFilePages, ListValidAndInvalidPluginsWithTheirDiagnostics) {
    for (const PageCase& c : kPageCases) {
        SCOPED_TRACE(c.extension);
        std::unique_ptr<COptionsPagePluginFiles> page = MakePage(c.extension);
        EXPECT_EQ(page->objectName().toInt(), c.dialogId);
        QTreeWidget* list = Control<QTreeWidget>(page.get(), c.listId);
        ASSERT_EQ(list, page->GetList());

        ASSERT_EQ(list->columnCount(), 4);
        const char* headers[] = {"File", "Name", "Version", "Status"};
        // Columns keep their widths at least and grow to show every text.
        const int widths[] = {120, 100, 50, 45};
        const QFontMetrics metrics(list->font());
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(list->headerItem()->text(column).toStdString(), headers[column]);
            EXPECT_GE(list->header()->sectionSize(column), widths[column]);
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem* item = list->topLevelItem(row);
                const int icon = item->icon(column).isNull() ? 0 : list->iconSize().width();
                EXPECT_GT(list->header()->sectionSize(column),
                          metrics.horizontalAdvance(item->text(column)) + icon)
                    << item->text(column).toStdString();
            }
        }

        const std::string ext = std::string(".") + c.extension;
        ASSERT_EQ(list->topLevelItemCount(), 3);
        ASSERT_EQ(page->RowCount(), 3);
        const int broken = c.brokenRow;
        const int valid = 1 - c.brokenRow;
        EXPECT_EQ(RowTexts(list, broken), (std::vector<std::string>{c.broken + ext, "", "", "Invalid"}));
        EXPECT_EQ(RowTexts(list, valid), (std::vector<std::string>{c.valid + ext, c.valid, c.validVersion, "Valid"}));
        EXPECT_EQ(RowTexts(list, 2), (std::vector<std::string>{"zz_junk" + ext, "", "", "Invalid"}));
        EXPECT_FALSE(page->IsRowValid(broken));
        EXPECT_TRUE(page->IsRowValid(valid));

        // The valid plug-in's own information text (the test loader's
        // binding reads it through fnGetInfo as well).
        EXPECT_EQ(page->InfoText(valid), std::string(c.valid) + " information");

        // The broken one: its diagnostics, every reason on a line of its own.
        std::string expected = "This plug-in is invalid.\r\n\r\nDiagnostics:\r\n\r\n" +
                               m_Folder.file(c.broken + ext) + ":\r\n";
        for (const std::string& line : c.missing)
            expected += line + "\r\n";
        EXPECT_EQ(page->InfoText(broken), expected);
        EXPECT_EQ(page->InfoText(2), "This plug-in is invalid.\r\n\r\nDiagnostics:\r\n\r\n" +
                                         m_Folder.file("zz_junk" + ext) +
                                         ":\r\nNot a valid plug-in, or missing a required component (dll).");
    }
}

TEST_F(PluginFilePages, AnEmptyOrMissingFolderListsNothing) {
    COptionsPageExporters missing(m_Folder.file("absent"));
    EXPECT_EQ(missing.GetList()->topLevelItemCount(), 0);
    EXPECT_FALSE(missing.GetInfoButton()->isEnabled());
    EXPECT_FALSE(missing.GetSettingsButton()->isEnabled());
}

TEST_F(PluginFilePages, TheButtonsFollowTheSelection) {
    COptionsPageStatistics page(m_Folder.path());
    page.resize(500, 300);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_FALSE(page.GetInfoButton()->isEnabled());
    EXPECT_FALSE(page.GetSettingsButton()->isEnabled());
    ClickRow(page.GetList(), 1);
    EXPECT_EQ(page.SelectedRow(), 1);
    EXPECT_TRUE(page.GetInfoButton()->isEnabled());
    EXPECT_TRUE(page.GetSettingsButton()->isEnabled());
    page.GetList()->clearSelection();
    EXPECT_FALSE(page.GetInfoButton()->isEnabled());
    EXPECT_FALSE(page.GetSettingsButton()->isEnabled());

    // Resizing keeps the buttons at the right edge and gives the list the rest.
    page.resize(700, 400);
    QApplication::processEvents();
    EXPECT_GT(page.GetInfoButton()->x(), page.GetList()->geometry().right());
    EXPECT_LE(page.width() - page.GetInfoButton()->geometry().right(), 15);
    EXPECT_GT(page.GetList()->width(), 500);
}

TEST_F(PluginFilePages, InfoShowsTheTextInTheInformationDialog) {
    COptionsPageExporters page(m_Folder.path());
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ClickRow(page.GetList(), 0);
    const std::vector<std::string> lines = InfoLines(page);
    // The diagnostics arrive as separate lines, with no stray carriage returns.
    const std::vector<std::string> expected = {"This plug-in is invalid.",
                                               "",
                                               "Diagnostics:",
                                               "",
                                               m_Folder.file("exporter_broken.xpr") + ":",
                                               "Could not find fnExportShape() entry.",
                                               "Could not find fnSupportsType() entry.",
                                               ""};
    EXPECT_EQ(lines, expected);

    ClickRow(page.GetList(), 1);
    EXPECT_EQ(InfoLines(page), (std::vector<std::string>{"exporter_valid information"}));
}

TEST_F(PluginFilePages, SettingsBindTheFileAgainAndCallItsEntry) {
    for (const PageCase& c : kPageCases) {
        SCOPED_TRACE(c.extension);
        std::unique_ptr<COptionsPagePluginFiles> page = MakePage(c.extension);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        // A file that is no module offers no settings entry; pressing
        // Settings on it does nothing.
        ClickRow(page->GetList(), 2);
        QTest::mouseClick(page->GetSettingsButton(), Qt::LeftButton);
        ClickRow(page->GetList(), 1 - c.brokenRow);
        QTest::mouseClick(page->GetSettingsButton(), Qt::LeftButton);
    }
    EXPECT_EQ(ReadText(m_Folder.file("settings.log")),
              "exporter_valid\nloader_valid\ndrawing_v1\nstatistics_valid\n");
}

TEST_F(PluginFilePages, APluginWhoseSettingsThrowLeavesThePageWorking) {
    std::filesystem::copy_file(PagePlugin("statistics_throwing", "stc"), m_Folder.file("statistics_throwing.stc"));
    COptionsPageStatistics page(m_Folder.path());
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ASSERT_EQ(RowTexts(page.GetList(), 1)[0], "statistics_throwing.stc");
    ClickRow(page.GetList(), 1);
    QTest::mouseClick(page.GetSettingsButton(), Qt::LeftButton);
    ClickRow(page.GetList(), 2);
    QTest::mouseClick(page.GetSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(ReadText(m_Folder.file("settings.log")), "statistics_valid\n");
}

TEST(PluginOptionPageSet, ThePagesComeInTheOrderOfTheOptionsTree) {
    TempDir folder;
    QWidget dialog;
    const std::vector<PluginOptionPage> pages = CreatePluginOptionPages(folder.path(), &dialog);
    ASSERT_EQ(pages.size(), 5u);
    const std::pair<const char*, int> expected[] = {
        {"GPI", 1239}, {"Loaders", 1125}, {"Exporters", 1126}, {"ISE", 1181}, {"Statistical", 1151}};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].m_Title, expected[i].first);
        EXPECT_EQ(pages[i].m_DialogId, expected[i].second);
        EXPECT_EQ(pages[i].HelpContext(), 0x20000 + expected[i].second);
        EXPECT_EQ(pages[i].m_Page->objectName().toInt(), expected[i].second);
        EXPECT_EQ(pages[i].m_Page->parentWidget(), &dialog);
        EXPECT_TRUE(pages[i].m_Page->isHidden());
        EXPECT_TRUE(pages[i].m_Page->OnOK());
    }
}

// ---------------------------------------------------------------------------
// The GPI page
// ---------------------------------------------------------------------------

const std::string kGuidA = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}";
const std::string kGuidB = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8b2}";

int BlockValue(const std::string& guid, int absent = -1) {
    auto registry = corvale::OpenRegistry();
    registry->beginGroup(QStringLiteral("GPIBlockList"));
    return corvale::ReadRegistryInt(*registry, QString::fromStdString(guid), absent);
}

void SetBlockValue(const std::string& guid, int value) {
    auto registry = corvale::OpenRegistry();
    registry->beginGroup(QStringLiteral("GPIBlockList"));
    corvale::WriteRegistryInt(*registry, QString::fromStdString(guid), value);
    registry->sync();
}

// Two real GPI plug-ins loaded by the host, the second one blocked.
class GpiPluginPage : public testing::Test {
protected:
    void SetUp() override {
        ConfigHome();
        for (const char* kind : {"valid_a", "valid_b"})
            std::filesystem::copy_file(std::string(CORVALE_GPI_TEST_PLUGINS) + "/" + kind + ".gpi",
                                       m_Folder.file(std::string(kind) + ".gpi"));
        SetBlockValue(kGuidB, 1);
        LoadGpiPlugins(m_Folder.path());
    }
    void TearDown() override {
        UnloadGpiPlugins();
        auto registry = corvale::OpenRegistry();
        registry->remove(QStringLiteral("GPIBlockList"));
        registry->sync();
    }

    // The context menu's entry with that command id.
    static QAction* MenuEntry(QMenu* menu, unsigned id) {
        for (QAction* action : menu->actions())
            if (action->data().toUInt() == id)
                return action;
        return nullptr;
    }

    TempDir m_Folder;
    corvale::CScriptedUserInterface m_UI;
};

TEST_F(GpiPluginPage, ListsLoadedAndBlockedPluginsInLoadOrder) {
    COptionsPageGPI page;
    QTreeWidget* list = Control<QTreeWidget>(&page, IDC_PLUGIN_LIST_GPI);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->headerItem()->text(4).toStdString(), "GUID");
    EXPECT_GE(list->header()->sectionSize(4), 250);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(list, 0), (std::vector<std::string>{"valid_a.gpi", "valid_a", "200", "Valid", kGuidA}));
    // Blocked: listed but never started, so it gave no name.
    EXPECT_EQ(RowTexts(list, 1), (std::vector<std::string>{"valid_b.gpi", "", "200", "<not loaded>", kGuidB}));
}

TEST_F(GpiPluginPage, TheButtonsFollowWhatThePluginOffers) {
    COptionsPageGPI page;
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_FALSE(page.GetInfoButton()->isEnabled());
    EXPECT_FALSE(page.GetSettingsButton()->isEnabled());
    ClickRow(page.GetList(), 0);
    ASSERT_EQ(page.SelectedRow(), 0);
    EXPECT_TRUE(page.GetInfoButton()->isEnabled());
    EXPECT_TRUE(page.GetSettingsButton()->isEnabled());
    EXPECT_EQ(InfoLines(page), (std::vector<std::string>{"Built by the tests."}));
    // The blocked plug-in was never started: no about text, no settings.
    ClickRow(page.GetList(), 1);
    EXPECT_FALSE(page.GetInfoButton()->isEnabled());
    EXPECT_FALSE(page.GetSettingsButton()->isEnabled());
}

TEST_F(GpiPluginPage, ABlockedPluginsEnabledEntryIsUnchecked) {
    COptionsPageGPI page;
    page.GetList()->setCurrentItem(page.GetList()->topLevelItem(1));
    std::unique_ptr<QMenu> menu(page.CreateContextMenu(&page));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName().toInt(), IDR_GPI_PLUGIN_MENU);
    ASSERT_NE(MenuEntry(menu.get(), ID_GPI_PLUGIN_COPY_GUID), nullptr);
    EXPECT_EQ(MenuEntry(menu.get(), ID_GPI_PLUGIN_COPY_GUID)->text().toStdString(), "&Copy GUID");
    QAction* enabled = MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED);
    ASSERT_NE(enabled, nullptr);
    EXPECT_TRUE(enabled->isCheckable());
    EXPECT_FALSE(enabled->isChecked());

    page.GetList()->setCurrentItem(page.GetList()->topLevelItem(0));
    menu.reset(page.CreateContextMenu(&page));
    EXPECT_TRUE(MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED)->isChecked());

    page.GetList()->clearSelection();
    EXPECT_EQ(page.CreateContextMenu(&page), nullptr);
}

TEST_F(GpiPluginPage, TogglingEnabledWritesTheBlockListAndAsksForARestart) {
    COptionsPageGPI page;
    page.GetList()->setCurrentItem(page.GetList()->topLevelItem(0));
    EXPECT_EQ(BlockValue(kGuidA), -1);

    std::unique_ptr<QMenu> menu(page.CreateContextMenu(&page));
    MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED)->trigger();
    EXPECT_EQ(BlockValue(kGuidA), 1);
    menu.reset(page.CreateContextMenu(&page));
    EXPECT_FALSE(MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED)->isChecked());

    MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED)->trigger();
    EXPECT_EQ(BlockValue(kGuidA), 0);
    menu.reset(page.CreateContextMenu(&page));
    EXPECT_TRUE(MenuEntry(menu.get(), ID_GPI_PLUGIN_ENABLED)->isChecked());

    ASSERT_EQ(m_UI.shown.size(), 2u);
    for (const auto& shown : m_UI.shown) {
        EXPECT_EQ(shown.text, "This change requires a restart of Corvale.");
        EXPECT_EQ(shown.icon, corvale::MessageIcon::Information);
    }
    // The change waits for the next start: the page still shows what runs.
    EXPECT_EQ(page.GetList()->topLevelItem(0)->text(3).toStdString(), "Valid");
    // The blocked plug-in can be let in again the same way.
    page.GetList()->setCurrentItem(page.GetList()->topLevelItem(1));
    page.OnToggleEnabled();
    EXPECT_EQ(BlockValue(kGuidB), 0);
}

TEST_F(GpiPluginPage, SettingsCallThePluginsEntryAndSurviveItsException) {
    CGpiPlugin* plugin = FindGpiPluginByGuid(kGuidA);
    ASSERT_NE(plugin, nullptr);
    auto getControl = reinterpret_cast<GpiTestGetControlFn>(dlsym(plugin->m_Module, GPI_TEST_CONTROL_ENTRY));
    ASSERT_NE(getControl, nullptr);
    GpiTestControl* control = getControl();

    COptionsPageGPI page;
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ClickRow(page.GetList(), 0);
    QTest::mouseClick(page.GetSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(control->settingsCalls, 1);

    control->throwInSettings = 1;
    QTest::mouseClick(page.GetSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(control->settingsCalls, 2);
    EXPECT_EQ(plugin->m_ErrorText, "Unknown exception caught from plug-in pfnSettings().");
    control->throwInSettings = 0;
    // The page goes on working.
    EXPECT_EQ(InfoLines(page), (std::vector<std::string>{"Built by the tests."}));
}

TEST_F(GpiPluginPage, CopyGuidPutsTheGuidTextOnTheClipboard) {
    COptionsPageGPI page;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    page.GetList()->setCurrentItem(page.GetList()->topLevelItem(1));
    std::unique_ptr<QMenu> menu(page.CreateContextMenu(&page));
    MenuEntry(menu.get(), ID_GPI_PLUGIN_COPY_GUID)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), kGuidB);
}

} // namespace
