#include "ShapeCheck.h"

#include "ShapeWalk.h"

#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "shapes/FileReader.h"
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

std::string Fixed(double v) { return FormatFixed(v, 6); }

std::string BoxText(const CBox& b) { return Fixed(b.xMin) + " " + Fixed(b.yMin) + " " + Fixed(b.xMax) + " " + Fixed(b.yMax); }

// The record check: every record the walk hands over is checked whole, its
// faults named with its number, and the flags of the summary raised.
class CRecordCheck : public CShapeWalkSink {
public:
    CRecordCheck(std::string& report, std::uint32_t headerType, const ShapeCheckProgress& progress)
        : m_Report(report), m_HeaderType(headerType), m_Progress(progress) {}

    void Fault(EWalkFault kind, const std::string& line) override {
        if (kind == EWalkFault::ContentLength)
            m_ContentLength = true;
        Line(line);
    }

    void Progress(int percent) override {
        if (m_Progress)
            m_Progress(percent);
    }

    void Record(const CWalkedRecord& record) override {
        ++m_Places;
        if (record.m_Present)
            ++m_Seen;
        if (record.m_Present && record.m_Type != SHT_Null && record.m_Type != m_HeaderType && !m_TypeError) {
            m_TypeError = true;
            m_FirstWrongType = record.m_Type;
        }
        if (record.m_Image == nullptr || !CheckBody(record.m_Number, record.m_Image))
            ++m_Unread;
    }

    bool m_Pass = true;
    bool m_ContentLength = false;
    bool m_NotClosed = false;
    bool m_BoxX = false;
    bool m_BoxY = false;
    bool m_BoxMismatch = false;
    bool m_ZeroParts = false;
    bool m_MissingCoordinates = false;
    bool m_TypeError = false;
    std::uint32_t m_FirstWrongType = 0;
    std::int64_t m_Places = 0;
    std::int64_t m_Seen = 0;
    std::int64_t m_Unread = 0;
    std::int64_t m_Nulls = 0;
    std::int64_t m_Empty = 0;
    bool m_BoxSet = false;
    CBox m_Box;

private:
    void Line(const std::string& line) {
        m_Report += line;
        m_Report += "\r\n";
        m_Pass = false;
    }

    void Join(const CBox& b) {
        if (!m_BoxSet) {
            m_Box = b;
            m_BoxSet = true;
            return;
        }
        m_Box.xMin = std::min(m_Box.xMin, b.xMin);
        m_Box.yMin = std::min(m_Box.yMin, b.yMin);
        m_Box.xMax = std::max(m_Box.xMax, b.xMax);
        m_Box.yMax = std::max(m_Box.yMax, b.yMax);
    }

    // False when the record's parts cannot be read.
    bool CheckBody(std::int64_t number, const unsigned char* p) {
        const std::uint32_t type = ReadLE32(p + kTypeAt);
        if (type == SHT_Null) {
            ++m_Nulls;
            return true;
        }
        if (type == SHT_Point || type == SHT_PointZ) {
            const double x = ReadLEDouble(p + 12);
            const double y = ReadLEDouble(p + 20);
            Join({x, y, x, y});
            return true;
        }
        // The walk has made sure the record holds every byte its part and
        // point counts announce.
        // Built only for a fault: most records have none.
        const auto name = [number] { return "Record " + std::to_string(number); };
        const std::uint64_t parts = ReadLE32(p + kPartCountAt);
        const std::uint64_t points = ReadLE32(p + kPointCountAt);
        const auto start = [&](std::uint64_t j) -> std::uint64_t { return ReadLE32(p + kPartsAt + 4 * j); };
        for (std::uint64_t j = 0; j < parts; ++j) {
            if (start(j) >= points || (j > 0 && start(j) < start(j - 1))) {
                Line(name() + ": its part starts do not fit its " + std::to_string(points) + " points.");
                return false;
            }
        }
        const CBox box{ReadLEDouble(p + kBoxAt), ReadLEDouble(p + kBoxAt + 8), ReadLEDouble(p + kBoxAt + 16),
                       ReadLEDouble(p + kBoxAt + 24)};
        if (box.xMax < box.xMin) {
            Line(name() + ": box x-min " + Fixed(box.xMin) + " is above x-max " + Fixed(box.xMax) + ".");
            m_BoxX = true;
        }
        if (box.yMax < box.yMin) {
            Line(name() + ": box y-min " + Fixed(box.yMin) + " is above y-max " + Fixed(box.yMax) + ".");
            m_BoxY = true;
        }
        if (parts == 0) {
            // An empty shape has no place: it widens no box.
            Line(name() + " has zero parts.");
            ++m_Empty;
            m_ZeroParts = true;
            return true;
        }
        const unsigned char* xy = p + kPartsAt + 4 * parts;
        const auto x = [&](std::uint64_t i) { return ReadLEDouble(xy + 16 * i); };
        const auto y = [&](std::uint64_t i) { return ReadLEDouble(xy + 16 * i + 8); };
        const bool polygon = type == SHT_Polygon || type == SHT_PolygonZ;
        for (std::uint64_t j = 0; j < parts; ++j) {
            const std::uint64_t first = start(j);
            const std::uint64_t end = j + 1 < parts ? start(j + 1) : points;
            if (end - first < 2) {
                Line(name() + ", part " + std::to_string(j + 1) + ": fewer than two points.");
                m_MissingCoordinates = true;
            }
            if (polygon && end > first && (x(first) != x(end - 1) || y(first) != y(end - 1))) {
                Line(name() + ", part " + std::to_string(j + 1) + ": ring not closed.");
                m_NotClosed = true;
            }
        }
        CBox real{x(0), y(0), x(0), y(0)};
        for (std::uint64_t i = 1; i < points; ++i) {
            const double px = x(i);
            const double py = y(i);
            // Written as comparisons, not min and max, so that a NaN
            // coordinate leaves the box as it was.
            real.xMin = px < real.xMin ? px : real.xMin;
            real.yMin = py < real.yMin ? py : real.yMin;
            real.xMax = px > real.xMax ? px : real.xMax;
            real.yMax = py > real.yMax ? py : real.yMax;
        }
        if (real.xMin != box.xMin || real.yMin != box.yMin || real.xMax != box.xMax || real.yMax != box.yMax) {
            Line(name() + ": box " + BoxText(box) + " does not match its points, " + BoxText(real) + ".");
            m_BoxMismatch = true;
        }
        // A wrong record box is named above; the file box is held against
        // the points themselves.
        Join(real);
        return true;
    }

    std::string& m_Report;
    std::uint32_t m_HeaderType;
    const ShapeCheckProgress& m_Progress;
};

void Append(std::string& report, const char* format, long long a, long long b = 0) {
    char line[160];
    std::snprintf(line, sizeof line, format, a, b);
    report += line;
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
    CShapeMainReader shp;
    if (!shpReader.Open(path.c_str()) || !shp.Attach(shpReader)) {
        report += "Error opening shape main file.";
        return false;
    }
    CFileReader shxReader;
    CShapeIndexReader shx;
    if (!shxReader.Open(indexPath.c_str()) || !shx.Attach(shxReader)) {
        report += "Error opening shape index file.";
        return false;
    }

    bool pass = true;
    const CShapeFileHeader& h = shp.Header();
    if (h.m_FileCode != 9994) {
        Append(report, "File code error: File code set to %lld. Expected 9994.\r\n",
               static_cast<std::int32_t>(h.m_FileCode));
        pass = false;
    }
    if (h.m_Version != 1000) {
        Append(report, "Unsupported file version: File version set to %lld. Expected 1000.\r\n",
               static_cast<std::int32_t>(h.m_Version));
        return false;
    }

    // The count the index header announces is the one reported; the walk
    // visits the entries the index file really holds.
    const std::int64_t expected = shx.RecordCount();
    Append(report, "Record count: %lld\r\n", expected);
    Append(report, "Shape type: %lld (", static_cast<std::int32_t>(h.m_ShapeType));
    const char* typeName = TypeName(h.m_ShapeType);
    if (typeName == nullptr) {
        report += "Unsupported type in Corvale).\r\n";
        return false;
    }
    report += typeName;
    if (progress)
        progress(0);

    CRecordCheck s(report, h.m_ShapeType, progress);
    shp.Walk(&shx, s);
    pass = pass && s.m_Pass;

    if (s.m_TypeError) {
        Append(report, "Shape type error. Type was %lld. Expected %lld.\r\n", s.m_FirstWrongType, h.m_ShapeType);
        pass = false;
    }
    Append(report, "Null shapes: %lld (no error)\r\n", s.m_Nulls);
    const auto flag = [&](bool raised, const char* line) {
        if (raised) {
            report += line;
            pass = false;
        }
    };
    flag(s.m_ContentLength,
         "Shape content length error. One or more shapes have an erroneous content length set.\r\n");
    flag(s.m_NotClosed, "Coordinate error. One or more polygons are not closed.\r\n");
    flag(s.m_BoxX, "Shape bounding box error. One or more shapes have invalid bounding box values. x-min > x-max.\r\n");
    flag(s.m_BoxY, "Shape bounding box error. One or more shapes have invalid bounding box values. y-min > y-max.\r\n");
    flag(s.m_BoxMismatch, "Shape bounding box error. One or more shapes have erroneous bounding boxes.\r\n");
    if (s.m_ZeroParts) {
        Append(report, "Shape part error. %lld shape(s) have zero parts (empty).\r\n", s.m_Empty);
        pass = false;
    }
    flag(s.m_MissingCoordinates, "Shape coordinate error. One or more shapes are missing coordinates.\r\n");

    if (s.m_Seen != expected) {
        Append(report, "Shape count error. Actual shapes in file: %lld. Header said %lld.\r\n", s.m_Seen, expected);
        pass = false;
    }

    // With every record read the header box must be theirs exactly (all
    // zeros when none has a place). With some unread, they may lie anywhere
    // inside it: only a header box that leaves out a record read is wrong.
    const CBox& b = s.m_Box;
    const struct {
        const char* name;
        double header;
        double actual;
        bool isMin;
    } sides[] = {{"x-min", h.m_XMin, b.xMin, true},
                 {"x-max", h.m_XMax, b.xMax, false},
                 {"y-min", h.m_YMin, b.yMin, true},
                 {"y-max", h.m_YMax, b.yMax, false}};
    if (s.m_Unread == 0) {
        for (const auto& side : sides) {
            if (side.header != side.actual) {
                AppendBoxLine(report, side.name, side.header, side.actual);
                pass = false;
            }
        }
    } else {
        Append(report, "File bounding box checked against %lld of %lld records.\r\n", s.m_Places - s.m_Unread,
               s.m_Places);
        for (const auto& side : sides) {
            if (s.m_BoxSet && (side.isMin ? side.header > side.actual : side.header < side.actual)) {
                report += std::string("File bounding box error. ") + side.name + " is set to " + Fixed(side.header) +
                          ". Records read reach " + Fixed(side.actual) + ".\r\n";
                pass = false;
            }
        }
    }
    if (pass)
        report += "Kestrow reported no errors.";
    return pass;
}
