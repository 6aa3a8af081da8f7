#pragma once
// The coarse spatial hash of large polyline and polygon themes.
//
// A fixed grid of 50 x 50 cells is laid over the area the theme covered when
// the hash was built; each cell lists the records whose boxes reach into it,
// so a record is listed in every cell its box covers. Drawing, the selection
// tools and the plug-in rectangle queries take the records under a search box
// as candidates and test each one exactly.
//
// Window queries (ForEachCandidate) should not grow with the theme: each
// record's box is kept once, from its insert, and for big themes (Reserve)
// every cell is split again into sub-cells sized to the data, so a query
// looks only at records near it and offers only those whose box meets it,
// in the order a walk over the cells would.
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
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

namespace stdext {

template <class T, class C, int Grow> class area_hash_table {
public:
    static constexpr int kColumns = 50;
    static constexpr int kRows = 50;

    // One grid cell: its values in insertion order. The capacity grows in
    // whole steps of Grow entries, doubling, so that filling a cell costs
    // linear time. `boxIds` runs beside `values`: the slot of each value's
    // box (kNoSlot for values added through AddToCell alone).
    struct cell {
        std::vector<T> values;
        std::vector<std::uint32_t> boxIds;
        int count() const { return static_cast<int>(values.size()); }
        int capacity() const { return static_cast<int>(values.capacity()); }
    };

    static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

    area_hash_table(C xmin, C ymin, C xmax, C ymax)
        : m_Xmin(xmin), m_Ymin(ymin), m_Xmax(xmax), m_Ymax(ymax),
          m_Cells(static_cast<std::size_t>(kColumns) * kRows) {}
    virtual ~area_hash_table() = default;

    area_hash_table(const area_hash_table&) = delete;
    area_hash_table& operator=(const area_hash_table&) = delete;

    // Splits every cell into fine x fine sub-cells for the window queries,
    // sized for about count values; only on an empty table (otherwise, and
    // for small counts, nothing changes). The cells themselves, and all
    // that is observed through them, stay as they are.
    void Reserve(std::size_t count) {
        if (!m_Slots.empty() || count == 0)
            return;
        // About eight boxes per sub-cell: finer sub-cells list each box in
        // more of them and cost more than they save.
        const double perCell = static_cast<double>(count) / (8.0 * kColumns * kRows);
        const int fine = static_cast<int>(std::lround(std::sqrt(perCell)));
        m_Fine = std::clamp(fine, 1, 64);
        m_FineCells.clear();
        if (m_Fine > 1)
            m_FineCells.resize(static_cast<std::size_t>(kColumns * m_Fine) *
                               static_cast<std::size_t>(kRows * m_Fine));
        m_Slots.reserve(count);
        m_SlotOf.Reserve(count);
    }

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
    //
    // A value already listed under the same cells keeps its place (its box
    // is updated); one listed under other cells is taken out first, so a
    // value is never listed twice and its cells are always those of its
    // latest box.
    bool Insert(C xmin, C ymin, C xmax, C ymax, T value) {
        if (m_Tagging)
            m_Tags[value] = m_CurrentTag;
        Range range;
        const bool ok1 = FineIndex(xmin, m_Xmin, m_Xmax, kColumns, range.x1);
        const bool ok2 = FineIndex(xmax, m_Xmin, m_Xmax, kColumns, range.x2);
        const bool ok3 = FineIndex(ymin, m_Ymin, m_Ymax, kRows, range.y1);
        const bool ok4 = FineIndex(ymax, m_Ymin, m_Ymax, kRows, range.y2);
        const std::uint32_t* listed = m_SlotOf.Find(value);
        if (!(ok1 && ok2 && ok3 && ok4)) {
            if (listed != nullptr)
                RemoveFromGrid(value);
            if (std::find(m_Outside.begin(), m_Outside.end(), value) == m_Outside.end())
                m_Outside.push_back(value);
            return false;
        }
        if (range.x2 < range.x1)
            std::swap(range.x1, range.x2);
        if (range.y2 < range.y1)
            std::swap(range.y1, range.y2);
        Box box{static_cast<double>(std::min(xmin, xmax)), static_cast<double>(std::min(ymin, ymax)),
                static_cast<double>(std::max(xmin, xmax)), static_cast<double>(std::max(ymin, ymax))};
        if (listed != nullptr) {
            Slot& slot = m_Slots[*listed];
            if (slot.range == range) {
                slot.box = box;
                if (m_Fine > 1)
                    for (int fc = range.x1; fc <= range.x2; ++fc)
                        for (int fr = range.y1; fr <= range.y2; ++fr)
                            for (FineEntry& entry : FineCellAt(fc, fr))
                                if (entry.id == *listed)
                                    entry.box = box;
                return true;
            }
            RemoveFromGrid(value);
        }
        const std::uint64_t seq = m_NextSeq++;
        const std::uint32_t id = NewSlot(Slot{box, seq, value, range});
        m_SlotOf.Insert(value, id);
        for (int c = range.x1 / m_Fine; c <= range.x2 / m_Fine; ++c)
            for (int r = range.y1 / m_Fine; r <= range.y2 / m_Fine; ++r)
                Append(CellAt(c, r), value, id);
        if (m_Fine > 1)
            for (int fc = range.x1; fc <= range.x2; ++fc)
                for (int fr = range.y1; fr <= range.y2; ++fr)
                    FineCellAt(fc, fr).push_back(FineEntry{box, seq, value, range.x1, range.y1, id});
        return true;
    }

    // Appends the value unless the cell already lists it. The raw form, for
    // callers that fill cells themselves: such a value has no box, so window
    // queries offer it wherever a query meets its cell.
    void AddToCell(cell& target, T value) {
        if (std::find(target.values.begin(), target.values.end(), value) != target.values.end())
            return;
        m_RawValues = true;
        Append(target, value, kNoSlot);
    }

    // Takes the value out of every cell (and out of the outside list); the
    // number of cells it was listed in.
    int Remove(T value) {
        int removed = 0;
        if (m_RawValues) {
            // Values added cell by cell may sit anywhere.
            for (cell& c : m_Cells)
                removed += EraseFromCell(c, value) ? 1 : 0;
            if (m_SlotOf.Find(value) != nullptr)
                RemoveFromGrid(value);
        } else {
            removed = RemoveFromGrid(value);
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

    // Calls visit(value) once for every value whose box meets the box
    // (borders included) and once for every value of the outside list;
    // visit returns false to stop the walk. The order is that of a walk over
    // the cells under the box, columns outer, each value offered in the
    // first of them that its box covers and, within a cell, in the order the
    // values were listed; the outside list comes last.
    template <class Visit> void ForEachInBox(C x1, C y1, C x2, C y2, Visit&& visit) const {
        if (!VisitGrid(static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                       static_cast<double>(y2), true, visit))
            return;
        for (T value : m_Outside)
            if (!visit(value))
                return;
    }

    // The same walk offering every value listed in a cell under the box,
    // whether or not its box meets the box: for drawing, where a wide or
    // offset line may show beyond its box.
    template <class Visit> void ForEachInCells(C x1, C y1, C x2, C y2, Visit&& visit) const {
        if (!VisitGrid(static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                       static_cast<double>(y2), false, visit))
            return;
        for (T value : m_Outside)
            if (!visit(value))
                return;
    }

protected:
    // A box's cells in sub-cell units (a cell is m_Fine sub-cells wide);
    // cell = sub-cell / m_Fine.
    struct Range {
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
        bool operator==(const Range& o) const {
            return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2;
        }
    };
    struct Box {
        double x1, y1, x2, y2;
    };
    // A listed value: its box, computed once when it is inserted, the order
    // it was listed in, and its cells.
    struct Slot {
        Box box;
        std::uint64_t seq;
        T value;
        Range range;
    };

    // One listing in a sub-cell. It carries what a window query needs, so
    // that a query reads its sub-cells in sequence and nothing else: the
    // box, the first sub-cell of the value's range, its listing order and
    // the value itself.
    struct FineEntry {
        Box box;
        std::uint64_t seq;
        T value;
        std::int32_t x1;
        std::int32_t y1;
        std::uint32_t id;
    };

    // An open-addressing map from value to slot: the bookkeeping that lets
    // Insert skip the search for duplicates and Remove visit only the
    // value's own cells.
    class SlotMap {
    public:
        void Reserve(std::size_t count) {
            std::size_t size = 16;
            while (size < count * 2)
                size *= 2;
            if (size > m_Keys.size())
                Rehash(size);
        }
        const std::uint32_t* Find(const T& key) const {
            if (m_Keys.empty())
                return nullptr;
            const std::size_t mask = m_Keys.size() - 1;
            for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
                if (m_State[i] == kEmpty)
                    return nullptr;
                if (m_State[i] == kFull && m_Keys[i] == key)
                    return &m_Values[i];
            }
        }
        void Insert(const T& key, std::uint32_t value) {
            if ((m_Used + 1) * 4 >= m_Keys.size() * 3)
                Rehash(std::max<std::size_t>(16, m_Count * 4 >= m_Keys.size() ? m_Keys.size() * 2
                                                                              : m_Keys.size()));
            const std::size_t mask = m_Keys.size() - 1;
            std::size_t i = Hash(key) & mask;
            while (m_State[i] == kFull)
                i = (i + 1) & mask;
            if (m_State[i] == kEmpty)
                ++m_Used;
            m_State[i] = kFull;
            m_Keys[i] = key;
            m_Values[i] = value;
            ++m_Count;
        }
        void Erase(const T& key) {
            if (m_Keys.empty())
                return;
            const std::size_t mask = m_Keys.size() - 1;
            for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
                if (m_State[i] == kEmpty)
                    return;
                if (m_State[i] == kFull && m_Keys[i] == key) {
                    m_State[i] = kDeleted;
                    --m_Count;
                    return;
                }
            }
        }

    private:
        static constexpr unsigned char kEmpty = 0;
        static constexpr unsigned char kFull = 1;
        static constexpr unsigned char kDeleted = 2;

        static std::size_t Hash(const T& key) {
            // Pointers are aligned: spread their bits before masking.
            const std::uint64_t h = static_cast<std::uint64_t>(std::hash<T>()(key));
            return static_cast<std::size_t>((h * 0x9E3779B97F4A7C15ull) >> 17);
        }
        void Rehash(std::size_t size) {
            std::vector<T> keys(size);
            std::vector<std::uint32_t> values(size);
            std::vector<unsigned char> state(size, kEmpty);
            m_Keys.swap(keys);
            m_Values.swap(values);
            m_State.swap(state);
            m_Count = 0;
            m_Used = 0;
            for (std::size_t i = 0; i < state.size(); ++i)
                if (state[i] == kFull)
                    Insert(keys[i], values[i]);
        }

        std::vector<T> m_Keys;
        std::vector<std::uint32_t> m_Values;
        std::vector<unsigned char> m_State;
        std::size_t m_Count = 0;
        std::size_t m_Used = 0;
    };

    cell& CellAt(int column, int row) {
        return m_Cells[static_cast<std::size_t>(column) * kRows + static_cast<std::size_t>(row)];
    }
    std::vector<FineEntry>& FineCellAt(int column, int row) {
        return m_FineCells[static_cast<std::size_t>(column) * (kRows * m_Fine) +
                           static_cast<std::size_t>(row)];
    }
    const std::vector<FineEntry>& FineCellAt(int column, int row) const {
        return m_FineCells[static_cast<std::size_t>(column) * (kRows * m_Fine) +
                           static_cast<std::size_t>(row)];
    }

    static void Append(cell& target, T value, std::uint32_t slot) {
        // Doubling keeps filling a crowded cell linear; the capacity stays a
        // whole number of steps and above the count.
        if (target.values.size() + 1 >= target.values.capacity()) {
            std::size_t next = std::max<std::size_t>(Grow, target.values.capacity() * 2);
            next = (next + Grow - 1) / Grow * Grow;
            target.values.reserve(next);
            target.boxIds.reserve(next);
        }
        target.values.push_back(value);
        target.boxIds.push_back(slot);
    }

    static bool EraseFromCell(cell& c, T value) {
        auto it = std::find(c.values.begin(), c.values.end(), value);
        if (it == c.values.end())
            return false;
        const auto at = it - c.values.begin();
        c.values.erase(it);
        c.boxIds.erase(c.boxIds.begin() + at);
        return true;
    }

    std::uint32_t NewSlot(const Slot& slot) {
        if (!m_FreeSlots.empty()) {
            const std::uint32_t id = m_FreeSlots.back();
            m_FreeSlots.pop_back();
            m_Slots[id] = slot;
            return id;
        }
        if (m_Slots.size() >= kNoSlot)
            throw std::length_error("spatial hash full");
        m_Slots.push_back(slot);
        return static_cast<std::uint32_t>(m_Slots.size() - 1);
    }

    // Takes a value with a box out of its own cells; the number of cells.
    int RemoveFromGrid(T value) {
        const std::uint32_t* found = m_SlotOf.Find(value);
        if (found == nullptr)
            return 0;
        const std::uint32_t id = *found;
        const Range range = m_Slots[id].range;
        int removed = 0;
        for (int c = range.x1 / m_Fine; c <= range.x2 / m_Fine; ++c)
            for (int r = range.y1 / m_Fine; r <= range.y2 / m_Fine; ++r)
                removed += EraseFromCell(CellAt(c, r), value) ? 1 : 0;
        if (m_Fine > 1)
            for (int fc = range.x1; fc <= range.x2; ++fc)
                for (int fr = range.y1; fr <= range.y2; ++fr) {
                    std::vector<FineEntry>& list = FineCellAt(fc, fr);
                    list.erase(std::remove_if(list.begin(), list.end(),
                                              [id](const FineEntry& e) { return e.id == id; }),
                               list.end());
                }
        m_SlotOf.Erase(value);
        m_FreeSlots.push_back(id);
        return removed;
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

    // The sub-cell of a value, from the same scaled position as its cell so
    // that sub-cell / m_Fine is always the cell CellIndex gives; outside
    // the grid like CellIndex (-1 below, cellCount * m_Fine above).
    bool FineIndex(C v, C lo, C hi, int cellCount, int& index) const {
        int cellIndex = 0;
        const bool ok = CellIndex(v, lo, hi, cellCount, cellIndex);
        if (m_Fine == 1 || cellIndex < 0 || cellIndex >= cellCount) {
            index = cellIndex < 0 ? -1 : cellIndex >= cellCount ? cellCount * m_Fine : cellIndex;
            return ok;
        }
        int sub = m_Fine - 1;
        if (v != hi) {
            const double scaled =
                static_cast<double>(v - lo) / static_cast<double>(hi - lo) * cellCount;
            const double within = (scaled - cellIndex) * m_Fine;
            sub = within <= 0.0 ? 0 : std::min(static_cast<int>(within), m_Fine - 1);
        }
        index = cellIndex * m_Fine + sub;
        return ok;
    }

    // The sub-cells from lo to hi held to the grid; empty (first > last)
    // when the range misses the grid. A NaN end reads as -1: at the low end
    // the range starts at the grid's edge, at the high end it is empty.
    void CoveredFineRange(double lo, double hi, bool columns, int& first, int& last) const {
        const int cellCount = columns ? kColumns : kRows;
        int a = 0;
        int b = 0;
        if (columns) {
            FineIndex(static_cast<C>(lo), m_Xmin, m_Xmax, cellCount, a);
            FineIndex(static_cast<C>(hi), m_Xmin, m_Xmax, cellCount, b);
        } else {
            FineIndex(static_cast<C>(lo), m_Ymin, m_Ymax, cellCount, a);
            FineIndex(static_cast<C>(hi), m_Ymin, m_Ymax, cellCount, b);
        }
        first = std::max(a, 0);
        last = std::min(b, cellCount * m_Fine - 1);
    }

    static bool Meets(const Box& b, double x1, double y1, double x2, double y2) {
        return b.x1 <= x2 && x1 <= b.x2 && b.y1 <= y2 && y1 <= b.y2;
    }

    // The grid part of ForEachInBox (exact) and ForEachInCells; false when
    // visit stopped the walk.
    template <class Visit>
    bool VisitGrid(double qx1, double qy1, double qx2, double qy2, bool exact, Visit& visit) const {
        if (qx2 < qx1)
            std::swap(qx1, qx2);
        if (qy2 < qy1)
            std::swap(qy1, qy2);
        int f1 = 0;
        int f2 = -1;
        int g1 = 0;
        int g2 = -1;
        CoveredFineRange(qx1, qx2, true, f1, f2);
        CoveredFineRange(qy1, qy2, false, g1, g2);
        if (f1 > f2 || g1 > g2)
            return true;
        const int k = m_Fine;
        const int c1 = f1 / k;
        const int c2 = f2 / k;
        const int r1 = g1 / k;
        const int r2 = g2 / k;
        // A value is offered in the first cell, in the walk's order, that
        // both its box and the query cover.
        auto firstCell = [&](const Range& range, int& c, int& r) {
            c = std::max(range.x1 / k, c1);
            r = std::max(range.y1 / k, r1);
        };
        // Local, so that visit may run another query.
        std::vector<std::pair<std::uint64_t, T>> group;
        for (int c = c1; c <= c2; ++c) {
            for (int r = r1; r <= r2; ++r) {
                const cell& whole = GetCellAt(c, r);
                if (whole.values.empty())
                    continue;
                const int fx1 = c == c1 ? f1 : c * k;
                const int fx2 = c == c2 ? f2 : c * k + k - 1;
                const int fy1 = r == r1 ? g1 : r * k;
                const int fy2 = r == r2 ? g2 : r * k + k - 1;
                const bool partial = exact && k > 1 && !m_RawValues &&
                                     (fx1 != c * k || fx2 != c * k + k - 1 || fy1 != r * k ||
                                      fy2 != r * k + k - 1);
                if (!partial) {
                    // The cell's own list is in the order wanted.
                    for (std::size_t n = 0; n < whole.values.size(); ++n) {
                        const std::uint32_t id = whole.boxIds[n];
                        if (id != kNoSlot) {
                            const Slot& slot = m_Slots[id];
                            int fc = 0;
                            int fr = 0;
                            firstCell(slot.range, fc, fr);
                            if (fc != c || fr != r ||
                                (exact && !Meets(slot.box, qx1, qy1, qx2, qy2)))
                                continue;
                        }
                        if (!visit(whole.values[n]))
                            return false;
                    }
                    continue;
                }
                // Only part of the cell is under the query: its sub-cells
                // there give the values, each in the first sub-cell both
                // cover, put back in listing order.
                group.clear();
                for (int fx = fx1; fx <= fx2; ++fx) {
                    for (int fy = fy1; fy <= fy2; ++fy) {
                        for (const FineEntry& entry : FineCellAt(fx, fy)) {
                            if (std::max(entry.x1, f1) != fx || std::max(entry.y1, g1) != fy ||
                                !Meets(entry.box, qx1, qy1, qx2, qy2))
                                continue;
                            group.emplace_back(entry.seq, entry.value);
                        }
                    }
                }
                // Listing orders are unique, so only they are compared.
                if (group.size() > 1)
                    std::sort(group.begin(), group.end(),
                              [](const auto& a, const auto& b) { return a.first < b.first; });
                for (const auto& entry : group)
                    if (!visit(entry.second))
                        return false;
            }
        }
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

    // The window-query side: each listed value's slot, the sub-cells, and
    // the map from value to slot.
    int m_Fine = 1;
    std::vector<std::vector<FineEntry>> m_FineCells;
    std::vector<Slot> m_Slots;
    std::vector<std::uint32_t> m_FreeSlots;
    SlotMap m_SlotOf;
    std::uint64_t m_NextSeq = 0;
    bool m_RawValues = false;
};

} // namespace stdext

class CShapeAreaHashTable : public stdext::area_hash_table<CShapeRecord*, double, 64> {
public:
    CShapeAreaHashTable(double xmin, double ymin, double xmax, double ymax);
    ~CShapeAreaHashTable() override;

    // Insert with the record's box (a point record's box is its point).
    bool InsertRecord(CShapeRecord* record);

    // Calls visit(record) once for every record whose box meets the box and
    // once for every record of the outside list (ForEachInBox); visit
    // returns false to stop the walk. The boxes are those the records had
    // when inserted; records are re-inserted (Remove, InsertRecord) whenever
    // their box changes, as every edit does.
    template <class Visit> void ForEachCandidate(const CDoubleRect& box, Visit&& visit) const {
        ForEachInBox(box.x1, box.y1, box.x2, box.y2, visit);
    }

    // Every record listed in a cell under the box, each once, and the
    // outside list (ForEachInCells): what drawing must look at, since a
    // line's pen, offset and arrows reach beyond its box.
    template <class Visit> void ForEachCellCandidate(const CDoubleRect& box, Visit&& visit) const {
        ForEachInCells(box.x1, box.y1, box.x2, box.y2, visit);
    }
};
