#include "geometry/SpatialHash.h"

#include "shapes/RecordFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <map>
#include <set>
#include <tuple>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<CShapeRecord*> Candidates(const CShapeAreaHashTable& hash, const CDoubleRect& box) {
    std::vector<CShapeRecord*> found;
    hash.ForEachCandidate(box, [&](CShapeRecord* record) {
        found.push_back(record);
        return true;
    });
    return found;
}

} // namespace

TEST(AreaHashTable, ColumnsAndRowsAtTheGridEdges) {
    // Cells 2 wide and 1 high.
    const CShapeAreaHashTable hash(0, 0, 100, 50);
    struct Case {
        double x;
        bool ok;
        int column;
    };
    const Case cases[] = {
        {0, true, 0},    {1.999, true, 0},         {2, true, 1},       {99.999, true, 49},
        {100, true, 49}, {100.0000001, false, 50}, {-1, true, 0},      {-1.999, true, 0},
        {-2, false, -1}, {kInf, false, 50},        {-kInf, false, -1}, {std::nan(""), false, -1},
    };
    for (const Case& c : cases) {
        int column = 1234;
        EXPECT_EQ(hash.GetColumn(c.x, column), c.ok) << c.x;
        EXPECT_EQ(column, c.column) << c.x;
    }
    int row = 0;
    EXPECT_TRUE(hash.GetRow(50, row));
    EXPECT_EQ(row, 49);
    EXPECT_TRUE(hash.GetRow(0.5, row));
    EXPECT_EQ(row, 0);
    EXPECT_FALSE(hash.GetRow(50.5, row));
    int column = 0;
    EXPECT_FALSE(hash.GetCell(50, 60, column, row));
    EXPECT_EQ(column, 25);
    EXPECT_EQ(row, 50);
}

// A theme whose records all sit on one point (or one line) has bounds of no
// width or height; the grid must still answer without dividing into an
// integer cast.
TEST(AreaHashTable, ZeroSizedAndUndefinedGrids) {
    const CShapeAreaHashTable flat(5, 5, 5, 5);
    int column = 0;
    EXPECT_TRUE(flat.GetColumn(5, column));
    EXPECT_EQ(column, 49);
    EXPECT_FALSE(flat.GetColumn(4.9, column));
    EXPECT_EQ(column, -1);
    EXPECT_FALSE(flat.GetColumn(5.1, column));
    EXPECT_EQ(column, 50);

    CShapeAreaHashTable undefined(std::nan(""), 0, 10, 10);
    EXPECT_FALSE(undefined.GetColumn(3, column));
    Bytes square = MakeMulti(SHT_Polygon, {{{1, 1}, {1, 2}, {2, 2}, {1, 1}}});
    EXPECT_FALSE(undefined.InsertRecord(Rec(square)));
    EXPECT_EQ(Candidates(undefined, CDoubleRect(0, 0, 10, 10)).size(), 1u);
}

TEST(AreaHashTable, InsertCoversEveryCellOfTheBox) {
    CShapeAreaHashTable hash(0, 0, 50, 50);
    Bytes whole = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 50}, {50, 50}, {50, 0}, {0, 0}}});
    Bytes corner = MakeMulti(SHT_Polyline, {{{0.5, 0.5}, {1.5, 2.5}}});
    ASSERT_TRUE(hash.InsertRecord(Rec(whole)));
    ASSERT_TRUE(hash.InsertRecord(Rec(corner)));
    int cells = 0;
    for (int c = 0; c < 50; ++c)
        for (int r = 0; r < 50; ++r)
            cells += hash.GetCellAt(c, r).count();
    EXPECT_EQ(cells, 2500 + 2 * 3);
    // Adding a value a cell already lists changes nothing.
    ASSERT_TRUE(hash.InsertRecord(Rec(corner)));
    EXPECT_EQ(hash.GetCellAt(1, 2).count(), 2);
    EXPECT_EQ(hash.Remove(Rec(whole)), 2500);
    EXPECT_EQ(hash.Remove(Rec(corner)), 6);
    EXPECT_EQ(hash.Remove(Rec(corner)), 0);
    EXPECT_EQ(hash.GetCellAt(0, 0).count(), 0);
}

TEST(AreaHashTable, CellsGrowInStepsOf64) {
    stdext::area_hash_table<int, double, 64> hash(0, 0, 10, 10);
    for (int v = 1; v <= 200; ++v)
        ASSERT_TRUE(hash.Insert(1, 1, 1, 1, v));
    const auto& cell = hash.GetCellAt(5, 5);
    EXPECT_EQ(cell.count(), 200);
    EXPECT_EQ(cell.capacity() % 64, 0);
    EXPECT_GT(cell.capacity(), cell.count());
}

TEST(AreaHashTable, TaggedEntriesAreHandedOutOncePerQuery) {
    stdext::area_hash_table<const char*, double, 64> hash(0, 0, 10, 10);
    const char* wide = "wide";
    hash.Insert(0, 0, 5, 0.1, wide);
    hash.SetTagging(true);
    hash.AdvanceTag();
    int seen = 0;
    for (int c = 0; c < 50; ++c)
        for (int n = 0; n < hash.GetCellAt(c, 0).count(); ++n)
            seen += hash.GetCellEntry(c, 0, n) != nullptr;
    EXPECT_EQ(seen, 1);
    hash.AdvanceTag();
    EXPECT_EQ(hash.GetCellEntry(3, 0, 0), wide);
    EXPECT_EQ(hash.GetCellEntry(3, 0, 1), nullptr);
    EXPECT_EQ(hash.GetCellEntry(50, 0, 0), nullptr);
    hash.SetTagging(false);
    EXPECT_EQ(hash.GetCellEntry(3, 0, 0), wide);
    EXPECT_EQ(hash.GetCellEntry(3, 0, 0), wide);
}

// The candidates of a box are every record whose box meets it, each once,
// whether it sits in the grid or outside it.
TEST(AreaHashTable, CandidatesMatchALinearScan) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-10, 110);
    std::uniform_real_distribution<double> size(0, 15);
    std::vector<Bytes> records;
    for (int i = 0; i < 400; ++i) {
        const double x = coordinate(random);
        const double y = coordinate(random);
        const double w = size(random);
        const double h = size(random);
        records.push_back(
            MakeMulti(SHT_Polygon, {{{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}, {x, y}}}));
    }
    // The grid covers only part of the records, as after edits that grew a
    // theme beyond the bounds its hash was built with.
    CShapeAreaHashTable hash(0, 0, 100, 100);
    int outside = 0;
    for (Bytes& record : records)
        outside += hash.InsertRecord(Rec(record)) ? 0 : 1;
    ASSERT_GT(outside, 0);
    EXPECT_EQ(hash.GetOutsideCount(), outside);

    for (int q = 0; q < 200; ++q) {
        const CDoubleRect box(coordinate(random), coordinate(random), coordinate(random),
                              coordinate(random));
        const std::vector<CShapeRecord*> found = Candidates(hash, box);
        const std::set<CShapeRecord*> unique(found.begin(), found.end());
        ASSERT_EQ(unique.size(), found.size()) << "a record offered twice";
        for (Bytes& record : records) {
            const CShapeRecord* r = Rec(record);
            const CDoubleRect recordBox(CShapeRecord::GetMinX(r), CShapeRecord::GetMinY(r),
                                        CShapeRecord::GetMaxX(r), CShapeRecord::GetMaxY(r));
            if (recordBox.Intersects(box)) {
                ASSERT_EQ(unique.count(Rec(record)), 1u) << "query " << q;
            }
        }
    }
    // Removing a record takes it out of the outside list too.
    for (Bytes& record : records)
        hash.Remove(Rec(record));
    EXPECT_EQ(hash.GetOutsideCount(), 0);
    EXPECT_TRUE(Candidates(hash, CDoubleRect(-kInf, -kInf, kInf, kInf)).empty());
}

// Filling a table in one call lists the records as inserting them in turn
// does: the same cells, the same outside list, the same answers in the same
// order, a record given twice moved to its latest place.
TEST(AreaHashTable, FillingInOneCallListsAsInsertingInTurn) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-10, 110);
    std::uniform_real_distribution<double> size(0, 15);
    std::vector<Bytes> records;
    for (int i = 0; i < 300; ++i) {
        const double x = coordinate(random);
        const double y = coordinate(random);
        records.push_back(MakeMulti(SHT_Polyline, {{{x, y}, {x + size(random), y + size(random)}}}));
    }
    std::vector<CShapeRecord*> list;
    for (Bytes& record : records)
        list.push_back(Rec(record));
    list.push_back(list[5]);
    list.push_back(list[0]);

    CShapeAreaHashTable single(0, 0, 100, 100);
    CShapeAreaHashTable bulk(0, 0, 100, 100);
    single.Reserve(list.size());
    bulk.Reserve(list.size());
    std::size_t outside = 0;
    for (CShapeRecord* record : list)
        outside += single.InsertRecord(record) ? 0 : 1;
    ASSERT_GT(outside, 0u);
    EXPECT_EQ(bulk.InsertRecords(list.data(), list.size()), outside);
    EXPECT_EQ(bulk.GetOutsideCount(), single.GetOutsideCount());
    for (int c = 0; c < CShapeAreaHashTable::kColumns; ++c)
        for (int r = 0; r < CShapeAreaHashTable::kRows; ++r)
            ASSERT_EQ(bulk.GetCellAt(c, r).values, single.GetCellAt(c, r).values) << c << " " << r;
    for (bool packed : {false, true}) {
        if (packed) {
            single.Pack();
            bulk.Pack();
        }
        for (int q = 0; q < 100; ++q) {
            const CDoubleRect box(coordinate(random), coordinate(random), coordinate(random),
                                  coordinate(random));
            ASSERT_EQ(Candidates(bulk, box), Candidates(single, box)) << "query " << q;
        }
    }
}

namespace {

// A model of a table: what was inserted, in order, and the boxes; the
// expected answer of a window query is worked out from it by a plain scan.
struct ModelEntry {
    int value;
    double x1, y1, x2, y2;
};

using Table = stdext::area_hash_table<int, double, 64>;

// Every value whose box meets the query (with wholeCells, every value listed
// in a cell under it), ordered by the first cell (columns outer) that both
// cover and then by insertion, followed by the outside list.
std::vector<int> ScanInBox(const Table& table, const std::vector<ModelEntry>& listed,
                           const std::vector<int>& outside, double qx1, double qy1, double qx2,
                           double qy2, bool wholeCells = false) {
    if (qx2 < qx1)
        std::swap(qx1, qx2);
    if (qy2 < qy1)
        std::swap(qy1, qy2);
    int c1 = 0;
    int c2 = 0;
    int r1 = 0;
    int r2 = 0;
    table.GetColumn(qx1, c1);
    table.GetColumn(qx2, c2);
    table.GetRow(qy1, r1);
    table.GetRow(qy2, r2);
    c1 = std::max(c1, 0);
    r1 = std::max(r1, 0);
    c2 = std::min(c2, Table::kColumns - 1);
    r2 = std::min(r2, Table::kRows - 1);
    std::vector<std::tuple<int, int, std::size_t, int>> keyed;
    for (std::size_t n = 0; n < listed.size(); ++n) {
        const ModelEntry& e = listed[n];
        int c = 0;
        int r = 0;
        table.GetColumn(e.x1, c);
        table.GetRow(e.y1, r);
        if (wholeCells) {
            int ce = 0;
            int re = 0;
            table.GetColumn(e.x2, ce);
            table.GetRow(e.y2, re);
            if (ce < c1 || c > c2 || re < r1 || r > r2)
                continue;
        } else if (!(e.x1 <= qx2 && qx1 <= e.x2 && e.y1 <= qy2 && qy1 <= e.y2)) {
            continue;
        }
        keyed.emplace_back(std::max(c, c1), std::max(r, r1), n, e.value);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<int> expected;
    for (const auto& k : keyed)
        expected.push_back(std::get<3>(k));
    expected.insert(expected.end(), outside.begin(), outside.end());
    return expected;
}

std::vector<int> InBox(const Table& table, double x1, double y1, double x2, double y2) {
    std::vector<int> found;
    table.ForEachInBox(x1, y1, x2, y2, [&](int value) {
        found.push_back(value);
        return true;
    });
    return found;
}

std::vector<int> InCells(const Table& table, double x1, double y1, double x2, double y2) {
    std::vector<int> found;
    table.ForEachInCells(x1, y1, x2, y2, [&](int value) {
        found.push_back(value);
        return true;
    });
    return found;
}

} // namespace

// Window queries give exactly the values whose boxes meet the window (or, for
// drawing, all those listed in the cells under it), in the order of the cell
// walk, whether the table walks its cells or its packed index (cells split
// into sub-cells for small boxes, wide boxes kept per cell), and keep doing
// so while values are removed, moved and inserted again, and when the table
// packs itself again after many edits.
TEST(AreaHashTable, WindowQueriesMatchAPlainScanBeforeAndAfterEdits) {
    struct Case {
        std::size_t reserve; // the count the sub-cells are sized for
        int values;
        double maxSize;
        bool pack;
        int wideEvery; // every so many values gets a box up to 60 across
    };
    const Case cases[] = {
        {0, 1500, 20, false, 0},      {200000, 1500, 20, true, 0},
        {200000, 3000, 0.3, true, 25}, {500000, 3000, 0.1, true, 10},
        {200000, 800, 120, true, 0},   {0, 3000, 3, false, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.reserve);
        SCOPED_TRACE(test.maxSize);
        std::mt19937 random(static_cast<unsigned>(test.values + test.reserve));
        std::uniform_real_distribution<double> coordinate(-5, 105);
        std::uniform_real_distribution<double> size(0, test.maxSize);
        std::uniform_real_distribution<double> wideSize(0, 60);
        std::uniform_int_distribution<int> pick(0, 9);
        Table table(0, 0, 100, 100);
        table.Reserve(test.reserve);
        std::vector<ModelEntry> listed;
        std::vector<int> outside;
        auto insert = [&](int value) {
            double x = coordinate(random);
            double y = coordinate(random);
            const bool wide = test.wideEvery > 0 && value % test.wideEvery == 0;
            double w = wide ? wideSize(random) : size(random);
            double h = wide ? wideSize(random) : size(random);
            // Some boxes are points, some lie on cell borders.
            if (pick(random) == 0)
                w = h = 0;
            if (pick(random) == 0) {
                x = std::floor(x / 2) * 2;
                y = std::floor(y / 2) * 2;
            }
            // Corners in either order.
            const bool inside = pick(random) < 5 ? table.Insert(x, y, x + w, y + h, value)
                                                 : table.Insert(x + w, y + h, x, y, value);
            if (inside)
                listed.push_back({value, x, y, x + w, y + h});
            else
                outside.push_back(value);
        };
        for (int v = 1; v <= test.values; ++v)
            insert(v);
        ASSERT_FALSE(outside.empty());
        if (test.pack)
            table.Pack();

        auto check = [&](const char* when) {
            std::uniform_real_distribution<double> queryCoordinate(-10, 110);
            std::uniform_real_distribution<double> querySize(0, 30);
            for (int q = 0; q < 150; ++q) {
                const double x = queryCoordinate(random);
                const double y = queryCoordinate(random);
                const double w = q % 10 == 0 ? 0 : querySize(random);
                const double h = q % 10 == 0 ? 0 : querySize(random);
                ASSERT_EQ(InBox(table, x + w, y, x, y + h),
                          ScanInBox(table, listed, outside, x, y, x + w, y + h))
                    << when << " query " << q;
                ASSERT_EQ(InCells(table, x, y + h, x + w, y),
                          ScanInBox(table, listed, outside, x, y, x + w, y + h, true))
                    << when << " query " << q << " in whole cells";
            }
            ASSERT_EQ(InBox(table, -1e9, -1e9, 1e9, 1e9),
                      ScanInBox(table, listed, outside, -1e9, -1e9, 1e9, 1e9))
                << when;
        };
        check("after building");

        // Remove every third value, move some (re-inserted with a new box, as
        // edits do), and insert the same value again with an unchanged box.
        std::vector<ModelEntry> kept;
        int moved = 0;
        for (const ModelEntry& e : listed) {
            if (e.value % 3 == 0) {
                EXPECT_GT(table.Remove(e.value), 0);
            } else if (e.value % 3 == 1 && moved < test.values / 5) {
                table.Remove(e.value);
                ++moved;
                continue; // inserted below, at the end
            } else {
                EXPECT_TRUE(table.Insert(e.x1, e.y1, e.x2, e.y2, e.value));
                kept.push_back(e);
            }
        }
        listed = kept;
        for (int v = 1; v <= test.values; ++v) {
            if (v % 3 == 1 && std::none_of(listed.begin(), listed.end(),
                                           [v](const ModelEntry& e) { return e.value == v; }) &&
                std::find(outside.begin(), outside.end(), v) == outside.end())
                insert(v);
        }
        outside.erase(std::remove_if(outside.begin(), outside.end(),
                                     [&](int v) {
                                         if (v % 3 != 0)
                                             return false;
                                         table.Remove(v);
                                         return true;
                                     }),
                      outside.end());
        EXPECT_EQ(table.GetOutsideCount(), static_cast<int>(outside.size()));
        check("after edits");
        table.Pack();
        check("after packing again");

        // Moving every value makes the table pack itself again on the way. A
        // value that stays in the same cells keeps its place in them; one
        // that moves to other cells is listed last.
        std::vector<ModelEntry> stayed;
        std::vector<ModelEntry> movedOn;
        auto cellRange = [&table](const ModelEntry& e) {
            int a = 0, b = 0, p = 0, q = 0;
            table.GetColumn(e.x1, a);
            table.GetColumn(e.x2, b);
            table.GetRow(e.y1, p);
            table.GetRow(e.y2, q);
            return std::make_tuple(a, b, p, q);
        };
        for (const ModelEntry& before : listed) {
            ModelEntry e = before;
            const double dx = e.value % 2 == 0 ? 0.7 : -0.3;
            e.x1 += dx;
            e.x2 += dx;
            if (!table.Insert(e.x1, e.y1, e.x2, e.y2, e.value))
                outside.push_back(e.value);
            else if (cellRange(e) == cellRange(before))
                stayed.push_back(e);
            else
                movedOn.push_back(e);
        }
        listed = stayed;
        listed.insert(listed.end(), movedOn.begin(), movedOn.end());
        check("after moving every value");

        // The cells list exactly the values left, each in every cell of its box.
        std::map<int, int> cellsOf;
        for (int c = 0; c < Table::kColumns; ++c)
            for (int r = 0; r < Table::kRows; ++r)
                for (int value : table.GetCellAt(c, r).values)
                    ++cellsOf[value];
        ASSERT_EQ(cellsOf.size(), listed.size());
        for (const ModelEntry& e : listed) {
            int a = 0, b = 0, p = 0, q = 0;
            table.GetColumn(e.x1, a);
            table.GetColumn(e.x2, b);
            table.GetRow(e.y1, p);
            table.GetRow(e.y2, q);
            EXPECT_EQ(cellsOf[e.value], (b - a + 1) * (q - p + 1)) << e.value;
        }
    }
}

// A value inserted again with a box under other cells moves to them: it is
// never listed twice, and a stale box does not keep answering queries.
TEST(AreaHashTable, InsertingAgainMovesTheValue) {
    for (std::size_t reserve : {std::size_t{0}, std::size_t{500000}}) {
        Table table(0, 0, 100, 100);
        table.Reserve(reserve);
        ASSERT_TRUE(table.Insert(1, 1, 3, 3, 7));
        ASSERT_TRUE(table.Insert(1, 1, 3, 3, 8));
        if (reserve > 0)
            table.Pack();
        ASSERT_TRUE(table.Insert(80, 80, 81, 81, 7));
        EXPECT_EQ(InBox(table, 0, 0, 10, 10), std::vector<int>{8});
        EXPECT_EQ(InBox(table, 79, 79, 90, 90), std::vector<int>{7});
        EXPECT_EQ(table.GetCellAt(0, 0).count(), 1);
        // Moving outside the grid takes it out of the cells.
        EXPECT_FALSE(table.Insert(180, 80, 181, 81, 7));
        EXPECT_EQ(table.GetCellAt(40, 40).count(), 0);
        EXPECT_EQ(InBox(table, 79, 79, 90, 90), std::vector<int>{7});
        EXPECT_EQ(table.Remove(7), 0);
        EXPECT_EQ(table.GetOutsideCount(), 0);
        EXPECT_EQ(table.Remove(8), 4);
        EXPECT_TRUE(InBox(table, -1e9, -1e9, 1e9, 1e9).empty());
        // Moving back inside takes it out of the outside list: it is offered
        // once.
        EXPECT_FALSE(table.Insert(180, 80, 181, 81, 9));
        EXPECT_TRUE(table.Insert(50, 50, 51, 51, 9));
        EXPECT_EQ(table.GetOutsideCount(), 0);
        EXPECT_EQ(InBox(table, -1e9, -1e9, 1e9, 1e9), std::vector<int>{9});
    }
}

// A walk stopped by its visitor, and a query run from inside another one's
// visitor, leave nothing behind that a later query would see; a query with
// an undefined side finds nothing in the grid, only the outside list.
TEST(AreaHashTable, StoppedNestedAndUndefinedQueries) {
    Table table(0, 0, 100, 100);
    table.Reserve(400000);
    std::mt19937 random(77);
    std::uniform_real_distribution<double> coordinate(0, 98);
    std::uniform_real_distribution<double> size(0, 1.5);
    for (int v = 1; v <= 4000; ++v) {
        const double x = coordinate(random);
        const double y = coordinate(random);
        ASSERT_TRUE(table.Insert(x, y, x + size(random), y + size(random), v));
    }
    ASSERT_FALSE(table.Insert(150, 150, 151, 151, 5000));
    table.Pack();

    const std::vector<int> whole = InBox(table, 10, 10, 40, 40);
    ASSERT_GT(whole.size(), 100u);
    for (std::size_t stopAt : {std::size_t{0}, std::size_t{1}, std::size_t{17}, whole.size() / 2}) {
        std::vector<int> first;
        table.ForEachInBox(10.0, 10.0, 40.0, 40.0, [&](int value) {
            first.push_back(value);
            return first.size() <= stopAt;
        });
        EXPECT_EQ(first, std::vector<int>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(stopAt + 1)));
        EXPECT_EQ(InBox(table, 10, 10, 40, 40), whole) << stopAt;
    }

    // Each value of one query, and beside it a whole second query.
    const std::vector<int> other = InBox(table, 35, 5, 60, 38);
    std::vector<int> outer;
    table.ForEachInBox(10.0, 10.0, 40.0, 40.0, [&](int value) {
        outer.push_back(value);
        EXPECT_EQ(InBox(table, 35, 5, 60, 38), other);
        return true;
    });
    EXPECT_EQ(outer, whole);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int side = 0; side < 4; ++side) {
        double q[4] = {10, 10, 40, 40};
        q[side] = nan;
        EXPECT_EQ(InBox(table, q[0], q[1], q[2], q[3]), std::vector<int>{5000}) << side;
    }
}

// Most values crowded into one cell, as on a map of one dense town in a wide
// extent: a cell then ranks thousands of values, and its values must still
// come in the order they were listed, before and after edits, including
// those whose boxes start in a neighbouring cell and reach into the query.
TEST(AreaHashTable, CrowdedCellKeepsItsOrder) {
    Table table(0, 0, 100, 100);
    std::mt19937 random(2026);
    // One cell is 10 to 12 across: more values than a cell's ranks fit in a
    // bitmap.
    std::uniform_real_distribution<double> town(10.1, 11.95);
    std::uniform_real_distribution<double> anywhere(0, 99);
    std::uniform_real_distribution<double> size(0, 0.2);
    std::vector<ModelEntry> listed;
    for (int v = 1; v <= 12000; ++v) {
        const bool inTown = v % 10 != 0;
        const double x = inTown ? town(random) : anywhere(random);
        const double y = inTown ? town(random) : anywhere(random);
        const double w = size(random);
        const double h = size(random);
        ASSERT_TRUE(table.Insert(x, y, x + w, y + h, v));
        listed.push_back({v, x, y, x + w, y + h});
    }
    table.Pack();
    const std::vector<int> none;
    std::uniform_real_distribution<double> corner(8, 14);
    std::uniform_real_distribution<double> side(0, 3);
    auto check = [&](const char* when) {
        for (int q = 0; q < 60; ++q) {
            const double x = corner(random);
            const double y = corner(random);
            const double w = side(random);
            const double h = side(random);
            ASSERT_EQ(InBox(table, x, y, x + w, y + h), ScanInBox(table, listed, none, x, y, x + w, y + h))
                << when << " query " << q;
        }
    };
    check("after packing");
    // Every other value removed, some of the rest moved a little (within
    // their cells or not) and new ones added.
    std::vector<ModelEntry> kept;
    std::vector<ModelEntry> movedOn;
    for (const ModelEntry& e : listed) {
        if (e.value % 2 == 0) {
            table.Remove(e.value);
            continue;
        }
        if (e.value % 3 != 0) {
            kept.push_back(e);
            continue;
        }
        ModelEntry m = e;
        m.x1 += 0.15;
        m.x2 += 0.15;
        int before = 0, after = 0;
        table.GetColumn(e.x1, before);
        table.GetColumn(m.x1, after);
        int beforeEnd = 0, afterEnd = 0;
        table.GetColumn(e.x2, beforeEnd);
        table.GetColumn(m.x2, afterEnd);
        ASSERT_TRUE(table.Insert(m.x1, m.y1, m.x2, m.y2, m.value));
        (before == after && beforeEnd == afterEnd ? kept : movedOn).push_back(m);
    }
    listed = kept;
    listed.insert(listed.end(), movedOn.begin(), movedOn.end());
    for (int v = 20001; v <= 20500; ++v) {
        const double x = town(random);
        const double y = town(random);
        ASSERT_TRUE(table.Insert(x, y, x + 0.1, y + 0.1, v));
        listed.push_back({v, x, y, x + 0.1, y + 0.1});
    }
    check("after edits");
    table.Pack();
    check("after packing again");
}
