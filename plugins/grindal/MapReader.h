#pragma once
// The reader of a native table's binary files: the geometry file (.map), its
// object index (.id), its attribute table (.dat) and, for the field types,
// its definition (.tab). One CMAPLoader holds what one load made: up to three
// lists of shape records (points, polylines, polygons) that stay where they
// are until it is destroyed, since the host keeps pointers to them.
//
// Each record is followed, in the same allocation, by a 32-bit tail word: the
// object's row in the attribute table (its row id less one).

#include "common/RecordPool.h"

#include "shapes/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace grindal {

// The size of the tail word behind every record.
constexpr std::uint32_t kTailSize = 4;
// Bit of an object's row id word that marks it deleted.
constexpr std::uint32_t kDeletedBit = 0x40000000u;

// How the bytes of one attribute column read.
enum class FieldKind {
    ByLetter, // no definition says: the type letter and width decide
    Text,     // Char(n): the bytes up to the width or the first zero
    Int16,    // SmallInt
    Int32,    // Integer
    Int64,    // LargeInt
    Double,   // Float
    Trimmed   // Decimal(w, d): text without its leading blanks
};

struct CTableField {
    std::string m_Name;
    char m_Letter = 'C';
    std::uint32_t m_Width = 0;
    // Where the field starts in a record, after the flag byte.
    std::uint32_t m_Offset = 0;
    FieldKind m_Kind = FieldKind::ByLetter;
};

// The field kinds the "Fields" list of a table definition gives, in column
// order; empty when the text has no such list.
std::vector<FieldKind> ReadFieldKinds(std::string_view tabText);

// The file in the folder of path whose name is path's base name with the
// extension ext, compared without regard to letter case (a name that matches
// exactly is preferred); empty when there is none.
std::string FindCompanion(const std::string& path, const char* ext);

class CMAPLoader {
public:
    CMAPLoader() = default;
    virtual ~CMAPLoader();
    CMAPLoader(const CMAPLoader&) = delete;
    CMAPLoader& operator=(const CMAPLoader&) = delete;

    // Reads the geometry file at path with its companions (each may be
    // missing); false when the geometry file cannot be read.
    bool Load(const std::string& path);

    // Decodes the objects of a geometry file in memory: through the index
    // when one is given (indexSize bytes of 32-bit offsets), else block by
    // block from the header's object block start.
    void Decode(const unsigned char* map, std::size_t mapSize, const unsigned char* index, std::size_t indexSize);

    // Takes the field descriptors of an attribute table in memory, which
    // must stay valid while the loader answers attributes.
    void UseTable(const unsigned char* dat, std::size_t size);
    // Gives the fields the kinds of a table definition's list, when it names
    // as many fields as the attribute table has.
    void UseFieldKinds(const std::vector<FieldKind>& kinds);

    // The text of a column of a record this loader made: "### ERROR ###"
    // without a table, for a column past the field list or a row the table
    // does not hold; "### Not implemented ###" for an unknown type letter.
    const char* Attribute(const void* record, std::uint32_t column);
    static std::uint32_t RowOf(const void* record);

    // The records of a shape kind (1 points, 3 polylines, 5 polygons).
    const std::vector<const unsigned char*>& Records(std::uint32_t shapeType) const;
    bool HasRecords(std::uint32_t shapeType) const { return !Records(shapeType).empty(); }
    int NonEmptyKinds() const;
    // The number of rows the attribute table says it holds (0 without one).
    std::size_t TableRows() const { return m_Dat != nullptr ? m_RowCount : 0; }

    std::string m_Path;
    std::vector<const unsigned char*> m_Points;
    std::vector<const unsigned char*> m_Polylines;
    std::vector<const unsigned char*> m_Polygons;
    // Objects that made no record: deleted ones and those of a type or shape
    // this reader does not take.
    std::uint32_t m_Undecoded = 0;
    // Rows of the attribute table that the object index does not reach: an
    // index shorter than the table leaves their objects unread.
    std::uint32_t m_Unindexed = 0;
    std::vector<CTableField> m_Fields;
    // The themes made from this loader that are still open.
    int m_UseCount = 0;

private:
    class CObjectDecoder;

    CFileReader m_Table;
    const unsigned char* m_Dat = nullptr;
    std::size_t m_DatSize = 0;
    std::size_t m_HeaderLength = 0;
    std::size_t m_RecordLength = 0;
    std::size_t m_RowCount = 0;
    std::string m_Value;
    CRecordPool m_Pool;
};

} // namespace grindal
