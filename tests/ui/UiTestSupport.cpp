#include "UiTestSupport.h"

#include "../OffscreenApplication.h"

#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

} // namespace

void WhenModal(std::function<void(QWidget* dialog)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr) << "no modal dialog open";
        step(dialog);
        // A step that failed half-way must not leave the test waiting forever.
        if (auto* open = qobject_cast<QDialog*>(dialog); open != nullptr && open->isVisible()) {
            ADD_FAILURE() << "the dialog " << open->objectName().toStdString() << " was left open";
            open->reject();
        }
    });
}

std::intptr_t CRecordingOwner::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    Message record;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    if (message == LEM_BeginEdit || message == LEM_CellChanged) {
        auto* notify = reinterpret_cast<ListEditNotify*>(lParam);
        record.row = notify->m_Row;
        record.column = notify->m_Column;
        record.text = notify->m_Text;
        if (message == LEM_BeginEdit && refuseEdit && refuseEdit(*notify))
            notify->m_Cancel = true;
    } else if (message == WM_NOTIFY) {
        record.code = reinterpret_cast<NotifyHeader*>(lParam)->m_Code;
    } else if (message == CXLM_GetCellStyle) {
        if (cellStyle)
            cellStyle(*reinterpret_cast<ColumnExCellStyle*>(lParam));
        // Asked for every painted cell: not worth recording.
        return 0;
    }
    messages.push_back(record);
    return 0;
}

std::vector<CRecordingOwner::Message> CRecordingOwner::Of(unsigned message) const {
    std::vector<Message> found;
    for (const Message& record : messages)
        if (record.message == message)
            found.push_back(record);
    return found;
}
