#include "geometry/SpatialHash.h"

#include "geometry/ShapeParts.h"

CShapeAreaHashTable::CShapeAreaHashTable(double xmin, double ymin, double xmax, double ymax)
    : area_hash_table(xmin, ymin, xmax, ymax) {}

CShapeAreaHashTable::~CShapeAreaHashTable() = default;

bool CShapeAreaHashTable::InsertRecord(CShapeRecord* record) {
    const CDoubleRect box = GetShapeBox(record);
    return Insert(box.x1, box.y1, box.x2, box.y2, record);
}

void CShapeAreaHashTable::CoveredRange(double lo, double hi, bool columns, int& first,
                                       int& last) const {
    const int cellCount = columns ? kColumns : kRows;
    int a = 0;
    int b = 0;
    if (columns) {
        GetColumn(lo, a);
        GetColumn(hi, b);
    } else {
        GetRow(lo, a);
        GetRow(hi, b);
    }
    // A NaN end reads as -1: with it at the low end the range starts at the
    // grid's edge, at the high end it is empty.
    first = std::max(a, 0);
    last = std::min(b, cellCount - 1);
}

bool CShapeAreaHashTable::IsFirstCoveredCell(const CShapeRecord* record, int c, int r, int c1,
                                             int r1) const {
    const CDoubleRect box = GetShapeBox(record);
    int a = 0;
    int b = 0;
    GetColumn(box.x1, a);
    GetColumn(box.x2, b);
    if (c != std::max(std::max(std::min(a, b), 0), c1))
        return false;
    GetRow(box.y1, a);
    GetRow(box.y2, b);
    return r == std::max(std::max(std::min(a, b), 0), r1);
}
