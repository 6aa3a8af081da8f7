#pragma once
// The report list of the attribute, coordinate, bookmark and grid panes and
// of the attribute dialogs. Beyond a plain list it offers:
// - headings selected by clicking (CSelectHeaderCtrl); cells of selected
//   columns are drawn on their own background;
// - columns hidden and shown again from the header's context menu, with
//   their widths remembered in a CColumnExState that owners keep and apply;
// - per-cell colours and fonts asked of the owner (CXLM_GetCellStyle);
// - a cell context menu given by the owner, with "Open URL" added when the
//   cell text is a link.
//
// A hidden column is a column of width 0, so it keeps its place and index.
// The list reports to its owner (the nearest ancestor that takes messages,
// or the one set with SetOwner) synchronously with the messages below.

#include "workspace/CommandIds.h"
#include "core/LogFont.h"
#include "framework/Messages.h"
#include "ui/controls/ColumnExState.h"

#include <QTableWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CSelectHeaderCtrl;
class QMenu;

// Messages to the owner. Their numbers are shared with the colour picker's;
// the sender tells them apart.
// wParam: the command (ID_COLUMNEX_TOGGLE_FIRST + column), or -1 for Show
// All and Hide All; lParam: the list's control id.
constexpr unsigned CXLM_ColumnsChanged = 2025;
// wParam: the column under the header menu.
constexpr unsigned CXLM_CopyColumn = 2026;
// lParam: a ColumnExCellStyle* the owner may change.
constexpr unsigned CXLM_GetCellStyle = 2027;


// The drawing of one cell, preset by the list and adjustable by the owner.
struct ColumnExCellStyle {
    int m_Row = 0;
    int m_Column = 0;
    // COLORREFs.
    std::uint32_t m_Background = 0xFFFFFF;
    std::uint32_t m_Text = 0x000000;
    LogFont m_Font;
};

// Whether a text starts a link: "file://", "http://", "mailto:", "https://",
// "ftp://" or "www.", in exactly that case.
bool IsLinkText(const std::string& text);

class CColumnExListCtrl : public QTableWidget, public CMessageWindow {
public:
    // The width a hidden column gets when the state is rebuilt, and the one
    // a column is shown with when the list has no header.
    static constexpr int kRebuiltHiddenWidth = 100;
    static constexpr int kHeaderlessWidth = 70;

    explicit CColumnExListCtrl(QWidget* parent = nullptr, int controlId = 0);
    ~CColumnExListCtrl() override;

    // ---- building the list ----
    int InsertColumn(int column, const std::string& heading, int width);
    int GetColumnCount() const { return columnCount(); }
    // Inserts a row with the text of column 0; the row's index.
    int InsertItem(int row, const std::string& text);
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const { return rowCount(); }
    void SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // Selected rows, ascending.
    std::vector<int> GetSelectedRows() const;
    void SetRowSelected(int row, bool selected);

    CSelectHeaderCtrl* GetHeaderCtrl() const { return m_Header; }
    // The window messages go to; null: the nearest ancestor taking messages.
    void SetOwner(CMessageWindow* owner) { m_Owner = owner; }
    CMessageWindow* GetOwner() const;

    // ---- column state ----
    // Reads the layout into the list's state. With another number of entries
    // than columns the state is rebuilt (a hidden column remembered as 100
    // wide); otherwise a hidden column keeps its remembered width.
    void CaptureColumnState();
    // Takes the state (a copy unless it is the list's own) and lays the
    // columns out by it. False, with nothing changed, when its size is not
    // the column count or its order is no arrangement of the columns.
    bool ApplyColumnState(const CColumnExState& state);
    const CColumnExState& GetColumnState() const { return m_State; }

    // Selected headings.
    int GetSelectedColumnCount() const;
    // Index + 1 of the first selected heading; 0 when none.
    int GetFirstSelectedColumnPosition() const;
    // The column at position - 1; position moves on to the next selected
    // heading's index + 1, or 0 when there is none. -1 for a position of 0.
    int GetNextSelectedColumn(int& position) const;
    // At most 256 characters.
    std::string GetColumnHeading(int column) const;

    // The header menu's commands.
    void OnToggleColumn(unsigned id);
    void OnShowAll();
    void OnHideAll();
    void OnCopyColumn();
    bool CanShowAll() const;
    bool CanHideAll() const;

    // ---- menus ----
    // The header menu for a point on the header (header coordinates); it
    // remembers the column under the point for "Copy Column". Null while
    // the header menu is switched off.
    std::unique_ptr<QMenu> CreateHeaderMenu(const QPoint& headerPoint);
    // The cell menu for a point of the viewport: the owner's menu of the
    // context-menu id with "Open URL" added for a link. Null without a menu.
    std::unique_ptr<QMenu> CreateCellMenu(const QPoint& viewportPoint);

    bool m_HeaderMenu = true;
    bool m_MenuShowing = false;
    bool m_DetectURLs = false;
    // The owner's command for "Open URL" (sent as WM_COMMAND).
    unsigned m_OpenURLCommand = 0;
    // The link and the cell text under the last cell menu.
    std::string m_URL;
    std::string m_CellText;
    std::string m_OpenURLText = "Open URL";
    std::string m_CopyColumnText = "Copy Column";
    std::string m_ShowAllText = "Show All";
    std::string m_HideAllText = "Hide All";
    // COLORREF behind the cells of selected columns.
    std::uint32_t m_SelectedColumnBackground = 0xFFE6E6;
    // The column under the last header menu; -1 when none.
    int m_MenuColumn = -1;
    // The cell menu's id (0: no cell menu) and where its menu comes from
    // (the owner's context-menus); the list adds to a fresh menu each time.
    int m_ContextMenuId = 0;
    std::function<std::unique_ptr<QMenu>(int menuId)> m_ContextMenuSource;

    // The style a cell is drawn with: for a selected column its background,
    // black and the list's font; else what the owner makes of the preset.
    ColumnExCellStyle GetCellStyle(int row, int column);

    // Posted messages are delivered through OnMessage.
    QObject* GetMessageObject() override { return this; }

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The header's divider or heading drag started.
    virtual void OnHeaderTrackStarted() {}
    // A heading was clicked (its selection already toggled).
    virtual void OnHeadingClicked(int column);
    void SendColumnsChanged(std::intptr_t command);

private:
    int RememberedWidth(int column) const;

    CSelectHeaderCtrl* m_Header;
    CMessageWindow* m_Owner = nullptr;
    CColumnExState m_State;
};
