#include "app/CustomToolPane.h"

#include <QResizeEvent>

// The client resizes every child widget to its own size, so that a plug-in's
// single window fills the pane however the user docks or sizes it.
class CCustomToolPane::CClient : public QWidget {
public:
    CClient(CCustomToolPane& pane) : QWidget(&pane), m_Pane(pane) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        m_Pane.m_ClientWidth = event->size().width();
        m_Pane.m_ClientHeight = event->size().height();
        for (QObject* child : children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget != nullptr && widget->isWindow() == false)
                widget->resize(event->size());
    }

private:
    CCustomToolPane& m_Pane;
};

CCustomToolPane::CCustomToolPane(const QString& caption, QWidget* parent)
    : QDockWidget(caption, parent), m_Caption(caption.toStdString()) {
    m_Client = new CClient(*this);
    m_Client->setObjectName(QStringLiteral("toolPaneClient"));
    setWidget(m_Client);
}
