#pragma once
// The in-place editor of a cell of CColumnExEditListCtrl. It keeps the cell
// it edits; Tab, Shift+Tab, Enter, Down and Up commit and move the edit on,
// Escape ends it without committing, and losing the focus commits.

#include <QLineEdit>

class CColumnExEditListCtrl;

// The editor's control id (its object name).
constexpr int IDC_COLUMNEX_EDIT = 1024;

class CColumnExEdit : public QLineEdit {
public:
    CColumnExEdit(CColumnExEditListCtrl* list, int row, int column, QWidget* parent);

    int GetRow() const { return m_Row; }
    int GetColumn() const { return m_Column; }
    // On while an ending of the edit should hand the text to the list.
    bool m_CommitOnFocusLoss = true;

    // Hands the text to the list once; later calls do nothing.
    void Commit();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Commits, then asks the list to move on with the message.
    void CommitAndMove(unsigned message);

    CColumnExEditListCtrl* m_List;
    int m_Row;
    int m_Column;
};
