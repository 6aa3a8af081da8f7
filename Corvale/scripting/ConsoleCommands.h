#pragma once
// The commands a console understands. The console window registers help; the
// document registers the rest when it makes its console
// (scripting/DocumentConsole.h), in the order of the help list and of
// matching: help, clear, dump, debug, target, exit, load, cd, dir, run, echo,
// type, alias, explore, edit, set, and last the $ command.
//
// Relative file and folder names are taken relative to the console's current
// directory (ConsoleCurrentDirectory). Every command answers with messages
// ending in CR LF; "Invalid argument '<args>'." is the answer to arguments a
// command does not take.

#include "scripting/ConsoleCmd.h"

#include <functional>
#include <string>

class CConsoleCmdProcessor;
class CConsoleEdit;
class CCorvaleDoc;
class QWidget;

// The console's current directory: the owner's entry, or the process's
// current folder while the entry is empty.
std::string ConsoleDirectory(std::uintptr_t owner);
// A name relative to the console's current directory, or the name itself
// when it is absolute.
std::string ConsoleResolvePath(std::uintptr_t owner, const std::string& name);

// How explore and edit hand a folder or file to the desktop: verb "explore"
// opens a folder in the file manager, "edit" a file in the text editor.
// Tests replace it; an empty function restores the desktop's. True when the
// desktop took the request.
using ConsoleShellFunction = std::function<bool(const std::string& verb, const std::string& path)>;
void SetConsoleShell(ConsoleShellFunction shell);
// Hands a folder or file to the desktop through the installed function.
bool ConsoleShellOpen(const std::string& verb, const std::string& path);

class CConsoleCmdHelp : public CConsoleCmd {
public:
    CConsoleCmdHelp(std::uintptr_t owner, const CConsoleCmdProcessor* processor);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    // HELP or ?.
    bool Matches(const std::string& word) override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    const CConsoleCmdProcessor* m_Processor;
};

class CConsoleCmdClear : public CConsoleCmd {
public:
    CConsoleCmdClear(std::uintptr_t owner, CConsoleEdit* edit);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    CConsoleEdit* m_Edit;
};

class CConsoleCmdDump : public CConsoleCmd {
public:
    CConsoleCmdDump(std::uintptr_t owner, CConsoleEdit* edit);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    CConsoleEdit* m_Edit;
};

// The document's debug flags: 1 mouse, 2 loading, 4 plug-ins, 8 scripts.
class CConsoleCmdDebug : public CConsoleCmd {
public:
    CConsoleCmdDebug(std::uintptr_t owner, unsigned char* flags);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    unsigned char* m_Flags;
};

class CConsoleCmdLogTarget : public CConsoleCmd {
public:
    CConsoleCmdLogTarget(std::uintptr_t owner, CConsoleEdit* edit);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    CConsoleEdit* m_Edit;
};

class CConsoleCmdExit : public CConsoleCmd {
public:
    CConsoleCmdExit(std::uintptr_t owner, QWidget* console);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    QWidget* m_Console;
};

class CConsoleCmdLoad : public CConsoleCmd {
public:
    CConsoleCmdLoad(std::uintptr_t owner, CCorvaleDoc* document);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
    // Loads the shape file as a new theme of the document; on success the
    // result is a theme variable of it.
    bool LoadFile(const std::string& name, std::string& output,
                  std::unique_ptr<CConsoleCmdVariable>& result);

private:
    CCorvaleDoc* m_Document;
};

class CConsoleCmdCD : public CConsoleCmd {
public:
    // The start folder becomes the console's current directory when it has
    // none yet; "cd ~" goes back to it.
    CConsoleCmdCD(std::uintptr_t owner, std::string startFolder);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    std::string m_StartFolder;
};

class CConsoleCmdDir : public CConsoleCmd {
public:
    explicit CConsoleCmdDir(std::uintptr_t owner);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
};

// Runs command files and JavaScript files. The registered copy keeps the
// depth of the runs in progress, so a command file that runs itself stops at
// the maximum depth.
class CConsoleCmdRun : public CConsoleCmd {
public:
    // startFolder: where a relative name not found in the current directory
    // is looked for (the program's Scripts folder).
    CConsoleCmdRun(std::uintptr_t owner, std::string startFolder, CCorvaleDoc* document, CConsoleEdit* edit,
                   CConsoleCmdProcessor* processor, int maxDepth);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
    bool RunFile(const std::string& name, std::string& output);

    int GetDepth() const { return m_Depth; }

private:
    bool RunJavaScript(const std::string& path, std::string& output);
    bool RunCommandFile(const std::string& path, std::string& output);

    std::string m_StartFolder;
    CCorvaleDoc* m_Document;
    CConsoleEdit* m_Edit;
    CConsoleCmdProcessor* m_Processor;
    int m_MaxDepth;
    int m_Depth = 0;
};

class CConsoleCmdEcho : public CConsoleCmd {
public:
    CConsoleCmdEcho(std::uintptr_t owner, const CConsoleCmdProcessor* processor);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    const CConsoleCmdProcessor* m_Processor;
};

class CConsoleCmdType : public CConsoleCmd {
public:
    explicit CConsoleCmdType(std::uintptr_t owner);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
};

class CConsoleCmdAlias : public CConsoleCmd {
public:
    CConsoleCmdAlias(std::uintptr_t owner, CConsoleCmdProcessor* processor);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    CConsoleCmdProcessor* m_Processor;
};

class CConsoleCmdExplore : public CConsoleCmd {
public:
    explicit CConsoleCmdExplore(std::uintptr_t owner);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
};

class CConsoleCmdEdit : public CConsoleCmd {
public:
    explicit CConsoleCmdEdit(std::uintptr_t owner);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;
};

class CConsoleCmdSet : public CConsoleCmd {
public:
    CConsoleCmdSet(std::uintptr_t owner, CConsoleCmdProcessor* processor);
    std::unique_ptr<CConsoleCmd> Clone() const override;
    // Runs the right side as a command line and binds its result to the
    // name; answers what the right side answered.
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string GetShortHelp() const override;
    std::string GetHelp() const override;

private:
    CConsoleCmdProcessor* m_Processor;
};
