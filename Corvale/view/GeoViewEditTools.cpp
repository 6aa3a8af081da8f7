// The map view's editing tools: drawing new points, lines and polygons into
// the active theme, moving and inserting vertices, and splitting lines, by
// dragging across them or at a vertex (Split here).
//
// GeoViewTools.cpp dispatches the mouse and key messages; the handlers here
// do the work. The geometry comes from the cutting functions and the record
// builders, the storage from the theme's record editing. A vertex under edit
// is kept by numbers (CVertexRef) and looked up in the theme when it is
// used: the record it was found in may have been replaced meanwhile.

#include "view/GeoView.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeCutting.h"
#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeOperations.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "view/MapRenderer.h"
#include "view/ShapeParts.h"
#include "workspace/CorvaleDoc.h"

#include <QPainter>

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

namespace {

constexpr const char* kSplitFailed = "Failed to split line at selected break point.";
constexpr const char* kLineTooShort =
    "A line needs at least two different vertices.\nAdd another vertex before finishing it.";
constexpr const char* kPolygonTooSmall =
    "A polygon needs at least three different vertices.\nAdd another vertex before finishing it.";
// Half the arms of the cross that follows a dragged point.
constexpr int kPointCrossArm = 8;

bool InsideClient(const CDevicePoint& p, int width, int height) {
    return p.x >= 0 && p.x < width && p.y >= 0 && p.y < height;
}

// The number of different (x, y) among the points.
std::size_t DistinctPoints(const std::vector<CShapePoint>& points) {
    std::set<std::pair<double, double>> distinct;
    for (const CShapePoint& p : points)
        distinct.emplace(p.x, p.y);
    return distinct.size();
}

// The part of a multi record that holds vertex v: its first point and one
// past its last. False for a vertex beyond the parts.
bool FindPartOf(const CShapeRecord* record, std::uint32_t v, std::uint32_t& first,
                std::uint32_t& end) {
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        GetPartRange(record, part, first, end);
        if (v >= first && v < end)
            return true;
    }
    return false;
}

// The selected shapes of a theme in shape-index order, as records.
std::vector<CShapeRecord*> SelectedRecords(CTheme& theme) {
    std::vector<CShapeRecord*> records;
    for (const auto& entry : theme.m_Selection)
        if (CShapeRecord* record = theme.GetShape(theme.GetShapePosition(entry.first)))
            records.push_back(record);
    return records;
}

// Replaces the record with the first part and adds the others right after
// it in the drawing order, each with the record's attributes. The new
// records, first part first; empty when the theme refused the replacement.
// The parts stay the caller's.
std::vector<CShapeRecord*> PutPiecesInPlace(CTheme& theme, CShapeRecord* record,
                                            const CShapeRecordVector& parts) {
    std::vector<CShapeRecord*> placed;
    if (parts.empty())
        return placed;
    CShapeRecord* first = theme.ReplaceShape(parts.front(), record);
    if (first == nullptr)
        return placed;
    placed.push_back(first);
    for (std::size_t k = 1; k < parts.size(); ++k) {
        CShapeRecord* added = theme.AddShape(parts[k], true, true, false);
        if (added == nullptr)
            continue;
        theme.MoveShape(added, GetShapeRecordIndex(first) + static_cast<int>(k), true);
        theme.CopyAttributes(added, first);
        placed.push_back(added);
    }
    return placed;
}

} // namespace

int CGeoView::SnapMode(std::uint32_t flags) {
    const bool control = (flags & MK_CONTROL) != 0;
    const bool shift = (flags & MK_SHIFT) != 0;
    if (control && shift)
        return 2;
    if (control)
        return 1;
    if (shift)
        return 3;
    return 0;
}

bool CGeoView::SnapPoint(CShapePoint& point, int snapMode, CTheme* theme,
                         const CShapeRecord* excluded) const {
    const CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return false;
    bool snapped = false;
    if (doc->m_autoSnap)
        snapped = doc->SnapPointToGrid(point.x, point.y);
    if (theme == nullptr || snapMode < 1 || snapMode > 3)
        return snapped;

    std::vector<const CTheme*> candidates;
    if (snapMode == 1) {
        candidates.push_back(theme);
    } else {
        for (const CTheme* t : doc->m_themes)
            if (t != nullptr && t->m_ShapeType != SHT_Image && (snapMode == 2 || t != theme))
                candidates.push_back(t);
    }
    double best = std::numeric_limits<double>::max();
    CShapePoint nearest = point;
    bool found = false;
    for (const CTheme* t : candidates) {
        const int count = t->GetShapeCount();
        for (int position = 0; position < count; ++position) {
            const CShapeRecord* record = t->GetShape(position);
            if (record == nullptr || record == excluded)
                continue;
            CShapePoint vertex;
            double distance = 0.0;
            if (SnapToNearestVertex(record, point, vertex, distance) && distance < best) {
                best = distance;
                nearest = vertex;
                found = true;
            }
        }
    }
    if (found)
        point = nearest;
    return snapped || found;
}

// ---------------------------------------------------------------------------
// Drawing new shapes
// ---------------------------------------------------------------------------

void CGeoView::AddSketchPoint(const CDevicePoint& point, int snapMode) {
    CCorvaleDoc* doc = GetDocument();
    CTheme* active = doc != nullptr ? doc->m_activeTheme : nullptr;
    // A theme opened read-only takes no new shapes, whatever tool was left
    // selected when it became so.
    if (active == nullptr || !active->m_Editable)
        return;
    CShapePoint p = ClientToMap(point);
    SnapPoint(p, snapMode, active, nullptr);
    switch (active->m_ShapeType) {
    case SHT_Point:
    case SHT_PointZ:
        if (active->AddPointAt(true, true, p.x, p.y) != nullptr) {
            InvalidateMap(true);
            doc->SetModifiedFlag(true);
            doc->FireUpdateEvent(this, DUE_ActiveThemeChanged,
                                 reinterpret_cast<std::intptr_t>(active));
        }
        break;
    case SHT_Polyline:
    case SHT_PolylineZ:
    case SHT_Polygon:
    case SHT_PolygonZ:
        m_sketchPoints.push_back(p);
        if (!InsideClient(point, width(), height()))
            m_sketchPoints.clear();
        break;
    default:
        break;
    }
    m_lastSketchMousePoint = point;
    InvalidateMap(false);
}

bool CGeoView::FinishSketchShape() {
    CCorvaleDoc* doc = GetDocument();
    CTheme* active = doc != nullptr ? doc->m_activeTheme : nullptr;
    if (active == nullptr || !active->m_Editable || m_sketchPoints.empty())
        return false;
    const std::uint32_t type = active->m_ShapeType;
    const bool polygon = type == SHT_Polygon || type == SHT_PolygonZ;
    if (!polygon && type != SHT_Polyline && type != SHT_PolylineZ)
        return false;
    // A right click on the pixel of the last left click gives a line of no
    // length, or a ring with no area: shapes that cannot be drawn, selected
    // or hit, and that other programs reject.
    if (DistinctPoints(m_sketchPoints) < (polygon ? 3u : 2u)) {
        corvale::UI().ShowMessage(polygon ? kPolygonTooSmall : kLineTooShort,
                                  corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
        return false;
    }
    CShapePiece piece;
    piece.StartPart();
    for (const CShapePoint& p : m_sketchPoints)
        piece.Add(p, false);
    if (polygon)
        piece.Add(m_sketchPoints.front(), false);
    // Z and M of drawn vertices are 0.
    const CShapeRecordPtr record{BuildShapeRecord(type, 1, piece)};
    CShapeRecord* added = nullptr;
    if (record)
        added = polygon ? active->AddPolygon(record.get(), true, true, false)
                        : active->AddArc(record.get(), true, true, false);
    m_sketchPoints.clear();
    InvalidateMap(true);
    if (added == nullptr)
        return true;
    doc->SetModifiedFlag(true);
    doc->FireUpdateEvent(this, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(active));
    return true;
}

void CGeoView::RemoveLastSketchPoint() {
    if (m_sketchPoints.empty())
        return;
    // The rubber line then runs from the new last vertex to where the
    // pointer was.
    m_sketchPoints.pop_back();
    update();
}

// ---------------------------------------------------------------------------
// Moving a vertex
// ---------------------------------------------------------------------------

void CGeoView::OnVertexClick(std::uint32_t flags, std::uint32_t vertex) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || !m_vertexMarkers)
        return;
    const CVertexMarkerSet markers = *m_vertexMarkers;
    const CShapeRecord* record = ResolveMarkerRecord(*doc, markers);
    if (record == nullptr || vertex >= CShapeRecord::GetPointCount(record))
        return;
    const CShapePoint at = CShapeRecord::GetPoint(record, vertex);
    const double data[2] = {at.x, at.y};
    doc->FireUpdateEvent(this, (flags & MK_CONTROL) ? DUE_VertexAddedToSelection : DUE_VertexSelected,
                         reinterpret_cast<std::intptr_t>(data));
    if (doc->m_toolMode != MT_AdjustVertex)
        return;
    // A listener may have changed the shape; the drag starts from what the
    // theme holds now.
    record = ResolveMarkerRecord(*doc, markers);
    if (record == nullptr || vertex >= CShapeRecord::GetPointCount(record))
        return;

    doc->m_toolMode = MT_AdjustVertexDrag;
    m_dragVertex = {markers.m_Theme, markers.m_ShapeIndex, vertex};
    m_twinVertex.Clear();
    m_dragNeighbours.clear();
    m_vertexDragShown = false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    auto pointAt = [record](std::uint32_t i) { return CShapeRecord::GetPoint(record, i); };
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    if (CShapeRecord::IsPointType(type)) {
        m_dragNeighbours.push_back(pointAt(vertex));
    } else if (!FindPartOf(record, vertex, first, end)) {
        m_dragNeighbours.push_back(pointAt(vertex));
    } else if (CShapeRecord::IsPolygonType(type) && end - first >= 3 &&
               (vertex == first || vertex == end - 1)) {
        // A ring's first and last points are one vertex: both move, and the
        // rubber lines join its neighbours on either side.
        m_dragNeighbours = {pointAt(end - 2), pointAt(vertex), pointAt(first + 1)};
        m_twinVertex = {markers.m_Theme, markers.m_ShapeIndex, vertex == first ? end - 1 : first};
    } else if (end - first < 2) {
        m_dragNeighbours.push_back(pointAt(vertex));
    } else if (vertex == first) {
        m_dragNeighbours = {pointAt(vertex), pointAt(vertex + 1)};
    } else if (vertex == end - 1) {
        m_dragNeighbours = {pointAt(vertex), pointAt(vertex - 1)};
    } else {
        m_dragNeighbours = {pointAt(vertex - 1), pointAt(vertex), pointAt(vertex + 1)};
    }
}

void CGeoView::CancelVertexDrag() {
    CCorvaleDoc* doc = GetDocument();
    m_dragNeighbours.clear();
    m_dragVertex.Clear();
    m_twinVertex.Clear();
    m_vertexDragShown = false;
    if (doc != nullptr && doc->m_toolMode == MT_AdjustVertexDrag)
        doc->m_toolMode = MT_AdjustVertex;
    InvalidateMap(false);
}

void CGeoView::FinishVertexDrag(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    doc->m_toolMode = MT_AdjustVertex;
    const CVertexRef dragged = m_dragVertex;
    const CVertexRef twin = m_twinVertex;
    m_dragNeighbours.clear();
    m_dragVertex.Clear();
    m_twinVertex.Clear();
    m_vertexDragShown = false;

    CTheme* theme = dragged.m_Theme;
    CShapeRecord* record =
        dragged.IsSet() ? ResolveShapeRecord(*doc, theme, dragged.m_ShapeIndex) : nullptr;
    // The shape may have lost the vertex, or gone, while the button was
    // down; then there is nothing left to move.
    const bool selectionArea = dragged.m_ShapeIndex == kSelectionAreaShapeIndex;
    if (record == nullptr || theme == nullptr || (!theme->m_Editable && !selectionArea) ||
        static_cast<std::uint64_t>(dragged.m_Vertex) >= CShapeRecord::GetPointCount(record)) {
        InvalidateMap(false);
        return;
    }
    CShapePoint p = ClientToMap(point);
    SnapPoint(p, SnapMode(flags), doc->m_activeTheme, selectionArea ? nullptr : record);
    const auto v = static_cast<std::uint32_t>(dragged.m_Vertex);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    bool moved = false;
    if (CShapeRecord::IsPointType(type)) {
        // The point's x and y follow the record's type word.
        corvale::WriteLEDouble(CShapeRecord::Bytes(record) + 12, p.x);
        corvale::WriteLEDouble(CShapeRecord::Bytes(record) + 20, p.y);
        moved = true;
    } else {
        const bool withTwin = twin.IsSet() && twin.m_ShapeIndex == dragged.m_ShapeIndex &&
                              static_cast<std::uint64_t>(twin.m_Vertex) <
                                  CShapeRecord::GetPointCount(record);
        auto movePoints = [&](CShapeRecord* target) {
            CShapeRecord::SetPointAt(target, v, p.x, p.y);
            if (withTwin)
                CShapeRecord::SetPointAt(target, static_cast<std::uint32_t>(twin.m_Vertex), p.x,
                                         p.y);
            RecalcShapeBounds(target);
        };
        if (selectionArea) {
            movePoints(record);
            moved = true;
        } else if (const CShapeRecordPtr copy{CloneShapeRecord(record)}) {
            // Through a replacement, so that the spatial index, the themes
            // made from this one and the plug-ins' handles follow the shape
            // to where it lies now.
            movePoints(copy.get());
            moved = theme->ReplaceShape(copy.get(), record) != nullptr;
        }
    }
    if (moved && !selectionArea) {
        theme->RecalculateBounds();
        theme->m_Modified = true;
        doc->FireUpdateEvent(this, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    }
    if (moved)
        doc->SetModifiedFlag(true);
    RebuildVertexMarkers();
    InvalidateMap(true);
}

void CGeoView::DrawVertexDrag(QPainter& dc) {
    const CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || doc->m_toolMode != MT_AdjustVertexDrag || !m_vertexDragShown ||
        m_dragNeighbours.empty())
        return;
    const CAppSettings& settings = *CAppSettings::GetInstance();
    const QPoint pointer(m_vertexDragPoint.x, m_vertexDragPoint.y);
    dc.save();
    dc.setBrush(Qt::NoBrush);
    if (m_dragNeighbours.size() == 1) {
        dc.setPen(QPen(ColorFromColorRef(settings.m_ColorSelection), 3));
        dc.drawLine(pointer.x() - kPointCrossArm, pointer.y(), pointer.x() + kPointCrossArm,
                    pointer.y());
        dc.drawLine(pointer.x(), pointer.y() - kPointCrossArm, pointer.x(),
                    pointer.y() + kPointCrossArm);
    } else {
        const CTheme* theme = m_dragVertex.m_Theme;
        const bool polygon = theme != nullptr && theme->IsPolygonTheme();
        const int width = theme != nullptr ? theme->m_LineWidth : 0;
        dc.setPen(QPen(ColorFromColorRef(polygon ? settings.m_ColorSelectionOutline
                                                 : settings.m_ColorSelection),
                       width));
        auto device = [this](const CShapePoint& p) {
            const CDevicePoint d = MapToDevice(m_viewport, p.x, p.y);
            return QPoint(d.x, d.y);
        };
        if (m_dragNeighbours.size() >= 3) {
            dc.drawLine(device(m_dragNeighbours[0]), pointer);
            dc.drawLine(pointer, device(m_dragNeighbours[2]));
        } else {
            dc.drawLine(device(m_dragNeighbours[1]), pointer);
        }
    }
    dc.restore();
}

// ---------------------------------------------------------------------------
// Inserting vertices and splitting by a dragged line
// ---------------------------------------------------------------------------

bool CGeoView::BeginEditLine(const CDevicePoint& point, std::uint32_t dragMode) {
    CCorvaleDoc* doc = GetDocument();
    if (doc->m_activeTheme == nullptr || doc->m_activeTheme->m_Selection.empty())
        return false;
    m_editPressPoint = ClientToMap(point);
    doc->m_toolMode = dragMode;
    m_lastMousePoint = point;
    m_editLineShown = true;
    update();
    return true;
}

void CGeoView::InsertVertexAlongLine(const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    doc->m_toolMode = MT_NewVertex;
    m_editLineShown = false;
    CTheme* active = doc->m_activeTheme;
    if (active == nullptr)
        return;
    const CShapePoint release = ClientToMap(point);
    const double cut[4] = {m_editPressPoint.x, m_editPressPoint.y, release.x, release.y};
    bool replaced = false;
    for (CShapeRecord* record : SelectedRecords(*active)) {
        const CShapeRecordPtr inserted{InsertCrossingVertices(record, cut)};
        if (inserted && active->ReplaceShape(inserted.get(), record) != nullptr) {
            active->m_Modified = true;
            replaced = true;
        }
    }
    if (!replaced) {
        InvalidateMap(false);
        return;
    }
    RebuildVertexMarkers();
    doc->SetModifiedFlag(true);
    doc->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(active));
}

void CGeoView::SplitAlongLine(const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    doc->m_toolMode = MT_SplitPolyline;
    m_editLineShown = false;
    CTheme* active = doc->m_activeTheme;
    if (active == nullptr)
        return;
    const CShapePoint release = ClientToMap(point);
    const double cut[4] = {m_editPressPoint.x, m_editPressPoint.y, release.x, release.y};
    // Records, not indexes: every split moves the shape indexes of the
    // shapes after it.
    std::vector<CShapeRecord*> selection;
    bool split = false;
    for (CShapeRecord* record : SelectedRecords(*active)) {
        CShapeRecordVector parts;
        std::vector<CShapeRecord*> placed;
        if (SplitShapeAlongSegment(record, cut, parts))
            placed = PutPiecesInPlace(*active, record, parts);
        DeleteShapeRecords(parts);
        if (placed.empty()) {
            selection.push_back(record);
            continue;
        }
        split = true;
        selection.insert(selection.end(), placed.begin(), placed.end());
    }
    if (!split) {
        InvalidateMap(false);
        return;
    }
    active->m_Modified = true;
    active->RecalculateBounds();
    active->ClearSelection();
    const std::uint32_t colour = CAppSettings::GetInstance()->m_ColorSelection;
    for (const CShapeRecord* record : selection) {
        const int index = GetShapeRecordIndex(record);
        active->AddToSelection(index, active->GetShapePosition(index), active->m_LineWidth, colour);
    }
    RebuildVertexMarkers();
    doc->SetModifiedFlag(true);
    doc->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(active));
}

// ---------------------------------------------------------------------------
// Split here
// ---------------------------------------------------------------------------

bool CGeoView::CanSplitHere() const {
    const CCorvaleDoc* doc = GetDocument();
    const CTheme* active = doc != nullptr ? doc->m_activeTheme : nullptr;
    if (active == nullptr || !active->m_Editable || !active->IsArcTheme() ||
        active->m_Selection.size() != 1 || !doc->m_vertexMode || !m_vertexMarkers)
        return false;
    std::uint32_t vertex = 0;
    return HitTestVertexMarker(*m_vertexMarkers, ResolveMarkerRecord(*doc, *m_vertexMarkers),
                               m_viewport, m_contextPoint, vertex);
}

void CGeoView::OnSplitHere() {
    if (!CanSplitHere())
        return;
    CCorvaleDoc* doc = GetDocument();
    CTheme* active = doc->m_activeTheme;
    CShapeRecord* record = ResolveMarkerRecord(*doc, *m_vertexMarkers);
    std::uint32_t vertex = 0;
    HitTestVertexMarker(*m_vertexMarkers, record, m_viewport, m_contextPoint, vertex);
    CShapeRecordVector parts;
    std::vector<CShapeRecord*> placed;
    if (SplitPolylineAtVertex(record, CShapeRecord::GetPoint(record, vertex), parts))
        placed = PutPiecesInPlace(*active, record, parts);
    DeleteShapeRecords(parts);
    if (placed.empty()) {
        corvale::UI().ShowMessage(kSplitFailed, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
        return;
    }
    active->m_Modified = true;
    RebuildVertexMarkers();
    doc->SetModifiedFlag(true);
    doc->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(active));
}

void CGeoView::ResetEditTools() {
    m_sketchPoints.clear();
    m_dragNeighbours.clear();
    m_dragVertex.Clear();
    m_twinVertex.Clear();
    m_vertexDragShown = false;
    m_editLineShown = false;
}
