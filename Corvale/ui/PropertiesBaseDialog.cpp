#include "ui/PropertiesBaseDialog.h"

#include <QTabWidget>

CPropertiesBaseDialog::CPropertiesBaseDialog(QWidget* parent) : QDialog(parent) {}

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

void CPropertiesBaseDialog::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}
