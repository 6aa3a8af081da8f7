// The global functions every script gets: garbage collection, stopping a
// script on purpose, pausing, starting a program and waiting for it, pulling
// in another script file, the message, choice, input, file and colour
// dialogs (the program shows them, through IScriptObjectModel), calling a
// GPI plug-in and moving a Coord between reference systems.
//
// Errors stop the script through ReportNativeError (no script try/catch keeps
// it going); warnings go on.

#include "jsengine/EngineSupport.h"

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/Object.h>
#include <js/SourceText.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace ScriptBridge {

namespace {

// The program's record starts with the exit code of the last program a script
// waited for (a 32-bit signed word, checked on the program's side).
std::int32_t* ExitCodeWord(JSContext* cx) {
    return static_cast<std::int32_t*>(GlobalWorkspaceRecord(cx));
}

bool GlobalGc(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS_GC(cx);
    args.rval().setUndefined();
    return true;
}

bool GlobalError(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (args.length() == 0)
        return ReportNativeError(cx, "Execution stopped by script. No reason given.");
    std::string reason;
    if (!ValueToUtf8(cx, args[0], reason))
        return false;
    return ReportNativeError(cx, "Execution stopped by script: " + reason);
}

bool GlobalSleep(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() == 0)
        return true;
    if (!args[0].isInt32()) {
        ReportNativeWarning(cx, "Illegal argument type in call to sleep()");
        return true;
    }
    if (args[0].toInt32() < 0) {
        ReportNativeWarning(cx, "Illegal argument in call to sleep()");
        return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(args[0].toInt32()));
    return true;
}

// Splits a command line into words at blanks; double quotes keep blanks in a
// word and are dropped. The words go to the program as they are: no shell
// sees them.
std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

bool GlobalExecuteAndWait(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setBoolean(false);
    if (args.length() == 0) {
        ReportNativeWarning(cx, "No argument specified in call to executeAndWait()");
        return true;
    }
    std::string program;
    if (!ValueToUtf8(cx, args[0], program))
        return false;
    // The whole command line goes to the program, however long it is.
    std::vector<std::string> words{program};
    if (args.length() > 1) {
        std::string arguments;
        if (!ValueToUtf8(cx, args[1], arguments))
            return false;
        for (std::string& word : SplitCommandLine(arguments))
            words.push_back(std::move(word));
    }
    std::int32_t* exitCode = ExitCodeWord(cx);
    if (exitCode != nullptr)
        *exitCode = 0;
    if (program.empty())
        return true;

    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // Its own process group, so that an interrupt meant for the program
    // running the script does not reach the program it started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int started = posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (started != 0)
        return true;
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited == child && exitCode != nullptr) {
        if (WIFEXITED(status))
            *exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            *exitCode = 128 + WTERMSIG(status);
    }
    args.rval().setBoolean(true);
    return true;
}

bool GlobalGetExitCode(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    const std::int32_t* exitCode = ExitCodeWord(cx);
    if (exitCode == nullptr)
        return ReportNativeError(cx, "Trying to access a null Workspace object");
    args.rval().setInt32(*exitCode);
    return true;
}

// The canonical paths of the files external() is running on this thread,
// innermost last, below them the file that started the chain.
thread_local std::vector<std::string> t_ExternalStack;

std::string Canonical(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    if (error)
        return std::filesystem::absolute(path, error).lexically_normal().string();
    return canonical.string();
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return false;
    text = content.str();
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    return true;
}

class CExternalScope {
public:
    CExternalScope(const std::string& caller, const std::string& path) : m_Seeded(t_ExternalStack.empty()) {
        if (m_Seeded)
            t_ExternalStack.push_back(caller);
        t_ExternalStack.push_back(path);
    }
    ~CExternalScope() {
        t_ExternalStack.pop_back();
        if (m_Seeded)
            t_ExternalStack.pop_back();
    }
    CExternalScope(const CExternalScope&) = delete;
    CExternalScope& operator=(const CExternalScope&) = delete;

private:
    bool m_Seeded;
};

bool GlobalExternal(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() != 1)
        return ReportNativeError(cx, "One argument expected in call to external()");
    if (!args[0].isString())
        return ReportNativeError(cx, "Illegal argument 1 in call to external(). Expected String.");
    std::string name;
    if (!ValueToUtf8(cx, args[0], name))
        return false;

    // A relative name is taken from the folder of the file that calls.
    JS::AutoFilename callerName;
    std::string caller;
    if (JS::DescribeScriptedCaller(cx, &callerName) && callerName.get() != nullptr)
        caller = callerName.get();
    const std::string callerPath = caller.empty() ? std::string() : Canonical(caller);
    std::filesystem::path target(name);
    if (target.is_relative() && !callerPath.empty())
        target = std::filesystem::path(callerPath).parent_path() / target;
    std::string path = Canonical(target);

    std::string text;
    bool opened = ReadWholeFile(path, text);
    // A relative name not found there is looked for in the program's script
    // folder, where the scripts shipped with the program live.
    if (!opened && std::filesystem::path(name).is_relative()) {
        IScriptObjectModel* model = CurrentObjectModel();
        const std::string folder = model != nullptr ? model->ScriptFolder() : std::string();
        if (!folder.empty()) {
            path = Canonical(std::filesystem::path(folder) / name);
            opened = ReadWholeFile(path, text);
        }
    }
    if (!opened)
        return ReportNativeError(cx, "external('" + name + "'): Error opening file for reading.");

    // A file already running (the caller or one that included it) is not run
    // again: no repeated or endless inclusion.
    if (path == callerPath)
        return true;
    for (const std::string& running : t_ExternalStack)
        if (running == path)
            return true;

    CExternalScope scope(callerPath, path);
    JS::CompileOptions options(cx);
    options.setFileAndLine(path.c_str(), 1);
    JS::SourceText<mozilla::Utf8Unit> source;
    if (!source.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed))
        return false;
    JS::RootedScript script(cx, JS::Compile(cx, options, source));
    if (script == nullptr)
        return false;
    return JS_ExecuteScript(cx, script, args.rval());
}


// The text of an optional argument; empty when it is absent.
bool OptionalText(JSContext* cx, const JS::CallArgs& args, unsigned index, std::string& text) {
    text.clear();
    return args.length() <= index || ValueToUtf8(cx, args[index], text);
}

bool MessageBox(JSContext* cx, unsigned argc, JS::Value* vp, bool withCancel) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string text;
    if (!OptionalText(cx, args, 0, text))
        return false;
    IScriptObjectModel* model = CurrentObjectModel();
    const bool ok = model != nullptr && model->ScriptMessage(text, withCancel);
    if (withCancel)
        args.rval().setBoolean(ok);
    else
        args.rval().setUndefined();
    return true;
}

bool GlobalAlert(JSContext* cx, unsigned argc, JS::Value* vp) { return MessageBox(cx, argc, vp, false); }
bool GlobalConfirm(JSContext* cx, unsigned argc, JS::Value* vp) { return MessageBox(cx, argc, vp, true); }

bool GlobalInput(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() < 1)
        return ReportNativeError(cx, "Not enough arguments specified in call to input()");
    std::string prompt;
    std::string text;
    if (!ValueToUtf8(cx, args[0], prompt) || !OptionalText(cx, args, 1, text))
        return false;
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr || !model->ScriptInput(prompt, text))
        return true;
    return SetUtf8Text(cx, args.rval(), text);
}

bool BrowseFile(JSContext* cx, unsigned argc, JS::Value* vp, bool save) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    std::string title;
    if (!OptionalText(cx, args, 0, title))
        return false;
    if (args.length() == 0)
        title = save ? "Save As" : "Open";
    std::string path;
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr || !model->ScriptBrowseFile(save, title, path))
        return true;
    return SetUtf8Text(cx, args.rval(), path);
}

bool GlobalBrowseFileRead(JSContext* cx, unsigned argc, JS::Value* vp) { return BrowseFile(cx, argc, vp, false); }
bool GlobalBrowseFileWrite(JSContext* cx, unsigned argc, JS::Value* vp) { return BrowseFile(cx, argc, vp, true); }

bool GlobalBrowseFolder(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string path;
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr || !model->ScriptBrowseFolder(path))
        return true;
    return SetUtf8Text(cx, args.rval(), path);
}

bool GlobalOption(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() < 2)
        return ReportNativeError(cx, "Not enough arguments specified in call to option()");
    const char* illegal = "Illegal argument in call to option().";
    std::string prompt;
    if (!ValueToUtf8(cx, args[0], prompt))
        return false;
    std::vector<std::string> choices;
    bool isArray = false;
    if (args.length() == 2 && args[1].isObject() && !JS::IsArrayObject(cx, args[1], &isArray))
        return false;
    if (isArray) {
        JS::RootedObject array(cx, &args[1].toObject());
        std::uint32_t length = 0;
        if (!JS::GetArrayLength(cx, array, &length))
            return false;
        if (length < 2)
            return ReportNativeError(cx, illegal);
        JS::RootedValue element(cx);
        for (std::uint32_t i = 0; i < length; ++i) {
            std::string choice;
            if (!JS_GetElement(cx, array, i, &element) || !ValueToUtf8(cx, element, choice)) {
                JS_ClearPendingException(cx);
                return ReportNativeError(cx, illegal);
            }
            choices.push_back(std::move(choice));
        }
    } else {
        for (unsigned i = 1; i < args.length(); ++i) {
            std::string choice;
            if (!ValueToUtf8(cx, args[i], choice))
                return false;
            choices.push_back(std::move(choice));
        }
    }
    IScriptObjectModel* model = CurrentObjectModel();
    const int chosen = model != nullptr ? model->ScriptOption(prompt, choices) : -1;
    // Dismissed without a choice (Escape, the close box): undefined, never a
    // text from outside the list.
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= choices.size())
        return true;
    return SetUtf8Text(cx, args.rval(), choices[static_cast<std::size_t>(chosen)]);
}

bool GlobalBrowseColor(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    std::uint32_t colour = 0;
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr || !model->ScriptBrowseColor(colour))
        return true;
    JSObject* color = NewFreeColor(cx, colour);
    if (color == nullptr)
        return false;
    args.rval().setObject(*color);
    return true;
}

bool GlobalInvokePlugin(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() == 0)
        return ReportNativeError(cx, "At least one argument expected in call to invokePlugin()");
    if (!args[0].isString())
        return ReportNativeError(cx, "Illegal argument 1 in call to invokePlugin(). Expected String.");
    std::string guid;
    if (!ValueToUtf8(cx, args[0], guid))
        return false;
    std::vector<ScriptPluginValue> arguments;
    const JS::HandleValueArray values =
        args.length() > 1 ? JS::HandleValueArray::subarray(args, 1, args.length() - 1) : JS::HandleValueArray::empty();
    if (!PluginArguments(cx, values, arguments))
        return false;
    // No member name: the plug-in's script hook itself is called.
    return CallPlugin(cx, guid, nullptr, arguments, args.rval());
}

bool EpsgArgument(JSContext* cx, JS::HandleValue value, int& code) {
    // Only a number (or a value that is one, like "4326") is an EPSG code;
    // NaN, text and objects are not.
    double number = 0.0;
    if (!JS::ToNumber(cx, value, &number)) {
        JS_ClearPendingException(cx);
        return false;
    }
    if (!(number >= -2147483648.0 && number <= 2147483647.0))
        return false;
    code = static_cast<int>(number);
    return true;
}

bool GlobalTransform(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (args.length() < 3)
        return ReportNativeError(cx, "Three arguments expected in call to transform()");
    if (!IsCoordObject(args[0]))
        return ReportNativeError(cx, "First argument in call to transform() was not a Coord object.");
    int from = 0;
    int to = 0;
    if (!EpsgArgument(cx, args[1], from))
        return ReportNativeError(cx, "Second argument in call to transform() was not an EPSG number.");
    if (!EpsgArgument(cx, args[2], to))
        return ReportNativeError(cx, "Third argument in call to transform() was not an EPSG number.");
    // Through the Coord's own properties, so that a Coord bound to a vertex
    // moves that vertex.
    JS::RootedObject coord(cx, &args[0].toObject());
    JS::RootedValue x(cx);
    JS::RootedValue y(cx);
    if (!JS_GetProperty(cx, coord, "x", &x) || !JS_GetProperty(cx, coord, "y", &y))
        return false;
    ScriptPoint point{0.0, 0.0};
    if (!JS::ToNumber(cx, x, &point.x) || !JS::ToNumber(cx, y, &point.y))
        return false;
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr)
        return ReportNativeError(cx, "Unsupported reference system in call to transform().");
    const ScriptReply reply = model->TransformPoint(from, to, point);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    x.setDouble(point.x);
    y.setDouble(point.y);
    return JS_SetProperty(cx, coord, "x", x) && JS_SetProperty(cx, coord, "y", y);
}

const JSFunctionSpec kGlobalFunctions[] = {
    JS_FN("gc", GlobalGc, 0, 0),
    JS_FN("alert", GlobalAlert, 0, 0),
    JS_FN("confirm", GlobalConfirm, 0, 0),
    JS_FN("option", GlobalOption, 0, 0),
    JS_FN("external", GlobalExternal, 0, 0),
    JS_FN("error", GlobalError, 0, 0),
    JS_FN("input", GlobalInput, 0, 0),
    JS_FN("sleep", GlobalSleep, 0, 0),
    JS_FN("executeAndWait", GlobalExecuteAndWait, 0, 0),
    JS_FN("getExitCode", GlobalGetExitCode, 0, 0),
    JS_FN("browseFileRead", GlobalBrowseFileRead, 0, 0),
    JS_FN("browseFileWrite", GlobalBrowseFileWrite, 0, 0),
    JS_FN("browseFolder", GlobalBrowseFolder, 0, 0),
    JS_FN("browseColor", GlobalBrowseColor, 0, 0),
    JS_FN("invokePlugin", GlobalInvokePlugin, 1, 0),
    JS_FN("transform", GlobalTransform, 1, 0),
    JS_FS_END,
};

}  // namespace

bool InitGlobalFunctions(JSContext* cx, JS::HandleObject global) {
    return JS_DefineFunctions(cx, global, kGlobalFunctions);
}

}  // namespace ScriptBridge
