#include "shapes/ShapeRecord.h"

#include "platform/ByteOrder.h"

#include <algorithm>

using namespace corvale;

namespace {

constexpr std::size_t kTypeOffset = 8;
constexpr std::size_t kBoxOffset = 12;
constexpr std::size_t kPartCountOffset = 44;
constexpr std::size_t kPointCountOffset = 48;
constexpr std::size_t kPartsOffset = 52;

bool HasZArrays(std::uint32_t type) { return type == SHT_PolylineZ || type == SHT_PolygonZ; }

std::uint32_t RawPartCount(const unsigned char* b) { return ReadLE32(b + kPartCountOffset); }
std::uint32_t RawPointCount(const unsigned char* b) { return ReadLE32(b + kPointCountOffset); }

std::size_t PointsOffset(const unsigned char* b) {
    return kPartsOffset + 4 * static_cast<std::size_t>(RawPartCount(b));
}

// Offset of zmin: the Z range follows the point array.
std::size_t ZRangeOffset(const unsigned char* b) {
    return PointsOffset(b) + 16 * static_cast<std::size_t>(RawPointCount(b));
}

// Offset of mmin: the M range follows the Z array.
std::size_t MRangeOffset(const unsigned char* b) {
    return ZRangeOffset(b) + 16 + 8 * static_cast<std::size_t>(RawPointCount(b));
}

// Size of a multi record; the Z types add their Z block and, when present,
// their M block.
std::uint64_t MultiPartSize(std::uint32_t type, std::uint64_t parts, std::uint64_t points, bool withM) {
    std::uint64_t size = kPartsOffset + 4 * parts + 16 * points;
    if (HasZArrays(type))
        size += (withM ? 2 : 1) * (16 + 8 * points);
    return size;
}

// Whether a Z record carries its M block. The M block of the Z types is
// optional: GDAL and others end a record after its Z values and say so in the
// content length, the one place that tells. Records made by this program
// always carry M and hold the content length in bytes or in words; a value
// that does not describe a record without M (zero among them) means M is there.
bool RecordHasM(const unsigned char* b) {
    const std::uint32_t type = ReadLE32(b + kTypeOffset);
    std::uint64_t withM = 0;
    std::uint64_t withoutM = 0;
    if (type == SHT_PointZ) {
        withM = 44;
        withoutM = 36;
    } else if (HasZArrays(type)) {
        withM = MultiPartSize(type, RawPartCount(b), RawPointCount(b), true);
        withoutM = MultiPartSize(type, RawPartCount(b), RawPointCount(b), false);
    } else {
        return false;
    }
    // Content length in words, as in a file, against the content bytes.
    const std::uint64_t content = 2 * static_cast<std::uint64_t>(ReadBE32(b + 4));
    return !(content >= withoutM - 8 && content < withM - 8);
}

// First and last point index of the part that holds point i (part 0 when no
// part claims it).
void PartEnds(const unsigned char* b, std::uint32_t i, std::uint32_t& first, std::uint32_t& last) {
    const std::uint32_t parts = RawPartCount(b);
    const std::uint32_t points = RawPointCount(b);
    std::uint32_t chosen = 0;
    for (std::uint32_t j = 0; j < parts; ++j) {
        const std::uint32_t start = ReadLE32(b + kPartsOffset + 4 * j);
        const std::uint32_t end = j + 1 < parts ? ReadLE32(b + kPartsOffset + 4 * (j + 1)) : points;
        if (i >= start && i < end) {
            chosen = j;
            break;
        }
    }
    first = parts > 0 ? ReadLE32(b + kPartsOffset + 4 * chosen) : 0;
    const std::uint32_t end =
        chosen + 1 < parts ? ReadLE32(b + kPartsOffset + 4 * (chosen + 1)) : points;
    last = end > 0 ? end - 1 : 0;
}

void WritePoint(unsigned char* b, std::uint32_t i, double x, double y) {
    unsigned char* p = b + PointsOffset(b) + 16 * static_cast<std::size_t>(i);
    WriteLEDouble(p, x);
    WriteLEDouble(p + 8, y);
}

struct Range {
    double lo = 0.0;
    double hi = 0.0;
    void Start(double v) { lo = hi = v; }
    void Widen(double v) {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }
};

} // namespace

double CRecordDouble::Get() const { return m_Bytes ? ReadLEDouble(m_Bytes) : 0.0; }

void CRecordDouble::Set(double value) const {
    if (m_Bytes)
        WriteLEDouble(m_Bytes, value);
}

double CRecordDoubleArray::operator[](std::size_t i) const {
    if (m_Bytes == nullptr || i >= m_Count)
        return 0.0;
    return ReadLEDouble(m_Bytes + 8 * i);
}

bool CShapeRecord::IsMultiType(std::uint32_t type) {
    return type == SHT_Polyline || type == SHT_Polygon || type == SHT_PolylineZ || type == SHT_PolygonZ;
}

std::uint32_t CShapeRecord::GetShapeType(const CShapeRecord* record) {
    return ReadLE32(Bytes(record) + kTypeOffset);
}

std::size_t CShapeRecord::GetSize(const CShapeRecord* record) {
    switch (GetShapeType(record)) {
    case SHT_Point:
        return 28;
    case SHT_PointZ:
        return RecordHasM(Bytes(record)) ? 44 : 36;
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_PolylineZ:
    case SHT_PolygonZ:
        return GetMultiPartSize(record);
    default:
        return 0;
    }
}

std::size_t CShapeRecord::GetMultiPartSize(const CShapeRecord* record) {
    const unsigned char* b = Bytes(record);
    return static_cast<std::size_t>(
        MultiPartSize(GetShapeType(record), RawPartCount(b), RawPointCount(b), RecordHasM(b)));
}

bool CShapeRecord::HasM(const CShapeRecord* record) { return RecordHasM(Bytes(record)); }

std::size_t CShapeRecord::GetBodySize(const CShapeRecord* record) {
    const std::size_t size = GetSize(record);
    return size >= 12 ? size - 12 : 0;
}

std::uint32_t CShapeRecord::GetPartCount(const CShapeRecord* record) {
    const std::uint32_t type = GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ)
        return 1;
    return IsMultiType(type) ? RawPartCount(Bytes(record)) : 0;
}

std::uint32_t CShapeRecord::GetPointCount(const CShapeRecord* record) {
    const std::uint32_t type = GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ)
        return 1;
    return IsMultiType(type) ? RawPointCount(Bytes(record)) : 0;
}

CShapePoint CShapeRecord::GetPoint(const CShapeRecord* record, std::uint32_t i) {
    const unsigned char* b = Bytes(record);
    const std::uint32_t type = GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ)
        return {ReadLEDouble(b + 12), ReadLEDouble(b + 20)};
    if (!IsMultiType(type) || i >= RawPointCount(b))
        return {};
    const unsigned char* p = b + PointsOffset(b) + 16 * static_cast<std::size_t>(i);
    return {ReadLEDouble(p), ReadLEDouble(p + 8)};
}

std::uint32_t CShapeRecord::GetPoints(const CShapeRecord* record, std::uint32_t first, std::uint32_t count,
                                      CShapePoint* out) {
    const unsigned char* b = Bytes(record);
    if (!IsMultiType(GetShapeType(record)))
        return 0;
    const std::uint32_t points = RawPointCount(b);
    if (first >= points)
        return 0;
    count = std::min(count, points - first);
    const unsigned char* p = b + PointsOffset(b) + 16 * static_cast<std::size_t>(first);
    for (std::uint32_t i = 0; i < count; ++i, p += 16)
        out[i] = {ReadLEDouble(p), ReadLEDouble(p + 8)};
    return count;
}

std::uint32_t CShapeRecord::GetPartStart(const CShapeRecord* record, std::uint32_t part) {
    const unsigned char* b = Bytes(record);
    if (!IsMultiType(GetShapeType(record)) || part >= RawPartCount(b))
        return 0;
    return ReadLE32(b + kPartsOffset + 4 * static_cast<std::size_t>(part));
}

namespace {

// Box value k (0 xmin, 1 ymin, 2 xmax, 3 ymax) of a multi record, or the
// point's x (k even) or y (k odd).
double BoxValue(const CShapeRecord* record, int k) {
    const unsigned char* b = CShapeRecord::Bytes(record);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ)
        return ReadLEDouble(b + (k % 2 == 0 ? 12 : 20));
    if (CShapeRecord::IsMultiType(type))
        return ReadLEDouble(b + kBoxOffset + 8 * k);
    return 0.0;
}

unsigned char* ZRangePtr(CShapeRecord* record, int k) {
    unsigned char* b = CShapeRecord::Bytes(record);
    if (!HasZArrays(CShapeRecord::GetShapeType(record)))
        return nullptr;
    if (k >= 2 && !RecordHasM(b))
        return nullptr;
    return b + (k < 2 ? ZRangeOffset(b) + 8 * k : MRangeOffset(b) + 8 * (k - 2));
}

double ZRangeValue(const CShapeRecord* record, int k) {
    const unsigned char* p = ZRangePtr(const_cast<CShapeRecord*>(record), k);
    return p ? ReadLEDouble(p) : 0.0;
}

} // namespace

double CShapeRecord::GetMinX(const CShapeRecord* record) { return BoxValue(record, 0); }
double CShapeRecord::GetMinY(const CShapeRecord* record) { return BoxValue(record, 1); }
double CShapeRecord::GetMaxX(const CShapeRecord* record) { return BoxValue(record, 2); }
double CShapeRecord::GetMaxY(const CShapeRecord* record) { return BoxValue(record, 3); }

double CShapeRecord::GetZMin(const CShapeRecord* record) { return ZRangeValue(record, 0); }
double CShapeRecord::GetZMax(const CShapeRecord* record) { return ZRangeValue(record, 1); }
double CShapeRecord::GetMMin(const CShapeRecord* record) { return ZRangeValue(record, 2); }
double CShapeRecord::GetMMax(const CShapeRecord* record) { return ZRangeValue(record, 3); }

CRecordDoubleArray CShapeRecord::GetZArray(const CShapeRecord* record) {
    const unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)))
        return {};
    return {b + ZRangeOffset(b) + 16, RawPointCount(b)};
}

CRecordDoubleArray CShapeRecord::GetMArray(const CShapeRecord* record) {
    const unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)) || !RecordHasM(b))
        return {};
    return {b + MRangeOffset(b) + 16, RawPointCount(b)};
}

CRecordDouble CShapeRecord::GetZPointer(CShapeRecord* record, std::uint32_t i) {
    unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)) || i >= RawPointCount(b))
        return CRecordDouble();
    return CRecordDouble(b + ZRangeOffset(b) + 16 + 8 * static_cast<std::size_t>(i));
}

CRecordDouble CShapeRecord::GetMPointer(CShapeRecord* record, std::uint32_t i) {
    // Through GetMArray, so that a record without M values hands out nothing.
    const CRecordDoubleArray ms = GetMArray(record);
    if (!ms || i >= ms.size())
        return CRecordDouble();
    unsigned char* b = Bytes(record);
    return CRecordDouble(b + MRangeOffset(b) + 16 + 8 * static_cast<std::size_t>(i));
}

CRecordDouble CShapeRecord::GetZMinPointer(CShapeRecord* record) { return CRecordDouble(ZRangePtr(record, 0)); }
CRecordDouble CShapeRecord::GetZMaxPointer(CShapeRecord* record) { return CRecordDouble(ZRangePtr(record, 1)); }
CRecordDouble CShapeRecord::GetMMinPointer(CShapeRecord* record) { return CRecordDouble(ZRangePtr(record, 2)); }
CRecordDouble CShapeRecord::GetMMaxPointer(CShapeRecord* record) { return CRecordDouble(ZRangePtr(record, 3)); }

double CShapeRecord::GetZ(const CShapeRecord* record, std::uint32_t i) {
    const std::uint32_t type = GetShapeType(record);
    if (type == SHT_PointZ)
        return ReadLEDouble(Bytes(record) + 28);
    return GetZArray(record)[i];
}

double CShapeRecord::GetM(const CShapeRecord* record, std::uint32_t i) {
    const std::uint32_t type = GetShapeType(record);
    if (type == SHT_PointZ)
        return RecordHasM(Bytes(record)) ? ReadLEDouble(Bytes(record) + 36) : 0.0;
    return GetMArray(record)[i];
}

void CShapeRecord::SetPoint(CShapeRecord* record, std::uint32_t i, bool recalc, double x, double y) {
    unsigned char* b = Bytes(record);
    if (!IsMultiType(GetShapeType(record)) || i >= RawPointCount(b))
        return;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    PartEnds(b, i, first, last);
    WritePoint(b, i, x, y);
    if (i == first && last != i)
        WritePoint(b, last, x, y);
    else if (i == last && first != i)
        WritePoint(b, first, x, y);
    if (recalc)
        RecalcBounds(record);
}

void CShapeRecord::SetPointZ(CShapeRecord* record, std::uint32_t i, double x, double y, double z) {
    unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)) || i >= RawPointCount(b))
        return;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    PartEnds(b, i, first, last);
    SetPoint(record, i, false, x, y);
    GetZPointer(record, i).Set(z);
    if (i == first && last != i)
        GetZPointer(record, last).Set(z);
    else if (i == last && first != i)
        GetZPointer(record, first).Set(z);
    RecalcBoundsZ(record);
}

void CShapeRecord::SetPointZAt(CShapeRecord* record, std::uint32_t i, double x, double y, double z) {
    unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)) || i >= RawPointCount(b))
        return;
    WritePoint(b, i, x, y);
    GetZPointer(record, i).Set(z);
    RecalcBoundsZ(record);
}

void CShapeRecord::SetPointAt(CShapeRecord* record, std::uint32_t i, double x, double y) {
    unsigned char* b = Bytes(record);
    if (!IsMultiType(GetShapeType(record)) || i >= RawPointCount(b))
        return;
    WritePoint(b, i, x, y);
}

void CShapeRecord::RecalcBounds(CShapeRecord* record) {
    unsigned char* b = Bytes(record);
    const std::uint32_t n = RawPointCount(b);
    if (!IsMultiType(GetShapeType(record)) || n < 1)
        return;
    Range xs, ys;
    for (std::uint32_t i = 0; i < n; ++i) {
        const CShapePoint p = GetPoint(record, i);
        if (i == 0) {
            xs.Start(p.x);
            ys.Start(p.y);
        } else {
            xs.Widen(p.x);
            ys.Widen(p.y);
        }
    }
    WriteLEDouble(b + kBoxOffset, xs.lo);
    WriteLEDouble(b + kBoxOffset + 8, ys.lo);
    WriteLEDouble(b + kBoxOffset + 16, xs.hi);
    WriteLEDouble(b + kBoxOffset + 24, ys.hi);
}

void CShapeRecord::RecalcBoundsZ(CShapeRecord* record) {
    unsigned char* b = Bytes(record);
    if (!HasZArrays(GetShapeType(record)) || RawPointCount(b) < 1)
        return;
    RecalcBounds(record);
    const CRecordDoubleArray zs = GetZArray(record);
    const CRecordDoubleArray ms = GetMArray(record);
    Range z, m;
    z.Start(zs[0]);
    m.Start(ms[0]);
    for (std::size_t i = 1; i < zs.size(); ++i) {
        z.Widen(zs[i]);
        m.Widen(ms[i]);
    }
    GetZMinPointer(record).Set(z.lo);
    GetZMaxPointer(record).Set(z.hi);
    // Without an M block the M pointers are empty and nothing is written.
    GetMMinPointer(record).Set(m.lo);
    GetMMaxPointer(record).Set(m.hi);
}

bool CheckShapeRecordBytes(const unsigned char* bytes, std::uint64_t available, std::size_t& size) {
    if (bytes == nullptr || available < 12)
        return false;
    const std::uint32_t type = ReadLE32(bytes + kTypeOffset);
    std::uint64_t needed = 0;
    switch (type) {
    case SHT_Null:
        needed = 12;
        break;
    case SHT_Point:
        needed = 28;
        break;
    case SHT_PointZ:
        needed = RecordHasM(bytes) ? 44 : 36;
        break;
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_PolylineZ:
    case SHT_PolygonZ: {
        if (available < kPartsOffset)
            return false;
        const std::uint32_t parts = RawPartCount(bytes);
        const std::uint32_t points = RawPointCount(bytes);
        if (parts > points)
            return false;
        needed = MultiPartSize(type, parts, points, RecordHasM(bytes));
        if (needed > available)
            return false;
        std::uint32_t previous = 0;
        for (std::uint32_t j = 0; j < parts; ++j) {
            const std::uint32_t start = ReadLE32(bytes + kPartsOffset + 4 * static_cast<std::size_t>(j));
            if (start >= points || start < previous)
                return false;
            previous = start;
        }
        break;
    }
    default:
        return false;
    }
    if (needed > available)
        return false;
    size = static_cast<std::size_t>(needed);
    return true;
}

bool AreShapeTypesCompatible(std::uint32_t a, std::uint32_t b) {
    auto family = [](std::uint32_t t) { return t == SHT_PointZ || t == SHT_PolylineZ || t == SHT_PolygonZ ? t - 10 : t; };
    return a == b || family(a) == family(b);
}

int GetShapeRecordIndex(const CShapeRecord* record) {
    return static_cast<int>(ReadBE32(CShapeRecord::Bytes(record))) - 1;
}

void SetShapeRecordIndex(CShapeRecord* record, int index) {
    WriteBE32(CShapeRecord::Bytes(record), static_cast<std::uint32_t>(index + 1));
}

void SwapBytes32(std::uint32_t& value) { value = ByteSwap32(value); }
