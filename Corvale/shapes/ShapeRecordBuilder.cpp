#include "shapes/ShapeRecordBuilder.h"

#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"

using namespace corvale;

namespace {

constexpr std::size_t kBoxOffset = 12;
constexpr std::size_t kPartsOffset = 52;

std::size_t PointArrayEnd(std::uint32_t parts, std::uint32_t points) {
    return kPartsOffset + 4 * static_cast<std::size_t>(parts) + 16 * static_cast<std::size_t>(points);
}

void WriteHeader(unsigned char* record, std::uint32_t number, std::uint32_t contentLength,
                 std::uint32_t type) {
    WriteBE32(record, number);
    WriteBE32(record + 4, contentLength);
    WriteLE32(record + 8, type);
}

// Starts (first point) or widens a range stored as two doubles at lo and lo + 8.
void WidenRange(unsigned char* lo, double v, bool start) {
    if (start) {
        WriteLEDouble(lo, v);
        WriteLEDouble(lo + 8, v);
        return;
    }
    if (v < ReadLEDouble(lo))
        WriteLEDouble(lo, v);
    if (v > ReadLEDouble(lo + 8))
        WriteLEDouble(lo + 8, v);
}

// Widens the x and y ranges of a box stored as xmin, ymin, xmax, ymax.
void WidenXY(unsigned char* box, double x, double y, bool start) {
    if (start) {
        WriteLEDouble(box, x);
        WriteLEDouble(box + 8, y);
        WriteLEDouble(box + 16, x);
        WriteLEDouble(box + 24, y);
        return;
    }
    if (x < ReadLEDouble(box))
        WriteLEDouble(box, x);
    if (y < ReadLEDouble(box + 8))
        WriteLEDouble(box + 8, y);
    if (x > ReadLEDouble(box + 16))
        WriteLEDouble(box + 16, x);
    if (y > ReadLEDouble(box + 24))
        WriteLEDouble(box + 24, y);
}

} // namespace

std::size_t CShapeRecordBuilder::RecordSize(std::uint32_t parts, std::uint32_t points) {
    return PointArrayEnd(parts, points);
}

bool CShapeRecordBuilder::Begin(std::uint32_t type, std::uint32_t contentLength) {
    if (m_Record == nullptr)
        return false;
    WriteHeader(m_Record, m_RecordNumber, contentLength, type);
    WriteLE32(m_Record + 44, m_PartCount);
    WriteLE32(m_Record + 48, m_PointCount);
    if (m_PartCount > 0)
        WriteLE32(m_Record + kPartsOffset, 0);
    m_PointsAdded = 0;
    m_CurrentPart = 0;
    m_BoxStarted = false;
    m_WritePtr = m_Record + kPartsOffset + 4 * static_cast<std::size_t>(m_PartCount);
    return true;
}

bool CShapeRecordBuilder::BeginPolyline() {
    return Begin(SHT_Polyline, static_cast<std::uint32_t>(PointArrayEnd(m_PartCount, m_PointCount) - 8));
}

bool CShapeRecordBuilder::BeginPolygon() {
    return Begin(SHT_Polygon, static_cast<std::uint32_t>(PointArrayEnd(m_PartCount, m_PointCount) - 8));
}

void CShapeRecordBuilder::WidenBox(double x, double y) {
    WidenXY(m_Record + kBoxOffset, x, y, !m_BoxStarted);
}

bool CShapeRecordBuilder::AddPoint(double x, double y) {
    if (m_Record == nullptr || m_WritePtr == nullptr)
        return false;
    if (m_WritePtr < m_Record ||
        static_cast<std::size_t>(m_WritePtr - m_Record) + 16 > PointArrayEnd(m_PartCount, m_PointCount))
        return false;
    ++m_PointsAdded;
    WidenBox(x, y);
    m_BoxStarted = true;
    WriteLEDouble(m_WritePtr, x);
    WriteLEDouble(m_WritePtr + 8, y);
    m_WritePtr += 16;
    return true;
}

bool CShapeRecordBuilder::NextPart() {
    if (m_Record == nullptr)
        return false;
    ++m_CurrentPart;
    if (m_CurrentPart >= m_PartCount)
        return false;
    WriteLE32(m_Record + kPartsOffset + 4 * static_cast<std::size_t>(m_CurrentPart), m_PointsAdded);
    return true;
}

std::size_t CShapeRecordBuilderZ::RecordSize(std::uint32_t parts, std::uint32_t points) {
    return PointArrayEnd(parts, points) + 32 + 16 * static_cast<std::size_t>(points);
}

bool CShapeRecordBuilderZ::BeginZ(std::uint32_t type) {
    const std::size_t size = RecordSize(m_PartCount, m_PointCount);
    if (!Begin(type, static_cast<std::uint32_t>(size - 8)))
        return false;
    const std::size_t zRange = PointArrayEnd(m_PartCount, m_PointCount);
    m_ZWritePtr = m_Record + zRange + 16;
    m_MWritePtr = m_Record + zRange + 16 + 8 * static_cast<std::size_t>(m_PointCount) + 16;
    return true;
}

bool CShapeRecordBuilderZ::BeginPolylineZ() { return BeginZ(SHT_PolylineZ); }

bool CShapeRecordBuilderZ::BeginPolygonZ() { return BeginZ(SHT_PolygonZ); }

bool CShapeRecordBuilderZ::AddPoint(double x, double y, double z, double m) {
    if (m_Record == nullptr || m_WritePtr == nullptr || m_ZWritePtr == nullptr || m_MWritePtr == nullptr)
        return false;
    const std::size_t pointsEnd = PointArrayEnd(m_PartCount, m_PointCount);
    const std::size_t zEnd = pointsEnd + 16 + 8 * static_cast<std::size_t>(m_PointCount);
    const std::size_t mEnd = RecordSize(m_PartCount, m_PointCount);
    auto offset = [this](const unsigned char* p) { return static_cast<std::size_t>(p - m_Record); };
    if (m_WritePtr < m_Record || m_ZWritePtr < m_Record || m_MWritePtr < m_Record ||
        offset(m_WritePtr) + 16 > pointsEnd || offset(m_ZWritePtr) + 8 > zEnd ||
        offset(m_MWritePtr) + 8 > mEnd)
        return false;

    ++m_PointsAdded;
    WidenBox(x, y);
    WidenRange(m_Record + pointsEnd, z, !m_BoxStarted);
    WidenRange(m_Record + zEnd, m, !m_BoxStarted);
    m_BoxStarted = true;
    WriteLEDouble(m_WritePtr, x);
    WriteLEDouble(m_WritePtr + 8, y);
    m_WritePtr += 16;
    WriteLEDouble(m_ZWritePtr, z);
    m_ZWritePtr += 8;
    WriteLEDouble(m_MWritePtr, m);
    m_MWritePtr += 8;
    return true;
}

std::size_t CSinglePartPolylineBuilder::RecordSize(std::uint32_t points) {
    return PointArrayEnd(1, points);
}

bool CSinglePartPolylineBuilder::Begin() {
    if (m_Record == nullptr)
        return false;
    WriteHeader(m_Record, m_RecordNumber, static_cast<std::uint32_t>(RecordSize(m_PointCount) - 8),
                SHT_Polyline);
    WriteLE32(m_Record + 44, 1);
    WriteLE32(m_Record + 48, m_PointCount);
    WriteLE32(m_Record + kPartsOffset, 0);
    m_PointsAdded = 0;
    m_BoxStarted = false;
    m_WritePtr = m_Record + kPartsOffset + 4;
    return true;
}

bool CSinglePartPolylineBuilder::AddPoint(double x, double y) {
    if (m_Record == nullptr || m_WritePtr == nullptr)
        return false;
    if (m_WritePtr < m_Record ||
        static_cast<std::size_t>(m_WritePtr - m_Record) + 16 > RecordSize(m_PointCount))
        return false;
    ++m_PointsAdded;
    WidenXY(m_Record + kBoxOffset, x, y, !m_BoxStarted);
    m_BoxStarted = true;
    WriteLEDouble(m_WritePtr, x);
    WriteLEDouble(m_WritePtr + 8, y);
    m_WritePtr += 16;
    return true;
}

bool CShapePointCreator::CreatePoint(void* buffer, double x, double y) const {
    if (buffer == nullptr)
        return false;
    auto* b = static_cast<unsigned char*>(buffer);
    WriteHeader(b, m_RecordNumber, 20, SHT_Point);
    WriteLEDouble(b + 12, x);
    WriteLEDouble(b + 20, y);
    return true;
}

bool CShapePointZCreator::CreatePoint(void* buffer, double x, double y, double z) const {
    if (buffer == nullptr)
        return false;
    auto* b = static_cast<unsigned char*>(buffer);
    WriteHeader(b, m_RecordNumber, 36, SHT_PointZ);
    WriteLEDouble(b + 12, x);
    WriteLEDouble(b + 20, y);
    WriteLEDouble(b + 28, z);
    return true;
}
