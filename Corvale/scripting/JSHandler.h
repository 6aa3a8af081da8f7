#pragma once
// The JavaScript host: one CJSHandler owns one global object of the script
// engine (loaded from its bridge library on first use, ScriptEngine.h) and
// runs scripts in it.
//
// It serves two callers. The console's run command makes a handler, runs one
// script file with Execute (the user may cancel it) and destroys it. A
// workspace's script for plug-ins is compiled once with Compile and then run
// with RunCompiled or called into with CallFunction; the first CallFunction
// runs the top level once.
//
// Everything runs on the user-interface thread. Every run (Execute,
// RunCompiled, CallFunction) starts a watchdog thread that, after two
// seconds, asks the engine to stop at short intervals;
// the engine then calls back on the user-interface thread, which shows the
// Cancel dialog the first time and keeps the user interface answering.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>

class IScriptEngine;
class IScriptGlobal;
class QDialog;

// The program's record behind a script's global object; owned by whoever makes
// the handler and living as long as it. The console's run command fills it
// with {0, 0, the document's workspace handle, null, null}.
struct ScriptWorkspaceRecord {
    // Exit code of the last program a script started and waited for.
    std::int32_t exitCode = 0;
    // The progress bar a script shows in the status bar (its GPI handle).
    std::uint32_t progress = 0;
    // The workspace handle of the document the script runs in.
    std::uint32_t workspace = 0;
    // Objects the script objects keep between calls (engine values).
    void* layerCache = nullptr;
    void* background = nullptr;
};
// The engine bridge writes the exit code as the record's first word.
static_assert(offsetof(ScriptWorkspaceRecord, exitCode) == 0);

// ---------------------------------------------------------------------------
// Process-wide state of the script host (user-interface thread only, except
// ScriptRunFlag)
// ---------------------------------------------------------------------------

// 1 while the running script may continue; 0 once the user cancelled.
extern std::atomic<int> ScriptRunFlag;

// The latest report of the current run (each report replaces the one before)
// and, after a cancel, the interruption notice. Emptied at the start of every
// Execute, Compile, RunCompiled and CallFunction.
std::string& ScriptOutput();

// One entry for the duration of every run: which handler runs which file. The
// top entry tells a script that pulls in another file where the running one
// lies.
struct ScriptFileEntry {
    const void* handler;
    std::string fileName;
};
std::vector<ScriptFileEntry>& ScriptFileStack();

// The notice a cancelled run's output ends with.
extern const char* const kScriptInterruptedNotice;

// The number of the current run; a cancel names the run it was meant
// for, so a late cancel of a finished run never stops the next one.
std::uint32_t CurrentScriptRun();
// Ends the run `run` at the engine's next interrupt check; no effect when
// another run is current.
void CancelScriptRun(std::uint32_t run);

// ---------------------------------------------------------------------------
// The engine library
// ---------------------------------------------------------------------------

// The file name of the bridge library, looked for beside the program.
extern const char* const kScriptEngineLibraryName;
// The library's full path: the program's folder and kScriptEngineLibraryName,
// unless set otherwise (tests point at the build tree or at nothing).
QString ScriptEngineLibraryPath();
// Sets the library's path; the engine is looked for again at the next use. An
// engine already loaded stays loaded (it cannot be unloaded) but is no longer
// answered.
void SetScriptEngineLibraryPath(const QString& path);
// The engine, loaded on first use; null when the library is missing or does
// not start (then scripting is not available).
IScriptEngine* ScriptEngine();
bool IsScriptEngineAvailable();
// Ends the engine, if it was loaded, for the rest of the process: the
// program's way out calls it once every window and document has gone and
// before static objects are destroyed. Scripting is not available afterwards.
void ShutDownScriptEngine();
// Why the engine could not be loaded (empty when it was).
QString ScriptEngineError();

// Reads a whole script file as UTF-8 text; a file that is not valid UTF-8 is
// taken as Latin-1. A leading byte-order mark is dropped. False when the file
// cannot be read.
bool ReadScriptFile(const QString& path, std::string& utf8Text);

// ---------------------------------------------------------------------------
// CJSHandler
// ---------------------------------------------------------------------------

class CJSHandler {
public:
    CJSHandler();
    virtual ~CJSHandler();
    CJSHandler(const CJSHandler&) = delete;
    CJSHandler& operator=(const CJSHandler&) = delete;

    // Set by the creator before Initialize; becomes the global's record.
    void SetWorkspaceRecord(ScriptWorkspaceRecord* record) { m_WorkspaceRecord = record; }
    ScriptWorkspaceRecord* GetWorkspaceRecord() const { return m_WorkspaceRecord; }

    // Makes the global object with its classes. False when the engine is
    // missing or cannot make it; such a handler runs nothing (every run then
    // fails with a report saying so).
    bool Initialize();
    bool IsInitialized() const { return m_Global != nullptr; }

    // Compiles and runs a script; the user may cancel it after two seconds.
    bool Execute(const std::string& utf8Text, const std::string& fileName);
    // Compiles a script and holds it; RunCompiled and CallFunction use it.
    bool Compile(const std::string& utf8Text, const std::string& fileName);
    // Runs the held script's top level (false when none is held).
    bool RunCompiled();
    // Calls a global function of the held script, after running its top level
    // the first time (false when none is held or the top level fails).
    bool CallFunction(const std::string& name);

    // For tests: called in place of the Cancel dialog each time the engine
    // stops for an interrupt while a script runs; it may cancel the run.
    static void SetInterruptHook(std::function<void()> hook);

private:
    class CEngineHost;
    class CWatchdog;

    bool NotInitialized();
    bool RunTopLevel();
    // Runs a script with the watchdog and the Cancel dialog; a cancelled
    // run's output ends with the interruption notice.
    bool Watched(const std::string& fileName, const std::function<bool()>& run);
    bool OnInterrupt();
    void CloseInterruptDialog();

    ScriptWorkspaceRecord* m_WorkspaceRecord = nullptr;
    std::unique_ptr<CEngineHost> m_Host;
    std::unique_ptr<IScriptGlobal> m_Global;
    bool m_HasScript = false;
    std::string m_ScriptFile;
    bool m_HasRun = false;
    // While a script runs: its number and the Cancel dialog once shown.
    bool m_Executing = false;
    std::uint32_t m_Run = 0;
    QDialog* m_InterruptDialog = nullptr;
};

// A handler for a script of a document: it owns the record behind its
// global, filled with the document's workspace handle. The record is held by
// a base listed before the handler, so it is made before the handler and
// outlives it.
struct ScriptWorkspaceRecordHolder {
    ScriptWorkspaceRecord m_Record;
};

class CDocumentScriptHandler : private ScriptWorkspaceRecordHolder, public CJSHandler {
public:
    explicit CDocumentScriptHandler(std::uint32_t workspace) {
        m_Record.workspace = workspace;
        SetWorkspaceRecord(&m_Record);
    }
};
