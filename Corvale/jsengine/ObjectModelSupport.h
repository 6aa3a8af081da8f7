#pragma once
// What the script classes of the workspace share: Workspace, Layer, Shape,
// Coord and Color each live in their own file (WorkspaceClass.cpp ...
// ColorClass.cpp); their slots, the checks of their natives, the layer cache
// and the value conversions for plug-ins are in ObjectModel.cpp. Only these
// sources of the bridge include this header.
//
// None of the objects holds a pointer into the program. What an object stands
// for is kept in its reserved slots as integers (a theme's or a shape's GPI
// handle, the point number of a bound vertex) or as the engine object it
// belongs to (a Shape's Layer, a Layer's Workspace, a bound Color's Layer or
// Workspace), and every access asks the program (IScriptObjectModel) to
// resolve it again. A theme removed, a record replaced by an edit or a shape
// deleted behind a script's back gives the object's null-object message
// instead of touching freed memory. Since nothing is allocated per object, no
// class needs a finalizer.
//
// Every theme has one Layer object for the life of the global, kept in the
// layer cache (an array in a slot of the workspace object, element i for
// theme i of the document), so that getLayer answers the same object twice
// and a Color bound to a layer stays the same object.

#include "jsengine/EngineSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ScriptBridge {

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

// Each defined in its class's file.
extern const JSClass kWorkspaceClass;
extern const JSClass kLayerClass;
extern const JSClass kShapeClass;
extern const JSClass kCoordClass;
extern const JSClass kColorClass;

// ---------------------------------------------------------------------------
// Objects, handles and values (ObjectModel.cpp)
// ---------------------------------------------------------------------------

bool Is(JSObject* object, const JSClass* clasp);
bool IsObjectOf(const JS::Value& value, const JSClass* clasp);
// The GPI handle kept in a slot; 0 when there is none.
std::uint32_t HandleIn(JSObject* object, std::size_t slot);
// The object kept in a slot, or null.
JSObject* ObjectIn(JSObject* object, std::size_t slot);
// An object kept in a slot of the current global, or null.
JSObject* GlobalSlotObject(JSContext* cx, std::size_t slot);

// The script stops without a message (a refused assignment, a getter on a
// non-object).
bool Silent(JSContext* cx);

// A value the program answered, as a script value.
bool ToScript(JSContext* cx, const ScriptValue& value, JS::MutableHandleValue out);
// Conversions that leave no exception pending when they fail.
bool NumberOf(JSContext* cx, JS::HandleValue value, double& number);
bool Int32Of(JSContext* cx, JS::HandleValue value, std::int32_t& number);

// `this` when it is an object; null otherwise.
JSObject* ThisObject(const JS::CallArgs& args);

// The argument checks of the natives, with the texts scripts have always
// seen. `method` names the native as scripts call it ("Layer.moveShape").
//
// Whether the call has exactly `count` (one or two) arguments; else stops
// with "One argument expected in call to <method>()" or its two-argument
// form.
bool ExactArguments(JSContext* cx, const JS::CallArgs& args, unsigned count, const char* method);
// The same for a native that takes further, optional, arguments.
bool LeastArguments(JSContext* cx, const JS::CallArgs& args, unsigned count, const char* method);
// Stops with "Illegal argument type in call to <method>()".
bool IllegalArgumentType(JSContext* cx, const char* method);
// Stops with "Illegal argument <n> in call to <method>(). Expected <type>.".
bool IllegalArgument(JSContext* cx, int n, const char* method, const char* type);
// A Layer or Shape function's one number argument as an integer.
bool OneNumber(JSContext* cx, const JS::CallArgs& args, const char* function, std::int32_t& number);

// ---------------------------------------------------------------------------
// The layer cache and the making of Shape objects (ObjectModel.cpp)
// ---------------------------------------------------------------------------

// The workspace's layer cache, made with one empty element per theme of the
// document the first time it is needed; null without a document.
JSObject* LayerCache(JSContext* cx, JS::HandleObject workspace);
// The Layer object of theme `index`: the cache's element, or a new object put
// there. The cache grows to the document's theme count when it fell behind.
bool LayerAt(JSContext* cx, JS::HandleObject workspace, int index, JS::MutableHandleValue out);
// A theme the script just added or loaded comes back as its Layer, put into
// the cache where the document put the theme; no theme answers null.
bool ReturnNewLayer(JSContext* cx, const JS::CallArgs& args, JS::HandleObject workspace, JS::HandleObject cache,
                    std::uint32_t theme, bool atEnd);
bool CacheElements(JSContext* cx, JS::HandleObject cache, JS::MutableHandle<JS::StackGCVector<JS::Value>> out);
bool WriteCache(JSContext* cx, JS::HandleObject cache, JS::Handle<JS::StackGCVector<JS::Value>> elements);
// The index of this very object in the cache; -1 when it is not there.
int FindInCache(JS::Handle<JS::StackGCVector<JS::Value>> elements, const JS::Value& object);
// A new Shape object of the shape handle, coming from `layer`.
bool ShapeResult(JSContext* cx, JS::HandleObject layer, std::uint32_t shape, JS::MutableHandleValue out);

// ---------------------------------------------------------------------------
// The classes
// ---------------------------------------------------------------------------

// Workspace (WorkspaceClass.cpp). The program's record of a Workspace object;
// null for anything else.
void* RecordOfWorkspace(JSObject* workspace);
// Puts the Workspace properties and functions on the workspace object.
bool DefineWorkspaceTables(JSContext* cx, JS::HandleObject workspace);

// Layer (LayerClass.cpp) and Shape (ShapeClass.cpp): their properties and
// functions on the prototype every object of the class shares.
bool DefineLayerTables(JSContext* cx, JS::HandleObject proto);
bool DefineShapeTables(JSContext* cx, JS::HandleObject proto);

// Coord (CoordClass.cpp). The class on the global; its prototype, or null.
JSObject* InitCoordClass(JSContext* cx, JS::HandleObject global);
// A new Coord object without x, y or binding (the caller binds it).
JSObject* NewCoordObject(JSContext* cx);
// A Coord argument's point (through its binding); false with the reply set
// when the value is no Coord with a record.
bool CoordArgument(JS::HandleValue value, ScriptPoint& point, ScriptReply& reply, const std::string& notCoord);

// Color (ColorClass.cpp). The class on the global; its prototype, or null.
JSObject* InitColorClass(JSContext* cx, JS::HandleObject global);
// A new Color of the colour word, bound to `owner` (a Layer or the
// Workspace) unless that is null.
JSObject* NewColorObject(JSContext* cx, std::uint32_t colour, JS::HandleObject owner);
bool ColorHasRecord(JSObject* color);
// The colour a Color holds, through its binding when bound.
ScriptReply ReadColor(JSObject* color, std::uint32_t& colour);
// A Color value assigned to a colour property (Workspace.bkgndColor,
// Layer.color): the value's colour goes into the bound Color, made first when
// missing. A non-Color object warns; anything that is not an object is ignored.
bool AssignColor(JSContext* cx, JS::HandleValue value, JS::HandleObject owner, std::size_t slot, bool restyle);
// The Color bound to the owner's colour, made on first use and the same
// object afterwards.
bool BoundColor(JSContext* cx, JS::HandleObject owner, std::size_t slot, JS::MutableHandleValue out);

}  // namespace ScriptBridge
