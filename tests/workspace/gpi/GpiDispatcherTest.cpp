// GpiHostDispatch: operation numbers, the host's own small operations and
// their error codes.

#include "GpiTestSupport.h"

#include "framework/Messages.h"
#include "workspace/CorvaleDoc.h"

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <climits>
#include <cstring>
#include <future>
#include <set>
#include <string>
#include <vector>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// A block large enough for any operation's arguments, filled with a pattern
// so that a write into it shows.
struct Scratch {
    unsigned char bytes[256];
    Scratch() { std::memset(bytes, 0xA5, sizeof bytes); }
    bool Untouched() const {
        for (unsigned char b : bytes)
            if (b != 0xA5)
                return false;
        return true;
    }
};

// The operations the host answers today; every other number in 1..139 is
// not available yet.
const std::set<int> kBuiltOperations = {
    GPIOP_RegisterHook,      GPIOP_UnregisterHook,    GPIOP_UnregisterAllHooks,
    GPIOP_GetErrorText,      GPIOP_GetWorkspaceCount, GPIOP_GetWorkspace,  GPIOP_GetActiveWorkspace,
    GPIOP_PluginPostMessage, GPIOP_ObjectIsValid,     GPIOP_SetStatusText, GPIOP_HostAlloc,
    GPIOP_HostFree,          GPIOP_GetHostVersion,    GPIOP_Retired110,
    GPIOP_StatusPaneSetText, GPIOP_StatusPaneCreate,  GPIOP_StatusPaneDestroy,
    GPIOP_ProgressCreate,    GPIOP_ProgressSetPos,    GPIOP_ProgressDestroy, GPIOP_IsScriptingAvailable,
    // Workspaces.
    GPIOP_WorkspaceGetMap, GPIOP_WorkspaceGetThemeCount, GPIOP_WorkspaceGetTheme, GPIOP_WorkspaceAddTheme,
    GPIOP_WorkspaceGetExtent, GPIOP_WorkspacePrintConsole, GPIOP_WorkspaceIsActive, GPIOP_WorkspaceSelectTheme,
    GPIOP_WorkspaceNotifyChanged, GPIOP_WorkspaceGetSelectedThemes, GPIOP_WorkspaceGetActiveTheme,
    GPIOP_WorkspaceGetDescription, GPIOP_WorkspaceSetDescription, GPIOP_WorkspaceRemoveTheme,
    GPIOP_WorkspaceSetPluginData, GPIOP_WorkspaceClearThemeSelection, GPIOP_WorkspaceGetSelectedThemeCount,
    GPIOP_WorkspaceNewThemeFromSelection,
    // Themes as a whole.
    GPIOP_ThemeIsSelected, GPIOP_ThemeIsReadOnly, GPIOP_ThemeGetName, GPIOP_ThemeSetName, GPIOP_ThemeGetFieldCount,
    GPIOP_ThemeGetShapeType, GPIOP_ThemeGetBounds, GPIOP_ThemeRecalcBounds, GPIOP_ThemeGetLabelFont,
    GPIOP_ThemeGetFieldName, GPIOP_ThemeGetWorkspace, GPIOP_ThemeIsVisible, GPIOP_ThemeAddField,
    GPIOP_ThemeDeleteField, GPIOP_ThemeGetComment, GPIOP_ThemeSetComment, GPIOP_ThemeGetColor, GPIOP_ThemeSetColor,
    GPIOP_ThemeGetBaseColor, GPIOP_ThemeSetBaseColor, GPIOP_ThemeGetLineWidth, GPIOP_ThemeSetLineWidth,
    GPIOP_ThemeSetRasterImage, GPIOP_ThemeSetPluginData, GPIOP_ThemeSetSelected, GPIOP_ThemeGetFieldType,
    GPIOP_ThemeFindField, GPIOP_ThemeGetPenStyle, GPIOP_ThemeSetPenStyle, GPIOP_ThemeSetFieldText,
    // Shapes and the selection.
    GPIOP_ThemeGetShapeCount, GPIOP_ThemeGetShape, GPIOP_ThemeGetSelectionCount, GPIOP_ThemeGetSelection,
    GPIOP_ShapeGetType, GPIOP_ShapeGetBounds, GPIOP_ShapeGetRecord, GPIOP_ShapeGetPartCount,
    GPIOP_ShapeGetPartPointCount, GPIOP_ShapeGetPoint, GPIOP_ThemeFindShape, GPIOP_ShapeIsSelected,
    GPIOP_ShapeSelect, GPIOP_ShapeGetAttribute, GPIOP_ShapeGetInfoTipText, GPIOP_ThemeClearSelection,
    GPIOP_ThemeInvertSelection, GPIOP_ShapeGetNearestPoint,
    // Adding shapes and batches.
    GPIOP_ThemeAddShape, GPIOP_ThemeAddPoint, GPIOP_ThemeAddShapeWkt, GPIOP_ThemeAddShapeWkb, GPIOP_ThemeUpdateBatch,
    GPIOP_ThemeUpdateBatchReserve, GPIOP_ThemeUpdateShape, GPIOP_ThemeDeleteShape, GPIOP_ShapeSetAttribute,
    GPIOP_ShapeSetAttributes, GPIOP_ShapeSetAttributeInt, GPIOP_ShapeSetAttributeDouble,
    // Recordsets and the queries that make them.
    GPIOP_ThemeQuery, GPIOP_ThemeQueryIntersecting, GPIOP_ThemeQueryRectangle, GPIOP_ThemeQuerySelectedRectangle,
    GPIOP_RecordsetMoveNext, GPIOP_RecordsetMovePrevious, GPIOP_RecordsetMoveFirst, GPIOP_RecordsetMoveLast,
    GPIOP_RecordsetGetValue, GPIOP_RecordsetIsEOF, GPIOP_RecordsetIsBOF, GPIOP_RecordsetClose,
    GPIOP_RecordsetGetCount,
    // The map view.
    GPIOP_MapGetClientExtent, GPIOP_MapGetClientSize, GPIOP_MapWorldToClient, GPIOP_MapClientToWorld,
    GPIOP_MapGetWindow, GPIOP_MapRedraw, GPIOP_MapRender, GPIOP_MapCenterAt, GPIOP_MapZoom, GPIOP_MapZoomToSelection,
    GPIOP_MapZoomToTheme, GPIOP_MapGetTool, GPIOP_MapSetTool,
    // Toolbars, command items, tool panes and scripts.
    GPIOP_ToolBarCreate, GPIOP_ToolBarGetButtonCount, GPIOP_ToolBarEnableButton, GPIOP_ToolBarCheckButton,
    GPIOP_ToolBarGetState, GPIOP_CommandItemEnable, GPIOP_ToolPaneCreate, GPIOP_ToolPaneRelease,
    GPIOP_ToolPaneGetWindow, GPIOP_ToolPaneQuery, GPIOP_WorkspaceCreateScript, GPIOP_ScriptRun,
    GPIOP_ScriptCallFunction, GPIOP_ScriptDestroy,
};

} // namespace

using GpiDispatcher = GpiHostTest;

TEST_F(GpiDispatcher, NumbersOutsideTheTableAnswerNotImplementedAndTouchNothing) {
    const std::uint32_t counter = GpiTestSetHandleCounter(0);
    GpiTestSetHandleCounter(counter);
    for (int op : {0, 140, -5, INT_MIN, INT_MAX, 1000}) {
        Scratch args;
        EXPECT_EQ(GpiHostDispatch(op, &args), GPIERR_NotImplemented) << op;
        EXPECT_EQ(GpiHostDispatch(op, nullptr), GPIERR_NotImplemented) << op;
        EXPECT_TRUE(args.Untouched()) << op;
    }
    EXPECT_EQ(GpiTestSetHandleCounter(counter), counter) << "no handle drawn";
}

TEST_F(GpiDispatcher, RetiredOperationAnswersNoLongerSupportedWhateverTheArgument) {
    Scratch args;
    EXPECT_EQ(GpiHostDispatch(GPIOP_Retired110, nullptr), GPIERR_NoLongerSupported);
    EXPECT_EQ(GpiHostDispatch(GPIOP_Retired110, &args), GPIERR_NoLongerSupported);
    EXPECT_EQ(GpiHostDispatch(GPIOP_Retired110, reinterpret_cast<void*>(std::uintptr_t{1})),
              GPIERR_NoLongerSupported);
    EXPECT_TRUE(args.Untouched());
}

TEST_F(GpiDispatcher, OperationsNotBuiltYetAnswerNotImplementedNeverSuccess) {
    const std::uint32_t identity = AddPlugin();
    for (int op = GPIOP_First; op <= GPIOP_Last; ++op) {
        if (kBuiltOperations.count(op) != 0)
            continue;
        Scratch args;
        // A block that starts with a valid identity, so that nothing fails
        // only for want of one.
        std::memcpy(args.bytes, &identity, sizeof identity);
        EXPECT_EQ(GpiHostDispatch(op, &args), GPIERR_NotImplemented) << op;
        EXPECT_EQ(GpiHostDispatch(op, nullptr), GPIERR_NotImplemented) << op;
        std::memset(args.bytes, 0xA5, sizeof identity);
        EXPECT_TRUE(args.Untouched()) << op;
    }
}

// Every number of the table has its handler: even with nothing installed
// and no argument, none answers "not implemented".
TEST_F(GpiDispatcher, EveryOperationOfTheTableIsBuilt) {
    EXPECT_EQ(kBuiltOperations.size(), static_cast<std::size_t>(GPIOP_Last - GPIOP_First + 1));
    for (int op = GPIOP_First; op <= GPIOP_Last; ++op)
        EXPECT_NE(GpiHostDispatch(op, nullptr), GPIERR_NotImplemented) << op;
    // The map view and user-interface operations with a block refuse a null
    // one; those that take a handle itself read it as handle 0.
    for (int op : {GPIOP_MapGetClientExtent, GPIOP_MapGetClientSize, GPIOP_MapWorldToClient, GPIOP_MapClientToWorld,
                   GPIOP_MapGetWindow, GPIOP_MapRedraw, GPIOP_MapRender, GPIOP_MapCenterAt, GPIOP_MapZoom,
                   GPIOP_MapZoomToSelection, GPIOP_MapZoomToTheme, GPIOP_MapGetTool, GPIOP_MapSetTool,
                   GPIOP_ToolBarCreate, GPIOP_ToolBarGetButtonCount, GPIOP_ToolBarEnableButton,
                   GPIOP_ToolBarCheckButton, GPIOP_ToolBarGetState, GPIOP_CommandItemEnable, GPIOP_ToolPaneCreate,
                   GPIOP_ToolPaneGetWindow, GPIOP_ToolPaneQuery, GPIOP_WorkspaceCreateScript,
                   GPIOP_ScriptCallFunction})
        EXPECT_EQ(GpiHostDispatch(op, nullptr), GPIERR_IllegalParameter) << op;
    for (int op : {GPIOP_ScriptRun, GPIOP_ScriptDestroy, GPIOP_ToolPaneRelease})
        EXPECT_EQ(GpiHostDispatch(op, nullptr), GPIERR_InvalidHandle) << op;
}

TEST_F(GpiDispatcher, NullBlocksAreRefusedWithIllegalParameter) {
    GpiFrameServices frame;
    frame.openDocuments = [] { return std::vector<CCorvaleDoc*>(); };
    frame.activeDocument = []() -> CCorvaleDoc* { return nullptr; };
    GpiSetFrameServices(frame);
    for (int op : {GPIOP_RegisterHook, GPIOP_UnregisterHook, GPIOP_GetErrorText, GPIOP_GetWorkspaceCount, GPIOP_GetWorkspace, GPIOP_GetActiveWorkspace,
                   GPIOP_PluginPostMessage, GPIOP_ObjectIsValid, GPIOP_SetStatusText, GPIOP_HostAlloc,
                   GPIOP_GetHostVersion, GPIOP_StatusPaneSetText, GPIOP_StatusPaneCreate, GPIOP_ProgressCreate,
                   GPIOP_ProgressSetPos, GPIOP_IsScriptingAvailable})
        EXPECT_EQ(GpiHostDispatch(op, nullptr), GPIERR_IllegalParameter) << op;
}

TEST_F(GpiDispatcher, ANullBlockIsRefusedWithoutWaitingForTheLock) {
    // Another thread holds the lock for a while; refusing a null block must
    // not wait for it.
    std::promise<void> held;
    auto holder = std::async(std::launch::async, [&held] {
        CGpiLockGuard guard;
        held.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    });
    held.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GpiHostDispatch(GPIOP_ObjectIsValid, nullptr), GPIERR_IllegalParameter);
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetHostVersion, nullptr), GPIERR_IllegalParameter);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    holder.wait();
}

TEST_F(GpiDispatcher, HostAllocAndFree) {
    void* const untouched = reinterpret_cast<void*>(std::uintptr_t{0x1234});
    void* out = untouched;

    struct Case {
        const char* name;
        std::uint32_t size;
        bool withOut;
    };
    for (const Case& c : {Case{"size 0", 0, true}, Case{"null out", 16, false}}) {
        GpiHostAllocArgs args = {c.size, c.withOut ? &out : nullptr};
        EXPECT_EQ(GpiHostDispatch(GPIOP_HostAlloc, &args), GPIERR_IllegalParameter) << c.name;
        EXPECT_EQ(out, untouched) << c.name;
    }

    GpiHostAllocArgs args = {64, &out};
    ASSERT_EQ(GpiHostDispatch(GPIOP_HostAlloc, &args), GPIERR_NoError);
    ASSERT_NE(out, untouched);
    ASSERT_NE(out, nullptr);
    std::memset(out, 0x5A, 64); // the whole block is the plug-in's
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, out), GPIERR_NoError);

    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, nullptr), GPIERR_NoError);
}

TEST_F(GpiDispatcher, HostFreeRefusesWhatItDidNotHandOut) {
    void* block = nullptr;
    GpiHostAllocArgs args = {8, &block};
    ASSERT_EQ(GpiHostDispatch(GPIOP_HostAlloc, &args), GPIERR_NoError);
    ASSERT_EQ(GpiHostDispatch(GPIOP_HostFree, block), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, block), GPIERR_IllegalParameter) << "freed twice";

    int onTheStack = 0;
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, &onTheStack), GPIERR_IllegalParameter);
    std::unique_ptr<char[]> elsewhere(new char[8]);
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, elsewhere.get()), GPIERR_IllegalParameter);

    // A block handed to the host is the host's to free.
    ASSERT_EQ(GpiHostDispatch(GPIOP_HostAlloc, &args), GPIERR_NoError);
    EXPECT_TRUE(GpiHostFreeMemory(block));
    EXPECT_EQ(GpiHostDispatch(GPIOP_HostFree, block), GPIERR_IllegalParameter);
}

TEST_F(GpiDispatcher, ObjectIsValid) {
    const std::uint32_t identity = AddPlugin();
    CTheme* theme = reinterpret_cast<CTheme*>(std::uintptr_t{0x1000});
    const std::uint32_t themeHandle = GpiThemeHandle(theme);
    const std::uint32_t forgotten = GpiThemeHandle(reinterpret_cast<CTheme*>(std::uintptr_t{0x2000}));
    GpiState().m_Themes.Erase(forgotten);

    struct Case {
        const char* name;
        std::uint32_t value;
        std::uint32_t out;
    };
    const Case cases[] = {
        {"zero", 0, 0},
        {"plug-in identity", identity, 1},
        {"theme handle", themeHandle, 1},
        {"dropped handle", forgotten, 0},
        {"never issued", themeHandle + 1000, 0},
        {"identity range, not listed", identity + 1, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t out = 0xEEEEEEEE;
        GpiObjectIsValidArgs args = {c.value, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ObjectIsValid, &args), GPIERR_NoError) << c.name;
        EXPECT_EQ(out, c.out) << c.name;
    }
    GpiObjectIsValidArgs noOut = {identity, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ObjectIsValid, &noOut), GPIERR_IllegalParameter);
}

TEST_F(GpiDispatcher, SetStatusText) {
    const std::uint32_t identity = AddPlugin();
    struct Case {
        const char* name;
        std::uint32_t identity;
        const char* text;
        int result;
        const char* shown; // null: nothing shown
    };
    const Case cases[] = {
        {"identity 0", 0, "busy", GPIERR_InvalidHandle, nullptr},
        {"unknown identity", identity + 1, "busy", GPIERR_InvalidHandle, nullptr},
        {"a handle is no identity", GpiThemeHandle(reinterpret_cast<CTheme*>(std::uintptr_t{0x10})), "busy",
         GPIERR_InvalidHandle, nullptr},
        {"text", identity, "Routing...", GPIERR_NoError, "Routing..."},
        {"null text restores the idle message", identity, nullptr, GPIERR_NoError, "For Help, press F1"},
    };
    for (const Case& c : cases) {
        m_Ui.statusTexts.clear();
        GpiSetStatusTextArgs args = {c.identity, c.text};
        EXPECT_EQ(GpiHostDispatch(GPIOP_SetStatusText, &args), c.result) << c.name;
        if (c.shown == nullptr) {
            EXPECT_TRUE(m_Ui.statusTexts.empty()) << c.name;
        } else {
            ASSERT_EQ(m_Ui.statusTexts.size(), 1u) << c.name;
            EXPECT_EQ(m_Ui.statusTexts[0], c.shown) << c.name;
        }
    }
}

TEST_F(GpiDispatcher, GetHostVersion) {
    const std::uint32_t identity = AddPlugin();
    struct Case {
        const char* name;
        std::uint32_t identity;
        bool withBuffer;
        bool withSize;
        std::uint32_t size;
        int result;
        std::uint32_t sizeAfter;
        const char* text;
    };
    const Case cases[] = {
        {"null size", identity, true, false, 0, GPIERR_IllegalParameter, 0, "#"},
        {"null size before the identity", 0, true, false, 0, GPIERR_IllegalParameter, 0, "#"},
        {"unknown identity", identity + 7, false, true, 0, GPIERR_InvalidHandle, 0, "#"},
        {"size query", identity, false, true, 0, GPIERR_NoError, 7, "#"},
        {"copy", identity, true, true, 7, GPIERR_NoError, 7, "2.1.00"},
        {"cut", identity, true, true, 4, GPIERR_NoError, 4, "2.1"},
        {"size 0 copies nothing", identity, true, true, 0, GPIERR_NoError, 0, "#"},
    };
    for (const Case& c : cases) {
        char buffer[16] = "#";
        std::uint32_t size = c.size;
        GpiGetHostVersionArgs args = {c.identity, c.withBuffer ? buffer : nullptr, c.withSize ? &size : nullptr};
        EXPECT_EQ(GpiHostDispatch(GPIOP_GetHostVersion, &args), c.result) << c.name;
        EXPECT_EQ(size, c.sizeAfter) << c.name;
        EXPECT_STREQ(buffer, c.text) << c.name;
    }
}

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "plugins_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

class MainWindow : public CMessageWindow {
public:
    struct Message {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> received;

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        received.push_back({message, wParam, lParam});
        return 0;
    }
    QObject* GetMessageObject() override { return &m_Object; }

private:
    class Receiver : public QObject {
    public:
        explicit Receiver(MainWindow* window) : m_Window(window) {}
        bool event(QEvent* e) override { return DispatchPostedMessage(m_Window, e) || QObject::event(e); }
        MainWindow* m_Window;
    } m_Object{this};
};

} // namespace

TEST_F(GpiDispatcher, PluginPostMessageQueuesAMessageToTheMainWindow) {
    App();
    MainWindow window;
    GpiFrameServices frame;
    frame.mainWindow = &window;
    GpiSetFrameServices(frame);
    const std::uint32_t identity = AddPlugin();

    GpiPluginPostMessageArgs unknown = {identity + 1, 5};
    EXPECT_EQ(GpiHostDispatch(GPIOP_PluginPostMessage, &unknown), GPIERR_InvalidHandle);
    GpiPluginPostMessageArgs args = {identity, 0xFFFFFFFF};
    EXPECT_EQ(GpiHostDispatch(GPIOP_PluginPostMessage, &args), GPIERR_NoError);
    EXPECT_TRUE(window.received.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].message, WM_GPI_PLUGIN_MESSAGE);
    EXPECT_EQ(window.received[0].wParam, std::uintptr_t{0xFFFFFFFF});
    EXPECT_EQ(window.received[0].lParam, static_cast<std::intptr_t>(identity)) << "the identity, not sign-extended";

    // Without a main window the message simply goes nowhere.
    GpiSetFrameServices(GpiFrameServices());
    EXPECT_EQ(GpiHostDispatch(GPIOP_PluginPostMessage, &args), GPIERR_NoError);
}

class GpiWorkspaceList : public GpiHostTest {
protected:
    void SetUp() override {
        GpiHostTest::SetUp();
        m_A = std::make_unique<CCorvaleDoc>();
        m_B = std::make_unique<CCorvaleDoc>();
        GpiFrameServices frame;
        frame.openDocuments = [this] { return m_Open; };
        frame.activeDocument = [this] { return m_Active; };
        GpiSetFrameServices(frame);
    }
    void TearDown() override {
        m_A.reset();
        m_B.reset();
        GpiHostTest::TearDown();
    }

    std::unique_ptr<CCorvaleDoc> m_A;
    std::unique_ptr<CCorvaleDoc> m_B;
    std::vector<CCorvaleDoc*> m_Open;
    CCorvaleDoc* m_Active = nullptr;
};

TEST_F(GpiWorkspaceList, NotAvailableUntilTheFrameListsItsDocuments) {
    GpiSetFrameServices(GpiFrameServices());
    std::uint32_t out = 77;
    GpiGetWorkspaceArgs args = {0, &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspaceCount, &out), GPIERR_NotImplemented);
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspace, &args), GPIERR_NotImplemented);
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetActiveWorkspace, &out), GPIERR_NotImplemented);
    EXPECT_EQ(out, 77u);
}

TEST_F(GpiWorkspaceList, CountAndIndex) {
    std::uint32_t count = 77;
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspaceCount, &count), GPIERR_NoError);
    EXPECT_EQ(count, 0u);

    m_Open = {m_A.get(), m_B.get()};
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspaceCount, &count), GPIERR_NoError);
    EXPECT_EQ(count, 2u);

    struct Case {
        std::uint32_t index;
        int result;
        std::uint32_t out;
    };
    const std::uint32_t b = GpiWorkspaceHandle(m_B.get());
    const Case cases[] = {
        {1, GPIERR_NoError, b},
        {0, GPIERR_NoError, b + 1}, // A gets its handle on this first request
        {0, GPIERR_NoError, b + 1}, // and keeps it
        {2, GPIERR_IndexOutOfBounds, 77},
        {0xFFFFFFFF, GPIERR_IndexOutOfBounds, 77},
    };
    for (const Case& c : cases) {
        std::uint32_t out = 77;
        GpiGetWorkspaceArgs args = {c.index, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspace, &args), c.result) << c.index;
        EXPECT_EQ(out, c.out) << c.index;
    }
    GpiGetWorkspaceArgs noOut = {0, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspace, &noOut), GPIERR_IllegalParameter);

    // A gap in the frame's list is reported as an invalid handle.
    m_Open = {nullptr};
    std::uint32_t out = 77;
    GpiGetWorkspaceArgs gap = {0, &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspace, &gap), GPIERR_InvalidHandle);
    EXPECT_EQ(out, 0u);
}

TEST_F(GpiWorkspaceList, ActiveWorkspace) {
    std::uint32_t out = 77;
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetActiveWorkspace, &out), GPIERR_False) << "no open document is no error";
    EXPECT_EQ(out, 77u);

    m_Open = {m_A.get()};
    m_Active = m_A.get();
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetActiveWorkspace, &out), GPIERR_False) << "A has no handle yet";
    EXPECT_EQ(out, 77u);

    GpiRegisterWorkspace(m_A.get());
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetActiveWorkspace, &out), GPIERR_NoError);
    EXPECT_EQ(out, GpiWorkspaceHandle(m_A.get()));
}

TEST_F(GpiWorkspaceList, AFailingFrameDoesNotUnwindIntoThePlugin) {
    GpiFrameServices frame;
    frame.openDocuments = []() -> std::vector<CCorvaleDoc*> { throw std::runtime_error("frame gone"); };
    GpiSetFrameServices(frame);
    std::uint32_t count = 77;
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspaceCount, &count), GPIERR_OutOfResources);
    EXPECT_EQ(count, 77u);
}

// Status-bar panes and progress for plug-ins, over the frame's own.
TEST_F(GpiDispatcher, StatusPanesAndProgressGoToTheFrame) {
    std::vector<std::string> frameLog;
    int panesInUse = 0;
    GpiFrameServices frame;
    frame.showPluginPane = [&](int width) {
        if (panesInUse == 4)
            return -1;
        frameLog.push_back("show pane " + std::to_string(panesInUse) + " width " + std::to_string(width));
        return panesInUse++;
    };
    frame.setPluginPaneText = [&](int pane, const std::string& text) {
        frameLog.push_back("pane " + std::to_string(pane) + " '" + text + "'");
    };
    frame.hidePluginPane = [&](int pane) { frameLog.push_back("hide pane " + std::to_string(pane)); };
    frame.showProgress = [&](const std::string& text, int percent) {
        frameLog.push_back("progress '" + text + "' " + std::to_string(percent));
    };
    frame.setProgress = [&](int percent) { frameLog.push_back("progress " + std::to_string(percent)); };
    frame.hideProgress = [&] { frameLog.push_back("progress gone"); };
    GpiSetFrameServices(frame);

    std::uint32_t pane = 0;
    GpiStatusPaneCreateArgs create = {120, &pane};
    ASSERT_EQ(GpiHostDispatch(GPIOP_StatusPaneCreate, &create), GPIERR_NoError);
    EXPECT_EQ(GpiGetHandleKind(pane), GPIHANDLE_StatusPane);
    GpiStatusPaneSetTextArgs text = {pane, "Routing", nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneSetText, &text), GPIERR_NoError);
    text.text = nullptr;
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneSetText, &text), GPIERR_NoError);
    std::uint32_t more = 0;
    GpiStatusPaneCreateArgs another = {10, &more};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(GpiHostDispatch(GPIOP_StatusPaneCreate, &another), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneCreate, &another), GPIERR_OutOfResources) << "all four in use";
    GpiStatusPaneCreateArgs noOut = {10, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneCreate, &noOut), GPIERR_IllegalParameter);
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneDestroy, reinterpret_cast<void*>(std::uintptr_t{pane})), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneDestroy, reinterpret_cast<void*>(std::uintptr_t{pane})),
              GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_StatusPaneSetText, &text), GPIERR_InvalidHandle) << "a destroyed pane";

    std::uint32_t progress = 0;
    GpiProgressCreateArgs bar = {"Routing", 0.25f, &progress};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ProgressCreate, &bar), GPIERR_NoError);
    EXPECT_EQ(GpiGetHandleKind(progress), GPIHANDLE_ProgressBar);
    for (float fraction : {0.5f, 2.0f, -1.0f}) {
        GpiProgressSetPosArgs move = {progress, fraction};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ProgressSetPos, &move), GPIERR_NoError);
    }
    GpiProgressSetPosArgs unknown = {pane, 0.5f};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ProgressSetPos, &unknown), GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ProgressDestroy, reinterpret_cast<void*>(std::uintptr_t{progress})), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ProgressDestroy, reinterpret_cast<void*>(std::uintptr_t{progress})),
              GPIERR_InvalidHandle);

    EXPECT_EQ(frameLog, (std::vector<std::string>{"show pane 0 width 120", "pane 0 'Routing'", "pane 0 ''",
                                                  "show pane 1 width 10", "show pane 2 width 10",
                                                  "show pane 3 width 10", "hide pane 0", "progress 'Routing' 25",
                                                  "progress 50", "progress 100", "progress 0", "progress gone"}));
}

TEST_F(GpiDispatcher, ScriptingAvailabilityIsAskedOnceAndRemembered) {
    int asked = 0;
    GpiFrameServices frame;
    frame.scriptingAvailable = [&asked] {
        ++asked;
        return true;
    };
    GpiSetFrameServices(frame);
    std::uint32_t out = 7;
    EXPECT_EQ(GpiHostDispatch(GPIOP_IsScriptingAvailable, &out), GPIERR_NoError);
    EXPECT_EQ(out, 1u);
    EXPECT_EQ(GpiHostDispatch(GPIOP_IsScriptingAvailable, &out), GPIERR_NoError);
    EXPECT_EQ(asked, 1);

    // Without an engine to ask, the answer is no.
    GpiTestReset();
    out = 7;
    EXPECT_EQ(GpiHostDispatch(GPIOP_IsScriptingAvailable, &out), GPIERR_NoError);
    EXPECT_EQ(out, 0u);
}
