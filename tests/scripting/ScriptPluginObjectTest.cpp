// Scripts that use a GPI plug-in: Plugin objects (their fixed and dynamic
// properties, their methods) and invokePlugin(), against a real plug-in the
// host loads from a plug-in folder (scriptplugin/ScriptTestPlugin.cpp), in a
// document with three themes.

#include "ScriptDocumentFixture.h"
#include "TempDir.h"

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "scripting/ScriptEngine.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The plug-in's GUID as the host writes it, and in capitals.
const char kGuid[] = "{7a3c2e10-5b4d-4c6e-9f80-1a2b3c4d5e6f}";
const char kGuidUpper[] = "{7A3C2E10-5B4D-4C6E-9F80-1A2B3C4D5E6F}";

// The host's user interface and the plug-in folder outlive the document.
struct PluginHostParts {
    corvale::CScriptedUserInterface ui;
    TempDir folder;
};

class ScriptPluginTest : protected PluginHostParts, public ScriptDocumentTest {
protected:
    ScriptPluginTest() : ScriptDocumentTest("plugin.js") {}

    void SetUp() override {
        ScriptEngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        GpiInitializeLock();
        GpiTestReset();
        std::filesystem::copy_file(CORVALE_SCRIPT_TEST_PLUGIN, folder.file("scriptplugin.gpi"));
        LoadGpiPlugins(folder.path());
        ASSERT_EQ(GpiState().m_Plugins.size(), 1u) << (ui.shown.empty() ? "" : ui.shown[0].text);
        ASSERT_EQ(GpiState().m_Plugins[0]->m_GuidText, kGuid);

        m_Saved = CAppSettings::GetInstance()->m_LoadToBottom;
        CAppSettings::GetInstance()->m_LoadToBottom = 1;
        MakeDocumentAndHandler();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(Run(std::string("var p = new Plugin('") + kGuid +
                        "'); var roads = workspace.getLayer(1);"
                        "roads.createShape([{x: 0, y: 0}, {x: 10, y: 0}, {x: 10, y: 10}]);"
                        "roads.createShape([{x: 20, y: 0}, {x: 30, y: 0}]);"))
            << output;
    }
    void TearDown() override {
        handler.reset();
        UnloadGpiPlugins();
        GpiTestReset();
        CAppSettings::GetInstance()->m_LoadToBottom = m_Saved;
        ScriptEngineTest::TearDown();
    }

    // The value of an expression as text.
    std::string Value(const std::string& expression) {
        if (!Run("var result = String(" + expression + ");"))
            return "failed: " + output;
        Run("throw result;");
        const std::string prefix = "uncaught exception: ";
        std::string line = output.substr(0, output.find("\r\n"));
        return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line;
    }
    // The first line of a failed step's report.
    std::string Error(const std::string& script) {
        if (Run("try { " + script + "; } catch (e) {} var after = 1;"))
            return "no error";
        return output.substr(0, output.find("\r\n"));
    }

private:
    int m_Saved = 0;
};

TEST_F(ScriptPluginTest, ConstructorChecksItsArgument) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"new Plugin()", "Wrong number of parameters for Plugin."},
        {"new Plugin('a', 'b')", "Wrong number of parameters for Plugin."},
        {"new Plugin(5)", "Illegal parameter to Plugin. Expected string."},
        {"new Plugin('{00000000-0000-0000-0000-000000000000}')", "Specified plugin not found."},
        {"new Plugin('')", "Specified plugin not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Error(c.script).rfind(c.message, 0), 0u) << output;
    }
}

TEST_F(ScriptPluginTest, FixedPropertiesDescribeThePlugin) {
    // A GUID in capitals finds the plug-in, which answers with its own text.
    EXPECT_EQ(Value(std::string("new Plugin('") + kGuidUpper + "').GUID"), kGuid);
    EXPECT_EQ(Value("p.name"), "Script test plug-in");
    EXPECT_EQ(Value("p.file"), folder.file("scriptplugin.gpi"));
    EXPECT_EQ(Value("p instanceof Plugin"), "true");
    // Read-only: a write leaves the value.
    EXPECT_EQ(Value("(function(){ p.GUID = 'x'; return p.GUID; })()"), kGuid);
}

TEST_F(ScriptPluginTest, DynamicPropertiesReadAndWriteThroughThePlugin) {
    EXPECT_EQ(Value("p.width"), "10");
    ASSERT_TRUE(Run("p.width = 25;")) << output;
    EXPECT_EQ(Value("p.width"), "25");
    // A second object asks the same plug-in.
    EXPECT_EQ(Value(std::string("new Plugin('") + kGuid + "').width"), "25");
    ASSERT_TRUE(Run("p.label = 'wide';")) << output;
    EXPECT_EQ(Value("p.label"), "wide");
    EXPECT_EQ(Value("typeof p.label"), "string");
    // An array written to a property goes as its elements.
    ASSERT_TRUE(Run("p.width = [7];")) << output;
    EXPECT_EQ(Value("p.width"), "7");
}

TEST_F(ScriptPluginTest, DynamicMembersAreNotEnumerableAndEachKnowsItsName) {
    EXPECT_EQ(Value("(function(){ var k = []; for (var n in p) k.push(n); return k.join(); })()"), "GUID,name,file");
    EXPECT_EQ(Value("Object.keys(p).length"), "0");
    EXPECT_EQ(Value("(function(){ var d = Object.getOwnPropertyDescriptor(p, 'width');"
                    " return [d.enumerable, typeof d.get, typeof d.set].join(); })()"),
              "false,function,function");
    // Each property has accessors of its own: width's getter reads width even
    // when called on its own.
    EXPECT_EQ(Value("(function(){ var w = Object.getOwnPropertyDescriptor(p, 'width').get;"
                    " var l = Object.getOwnPropertyDescriptor(p, 'label').get;"
                    " return [w === l, w.call(p), l.call(p)].join(); })()"),
              "false,10,start");
    // A method keeps its name when it is called through another variable.
    EXPECT_EQ(Value("(function(){ var f = p.sum; return f.call(p, 1, 2); })()"), "3");
    EXPECT_EQ(Value("Object.getOwnPropertyDescriptor(p, 'sum').enumerable"), "false");
}

TEST_F(ScriptPluginTest, MethodsTakeAnArrayOrTheArgumentsThemselves) {
    EXPECT_EQ(Value("p.describe(1, 'a', 2.5, true, new Color(1, 2, 3))"),
              "Int:1,String:a,Double:2.5,Bool:1,Color:197121");
    EXPECT_EQ(Value("p.describe([1, 'a', 2.5, true, new Color(1, 2, 3)])"),
              "Int:1,String:a,Double:2.5,Bool:1,Color:197121");
    EXPECT_EQ(Value("p.sum([1, 2]) === p.sum(1, 2)"), "true");
    EXPECT_EQ(Value("p.describe([])"), "");
    EXPECT_EQ(Value("p.describe()"), "");
    // A list answer is an array; an empty one, or none, is undefined.
    EXPECT_EQ(Value("(function(){ var a = p.echo('road', 2); return [Array.isArray(a), a.length, a[0], a[1]].join(); "
                    "})()"),
              "true,2,road,2");
    EXPECT_EQ(Value("p.echo()"), "undefined");
    EXPECT_EQ(Value("p.first()"), "undefined");
    EXPECT_EQ(Value("(function(){ var c = p.first(new Color(10, 20, 30)); return [c instanceof Color, c.red, "
                    "c.green, c.blue].join(); })()"),
              "true,10,20,30");
}

TEST_F(ScriptPluginTest, ValuesAPluginCannotTakeStopTheCall) {
    const char* const scripts[] = {"p.describe([[1, 2]])", "p.describe(new Coord(1, 2))", "p.describe(null)",
                                   "p.describe(1, undefined)", "p.describe({})"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        EXPECT_EQ(Error(script).rfind("Unsupported array element in call to invokePlugin().", 0), 0u) << output;
    }
}

TEST_F(ScriptPluginTest, WorkspaceLayerAndShapeGoAsHandles) {
    EXPECT_EQ(Value("p.describe(workspace, workspace.getLayer(1), workspace.getLayer(1).getShape(1))"),
              "Handle:" + std::to_string(record.workspace) + ",Handle:" + std::to_string(GpiThemeHandle(roads)) +
                  ",Handle:" + std::to_string(GpiShapeHandle(roads->GetShape(1))));
}

TEST_F(ScriptPluginTest, ThemeHandleAnswerIsTheCachedLayer) {
    EXPECT_EQ(Value("p.first(workspace.getLayer(1)) === workspace.getLayer(1)"), "true");
    EXPECT_EQ(Value("p.first(workspace.getLayer(2)).name"), "Parcels");
    // In a list too.
    EXPECT_EQ(Value("p.echo(workspace.getLayer(0), 3)[0] === workspace.getLayer(0)"), "true");
}

TEST_F(ScriptPluginTest, ShapeHandleAnswerIsANewShapeOfItsLayer) {
    EXPECT_EQ(Value("(function(){ var s = roads.getShape(1); var t = p.first(s);"
                    " return [t === s, t.index === s.index, t.getCoordCount(0)].join(); })()"),
              "false,true,2");
}

TEST_F(ScriptPluginTest, ThemesThePluginAddedKeepTheLayerCacheInOrder) {
    CAppSettings::GetInstance()->m_LoadToBottom = 0;
    ASSERT_TRUE(Run("var before = [workspace.getLayer(0), workspace.getLayer(1), workspace.getLayer(2)];"
                    "var added = p.addTheme('Added');"))
        << output;
    ASSERT_EQ(document.m_themes.size(), 4u);
    EXPECT_EQ(Value("added.name"), "Added");
    EXPECT_EQ(Value("added === workspace.getLayer(0)"), "true");
    EXPECT_EQ(Value("before[0] === workspace.getLayer(1) && before[2] === workspace.getLayer(3)"), "true");
}

TEST_F(ScriptPluginTest, ZeroHandleIsNullOnlyAsTheOneAnswer) {
    EXPECT_EQ(Value("p.zero() === null"), "true");
    EXPECT_EQ(Error("p.zero(true)").rfind("Corvale JavaScript does not support the Corvale object returned", 0), 0u)
        << output;
}

TEST_F(ScriptPluginTest, AnswersScriptsCannotHoldAreReported) {
    EXPECT_EQ(Error("p.badType()").rfind("Unsupported array element in call to invokePlugin().", 0), 0u) << output;
    EXPECT_EQ(Error("p.workspace()").rfind("Corvale JavaScript does not support the Corvale object returned from "
                                           "invokePlugin(). Only shapes and themes are supported as return values.",
                                           0),
              0u)
        << output;
}

TEST_F(ScriptPluginTest, PluginErrorCodesStopTheScriptWithTheirMessages) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"p.fail(1)", "Error invoking plug-in. Plug-in execution failure."},
        {"invokePlugin('{00000000-0000-0000-0000-000000000000}')", "Error invoking plug-in. Plug-in not found."},
        {"p.fail(2)", "Error invoking plug-in. Method or property not defined."},
        {"p.fail(101)", "Error invoking plug-in. Error interpreting parameters."},
        {"p.width = 'wide'", "Error invoking plug-in. Error interpreting parameters."},
        {"p.sum('a')", "Error invoking plug-in. Error interpreting parameters."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Error(c.script).rfind(c.message, 0), 0u) << output;
    }
    // A plug-in that no longer takes script calls.
    ASSERT_TRUE(Run("p.fail(3);")) << output;
    EXPECT_EQ(Error("p.width").rfind("Error invoking plug-in. Plug-in has no scripting support.", 0), 0u) << output;
    EXPECT_EQ(Error(std::string("invokePlugin('") + kGuid + "')")
                  .rfind("Error invoking plug-in. Plug-in has no scripting support.", 0),
              0u)
        << output;
}

TEST_F(ScriptPluginTest, InvokePluginCallsTheHookWithoutAName) {
    EXPECT_EQ(Value(std::string("invokePlugin('") + kGuidUpper + "', 1, 'a')"), "Int:1,String:a");
    EXPECT_EQ(Value(std::string("invokePlugin('") + kGuid + "', [1, 'a'])"), "Int:1,String:a");
    EXPECT_EQ(Value(std::string("invokePlugin('") + kGuid + "')"), "");
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"invokePlugin()", "At least one argument expected in call to invokePlugin()"},
        {"invokePlugin(5, 1)", "Illegal argument 1 in call to invokePlugin(). Expected String."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Error(c.script).rfind(c.message, 0), 0u) << output;
    }
    EXPECT_EQ(Error(std::string("invokePlugin('") + kGuid + "', [new Coord(1, 2)])")
                  .rfind("Unsupported array element in call to invokePlugin().", 0),
              0u)
        << output;
}

TEST_F(ScriptPluginTest, PluginObjectOfAnUnloadedPluginReportsInsteadOfCalling) {
    UnloadGpiPlugins();
    const char* const scripts[] = {"p.width", "p.width = 3", "p.sum(1)", "p.GUID", "p.name"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        EXPECT_EQ(Error(script).rfind("Trying to access a null Plugin object.", 0), 0u) << output;
    }
}

TEST_F(ScriptPluginTest, PluginObjectWithoutADocumentReports) {
    record.workspace = 0;
    EXPECT_EQ(Error("p.width").rfind("Trying to access a null Plugin object", 0), 0u) << output;
}

}  // namespace
