#include "filedialog/FileDialogEx.h"

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTreeView>

CFileDialogEx::CFileDialogEx(bool openDialog, const QString& defaultExtension, const QString& fileName,
                             const QStringList& filters, QWidget* parent)
    : QFileDialog(parent), m_Filters(filters) {
    // Qt's own dialog, whose layout derived dialogs extend.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(openDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(openDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QString suffix = defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (!suffix.isEmpty())
        setDefaultSuffix(suffix);
    if (!m_Filters.isEmpty())
        setNameFilters(m_Filters);
    if (!fileName.isEmpty())
        selectFile(fileName);
    // The detail columns (size, kind, date) take the width of what they
    // show, so that "268 bytes" is not cut to "268...tes"; the name column
    // keeps the rest.
    if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

CFileDialogEx::~CFileDialogEx() = default;

void CFileDialogEx::SetFilterIndex(int index) {
    if (index >= 1 && index <= m_Filters.size())
        m_FilterIndex = index;
}

int CFileDialogEx::DoModal() {
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (!m_Filters.isEmpty())
        selectNameFilter(m_Filters.value(m_FilterIndex - 1));
    // Nothing of a previous run's answer may be mixed into this one.
    m_PathName.clear();
    const int result = exec();
    // The filter the user last set stands, whether a file was chosen or not.
    const int chosen = static_cast<int>(m_Filters.indexOf(selectedNameFilter()));
    if (chosen >= 0)
        m_FilterIndex = chosen + 1;
    if (result == QDialog::Accepted && !selectedFiles().isEmpty())
        m_PathName = selectedFiles().front();
    if (focus != nullptr)
        focus->setFocus();
    return result == QDialog::Accepted && !m_PathName.isEmpty() ? IDOK : IDCANCEL;
}

QString CFileDialogEx::GetPathName() const { return m_PathName; }
