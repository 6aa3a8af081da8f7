// Hook subscription (GPIOP_RegisterHook, GPIOP_UnregisterHook,
// GPIOP_UnregisterAllHooks), what types 10, 13 and 16 register, the
// deliveries that go to one plug-in only, and script calls into plug-ins.

#include "GpiTestSupport.h"

#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

int Register(std::uint32_t identity, std::uint32_t hookType, std::uint32_t userData,
             const void* info = nullptr) {
    GpiRegisterHookArgs args = {identity, hookType, userData, info};
    return GpiHostDispatch(GPIOP_RegisterHook, &args);
}

int Unregister(std::uint32_t identity, std::uint32_t hookType) {
    GpiUnregisterHookArgs args = {identity, hookType};
    return GpiHostDispatch(GPIOP_UnregisterHook, &args);
}

int UnregisterAll(std::uintptr_t identity) {
    return GpiHostDispatch(GPIOP_UnregisterAllHooks, reinterpret_cast<void*>(identity));
}

// A command item the fake frame was asked for.
struct ToolRequest {
    std::string text;
    int placement;
    std::uint32_t identity;
    std::string prompt;
    std::uint32_t userData;
};

struct FileTypeRequest {
    std::string guidText;
    std::string description;
    std::string pattern;
    std::uint32_t userData;
};

} // namespace

class GpiSubscription : public GpiHostTest {
protected:
    // A frame that hands out command ids from 22010 up to a limit.
    void InstallFrame(std::uint32_t lastCommandId = 23009) {
        GpiFrameServices frame;
        frame.activeDocument = [this] { return m_Active; };
        frame.addPluginTool =
            [this, lastCommandId](const std::string& text, int placement, std::uint32_t identity,
                                  const std::string& prompt, std::uint32_t userData) {
                if (m_NextCommandId > lastCommandId)
                    return std::uint32_t{0};
                m_Tools.push_back({text, placement, identity, prompt, userData});
                return m_NextCommandId++;
            };
        frame.addPluginFileType = [this](const std::string& guidText,
                                         const std::string& description, const std::string& pattern,
                                         std::uint32_t userData) {
            m_FileTypes.push_back({guidText, description, pattern, userData});
        };
        GpiSetFrameServices(frame);
    }

    std::uint32_t AddLoggingPlugin(const std::string& name, const std::string& guidText = "") {
        return AddPlugin(
            [this, name](std::uint32_t workspace, std::uint32_t hookType, void* args) {
                std::uint32_t words[2] = {};
                std::memcpy(words, args, sizeof words);
                m_Log.push_back({name, workspace, hookType, words[0], words[1]});
                if (hookType == GPIHOOK_FileOpen)
                    m_Paths.push_back(static_cast<const GpiHookFileOpenArgs*>(args)->path);
                return 0;
            },
            guidText);
    }

    struct Logged {
        std::string plugin;
        std::uint32_t workspace;
        std::uint32_t hookType;
        std::uint32_t word0;
        std::uint32_t word1;
    };
    std::vector<Logged> m_Log;
    std::vector<std::string> m_Paths;
    std::vector<ToolRequest> m_Tools;
    std::vector<FileTypeRequest> m_FileTypes;
    std::uint32_t m_NextCommandId = 22010;
    CCorvaleDoc* m_Active = nullptr;
};

TEST_F(GpiSubscription, RegisterChecksBlockTypeAndIdentityInThatOrder) {
    const std::uint32_t p = AddPlugin();
    CTheme theme;
    const std::uint32_t handle = GpiThemeHandle(&theme);
    struct Case {
        const char* what;
        std::uint32_t identity;
        std::uint32_t hookType;
        int result;
    };
    const Case cases[] = {
        {"type 0, bad identity", 12345, 0, GPIERR_UnknownHookType},
        {"type 21, bad identity", 0, 21, GPIERR_UnknownHookType},
        {"type -1", p, 0xFFFFFFFF, GPIERR_UnknownHookType},
        {"identity 0", 0, GPIHOOK_Idle, GPIERR_InvalidHandle},
        {"a theme handle", handle, GPIHOOK_Idle, GPIERR_InvalidHandle},
        {"an identity never given", GPI_PLUGIN_IDENTITY_FIRST + 99, GPIHOOK_Idle,
         GPIERR_InvalidHandle},
        {"type 12, accepted", p, GPIHOOK_Reserved12, GPIERR_NoError},
        {"first type", p, GPIHOOK_First, GPIERR_NoError},
        {"last type", p, GPIHOOK_Last, GPIERR_NoError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Register(c.identity, c.hookType, 7), c.result) << c.what;
    EXPECT_EQ(GpiHostDispatch(GPIOP_RegisterHook, nullptr), GPIERR_IllegalParameter);

    const GpiHookRecord* record = GpiFindHookRecord(p);
    for (int type = 0; type < GPI_HOOK_SLOTS; ++type) {
        const bool expected =
            type == GPIHOOK_Reserved12 || type == GPIHOOK_First || type == GPIHOOK_Last;
        EXPECT_EQ(record->subscribed[type], expected ? 1 : 0) << type;
        EXPECT_EQ(record->userData[type], expected ? 7u : 0u) << type;
    }
    // A second subscription replaces the user data.
    EXPECT_EQ(Register(p, GPIHOOK_Idle, 9), GPIERR_NoError);
    EXPECT_EQ(record->userData[GPIHOOK_Idle], 9u);
}

TEST_F(GpiSubscription, UnregisterOneOrAll) {
    const std::uint32_t p = AddPlugin();
    ASSERT_EQ(Register(p, GPIHOOK_Idle, 1), GPIERR_NoError);
    ASSERT_EQ(Register(p, GPIHOOK_MouseMove, 2), GPIERR_NoError);
    const GpiHookRecord* record = GpiFindHookRecord(p);

    EXPECT_EQ(GpiHostDispatch(GPIOP_UnregisterHook, nullptr), GPIERR_IllegalParameter);
    EXPECT_EQ(Unregister(12345, 0), GPIERR_UnknownHookType);
    EXPECT_EQ(Unregister(p, 21), GPIERR_UnknownHookType);
    EXPECT_EQ(Unregister(12345, GPIHOOK_Idle), GPIERR_InvalidHandle);
    EXPECT_EQ(Unregister(p, GPIHOOK_EscapeKey), GPIERR_NoError) << "never subscribed";
    EXPECT_EQ(record->subscribed[GPIHOOK_EscapeKey], 0);
    EXPECT_EQ(Unregister(p, GPIHOOK_Idle), GPIERR_NoError);
    EXPECT_EQ(record->subscribed[GPIHOOK_Idle], 0);
    EXPECT_EQ(record->userData[GPIHOOK_Idle], 0u);
    EXPECT_EQ(record->subscribed[GPIHOOK_MouseMove], 1);

    EXPECT_EQ(UnregisterAll(0), GPIERR_InvalidHandle);
    EXPECT_EQ(UnregisterAll(std::uintptr_t{p} + (std::uintptr_t{1} << 32)), GPIERR_InvalidHandle)
        << "a value wider than 32 bits names no plug-in";
    EXPECT_EQ(UnregisterAll(p), GPIERR_NoError);
    for (int type = 0; type < GPI_HOOK_SLOTS; ++type)
        EXPECT_EQ(record->subscribed[type] + record->userData[type], 0u) << type;
}

TEST_F(GpiSubscription, CommandItemsAreMadeByTheFrameAndDeliveredToTheirOwner) {
    InstallFrame();
    const std::uint32_t owner = AddLoggingPlugin("owner");
    const std::uint32_t other = AddLoggingPlugin("other");
    ASSERT_EQ(Register(other, GPIHOOK_CommandItem, 0), GPIERR_IllegalParameter) << "no record";

    std::uint32_t item = 0;
    GpiCommandItemInfo info = {GPIPLACE_CopySpecial, "Copy as &route", "Copies the route", 0,
                               &item};
    ASSERT_EQ(Register(owner, GPIHOOK_CommandItem, 0x77, &info), GPIERR_NoError);
    ASSERT_EQ(m_Tools.size(), 1u);
    EXPECT_EQ(m_Tools[0].text, "Copy as &route");
    EXPECT_EQ(m_Tools[0].placement, 2) << "the host's number for GPIPLACE_CopySpecial";
    EXPECT_EQ(m_Tools[0].identity, owner);
    EXPECT_EQ(m_Tools[0].prompt, "Copies the route");
    EXPECT_EQ(m_Tools[0].userData, 0x77u);
    EXPECT_EQ(GpiGetHandleKind(item), GPIHANDLE_CommandItem);

    // Another item without an out word; null texts are empty texts.
    GpiCommandItemInfo second = {GPIPLACE_Tools, nullptr, nullptr, 0, nullptr};
    ASSERT_EQ(Register(owner, GPIHOOK_CommandItem, 0x78, &second), GPIERR_NoError);
    ASSERT_EQ(m_Tools.size(), 2u);
    EXPECT_EQ(m_Tools[1].text, "");

    // Placements outside 1-7 make nothing and subscribe nothing.
    for (std::uint32_t placement : {0u, 8u, 0xFFFFFFFFu}) {
        GpiCommandItemInfo bad = {placement, "x", "y", 0, &item};
        EXPECT_EQ(Register(other, GPIHOOK_CommandItem, 1, &bad), GPIERR_IllegalParameter)
            << placement;
    }
    EXPECT_EQ(m_Tools.size(), 2u);
    EXPECT_EQ(GpiFindHookRecord(other)->subscribed[GPIHOOK_CommandItem], 0);

    // The frame calls back with the item's command id and user data.
    CCorvaleDoc active;
    m_Active = &active;
    GpiNotifyCommandItem(owner, 22010, 0x77);
    GpiNotifyCommandItem(other, 22010, 0x77); // not subscribed
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].plugin, "owner");
    EXPECT_EQ(m_Log[0].hookType, static_cast<std::uint32_t>(GPIHOOK_CommandItem));
    EXPECT_EQ(m_Log[0].workspace, GpiWorkspaceHandle(&active));
    EXPECT_EQ(m_Log[0].word0, 0x77u);
    EXPECT_EQ(m_Log[0].word1, item) << "the handle the registration gave";

    // Unsubscribed, the items stay but are no longer delivered.
    EXPECT_EQ(Unregister(owner, GPIHOOK_CommandItem), GPIERR_NoError);
    GpiNotifyCommandItem(owner, 22010, 0x77);
    EXPECT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(GpiGetHandleKind(item), GPIHANDLE_CommandItem);
}

TEST_F(GpiSubscription, CommandItemsNeedAFreeCommandIdAndAFrame) {
    const std::uint32_t p = AddPlugin();
    std::uint32_t item = 0xEEEE;
    GpiCommandItemInfo info = {GPIPLACE_Tools, "a", "b", 0, &item};
    EXPECT_EQ(Register(p, GPIHOOK_CommandItem, 1, &info), GPIERR_NotImplemented)
        << "before the frame exists";

    InstallFrame(22010);
    EXPECT_EQ(Register(p, GPIHOOK_CommandItem, 1, &info), GPIERR_NoError);
    const std::uint32_t first = item;
    item = 0xEEEE;
    EXPECT_EQ(Register(p, GPIHOOK_CommandItem, 1, &info), GPIERR_OutOfResources) << "all ids used";
    EXPECT_EQ(item, 0xEEEEu) << "out word written only on success";
    EXPECT_EQ(GpiGetHandleKind(first), GPIHANDLE_CommandItem);
}

TEST_F(GpiSubscription, FileTypesReachTheirPluginEvenAfterItUnsubscribed) {
    InstallFrame();
    const std::uint32_t p = AddLoggingPlugin("files", "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}");
    const std::uint32_t other = AddLoggingPlugin("other", "{00000000-0000-0000-0000-000000000002}");
    EXPECT_EQ(Register(p, GPIHOOK_FileOpen, 5, nullptr), GPIERR_IllegalParameter);
    GpiFileTypeInfo info = {"Route networks (*.net)", "*.net"};
    ASSERT_EQ(Register(p, GPIHOOK_FileOpen, 5, &info), GPIERR_NoError);
    ASSERT_EQ(m_FileTypes.size(), 1u);
    EXPECT_EQ(m_FileTypes[0].guidText, "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}");
    EXPECT_EQ(m_FileTypes[0].description, "Route networks (*.net)");
    EXPECT_EQ(m_FileTypes[0].pattern, "*.net");
    EXPECT_EQ(m_FileTypes[0].userData, 5u);
    (void)other;

    ASSERT_EQ(Unregister(p, GPIHOOK_FileOpen), GPIERR_NoError);
    GpiNotifyFileOpen("/data/roads.net", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8A1}", 5);
    GpiNotifyFileOpen("/data/other.net", "{99999999-0000-0000-0000-000000000000}", 5);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].plugin, "files");
    EXPECT_EQ(m_Log[0].word0, 5u);
    EXPECT_EQ(m_Log[0].workspace, 0u) << "no active document";
    EXPECT_EQ(m_Paths, std::vector<std::string>{"/data/roads.net"});
}

TEST_F(GpiSubscription, ScriptNamesReplaceTheListsBeforeThem) {
    const std::uint32_t p = AddPlugin();
    CGpiPlugin* plugin = GpiFindPlugin(p);
    const char* properties[] = {"length", "speed", nullptr};
    const char* methods[] = {"route", "", "ignored"};
    GpiScriptNamesInfo info = {0, properties, methods};
    ASSERT_EQ(Register(p, GPIHOOK_ScriptCall, 3, &info), GPIERR_NoError);
    EXPECT_EQ(plugin->m_PropertyNames, (std::vector<std::string>{"length", "speed"}));
    EXPECT_EQ(plugin->m_MethodNames, std::vector<std::string>{"route"});

    GpiScriptNamesInfo onlyMethods = {0, nullptr, properties};
    ASSERT_EQ(Register(p, GPIHOOK_ScriptCall, 3, &onlyMethods), GPIERR_NoError);
    EXPECT_TRUE(plugin->m_PropertyNames.empty());
    EXPECT_EQ(plugin->m_MethodNames, (std::vector<std::string>{"length", "speed"}));

    ASSERT_EQ(Register(p, GPIHOOK_ScriptCall, 3, nullptr), GPIERR_NoError);
    EXPECT_TRUE(plugin->m_PropertyNames.empty());
    EXPECT_TRUE(plugin->m_MethodNames.empty());
    EXPECT_EQ(GpiFindHookRecord(p)->subscribed[GPIHOOK_ScriptCall], 1);
}

TEST_F(GpiSubscription, ToolBarButtonsReachTheOwnerOnly) {
    CCorvaleDoc active;
    m_Active = &active;
    InstallFrame();
    const std::uint32_t a = AddLoggingPlugin("a");
    const std::uint32_t b = AddLoggingPlugin("b");
    Subscribe(a, GPIHOOK_ToolBarButton, 0x10);
    Subscribe(b, GPIHOOK_ToolBarButton, 0x20);
    GpiNotifyToolBarButton(b, 21003);
    GpiNotifyToolBarButton(12345, 21003);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].plugin, "b");
    EXPECT_EQ(m_Log[0].workspace, GpiWorkspaceHandle(&active));
    EXPECT_EQ(m_Log[0].word0, 0x20u);
    EXPECT_EQ(m_Log[0].word1, 21003u);
}

TEST_F(GpiSubscription, ExceptionsFromSinglePluginDeliveriesAreReported) {
    InstallFrame();
    const std::uint32_t p = AddPlugin([](std::uint32_t, std::uint32_t, void*) -> int { throw 1; },
                                      "{00000000-0000-0000-0000-000000000001}");
    GpiFindPlugin(p)->m_Path = "/opt/corvale/Plugins/Thrower.gpi";
    Subscribe(p, GPIHOOK_ToolBarButton, 0);
    Subscribe(p, GPIHOOK_CommandItem, 0);
    GpiNotifyToolBarButton(p, 21000);
    GpiNotifyCommandItem(p, 22010, 0);
    GpiNotifyFileOpen("/x.net", "{00000000-0000-0000-0000-000000000001}", 0);
    EXPECT_EQ(m_Ui.Messages(),
              (std::vector<std::string>{
                  "Unhandled exception from GPI plug-in.",
                  "Unhandled exception from GPI plug-in:\n/opt/corvale/Plugins/Thrower.gpi",
                  "Unhandled exception from GPI plug-in."}));
}

TEST_F(GpiSubscription, ScriptCallsAnswerWhatThePluginMade) {
    const std::string guid = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}";
    int answer = 0;
    bool throwIt = false;
    GpiScriptValue resultList[1] = {};
    GpiHookScriptCallArgs seen = {};
    std::string seenName;
    std::vector<std::int32_t> seenArguments;
    const std::uint32_t p = AddPlugin(
        [&](std::uint32_t, std::uint32_t hookType, void* args) -> int {
            EXPECT_EQ(hookType, static_cast<std::uint32_t>(GPIHOOK_ScriptCall));
            auto* call = static_cast<GpiHookScriptCallArgs*>(args);
            seen = *call;
            seenName = call->name;
            seenArguments.clear();
            for (std::uint32_t i = 0; i < call->argumentCount; ++i)
                seenArguments.push_back(call->arguments[i].value.integer);
            if (throwIt)
                throw std::runtime_error("script fault");
            call->inOut |= 1;
            call->resultCount = 1;
            call->results = resultList;
            return answer;
        },
        guid);

    GpiScriptValue arguments[2] = {};
    arguments[0].type = GPISV_Int;
    arguments[0].value.integer = -3;
    arguments[1].type = GPISV_Int;
    arguments[1].value.integer = 4;
    const auto invoke = [&](const std::string& text, std::uint32_t& inOut, std::uint32_t& count,
                            GpiScriptValue*& results) {
        return GpiInvokePluginScript(text, 42, "route", &inOut, 2, arguments, &count, &results);
    };

    std::uint32_t inOut = 0;
    std::uint32_t count = 99;
    GpiScriptValue* results = nullptr;
    EXPECT_EQ(invoke(guid, inOut, count, results), GPISCRIPT_NoScripting) << "not subscribed";
    Subscribe(p, GPIHOOK_ScriptCall, 0x16);
    EXPECT_EQ(invoke("{00000000-0000-0000-0000-000000000000}", inOut, count, results),
              GPISCRIPT_PluginNotFound);
    EXPECT_EQ(invoke("", inOut, count, results), GPISCRIPT_PluginNotFound);

    ASSERT_EQ(invoke("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8A1}", inOut, count, results),
              GPISCRIPT_Ok);
    EXPECT_EQ(seen.userData, 0x16u);
    EXPECT_EQ(seenName, "route");
    EXPECT_EQ(seen.inOut, 0u);
    EXPECT_EQ(seenArguments, (std::vector<std::int32_t>{-3, 4}));
    EXPECT_EQ(seen.resultCount, 0u);
    EXPECT_EQ(seen.results, nullptr);
    EXPECT_EQ(inOut, 1u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(results, resultList);

    const std::pair<int, int> answers[] = {{GPIERR_NotImplemented, GPISCRIPT_UnknownName},
                                           {GPIERR_IllegalParameter, GPISCRIPT_BadParameters},
                                           {GPIERR_InvalidHandle, GPISCRIPT_Ok},
                                           {GPIERR_False, GPISCRIPT_Ok},
                                           // The plug-in's own call failed: the script stops.
                                           {GPIERR_ScriptError, GPISCRIPT_PluginFailed}};
    for (const auto& a : answers) {
        answer = a.first;
        inOut = 0;
        EXPECT_EQ(invoke(guid, inOut, count, results), a.second) << a.first;
    }

    throwIt = true;
    inOut = 0;
    count = 99;
    EXPECT_EQ(invoke(guid, inOut, count, results), GPISCRIPT_PluginFailed);
    EXPECT_EQ(count, 99u) << "nothing copied back from a call that threw";
    EXPECT_TRUE(m_Ui.shown.empty()) << "the script reports it, not a message box";

    // A plug-in that is listed but not started has no scripting.
    GpiFindHookRecord(p)->callback = nullptr;
    EXPECT_EQ(invoke(guid, inOut, count, results), GPISCRIPT_NoScripting);
}
