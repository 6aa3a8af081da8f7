#include "ui/controls/SelectHeaderCtrl.h"

#include "core/ColorRef.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

// Tool tips of the header are at most this wide.
constexpr int kToolTipMaxWidth = 600;

} // namespace

CSelectHeaderCtrl::CSelectHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setSectionsMovable(true);
    setHighlightSections(false);
    // Hidden columns are columns of width 0, not hidden sections: their
    // width is remembered by the list and they keep their place.
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Interactive);
    setMouseTracking(true);
    connect(this, &QHeaderView::sectionClicked, this, [this](int column) {
        if (column < 0)
            return;
        const bool wasSelected = IsHeadingSelected(column);
        const bool keepOthers = (m_Options & kMultiSelect) != 0 && (m_PressModifiers & Qt::ControlModifier);
        if (!keepOthers)
            std::fill(m_Selected.begin(), m_Selected.end(), false);
        SetHeadingSelected(column, !wasSelected);
        viewport()->update();
        if (onHeadingClicked)
            onHeadingClicked(column);
    });
    connect(this, &QHeaderView::sectionPressed, this, [this](int) {
        if (onTrackStarted)
            onTrackStarted();
    });
}

bool CSelectHeaderCtrl::IsHeadingSelected(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_Selected.size() && m_Selected[column];
}

void CSelectHeaderCtrl::SetHeadingSelected(int column, bool selected) {
    if (column < 0 || column >= count())
        return;
    if (m_Selected.size() < static_cast<std::size_t>(count()))
        m_Selected.resize(count(), false);
    m_Selected[column] = selected;
    viewport()->update();
}

int CSelectHeaderCtrl::DividerAt(int x) const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    // From the last display position down, so that of several dividers at
    // one place (zero-width columns) the rightmost column is the one found,
    // as the list sees it.
    for (int visual = count() - 1; visual >= 0; --visual) {
        const int column = logicalIndex(visual);
        const int right = sectionViewportPosition(column) + sectionSize(column);
        if (std::abs(x - right) <= margin)
            return column;
    }
    return -1;
}

void CSelectHeaderCtrl::EnforceMinimumWidth(int column) {
    if (column >= 0 && column < count() && sectionSize(column) < kMinimumWidth)
        resizeSection(column, kMinimumWidth);
}

void CSelectHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    m_PressModifiers = event->modifiers();
    m_Resizing = -1;
    if (event->button() == Qt::LeftButton) {
        const int divider = DividerAt(event->position().toPoint().x());
        if (divider >= 0) {
            // A hidden column is shown through the header menu, not by
            // pulling its divider open.
            if (sectionSize(divider) == 0) {
                event->accept();
                return;
            }
            m_Resizing = divider;
            if (onTrackStarted)
                onTrackStarted();
        } else {
            m_Pressed = logicalIndexAt(event->position().toPoint());
        }
    }
    QHeaderView::mousePressEvent(event);
}

void CSelectHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (m_Resizing >= 0)
        EnforceMinimumWidth(m_Resizing);
    m_Resizing = -1;
    m_Pressed = -1;
    viewport()->update();
}

void CSelectHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const int divider = DividerAt(event->position().toPoint().x());
    if (divider >= 0 && sectionSize(divider) == 0) {
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
    if (divider >= 0)
        EnforceMinimumWidth(divider);
}

bool CSelectHeaderCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int column = logicalIndexAt(help->pos());
        QString text;
        if ((m_Options & kToolTips) != 0 && column >= 0 && toolTipText)
            text = QString::fromStdString(toolTipText(column));
        if (text.isEmpty()) {
            QToolTip::hideText();
            m_ShownTip.clear();
        } else if (text != m_ShownTip || !QToolTip::isVisible()) {
            m_ShownTip = text;
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("<div style='max-width:%1px'>%2</div>")
                                   .arg(kToolTipMaxWidth)
                                   .arg(text.toHtmlEscaped()),
                               this);
        }
        return true;
    }
    return QHeaderView::viewportEvent(event);
}

void CSelectHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    painter->save();
    const QPalette& colours = palette();
    const bool selected = IsHeadingSelected(logicalIndex);
    const bool pressed = logicalIndex == m_Pressed;
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, selected ? ColorFromColorRef(m_SelectedColor) : colours.color(QPalette::Light));
    gradient.setColorAt(1.0, colours.color(QPalette::Button));
    painter->fillRect(rect, gradient);

    // Sunken when selected or pressed, raised otherwise.
    const bool sunken = selected || pressed;
    const QColor topLeft = sunken ? colours.color(QPalette::Dark) : colours.color(QPalette::Light);
    const QColor bottomRight = sunken ? colours.color(QPalette::Light) : colours.color(QPalette::Dark);
    painter->setPen(topLeft);
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(bottomRight);
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());

    QRect textRect = rect.adjusted(4, 2, -4, -1);
    if (sunken)
        textRect.translate(1, 0);
    const QVariant decoration = model() != nullptr
                                    ? model()->headerData(logicalIndex, orientation(), Qt::DecorationRole)
                                    : QVariant();
    if (decoration.canConvert<QIcon>()) {
        const QIcon icon = decoration.value<QIcon>();
        if (!icon.isNull()) {
            const int side = textRect.height();
            icon.paint(painter, QRect(textRect.left(), textRect.top(), side, side));
            textRect.setLeft(textRect.left() + side + 2);
        }
    }
    const QString text =
        model() != nullptr ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
    painter->setPen(colours.color(QPalette::ButtonText));
    painter->setClipRect(textRect);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
    painter->restore();
}
