#include "AboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

const char* const CAboutDlg::kVersion = "0.2.00";

namespace {

const char* const kCopyright = "Copyright (C) The Corvale developers";

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Kestrow"));

    // The program has no picture of its own, so the box shows the style's
    // information sign unless one is set for the application.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("icon"));
    picture->setPixmap(icon.pixmap(side, side));
    auto* version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersion), this);
    version->setObjectName(QStringLiteral("version"));
    auto* copyright = new QLabel(QString::fromLatin1(kCopyright), this);
    copyright->setObjectName(QStringLiteral("copyright"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(copyright, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
