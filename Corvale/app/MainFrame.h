#pragma once
// The program's main window: the MDI area with one child window per open
// workspace, the menu bar, the four toolbars (Standard, Script, Edit,
// Statistics), the status bar with its panes by id, and the five docking
// panes (themes, attributes, coordinates, statistics, bookmarks).
//
// It keeps the folders beside the program (Plugins, Scripts,
// Templates/JavaScript), watches the plug-in folder, and keeps the lists
// plug-ins add to: command items, file types, status panes and windows. It
// loads the settings when it is created and stops the plug-ins when it is
// destroyed.
//
// Commands: every menu item and toolbar button is a QAction carrying its
// command id. A triggered action is routed frame -> active view -> active
// document -> application; the same route decides, before a menu opens and
// when the program falls idle, whether each action is enabled and checked.

#include "app/AppIds.h"
#include "app/CorvaleToolBar.h"
#include "framework/Messages.h"
#include "workspace/DocExport.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CChildFrame;
class CCorvaleDoc;
class CCorvaleStatusBar;
class CCorvaleToolBar;
class CCustomToolPane;
class CGeoView;
class CLegendPane;
class QComboBox;
class QDockWidget;
class QFileSystemWatcher;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
struct GpiBitmap;
struct GpiToolBarDesc;

class CMainFrame : public QMainWindow, public CMessageWindow {
public:
    // Where a plug-in's command item goes, as the plug-in names it.
    enum PluginItemPlace {
        kPlaceNewTheme = 0,
        kPlaceAddThemeFrom = 1,
        kPlaceCopySpecial = 2,
        kPlaceAdvancedSelection = 3,
        kPlaceAdvancedEdit = 4,
        kPlaceExport = 5,
        kPlaceTools = 6,
    };

    // A command item a plug-in added.
    struct PluginCommandItem {
        int placement = 0;
        std::string name;
        std::string description;
        unsigned commandId = 0;
        bool enabled = true;
        bool checked = false;
        std::uint32_t plugin = 0;
        std::uint32_t pluginData = 0;
        std::uint32_t reserved = 0;
        bool placed = false;
    };
    // A file type a plug-in opens.
    struct PluginFileType {
        std::string pluginName;
        std::string description;
        std::string pattern;
        std::uint32_t userData = 0;
    };
    // A plug-in's toolbar or tool pane, shown and hidden by its command.
    struct PluginWindow {
        unsigned commandId = 0;
        std::string ownerName;
        QPointer<QWidget> window;
    };

    // The colour of the status bar's progress bar (a COLORREF); set once at
    // start-up, before the frame is made.
    static void SetProgressBarColor(std::uint32_t color);

    CMainFrame();
    ~CMainFrame() override;

    // Loads the settings and builds the menus, toolbars, status bar and
    // panes; false when any of them could not be made.
    bool Create();

    // ---- folders beside the program file (each ending in '/') ----
    const std::string& GetProgramFolder() const { return m_ProgramFolder; }
    const std::string& GetPluginFolder() const { return m_PluginFolder; }
    const std::string& GetScriptFolder() const { return m_ScriptFolder; }
    const std::string& GetScriptTemplateFolder() const { return m_ScriptTemplateFolder; }

    // ---- the plug-in folder watch ----
    // Whether the plug-in folder may have changed since the loader list was
    // last read: a folder that cannot be watched counts as changed at every
    // poll.
    bool PollPluginFolder();
    bool IsLoaderListDirty() const { return m_LoaderListDirty; }
    void SetLoaderListDirty(bool dirty) { m_LoaderListDirty = dirty; }
    bool IsPluginFolderWatched() const;
    // Watches another plug-in folder from now on (tests point it at their
    // own plug-ins); the loader list is read again.
    void SetPluginFolder(const std::string& folder);

    // ---- the Add Theme From list ----
    struct LoaderEntry {
        std::string m_Path;
        std::string m_Name;
    };
    // The loader plug-ins of a folder ("*.ldr", by file name) that bind with
    // the required entries, each with its display name.
    static std::vector<LoaderEntry> ReadLoaderList(const std::string& folder);
    // The list of the plug-in folder, read again when the folder changed.
    const std::vector<LoaderEntry>& GetLoaderList();
    // The path of entry n of the list as last shown; empty when there is none.
    std::string GetLoaderPluginPath(unsigned index) const;
    // Fills the Add Theme From menu: one command (20000 + n) per loader.
    void FillLoaderMenu(QMenu* menu);
    // Puts the valid statistics plug-ins of the plug-in folder into the Table
    // menu, after its seven statistics (20321 + n, by name). The program runs
    // no plug-in's calculation, so no command takes them and they stay
    // disabled: they show what is installed.
    void FillStatisticsPluginMenu(QMenu* menu);

    // ---- commands ----
    // The application, last on the command route; not owned.
    void SetApplicationTarget(CCmdTarget* application) { m_ApplicationTarget = application; }
    // The action of a command id; null when the frame has none.
    QAction* GetCommandAction(unsigned id) const;
    // Routes a command; true when some target took it.
    bool ExecuteCommand(unsigned id);
    // Routes the update of one command and applies the answer to its action.
    void UpdateCommandUI(QAction* action);
    // The update pass over every toolbar action (done on idle).
    void UpdateToolbarCommands();
    // The same for the commands with a shortcut key, so that a key runs a
    // command exactly while its menu item would be enabled.
    void UpdateShortcutCommands();
    bool OnCmdMsg(unsigned id, CCmdUI* ui) override;

    // ---- child windows ----
    QMdiArea* GetMdiArea() const { return m_MdiArea; }
    CChildFrame* CreateChildFrame(CCorvaleDoc* document);
    CChildFrame* GetActiveChild() const;
    CCorvaleDoc* GetActiveDocument() const;
    CGeoView* GetActiveView() const;
    std::vector<CChildFrame*> GetChildFrames() const;

    // The active child is the one the MDI area last activated, not the one
    // holding the keyboard focus: clicks on toolbars, panes, the status bar
    // and menus leave it as it is. It goes only with its window; when that
    // was the last one there is no active workspace.

    // The active workspace changed (or is null): the map scale of the new
    // one is shown, the legend lists its themes, the plug-ins are told. Nothing when it is the same as
    // last time.
    void SetActiveDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetLastActiveDocument() const { return m_LastActiveDocument; }
    // A closed document must never compare equal to a later one.
    void ForgetDocument(CCorvaleDoc* document);
    // Brings the active-document binding in line with the active child (the
    // idle pass calls it, as do the area's reports).
    void SyncActiveChild();
    // The title: the active workspace's name first, then the program's. The
    // window's title and the child's modified mark change only when their
    // text does (a change repaints, and this runs on every idle pass).
    void UpdateFrameTitle();

    // ---- status bar ----
    // "1:N" of the scale in the toolbar's scale box, for the document of
    // the active child only.
    void ShowMapScale(CCorvaleDoc* document, double scale);
    QComboBox* GetScaleControl() const { return m_ScaleControl; }
    void SetStatusCoordinates(double x, double y);
    // The name of the reference-system row, or "Unknown" for -1.
    void ShowRefSys(int index);
    // Pane 1130 as wide as its text (three blanks when empty) plus 3.
    void FitRefSysPane();
    // A new plug-in pane: the first free id of 22000-22003 (ids up to 22009
    // are probed); 0 when none is free.
    int AddPluginStatusPane(int width);
    // Takes a plug-in pane out of the status bar; its id is free again.
    void RemovePluginStatusPane(int id);
    bool HasPane(int id) const;
    void SetPaneText(int id, const std::string& text);
    std::string GetPaneText(int id) const;
    int GetPaneWidth(int id) const;
    // Status-bar progress, 0..100.
    void ShowProgress(int percent);
    void HideProgress();
    QProgressBar* GetProgressBar() const { return m_ProgressBar; }

    // ---- toolbars and panes ----
    QToolBar* GetStandardToolBar() const { return m_StandardBar; }
    QToolBar* GetScriptToolBar() const { return m_ScriptBar; }
    QToolBar* GetEditToolBar() const { return m_EditBar; }
    QToolBar* GetStatisticsToolBar() const { return m_StatisticsBar; }
    // The docking pane with that id (101-105); null for another id.
    QDockWidget* GetPane(int id) const;
    // The legend, the contents of the Themes pane.
    CLegendPane* GetLegendPane() const { return m_LegendPane; }
    int GetApplicationLook() const { return m_ApplicationLook; }
    // Stores the visual-style number in the profile ("ApplicationLook").
    void OnApplicationLook(int look);
    // Tools > Options: the options dialog on a copy of the settings; OK
    // takes the copy over, saves it and applies it to every open workspace.
    void OnOptions();

    // ---- recent shape files ----
    // The path behind a command 20310-20319; empty when none.
    std::string GetRecentShapeFile(unsigned id) const;
    // The recent-workspace entries of the File menu changed.
    void RefreshRecentFileMenu();

    // ---- lists plug-ins add to ----
    // A command item on the next id from 22010; 0 once 23009 is passed.
    unsigned AddPluginTool(const std::string& name, std::uint32_t plugin, int placement,
                           const std::string& description, std::uint32_t pluginData);
    void AddPluginFileType(const std::string& pluginName, const std::string& description,
                           const std::string& pattern, std::uint32_t userData);
    const std::vector<PluginCommandItem>& GetPluginCommandItems() const { return m_PluginCommandItems; }
    // The enabled plug-in tools of the export kind (kPlaceExport), in the
    // frame's order: the Export command offers them after the exporters.
    std::vector<CExportTool> GetPluginExportTools() const;
    // Runs the plug-in tool with that command id through its plug-in's
    // command-item hook; nothing for an unknown id.
    void OnPluginTool(unsigned commandId);
    const std::vector<PluginFileType>& GetPluginFileTypes() const { return m_PluginFileTypes; }
    std::vector<PluginWindow>& GetPluginWindows() { return m_PluginWindows; }
    // The settings section of a plug-in window's state: owner name, a
    // backslash and the window title.
    static std::string GetPluginWindowSection(const std::string& ownerName, const std::string& title);

    // ---- plug-in toolbars, tool panes and command items (MainFramePlugins.cpp) ----
    // A button of a plug-in toolbar, under the command id the frame gave it.
    struct PluginButton {
        std::uint32_t plugin = 0;
        // The plug-in's prompt, a line feed and its tooltip.
        std::string description;
        // The plug-in's own id of the button.
        std::uint32_t oldId = 0;
        CCorvaleToolBar* toolbar = nullptr;
        bool enabled = true;
        bool checked = false;
    };
    // A docked toolbar filled from the plug-in's description, its buttons on
    // command ids from 21000; null when the description is missing or names
    // another resource id, or the toolbar or button ids are used up.
    // ownerName is the plug-in's GUID text, under which the toolbar's state
    // is kept.
    CCorvaleToolBar* CreatePluginToolbar(std::uint32_t plugin, const std::string& ownerName,
                                         const GpiToolBarDesc* module, std::uint32_t resourceId,
                                         const std::string& title);
    // The button that plug-in knows by buttonId on that toolbar is enabled
    // or checked; nothing when there is none.
    void EnablePluginToolButton(std::uint32_t buttonId, std::uint32_t plugin, CCorvaleToolBar* toolbar, bool enable);
    void CheckPluginToolButton(std::uint32_t buttonId, std::uint32_t plugin, CCorvaleToolBar* toolbar, bool check);
    // The prompt (before the description's first line feed) and tooltip
    // (after it; the whole text without one) of a plug-in toolbar button;
    // false for another id.
    bool GetPluginButtonTexts(unsigned id, std::string& prompt, std::string& tooltip) const;
    const PluginButton* FindPluginButton(unsigned id) const;
    const std::vector<CCorvaleToolBar*>& GetPluginToolBars() const { return m_PluginToolBars; }
    // A docking pane for a plug-in, with the icon when given; null when it
    // cannot be made.
    CCustomToolPane* CreateCustomToolPane(const std::string& ownerName, const std::string& caption,
                                          const GpiBitmap* icon);
    // The enabled word of a plug-in command item; an unknown id changes
    // nothing. Its entry shows it at its next update.
    void EnablePluginCommandItem(unsigned commandId, bool enabled);

    // ---- dynamic menus, tools, help documents and user scripts (MainFrameMenus.cpp) ----
    // Runs a script file in a workspace; false when it could not run.
    using ScriptRunner = std::function<bool(CCorvaleDoc& document, const std::string& path)>;
    // How the program runs script files. Until one is installed, the Tools
    // menu lists no scripts and the user-script buttons cannot run theirs.
    static void SetScriptRunner(ScriptRunner runner);
    static bool HasScriptRunner();
    // How tools, help documents and scripts to edit are started: a program
    // in a working folder, a document with the desktop's program for it.
    // Each answers false with the reason when it could not start. An empty
    // slot takes the desktop's way (tests put their own in).
    struct Launcher {
        std::function<bool(const std::string& path, const std::string& folder, std::string& reason)> startProgram;
        std::function<bool(const std::string& path, std::string& reason)> openDocument;
    };
    static void SetLauncher(const Launcher& launcher);
    static const Launcher& GetLauncher();
    // The folders of the Tools and Help menus (beside the program file;
    // tests point them elsewhere), each ending in '/'.
    const std::string& GetToolFolder() const { return m_ToolFolder; }
    const std::string& GetHelpFolder() const { return m_HelpFolder; }
    void SetToolFolder(const std::string& folder);
    void SetHelpFolder(const std::string& folder);
    QMenu* GetToolsMenu() const { return m_ToolsMenu; }
    QMenu* GetHelpMenu() const { return m_HelpMenu; }
    // Rebuild the menus from their folders and the plug-ins; each runs as
    // its menu opens.
    void FillToolsMenu(QMenu* menu);
    void FillHelpMenu(QMenu* menu);
    // The menu of the current theme's loader plug-in; "<Empty>" and grayed
    // without one.
    void FillPluginCommandsMenu(QMenu* menu);
    // The path behind a Tools or Help command, or the name behind an Add
    // Theme From command; "#ERROR#" beyond the list.
    std::string GetToolPath(unsigned id) const;
    std::string GetHelpDocumentPath(unsigned id) const;
    std::string GetCustomLoaderName(unsigned id) const;
    // Starts a tool: a script in the active workspace, anything else as a
    // program in the Tools folder. A failure is reported.
    void OnRunTool(unsigned id);
    // Opens a help document with the desktop's program for it.
    void OnOpenHelpDocument(unsigned id);
    // The user-script button last used, 0-5; -1 when none was.
    int GetClickedUserScriptButton() const;
    void OnUserScriptButton(unsigned id);
    void OnUserScriptInvoke();
    void OnUserScriptBind();
    void OnUserScriptEdit();
    // The tooltip and description of a button as they are now (the bound
    // script of a user-script button, a plug-in button's description).
    bool GetButtonTip(unsigned id, QString& tip, QString& description) const;

    // ---- messages ----
    QObject* GetMessageObject() override { return this; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddCommand(unsigned id, const QString& text, const QIcon& icon = QIcon(),
                        const QKeySequence& shortcut = QKeySequence(), bool checkable = false);
    void CreateCommands();
    bool CreateMenuBar();
    bool CreateToolBars();
    bool CreateStatusBar();
    bool CreateDockingWindows();
    // Binds the attributes and statistics panes to the workspace (null: none).
    void SetPanesDocument(CCorvaleDoc* document);
    QLabel* AddStatusPane(int id, int width, const QIcon& icon = QIcon());
    void OnToolbarReset(int toolbarId);
    void OnSubWindowActivated(QMdiSubWindow* window);
    CChildFrame* FindChildToActivate() const;
    void FitToScreen();
    void OnScaleChosen(int index);
    void SaveAndClosePluginWindows();
    void ConnectUpdateOnShow(QMenu* menu);
    // The commands of plug-in toolbar buttons, command items and the
    // show/hide commands of plug-in windows; false for other ids.
    bool OnPluginCmdMsg(unsigned id, CCmdUI* ui);
    // The next show/hide command id of a plug-in window; 0 when used up.
    unsigned NextPluginWindowCommand();
    void RestorePluginWindow(QWidget* window, const std::string& ownerName, bool& restored);
    void FillRecentShapeFileMenu(QMenu* menu);

    // MainFrameMenus.cpp
    void CreateMenuCommands();
    void CreateDynamicMenus();
    void ResetScriptToolBar();
    void ApplyCommandIcons();
    bool OnMenuCmdMsg(unsigned id, CCmdUI* ui);
    QAction* EnsureCommand(unsigned id);
    void PlacePluginCommandItems(QMenu* menu, int placement, QAction* before);
    void ReportStartFailure(const std::string& what, const std::string& path, const std::string& reason);

    std::string m_ToolFolder;
    std::string m_HelpFolder;
    std::vector<std::string> m_ToolList;
    std::vector<std::string> m_HelpDocuments;
    QMenu* m_ToolsMenu = nullptr;
    QMenu* m_HelpMenu = nullptr;

    std::string m_ProgramFolder;
    std::string m_PluginFolder;
    std::string m_ScriptFolder;
    std::string m_ScriptTemplateFolder;

    QMdiArea* m_MdiArea = nullptr;
    CCorvaleToolBar* m_StandardBar = nullptr;
    CCorvaleToolBar* m_ScriptBar = nullptr;
    CCorvaleToolBar* m_EditBar = nullptr;
    CCorvaleToolBar* m_StatisticsBar = nullptr;
    QComboBox* m_ScaleControl = nullptr;
    QToolButton* m_AddThemeButton = nullptr;
    QMenu* m_RecentFileMenu = nullptr;
    QProgressBar* m_ProgressBar = nullptr;
    CCorvaleStatusBar* m_StatusBar = nullptr;
    // Status panes by id, in the order they were added.
    std::map<int, QLabel*> m_Panes;
    std::map<int, QDockWidget*> m_DockPanes;
    CLegendPane* m_LegendPane = nullptr;
    std::map<unsigned, QAction*> m_Actions;

    QFileSystemWatcher* m_PluginWatcher = nullptr;
    bool m_LoaderListDirty = true;
    std::vector<LoaderEntry> m_Loaders;
    int m_ApplicationLook = 216;
    CCmdTarget* m_ApplicationTarget = nullptr;
    CCorvaleDoc* m_LastActiveDocument = nullptr;
    // The child the area last activated; cleared when it goes.
    QPointer<QMdiSubWindow> m_ActiveChild;

    std::vector<PluginCommandItem> m_PluginCommandItems;
    unsigned m_NextPluginToolId = 22010;
    std::vector<PluginFileType> m_PluginFileTypes;
    std::vector<PluginWindow> m_PluginWindows;
    std::map<unsigned, PluginButton> m_PluginButtons;
    std::vector<CCorvaleToolBar*> m_PluginToolBars;
    unsigned m_NextPluginButtonId = 21000;
    unsigned m_NextPluginToolBarId = 20621;
    unsigned m_NextPluginWindowCommandId = 23010;
    bool m_Closing = false;
};

struct GpiFrameServices;
// Fills the plug-in host's frame services for plug-in toolbars, tool panes
// and command items with calls on the main frame that frame() answers at the
// time of each call (nothing happens while it answers null).
void AddPluginWindowServices(GpiFrameServices& services, std::function<CMainFrame*()> frame);
