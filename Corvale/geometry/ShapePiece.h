#pragma once
// A polyline or polygon taken apart into growing lists, and the way back to a
// record.
//
// The geometry operations that build, cut and edit shapes read a record into
// a CShapePiece, work on the lists and write the result with the record
// builders into a buffer of the exact size. Records reach these operations
// from files, the clipboard and plug-ins, so every read starts with
// IsShapeRecordSound: no count or part start is used before it has been
// checked against the others, and a record with coordinates that are not
// numbers is refused rather than carried into new records.
//
// Records made here are heap buffers of new unsigned char[] that the caller
// owns: FreeShapeRecord frees one, DeleteShapeRecords a vector of them.

#include "shapes/ShapeRecord.h"

#include <cstdint>
#include <memory>
#include <vector>

using CShapePointList = std::vector<CShapePoint>;
using CShapePartList = std::vector<CShapePointList>;
// Owned records (see DeleteShapeRecords).
using CShapeRecordVector = std::vector<CShapeRecord*>;

// The Z written for a point that gains a Z dimension.
constexpr double kShapeNoZ = -99999.0;

// Z types: 11, 13 and 15.
bool IsShapeZType(std::uint32_t type);
// The plain type of a family: 1 for 1 and 11, 3 for 3 and 13, 5 for 5 and
// 15; 0 for every other type.
std::uint32_t GetShapeFamily(std::uint32_t type);

// Point types: finite x and y. Multi types: at least one part, no more parts
// than points, the first part starting at 0, the starts in order and below
// the point count, every x and y finite. False for every other type.
bool IsShapeRecordSound(const CShapeRecord* record);

struct CShapePiece {
    // Start of each part, an index into m_Points.
    std::vector<std::uint32_t> m_PartStarts;
    std::vector<CShapePoint> m_Points;
    // One value per point; filled only for the Z types.
    std::vector<double> m_Z;
    std::vector<double> m_M;

    std::uint32_t PartCount() const { return static_cast<std::uint32_t>(m_PartStarts.size()); }
    std::uint32_t PointCount() const { return static_cast<std::uint32_t>(m_Points.size()); }
    // First point of part j and one past its last.
    std::uint32_t PartBegin(std::uint32_t j) const { return m_PartStarts[j]; }
    std::uint32_t PartEnd(std::uint32_t j) const {
        return j + 1 < PartCount() ? m_PartStarts[j + 1] : PointCount();
    }
    // Opens a part at the current point count.
    void StartPart() { m_PartStarts.push_back(PointCount()); }
    // Appends a point to the last part; z and m are kept only when withZ.
    void Add(const CShapePoint& p, bool withZ, double z = 0.0, double m = 0.0);
    // Appends point i of another piece with its Z and M.
    void AddFrom(const CShapePiece& other, std::uint32_t i, bool withZ);
    bool Empty() const { return m_Points.empty(); }
};

// Reads a sound multi record (IsShapeRecordSound) into the piece, Z and M
// values included for the Z types (an M the record does not hold reads 0.0).
// False, piece emptied, for anything else.
bool ReadShapePiece(const CShapeRecord* record, CShapePiece& piece);

// Writes the piece as a new record of a multi type with the given record
// number. Z types take the piece's Z and M values (0.0 where it has none).
// Null for another type, a piece without parts, an empty part, part starts
// out of order, a count beyond what a record can hold, or coordinates that
// are not finite.
CShapeRecord* BuildShapeRecord(std::uint32_t type, std::uint32_t recordNumber, const CShapePiece& piece);

// Frees a record made by the geometry operations (new unsigned char[]).
void FreeShapeRecord(CShapeRecord* record);
// Owns one such record.
struct CShapeRecordDeleter {
    void operator()(CShapeRecord* record) const { FreeShapeRecord(record); }
};
using CShapeRecordPtr = std::unique_ptr<CShapeRecord, CShapeRecordDeleter>;
// Frees every record of the vector and empties it, so that no freed pointer
// stays behind.
void DeleteShapeRecords(CShapeRecordVector& records);
