#include "ui/controls/ColorThemeComboBox.h"

#include "core/ColorRef.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kBlockWidth = 10;
// From the end of the name to the first block.
constexpr int kBlockGap = 6;
// Left free at the right edge.
constexpr int kRightGap = 3;

} // namespace

CColorThemeComboBox::CColorThemeComboBox(QWidget* parent) : COwnerDrawnComboBox(parent) {}

void CColorThemeComboBox::SetColorThemes(const std::vector<CColorTheme>& themes) {
    m_Themes = themes;
    clear();
    for (std::size_t k = 0; k < m_Themes.size(); ++k)
        addItem(QString::fromStdString(m_Themes[k].m_Name), static_cast<int>(k));
}

void CColorThemeComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, const ItemState& state) {
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setFont(font());
    painter.fillRect(rect, state.editField && state.focused ? highlight : QColor(Qt::white));
    if (index < 0 || static_cast<std::size_t>(index) >= m_Themes.size())
        return;
    const CColorTheme& theme = m_Themes[static_cast<std::size_t>(index)];
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    const QString name = QString::fromStdString(theme.m_Name);
    if (!state.editField) {
        QRect blocks(QPoint(inner.left() + painter.fontMetrics().horizontalAdvance(name) + kBlockGap, inner.top()),
                     QPoint(inner.right() - kRightGap, inner.bottom()));
        if (state.selected && blocks.width() > 0) {
            painter.fillRect(blocks.adjusted(-3, 0, 3, 0), highlight);
            blocks.adjust(0, 3, 0, -3);
        }
        for (int i = 0, x = blocks.left(); x <= blocks.right(); ++i, x += kBlockWidth) {
            const int right = std::min(x + kBlockWidth - 1, blocks.right());
            painter.fillRect(QRect(QPoint(x, blocks.top()), QPoint(right, blocks.bottom())),
                             ColorFromColorRef(theme.GetColor(i)));
        }
    }
    painter.setPen(state.editField && state.focused ? palette().color(QPalette::HighlightedText)
                                                    : palette().color(QPalette::Text));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, name);
}
