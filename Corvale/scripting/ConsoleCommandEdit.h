#pragma once
// The console's command line. Its last line starts with the prompt "> ";
// only the text after the prompt (the input) can be edited, Enter sends the
// input to the console window, and Up and Down page through the commands
// entered before.

#include <QPlainTextEdit>

#include <memory>
#include <string>
#include <vector>

class CMessageWindow;
class QMenu;

// From the command line to its console window: one entered command, its
// text (const char*, NUL-terminated) in wParam. The text may be empty.
constexpr unsigned WM_CONSOLE_COMMAND = 0x0401;

class CConsoleCommandEdit : public QPlainTextEdit {
public:
    static constexpr const char* kPrompt = "> ";

    // owner: the console window, which takes each entered command as message
    // WM_CONSOLE_COMMAND with the command's text in wParam.
    explicit CConsoleCommandEdit(CMessageWindow* owner, QWidget* parent = nullptr);
    ~CConsoleCommandEdit() override;

    // Where the input starts: the start of the last line plus the prompt.
    int InputStart() const;
    const std::vector<std::string>& GetHistory() const { return m_History; }
    int GetHistoryPosition() const { return m_HistoryPosition; }

    // The context menu: Undo, Cut, Copy, Paste, Delete, Select All; what
    // changes text acts only inside the input.
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Pasted and dropped text lands only in the input.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Both ends of the selection (the caret when nothing is selected) lie at
    // or after the input start.
    bool SelectionInInput() const;
    bool ClipboardHasText() const;
    void MoveCaretToEnd();
    // The whole text becomes the prompt followed by the entry; caret at the end.
    void ShowInput(const std::string& entry);
    void EnterCommand();
    void StepHistory(int step);

    CMessageWindow* m_Owner;
    std::vector<std::string> m_History;
    int m_HistoryPosition = 0;
};
