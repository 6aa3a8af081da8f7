#pragma once
// What the bridge's sources share: the engine context of the calling thread,
// the host of the script that runs on it, and the reports natives make. Only
// the bridge includes this header (it pulls in the engine's API).

#include "scripting/ScriptEngine.h"

#include <jsapi.h>

#include <string>

namespace ScriptBridge {

// The engine context of the calling thread, made on first use (the engine
// allows one per thread); null when it cannot be made.
JSContext* ContextOfThread();

// Ends the engine at process exit: the calling thread's context, then the
// engine itself. Nothing may run scripts afterwards.
void ShutDownEngine();

// The host of the innermost script running on this thread, or null.
IScriptEngineHost* CurrentHost();

// Makes `host` the current host for the lifetime of the object (runs nest:
// a script may run another script's function through the program).
class CHostScope {
public:
    explicit CHostScope(IScriptEngineHost* host);
    ~CHostScope();
    CHostScope(const CHostScope&) = delete;
    CHostScope& operator=(const CHostScope&) = delete;

private:
    IScriptEngineHost* m_Previous;
};

// The text of a report: the message, the file and the line, and when the
// source line is known that line and a marker line whose "^" stands under
// `tokenOffset` (tabs taken to the next multiple of 8 columns).
std::string FormatReport(const std::string& message, const std::string& fileName, unsigned line,
                         const std::u16string* sourceLine, std::size_t tokenOffset);

// An error of a native function: the report goes to the current host and the
// native must then return false. No exception is left pending, so the script
// stops and no try/catch of the script can keep it going.
bool ReportNativeError(JSContext* cx, const std::string& message);
// A warning of a native function: the report goes to the current host through
// the engine's warning reporter and the script goes on.
void ReportNativeWarning(JSContext* cx, const std::string& message);

// Text conversions between the engine's strings and the program's UTF-8.
std::string ToUtf8(const std::u16string& text);
// Bytes that are not valid UTF-8 are taken as Latin-1.
JSString* NewStringFromBytes(JSContext* cx, const std::string& bytes);
bool ValueToUtf8(JSContext* cx, JS::HandleValue value, std::string& out);

// The global functions of every script.
bool InitGlobalFunctions(JSContext* cx, JS::HandleObject global);
// The program's classes on a new global.
bool InitFileClass(JSContext* cx, JS::HandleObject global);
// The workspace object and the Coord and Color classes; workspaceRecord is
// the program's record the Workspace, Layer and Shape objects resolve through.
bool InitObjectModel(JSContext* cx, JS::HandleObject global, void* workspaceRecord);

}  // namespace ScriptBridge
