// The main frame's menus that are built again each time they open (the Tools
// menu from the Tools folder, the Help menu from the Help folder, the places
// where plug-ins put their command items), the start of tools and help
// documents, the user-script buttons of the Script toolbar, and the pictures
// of the toolbar buttons.

#include "app/MainFrame.h"

#include "app/CommandIcons.h"
#include "app/CorvaleApp.h"
#include "app/CorvaleToolBar.h"
#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace {

CMainFrame::ScriptRunner& Runner() {
    static CMainFrame::ScriptRunner runner;
    return runner;
}

constexpr const char* kNotFound = "#ERROR#";
// The main help file opens from Help Index and is not listed again.
constexpr const char* kMainHelpFile = "Corvale.chm";

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string WithSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

bool IsScript(const QString& path) { return path.endsWith(QStringLiteral(".js"), Qt::CaseInsensitive); }

// A tool's name in the menu: its file name without the extension.
QString ToolName(const QFileInfo& info) {
    return info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
}

// The action that follows `after` in the menu; null when it is the last.
QAction* ActionAfter(QMenu* menu, unsigned after) {
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i)
        if (actions[i]->data().isValid() && actions[i]->data().toUInt() == after)
            return i + 1 < actions.size() ? actions[i + 1] : nullptr;
    return nullptr;
}

// Takes an entry out of a menu that is built again; the menu's own entries
// (separators) go with it, the frame's commands stay for the next time.
void RemoveFromMenu(QMenu* menu, QAction* action) {
    menu->removeAction(action);
    if (action->parent() == menu)
        delete action;
}

QMenu* MenuNamed(QWidget* parent, const char* name) { return parent->findChild<QMenu*>(QString::fromLatin1(name)); }

} // namespace

// ---------------------------------------------------------------------------
// Starting programs and documents
// ---------------------------------------------------------------------------

namespace {

CMainFrame::Launcher DesktopLauncher() {
    CMainFrame::Launcher launcher;
    launcher.startProgram = [](const std::string& path, const std::string& folder, std::string& reason) {
        const QFileInfo info(Q(path));
        if (!info.exists()) {
            reason = "The specified file was not found.";
            return false;
        }
        if (!info.isExecutable()) {
            reason = "The operating system denied access to the specified file.";
            return false;
        }
        if (!QProcess::startDetached(Q(path), {}, Q(folder))) {
            reason = "Unknown reason.";
            return false;
        }
        return true;
    };
    launcher.openDocument = [](const std::string& path, std::string& reason) {
        if (!QFileInfo::exists(Q(path))) {
            reason = "The specified file was not found.";
            return false;
        }
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)))) {
            reason = "The file name association is incomplete or invalid.";
            return false;
        }
        return true;
    };
    return launcher;
}

CMainFrame::Launcher& CurrentLauncher() {
    static CMainFrame::Launcher launcher = DesktopLauncher();
    return launcher;
}

} // namespace

void CMainFrame::SetLauncher(const Launcher& launcher) {
    const Launcher desktop = DesktopLauncher();
    CurrentLauncher().startProgram = launcher.startProgram ? launcher.startProgram : desktop.startProgram;
    CurrentLauncher().openDocument = launcher.openDocument ? launcher.openDocument : desktop.openDocument;
}

const CMainFrame::Launcher& CMainFrame::GetLauncher() { return CurrentLauncher(); }

void CMainFrame::SetScriptRunner(ScriptRunner runner) { Runner() = std::move(runner); }
bool CMainFrame::HasScriptRunner() { return static_cast<bool>(Runner()); }

void CMainFrame::ReportStartFailure(const std::string& what, const std::string& path, const std::string& reason) {
    corvale::UI().ShowMessage("An error error occurred while starting the " + what + ":\n" + path + "\n\n" + reason,
                     corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

// ---------------------------------------------------------------------------
// Commands and menus
// ---------------------------------------------------------------------------

QAction* CMainFrame::EnsureCommand(unsigned id) {
    QAction* action = GetCommandAction(id);
    return action != nullptr ? action : AddCommand(id, QString());
}

void CMainFrame::CreateMenuCommands() {
    m_ToolFolder = m_ProgramFolder + "Tools/";
    m_HelpFolder = m_ProgramFolder + "Help/";
    // The status-bar prompts of the commands whose items come and go.
    for (unsigned id = ID_ADD_FROM_DATA_SOURCE_FIRST; id <= ID_ADD_FROM_DATA_SOURCE_LAST; ++id)
        if (QAction* action = GetCommandAction(id))
            action->setStatusTip(tr("Load shapes from this data source into a new theme"));
    for (unsigned id = ID_USER_SCRIPT_FIRST; id <= ID_USER_SCRIPT_LAST; ++id)
        if (QAction* action = GetCommandAction(id))
            action->setStatusTip(tr("Invokes this script"));
    AddCommand(ID_USER_SCRIPT_INVOKE, tr("&Invoke"))->setStatusTip(tr("Invokes this script"));
    AddCommand(ID_USER_SCRIPT_BIND, tr("&Bind..."));
    AddCommand(ID_USER_SCRIPT_EDIT, tr("&Edit..."));
    AddCommand(ID_HELP_INDEX, tr("&Help Index"));
}

void CMainFrame::CreateDynamicMenus() {
    QMenuBar* bar = menuBar();
    // Tools goes before Window, Help last.
    QAction* windowMenu = nullptr;
    for (QAction* action : bar->actions())
        if (action->menu() != nullptr && action->text() == tr("&Window"))
            windowMenu = action;
    m_ToolsMenu = new QMenu(tr("T&ools"), this);
    m_ToolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_ToolsMenu->addAction(m_Actions[ID_TOOLS_OPTIONS]);
    bar->insertMenu(windowMenu, m_ToolsMenu);
    connect(m_ToolsMenu, &QMenu::aboutToShow, this, [this] { FillToolsMenu(m_ToolsMenu); });

    m_HelpMenu = bar->addMenu(tr("&Help"));
    m_HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    m_HelpMenu->addAction(m_Actions[ID_HELP_INDEX]);
    m_HelpMenu->addAction(m_Actions[ID_APP_ABOUT]);
    connect(m_HelpMenu, &QMenu::aboutToShow, this, [this] { FillHelpMenu(m_HelpMenu); });

    // Add Theme From is filled as its menu opens, so that an empty one is
    // seen grayed before it is opened.
    if (QMenu* addFrom = MenuNamed(this, "AddThemeFrom")) {
        for (QAction* action : bar->actions())
            if (action->menu() != nullptr && action->menu()->actions().contains(addFrom->menuAction()))
                connect(action->menu(), &QMenu::aboutToShow, this, [this, addFrom] { FillLoaderMenu(addFrom); });
    }
    // The current theme's loader plug-in offers its own commands.
    QMenu* createNewTheme = MenuNamed(this, "CreateNewTheme");
    if (auto* theme = createNewTheme != nullptr ? qobject_cast<QMenu*>(createNewTheme->parent()) : nullptr) {
        QMenu* commands = theme->addMenu(tr("Plugin Commands"));
        commands->setObjectName(QStringLiteral("PluginCommands"));
        connect(theme, &QMenu::aboutToShow, this, [this, commands] { FillPluginCommandsMenu(commands); });
    }
    // The plug-ins' items of the other places join their menus as those open.
    if (createNewTheme != nullptr)
        connect(createNewTheme, &QMenu::aboutToShow, this,
                [this, createNewTheme] { PlacePluginCommandItems(createNewTheme, kPlaceNewTheme, nullptr); });
    if (QMenu* advanced = MenuNamed(this, "AdvancedEdit"))
        connect(advanced, &QMenu::aboutToShow, this,
                [this, advanced] { PlacePluginCommandItems(advanced, kPlaceAdvancedEdit, nullptr); });
    if (QMenu* selection = MenuNamed(this, "SelectionMenu"))
        connect(selection, &QMenu::aboutToShow, this, [this, selection] {
            PlacePluginCommandItems(selection, kPlaceAdvancedSelection, ActionAfter(selection, ID_SELECTION_POINT_COUNT));
        });
    for (QAction* action : bar->actions()) {
        QMenu* menu = action->menu();
        if (menu == nullptr || !menu->actions().contains(m_Actions[ID_EDIT_COPY_AS_WKT]))
            continue;
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            PlacePluginCommandItems(menu, kPlaceCopySpecial, ActionAfter(menu, ID_EDIT_COPY_AS_WKT));
        });
    }
}

void CMainFrame::PlacePluginCommandItems(QMenu* menu, int placement, QAction* before) {
    for (PluginCommandItem& item : m_PluginCommandItems) {
        if (item.placement != placement)
            continue;
        QAction* action = GetCommandAction(item.commandId);
        if (action == nullptr)
            continue;
        if (!menu->actions().contains(action))
            menu->insertAction(before, action);
        item.placed = true;
        UpdateCommandUI(action);
    }
}

void CMainFrame::FillPluginCommandsMenu(QMenu* menu) {
    menu->clear();
    CCorvaleDoc* document = GetActiveDocument();
    CTheme* theme = document != nullptr ? document->m_activeTheme : nullptr;
    CLoaderPlugin* loader =
        theme != nullptr && theme->m_SourceType == ST_CustomLoader ? theme->m_Loader : nullptr;
    unsigned id = ID_LOADER_MENU_FIRST;
    if (loader != nullptr && loader->GetCustomMenu(0)) {
        for (LoaderMenuItem& item : loader->m_Menu) {
            if (item.m_Text.empty()) {
                menu->addSeparator();
                continue;
            }
            if (id > ID_LOADER_MENU_LAST)
                break;
            item.m_CommandId = id;
            QAction* action = EnsureCommand(id++);
            action->setText(Q(item.m_Text));
            action->setStatusTip(Q(item.m_Prompt));
            menu->addAction(action);
            // The program has nothing to do with a loader's own command: the
            // item shows what the loader offers, grayed.
            UpdateCommandUI(action);
        }
    }
    const bool any = id != ID_LOADER_MENU_FIRST;
    if (!any) {
        menu->clear();
        menu->addAction(tr("<Empty>"))->setEnabled(false);
    }
    menu->menuAction()->setEnabled(any);
}

void CMainFrame::SetToolFolder(const std::string& folder) { m_ToolFolder = WithSlash(folder); }
void CMainFrame::SetHelpFolder(const std::string& folder) { m_HelpFolder = WithSlash(folder); }

void CMainFrame::FillToolsMenu(QMenu* menu) {
    QAction* options = m_Actions[ID_TOOLS_OPTIONS];
    for (QAction* action : menu->actions())
        if (action != options)
            RemoveFromMenu(menu, action);
    for (QMenu* old : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        old->deleteLater();

    // The programs, then the scripts, of the Tools folder.
    m_ToolList.clear();
    const QDir dir(Q(m_ToolFolder));
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& info : files)
        if (!IsScript(info.fileName()) && info.isExecutable())
            m_ToolList.push_back(info.absoluteFilePath().toStdString());
    for (const QFileInfo& info : files)
        if (IsScript(info.fileName()))
            m_ToolList.push_back(info.absoluteFilePath().toStdString());

    // Scripts run in the active workspace.
    const bool scripting = HasScriptRunner() && GetActiveDocument() != nullptr;
    QList<QAction*> programs;
    QMenu* scripts = nullptr;
    unsigned id = ID_TOOLS_TOOL_FIRST;
    for (const std::string& path : m_ToolList) {
        if (id > ID_TOOLS_TOOL_LAST)
            break;
        const QFileInfo info(Q(path));
        const bool script = IsScript(info.fileName());
        if (script && !scripting)
            continue;
        QAction* action = EnsureCommand(id);
        action->setText(ToolName(info));
        action->setStatusTip(tr("Runs this tool"));
        action->setToolTip(Q(path));
        if (script) {
            if (scripts == nullptr) {
                scripts = new QMenu(tr("JavaScript"), menu);
                scripts->setObjectName(QStringLiteral("ToolScripts"));
            }
            scripts->addAction(action);
        } else {
            programs << action;
        }
        ++id;
    }
    // The entries keep the order of the list: their index is their id.
    menu->insertActions(options, programs);
    for (PluginCommandItem& item : m_PluginCommandItems) {
        if (item.placement != kPlaceTools)
            continue;
        if (QAction* action = GetCommandAction(item.commandId)) {
            menu->insertAction(options, action);
            item.placed = true;
        }
    }
    if (scripts != nullptr) {
        menu->insertSeparator(options);
        menu->insertAction(options, m_Actions[ID_SCRIPT_FROM_TEMPLATE]);
        menu->insertMenu(options, scripts);
    }
    if (menu->actions().size() > 1)
        menu->insertSeparator(options);
    for (QAction* action : menu->actions())
        if (action->menu() == nullptr && !action->isSeparator())
            UpdateCommandUI(action);
    if (scripts != nullptr)
        for (QAction* action : scripts->actions())
            UpdateCommandUI(action);
}

void CMainFrame::FillHelpMenu(QMenu* menu) {
    QAction* index = m_Actions[ID_HELP_INDEX];
    QAction* about = m_Actions[ID_APP_ABOUT];
    for (QAction* action : menu->actions())
        if (action != index && action != about)
            RemoveFromMenu(menu, action);
    m_HelpDocuments.clear();
    const QDir dir(Q(m_HelpFolder));
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.htm"), QStringLiteral("*.html"), QStringLiteral("*.chm"),
                           QStringLiteral("*.doc"), QStringLiteral("*.pdf")},
                          QDir::Files, QDir::Name | QDir::IgnoreCase);
    unsigned id = ID_HELP_DOCUMENT_FIRST;
    for (const QFileInfo& info : files) {
        if (info.fileName().compare(QString::fromLatin1(kMainHelpFile), Qt::CaseInsensitive) == 0)
            continue;
        if (id > ID_HELP_DOCUMENT_LAST)
            break;
        m_HelpDocuments.push_back(info.absoluteFilePath().toStdString());
        QAction* action = EnsureCommand(id++);
        action->setText(info.completeBaseName() + QStringLiteral("..."));
        action->setToolTip(info.absoluteFilePath());
        menu->insertAction(index, action);
    }
    if (!m_HelpDocuments.empty())
        menu->insertSeparator(index);
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            UpdateCommandUI(action);
}

std::string CMainFrame::GetToolPath(unsigned id) const {
    // Programs come first and only scripts at the end are ever left out, so
    // the entries' ids follow the list.
    if (id < ID_TOOLS_TOOL_FIRST || id - ID_TOOLS_TOOL_FIRST >= m_ToolList.size())
        return kNotFound;
    return m_ToolList[id - ID_TOOLS_TOOL_FIRST];
}

std::string CMainFrame::GetHelpDocumentPath(unsigned id) const {
    if (id < ID_HELP_DOCUMENT_FIRST || id - ID_HELP_DOCUMENT_FIRST >= m_HelpDocuments.size())
        return kNotFound;
    return m_HelpDocuments[id - ID_HELP_DOCUMENT_FIRST];
}

std::string CMainFrame::GetCustomLoaderName(unsigned id) const {
    if (id < ID_ADD_FROM_DATA_SOURCE_FIRST || id - ID_ADD_FROM_DATA_SOURCE_FIRST >= m_Loaders.size())
        return kNotFound;
    return m_Loaders[id - ID_ADD_FROM_DATA_SOURCE_FIRST].m_Name;
}

void CMainFrame::OnRunTool(unsigned id) {
    const std::string path = GetToolPath(id);
    if (path == kNotFound)
        return;
    if (IsScript(Q(path))) {
        CCorvaleDoc* document = GetActiveDocument();
        if (document != nullptr && HasScriptRunner())
            Runner()(*document, path);
        return;
    }
    std::string reason;
    if (!GetLauncher().startProgram(path, m_ToolFolder, reason))
        ReportStartFailure("tool", path, reason);
}

void CMainFrame::OnOpenHelpDocument(unsigned id) {
    const std::string path = GetHelpDocumentPath(id);
    if (path == kNotFound)
        return;
    std::string reason;
    if (!GetLauncher().openDocument(path, reason))
        ReportStartFailure("help system", path, reason);
}

// ---------------------------------------------------------------------------
// User scripts
// ---------------------------------------------------------------------------

namespace {

const std::string& UserScriptPath(int index) {
    static const std::string none;
    CAppSettings* settings = CAppSettings::GetInstance();
    if (settings == nullptr || index < 0 || index >= static_cast<int>(settings->m_UserScripts.size()))
        return none;
    return settings->m_UserScripts[static_cast<std::size_t>(index)];
}

} // namespace

int CMainFrame::GetClickedUserScriptButton() const {
    const unsigned id = CCorvaleToolBar::GetClickedUserScriptId();
    return id >= ID_USER_SCRIPT_FIRST && id <= ID_USER_SCRIPT_LAST ? static_cast<int>(id - ID_USER_SCRIPT_FIRST)
                                                                    : -1;
}

void CMainFrame::ResetScriptToolBar() {
    // Every button but the separators and the script creator becomes a
    // user-script button with its menu.
    const QList<QAction*> menu = {m_Actions[ID_USER_SCRIPT_INVOKE], m_Actions[ID_USER_SCRIPT_BIND],
                                  m_Actions[ID_USER_SCRIPT_EDIT]};
    for (QAction* action : m_ScriptBar->actions()) {
        if (action->isSeparator() || !action->data().isValid())
            continue;
        const unsigned id = action->data().toUInt();
        if (id == ID_SCRIPT_FROM_TEMPLATE)
            continue;
        if (!m_ScriptBar->ReplaceWithUserScriptMenu(id, menu))
            continue;
        // Opened, the menu shows what its commands can do for this button.
        if (auto* button = qobject_cast<QToolButton*>(m_ScriptBar->widgetForAction(action)))
            ConnectUpdateOnShow(button->menu());
    }
    m_ScriptBar->SetTipProvider(
        [this](unsigned id, QString& tip, QString& description) { return GetButtonTip(id, tip, description); });
}

bool CMainFrame::GetButtonTip(unsigned id, QString& tip, QString& description) const {
    if (id >= ID_USER_SCRIPT_FIRST && id <= ID_USER_SCRIPT_LAST) {
        const int index = static_cast<int>(id - ID_USER_SCRIPT_FIRST);
        std::string tooltip, text;
        GetUserScriptTip(GetActiveDocument() != nullptr, UserScriptPath(index), tooltip, text);
        tip = Q(tooltip);
        description = Q(text);
        return true;
    }
    std::string prompt, tooltip;
    if (GetPluginButtonTexts(id, prompt, tooltip)) {
        tip = Q(tooltip);
        description = Q(prompt);
        return true;
    }
    return false;
}

void CMainFrame::OnUserScriptButton(unsigned id) {
    CCorvaleToolBar::SetClickedUserScriptId(id);
    const int index = GetClickedUserScriptButton();
    // A button bound to nothing asks for its script.
    if (UserScriptPath(index).empty())
        OnUserScriptBind();
    else
        OnUserScriptInvoke();
}

void CMainFrame::OnUserScriptInvoke() {
    const std::string& path = UserScriptPath(GetClickedUserScriptButton());
    CCorvaleDoc* document = GetActiveDocument();
    if (path.empty() || document == nullptr || !HasScriptRunner())
        return;
    Runner()(*document, path);
}

void CMainFrame::OnUserScriptBind() {
    const int index = GetClickedUserScriptButton();
    CAppSettings* settings = CAppSettings::GetInstance();
    if (index < 0 || settings == nullptr)
        return;
    corvale::FileDialogRequest request;
    request.title = QStringLiteral("Open file to bind to button %1").arg(index + 1).toStdString();
    request.filter = "JavaScript Files (*.js)|*.js|All Files (*.*)|*.*||";
    request.defaultExtension = "js";
    const std::string& current = UserScriptPath(index);
    if (current.empty())
        request.initialFolder = m_ScriptFolder;
    else
        request.initialName = current;
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return;
    settings->m_UserScripts[static_cast<std::size_t>(index)] = paths.front();
    settings->Save();
    if (CCorvaleApp* app = CCorvaleApp::GetInstance())
        app->ApplyOptions();
}

void CMainFrame::OnUserScriptEdit() {
    const std::string& path = UserScriptPath(GetClickedUserScriptButton());
    if (path.empty())
        return;
    std::string reason;
    if (!GetLauncher().openDocument(path, reason))
        ReportStartFailure("editor", path, reason);
}

bool CMainFrame::OnMenuCmdMsg(unsigned id, CCmdUI* ui) {
    auto handled = [ui](bool enabled) {
        ui->Enable(enabled);
        ui->m_Handled = true;
        return true;
    };
    if (id >= ID_TOOLS_TOOL_FIRST && id <= ID_TOOLS_TOOL_LAST) {
        const std::string path = GetToolPath(id);
        if (ui == nullptr) {
            OnRunTool(id);
            return true;
        }
        if (path == kNotFound)
            return handled(false);
        return handled(!IsScript(Q(path)) || (HasScriptRunner() && GetActiveDocument() != nullptr));
    }
    if (id >= ID_HELP_DOCUMENT_FIRST && id <= ID_HELP_DOCUMENT_LAST) {
        if (ui == nullptr) {
            OnOpenHelpDocument(id);
            return true;
        }
        return handled(GetHelpDocumentPath(id) != kNotFound);
    }
    if (id == ID_HELP_INDEX) {
        const std::string main = m_HelpFolder + kMainHelpFile;
        if (ui != nullptr)
            return handled(QFileInfo::exists(Q(main)));
        std::string reason;
        if (!GetLauncher().openDocument(main, reason))
            ReportStartFailure("help system", main, reason);
        return true;
    }
    if (id >= ID_USER_SCRIPT_FIRST && id <= ID_USER_SCRIPT_LAST) {
        if (ui == nullptr) {
            OnUserScriptButton(id);
            return true;
        }
        // Unbound, the button binds; bound, it needs a way to run scripts.
        const bool bound = !UserScriptPath(static_cast<int>(id - ID_USER_SCRIPT_FIRST)).empty();
        return handled(GetActiveDocument() != nullptr && (!bound || HasScriptRunner()));
    }
    const int button = GetClickedUserScriptButton();
    const std::string& path = UserScriptPath(button);
    switch (id) {
    case ID_USER_SCRIPT_INVOKE:
        if (ui == nullptr) {
            OnUserScriptInvoke();
            return true;
        }
        return handled(!path.empty() && GetActiveDocument() != nullptr && HasScriptRunner());
    case ID_USER_SCRIPT_BIND:
        if (ui == nullptr) {
            OnUserScriptBind();
            return true;
        }
        return handled(button >= 0);
    case ID_USER_SCRIPT_EDIT:
        if (ui == nullptr) {
            OnUserScriptEdit();
            return true;
        }
        ui->SetText(path.empty() ? std::string("&Edit...")
                                 : "Edit " + QFileInfo(Q(path)).fileName().replace(QLatin1Char('&'), QStringLiteral("&&")).toStdString() + "...");
        return handled(!path.empty());
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Toolbar pictures
// ---------------------------------------------------------------------------

void CMainFrame::ApplyCommandIcons() {
    for (CCorvaleToolBar* bar : {m_StandardBar, m_ScriptBar, m_EditBar, m_StatisticsBar}) {
        for (QAction* action : bar->actions()) {
            if (action->isSeparator() || !action->data().isValid())
                continue;
            const QIcon icon = MakeCommandIcon(action->data().toUInt());
            if (!icon.isNull())
                action->setIcon(icon);
        }
    }
}
