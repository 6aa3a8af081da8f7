#include "MifReader.h"

#include "platform/ByteOrder.h"
#include "platform/TextEncoding.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace ostrela {

namespace {

// A value can never be longer than a MID line, so a wider slot would only
// waste memory; a header asking for more gets this much.
constexpr int kMaxSlotWidth = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The start of the line compared with the keyword, without regard to case,
// over the keyword's length only ("PENCIL" passes as "PEN").
bool Begins(std::string_view line, std::string_view keyword) {
    if (line.size() < keyword.size())
        return false;
    for (std::size_t i = 0; i < keyword.size(); ++i)
        if (Upper(line[i]) != keyword[i])
            return false;
    return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Begins(a, b);
}

// One number as scanf reads one: blanks first, then the longest number. Only
// finite values count; the ones scanf would take as "nan" or "inf" are not
// coordinates.
bool ScanDouble(std::string_view text, std::size_t& pos, double& value) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::size_t start = pos;
    if (start < text.size() && text[start] == '+')
        ++start;
    double v = 0;
    auto result = std::from_chars(text.data() + start, text.data() + text.size(), v);
    if (result.ec != std::errc() || !std::isfinite(v))
        return false;
    value = v;
    pos = static_cast<std::size_t>(result.ptr - text.data());
    return true;
}

// A whole number after blanks (a sign allowed); false when there is none.
bool ScanInt(std::string_view text, std::size_t& pos, long long& value) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::size_t start = pos;
    if (start < text.size() && text[start] == '+')
        ++start;
    long long v = 0;
    auto result = std::from_chars(text.data() + start, text.data() + text.size(), v);
    if (result.ec != std::errc())
        return false;
    value = v;
    pos = static_cast<std::size_t>(result.ptr - text.data());
    return true;
}

// Reads count numbers from position from on, after replacing every decimal
// comma from there to the end of the line by a point.
bool ScanNumbers(std::string& line, std::size_t from, int count, double* values) {
    for (std::size_t i = std::min(from, line.size()); i < line.size(); ++i)
        if (line[i] == ',')
            line[i] = '.';
    std::size_t pos = std::min(from, line.size());
    for (int i = 0; i < count; ++i)
        if (!ScanDouble(line, pos, values[i]))
            return false;
    return true;
}

// A count line: a number of points or sections, never negative.
bool ScanCount(std::string_view line, std::size_t from, std::uint32_t& count) {
    long long v = 0;
    std::size_t pos = std::min(from, line.size());
    if (!ScanInt(line, pos, v) || v < 0 || v > 0x7FFFFFFF)
        return false;
    count = static_cast<std::uint32_t>(v);
    return true;
}

struct TypeInfo {
    const char* keyword;
    int type;
    int width; // -1: from the brackets
};
constexpr TypeInfo kTypes[] = {
    {"CHAR", MCT_Char, -1},     {"INTEGER", MCT_Integer, 12}, {"SMALLINT", MCT_SmallInt, 7},
    {"DECIMAL", MCT_Decimal, -1}, {"FLOAT", MCT_Float, 47},   {"DATE", MCT_Date, 128},
    {"LOGICAL", MCT_Logical, 16},
};

// The clause lines that follow an object and describe its style.
bool IsClause(std::string_view line) {
    for (const char* keyword : {"PEN", "BRUSH", "SYMBOL", "SMOOTH", "CENTER", "FONT", "SPACING", "JUSTIFY", "ANGLE",
                                "LABEL"})
        if (Begins(line, keyword))
            return true;
    return false;
}

// How the text of a file is turned into UTF-8, by its Charset.
enum class TextCode { Utf8, WindowsLatin1, Unknown };

TextCode TextCodeOf(std::string_view charset) {
    if (EqualNoCase(charset, "UTF-8") || EqualNoCase(charset, "UTF8"))
        return TextCode::Utf8;
    if (EqualNoCase(charset, "WINDOWSLATIN1") || EqualNoCase(charset, "ISO8859_1") ||
        EqualNoCase(charset, "CODEPAGE1252"))
        return TextCode::WindowsLatin1;
    return TextCode::Unknown;
}

std::string ToUtf8(std::string_view text, TextCode code) {
    switch (code) {
    case TextCode::Utf8:
        return std::string(text);
    case TextCode::WindowsLatin1:
        return corvale::Windows1252ToUtf8(text);
    default:
        // "Neutral" and the code pages not converted here: valid UTF-8 stays,
        // other text is read as Windows Latin 1.
        return corvale::TableTextToUtf8(text, corvale::kDbfCodePageUnknown);
    }
}

// The length of text cut to at most n bytes without splitting a UTF-8
// sequence.
std::size_t CutUtf8(std::string_view text, std::size_t n) {
    if (text.size() <= n)
        return text.size();
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

using Points = std::vector<std::pair<double, double>>;
using Parts = std::vector<Points>;

} // namespace

std::uint32_t AttributeTypeOf(int columnType) {
    switch (columnType) {
    case MCT_Integer:
    case MCT_SmallInt:
        return 1;
    case MCT_Decimal:
    case MCT_Float:
        return 2;
    default:
        return 0;
    }
}

// The state of one parse: the two texts, their read positions and the
// push-back stack of the MIF lines.
struct CMIF::Parser {
    CMIF& mif;
    std::string_view text;
    std::size_t pos = 0;
    std::string_view mid;
    std::size_t midPos = 0;
    std::vector<std::string> pushedBack;

    // The next meaningful MIF line: leading blanks dropped, empty lines and
    // comment lines (an apostrophe first) skipped. False at the end.
    bool ReadLine(std::string& line) {
        if (!pushedBack.empty()) {
            line = std::move(pushedBack.back());
            pushedBack.pop_back();
            return true;
        }
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view raw = text.substr(pos, end - pos);
            pos = end + 1;
            while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n'))
                raw.remove_suffix(1);
            std::size_t first = 0;
            while (first < raw.size() && IsBlank(raw[first]))
                ++first;
            raw.remove_prefix(first);
            if (raw.empty() || raw.front() == '\'')
                continue;
            line.assign(raw);
            return true;
        }
        return false;
    }
    void PushBack(std::string line) { pushedBack.push_back(std::move(line)); }

    // The next MID row; an empty row once the table gives out.
    std::string_view ReadMidRow() {
        if (midPos >= mid.size())
            return {};
        std::size_t end = mid.find('\n', midPos);
        if (end == std::string_view::npos)
            end = mid.size();
        std::string_view row = mid.substr(midPos, end - midPos);
        midPos = end + 1;
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        return row;
    }

    // Splits a MID row into the record's slots. A text field that starts with
    // a double quote runs to the closing quote, a doubled quote inside it
    // standing for one quote and a delimiter inside it being kept. Every
    // value is cut to its slot.
    void FillSlots(unsigned char* tail, std::string_view row) {
        unsigned char* slot = tail + 4;
        std::size_t at = 0;
        const char delimiter = mif.m_Delimiter;
        const TextCode textCode = TextCodeOf(mif.m_Charset);
        std::string value;
        for (const MifColumn& column : mif.m_Columns) {
            value.clear();
            if (at <= row.size()) { // past the end: the row gave out before this column
                if (column.m_Type == MCT_Char && at < row.size() && row[at] == '"') {
                    std::size_t i = at + 1;
                    bool closed = false;
                    while (i < row.size()) {
                        if (row[i] == '"') {
                            if (i + 1 < row.size() && row[i + 1] == '"') {
                                value.push_back('"');
                                i += 2;
                                continue;
                            }
                            closed = true;
                            ++i;
                            break;
                        }
                        value.push_back(row[i++]);
                    }
                    if (closed) {
                        std::size_t next = row.find(delimiter, i);
                        at = next == std::string_view::npos ? row.size() + 1 : next + 1;
                    } else {
                        at = row.size() + 1;
                    }
                } else {
                    std::size_t next = row.find(delimiter, at);
                    if (next == std::string_view::npos) {
                        value.assign(row.substr(at));
                        at = row.size() + 1;
                    } else {
                        value.assign(row.substr(at, next - at));
                        at = next + 1;
                    }
                }
            }
            // A UTF-8 value is never cut inside a character.
            const bool utf8 = textCode == TextCode::Utf8 ||
                              (textCode == TextCode::Unknown && corvale::IsValidUtf8(value));
            const std::size_t n = utf8
                                      ? CutUtf8(value, static_cast<std::size_t>(column.m_Width))
                                      : std::min(value.size(), static_cast<std::size_t>(column.m_Width));
            std::memcpy(slot, value.data(), n);
            slot[n] = 0;
            slot += static_cast<std::size_t>(column.m_Width) + 1;
        }
    }

    void StoreTail(unsigned char* tail, std::uint32_t objectNumber, bool readRow) {
        corvale::WriteLE32(tail, objectNumber);
        std::string_view row = readRow ? ReadMidRow() : std::string_view();
        FillSlots(tail, row);
    }

    void ParsePen(const std::string& line) {
        std::size_t open = line.find('(');
        if (open == std::string::npos)
            return;
        std::size_t at = open + 1;
        long long width = 0, pattern = 0, color = 0;
        if (!ScanInt(line, at, width))
            return;
        if (at >= line.size() || line[at] != ',')
            return;
        ++at;
        if (!ScanInt(line, at, pattern))
            return;
        if (at >= line.size() || line[at] != ',')
            return;
        ++at;
        if (!ScanInt(line, at, color))
            return;
        mif.m_PenWidth = static_cast<int>(width);
        mif.m_PenColor = static_cast<std::uint32_t>(color);
    }

    // After an object: each optional clause in turn, consumed when the next
    // line begins with it (PEN is read, the others skipped); the first line
    // that is none of them is given back. The end of the file here is the
    // normal end of the data.
    void Clauses(std::initializer_list<const char*> keywords) {
        std::string line;
        if (!ReadLine(line))
            return;
        for (const char* keyword : keywords) {
            if (!Begins(line, keyword))
                continue;
            if (std::strcmp(keyword, "PEN") == 0)
                ParsePen(line);
            if (!ReadLine(line))
                return;
        }
        PushBack(std::move(line));
    }

    bool ReadPoints(std::uint32_t count, Points& points) {
        std::string line;
        for (std::uint32_t i = 0; i < count; ++i) {
            double xy[2];
            if (!ReadLine(line) || !ScanNumbers(line, 0, 2, xy))
                return false;
            points.emplace_back(xy[0], xy[1]);
        }
        return true;
    }

    // A section: its point-count line, then its points.
    bool ReadSection(Parts& parts) {
        std::string line;
        std::uint32_t count = 0;
        if (!ReadLine(line) || !ScanCount(line, 0, count))
            return false;
        parts.emplace_back();
        return ReadPoints(count, parts.back());
    }

    void AddPoint(double x, double y, std::uint32_t objectNumber) {
        const std::size_t size = 28 + mif.m_TailSize;
        unsigned char* record = mif.Allocate(size);
        CShapePointCreator creator(++mif.m_Points);
        creator.CreatePoint(record, x, y);
        StoreTail(record + 28, objectNumber, true);
        mif.m_PointRecords.push_back(record);
    }

    // A polyline or polygon of the non-empty parts; false when nothing is
    // left, in which case the caller skips the object's row.
    bool AddMulti(bool polygon, Parts& parts, std::uint32_t objectNumber) {
        parts.erase(std::remove_if(parts.begin(), parts.end(), [](const Points& p) { return p.empty(); }),
                    parts.end());
        if (parts.empty())
            return false;
        std::size_t points = 0;
        for (const Points& p : parts)
            points += p.size();
        const auto partCount = static_cast<std::uint32_t>(parts.size());
        const auto pointCount = static_cast<std::uint32_t>(points);
        const std::size_t geometry = CShapeRecordBuilder::RecordSize(partCount, pointCount);
        unsigned char* record = mif.Allocate(geometry + mif.m_TailSize);
        CShapeRecordBuilder builder;
        builder.m_PartCount = partCount;
        builder.m_PointCount = pointCount;
        builder.m_RecordNumber = polygon ? ++mif.m_Regions : ++mif.m_Lines;
        builder.m_Record = record;
        if (polygon)
            builder.BeginPolygon();
        else
            builder.BeginPolyline();
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                builder.NextPart();
            for (const auto& p : parts[i])
                builder.AddPoint(p.first, p.second);
        }
        StoreTail(record + geometry, objectNumber, true);
        (polygon ? mif.m_PolygonRecords : mif.m_PolylineRecords).push_back(record);
        return true;
    }

    // A multi-part object of an enabled kind becomes a record; otherwise (or
    // when it holds no point) its row is passed over.
    void Deliver(bool enabled, bool polygon, Parts& parts, std::uint32_t objectNumber) {
        if (!enabled || !AddMulti(polygon, parts, objectNumber))
            ReadMidRow();
    }

    bool Header() {
        std::string line;
        if (!ReadLine(line) || !Begins(line, "VERSION"))
            return false;
        {
            long long v = 0;
            std::size_t at = 7;
            if (ScanInt(line, at, v))
                mif.m_Version = static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
        }
        if (!ReadLine(line))
            return false;
        if (Begins(line, "CHARSET")) {
            if (line.size() > 9) {
                // The word inside the quotes: from the 10th character, less the closing quote.
                mif.m_Charset = line.substr(9, line.size() - 10);
            }
            if (!ReadLine(line))
                return false;
        }
        if (Begins(line, "DELIMITER")) {
            if (line.size() > 11)
                mif.m_Delimiter = line[11];
            if (!ReadLine(line))
                return false;
        }
        for (const char* skipped : {"UNIQUE", "INDEX", "COORDSYS", "TRANSFORM"}) {
            if (Begins(line, skipped) && !ReadLine(line))
                return false;
        }
        if (!Begins(line, "COLUMNS"))
            return false;
        std::uint32_t columns = 0;
        if (!ScanCount(line, 7, columns))
            return false;
        for (std::uint32_t i = 0; i < columns; ++i) {
            if (!ReadLine(line) || !Column(line))
                return false;
        }
        if (!ReadLine(line))
            return true; // no DATA line: handled by the caller
        PushBack(std::move(line));
        return true;
    }

    bool Column(std::string_view line) {
        std::size_t at = 0;
        while (at < line.size() && !IsBlank(line[at]))
            ++at;
        MifColumn column;
        column.m_Name.assign(line.substr(0, at));
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !IsBlank(line[end]) && line[end] != '(')
            ++end;
        std::string_view keyword = line.substr(at, end - at);
        const TypeInfo* info = nullptr;
        for (const TypeInfo& t : kTypes)
            if (EqualNoCase(keyword, t.keyword))
                info = &t;
        if (info == nullptr)
            return false;
        column.m_Type = info->type;
        if (info->width >= 0) {
            column.m_Width = info->width;
        } else {
            while (end < line.size() && IsBlank(line[end]))
                ++end;
            if (end >= line.size() || line[end] != '(')
                return false;
            ++end;
            long long width = 0;
            if (!ScanInt(line, end, width) || width < 0)
                return false;
            // A decimal's width counts its digits; its text also needs room
            // for the sign and the decimal point.
            if (info->type == MCT_Decimal)
                width += 2;
            column.m_Width = static_cast<int>(std::min<long long>(width, kMaxSlotWidth));
        }
        column.m_Name = ToUtf8(column.m_Name, TextCodeOf(mif.m_Charset));
        mif.m_TailSize += static_cast<std::size_t>(column.m_Width) + 1;
        mif.m_Columns.push_back(std::move(column));
        return true;
    }

    bool Data() {
        std::string line;
        if (!ReadLine(line) || !Begins(line, "DATA"))
            return false;
        mif.m_Points = mif.m_Lines = mif.m_Regions = mif.m_Arcs = mif.m_Texts = 0;
        mif.m_ObjectNumber = 0;
        while (ReadLine(line)) {
            const std::uint32_t object = mif.m_ObjectNumber;
            if (Begins(line, "POINT")) {
                double xy[2];
                if (!ScanNumbers(line, 5, 2, xy))
                    return false;
                if (mif.m_ImportPoints)
                    AddPoint(xy[0], xy[1], object);
                else
                    ReadMidRow();
                Clauses({"SYMBOL"});
            } else if (Begins(line, "LINE")) {
                double v[4];
                if (!ScanNumbers(line, 4, 4, v))
                    return false;
                Parts parts{{{v[0], v[1]}, {v[2], v[3]}}};
                Deliver(mif.m_ImportPolylines, false, parts, object);
                Clauses({"PEN"});
            } else if (Begins(line, "PLINE")) {
                std::string_view rest = std::string_view(line).substr(std::min<std::size_t>(5, line.size()));
                std::size_t digit = 0;
                while (digit < rest.size() && !(rest[digit] >= '0' && rest[digit] <= '9'))
                    ++digit;
                bool multiple = false;
                for (std::size_t i = 0; i + 8 <= digit; ++i)
                    if (Begins(rest.substr(i), "MULTIPLE"))
                        multiple = true;
                std::uint32_t k = 1;
                if (digit < rest.size() && !ScanCount(rest, digit, k))
                    return false;
                Parts parts;
                if (multiple) {
                    for (std::uint32_t i = 0; i < k; ++i)
                        if (!ReadSection(parts))
                            return false;
                } else {
                    parts.emplace_back();
                    if (!ReadPoints(k, parts.back()))
                        return false;
                }
                Deliver(mif.m_ImportPolylines, false, parts, object);
                Clauses({"PEN", "SMOOTH"});
            } else if (Begins(line, "REGION")) {
                std::uint32_t k = 0;
                if (!ScanCount(line, 6, k))
                    return false;
                Parts parts;
                for (std::uint32_t i = 0; i < k; ++i)
                    if (!ReadSection(parts))
                        return false;
                Deliver(mif.m_ImportPolygons, true, parts, object);
                Clauses({"PEN", "BRUSH", "CENTER"});
            } else if (Begins(line, "RECT")) {
                double v[4];
                if (!ScanNumbers(line, 4, 4, v))
                    return false;
                Parts parts{{{v[0], v[1]}, {v[0], v[3]}, {v[2], v[3]}, {v[2], v[1]}, {v[0], v[1]}}};
                Deliver(mif.m_ImportPolygons, true, parts, object);
                Clauses({"PEN", "BRUSH"});
            } else if (Begins(line, "ARC")) {
                if (!ReadLine(line))
                    return false;
                ++mif.m_Arcs;
                ReadMidRow();
                Clauses({"PEN"});
            } else if (Begins(line, "TEXT")) {
                if (!ReadLine(line))
                    return false;
                ++mif.m_Texts;
                ReadMidRow();
                Clauses({"FONT", "SPACING", "JUSTIFY", "ANGLE", "LABEL"});
            } else if (Begins(line, "ROUNDRECT") || Begins(line, "ELLIPSE") || Begins(line, "MULTIPOINT") ||
                       Begins(line, "COLLECTION")) {
                return false;
            } else if (IsClause(line)) {
                // A style clause out of the order the objects above take
                // them in belongs to the object before it: no object of its
                // own and no row.
                if (Begins(line, "PEN"))
                    ParsePen(line);
                continue;
            } else {
                // NONE (an object without geometry, as GDAL writes one) or an
                // object this reader does not take: it still owns its row of
                // the table, and the objects after it keep theirs.
                ReadMidRow();
            }
            ++mif.m_ObjectNumber;
        }
        return true;
    }
};

CMIF::CMIF(bool points, bool polylines, bool polygons)
    : m_ImportPoints(points), m_ImportPolylines(polylines), m_ImportPolygons(polygons) {}

CMIF::~CMIF() = default;

bool CMIF::Parse(std::string_view mif, std::string_view mid) {
    Parser parser{*this, mif, 0, mid, 0, {}};
    if (!parser.Header() || !parser.Data())
        return false;
    m_NonEmptyKinds = (m_PointRecords.empty() ? 0 : 1) + (m_PolylineRecords.empty() ? 0 : 1) +
                      (m_PolygonRecords.empty() ? 0 : 1);
    return true;
}

namespace {

bool ReadWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    text = std::move(buffer).str();
    return true;
}

std::string MidPathOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".mid";
    return path.substr(0, dot) + ".mid";
}

} // namespace

bool CMIF::ReadFile(const std::string& path) {
    m_Path = path;
    std::string mif;
    if (!ReadWhole(path, mif))
        return false;
    std::string mid;
    if (!ReadWhole(MidPathOf(path), mid)) {
        // Try the upper-case extension a file from another system may carry.
        std::string upper = MidPathOf(path);
        upper.replace(upper.size() - 3, 3, "MID");
        if (!ReadWhole(upper, mid))
            mid.clear();
    }
    return Parse(mif, mid);
}

const std::vector<const unsigned char*>& CMIF::Records(std::uint32_t shapeType) const {
    static const std::vector<const unsigned char*> none;
    switch (shapeType) {
    case SHT_Point:
        return m_PointRecords;
    case SHT_Polyline:
        return m_PolylineRecords;
    case SHT_Polygon:
        return m_PolygonRecords;
    default:
        return none;
    }
}

bool CMIF::HasRecords(std::uint32_t shapeType) const { return !Records(shapeType).empty(); }

namespace {

// Where the tail of a record this reader made begins; null for another type.
const unsigned char* TailOf(const void* record) {
    const auto* bytes = static_cast<const unsigned char*>(record);
    const std::uint32_t type = corvale::ReadLE32(bytes + 8);
    if (type == 1 || type == 11)
        return bytes + 28;
    if (type == 3 || type == 5 || type == 13) {
        const std::size_t parts = corvale::ReadLE32(bytes + 44);
        const std::size_t points = corvale::ReadLE32(bytes + 48);
        return bytes + 52 + 4 * parts + 16 * points;
    }
    return nullptr;
}

} // namespace

const char* CMIF::AttributeOf(const void* record, std::uint32_t column, const std::vector<MifColumn>& columns) {
    if (record == nullptr)
        return "###ERROR###";
    const unsigned char* tail = TailOf(record);
    if (tail == nullptr)
        return "###ERROR###";
    if (column >= columns.size())
        return "#ERROR# Out of bounds";
    std::size_t offset = 4;
    for (std::uint32_t i = 0; i < column; ++i)
        offset += static_cast<std::size_t>(columns[i].m_Width) + 1;
    return reinterpret_cast<const char*>(tail + offset);
}

std::string CMIF::AttributeText(const void* record, std::uint32_t column) const {
    return ToUtf8(Attribute(record, column), TextCodeOf(m_Charset));
}

std::uint32_t CMIF::ObjectNumberOf(const void* record) {
    const unsigned char* tail = TailOf(record);
    return tail != nullptr ? corvale::ReadLE32(tail) : 0;
}

} // namespace ostrela
