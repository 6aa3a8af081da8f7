// Runs the geometry operations on arbitrary bytes taken as one shape record.
//
// Input layout: the record's bytes, then optionally four little-endian doubles
// used as the cut segment (a line across the record's box otherwise). Bytes
// that CheckShapeRecordBytes refuses are left alone, as every caller does;
// everything it lets through, whatever its counts and coordinates, must be
// refused or handled without reading or writing outside the record, and every
// record the operations make or edit must again pass the check.

#include "geometry/ShapeCutting.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapeVertexEditing.h"
#include "platform/ByteOrder.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A record that must be well formed: the check passes on exactly its size.
void Require(const CShapeRecord* record) {
    if (record == nullptr)
        return;
    const std::size_t size = CShapeRecord::GetSize(record);
    std::size_t checked = 0;
    if (!CheckShapeRecordBytes(CShapeRecord::Bytes(record), size, checked) || checked != size)
        std::abort();
}

void Take(CShapeRecord* record) {
    Require(record);
    if (record != nullptr)
        FreeShapeRecord(record);
}

void TakeAll(CShapeRecordVector& records) {
    for (const CShapeRecord* record : records)
        Require(record);
    DeleteShapeRecords(records);
}

// A heap copy of exactly the record's bytes, so a read past them is caught.
struct Copy {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size;
    Copy(const std::uint8_t* data, std::size_t n) : bytes(new unsigned char[n]), size(n) {
        std::memcpy(bytes.get(), data, n);
    }
    CShapeRecord* Record() const { return CShapeRecord::FromBytes(bytes.get()); }
    // An in-place edit that succeeded must leave a record that fits its buffer.
    void RequireFits() const {
        std::size_t checked = 0;
        if (!CheckShapeRecordBytes(bytes.get(), size, checked))
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t recordSize = 0;
    if (!CheckShapeRecordBytes(data, size, recordSize) || recordSize < 12)
        return 0;
    const std::uint32_t type = corvale::ReadLE32(data + 8);
    if (type == SHT_Null)
        return 0;

    double cut[4];
    if (size - recordSize >= 32) {
        for (int k = 0; k < 4; ++k)
            cut[k] = corvale::ReadLEDouble(data + recordSize + 8 * k);
    } else {
        const Copy c(data, recordSize);
        cut[0] = CShapeRecord::GetMinX(c.Record()) - 1;
        cut[1] = CShapeRecord::GetMinY(c.Record()) - 1;
        cut[2] = CShapeRecord::GetMaxX(c.Record()) + 1;
        cut[3] = CShapeRecord::GetMaxY(c.Record()) + 1;
    }

    const Copy source(data, recordSize);
    const CShapeRecord* record = source.Record();
    Take(CloneShapeRecord(record));
    for (std::uint32_t to : {SHT_Point, SHT_PointZ, SHT_Polyline, SHT_PolylineZ, SHT_Polygon, SHT_PolygonZ})
        Take(ConvertShapeToType(record, to));
    Take(CombinePolylineShapes(record, record));
    Take(CombinePolygonShapes(record, record));
    Take(AppendPointsToPart(record, {{cut[0], cut[1]}, {cut[2], cut[3]}}, 0));
    Take(InsertCrossingVertices(record, cut));
    int removed = 0;
    Take(RemoveDuplicateVertices(record, removed));
    CShapeRecordVector pieces;
    SplitShapeAlongSegment(record, cut, pieces);
    TakeAll(pieces);
    SplitPolylineAtVertex(record, CShapeRecord::GetPoint(record, 1), pieces);
    TakeAll(pieces);

    const std::uint32_t parts = GetPartPointCount(record, 0) > 0 ? CShapeRecord::GetPartCount(record) : 0;
    CShapePointList points;
    CDoubleRect rect;
    for (std::uint32_t j = 0; j <= parts && j < 64; ++j) {
        GetShapePartPoints(record, j, points);
        GetShapePartBounds(record, j, rect);
    }

    // The in-place edits, each on its own copy.
    const auto edit = [&](auto&& change) {
        const Copy c(data, recordSize);
        if (change(c.Record()))
            c.RequireFits();
    };
    edit([](CShapeRecord* r) { return RecalcShapeBounds(r); });
    edit([&](CShapeRecord* r) { return RotateShape(r, cut[0], cut[1], cut[2]); });
    edit([&](CShapeRecord* r) { return TranslateShape(r, cut[0], cut[1]); });
    edit([](CShapeRecord* r) { return DeleteShapeVertex(r, 0); });
    edit([](CShapeRecord* r) { return DeleteShapeVertex(r, 1); });
    edit([](CShapeRecord* r) { return DeleteShapePart(r, 0); });
    edit([](CShapeRecord* r) { return RemoveDegenerateParts(r); });
    edit([](CShapeRecord* r) { return ReverseShapeParts(r); });
    return 0;
}
