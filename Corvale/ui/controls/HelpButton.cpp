#include "ui/controls/HelpButton.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

CHelpButton::HelpHandler& Handler() {
    static CHelpButton::HelpHandler handler;
    return handler;
}

// A lifebuoy: the button's picture at every size it is shown.
QIcon HelpIcon() {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 16), 6, 6);
        p.setPen(QPen(Qt::white, 4));
        p.drawLine(QPointF(16, 3.5), QPointF(16, 10));
        p.drawLine(QPointF(16, 22), QPointF(16, 28.5));
        p.drawLine(QPointF(3.5, 16), QPointF(10, 16));
        p.drawLine(QPointF(22, 16), QPointF(28.5, 16));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void CHelpButton::SetHelpHandler(HelpHandler handler) { Handler() = std::move(handler); }
bool CHelpButton::HasHelpHandler() { return static_cast<bool>(Handler()); }

CHelpButton::CHelpButton(unsigned helpContext, QWidget* parent)
    : QPushButton(HelpIcon(), tr("&Help"), parent), m_HelpContext(helpContext) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_HelpContext != 0 && Handler())
            Handler()(m_HelpContext);
    });
    UpdateEnabled();
}

void CHelpButton::SetHelpContext(unsigned helpContext) {
    m_HelpContext = helpContext;
    UpdateEnabled();
}

void CHelpButton::showEvent(QShowEvent* event) {
    UpdateEnabled();
    QPushButton::showEvent(event);
}

void CHelpButton::UpdateEnabled() { setEnabled(m_HelpContext != 0 && HasHelpHandler()); }
