#include "ui/controls/OwnerDrawnComboBox.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

// Hands the list's items to the combo box's own drawing.
class COwnerDrawnItemDelegate : public QStyledItemDelegate {
public:
    COwnerDrawnItemDelegate(COwnerDrawnComboBox* combo, int itemHeight)
        : QStyledItemDelegate(combo), m_Combo(combo), m_ItemHeight(itemHeight) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        COwnerDrawnComboBox::ItemState state;
        state.selected = (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) != 0;
        painter->save();
        m_Combo->DrawItem(*painter, option.rect, index.row(), state);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_ItemHeight);
    }

private:
    COwnerDrawnComboBox* m_Combo;
    int m_ItemHeight;
};

} // namespace

COwnerDrawnComboBox::COwnerDrawnComboBox(QWidget* parent, int itemHeight)
    : QComboBox(parent), m_ItemHeight(itemHeight) {
    setEditable(false);
    setItemDelegate(new COwnerDrawnItemDelegate(this, itemHeight));
}

int COwnerDrawnComboBox::FindItemData(int value) const {
    for (int i = 0; i < count(); ++i) {
        if (itemData(i).toInt() == value)
            return i;
    }
    return -1;
}

void COwnerDrawnComboBox::DrawItemBackground(QPainter& painter, const QRect& rect, const ItemState& state) const {
    const QColor background = palette().color(QPalette::Base);
    if (state.editField && state.focused) {
        const QRect inner = rect.adjusted(1, 1, -1, -1);
        painter.fillRect(inner, background);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inner;
        focus.backgroundColor = background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        return;
    }
    painter.fillRect(rect, state.selected ? palette().color(QPalette::Highlight) : background);
}

void COwnerDrawnComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const int index = currentIndex();
    if (index < 0)
        return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    ItemState state;
    state.editField = true;
    state.focused = hasFocus() && !view()->isVisible();
    painter.save();
    painter.setClipRect(field);
    DrawItem(painter, field, index, state);
    painter.restore();
}
