#include "framework/UserInterface.h"

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

IUserInterface& UI() { return *g_Installed; }

void SetUserInterface(IUserInterface* ui) { g_Installed = ui != nullptr ? ui : &g_Silent; }

} // namespace corvale
