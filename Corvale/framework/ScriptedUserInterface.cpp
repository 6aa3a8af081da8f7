#include "framework/ScriptedUserInterface.h"

namespace corvale {

CScriptedUserInterface::CScriptedUserInterface() { SetUserInterface(this); }

CScriptedUserInterface::~CScriptedUserInterface() {
    if (&UI() == this)
        SetUserInterface(nullptr);
}

std::vector<std::string> CScriptedUserInterface::Messages() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown)
        if (s.kind == "message")
            texts.push_back(s.text);
    return texts;
}

int CScriptedUserInterface::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    shown.push_back({"message", text, icon, buttons});
    if (!messageAnswers.empty()) {
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        return IDOK;
    case MessageButtons::YesNo:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

bool CScriptedUserInterface::ChooseOpenFiles(const FileDialogRequest& request, std::vector<std::string>& paths) {
    shown.push_back({"open", request.title});
    openRequests.push_back(request);
    if (openAnswers.empty() || openAnswers.front().empty()) {
        if (!openAnswers.empty())
            openAnswers.pop_front();
        return false;
    }
    paths = openAnswers.front();
    openAnswers.pop_front();
    return true;
}

namespace {

bool TakeText(std::deque<std::string>& answers, std::string& out) {
    if (answers.empty())
        return false;
    std::string answer = answers.front();
    answers.pop_front();
    if (answer.empty())
        return false;
    out = answer;
    return true;
}

} // namespace

bool CScriptedUserInterface::ChooseSaveFile(const FileDialogRequest& request, std::string& path) {
    shown.push_back({"save", request.title});
    saveRequests.push_back(request);
    return TakeText(saveAnswers, path);
}

bool CScriptedUserInterface::ChooseFolder(const std::string& title, std::string& path) {
    shown.push_back({"folder", title});
    return TakeText(folderAnswers, path);
}

bool CScriptedUserInterface::AskText(const std::string& title, const std::string&, std::string& value) {
    shown.push_back({"text", title});
    if (textAnswers.empty())
        return false;
    value = textAnswers.front();
    textAnswers.pop_front();
    return true;
}

int CScriptedUserInterface::AskChoice(const std::string& title, const std::string& prompt,
                                       const std::vector<std::string>& choices) {
    shown.push_back({"choice", title});
    std::vector<std::string> offered{prompt};
    offered.insert(offered.end(), choices.begin(), choices.end());
    choiceRequests.push_back(std::move(offered));
    if (choiceAnswers.empty())
        return -1;
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

bool CScriptedUserInterface::ChooseColor(const std::string& title, std::uint32_t& colour) {
    shown.push_back({"color", title});
    colorRequests.push_back(colour);
    if (colorAnswers.empty())
        return false;
    const long long answer = colorAnswers.front();
    colorAnswers.pop_front();
    if (answer < 0)
        return false;
    colour = static_cast<std::uint32_t>(answer);
    return true;
}

void CScriptedUserInterface::SetStatusText(const std::string& text) { statusTexts.push_back(text); }

void CScriptedUserInterface::SetStatusPaneText(int paneId, const std::string& text) {
    paneTexts.emplace_back(paneId, text);
}

void CScriptedUserInterface::BeginProgress() { progress.push_back(-1); }
void CScriptedUserInterface::SetProgress(int percent) { progress.push_back(percent); }
void CScriptedUserInterface::EndProgress() { progress.push_back(-2); }
void CScriptedUserInterface::SetProgressText(const std::string& label) { progressTexts.push_back(label); }

void CScriptedUserInterface::BeginWaitCursor() {
    ++waitCursorDepth;
    ++waitCursorUses;
}

void CScriptedUserInterface::EndWaitCursor() { --waitCursorDepth; }

} // namespace corvale
