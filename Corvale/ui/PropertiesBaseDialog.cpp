#include "ui/PropertiesBaseDialog.h"

#include <QKeyEvent>
#include <QTabWidget>

// A page is a child of its owner's dialog, never a window of its own (unless
// it has no parent at all).
CPropertiesBaseDialog::CPropertiesBaseDialog(QWidget* parent) : QDialog(parent, Qt::Widget) {}

CPropertiesBaseDialog::~CPropertiesBaseDialog() = default;

void CPropertiesBaseDialog::SetTabControl(QTabWidget* tabControl) {
    m_TabControl = tabControl;
    // On a tab the page paints no background of its own, so the tab's shows.
    setAutoFillBackground(tabControl == nullptr);
}

QTabWidget* CPropertiesBaseDialog::GetTabControl() const { return m_TabControl; }

void CPropertiesBaseDialog::InitDialog() {
    if (m_Initialised)
        return;
    m_Initialised = true;
    OnInitDialog();
}

bool CPropertiesBaseDialog::UpdateData(bool) { return true; }

void CPropertiesBaseDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape belong to the dialog that shows the page: a page that
    // took them would close itself and leave an empty tab.
    const int key = event->key();
    if (!isWindow() && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CPropertiesBaseDialog::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}
