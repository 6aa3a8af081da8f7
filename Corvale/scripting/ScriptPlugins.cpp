#include "scripting/ScriptPlugins.h"

#include "Gpi.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

namespace {

const char kUnsupportedValue[] = "Unsupported array element in call to invokePlugin().";

GpiScriptValue ToGpi(const ScriptPluginValue& value) {
    GpiScriptValue out = {};
    out.type = static_cast<std::uint32_t>(value.kind);
    switch (value.kind) {
    case ScriptPluginValue::Handle: out.value.handle = value.word; break;
    case ScriptPluginValue::Int: out.value.integer = value.integer; break;
    case ScriptPluginValue::String: out.value.text = value.text.c_str(); break;
    case ScriptPluginValue::Double: out.value.number = value.number; break;
    case ScriptPluginValue::Bool: out.value.boolean = value.boolean ? 1u : 0u; break;
    case ScriptPluginValue::Color: out.value.color = value.word; break;
    }
    return out;
}

bool FromGpi(const GpiScriptValue& value, ScriptPluginValue& out) {
    switch (value.type) {
    case GPISV_Handle: out.kind = ScriptPluginValue::Handle; out.word = value.value.handle; return true;
    case GPISV_Int: out.kind = ScriptPluginValue::Int; out.integer = value.value.integer; return true;
    case GPISV_String:
        out.kind = ScriptPluginValue::String;
        out.text = value.value.text != nullptr ? value.value.text : "";
        return true;
    case GPISV_Double: out.kind = ScriptPluginValue::Double; out.number = value.value.number; return true;
    // Any non-zero word is true: a plug-in that answers 2 still means yes.
    case GPISV_Bool: out.kind = ScriptPluginValue::Bool; out.boolean = value.value.boolean != 0; return true;
    case GPISV_Color: out.kind = ScriptPluginValue::Color; out.word = value.value.color; return true;
    default: return false;
    }
}

// Frees a list the plug-in handed over, with the texts in it.
void FreeAnswer(GpiScriptValue* list, std::uint32_t count) {
    if (list == nullptr)
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (list[i].type == GPISV_String && list[i].value.text != nullptr)
            GpiHostFreeMemory(const_cast<char*>(list[i].value.text));
    }
    GpiHostFreeMemory(list);
}

}  // namespace

const char* GpiScriptErrorText(int code) {
    switch (code) {
    case GPISCRIPT_PluginFailed: return "Error invoking plug-in. Plug-in execution failure.";
    case GPISCRIPT_PluginNotFound: return "Error invoking plug-in. Plug-in not found.";
    case GPISCRIPT_NoScripting: return "Error invoking plug-in. Plug-in has no scripting support.";
    case GPISCRIPT_UnknownName: return "Error invoking plug-in. Method or property not defined.";
    case GPISCRIPT_BadParameters: return "Error invoking plug-in. Error interpreting parameters.";
    default: return nullptr;
    }
}

ScriptReply CallScriptPlugin(const std::string& guidText, std::uint32_t workspace, const char* name,
                             const std::vector<ScriptPluginValue>& arguments, ScriptPluginAnswer& answer) {
    answer = ScriptPluginAnswer();
    std::vector<GpiScriptValue> list;
    list.reserve(arguments.size());
    for (const ScriptPluginValue& argument : arguments)
        list.push_back(ToGpi(argument));

    std::uint32_t inOut = 0;
    std::uint32_t count = 0;
    GpiScriptValue* results = nullptr;
    const int code = GpiInvokePluginScript(guidText, workspace, name, &inOut, static_cast<std::uint32_t>(list.size()),
                                           list.empty() ? nullptr : list.data(), &count, &results);
    if (const char* text = GpiScriptErrorText(code)) {
        FreeAnswer(results, count);
        return ScriptReply::Fail(text);
    }
    // A single answer is the first value of the list; without a list there
    // is nothing to give (the script sees undefined).
    answer.single = (inOut & 1u) != 0;
    const std::uint32_t wanted = results == nullptr ? 0 : (answer.single ? (count > 0 ? 1u : 0u) : count);
    ScriptReply reply = ScriptReply::Ok();
    for (std::uint32_t i = 0; i < wanted; ++i) {
        ScriptPluginValue value;
        if (!FromGpi(results[i], value)) {
            answer.values.clear();
            reply = ScriptReply::Fail(kUnsupportedValue);
            break;
        }
        answer.values.push_back(std::move(value));
    }
    FreeAnswer(results, count);
    return reply;
}
