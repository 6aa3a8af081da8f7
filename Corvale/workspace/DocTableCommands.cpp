// Find, Query and Go To belong to the attribute pane, which owns their
// dialogs; the document only sends them on. Each is enabled only while the
// pane is there to act on it: Find also needs the pane shown, since its
// dialog searches the rows the pane shows.

#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include "framework/Messages.h"

// Find, Query and Go To, each sent on with its id.
void CCorvaleDoc::OnTableCommand(unsigned id) {
    if (m_commandWindow != nullptr)
        SendMessage(m_commandWindow, WM_COMMAND, id, 0);
}

void CCorvaleDoc::OnUpdateTableFind(CCmdUI& ui) {
    ui.Enable(m_commandWindow != nullptr && m_activeTheme != nullptr && !m_themes.empty() &&
              m_commandWindow->IsWindowVisible());
}

void CCorvaleDoc::OnUpdateTableCommand(CCmdUI& ui) {
    ui.Enable(m_commandWindow != nullptr && m_activeTheme != nullptr && !m_themes.empty());
}

void CCorvaleDoc::AddTableCommands() {
    OnCommand(ID_TABLE_FIND, &CCorvaleDoc::OnTableCommand, &CCorvaleDoc::OnUpdateTableFind);
    OnCommand(ID_TABLE_QUERY, &CCorvaleDoc::OnTableCommand, &CCorvaleDoc::OnUpdateTableCommand);
    OnCommand(ID_TABLE_GO_TO, &CCorvaleDoc::OnTableCommand, &CCorvaleDoc::OnUpdateTableCommand);
}
