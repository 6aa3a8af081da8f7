#include "scripting/GpiScripts.h"

#include "scripting/ConsoleDialog.h"
#include "scripting/JSHandler.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>

namespace {

// The console debug flag under which script operations report.
constexpr unsigned char kScriptsFlag = 8;

const char* const kOpenFailed = "Error opening file for reading.";
// Names the engine bridge library the program looks for beside itself.
const std::string kEngineMissing = std::string("Error: ") + kScriptEngineLibraryName + " not found.";

void Report(CCorvaleDoc& document, const std::string& text) {
    if ((document.m_debugFlags & kScriptsFlag) == 0)
        return;
    if (CConsoleDialog* console = document.GetConsole())
        console->PrintLine(text);
}

void ShowConsole(CCorvaleDoc* document) {
    if (document == nullptr)
        return;
    if (CConsoleDialog* console = document->GetConsole())
        console->show();
}

// What a run reported (the engine's messages, the script's output) goes to
// the owner's console, where the user looks for it.
void PrintRunOutput(CCorvaleDoc* document) {
    const std::string& output = ScriptOutput();
    if (document == nullptr || output.empty())
        return;
    if (CConsoleDialog* console = document->GetConsole())
        console->PrintLine(output);
}

// Restores the current directory when the compile is over, whichever way.
class CCurrentDirectory {
public:
    explicit CCurrentDirectory(const QString& folder) : m_Saved(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~CCurrentDirectory() { QDir::setCurrent(m_Saved); }

private:
    QString m_Saved;
};

} // namespace

CJSHandler* LoadDocumentJavaScript(CCorvaleDoc& document, const std::string& path) {
    document.GetConsole();
    QString file = QString::fromStdString(path);
    std::string text;
    bool read = ReadScriptFile(file, text);
    if (!read && QFileInfo(file).isRelative()) {
        file = QCoreApplication::applicationDirPath() + QStringLiteral("/Scripts/") + file;
        read = ReadScriptFile(file, text);
    }
    if (!read) {
        Report(document, kOpenFailed);
        return nullptr;
    }
    Report(document, "Running '" + path + "'");
    if (!IsScriptEngineAvailable()) {
        Report(document, kEngineMissing);
        ShowConsole(&document);
        return nullptr;
    }
    auto handler = std::make_unique<CDocumentScriptHandler>(GpiWorkspaceHandle(&document));
    bool compiled = false;
    {
        CCurrentDirectory directory(QFileInfo(file).absolutePath());
        compiled = handler->Initialize() && handler->Compile(text, path);
    }
    if (!compiled) {
        Report(document, ScriptOutput());
        ShowConsole(&document);
        return nullptr;
    }
    return handler.release();
}

void InstallGpiScriptServices() {
    GpiScriptServices services;
    services.run = [](CJSHandler* script, CCorvaleDoc* owner) {
        const bool ok = script->RunCompiled();
        PrintRunOutput(owner);
        return ok;
    };
    services.call = [](CJSHandler* script, CCorvaleDoc* owner, const std::string& function) {
        const bool ok = script->CallFunction(function);
        PrintRunOutput(owner);
        return ok;
    };
    services.destroy = [](CJSHandler* script) { delete script; };
    services.ensureConsole = [](CCorvaleDoc* document) {
        if (document != nullptr)
            document->GetConsole();
    };
    services.showConsole = ShowConsole;
    GpiSetScriptServices(services);
}
