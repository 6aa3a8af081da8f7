#pragma once
// The coarse spatial hash of large polyline and polygon themes.
//
// A fixed grid of 50 x 50 cells is laid over the area the theme covered when
// the hash was built; each cell lists the records whose boxes reach into it,
// so a record is listed in every cell its box covers. Drawing, the selection
// tools and the plug-in rectangle queries take the records of the cells under
// a search box as candidates and test each one exactly.
//
// A record whose box does not fit the grid (it was moved or added after the
// hash was built and the theme grew) cannot be listed in cells. It is kept in
// the outside list instead, and ForEachCandidate offers it to every query, so
// no record ever drops out of a search because the grid is too small.
// Callers that walk cells themselves (GetCell, GetCellEntry) must also visit
// the outside list (GetOutsideCount, GetOutsideEntry).

#include "geometry/DoubleRect.h"
#include "shapes/ShapeRecord.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <vector>

namespace stdext {

template <class T, class C, int Grow> class area_hash_table {
public:
    static constexpr int kColumns = 50;
    static constexpr int kRows = 50;

    // One grid cell: its values in insertion order. The capacity grows in
    // steps of Grow entries; a cell is an unsorted array searched linearly
    // for duplicates.
    struct cell {
        std::vector<T> values;
        int count() const { return static_cast<int>(values.size()); }
        int capacity() const { return static_cast<int>(values.capacity()); }
    };

    area_hash_table(C xmin, C ymin, C xmax, C ymax)
        : m_Xmin(xmin), m_Ymin(ymin), m_Xmax(xmax), m_Ymax(ymax),
          m_Cells(static_cast<std::size_t>(kColumns) * kRows) {}
    virtual ~area_hash_table() = default;

    area_hash_table(const area_hash_table&) = delete;
    area_hash_table& operator=(const area_hash_table&) = delete;

    // Column of an x: ok inside the grid; -1 below it and 50 above it (not
    // ok). x equal to xmax is the last column. Because the cell number is
    // truncated toward zero, an x less than one cell width below xmin is
    // column 0. NaN, and any x on a grid of zero width other than xmax, is
    // outside; no value that is not a small finite number is ever cast to an
    // integer.
    bool GetColumn(C x, int& column) const {
        return CellIndex(x, m_Xmin, m_Xmax, kColumns, column);
    }
    bool GetRow(C y, int& row) const { return CellIndex(y, m_Ymin, m_Ymax, kRows, row); }
    // Both; ok when both are inside.
    bool GetCell(C x, C y, int& column, int& row) const {
        const bool columnOk = GetColumn(x, column);
        const bool rowOk = GetRow(y, row);
        return columnOk && rowOk;
    }

    // Lists the value in every cell its box covers and answers true. When a
    // corner of the box lies outside the grid the value goes to the outside
    // list instead and the answer is false. With tagging on, the value also
    // takes the current tag.
    bool Insert(C xmin, C ymin, C xmax, C ymax, T value) {
        if (m_Tagging)
            m_Tags[value] = m_CurrentTag;
        int c1 = 0;
        int c2 = 0;
        int r1 = 0;
        int r2 = 0;
        const bool ok1 = GetColumn(xmin, c1);
        const bool ok2 = GetColumn(xmax, c2);
        const bool ok3 = GetRow(ymin, r1);
        const bool ok4 = GetRow(ymax, r2);
        if (!(ok1 && ok2 && ok3 && ok4)) {
            if (std::find(m_Outside.begin(), m_Outside.end(), value) == m_Outside.end())
                m_Outside.push_back(value);
            return false;
        }
        if (c2 < c1)
            std::swap(c1, c2);
        if (r2 < r1)
            std::swap(r1, r2);
        for (int c = c1; c <= c2; ++c)
            for (int r = r1; r <= r2; ++r)
                AddToCell(CellAt(c, r), value);
        return true;
    }

    // Appends the value unless the cell already lists it.
    void AddToCell(cell& target, T value) {
        if (std::find(target.values.begin(), target.values.end(), value) != target.values.end())
            return;
        // The capacity grows in fixed steps so that big themes do not double
        // the memory of their fullest cells.
        if (target.values.size() + 1 >= target.values.capacity())
            target.values.reserve(target.values.capacity() + Grow);
        target.values.push_back(value);
    }

    // Takes the value out of every cell (and out of the outside list); the
    // number of cells it was listed in.
    int Remove(T value) {
        int removed = 0;
        for (cell& c : m_Cells) {
            auto it = std::find(c.values.begin(), c.values.end(), value);
            if (it != c.values.end()) {
                c.values.erase(it);
                ++removed;
            }
        }
        m_Outside.erase(std::remove(m_Outside.begin(), m_Outside.end(), value), m_Outside.end());
        m_Tags.erase(value);
        return removed;
    }

    // The cell at a column and row, both inside the grid.
    const cell& GetCellAt(int column, int row) const {
        return m_Cells[static_cast<std::size_t>(column) * kRows + static_cast<std::size_t>(row)];
    }

    // Query stamps. A caller that walks several cells and wants each value
    // once turns tagging on and advances the tag before each query;
    // GetCellEntry then hands out each value once per tag.
    void SetTagging(bool on) { m_Tagging = on; }
    bool IsTagging() const { return m_Tagging; }
    void AdvanceTag() { ++m_CurrentTag; }
    int GetCurrentTag() const { return m_CurrentTag; }

    // Entry n of a cell; a default value (null) for a cell outside the grid or
    // n at or beyond its count, and, with tagging on, for a value already
    // handed out under the current tag.
    T GetCellEntry(int column, int row, int n) {
        if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
            return T();
        const cell& c = GetCellAt(column, row);
        if (n < 0 || n >= c.count())
            return T();
        const T value = c.values[static_cast<std::size_t>(n)];
        if (m_Tagging) {
            auto it = m_Tags.find(value);
            if (it != m_Tags.end() && it->second == m_CurrentTag)
                return T();
            m_Tags[value] = m_CurrentTag;
        }
        return value;
    }

    int GetOutsideCount() const { return static_cast<int>(m_Outside.size()); }
    T GetOutsideEntry(int n) const {
        return n >= 0 && n < GetOutsideCount() ? m_Outside[static_cast<std::size_t>(n)] : T();
    }

    C GetXmin() const { return m_Xmin; }
    C GetYmin() const { return m_Ymin; }
    C GetXmax() const { return m_Xmax; }
    C GetYmax() const { return m_Ymax; }

protected:
    cell& CellAt(int column, int row) {
        return m_Cells[static_cast<std::size_t>(column) * kRows + static_cast<std::size_t>(row)];
    }

    static bool CellIndex(C v, C lo, C hi, int cellCount, int& index) {
        if (v == hi) {
            index = cellCount - 1;
            return true;
        }
        const double offset = static_cast<double>(v - lo);
        const double span = static_cast<double>(hi - lo);
        if (std::isnan(offset) || std::isnan(span)) {
            index = -1;
            return false;
        }
        // A grid of no width holds nothing but its edge, answered above.
        if (span == 0.0) {
            index = offset < 0.0 ? -1 : cellCount;
            return false;
        }
        const double scaled = offset / span * cellCount;
        if (std::isnan(scaled) || scaled <= -1.0) {
            index = -1;
            return false;
        }
        if (scaled >= cellCount) {
            index = cellCount;
            return false;
        }
        index = static_cast<int>(scaled);
        return true;
    }

    C m_Xmin;
    C m_Ymin;
    C m_Xmax;
    C m_Ymax;
    std::vector<cell> m_Cells;
    std::vector<T> m_Outside;
    std::unordered_map<T, int> m_Tags;
    bool m_Tagging = false;
    int m_CurrentTag = -1;
};

} // namespace stdext

class CShapeAreaHashTable : public stdext::area_hash_table<CShapeRecord*, double, 64> {
public:
    CShapeAreaHashTable(double xmin, double ymin, double xmax, double ymax);
    ~CShapeAreaHashTable() override;

    // Insert with the record's box (a point record's box is its point).
    bool InsertRecord(CShapeRecord* record);

    // Calls visit(record) once for every record listed in a cell that the box
    // covers and once for every record of the outside list; visit returns
    // false to stop the walk. Columns are the outer loop. A record listed in
    // several of the cells is offered only in the first of them, found from
    // its own box, so no per-query bookkeeping is needed; this relies on
    // records being re-inserted (Remove, InsertRecord) whenever their box
    // changes, as every edit does.
    template <class Visit> void ForEachCandidate(const CDoubleRect& box, Visit&& visit) const {
        int c1 = 0;
        int c2 = -1;
        int r1 = 0;
        int r2 = -1;
        CoveredRange(std::min(box.x1, box.x2), std::max(box.x1, box.x2), true, c1, c2);
        CoveredRange(std::min(box.y1, box.y2), std::max(box.y1, box.y2), false, r1, r2);
        for (int c = c1; c <= c2; ++c) {
            for (int r = r1; r <= r2; ++r) {
                for (CShapeRecord* record : GetCellAt(c, r).values) {
                    if (!IsFirstCoveredCell(record, c, r, c1, r1))
                        continue;
                    if (!visit(record))
                        return;
                }
            }
        }
        for (CShapeRecord* record : m_Outside)
            if (!visit(record))
                return;
    }

private:
    // The columns (or rows) from lo to hi held to the grid; empty (first >
    // last) when the range misses the grid.
    void CoveredRange(double lo, double hi, bool columns, int& first, int& last) const;
    // Whether (c, r) is the first cell, in the walk's order, that both the
    // record's box and the query (starting at c1, r1) cover.
    bool IsFirstCoveredCell(const CShapeRecord* record, int c, int r, int c1, int r1) const;
};
