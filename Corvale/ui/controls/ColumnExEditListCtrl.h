#pragma once
// A column list whose cells are edited in place: a double-click on the
// selected row edits the cell under the mouse, and the keyboard moves the
// editor from cell to cell (CColumnExEdit). The owner decides per cell
// whether an edit may start (LEM_BeginEdit) and what a changed text does
// (LEM_CellChanged): the list never writes a cell itself.

#include "ui/controls/ColumnExListCtrl.h"
#include "ui/controls/RHTipWnd.h"

#include <QPointer>

#include <string>

class CColumnExEdit;
class QWidget;

// Messages of the edit list. To the owner, lParam a ListEditNotify*:
// LEM_BeginEdit (the owner may set m_Cancel), LEM_CellChanged (m_Text the
// new text). Posted by the editor to the list: the four moves and
// LEM_EndEdit, which carries the committed text.
constexpr unsigned LEM_CellChanged = 0x0600;
constexpr unsigned LEM_BeginEdit = 0x0601;
constexpr unsigned LEM_EditNextRow = 0x0602;
constexpr unsigned LEM_EditPrevRow = 0x0603;
constexpr unsigned LEM_EditNextColumn = 0x0604;
constexpr unsigned LEM_EditPrevColumn = 0x0605;
constexpr unsigned LEM_EndEdit = 0x0606;

struct ListEditNotify {
    int m_Row = -1;
    int m_Column = -1;
    std::string m_Text;
    bool m_Cancel = false;
};

class CColumnExEditListCtrl : public CColumnExListCtrl {
public:
    explicit CColumnExEditListCtrl(QWidget* parent = nullptr, int controlId = 0);
    ~CColumnExEditListCtrl() override;

    // When set no edit starts, and every LEM_BeginEdit comes with m_Cancel set.
    void SetReadOnly(bool readOnly) { m_ReadOnly = readOnly; }
    bool IsReadOnly() const { return m_ReadOnly; }

    // Asks the owner, then edits the cell unless it refused; true when the
    // edit began.
    bool BeginEdit(int row, int column);
    // The editor while an edit runs; null otherwise.
    CColumnExEdit* GetEditor() const;
    // Ends a running edit; the editor commits unless told not to.
    void DestroyEditWindow();
    // Deselects and unfocuses every selected row.
    void ClearSelection();

    // Called by the editor: queues its text for LEM_EndEdit.
    void PostEndEdit(int row, int column, const std::string& text);

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The tip shown while the vertical scroll thumb is dragged.
    CRHTipWnd& GetScrollTip() { return m_ScrollTip; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void OnHeaderTrackStarted() override;

private:
    void EditCell(int row, int column);
    // The edit moved to another cell: a new row is selected and the owner
    // told, then the edit begins there unless refused.
    void MoveTo(int row, int column);
    void OnEditNextColumn(int row, int column, int step);
    // Display positions of the columns with a width, in order.
    std::vector<int> VisibleColumnsInOrder() const;

    bool m_ReadOnly = false;
    QPointer<QWidget> m_EditHost;
    QPointer<CColumnExEdit> m_Editor;
    // The one commit in flight.
    ListEditNotify m_EndEdit;
    CRHTipWnd m_ScrollTip;
};
