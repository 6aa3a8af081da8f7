// Find, Query and Go To belong to the attribute pane, which owns their
// dialogs; the document only sends them on. Each is enabled only while the
// pane is there to act on it: Find also needs the pane shown, since its
// dialog searches the rows the pane shows.

#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include "framework/Messages.h"

#include <QObject>
#include <QVariant>

namespace {

// A widget answers its "visible" property; a window without an object
// counts as hidden.
bool IsShown(CMessageWindow* window) {
    QObject* object = window != nullptr ? window->GetMessageObject() : nullptr;
    return object != nullptr && object->property("visible").toBool();
}

} // namespace

void CCorvaleDoc::AddTableCommands() {
    for (unsigned id : {static_cast<unsigned>(ID_TABLE_FIND), static_cast<unsigned>(ID_TABLE_QUERY),
                        static_cast<unsigned>(ID_TABLE_GO_TO)}) {
        OnCommand(
            id,
            [this, id] {
                if (m_commandWindow != nullptr)
                    SendMessage(m_commandWindow, WM_COMMAND, id, 0);
            },
            [this, id](CCmdUI& ui) {
                bool enable =
                    m_commandWindow != nullptr && m_activeTheme != nullptr && !m_themes.empty();
                if (id == ID_TABLE_FIND)
                    enable = enable && IsShown(m_commandWindow);
                ui.Enable(enable);
            });
    }
}
