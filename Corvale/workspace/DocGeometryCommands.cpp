// The geometry commands on the active theme's selected shapes: merging them
// into a new multi-part shape, splitting multi-part shapes into single-part
// copies, joining touching polyline parts, removing duplicate vertices,
// reversing, and snapping to the workspace grid (once, or while editing).

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapePiece.h"
#include "geometry/ShapeVertexEditing.h"
#include "platform/ByteOrder.h"
#include "workspace/CommandIds.h"
#include "workspace/DocumentUpdateEvent.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using corvale::MessageButtons;
using corvale::MessageIcon;

bool IsPolylineType(std::uint32_t type) {
    return CShapeRecord::IsPolylineType(type);
}
bool IsPolygonType(std::uint32_t type) {
    return CShapeRecord::IsPolygonType(type);
}
bool IsLineOrAreaType(std::uint32_t type) {
    return IsPolylineType(type) || IsPolygonType(type);
}

void Show(const std::string& text, MessageIcon icon) {
    corvale::UI().ShowMessage(text, icon, MessageButtons::Ok);
}

template <typename... Args> std::string Format(const char* pattern, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

struct SelectedShape {
    int index = -1;
    int position = -1;
    CShapeRecord* record = nullptr;
};

// The selected shapes in shape-index order; those no longer visible are left out.
std::vector<SelectedShape> SelectedShapes(CTheme& theme) {
    std::vector<SelectedShape> shapes;
    for (const auto& entry : theme.m_Selection) {
        const int position = theme.GetShapePosition(entry.first);
        if (position < 0)
            continue;
        CShapeRecord* record = theme.GetShape(position);
        if (record != nullptr)
            shapes.push_back({entry.first, position, record});
    }
    return shapes;
}

// Appends every point of part j of a piece to the last part of another, with
// its Z when the target is of a Z type; M is always 0.
void AppendPart(CShapePiece& target, const CShapePiece& source, std::uint32_t j, bool withZ) {
    const bool sourceZ = !source.m_Z.empty();
    for (std::uint32_t i = source.PartBegin(j); i < source.PartEnd(j); ++i)
        target.Add(source.m_Points[i], withZ, sourceZ ? source.m_Z[i] : 0.0, 0.0);
}

// Adds a record of the theme's kind; the theme keeps its own copy.
CShapeRecord* AddToTheme(CTheme& theme, CShapeRecord* record, bool last) {
    return IsPolylineType(theme.m_ShapeType) ? theme.AddArc(record, last, last, false)
                                             : theme.AddPolygon(record, last, last, false);
}

// Column i of the new shape gets text i; the theme counts as modified when a
// value was written.
void WriteAttributes(CTheme& theme, const CShapeRecord* added,
                     const std::vector<std::string>& values) {
    const int shapeIndex = GetShapeRecordIndex(added);
    for (std::size_t field = 0; field < values.size(); ++field)
        if (theme.SetAttributeText(shapeIndex, static_cast<int>(field), values[field], true))
            theme.m_Modified = true;
}

bool SelectionOfType(const CTheme* theme, bool (*typeTest)(std::uint32_t), std::size_t minimum) {
    return theme != nullptr && theme->m_Editable && theme->m_Selection.size() >= minimum &&
           typeTest(theme->m_ShapeType);
}

} // namespace

void CCorvaleDoc::OnMergeToCopy() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    const std::vector<SelectedShape> shapes = SelectedShapes(*theme);
    const bool lines = theme->m_VisibleArcs.size() >= 2 && IsPolylineType(theme->m_ShapeType);
    const bool areas = theme->m_VisibleArcs.size() < 2 && theme->m_VisiblePolygons.size() >= 2 &&
                       IsPolygonType(theme->m_ShapeType);
    CShapePiece merged;
    const bool withZ = IsShapeZType(theme->m_ShapeType);
    for (const SelectedShape& shape : shapes) {
        CShapePiece piece;
        if (!ReadShapePiece(shape.record, piece))
            continue;
        for (std::uint32_t j = 0; j < piece.PartCount(); ++j) {
            merged.StartPart();
            AppendPart(merged, piece, j, withZ);
        }
    }
    CShapeRecordPtr record;
    if (lines || areas)
        record.reset(BuildShapeRecord(theme->m_ShapeType, 1, merged));
    if (record == nullptr) {
        Show("An error occurred while merging shapes.\n\nOperation aborted.", MessageIcon::Error);
        return;
    }
    std::vector<std::string> values;
    if (theme->GetAttributeCount() > 0) {
        const auto& merge = GetDocumentDialogServices().mergeAttributes;
        if (!merge || !merge(theme, values))
            return;
    }
    CShapeRecord* added = AddToTheme(*theme, record.get(), true);
    if (added == nullptr) {
        Show("An error occurred while merging shapes.\n\nOperation aborted.", MessageIcon::Error);
        return;
    }
    WriteAttributes(*theme, added, values);
    theme->m_Modified = true;
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateMergeToCopy(CCmdUI& ui) {
    const CTheme* theme = m_activeTheme;
    // The attribute values of the new shape are chosen in the merge
    // dialog; without it a theme with columns cannot merge.
    ui.Enable(SelectionOfType(theme, &IsLineOrAreaType, 2) &&
              (theme->GetAttributeCount() == 0 || GetDocumentDialogServices().mergeAttributes));
}

void CCorvaleDoc::OnSplitToCopies() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    const std::vector<SelectedShape> shapes = SelectedShapes(*theme);
    const bool withZ = IsShapeZType(theme->m_ShapeType);
    const unsigned columns = theme->GetAttributeCount();
    int multipart = 0;
    int expected = 0;
    int added = 0;
    for (const SelectedShape& shape : shapes) {
        CShapePiece piece;
        if (!ReadShapePiece(shape.record, piece) || piece.PartCount() < 2)
            continue;
        ++multipart;
        std::vector<std::string> values;
        for (unsigned field = 0; field < columns; ++field)
            values.push_back(theme->GetAttributeTextAt(shape.position, static_cast<int>(field)));
        for (std::uint32_t j = 0; j < piece.PartCount(); ++j) {
            ++expected;
            CShapePiece part;
            part.StartPart();
            AppendPart(part, piece, j, withZ);
            CShapeRecordPtr record(BuildShapeRecord(theme->m_ShapeType, 1, part));
            CShapeRecord* copy =
                record != nullptr ? AddToTheme(*theme, record.get(), true) : nullptr;
            if (copy == nullptr)
                continue;
            WriteAttributes(*theme, copy, values);
            ++added;
        }
    }
    if (multipart == 0) {
        Show("No multipart shapes are selected.\n\nOperation ignored.", MessageIcon::Warning);
        return;
    }
    theme->m_Modified = true;
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    // Success is every part of every multi-part shape added as a
    // shape of its own, not a share of them.
    if (added < expected)
        Show("An error occurred while splitting multipart shapes.\n\nNot all shapes might "
             "have been "
             "successfully converted.",
             MessageIcon::Error);
    else
        Show(Format("%d shape(s) successfully split into %d new shapes.", multipart, added),
             MessageIcon::Information);
}

void CCorvaleDoc::OnUpdateSplitToCopies(CCmdUI& ui) {
    ui.Enable(SelectionOfType(m_activeTheme, &IsLineOrAreaType, 1));
}

void CCorvaleDoc::OnSimplifyParts() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    const char* const noneSelected = "No multipart shapes are selected.\n\nOperation ignored.";
    if (theme->m_Selection.empty()) {
        Show(noneSelected, MessageIcon::Warning);
        return;
    }
    const std::vector<SelectedShape> shapes = SelectedShapes(*theme);
    int multipart = 0;
    int modified = 0;
    int removed = 0;
    for (const SelectedShape& shape : shapes) {
        const std::uint32_t type = CShapeRecord::GetShapeType(shape.record);
        CShapePiece piece;
        if (!IsPolylineType(type) || !ReadShapePiece(shape.record, piece) || piece.PartCount() < 2)
            continue;
        ++multipart;
        const bool withZ = IsShapeZType(type);
        CShapePiece joined;
        int joins = 0;
        for (std::uint32_t j = 0; j < piece.PartCount(); ++j) {
            const std::uint32_t first = piece.PartBegin(j);
            if (first == piece.PartEnd(j))
                continue;
            if (!joined.Empty() && joined.m_Points.back() == piece.m_Points[first]) {
                // The joint point is kept once: the one ending the part before.
                for (std::uint32_t i = first + 1; i < piece.PartEnd(j); ++i)
                    joined.AddFrom(piece, i, withZ);
                ++joins;
                continue;
            }
            joined.StartPart();
            for (std::uint32_t i = first; i < piece.PartEnd(j); ++i)
                joined.AddFrom(piece, i, withZ);
        }
        if (joins == 0)
            continue;
        CShapeRecordPtr record(
            BuildShapeRecord(type, GetShapeRecordIndex(shape.record) + 1, joined));
        if (record == nullptr || theme->ReplaceShape(record.get(), shape.record) == nullptr)
            continue;
        ++modified;
        removed += joins;
    }
    if (multipart == 0) {
        Show(noneSelected, MessageIcon::Warning);
        return;
    }
    if (modified > 0)
        theme->m_Modified = true;
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    Show(Format("%d shapes selected.\n%d selected shapes had multiple parts.\n%d shapes "
                "were modified.\n%d "
                "parts successfully removed.",
                static_cast<int>(theme->m_Selection.size()), multipart, modified, removed),
         MessageIcon::Information);
}

void CCorvaleDoc::OnUpdateSimplifyParts(CCmdUI& ui) {
    ui.Enable(SelectionOfType(m_activeTheme, &IsPolylineType, 1));
}

void CCorvaleDoc::OnRemoveDuplicateVertices() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    int modified = 0;
    int removedTotal = 0;
    for (const SelectedShape& shape : SelectedShapes(*theme)) {
        int removed = 0;
        CShapeRecordPtr record(RemoveDuplicateVertices(shape.record, removed));
        // The theme puts a copy in place of the old record, and
        // child themes made from the selection follow it there.
        if (record == nullptr || theme->ReplaceShape(record.get(), shape.record) == nullptr)
            continue;
        ++modified;
        removedTotal += removed;
    }
    if (modified == 0) {
        Show("No shapes could be simplified.", MessageIcon::Information);
        return;
    }
    theme->m_Modified = true;
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    Show(Format("%d shapes selected.\n%d shapes were modified.\n%d coordinates "
                "successfully removed.",
                static_cast<int>(theme->m_Selection.size()), modified, removedTotal),
         MessageIcon::Information);
}

void CCorvaleDoc::OnUpdateRemoveDuplicateVertices(CCmdUI& ui) {
    ui.Enable(SelectionOfType(m_activeTheme, &IsLineOrAreaType, 1));
}

void CCorvaleDoc::OnReverseCoordinates() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    int reversed = 0;
    for (const SelectedShape& shape : SelectedShapes(*theme))
        if (IsLineOrAreaType(CShapeRecord::GetShapeType(shape.record)) &&
            ReverseShapeParts(shape.record))
            ++reversed;
    if (reversed > 0) {
        theme->m_Modified = true;
        SetModifiedFlag(true);
        FireUpdateEvent(nullptr, DUE_SelectionChanged, -3);
        if (theme->m_ShowArrows)
            FireUpdateEvent(nullptr, DUE_CoordinatesReversed, 0);
    }
    Show(Format("%d shape(s) reversed successfully.", reversed), MessageIcon::Information);
}

void CCorvaleDoc::OnUpdateReverseCoordinates(CCmdUI& ui) {
    ui.Enable(SelectionOfType(m_activeTheme, &IsLineOrAreaType, 1));
}

void CCorvaleDoc::OnSnapToGrid() {
    CTheme* theme = m_activeTheme;
    const auto& askGrid = GetDocumentDialogServices().gridDefinition;
    if (theme == nullptr || !askGrid)
        return;
    double sx = m_gridSpacingX;
    double sy = m_gridSpacingY;
    if (!askGrid(sx, sy))
        return;
    // A spacing of 0 would divide by zero; a negative one is kept as
    // entered, as the grid page of the workspace properties does.
    if (sx == 0.0 || sy == 0.0)
        return;
    m_gridSpacingX = sx;
    m_gridSpacingY = sy;
    const std::vector<SelectedShape> shapes = SelectedShapes(*theme);
    const auto snap = [sx, sy](double& x, double& y) {
        x = std::floor(x / sx + 0.5) * sx;
        y = std::floor(y / sy + 0.5) * sy;
    };
    corvale::UI().BeginProgress();
    std::size_t done = 0;
    for (const SelectedShape& shape : shapes) {
        CShapeRecord* record = shape.record;
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        const std::uint32_t points = CShapeRecord::GetPointCount(record);
        if (type == SHT_Point || type == SHT_PointZ) {
            // x and y follow the type word.
            CShapePoint p = CShapeRecord::GetPoint(record, 0);
            snap(p.x, p.y);
            unsigned char* xy = CShapeRecord::Bytes(record) + 12;
            corvale::WriteLEDouble(xy, p.x);
            corvale::WriteLEDouble(xy + 8, p.y);
            theme->m_Modified = true;
        } else if (IsLineOrAreaType(type)) {
            const bool ring = IsPolygonType(type);
            for (std::uint32_t i = 0; i < points; ++i) {
                CShapePoint p = CShapeRecord::GetPoint(record, i);
                snap(p.x, p.y);
                if (ring)
                    CShapeRecord::SetPoint(record, i, true, p.x, p.y);
                else
                    CShapeRecord::SetPointAt(record, i, p.x, p.y);
            }
            CShapeRecord::RecalcBounds(record);
            theme->m_Modified = true;
        }
        // The hash lists the record under its old box until told:
        // clicks and rectangles would miss the moved shape.
        theme->ReindexShape(record);
        corvale::UI().SetProgress(static_cast<int>(++done * 100 / shapes.size()));
    }
    corvale::UI().EndProgress();
    if (theme->m_Modified) {
        theme->RecalculateBounds();
        SetModifiedFlag(true);
    }
    FireUpdateEvent(nullptr, DUE_Refresh, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateSnapToGrid(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && m_activeTheme->m_Editable &&
              !m_activeTheme->m_Selection.empty() &&
              static_cast<bool>(GetDocumentDialogServices().gridDefinition));
}

void CCorvaleDoc::OnAutoSnap() {
    m_autoSnap = m_autoSnap ? 0 : 1;
}

void CCorvaleDoc::OnUpdateAutoSnap(CCmdUI& ui) {
    bool editable = false;
    for (const CTheme* theme : m_themes)
        editable = editable || (theme != nullptr && theme->m_Editable);
    if (!editable)
        m_autoSnap = 0;
    ui.Enable(editable);
    ui.SetCheck(m_autoSnap != 0);
}

void CCorvaleDoc::AddGeometryCommands() {
    OnCommand(ID_GEOMETRY_MERGE_TO_COPY, &CCorvaleDoc::OnMergeToCopy,
              &CCorvaleDoc::OnUpdateMergeToCopy);
    OnCommand(ID_GEOMETRY_SPLIT_TO_COPIES, &CCorvaleDoc::OnSplitToCopies,
              &CCorvaleDoc::OnUpdateSplitToCopies);
    OnCommand(ID_GEOMETRY_SIMPLIFY_PARTS, &CCorvaleDoc::OnSimplifyParts,
              &CCorvaleDoc::OnUpdateSimplifyParts);
    OnCommand(ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES, &CCorvaleDoc::OnRemoveDuplicateVertices,
              &CCorvaleDoc::OnUpdateRemoveDuplicateVertices);
    OnCommand(ID_GEOMETRY_REVERSE_COORDINATES, &CCorvaleDoc::OnReverseCoordinates,
              &CCorvaleDoc::OnUpdateReverseCoordinates);
    OnCommand(ID_GEOMETRY_SNAP_TO_GRID, &CCorvaleDoc::OnSnapToGrid,
              &CCorvaleDoc::OnUpdateSnapToGrid);
    OnCommand(ID_GEOMETRY_AUTO_SNAP, &CCorvaleDoc::OnAutoSnap, &CCorvaleDoc::OnUpdateAutoSnap);
}
