// Runs the shape-file checker over arbitrary bytes as a .shp/.shx pair.
//
// Input layout: a little-endian u32 n, then n bytes of .shp, then the rest as
// the .shx (no .shx when nothing is left). The check must end with a report
// whatever the bytes, reading nothing outside either file.

#include "ShapeCheck.h"
#include "platform/ByteOrder.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kestrow-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

bool Store(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t shpSize = size;
    if (size >= 4) {
        shpSize = corvale::ReadLE32(data);
        data += 4;
        size -= 4;
        if (shpSize > size)
            shpSize = size;
    }
    const std::string shpPath = ScratchFolder() + "/f.shp";
    const std::string shxPath = ScratchFolder() + "/f.shx";
    ::unlink(shxPath.c_str());
    if (!Store(shpPath, data, shpSize))
        return 0;
    if (size > shpSize && !Store(shxPath, data + shpSize, size - shpSize))
        return 0;

    std::string report;
    const bool passed = CheckShapeFile(shpPath, report, [](int percent) {
        if (percent < 0 || percent > 100)
            std::abort();
    });
    // Every report names its outcome.
    const bool ends = report.size() >= 27 && report.compare(report.size() - 27, 27, "Kestrow reported no errors.") == 0;
    if (passed != ends)
        std::abort();
    return 0;
}
