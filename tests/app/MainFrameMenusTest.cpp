// The frame's menus built as they open (Tools, Help, the plug-ins' places),
// the start of tools and help documents, the user-script buttons, the
// status bar's own panes, the recent-file texts and the toolbar pictures.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "app/RecentFileList.h"
#include "app/CommandIcons.h"
#include "app/CorvaleStatusBar.h"
#include "app/CorvaleToolBar.h"
#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/RecentShapeFileList.h"
#include "Gpi.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void WriteFile(const QString& path, const QByteArray& text, bool executable = false) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// The menu's entries as the user sees them: texts, "-" for a separator and
// "[name]" for a submenu.
std::vector<std::string> Entries(QMenu* menu) {
    std::vector<std::string> entries;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            entries.push_back("-");
        else if (action->menu() != nullptr)
            entries.push_back("[" + action->text().toStdString() + "]");
        else
            entries.push_back(action->text().toStdString());
    }
    return entries;
}

QMenu* SubMenu(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->menu() != nullptr && action->text() == text)
            return action->menu();
    return nullptr;
}

// Every start of a program or document, recorded; each answers as told.
struct LauncherRecord {
    std::vector<std::pair<std::string, std::string>> programs;
    std::vector<std::string> documents;
    bool succeed = true;
    std::string reason = "The specified file was not found.";

    CMainFrame::Launcher Make() {
        CMainFrame::Launcher launcher;
        launcher.startProgram = [this](const std::string& path, const std::string& folder, std::string& why) {
            programs.emplace_back(path, folder);
            why = reason;
            return succeed;
        };
        launcher.openDocument = [this](const std::string& path, std::string& why) {
            documents.push_back(path);
            why = reason;
            return succeed;
        };
        return launcher;
    }
};

class MainFrameMenusTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        CMainFrame::SetLauncher(m_Launcher.Make());
    }
    void TearDown() override {
        CMainFrame::SetLauncher({});
        CMainFrame::SetScriptRunner({});
        CCorvaleToolBar::SetClickedUserScriptId(0);
        if (CAppSettings* settings = CAppSettings::GetInstance())
            settings->m_UserScripts.fill(std::string());
        AppTest::TearDown();
    }
    QString Folder(const char* name) {
        const QString path = QString::fromStdString(m_Dir.path()) + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        return path;
    }
    void Open(QMenu* menu) { emit menu->aboutToShow(); }

    LauncherRecord m_Launcher;
};

TEST(CorvaleStatusBar, TakesNinePanesAndAddsEachNewOneSecond) {
    CCorvaleStatusBar bar;
    EXPECT_FALSE(bar.SetIndicators({1133, 0})) << "the message pane must come first";
    EXPECT_FALSE(bar.SetIndicators({0, 1133, 1133})) << "an id twice";
    ASSERT_TRUE(bar.SetIndicators({0, 1133, 0xF009, 0xF008, 1130}));
    EXPECT_EQ(bar.GetCount(), 5);

    for (int id = 22000; id < 22004; ++id)
        ASSERT_TRUE(bar.AddPane(id)) << id;
    EXPECT_EQ(bar.GetCount(), 9);
    // The newest plug-in pane stands right after the message pane; the
    // program's own panes keep their order at the end.
    EXPECT_EQ(bar.GetItemId(1), 22003);
    EXPECT_EQ(bar.GetItemId(4), 22000);
    EXPECT_EQ(bar.GetItemId(8), 1130);

    // A tenth pane is refused and the bar stays as it was.
    EXPECT_FALSE(bar.AddPane(22004));
    EXPECT_EQ(bar.GetCount(), 9);
    EXPECT_EQ(bar.CommandToIndex(22004), -1);
    EXPECT_EQ(bar.GetItemId(1), 22003);

    // An absent pane is not removed; the message pane never is.
    EXPECT_FALSE(bar.RemovePane(22009));
    EXPECT_FALSE(bar.RemovePane(0));
    EXPECT_EQ(bar.GetCount(), 9);
    EXPECT_TRUE(bar.RemovePane(22001));
    EXPECT_EQ(bar.GetCount(), 8);
    EXPECT_EQ(bar.CommandToIndex(22001), -1);
    EXPECT_EQ(bar.GetPaneLabel(22001), nullptr);
    EXPECT_FALSE(bar.AddPane(22000)) << "an id the bar holds already";
    EXPECT_TRUE(bar.AddPane(22001));
    EXPECT_NE(bar.GetPaneLabel(22001), nullptr);
}

TEST(RecentFileMenuText, NumbersEntriesAndShowsAmpersands) {
    struct Case {
        int index;
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {0, "roads.shp", "&1 roads.shp"},
        {1, "R&D sites.shp", "&2 R&&D sites.shp"},
        {8, "a&&b", "&9 a&&&&b"},
        {9, "tenth & last.shp", "1&0 tenth && last.shp"},
        {10, "eleventh.shp", "11 eleventh.shp"},
        {15, "x.shp", "16 x.shp"},
        {16, "again.shp", "&1 again.shp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatRecentFileMenuText(c.index, QString::fromUtf8(c.name)).toStdString(), c.text) << c.index;

    EXPECT_EQ(RecentFileDisplayName(QStringLiteral("/data/maps/roads.shp"), QStringLiteral("/data/maps")).toStdString(),
              "roads.shp");
    const QString longPath = QStringLiteral("/home/someone/projects/survey/2024/layers/rivers.shp");
    const QString shown = RecentFileDisplayName(longPath, QStringLiteral("/elsewhere"));
    EXPECT_LE(shown.size(), 30);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/home/")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("rivers.shp")));
    EXPECT_EQ(RecentFileDisplayName(QStringLiteral("/a/b.shp"), QStringLiteral("/c")).toStdString(), "/a/b.shp");
}

TEST_F(MainFrameMenusTest, RecentShapeFilesOnTheAddThemeButtonShowTheirAmpersands) {
    ASSERT_TRUE(Start());
    CRecentShapeFileList& recent = GetRecentShapeFiles();
    const std::vector<std::string> saved = recent.GetEntries();
    const QString folder = Folder("shapes");
    // Added last, shown first: the R&D file is the tenth entry.
    recent.Add((folder + QStringLiteral("/R&D.shp")).toStdString());
    for (int i = 1; i < 10; ++i)
        recent.Add((folder + QStringLiteral("/f%1.shp").arg(i)).toStdString());

    auto* button = qobject_cast<QToolButton*>(
        Frame().GetStandardToolBar()->widgetForAction(Frame().GetCommandAction(ID_INSERT_ADD_THEME)));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->menu(), nullptr);
    EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
    Open(button->menu());
    const QList<QAction*> items = button->menu()->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_TRUE(items[0]->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(items[9]->text().startsWith(QStringLiteral("1&0 "))) << items[9]->text().toStdString();
    EXPECT_TRUE(items[9]->text().endsWith(QStringLiteral("R&&D.shp"))) << items[9]->text().toStdString();
    EXPECT_EQ(items[9]->data().toUInt(), unsigned(ID_RECENT_SHAPE_FILE_FIRST + 9));

    while (!recent.GetEntries().empty())
        recent.Remove(0);
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
        recent.Add(*it);
}

TEST_F(MainFrameMenusTest, RecentWorkspacesShowTheirAmpersands) {
    ASSERT_TRUE(Start());
    CRecentFileList& recent = m_App->GetRecentFileList();
    const QString folder = Folder("workspaces");
    recent.Add((folder + QStringLiteral("/Q&A.cvw")).toStdString());
    for (int i = 1; i < 10; ++i)
        recent.Add((folder + QStringLiteral("/w%1.cvw").arg(i)).toStdString());
    auto* menu = Frame().findChild<QMenu*>(QStringLiteral("RecentWorkspaces"));
    ASSERT_NE(menu, nullptr);
    Frame().RefreshRecentFileMenu();
    const QList<QAction*> items = menu->actions();
    ASSERT_GE(items.size(), 10);
    EXPECT_EQ(items[9]->text(), QStringLiteral("1&0 ") + folder + QStringLiteral("/Q&&A.cvw"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("&1 ") + folder + QStringLiteral("/w9.cvw"));
}

TEST(UserScriptTip, TellsWhatTheButtonNeedsOrShowsTheScript) {
    TempDir dir;
    const std::string shortScript = dir.path() + "/short.js";
    const std::string longScript = dir.path() + "/long.js";
    WriteFile(QString::fromStdString(shortScript), "var a = 1;\nvar b = 2;\nprint(a + b);\n");
    QByteArray eight;
    for (int i = 1; i <= 8; ++i)
        eight += "line" + QByteArray::number(i) + "\n";
    WriteFile(QString::fromStdString(longScript), eight);
    const std::string wideScript = dir.path() + "/wide.js";
    WriteFile(QString::fromStdString(wideScript), QByteArray(2000, 'x') + "\nend\n");

    struct Case {
        const char* what;
        bool enabled;
        std::string path;
        std::string tooltip;
        std::string description;
    };
    const Case cases[] = {
        {"no workspace", false, shortScript, "Invoke a script.",
         "This button needs an active workspace to be enabled.\nUse File menu to load or create a new workspace."},
        {"unbound", true, "", "Invoke a script.",
         "This button is currently not bound to any script.\nClick to bind a script to this button."},
        {"missing file", true, dir.path() + "/gone.js", dir.path() + "/gone.js", "Error: Script file not found."},
        {"short script", true, shortScript, shortScript, "var a = 1;\r\nvar b = 2;\r\nprint(a + b);"},
        {"long script", true, longScript, longScript, "line1\r\nline2\r\nline3\r\nline4\r\nline5\r\nline6\r\n..."},
        {"wide line", true, wideScript, wideScript, std::string(1024, 'x') + "\r\nend"},
    };
    for (const Case& c : cases) {
        std::string tooltip, description;
        GetUserScriptTip(c.enabled, c.path, tooltip, description);
        EXPECT_EQ(tooltip, c.tooltip) << c.what;
        EXPECT_EQ(description, c.description) << c.what;
    }
}

TEST_F(MainFrameMenusTest, UserScriptButtonsBindEditAndInvokeTheirScripts) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    auto* bar = static_cast<CCorvaleToolBar*>(frame.GetScriptToolBar());

    // Every user-script button got its menu; the script creator did not.
    for (unsigned id = ID_USER_SCRIPT_FIRST; id <= ID_USER_SCRIPT_LAST; ++id) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(frame.GetCommandAction(id)));
        ASSERT_NE(button, nullptr) << id;
        ASSERT_NE(button->menu(), nullptr) << id;
        EXPECT_EQ(Entries(button->menu()), (std::vector<std::string>{"&Invoke", "&Bind...", "&Edit..."}));
    }
    auto* creator = qobject_cast<QToolButton*>(bar->widgetForAction(frame.GetCommandAction(ID_SCRIPT_FROM_TEMPLATE)));
    ASSERT_NE(creator, nullptr);
    EXPECT_EQ(creator->menu(), nullptr);

    // Opening the third button's menu makes it the one the menu acts on.
    auto* third = qobject_cast<QToolButton*>(bar->widgetForAction(frame.GetCommandAction(ID_USER_SCRIPT_FIRST + 2)));
    Open(third->menu());
    EXPECT_EQ(frame.GetClickedUserScriptButton(), 2);
    // Unbound, it can only bind.
    const QList<QAction*> thirdMenu = third->menu()->actions();
    EXPECT_FALSE(thirdMenu[0]->isEnabled());
    EXPECT_TRUE(thirdMenu[1]->isEnabled());
    EXPECT_FALSE(thirdMenu[2]->isEnabled());

    // Bind asks for a script file, from the Scripts folder while unbound.
    const QString script = Folder("scripts") + QStringLiteral("/count & list.js");
    WriteFile(script, "print(1);\n");
    m_Ui->openAnswers.push_back({script.toStdString()});
    frame.ExecuteCommand(ID_USER_SCRIPT_BIND);
    ASSERT_EQ(m_Ui->openRequests.size(), 1u);
    EXPECT_EQ(m_Ui->openRequests[0].title, "Open file to bind to button 3");
    EXPECT_EQ(m_Ui->openRequests[0].initialFolder, frame.GetScriptFolder());
    EXPECT_EQ(CAppSettings::GetInstance()->m_UserScripts[2], script.toStdString());

    // Edit names the bound file and opens it.
    QAction* edit = frame.GetCommandAction(ID_USER_SCRIPT_EDIT);
    frame.UpdateCommandUI(edit);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->text().toStdString(), "Edit count && list.js...");
    frame.ExecuteCommand(ID_USER_SCRIPT_EDIT);
    EXPECT_EQ(m_Launcher.documents, (std::vector<std::string>{script.toStdString()}));

    // Without a way to run scripts (the program installs the console's),
    // Invoke and the bound button are disabled; an unbound button still binds.
    CMainFrame::SetScriptRunner(nullptr);
    QAction* invoke = frame.GetCommandAction(ID_USER_SCRIPT_INVOKE);
    frame.UpdateCommandUI(invoke);
    EXPECT_FALSE(invoke->isEnabled());
    QAction* boundButton = frame.GetCommandAction(ID_USER_SCRIPT_FIRST + 2);
    frame.UpdateCommandUI(boundButton);
    EXPECT_FALSE(boundButton->isEnabled());
    QAction* unboundButton = frame.GetCommandAction(ID_USER_SCRIPT_FIRST);
    frame.UpdateCommandUI(unboundButton);
    EXPECT_TRUE(unboundButton->isEnabled());

    std::vector<std::pair<CCorvaleDoc*, std::string>> runs;
    CMainFrame::SetScriptRunner([&runs](CCorvaleDoc& doc, const std::string& path) {
        runs.emplace_back(&doc, path);
        return true;
    });
    frame.UpdateCommandUI(invoke);
    EXPECT_TRUE(invoke->isEnabled());
    frame.UpdateCommandUI(boundButton);
    EXPECT_TRUE(boundButton->isEnabled());
    // A click on the bound button runs its script in the active workspace.
    frame.ExecuteCommand(ID_USER_SCRIPT_FIRST + 2);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, document);
    EXPECT_EQ(runs[0].second, script.toStdString());
    // A click on an unbound one asks for its script instead.
    frame.ExecuteCommand(ID_USER_SCRIPT_FIRST + 4);
    EXPECT_EQ(frame.GetClickedUserScriptButton(), 4);
    ASSERT_EQ(m_Ui->openRequests.size(), 2u);
    EXPECT_EQ(m_Ui->openRequests[1].title, "Open file to bind to button 5");
    EXPECT_EQ(runs.size(), 1u);

    // The tooltips follow the binding.
    QString tip, description;
    ASSERT_TRUE(bar->GetToolTipTexts(ID_USER_SCRIPT_FIRST + 2, tip, description));
    EXPECT_EQ(tip, script);
    EXPECT_EQ(description.toStdString(), "print(1);");
    CAppSettings::GetInstance()->m_UserScripts[1] = (Folder("scripts") + QStringLiteral("/gone.js")).toStdString();
    ASSERT_TRUE(bar->GetToolTipTexts(ID_USER_SCRIPT_FIRST + 1, tip, description));
    EXPECT_EQ(description.toStdString(), "Error: Script file not found.");
    EXPECT_FALSE(bar->GetToolTipTexts(ID_SCRIPT_FROM_TEMPLATE, tip, description));

    // Resting on the button brings its tooltip and description up to date.
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), third->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(third, &help);
    EXPECT_EQ(boundButton->toolTip(), script);
    EXPECT_EQ(boundButton->statusTip().toStdString(), "print(1);");
}

TEST_F(MainFrameMenusTest, TheToolsMenuListsTheProgramsAndScriptsOfItsFolder) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const QString tools = Folder("Tools");
    WriteFile(tools + QStringLiteral("/convert"), "#!/bin/sh\n", true);
    WriteFile(tools + QStringLiteral("/archive.sh"), "#!/bin/sh\n", true);
    WriteFile(tools + QStringLiteral("/readme.txt"), "not a program\n");
    WriteFile(tools + QStringLiteral("/tidy.js"), "print(1);\n");
    frame.SetToolFolder(tools.toStdString());
    QMenu* menu = frame.GetToolsMenu();
    ASSERT_NE(menu, nullptr);

    // Without a way to run scripts (the program installs the console's)
    // they are left out.
    CMainFrame::SetScriptRunner(nullptr);
    frame.FillToolsMenu(menu);
    EXPECT_EQ(Entries(menu), (std::vector<std::string>{"archive", "convert", "-", "&Options..."}));
    EXPECT_EQ(frame.GetToolPath(ID_TOOLS_TOOL_FIRST), (tools + QStringLiteral("/archive.sh")).toStdString());
    EXPECT_EQ(frame.GetToolPath(ID_TOOLS_TOOL_FIRST + 3), "#ERROR#");
    EXPECT_EQ(frame.GetToolPath(ID_TOOLS_TOOL_LAST), "#ERROR#");

    std::vector<std::string> runs;
    CMainFrame::SetScriptRunner([&runs](CCorvaleDoc&, const std::string& path) {
        runs.push_back(path);
        return true;
    });
    frame.FillToolsMenu(menu);
    EXPECT_EQ(Entries(menu), (std::vector<std::string>{"archive", "convert", "-", "JavaScript Creator...",
                                                       "[JavaScript]", "-", "&Options..."}));
    QMenu* scripts = SubMenu(menu, QStringLiteral("JavaScript"));
    ASSERT_NE(scripts, nullptr);
    EXPECT_EQ(Entries(scripts), (std::vector<std::string>{"tidy"}));
    EXPECT_EQ(scripts->actions()[0]->data().toUInt(), unsigned(ID_TOOLS_TOOL_FIRST + 2));
    // Built again at every opening, the menu does not grow.
    const auto ownEntries = [menu] { return menu->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly).size(); };
    const auto before = ownEntries();
    frame.FillToolsMenu(menu);
    frame.FillToolsMenu(menu);
    EXPECT_EQ(ownEntries(), before);
    EXPECT_EQ(menu->actions().size(), 7);

    // A program starts in the Tools folder; a script runs in the workspace.
    frame.ExecuteCommand(ID_TOOLS_TOOL_FIRST + 1);
    ASSERT_EQ(m_Launcher.programs.size(), 1u);
    EXPECT_EQ(m_Launcher.programs[0].first, (tools + QStringLiteral("/convert")).toStdString());
    EXPECT_EQ(m_Launcher.programs[0].second, frame.GetToolFolder());
    frame.ExecuteCommand(ID_TOOLS_TOOL_FIRST + 2);
    EXPECT_EQ(runs, (std::vector<std::string>{(tools + QStringLiteral("/tidy.js")).toStdString()}));

    // A program that does not start is reported with the reason.
    m_Launcher.succeed = false;
    frame.ExecuteCommand(ID_TOOLS_TOOL_FIRST);
    ASSERT_FALSE(m_Ui->Messages().empty());
    EXPECT_EQ(m_Ui->Messages().back(), "An error error occurred while starting the tool:\n" +
                                           (tools + QStringLiteral("/archive.sh")).toStdString() +
                                           "\n\nThe specified file was not found.");

    // Plug-in items of the Tools place follow the programs.
    const unsigned item = frame.AddPluginTool("Plug-in Tool", 3, 6, "From a plug-in", 0);
    ASSERT_NE(item, 0u);
    frame.FillToolsMenu(menu);
    EXPECT_EQ(Entries(menu), (std::vector<std::string>{"archive", "convert", "Plug-in Tool", "-",
                                                       "JavaScript Creator...", "[JavaScript]", "-", "&Options..."}));
}

TEST_F(MainFrameMenusTest, OnlyScriptsAndNoWorkspaceLeaveTheToolsMenuWithItsOptions) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const QString tools = Folder("ScriptTools");
    WriteFile(tools + QStringLiteral("/one.js"), "1;\n");
    WriteFile(tools + QStringLiteral("/two.JS"), "2;\n");
    frame.SetToolFolder(tools.toStdString());
    CMainFrame::SetScriptRunner([](CCorvaleDoc&, const std::string&) { return true; });
    m_App->CloseAllDocuments();
    ASSERT_EQ(frame.GetActiveDocument(), nullptr);
    frame.FillToolsMenu(frame.GetToolsMenu());
    EXPECT_EQ(Entries(frame.GetToolsMenu()), (std::vector<std::string>{"&Options..."}));

    // A missing folder lists nothing either.
    frame.SetToolFolder(tools.toStdString() + "/none");
    frame.FillToolsMenu(frame.GetToolsMenu());
    EXPECT_EQ(Entries(frame.GetToolsMenu()), (std::vector<std::string>{"&Options..."}));
}

TEST_F(MainFrameMenusTest, TheHelpMenuListsTheHelpDocumentsButNotTheMainHelpFile) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const QString help = Folder("Help");
    WriteFile(help + QStringLiteral("/CORVALE.CHM"), "main");
    WriteFile(help + QStringLiteral("/guide.html"), "<html/>");
    WriteFile(help + QStringLiteral("/Manual.pdf"), "%PDF");
    WriteFile(help + QStringLiteral("/notes.txt"), "not listed");
    frame.SetHelpFolder(help.toStdString());
    QMenu* menu = frame.GetHelpMenu();
    ASSERT_NE(menu, nullptr);
    frame.FillHelpMenu(menu);
    EXPECT_EQ(Entries(menu), (std::vector<std::string>{"guide...", "Manual...", "-", "&Help Index",
                                                       "&About Corvale..."}));
    // Opened again, the menu is built anew, not added to.
    frame.FillHelpMenu(menu);
    EXPECT_EQ(menu->actions().size(), 5);
    EXPECT_EQ(frame.GetHelpDocumentPath(ID_HELP_DOCUMENT_FIRST + 1), (help + QStringLiteral("/Manual.pdf")).toStdString());
    EXPECT_EQ(frame.GetHelpDocumentPath(ID_HELP_DOCUMENT_FIRST + 2), "#ERROR#");

    frame.ExecuteCommand(ID_HELP_DOCUMENT_FIRST);
    EXPECT_EQ(m_Launcher.documents, (std::vector<std::string>{(help + QStringLiteral("/guide.html")).toStdString()}));
    m_Launcher.succeed = false;
    m_Launcher.reason = "Unknown reason.";
    frame.ExecuteCommand(ID_HELP_DOCUMENT_FIRST + 1);
    ASSERT_FALSE(m_Ui->Messages().empty());
    EXPECT_EQ(m_Ui->Messages().back(), "An error error occurred while starting the help system:\n" +
                                           (help + QStringLiteral("/Manual.pdf")).toStdString() +
                                           "\n\nUnknown reason.");

    // Help Index opens the main help file, and only while there is one.
    QAction* index = frame.GetCommandAction(ID_HELP_INDEX);
    frame.UpdateCommandUI(index);
    EXPECT_FALSE(index->isEnabled()) << "the file is Corvale.chm, not CORVALE.CHM";
    QFile::rename(help + QStringLiteral("/CORVALE.CHM"), help + QStringLiteral("/Corvale.chm"));
    frame.UpdateCommandUI(index);
    EXPECT_TRUE(index->isEnabled());
    frame.SetHelpFolder(help.toStdString() + "/none");
    frame.FillHelpMenu(menu);
    EXPECT_EQ(Entries(menu), (std::vector<std::string>{"&Help Index", "&About Corvale..."}));
    frame.UpdateCommandUI(index);
    EXPECT_FALSE(index->isEnabled());
}

TEST_F(MainFrameMenusTest, PluginCommandsAreEmptyWithoutALoaderTheme) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    auto* commands = frame.findChild<QMenu*>(QStringLiteral("PluginCommands"));
    ASSERT_NE(commands, nullptr);
    frame.FillPluginCommandsMenu(commands);
    EXPECT_EQ(Entries(commands), (std::vector<std::string>{"<Empty>"}));
    EXPECT_FALSE(commands->actions().front()->isEnabled());
    EXPECT_FALSE(commands->menuAction()->isEnabled());

    // A theme from a loader lists the loader's own menu, its items on the
    // frame's ids.
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    frame.SetPluginFolder(CORVALE_LOADER_TEST_PLUGINS);
    auto* addFrom = frame.findChild<QMenu*>(QStringLiteral("AddThemeFrom"));
    frame.FillLoaderMenu(addFrom);
    QAction* v5 = nullptr;
    for (QAction* action : addFrom->actions())
        if (action->text() == QStringLiteral("v5"))
            v5 = action;
    ASSERT_NE(v5, nullptr);
    v5->trigger();
    ASSERT_FALSE(document->m_themes.empty());
    CTheme* theme = document->m_themes.front();
    ASSERT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    document->m_activeTheme = theme;
    frame.FillPluginCommandsMenu(commands);
    EXPECT_EQ(Entries(commands), (std::vector<std::string>{"Refresh", "-"}));
    EXPECT_EQ(commands->actions().front()->data().toUInt(), unsigned(ID_LOADER_MENU_FIRST));
    EXPECT_EQ(commands->actions().front()->statusTip().toStdString(), "Reads again");
    ASSERT_NE(theme->m_Loader, nullptr);
    EXPECT_EQ(theme->m_Loader->m_Menu.front().m_CommandId, unsigned(ID_LOADER_MENU_FIRST));
    EXPECT_TRUE(commands->menuAction()->isEnabled());
}

TEST_F(MainFrameMenusTest, PluginToolbarButtonsTakeTheirTipsFromTheirDescriptions) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    static const GpiToolBarButtonDesc buttons[] = {
        {11, "Counts the points\nCount", nullptr}, {0, nullptr, nullptr}, {12, "Only a tip", nullptr}};
    static const GpiToolBarDesc desc = {400, 3, buttons};
    CCorvaleToolBar* bar = frame.CreatePluginToolbar(9, "{owner}", &desc, 400, "Counter");
    ASSERT_NE(bar, nullptr);
    std::vector<unsigned> ids;
    for (QAction* action : bar->actions())
        if (!action->isSeparator())
            ids.push_back(action->data().toUInt());
    ASSERT_EQ(ids.size(), 2u);
    QString tip, description;
    ASSERT_TRUE(bar->GetToolTipTexts(ids[0], tip, description));
    EXPECT_EQ(tip.toStdString(), "Count");
    EXPECT_EQ(description.toStdString(), "Counts the points");
    ASSERT_TRUE(bar->GetToolTipTexts(ids[1], tip, description));
    EXPECT_EQ(tip.toStdString(), "Only a tip");
    EXPECT_EQ(description.toStdString(), "");
    EXPECT_FALSE(bar->GetToolTipTexts(ID_FILE_OPEN, tip, description));
}

TEST_F(MainFrameMenusTest, PluginToolbarAndWindowIdsRunOut) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    // Button ids 21000-21999: a toolbar that needs more than are left is
    // refused whole.
    std::vector<GpiToolBarButtonDesc> many(999, GpiToolBarButtonDesc{5, "b", nullptr});
    const GpiToolBarDesc big = {500, static_cast<std::uint32_t>(many.size()), many.data()};
    ASSERT_NE(frame.CreatePluginToolbar(1, "{big}", &big, 500, "Big"), nullptr);
    static const GpiToolBarButtonDesc two[] = {{5, "b", nullptr}, {6, "c", nullptr}};
    const GpiToolBarDesc twoButtons = {501, 2, two};
    const std::size_t bars = frame.GetPluginToolBars().size();
    EXPECT_EQ(frame.CreatePluginToolbar(1, "{two}", &twoButtons, 501, "Two"), nullptr);
    EXPECT_EQ(frame.GetPluginToolBars().size(), bars);
    const GpiToolBarDesc oneButton = {502, 1, two};
    CCorvaleToolBar* last = frame.CreatePluginToolbar(1, "{one}", &oneButton, 502, "One");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->actions().back()->data().toUInt(), 21999u);
    EXPECT_EQ(frame.CreatePluginToolbar(1, "{one}", &oneButton, 502, "One more"), nullptr);

    // Toolbar ids 20621-20719: a toolbar of separators only needs no button
    // id, so ninety-nine can be made and the hundredth cannot.
    static const GpiToolBarButtonDesc separator[] = {{0, nullptr, nullptr}};
    const GpiToolBarDesc empty = {503, 1, separator};
    int made = 2;
    while (made < 99 && frame.CreatePluginToolbar(1, "{sep}", &empty, 503, "Sep") != nullptr)
        ++made;
    EXPECT_EQ(made, 99);
    EXPECT_EQ(frame.CreatePluginToolbar(1, "{sep}", &empty, 503, "Sep"), nullptr);

    // Show/hide ids 23010-23209: 99 toolbars took theirs; the 102nd tool
    // pane after them is still made, without a command to show it.
    for (int i = 0; i < 101; ++i)
        ASSERT_NE(frame.CreateCustomToolPane("{pane}", "Pane", nullptr), nullptr) << i;
    EXPECT_EQ(frame.GetPluginWindows().back().commandId, 23209u);
    ASSERT_NE(frame.CreateCustomToolPane("{pane}", "Late", nullptr), nullptr);
    EXPECT_EQ(frame.GetPluginWindows().back().commandId, 0u);
}

TEST_F(MainFrameMenusTest, PluginCommandItemsJoinTheirMenus) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const unsigned newTheme = frame.AddPluginTool("Grid Theme", 5, 0, "", 0);
    const unsigned selection = frame.AddPluginTool("Select Odd", 5, 3, "", 0);
    const unsigned advanced = frame.AddPluginTool("Densify", 5, 4, "", 0);
    frame.EnablePluginCommandItem(advanced, false);

    QMenu* createNew = frame.findChild<QMenu*>(QStringLiteral("CreateNewTheme"));
    QMenu* selectionMenu = frame.findChild<QMenu*>(QStringLiteral("SelectionMenu"));
    QMenu* advancedEdit = frame.findChild<QMenu*>(QStringLiteral("AdvancedEdit"));
    ASSERT_TRUE(createNew != nullptr && selectionMenu != nullptr && advancedEdit != nullptr);
    Open(createNew);
    Open(selectionMenu);
    Open(advancedEdit);
    Open(createNew);
    EXPECT_EQ(createNew->actions().back(), frame.GetCommandAction(newTheme));
    EXPECT_EQ(createNew->actions().count(frame.GetCommandAction(newTheme)), 1) << "placed once";
    // The advanced selections: after the point count, before the filters.
    const QList<QAction*> items = selectionMenu->actions();
    const int pointCount = items.indexOf(frame.GetCommandAction(ID_SELECTION_POINT_COUNT));
    ASSERT_GE(pointCount, 0);
    EXPECT_EQ(items.value(pointCount + 1), frame.GetCommandAction(selection));
    EXPECT_EQ(advancedEdit->actions().back(), frame.GetCommandAction(advanced));
    EXPECT_FALSE(frame.GetCommandAction(advanced)->isEnabled()) << "a disabled item shows grayed";
    for (const CMainFrame::PluginCommandItem& item : frame.GetPluginCommandItems())
        EXPECT_TRUE(item.placed) << item.name;
}

TEST_F(MainFrameMenusTest, EveryToolbarButtonHasAPictureOfItsOwn) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    struct Seen {
        unsigned id;
        QImage image;
    };
    std::vector<Seen> seen;
    for (QToolBar* bar : {frame.GetStandardToolBar(), frame.GetScriptToolBar(), frame.GetEditToolBar(),
                          frame.GetStatisticsToolBar()}) {
        for (QAction* action : bar->actions()) {
            // Separators and the scale list are no buttons.
            if (action->isSeparator() || qobject_cast<QToolButton*>(bar->widgetForAction(action)) == nullptr)
                continue;
            const unsigned id = action->data().toUInt();
            SCOPED_TRACE(id);
            ASSERT_FALSE(action->icon().isNull());
            EXPECT_FALSE(action->toolTip().isEmpty());
            const QImage image = action->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            for (const Seen& other : seen)
                EXPECT_NE(image, other.image) << "looks like " << other.id;
            // Something is drawn, not an empty square.
            int painted = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            EXPECT_GT(painted, 20);
            seen.push_back({id, image});
        }
    }
    EXPECT_GT(seen.size(), 40u);

    // The scale list took the Scale Control button's place and command.
    auto* standard = static_cast<CCorvaleToolBar*>(frame.GetStandardToolBar());
    QAction* scale = standard->FindCommand(ID_SCALE_CONTROL);
    ASSERT_NE(scale, nullptr);
    const int at = standard->actions().indexOf(scale);
    EXPECT_EQ(standard->GetComboButton(at), frame.GetScaleControl());
    EXPECT_EQ(standard->GetComboButton(0), nullptr);
    EXPECT_EQ(standard->GetComboButton(-1), nullptr);
    EXPECT_EQ(standard->ReplaceWithScaleCombo(), nullptr) << "replaced once";

    // The drawn pictures differ too, whatever icon theme the desktop has.
    std::vector<QImage> drawn;
    for (const Seen& each : seen) {
        const QImage image = MakeDrawnCommandIcon(each.id).pixmap(16, 16).toImage();
        ASSERT_FALSE(image.isNull()) << each.id;
        for (const QImage& other : drawn)
            EXPECT_NE(image, other) << each.id;
        drawn.push_back(image);
    }
    // The panes' icons are pictures as well.
    std::vector<QImage> panes;
    for (int id : {int(ID_INDICATOR_SCALE), int(ID_INDICATOR_X), int(ID_INDICATOR_Y), int(ID_PANE_THEMES),
                   int(ID_PANE_ATTRIBUTES), int(ID_PANE_COORDINATES), int(ID_PANE_STATISTICS), int(ID_PANE_BOOKMARKS)}) {
        const QImage image = MakePaneIcon(id).pixmap(16, 16).toImage();
        ASSERT_FALSE(image.isNull()) << id;
        for (const QImage& other : panes)
            EXPECT_NE(image, other) << id;
        panes.push_back(image);
    }
}

TEST_F(MainFrameMenusTest, TheLoaderListIsReadAgainOnlyWhenThePluginFolderChanges) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const QString plugins = Folder("Plugins");
    const QString source = QStringLiteral(CORVALE_LOADER_TEST_PLUGINS);
    const QStringList loaders = {QStringLiteral("v1.ldr"), QStringLiteral("v5.ldr")};
    ASSERT_TRUE(QFile::copy(source + QLatin1Char('/') + loaders[0], plugins + QLatin1Char('/') + loaders[0]));
    frame.SetPluginFolder(plugins.toStdString());
    ASSERT_TRUE(frame.IsPluginFolderWatched());
    const std::size_t first = frame.GetLoaderList().size();
    EXPECT_EQ(first, 1u);
    EXPECT_FALSE(frame.IsLoaderListDirty());

    // Nothing changed: the list stays as read.
    QTest::qWait(50);
    EXPECT_FALSE(frame.PollPluginFolder());
    EXPECT_EQ(frame.GetLoaderList().size(), first);

    // A loader added to the folder shows at the next opening.
    ASSERT_TRUE(QFile::copy(source + QLatin1Char('/') + loaders[1], plugins + QLatin1Char('/') + loaders[1]));
    ASSERT_TRUE(QTest::qWaitFor([&frame] { return frame.IsLoaderListDirty(); }, 5000));
    EXPECT_EQ(frame.GetLoaderList().size(), 2u);
    EXPECT_EQ(frame.GetCustomLoaderName(ID_ADD_FROM_DATA_SOURCE_FIRST + 1), frame.GetLoaderList()[1].m_Name);
    EXPECT_EQ(frame.GetCustomLoaderName(ID_ADD_FROM_DATA_SOURCE_FIRST + 2), "#ERROR#");

    // Opening Insert fills Add Theme From; with no loader it is grayed.
    auto* addFrom = frame.findChild<QMenu*>(QStringLiteral("AddThemeFrom"));
    ASSERT_NE(addFrom, nullptr);
    QMenu* insert = nullptr;
    for (QAction* action : frame.menuBar()->actions())
        if (action->menu() != nullptr && action->menu()->actions().contains(addFrom->menuAction()))
            insert = action->menu();
    ASSERT_NE(insert, nullptr);
    Open(insert);
    EXPECT_TRUE(addFrom->menuAction()->isEnabled());
    EXPECT_EQ(addFrom->actions().size(), 2);
    frame.SetPluginFolder(Folder("NoPlugins").toStdString());
    Open(insert);
    EXPECT_FALSE(addFrom->menuAction()->isEnabled());
    EXPECT_EQ(Entries(addFrom), (std::vector<std::string>{"<Empty>"}));
}

} // namespace
