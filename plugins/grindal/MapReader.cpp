#include "MapReader.h"

#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <system_error>

namespace grindal {

using corvale::ReadLE16;
using corvale::ReadLE32;
using corvale::WriteLE32;

namespace {

constexpr std::size_t kBlockSize = 512;
constexpr std::size_t kObjectBlockHeader = 20;
constexpr std::size_t kCoordBlockHeader = 8;
constexpr std::size_t kPointRecordSize = 28;

const char kError[] = "### ERROR ###";
const char kNotImplemented[] = "### Not implemented ###";

std::int32_t ReadI16(const unsigned char* p) { return static_cast<std::int16_t>(ReadLE16(p)); }
std::int32_t ReadI32(const unsigned char* p) { return static_cast<std::int32_t>(ReadLE32(p)); }

// How an object of a type is laid out. Compressed objects store 16-bit
// values relative to a centre (the block's, or one in the object); the others
// 32-bit values.
enum class Shape { None, Point, Line, Polyline, Sections };

struct ObjectType {
    std::uint8_t type;
    std::uint8_t length;
    Shape shape;
    bool compressed;
    bool polygon;
    std::uint8_t x; // first coordinate, or the centre of a compressed polyline or section object
};

// Region and multi-section polyline objects share their layout; regions end
// with a brush byte more. A 32-bit region is 41 bytes long (offset, size,
// section count, label point, box, pen and brush after the 5-byte head).
constexpr ObjectType kTypes[] = {
    {1, 10, Shape::Point, true, false, 5},
    {2, 14, Shape::Point, false, false, 5},
    {4, 14, Shape::Line, true, false, 5},
    {5, 22, Shape::Line, false, false, 5},
    {7, 34, Shape::Polyline, true, false, 17},
    {8, 38, Shape::Polyline, false, false, 0},
    {13, 37, Shape::Sections, true, true, 19},
    {14, 41, Shape::Sections, false, true, 0},
    {37, 36, Shape::Sections, true, false, 19},
    {38, 40, Shape::Sections, false, false, 0},
    {40, 22, Shape::Point, true, false, 17},
    {41, 26, Shape::Point, false, false, 17},
    {43, 13, Shape::Point, true, false, 5},
    {44, 17, Shape::Point, false, false, 7},
};

const ObjectType* TypeOf(std::uint8_t type) {
    for (const ObjectType& t : kTypes)
        if (t.type == type)
            return &t;
    return nullptr;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

// Reads the objects of one geometry file into the loader's lists.
class CMAPLoader::CObjectDecoder {
public:
    CObjectDecoder(CMAPLoader& loader, const unsigned char* map, std::size_t size)
        : m_Loader(loader), m_Map(map), m_Size(size) {
        if (m_Size >= 400) {
            m_XScale = corvale::ReadLEDouble(m_Map + 368);
            m_YScale = corvale::ReadLEDouble(m_Map + 376);
            m_XDisplacement = corvale::ReadLEDouble(m_Map + 384);
            m_YDisplacement = corvale::ReadLEDouble(m_Map + 392);
        }
    }

    std::size_t ObjectBlockStart() const {
        return m_Size >= 262 && ReadLE16(m_Map + 260) == 500 ? 2 * kBlockSize : kBlockSize;
    }

    void WalkBlocks() {
        for (std::size_t block = ObjectBlockStart(); block + kObjectBlockHeader <= m_Size; block += kBlockSize) {
            if (m_Map[block] != 2)
                continue;
            const std::size_t end =
                std::min({block + kObjectBlockHeader + ReadLE16(m_Map + block + 2), block + kBlockSize, m_Size});
            std::size_t pos = block + kObjectBlockHeader;
            while (pos < end) {
                const ObjectType* type = TypeOf(m_Map[pos]);
                if (type == nullptr) {
                    // Its length is unknown: the rest of the block is lost.
                    ++m_Loader.m_Undecoded;
                    break;
                }
                DecodeAt(pos, *type, block);
                pos += type->length;
            }
        }
    }

    void WalkIndex(const unsigned char* index, std::size_t size) {
        for (std::size_t at = 0; at + 4 <= size; at += 4) {
            const std::uint32_t offset = ReadLE32(index + at);
            // A row without geometry has no object.
            if (offset == 0)
                continue;
            const ObjectType* type = offset < m_Size ? TypeOf(m_Map[offset]) : nullptr;
            if (type == nullptr) {
                ++m_Loader.m_Undecoded;
                continue;
            }
            DecodeAt(offset, *type, offset - offset % kBlockSize);
        }
    }

private:
    // A stream of the coordinate data that starts at an offset and follows the
    // chain of coordinate blocks. It never yields more bytes than the file
    // holds, so a chain that runs in a circle ends.
    class CCoordStream {
    public:
        CCoordStream(const unsigned char* map, std::size_t size, std::size_t offset) : m_Map(map), m_Size(size) {
            Enter(offset);
        }
        // The next value of n bytes (2 or 4); false past the data.
        bool Next(std::size_t n, const unsigned char*& value) {
            const std::size_t used = m_Block + kCoordBlockHeader + m_Used;
            if ((m_Pos % kBlockSize == 0 || m_Pos >= used) && m_Next != 0)
                Enter(static_cast<std::size_t>(m_Next) + kCoordBlockHeader);
            if (m_Taken + n > m_Size || m_Pos + n > m_Size || m_Pos + n < m_Pos)
                return false;
            value = m_Map + m_Pos;
            m_Pos += n;
            m_Taken += n;
            return true;
        }

    private:
        void Enter(std::size_t offset) {
            m_Pos = offset;
            m_Block = offset - offset % kBlockSize;
            m_Used = 0;
            m_Next = 0;
            if (m_Block + kCoordBlockHeader <= m_Size) {
                m_Used = ReadLE16(m_Map + m_Block + 2);
                m_Next = ReadLE32(m_Map + m_Block + 4);
            }
        }

        const unsigned char* m_Map;
        std::size_t m_Size;
        std::size_t m_Pos = 0;
        std::size_t m_Block = 0;
        std::size_t m_Used = 0;
        std::uint32_t m_Next = 0;
        std::size_t m_Taken = 0;
    };

    using Points = std::vector<std::pair<double, double>>;

    double MapX(double x) const { return (x - m_XDisplacement) / m_XScale; }
    double MapY(double y) const { return (y - m_YDisplacement) / m_YScale; }

    // Reads count byte values of the stream as points.
    bool ReadPoints(CCoordStream& stream, std::size_t count, bool compressed, std::int32_t cx, std::int32_t cy,
                    Points& points) {
        const std::size_t n = compressed ? 2 : 4;
        if (count > m_Size / (2 * n))
            return false;
        points.reserve(points.size() + count);
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* x = nullptr;
            const unsigned char* y = nullptr;
            if (!stream.Next(n, x) || !stream.Next(n, y))
                return false;
            const double vx = compressed ? static_cast<double>(cx) + ReadI16(x) : ReadI32(x);
            const double vy = compressed ? static_cast<double>(cy) + ReadI16(y) : ReadI32(y);
            points.emplace_back(MapX(vx), MapY(vy));
        }
        return true;
    }

    // The sections of a region or multi-section polyline: the section headers
    // first, then the vertices of each section.
    bool ReadSections(const unsigned char* object, const ObjectType& type, std::vector<Points>& parts) {
        const std::size_t data = ReadLE32(object + 5);
        const std::size_t count = ReadLE16(object + 13);
        const std::size_t header = type.compressed ? 16 : 24;
        if (count == 0 || count * header > m_Size)
            return false;
        std::int32_t cx = 0;
        std::int32_t cy = 0;
        if (type.compressed) {
            cx = ReadI32(object + type.x);
            cy = ReadI32(object + type.x + 4);
        }
        std::vector<std::size_t> vertices(count);
        std::vector<std::size_t> starts(count);
        {
            CCoordStream stream(m_Map, m_Size, data);
            std::size_t before = 0;
            for (std::size_t s = 0; s < count; ++s) {
                // Vertex count, hole count, the box (four values), the
                // vertex offset.
                const unsigned char* value = nullptr;
                if (!stream.Next(2, value))
                    return false;
                vertices[s] = ReadLE16(value);
                const std::size_t skip = type.compressed ? 5 : 9;
                for (std::size_t i = 0; i < skip; ++i)
                    if (!stream.Next(2, value))
                        return false;
                const unsigned char* offset = nullptr;
                if (!stream.Next(4, offset))
                    return false;
                const std::size_t n = type.compressed ? 2 : 4;
                starts[s] = type.compressed ? header * count + 2 * n * before : ReadLE32(offset);
                before += vertices[s];
            }
            if (before > m_Size)
                return false;
        }
        // Each section's vertices are reached through the chain from the
        // start of the data, as if the blocks were one; sections in order
        // are read in one pass.
        auto stream = std::make_unique<CCoordStream>(m_Map, m_Size, data);
        std::size_t consumed = 0;
        for (std::size_t s = 0; s < count; ++s) {
            if (vertices[s] == 0)
                continue;
            if (starts[s] < consumed) {
                stream = std::make_unique<CCoordStream>(m_Map, m_Size, data);
                consumed = 0;
            }
            const unsigned char* value = nullptr;
            for (; consumed + 2 <= starts[s]; consumed += 2)
                if (!stream->Next(2, value))
                    return false;
            Points points;
            if (!ReadPoints(*stream, vertices[s], type.compressed, cx, cy, points))
                return false;
            consumed += vertices[s] * (type.compressed ? 4 : 8);
            parts.push_back(std::move(points));
        }
        return !parts.empty();
    }

    // The object at pos; block is the start of the object block that holds
    // it, whose centre its compressed values count from.
    void DecodeAt(std::size_t pos, const ObjectType& type, std::size_t block) {
        if (pos + type.length > m_Size) {
            ++m_Loader.m_Undecoded;
            return;
        }
        const unsigned char* object = m_Map + pos;
        const std::uint32_t id = ReadLE32(object + 1);
        if ((id & kDeletedBit) != 0) {
            ++m_Loader.m_Undecoded;
            return;
        }
        const std::uint32_t row = (id & ~kDeletedBit) - 1;
        std::int32_t bx = 0;
        std::int32_t by = 0;
        if (block + kObjectBlockHeader <= m_Size) {
            bx = ReadI32(m_Map + block + 4);
            by = ReadI32(m_Map + block + 8);
        }
        std::vector<Points> parts;
        bool ok = true;
        switch (type.shape) {
        case Shape::Point: {
            const unsigned char* p = object + type.x;
            const bool added =
                type.compressed
                    ? AddPoint(MapX(static_cast<double>(bx) + ReadI16(p)), MapY(static_cast<double>(by) + ReadI16(p + 2)),
                               row)
                    : AddPoint(MapX(ReadI32(p)), MapY(ReadI32(p + 4)), row);
            if (!added)
                ++m_Loader.m_Undecoded;
            return;
        }
        case Shape::Line: {
            Points points;
            for (int i = 0; i < 2; ++i) {
                const unsigned char* p = object + 5 + (type.compressed ? 4 : 8) * i;
                if (type.compressed)
                    points.emplace_back(MapX(static_cast<double>(bx) + ReadI16(p)),
                                        MapY(static_cast<double>(by) + ReadI16(p + 2)));
                else
                    points.emplace_back(MapX(ReadI32(p)), MapY(ReadI32(p + 4)));
            }
            parts.push_back(std::move(points));
            break;
        }
        case Shape::Polyline: {
            const std::size_t size = ReadLE32(object + 9);
            std::int32_t cx = 0;
            std::int32_t cy = 0;
            if (type.compressed) {
                cx = ReadI32(object + type.x);
                cy = ReadI32(object + type.x + 4);
            }
            CCoordStream stream(m_Map, m_Size, ReadLE32(object + 5));
            Points points;
            ok = ReadPoints(stream, size / (type.compressed ? 4 : 8), type.compressed, cx, cy, points) &&
                 !points.empty();
            parts.push_back(std::move(points));
            break;
        }
        case Shape::Sections:
            ok = ReadSections(object, type, parts);
            break;
        case Shape::None:
            ok = false;
            break;
        }
        if (!ok || !AddMulti(type.polygon, parts, row))
            ++m_Loader.m_Undecoded;
    }

    // A header whose scale is 0 or not a number makes coordinates that are
    // not numbers either: such an object is not a shape.
    static bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

    bool AddPoint(double x, double y, std::uint32_t row) {
        if (!Finite(x, y))
            return false;
        unsigned char* record = m_Loader.m_Pool.Allocate(kPointRecordSize + kTailSize);
        CShapePointCreator(static_cast<std::uint32_t>(m_Loader.m_Points.size() + 1)).CreatePoint(record, x, y);
        WriteLE32(record + kPointRecordSize, row);
        m_Loader.m_Points.push_back(record);
        return true;
    }

    bool AddMulti(bool polygon, const std::vector<Points>& parts, std::uint32_t row) {
        std::size_t points = 0;
        for (const Points& part : parts)
            for (const auto& p : part) {
                if (!Finite(p.first, p.second))
                    return false;
                ++points;
            }
        if (parts.empty() || points == 0 || points > std::numeric_limits<std::uint32_t>::max() / 16)
            return false;
        std::vector<const unsigned char*>& list = polygon ? m_Loader.m_Polygons : m_Loader.m_Polylines;
        const auto partCount = static_cast<std::uint32_t>(parts.size());
        const auto pointCount = static_cast<std::uint32_t>(points);
        const std::size_t geometry = CShapeRecordBuilder::RecordSize(partCount, pointCount);
        unsigned char* record = m_Loader.m_Pool.Allocate(geometry + kTailSize);
        CShapeRecordBuilder builder;
        builder.m_PartCount = partCount;
        builder.m_PointCount = pointCount;
        builder.m_RecordNumber = static_cast<std::uint32_t>(list.size() + 1);
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
        WriteLE32(record + geometry, row);
        list.push_back(record);
        return true;
    }

    CMAPLoader& m_Loader;
    const unsigned char* m_Map;
    std::size_t m_Size;
    double m_XScale = 1;
    double m_YScale = 1;
    double m_XDisplacement = 0;
    double m_YDisplacement = 0;
};

std::vector<FieldKind> ReadFieldKinds(std::string_view text) {
    std::vector<FieldKind> kinds;
    std::size_t pos = 0;
    auto nextLine = [&](std::string& line) {
        if (pos >= text.size())
            return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        line.assign(text.substr(pos, end - pos));
        pos = end + 1;
        return true;
    };
    auto words = [](const std::string& line) {
        std::vector<std::string> out;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (std::isspace(static_cast<unsigned char>(line[i])) || line[i] == '(' ||
                                       line[i] == ')' || line[i] == ',' || line[i] == ';'))
                ++i;
            std::size_t start = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) && line[i] != '(' &&
                   line[i] != ')' && line[i] != ',' && line[i] != ';')
                ++i;
            if (i > start)
                out.push_back(line.substr(start, i - start));
        }
        return out;
    };
    std::string line;
    while (nextLine(line)) {
        const std::vector<std::string> head = words(line);
        if (head.size() != 2 || Lower(head[0]) != "fields")
            continue;
        std::size_t count = 0;
        const auto result = std::from_chars(head[1].data(), head[1].data() + head[1].size(), count);
        if (result.ec != std::errc() || count > 0xFFFF)
            return {};
        while (kinds.size() < count && nextLine(line)) {
            const std::vector<std::string> field = words(line);
            if (field.empty())
                continue;
            if (field.size() < 2)
                return {};
            const std::string type = Lower(field[1]);
            kinds.push_back(type == "char"       ? FieldKind::Text
                            : type == "smallint" ? FieldKind::Int16
                            : type == "integer"  ? FieldKind::Int32
                            : type == "largeint" ? FieldKind::Int64
                            : type == "float"    ? FieldKind::Double
                            : type == "decimal"  ? FieldKind::Trimmed
                                                 : FieldKind::ByLetter);
        }
        if (kinds.size() != count)
            return {};
        return kinds;
    }
    return {};
}

std::string FindCompanion(const std::string& path, const char* ext) {
    namespace fs = std::filesystem;
    const fs::path base(path);
    fs::path exact = base;
    exact.replace_extension(ext);
    std::error_code error;
    if (fs::is_regular_file(exact, error))
        return exact.string();
    const std::string wanted = Lower(exact.filename().string());
    const fs::path folder = base.has_parent_path() ? base.parent_path() : fs::path(".");
    std::string found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (Lower(name) == wanted && it->is_regular_file(error) && (found.empty() || name < found))
            found = name;
    }
    return found.empty() ? std::string() : (base.has_parent_path() ? (folder / found).string() : found);
}

CMAPLoader::~CMAPLoader() = default;

bool CMAPLoader::Load(const std::string& path) {
    m_Path = path;
    CFileReader map;
    if (!map.Open(path.c_str()))
        return false;
    CFileReader index;
    const std::string indexPath = FindCompanion(path, ".id");
    if (!indexPath.empty())
        index.Open(indexPath.c_str());
    const std::string tablePath = FindCompanion(path, ".dat");
    if (!tablePath.empty() && m_Table.Open(tablePath.c_str())) {
        UseTable(m_Table.GetData(), static_cast<std::size_t>(m_Table.GetSize()));
        std::string definition;
        const std::string tabPath = FindCompanion(path, ".tab");
        if (!tabPath.empty() && ReadWholeFile(tabPath, definition))
            UseFieldKinds(ReadFieldKinds(definition));
    }
    Decode(map.GetData(), static_cast<std::size_t>(map.GetSize()), index.IsOpen() ? index.GetData() : nullptr,
           index.IsOpen() ? static_cast<std::size_t>(index.GetSize()) : 0);
    m_UseCount = NonEmptyKinds();
    return true;
}

void CMAPLoader::Decode(const unsigned char* map, std::size_t mapSize, const unsigned char* index,
                        std::size_t indexSize) {
    if (map == nullptr)
        return;
    CObjectDecoder decoder(*this, map, mapSize);
    m_Unindexed = 0;
    if (index != nullptr) {
        decoder.WalkIndex(index, indexSize);
        // The index holds one entry per row of the table, a row without
        // geometry included: the rows past its end were never reached.
        const std::size_t entries = indexSize / 4;
        if (m_Dat != nullptr && m_RowCount > entries)
            m_Unindexed = static_cast<std::uint32_t>(m_RowCount - entries); // the count is a 32-bit word
    } else {
        decoder.WalkBlocks();
    }
}

void CMAPLoader::UseTable(const unsigned char* dat, std::size_t size) {
    m_Fields.clear();
    m_Dat = nullptr;
    if (dat == nullptr || size < 32)
        return;
    m_Dat = dat;
    m_DatSize = size;
    m_RowCount = ReadLE32(dat + 4);
    m_HeaderLength = ReadLE16(dat + 8);
    m_RecordLength = ReadLE16(dat + 10);
    std::uint32_t offset = 0;
    for (std::size_t at = 32; at + 32 <= size && dat[at] != 13; at += 32) {
        CTableField field;
        // A name of all 11 bytes has no terminator: it is cut there.
        const auto* name = reinterpret_cast<const char*>(dat + at);
        field.m_Name.assign(name, strnlen(name, 11));
        field.m_Letter = static_cast<char>(dat[at + 11]);
        field.m_Width = dat[at + 16];
        field.m_Offset = offset;
        offset += field.m_Width;
        m_Fields.push_back(std::move(field));
    }
}

void CMAPLoader::UseFieldKinds(const std::vector<FieldKind>& kinds) {
    if (kinds.size() != m_Fields.size())
        return;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        m_Fields[i].m_Kind = kinds[i];
}

std::uint32_t CMAPLoader::RowOf(const void* record) {
    // The tail stands right behind the record.
    const auto* shape = CShapeRecord::FromBytes(record);
    return ReadLE32(CShapeRecord::Bytes(shape) + CShapeRecord::GetSize(shape));
}

const char* CMAPLoader::Attribute(const void* record, std::uint32_t column) {
    if (m_Dat == nullptr || record == nullptr || column >= m_Fields.size())
        return kError;
    const std::size_t row = RowOf(record);
    const CTableField& field = m_Fields[column];
    // The row must be one the table counts and holds whole, the field one its
    // records hold.
    if (row >= m_RowCount || m_RecordLength == 0 || m_HeaderLength > m_DatSize ||
        row >= (m_DatSize - m_HeaderLength) / m_RecordLength ||
        1 + static_cast<std::size_t>(field.m_Offset) + field.m_Width > m_RecordLength)
        return kError;
    const std::size_t start = m_HeaderLength + row * m_RecordLength + 1 + field.m_Offset;
    const unsigned char* bytes = m_Dat + start;
    const std::uint32_t width = field.m_Width;
    FieldKind kind = field.m_Kind;
    if (kind == FieldKind::ByLetter) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(field.m_Letter)));
        if (letter == 'C')
            kind = width == 2 ? FieldKind::Int16 : width == 4 ? FieldKind::Int32 : width == 8 ? FieldKind::Double
                                                                                            : FieldKind::Text;
        else if (letter == 'N')
            kind = FieldKind::Trimmed;
        else
            return kNotImplemented;
    }
    const std::size_t needed = kind == FieldKind::Int16 ? 2 : kind == FieldKind::Int32 ? 4
                               : kind == FieldKind::Int64 || kind == FieldKind::Double ? 8
                                                                                        : 0;
    if (width < needed)
        return kError;
    switch (kind) {
    case FieldKind::Int16:
        m_Value = std::to_string(ReadI16(bytes));
        break;
    case FieldKind::Int32:
        m_Value = std::to_string(ReadI32(bytes));
        break;
    case FieldKind::Int64: {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | bytes[i];
        m_Value = std::to_string(static_cast<std::int64_t>(v));
        break;
    }
    case FieldKind::Double: {
        // Six decimals, whatever the locale's decimal point.
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, corvale::ReadLEDouble(bytes), std::chars_format::fixed, 6);
        m_Value.assign(buffer, result.ptr);
        break;
    }
    case FieldKind::Trimmed:
    case FieldKind::Text:
    case FieldKind::ByLetter: {
        const auto* text = reinterpret_cast<const char*>(bytes);
        m_Value.assign(text, strnlen(text, width));
        if (kind == FieldKind::Trimmed)
            m_Value.erase(0, m_Value.find_first_not_of(" \t\r\n\v\f"));
        break;
    }
    }
    return m_Value.c_str();
}

const std::vector<const unsigned char*>& CMAPLoader::Records(std::uint32_t shapeType) const {
    static const std::vector<const unsigned char*> none;
    switch (shapeType) {
    case 1:
        return m_Points;
    case 3:
        return m_Polylines;
    case 5:
        return m_Polygons;
    default:
        return none;
    }
}

int CMAPLoader::NonEmptyKinds() const {
    return (m_Points.empty() ? 0 : 1) + (m_Polylines.empty() ? 0 : 1) + (m_Polygons.empty() ? 0 : 1);
}

} // namespace grindal
