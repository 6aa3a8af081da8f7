#include "WktReader.h"

#include "shapes/ShapeRecordBuilder.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>

namespace {

struct Point {
    double x;
    double y;
};
using Ring = std::vector<Point>;

constexpr std::size_t kMinLinePoints = 2;
constexpr std::size_t kMinRingPoints = 4;

class Reader {
public:
    explicit Reader(const char* text) : m_Pos(text), m_End(text + std::strlen(text)) {}

    void SkipSpace() {
        while (m_Pos < m_End && (*m_Pos == ' ' || *m_Pos == '\t' || *m_Pos == '\r' || *m_Pos == '\n'))
            ++m_Pos;
    }
    bool AtEnd() {
        SkipSpace();
        return m_Pos == m_End;
    }
    // The next run of letters, in upper case.
    std::string Word() {
        SkipSpace();
        std::string word;
        while (m_Pos < m_End && std::isalpha(static_cast<unsigned char>(*m_Pos)) != 0)
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(*m_Pos++)));
        return word;
    }
    bool Take(char c) {
        SkipSpace();
        if (m_Pos < m_End && *m_Pos == c) {
            ++m_Pos;
            return true;
        }
        return false;
    }
    // A decimal number, read the same under every locale.
    bool Number(double& value) {
        SkipSpace();
        const char* start = m_Pos;
        if (start < m_End && *start == '+')
            ++start;
        const auto [end, error] = std::from_chars(start, m_End, value);
        if (error != std::errc() || !std::isfinite(value))
            return false;
        m_Pos = end;
        return true;
    }
    // "(" x y {"," x y} ")"
    bool List(Ring& points) {
        if (!Take('('))
            return false;
        do {
            Point p{};
            if (!Number(p.x) || !Number(p.y))
                return false;
            points.push_back(p);
        } while (Take(','));
        return Take(')');
    }
    // "(" list {"," list} ")"
    bool ListOfLists(std::vector<Ring>& rings) {
        if (!Take('('))
            return false;
        do {
            Ring ring;
            if (!List(ring))
                return false;
            rings.push_back(std::move(ring));
        } while (Take(','));
        return Take(')');
    }

private:
    const char* m_Pos;
    const char* m_End;
};

std::uint32_t PointCount(const std::vector<Ring>& parts) {
    std::uint32_t count = 0;
    for (const Ring& part : parts)
        count += static_cast<std::uint32_t>(part.size());
    return count;
}

bool EnoughPoints(const std::vector<Ring>& parts, std::size_t minimum) {
    if (parts.empty())
        return false;
    for (const Ring& part : parts)
        if (part.size() < minimum)
            return false;
    return true;
}

void AddMultiPart(std::vector<WktRecord>& records, const std::vector<Ring>& parts, bool polygon) {
    const std::uint32_t partCount = static_cast<std::uint32_t>(parts.size());
    const std::uint32_t pointCount = PointCount(parts);
    WktRecord bytes(CShapeRecordBuilder::RecordSize(partCount, pointCount));
    CShapeRecordBuilder builder;
    builder.m_PartCount = partCount;
    builder.m_PointCount = pointCount;
    builder.m_Record = bytes.data();
    if (polygon)
        builder.BeginPolygon();
    else
        builder.BeginPolyline();
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0)
            builder.NextPart();
        for (const Point& p : parts[k])
            builder.AddPoint(p.x, p.y);
    }
    records.push_back(std::move(bytes));
}

void AddPoint(std::vector<WktRecord>& records, const Point& p) {
    constexpr std::size_t kPointRecordSize = 28;
    WktRecord bytes(kPointRecordSize);
    CShapePointCreator().CreatePoint(bytes.data(), p.x, p.y);
    records.push_back(std::move(bytes));
}

// Reads the geometries of text one after another, appending those of each
// kind to its list (a null list: read and left out). A MULTIPOINT sets
// multipoint. After each geometry stop() may end the reading early. False
// when the text does not read.
template <typename Stop>
bool Scan(const char* text, std::vector<WktRecord>* points, std::vector<WktRecord>* lines,
          std::vector<WktRecord>* polygons, bool& multipoint, Stop stop) {
    Reader reader(text);
    while (!reader.AtEnd()) {
        const std::string word = reader.Word();
        if (word == "POINT") {
            Ring list;
            if (!reader.List(list))
                return false;
            if (points != nullptr)
                AddPoint(*points, list.front());
        } else if (word == "LINESTRING") {
            std::vector<Ring> parts(1);
            if (!reader.List(parts[0]))
                return false;
            if (lines != nullptr && EnoughPoints(parts, kMinLinePoints))
                AddMultiPart(*lines, parts, false);
        } else if (word == "POLYGON") {
            std::vector<Ring> rings;
            if (!reader.ListOfLists(rings))
                return false;
            if (polygons != nullptr && EnoughPoints(rings, kMinRingPoints))
                AddMultiPart(*polygons, rings, true);
        } else if (word == "MULTIPOINT") {
            Ring list;
            if (!reader.List(list))
                return false;
            multipoint = true;
        } else if (word == "MULTILINESTRING") {
            std::vector<Ring> parts;
            if (!reader.ListOfLists(parts))
                return false;
            if (lines != nullptr && EnoughPoints(parts, kMinLinePoints))
                AddMultiPart(*lines, parts, false);
        } else if (word == "MULTIPOLYGON") {
            std::vector<Ring> rings;
            if (!reader.Take('('))
                return false;
            do {
                if (!reader.ListOfLists(rings))
                    return false;
            } while (reader.Take(','));
            if (!reader.Take(')'))
                return false;
            if (polygons != nullptr && EnoughPoints(rings, kMinRingPoints))
                AddMultiPart(*polygons, rings, true);
        } else {
            return false;
        }
        if (stop())
            return true;
    }
    return true;
}

} // namespace

bool ReadWkt(const char* text, std::vector<WktRecord>& records, std::uint32_t wantedType, int maxCount) {
    if (text == nullptr || text[0] == '\0')
        return true;
    const bool points = wantedType == 1 || wantedType == 11;
    const bool lines = wantedType == 3 || wantedType == 13;
    const bool polygons = wantedType == 5;
    bool multipoint = false;
    const bool read = Scan(text, points ? &records : nullptr, lines ? &records : nullptr,
                           polygons ? &records : nullptr, multipoint, [&] {
                               return maxCount > 0 && records.size() >= static_cast<std::size_t>(maxCount);
                           });
    return read && !multipoint;
}

std::uint32_t ReadWktShapes(const char* text, std::vector<WktRecord>& records) {
    if (text == nullptr || text[0] == '\0')
        return 0;
    std::vector<WktRecord> points, lines, polygons;
    bool multipoint = false;
    // A point decides at once, whatever follows it; lines and polygons need
    // the whole text to read.
    const bool read = Scan(text, &points, &lines, &polygons, multipoint, [&] { return !points.empty(); });
    if (!read || multipoint)
        return 0;
    std::uint32_t type = 0;
    if (!points.empty()) {
        type = 1;
        records.push_back(std::move(points.front()));
    } else if (!lines.empty()) {
        type = 3;
        std::move(lines.begin(), lines.end(), std::back_inserter(records));
    } else if (!polygons.empty()) {
        type = 5;
        std::move(polygons.begin(), polygons.end(), std::back_inserter(records));
    }
    return type;
}
