#pragma once
// The file dialog with the folders files were recently chosen from: a combo
// box below the file name field lists them, most recent first, and picking one
// moves the dialog there. Each accepted file puts its folder at the top of the
// list, which lives in a settings store so that every dialog of a program
// shares it.
//
// The store is the program's own (OpenRegistry) unless the caller hands the
// dialog another: the stand-alone shape-file checker keeps its list in a file
// of its own, and links this library without the rest of the program's
// dialogs.

#include "filedialog/FileDialogEx.h"
#include "settings/Registry.h"

#include <QSettings>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;

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

    // Opens the settings store that holds the list; called at each reading
    // and writing, so that a store made elsewhere in between is seen.
    using SettingsOpener = std::function<std::unique_ptr<QSettings>()>;

    // openSettings: the store of the list; the program's own by default.
    CRecentDirFileDialog(bool openDialog, const QString& defaultExtension, const QString& fileName,
                         const QStringList& filters, QWidget* parent = nullptr,
                         SettingsOpener openSettings = &corvale::OpenRegistry);

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

    SettingsOpener m_OpenSettings;
    QComboBox* m_Combo;
    QLabel* m_Label;
};
