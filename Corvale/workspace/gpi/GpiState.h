#pragma once
// The plug-in host's own state, shared by the dispatcher, the operation
// handlers, the event code and the plug-in manager: the lock, the handle
// counter, the handle tables and the list of GPI plug-ins with their
// subscriptions. Nothing outside Corvale/plugins (and its tests) includes it;
// the rest of the program goes through GpiHost.h.
//
// All of it runs on the user-interface thread. The lock exists so that a
// plug-in that calls back into the host from an event callback finds the
// host in a consistent state, and so that the rare other thread that needs
// the host waits for it.

#include "Gpi.h"
#include "workspace/gpi/Bimap.h"
#include "workspace/gpi/GpiHost.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

class CCorvaleDoc;
class CCustomToolPane;
class CGeoView;
class CJSHandler;
class CMessageWindow;
class CCorvaleToolBar;
class CShapeRecord;
class CStatusBarProgressCtrl;
class CTheme;
struct GpiRecordset;

// Handles run from 1 to GPI_HANDLE_LAST. Plug-in identities are
// GPI_PLUGIN_IDENTITY_FIRST + n, n counting the plug-ins ever listed, so an
// identity never equals a handle and a removed plug-in's identity is not
// given to another. Both fit the 32-bit words plug-ins hold.
constexpr std::uint32_t GPI_HANDLE_LAST = 0x7FFFFFFFu;
constexpr std::uint32_t GPI_PLUGIN_IDENTITY_FIRST = 0x80000000u;

// Subscription arrays are indexed by hook type; index 0 is unused.
constexpr int GPI_HOOK_SLOTS = GPIHOOK_Last + 1;

// ---------------------------------------------------------------------------
// The lock
// ---------------------------------------------------------------------------

// One recursive lock for all of the host. It is only entered once start-up
// has enabled it (GpiInitializeLock); a guard leaves only what it entered.
class CGpiLock {
public:
    void Enable() { m_Enabled = 1; }
    bool IsEnabled() const { return (m_Enabled & 1u) != 0; }
    // False, without waiting, when locking is not enabled.
    bool Enter();
    void Leave();
    // For checks from another thread: true when the lock was free (it is then
    // held and must be left).
    bool TryEnter();

private:
    std::recursive_mutex m_Mutex;
    unsigned m_Enabled = 0;
};

CGpiLock& GpiLock();

class CGpiLockGuard {
public:
    CGpiLockGuard() : m_Lock(&GpiLock()), m_Entered(m_Lock->Enter()) {}
    ~CGpiLockGuard() {
        if (m_Entered)
            m_Lock->Leave();
    }
    CGpiLockGuard(const CGpiLockGuard&) = delete;
    CGpiLockGuard& operator=(const CGpiLockGuard&) = delete;

private:
    CGpiLock* m_Lock;
    bool m_Entered;
};

// ---------------------------------------------------------------------------
// Handle tables
// ---------------------------------------------------------------------------

// Draws the next handle from the one host-wide counter; 0 once the counter
// has reached GPI_HANDLE_LAST (it then stays there: handles are never reused).
std::uint32_t GpiNewHandle();

// An ordered map handle -> object. Lookups by object walk the entries in
// handle order, which is fine for the few documents, themes and bars there
// are; shapes, which are many, have a two-way map of their own.
template <class T> class CGpiHandleTable {
public:
    const T* Find(std::uint32_t handle) const {
        auto it = m_Entries.find(handle);
        return it == m_Entries.end() ? nullptr : &it->second;
    }
    T* Find(std::uint32_t handle) {
        auto it = m_Entries.find(handle);
        return it == m_Entries.end() ? nullptr : &it->second;
    }
    bool Contains(std::uint32_t handle) const { return m_Entries.count(handle) != 0; }

    // The first handle whose entry satisfies the test; 0 when none does.
    template <class Test> std::uint32_t FindHandleIf(Test test) const {
        for (const auto& entry : m_Entries)
            if (test(entry.second))
                return entry.first;
        return 0;
    }
    std::uint32_t FindHandle(const T& value) const {
        return FindHandleIf([&value](const T& entry) { return entry == value; });
    }

    // Draws a new handle for the entry; 0 (nothing inserted) when the counter
    // is exhausted.
    std::uint32_t Add(const T& value) {
        const std::uint32_t handle = GpiNewHandle();
        if (handle != 0)
            m_Entries.emplace(handle, value);
        return handle;
    }
    std::uint32_t GetOrCreate(const T& value) {
        const std::uint32_t handle = FindHandle(value);
        return handle != 0 ? handle : Add(value);
    }

    bool Erase(std::uint32_t handle) { return m_Entries.erase(handle) != 0; }
    template <class Test> void EraseIf(Test test) {
        for (auto it = m_Entries.begin(); it != m_Entries.end();)
            it = test(it->second) ? m_Entries.erase(it) : std::next(it);
    }

    std::size_t Size() const { return m_Entries.size(); }
    const std::map<std::uint32_t, T>& Entries() const { return m_Entries; }
    void Clear() { m_Entries.clear(); }

private:
    std::map<std::uint32_t, T> m_Entries;
};

struct GpiWorkspaceEntry {
    CCorvaleDoc* m_Document = nullptr;
    // Identity of the plug-in whose map tool is the workspace's current tool;
    // 0 when the tool is not a plug-in's.
    std::uint32_t m_ToolOwner = 0;
    // An entry stands for its document.
    bool operator==(const GpiWorkspaceEntry& other) const { return m_Document == other.m_Document; }
};

struct GpiScriptEntry {
    CJSHandler* m_Script = nullptr;
    CCorvaleDoc* m_Owner = nullptr;
    bool operator==(const GpiScriptEntry& other) const { return m_Script == other.m_Script; }
};

// A host-owned list of handles with a cursor, behind a recordset handle.
struct GpiRecordset {
    std::vector<std::uint32_t> m_Handles;
    // 0 at first; -1 is before the start, the count past the end.
    std::int32_t m_Current = 0;
    // GPIHANDLE_Theme or GPIHANDLE_Shape: the kind of the handles held.
    std::uint32_t m_ElementKind = GPIHANDLE_Shape;
};

struct GpiStatusPaneEntry {
    // Which of the four plug-in panes of the status bar.
    int m_PaneIndex = 0;
    bool operator==(const GpiStatusPaneEntry& other) const { return m_PaneIndex == other.m_PaneIndex; }
};

// ---------------------------------------------------------------------------
// Plug-ins
// ---------------------------------------------------------------------------

// The host's record of one bound GPI plug-in. The plug-in manager fills it
// when it binds a module; the record lives in the plug-in list until shutdown.
// Every call into the plug-in's entries goes through the members below, which
// keep an exception from unwinding into the host.
struct CGpiPlugin {
    CGpiPlugin() = default;
    ~CGpiPlugin();
    CGpiPlugin(const CGpiPlugin&) = delete;
    CGpiPlugin& operator=(const CGpiPlugin&) = delete;

    // Binds the module at the path and checks its entries: never null. The
    // record is valid when the module loaded and fnInit, fnVersion (100 or
    // 200) and fnGUID (a GUID) were found; otherwise its error text is the
    // path, a colon and a line feed, then every reason on a line of its own.
    static std::unique_ptr<CGpiPlugin> Load(const std::string& path);
    // fnTerminate when fnInit succeeded, then frees the module. Forgets the
    // plug-in's texts and entries, which lived in the module.
    void Unload();
    // Calls fnInit with a copy of the template whose identity word is the
    // plug-in's; true when it answered 0.
    bool Initialize(const GpiInitInfo& initTemplate);
    void Terminate();
    // Calls the plug-in's settings entry, when it gave one.
    void ShowSettings();

    GpiInitFn fnInit = nullptr;
    GpiTerminateFn fnTerminate = nullptr;
    std::uint32_t m_InterfaceVersion = 0;
    // The record passed to fnInit; word 6 is the plug-in's callback, word 7
    // its settings entry.
    GpiInitInfo m_InitInfo = {};
    void* m_Module = nullptr;
    std::string m_Path;
    // "{" + the GUID in 8-4-4-4-12 lower-case hexadecimal + "}".
    std::string m_GuidText;
    std::string m_ErrorText;
    std::uint8_t m_Valid = 0;
    std::uint8_t m_Initialised = 0;
    std::vector<std::string> m_PropertyNames;
    std::vector<std::string> m_MethodNames;
    // Given by GpiAddPlugin; also stored in m_InitInfo.identity.
    std::uint32_t m_Identity = 0;
};

// One plug-in's subscriptions; the hook records are kept in the order of the
// plug-in list.
struct GpiHookRecord {
    std::uint32_t identity = 0;
    // An event is delivered only to active records.
    std::uint8_t active = 1;
    // The plug-in's callback after a successful fnInit; null for a plug-in
    // that was never started.
    GpiPluginCallback callback = nullptr;
    std::uint8_t subscribed[GPI_HOOK_SLOTS] = {};
    std::uint32_t userData[GPI_HOOK_SLOTS] = {};
    // Bit per hook type: an exception from the callback for that type was
    // already reported. Used for the events that come again at once (idle,
    // map drawn, mouse move), which would otherwise raise a message box on
    // every pass.
    std::uint32_t faultsReported = 0;
};

// Appends a bound plug-in to the plug-in list and a fresh hook record (active,
// no callback, nothing subscribed) to the hook records, and gives the plug-in
// its identity (also written to its init info). Returns the identity, or 0
// (nothing listed) for a null record.
std::uint32_t GpiAddPlugin(std::unique_ptr<CGpiPlugin> plugin);
// Takes the last plug-in out of the list, with its hook record; null when the
// list is empty. Its identity is not given out again.
std::unique_ptr<CGpiPlugin> GpiRemoveLastPlugin();
// The listed plug-in with that identity; null when there is none.
CGpiPlugin* GpiFindPlugin(std::uint32_t identity);
// The hook record of that identity; null when there is none. The pointer is
// good until the next plug-in is added or removed.
GpiHookRecord* GpiFindHookRecord(std::uint32_t identity);
// True when the value is the identity of a plug-in in the list.
bool GpiIsPluginIdentity(std::uint32_t value);
// The GUID text of that plug-in; null when it is not in the list.
const char* GetGpiPluginGuidText(std::uint32_t identity);
// Whether two GUID texts (or data-block names) are the same, ignoring the
// case of ASCII letters.
bool GpiSameGuidText(const std::string& a, const std::string& b);

// ---------------------------------------------------------------------------
// Calling plug-ins
// ---------------------------------------------------------------------------

// The message shown when a plug-in's event callback throws.
constexpr const char* kGpiUnhandledException = "Unhandled exception from GPI plug-in.";

// Whether a hook record takes events at all (active, with a callback), and
// whether it takes events of one type (also subscribed to it).
bool GpiIsStarted(const GpiHookRecord& record);
bool GpiReceives(const GpiHookRecord& record, std::uint32_t hookType);
// All subscription flags and user-data words to 0.
void GpiClearSubscriptions(GpiHookRecord& record);

// Calls a plug-in's callback, catching whatever it throws: false when it
// threw. The answer is stored only when it returned.
bool GpiCallPlugin(GpiPluginCallback callback, std::uint32_t workspace, std::uint32_t hookType, void* args,
                   int* answer = nullptr);
// Shows the message for an exception from a plug-in's callback. For the
// events that come again at once (idle, map drawn, mouse move) it is shown
// only the first time, per plug-in and type.
void GpiReportPluginFault(std::uint32_t identity, std::uint32_t hookType, const std::string& text);

// The operations of hook subscription (GPIOP_RegisterHook,
// GPIOP_UnregisterHook, GPIOP_UnregisterAllHooks), for the dispatcher.
int GpiOnRegisterHook(void* args);
int GpiOnUnregisterHook(void* args);
int GpiOnUnregisterAllHooks(void* args);

// ---------------------------------------------------------------------------
// The host-wide state
// ---------------------------------------------------------------------------

struct CGpiHostState {
    std::vector<std::unique_ptr<CGpiPlugin>> m_Plugins;
    std::vector<GpiHookRecord> m_HookRecords;
    std::uint32_t m_PluginsEverListed = 0;

    std::uint32_t m_HandleCounter = 0;
    CGpiHandleTable<GpiWorkspaceEntry> m_Workspaces;
    CGpiHandleTable<CGeoView*> m_MapViews;
    // The window each map view is known by to its document (the document's
    // m_mapView), so that a document's view is found without the view class.
    std::map<std::uint32_t, const CMessageWindow*> m_MapViewWindows;
    CGpiHandleTable<CTheme*> m_Themes;
    bimap<std::uint32_t, CShapeRecord*> m_Shapes;
    // Its size is the number of open recordsets, reported at shutdown.
    CGpiHandleTable<GpiRecordset*> m_Recordsets;
    CGpiHandleTable<CCorvaleToolBar*> m_ToolBars;
    CGpiHandleTable<GpiStatusPaneEntry> m_StatusPanes;
    // The command id of each command item; the main frame keeps the items.
    CGpiHandleTable<std::uint32_t> m_CommandItems;
    CGpiHandleTable<CStatusBarProgressCtrl*> m_ProgressBars;
    CGpiHandleTable<GpiScriptEntry> m_Scripts;
    CGpiHandleTable<CCustomToolPane*> m_ToolPanes;
    // Theme handles of the themes in an update batch.
    std::vector<std::uint32_t> m_BatchList;

    // GPIOP_IsScriptingAvailable's answer, found at the first call: -1 until then.
    int m_ScriptingAvailable = -1;

    // File types the plug-ins registered (GPIHOOK_FileOpen).
    std::vector<GpiPluginFileType> m_FileTypes;

    // Blocks handed out by GPIOP_HostAlloc and not yet freed.
    std::unordered_set<void*> m_HostBlocks;

    GpiFrameServices m_Frame;
    GpiMapViewServices m_MapView;
    GpiScriptServices m_Script;
};

// The one instance. Callers hold the lock while they use it.
CGpiHostState& GpiState();

// ---------------------------------------------------------------------------
// Lookups of the operation handlers and the event code
// ---------------------------------------------------------------------------

// The object behind a handle; null when the handle is not in that table.
CCorvaleDoc* GpiWorkspaceFromHandle(std::uint32_t handle);
CTheme* GpiThemeFromHandle(std::uint32_t handle);
CGeoView* GpiMapViewFromHandle(std::uint32_t handle);
CShapeRecord* GpiShapeFromHandle(std::uint32_t handle);
// The handle an object already has; 0 when it has none (nothing is created).
std::uint32_t GpiFindWorkspaceHandle(const CCorvaleDoc* document);
std::uint32_t GpiFindThemeHandle(const CTheme* theme);
std::uint32_t GpiFindShapeHandle(const CShapeRecord* record);

// The first theme of the theme table, in handle order, whose records include
// the record (parent themes are not searched); null when none does.
CTheme* GpiThemeOfShape(const CShapeRecord* record);
// The document of the workspace table whose theme list holds the theme; null
// when none does.
CCorvaleDoc* GpiDocumentOfTheme(const CTheme* theme);

// Registers a recordset (taking it over) under a new handle; 0, with the
// recordset freed, when the counter is exhausted.
std::uint32_t GpiAddRecordset(std::unique_ptr<GpiRecordset> recordset);
// The handle of the document's map view; 0 when its view has not registered.
std::uint32_t GpiFindMapViewHandle(const CCorvaleDoc* document);

// The plug-in identity recorded as owner of a workspace's map tool; 0 for an
// unknown workspace or none. Setting it on an unknown workspace does nothing.
std::uint32_t GpiGetToolOwner(std::uint32_t workspace);
void GpiSetToolOwner(std::uint32_t workspace, std::uint32_t identity);

// The kind of object a value names (GPIHANDLE_*), GPIHANDLE_Unknown for none.
int GpiGetHandleKind(std::uint32_t value);
// True when the value is a plug-in identity or a handle in any table.
bool GpiIsValidHandle(std::uint32_t value);

// ---------------------------------------------------------------------------
// Codes and texts
// ---------------------------------------------------------------------------

// The fixed text of a result code; null for a code without one.
const char* GpiErrorText(std::uint32_t code);

// Hands a text result to a plug-in: a null size pointer is refused
// (GPIERR_IllegalParameter); a null buffer receives nothing and the size word
// the bytes needed, terminator included; otherwise at most size - 1
// characters are copied and the buffer is always terminated, the size word
// left as it is (a size of 0 copies nothing).
int GpiStringProtocol(const std::string& text, char* buffer, std::uint32_t* size);

// The main frame's placement number for a GPIPLACE_* value; -1 for a value
// outside GPIPLACE_NewTheme..GPIPLACE_CopySpecial.
int GpiHostPlacement(std::uint32_t placement);

// Frees a block that a plug-in allocated with GPIOP_HostAlloc and handed to
// the host; false (nothing freed) for a pointer that is not such a block.
bool GpiHostFreeMemory(void* block);

// ---------------------------------------------------------------------------
// For tests only
// ---------------------------------------------------------------------------

// Sets the handle counter (the last handle drawn) and answers the value it
// had, so that a test can reach the end of the handle range and come back.
std::uint32_t GpiTestSetHandleCounter(std::uint32_t value);
// Empties the plug-in list (unbinding the modules of real plug-ins), the hook
// records, every handle table and the frame services. The handle counter is
// left alone, so handles stay unique across tests.
void GpiTestReset();
