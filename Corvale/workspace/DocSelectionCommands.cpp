// The selection, filter and z-order commands of the active theme: select all,
// invert, clear, multipart shapes, clipboard polygons and vertex counts, the
// filter made of the selection, the selection's bounds and the attribute list
// builder.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/ShapePiece.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"

#include <algorithm>
#include <cstdio>

namespace {

using corvale::CBusyScope;

std::uint32_t SelectionColour() { return CAppSettings::GetInstance()->m_ColorSelection; }

// Vertex count of each part of a polyline or polygon; one part of one vertex
// for a point; empty for anything else.
std::vector<std::uint32_t> PartVertexCounts(const CShapeRecord* record) {
    std::vector<std::uint32_t> counts;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type)) {
        counts.push_back(1);
        return counts;
    }
    if (!CShapeRecord::IsPolylineType(type) && !CShapeRecord::IsPolygonType(type))
        return counts;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        const std::uint32_t start = CShapeRecord::GetPartStart(record, part);
        const std::uint32_t end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
        counts.push_back(end > start ? end - start : 0);
    }
    return counts;
}

bool Compare(std::uint32_t value, int comparison, int count) {
    const long long v = value;
    switch (comparison) {
    case 0: return v < count;
    case 1: return v == count;
    case 2: return v > count;
    default: return false;
    }
}

} // namespace

void CCorvaleDoc::SelectMultipartShapes() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    theme->ClearSelection();
    const std::vector<CShapeRecord*>* list = nullptr;
    if (theme->IsArcTheme())
        list = &theme->m_VisibleArcs;
    else if (theme->IsPolygonTheme())
        list = &theme->m_VisiblePolygons;
    if (list != nullptr) {
        const std::uint32_t colour = SelectionColour();
        for (std::size_t p = 0; p < list->size(); ++p) {
            CShapeRecord* record = (*list)[p];
            if (record != nullptr && CShapeRecord::GetPartCount(record) > 1)
                theme->AddToSelection(GetShapeRecordIndex(record), static_cast<int>(p), 3, colour);
        }
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
}

void CCorvaleDoc::SelectIntersectingPolygons(const std::vector<const CShapeRecord*>& polygons) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    theme->ClearSelection();
    for (const CShapeRecord* polygon : polygons)
        SelectByPolygon(polygon);
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
}

int CCorvaleDoc::SelectByPointCount(int partRule, int comparison, int count) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return -1;
    const std::uint32_t colour = SelectionColour();
    const int width = theme->IsPointTheme() ? 3 : theme->m_LineWidth;
    int matched = 0;
    const int shapes = theme->GetShapeCount();
    for (int position = 0; position < shapes; ++position) {
        CShapeRecord* record = theme->GetShape(position);
        if (record == nullptr)
            continue;
        const std::vector<std::uint32_t> parts = PartVertexCounts(record);
        if (parts.empty())
            continue;
        bool match;
        if (partRule == 1)
            match = std::all_of(parts.begin(), parts.end(),
                                [&](std::uint32_t c) { return Compare(c, comparison, count); });
        else
            match = std::any_of(parts.begin(), parts.end(),
                                [&](std::uint32_t c) { return Compare(c, comparison, count); });
        // A shape is one object however many of its parts match.
        if (match) {
            theme->AddToSelection(GetShapeRecordIndex(record), position, width, colour);
            ++matched;
        }
    }
    return matched;
}

bool CCorvaleDoc::GetSelectionBounds(double rect[4]) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return false;
    bool any = false;
    for (const auto& entry : theme->m_Selection) {
        const CShapeRecord* record = theme->GetShape(theme->GetShapePosition(entry.first));
        if (record == nullptr)
            continue;
        double box[4];
        if (CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record))) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            box[0] = box[2] = p.x;
            box[1] = box[3] = p.y;
        } else {
            box[0] = CShapeRecord::GetMinX(record);
            box[1] = CShapeRecord::GetMinY(record);
            box[2] = CShapeRecord::GetMaxX(record);
            box[3] = CShapeRecord::GetMaxY(record);
        }
        if (!any) {
            std::copy(box, box + 4, rect);
            any = true;
        } else {
            rect[0] = std::min(rect[0], box[0]);
            rect[1] = std::min(rect[1], box[1]);
            rect[2] = std::max(rect[2], box[2]);
            rect[3] = std::max(rect[3], box[3]);
        }
    }
    return any;
}

std::string CCorvaleDoc::FormatSelectionBounds(const double rect[4]) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "Bounding box for current selection:\r\n\r\nWest:\t%lf\r\nNorth:\t%lf\r\nEast:\t%lf\r\nSouth:\t%lf\r\n",
                  rect[0], rect[3], rect[2], rect[1]);
    return text;
}

// Shared by the commands that need only an active theme, or one with a
// selection.
void CCorvaleDoc::OnUpdateHasActiveTheme(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr);
}

void CCorvaleDoc::OnUpdateHasSelection(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_Selection.empty());
}

void CCorvaleDoc::OnBuildAttributeList() {
    if (GetDocumentDialogServices().showAttributeListBuilder)
        GetDocumentDialogServices().showAttributeListBuilder(this, m_activeTheme);
}

void CCorvaleDoc::OnUpdateBuildAttributeList(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentDialogServices().showAttributeListBuilder));
}

void CCorvaleDoc::OnFilterSelection() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    {
        CBusyScope busy(true);
        theme->FilterSelected();
    }
    FireUpdateEvent(nullptr, DUE_FilterChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnRemoveFilter() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    theme->ResetFilter();
    theme->ResetShapePositions();
    theme->UpdateStyles();
    theme->ClearSelection();
    FireUpdateEvent(nullptr, DUE_FilterChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateRemoveFilter(CCmdUI& ui) {
    const bool filtered = m_activeTheme != nullptr && m_activeTheme->GetFilteredShapeCount() > 0;
    ui.Enable(filtered);
    ui.SetCheck(filtered);
}

void CCorvaleDoc::OnInvertFilter() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    {
        CBusyScope busy(true);
        theme->ClearSelection();
        theme->InvertFilter();
    }
    FireUpdateEvent(nullptr, DUE_FilterChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnInvertSelection() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    {
        CBusyScope busy(true);
        theme->InvertSelection(SelectionColour());
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
    PostSelectionChanged(theme);
}

void CCorvaleDoc::OnSelectAll() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    {
        CBusyScope busy(false);
        theme->SelectAll(SelectionColour());
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_NEW);
    PostSelectionChanged(theme);
}

void CCorvaleDoc::OnClearSelection() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    {
        CBusyScope busy(false);
        theme->ClearSelection();
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_CLEARED);
    PostSelectionChanged(theme);
}

void CCorvaleDoc::OnUpdateClearSelection(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr &&
              (!m_activeTheme->m_Selection.empty() || m_activeTheme->m_SelectionArea != nullptr));
}

void CCorvaleDoc::OnSelectMultipart() {
    SelectMultipartShapes();
}

void CCorvaleDoc::OnSelectByClipboardPolygons() {
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    if (m_activeTheme == nullptr || !services.readClipboardPolygons)
        return;
    CBusyScope busy(true);
    std::vector<CShapeRecord*> records = services.readClipboardPolygons();
    if (records.empty())
        return;
    SelectIntersectingPolygons(std::vector<const CShapeRecord*>(records.begin(), records.end()));
    DeleteShapeRecords(records);
}

void CCorvaleDoc::OnUpdateSelectByClipboardPolygons(CCmdUI& ui) {
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    ui.Enable(m_activeTheme != nullptr && services.readClipboardPolygons &&
              services.clipboardHasPolygons && services.clipboardHasPolygons());
}

void CCorvaleDoc::OnSelectionBounds() {
    double rect[4];
    if (!GetSelectionBounds(rect) || !GetDocumentDialogServices().showInformation)
        return;
    GetDocumentDialogServices().showInformation("Selection Bounds", FormatSelectionBounds(rect));
}

void CCorvaleDoc::OnUpdateSelectionBounds(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_Selection.empty() &&
              GetDocumentDialogServices().showInformation);
}

void CCorvaleDoc::OnPointCountSelection() {
    // The rule is the dialog's to keep between uses.
    static int partRule = 0;
    static int comparison = 0;
    static int count = 2;
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    if (m_activeTheme == nullptr || !services.pointCountRule)
        return;
    if (!services.pointCountRule(partRule, comparison, count))
        return;
    int matched = 0;
    {
        CBusyScope busy(false);
        matched = SelectByPointCount(partRule, comparison, count);
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
    PostSelectionChanged(m_activeTheme);
    corvale::UI().ShowMessage(std::to_string(matched) + " objects matched.",
                              corvale::MessageIcon::Information, corvale::MessageButtons::Ok);
}

void CCorvaleDoc::OnUpdatePointCountSelection(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && m_activeTheme->GetShapeCount() > 0 &&
              GetDocumentDialogServices().pointCountRule);
}

void CCorvaleDoc::AddSelectionCommands() {
    OnCommand(ID_SELECTION_BUILD_ATTRIBUTE_LIST, &CCorvaleDoc::OnBuildAttributeList,
              &CCorvaleDoc::OnUpdateBuildAttributeList);
    OnCommand(ID_SELECTION_FILTER, &CCorvaleDoc::OnFilterSelection,
              &CCorvaleDoc::OnUpdateHasSelection);
    OnCommand(ID_SELECTION_REMOVE_FILTER, &CCorvaleDoc::OnRemoveFilter,
              &CCorvaleDoc::OnUpdateRemoveFilter);
    OnCommand(ID_SELECTION_INVERT_FILTER, &CCorvaleDoc::OnInvertFilter,
              &CCorvaleDoc::OnUpdateHasActiveTheme);
    OnCommand(ID_SELECTION_INVERT, &CCorvaleDoc::OnInvertSelection,
              &CCorvaleDoc::OnUpdateHasActiveTheme);
    OnCommand(ID_SELECTION_SELECT_ALL, &CCorvaleDoc::OnSelectAll,
              &CCorvaleDoc::OnUpdateHasActiveTheme);
    OnCommand(ID_SELECTION_CLEAR, &CCorvaleDoc::OnClearSelection,
              &CCorvaleDoc::OnUpdateClearSelection);
    OnCommand(ID_SELECTION_MULTIPART, &CCorvaleDoc::OnSelectMultipart,
              &CCorvaleDoc::OnUpdateHasActiveTheme);
    OnCommand(ID_SELECTION_CLIPBOARD_POLYGONS, &CCorvaleDoc::OnSelectByClipboardPolygons,
              &CCorvaleDoc::OnUpdateSelectByClipboardPolygons);
    OnCommand(ID_SELECTION_BOUNDS, &CCorvaleDoc::OnSelectionBounds,
              &CCorvaleDoc::OnUpdateSelectionBounds);
    OnCommand(ID_SELECTION_POINT_COUNT, &CCorvaleDoc::OnPointCountSelection,
              &CCorvaleDoc::OnUpdatePointCountSelection);
}
