// The script host: runs and their reports, the Cancel path, compiled scripts
// called into across garbage collections, script files and a missing engine.

#include "ScriptTestSupport.h"
#include "TempDir.h"

#include "scripting/JSInterruptDialog.h"
#include "scripting/ScriptEngine.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <string>
#include <vector>

namespace {

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// ---------------------------------------------------------------------------
// Execute: success, errors and their reports
// ---------------------------------------------------------------------------

struct ExecuteCase {
    const char* name;
    const char* script;
    bool ok;
    // The report from its second line on (the engine words the first).
    const char* reportTail;
    // Part of the report's first line, when it matters.
    const char* messagePart;
};

const ExecuteCase kExecuteCases[] = {
    {"LastValueIsDropped", "var a = 2; a * 21", true, "", ""},
    {"NoValue", "var a;", true, "", ""},
    {"UncaughtError", "var a = 1;\n\nthrow new Error('boom');", false, "test.js\r\nLine: 3\r\n", "boom"},
    {"UncaughtValue", "throw 'plain text';", false, "test.js\r\nLine: 1\r\n", "plain text"},
    {"UnknownName", "var a = 1;\nnothere();", false, "test.js\r\nLine: 2\r\n", "nothere"},
    // The last value is converted to text; a conversion that throws fails the run.
    {"ValueWithFailingText", "({ toString() { throw new Error('no text'); } })", false, "test.js\r\nLine: 1\r\n",
     "no text"},
    // A syntax error shows the source line and a marker under the error; a
    // tab reaches the next multiple of 8 columns.
    {"SyntaxErrorAfterTab", "var a = 1;\n\tvar b = ;\n", false,
     "test.js\r\nLine: 2\r\n\tvar b = ;\r\n----------------^", ""},
    {"SyntaxErrorTabMidColumn", "a=1;\tb = ;", false, "test.js\r\nLine: 1\r\na=1;\tb = ;\r\n------------^", ""},
    {"SyntaxErrorNoTab", "x = = 1;", false, "test.js\r\nLine: 1\r\nx = = 1;\r\n----^", ""},
};

class ExecuteTest : public ScriptEngineTest, public ::testing::WithParamInterface<ExecuteCase> {};

TEST_P(ExecuteTest, ResultAndReport) {
    const ExecuteCase& c = GetParam();
    const ScriptRun run = RunScript(c.script);
    EXPECT_EQ(run.ok, c.ok) << run.output;
    if (c.ok) {
        EXPECT_EQ(run.output, "");
        return;
    }
    const std::size_t lineEnd = run.output.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos) << run.output;
    EXPECT_EQ(run.output.substr(lineEnd + 2), c.reportTail);
    EXPECT_NE(run.output.substr(0, lineEnd).find(c.messagePart), std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Script, ExecuteTest, ::testing::ValuesIn(kExecuteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptEngineTest, NativeErrorStopsTheScriptPastTryCatch) {
    ScriptWorkspaceRecord record;
    CJSHandler handler;
    handler.SetWorkspaceRecord(&record);
    ASSERT_TRUE(handler.Initialize());
    EXPECT_FALSE(handler.Execute("var caught = false;\ntry { new File(1, 2, 3); } catch (e) { caught = true; }\n"
                                 "caught = 'after';",
                                 "native.js"));
    EXPECT_EQ(ScriptOutput(), "Wrong number of parameters for File().\r\nnative.js\r\nLine: 2\r\n");
    // Neither the catch block nor the rest of the script ran.
    EXPECT_TRUE(handler.Execute("if (caught !== false) throw 'caught is ' + caught;", "check.js")) << ScriptOutput();
}

TEST_F(ScriptEngineTest, WarningKeepsTheScriptGoing) {
    const ScriptRun run = RunScript("var f = new File('/nonexistent-folder/x.txt');\n"
                                    "if (f.isOpen || f.name !== '') throw 'opened';\n"
                                    "var done = 1;");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_TRUE(StartsWith(run.output, "File: Error opening file: /nonexistent-folder/x.txt\r\ntest.js\r\nLine: 1\r\n"))
        << run.output;
}

TEST_F(ScriptEngineTest, EachRunStartsWithEmptyOutput) {
    ScriptWorkspaceRecord record;
    CJSHandler handler;
    handler.SetWorkspaceRecord(&record);
    ASSERT_TRUE(handler.Initialize());
    EXPECT_FALSE(handler.Execute("throw 1;", "a.js"));
    EXPECT_FALSE(ScriptOutput().empty());
    EXPECT_TRUE(handler.Execute("1;", "b.js"));
    EXPECT_EQ(ScriptOutput(), "");
    EXPECT_TRUE(ScriptFileStack().empty());
}

// ---------------------------------------------------------------------------
// Cancelling a run
// ---------------------------------------------------------------------------

TEST_F(ScriptEngineTest, EndlessLoopIsCancelledWithItsNotice) {
    int interrupts = 0;
    std::vector<std::string> runningFiles;
    CJSHandler::SetInterruptHook([&] {
        ++interrupts;
        runningFiles.push_back(ScriptFileStack().empty() ? "" : ScriptFileStack().back().fileName);
        CancelScriptRun(CurrentScriptRun());
    });
    const ScriptRun run = RunScript("var i = 0;\nfor (;;) { try { ++i; } catch (e) {} }");
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.output, "\r\n--- Script execution interrupted by user ---");
    EXPECT_EQ(interrupts, 1);
    EXPECT_EQ(runningFiles, std::vector<std::string>{"test.js"});
    EXPECT_EQ(ScriptRunFlag.load(), 0);
}

TEST_F(ScriptEngineTest, CancelButtonOfTheDialogEndsTheRun) {
    // Fires inside the run, while the engine lets the user interface answer.
    bool clicked = false;
    QString title;
    QString text;
    QPoint position(-1, -1);
    QTimer::singleShot(2400, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = dynamic_cast<CJSInterruptDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible())
                continue;
            title = dialog->windowTitle();
            text = dialog->findChild<QLabel*>()->text();
            position = dialog->pos();
            QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
            clicked = true;
        }
    });
    const ScriptRun run = RunScript("for (;;) {}");
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.output, "\r\n--- Script execution interrupted by user ---");
    EXPECT_EQ(title, "JavaScript");
    EXPECT_EQ(text, "A JavaScript is running. Press Cancel to abort.");
    EXPECT_EQ(position, QPoint(0, 0));
    // The dialog goes with its run.
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<CJSInterruptDialog*>(widget), nullptr);
}

TEST_F(ScriptEngineTest, LateCancelOfAnEarlierRunIsIgnored) {
    ASSERT_TRUE(RunScript("1;").ok);
    const std::uint32_t finished = CurrentScriptRun();
    int interrupts = 0;
    // The Cancel of the finished run arrives while the next one runs.
    CJSHandler::SetInterruptHook([&] {
        ++interrupts;
        CancelScriptRun(finished);
    });
    const ScriptRun run = RunScript("var start = Date.now();\nwhile (Date.now() - start < 2300) {}");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_GE(interrupts, 1);
    EXPECT_EQ(ScriptRunFlag.load(), 1);
}

TEST_F(ScriptEngineTest, NewRunStartsAfterACancel) {
    ScriptRunFlag.store(0);
    const ScriptRun run = RunScript("var a = 1; a;");
    EXPECT_TRUE(run.ok) << run.output;
}

// ---------------------------------------------------------------------------
// Compile, RunCompiled and CallFunction, with garbage collections between
// ---------------------------------------------------------------------------

class CompiledScriptTest : public ScriptEngineTest {
protected:
    void SetUp() override {
        ScriptEngineTest::SetUp();
        if (IsSkipped())
            return;
        m_Handler.SetWorkspaceRecord(&m_Record);
        ASSERT_TRUE(m_Handler.Initialize());
    }
    void Collect() { ScriptEngine()->CollectGarbage(); }

    ScriptWorkspaceRecord m_Record;
    CJSHandler m_Handler;
    TempDir m_Dir;
};

TEST_F(CompiledScriptTest, TopLevelRunsOnceBeforeTheFirstCall) {
    const std::string path = m_Dir.file("kept.txt");
    ASSERT_TRUE(m_Handler.Compile("var runs = (typeof runs === 'undefined') ? 1 : runs + 1;\n"
                                  "var kept = new File(" + Quoted(path) + ", 'w');\n"
                                  "var objects = []; for (var i = 0; i < 1000; ++i) objects.push({i: i});\n"
                                  "function check() { if (runs !== 1) throw 'runs: ' + runs;\n"
                                  "  if (objects[999].i !== 999) throw 'objects lost'; }\n"
                                  "function write(text) { if (!kept.write(text || 'x')) throw 'not written'; }\n"
                                  "function finish() { kept.close(); }",
                                  "held.js"))
        << ScriptOutput();
    Collect();
    EXPECT_TRUE(m_Handler.CallFunction("check")) << ScriptOutput();
    Collect();
    EXPECT_TRUE(m_Handler.CallFunction("check")) << ScriptOutput();
    EXPECT_TRUE(m_Handler.CallFunction("write")) << ScriptOutput();
    Collect();
    // Garbage made by a call is collected; what the global holds is not.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(m_Handler.CallFunction("write")) << ScriptOutput();
        Collect();
    }
    EXPECT_TRUE(m_Handler.CallFunction("finish")) << ScriptOutput();
    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'x', 'x', 'x', 'x'}));
    // Running the top level again is a run of its own.
    EXPECT_TRUE(m_Handler.RunCompiled()) << ScriptOutput();
    EXPECT_FALSE(m_Handler.CallFunction("check"));
    EXPECT_TRUE(StartsWith(ScriptOutput(), "uncaught exception: runs: 2\r\nheld.js\r\n")) << ScriptOutput();
}

TEST_F(CompiledScriptTest, FailingTopLevelIsNotRunAgain) {
    ASSERT_TRUE(m_Handler.Compile("globalThis.tops = (globalThis.tops || 0) + 1;\n"
                                  "throw 'top level fails';\n"
                                  "function f() { if (tops !== 1) throw 'tops: ' + tops; }",
                                  "fails.js"));
    EXPECT_FALSE(m_Handler.CallFunction("f"));
    EXPECT_NE(ScriptOutput().find("top level fails"), std::string::npos) << ScriptOutput();
    Collect();
    EXPECT_TRUE(m_Handler.CallFunction("f")) << ScriptOutput();
    EXPECT_TRUE(m_Handler.CallFunction("f")) << ScriptOutput();
}

TEST_F(CompiledScriptTest, NothingHeld) {
    EXPECT_FALSE(m_Handler.RunCompiled());
    EXPECT_FALSE(m_Handler.CallFunction("f"));
    EXPECT_FALSE(m_Handler.Compile("var = 1;", "broken.js"));
    EXPECT_TRUE(StartsWith(ScriptOutput().substr(ScriptOutput().find("\r\n")), "\r\nbroken.js\r\nLine: 1\r\n"));
    EXPECT_FALSE(m_Handler.RunCompiled());
    ASSERT_TRUE(m_Handler.Compile("function g() {}", "g.js"));
    EXPECT_FALSE(m_Handler.CallFunction("missing"));
    EXPECT_NE(ScriptOutput().find("is not a function"), std::string::npos) << ScriptOutput();
    EXPECT_TRUE(m_Handler.CallFunction("g")) << ScriptOutput();
    EXPECT_TRUE(ScriptFileStack().empty());
}

// A plug-in's script runs through RunCompiled and CallFunction: an endless
// loop there is cancelled as one started by the run command is, and the
// script can be called again afterwards.
TEST_F(CompiledScriptTest, EndlessLoopOfAHeldScriptIsCancelled) {
    struct Case {
        const char* name;
        const char* script;
        bool (*run)(CJSHandler&);
    };
    const Case cases[] = {
        {"top level", "var calls = 0;\nfunction ping() { ++calls; }\nfor (;;) {}",
         [](CJSHandler& h) { return h.RunCompiled(); }},
        {"function", "var calls = 0;\nfunction ping() { ++calls; }\nfunction spin() { for (;;) {} }",
         [](CJSHandler& h) { return h.CallFunction("spin"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int interrupts = 0;
        std::vector<std::string> runningFiles;
        CJSHandler::SetInterruptHook([&] {
            ++interrupts;
            runningFiles.push_back(ScriptFileStack().empty() ? "" : ScriptFileStack().back().fileName);
            CancelScriptRun(CurrentScriptRun());
        });
        ASSERT_TRUE(m_Handler.Compile(c.script, "plugin.js")) << ScriptOutput();
        EXPECT_FALSE(c.run(m_Handler));
        EXPECT_EQ(interrupts, 1);
        EXPECT_EQ(runningFiles, std::vector<std::string>{"plugin.js"});
        EXPECT_NE(ScriptOutput().find("--- Script execution interrupted by user ---"), std::string::npos)
            << ScriptOutput();
        CJSHandler::SetInterruptHook({});
        // The program goes on: the same script answers its next call.
        EXPECT_TRUE(m_Handler.CallFunction("ping")) << ScriptOutput();
        EXPECT_TRUE(ScriptFileStack().empty());
    }
}

// ---------------------------------------------------------------------------
// Script files
// ---------------------------------------------------------------------------

struct ScriptFileCase {
    const char* name;
    std::vector<unsigned char> bytes;
    std::string text;
};

TEST(ScriptFile, ReadWholeUtf8OrLatin1) {
    const std::string longLine(5000, 'a');
    const ScriptFileCase cases[] = {
        {"Utf8", {'"', 0xC3, 0xA4, '"'}, "\"\xC3\xA4\""},
        {"Latin1", {'"', 0xE4, '"'}, "\"\xC3\xA4\""},
        {"ByteOrderMark", {0xEF, 0xBB, 0xBF, 'x', '\n'}, "x\n"},
        {"LongLine", std::vector<unsigned char>(longLine.begin(), longLine.end()), longLine},
        {"Empty", {}, ""},
    };
    TempDir dir;
    for (const ScriptFileCase& c : cases) {
        const std::string path = dir.file(std::string(c.name) + ".js");
        WriteBytes(path, c.bytes);
        std::string text = "left over";
        EXPECT_TRUE(ReadScriptFile(QString::fromStdString(path), text)) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
    std::string text;
    EXPECT_FALSE(ReadScriptFile(QString::fromStdString(dir.file("missing.js")), text));
}

TEST_F(ScriptEngineTest, Latin1ScriptFileRuns) {
    TempDir dir;
    const std::string path = dir.file("latin1.js");
    // "ä" in Latin-1 inside a string literal, then a line longer than 1,023
    // characters whose end must still be part of the script.
    std::vector<unsigned char> bytes = {'i', 'f', ' ', '(', '"', 0xE4, '"', ' ', '!', '=', '=', ' ', '"', '\\',
                                        'u', '0', '0', 'e', '4', '"', ')', ' ', 't', 'h', 'r', 'o', 'w', ' ',
                                        '1', ';', '\n'};
    const std::string longLine = "var s = '" + std::string(2000, 'b') + "'; if (s.length !== 2000) throw 2;\n";
    bytes.insert(bytes.end(), longLine.begin(), longLine.end());
    WriteBytes(path, bytes);
    std::string text;
    ASSERT_TRUE(ReadScriptFile(QString::fromStdString(path), text));
    const ScriptRun run = RunScript(text);
    EXPECT_TRUE(run.ok) << run.output;
}

// ---------------------------------------------------------------------------
// Without the engine
// ---------------------------------------------------------------------------

TEST(ScriptEngineMissing, EveryRunFailsWithTheReason) {
    SetScriptEngineLibraryPath(QStringLiteral("/nonexistent-folder/libcorvale_jsengine.so"));
    EXPECT_FALSE(IsScriptEngineAvailable());
    EXPECT_EQ(ScriptEngine(), nullptr);
    ScriptWorkspaceRecord record;
    CJSHandler handler;
    handler.SetWorkspaceRecord(&record);
    EXPECT_FALSE(handler.Initialize());
    EXPECT_FALSE(handler.IsInitialized());
    EXPECT_FALSE(handler.Execute("1;", "a.js"));
    EXPECT_EQ(ScriptOutput(), "Error: libcorvale_jsengine.so not found.");
    EXPECT_FALSE(handler.Compile("1;", "a.js"));
    EXPECT_FALSE(handler.RunCompiled());
    EXPECT_FALSE(handler.CallFunction("f"));
    // A library that is not the engine is refused just the same.
    SetScriptEngineLibraryPath(QStringLiteral("libc.so.6"));
    EXPECT_FALSE(IsScriptEngineAvailable());
    EXPECT_FALSE(ScriptEngineError().isEmpty());
}

}  // namespace
