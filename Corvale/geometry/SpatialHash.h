#pragma once
// The coarse spatial hash of large polyline and polygon themes.
//
// A fixed grid of 50 x 50 cells is laid over the area the theme covered when
// the hash was built; each cell lists the records whose boxes reach into it,
// so a record is listed in every cell its box covers. Drawing, the selection
// tools and the plug-in rectangle queries take the records under a search box
// as candidates and test each one exactly.
//
// Window queries (ForEachCandidate) should not grow with the theme, and the
// table should not cost much more memory than the records' boxes: each
// record's box is kept once, in one array. Once the table is packed (Pack,
// after it is filled) that array is ordered by the sub-cell (cells split
// again into sub-cells sized to the data) that holds each box's lower left
// corner, so a query reads only the boxes starting under it or just left of
// and below it, as far as the largest box reaches, and offers those that meet
// it, in the order a walk over the cells would. Boxes too large for that are
// kept the same way by whole cells.
//
// A record whose box does not fit the grid (it was moved or added after the
// hash was built and the theme grew) cannot be listed in cells. It is kept in
// the outside list instead, and ForEachCandidate offers it to every query, so
// no record ever drops out of a search because the grid is too small.
// Callers that walk cells themselves (GetCell, GetCellEntry) must also visit
// the outside list (GetOutsideCount, GetOutsideEntry).

#include "geometry/DoubleRect.h"
#include "platform/Prefetch.h"
#include "shapes/ShapeRecord.h"

#include <algorithm>
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
    // linear time. `flags` runs beside `values`: whether the cell is in the
    // first column and the first row of the value's cells (kRaw for values
    // added through AddToCell alone, which have no box).
    struct cell {
        std::vector<T> values;
        std::vector<std::uint8_t> flags;
        int count() const { return static_cast<int>(values.size()); }
        int capacity() const { return static_cast<int>(values.capacity()); }
    };

    static constexpr std::uint8_t kFirstColumn = 1;
    static constexpr std::uint8_t kFirstRow = 2;
    static constexpr std::uint8_t kRaw = 4;

    area_hash_table(C xmin, C ymin, C xmax, C ymax)
        : m_Xmin(xmin), m_Ymin(ymin), m_Xmax(xmax), m_Ymax(ymax),
          m_Cells(static_cast<std::size_t>(kColumns) * kRows) {}
    virtual ~area_hash_table() = default;

    area_hash_table(const area_hash_table&) = delete;
    area_hash_table& operator=(const area_hash_table&) = delete;

    // Room for about count values, and the number Pack sizes its sub-cells
    // for when fewer have been inserted; only on an empty table.
    void Reserve(std::size_t count) {
        if (m_NextOrder != 0 || count == 0)
            return;
        m_Reserved = count;
        m_Tail.reserve(count);
        m_PosOf.reserve(count);
        m_SlotOf.Reserve(count);
    }

    // Lays the window-query index out afresh from the values listed now:
    // the boxes ordered by the sub-cell of their lower left corner (wide
    // ones by cell), each cell's values ranked in listing order. Callers
    // pack once after filling the table; values inserted, moved or removed
    // later are kept beside the packed array, and the table packs itself
    // again when they grow numerous. Until the first Pack, window queries
    // walk the cells. The cells, and all that is observed through them, stay
    // as they are.
    void Pack() {
        const bool handedOver = m_Entries.empty() && m_Dead == 0;
        std::vector<Entry> live = LiveInOrder();
        try {
            PackFrom(live);
        } catch (...) {
            // The table stays as it was.
            if (handedOver)
                m_Tail.swap(live);
            throw;
        }
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
        // The map's slot is far off in memory for a big table: ask for it
        // first and work out the cells meanwhile.
        const std::size_t hash = Hash(value);
        m_SlotOf.Prefetch(hash);
        if (m_Tagging)
            m_Tags[value] = m_CurrentTag;
        Range cells;
        const bool ok1 = GetColumn(xmin, cells.x1);
        const bool ok2 = GetColumn(xmax, cells.x2);
        const bool ok3 = GetRow(ymin, cells.y1);
        const bool ok4 = GetRow(ymax, cells.y2);
        const std::uint32_t* listed = Find(value, hash);
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
        if (cells.x2 < cells.x1)
            std::swap(cells.x1, cells.x2);
        if (cells.y2 < cells.y1)
            std::swap(cells.y1, cells.y2);
        const Box box{static_cast<double>(std::min(xmin, xmax)), static_cast<double>(std::min(ymin, ymax)),
                      static_cast<double>(std::max(xmin, xmax)), static_cast<double>(std::max(ymin, ymax))};
        if (listed != nullptr) {
            const std::uint32_t order = *listed;
            if (CellRange(EntryAt(order).box) == cells) {
                Reshape(order, box);
                TidyUp();
                return true;
            }
            RemoveFromGrid(value);
        }
        if (m_NextOrder >= kMaxOrder) {
            // Numbers run out only after billions of edits: number the
            // values afresh.
            Renumber();
            if (m_NextOrder >= kMaxOrder)
                throw std::length_error("spatial hash full");
        }
        const std::uint32_t order = m_NextOrder;
        std::uint32_t pos = 0;
        if (m_Packed) {
            pos = AddToTail(Entry{box, value, 0, order}, cells, nullptr);
        } else {
            m_Tail.push_back(Entry{box, value, 0, order});
            pos = static_cast<std::uint32_t>(m_Tail.size() - 1) | kTailBit;
        }
        m_PosOf.push_back(pos);
        ++m_NextOrder;
        m_SlotOf.Insert(hash, order, [this](std::uint32_t o) { return Hash(EntryAt(o).value); });
        for (int c = cells.x1; c <= cells.x2; ++c)
            for (int r = cells.y1; r <= cells.y2; ++r)
                Append(CellAt(c, r), value, FlagsAt(cells, c, r));
        TidyUp();
        return true;
    }

    // Asks for the value's map slot ahead of its Insert: a caller inserting
    // many values in turn calls it a few values ahead, so that the slots
    // of a big table, far apart in memory, are read meanwhile.
    void PrefetchInsert(const T& value) const { m_SlotOf.Prefetch(Hash(value)); }

    // Appends the value unless the cell already lists it. The raw form, for
    // callers that fill cells themselves: such a value has no box, so window
    // queries offer it wherever a query meets its cell.
    void AddToCell(cell& target, T value) {
        if (std::find(target.values.begin(), target.values.end(), value) != target.values.end())
            return;
        m_RawValues = true;
        Append(target, value, kRaw);
    }

    // Takes the value out of every cell (and out of the outside list); the
    // number of cells it was listed in.
    int Remove(T value) {
        int removed = 0;
        if (m_RawValues) {
            // Values added cell by cell may sit anywhere.
            for (cell& c : m_Cells)
                removed += EraseFromCell(c, value) ? 1 : 0;
            if (Find(value, Hash(value)) != nullptr)
                RemoveFromGrid(value);
        } else {
            removed = RemoveFromGrid(value);
        }
        if (!m_Outside.empty())
            m_Outside.erase(std::remove(m_Outside.begin(), m_Outside.end(), value),
                            m_Outside.end());
        if (!m_Tags.empty())
            m_Tags.erase(value);
        TidyUp();
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
    // Cells (or sub-cells) from first to last column and row.
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
    // A listed value: its box, computed once when it is inserted (NaN once
    // the value is removed, so that it meets nothing), its rank in its first
    // cell (from Pack on) and its number. Numbers follow the order the
    // values were listed in: a value that moves to other cells is listed
    // anew and takes a new number; one that keeps its cells keeps it.
    struct Entry {
        Box box;
        T value;
        std::uint32_t rank;
        std::uint32_t order;
    };
    // The ranks of a packed value over several cells: its number, where its
    // ranks start (columns outer), its first cell and how many columns and
    // rows it covers.
    struct Side {
        std::uint32_t order;
        std::uint32_t start;
        std::uint16_t c0, r0, columns, rows;
    };
    // The same for a value added beside the packed array.
    struct TailInfo {
        std::uint32_t start;
        std::uint16_t c0, r0, columns, rows;
    };

    // Where a value's entry is: its place in the packed array, or with
    // kTailBit its place beside it; kNoPos once removed.
    static constexpr std::uint32_t kTailBit = 0x80000000u;
    static constexpr std::uint32_t kNoPos = 0xFFFFFFFFu;
    static constexpr std::uint32_t kMaxOrder = 0x7FFFFFF0u;

    // The two levels of the packed index: sub-cells (level 0) for boxes that
    // reach at most one sub-cell on from their first in each direction, and
    // whole cells (level 1) for the others. Each holds, cell by cell (columns
    // outer), the boxes whose lower left corner lies there; ext says how
    // many cells the farthest reaching of them covers past its first, so a
    // query looks that far left and down for boxes that reach it.
    struct Level {
        int grain = 1;
        int extX = 0;
        int extY = 0;
        std::vector<std::uint32_t> starts;
        std::size_t Rows() const { return static_cast<std::size_t>(kRows) * grain; }
        std::size_t CellCount() const { return static_cast<std::size_t>(kColumns) * grain * Rows(); }
        std::size_t At(int column, int row) const {
            return static_cast<std::size_t>(column) * Rows() + static_cast<std::size_t>(row);
        }
    };
    static constexpr int kFineReach = 1;

    static bool LevelFor(const Range& range) {
        return range.x2 - range.x1 > kFineReach || range.y2 - range.y1 > kFineReach;
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

    static std::uint8_t FlagsAt(const Range& cells, int c, int r) {
        return static_cast<std::uint8_t>((c == cells.x1 ? kFirstColumn : 0) | (r == cells.y1 ? kFirstRow : 0));
    }
    static std::size_t CellOf(int c, int r) {
        return static_cast<std::size_t>(c) * kRows + static_cast<std::size_t>(r);
    }

    // The cells of a stored box (always inside the grid).
    Range CellRange(const Box& box) const {
        Range cells;
        GetColumn(static_cast<C>(box.x1), cells.x1);
        GetColumn(static_cast<C>(box.x2), cells.x2);
        GetRow(static_cast<C>(box.y1), cells.y1);
        GetRow(static_cast<C>(box.y2), cells.y2);
        return cells;
    }
    // Its sub-cells with fine sub-cells per cell side.
    Range FineRange(const Box& box, int fine) const {
        Range range;
        FineIndex(static_cast<C>(box.x1), m_Xmin, m_Xmax, kColumns, fine, range.x1);
        FineIndex(static_cast<C>(box.x2), m_Xmin, m_Xmax, kColumns, fine, range.x2);
        FineIndex(static_cast<C>(box.y1), m_Ymin, m_Ymax, kRows, fine, range.y1);
        FineIndex(static_cast<C>(box.y2), m_Ymin, m_Ymax, kRows, fine, range.y2);
        return range;
    }

    // Sub-cells per cell side for the values: about sixteen values per
    // sub-cell (smaller sub-cells cost a query more in sub-cells walked than
    // they save in boxes compared), but sub-cells no smaller than a typical
    // box (the median, so that a few large ones do not decide), or most
    // boxes would reach past their first sub-cell.
    int ChooseFine(const std::vector<Entry>& live) const {
        const std::size_t count = std::max(live.size(), m_Reserved);
        const double perCell = static_cast<double>(count) / (kFineTarget * kColumns * kRows);
        int fine = std::clamp(static_cast<int>(std::lround(std::sqrt(perCell))), 1, kMaxFine);
        const std::size_t step = std::max<std::size_t>(1, live.size() / 4096);
        std::vector<double> widths;
        std::vector<double> heights;
        for (std::size_t i = 0; i < live.size(); i += step) {
            const Box& box = live[i].box;
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

    // A value's hash: the map's slot from its low bits, a tag to tell
    // values apart without reading their entries from its high 32 bits.
    static std::size_t Hash(const T& key) {
        // Pointers are aligned: spread their bits.
        std::uint64_t h = static_cast<std::uint64_t>(std::hash<T>()(key));
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ull;
        h ^= h >> 33;
        return static_cast<std::size_t>(h);
    }

    // An open-addressing map from value to number, holding only the number
    // and a few bits of the value's hash; the value itself is read from its
    // entry. It lets Insert skip the search for duplicates and Remove visit
    // only the value's own cells.
    class SlotMap {
    public:
        void Reserve(std::size_t count) {
            std::size_t size = 16;
            while (size < count * 2)
                size *= 2;
            if (size > m_Slots.size())
                m_Slots.assign(size, Slot{kEmpty, 0});
        }
        void Swap(SlotMap& other) {
            m_Slots.swap(other.m_Slots);
            std::swap(m_Count, other.m_Count);
            std::swap(m_Used, other.m_Used);
        }
        std::size_t Size() const { return m_Count; }
        void Prefetch(std::size_t hash) const {
            if (m_Slots.empty())
                return;
            corvale::PrefetchRead(m_Slots.data() + (hash & (m_Slots.size() - 1)));
        }
        // The number of the value with this hash for which same(number)
        // holds.
        template <class Same> const std::uint32_t* Find(std::size_t hash, Same&& same) const {
            if (m_Slots.empty())
                return nullptr;
            const std::size_t mask = m_Slots.size() - 1;
            const std::uint32_t tag = Tag(hash);
            for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
                const Slot& s = m_Slots[i];
                if (s.order == kEmpty)
                    return nullptr;
                if (s.order != kDeleted && s.tag == tag && same(s.order))
                    return &s.order;
            }
        }
        // Adds a value known not to be in the map; rehash(number) gives the
        // hash of a value already in it.
        template <class Rehash> void Insert(std::size_t hash, std::uint32_t order, Rehash&& rehash) {
            if ((m_Used + 1) * 4 >= m_Slots.size() * 3)
                Enlarge(std::max<std::size_t>(16, m_Count * 4 >= m_Slots.size() ? m_Slots.size() * 2
                                                                              : m_Slots.size()),
                     rehash);
            Place(hash, order);
        }
        template <class Same> void Erase(std::size_t hash, Same&& same) {
            if (m_Slots.empty())
                return;
            const std::size_t mask = m_Slots.size() - 1;
            const std::uint32_t tag = Tag(hash);
            for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
                Slot& s = m_Slots[i];
                if (s.order == kEmpty)
                    return;
                if (s.order != kDeleted && s.tag == tag && same(s.order)) {
                    s.order = kDeleted;
                    --m_Count;
                    return;
                }
            }
        }

    private:
        struct Slot {
            std::uint32_t order;
            std::uint32_t tag;
        };
        static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
        static constexpr std::uint32_t kDeleted = 0xFFFFFFFEu;

        // The bits above those that choose the slot.
        static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

        void Place(std::size_t hash, std::uint32_t order) {
            const std::size_t mask = m_Slots.size() - 1;
            std::size_t i = hash & mask;
            while (m_Slots[i].order != kEmpty && m_Slots[i].order != kDeleted)
                i = (i + 1) & mask;
            if (m_Slots[i].order == kEmpty)
                ++m_Used;
            m_Slots[i] = Slot{order, Tag(hash)};
            ++m_Count;
        }
        template <class Rehash> void Enlarge(std::size_t size, Rehash&& rehash) {
            std::vector<Slot> old(size, Slot{kEmpty, 0});
            m_Slots.swap(old);
            m_Count = 0;
            m_Used = 0;
            for (const Slot& s : old)
                if (s.order != kEmpty && s.order != kDeleted)
                    Place(rehash(s.order), s.order);
        }

        std::vector<Slot> m_Slots;
        std::size_t m_Count = 0;
        std::size_t m_Used = 0;
    };

    // A listed value's number, or null.
    const std::uint32_t* Find(const T& value, std::size_t hash) const {
        return m_SlotOf.Find(hash, [&](std::uint32_t order) { return EntryAt(order).value == value; });
    }
    Entry& EntryAt(std::uint32_t order) {
        const std::uint32_t pos = m_PosOf[order];
        return pos & kTailBit ? m_Tail[pos & ~kTailBit] : m_Entries[pos];
    }
    const Entry& EntryAt(std::uint32_t order) const {
        const std::uint32_t pos = m_PosOf[order];
        return pos & kTailBit ? m_Tail[pos & ~kTailBit] : m_Entries[pos];
    }

    cell& CellAt(int column, int row) {
        return m_Cells[static_cast<std::size_t>(column) * kRows + static_cast<std::size_t>(row)];
    }

    static void Append(cell& target, T value, std::uint8_t flags) {
        // Doubling keeps filling a crowded cell linear; the capacity stays a
        // whole number of steps and above the count.
        if (target.values.size() + 1 >= target.values.capacity()) {
            std::size_t next = std::max<std::size_t>(Grow, target.values.capacity() * 2);
            next = (next + Grow - 1) / Grow * Grow;
            target.values.reserve(next);
            target.flags.reserve(next);
        }
        target.values.push_back(value);
        target.flags.push_back(flags);
    }

    static bool EraseFromCell(cell& c, T value) {
        auto it = std::find(c.values.begin(), c.values.end(), value);
        if (it == c.values.end())
            return false;
        const auto at = it - c.values.begin();
        c.values.erase(it);
        c.flags.erase(c.flags.begin() + at);
        return true;
    }

    // The live values in listing order; the entries beside the packed
    // array are handed over, not copied, when that is all of them.
    std::vector<Entry> LiveInOrder() {
        if (m_Entries.empty() && m_Dead == 0)
            return std::move(m_Tail);
        std::vector<Entry> live;
        live.reserve(m_SlotOf.Size());
        for (const Entry& e : m_Entries)
            if (e.order != kNoPos)
                live.push_back(e);
        // The packed array is in place order, and values moved beside it
        // keep their numbers: all back into listing order.
        for (const Entry& e : m_Tail)
            if (e.order != kNoPos)
                live.push_back(e);
        const auto byOrder = [](const Entry& a, const Entry& b) { return a.order < b.order; };
        if (!std::is_sorted(live.begin(), live.end(), byOrder))
            std::sort(live.begin(), live.end(), byOrder);
        return live;
    }

    // Packs from the live values in listing order (left as they were
    // when it throws).
    void PackFrom(std::vector<Entry>& live) {
        const int fine = live.empty() ? 1 : ChooseFine(live);
        const std::size_t count = live.size();

        // Each value's sub-cells, level and place, counted per place.
        Level levels[2];
        levels[0].grain = fine;
        levels[1].grain = 1;
        for (Level& level : levels)
            level.starts.assign(level.CellCount() + 1, 0);
        std::vector<std::uint32_t> place(count);
        std::vector<unsigned char> levelOf(count);
        for (std::size_t i = 0; i < count; ++i) {
            const Range range = FineRange(live[i].box, fine);
            const unsigned char l = LevelFor(range) ? 1 : 0;
            Level& level = levels[l];
            const Range at = LevelRange(range, fine, l);
            level.extX = std::max(level.extX, at.x2 - at.x1);
            level.extY = std::max(level.extY, at.y2 - at.y1);
            place[i] = static_cast<std::uint32_t>(level.At(at.x1, at.y1));
            levelOf[i] = l;
            ++level.starts[place[i] + 1];
        }
        std::uint32_t total = 0;
        for (Level& level : levels) {
            level.starts[0] += total;
            for (std::size_t i = 1; i < level.starts.size(); ++i)
                level.starts[i] += level.starts[i - 1];
            total = level.starts.back();
        }

        // Ranks in listing order: a value's rank in a cell counts the values
        // listed there before it. The rank in the value's first cell goes
        // with its box; a value over several cells keeps all its ranks on
        // the side, for queries that meet it past its first cell.
        bool renumbered = false;
        for (std::size_t i = 0; i < count && !renumbered; ++i)
            renumbered = live[i].order != i;
        std::vector<std::uint32_t> nextRank(static_cast<std::size_t>(kColumns) * kRows, 0);
        std::vector<Side> side;
        std::vector<std::uint32_t> sideRanks;
        for (std::size_t i = 0; i < count; ++i) {
            const Range cells = CellRange(live[i].box);
            live[i].order = static_cast<std::uint32_t>(i);
            live[i].rank = nextRank[CellOf(cells.x1, cells.y1)]++;
            if (cells.x1 == cells.x2 && cells.y1 == cells.y2)
                continue;
            side.push_back(Side{static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(sideRanks.size()),
                                static_cast<std::uint16_t>(cells.x1), static_cast<std::uint16_t>(cells.y1),
                                static_cast<std::uint16_t>(cells.x2 - cells.x1 + 1),
                                static_cast<std::uint16_t>(cells.y2 - cells.y1 + 1)});
            for (int c = cells.x1; c <= cells.x2; ++c)
                for (int r = cells.y1; r <= cells.y2; ++r)
                    sideRanks.push_back(c == cells.x1 && r == cells.y1 ? live[i].rank
                                                                       : nextRank[CellOf(c, r)]++);
        }

        // Into place, each place's values in listing order.
        std::vector<Entry> packed(count);
        {
            std::vector<std::uint32_t> fill[2] = {
                std::vector<std::uint32_t>(levels[0].starts.begin(), levels[0].starts.end() - 1),
                std::vector<std::uint32_t>(levels[1].starts.begin(), levels[1].starts.end() - 1)};
            for (std::size_t i = 0; i < count; ++i)
                packed[fill[levelOf[i]][place[i]]++] = live[i];
        }
        std::vector<std::uint32_t> posOf(count);
        for (std::size_t p = 0; p < count; ++p)
            posOf[packed[p].order] = static_cast<std::uint32_t>(p);

        // The values keep their listing order but are numbered afresh, so
        // the map from value to number is rebuilt when numbers changed.
        SlotMap slotOf;
        if (renumbered) {
            slotOf.Reserve(count);
            for (std::size_t i = 0; i < count; ++i)
                slotOf.Insert(Hash(live[i].value), static_cast<std::uint32_t>(i),
                              [&live](std::uint32_t o) { return Hash(live[o].value); });
        }

        // Nothing above changed the table; from here nothing throws.
        m_Fine = fine;
        m_Entries.swap(packed);
        m_PosOf.swap(posOf);
        if (renumbered)
            m_SlotOf.Swap(slotOf);
        std::vector<Entry>().swap(m_Tail);
        m_TailInfo.clear();
        m_TailRanks.clear();
        m_TailOf.clear();
        m_TailExtX = m_TailExtY = 0;
        m_Side.swap(side);
        m_SideRanks.swap(sideRanks);
        for (int l = 0; l < 2; ++l)
            m_Levels[l] = std::move(levels[l]);
        m_RankLimit = *std::max_element(nextRank.begin(), nextRank.end());
        m_NextRank.swap(nextRank);
        m_NextOrder = static_cast<std::uint32_t>(count);
        m_Dead = 0;
        m_Packed = true;
    }

    // Numbers the values afresh, keeping their order, and drops removed
    // entries; on a packed table that is packing it again.
    void Renumber() {
        if (m_Packed) {
            Pack();
            return;
        }
        const bool handedOver = m_Dead == 0;
        std::vector<Entry> live = LiveInOrder();
        SlotMap slotOf;
        try {
            slotOf.Reserve(live.size());
        } catch (...) {
            if (handedOver)
                m_Tail.swap(live);
            throw;
        }
        std::vector<std::uint32_t> posOf(live.size());
        for (std::size_t i = 0; i < live.size(); ++i) {
            live[i].order = static_cast<std::uint32_t>(i);
            posOf[i] = static_cast<std::uint32_t>(i) | kTailBit;
            slotOf.Insert(Hash(live[i].value), static_cast<std::uint32_t>(i),
                          [&live](std::uint32_t o) { return Hash(live[o].value); });
        }
        m_Tail.swap(live);
        m_PosOf.swap(posOf);
        m_SlotOf.Swap(slotOf);
        m_NextOrder = static_cast<std::uint32_t>(m_Tail.size());
        m_Dead = 0;
    }

    // Puts an entry beside the packed array, with its ranks: those given
    // (the value kept its place in its cells) or new ones at the end of its
    // cells. Its place, with kTailBit.
    std::uint32_t AddToTail(const Entry& entry, const Range& cells, const std::vector<std::uint32_t>* ranks) {
        TailInfo info{static_cast<std::uint32_t>(m_TailRanks.size()), static_cast<std::uint16_t>(cells.x1),
                      static_cast<std::uint16_t>(cells.y1), static_cast<std::uint16_t>(cells.x2 - cells.x1 + 1),
                      static_cast<std::uint16_t>(cells.y2 - cells.y1 + 1)};
        if (ranks != nullptr) {
            m_TailRanks.insert(m_TailRanks.end(), ranks->begin(), ranks->end());
        } else {
            for (int c = cells.x1; c <= cells.x2; ++c)
                for (int r = cells.y1; r <= cells.y2; ++r) {
                    const std::uint32_t rank = m_NextRank[CellOf(c, r)]++;
                    m_RankLimit = std::max(m_RankLimit, rank + 1);
                    m_TailRanks.push_back(rank);
                }
        }
        if (m_TailOf.empty())
            m_TailOf.resize(static_cast<std::size_t>(kColumns) * kRows);
        const auto index = static_cast<std::uint32_t>(m_Tail.size());
        m_Tail.push_back(entry);
        m_Tail.back().rank = m_TailRanks[info.start];
        m_TailInfo.push_back(info);
        m_TailOf[CellOf(cells.x1, cells.y1)].push_back(index);
        m_TailExtX = std::max(m_TailExtX, cells.x2 - cells.x1);
        m_TailExtY = std::max(m_TailExtY, cells.y2 - cells.y1);
        return index | kTailBit;
    }

    // A listed value's new box under the same cells: it keeps its place in
    // them.
    void Reshape(std::uint32_t order, const Box& box) {
        const std::uint32_t pos = m_PosOf[order];
        Entry& entry = EntryAt(order);
        if (!m_Packed || (pos & kTailBit) != 0 ||
            FineRange(entry.box, m_Fine) == FineRange(box, m_Fine)) {
            // Beside the packed array the value is found by its cells, and
            // in it by its sub-cells, which stay the same.
            entry.box = box;
            return;
        }
        // Another place in the packed array: the value moves beside it with
        // its ranks.
        const Range cells = CellRange(entry.box);
        std::vector<std::uint32_t> ranks = RanksOf(entry, cells);
        Entry moved = entry;
        moved.box = box;
        entry.box = DeadBox();
        entry.order = kNoPos;
        ++m_Dead;
        m_PosOf[order] = AddToTail(moved, cells, &ranks);
    }

    // The ranks of a packed value in all its cells, columns outer.
    std::vector<std::uint32_t> RanksOf(const Entry& entry, const Range& cells) const {
        if (cells.x1 == cells.x2 && cells.y1 == cells.y2)
            return {entry.rank};
        const Side& side = SideOf(entry.order);
        const std::size_t n = static_cast<std::size_t>(side.columns) * side.rows;
        return std::vector<std::uint32_t>(m_SideRanks.begin() + side.start, m_SideRanks.begin() + side.start + n);
    }
    const Side& SideOf(std::uint32_t order) const {
        return *std::lower_bound(m_Side.begin(), m_Side.end(), order,
                                 [](const Side& s, std::uint32_t o) { return s.order < o; });
    }

    static Box DeadBox() {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return Box{nan, nan, nan, nan};
    }

    // Takes a value with a box out of its own cells; the number of cells.
    int RemoveFromGrid(T value) {
        const std::size_t hash = Hash(value);
        const std::uint32_t* found = Find(value, hash);
        if (found == nullptr)
            return 0;
        const std::uint32_t order = *found;
        Entry& entry = EntryAt(order);
        const Range cells = CellRange(entry.box);
        int removed = 0;
        for (int c = cells.x1; c <= cells.x2; ++c)
            for (int r = cells.y1; r <= cells.y2; ++r)
                removed += EraseFromCell(CellAt(c, r), value) ? 1 : 0;
        m_SlotOf.Erase(hash, [&](std::uint32_t o) { return o == order; });
        entry.box = DeadBox();
        entry.order = kNoPos;
        m_PosOf[order] = kNoPos;
        ++m_Dead;
        return removed;
    }

    // Edits since the last Pack sit beside the packed array or leave dead
    // entries in it; once they reach half of it, packing again is cheaper
    // than walking them, and costs no more than the edits did. Before the
    // first Pack, removed entries are dropped once they are as many.
    void TidyUp() {
        if (m_Packed) {
            if (m_Tail.size() + m_Dead > m_Entries.size() / 2 + 1024)
                Pack();
        } else if (m_Dead > m_Tail.size() / 2 + 1024) {
            Renumber();
        }
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
                    const std::uint8_t flags = whole.flags[n];
                    if ((flags & kRaw) == 0) {
                        // A value is offered in the first cell, in the
                        // walk's order, that both its box and the query
                        // cover.
                        if ((c != c1 && (flags & kFirstColumn) == 0) || (r != r1 && (flags & kFirstRow) == 0))
                            continue;
                        if (exact) {
                            const T value = whole.values[n];
                            const std::uint32_t* order = Find(value, Hash(value));
                            if (order == nullptr || !Meets(EntryAt(*order).box, qx1, qy1, qx2, qy2))
                                continue;
                        }
                    }
                    if (!visit(whole.values[n]))
                        return false;
                }
            }
        }
        return true;
    }

    // ForEachInBox over the packed index: for each cell under the query, in
    // the walk's order, the boxes that start in it, and in the query's first
    // column or row also those that start left of or below it and reach it;
    // those meeting the query are put in the cell's listing order by their
    // ranks there.
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
        const std::uint32_t* fineStarts = fineLevel.starts.data();
        const std::uint32_t* wideStarts = wideLevel.starts.data();
        const Entry* entries = m_Entries.data();
        const bool wide = wideLevel.starts.back() != wideLevel.starts.front();
        const bool tail = !m_TailOf.empty();
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
        auto room = [&](std::size_t more) {
            if (group.size() < hits + more)
                group.resize(std::max(hits + more, group.size() * 2));
        };
        // Boxes starting in the cell: every copy is written to the next free
        // place and kept only when it meets the query, so the scan does not
        // branch on the outcome.
        auto scan = [&](const Entry* e, const Entry* end) {
            room(static_cast<std::size_t>(end - e));
            Hit* out = group.data();
            std::size_t n = hits;
            for (; e != end; ++e) {
                const Box& b = e->box;
                out[n] = Hit{e->rank, e->value};
                n += static_cast<std::size_t>((b.x1 <= qx2) & (qx1 <= b.x2) & (b.y1 <= qy2) & (qy1 <= b.y2));
            }
            hits = n;
        };
        // Boxes starting in an earlier cell: their rank in this one is kept
        // on the side.
        auto scanReaching = [&](const Entry* e, const Entry* end, int c, int r) {
            for (; e != end; ++e) {
                if (!Meets(e->box, qx1, qy1, qx2, qy2))
                    continue;
                const Side& side = SideOf(e->order);
                room(1);
                group[hits++] = Hit{m_SideRanks[side.start + static_cast<std::size_t>(c - side.c0) * side.rows +
                                                static_cast<std::size_t>(r - side.r0)],
                                    e->value};
            }
        };
        // The boxes of one column of a level whose lower left corner lies
        // from row lo to row hi, those below the cell's own rows reaching
        // it from an earlier cell.
        auto scanColumn = [&](const std::uint32_t* starts, std::size_t base, int lo, int hi, int ownRow,
                              bool ownColumn, int c, int r) {
            const int split = std::max(lo, ownRow);
            if (lo < split)
                scanReaching(entries + starts[base + lo], entries + starts[base + split], c, r);
            if (split > hi)
                return;
            const Entry* e = entries + starts[base + split];
            const Entry* end = entries + starts[base + hi + 1];
            if (ownColumn)
                scan(e, end);
            else
                scanReaching(e, end, c, r);
        };
        for (int c = f1 / k; c <= f2 / k; ++c) {
            const bool firstColumn = c == f1 / k;
            const int fxLo = firstColumn ? std::max(0, f1 - fineLevel.extX) : c * k;
            const int fxHi = std::min(f2, c * k + k - 1);
            for (int r = g1 / k; r <= g2 / k; ++r) {
                const bool firstRow = r == g1 / k;
                const int fyLo = firstRow ? std::max(0, g1 - fineLevel.extY) : r * k;
                const int fyHi = std::min(g2, r * k + k - 1);
                hits = 0;
#if defined(__GNUC__)
                // The runs of the sub-columns lie apart in the array: ask for
                // all of them before scanning, since a big table's scan
                // waits on memory more than on comparisons.
                for (int fx = fxLo; fx <= fxHi; ++fx) {
                    const std::size_t base = static_cast<std::size_t>(fx) * fineRows;
                    const char* from = reinterpret_cast<const char*>(entries + fineStarts[base + fyLo]);
                    const char* to = reinterpret_cast<const char*>(entries + fineStarts[base + fyHi + 1]);
                    for (; from < to; from += 64)
                        __builtin_prefetch(from);
                }
#endif
                for (int fx = fxLo; fx <= fxHi; ++fx)
                    scanColumn(fineStarts, static_cast<std::size_t>(fx) * fineRows, fyLo, fyHi, r * k,
                               fx >= c * k, c, r);
                if (wide) {
                    const int cxLo = firstColumn ? std::max(0, c - wideLevel.extX) : c;
                    const int cyLo = firstRow ? std::max(0, r - wideLevel.extY) : r;
                    for (int cx = cxLo; cx <= c; ++cx)
                        scanColumn(wideStarts, static_cast<std::size_t>(cx) * kRows, cyLo, r, r, cx == c, c, r);
                }
                if (tail) {
                    const int cxLo = firstColumn ? std::max(0, c - m_TailExtX) : c;
                    const int cyLo = firstRow ? std::max(0, r - m_TailExtY) : r;
                    for (int cx = cxLo; cx <= c; ++cx)
                        for (int cy = cyLo; cy <= r; ++cy)
                            for (std::uint32_t index : m_TailOf[CellOf(cx, cy)]) {
                                const Entry& e = m_Tail[index];
                                if (!Meets(e.box, qx1, qy1, qx2, qy2))
                                    continue;
                                const TailInfo& info = m_TailInfo[index];
                                room(1);
                                group[hits++] =
                                    Hit{m_TailRanks[info.start + static_cast<std::size_t>(c - info.c0) * info.rows +
                                                    static_cast<std::size_t>(r - info.r0)],
                                        e.value};
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

    // Every listed value's entry: in the packed array (from Pack on) or
    // beside it (all of them before the first Pack); where each number's
    // entry is, and the map from value to number.
    std::vector<Entry> m_Entries;
    std::vector<Entry> m_Tail;
    std::vector<std::uint32_t> m_PosOf;
    SlotMap m_SlotOf;
    std::uint32_t m_NextOrder = 0;
    std::size_t m_Dead = 0;
    bool m_RawValues = false;
    std::size_t m_Reserved = 0;

    // The window-query side, from Pack on: sub-cells per cell side, the
    // two levels, the ranks of packed values over several cells (by
    // number), and for the values beside the packed array their ranks, the
    // lists of them by first cell and how far they reach.
    int m_Fine = 1;
    bool m_Packed = false;
    Level m_Levels[2];
    std::vector<Side> m_Side;
    std::vector<std::uint32_t> m_SideRanks;
    std::vector<TailInfo> m_TailInfo;
    std::vector<std::uint32_t> m_TailRanks;
    std::vector<std::vector<std::uint32_t>> m_TailOf;
    int m_TailExtX = 0;
    int m_TailExtY = 0;
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
    // InsertRecord for each record in turn, as a build fills the table;
    // the number of records that went to the outside list.
    std::size_t InsertRecords(CShapeRecord* const* records, std::size_t count);

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
