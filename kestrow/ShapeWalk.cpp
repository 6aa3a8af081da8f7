#include "ShapeWalk.h"

#include "platform/ByteOrder.h"
#include "shapes/FileReader.h"

#include <algorithm>

using namespace corvale;

namespace {

constexpr std::uint64_t kHeaderSize = 100;

bool IsKnownType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_Polyline || type == SHT_Polygon || type == SHT_PointZ ||
           type == SHT_PolylineZ || type == SHT_PolygonZ;
}

std::string Num(std::uint64_t v) {
    return std::to_string(v);
}

// The content lengths (bytes, shape type included) a record's type and counts
// allow: one, or two for Z types with and without the M block. None for an
// unknown type or counts outside the file.
struct CNeed {
    std::uint64_t m_Size[2] = {0, 0};
    int m_Count = 0;

    bool Holds(std::uint64_t v) const {
        return (m_Count > 0 && m_Size[0] == v) || (m_Count > 1 && m_Size[1] == v);
    }
    std::string Text() const {
        return m_Count > 1 ? Num(m_Size[0]) + " or " + Num(m_Size[1]) : Num(m_Size[0]);
    }
};

class CWalk {
public:
    CWalk(const unsigned char* data, std::uint64_t size, std::uint32_t fileType,
          CShapeWalkSink& sink)
        : m_Data(data), m_Size(size), m_FileType(fileType), m_Sink(sink) {}

    // Whether a record header for record number could start at pos: its
    // number matches, or its type is null or the file's and its content
    // length is the index entry's.
    bool LooksLikeRecord(std::uint64_t pos, std::int64_t number, std::int64_t indexLength) const {
        if (pos < kHeaderSize || pos + 12 > m_Size)
            return false;
        if (ReadBE32(m_Data + pos) == static_cast<std::uint64_t>(number))
            return true;
        const std::uint32_t type = ReadLE32(m_Data + pos + 8);
        return (type == SHT_Null || type == m_FileType) && indexLength >= 0 &&
               2ull * ReadBE32(m_Data + pos + 4) == static_cast<std::uint64_t>(indexLength);
    }

    CNeed Need(std::uint64_t pos, std::uint32_t type) const {
        CNeed need;
        switch (type) {
        case SHT_Null:
            need.m_Size[0] = 4;
            need.m_Count = 1;
            break;
        case SHT_Point:
            need.m_Size[0] = 20;
            need.m_Count = 1;
            break;
        case SHT_PointZ:
            need.m_Size[0] = 28;
            need.m_Size[1] = 36;
            need.m_Count = 2;
            break;
        case SHT_Polyline:
        case SHT_Polygon:
        case SHT_PolylineZ:
        case SHT_PolygonZ: {
            if (pos + 52 > m_Size)
                break;
            const std::uint64_t parts = ReadLE32(m_Data + pos + 44);
            const std::uint64_t points = ReadLE32(m_Data + pos + 48);
            if (type == SHT_Polyline || type == SHT_Polygon) {
                need.m_Size[0] = 44 + 4 * parts + 16 * points;
                need.m_Count = 1;
            } else {
                need.m_Size[0] = 60 + 4 * parts + 24 * points;
                need.m_Size[1] = 76 + 4 * parts + 32 * points;
                need.m_Count = 2;
            }
            break;
        }
        default:
            break;
        }
        return need;
    }

    // Checks the place of the record at pos and hands it on; answers the
    // byte after it. indexLength is -1 for a record no index entry lists.
    std::uint64_t Visit(std::int64_t number, std::uint64_t pos, std::int64_t indexLength) {
        // Built only for a fault: most records have none.
        const auto name = [number] { return "Record " + Num(number); };
        const std::uint32_t stated = ReadBE32(m_Data + pos);
        if (stated != static_cast<std::uint64_t>(number))
            m_Sink.Fault(EWalkFault::Other,
                         name() + ": its header gives record number " + Num(stated) + ".");
        const std::uint64_t stored = 2ull * ReadBE32(m_Data + pos + 4);
        const bool typeThere = pos + 12 <= m_Size;
        const std::uint32_t type = typeThere ? ReadLE32(m_Data + pos + 8) : 0;
        const CNeed need = typeThere ? Need(pos, type) : CNeed{};
        const bool indexed = indexLength >= 0;
        const std::uint64_t fromIndex = indexed ? static_cast<std::uint64_t>(indexLength) : 0;

        // The record's real length: the one its counts confirm, else the
        // index's, else what the counts or the record say.
        std::uint64_t real = stored;
        if (need.Holds(stored))
            real = stored;
        else if (indexed)
            real = fromIndex;
        else if (need.m_Count > 0)
            real = need.m_Size[need.m_Count - 1];
        if (need.m_Count > 0 && !need.Holds(real) &&
            (pos + 8 + real > m_Size || (indexed && stored != fromIndex))) {
            // A length the file cannot hold, or two lengths that disagree
            // with each other and with the counts: the counts' length, when
            // it fits.
            for (int k = need.m_Count - 1; k >= 0; --k) {
                if (pos + 8 + need.m_Size[k] <= m_Size) {
                    real = need.m_Size[k];
                    break;
                }
            }
        }

        std::string line;
        if (indexed) {
            const bool known = need.m_Count > 0;
            if (known && !need.Holds(stored) && need.Holds(fromIndex))
                line = name() + ": content length " + Num(stored) +
                       " bytes in the main file; the index and its counts give " + Num(fromIndex) +
                       ".";
            else if (known && !need.Holds(fromIndex) && need.Holds(stored))
                line = "Index entry " + Num(number) + ": content length " + Num(fromIndex) +
                       " bytes; the record and its counts give " + Num(stored) + ".";
            else if (known && !need.Holds(stored) && stored == fromIndex)
                line = name() + ": content length " + Num(stored) +
                       " bytes; its part and point counts need " + need.Text() + ".";
            else if (known && !need.Holds(stored))
                line = name() + ": content length " + Num(stored) + " bytes in the main file and " +
                       Num(fromIndex) + " in the index; its counts need " + need.Text() + ".";
            else if (!known && stored != fromIndex)
                line = name() + ": content length " + Num(stored) + " bytes in the main file and " +
                       Num(fromIndex) + " in the index.";
        } else if (need.m_Count > 0 && !need.Holds(stored)) {
            line = name() + ": content length " + Num(stored) +
                   " bytes; its part and point counts need " + need.Text() + ".";
        }
        if (!line.empty())
            m_Sink.Fault(EWalkFault::ContentLength, line);

        CWalkedRecord record;
        record.m_Number = number;
        record.m_Type = type;
        const std::uint64_t end = pos + 8 + real;
        if (end > m_Size || !typeThere) {
            m_Sink.Fault(EWalkFault::Other,
                         name() + " is cut: it runs to byte " + Num(std::max(end, pos + 12)) +
                             ", the main file ends at byte " + Num(m_Size) + ".");
            m_Sink.Record(record);
            return end;
        }
        record.m_Present = true;
        if (type != SHT_Null && type != m_FileType) {
            if (IsKnownType(type))
                m_Sink.Fault(EWalkFault::Other, name() + ": shape type " + Num(type) +
                                                    ", the file's type is " + Num(m_FileType) +
                                                    ".");
            else
                m_Sink.Fault(EWalkFault::Other, name() + ": unknown shape type " + Num(type) + ".");
        }
        if ((type == SHT_Null || IsKnownType(type)) && need.Holds(real))
            record.m_Image = m_Data + pos;
        m_Sink.Record(record);
        return end;
    }

private:
    const unsigned char* m_Data;
    std::uint64_t m_Size;
    std::uint32_t m_FileType;
    CShapeWalkSink& m_Sink;
};

} // namespace

bool CShapeFileBytes::Attach(const CFileReader& reader) {
    if (reader.GetData() == nullptr || reader.GetSize() < kHeaderSize)
        return false;
    m_Data = reader.GetData();
    m_Size = reader.GetSize();
    ParseShapeFileHeader(m_Data, m_Header);
    return true;
}

std::int64_t CShapeIndexReader::RecordCount() const {
    if (m_Data == nullptr)
        return -1;
    return m_Header.m_FileLength < kHeaderSize
               ? 0
               : static_cast<std::int64_t>((m_Header.m_FileLength - kHeaderSize) / 8);
}

std::int64_t CShapeIndexReader::EntriesPresent() const {
    return m_Data == nullptr ? 0 : static_cast<std::int64_t>((m_Size - kHeaderSize) / 8);
}

std::int64_t CShapeIndexReader::RecordOffset(std::int64_t i) const {
    if (i < 0 || i >= EntriesPresent())
        return -1;
    return 2ll * ReadBE32(m_Data + kHeaderSize + 8 * static_cast<std::uint64_t>(i));
}

std::int64_t CShapeIndexReader::RecordLength(std::int64_t i) const {
    if (i < 0 || i >= EntriesPresent())
        return -1;
    return 2ll * ReadBE32(m_Data + kHeaderSize + 8 * static_cast<std::uint64_t>(i) + 4);
}

void CShapeMainReader::Walk(const CShapeIndexReader* index, CShapeWalkSink& sink) const {
    if (m_Data == nullptr)
        return;
    if (m_Header.m_FileLength != m_Size)
        sink.Fault(EWalkFault::Other, "Main file length error. Header says " +
                                          Num(m_Header.m_FileLength) + " bytes, the file has " +
                                          Num(m_Size) + ".");
    std::int64_t entries = 0;
    if (index != nullptr) {
        if (index->Header().m_FileLength != index->FileSize())
            sink.Fault(EWalkFault::Other,
                       "Index file length error. Header says " + Num(index->Header().m_FileLength) +
                           " bytes, the file has " + Num(index->FileSize()) + ".");
        entries = index->EntriesPresent();
        if ((index->FileSize() - kHeaderSize) % 8 != 0)
            sink.Fault(EWalkFault::Other, "Index entry " + Num(entries + 1) +
                                              " is cut: the index file ends at byte " +
                                              Num(index->FileSize()) + ".");
    }

    CWalk walk(m_Data, m_Size, m_Header.m_ShapeType, sink);
    // Where the record after the last one read starts.
    std::uint64_t expected = kHeaderSize;
    int lastPercent = -1;
    for (std::int64_t i = 0; i < entries; ++i) {
        const std::int64_t number = i + 1;
        const std::uint64_t offset = static_cast<std::uint64_t>(index->RecordOffset(i));
        const std::int64_t length = index->RecordLength(i);
        const bool pastEnd = offset + 8 > m_Size;
        if (pastEnd)
            sink.Fault(EWalkFault::Other, "Index entry " + Num(number) + ": offset " + Num(offset) +
                                              " lies past the end of the main file (" +
                                              Num(m_Size) + " bytes).");
        else if (offset != expected)
            sink.Fault(EWalkFault::Other,
                       "Index entry " + Num(number) + ": offset " + Num(offset) +
                           " does not point at the next record, which starts at byte " +
                           Num(expected) + ".");
        std::uint64_t start = offset;
        bool found = true;
        if (pastEnd || offset != expected) {
            // The record is read where a record header for it is found, the
            // index's place first; failing both, where the last record ended.
            if (walk.LooksLikeRecord(offset, number, length))
                start = offset;
            else if (walk.LooksLikeRecord(expected, number, length))
                start = expected;
            else if (expected + 8 <= m_Size)
                start = expected;
            else if (!pastEnd)
                start = offset;
            else
                found = false;
        }
        if (found) {
            expected = walk.Visit(number, start, length);
        } else {
            CWalkedRecord missing;
            missing.m_Number = number;
            sink.Record(missing);
        }
        const int percent = static_cast<int>(number * 100 / entries);
        if (percent != lastPercent) {
            lastPercent = percent;
            sink.Progress(percent);
        }
    }

    // Records the main file holds past those the index lists.
    std::int64_t number = entries;
    std::uint64_t pos = expected;
    while (pos + 8 <= m_Size && walk.LooksLikeRecord(pos, number + 1, -1)) {
        ++number;
        if (index != nullptr)
            sink.Fault(EWalkFault::Other,
                       "Record " + Num(number) + " at byte " + Num(pos) + " has no index entry.");
        pos = walk.Visit(number, pos, -1);
    }
    if (pos < m_Size)
        sink.Fault(EWalkFault::Other, "Main file: " + Num(m_Size - pos) +
                                          " bytes after the last record are not a record.");
    if (lastPercent != 100)
        sink.Progress(100);
}
