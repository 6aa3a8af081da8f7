#include "ShapeCheck.h"

#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "shapes/FileReader.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

using namespace corvale;

namespace {

// Offsets inside a record image (record header included).
constexpr std::size_t kTypeAt = 8;
constexpr std::size_t kBoxAt = 12;
constexpr std::size_t kPartCountAt = 44;
constexpr std::size_t kPointCountAt = 48;
constexpr std::size_t kPartsAt = 52;

struct CBox {
    double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;
};

struct CCheckState {
    std::string* report = nullptr;
    const ShapeCheckProgress* progress = nullptr;
    std::uint32_t headerType = 0;
    std::int64_t expected = 0;
    std::int64_t seen = 0;
    std::int64_t nulls = 0;
    std::int64_t empty = 0;
    int lastPercent = -1;
    bool pass = true;
    bool typeErrorReported = false;
    bool contentLengthError = false;
    bool notClosed = false;
    bool boxX = false;
    bool boxY = false;
    bool boxMismatch = false;
    bool zeroParts = false;
    bool missingCoordinates = false;
    bool boxSet = false;
    CBox box;

    void Join(double xMin, double yMin, double xMax, double yMax) {
        if (!boxSet) {
            box = {xMin, yMin, xMax, yMax};
            boxSet = true;
            return;
        }
        box.xMin = std::min(box.xMin, xMin);
        box.yMin = std::min(box.yMin, yMin);
        box.xMax = std::max(box.xMax, xMax);
        box.yMax = std::max(box.yMax, yMax);
    }
};

void Append(std::string& report, const char* format, long long a, long long b = 0) {
    char line[160];
    std::snprintf(line, sizeof line, format, a, b);
    report += line;
}

bool IsPolygonType(std::uint32_t type) { return type == SHT_Polygon || type == SHT_PolygonZ; }
bool IsMultiType(std::uint32_t type) {
    return type == SHT_Polyline || type == SHT_Polygon || type == SHT_PolylineZ || type == SHT_PolygonZ;
}

double PointX(const unsigned char* p, std::uint64_t pointsAt, std::uint64_t i) {
    return ReadLEDouble(p + pointsAt + 16 * i);
}
double PointY(const unsigned char* p, std::uint64_t pointsAt, std::uint64_t i) {
    return ReadLEDouble(p + pointsAt + 16 * i + 8);
}

void CheckMultiPart(CCheckState& s, const unsigned char* p, std::uint32_t type) {
    // The walk has made sure every byte the part and point counts announce
    // is in the file, and that part starts rise and stay below the point count.
    const std::uint64_t parts = ReadLE32(p + kPartCountAt);
    const std::uint64_t points = ReadLE32(p + kPointCountAt);
    const std::uint64_t content = 2ull * ReadBE32(p + 4);
    const bool z = type == SHT_PolylineZ || type == SHT_PolygonZ;
    const std::uint64_t flat = 40 + 4 * parts + 16 * points;
    if (z) {
        // The M block is optional: with it 72 + 4 x parts + 32 x points,
        // without it 56 + 4 x parts + 24 x points.
        const std::uint64_t withM = 72 + 4 * parts + 32 * points;
        const std::uint64_t withoutM = 56 + 4 * parts + 24 * points;
        if (content != 4 + withM && content != 4 + withoutM)
            s.contentLengthError = true;
    } else if (content != 4 + flat) {
        s.contentLengthError = true;
    }

    const double xMin = ReadLEDouble(p + kBoxAt);
    const double yMin = ReadLEDouble(p + kBoxAt + 8);
    const double xMax = ReadLEDouble(p + kBoxAt + 16);
    const double yMax = ReadLEDouble(p + kBoxAt + 24);
    if (xMax < xMin)
        s.boxX = true;
    if (yMax < yMin)
        s.boxY = true;
    s.Join(xMin, yMin, xMax, yMax);

    if (parts == 0) {
        ++s.empty;
        s.zeroParts = true;
        return;
    }
    const std::uint64_t pointsAt = kPartsAt + 4 * parts;
    for (std::uint64_t j = 0; j < parts; ++j) {
        const std::uint64_t start = ReadLE32(p + kPartsAt + 4 * j);
        const std::uint64_t end = j + 1 < parts ? ReadLE32(p + kPartsAt + 4 * (j + 1)) : points;
        const std::uint64_t count = end > start ? end - start : 0;
        if (count < 2)
            s.missingCoordinates = true;
        if (IsPolygonType(type) && count >= 1) {
            const std::uint64_t last = end - 1;
            if (PointX(p, pointsAt, start) != PointX(p, pointsAt, last) ||
                PointY(p, pointsAt, start) != PointY(p, pointsAt, last))
                s.notClosed = true;
        }
    }
    CBox points_box{PointX(p, pointsAt, 0), PointY(p, pointsAt, 0), PointX(p, pointsAt, 0), PointY(p, pointsAt, 0)};
    for (std::uint64_t i = 1; i < points; ++i) {
        const double x = PointX(p, pointsAt, i);
        const double y = PointY(p, pointsAt, i);
        points_box.xMin = std::min(points_box.xMin, x);
        points_box.yMin = std::min(points_box.yMin, y);
        points_box.xMax = std::max(points_box.xMax, x);
        points_box.yMax = std::max(points_box.yMax, y);
    }
    if (points_box.xMin != xMin || points_box.yMin != yMin || points_box.xMax != xMax || points_box.yMax != yMax)
        s.boxMismatch = true;
}

bool CheckRecord(void* context, CShapeRecord* record, std::intptr_t) {
    CCheckState& s = *static_cast<CCheckState*>(context);
    ++s.seen;
    if (s.progress != nullptr && *s.progress && s.expected > 0) {
        const int percent = static_cast<int>(std::min<std::int64_t>(100, s.seen * 100 / s.expected));
        if (percent != s.lastPercent) {
            s.lastPercent = percent;
            (*s.progress)(percent);
        }
    }
    if (record == nullptr) {
        ++s.nulls;
        return true;
    }
    if (s.typeErrorReported)
        return true;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(record);
    const std::uint32_t type = ReadLE32(p + kTypeAt);
    if (type != s.headerType) {
        Append(*s.report, "Shape type error. Type was %lld. Expected %lld.\r\n", type, s.headerType);
        s.pass = false;
        s.typeErrorReported = true;
    }
    if (type == SHT_Point || type == SHT_PointZ) {
        const double x = ReadLEDouble(p + 12);
        const double y = ReadLEDouble(p + 20);
        s.Join(x, y, x, y);
    } else if (IsMultiType(type)) {
        CheckMultiPart(s, p, type);
    }
    return true;
}

const char* TypeName(std::uint32_t type) {
    switch (type) {
    case SHT_Point:
        return "Point).\r\n";
    case SHT_Polyline:
        return "Arc).\r\n";
    case SHT_Polygon:
        return "Polygon).\r\n";
    case SHT_PointZ:
        return "PointZ).\r\n";
    case SHT_PolylineZ:
        return "PolyLineZ).\r\n";
    case SHT_PolygonZ:
        return "PolygonZ).\r\n";
    default:
        return nullptr;
    }
}

bool CanRead(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::fclose(f);
    return true;
}

void AppendBoxLine(std::string& report, const char* name, double header, double actual) {
    // Six decimals with a point whatever the user's locale.
    report += "File bounding box error. ";
    report += name;
    report += " is set to " + FormatFixed(header, 6) + ". Expected " + FormatFixed(actual, 6) + ".\r\n";
}

} // namespace

bool CheckShapeFile(const std::string& path, std::string& report, const ShapeCheckProgress& progress) {
    report = "File: " + path + "\r\n";
    // The index path is used whole, however long the folder names are.
    const std::string base = path.size() > 3 ? path.substr(0, path.size() - 4) : path;
    const std::string indexPath = base + ".shx";

    if (!CanRead(path)) {
        report += "Error opening shape main file.";
        return false;
    }
    if (!CanRead(indexPath)) {
        report = "Error opening shape index file.";
        return false;
    }

    CFileReader shpReader;
    CShapeFileView shp;
    shp.m_Reader = &shpReader;
    if (!shpReader.Open(path.c_str()) || !ReadShapeFileHeader(shpReader, shp.m_Header)) {
        report += "Error opening shape main file.";
        return false;
    }
    CFileReader shxReader;
    CShapeIndexView shx;
    if (!shxReader.Open(indexPath.c_str()) || !shx.Attach(&shxReader)) {
        report += "Error opening shape index file.";
        return false;
    }

    CCheckState s;
    s.report = &report;
    s.progress = &progress;
    const CShapeFileHeader& h = shp.m_Header;
    if (h.m_FileCode != 9994) {
        Append(report, "File code error: File code set to %lld. Expected 9994.\r\n",
               static_cast<std::int32_t>(h.m_FileCode));
        s.pass = false;
    }
    if (h.m_Version != 1000) {
        Append(report, "Unsupported file version: File version set to %lld. Expected 1000.\r\n",
               static_cast<std::int32_t>(h.m_Version));
        return false;
    }

    // The header's count is the one reported; the walk goes no further than
    // the entries the index file really holds.
    s.expected = shx.m_RecordCount;
    const std::int64_t entriesThere =
        shxReader.GetSize() >= 100 ? static_cast<std::int64_t>((shxReader.GetSize() - 100) / 8) : 0;
    shx.m_RecordCount = std::min(shx.m_RecordCount, entriesThere);
    Append(report, "Record count: %lld\r\n", s.expected);
    s.headerType = h.m_ShapeType;
    Append(report, "Shape type: %lld (", static_cast<std::int32_t>(h.m_ShapeType));
    const char* typeName = TypeName(h.m_ShapeType);
    if (typeName == nullptr) {
        report += "Unsupported type in Corvale).\r\n";
        return false;
    }
    report += typeName;
    if (progress)
        progress(0);

    if (!ForEachShapeFileRecord(shp, &shx, &CheckRecord, &s))
        s.pass = false;

    Append(report, "Null shapes: %lld (no error)\r\n", s.nulls);
    const auto flag = [&](bool raised, const char* line) {
        if (raised) {
            report += line;
            s.pass = false;
        }
    };
    flag(s.contentLengthError,
         "Shape content length error. One or more shapes have an erroneous content length set.\r\n");
    flag(s.notClosed, "Coordinate error. One or more polygons are not closed.\r\n");
    flag(s.boxX, "Shape bounding box error. One or more shapes have invalid bounding box values. x-min > x-max.\r\n");
    flag(s.boxY, "Shape bounding box error. One or more shapes have invalid bounding box values. y-min > y-max.\r\n");
    flag(s.boxMismatch, "Shape bounding box error. One or more shapes have erroneous bounding boxes.\r\n");
    if (s.zeroParts) {
        Append(report, "Shape part error. %lld shape(s) have zero parts (empty).\r\n", s.empty);
        s.pass = false;
    }
    flag(s.missingCoordinates, "Shape coordinate error. One or more shapes are missing coordinates.\r\n");

    if (s.seen != s.expected) {
        Append(report, "Shape count error. Actual shapes in file: %lld. Header said %lld.\r\n", s.seen, s.expected);
        s.pass = false;
    }

    // With no record contributing, the expected box is all zeros.
    const CBox& b = s.box;
    const struct {
        const char* name;
        double header;
        double actual;
    } sides[] = {{"x-min", h.m_XMin, b.xMin}, {"x-max", h.m_XMax, b.xMax}, {"y-min", h.m_YMin, b.yMin},
                 {"y-max", h.m_YMax, b.yMax}};
    for (const auto& side : sides) {
        if (side.header != side.actual) {
            AppendBoxLine(report, side.name, side.header, side.actual);
            s.pass = false;
        }
    }
    if (s.pass)
        report += "Kestrow reported no errors.";
    return s.pass;
}
