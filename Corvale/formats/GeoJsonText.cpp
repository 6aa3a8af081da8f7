#include "formats/GeoJsonText.h"

#include "core/Theme.h"
#include "formats/WktText.h"
#include "geometry/ShapeParts.h"
#include "geometry/ShapePiece.h"
#include "platform/NumberText.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

void AppendNumber(std::string& out, double value, int precision) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    out += corvale::FormatFixed(value, std::clamp(precision, 0, 17));
}

void AppendPosition(std::string& out, const CShapeRecord* record, std::uint32_t i, bool withZ, int precision) {
    const CShapePoint p = CShapeRecord::GetPoint(record, i);
    out += '[';
    AppendNumber(out, p.x, precision);
    out += ", ";
    AppendNumber(out, p.y, precision);
    if (withZ) {
        out += ", ";
        AppendNumber(out, CShapeRecord::GetZ(record, i), precision);
    }
    out += ']';
}

// "[ " positions joined by ", " " ]".
void AppendPart(std::string& out, const CShapeRecord* record, std::uint32_t j, bool withZ, int precision) {
    const CShapePartRange range = GetShapePartRange(record, j);
    out += "[ ";
    for (std::uint32_t i = range.first; i < range.end; ++i) {
        if (i > range.first)
            out += ", ";
        AppendPosition(out, record, i, withZ, precision);
    }
    out += " ]";
}

// "[ " parts joined by ",\r\n" " ]".
void AppendParts(std::string& out, const CShapeRecord* record, const std::vector<std::uint32_t>& parts, bool withZ,
                 int precision) {
    out += "[ ";
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0)
            out += ",\r\n";
        AppendPart(out, record, parts[k], withZ, precision);
    }
    out += " ]";
}

} // namespace

std::string GetGeoJsonGeometryType(const CShapeRecord* record) {
    if (record == nullptr)
        return {};
    const std::uint32_t family = GetShapeFamily(CShapeRecord::GetShapeType(record));
    switch (family) {
    case SHT_Point:
        return "Point";
    case SHT_Polyline:
        return GetMultiPartCount(record) > 1 ? "MultiLineString" : "LineString";
    case SHT_Polygon:
        return GroupPolygonRings(record).size() > 1 ? "MultiPolygon" : "Polygon";
    default:
        return {};
    }
}

void WriteGeoJsonGeometry(std::string& out, const CShapeRecord* record, int precision) {
    const std::string type = GetGeoJsonGeometryType(record);
    if (type.empty())
        return;
    const std::uint32_t shapeType = CShapeRecord::GetShapeType(record);
    const bool withZ = IsShapeZType(shapeType);
    out += "{ \"type\": \"";
    out += type;
    out += "\", \"coordinates\": ";
    const std::uint32_t family = GetShapeFamily(shapeType);
    if (family == SHT_Point) {
        AppendPosition(out, record, 0, withZ, precision);
    } else if (family == SHT_Polyline) {
        const std::uint32_t parts = GetMultiPartCount(record);
        if (parts == 1) {
            AppendPart(out, record, 0, withZ, precision);
        } else {
            std::vector<std::uint32_t> all(parts);
            for (std::uint32_t j = 0; j < parts; ++j)
                all[j] = j;
            AppendParts(out, record, all, withZ, precision);
        }
    } else {
        const auto polygons = GroupPolygonRings(record);
        if (polygons.size() <= 1) {
            AppendParts(out, record, polygons.empty() ? std::vector<std::uint32_t>() : polygons.front(), withZ,
                        precision);
        } else {
            out += "[ ";
            for (std::size_t k = 0; k < polygons.size(); ++k) {
                if (k > 0)
                    out += ",\r\n";
                AppendParts(out, record, polygons[k], withZ, precision);
            }
            out += " ]";
        }
    }
    out += '}';
}

void AppendJsonEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                out += escape;
            } else {
                out += c;
            }
        }
    }
}

namespace {

// Whether text is a number as JSON writes one: -?(0|[1-9]d*)(.d+)?([eE][+-]?d+)?
bool IsJsonNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    if (i < text.size() && text[i] == '0')
        ++i;
    else if (!digits())
        return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == text.size();
}

// The value of a number column: the number as written when JSON can take it
// so, else the number it reads as ("+5", "007", "2."); an empty cell is null.
// Text that is no number at all stays text, so that nothing is lost.
void AppendJsonNumberValue(std::string& out, const std::string& value) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) {
        out += "null";
        return;
    }
    const std::string_view text =
        std::string_view(value).substr(first, value.find_last_not_of(" \t") + 1 - first);
    if (IsJsonNumber(text)) {
        out += text;
        return;
    }
    const bool plus = text.front() == '+';
    const std::string_view rest = plus ? text.substr(1) : text;
    double number = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (!rest.empty() && !(plus && rest.front() == '-') && result.ec == std::errc() &&
        result.ptr == rest.data() + rest.size() && std::isfinite(number)) {
        out += corvale::FormatDouble(number);
        return;
    }
    out += '"';
    AppendJsonEscaped(out, value);
    out += '"';
}

} // namespace

void WriteGeoJsonProperties(std::string& out, const CShapeRecord* record, const CTheme& theme) {
    const int shapeIndex = record != nullptr ? GetShapeRecordIndex(record) : -1;
    const int columns = static_cast<int>(theme.GetAttributeCount());
    out += "{ ";
    for (int field = 0; field < columns; ++field) {
        if (field > 0)
            out += ", ";
        // JSON text is UTF-8, whatever code page the table keeps it in.
        out += '"';
        AppendJsonEscaped(out, theme.GetAttributeNameUtf8(field));
        out += "\": ";
        const int type = theme.GetAttributeType(field);
        if (type == FT_Int || type == FT_Double) {
            AppendJsonNumberValue(out, theme.GetAttributeTextUtf8(shapeIndex, field));
        } else {
            out += '"';
            AppendJsonEscaped(out, theme.GetAttributeTextUtf8(shapeIndex, field));
            out += '"';
        }
    }
    out += '}';
}

std::string FormatGeoJsonFeatureCollection(CTheme& theme, int precision) {
    std::string out = "{ \"type\": \"FeatureCollection\",\r\n\"features\": [\r\n";
    bool first = true;
    for (const auto& entry : theme.m_Selection) {
        const int position = theme.GetShapePosition(entry.first);
        const CShapeRecord* record = theme.GetShape(position);
        if (record == nullptr || GetGeoJsonGeometryType(record).empty())
            continue;
        if (!first)
            out += ",\r\n";
        first = false;
        out += "{\"type\": \"Feature\",\r\n\"geometry\": ";
        WriteGeoJsonGeometry(out, record, precision);
        out += ",\r\n\"properties\": ";
        WriteGeoJsonProperties(out, record, theme);
        out += "\r\n}";
    }
    out += "\r\n]\r\n}\r\n";
    return out;
}
