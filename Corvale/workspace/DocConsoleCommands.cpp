// The console and script commands of a workspace, and the commands whose
// work belongs to the attribute pane or the map view, which the document
// only sends on. The console and its dialogs live above the document and are
// reached through the console services; every command is enabled only while
// what it needs is there to act.

#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include "framework/Messages.h"

void CCorvaleDoc::OnViewConsole() {
    if (GetDocumentConsoleServices().showConsole)
        GetDocumentConsoleServices().showConsole(*this);
}

void CCorvaleDoc::OnUpdateViewConsole(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentConsoleServices().showConsole));
}

void CCorvaleDoc::OnScriptFromTemplate() {
    if (GetDocumentConsoleServices().createScript)
        GetDocumentConsoleServices().createScript(*this);
}

void CCorvaleDoc::OnUpdateScriptFromTemplate(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentConsoleServices().createScript));
}

void CCorvaleDoc::AddConsoleCommands() {
    OnCommand(ID_VIEW_CONSOLE, &CCorvaleDoc::OnViewConsole, &CCorvaleDoc::OnUpdateViewConsole);
    OnCommand(ID_SCRIPT_FROM_TEMPLATE, &CCorvaleDoc::OnScriptFromTemplate,
              &CCorvaleDoc::OnUpdateScriptFromTemplate);
}

namespace {

// Whether the window can take messages of its own (it has a widget).
bool HasWindow(CMessageWindow* window) {
    return window != nullptr && window->GetMessageObject() != nullptr;
}

} // namespace

// The column commands are enabled by whoever shows the columns: the
// attribute pane answers the update event with the command's state.
void CCorvaleDoc::OnUpdateColumnCommand(CCmdUI& ui) {
    ui.Enable(false);
    FireUpdateEvent(nullptr, DUE_ColumnCommand, reinterpret_cast<std::intptr_t>(&ui));
}

void CCorvaleDoc::OnColumnStatistics(unsigned id) {
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
}

void CCorvaleDoc::OnColumnSort(unsigned id) {
    if (m_commandWindow != nullptr)
        SendMessage(m_commandWindow, WM_COMMAND, id, 0);
}

// Check Duplicates and Show Value List.
void CCorvaleDoc::OnColumnValues(unsigned id) {
    if (HasWindow(m_commandWindow))
        SendMessage(m_commandWindow, WM_COMMAND, id, 0);
}

// The entries of statistics plug-ins.
void CCorvaleDoc::OnTableStatistics(unsigned id) {
    if (m_commandWindow != nullptr)
        SendMessage(m_commandWindow, WM_COMMAND, id, 0);
}

// The map view's commands; the active view takes them first, so the
// document sees them only when the command comes from elsewhere.
void CCorvaleDoc::OnMapViewCommand(unsigned id) {
    if (m_mapView != nullptr)
        SendMessage(m_mapView, WM_COMMAND, id, 0);
}

void CCorvaleDoc::OnUpdateMapViewCommand(CCmdUI& ui) {
    ui.Enable(m_mapView != nullptr);
}

void CCorvaleDoc::OnVectorizationParameters() {
    if (GetDocumentDialogServices().showVectorizationParameters)
        GetDocumentDialogServices().showVectorizationParameters(this);
}

void CCorvaleDoc::OnUpdateVectorizationParameters(CCmdUI& ui) {
    ui.Enable(static_cast<bool>(GetDocumentDialogServices().showVectorizationParameters));
}

void CCorvaleDoc::AddForwardedCommands() {
    OnCommandRange(ID_COLUMN_STATISTICS_FIRST, ID_COLUMN_STATISTICS_LAST,
                   &CCorvaleDoc::OnColumnStatistics, &CCorvaleDoc::OnUpdateColumnCommand);
    OnCommandRange(ID_COLUMN_SORT_ASCENDING, ID_COLUMN_SORT_DESCENDING, &CCorvaleDoc::OnColumnSort,
                   &CCorvaleDoc::OnUpdateColumnCommand);
    OnCommandRange(ID_COLUMN_CHECK_DUPLICATES, ID_COLUMN_SHOW_VALUE_LIST,
                   &CCorvaleDoc::OnColumnValues, &CCorvaleDoc::OnUpdateColumnCommand);
    OnCommandRange(ID_TABLE_STATISTICS_FIRST, ID_TABLE_STATISTICS_LAST,
                   &CCorvaleDoc::OnTableStatistics, &CCorvaleDoc::OnUpdateColumnCommand);
    OnCommand(ID_MAP_VIEW_PRINT, &CCorvaleDoc::OnMapViewCommand,
              &CCorvaleDoc::OnUpdateMapViewCommand);
    OnCommand(ID_MAP_VIEW_PRINT_PREVIEW, &CCorvaleDoc::OnMapViewCommand,
              &CCorvaleDoc::OnUpdateMapViewCommand);
    OnCommand(ID_MAP_VIEW_OVERVIEW, &CCorvaleDoc::OnMapViewCommand,
              &CCorvaleDoc::OnUpdateMapViewCommand);
    OnCommand(ID_MAP_VIEW_SIGNATURE, &CCorvaleDoc::OnMapViewCommand,
              &CCorvaleDoc::OnUpdateMapViewCommand);
    OnCommand(ID_MAP_VIEW_COPY_IMAGE, &CCorvaleDoc::OnMapViewCommand,
              &CCorvaleDoc::OnUpdateMapViewCommand);
    OnCommand(ID_VIEW_VECTORIZATION_PARAMETERS, &CCorvaleDoc::OnVectorizationParameters,
              &CCorvaleDoc::OnUpdateVectorizationParameters);
}
