#include "plugins/GpiHost.h"

#include "core/Theme.h"
#include "platform/UserInterface.h"
#include "plugins/GpiState.h"
#include "workspace/CorvaleDoc.h"

#include <cstring>

// ---------------------------------------------------------------------------
// Handles of the program's objects
// ---------------------------------------------------------------------------

std::uint32_t GpiWorkspaceHandle(CCorvaleDoc* document) {
    if (document == nullptr)
        return 0;
    CGpiLockGuard guard;
    GpiWorkspaceEntry entry;
    entry.m_Document = document;
    return GpiState().m_Workspaces.GetOrCreate(entry);
}

void GpiRegisterWorkspace(CCorvaleDoc* document) { GpiWorkspaceHandle(document); }

std::uint32_t GpiThemeHandle(CTheme* theme) {
    if (theme == nullptr)
        return 0;
    CGpiLockGuard guard;
    return GpiState().m_Themes.GetOrCreate(theme);
}

std::uint32_t GpiShapeHandle(CShapeRecord* record) {
    if (record == nullptr)
        return 0;
    CGpiLockGuard guard;
    auto& shapes = GpiState().m_Shapes;
    if (const std::uint32_t* handle = shapes.find_left(record))
        return *handle;
    const std::uint32_t handle = GpiNewHandle();
    if (handle != 0)
        shapes.insert(handle, record);
    return handle;
}

std::uint32_t GpiRegisterMapView(CGeoView* view) {
    if (view == nullptr)
        return 0;
    CGpiLockGuard guard;
    return GpiState().m_MapViews.Add(view);
}

void GpiForgetMapView(CGeoView* view) {
    if (view == nullptr)
        return;
    CGpiLockGuard guard;
    GpiState().m_MapViews.EraseIf([view](CGeoView* entry) { return entry == view; });
}

void GpiForgetWorkspace(CCorvaleDoc* document) {
    if (document == nullptr)
        return;
    // Only compares addresses: the document may be half destroyed already.
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    state.m_Scripts.EraseIf([document](const GpiScriptEntry& entry) { return entry.m_Owner == document; });
    state.m_Workspaces.EraseIf([document](const GpiWorkspaceEntry& entry) { return entry.m_Document == document; });
}

void GpiForgetTheme(CTheme* theme) {
    if (theme == nullptr)
        return;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    state.m_Themes.EraseIf([theme](const CTheme* entry) { return entry == theme; });
    if (state.m_Shapes.empty())
        return;
    for (const auto* list : {&theme->m_Points, &theme->m_Arcs, &theme->m_Polygons})
        for (CShapeRecord* record : *list)
            state.m_Shapes.erase_right(record);
}

void GpiMoveShapeHandle(CShapeRecord* oldRecord, CShapeRecord* newRecord) {
    if (oldRecord == nullptr || newRecord == nullptr || oldRecord == newRecord)
        return;
    CGpiLockGuard guard;
    auto& shapes = GpiState().m_Shapes;
    const std::uint32_t* found = shapes.find_left(oldRecord);
    if (found == nullptr)
        return;
    const std::uint32_t handle = *found;
    shapes.erase_left(handle);
    // A copy that somehow has a handle of its own keeps it; one record cannot
    // carry two.
    if (!shapes.contains_right(newRecord))
        shapes.insert(handle, newRecord);
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

void FireGpiHook(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    if (hookType < GPIHOOK_First || hookType > GPIHOOK_Last)
        return;
    GpiHookArgs fallback = {0};
    if (args == nullptr)
        args = &fallback;
    CGpiLockGuard guard;
    auto& records = GpiState().m_HookRecords;
    // By index and on a copy: a plug-in may change subscriptions from its
    // callback, which must neither disturb this walk nor the record it reads.
    for (std::size_t i = 0; i < records.size(); ++i) {
        const GpiHookRecord record = records[i];
        if (record.active == 0 || record.subscribed[hookType] == 0 || record.callback == nullptr)
            continue;
        std::memcpy(args, &record.userData[hookType], sizeof(std::uint32_t));
        try {
            record.callback(workspace, hookType, args);
        } catch (...) {
            corvale::UI().ShowMessage("Unhandled exception from GPI plug-in.", corvale::MessageIcon::None,
                                      corvale::MessageButtons::Ok);
        }
    }
}

namespace {

bool HasSubscriber(std::uint32_t hookType) {
    for (const GpiHookRecord& record : GpiState().m_HookRecords)
        if (record.active != 0 && record.subscribed[hookType] != 0 && record.callback != nullptr)
            return true;
    return false;
}

} // namespace

// The notifications below draw handles for the objects they name only when
// somebody listens: a theme nobody asked about needs none.

void GpiNotifyThemeAdded(CCorvaleDoc* document, CTheme* theme) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_ThemeAdded))
        return;
    GpiHookThemeArgs args = {0, GpiThemeHandle(theme)};
    FireGpiHook(GpiWorkspaceHandle(document), GPIHOOK_ThemeAdded, &args);
}

void GpiNotifyThemesRemoved(CCorvaleDoc* document, CTheme* theme) {
    CGpiLockGuard guard;
    if (HasSubscriber(GPIHOOK_ThemesRemoved)) {
        GpiHookThemeArgs args = {0, GpiThemeHandle(theme)};
        FireGpiHook(GpiWorkspaceHandle(document), GPIHOOK_ThemesRemoved, &args);
    }
    // The theme has left the document: a later return gets a new handle.
    if (theme != nullptr)
        GpiState().m_Themes.EraseIf([theme](const CTheme* entry) { return entry == theme; });
}

void GpiNotifyShapeDeleted(CTheme* theme, CShapeRecord* record) {
    CGpiLockGuard guard;
    if (HasSubscriber(GPIHOOK_ShapeDeleted)) {
        GpiHookShapeArgs args = {0, GpiThemeHandle(theme), GpiShapeHandle(record)};
        FireGpiHook(GpiWorkspaceHandle(GpiDocumentOfTheme(theme)), GPIHOOK_ShapeDeleted, &args);
    }
    if (record != nullptr)
        GpiState().m_Shapes.erase_right(record);
}

void GpiNotifyActiveThemeChanged(CCorvaleDoc* document, CTheme*) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_ActiveThemeChanged))
        return;
    GpiHookArgs args = {0};
    FireGpiHook(GpiWorkspaceHandle(document), GPIHOOK_ActiveThemeChanged, &args);
}

void GpiNotifySelectionChanged(CCorvaleDoc* document, CTheme* theme) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_SelectionChanged))
        return;
    GpiHookSelectionArgs args = {0, GpiThemeHandle(theme), 1};
    FireGpiHook(GpiWorkspaceHandle(document), GPIHOOK_SelectionChanged, &args);
}

void GpiNotifyWorkspaceClosing(CCorvaleDoc* document) {
    CGpiLockGuard guard;
    if (HasSubscriber(GPIHOOK_WorkspaceClosing)) {
        GpiHookArgs args = {0};
        FireGpiHook(GpiWorkspaceHandle(document), GPIHOOK_WorkspaceClosing, &args);
    }
    GpiForgetWorkspace(document);
}
