#include "ui/controls/PenWidthComboBox.h"

#include "ui/controls/PenPatternComboBox.h"

#include <QPainter>

CPenWidthComboBox::CPenWidthComboBox(QWidget* parent, bool automatic)
    : COwnerDrawnComboBox(parent), m_Automatic(automatic) {
    if (m_Automatic)
        addItem(QStringLiteral("Automatic"), -1);
    for (int width : {0, 2, 3, 4, 5, 6, 7})
        addItem(QString::number(width == 0 ? 1 : width), width);
}

void CPenWidthComboBox::SetCurWidth(int width) {
    m_CurWidth = width;
    setCurrentIndex(FindItemData(width == 1 ? 0 : width));
}

void CPenWidthComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) {
    DrawItemBackground(painter, rect, state);
    if (index < 0 || index >= count())
        return;
    const int width = itemData(index).toInt();
    const QColor text = state.selected && !state.editField ? palette().color(QPalette::HighlightedText)
                                                           : palette().color(QPalette::Text);
    if (width == -1) {
        DrawAutomaticComboItem(painter, rect, text);
        return;
    }
    const int shown = width == 0 ? 1 : width;
    painter.setFont(font());
    int left = rect.left() + 3;
    if (!state.editField) {
        const QString label = QStringLiteral("%1:").arg(shown);
        const QRect textRect = rect.adjusted(5, 0, 0, 0);
        painter.setPen(text);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, label);
        left = textRect.left() + painter.fontMetrics().horizontalAdvance(label) + 3;
    }
    // A square-ended line, so that it starts and ends where it is told.
    const int y = rect.top() + rect.height() / 2;
    QPen pen(Qt::black, shown, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(left + shown / 2, y + (shown % 2 ? 0.5 : 0.0)),
                     QPointF(rect.right() + 1 - shown / 2 - 3, y + (shown % 2 ? 0.5 : 0.0)));
}
