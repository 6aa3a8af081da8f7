#pragma once
// The application: start-up, the workspace document type, how a path that
// reaches the program (command line, drag and drop, recent list, File Open)
// is opened, the idle pass, and pushing changed options into the open
// workspaces.
//
// One object per process, made by main() after the QApplication; the
// program's other parts reach it through GetInstance.

#include "app/DocTemplate.h"
#include "app/RecentFileList.h"
#include "framework/CommandTarget.h"

#include <QStringList>

#include <memory>
#include <string>

class CChildFrame;
class CCorvaleDoc;
class CMainFrame;
class CQtUserInterface;
class CIdleTrigger;
class QObject;

// What the command line asks for.
struct CCommandLineInfo {
    enum ShellCommand { FileNew, FileOpen };
    ShellCommand m_nShellCommand = FileNew;
    // The file or folder named, made absolute; empty for none.
    std::string m_strFileName;
};

// The first argument that is not an option becomes the file to open; the
// rest is left alone. Options start with '-'; "--" ends them.
void ParseCommandLine(const QStringList& arguments, CCommandLineInfo& info);

class CCorvaleApp : public CCmdTarget {
public:
    static constexpr const char* kAppId = "Brasken.Corvale.Corvale.2";
    static constexpr const char* kWorkspaceDocString =
        "\nCorvale\nCorvale\nCorvale Workspaces (*.cvw)\n.cvw\nCorvale.Document\nCorvale.Document";
    static constexpr unsigned kWorkspaceResourceId = 130;

    CCorvaleApp();
    ~CCorvaleApp() override;

    CCorvaleApp(const CCorvaleApp&) = delete;
    CCorvaleApp& operator=(const CCorvaleApp&) = delete;

    // The application object; null when none exists.
    static CCorvaleApp* GetInstance();

    // Start-up with the arguments after the program name; false ends the
    // program.
    bool InitInstance(const QStringList& arguments);
    // Takes the program down: the documents close, the main window goes
    // (stopping the plug-ins), the services are uninstalled. Returns the
    // exit code.
    int ExitInstance();
    // The idle pass: the toolbar commands are brought up to date, then the
    // plug-ins hear that the program is idle. False: no more idle work.
    //
    // It runs once the event queue has drained after an event that may have
    // changed what the commands show (input, a posted message, a window
    // change), never after a paint or a timer alone: a pass that changes
    // nothing causes no further pass, so an untouched program sleeps.
    bool OnIdle(long count);
    // The number of idle passes so far.
    long GetIdleCount() const { return m_IdleCount; }

    // Opens a path: a workspace (".cvw", in any case) as a document; a
    // folder or any other file into the active workspace, made first when
    // there is none. Answers the workspace document opened, null for a data
    // path or a failure.
    CCorvaleDoc* OpenDocumentFile(const std::string& path);
    // Pushes the settings into every open document: the selection colour of
    // every theme, the console's colour scheme, and DUE_OptionsChanged to
    // every subscriber.
    void ApplyOptions();

    // File New: a new empty workspace in a new child window.
    CCorvaleDoc* OnFileNew();
    // File Open: asks for a file, then OpenDocumentFile.
    void OnFileOpen();
    // Save (Save As for a workspace that has no file yet), Save As.
    bool OnFileSave(CCorvaleDoc* document);
    bool OnFileSaveAs(CCorvaleDoc* document);
    // Asks whether to save a modified workspace: true when it may close.
    bool SaveModified(CCorvaleDoc* document);
    bool SaveAllModified();
    // Closes a workspace's windows and the workspace without asking.
    void CloseDocument(CCorvaleDoc* document);
    void CloseAllDocuments();
    // Called by a closing child window: the document leaves its template and
    // is deleted.
    void CloseDocumentNow(CCorvaleDoc* document);

    CMainFrame* GetMainFrame() const { return m_MainFrame; }
    CCorvaleDocManager& GetDocManager() { return m_DocManager; }
    CMultiDocTemplate* GetDocTemplate() const { return m_DocTemplate; }
    CRecentFileList& GetRecentFileList() { return m_RecentFiles; }
    // Adds a workspace path to the recent list and stores the list.
    void AddToRecentFileList(const std::string& path);
    const CCommandLineInfo& GetCommandLineInfo() const { return m_CmdInfo; }

    bool OnCmdMsg(unsigned id, CCmdUI* ui) override;

    // Off: start-up leaves the user interface that is installed (tests
    // install a scripted one that answers the questions).
    bool m_InstallQtUserInterface = true;

private:
    bool ProcessShellCommand(CCommandLineInfo& info);
    void InstallServices();
    // The Export command's frame lists, dialogs and image encoders, and the
    // map images exporters ask for.
    void InstallExportServices();
    void UninstallServices();
    CChildFrame* FindChildFrame(const CCorvaleDoc* document) const;
    void OnOpenRecentFile(unsigned id);
    // Help > About: the About dialog, modal.
    void OnAppAbout();

    CCorvaleDocManager m_DocManager;
    CMultiDocTemplate* m_DocTemplate = nullptr;
    CRecentFileList m_RecentFiles;
    CCommandLineInfo m_CmdInfo;
    CMainFrame* m_MainFrame = nullptr;
    std::unique_ptr<CQtUserInterface> m_UserInterface;
    struct Services;
    std::unique_ptr<Services> m_Services;
    std::unique_ptr<CIdleTrigger> m_IdleTrigger;
    bool m_InIdle = false;
    long m_IdleCount = 0;
};
