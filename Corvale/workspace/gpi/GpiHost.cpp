#include "workspace/gpi/GpiHost.h"

#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiState.h"

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

std::uint32_t GpiRegisterMapView(CGeoView* view, const CMessageWindow* window) {
    if (view == nullptr)
        return 0;
    CGpiLockGuard guard;
    const std::uint32_t handle = GpiState().m_MapViews.Add(view);
    if (handle != 0 && window != nullptr)
        GpiState().m_MapViewWindows[handle] = window;
    return handle;
}

void GpiForgetMapView(CGeoView* view) {
    if (view == nullptr)
        return;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    for (const auto& entry : state.m_MapViews.Entries())
        if (entry.second == view)
            state.m_MapViewWindows.erase(entry.first);
    state.m_MapViews.EraseIf([view](CGeoView* entry) { return entry == view; });
}

void GpiForgetWorkspace(CCorvaleDoc* document) {
    if (document == nullptr)
        return;
    // Only compares addresses: the document may be half destroyed already.
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    // The document's script contexts go with it: nothing could run them
    // any more, and each holds a global object of the script engine.
    state.m_Scripts.EraseIf([document, &state](const GpiScriptEntry& entry) {
        if (entry.m_Owner != document)
            return false;
        if (state.m_Script.destroy)
            state.m_Script.destroy(entry.m_Script);
        return true;
    });
    state.m_Workspaces.EraseIf([document](const GpiWorkspaceEntry& entry) { return entry.m_Document == document; });
}

void GpiForgetTheme(CTheme* theme) {
    if (theme == nullptr)
        return;
    CGpiLockGuard guard;
    CGpiHostState& state = GpiState();
    state.m_Themes.EraseIf([theme](const CTheme* entry) { return entry == theme; });
    // A derived theme lists its parent's records: their handles stay with
    // the parent, which still holds them.
    if (state.m_Shapes.empty() || theme->m_SourceType == ST_ParentTheme)
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
