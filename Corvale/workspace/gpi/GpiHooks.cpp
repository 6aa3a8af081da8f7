// Events for GPI plug-ins: subscription (GPIOP_RegisterHook,
// GPIOP_UnregisterHook, GPIOP_UnregisterAllHooks), delivery (FireGpiHook and
// the single-plug-in deliveries), the notifications the rest of the program
// calls, and script calls into plug-ins.
//
// Every call into a plug-in's callback goes through GpiCallPlugin, so that no
// exception from a plug-in unwinds into the program.

#include "workspace/gpi/GpiHost.h"

#include "framework/UserInterface.h"
#include "platform/Wildcard.h"
#include "workspace/gpi/GpiState.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const char* const kUnhandledException = kGpiUnhandledException;

// Events that come again as soon as the previous one is over: the idle pass
// after the message box is closed, the repaint of the map the box covered,
// the next mouse move. A plug-in that throws on each of them would bury the
// user in message boxes, and for idle and map drawing never let him out.
bool IsRepeatingHook(std::uint32_t hookType) {
    return hookType == GPIHOOK_Idle || hookType == GPIHOOK_MapDrawn ||
           hookType == GPIHOOK_MouseMove;
}

bool HasSubscriber(std::uint32_t hookType) {
    for (const GpiHookRecord& record : GpiState().m_HookRecords)
        if (GpiReceives(record, hookType))
            return true;
    return false;
}

// The handle of the document of the active child window; 0 when there is
// none or the frame has not said how to find it.
std::uint32_t ActiveWorkspaceHandle() {
    const GpiFrameServices& frame = GpiState().m_Frame;
    if (!frame.activeDocument)
        return 0;
    return GpiWorkspaceHandle(frame.activeDocument());
}

std::string TextOrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// A list of names ended by a null pointer or an empty text.
std::vector<std::string> ReadNameList(const char* const* names) {
    std::vector<std::string> list;
    if (names == nullptr)
        return list;
    for (; *names != nullptr && **names != '\0'; ++names)
        list.emplace_back(*names);
    return list;
}

int RegisterCommandItem(const GpiRegisterHookArgs& block) {
    const auto* info = static_cast<const GpiCommandItemInfo*>(block.info);
    if (info == nullptr)
        return GPIERR_IllegalParameter;
    const int placement = GpiHostPlacement(info->placement);
    if (placement < 0)
        return GPIERR_IllegalParameter;
    CGpiHostState& state = GpiState();
    if (!state.m_Frame.addPluginTool)
        return GPIERR_NotImplemented;
    const std::uint32_t commandId =
        state.m_Frame.addPluginTool(TextOrEmpty(info->text), placement, block.identity,
                                    TextOrEmpty(info->prompt), block.userData);
    if (commandId == 0)
        return GPIERR_OutOfResources;
    const std::uint32_t item = state.m_CommandItems.GetOrCreate(commandId);
    if (item == 0)
        return GPIERR_OutOfResources;
    if (info->item != nullptr)
        *info->item = item;
    return GPIERR_NoError;
}

int RegisterFileType(const GpiRegisterHookArgs& block, const CGpiPlugin& plugin) {
    const auto* info = static_cast<const GpiFileTypeInfo*>(block.info);
    if (info == nullptr)
        return GPIERR_IllegalParameter;
    GpiPluginFileType type;
    type.m_GuidText = plugin.m_GuidText;
    type.m_Description = TextOrEmpty(info->description);
    type.m_Pattern = TextOrEmpty(info->pattern);
    type.m_UserData = block.userData;
    // The host keeps the type for opening files; the frame shows it.
    GpiState().m_FileTypes.push_back(type);
    const GpiFrameServices& frame = GpiState().m_Frame;
    if (frame.addPluginFileType)
        frame.addPluginFileType(type.m_GuidText, type.m_Description, type.m_Pattern, type.m_UserData);
    return GPIERR_NoError;
}

void RegisterScriptNames(const GpiRegisterHookArgs& block, CGpiPlugin& plugin) {
    // No record means no names, as two null lists do.
    const auto* info = static_cast<const GpiScriptNamesInfo*>(block.info);
    std::vector<std::string> properties =
        ReadNameList(info != nullptr ? info->properties : nullptr);
    std::vector<std::string> methods = ReadNameList(info != nullptr ? info->methods : nullptr);
    plugin.m_PropertyNames = std::move(properties);
    plugin.m_MethodNames = std::move(methods);
}

// Fires an event whose argument block holds only the user data.
void FireSimpleHook(std::uint32_t workspace, std::uint32_t hookType) {
    GpiHookArgs args = {0};
    FireGpiHook(workspace, hookType, &args);
}

void NotifyMouse(std::uint32_t hookType, CCorvaleDoc* document, std::uint32_t keyFlags,
                 std::int32_t x, std::int32_t y) {
    CGpiLockGuard guard;
    if (!HasSubscriber(hookType))
        return;
    GpiHookMouseArgs args = {0, x, y, keyFlags, 0};
    FireGpiHook(GpiWorkspaceHandle(document), hookType, &args);
}

} // namespace

// ---------------------------------------------------------------------------
// Calling plug-ins
// ---------------------------------------------------------------------------

bool GpiIsStarted(const GpiHookRecord& record) {
    return record.active != 0 && record.callback != nullptr;
}

bool GpiReceives(const GpiHookRecord& record, std::uint32_t hookType) {
    return hookType < GPI_HOOK_SLOTS && GpiIsStarted(record) && record.subscribed[hookType] != 0;
}

void GpiClearSubscriptions(GpiHookRecord& record) {
    for (int type = 0; type < GPI_HOOK_SLOTS; ++type) {
        record.subscribed[type] = 0;
        record.userData[type] = 0;
    }
}

bool GpiCallPlugin(GpiPluginCallback callback, std::uint32_t workspace, std::uint32_t hookType,
                   void* args, int* answer) {
    try {
        const int result = callback(workspace, hookType, args);
        if (answer != nullptr)
            *answer = result;
        return true;
    } catch (...) {
        return false;
    }
}

void GpiReportPluginFault(std::uint32_t identity, std::uint32_t hookType, const std::string& text) {
    if (IsRepeatingHook(hookType)) {
        CGpiLockGuard guard;
        GpiHookRecord* record = GpiFindHookRecord(identity);
        const std::uint32_t bit = 1u << hookType;
        if (record != nullptr) {
            if ((record->faultsReported & bit) != 0)
                return;
            record->faultsReported |= bit;
        }
    }
    corvale::UI().ShowMessage(text, corvale::MessageIcon::None, corvale::MessageButtons::Ok);
}

// ---------------------------------------------------------------------------
// Subscription
// ---------------------------------------------------------------------------

int GpiOnRegisterHook(void* args) {
    const auto* block = static_cast<const GpiRegisterHookArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    // The type is checked before the identity: an old host tells a new
    // plug-in that it does not know the type, whatever else is wrong.
    if (block->hookType < GPIHOOK_First || block->hookType > GPIHOOK_Last)
        return GPIERR_UnknownHookType;
    CGpiLockGuard guard;
    CGpiPlugin* plugin = GpiFindPlugin(block->identity);
    if (plugin == nullptr || GpiFindHookRecord(block->identity) == nullptr)
        return GPIERR_InvalidHandle;
    switch (block->hookType) {
    case GPIHOOK_CommandItem:
        if (const int result = RegisterCommandItem(*block); result != GPIERR_NoError)
            return result;
        break;
    case GPIHOOK_FileOpen:
        if (const int result = RegisterFileType(*block, *plugin); result != GPIERR_NoError)
            return result;
        break;
    case GPIHOOK_ScriptCall:
        RegisterScriptNames(*block, *plugin);
        break;
    default:
        break;
    }
    // Found again: the frame's services ran program code in between.
    GpiHookRecord* record = GpiFindHookRecord(block->identity);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    record->subscribed[block->hookType] = 1;
    record->userData[block->hookType] = block->userData;
    return GPIERR_NoError;
}

int GpiOnUnregisterHook(void* args) {
    const auto* block = static_cast<const GpiUnregisterHookArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    if (block->hookType < GPIHOOK_First || block->hookType > GPIHOOK_Last)
        return GPIERR_UnknownHookType;
    CGpiLockGuard guard;
    if (!GpiIsPluginIdentity(block->identity))
        return GPIERR_InvalidHandle;
    GpiHookRecord* record = GpiFindHookRecord(block->identity);
    if (record == nullptr)
        return GPIERR_False;
    record->subscribed[block->hookType] = 0;
    record->userData[block->hookType] = 0;
    return GPIERR_NoError;
}

int GpiOnUnregisterAllHooks(void* args) {
    // The argument is the identity itself; a value wider than 32 bits names
    // no plug-in.
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(args);
    CGpiLockGuard guard;
    if (value > std::numeric_limits<std::uint32_t>::max() ||
        !GpiIsPluginIdentity(static_cast<std::uint32_t>(value)))
        return GPIERR_InvalidHandle;
    GpiHookRecord* record = GpiFindHookRecord(static_cast<std::uint32_t>(value));
    if (record == nullptr)
        return GPIERR_False;
    GpiClearSubscriptions(*record);
    return GPIERR_NoError;
}

// ---------------------------------------------------------------------------
// Delivery
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
        if (!GpiReceives(record, hookType))
            continue;
        std::memcpy(args, &record.userData[hookType], sizeof(std::uint32_t));
        if (!GpiCallPlugin(record.callback, workspace, hookType, args))
            GpiReportPluginFault(record.identity, hookType, kUnhandledException);
    }
}

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

void GpiNotifyViewInitialized(CCorvaleDoc* document) {
    CGpiLockGuard guard;
    if (HasSubscriber(GPIHOOK_ViewInitialized))
        FireSimpleHook(GpiWorkspaceHandle(document), GPIHOOK_ViewInitialized);
}

void GpiNotifyWorkspaceUpdate(CCorvaleDoc* document) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_ActiveThemeChanged))
        return;
    FireSimpleHook(GpiWorkspaceHandle(document), GPIHOOK_ActiveThemeChanged);
}

void GpiNotifyActiveThemeChanged(CCorvaleDoc* document, CTheme*) {
    GpiNotifyWorkspaceUpdate(document);
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
    if (HasSubscriber(GPIHOOK_WorkspaceClosing))
        FireSimpleHook(GpiWorkspaceHandle(document), GPIHOOK_WorkspaceClosing);
    GpiForgetWorkspace(document);
}

void GpiNotifyMouseMove(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x,
                        std::int32_t y) {
    NotifyMouse(GPIHOOK_MouseMove, document, keyFlags, x, y);
}

void GpiNotifyLButtonDown(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x,
                          std::int32_t y) {
    NotifyMouse(GPIHOOK_LButtonDown, document, keyFlags, x, y);
}

void GpiNotifyLButtonUp(CCorvaleDoc* document, std::uint32_t keyFlags, std::int32_t x,
                        std::int32_t y) {
    NotifyMouse(GPIHOOK_LButtonUp, document, keyFlags, x, y);
}

void GpiNotifyEscapeKey(CCorvaleDoc* document) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_EscapeKey))
        return;
    FireSimpleHook(GpiWorkspaceHandle(document), GPIHOOK_EscapeKey);
}

namespace {
// How many script runs hold the idle hooks back (only the user-interface
// thread changes it, under the lock).
int g_IdleHolds = 0;
}  // namespace

void GpiHoldIdleHooks(bool hold) {
    CGpiLockGuard guard;
    if (hold)
        ++g_IdleHolds;
    else if (g_IdleHolds > 0)
        --g_IdleHolds;
}

void GpiNotifyIdle() {
    CGpiLockGuard guard;
    if (g_IdleHolds > 0 || !HasSubscriber(GPIHOOK_Idle))
        return;
    FireSimpleHook(ActiveWorkspaceHandle(), GPIHOOK_Idle);
}

void GpiNotifyActiveWorkspaceChanged(CCorvaleDoc* document) {
    CGpiLockGuard guard;
    if (!HasSubscriber(GPIHOOK_ActiveWorkspaceChanged))
        return;
    FireSimpleHook(GpiWorkspaceHandle(document), GPIHOOK_ActiveWorkspaceChanged);
}

void GpiNotifyToolBarButton(std::uint32_t identity, std::uint32_t buttonId) {
    CGpiLockGuard guard;
    const GpiHookRecord* found = GpiFindHookRecord(identity);
    if (found == nullptr || !GpiReceives(*found, GPIHOOK_ToolBarButton))
        return;
    const GpiHookRecord record = *found;
    GpiHookToolBarButtonArgs args = {record.userData[GPIHOOK_ToolBarButton], buttonId};
    if (!GpiCallPlugin(record.callback, ActiveWorkspaceHandle(), GPIHOOK_ToolBarButton, &args))
        GpiReportPluginFault(identity, GPIHOOK_ToolBarButton, kUnhandledException);
}

void GpiNotifyCommandItem(std::uint32_t identity, std::uint32_t commandId, std::uint32_t userData) {
    CGpiLockGuard guard;
    const GpiHookRecord* found = GpiFindHookRecord(identity);
    if (found == nullptr || !GpiReceives(*found, GPIHOOK_CommandItem))
        return;
    const GpiHookRecord record = *found;
    GpiHookCommandItemArgs args = {userData, GpiState().m_CommandItems.GetOrCreate(commandId)};
    if (!GpiCallPlugin(record.callback, ActiveWorkspaceHandle(), GPIHOOK_CommandItem, &args)) {
        const CGpiPlugin* plugin = GpiFindPlugin(identity);
        GpiReportPluginFault(identity, GPIHOOK_CommandItem,
                             std::string("Unhandled exception from GPI plug-in:\n") +
                                 (plugin != nullptr ? plugin->m_Path : std::string()));
    }
}

void GpiNotifyFileOpen(const std::string& path, const std::string& guidText,
                       std::uint32_t userData) {
    CGpiLockGuard guard;
    for (const auto& plugin : GpiState().m_Plugins) {
        if (plugin->m_GuidText.empty() || !GpiSameGuidText(plugin->m_GuidText, guidText))
            continue;
        const GpiHookRecord* found = GpiFindHookRecord(plugin->m_Identity);
        if (found == nullptr || !GpiIsStarted(*found))
            continue;
        const GpiHookRecord record = *found;
        GpiHookFileOpenArgs args = {userData, path.c_str()};
        if (!GpiCallPlugin(record.callback, ActiveWorkspaceHandle(), GPIHOOK_FileOpen, &args))
            GpiReportPluginFault(record.identity, GPIHOOK_FileOpen, kUnhandledException);
        return;
    }
}

std::vector<GpiPluginFileType> GpiPluginFileTypes() {
    CGpiLockGuard guard;
    return GpiState().m_FileTypes;
}

bool GpiFindPluginFileType(const std::string& path, GpiPluginFileType& found) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    CGpiLockGuard guard;
    for (const GpiPluginFileType& type : GpiState().m_FileTypes) {
        if (!type.m_Pattern.empty() && corvale::MatchWildcardList(name, type.m_Pattern)) {
            found = type;
            return true;
        }
    }
    return false;
}

bool GpiOpenPluginFile(const std::string& path) {
    GpiPluginFileType type;
    if (!GpiFindPluginFileType(path, type))
        return false;
    GpiNotifyFileOpen(path, type.m_GuidText, type.m_UserData);
    return true;
}

// ---------------------------------------------------------------------------
// Scripts
// ---------------------------------------------------------------------------

int GpiInvokePluginScript(const std::string& guidText, std::uint32_t workspace, const char* name,
                          std::uint32_t* inOut, std::uint32_t argumentCount,
                          const GpiScriptValue* arguments, std::uint32_t* resultCount,
                          GpiScriptValue** results) {
    CGpiLockGuard guard;
    const CGpiPlugin* plugin = nullptr;
    for (const auto& candidate : GpiState().m_Plugins) {
        if (!candidate->m_GuidText.empty() && GpiSameGuidText(candidate->m_GuidText, guidText)) {
            plugin = candidate.get();
            break;
        }
    }
    if (plugin == nullptr)
        return GPISCRIPT_PluginNotFound;
    const GpiHookRecord* found = GpiFindHookRecord(plugin->m_Identity);
    if (found == nullptr || !GpiReceives(*found, GPIHOOK_ScriptCall))
        return GPISCRIPT_NoScripting;
    const GpiHookRecord record = *found;

    GpiHookScriptCallArgs args = {};
    args.userData = record.userData[GPIHOOK_ScriptCall];
    args.name = name;
    args.inOut = inOut != nullptr ? *inOut : 0;
    args.argumentCount = argumentCount;
    args.arguments = arguments;
    int answer = GPIERR_NoError;
    if (!GpiCallPlugin(record.callback, workspace, GPIHOOK_ScriptCall, &args, &answer))
        return GPISCRIPT_PluginFailed;
    if (inOut != nullptr)
        *inOut = args.inOut;
    if (resultCount != nullptr)
        *resultCount = args.resultCount;
    if (results != nullptr)
        *results = args.results;
    if (answer == GPIERR_NotImplemented)
        return GPISCRIPT_UnknownName;
    if (answer == GPIERR_IllegalParameter)
        return GPISCRIPT_BadParameters;
    // A plug-in whose call failed on the way (a database that refused, say)
    // says so without throwing: the script stops as for a plug-in fault,
    // rather than going on with a result that is not there.
    if (answer == GPIERR_ScriptError)
        return GPISCRIPT_PluginFailed;
    return GPISCRIPT_Ok;
}
