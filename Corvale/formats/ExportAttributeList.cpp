#include "formats/ExportAttributeList.h"

#include "core/Theme.h"

#include <algorithm>

CExportAttributeList::CExportAttributeList(const CTheme& theme, bool onlyVisible)
    : m_Theme(theme), m_OnlyVisible(onlyVisible) {
    Rebuild();
}

bool CExportAttributeList::IsOffered(int column) const {
    return !m_OnlyVisible || m_Theme.IsAttributeColumnShown(column);
}

void CExportAttributeList::Rebuild() {
    m_Available.clear();
    const int columns = static_cast<int>(m_Theme.GetAttributeCount());
    for (int column = 0; column < columns; ++column) {
        if (!IsOffered(column))
            continue;
        const bool exported = std::any_of(m_Exported.begin(), m_Exported.end(),
                                          [&](const CExportAttributeItem& item) { return item.m_Column == column; });
        if (!exported)
            m_Available.push_back({m_Theme.GetAttributeName(column), column});
    }
}

namespace {

// The items at the rows, in list order, taken out of the list; each row
// counts once.
std::vector<CExportAttributeItem> TakeRows(std::vector<CExportAttributeItem>& list, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<CExportAttributeItem> taken;
    std::vector<CExportAttributeItem> kept;
    std::size_t next = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        while (next < rows.size() && rows[next] < static_cast<int>(i))
            ++next;
        if (next < rows.size() && rows[next] == static_cast<int>(i))
            taken.push_back(std::move(list[i]));
        else
            kept.push_back(std::move(list[i]));
    }
    list = std::move(kept);
    return taken;
}

std::vector<int> AllRows(std::size_t count) {
    std::vector<int> rows(count);
    for (std::size_t i = 0; i < count; ++i)
        rows[i] = static_cast<int>(i);
    return rows;
}

} // namespace

void CExportAttributeList::Add(const std::vector<int>& rows) {
    for (CExportAttributeItem& item : TakeRows(m_Available, rows))
        m_Exported.push_back(std::move(item));
}

void CExportAttributeList::AddAll() { Add(AllRows(m_Available.size())); }

void CExportAttributeList::Remove(const std::vector<int>& rows) {
    for (CExportAttributeItem& item : TakeRows(m_Exported, rows))
        if (IsOffered(item.m_Column))
            m_Available.push_back(std::move(item));
}

void CExportAttributeList::RemoveAll() { Remove(AllRows(m_Exported.size())); }

void CExportAttributeList::SetOnlyVisible(bool onlyVisible) {
    m_OnlyVisible = onlyVisible;
    Rebuild();
}

std::vector<std::string> CExportAttributeList::ChosenNames() const {
    std::vector<std::string> names;
    names.reserve(m_Exported.size());
    for (const CExportAttributeItem& item : m_Exported)
        names.push_back(item.m_Name);
    return names;
}
