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

void CCorvaleDoc::AddEditCommands() {
    OnCommand(
        ID_EDIT_COPY,
        [this] {
            if (m_activeTheme == nullptr)
                return;
            corvale::CBusyScope busy;
            CopySelectionToClipboard();
        },
        [this](CCmdUI& ui) { ui.Enable(ActiveThemeHasSelection()); });

    OnCommand(
        ID_EDIT_CUT,
        [this] {
            CTheme* theme = m_activeTheme;
            if (theme == nullptr)
                return;
            corvale::CBusyScope busy;
            // The shapes go only once the clipboard holds them.
            if (ActiveThemeCanDeleteSelection() && CopySelectionToClipboard())
                theme->DeleteSelectedShapes();
            FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
        },
        [this](CCmdUI& ui) { ui.Enable(ActiveThemeCanDeleteSelection()); });

    OnCommand(
        ID_EDIT_PASTE,
        [this] {
            CTheme* theme = m_activeTheme;
            if (theme == nullptr || !CanPaste(*theme))
                return;
            corvale::CBusyScope busy;
            // The first shapes of a workspace's only theme are zoomed to.
            const bool firstShapes = m_themes.size() == 1 && theme->GetShapeCount() == 0;
            Paste(*theme);
            if (firstShapes)
                ZoomToFirstData();
            FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
        },
        [this](CCmdUI& ui) { ui.Enable(m_activeTheme != nullptr && CanPaste(*m_activeTheme)); });

    OnCommand(
        ID_EDIT_DELETE,
        [this] {
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
        },
        [this](CCmdUI& ui) { ui.Enable(ActiveThemeCanDeleteSelection()); });

    OnCommand(
        ID_EDIT_COPY_AS_GEOJSON,
        [this] {
            if (m_activeTheme == nullptr)
                return;
            corvale::CBusyScope busy;
            CopyToClipboard(*m_activeTheme, &CopySelectionAsGeoJson);
        },
        [this](CCmdUI& ui) { ui.Enable(ActiveThemeHasSelection()); });

    OnCommand(
        ID_EDIT_COPY_AS_WKT,
        [this] {
            if (m_activeTheme == nullptr)
                return;
            corvale::CBusyScope busy;
            CopyToClipboard(*m_activeTheme, &CopySelectionAsWkt);
        },
        [this](CCmdUI& ui) { ui.Enable(ActiveThemeHasSelection()); });

    // The dialog lives above the document; until it is installed the command
    // stays disabled.
    OnCommand(
        ID_EDIT_MULTI_EDIT,
        [this] {
            CTheme* theme = m_activeTheme;
            const auto& dialog = GetDocumentDialogServices().multiEditAttributes;
            if (theme == nullptr || !dialog || !ActiveThemeHasSelection() || !theme->m_Editable ||
                theme->GetAttributeCount() == 0)
                return;
            if (dialog(this, theme))
                FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
        },
        [this](CCmdUI& ui) {
            ui.Enable(static_cast<bool>(GetDocumentDialogServices().multiEditAttributes) &&
                      ActiveThemeHasSelection() && m_activeTheme->m_Editable &&
                      m_activeTheme->GetAttributeCount() > 0);
        });

    for (const unsigned id : {unsigned(ID_EDIT_TOP_Z_ORDER), unsigned(ID_EDIT_BOTTOM_Z_ORDER)}) {
        OnCommand(
            id,
            [this, id] {
                CTheme* theme = m_activeTheme;
                if (theme == nullptr || !CanMoveSelectionInZOrder())
                    return;
                const bool moved =
                    id == ID_EDIT_TOP_Z_ORDER ? theme->MoveSelectionToTop() : theme->MoveSelectionToBottom();
                if (moved)
                    FireUpdateEvent(nullptr, DUE_ZOrderChanged, reinterpret_cast<std::intptr_t>(theme));
            },
            [this](CCmdUI& ui) { ui.Enable(CanMoveSelectionInZOrder()); });
    }
}

bool CCorvaleDoc::CanMoveSelectionInZOrder() const {
    return m_activeTheme != nullptr && !m_activeTheme->m_Selection.empty() && m_activeTheme->m_Editable &&
           m_activeTheme->GetFilteredShapeCount() == 0;
}
