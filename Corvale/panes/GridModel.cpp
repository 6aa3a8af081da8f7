#include "panes/GridModel.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <algorithm>
#include <cctype>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The key icon beside a key column's heading, drawn once.
const QIcon& KeyIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap(7, 11);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setPen(QColor(160, 120, 0));
        p.setBrush(QColor(240, 200, 40));
        p.drawEllipse(0, 0, 6, 5);
        p.drawLine(3, 5, 3, 10);
        p.drawLine(3, 8, 5, 8);
        p.drawLine(3, 10, 5, 10);
        return QIcon(pixmap);
    }();
    return icon;
}

} // namespace

bool IsHyperlinkText(const std::string& text) {
    static const char* const kPrefixes[] = {"file://", "http://", "mailto:", "https://", "ftp://", "www."};
    for (const char* prefix : kPrefixes) {
        const std::size_t n = std::char_traits<char>::length(prefix);
        if (text.size() >= n &&
            std::equal(prefix, prefix + n, text.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
    }
    return false;
}

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CGridModel::SetHeadings(const std::vector<std::string>& headings) { SetTable(headings, m_Rows); }

void CGridModel::SetKeyColumns(const std::vector<bool>& keys) {
    m_KeyColumns = keys;
    if (!m_Headings.empty())
        emit headerDataChanged(Qt::Horizontal, 0, GetColumnCount() - 1);
}

void CGridModel::SetHeadingToolTips(const std::vector<std::string>& tips) { m_HeadingToolTips = tips; }

void CGridModel::SetRowCount(int rows) {
    beginResetModel();
    m_Rows = std::max(0, rows);
    m_FlashRow = -1;
    endResetModel();
}

void CGridModel::SetTable(const std::vector<std::string>& headings, int rows) {
    beginResetModel();
    m_Headings = headings;
    m_HeadingSelected.assign(headings.size(), false);
    m_KeyColumns.assign(headings.size(), false);
    m_HeadingToolTips.clear();
    m_Rows = std::max(0, rows);
    m_FlashRow = -1;
    endResetModel();
}

void CGridModel::RefreshCells() {
    if (m_Rows > 0 && !m_Headings.empty())
        emit dataChanged(index(0, 0), index(m_Rows - 1, GetColumnCount() - 1));
}

std::string CGridModel::GetHeading(int column) const {
    return column >= 0 && column < GetColumnCount() ? m_Headings[column] : std::string();
}

std::string CGridModel::GetCellText(int row, int column) const {
    if (row < 0 || row >= m_Rows || column < 0 || column >= GetColumnCount() || !m_CellText)
        return {};
    return m_CellText(row, column);
}

bool CGridModel::IsHeadingSelected(int column) const {
    return column >= 0 && column < GetColumnCount() && m_HeadingSelected[column];
}

void CGridModel::SetHeadingSelected(int column, bool selected) {
    if (column < 0 || column >= GetColumnCount() || m_HeadingSelected[column] == selected)
        return;
    m_HeadingSelected[column] = selected;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CGridModel::ClearHeadingSelection() {
    for (int column = 0; column < GetColumnCount(); ++column)
        SetHeadingSelected(column, false);
}

std::vector<int> CGridModel::GetSelectedHeadings() const {
    std::vector<int> columns;
    for (int column = 0; column < GetColumnCount(); ++column)
        if (m_HeadingSelected[column])
            columns.push_back(column);
    return columns;
}

void CGridModel::SetFlashRow(int row) {
    const int old = m_FlashRow;
    m_FlashRow = row;
    for (int r : {old, row})
        if (r >= 0 && r < m_Rows && GetColumnCount() > 0)
            emit dataChanged(index(r, 0), index(r, GetColumnCount() - 1), {Qt::BackgroundRole});
}

int CGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_Rows; }

int CGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : GetColumnCount(); }

QVariant CGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Q(GetCellText(index.row(), index.column()));
    case Qt::BackgroundRole:
        if (index.row() == m_FlashRow)
            return QColor(255, 100, 100);
        if (m_HeadingRow && m_HeadingRow(index.row()))
            return QColor(255, 128, 0);
        return {};
    case Qt::ForegroundRole:
        if (m_ShowLinks && IsHyperlinkText(GetCellText(index.row(), index.column())))
            return QColor(0, 0, 200);
        return {};
    case Qt::FontRole:
        if (m_ShowLinks && IsHyperlinkText(GetCellText(index.row(), index.column()))) {
            QFont font = QApplication::font();
            font.setUnderline(true);
            return font;
        }
        if (m_HeadingRow && m_HeadingRow(index.row())) {
            QFont font = QApplication::font();
            font.setWeight(QFont::Bold);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return {};
    }
    if (section < 0 || section >= GetColumnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Q(m_Headings[section]);
    case Qt::DecorationRole:
        if (m_KeyColumns[section])
            return KeyIcon();
        return {};
    case Qt::BackgroundRole:
        // Selected headings stand out in orange.
        if (m_HeadingSelected[section])
            return QColor(255, 128, 0);
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (static_cast<std::size_t>(section) < m_HeadingToolTips.size() && !m_HeadingToolTips[section].empty())
            return Q(m_HeadingToolTips[section]);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_ReadOnly && m_Edit && (!m_CanEdit || m_CanEdit(index.row(), index.column())))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || m_ReadOnly || !m_Edit)
        return false;
    if (!m_Edit(index.row(), index.column(), value.toString().toStdString()))
        return false;
    emit dataChanged(index, index);
    return true;
}
