// A theme's selection and filter, and the translation between positions in
// the visible list and shape indexes.

#include "core/Theme.h"

#include "framework/UserInterface.h"
#include "shapes/ShapeRecordBuilder.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <unordered_set>

namespace {

// The visible list that positions index: the first non-empty one in the
// order points, arcs, polygons.
const std::vector<CShapeRecord*>* VisibleList(const CTheme& theme) {
    for (const auto* list :
         {&theme.m_VisiblePoints, &theme.m_VisibleArcs, &theme.m_VisiblePolygons})
        if (!list->empty())
            return list;
    return nullptr;
}

std::vector<CShapeRecord*>* VisibleList(CTheme& theme) {
    return const_cast<std::vector<CShapeRecord*>*>(VisibleList(static_cast<const CTheme&>(theme)));
}

// Keeps the status-bar progress bar up for the life of the object.
class CProgressScope {
public:
    CProgressScope() { corvale::UI().BeginProgress(); }
    ~CProgressScope() { corvale::UI().EndProgress(); }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;
};

int Percent(std::size_t done, std::size_t total) {
    return total == 0 ? 0 : static_cast<int>(done * 100 / total);
}

} // namespace

int CTheme::GetShapeIndex(int position) const {
    const CShapeRecord* record = GetShape(position);
    return record != nullptr ? GetShapeRecordIndex(record) : -1;
}

int CTheme::GetShapePosition(int shapeIndex) {
    const std::vector<CShapeRecord*>* list = VisibleList(*this);
    if (list == nullptr)
        return -1;
    if (!m_PositionByIndex.empty() && m_PositionMapListSize == list->size()) {
        auto it = m_PositionByIndex.find(shapeIndex);
        if (it == m_PositionByIndex.end())
            return -1;
        // A map left behind by an edit that forgot to reset it would hand out
        // the position of another shape; one look at the record tells.
        const CShapeRecord* record = GetShape(it->second);
        if (record != nullptr && GetShapeRecordIndex(record) == shapeIndex)
            return it->second;
    }
    m_PositionByIndex.clear();
    m_PositionByIndex.reserve(list->size());
    for (std::size_t p = 0; p < list->size(); ++p)
        m_PositionByIndex.emplace(GetShapeRecordIndex((*list)[p]), static_cast<int>(p));
    m_PositionMapListSize = list->size();
    auto it = m_PositionByIndex.find(shapeIndex);
    return it != m_PositionByIndex.end() ? it->second : -1;
}

int CTheme::GetFilteredShapeCount() const {
    const std::pair<const std::vector<CShapeRecord*>*, const std::vector<CShapeRecord*>*> kinds[] =
        {{&m_Points, &m_VisiblePoints},
         {&m_Arcs, &m_VisibleArcs},
         {&m_Polygons, &m_VisiblePolygons}};
    for (const auto& kind : kinds)
        if (!kind.first->empty())
            return static_cast<int>(kind.first->size()) - static_cast<int>(kind.second->size());
    return 0;
}

void CTheme::ClearSelection() {
    m_Selection.clear();
    m_SelectionCounter = 0;
    m_SelectionArea.reset();
}

void CTheme::SetSelectionArea(const std::vector<CShapePoint>* points) {
    m_SelectionArea.reset();
    // A ring needs at least three corners and the point that closes it.
    if (points == nullptr || points->size() < 4 || points->size() > UINT32_MAX / 16)
        return;
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = static_cast<std::uint32_t>(points->size());
    std::unique_ptr<unsigned char[]> buffer(
        new unsigned char[CShapeRecordBuilder::RecordSize(builder.m_PartCount, builder.m_PointCount)]);
    builder.m_Record = buffer.get();
    builder.BeginPolygon();
    for (const CShapePoint& p : *points)
        builder.AddPoint(p.x, p.y);
    m_SelectionArea = std::move(buffer);
}

void CTheme::SelectAll(std::uint32_t color) {
    ClearSelection();
    const std::vector<CShapeRecord*>* list = VisibleList(*this);
    if (list == nullptr)
        return;
    const int width = IsPointTheme() ? 3 : m_LineWidth;
    for (const CShapeRecord* record : *list) {
        const int shapeIndex = GetShapeRecordIndex(record);
        if (m_Selection.count(shapeIndex) == 0)
            m_Selection.emplace(shapeIndex, CSelectionEntry{color, width, m_SelectionCounter++});
    }
}

void CTheme::InvertSelection(std::uint32_t color) {
    const std::vector<CShapeRecord*>* list = VisibleList(*this);
    if (list == nullptr)
        return;
    const int width = IsPointTheme() ? 3 : m_LineWidth;
    std::map<int, CSelectionEntry> inverted;
    int counter = 0;
    for (const CShapeRecord* record : *list) {
        const int shapeIndex = GetShapeRecordIndex(record);
        // A record number met twice must not give two selection indexes to
        // one entry.
        if (m_Selection.count(shapeIndex) == 0 && inverted.count(shapeIndex) == 0)
            inverted.emplace(shapeIndex, CSelectionEntry{color, width, counter++});
    }
    m_Selection.swap(inverted);
    m_SelectionCounter = counter;
}

void CTheme::InvertSelectionWithDefaultColour() {
    InvertSelection(CAppSettings::GetInstance()->m_ColorSelection);
}

void CTheme::AddToSelection(int shapeIndex, int /*position*/, int width, std::uint32_t color) {
    if (m_Selection.count(shapeIndex) != 0)
        return;
    m_Selection.emplace(shapeIndex, CSelectionEntry{color, width, m_SelectionCounter++});
}

void CTheme::RemoveFromSelection(int shapeIndex) {
    auto it = m_Selection.find(shapeIndex);
    if (it == m_Selection.end())
        return;
    const int removed = it->second.m_SelectionIndex;
    m_Selection.erase(it);
    for (auto& entry : m_Selection)
        if (entry.second.m_SelectionIndex > removed)
            --entry.second.m_SelectionIndex;
    --m_SelectionCounter;
}

int CTheme::GetSelectionIndex(int shapeIndex) const {
    auto it = m_Selection.find(shapeIndex);
    return it != m_Selection.end() ? it->second.m_SelectionIndex : -1;
}

CShapeRecord* CTheme::GetSelectedShape(int n) {
    if (n < 0 || n >= m_SelectionCounter)
        return nullptr;
    for (const auto& entry : m_Selection)
        if (entry.second.m_SelectionIndex == n)
            return GetShape(GetShapePosition(entry.first));
    return nullptr;
}

void CTheme::SetSelectionColour(std::uint32_t color) {
    for (auto& entry : m_Selection)
        entry.second.m_Color = color;
}

bool CTheme::FilterSelected() {
    if (m_Selection.empty())
        return true;
    std::vector<CShapeRecord*>* list = VisibleList(*this);
    if (list == nullptr)
        return false;
    // Positions are taken from the shape indexes now; a selected shape that
    // is already filtered out has none and is passed over.
    std::vector<int> positions;
    positions.reserve(m_Selection.size());
    for (const auto& entry : m_Selection) {
        const int position = GetShapePosition(entry.first);
        if (position >= 0)
            positions.push_back(position);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    {
        CProgressScope progress;
        // From the back, so that the positions still to go stay valid.
        std::size_t k = 0;
        for (auto it = positions.rbegin(); it != positions.rend(); ++it, ++k) {
            list->erase(list->begin() + *it);
            corvale::UI().SetProgress(Percent(k, positions.size()));
        }
        ResetShapePositions();
        ClearSelection();
        DeleteSpatialIndex();
        UpdateStyles();
    }
    return true;
}

void CTheme::InvertFilter() {
    CProgressScope progress;
    const std::pair<const std::vector<CShapeRecord*>*, std::vector<CShapeRecord*>*> kinds[] = {
        {&m_Points, &m_VisiblePoints},
        {&m_Arcs, &m_VisibleArcs},
        {&m_Polygons, &m_VisiblePolygons}};
    for (const auto& kind : kinds) {
        if (kind.first->empty())
            continue;
        std::vector<CShapeRecord*>& visible = *kind.second;
        std::unordered_set<const CShapeRecord*> shown;
        shown.reserve(visible.size());
        for (std::size_t i = 0; i < visible.size(); ++i) {
            shown.insert(visible[i]);
            corvale::UI().SetProgress(Percent(i, visible.size()));
        }
        std::vector<CShapeRecord*> inverted;
        inverted.reserve(kind.first->size() - std::min(kind.first->size(), shown.size()));
        for (CShapeRecord* record : *kind.first)
            if (shown.count(record) == 0)
                inverted.push_back(record);
        visible.swap(inverted);
    }
    ResetShapePositions();
    DeleteSpatialIndex();
    UpdateStyles();
}
