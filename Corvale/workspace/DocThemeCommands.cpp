// The commands that remove, show, hide and restyle the themes selected in the
// legend, switch them to editing and switch info tips.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "workspace/CommandIds.h"

#include <algorithm>

namespace {

bool HasChildren(const CTheme* theme) { return !theme->m_ChildThemes.empty(); }

// The kinds of the theme chooser (points 1, polylines 2, polygons 4, images
// 8) that match a theme's shape type; 0 for other types.
unsigned KindMaskOf(std::uint32_t type) {
    if (CShapeRecord::IsPointType(type))
        return 1u;
    if (CShapeRecord::IsPolylineType(type))
        return 2u;
    if (CShapeRecord::IsPolygonType(type))
        return 4u;
    if (type == SHT_Image)
        return 8u;
    return 0u;
}

} // namespace

void CCorvaleDoc::ResetEditState() {
    m_vertexMode = 0;
    if (m_toolMode == MT_DrawNew || m_toolMode == MT_AdjustVertex)
        m_toolMode = MT_Select;
}

bool CCorvaleDoc::RemoveSelectedThemes() {
    corvale::IUserInterface& ui = corvale::UI();
    const bool anyModified = std::any_of(m_selectedThemes.begin(), m_selectedThemes.end(),
                                         [](const CTheme* theme) { return theme->m_Modified; });
    if (anyModified &&
        ui.ShowMessage("Some of the selected themes were modified.\nProceeding might result in loss of "
                       "data.\n\nProceed anyway?",
                       corvale::MessageIcon::Warning, corvale::MessageButtons::YesNo) != corvale::IDYES)
        return false;

    const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
    const std::size_t before = m_selectedThemes.size();
    ui.BeginWaitCursor();
    if (dialogs.attachAttributeListBuilder)
        dialogs.attachAttributeListBuilder(this, nullptr);
    // A theme that others are made from can only go after them: each pass
    // removes the first selected theme that nothing depends on, so a child
    // selected together with its parent frees the parent for a later pass.
    for (;;) {
        const auto free = std::find_if(m_selectedThemes.begin(), m_selectedThemes.end(),
                                       [](const CTheme* theme) { return !HasChildren(theme); });
        if (free == m_selectedThemes.end())
            break;
        DropTheme(*free);
    }
    ui.EndWaitCursor();

    const std::size_t left = m_selectedThemes.size();
    m_activeTheme = left == 1 ? m_selectedThemes.front() : nullptr;
    if (left != before)
        FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(m_activeTheme));
    if (dialogs.attachAttributeListBuilder && m_activeTheme != nullptr)
        dialogs.attachAttributeListBuilder(this, m_activeTheme);
    if (left >= 1) {
        const std::string count = std::to_string(left);
        const bool several = left >= 2;
        ui.ShowMessage(count + " theme" + (several ? "s" : "") + " could not be removed.\n" +
                           (several ? "These themes hold" : "This theme holds") +
                           " data that other themes depend on.\nYou have to remove those themes first.\n\n",
                       corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
    }
    ResetEditState();
    return true;
}

bool CCorvaleDoc::EnableEditing() {
    if (m_vertexMode != 0) {
        m_vertexMode = 0;
        FireUpdateEvent(nullptr, DUE_EditModeChanged, 0);
    }
    corvale::IUserInterface& ui = corvale::UI();
    ui.SetStatusText("Working...");
    ui.BeginWaitCursor();
    std::vector<CTheme*> converted;
    bool failed = false;
    const std::vector<CTheme*> themes = m_selectedThemes;
    for (CTheme* theme : themes) {
        if (theme->ConvertToNative(true, false))
            converted.push_back(theme);
        else
            failed = true;
    }
    ui.EndWaitCursor();
    ui.SetStatusText("For Help, press F1");
    if (failed)
        ui.ShowMessage("Not all themes could be converted to native format.", corvale::MessageIcon::Error,
                       corvale::MessageButtons::Ok);
    for (CTheme* theme : converted)
        FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, reinterpret_cast<std::intptr_t>(theme));
    return !failed;
}

void CCorvaleDoc::CopyStyleFrom(CTheme* source) {
    if (source == nullptr)
        return;
    for (CTheme* theme : m_selectedThemes) {
        if (theme == source)
            continue;
        theme->m_Color = source->m_Color;
        theme->m_OutlineColor = source->m_OutlineColor;
        theme->m_LineWidth = source->m_LineWidth;
        theme->m_PenStyle = source->m_PenStyle;
        theme->m_FillPattern = source->m_FillPattern;
        theme->m_PointSymbol = source->m_PointSymbol;
        theme->m_LineOffsetMode = source->m_LineOffsetMode;
        theme->m_LineOffset = source->m_LineOffset;
        theme->m_ConnectPoints = source->m_ConnectPoints;
        theme->m_ShowArrows = source->m_ShowArrows;
        theme->m_ArrowPosition = source->m_ArrowPosition;
        // The setters draw the arrow's icons again.
        theme->m_ArrowImage.SetArrowType(source->m_ArrowImage.GetArrowType());
        theme->m_ArrowImage.SetArrowColor(source->m_ArrowImage.GetArrowColor());
        theme->m_ArrowImage.SetArrowSize(source->m_ArrowImage.GetArrowSize());
        theme->UpdateDefaultStyle();
        theme->UpdateStyles();
        theme->m_Modified = true;
    }
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeStyleChanged, 0);
}

void CCorvaleDoc::OnRemoveThemes() {
    RemoveSelectedThemes();
}

void CCorvaleDoc::OnUpdateRemoveThemes(CCmdUI& ui) {
    ui.Enable(!m_selectedThemes.empty() && !m_themes.empty());
}

void CCorvaleDoc::OnShowTheme() {
    if (m_activeTheme == nullptr)
        return;
    m_activeTheme->m_Visible = !m_activeTheme->m_Visible;
    FireUpdateEvent(nullptr, DUE_VisibilityChanged, reinterpret_cast<std::intptr_t>(m_activeTheme));
}

void CCorvaleDoc::OnUpdateShowTheme(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr);
    if (m_activeTheme != nullptr)
        ui.SetText(m_activeTheme->m_Visible ? "&Hide" : "&Show");
}

void CCorvaleDoc::OnThemeProperties() {
    if (m_activeTheme != nullptr)
        FireUpdateEvent(nullptr, DUE_EditThemeProperties,
                        reinterpret_cast<std::intptr_t>(m_activeTheme));
}

void CCorvaleDoc::OnHideAllThemes() {
    for (CTheme* theme : m_themes)
        theme->m_Visible = false;
    FireUpdateEvent(nullptr, DUE_VisibilityChanged, 0);
}

void CCorvaleDoc::OnUpdateHideAllThemes(CCmdUI& ui) {
    ui.Enable(std::any_of(m_themes.begin(), m_themes.end(),
                          [](const CTheme* t) { return t->m_Visible; }));
}

void CCorvaleDoc::OnShowAllThemes() {
    for (CTheme* theme : m_themes)
        theme->m_Visible = true;
    FireUpdateEvent(nullptr, DUE_VisibilityChanged, 0);
}

void CCorvaleDoc::OnUpdateShowAllThemes(CCmdUI& ui) {
    ui.Enable(std::any_of(m_themes.begin(), m_themes.end(),
                          [](const CTheme* t) { return !t->m_Visible; }));
}

void CCorvaleDoc::OnAttributeManager() {
    CTheme* theme = m_activeTheme;
    const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
    if (theme == nullptr || !dialogs.manageAttributes)
        return;
    if (dialogs.manageAttributes(theme) && theme->m_Editable && theme->m_Modified) {
        FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
        SetModifiedFlag(true);
    }
}

void CCorvaleDoc::OnUpdateAttributeManager(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && GetDocumentDialogServices().manageAttributes);
}

void CCorvaleDoc::OnEnableEditing() {
    EnableEditing();
}

void CCorvaleDoc::OnUpdateEnableEditing(CCmdUI& ui) {
    ui.Enable(std::any_of(m_selectedThemes.begin(), m_selectedThemes.end(), [](const CTheme* t) {
        return !t->m_Editable && !HasChildren(t) && t->GetFilteredShapeCount() == 0 &&
               t->m_ShapeType != SHT_Image;
    }));
}

void CCorvaleDoc::OnInfoTips() {
    CTheme* active = m_activeTheme;
    if (active == nullptr)
        return;
    for (CTheme* theme : m_themes)
        if (theme != active)
            theme->m_ShowInfoTip = false;
    active->m_ShowInfoTip = !active->m_ShowInfoTip;
    FireUpdateEvent(nullptr, DUE_InfoTipsChanged, reinterpret_cast<std::intptr_t>(active));
}

void CCorvaleDoc::OnUpdateInfoTips(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr);
    ui.SetCheck(m_activeTheme != nullptr && m_activeTheme->m_ShowInfoTip);
}

void CCorvaleDoc::OnCopyStyleFrom() {
    const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
    if (m_selectedThemes.empty() || !dialogs.chooseTheme)
        return;
    const unsigned mask = KindMaskOf(m_selectedThemes.front()->m_ShapeType);
    if (mask == 0)
        return;
    CTheme* source = dialogs.chooseTheme(this, "Select Style Source", mask);
    if (source != nullptr)
        CopyStyleFrom(source);
}

void CCorvaleDoc::OnUpdateCopyStyleFrom(CCmdUI& ui) {
    bool sameType = !m_selectedThemes.empty();
    for (const CTheme* theme : m_selectedThemes)
        sameType = sameType && theme->m_ShapeType == m_selectedThemes.front()->m_ShapeType;
    ui.Enable(m_themes.size() >= 2 && sameType && GetDocumentDialogServices().chooseTheme);
}

void CCorvaleDoc::AddThemeCommands() {
    OnCommand(ID_THEME_REMOVE, &CCorvaleDoc::OnRemoveThemes, &CCorvaleDoc::OnUpdateRemoveThemes);
    OnCommand(ID_THEME_SHOW, &CCorvaleDoc::OnShowTheme, &CCorvaleDoc::OnUpdateShowTheme);
    OnCommand(ID_THEME_PROPERTIES, &CCorvaleDoc::OnThemeProperties,
              &CCorvaleDoc::OnUpdateHasActiveTheme);
    OnCommand(ID_THEME_HIDE_ALL, &CCorvaleDoc::OnHideAllThemes,
              &CCorvaleDoc::OnUpdateHideAllThemes);
    OnCommand(ID_THEME_SHOW_ALL, &CCorvaleDoc::OnShowAllThemes,
              &CCorvaleDoc::OnUpdateShowAllThemes);
    OnCommand(ID_THEME_ATTRIBUTE_MANAGER, &CCorvaleDoc::OnAttributeManager,
              &CCorvaleDoc::OnUpdateAttributeManager);
    OnCommand(ID_THEME_ENABLE_EDITING, &CCorvaleDoc::OnEnableEditing,
              &CCorvaleDoc::OnUpdateEnableEditing);
    OnCommand(ID_THEME_INFOTIPS, &CCorvaleDoc::OnInfoTips, &CCorvaleDoc::OnUpdateInfoTips);
    OnCommand(ID_THEME_COPY_STYLE_FROM, &CCorvaleDoc::OnCopyStyleFrom,
              &CCorvaleDoc::OnUpdateCopyStyleFrom);
}
