#include "KestrowDialog.h"

#include "AboutDlg.h"
#include "ShapeCheck.h"
#include "filedialog/RecentDirFileDialog.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

std::unique_ptr<QSettings> OpenKestrowSettings() {
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrow"),
                                                QStringLiteral("Kestrow"));
    // Only the one file: nothing organisation-wide or from /etc/xdg.
    settings->setFallbacksEnabled(false);
    return settings;
}

CKestrowDialog::CKestrowDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrow"));
    setAcceptDrops(true);

    m_Path = new QLineEdit(this);
    m_Path->setObjectName(QStringLiteral("path"));
    m_Browse = new QPushButton(QStringLiteral("..."), this);
    m_Browse->setObjectName(QStringLiteral("browse"));
    m_Run = new QPushButton(QStringLiteral("Run"), this);
    m_Run->setObjectName(QStringLiteral("run"));
    m_Run->setEnabled(false);
    m_Run->setDefault(true);
    m_About = new QPushButton(QStringLiteral("&About Kestrow..."), this);
    m_About->setObjectName(QStringLiteral("about"));
    m_Progress = new QProgressBar(this);
    m_Progress->setObjectName(QStringLiteral("progress"));
    m_Progress->setRange(0, 100);
    m_Progress->setValue(0);
    m_Report = new QPlainTextEdit(this);
    m_Report->setObjectName(QStringLiteral("report"));
    m_Report->setReadOnly(true);
    m_Report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_Close = new QPushButton(QStringLiteral("Close"), this);
    m_Close->setObjectName(QStringLiteral("close"));
    m_Close->setAutoDefault(false);
    m_About->setAutoDefault(false);
    m_Browse->setAutoDefault(false);

    auto* pathLabel = new QLabel(QStringLiteral("Shape File:"), this);
    pathLabel->setBuddy(m_Path);
    auto* progressLabel = new QLabel(QStringLiteral("Progress"), this);
    progressLabel->setObjectName(QStringLiteral("progressLabel"));
    progressLabel->setBuddy(m_Progress);
    auto* resultLabel = new QLabel(QStringLiteral("Result:"), this);
    resultLabel->setObjectName(QStringLiteral("resultLabel"));
    resultLabel->setBuddy(m_Report);

    auto* layout = new QGridLayout(this);
    layout->addWidget(pathLabel, 0, 0);
    layout->addWidget(m_Path, 0, 1);
    layout->addWidget(m_Browse, 0, 2);
    layout->addWidget(m_Run, 0, 3);
    layout->addWidget(progressLabel, 1, 0);
    layout->addWidget(m_Progress, 1, 1, 1, 3);
    layout->addWidget(resultLabel, 2, 0, 1, 4);
    layout->addWidget(m_Report, 3, 0, 1, 4);
    layout->setRowStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_About);
    buttons->addStretch(1);
    buttons->addWidget(m_Close);
    layout->addLayout(buttons, 4, 0, 1, 4);
    resize(640, 420);

    connect(m_Path, &QLineEdit::textChanged, this, [this](const QString& text) { m_Run->setEnabled(!text.isEmpty()); });
    connect(m_Browse, &QPushButton::clicked, this, &CKestrowDialog::Browse);
    connect(m_Run, &QPushButton::clicked, this, [this] { Run(); });
    connect(m_About, &QPushButton::clicked, this, &CKestrowDialog::About);
    connect(m_Close, &QPushButton::clicked, this, &QDialog::reject);
}

bool CKestrowDialog::Run() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_Browse->setEnabled(false);
    m_Run->setEnabled(false);
    m_Report->clear();
    m_Report->repaint();
    m_Progress->setValue(0);

    std::string report;
    const bool passed = CheckShapeFile(m_Path->text().toStdString(), report, [this](int percent) {
        if (percent != m_Progress->value())
            m_Progress->setValue(percent);
    });
    // The report's lines end in CR LF, as it is stored; the edit wants LF.
    m_Report->setPlainText(QString::fromStdString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QApplication::restoreOverrideCursor();
    if (!passed) {
        QApplication::beep();
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Kestrow reported errors."));
    }
    m_Browse->setEnabled(true);
    m_Run->setEnabled(!m_Path->text().isEmpty());
    return passed;
}

void CKestrowDialog::Browse() {
    // "*" rather than "*.*": here a file name need not have a dot.
    CRecentDirFileDialog dialog(true, QString(), QString(),
                                {QStringLiteral("Shape Files (*.shp)"), QStringLiteral("All Files (*)")}, this,
                                &OpenKestrowSettings);
    dialog.setWindowTitle(QStringLiteral("Select Shape File to Check"));
    dialog.setOption(QFileDialog::ReadOnly, true);
    if (!m_Path->text().isEmpty())
        dialog.setDirectory(QFileInfo(m_Path->text()).absolutePath());
    if (dialog.DoModal() != CFileDialogEx::IDOK)
        return;
    m_Path->setText(dialog.GetPathName());
    m_Run->setEnabled(true);
}

void CKestrowDialog::About() {
    CAboutDlg about(this);
    about.exec();
}

void CKestrowDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CKestrowDialog::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1) {
        m_Path->setText(urls.constFirst().toLocalFile());
        event->acceptProposedAction();
        return;
    }
    QApplication::beep();
}
