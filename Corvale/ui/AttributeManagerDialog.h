#pragma once
// The attribute manager: lists the columns of a theme and lets the user add,
// change and delete columns and set the primary key. Nothing reaches the
// theme before OK, and OK applies every change or none: the deletions,
// changes and additions are made, then the primary key is set on the columns
// as they now stand; when the key is refused the theme's table is put back
// as it was, the message is shown and the dialog stays open, so a second OK
// starts again from the unchanged table.
//
// Only native themes have their columns changed; other themes are not
// editable, and the dialog then only shows their columns.

#include "core/AttributeField.h"
#include "framework/Messages.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class CColumnExListCtrl;
class CTheme;
class QPushButton;

// The dialog's resource id and its controls' ids (their object names).
constexpr int IDD_ATTRIBUTE_MANAGER = 1137;
constexpr int IDC_AMAN_LIST = 2001;
constexpr int IDC_AMAN_ADD = 2064;
constexpr int IDC_AMAN_CHANGE = 2065;
constexpr int IDC_AMAN_DELETE = 2066;
constexpr int IDC_AMAN_PRIMARY_KEY = 2067;
constexpr int IDC_AMAN_REMOVE_KEYS = 2068;
constexpr int IDC_AMAN_COPY_TABLE = 2069;

// Flags of a column entry.
constexpr std::uint32_t AMF_Added = 1;
constexpr std::uint32_t AMF_Changed = 2;
constexpr std::uint32_t AMF_Deleted = 4;
constexpr std::uint32_t AMF_Key = 8;

// One column as the dialog holds it until OK.
struct CAttributeManagerEntry {
    std::uint32_t m_Flags = 0;
    CAttributeFieldInfo m_Info;
    std::string m_Default;
    std::string m_Description;
};

class CAttributeManagerDialog : public QDialog, public CMessageWindow {
public:
    explicit CAttributeManagerDialog(QWidget* parent = nullptr);

    // Set before DoModal.
    CTheme* m_Theme = nullptr;

    // Reads the theme's columns and runs the dialog; IDOK (1) when it closed
    // with OK, after which the theme's modified flag tells whether its table
    // changed; IDCANCEL (2) otherwise.
    int DoModal();

    // The columns in entry order; deleted ones stay until OK.
    const std::vector<CAttributeManagerEntry>& GetEntries() const { return m_Entries; }

    // The buttons' commands, as the buttons run them.
    void OnAdd();
    void OnChange();
    void OnDelete();
    void OnPrimaryKey();
    void OnRemoveKeys();
    void OnCopyTable();

    // The plain text Copy Table puts on the clipboard.
    std::string GetTableText() const;

    void accept() override;

    QObject* GetMessageObject() override { return this; }

private:
    void ReadColumns();
    bool IsEditable() const;
    // Index in m_Entries of list row r: the r-th entry that is not deleted.
    int EntryOfRow(int row) const;
    void ShowEntry(int row, const CAttributeManagerEntry& entry);
    void SetRowKeyIcon(int row, bool key);
    void UpdateButtons();
    // Applies the entries to the theme; false (the theme unchanged) when
    // the key was refused or a column could not be changed, after showing why.
    bool ApplyChanges();

    std::vector<CAttributeManagerEntry> m_Entries;
    CColumnExListCtrl* m_List;
    QPushButton* m_Add;
    QPushButton* m_Change;
    QPushButton* m_Delete;
    QPushButton* m_PrimaryKey;
    QPushButton* m_RemoveKeys;
    QPushButton* m_CopyTable;
};
