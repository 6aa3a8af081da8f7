// The document's list of themes selected in the legend, and the layer
// commands of the legend that act on the whole list.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "workspace/ViewMessages.h"

#include <algorithm>
#include <cstring>

namespace {

CTheme* ActiveThemeOf(const std::vector<CTheme*>& selected) {
    return selected.size() == 1 ? selected.front() : nullptr;
}

} // namespace

void CCorvaleDoc::SetThemeSelected(CTheme* theme, bool selected) {
    const auto it = std::find(m_selectedThemes.begin(), m_selectedThemes.end(), theme);
    if (selected && it == m_selectedThemes.end() && theme != nullptr)
        m_selectedThemes.push_back(theme);
    else if (!selected && it != m_selectedThemes.end())
        m_selectedThemes.erase(it);
    m_activeTheme = ActiveThemeOf(m_selectedThemes);
    if (GetDocumentDialogServices().attachAttributeListBuilder)
        GetDocumentDialogServices().attachAttributeListBuilder(this, m_activeTheme);
}

bool CCorvaleDoc::IsThemeSelected(const CTheme* theme) const {
    return std::find(m_selectedThemes.begin(), m_selectedThemes.end(), theme) !=
           m_selectedThemes.end();
}

void CCorvaleDoc::ClearThemeSelection() {
    m_selectedThemes.clear();
    m_activeTheme = nullptr;
    if (GetDocumentDialogServices().attachAttributeListBuilder)
        GetDocumentDialogServices().attachAttributeListBuilder(this, nullptr);
}

void CCorvaleDoc::InvertThemeSelection() {
    std::vector<CTheme*> inverted;
    for (CTheme* theme : m_themes)
        if (!IsThemeSelected(theme))
            inverted.push_back(theme);
    m_selectedThemes = std::move(inverted);
    m_activeTheme = ActiveThemeOf(m_selectedThemes);
    FireUpdateEvent(nullptr, DUE_ActiveThemeChanged,
                    reinterpret_cast<std::intptr_t>(m_activeTheme));
}

void CCorvaleDoc::SelectThemesMatching(const std::function<bool(const CTheme&)>& predicate) {
    m_selectedThemes.clear();
    for (CTheme* theme : m_themes)
        if (theme != nullptr && predicate && predicate(*theme))
            m_selectedThemes.push_back(theme);
    m_activeTheme = ActiveThemeOf(m_selectedThemes);
    FireUpdateEvent(nullptr, DUE_ActiveThemeChanged,
                    reinterpret_cast<std::intptr_t>(m_activeTheme));
}

void CCorvaleDoc::ReverseThemeOrder() {
    std::reverse(m_themes.begin(), m_themes.end());
    FireUpdateEvent(nullptr, DUE_ThemeOrderChanged, 0);
}

double CCorvaleDoc::GetUnitsPerPixel() {
    double upp = 0.0;
    if (m_mapView != nullptr)
        SendMessage(m_mapView, WM_GET_UNITS_PER_PIXEL, 0, reinterpret_cast<std::intptr_t>(&upp));
    return upp;
}
