#include "scripting/ConsoleCmdProcessor.h"

#include "platform/TextCase.h"
#include "scripting/ConsoleCmd.h"
#include "scripting/ConsoleCmdVariable.h"

#include <algorithm>

namespace {

// A chain of aliases that each name another alias is at most as long as the
// alias list; the margin lets aliases with an empty target, which take their
// next word from the rest of the line, work through a line's words. A line
// that needs more expansions than that is going round in a circle, which would
// otherwise never end and make the line longer on every round.
constexpr std::size_t kAliasExpansionMargin = 64;

} // namespace

CConsoleCmdProcessor::CConsoleCmdProcessor() = default;

CConsoleCmdProcessor::~CConsoleCmdProcessor() = default;

void CConsoleCmdProcessor::RegisterCommand(const CConsoleCmd& prototype) {
    m_Commands.push_back(prototype.Clone());
}

void CConsoleCmdProcessor::SplitCommandLine(const std::string& line, std::string& word,
                                            std::string& rest) {
    // Leading blanks are skipped, so that an indented line of a command file
    // runs its command instead of being taken for an empty one.
    const std::string text = ConsoleTrimLeft(line);
    const std::size_t end = text.find_first_of(" \t.");
    if (end == std::string::npos) {
        word = ConsoleTrimRight(text);
        rest.clear();
        return;
    }
    word = ConsoleTrimRight(text.substr(0, end));
    rest = ConsoleTrim(text.substr(end));
}

const CConsoleCmdProcessor::Alias*
CConsoleCmdProcessor::FindAliasNoCase(const std::string& word) const {
    for (auto it = m_Aliases.rbegin(); it != m_Aliases.rend(); ++it)
        if (corvale::EqualsNoCase(it->m_Name, word))
            return &*it;
    return nullptr;
}

bool CConsoleCmdProcessor::Execute(const std::string& line, std::string& output) {
    std::string text = line;
    std::replace(text.begin(), text.end(), '\t', ' ');
    std::string word;
    std::string rest;
    SplitCommandLine(text, word, rest);

    const std::string typedWord = word;
    const std::size_t maxExpansions = m_Aliases.size() + kAliasExpansionMargin;
    std::size_t expansions = 0;
    for (;;) {
        if (word.empty())
            return true;
        const Alias* alias = FindAliasNoCase(word);
        if (alias == nullptr)
            break;
        if (++expansions > maxExpansions) {
            output += "Alias loop: '" + typedWord + "'.\r\n";
            return false;
        }
        text = alias->m_Target + " " + rest;
        SplitCommandLine(text, word, rest);
    }

    for (const auto& command : m_Commands) {
        if (!command->Matches(word))
            continue;
        std::unique_ptr<CConsoleCmdVariable> result;
        const bool ok = command->Execute(rest, output, result);
        if (ok)
            m_Variables.push_back(Variable{std::string(), std::move(result)});
        return ok;
    }

    output += "Unknown command '" + word + "'.";
    if (m_HelpHint)
        output += "\r\nTry 'help'.";
    output += "\r\n";
    return false;
}

void CConsoleCmdProcessor::SetAlias(const std::string& target, const std::string& name) {
    for (Alias& alias : m_Aliases) {
        if (alias.m_Name == name) {
            alias.m_Target = target;
            return;
        }
    }
    m_Aliases.push_back(Alias{name, target});
}

void CConsoleCmdProcessor::RemoveAlias(const std::string& name) {
    const auto it = std::find_if(m_Aliases.begin(), m_Aliases.end(),
                                 [&](const Alias& alias) { return alias.m_Name == name; });
    if (it != m_Aliases.end())
        m_Aliases.erase(it);
}

CConsoleCmdVariable* CConsoleCmdProcessor::FindVariable(const std::string& name) const {
    for (const Variable& variable : m_Variables)
        if (variable.m_Name == name)
            return variable.m_Object.get();
    return nullptr;
}

std::unique_ptr<CConsoleCmdVariable> CConsoleCmdProcessor::PopLastResult() {
    if (m_Variables.empty())
        return nullptr;
    std::unique_ptr<CConsoleCmdVariable> object = std::move(m_Variables.back().m_Object);
    m_Variables.pop_back();
    return object;
}

void CConsoleCmdProcessor::SetVariable(const std::string& name,
                                       std::unique_ptr<CConsoleCmdVariable> variable) {
    for (Variable& entry : m_Variables) {
        if (entry.m_Name == name) {
            entry.m_Object = std::move(variable);
            return;
        }
    }
    m_Variables.push_back(Variable{name, std::move(variable)});
}

void CConsoleCmdProcessor::DetachTheme(const CTheme* theme) {
    if (theme == nullptr)
        return;
    for (Variable& entry : m_Variables) {
        auto* themeVariable = dynamic_cast<CConsoleCmdThemeVariable*>(entry.m_Object.get());
        if (themeVariable != nullptr && themeVariable->GetTheme() == theme)
            themeVariable->ForgetTheme();
    }
}
