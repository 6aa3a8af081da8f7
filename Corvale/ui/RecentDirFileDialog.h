#pragma once
// The file dialog with the folders files were recently chosen from: a combo
// box below the file name field lists them, most recent first, and picking one
// moves the dialog there. Each accepted file puts its folder at the top of the
// list, which lives in the settings store so that every dialog of the program
// shares it.

#include "ui/FileDialogEx.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QSettings;

// The list itself: section "RDFDDirectories", values "RDFDDir1" (most recent)
// to "RDFDDir15", each a folder ending in "/".
class CRecentDirList {
public:
    static constexpr int kMaxEntries = 15;
    static const char* const kSection;
    static const char* const kValueFormat;

    // Reads the list (absent and empty values are skipped).
    void Read(QSettings& settings);
    // Writes the list, removing values beyond its end.
    void Write(QSettings& settings) const;
    // Puts a folder at the top: a "/" is added when missing, an equal entry
    // is removed first, the oldest drops out when the list is full. An empty
    // folder is ignored.
    void Add(const QString& folder);
    const QStringList& Entries() const { return m_Entries; }

private:
    QStringList m_Entries;
};

class CRecentDirFileDialog : public CFileDialogEx {
public:
    static constexpr int kComboId = 2002;
    static constexpr int kLabelId = 2004;

    CRecentDirFileDialog(bool openDialog, const QString& defaultExtension, const QString& fileName,
                         const QStringList& filters, QWidget* parent = nullptr);

    // Reads the recent list into the combo box, then runs the dialog.
    int DoModal() override;

    // The folder a dialog for files of these filters starts in: the most
    // recent folder of the list that still holds such a file, else the most
    // recent one that still exists; empty when none does. A filter of all
    // files says nothing about the kind.
    static QString StartFolder(const QStringList& recent, const QStringList& filters);

    QComboBox* RecentCombo() const { return m_Combo; }

protected:
    // An accepted file's folder goes to the top of the stored list.
    void done(int result) override;

private:
    void OnRecentChosen(int index);

    QComboBox* m_Combo;
    QLabel* m_Label;
};
