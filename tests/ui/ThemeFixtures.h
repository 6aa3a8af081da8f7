#pragma once
// Themes for the attribute dialog tests: an editable native point theme
// built in memory, and a shape-file theme opened from copies of the
// fixtures (points.shp/.shx with gdal.dbf beside them).

#include "core/Theme.h"

#include "TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

inline const std::string kTestData = CORVALE_TEST_DATA;

// A native point theme, editable, with one row per point.
inline void MakeNativeTheme(CTheme& theme, const std::vector<std::pair<std::string, int>>& columns,
                            const std::vector<std::vector<std::string>>& rows) {
    theme.m_SourceType = ST_Native;
    theme.m_ShapeType = SHT_Point;
    theme.m_Editable = true;
    for (const auto& [name, type] : columns) {
        CAttributeFieldInfo info;
        info.m_Name = name;
        info.m_Type = type;
        info.m_Length = 10;
        theme.AddAttribute(info, nullptr, nullptr);
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        theme.AddPointAt(false, false, static_cast<double>(row), 0.0);
        for (std::size_t column = 0; column < rows[row].size(); ++column)
            theme.SetAttributeText(static_cast<int>(row), static_cast<int>(column), rows[row][column], false);
    }
    theme.m_Modified = false;
}

// Opens points.shp with gdal.dbf as its table, all copied into the folder.
inline bool OpenShapeFileTheme(CTheme& theme, const TempDir& folder) {
    std::filesystem::copy_file(kTestData + "/shapes/points.shp", folder.file("points.shp"));
    std::filesystem::copy_file(kTestData + "/shapes/points.shx", folder.file("points.shx"));
    std::filesystem::copy_file(kTestData + "/dbf/gdal.dbf", folder.file("points.dbf"));
    return theme.OpenShapeFile(folder.file("points.shp"));
}
