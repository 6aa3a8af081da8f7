#include "panes/GridPane.h"

#include "framework/UserInterface.h"
#include "panes/GridPaneServices.h"
#include "workspace/ViewMessages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Pause between two draws of the flash.
constexpr int kFlashMilliseconds = 70;

// The grid, with a way to close its editor from outside.
class CGridView : public QTableView {
public:
    using QTableView::QTableView;
    void CloseEditor() {
        if (state() != EditingState)
            return;
        // The open editor is the viewport's visible child.
        for (QWidget* child : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible())
                closeEditor(child, QAbstractItemDelegate::RevertModelCache);
    }
};

} // namespace

void CGridPane::CloseCellEditor() { static_cast<CGridView*>(m_Grid)->CloseEditor(); }

CGridPane::CGridPane(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_Grid = new CGridView(this);
    m_Grid->setObjectName(QStringLiteral("Grid"));
    m_Model = new CGridModel(m_Grid);
    m_Grid->setModel(m_Model);
    m_Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Grid->setShowGrid(true);
    m_Grid->setWordWrap(false);
    m_Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    // Rows of one height and no row headings: the view then never measures
    // the rows, and a million of them scroll as fast as ten.
    m_Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_Grid->verticalHeader()->setDefaultSectionSize(m_Grid->fontMetrics().height() + 6);
    m_Grid->verticalHeader()->hide();
    QHeaderView* header = m_Grid->horizontalHeader();
    header->setSectionsMovable(true);
    header->setDefaultSectionSize(70);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    // A heading click marks the heading; it does not select the column's
    // cells (which would select every row).
    QObject::disconnect(header, SIGNAL(sectionPressed(int)), m_Grid, nullptr);
    QObject::disconnect(header, SIGNAL(sectionEntered(int)), m_Grid, nullptr);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { OnHeadingClicked(column, QGuiApplication::keyboardModifiers() & Qt::ControlModifier); });
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { ShowHeaderMenu(p); });
    m_Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_Grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { ShowContextMenu(p); });
    layout->addWidget(m_Grid);

    OnCommand(
        ID_GRID_COPY_CELL_VALUE, [this] { CopyCellValue(); },
        [this](CCmdUI& ui) { ui.Enable(!m_ContextCellText.empty()); });
    // A pane made with its docking pane as parent gets no ParentChange.
    WatchDock();
}

CGridPane::~CGridPane() = default;

std::intptr_t CGridPane::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_GET_CONTEXT_MENU_STATE) {
        if (lParam != 0)
            *reinterpret_cast<std::uint32_t*>(lParam) = m_ContextMenuOpen ? 1u : 0u;
        return 0;
    }
    return CMessageWindow::OnMessage(message, wParam, lParam);
}

bool CGridPane::event(QEvent* event) {
    if (DispatchPostedMessage(this, event))
        return true;
    if (event->type() == QEvent::ParentChange)
        WatchDock();
    return QWidget::event(event);
}

void CGridPane::WatchDock() {
    QDockWidget* dock = nullptr;
    for (QWidget* parent = parentWidget(); parent != nullptr && dock == nullptr; parent = parent->parentWidget())
        dock = qobject_cast<QDockWidget*>(parent);
    if (dock == m_Dock)
        return;
    QObject::disconnect(m_DockVisibility);
    m_Dock = dock;
    if (dock == nullptr) {
        m_DockShown = true;
        return;
    }
    // A dock not shown yet reports its tab when it is; one already shown and
    // tabbed behind another lies outside the window, where nothing of it
    // can be seen.
    m_DockShown = !dock->isVisible() || !dock->visibleRegion().isEmpty();
    m_DockVisibility =
        connect(dock, &QDockWidget::visibilityChanged, this, [this](bool visible) { m_DockShown = visible; });
}

bool CGridPane::IsWindowVisible() { return isVisible() && (m_Dock == nullptr || m_DockShown); }

void CGridPane::SetClipboardText(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(Q(text));
}

void CGridPane::CopyCellValue() {
    SetClipboardText(m_ContextCellText);
}

std::vector<int> CGridPane::GetSelectedRows() const {
    std::vector<int> rows;
    const QItemSelectionModel* selection = m_Grid->selectionModel();
    if (selection == nullptr)
        return rows;
    for (const QItemSelectionRange& range : selection->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CGridPane::IsRowSelected(int row) const {
    const QItemSelectionModel* selection = m_Grid->selectionModel();
    return selection != nullptr && selection->isRowSelected(row, QModelIndex());
}

void CGridPane::CopyColumn(int column) {
    const int columns = m_Model->GetColumnCount();
    if (columns == 0 || column < 0 || column >= columns)
        return;
    std::vector<int> rows = GetSelectedRows();
    bool onlySelected = false;
    if (!rows.empty()) {
        const int answer = corvale::UI().ShowMessage("Would you like to copy only selected rows?",
                                                     corvale::MessageIcon::Question,
                                                     corvale::MessageButtons::YesNoCancel);
        if (answer == corvale::IDCANCEL)
            return;
        onlySelected = answer == corvale::IDYES;
    }
    std::vector<int> chosen;
    if (m_Model->IsHeadingSelected(column))
        chosen = m_Model->GetSelectedHeadings();
    else
        chosen.push_back(column);
    if (!onlySelected) {
        rows.resize(static_cast<std::size_t>(m_Model->GetRowCount()));
        for (int row = 0; row < m_Model->GetRowCount(); ++row)
            rows[static_cast<std::size_t>(row)] = row;
    }
    std::string text;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (i > 0)
            text += '\t';
        text += m_Model->GetHeading(chosen[i]).substr(0, 256);
    }
    for (int row : rows) {
        text += "\r\n";
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            if (i > 0)
                text += '\t';
            text += m_Model->GetCellText(row, chosen[i]);
        }
    }
    SetClipboardText(text);
}

void CGridPane::CopySelectedRowsAsText() {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
        return;
    std::string text;
    for (int row : rows) {
        for (int column = 0; column < m_Model->GetColumnCount(); ++column) {
            if (column > 0)
                text += '\t';
            text += m_Model->GetCellText(row, column);
        }
        text += "\r\n";
    }
    SetClipboardText(text);
}

bool CGridPane::GoToRow(int mode, int& number) {
    const int count = m_Model->GetRowCount();
    if (count == 0) {
        GridPaneServices().Beep();
        return false;
    }
    int target = -1;
    switch (mode) {
    case GOTO_Record:
        if (number >= 1 && number <= count)
            target = number - 1;
        break;
    case GOTO_NextSelected:
        for (int row : GetSelectedRows())
            if (row > number - 1) {
                target = row;
                break;
            }
        break;
    case GOTO_PreviousSelected:
        for (int row : GetSelectedRows())
            if (row < number - 1)
                target = row;
        break;
    default:
        break;
    }
    if (target < 0) {
        GridPaneServices().Beep();
        return false;
    }
    number = target + 1;
    m_Grid->scrollTo(m_Model->index(target, 0), QAbstractItemView::EnsureVisible);
    m_Grid->viewport()->repaint();
    Flash(target, 4);
    return true;
}

// Marks the row four times, 70 ms apart; the even count leaves it unmarked.
void CGridPane::Flash(int row, int remaining) {
    if (remaining <= 0)
        return;
    m_Model->SetFlashRow(remaining % 2 == 0 ? row : -1);
    QPointer<CGridPane> self(this);
    QTimer::singleShot(kFlashMilliseconds, this, [self, row, remaining] {
        if (self)
            self->Flash(row, remaining - 1);
    });
}

void CGridPane::SelectRows(const std::vector<int>& rows, bool clearFirst) {
    QItemSelectionModel* selection = m_Grid->selectionModel();
    if (selection == nullptr)
        return;
    QItemSelection ranges;
    const int lastColumn = std::max(0, m_Model->GetColumnCount() - 1);
    std::size_t i = 0;
    // Runs of consecutive rows become one range each.
    while (i < rows.size()) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        if (rows[i] >= 0 && rows[j] < m_Model->GetRowCount())
            ranges.append(QItemSelectionRange(m_Model->index(rows[i], 0), m_Model->index(rows[j], lastColumn)));
        i = j + 1;
    }
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (clearFirst)
        flags |= QItemSelectionModel::Clear;
    if (ranges.isEmpty() && clearFirst)
        selection->clearSelection();
    else if (!ranges.isEmpty())
        selection->select(ranges, flags);
}

void CGridPane::OnHeadingClicked(int column, bool toggle) {
    if (toggle) {
        m_Model->SetHeadingSelected(column, !m_Model->IsHeadingSelected(column));
        return;
    }
    const std::vector<int> selected = m_Model->GetSelectedHeadings();
    const bool onlyThis = selected.size() == 1 && selected.front() == column;
    m_Model->ClearHeadingSelection();
    if (!onlyThis)
        m_Model->SetHeadingSelected(column, true);
}

std::vector<unsigned> CGridPane::ContextMenuCommands() const { return {ID_GRID_COPY_CELL_VALUE}; }

QString CGridPane::CommandText(unsigned id) const {
    switch (id) {
    case ID_GRID_COPY_CELL_VALUE: return QStringLiteral("Copy Cell &Value");
    case ID_GRID_COPY_AS_TEXT: return QStringLiteral("Copy As &Text");
    case ID_GRID_OPEN_URL: return QStringLiteral("Open URL");
    default: return QString::number(id);
    }
}

void CGridPane::RunCommand(unsigned id) { OnCmdMsg(id, nullptr); }

std::unique_ptr<QMenu> CGridPane::CreateContextMenu(const QPoint& viewportPoint) {
    const QModelIndex index = m_Grid->indexAt(viewportPoint);
    m_ContextCellText = index.isValid() ? m_Model->GetCellText(index.row(), index.column()) : std::string();
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("GridContextMenu"));
    for (unsigned id : ContextMenuCommands()) {
        if (id == 0) {
            menu->addSeparator();
            continue;
        }
        if (id == ID_GRID_OPEN_URL && !IsHyperlinkText(m_ContextCellText))
            continue;
        QAction* action = menu->addAction(CommandText(id));
        action->setData(id);
        CCmdUI ui(id);
        if (!OnCmdMsg(id, &ui))
            ui.Enable(false);
        action->setEnabled(ui.m_Enabled);
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    return menu;
}

void CGridPane::ShowContextMenu(const QPoint& point) {
    std::unique_ptr<QMenu> menu = CreateContextMenu(point);
    // The document asks whether this menu is open (a loader's selection may
    // change meanwhile); the flag stands until the menu has closed.
    m_ContextMenuOpen = true;
    menu->exec(m_Grid->viewport()->mapToGlobal(point));
    m_ContextMenuOpen = false;
}

std::unique_ptr<QMenu> CGridPane::CreateHeaderMenu(int column) {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("GridHeaderMenu"));
    QAction* copy = menu->addAction(QStringLiteral("Copy Column"));
    copy->setEnabled(column >= 0 && column < m_Model->GetColumnCount());
    connect(copy, &QAction::triggered, this, [this, column] { CopyColumn(column); });
    menu->addSeparator();
    QHeaderView* header = m_Grid->horizontalHeader();
    for (int c = 0; c < m_Model->GetColumnCount(); ++c) {
        QAction* show = menu->addAction(Q(m_Model->GetHeading(c)));
        show->setCheckable(true);
        show->setChecked(!header->isSectionHidden(c));
        connect(show, &QAction::toggled, this, [header, c](bool on) { header->setSectionHidden(c, !on); });
    }
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Show All")), &QAction::triggered, this, [this, header] {
        for (int c = 0; c < m_Model->GetColumnCount(); ++c)
            header->setSectionHidden(c, false);
    });
    connect(menu->addAction(QStringLiteral("Hide All")), &QAction::triggered, this, [this, header] {
        for (int c = 0; c < m_Model->GetColumnCount(); ++c)
            header->setSectionHidden(c, true);
    });
    return menu;
}

void CGridPane::ShowHeaderMenu(const QPoint& point) {
    QHeaderView* header = m_Grid->horizontalHeader();
    std::unique_ptr<QMenu> menu = CreateHeaderMenu(header->logicalIndexAt(point));
    m_ContextMenuOpen = true;
    menu->exec(header->mapToGlobal(point));
    m_ContextMenuOpen = false;
}
