// The script class Layer: a theme of the workspace's document, kept by its
// handle. Each theme has one Layer object (the layer cache, ObjectModel.cpp).

#include "jsengine/ObjectModelSupport.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/Object.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace ScriptBridge {

const JSClass kLayerClass = {"Layer", JSCLASS_HAS_RESERVED_SLOTS(3), nullptr, nullptr, nullptr, nullptr};

namespace {

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

}  // namespace

bool DefineLayerTables(JSContext* cx, JS::HandleObject proto) {
    return JS_DefineProperties(cx, proto, kLayerProperties) &&
           JS_DefineFunctions(cx, proto, kLayerFunctions);
}

}  // namespace ScriptBridge
