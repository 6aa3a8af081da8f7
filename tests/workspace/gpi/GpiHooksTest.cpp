// Event delivery to plug-ins: FireGpiHook and the document's notifications.

#include "GpiTestSupport.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <cstring>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Delivery {
    std::string plugin;
    std::uint32_t workspace;
    std::uint32_t hookType;
    std::vector<std::uint32_t> words; // the argument block as the plug-in read it
    void* block;
};

} // namespace

class GpiHooks : public GpiHostTest {
protected:
    // A plug-in that records every event it receives, reading `words` words
    // of the argument block.
    std::uint32_t AddRecordingPlugin(const std::string& name, std::size_t words) {
        return AddPlugin([this, name, words](std::uint32_t workspace, std::uint32_t hookType, void* args) {
            Delivery d{name, workspace, hookType, {}, args};
            d.words.resize(words);
            std::memcpy(d.words.data(), args, words * sizeof(std::uint32_t));
            m_Log.push_back(d);
            return 0;
        });
    }

    std::vector<Delivery> m_Log;
};

TEST_F(GpiHooks, DeliveryInLoadOrderEachWithItsOwnUserData) {
    const std::uint32_t a = AddRecordingPlugin("A", 5);
    const std::uint32_t b = AddRecordingPlugin("B", 5);
    const std::uint32_t c = AddRecordingPlugin("C", 5);
    Subscribe(b, GPIHOOK_MouseMove, 222);
    Subscribe(a, GPIHOOK_MouseMove, 111);
    Subscribe(c, GPIHOOK_Idle, 333); // another type

    std::uint32_t block[5] = {0, 10, 20, 0x8, 0};
    FireGpiHook(42, GPIHOOK_MouseMove, block);

    ASSERT_EQ(m_Log.size(), 2u);
    EXPECT_EQ(m_Log[0].plugin, "A");
    EXPECT_EQ(m_Log[1].plugin, "B");
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(m_Log[i].workspace, 42u);
        EXPECT_EQ(m_Log[i].hookType, static_cast<std::uint32_t>(GPIHOOK_MouseMove));
        EXPECT_EQ(m_Log[i].block, static_cast<void*>(block)) << "the caller's block, not a copy";
        EXPECT_EQ(m_Log[i].words[1], 10u);
        EXPECT_EQ(m_Log[i].words[2], 20u);
        EXPECT_EQ(m_Log[i].words[3], 8u);
    }
    EXPECT_EQ(m_Log[0].words[0], 111u);
    EXPECT_EQ(m_Log[1].words[0], 222u);
}

TEST_F(GpiHooks, OnlyActiveSubscribedRecordsWithACallbackReceive) {
    const std::uint32_t inactive = AddRecordingPlugin("inactive", 1);
    const std::uint32_t unsubscribed = AddRecordingPlugin("unsubscribed", 1);
    const std::uint32_t blocked = AddPlugin(); // listed, never started: no callback
    const std::uint32_t listening = AddRecordingPlugin("listening", 1);
    for (std::uint32_t p : {inactive, blocked, listening})
        Subscribe(p, GPIHOOK_Idle, 1);
    GpiFindHookRecord(inactive)->active = 0;
    (void)unsubscribed;

    GpiHookArgs args = {0};
    FireGpiHook(0, GPIHOOK_Idle, &args);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].plugin, "listening");

    // Types outside the table reach nobody, whatever the flags hold.
    GpiFindHookRecord(listening)->subscribed[0] = 1;
    FireGpiHook(0, 0, &args);
    FireGpiHook(0, GPIHOOK_Last + 1, &args);
    FireGpiHook(0, 0xFFFFFFFF, &args);
    EXPECT_EQ(m_Log.size(), 1u);
}

TEST_F(GpiHooks, WithoutABlockEachPluginStillReadsItsUserData) {
    const std::uint32_t a = AddRecordingPlugin("A", 1);
    Subscribe(a, GPIHOOK_EscapeKey, 99);
    FireGpiHook(3, GPIHOOK_EscapeKey, nullptr);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].words[0], 99u);
}

TEST_F(GpiHooks, TheLockIsHeldDuringDeliveryAndAPluginMayCallTheHost) {
    bool othersLockedOut = false;
    int validity = -1;
    std::uint32_t out = 0;
    const std::uint32_t p = AddPlugin([&](std::uint32_t workspace, std::uint32_t, void*) {
        // Another thread cannot enter while the event is delivered ...
        othersLockedOut = std::async(std::launch::async, [] {
                              if (!GpiLock().TryEnter())
                                  return true;
                              GpiLock().Leave();
                              return false;
                          }).get();
        // ... while the plug-in itself may call back into the host.
        GpiObjectIsValidArgs args = {workspace, &out};
        validity = GpiHostDispatch(GPIOP_ObjectIsValid, &args);
        return 0;
    });
    Subscribe(p, GPIHOOK_ActiveThemeChanged, 0);
    auto document = std::make_unique<CCorvaleDoc>();
    GpiNotifyActiveThemeChanged(document.get(), nullptr);

    EXPECT_TRUE(othersLockedOut);
    EXPECT_EQ(validity, GPIERR_NoError);
    EXPECT_EQ(out, 1u) << "the workspace handle is valid inside the callback";
    const bool freeAfterwards = std::async(std::launch::async, [] {
                                    if (!GpiLock().TryEnter())
                                        return false;
                                    GpiLock().Leave();
                                    return true;
                                }).get();
    EXPECT_TRUE(freeAfterwards);
}

TEST_F(GpiHooks, AnExceptionFromAPluginIsReportedAndDeliveryGoesOn) {
    const std::uint32_t a = AddPlugin([](std::uint32_t, std::uint32_t, void*) -> int {
        throw std::runtime_error("plug-in bug");
    });
    const std::uint32_t b = AddPlugin([](std::uint32_t, std::uint32_t, void*) -> int { throw 42; });
    const std::uint32_t c = AddRecordingPlugin("C", 1);
    for (std::uint32_t p : {a, b, c})
        Subscribe(p, GPIHOOK_Idle, 5);

    GpiHookArgs args = {0};
    EXPECT_NO_THROW(FireGpiHook(0, GPIHOOK_Idle, &args));
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].plugin, "C");
    EXPECT_EQ(m_Ui.Messages(), (std::vector<std::string>{"Unhandled exception from GPI plug-in.",
                                                         "Unhandled exception from GPI plug-in."}));
    // The lock was left on the way out.
    const bool free = std::async(std::launch::async, [] {
                          if (!GpiLock().TryEnter())
                              return false;
                          GpiLock().Leave();
                          return true;
                      }).get();
    EXPECT_TRUE(free);
}

class GpiNotifications : public GpiHooks {
protected:
    void SetUp() override {
        GpiHooks::SetUp();
        m_Document = std::make_unique<CCorvaleDoc>();
        m_Theme = new CTheme;
        m_Record = CShapeRecord::FromBytes(m_Bytes.data());
        m_Theme->m_Points = {m_Record};
        m_Document->m_themes = {m_Theme};
    }
    void TearDown() override {
        m_Document.reset();
        GpiHooks::TearDown();
    }

    // A plug-in subscribed to one hook type that also asks, inside its
    // callback, whether the handles in its block are valid.
    std::uint32_t AddCheckingPlugin(std::uint32_t hookType, std::size_t words) {
        const std::uint32_t p = AddPlugin([this, words](std::uint32_t workspace, std::uint32_t type, void* args) {
            Delivery d{"P", workspace, type, {}, args};
            d.words.resize(words);
            std::memcpy(d.words.data(), args, words * sizeof(std::uint32_t));
            m_Log.push_back(d);
            for (std::size_t i = 1; i < words; ++i)
                m_ValidInside.push_back(IsValid(d.words[i]));
            return 0;
        });
        Subscribe(p, hookType, 0xABC);
        return p;
    }

    std::unique_ptr<CCorvaleDoc> m_Document;
    CTheme* m_Theme = nullptr;
    std::vector<unsigned char> m_Bytes = std::vector<unsigned char>(28, 0);
    CShapeRecord* m_Record = nullptr;
    std::vector<bool> m_ValidInside;
};

TEST_F(GpiNotifications, ThemeAdded) {
    AddCheckingPlugin(GPIHOOK_ThemeAdded, 2);
    GpiNotifyThemeAdded(m_Document.get(), m_Theme);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].hookType, static_cast<std::uint32_t>(GPIHOOK_ThemeAdded));
    EXPECT_EQ(m_Log[0].workspace, GpiWorkspaceHandle(m_Document.get()));
    EXPECT_EQ(m_Log[0].words[0], 0xABCu);
    EXPECT_EQ(m_Log[0].words[1], GpiThemeHandle(m_Theme));
    EXPECT_EQ(m_ValidInside, std::vector<bool>{true});
}

TEST_F(GpiNotifications, TheFirstViewMakesTheConsoleThenTellsThePlugins) {
    AddCheckingPlugin(GPIHOOK_ViewInitialized, 1);
    std::vector<std::string> order;
    const CDocumentConsoleServices saved = GetDocumentConsoleServices();
    CDocumentConsoleServices console;
    console.getConsole = [&](CCorvaleDoc&) -> CConsoleDialog* {
        order.push_back(m_Log.empty() ? "console before the hook" : "console after the hook");
        return nullptr;
    };
    SetDocumentConsoleServices(console);
    m_Document->OnViewInitialUpdate();
    SetDocumentConsoleServices(saved);
    EXPECT_EQ(order, std::vector<std::string>{"console before the hook"});
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].hookType, static_cast<std::uint32_t>(GPIHOOK_ViewInitialized));
    EXPECT_EQ(m_Log[0].workspace, GpiWorkspaceHandle(m_Document.get()));
    EXPECT_EQ(m_Log[0].words[0], 0xABCu);
}

TEST_F(GpiNotifications, ThemesRemovedDropsTheThemeAfterDelivery) {
    AddCheckingPlugin(GPIHOOK_ThemesRemoved, 2);
    const std::uint32_t before = GpiThemeHandle(m_Theme);
    GpiNotifyThemesRemoved(m_Document.get(), m_Theme);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].words[1], before);
    EXPECT_EQ(m_ValidInside, std::vector<bool>{true}) << "usable during the event";
    EXPECT_FALSE(IsValid(before)) << "gone after it";
    EXPECT_GT(GpiThemeHandle(m_Theme), before);
}

TEST_F(GpiNotifications, ShapeDeletedDropsTheShapeAfterDelivery) {
    AddCheckingPlugin(GPIHOOK_ShapeDeleted, 3);
    const std::uint32_t workspace = GpiWorkspaceHandle(m_Document.get());
    const std::uint32_t shape = GpiShapeHandle(m_Record);
    GpiNotifyShapeDeleted(m_Theme, m_Record);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].workspace, workspace) << "the document that holds the theme";
    EXPECT_EQ(m_Log[0].words[1], GpiThemeHandle(m_Theme));
    EXPECT_EQ(m_Log[0].words[2], shape);
    EXPECT_EQ(m_ValidInside, (std::vector<bool>{true, true}));
    EXPECT_FALSE(IsValid(shape));
    EXPECT_TRUE(IsValid(GpiThemeHandle(m_Theme)));
}

TEST_F(GpiNotifications, WithoutListenersHandlesAreStillDropped) {
    const std::uint32_t theme = GpiThemeHandle(m_Theme);
    const std::uint32_t shape = GpiShapeHandle(m_Record);
    GpiNotifyShapeDeleted(m_Theme, m_Record);
    GpiNotifyThemesRemoved(m_Document.get(), m_Theme);
    EXPECT_FALSE(IsValid(shape));
    EXPECT_FALSE(IsValid(theme));
    EXPECT_TRUE(m_Log.empty());
}

TEST_F(GpiNotifications, TheDocumentPassesActiveThemeAndSelectionChangesOn) {
    AddCheckingPlugin(GPIHOOK_ActiveThemeChanged, 1);
    AddCheckingPlugin(GPIHOOK_SelectionChanged, 3);
    m_Document->m_activeTheme = m_Theme;

    m_Document->FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    m_Document->FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);

    ASSERT_EQ(m_Log.size(), 2u);
    const std::uint32_t workspace = GpiWorkspaceHandle(m_Document.get());
    EXPECT_EQ(m_Log[0].hookType, static_cast<std::uint32_t>(GPIHOOK_ActiveThemeChanged));
    EXPECT_EQ(m_Log[0].workspace, workspace);
    EXPECT_EQ(m_Log[0].words[0], 0xABCu);
    EXPECT_EQ(m_Log[1].hookType, static_cast<std::uint32_t>(GPIHOOK_SelectionChanged));
    EXPECT_EQ(m_Log[1].workspace, workspace);
    EXPECT_EQ(m_Log[1].words, (std::vector<std::uint32_t>{0xABC, GpiThemeHandle(m_Theme), 1}));
}

TEST_F(GpiNotifications, SelectionChangedWithoutAnActiveThemeNamesNone) {
    AddCheckingPlugin(GPIHOOK_SelectionChanged, 3);
    GpiNotifySelectionChanged(m_Document.get(), nullptr);
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].words, (std::vector<std::uint32_t>{0xABC, 0, 1}));
}

TEST_F(GpiNotifications, WorkspaceClosingDropsTheWorkspaceAndItsScripts) {
    AddCheckingPlugin(GPIHOOK_WorkspaceClosing, 1);
    bool validInside = false;
    const std::uint32_t p = AddPlugin([&validInside](std::uint32_t workspace, std::uint32_t, void*) {
        validInside = IsValid(workspace);
        return 0;
    });
    Subscribe(p, GPIHOOK_WorkspaceClosing, 1);

    const std::uint32_t workspace = GpiWorkspaceHandle(m_Document.get());
    auto other = std::make_unique<CCorvaleDoc>();
    auto* mine = reinterpret_cast<CJSHandler*>(std::uintptr_t{0x10});
    auto* theirs = reinterpret_cast<CJSHandler*>(std::uintptr_t{0x20});
    const std::uint32_t myScript = GpiState().m_Scripts.GetOrCreate({mine, m_Document.get()});
    const std::uint32_t theirScript = GpiState().m_Scripts.GetOrCreate({theirs, other.get()});

    m_Document->OnCloseDocument();
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].workspace, workspace);
    EXPECT_EQ(m_Log[0].words[0], 0xABCu);
    EXPECT_TRUE(validInside);
    EXPECT_FALSE(IsValid(workspace));
    EXPECT_FALSE(IsValid(myScript));
    EXPECT_TRUE(IsValid(theirScript));
}

// The notifications of the map view, the frame and the application: which
// event each raises, for which workspace, with which block.
TEST_F(GpiHooks, EachNotificationRaisesItsEventWithItsBlock) {
    auto document = std::make_unique<CCorvaleDoc>();
    auto active = std::make_unique<CCorvaleDoc>();
    GpiFrameServices frame;
    frame.activeDocument = [&active] { return active.get(); };
    GpiSetFrameServices(frame);
    // Reads as many words as the type's block has.
    const std::uint32_t p = AddPlugin([this](std::uint32_t workspace, std::uint32_t hookType, void* args) {
        const bool mouse =
            hookType == GPIHOOK_MouseMove || hookType == GPIHOOK_LButtonDown || hookType == GPIHOOK_LButtonUp;
        Delivery d{"P", workspace, hookType, std::vector<std::uint32_t>(mouse ? 5 : 1), args};
        std::memcpy(d.words.data(), args, d.words.size() * sizeof(std::uint32_t));
        m_Log.push_back(d);
        return 0;
    });
    for (std::uint32_t type = GPIHOOK_First; type <= GPIHOOK_Last; ++type)
        Subscribe(p, type, 0x100 + type);

    const std::uint32_t ws = GpiWorkspaceHandle(document.get());
    const std::uint32_t act = GpiWorkspaceHandle(active.get());
    const std::uint32_t minus1 = static_cast<std::uint32_t>(-1);
    struct Case {
        const char* what;
        std::function<void()> notify;
        std::uint32_t hookType;
        std::uint32_t workspace;
        std::vector<std::uint32_t> words; // as many as the block defines
    };
    const Case cases[] = {
        {"mouse move", [&] { GpiNotifyMouseMove(document.get(), 0x0001, 15, -1); }, GPIHOOK_MouseMove, ws,
         {0x103, 15, minus1, 0x0001, 0}},
        {"left button down", [&] { GpiNotifyLButtonDown(document.get(), 0x0005, 0, 7); }, GPIHOOK_LButtonDown, ws,
         {0x107, 0, 7, 0x0005, 0}},
        {"left button up", [&] { GpiNotifyLButtonUp(document.get(), 0, 3, 4); }, GPIHOOK_LButtonUp, ws,
         {0x108, 3, 4, 0, 0}},
        {"escape", [&] { GpiNotifyEscapeKey(document.get()); }, GPIHOOK_EscapeKey, ws, {0x113}},
        {"idle", [] { GpiNotifyIdle(); }, GPIHOOK_Idle, act, {0x102}},
        {"active workspace changed", [&] { GpiNotifyActiveWorkspaceChanged(document.get()); },
         GPIHOOK_ActiveWorkspaceChanged, ws, {0x112}},
        {"no active workspace any more", [] { GpiNotifyActiveWorkspaceChanged(nullptr); },
         GPIHOOK_ActiveWorkspaceChanged, 0, {0x112}},
        {"active theme changed", [&] { GpiNotifyWorkspaceUpdate(document.get()); }, GPIHOOK_ActiveThemeChanged, ws,
         {0x111}},
    };
    for (const Case& c : cases) {
        m_Log.clear();
        c.notify();
        ASSERT_EQ(m_Log.size(), 1u) << c.what;
        EXPECT_EQ(m_Log[0].hookType, c.hookType) << c.what;
        EXPECT_EQ(m_Log[0].workspace, c.workspace) << c.what;
        const std::vector<std::uint32_t> words(m_Log[0].words.begin(), m_Log[0].words.begin() + c.words.size());
        EXPECT_EQ(words, c.words) << c.what;
    }

    // Without the frame's services there is no active document.
    GpiSetFrameServices(GpiFrameServices());
    m_Log.clear();
    GpiNotifyIdle();
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].workspace, 0u);

    // While scripts run (nested runs hold twice) idle work waits; other events pass.
    m_Log.clear();
    GpiHoldIdleHooks(true);
    GpiHoldIdleHooks(true);
    GpiNotifyIdle();
    GpiHoldIdleHooks(false);
    GpiNotifyIdle();
    GpiNotifyEscapeKey(document.get());
    ASSERT_EQ(m_Log.size(), 1u);
    EXPECT_EQ(m_Log[0].hookType, static_cast<std::uint32_t>(GPIHOOK_EscapeKey));
    GpiHoldIdleHooks(false);
    // A release without a hold does not hold back the next idle events.
    GpiHoldIdleHooks(false);
    GpiNotifyIdle();
    ASSERT_EQ(m_Log.size(), 2u);
    EXPECT_EQ(m_Log[1].hookType, static_cast<std::uint32_t>(GPIHOOK_Idle));
}

TEST_F(GpiHooks, NobodyListeningMeansNoHandlesAreDrawn) {
    AddRecordingPlugin("unsubscribed", 1);
    auto document = std::make_unique<CCorvaleDoc>();
    const std::uint32_t counter = GpiTestSetHandleCounter(0);
    GpiTestSetHandleCounter(counter);
    GpiNotifyMouseMove(document.get(), 0, 1, 2);
    GpiNotifyEscapeKey(document.get());
    GpiNotifyActiveWorkspaceChanged(document.get());
    GpiNotifyWorkspaceUpdate(document.get());
    EXPECT_TRUE(m_Log.empty());
    EXPECT_EQ(GpiTestSetHandleCounter(counter), counter);
}

TEST_F(GpiHooks, RepeatingEventsReportAThrowingPluginOnceOthersEveryTime) {
    int calls = 0;
    const std::uint32_t thrower = AddPlugin([&calls](std::uint32_t, std::uint32_t, void*) -> int {
        ++calls;
        throw std::runtime_error("every time");
    });
    const std::uint32_t listener = AddRecordingPlugin("listener", 1);
    for (std::uint32_t type : {GPIHOOK_Idle, GPIHOOK_MapDrawn, GPIHOOK_MouseMove, GPIHOOK_SelectionChanged}) {
        Subscribe(thrower, type, 0);
        Subscribe(listener, type, 0);
    }
    auto document = std::make_unique<CCorvaleDoc>();
    for (int pass = 0; pass < 4; ++pass) {
        GpiNotifyIdle();
        FireGpiHook(0, GPIHOOK_MapDrawn, nullptr);
        GpiNotifyMouseMove(document.get(), 0, pass, pass);
    }
    EXPECT_EQ(calls, 12) << "the plug-in keeps receiving them";
    EXPECT_EQ(m_Log.size(), 12u) << "and so does the next one";
    EXPECT_EQ(m_Ui.Messages(), std::vector<std::string>(3, "Unhandled exception from GPI plug-in."))
        << "once each for idle, map drawn and mouse move";

    // Other events report every throw.
    GpiNotifySelectionChanged(document.get(), nullptr);
    GpiNotifySelectionChanged(document.get(), nullptr);
    EXPECT_EQ(m_Ui.Messages().size(), 5u);
}
