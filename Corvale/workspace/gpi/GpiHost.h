#pragma once
// The host side of the GPI, the interface of general plug-ins: the handle
// tables that turn documents, themes and shapes into the integers plug-ins
// hold, the notifications the document, the map view, the main frame and the
// application send them, the plug-in manager that loads and stops them, and
// their data sections in workspace files.

#include "Gpi.h"
#include "core/GpiDataBlock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CArchive;
class CCorvaleDoc;
class CCorvaleToolBar;
class CCustomToolPane;
class CGeoView;
class CJSHandler;
class CMessageWindow;
class CShapeRecord;
class CTheme;
class QImage;
struct CGpiPlugin;

// Get-or-create handles; null objects give 0. Handles are never reused.
std::uint32_t GpiWorkspaceHandle(CCorvaleDoc* document);
void GpiRegisterWorkspace(CCorvaleDoc* document);
std::uint32_t GpiThemeHandle(CTheme* theme);
std::uint32_t GpiShapeHandle(CShapeRecord* record);

// Drop the entries of objects that are going away, so that a plug-in holding
// their handles gets "Invalid handle." rather than a dangling object.
void GpiForgetWorkspace(CCorvaleDoc* document);
void GpiForgetTheme(CTheme* theme);

// Notifications to the subscribed plug-ins. Each holds the plug-in lock for
// its whole run and draws handles for the objects it names only when a
// plug-in listens.

// From the document.
void GpiNotifyThemeAdded(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyThemesRemoved(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyShapeDeleted(CTheme* theme, CShapeRecord* record);
// DUE_ActiveThemeChanged: GPIHOOK_ActiveThemeChanged.
void GpiNotifyWorkspaceUpdate(CCorvaleDoc* document);
// The same; the theme is not passed on.
void GpiNotifyActiveThemeChanged(CCorvaleDoc* document, CTheme* theme);
void GpiNotifySelectionChanged(CCorvaleDoc* document, CTheme* theme);
void GpiNotifyWorkspaceClosing(CCorvaleDoc* document);
// The document's first map view is initialised: GPIHOOK_ViewInitialized.
void GpiNotifyViewInitialized(CCorvaleDoc* document);
// A file of a type a plug-in registered (GPIHOOK_FileOpen) is opened: handed
// to the first started plug-in with that GUID text, whether or not it is
// still subscribed. userData is the word of the file type.
void GpiNotifyFileOpen(const std::string& path, const std::string& guidText, std::uint32_t userData);

// A file type a plug-in registered for the open dialogs and for opening files.
struct GpiPluginFileType {
    std::string m_GuidText;
    std::string m_Description;
    // Patterns separated by semicolons, as "*.net;*.rte".
    std::string m_Pattern;
    std::uint32_t m_UserData = 0;
};
// Every registered file type, in the order of registration.
std::vector<GpiPluginFileType> GpiPluginFileTypes();
// The first registered file type whose pattern matches the file's name;
// false when none does.
bool GpiFindPluginFileType(const std::string& path, GpiPluginFileType& found);
// Hands the file to the plug-in of the first file type that matches it;
// false when none does.
bool GpiOpenPluginFile(const std::string& path);

// From the map view: the pointer in client pixels and the key flags as the
// window system gives them. Escape comes after the view has ended its own
// action. The view fires GPIHOOK_MapDrawn (after drawing its themes) itself
// with FireGpiHook; GPIHOOK_ViewInitialized comes through the document.
void GpiNotifyMouseMove(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x, std::int32_t y);
void GpiNotifyLButtonDown(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x, std::int32_t y);
void GpiNotifyLButtonUp(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x, std::int32_t y);
void GpiNotifyEscapeKey(CCorvaleDoc* document);

// From the application and the main frame. Idle, toolbar buttons and command
// items concern the active document (the frame services say which; none
// without them).
void GpiNotifyIdle();
// While a script runs, the script host pumps the user interface's events so
// that its Cancel dialog answers; plug-ins must not be woken for idle work in
// the middle of the script. Holds nest; each hold is paired with a release.
void GpiHoldIdleHooks(bool hold);
void GpiNotifyActiveWorkspaceChanged(CCorvaleDoc* document);
// A button of a plug-in toolbar: only to the owning plug-in, when subscribed,
// with the button's id in the plug-in's toolbar description.
void GpiNotifyToolBarButton(std::uint32_t identity, std::uint32_t buttonId);
// A plug-in command item (command ids 22010-23009): only to the owning
// plug-in, when subscribed, with the item's user data and handle.
void GpiNotifyCommandItem(std::uint32_t identity, std::uint32_t commandId, std::uint32_t userData);

// What GpiInvokePluginScript answers; the script side turns the codes into
// its messages.
enum GpiScriptCallResult {
    GPISCRIPT_Ok = 0,
    GPISCRIPT_PluginFailed = 1,   // an exception escaped the plug-in, or it answered GPIERR_ScriptError
    GPISCRIPT_PluginNotFound = 2,
    GPISCRIPT_NoScripting = 3,    // not started, or not subscribed to GPIHOOK_ScriptCall
    GPISCRIPT_UnknownName = 4,    // the plug-in answered GPIERR_NotImplemented
    GPISCRIPT_BadParameters = 5   // the plug-in answered GPIERR_IllegalParameter
};
// Calls a script name of the plug-in with that GUID text (GPIHOOK_ScriptCall).
// inOut goes in as the call's in/out word and comes back with the plug-in's;
// resultCount and results receive the plug-in's answer (a list from
// GPIOP_HostAlloc that the caller frees). Null out pointers are allowed.
int GpiInvokePluginScript(const std::string& guidText, std::uint32_t workspace, const char* name,
                          std::uint32_t* inOut, std::uint32_t argumentCount, const GpiScriptValue* arguments,
                          std::uint32_t* resultCount, GpiScriptValue** results);

// ---------------------------------------------------------------------------
// The plug-in manager
// ---------------------------------------------------------------------------

// Binds every ".gpi" file in the folder, in name order, reports the ones that
// are not plug-ins, and starts those the user has not blocked (registry
// section "GPIBlockList", a non-zero value under the plug-in's GUID text). The
// application calls it once, after the main frame exists, with the frame's
// plug-in folder. A missing folder loads nothing.
void LoadGpiPlugins(const std::string& folder);
// Stops (fnTerminate) and frees every plug-in in load order, after clearing
// all subscriptions, and warns when plug-ins left recordsets open. The main
// frame calls it first when its window is destroyed.
void UnloadGpiPlugins();
// The first listed plug-in whose GUID text equals the text, ignoring case;
// null when there is none.
CGpiPlugin* FindGpiPluginByGuid(const std::string& guidText);

// A listed plug-in as the options show it: blocked plug-ins are listed too,
// without the texts and the settings entry that only fnInit hands over.
struct GpiPluginListing {
    std::uint32_t m_Identity = 0;
    std::string m_Path;
    std::string m_Name;
    std::string m_GuidText;
    // The about text (credits, usage notes); empty when the plug-in gave none.
    std::string m_About;
    std::uint32_t m_InterfaceVersion = 0;
    bool m_HasSettings = false;
};
// Every listed plug-in, in load order.
std::vector<GpiPluginListing> GpiListPlugins();
// Calls the settings entry of the listed plug-in with that identity; false
// when it is not listed or has none. An exception from the plug-in is noted
// in its error text.
bool GpiShowPluginSettings(std::uint32_t identity);

// The plug-ins' data sections of a workspace file: the document's blocks as
// the last item of the workspace, a theme's as the last item of its record.
// Loading replaces the list and hands every non-empty block to the started
// plug-ins with its GUID text that subscribed to GPIHOOK_DataLoaded. A damaged
// or unknown section throws CArchiveException and changes nothing.
// For a theme, document is the workspace being read: the blocks reach the
// plug-ins with that workspace's handle, and the theme counts as one of its
// themes during the calls. Null: the workspace that holds the theme, if any.
void SerializeGpiWorkspaceData(CCorvaleDoc* document, CArchive& archive);
void SerializeGpiThemeData(CArchive& archive, CTheme* theme, CCorvaleDoc* document);
// Replaces the document's block with the same name (ignoring case) by a copy,
// or appends a copy; a block of the list set on itself is left alone.
void SetGpiWorkspaceDataBlock(CCorvaleDoc* document, const GpiDataBlock& block);

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
// exception from a plug-in is reported and delivery goes on with the next;
// for the idle, map-drawn and mouse-move events it is reported once per
// plug-in, since they come again at once. Holds the plug-in lock throughout.
void FireGpiHook(std::uint32_t workspace, std::uint32_t hookType, void* args);

// The map view registers itself once, when it is first updated, and forgets
// itself when it is destroyed. window is the view as its document knows it
// (CCorvaleDoc::m_mapView).
std::uint32_t GpiRegisterMapView(CGeoView* view, const CMessageWindow* window = nullptr);
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
    // Adds a plug-in command item (text, host placement, plug-in identity,
    // prompt, user data) and answers its command id, 0 when no id is left.
    std::function<std::uint32_t(const std::string& text, int placement, std::uint32_t identity,
                                const std::string& prompt, std::uint32_t userData)>
        addPluginTool;
    // Appends a file type offered in the open dialogs (plug-in GUID text,
    // description, pattern, user data).
    std::function<void(const std::string& guidText, const std::string& description, const std::string& pattern,
                       std::uint32_t userData)>
        addPluginFileType;
    // The four plug-in panes of the status bar: shows the first free one with
    // the width in pixels and answers its number 0-3, -1 when all are in use;
    // sets a shown pane's text; hides a pane again.
    std::function<int(int width)> showPluginPane;
    std::function<void(int pane, const std::string& text)> setPluginPaneText;
    std::function<void(int pane)> hidePluginPane;
    // The status bar's progress: shown with an optional text at a percentage
    // 0-100, moved, and removed again.
    std::function<void(const std::string& text, int percent)> showProgress;
    std::function<void(int percent)> setProgress;
    std::function<void()> hideProgress;
    // Whether the program's script engine is there for plug-ins to use.
    std::function<bool()> scriptingAvailable;
    // The modal theme chooser over the document's themes with the caption:
    // the position chosen in the theme list, -1 when cancelled. Without it
    // a plug-in's request to choose a theme is answered as cancelled.
    std::function<int(CCorvaleDoc* document, const std::string& caption)> chooseTheme;

    // Plug-in toolbars. Makes, fills and docks a toolbar from the plug-in's
    // description (identity, description, resource id, title); null when it
    // cannot (no description, another resource id, no command id left).
    // The toolbar's state is kept under the plug-in's GUID text.
    std::function<CCorvaleToolBar*(std::uint32_t identity, const std::string& guidText, const GpiToolBarDesc* module,
                                   std::uint32_t resourceId, const std::string& name)>
        createPluginToolbar;
    // The number of entries of a plug-in toolbar, separators included.
    std::function<std::uint32_t(CCorvaleToolBar* toolbar)> toolbarButtonCount;
    // Enables or checks the button the plug-in knows by buttonId on that
    // toolbar; a button that is not found changes nothing.
    std::function<void(std::uint32_t buttonId, std::uint32_t identity, CCorvaleToolBar* toolbar, bool enable)>
        enablePluginToolButton;
    std::function<void(std::uint32_t buttonId, std::uint32_t identity, CCorvaleToolBar* toolbar, bool check)>
        checkPluginToolButton;
    // 1 while the toolbar is shown, else 0.
    std::function<std::uint32_t(CCorvaleToolBar* toolbar)> toolbarState;
    // Stores the enabled word of the command item with that command id; an
    // unknown id changes nothing.
    std::function<void(std::uint32_t commandId, bool enabled)> enableCommandItem;
    // Makes and docks a tool pane for the plug-in with that GUID text; null
    // when it cannot. icon may be null.
    std::function<CCustomToolPane*(const std::string& guidText, const std::string& caption, const GpiBitmap* icon)>
        createToolPane;
    // The widget of a tool pane into which a plug-in puts its own; null when
    // it has none.
    std::function<void*(CCustomToolPane* pane)> toolPaneWindow;
};
void GpiSetFrameServices(const GpiFrameServices& services);

// What the host needs of the map views: the view library installs it
// (InstallGpiMapViewServices) before any view registers. Until then the map
// view operations that need the view itself answer GPIERR_NotImplemented.
struct GpiMapViewServices {
    // The view's document; null once it is gone.
    std::function<CCorvaleDoc*(CGeoView* view)> document;
    // The client area's size in pixels.
    std::function<void(CGeoView* view, std::int32_t& width, std::int32_t& height)> clientSize;
    // Client pixels and map coordinates through the view's last mapping.
    std::function<void(CGeoView* view, std::int32_t px, std::int32_t py, double& x, double& y)> clientToWorld;
    std::function<void(CGeoView* view, double x, double y, std::int32_t& px, std::int32_t& py)> worldToClient;
    // The view's widget; null when it has none.
    std::function<void*(CGeoView* view)> window;
    // Repaints the view at once; erase also renders the map again.
    std::function<void(CGeoView* view, bool erase)> redraw;
    // Draws the map into width x height pixels of the target (Gpi.h, op 23).
    std::function<void(CGeoView* view, const GpiRenderTarget& target, std::int32_t width, std::int32_t height,
                       double centerX, double centerY, double mapWidth, double mapHeight)>
        render;
};
void GpiSetMapViewServices(const GpiMapViewServices& services);

// What the host needs of the script engine for the workspace scripts of
// plug-ins; the script library installs it. The scripts themselves are
// compiled by CCorvaleDoc::LoadJavaScript.
struct GpiScriptServices {
    // Runs the compiled script, or calls one of its global functions; false
    // when it fails, the engine's report then printed on the owner's console.
    std::function<bool(CJSHandler* script, CCorvaleDoc* owner)> run;
    std::function<bool(CJSHandler* script, CCorvaleDoc* owner, const std::string& function)> call;
    // Deletes a script context.
    std::function<void(CJSHandler* script)> destroy;
    // Makes sure the document's console exists, and shows it.
    std::function<void(CCorvaleDoc* document)> ensureConsole;
    std::function<void(CCorvaleDoc* document)> showConsole;
};
void GpiSetScriptServices(const GpiScriptServices& services);

// A copy of a plug-in's picture; false (image untouched) when the record does
// not describe pixels that can be read whole, or is null.
bool GpiCopyBitmap(const GpiBitmap* bitmap, QImage& image);
