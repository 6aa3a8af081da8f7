#include "ui/controls/ColumnExListCtrl.h"

#include "core/ColorRef.h"
#include "ui/controls/ControlNotify.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>

namespace {

constexpr int kMaxHeadingLength = 256;
// Background of a selected row while the list does not have the focus.
constexpr std::uint32_t kInactiveSelection = 0xAAAAAA;

// Draws each cell in the style the list decides for it.
class CColumnExCellDelegate : public QStyledItemDelegate {
public:
    explicit CColumnExCellDelegate(CColumnExListCtrl* list) : QStyledItemDelegate(list), m_List(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool rowSelected = (option.state & QStyle::State_Selected) != 0;
        if (rowSelected && m_List->hasFocus()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const ColumnExCellStyle style = m_List->GetCellStyle(index.row(), index.column());
        painter->save();
        painter->fillRect(option.rect, ColorFromColorRef(rowSelected ? kInactiveSelection : style.m_Background));
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        QRect textRect = option.rect.adjusted(3, 0, -3, 0);
        if (!item.icon.isNull()) {
            const QSize size = item.decorationSize;
            item.icon.paint(painter, QRect(textRect.left(), option.rect.top() + (option.rect.height() - size.height()) / 2,
                                           size.width(), size.height()));
            textRect.setLeft(textRect.left() + size.width() + 2);
        }
        const QFont font = QFontFromLogFont(style.m_Font);
        painter->setFont(font);
        painter->setPen(ColorFromColorRef(style.m_Text));
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

private:
    CColumnExListCtrl* m_List;
};

} // namespace

bool IsLinkText(const std::string& text) {
    static const std::array<const char*, 6> kPrefixes = {"file://", "http://", "mailto:", "https://", "ftp://", "www."};
    for (const char* prefix : kPrefixes)
        if (text.rfind(prefix, 0) == 0)
            return true;
    return false;
}

CColumnExListCtrl::CColumnExListCtrl(QWidget* parent, int controlId)
    : QTableWidget(parent), m_Header(new CSelectHeaderCtrl(this)) {
    if (controlId != 0)
        setObjectName(QString::number(controlId));
    setHorizontalHeader(m_Header);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    setItemDelegate(new CColumnExCellDelegate(this));
    m_Header->setSectionsMovable(true);
    m_Header->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Header->onHeadingClicked = [this](int column) { OnHeadingClicked(column); };
    m_Header->onTrackStarted = [this] { OnHeaderTrackStarted(); };
    connect(m_Header, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        SendNotify(GetOwner(), this, NM_CLICK);
        std::unique_ptr<QMenu> menu = CreateHeaderMenu(point);
        if (menu == nullptr)
            return;
        m_MenuShowing = true;
        menu->exec(m_Header->mapToGlobal(point));
        m_MenuShowing = false;
    });
    m_Header->toolTipText = [this](int column) {
        NotifyToolTipText request;
        request.m_Header = {this, GetControlId(this), TTN_GETDISPINFO};
        request.m_Item = column;
        SendMessage(GetOwner(), WM_NOTIFY, static_cast<std::uintptr_t>(request.m_Header.m_ControlId),
                    reinterpret_cast<std::intptr_t>(&request));
        return request.m_Text;
    };
}

CColumnExListCtrl::~CColumnExListCtrl() = default;

CMessageWindow* CColumnExListCtrl::GetOwner() const {
    return m_Owner != nullptr ? m_Owner : FindOwnerWindow(this);
}

bool CColumnExListCtrl::event(QEvent* event) {
    if (DispatchPostedMessage(this, event))
        return true;
    return QTableWidget::event(event);
}

int CColumnExListCtrl::InsertColumn(int column, const std::string& heading, int width) {
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromStdString(heading)));
    m_Header->resizeSection(column, std::max(0, width));
    return column;
}

int CColumnExListCtrl::InsertItem(int row, const std::string& text) {
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column)
        setItem(row, column, new QTableWidgetItem());
    SetItemText(row, 0, text);
    return row;
}

bool CColumnExListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= rowCount())
        return false;
    removeRow(row);
    return true;
}

void CColumnExListCtrl::DeleteAllItems() { setRowCount(0); }

void CColumnExListCtrl::SetItemText(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem();
        setItem(row, column, cell);
    }
    cell->setText(QString::fromStdString(text));
}

std::string CColumnExListCtrl::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text().toStdString() : std::string();
}

int CColumnExListCtrl::GetColumnWidth(int column) const {
    return column >= 0 && column < columnCount() ? m_Header->sectionSize(column) : 0;
}

void CColumnExListCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < columnCount())
        m_Header->resizeSection(column, std::max(0, width));
}

std::vector<int> CColumnExListCtrl::GetSelectedRows() const {
    std::vector<int> rows;
    if (selectionModel() == nullptr)
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CColumnExListCtrl::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= rowCount() || selectionModel() == nullptr)
        return;
    selectionModel()->select(model()->index(row, 0), (selected ? QItemSelectionModel::Select
                                                               : QItemSelectionModel::Deselect) |
                                                         QItemSelectionModel::Rows);
}

// ---- column state ----

void CColumnExListCtrl::CaptureColumnState() {
    const int count = columnCount();
    if (m_State.m_Columns.size() != static_cast<std::size_t>(count)) {
        m_State.m_Columns.assign(count, CColumnExStateEntry());
        for (int column = 0; column < count; ++column) {
            CColumnExStateEntry& entry = m_State.m_Columns[column];
            const int width = GetColumnWidth(column);
            entry.m_Visible = width != 0;
            entry.m_Width = entry.m_Visible ? width : kRebuiltHiddenWidth;
            entry.m_Selected = m_Header->IsHeadingSelected(column);
        }
    } else {
        for (int column = 0; column < count; ++column) {
            CColumnExStateEntry& entry = m_State.m_Columns[column];
            const int width = GetColumnWidth(column);
            entry.m_Visible = width != 0;
            entry.m_Selected = m_Header->IsHeadingSelected(column);
            if (entry.m_Visible)
                entry.m_Width = width;
        }
    }
    m_State.m_Order.resize(count);
    for (int visual = 0; visual < count; ++visual)
        m_State.m_Order[visual] = m_Header->logicalIndex(visual);
}

bool CColumnExListCtrl::ApplyColumnState(const CColumnExState& state) {
    const auto count = static_cast<std::size_t>(columnCount());
    if (state.m_Columns.size() != count)
        return false;
    // A layout from a workspace or another list must arrange exactly these
    // columns, or the header would be left in a mixed order.
    if (!state.m_Order.empty()) {
        if (state.m_Order.size() != count)
            return false;
        std::vector<int> sorted = state.m_Order;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < count; ++i)
            if (sorted[i] != static_cast<int>(i))
                return false;
    }
    if (&state != &m_State)
        m_State.Assign(state);
    for (std::size_t column = 0; column < count; ++column) {
        const CColumnExStateEntry& entry = m_State.m_Columns[column];
        m_Header->resizeSection(static_cast<int>(column), entry.m_Visible ? std::max(0, entry.m_Width) : 0);
        m_Header->SetHeadingSelected(static_cast<int>(column), entry.m_Selected);
    }
    for (std::size_t visual = 0; visual < m_State.m_Order.size(); ++visual) {
        const int from = m_Header->visualIndex(m_State.m_Order[visual]);
        if (from != static_cast<int>(visual))
            m_Header->moveSection(from, static_cast<int>(visual));
    }
    viewport()->update();
    m_Header->viewport()->update();
    return true;
}

int CColumnExListCtrl::GetSelectedColumnCount() const {
    int selected = 0;
    for (int column = 0; column < columnCount(); ++column)
        if (m_Header->IsHeadingSelected(column))
            ++selected;
    return selected;
}

int CColumnExListCtrl::GetFirstSelectedColumnPosition() const {
    for (int column = 0; column < columnCount(); ++column)
        if (m_Header->IsHeadingSelected(column))
            return column + 1;
    return 0;
}

int CColumnExListCtrl::GetNextSelectedColumn(int& position) const {
    if (position <= 0)
        return -1;
    const int column = position - 1;
    position = 0;
    for (int next = column + 1; next < columnCount(); ++next) {
        if (m_Header->IsHeadingSelected(next)) {
            position = next + 1;
            break;
        }
    }
    return column;
}

std::string CColumnExListCtrl::GetColumnHeading(int column) const {
    const QTableWidgetItem* heading = horizontalHeaderItem(column);
    if (heading == nullptr)
        return {};
    return heading->text().left(kMaxHeadingLength).toStdString();
}

int CColumnExListCtrl::RememberedWidth(int column) const {
    if (m_Header->isHidden())
        return kHeaderlessWidth;
    if (column >= 0 && static_cast<std::size_t>(column) < m_State.m_Columns.size())
        return m_State.m_Columns[column].m_Width;
    return kRebuiltHiddenWidth;
}

void CColumnExListCtrl::SendColumnsChanged(std::intptr_t command) {
    SendMessage(GetOwner(), CXLM_ColumnsChanged, static_cast<std::uintptr_t>(command), GetControlId(this));
}

void CColumnExListCtrl::OnToggleColumn(unsigned id) {
    if (id < ID_COLUMNEX_TOGGLE_FIRST || id > ID_COLUMNEX_TOGGLE_LAST)
        return;
    const int column = static_cast<int>(id - ID_COLUMNEX_TOGGLE_FIRST);
    if (column >= columnCount())
        return;
    CaptureColumnState();
    if (GetColumnWidth(column) == 0) {
        SetColumnWidth(column, RememberedWidth(column));
    } else {
        SetColumnWidth(column, 0);
        m_Header->SetHeadingSelected(column, false);
    }
    viewport()->update();
    SendColumnsChanged(static_cast<std::intptr_t>(id));
}

void CColumnExListCtrl::OnShowAll() {
    CaptureColumnState();
    setUpdatesEnabled(false);
    for (int column = 0; column < columnCount(); ++column)
        if (GetColumnWidth(column) == 0)
            SetColumnWidth(column, RememberedWidth(column));
    setUpdatesEnabled(true);
    SendColumnsChanged(-1);
}

void CColumnExListCtrl::OnHideAll() {
    CaptureColumnState();
    for (int column = 0; column < columnCount(); ++column) {
        SetColumnWidth(column, 0);
        m_Header->SetHeadingSelected(column, false);
    }
    viewport()->update();
    SendColumnsChanged(-1);
}

void CColumnExListCtrl::OnCopyColumn() {
    if (m_MenuColumn >= 0 && m_MenuColumn < columnCount())
        SendMessage(GetOwner(), CXLM_CopyColumn, static_cast<std::uintptr_t>(m_MenuColumn), 0);
}

bool CColumnExListCtrl::CanShowAll() const {
    for (int column = 0; column < columnCount(); ++column)
        if (GetColumnWidth(column) == 0)
            return true;
    return false;
}

bool CColumnExListCtrl::CanHideAll() const {
    for (int column = 0; column < columnCount(); ++column)
        if (GetColumnWidth(column) != 0)
            return true;
    return false;
}

void CColumnExListCtrl::OnHeadingClicked(int) {
    CaptureColumnState();
    viewport()->update();
}

// ---- menus ----

std::unique_ptr<QMenu> CColumnExListCtrl::CreateHeaderMenu(const QPoint& headerPoint) {
    if (!m_HeaderMenu)
        return nullptr;
    m_MenuColumn = m_Header->logicalIndexAt(headerPoint);
    auto menu = std::make_unique<QMenu>(this);
    const auto addCommand = [&](const std::string& text, unsigned id, bool enabled) {
        QAction* action = menu->addAction(QString::fromStdString(text));
        action->setData(id);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, this, [this, id] {
            if (id == ID_COLUMNEX_SHOW_ALL)
                OnShowAll();
            else if (id == ID_COLUMNEX_HIDE_ALL)
                OnHideAll();
            else if (id == ID_COLUMNEX_COPY_COLUMN)
                OnCopyColumn();
            else
                OnToggleColumn(id);
        });
        return action;
    };
    const bool anyShown = CanHideAll();
    addCommand(m_CopyColumnText, ID_COLUMNEX_COPY_COLUMN, rowCount() > 0);
    if (anyShown)
        menu->addSeparator();
    if (columnCount() > 3) {
        addCommand(m_ShowAllText, ID_COLUMNEX_SHOW_ALL, CanShowAll());
        addCommand(m_HideAllText, ID_COLUMNEX_HIDE_ALL, anyShown);
        menu->addSeparator();
    }
    const int toggles = std::min(columnCount(), static_cast<int>(ID_COLUMNEX_TOGGLE_LAST - ID_COLUMNEX_TOGGLE_FIRST + 1));
    for (int visual = 0; visual < columnCount(); ++visual) {
        const int column = m_Header->logicalIndex(visual);
        if (column >= toggles)
            continue;
        QAction* action = addCommand(GetColumnHeading(column), ID_COLUMNEX_TOGGLE_FIRST + column, true);
        action->setCheckable(true);
        action->setChecked(GetColumnWidth(column) != 0);
    }
    return menu;
}

std::unique_ptr<QMenu> CColumnExListCtrl::CreateCellMenu(const QPoint& viewportPoint) {
    if (m_ContextMenuId == 0)
        return nullptr;
    m_URL.clear();
    m_CellText.clear();
    const QModelIndex index = indexAt(viewportPoint);
    if (index.isValid()) {
        m_CellText = GetItemText(index.row(), index.column());
        if (m_DetectURLs && IsLinkText(m_CellText))
            m_URL = m_CellText;
    }
    std::unique_ptr<QMenu> menu = m_ContextMenuSource ? m_ContextMenuSource(m_ContextMenuId) : nullptr;
    if (menu == nullptr)
        menu = std::make_unique<QMenu>(this);
    if (!m_URL.empty()) {
        if (!menu->actions().isEmpty())
            menu->addSeparator();
        QAction* open = menu->addAction(QString::fromStdString(m_OpenURLText));
        const unsigned command = m_OpenURLCommand;
        QObject::connect(open, &QAction::triggered, this,
                         [this, command] { SendMessage(GetOwner(), WM_COMMAND, command, 0); });
    }
    if (menu->actions().isEmpty())
        return nullptr;
    return menu;
}

void CColumnExListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // The owner first brings its selection up to date.
    SendNotify(GetOwner(), this, NM_CLICK);
    const QPoint point = event->reason() == QContextMenuEvent::Keyboard ? QPoint(5, 5) : event->pos();
    std::unique_ptr<QMenu> menu = CreateCellMenu(point);
    if (menu == nullptr)
        return;
    m_MenuShowing = true;
    menu->exec(viewport()->mapToGlobal(point));
    m_MenuShowing = false;
}

ColumnExCellStyle CColumnExListCtrl::GetCellStyle(int row, int column) {
    ColumnExCellStyle style;
    style.m_Row = row;
    style.m_Column = column;
    if (m_Header->IsHeadingSelected(column)) {
        style.m_Background = m_SelectedColumnBackground;
        style.m_Text = 0x000000;
        style.m_Font = LogFontFromQFont(font());
        return style;
    }
    style.m_Font = LogFontFromQFont(font());
    SendMessage(GetOwner(), CXLM_GetCellStyle, 0, reinterpret_cast<std::intptr_t>(&style));
    return style;
}
