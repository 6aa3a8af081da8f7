// Runs the WKB reader on arbitrary bytes. Counts come from the bytes, so
// every size must be checked against them before anything is read; a record
// made must be well formed, agree with the counts the reader reported, and
// have a WKT form.

#include "formats/WktText.h"

#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 5)
        GetWkbShapeType(data);
    std::uint32_t parts = 0;
    std::uint32_t points = 0;
    const bool counted = GetWkbPartAndPointCount(data, size, parts, points);
    CShapeRecordPtr record(ParseWkb(data, size));
    if (record == nullptr)
        return 0;
    const std::size_t bytes = CShapeRecord::GetSize(record.get());
    std::size_t checked = 0;
    Require(CheckShapeRecordBytes(CShapeRecord::Bytes(record.get()), bytes, checked) && checked == bytes);
    Require(counted);
    if (CShapeRecord::GetShapeType(record.get()) != SHT_Point) {
        Require(CShapeRecord::GetPartCount(record.get()) == parts);
        Require(CShapeRecord::GetPointCount(record.get()) == points);
    }
    std::string text;
    Require(FormatShapeAsWkt(record.get(), text, 6));
    return 0;
}
