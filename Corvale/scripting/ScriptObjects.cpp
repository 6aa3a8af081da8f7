#include "scripting/ScriptObjects.h"

#include "core/Theme.h"
#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapePiece.h"
#include "geometry/SpatialPredicates.h"
#include "platform/ByteOrder.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/JSHandler.h"
#include "scripting/ScriptPlugins.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"
#include "ui/StatusBarProgressCtrl.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The console flag under which scripts print (the console's debug flags).
constexpr unsigned char kScriptsDebugFlag = 8;

const char* const kNullLayer = "Trying to access a null Layer object";
const char* const kNullShape = "Trying to access a null Shape object";

std::string& ScriptFolderSetting() {
    static std::string folder;
    return folder;
}

ScriptAttributeChooser& AttributeChooser() {
    static ScriptAttributeChooser chooser;
    return chooser;
}

CCorvaleDoc* DocumentOf(void* record) {
    auto* workspace = static_cast<ScriptWorkspaceRecord*>(record);
    return workspace != nullptr ? GpiWorkspaceFromHandle(workspace->workspace) : nullptr;
}

CTheme* ThemeOf(std::uint32_t handle) { return handle != 0 ? GpiThemeFromHandle(handle) : nullptr; }

CShapeRecord* RecordOf(std::uint32_t handle) { return handle != 0 ? GpiShapeFromHandle(handle) : nullptr; }

std::string OutOfBounds(int index) { return "Index out of bounds. (was " + std::to_string(index) + ")"; }

int ShapeIndexOf(const CShapeRecord* record) { return GetShapeRecordIndex(record); }

// A one-part polyline or polygon through the points as given (a ring is not
// closed here).
CShapeRecordPtr BuildOnePart(bool polygon, const std::vector<ScriptPoint>& points) {
    const auto count = static_cast<std::uint32_t>(points.size());
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = count;
    auto* buffer = new unsigned char[CShapeRecordBuilder::RecordSize(1, count)];
    CShapeRecordPtr record(CShapeRecord::FromBytes(buffer));
    builder.m_Record = buffer;
    if (!(polygon ? builder.BeginPolygon() : builder.BeginPolyline()))
        return nullptr;
    for (const ScriptPoint& point : points)
        builder.AddPoint(point.x, point.y);
    return record;
}

// The document marked modified after a script added a shape; nothing when
// the script's workspace has gone.
void MarkModified(void* record) {
    if (CCorvaleDoc* document = DocumentOf(record))
        document->SetModifiedFlag(true);
}

// The record of a shape of the theme, with the theme; the reply says which
// of the two is missing.
ScriptReply Resolve(std::uint32_t themeHandle, std::uint32_t shapeHandle, CTheme*& theme, CShapeRecord*& record) {
    theme = ThemeOf(themeHandle);
    record = RecordOf(shapeHandle);
    if (theme == nullptr || record == nullptr)
        return ScriptReply::Fail(kNullShape);
    return ScriptReply::Ok();
}

// As Resolve, for an edit: a read-only theme fails with readOnlyMessage.
ScriptReply ResolveEditable(std::uint32_t themeHandle, std::uint32_t shapeHandle,
                            const char* readOnlyMessage, CTheme*& theme, CShapeRecord*& record) {
    const ScriptReply reply = Resolve(themeHandle, shapeHandle, theme, record);
    if (reply.Failed() || theme->m_Editable)
        return reply;
    return ScriptReply::Fail(readOnlyMessage);
}

// The shape handles of visible positions.
void HandlesOfPositions(CTheme& theme, const std::vector<int>& positions, std::vector<std::uint32_t>& shapes) {
    shapes.clear();
    for (int position : positions)
        if (CShapeRecord* record = theme.GetShape(position))
            shapes.push_back(GpiShapeHandle(record));
}

// The reference systems of two EPSG codes; false when either is unknown.
bool RefSysPairOf(int fromEpsg, int toEpsg, int& from, int& to) {
    try {
        from = FindRefSysByEpsg(static_cast<std::uint32_t>(fromEpsg));
        to = FindRefSysByEpsg(static_cast<std::uint32_t>(toEpsg));
    } catch (...) {
        return false;
    }
    return true;
}

}  // namespace

// Declares `target`, the theme of the Layer's handle; a Layer whose theme has
// gone answers the null-Layer message.
#define LAYER_THEME_OR_FAIL(target, handle)                                                                            \
    CTheme* target = ThemeOf(handle);                                                                                  \
    if (target == nullptr)                                                                                             \
        return ScriptReply::Fail(kNullLayer);

void SetScriptAttributeChooser(ScriptAttributeChooser chooser) { AttributeChooser() = std::move(chooser); }

CScriptObjectModel::CScriptObjectModel() = default;
CScriptObjectModel::~CScriptObjectModel() = default;

// ---------------------------------------------------------------------------
// Workspace
// ---------------------------------------------------------------------------

bool CScriptObjectModel::HasDocument(void* record) { return DocumentOf(record) != nullptr; }

std::string CScriptObjectModel::DocumentName(void* record) {
    CCorvaleDoc* document = DocumentOf(record);
    return document != nullptr ? document->GetTitle() : std::string();
}

int CScriptObjectModel::ThemeCount(void* record) {
    CCorvaleDoc* document = DocumentOf(record);
    return document != nullptr ? static_cast<int>(document->m_themes.size()) : -1;
}

std::uint32_t CScriptObjectModel::ThemeAt(void* record, int index) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr || index < 0 || static_cast<std::size_t>(index) >= document->m_themes.size())
        return 0;
    return GpiThemeHandle(document->m_themes[static_cast<std::size_t>(index)]);
}

void CScriptObjectModel::Refresh(void* record) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return;
    FitFirstLayer();
    document->FireUpdateEvent(nullptr, DUE_Refresh, 0);
    if (document->m_mapView != nullptr)
        if (auto* widget = qobject_cast<QWidget*>(document->m_mapView->GetMessageObject()))
            widget->repaint();
}

void CScriptObjectModel::PrintLine(void* record, const std::string& text) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr || (document->m_debugFlags & kScriptsDebugFlag) == 0)
        return;
    if (CConsoleDialog* console = document->GetConsole())
        console->PrintLine(text);
}

bool CScriptObjectModel::LoadToBottom() { return CAppSettings::GetInstance()->m_LoadToBottom != 0; }

std::uint32_t CScriptObjectModel::NewTheme(void* record, const std::string& name, std::uint32_t shapeType,
                                           bool hasTemplate, std::uint32_t templateTheme) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return 0;
    const bool wasEmpty = document->m_themes.empty();
    CTheme* theme = document->NewTheme(hasTemplate ? ThemeOf(templateTheme) : nullptr, name, shapeType, hasTemplate);
    if (theme == nullptr)
        return 0;
    if (wasEmpty) {
        m_FirstLayer = GpiThemeHandle(theme);
        m_FirstLayerRecord = record;
    }
    return GpiThemeHandle(theme);
}

void CScriptObjectModel::FitFirstLayer() {
    if (m_FirstLayer == 0)
        return;
    CCorvaleDoc* document = DocumentOf(m_FirstLayerRecord);
    CTheme* theme = ThemeOf(m_FirstLayer);
    if (document == nullptr || theme == nullptr || document->m_themes.size() != 1 ||
        document->m_themes.front() != theme) {
        m_FirstLayer = 0;
        return;
    }
    // Still without shapes: the next run may add them.
    if (!theme->m_BoundsValid)
        return;
    m_FirstLayer = 0;
    document->ZoomToFullExtent(nullptr);
    document->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

bool CScriptObjectModel::RemoveTheme(void* record, std::uint32_t theme) {
    CCorvaleDoc* document = DocumentOf(record);
    CTheme* target = ThemeOf(theme);
    if (document == nullptr || target == nullptr)
        return false;
    return document->RemoveTheme(target);
}

void CScriptObjectModel::MoveTheme(void* record, int from, int to) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return;
    std::vector<CTheme*>& themes = document->m_themes;
    if (from < 0 || static_cast<std::size_t>(from) >= themes.size() || to < 0 ||
        static_cast<std::size_t>(to) >= themes.size())
        return;
    CTheme* moved = themes[static_cast<std::size_t>(from)];
    themes.erase(themes.begin() + from);
    themes.insert(themes.begin() + to, moved);
    document->FireUpdateEvent(nullptr, DUE_ThemeOrderChanged, 0);
}

std::uint32_t CScriptObjectModel::LoadShapeFile(void* record, const std::string& path) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return 0;
    CTheme* theme = document->LoadShapeFile(path, false);
    return theme != nullptr ? GpiThemeHandle(theme) : 0;
}

void CScriptObjectModel::SetProgress(void* record, int percent) {
    if (DocumentOf(record) == nullptr)
        return;
    if (m_Progress == nullptr) {
        m_Progress = std::make_unique<CStatusBarProgressCtrl>();
        m_Progress->SetText(QStringLiteral("JavaScript:"));
    }
    m_Progress->SetPos(percent);
}

void CScriptObjectModel::CenterMap(void* record, double x, double y) {
    if (CCorvaleDoc* document = DocumentOf(record)) {
        m_FirstLayer = 0;
        document->CenterMap(x, y);
    }
}

void CScriptObjectModel::Zoom(void* record, double factor) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return;
    const double* extent = document->m_viewExtent;
    const double cx = (extent[0] + extent[2]) * 0.5;
    const double cy = (extent[1] + extent[3]) * 0.5;
    const double halfWidth = (extent[2] - extent[0]) * 0.5 * factor;
    const double halfHeight = (extent[3] - extent[1]) * 0.5 * factor;
    const double zoomed[4] = {cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
    m_FirstLayer = 0;
    document->SetViewExtent(zoomed);
}

bool CScriptObjectModel::SaveMapImage(void* record, const std::string& path, std::uint32_t colour) {
    CCorvaleDoc* document = DocumentOf(record);
    return document != nullptr && document->RequestSaveMapImage(path, &colour);
}

int CScriptObjectModel::ChooseTheme(void* record, const std::string& caption) {
    CCorvaleDoc* document = DocumentOf(record);
    const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
    if (document == nullptr || !dialogs.chooseTheme)
        return -1;
    CTheme* chosen = dialogs.chooseTheme(document, caption, 1u | 2u | 4u | 8u);
    const auto found = std::find(document->m_themes.begin(), document->m_themes.end(), chosen);
    return chosen != nullptr && found != document->m_themes.end()
               ? static_cast<int>(found - document->m_themes.begin())
               : -1;
}

bool CScriptObjectModel::GetBackground(void* record, std::uint32_t& colour) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return false;
    colour = document->m_backgroundColor;
    return true;
}

bool CScriptObjectModel::SetBackground(void* record, std::uint32_t colour) {
    CCorvaleDoc* document = DocumentOf(record);
    if (document == nullptr)
        return false;
    document->m_backgroundColor = colour;
    return true;
}

// ---------------------------------------------------------------------------
// Layer
// ---------------------------------------------------------------------------

int CScriptObjectModel::ThemeShapeType(std::uint32_t theme) {
    CTheme* target = ThemeOf(theme);
    return target != nullptr ? static_cast<int>(target->m_ShapeType) : -1;
}

bool CScriptObjectModel::GetThemeColor(std::uint32_t theme, std::uint32_t& colour) {
    CTheme* target = ThemeOf(theme);
    if (target == nullptr)
        return false;
    colour = target->m_Color;
    return true;
}

bool CScriptObjectModel::SetThemeColor(std::uint32_t theme, std::uint32_t colour, bool restyle) {
    CTheme* target = ThemeOf(theme);
    if (target == nullptr)
        return false;
    target->m_Color = colour;
    if (restyle)
        target->UpdateStyles();
    return true;
}

ScriptReply CScriptObjectModel::GetLayerProperty(void* record, std::uint32_t theme, int id, ScriptValue& value) {
    CTheme* target = ThemeOf(theme);
    CCorvaleDoc* document = DocumentOf(record);
    if (target == nullptr || document == nullptr)
        return ScriptReply::Fail(kNullLayer);
    switch (id) {
    case SLP_Name:
        value = ScriptValue::OfText(target->m_Name);
        break;
    case SLP_Visible:
        value = ScriptValue::OfBoolean(target->m_Visible);
        break;
    case SLP_ReadOnly:
        value = ScriptValue::OfBoolean(!target->m_Editable);
        break;
    case SLP_Comment:
        value = ScriptValue::OfText(target->m_Comment);
        break;
    case SLP_DataSource: {
        const std::uint32_t source = target->m_SourceType;
        value = ScriptValue::OfText(source >= ST_ShapeFile && source <= ST_Native ? GetSourceTypeName(source)
                                                                                   : "ST_Unknown");
        break;
    }
    case SLP_ShapeCount:
        value = ScriptValue::OfInteger(target->GetShapeCount());
        break;
    case SLP_SelectionCount:
        value = ScriptValue::OfInteger(static_cast<std::int32_t>(target->m_Selection.size()));
        break;
    case SLP_AttributeCount:
        value = ScriptValue::OfInteger(static_cast<std::int32_t>(target->GetAttributeCount()));
        break;
    case SLP_Selected:
        value = ScriptValue::OfBoolean(document->IsThemeSelected(target));
        break;
    case SLP_LineWidth:
        value = ScriptValue::OfInteger(target->m_LineWidth);
        break;
    default:
        value = ScriptValue();
        break;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::SetLayerProperty(void* record, std::uint32_t theme, int id, const ScriptValue& value) {
    CTheme* target = ThemeOf(theme);
    CCorvaleDoc* document = DocumentOf(record);
    if (target == nullptr || document == nullptr)
        return ScriptReply::Fail(kNullLayer);
    switch (id) {
    case SLP_Name:
        target->m_Name = value.text;
        document->FireUpdateEvent(nullptr, DUE_Refresh, 0);
        break;
    case SLP_Visible:
        target->m_Visible = value.boolean;
        break;
    case SLP_ReadOnly:
        // Only the way to editable is offered; true leaves the theme as it is.
        if (!value.boolean && !target->m_Editable)
            target->ConvertToNative(true, false);
        break;
    case SLP_Comment:
        target->m_Comment = value.text;
        break;
    case SLP_Selected:
        document->SetThemeSelected(target, value.boolean);
        document->FireUpdateEvent(nullptr, DUE_Refresh, 0);
        break;
    case SLP_LineWidth:
        target->m_LineWidth = value.integer;
        target->UpdateDefaultStyle();
        target->UpdateStyles();
        break;
    default:
        break;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetShape(std::uint32_t theme, int position, std::uint32_t& shape) {
    LAYER_THEME_OR_FAIL(target, theme)
    if (position < 0 || position >= target->GetShapeCount())
        return ScriptReply::Fail(OutOfBounds(position));
    shape = GpiShapeHandle(target->GetShape(position));
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetSelectedShape(std::uint32_t theme, int n, std::uint32_t& shape) {
    LAYER_THEME_OR_FAIL(target, theme)
    if (n < 0 || static_cast<std::size_t>(n) >= target->m_Selection.size())
        return ScriptReply::Fail(OutOfBounds(n));
    CShapeRecord* record = target->GetSelectedShape(n);
    if (record == nullptr)
        return ScriptReply::Fail("Index out of bounds.");
    shape = GpiShapeHandle(record);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::AddShapeCopy(void* record, std::uint32_t theme, std::uint32_t source,
                                             std::uint32_t& shape) {
    shape = 0;
    LAYER_THEME_OR_FAIL(target, theme)
    CShapeRecord* copy = RecordOf(source);
    if (copy == nullptr)
        return ScriptReply::Fail("Null shape argument in Layer.createShape().");
    const std::uint32_t type = CShapeRecord::GetShapeType(copy);
    const std::uint32_t kind = target->m_ShapeType;
    CShapeRecord* added = nullptr;
    if (kind == SHT_Point || kind == SHT_PointZ) {
        if (!CShapeRecord::IsPointType(type))
            return ScriptReply::Fail("Illegal shape type in call to Layer.createShape().");
        added = target->AddPoint(copy, true, true, false);
    } else if (kind == SHT_Polyline || kind == SHT_PolylineZ) {
        if (!CShapeRecord::IsPolylineType(type))
            return ScriptReply::Fail("Illegal shape type in call to Layer.createShape().");
        added = target->AddArc(copy, true, true, false);
    } else if (kind == SHT_Polygon || kind == SHT_PolygonZ) {
        if (!CShapeRecord::IsPolygonType(type))
            return ScriptReply::Fail("Illegal shape type in call to Layer.createShape().");
        added = target->AddPolygon(copy, true, true, false);
    } else {
        return ScriptReply::Ok();
    }
    if (added != nullptr) {
        shape = GpiShapeHandle(added);
        MarkModified(record);
    }
    target->RecalculateBounds();
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::AddShapePoints(void* record, std::uint32_t theme,
                                               const std::vector<ScriptPoint>& points, std::uint32_t& shape) {
    shape = 0;
    LAYER_THEME_OR_FAIL(target, theme)
    const std::uint32_t kind = target->m_ShapeType;
    CShapeRecord* added = nullptr;
    if ((kind == SHT_Point || kind == SHT_PointZ) && points.size() == 1) {
        added = target->AddPointAt(true, true, points[0].x, points[0].y);
    } else if ((kind == SHT_Polyline || kind == SHT_PolylineZ) && points.size() >= 2) {
        CShapeRecordPtr line = BuildOnePart(false, points);
        if (line != nullptr)
            added = target->AddArc(line.get(), true, true, false);
    } else if ((kind == SHT_Polygon || kind == SHT_PolygonZ) && points.size() >= 3) {
        // The ring is closed by repeating its first point.
        std::vector<ScriptPoint> ring = points;
        ring.push_back(points.front());
        CShapeRecordPtr polygon = BuildOnePart(true, ring);
        if (polygon != nullptr)
            added = target->AddPolygon(polygon.get(), true, true, false);
    }
    if (added != nullptr) {
        shape = GpiShapeHandle(added);
        MarkModified(record);
    }
    target->RecalculateBounds();
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetAttributeName(std::uint32_t theme, int column, std::string& name) {
    LAYER_THEME_OR_FAIL(target, theme)
    if (column < 0 || static_cast<unsigned>(column) >= target->GetAttributeCount())
        return ScriptReply::Fail(OutOfBounds(column));
    name = target->GetAttributeName(column);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::AddAttribute(std::uint32_t theme, const std::string& name, int& column) {
    LAYER_THEME_OR_FAIL(target, theme)
    if (!target->m_Editable)
        return ScriptReply::Fail("Trying to alter a read-only Layer object");
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = FT_String;
    column = target->AddAttribute(info, nullptr, nullptr);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::RecalcLayerBounds(std::uint32_t theme) {
    LAYER_THEME_OR_FAIL(target, theme)
    target->RecalculateBounds();
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::FindClosestShapes(std::uint32_t theme, double x, double y, bool& found,
                                                  std::vector<std::uint32_t>& shapes) {
    LAYER_THEME_OR_FAIL(target, theme)
    std::vector<int> positions;
    found = target->FindClosestShapes(positions, x, y);
    if (found)
        HandlesOfPositions(*target, positions, shapes);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetIntersectingShapes(std::uint32_t theme, std::uint32_t shape, bool& found,
                                                      std::vector<std::uint32_t>& shapes) {
    LAYER_THEME_OR_FAIL(target, theme)
    CShapeRecord* record = RecordOf(shape);
    if (record == nullptr)
        return ScriptReply::Fail(kNullShape);
    std::vector<int> positions;
    found = target->GetIntersectingShapes(record, positions);
    if (found)
        HandlesOfPositions(*target, positions, shapes);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::ChooseAttribute(std::uint32_t theme, const std::string& caption, int& column) {
    LAYER_THEME_OR_FAIL(target, theme)
    std::vector<std::string> names;
    for (unsigned i = 0; i < target->GetAttributeCount(); ++i)
        names.push_back(target->GetAttributeName(static_cast<int>(i)));
    column = -1;
    if (AttributeChooser()) {
        column = AttributeChooser()(caption, names);
    } else if (!names.empty()) {
        QStringList items;
        for (const std::string& name : names)
            items << QString::fromStdString(name);
        bool ok = false;
        const QString chosen = QInputDialog::getItem(nullptr, QString::fromStdString(caption), QString(), items, 0,
                                                     false, &ok);
        if (ok)
            column = static_cast<int>(items.indexOf(chosen));
    }
    if (column < 0 || static_cast<std::size_t>(column) >= names.size())
        column = -1;
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::MoveShape(std::uint32_t theme, std::uint32_t shape, int position, bool& moved) {
    moved = false;
    LAYER_THEME_OR_FAIL(target, theme)
    if (!target->m_Editable)
        return ScriptReply::Fail("Trying to edit a read-only Layer object.");
    if (target->GetFilteredShapeCount() != 0)
        return ScriptReply::Fail("Shape Z-order cannot be changed while filters are used, Layer.moveShape().");
    CShapeRecord* record = RecordOf(shape);
    if (record == nullptr)
        return ScriptReply::Fail(kNullShape);
    if (!target->IsShapeVisible(record))
        return ScriptReply::Fail("The shape is not part of this layer, Layer.moveShape().");
    if (target->m_SourceType != ST_Native)
        return ScriptReply::Ok();
    const int count = target->GetShapeCount();
    const int clamped = std::max(0, std::min(position, count));
    // The theme moves the record, its row, its style and its selection entry,
    // and re-keys the selection of every shape it passes, so that no entry is
    // left naming another shape.
    moved = target->MoveShape(record, clamped, true);
    if (moved)
        target->m_Modified = true;
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::ClearSelection(std::uint32_t theme) {
    LAYER_THEME_OR_FAIL(target, theme)
    target->ClearSelection();
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::TransformTheme(std::uint32_t theme, int fromEpsg, int toEpsg) {
    LAYER_THEME_OR_FAIL(target, theme)
    int from = -1;
    int to = -1;
    if (!RefSysPairOf(fromEpsg, toEpsg, from, to))
        return ScriptReply::Fail("Unsupported reference system in call to Layer.transform().");
    // The records of a theme that is not editable may lie in a read-only
    // file mapping or belong to another theme.
    if (!target->m_Editable)
        return ScriptReply::Fail("Trying to edit a read-only Layer object.");
    // Every record is converted into a copy first; the theme changes only
    // when all of them converted, so a failure leaves it as it was.
    const CRefSysConverter converter(from, to);
    std::vector<std::pair<CShapeRecord*, CShapeRecordPtr>> converted;
    for (const auto* list : {&target->m_Polygons, &target->m_Arcs, &target->m_Points}) {
        for (CShapeRecord* record : *list) {
            if (record == nullptr)
                continue;
            CShapeRecordPtr copy(CloneShapeRecord(record));
            const bool point = CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record));
            if (copy == nullptr ||
                !(point ? ReprojectPointShape(copy.get(), converter) : ReprojectShape(copy.get(), converter)))
                return ScriptReply::Fail("Error transforming coordinate in call to Layer.transform().");
            converted.emplace_back(record, std::move(copy));
        }
    }
    for (auto& [record, copy] : converted)
        std::memcpy(CShapeRecord::Bytes(record), CShapeRecord::Bytes(copy.get()), CShapeRecord::GetSize(copy.get()));
    target->RecalculateBounds();
    target->DeleteSpatialIndex();
    target->BuildSpatialIndex();
    target->m_Modified = true;
    return ScriptReply::Ok();
}

// ---------------------------------------------------------------------------
// Shape
// ---------------------------------------------------------------------------

ScriptReply CScriptObjectModel::GetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id,
                                                 ScriptValue& value) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    const std::uint32_t type = target->m_ShapeType;
    const int shapeIndex = ShapeIndexOf(record);
    switch (id) {
    case SSP_Type: {
        const char* name = "Unknown";
        switch (type) {
        case 0: name = "NullShape"; break;
        case 1: name = "Point"; break;
        case 3: name = "Polyline"; break;
        case 5: name = "Polygon"; break;
        case 8: name = "MultiPoint"; break;
        case 11: name = "PointZ"; break;
        case 13: name = "PolylineZ"; break;
        case 15: name = "PolygonZ"; break;
        default: break;
        }
        value = ScriptValue::OfText(name);
        break;
    }
    case SSP_AttributeCount:
        value = ScriptValue::OfInteger(static_cast<std::int32_t>(target->GetAttributeCount()));
        break;
    case SSP_PartCount:
        if (type == SHT_Point || type == SHT_PointZ)
            value = ScriptValue::OfInteger(1);
        else if (CShapeRecord::IsMultiType(type))
            value = ScriptValue::OfInteger(static_cast<std::int32_t>(CShapeRecord::GetPartCount(record)));
        else
            return ScriptReply::Silent();
        break;
    case SSP_Selected:
        value = ScriptValue::OfBoolean(target->m_Selection.count(shapeIndex) != 0);
        break;
    case SSP_SelectionIndex: {
        const int index = target->GetSelectionIndex(shapeIndex);
        if (index < 0)
            return ScriptReply::Fail("Trying to get selectionIndex on a non selected Shape.");
        value = ScriptValue::OfInteger(index);
        break;
    }
    case SSP_Color: {
        const CStyleInfo* style = target->GetShapeStyle(target->GetShapePosition(shapeIndex));
        const std::uint32_t colour = style != nullptr ? style->m_Color : target->m_Color;
        value = ScriptValue::OfInteger(static_cast<std::int32_t>(colour & 0x00FFFFFFu));
        break;
    }
    case SSP_Index:
        value = ScriptValue::OfInteger(shapeIndex);
        break;
    default:
        value = ScriptValue();
        break;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::SetShapeProperty(std::uint32_t theme, std::uint32_t shape, int id,
                                                 const ScriptValue& value) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed() || id != SSP_Selected)
        return reply;
    const int shapeIndex = ShapeIndexOf(record);
    if (value.boolean)
        target->AddToSelection(shapeIndex, target->GetShapePosition(shapeIndex), target->m_LineWidth,
                               CAppSettings::GetInstance()->m_ColorSelection);
    else
        target->RemoveFromSelection(shapeIndex);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetShapeAttribute(std::uint32_t theme, std::uint32_t shape, bool byName, int column,
                                                  const std::string& name, std::string& text) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    const int count = static_cast<int>(target->GetAttributeCount());
    if (byName) {
        column = -1;
        for (int i = 0; i < count && column < 0; ++i) {
            const std::string candidate = target->GetAttributeName(i);
            if (candidate.size() == name.size() &&
                std::equal(candidate.begin(), candidate.end(), name.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                }))
                column = i;
        }
        if (column < 0)
            return ScriptReply::Fail("Column '" + name + "' not found.");
    }
    if (column < 0 || column >= count)
        return ScriptReply::Fail(OutOfBounds(column));
    text = target->GetAttributeText(ShapeIndexOf(record), column);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::SetShapeAttribute(std::uint32_t theme, std::uint32_t shape, int column,
                                                  const std::string& text, bool& done) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply =
        ResolveEditable(theme, shape, "Trying to alter a read-only Shape object", target, record);
    if (reply.Failed())
        return reply;
    if (column < 0 || static_cast<unsigned>(column) >= target->GetAttributeCount())
        return ScriptReply::Fail(OutOfBounds(column));
    done = target->SetAttributeText(ShapeIndexOf(record), column, text, true);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetCoordCount(std::uint32_t theme, std::uint32_t shape, int part, int& count) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    const std::uint32_t type = target->m_ShapeType;
    const bool multi = CShapeRecord::IsMultiType(type) &&
                       CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record));
    const int parts = multi ? static_cast<int>(CShapeRecord::GetPartCount(record)) : 1;
    if (part < 0 || part >= parts)
        return ScriptReply::Fail(OutOfBounds(part));
    if (!multi) {
        count = 1;
        return ScriptReply::Ok();
    }
    const auto start = CShapeRecord::GetPartStart(record, static_cast<std::uint32_t>(part));
    const auto end = part + 1 < parts ? CShapeRecord::GetPartStart(record, static_cast<std::uint32_t>(part + 1))
                                      : CShapeRecord::GetPointCount(record);
    count = static_cast<int>(end) - static_cast<int>(start);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::GetVertexIndex(std::uint32_t theme, std::uint32_t shape, int part, int vertex,
                                               bool& isShape, int& index) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    const std::uint32_t type = target->m_ShapeType;
    isShape = true;
    if (type == SHT_Point || type == SHT_PointZ) {
        if (part != 0)
            return ScriptReply::Fail(OutOfBounds(part));
        index = 0;
        return ScriptReply::Ok();
    }
    if (!CShapeRecord::IsMultiType(type) ||
        !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record))) {
        isShape = false;
        return ScriptReply::Ok();
    }
    int count = 0;
    const ScriptReply counted = GetCoordCount(theme, shape, part, count);
    if (counted.Failed())
        return counted;
    if (vertex < 0 || vertex >= count)
        return ScriptReply::Fail(OutOfBounds(vertex));
    index = static_cast<int>(CShapeRecord::GetPartStart(record, static_cast<std::uint32_t>(part))) + vertex;
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::RecalcShapeBounds(std::uint32_t theme, std::uint32_t shape) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    if (CShapeRecord::IsMultiType(target->m_ShapeType) && target->m_Editable) {
        ::RecalcShapeBounds(record);
        target->m_Modified = true;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::RotateShape(std::uint32_t theme, std::uint32_t shape, double cx, double cy,
                                            double angle) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = ResolveEditable(
        theme, shape, "Trying to edit a shape in a read-only layer", target, record);
    if (reply.Failed())
        return reply;
    if (::RotateShape(record, cx, cy, angle)) {
        target->ReindexShape(record);
        target->m_Modified = true;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::TranslateShape(std::uint32_t theme, std::uint32_t shape, double dx, double dy) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = ResolveEditable(
        theme, shape, "Trying to edit a shape in a read-only layer", target, record);
    if (reply.Failed())
        return reply;
    if (::TranslateShape(record, dx, dy)) {
        target->ReindexShape(record);
        target->m_Modified = true;
    }
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::ShapesIntersect(std::uint32_t theme, std::uint32_t shape, std::uint32_t other,
                                                bool& intersects) {
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = Resolve(theme, shape, target, record);
    if (reply.Failed())
        return reply;
    CShapeRecord* otherRecord = RecordOf(other);
    if (otherRecord == nullptr)
        return ScriptReply::Fail(kNullShape);
    intersects = ::ShapesIntersect(record, otherRecord);
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::AddPart(std::uint32_t theme, std::uint32_t shape,
                                        const std::vector<ScriptPoint>& points, bool& added) {
    added = false;
    CTheme* target = nullptr;
    CShapeRecord* record = nullptr;
    const ScriptReply reply = ResolveEditable(
        theme, shape, "Trying to edit a Shape object in a read-only Layer", target, record);
    if (reply.Failed())
        return reply;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (!CShapeRecord::IsMultiType(type))
        return ScriptReply::Fail("Unsupported shape type for Shape.addPart()");
    const bool polygon = CShapeRecord::IsPolygonType(type);
    if (points.size() < (polygon ? 3u : 2u))
        return ScriptReply::Fail("Illegal argument in call to Shape.addPart()");
    CShapeRecordPtr part = BuildOnePart(polygon, points);
    if (part == nullptr)
        return ScriptReply::Ok();
    CShapeRecordPtr combined(polygon ? CombinePolygonShapes(record, part.get())
                                     : CombinePolylineShapes(record, part.get()));
    if (combined == nullptr)
        return ScriptReply::Ok();
    // The theme gives the copy the old record's number and moves the shape's
    // handle to it: Shape objects and bound Coords follow the new record.
    if (target->ReplaceShape(combined.get(), record) != nullptr) {
        target->RecalculateBounds();
        target->m_Modified = true;
        added = true;
    }
    return ScriptReply::Ok();
}

// ---------------------------------------------------------------------------
// Bound Coord
// ---------------------------------------------------------------------------

ScriptReply CScriptObjectModel::GetVertex(std::uint32_t shape, int index, ScriptPoint& point) {
    CShapeRecord* record = RecordOf(shape);
    if (record == nullptr)
        return ScriptReply::Fail(kNullShape);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (!CShapeRecord::IsPointType(type) &&
        (index < 0 || static_cast<std::uint32_t>(index) >= CShapeRecord::GetPointCount(record)))
        return ScriptReply::Fail(OutOfBounds(index));
    const CShapePoint p = CShapeRecord::GetPoint(record, static_cast<std::uint32_t>(index));
    point = {p.x, p.y};
    return ScriptReply::Ok();
}

ScriptReply CScriptObjectModel::SetVertex(std::uint32_t theme, std::uint32_t shape, int index, int coordinate,
                                          double value) {
    CTheme* target = ThemeOf(theme);
    if (target == nullptr)
        return ScriptReply::Fail("Trying to access a null Layer object.");
    if (!target->m_Editable)
        return ScriptReply::Warn("Warning: Trying to modify a Coord in a non writable Layer.");
    CShapeRecord* record = RecordOf(shape);
    if (record == nullptr)
        return ScriptReply::Fail(kNullShape);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type)) {
        corvale::WriteLEDouble(CShapeRecord::Bytes(record) + (coordinate == 0 ? 12 : 20), value);
        return ScriptReply::Ok();
    }
    if (index < 0 || static_cast<std::uint32_t>(index) >= CShapeRecord::GetPointCount(record))
        return ScriptReply::Fail(OutOfBounds(index));
    CShapePoint p = CShapeRecord::GetPoint(record, static_cast<std::uint32_t>(index));
    (coordinate == 0 ? p.x : p.y) = value;
    CShapeRecord::SetPointAt(record, static_cast<std::uint32_t>(index), p.x, p.y);
    return ScriptReply::Ok();
}

// ---------------------------------------------------------------------------
// Global functions
// ---------------------------------------------------------------------------

namespace {
const char* const kScriptCaption = "Corvale: JavaScript";
}  // namespace

bool CScriptObjectModel::ScriptMessage(const std::string& text, bool withCancel) {
    const int answer = corvale::UI().ShowMessage(text, corvale::MessageIcon::Warning,
                                                 withCancel ? corvale::MessageButtons::OkCancel
                                                            : corvale::MessageButtons::Ok);
    return answer == corvale::IDOK;
}

bool CScriptObjectModel::ScriptInput(const std::string& prompt, std::string& text) {
    return corvale::UI().AskText(kScriptCaption, prompt, text);
}

bool CScriptObjectModel::ScriptBrowseFile(bool save, const std::string& title, std::string& path) {
    corvale::FileDialogRequest request;
    request.title = title;
    request.filter = "All Files (*.*)|*.*||";
    if (save)
        return corvale::UI().ChooseSaveFile(request, path) && !path.empty();
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return false;
    path = paths.front();
    return true;
}

bool CScriptObjectModel::ScriptBrowseFolder(std::string& path) {
    return corvale::UI().ChooseFolder({}, path) && !path.empty();
}

ScriptReply CScriptObjectModel::TransformPoint(int fromEpsg, int toEpsg, ScriptPoint& point) {
    int from = -1;
    int to = -1;
    if (!RefSysPairOf(fromEpsg, toEpsg, from, to))
        return ScriptReply::Fail("Unsupported reference system in call to transform().");
    const CRefSysConverter converter(from, to);
    double x = 0.0;
    double y = 0.0;
    if (!converter.Convert(point.x, point.y, x, y))
        return ScriptReply::Fail("Error transforming coordinate in call to transform().");
    point = {x, y};
    return ScriptReply::Ok();
}

int CScriptObjectModel::ScriptOption(const std::string& prompt, const std::vector<std::string>& choices) {
    const int chosen = corvale::UI().AskChoice(kScriptCaption, prompt, choices);
    return chosen >= 0 && static_cast<std::size_t>(chosen) < choices.size() ? chosen : -1;
}

bool CScriptObjectModel::ScriptBrowseColor(std::uint32_t& colour) {
    colour = 0;
    if (!corvale::UI().ChooseColor(kScriptCaption, colour))
        return false;
    colour &= 0x00FFFFFFu;
    return true;
}

void SetScriptFolder(const std::string& folder) { ScriptFolderSetting() = folder; }

std::string CScriptObjectModel::ScriptFolder() {
    if (!ScriptFolderSetting().empty())
        return ScriptFolderSetting();
    if (QCoreApplication::instance() == nullptr)
        return {};
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/Scripts/")).toStdString();
}

// ---------------------------------------------------------------------------
// GPI plug-ins
// ---------------------------------------------------------------------------

std::uint32_t CScriptObjectModel::FindPlugin(const std::string& guidText) {
    CGpiLockGuard guard;
    const CGpiPlugin* plugin = FindGpiPluginByGuid(guidText);
    return plugin != nullptr ? plugin->m_Identity : 0;
}

bool CScriptObjectModel::GetPluginInfo(std::uint32_t plugin, ScriptPluginInfo& info) {
    CGpiLockGuard guard;
    const CGpiPlugin* listed = plugin != 0 ? GpiFindPlugin(plugin) : nullptr;
    if (listed == nullptr)
        return false;
    info = ScriptPluginInfo();
    info.guidText = listed->m_GuidText;
    info.hasName = listed->m_InitInfo.name != nullptr;
    if (info.hasName)
        info.name = listed->m_InitInfo.name;
    info.file = listed->m_Path;
    info.properties = listed->m_PropertyNames;
    info.methods = listed->m_MethodNames;
    return true;
}

ScriptReply CScriptObjectModel::InvokePlugin(void* record, const std::string& guidText, const char* name,
                                             const std::vector<ScriptPluginValue>& arguments,
                                             ScriptPluginAnswer& answer) {
    const auto* workspace = static_cast<ScriptWorkspaceRecord*>(record);
    return CallScriptPlugin(guidText, workspace != nullptr ? workspace->workspace : 0, name, arguments, answer);
}

std::uint32_t CScriptObjectModel::WorkspaceHandle(void* record) {
    const auto* workspace = static_cast<ScriptWorkspaceRecord*>(record);
    return workspace != nullptr ? workspace->workspace : 0;
}

ScriptHandleKind CScriptObjectModel::HandleKind(std::uint32_t handle) {
    CGpiLockGuard guard;
    switch (GpiGetHandleKind(handle)) {
    case GPIHANDLE_Theme: return SHK_Theme;
    case GPIHANDLE_Shape: return SHK_Shape;
    default: return SHK_Other;
    }
}

bool CScriptObjectModel::LocateShape(std::uint32_t shape, std::uint32_t& theme, int& position) {
    CShapeRecord* record = RecordOf(shape);
    CTheme* holder = nullptr;
    {
        CGpiLockGuard guard;
        holder = record != nullptr ? GpiThemeOfShape(record) : nullptr;
    }
    if (holder == nullptr)
        return false;
    position = holder->GetShapePosition(ShapeIndexOf(record));
    if (position < 0)
        return false;
    theme = GpiThemeHandle(holder);
    return true;
}
