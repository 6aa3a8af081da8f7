#pragma once
// Shown when shapes are merged: the attribute rows of the selected shapes,
// in selection order, and one more row below them in which the user builds
// the merged shape's values, by typing or with an operation on a column
// (Concatenate, Copy, Sum). On OK the last row's texts are the result.

#include "framework/Messages.h"

#include <QDialog>

#include <string>
#include <vector>

class CColumnExEditListCtrl;
class CTheme;
class QComboBox;
class QGroupBox;
class QPushButton;

// The dialog's resource id and its controls' ids (their object names).
constexpr int IDD_ATTRIBUTE_MERGER = 1205;
constexpr int IDC_AMERGE_LIST = 2001;
constexpr int IDC_AMERGE_OPERATION = 2121;
constexpr int IDC_AMERGE_APPLY = 2115;

class CAttributeMergerDialog : public QDialog, public CMessageWindow {
public:
    explicit CAttributeMergerDialog(QWidget* parent = nullptr);

    // Set before DoModal.
    CTheme* m_Theme = nullptr;
    // After IDOK: one text per attribute column, in column order.
    std::vector<std::string> m_Result;

    // Fills the list and runs the dialog; IDOK (1) or IDCANCEL (2).
    int DoModal();

    // "Apply": the chosen operation on the first column whose heading is
    // selected.
    void OnApply();
    void accept() override;

    CColumnExEditListCtrl* GetList() const { return m_List; }

    // Edits are allowed in the last row only; an edit writes the last row.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillList();
    int LastRow() const;

    CColumnExEditListCtrl* m_List;
    QGroupBox* m_Operation;
    QComboBox* m_OperationCombo;
    QPushButton* m_Apply;
    QPushButton* m_Ok;
    QPushButton* m_Cancel;
};
