// Runs the readers of the program's clipboard blocks on arbitrary bytes: the
// clipboard is filled by other processes, so every count and size must be
// checked against the bytes there. A block that reads must give sound records
// of its family that convert as Paste converts them, and must read back the
// same after it is written again; a coordinate block must give exactly the
// points its count says.

#include "formats/ClipboardFormats.h"
#include "geometry/ShapeOperations.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The other member of a type's family: 1 and 11, 3 and 13, 5 and 15.
std::uint32_t OtherOfFamily(std::uint32_t type) {
    return IsShapeZType(type) ? GetShapeFamily(type) : GetShapeFamily(type) + 10;
}

void CheckShapeBlock(const std::uint8_t* data, std::size_t size) {
    ShapeClipboardBlock block;
    if (!ReadShapeClipboardBlock(data, size, block, true)) {
        Require(block.m_Records.empty() && block.m_Columns.empty());
        return;
    }
    Require(block.m_Values.size() == block.m_Records.size());
    std::vector<const CShapeRecord*> records;
    for (std::size_t k = 0; k < block.m_Records.size(); ++k) {
        const CShapeRecord* record = block.m_Records[k].get();
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        Require(GetShapeFamily(type) == GetShapeFamily(block.m_ShapeType));
        const std::size_t bytes = CShapeRecord::GetSize(record);
        Require(bytes == ShapeClipboardRecordSize(type, CShapeRecord::GetPartCount(record),
                                                  CShapeRecord::GetPointCount(record)));
        std::size_t checked = 0;
        Require(CheckShapeRecordBytes(CShapeRecord::Bytes(record), bytes, checked) && checked == bytes);
        Require(block.m_Values[k].size() == block.m_Columns.size());
        // What Paste does with a record: convert it to the theme's type.
        CShapeRecordPtr converted(ConvertShapeToType(record, OtherOfFamily(type)));
        if (converted != nullptr)
            Require(CShapeRecord::GetPointCount(converted.get()) == CShapeRecord::GetPointCount(record));
        records.push_back(record);
    }
    // Written again, the block reads back the same.
    std::string again;
    Require(AppendShapeClipboardBlock(again, block.m_ShapeType, block.m_Columns, records, block.m_Values));
    ShapeClipboardBlock reread;
    Require(ReadShapeClipboardBlock(reinterpret_cast<const unsigned char*>(again.data()), again.size(), reread,
                                    true));
    Require(reread.m_ShapeType == block.m_ShapeType && reread.m_Values == block.m_Values &&
            reread.m_Records.size() == block.m_Records.size() && reread.m_Columns.size() == block.m_Columns.size());
    for (std::size_t c = 0; c < block.m_Columns.size(); ++c)
        Require(reread.m_Columns[c].m_Name == block.m_Columns[c].m_Name &&
                reread.m_Columns[c].m_Type == block.m_Columns[c].m_Type &&
                reread.m_Columns[c].m_Length == block.m_Columns[c].m_Length);
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::size_t bytes = CShapeRecord::GetSize(records[k]);
        Require(CShapeRecord::GetSize(reread.m_Records[k].get()) == bytes);
        Require(std::memcmp(CShapeRecord::Bytes(records[k]), CShapeRecord::Bytes(reread.m_Records[k].get()),
                            bytes) == 0);
    }
}

void CheckCoordinateBlock(const std::uint8_t* data, std::size_t size) {
    std::vector<CShapePoint> points;
    if (!ReadCoordinateClipboardBlock(data, size, points)) {
        Require(points.empty());
        return;
    }
    std::uint32_t count = 0;
    std::memcpy(&count, data, 4);
    Require(points.size() == count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckShapeBlock(data, size);
    CheckCoordinateBlock(data, size);
    return 0;
}
