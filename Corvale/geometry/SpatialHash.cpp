#include "geometry/SpatialHash.h"

#include "geometry/ShapeParts.h"

CShapeAreaHashTable::CShapeAreaHashTable(double xmin, double ymin, double xmax, double ymax)
    : area_hash_table(xmin, ymin, xmax, ymax) {}

CShapeAreaHashTable::~CShapeAreaHashTable() = default;

bool CShapeAreaHashTable::InsertRecord(CShapeRecord* record) {
    const CDoubleRect box = GetShapeBox(record);
    return Insert(box.x1, box.y1, box.x2, box.y2, record);
}
