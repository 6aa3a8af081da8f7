#include "app/CorvaleApp.h"

#include "app/AppIds.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QtUserInterface.h"
#include "core/Theme.h"
#include "scripting/DocumentConsole.h"
#include "settings/AppSettings.h"
#include "ui/AttributeDialogServices.h"
#include "view/GeoViewServices.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"

#include <QAbstractEventDispatcher>
#include <QFileInfo>
#include <QMdiArea>
#include <QObject>

#include <cctype>

namespace {

CCorvaleApp* g_App = nullptr;

constexpr const char* kWorkspaceFilter = "Corvale Workspaces (*.cvw)|*.cvw|All Files (*.*)|*.*||";

// The extension as the shell saw it: from the last dot of the file name on,
// empty when the name has none.
std::string FindExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return path.substr(dot);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsDirectory(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

bool IsWorkspacePath(const std::string& path) {
    return !IsDirectory(path) && EqualsNoCase(FindExtension(path), ".cvw");
}

// What the map view needs of the main frame.
class CAppViewServices : public IGeoViewServices {
public:
    explicit CAppViewServices(CCorvaleApp& app) : m_App(app) {}
    void SetActiveDocument(CCorvaleDoc* document) override {
        if (CMainFrame* frame = m_App.GetMainFrame())
            frame->SetActiveDocument(document);
    }

private:
    CCorvaleApp& m_App;
};

} // namespace

struct CCorvaleApp::Services {
    explicit Services(CCorvaleApp& app) : view(app) {}
    CAppViewServices view;
};

void ParseCommandLine(const QStringList& arguments, CCommandLineInfo& info) {
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            continue;
        if (argument.isEmpty())
            continue;
        info.m_strFileName = QFileInfo(argument).absoluteFilePath().toStdString();
        info.m_nShellCommand = CCommandLineInfo::FileOpen;
        return;
    }
}

CCorvaleApp::CCorvaleApp() { g_App = this; }

CCorvaleApp::~CCorvaleApp() {
    if (m_MainFrame != nullptr || m_Services != nullptr)
        ExitInstance();
    if (g_App == this)
        g_App = nullptr;
}

CCorvaleApp* CCorvaleApp::GetInstance() { return g_App; }

bool CCorvaleApp::InitInstance(const QStringList& arguments) {
    // The status bar's progress bar is orange.
    CMainFrame::SetProgressBarColor(0x0080FF);
    // The plug-in lock is on before any plug-in exists.
    GpiInitializeLock();

    m_RecentFiles.ReadList();

    m_DocTemplate = new CMultiDocTemplate(kWorkspaceResourceId, kWorkspaceDocString);
    m_DocManager.AddDocTemplate(m_DocTemplate);

    auto* frame = new CMainFrame();
    frame->SetApplicationTarget(this);
    if (!frame->Create()) {
        delete frame;
        return false;
    }
    m_MainFrame = frame;
    InstallServices();

    LoadGpiPlugins(m_MainFrame->GetPluginFolder());

    m_CmdInfo = CCommandLineInfo();
    ParseCommandLine(arguments, m_CmdInfo);
    bool fromRecentList = false;
    if (CAppSettings::GetInstance()->m_LoadLatestWorkspace != 0 &&
        m_CmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        const std::string latest = m_RecentFiles.Get(0);
        if (m_CmdInfo.m_strFileName.empty() && !latest.empty()) {
            m_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
            m_CmdInfo.m_strFileName = latest;
            fromRecentList = true;
        }
    }
    if (!ProcessShellCommand(m_CmdInfo, fromRecentList))
        return false;

    m_MainFrame->show();
    m_MainFrame->UpdateFrameTitle();

    // The idle pass runs whenever the event loop has nothing left to do.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        m_IdleConnection = new QObject();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, m_IdleConnection,
                         [this] { OnIdle(m_IdleCount++); });
    }
    return true;
}

bool CCorvaleApp::ProcessShellCommand(CCommandLineInfo& info, bool fromRecentList) {
    if (info.m_nShellCommand == CCommandLineInfo::FileNew)
        return OnFileNew() != nullptr;
    const std::string& path = info.m_strFileName;
    if (OpenDocumentFile(path) != nullptr)
        return true;
    // A data file or folder has gone into a workspace (or said why not);
    // the program goes on either way.
    if (!IsWorkspacePath(path))
        return true;
    // A latest workspace that has gone or no longer reads must not keep the
    // program from starting: it starts empty instead.
    if (fromRecentList)
        return OnFileNew() != nullptr;
    return false;
}

void CCorvaleApp::InstallServices() {
    if (m_InstallQtUserInterface) {
        m_UserInterface = std::make_unique<CQtUserInterface>();
        m_UserInterface->SetMainFrame(m_MainFrame);
        corvale::SetUserInterface(m_UserInterface.get());
    }

    m_Services = std::make_unique<Services>(*this);
    SetGeoViewServices(&m_Services->view);

    CDocumentDialogServices dialogs = GetDocumentDialogServices();
    dialogs.showMapScale = [this](CCorvaleDoc* document, double scale) {
        if (m_MainFrame != nullptr)
            m_MainFrame->ShowMapScale(document, scale);
    };
    InstallAttributeDialogs(dialogs, m_MainFrame);
    SetDocumentDialogServices(dialogs);

    InstallDocumentConsole();

    GpiFrameServices frameServices;
    frameServices.openDocuments = [this] { return m_DocManager.GetOpenDocuments(); };
    frameServices.activeDocument = [this]() -> CCorvaleDoc* {
        return m_MainFrame != nullptr ? m_MainFrame->GetActiveDocument() : nullptr;
    };
    frameServices.mainWindow = m_MainFrame;
    frameServices.addPluginTool = [this](const std::string& text, int placement, std::uint32_t identity,
                                         const std::string& prompt, std::uint32_t userData) -> std::uint32_t {
        return m_MainFrame != nullptr ? m_MainFrame->AddPluginTool(text, identity, placement, prompt, userData) : 0;
    };
    frameServices.addPluginFileType = [this](const std::string& guidText, const std::string& description,
                                             const std::string& pattern, std::uint32_t userData) {
        if (m_MainFrame != nullptr)
            m_MainFrame->AddPluginFileType(guidText, description, pattern, userData);
    };
    GpiSetFrameServices(frameServices);
}

void CCorvaleApp::UninstallServices() {
    GpiSetFrameServices(GpiFrameServices());
    SetDocumentConsoleServices(CDocumentConsoleServices());
    CDocumentDialogServices dialogs = GetDocumentDialogServices();
    dialogs.showMapScale = nullptr;
    dialogs.manageAttributes = nullptr;
    dialogs.mergeAttributes = nullptr;
    SetDocumentDialogServices(dialogs);
    SetGeoViewServices(nullptr);
    m_Services.reset();
    if (m_UserInterface != nullptr) {
        if (&corvale::UI() == m_UserInterface.get())
            corvale::SetUserInterface(nullptr);
        m_UserInterface.reset();
    }
}

int CCorvaleApp::ExitInstance() {
    delete m_IdleConnection;
    m_IdleConnection = nullptr;
    CloseAllDocuments();
    if (m_MainFrame != nullptr) {
        CMainFrame* frame = m_MainFrame;
        m_MainFrame = nullptr;
        // The frame stops the plug-ins as it goes.
        delete frame;
    }
    UninstallServices();
    return 0;
}

bool CCorvaleApp::OnIdle(long) {
    if (m_InIdle || m_MainFrame == nullptr)
        return false;
    m_InIdle = true;
    m_MainFrame->UpdateToolbarCommands();
    m_MainFrame->UpdateFrameTitle();
    GpiNotifyIdle();
    m_InIdle = false;
    return false;
}

// ---------------------------------------------------------------------------
// Documents
// ---------------------------------------------------------------------------

CChildFrame* CCorvaleApp::FindChildFrame(const CCorvaleDoc* document) const {
    if (m_MainFrame == nullptr)
        return nullptr;
    for (CChildFrame* child : m_MainFrame->GetChildFrames())
        if (child->GetDocument() == document)
            return child;
    return nullptr;
}

CCorvaleDoc* CCorvaleApp::OnFileNew() {
    if (m_MainFrame == nullptr || m_DocTemplate == nullptr)
        return nullptr;
    CCorvaleDoc* document = m_DocTemplate->CreateNewDocument();
    auto* child = new CChildFrame(document);
    m_MainFrame->GetMdiArea()->addSubWindow(child);
    if (!document->OnNewDocument()) {
        m_MainFrame->GetMdiArea()->removeSubWindow(child);
        delete child;
        m_DocTemplate->RemoveDocument(document);
        delete document;
        return nullptr;
    }
    static int untitledCount = 0;
    document->SetTitle(m_DocTemplate->GetDocString(CMultiDocTemplate::docName) + std::to_string(++untitledCount));
    child->UpdateTitle();
    child->showMaximized();
    m_MainFrame->GetMdiArea()->setActiveSubWindow(child);
    m_MainFrame->SetActiveDocument(document);
    return document;
}

CCorvaleDoc* CCorvaleApp::OpenDocumentFile(const std::string& path) {
    if (m_MainFrame == nullptr || m_DocTemplate == nullptr || path.empty())
        return nullptr;

    if (!IsWorkspacePath(path)) {
        CCorvaleDoc* document = m_MainFrame->GetActiveDocument();
        if (document == nullptr) {
            OnFileNew();
            document = m_MainFrame->GetActiveDocument();
        }
        if (document == nullptr)
            return nullptr;
        bool added = false;
        if (IsDirectory(path))
            added = document->LoadShapeFolder(path, true);
        else
            added = document->OpenDataFile(path, true);
        if (added)
            document->SetModifiedFlag(true);
        // A data path never enters the recent-workspace list.
        return nullptr;
    }

    // An untouched empty workspace (the one made at start-up, say) gives way
    // to the workspace opened.
    CCorvaleDoc* emptyWorkspace = nullptr;
    if (m_DocManager.GetOpenDocumentCount() == 1) {
        CCorvaleDoc* active = m_MainFrame->GetActiveDocument();
        if (active != nullptr && !active->IsModified() && active->m_themes.empty())
            emptyWorkspace = active;
    }

    // A workspace that is open already is brought to the front.
    if (CCorvaleDoc* open = m_DocManager.FindDocumentByPath(path)) {
        if (CChildFrame* child = FindChildFrame(open))
            m_MainFrame->GetMdiArea()->setActiveSubWindow(child);
        AddToRecentFileList(open->GetPathName());
        return open;
    }

    CCorvaleDoc* document = m_DocTemplate->CreateNewDocument();
    // The window exists (hidden) while the file is read, as the workspace
    // may ask its views to show the workspace properties.
    auto* child = new CChildFrame(document);
    m_MainFrame->GetMdiArea()->addSubWindow(child);
    if (!document->OpenWorkspace(path)) {
        m_MainFrame->GetMdiArea()->removeSubWindow(child);
        delete child;
        m_DocTemplate->RemoveDocument(document);
        document->OnCloseDocument();
        delete document;
        return nullptr;
    }
    AddToRecentFileList(document->GetPathName().empty() ? path : document->GetPathName());
    child->UpdateTitle();
    child->showMaximized();
    m_MainFrame->GetMdiArea()->setActiveSubWindow(child);
    m_MainFrame->SetActiveDocument(document);

    if (emptyWorkspace != nullptr && emptyWorkspace != document)
        CloseDocument(emptyWorkspace);
    return document;
}

void CCorvaleApp::OnFileOpen() {
    corvale::FileDialogRequest request;
    request.title = "Open";
    request.filter = kWorkspaceFilter;
    request.defaultExtension = ".cvw";
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return;
    OpenDocumentFile(paths.front());
}

bool CCorvaleApp::OnFileSave(CCorvaleDoc* document) {
    if (document == nullptr)
        return false;
    if (document->GetPathName().empty() || !IsWorkspacePath(document->GetPathName()))
        return OnFileSaveAs(document);
    if (!document->SaveWorkspace(document->GetPathName()))
        return false;
    AddToRecentFileList(document->GetPathName());
    if (m_MainFrame != nullptr)
        m_MainFrame->UpdateFrameTitle();
    return true;
}

bool CCorvaleApp::OnFileSaveAs(CCorvaleDoc* document) {
    if (document == nullptr)
        return false;
    corvale::FileDialogRequest request;
    request.title = "Save As";
    request.filter = kWorkspaceFilter;
    request.defaultExtension = ".cvw";
    if (!document->GetPathName().empty()) {
        const QFileInfo info(QString::fromStdString(document->GetPathName()));
        request.initialFolder = info.absolutePath().toStdString();
        request.initialName = info.fileName().toStdString();
    } else {
        request.initialName = document->GetTitle() + ".cvw";
    }
    std::string path;
    if (!corvale::UI().ChooseSaveFile(request, path) || path.empty())
        return false;
    path = AddDefaultExtension(path, ".cvw");
    if (!document->SaveWorkspace(path))
        return false;
    AddToRecentFileList(document->GetPathName().empty() ? path : document->GetPathName());
    if (CChildFrame* child = FindChildFrame(document))
        child->UpdateTitle();
    if (m_MainFrame != nullptr)
        m_MainFrame->UpdateFrameTitle();
    return true;
}

bool CCorvaleApp::SaveModified(CCorvaleDoc* document) {
    if (document == nullptr)
        return true;
    // Gives the document the modified flag of any modified theme.
    document->CanCloseFrame();
    if (!document->IsModified())
        return true;
    std::string name = document->GetPathName().empty() ? document->GetTitle() : document->GetPathName();
    const int answer = corvale::UI().ShowMessage("Save changes to " + name + "?", corvale::MessageIcon::Question,
                                                 corvale::MessageButtons::YesNoCancel);
    if (answer == corvale::IDYES)
        return OnFileSave(document);
    return answer == corvale::IDNO;
}

bool CCorvaleApp::SaveAllModified() {
    for (CCorvaleDoc* document : m_DocManager.GetOpenDocuments())
        if (!SaveModified(document))
            return false;
    return true;
}

void CCorvaleApp::CloseDocument(CCorvaleDoc* document) {
    if (document == nullptr)
        return;
    if (CChildFrame* child = FindChildFrame(document)) {
        child->CloseWithoutAsking();
        // The child's close removed the document; a child that did not close
        // leaves it to the code below.
    }
    for (CMultiDocTemplate* docTemplate : m_DocManager.GetTemplates())
        if (docTemplate->HoldsDocument(document))
            CloseDocumentNow(document);
}

void CCorvaleApp::CloseAllDocuments() {
    for (CCorvaleDoc* document : m_DocManager.GetOpenDocuments())
        CloseDocument(document);
}

void CCorvaleApp::CloseDocumentNow(CCorvaleDoc* document) {
    if (document == nullptr)
        return;
    bool held = false;
    for (CMultiDocTemplate* docTemplate : m_DocManager.GetTemplates()) {
        if (docTemplate->HoldsDocument(document)) {
            docTemplate->RemoveDocument(document);
            held = true;
        }
    }
    if (!held)
        return;
    if (m_MainFrame != nullptr)
        m_MainFrame->ForgetDocument(document);
    document->OnCloseDocument();
    delete document;
}

void CCorvaleApp::AddToRecentFileList(const std::string& path) {
    m_RecentFiles.Add(path);
    m_RecentFiles.WriteList();
}

void CCorvaleApp::ApplyOptions() {
    const CAppSettings& settings = *CAppSettings::GetInstance();
    for (CMultiDocTemplate* docTemplate : m_DocManager.GetTemplates()) {
        for (CCorvaleDoc* document : docTemplate->GetDocuments()) {
            for (CTheme* theme : document->m_themes)
                theme->SetSelectionColour(settings.m_ColorSelection);
            // The console takes the colour scheme whenever it is fetched.
            if (document->m_console != nullptr)
                document->GetConsole();
            document->m_updateEvent.Fire(nullptr, DUE_OptionsChanged, 0);
        }
    }
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

void CCorvaleApp::OnOpenRecentFile(unsigned id) {
    const int index = static_cast<int>(id - ID_FILE_MRU_FIRST);
    const std::string path = m_RecentFiles.Get(index);
    if (path.empty())
        return;
    if (OpenDocumentFile(path) == nullptr) {
        // An entry that no longer opens leaves the list.
        m_RecentFiles.Remove(index);
        m_RecentFiles.WriteList();
    }
}

bool CCorvaleApp::OnCmdMsg(unsigned id, CCmdUI* ui) {
    CCorvaleDoc* active = m_MainFrame != nullptr ? m_MainFrame->GetActiveDocument() : nullptr;
    auto handled = [ui](bool enabled) {
        if (ui != nullptr) {
            ui->Enable(enabled);
            ui->m_Handled = true;
        }
        return true;
    };
    switch (id) {
    case ID_FILE_NEW:
        return ui != nullptr ? handled(true) : (OnFileNew(), true);
    case ID_FILE_OPEN:
        return ui != nullptr ? handled(true) : (OnFileOpen(), true);
    case ID_FILE_SAVE:
        return ui != nullptr ? handled(active != nullptr) : (OnFileSave(active), true);
    case ID_FILE_SAVE_AS:
        return ui != nullptr ? handled(active != nullptr) : (OnFileSaveAs(active), true);
    case ID_APP_EXIT:
        if (ui != nullptr)
            return handled(true);
        if (m_MainFrame != nullptr)
            m_MainFrame->close();
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) {
        if (ui != nullptr)
            return handled(!m_RecentFiles.Get(static_cast<int>(id - ID_FILE_MRU_FIRST)).empty());
        OnOpenRecentFile(id);
        return true;
    }
    return CCmdTarget::OnCmdMsg(id, ui);
}
