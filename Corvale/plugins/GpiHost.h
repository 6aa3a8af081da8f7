#pragma once
// The host side of the GPI, the interface of general plug-ins: the handle
// tables that turn documents, themes and shapes into the integers plug-ins
// hold, and the notifications the document sends them.

#include "Gpi.h"

#include <cstdint>
#include <functional>
#include <vector>

class CCorvaleDoc;
class CGeoView;
class CMessageWindow;
class CShapeRecord;
class CTheme;

// Get-or-create handles; null objects give 0. Handles are never reused.
std::uint32_t GpiWorkspaceHandle(CCorvaleDoc* document);
void GpiRegisterWorkspace(CCorvaleDoc* document);
std::uint32_t GpiThemeHandle(CTheme* theme);
std::uint32_t GpiShapeHandle(CShapeRecord* record);

// Drop the entries of objects that are going away, so that a plug-in holding
// their handles gets "Invalid handle." rather than a dangling object.
void GpiForgetWorkspace(CCorvaleDoc* document);
void GpiForgetTheme(CTheme* theme);

// Notifications of the document to the subscribed plug-ins.
void GpiNotifyThemeAdded(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyThemesRemoved(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyShapeDeleted(CTheme* theme, CShapeRecord* record);
void GpiNotifyActiveThemeChanged(CCorvaleDoc* document, CTheme* theme);
void GpiNotifySelectionChanged(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyWorkspaceClosing(CCorvaleDoc* document);

// ---------------------------------------------------------------------------
// Further services of the plug-in host to the rest of the program.
// ---------------------------------------------------------------------------

// Enables the plug-in lock. The application calls it once at start-up,
// before any plug-in is loaded; until then the host runs without locking.
void GpiInitializeLock();

// The entry plug-ins call; its address goes into every plug-in's GpiInitInfo.
extern "C" int GpiHostDispatch(int op, void* args);

// Calls every plug-in subscribed to the hook type, in load order, with the
// workspace handle and the argument block, whose first word each plug-in
// receives set to its own user data. The block belongs to the caller. An
// exception from a plug-in is reported and delivery goes on with the next.
// Holds the plug-in lock throughout.
void FireGpiHook(std::uint32_t workspace, std::uint32_t hookType, void* args);

// The map view registers itself once, when it is first updated, and forgets
// itself when it is destroyed.
std::uint32_t GpiRegisterMapView(CGeoView* view);
void GpiForgetMapView(CGeoView* view);

// A theme that replaces a record by a new copy moves the record's handle to
// the copy, so that a plug-in's handle keeps naming the shape.
void GpiMoveShapeHandle(CShapeRecord* oldRecord, CShapeRecord* newRecord);

// Window message posted to the main window for GPIOP_PluginPostMessage:
// wParam the plug-in's value, lParam its identity.
constexpr unsigned WM_GPI_PLUGIN_MESSAGE = 0x8008;

// What the host needs of the application's frame. The application installs
// it at start-up; until then the operations that list the open workspaces
// answer GPIERR_NotImplemented.
struct GpiFrameServices {
    // Every open document, template by template, in the frame's order.
    std::function<std::vector<CCorvaleDoc*>()> openDocuments;
    // The document of the active child window; null when there is none.
    std::function<CCorvaleDoc*()> activeDocument;
    // The main window, to which plug-ins post messages; may be null.
    CMessageWindow* mainWindow = nullptr;
};
void GpiSetFrameServices(const GpiFrameServices& services);
