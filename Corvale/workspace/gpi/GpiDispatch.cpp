// GpiHostDispatch and the host's own small operations: error texts, host
// memory, validity, the workspace list, the status text, posted messages and
// the host version. Hook subscription lives with the events (GpiHooks.cpp).
//
// Every handler checks its argument block first (a null block or a null
// required pointer: GPIERR_IllegalParameter), then takes the plug-in lock,
// then resolves its handles (unknown: GPIERR_InvalidHandle) and works. Out
// words are written only on success.

#include "workspace/gpi/GpiHost.h"

#include "framework/Messages.h"
#include "framework/UserInterface.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// The status bar's idle message.
const char* const kIdleStatusText = "For Help, press F1";
// The host's version text, as plug-ins ask for it.
const char* const kHostVersionText = "2.1.00";

int OnGetErrorText(void* args) {
    auto* block = static_cast<GpiGetErrorTextArgs*>(args);
    if (block == nullptr || block->size == nullptr)
        return GPIERR_IllegalParameter;
    if (block->buffer != nullptr && *block->size == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const char* text = GpiErrorText(block->code);
    if (text == nullptr)
        return GPIERR_UnknownErrorCode;
    return GpiStringProtocol(text, block->buffer, block->size);
}

// Until the application's frame has said how to list its documents, the
// workspace list is not available.
bool FrameListsDocuments() { return GpiState().m_Frame.openDocuments != nullptr; }
bool FrameKnowsActiveDocument() { return GpiState().m_Frame.activeDocument != nullptr; }

int OnGetWorkspaceCount(void* args) {
    auto* count = static_cast<std::uint32_t*>(args);
    if (count == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!FrameListsDocuments())
        return GPIERR_NotImplemented;
    *count = static_cast<std::uint32_t>(GpiState().m_Frame.openDocuments().size());
    return GPIERR_NoError;
}

int OnGetWorkspace(void* args) {
    auto* block = static_cast<GpiGetWorkspaceArgs*>(args);
    if (block == nullptr || block->workspace == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!FrameListsDocuments())
        return GPIERR_NotImplemented;
    const std::vector<CCorvaleDoc*> documents = GpiState().m_Frame.openDocuments();
    if (block->index >= documents.size())
        return GPIERR_IndexOutOfBounds;
    CCorvaleDoc* document = documents[block->index];
    if (document == nullptr) {
        *block->workspace = 0;
        return GPIERR_InvalidHandle;
    }
    const std::uint32_t handle = GpiWorkspaceHandle(document);
    if (handle == 0)
        return GPIERR_OutOfResources;
    *block->workspace = handle;
    return GPIERR_NoError;
}

int OnGetActiveWorkspace(void* args) {
    auto* workspace = static_cast<std::uint32_t*>(args);
    if (workspace == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!FrameKnowsActiveDocument())
        return GPIERR_NotImplemented;
    // No active document, or one that was never given a handle, is a plain
    // "no" rather than a failure.
    const std::uint32_t handle = GpiFindWorkspaceHandle(GpiState().m_Frame.activeDocument());
    if (handle == 0)
        return GPIERR_False;
    *workspace = handle;
    return GPIERR_NoError;
}

int OnPluginPostMessage(void* args) {
    auto* block = static_cast<GpiPluginPostMessageArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!GpiIsPluginIdentity(block->identity))
        return GPIERR_InvalidHandle;
    // The main window takes the message and does nothing with it; plug-ins
    // only rely on it being accepted.
    PostMessage(GpiState().m_Frame.mainWindow, WM_GPI_PLUGIN_MESSAGE, block->value,
                static_cast<std::intptr_t>(block->identity));
    return GPIERR_NoError;
}

int OnObjectIsValid(void* args) {
    auto* block = static_cast<GpiObjectIsValidArgs*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    *block->out = GpiIsValidHandle(block->value) ? 1 : 0;
    return GPIERR_NoError;
}

int OnSetStatusText(void* args) {
    auto* block = static_cast<GpiSetStatusTextArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!GpiIsPluginIdentity(block->identity))
        return GPIERR_InvalidHandle;
    corvale::UI().SetStatusText(block->text != nullptr ? block->text : kIdleStatusText);
    return GPIERR_NoError;
}

// A fraction 0..1 as the percentage the status bar shows.
int PercentOf(float fraction) {
    if (!(fraction > 0.0f))
        return 0;
    return fraction >= 1.0f ? 100 : static_cast<int>(fraction * 100.0f);
}

int OnStatusPaneSetText(void* args) {
    auto* block = static_cast<GpiStatusPaneSetTextArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const GpiStatusPaneEntry* entry = GpiState().m_StatusPanes.Find(block->pane);
    if (entry == nullptr)
        return GPIERR_InvalidHandle;
    // The icon is a handle of another window system; only the text is shown.
    if (GpiState().m_Frame.setPluginPaneText)
        GpiState().m_Frame.setPluginPaneText(entry->m_PaneIndex, block->text != nullptr ? block->text : "");
    return GPIERR_NoError;
}

int OnStatusPaneCreate(void* args) {
    auto* block = static_cast<GpiStatusPaneCreateArgs*>(args);
    if (block == nullptr || block->pane == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (!state.m_Frame.showPluginPane)
        return GPIERR_NotImplemented;
    const int width = static_cast<int>(std::min<std::uint32_t>(block->width, 0x7FFF));
    const int pane = state.m_Frame.showPluginPane(width);
    if (pane < 0)
        return GPIERR_OutOfResources;
    const std::uint32_t handle = state.m_StatusPanes.Add({pane});
    if (handle == 0) {
        if (state.m_Frame.hidePluginPane)
            state.m_Frame.hidePluginPane(pane);
        return GPIERR_OutOfResources;
    }
    *block->pane = handle;
    return GPIERR_NoError;
}

int OnStatusPaneDestroy(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    const GpiStatusPaneEntry* entry = state.m_StatusPanes.Find(handle);
    if (entry == nullptr)
        return GPIERR_InvalidHandle;
    if (state.m_Frame.hidePluginPane)
        state.m_Frame.hidePluginPane(entry->m_PaneIndex);
    state.m_StatusPanes.Erase(handle);
    return GPIERR_NoError;
}

int OnProgressCreate(void* args) {
    auto* block = static_cast<GpiProgressCreateArgs*>(args);
    if (block == nullptr || block->progress == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (!state.m_Frame.showProgress)
        return GPIERR_NotImplemented;
    // The status bar has one progress bar; each creation has a handle of its
    // own, and the entry only marks it as the plug-ins'.
    const std::uint32_t handle = state.m_ProgressBars.Add(nullptr);
    if (handle == 0)
        return GPIERR_OutOfResources;
    state.m_Frame.showProgress(block->text != nullptr ? block->text : "", PercentOf(block->fraction));
    *block->progress = handle;
    return GPIERR_NoError;
}

int OnProgressSetPos(void* args) {
    auto* block = static_cast<GpiProgressSetPosArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (!state.m_ProgressBars.Contains(block->progress))
        return GPIERR_InvalidHandle;
    if (state.m_Frame.setProgress)
        state.m_Frame.setProgress(PercentOf(block->fraction));
    return GPIERR_NoError;
}

int OnProgressDestroy(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (!state.m_ProgressBars.Erase(handle))
        return GPIERR_InvalidHandle;
    if (state.m_Frame.hideProgress)
        state.m_Frame.hideProgress();
    return GPIERR_NoError;
}

int OnIsScriptingAvailable(void* args) {
    auto* out = static_cast<std::uint32_t*>(args);
    if (out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    // Asked once; the answer holds for the rest of the run.
    if (state.m_ScriptingAvailable < 0)
        state.m_ScriptingAvailable = state.m_Frame.scriptingAvailable && state.m_Frame.scriptingAvailable() ? 1 : 0;
    *out = static_cast<std::uint32_t>(state.m_ScriptingAvailable);
    return GPIERR_NoError;
}

int OnHostAlloc(void* args) {
    auto* block = static_cast<GpiHostAllocArgs*>(args);
    if (block == nullptr || block->out == nullptr || block->size == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    void* memory = std::malloc(block->size);
    if (memory == nullptr)
        return GPIERR_OutOfResources;
    try {
        GpiState().m_HostBlocks.insert(memory);
    } catch (...) {
        std::free(memory);
        return GPIERR_OutOfResources;
    }
    *block->out = memory;
    return GPIERR_NoError;
}

int OnHostFree(void* args) {
    if (args == nullptr)
        return GPIERR_NoError;
    // Only blocks of GPIOP_HostAlloc are freed: anything else handed in (a
    // stack address, a block freed before) is refused rather than corrupting
    // the heap.
    return GpiHostFreeMemory(args) ? GPIERR_NoError : GPIERR_IllegalParameter;
}

int OnGetHostVersion(void* args) {
    auto* block = static_cast<GpiGetHostVersionArgs*>(args);
    if (block == nullptr || block->size == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!GpiIsPluginIdentity(block->identity))
        return GPIERR_InvalidHandle;
    return GpiStringProtocol(kHostVersionText, block->buffer, block->size);
}

using GpiOperationHandler = int (*)(void* args);

// The handler of an operation; null for one the host does not offer (yet).
GpiOperationHandler FindHandler(int op) {
    switch (op) {
    case GPIOP_RegisterHook: return &GpiOnRegisterHook;
    case GPIOP_UnregisterHook: return &GpiOnUnregisterHook;
    case GPIOP_UnregisterAllHooks: return &GpiOnUnregisterAllHooks;
    case GPIOP_GetErrorText: return &OnGetErrorText;
    case GPIOP_GetWorkspaceCount: return &OnGetWorkspaceCount;
    case GPIOP_GetWorkspace: return &OnGetWorkspace;
    case GPIOP_GetActiveWorkspace: return &OnGetActiveWorkspace;
    case GPIOP_PluginPostMessage: return &OnPluginPostMessage;
    case GPIOP_ObjectIsValid: return &OnObjectIsValid;
    case GPIOP_SetStatusText: return &OnSetStatusText;
    case GPIOP_HostAlloc: return &OnHostAlloc;
    case GPIOP_HostFree: return &OnHostFree;
    case GPIOP_GetHostVersion: return &OnGetHostVersion;
    case GPIOP_StatusPaneSetText: return &OnStatusPaneSetText;
    case GPIOP_StatusPaneCreate: return &OnStatusPaneCreate;
    case GPIOP_StatusPaneDestroy: return &OnStatusPaneDestroy;
    case GPIOP_ProgressCreate: return &OnProgressCreate;
    case GPIOP_ProgressSetPos: return &OnProgressSetPos;
    case GPIOP_ProgressDestroy: return &OnProgressDestroy;
    case GPIOP_IsScriptingAvailable: return &OnIsScriptingAvailable;
    // Workspaces.
    case GPIOP_WorkspaceGetMap: return &GpiOnWorkspaceGetMap;
    case GPIOP_WorkspaceGetThemeCount: return &GpiOnWorkspaceGetThemeCount;
    case GPIOP_WorkspaceGetTheme: return &GpiOnWorkspaceGetTheme;
    case GPIOP_WorkspaceAddTheme: return &GpiOnWorkspaceAddTheme;
    case GPIOP_WorkspaceGetExtent: return &GpiOnWorkspaceGetExtent;
    case GPIOP_WorkspacePrintConsole: return &GpiOnWorkspacePrintConsole;
    case GPIOP_WorkspaceIsActive: return &GpiOnWorkspaceIsActive;
    case GPIOP_WorkspaceSelectTheme: return &GpiOnWorkspaceSelectTheme;
    case GPIOP_WorkspaceNotifyChanged: return &GpiOnWorkspaceNotifyChanged;
    case GPIOP_WorkspaceGetSelectedThemes: return &GpiOnWorkspaceGetSelectedThemes;
    case GPIOP_WorkspaceGetActiveTheme: return &GpiOnWorkspaceGetActiveTheme;
    case GPIOP_WorkspaceGetDescription: return &GpiOnWorkspaceGetDescription;
    case GPIOP_WorkspaceSetDescription: return &GpiOnWorkspaceSetDescription;
    case GPIOP_WorkspaceRemoveTheme: return &GpiOnWorkspaceRemoveTheme;
    case GPIOP_WorkspaceSetPluginData: return &GpiOnWorkspaceSetPluginData;
    case GPIOP_WorkspaceClearThemeSelection: return &GpiOnWorkspaceClearThemeSelection;
    case GPIOP_WorkspaceGetSelectedThemeCount: return &GpiOnWorkspaceGetSelectedThemeCount;
    case GPIOP_WorkspaceNewThemeFromSelection: return &GpiOnWorkspaceNewThemeFromSelection;
    // Themes as a whole.
    case GPIOP_ThemeIsSelected: return &GpiOnThemeIsSelected;
    case GPIOP_ThemeIsReadOnly: return &GpiOnThemeIsReadOnly;
    case GPIOP_ThemeGetName: return &GpiOnThemeGetName;
    case GPIOP_ThemeSetName: return &GpiOnThemeSetName;
    case GPIOP_ThemeGetFieldCount: return &GpiOnThemeGetFieldCount;
    case GPIOP_ThemeGetShapeType: return &GpiOnThemeGetShapeType;
    case GPIOP_ThemeGetBounds: return &GpiOnThemeGetBounds;
    case GPIOP_ThemeRecalcBounds: return &GpiOnThemeRecalcBounds;
    case GPIOP_ThemeGetLabelFont: return &GpiOnThemeGetLabelFont;
    case GPIOP_ThemeGetFieldName: return &GpiOnThemeGetFieldName;
    case GPIOP_ThemeGetWorkspace: return &GpiOnThemeGetWorkspace;
    case GPIOP_ThemeIsVisible: return &GpiOnThemeIsVisible;
    case GPIOP_ThemeAddField: return &GpiOnThemeAddField;
    case GPIOP_ThemeDeleteField: return &GpiOnThemeDeleteField;
    case GPIOP_ThemeGetComment: return &GpiOnThemeGetComment;
    case GPIOP_ThemeSetComment: return &GpiOnThemeSetComment;
    case GPIOP_ThemeGetColor: return &GpiOnThemeGetColor;
    case GPIOP_ThemeSetColor: return &GpiOnThemeSetColor;
    case GPIOP_ThemeGetBaseColor: return &GpiOnThemeGetBaseColor;
    case GPIOP_ThemeSetBaseColor: return &GpiOnThemeSetBaseColor;
    case GPIOP_ThemeGetLineWidth: return &GpiOnThemeGetLineWidth;
    case GPIOP_ThemeSetLineWidth: return &GpiOnThemeSetLineWidth;
    case GPIOP_ThemeSetRasterImage: return &GpiOnThemeSetRasterImage;
    case GPIOP_ThemeSetPluginData: return &GpiOnThemeSetPluginData;
    case GPIOP_ThemeSetSelected: return &GpiOnThemeSetSelected;
    case GPIOP_ThemeGetFieldType: return &GpiOnThemeGetFieldType;
    case GPIOP_ThemeFindField: return &GpiOnThemeFindField;
    case GPIOP_ThemeGetPenStyle: return &GpiOnThemeGetPenStyle;
    case GPIOP_ThemeSetPenStyle: return &GpiOnThemeSetPenStyle;
    case GPIOP_ThemeSetFieldText: return &GpiOnThemeSetFieldText;
    // Shapes and the selection.
    case GPIOP_ThemeGetShapeCount: return &GpiOnThemeGetShapeCount;
    case GPIOP_ThemeGetShape: return &GpiOnThemeGetShape;
    case GPIOP_ThemeGetSelectionCount: return &GpiOnThemeGetSelectionCount;
    case GPIOP_ThemeGetSelection: return &GpiOnThemeGetSelection;
    case GPIOP_ShapeGetType: return &GpiOnShapeGetType;
    case GPIOP_ShapeGetBounds: return &GpiOnShapeGetBounds;
    case GPIOP_ShapeGetRecord: return &GpiOnShapeGetRecord;
    case GPIOP_ShapeGetPartCount: return &GpiOnShapeGetPartCount;
    case GPIOP_ShapeGetPartPointCount: return &GpiOnShapeGetPartPointCount;
    case GPIOP_ShapeGetPoint: return &GpiOnShapeGetPoint;
    case GPIOP_ShapeGetNearestPoint: return &GpiOnShapeGetNearestPoint;
    case GPIOP_ThemeFindShape: return &GpiOnThemeFindShape;
    case GPIOP_ShapeIsSelected: return &GpiOnShapeIsSelected;
    case GPIOP_ShapeSelect: return &GpiOnShapeSelect;
    case GPIOP_ShapeGetAttribute: return &GpiOnShapeGetAttribute;
    case GPIOP_ShapeGetInfoTipText: return &GpiOnShapeGetInfoTipText;
    case GPIOP_ThemeClearSelection: return &GpiOnThemeClearSelection;
    case GPIOP_ThemeInvertSelection: return &GpiOnThemeInvertSelection;
    // Recordsets and the queries that make them.
    case GPIOP_ThemeQuery: return &GpiOnThemeQuery;
    case GPIOP_ThemeQueryIntersecting: return &GpiOnThemeQueryIntersecting;
    case GPIOP_ThemeQueryRectangle: return &GpiOnThemeQueryRectangle;
    case GPIOP_ThemeQuerySelectedRectangle: return &GpiOnThemeQuerySelectedRectangle;
    case GPIOP_RecordsetMoveNext: return &GpiOnRecordsetMoveNext;
    case GPIOP_RecordsetMovePrevious: return &GpiOnRecordsetMovePrevious;
    case GPIOP_RecordsetMoveFirst: return &GpiOnRecordsetMoveFirst;
    case GPIOP_RecordsetMoveLast: return &GpiOnRecordsetMoveLast;
    case GPIOP_RecordsetGetValue: return &GpiOnRecordsetGetValue;
    case GPIOP_RecordsetIsEOF: return &GpiOnRecordsetIsEOF;
    case GPIOP_RecordsetIsBOF: return &GpiOnRecordsetIsBOF;
    case GPIOP_RecordsetClose: return &GpiOnRecordsetClose;
    case GPIOP_RecordsetGetCount: return &GpiOnRecordsetGetCount;
    // Adding shapes and batches.
    case GPIOP_ThemeAddShape: return &GpiOnThemeAddShape;
    case GPIOP_ThemeAddPoint: return &GpiOnThemeAddPoint;
    case GPIOP_ThemeAddShapeWkt: return &GpiOnThemeAddShapeWkt;
    case GPIOP_ThemeAddShapeWkb: return &GpiOnThemeAddShapeWkb;
    case GPIOP_ThemeUpdateBatch: return &GpiOnThemeUpdateBatch;
    case GPIOP_ThemeUpdateBatchReserve: return &GpiOnThemeUpdateBatchReserve;
    case GPIOP_ThemeUpdateShape: return &GpiOnThemeUpdateShape;
    case GPIOP_ThemeDeleteShape: return &GpiOnThemeDeleteShape;
    case GPIOP_ShapeSetAttribute: return &GpiOnShapeSetAttribute;
    case GPIOP_ShapeSetAttributes: return &GpiOnShapeSetAttributes;
    case GPIOP_ShapeSetAttributeInt: return &GpiOnShapeSetAttributeInt;
    case GPIOP_ShapeSetAttributeDouble: return &GpiOnShapeSetAttributeDouble;
    // The map view.
    case GPIOP_MapGetClientExtent: return &GpiOnMapGetClientExtent;
    case GPIOP_MapGetClientSize: return &GpiOnMapGetClientSize;
    case GPIOP_MapWorldToClient: return &GpiOnMapWorldToClient;
    case GPIOP_MapClientToWorld: return &GpiOnMapClientToWorld;
    case GPIOP_MapGetWindow: return &GpiOnMapGetWindow;
    case GPIOP_MapRedraw: return &GpiOnMapRedraw;
    case GPIOP_MapRender: return &GpiOnMapRender;
    case GPIOP_MapCenterAt: return &GpiOnMapCenterAt;
    case GPIOP_MapZoom: return &GpiOnMapZoom;
    case GPIOP_MapZoomToSelection: return &GpiOnMapZoomToSelection;
    case GPIOP_MapZoomToTheme: return &GpiOnMapZoomToTheme;
    case GPIOP_MapGetTool: return &GpiOnMapGetTool;
    case GPIOP_MapSetTool: return &GpiOnMapSetTool;
    // Toolbars, command items, tool panes and scripts.
    case GPIOP_ToolBarCreate: return &GpiOnToolBarCreate;
    case GPIOP_ToolBarGetButtonCount: return &GpiOnToolBarGetButtonCount;
    case GPIOP_ToolBarEnableButton: return &GpiOnToolBarEnableButton;
    case GPIOP_ToolBarCheckButton: return &GpiOnToolBarCheckButton;
    case GPIOP_ToolBarGetState: return &GpiOnToolBarGetState;
    case GPIOP_CommandItemEnable: return &GpiOnCommandItemEnable;
    case GPIOP_ToolPaneCreate: return &GpiOnToolPaneCreate;
    case GPIOP_ToolPaneRelease: return &GpiOnToolPaneRelease;
    case GPIOP_ToolPaneGetWindow: return &GpiOnToolPaneGetWindow;
    case GPIOP_ToolPaneQuery: return &GpiOnToolPaneQuery;
    case GPIOP_WorkspaceCreateScript: return &GpiOnWorkspaceCreateScript;
    case GPIOP_ScriptRun: return &GpiOnScriptRun;
    case GPIOP_ScriptCallFunction: return &GpiOnScriptCallFunction;
    case GPIOP_ScriptDestroy: return &GpiOnScriptDestroy;
    default: return nullptr;
    }
}

} // namespace

extern "C" int GpiHostDispatch(int op, void* args) {
    if (op < GPIOP_First || op > GPIOP_Last)
        return GPIERR_NotImplemented;
    if (op == GPIOP_Retired110)
        return GPIERR_NoLongerSupported;
    const GpiOperationHandler handler = FindHandler(op);
    if (handler == nullptr)
        return GPIERR_NotImplemented;
    // Nothing may unwind into the plug-in's frames.
    try {
        return handler(args);
    } catch (...) {
        return GPIERR_OutOfResources;
    }
}
