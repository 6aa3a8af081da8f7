#include "ui/controls/NotifyEdit.h"

#include "ui/controls/ControlNotify.h"

#include <QKeyEvent>

CNotifyEdit::CNotifyEdit(QWidget* parent, int controlId) : QLineEdit(parent) {
    if (controlId != 0)
        setObjectName(QString::number(controlId));
}

void CNotifyEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    // Characters only (Backspace included); moving keys are no typing.
    if (!event->text().isEmpty())
        SendNotify(FindOwnerWindow(this), this, NEN_CharTyped);
}
