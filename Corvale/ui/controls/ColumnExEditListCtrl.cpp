#include "ui/controls/ColumnExEditListCtrl.h"

#include "ui/controls/ColumnExEdit.h"
#include "ui/controls/ControlNotify.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

CColumnExEditListCtrl::CColumnExEditListCtrl(QWidget* parent, int controlId)
    : CColumnExListCtrl(parent, controlId), m_ScrollTip(this) {
    // Scrolling ends an edit: the editor would no longer sit on its cell.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { DestroyEditWindow(); });
    // The view follows the value before this runs (it connected first), so
    // the top row is the one now shown; sliderMoved would come too early.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        DestroyEditWindow();
        if (!verticalScrollBar()->isSliderDown())
            return;
        const int top = rowAt(0);
        m_ScrollTip.SetText("Top line: " + std::to_string(top < 0 ? 1 : top + 1));
        m_ScrollTip.Show();
    });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] { m_ScrollTip.Hide(); });
}

CColumnExEditListCtrl::~CColumnExEditListCtrl() {
    // The editor must not post into a list that is going.
    if (m_Editor != nullptr)
        m_Editor->m_CommitOnFocusLoss = false;
}

CColumnExEdit* CColumnExEditListCtrl::GetEditor() const { return m_Editor.data(); }

bool CColumnExEditListCtrl::BeginEdit(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    ListEditNotify notify;
    notify.m_Row = row;
    notify.m_Column = column;
    notify.m_Cancel = m_ReadOnly;
    SendMessage(GetOwner(), LEM_BeginEdit, static_cast<std::uintptr_t>(GetControlId(this)),
                reinterpret_cast<std::intptr_t>(&notify));
    if (notify.m_Cancel || m_ReadOnly)
        return false;
    EditCell(row, column);
    return true;
}

void CColumnExEditListCtrl::EditCell(int row, int column) {
    DestroyEditWindow();
    const QModelIndex index = model()->index(row, column);
    // Bring the whole cell into view horizontally (its left edge when it is
    // wider than the view), then the row.
    QScrollBar* horizontal = horizontalScrollBar();
    const int left = GetHeaderCtrl()->sectionPosition(column);
    const int width = GetColumnWidth(column);
    const int viewWidth = viewport()->width();
    int offset = horizontal->value();
    if (left < offset || width > viewWidth)
        offset = left;
    else if (left + width > offset + viewWidth)
        offset = left + width - viewWidth;
    horizontal->setValue(offset);
    scrollTo(model()->index(row, column));
    horizontal->setValue(offset);

    QRect cell = visualRect(index);
    if (column == 0 && !item(row, 0)->icon().isNull())
        cell.setLeft(cell.left() + iconSize().width() + 2);
    cell.setRight(std::min(cell.right(), viewport()->width() - 1));
    if (cell.width() <= 0 || cell.height() <= 0)
        return;

    auto* host = new QWidget(viewport());
    host->setObjectName(QStringLiteral("EditHost"));
    host->setGeometry(cell);
    auto* editor = new CColumnExEdit(this, row, column, host);
    editor->setGeometry(host->rect());
    editor->setFont(font());
    editor->setText(QString::fromStdString(GetItemText(row, column)));
    editor->selectAll();
    m_EditHost = host;
    m_Editor = editor;
    host->show();
    editor->setFocus(Qt::OtherFocusReason);
}

void CColumnExEditListCtrl::DestroyEditWindow() {
    if (m_EditHost == nullptr)
        return;
    QWidget* host = m_EditHost;
    CColumnExEdit* editor = m_Editor;
    m_EditHost = nullptr;
    m_Editor = nullptr;
    const bool editorHadFocus = editor != nullptr && editor->hasFocus();
    if (editor != nullptr)
        editor->Commit();
    host->hide();
    // The editor may be inside its own key handler: it goes once that returns.
    host->deleteLater();
    if (editorHadFocus)
        setFocus(Qt::OtherFocusReason);
}

void CColumnExEditListCtrl::ClearSelection() {
    clearSelection();
    if (selectionModel() != nullptr)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void CColumnExEditListCtrl::PostEndEdit(int row, int column, const std::string& text) {
    m_EndEdit.m_Row = row;
    m_EndEdit.m_Column = column;
    m_EndEdit.m_Text = text;
    m_EndEdit.m_Cancel = false;
    PostMessage(this, LEM_EndEdit, 0, 0);
}

std::vector<int> CColumnExEditListCtrl::VisibleColumnsInOrder() const {
    std::vector<int> columns;
    for (int visual = 0; visual < columnCount(); ++visual) {
        const int column = GetHeaderCtrl()->logicalIndex(visual);
        if (GetColumnWidth(column) > 0)
            columns.push_back(column);
    }
    return columns;
}

void CColumnExEditListCtrl::MoveTo(int row, int column) {
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    if (row != current || GetSelectedRows() != std::vector<int>{row}) {
        clearSelection();
        selectionModel()->setCurrentIndex(model()->index(row, column),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(model()->index(row, column));
        SendNotify(GetOwner(), this, NM_CLICK);
    }
    BeginEdit(row, column);
}

void CColumnExEditListCtrl::OnEditNextColumn(int row, int column, int step) {
    const std::vector<int> columns = VisibleColumnsInOrder();
    if (columns.empty() || row < 0 || row >= rowCount())
        return;
    const int visual = GetHeaderCtrl()->visualIndex(column);
    // The next shown column after this one in display order, or the first
    // (last) one of the next (previous) row.
    if (step > 0) {
        for (int next : columns)
            if (GetHeaderCtrl()->visualIndex(next) > visual)
                return MoveTo(row, next);
        if (row + 1 < rowCount())
            MoveTo(row + 1, columns.front());
    } else {
        for (auto it = columns.rbegin(); it != columns.rend(); ++it)
            if (GetHeaderCtrl()->visualIndex(*it) < visual)
                return MoveTo(row, *it);
        if (row > 0)
            MoveTo(row - 1, columns.back());
    }
}

std::intptr_t CColumnExEditListCtrl::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    // The moves carry the cell the edit left in wParam and lParam.
    const int row = message == LEM_EndEdit ? m_EndEdit.m_Row : static_cast<int>(wParam);
    const int column = message == LEM_EndEdit ? m_EndEdit.m_Column : static_cast<int>(lParam);
    switch (message) {
    case LEM_EndEdit: {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return 0;
        if (m_EndEdit.m_Text != GetItemText(row, column)) {
            ListEditNotify changed = m_EndEdit;
            SendMessage(GetOwner(), LEM_CellChanged, static_cast<std::uintptr_t>(GetControlId(this)),
                        reinterpret_cast<std::intptr_t>(&changed));
            viewport()->update(visualRect(model()->index(row, column)));
        }
        return 0;
    }
    case LEM_EditNextColumn:
        OnEditNextColumn(row, column, 1);
        return 0;
    case LEM_EditPrevColumn:
        OnEditNextColumn(row, column, -1);
        return 0;
    case LEM_EditNextRow:
        if (rowCount() > 0 && column >= 0)
            MoveTo(row + 1 < rowCount() ? row + 1 : 0, column);
        return 0;
    case LEM_EditPrevRow:
        if (rowCount() > 0 && column >= 0)
            MoveTo(row > 0 ? row - 1 : 0, column);
        return 0;
    default:
        return CColumnExListCtrl::OnMessage(message, wParam, lParam);
    }
}

void CColumnExEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_ReadOnly) {
        event->accept();
        return;
    }
    const std::vector<int> selected = GetSelectedRows();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (selected.size() == 1 && index.isValid() && index.row() == selected.front()) {
        BeginEdit(index.row(), index.column());
        event->accept();
        return;
    }
    CColumnExListCtrl::mouseDoubleClickEvent(event);
}

void CColumnExEditListCtrl::mousePressEvent(QMouseEvent* event) {
    DestroyEditWindow();
    CColumnExListCtrl::mousePressEvent(event);
}

void CColumnExEditListCtrl::resizeEvent(QResizeEvent* event) {
    DestroyEditWindow();
    CColumnExListCtrl::resizeEvent(event);
}

void CColumnExEditListCtrl::OnHeaderTrackStarted() { DestroyEditWindow(); }
