// Runs the MAP object decoder of the Grindal loader on arbitrary bytes. The
// first byte's low bit says whether an object index is used, the second how
// many of its 32-bit offsets follow; the rest is the geometry file. Every
// record made must be sound as the host checks it, numbered in order within
// its kind, with a tail word behind it; the same bytes taken as an attribute
// table answer every column of every record without reading outside them.

#include "MapReader.h"

#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const bool withIndex = (data[0] & 1) != 0;
    const std::size_t indexSize = withIndex ? std::min<std::size_t>(4u * data[1], size - 2) : 0;
    // Copies of exactly their size, so a read past either end is caught.
    std::vector<unsigned char> index(data + 2, data + 2 + indexSize);
    std::vector<unsigned char> map(data + 2 + indexSize, data + size);

    grindal::CMAPLoader loader;
    loader.Decode(map.empty() ? nullptr : map.data(), map.size(), withIndex ? index.data() : nullptr,
                  index.size());
    std::vector<unsigned char> table(data, data + size);
    loader.UseTable(table.data(), table.size());
    for (std::uint32_t type : {1u, 3u, 5u}) {
        int number = 0;
        for (const unsigned char* bytes : loader.Records(type)) {
            const auto* record = reinterpret_cast<const CShapeRecord*>(bytes);
            Require(CShapeRecord::GetShapeType(record) == type);
            std::size_t checked = 0;
            const std::size_t size = CShapeRecord::GetSize(record);
            Require(size > 0 && CheckShapeRecordBytes(bytes, size, checked) && checked == size);
            Require(IsShapeRecordSound(record));
            Require(GetShapeRecordIndex(record) == number++);
            for (std::uint32_t c = 0; c <= loader.m_Fields.size(); ++c)
                Require(loader.Attribute(bytes, c) != nullptr);
        }
    }
    Require(loader.NonEmptyKinds() <= 3);
    return 0;
}
