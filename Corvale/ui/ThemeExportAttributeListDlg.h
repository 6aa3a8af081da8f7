#pragma once
// "Export Attributes": the user chooses and orders the attribute columns that
// a table or XML export carries. Two lists (available and exported) with the
// move buttons > >> < <<, double-clicks that move an item, and a check box
// that offers only the columns the attribute views show. The lists' logic is
// CExportAttributeList's.

#include "formats/ExportAttributeList.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class CTheme;
class QCheckBox;
class QListWidget;
class QPushButton;

// The dialog's resource id and its controls' ids (their object names).
constexpr int IDD_EXPORT_ATTRIBUTES = 1105;
constexpr int IDC_EXPORT_AVAILABLE = 2011;
constexpr int IDC_EXPORT_EXPORTED = 2012;
constexpr int IDC_EXPORT_ADD = 2013;
constexpr int IDC_EXPORT_ADD_ALL = 2014;
constexpr int IDC_EXPORT_REMOVE = 2015;
constexpr int IDC_EXPORT_REMOVE_ALL = 2016;
constexpr int IDC_EXPORT_ONLY_VISIBLE = 2187;

class CThemeExportAttributeListDlg : public QDialog {
public:
    CThemeExportAttributeListDlg(CTheme& theme, QWidget* parent = nullptr);
    ~CThemeExportAttributeListDlg() override;

    // Show only visible columns (bound to the check box); 1 at first.
    int m_OnlyVisible = 1;
    // After IDOK: the exported list's names in list order.
    std::vector<std::string> m_Names;

    // Runs the dialog; IDOK (1) or IDCANCEL (2).
    int DoModal();
    void accept() override;

private:
    void OnAdd();
    void OnAddAll();
    void OnRemove();
    void OnRemoveAll();
    void OnOnlyVisible();
    // Fills both list widgets from the lists and enables the buttons.
    void Refill();
    void UpdateButtons();
    static std::vector<int> SelectedRows(QListWidget* list);

    CTheme& m_Theme;
    std::unique_ptr<CExportAttributeList> m_Lists;
    QListWidget* m_Available;
    QListWidget* m_Exported;
    QPushButton* m_Add;
    QPushButton* m_AddAll;
    QPushButton* m_Remove;
    QPushButton* m_RemoveAll;
    QCheckBox* m_OnlyVisibleBox;
};

// Makes the dialog the exporters' way of asking for the columns; it opens
// over parent.
void InstallExportAttributeChooser(QWidget* parent);
