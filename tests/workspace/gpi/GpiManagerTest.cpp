// The plug-in manager with real plug-ins: the scan of a plug-in folder and
// its diagnostics, the block list, conflicting GUIDs, starting, the events in
// load order, and the shut-down.

#include "GpiTestPlugins.h"

#include "workspace/CorvaleDoc.h"

#include <stdexcept>

namespace {

// Set while the tests start, before any test makes a QSettings.
[[maybe_unused]] const std::string& g_ConfigHome = GpiTestConfigHome();

const char* const kNotAPlugin =
    "\n\ndoes not appear to be a valid plug-in and it will not be loaded.\n\nReason:\n\n";

} // namespace

using GpiManager = GpiRealPluginTest;

TEST_F(GpiManager, TheScanStartsThePluginsAndExplainsEveryFileThatIsNone) {
    // Names chosen for the load order; ".GPI" counts, other files and
    // folders do not.
    AddPluginFile("valid_a", "a_valid.gpi");
    AddPluginFile("missing_entries", "b_missing.gpi");
    AddPluginFile("wrong_version", "c_version.gpi");
    AddPluginFile("null_guid", "d_null_guid.gpi");
    AddPluginFile("throwing_version", "e_throwing_version.gpi");
    WriteBytes(m_Folder.file("f_text.gpi"), {'n', 'o', 't', ' ', 'E', 'L', 'F', '\n'});
    AddPluginFile("valid_b", "G_VALID.GPI");
    AddPluginFile("valid_a", "readme.txt");
    std::filesystem::create_directory(m_Folder.file("h_folder.gpi"));

    LoadGpiPlugins(m_Folder.path());

    const auto path = [this](const std::string& name) { return m_Folder.file(name); };
    const std::vector<std::string> reasons = {
        path("b_missing.gpi") +
            ":\nMissing entry fnInit.\nUnsupported interface version.\nMissing entry fnGUID.\n",
        path("c_version.gpi") + ":\nUnsupported interface version.\n",
        path("d_null_guid.gpi") + ":\nMissing plug-in GUID.\n",
        path("e_throwing_version.gpi") + ":\nUnknown exception caught from plug-in fnVersion().\n",
        path("f_text.gpi") + ":\nNot a valid plug-in, or missing a required component (dll).",
    };
    const std::vector<std::string> files = {"b_missing.gpi", "c_version.gpi", "d_null_guid.gpi",
                                            "e_throwing_version.gpi", "f_text.gpi"};
    ASSERT_EQ(m_Ui.shown.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(m_Ui.shown[i].text, path(files[i]) + kNotAPlugin + reasons[i]);
        EXPECT_EQ(m_Ui.shown[i].icon, corvale::MessageIcon::Error);
        EXPECT_EQ(m_Ui.shown[i].buttons, corvale::MessageButtons::Ok);
    }

    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0]->m_Path, path("a_valid.gpi"));
    EXPECT_EQ(listed[1]->m_Path, path("G_VALID.GPI"));
    EXPECT_EQ(listed[0]->m_GuidText, kGuidA);
    EXPECT_EQ(listed[1]->m_GuidText, kGuidB);
    for (const CGpiPlugin* plugin : listed) {
        EXPECT_EQ(plugin->m_Valid, 1);
        EXPECT_EQ(plugin->m_Initialised, 1);
        EXPECT_EQ(plugin->m_InterfaceVersion, static_cast<std::uint32_t>(PIV_Gpi200));
        EXPECT_TRUE(plugin->m_ErrorText.empty());
        EXPECT_NE(plugin->fnTerminate, nullptr);
        EXPECT_TRUE(IsValid(plugin->m_Identity)) << "the identity names the plug-in";

        // fnInit received its identity and the dispatcher, and subscribed
        // from inside fnInit.
        const GpiTestControl* control = Control(plugin);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->initCalls, 1);
        EXPECT_EQ(control->initInfo.identity, plugin->m_Identity);
        EXPECT_EQ(control->initInfo.dispatch, &GpiHostDispatch);
        EXPECT_EQ(control->dataHookResult, GPIERR_NoError);
        const GpiHookRecord* record = GpiFindHookRecord(plugin->m_Identity);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->callback, plugin->m_InitInfo.callback);
        EXPECT_NE(record->callback, nullptr);
        EXPECT_EQ(record->subscribed[GPIHOOK_DataLoaded], 1);
    }
    EXPECT_STREQ(listed[0]->m_InitInfo.name, "valid_a");
    EXPECT_STREQ(listed[0]->m_InitInfo.version, "1.00");
    EXPECT_EQ(GpiFindHookRecord(listed[0]->m_Identity)->userData[GPIHOOK_DataLoaded], 0xA0u);
}

TEST_F(GpiManager, AnEmptyOrMissingFolderLoadsNothingAndShowsNothing) {
    LoadGpiPlugins(m_Folder.path());
    LoadGpiPlugins(m_Folder.file("no such folder"));
    LoadGpiPlugins("");
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(m_Ui.shown.empty());
}

TEST_F(GpiManager, ASecondPluginWithTheSameGuidIsRefusedAndTheFirstKeepsWorking) {
    AddPluginFile("valid_a", "first.gpi");
    AddPluginFile("duplicate_guid", "second.gpi");
    LoadGpiPlugins(m_Folder.path());

    const std::string first = m_Folder.file("first.gpi");
    const std::string second = m_Folder.file("second.gpi");
    EXPECT_EQ(m_Ui.Messages(), std::vector<std::string>{second + "\nand\n" + first +
                                                        "\n\nhas conflicting GUIDs.\n\n" + second +
                                                        "\n\nwill not be loaded."});
    EXPECT_EQ(m_Ui.shown.at(0).icon, corvale::MessageIcon::Error);
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->m_Path, first);
    EXPECT_EQ(GpiState().m_HookRecords.size(), 1u);

    ObserveAll();
    ASSERT_EQ(Subscribe(listed[0], GPIHOOK_EscapeKey, 5), GPIERR_NoError);
    GpiNotifyEscapeKey(nullptr);
    ASSERT_EQ(m_Events.size(), 1u);
    EXPECT_EQ(m_Events[0].plugin, "valid_a");
}

TEST_F(GpiManager, APluginWhoseInitFailsIsRemovedWithoutAMessage) {
    AddPluginFile("throwing_init", "a.gpi");
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    EXPECT_TRUE(m_Ui.shown.empty());
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->m_Path, m_Folder.file("b.gpi"));
    EXPECT_EQ(GpiState().m_HookRecords.size(), 1u);
    EXPECT_EQ(GpiState().m_HookRecords[0].identity, listed[0]->m_Identity);
}

TEST_F(GpiManager, EntriesAreCalledInsideAnExceptionGuardThatNotesTheEntry) {
    // The record of a plug-in whose fnInit throws keeps the note.
    std::unique_ptr<CGpiPlugin> throwing = CGpiPlugin::Load(GpiTestPluginBuild("throwing_init"));
    ASSERT_EQ(throwing->m_Valid, 1) << throwing->m_ErrorText;
    GpiInitInfo initTemplate = {};
    initTemplate.dispatch = &GpiHostDispatch;
    EXPECT_FALSE(throwing->Initialize(initTemplate));
    EXPECT_EQ(throwing->m_Initialised, 0);
    EXPECT_EQ(throwing->m_ErrorText, "Unknown exception caught from plug-in fnInit().");
    throwing->Unload();
    EXPECT_EQ(throwing->m_Module, nullptr);

    AddPluginFile("valid_a", "a.gpi");
    LoadGpiPlugins(m_Folder.path());
    CGpiPlugin* plugin = Listed().at(0);
    GpiTestControl* control = Control(plugin);
    ASSERT_NE(control, nullptr);

    plugin->ShowSettings();
    EXPECT_EQ(control->settingsCalls, 1);
    EXPECT_TRUE(plugin->m_ErrorText.empty());
    control->throwInSettings = 1;
    plugin->ShowSettings();
    EXPECT_EQ(control->settingsCalls, 2);
    EXPECT_EQ(plugin->m_ErrorText, "Unknown exception caught from plug-in pfnSettings().");

    control->throwInTerminate = 1;
    plugin->Terminate();
    EXPECT_EQ(plugin->m_ErrorText, "Unknown exception caught from plug-in fnTerminate().");
    control->throwInTerminate = 0;
}

TEST_F(GpiManager, BlockedPluginsStayLoadedAndListedButAreNeverStarted) {
    SetBlocked(kGuidA, 1);
    SetBlocked(kGuidB, 0); // a zero value blocks nothing
    AddPluginFile("valid_a", "a.gpi");
    AddPluginFile("valid_b", "b.gpi");
    LoadGpiPlugins(m_Folder.path());
    EXPECT_TRUE(m_Ui.shown.empty());

    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    CGpiPlugin* blocked = listed[0];
    EXPECT_EQ(blocked->m_GuidText, kGuidA);
    EXPECT_NE(blocked->m_Module, nullptr) << "still bound";
    EXPECT_EQ(blocked->m_Valid, 1);
    EXPECT_EQ(blocked->m_Initialised, 0);
    EXPECT_EQ(Control(blocked)->initCalls, 0);
    EXPECT_EQ(GpiFindHookRecord(blocked->m_Identity)->callback, nullptr);
    EXPECT_EQ(listed[1]->m_Initialised, 1);
    EXPECT_EQ(FindGpiPluginByGuid(kGuidA), blocked) << "listed, as the options page shows it";

    // Even subscribed by hand, the blocked plug-in gets no event; the other
    // one does. At shut-down only the started one is stopped.
    ObserveAll();
    GpiHookRecord* record = GpiFindHookRecord(blocked->m_Identity);
    record->subscribed[GPIHOOK_EscapeKey] = 1;
    ASSERT_EQ(Subscribe(listed[1], GPIHOOK_EscapeKey, 1), GPIERR_NoError);
    GpiNotifyEscapeKey(nullptr);
    UnloadGpiPlugins();
    ASSERT_EQ(m_Events.size(), 2u);
    EXPECT_EQ(m_Events[0].plugin, "valid_b");
    EXPECT_EQ(m_Events[0].hookType, static_cast<std::uint32_t>(GPIHOOK_EscapeKey));
    EXPECT_EQ(m_Events[1].plugin, "valid_b");
    EXPECT_EQ(m_Events[1].hookType, 0u) << "fnTerminate";
}

TEST_F(GpiManager, PluginsReceiveEventsInLoadOrderWithTheirOwnUserData) {
    // valid_b's file sorts first, so it loads first.
    AddPluginFile("valid_b", "1.gpi");
    AddPluginFile("valid_a", "2.gpi");
    LoadGpiPlugins(m_Folder.path());
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    ObserveAll();
    ASSERT_EQ(Subscribe(listed[1], GPIHOOK_MouseMove, 0x2222), GPIERR_NoError);
    ASSERT_EQ(Subscribe(listed[0], GPIHOOK_MouseMove, 0x1111), GPIERR_NoError);

    auto document = std::make_unique<CCorvaleDoc>();
    GpiNotifyMouseMove(document.get(), 0x0009, 120, -4);

    ASSERT_EQ(m_Events.size(), 2u);
    EXPECT_EQ(m_Events[0].plugin, "valid_b");
    EXPECT_EQ(m_Events[1].plugin, "valid_a");
    const std::uint32_t workspace = GpiWorkspaceHandle(document.get());
    const std::uint32_t minus4 = static_cast<std::uint32_t>(-4);
    EXPECT_EQ(m_Events[0].words, (std::vector<std::uint32_t>{0x1111, 120, minus4, 0x0009, 0}));
    EXPECT_EQ(m_Events[1].words, (std::vector<std::uint32_t>{0x2222, 120, minus4, 0x0009, 0}));
    for (const GpiObservedEvent& event : m_Events) {
        EXPECT_EQ(event.workspace, workspace);
        EXPECT_EQ(event.hookType, static_cast<std::uint32_t>(GPIHOOK_MouseMove));
    }
}

TEST_F(GpiManager, APluginThatThrowsOnEveryIdlePassIsReportedOnceAndStopsNobody) {
    AddPluginFile("valid_a", "1.gpi");
    AddPluginFile("valid_b", "2.gpi");
    LoadGpiPlugins(m_Folder.path());
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    ObserveAll();
    Control(listed[0])->throwOnHook = GPIHOOK_Idle;
    ASSERT_EQ(Subscribe(listed[0], GPIHOOK_Idle, 1), GPIERR_NoError);
    ASSERT_EQ(Subscribe(listed[1], GPIHOOK_Idle, 2), GPIERR_NoError);

    auto active = std::make_unique<CCorvaleDoc>();
    GpiFrameServices frame;
    frame.activeDocument = [&active] { return active.get(); };
    GpiSetFrameServices(frame);

    for (int pass = 0; pass < 3; ++pass)
        GpiNotifyIdle();

    EXPECT_EQ(m_Ui.Messages(), std::vector<std::string>{"Unhandled exception from GPI plug-in."});
    std::vector<std::string> order;
    for (const GpiObservedEvent& event : m_Events) {
        order.push_back(event.plugin);
        EXPECT_EQ(event.workspace, GpiWorkspaceHandle(active.get())) << "the active document";
    }
    EXPECT_EQ(order, (std::vector<std::string>{"valid_a", "valid_b", "valid_a", "valid_b",
                                               "valid_a", "valid_b"}));
}

TEST_F(GpiManager, ShutDownClearsEverySubscriptionThenStopsThePluginsInLoadOrder) {
    AddPluginFile("valid_a", "1.gpi");
    AddPluginFile("valid_b", "2.gpi");
    LoadGpiPlugins(m_Folder.path());
    const std::vector<CGpiPlugin*> listed = Listed();
    ASSERT_EQ(listed.size(), 2u);
    ObserveAll();
    for (const CGpiPlugin* plugin : listed)
        ASSERT_EQ(Subscribe(plugin, GPIHOOK_WorkspaceClosing, 3), GPIERR_NoError);
    // The first plug-in's fnTerminate throws: the second is stopped all the same.
    Control(listed[0])->throwInTerminate = 1;

    // While a plug-in stops, nobody is subscribed any more, and an event
    // raised then reaches nobody.
    std::vector<int> subscriptionsWhileStopping;
    m_DuringEvent = [&subscriptionsWhileStopping](const GpiObservedEvent& event, void*) {
        if (event.hookType != 0)
            return;
        int count = 0;
        for (const GpiHookRecord& record : GpiState().m_HookRecords)
            for (int type = 0; type < GPI_HOOK_SLOTS; ++type)
                count += record.subscribed[type];
        subscriptionsWhileStopping.push_back(count);
        GpiNotifyWorkspaceClosing(nullptr);
    };

    UnloadGpiPlugins();

    ASSERT_EQ(m_Events.size(), 2u);
    EXPECT_EQ(m_Events[0].plugin, "valid_a");
    EXPECT_EQ(m_Events[1].plugin, "valid_b");
    EXPECT_EQ(m_Events[0].hookType, 0u);
    EXPECT_EQ(m_Events[1].hookType, 0u);
    EXPECT_EQ(subscriptionsWhileStopping, (std::vector<int>{0, 0}));
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(GpiState().m_HookRecords.empty());
    EXPECT_TRUE(m_Ui.shown.empty()) << "no recordsets were left open";
}

TEST_F(GpiManager, ShutDownWarnsAboutRecordsetsLeftOpen) {
    AddPluginFile("valid_a", "a.gpi");
    LoadGpiPlugins(m_Folder.path());
    GpiState().m_Recordsets.Add(nullptr);
    GpiState().m_Recordsets.Add(nullptr);
    UnloadGpiPlugins();
    ASSERT_EQ(m_Ui.shown.size(), 1u);
    EXPECT_EQ(m_Ui.shown[0].text,
              "There are 2 unclosed recordsets opened by a gpi plug-in.\n\nThis is a programming "
              "error. All plug-ins must close all recordsets they have opened.");
    EXPECT_EQ(m_Ui.shown[0].icon, corvale::MessageIcon::Error);
}

TEST_F(GpiManager, FindByGuidIgnoresCase) {
    AddPluginFile("valid_a", "a.gpi");
    LoadGpiPlugins(m_Folder.path());
    CGpiPlugin* plugin = Listed().at(0);
    EXPECT_EQ(FindGpiPluginByGuid(kGuidA), plugin);
    EXPECT_EQ(FindGpiPluginByGuid("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8A1}"), plugin);
    EXPECT_EQ(FindGpiPluginByGuid(kGuidB), nullptr);
    EXPECT_EQ(FindGpiPluginByGuid(""), nullptr);
    EXPECT_STREQ(GetGpiPluginGuidText(plugin->m_Identity), kGuidA.c_str());
}
