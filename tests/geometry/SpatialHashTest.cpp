#include "geometry/SpatialHash.h"

#include "shapes/RecordFixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>

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
