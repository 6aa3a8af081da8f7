#pragma once
// Records made with the builders, for tests that need shapes to work on.

#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <stdexcept>
#include <vector>

struct Pt {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double m = 0.0;
};
using Parts = std::vector<std::vector<Pt>>;
using Bytes = std::vector<unsigned char>;

inline const CShapeRecord* Rec(const Bytes& b) { return CShapeRecord::FromBytes(b.data()); }
inline CShapeRecord* Rec(Bytes& b) { return CShapeRecord::FromBytes(b.data()); }

inline Bytes MakePoint(double x, double y, std::uint32_t number = 1) {
    Bytes b(28);
    CShapePointCreator(number).CreatePoint(b.data(), x, y);
    return b;
}

inline Bytes MakePointZ(double x, double y, double z, double m, std::uint32_t number = 1) {
    Bytes b(44);
    CShapePointZCreator(number).CreatePoint(b.data(), x, y, z);
    // The creator leaves m as the buffer holds it.
    corvale::WriteLEDouble(b.data() + 36, m);
    return b;
}

// A polyline or polygon of the given type (3, 5, 13 or 15), one vector per part.
inline Bytes MakeMulti(std::uint32_t type, const Parts& parts, std::uint32_t number = 1) {
    std::uint32_t points = 0;
    for (const auto& part : parts)
        points += static_cast<std::uint32_t>(part.size());
    const bool z = type == SHT_PolylineZ || type == SHT_PolygonZ;
    const auto partCount = static_cast<std::uint32_t>(parts.size());
    Bytes b(z ? CShapeRecordBuilderZ::RecordSize(partCount, points)
              : CShapeRecordBuilder::RecordSize(partCount, points));
    CShapeRecordBuilderZ builder;
    builder.m_PartCount = partCount;
    builder.m_PointCount = points;
    builder.m_RecordNumber = number;
    builder.m_Record = b.data();
    bool ok = type == SHT_Polyline    ? builder.BeginPolyline()
              : type == SHT_Polygon   ? builder.BeginPolygon()
              : type == SHT_PolylineZ ? builder.BeginPolylineZ()
                                      : builder.BeginPolygonZ();
    for (std::size_t j = 0; j < parts.size() && ok; ++j) {
        if (j > 0)
            ok = builder.NextPart();
        for (const Pt& p : parts[j]) {
            ok = ok && (z ? builder.AddPoint(p.x, p.y, p.z, p.m) : builder.CShapeRecordBuilder::AddPoint(p.x, p.y));
        }
    }
    if (!ok)
        throw std::logic_error("record fixture could not be built");
    return b;
}

// A Z record as GDAL writes it: the M block left off, the content length in
// words ending after the Z values.
inline Bytes WithoutM(Bytes b) {
    const std::uint32_t type = corvale::ReadLE32(b.data() + 8);
    std::size_t size = 36;
    if (type != SHT_PointZ) {
        const std::size_t parts = corvale::ReadLE32(b.data() + 44);
        const std::size_t points = corvale::ReadLE32(b.data() + 48);
        size = 68 + 4 * parts + 24 * points;
    }
    b.resize(size);
    corvale::WriteBE32(b.data() + 4, static_cast<std::uint32_t>((size - 8) / 2));
    return b;
}
