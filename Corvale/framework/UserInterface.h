#pragma once
// The user-interface seam: how document commands and scripts reach message
// boxes, file and folder choosers, small input and button dialogs, the
// colour picker, the status bar, progress and the wait cursor without
// knowing about widgets.
//
// The program installs the Qt implementation at start-up; tests install a
// CScriptedUserInterface that records what was shown and answers as told.
// Until something is installed, a silent implementation answers every
// question with Cancel (or No), so nothing is ever done on an unasked "yes".

#include <cstdint>
#include <string>
#include <vector>

namespace corvale {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// The answers keep the numbers programs and scripts know.
enum MessageAnswer { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

struct FileDialogRequest {
    std::string title;
    // Alternating description and pattern, separated by '|', as "Shape Files
    // (*.shp)|*.shp|All Files (*.*)|*.*||".
    std::string filter;
    std::string initialFolder;
    std::string initialName;
    std::string defaultExtension;
    bool multiple = false;
};

class IUserInterface {
public:
    virtual ~IUserInterface();

    virtual int ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
    virtual bool ChooseOpenFiles(const FileDialogRequest& request, std::vector<std::string>& paths) = 0;
    virtual bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) = 0;
    virtual bool ChooseFolder(const std::string& title, std::string& path) = 0;
    // A one-line text input; false when cancelled.
    virtual bool AskText(const std::string& title, const std::string& prompt, std::string& value) = 0;
    // A whole number, preset with value; false when cancelled. This one asks
    // through AskText and answers false for a text that is not a whole
    // number of int's range; an implementation with a number field of its
    // own may override it.
    virtual bool AskInteger(const std::string& title, const std::string& prompt, int& value);
    // A row of buttons under a prompt, one per choice; the index of the
    // button pressed, -1 when the dialog was dismissed without one. The
    // default answers -1.
    virtual int AskChoice(const std::string& title, const std::string& prompt, const std::vector<std::string>& choices);
    // A colour picker preset with colour (red in the low byte, then green,
    // then blue); false when cancelled. The default answers false.
    virtual bool ChooseColor(const std::string& title, std::uint32_t& colour);
    // The message pane of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
    // A status-bar pane by its id (1130 shows the reference system).
    virtual void SetStatusPaneText(int paneId, const std::string& text) = 0;
    virtual void BeginProgress() = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void EndProgress() = 0;
    // A label beside the progress bar while it is shown (empty: none); the
    // bar's end takes it away. Implementations without one ignore it.
    virtual void SetProgressText(const std::string& label);
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// The installed implementation (never null).
IUserInterface& UI();
// Installs an implementation (not owned); null goes back to the silent one.
void SetUserInterface(IUserInterface* ui);

// Shows the wait cursor for the life of the object.
class CWaitCursor {
public:
    CWaitCursor() { UI().BeginWaitCursor(); }
    ~CWaitCursor() { UI().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// While a command runs: the wait cursor and, when asked, "Working..." in the
// status bar, which gives way to the idle text afterwards.
class CBusyScope {
public:
    explicit CBusyScope(bool statusText = true) : m_StatusText(statusText) {
        if (m_StatusText)
            UI().SetStatusText("Working...");
    }
    ~CBusyScope() {
        if (m_StatusText)
            UI().SetStatusText("For Help, press F1");
    }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    bool m_StatusText;
    CWaitCursor m_Wait;
};

} // namespace corvale
