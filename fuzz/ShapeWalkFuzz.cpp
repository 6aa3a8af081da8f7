// Walks arbitrary bytes as a .shp/.shx pair and reads every delivered record.
//
// Input layout: a little-endian u32 n, then n bytes of .shp, then the rest as
// the .shx (no .shx when nothing is left). The walk must return true or false
// without reading outside either mapping.

#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"
#include "shapes/ShapeFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvale-fuzz-XXXXXX";
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

double g_sink = 0.0;

bool Touch(void*, CShapeRecord* record, std::intptr_t) {
    if (record == nullptr)
        return true;
    // Read everything the accessors can reach, so a record the walk let through
    // with counts that do not fit is caught here.
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    for (std::uint32_t i = 0; i < points; ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i);
        g_sink += p.x + p.y + CShapeRecord::GetZ(record, i) + CShapeRecord::GetM(record, i);
    }
    for (std::uint32_t j = 0; j < CShapeRecord::GetPartCount(record); ++j)
        g_sink += CShapeRecord::GetPartStart(record, j);
    g_sink += CShapeRecord::GetMinX(record) + CShapeRecord::GetMaxY(record) + CShapeRecord::GetZMax(record) +
              CShapeRecord::GetMMin(record);
    return true;
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

    CFileReader shpReader, shxReader;
    if (!shpReader.Open(shpPath.c_str()))
        return 0;
    CShapeFileView shp;
    shp.m_Reader = &shpReader;
    CShapeIndexView shx;
    const bool hasShx = shxReader.Open(shxPath.c_str()) && shx.Attach(&shxReader);

    ForEachShapeFileRecord(shp, nullptr, Touch, nullptr);
    if (hasShx)
        ForEachShapeFileRecord(shp, &shx, Touch, nullptr);
    return 0;
}
