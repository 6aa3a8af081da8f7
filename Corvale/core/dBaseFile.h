#pragma once
// The dBase III table beside a shape file: row r holds the attributes of the
// shape with index r.
//
// Reading is lazy: ReadHeader takes the field descriptors, and every value is
// then read on demand, one seek and one read, straight from the theme's mapped
// reader. Writing is a set of static operations used by the shape-file export:
// WriteHeader, WriteRecord once per shape, then the caller writes the 0x1A end
// byte and closes the writer.
//
// Only the plain layout is handled: a 32-byte header, 32-byte field
// descriptors, a 0x0D terminator and fixed-length records. There is no index
// or memo handling; cell bytes are kept as stored, and the code-page byte of
// the header (offset 29) says how their text is encoded (TextEncoding.h).

#include "core/AttributeField.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFileReader;
class CFileWriter;

class CdBaseFile {
public:
    CdBaseFile() = default;
    virtual ~CdBaseFile();

    // Reads the header and the field descriptors from the start of the file and
    // remembers the reader (not owned: the theme keeps it open while it uses
    // this table). Replaces everything read before, also when it fails.
    //
    // The descriptors end at the 0x0D terminator. Records start at the
    // header length when it lies after the terminator (other writers put
    // extra bytes there) and the records are there: their deletion flags
    // (' ' or '*') are found there and not after the terminator, or, with
    // nothing to tell the two apart, they fit in the file after it. Else the
    // header length is damaged: the records are read right after the
    // terminator, and IsHeaderLengthDamaged says so. A header length below 33
    // (some writers leave 0) is not used. Without a terminator, the header
    // length ends the descriptor list.
    //
    // False for a null or closed reader, a file shorter than the header, and a
    // descriptor list cut off by the end of the file; in that last case the
    // record count is 0, so no value can be read, and the descriptors read
    // before the cut stay.
    bool ReadHeader(CFileReader* reader);

    // What the last ReadHeader found wrong in a table it could still read.
    // The header length contradicted the descriptors and the file, and the
    // records were read from after the terminator instead.
    bool IsHeaderLengthDamaged() const { return m_HeaderLengthDamaged; }
    // The whole records the file holds, at most the record count: fewer when
    // the file ends before the records its header counts.
    std::uint32_t GetRecordsPresent() const { return m_RecordsPresent; }

    // Fills out with the text of one value and the field's length and type.
    // Record and field are zero-based. False when the record is not below the
    // record count, the field is not below the field count, the reader is
    // missing or closed, or the file does not hold the whole record: the
    // record count is kept as the header gives it, so the rows of a truncated
    // table still line up with their shapes and only the missing cells fail.
    bool ReadValue(std::int32_t record, std::int32_t field, CAttributeFieldValue& out);

    // The text ReadValue gives, as a view of the bytes in the reader's
    // mapping: nothing is copied. Valid while the reader stays open and
    // unchanged. False in the same cases as ReadValue.
    bool ReadValueView(std::int32_t record, std::int32_t field, std::string_view& text) const;

    // For readers that take several values of one record: the record's bytes
    // in the reader's mapping, found and checked once, or null when
    // ReadValueView would fail for every field of it. GetFieldText then
    // gives the text ReadValueView gives, for a field below the field count.
    // Valid while the reader stays open and unchanged.
    const char* GetRecordBytes(std::int32_t record) const;
    std::string_view GetFieldText(const char* recordBytes, std::int32_t field) const;
    // The field's bytes as stored, all of its width (a width is at most
    // 255). Inline: the query engine reads number cells through it per shape.
    std::string_view GetFieldBytes(const char* recordBytes, std::int32_t field) const {
        const std::int32_t length = m_Fields[static_cast<std::size_t>(field)].m_Length;
        return std::string_view(recordBytes + 1 + m_FieldOffsets[static_cast<std::size_t>(field)],
                                static_cast<std::size_t>(length < 0 ? 0 : length > 255 ? 255 : length));
    }

    // Writes the 32-byte header, one descriptor per column and the terminator.
    // Names longer than 10 characters are cut, and a cut name that matches an
    // earlier one (ignoring case) gets a number as its tail ("LONGFIELD1").
    // False, with nothing written, for a null or closed writer, a descriptor
    // type outside FT_String..FT_Boolean, or more columns or a wider record
    // than the header's 16-bit fields can describe; false when a write fails.
    // codePage goes into the header's code-page byte: a copy of a table keeps
    // the code page its text is in.
    static bool WriteHeader(const std::vector<CAttributeFieldInfo>& descriptors,
                            CFileWriter* writer, std::uint32_t recordCount, std::uint8_t codePage = 0);

    // Writes one 32-byte descriptor; offsetInRecord counts from the byte after
    // the deletion flag. A date column is always 8 wide and a logical column 1,
    // whatever the descriptor says; others are min(length, 255), a negative
    // length counting as 0. False without writing for a type outside
    // FT_String..FT_Boolean or a null or closed writer; false when the write
    // fails.
    static bool WriteFieldDescriptor(std::int32_t offsetInRecord,
                                     const CAttributeFieldInfo& descriptor, CFileWriter* writer);

    // Writes one record: the deletion flag ' ' and one value per descriptor,
    // each in the width and type of its value entry (widths as for the
    // descriptors). Text, date and logical values are left-aligned, cut to the
    // width and filled with zero bytes; numbers are right-aligned and padded
    // with spaces. False, with nothing written, for a null or closed writer, a
    // value count that differs from the descriptor count, a value type outside
    // FT_String..FT_Boolean, or a number wider than its field (a number cut to
    // fit would be a different number); false when the write fails.
    static bool WriteRecord(const std::vector<CAttributeFieldInfo>& descriptors,
                            CFileWriter* writer, const std::vector<CAttributeFieldValue>& values);

    std::int32_t GetFieldCount() const { return m_FieldCount; }
    std::uint32_t GetRecordCount() const { return m_RecordCount; }
    // 1 (the deletion flag) plus the widths of all fields.
    std::int32_t GetRecordLength() const { return m_RecordLength; }
    // File offset of the first record; 0 before a successful ReadHeader.
    std::int32_t GetDataOffset() const { return m_DataOffset; }
    const std::vector<CAttributeFieldInfo>& GetFields() const { return m_Fields; }
    // The header's code-page byte (0 before a successful ReadHeader).
    std::uint8_t GetCodePage() const { return m_CodePage; }

private:
    // Keeps the first count descriptors read and works out the field
    // offsets, the record length and the field count from them.
    void SetFields(std::size_t count);

    std::int32_t m_FieldCount = 0;
    std::uint32_t m_RecordCount = 0;
    // Both stay far below 2^31: at most 2046 fields of at most 255 bytes, and
    // a header length that fits in 16 bits.
    std::int32_t m_RecordLength = 0;
    std::int32_t m_DataOffset = 0;
    std::uint8_t m_CodePage = 0;
    bool m_HeaderLengthDamaged = false;
    std::uint32_t m_RecordsPresent = 0;
    CFileReader* m_Reader = nullptr;
    std::vector<CAttributeFieldInfo> m_Fields;
    // Where each field starts inside a record, after the deletion flag.
    std::vector<std::uint32_t> m_FieldOffsets;
};

// The message that tells the user that the table read from path is damaged
// and how it was read: its header length was wrong, or the file holds fewer
// records than its header counts ("N of M records could be read"). Empty
// when the last ReadHeader found nothing wrong, or failed (a table that
// cannot be read at all has a message of its own).
std::string DamagedTableMessage(const CdBaseFile& table, const std::string& path);

// The names of the field types in FT_* order, closed by an empty entry. The
// attribute manager offers them and turns the chosen one back into a type.
extern const char* const g_FieldTypeNames[6];

// The FT_* code whose name is exactly (case-sensitively) name; -1 for anything
// else, a null name included.
std::int32_t GetFieldTypeFromName(const char* name);

// Whether text can be stored as a value of the given type: the empty text
// always can; a null text or a type outside FT_String..FT_Boolean cannot.
// Numbers are read with a decimal point whatever the user's locale.
bool IsValidFieldValue(const char* text, std::int32_t type);

// Whether name can name a dBase column: 1 to 10 characters, each an ASCII
// letter, an ASCII digit or '_'.
bool IsValidFieldName(const char* name);
