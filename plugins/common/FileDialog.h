#pragma once
// The file chooser of the loader and exporter plug-ins: a Qt file dialog with
// an object name, so that tests find and answer it. An empty text when the
// user cancels.

#include <QFileDialog>
#include <QString>

inline QString ChoosePluginFile(const QString& caption, const QString& filter, const QString& objectName,
                                bool save = false) {
    QFileDialog dialog(nullptr, caption, QString(), filter);
    dialog.setObjectName(objectName);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}
