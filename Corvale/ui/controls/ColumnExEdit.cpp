#include "ui/controls/ColumnExEdit.h"

#include "ui/controls/ColumnExEditListCtrl.h"

#include <QKeyEvent>

CColumnExEdit::CColumnExEdit(CColumnExEditListCtrl* list, int row, int column, QWidget* parent)
    : QLineEdit(parent), m_List(list), m_Row(row), m_Column(column) {
    setObjectName(QString::number(IDC_COLUMNEX_EDIT));
}

void CColumnExEdit::Commit() {
    if (!m_CommitOnFocusLoss)
        return;
    m_CommitOnFocusLoss = false;
    if (m_List != nullptr)
        m_List->PostEndEdit(m_Row, m_Column, text().toStdString());
}

void CColumnExEdit::CommitAndMove(unsigned message) {
    Commit();
    if (m_List != nullptr) {
        PostMessage(m_List, message, static_cast<std::uintptr_t>(m_Row), m_Column);
        m_List->DestroyEditWindow();
    }
}

bool CColumnExEdit::event(QEvent* event) {
    // Tab moves the edit on instead of the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            CommitAndMove(back ? LEM_EditPrevColumn : LEM_EditNextColumn);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CColumnExEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        CommitAndMove(LEM_EditNextRow);
        return;
    case Qt::Key_Up:
        CommitAndMove(LEM_EditPrevRow);
        return;
    case Qt::Key_Escape:
        m_CommitOnFocusLoss = false;
        if (m_List != nullptr)
            m_List->DestroyEditWindow();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CColumnExEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    Commit();
    if (m_List != nullptr)
        m_List->DestroyEditWindow();
}
