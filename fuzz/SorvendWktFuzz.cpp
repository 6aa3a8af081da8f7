// Runs the database plug-in's WKT reader on arbitrary text, for each kind of
// theme it fills and with and without a count limit, and in the one pass a
// load makes. Every record it makes must be a well-formed record of the
// wanted (or answered) kind, and the limit must hold.

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
    // The one-pass reading a load uses: its records are of the kind it answers.
    std::vector<WktRecord> shapes;
    const std::uint32_t kind = ReadWktShapes(text.c_str(), shapes);
    Require(kind == 0 || kind == 1 || kind == 3 || kind == 5);
    Require((kind == 0) == shapes.empty());
    Require(kind != 1 || shapes.size() == 1);
    for (const WktRecord& record : shapes) {
        std::size_t checked = 0;
        Require(CheckShapeRecordBytes(record.data(), record.size(), checked) && checked == record.size());
        Require(CShapeRecord::GetShapeType(CShapeRecord::FromBytes(const_cast<unsigned char*>(record.data()))) ==
                kind);
    }
    return 0;
}
