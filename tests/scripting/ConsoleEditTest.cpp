// The two panes of the console on their own: the output pane with its buffer
// and log target, and the command line with its keyboard rules and history.

#include "scripting/ConsoleCommandEdit.h"
#include "scripting/ConsoleEdit.h"

#include "TempDir.h"
#include "framework/Messages.h"
#include "settings/AppSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Enabled state of each item of a context menu, by its text.
std::map<std::string, bool> MenuState(QMenu& menu) {
    std::map<std::string, bool> state;
    for (QAction* action : menu.actions())
        if (!action->isSeparator())
            state[action->text().toStdString()] = action->isEnabled();
    return state;
}

void SetClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

// Sets the ConsoleBufferSize_kB setting for the life of the object.
class BufferSizeSetting {
public:
    explicit BufferSizeSetting(int kB)
        : m_Saved(CAppSettings::GetInstance()->m_ConsoleBufferSize_kB) {
        CAppSettings::GetInstance()->m_ConsoleBufferSize_kB = kB;
    }
    ~BufferSizeSetting() { CAppSettings::GetInstance()->m_ConsoleBufferSize_kB = m_Saved; }

private:
    int m_Saved;
};

// ---- The output pane ----

std::string Shown(const CConsoleEdit& edit) {
    return edit.toPlainText().toStdString();
}

TEST(ConsoleEdit, ChannelsDecideWhereTextGoes) {
    CConsoleEdit edit;
    edit.Write("one\r\n", CConsoleEdit::ConsoleChannel);
    edit.Write("log off\r\n", CConsoleEdit::LogChannel); // the log is off at first
    edit.Write("elsewhere\r\n", 2);
    edit.EnableLog(true);
    edit.Write("two\r\n", CConsoleEdit::LogChannel);

    EXPECT_EQ(edit.GetBuffer().GetText(), "one\r\ntwo\r\n");
    EXPECT_EQ(Shown(edit), "one\ntwo\n");
    EXPECT_EQ(edit.textCursor().position(),
              edit.document()->characterCount() - 1); // caret at the end

    edit.Clear();
    EXPECT_EQ(Shown(edit), "");
    EXPECT_EQ(edit.GetBuffer().GetText(), "");
}

TEST(ConsoleEdit, LogFileTakesTheLogLinesUntilTheTargetIsTheConsoleAgain) {
    TempDir dir;
    const std::string path = dir.file("console.log");
    {
        std::ofstream old(path, std::ios::binary);
        old << "old contents";
    }
    CConsoleEdit edit;
    edit.EnableLog(true);
    ASSERT_TRUE(edit.SetLogFile(path));
    EXPECT_TRUE(edit.IsFileTarget());
    EXPECT_EQ(edit.GetLogFileName(), path);

    edit.Write("to the file\r\n", CConsoleEdit::LogChannel);
    edit.Write("to the pane\r\n", CConsoleEdit::ConsoleChannel);
    // Each log line is flushed at once, so the file can be read while it is the target.
    EXPECT_EQ(ReadFile(path), "to the file\r\n");
    EXPECT_EQ(Shown(edit), "to the pane\n");

    ASSERT_TRUE(edit.SetLogFile(std::string()));
    EXPECT_FALSE(edit.IsFileTarget());
    EXPECT_EQ(edit.GetLogFileName(), "");
    edit.Write("back\r\n", CConsoleEdit::LogChannel);
    EXPECT_EQ(Shown(edit), "to the pane\nback\n");
    EXPECT_EQ(ReadFile(path), "to the file\r\n");
}

TEST(ConsoleEdit, LogFileThatCannotBeOpenedLeavesTheConsoleAsTarget) {
    TempDir dir;
    CConsoleEdit edit;
    edit.EnableLog(true);
    ASSERT_TRUE(edit.SetLogFile(dir.file("first.log")));
    EXPECT_FALSE(edit.SetLogFile(dir.path())); // a folder
    EXPECT_FALSE(edit.IsFileTarget());
    EXPECT_EQ(edit.GetLogFileName(), "");
    edit.Write("still shown\r\n", CConsoleEdit::LogChannel);
    EXPECT_EQ(Shown(edit), "still shown\n");
    EXPECT_FALSE(edit.SetLogFile(dir.file("missing/folder/x.log")));
    EXPECT_EQ(ReadFile(dir.file("first.log")), "");
}

TEST(ConsoleEdit, BufferSizeComesFromTheSettingAndTheOldestTextGoes) {
    BufferSizeSetting setting(1);
    CConsoleEdit edit;
    EXPECT_EQ(edit.GetBuffer().GetSize(), 1024u);
    std::string all;
    for (int i = 0; i < 300; ++i)
        all += "line " + std::to_string(i) + "\r\n";
    edit.Write(all, CConsoleEdit::ConsoleChannel);
    const std::string kept = edit.GetBuffer().GetText();
    EXPECT_EQ(kept, all.substr(all.size() - 1022));
    EXPECT_EQ(Shown(edit).back(), '\n');
    EXPECT_NE(Shown(edit).find("line 299\n"), std::string::npos);
    EXPECT_EQ(Shown(edit).find("line 0\n"), std::string::npos);
}

TEST(ConsoleEdit, WrappedTextNeverStartsInsideACharacter) {
    BufferSizeSetting setting(1);
    CConsoleEdit edit;
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "\xC3\xA9"; // é, two bytes
    text += "x";
    edit.Write(text, CConsoleEdit::ConsoleChannel);
    // 1,022 bytes are kept: the last byte of an é, 510 whole ones and the x.
    EXPECT_EQ(edit.toPlainText(), QString(510, QChar(0xE9)) + QStringLiteral("x"));
}

TEST(ConsoleEdit, ContextMenuOnlyCopiesAndSelects) {
    CConsoleEdit edit;
    edit.Write("some output\r\n", CConsoleEdit::ConsoleChannel);
    std::unique_ptr<QMenu> menu = edit.CreateContextMenu();
    const std::map<std::string, bool> nothingSelected{{"Undo", false},   {"Cut", false},
                                                      {"Copy", false},   {"Paste", false},
                                                      {"Delete", false}, {"Select All", true}};
    EXPECT_EQ(MenuState(*menu), nothingSelected);

    edit.selectAll();
    menu = edit.CreateContextMenu();
    EXPECT_TRUE(MenuState(*menu).at("Copy"));
    EXPECT_FALSE(MenuState(*menu).at("Cut"));
    EXPECT_FALSE(MenuState(*menu).at("Delete"));
}

// ---- The command line ----

// Stands in for the console window: records the commands it is sent.
class CRecordingWindow : public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) override {
        if (message == WM_CONSOLE_COMMAND)
            commands.emplace_back(reinterpret_cast<const char*>(wParam));
        return CMessageWindow::OnMessage(message, wParam, lParam);
    }
    std::vector<std::string> commands;
};

class CommandEditTest : public ::testing::Test {
protected:
    CommandEditTest() : edit(&owner) { edit.show(); }

    std::string Text() const { return edit.toPlainText().toStdString(); }
    int Caret() const { return edit.textCursor().position(); }
    void PlaceCaret(int position, int anchor = -1) {
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(anchor < 0 ? position : anchor);
        if (anchor >= 0)
            cursor.setPosition(position, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
    }
    void Enter(const char* text) {
        QTest::keyClicks(&edit, text);
        QTest::keyClick(&edit, Qt::Key_Return);
    }

    CRecordingWindow owner;
    CConsoleCommandEdit edit;
};

TEST_F(CommandEditTest, EnterSendsTheTrimmedInputAndRestoresThePrompt) {
    EXPECT_EQ(Text(), "> ");
    EXPECT_EQ(edit.InputStart(), 2);
    Enter("  dir *.shp  ");
    EXPECT_EQ(owner.commands, std::vector<std::string>{"dir *.shp"});
    EXPECT_EQ(Text(), "> ");
    EXPECT_EQ(Caret(), 2);

    // An empty command is sent too, but not kept.
    QTest::keyClicks(&edit, "   ");
    QTest::keyClick(&edit, Qt::Key_Enter);
    EXPECT_EQ(owner.commands, (std::vector<std::string>{"dir *.shp", ""}));
    EXPECT_EQ(edit.GetHistory(), std::vector<std::string>{"dir *.shp"});
    EXPECT_EQ(edit.GetHistoryPosition(), 1);
}

TEST_F(CommandEditTest, OnlyTheInputTakesTyping) {
    struct Case {
        const char* name;
        int position;
        int anchor; // -1: no selection
        const char* after;
    };
    const Case cases[] = {
        {"caret at the input start", 2, -1, "> xab"}, {"caret at the end", 4, -1, "> abx"},
        {"caret inside the prompt", 1, -1, "> ab"},   {"caret before the prompt", 0, -1, "> ab"},
        {"selection into the prompt", 3, 1, "> ab"},  {"selection of everything", 4, 0, "> ab"},
        {"selection inside the input", 4, 3, "> ab"},
    };
    for (const Case& c : cases) {
        edit.setPlainText("> ab");
        PlaceCaret(c.position, c.anchor);
        QTest::keyClicks(&edit, "x");
        EXPECT_EQ(Text(), c.after) << c.name;
    }
}

TEST_F(CommandEditTest, BackspaceAndLeftStopAtTheInputStart) {
    QTest::keyClicks(&edit, "ab");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(), "> a");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(), "> ");

    QTest::keyClicks(&edit, "cd");
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(Caret(), 2);
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(Caret(), 2);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(), "> cd");

    // A selection that reaches the input start neither moves left nor is erased.
    PlaceCaret(2, 4);
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(edit.textCursor().selectionStart(), 2);
    EXPECT_EQ(edit.textCursor().selectionEnd(), 4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(), "> cd");
}

TEST_F(CommandEditTest, UpAndDownWalkTheHistory) {
    // Up on an empty history shows the bare prompt, and so does Down.
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(Text(), "> ");
    EXPECT_EQ(edit.GetHistoryPosition(), -1);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(Text(), "> ");
    EXPECT_EQ(edit.GetHistoryPosition(), 0);

    Enter("first");
    Enter("second");
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Up, "> second"}, {Qt::Key_Up, "> first"},   {Qt::Key_Up, "> "},
        {Qt::Key_Up, "> "},       {Qt::Key_Down, "> first"}, {Qt::Key_Down, "> second"},
        {Qt::Key_Down, "> "},     {Qt::Key_Down, "> "},      {Qt::Key_Up, "> second"},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&edit, step.first);
        EXPECT_EQ(Text(), step.second);
        EXPECT_EQ(Caret(), static_cast<int>(std::string(step.second).size()));
    }
    // A recalled command runs again with Enter and becomes the newest entry.
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(owner.commands.back(), "second");
    EXPECT_EQ(edit.GetHistory().size(), 3u);
}

TEST_F(CommandEditTest, ControlCharactersAreSwallowedAndInsertPastesOnlyIntoTheInput) {
    SetClipboardText(QStringLiteral("zz"));
    QTest::keyClicks(&edit, "ab");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(Text(), "> ab");

    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "> abzz");
    PlaceCaret(1);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "> abzz");

    // Delete works inside the input only.
    PlaceCaret(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(Text(), "> abzz");
    PlaceCaret(2);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(Text(), "> bzz");

    // Pasting by other ways (middle button, drops) lands in the input only.
    PlaceCaret(0);
    edit.paste();
    EXPECT_EQ(Text(), "> bzz");
}

TEST_F(CommandEditTest, ContextMenuActsOnlyInsideTheInput) {
    SetClipboardText(QStringLiteral("clip"));
    QTest::keyClicks(&edit, "abc");

    struct Case {
        const char* name;
        int position;
        int anchor;
        std::map<std::string, bool> enabled;
    };
    const Case cases[] = {
        {"caret in the input",
         5,
         -1,
         {{"Undo", true},
          {"Cut", true},
          {"Copy", false},
          {"Paste", true},
          {"Delete", false},
          {"Select All", true}}},
        {"selection in the input",
         5,
         3,
         {{"Undo", true},
          {"Cut", true},
          {"Copy", true},
          {"Paste", true},
          {"Delete", true},
          {"Select All", true}}},
        {"selection over the prompt",
         3,
         0,
         {{"Undo", true},
          {"Cut", false},
          {"Copy", true},
          {"Paste", false},
          {"Delete", false},
          {"Select All", true}}},
        {"caret in the prompt",
         1,
         -1,
         {{"Undo", true},
          {"Cut", false},
          {"Copy", false},
          {"Paste", false},
          {"Delete", false},
          {"Select All", true}}},
    };
    for (const Case& c : cases) {
        PlaceCaret(c.position, c.anchor);
        std::unique_ptr<QMenu> menu = edit.CreateContextMenu();
        EXPECT_EQ(MenuState(*menu), c.enabled) << c.name;
    }

    // Delete from the menu removes the selected input.
    PlaceCaret(5, 3);
    std::unique_ptr<QMenu> menu = edit.CreateContextMenu();
    for (QAction* action : menu->actions())
        if (action->text() == QStringLiteral("Delete"))
            action->trigger();
    EXPECT_EQ(Text(), "> a");
}

} // namespace
