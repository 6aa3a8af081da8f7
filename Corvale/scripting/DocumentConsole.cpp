#include "scripting/DocumentConsole.h"

#include "scripting/ConsoleCmdObjectModel.h"
#include "scripting/ConsoleCommands.h"
#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/ConsoleEdit.h"
#include "scripting/CreateScriptDialog.h"
#include "scripting/GpiScripts.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>

#include <filesystem>

#include <memory>
#include <string>

namespace {

// The run command line for a file: the name goes in quotes, so that blanks
// at its ends are kept.
std::string RunLine(const std::string& path) {
    return "run \"" + path + "\"";
}

CConsoleDialog* ConsoleOf(CCorvaleDoc& document) {
    return dynamic_cast<CConsoleDialog*>(document.m_console);
}

CConsoleDialog* GetOrMakeConsole(CCorvaleDoc& document) {
    const CAppSettings* settings = CAppSettings::GetInstance();
    CConsoleDialog* console = ConsoleOf(document);
    if (console == nullptr) {
        // A window that is not a console is not ours to replace.
        if (document.m_console != nullptr)
            return nullptr;
        auto made = std::make_unique<CConsoleDialog>();
        made->setWindowTitle(made->windowTitle() + QStringLiteral(" ") +
                             QString::fromStdString(document.GetTitle()));
        RegisterDocumentConsoleCommands(*made, document);
        made->SetColorScheme(settings->m_ConsoleColorScheme);
        made->GetOutputEdit()->EnableLog(true);
        console = made.get();
        document.m_console = made.release();

        if (!settings->m_ConsoleAutoRun.empty()) {
            std::string answer;
            console->GetProcessor().Execute(RunLine(settings->m_ConsoleAutoRun), answer);
            console->GetOutputEdit()->Write(answer, CConsoleEdit::ConsoleChannel);
        }
    }
    // The options may have changed the scheme since the last call.
    console->SetColorScheme(settings->m_ConsoleColorScheme);
    console->update();
    return console;
}

void PrintLineOnConsole(CCorvaleDoc& document, const std::string& text) {
    if (CConsoleDialog* console = ConsoleOf(document))
        console->PrintLine(text);
}

void DetachThemeFromConsole(CCorvaleDoc& document, CTheme* theme) {
    if (CConsoleDialog* console = ConsoleOf(document))
        console->GetProcessor().DetachTheme(theme);
}

void ShowDocumentConsole(CCorvaleDoc& document) {
    if (CConsoleDialog* console = document.GetConsole()) {
        console->show();
        console->raise();
        console->activateWindow();
    }
}

void RunDocumentScript(CCorvaleDoc& document, const std::string& path) {
    CConsoleDialog* console = document.GetConsole();
    if (console == nullptr)
        return;
    std::string answer;
    const bool ok = console->GetProcessor().Execute(RunLine(path), answer);
    // Lines already end in CR LF; PrintLine adds one more, so the answer goes
    // in without its last line end.
    if (!answer.empty()) {
        if (answer.size() >= 2 && answer.compare(answer.size() - 2, 2, "\r\n") == 0)
            answer.resize(answer.size() - 2);
        console->PrintLine(answer);
    }
    if (!ok)
        ShowDocumentConsole(document);
}

void CreateDocumentScript(CCorvaleDoc&) {
    CCreateScriptDialog dialog(ScriptTemplateFolder(), QApplication::activeWindow());
    dialog.exec();
}

} // namespace

void InstallDocumentConsole() {
    CDocumentConsoleServices services;
    services.getConsole = GetOrMakeConsole;
    services.printLine = PrintLineOnConsole;
    services.detachTheme = DetachThemeFromConsole;
    services.loadJavaScript = LoadDocumentJavaScript;
    services.runScript = RunDocumentScript;
    services.showConsole = ShowDocumentConsole;
    services.createScript = CreateDocumentScript;
    SetDocumentConsoleServices(services);
}

void RegisterDocumentConsoleCommands(CConsoleDialog& console, CCorvaleDoc& document) {
    CConsoleCmdProcessor& processor = console.GetProcessor();
    const std::uintptr_t owner = console.GetOwnerWord();
    CConsoleEdit* edit = console.GetOutputEdit();
    std::error_code error;
    const std::string startFolder = std::filesystem::current_path(error).string();
    const std::string scriptFolder =
        (QCoreApplication::applicationDirPath() + QStringLiteral("/Scripts")).toStdString();
    // Commands are listed and matched in this order: help (registered by the
    // window), clear, dump, debug, target, exit, load, cd, dir, run, echo,
    // type, alias, explore, edit, set, and last the $ command, because it
    // takes every word that begins with "$".
    processor.RegisterCommand(CConsoleCmdClear(owner, edit));
    processor.RegisterCommand(CConsoleCmdDump(owner, edit));
    processor.RegisterCommand(CConsoleCmdDebug(owner, &document.m_debugFlags));
    processor.RegisterCommand(CConsoleCmdLogTarget(owner, edit));
    processor.RegisterCommand(CConsoleCmdExit(owner, &console));
    processor.RegisterCommand(CConsoleCmdLoad(owner, &document));
    processor.RegisterCommand(CConsoleCmdCD(owner, startFolder));
    processor.RegisterCommand(CConsoleCmdDir(owner));
    processor.RegisterCommand(CConsoleCmdRun(owner, scriptFolder, &document, edit, &processor,
                                             CAppSettings::GetInstance()->m_ConsoleMaxCallDepth));
    processor.RegisterCommand(CConsoleCmdEcho(owner, &processor));
    processor.RegisterCommand(CConsoleCmdType(owner));
    processor.RegisterCommand(CConsoleCmdAlias(owner, &processor));
    processor.RegisterCommand(CConsoleCmdExplore(owner));
    processor.RegisterCommand(CConsoleCmdEdit(owner));
    processor.RegisterCommand(CConsoleCmdSet(owner, &processor));
    processor.RegisterCommand(CConsoleCmdObjectModel(owner, &processor));
}
