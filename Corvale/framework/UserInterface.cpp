#include "framework/UserInterface.h"

#include <charconv>

namespace corvale {

namespace {

class CSilentUserInterface : public IUserInterface {
public:
    int ShowMessage(const std::string&, MessageIcon, MessageButtons buttons) override {
        switch (buttons) {
        case MessageButtons::Ok:
            return IDOK;
        case MessageButtons::YesNo:
            return IDNO;
        default:
            return IDCANCEL;
        }
    }
    bool ChooseOpenFiles(const FileDialogRequest&, std::vector<std::string>&) override { return false; }
    bool ChooseSaveFile(const FileDialogRequest&, std::string&) override { return false; }
    bool ChooseFolder(const std::string&, std::string&) override { return false; }
    bool AskText(const std::string&, const std::string&, std::string&) override { return false; }
    void SetStatusText(const std::string&) override {}
    void SetStatusPaneText(int, const std::string&) override {}
    void BeginProgress() override {}
    void SetProgress(int) override {}
    void EndProgress() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};

CSilentUserInterface g_Silent;
IUserInterface* g_Installed = &g_Silent;

} // namespace

IUserInterface::~IUserInterface() = default;

bool IUserInterface::AskInteger(const std::string& title, const std::string& prompt, int& value) {
    std::string text = std::to_string(value);
    if (!AskText(title, prompt, text))
        return false;
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    int number = 0;
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || stop != end)
        return false;
    value = number;
    return true;
}

int IUserInterface::AskChoice(const std::string&, const std::string&, const std::vector<std::string>&) { return -1; }

bool IUserInterface::ChooseColor(const std::string&, std::uint32_t&) { return false; }

void IUserInterface::SetProgressText(const std::string&) {}

IUserInterface& UI() { return *g_Installed; }

void SetUserInterface(IUserInterface* ui) { g_Installed = ui != nullptr ? ui : &g_Silent; }

} // namespace corvale
