// The script class Shape: a shape of a theme, kept by its handle and the
// Layer it came from; every answer that gives a shape makes a new object.

#include "jsengine/ObjectModelSupport.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/Object.h>

#include <string>
#include <vector>

namespace ScriptBridge {

const JSClass kShapeClass = {"Shape", JSCLASS_HAS_RESERVED_SLOTS(2), nullptr, nullptr, nullptr, nullptr};

namespace {

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

}  // namespace

bool DefineShapeTables(JSContext* cx, JS::HandleObject proto) {
    return JS_DefineProperties(cx, proto, kShapeProperties) &&
           JS_DefineFunctions(cx, proto, kShapeFunctions);
}

}  // namespace ScriptBridge
