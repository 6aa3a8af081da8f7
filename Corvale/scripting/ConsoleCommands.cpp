#include "scripting/ConsoleCommands.h"

#include "framework/UserInterface.h"
#include "platform/Wildcard.h"
#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleCmdVariable.h"
#include "scripting/ConsoleEdit.h"
#include "scripting/JSHandler.h"
#include "shapes/FileWriter.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

ConsoleShellFunction& Shell() {
    static ConsoleShellFunction shell;
    return shell;
}

bool DesktopShell(const std::string&, const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool RunShell(const std::string& verb, const std::string& path) {
    return Shell() ? Shell()(verb, path) : DesktopShell(verb, path);
}

bool Invalid(const std::string& args, std::string& output) {
    output += "Invalid argument '" + args + "'.\r\n";
    return false;
}

// Whether text is word, or begins with word and a blank.
bool IsWordOrStartsWithWord(const std::string& text, const std::string& word) {
    return text == word || text.rfind(word + " ", 0) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool CanOpenForReading(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

std::string FolderOf(const std::string& path) {
    return fs::path(path).parent_path().string();
}

// A name in double quotes stands for the name without them, so that a path
// with blanks at either end survives the command line.
std::string Unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

void SetProcessDirectory(const std::string& folder) {
    std::error_code error;
    fs::current_path(folder, error);
}

// Makes a folder the console's current directory, and the process's, for as
// long as it lives; both are restored afterwards, whichever way the run ends.
class CDirectoryScope {
public:
    CDirectoryScope(std::uintptr_t owner, const std::string& folder)
        : m_Owner(owner), m_SavedEntry(ConsoleCurrentDirectory(owner)) {
        std::error_code error;
        m_SavedProcess = fs::current_path(error).string();
        ConsoleCurrentDirectory(owner) = folder;
        SetProcessDirectory(folder);
    }
    ~CDirectoryScope() {
        ConsoleCurrentDirectory(m_Owner) = m_SavedEntry;
        SetProcessDirectory(m_SavedProcess);
    }
    CDirectoryScope(const CDirectoryScope&) = delete;
    CDirectoryScope& operator=(const CDirectoryScope&) = delete;

private:
    std::uintptr_t m_Owner;
    std::string m_SavedEntry;
    std::string m_SavedProcess;
};

bool HasJavaScriptExtension(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    return ConsoleUpperCase(extension) == ".JS";
}

} // namespace

std::string ConsoleDirectory(std::uintptr_t owner) {
    const std::string& entry = ConsoleCurrentDirectory(owner);
    if (!entry.empty())
        return entry;
    std::error_code error;
    return fs::current_path(error).string();
}

std::string ConsoleResolvePath(std::uintptr_t owner, const std::string& name) {
    const fs::path path(name);
    if (path.is_absolute())
        return name;
    return (fs::path(ConsoleDirectory(owner)) / path).string();
}

void SetConsoleShell(ConsoleShellFunction shell) {
    Shell() = std::move(shell);
}

bool ConsoleShellOpen(const std::string& verb, const std::string& path) {
    return RunShell(verb, path);
}

// ---- help ----

CConsoleCmdHelp::CConsoleCmdHelp(std::uintptr_t owner, const CConsoleCmdProcessor* processor)
    : CConsoleCmd("help", owner), m_Processor(processor) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdHelp::Clone() const {
    return std::make_unique<CConsoleCmdHelp>(*this);
}

bool CConsoleCmdHelp::Matches(const std::string& word) {
    const std::string upper = ConsoleUpperCase(word);
    return upper == "HELP" || upper == "?";
}

bool CConsoleCmdHelp::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (m_Processor == nullptr)
        return false;
    if (args.empty()) {
        output += "Cmd\tDescr\r\n----------------\r\n";
        for (const auto& command : m_Processor->GetCommands()) {
            const std::string line = command->GetShortHelp();
            if (!line.empty())
                output += line + "\r\n";
        }
        return true;
    }
    for (const auto& command : m_Processor->GetCommands()) {
        if (command->Matches(args)) {
            output += command->GetHelp() + "\r\n";
            return true;
        }
    }
    output += "No help available for '" + args + "'.\r\n";
    return true;
}

std::string CConsoleCmdHelp::GetShortHelp() const {
    return "help, ?\tThis help.";
}

std::string CConsoleCmdHelp::GetHelp() const {
    return "Help on all available commands.\r\n"
           "Try 'help <command>' for a more detailed description of a command.";
}

// ---- clear ----

CConsoleCmdClear::CConsoleCmdClear(std::uintptr_t owner, CConsoleEdit* edit)
    : CConsoleCmd("clear", owner), m_Edit(edit) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdClear::Clone() const {
    return std::make_unique<CConsoleCmdClear>(*this);
}

bool CConsoleCmdClear::Execute(const std::string& args, std::string& output,
                               std::unique_ptr<CConsoleCmdVariable>&) {
    if (!args.empty())
        return Invalid(args, output);
    if (m_Edit != nullptr)
        m_Edit->Clear();
    return true;
}

std::string CConsoleCmdClear::GetShortHelp() const {
    return "clear\tClear console.";
}

std::string CConsoleCmdClear::GetHelp() const {
    return "Clear console from all text.\r\nNo arguments should be supplied.";
}

// ---- dump ----

CConsoleCmdDump::CConsoleCmdDump(std::uintptr_t owner, CConsoleEdit* edit)
    : CConsoleCmd("dump", owner), m_Edit(edit) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdDump::Clone() const {
    return std::make_unique<CConsoleCmdDump>(*this);
}

bool CConsoleCmdDump::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (!args.empty())
        return Invalid(args, output);
    corvale::FileDialogRequest request;
    request.filter = "Text Files (*.txt)|*.txt||";
    request.defaultExtension = "txt";
    request.initialFolder = ConsoleDirectory(GetOwner());
    std::string path;
    if (!corvale::UI().ChooseSaveFile(request, path))
        return true;
    const std::string text = m_Edit != nullptr ? m_Edit->GetBuffer().GetText() : std::string();
    const std::string target = ConsoleResolvePath(GetOwner(), path);
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(target, text, &error)) {
        if (error == CFileWriter::FOE_ReadOnly)
            output += "The file " + target + " is read-only and was not replaced.\r\n";
        else
            output += "Error writing to file.\r\n";
        return false;
    }
    return true;
}

std::string CConsoleCmdDump::GetShortHelp() const {
    return "dump\tDump console to file.";
}

std::string CConsoleCmdDump::GetHelp() const {
    return "Dump console text to a file.\r\nYou will be prompted for a filename.\r\n"
           "No arguments should be supplied.";
}

// ---- debug ----

namespace {

struct DebugFlagName {
    const char* word;
    const char* label;
    unsigned char bit;
};
constexpr DebugFlagName kDebugFlags[] = {
    {"MOUSE", "mouse", 1}, {"LOADING", "loading", 2}, {"PLUGINS", "plugins", 4}, {"SCRIPTS", "scripts", 8}};

} // namespace

CConsoleCmdDebug::CConsoleCmdDebug(std::uintptr_t owner, unsigned char* flags)
    : CConsoleCmd("debug", owner), m_Flags(flags) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdDebug::Clone() const {
    return std::make_unique<CConsoleCmdDebug>(*this);
}

bool CConsoleCmdDebug::Execute(const std::string& args, std::string& output,
                               std::unique_ptr<CConsoleCmdVariable>&) {
    unsigned char scratch = 0;
    unsigned char& flags = m_Flags != nullptr ? *m_Flags : scratch;
    if (!args.empty()) {
        const std::string text = ConsoleTrimLeft(ConsoleUpperCase(args));
        bool on = false;
        std::size_t wordsAt = 0;
        if (IsWordOrStartsWithWord(text, "ON")) {
            on = true;
            wordsAt = 2;
        } else if (IsWordOrStartsWithWord(text, "OFF")) {
            wordsAt = 3;
        } else {
            return Invalid(args, output);
        }
        std::istringstream words(text.substr(wordsAt));
        std::string word;
        unsigned char chosen = 0;
        bool any = false;
        while (words >> word) {
            const auto* flag = std::find_if(std::begin(kDebugFlags), std::end(kDebugFlags),
                                            [&](const DebugFlagName& name) { return word == name.word; });
            if (flag == std::end(kDebugFlags))
                return Invalid(args, output);
            chosen = static_cast<unsigned char>(chosen | flag->bit);
            any = true;
        }
        if (!any)
            chosen = 1 | 2 | 4 | 8;
        flags = static_cast<unsigned char>(on ? (flags | chosen) : (flags & ~chosen));
    }
    for (const DebugFlagName& flag : kDebugFlags)
        output += std::string(flag.label) + "\t" + ((flags & flag.bit) != 0 ? "on" : "off") + "\r\n";
    return true;
}

std::string CConsoleCmdDebug::GetShortHelp() const {
    return "debug\tDebug mode.";
}

std::string CConsoleCmdDebug::GetHelp() const {
    return "Sets or views current debug mode.\r\ndebug [ (on|off) [mouse] [loading] [plugins] [scripts]]";
}

// ---- target ----

CConsoleCmdLogTarget::CConsoleCmdLogTarget(std::uintptr_t owner, CConsoleEdit* edit)
    : CConsoleCmd("target", owner), m_Edit(edit) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdLogTarget::Clone() const {
    return std::make_unique<CConsoleCmdLogTarget>(*this);
}

bool CConsoleCmdLogTarget::Execute(const std::string& args, std::string& output,
                                   std::unique_ptr<CConsoleCmdVariable>&) {
    if (m_Edit == nullptr)
        return false;
    if (args.empty()) {
        if (m_Edit->IsFileTarget())
            output += "Target: " + m_Edit->GetLogFileName() + ".\r\n";
        else
            output += "Target: console.\r\n";
        return true;
    }
    const std::string upper = ConsoleUpperCase(args);
    if (upper == "CONSOLE") {
        m_Edit->SetLogFile(std::string());
        output += "Target: console.\r\n";
        return true;
    }
    if (!IsWordOrStartsWithWord(upper, "FILE")) {
        output += "Target: Invalid argument '" + args + "'.\r\n";
        return false;
    }
    std::string name = ConsoleTrim(args.substr(4));
    if (name.empty()) {
        corvale::FileDialogRequest request;
        request.filter = "Text Files (*.txt;*.log)|*.txt; *.log||";
        request.defaultExtension = "log";
        request.initialFolder = ConsoleDirectory(GetOwner());
        if (!corvale::UI().ChooseSaveFile(request, name))
            return true;
    }
    name = ConsoleResolvePath(GetOwner(), name);
    if (!m_Edit->SetLogFile(name)) {
        output += "Target: Error opening file for writing.\r\nSetting target to console.\r\n";
        return false;
    }
    output += "Target: " + name + ".\r\n";
    return true;
}

std::string CConsoleCmdLogTarget::GetShortHelp() const {
    return "target\tLog target.";
}

std::string CConsoleCmdLogTarget::GetHelp() const {
    return "Sets or views current log target.\r\ntarget [file [<filename>]| console]\r\n"
           "target file, will prompt you for a filename\r\nif <filename> is not supplied.";
}

// ---- exit ----

CConsoleCmdExit::CConsoleCmdExit(std::uintptr_t owner, QWidget* console)
    : CConsoleCmd("exit", owner), m_Console(console) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdExit::Clone() const {
    return std::make_unique<CConsoleCmdExit>(*this);
}

bool CConsoleCmdExit::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (!args.empty())
        return Invalid(args, output);
    if (m_Console != nullptr)
        m_Console->close();
    return true;
}

std::string CConsoleCmdExit::GetShortHelp() const {
    return "exit\tClose this window.";
}

std::string CConsoleCmdExit::GetHelp() const {
    return "Closes the console window.\r\nNo arguments should be supplied.";
}

// ---- load ----

CConsoleCmdLoad::CConsoleCmdLoad(std::uintptr_t owner, CCorvaleDoc* document)
    : CConsoleCmd("load", owner), m_Document(document) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdLoad::Clone() const {
    return std::make_unique<CConsoleCmdLoad>(*this);
}

bool CConsoleCmdLoad::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>& result) {
    if (args.empty()) {
        output += "Arguments missing.\r\n";
        return false;
    }
    if (!IsWordOrStartsWithWord(ConsoleUpperCase(args), "SHAPEFILE"))
        return Invalid(args, output);
    std::string name = ConsoleTrim(args.substr(9));
    if (name.empty()) {
        corvale::FileDialogRequest request;
        request.title = "Load";
        request.filter = "Shape Files (*.shp)|*.shp|All Files (*.*)|*.*||";
        request.initialFolder = ConsoleDirectory(GetOwner());
        std::vector<std::string> paths;
        if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty()) {
            output += "Aborted.\r\n";
            return false;
        }
        name = paths.front();
    }
    if (!LoadFile(name, output, result)) {
        output += "An error occurred while trying to load the shape file.\r\n";
        return false;
    }
    return true;
}

bool CConsoleCmdLoad::LoadFile(const std::string& name, std::string& output,
                               std::unique_ptr<CConsoleCmdVariable>& result) {
    if (m_Document == nullptr) {
        output += "Internal error. Unable to load '" + name + "'.\r\n";
        return false;
    }
    const std::string path = ConsoleResolvePath(GetOwner(), name);
    output += "Loading '" + path + "'.\r\n";
    CTheme* theme = m_Document->LoadShapeFile(path, true);
    if (theme == nullptr)
        return false;
    result = std::make_unique<CConsoleCmdThemeVariable>(theme, m_Document);
    return true;
}

std::string CConsoleCmdLoad::GetShortHelp() const {
    return "load\tLoad a theme.";
}

std::string CConsoleCmdLoad::GetHelp() const {
    return "Loads a theme.\r\nload shapefile [<filename>]\r\nIf <filename> is not supplied, you will be prompted.";
}

// ---- cd ----

CConsoleCmdCD::CConsoleCmdCD(std::uintptr_t owner, std::string startFolder)
    : CConsoleCmd("cd", owner), m_StartFolder(std::move(startFolder)) {
    if (ConsoleCurrentDirectory(owner).empty())
        ConsoleCurrentDirectory(owner) = m_StartFolder;
}

std::unique_ptr<CConsoleCmd> CConsoleCmdCD::Clone() const {
    return std::make_unique<CConsoleCmdCD>(*this);
}

bool CConsoleCmdCD::Execute(const std::string& args, std::string& output,
                            std::unique_ptr<CConsoleCmdVariable>&) {
    if (args.empty()) {
        output += ConsoleDirectory(GetOwner()) + "\r\n";
        return true;
    }
    std::string folder;
    if (args == "~") {
        folder = m_StartFolder;
    } else {
        std::error_code error;
        const fs::path candidate(ConsoleResolvePath(GetOwner(), Unquoted(args)));
        if (!fs::is_directory(candidate, error)) {
            output += "No such directory.\r\n";
            return false;
        }
        // "cd .." and "cd sub/../other" show and keep the folder they reach.
        fs::path normal = fs::weakly_canonical(candidate, error);
        if (error)
            normal = candidate.lexically_normal();
        folder = normal.string();
    }
    ConsoleCurrentDirectory(GetOwner()) = folder;
    SetProcessDirectory(folder);
    output += folder + "\r\n";
    return true;
}

std::string CConsoleCmdCD::GetShortHelp() const {
    return "cd\tCurrent working directory.";
}

std::string CConsoleCmdCD::GetHelp() const {
    return "Shows/Changes current working directory.\r\ncd [<dirname>]\r\n"
           "If <dirname> is supplied, current working directory is changed.\r\n"
           "If <dirname> is not supplied, current working directory is shown.";
}

// ---- dir ----

CConsoleCmdDir::CConsoleCmdDir(std::uintptr_t owner) : CConsoleCmd("dir", owner) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdDir::Clone() const {
    return std::make_unique<CConsoleCmdDir>(*this);
}

bool CConsoleCmdDir::Execute(const std::string& args, std::string& output,
                             std::unique_ptr<CConsoleCmdVariable>&) {
    std::string pattern = args.empty() ? std::string("*.*") : args;
    // A pattern may name a folder before its last "/": "dir data/*.shp".
    std::string folder = ConsoleDirectory(GetOwner());
    const std::size_t slash = pattern.rfind('/');
    if (slash != std::string::npos) {
        folder = ConsoleResolvePath(GetOwner(), slash == 0 ? std::string("/") : pattern.substr(0, slash));
        pattern = pattern.substr(slash + 1);
        if (pattern.empty())
            pattern = "*";
    }
    // "*.*" has always meant every name, those without a dot included.
    if (pattern == "*.*")
        pattern = "*";
    struct Entry {
        std::string name;
        bool folder;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!corvale::MatchWildcard(name, pattern))
            continue;
        std::error_code typeError;
        entries.push_back(Entry{name, it->is_directory(typeError)});
    }
    // The file system hands names in no particular order; a listing is read
    // by name.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    for (const Entry& entry : entries)
        output += (entry.folder ? "<D> " : "    ") + entry.name + "\r\n";
    return true;
}

std::string CConsoleCmdDir::GetShortHelp() const {
    return "dir\tList directory content.";
}

std::string CConsoleCmdDir::GetHelp() const {
    return "Lists directory content.\r\ndir [<pattern>]\r\nIf <pattern> is not supplied, all files are listed.";
}

// ---- run ----

CConsoleCmdRun::CConsoleCmdRun(std::uintptr_t owner, std::string startFolder, CCorvaleDoc* document,
                               CConsoleEdit* edit, CConsoleCmdProcessor* processor, int maxDepth)
    : CConsoleCmd("run", owner), m_StartFolder(std::move(startFolder)), m_Document(document), m_Edit(edit),
      m_Processor(processor), m_MaxDepth(maxDepth) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdRun::Clone() const {
    return std::make_unique<CConsoleCmdRun>(*this);
}

bool CConsoleCmdRun::Execute(const std::string& args, std::string& output,
                             std::unique_ptr<CConsoleCmdVariable>&) {
    if (m_Depth >= m_MaxDepth) {
        output += "Run: Maximum call depth reached. Ignoring script.\r\n";
        return false;
    }
    std::string name = Unquoted(args);
    if (name.empty()) {
        corvale::FileDialogRequest request;
        request.title = "Run Script File";
        request.filter = "Script Files (*.js;*.scr;*.txt)|*.js;*.scr;*.txt|All Files (*.*)|*.*||";
        request.initialFolder = ConsoleDirectory(GetOwner());
        std::vector<std::string> paths;
        if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty()) {
            output += "Run: Aborted.\r\n";
            return false;
        }
        name = paths.front();
    }
    return RunFile(name, output);
}

bool CConsoleCmdRun::RunFile(const std::string& name, std::string& output) {
    std::string path = ConsoleResolvePath(GetOwner(), name);
    if (!CanOpenForReading(path) && fs::path(name).is_relative() && !m_StartFolder.empty())
        path = (fs::path(m_StartFolder) / name).string();
    if (!CanOpenForReading(path)) {
        output += "Run: Error opening file for reading.\r\n";
        return false;
    }
    const std::string running = "Running '" + path + "'\r\n";
    if (m_Edit != nullptr)
        m_Edit->Write(running, CConsoleEdit::ConsoleChannel);
    else
        output += running;

    ++m_Depth;
    bool ok = false;
    {
        CDirectoryScope directory(GetOwner(), FolderOf(path));
        if (HasJavaScriptExtension(path) && IsScriptEngineAvailable()) {
            ok = RunJavaScript(path, output);
        } else {
            if (HasJavaScriptExtension(path))
                output += "Run: " + std::string(kScriptEngineLibraryName) +
                          " not found. The file is read as console commands.\r\n";
            ok = RunCommandFile(path, output);
        }
    }
    --m_Depth;
    return ok;
}

bool CConsoleCmdRun::RunJavaScript(const std::string& path, std::string& output) {
    std::string text;
    if (!ReadScriptFile(QString::fromStdString(path), text)) {
        output += "Run: Error opening file for reading.\r\n";
        return false;
    }
    CDocumentScriptHandler handler(m_Document != nullptr ? GpiWorkspaceHandle(m_Document) : 0u);
    handler.Initialize();
    if (!handler.Execute(text, path)) {
        output += ScriptOutput() + "\r\n";
        return false;
    }
    return true;
}

bool CConsoleCmdRun::RunCommandFile(const std::string& path, std::string& output) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        output += "Run: Error opening file for reading.\r\n";
        return false;
    }
    if (m_Processor == nullptr)
        return true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string command = ConsoleTrimLeft(line);
        if (command.empty() || command[0] == '#' || command[0] == '/')
            continue;
        // A failing line is reported and the file goes on with the next.
        m_Processor->Execute(command, output);
    }
    return true;
}

std::string CConsoleCmdRun::GetShortHelp() const {
    return "run\tRun a script file.";
}

std::string CConsoleCmdRun::GetHelp() const {
    return "Runs a Corvale script file.\r\nrun [<filename>]\r\nIf <filename> is not supplied, you will be prompted.";
}

// ---- echo ----

CConsoleCmdEcho::CConsoleCmdEcho(std::uintptr_t owner, const CConsoleCmdProcessor* processor)
    : CConsoleCmd("echo", owner), m_Processor(processor) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdEcho::Clone() const {
    return std::make_unique<CConsoleCmdEcho>(*this);
}

bool CConsoleCmdEcho::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (!args.empty() && args[0] == '$') {
        const CConsoleCmdVariable* variable = m_Processor != nullptr ? m_Processor->FindVariable(args) : nullptr;
        if (variable == nullptr) {
            output += "Echo: Variable has no value.\r\n";
            return false;
        }
        output += variable->Print() + "\r\n";
        return true;
    }
    output += args + "\r\n";
    return true;
}

std::string CConsoleCmdEcho::GetShortHelp() const {
    return "echo\tPrint text to console.";
}

std::string CConsoleCmdEcho::GetHelp() const {
    return "Prints text to the console.\r\necho [<message>|<varname>]\r\n<message> is any character string.\r\n"
           "<varname> is any defined variable.\r\nIf not supplied, a newline will be printed.";
}

// ---- type ----

CConsoleCmdType::CConsoleCmdType(std::uintptr_t owner) : CConsoleCmd("type", owner) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdType::Clone() const {
    return std::make_unique<CConsoleCmdType>(*this);
}

bool CConsoleCmdType::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (args.empty()) {
        output += "Type: filename missing.\r\n";
        return false;
    }
    std::string text;
    const std::string path = ConsoleResolvePath(GetOwner(), args);
    if (!CanOpenForReading(path) || !ReadWholeFile(path, text)) {
        output += "Type: Error opening file for reading.\r\n";
        return false;
    }
    char previous = '\0';
    for (char c : text) {
        if (c == '\0')
            continue;
        if (c == '\n' && previous != '\r')
            output += '\r';
        output += c;
        previous = c;
    }
    if (previous != '\n')
        output += "\r\n";
    return true;
}

std::string CConsoleCmdType::GetShortHelp() const {
    return "type\tPrint a text file to console.";
}

std::string CConsoleCmdType::GetHelp() const {
    return "Prints a text file to the console.\r\ntype <filename>\r\n<filename> is the file to print.";
}

// ---- alias ----

CConsoleCmdAlias::CConsoleCmdAlias(std::uintptr_t owner, CConsoleCmdProcessor* processor)
    : CConsoleCmd("alias", owner), m_Processor(processor) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdAlias::Clone() const {
    return std::make_unique<CConsoleCmdAlias>(*this);
}

bool CConsoleCmdAlias::Execute(const std::string& args, std::string& output,
                               std::unique_ptr<CConsoleCmdVariable>&) {
    if (m_Processor == nullptr)
        return false;
    if (args.empty()) {
        for (const auto& alias : m_Processor->GetAliases())
            output += alias.m_Name + "\t" + alias.m_Target + "\r\n";
        return true;
    }
    const std::size_t split = args.find_first_of(" \t");
    const std::string name = args.substr(0, split);
    const std::string target = split == std::string::npos ? std::string() : ConsoleTrim(args.substr(split));
    if (target.empty()) {
        for (const auto& alias : m_Processor->GetAliases()) {
            if (alias.m_Name == name) {
                output += alias.m_Name + "\t" + alias.m_Target + "\r\n";
                return true;
            }
        }
        output += "Alias: No such alias (" + name + ").\r\n";
        return false;
    }
    if (target == "\"\"" || target == "''")
        m_Processor->RemoveAlias(name);
    else
        m_Processor->SetAlias(target, name);
    return true;
}

std::string CConsoleCmdAlias::GetShortHelp() const {
    return "alias\tCreate or list aliases.";
}

std::string CConsoleCmdAlias::GetHelp() const {
    return "Creates or lists aliases.\r\nalias [<name> [<target>]]\r\nalias lists all current aliases\r\n"
           "alias <name> displays the alias <name>\r\nalias <name> <target> set an alias.\r\n"
           "Use alias <name> \"\" to remove an alias";
}

// ---- explore ----

CConsoleCmdExplore::CConsoleCmdExplore(std::uintptr_t owner) : CConsoleCmd("explore", owner) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdExplore::Clone() const {
    return std::make_unique<CConsoleCmdExplore>(*this);
}

bool CConsoleCmdExplore::Execute(const std::string& args, std::string& output,
                                 std::unique_ptr<CConsoleCmdVariable>&) {
    if (!args.empty()) {
        output += "Explore: Illegal argument\r\n";
        return false;
    }
    if (!RunShell("explore", ConsoleDirectory(GetOwner()))) {
        output += "Explore: Unable to open the file manager.\r\n";
        return false;
    }
    return true;
}

std::string CConsoleCmdExplore::GetShortHelp() const {
    return "explore\tOpen the file manager.";
}

std::string CConsoleCmdExplore::GetHelp() const {
    return "Opens the file manager in the current directory.\r\nNo arguments should be supplied.";
}

// ---- edit ----

CConsoleCmdEdit::CConsoleCmdEdit(std::uintptr_t owner) : CConsoleCmd("edit", owner) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdEdit::Clone() const {
    return std::make_unique<CConsoleCmdEdit>(*this);
}

bool CConsoleCmdEdit::Execute(const std::string& args, std::string& output,
                              std::unique_ptr<CConsoleCmdVariable>&) {
    if (args.empty()) {
        output += "Edit: Missing argument.\r\n";
        return false;
    }
    const std::string path = ConsoleResolvePath(GetOwner(), args);
    if (!CanOpenForReading(path)) {
        output += "Edit: Unable to open the file.\r\n";
        return false;
    }
    if (!RunShell("edit", path)) {
        output += "Edit: Unable to start the text editor.\r\n";
        return false;
    }
    return true;
}

std::string CConsoleCmdEdit::GetShortHelp() const {
    return "edit\tEdit a text file.";
}

std::string CConsoleCmdEdit::GetHelp() const {
    return "Starts a text editor.\r\nedit <filename> edits the file <filename>.";
}

// ---- set ----

CConsoleCmdSet::CConsoleCmdSet(std::uintptr_t owner, CConsoleCmdProcessor* processor)
    : CConsoleCmd("set", owner), m_Processor(processor) {}

std::unique_ptr<CConsoleCmd> CConsoleCmdSet::Clone() const {
    return std::make_unique<CConsoleCmdSet>(*this);
}

bool CConsoleCmdSet::Execute(const std::string& args, std::string& output,
                             std::unique_ptr<CConsoleCmdVariable>&) {
    const std::size_t nameEnd = args.find_first_of(" \t=");
    if (args.empty() || nameEnd == std::string::npos) {
        output += "Set: Missing argument.\r\n";
        return false;
    }
    const std::string name = args.substr(0, nameEnd);
    if (name.size() < 2 || name[0] != '$') {
        output += "Set: Illegal variable name.\r\n";
        return false;
    }
    const std::size_t equals = args.find('=', nameEnd);
    if (equals == std::string::npos) {
        output += "Set: Missing assignment operator (=).\r\n";
        return false;
    }
    if (m_Processor == nullptr)
        return false;
    const std::string right = ConsoleTrimLeft(args.substr(equals + 1));
    // A right side that fails binds nothing, and the set fails with it, so
    // that a command file or a script sees that the variable was not made.
    const std::size_t entries = m_Processor->GetVariables().size();
    if (!m_Processor->Execute(right, output))
        return false;
    // An empty right side leaves no result; the name is then bound to none,
    // and no other entry is taken for it.
    std::unique_ptr<CConsoleCmdVariable> value;
    if (m_Processor->GetVariables().size() > entries)
        value = m_Processor->PopLastResult();
    m_Processor->SetVariable(name, std::move(value));
    return true;
}

std::string CConsoleCmdSet::GetShortHelp() const {
    return "set\tSet a variable.";
}

std::string CConsoleCmdSet::GetHelp() const {
    return "Sets a variable.\r\nset <varname> [= [<command>|<value>]]";
}
