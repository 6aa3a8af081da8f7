#pragma once
// The common base of the docking table panes (attributes, coordinates,
// bookmarks, statistics): one grid that fills the pane over a virtual table
// (CGridModel), and what all of them share: the clipboard commands Copy Cell
// Value, Copy Column and copying the selected rows as text, Go To, heading
// selection, and the answer to whether the grid's context menu is open.
//
// Clipboard text is tab-separated with lines ended by "\r\n".

#include "workspace/CommandIds.h"
#include "framework/Messages.h"
#include "panes/GridModel.h"

#include <QMetaObject>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QDockWidget;
class QMenu;

// Go-to modes.
enum GoToMode : int { GOTO_Record = 0, GOTO_NextSelected = 1, GOTO_PreviousSelected = 2 };

class CGridPane : public QWidget, public CMessageWindow {
public:
    explicit CGridPane(QWidget* parent = nullptr);
    ~CGridPane() override;

    QTableView* GetGrid() const { return m_Grid; }
    CGridModel* GetModel() const { return m_Model; }

    // WM_GET_CONTEXT_MENU_STATE: lParam points at a 32-bit word that receives
    // 1 while the grid's context menu is open, else 0; the answer is 0.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }
    // Whether the user can see the pane: shown and, inside a docking pane,
    // its tab in front. A docking pane tabbed behind another is still
    // "visible" to Qt; only its visibilityChanged signal tells.
    bool IsWindowVisible() override;
    bool IsContextMenuOpen() const { return m_ContextMenuOpen; }

    // Copy Cell Value: the text of the cell the context menu was opened on.
    void CopyCellValue();
    // Copy Column: the heading line, then one line per row (all rows, or the
    // selected rows when the user answers Yes to the question asked while
    // rows are selected; Cancel copies nothing). When the column's heading is
    // selected, every selected column is copied.
    void CopyColumn(int column);
    // The selected rows with all columns, each line ended by "\r\n"; nothing
    // when no row is selected.
    void CopySelectedRowsAsText();
    // The go-to dialog's "go": number is 1-based and, for the two selected-row
    // modes, receives the row found. Beeps and answers false when there is no
    // such row. The row found is scrolled into view and flashes; its
    // selection is not changed.
    bool GoToRow(int mode, int& number);

    // Closes an open cell editor, dropping its text.
    void CloseCellEditor();

    // The selected rows in ascending order.
    std::vector<int> GetSelectedRows() const;
    bool IsRowSelected(int row) const;
    // The text of the cell at the last context-menu point; empty when none.
    const std::string& GetContextCellText() const { return m_ContextCellText; }

    // Builds the grid's context menu for a point of the grid's viewport, as
    // it is shown there (the menu's actions are enabled by the commands'
    // update handlers). The caller owns the menu.
    std::unique_ptr<QMenu> CreateContextMenu(const QPoint& viewportPoint);
    // The header's menu for a column ("Copy Column", "Show All", "Hide All"
    // and the columns to show or hide).
    std::unique_ptr<QMenu> CreateHeaderMenu(int column);

protected:
    bool event(QEvent* event) override;
    // The commands of the grid's context menu, in order; 0 is a separator.
    virtual std::vector<unsigned> ContextMenuCommands() const;
    // The text of a command of the context menu.
    virtual QString CommandText(unsigned id) const;
    // Runs a command through the pane's command map.
    void RunCommand(unsigned id);
    // Sets the selection of rows without any reaction of the derived pane
    // being wanted: the caller sets its own updating flag around it.
    void SelectRows(const std::vector<int>& rows, bool clearFirst);
    // Puts the text on the clipboard.
    static void SetClipboardText(const std::string& text);

    // Heading clicks: a click selects that heading alone (or deselects it
    // when it was the only one), Ctrl+click adds or removes it.
    virtual void OnHeadingClicked(int column, bool toggle);

private:
    void ShowContextMenu(const QPoint& point);
    void ShowHeaderMenu(const QPoint& point);
    void Flash(int row, int remaining);
    // Follows the docking pane the grid sits in (the nearest one among its
    // parents), for IsWindowVisible; called when the parent changes.
    void WatchDock();

    QTableView* m_Grid = nullptr;
    CGridModel* m_Model = nullptr;
    bool m_ContextMenuOpen = false;
    std::string m_ContextCellText;
    QPointer<QDockWidget> m_Dock;
    QMetaObject::Connection m_DockVisibility;
    // What the docking pane last said of its tab (true without a dock).
    bool m_DockShown = true;
};
