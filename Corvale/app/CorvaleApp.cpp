#include "app/CorvaleApp.h"

#include "app/AppIds.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QtUserInterface.h"
#include "core/ExporterPlugin.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/FileNames.h"
#include "platform/TextCase.h"
#include "scripting/DocumentConsole.h"
#include "scripting/GpiScripts.h"
#include "scripting/JSHandler.h"
#include "settings/AppSettings.h"
#include "ui/AboutDialog.h"
#include "ui/AttributeDialogServices.h"
#include "ui/ExportDialogs.h"
#include "ui/DocumentCommandDialogs.h"
#include "ui/MapImageDialogs.h"
#include "ui/MapOverviewDialog.h"
#include "ui/SmallDialogs.h"
#include "ui/ThemeExportAttributeListDlg.h"
#include "ui/WorkspacePropertiesDialog.h"
#include "view/GeoView.h"
#include "view/GeoViewGpi.h"
#include "view/GeoViewServices.h"
#include "view/MapImageOutput.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocExport.h"
#include "workspace/ViewMessages.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QObject>
#include <QTimer>

#include <cctype>
#include <functional>
#include <utility>

namespace {

using corvale::EqualsNoCase;

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

bool IsDirectory(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

bool IsWorkspacePath(const std::string& path) {
    return !IsDirectory(path) && EqualsNoCase(FindExtension(path), ".cvw");
}

// A shape file is found whatever the letter case of its extension, as
// opening it does.
bool DataPathExists(const std::string& path) {
    if (QFileInfo::exists(QString::fromStdString(path)))
        return true;
    return EqualsNoCase(FindExtension(path), ".shp") &&
           !corvale::FindSiblingFile(corvale::PathStem(path), ".shp").empty();
}

// What the map view needs of the main frame.
class CAppViewServices : public IGeoViewServices {
public:
    explicit CAppViewServices(CCorvaleApp& app) : m_App(app) {}
    void SetActiveDocument(CCorvaleDoc* document) override {
        if (CMainFrame* frame = m_App.GetMainFrame())
            frame->SetActiveDocument(document);
    }
    void SetStatusCoordinates(double x, double y) override {
        if (CMainFrame* frame = m_App.GetMainFrame())
            frame->SetStatusCoordinates(x, y);
    }
    std::unique_ptr<IMapOverviewDialog> CreateMapOverviewDialog() override {
        return std::make_unique<CMapOverviewDialog>();
    }
    bool ChooseMapImageKind(CGeoView& view, int& choice) override {
        return RunSaveMapImageSelection(&view, choice);
    }
    bool EditMapSheetSettings(CGeoView& view, CMapSheetSettings& settings) override {
        return RunMultipleSheetsDialog(&view, settings);
    }
    bool CreateImageMap(CGeoView& view, const std::string& imagePath) override {
        return RunImageMapCreator(view, imagePath);
    }
    // A workspace that asks for its properties when opened.
    void ShowWorkspaceProperties(CCorvaleDoc& document, int page) override { document.ShowWorkspaceProperties(page); }
    // Map Signature shows its text in the information dialog.
    void ShowTextInformation(QWidget* parent, const std::string& title, const std::string& text) override {
        CTextInformationDialog dialog(title, parent);
        dialog.m_Text = text;
        dialog.DoModal();
    }

private:
    CCorvaleApp& m_App;
};

} // namespace

// Runs the idle pass once the event queue has drained after an event that
// may change what the frame shows. A zero-interval single-shot timer runs
// after the events already queued; every such event re-arms it. Paints and
// timers do not: they follow from changes, they do not make them, and a
// pass they woke would wake the next one through the paint it causes.
class CIdleTrigger : public QObject {
public:
    explicit CIdleTrigger(std::function<bool()> pass) : m_Pass(std::move(pass)) {
        m_Timer.setSingleShot(true);
        m_Timer.setInterval(0);
        QObject::connect(&m_Timer, &QTimer::timeout, this, [this] { Run(); });
        QCoreApplication::instance()->installEventFilter(this);
        m_Timer.start();
    }
    ~CIdleTrigger() override {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Events sent by the pass itself are its own changes.
        if (!m_Running && !m_Timer.isActive() && WakesIdle(event->type()))
            m_Timer.start();
        return QObject::eventFilter(watched, event);
    }

private:
    static bool WakesIdle(QEvent::Type type) {
        switch (type) {
        case QEvent::Paint:
        case QEvent::UpdateRequest:
        case QEvent::UpdateLater:
        case QEvent::Timer:
        case QEvent::SockAct:
        case QEvent::SockClose:
            return false;
        default:
            return true;
        }
    }

    void Run() {
        m_Running = true;
        const bool more = m_Pass();
        m_Running = false;
        if (more)
            m_Timer.start();
    }

    std::function<bool()> m_Pass;
    QTimer m_Timer;
    bool m_Running = false;
};

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
    if (CAppSettings::GetInstance()->m_LoadLatestWorkspace != 0 &&
        m_CmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        const std::string latest = m_RecentFiles.Get(0);
        if (m_CmdInfo.m_strFileName.empty() && !latest.empty()) {
            m_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
            m_CmdInfo.m_strFileName = latest;
        }
    }
    if (!ProcessShellCommand(m_CmdInfo))
        return false;

    m_MainFrame->show();
    m_MainFrame->UpdateFrameTitle();

    m_IdleTrigger = std::make_unique<CIdleTrigger>([this] { return OnIdle(m_IdleCount++); });
    return true;
}

bool CCorvaleApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.m_nShellCommand == CCommandLineInfo::FileNew)
        return OnFileNew() != nullptr;
    const std::string& path = info.m_strFileName;
    if (OpenDocumentFile(path) != nullptr)
        return true;
    // A data file or folder has gone into a workspace (or said why not);
    // the program goes on either way.
    if (!IsWorkspacePath(path))
        return true;
    // A workspace that has gone or does not read has shown its message; the
    // program starts with an empty workspace instead, whether the file was
    // named or was the latest one.
    return OnFileNew() != nullptr;
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
    InstallWorkspaceDialogs(dialogs, m_MainFrame);
    InstallViewDialogs(dialogs, m_MainFrame);
    InstallDocumentCommandDialogs(dialogs, m_MainFrame);
    dialogs.loaderPluginPath = [this](unsigned index) {
        return m_MainFrame != nullptr ? m_MainFrame->GetLoaderPluginPath(index) : std::string();
    };
    dialogs.showVectorizationParameters = [this](CCorvaleDoc* document) {
        if (document == nullptr)
            return;
        CVectorizationParametersDialog dialog(document->m_vectorizationTolerance,
                                              document->m_vectorizationResolution, m_MainFrame);
        dialog.DoModal();
    };
    SetDocumentDialogServices(dialogs);
    // The table and XML exports ask for their columns with this dialog.
    InstallExportAttributeChooser(m_MainFrame);
    InstallExportServices();

    InstallDocumentConsole();
    // The frame's script tools and user-script buttons run their files in
    // the workspace's console.
    CMainFrame::SetScriptRunner([](CCorvaleDoc& document, const std::string& path) {
        if (!GetDocumentConsoleServices().runScript)
            return false;
        document.RunScript(path);
        return true;
    });

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
    // The plug-ins' panes are numbered 0-3 from the first plug-in indicator.
    frameServices.showPluginPane = [this](int width) {
        const int id = m_MainFrame != nullptr ? m_MainFrame->AddPluginStatusPane(width) : 0;
        return id != 0 ? id - ID_INDICATOR_PLUGIN_FIRST : -1;
    };
    frameServices.setPluginPaneText = [this](int pane, const std::string& text) {
        if (m_MainFrame != nullptr)
            m_MainFrame->SetPaneText(ID_INDICATOR_PLUGIN_FIRST + pane, text);
    };
    frameServices.hidePluginPane = [this](int pane) {
        if (m_MainFrame != nullptr)
            m_MainFrame->RemovePluginStatusPane(ID_INDICATOR_PLUGIN_FIRST + pane);
    };
    frameServices.showProgress = [this](const std::string& text, int percent) {
        if (m_MainFrame == nullptr)
            return;
        if (!text.empty())
            corvale::UI().SetStatusText(text);
        m_MainFrame->ShowProgress(percent);
    };
    frameServices.setProgress = [this](int percent) {
        if (m_MainFrame != nullptr)
            m_MainFrame->ShowProgress(percent);
    };
    frameServices.hideProgress = [this] {
        if (m_MainFrame != nullptr)
            m_MainFrame->HideProgress();
    };
    frameServices.chooseTheme = [this](CCorvaleDoc* document, const std::string& caption) {
        CSelectLayerDialog chooser(document, 255u, caption, m_MainFrame);
        return chooser.exec() == QDialog::Accepted ? chooser.m_ThemeIndex : -1;
    };
    // The script engine is a library beside the program, loaded on first use;
    // without it scripting is not available.
    frameServices.scriptingAvailable = [] { return IsScriptEngineAvailable(); };
    AddPluginWindowServices(frameServices, [this] { return m_MainFrame; });
    GpiSetFrameServices(frameServices);
    InstallGpiMapViewServices();
    InstallGpiScriptServices();
}

namespace {

// The map images exporters ask for: the view of the export draws them
// (CGeoView::RenderMapImage, through its message). The exporter hears
// whether an image was made.
std::uint32_t RenderExportMapImage(void* view, const ExporterMapImageRequest& request) {
    MapImageRequest message;
    message.width = request.width;
    message.height = request.height;
    message.centerX = request.centerX;
    message.centerY = request.centerY;
    message.mapWidth = request.mapWidth;
    message.mapHeight = request.mapHeight;
    SendMessage(static_cast<CMessageWindow*>(view), WM_RENDER_MAP_IMAGE, 0, reinterpret_cast<std::intptr_t>(&message));
    return message.result.isNull() ? 0u : 1u;
}

} // namespace

void CCorvaleApp::InstallExportServices() {
    CDocumentExportServices services;
    services.pluginFolder = [this] { return m_MainFrame != nullptr ? m_MainFrame->GetPluginFolder() : std::string(); };
    services.exportTools = [this] {
        return m_MainFrame != nullptr ? m_MainFrame->GetPluginExportTools() : std::vector<CExportTool>();
    };
    services.runPluginTool = [this](unsigned id) {
        if (m_MainFrame != nullptr)
            m_MainFrame->OnPluginTool(id);
    };
    InstallExportDialogs(services, m_MainFrame);
    services.imageFileFilter = [] { return MapImageFileFilter(); };
    services.saveImage = [](const QImage& image, const std::string& path) {
        return SaveImageFile(image, path, QByteArray(), nullptr);
    };
    SetDocumentExportServices(services);
    CExporterPlugin::SetRenderMapImageHandler(&RenderExportMapImage);
}

void CCorvaleApp::UninstallServices() {
    SetDocumentExportServices(CDocumentExportServices());
    CExporterPlugin::SetRenderMapImageHandler(nullptr);
    GpiSetFrameServices(GpiFrameServices());
    GpiSetMapViewServices(GpiMapViewServices());
    GpiSetScriptServices(GpiScriptServices());
    SetDocumentConsoleServices(CDocumentConsoleServices());
    CMainFrame::SetScriptRunner(nullptr);
    CDocumentDialogServices dialogs = GetDocumentDialogServices();
    dialogs.showMapScale = nullptr;
    dialogs.centerMap = nullptr;
    dialogs.viewRectangle = nullptr;
    dialogs.gridDefinition = nullptr;
    dialogs.manageAttributes = nullptr;
    dialogs.mergeAttributes = nullptr;
    dialogs.workspaceProperties = nullptr;
    dialogs.transformThemes = nullptr;
    dialogs.transformImage = nullptr;
    dialogs.pointCountRule = nullptr;
    dialogs.chooseTheme = nullptr;
    dialogs.showInformation = nullptr;
    dialogs.clipboardHasPolygons = nullptr;
    dialogs.multiEditAttributes = nullptr;
    dialogs.showAttributeListBuilder = nullptr;
    dialogs.attachAttributeListBuilder = nullptr;
    dialogs.attributeListBuilderAddShape = nullptr;
    dialogs.forgetAttributeListBuilder = nullptr;
    dialogs.readClipboardPolygons = nullptr;
    dialogs.loaderPluginPath = nullptr;
    dialogs.showVectorizationParameters = nullptr;
    dialogs.showShapeData = nullptr;
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
    m_IdleTrigger.reset();
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
    m_MainFrame->SyncActiveChild();
    m_MainFrame->UpdateToolbarCommands();
    m_MainFrame->UpdateShortcutCommands();
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
        if (!DataPathExists(path)) {
            corvale::UI().ShowMessage("Corvale could not open the file\n" + path +
                                          "\n\nThe file does not exist.\nNothing was loaded.",
                                      corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
            return nullptr;
        }
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

void CCorvaleApp::OnAppAbout() {
    CAboutDlg dialog(m_MainFrame);
    dialog.exec();
}

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
    case ID_APP_ABOUT:
        return ui != nullptr ? handled(true) : (OnAppAbout(), true);
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
