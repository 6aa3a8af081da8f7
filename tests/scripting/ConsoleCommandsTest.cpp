// The console's commands as a document's console registers them: help, debug,
// target, cd, dir, aliases, run with its command files and scripts, set with
// load and the $ methods, type, explore, edit, dump.

#include "scripting/ConsoleCommands.h"

#include "ConsoleTestSupport.h"
#include "ScriptTestSupport.h"
#include "TempDir.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/ConsoleEdit.h"
#include "scripting/DocumentConsole.h"
#include "scripting/GpiScripts.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The process's folder is the console's start folder: the fixture moves to a
// scratch folder before the console is made and moves back afterwards.
class ConsoleCommandsTest : public ::testing::Test {
protected:
    ConsoleCommandsTest()
        : m_SavedFolder(fs::current_path()), m_SavedSettings(*CAppSettings::GetInstance()),
          m_Start(Canonical(m_Dir.path())) {
        fs::current_path(m_Start);
        m_Console = std::make_unique<CConsoleDialog>();
        RegisterDocumentConsoleCommands(*m_Console, m_Document);
        SetConsoleShell([this](const std::string& verb, const std::string& path) {
            shellCalls.push_back(verb + " " + path);
            return true;
        });
    }
    ~ConsoleCommandsTest() override {
        SetConsoleShell({});
        m_Console.reset();
        fs::current_path(m_SavedFolder);
        *CAppSettings::GetInstance() = m_SavedSettings;
    }
    static std::string Canonical(const std::string& path) { return fs::canonical(path).string(); }

    // Runs one line; the answer is kept in `answer`.
    bool Run(const std::string& line) {
        answer.clear();
        return m_Console->GetProcessor().Execute(line, answer);
    }
    std::string File(const std::string& name) const { return m_Start + "/" + name; }
    std::string Buffer() const { return m_Console->GetOutputEdit()->GetBuffer().GetText(); }

    fs::path m_SavedFolder;
    CAppSettings m_SavedSettings;
    TempDir m_Dir;
    std::string m_Start;
    CCorvaleDoc m_Document;
    std::unique_ptr<CConsoleDialog> m_Console;
    std::string answer;
    std::vector<std::string> shellCalls;
};

TEST_F(ConsoleCommandsTest, HelpListsEveryCommandInOrderAndExplainsOne) {
    ASSERT_TRUE(Run("help"));
    EXPECT_EQ(answer, "Cmd\tDescr\r\n----------------\r\n"
                      "help, ?\tThis help.\r\n"
                      "clear\tClear console.\r\n"
                      "dump\tDump console to file.\r\n"
                      "debug\tDebug mode.\r\n"
                      "target\tLog target.\r\n"
                      "exit\tClose this window.\r\n"
                      "load\tLoad a theme.\r\n"
                      "cd\tCurrent working directory.\r\n"
                      "dir\tList directory content.\r\n"
                      "run\tRun a script file.\r\n"
                      "echo\tPrint text to console.\r\n"
                      "type\tPrint a text file to console.\r\n"
                      "alias\tCreate or list aliases.\r\n"
                      "explore\tOpen the file manager.\r\n"
                      "edit\tEdit a text file.\r\n"
                      "set\tSet a variable.\r\n");

    ASSERT_TRUE(Run("? DIR"));
    EXPECT_EQ(answer, "Lists directory content.\r\ndir [<pattern>]\r\nIf <pattern> is not supplied, all files are listed.\r\n");
    ASSERT_TRUE(Run("help ?"));
    EXPECT_EQ(Count(answer, "Help on all available commands."), 1u);
    ASSERT_TRUE(Run("help frobnicate"));
    EXPECT_EQ(answer, "No help available for 'frobnicate'.\r\n");
}

struct DebugCase {
    const char* args;
    unsigned char before;
    unsigned char after;
    bool ok;
};

TEST_F(ConsoleCommandsTest, DebugTakesOnOrOffAndTheFlagsNamed) {
    const DebugCase cases[] = {
        {"", 5, 5, true},
        {"on scripts", 0, 8, true},
        {"ON", 0, 15, true},
        {"off", 15, 0, true},
        {"  on  mouse   loading", 0, 3, true},
        {"off plugins", 15, 11, true},
        {"OFF SCRIPTS MOUSE", 15, 6, true},
        {"onward", 0, 0, false},
        {"on bogus", 4, 4, false},
        {"on mouse bogus", 4, 4, false},
        {"maybe", 1, 1, false},
    };
    for (const DebugCase& c : cases) {
        SCOPED_TRACE(c.args);
        m_Document.m_debugFlags = c.before;
        EXPECT_EQ(Run(std::string("debug ") + c.args), c.ok);
        EXPECT_EQ(m_Document.m_debugFlags, c.after);
        if (!c.ok) {
            EXPECT_EQ(answer, "Invalid argument '" + ConsoleTrim(c.args) + "'.\r\n");
        }
    }
    m_Document.m_debugFlags = 8 | 1;
    ASSERT_TRUE(Run("debug"));
    EXPECT_EQ(answer, "mouse\ton\r\nloading\toff\r\nplugins\toff\r\nscripts\ton\r\n");
}

TEST_F(ConsoleCommandsTest, TargetSwitchesTheLogBetweenFileAndConsole) {
    CConsoleEdit* edit = m_Console->GetOutputEdit();
    edit->EnableLog(true);
    ASSERT_TRUE(Run("target"));
    EXPECT_EQ(answer, "Target: console.\r\n");

    ASSERT_TRUE(Run("target file run.log"));
    EXPECT_EQ(answer, "Target: " + File("run.log") + ".\r\n");
    EXPECT_TRUE(edit->IsFileTarget());
    m_Console->PrintLine("to the file");
    ASSERT_TRUE(Run("TARGET"));
    EXPECT_EQ(answer, "Target: " + File("run.log") + ".\r\n");

    ASSERT_TRUE(Run("target Console"));
    EXPECT_EQ(answer, "Target: console.\r\n");
    EXPECT_FALSE(edit->IsFileTarget());
    EXPECT_EQ(ReadText(File("run.log")), "to the file\r\n");

    // The dialog: Cancel changes nothing; a name chosen is used.
    corvale::CScriptedUserInterface ui;
    ui.saveAnswers = {"", File("chosen.log")};
    ASSERT_TRUE(Run("target file"));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(edit->IsFileTarget());
    ASSERT_TRUE(Run("target file"));
    EXPECT_EQ(answer, "Target: " + File("chosen.log") + ".\r\n");
    ASSERT_EQ(ui.saveRequests.size(), 2u);
    EXPECT_EQ(ui.saveRequests[0].defaultExtension, "log");
    EXPECT_EQ(ui.saveRequests[0].filter, "Text Files (*.txt;*.log)|*.txt; *.log||");

    EXPECT_FALSE(Run("target file no-such-folder/x.log"));
    EXPECT_EQ(answer, "Target: Error opening file for writing.\r\nSetting target to console.\r\n");
    EXPECT_FALSE(edit->IsFileTarget());
    EXPECT_FALSE(Run("target printer"));
    EXPECT_EQ(answer, "Target: Invalid argument 'printer'.\r\n");
}

TEST_F(ConsoleCommandsTest, CdMovesTheConsoleAndTheProcessAndTildeGoesBack) {
    fs::create_directories(File("data/deep"));
    ASSERT_TRUE(Run("cd"));
    EXPECT_EQ(answer, m_Start + "\r\n");

    ASSERT_TRUE(Run("cd data"));
    EXPECT_EQ(answer, File("data") + "\r\n");
    EXPECT_EQ(fs::current_path().string(), File("data"));
    ASSERT_TRUE(Run("cd deep/.."));
    EXPECT_EQ(answer, File("data") + "\r\n");
    ASSERT_TRUE(Run("cd deep"));

    EXPECT_FALSE(Run("cd nowhere"));
    EXPECT_EQ(answer, "No such directory.\r\n");
    EXPECT_EQ(fs::current_path().string(), File("data/deep"));

    ASSERT_TRUE(Run("cd ~"));
    EXPECT_EQ(answer, m_Start + "\r\n");
    EXPECT_EQ(fs::current_path().string(), m_Start);
}

TEST_F(ConsoleCommandsTest, DirListsMatchingNamesWithFoldersMarked) {
    WriteText(File("roads.shp"), "");
    WriteText(File("RIVERS.SHP"), "");
    WriteText(File("notes.txt"), "");
    WriteText(File("README"), "");
    fs::create_directories(File("data"));
    ASSERT_TRUE(Run("dir *.shp"));
    EXPECT_EQ(answer, "    RIVERS.SHP\r\n    roads.shp\r\n");
    ASSERT_TRUE(Run("dir"));
    EXPECT_EQ(answer, "    README\r\n    RIVERS.SHP\r\n<D> data\r\n    notes.txt\r\n    roads.shp\r\n");
    ASSERT_TRUE(Run("dir r?ads.*"));
    EXPECT_EQ(answer, "    roads.shp\r\n");
    ASSERT_TRUE(Run("dir *.dbf"));
    EXPECT_EQ(answer, "");
    // A folder before the pattern lists that folder.
    WriteText(File("data/lakes.shp"), "");
    ASSERT_TRUE(Run("dir data/*.shp"));
    EXPECT_EQ(answer, "    lakes.shp\r\n");
    ASSERT_TRUE(Run("dir " + File("data") + "/"));
    EXPECT_EQ(answer, "    lakes.shp\r\n");
}

TEST_F(ConsoleCommandsTest, AliasTypedInCapitalsRunsItsTarget) {
    WriteText(File("roads.shp"), "");
    WriteText(File("notes.txt"), "");
    ASSERT_TRUE(Run("alias ll dir"));
    ASSERT_TRUE(Run("LL *.SHP"));
    EXPECT_EQ(answer, "    roads.shp\r\n");

    ASSERT_TRUE(Run("alias home cd ~"));
    ASSERT_TRUE(Run("alias"));
    EXPECT_EQ(answer, "ll\tdir\r\nhome\tcd ~\r\n");
    ASSERT_TRUE(Run("alias home"));
    EXPECT_EQ(answer, "home\tcd ~\r\n");
    ASSERT_TRUE(Run("alias ll \"\""));
    EXPECT_FALSE(Run("alias ll"));
    EXPECT_EQ(answer, "Alias: No such alias (ll).\r\n");
    ASSERT_TRUE(Run("alias home ''"));
    ASSERT_TRUE(Run("alias"));
    EXPECT_EQ(answer, "");
}

TEST_F(ConsoleCommandsTest, CommandFileRunsEachLineInTheFilesFolder) {
    fs::create_directories(File("scripts"));
    // Comments and empty lines are skipped; a failing line does not stop the
    // file; the file's folder is the current one while it runs; a line far
    // longer than any line buffer runs whole.
    const std::string longText(3000, 'x');
    WriteText(File("scripts/first.scr"),
              "# a comment\r\n\r\n/ another\r\n  echo one\r\nfrobnicate\r\ncd\r\necho " + longText + "\n  # indented");
    ASSERT_TRUE(Run("run scripts/first.scr"));
    EXPECT_EQ(answer, "one\r\nUnknown command 'frobnicate'.\r\nTry 'help'.\r\n" + File("scripts") + "\r\n" + longText +
                          "\r\n");
    // The Running line goes straight to the console.
    EXPECT_EQ(Buffer(), "Running '" + File("scripts/first.scr") + "'\r\n");
    // The current folder is back afterwards, the process's too.
    ASSERT_TRUE(Run("cd"));
    EXPECT_EQ(answer, m_Start + "\r\n");
    EXPECT_EQ(fs::current_path().string(), m_Start);

    // A quoted name is the name without its quotes.
    ASSERT_TRUE(Run("run \"scripts/first.scr\""));

    EXPECT_FALSE(Run("run missing.scr"));
    EXPECT_EQ(answer, "Run: Error opening file for reading.\r\n");
    EXPECT_FALSE(Run("run scripts"));
    EXPECT_EQ(answer, "Run: Error opening file for reading.\r\n");
}

TEST_F(ConsoleCommandsTest, RunWithoutANameAsksAndCancelAborts) {
    corvale::CScriptedUserInterface ui;
    WriteText(File("chosen.scr"), "echo chosen\n");
    ui.openAnswers = {{}, {File("chosen.scr")}};
    EXPECT_FALSE(Run("run"));
    EXPECT_EQ(answer, "Run: Aborted.\r\n");
    ASSERT_TRUE(Run("run"));
    EXPECT_EQ(answer, "chosen\r\n");
    ASSERT_EQ(ui.openRequests.size(), 2u);
    EXPECT_EQ(ui.openRequests[0].title, "Run Script File");
    EXPECT_EQ(ui.openRequests[0].filter, "Script Files (*.js;*.scr;*.txt)|*.js;*.scr;*.txt|All Files (*.*)|*.*||");
}

TEST_F(ConsoleCommandsTest, CommandFileThatRunsItselfStopsAtTheDepthLimit) {
    ASSERT_EQ(CAppSettings::GetInstance()->m_ConsoleMaxCallDepth, 20);
    WriteText(File("self.scr"), "echo level\nrun self.scr\n");
    ASSERT_TRUE(Run("run self.scr"));
    EXPECT_EQ(Count(answer, "level\r\n"), 20u);
    EXPECT_EQ(Count(answer, "Run: Maximum call depth reached. Ignoring script.\r\n"), 1u);
    EXPECT_EQ(Count(Buffer(), "Running '"), 20u);
    // Every level came back down: a new run starts at the bottom again.
    ASSERT_TRUE(Run("run self.scr"));
    EXPECT_EQ(Count(answer, "level\r\n"), 20u);
}

TEST_F(ConsoleCommandsTest, TextFileOfJavaScriptRunsAsCommands) {
    WriteText(File("script.txt"), "var total = 1;\n");
    ASSERT_TRUE(Run("run script.txt"));
    EXPECT_EQ(answer, "Unknown command 'var'.\r\nTry 'help'.\r\n");
}

TEST_F(ConsoleCommandsTest, SetBindsTheLoadedThemeAndItsMethodsColourIt) {
    const std::string data = std::string(CORVALE_TEST_DATA) + "/shapes/";
    fs::copy_file(data + "lines.shp", File("x.shp"));
    fs::copy_file(data + "lines.shx", File("x.shx"));

    ASSERT_TRUE(Run("set $t = load shapefile x")) << answer;
    EXPECT_EQ(answer, "Loading '" + File("x") + "'.\r\n");
    ASSERT_EQ(m_Document.m_themes.size(), 1u);
    CTheme* theme = m_Document.m_themes[0];

    ASSERT_TRUE(Run("$t.set_color(\"#FF0000\")")) << answer;
    EXPECT_EQ(theme->m_Color, 0x0000FFu);
    ASSERT_TRUE(Run("echo $t"));
    EXPECT_EQ(answer.rfind("Theme Object\r\n", 0), 0u) << Escaped(answer);
    EXPECT_NE(answer.find("\tcolor:\t#FF0000\r\n"), std::string::npos) << Escaped(answer);
    EXPECT_NE(answer.find("\tname:\t" + theme->m_Name + "\r\n"), std::string::npos) << Escaped(answer);
}

TEST_F(ConsoleCommandsTest, SetFailsWithItsRightSideAndBindsNothing) {
    ASSERT_TRUE(Run("set $keep = echo kept"));
    // A right side that fails: the set fails, nothing is bound.
    EXPECT_FALSE(Run("set $t = load shapefile missing"));
    EXPECT_NE(answer.find("An error occurred while trying to load the shape file.\r\n"), std::string::npos);
    EXPECT_FALSE(Run("echo $t"));
    EXPECT_EQ(answer, "Echo: Variable has no value.\r\n");
    EXPECT_FALSE(Run("set $u = frobnicate"));
    // An empty right side takes no other entry for the name.
    ASSERT_TRUE(Run("set $v ="));
    const CConsoleCmdProcessor& processor = m_Console->GetProcessor();
    const auto named = std::count_if(processor.GetVariables().begin(), processor.GetVariables().end(),
                                     [](const CConsoleCmdProcessor::Variable& v) { return v.m_Name == "$keep"; });
    EXPECT_EQ(named, 1);

    struct Case {
        const char* line;
        const char* message;
    };
    for (const Case& c : {Case{"set", "Set: Missing argument.\r\n"}, Case{"set $x", "Set: Missing argument.\r\n"},
                          Case{"set x = echo", "Set: Illegal variable name.\r\n"},
                          Case{"set $ = echo", "Set: Illegal variable name.\r\n"},
                          Case{"set $x echo", "Set: Missing assignment operator (=).\r\n"}}) {
        SCOPED_TRACE(c.line);
        EXPECT_FALSE(Run(c.line));
        EXPECT_EQ(answer, c.message);
    }
}

TEST_F(ConsoleCommandsTest, LoadNeedsTheShapefileWordAndAsksForAName) {
    EXPECT_FALSE(Run("load"));
    EXPECT_EQ(answer, "Arguments missing.\r\n");
    EXPECT_FALSE(Run("load raster x"));
    EXPECT_EQ(answer, "Invalid argument 'raster x'.\r\n");
    corvale::CScriptedUserInterface ui;
    EXPECT_FALSE(Run("load shapefile"));
    EXPECT_EQ(answer, "Aborted.\r\n");
    ASSERT_EQ(ui.openRequests.size(), 1u);
    EXPECT_EQ(ui.openRequests[0].title, "Load");
    EXPECT_EQ(ui.openRequests[0].filter, "Shape Files (*.shp)|*.shp|All Files (*.*)|*.*||");
}

TEST_F(ConsoleCommandsTest, EchoTypeAndTheirErrors) {
    ASSERT_TRUE(Run("echo"));
    EXPECT_EQ(answer, "\r\n");
    ASSERT_TRUE(Run("echo Hello, world."));
    EXPECT_EQ(answer, "Hello, world.\r\n");

    WriteText(File("mixed.txt"), std::string("unix\nwindows\r\nnul\0here", 23));
    ASSERT_TRUE(Run("type mixed.txt"));
    EXPECT_EQ(answer, "unix\r\nwindows\r\nnulhere\r\n");
    WriteText(File("ends.txt"), "line\n");
    ASSERT_TRUE(Run("type ends.txt"));
    EXPECT_EQ(answer, "line\r\n");
    EXPECT_FALSE(Run("type"));
    EXPECT_EQ(answer, "Type: filename missing.\r\n");
    EXPECT_FALSE(Run("type missing.txt"));
    EXPECT_EQ(answer, "Type: Error opening file for reading.\r\n");
}

TEST_F(ConsoleCommandsTest, ExploreAndEditHandThePathToTheDesktop) {
    EXPECT_FALSE(Run("explore now"));
    EXPECT_EQ(answer, "Explore: Illegal argument\r\n");
    ASSERT_TRUE(Run("explore"));
    WriteText(File("notes.txt"), "x");
    EXPECT_FALSE(Run("edit"));
    EXPECT_EQ(answer, "Edit: Missing argument.\r\n");
    EXPECT_FALSE(Run("edit missing.txt"));
    EXPECT_EQ(answer, "Edit: Unable to open the file.\r\n");
    ASSERT_TRUE(Run("edit notes.txt"));
    EXPECT_EQ(shellCalls, (std::vector<std::string>{"explore " + m_Start, "edit " + File("notes.txt")}));
}

TEST_F(ConsoleCommandsTest, ClearDumpAndExitActOnTheWindow) {
    m_Console->GetOutputEdit()->Write("kept text\r\n", CConsoleEdit::ConsoleChannel);
    corvale::CScriptedUserInterface ui;
    ui.saveAnswers = {File("dump.txt"), ""};
    ASSERT_TRUE(Run("dump"));
    EXPECT_EQ(ReadText(File("dump.txt")), "kept text\r\n");
    ASSERT_TRUE(Run("dump"));
    EXPECT_FALSE(Run("dump now"));
    EXPECT_EQ(answer, "Invalid argument 'now'.\r\n");

    EXPECT_FALSE(Run("clear all"));
    ASSERT_TRUE(Run("clear"));
    EXPECT_EQ(Buffer(), "");

    m_Console->show();
    EXPECT_FALSE(Run("exit now"));
    EXPECT_TRUE(m_Console->isVisible());
    ASSERT_TRUE(Run("exit"));
    EXPECT_FALSE(m_Console->isVisible());
}

// Without the engine bridge a .js file is read as console commands, with a
// note naming the library; a script for a plug-in is refused with the same
// name on the console.
TEST_F(ConsoleCommandsTest, WithoutTheEngineJsFilesRunAsCommands) {
    const QString saved = ScriptEngineLibraryPath();
    SetScriptEngineLibraryPath(QStringLiteral("/nonexistent-folder/libcorvale_jsengine.so"));
    WriteText(File("old.js"), "echo as a command\n");
    ASSERT_TRUE(Run("run old.js"));
    EXPECT_EQ(answer, "Run: libcorvale_jsengine.so not found. The file is read as console commands.\r\n"
                      "as a command\r\n");

    InstallDocumentConsole();
    m_Document.m_debugFlags = 8;
    EXPECT_EQ(LoadDocumentJavaScript(m_Document, File("old.js")), nullptr);
    CConsoleDialog* console = m_Document.GetConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_NE(console->GetOutputEdit()->GetBuffer().GetText().find("Error: libcorvale_jsengine.so not found.\r\n"),
              std::string::npos);
    EXPECT_TRUE(console->isVisible());
    SetDocumentConsoleServices(CDocumentConsoleServices());
    SetScriptEngineLibraryPath(saved);
}

// ---- Scripts, with the engine of the build tree ----

class ConsoleRunScriptTest : public ScriptEngineTest {};

TEST_F(ConsoleRunScriptTest, JsFileNamedInCapitalsRunsAsJavaScript) {
    TempDir dir;
    const fs::path saved = fs::current_path();
    CCorvaleDoc document;
    {
        CConsoleDialog console;
        RegisterDocumentConsoleCommands(console, document);
        // Lines that would be unknown commands run as one script.
        WriteText(dir.file("SCRIPT.JS"), "var total = 1;\nfor (var i = 0; i < 3; i++)\n  total += i;\n");
        std::string answer;
        EXPECT_TRUE(console.GetProcessor().Execute("run " + dir.file("SCRIPT.JS"), answer));
        EXPECT_EQ(answer, "");
        // A script error is reported with the engine's text.
        WriteText(dir.file("broken.js"), "throw new Error('boom');\n");
        answer.clear();
        EXPECT_FALSE(console.GetProcessor().Execute("run " + dir.file("broken.js"), answer));
        EXPECT_NE(answer.find("boom"), std::string::npos) << answer;
    }
    EXPECT_EQ(fs::current_path(), saved);
}

// A plug-in's script that does not compile gives no handler and shows the
// console with the engine's message; one that compiles is not run yet.
TEST_F(ConsoleRunScriptTest, PluginScriptThatDoesNotCompileShowsTheConsole) {
    TempDir dir;
    WriteText(dir.file("broken.js"), "function f( {\n");
    WriteText(dir.file("fine.js"), "throw new Error('ran too early');\n");
    InstallDocumentConsole();
    {
        CCorvaleDoc document;
        document.m_debugFlags = 8;
        EXPECT_EQ(document.LoadJavaScript(dir.file("broken.js")), nullptr);
        CConsoleDialog* console = document.GetConsole();
        ASSERT_NE(console, nullptr);
        const std::string shown = console->GetOutputEdit()->GetBuffer().GetText();
        EXPECT_NE(shown.find("Running '" + dir.file("broken.js") + "'\r\n"), std::string::npos) << shown;
        EXPECT_NE(shown.find("broken.js"), shown.rfind("broken.js")) << "the report names the file too: " << shown;
        EXPECT_TRUE(console->isVisible());

        console->hide();
        std::unique_ptr<CJSHandler> compiled(document.LoadJavaScript(dir.file("fine.js")));
        EXPECT_NE(compiled, nullptr) << ScriptOutput();
        EXPECT_FALSE(console->isVisible());
        EXPECT_EQ(document.LoadJavaScript(dir.file("missing.js")), nullptr);
        EXPECT_NE(console->GetOutputEdit()->GetBuffer().GetText().find("Error opening file for reading.\r\n"),
                  std::string::npos);
    }
    SetDocumentConsoleServices(CDocumentConsoleServices());
}

// A line longer than any line buffer is read whole, by run and when a script
// is compiled for a plug-in.
TEST_F(ConsoleRunScriptTest, LongLinesAreReadWhole) {
    TempDir dir;
    const std::string text = "var s = '" + std::string(5000, 'x') + "'; if (s.length != 5000) throw new Error('cut');\n";
    WriteText(dir.file("long.js"), text);
    CCorvaleDoc document;
    CConsoleDialog console;
    RegisterDocumentConsoleCommands(console, document);
    std::string answer;
    EXPECT_TRUE(console.GetProcessor().Execute("run " + dir.file("long.js"), answer)) << answer;

    std::unique_ptr<CJSHandler> compiled(LoadDocumentJavaScript(document, dir.file("long.js")));
    ASSERT_NE(compiled, nullptr) << ScriptOutput();
    EXPECT_TRUE(compiled->RunCompiled()) << ScriptOutput();
}

} // namespace
