#pragma once
// The program's side of the script objects: IScriptObjectModel over the
// documents, themes and shape records named by GPI handles. One per script
// handler; it owns the status-bar progress its scripts show.

#include "scripting/ScriptObjectModel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CStatusBarProgressCtrl;

// The column chooser of Layer.browseAttribute: the caption and the column
// names in order; the chosen column, -1 when cancelled. The default is a
// list dialog; tests install their own.
using ScriptAttributeChooser = std::function<int(const std::string& caption, const std::vector<std::string>& names)>;
void SetScriptAttributeChooser(ScriptAttributeChooser chooser);

// The folder external() tries a relative name in after the including file's
// own: by default "Scripts/" beside the program. Tests set their own; an
// empty text goes back to the default.
void SetScriptFolder(const std::string& folder);

class CScriptObjectModel final : public IScriptObjectModel {
public:
    CScriptObjectModel();
    ~CScriptObjectModel();
    CScriptObjectModel(const CScriptObjectModel&) = delete;
    CScriptObjectModel& operator=(const CScriptObjectModel&) = delete;

    bool HasDocument(void* record) override;
    std::string DocumentName(void* record) override;
    int ThemeCount(void* record) override;
    std::uint32_t ThemeAt(void* record, int index) override;
    void Refresh(void* record) override;
    void PrintLine(void* record, const std::string& text) override;
    bool LoadToBottom() override;
    std::uint32_t NewTheme(void* record, const std::string& name, std::uint32_t shapeType, bool hasTemplate,
                           std::uint32_t templateTheme) override;
    bool RemoveTheme(void* record, std::uint32_t theme) override;
    void MoveTheme(void* record, int from, int to) override;
    std::uint32_t LoadShapeFile(void* record, const std::string& path) override;
    void SetProgress(void* record, int percent) override;
    void CenterMap(void* record, double x, double y) override;
    void Zoom(void* record, double factor) override;
    bool SaveMapImage(void* record, const std::string& path, std::uint32_t colour) override;
    int ChooseTheme(void* record, const std::string& caption) override;
    bool GetBackground(void* record, std::uint32_t& colour) override;
    bool SetBackground(void* record, std::uint32_t colour) override;

    int ThemeShapeType(std::uint32_t theme) override;
    bool GetThemeColor(std::uint32_t theme, std::uint32_t& colour) override;
    bool SetThemeColor(std::uint32_t theme, std::uint32_t colour, bool restyle) override;
    ScriptReply GetLayerProperty(void* record, std::uint32_t theme, int id, ScriptValue& value) override;
    ScriptReply SetLayerProperty(void* record, std::uint32_t theme, int id, const ScriptValue& value) override;
    ScriptReply GetShape(std::uint32_t theme, int position, std::uint32_t& shape) override;
    ScriptReply GetSelectedShape(std::uint32_t theme, int n, std::uint32_t& shape) override;
    ScriptReply AddShapeCopy(void* record, std::uint32_t theme, std::uint32_t source, std::uint32_t& shape) override;
    ScriptReply AddShapePoints(void* record, std::uint32_t theme, const std::vector<ScriptPoint>& points,
                               std::uint32_t& shape) override;
    ScriptReply GetAttributeName(std::uint32_t theme, int column, std::string& name) override;
    ScriptReply AddAttribute(std::uint32_t theme, const std::string& name, int& column) override;
    ScriptReply RecalcLayerBounds(std::uint32_t theme) override;
    ScriptReply FindClosestShapes(std::uint32_t theme, double x, double y, bool& found,
                                  std::vector<std::uint32_t>& shapes) override;
    ScriptReply GetIntersectingShapes(std::uint32_t theme, std::uint32_t shape, bool& found,
                                      std::vector<std::uint32_t>& shapes) override;
    ScriptReply ChooseAttribute(std::uint32_t theme, const std::string& caption, int& column) override;
    ScriptReply MoveShape(std::uint32_t theme, std::uint32_t shape, int position, bool& moved) override;
    ScriptReply ClearSelection(std::uint32_t theme) override;
    ScriptReply TransformTheme(std::uint32_t theme, int fromEpsg, int toEpsg) override;

    ScriptReply GetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id, ScriptValue& value) override;
    ScriptReply SetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id, const ScriptValue& value) override;
    ScriptReply GetShapeAttribute(std::uint32_t theme, std::uint32_t shape, bool byName, int column,
                                  const std::string& name, std::string& text) override;
    ScriptReply SetShapeAttribute(std::uint32_t theme, std::uint32_t shape, int column, const std::string& text,
                                  bool& done) override;
    ScriptReply GetCoordCount(std::uint32_t theme, std::uint32_t shape, int part, int& count) override;
    ScriptReply GetVertexIndex(std::uint32_t theme, std::uint32_t shape, int part, int vertex, bool& isShape,
                               int& index) override;
    ScriptReply RecalcShapeBounds(std::uint32_t theme, std::uint32_t shape) override;
    ScriptReply RotateShape(std::uint32_t theme, std::uint32_t shape, double cx, double cy, double angle) override;
    ScriptReply TranslateShape(std::uint32_t theme, std::uint32_t shape, double dx, double dy) override;
    ScriptReply ShapesIntersect(std::uint32_t theme, std::uint32_t shape, std::uint32_t other,
                                bool& intersects) override;
    ScriptReply AddPart(std::uint32_t theme, std::uint32_t shape, const std::vector<ScriptPoint>& points,
                        bool& added) override;

    ScriptReply GetVertex(std::uint32_t shape, int index, ScriptPoint& point) override;
    ScriptReply SetVertex(std::uint32_t theme, std::uint32_t shape, int index, int coordinate, double value) override;

    bool ScriptMessage(const std::string& text, bool withCancel) override;
    bool ScriptInput(const std::string& prompt, std::string& text) override;
    bool ScriptBrowseFile(bool save, const std::string& title, std::string& path) override;
    bool ScriptBrowseFolder(std::string& path) override;
    ScriptReply TransformPoint(int fromEpsg, int toEpsg, ScriptPoint& point) override;
    int ScriptOption(const std::string& prompt, const std::vector<std::string>& choices) override;
    bool ScriptBrowseColor(std::uint32_t& colour) override;
    std::string ScriptFolder() override;

    std::uint32_t FindPlugin(const std::string& guidText) override;
    bool GetPluginInfo(std::uint32_t plugin, ScriptPluginInfo& info) override;
    ScriptReply InvokePlugin(void* record, const std::string& guidText, const char* name,
                             const std::vector<ScriptPluginValue>& arguments, ScriptPluginAnswer& answer) override;
    std::uint32_t WorkspaceHandle(void* record) override;
    ScriptHandleKind HandleKind(std::uint32_t handle) override;
    bool LocateShape(std::uint32_t shape, std::uint32_t& theme, int& position) override;

    // A layer a script made in an empty workspace is, like the first shape
    // file opened there, shown whole: once the run has put shapes in it and
    // it is still the workspace's only theme, the map shows it whole. Called
    // after every run and by refresh(); a script that centres or zooms the
    // map itself keeps its own view.
    void FitFirstLayer();

private:
    std::unique_ptr<CStatusBarProgressCtrl> m_Progress;
    // The first layer of an empty workspace, waiting for its shapes, and the
    // workspace record it was made through; 0 when none waits.
    std::uint32_t m_FirstLayer = 0;
    void* m_FirstLayerRecord = nullptr;
};
