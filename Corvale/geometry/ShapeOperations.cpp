#include "geometry/ShapeOperations.h"

#include "crs/RefSysConverter.h"
#include "platform/ByteOrder.h"
#include "shapes/ShapeRecordBuilder.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// Offsets of a point record's coordinates and of a PointZ's z and m.
constexpr std::size_t kPointX = 12;
constexpr std::size_t kPointY = 20;
constexpr std::size_t kPointM = 36;
constexpr std::size_t kPointSize = 28;
constexpr std::size_t kPointZSize = 44;

bool IsFinite(const CShapePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::uint32_t RecordNumber(const CShapeRecord* record) {
    return static_cast<std::uint32_t>(GetShapeRecordIndex(record)) + 1u;
}

CShapeRecord* MakePointRecord(std::uint32_t number, double x, double y) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kPointSize]);
    CShapePointCreator(number).CreatePoint(buffer.get(), x, y);
    return CShapeRecord::FromBytes(buffer.release());
}

CShapeRecord* MakePointZRecord(std::uint32_t number, double x, double y, double z, double m) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kPointZSize]);
    CShapePointZCreator(number).CreatePoint(buffer.get(), x, y, z);
    corvale::WriteLEDouble(buffer.get() + kPointM, m);
    return CShapeRecord::FromBytes(buffer.release());
}

CShapeRecord* BuildFromParts(std::uint32_t type, const CShapePartList& parts, std::size_t minPoints) {
    if (parts.empty())
        return nullptr;
    CShapePiece piece;
    for (const CShapePointList& part : parts) {
        if (part.size() < minPoints)
            return nullptr;
        piece.StartPart();
        for (const CShapePoint& p : part)
            piece.Add(p, false);
    }
    return BuildShapeRecord(type, 1, piece);
}

// The piece of a record rebuilt as a record of the given dimension: Z values
// kept where the source has them, kShapeNoZ where it gains them; M 0.0.
void AppendParts(CShapePiece& out, const CShapePiece& source, bool sourceHasZ, bool withZ) {
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        out.StartPart();
        for (std::uint32_t i = source.PartBegin(j); i < source.PartEnd(j); ++i)
            out.Add(source.m_Points[i], withZ, sourceHasZ ? source.m_Z[i] : kShapeNoZ, 0.0);
    }
}

CShapeRecord* Combine(const CShapeRecord* a, const CShapeRecord* b, std::uint32_t family) {
    CShapePiece pa, pb;
    if (!ReadShapePiece(a, pa) || !ReadShapePiece(b, pb))
        return nullptr;
    const bool aZ = IsShapeZType(CShapeRecord::GetShapeType(a));
    const bool bZ = IsShapeZType(CShapeRecord::GetShapeType(b));
    CShapePiece out;
    AppendParts(out, pa, aZ, aZ);
    AppendParts(out, pb, bZ, aZ);
    return BuildShapeRecord(aZ ? family + 10 : family, 1, out);
}

// Moves every point of a sound record by f, each stored point once from its
// own position; nothing is written when a moved point is not finite.
template <class Transform> bool TransformPoints(CShapeRecord* record, Transform&& f) {
    if (!IsShapeRecordSound(record))
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type)) {
        const CShapePoint p = f(CShapeRecord::GetPoint(record, 0));
        if (!IsFinite(p))
            return false;
        unsigned char* b = CShapeRecord::Bytes(record);
        corvale::WriteLEDouble(b + kPointX, p.x);
        corvale::WriteLEDouble(b + kPointY, p.y);
        return true;
    }
    const std::uint32_t n = CShapeRecord::GetPointCount(record);
    std::vector<CShapePoint> moved;
    moved.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        moved.push_back(f(CShapeRecord::GetPoint(record, i)));
        if (!IsFinite(moved.back()))
            return false;
    }
    for (std::uint32_t i = 0; i < n; ++i)
        CShapeRecord::SetPointAt(record, i, moved[i].x, moved[i].y);
    CShapeRecord::RecalcBounds(record);
    return true;
}

} // namespace

CShapeRecord* CreatePointShape(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return nullptr;
    return MakePointRecord(1, x, y);
}

CShapeRecord* CreatePolylineShape(const CShapePointList& points) {
    return BuildFromParts(SHT_Polyline, {points}, 2);
}

CShapeRecord* CreatePolygonShape(const CShapePointList& points) {
    return BuildFromParts(SHT_Polygon, {points}, 4);
}

CShapeRecord* CreatePolylineFromParts(const CShapePartList& parts) {
    return BuildFromParts(SHT_Polyline, parts, 2);
}

CShapeRecord* CreatePolygonFromRings(const CShapePartList& rings) {
    return BuildFromParts(SHT_Polygon, rings, 4);
}

CShapeRecord* CombinePolylineShapes(const CShapeRecord* a, const CShapeRecord* b) {
    return Combine(a, b, SHT_Polyline);
}

CShapeRecord* CombinePolygonShapes(const CShapeRecord* a, const CShapeRecord* b) {
    return Combine(a, b, SHT_Polygon);
}

CShapeRecord* AppendPointsToPart(const CShapeRecord* record, const CShapePointList& points, std::uint32_t k) {
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return nullptr;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool withZ = IsShapeZType(type);
    const bool polygon = GetShapeFamily(type) == SHT_Polygon;
    CShapePiece out;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        out.StartPart();
        const std::uint32_t begin = source.PartBegin(j);
        const std::uint32_t end = source.PartEnd(j);
        // A closed ring keeps its closing vertex last.
        const bool closedRing =
            polygon && end - begin >= 2 && source.m_Points[begin] == source.m_Points[end - 1];
        const std::uint32_t insertAt = j == k ? (closedRing ? end - 1 : end) : end;
        for (std::uint32_t i = begin; i < end; ++i) {
            if (i == insertAt)
                for (const CShapePoint& p : points)
                    out.Add(p, withZ, kShapeNoZ, 0.0);
            out.Add(source.m_Points[i], withZ, withZ ? source.m_Z[i] : 0.0, 0.0);
        }
        if (j == k && insertAt == end)
            for (const CShapePoint& p : points)
                out.Add(p, withZ, kShapeNoZ, 0.0);
    }
    return BuildShapeRecord(type, 1, out);
}

CShapeRecord* CloneShapeRecord(const CShapeRecord* record) {
    if (!IsShapeRecordSound(record))
        return nullptr;
    const std::size_t size = CShapeRecord::GetSize(record);
    if (size == 0)
        return nullptr;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    std::memcpy(buffer.get(), CShapeRecord::Bytes(record), size);
    return CShapeRecord::FromBytes(buffer.release());
}

CShapeRecord* ConvertShapeToType(const CShapeRecord* record, std::uint32_t type) {
    if (!IsShapeRecordSound(record))
        return nullptr;
    const std::uint32_t from = CShapeRecord::GetShapeType(record);
    if (GetShapeFamily(from) == 0 || GetShapeFamily(type) != GetShapeFamily(from))
        return nullptr;
    if (type == from)
        return CloneShapeRecord(record);
    const std::uint32_t number = RecordNumber(record) + 1u;
    const bool toZ = IsShapeZType(type);
    if (CShapeRecord::IsPointType(from)) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        return toZ ? MakePointZRecord(number, p.x, p.y, kShapeNoZ, 0.0) : MakePointRecord(number, p.x, p.y);
    }
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return nullptr;
    CShapePiece out;
    AppendParts(out, source, false, toZ);
    return BuildShapeRecord(type, number, out);
}

bool RecalcShapeBounds(CShapeRecord* record) {
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    CShapeRecord::RecalcBounds(record);
    return true;
}

bool RotateShape(CShapeRecord* record, double cx, double cy, double angle) {
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(angle))
        return false;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    // A zero turn leaves every coordinate exactly as it was (cx + (x - cx)
    // need not give x back).
    if (c == 1.0 && s == 0.0)
        return TransformPoints(record, [](const CShapePoint& p) { return p; });
    return TransformPoints(record, [=](const CShapePoint& p) {
        const double dx = p.x - cx;
        const double dy = p.y - cy;
        return CShapePoint{cx + c * dx - s * dy, cy + s * dx + c * dy};
    });
}

bool TranslateShape(CShapeRecord* record, double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return false;
    return TransformPoints(record, [=](const CShapePoint& p) { return CShapePoint{p.x + dx, p.y + dy}; });
}

bool ReprojectPointShape(CShapeRecord* record, const CRefSysConverter& converter) {
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record)))
        return false;
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    CShapePoint q;
    if (!converter.Convert(p.x, p.y, q.x, q.y) || !IsFinite(q))
        return false;
    unsigned char* b = CShapeRecord::Bytes(record);
    corvale::WriteLEDouble(b + kPointX, q.x);
    corvale::WriteLEDouble(b + kPointY, q.y);
    return true;
}

bool ReprojectShape(CShapeRecord* record, const CRefSysConverter& converter,
                    std::vector<std::uint32_t>* failedPoints) {
    if (failedPoints != nullptr)
        failedPoints->clear();
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    const std::uint32_t n = CShapeRecord::GetPointCount(record);
    std::vector<CShapePoint> converted(n);
    bool ok = true;
    for (std::uint32_t i = 0; i < n; ++i) {
        const CShapePoint p = CShapeRecord::GetPoint(record, i);
        if (!converter.Convert(p.x, p.y, converted[i].x, converted[i].y) || !IsFinite(converted[i])) {
            ok = false;
            if (failedPoints == nullptr)
                break;
            failedPoints->push_back(i);
        }
    }
    if (!ok)
        return false;
    for (std::uint32_t i = 0; i < n; ++i)
        CShapeRecord::SetPointAt(record, i, converted[i].x, converted[i].y);
    CShapeRecord::RecalcBounds(record);
    return true;
}
