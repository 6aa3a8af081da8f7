// Scripts and GPI plug-ins: the Plugin class, through which a script uses a
// plug-in's script properties and methods as members of an object, and the
// call both it and the global invokePlugin() make.
//
// A Plugin object keeps only the plug-in's identity, which the host never
// gives out twice: a plug-in taken out of the list no longer answers to it,
// so an old object reports instead of reaching a freed record. The names a
// plug-in registered become members of each new object: a getter and a
// setter per property and a function per method, each made for that one
// name and carrying it, since the engine does not tell an accessor which
// property it serves.

#include "jsengine/EngineSupport.h"

#include <js/Array.h>
#include <js/Object.h>
#include <js/PropertyAndElement.h>
#include <js/PropertySpec.h>
#include <jsfriendapi.h>

#include <string>
#include <vector>

namespace ScriptBridge {

namespace {

// The global slot after those of the object model (ObjectModelSupport.h).
constexpr std::size_t kGlobalPluginProtoSlot = 4;
static_assert(kGlobalPluginProtoSlot < JSCLASS_GLOBAL_APPLICATION_SLOTS);

constexpr std::size_t kPluginIdentitySlot = 0;
// The slot of a member function that holds the name it serves.
constexpr std::size_t kMemberNameSlot = 0;

const JSClass kPluginClass = {"Plugin", JSCLASS_HAS_RESERVED_SLOTS(1), nullptr, nullptr, nullptr, nullptr};

const char kNullPlugin[] = "Trying to access a null Plugin object.";
const char kUnsupportedElement[] = "Unsupported array element in call to invokePlugin().";

// The listed plug-in behind a Plugin object; false after the report.
bool PluginOf(JSContext* cx, const JS::Value& self, ScriptPluginInfo& info) {
    IScriptObjectModel* model = CurrentObjectModel();
    if (!self.isObject() || JS::GetClass(&self.toObject()) != &kPluginClass || model == nullptr)
        return ReportNativeError(cx, kNullPlugin);
    const JS::Value identity = JS::GetReservedSlot(&self.toObject(), kPluginIdentitySlot);
    if (!identity.isNumber() || !model->GetPluginInfo(static_cast<std::uint32_t>(identity.toNumber()), info))
        return ReportNativeError(cx, kNullPlugin);
    return true;
}

// The text a member function was made for.
bool MemberName(JSContext* cx, const JS::CallArgs& args, std::string& name) {
    JS::RootedValue stored(cx, js::GetFunctionNativeReserved(&args.callee(), kMemberNameSlot));
    return stored.isString() && ValueToUtf8(cx, stored, name);
}

// Calls a Plugin object's member with the values; the converted answer goes
// to rval.
bool PluginInvoke(JSContext* cx, const JS::Value& self, const std::string& name, const JS::HandleValueArray& values,
                  JS::MutableHandleValue rval) {
    ScriptPluginInfo info;
    if (!PluginOf(cx, self, info))
        return false;
    IScriptObjectModel* model = CurrentObjectModel();
    void* record = GlobalWorkspaceRecord(cx);
    if (record == nullptr || !model->HasDocument(record))
        return ReportNativeError(cx, "Trying to access a null Plugin object");
    std::vector<ScriptPluginValue> arguments;
    if (!PluginArguments(cx, values, arguments))
        return false;
    return CallPlugin(cx, info.guidText, name.c_str(), arguments, rval);
}

bool PluginGetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    if (!MemberName(cx, args, name))
        return false;
    return PluginInvoke(cx, args.thisv(), name, JS::HandleValueArray::empty(), args.rval());
}

bool PluginSetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    if (!MemberName(cx, args, name))
        return false;
    // The plug-in's answer to a write is not the script's business.
    JS::RootedValue ignored(cx);
    JS::RootedValue value(cx, args.get(0));
    if (!PluginInvoke(cx, args.thisv(), name, JS::HandleValueArray(value), &ignored))
        return false;
    args.rval().setUndefined();
    return true;
}

bool PluginMethod(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    if (!MemberName(cx, args, name))
        return false;
    return PluginInvoke(cx, args.thisv(), name, JS::HandleValueArray(args), args.rval());
}

// A function for one member name, carrying that name.
JSObject* NewMember(JSContext* cx, JSNative native, JS::HandleId id, JS::HandleString name) {
    JSFunction* function = js::NewFunctionByIdWithReserved(cx, native, 0, 0, id);
    if (function == nullptr)
        return nullptr;
    JSObject* object = JS_GetFunctionObject(function);
    js::SetFunctionNativeReserved(object, kMemberNameSlot, JS::StringValue(name));
    return object;
}

bool MemberId(JSContext* cx, const std::string& text, JS::MutableHandleString name, JS::MutableHandleId id) {
    name.set(NewStringFromBytes(cx, text));
    if (name == nullptr)
        return false;
    return JS_StringToId(cx, name, id);
}

bool DefinePluginMembers(JSContext* cx, JS::HandleObject plugin, const ScriptPluginInfo& info) {
    JS::RootedString name(cx);
    JS::RootedId id(cx);
    for (const std::string& property : info.properties) {
        if (!MemberId(cx, property, &name, &id))
            return false;
        JS::RootedObject getter(cx, NewMember(cx, PluginGetter, id, name));
        JS::RootedObject setter(cx, NewMember(cx, PluginSetter, id, name));
        // Not enumerable: a for-in over the object lists only what the
        // object itself is (its GUID, name and file).
        if (getter == nullptr || setter == nullptr || !JS_DefinePropertyById(cx, plugin, id, getter, setter, 0))
            return false;
    }
    for (const std::string& method : info.methods) {
        if (!MemberId(cx, method, &name, &id))
            return false;
        JS::RootedObject function(cx, NewMember(cx, PluginMethod, id, name));
        JS::RootedValue value(cx, JS::ObjectOrNullValue(function));
        if (function == nullptr || !JS_DefinePropertyById(cx, plugin, id, value, 0))
            return false;
    }
    return true;
}

bool ConstructPlugin(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (args.length() != 1)
        return ReportNativeError(cx, "Wrong number of parameters for Plugin.");
    if (!args[0].isString())
        return ReportNativeError(cx, "Illegal parameter to Plugin. Expected string.");
    std::string guid;
    if (!ValueToUtf8(cx, args[0], guid))
        return false;
    IScriptObjectModel* model = CurrentObjectModel();
    const std::uint32_t identity = model != nullptr ? model->FindPlugin(guid) : 0;
    ScriptPluginInfo info;
    if (identity == 0 || !model->GetPluginInfo(identity, info))
        return ReportNativeError(cx, "Specified plugin not found.");

    JS::RootedObject plugin(cx);
    if (args.isConstructing()) {
        plugin = JS_NewObjectForConstructor(cx, &kPluginClass, args);
    } else {
        // Called without new: the object is made as new would make it.
        JSObject* global = JS::CurrentGlobalOrNull(cx);
        const JS::Value stored =
            global != nullptr ? JS::GetReservedSlot(global, kGlobalPluginProtoSlot) : JS::UndefinedValue();
        JS::RootedObject proto(cx, stored.isObject() ? &stored.toObject() : nullptr);
        plugin = JS_NewObjectWithGivenProto(cx, &kPluginClass, proto);
    }
    if (plugin == nullptr)
        return false;
    JS::SetReservedSlot(plugin, kPluginIdentitySlot, JS::NumberValue(static_cast<double>(identity)));
    if (!DefinePluginMembers(cx, plugin, info)) {
        JS_ClearPendingException(cx);
        return ReportNativeError(cx, "Internal error defining dynamic Plugin function.");
    }
    args.rval().setObject(*plugin);
    return true;
}

template <int Id>
bool GetPluginValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    ScriptPluginInfo info;
    if (!PluginOf(cx, args.thisv(), info))
        return false;
    switch (Id) {
    case 0:
        return SetUtf8Text(cx, args.rval(), info.guidText);
    case 1:
    case 2: {
        if (Id == 1 && !info.hasName)
            return ReportNativeError(cx, kNullPlugin);
        return SetUtf8Text(cx, args.rval(), Id == 1 ? info.name : info.file);
    }
    }
    return false;
}

const JSPropertySpec kPluginProperties[] = {
    JS_PSG("GUID", GetPluginValue<0>, JSPROP_ENUMERATE),
    JS_PSG("name", GetPluginValue<1>, JSPROP_ENUMERATE),
    JS_PSG("file", GetPluginValue<2>, JSPROP_ENUMERATE),
    JS_PS_END,
};

}  // namespace

bool PluginArguments(JSContext* cx, const JS::HandleValueArray& values, std::vector<ScriptPluginValue>& out) {
    out.clear();
    bool isArray = false;
    if (values.length() > 0 && values[0].isObject() && !JS::IsArrayObject(cx, values[0], &isArray))
        return false;
    if (isArray) {
        // An array as the first argument stands for its elements.
        JS::RootedObject array(cx, &values[0].toObject());
        std::uint32_t length = 0;
        if (!JS::GetArrayLength(cx, array, &length))
            return false;
        JS::RootedValue element(cx);
        for (std::uint32_t i = 0; i < length; ++i) {
            if (!JS_GetElement(cx, array, i, &element)) {
                JS_ClearPendingException(cx);
                return ReportNativeError(cx, kUnsupportedElement);
            }
            ScriptPluginValue value;
            if (!ScriptValueToGpi(cx, element, value))
                return false;
            out.push_back(std::move(value));
        }
        return true;
    }
    for (std::size_t i = 0; i < values.length(); ++i) {
        ScriptPluginValue value;
        if (!ScriptValueToGpi(cx, values[i], value))
            return false;
        out.push_back(std::move(value));
    }
    return true;
}

bool CallPlugin(JSContext* cx, const std::string& guidText, const char* name,
                const std::vector<ScriptPluginValue>& arguments, JS::MutableHandleValue rval) {
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr)
        return ReportNativeError(cx, "Error invoking plug-in. Plug-in not found.");
    ScriptPluginAnswer answer;
    const ScriptReply reply =
        model->InvokePlugin(GlobalWorkspaceRecord(cx), guidText, name, arguments, answer);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    // The plug-in may have added, removed or moved themes.
    SyncLayerCache(cx);
    if (answer.single)
        return GpiValueToScript(cx, answer.values.empty() ? nullptr : &answer.values.front(), rval);
    return GpiValuesToScriptArray(cx, answer.values, rval);
}

bool InitPluginClass(JSContext* cx, JS::HandleObject global) {
    JSObject* proto = JS_InitClass(cx, global, nullptr, &kPluginClass, &ConstructPlugin, 1, kPluginProperties,
                                   nullptr, nullptr, nullptr);
    if (proto == nullptr)
        return false;
    JS::SetReservedSlot(global, kGlobalPluginProtoSlot, JS::ObjectValue(*proto));
    return true;
}

}  // namespace ScriptBridge
