#include "ui/controls/PenPatternComboBox.h"

#include "core/styles/StyleInfo.h"

#include <QPainter>

#include <algorithm>

void DrawAutomaticComboItem(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.setPen(colour);
    painter.drawText(rect.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Automatic"));
}

CPenPatternComboBox::CPenPatternComboBox(QWidget* parent, bool automatic)
    : COwnerDrawnComboBox(parent), m_Automatic(automatic) {
    if (m_Automatic)
        addItem(QStringLiteral("Automatic"), -1);
    for (int style : {0, 2, 1, 3, 4})
        addItem(QString(), style);
}

void CPenPatternComboBox::SetCurPattern(int style) {
    m_CurPattern = style;
    setCurrentIndex(FindItemData(style));
}

void CPenPatternComboBox::SetPenWidth(int width) {
    m_PenWidth = width;
    update();
}

void CPenPatternComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) {
    DrawItemBackground(painter, rect, state);
    if (index < 0 || index >= count())
        return;
    const int style = itemData(index).toInt();
    const QColor text = state.selected && !state.editField ? palette().color(QPalette::HighlightedText)
                                                           : palette().color(QPalette::Text);
    if (style == -1) {
        DrawAutomaticComboItem(painter, rect, text);
        return;
    }
    // The map's own pen for that pattern, in black.
    const QPen pen = MakeStylePen(style, std::max(m_PenWidth, 1), 0x000000);
    painter.setPen(pen);
    const int y = rect.top() + rect.height() / 2;
    painter.drawLine(rect.left() + 3, y, rect.right() - 3, y);
}
