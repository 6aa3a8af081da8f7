#pragma once
// What the benchmark programs share: a scratch folder for the files they
// generate, and the generated files themselves.

#include "core/AttributeField.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// A folder of the process under TMPDIR (or /tmp), made on first use.
inline const std::string& BenchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvale-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

inline void RemoveBenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(BenchFolder(), ec);
}

// Writes stem.shp and stem.shx with count points on a grid 1000 wide.
inline void WritePointGrid(const std::string& stem, std::size_t count) {
    std::vector<unsigned char> buffer(28 * count);
    std::vector<const CShapeRecord*> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* p = buffer.data() + 28 * i;
        CShapePointCreator(static_cast<std::uint32_t>(i + 1))
            .CreatePoint(p, static_cast<double>(i % 1000), static_cast<double>(i / 1000));
        records[i] = CShapeRecord::FromBytes(p);
    }
    CFileWriter shp, shx;
    if (!shp.Open((stem + ".shp").c_str()) || !shx.Open((stem + ".shx").c_str()) ||
        !WriteShapeFile(shp, &shx, SHT_Point, count, records.data()) || !shp.Close() || !shx.Close())
        std::abort();
}

inline CAttributeFieldInfo BenchField(const char* name, std::int32_t length, std::int32_t decimals, std::int32_t type) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Length = length;
    info.m_Decimals = decimals;
    info.m_Type = type;
    return info;
}
