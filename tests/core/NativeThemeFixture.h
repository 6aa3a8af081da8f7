#pragma once
// A native point theme built in the test: columns of given types, one point
// and one attribute row per shape, every shape visible. Also a guard that
// switches the process to a decimal-comma locale for a test.

#include "CommaLocale.h"
#include "core/Theme.h"
#include "shapes/RecordFixtures.h"

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>
#include <vector>

struct NativeColumn {
    const char* name;
    std::int32_t type;
};

class NativePointTheme {
public:
    using Row = std::vector<std::string>;

    // Point i lies at points[i] (or at (i, 0) when fewer points are given) and
    // carries rows[i].
    NativePointTheme(const std::vector<NativeColumn>& columns, const std::vector<Row>& rows,
                     const std::vector<CShapePoint>& points = {}) {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Point;
        theme.m_Editable = true;
        for (const NativeColumn& column : columns) {
            CAttributeFieldInfo info;
            info.m_Name = column.name;
            info.m_Type = column.type;
            info.m_Length = 20;
            theme.AddAttribute(info, nullptr, nullptr);
        }
        m_Records.reserve(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const CShapePoint at = i < points.size() ? points[i] : CShapePoint{static_cast<double>(i), 0.0};
            m_Records.push_back(MakePoint(at.x, at.y, static_cast<std::uint32_t>(i + 1)));
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            CTheme::ShapeCallback(&theme, Rec(m_Records[i]), 0);
            const int row = theme.AppendAttributeRow();
            for (std::size_t c = 0; c < rows[i].size(); ++c)
                theme.SetAttributeText(row, static_cast<int>(c), rows[i][c], false);
        }
        theme.ResetFilter();
    }

    CTheme theme;

private:
    std::vector<Bytes> m_Records;
};

