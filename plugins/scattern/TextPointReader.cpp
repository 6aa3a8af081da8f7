#include "TextPointReader.h"

#include "platform/ByteOrder.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace scattern {

using corvale::ReadLE32;
using corvale::WriteLE32;

namespace {

constexpr std::size_t kPointSize = 28;
constexpr std::size_t kRecordSize = kPointSize + 4;

// A coordinate field as a C scanner reads it: leading blanks, an optional
// sign, then the longest number; what follows it is ignored. The first ","
// is taken for a decimal point, so "1,5" reads 1.5. Infinite and NaN values
// are refused: they make no point on a map.
bool ScanCoordinate(std::string field, double& value) {
    const std::size_t comma = field.find(',');
    if (comma != std::string::npos)
        field[comma] = '.';
    std::size_t pos = 0;
    while (pos < field.size() && (field[pos] == ' ' || field[pos] == '\t' || field[pos] == '\n' ||
                                  field[pos] == '\v' || field[pos] == '\f' || field[pos] == '\r'))
        ++pos;
    if (pos < field.size() && field[pos] == '+')
        ++pos;
    double v = 0;
    const auto result = std::from_chars(field.data() + pos, field.data() + field.size(), v);
    if (result.ec != std::errc() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

} // namespace

std::vector<std::string> SplitFields(std::string_view line, char separator) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string> fields;
    if (line.empty())
        return fields;
    // A separator in the first place ends an empty first field: taken as
    // part of the field, it would shift no column but spoil the first value.
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == separator) {
            fields.emplace_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.emplace_back(line.substr(start));
    return fields;
}

std::vector<std::string> FirstLines(std::string_view text, std::size_t count) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (lines.size() < count && pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(pos, std::min(end - pos, kMaxLine)));
        pos = end + 1;
    }
    return lines;
}

bool ReadHead(const std::string& path, std::string& text, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

CTextPointLoader::~CTextPointLoader() = default;

bool CTextPointLoader::ReadFile() {
    std::ifstream in(m_Path, std::ios::binary);
    if (!in)
        return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    return Parse(text);
}

bool CTextPointLoader::Parse(std::string_view text) {
    std::size_t pos = 0;
    // The next line, cut at kMaxLine; false at the end of the text.
    auto nextLine = [&](std::string_view& line) {
        if (pos >= text.size())
            return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        line = text.substr(pos, std::min(end - pos, kMaxLine));
        pos = end + 1;
        return true;
    };
    std::string_view line;
    if (!nextLine(line))
        return false;
    if (line.empty() || line == "\r")
        return false;
    if (m_FirstRowNames) {
        m_FieldNames = SplitFields(line, m_Separator);
        if (!nextLine(line))
            return true;
    }
    std::uint32_t lineNumber = 0;
    do {
        AddLine(line, lineNumber++);
    } while (nextLine(line));
    return true;
}

void CTextPointLoader::AddLine(std::string_view line, std::uint32_t lineNumber) {
    std::vector<std::string> fields = SplitFields(line, m_Separator);
    if (m_XColumn == 0 || m_YColumn == 0 || fields.size() < m_XColumn || fields.size() < m_YColumn)
        return;
    double x = 0;
    double y = 0;
    if (!ScanCoordinate(fields[m_XColumn - 1], x) || !ScanCoordinate(fields[m_YColumn - 1], y))
        return;
    unsigned char* record = Allocate(kRecordSize);
    // Record numbers count from 1: the point of data line n has the shape
    // index n, by which the program finds it and asks for its values.
    CShapePointCreator(lineNumber + 1).CreatePoint(record, x, y);
    WriteLE32(record + kPointSize, static_cast<std::uint32_t>(m_Rows.size()));
    // Extra positions get names of their own, shared by every row.
    for (std::size_t i = m_FieldNames.size(); i < fields.size(); ++i)
        m_FieldNames.push_back("Field " + std::to_string(i + 1));
    m_Rows.push_back(std::move(fields));
    m_Records.push_back(record);
}

bool CTextPointLoader::Save(void* buffer, std::size_t size) const {
    if (buffer == nullptr || size < kSavedHeader + 1)
        return false;
    auto* bytes = static_cast<unsigned char*>(buffer);
    WriteLE32(bytes, 1);
    bytes[4] = m_FirstRowNames ? 1 : 0;
    bytes[5] = static_cast<unsigned char>(m_Separator);
    WriteLE32(bytes + 6, m_XColumn);
    WriteLE32(bytes + 10, m_YColumn);
    const std::size_t n = std::min(m_Path.size(), size - kSavedHeader - 1);
    std::memcpy(bytes + kSavedHeader, m_Path.data(), n);
    bytes[kSavedHeader + n] = 0;
    return true;
}

bool CTextPointLoader::Restore(const void* buffer, std::size_t size) {
    if (buffer == nullptr || size < kSavedHeader + 1)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const auto* path = reinterpret_cast<const char*>(bytes + kSavedHeader);
    const void* zero = std::memchr(path, 0, size - kSavedHeader);
    if (zero == nullptr)
        return false;
    m_FirstRowNames = bytes[4] != 0;
    m_Separator = static_cast<char>(bytes[5]);
    m_XColumn = ReadLE32(bytes + 6);
    m_YColumn = ReadLE32(bytes + 10);
    m_Path.assign(path, static_cast<const char*>(zero));
    return true;
}

std::uint32_t CTextPointLoader::RowOf(const void* record) {
    return ReadLE32(static_cast<const unsigned char*>(record) + kPointSize);
}

const char* CTextPointLoader::Attribute(const void* record, std::uint32_t column) const {
    if (record == nullptr)
        return "ERROR";
    const std::uint32_t row = RowOf(record);
    if (row >= m_Rows.size())
        return "ERROR";
    if (column >= m_Rows[row].size())
        return "";
    return m_Rows[row][column].c_str();
}

} // namespace scattern
