#include "scripting/JSInterruptDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QVBoxLayout>

CJSInterruptDialog::CJSInterruptDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("JavaScript"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Other windows take no input while it is up: the script still runs
    // underneath, between the events the host lets through.
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("A JavaScript is running. Press Cancel to abort."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CJSInterruptDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each showing goes to the top-left corner, keeping its size.
    move(0, 0);
}
