#pragma once
// The console window of a workspace document: the output pane on top, the
// command line below, and the command processor that runs what is entered.
//
// The document makes its console on first use (scripting/DocumentConsole.h)
// and owns it; the window is modeless and closing it only hides it. Other
// parts of the program print to it with PrintLine.

#include "framework/Messages.h"
#include "scripting/ConsoleCmdProcessor.h"

#include <QDialog>

#include <cstdint>
#include <string>

class CConsoleCommandEdit;
class CConsoleEdit;

// The dialog's resource id and its two controls' ids; the controls carry the
// ids as their object names.
constexpr int IDD_CONSOLE = 1147;
constexpr int IDC_CONSOLE_OUTPUT = 2010;
constexpr int IDC_CONSOLE_COMMAND = 2011;

class CConsoleDialog : public QDialog, public CMessageWindow {
public:
    explicit CConsoleDialog(QWidget* parent = nullptr);
    ~CConsoleDialog() override;

    // Prints text and CR LF as a log line. While a typed command runs and the
    // log goes to the console, the line waits in the pending output, so that
    // it shows after the command's echo and before the prompt comes back.
    void PrintLine(const std::string& text);
    // Keeps the command line scrolled to its last line.
    void ScrollCommandLine();
    // 1 (or any non-zero value): white text on black; 0: black on white.
    void SetColorScheme(int scheme);
    int GetColorScheme() const { return m_ColorScheme; }

    CConsoleEdit* GetOutputEdit() const { return m_Output; }
    CConsoleCommandEdit* GetCommandEdit() const { return m_CommandEdit; }
    CConsoleCmdProcessor& GetProcessor() { return m_Processor; }
    // The console's identity, which its commands carry as their owner word.
    std::uintptr_t GetOwnerWord() const { return reinterpret_cast<std::uintptr_t>(this); }
    // True while a typed command runs.
    bool IsHoldingOutput() const { return m_Hold; }

    // WM_CONSOLE_COMMAND runs an entered command; other messages go to the
    // command map.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Echoes the command, runs it with the output held back, then shows the
    // answer and every line printed meanwhile.
    void RunCommand(const std::string& command);
    void LayoutPanes();

    CConsoleEdit* m_Output;
    CConsoleCommandEdit* m_CommandEdit;
    CConsoleCmdProcessor m_Processor;
    int m_ColorScheme = 1;
    std::string m_Pending;
    bool m_Hold = false;
    // Height of the command line: one line of the fixed-pitch font.
    int m_CommandHeight = 0;
};
