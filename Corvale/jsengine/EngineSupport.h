#pragma once
// What the bridge's sources share: the engine context of the calling thread,
// the host of the script that runs on it, and the reports natives make. Only
// the bridge includes this header (it pulls in the engine's API).

#include "scripting/ScriptEngine.h"

#include <jsapi.h>

#include <string>
#include <vector>

namespace ScriptBridge {

// The engine's context, made on first use by the thread that asks first (the
// user-interface thread); null on any other thread, when it cannot be made, or
// after the engine was shut down.
JSContext* ContextOfThread();

// Ends the engine once: its context, then the engine itself. Nothing may run
// scripts afterwards; a second call does nothing.
void ShutDownEngine();
bool IsEngineShutDown();

// The host of the innermost script running on this thread, or null.
IScriptEngineHost* CurrentHost();
// The program's side of the script objects for that host, or null.
IScriptObjectModel* CurrentObjectModel();
// The program's record the current global was made for, or null.
void* GlobalWorkspaceRecord(JSContext* cx);

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
// The program's answer to a request, passed on: a warning is reported and the
// script goes on (true), an error stops it with its text, a stop without one
// (false).
bool AnswerReply(JSContext* cx, const ScriptReply& reply);

// Text conversions between the engine's strings and the program's UTF-8.
std::string ToUtf8(const std::u16string& text);
// Bytes that are not valid UTF-8 are taken as Latin-1.
JSString* NewStringFromBytes(JSContext* cx, const std::string& bytes);
bool ValueToUtf8(JSContext* cx, JS::HandleValue value, std::string& out);
// Sets out to the text as an engine string; false when it cannot be made.
bool SetUtf8Text(JSContext* cx, JS::MutableHandleValue out, const std::string& bytes);

// The global functions of every script.
bool InitGlobalFunctions(JSContext* cx, JS::HandleObject global);
// The program's classes on a new global.
bool InitFileClass(JSContext* cx, JS::HandleObject global);
// The workspace object and the Coord and Color classes; workspaceRecord is
// the program's record the Workspace, Layer and Shape objects resolve through.
bool InitObjectModel(JSContext* cx, JS::HandleObject global, void* workspaceRecord);
// The Plugin class.
bool InitPluginClass(JSContext* cx, JS::HandleObject global);

// Values to and from GPI plug-ins. A script value a plug-in cannot take
// (another object, null, undefined) and an answer the script cannot hold
// are reported, and the function answers false.
bool ScriptValueToGpi(JSContext* cx, JS::HandleValue value, ScriptPluginValue& out);
// One answered value (null: none, undefined); a zero handle gives null.
bool GpiValueToScript(JSContext* cx, const ScriptPluginValue* value, JS::MutableHandleValue out);
// A list of answered values as an array; no values give undefined.
bool GpiValuesToScriptArray(JSContext* cx, const std::vector<ScriptPluginValue>& values, JS::MutableHandleValue out);
// Puts the cached Layer objects in the order of the document's themes again,
// after a plug-in may have added, removed or moved themes; the cache stays
// the same array. False when there is no cache.
bool SyncLayerCache(JSContext* cx);
// The values of a plug-in call: the elements of an array given first, else
// every value in order, each converted (false after the report).
bool PluginArguments(JSContext* cx, const JS::HandleValueArray& values, std::vector<ScriptPluginValue>& out);
// Calls a script name (null for none) of the plug-in with that GUID text for
// the global's document, then puts the layer cache in order again and
// converts the answer: one value, or an array of them. The plug-in's error
// codes are reported with their messages.
bool CallPlugin(JSContext* cx, const std::string& guidText, const char* name,
                const std::vector<ScriptPluginValue>& arguments, JS::MutableHandleValue rval);
// Whether the value is a Coord object (free-standing or bound).
bool IsCoordObject(const JS::Value& value);
// A new Color that is bound to nothing.
JSObject* NewFreeColor(JSContext* cx, std::uint32_t colour);

}  // namespace ScriptBridge
