#include "view/ViewTip.h"

#include "core/ColorRef.h"

#include <QCursor>
#include <QLabel>
#include <QPalette>
#include <QWidget>

CViewTip::CViewTip() = default;

CViewTip::~CViewTip() {
    Destroy();
}

void CViewTip::Create(QWidget* owner, bool active, int maxWidth, std::int64_t background) {
    Destroy();
    m_Owner = owner;
    m_Active = active;
    m_MaxWidth = maxWidth;
    m_Background = background;
    m_Created = true;
}

void CViewTip::Destroy() {
    m_Label.reset();
    m_Created = false;
    m_Active = false;
    m_Text.clear();
}

void CViewTip::Activate(bool active) {
    m_Active = active;
    Refresh();
}

void CViewTip::SetText(const std::string& text) {
    m_Text = text;
    Refresh();
}

void CViewTip::Pop() {
    if (m_Label)
        m_Label->hide();
}

void CViewTip::Refresh() {
    if (!m_Created || m_Owner.isNull())
        return;
    if (!m_Active || m_Text.empty() || !m_Owner->isVisible()) {
        Pop();
        return;
    }
    if (!m_Label) {
        // A tool window of its own, not a child: the tip may reach beyond
        // the view's edges.
        m_Label = std::make_unique<QLabel>(nullptr, Qt::ToolTip);
        m_Label->setTextFormat(Qt::PlainText);
        m_Label->setWordWrap(true);
        m_Label->setMaximumWidth(m_MaxWidth);
        m_Label->setMargin(2);
        if (m_Background >= 0) {
            QPalette palette = m_Label->palette();
            palette.setColor(QPalette::ToolTipBase,
                             ColorFromColorRef(static_cast<std::uint32_t>(m_Background)));
            palette.setColor(QPalette::Window,
                             ColorFromColorRef(static_cast<std::uint32_t>(m_Background)));
            m_Label->setAutoFillBackground(true);
            m_Label->setPalette(palette);
        }
    }
    m_Label->setText(QString::fromStdString(m_Text));
    m_Label->adjustSize();
    m_Label->move(QCursor::pos() + QPoint(16, 20));
    m_Label->show();
}
