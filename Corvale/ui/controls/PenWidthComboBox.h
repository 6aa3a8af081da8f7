#pragma once
// The pen width combo box: an optional "Automatic" item (data -1), then the
// widths 0, 2, 3, 4, 5, 6 and 7, each shown as "<width>:" and a line of that
// width. Width 0 draws one pixel wide and is shown as 1, so there is no item
// of width 1.

#include "ui/controls/OwnerDrawnComboBox.h"

class CPenWidthComboBox : public COwnerDrawnComboBox {
public:
    // The "Automatic" item is listed only when asked for here.
    explicit CPenWidthComboBox(QWidget* parent = nullptr, bool automatic = false);

    // Remembers the width and selects its item (1 selects the item of 0; none
    // when no item has it).
    void SetCurWidth(int width);
    int GetCurWidth() const { return m_CurWidth; }

    void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) override;

private:
    bool m_Automatic;
    int m_CurWidth = 0;
};
