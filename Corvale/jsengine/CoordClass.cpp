// The script class Coord: a point. One made by the script (new Coord(x, y))
// holds its own x and y; one a Shape answered (Shape.getCoord) is bound to
// that vertex by the shape and the point number, and reads and writes the
// shape's record at every access.

#include "jsengine/ObjectModelSupport.h"

#include <js/Object.h>

#include <string>

namespace ScriptBridge {

const JSClass kCoordClass = {"Coord", JSCLASS_HAS_RESERVED_SLOTS(4), nullptr, nullptr, nullptr, nullptr};

namespace {

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

}  // namespace

JSObject* NewCoordObject(JSContext* cx) {
    JS::RootedObject proto(cx, GlobalSlotObject(cx, kGlobalCoordProtoSlot));
    return JS_NewObjectWithGivenProto(cx, &kCoordClass, proto);
}

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

bool IsCoordObject(const JS::Value& value) {
    return IsObjectOf(value, &kCoordClass);
}

JSObject* InitCoordClass(JSContext* cx, JS::HandleObject global) {
    return JS_InitClass(cx, global, nullptr, &kCoordClass, &ConstructCoord, 2, kCoordProperties, kCoordFunctions,
                        nullptr, nullptr);
}

}  // namespace ScriptBridge
