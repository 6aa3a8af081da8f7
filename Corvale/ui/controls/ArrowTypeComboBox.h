#pragma once
// The arrow head combo box: the two arrow types (0 outline, 1 filled) as small
// black arrow heads pointing right, item data = the type.

#include "ui/controls/OwnerDrawnComboBox.h"

class CArrowTypeComboBox : public COwnerDrawnComboBox {
public:
    explicit CArrowTypeComboBox(QWidget* parent = nullptr);

    void DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) override;
};
