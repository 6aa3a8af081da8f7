#include "ui/controls/RHTipWnd.h"

#include <QCursor>
#include <QToolTip>

void CRHTipWnd::SetText(const std::string& text) {
    m_Text = QString::fromStdString(text).left(kTextLimit);
    if (m_Created)
        QToolTip::showText(QCursor::pos(), m_Text, m_Owner);
}

void CRHTipWnd::Show() {
    if (m_Created && !m_FollowCursor)
        return;
    m_Created = true;
    QToolTip::showText(QCursor::pos(), m_Text, m_Owner);
}

void CRHTipWnd::Hide() {
    if (m_Created)
        QToolTip::hideText();
    m_Created = false;
}
