#pragma once
// The file chooser of the loader and exporter plug-ins: a Qt file dialog with
// an object name, so that tests find and answer it. An empty text when the
// user cancels. Each kind of dialog (its object name) opens in the folder a
// file was last chosen in through it, for as long as the plug-in is loaded,
// rather than in the program's working folder.

#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QString>

inline QString& LastPluginFileFolder(const QString& objectName) {
    static QHash<QString, QString> folders;
    return folders[objectName];
}

inline QString ChoosePluginFile(const QString& caption, const QString& filter, const QString& objectName,
                                bool save = false) {
    QString& lastFolder = LastPluginFileFolder(objectName);
    QFileDialog dialog(nullptr, caption, lastFolder, filter);
    dialog.setObjectName(objectName);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().front();
    lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}
