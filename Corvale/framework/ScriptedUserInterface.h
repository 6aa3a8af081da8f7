#pragma once
// A user interface for tests: it records everything shown and answers from a
// queue the test fills. A question nobody queued an answer for is answered
// like the silent interface (Cancel / No / nothing chosen) and recorded, so a
// test sees that it was asked.

#include "framework/UserInterface.h"

#include <deque>
#include <string>
#include <vector>

namespace corvale {

class CScriptedUserInterface : public IUserInterface {
public:
    struct Shown {
        std::string kind; // "message", "open", "save", "folder", "text", "choice", "color"
        std::string text; // message text, or the dialog's title
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
    };

    // Installs itself for its lifetime.
    CScriptedUserInterface();
    ~CScriptedUserInterface() override;

    // Queued answers, taken in order by the matching kind of question.
    std::deque<int> messageAnswers;
    std::deque<std::vector<std::string>> openAnswers; // an empty entry cancels
    std::deque<std::string> saveAnswers;              // an empty entry cancels
    std::deque<std::string> folderAnswers;            // an empty entry cancels
    std::deque<std::string> textAnswers;
    std::deque<int> choiceAnswers;          // the button's index; -1 dismisses
    std::deque<long long> colorAnswers;     // a colour word; negative cancels

    std::vector<Shown> shown;
    std::vector<FileDialogRequest> openRequests; // what each open dialog was asked
    std::vector<FileDialogRequest> saveRequests; // what each save dialog was asked
    // What each button dialog offered: the prompt, then the choices.
    std::vector<std::vector<std::string>> choiceRequests;
    // The colour each colour picker started with.
    std::vector<std::uint32_t> colorRequests;
    std::vector<std::string> statusTexts;
    std::vector<std::pair<int, std::string>> paneTexts;
    std::vector<int> progress; // -1 begin, -2 end, else the percentage
    std::vector<std::string> progressTexts; // the labels, in order
    int waitCursorDepth = 0;
    int waitCursorUses = 0;

    // The texts of the messages shown, in order.
    std::vector<std::string> Messages() const;

    int ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    bool ChooseOpenFiles(const FileDialogRequest& request, std::vector<std::string>& paths) override;
    bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseFolder(const std::string& title, std::string& path) override;
    bool AskText(const std::string& title, const std::string& prompt, std::string& value) override;
    int AskChoice(const std::string& title, const std::string& prompt, const std::vector<std::string>& choices) override;
    bool ChooseColor(const std::string& title, std::uint32_t& colour) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusPaneText(int paneId, const std::string& text) override;
    void BeginProgress() override;
    void SetProgress(int percent) override;
    void EndProgress() override;
    void SetProgressText(const std::string& label) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
};

} // namespace corvale
