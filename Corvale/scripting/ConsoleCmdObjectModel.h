#pragma once
// The $ command: a line "$name.method(arguments)" calls a method of the
// variable bound to $name. It accepts every word that begins with "$", so it
// is registered after every other command.

#include "scripting/ConsoleCmd.h"

class CConsoleCmdProcessor;

class CConsoleCmdObjectModel : public CConsoleCmd {
public:
    CConsoleCmdObjectModel(std::uintptr_t owner, CConsoleCmdProcessor* processor);

    std::unique_ptr<CConsoleCmd> Clone() const override;
    // Any word beginning with "$"; the word is remembered as the variable's name.
    bool Matches(const std::string& word) override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;

private:
    CConsoleCmdProcessor* m_Processor;
    std::string m_Word;
};
