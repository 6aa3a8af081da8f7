#pragma once
// Console commands.
//
// A console's command processor owns one object per kind of command and hands
// each line to the first command that accepts the line's first word. A command
// appends its messages to an output text, each message ending in CR LF (the
// console buffer, its dumps and its log files are CR LF text), and answers
// success or failure; it never throws. It may hand back a result object, which
// the set command binds to a $ name.

#include <cstdint>
#include <memory>
#include <string>

class CConsoleCmdVariable;

class CConsoleCmd {
public:
    // name: the command word; owner: the identity of the console the command
    // belongs to, the key of its current directory.
    CConsoleCmd(std::string name, std::uintptr_t owner);
    virtual ~CConsoleCmd();

    // A new heap copy with the same owner, pointers and settings. The
    // processor keeps clones, so callers may register a prototype on the stack.
    virtual std::unique_ptr<CConsoleCmd> Clone() const = 0;
    // True when the command handles the word: the word and the command's name
    // compared in upper case. A command may remember the word it accepted.
    virtual bool Matches(const std::string& word);
    // Runs the command on the rest of the line (args) and appends its messages
    // to output. result is empty on entry; a command may leave a new object in
    // it. True on success.
    virtual bool Execute(const std::string& args, std::string& output,
                         std::unique_ptr<CConsoleCmdVariable>& result) = 0;
    // One line for the command list: the name, a tab and a description. Empty
    // for a command that is not listed.
    virtual std::string GetShortHelp() const;
    // The long help; "No help available." unless a command has its own.
    virtual std::string GetHelp() const;

    const std::string& GetName() const { return m_Name; }
    std::uintptr_t GetOwner() const { return m_Owner; }

protected:
    CConsoleCmd(const CConsoleCmd&) = default;
    CConsoleCmd& operator=(const CConsoleCmd&) = default;

    // Kept in upper case.
    std::string m_Name;
    std::uintptr_t m_Owner;
};

// The current directory of a console, by the console's owner word. The entry
// is made empty on first use; the cd command stores the start folder in it.
std::string& ConsoleCurrentDirectory(std::uintptr_t owner);
// Drops a console's entry when the console goes, so that a later console
// given the same owner word starts afresh.
void ForgetConsoleCurrentDirectory(std::uintptr_t owner);

// Text helpers of the command line. Upper-casing touches ASCII letters only,
// so that command words compare alike under every locale (a Turkish locale
// would otherwise turn "dir" into "DİR").
std::string ConsoleUpperCase(std::string text);
// Blanks and tabs off the left end.
std::string ConsoleTrimLeft(const std::string& text);
// Blanks, tabs, line feeds and carriage returns off the right end.
std::string ConsoleTrimRight(const std::string& text);
// Both of the above.
std::string ConsoleTrim(const std::string& text);
