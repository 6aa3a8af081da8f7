#include "ui/StatusBarProgressCtrl.h"

#include "ui/MemDC.h"

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QWidget>
#include <qdrawutil.h>

namespace {

// The bar: a 2-pixel sunken edge around 100 pixels, one per cent.
constexpr int kEdge = 2;
constexpr int kBarWidth = 100 + 2 * kEdge;
// Between the label and the bar.
constexpr int kLabelGap = 8;

QColor ProgressColor() {
    const unsigned c = CStatusBarProgressCtrl::kProgressColor;
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QStatusBar* MainStatusBar() {
    // The main window is the top-level QMainWindow; findChild, because
    // QMainWindow::statusBar() would make a status bar where there is none.
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        return nullptr;
    QMainWindow* frame = qobject_cast<QMainWindow*>(QApplication::activeWindow());
    if (frame == nullptr) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            frame = qobject_cast<QMainWindow*>(widget);
            if (frame != nullptr)
                break;
        }
    }
    return frame != nullptr ? frame->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

class CStatusBarProgressCtrl::CLayer : public QWidget {
public:
    CLayer(QStatusBar* parent, const CStatusBarProgressCtrl& owner) : QWidget(parent), m_Owner(owner) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter target(this);
        target.setBackground(palette().color(QPalette::Window));
        CMemDC dc(target, rect());
        QPainter& painter = dc.Painter();
        int left = 0;
        if (!m_Owner.m_Label.isEmpty()) {
            // Drawn in white over the status bar's own colour.
            painter.setPen(Qt::white);
            painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft, m_Owner.m_Label);
            left = fontMetrics().horizontalAdvance(m_Owner.m_Label) + kLabelGap;
        }
        const QRect bar(left, 0, kBarWidth, height());
        qDrawShadePanel(&painter, bar, palette(), true, kEdge);
        const QRect inside = bar.adjusted(kEdge, kEdge, -kEdge, -kEdge);
        painter.fillRect(inside, palette().color(QPalette::Button));
        painter.fillRect(QRect(inside.left(), inside.top(), m_Owner.m_Percent, inside.height()), ProgressColor());
    }

private:
    const CStatusBarProgressCtrl& m_Owner;
};

CStatusBarProgressCtrl::CStatusBarProgressCtrl() : CStatusBarProgressCtrl(MainStatusBar()) {}

CStatusBarProgressCtrl::CStatusBarProgressCtrl(QStatusBar* statusBar) : m_StatusBar(statusBar) {
    if (m_StatusBar == nullptr)
        return;
    m_Layer = new CLayer(m_StatusBar, *this);
    Place();
    m_Layer->show();
}

CStatusBarProgressCtrl::~CStatusBarProgressCtrl() {
    // The status bar is shown again without the bar.
    delete m_Layer.data();
    if (m_StatusBar != nullptr)
        m_StatusBar->update();
}

QWidget* CStatusBarProgressCtrl::Layer() const { return m_Layer.data(); }

void CStatusBarProgressCtrl::Draw() {
    if (m_Layer == nullptr)
        return;
    ++m_Draws;
    m_Layer->repaint();
}

void CStatusBarProgressCtrl::Place() {
    if (m_Layer == nullptr || m_StatusBar == nullptr)
        return;
    const int labelWidth =
        m_Label.isEmpty() ? 0 : m_Layer->fontMetrics().horizontalAdvance(m_Label) + kLabelGap;
    // The status bar's height less a pixel at top and bottom.
    const QRect area = m_StatusBar->rect().adjusted(0, 1, 0, -1);
    m_Layer->setGeometry(area.left(), area.top(), labelWidth + kBarWidth, area.height());
    m_Layer->raise();
}

void CStatusBarProgressCtrl::SetPos(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_Percent)
        return;
    m_Percent = percent;
    Draw();
}

void CStatusBarProgressCtrl::SetText(const QString& label) {
    m_Label = label;
    if (m_Layer == nullptr)
        return;
    Place();
    m_StatusBar->update();
    Draw();
}
