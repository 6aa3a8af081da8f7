// Runs the database plug-in's WKT reader on arbitrary text, for each kind of
// theme it fills and with and without a count limit. Every record it makes
// must be a well-formed record of the wanted kind, and the limit must hold.

#include "WktReader.h"

#include "shapes/ShapeRecord.h"

#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A database value is a terminated text.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::uint32_t wanted : {1u, 3u, 5u, 11u, 13u}) {
        for (const int maxCount : {0, 1}) {
            std::vector<WktRecord> records;
            ReadWkt(text.c_str(), records, wanted, maxCount);
            Require(maxCount == 0 || records.size() <= static_cast<std::size_t>(maxCount));
            for (const WktRecord& record : records) {
                std::size_t checked = 0;
                Require(CheckShapeRecordBytes(record.data(), record.size(), checked) && checked == record.size());
                const std::uint32_t type = CShapeRecord::GetShapeType(CShapeRecord::FromBytes(
                    const_cast<unsigned char*>(record.data())));
                Require(type == (wanted > 10 ? wanted - 10 : wanted));
            }
        }
    }
    return 0;
}
