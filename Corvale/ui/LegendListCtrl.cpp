#include "ui/LegendListCtrl.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "core/styles/BrushPatterns.h"
#include "core/styles/StyleInfo.h"
#include "framework/UserInterface.h"
#include "view/MapDrawing.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>

namespace {

// The icon area within a row.
constexpr int kIconLeft = 2;
constexpr int kIconTop = 2;
// Between the icon area and the label area.
constexpr int kLabelGap = 2;
// The system's edge height, as the info-tip box has always used it.
constexpr int kEdgeHeight = 2;
// Icon index of the first point symbol past the catalogue: no sample.
constexpr int kNoSymbolIcon = kSymbolIconCount;
// The cell of a symbol or picture sample, below the start of the name and as
// wide as the line and area samples: a large symbol is shrunk into it rather
// than drawn over the name, the check box or the row below.
constexpr int kSampleCellWidth = 21;
constexpr int kSampleCellHeight = 16;

// Draws the icon's visible part centred in the cell, shrunk to fit when it
// is larger.
void DrawIconInCell(QPainter& painter, const QImage& icon, const QRect& cell) {
    const QRect part = GetIconOpaqueRect(icon);
    if (part.isEmpty())
        return;
    QSize size = part.size();
    if (size.width() > cell.width() || size.height() > cell.height())
        size.scale(cell.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size.expandedTo(QSize(1, 1)));
    target.moveCenter(cell.center());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != part.size());
    painter.drawImage(target, icon, part);
    painter.restore();
}

// The last mouse position seen by any legend list (one for the process), so
// that a tooltip is asked again only when the mouse really moved.
QPoint g_LastMousePosition(-1, -1);

// Windows rectangles hold their left and top, not their right and bottom.
bool InRect(const QPoint& p, int left, int top, int right, int bottom) {
    return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
}

QImage MakeOverlay() {
    QImage image(CLegendListCtrl::kIconSize, CLegendListCtrl::kIconSize,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void DrawCheckBox(QImage& image, bool checked) {
    QPainter p(&image);
    const QRect box(9, 8, 11, 11);
    p.fillRect(box, Qt::white);
    p.setPen(QColor(64, 64, 64));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolyline(QPolygonF({QPointF(11.5, 13.5), QPointF(13.5, 15.5), QPointF(17.5, 10.5)}));
    }
}

// A funnel: shapes are filtered out.
void DrawFilterMarker(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 1.0));
    p.setBrush(QColor(64, 128, 255));
    p.drawPolygon(QPolygonF({QPointF(9.5, 20.5), QPointF(19.5, 20.5), QPointF(15.5, 25.5),
                             QPointF(15.5, 30.5), QPointF(13.5, 29.5), QPointF(13.5, 25.5)}));
}

// Two linked boxes: the shapes belong to a parent theme.
void DrawParentMarker(QImage& image) {
    QPainter p(&image);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(96, 200, 96));
    p.drawRect(24, 21, 5, 5);
    p.drawRect(28, 25, 5, 5);
}

// A pencil: the theme may be edited.
void DrawEditableMarker(QImage& image) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 64, 0), 1.0));
    p.setBrush(QColor(255, 200, 0));
    p.drawPolygon(QPolygonF({QPointF(24.5, 17.5), QPointF(25.5, 14.5), QPointF(31.5, 8.5),
                             QPointF(33.5, 10.5), QPointF(27.5, 16.5)}));
}

// The picture of an image theme, in the place of a point symbol.
QImage MakeImageThemeIcon() {
    QImage image(kSymbolIconSize, kSymbolIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QRect frame(6, 9, 20, 15);
    p.fillRect(frame, QColor(160, 210, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 140, 40));
    p.drawPolygon(
        QPolygon({QPoint(6, 24), QPoint(13, 15), QPoint(18, 20), QPoint(21, 17), QPoint(26, 24)}));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    return image;
}


} // namespace

const std::array<QImage, LOI_Count>& GetLegendOverlayImages() {
    static const std::array<QImage, LOI_Count> images = [] {
        std::array<QImage, LOI_Count> made;
        for (QImage& image : made)
            image = MakeOverlay();
        DrawCheckBox(made[LOI_Unchecked], false);
        DrawCheckBox(made[LOI_Checked], true);
        DrawFilterMarker(made[LOI_Filter]);
        DrawParentMarker(made[LOI_Parent]);
        DrawEditableMarker(made[LOI_Editable]);
        return made;
    }();
    return images;
}

CLegendListCtrl::CLegendListCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("LegendList"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    m_LastAutoScroll.start();
    UpdateScrollBar();
}

CLegendListCtrl::~CLegendListCtrl() {
    DestroyIconList(m_IconCache);
}

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

int CLegendListCtrl::InsertItem(int index, const std::string& text, int image, CTheme* theme) {
    index = std::clamp(index, 0, GetItemCount());
    Item item;
    item.text = text;
    item.image = image != 0 ? 1 : 0;
    item.theme = theme;
    m_Items.insert(m_Items.begin() + index, item);
    if (m_FocusItem >= index)
        ++m_FocusItem;
    if (m_AnchorItem >= index)
        ++m_AnchorItem;
    UpdateScrollBar();
    viewport()->update();
    return index;
}

bool CLegendListCtrl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount())
        return false;
    m_Items.erase(m_Items.begin() + index);
    for (int* mark : {&m_FocusItem, &m_AnchorItem}) {
        if (*mark == index)
            *mark = -1;
        else if (*mark > index)
            --*mark;
    }
    UpdateScrollBar();
    viewport()->update();
    return true;
}

void CLegendListCtrl::DeleteAllItems() {
    m_Items.clear();
    m_FocusItem = -1;
    m_AnchorItem = -1;
    UpdateScrollBar();
    viewport()->update();
}

CTheme* CLegendListCtrl::GetItemData(int index) const {
    return index >= 0 && index < GetItemCount() ? m_Items[static_cast<std::size_t>(index)].theme
                                                : nullptr;
}

std::string CLegendListCtrl::GetItemText(int index) const {
    return index >= 0 && index < GetItemCount() ? m_Items[static_cast<std::size_t>(index)].text
                                                : std::string();
}

void CLegendListCtrl::SetItemText(int index, const std::string& text) {
    if (index < 0 || index >= GetItemCount())
        return;
    m_Items[static_cast<std::size_t>(index)].text = text;
    viewport()->update(GetItemRect(index));
}

bool CLegendListCtrl::GetCheck(int index) const {
    return GetItemImage(index) == 1;
}

void CLegendListCtrl::SetCheck(int index, bool checked) {
    if (index < 0 || index >= GetItemCount())
        return;
    m_Items[static_cast<std::size_t>(index)].image = checked ? 1 : 0;
    viewport()->update(GetItemRect(index));
}

int CLegendListCtrl::GetItemImage(int index) const {
    return index >= 0 && index < GetItemCount() ? m_Items[static_cast<std::size_t>(index)].image
                                                : 0;
}

int CLegendListCtrl::FindItem(const CTheme* theme) const {
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_Items[static_cast<std::size_t>(i)].theme == theme)
            return i;
    return -1;
}

bool CLegendListCtrl::IsItemSelected(int index) const {
    return index >= 0 && index < GetItemCount() &&
           m_Items[static_cast<std::size_t>(index)].selected;
}

void CLegendListCtrl::SetItemSelected(int index, bool selected) {
    if (index < 0 || index >= GetItemCount())
        return;
    m_Items[static_cast<std::size_t>(index)].selected = selected;
    if (selected && m_FocusItem < 0)
        m_FocusItem = m_AnchorItem = index;
    viewport()->update(GetItemRect(index));
}

std::vector<int> CLegendListCtrl::GetSelectedItems() const {
    std::vector<int> selected;
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_Items[static_cast<std::size_t>(i)].selected)
            selected.push_back(i);
    return selected;
}

int CLegendListCtrl::GetSelectedCount() const {
    return static_cast<int>(GetSelectedItems().size());
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

int CLegendListCtrl::GetTopIndex() const {
    return verticalScrollBar()->value();
}

int CLegendListCtrl::GetCountPerPage() const {
    return std::max(1, viewport()->height() / kRowHeight);
}

void CLegendListCtrl::UpdateScrollBar() {
    const int perPage = GetCountPerPage();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(perPage);
    bar->setRange(0, std::max(0, GetItemCount() - perPage));
}

void CLegendListCtrl::ScrollToTop(int top) {
    verticalScrollBar()->setValue(top);
}

void CLegendListCtrl::Notify(int code, int item) {
    if (m_Notify)
        m_Notify(code, item);
}

void CLegendListCtrl::EnsureVisible(int index) {
    if (index < 0 || index >= GetItemCount())
        return;
    const int top = GetTopIndex();
    if (index < top)
        ScrollToTop(index);
    else if (index >= top + GetCountPerPage())
        ScrollToTop(index - GetCountPerPage() + 1);
}

QRect CLegendListCtrl::GetItemRect(int index) const {
    const int width = m_ColumnWidth > 0 ? m_ColumnWidth : viewport()->width();
    return QRect(0, (index - GetTopIndex()) * kRowHeight, width, kRowHeight);
}

QRect CLegendListCtrl::GetIconRect(int index) const {
    const QRect item = GetItemRect(index);
    return QRect(item.left() + kIconLeft, item.top() + kIconTop, kIconSize, kIconSize);
}

QRect CLegendListCtrl::GetLabelRect(int index) const {
    const QRect item = GetItemRect(index);
    const int left = GetIconRect(index).left() + kIconSize + kLabelGap;
    return QRect(QPoint(left, item.top()),
                 QPoint(std::max(left, item.left() + item.width()) - 1, item.bottom()));
}

void CLegendListCtrl::SetColumnWidth(int width) {
    if (width == m_ColumnWidth)
        return;
    m_ColumnWidth = width;
    viewport()->update();
}

int CLegendListCtrl::HitTestZone(const QPoint& point, int* zone) const {
    if (zone != nullptr)
        *zone = LHZ_None;
    // The row is hit across the whole client width (full-row selection).
    if (point.y() < 0 || point.y() >= viewport()->height() || point.x() < 0 ||
        point.x() >= viewport()->width())
        return -1;
    const int index = GetTopIndex() + point.y() / kRowHeight;
    if (index >= GetItemCount())
        return -1;
    if (zone == nullptr)
        return index;
    const QRect icon = GetIconRect(index);
    const int L = icon.left(), T = icon.top(), R = icon.left() + icon.width(),
              B = icon.top() + icon.height();
    if (InRect(point, L + 8, T + 7, R - 16, B - 17))
        *zone = LHZ_CheckBox;
    else if (InRect(point, L + 8, T + 19, R - 16, B - 5))
        *zone = LHZ_FilterMarker;
    else if (InRect(point, L + 23, T + 20, R - 2, B - 5))
        *zone = LHZ_ParentMarker;
    else if (InRect(point, L + 23, T + 7, R - 2, B - 17))
        *zone = LHZ_EditableMarker;
    else {
        const QRect label = GetLabelRect(index);
        const int bottom = label.top() + label.height() - label.height() / 2;
        *zone =
            InRect(point, label.left() + 3, label.top() + 2, label.left() + label.width(), bottom)
                ? LHZ_LabelTop
                : LHZ_Item;
    }
    return index;
}

bool CLegendListCtrl::LabelFits(int index) const {
    if (index < 0 || index >= GetItemCount())
        return false;
    const int textWidth =
        fontMetrics().horizontalAdvance(QString::fromStdString(GetItemText(index)));
    return textWidth < GetLabelRect(index).width() - 6;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void CLegendListCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    Render(painter);
}

void CLegendListCtrl::Render(QPainter& painter) {
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Button));
    const int first = GetTopIndex();
    const int last = std::min(GetItemCount() - 1, first + GetCountPerPage());
    for (int i = first; i <= last; ++i)
        DrawItem(painter, i);
    if (!m_InsertionMark.isEmpty())
        painter.fillRect(m_InsertionMark, QBrush(Qt::black, Qt::Dense4Pattern));
}

void CLegendListCtrl::DrawItem(QPainter& painter, int index) {
    const Item& item = m_Items[static_cast<std::size_t>(index)];
    const QRect bounds = GetItemRect(index);
    painter.save();
    painter.setClipRect(bounds);

    // Background: the highlight colour at the top down to the face colour, or
    // to the selection colour when selected, as far as the client's right edge.
    const QRect background(bounds.topLeft(), QPoint(viewport()->width() - 1, bounds.bottom()));
    QLinearGradient gradient(background.topLeft(), background.bottomLeft());
    gradient.setColorAt(0.0, palette().color(QPalette::Light));
    gradient.setColorAt(1.0, item.selected ? ColorFromColorRef(m_SelectionColor)
                                           : palette().color(QPalette::Button));
    painter.fillRect(background, gradient);
    painter.setPen(Qt::black);
    painter.drawLine(bounds.left(), bounds.bottom(), background.right(), bounds.bottom());

    // The overlays of the icon area.
    const auto& overlays = GetLegendOverlayImages();
    const QPoint iconAt = GetIconRect(index).topLeft();
    painter.drawImage(iconAt, overlays[item.image == 1 ? LOI_Checked : LOI_Unchecked]);
    const CTheme* theme = item.theme;
    if (theme != nullptr) {
        if (theme->GetFilteredShapeCount() > 0)
            painter.drawImage(iconAt, overlays[LOI_Filter]);
        if (theme->m_SourceType == ST_ParentTheme)
            painter.drawImage(iconAt, overlays[LOI_Parent]);
        if (theme->m_Editable)
            painter.drawImage(iconAt, overlays[LOI_Editable]);
    }

    QRect label = GetLabelRect(index);
    label.setLeft(label.left() + 3);
    const QString text = QString::fromStdString(item.text);
    painter.setFont(font());
    const QFontMetrics metrics(font());

    if (theme != nullptr && theme->m_ShowInfoTip) {
        const QRect box(
            QPoint(label.left(), label.top() + 1 + kEdgeHeight),
            QPoint(label.left() + metrics.horizontalAdvance(text) + 5 - 1, label.bottom()));
        painter.fillRect(box, Qt::black);
        painter.fillRect(box.adjusted(1, 1, -1, -1), palette().color(QPalette::ToolTipBase));
    }

    // The name takes the upper half of the label area.
    const QRect nameRect(QPoint(label.left() + 3, label.top() + 2),
                         QPoint(label.right(), label.top() + 2 + label.height() / 2 - 1));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);

    if (theme != nullptr && theme->m_ShowLabels) {
        const QRect wordRect(QPoint(label.left() + 32, label.top()),
                             QPoint(label.right(), label.bottom() - 5));
        painter.drawText(wordRect, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                         QStringLiteral("Label"));
    }

    if (theme != nullptr)
        DrawStyleSample(painter, *theme, nameRect);

    if (item.selected)
        qDrawShadePanel(&painter, bounds, palette(), true, 1);
    painter.restore();
}

void CLegendListCtrl::DrawStyleSample(QPainter& painter, const CTheme& theme,
                                      const QRect& nameRect) {
    const int L = nameRect.left();
    // The bottom as a Windows rectangle holds it: one past the last row.
    const int B = nameRect.bottom() + 1;
    const std::uint32_t type = theme.m_ShapeType;
    const QRect cell(L, B, kSampleCellWidth, kSampleCellHeight);
    painter.save();
    if (CShapeRecord::IsPointType(type)) {
        const int iconIndex = theme.m_PointSymbol + 1;
        if (iconIndex >= 0 && iconIndex < kNoSymbolIcon) {
            const QImage icon = CreateSymbolIcon(m_IconCache, iconIndex, theme.m_Color);
            if (!icon.isNull())
                DrawIconInCell(painter, icon, cell);
            // The icon is drawn; keeping it would grow the cache on every paint.
            ReleaseSymbolIcon(m_IconCache, icon);
        }
    } else if (CShapeRecord::IsPolylineType(type)) {
        QPen pen = MakeStylePen(theme.m_PenStyle, theme.m_LineWidth > 0 ? theme.m_LineWidth : 1,
                                theme.m_Color);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(L, B + 5, L + 20, B + 5);
        if (theme.m_ShowArrows) {
            const QImage arrow = const_cast<CArrowImage&>(theme.m_ArrowImage).GetIcon(0.0);
            // On the line, within the sample's cell.
            if (!arrow.isNull())
                DrawIconInCell(painter, arrow, QRect(L, B, kSampleCellWidth, 11));
        }
    } else if (CShapeRecord::IsPolygonType(type)) {
        const QRect box(QPoint(L, B + 3), QPoint(L + 20 - 1, B + 13 - 1));
        painter.fillRect(box, ColorFromColorRef(theme.m_Color));
        if (theme.m_LineWidth > 0 || theme.m_PenStyle != PS_Null) {
            QPen outline = MakeStylePen(theme.m_PenStyle, theme.m_LineWidth, theme.m_OutlineColor);
            outline.setJoinStyle(Qt::MiterJoin);
            painter.setPen(outline);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        }
        const int inset = theme.m_LineWidth > 0 ? theme.m_LineWidth : 1;
        const QRect inner = box.adjusted(inset, inset, -inset, -inset);
        if (inner.isValid() && theme.m_FillPattern != 0) {
            painter.setBrushOrigin(0, 0);
            painter.fillRect(inner, GetPatternBrush(theme.m_FillPattern,
                                                    ColorFromColorRef(theme.m_Color), Qt::white));
        }
    } else if (type == SHT_Image) {
        static const QImage picture = MakeImageThemeIcon();
        DrawIconInCell(painter, picture, cell);
    }
    painter.restore();
}

void CLegendListCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void CLegendListCtrl::scrollContentsBy(int, int) {
    viewport()->update();
}

// ---------------------------------------------------------------------------
// Selection by mouse and keys
// ---------------------------------------------------------------------------

void CLegendListCtrl::SelectOnly(int index) {
    for (int i = 0; i < GetItemCount(); ++i)
        m_Items[static_cast<std::size_t>(i)].selected = i == index;
    viewport()->update();
}

void CLegendListCtrl::SelectRange(int from, int to) {
    if (from < 0)
        from = to;
    const int low = std::min(from, to), high = std::max(from, to);
    for (int i = 0; i < GetItemCount(); ++i)
        m_Items[static_cast<std::size_t>(i)].selected = i >= low && i <= high;
    viewport()->update();
}

void CLegendListCtrl::ReportSelectionChange() {
    const std::vector<int> now = GetSelectedItems();
    if (now != m_SelectionSnapshot) {
        m_SelectionSnapshot = now;
        Notify(LLN_SelectionChanged, -1);
    }
}

void CLegendListCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int index = HitTestZone(point, nullptr);
    m_SelectionSnapshot = GetSelectedItems();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        m_Pressed = true;
        m_PressPoint = point;
        m_PressItem = index;
        m_DeferredSelectOnly = false;
        if (index < 0) {
            if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier)))
                SelectOnly(-1);
        } else if (modifiers & Qt::ShiftModifier) {
            SelectRange(m_AnchorItem, index);
            m_FocusItem = index;
        } else if (modifiers & Qt::ControlModifier) {
            m_Items[static_cast<std::size_t>(index)].selected =
                !m_Items[static_cast<std::size_t>(index)].selected;
            m_FocusItem = m_AnchorItem = index;
            viewport()->update();
        } else {
            if (IsItemSelected(index) && GetSelectedCount() > 1)
                m_DeferredSelectOnly = true;
            else
                SelectOnly(index);
            m_FocusItem = m_AnchorItem = index;
        }
        ReportSelectionChange();
    } else if (event->button() == Qt::RightButton) {
        // The item under the mouse joins the selection as the list always
        // did it: alone, unless it is selected already.
        if (index >= 0 && !IsItemSelected(index)) {
            SelectOnly(index);
            m_FocusItem = m_AnchorItem = index;
        }
    }
}

void CLegendListCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_Dragging) {
        DragTo(point);
        return;
    }
    if (m_Pressed && (event->buttons() & Qt::LeftButton) && m_PressItem >= 0 && m_DragEnabled &&
        (point - m_PressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        BeginDrag();
        DragTo(point);
        return;
    }
    RefreshToolTip(point);
}

void CLegendListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton)
        return;
    if (m_Dragging) {
        m_Pressed = false;
        EndDrag();
        return;
    }
    if (!m_Pressed)
        return;
    m_Pressed = false;
    if (m_DeferredSelectOnly) {
        m_DeferredSelectOnly = false;
        m_SelectionSnapshot = GetSelectedItems();
        SelectOnly(m_PressItem);
        ReportSelectionChange();
    }
    // The click: only the check box of the item pressed toggles its theme.
    int zone = LHZ_None;
    const int index = HitTestZone(point, &zone);
    if (m_CheckBoxClicksEnabled && index >= 0 && index == m_PressItem && zone == LHZ_CheckBox) {
        SetCheck(index, !GetCheck(index));
        Notify(LLN_CheckChanged, index);
    }
}

void CLegendListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // A double click on the check box is two clicks on it, nothing more.
    int zone = LHZ_None;
    const int index = HitTestZone(event->position().toPoint(), &zone);
    if (zone == LHZ_CheckBox) {
        mousePressEvent(event);
        return;
    }
    m_Pressed = false;
    if (m_ItemDoubleClicked)
        m_ItemDoubleClicked(index);
}

void CLegendListCtrl::keyPressEvent(QKeyEvent* event) {
    const int count = GetItemCount();
    int target = -1;
    const int focus = m_FocusItem;
    switch (event->key()) {
    case Qt::Key_Up:
        target = focus < 0 ? 0 : std::max(0, focus - 1);
        break;
    case Qt::Key_Down:
        target = focus < 0 ? 0 : std::min(count - 1, focus + 1);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    case Qt::Key_PageUp:
        target = std::max(0, (focus < 0 ? 0 : focus) - GetCountPerPage());
        break;
    case Qt::Key_PageDown:
        target = std::min(count - 1, (focus < 0 ? 0 : focus) + GetCountPerPage());
        break;
    case Qt::Key_Space:
        target = focus < 0 ? 0 : focus;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (count > 0 && target >= 0) {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        if (event->key() == Qt::Key_Space && (modifiers & Qt::ControlModifier)) {
            m_Items[static_cast<std::size_t>(target)].selected =
                !m_Items[static_cast<std::size_t>(target)].selected;
            viewport()->update();
        } else if (modifiers & Qt::ShiftModifier) {
            SelectRange(m_AnchorItem, target);
        } else if (!(modifiers & Qt::ControlModifier)) {
            SelectOnly(target);
            m_AnchorItem = target;
        }
        m_FocusItem = target;
        EnsureVisible(target);
    }
    event->accept();
    // Posted, as the list always did: the owner hears of it once the key is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_SelectionSnapshot = GetSelectedItems();
            Notify(LLN_SelectionChanged, -1);
        },
        Qt::QueuedConnection);
}

void CLegendListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    ReportSelectionChange();
    const QPoint global = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                      : mapToGlobal(QPoint(5, 5));
    if (m_ContextMenuRequested)
        m_ContextMenuRequested(global);
    event->accept();
}

// ---------------------------------------------------------------------------
// Tooltips
// ---------------------------------------------------------------------------

bool CLegendListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string text = m_ToolTipText ? m_ToolTipText(help->pos()) : std::string();
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(
                help->globalPos(),
                QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CLegendListCtrl::RefreshToolTip(const QPoint& point) {
    if (point == g_LastMousePosition)
        return;
    g_LastMousePosition = point;
    if (!QToolTip::isVisible() || !m_ToolTipText)
        return;
    const std::string text = m_ToolTipText(point);
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(
            viewport()->mapToGlobal(point),
            QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
            viewport());
}

// ---------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------

void CLegendListCtrl::BeginDrag() {
    m_Dragging = true;
    m_DeferredSelectOnly = false;
    const std::vector<int> selected = GetSelectedItems();
    if (selected.size() == 1)
        corvale::UI().SetStatusText("Moving theme " + GetItemText(selected.front()));
    else
        corvale::UI().SetStatusText("Moving multiple themes");
    viewport()->setCursor(selected.size() == 1 ? Qt::DragMoveCursor : Qt::DragCopyCursor);
}

void CLegendListCtrl::SetInsertionMark(const QRect& mark, int index) {
    if (mark != m_InsertionMark) {
        // Only the old and the new mark are painted again.
        viewport()->update(m_InsertionMark);
        viewport()->update(mark);
        m_InsertionMark = mark;
    }
    m_InsertionIndex = index;
}

void CLegendListCtrl::DragTo(const QPoint& point) {
    m_DragPoint = point;
    const int count = GetItemCount();
    const int width = GetItemRect(0).width();
    auto bandAtTop = [&](int index) {
        return QRect(0, GetItemRect(index).top(), width, kInsertionMarkHeight);
    };
    auto bandUnderLast = [&] {
        return QRect(0, count > 0 ? GetItemRect(count - 1).top() + kRowHeight : 0, width,
                     kInsertionMarkHeight);
    };
    const bool insideX = point.x() >= 0 && point.x() < viewport()->width();

    const int over = HitTestZone(point, nullptr);
    if (over >= 0) {
        SetInsertionMark(bandAtTop(over), over);
        return;
    }
    if (insideX && point.y() < 0) {
        // Above the list.
        if (GetTopIndex() == 0) {
            SetInsertionMark(bandAtTop(0), 0);
        } else if (m_LastAutoScroll.elapsed() > kAutoScrollMilliseconds) {
            ScrollToTop(GetTopIndex() - 1);
            SetInsertionMark(bandAtTop(GetTopIndex()), GetTopIndex());
            m_LastAutoScroll.restart();
        }
        return;
    }
    if (insideX && point.y() >= 0 && point.y() < viewport()->height()) {
        // Empty space below the items.
        SetInsertionMark(bandUnderLast(), count);
        return;
    }
    if (insideX && point.y() >= viewport()->height()) {
        // Below the list.
        if (GetTopIndex() + GetCountPerPage() >= count) {
            SetInsertionMark(bandUnderLast(), count);
        } else if (m_LastAutoScroll.elapsed() > kAutoScrollMilliseconds) {
            ScrollToTop(GetTopIndex() + 1);
            const int revealed = std::min(count - 1, GetTopIndex() + GetCountPerPage() - 1);
            SetInsertionMark(bandAtTop(revealed), revealed);
            m_LastAutoScroll.restart();
        }
        return;
    }
    SetInsertionMark(QRect(), -1);
}

void CLegendListCtrl::EndDrag() {
    const int index = m_InsertionIndex;
    SetInsertionMark(QRect(), -1);
    viewport()->unsetCursor();
    corvale::UI().SetStatusText("For Help, press F1");
    m_Dragging = false;
    // Dropped where no place is marked (beside the list): nothing moves.
    if (index >= 0)
        MoveSelectedItems(index);
}

void CLegendListCtrl::MoveSelectedItems(int index) {
    const int count = GetItemCount();
    std::vector<Item> group;
    for (const Item& item : m_Items)
        if (item.selected)
            group.push_back(item);
    std::vector<Item> reordered;
    reordered.reserve(m_Items.size());
    for (int i = 0; i < count; ++i) {
        if (i == index)
            reordered.insert(reordered.end(), group.begin(), group.end());
        if (!m_Items[static_cast<std::size_t>(i)].selected)
            reordered.push_back(m_Items[static_cast<std::size_t>(i)]);
    }
    if (index >= count)
        reordered.insert(reordered.end(), group.begin(), group.end());
    m_Items = std::move(reordered);
    // The focus follows the first moved item.
    for (int i = 0; i < count; ++i)
        if (m_Items[static_cast<std::size_t>(i)].selected) {
            m_FocusItem = m_AnchorItem = i;
            break;
        }
    viewport()->update();
    Notify(LLN_OrderChanged, -1);
}
