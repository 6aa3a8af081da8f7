// What the script classes of the workspace share (ObjectModelSupport.h):
// the checks of their natives, the layer cache, the conversion of values to
// and from GPI plug-ins, and the set-up of the classes on a new global. The
// classes themselves are WorkspaceClass.cpp, LayerClass.cpp, ShapeClass.cpp,
// CoordClass.cpp and ColorClass.cpp.

#include "jsengine/ObjectModelSupport.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/Object.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ScriptBridge {

namespace {

JS::Value HandleValue(std::uint32_t handle) { return JS::NumberValue(static_cast<double>(handle)); }

std::string CountExpected(unsigned count, const char* method) {
    return std::string(count == 1 ? "One argument" : "Two arguments") + " expected in call to " + method + "()";
}

JSObject* NewLayerObject(JSContext* cx, JS::HandleObject workspace, std::uint32_t theme) {
    JS::RootedObject proto(cx, ObjectIn(workspace, kWorkspaceLayerProtoSlot));
    JS::RootedObject layer(cx, JS_NewObjectWithGivenProto(cx, &kLayerClass, proto));
    if (layer == nullptr)
        return nullptr;
    JS::SetReservedSlot(layer, kLayerHandleSlot, HandleValue(theme));
    JS::SetReservedSlot(layer, kLayerWorkspaceSlot, JS::ObjectValue(*workspace));
    return layer;
}

JSObject* NewShapeObject(JSContext* cx, JS::HandleObject layer, std::uint32_t shape) {
    JSObject* workspace = ObjectIn(layer, kLayerWorkspaceSlot);
    JS::RootedObject proto(cx, workspace != nullptr ? ObjectIn(workspace, kWorkspaceShapeProtoSlot)
                                                    : nullptr);
    JS::RootedObject object(cx, JS_NewObjectWithGivenProto(cx, &kShapeClass, proto));
    if (object == nullptr)
        return nullptr;
    JS::SetReservedSlot(object, kShapeHandleSlot, HandleValue(shape));
    JS::SetReservedSlot(object, kShapeLayerSlot, JS::ObjectValue(*layer));
    return object;
}

bool CacheLength(JSContext* cx, JS::HandleObject cache, std::uint32_t& length) {
    return JS::GetArrayLength(cx, cache, &length);
}

// Puts a new Layer object where the document put its theme: at the end when
// LoadToBottom is set, else first.
bool InsertLayerInCache(JSContext* cx, JS::HandleObject cache, JS::HandleObject layer, bool atEnd) {
    std::uint32_t length = 0;
    if (!CacheLength(cx, cache, length))
        return false;
    JS::RootedValue value(cx, JS::ObjectValue(*layer));
    if (atEnd)
        return JS_SetElement(cx, cache, length, value);
    JS::RootedValue moved(cx);
    for (std::uint32_t i = length; i > 0; --i) {
        if (!JS_GetElement(cx, cache, i - 1, &moved) || !JS_SetElement(cx, cache, i, moved))
            return false;
    }
    return JS_SetElement(cx, cache, 0, value);
}

}  // namespace

// ---------------------------------------------------------------------------
// Objects, handles and values
// ---------------------------------------------------------------------------

bool Is(JSObject* object, const JSClass* clasp) { return object != nullptr && JS::GetClass(object) == clasp; }

bool IsObjectOf(const JS::Value& value, const JSClass* clasp) {
    return value.isObject() && Is(&value.toObject(), clasp);
}

std::uint32_t HandleIn(JSObject* object, std::size_t slot) {
    const JS::Value value = JS::GetReservedSlot(object, slot);
    return value.isNumber() ? static_cast<std::uint32_t>(value.toNumber()) : 0;
}

JSObject* ObjectIn(JSObject* object, std::size_t slot) {
    const JS::Value value = JS::GetReservedSlot(object, slot);
    return value.isObject() ? &value.toObject() : nullptr;
}

// The script stops without a message (a refused assignment, a getter on a
// non-object).
bool Silent(JSContext* cx) {
    JS_ClearPendingException(cx);
    return false;
}

bool ToScript(JSContext* cx, const ScriptValue& value, JS::MutableHandleValue out) {
    switch (value.kind) {
    case ScriptValue::Boolean:
        out.setBoolean(value.boolean);
        return true;
    case ScriptValue::Integer:
        out.setInt32(value.integer);
        return true;
    case ScriptValue::Number:
        out.setNumber(value.number);
        return true;
    case ScriptValue::String:
        return SetUtf8Text(cx, out, value.text);
    case ScriptValue::Undefined:
        break;
    }
    out.setUndefined();
    return true;
}

bool NumberOf(JSContext* cx, JS::HandleValue value, double& number) {
    if (JS::ToNumber(cx, value, &number))
        return true;
    JS_ClearPendingException(cx);
    return false;
}

bool Int32Of(JSContext* cx, JS::HandleValue value, std::int32_t& number) {
    if (JS::ToInt32(cx, value, &number))
        return true;
    JS_ClearPendingException(cx);
    return false;
}

// `this` when it is an object; null otherwise.
JSObject* ThisObject(const JS::CallArgs& args) {
    return args.thisv().isObject() ? &args.thisv().toObject() : nullptr;
}

// Whether the call has exactly `count` (one or two) arguments; else stops
// with "One argument expected in call to <method>()" or its two-argument
// form.
bool ExactArguments(JSContext* cx, const JS::CallArgs& args, unsigned count, const char* method) {
    return args.length() == count || ReportNativeError(cx, CountExpected(count, method));
}

// The same for a native that takes further, optional, arguments.
bool LeastArguments(JSContext* cx, const JS::CallArgs& args, unsigned count, const char* method) {
    return args.length() >= count || ReportNativeError(cx, CountExpected(count, method));
}

// Stops with "Illegal argument type in call to <method>()".
bool IllegalArgumentType(JSContext* cx, const char* method) {
    return ReportNativeError(cx, std::string("Illegal argument type in call to ") + method + "()");
}

// Stops with "Illegal argument <n> in call to <method>(). Expected <type>.".
bool IllegalArgument(JSContext* cx, int n, const char* method, const char* type) {
    return ReportNativeError(cx, "Illegal argument " + std::to_string(n) + " in call to " + method +
                                     "(). Expected " + type + ".");
}

// A Layer or Shape function's one number argument as an integer.
bool OneNumber(JSContext* cx, const JS::CallArgs& args, const char* function, std::int32_t& number) {
    if (!ExactArguments(cx, args, 1, function))
        return false;
    if (!args[0].isNumber())
        return IllegalArgumentType(cx, function);
    return Int32Of(cx, args[0], number);
}

JSObject* GlobalSlotObject(JSContext* cx, std::size_t slot) {
    JSObject* global = JS::CurrentGlobalOrNull(cx);
    return global != nullptr ? ObjectIn(global, slot) : nullptr;
}

// ---------------------------------------------------------------------------
// The layer cache and the making of Shape objects
// ---------------------------------------------------------------------------

// The workspace's layer cache, made with one empty element per theme of the
// document the first time it is needed; null without a document.
JSObject* LayerCache(JSContext* cx, JS::HandleObject workspace) {
    if (JSObject* cache = ObjectIn(workspace, kWorkspaceCacheSlot))
        return cache;
    IScriptObjectModel* model = CurrentObjectModel();
    const int count = model != nullptr ? model->ThemeCount(RecordOfWorkspace(workspace)) : -1;
    if (count < 0)
        return nullptr;
    JS::RootedObject cache(cx, JS::NewArrayObject(cx, static_cast<std::size_t>(count)));
    if (cache == nullptr)
        return nullptr;
    JS::SetReservedSlot(workspace, kWorkspaceCacheSlot, JS::ObjectValue(*cache));
    return cache;
}

// The Layer object of theme `index`: the cache's element, or a new object put
// there. The cache grows to the document's theme count when it fell behind.
bool LayerAt(JSContext* cx, JS::HandleObject workspace, int index, JS::MutableHandleValue out) {
    IScriptObjectModel* model = CurrentObjectModel();
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    if (cache == nullptr || model == nullptr)
        return ReportNativeError(cx, "Trying to access a null Workspace object.");
    std::uint32_t length = 0;
    if (!CacheLength(cx, cache, length))
        return false;
    if (static_cast<std::uint32_t>(index) >= length) {
        const int count = model->ThemeCount(RecordOfWorkspace(workspace));
        if (!JS::SetArrayLength(cx, cache, static_cast<std::uint32_t>(std::max(count, index + 1))))
            return false;
    }
    if (!JS_GetElement(cx, cache, static_cast<std::uint32_t>(index), out))
        return false;
    if (out.isObject())
        return true;
    JS::RootedObject layer(cx, NewLayerObject(cx, workspace, model->ThemeAt(RecordOfWorkspace(workspace), index)));
    if (layer == nullptr)
        return false;
    out.setObject(*layer);
    return JS_SetElement(cx, cache, static_cast<std::uint32_t>(index), out);
}

// A theme the script just added or loaded comes back as its Layer, put into
// the cache where the document put the theme; no theme answers null.
bool ReturnNewLayer(JSContext* cx, const JS::CallArgs& args, JS::HandleObject workspace, JS::HandleObject cache,
                    std::uint32_t theme, bool atEnd) {
    if (theme == 0) {
        args.rval().setNull();
        return true;
    }
    JS::RootedObject layer(cx, NewLayerObject(cx, workspace, theme));
    if (layer == nullptr || !InsertLayerInCache(cx, cache, layer, atEnd))
        return false;
    args.rval().setObject(*layer);
    return true;
}

bool CacheElements(JSContext* cx, JS::HandleObject cache, JS::MutableHandle<JS::StackGCVector<JS::Value>> out) {
    std::uint32_t length = 0;
    if (!CacheLength(cx, cache, length))
        return false;
    JS::RootedValue element(cx);
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!JS_GetElement(cx, cache, i, &element) || !out.append(element))
            return false;
    }
    return true;
}

bool WriteCache(JSContext* cx, JS::HandleObject cache, JS::Handle<JS::StackGCVector<JS::Value>> elements) {
    if (!JS::SetArrayLength(cx, cache, static_cast<std::uint32_t>(elements.length())))
        return false;
    for (std::size_t i = 0; i < elements.length(); ++i) {
        if (!JS_SetElement(cx, cache, static_cast<std::uint32_t>(i), elements[i]))
            return false;
    }
    return true;
}

// The index of this very object in the cache; -1 when it is not there.
int FindInCache(JS::Handle<JS::StackGCVector<JS::Value>> elements, const JS::Value& object) {
    if (!object.isObject())
        return -1;
    for (std::size_t i = 0; i < elements.length(); ++i) {
        if (elements[i].isObject() && &elements[i].toObject() == &object.toObject())
            return static_cast<int>(i);
    }
    return -1;
}

bool ShapeResult(JSContext* cx, JS::HandleObject layer, std::uint32_t shape, JS::MutableHandleValue out) {
    JSObject* object = NewShapeObject(cx, layer, shape);
    if (object == nullptr)
        return false;
    out.setObject(*object);
    return true;
}

// ---------------------------------------------------------------------------
// Values to and from plug-ins
// ---------------------------------------------------------------------------

namespace {

// The Layer object of a theme handle from the cache: every empty element on
// the way is filled, so that a later getLayer answers the same objects. Null
// (nothing reported) when the cache has no Layer of that theme.
bool GetLayerObject(JSContext* cx, JS::HandleObject workspace, std::uint32_t theme, JS::MutableHandleObject out) {
    out.set(nullptr);
    IScriptObjectModel* model = CurrentObjectModel();
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    if (model == nullptr || cache == nullptr || theme == 0)
        return true;
    std::uint32_t length = 0;
    if (!CacheLength(cx, cache, length))
        return false;
    JS::RootedValue element(cx);
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!JS_GetElement(cx, cache, i, &element))
            return false;
        if (!element.isObject()) {
            const std::uint32_t handle = model->ThemeAt(RecordOfWorkspace(workspace), static_cast<int>(i));
            if (handle == 0)
                continue;
            JS::RootedObject layer(cx, NewLayerObject(cx, workspace, handle));
            if (layer == nullptr)
                return false;
            element.setObject(*layer);
            if (!JS_SetElement(cx, cache, i, element))
                return false;
        }
        if (Is(&element.toObject(), &kLayerClass) && HandleIn(&element.toObject(), kLayerHandleSlot) == theme) {
            out.set(&element.toObject());
            return true;
        }
    }
    return true;
}

const char kUnsupportedPluginValue[] = "Unsupported array element in call to invokePlugin().";

// A handle a plug-in answered: a theme's Layer (the cached one) or a new
// Shape of a shape's Layer; anything else is refused.
bool PluginHandleToScript(JSContext* cx, JS::HandleObject workspace, std::uint32_t handle,
                          JS::MutableHandleValue out) {
    IScriptObjectModel* model = CurrentObjectModel();
    const ScriptHandleKind kind = model != nullptr ? model->HandleKind(handle) : SHK_Other;
    JS::RootedObject layer(cx);
    if (kind == SHK_Theme) {
        if (!GetLayerObject(cx, workspace, handle, &layer))
            return false;
        if (layer == nullptr)
            return ReportNativeError(cx, "Internal Error: Could not locate returned Layer.");
        out.setObject(*layer);
        return true;
    }
    if (kind == SHK_Shape) {
        const char* notFound = "Internal Error: Could not locate Layer containing the returned Shape.";
        std::uint32_t theme = 0;
        int position = -1;
        if (!model->LocateShape(handle, theme, position))
            return ReportNativeError(cx, notFound);
        if (!GetLayerObject(cx, workspace, theme, &layer))
            return false;
        std::uint32_t shape = 0;
        if (layer == nullptr || model->GetShape(theme, position, shape).Failed())
            return ReportNativeError(cx, notFound);
        return ShapeResult(cx, layer, shape, out);
    }
    return ReportNativeError(cx, "Corvale JavaScript does not support the Corvale object returned from "
                                 "invokePlugin(). Only shapes and themes are supported as return values.");
}

// One value of a plug-in's answer; a zero handle is null only when it is the
// single answer (zeroIsNull).
bool PluginValueToScript(JSContext* cx, const ScriptPluginValue& value, bool zeroIsNull,
                         JS::MutableHandleValue out) {
    switch (value.kind) {
    case ScriptPluginValue::Handle: {
        JS::RootedObject workspace(cx, GlobalSlotObject(cx, kGlobalWorkspaceSlot));
        if (RecordOfWorkspace(workspace) == nullptr)
            return ReportNativeError(cx, "Trying to access a null Plugin object");
        if (value.word == 0 && zeroIsNull) {
            out.setNull();
            return true;
        }
        return PluginHandleToScript(cx, workspace, value.word, out);
    }
    case ScriptPluginValue::Int:
        out.setInt32(value.integer);
        return true;
    case ScriptPluginValue::String:
        return SetUtf8Text(cx, out, value.text);
    case ScriptPluginValue::Double:
        out.setNumber(value.number);
        return true;
    case ScriptPluginValue::Bool:
        out.setBoolean(value.boolean);
        return true;
    case ScriptPluginValue::Color: {
        JSObject* color = NewColorObject(cx, value.word & 0x00FFFFFFu, nullptr);
        if (color == nullptr)
            return false;
        out.setObject(*color);
        return true;
    }
    }
    return ReportNativeError(cx, kUnsupportedPluginValue);
}

}  // namespace

bool ScriptValueToGpi(JSContext* cx, JS::HandleValue value, ScriptPluginValue& out) {
    out = ScriptPluginValue();
    if (value.isBoolean()) {
        out.kind = ScriptPluginValue::Bool;
        out.boolean = value.toBoolean();
        return true;
    }
    if (value.isInt32()) {
        out.kind = ScriptPluginValue::Int;
        out.integer = value.toInt32();
        return true;
    }
    if (value.isDouble()) {
        out.kind = ScriptPluginValue::Double;
        out.number = value.toDouble();
        return true;
    }
    if (value.isString()) {
        out.kind = ScriptPluginValue::String;
        return ValueToUtf8(cx, value, out.text);
    }
    if (value.isObject()) {
        JSObject* object = &value.toObject();
        if (Is(object, &kWorkspaceClass)) {
            IScriptObjectModel* model = CurrentObjectModel();
            out.kind = ScriptPluginValue::Handle;
            out.word = model != nullptr ? model->WorkspaceHandle(RecordOfWorkspace(object)) : 0;
            return true;
        }
        if (Is(object, &kLayerClass)) {
            out.kind = ScriptPluginValue::Handle;
            out.word = HandleIn(object, kLayerHandleSlot);
            return true;
        }
        if (Is(object, &kShapeClass)) {
            out.kind = ScriptPluginValue::Handle;
            out.word = HandleIn(object, kShapeHandleSlot);
            return true;
        }
        if (Is(object, &kColorClass) && ColorHasRecord(object)) {
            const ScriptReply reply = ReadColor(object, out.word);
            if (reply.Failed())
                return AnswerReply(cx, reply);
            out.kind = ScriptPluginValue::Color;
            return true;
        }
    }
    return ReportNativeError(cx, kUnsupportedPluginValue);
}

bool GpiValueToScript(JSContext* cx, const ScriptPluginValue* value, JS::MutableHandleValue out) {
    if (value == nullptr) {
        out.setUndefined();
        return true;
    }
    return PluginValueToScript(cx, *value, true, out);
}

bool GpiValuesToScriptArray(JSContext* cx, const std::vector<ScriptPluginValue>& values, JS::MutableHandleValue out) {
    if (values.empty()) {
        out.setUndefined();
        return true;
    }
    JS::RootedObject array(cx, JS::NewArrayObject(cx, values.size()));
    if (array == nullptr)
        return false;
    JS::RootedValue element(cx);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!PluginValueToScript(cx, values[i], false, &element) ||
            !JS_SetElement(cx, array, static_cast<std::uint32_t>(i), element))
            return false;
    }
    out.setObject(*array);
    return true;
}

bool SyncLayerCache(JSContext* cx) {
    JS::RootedObject workspace(cx, GlobalSlotObject(cx, kGlobalWorkspaceSlot));
    IScriptObjectModel* model = CurrentObjectModel();
    if (workspace == nullptr || model == nullptr)
        return false;
    JS::RootedObject cache(cx, ObjectIn(workspace, kWorkspaceCacheSlot));
    void* record = RecordOfWorkspace(workspace);
    const int count = record != nullptr ? model->ThemeCount(record) : -1;
    if (cache == nullptr || count < 0)
        return false;
    JS::RootedVector<JS::Value> old(cx);
    if (!CacheElements(cx, cache, &old))
        return false;
    JS::RootedVector<JS::Value> ordered(cx);
    if (!ordered.resize(static_cast<std::size_t>(count)))
        return false;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t theme = model->ThemeAt(record, i);
        for (std::size_t j = 0; j < old.length(); ++j) {
            if (old[j].isObject() && Is(&old[j].toObject(), &kLayerClass) &&
                HandleIn(&old[j].toObject(), kLayerHandleSlot) == theme) {
                ordered[static_cast<std::size_t>(i)].set(old[j]);
                break;
            }
        }
    }
    return WriteCache(cx, cache, ordered);
}

bool InitObjectModel(JSContext* cx, JS::HandleObject global, void* workspaceRecord) {
    JS::RootedObject coordProto(cx, InitCoordClass(cx, global));
    JS::RootedObject colorProto(cx, InitColorClass(cx, global));
    if (coordProto == nullptr || colorProto == nullptr)
        return false;
    JS::SetReservedSlot(global, kGlobalCoordProtoSlot, JS::ObjectValue(*coordProto));
    JS::SetReservedSlot(global, kGlobalColorProtoSlot, JS::ObjectValue(*colorProto));
    JS::RootedObject workspace(cx, JS_DefineObject(cx, global, "workspace", &kWorkspaceClass, JSPROP_ENUMERATE));
    if (workspace == nullptr)
        return false;
    JS::SetReservedSlot(workspace, kWorkspaceRecordSlot, JS::PrivateValue(workspaceRecord));
    // The global keeps the object whatever the script does with the name.
    JS::SetReservedSlot(global, kGlobalWorkspaceSlot, JS::ObjectValue(*workspace));
    if (!DefineWorkspaceTables(cx, workspace))
        return false;
    JS::RootedObject layerProto(cx, JS_NewPlainObject(cx));
    JS::RootedObject shapeProto(cx, JS_NewPlainObject(cx));
    if (layerProto == nullptr || shapeProto == nullptr || !DefineLayerTables(cx, layerProto) ||
        !DefineShapeTables(cx, shapeProto))
        return false;
    JS::SetReservedSlot(workspace, kWorkspaceLayerProtoSlot, JS::ObjectValue(*layerProto));
    JS::SetReservedSlot(workspace, kWorkspaceShapeProtoSlot, JS::ObjectValue(*shapeProto));
    // The cache is made now when the document is there (its themes of this
    // moment), else the first time a layer is asked for.
    LayerCache(cx, workspace);
    JS_ClearPendingException(cx);
    return true;
}

}  // namespace ScriptBridge
