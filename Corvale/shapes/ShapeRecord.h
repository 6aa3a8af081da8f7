#pragma once
// One shape, held as the exact bytes of a .shp record (8-byte header included).
//
// A CShapeRecord pointer addresses those bytes: for shape-file themes it points
// straight into the mapped .shp, for every other theme into a heap buffer. The
// type has no members of its own; every accessor is static and reads the bytes
// through memcpy, since the doubles of a record sit at offsets that are not
// 8-aligned. Nothing here hands out a double pointer: points come back as
// values and Z/M values through small views.
//
// Layout (byte offsets from the record start):
//   0  record number, u32 big-endian, 1-based (shape index + 1)
//   4  content length, u32 big-endian (only read to tell whether a Z record
//      carries M, see HasM)
//   8  shape type, u32 little-endian
//   Point 12 x, 20 y; PointZ adds 28 z and, when it has M, 36 m
//   Multi (3, 5, 13, 15): 12 box xmin ymin xmax ymax, 44 P parts, 48 N points,
//   52 P part starts, 52+4P N x/y pairs; Z types then zmin, zmax, N z values
//   and, when the record has M, mmin, mmax, N m values.

#include <cstddef>
#include <cstdint>

enum ShapeType : std::uint32_t {
    SHT_Null = 0,
    SHT_Point = 1,
    SHT_Polyline = 3,
    SHT_Polygon = 5,
    SHT_MultiPoint = 8,
    SHT_PointZ = 11,
    SHT_PolylineZ = 13,
    SHT_PolygonZ = 15,
    SHT_Image = 256,
};

struct CShapePoint {
    double x = 0.0;
    double y = 0.0;
};

inline bool operator==(const CShapePoint& a, const CShapePoint& b) { return a.x == b.x && a.y == b.y; }

// One double inside a record, read and written by value. Empty (false) where
// the record has no such value.
class CRecordDouble {
public:
    CRecordDouble() = default;
    explicit CRecordDouble(unsigned char* bytes) : m_Bytes(bytes) {}
    explicit operator bool() const { return m_Bytes != nullptr; }
    double Get() const;
    void Set(double value) const;

private:
    unsigned char* m_Bytes = nullptr;
};

// A read-only run of doubles inside a record (the Z or M values). Empty
// (false, size 0) where the record has no such values.
class CRecordDoubleArray {
public:
    CRecordDoubleArray() = default;
    CRecordDoubleArray(const unsigned char* bytes, std::size_t count) : m_Bytes(bytes), m_Count(count) {}
    explicit operator bool() const { return m_Bytes != nullptr; }
    std::size_t size() const { return m_Count; }
    // Element i; 0.0 outside the run.
    double operator[](std::size_t i) const;

private:
    const unsigned char* m_Bytes = nullptr;
    std::size_t m_Count = 0;
};

class CShapeRecord {
public:
    CShapeRecord() = delete;

    static const unsigned char* Bytes(const CShapeRecord* record) {
        return reinterpret_cast<const unsigned char*>(record);
    }
    static unsigned char* Bytes(CShapeRecord* record) { return reinterpret_cast<unsigned char*>(record); }
    static CShapeRecord* FromBytes(void* bytes) { return static_cast<CShapeRecord*>(bytes); }
    static const CShapeRecord* FromBytes(const void* bytes) { return static_cast<const CShapeRecord*>(bytes); }

    // Polyline and polygon types, with or without Z.
    static bool IsMultiType(std::uint32_t type);
    // One family each, with or without Z.
    static bool IsPointType(std::uint32_t type) { return type == SHT_Point || type == SHT_PointZ; }
    static bool IsPolylineType(std::uint32_t type) { return type == SHT_Polyline || type == SHT_PolylineZ; }
    static bool IsPolygonType(std::uint32_t type) { return type == SHT_Polygon || type == SHT_PolygonZ; }

    static std::uint32_t GetShapeType(const CShapeRecord* record);

    // Whether a PointZ, PolylineZ or PolygonZ record carries its M block.
    // Other tools write Z records without it and say so in the content length
    // (in words): a value from the end of the Z values up to, not including,
    // the end of the M values means no M. Any other value, the byte counts
    // this program's builders store included, means M is there. False for the
    // types without Z.
    static bool HasM(const CShapeRecord* record);

    // Size in bytes: 28 for a point, 44 for a PointZ (36 without M),
    // GetMultiPartSize for the multi types, 0 for anything else (null,
    // MultiPoint, unknown).
    static std::size_t GetSize(const CShapeRecord* record);
    // 52 + 4P + 16N, plus 8(N + 2) for the Z values of the Z types and as much
    // again for their M values when the record has M; multi types only.
    static std::size_t GetMultiPartSize(const CShapeRecord* record);
    // The bytes after the shape type: GetSize - 12 (0 for unknown types).
    static std::size_t GetBodySize(const CShapeRecord* record);

    static std::uint32_t GetPartCount(const CShapeRecord* record);
    static std::uint32_t GetPointCount(const CShapeRecord* record);
    // Point i of a multi record; the point itself for point records, whatever
    // i is; (0, 0) for other types and for i beyond the points.
    static CShapePoint GetPoint(const CShapeRecord* record, std::uint32_t i);
    // Points first to first + count - 1 of a multi record copied to out, for
    // loops over many points; answers how many were copied: fewer where the
    // record ends before, none for other types.
    static std::uint32_t GetPoints(const CShapeRecord* record, std::uint32_t first, std::uint32_t count,
                                   CShapePoint* out);
    static std::uint32_t GetPartStart(const CShapeRecord* record, std::uint32_t part);

    static double GetMinX(const CShapeRecord* record);
    static double GetMinY(const CShapeRecord* record);
    static double GetMaxX(const CShapeRecord* record);
    static double GetMaxY(const CShapeRecord* record);

    // Z and M ranges of PolylineZ and PolygonZ records, 0.0 otherwise (the M
    // range also for a record without M; its M pointers and M array are empty).
    static double GetZMin(const CShapeRecord* record);
    static double GetZMax(const CShapeRecord* record);
    static double GetMMin(const CShapeRecord* record);
    static double GetMMax(const CShapeRecord* record);

    static CRecordDoubleArray GetZArray(const CShapeRecord* record);
    static CRecordDoubleArray GetMArray(const CShapeRecord* record);
    static CRecordDouble GetZPointer(CShapeRecord* record, std::uint32_t i);
    // M value i of a PolylineZ/PolygonZ that holds M values; empty otherwise.
    static CRecordDouble GetMPointer(CShapeRecord* record, std::uint32_t i);
    static CRecordDouble GetZMinPointer(CShapeRecord* record);
    static CRecordDouble GetZMaxPointer(CShapeRecord* record);
    static CRecordDouble GetMMinPointer(CShapeRecord* record);
    static CRecordDouble GetMMaxPointer(CShapeRecord* record);

    // z / m of a PointZ (i ignored) or value i of a PolylineZ/PolygonZ; 0.0
    // for every other type, and m 0.0 for a record without M.
    static double GetZ(const CShapeRecord* record, std::uint32_t i);
    static double GetM(const CShapeRecord* record, std::uint32_t i);

    // In-place point edits of multi records; other types and indexes beyond
    // the points are left alone. SetPoint keeps rings closed: moving the first
    // point of a part moves its last one too, and the other way round.
    static void SetPoint(CShapeRecord* record, std::uint32_t i, bool recalc, double x, double y);
    static void SetPointZ(CShapeRecord* record, std::uint32_t i, double x, double y, double z);
    static void SetPointZAt(CShapeRecord* record, std::uint32_t i, double x, double y, double z);
    // Sets point i of a multi record alone: part ends are not linked and the
    // box is left as it is (transforms that move every point use it).
    static void SetPointAt(CShapeRecord* record, std::uint32_t i, double x, double y);
    static void RecalcBounds(CShapeRecord* record);
    static void RecalcBoundsZ(CShapeRecord* record);
};

// Equal types, or one family of a type and its Z form: 1/11, 3/13, 5/15.
bool AreShapeTypesCompatible(std::uint32_t a, std::uint32_t b);

// Checks bytes that claim to be one record against what is really there:
// a known type, counts that fit the available bytes, part starts in order and
// below the point count. On success size is the record's size in bytes (12 for
// a null record; a Z record without M ends after its Z values). Used before anything read from a file or the clipboard is
// treated as a record.
bool CheckShapeRecordBytes(const unsigned char* bytes, std::uint64_t available, std::size_t& size);

// The record number in host order, minus 1.
int GetShapeRecordIndex(const CShapeRecord* record);
// Stores index + 1 as the big-endian record number.
void SetShapeRecordIndex(CShapeRecord* record, int index);
void SwapBytes32(std::uint32_t& value);
