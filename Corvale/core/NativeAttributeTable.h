#pragma once
// The in-memory attribute table of a native theme (drawn by hand, made by a
// command, converted for editing, or restored from a workspace): column
// descriptors with a default value and a description each, and one row of
// text cells per shape; row r belongs to the shape with shape index r.

#include "core/AttributeField.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CArchive;

// One row of text cells, indexed by column. A row may be shorter than the
// column count; a cell that does not exist reads as the empty text, and so
// does a cell that was never set.
class CNativeAttributeRow {
public:
    std::string GetValue(int field) const;
    // The same text as a view of the stored cell, valid until the row changes.
    std::string_view GetValueView(int field) const;
    // Sets the cell, first appending empty cells until it exists.
    bool SetValue(int field, const std::string& text);
    // Removes the cell of that index when the row has it; later cells move down.
    void RemoveValue(int field);
    std::size_t GetCellCount() const { return m_Cells.size(); }
    // Whether the cell exists and was set (an empty text counts as set).
    bool HasText(int field) const;
    // Appends one cell, set or never set, as a stored row lists them.
    void AppendCell(std::optional<std::string> text) { m_Cells.push_back(std::move(text)); }

private:
    std::vector<std::optional<std::string>> m_Cells;
};

class CNativeAttributeTable {
public:
    CNativeAttributeTable() = default;
    virtual ~CNativeAttributeTable();
    CNativeAttributeTable(const CNativeAttributeTable& other);
    CNativeAttributeTable& operator=(const CNativeAttributeTable& other);

    // The empty text for a missing row, cell or text.
    std::string GetValue(int field, int row) const;
    // The same text as a view of the stored cell, valid until the table changes.
    std::string_view GetValueView(int field, int row) const;
    // A new row carrying the default of every column that has one; its index.
    int AppendRow();
    // Room for count more rows, so that a long run of appends does not move
    // the row list again and again.
    void ReserveRows(std::size_t count) { m_Rows.reserve(m_Rows.size() + count); }
    // Moves row from before the row that was at to (to == row count: to the
    // end); false when from is not a row or to is beyond the end.
    bool MoveRow(int from, int to);
    // Puts the rows in a new order: row k becomes the row that stood at
    // order[k]. False, nothing changed, unless order lists every row once.
    bool ReorderRows(const std::vector<int>& order);
    // Removes a row; the rows after it move down. False for an index that is no row.
    bool DeleteRow(int row);
    void RemoveAllRows();
    // Removes the emptied row entries, keeping the order of the others.
    void CompactRows();
    // Marks a row entry empty without moving the others (compacted later).
    bool ClearRow(int row);

    // Appends a column; with a non-empty default every existing row gets it.
    int AddField(const CAttributeFieldInfo& info, const char* defaultValue, const char* description);
    bool SetField(const CAttributeFieldInfo& info, int field, const char* defaultValue, const char* description);
    bool SetFieldDescription(int field, const char* text);
    bool DeleteField(int field);
    // The column's length becomes its longest text + 1 (1 without rows).
    bool UpdateFieldLength(int field);
    // Every index must be a column: then the key is exactly these columns.
    bool SetPrimaryKey(const std::vector<int>& columns);
    // Appends the key columns in column order.
    void GetPrimaryKey(std::vector<int>& columns) const;

    // Stores (version 3) or loads; loading appends to the table and refuses a
    // version the program does not know with CArchiveException(BadSchema).
    void Serialize(CArchive& archive);

    int GetFieldCount() const { return static_cast<int>(m_Fields.size()); }
    int GetRowCount() const { return static_cast<int>(m_Rows.size()); }
    const CAttributeFieldInfo* GetField(int field) const;
    // Null for no default / no description.
    const std::optional<std::string>& GetDefault(int field) const;
    const std::optional<std::string>& GetDescription(int field) const;
    // Null for an emptied entry or an index that is no row.
    CNativeAttributeRow* GetRow(int row);
    const CNativeAttributeRow* GetRow(int row) const;

private:
    bool IsField(int field) const { return field >= 0 && field < GetFieldCount(); }
    bool IsRow(int row) const { return row >= 0 && row < GetRowCount(); }

    std::vector<CAttributeFieldInfo> m_Fields;
    std::vector<std::optional<std::string>> m_Defaults;
    std::vector<std::optional<std::string>> m_Descriptions;
    std::vector<std::unique_ptr<CNativeAttributeRow>> m_Rows;
};
