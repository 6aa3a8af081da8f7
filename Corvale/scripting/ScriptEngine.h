#pragma once
// The seam between the program and the JavaScript engine.
//
// The engine (SpiderMonkey) lives in a shared library of our own, the script
// engine bridge, that the program loads the first time a script is run. A
// machine without the engine library therefore still runs the program, and
// "scripting not available" is a state the program can be asked about and
// tested in. Only the bridge's own sources include the engine's headers (they
// need their own defines); everything here is plain C++.
//
// The bridge has one extern "C" entry, CorvaleScriptEngine(version), that
// answers the engine object when the version matches. The order of the
// virtual operations below is part of that contract: add new ones at the end
// and raise kScriptEngineVersion when an existing one changes.

#include "scripting/ScriptObjectModel.h"

#include <string>

constexpr int kScriptEngineVersion = 4;
// The exported entry of the bridge library.
constexpr const char* kScriptEngineEntry = "CorvaleScriptEngine";

// What the engine asks of the program while a script of one global runs. Called
// on the thread that runs the script.
class IScriptEngineHost {
public:
    // A report of the running script: an error (the script stops) or a warning
    // (the script goes on). The text is complete, with the file name, the line
    // and, for syntax errors, the source line and its marker line; each report
    // replaces the one before.
    virtual void OnScriptReport(const std::string& text, bool warning) = 0;
    // The engine stopped for an interrupt that RequestInterrupt asked for.
    // Answers false to end the script (it then fails, uncatchable).
    virtual bool OnScriptInterrupt() = 0;
    // The program's side of the script objects (Workspace, Layer, Shape and
    // the bound Coord and Color); null leaves them without a document.
    virtual IScriptObjectModel* ObjectModel() = 0;

protected:
    ~IScriptEngineHost() = default;
};

// One global object with its standard classes and the program's classes, and
// the scripts compiled in it. Lives on the thread that made it; only
// RequestInterrupt may be called from another thread.
class IScriptGlobal {
public:
    virtual ~IScriptGlobal() = default;
    // Compiles and runs a script once, then releases it. The value of the last
    // expression, when there is one, is converted to text and discarded; a
    // failed conversion fails the run.
    virtual bool Execute(const std::string& utf8Text, const std::string& fileName) = 0;
    // Compiles a script and holds it (in place of one held before). False on a
    // syntax error; the report has gone to the host.
    virtual bool Compile(const std::string& utf8Text, const std::string& fileName) = 0;
    // Runs the held script's top level; false when none is held.
    virtual bool RunCompiled() = 0;
    // Calls a global function by name without arguments; its value is dropped.
    virtual bool CallFunction(const std::string& name) = 0;
    // Asks the engine to stop at its next interrupt check and call
    // IScriptEngineHost::OnScriptInterrupt. Safe from any thread while a
    // script of this global runs.
    virtual void RequestInterrupt() = 0;
};

class IScriptEngine {
public:
    // A new global on the calling thread (the engine's context is made on
    // first use; scripts run on the thread that made it). workspaceRecord is the program's record the
    // script objects reach through the global; it must outlive the global.
    // Null when the engine cannot make one.
    virtual IScriptGlobal* CreateGlobal(IScriptEngineHost* host, void* workspaceRecord) = 0;
    // A full garbage collection on the calling thread's context.
    virtual void CollectGarbage() = 0;
    // Ends the engine for the rest of the process: its context goes, and
    // nothing can make globals or run scripts afterwards. Globals still alive
    // are let go without touching the engine. Called once, on the thread that
    // ran the scripts, on the program's way out; a second call does nothing.
    virtual void ShutDown() = 0;

protected:
    ~IScriptEngine() = default;
};

extern "C" {
// The bridge's one entry: the process's engine, or null when the version
// differs from the bridge's own or the engine cannot start.
using CorvaleScriptEngineFn = IScriptEngine* (*)(int version);
}
