// The script engine bridge: SpiderMonkey behind the IScriptEngine seam.
//
// The engine is started once per process (JS_Init) and keeps one context per
// thread, made on first use. Every IScriptGlobal is its own global object in
// its own realm; the global, the held script and everything the program must
// keep alive are persistent roots, so a garbage collection between runs keeps
// them. Errors come out of the engine as pending exceptions and are turned
// into the report text here; warnings come through the warning reporter.

#include "jsengine/EngineSupport.h"

#include "platform/TextEncoding.h"

#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/GCAPI.h>
#include <js/Initialization.h>
#include <js/Interrupt.h>
#include <js/Object.h>
#include <js/SourceText.h>
#include <js/Warnings.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace ScriptBridge {

namespace {

// Native stack the engine may use before it reports "too much recursion";
// well inside the default 8 MB thread stack, also with the sanitizers' larger
// frames in the program around it.
constexpr std::size_t kNativeStackQuota = 1024 * 1024;

thread_local IScriptEngineHost* t_CurrentHost = nullptr;
// Set when the host ended a script from the interrupt callback: the engine
// then reports "Script terminated by timeout" as a warning, which would replace
// the text the host is about to give (the user cancelled; nothing timed out).
thread_local bool t_Terminating = false;

bool InterruptCallback(JSContext*) {
    IScriptEngineHost* host = t_CurrentHost;
    if (host == nullptr || host->OnScriptInterrupt())
        return true;
    t_Terminating = true;
    return false;
}

std::u16string LineOf(const JSErrorReport& report) {
    if (report.linebuf() == nullptr)
        return {};
    return std::u16string(report.linebuf(), report.linebufLength());
}

std::string FormatEngineReport(const JSErrorReport& report, const std::string& message) {
    const std::string file = report.filename != nullptr ? report.filename : "";
    if (report.linebuf() != nullptr) {
        const std::u16string line = LineOf(report);
        return FormatReport(message, file, report.lineno, &line, report.tokenOffset());
    }
    return FormatReport(message, file, report.lineno, nullptr, 0);
}

void WarningReporter(JSContext*, JSErrorReport* report) {
    IScriptEngineHost* host = t_CurrentHost;
    if (host == nullptr || report == nullptr || t_Terminating)
        return;
    const char* message = report->message().c_str();
    host->OnScriptReport(FormatEngineReport(*report, message != nullptr ? message : ""), true);
}

// The engine's one context and whether the engine has been shut down. Plain
// values with nothing to destroy: the context has one owner, ShutDownEngine,
// and no destructor of a thread or of a static object touches it, so it can
// never be destroyed twice, whichever of the program's exit path and the
// process's exit handlers comes first.
struct CEngineState {
    JSContext* cx = nullptr;
    // The thread the context belongs to; scripts run on that thread only.
    std::thread::id thread;
    bool failed = false;
    bool shutDown = false;
};
CEngineState g_Engine;
std::mutex g_EngineMutex;

// Turns the pending exception, if any, into a report to the host.
void ReportPendingException(JSContext* cx, IScriptEngineHost* host) {
    if (!JS_IsExceptionPending(cx))
        return;
    JS::ExceptionStack stack(cx);
    if (!JS::StealPendingExceptionStack(cx, &stack)) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::ErrorReportBuilder builder(cx);
    if (!builder.init(cx, stack, JS::ErrorReportBuilder::WithSideEffects)) {
        JS_ClearPendingException(cx);
        host->OnScriptReport("Unknown script error", false);
        return;
    }
    const char* message = builder.toStringResult().c_str();
    const std::string text = message != nullptr ? message : "";
    if (builder.report() != nullptr)
        host->OnScriptReport(FormatEngineReport(*builder.report(), text), false);
    else
        host->OnScriptReport(FormatReport(text, "", 0, nullptr, 0), false);
    JS_ClearPendingException(cx);
}

const JSClass kGlobalClass = {
    "Global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};
// The reserved slot of the global that holds the program's workspace record:
// the first of the slots every global keeps for the program.
constexpr std::size_t kWorkspaceRecordSlot = 0;
static_assert(kWorkspaceRecordSlot < JSCLASS_GLOBAL_APPLICATION_SLOTS);

class CGlobal final : public IScriptGlobal {
public:
    CGlobal(JSContext* cx, IScriptEngineHost* host)
        : m_Context(cx), m_Host(host), m_Global(std::make_unique<JS::PersistentRootedObject>(cx)) {}

    ~CGlobal() override {
        if (IsEngineShutDown()) {
            // The roots belonged to a context that is gone: unlinking them
            // would touch freed memory. The process is ending; let them be.
            (void)m_Held.release();
            (void)m_Global.release();
            return;
        }
        // Roots go before the global they belong to is let go.
        m_Held.reset();
        m_Global.reset();
        // The context outlives its globals, so nothing would otherwise finalize
        // the objects of this one until some later collection: a File the
        // script left open would keep its unwritten text until then.
        JS_GC(m_Context);
    }

    bool Initialize(void* workspaceRecord) {
        JS::RealmOptions options;
        *m_Global = JS_NewGlobalObject(m_Context, &kGlobalClass, nullptr, JS::FireOnNewGlobalHook, options);
        if (*m_Global == nullptr) {
            JS_ClearPendingException(m_Context);
            return false;
        }
        JS::HandleObject global = *m_Global;
        JSAutoRealm realm(m_Context, global);
        JS::SetReservedSlot(global, kWorkspaceRecordSlot, JS::PrivateValue(workspaceRecord));
        bool ok = JS::InitRealmStandardClasses(m_Context) && InitGlobalFunctions(m_Context, global) &&
                  InitFileClass(m_Context, global) && InitObjectModel(m_Context, global, workspaceRecord) &&
                  InitPluginClass(m_Context, global);
        if (!ok)
            JS_ClearPendingException(m_Context);
        return ok;
    }

    bool Execute(const std::string& text, const std::string& fileName) override {
        CHostScope scope(m_Host);
        JSAutoRealm realm(m_Context, *m_Global);
        JS_ClearPendingException(m_Context);
        JS::RootedScript script(m_Context, CompileText(text, fileName));
        if (script == nullptr)
            return Failed();
        JS::RootedValue result(m_Context);
        bool ok = JS_ExecuteScript(m_Context, script, &result);
        // The value of the last expression is only shown as text, and nobody
        // reads it: converting it still runs the script's toString, whose
        // failure fails the run.
        if (ok && !result.isUndefined())
            ok = JS::ToString(m_Context, result) != nullptr;
        return ok || Failed();
    }

    bool Compile(const std::string& text, const std::string& fileName) override {
        CHostScope scope(m_Host);
        JSAutoRealm realm(m_Context, *m_Global);
        JS_ClearPendingException(m_Context);
        JSScript* script = CompileText(text, fileName);
        if (script == nullptr)
            return Failed();
        m_Held = std::make_unique<JS::PersistentRootedScript>(m_Context, script);
        return true;
    }

    bool RunCompiled() override {
        if (m_Held == nullptr)
            return false;
        CHostScope scope(m_Host);
        JSAutoRealm realm(m_Context, *m_Global);
        JS_ClearPendingException(m_Context);
        JS::RootedScript script(m_Context, *m_Held);
        JS::RootedValue result(m_Context);
        return JS_ExecuteScript(m_Context, script, &result) || Failed();
    }

    bool CallFunction(const std::string& name) override {
        CHostScope scope(m_Host);
        JSAutoRealm realm(m_Context, *m_Global);
        JS_ClearPendingException(m_Context);
        JS::RootedValue result(m_Context);
        return JS_CallFunctionName(m_Context, *m_Global, name.c_str(), JS::HandleValueArray::empty(), &result) ||
               Failed();
    }

    void RequestInterrupt() override { JS_RequestInterruptCallback(m_Context); }

private:
    JSScript* CompileText(const std::string& text, const std::string& fileName) {
        JS::CompileOptions options(m_Context);
        options.setFileAndLine(fileName.c_str(), 1);
        JS::SourceText<mozilla::Utf8Unit> source;
        if (!source.init(m_Context, text.data(), text.size(), JS::SourceOwnership::Borrowed))
            return nullptr;
        return JS::Compile(m_Context, options, source);
    }

    bool Failed() {
        ReportPendingException(m_Context, m_Host);
        return false;
    }

    JSContext* m_Context;
    IScriptEngineHost* m_Host;
    // Held through pointers so that a global outliving the engine can let
    // them go without unlinking them.
    std::unique_ptr<JS::PersistentRootedObject> m_Global;
    std::unique_ptr<JS::PersistentRootedScript> m_Held;
};

class CEngine final : public IScriptEngine {
public:
    IScriptGlobal* CreateGlobal(IScriptEngineHost* host, void* workspaceRecord) override {
        JSContext* cx = ContextOfThread();
        if (cx == nullptr || host == nullptr)
            return nullptr;
        auto global = std::make_unique<CGlobal>(cx, host);
        if (!global->Initialize(workspaceRecord))
            return nullptr;
        return global.release();
    }

    void CollectGarbage() override {
        if (JSContext* cx = ContextOfThread())
            JS_GC(cx);
    }

    void ShutDown() override { ShutDownEngine(); }
};

}  // namespace

JSContext* ContextOfThread() {
    std::lock_guard<std::mutex> lock(g_EngineMutex);
    CEngineState& engine = g_Engine;
    if (engine.shutDown)
        return nullptr;
    if (engine.cx != nullptr || engine.failed)
        return engine.thread == std::this_thread::get_id() ? engine.cx : nullptr;
    JSContext* cx = JS_NewContext(JS::DefaultHeapMaxBytes);
    if (cx == nullptr || !JS::InitSelfHostedCode(cx)) {
        if (cx != nullptr)
            JS_DestroyContext(cx);
        engine.failed = true;
        return nullptr;
    }
    JS_SetNativeStackQuota(cx, kNativeStackQuota);
    JS_AddInterruptCallback(cx, &InterruptCallback);
    JS::SetWarningReporter(cx, &WarningReporter);
    engine.cx = cx;
    engine.thread = std::this_thread::get_id();
    return cx;
}

bool IsEngineShutDown() {
    std::lock_guard<std::mutex> lock(g_EngineMutex);
    return g_Engine.shutDown;
}

IScriptEngineHost* CurrentHost() { return t_CurrentHost; }

IScriptObjectModel* CurrentObjectModel() {
    return t_CurrentHost != nullptr ? t_CurrentHost->ObjectModel() : nullptr;
}

void* GlobalWorkspaceRecord(JSContext* cx) {
    JSObject* global = JS::CurrentGlobalOrNull(cx);
    if (global == nullptr)
        return nullptr;
    const JS::Value value = JS::GetReservedSlot(global, kWorkspaceRecordSlot);
    return value.isUndefined() ? nullptr : value.toPrivate();
}

void ShutDownEngine() {
    std::lock_guard<std::mutex> lock(g_EngineMutex);
    CEngineState& engine = g_Engine;
    if (engine.shutDown)
        return;
    engine.shutDown = true;
    if (engine.cx != nullptr)
        JS_DestroyContext(engine.cx);
    engine.cx = nullptr;
    JS_ShutDown();
}

CHostScope::CHostScope(IScriptEngineHost* host) : m_Previous(t_CurrentHost) {
    t_CurrentHost = host;
    t_Terminating = false;
}
CHostScope::~CHostScope() {
    t_CurrentHost = m_Previous;
    t_Terminating = false;
}

std::string FormatReport(const std::string& message, const std::string& fileName, unsigned line,
                         const std::u16string* sourceLine, std::size_t tokenOffset) {
    std::string text = message + "\r\n" + fileName + "\r\nLine: " + std::to_string(line) + "\r\n";
    if (sourceLine == nullptr)
        return text;
    text += ToUtf8(*sourceLine);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    text += "\r\n";
    std::size_t column = 0;
    const std::size_t end = std::min(tokenOffset, sourceLine->size());
    for (std::size_t i = 0; i < end; ++i) {
        const char16_t c = (*sourceLine)[i];
        // The second half of a surrogate pair is the same character.
        if (c >= 0xDC00 && c <= 0xDFFF && i > 0)
            continue;
        const std::size_t width = c == u'\t' ? 8 - column % 8 : 1;
        text.append(width, '-');
        column += width;
    }
    text += '^';
    return text;
}

bool ReportNativeError(JSContext* cx, const std::string& message) {
    JS::AutoFilename file;
    unsigned line = 0;
    if (!JS::DescribeScriptedCaller(cx, &file, &line))
        line = 0;
    if (IScriptEngineHost* host = t_CurrentHost)
        host->OnScriptReport(FormatReport(message, file.get() != nullptr ? file.get() : "", line, nullptr, 0),
                             false);
    JS_ClearPendingException(cx);
    return false;
}

void ReportNativeWarning(JSContext* cx, const std::string& message) {
    // "%s" keeps a per cent sign of a file name from being read as a format.
    JS::WarnUTF8(cx, "%s", message.c_str());
}

bool AnswerReply(JSContext* cx, const ScriptReply& reply) {
    switch (reply.kind) {
    case ScriptReply::Done:
        return true;
    case ScriptReply::Warning:
        ReportNativeWarning(cx, reply.text);
        return true;
    case ScriptReply::Error:
        return ReportNativeError(cx, reply.text);
    case ScriptReply::Stop:
        break;
    }
    JS_ClearPendingException(cx);
    return false;
}

std::string ToUtf8(const std::u16string& text) {
    std::u32string points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        points += c;
    }
    return corvale::CodePointsToUtf8(points);
}

JSString* NewStringFromBytes(JSContext* cx, const std::string& bytes) {
    if (corvale::IsValidUtf8(bytes)) {
        if (JSString* text = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(bytes.data(), bytes.size())))
            return text;
        // Encoded surrogates and the like: read as Latin-1 like any other non-UTF-8 text.
        JS_ClearPendingException(cx);
    }
    return JS_NewStringCopyN(cx, bytes.data(), bytes.size());
}

bool ValueToUtf8(JSContext* cx, JS::HandleValue value, std::string& out) {
    JS::RootedString string(cx, JS::ToString(cx, value));
    if (string == nullptr)
        return false;
    JS::UniqueChars chars = JS_EncodeStringToUTF8(cx, string);
    if (chars == nullptr)
        return false;
    out = chars.get();
    return true;
}

bool SetUtf8Text(JSContext* cx, JS::MutableHandleValue out, const std::string& bytes) {
    JSString* string = NewStringFromBytes(cx, bytes);
    if (string == nullptr)
        return false;
    out.setString(string);
    return true;
}

}  // namespace ScriptBridge

extern "C" __attribute__((visibility("default"))) IScriptEngine* CorvaleScriptEngine(int version) {
    if (version != kScriptEngineVersion)
        return nullptr;
    static bool started = false;
    static std::once_flag once;
    std::call_once(once, [] {
        started = JS_Init();
        // The program shuts the engine down on its own way out. For a process
        // that does not (a test program), this runs at exit instead: it was
        // registered after the engine library's own static objects were made,
        // so it runs before they are destroyed, as it must, or their locks
        // would be destroyed while still held. It does nothing the second time.
        if (started)
            std::atexit(&ScriptBridge::ShutDownEngine);
    });
    if (!started || ScriptBridge::IsEngineShutDown())
        return nullptr;
    static ScriptBridge::CEngine engine;
    return &engine;
}
