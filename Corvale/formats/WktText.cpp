#include "formats/WktText.h"

#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapeParts.h"
#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "platform/TextCase.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

// ---- Polygon rings ----

std::vector<std::vector<std::uint32_t>> GroupPolygonRings(const CShapeRecord* record) {
    std::vector<std::vector<std::uint32_t>> polygons;
    if (record == nullptr || !CShapeRecord::IsPolygonType(CShapeRecord::GetShapeType(record)))
        return polygons;
    const std::uint32_t parts = GetMultiPartCount(record);
    std::vector<double> areas(parts);
    std::vector<std::vector<CShapePoint>> rings(parts);
    struct Box {
        double xmin, ymin, xmax, ymax;
    };
    std::vector<Box> boxes(parts);
    for (std::uint32_t j = 0; j < parts; ++j) {
        areas[j] = GetRingSignedArea(record, j);
        const CShapePartRange range = GetShapePartRange(record, j);
        for (std::uint32_t i = range.first; i < range.end; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(record, i);
            Box& box = boxes[j];
            if (i == range.first)
                box = {p.x, p.y, p.x, p.y};
            box = {std::min(box.xmin, p.x), std::min(box.ymin, p.y), std::max(box.xmax, p.x),
                   std::max(box.ymax, p.y)};
            rings[j].push_back(p);
        }
        // The winding test wants a closed ring.
        if (!rings[j].empty() && !(rings[j].front() == rings[j].back()))
            rings[j].push_back(rings[j].front());
    }
    // Holes are the counter-clockwise rings; every other ring is an outer
    // one: clockwise, of no area, or of an area too large to compute (NaN).
    std::vector<int> polygonOfOuter(parts, -1);
    const auto isHole = [&](std::uint32_t j) { return areas[j] > 0.0; };
    for (std::uint32_t j = 0; j < parts; ++j)
        if (!isHole(j)) {
            polygonOfOuter[j] = static_cast<int>(polygons.size());
            polygons.push_back({j});
        }
    // Holes: to the smallest containing outer ring. A vertex of the hole may
    // lie on the outer ring's edge, so a few of its vertices are tried; only
    // outer rings whose box holds the hole's box are tested at all, which
    // keeps shapes of many rings fast.
    std::vector<std::uint32_t> orphans;
    for (std::uint32_t j = 0; j < parts; ++j) {
        if (!isHole(j))
            continue;
        int best = -1;
        double bestArea = std::numeric_limits<double>::infinity();
        for (std::uint32_t k = 0; k < parts; ++k) {
            // A ring whose area cannot be computed counts as the largest.
            const double size = std::isnan(areas[k]) ? std::numeric_limits<double>::infinity() : -areas[k];
            if (isHole(k) || (best >= 0 && size >= bestArea) || rings[k].size() < 4)
                continue;
            const Box& outer = boxes[k];
            const Box& hole = boxes[j];
            if (hole.xmin < outer.xmin || hole.xmax > outer.xmax || hole.ymin < outer.ymin ||
                hole.ymax > outer.ymax)
                continue;
            bool inside = false;
            const std::size_t tries = std::min<std::size_t>(rings[j].size(), 3);
            for (std::size_t t = 0; t < tries && !inside; ++t)
                inside = PointInRingWinding(rings[k], rings[j][t]);
            if (inside) {
                best = static_cast<int>(k);
                bestArea = size;
            }
        }
        if (best >= 0)
            polygons[static_cast<std::size_t>(polygonOfOuter[static_cast<std::size_t>(best)])].push_back(j);
        else
            orphans.push_back(j);
    }
    // A counter-clockwise ring in no outer ring is a polygon drawn the other
    // way round; it keeps its place in record order.
    for (std::uint32_t j : orphans)
        polygons.push_back({j});
    std::stable_sort(polygons.begin(), polygons.end(),
                     [](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
                         return a.front() < b.front();
                     });
    return polygons;
}

// ---- Writer ----

namespace {

bool AllFinite(const CShapeRecord* record, bool withZ) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const std::uint32_t count = CShapeRecord::IsPointType(type) ? 1 : CShapeRecord::GetPointCount(record);
    for (std::uint32_t i = 0; i < count; ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i);
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
        if (withZ && !std::isfinite(CShapeRecord::GetZ(record, i)))
            return false;
    }
    return true;
}

class CWktWriter {
public:
    CWktWriter(const CShapeRecord* record, int precision, bool withZ)
        : m_Record(record), m_Precision(std::clamp(precision, 0, 17)), m_WithZ(withZ) {}

    void Keyword(const char* word) {
        m_Text += word;
        if (m_WithZ)
            m_Text += " Z ";
    }
    void Point(std::uint32_t i) {
        const CShapePoint p = CShapeRecord::GetPoint(m_Record, i);
        m_Text += corvale::FormatFixed(p.x, m_Precision);
        m_Text += ' ';
        m_Text += corvale::FormatFixed(p.y, m_Precision);
        if (m_WithZ) {
            m_Text += ' ';
            m_Text += corvale::FormatFixed(CShapeRecord::GetZ(m_Record, i), m_Precision);
        }
    }
    // "(" points of part j ")".
    void Part(std::uint32_t j) {
        const CShapePartRange range = GetShapePartRange(m_Record, j);
        m_Text += '(';
        for (std::uint32_t i = range.first; i < range.end; ++i) {
            if (i > range.first)
                m_Text += ", ";
            Point(i);
        }
        m_Text += ')';
    }
    // "(" rings ")", the rings joined by ", ".
    void Polygon(const std::vector<std::uint32_t>& rings) {
        m_Text += '(';
        for (std::size_t k = 0; k < rings.size(); ++k) {
            if (k > 0)
                m_Text += ", ";
            Part(rings[k]);
        }
        m_Text += ')';
    }
    std::string& Text() { return m_Text; }

private:
    const CShapeRecord* m_Record;
    int m_Precision;
    bool m_WithZ;
    std::string m_Text;
};

} // namespace

bool FormatShapeAsWkt(const CShapeRecord* record, std::string& text, int precision) {
    if (record == nullptr)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const std::uint32_t family = GetShapeFamily(type);
    if (family == 0 || family == SHT_MultiPoint)
        return false;
    const bool withZ = IsShapeZType(type);
    if (!AllFinite(record, withZ))
        return false;
    CWktWriter writer(record, precision, withZ);
    if (family == SHT_Point) {
        writer.Keyword("POINT");
        writer.Text() += '(';
        writer.Point(0);
        writer.Text() += ')';
    } else if (family == SHT_Polyline) {
        const std::uint32_t parts = GetMultiPartCount(record);
        if (parts == 0 || CShapeRecord::GetPointCount(record) == 0) {
            writer.Text() = withZ ? "LINESTRING Z EMPTY" : "LINESTRING EMPTY";
        } else if (parts == 1) {
            writer.Keyword("LINESTRING");
            writer.Part(0);
        } else {
            writer.Keyword("MULTILINESTRING");
            writer.Text() += '(';
            for (std::uint32_t j = 0; j < parts; ++j) {
                if (j > 0)
                    writer.Text() += ", ";
                writer.Part(j);
            }
            writer.Text() += ')';
        }
    } else {
        const auto polygons = CShapeRecord::GetPointCount(record) == 0
                                  ? std::vector<std::vector<std::uint32_t>>()
                                  : GroupPolygonRings(record);
        if (polygons.empty()) {
            writer.Text() = withZ ? "POLYGON Z EMPTY" : "POLYGON EMPTY";
        } else if (polygons.size() == 1) {
            writer.Keyword("POLYGON");
            writer.Polygon(polygons.front());
        } else {
            writer.Keyword("MULTIPOLYGON");
            writer.Text() += '(';
            for (std::size_t k = 0; k < polygons.size(); ++k) {
                if (k > 0)
                    writer.Text() += ", ";
                writer.Polygon(polygons[k]);
            }
            writer.Text() += ')';
        }
    }
    text = std::move(writer.Text());
    return true;
}

// ---- Parser ----

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

using corvale::StartsWithNoCase;

enum WktKeyword { WK_None, WK_Point, WK_LineString, WK_Polygon, WK_MultiPoint, WK_MultiLineString, WK_MultiPolygon };

struct KeywordEntry {
    const char* word;
    WktKeyword keyword;
};

// In the order the prefixes are tried.
constexpr KeywordEntry kKeywords[] = {
    {"POINT", WK_Point},           {"LINESTRING", WK_LineString},
    {"POLYGON", WK_Polygon},       {"MULTIPOINT", WK_MultiPoint},
    {"MULTILINESTRING", WK_MultiLineString}, {"MULTIPOLYGON", WK_MultiPolygon},
};

// One geometry as read: parts of points, with a Z per point when withZ.
struct CParsedGeometry {
    CShapePiece piece;
    bool withZ = false;
};

class CWktReader {
public:
    explicit CWktReader(std::string_view text) : m_Text(text) {}

    void SkipBlanks() {
        while (m_Pos < m_Text.size() && IsBlank(m_Text[m_Pos]))
            ++m_Pos;
    }
    bool AtEnd() const { return m_Pos >= m_Text.size(); }
    std::string_view Rest() const { return m_Text.substr(m_Pos); }
    void Skip(std::size_t n) { m_Pos += n; }

    bool Expect(char c) {
        SkipBlanks();
        if (m_Pos < m_Text.size() && m_Text[m_Pos] == c) {
            ++m_Pos;
            return true;
        }
        return false;
    }
    bool Peek(char c) {
        SkipBlanks();
        return m_Pos < m_Text.size() && m_Text[m_Pos] == c;
    }

    // A decimal literal as stream extraction reads it: sign, digits,
    // fraction, exponent; no "inf", "nan" or hexadecimal.
    bool Number(double& value) {
        SkipBlanks();
        std::size_t pos = m_Pos;
        if (pos < m_Text.size() && (m_Text[pos] == '+' || m_Text[pos] == '-'))
            ++pos;
        const std::size_t digits = pos;
        if (pos >= m_Text.size() || !((m_Text[pos] >= '0' && m_Text[pos] <= '9') || m_Text[pos] == '.'))
            return false;
        const char* first = m_Text.data() + digits;
        const char* last = m_Text.data() + m_Text.size();
        const auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec != std::errc())
            return false;
        if (m_Text[m_Pos] == '-')
            value = -value;
        m_Pos = static_cast<std::size_t>(result.ptr - m_Text.data());
        return true;
    }

    // After a keyword: an optional Z marker, then either EMPTY (empty true)
    // or the opening parenthesis, which is left for the caller.
    bool Dimension(bool& withZ, bool& empty) {
        SkipBlanks();
        withZ = false;
        empty = false;
        const std::string_view rest = Rest();
        if (StartsWithNoCase(rest, "Z") && rest.size() > 1 && (IsBlank(rest[1]) || rest[1] == '(')) {
            withZ = true;
            Skip(1);
            SkipBlanks();
        }
        if (StartsWithNoCase(Rest(), "EMPTY")) {
            Skip(5);
            empty = true;
            return true;
        }
        return Peek('(');
    }

    // "(" points ")" into a new part of the geometry.
    bool PointList(CParsedGeometry& geometry) {
        if (!Expect('('))
            return false;
        geometry.piece.StartPart();
        for (;;) {
            CShapePoint p;
            double z = 0.0;
            if (!Number(p.x) || !Number(p.y))
                return false;
            if (geometry.withZ && !Number(z))
                return false;
            geometry.piece.Add(p, geometry.withZ, z, 0.0);
            if (Expect(','))
                continue;
            return Expect(')');
        }
    }

    // "(" lists separated by "," ")".
    template <class Item> bool List(Item&& item) {
        if (!Expect('('))
            return false;
        for (;;) {
            if (!item())
                return false;
            if (Expect(','))
                continue;
            return Expect(')');
        }
    }

private:
    std::string_view m_Text;
    std::size_t m_Pos = 0;
};

CShapeRecord* MakePointZ(double x, double y, double z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return nullptr;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[44]);
    CShapePointZCreator(1).CreatePoint(buffer.get(), x, y, z);
    corvale::WriteLEDouble(buffer.get() + 36, 0.0);
    return CShapeRecord::FromBytes(buffer.release());
}

// The record of a kept polyline or polygon; null when a part is too short.
CShapeRecord* MakeMulti(std::uint32_t family, const CParsedGeometry& geometry) {
    const std::uint32_t minPoints = family == SHT_Polygon ? 4 : 2;
    const CShapePiece& piece = geometry.piece;
    if (piece.PartCount() == 0)
        return nullptr;
    for (std::uint32_t j = 0; j < piece.PartCount(); ++j)
        if (piece.PartEnd(j) - piece.PartBegin(j) < minPoints)
            return nullptr;
    const std::uint32_t type = geometry.withZ ? (family == SHT_Polygon ? SHT_PolygonZ : SHT_PolylineZ) : family;
    return BuildShapeRecord(type, 1, piece);
}

} // namespace

bool ParseWkt(const char* text, std::vector<CShapeRecord*>& records, std::uint32_t wantedType, std::size_t maxCount) {
    if (text == nullptr)
        return true;
    return ParseWkt(std::string_view(text), records, wantedType, maxCount);
}

bool ParseWkt(std::string_view text, std::vector<CShapeRecord*>& records, std::uint32_t wantedType,
              std::size_t maxCount) {
    const std::uint32_t wanted = GetShapeFamily(wantedType);
    bool result = true;
    CWktReader reader(text);
    for (;;) {
        reader.SkipBlanks();
        if (reader.AtEnd())
            return result;
        WktKeyword keyword = WK_None;
        for (const KeywordEntry& entry : kKeywords)
            if (StartsWithNoCase(reader.Rest(), entry.word)) {
                keyword = entry.keyword;
                reader.Skip(std::strlen(entry.word));
                break;
            }
        if (keyword == WK_None)
            return false;

        CParsedGeometry geometry;
        bool empty = false;
        if (!reader.Dimension(geometry.withZ, empty))
            return false;
        std::uint32_t family = 0;
        switch (keyword) {
        case WK_Point:
            family = SHT_Point;
            if (!empty && !reader.PointList(geometry))
                return false;
            break;
        case WK_LineString:
            family = SHT_Polyline;
            if (!empty && !reader.PointList(geometry))
                return false;
            break;
        case WK_Polygon:
            family = SHT_Polygon;
            if (!empty && !reader.List([&] { return reader.PointList(geometry); }))
                return false;
            break;
        case WK_MultiPoint:
            // Read for the syntax, never kept.
            if (!empty && !reader.PointList(geometry))
                return false;
            result = false;
            break;
        case WK_MultiLineString:
            family = SHT_Polyline;
            if (!empty && !reader.List([&] { return reader.PointList(geometry); }))
                return false;
            break;
        case WK_MultiPolygon:
            family = SHT_Polygon;
            if (!empty && !reader.List([&] {
                    return reader.List([&] { return reader.PointList(geometry); });
                }))
                return false;
            break;
        case WK_None:
            return false;
        }
        if (family == 0 || family != wanted)
            continue;
        CShapeRecord* record = nullptr;
        if (!empty) {
            if (family == SHT_Point) {
                const CShapePoint& p = geometry.piece.m_Points.front();
                record = geometry.withZ ? MakePointZ(p.x, p.y, geometry.piece.m_Z.front())
                                        : CreatePointShape(p.x, p.y);
            } else {
                record = MakeMulti(family, geometry);
            }
        }
        records.push_back(record);
        if (maxCount > 0 && records.size() >= maxCount)
            return result;
    }
}

bool IsWktText(const char* text) {
    if (text == nullptr)
        return false;
    std::string_view rest(text);
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    for (const KeywordEntry& entry : kKeywords)
        if (StartsWithNoCase(rest, entry.word))
            return true;
    return StartsWithNoCase(rest, "GEOMETRYCOLLECTION");
}

std::uint32_t GetWktShapeType(const char* text) {
    if (text == nullptr)
        return 0;
    std::string_view rest(text);
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    for (const KeywordEntry& entry : kKeywords)
        if (StartsWithNoCase(rest, entry.word))
            switch (entry.keyword) {
            case WK_Point:
                return SHT_Point;
            case WK_LineString:
            case WK_MultiLineString:
                return SHT_Polyline;
            case WK_Polygon:
            case WK_MultiPolygon:
                return SHT_Polygon;
            case WK_MultiPoint:
                return SHT_MultiPoint;
            case WK_None:
                break;
            }
    return 0;
}

// ---- WKB ----

namespace {

// A cursor over WKB bytes that reads in the byte order of the geometry it
// is in and never past the end. Every size is computed in 64 bits.
class CWkbCursor {
public:
    CWkbCursor(const unsigned char* bytes, std::size_t size) : m_Bytes(bytes), m_Size(size) {}

    bool Has(std::uint64_t n) const { return n <= m_Size - m_Pos; }
    std::uint64_t Position() const { return m_Pos; }
    void Seek(std::uint64_t pos) { m_Pos = pos; }

    // A byte-order byte: 1 little-endian, 0 big-endian.
    bool Order(bool& little) {
        if (!Has(1))
            return false;
        const unsigned char b = m_Bytes[m_Pos++];
        if (b > 1)
            return false;
        little = b == 1;
        return true;
    }
    bool U32(bool little, std::uint32_t& value) {
        if (!Has(4))
            return false;
        const unsigned char* p = m_Bytes + m_Pos;
        value = little ? corvale::ReadLE32(p) : corvale::ReadBE32(p);
        m_Pos += 4;
        return true;
    }
    bool Double(bool little, double& value) {
        if (!Has(8))
            return false;
        unsigned char raw[8];
        std::memcpy(raw, m_Bytes + m_Pos, 8);
        if (!little)
            std::reverse(raw, raw + 8);
        value = corvale::ReadLEDouble(raw);
        m_Pos += 8;
        return true;
    }

private:
    const unsigned char* m_Bytes;
    std::uint64_t m_Size;
    std::uint64_t m_Pos = 0;
};

constexpr std::uint32_t kWkbPoint = 1;
constexpr std::uint32_t kWkbLineString = 2;
constexpr std::uint32_t kWkbPolygon = 3;
constexpr std::uint32_t kWkbMultiPolygon = 6;

// Walks a little-endian multi-polygon after its 5-byte header; calls ring(k)
// with the cursor at the first point of each ring of k points in the
// polygon's own byte order. False when anything does not fit.
template <class Ring> bool WalkMultiPolygon(CWkbCursor& cursor, Ring&& ring) {
    std::uint32_t polygons = 0;
    if (!cursor.U32(true, polygons))
        return false;
    for (std::uint32_t p = 0; p < polygons; ++p) {
        bool little = true;
        std::uint32_t type = 0;
        std::uint32_t rings = 0;
        if (!cursor.Order(little) || !cursor.U32(little, type) || !cursor.U32(little, rings))
            return false;
        if (type != kWkbPolygon)
            return false;
        for (std::uint32_t r = 0; r < rings; ++r) {
            std::uint32_t points = 0;
            if (!cursor.U32(little, points))
                return false;
            const std::uint64_t bytes = static_cast<std::uint64_t>(points) * 16u;
            if (!cursor.Has(bytes))
                return false;
            const std::uint64_t next = cursor.Position() + bytes;
            if (!ring(points, little))
                return false;
            cursor.Seek(next);
        }
    }
    return true;
}

} // namespace

bool GetWkbPartAndPointCount(const unsigned char* bytes, std::size_t size, std::uint32_t& parts,
                             std::uint32_t& points) {
    if (bytes == nullptr || size < 5 || bytes[0] != 1)
        return false;
    CWkbCursor cursor(bytes, size);
    bool little = true;
    std::uint32_t type = 0;
    cursor.Order(little);
    cursor.U32(true, type);
    if (type == kWkbPoint) {
        if (size < 21)
            return false;
        parts = 1;
        points = 1;
        return true;
    }
    if (type == kWkbLineString) {
        std::uint32_t n = 0;
        if (!cursor.U32(true, n) || !cursor.Has(static_cast<std::uint64_t>(n) * 16u) || size < 41)
            return false;
        parts = 1;
        points = n;
        return true;
    }
    if (type != kWkbMultiPolygon)
        return false;
    std::uint64_t partTotal = 0;
    std::uint64_t pointTotal = 0;
    if (!WalkMultiPolygon(cursor, [&](std::uint32_t n, bool) {
            ++partTotal;
            pointTotal += n;
            return true;
        }))
        return false;
    // A record counts its parts and points in 32 bits.
    if (partTotal > 0xFFFFFFFFu || pointTotal > 0xFFFFFFFFu)
        return false;
    parts = static_cast<std::uint32_t>(partTotal);
    points = static_cast<std::uint32_t>(pointTotal);
    return true;
}

CShapeRecord* ParseWkb(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr || size < 5 || bytes[0] != 1)
        return nullptr;
    CWkbCursor cursor(bytes, size);
    bool little = true;
    std::uint32_t type = 0;
    cursor.Order(little);
    cursor.U32(true, type);
    if (type == kWkbPoint) {
        double x = 0.0;
        double y = 0.0;
        if (!cursor.Double(true, x) || !cursor.Double(true, y))
            return nullptr;
        return CreatePointShape(x, y);
    }
    if (type != kWkbLineString && type != kWkbMultiPolygon)
        return nullptr;
    std::uint32_t parts = 0;
    std::uint32_t points = 0;
    if (!GetWkbPartAndPointCount(bytes, size, parts, points))
        return nullptr;
    CShapePiece piece;
    piece.m_Points.reserve(points);
    const auto readPoints = [&](std::uint32_t n, bool order) {
        piece.StartPart();
        for (std::uint32_t i = 0; i < n; ++i) {
            CShapePoint p;
            if (!cursor.Double(order, p.x) || !cursor.Double(order, p.y))
                return false;
            piece.Add(p, false);
        }
        return true;
    };
    if (type == kWkbLineString) {
        std::uint32_t n = 0;
        cursor.U32(true, n);
        if (!readPoints(n, true))
            return nullptr;
        return BuildShapeRecord(SHT_Polyline, 1, piece);
    }
    if (!WalkMultiPolygon(cursor, readPoints))
        return nullptr;
    return BuildShapeRecord(SHT_Polygon, 1, piece);
}

std::uint32_t GetWkbShapeType(const unsigned char* bytes) {
    if (bytes == nullptr || bytes[0] > 1)
        return 0;
    const std::uint32_t type = bytes[0] == 1 ? corvale::ReadLE32(bytes + 1) : corvale::ReadBE32(bytes + 1);
    switch (type) {
    case 1:
        return SHT_Point;
    case 2:
    case 5:
        return SHT_Polyline;
    case 3:
    case 6:
        return SHT_Polygon;
    case 4:
        return SHT_MultiPoint;
    default:
        return 0;
    }
}
