#include "scripting/JSHandler.h"

#include "scripting/JSInterruptDialog.h"
#include "scripting/ScriptEngine.h"
#include "scripting/ScriptObjects.h"
#include "workspace/gpi/GpiHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringDecoder>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

std::atomic<int> ScriptRunFlag{1};

const char* const kScriptInterruptedNotice = "\r\n--- Script execution interrupted by user ---";
const char* const kScriptEngineLibraryName = "libcorvale_jsengine.so";

namespace {

// How long a script runs before the user is offered Cancel, and how often the
// engine is then asked to stop and let the user interface answer.
constexpr auto kInterruptDelay = std::chrono::milliseconds(2000);
constexpr auto kInterruptInterval = std::chrono::milliseconds(75);

// Runs are numbered from g_RunCount; g_CurrentRun is the one running now.
std::atomic<std::uint32_t> g_RunCount{0};
std::atomic<std::uint32_t> g_CurrentRun{0};
// How many runs are in progress, one inside another (user-interface thread).
int g_RunsActive = 0;
std::function<void()> g_InterruptHook;

struct CEngineLibrary {
    bool looked = false;
    bool pathSet = false;
    QString path;
    IScriptEngine* engine = nullptr;
    QString error;
    // Every library loaded. Their objects go at exit but the libraries stay
    // mapped (QLibrary unloads only when asked): the engine keeps
    // process-wide state until the very end.
    std::vector<std::unique_ptr<QLibrary>> modules;
};

CEngineLibrary& EngineLibrary() {
    static CEngineLibrary library;
    return library;
}

// The run counts as a script's for the plug-ins' idle hooks and the file stack.
class CRunScope {
public:
    CRunScope(const void* handler, const std::string& fileName, bool holdIdle) : m_HoldIdle(holdIdle) {
        ScriptFileStack().push_back({handler, fileName});
        if (m_HoldIdle)
            GpiHoldIdleHooks(true);
    }
    ~CRunScope() {
        if (m_HoldIdle)
            GpiHoldIdleHooks(false);
        ScriptFileStack().pop_back();
    }
    CRunScope(const CRunScope&) = delete;
    CRunScope& operator=(const CRunScope&) = delete;

private:
    bool m_HoldIdle;
};

}  // namespace

std::string& ScriptOutput() {
    static std::string output;
    return output;
}

std::vector<ScriptFileEntry>& ScriptFileStack() {
    static std::vector<ScriptFileEntry> stack;
    return stack;
}

std::uint32_t CurrentScriptRun() { return g_CurrentRun.load(); }

void CancelScriptRun(std::uint32_t run) {
    if (run == g_CurrentRun.load())
        ScriptRunFlag.store(0);
}

// ---------------------------------------------------------------------------
// The engine library
// ---------------------------------------------------------------------------

QString ScriptEngineLibraryPath() {
    CEngineLibrary& library = EngineLibrary();
    if (library.pathSet)
        return library.path;
    QString folder = QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath()
                                                             : QFileInfo(QStringLiteral("/proc/self/exe"))
                                                                   .canonicalFilePath()
                                                                   .section(QLatin1Char('/'), 0, -2);
    return QDir(folder).filePath(QString::fromLatin1(kScriptEngineLibraryName));
}

void SetScriptEngineLibraryPath(const QString& path) {
    CEngineLibrary& library = EngineLibrary();
    library.pathSet = true;
    library.path = path;
    library.looked = false;
    library.engine = nullptr;
    library.error.clear();
}

IScriptEngine* ScriptEngine() {
    CEngineLibrary& library = EngineLibrary();
    if (library.looked)
        return library.engine;
    library.looked = true;
    const QString path = ScriptEngineLibraryPath();
    auto module = std::make_unique<QLibrary>(path);
    if (!module->load()) {
        library.error = QStringLiteral("%1 not found.").arg(QFileInfo(path).fileName());
        return nullptr;
    }
    auto entry = reinterpret_cast<CorvaleScriptEngineFn>(module->resolve(kScriptEngineEntry));
    library.engine = entry != nullptr ? entry(kScriptEngineVersion) : nullptr;
    if (library.engine == nullptr)
        library.error = QStringLiteral("%1: the script engine did not start.").arg(path);
    library.modules.push_back(std::move(module));
    return library.engine;
}

bool IsScriptEngineAvailable() { return ScriptEngine() != nullptr; }

void ShutDownScriptEngine() {
    CEngineLibrary& library = EngineLibrary();
    if (library.engine != nullptr)
        library.engine->ShutDown();
    library.engine = nullptr;
    library.looked = true;
    library.error = QStringLiteral("The script engine has been shut down.");
}

QString ScriptEngineError() {
    ScriptEngine();
    return EngineLibrary().error;
}

bool ReadScriptFile(const QString& path, std::string& utf8Text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        utf8Text = QString::fromLatin1(bytes).toStdString();
    else
        utf8Text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

// ---------------------------------------------------------------------------
// CJSHandler
// ---------------------------------------------------------------------------

// What the engine calls back into while this handler's scripts run.
class CJSHandler::CEngineHost final : public IScriptEngineHost {
public:
    explicit CEngineHost(CJSHandler& handler) : m_Handler(handler) {}
    void OnScriptReport(const std::string& text, bool) override { ScriptOutput() = text; }
    bool OnScriptInterrupt() override { return m_Handler.OnInterrupt(); }
    IScriptObjectModel* ObjectModel() override { return &m_ObjectModel; }
    void AfterRun() { m_ObjectModel.FitFirstLayer(); }

private:
    CJSHandler& m_Handler;
    CScriptObjectModel m_ObjectModel;
};

// Waits two seconds, then asks the engine to stop at short intervals until the
// run ends. It touches nothing but the engine's interrupt request: the engine
// stops on the user-interface thread, which decides.
class CJSHandler::CWatchdog {
public:
    explicit CWatchdog(IScriptGlobal& global) : m_Thread([this, &global] { Watch(global); }) {}
    ~CWatchdog() {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Done = true;
        }
        m_Wake.notify_all();
        m_Thread.join();
    }
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

private:
    void Watch(IScriptGlobal& global) {
        std::unique_lock<std::mutex> lock(m_Mutex);
        if (m_Wake.wait_for(lock, kInterruptDelay, [this] { return m_Done; }))
            return;
        do
            global.RequestInterrupt();
        while (!m_Wake.wait_for(lock, kInterruptInterval, [this] { return m_Done; }));
    }

    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    bool m_Done = false;
    std::thread m_Thread;
};

CJSHandler::CJSHandler() : m_Host(std::make_unique<CEngineHost>(*this)) {}

CJSHandler::~CJSHandler() {
    CloseInterruptDialog();
    // The global and its scripts go before the record they point at.
    m_Global.reset();
}

void CJSHandler::SetInterruptHook(std::function<void()> hook) { g_InterruptHook = std::move(hook); }

bool CJSHandler::Initialize() {
    if (m_Global != nullptr)
        return true;
    IScriptEngine* engine = ScriptEngine();
    if (engine == nullptr)
        return false;
    m_Global.reset(engine->CreateGlobal(m_Host.get(), m_WorkspaceRecord));
    return m_Global != nullptr;
}

bool CJSHandler::NotInitialized() {
    const QString reason = ScriptEngineError();
    ScriptOutput() = reason.isEmpty() ? std::string("The script engine could not be started.")
                                      : ("Error: " + reason.toStdString());
    return false;
}

bool CJSHandler::Execute(const std::string& utf8Text, const std::string& fileName) {
    ScriptOutput().clear();
    if (m_Global == nullptr)
        return NotInitialized();
    return Watched(fileName, [&] { return m_Global->Execute(utf8Text, fileName); });
}

bool CJSHandler::Compile(const std::string& utf8Text, const std::string& fileName) {
    m_HasRun = false;
    ScriptOutput().clear();
    if (m_Global == nullptr)
        return NotInitialized();
    m_HasScript = m_Global->Compile(utf8Text, fileName);
    if (m_HasScript)
        m_ScriptFile = fileName;
    return m_HasScript;
}

bool CJSHandler::RunCompiled() {
    if (m_Global == nullptr || !m_HasScript)
        return false;
    ScriptOutput().clear();
    return Watched(m_ScriptFile, [this] { return RunTopLevel(); });
}

bool CJSHandler::CallFunction(const std::string& name) {
    if (m_Global == nullptr || !m_HasScript)
        return false;
    ScriptOutput().clear();
    return Watched(m_ScriptFile, [&] { return (m_HasRun || RunTopLevel()) && m_Global->CallFunction(name); });
}

bool CJSHandler::RunTopLevel() {
    const bool ok = m_Global->RunCompiled();
    m_HasRun = true;
    return ok;
}

bool CJSHandler::Watched(const std::string& fileName, const std::function<bool()>& run) {
    // A script of this handler that calls back into it (through a plug-in)
    // is watched by the run it is part of.
    if (m_Executing) {
        CRunScope scope(this, fileName, false);
        return run();
    }
    // A run started inside another handler's run (a plug-in's script called
    // from a user's script) becomes the current one while it lasts; the outer
    // run is current again afterwards, so its Cancel still reaches it.
    const std::uint32_t outer = g_RunsActive > 0 ? g_CurrentRun.load() : 0;
    ++g_RunsActive;
    m_Run = ++g_RunCount;
    g_CurrentRun.store(m_Run);
    ScriptRunFlag.store(1);
    m_Executing = true;
    bool ok = false;
    {
        CRunScope scope(this, fileName, true);
        CWatchdog watchdog(*m_Global);
        ok = run();
    }
    m_Executing = false;
    // A layer the script made in an empty workspace is shown whole now that
    // the run has put its shapes in it.
    m_Host->AfterRun();
    CloseInterruptDialog();
    const bool cancelled = ScriptRunFlag.load() == 0;
    if (!ok && cancelled)
        ScriptOutput() += kScriptInterruptedNotice;
    if (--g_RunsActive > 0)
        g_CurrentRun.store(outer);
    // A cancelled inner run leaves the flag down: the user asked to stop the
    // script, and the one that called it stops at its next check too.
    if (!cancelled)
        ScriptRunFlag.store(1);
    return ok;
}

bool CJSHandler::OnInterrupt() {
    // Interrupts asked for by another handler's watchdog are not ours.
    if (!m_Executing)
        return true;
    if (ScriptRunFlag.load() == 0)
        return false;
    if (g_InterruptHook) {
        g_InterruptHook();
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        if (m_InterruptDialog == nullptr) {
            m_InterruptDialog = new CJSInterruptDialog;
            const std::uint32_t run = m_Run;
            QObject::connect(m_InterruptDialog, &QDialog::rejected, [run] { CancelScriptRun(run); });
            m_InterruptDialog->show();
        }
        QCoreApplication::processEvents();
    }
    return ScriptRunFlag.load() != 0;
}

void CJSHandler::CloseInterruptDialog() {
    if (m_InterruptDialog == nullptr)
        return;
    // No signal of a dialog closed by the program may count as a cancel.
    m_InterruptDialog->disconnect();
    delete m_InterruptDialog;
    m_InterruptDialog = nullptr;
}
