#pragma once
// Fixture themes of tests/data/formats (made by tools/make_formats_fixtures.py,
// which checks every expected text against GDAL, shapely and xmllint) and
// small helpers to compare records.

#include "core/Theme.h"
#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

inline std::string FormatsData(const std::string& name) { return std::string(CORVALE_TEST_DATA) + "/formats/" + name; }

inline std::string ReadFixtureText(const std::string& name) {
    std::ifstream in(FormatsData(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> ReadFixtureLines(const std::string& name) {
    std::istringstream in(ReadFixtureText(name));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// A shape-file theme of the fixtures, named after its file.
inline std::unique_ptr<CTheme> OpenFixtureTheme(const std::string& stem) {
    auto theme = std::make_unique<CTheme>();
    if (!theme->OpenShapeFile(FormatsData(stem + ".shp")))
        return nullptr;
    theme->m_Name = stem;
    theme->ResetFilter();
    return theme;
}

// x, y and z of every point, part by part, for comparing records.
struct RecordImage {
    std::uint32_t type = 0;
    std::vector<std::vector<std::vector<double>>> parts;
    bool operator==(const RecordImage& other) const { return type == other.type && parts == other.parts; }
};

inline RecordImage ImageOf(const CShapeRecord* record) {
    RecordImage image;
    if (record == nullptr)
        return image;
    image.type = CShapeRecord::GetShapeType(record);
    const bool withZ = IsShapeZType(image.type);
    if (CShapeRecord::IsPointType(image.type)) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        image.parts.push_back({withZ ? std::vector<double>{p.x, p.y, CShapeRecord::GetZ(record, 0)}
                                     : std::vector<double>{p.x, p.y}});
        return image;
    }
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t j = 0; j < parts; ++j) {
        const std::uint32_t first = CShapeRecord::GetPartStart(record, j);
        const std::uint32_t end = j + 1 < parts ? CShapeRecord::GetPartStart(record, j + 1)
                                                : CShapeRecord::GetPointCount(record);
        image.parts.emplace_back();
        for (std::uint32_t i = first; i < end; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(record, i);
            image.parts.back().push_back(withZ ? std::vector<double>{p.x, p.y, CShapeRecord::GetZ(record, i)}
                                               : std::vector<double>{p.x, p.y});
        }
    }
    return image;
}

// Owns what a parse appended.
struct ParsedRecords {
    CShapeRecordVector records;
    ~ParsedRecords() { DeleteShapeRecords(records); }
};
