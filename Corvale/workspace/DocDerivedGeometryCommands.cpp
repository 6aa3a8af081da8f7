// Commands that derive new geometry from the active theme without changing
// its shapes: the end points of polylines as a numbered node theme (with the
// node numbers optionally written back as FNODE/TNODE), the mid points of
// polylines, the outlines of polygons, and one polyline through the selected
// points placed on the clipboard.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "formats/ThemeExport.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapePiece.h"
#include "workspace/CommandIds.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using corvale::MessageButtons;
using corvale::MessageIcon;

// Node points compare exactly, x first, then y: points that differ by any
// amount are different nodes. NaN sorts after every number so that a damaged
// coordinate cannot break the map's ordering.
struct NodeOrder {
    static bool Less(double a, double b) {
        const bool nanA = std::isnan(a);
        const bool nanB = std::isnan(b);
        if (nanA || nanB)
            return !nanA && nanB;
        return a < b;
    }
    bool operator()(const CShapePoint& a, const CShapePoint& b) const {
        if (Less(a.x, b.x))
            return true;
        if (Less(b.x, a.x))
            return false;
        return Less(a.y, b.y);
    }
};
// Numbers are counted in 64 bits: a start value near the top of int's range
// goes on counting instead of overflowing.
using NodeMap = std::map<CShapePoint, std::int64_t, NodeOrder>;

// A percentage of done out of total, safe for any count.
int Percent(std::size_t done, std::size_t total, int span) {
    if (total == 0)
        return 0;
    return static_cast<int>(static_cast<std::uint64_t>(done) * static_cast<std::uint64_t>(span) / total);
}

// The column of that name, appended as an integer column when the theme has
// none yet; -1 when it can neither be found nor added.
int IntegerColumn(CTheme& theme, const char* name, bool primaryKey) {
    const int existing = theme.FindAttribute(name);
    if (existing >= 0)
        return existing;
    CAttributeFieldInfo info;
    info.m_Name = name;
    // Room for any int with its sign.
    info.m_Length = 11;
    info.m_Type = FT_Int;
    info.m_PrimaryKey = primaryKey;
    return theme.AddAttribute(info, nullptr, nullptr);
}

// Every column of source appended to theme with the same descriptor.
void CopyColumns(CTheme& theme, CTheme& source) {
    const int fields = static_cast<int>(source.GetAttributeCount());
    for (int field = 0; field < fields; ++field)
        theme.AddAttribute(source.GetAttributeInfo(field), nullptr, nullptr);
}

// A new native theme of the document, not yet in its list; null when it
// cannot be made native.
std::unique_ptr<CTheme> MakeNativeTheme(CCorvaleDoc& doc, const std::string& name, std::uint32_t type) {
    std::unique_ptr<CTheme> theme(doc.CreateTheme(name, type));
    if (!theme->ConvertToNative(true, true))
        return nullptr;
    return theme;
}

} // namespace

void CCorvaleDoc::FinishDerivedTheme(CTheme* theme) {
    theme->ResetFilter();
    theme->ResetShapePositions();
    theme->RecalculateBounds();
    theme->UpdateStyles();
    theme->BuildSpatialIndex();
    AddTheme(theme);
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(theme));
}

CTheme* CCorvaleDoc::CreateEndPointTheme(CTheme* source, bool writeNodes, int firstNode) {
    if (source == nullptr || source->m_VisibleArcs.empty())
        return nullptr;
    corvale::IUserInterface& ui = corvale::UI();
    corvale::CBusyScope busy;
    int fromColumn = -1;
    int toColumn = -1;
    // An editable theme is native already; converting again would be
    // refused for a filtered theme, which can still take the numbers.
    if (writeNodes && (source->m_SourceType == ST_Native || source->ConvertToNative(true, true))) {
        // A second run numbers the nodes again into the columns of the first.
        fromColumn = IntegerColumn(*source, "FNODE", false);
        toColumn = IntegerColumn(*source, "TNODE", false);
    }
    std::unique_ptr<CTheme> theme = MakeNativeTheme(*this, "End points of " + source->m_Name, SHT_Point);
    if (theme == nullptr)
        return nullptr;
    const int nodeColumn = IntegerColumn(*theme, "NodeId", true);

    ui.BeginProgress();
    ui.SetProgressText("Collecting point info");
    NodeMap nodes;
    std::int64_t next = firstNode;
    const auto number = [&nodes, &next](const CShapePoint& point) {
        const auto found = nodes.emplace(point, next);
        if (found.second)
            ++next;
        return found.first->second;
    };
    const std::vector<CShapeRecord*>& lines = source->m_VisibleArcs;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CShapeRecord* line = lines[i];
        const std::uint32_t points = line != nullptr ? CShapeRecord::GetPointCount(line) : 0;
        if (points == 0)
            continue;
        // The start is numbered first: on a fresh map it gets the lower number.
        const std::int64_t from = number(CShapeRecord::GetPoint(line, 0));
        const std::int64_t to = number(CShapeRecord::GetPoint(line, points - 1));
        if (fromColumn >= 0 && toColumn >= 0) {
            const int row = GetShapeRecordIndex(line);
            source->SetAttributeText(row, fromColumn, std::to_string(from), true);
            source->SetAttributeText(row, toColumn, std::to_string(to), true);
        }
        ui.SetProgress(Percent(i, lines.size(), 50));
    }

    ui.SetProgressText("Writing point data");
    theme->ReserveShapes(static_cast<int>(nodes.size()));
    std::size_t k = 0;
    for (const auto& node : nodes) {
        CShapeRecordPtr point(CreatePointShape(node.first.x, node.first.y));
        CShapeRecord* added = point ? theme->AddPoint(point.get(), false, false, false) : nullptr;
        if (added != nullptr)
            theme->SetAttributeText(GetShapeRecordIndex(added), nodeColumn, std::to_string(node.second), false);
        ui.SetProgress(50 + Percent(k++, nodes.size(), 50));
    }
    ui.EndProgress();

    CTheme* result = theme.release();
    FinishDerivedTheme(result);
    if (fromColumn >= 0 && toColumn >= 0) {
        source->m_Modified = true;
        FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(source));
    }
    return result;
}

CTheme* CCorvaleDoc::CreateMidPointTheme(CTheme* source, bool copyAttributes, int& withoutMidPoint) {
    withoutMidPoint = 0;
    if (source == nullptr || source->m_VisibleArcs.empty())
        return nullptr;
    corvale::IUserInterface& ui = corvale::UI();
    corvale::CBusyScope busy;
    std::unique_ptr<CTheme> theme = MakeNativeTheme(*this, "Unnamed", SHT_Point);
    if (theme == nullptr)
        return nullptr;
    if (copyAttributes)
        CopyColumns(*theme, *source);
    const int fields = copyAttributes ? static_cast<int>(source->GetAttributeCount()) : 0;

    ui.BeginProgress();
    const std::vector<CShapeRecord*>& lines = source->m_VisibleArcs;
    theme->ReserveShapes(static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ui.SetProgress(Percent(i, lines.size(), 100));
        const CShapeRecord* line = lines[i];
        if (line == nullptr)
            continue;
        // A polyline without length has no mid point: it gets no point of
        // another polyline's, and is counted instead.
        CShapePoint mid;
        CShapeRecordPtr point;
        if (GetPolylineMidPoint(line, mid))
            point.reset(CreatePointShape(mid.x, mid.y));
        CShapeRecord* added = point ? theme->AddPoint(point.get(), false, false, false) : nullptr;
        if (added == nullptr) {
            ++withoutMidPoint;
            continue;
        }
        const int lineIndex = GetShapeRecordIndex(line);
        const int pointIndex = GetShapeRecordIndex(added);
        for (int field = 0; field < fields; ++field)
            theme->SetAttributeText(pointIndex, field, source->GetAttributeText(lineIndex, field), false);
    }
    ui.EndProgress();

    CTheme* result = theme.release();
    FinishDerivedTheme(result);
    return result;
}

CTheme* CCorvaleDoc::CreateOutlineTheme(CTheme* source) {
    if (source == nullptr || source->m_VisiblePolygons.empty())
        return nullptr;
    corvale::IUserInterface& ui = corvale::UI();
    corvale::CBusyScope busy;
    // A PolygonZ theme's rings become PolylineZ outlines.
    std::unique_ptr<CTheme> theme =
        MakeNativeTheme(*this, "Unnamed", source->HasZ() ? SHT_PolylineZ : SHT_Polyline);
    if (theme == nullptr)
        return nullptr;
    CopyColumns(*theme, *source);
    const int fields = static_cast<int>(source->GetAttributeCount());

    ui.BeginProgress();
    const std::vector<CShapeRecord*>& polygons = source->m_VisiblePolygons;
    theme->ReserveShapes(static_cast<int>(polygons.size()));
    for (std::size_t position = 0; position < polygons.size(); ++position) {
        CShapeRecord* polygon = polygons[position];
        if (polygon == nullptr)
            continue;
        CShapeRecord* added = theme->AddArc(polygon, false, false, false);
        if (added != nullptr) {
            const int index = GetShapeRecordIndex(added);
            for (int field = 0; field < fields; ++field)
                theme->SetAttributeText(index, field,
                                        source->GetAttributeTextAt(static_cast<int>(position), field), false);
        }
        ui.SetProgress(Percent(position, polygons.size(), 100));
    }
    ui.EndProgress();

    CTheme* result = theme.release();
    FinishDerivedTheme(result);
    return result;
}

bool CCorvaleDoc::PlacePolylineThroughSelectedPoints() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr || theme->m_VisiblePoints.empty() || theme->m_Selection.size() < 2)
        return false;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    corvale::CBusyScope busy(false);

    CShapePointList points;
    int firstIndex = -1;
    for (const auto& entry : theme->m_Selection) {
        // A filtered-out shape has no position and gives no point.
        const CShapeRecord* record = theme->GetShape(theme->GetShapePosition(entry.first));
        if (record == nullptr)
            continue;
        if (firstIndex < 0)
            firstIndex = entry.first;
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        const bool hasPoint = CShapeRecord::IsPointType(type) ||
                              (CShapeRecord::IsMultiType(type) && CShapeRecord::GetPointCount(record) > 0);
        points.push_back(hasPoint ? CShapeRecord::GetPoint(record, 0) : CShapePoint{0.0, 0.0});
    }
    CShapeRecordPtr polyline(CreatePolylineShape(points));
    if (polyline == nullptr)
        return false;

    try {
        const int fields = static_cast<int>(theme->GetAttributeCount());
        std::vector<CAttributeFieldInfo> columns;
        std::vector<std::string> shown;
        std::vector<std::string> values;
        for (int field = 0; field < fields; ++field) {
            columns.push_back(theme->GetAttributeInfo(field));
            if (theme->IsAttributeColumnShown(field))
                shown.push_back(theme->GetAttributeName(field));
            values.push_back(theme->GetAttributeText(firstIndex, field));
        }
        std::string text;
        FormatXmlAttributes(*theme, text, firstIndex, shown);
        text += "\r\n";
        std::string block;
        if (!AppendShapeClipboardBlock(block, SHT_Polyline, columns, {polyline.get()}, {values}))
            return false;
        auto data = std::make_unique<QMimeData>();
        data->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        data->setData(QString::fromLatin1(kShapeClipboardMime),
                      QByteArray(block.data(), static_cast<qsizetype>(block.size())));
        clipboard->setMimeData(data.release());
    } catch (const std::bad_alloc&) {
        corvale::UI().ShowMessage(kClipboardMemoryMessage, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    return true;
}

bool CCorvaleDoc::ActiveThemeHasPolylines() const {
    return m_activeTheme != nullptr && !m_activeTheme->m_VisibleArcs.empty();
}

void CCorvaleDoc::OnEndPoints() {
    if (!ActiveThemeHasPolylines())
        return;
    CTheme* theme = m_activeTheme;
    corvale::IUserInterface& ui = corvale::UI();
    bool writeNodes = false;
    if (theme->m_Editable) {
        const int answer = ui.ShowMessage(
            "Would you like to add node information to selected theme\n" + theme->m_Name + " ?",
            MessageIcon::Question, MessageButtons::YesNoCancel);
        if (answer == corvale::IDCANCEL)
            return;
        writeNodes = answer == corvale::IDYES;
    }
    int firstNode = 1;
    if (!ui.AskInteger("Start node value", std::string(), firstNode))
        return;
    CreateEndPointTheme(theme, writeNodes, firstNode);
}

void CCorvaleDoc::OnUpdatePolylineDerivation(CCmdUI& ui) {
    ui.Enable(ActiveThemeHasPolylines());
}

void CCorvaleDoc::OnMidPoints() {
    if (!ActiveThemeHasPolylines())
        return;
    const int answer =
        corvale::UI().ShowMessage("Would you like to copy attribute information?",
                                  MessageIcon::Question, MessageButtons::YesNoCancel);
    if (answer == corvale::IDCANCEL)
        return;
    int withoutMidPoint = 0;
    CreateMidPointTheme(m_activeTheme, answer == corvale::IDYES, withoutMidPoint);
    if (withoutMidPoint > 0)
        corvale::UI().ShowMessage(std::to_string(withoutMidPoint) +
                                      (withoutMidPoint == 1 ? " polyline has" : " polylines have") +
                                      " no length and got no mid point.",
                                  MessageIcon::Information, MessageButtons::Ok);
}

void CCorvaleDoc::OnPolygonOutline() {
    if (m_activeTheme != nullptr)
        CreateOutlineTheme(m_activeTheme);
}

void CCorvaleDoc::OnUpdatePolygonOutline(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_VisiblePolygons.empty());
}

void CCorvaleDoc::OnCreatePolylineOnClipboard() {
    PlacePolylineThroughSelectedPoints();
}

void CCorvaleDoc::OnUpdateCreatePolyline(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_VisiblePoints.empty() &&
              m_activeTheme->m_Selection.size() >= 2);
}

void CCorvaleDoc::AddDerivedGeometryCommands() {
    OnCommand(ID_THEME_END_POINTS, &CCorvaleDoc::OnEndPoints,
              &CCorvaleDoc::OnUpdatePolylineDerivation);
    OnCommand(ID_THEME_MID_POINTS, &CCorvaleDoc::OnMidPoints,
              &CCorvaleDoc::OnUpdatePolylineDerivation);
    OnCommand(ID_THEME_POLYGON_OUTLINE, &CCorvaleDoc::OnPolygonOutline,
              &CCorvaleDoc::OnUpdatePolygonOutline);
    OnCommand(ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD, &CCorvaleDoc::OnCreatePolylineOnClipboard,
              &CCorvaleDoc::OnUpdateCreatePolyline);
}
