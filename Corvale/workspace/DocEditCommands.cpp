// The Edit menu's commands on the active theme's selected shapes: copy, cut,
// paste and delete, the copies as GeoJSON and WKT text, multi-edit, and the
// moves of the selection to the top or bottom of the drawing order.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "framework/UserInterface.h"
#include "workspace/CommandIds.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

const char* const CCorvaleDoc::kDeleteInVertexModeMessage =
    "Edit|Delete has currently no effect when in vertex mode.\n\nTurn off vertex mode to delete the entire shape, "
    "or delete\ncoordinates in the coordinate view using its context menu.";

namespace {

// Hands a copy's data to the clipboard, which replaces whatever it held;
// false, nothing placed, when the copy placed nothing or there is no
// clipboard.
bool CopyToClipboard(CTheme& theme, bool (*copy)(CTheme&, QMimeData&)) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    auto data = std::make_unique<QMimeData>();
    if (!copy(theme, *data))
        return false;
    clipboard->setMimeData(data.release());
    return true;
}

} // namespace

bool CCorvaleDoc::ActiveThemeHasSelection() const {
    return m_activeTheme != nullptr &&
           (!m_activeTheme->m_Selection.empty() || m_activeTheme->m_SelectionArea != nullptr);
}

bool CCorvaleDoc::ActiveThemeCanDeleteSelection() const {
    return ActiveThemeHasSelection() && m_activeTheme->m_Editable && m_activeTheme->m_ChildThemes.empty();
}

bool CCorvaleDoc::CopySelectionToClipboard() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return false;
    // An image theme copies the outline drawn over it, nothing else.
    if (theme->m_ShapeType == SHT_Image && theme->m_SelectionArea == nullptr)
        return false;
    return CopyToClipboard(*theme, &CopySelection);
}

void CCorvaleDoc::OnEditCopy() {
    if (m_activeTheme == nullptr)
        return;
    corvale::CBusyScope busy;
    CopySelectionToClipboard();
}

void CCorvaleDoc::OnUpdateEditCopy(CCmdUI& ui) {
    ui.Enable(ActiveThemeHasSelection());
}

void CCorvaleDoc::OnEditCut() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    corvale::CBusyScope busy;
    // The shapes go only once the clipboard holds them.
    if (ActiveThemeCanDeleteSelection() && CopySelectionToClipboard())
        theme->DeleteSelectedShapes();
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateEditCut(CCmdUI& ui) {
    ui.Enable(ActiveThemeCanDeleteSelection());
}

void CCorvaleDoc::OnEditPaste() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr || !CanPaste(*theme))
        return;
    corvale::CBusyScope busy;
    // The first shapes of a workspace's only theme are zoomed to.
    const bool firstShapes = m_themes.size() == 1 && theme->GetShapeCount() == 0;
    Paste(*theme);
    if (firstShapes)
        ZoomToFullExtent(nullptr);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateEditPaste(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && CanPaste(*m_activeTheme));
}

void CCorvaleDoc::OnEditDelete() {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    if (m_vertexMode != 0) {
        corvale::UI().ShowMessage(kDeleteInVertexModeMessage, corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
        return;
    }
    if (!ActiveThemeCanDeleteSelection())
        return;
    corvale::CBusyScope busy;
    const std::size_t selected = theme->m_Selection.size();
    theme->DeleteSelectedShapes();
    if (theme->m_Selection.size() != selected)
        SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateEditDelete(CCmdUI& ui) {
    ui.Enable(ActiveThemeCanDeleteSelection());
}

void CCorvaleDoc::OnCopyAsGeoJson() {
    if (m_activeTheme == nullptr)
        return;
    corvale::CBusyScope busy;
    CopyToClipboard(*m_activeTheme, &CopySelectionAsGeoJson);
}

void CCorvaleDoc::OnUpdateCopyAsGeoJson(CCmdUI& ui) {
    ui.Enable(ActiveThemeHasSelection());
}

void CCorvaleDoc::OnCopyAsWkt() {
    if (m_activeTheme == nullptr)
        return;
    corvale::CBusyScope busy;
    CopyToClipboard(*m_activeTheme, &CopySelectionAsWkt);
}

void CCorvaleDoc::OnUpdateCopyAsWkt(CCmdUI& ui) {
    ui.Enable(ActiveThemeHasSelection());
}

// The dialog lives above the document; until it is installed the command
// stays disabled.
void CCorvaleDoc::OnMultiEdit() {
    CTheme* theme = m_activeTheme;
    const auto& dialog = GetDocumentDialogServices().multiEditAttributes;
    if (theme == nullptr || !dialog || !ActiveThemeHasSelection() || !theme->m_Editable ||
        theme->GetAttributeCount() == 0)
        return;
    if (dialog(this, theme))
        FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateMultiEdit(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentDialogServices().multiEditAttributes) &&
              ActiveThemeHasSelection() && m_activeTheme->m_Editable &&
              m_activeTheme->GetAttributeCount() > 0);
}

// Shape Data: the raw bytes of the one selected shape. The records of a
// theme carry nothing after them (the loader's handle word is no byte
// count), so the viewer is told of no extra bytes and never reads past
// the record.
void CCorvaleDoc::OnShapeData() {
    const auto& viewer = GetDocumentDialogServices().showShapeData;
    if (!viewer || !HasOneSelectedShape())
        return;
    viewer(m_activeTheme->GetSelectedShape(0), 0);
}

void CCorvaleDoc::OnUpdateShapeData(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentDialogServices().showShapeData) &&
              HasOneSelectedShape());
}

// Bring to Top and Send to Bottom, told apart by the id.
void CCorvaleDoc::OnMoveSelectionInZOrder(unsigned id) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr || !CanMoveSelectionInZOrder())
        return;
    const bool moved =
        id == ID_EDIT_TOP_Z_ORDER ? theme->MoveSelectionToTop() : theme->MoveSelectionToBottom();
    if (moved)
        FireUpdateEvent(nullptr, DUE_ZOrderChanged, reinterpret_cast<std::intptr_t>(theme));
}

void CCorvaleDoc::OnUpdateMoveSelectionInZOrder(CCmdUI& ui) {
    ui.Enable(CanMoveSelectionInZOrder());
}

void CCorvaleDoc::AddEditCommands() {
    OnCommand(ID_EDIT_COPY, &CCorvaleDoc::OnEditCopy, &CCorvaleDoc::OnUpdateEditCopy);
    OnCommand(ID_EDIT_CUT, &CCorvaleDoc::OnEditCut, &CCorvaleDoc::OnUpdateEditCut);
    OnCommand(ID_EDIT_PASTE, &CCorvaleDoc::OnEditPaste, &CCorvaleDoc::OnUpdateEditPaste);
    OnCommand(ID_EDIT_DELETE, &CCorvaleDoc::OnEditDelete, &CCorvaleDoc::OnUpdateEditDelete);
    OnCommand(ID_EDIT_COPY_AS_GEOJSON, &CCorvaleDoc::OnCopyAsGeoJson,
              &CCorvaleDoc::OnUpdateCopyAsGeoJson);
    OnCommand(ID_EDIT_COPY_AS_WKT, &CCorvaleDoc::OnCopyAsWkt, &CCorvaleDoc::OnUpdateCopyAsWkt);
    OnCommand(ID_EDIT_MULTI_EDIT, &CCorvaleDoc::OnMultiEdit, &CCorvaleDoc::OnUpdateMultiEdit);
    OnCommand(ID_EDIT_SHAPE_DATA, &CCorvaleDoc::OnShapeData, &CCorvaleDoc::OnUpdateShapeData);
    OnCommand(ID_EDIT_TOP_Z_ORDER, &CCorvaleDoc::OnMoveSelectionInZOrder,
              &CCorvaleDoc::OnUpdateMoveSelectionInZOrder);
    OnCommand(ID_EDIT_BOTTOM_Z_ORDER, &CCorvaleDoc::OnMoveSelectionInZOrder,
              &CCorvaleDoc::OnUpdateMoveSelectionInZOrder);
}

bool CCorvaleDoc::CanMoveSelectionInZOrder() const {
    return m_activeTheme != nullptr && !m_activeTheme->m_Selection.empty() && m_activeTheme->m_Editable &&
           m_activeTheme->GetFilteredShapeCount() == 0;
}

bool CCorvaleDoc::HasOneSelectedShape() const {
    return m_activeTheme != nullptr && m_activeTheme->m_Selection.size() == 1 &&
           m_activeTheme->GetSelectedShape(0) != nullptr;
}
