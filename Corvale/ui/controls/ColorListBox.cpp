#include "ui/controls/ColorListBox.h"

#include "core/ColorRef.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kItemHeight = 16;

class CColorListDelegate : public QStyledItemDelegate {
public:
    explicit CColorListDelegate(CColorListBox* list) : QStyledItemDelegate(list), m_List(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        m_List->DrawItem(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(40, kItemHeight); }

private:
    CColorListBox* m_List;
};

} // namespace

CColorListBox::CColorListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new CColorListDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void CColorListBox::AddColor(std::uint32_t colour) {
    auto* item = new QListWidgetItem(this);
    item->setData(Qt::UserRole, QVariant::fromValue<uint>(colour));
}

void CColorListBox::SetColor(int row, std::uint32_t colour) {
    if (QListWidgetItem* it = item(row)) {
        it->setData(Qt::UserRole, QVariant::fromValue<uint>(colour));
        viewport()->update();
    }
}

std::uint32_t CColorListBox::GetColor(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? static_cast<std::uint32_t>(it->data(Qt::UserRole).toUInt()) : 0;
}

void CColorListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) const {
    painter.fillRect(rect, Qt::white);
    QRect inner = rect.adjusted(1, 1, -1, -1);
    if (selected) {
        const QColor highlight = palette().color(QPalette::Highlight);
        painter.fillRect(inner, highlight);
        inner.adjust(3, 3, -3, -3);
    }
    painter.fillRect(inner, ColorFromColorRef(GetColor(row)));
}
