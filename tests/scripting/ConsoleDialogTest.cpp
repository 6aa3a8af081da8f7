// The console window as a whole, and the console of a workspace document.

#include "scripting/ConsoleDialog.h"

#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleCommandEdit.h"
#include "scripting/ConsoleEdit.h"
#include "scripting/DocumentConsole.h"

#include "ConsoleTestSupport.h"
#include "TempDir.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"

#include <QApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ConsoleDialogTest : public ::testing::Test {
protected:
    ConsoleDialogTest() {
        output = console.findChild<CConsoleEdit*>(QString::number(IDC_CONSOLE_OUTPUT));
        commandLine = console.findChild<CConsoleCommandEdit*>(QString::number(IDC_CONSOLE_COMMAND));
    }
    void Type(const char* command) {
        QTest::keyClicks(commandLine, command);
        QTest::keyClick(commandLine, Qt::Key_Return);
    }
    std::string Buffer() const { return output->GetBuffer().GetText(); }

    CConsoleDialog console;
    CConsoleEdit* output = nullptr;
    CConsoleCommandEdit* commandLine = nullptr;
    std::vector<std::string> log;
};

TEST_F(ConsoleDialogTest, IsBuiltWithItsControlsAndWhiteOnBlack) {
    EXPECT_EQ(console.objectName(), QString::number(IDD_CONSOLE));
    EXPECT_EQ(console.windowTitle(), QStringLiteral("Console"));
    ASSERT_NE(output, nullptr);
    ASSERT_NE(commandLine, nullptr);
    EXPECT_EQ(output, console.GetOutputEdit());
    EXPECT_EQ(commandLine, console.GetCommandEdit());
    EXPECT_TRUE(console.GetProcessor().m_HelpHint);
    EXPECT_FALSE(output->IsLogEnabled());
    EXPECT_EQ(commandLine->toPlainText(), QStringLiteral("> "));

    const auto expectColours = [&](const QColor& base, const QColor& text) {
        for (QWidget* edit : {static_cast<QWidget*>(output), static_cast<QWidget*>(commandLine)}) {
            EXPECT_EQ(edit->palette().color(QPalette::Base), base);
            EXPECT_EQ(edit->palette().color(QPalette::Text), text);
        }
    };
    EXPECT_EQ(console.GetColorScheme(), 1);
    expectColours(Qt::black, Qt::white);
    console.SetColorScheme(0);
    expectColours(Qt::white, Qt::black);
}

TEST_F(ConsoleDialogTest, TypedCommandIsEchoedAndAnswered) {
    Type("frobnicate now");
    EXPECT_EQ(Buffer(), "> frobnicate now\r\nUnknown command 'frobnicate'.\r\nTry 'help'.\r\n");
    EXPECT_EQ(output->toPlainText(),
              QStringLiteral("> frobnicate now\nUnknown command 'frobnicate'.\nTry 'help'.\n"));
    EXPECT_FALSE(console.IsHoldingOutput());

    // An empty command shows its prompt and nothing else.
    Type("");
    EXPECT_EQ(Buffer(),
              "> frobnicate now\r\nUnknown command 'frobnicate'.\r\nTry 'help'.\r\n> \r\n");
}

TEST_F(ConsoleDialogTest, LinesPrintedWhileACommandRunsFollowItsEcho) {
    CRecordingCmd work("work", &log);
    work.onExecute = [this](std::string& answer) {
        EXPECT_TRUE(console.IsHoldingOutput());
        console.PrintLine("progress");
        answer += "done\r\n";
    };
    console.GetProcessor().RegisterCommand(work);
    output->EnableLog(true);

    Type("work");
    EXPECT_EQ(Buffer(), "> work\r\nprogress\r\ndone\r\n");

    // With a log file the printed line goes to the file at once.
    TempDir dir;
    ASSERT_TRUE(output->SetLogFile(dir.file("run.log")));
    Type("work");
    EXPECT_EQ(Buffer(), "> work\r\nprogress\r\ndone\r\n> work\r\ndone\r\n");
    EXPECT_EQ(ReadFile(dir.file("run.log")), "progress\r\n");
}

TEST_F(ConsoleDialogTest, PrintLineIsALogLine) {
    console.PrintLine("not yet");
    EXPECT_EQ(Buffer(), "");
    output->EnableLog(true);
    console.PrintLine("Loading 'roads.shp'.");
    console.PrintLine("");
    EXPECT_EQ(Buffer(), "Loading 'roads.shp'.\r\n\r\n");
}

TEST_F(ConsoleDialogTest, CommandLineKeepsItsHeightAtTheBottom) {
    console.show();
    console.resize(500, 300);
    QApplication::processEvents();
    const QRect command = commandLine->geometry();
    const QRect out = output->geometry();
    EXPECT_GT(command.height(), 0);
    EXPECT_EQ(command, QRect(0, 300 - command.height() - 1, 500, command.height()));
    EXPECT_EQ(out, QRect(0, 0, 500, 300 - command.height() - 4));

    console.resize(320, 200);
    QApplication::processEvents();
    EXPECT_EQ(commandLine->geometry(), QRect(0, 200 - command.height() - 1, 320, command.height()));
    EXPECT_EQ(output->geometry().height(), 200 - command.height() - 4);
}

// The prompt stays in sight after every command, however much the answer
// printed: the command line never scrolls its only line away.
TEST_F(ConsoleDialogTest, ThePromptStaysInSightAfterACommand) {
    console.show();
    QApplication::processEvents();
    for (const char* command : {"help", "frobnicate", "", "help"}) {
        SCOPED_TRACE(command);
        Type(command);
        QApplication::processEvents();
        EXPECT_EQ(commandLine->toPlainText(), QStringLiteral("> "));
        EXPECT_EQ(commandLine->verticalScrollBar()->value(), 0);
        // The caret, just after the prompt, lies wholly inside the line.
        const QRect caret = commandLine->cursorRect();
        EXPECT_TRUE(commandLine->viewport()->rect().contains(caret))
            << caret.top() << ".." << caret.bottom() << " in " << commandLine->viewport()->height();
    }
}

TEST_F(ConsoleDialogTest, PostedCommandRunsFromTheEventLoop) {
    static const char kCommand[] = "posted";
    ASSERT_TRUE(
        PostMessage(&console, WM_CONSOLE_COMMAND, reinterpret_cast<std::uintptr_t>(kCommand), 0));
    EXPECT_EQ(Buffer(), "");
    QApplication::processEvents();
    EXPECT_EQ(Buffer(), "> posted\r\nUnknown command 'posted'.\r\nTry 'help'.\r\n");
}

// ---- The console of a document ----

class DocumentConsoleTest : public ::testing::Test {
protected:
    DocumentConsoleTest() : m_Saved(*CAppSettings::GetInstance()) { InstallDocumentConsole(); }
    ~DocumentConsoleTest() override {
        SetDocumentConsoleServices(CDocumentConsoleServices());
        *CAppSettings::GetInstance() = m_Saved;
    }

    CAppSettings m_Saved;
};

TEST_F(DocumentConsoleTest, NoServicesNoConsole) {
    SetDocumentConsoleServices(CDocumentConsoleServices());
    CCorvaleDoc document;
    EXPECT_EQ(document.GetConsole(), nullptr);
    EXPECT_EQ(document.m_console, nullptr);
}

TEST_F(DocumentConsoleTest, MadeOnceWithItsCommandsAndSettings) {
    CAppSettings::GetInstance()->m_ConsoleColorScheme = 0;
    DocumentWithTheme roads;
    roads.document.SetTitle("Roads.cvw");
    CConsoleDialog* console = roads.document.GetConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(roads.document.GetConsole(), console);
    EXPECT_EQ(roads.document.m_console, static_cast<CMessageWindow*>(console));
    EXPECT_EQ(console->windowTitle(), QStringLiteral("Console Roads.cvw"));
    EXPECT_FALSE(console->isVisible());
    EXPECT_TRUE(console->GetOutputEdit()->IsLogEnabled());
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), "");
    // Help, the document's fifteen commands and the $ command, registered once.
    EXPECT_EQ(console->GetProcessor().GetCommands().size(), 17u);
    EXPECT_EQ(console->GetProcessor().GetCommands().front()->GetName(), "HELP");
    EXPECT_EQ(console->GetProcessor().GetCommands().back()->GetName(), "$");
    EXPECT_EQ(console->GetColorScheme(), 0);

    // Every call takes the scheme from the settings again.
    CAppSettings::GetInstance()->m_ConsoleColorScheme = 1;
    roads.document.GetConsole();
    EXPECT_EQ(console->GetColorScheme(), 1);
}

TEST_F(DocumentConsoleTest, ThemeVariableWorksFromTheCommandLine) {
    DocumentWithTheme roads;
    EventLog events(roads.document);
    CConsoleDialog* console = roads.document.GetConsole();
    ASSERT_NE(console, nullptr);
    console->GetProcessor().SetVariable(
        "$t", std::make_unique<CConsoleCmdThemeVariable>(roads.theme, &roads.document));

    QTest::keyClicks(console->GetCommandEdit(), "$t.set_color(\"#00C000\")");
    QTest::keyClick(console->GetCommandEdit(), Qt::Key_Return);
    EXPECT_EQ(roads.theme->m_Color, 0x00C000u);
    EXPECT_EQ(events.events.size(), 1u);
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), "> $t.set_color(\"#00C000\")\r\n");

    // When the document removes the theme, the variable lets go of it.
    GetDocumentConsoleServices().detachTheme(roads.document, roads.theme);
    std::string answer;
    EXPECT_FALSE(console->GetProcessor().Execute("$t.show(false)", answer));
    EXPECT_EQ(answer, "Theme: object is null.\r\n");
    EXPECT_TRUE(roads.theme->m_Visible);
}

TEST_F(DocumentConsoleTest, DocumentPrintsOnItsConsoleAndDeletesIt) {
    QPointer<CConsoleDialog> console;
    {
        CCorvaleDoc document;
        // Before the console exists a line goes nowhere.
        document.PrintConsoleLine("lost");
        console = document.GetConsole();
        ASSERT_FALSE(console.isNull());
        document.PrintConsoleLine("Loading took 2 seconds.");
        GetDocumentConsoleServices().printLine(document, "done");
        EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), "Loading took 2 seconds.\r\ndone\r\n");
    }
    EXPECT_TRUE(console.isNull());
}

TEST_F(DocumentConsoleTest, AutoRunFileIsHandedToRunWhenTheConsoleIsMade) {
    TempDir dir;
    const std::string path = dir.file("start up.scr");
    std::ofstream(path) << "echo started\n";
    CAppSettings::GetInstance()->m_ConsoleAutoRun = path;
    CCorvaleDoc document;
    CConsoleDialog* console = document.GetConsole();
    ASSERT_NE(console, nullptr);
    const std::string expected = "Running '" + path + "'\r\nstarted\r\n";
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), expected);
    // Once only.
    document.GetConsole();
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), expected);
}

TEST_F(DocumentConsoleTest, MissingAutoRunFileIsReported) {
    CAppSettings::GetInstance()->m_ConsoleAutoRun = "/no-such-folder/start.scr";
    CCorvaleDoc document;
    CConsoleDialog* console = document.GetConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(), "Run: Error opening file for reading.\r\n");
}

TEST_F(DocumentConsoleTest, RunScriptPrintsTheAnswerAndShowsTheConsoleOnlyOnFailure) {
    TempDir dir;
    std::ofstream(dir.file("ok.scr")) << "echo fine\n";
    CCorvaleDoc document;
    document.RunScript(dir.file("ok.scr"));
    CConsoleDialog* console = document.GetConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->GetOutputEdit()->GetBuffer().GetText(),
              "Running '" + dir.file("ok.scr") + "'\r\nfine\r\n");
    EXPECT_FALSE(console->isVisible());

    document.RunScript(dir.file("missing.scr"));
    EXPECT_NE(console->GetOutputEdit()->GetBuffer().GetText().find("Run: Error opening file for reading.\r\n"),
              std::string::npos);
    EXPECT_TRUE(console->isVisible());
}

TEST_F(DocumentConsoleTest, ConsoleCommandMakesAndShowsTheConsole) {
    CCorvaleDoc document;
    CCmdUI ui(ID_VIEW_CONSOLE);
    document.OnCmdMsg(ID_VIEW_CONSOLE, &ui);
    EXPECT_TRUE(ui.m_Enabled);
    EXPECT_TRUE(document.OnCmdMsg(ID_VIEW_CONSOLE, nullptr));
    ASSERT_NE(document.m_console, nullptr);
    EXPECT_TRUE(document.GetConsole()->isVisible());
    // Twice: the same window, its commands registered once.
    document.OnCmdMsg(ID_VIEW_CONSOLE, nullptr);
    EXPECT_EQ(document.GetConsole()->GetProcessor().GetCommands().size(), 17u);

    SetDocumentConsoleServices(CDocumentConsoleServices());
    CCmdUI without(ID_VIEW_CONSOLE);
    document.OnCmdMsg(ID_VIEW_CONSOLE, &without);
    EXPECT_FALSE(without.m_Enabled);
}

} // namespace
