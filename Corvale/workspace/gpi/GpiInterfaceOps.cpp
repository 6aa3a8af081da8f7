// The GPI operations through which a plug-in extends the main window (its
// toolbars, the enabled state of its command items, dockable tool panes) and
// runs JavaScript files in a workspace's script engine.
//
// The main frame and the script engine sit above the host; the operations
// reach them through the frame services and the script services that the
// application and the script library install. The toolbars, command items and
// panes belong to the main frame for the rest of the run; the host only keeps
// handles of them.

#include "workspace/gpi/GpiOperations.h"

#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiState.h"

#include <string>

namespace {

const GpiFrameServices& Frame() { return GpiState().m_Frame; }
const GpiScriptServices& Scripts() { return GpiState().m_Script; }

CCorvaleToolBar* ToolBarFromHandle(std::uint32_t handle) {
    CCorvaleToolBar* const* toolbar = GpiState().m_ToolBars.Find(handle);
    return toolbar != nullptr ? *toolbar : nullptr;
}

CCustomToolPane* ToolPaneFromHandle(std::uint32_t handle) {
    CCustomToolPane* const* pane = GpiState().m_ToolPanes.Find(handle);
    return pane != nullptr ? *pane : nullptr;
}

int SetToolBarButton(void* args, bool check) {
    auto* block = static_cast<GpiToolBarButtonArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleToolBar* toolbar = ToolBarFromHandle(block->toolbar);
    if (toolbar == nullptr)
        return GPIERR_InvalidHandle;
    // Neither the identity nor the button is checked: a button that is not
    // found leaves everything as it was.
    const auto& apply = check ? Frame().checkPluginToolButton : Frame().enablePluginToolButton;
    if (apply)
        apply(block->buttonId, block->identity, toolbar, block->value != 0);
    return GPIERR_NoError;
}

// Ops 87 and 88 make sure the console exists before the script runs, so that
// the engine's reports have somewhere to go, and show it when the run fails.
int RunScript(std::uint32_t handle, const char* function) {
    CGpiLockGuard guard;
    const GpiScriptEntry* entry = GpiState().m_Scripts.Find(handle);
    if (entry == nullptr)
        return GPIERR_InvalidHandle;
    const GpiScriptServices& scripts = Scripts();
    const GpiScriptEntry script = *entry;
    if (scripts.ensureConsole)
        scripts.ensureConsole(script.m_Owner);
    const bool ok = function == nullptr ? (scripts.run && scripts.run(script.m_Script, script.m_Owner))
                                        : (scripts.call && scripts.call(script.m_Script, script.m_Owner, function));
    if (ok)
        return GPIERR_NoError;
    if (scripts.showConsole)
        scripts.showConsole(script.m_Owner);
    return GPIERR_ScriptError;
}

} // namespace

// ---------------------------------------------------------------------------
// Toolbars and command items
// ---------------------------------------------------------------------------

int GpiOnToolBarCreate(void* args) {
    auto* block = static_cast<GpiToolBarCreateArgs*>(args);
    if (block == nullptr || block->toolbar == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (!Frame().createPluginToolbar)
        return GPIERR_NotImplemented;
    const char* guidText = GetGpiPluginGuidText(block->identity);
    CCorvaleToolBar* toolbar =
        Frame().createPluginToolbar(block->identity, guidText != nullptr ? guidText : "", block->module,
                                    block->resourceId, block->name != nullptr ? block->name : "");
    if (toolbar == nullptr)
        return GPIERR_IllegalParameter;
    const std::uint32_t handle = GpiState().m_ToolBars.GetOrCreate(toolbar);
    if (handle == 0)
        return GPIERR_OutOfResources;
    *block->toolbar = handle;
    return GPIERR_NoError;
}

int GpiOnToolBarGetButtonCount(void* args) {
    using Args = GpiToolBarGetButtonCountArgs;
    return GpiOnOutBlock<Args>(args, ToolBarFromHandle, [](Args* block, CCorvaleToolBar* toolbar) -> int {
        *block->out = Frame().toolbarButtonCount ? Frame().toolbarButtonCount(toolbar) : 0;
        return GPIERR_NoError;
    });
}

int GpiOnToolBarEnableButton(void* args) { return SetToolBarButton(args, false); }

int GpiOnToolBarCheckButton(void* args) { return SetToolBarButton(args, true); }

int GpiOnToolBarGetState(void* args) {
    using Args = GpiToolBarGetStateArgs;
    return GpiOnOutBlock<Args>(args, ToolBarFromHandle, [](Args* block, CCorvaleToolBar* toolbar) -> int {
        *block->out = Frame().toolbarState ? Frame().toolbarState(toolbar) : 0;
        return GPIERR_NoError;
    });
}

int GpiOnCommandItemEnable(void* args) {
    auto* block = static_cast<GpiCommandItemEnableArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const std::uint32_t* commandId = GpiState().m_CommandItems.Find(block->handle);
    if (commandId == nullptr)
        return GPIERR_InvalidHandle;
    // The menu or toolbar entry shows the state at its next update.
    if (Frame().enableCommandItem)
        Frame().enableCommandItem(*commandId, block->value != 0);
    return GPIERR_NoError;
}

// ---------------------------------------------------------------------------
// Tool panes
// ---------------------------------------------------------------------------

int GpiOnToolPaneCreate(void* args) {
    auto* block = static_cast<GpiToolPaneCreateArgs*>(args);
    if (block == nullptr || block->caption == nullptr || block->identity == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const char* guidText = GetGpiPluginGuidText(block->identity);
    if (guidText == nullptr)
        return GPIERR_InvalidHandle;
    if (!Frame().createToolPane)
        return GPIERR_NotImplemented;
    CCustomToolPane* pane = Frame().createToolPane(guidText, block->caption, block->icon);
    if (pane == nullptr)
        return GPIERR_OutOfResources;
    // A pane made twice gets two handles.
    const std::uint32_t handle = GpiState().m_ToolPanes.Add(pane);
    if (handle == 0)
        return GPIERR_OutOfResources;
    if (block->tpane != nullptr)
        *block->tpane = handle;
    if (block->window != nullptr)
        *block->window = Frame().toolPaneWindow ? Frame().toolPaneWindow(pane) : nullptr;
    return GPIERR_NoError;
}

int GpiOnToolPaneRelease(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    // Only the handle goes; the pane stays open and stays the frame's.
    if (!GpiState().m_ToolPanes.Erase(handle))
        return GPIERR_InvalidHandle;
    return GPIERR_NoError;
}

int GpiOnToolPaneGetWindow(void* args) {
    auto* block = static_cast<GpiToolPaneGetWindowArgs*>(args);
    if (block == nullptr || block->window == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCustomToolPane* pane = ToolPaneFromHandle(block->tpane);
    if (pane == nullptr)
        return GPIERR_InvalidHandle;
    *block->window = Frame().toolPaneWindow ? Frame().toolPaneWindow(pane) : nullptr;
    return GPIERR_NoError;
}

int GpiOnToolPaneQuery(void* args) {
    auto* block = static_cast<GpiToolPaneQueryArgs*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (ToolPaneFromHandle(block->handle) == nullptr)
        return GPIERR_InvalidHandle;
    *block->out = 0;
    return GPIERR_NoError;
}

// ---------------------------------------------------------------------------
// Workspace scripts
// ---------------------------------------------------------------------------

int GpiOnWorkspaceCreateScript(void* args) {
    auto* block = static_cast<GpiWorkspaceCreateScriptArgs*>(args);
    if (block == nullptr || block->file == nullptr || block->script == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    // A failed load is reported through the result only; its messages are on
    // the document's console.
    CJSHandler* script = document->LoadJavaScript(block->file);
    if (script == nullptr) {
        *block->script = 0;
        return GPIERR_ScriptError;
    }
    GpiScriptEntry entry;
    entry.m_Script = script;
    entry.m_Owner = document;
    const std::uint32_t handle = GpiState().m_Scripts.GetOrCreate(entry);
    if (handle == 0) {
        if (Scripts().destroy)
            Scripts().destroy(script);
        *block->script = 0;
        return GPIERR_OutOfResources;
    }
    *block->script = handle;
    return GPIERR_NoError;
}

int GpiOnScriptRun(void* args) { return RunScript(GpiHandleOfBlock(args), nullptr); }

int GpiOnScriptCallFunction(void* args) {
    auto* block = static_cast<GpiScriptCallFunctionArgs*>(args);
    if (block == nullptr || block->text == nullptr)
        return GPIERR_IllegalParameter;
    return RunScript(block->handle, block->text);
}

int GpiOnScriptDestroy(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    const GpiScriptEntry* entry = state.m_Scripts.Find(handle);
    if (entry == nullptr)
        return GPIERR_InvalidHandle;
    CJSHandler* script = entry->m_Script;
    state.m_Scripts.Erase(handle);
    if (state.m_Script.destroy)
        state.m_Script.destroy(script);
    return GPIERR_NoError;
}
