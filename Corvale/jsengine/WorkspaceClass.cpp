// The script class Workspace: the one object `workspace` of every global,
// standing for the document the script runs in (its themes as Layer objects,
// the map, the console).

#include "jsengine/ObjectModelSupport.h"

#include <js/Object.h>

#include <cmath>
#include <string>

namespace ScriptBridge {

const JSClass kWorkspaceClass = {
    "Workspace", JSCLASS_HAS_RESERVED_SLOTS(5), nullptr, nullptr, nullptr, nullptr};

void* RecordOfWorkspace(JSObject* workspace) {
    if (!Is(workspace, &kWorkspaceClass))
        return nullptr;
    const JS::Value value = JS::GetReservedSlot(workspace, kWorkspaceRecordSlot);
    return value.isUndefined() ? nullptr : value.toPrivate();
}

namespace {

std::string IndexOutOfBounds(int index) { return "Index out of bounds. (was " + std::to_string(index) + ")"; }

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

}  // namespace

bool DefineWorkspaceTables(JSContext* cx, JS::HandleObject workspace) {
    return JS_DefineProperties(cx, workspace, kWorkspaceProperties) &&
           JS_DefineFunctions(cx, workspace, kWorkspaceFunctions);
}

}  // namespace ScriptBridge
