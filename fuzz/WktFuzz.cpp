// Runs the WKT parser on arbitrary text, for every family of wanted type and
// with and without a count limit. Every record it makes must be a well-formed
// record; each is written back as WKT, and that text must parse again into
// one entry of the same family.

#include "formats/WktText.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void RequireWellFormed(const CShapeRecord* record) {
    const std::size_t size = CShapeRecord::GetSize(record);
    std::size_t checked = 0;
    Require(CheckShapeRecordBytes(CShapeRecord::Bytes(record), size, checked) && checked == size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The keyword tests read a terminated text.
    const std::string terminated(text);
    IsWktText(terminated.c_str());
    GetWktShapeType(terminated.c_str());
    for (const std::uint32_t wanted : {SHT_Point, SHT_Polyline, SHT_PolygonZ}) {
        for (const std::size_t maxCount : {std::size_t(0), std::size_t(1)}) {
            CShapeRecordVector records;
            ParseWkt(text, records, wanted, maxCount);
            Require(maxCount == 0 || records.size() <= maxCount);
            for (const CShapeRecord* record : records) {
                if (record == nullptr)
                    continue;
                RequireWellFormed(record);
                Require(GetShapeFamily(CShapeRecord::GetShapeType(record)) == GetShapeFamily(wanted));
                std::string written;
                if (!FormatShapeAsWkt(record, written, 17))
                    continue;
                CShapeRecordVector again;
                Require(ParseWkt(written, again, wanted, 0));
                Require(again.size() == 1);
                DeleteShapeRecords(again);
            }
            DeleteShapeRecords(records);
        }
    }
    return 0;
}
