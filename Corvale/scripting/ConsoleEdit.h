#pragma once
// The console's output pane: a read-only text showing the console buffer, and
// the log target that the console's log lines go to (the buffer, or a file).

#include "scripting/ConsoleBuffer.h"

#include <QPlainTextEdit>

#include <fstream>
#include <memory>
#include <string>

class QMenu;

class CConsoleEdit : public QPlainTextEdit {
public:
    // Channel 0 is console text: it always goes to the buffer. Channel 1 is
    // log text: it goes to the log target while the log is enabled.
    enum Channel { ConsoleChannel = 0, LogChannel = 1 };

    // The buffer takes its size from the setting ConsoleBufferSize_kB as it
    // is now; later changes of the setting apply to new consoles.
    explicit CConsoleEdit(QWidget* parent = nullptr);
    ~CConsoleEdit() override;

    // Appends text on a channel; other channels are ignored.
    void Write(const std::string& text, int channel);
    // Makes the named file the log target, truncating it, or with an empty
    // name makes the buffer the target again. False, with the buffer as the
    // target, when the file cannot be opened for writing.
    bool SetLogFile(const std::string& name);
    // Empties the buffer and the pane.
    void Clear();
    // Puts the caret at the end of the text and scrolls it into view.
    void MoveCaretToEnd();

    void EnableLog(bool enabled) { m_LogEnabled = enabled; }
    bool IsLogEnabled() const { return m_LogEnabled; }
    // True while log lines go to a file.
    bool IsFileTarget() const { return m_FileTarget; }
    const std::string& GetLogFileName() const { return m_LogFileName; }
    const CConsoleBuffer& GetBuffer() const { return m_Buffer; }

    // The context menu: Undo, Cut, Copy, Paste, Delete, Select All. The pane
    // is read-only, so only Copy (with a selection) and Select All act.
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Shows the buffer's text in the pane.
    void Refresh();

    CConsoleBuffer m_Buffer;
    bool m_LogEnabled = false;
    bool m_FileTarget = false;
    std::ofstream m_LogStream;
    std::string m_LogFileName;
};
