#pragma once
// Helpers of the script host tests: the engine of the build tree, and a
// handler that runs a script and answers its success and report.

#include "scripting/JSHandler.h"

#include <gtest/gtest.h>

#include <string>

// Points the host at the bridge library of the build tree for one test and
// skips the test when the bridge was not built (no engine on this machine).
class ScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef CORVALE_SCRIPT_ENGINE
        SetScriptEngineLibraryPath(QString::fromUtf8(CORVALE_SCRIPT_ENGINE));
        ASSERT_TRUE(IsScriptEngineAvailable()) << ScriptEngineError().toStdString();
#else
        GTEST_SKIP() << "the script engine bridge is not built";
#endif
    }
    void TearDown() override { CJSHandler::SetInterruptHook({}); }
};

struct ScriptRun {
    bool ok;
    std::string output;
};

// Runs `text` as "test.js" in a new handler.
inline ScriptRun RunScript(const std::string& text) {
    ScriptWorkspaceRecord record;
    CJSHandler handler;
    handler.SetWorkspaceRecord(&record);
    if (!handler.Initialize())
        return {false, "not initialised"};
    const bool ok = handler.Execute(text, "test.js");
    return {ok, ScriptOutput()};
}

// A text as a script's string literal.
inline std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}
