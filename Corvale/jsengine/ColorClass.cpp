// The script class Color: three channels of a colour word. A Color made by
// the script (new Color(r, g, b)) or answered by the program holds its own
// word; one bound to a theme's colour (Layer.color) or to the map's
// background (Workspace.bkgndColor) reads and writes the program's colour at
// every access.

#include "jsengine/ObjectModelSupport.h"

#include <js/Conversions.h>
#include <js/Object.h>

#include <string>

namespace ScriptBridge {

const JSClass kColorClass = {"Color", JSCLASS_HAS_RESERVED_SLOTS(2), nullptr, nullptr, nullptr, nullptr};

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

namespace {

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

}  // namespace

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
    JS::RootedValue bound(cx);
    if (!BoundColor(cx, owner, slot, &bound))
        return false;
    JS::RootedObject target(cx, &bound.toObject());
    return AnswerReply(cx, WriteColor(target, colour, restyle));
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

JSObject* NewFreeColor(JSContext* cx, std::uint32_t colour) {
    return NewColorObject(cx, colour & 0x00FFFFFFu, nullptr);
}

JSObject* InitColorClass(JSContext* cx, JS::HandleObject global) {
    return JS_InitClass(cx, global, nullptr, &kColorClass, &ConstructColor, 3, kColorProperties, kColorFunctions,
                        nullptr, nullptr);
}

}  // namespace ScriptBridge
