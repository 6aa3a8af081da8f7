#include "ui/controls/BrushComboBox.h"

#include "core/styles/BrushPatterns.h"

#include <QPainter>

CBrushComboBox::CBrushComboBox(QWidget* parent) : COwnerDrawnComboBox(parent) {
    for (int i = 0; i < kFillPatternCount; ++i)
        addItem(QString(), i);
}

void CBrushComboBox::SetCurPattern(int index) {
    m_CurPattern = index;
    setCurrentIndex(FindItemData(index));
}

void CBrushComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) {
    DrawItemBackground(painter, rect, state);
    if (index < 0 || index >= count())
        return;
    const QRect inner = rect.adjusted(3, 3, -3, -3);
    painter.setPen(Qt::NoPen);
    // Patterns are anchored at the device origin, as on the map.
    painter.setBrushOrigin(0, 0);
    painter.fillRect(inner, GetPatternBrush(itemData(index).toInt()));
}
