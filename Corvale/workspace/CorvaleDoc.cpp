#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiShapeEditHooks.h"

#include <cmath>

namespace {

// Set while Find Next / Find Previous are handed to the command window, so a
// command window that routes them back to the document cannot loop.
bool g_ForwardingFind = false;

} // namespace

CCorvaleDoc::CCorvaleDoc() : m_backgroundColor(CAppSettings::GetInstance()->m_ColorBkgnd) {
    // Shapes deleted or replaced in any theme must reach the plug-ins and
    // their handle table; the hooks are installed once, with the first document.
    GpiInstallShapeEditHooks();
    m_updateEvent.AddHandler(this, &CCorvaleDoc::OnDocumentUpdate);
    AddToolCommands();
    AddExtentCommands();
    AddOpenFileCommands();
    AddWorkspaceFileCommands();
    OnCommand(ID_FILE_SAVE_MAP_IMAGE, &CCorvaleDoc::OnSaveMapImage);
    AddWorkspacePropertiesCommands();
    AddEditCommands();
    AddGeometryCommands();
    AddDerivedGeometryCommands();
    AddExportCommands();
    AddSelectionCommands();
    AddThemeCommands();
    AddNewThemeCommands();
    AddVoronoiCommands();
    AddTableCommands();
    AddConsoleCommands();
    AddForwardedCommands();
}

CCorvaleDoc::~CCorvaleDoc() {
    if (GetDocumentDialogServices().forgetAttributeListBuilder)
        GetDocumentDialogServices().forgetAttributeListBuilder(this);
    // The console goes first: its variables point at the themes below. It is
    // a window of the scripting library, deleted through its message-window
    // base.
    delete m_console;
    m_console = nullptr;
    for (CTheme* theme : m_themes) {
        GpiForgetTheme(theme);
        delete theme;
    }
    m_themes.clear();
    for (CBookmarkRecord* bookmark : m_bookmarks)
        delete bookmark;
    m_bookmarks.clear();
    GpiForgetWorkspace(this);
}

bool CCorvaleDoc::IsModified() {
    if (CDocument::IsModified())
        return true;
    for (const CTheme* theme : m_themes)
        if (theme->m_Modified)
            return true;
    return false;
}

void CCorvaleDoc::SetModifiedFlag(bool modified) { CDocument::SetModifiedFlag(modified); }

bool CCorvaleDoc::CanCloseFrame() {
    for (const CTheme* theme : m_themes) {
        if (theme->m_Modified) {
            SetModifiedFlag(true);
            break;
        }
    }
    return CDocument::CanCloseFrame();
}

bool CCorvaleDoc::OnNewDocument() {
    const RefSysEntry* refSystem = GetRefSysEntry(m_refSystem);
    corvale::UI().SetStatusPaneText(1130, refSystem != nullptr ? refSystem->name : "Unknown");
    UpdateAllViews(nullptr);
    FireUpdateEvent(nullptr, DUE_NewDocument, 0);
    if (!CDocument::OnNewDocument())
        return false;
    UpdateMapScale();
    return true;
}

void CCorvaleDoc::OnViewInitialUpdate() {
    if (GetDocumentConsoleServices().getConsole)
        GetDocumentConsoleServices().getConsole(*this);
    GpiNotifyViewInitialized(this);
}

void CCorvaleDoc::OnCloseDocument() {
    m_updateEvent.RemoveHandler(this);
    GpiNotifyWorkspaceClosing(this);
    CDocument::OnCloseDocument();
}

bool CCorvaleDoc::OnCmdMsg(unsigned id, CCmdUI* ui) {
    if ((id == ID_EDIT_FIND_NEXT || id == ID_EDIT_FIND_PREVIOUS) && !g_ForwardingFind) {
        if (m_commandWindow == nullptr) {
            if (ui != nullptr)
                ui->Enable(false);
            return false;
        }
        g_ForwardingFind = true;
        bool handled = false;
        try {
            handled = m_commandWindow->OnCmdMsg(id, ui);
        } catch (...) {
            g_ForwardingFind = false;
            throw;
        }
        g_ForwardingFind = false;
        return handled;
    }
    return CDocument::OnCmdMsg(id, ui);
}

void CCorvaleDoc::FireUpdateEvent(const void* sender, int code, std::intptr_t data) {
    m_updateEvent.Fire(sender, code, data);
}

void CCorvaleDoc::OnDocumentUpdate(const void*, int code, std::intptr_t data) {
    if (code == DUE_ActiveThemeChanged)
        GpiNotifyActiveThemeChanged(this, reinterpret_cast<CTheme*>(data));
    else if (code == DUE_SelectionChanged)
        GpiNotifySelectionChanged(this, m_activeTheme);
}

bool CCorvaleDoc::RequestSaveMapImage(const std::string& path, const std::uint32_t* color) {
    CSaveMapImageRequest request;
    request.m_Path = path;
    request.m_Silent = true;
    request.m_Color = color;
    request.m_Result = false;
    FireUpdateEvent(nullptr, DUE_SaveMapImageToFile, reinterpret_cast<std::intptr_t>(&request));
    return request.m_Result;
}

// The map view saves the image; the command only asks it to.
void CCorvaleDoc::OnSaveMapImage() {
    FireUpdateEvent(nullptr, DUE_SaveMapImage, 0);
}

bool CCorvaleDoc::SnapPointToGrid(double& x, double& y) const {
    if (!(m_gridSpacingX > 0.0) || !(m_gridSpacingY > 0.0))
        return false;
    x = std::floor(x / m_gridSpacingX + 0.5) * m_gridSpacingX;
    y = std::floor(y / m_gridSpacingY + 0.5) * m_gridSpacingY;
    return true;
}

bool CCorvaleDoc::ActiveThemeEditable() const { return m_activeTheme != nullptr && m_activeTheme->m_Editable; }

namespace {

struct NavigationTool {
    unsigned id;
    std::uint32_t mode;
    std::uint32_t dragMode; // the partner mode that also shows the button pressed
};

// Tools that are always available.
const NavigationTool kNavigationTools[] = {
    {ID_TOOL_SELECT, MT_Select, MT_Select},
    {ID_TOOL_SELECT_RECTANGLE, MT_SelectRectangle, MT_SelectRectangleDrag},
    {ID_TOOL_SELECT_CIRCLE, MT_SelectCircle, MT_SelectCircleDrag},
    {ID_TOOL_SELECT_POLYGON, MT_SelectPolygon, MT_SelectPolygonDraw},
    {ID_TOOL_PAN, MT_Pan, MT_PanDrag},
    {ID_TOOL_ZOOM_IN, MT_ZoomIn, MT_ZoomInDrag},
    {ID_TOOL_ZOOM_OUT, MT_ZoomOut, MT_ZoomOut},
    {ID_TOOL_MEASURE, MT_Measure, MT_Measure},
};

const NavigationTool* FindNavigationTool(unsigned id) {
    for (const NavigationTool& tool : kNavigationTools)
        if (tool.id == id)
            return &tool;
    return nullptr;
}

} // namespace

void CCorvaleDoc::OnNavigationTool(unsigned id) {
    if (const NavigationTool* tool = FindNavigationTool(id))
        SetToolMode(tool->mode);
}

void CCorvaleDoc::OnUpdateNavigationTool(CCmdUI& ui) {
    const NavigationTool* tool = FindNavigationTool(ui.m_nID);
    ui.Enable(true);
    ui.SetCheck(tool != nullptr && (m_toolMode == tool->mode || m_toolMode == tool->dragMode));
}

void CCorvaleDoc::OnToolDrawNew() {
    SetToolMode(MT_DrawNew);
}

void CCorvaleDoc::OnUpdateToolDrawNew(CCmdUI& ui) {
    ui.Enable(ActiveThemeEditable());
    ui.SetCheck(m_toolMode == MT_DrawNew);
}

void CCorvaleDoc::OnToolAdjustVertex() {
    SetToolMode(MT_AdjustVertex);
}

void CCorvaleDoc::OnUpdateToolAdjustVertex(CCmdUI& ui) {
    ui.Enable(ActiveThemeEditable() && m_vertexMode != 0);
    ui.SetCheck(m_toolMode == MT_AdjustVertex || m_toolMode == MT_AdjustVertexDrag);
}

void CCorvaleDoc::OnToolNewVertex() {
    SetToolMode(MT_NewVertex);
}

void CCorvaleDoc::OnUpdateToolNewVertex(CCmdUI& ui) {
    ui.Enable(ActiveThemeEditable() && m_vertexMode != 0 &&
              (!m_activeTheme->m_VisibleArcs.empty() || !m_activeTheme->m_VisiblePolygons.empty()));
    ui.SetCheck(m_toolMode == MT_NewVertex || m_toolMode == MT_NewVertexDrag);
}

void CCorvaleDoc::OnToolSplitPolyline() {
    SetToolMode(MT_SplitPolyline);
}

void CCorvaleDoc::OnUpdateToolSplitPolyline(CCmdUI& ui) {
    ui.Enable(ActiveThemeEditable() && m_activeTheme->IsArcTheme());
    ui.SetCheck(m_toolMode == MT_SplitPolyline || m_toolMode == MT_SplitPolylineDrag);
}

void CCorvaleDoc::OnVertexMode() {
    m_vertexMode = m_vertexMode ? 0 : 1;
    FireUpdateEvent(nullptr, DUE_EditModeChanged, 0);
}

void CCorvaleDoc::OnUpdateVertexMode(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr);
    ui.SetCheck(m_vertexMode != 0);
}

void CCorvaleDoc::OnBoundingBoxes() {
    m_showBoundingBoxes = m_showBoundingBoxes ? 0 : 1;
    FireUpdateEvent(nullptr, DUE_BoundingBoxesToggled, 0);
}

void CCorvaleDoc::OnUpdateBoundingBoxes(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr);
    ui.SetCheck(m_showBoundingBoxes != 0);
}

void CCorvaleDoc::AddToolCommands() {
    for (const NavigationTool& tool : kNavigationTools)
        OnCommand(tool.id, &CCorvaleDoc::OnNavigationTool, &CCorvaleDoc::OnUpdateNavigationTool);
    OnCommand(ID_TOOL_DRAW_NEW, &CCorvaleDoc::OnToolDrawNew, &CCorvaleDoc::OnUpdateToolDrawNew);
    OnCommand(ID_TOOL_ADJUST_VERTEX, &CCorvaleDoc::OnToolAdjustVertex,
              &CCorvaleDoc::OnUpdateToolAdjustVertex);
    OnCommand(ID_TOOL_NEW_VERTEX, &CCorvaleDoc::OnToolNewVertex,
              &CCorvaleDoc::OnUpdateToolNewVertex);
    OnCommand(ID_TOOL_SPLIT_POLYLINE, &CCorvaleDoc::OnToolSplitPolyline,
              &CCorvaleDoc::OnUpdateToolSplitPolyline);
    OnCommand(ID_TOOL_VERTEX_MODE, &CCorvaleDoc::OnVertexMode, &CCorvaleDoc::OnUpdateVertexMode);
    OnCommand(ID_TOOL_BOUNDING_BOXES, &CCorvaleDoc::OnBoundingBoxes,
              &CCorvaleDoc::OnUpdateBoundingBoxes);
}

// ---- The console (made by Corvale/scripting) ----

namespace {

CDocumentConsoleServices& ConsoleServices() {
    static CDocumentConsoleServices services;
    return services;
}

} // namespace

void SetDocumentConsoleServices(const CDocumentConsoleServices& services) { ConsoleServices() = services; }

const CDocumentConsoleServices& GetDocumentConsoleServices() { return ConsoleServices(); }

CConsoleDialog* CCorvaleDoc::GetConsole() {
    const CDocumentConsoleServices& services = ConsoleServices();
    return services.getConsole ? services.getConsole(*this) : nullptr;
}

CJSHandler* CCorvaleDoc::LoadJavaScript(const std::string& path) {
    const CDocumentConsoleServices& services = ConsoleServices();
    return services.loadJavaScript ? services.loadJavaScript(*this, path) : nullptr;
}

void CCorvaleDoc::RunScript(const std::string& path) {
    const CDocumentConsoleServices& services = ConsoleServices();
    if (services.runScript)
        services.runScript(*this, path);
}

// ---- end of the console ----
