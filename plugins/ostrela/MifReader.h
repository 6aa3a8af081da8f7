#pragma once
// The reader of a MIF file and its MID table. One CMIF holds everything a
// load made: the columns, the shape records of the three kinds and the pool
// their bytes live in. The records stay where they are until the reader is
// destroyed, since the host keeps pointers to them.
//
// Each record is followed, in the same allocation, by its tail: a 32-bit
// object number (the object's place in the data section, from 0), then one
// slot of width + 1 bytes per column holding the value's text, as the file
// has it, and a zero. Column names, and values through AttributeText, are
// UTF-8, converted from the code page the file's Charset names.

#include "common/RecordPool.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrela {

// Column types of the MIF header, in the order the attribute calls number them.
enum MifColumnType {
    MCT_Char = 0,
    MCT_Integer = 1,
    MCT_SmallInt = 2,
    MCT_Decimal = 3,
    MCT_Float = 4,
    MCT_Date = 5,
    MCT_Logical = 6
};

struct MifColumn {
    std::string m_Name;
    // The width the header gives: at most this many characters of a value.
    int m_Width = 0;
    int m_Type = MCT_Char;
};

// The attribute type the host sees: 0 text, 1 integer, 2 double.
std::uint32_t AttributeTypeOf(int columnType);

class CMIF {
public:
    CMIF(bool points, bool polylines, bool polygons);
    virtual ~CMIF();
    CMIF(const CMIF&) = delete;
    CMIF& operator=(const CMIF&) = delete;

    // Reads the MIF at path and the MID beside it (same name, extension
    // ".mid"); a MID that cannot be read gives empty values. False when the
    // MIF is unreadable or broken.
    bool ReadFile(const std::string& path);
    // The same on texts in memory.
    bool Parse(std::string_view mif, std::string_view mid);

    // The records of one kind (1 points, 3 polylines, 5 polygons), in file order.
    const std::vector<const unsigned char*>& Records(std::uint32_t shapeType) const;
    bool HasRecords(std::uint32_t shapeType) const;

    // The value of a column of a record this reader made: "###ERROR###" for
    // a record of another type, "#ERROR# Out of bounds" for a column outside
    // the list.
    static const char* AttributeOf(const void* record, std::uint32_t column, const std::vector<MifColumn>& columns);
    const char* Attribute(const void* record, std::uint32_t column) const {
        return AttributeOf(record, column, m_Columns);
    }
    // The same value as UTF-8.
    std::string AttributeText(const void* record, std::uint32_t column) const;
    // The object number stored behind a record.
    static std::uint32_t ObjectNumberOf(const void* record);

    std::string m_Path;
    std::string m_Charset;
    int m_Version = 0;
    char m_Delimiter = '\t';
    bool m_ImportPoints = true;
    bool m_ImportPolylines = true;
    bool m_ImportPolygons = true;
    int m_NonEmptyKinds = 0;
    std::vector<MifColumn> m_Columns;
    std::size_t m_TailSize = 4;
    // From the last PEN clause anywhere in the file, as the file writes them:
    // the colour is R * 65536 + G * 256 + B.
    int m_PenWidth = 0;
    std::uint32_t m_PenColor = 0;

    std::uint32_t m_Points = 0;
    std::uint32_t m_Lines = 0;
    std::uint32_t m_Regions = 0;
    std::uint32_t m_Arcs = 0;
    std::uint32_t m_Texts = 0;
    std::uint32_t m_ObjectNumber = 0;

private:
    struct Parser;
    unsigned char* Allocate(std::size_t size) { return m_Pool.Allocate(size); }

    std::vector<const unsigned char*> m_PointRecords;
    std::vector<const unsigned char*> m_PolylineRecords;
    std::vector<const unsigned char*> m_PolygonRecords;
    CRecordPool m_Pool;
};

} // namespace ostrela
