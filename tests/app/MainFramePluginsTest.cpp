// What GPI plug-ins add to the real main frame: toolbars built from their
// descriptions, whose buttons reach only their owner and are enabled and
// checked by the plug-in; command items; tool panes; and the workspace
// scripts plug-ins compile, run and call into.

#include "AppTestSupport.h"

#include "UiTestPluginControl.h"
#include "app/CorvaleToolBar.h"
#include "app/CustomToolPane.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/JSHandler.h"
#include "scripting/JSInterruptDialog.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <QToolBar>

#include <dlfcn.h>
#include <fstream>

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

const char* const kGuidA = "{5e1f0a11-2b3c-4d5e-8f90-a1b2c3d4e5a1}";
const char* const kGuidB = "{5e1f0a11-2b3c-4d5e-8f90-a1b2c3d4e5b2}";

class PluginWindowsTest : public AppTest {
protected:
    void StartWithPlugins() {
        ASSERT_TRUE(Start());
        LoadGpiPlugins(CORVALE_GPI_UI_TEST_PLUGINS);
        a = Control(kGuidA);
        b = Control(kGuidB);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
    }

    static GpiUiTestControl* Control(const char* guid) {
        CGpiPlugin* plugin = FindGpiPluginByGuid(guid);
        if (plugin == nullptr || plugin->m_Module == nullptr)
            return nullptr;
        auto get = reinterpret_cast<GpiUiTestGetControlFn>(dlsym(plugin->m_Module, GPI_UI_TEST_CONTROL_ENTRY));
        return get != nullptr ? get() : nullptr;
    }

    CCorvaleToolBar* ToolBarOf(const GpiUiTestControl* control) {
        for (CCorvaleToolBar* bar : Frame().GetPluginToolBars())
            if (bar->GetOwner() == control->identity)
                return bar;
        return nullptr;
    }

    // The frame's command id of a plug-in's button.
    unsigned CommandOf(const GpiUiTestControl* control, std::uint32_t buttonId) {
        for (unsigned id = 21000; id <= 21999; ++id) {
            const CMainFrame::PluginButton* button = Frame().FindPluginButton(id);
            if (button != nullptr && button->plugin == control->identity && button->oldId == buttonId)
                return id;
        }
        return 0;
    }

    void Click(QToolBar* bar, unsigned id) {
        QAction* action = Frame().GetCommandAction(id);
        ASSERT_NE(action, nullptr);
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    int SetButton(int op, std::uint32_t toolbar, std::uint32_t identity, std::uint32_t buttonId,
                  std::uint32_t value) {
        GpiToolBarButtonArgs args = {toolbar, identity, buttonId, value};
        return GpiHostDispatch(op, &args);
    }

    GpiUiTestControl* a = nullptr;
    GpiUiTestControl* b = nullptr;
};

TEST_F(PluginWindowsTest, AToolbarFromItsDescriptionAnswersOnlyItsOwner) {
    StartWithPlugins();
    ASSERT_EQ(a->toolbarResult, GPIERR_NoError);
    ASSERT_EQ(b->toolbarResult, GPIERR_NoError);
    ASSERT_NE(a->toolbar, b->toolbar);
    CCorvaleToolBar* barA = ToolBarOf(a);
    CCorvaleToolBar* barB = ToolBarOf(b);
    ASSERT_NE(barA, nullptr);
    ASSERT_NE(barB, nullptr);
    EXPECT_EQ(barA->windowTitle(), QStringLiteral("ui_a Toolbar"));

    // Three entries, the separator among them; the buttons numbered in turn.
    std::uint32_t count = 0;
    GpiToolBarGetButtonCountArgs countArgs = {a->toolbar, &count};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolBarGetButtonCount, &countArgs), GPIERR_NoError);
    EXPECT_EQ(count, 3u);
    const unsigned firstA = CommandOf(a, GPI_UI_TEST_BUTTON_FIRST);
    const unsigned secondA = CommandOf(a, GPI_UI_TEST_BUTTON_SECOND);
    const unsigned firstB = CommandOf(b, GPI_UI_TEST_BUTTON_FIRST);
    EXPECT_EQ(secondA, firstA + 1);
    EXPECT_GE(firstA, 21000u);
    EXPECT_NE(firstB, 0u);

    // The description: the prompt before the line feed, the tooltip after.
    std::string prompt, tooltip;
    ASSERT_TRUE(Frame().GetPluginButtonTexts(firstA, prompt, tooltip));
    EXPECT_EQ(prompt, "Open the route wizard");
    EXPECT_EQ(tooltip, "Route wizard");
    ASSERT_TRUE(Frame().GetPluginButtonTexts(secondA, prompt, tooltip));
    EXPECT_EQ(prompt, "");
    EXPECT_EQ(tooltip, "Adjust route end points");
    EXPECT_FALSE(Frame().GetPluginButtonTexts(22010, prompt, tooltip));
    EXPECT_FALSE(Frame().GetCommandAction(firstA)->icon().isNull());

    Frame().show();
    Click(barA, firstA);
    Click(barB, firstB);
    Click(barA, secondA);
    ASSERT_EQ(a->clickCount, 2u);
    // Each click reaches its plug-in with the plug-in's own id of the button.
    EXPECT_EQ(a->clicks[0], GPI_UI_TEST_BUTTON_FIRST);
    EXPECT_EQ(a->clicks[1], GPI_UI_TEST_BUTTON_SECOND);
    ASSERT_EQ(b->clickCount, 1u);
    EXPECT_EQ(b->clicks[0], GPI_UI_TEST_BUTTON_FIRST);

    // Disabled by its plug-in, a button takes no click; another plug-in's
    // identity finds no button to change.
    QAction* action = Frame().GetCommandAction(firstA);
    ASSERT_EQ(SetButton(GPIOP_ToolBarEnableButton, a->toolbar, a->identity, GPI_UI_TEST_BUTTON_FIRST, 0),
              GPIERR_NoError);
    EXPECT_FALSE(action->isEnabled());
    Click(barA, firstA);
    EXPECT_EQ(a->clickCount, 2u);
    EXPECT_EQ(SetButton(GPIOP_ToolBarEnableButton, a->toolbar, b->identity, GPI_UI_TEST_BUTTON_FIRST, 1),
              GPIERR_NoError);
    EXPECT_EQ(SetButton(GPIOP_ToolBarEnableButton, a->toolbar, a->identity, 999, 1), GPIERR_NoError);
    Frame().UpdateToolbarCommands();
    EXPECT_FALSE(action->isEnabled()) << "the idle update keeps the plug-in's state";
    ASSERT_EQ(SetButton(GPIOP_ToolBarEnableButton, a->toolbar, a->identity, GPI_UI_TEST_BUTTON_FIRST, 7),
              GPIERR_NoError);
    EXPECT_TRUE(action->isEnabled());

    // Checked by its plug-in, a button stays checked through clicks and
    // updates until the plug-in clears it.
    ASSERT_EQ(SetButton(GPIOP_ToolBarCheckButton, a->toolbar, a->identity, GPI_UI_TEST_BUTTON_FIRST, 1),
              GPIERR_NoError);
    EXPECT_TRUE(action->isChecked());
    Click(barA, firstA);
    Frame().UpdateToolbarCommands();
    EXPECT_TRUE(action->isChecked());
    ASSERT_EQ(SetButton(GPIOP_ToolBarCheckButton, a->toolbar, a->identity, GPI_UI_TEST_BUTTON_FIRST, 0),
              GPIERR_NoError);
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(Frame().GetCommandAction(firstB)->isChecked());

    std::uint32_t state = kUntouched;
    GpiToolBarGetStateArgs stateArgs = {a->toolbar, &state};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolBarGetState, &stateArgs), GPIERR_NoError);
    EXPECT_EQ(state, 1u);
    barA->hide();
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolBarGetState, &stateArgs), GPIERR_NoError);
    EXPECT_EQ(state, 0u);
}

TEST_F(PluginWindowsTest, ToolbarRefusals) {
    StartWithPlugins();
    static const GpiToolBarButtonDesc buttons[] = {{7, "x", nullptr}};
    static const GpiToolBarDesc desc = {300, 1, buttons};
    std::uint32_t toolbar = kUntouched;
    std::uint32_t count = kUntouched;
    GpiToolBarCreateArgs noOut = {a->identity, &desc, 300, "t", nullptr};
    GpiToolBarCreateArgs otherResource = {a->identity, &desc, 301, "t", &toolbar};
    GpiToolBarCreateArgs noDescription = {a->identity, nullptr, 300, "t", &toolbar};
    GpiToolBarGetButtonCountArgs countUnknown = {a->identity, &count};
    GpiToolBarGetButtonCountArgs countNoOut = {a->toolbar, nullptr};
    GpiToolBarGetStateArgs stateUnknown = {0, &count};
    GpiToolBarButtonArgs enableUnknown = {a->commandItem, a->identity, 101, 0};
    struct Case {
        const char* name;
        int op;
        void* args;
        int expected;
    };
    const Case cases[] = {
        {"create null block", GPIOP_ToolBarCreate, nullptr, GPIERR_IllegalParameter},
        {"create null out", GPIOP_ToolBarCreate, &noOut, GPIERR_IllegalParameter},
        {"create other resource", GPIOP_ToolBarCreate, &otherResource, GPIERR_IllegalParameter},
        {"create no description", GPIOP_ToolBarCreate, &noDescription, GPIERR_IllegalParameter},
        {"count identity as toolbar", GPIOP_ToolBarGetButtonCount, &countUnknown, GPIERR_InvalidHandle},
        {"count null out", GPIOP_ToolBarGetButtonCount, &countNoOut, GPIERR_IllegalParameter},
        {"state handle 0", GPIOP_ToolBarGetState, &stateUnknown, GPIERR_InvalidHandle},
        {"enable item as toolbar", GPIOP_ToolBarEnableButton, &enableUnknown, GPIERR_InvalidHandle},
        {"check item as toolbar", GPIOP_ToolBarCheckButton, &enableUnknown, GPIERR_InvalidHandle},
    };
    const std::size_t bars = Frame().GetPluginToolBars().size();
    for (const Case& c : cases) {
        EXPECT_EQ(GpiHostDispatch(c.op, c.args), c.expected) << c.name;
        EXPECT_EQ(toolbar, kUntouched) << c.name;
        EXPECT_EQ(count, kUntouched) << c.name;
    }
    EXPECT_EQ(Frame().GetPluginToolBars().size(), bars);
}

TEST_F(PluginWindowsTest, CommandItemsAreEnabledByTheirPlugin) {
    StartWithPlugins();
    ASSERT_EQ(a->commandItemResult, GPIERR_NoError);
    ASSERT_NE(a->commandItem, 0u);
    unsigned id = 0;
    for (const auto& item : Frame().GetPluginCommandItems())
        if (item.plugin == a->identity)
            id = item.commandId;
    QAction* action = Frame().GetCommandAction(id);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("Route &Options"));
    Frame().UpdateCommandUI(action);
    EXPECT_TRUE(action->isEnabled());

    GpiCommandItemEnableArgs disable = {a->commandItem, 0};
    ASSERT_EQ(GpiHostDispatch(GPIOP_CommandItemEnable, &disable), GPIERR_NoError);
    EXPECT_TRUE(action->isEnabled()) << "shown at the next update";
    Frame().UpdateCommandUI(action);
    EXPECT_FALSE(action->isEnabled());
    GpiCommandItemEnableArgs enable = {a->commandItem, 2};
    ASSERT_EQ(GpiHostDispatch(GPIOP_CommandItemEnable, &enable), GPIERR_NoError);
    Frame().UpdateCommandUI(action);
    EXPECT_TRUE(action->isEnabled());

    action->trigger();
    ASSERT_EQ(a->itemCount, 1u);
    EXPECT_EQ(a->items[0], a->commandItem);
    EXPECT_EQ(b->itemCount, 0u);

    GpiCommandItemEnableArgs unknown = {a->toolbar, 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_CommandItemEnable, &unknown), GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_CommandItemEnable, nullptr), GPIERR_IllegalParameter);
}

TEST_F(PluginWindowsTest, ToolPanes) {
    StartWithPlugins();
    const std::uint32_t pixels[4] = {0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u};
    const GpiBitmap icon = {2, 2, 8, pixels};

    struct Refusal {
        const char* name;
        std::uint32_t identity;
        const char* caption;
        int expected;
    };
    const Refusal refusals[] = {
        {"identity 0", 0, "Pane", GPIERR_IllegalParameter},
        {"no caption", a->identity, nullptr, GPIERR_IllegalParameter},
        {"not a plug-in", a->toolbar, "Pane", GPIERR_InvalidHandle},
    };
    for (const Refusal& r : refusals) {
        std::uint32_t tpane = kUntouched;
        GpiToolPaneCreateArgs args = {r.identity, r.caption, nullptr, nullptr, &tpane};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ToolPaneCreate, &args), r.expected) << r.name;
        EXPECT_EQ(tpane, kUntouched) << r.name;
    }

    void* window = nullptr;
    std::uint32_t tpane = 0;
    GpiToolPaneCreateArgs create = {a->identity, "Route Results", &icon, &window, &tpane};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolPaneCreate, &create), GPIERR_NoError);
    ASSERT_NE(window, nullptr);
    auto* client = static_cast<QWidget*>(window);
    auto* pane = dynamic_cast<CCustomToolPane*>(client->parentWidget());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->windowTitle(), QStringLiteral("Route Results"));
    EXPECT_FALSE(pane->windowIcon().isNull());

    // The plug-in's window fills the pane.
    auto* content = new QWidget(client);
    pane->resize(300, 240);
    pane->show();
    QApplication::processEvents();
    EXPECT_EQ(content->size(), client->size());
    EXPECT_EQ(pane->GetClientWidth(), client->width());

    // Made twice, two handles; neither needs a window word.
    std::uint32_t second = 0;
    GpiToolPaneCreateArgs again = {a->identity, "Route Results", nullptr, nullptr, &second};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolPaneCreate, &again), GPIERR_NoError);
    EXPECT_NE(second, tpane);

    void* found = nullptr;
    GpiToolPaneGetWindowArgs get = {tpane, &found};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolPaneGetWindow, &get), GPIERR_NoError);
    EXPECT_EQ(found, window);
    std::uint32_t query = kUntouched;
    GpiToolPaneQueryArgs queryArgs = {tpane, &query};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolPaneQuery, &queryArgs), GPIERR_NoError);
    EXPECT_EQ(query, 0u);

    // Released, the handle is gone and the pane stays.
    ASSERT_EQ(GpiHostDispatch(GPIOP_ToolPaneRelease, reinterpret_cast<void*>(std::uintptr_t{tpane})),
              GPIERR_NoError);
    found = nullptr;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ToolPaneGetWindow, &get), GPIERR_InvalidHandle);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ToolPaneQuery, &queryArgs), GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ToolPaneRelease, reinterpret_cast<void*>(std::uintptr_t{tpane})),
              GPIERR_InvalidHandle);
    EXPECT_TRUE(pane->isVisible());
    GpiToolPaneGetWindowArgs noOut = {second, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ToolPaneGetWindow, &noOut), GPIERR_IllegalParameter);
}

class PluginScriptsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
#ifdef CORVALE_SCRIPT_ENGINE
        SetScriptEngineLibraryPath(QString::fromUtf8(CORVALE_SCRIPT_ENGINE));
#else
        GTEST_SKIP() << "the script engine bridge is not built";
#endif
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = m_Dir.path() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    bool ConsoleShown(CCorvaleDoc* doc) {
        auto* console = dynamic_cast<CConsoleDialog*>(doc->m_console);
        return console != nullptr && console->isVisible();
    }
};

TEST_F(PluginScriptsTest, CompileRunCallAndDestroy) {
    ASSERT_TRUE(Start());
    CCorvaleDoc* doc = m_App->OnFileNew();
    ASSERT_NE(doc, nullptr);
    const std::uint32_t workspace = GpiWorkspaceHandle(doc);
    const std::string good = Write("good.js", "var calls = 0;\n"
                                              "function bump() { calls++; if (calls > 1) throw new Error('twice'); }\n");
    const std::string broken = Write("broken.js", "function bump( {\n");

    // A syntax error: no context, the console shows why.
    std::uint32_t script = kUntouched;
    GpiWorkspaceCreateScriptArgs bad = {workspace, broken.c_str(), &script};
    EXPECT_EQ(GpiHostDispatch(GPIOP_WorkspaceCreateScript, &bad), GPIERR_ScriptError);
    EXPECT_EQ(script, 0u);
    EXPECT_TRUE(ConsoleShown(doc));
    static_cast<CConsoleDialog*>(doc->m_console)->hide();

    GpiWorkspaceCreateScriptArgs create = {workspace, good.c_str(), &script};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceCreateScript, &create), GPIERR_NoError);
    ASSERT_NE(script, 0u);
    EXPECT_EQ(GpiGetHandleKind(script), GPIHANDLE_JavaScript);
    void* handle = reinterpret_cast<void*>(std::uintptr_t{script});
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptRun, handle), GPIERR_NoError);

    GpiScriptCallFunctionArgs bump = {script, "bump"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptCallFunction, &bump), GPIERR_NoError);
    EXPECT_FALSE(ConsoleShown(doc));
    // The second call throws: a script error, and the console is shown.
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptCallFunction, &bump), GPIERR_ScriptError);
    EXPECT_TRUE(ConsoleShown(doc));

    struct Case {
        const char* name;
        int op;
        void* args;
        int expected;
    };
    std::uint32_t out = kUntouched;
    GpiScriptCallFunctionArgs missing = {script, "noSuchFunction"};
    GpiScriptCallFunctionArgs noName = {script, nullptr};
    GpiScriptCallFunctionArgs unknown = {workspace, "bump"};
    GpiWorkspaceCreateScriptArgs noFile = {workspace, nullptr, &out};
    GpiWorkspaceCreateScriptArgs noOut = {workspace, good.c_str(), nullptr};
    GpiWorkspaceCreateScriptArgs noWorkspace = {script, good.c_str(), &out};
    GpiWorkspaceCreateScriptArgs noSuchFile = {workspace, "/nonexistent/x.js", &out};
    const Case cases[] = {
        {"unknown function", GPIOP_ScriptCallFunction, &missing, GPIERR_ScriptError},
        {"no function name", GPIOP_ScriptCallFunction, &noName, GPIERR_IllegalParameter},
        {"workspace as script", GPIOP_ScriptCallFunction, &unknown, GPIERR_InvalidHandle},
        {"run workspace as script", GPIOP_ScriptRun, reinterpret_cast<void*>(std::uintptr_t{workspace}),
         GPIERR_InvalidHandle},
        {"create without file", GPIOP_WorkspaceCreateScript, &noFile, GPIERR_IllegalParameter},
        {"create without out", GPIOP_WorkspaceCreateScript, &noOut, GPIERR_IllegalParameter},
        {"create in a script", GPIOP_WorkspaceCreateScript, &noWorkspace, GPIERR_InvalidHandle},
        {"create from a missing file", GPIOP_WorkspaceCreateScript, &noSuchFile, GPIERR_ScriptError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GpiHostDispatch(c.op, c.args), c.expected) << c.name;
    EXPECT_EQ(out, 0u) << "a failed compile answers 0";

    ASSERT_EQ(GpiHostDispatch(GPIOP_ScriptDestroy, handle), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptRun, handle), GPIERR_InvalidHandle);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptDestroy, handle), GPIERR_InvalidHandle);

    // A script that compiles but throws when run: a script error, and the
    // console is shown.
    static_cast<CConsoleDialog*>(doc->m_console)->hide();
    const std::string throwing = Write("throwing.js", "throw new Error('at the top');\n");
    std::uint32_t thrower = 0;
    GpiWorkspaceCreateScriptArgs createThrowing = {workspace, throwing.c_str(), &thrower};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceCreateScript, &createThrowing), GPIERR_NoError);
    EXPECT_FALSE(ConsoleShown(doc));
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptRun, reinterpret_cast<void*>(std::uintptr_t{thrower})), GPIERR_ScriptError);
    EXPECT_TRUE(ConsoleShown(doc));

    // A context the plug-in never destroys goes with its workspace.
    std::uint32_t kept = 0;
    GpiWorkspaceCreateScriptArgs keep = {workspace, good.c_str(), &kept};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceCreateScript, &keep), GPIERR_NoError);
    GpiForgetWorkspace(doc);
    EXPECT_EQ(GpiGetHandleKind(kept), GPIHANDLE_Unknown);
}

// A plug-in's script that never ends is offered Cancel as a user's script is;
// pressing it ends the call with a script error and the program goes on.
TEST_F(PluginScriptsTest, AnEndlessPluginScriptIsCancelled) {
    ASSERT_TRUE(Start());
    CCorvaleDoc* doc = m_App->OnFileNew();
    ASSERT_NE(doc, nullptr);
    const std::uint32_t workspace = GpiWorkspaceHandle(doc);
    const std::string path = Write("spin.js", "var calls = 0;\n"
                                              "function ping() { calls++; }\n"
                                              "function spin() { for (;;) {} }\n");
    std::uint32_t script = 0;
    GpiWorkspaceCreateScriptArgs create = {workspace, path.c_str(), &script};
    ASSERT_EQ(GpiHostDispatch(GPIOP_WorkspaceCreateScript, &create), GPIERR_NoError);
    void* handle = reinterpret_cast<void*>(std::uintptr_t{script});
    ASSERT_EQ(GpiHostDispatch(GPIOP_ScriptRun, handle), GPIERR_NoError);

    int clicks = 0;
    // Fires while the script runs, once the Cancel dialog is up.
    auto clickCancel = [&clicks] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = dynamic_cast<CJSInterruptDialog*>(widget);
            if (dialog != nullptr && dialog->isVisible()) {
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
                ++clicks;
            }
        }
    };
    QTimer::singleShot(2600, clickCancel);
    GpiScriptCallFunctionArgs spin = {script, "spin"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptCallFunction, &spin), GPIERR_ScriptError);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(ConsoleShown(doc));
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<CJSInterruptDialog*>(widget), nullptr) << "the dialog goes with its run";

    GpiScriptCallFunctionArgs ping = {script, "ping"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptCallFunction, &ping), GPIERR_NoError);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ScriptDestroy, handle), GPIERR_NoError);
}

} // namespace
