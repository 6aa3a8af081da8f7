#pragma once
// The program's open and save file dialog: Qt's own (not the desktop's)
// file dialog, so that derived dialogs can add controls to it, run modally
// with the answers of the classic dialog (1 when a file was chosen, 2 when
// not) and the filter index kept between runs.

#include <QFileDialog>
#include <QString>
#include <QStringList>

class CFileDialogEx : public QFileDialog {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    // filters: Qt name filters ("Shape files (*.shp)"); defaultExtension is
    // added to a saved name that has none ("shp" or ".shp"); fileName is the
    // name shown at first, with or without a folder.
    CFileDialogEx(bool openDialog, const QString& defaultExtension, const QString& fileName,
                  const QStringList& filters, QWidget* parent = nullptr);
    ~CFileDialogEx() override;

    // Runs the dialog: IDOK when the user chose a file, else IDCANCEL. The
    // widget that had the focus gets it back afterwards.
    virtual int DoModal();

    // The chosen file (empty when none).
    QString GetPathName() const;
    // The chosen filter, counted from 1 as the classic dialog did; kept when
    // the dialog is cancelled, and used as the start of the next run.
    int GetFilterIndex() const { return m_FilterIndex; }
    void SetFilterIndex(int index);

private:
    QStringList m_Filters;
    int m_FilterIndex = 1;
    QString m_PathName;
};
