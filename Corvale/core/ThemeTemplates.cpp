// Info tips and labels: a theme's template expanded for one shape.
//
// Every expansion makes a single pass over the template: a placeholder is
// looked for only in the template's own text, never in what an earlier
// placeholder was replaced by, so an attribute value such as "<$INDEX>" or
// "<NAME>" is shown as it stands. Where two placeholders start at the same
// character, the one the expansion order lists first wins.

#include "core/Theme.h"

#include "platform/NumberText.h"

#include <functional>
#include <optional>

namespace {

const std::string kLongitude = "<$LONGITUDE>";
const std::string kLatitude = "<$LATITUDE>";
const std::string kIndex = "<$INDEX>";

struct Placeholder {
    std::string text;
    std::int32_t code;
};

// Replaces every occurrence of the placeholders in the template's own text.
// A value is asked for only when its placeholder occurs, and once.
std::string Expand(const std::string& templateText, const std::vector<Placeholder>& placeholders,
                   const std::function<std::string(std::int32_t)>& valueOf) {
    std::vector<std::optional<std::string>> values(placeholders.size());
    std::string out;
    out.reserve(templateText.size());
    std::size_t copied = 0;
    std::size_t at = templateText.find('<');
    while (at != std::string::npos) {
        bool replaced = false;
        for (std::size_t k = 0; k < placeholders.size(); ++k) {
            const std::string& text = placeholders[k].text;
            if (templateText.compare(at, text.size(), text) != 0)
                continue;
            if (!values[k])
                values[k] = valueOf(placeholders[k].code);
            out.append(templateText, copied, at - copied);
            out += *values[k];
            copied = at + text.size();
            replaced = true;
            break;
        }
        at = templateText.find('<', replaced ? copied : at + 1);
    }
    out.append(templateText, copied, std::string::npos);
    return out;
}

std::string ColumnPlaceholder(const CTheme& theme, int field) { return "<" + theme.GetAttributeName(field) + ">"; }

// "%f": six decimals with a point whatever the locale. No fixed buffer: a
// coordinate of 1e300 has 301 digits before the point.
std::string Coordinate(double value) { return corvale::FormatFixed(value, 6); }

} // namespace

void CTheme::ParseInfoTipTemplate(std::vector<std::int32_t>& placeholders) const {
    placeholders.clear();
    const std::string& text = m_InfoTipTemplate;
    if (IsPointTheme()) {
        if (text.find(kLongitude) != std::string::npos)
            placeholders.push_back(TP_Longitude);
        if (text.find(kLatitude) != std::string::npos)
            placeholders.push_back(TP_Latitude);
    }
    if (text.find(kIndex) != std::string::npos)
        placeholders.push_back(TP_Index);
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field)
        if (text.find(ColumnPlaceholder(*this, field)) != std::string::npos)
            placeholders.push_back(field);
}

std::string CTheme::FormatInfoTip(int position, const std::vector<std::int32_t>& placeholders) const {
    std::vector<Placeholder> list;
    list.reserve(placeholders.size());
    const std::int32_t columns = static_cast<std::int32_t>(GetAttributeCount());
    for (const std::int32_t code : placeholders) {
        if (code == TP_Longitude)
            list.push_back({kLongitude, code});
        else if (code == TP_Latitude)
            list.push_back({kLatitude, code});
        else if (code == TP_Index)
            list.push_back({kIndex, code});
        else if (code >= 0 && code < columns)
            list.push_back({ColumnPlaceholder(*this, code), code});
    }
    const CShapeRecord* record = GetShape(position);
    return Expand(m_InfoTipTemplate, list, [&](std::int32_t code) -> std::string {
        if (code >= 0)
            return GetAttributeTextAt(position, code);
        if (record == nullptr)
            return {};
        if (code == TP_Index)
            return corvale::FormatInt(GetShapeRecordIndex(record));
        const CShapePoint point = CShapeRecord::GetPoint(record, 0);
        return Coordinate(code == TP_Longitude ? point.x : point.y);
    });
}

std::string CTheme::GetInfoTipText(int position) const {
    std::vector<Placeholder> list;
    if (IsPointTheme()) {
        list.push_back({kLongitude, TP_Longitude});
        list.push_back({kLatitude, TP_Latitude});
    }
    list.push_back({kIndex, TP_Index});
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field)
        list.push_back({ColumnPlaceholder(*this, field), field});

    const bool hasIndex = IsPointTheme() || IsArcTheme() || IsPolygonTheme();
    const CShapeRecord* record = GetShape(position);
    return Expand(m_InfoTipTemplate, list, [&](std::int32_t code) -> std::string {
        if (code >= 0)
            return GetAttributeTextAt(position, code);
        if (record == nullptr || (code == TP_Index && !hasIndex))
            return {};
        if (code == TP_Index)
            return corvale::FormatInt(GetShapeRecordIndex(record));
        const CShapePoint point = CShapeRecord::GetPoint(record, 0);
        return Coordinate(code == TP_Longitude ? point.x : point.y);
    });
}

std::string CTheme::ExpandTemplate(const std::string& text, int position,
                                   std::string (*valueFilter)(const std::string&)) const {
    std::vector<Placeholder> list;
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field)
        list.push_back({ColumnPlaceholder(*this, field), field});
    if (IsPointTheme()) {
        list.push_back({kLongitude, TP_Longitude});
        list.push_back({kLatitude, TP_Latitude});
    }
    list.push_back({kIndex, TP_Index});

    const CShapeRecord* record = GetShape(position);
    const auto valueOf = [&](std::int32_t code) -> std::string {
        if (code >= 0)
            return GetAttributeTextAt(position, code);
        if (record == nullptr)
            return {};
        if (code == TP_Index)
            return corvale::FormatInt(GetShapeRecordIndex(record));
        // A record of another kind in a point theme shows 0.
        const CShapePoint point = CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record))
                                      ? CShapeRecord::GetPoint(record, 0)
                                      : CShapePoint{};
        return Coordinate(code == TP_Longitude ? point.x : point.y);
    };
    if (valueFilter == nullptr)
        return Expand(text, list, valueOf);
    return Expand(text, list,
                  [&](std::int32_t code) -> std::string { return valueFilter(valueOf(code)); });
}
