#include "geometry/SpatialHash.h"

#include "geometry/ShapeParts.h"

CShapeAreaHashTable::CShapeAreaHashTable(double xmin, double ymin, double xmax, double ymax)
    : area_hash_table(xmin, ymin, xmax, ymax) {}

CShapeAreaHashTable::~CShapeAreaHashTable() = default;

bool CShapeAreaHashTable::InsertRecord(CShapeRecord* record) {
    const CDoubleRect box = GetShapeBox(record);
    return Insert(box.x1, box.y1, box.x2, box.y2, record);
}

std::size_t CShapeAreaHashTable::InsertRecords(CShapeRecord* const* records, std::size_t count) {
    // Each insert reads the value's map slot, a miss in a big table: the
    // slot is asked for this many records ahead so that the misses overlap.
    constexpr std::size_t kAhead = 16;
    std::size_t outside = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            PrefetchInsert(records[i + kAhead]);
        if (!InsertRecord(records[i]))
            ++outside;
    }
    return outside;
}
