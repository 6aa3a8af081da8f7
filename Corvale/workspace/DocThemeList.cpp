// Making, adding and removing the document's themes.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/gpi/GpiHost.h"

#include <algorithm>
#include <memory>

CTheme* CCorvaleDoc::CreateTheme(const std::string& name, std::uint32_t shapeType) {
    auto theme = std::make_unique<CTheme>();
    theme->m_Name = name;
    theme->m_ShapeType = shapeType;
    theme->m_SourceType = ST_Unknown;
    ApplyNewThemeSettings(theme.get());
    // A new theme is shown whatever the setting for opened files says.
    theme->m_Visible = true;
    return theme.release();
}

void CCorvaleDoc::AddTheme(CTheme* theme, bool forceTop) {
    if (theme == nullptr)
        return;
    if (CAppSettings::GetInstance()->m_LoadToBottom != 0 && !forceTop)
        m_themes.push_back(theme);
    else
        m_themes.insert(m_themes.begin(), theme);
    GpiNotifyThemeAdded(this, theme);
}

bool CCorvaleDoc::DropTheme(CTheme* theme) {
    if (theme == nullptr || !theme->m_ChildThemes.empty())
        return false;
    FireUpdateEvent(nullptr, DUE_ThemeRemoved, reinterpret_cast<std::intptr_t>(theme));
    const auto it = std::find(m_themes.begin(), m_themes.end(), theme);
    const bool owned = it != m_themes.end();
    if (owned) {
        if (GetDocumentConsoleServices().detachTheme)
            GetDocumentConsoleServices().detachTheme(*this, theme);
        GpiNotifyThemesRemoved(this, theme);
        m_themes.erase(it);
    }
    if (m_loaderTargetTheme == theme)
        m_loaderTargetTheme = nullptr;
    const auto selected = std::find(m_selectedThemes.begin(), m_selectedThemes.end(), theme);
    if (selected != m_selectedThemes.end())
        m_selectedThemes.erase(selected);
    if (m_activeTheme == theme)
        m_activeTheme = nullptr;
    if (owned) {
        GpiForgetTheme(theme);
        delete theme;
        SetModifiedFlag(true);
    }
    return true;
}

bool CCorvaleDoc::RemoveTheme(CTheme* theme) {
    if (m_themes.empty() || theme == nullptr || !theme->m_ChildThemes.empty())
        return false;
    const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
    // The builder must not keep showing rows of a theme that is going.
    if (dialogs.attachAttributeListBuilder)
        dialogs.attachAttributeListBuilder(this, nullptr);
    DropTheme(theme);
    m_activeTheme = m_selectedThemes.size() == 1 ? m_selectedThemes.front() : nullptr;
    if (dialogs.attachAttributeListBuilder)
        dialogs.attachAttributeListBuilder(this, m_activeTheme);
    FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(m_activeTheme));
    ResetEditState();
    return true;
}

CTheme* CCorvaleDoc::NewThemeFromSelection(CTheme* source, const char* name, bool quiet) {
    if (source == nullptr)
        return nullptr;
    std::vector<CShapeRecord*> CTheme::*list = nullptr;
    if (source->IsPointTheme())
        list = &CTheme::m_Points;
    else if (source->IsArcTheme())
        list = &CTheme::m_Arcs;
    else if (source->IsPolygonTheme())
        list = &CTheme::m_Polygons;
    else
        return nullptr;

    corvale::IUserInterface& ui = corvale::UI();
    if (!quiet) {
        ui.SetStatusText("Working...");
        ui.BeginProgress();
    }
    ui.BeginWaitCursor();

    CTheme* theme = CreateTheme(name != nullptr ? std::string(name) : "From: " + source->m_Name, source->m_ShapeType);
    theme->m_SourceType = ST_ParentTheme;
    // The records belong to the theme that read them; a selection of a
    // selection refers to the same parent.
    CTheme* parent = source->m_SourceType == ST_ParentTheme && source->m_ParentTheme != nullptr
                         ? source->m_ParentTheme
                         : source;
    theme->m_ParentTheme = parent;
    theme->m_LastLoaderHandle = source->m_LastLoaderHandle;
    parent->AddChildTheme(theme);

    const std::size_t count = source->m_Selection.size();
    std::size_t done = 0;
    for (const auto& entry : source->m_Selection) {
        CShapeRecord* record = source->GetShape(source->GetShapePosition(entry.first));
        if (record != nullptr)
            (theme->*list).push_back(record);
        ++done;
        if (!quiet)
            ui.SetProgress(static_cast<int>(done * 100 / count));
    }
    theme->RecalculateBounds();
    theme->ResetFilter();
    theme->ResetShapePositions();
    theme->UpdateStyles();

    AddTheme(theme);
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(theme));
    // The new theme is stored with the workspace: leaving without saving
    // must ask.
    SetModifiedFlag(true);

    ui.EndWaitCursor();
    if (!quiet) {
        ui.EndProgress();
        ui.SetStatusText("For Help, press F1");
    }
    return theme;
}
