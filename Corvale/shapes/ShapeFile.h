#pragma once
// The .shp/.shx main header, the walk over the records of an open shape file,
// and the writer of a .shp with its .shx.

#include "shapes/ShapeRecord.h"

#include <cstddef>
#include <cstdint>

class CFileReader;
class CFileWriter;

// The 100-byte main header of .shp and .shx files, in host byte order. The
// file length is held in bytes (the file stores 16-bit words).
struct CShapeFileHeader {
    std::uint32_t m_FileCode = 9994;
    std::uint64_t m_FileLength = 100;
    std::uint32_t m_Version = 1000;
    std::uint32_t m_ShapeType = SHT_Null;
    double m_XMin = 0.0;
    double m_YMin = 0.0;
    double m_XMax = 0.0;
    double m_YMax = 0.0;
    double m_ZMin = 0.0;
    double m_ZMax = 0.0;
    double m_MMin = 0.0;
    double m_MMax = 0.0;
};

// An open .shp as the walk sees it.
struct CShapeFileView {
    CShapeFileHeader m_Header;
    CFileReader* m_Reader = nullptr;
};

// An open .shx: its header and the number of 8-byte entries it holds.
struct CShapeIndexView {
    CShapeFileHeader m_Header;
    std::int64_t m_RecordCount = -1;
    CFileReader* m_Reader = nullptr;

    // Reads the header of an open reader and takes the record count from the
    // header's file length, (bytes - 100) / 8, but never more than the file
    // holds, (size - 100) / 8: a damaged header can claim billions of
    // entries in a small file, and the walk sizes its work by the count.
    // -1 when the header cannot be read.
    bool Attach(CFileReader* reader);
};

// The header held in the 100 bytes at bytes, every field of it.
void ParseShapeFileHeader(const unsigned char* bytes, CShapeFileHeader& header);
// Reads 100 bytes from the reader's position; false when fewer are there.
bool ReadShapeFileHeader(CFileReader& reader, CShapeFileHeader& header);
bool WriteShapeFileHeader(CFileWriter& writer, const CShapeFileHeader& header);

// Byte offset of record i from the .shx, or -1 when the index has no open
// reader or its file does not hold entry i.
std::int64_t ReadShapeIndexOffset(const CShapeIndexView& index, std::int64_t i);
bool WriteShapeIndexEntry(CFileWriter& writer, std::uint64_t byteOffset, std::uint64_t contentBytes);
// Record number i + 1 and the content length in words, both big-endian.
bool WriteShapeRecordHeader(CFileWriter& writer, const CShapeRecord* record, std::uint32_t i);
// The record header, the shape type and the body, by the record's own type.
bool WriteShapeRecord(CFileWriter& writer, const CShapeRecord* record, std::uint32_t i);

// Receives each record of the walk: a pointer into the mapped file (null for a
// null record), which stays valid while the .shp reader is open.
using ShapeRecordCallback = bool (*)(void* context, CShapeRecord* record, std::intptr_t handle);

// Reads the .shp header into the view and hands every record to the callback,
// in .shx order when an index is given, else in file order up to the smaller
// of the file size and the header's file length. True when the walk
// reached the end. False, with the records so far delivered, on an inverted
// header box, an unsupported record type (MultiPoint among them), any record
// or index entry that does not fit the files, or an index entry whose content
// length differs from its record's: nothing outside the mapping is ever read.
// Through an index, the entries walked are the first m_RecordCount that the
// index file holds; an index whose header announces entries the file does
// not hold has them walked and then gives false, as a cut index is damaged.
// Nothing is sized by a header's claim.
// An exception escaping the callback is swallowed.
// Through an index, the records of a big file are checked on checkThreads
// threads (0: one per core the process may use), in chunks, each chunk
// handed over once it and those before it are checked; what is delivered and refused
// does not depend on their number.
bool ForEachShapeFileRecord(CShapeFileView& shp, const CShapeIndexView* shx, ShapeRecordCallback callback,
                            void* context,
                            unsigned checkThreads = 0);

// Writes a .shp and, when a writer is given, its .shx, records renumbered
// 1..count. Each record is written in the layout of the file's type: a 2D
// record in a Z file gets z and m 0.0, a Z record in a 2D file loses them.
// False, with nothing written, when records is null or holds a null entry,
// the type is not 1, 3, 5, 11, 13 or 15, or a record is not of the file's
// family (point, polyline, polygon); false also when a write fails.
bool WriteShapeFile(CFileWriter& shp, CFileWriter* shx, std::uint32_t shapeType, std::size_t count,
                    const CShapeRecord* const* records);
