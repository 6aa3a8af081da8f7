// The script objects of the workspace: Workspace, Layer, Shape, Coord and
// Color.
//
// None of them holds a pointer into the program. What an object stands for is
// kept in its reserved slots as integers (a theme's or a shape's GPI handle,
// the point number of a bound vertex) or as the engine object it belongs to
// (a Shape's Layer, a Layer's Workspace, a bound Color's Layer or Workspace),
// and every access asks the program (IScriptObjectModel) to resolve it again.
// A theme removed, a record replaced by an edit or a shape deleted behind a
// script's back gives the object's null-object message instead of touching
// freed memory. Since nothing is allocated per object, no class needs a
// finalizer.
//
// Every theme has one Layer object for the life of the global, kept in the
// layer cache (an array in a slot of the workspace object, element i for
// theme i of the document), so that getLayer answers the same object twice
// and a Color bound to a layer stays the same object.

#include "jsengine/EngineSupport.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/Object.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace ScriptBridge {

namespace {

// ---------------------------------------------------------------------------
// Classes and slots
// ---------------------------------------------------------------------------

// Slots of the global after the workspace record (slot 0, ScriptBridge.cpp).
constexpr std::size_t kGlobalWorkspaceSlot = 1;
constexpr std::size_t kGlobalCoordProtoSlot = 2;
constexpr std::size_t kGlobalColorProtoSlot = 3;
static_assert(kGlobalColorProtoSlot < JSCLASS_GLOBAL_APPLICATION_SLOTS);

// Workspace: the program's record, the layer cache, the background Color,
// and the prototypes every Layer and Shape object shares (their properties
// and functions are made once per global, not once per object).
constexpr std::size_t kWorkspaceRecordSlot = 0;
constexpr std::size_t kWorkspaceCacheSlot = 1;
constexpr std::size_t kWorkspaceBackgroundSlot = 2;
constexpr std::size_t kWorkspaceLayerProtoSlot = 3;
constexpr std::size_t kWorkspaceShapeProtoSlot = 4;
// Layer: the theme handle, its bound Color, the Workspace object.
constexpr std::size_t kLayerHandleSlot = 0;
constexpr std::size_t kLayerColorSlot = 1;
constexpr std::size_t kLayerWorkspaceSlot = 2;
// Shape: the shape handle and the Layer it came from.
constexpr std::size_t kShapeHandleSlot = 0;
constexpr std::size_t kShapeLayerSlot = 1;
// Coord: x, y (free-standing), and for a bound one the point number and the
// Shape whose record holds the vertex.
constexpr std::size_t kCoordXSlot = 0;
constexpr std::size_t kCoordYSlot = 1;
constexpr std::size_t kCoordIndexSlot = 2;
constexpr std::size_t kCoordShapeSlot = 3;
// Color: the colour word (free-standing), and for a bound one the Layer or
// Workspace whose colour it is.
constexpr std::size_t kColorValueSlot = 0;
constexpr std::size_t kColorOwnerSlot = 1;

const JSClass kWorkspaceClass = {
    "Workspace", JSCLASS_HAS_RESERVED_SLOTS(5), nullptr, nullptr, nullptr, nullptr};
const JSClass kLayerClass = {"Layer", JSCLASS_HAS_RESERVED_SLOTS(3), nullptr, nullptr, nullptr, nullptr};
const JSClass kShapeClass = {"Shape", JSCLASS_HAS_RESERVED_SLOTS(2), nullptr, nullptr, nullptr, nullptr};
const JSClass kCoordClass = {"Coord", JSCLASS_HAS_RESERVED_SLOTS(4), nullptr, nullptr, nullptr, nullptr};
const JSClass kColorClass = {"Color", JSCLASS_HAS_RESERVED_SLOTS(2), nullptr, nullptr, nullptr, nullptr};

bool Is(JSObject* object, const JSClass* clasp) { return object != nullptr && JS::GetClass(object) == clasp; }

bool IsObjectOf(const JS::Value& value, const JSClass* clasp) {
    return value.isObject() && Is(&value.toObject(), clasp);
}

std::uint32_t HandleIn(JSObject* object, std::size_t slot) {
    const JS::Value value = JS::GetReservedSlot(object, slot);
    return value.isNumber() ? static_cast<std::uint32_t>(value.toNumber()) : 0;
}

JS::Value HandleValue(std::uint32_t handle) { return JS::NumberValue(static_cast<double>(handle)); }

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

std::string IndexOutOfBounds(int index) { return "Index out of bounds. (was " + std::to_string(index) + ")"; }

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

// The argument checks of the natives, with the texts scripts have always
// seen. `method` names the native as scripts call it ("Layer.moveShape").
std::string CountExpected(unsigned count, const char* method) {
    return std::string(count == 1 ? "One argument" : "Two arguments") + " expected in call to " + method + "()";
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

// ---------------------------------------------------------------------------
// Objects of the global
// ---------------------------------------------------------------------------

JSObject* GlobalSlotObject(JSContext* cx, std::size_t slot) {
    JSObject* global = JS::CurrentGlobalOrNull(cx);
    return global != nullptr ? ObjectIn(global, slot) : nullptr;
}

void* RecordOfWorkspace(JSObject* workspace) {
    if (!Is(workspace, &kWorkspaceClass))
        return nullptr;
    const JS::Value value = JS::GetReservedSlot(workspace, kWorkspaceRecordSlot);
    return value.isUndefined() ? nullptr : value.toPrivate();
}

JSObject* NewColorObject(JSContext* cx, std::uint32_t colour, JS::HandleObject owner) {
    JS::RootedObject proto(cx, GlobalSlotObject(cx, kGlobalColorProtoSlot));
    JS::RootedObject color(cx, JS_NewObjectWithGivenProto(cx, &kColorClass, proto));
    if (color == nullptr)
        return nullptr;
    JS::SetReservedSlot(color, kColorValueSlot, JS::Int32Value(static_cast<std::int32_t>(colour)));
    if (owner != nullptr)
        JS::SetReservedSlot(color, kColorOwnerSlot, JS::ObjectValue(*owner));
    return color;
}

JSObject* NewCoordObject(JSContext* cx) {
    JS::RootedObject proto(cx, GlobalSlotObject(cx, kGlobalCoordProtoSlot));
    return JS_NewObjectWithGivenProto(cx, &kCoordClass, proto);
}

// ---------------------------------------------------------------------------
// Color
// ---------------------------------------------------------------------------

bool ColorHasRecord(JSObject* color) {
    return Is(color, &kColorClass) && !JS::GetReservedSlot(color, kColorValueSlot).isUndefined();
}

// The colour a Color holds, through its binding when bound.
ScriptReply ReadColor(JSObject* color, std::uint32_t& colour) {
    if (!ColorHasRecord(color))
        return ScriptReply::Fail("Trying to access a null Color object.");
    JSObject* owner = ObjectIn(color, kColorOwnerSlot);
    if (owner == nullptr) {
        colour = static_cast<std::uint32_t>(JS::GetReservedSlot(color, kColorValueSlot).toInt32());
        return ScriptReply::Ok();
    }
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr)
        return ScriptReply::Silent();
    if (Is(owner, &kLayerClass)) {
        if (!model->GetThemeColor(HandleIn(owner, kLayerHandleSlot), colour))
            return ScriptReply::Fail("Trying to access a null Layer object");
        return ScriptReply::Ok();
    }
    if (!model->GetBackground(RecordOfWorkspace(owner), colour))
        return ScriptReply::Fail("Trying to access a null Workspace object.");
    return ScriptReply::Ok();
}

// Writes a colour into a Color, through its binding when bound. A colour of a
// theme rebuilds the theme's styles when asked to.
ScriptReply WriteColor(JSObject* color, std::uint32_t colour, bool restyle) {
    if (!ColorHasRecord(color))
        return ScriptReply::Fail("Trying to access a null Color object.");
    JSObject* owner = ObjectIn(color, kColorOwnerSlot);
    if (owner == nullptr) {
        JS::SetReservedSlot(color, kColorValueSlot, JS::Int32Value(static_cast<std::int32_t>(colour)));
        return ScriptReply::Ok();
    }
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr)
        return ScriptReply::Silent();
    if (Is(owner, &kLayerClass)) {
        if (!model->SetThemeColor(HandleIn(owner, kLayerHandleSlot), colour, restyle))
            return ScriptReply::Fail("Trying to access a null Layer object");
        return ScriptReply::Ok();
    }
    if (!model->SetBackground(RecordOfWorkspace(owner), colour))
        return ScriptReply::Fail("Trying to access a null Workspace object.");
    return ScriptReply::Ok();
}

bool ConstructColor(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (args.length() != 3)
        return ReportNativeError(cx, "Wrong number of parameters for Color.");
    std::uint32_t colour = 0;
    for (unsigned i = 0; i < 3; ++i) {
        std::int32_t channel = 0;
        if (!Int32Of(cx, args[i], channel))
            return ReportNativeError(cx, "Illegal parameters to Color. Expected integer.");
        colour |= (static_cast<std::uint32_t>(channel) & 0xFF) << (8 * i);
    }
    JS::RootedObject color(cx, JS_NewObjectForConstructor(cx, &kColorClass, args));
    if (color == nullptr)
        return false;
    JS::SetReservedSlot(color, kColorValueSlot, JS::Int32Value(static_cast<std::int32_t>(colour)));
    args.rval().setObject(*color);
    return true;
}

template <int Channel>
bool GetColorChannel(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JSObject* self = ThisObject(args);
    std::uint32_t colour = 0;
    const ScriptReply reply = ReadColor(self, colour);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setInt32(static_cast<std::int32_t>((colour >> (8 * Channel)) & 0xFF));
    return true;
}

template <int Channel>
bool SetColorChannel(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JSObject* self = ThisObject(args);
    if (!ColorHasRecord(self))
        return ReportNativeError(cx, "Trying to access a null Color object.");
    // Only integers: 1.5 stops the script.
    if (!args.get(0).isInt32())
        return Silent(cx);
    std::uint32_t colour = 0;
    ScriptReply reply = ReadColor(self, colour);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    const std::uint32_t shift = 8 * Channel;
    colour = (colour & ~(0xFFu << shift)) | ((static_cast<std::uint32_t>(args.get(0).toInt32()) & 0xFF) << shift);
    // A channel written into a theme's colour shows at the next redraw; the
    // styles are not rebuilt.
    return AnswerReply(cx, WriteColor(self, colour, false));
}

bool ColorIsEqual(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!ExactArguments(cx, args, 1, "Color.isEqual"))
        return false;
    JSObject* self = ThisObject(args);
    JSObject* other = args[0].isObject() ? &args[0].toObject() : nullptr;
    if (!ColorHasRecord(self) || !ColorHasRecord(other))
        return ReportNativeError(cx, "Trying to access a null Color object");
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    ScriptReply reply = ReadColor(self, a);
    if (!reply.Failed())
        reply = ReadColor(other, b);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(a == b);
    return true;
}

const JSPropertySpec kColorProperties[] = {
    JS_PSGS("red", GetColorChannel<0>, SetColorChannel<0>, JSPROP_ENUMERATE),
    JS_PSGS("green", GetColorChannel<1>, SetColorChannel<1>, JSPROP_ENUMERATE),
    JS_PSGS("blue", GetColorChannel<2>, SetColorChannel<2>, JSPROP_ENUMERATE),
    JS_PS_END,
};

const JSFunctionSpec kColorFunctions[] = {
    JS_FN("isEqual", ColorIsEqual, 1, 0),
    JS_FS_END,
};

// A Color value assigned to a colour property (Workspace.bkgndColor,
// Layer.color): the value's colour goes into the bound Color, made first when
// missing. A non-Color object warns; anything that is not an object is ignored.
bool AssignColor(JSContext* cx, JS::HandleValue value, JS::HandleObject owner, std::size_t slot, bool restyle) {
    if (!value.isObject())
        return true;
    JS::RootedObject source(cx, &value.toObject());
    if (!Is(source, &kColorClass)) {
        ReportNativeWarning(cx, "Trying to assign a Color a non Color value.");
        return true;
    }
    if (!ColorHasRecord(source))
        return ReportNativeError(cx, "Trying to access a null Color object");
    std::uint32_t colour = 0;
    ScriptReply reply = ReadColor(source, colour);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    JS::RootedObject bound(cx, ObjectIn(owner, slot));
    if (bound == nullptr) {
        bound = NewColorObject(cx, 0, owner);
        if (bound == nullptr)
            return false;
        JS::SetReservedSlot(owner, slot, JS::ObjectValue(*bound));
    }
    return AnswerReply(cx, WriteColor(bound, colour, restyle));
}

// The Color bound to the owner's colour, made on first use and the same
// object afterwards.
bool BoundColor(JSContext* cx, JS::HandleObject owner, std::size_t slot, JS::MutableHandleValue out) {
    JS::RootedObject bound(cx, ObjectIn(owner, slot));
    if (bound == nullptr) {
        bound = NewColorObject(cx, 0, owner);
        if (bound == nullptr)
            return false;
        JS::SetReservedSlot(owner, slot, JS::ObjectValue(*bound));
    }
    out.setObject(*bound);
    return true;
}

// ---------------------------------------------------------------------------
// Coord
// ---------------------------------------------------------------------------

bool CoordHasRecord(JSObject* coord) {
    return Is(coord, &kCoordClass) && (JS::GetReservedSlot(coord, kCoordXSlot).isNumber() ||
                                       JS::GetReservedSlot(coord, kCoordShapeSlot).isObject());
}

// The Coord's point, through its binding when bound.
ScriptReply ReadCoord(JSObject* coord, ScriptPoint& point) {
    if (!CoordHasRecord(coord))
        return ScriptReply::Fail("Trying to access a null Coord object");
    JSObject* shape = ObjectIn(coord, kCoordShapeSlot);
    if (shape == nullptr) {
        point.x = JS::GetReservedSlot(coord, kCoordXSlot).toNumber();
        point.y = JS::GetReservedSlot(coord, kCoordYSlot).toNumber();
        return ScriptReply::Ok();
    }
    IScriptObjectModel* model = CurrentObjectModel();
    if (model == nullptr)
        return ScriptReply::Silent();
    return model->GetVertex(HandleIn(shape, kShapeHandleSlot), JS::GetReservedSlot(coord, kCoordIndexSlot).toInt32(),
                            point);
}

bool ConstructCoord(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (args.length() != 2)
        return ReportNativeError(cx, "Wrong number of parameters for Coord.");
    double x = 0.0;
    double y = 0.0;
    if (!NumberOf(cx, args[0], x) || !NumberOf(cx, args[1], y))
        return ReportNativeError(cx, "Illegal parameters to Coord. Expected Number.");
    JS::RootedObject coord(cx, JS_NewObjectForConstructor(cx, &kCoordClass, args));
    if (coord == nullptr)
        return false;
    JS::SetReservedSlot(coord, kCoordXSlot, JS::DoubleValue(x));
    JS::SetReservedSlot(coord, kCoordYSlot, JS::DoubleValue(y));
    args.rval().setObject(*coord);
    return true;
}

template <int Id>
bool GetCoordValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JSObject* self = ThisObject(args);
    if (!CoordHasRecord(self))
        return Silent(cx);
    ScriptPoint point{};
    const ScriptReply reply = ReadCoord(self, point);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setNumber(Id == 0 ? point.x : point.y);
    return true;
}

template <int Id>
bool SetCoordValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject self(cx, ThisObject(args));
    if (!CoordHasRecord(self) || !args.get(0).isNumber())
        return Silent(cx);
    const double value = args.get(0).toNumber();
    JSObject* shape = ObjectIn(self, kCoordShapeSlot);
    if (shape == nullptr) {
        JS::SetReservedSlot(self, Id == 0 ? kCoordXSlot : kCoordYSlot, JS::DoubleValue(value));
        return true;
    }
    JSObject* layer = ObjectIn(shape, kShapeLayerSlot);
    IScriptObjectModel* model = CurrentObjectModel();
    if (layer == nullptr || model == nullptr)
        return ReportNativeError(cx, "Trying to access a null Layer object.");
    return AnswerReply(
        cx, model->SetVertex(HandleIn(layer, kLayerHandleSlot), HandleIn(shape, kShapeHandleSlot),
                             JS::GetReservedSlot(self, kCoordIndexSlot).toInt32(), Id, value));
}

bool CoordIsEqual(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!ExactArguments(cx, args, 1, "Coord.isEqual"))
        return false;
    JSObject* self = ThisObject(args);
    JSObject* other = args[0].isObject() ? &args[0].toObject() : nullptr;
    if (!CoordHasRecord(self) || !CoordHasRecord(other))
        return ReportNativeError(cx, "Trying to access a null Coord object");
    ScriptPoint a{};
    ScriptPoint b{};
    ScriptReply reply = ReadCoord(self, a);
    if (!reply.Failed())
        reply = ReadCoord(other, b);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(a.x == b.x && a.y == b.y);
    return true;
}

const JSPropertySpec kCoordProperties[] = {
    JS_PSGS("x", GetCoordValue<0>, SetCoordValue<0>, JSPROP_ENUMERATE),
    JS_PSGS("y", GetCoordValue<1>, SetCoordValue<1>, JSPROP_ENUMERATE),
    JS_PS_END,
};

const JSFunctionSpec kCoordFunctions[] = {
    JS_FN("isEqual", CoordIsEqual, 1, 0),
    JS_FS_END,
};

// A Coord argument's point (through its binding); false with the reply set
// when the value is no Coord with a record.
bool CoordArgument(JS::HandleValue value, ScriptPoint& point, ScriptReply& reply, const std::string& notCoord) {
    if (!IsObjectOf(value, &kCoordClass) || !CoordHasRecord(&value.toObject())) {
        reply = ScriptReply::Fail(notCoord);
        return false;
    }
    reply = ReadCoord(&value.toObject(), point);
    return !reply.Failed();
}


// ---------------------------------------------------------------------------
// The layer cache and the making of Layer and Shape objects
// ---------------------------------------------------------------------------

bool DefineLayerTables(JSContext* cx, JS::HandleObject proto);
bool DefineShapeTables(JSContext* cx, JS::HandleObject proto);

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

bool CacheLength(JSContext* cx, JS::HandleObject cache, std::uint32_t& length) {
    return JS::GetArrayLength(cx, cache, &length);
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

// ---------------------------------------------------------------------------
// Workspace
// ---------------------------------------------------------------------------

// `this` as a Workspace whose document resolves; false after the report.
bool WorkspaceThis(JSContext* cx, const JS::CallArgs& args, JS::MutableHandleObject workspace, void*& record,
                   IScriptObjectModel*& model) {
    if (!IsObjectOf(args.thisv(), &kWorkspaceClass))
        return Silent(cx);
    workspace.set(&args.thisv().toObject());
    record = RecordOfWorkspace(workspace);
    model = CurrentObjectModel();
    if (record == nullptr || model == nullptr || !model->HasDocument(record))
        return ReportNativeError(cx, "Trying to access a null Workspace object.");
    return true;
}

#define WORKSPACE_PROLOGUE                                                                                             \
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);                                                                 \
    JS::RootedObject workspace(cx);                                                                                    \
    void* record = nullptr;                                                                                            \
    IScriptObjectModel* model = nullptr;                                                                               \
    if (!WorkspaceThis(cx, args, &workspace, record, model))                                                           \
        return false;

template <int Id>
bool GetWorkspaceProperty(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    switch (Id) {
    case 0:
        return SetUtf8Text(cx, args.rval(), model->DocumentName(record));
    case 1:
        args.rval().setInt32(model->ThemeCount(record));
        return true;
    default:
        return BoundColor(cx, workspace, kWorkspaceBackgroundSlot, args.rval());
    }
}

bool SetWorkspaceBackground(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    return AssignColor(cx, args.get(0), workspace, kWorkspaceBackgroundSlot, false);
}

bool WorkspaceRefresh(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    model->Refresh(record);
    args.rval().setObject(*workspace);
    return true;
}

bool WorkspacePrintln(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    std::string text;
    if (args.length() >= 1 && !ValueToUtf8(cx, args[0], text))
        return false;
    model->PrintLine(record, text);
    args.rval().setObject(*workspace);
    return true;
}

bool WorkspaceAddNewLayer(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (args.length() < 1)
        return ReportNativeError(cx, "At least one argument expected in call to Workspace.addNewLayer()");
    if (!args[0].isString())
        return IllegalArgument(cx, 1, "Workspace.addNewLayer", "String");
    if (args.length() >= 2 && !args[1].isString())
        return IllegalArgument(cx, 2, "Workspace.addNewLayer", "String");
    std::uint32_t templateTheme = 0;
    const bool hasTemplate = args.length() >= 3;
    if (hasTemplate) {
        if (!IsObjectOf(args[2], &kLayerClass))
            return IllegalArgument(cx, 3, "Workspace.addNewLayer", "Layer");
        templateTheme = HandleIn(&args[2].toObject(), kLayerHandleSlot);
    }
    std::string type;
    if (!ValueToUtf8(cx, args[0], type))
        return false;
    std::uint32_t shapeType = 0;
    if (type == "Point")
        shapeType = 1;
    else if (type == "Polyline")
        shapeType = 3;
    else if (type == "Polygon")
        shapeType = 5;
    else
        return ReportNativeError(cx, "Illegal Shape type in call to Workspace.addNewLayer(), was " + type +
                                         ".\nLegal values are one of 'Point', 'Polyline' and 'Polygon'");
    std::string name = "* Unnamed";
    if (args.length() >= 2 && !ValueToUtf8(cx, args[1], name))
        return false;
    // The cache is made before the theme, so that it counts the themes the
    // new one joins.
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    if (cache == nullptr)
        return ReportNativeError(cx, "Trying to access a null Workspace object.");
    const std::uint32_t theme = model->NewTheme(record, name, shapeType, hasTemplate, templateTheme);
    return ReturnNewLayer(cx, args, workspace, cache, theme, model->LoadToBottom());
}

bool WorkspaceRemoveLayer(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Workspace.removeLayer"))
        return false;
    if (!args[0].isObject() && !args[0].isNull())
        return IllegalArgumentType(cx, "Workspace.removeLayer");
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    JS::RootedVector<JS::Value> elements(cx);
    if (cache == nullptr || !CacheElements(cx, cache, &elements))
        return false;
    const int index = FindInCache(elements, args[0]);
    bool removed = false;
    // The cache entry goes only when the document really let the theme go
    // (it keeps a theme other themes depend on), so that the cache keeps
    // matching the theme list.
    if (index >= 0 && model->RemoveTheme(record, HandleIn(&args[0].toObject(), kLayerHandleSlot))) {
        elements.erase(elements.begin() + index);
        if (!WriteCache(cx, cache, elements))
            return false;
        removed = true;
    }
    args.rval().setBoolean(removed);
    return true;
}

bool WorkspaceGetLayer(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Workspace.getLayer"))
        return false;
    if (!args[0].isNumber())
        return IllegalArgumentType(cx, "Workspace.getLayer");
    std::int32_t index = 0;
    if (!Int32Of(cx, args[0], index))
        return false;
    if (index < 0 || index >= model->ThemeCount(record))
        return ReportNativeError(cx, IndexOutOfBounds(index));
    return LayerAt(cx, workspace, index, args.rval());
}

bool WorkspaceBrowseLayer(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (args.length() >= 2)
        return ReportNativeError(cx, "Two many arguments in call to Workspace.browseLayer()");
    std::string caption = "Select Theme";
    if (args.length() == 1 && !ValueToUtf8(cx, args[0], caption))
        return false;
    const int index = model->ChooseTheme(record, "JavaScript: " + caption);
    if (index < 0) {
        args.rval().setUndefined();
        return true;
    }
    return LayerAt(cx, workspace, index, args.rval());
}

bool WorkspaceMoveLayer(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 2, "Workspace.moveLayer"))
        return false;
    if (!args[0].isObject() || !args[1].isNumber())
        return IllegalArgumentType(cx, "Workspace.moveLayer");
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    JS::RootedVector<JS::Value> elements(cx);
    if (cache == nullptr || !CacheElements(cx, cache, &elements))
        return false;
    const double wanted = args[1].toNumber();
    if (!(wanted >= 0.0 && wanted <= static_cast<double>(elements.length())))
        return ReportNativeError(cx, "Index out of bounds. (Was " + std::to_string(static_cast<long long>(
                                                                       std::isfinite(wanted) ? wanted : -1.0)) +
                                         ")");
    const int target = static_cast<int>(wanted);
    const int index = FindInCache(elements, args[0]);
    if (index < 0) {
        args.rval().setBoolean(false);
        return true;
    }
    args.rval().setBoolean(true);
    if (index == target || index == target - 1)
        return true;
    // Put in before `target`, then taken out of its old place: the place in
    // the list without it is one less when it came from in front.
    const int place = index < target ? target - 1 : target;
    JS::RootedValue moved(cx, elements[static_cast<std::size_t>(index)]);
    elements.erase(elements.begin() + index);
    if (!elements.append(JS::UndefinedValue()))
        return false;
    for (std::size_t i = elements.length() - 1; i > static_cast<std::size_t>(place); --i)
        elements[i].set(elements[i - 1]);
    elements[static_cast<std::size_t>(place)].set(moved);
    if (!WriteCache(cx, cache, elements))
        return false;
    model->MoveTheme(record, index, place);
    return true;
}

bool WorkspaceLoadShapeFile(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Workspace.loadShapeFile"))
        return false;
    if (!args[0].isString())
        return IllegalArgument(cx, 1, "Workspace.loadShapeFile", "String");
    std::string path;
    if (!ValueToUtf8(cx, args[0], path))
        return false;
    JS::RootedObject cache(cx, LayerCache(cx, workspace));
    if (cache == nullptr)
        return ReportNativeError(cx, "Trying to access a null Workspace object.");
    const std::uint32_t theme = model->LoadShapeFile(record, path);
    return ReturnNewLayer(cx, args, workspace, cache, theme, model->LoadToBottom());
}

bool WorkspaceSetProgress(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Workspace.setProgress"))
        return false;
    std::int32_t percent = 0;
    if (!Int32Of(cx, args[0], percent))
        return IllegalArgumentType(cx, "Workspace.setProgress");
    model->SetProgress(record, percent);
    args.rval().setUndefined();
    return true;
}

bool WorkspaceCenterMap(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    ScriptPoint centre{0.0, 0.0};
    if (args.length() == 1) {
        if (!args[0].isObject())
            return IllegalArgumentType(cx, "Workspace.centerMap");
        if (!IsObjectOf(args[0], &kCoordClass))
            return ReportNativeError(cx, "Trying to assign a Coord a non Coord value.");
        ScriptReply reply;
        if (!CoordArgument(args[0], centre, reply, "Trying to access a null Coord object"))
            return AnswerReply(cx, reply);
    } else if (args.length() == 2) {
        // A text that is no number converts to NaN, which would leave the
        // map without an extent.
        if (!NumberOf(cx, args[0], centre.x) || !NumberOf(cx, args[1], centre.y) || !std::isfinite(centre.x) ||
            !std::isfinite(centre.y))
            return IllegalArgumentType(cx, "Workspace.centerMap");
    }
    model->CenterMap(record, centre.x, centre.y);
    args.rval().setUndefined();
    return true;
}

bool WorkspaceZoom(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Workspace.zoom"))
        return false;
    double factor = 0.0;
    if (args[0].isNullOrUndefined() || !NumberOf(cx, args[0], factor) || !(factor > 0.0) || !std::isfinite(factor))
        return ReportNativeError(cx, "Invalid argument to Workspace.zoom()");
    model->Zoom(record, factor);
    args.rval().setUndefined();
    return true;
}

bool WorkspaceSaveMapImage(JSContext* cx, unsigned argc, JS::Value* vp) {
    WORKSPACE_PROLOGUE
    if (!LeastArguments(cx, args, 1, "Workspace.saveMapImage"))
        return false;
    if (!args[0].isString())
        return IllegalArgument(cx, 1, "Workspace.saveMapImage", "String");
    std::string path;
    if (!ValueToUtf8(cx, args[0], path))
        return false;
    if (path.empty())
        return ReportNativeError(cx, "Illegal file name argument in call to Workspace.saveMapImage().");
    std::uint32_t colour = 0xFFFFFFFFu;
    if (args.length() >= 2 && args[1].isObject()) {
        if (!IsObjectOf(args[1], &kColorClass))
            return ReportNativeError(cx, "Trying to assign a Color a non Color value.");
        if (!ColorHasRecord(&args[1].toObject()))
            return ReportNativeError(cx, "Trying to access a null Color object");
        const ScriptReply reply = ReadColor(&args[1].toObject(), colour);
        if (reply.Failed())
            return AnswerReply(cx, reply);
    }
    args.rval().setBoolean(model->SaveMapImage(record, path, colour));
    return true;
}

const JSPropertySpec kWorkspaceProperties[] = {
    JS_PSG("name", GetWorkspaceProperty<0>, JSPROP_ENUMERATE),
    JS_PSG("layerCount", GetWorkspaceProperty<1>, JSPROP_ENUMERATE),
    JS_PSGS("bkgndColor", GetWorkspaceProperty<2>, SetWorkspaceBackground, JSPROP_ENUMERATE),
    JS_PS_END,
};

const JSFunctionSpec kWorkspaceFunctions[] = {
    JS_FN("refresh", WorkspaceRefresh, 0, 0),
    JS_FN("println", WorkspacePrintln, 0, 0),
    JS_FN("addNewLayer", WorkspaceAddNewLayer, 0, 0),
    JS_FN("removeLayer", WorkspaceRemoveLayer, 0, 0),
    JS_FN("getLayer", WorkspaceGetLayer, 1, 0),
    JS_FN("browseLayer", WorkspaceBrowseLayer, 0, 0),
    JS_FN("moveLayer", WorkspaceMoveLayer, 1, 0),
    JS_FN("loadShapeFile", WorkspaceLoadShapeFile, 0, 0),
    JS_FN("setProgress", WorkspaceSetProgress, 1, 0),
    JS_FN("centerMap", WorkspaceCenterMap, 1, 0),
    JS_FN("zoom", WorkspaceZoom, 1, 0),
    JS_FN("saveMapImage", WorkspaceSaveMapImage, 1, 0),
    JS_FS_END,
};

// ---------------------------------------------------------------------------
// Layer
// ---------------------------------------------------------------------------

struct CLayerThis {
    JSObject* layer = nullptr;
    std::uint32_t theme = 0;
    void* record = nullptr;
    IScriptObjectModel* model = nullptr;
};

// `this` as a Layer; a call on anything else stops without a message.
bool LayerThis(JSContext* cx, const JS::CallArgs& args, CLayerThis& self) {
    if (!IsObjectOf(args.thisv(), &kLayerClass))
        return Silent(cx);
    self.layer = &args.thisv().toObject();
    self.theme = HandleIn(self.layer, kLayerHandleSlot);
    JSObject* workspace = ObjectIn(self.layer, kLayerWorkspaceSlot);
    self.record = RecordOfWorkspace(workspace);
    self.model = CurrentObjectModel();
    if (self.model == nullptr || self.record == nullptr || self.model->ThemeShapeType(self.theme) < 0)
        return ReportNativeError(cx, "Trying to access a null Layer object");
    return true;
}

#define LAYER_PROLOGUE                                                                                                 \
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);                                                                 \
    CLayerThis self;                                                                                                   \
    if (!LayerThis(cx, args, self))                                                                                    \
        return false;                                                                                                  \
    JS::RootedObject layer(cx, self.layer);                                                                            \
    IScriptObjectModel* model = self.model;

// Stops with `message` when the theme is not editable.
bool CheckEditable(JSContext* cx, const CLayerThis& self, const char* message) {
    ScriptValue readOnly;
    const ScriptReply reply = self.model->GetLayerProperty(self.record, self.theme, SLP_ReadOnly, readOnly);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    if (readOnly.boolean)
        return ReportNativeError(cx, message);
    return true;
}

bool ShapeResult(JSContext* cx, JS::HandleObject layer, std::uint32_t shape, JS::MutableHandleValue out) {
    JSObject* object = NewShapeObject(cx, layer, shape);
    if (object == nullptr)
        return false;
    out.setObject(*object);
    return true;
}

bool ShapeArray(JSContext* cx, JS::HandleObject layer, const std::vector<std::uint32_t>& shapes,
                JS::MutableHandleValue out) {
    JS::RootedObject array(cx, JS::NewArrayObject(cx, shapes.size()));
    if (array == nullptr)
        return false;
    JS::RootedValue element(cx);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (!ShapeResult(cx, layer, shapes[i], &element) ||
            !JS_SetElement(cx, array, static_cast<std::uint32_t>(i), element))
            return false;
    }
    out.setObject(*array);
    return true;
}

template <int Id>
bool GetLayerValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (Id == SLP_Color)
        return BoundColor(cx, layer, kLayerColorSlot, args.rval());
    ScriptValue value;
    const ScriptReply reply = model->GetLayerProperty(self.record, self.theme, Id, value);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    return ToScript(cx, value, args.rval());
}

template <int Id>
bool SetLayerValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    JS::RootedValue given(cx, args.get(0));
    if (Id == SLP_Color)
        return AssignColor(cx, given, layer, kLayerColorSlot, true);
    ScriptValue value;
    if (Id == SLP_Name || Id == SLP_Comment) {
        std::string text;
        if (!ValueToUtf8(cx, given, text))
            return false;
        value = ScriptValue::OfText(text);
    } else if (Id == SLP_LineWidth) {
        std::int32_t width = 0;
        if (!JS::ToInt32(cx, given, &width))
            return false;
        value = ScriptValue::OfInteger(width);
    } else {
        value = ScriptValue::OfBoolean(JS::ToBoolean(given));
    }
    return AnswerReply(cx, model->SetLayerProperty(self.record, self.theme, Id, value));
}

// The answer of a search for shapes: the shapes it found as an array,
// undefined when it found none, or the program's answer when it failed.
bool FoundShapes(JSContext* cx, const ScriptReply& reply, JS::HandleObject layer, bool found,
                 const std::vector<std::uint32_t>& shapes, JS::MutableHandleValue out) {
    if (reply.Failed())
        return AnswerReply(cx, reply);
    if (!found) {
        out.setUndefined();
        return true;
    }
    return ShapeArray(cx, layer, shapes, out);
}

// A Layer function's one number argument as an integer.
bool OneNumber(JSContext* cx, const JS::CallArgs& args, const char* function, std::int32_t& number) {
    if (!ExactArguments(cx, args, 1, function))
        return false;
    if (!args[0].isNumber())
        return IllegalArgumentType(cx, function);
    return Int32Of(cx, args[0], number);
}

bool LayerGetShape(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    std::int32_t position = 0;
    if (!OneNumber(cx, args, "Layer.getShape", position))
        return false;
    std::uint32_t shape = 0;
    const ScriptReply reply = model->GetShape(self.theme, position, shape);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    return ShapeResult(cx, layer, shape, args.rval());
}

bool LayerGetSelectedShape(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    std::int32_t n = 0;
    if (!OneNumber(cx, args, "Layer.getSelectedShape", n))
        return false;
    std::uint32_t shape = 0;
    const ScriptReply reply = model->GetSelectedShape(self.theme, n, shape);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    return ShapeResult(cx, layer, shape, args.rval());
}

enum class CPointRead { Ok, NoCoordinates, NotNumeric, Failed };

// The x and y of a point-like object: both properties there and both numbers
// that are not NaN.
CPointRead ReadPointObject(JSContext* cx, JS::HandleValue value, ScriptPoint& point) {
    if (!value.isObject())
        return CPointRead::NoCoordinates;
    JS::RootedObject object(cx, &value.toObject());
    bool hasX = false;
    bool hasY = false;
    if (!JS_HasProperty(cx, object, "x", &hasX) || !JS_HasProperty(cx, object, "y", &hasY))
        return CPointRead::Failed;
    if (!hasX || !hasY)
        return CPointRead::NoCoordinates;
    JS::RootedValue x(cx);
    JS::RootedValue y(cx);
    if (!JS_GetProperty(cx, object, "x", &x) || !JS_GetProperty(cx, object, "y", &y))
        return CPointRead::Failed;
    if (!NumberOf(cx, x, point.x) || !NumberOf(cx, y, point.y) || std::isnan(point.x) || std::isnan(point.y))
        return CPointRead::NotNumeric;
    return CPointRead::Ok;
}

bool LayerCreateShape(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (!CheckEditable(cx, self, "Trying to edit a read-only Layer object."))
        return false;
    if (!ExactArguments(cx, args, 1, "Layer.createShape"))
        return false;
    const char* const kIllegal = "Illegal argument in call to Layer.createShape().";
    const int type = model->ThemeShapeType(self.theme);
    JS::RootedValue argument(cx, args[0]);
    std::uint32_t shape = 0;
    ScriptReply reply;
    if (IsObjectOf(argument, &kShapeClass)) {
        reply = model->AddShapeCopy(self.record, self.theme, HandleIn(&argument.toObject(), kShapeHandleSlot), shape);
    } else if (type == 1 || type == 11) {
        ScriptPoint point{};
        if (ReadPointObject(cx, argument, point) != CPointRead::Ok)
            return ReportNativeError(cx, kIllegal);
        reply = model->AddShapePoints(self.record, self.theme, {point}, shape);
    } else if (type == 3 || type == 13 || type == 5 || type == 15) {
        const bool polygon = type == 5 || type == 15;
        bool isArray = false;
        if (!argument.isObject() || !JS::IsArrayObject(cx, argument, &isArray) || !isArray)
            return ReportNativeError(cx, kIllegal);
        JS::RootedObject array(cx, &argument.toObject());
        std::uint32_t length = 0;
        if (!JS::GetArrayLength(cx, array, &length))
            return false;
        if (!polygon && length < 2) {
            args.rval().setNull();
            return true;
        }
        if (polygon && length == 0)
            return ReportNativeError(cx, "Empty Array argument in call to Layer.createShape().");
        if (polygon && length < 3)
            return ReportNativeError(
                cx, "Illegal argument in call to Layer.createShape(). Not enough coordinates. At least 3 expected.");
        std::vector<ScriptPoint> points;
        JS::RootedValue element(cx);
        for (std::uint32_t i = 0; i < length; ++i) {
            if (!JS_GetElement(cx, array, i, &element))
                return false;
            ScriptPoint point{};
            const CPointRead read = ReadPointObject(cx, element, point);
            if (read == CPointRead::NotNumeric && polygon)
                return ReportNativeError(
                    cx, "Illegal argument in call to Layer.createShape(). Coordinate did not contain numeric values.");
            if (read != CPointRead::Ok)
                return ReportNativeError(cx, kIllegal);
            points.push_back(point);
        }
        reply = model->AddShapePoints(self.record, self.theme, points, shape);
    } else {
        args.rval().setUndefined();
        return true;
    }
    if (reply.Failed())
        return AnswerReply(cx, reply);
    if (shape == 0) {
        args.rval().setNull();
        return true;
    }
    return ShapeResult(cx, layer, shape, args.rval());
}

bool LayerGetAttribute(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    std::int32_t column = 0;
    if (!OneNumber(cx, args, "Layer.getAttribute", column))
        return false;
    std::string name;
    const ScriptReply reply = model->GetAttributeName(self.theme, column, name);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    return SetUtf8Text(cx, args.rval(), name);
}

bool LayerAddAttribute(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Layer.addAttribute"))
        return false;
    std::string name;
    if (!ValueToUtf8(cx, args[0], name))
        return false;
    int column = -1;
    const ScriptReply reply = model->AddAttribute(self.theme, name, column);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setInt32(column);
    return true;
}

bool LayerRecalcBoundingBox(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    args.rval().setUndefined();
    return AnswerReply(cx, model->RecalcLayerBounds(self.theme));
}

bool LayerFindClosestShapes(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Layer.findClosestShape"))
        return false;
    ScriptPoint point{};
    ScriptReply reply;
    if (!CoordArgument(args[0], point, reply, "Invalid argument in call to Layer.findClosestShape()"))
        return AnswerReply(cx, reply);
    bool found = false;
    std::vector<std::uint32_t> shapes;
    reply = model->FindClosestShapes(self.theme, point.x, point.y, found, shapes);
    return FoundShapes(cx, reply, layer, found, shapes, args.rval());
}

bool LayerGetIntersectingShapes(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Layer.getIntersectingShapes"))
        return false;
    if (!IsObjectOf(args[0], &kShapeClass))
        return ReportNativeError(cx, "Invalid argument in call to Layer.getIntersectingShapes()");
    bool found = false;
    std::vector<std::uint32_t> shapes;
    const ScriptReply reply =
        model->GetIntersectingShapes(self.theme, HandleIn(&args[0].toObject(), kShapeHandleSlot), found, shapes);
    return FoundShapes(cx, reply, layer, found, shapes, args.rval());
}

bool LayerBrowseAttribute(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    std::string caption = "Select Attribute";
    if (args.length() >= 1 && !ValueToUtf8(cx, args[0], caption))
        return false;
    int column = -1;
    const ScriptReply reply = model->ChooseAttribute(self.theme, "JavaScript: " + caption, column);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setInt32(column);
    return true;
}

bool LayerMoveShape(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    if (!CheckEditable(cx, self, "Trying to edit a read-only Layer object."))
        return false;
    if (!ExactArguments(cx, args, 2, "Layer.moveShape"))
        return false;
    if (!IsObjectOf(args[0], &kShapeClass))
        return ReportNativeError(cx, "Illegal argument in call to Layer.moveShape().");
    double target = 0.0;
    if (!NumberOf(cx, args[1], target))
        return false;
    // Clamped by the program to 0..shape count.
    const std::int32_t position =
        std::isnan(target) ? 0 : static_cast<std::int32_t>(std::max(-1.0, std::min(target, 2147483647.0)));
    bool moved = false;
    const ScriptReply reply =
        model->MoveShape(self.theme, HandleIn(&args[0].toObject(), kShapeHandleSlot), position, moved);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(moved);
    return true;
}

bool LayerClearSelection(JSContext* cx, unsigned argc, JS::Value* vp) {
    LAYER_PROLOGUE
    args.rval().setUndefined();
    return AnswerReply(cx, model->ClearSelection(self.theme));
}

bool LayerTransform(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!LeastArguments(cx, args, 2, "Layer.transform"))
        return false;
    CLayerThis self;
    if (!LayerThis(cx, args, self))
        return false;
    std::int32_t from = 0;
    std::int32_t to = 0;
    if (!Int32Of(cx, args[0], from))
        return ReportNativeError(cx, "First argument in call to Layer.transform() was not an EPSG number.");
    if (!Int32Of(cx, args[1], to))
        return ReportNativeError(cx, "Second argument in call to Layer.transform() was not an EPSG number.");
    args.rval().setUndefined();
    return AnswerReply(cx, self.model->TransformTheme(self.theme, from, to));
}

const JSPropertySpec kLayerProperties[] = {
    JS_PSGS("name", GetLayerValue<SLP_Name>, SetLayerValue<SLP_Name>, JSPROP_ENUMERATE),
    JS_PSGS("visible", GetLayerValue<SLP_Visible>, SetLayerValue<SLP_Visible>, JSPROP_ENUMERATE),
    JS_PSGS("readOnly", GetLayerValue<SLP_ReadOnly>, SetLayerValue<SLP_ReadOnly>, JSPROP_ENUMERATE),
    JS_PSGS("comment", GetLayerValue<SLP_Comment>, SetLayerValue<SLP_Comment>, JSPROP_ENUMERATE),
    JS_PSG("dataSource", GetLayerValue<SLP_DataSource>, JSPROP_ENUMERATE),
    JS_PSG("shapeCount", GetLayerValue<SLP_ShapeCount>, JSPROP_ENUMERATE),
    JS_PSG("selectionCount", GetLayerValue<SLP_SelectionCount>, JSPROP_ENUMERATE),
    JS_PSG("attributeCount", GetLayerValue<SLP_AttributeCount>, JSPROP_ENUMERATE),
    JS_PSGS("selected", GetLayerValue<SLP_Selected>, SetLayerValue<SLP_Selected>, JSPROP_ENUMERATE),
    JS_PSGS("color", GetLayerValue<SLP_Color>, SetLayerValue<SLP_Color>, JSPROP_ENUMERATE),
    JS_PSGS("lineWidth", GetLayerValue<SLP_LineWidth>, SetLayerValue<SLP_LineWidth>, JSPROP_ENUMERATE),
    JS_PS_END,
};

const JSFunctionSpec kLayerFunctions[] = {
    JS_FN("getShape", LayerGetShape, 1, 0),
    JS_FN("getSelectedShape", LayerGetSelectedShape, 1, 0),
    JS_FN("createShape", LayerCreateShape, 1, 0),
    JS_FN("getAttribute", LayerGetAttribute, 1, 0),
    JS_FN("addAttribute", LayerAddAttribute, 1, 0),
    JS_FN("recalcBoundingBox", LayerRecalcBoundingBox, 1, 0),
    JS_FN("findClosestShapes", LayerFindClosestShapes, 1, 0),
    JS_FN("getIntersectingShapes", LayerGetIntersectingShapes, 1, 0),
    JS_FN("browseAttribute", LayerBrowseAttribute, 0, 0),
    JS_FN("moveShape", LayerMoveShape, 2, 0),
    JS_FN("clearSelection", LayerClearSelection, 0, 0),
    JS_FN("transform", LayerTransform, 2, 0),
    JS_FS_END,
};

bool DefineLayerTables(JSContext* cx, JS::HandleObject proto) {
    return JS_DefineProperties(cx, proto, kLayerProperties) &&
           JS_DefineFunctions(cx, proto, kLayerFunctions);
}

// ---------------------------------------------------------------------------
// Shape
// ---------------------------------------------------------------------------

struct CShapeThis {
    JSObject* shape = nullptr;
    std::uint32_t handle = 0;
    std::uint32_t theme = 0;
    void* record = nullptr;
    IScriptObjectModel* model = nullptr;
};

// `this` as a Shape with its Layer; without a Layer the call stops without a
// message. Whether the theme and the record still resolve the program tells.
bool ShapeThis(JSContext* cx, const JS::CallArgs& args, CShapeThis& self) {
    if (!IsObjectOf(args.thisv(), &kShapeClass))
        return Silent(cx);
    self.shape = &args.thisv().toObject();
    JSObject* layer = ObjectIn(self.shape, kShapeLayerSlot);
    self.model = CurrentObjectModel();
    if (layer == nullptr || self.model == nullptr)
        return Silent(cx);
    self.handle = HandleIn(self.shape, kShapeHandleSlot);
    self.theme = HandleIn(layer, kLayerHandleSlot);
    self.record = RecordOfWorkspace(ObjectIn(layer, kLayerWorkspaceSlot));
    return true;
}

#define SHAPE_PROLOGUE                                                                                                 \
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);                                                                 \
    CShapeThis self;                                                                                                   \
    if (!ShapeThis(cx, args, self))                                                                                    \
        return false;                                                                                                  \
    IScriptObjectModel* model = self.model;

bool ShapeEditable(JSContext* cx, const CShapeThis& self, const char* message) {
    ScriptValue readOnly;
    const ScriptReply reply = self.model->GetLayerProperty(self.record, self.theme, SLP_ReadOnly, readOnly);
    if (reply.Failed())
        return ReportNativeError(cx, "Trying to access a null Shape object");
    if (readOnly.boolean)
        return ReportNativeError(cx, message);
    return true;
}

template <int Id>
bool GetShapeValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    ScriptValue value;
    const ScriptReply reply = model->GetShapeProperty(self.theme, self.handle, Id, value);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    if (Id == SSP_Color) {
        JSObject* color = NewColorObject(cx, static_cast<std::uint32_t>(value.integer), nullptr);
        if (color == nullptr)
            return false;
        args.rval().setObject(*color);
        return true;
    }
    return ToScript(cx, value, args.rval());
}

bool SetShapeSelected(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    return AnswerReply(cx,
                       model->SetShapeProperty(self.theme, self.handle, SSP_Selected,
                                               ScriptValue::OfBoolean(JS::ToBoolean(args.get(0)))));
}

bool ShapeGetAttribute(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!ExactArguments(cx, args, 1, "Shape.getAttribute"))
        return false;
    std::int32_t column = 0;
    std::string name;
    const bool byName = !args[0].isNumber();
    if (byName ? !ValueToUtf8(cx, args[0], name) : !Int32Of(cx, args[0], column))
        return false;
    std::string text;
    const ScriptReply reply = model->GetShapeAttribute(self.theme, self.handle, byName, column, name, text);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    return SetUtf8Text(cx, args.rval(), text);
}

bool ShapeSetAttribute(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!ExactArguments(cx, args, 2, "Shape.setAttribute"))
        return false;
    if (!args[0].isNumber() || !args[1].isString())
        return IllegalArgumentType(cx, "Shape.setAttribute");
    std::int32_t column = 0;
    std::string text;
    if (!Int32Of(cx, args[0], column) || !ValueToUtf8(cx, args[1], text))
        return false;
    bool done = false;
    const ScriptReply reply = model->SetShapeAttribute(self.theme, self.handle, column, text, done);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(done);
    return true;
}

bool ShapeGetCoordCount(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    std::int32_t part = 0;
    if (!OneNumber(cx, args, "Shape.getCoordCount", part))
        return false;
    int count = 0;
    const ScriptReply reply = model->GetCoordCount(self.theme, self.handle, part, count);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setInt32(count);
    return true;
}

bool ShapeGetCoord(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!ExactArguments(cx, args, 2, "Shape.getCoord"))
        return false;
    if (!args[0].isNumber() || !args[1].isNumber())
        return IllegalArgumentType(cx, "Shape.getCoord");
    std::int32_t part = 0;
    std::int32_t vertex = 0;
    if (!Int32Of(cx, args[0], part) || !Int32Of(cx, args[1], vertex))
        return false;
    bool isShape = false;
    int index = 0;
    const ScriptReply reply = model->GetVertexIndex(self.theme, self.handle, part, vertex, isShape, index);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    if (!isShape)
        return Silent(cx);
    // Bound by the shape's handle and the point's number, read again at
    // every access: an edit that replaces the record moves the handle along.
    JS::RootedObject shape(cx, self.shape);
    JS::RootedObject coord(cx, NewCoordObject(cx));
    if (coord == nullptr)
        return false;
    JS::SetReservedSlot(coord, kCoordIndexSlot, JS::Int32Value(index));
    JS::SetReservedSlot(coord, kCoordShapeSlot, JS::ObjectValue(*shape));
    args.rval().setObject(*coord);
    return true;
}

bool ShapeRecalcBoundingBox(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    args.rval().setUndefined();
    return AnswerReply(cx, model->RecalcShapeBounds(self.theme, self.handle));
}

bool ShapeRotate(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!LeastArguments(cx, args, 2, "Shape.rotate"))
        return false;
    if (!ShapeEditable(cx, self, "Trying to edit a shape in a read-only layer"))
        return false;
    double angle = 0.0;
    if (!NumberOf(cx, args[1], angle))
        return ReportNativeError(cx, "Type mismatch.");
    if (!IsObjectOf(args[0], &kCoordClass))
        return ReportNativeError(cx, "Expected a Coord object parameter in call to Shape.rotate()");
    ScriptPoint centre{};
    ScriptReply reply;
    if (!CoordArgument(args[0], centre, reply, "Null argument in call to Shape.rotate()"))
        return AnswerReply(cx, reply);
    args.rval().setUndefined();
    return AnswerReply(cx, model->RotateShape(self.theme, self.handle, centre.x, centre.y, angle));
}

bool ShapeTranslate(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!LeastArguments(cx, args, 2, "Shape.translate"))
        return false;
    if (!ShapeEditable(cx, self, "Trying to edit a shape in a read-only layer"))
        return false;
    double dx = 0.0;
    double dy = 0.0;
    if (!NumberOf(cx, args[0], dx) || !NumberOf(cx, args[1], dy))
        return ReportNativeError(cx, "Type mismatch.");
    args.rval().setUndefined();
    return AnswerReply(cx, model->TranslateShape(self.theme, self.handle, dx, dy));
}

bool ShapeIntersects(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!LeastArguments(cx, args, 1, "Shape.intersects"))
        return false;
    if (!IsObjectOf(args[0], &kShapeClass))
        return ReportNativeError(cx, "Expected a Shape object parameter in call to Shape.intersects()");
    bool intersects = false;
    const ScriptReply reply =
        model->ShapesIntersect(self.theme, self.handle, HandleIn(&args[0].toObject(), kShapeHandleSlot), intersects);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(intersects);
    return true;
}

bool ShapeAddPart(JSContext* cx, unsigned argc, JS::Value* vp) {
    SHAPE_PROLOGUE
    if (!LeastArguments(cx, args, 1, "Shape.addPart"))
        return false;
    if (!ShapeEditable(cx, self, "Trying to edit a Shape object in a read-only Layer"))
        return false;
    const char* const kIllegal = "Illegal argument in call to Shape.addPart()";
    bool isArray = false;
    if (!args[0].isObject() || !JS::IsArrayObject(cx, args[0], &isArray) || !isArray)
        return ReportNativeError(cx, kIllegal);
    JS::RootedObject array(cx, &args[0].toObject());
    std::uint32_t length = 0;
    if (!JS::GetArrayLength(cx, array, &length))
        return false;
    std::vector<ScriptPoint> points;
    JS::RootedValue element(cx);
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!JS_GetElement(cx, array, i, &element))
            return false;
        ScriptPoint point{};
        ScriptReply reply;
        if (!CoordArgument(element, point, reply, kIllegal))
            return AnswerReply(cx, reply);
        points.push_back(point);
    }
    bool added = false;
    const ScriptReply reply = model->AddPart(self.theme, self.handle, points, added);
    if (reply.Failed())
        return AnswerReply(cx, reply);
    args.rval().setBoolean(added);
    return true;
}

const JSPropertySpec kShapeProperties[] = {
    JS_PSG("type", GetShapeValue<SSP_Type>, JSPROP_ENUMERATE),
    JS_PSG("attributeCount", GetShapeValue<SSP_AttributeCount>, JSPROP_ENUMERATE),
    JS_PSG("partCount", GetShapeValue<SSP_PartCount>, JSPROP_ENUMERATE),
    JS_PSGS("selected", GetShapeValue<SSP_Selected>, SetShapeSelected, JSPROP_ENUMERATE),
    JS_PSG("selectionIndex", GetShapeValue<SSP_SelectionIndex>, JSPROP_ENUMERATE),
    JS_PSG("color", GetShapeValue<SSP_Color>, JSPROP_ENUMERATE),
    JS_PSG("index", GetShapeValue<SSP_Index>, JSPROP_ENUMERATE),
    JS_PS_END,
};

const JSFunctionSpec kShapeFunctions[] = {
    JS_FN("getAttribute", ShapeGetAttribute, 1, 0),
    JS_FN("setAttribute", ShapeSetAttribute, 2, 0),
    JS_FN("getCoordCount", ShapeGetCoordCount, 1, 0),
    JS_FN("getCoord", ShapeGetCoord, 1, 0),
    JS_FN("recalcBoundingBox", ShapeRecalcBoundingBox, 1, 0),
    JS_FN("rotate", ShapeRotate, 1, 0),
    JS_FN("translate", ShapeTranslate, 1, 0),
    JS_FN("intersects", ShapeIntersects, 1, 0),
    JS_FN("addPart", ShapeAddPart, 1, 0),
    JS_FS_END,
};

bool DefineShapeTables(JSContext* cx, JS::HandleObject proto) {
    return JS_DefineProperties(cx, proto, kShapeProperties) &&
           JS_DefineFunctions(cx, proto, kShapeFunctions);
}

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

bool IsCoordObject(const JS::Value& value) {
    return IsObjectOf(value, &kCoordClass);
}

JSObject* NewFreeColor(JSContext* cx, std::uint32_t colour) {
    return NewColorObject(cx, colour & 0x00FFFFFFu, nullptr);
}

bool InitObjectModel(JSContext* cx, JS::HandleObject global, void* workspaceRecord) {
    JS::RootedObject coordProto(cx, JS_InitClass(cx, global, nullptr, &kCoordClass, &ConstructCoord, 2,
                                                 kCoordProperties, kCoordFunctions, nullptr, nullptr));
    JS::RootedObject colorProto(cx, JS_InitClass(cx, global, nullptr, &kColorClass, &ConstructColor, 3,
                                                 kColorProperties, kColorFunctions, nullptr, nullptr));
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
    if (!JS_DefineProperties(cx, workspace, kWorkspaceProperties) ||
        !JS_DefineFunctions(cx, workspace, kWorkspaceFunctions))
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
