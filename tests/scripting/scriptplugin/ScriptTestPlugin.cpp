// A GPI plug-in with script names, for the tests of scripts that use
// plug-ins: the host loads it from a plug-in folder like any other, and the
// scripts reach it through invokePlugin() and Plugin objects.
//
// Properties: "width" (a whole number, 10 at start) and "label" (a text).
// Methods:
//   describe(...)  one text listing the values received, as "Int:1,String:a";
//                  the hook without a name answers the same
//   echo(...)      the values received, as a list
//   first(...)     the first value received as the one answer (none: no value)
//   sum(...)       the sum of the numbers received, as a Double
//   fail(n)        1 throws, 2 answers "not implemented", 101 "illegal
//                  parameter", 3 unsubscribes from script calls and answers
//   addTheme(name) adds a polyline theme to the caller's workspace and
//                  answers its handle
//   workspace()    the caller's workspace handle (not a theme or a shape)
//   zero(list)     a zero handle: the one answer, or with list a list of it
//   badType()      one value of a type scripts do not know

#include "Gpi.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const GpiGuid g_Guid = {0x7a3c2e10, 0x5b4d, 0x4c6e, {0x9f, 0x80, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x6f}};

GpiHostDispatchFn g_Host = nullptr;
std::uint32_t g_Identity = 0;
std::int32_t g_Width = 10;
std::string g_Label = "start";

const char* const g_Properties[] = {"width", "label", nullptr};
const char* const g_Methods[] = {"describe", "echo", "first", "sum", "fail", "addTheme", "workspace", "zero", "badType",
                                 nullptr};

void* HostAlloc(std::size_t size) {
    void* memory = nullptr;
    GpiHostAllocArgs args = {static_cast<std::uint32_t>(size), &memory};
    if (g_Host(GPIOP_HostAlloc, &args) != GPIERR_NoError || memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

const char* HostText(const std::string& text) {
    char* copy = static_cast<char*>(HostAlloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

GpiScriptValue Copy(const GpiScriptValue& value) {
    GpiScriptValue out = value;
    if (value.type == GPISV_String)
        out.value.text = HostText(value.value.text != nullptr ? value.value.text : "");
    return out;
}

void Answer(GpiHookScriptCallArgs* call, const std::vector<GpiScriptValue>& values, bool single) {
    if (!values.empty()) {
        auto* list = static_cast<GpiScriptValue*>(HostAlloc(values.size() * sizeof(GpiScriptValue)));
        for (std::size_t i = 0; i < values.size(); ++i)
            list[i] = values[i];
        call->results = list;
    }
    call->resultCount = static_cast<std::uint32_t>(values.size());
    if (single)
        call->inOut |= 1u;
}

GpiScriptValue Value(GpiScriptValueType type) {
    GpiScriptValue value = {};
    value.type = type;
    return value;
}

std::string Describe(const GpiHookScriptCallArgs* call) {
    std::string text;
    for (std::uint32_t i = 0; i < call->argumentCount; ++i) {
        const GpiScriptValue& value = call->arguments[i];
        if (i > 0)
            text += ",";
        switch (value.type) {
        case GPISV_Handle: text += "Handle:" + std::to_string(value.value.handle); break;
        case GPISV_Int: text += "Int:" + std::to_string(value.value.integer); break;
        case GPISV_String: text += std::string("String:") + value.value.text; break;
        case GPISV_Double: {
            char number[64];
            std::snprintf(number, sizeof number, "%g", value.value.number);
            text += std::string("Double:") + number;
            break;
        }
        case GPISV_Bool: text += "Bool:" + std::to_string(value.value.boolean); break;
        case GPISV_Color: text += "Color:" + std::to_string(value.value.color); break;
        default: text += "?"; break;
        }
    }
    return text;
}

int ScriptCall(std::uint32_t workspace, GpiHookScriptCallArgs* call) {
    const std::string name = call->name != nullptr ? call->name : "";
    const std::uint32_t count = call->argumentCount;
    const GpiScriptValue* arguments = call->arguments;
    if (name.empty() || name == "describe") {
        GpiScriptValue text = Value(GPISV_String);
        text.value.text = HostText(Describe(call));
        Answer(call, {text}, true);
        return GPIERR_NoError;
    }
    if (name == "width") {
        if (count == 0) {
            GpiScriptValue width = Value(GPISV_Int);
            width.value.integer = g_Width;
            Answer(call, {width}, true);
            return GPIERR_NoError;
        }
        if (count != 1 || (arguments[0].type != GPISV_Int && arguments[0].type != GPISV_Double))
            return GPIERR_IllegalParameter;
        g_Width = arguments[0].type == GPISV_Int ? arguments[0].value.integer
                                                  : static_cast<std::int32_t>(arguments[0].value.number);
        return GPIERR_NoError;
    }
    if (name == "label") {
        if (count == 0) {
            GpiScriptValue label = Value(GPISV_String);
            label.value.text = HostText(g_Label);
            Answer(call, {label}, true);
            return GPIERR_NoError;
        }
        if (count != 1 || arguments[0].type != GPISV_String)
            return GPIERR_IllegalParameter;
        g_Label = arguments[0].value.text;
        return GPIERR_NoError;
    }
    if (name == "echo" || name == "first") {
        std::vector<GpiScriptValue> values;
        for (std::uint32_t i = 0; i < count && (name == "echo" || i == 0); ++i)
            values.push_back(Copy(arguments[i]));
        Answer(call, values, name == "first");
        return GPIERR_NoError;
    }
    if (name == "sum") {
        double sum = 0.0;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (arguments[i].type == GPISV_Int)
                sum += arguments[i].value.integer;
            else if (arguments[i].type == GPISV_Double)
                sum += arguments[i].value.number;
            else
                return GPIERR_IllegalParameter;
        }
        GpiScriptValue total = Value(GPISV_Double);
        total.value.number = sum;
        Answer(call, {total}, true);
        return GPIERR_NoError;
    }
    if (name == "fail") {
        const std::int32_t how = count > 0 && arguments[0].type == GPISV_Int ? arguments[0].value.integer : 0;
        if (how == 1)
            throw std::runtime_error("the test plug-in fails");
        if (how == 3) {
            GpiUnregisterHookArgs off = {g_Identity, GPIHOOK_ScriptCall};
            g_Host(GPIOP_UnregisterHook, &off);
            return GPIERR_NoError;
        }
        return how;
    }
    if (name == "addTheme") {
        if (count != 1 || arguments[0].type != GPISV_String)
            return GPIERR_IllegalParameter;
        std::uint32_t theme = 0;
        GpiWorkspaceAddThemeArgs add = {workspace, 3, arguments[0].value.text, &theme};
        const int code = g_Host(GPIOP_WorkspaceAddTheme, &add);
        if (code != GPIERR_NoError)
            return code;
        GpiScriptValue handle = Value(GPISV_Handle);
        handle.value.handle = theme;
        Answer(call, {handle}, true);
        return GPIERR_NoError;
    }
    if (name == "workspace") {
        GpiScriptValue handle = Value(GPISV_Handle);
        handle.value.handle = workspace;
        Answer(call, {handle}, true);
        return GPIERR_NoError;
    }
    if (name == "zero") {
        Answer(call, {Value(GPISV_Handle)}, count == 0);
        return GPIERR_NoError;
    }
    if (name == "badType") {
        GpiScriptValue odd = Value(GPISV_Int);
        odd.type = 7;
        Answer(call, {odd}, true);
        return GPIERR_NoError;
    }
    return GPIERR_NotImplemented;
}

int Callback(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    if (hookType != GPIHOOK_ScriptCall)
        return GPIERR_NoError;
    return ScriptCall(workspace, static_cast<GpiHookScriptCallArgs*>(args));
}

} // namespace

extern "C" {

GPI_EXPORT int fnInit(GpiInitInfo* info) {
    g_Host = info->dispatch;
    g_Identity = info->identity;
    g_Width = 10;
    g_Label = "start";
    info->name = "Script test plug-in";
    info->description = "Answers scripts for the tests.\nScript test plug-in";
    info->about = "Built by the tests.";
    info->version = "1.00";
    info->callback = &Callback;
    GpiScriptNamesInfo names = {0, g_Properties, g_Methods};
    GpiRegisterHookArgs hook = {g_Identity, GPIHOOK_ScriptCall, 0, &names};
    return g_Host(GPIOP_RegisterHook, &hook) == GPIERR_NoError ? 0 : 1;
}

GPI_EXPORT void fnTerminate(void) {}

GPI_EXPORT int fnVersion(void) {
    return PIV_Gpi200;
}

GPI_EXPORT const GpiGuid* fnGUID(void) {
    return &g_Guid;
}

} // extern "C"
