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
// record's box is kept once, from its insert, and once the table is packed
// (Pack, after it is filled) every cell is split again into sub-cells sized
// to the data, whose boxes lie in one array, so a query reads only the boxes
// near it and offers only those that meet it, in the order a walk over the
// cells would.
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
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <type_traits>
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

    // Room for about count values, and the number Pack sizes its sub-cells
    // for when fewer have been inserted; only on an empty table.
    void Reserve(std::size_t count) {
        if (!m_Slots.empty() || count == 0)
            return;
        m_Reserved = count;
        m_Slots.reserve(count);
        m_SlotOf.Reserve(count);
    }

    // Lays the window-query index out afresh from the values listed now:
    // every cell split into sub-cells sized to the data, and each sub-cell's
    // values, with their boxes and ranks, in one array in listing order.
    // A value that would be copied into very many sub-cells is kept per
    // cell instead. Callers pack once after filling the table; values
    // inserted or removed later are kept beside the packed arrays, and the
    // table packs itself again when they grow numerous. Until the first
    // Pack, window queries walk the cells. The cells, and all that is
    // observed through them, stay as they are.
    void Pack() {
        std::vector<std::uint32_t> order;
        order.reserve(m_SlotOf.Size());
        for (std::size_t id = 0; id < m_Slots.size(); ++id)
            if (m_Slots[id].seq != kFreeSeq)
                order.push_back(static_cast<std::uint32_t>(id));
        const auto bySeq = [this](std::uint32_t a, std::uint32_t b) {
            return m_Slots[a].seq < m_Slots[b].seq;
        };
        if (!std::is_sorted(order.begin(), order.end(), bySeq))
            std::sort(order.begin(), order.end(), bySeq);
        const int fine = order.empty() ? 1 : ChooseFine(order);

        Level levels[2];
        levels[0].fine = fine;
        for (Level& level : levels) {
            level.starts.assign(level.CellCount() + 1, 0);
            level.bounds.assign(level.CellCount(), Bounds{0, 0, 0});
        }
        std::vector<Range> ranges(order.size());
        std::vector<unsigned char> levelOf(order.size());
        std::size_t totals[2] = {0, 0};
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Box& box = m_Slots[order[i]].box;
            Range& range = ranges[i];
            FineIndex(static_cast<C>(box.x1), m_Xmin, m_Xmax, kColumns, fine, range.x1);
            FineIndex(static_cast<C>(box.x2), m_Xmin, m_Xmax, kColumns, fine, range.x2);
            FineIndex(static_cast<C>(box.y1), m_Ymin, m_Ymax, kRows, fine, range.y1);
            FineIndex(static_cast<C>(box.y2), m_Ymin, m_Ymax, kRows, fine, range.y2);
            levelOf[i] = LevelFor(range, fine);
            Level& level = levels[levelOf[i]];
            const Range cells = LevelRange(range, fine, levelOf[i]);
            // Counted per cell and part: bounds holds the counts until the
            // starts are known.
            for (int lx = cells.x1; lx <= cells.x2; ++lx)
                for (int ly = cells.y1; ly <= cells.y2; ++ly) {
                    const std::size_t at = level.At(lx, ly);
                    ++level.starts[at + 1];
                    switch (PartOf(cells, lx, ly)) {
                    case 0: ++level.bounds[at].a; break;
                    case 1: ++level.bounds[at].c; break;
                    case 2: ++level.bounds[at].d; break;
                    default: break;
                    }
                }
            totals[levelOf[i]] += static_cast<std::size_t>(cells.x2 - cells.x1 + 1) *
                                  static_cast<std::size_t>(cells.y2 - cells.y1 + 1);
        }
        for (int l = 0; l < 2; ++l) {
            if (totals[l] >= kNoSlot)
                throw std::length_error("spatial hash full");
            std::vector<std::uint32_t>& starts = levels[l].starts;
            for (std::size_t i = 1; i < starts.size(); ++i)
                starts[i] += starts[i - 1];
            levels[l].entries.resize(totals[l]);
            for (std::size_t at = 0; at + 1 < starts.size(); ++at) {
                Bounds& b = levels[l].bounds[at];
                const std::uint32_t columnOnly = b.a;
                const std::uint32_t both = b.c;
                const std::uint32_t rowOnly = b.d;
                b.a = starts[at] + columnOnly;
                b.c = b.a + both;
                b.d = b.c + rowOnly;
            }
        }
        // Where the next copy of each part of each cell goes.
        std::vector<std::array<std::uint32_t, 4>> cursors[2];
        for (int l = 0; l < 2; ++l) {
            const Level& level = levels[l];
            cursors[l].resize(level.bounds.size());
            for (std::size_t at = 0; at < level.bounds.size(); ++at) {
                const Bounds& b = level.bounds[at];
                cursors[l][at] = {level.starts[at], b.a, b.c, b.d};
            }
        }
        // Filled in listing order, so each part of a sub-cell's run is in
        // that order. A value's rank in a cell counts the values listed
        // there before it.
        std::vector<std::uint32_t> nextRank(static_cast<std::size_t>(kColumns) * kRows, 0);
        std::vector<std::uint32_t> ranks;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Slot& slot = m_Slots[order[i]];
            const Range& range = ranges[i];
            TakeRanks(nextRank, range, fine, ranks);
            Level& level = levels[levelOf[i]];
            const Range cells = LevelRange(range, fine, levelOf[i]);
            for (int lx = cells.x1; lx <= cells.x2; ++lx)
                for (int ly = cells.y1; ly <= cells.y2; ++ly) {
                    const std::size_t cell = level.At(lx, ly);
                    std::uint32_t& at = cursors[levelOf[i]][cell][static_cast<std::size_t>(
                        PartOf(cells, lx, ly))];
                    level.entries[at++] =
                        MakeEntry(slot.box, slot.value, cells, lx, ly,
                                  RankAt(ranks, range, fine, lx / level.fine, ly / level.fine));
                }
        }

        // Nothing above changed the table; from here nothing throws.
        for (std::size_t i = 0; i < order.size(); ++i) {
            Slot& slot = m_Slots[order[i]];
            slot.range = ranges[i];
            slot.packed = true;
            slot.level = levelOf[i];
        }
        m_Fine = fine;
        m_RankLimit = *std::max_element(nextRank.begin(), nextRank.end());
        m_NextRank.swap(nextRank);
        for (int l = 0; l < 2; ++l)
            m_Levels[l] = std::move(levels[l]);
        m_PackedCopies = totals[0] + totals[1];
        m_OverflowCopies = 0;
        m_DeadCopies = 0;
        m_Packed = true;
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
    // is updated); one listed under other cells, or in the outside list, is
    // taken out first, so a value is never listed twice and its cells are
    // always those of its latest box.
    bool Insert(C xmin, C ymin, C xmax, C ymax, T value) {
        if (m_Tagging)
            m_Tags[value] = m_CurrentTag;
        Range range;
        const bool ok1 = FineIndex(xmin, m_Xmin, m_Xmax, kColumns, m_Fine, range.x1);
        const bool ok2 = FineIndex(xmax, m_Xmin, m_Xmax, kColumns, m_Fine, range.x2);
        const bool ok3 = FineIndex(ymin, m_Ymin, m_Ymax, kRows, m_Fine, range.y1);
        const bool ok4 = FineIndex(ymax, m_Ymin, m_Ymax, kRows, m_Fine, range.y2);
        const std::uint32_t* listed = m_SlotOf.Find(value);
        if (!(ok1 && ok2 && ok3 && ok4)) {
            if (listed != nullptr)
                RemoveFromGrid(value);
            if (std::find(m_Outside.begin(), m_Outside.end(), value) == m_Outside.end())
                m_Outside.push_back(value);
            return false;
        }
        if (!m_Outside.empty())
            m_Outside.erase(std::remove(m_Outside.begin(), m_Outside.end(), value),
                            m_Outside.end());
        if (range.x2 < range.x1)
            std::swap(range.x1, range.x2);
        if (range.y2 < range.y1)
            std::swap(range.y1, range.y2);
        Box box{static_cast<double>(std::min(xmin, xmax)), static_cast<double>(std::min(ymin, ymax)),
                static_cast<double>(std::max(xmin, xmax)), static_cast<double>(std::max(ymin, ymax))};
        if (listed != nullptr) {
            const std::uint32_t id = *listed;
            Slot& slot = m_Slots[id];
            if (slot.range == range) {
                slot.box = box;
                ForEachCopy(slot, [&](FineEntry& entry, const Range& cells, int lx, int ly) {
                    entry.box = MakeEntry(box, value, cells, lx, ly, entry.rank).box;
                });
                return true;
            }
            const int k = m_Fine;
            if (slot.range.x1 / k == range.x1 / k && slot.range.x2 / k == range.x2 / k &&
                slot.range.y1 / k == range.y1 / k && slot.range.y2 / k == range.y2 / k) {
                // The same cells: the value keeps its place in them, only
                // its sub-cell copies move.
                std::vector<std::uint32_t> ranks(static_cast<std::size_t>(range.x2 / k - range.x1 / k + 1) *
                                                 static_cast<std::size_t>(range.y2 / k - range.y1 / k + 1));
                const Range old = slot.range;
                ForEachCopy(slot, [&](FineEntry& entry, const Range&, int lx, int ly) {
                    const int fine = m_Levels[slot.level].fine;
                    const int rows = old.y2 / k - old.y1 / k + 1;
                    ranks[static_cast<std::size_t>(lx / fine - old.x1 / k) * rows +
                          static_cast<std::size_t>(ly / fine - old.y1 / k)] = entry.rank;
                });
                DropCopies(slot);
                slot.range = range;
                slot.box = box;
                if (m_Packed) {
                    AddCopies(id, ranks);
                    RepackIfCrowded();
                }
                return true;
            }
            RemoveFromGrid(value);
        }
        const std::uint64_t seq = m_NextSeq++;
        const std::uint32_t id = NewSlot(Slot{box, seq, value, range, false, 0});
        m_SlotOf.Insert(value, id);
        for (int c = range.x1 / m_Fine; c <= range.x2 / m_Fine; ++c)
            for (int r = range.y1 / m_Fine; r <= range.y2 / m_Fine; ++r)
                Append(CellAt(c, r), value, id);
        if (m_Packed) {
            std::vector<std::uint32_t> ranks;
            TakeRanks(m_NextRank, range, m_Fine, ranks);
            for (std::uint32_t rank : ranks)
                m_RankLimit = std::max(m_RankLimit, rank + 1);
            AddCopies(id, ranks);
            RepackIfCrowded();
        }
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
        if (!m_Outside.empty())
            m_Outside.erase(std::remove(m_Outside.begin(), m_Outside.end(), value),
                            m_Outside.end());
        if (!m_Tags.empty())
            m_Tags.erase(value);
        if (m_Packed)
            RepackIfCrowded();
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
        const double qx1 = static_cast<double>(x1);
        const double qy1 = static_cast<double>(y1);
        const double qx2 = static_cast<double>(x2);
        const double qy2 = static_cast<double>(y2);
        const bool walked = m_Packed && !m_RawValues ? VisitPacked(qx1, qy1, qx2, qy2, visit)
                                                     : VisitCells(qx1, qy1, qx2, qy2, true, visit);
        if (!walked)
            return;
        for (T value : m_Outside)
            if (!visit(value))
                return;
    }

    // The same walk offering every value listed in a cell under the box,
    // whether or not its box meets the box: for drawing, where a wide or
    // offset line may show beyond its box.
    template <class Visit> void ForEachInCells(C x1, C y1, C x2, C y2, Visit&& visit) const {
        if (!VisitCells(static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
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
    // it was listed in, its cells, whether its copies are in the packed
    // arrays (or beside them) and in which level. A free slot has seq
    // kFreeSeq.
    struct Slot {
        Box box;
        std::uint64_t seq;
        T value;
        Range range;
        bool packed;
        unsigned char level;
    };
    static constexpr std::uint64_t kFreeSeq = ~std::uint64_t{0};

    // One copy of a value in a sub-cell: all a window query reads. A value
    // is offered from the one copy in the first sub-cell that both its box
    // and the query cover: a copy outside the first sub-column of the box
    // has a NaN left edge, and one outside its first sub-row a NaN bottom
    // edge, so that only the query's first sub-column (or sub-row), where
    // such an edge is not compared, offers it. The rank orders the values
    // of one cell as the cell lists them. A removed copy of the packed
    // array keeps its place with a NaN box, which meets nothing.
    struct FineEntry {
        Box box;
        T value;
        std::uint32_t rank;
    };

    static FineEntry MakeEntry(const Box& box, T value, const Range& range, int fx, int fy,
                               std::uint32_t rank) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return FineEntry{Box{fx == range.x1 ? box.x1 : nan, fy == range.y1 ? box.y1 : nan, box.x2,
                             box.y2},
                         value, rank};
    }

    // The value's rank in each of its cells (columns outer), taken from
    // the cells' next ranks.
    static void TakeRanks(std::vector<std::uint32_t>& nextRank, const Range& range, int fine,
                          std::vector<std::uint32_t>& ranks) {
        ranks.clear();
        for (int c = range.x1 / fine; c <= range.x2 / fine; ++c)
            for (int r = range.y1 / fine; r <= range.y2 / fine; ++r)
                ranks.push_back(nextRank[static_cast<std::size_t>(c) * kRows + r]++);
    }
    // The rank taken for the cell at column c, row r.
    static std::uint32_t RankAt(const std::vector<std::uint32_t>& ranks, const Range& range,
                                int fine, int c, int r) {
        const int rows = range.y2 / fine - range.y1 / fine + 1;
        return ranks[static_cast<std::size_t>(c - range.x1 / fine) * rows +
                     static_cast<std::size_t>(r - range.y1 / fine)];
    }

    // Where the parts of a packed cell's run start; see Level.
    struct Bounds {
        std::uint32_t a;
        std::uint32_t c;
        std::uint32_t d;
    };

    // Which part of its cell's run the copy of a value at (x, y) of its
    // cells goes to: 0 for the value's first column only, 1 for its first
    // column and row, 2 for its first row only, 3 for neither. A query
    // offers a copy from a cell past its own first column only when the
    // copy is in its value's first column (parts 0 and 1), and from a cell
    // past its first row only when it is in the value's first row (parts 1
    // and 2), so each cell is read only as far as it can offer anything.
    static int PartOf(const Range& cells, int x, int y) {
        const bool firstColumn = x == cells.x1;
        const bool firstRow = y == cells.y1;
        return firstColumn ? (firstRow ? 1 : 0) : (firstRow ? 2 : 3);
    }

    // The two levels of the packed index: sub-cells (level 0) and, for
    // values that would be copied into too many of them, whole cells
    // (level 1). Each lays its cells out column by column.
    struct Level {
        int fine = 1;
        std::vector<std::uint32_t> starts;
        std::vector<FineEntry> entries;
        // Each cell's run, from starts[cell] to starts[cell + 1], holds its
        // copies in four parts (PartOf): copies in the first column of their
        // value's cells but not its first row, then those in both, those in
        // the first row only, and those in neither. bounds[cell] gives where
        // the second, third and fourth parts start.
        std::vector<Bounds> bounds;
        // The copies listed since the last Pack, per cell: overflowOf holds
        // the list's number plus one, 0 for none.
        std::vector<std::uint32_t> overflowOf;
        std::vector<std::vector<FineEntry>> overflow;

        std::size_t Rows() const { return static_cast<std::size_t>(kRows) * fine; }
        std::size_t CellCount() const { return static_cast<std::size_t>(kColumns) * fine * Rows(); }
        std::size_t At(int column, int row) const {
            return static_cast<std::size_t>(column) * Rows() + static_cast<std::size_t>(row);
        }
        // The copies in a cell: the packed run, or the list beside it.
        FineEntry* Run(std::size_t at, bool packed, FineEntry*& end) {
            if (packed) {
                end = entries.data() + starts[at + 1];
                return entries.data() + starts[at];
            }
            std::vector<FineEntry>& list = overflow[overflowOf[at] - 1];
            end = list.data() + list.size();
            return list.data();
        }
    };

    // Values with more sub-cell copies than this are kept per cell.
    static constexpr int kWideCopies = 16;

    static unsigned char LevelFor(const Range& range, int fine) {
        const std::int64_t copies = std::int64_t{range.x2 - range.x1 + 1} * (range.y2 - range.y1 + 1);
        return fine > 1 && copies > kWideCopies ? 1 : 0;
    }
    // A range in sub-cells as the cells of a level.
    static Range LevelRange(const Range& range, int fine, unsigned char level) {
        if (level == 0)
            return range;
        Range cells;
        cells.x1 = range.x1 / fine;
        cells.y1 = range.y1 / fine;
        cells.x2 = range.x2 / fine;
        cells.y2 = range.y2 / fine;
        return cells;
    }

    // Sub-cells per cell side for the values: about sixteen values per
    // sub-cell (smaller sub-cells cost a query more in sub-cells walked than
    // they save in boxes compared), but sub-cells no smaller than a typical box (the median, so that a
    // few large ones do not decide), or each box would be copied into many
    // of them.
    int ChooseFine(const std::vector<std::uint32_t>& order) const {
        const std::size_t count = std::max(order.size(), m_Reserved);
        const double perCell = static_cast<double>(count) / (kFineTarget * kColumns * kRows);
        int fine = std::clamp(static_cast<int>(std::lround(std::sqrt(perCell))), 1, kMaxFine);
        const std::size_t step = std::max<std::size_t>(1, order.size() / 4096);
        std::vector<double> widths;
        std::vector<double> heights;
        for (std::size_t i = 0; i < order.size(); i += step) {
            const Box& box = m_Slots[order[i]].box;
            widths.push_back(box.x2 - box.x1);
            heights.push_back(box.y2 - box.y1);
        }
        std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
        std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
        const double width = widths[widths.size() / 2] /
                             (static_cast<double>(m_Xmax - m_Xmin) / kColumns);
        const double height = heights[heights.size() / 2] /
                              (static_cast<double>(m_Ymax - m_Ymin) / kRows);
        if (!(width >= 0.0) || !(height >= 0.0))
            return fine;
        while (fine > 1 && (1.0 + width * fine) * (1.0 + height * fine) > kMaxCopies)
            --fine;
        return fine;
    }
    static constexpr double kFineTarget = 16.0;
    static constexpr double kMaxCopies = 3.0;
    static constexpr int kMaxFine = 64;

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
        std::size_t Size() const { return m_Count; }
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

    // Calls f(copy, the value's cells in its level, column, row) on each
    // copy of a listed value, once packed.
    template <class F> void ForEachCopy(const Slot& slot, F&& f) {
        if (!m_Packed)
            return;
        Level& level = m_Levels[slot.level];
        const Range cells = LevelRange(slot.range, m_Fine, slot.level);
        for (int lx = cells.x1; lx <= cells.x2; ++lx)
            for (int ly = cells.y1; ly <= cells.y2; ++ly) {
                FineEntry* end = nullptr;
                for (FineEntry* e = level.Run(level.At(lx, ly), slot.packed, end); e != end; ++e)
                    if (e->value == slot.value) {
                        f(*e, cells, lx, ly);
                        break;
                    }
            }
    }

    // Lists a value's copies beside the packed arrays, with its ranks in
    // its cells (columns outer).
    void AddCopies(std::uint32_t id, const std::vector<std::uint32_t>& ranks) {
        Slot& slot = m_Slots[id];
        slot.packed = false;
        slot.level = LevelFor(slot.range, m_Fine);
        Level& level = m_Levels[slot.level];
        const Range cells = LevelRange(slot.range, m_Fine, slot.level);
        if (level.overflowOf.empty())
            level.overflowOf.assign(level.CellCount(), 0);
        for (int lx = cells.x1; lx <= cells.x2; ++lx)
            for (int ly = cells.y1; ly <= cells.y2; ++ly) {
                std::uint32_t& list = level.overflowOf[level.At(lx, ly)];
                if (list == 0) {
                    level.overflow.emplace_back();
                    list = static_cast<std::uint32_t>(level.overflow.size());
                }
                level.overflow[list - 1].push_back(MakeEntry(
                    slot.box, slot.value, cells, lx, ly,
                    RankAt(ranks, slot.range, m_Fine, lx / level.fine, ly / level.fine)));
                ++m_OverflowCopies;
            }
    }

    // Takes a value's copies out of the packed index: packed ones stay as
    // dead copies, later ones leave their lists.
    void DropCopies(Slot& slot) {
        if (!m_Packed)
            return;
        if (slot.packed) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            ForEachCopy(slot, [this, nan](FineEntry& entry, const Range&, int, int) {
                entry.box = Box{nan, nan, nan, nan};
                ++m_DeadCopies;
            });
            return;
        }
        Level& level = m_Levels[slot.level];
        const Range cells = LevelRange(slot.range, m_Fine, slot.level);
        for (int lx = cells.x1; lx <= cells.x2; ++lx)
            for (int ly = cells.y1; ly <= cells.y2; ++ly) {
                std::vector<FineEntry>& list = level.overflow[level.overflowOf[level.At(lx, ly)] - 1];
                for (auto it = list.begin(); it != list.end(); ++it)
                    if (it->value == slot.value) {
                        list.erase(it);
                        --m_OverflowCopies;
                        break;
                    }
            }
    }

    // Takes a value with a box out of its own cells; the number of cells.
    int RemoveFromGrid(T value) {
        const std::uint32_t* found = m_SlotOf.Find(value);
        if (found == nullptr)
            return 0;
        const std::uint32_t id = *found;
        Slot& slot = m_Slots[id];
        const Range range = slot.range;
        int removed = 0;
        for (int c = range.x1 / m_Fine; c <= range.x2 / m_Fine; ++c)
            for (int r = range.y1 / m_Fine; r <= range.y2 / m_Fine; ++r)
                removed += EraseFromCell(CellAt(c, r), value) ? 1 : 0;
        DropCopies(slot);
        m_SlotOf.Erase(value);
        slot.seq = kFreeSeq;
        m_FreeSlots.push_back(id);
        return removed;
    }

    // Edits since the last Pack sit beside the packed array or leave dead
    // copies in it; once they reach half of it, packing again is cheaper
    // than walking them, and costs no more than the edits did.
    void RepackIfCrowded() {
        if (m_OverflowCopies + m_DeadCopies > m_PackedCopies / 2 + 1024)
            Pack();
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

    // The sub-cell of a value with fine sub-cells per cell side, from the
    // same scaled position as its cell so that sub-cell / fine is always the
    // cell CellIndex gives; outside the grid like CellIndex (-1 below,
    // cellCount * fine above).
    static bool FineIndex(C v, C lo, C hi, int cellCount, int fine, int& index) {
        int cellIndex = 0;
        const bool ok = CellIndex(v, lo, hi, cellCount, cellIndex);
        if (fine == 1 || cellIndex < 0 || cellIndex >= cellCount) {
            index = cellIndex < 0 ? -1 : cellIndex >= cellCount ? cellCount * fine : cellIndex;
            return ok;
        }
        int sub = fine - 1;
        if (v != hi) {
            const double scaled =
                static_cast<double>(v - lo) / static_cast<double>(hi - lo) * cellCount;
            const double within = (scaled - cellIndex) * fine;
            sub = within <= 0.0 ? 0 : std::min(static_cast<int>(within), fine - 1);
        }
        index = cellIndex * fine + sub;
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
            FineIndex(static_cast<C>(lo), m_Xmin, m_Xmax, cellCount, m_Fine, a);
            FineIndex(static_cast<C>(hi), m_Xmin, m_Xmax, cellCount, m_Fine, b);
        } else {
            FineIndex(static_cast<C>(lo), m_Ymin, m_Ymax, cellCount, m_Fine, a);
            FineIndex(static_cast<C>(hi), m_Ymin, m_Ymax, cellCount, m_Fine, b);
        }
        first = std::max(a, 0);
        last = std::min(b, cellCount * m_Fine - 1);
    }

    // Puts the query's corners in order and finds the sub-cells it covers
    // across and down; false when it misses the grid.
    bool CoveredFineBox(double& qx1, double& qy1, double& qx2, double& qy2, int& f1, int& f2, int& g1,
                        int& g2) const {
        if (qx2 < qx1)
            std::swap(qx1, qx2);
        if (qy2 < qy1)
            std::swap(qy1, qy2);
        CoveredFineRange(qx1, qx2, true, f1, f2);
        CoveredFineRange(qy1, qy2, false, g1, g2);
        return f1 <= f2 && g1 <= g2;
    }

    static bool Meets(const Box& b, double x1, double y1, double x2, double y2) {
        return b.x1 <= x2 && x1 <= b.x2 && b.y1 <= y2 && y1 <= b.y2;
    }

    // The walk over the cells' own lists, for ForEachInBox (exact) before
    // the first Pack or with values added cell by cell, and for
    // ForEachInCells; false when visit stopped the walk.
    template <class Visit>
    bool VisitCells(double qx1, double qy1, double qx2, double qy2, bool exact,
                    Visit& visit) const {
        int f1 = 0;
        int f2 = -1;
        int g1 = 0;
        int g2 = -1;
        if (!CoveredFineBox(qx1, qy1, qx2, qy2, f1, f2, g1, g2))
            return true;
        const int k = m_Fine;
        const int c1 = f1 / k;
        const int c2 = f2 / k;
        const int r1 = g1 / k;
        const int r2 = g2 / k;
        for (int c = c1; c <= c2; ++c) {
            for (int r = r1; r <= r2; ++r) {
                const cell& whole = GetCellAt(c, r);
                for (std::size_t n = 0; n < whole.values.size(); ++n) {
                    const std::uint32_t id = whole.boxIds[n];
                    if (id != kNoSlot) {
                        // A value is offered in the first cell, in the
                        // walk's order, that both its box and the query
                        // cover.
                        const Slot& slot = m_Slots[id];
                        if (std::max(slot.range.x1 / k, c1) != c ||
                            std::max(slot.range.y1 / k, r1) != r ||
                            (exact && !Meets(slot.box, qx1, qy1, qx2, qy2)))
                            continue;
                    }
                    if (!visit(whole.values[n]))
                        return false;
                }
            }
        }
        return true;
    }

    // ForEachInBox over the packed sub-cells: the values of each cell under
    // the query come from its sub-cells there, each from the copy in the
    // first sub-cell both cover, and are put back in the cell's order by
    // their ranks.
    template <class Visit>
    bool VisitPacked(double qx1, double qy1, double qx2, double qy2, Visit& visit) const {
        int f1 = 0;
        int f2 = -1;
        int g1 = 0;
        int g2 = -1;
        if (!CoveredFineBox(qx1, qy1, qx2, qy2, f1, f2, g1, g2))
            return true;
        const int k = m_Fine;
        const Level& fineLevel = m_Levels[0];
        const Level& wideLevel = m_Levels[1];
        const std::size_t fineRows = fineLevel.Rows();
        const std::uint32_t* starts = fineLevel.starts.data();
        const FineEntry* entries = fineLevel.entries.data();
        const bool overflow = !fineLevel.overflow.empty();
        const bool wide = !wideLevel.entries.empty() || !wideLevel.overflow.empty();
        // The values found in the current cell with their ranks, and, unless
        // ranks run too high, a bit per rank and the values by rank to put
        // them in order. The thread's scratch space is reused from query to
        // query; a query run from inside visit gets its own.
        ScratchLease lease;
        Scratch& scratch = lease.Get();
        const bool bitmap = m_RankLimit <= kBitmapRanks;
        const std::size_t words = bitmap ? m_RankLimit / 64 + 1 : 0;
        if (scratch.found.size() < words) {
            scratch.found.resize(words);
            scratch.byRank.resize(words * 64);
        }
        std::fill(scratch.found.begin(), scratch.found.begin() + static_cast<std::ptrdiff_t>(words), 0);
        std::uint64_t* found = scratch.found.data();
        T* byRank = scratch.byRank.data();
        std::vector<Hit>& group = scratch.group;
        std::size_t hits = 0;
        // Every copy is written to the next free place and kept only when it
        // meets the query, so the scan does not branch on the outcome. Where
        // the edge is NaN (the copy is not the box's first in that
        // direction), the comparison holds only in the query's first
        // sub-column or sub-row.
        auto scan = [&](auto firstColumn, auto firstRow, const FineEntry* e,
                        const FineEntry* end) {
            const std::size_t room = hits + static_cast<std::size_t>(end - e);
            if (group.size() < room)
                group.resize(std::max(room, group.size() * 2));
            Hit* out = group.data();
            std::size_t n = hits;
            for (; e != end; ++e) {
                const Box& b = e->box;
                bool x = qx1 <= b.x2;
                if constexpr (decltype(firstColumn)::value)
                    x = x & !(b.x1 > qx2);
                else
                    x = x & (b.x1 <= qx2);
                bool y = qy1 <= b.y2;
                if constexpr (decltype(firstRow)::value)
                    y = y & !(b.y1 > qy2);
                else
                    y = y & (b.y1 <= qy2);
                out[n] = Hit{e->rank, e->value};
                n += static_cast<std::size_t>(x & y);
            }
            hits = n;
        };
        using Yes = std::true_type;
        using No = std::false_type;
        auto scanIn = [&](bool firstColumn, bool firstRow, const FineEntry* e,
                          const FineEntry* end) {
            if (e == end)
                return;
            if (firstColumn)
                firstRow ? scan(Yes(), Yes(), e, end) : scan(Yes(), No(), e, end);
            else
                firstRow ? scan(No(), Yes(), e, end) : scan(No(), No(), e, end);
        };
        // Inside the query, past its first and before its last column and
        // row, every copy of a value's first column and row meets it: only a
        // removed copy (NaN) does not, and a NaN query side meets nothing.
        auto scanInner = [&](const FineEntry* e, const FineEntry* end) {
            const std::size_t room = hits + static_cast<std::size_t>(end - e);
            if (group.size() < room)
                group.resize(std::max(room, group.size() * 2));
            Hit* out = group.data();
            std::size_t n = hits;
            for (; e != end; ++e) {
                out[n] = Hit{e->rank, e->value};
                n += static_cast<std::size_t>((qx1 <= e->box.x2) & (qy1 <= e->box.y2));
            }
            hits = n;
        };
        // The parts of a packed cell's run that can offer anything there.
        auto scanCell = [&](const Level& level, std::size_t at, bool firstColumn, bool firstRow,
                            bool inner) {
            const FineEntry* e = level.entries.data();
            const Bounds& b = level.bounds[at];
            if (firstColumn && firstRow)
                scanIn(true, true, e + level.starts[at], e + level.starts[at + 1]);
            else if (firstColumn)
                scanIn(true, false, e + b.a, e + b.d);
            else if (firstRow)
                scanIn(false, true, e + level.starts[at], e + b.c);
            else if (inner)
                scanInner(e + b.a, e + b.c);
            else
                scanIn(false, false, e + b.a, e + b.c);
        };
        for (int c = f1 / k; c <= f2 / k; ++c) {
            const int fx1 = std::max(f1, c * k);
            const int fx2 = std::min(f2, c * k + k - 1);
            for (int r = g1 / k; r <= g2 / k; ++r) {
                const int fy1 = std::max(g1, r * k);
                const int fy2 = std::min(g2, r * k + k - 1);
                hits = 0;
                for (int fx = fx1; fx <= fx2; ++fx) {
                    const std::size_t base = static_cast<std::size_t>(fx) * fineRows;
#if defined(__GNUC__)
                    // The next sub-column's run lies elsewhere in the array:
                    // ask for it while this one is scanned, since a big
                    // table's scan waits on memory more than on comparisons.
                    if (fx < fx2) {
                        const std::size_t next = base + fineRows + static_cast<std::size_t>(fy1);
                        const char* from = reinterpret_cast<const char*>(entries + starts[next]);
                        const char* to = reinterpret_cast<const char*>(
                            entries + starts[next + static_cast<std::size_t>(fy2 - fy1) + 1]);
                        for (; from < to; from += 64)
                            __builtin_prefetch(from);
                    }
#endif
                    for (int fy = fy1; fy <= fy2; ++fy)
                        scanCell(fineLevel, base + static_cast<std::size_t>(fy), fx == f1, fy == g1,
                                 fx < f2 && fy < g2);
                    if (overflow)
                        for (int sy = fy1; sy <= fy2; ++sy)
                            if (const std::uint32_t list = fineLevel.overflowOf[base + sy]) {
                                const std::vector<FineEntry>& extra = fineLevel.overflow[list - 1];
                                scanIn(fx == f1, sy == g1, extra.data(),
                                       extra.data() + extra.size());
                            }
                }
                if (wide) {
                    // Wide values, copied per cell: the same test a cell up.
                    const std::size_t at = wideLevel.At(c, r);
                    const bool firstColumn = c == f1 / k;
                    const bool firstRow = r == g1 / k;
                    if (!wideLevel.entries.empty())
                        scanCell(wideLevel, at, firstColumn, firstRow, c < f2 / k && r < g2 / k);
                    if (!wideLevel.overflow.empty())
                        if (const std::uint32_t list = wideLevel.overflowOf[at]) {
                            const std::vector<FineEntry>& extra = wideLevel.overflow[list - 1];
                            scanIn(firstColumn, firstRow, extra.data(), extra.data() + extra.size());
                        }
                }
                if (hits == 1) {
                    if (!visit(group[0].value))
                        return false;
                } else if (bitmap && hits > 1) {
                    std::size_t low = words;
                    std::size_t high = 0;
                    for (std::size_t h = 0; h < hits; ++h) {
                        const Hit& hit = group[h];
                        const std::size_t word = hit.rank / 64;
                        found[word] |= std::uint64_t{1} << (hit.rank % 64);
                        byRank[hit.rank] = hit.value;
                        low = std::min(low, word);
                        high = std::max(high, word);
                    }
                    for (std::size_t w = low; w <= high; ++w) {
                        std::uint64_t bits = found[w];
                        found[w] = 0;
                        while (bits != 0) {
                            const int bit = CountTrailingZeros(bits);
                            bits &= bits - 1;
                            if (!visit(byRank[w * 64 + static_cast<std::size_t>(bit)]))
                                return false;
                        }
                    }
                } else if (hits > 1) {
                    std::sort(group.begin(), group.begin() + static_cast<std::ptrdiff_t>(hits),
                              [](const Hit& a, const Hit& b) { return a.rank < b.rank; });
                    for (std::size_t h = 0; h < hits; ++h)
                        if (!visit(group[h].value))
                            return false;
                }
            }
        }
        return true;
    }

    // A value a query found in a cell, with its rank there.
    struct Hit {
        std::uint32_t rank;
        T value;
    };
    // What VisitPacked works in, kept per thread so that a query allocates
    // nothing once the thread has run one of its size.
    struct Scratch {
        std::vector<Hit> group;
        std::vector<std::uint64_t> found;
        std::vector<T> byRank;
        bool busy = false;
    };
    // The thread's scratch space, or while that is in use (visit ran a
    // query of its own) a private one.
    class ScratchLease {
    public:
        ScratchLease() {
            Scratch& shared = Shared();
            if (shared.busy) {
                m_Own = std::make_unique<Scratch>();
                m_Scratch = m_Own.get();
            } else {
                m_Scratch = &shared;
            }
            m_Scratch->busy = true;
        }
        ~ScratchLease() { m_Scratch->busy = false; }
        ScratchLease(const ScratchLease&) = delete;
        ScratchLease& operator=(const ScratchLease&) = delete;
        Scratch& Get() { return *m_Scratch; }

    private:
        static Scratch& Shared() {
            thread_local Scratch scratch;
            return scratch;
        }
        std::unique_ptr<Scratch> m_Own;
        Scratch* m_Scratch = nullptr;
    };

    // Ranks up to which VisitPacked orders a cell's values by a bitmap
    // rather than by sorting them.
    static constexpr std::uint32_t kBitmapRanks = 8192;

    static int CountTrailingZeros(std::uint64_t bits) {
#if defined(__GNUC__)
        return __builtin_ctzll(bits);
#else
        int n = 0;
        while ((bits & 1) == 0) {
            bits >>= 1;
            ++n;
        }
        return n;
#endif
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

    // Each listed value's slot and the map from value to slot.
    std::vector<Slot> m_Slots;
    std::vector<std::uint32_t> m_FreeSlots;
    SlotMap m_SlotOf;
    std::uint64_t m_NextSeq = 0;
    bool m_RawValues = false;
    std::size_t m_Reserved = 0;

    // The window-query side, from Pack on: sub-cells per cell side, the
    // two levels, and the number of copies packed.
    int m_Fine = 1;
    bool m_Packed = false;
    Level m_Levels[2];
    std::size_t m_PackedCopies = 0;
    std::size_t m_OverflowCopies = 0;
    std::size_t m_DeadCopies = 0;
    // Each cell's next rank, and one more than the largest rank given.
    std::vector<std::uint32_t> m_NextRank;
    std::uint32_t m_RankLimit = 0;
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
