#pragma once
// The pen pattern combo box: an optional "Automatic" item (data -1), then
// solid (0), dot (2), dash (1), dash-dot (3) and dash-dot-dot (4), each shown
// as a line drawn with that pattern at the sample width.

#include "ui/controls/OwnerDrawnComboBox.h"

class CPenPatternComboBox : public COwnerDrawnComboBox {
public:
    // The "Automatic" item is listed only when asked for here.
    explicit CPenPatternComboBox(QWidget* parent = nullptr, bool automatic = false);

    // Remembers the pattern and selects its item (none when no item has it).
    void SetCurPattern(int style);
    int GetCurPattern() const { return m_CurPattern; }
    // The width the samples are drawn with (0 draws as 1).
    void SetPenWidth(int width);
    int GetPenWidth() const { return m_PenWidth; }

    void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) override;

private:
    bool m_Automatic;
    int m_CurPattern = 0;
    int m_PenWidth = 0;
};

// Draws the "Automatic" text of the picture combos: at x + 5, vertically
// centred.
void DrawAutomaticComboItem(QPainter& painter, const QRect& rect, const QColor& colour);
