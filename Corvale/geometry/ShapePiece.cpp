#include "geometry/ShapePiece.h"

#include "geometry/ShapeParts.h"
#include "shapes/ShapeRecordBuilder.h"

#include <cmath>
#include <cstddef>
#include <memory>

namespace {

// The largest record the builders are asked for: its content length must fit
// the 32-bit field, and a file stores it in 16-bit words below 2^31.
constexpr std::uint64_t kMaxRecordSize = 0x7FFFFFFF;

bool IsFinitePoint(const CShapePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

} // namespace

bool IsShapeZType(std::uint32_t type) {
    return type == SHT_PointZ || type == SHT_PolylineZ || type == SHT_PolygonZ;
}

std::uint32_t GetShapeFamily(std::uint32_t type) {
    switch (type) {
    case SHT_Point:
    case SHT_PointZ:
        return SHT_Point;
    case SHT_Polyline:
    case SHT_PolylineZ:
        return SHT_Polyline;
    case SHT_Polygon:
    case SHT_PolygonZ:
        return SHT_Polygon;
    default:
        return 0;
    }
}

bool IsShapeRecordSound(const CShapeRecord* record) {
    if (record == nullptr)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ)
        return IsFinitePoint(CShapeRecord::GetPoint(record, 0));
    if (!CShapeRecord::IsMultiType(type))
        return false;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    if (parts == 0 || parts > points || CShapeRecord::GetPartStart(record, 0) != 0)
        return false;
    std::uint32_t previous = 0;
    for (std::uint32_t j = 1; j < parts; ++j) {
        const std::uint32_t start = CShapeRecord::GetPartStart(record, j);
        if (start < previous || start >= points)
            return false;
        previous = start;
    }
    for (std::uint32_t i = 0; i < points; ++i)
        if (!IsFinitePoint(CShapeRecord::GetPoint(record, i)))
            return false;
    return true;
}

void CShapePiece::Add(const CShapePoint& p, bool withZ, double z, double m) {
    m_Points.push_back(p);
    if (withZ) {
        m_Z.push_back(z);
        m_M.push_back(m);
    }
}

void CShapePiece::AddFrom(const CShapePiece& other, std::uint32_t i, bool withZ) {
    Add(other.m_Points[i], withZ, i < other.m_Z.size() ? other.m_Z[i] : 0.0,
        i < other.m_M.size() ? other.m_M[i] : 0.0);
}

bool ReadShapePiece(const CShapeRecord* record, CShapePiece& piece) {
    piece = CShapePiece();
    if (!IsShapeRecordSound(record) || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return false;
    const bool withZ = IsShapeZType(CShapeRecord::GetShapeType(record));
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    piece.m_PartStarts.reserve(parts);
    piece.m_Points.reserve(points);
    for (std::uint32_t j = 0; j < parts; ++j)
        piece.m_PartStarts.push_back(GetShapePartRange(record, j).first);
    for (std::uint32_t i = 0; i < points; ++i)
        piece.Add(CShapeRecord::GetPoint(record, i), withZ, CShapeRecord::GetZ(record, i),
                  CShapeRecord::GetM(record, i));
    return true;
}

CShapeRecord* BuildShapeRecord(std::uint32_t type, std::uint32_t recordNumber, const CShapePiece& piece) {
    if (!CShapeRecord::IsMultiType(type) || piece.m_PartStarts.empty() || piece.m_PartStarts[0] != 0)
        return nullptr;
    const std::size_t parts = piece.m_PartStarts.size();
    const std::size_t points = piece.m_Points.size();
    for (std::size_t j = 0; j < parts; ++j) {
        const std::size_t end = j + 1 < parts ? piece.m_PartStarts[j + 1] : points;
        if (piece.m_PartStarts[j] >= end)
            return nullptr;
    }
    for (const CShapePoint& p : piece.m_Points)
        if (!IsFinitePoint(p))
            return nullptr;
    const bool withZ = IsShapeZType(type);
    const std::uint64_t size = 52 + 4 * static_cast<std::uint64_t>(parts) +
                               (withZ ? 32 : 16) * static_cast<std::uint64_t>(points) + (withZ ? 32 : 0);
    if (size > kMaxRecordSize)
        return nullptr;

    std::unique_ptr<unsigned char[]> buffer(new unsigned char[static_cast<std::size_t>(size)]);
    CShapeRecordBuilderZ builder;
    builder.m_PartCount = static_cast<std::uint32_t>(parts);
    builder.m_PointCount = static_cast<std::uint32_t>(points);
    builder.m_RecordNumber = recordNumber;
    builder.m_Record = buffer.get();
    bool ok = type == SHT_Polyline    ? builder.BeginPolyline()
              : type == SHT_Polygon   ? builder.BeginPolygon()
              : type == SHT_PolylineZ ? builder.BeginPolylineZ()
                                      : builder.BeginPolygonZ();
    std::size_t part = 0;
    for (std::size_t i = 0; i < points && ok; ++i) {
        while (part + 1 < parts && piece.m_PartStarts[part + 1] == i) {
            ok = builder.NextPart();
            ++part;
        }
        const CShapePoint& p = piece.m_Points[i];
        if (withZ)
            ok = ok && builder.AddPoint(p.x, p.y, i < piece.m_Z.size() ? piece.m_Z[i] : 0.0,
                                        i < piece.m_M.size() ? piece.m_M[i] : 0.0);
        else
            ok = ok && builder.CShapeRecordBuilder::AddPoint(p.x, p.y);
    }
    if (!ok)
        return nullptr;
    return CShapeRecord::FromBytes(buffer.release());
}

void FreeShapeRecord(CShapeRecord* record) { delete[] CShapeRecord::Bytes(record); }

void DeleteShapeRecords(CShapeRecordVector& records) {
    for (CShapeRecord* record : records)
        if (record != nullptr)
            FreeShapeRecord(record);
    records.clear();
}
