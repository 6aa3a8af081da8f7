#pragma once
// The fill pattern combo box: the fourteen polygon fill patterns
// (core/styles/BrushPatterns.h) as pictures, item data = pattern number.

#include "ui/controls/OwnerDrawnComboBox.h"

class CBrushComboBox : public COwnerDrawnComboBox {
public:
    explicit CBrushComboBox(QWidget* parent = nullptr);

    // Remembers the pattern and selects its item (none when no item has it).
    void SetCurPattern(int index);
    int GetCurPattern() const { return m_CurPattern; }

    // The rectangle shrunk by 3 filled with the pattern, black on white; the
    // hollow pattern fills nothing.
    void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) override;

private:
    int m_CurPattern = 0;
};
