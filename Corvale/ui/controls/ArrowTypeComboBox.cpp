#include "ui/controls/ArrowTypeComboBox.h"

#include "core/styles/ArrowImage.h"

#include <QPainter>

CArrowTypeComboBox::CArrowTypeComboBox(QWidget* parent) : COwnerDrawnComboBox(parent, 20) {
    addItem(QString(), CArrowImage::AT_Outline);
    addItem(QString(), CArrowImage::AT_Filled);
}

void CArrowTypeComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) {
    DrawItemBackground(painter, rect, state);
    if (index < 0 || index >= count())
        return;
    CArrowImage arrow;
    arrow.SetArrowType(itemData(index).toInt());
    arrow.SetArrowSize(CArrowImage::AS_Small);
    arrow.SetArrowColor(0x000000);
    const int middle = rect.top() + rect.height() / 2;
    painter.drawImage(QPoint(rect.left() + 3, middle - CArrowImage::kIconSize / 2), arrow.GetIcon(0.0));
}
