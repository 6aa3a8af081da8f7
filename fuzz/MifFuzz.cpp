// Runs the MIF/MID reader of the Ostrela loader on arbitrary text: the input
// up to its first zero byte is the MIF file, the rest its MID table. Its
// first byte also chooses which kinds of objects are taken. Every record made
// must be a well-formed record of its kind, and every value a terminated text
// that fits its column's slot.

#include "MifReader.h"

#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string_view mif = input.substr(0, zero);
    const std::string_view mid = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
    const unsigned kinds = size > 0 ? (data[0] & 7u) : 7u;
    for (unsigned flags : {7u, kinds}) {
        ostrela::CMIF reader((flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0);
        if (!reader.Parse(mif, mid))
            continue;
        int kindsFound = 0;
        for (std::uint32_t type : {SHT_Point, SHT_Polyline, SHT_Polygon}) {
            const auto& records = reader.Records(type);
            kindsFound += records.empty() ? 0 : 1;
            Require(records.empty() || (type == SHT_Point ? (flags & 1) : type == SHT_Polyline ? (flags & 2) : (flags & 4)));
            for (const unsigned char* bytes : records) {
                const auto* record = reinterpret_cast<const CShapeRecord*>(bytes);
                Require(CShapeRecord::GetShapeType(record) == type);
                const std::size_t recordSize = CShapeRecord::GetSize(record);
                std::size_t checked = 0;
                Require(CheckShapeRecordBytes(bytes, recordSize, checked) && checked == recordSize);
                Require(IsShapeRecordSound(record));
                Require(ostrela::CMIF::ObjectNumberOf(bytes) < reader.m_ObjectNumber);
                for (std::uint32_t c = 0; c < reader.m_Columns.size(); ++c) {
                    const char* value = reader.Attribute(bytes, c);
                    Require(std::strlen(value) <= static_cast<std::size_t>(reader.m_Columns[c].m_Width));
                }
                Require(std::strcmp(reader.Attribute(bytes, static_cast<std::uint32_t>(reader.m_Columns.size())),
                                    "#ERROR# Out of bounds") == 0);
            }
        }
        Require(kindsFound == reader.m_NonEmptyKinds);
    }
    return 0;
}
