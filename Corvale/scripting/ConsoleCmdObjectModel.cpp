#include "scripting/ConsoleCmdObjectModel.h"

#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleCmdVariable.h"

CConsoleCmdObjectModel::CConsoleCmdObjectModel(std::uintptr_t owner,
                                               CConsoleCmdProcessor* processor)
    : CConsoleCmd("$", owner), m_Processor(processor) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdObjectModel::Clone() const {
    return std::make_unique<CConsoleCmdObjectModel>(*this);
}

bool CConsoleCmdObjectModel::Matches(const std::string& word) {
    if (word.empty() || word[0] != '$')
        return false;
    m_Word = word;
    return true;
}

bool CConsoleCmdObjectModel::Execute(const std::string& args, std::string& output,
                                     std::unique_ptr<CConsoleCmdVariable>& result) {
    if (args.empty() || args[0] != '.') {
        output += "Missing method or property.\r\n";
        return false;
    }
    const std::size_t open = args.find('(');
    if (open == std::string::npos) {
        output += "Missing argument.\r\n";
        return false;
    }
    const std::string method = ConsoleTrim(args.substr(1, open - 1));
    // The last ")" closes the list, so that a quoted text may hold parentheses
    // of its own: set_name("Roads (main)").
    const std::size_t close = args.rfind(')');
    if (close == std::string::npos || close < open) {
        output += "Missing closing ')'.\r\n";
        return false;
    }
    const std::string arguments = ConsoleTrim(args.substr(open + 1, close - open - 1));

    CConsoleCmdVariable* variable =
        m_Processor != nullptr ? m_Processor->FindVariable(m_Word) : nullptr;
    if (variable == nullptr) {
        output += "Undefined variable: " + m_Word + "\r\n";
        return false;
    }
    return variable->CallMethod(method, arguments, output, result);
}
