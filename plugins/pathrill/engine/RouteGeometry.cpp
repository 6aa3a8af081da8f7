#include "RouteGeometry.h"

#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <cmath>

namespace pathrill {

namespace {

bool BoxHolds(const RouteVertex& a, const RouteVertex& b, double x, double y) {
    return std::min(a.x, b.x) <= x && x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= y &&
           y <= std::max(a.y, b.y);
}

} // namespace

long FindSegmentAt(const RouteVertices& line, double x, double y) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (BoxHolds(line[i], line[i + 1], x, y))
            return static_cast<long>(i);
    return -1;
}

bool SameSegmentAt(const RouteVertices& a, const RouteVertices& b, double x, double y) {
    const long i = FindSegmentAt(a, x, y);
    const long j = FindSegmentAt(b, x, y);
    if (i < 0 || j < 0)
        return false;
    const RouteVertex& a0 = a[static_cast<std::size_t>(i)];
    const RouteVertex& a1 = a[static_cast<std::size_t>(i) + 1];
    const RouteVertex& b0 = b[static_cast<std::size_t>(j)];
    const RouteVertex& b1 = b[static_cast<std::size_t>(j) + 1];
    return (SameXY(a0, b0) && SameXY(a1, b1)) || (SameXY(a0, b1) && SameXY(a1, b0));
}

RouteVertex VertexOnSegment(const RouteVertex& a, const RouteVertex& b, double x, double y) {
    RouteVertex v{x, y, a.z, a.m};
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length > 0.0) {
        const double t = std::clamp(std::hypot(x - a.x, y - a.y) / length, 0.0, 1.0);
        v.z = a.z + (b.z - a.z) * t;
        v.m = a.m + (b.m - a.m) * t;
    }
    return v;
}

bool TrimAtPoint(const RouteVertices& line, double qx, double qy, double ex, double ey, RouteVertices& trimmed,
                 RouteVertices& piece) {
    const long found = FindSegmentAt(line, qx, qy);
    if (found < 0)
        return false;
    const auto s = static_cast<std::size_t>(found);
    const RouteVertex q = VertexOnSegment(line[s], line[s + 1], qx, qy);
    trimmed.clear();
    piece.clear();
    if (SameXY(line.front(), ex, ey)) {
        // Cut from the start: the piece runs from e up to q, the line goes on
        // from q.
        piece.assign(line.begin(), line.begin() + static_cast<long>(s) + 1);
        piece.push_back(q);
        trimmed.push_back(q);
        trimmed.insert(trimmed.end(), line.begin() + static_cast<long>(s) + 1, line.end());
    } else {
        // Cut from the end: the line stops at q, the piece is the rest,
        // turned to run from e back to q.
        trimmed.assign(line.begin(), line.begin() + static_cast<long>(s) + 1);
        trimmed.push_back(q);
        piece.push_back(q);
        piece.insert(piece.end(), line.begin() + static_cast<long>(s) + 1, line.end());
        std::reverse(piece.begin(), piece.end());
    }
    CleanVertices(trimmed);
    return true;
}

RouteVertices ExtendByPiece(const RouteVertices& line, double ex, double ey, const RouteVertices& piece) {
    RouteVertices extended;
    extended.reserve(line.size() + piece.size());
    if (!line.empty() && SameXY(line.front(), ex, ey)) {
        extended.assign(piece.rbegin(), piece.rend());
        extended.insert(extended.end(), line.begin(), line.end());
    } else {
        extended = line;
        extended.insert(extended.end(), piece.begin(), piece.end());
    }
    CleanVertices(extended);
    RemoveLoops(extended);
    return extended;
}

void CleanVertices(RouteVertices& line) {
    line.erase(std::unique(line.begin(), line.end(),
                           [](const RouteVertex& a, const RouteVertex& b) { return SameXY(a, b); }),
               line.end());
}

void RemoveLoops(RouteVertices& line) {
    bool removed = true;
    while (removed && line.size() >= 3) {
        removed = false;
        for (std::size_t i = 1; i + 1 < line.size() && !removed; ++i) {
            for (std::size_t j = i + 1; j < line.size(); ++j) {
                if (SameXY(line[i], line[j])) {
                    line.erase(line.begin() + static_cast<long>(i), line.begin() + static_cast<long>(j));
                    removed = true;
                    break;
                }
            }
        }
    }
}

std::vector<RouteVertices> ReadParts(const void* record, std::size_t size) {
    std::vector<RouteVertices> parts;
    std::size_t checked = 0;
    const auto* bytes = static_cast<const unsigned char*>(record);
    if (record == nullptr || !CheckShapeRecordBytes(bytes, size, checked))
        return parts;
    const CShapeRecord* shape = CShapeRecord::FromBytes(record);
    const std::uint32_t type = CShapeRecord::GetShapeType(shape);
    if (!CShapeRecord::IsPolylineType(type))
        return parts;
    const std::uint32_t total = CShapeRecord::GetPointCount(shape);
    const std::uint32_t count = CShapeRecord::GetPartCount(shape);
    const bool hasZ = type == SHT_PolylineZ;
    const bool hasM = hasZ && CShapeRecord::HasM(shape);
    for (std::uint32_t part = 0; part < count; ++part) {
        const std::uint32_t begin = CShapeRecord::GetPartStart(shape, part);
        const std::uint32_t end = part + 1 < count ? CShapeRecord::GetPartStart(shape, part + 1) : total;
        RouteVertices line;
        for (std::uint32_t i = begin; i < end && i < total; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(shape, i);
            RouteVertex v{p.x, p.y, 0.0, 0.0};
            if (hasZ)
                v.z = CShapeRecord::GetZ(shape, i);
            if (hasM)
                v.m = CShapeRecord::GetM(shape, i);
            line.push_back(v);
        }
        parts.push_back(std::move(line));
    }
    return parts;
}

RouteVertices ReadPartZero(const void* record, std::size_t size) {
    std::vector<RouteVertices> parts = ReadParts(record, size);
    return parts.empty() ? RouteVertices() : std::move(parts.front());
}

namespace {

// A record of the builder's kind holding the parts; begin writes its header,
// add writes one vertex.
template <typename Builder, typename Begin, typename Add>
std::vector<unsigned char> BuildWith(const std::vector<RouteVertices>& parts, Begin begin, Add add) {
    std::uint32_t count = 0;
    for (const RouteVertices& part : parts)
        count += static_cast<std::uint32_t>(part.size());
    const auto partCount = static_cast<std::uint32_t>(parts.size());
    std::vector<unsigned char> record(Builder::RecordSize(partCount, count));
    Builder builder;
    builder.m_PartCount = partCount;
    builder.m_PointCount = count;
    builder.m_Record = record.data();
    begin(builder);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        if (p > 0)
            builder.NextPart();
        for (const RouteVertex& v : parts[p])
            add(builder, v);
    }
    return record;
}

} // namespace

std::vector<unsigned char> BuildPolylineRecord(const std::vector<RouteVertices>& parts, std::uint32_t shapeType) {
    if (shapeType == SHT_PolylineZ)
        return BuildWith<CShapeRecordBuilderZ>(
            parts, [](CShapeRecordBuilderZ& b) { b.BeginPolylineZ(); },
            [](CShapeRecordBuilderZ& b, const RouteVertex& v) { b.AddPoint(v.x, v.y, v.z, v.m); });
    return BuildWith<CShapeRecordBuilder>(
        parts, [](CShapeRecordBuilder& b) { b.BeginPolyline(); },
        [](CShapeRecordBuilder& b, const RouteVertex& v) { b.AddPoint(v.x, v.y); });
}

std::vector<unsigned char> BuildPolylineRecord(const RouteVertices& line, std::uint32_t shapeType) {
    return BuildPolylineRecord(std::vector<RouteVertices>{line}, shapeType);
}

} // namespace pathrill
