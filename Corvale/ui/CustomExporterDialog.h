#pragma once
// "Export Format": the user picks one of the export formats, one row per
// format with its name and description. The export command fills the two
// lists before it shows the dialog and reads the chosen row afterwards.

#include <QDialog>

#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

// The dialog's resource id and its list's id (their object names).
constexpr int IDD_CUSTOM_EXPORTER = 1120;
constexpr int IDC_CUSTOM_EXPORTER_LIST = 2290;

class CCustomExporterDialog : public QDialog {
public:
    explicit CCustomExporterDialog(QWidget* parent = nullptr);

    // One entry per format, in row order; set before DoModal.
    std::vector<std::string> m_ExporterNames;
    std::vector<std::string> m_ExporterDescriptions;
    // After IDOK: the row chosen; -1 before.
    int m_ChosenIndex = -1;

    // Fills the rows and selects the first; IDOK (1) or IDCANCEL (2).
    int DoModal();
    // Fills the list from the two arrays, selects the first row and sets OK.
    void OnInitDialog();
    // Takes the selected row and closes; with no row selected nothing happens.
    void accept() override;

private:
    void UpdateOk();

    QPushButton* m_Ok;
    QTreeWidget* m_List;
    QPushButton* m_Cancel;
};
