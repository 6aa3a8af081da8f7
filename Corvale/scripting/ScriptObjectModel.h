#pragma once
// What the script objects (Workspace, Layer, Shape, and the bound Coord and
// Color) ask of the program.
//
// The objects live in the engine bridge, which sees no document; they hold
// integer GPI handles (a theme, a shape) and the workspace record of their
// global, and every access goes through this interface, which resolves the
// handle again. A theme or a shape that has gone simply no longer resolves:
// the answer is the object's null-object message, never freed memory.
//
// The bridge checks the number and the kinds of the arguments and keeps the
// engine objects (the layer cache, the bound colours); the program does what
// the document does and words the messages that depend on it. Plain C++ only:
// both sides are built by the same compiler, and the order of the virtual
// operations is part of the bridge's versioned contract (ScriptEngine.h).

#include "scripting/ScriptPluginValue.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// How a request ended. Done and Warning go on (a warning's text is reported
// as a warning); Error stops the script with its text; Stop stops it without
// a message.
struct ScriptReply {
    enum Kind { Done, Warning, Error, Stop };
    Kind kind = Done;
    std::string text;

    static ScriptReply Ok() { return {}; }
    static ScriptReply Fail(std::string message) { return {Error, std::move(message)}; }
    static ScriptReply Warn(std::string message) { return {Warning, std::move(message)}; }
    static ScriptReply Silent() { return {Stop, {}}; }
    bool Failed() const { return kind == Error || kind == Stop; }
};

// A property value crossing the seam.
struct ScriptValue {
    enum Kind { Undefined, Boolean, Integer, Number, String };
    Kind kind = Undefined;
    bool boolean = false;
    std::int32_t integer = 0;
    double number = 0.0;
    std::string text;

    static ScriptValue OfBoolean(bool value) {
        ScriptValue v;
        v.kind = Boolean;
        v.boolean = value;
        return v;
    }
    static ScriptValue OfInteger(std::int32_t value) {
        ScriptValue v;
        v.kind = Integer;
        v.integer = value;
        return v;
    }
    static ScriptValue OfNumber(double value) {
        ScriptValue v;
        v.kind = Number;
        v.number = value;
        return v;
    }
    static ScriptValue OfText(std::string value) {
        ScriptValue v;
        v.kind = String;
        v.text = std::move(value);
        return v;
    }
};

struct ScriptPoint {
    double x;
    double y;
};

// Tiny ids of the Layer properties (the number a script never sees; readOnly
// came last and keeps its id).
enum ScriptLayerProperty {
    SLP_Name = 0,
    SLP_Visible = 1,
    SLP_Comment = 2,
    SLP_DataSource = 3,
    SLP_ShapeCount = 4,
    SLP_SelectionCount = 5,
    SLP_AttributeCount = 6,
    SLP_Selected = 7,
    SLP_Color = 8,
    SLP_LineWidth = 9,
    SLP_ReadOnly = 10,
};

// Tiny ids of the Shape properties.
enum ScriptShapeProperty {
    SSP_Type = 0,
    SSP_AttributeCount = 1,
    SSP_PartCount = 2,
    SSP_Selected = 3,
    SSP_SelectionIndex = 4,
    SSP_Color = 5,
    SSP_Index = 6,
};

// What a script may know of a listed GPI plug-in.
struct ScriptPluginInfo {
    std::string guidText;
    // Null name of the plug-in (it gave none): hasName false.
    bool hasName = false;
    std::string name;
    std::string file;
    // The script names it registered, in its order.
    std::vector<std::string> properties;
    std::vector<std::string> methods;
};

// The kinds of object a handle a plug-in answered may name, as far as
// scripts care.
enum ScriptHandleKind { SHK_Other = 0, SHK_Theme = 1, SHK_Shape = 2 };

// The workspace record is the one the program gave the global (opaque to the
// bridge); themes and shapes are GPI handles.
class IScriptObjectModel {
public:
    // ---- Workspace ----
    // False when the record's workspace handle no longer names a document.
    virtual bool HasDocument(void* record) = 0;
    virtual std::string DocumentName(void* record) = 0;
    // -1 without a document.
    virtual int ThemeCount(void* record) = 0;
    // The handle of the theme at an index of the document's list; 0 outside.
    virtual std::uint32_t ThemeAt(void* record, int index) = 0;
    // Sends a refresh to the document's listeners and repaints its map at once.
    virtual void Refresh(void* record) = 0;
    // Prints on the document's console when its scripts debug flag is set.
    virtual void PrintLine(void* record, const std::string& text) = 0;
    // The settings' LoadToBottom: new themes go to the end of the list.
    virtual bool LoadToBottom() = 0;
    // A new empty editable theme of that type; templateTheme 0 for none, or
    // the theme whose columns it copies. 0 when none was made.
    virtual std::uint32_t NewTheme(void* record, const std::string& name, std::uint32_t shapeType,
                                   bool hasTemplate, std::uint32_t templateTheme) = 0;
    // True only when the document took the theme out of its list.
    virtual bool RemoveTheme(void* record, std::uint32_t theme) = 0;
    // Moves the theme at index `from` so that it stands at `to` of the list
    // without it, and tells the listeners that the order changed.
    virtual void MoveTheme(void* record, int from, int to) = 0;
    // Loads a shape file as a new theme; 0 when it did not load.
    virtual std::uint32_t LoadShapeFile(void* record, const std::string& path) = 0;
    // The status-bar progress of the script (made on first use, labelled
    // "JavaScript:"); it goes with the record's handler.
    virtual void SetProgress(void* record, int percent) = 0;
    virtual void CenterMap(void* record, double x, double y) = 0;
    virtual void Zoom(void* record, double factor) = 0;
    virtual bool SaveMapImage(void* record, const std::string& path, std::uint32_t colour) = 0;
    // The theme chooser; the chosen theme's index, -1 when cancelled.
    virtual int ChooseTheme(void* record, const std::string& caption) = 0;
    // The document's background colour; false without a document.
    virtual bool GetBackground(void* record, std::uint32_t& colour) = 0;
    virtual bool SetBackground(void* record, std::uint32_t colour) = 0;

    // ---- Layer ----
    // The theme's shape type; -1 when the handle names no theme.
    virtual int ThemeShapeType(std::uint32_t theme) = 0;
    // The theme's main colour; false when the handle names no theme. Setting
    // it with restyle rebuilds the theme's styles.
    virtual bool GetThemeColor(std::uint32_t theme, std::uint32_t& colour) = 0;
    virtual bool SetThemeColor(std::uint32_t theme, std::uint32_t colour, bool restyle) = 0;
    virtual ScriptReply GetLayerProperty(void* record, std::uint32_t theme, int id, ScriptValue& value) = 0;
    // The bridge has converted the value to the property's kind.
    virtual ScriptReply SetLayerProperty(void* record, std::uint32_t theme, int id, const ScriptValue& value) = 0;
    // A visible shape by position, or by selection index; its shape handle.
    virtual ScriptReply GetShape(std::uint32_t theme, int position, std::uint32_t& shape) = 0;
    virtual ScriptReply GetSelectedShape(std::uint32_t theme, int n, std::uint32_t& shape) = 0;
    // Adds a copy of a shape, or a shape built from points (one point for a
    // point theme, the line's points, or the ring's points, which the theme
    // closes); the new shape's handle, 0 when the theme took nothing.
    virtual ScriptReply AddShapeCopy(void* record, std::uint32_t theme, std::uint32_t source,
                                     std::uint32_t& shape) = 0;
    virtual ScriptReply AddShapePoints(void* record, std::uint32_t theme, const std::vector<ScriptPoint>& points,
                                       std::uint32_t& shape) = 0;
    virtual ScriptReply GetAttributeName(std::uint32_t theme, int column, std::string& name) = 0;
    virtual ScriptReply AddAttribute(std::uint32_t theme, const std::string& name, int& column) = 0;
    virtual ScriptReply RecalcLayerBounds(std::uint32_t theme) = 0;
    // The handles of the shapes closest to the point, or of the shapes that
    // intersect the shape; found false when the theme found none.
    virtual ScriptReply FindClosestShapes(std::uint32_t theme, double x, double y, bool& found,
                                          std::vector<std::uint32_t>& shapes) = 0;
    virtual ScriptReply GetIntersectingShapes(std::uint32_t theme, std::uint32_t shape, bool& found,
                                              std::vector<std::uint32_t>& shapes) = 0;
    // The column chooser; the chosen column, -1 when none.
    virtual ScriptReply ChooseAttribute(std::uint32_t theme, const std::string& caption, int& column) = 0;
    virtual ScriptReply MoveShape(std::uint32_t theme, std::uint32_t shape, int position, bool& moved) = 0;
    virtual ScriptReply ClearSelection(std::uint32_t theme) = 0;
    // Reprojects every record of the theme; all or nothing.
    virtual ScriptReply TransformTheme(std::uint32_t theme, int fromEpsg, int toEpsg) = 0;

    // ---- Shape ----
    virtual ScriptReply GetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id, ScriptValue& value) = 0;
    virtual ScriptReply SetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id, const ScriptValue& value) = 0;
    // By column number (byName false) or by name without regard to case.
    virtual ScriptReply GetShapeAttribute(std::uint32_t theme, std::uint32_t shape, bool byName, int column,
                                          const std::string& name, std::string& text) = 0;
    virtual ScriptReply SetShapeAttribute(std::uint32_t theme, std::uint32_t shape, int column,
                                          const std::string& text, bool& done) = 0;
    virtual ScriptReply GetCoordCount(std::uint32_t theme, std::uint32_t shape, int part, int& count) = 0;
    // The record's point number of a part's vertex; isShape false (the
    // answer is false) for a theme of no point, polyline or polygon type.
    virtual ScriptReply GetVertexIndex(std::uint32_t theme, std::uint32_t shape, int part, int vertex,
                                       bool& isShape, int& index) = 0;
    virtual ScriptReply RecalcShapeBounds(std::uint32_t theme, std::uint32_t shape) = 0;
    virtual ScriptReply RotateShape(std::uint32_t theme, std::uint32_t shape, double cx, double cy,
                                    double angle) = 0;
    virtual ScriptReply TranslateShape(std::uint32_t theme, std::uint32_t shape, double dx, double dy) = 0;
    virtual ScriptReply ShapesIntersect(std::uint32_t theme, std::uint32_t shape, std::uint32_t other,
                                        bool& intersects) = 0;
    virtual ScriptReply AddPart(std::uint32_t theme, std::uint32_t shape, const std::vector<ScriptPoint>& points,
                                bool& added) = 0;

    // ---- Bound Coord: point `index` of a shape's record ----
    virtual ScriptReply GetVertex(std::uint32_t shape, int index, ScriptPoint& point) = 0;
    // theme is the one of the Coord's Shape, whose editable flag decides.
    virtual ScriptReply SetVertex(std::uint32_t theme, std::uint32_t shape, int index, int coordinate,
                                  double value) = 0;

    // ---- Global functions: dialogs and coordinates ----
    // A message box with OK (and Cancel); true when OK was pressed.
    virtual bool ScriptMessage(const std::string& text, bool withCancel) = 0;
    // The input dialog; false after Cancel, else the edited text.
    virtual bool ScriptInput(const std::string& prompt, std::string& text) = 0;
    // The open or save file dialog, and the folder dialog; false after Cancel.
    virtual bool ScriptBrowseFile(bool save, const std::string& title, std::string& path) = 0;
    virtual bool ScriptBrowseFolder(std::string& path) = 0;
    // Converts a point between the reference systems of two EPSG codes.
    virtual ScriptReply TransformPoint(int fromEpsg, int toEpsg, ScriptPoint& point) = 0;
    // The button dialog of option(): the prompt and the choices; the index
    // of the chosen one, -1 when the dialog was dismissed without a choice.
    virtual int ScriptOption(const std::string& prompt, const std::vector<std::string>& choices) = 0;
    // The colour dialog (starting at black); false after Cancel.
    virtual bool ScriptBrowseColor(std::uint32_t& colour) = 0;
    // The folder external() tries a relative name in when it is not found
    // beside the including file; empty for none.
    virtual std::string ScriptFolder() = 0;

    // ---- GPI plug-ins ----
    // The identity of the first listed plug-in with that GUID text (case
    // ignored); 0 when none. Identities are never given out twice, so a
    // plug-in taken out of the list never answers to an old one.
    virtual std::uint32_t FindPlugin(const std::string& guidText) = 0;
    // False when the identity is no longer listed.
    virtual bool GetPluginInfo(std::uint32_t plugin, ScriptPluginInfo& info) = 0;
    // Calls a script name (null for none) of the plug-in with that GUID text
    // for the record's document (none when the record has none); the reply
    // carries the plug-in's error message.
    virtual ScriptReply InvokePlugin(void* record, const std::string& guidText, const char* name,
                                     const std::vector<ScriptPluginValue>& arguments,
                                     ScriptPluginAnswer& answer) = 0;
    // The record's workspace handle, as plug-ins know the document.
    virtual std::uint32_t WorkspaceHandle(void* record) = 0;
    virtual ScriptHandleKind HandleKind(std::uint32_t handle) = 0;
    // The theme whose records hold the shape and the shape's position in
    // its visible list; false when there is no such theme or position.
    virtual bool LocateShape(std::uint32_t shape, std::uint32_t& theme, int& position) = 0;

protected:
    ~IScriptObjectModel() = default;
};
