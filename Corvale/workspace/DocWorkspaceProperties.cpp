// The workspace's properties dialog and the Transform command over the
// themes selected in the legend.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/CommandTarget.h"
#include "framework/UserInterface.h"
#include "workspace/CommandIds.h"

using corvale::UI;

const char* const CCorvaleDoc::kTransformMixMessage =
    "Selected themes cannot be transformed at the same time.\n\nRaster and vector layers cannot be mixed.\n"
    "Only one raster layer can be transformed at a time.\nVector layers need to be editable.";

namespace {
// The status-bar pane of the reference system.
constexpr int kRefSysPane = 1130;
} // namespace

void CCorvaleDoc::ShowWorkspaceProperties(int page) {
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    if (!services.workspaceProperties)
        return;
    CWorkspacePropertyValues values;
    values.m_BackgroundColor = m_backgroundColor;
    values.m_Description = m_description;
    values.m_GridX = m_gridSpacingX;
    values.m_GridY = m_gridSpacingY;
    values.m_ShowOnOpen = m_openPropertiesFlag == 1;
    values.m_RefSystem = m_refSystem;
    values.m_EarthRadius = m_earthRadius;
    values.m_Page = page;
    if (!services.workspaceProperties(values))
        return;
    m_backgroundColor = values.m_BackgroundColor;
    m_description = values.m_Description;
    m_gridSpacingX = values.m_GridX;
    m_gridSpacingY = values.m_GridY;
    m_refSystem = GetRefSysEntry(values.m_RefSystem) != nullptr ? values.m_RefSystem : -1;
    m_earthRadius = values.m_EarthRadius;
    // Another value that a newer file may carry stays as it is unless the box
    // is cleared.
    if (values.m_ShowOnOpen)
        m_openPropertiesFlag = 1;
    else if (m_openPropertiesFlag == 1)
        m_openPropertiesFlag = 0;
    const RefSysEntry* refSystem = GetRefSysEntry(m_refSystem);
    UI().SetStatusPaneText(kRefSysPane, refSystem != nullptr ? refSystem->name : "Unknown");
    FireUpdateEvent(nullptr, DUE_WorkspacePropertiesChanged, 0);
    UpdateMapScale();
    SetModifiedFlag(true);
}

void CCorvaleDoc::OnTransformThemes() {
    int images = 0;
    int vectors = 0;
    bool allEditable = true;
    for (CTheme* theme : m_selectedThemes) {
        if (theme->m_ShapeType == SHT_Image) {
            ++images;
        } else {
            ++vectors;
            allEditable = allEditable && theme->m_Editable;
        }
    }
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    if (images == 1 && vectors == 0) {
        if (m_activeTheme != nullptr && m_activeTheme->m_ShapeType == SHT_Image && m_activeTheme->m_RasterLoaded &&
            services.transformImage)
            services.transformImage(this, m_activeTheme);
        return;
    }
    if (images == 0 && vectors > 0 && allEditable) {
        if (services.transformThemes && services.transformThemes(this, m_selectedThemes)) {
            ZoomToSelectedThemes();
            FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
            FireUpdateEvent(nullptr, DUE_Refresh, 0);
        }
        return;
    }
    UI().ShowMessage(kTransformMixMessage, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

void CCorvaleDoc::OnUpdateTransformThemes(CCmdUI& ui) {
    ui.Enable(!m_selectedThemes.empty());
}

// Workspace Properties opens on the General tab.
void CCorvaleDoc::OnWorkspaceProperties() {
    ShowWorkspaceProperties(0);
}

void CCorvaleDoc::OnUpdateWorkspaceProperties(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentDialogServices().workspaceProperties));
}

void CCorvaleDoc::AddWorkspacePropertiesCommands() {
    OnCommand(ID_WORKSPACE_SHOW_PROPERTIES, &CCorvaleDoc::OnWorkspaceProperties,
              &CCorvaleDoc::OnUpdateWorkspaceProperties);
    OnCommand(ID_WORKSPACE_TRANSFORM, &CCorvaleDoc::OnTransformThemes,
              &CCorvaleDoc::OnUpdateTransformThemes);
}
