#pragma once
// The command processor of one console: its commands in registration order,
// its aliases and its variables.
//
// A line is split into its first word and the rest; aliases are resolved on
// the word; the first command that accepts the word runs on the rest. Every
// successful command leaves an unnamed entry (its result object, or none) on
// the variable list, which doubles as the stack of results: the set command
// takes the newest entry, the one its own right side left, and binds it to a
// $ name.

#include <memory>
#include <string>
#include <vector>

class CConsoleCmd;
class CConsoleCmdVariable;
class CTheme;

class CConsoleCmdProcessor {
public:
    struct Alias {
        std::string m_Name;
        std::string m_Target;
    };
    struct Variable {
        // Empty for a command result that no set has taken.
        std::string m_Name;
        // May be empty: a command without a result, or a name bound to one.
        std::unique_ptr<CConsoleCmdVariable> m_Object;
    };

    CConsoleCmdProcessor();
    ~CConsoleCmdProcessor();
    CConsoleCmdProcessor(const CConsoleCmdProcessor&) = delete;
    CConsoleCmdProcessor& operator=(const CConsoleCmdProcessor&) = delete;

    // Appends a clone of the prototype to the commands.
    void RegisterCommand(const CConsoleCmd& prototype);
    // Runs one line; the messages are appended to output. True on success;
    // an empty line succeeds and does nothing.
    bool Execute(const std::string& line, std::string& output);

    // Gives an alias a new target, or appends it when no alias has exactly
    // that name.
    void SetAlias(const std::string& target, const std::string& name);
    // Removes the first alias of exactly that name.
    void RemoveAlias(const std::string& name);

    // The object of the first entry of exactly that name; null when there is
    // no such entry or it holds no object.
    CConsoleCmdVariable* FindVariable(const std::string& name) const;
    // Takes the object of the newest entry and removes the entry; null when
    // the list is empty.
    std::unique_ptr<CConsoleCmdVariable> PopLastResult();
    // Binds the object to the name, deleting the object the name held.
    void SetVariable(const std::string& name, std::unique_ptr<CConsoleCmdVariable> variable);
    // Makes every variable that refers to the theme forget it; the document
    // calls this before it removes a theme.
    void DetachTheme(const CTheme* theme);

    // word: the first word, up to a blank, a tab or a "."; rest: the line
    // from that character on. Leading blanks and tabs are skipped before the
    // word; both parts are trimmed (blanks and tabs on the left, blanks, tabs,
    // line feeds and carriage returns on the right).
    static void SplitCommandLine(const std::string& line, std::string& word, std::string& rest);

    const std::vector<std::unique_ptr<CConsoleCmd>>& GetCommands() const { return m_Commands; }
    const std::vector<Alias>& GetAliases() const { return m_Aliases; }
    const std::vector<Variable>& GetVariables() const { return m_Variables; }

    // Set by the console window: an unknown command then points at help.
    bool m_HelpHint = false;

private:
    const Alias* FindAliasNoCase(const std::string& word) const;

    std::vector<std::unique_ptr<CConsoleCmd>> m_Commands;
    std::vector<Alias> m_Aliases;
    std::vector<Variable> m_Variables;
};
