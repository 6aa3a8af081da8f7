#pragma once
// How record edits reach the plug-in host.
//
// GPI plug-ins hold integer handles of shape records. When a theme frees a
// record (a deleted shape) or puts a copy in its place (a replaced shape, a
// theme converted to native), the host must hear of it, or a plug-in's handle
// would name freed memory. The data model sits below the host and cannot call
// it, so the host installs these two functions at start-up
// (GpiInstallShapeEditHooks in workspace/gpi/GpiShapeEditHooks.h). Until then the
// hooks are empty and edits tell nobody, which is right for programs and
// tests that run without plug-ins.
//
// Both run on the user-interface thread, while the record is still intact.

class CShapeRecord;
class CTheme;

struct CShapeEditHooks {
    // The shape is about to be deleted from the theme: announce it to the
    // plug-ins and drop its handle. Called once per shape, before any list
    // of the theme changes and before the buffer is freed.
    void (*m_ShapeDeleted)(CTheme* theme, CShapeRecord* record) = nullptr;
    // The record is being replaced by a copy: the handle that named the old
    // record now names the copy. Called before the old buffer is freed.
    void (*m_ShapeReplaced)(CShapeRecord* oldRecord, CShapeRecord* newRecord) = nullptr;
};

// Replaces the installed hooks; an empty CShapeEditHooks removes them.
void SetShapeEditHooks(const CShapeEditHooks& hooks);
const CShapeEditHooks& GetShapeEditHooks();
