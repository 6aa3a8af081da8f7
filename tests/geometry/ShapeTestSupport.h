#pragma once
// Owning and reading back the records the geometry operations make.

#include "geometry/ShapeParts.h"
#include "geometry/ShapePiece.h"
#include "shapes/RecordFixtures.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

struct RecordDeleter {
    void operator()(CShapeRecord* record) const { FreeShapeRecord(record); }
};
using OwnedRecord = std::unique_ptr<CShapeRecord, RecordDeleter>;

// A record vector freed when the test ends.
struct OwnedRecords {
    CShapeRecordVector records;
    ~OwnedRecords() { DeleteShapeRecords(records); }
};

// The parts of a multi record (Z and M read through the accessors), or the
// one point of a point record.
inline Parts PartsOf(const CShapeRecord* record) {
    Parts parts;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        return {{{p.x, p.y, CShapeRecord::GetZ(record, 0), CShapeRecord::GetM(record, 0)}}};
    }
    for (std::uint32_t j = 0; j < GetMultiPartCount(record); ++j) {
        const CShapePartRange range = GetShapePartRange(record, j);
        parts.emplace_back();
        for (std::uint32_t i = range.first; i < range.end; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(record, i);
            parts.back().push_back({p.x, p.y, CShapeRecord::GetZ(record, i), CShapeRecord::GetM(record, i)});
        }
    }
    return parts;
}

inline std::string Text(const Parts& parts) {
    std::ostringstream out;
    out.precision(17);
    for (const auto& part : parts) {
        out << "(";
        for (const Pt& p : part)
            out << " " << p.x << " " << p.y;
        out << " )";
    }
    return out.str();
}

// x and y of every point equal, to within tolerance.
inline bool SameXY(const Parts& a, const Parts& b, double tolerance = 0.0) {
    if (a.size() != b.size())
        return false;
    for (std::size_t j = 0; j < a.size(); ++j) {
        if (a[j].size() != b[j].size())
            return false;
        for (std::size_t i = 0; i < a[j].size(); ++i)
            if (!(std::abs(a[j][i].x - b[j][i].x) <= tolerance && std::abs(a[j][i].y - b[j][i].y) <= tolerance))
                return false;
    }
    return true;
}

// The record passes the check that records read from files pass, its size is
// the one its counts give, its content length says so too, and its box is
// that of its points.
inline ::testing::AssertionResult IsWellFormed(const CShapeRecord* record) {
    if (record == nullptr)
        return ::testing::AssertionFailure() << "no record";
    const std::size_t size = CShapeRecord::GetSize(record);
    std::size_t checked = 0;
    if (!CheckShapeRecordBytes(CShapeRecord::Bytes(record), size, checked) || checked != size)
        return ::testing::AssertionFailure() << "counts do not fit the bytes";
    if (corvale::ReadBE32(CShapeRecord::Bytes(record) + 4) != size - 8)
        return ::testing::AssertionFailure() << "content length " << corvale::ReadBE32(CShapeRecord::Bytes(record) + 4)
                                             << " for " << size << " bytes";
    if (CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record))) {
        const Parts parts = PartsOf(record);
        double x1 = parts[0][0].x, y1 = parts[0][0].y, x2 = x1, y2 = y1;
        for (const auto& part : parts)
            for (const Pt& p : part) {
                x1 = std::min(x1, p.x);
                y1 = std::min(y1, p.y);
                x2 = std::max(x2, p.x);
                y2 = std::max(y2, p.y);
            }
        if (CShapeRecord::GetMinX(record) != x1 || CShapeRecord::GetMinY(record) != y1 ||
            CShapeRecord::GetMaxX(record) != x2 || CShapeRecord::GetMaxY(record) != y2)
            return ::testing::AssertionFailure() << "box is not that of the points";
    }
    return ::testing::AssertionSuccess();
}

// Signed area of the rings (shoelace); clockwise rings count negative.
inline double SignedArea(const Parts& rings) {
    double twice = 0.0;
    for (const auto& ring : rings)
        for (std::size_t i = 1; i < ring.size(); ++i)
            twice += ring[i - 1].x * ring[i].y - ring[i].x * ring[i - 1].y;
    return twice / 2.0;
}
