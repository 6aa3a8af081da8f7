#pragma once
// The base of the combo boxes whose items are pictures (fill patterns, pen
// patterns, pen widths, arrow heads, colour themes): a fixed list whose items
// the subclass draws, both in the drop-down list and in the closed box's
// field.

#include <QComboBox>

class COwnerDrawnComboBox : public QComboBox {
public:
    // Where an item is drawn.
    struct ItemState {
        // Drawn in the closed box's field (not in the list).
        bool editField = false;
        // The list's current item, or the field's item.
        bool selected = false;
        // The field of a box that has the focus with its list closed.
        bool focused = false;
    };

    explicit COwnerDrawnComboBox(QWidget* parent = nullptr, int itemHeight = 18);

    // Draws item index in rect; public so that pictures can be checked on
    // an image.
    virtual void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) = 0;

    // The item whose data equals value; -1 when none.
    int FindItemData(int value) const;

protected:
    void paintEvent(QPaintEvent* event) override;

    // The background shared by the picture combos: in the focused field, the
    // rectangle shrunk by 1 in the background colour with a focus rectangle;
    // otherwise the highlight colour for a selected item, else the background.
    void DrawItemBackground(QPainter& painter, const QRect& rect, const ItemState& state) const;

    int m_ItemHeight;
};
