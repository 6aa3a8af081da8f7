#include "ui/YABFFW.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

CYABFFW::CYABFFW(const QString& title, const QString& root, QWidget* owner) : QFileDialog(owner) {
    // Qt's own dialog, so that the hooks see every change.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setWindowTitle(title);
    setDirectory(root.isEmpty() ? QDir::homePath() : root);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) { OnSelChanged(path); });
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString& path) { OnSelChanged(path); });
}

void CYABFFW::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    OnInit();
}

void CYABFFW::accept() {
    auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = nameField != nullptr ? nameField->text() : QString();
    if (!typed.isEmpty()) {
        const QString path = QDir(directory()).absoluteFilePath(typed);
        if (!QFileInfo(path).isDir()) {
            if (OnValidateFailed(typed))
                reject();
            return;
        }
    }
    QFileDialog::accept();
}

int CYABFFW::DoModal() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
        return IDCANCEL;
    m_FolderPath = QDir::cleanPath(selectedFiles().front());
    return IDOK;
}
