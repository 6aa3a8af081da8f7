// The global functions of scripts: their argument checks, error, sleep,
// executeAndWait with getExitCode, external, the dialogs (answered by the
// scripted user interface) and transform.

#include "ScriptTestSupport.h"
#include "TempDir.h"
#include "framework/ScriptedUserInterface.h"
#include "scripting/ScriptObjects.h"

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

using GlobalFunctionsTest = ScriptEngineTest;

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST_F(GlobalFunctionsTest, ArgumentErrorsStopTheScriptWithTheirMessage) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"error()", "Execution stopped by script. No reason given."},
        {"error('bad input')", "Execution stopped by script: bad input"},
        {"external()", "One argument expected in call to external()"},
        {"external('a.js', 'b.js')", "One argument expected in call to external()"},
        {"external(3)", "Illegal argument 1 in call to external(). Expected String."},
        {"external('no-such-file.js')", "external('no-such-file.js'): Error opening file for reading."},
        {"input()", "Not enough arguments specified in call to input()"},
        {"option()", "Not enough arguments specified in call to option()"},
        {"option('Pick')", "Not enough arguments specified in call to option()"},
        {"option('Pick', ['only'])", "Illegal argument in call to option()."},
        {"option('Pick', [])", "Illegal argument in call to option()."},
        {"transform(new Coord(1, 2), 4326)", "Three arguments expected in call to transform()"},
        {"transform({x: 1, y: 2}, 4326, 3857)", "First argument in call to transform() was not a Coord object."},
        {"transform(new Coord(1, 2), 'wgs', 3857)", "Second argument in call to transform() was not an EPSG number."},
        {"transform(new Coord(1, 2), 4326, {})", "Third argument in call to transform() was not an EPSG number."},
        {"transform(new Coord(1, 2), 4326, 1)", "Unsupported reference system in call to transform()."},
        {"transform(new Coord(1, 2), 999999, 4326)", "Unsupported reference system in call to transform()."},
        {"transform(new Coord(500, 500), 4326, 3857)", "Error transforming coordinate in call to transform()."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        // A try/catch of the script does not keep it going.
        const ScriptRun run = RunScript(std::string("try { ") + c.script + "; } catch (e) {} var after = 1;");
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.output.rfind(c.message, 0), 0u) << run.output;
    }
}

TEST_F(GlobalFunctionsTest, SleepWarnsAboutBadArgumentsWithoutPausing) {
    struct Case {
        const char* script;
        const char* warning;
    };
    const Case cases[] = {
        {"sleep(1500.5)", "Illegal argument type in call to sleep()"},
        {"sleep('100')", "Illegal argument type in call to sleep()"},
        {"sleep(-1)", "Illegal argument in call to sleep()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const auto start = std::chrono::steady_clock::now();
        const ScriptRun run = RunScript(c.script);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
        EXPECT_TRUE(run.ok);
        EXPECT_EQ(run.output.rfind(c.warning, 0), 0u) << run.output;
    }
    EXPECT_TRUE(RunScript("sleep(); sleep(0); sleep(1);").ok);
}

TEST_F(GlobalFunctionsTest, ExecuteAndWaitKeepsTheExitCode) {
    const ScriptRun run = RunScript(
        "if (executeAndWait('/bin/sh', '-c \"exit 7\"') !== true) error('not started');"
        "if (getExitCode() !== 7) error('exit code ' + getExitCode());"
        "if (executeAndWait('/bin/true') !== true) error('true not started');"
        "if (getExitCode() !== 0) error('exit code of true ' + getExitCode());");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(GlobalFunctionsTest, ExecuteAndWaitOfAMissingProgramAnswersFalseAndExitCodeZero) {
    const ScriptRun run = RunScript(
        "executeAndWait('/bin/sh', '-c \"exit 3\"');"
        "if (executeAndWait('/no/such/program') !== false) error('started');"
        "if (getExitCode() !== 0) error('exit code ' + getExitCode());");
    EXPECT_TRUE(run.ok) << run.output;
    const ScriptRun none = RunScript("if (executeAndWait() !== false) error('started');");
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.output.rfind("No argument specified in call to executeAndWait()", 0), 0u) << none.output;
}

TEST_F(GlobalFunctionsTest, ExecuteAndWaitPassesALongCommandLineWhole) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    const std::string text(3000, 'x');
    const ScriptRun run = RunScript("executeAndWait('/bin/sh', '-c \"printf %s " + text + " > " + out + "\"');");
    ASSERT_TRUE(run.ok) << run.output;
    std::ifstream in(out);
    std::string written;
    std::getline(in, written);
    EXPECT_EQ(written, text);
}

TEST_F(GlobalFunctionsTest, ExternalRunsAWholeFileRelativeToTheIncludingFile) {
    TempDir dir;
    // A long line: the whole file runs, not its lines cut at some length.
    const std::string longValue(3000, 'y');
    std::filesystem::create_directories(dir.file("lib"));
    WriteFile(dir.file("lib/inner.js"), "var inner = '" + longValue + "';\ninner.length;\n");
    WriteFile(dir.file("lib/outer.js"), "var fromOuter = external('inner.js');\n");
    const ScriptRun run =
        RunScript("external(" + Quoted(dir.file("lib/outer.js")) +
                  ");\nif (fromOuter !== 3000) error('result ' + fromOuter);\n"
                  "if (inner.length !== 3000) error('inner ' + inner.length);");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(GlobalFunctionsTest, ExternalDoesNotRunAFileThatIsAlreadyRunning) {
    TempDir dir;
    WriteFile(dir.file("a.js"), "count = (typeof count == 'number' ? count : 0) + 1; external('./sub/../b.js');\n");
    WriteFile(dir.file("b.js"), "countB = (typeof countB == 'number' ? countB : 0) + 1; external('a.js');\n");
    const ScriptRun run = RunScript("external(" + Quoted(dir.file("a.js")) +
                                    ");\nif (count !== 1 || countB !== 1) error(count + ' ' + countB);");
    EXPECT_TRUE(run.ok) << run.output;
    // Once a file has ended, a later call runs it again.
    const ScriptRun twice = RunScript("external(" + Quoted(dir.file("b.js")) + "); external(" +
                                      Quoted(dir.file("b.js")) + ");\nif (countB !== 2) error('' + countB);");
    EXPECT_TRUE(twice.ok) << twice.output;
}

TEST_F(GlobalFunctionsTest, ExternalErrorsStopTheIncludingScript) {
    TempDir dir;
    WriteFile(dir.file("bad.js"), "error('inside');\n");
    const ScriptRun run = RunScript("external(" + Quoted(dir.file("bad.js")) + "); var after = 1;");
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.output.rfind("Execution stopped by script: inside", 0), 0u) << run.output;
}

TEST_F(GlobalFunctionsTest, TransformMovesTheCoord) {
    // Reference: echo "50 10" | cs2cs EPSG:4326 EPSG:32633 -f %.4f
    // gives 141743.6322 5550619.3754 (cs2cs reads latitude first).
    const ScriptRun run = RunScript(
        "var c = new Coord(10, 50); transform(c, 4326, 32633);"
        "if (Math.abs(c.x - 141743.6322) > 0.01 || Math.abs(c.y - 5550619.3754) > 0.01) error(c.x + ' ' + c.y);");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(GlobalFunctionsTest, MessageBoxesAnswerOkAndCancel) {
    corvale::CScriptedUserInterface ui;
    // The two alerts take an answer each too.
    ui.messageAnswers = {corvale::IDOK, corvale::IDOK, corvale::IDOK, corvale::IDCANCEL};
    const ScriptRun run = RunScript(
        "alert('hello'); alert();"
        "var answers = [confirm('sure?'), confirm('really?'), confirm()];"
        "if (answers.join() !== 'true,false,false') error(answers.join());");
    EXPECT_TRUE(run.ok) << run.output;
    ASSERT_EQ(ui.shown.size(), 5u);
    EXPECT_EQ(ui.shown[0].text, "hello");
    EXPECT_EQ(ui.shown[0].buttons, corvale::MessageButtons::Ok);
    // Without an argument the box is shown empty.
    EXPECT_EQ(ui.shown[1].text, "");
    EXPECT_EQ(ui.shown[2].buttons, corvale::MessageButtons::OkCancel);
    EXPECT_EQ(ui.shown[4].text, "");
}

TEST_F(GlobalFunctionsTest, InputAndBrowseDialogsAnswerTheirTextOrTheirCancelValue) {
    corvale::CScriptedUserInterface ui;
    ui.textAnswers = {"edited"};
    ui.openAnswers = {{"/data/in.txt"}, {}};
    ui.saveAnswers = {"/data/out.txt", ""};
    ui.folderAnswers = {"/data", ""};
    const ScriptRun run = RunScript(
        "var r = [input('Name?', 'start'), input('Again?'),"
        " browseFileRead('Pick'), browseFileRead(), browseFileWrite(), browseFileWrite('Keep'),"
        " browseFolder(), browseFolder()];"
        "var text = r.map(function (v) { return v === undefined ? 'U' : v === null ? 'N' : v; }).join();"
        "if (text !== 'edited,U,/data/in.txt,U,/data/out.txt,U,/data,N') error(text);");
    EXPECT_TRUE(run.ok) << run.output;
    ASSERT_EQ(ui.openRequests.size(), 2u);
    EXPECT_EQ(ui.openRequests[0].title, "Pick");
    EXPECT_EQ(ui.openRequests[1].title, "Open");
    EXPECT_EQ(ui.openRequests[0].filter, "All Files (*.*)|*.*||");
    ASSERT_EQ(ui.saveRequests.size(), 2u);
    EXPECT_EQ(ui.saveRequests[0].title, "Save As");
}

TEST_F(GlobalFunctionsTest, OptionAnswersTheChosenTextFromAnArrayOrTheArguments) {
    corvale::CScriptedUserInterface ui;
    ui.choiceAnswers = {1, 0, 0, 2};
    const ScriptRun run = RunScript(
        "var r = [option('Which layer?', ['Roads', 'Rivers', 'Lakes']), option('Which?', 'x', 'y'),"
        " option('Alone?', 'only'), option('Three?', 1, 2.5, true)];"
        "if (r.join() !== 'Rivers,x,only,true') error(r.join());");
    EXPECT_TRUE(run.ok) << run.output;
    ASSERT_EQ(ui.choiceRequests.size(), 4u);
    EXPECT_EQ(ui.choiceRequests[0], (std::vector<std::string>{"Which layer?", "Roads", "Rivers", "Lakes"}));
    EXPECT_EQ(ui.choiceRequests[1], (std::vector<std::string>{"Which?", "x", "y"}));
    // A prompt and one text: one button.
    EXPECT_EQ(ui.choiceRequests[2], (std::vector<std::string>{"Alone?", "only"}));
    EXPECT_EQ(ui.shown[0].text, "Corvale: JavaScript");
}

TEST_F(GlobalFunctionsTest, OptionDismissedWithoutAChoiceAnswersUndefined) {
    corvale::CScriptedUserInterface ui;
    // Escape, and an answer from outside the list: never a text beyond it.
    ui.choiceAnswers = {-1, 5};
    const ScriptRun run = RunScript(
        "var r = [option('Which?', ['a', 'b']), option('Which?', 'a', 'b')];"
        "if (r[0] !== undefined || r[1] !== undefined) error(String(r));");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_EQ(ui.choiceRequests.size(), 2u);
}

TEST_F(GlobalFunctionsTest, BrowseColorAnswersANewColorOrUndefined) {
    corvale::CScriptedUserInterface ui;
    ui.colorAnswers = {0x00302010, -1, 0x00302010};
    const ScriptRun run = RunScript(
        "var c = browseColor(); var none = browseColor(); var other = browseColor();"
        "if (!(c instanceof Color) || [c.red, c.green, c.blue].join() !== '16,32,48') error('colour ' + c);"
        "if (none !== undefined) error('cancel gave ' + none);"
        "if (other === c) error('the same object twice');"
        "c.red = 1; if (other.red !== 16) error('bound to each other');");
    EXPECT_TRUE(run.ok) << run.output;
    // The picker starts at black.
    EXPECT_EQ(ui.colorRequests, (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST_F(GlobalFunctionsTest, ExternalLooksInTheScriptFolderSecond) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("Scripts/lib"));
    std::filesystem::create_directories(dir.file("work/lib"));
    WriteFile(dir.file("Scripts/lib/shared.js"), "var from = 'scripts'; 1;\n");
    WriteFile(dir.file("Scripts/only.js"), "var only = 'scripts';\n");
    // The including file's own folder comes first.
    WriteFile(dir.file("work/lib/shared.js"), "var from = 'work'; 2;\n");
    WriteFile(dir.file("work/main.js"), "var a = external('only.js'); var b = external('lib/shared.js');\n");
    SetScriptFolder(dir.file("Scripts"));
    const ScriptRun run = RunScript("external(" + Quoted(dir.file("work/main.js")) +
                                    ");\nif (only !== 'scripts' || from !== 'work' || b !== 2) "
                                    "error(only + ' ' + from + ' ' + b);");
    EXPECT_TRUE(run.ok) << run.output;
    // An absolute name is not looked for anywhere else.
    const ScriptRun absolute = RunScript("external(" + Quoted(dir.file("nowhere/only.js")) + ");");
    EXPECT_FALSE(absolute.ok);
    EXPECT_EQ(absolute.output.rfind("external('" + dir.file("nowhere/only.js") + "'): Error opening file", 0), 0u)
        << absolute.output;
    // Nor in either place: the name as the script gave it.
    const ScriptRun missing = RunScript("external('lib/missing.js');");
    EXPECT_EQ(missing.output.rfind("external('lib/missing.js'): Error opening file for reading.", 0), 0u)
        << missing.output;
    SetScriptFolder({});
}

}  // namespace
