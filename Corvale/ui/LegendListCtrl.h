#pragma once
// The list of themes that the legend pane and the theme chooser show: one
// tall row per theme, drawn entirely here, with a visibility check box, the
// state markers (filter, parent theme, editable), the theme name and a sample
// of the theme's drawing style.
//
// The control knows nothing of documents. It changes its own items (check
// state, selection, order) and reports each change to its owner through
// Notify; the owner changes the workspace. Items are addressed by their index
// in list order; each carries the theme of its row (not owned).
//
// Geometry of a row (viewport pixels): the row is kRowHeight high and as
// wide as the column; its icon area is 36 x 36 at (2, row top + 2); the
// label area runs from 2 pixels right of the icon area to the column's right
// edge over the whole row. The name takes the upper half of the label area,
// the style sample and the word "Label" the lower half.

#include "core/styles/PointSymbols.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CTheme;
class QPainter;

// The codes Notify sends.
enum LegendListNotification : int {
    // A check box was toggled; item: the toggled item.
    LLN_CheckChanged = 1,
    // Items were reordered by dragging; item: -1.
    LLN_OrderChanged = 2,
    // The set of selected items changed; item: -1.
    LLN_SelectionChanged = 3,
};

// The parts of an item HitTestZone tells apart.
enum LegendHitZone : int {
    LHZ_None = 0,
    LHZ_Item = 1,
    LHZ_CheckBox = 2,
    LHZ_FilterMarker = 3,
    LHZ_ParentMarker = 4,
    LHZ_EditableMarker = 5,
    LHZ_LabelTop = 6,
};

// The overlay images shared by every legend list of the process, each a
// full 36 x 36 overlay of the icon area with its marker in its own part.
enum LegendOverlayImage : int {
    LOI_Unchecked = 0, // check box, upper left
    LOI_Checked = 1,
    LOI_Filter = 2,   // lower left
    LOI_Parent = 3,   // lower right
    LOI_Editable = 4, // upper right
    LOI_Count = 5,
};
// Made on first use, kept for the program's run.
const std::array<QImage, LOI_Count>& GetLegendOverlayImages();

class CLegendListCtrl : public QAbstractScrollArea {
public:
    static constexpr int kRowHeight = 40;
    static constexpr int kIconSize = 36;
    // Pixels of the insertion mark's band.
    static constexpr int kInsertionMarkHeight = 4;
    // The least time between two scrolls while a drag waits beyond an edge.
    static constexpr int kAutoScrollMilliseconds = 200;

    explicit CLegendListCtrl(QWidget* parent = nullptr);
    ~CLegendListCtrl() override;

    // ---- items ----
    int GetItemCount() const { return static_cast<int>(m_Items.size()); }
    // Inserts an item before index (clamped to 0..count); answers its index.
    // image: 1 checked (theme shown), 0 unchecked.
    int InsertItem(int index, const std::string& text, int image, CTheme* theme);
    bool DeleteItem(int index);
    void DeleteAllItems();
    CTheme* GetItemData(int index) const;
    std::string GetItemText(int index) const;
    void SetItemText(int index, const std::string& text);
    // The check state is the item's image: 1 checked, 0 not.
    bool GetCheck(int index) const;
    void SetCheck(int index, bool checked);
    int GetItemImage(int index) const;
    // The item of a theme; -1 when none.
    int FindItem(const CTheme* theme) const;

    // ---- selection ----
    bool IsItemSelected(int index) const;
    void SetItemSelected(int index, bool selected);
    // Selected item indices in list order.
    std::vector<int> GetSelectedItems() const;
    int GetSelectedCount() const;

    // ---- geometry (viewport coordinates) ----
    int GetTopIndex() const;
    // Whole rows the viewport shows (at least 1).
    int GetCountPerPage() const;
    // Scrolls as little as needed for the item to be shown whole.
    void EnsureVisible(int index);
    QRect GetItemRect(int index) const;
    QRect GetIconRect(int index) const;
    QRect GetLabelRect(int index) const;
    void SetColumnWidth(int width);
    int GetColumnWidth() const { return m_ColumnWidth; }
    // The item under a point and the part of it hit (LegendHitZone); -1 and
    // LHZ_None when the point is on no item. The markers are tested in the
    // order check box, filter, parent, editable, then the upper half of the
    // label.
    int HitTestZone(const QPoint& point, int* zone) const;
    // Whether the item's text, in the control's font, is narrower than its
    // label area less 6 pixels.
    bool LabelFits(int index) const;

    // ---- settings of the owner ----
    // Asked for the tooltip text at a viewport point; empty: no tip. Null:
    // the control shows no tips.
    std::function<std::string(const QPoint& point)> m_ToolTipText;
    bool m_DragEnabled = true;
    bool m_CheckBoxClicksEnabled = true;
    // COLORREFs. The map background is kept current by the legend pane for
    // its owner's use; rows are not drawn with it.
    std::uint32_t m_MapBackgroundColor = 0xFFFFFF;
    // The lower colour of a selected row's gradient (an orange).
    std::uint32_t m_SelectionColor = 0x0080FF;

    // ---- state, readable by tests ----
    bool IsDragging() const { return m_Dragging; }
    int GetInsertionIndex() const { return m_InsertionIndex; }
    // Empty when no mark is shown.
    QRect GetInsertionMark() const { return m_InsertionMark; }
    // Icons made for the point samples and not yet released.
    std::size_t GetIconCacheSize() const { return m_IconCache.size(); }

    // Draws the whole viewport as it is painted.
    void Render(QPainter& painter);

    // ---- what the control tells its owner ----
    // A LegendListNotification and the item concerned (-1 when none).
    std::function<void(int code, int item)> m_Notify;
    // After a right click or the context-menu key, once the selection was
    // reported: the owner opens the theme menu at this global position.
    std::function<void(const QPoint& globalPosition)> m_ContextMenuRequested;
    std::function<void(int item)> m_ItemDoubleClicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Item {
        std::string text;
        int image = 0;
        CTheme* theme = nullptr;
        bool selected = false;
    };

    void UpdateScrollBar();
    void DrawItem(QPainter& painter, int index);
    void DrawStyleSample(QPainter& painter, const CTheme& theme, const QRect& nameRect);
    void SelectOnly(int index);
    void SelectRange(int from, int to);
    // Reports LLN_SelectionChanged when the selection differs from the snapshot.
    void ReportSelectionChange();
    void BeginDrag();
    void DragTo(const QPoint& point);
    void EndDrag();
    // Moves the selected items, as one group in list order, before the
    // item at index (to the end for index == count) and reports the new order.
    void MoveSelectedItems(int index);
    void SetInsertionMark(const QRect& mark, int index);
    void ScrollToTop(int top);
    void Notify(int code, int item);
    // Tells a shown tooltip to ask for its text again at the new position.
    void RefreshToolTip(const QPoint& point);

    std::vector<Item> m_Items;
    int m_ColumnWidth = 0;
    int m_FocusItem = -1;
    int m_AnchorItem = -1;

    bool m_Dragging = false;
    QPoint m_DragPoint;
    QRect m_InsertionMark;
    int m_InsertionIndex = -1;
    QElapsedTimer m_LastAutoScroll;

    // The press that may become a click or a drag.
    bool m_Pressed = false;
    QPoint m_PressPoint;
    int m_PressItem = -1;
    // A plain click on an item of a larger selection selects it alone only
    // when the button comes up without a drag, so that the group can be dragged.
    bool m_DeferredSelectOnly = false;

    SymbolIconList m_IconCache;
    std::vector<int> m_SelectionSnapshot;
};
