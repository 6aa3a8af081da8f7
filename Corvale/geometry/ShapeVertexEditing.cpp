#include "geometry/ShapeVertexEditing.h"

#include "geometry/ShapeParts.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

std::uint32_t RecordNumber(const CShapeRecord* record) {
    return static_cast<std::uint32_t>(GetShapeRecordIndex(record)) + 1u;
}

// Writes the piece over the record with the record's type and number, when
// the new bytes fit where the old ones were; false, nothing changed, when
// they would not or cannot be built.
bool Overwrite(CShapeRecord* record, const CShapePiece& piece) {
    CShapeRecord* built = BuildShapeRecord(CShapeRecord::GetShapeType(record), RecordNumber(record), piece);
    if (built == nullptr)
        return false;
    const std::size_t size = CShapeRecord::GetSize(built);
    const bool fits = size <= CShapeRecord::GetSize(record);
    if (fits)
        std::memcpy(CShapeRecord::Bytes(record), CShapeRecord::Bytes(built), size);
    FreeShapeRecord(built);
    return fits;
}

// Part k's point range of a sound record, or false.
bool PartRange(const CShapeRecord* record, std::uint32_t part, CShapePartRange& range) {
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)) ||
        part >= CShapeRecord::GetPartCount(record))
        return false;
    range = GetShapePartRange(record, part);
    return true;
}

} // namespace

std::uint32_t GetPartPointCount(const CShapeRecord* record, std::uint32_t part) {
    if (!IsShapeRecordSound(record))
        return 0;
    if (CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record)))
        return part == 0 ? 1 : 0;
    CShapePartRange range;
    return PartRange(record, part, range) ? range.end - range.first : 0;
}

bool GetShapePartPoints(const CShapeRecord* record, std::uint32_t part, CShapePointList& points) {
    points.clear();
    if (IsShapeRecordSound(record) && CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record))) {
        if (part != 0)
            return false;
        points.push_back(CShapeRecord::GetPoint(record, 0));
        return true;
    }
    CShapePartRange range;
    if (!PartRange(record, part, range))
        return false;
    points.reserve(range.end - range.first);
    for (std::uint32_t i = range.first; i < range.end; ++i)
        points.push_back(CShapeRecord::GetPoint(record, i));
    return true;
}

bool GetShapePartBounds(const CShapeRecord* record, std::uint32_t part, CDoubleRect& rect) {
    CShapePointList points;
    if (!GetShapePartPoints(record, part, points) || points.empty())
        return false;
    CDoubleRect box(points[0].x, points[0].y, points[0].x, points[0].y);
    for (const CShapePoint& p : points) {
        box.x1 = std::min(box.x1, p.x);
        box.y1 = std::min(box.y1, p.y);
        box.x2 = std::max(box.x2, p.x);
        box.y2 = std::max(box.y2, p.y);
    }
    rect = box;
    return true;
}

bool DeleteShapeVertex(CShapeRecord* record, std::uint32_t v) {
    CShapePiece source;
    if (!ReadShapePiece(record, source) || v >= source.PointCount())
        return false;
    const bool withZ = IsShapeZType(CShapeRecord::GetShapeType(record));
    const bool polygon = GetShapeFamily(CShapeRecord::GetShapeType(record)) == SHT_Polygon;
    CShapePiece out;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        const std::uint32_t begin = source.PartBegin(j);
        const std::uint32_t end = source.PartEnd(j);
        if (v < begin || v >= end) {
            out.StartPart();
            for (std::uint32_t i = begin; i < end; ++i)
                out.AddFrom(source, i, withZ);
            continue;
        }
        const bool closed = polygon && end - begin >= 2 && source.m_Points[begin] == source.m_Points[end - 1];
        // The closing position is rewritten from the first vertex anyway;
        // deleting it would only lose the ring's last real vertex.
        if (closed && v == end - 1)
            return false;
        CShapePiece ring;
        ring.StartPart();
        for (std::uint32_t i = begin; i < end; ++i)
            if (i != v)
                ring.AddFrom(source, i, withZ);
        if (closed && ring.PointCount() >= 2) {
            const std::uint32_t last = ring.PointCount() - 1;
            ring.m_Points[last] = ring.m_Points[0];
            if (withZ) {
                ring.m_Z[last] = ring.m_Z[0];
                ring.m_M[last] = ring.m_M[0];
            }
        }
        if (ring.PointCount() < (polygon ? 2u : 1u))
            continue;
        out.StartPart();
        for (std::uint32_t i = 0; i < ring.PointCount(); ++i)
            out.AddFrom(ring, i, withZ);
    }
    if (out.Empty())
        return false;
    return Overwrite(record, out);
}

bool DeleteShapePart(CShapeRecord* record, std::uint32_t part) {
    CShapePiece source;
    if (!ReadShapePiece(record, source) || part >= source.PartCount() || source.PartCount() < 2)
        return false;
    const bool withZ = IsShapeZType(CShapeRecord::GetShapeType(record));
    CShapePiece out;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        if (j == part)
            continue;
        out.StartPart();
        for (std::uint32_t i = source.PartBegin(j); i < source.PartEnd(j); ++i)
            out.AddFrom(source, i, withZ);
    }
    return Overwrite(record, out);
}

bool RemoveDegenerateParts(CShapeRecord* record) {
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return false;
    const bool withZ = IsShapeZType(CShapeRecord::GetShapeType(record));
    const std::uint32_t least =
        GetShapeFamily(CShapeRecord::GetShapeType(record)) == SHT_Polygon ? 4u : 2u;
    // One rewrite for all the parts that go, rather than one per part.
    std::vector<std::uint32_t> kept;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j)
        if (source.PartEnd(j) - source.PartBegin(j) >= least)
            kept.push_back(j);
    if (kept.empty())
        kept.push_back(source.PartCount() - 1);
    if (kept.size() == source.PartCount())
        return false;
    CShapePiece out;
    for (std::uint32_t j : kept) {
        out.StartPart();
        for (std::uint32_t i = source.PartBegin(j); i < source.PartEnd(j); ++i)
            out.AddFrom(source, i, withZ);
    }
    return Overwrite(record, out);
}

bool ReverseShapePart(CShapeRecord* record, std::uint32_t part) {
    if (IsShapeRecordSound(record) && CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record)))
        return true;
    CShapePartRange range;
    if (!PartRange(record, part, range))
        return false;
    if (range.end - range.first < 2)
        return true;
    for (std::uint32_t i = range.first, k = range.end - 1; i < k; ++i, --k) {
        const CShapePoint a = CShapeRecord::GetPoint(record, i);
        const CShapePoint b = CShapeRecord::GetPoint(record, k);
        CShapeRecord::SetPointAt(record, i, b.x, b.y);
        CShapeRecord::SetPointAt(record, k, a.x, a.y);
        for (auto value : {&CShapeRecord::GetZPointer, &CShapeRecord::GetMPointer}) {
            const CRecordDouble vi = value(record, i);
            const CRecordDouble vk = value(record, k);
            if (vi && vk) {
                const double t = vi.Get();
                vi.Set(vk.Get());
                vk.Set(t);
            }
        }
    }
    return true;
}

bool ReverseShapeParts(CShapeRecord* record) {
    if (IsShapeRecordSound(record) && CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record)))
        return true;
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    for (std::uint32_t j = 0; j < CShapeRecord::GetPartCount(record); ++j)
        if (!ReverseShapePart(record, j))
            return false;
    return true;
}

CShapeRecord* RemoveDuplicateVertices(const CShapeRecord* record, int& removed) {
    removed = 0;
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return nullptr;
    const bool withZ = IsShapeZType(CShapeRecord::GetShapeType(record));
    CShapePiece out;
    int dropped = 0;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        out.StartPart();
        const std::uint32_t begin = source.PartBegin(j);
        out.Add(source.m_Points[begin], withZ, withZ ? source.m_Z[begin] : 0.0);
        for (std::uint32_t i = begin + 1; i < source.PartEnd(j); ++i) {
            if (source.m_Points[i] == out.m_Points.back()) {
                ++dropped;
                continue;
            }
            out.Add(source.m_Points[i], withZ, withZ ? source.m_Z[i] : 0.0);
        }
    }
    if (dropped == 0)
        return nullptr;
    CShapeRecord* result = BuildShapeRecord(CShapeRecord::GetShapeType(record), RecordNumber(record), out);
    if (result != nullptr)
        removed = dropped;
    return result;
}
