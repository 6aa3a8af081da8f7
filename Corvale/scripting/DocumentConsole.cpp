#include "scripting/DocumentConsole.h"

#include "scripting/ConsoleCmdObjectModel.h"
#include "scripting/ConsoleCmdProcessor.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/ConsoleEdit.h"
#include "scripting/GpiScripts.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <QString>

#include <memory>
#include <string>

namespace {

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
        RegisterDocumentConsoleCommands(*made);
        made->SetColorScheme(settings->m_ConsoleColorScheme);
        made->GetOutputEdit()->EnableLog(true);
        console = made.get();
        document.m_console = made.release();

        if (!settings->m_ConsoleAutoRun.empty()) {
            std::string answer;
            console->GetProcessor().Execute("run " + settings->m_ConsoleAutoRun, answer);
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

} // namespace

void InstallDocumentConsole() {
    CDocumentConsoleServices services;
    services.getConsole = GetOrMakeConsole;
    services.printLine = PrintLineOnConsole;
    services.detachTheme = DetachThemeFromConsole;
    services.loadJavaScript = LoadDocumentJavaScript;
    SetDocumentConsoleServices(services);
}

void RegisterDocumentConsoleCommands(CConsoleDialog& console) {
    CConsoleCmdProcessor& processor = console.GetProcessor();
    // Commands are listed and matched in this order: help (registered by the
    // window), clear, dump, debug, target, exit, load, cd, dir, run, echo,
    // type, alias, explore, edit, set, and last the $ command, because it
    // takes every word that begins with "$".
    processor.RegisterCommand(CConsoleCmdObjectModel(console.GetOwnerWord(), &processor));
}
