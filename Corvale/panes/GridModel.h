#pragma once
// The table behind a grid pane's grid: a virtual list. It holds no cell texts;
// the pane answers every request for one (CellText), so a theme of a million
// rows costs nothing until rows are shown. It does hold the headings, their
// selection marks (a heading is selected by clicking it, Ctrl+click adds),
// the row count and the row that is flashing after Go To.

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

class CGridModel : public QAbstractTableModel {
public:
    using CellTextFunction = std::function<std::string(int row, int column)>;
    // Answers whether the edit was taken; a refused edit keeps the cell's text.
    using EditFunction = std::function<bool(int row, int column, const std::string& text)>;

    // Whether a cell may be edited at all (before its editor opens).
    using CanEditFunction = std::function<bool(int row, int column)>;
    // Rows drawn as headings: orange and bold.
    using HeadingRowFunction = std::function<bool(int row)>;

    explicit CGridModel(QObject* parent = nullptr);

    void SetCellText(CellTextFunction function) { m_CellText = std::move(function); }
    void SetEditFunction(EditFunction function) { m_Edit = std::move(function); }
    void SetCanEditFunction(CanEditFunction function) { m_CanEdit = std::move(function); }
    void SetHeadingRowFunction(HeadingRowFunction function) { m_HeadingRow = std::move(function); }

    // The columns are replaced; their heading marks are cleared.
    void SetHeadings(const std::vector<std::string>& headings);
    void SetKeyColumns(const std::vector<bool>& keys);
    // The tooltip of each heading; an empty text gives none.
    void SetHeadingToolTips(const std::vector<std::string>& tips);
    void SetRowCount(int rows);
    // Columns and rows at once (one reset of the view).
    void SetTable(const std::vector<std::string>& headings, int rows);
    // Cells changed in place: the view asks for them again.
    void RefreshCells();

    int GetRowCount() const { return m_Rows; }
    int GetColumnCount() const { return static_cast<int>(m_Headings.size()); }
    std::string GetHeading(int column) const;
    // The text the pane gives for a cell; empty outside the table.
    std::string GetCellText(int row, int column) const;

    void SetReadOnly(bool readOnly) { m_ReadOnly = readOnly; }
    bool IsReadOnly() const { return m_ReadOnly; }

    // Heading selection marks.
    bool IsHeadingSelected(int column) const;
    void SetHeadingSelected(int column, bool selected);
    void ClearHeadingSelection();
    // The selected columns in index order.
    std::vector<int> GetSelectedHeadings() const;

    // A cell whose text is a link is drawn blue and underlined.
    void SetShowLinks(bool show) { m_ShowLinks = show; }
    // The row painted with the flash colour; -1 for none.
    void SetFlashRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    CellTextFunction m_CellText;
    EditFunction m_Edit;
    CanEditFunction m_CanEdit;
    HeadingRowFunction m_HeadingRow;
    std::vector<std::string> m_Headings;
    std::vector<bool> m_HeadingSelected;
    std::vector<bool> m_KeyColumns;
    std::vector<std::string> m_HeadingToolTips;
    int m_Rows = 0;
    bool m_ReadOnly = true;
    bool m_ShowLinks = false;
    int m_FlashRow = -1;
};

// Whether a cell's text is a link: it starts with "file://", "http://",
// "mailto:", "https://", "ftp://" or "www." (any letter case).
bool IsHyperlinkText(const std::string& text);
