#pragma once
// The checker's own readers of a .shp and its .shx: the headers, the index
// entries, and a walk over the records that goes on past a damaged one. Where
// the two files disagree the walk names the disagreement with its record or
// index entry and finds the next record through the index, or through the
// record's own size when the index entry points elsewhere.

#include "shapes/ShapeFile.h"

#include <cstdint>
#include <string>

class CFileReader;

// The .shx: its header and its 8-byte entries (offset and content length,
// both kept in bytes).
// The header and bytes of one file of the pair, .shp or .shx.
class CShapeFileBytes {
public:
    // Reads the header of an open reader; false when the file is shorter
    // than a header.
    bool Attach(const CFileReader& reader);

    const CShapeFileHeader& Header() const { return m_Header; }
    std::uint64_t FileSize() const { return m_Size; }

protected:
    CShapeFileHeader m_Header;
    const unsigned char* m_Data = nullptr;
    std::uint64_t m_Size = 0;
};

class CShapeIndexReader : public CShapeFileBytes {
public:
    // The count the header's file length announces, (bytes - 100) / 8, never
    // below 0; -1 when not attached.
    std::int64_t RecordCount() const;
    // Whole entries the file really holds.
    std::int64_t EntriesPresent() const;
    // Offset and content length of entry i in bytes, -1 when the file does
    // not hold it.
    std::int64_t RecordOffset(std::int64_t i) const;
    std::int64_t RecordLength(std::int64_t i) const;
};

// One record place of the walk: an index entry, or a record the main file
// holds after those the index lists.
struct CWalkedRecord {
    std::int64_t m_Number = 0; // from 1, in walk order
    // Whole record inside the main file.
    bool m_Present = false;
    std::uint32_t m_Type = 0;
    // The record image, record header included, when it is present, of a
    // type the checker reads, and its part and point counts give its length;
    // else null.
    const unsigned char* m_Image = nullptr;
};

enum class EWalkFault { ContentLength, Other };

// Receives the walk's fault lines (without line end) and its records, in
// file order.
class CShapeWalkSink {
public:
    virtual ~CShapeWalkSink() = default;
    virtual void Fault(EWalkFault kind, const std::string& line) = 0;
    virtual void Record(const CWalkedRecord& record) = 0;
    // The share of index entries walked, 0 to 100.
    virtual void Progress(int percent) { (void)percent; }
};

// The .shp: its header and the walk over its records.
class CShapeMainReader : public CShapeFileBytes {
public:
    // Visits every index entry, then the records the main file holds past the
    // last one. The file and index lengths in the headers are compared with
    // the files first. Without an index the records are walked one after the
    // other from byte 100. Only reads inside both files.
    void Walk(const CShapeIndexReader* index, CShapeWalkSink& sink) const;
};
