#include "workspace/gpi/GpiState.h"

#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------
// The lock
// ---------------------------------------------------------------------------

bool CGpiLock::Enter() {
    if (!IsEnabled())
        return false;
    m_Mutex.lock();
    return true;
}

void CGpiLock::Leave() { m_Mutex.unlock(); }

bool CGpiLock::TryEnter() { return m_Mutex.try_lock(); }

CGpiLock& GpiLock() {
    static CGpiLock lock;
    return lock;
}

void GpiInitializeLock() { GpiLock().Enable(); }

// ---------------------------------------------------------------------------
// State and handles
// ---------------------------------------------------------------------------

CGpiHostState& GpiState() {
    static CGpiHostState state;
    return state;
}

std::uint32_t GpiNewHandle() {
    CGpiLockGuard guard;
    std::uint32_t& counter = GpiState().m_HandleCounter;
    // Past the last handle lie the plug-in identities; a counter that got
    // there would start handing out values that name plug-ins.
    if (counter >= GPI_HANDLE_LAST)
        return 0;
    return ++counter;
}

void GpiSetFrameServices(const GpiFrameServices& services) {
    CGpiLockGuard guard;
    GpiState().m_Frame = services;
}

void GpiSetMapViewServices(const GpiMapViewServices& services) {
    CGpiLockGuard guard;
    GpiState().m_MapView = services;
}

void GpiSetScriptServices(const GpiScriptServices& services) {
    CGpiLockGuard guard;
    GpiState().m_Script = services;
}

// ---------------------------------------------------------------------------
// Plug-ins
// ---------------------------------------------------------------------------

std::uint32_t GpiAddPlugin(std::unique_ptr<CGpiPlugin> plugin) {
    if (plugin == nullptr)
        return 0;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (state.m_PluginsEverListed >= std::numeric_limits<std::uint32_t>::max() - GPI_PLUGIN_IDENTITY_FIRST)
        return 0;
    const std::uint32_t identity = GPI_PLUGIN_IDENTITY_FIRST + state.m_PluginsEverListed++;
    plugin->m_Identity = identity;
    plugin->m_InitInfo.identity = identity;
    GpiHookRecord record;
    record.identity = identity;
    state.m_HookRecords.push_back(record);
    state.m_Plugins.push_back(std::move(plugin));
    return identity;
}

std::unique_ptr<CGpiPlugin> GpiRemoveLastPlugin() {
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    if (state.m_Plugins.empty())
        return nullptr;
    std::unique_ptr<CGpiPlugin> plugin = std::move(state.m_Plugins.back());
    state.m_Plugins.pop_back();
    const std::uint32_t identity = plugin->m_Identity;
    auto& records = state.m_HookRecords;
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [identity](const GpiHookRecord& record) { return record.identity == identity; }),
                  records.end());
    return plugin;
}

CGpiPlugin* GpiFindPlugin(std::uint32_t identity) {
    if (identity < GPI_PLUGIN_IDENTITY_FIRST)
        return nullptr;
    CGpiLockGuard guard;
    for (const auto& plugin : GpiState().m_Plugins)
        if (plugin->m_Identity == identity)
            return plugin.get();
    return nullptr;
}

GpiHookRecord* GpiFindHookRecord(std::uint32_t identity) {
    if (identity < GPI_PLUGIN_IDENTITY_FIRST)
        return nullptr;
    CGpiLockGuard guard;
    for (GpiHookRecord& record : GpiState().m_HookRecords)
        if (record.identity == identity)
            return &record;
    return nullptr;
}

bool GpiIsPluginIdentity(std::uint32_t value) { return GpiFindPlugin(value) != nullptr; }

bool GpiSameGuidText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

const char* GetGpiPluginGuidText(std::uint32_t identity) {
    const CGpiPlugin* plugin = GpiFindPlugin(identity);
    return plugin != nullptr ? plugin->m_GuidText.c_str() : nullptr;
}

// ---------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------

CCorvaleDoc* GpiWorkspaceFromHandle(std::uint32_t handle) {
    CGpiLockGuard guard;
    const GpiWorkspaceEntry* entry = GpiState().m_Workspaces.Find(handle);
    return entry != nullptr ? entry->m_Document : nullptr;
}

CTheme* GpiThemeFromHandle(std::uint32_t handle) {
    CGpiLockGuard guard;
    CTheme* const* theme = GpiState().m_Themes.Find(handle);
    return theme != nullptr ? *theme : nullptr;
}

CGeoView* GpiMapViewFromHandle(std::uint32_t handle) {
    CGpiLockGuard guard;
    CGeoView* const* view = GpiState().m_MapViews.Find(handle);
    return view != nullptr ? *view : nullptr;
}

CShapeRecord* GpiShapeFromHandle(std::uint32_t handle) {
    CGpiLockGuard guard;
    CShapeRecord* const* record = GpiState().m_Shapes.find_right(handle);
    return record != nullptr ? *record : nullptr;
}

std::uint32_t GpiFindWorkspaceHandle(const CCorvaleDoc* document) {
    if (document == nullptr)
        return 0;
    CGpiLockGuard guard;
    return GpiState().m_Workspaces.FindHandleIf(
        [document](const GpiWorkspaceEntry& entry) { return entry.m_Document == document; });
}

std::uint32_t GpiFindThemeHandle(const CTheme* theme) {
    if (theme == nullptr)
        return 0;
    CGpiLockGuard guard;
    return GpiState().m_Themes.FindHandleIf([theme](const CTheme* entry) { return entry == theme; });
}

std::uint32_t GpiFindShapeHandle(const CShapeRecord* record) {
    if (record == nullptr)
        return 0;
    CGpiLockGuard guard;
    const std::uint32_t* handle = GpiState().m_Shapes.find_left(const_cast<CShapeRecord*>(record));
    return handle != nullptr ? *handle : 0;
}

namespace {

bool HoldsRecord(const CTheme& theme, const CShapeRecord* record) {
    for (const auto* list : {&theme.m_Points, &theme.m_Arcs, &theme.m_Polygons})
        if (std::find(list->begin(), list->end(), record) != list->end())
            return true;
    return false;
}

} // namespace

CTheme* GpiThemeOfShape(const CShapeRecord* record) {
    if (record == nullptr)
        return nullptr;
    CGpiLockGuard guard;
    for (const auto& entry : GpiState().m_Themes.Entries())
        if (entry.second != nullptr && HoldsRecord(*entry.second, record))
            return entry.second;
    return nullptr;
}

CCorvaleDoc* GpiDocumentOfTheme(const CTheme* theme) {
    if (theme == nullptr)
        return nullptr;
    CGpiLockGuard guard;
    for (const auto& entry : GpiState().m_Workspaces.Entries()) {
        CCorvaleDoc* document = entry.second.m_Document;
        if (document != nullptr &&
            std::find(document->m_themes.begin(), document->m_themes.end(), theme) != document->m_themes.end())
            return document;
    }
    return nullptr;
}

std::uint32_t GpiAddRecordset(std::unique_ptr<GpiRecordset> recordset) {
    if (recordset == nullptr)
        return 0;
    CGpiLockGuard guard;
    const std::uint32_t handle = GpiState().m_Recordsets.Add(recordset.get());
    if (handle != 0)
        recordset.release();
    return handle;
}

std::uint32_t GpiFindMapViewHandle(const CCorvaleDoc* document) {
    if (document == nullptr || document->m_mapView == nullptr)
        return 0;
    CGpiLockGuard guard;
    for (const auto& entry : GpiState().m_MapViewWindows)
        if (entry.second == document->m_mapView)
            return entry.first;
    return 0;
}

std::uint32_t GpiGetToolOwner(std::uint32_t workspace) {
    CGpiLockGuard guard;
    const GpiWorkspaceEntry* entry = GpiState().m_Workspaces.Find(workspace);
    return entry != nullptr ? entry->m_ToolOwner : 0;
}

void GpiSetToolOwner(std::uint32_t workspace, std::uint32_t identity) {
    CGpiLockGuard guard;
    if (GpiWorkspaceEntry* entry = GpiState().m_Workspaces.Find(workspace))
        entry->m_ToolOwner = identity;
}

int GpiGetHandleKind(std::uint32_t value) {
    if (value == 0)
        return GPIHANDLE_Unknown;
    CGpiLockGuard guard;
    const CGpiHostState& state = GpiState();
    if (GpiIsPluginIdentity(value))
        return GPIHANDLE_Plugin;
    if (state.m_Workspaces.Contains(value))
        return GPIHANDLE_Workspace;
    if (state.m_MapViews.Contains(value))
        return GPIHANDLE_Map;
    if (state.m_Themes.Contains(value))
        return GPIHANDLE_Theme;
    if (state.m_Recordsets.Contains(value))
        return GPIHANDLE_Recordset;
    if (state.m_ToolBars.Contains(value))
        return GPIHANDLE_ToolBar;
    if (state.m_StatusPanes.Contains(value))
        return GPIHANDLE_StatusPane;
    if (state.m_CommandItems.Contains(value))
        return GPIHANDLE_CommandItem;
    if (state.m_ProgressBars.Contains(value))
        return GPIHANDLE_ProgressBar;
    if (state.m_Scripts.Contains(value))
        return GPIHANDLE_JavaScript;
    if (state.m_ToolPanes.Contains(value))
        return GPIHANDLE_ToolPane;
    if (state.m_Shapes.contains_left(value))
        return GPIHANDLE_Shape;
    return GPIHANDLE_Unknown;
}

bool GpiIsValidHandle(std::uint32_t value) { return GpiGetHandleKind(value) != GPIHANDLE_Unknown; }

// ---------------------------------------------------------------------------
// Codes and texts
// ---------------------------------------------------------------------------

const char* GpiErrorText(std::uint32_t code) {
    switch (code) {
    case GPIERR_NoError: return "No error";
    case GPIERR_False: return "False";
    case GPIERR_NotImplemented: return "Function not implemented.";
    case GPIERR_UnknownErrorCode: return "Unknown error code.";
    case GPIERR_InvalidHandle: return "Invalid handle.";
    case GPIERR_IllegalParameter: return "Illegal parameter value.";
    case GPIERR_UnsupportedShapeType: return "Unsupported shape type.";
    case GPIERR_UnexpectedShapeType: return "Unexpected shape type.";
    case GPIERR_IndexOutOfBounds: return "Index out of bounds.";
    case GPIERR_PermissionDenied: return "Permission denied.";
    case GPIERR_BufferOverflow: return "Buffer overflow.";
    case GPIERR_InvalidQuery: return "Invalid query.";
    case GPIERR_UnknownHookType: return "Unknown hook type used. (New plug-in and old Corvale?)";
    case GPIERR_OutOfResources: return "Out of resources.";
    case GPIERR_ScriptError: return "Script error.";
    case GPIERR_NoLongerSupported: return "Function is no longer supported.";
    default: return nullptr;
    }
}

int GpiStringProtocol(const std::string& text, char* buffer, std::uint32_t* size) {
    if (size == nullptr)
        return GPIERR_IllegalParameter;
    // The size word is 32 bits; a text it cannot describe is not handed out.
    if (text.size() >= std::numeric_limits<std::uint32_t>::max())
        return GPIERR_OutOfResources;
    if (buffer == nullptr) {
        *size = static_cast<std::uint32_t>(text.size() + 1);
        return GPIERR_NoError;
    }
    if (*size == 0)
        return GPIERR_NoError;
    const std::size_t count = std::min<std::size_t>(text.size(), *size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return GPIERR_NoError;
}

int GpiHostPlacement(std::uint32_t placement) {
    switch (placement) {
    case GPIPLACE_NewTheme: return 0;
    case GPIPLACE_AddThemeFrom: return 1;
    case GPIPLACE_CopySpecial: return 2;
    case GPIPLACE_AdvancedSelection: return 3;
    case GPIPLACE_AdvancedEdit: return 4;
    case GPIPLACE_Unplaced: return 5;
    case GPIPLACE_Tools: return 6;
    default: return -1;
    }
}

bool GpiHostFreeMemory(void* block) {
    if (block == nullptr)
        return false;
    CGpiLockGuard guard;
    if (GpiState().m_HostBlocks.erase(block) == 0)
        return false;
    std::free(block);
    return true;
}

// ---------------------------------------------------------------------------
// For tests
// ---------------------------------------------------------------------------

std::uint32_t GpiTestSetHandleCounter(std::uint32_t value) {
    CGpiLockGuard guard;
    const std::uint32_t old = GpiState().m_HandleCounter;
    GpiState().m_HandleCounter = value;
    return old;
}

void GpiTestReset() {
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    // Real modules are stopped and freed, so that a test leaves none behind.
    for (auto& hookRecord : state.m_HookRecords)
        hookRecord.callback = nullptr;
    for (auto& plugin : state.m_Plugins)
        plugin->Unload();
    state.m_Plugins.clear();
    state.m_HookRecords.clear();
    state.m_Workspaces.Clear();
    state.m_MapViews.Clear();
    state.m_MapViewWindows.clear();
    state.m_Themes.Clear();
    state.m_Shapes.clear();
    state.m_Recordsets.Clear();
    state.m_ToolBars.Clear();
    state.m_StatusPanes.Clear();
    state.m_CommandItems.Clear();
    state.m_ProgressBars.Clear();
    // Script contexts are the host's to delete; without the services that
    // made them there are none.
    if (state.m_Script.destroy)
        for (const auto& entry : state.m_Scripts.Entries())
            state.m_Script.destroy(entry.second.m_Script);
    state.m_Scripts.Clear();
    state.m_ToolPanes.Clear();
    state.m_BatchList.clear();
    state.m_FileTypes.clear();
    state.m_ScriptingAvailable = -1;
    for (void* block : state.m_HostBlocks)
        std::free(block);
    state.m_HostBlocks.clear();
    state.m_Frame = GpiFrameServices();
    state.m_MapView = GpiMapViewServices();
    state.m_Script = GpiScriptServices();
}
