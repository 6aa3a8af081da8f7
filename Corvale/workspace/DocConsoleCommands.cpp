// The console and script commands of a workspace, and the commands whose
// work belongs to the attribute pane or the map view, which the document
// only sends on. The console and its dialogs live above the document and are
// reached through the console services; every command is enabled only while
// what it needs is there to act.

#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include "framework/Messages.h"

void CCorvaleDoc::AddConsoleCommands() {
    OnCommand(
        ID_VIEW_CONSOLE,
        [this] {
            if (GetDocumentConsoleServices().showConsole)
                GetDocumentConsoleServices().showConsole(*this);
        },
        [](CCmdUI& ui) { ui.Enable(static_cast<bool>(GetDocumentConsoleServices().showConsole)); });
    OnCommand(
        ID_SCRIPT_FROM_TEMPLATE,
        [this] {
            if (GetDocumentConsoleServices().createScript)
                GetDocumentConsoleServices().createScript(*this);
        },
        [](CCmdUI& ui) { ui.Enable(static_cast<bool>(GetDocumentConsoleServices().createScript)); });
}

namespace {

// Whether the window can take messages of its own (it has a widget).
bool HasWindow(CMessageWindow* window) {
    return window != nullptr && window->GetMessageObject() != nullptr;
}

} // namespace

void CCorvaleDoc::AddForwardedCommands() {
    // The column commands are enabled by whoever shows the columns: the
    // attribute pane answers the update event with the command's state.
    auto columnUpdate = [this](CCmdUI& ui) {
        ui.Enable(false);
        FireUpdateEvent(nullptr, DUE_ColumnCommand, reinterpret_cast<std::intptr_t>(&ui));
    };
    OnCommandRange(
        ID_COLUMN_STATISTICS_FIRST, ID_COLUMN_STATISTICS_LAST,
        [this](unsigned id) {
            bool& forwarding = m_forwardingStatistic[id - ID_COLUMN_STATISTICS_FIRST];
            if (forwarding || !HasWindow(m_commandWindow))
                return;
            forwarding = true;
            try {
                SendMessage(m_commandWindow, WM_COMMAND, id, 0);
            } catch (...) {
                forwarding = false;
                throw;
            }
            forwarding = false;
        },
        columnUpdate);
    OnCommandRange(
        ID_COLUMN_SORT_ASCENDING, ID_COLUMN_SORT_DESCENDING,
        [this](unsigned id) {
            if (m_commandWindow != nullptr)
                SendMessage(m_commandWindow, WM_COMMAND, id, 0);
        },
        columnUpdate);
    OnCommandRange(
        ID_COLUMN_CHECK_DUPLICATES, ID_COLUMN_SHOW_VALUE_LIST,
        [this](unsigned id) {
            if (HasWindow(m_commandWindow))
                SendMessage(m_commandWindow, WM_COMMAND, id, 0);
        },
        columnUpdate);
    // The entries of statistics plug-ins.
    OnCommandRange(
        ID_TABLE_STATISTICS_FIRST, ID_TABLE_STATISTICS_LAST,
        [this](unsigned id) {
            if (m_commandWindow != nullptr)
                SendMessage(m_commandWindow, WM_COMMAND, id, 0);
        },
        columnUpdate);

    // The map view's commands; the active view takes them first, so the
    // document sees them only when the command comes from elsewhere.
    for (unsigned id : {static_cast<unsigned>(ID_MAP_VIEW_PRINT), static_cast<unsigned>(ID_MAP_VIEW_PRINT_PREVIEW),
                        static_cast<unsigned>(ID_MAP_VIEW_OVERVIEW), static_cast<unsigned>(ID_MAP_VIEW_SIGNATURE),
                        static_cast<unsigned>(ID_MAP_VIEW_COPY_IMAGE)}) {
        OnCommand(
            id,
            [this, id] {
                if (m_mapView != nullptr)
                    SendMessage(m_mapView, WM_COMMAND, id, 0);
            },
            [this](CCmdUI& ui) { ui.Enable(m_mapView != nullptr); });
    }
    OnCommand(
        ID_VIEW_VECTORIZATION_PARAMETERS,
        [this] {
            if (GetDocumentDialogServices().showVectorizationParameters)
                GetDocumentDialogServices().showVectorizationParameters(this);
        },
        [](CCmdUI& ui) { ui.Enable(static_cast<bool>(GetDocumentDialogServices().showVectorizationParameters)); });
}
