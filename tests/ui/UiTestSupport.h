#pragma once
// Helpers of the dialog and control tests: finding controls by id, answering
// a modal dialog from a single-shot timer, and an owner window that records
// the messages a control sends it.

#include "framework/Messages.h"
#include "ui/controls/ColumnExEditListCtrl.h"
#include "ui/controls/ColumnExListCtrl.h"
#include "ui/controls/ControlNotify.h"

#include <QApplication>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

template <class T> T* Control(QWidget* parent, int id) {
    return parent != nullptr ? parent->findChild<T*>(QString::number(id)) : nullptr;
}

// Once the event loop runs (inside the next exec()), calls step with the
// active modal widget. Steps may queue further steps for nested dialogs.
void WhenModal(std::function<void(QWidget* dialog)> step);

// A top-level window taking the controls' messages.
class CRecordingOwner : public QWidget, public CMessageWindow {
public:
    struct Message {
        unsigned message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        // The notify record's cell and text, or the notification code.
        int row = -1;
        int column = -1;
        std::string text;
        int code = 0;
    };
    std::vector<Message> messages;
    // Answers LEM_BeginEdit: set m_Cancel when it returns true.
    std::function<bool(const ListEditNotify&)> refuseEdit;
    // Adjusts a cell's style.
    std::function<void(ColumnExCellStyle&)> cellStyle;

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }

    // The recorded messages of one number.
    std::vector<Message> Of(unsigned message) const;
};
