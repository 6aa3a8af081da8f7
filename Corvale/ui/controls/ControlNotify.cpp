#include "ui/controls/ControlNotify.h"

#include <QWidget>

int GetControlId(const QWidget* control) {
    if (control == nullptr)
        return 0;
    bool ok = false;
    const int id = control->objectName().toInt(&ok);
    return ok ? id : 0;
}

CMessageWindow* FindOwnerWindow(const QWidget* control) {
    for (QWidget* widget = control != nullptr ? control->parentWidget() : nullptr; widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* window = dynamic_cast<CMessageWindow*>(widget))
            return window;
    }
    return nullptr;
}

std::intptr_t SendNotify(CMessageWindow* owner, QWidget* control, int code) {
    NotifyHeader header{control, GetControlId(control), code};
    return SendMessage(owner, WM_NOTIFY, static_cast<std::uintptr_t>(header.m_ControlId),
                       reinterpret_cast<std::intptr_t>(&header));
}
