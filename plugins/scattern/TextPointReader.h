#pragma once
// The reader of a delimited text file of points: one point per line, X and Y
// taken from two chosen columns (1-based), every field kept as text. One
// CTextPointLoader holds what one load made; its point records stay where
// they are until it is destroyed, since the host keeps pointers to them.
//
// Each point record is followed, in the same allocation, by a 32-bit tail
// word: the index of its row in the row list.

#include "common/RecordPool.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scattern {

// The longest line read; longer lines are cut there.
constexpr std::size_t kMaxLine = 8192;
// The bytes of the saved definition before the path.
constexpr std::size_t kSavedHeader = 14;

// Splits a line into its fields. A trailing carriage return is dropped and an
// empty line has no fields. No quoting: two separators in a row give an empty
// field, a separator at either end an empty first or last field.
std::vector<std::string> SplitFields(std::string_view line, char separator);

// Up to count lines from the start of text (for the definition preview),
// each cut at kMaxLine.
std::vector<std::string> FirstLines(std::string_view text, std::size_t count);

// The file's leading bytes, enough for FirstLines; false when unreadable.
bool ReadHead(const std::string& path, std::string& text, std::size_t bytes = 5 * (kMaxLine + 2));

class CTextPointLoader {
public:
    CTextPointLoader() = default;
    virtual ~CTextPointLoader();
    CTextPointLoader(const CTextPointLoader&) = delete;
    CTextPointLoader& operator=(const CTextPointLoader&) = delete;

    // Reads the file at m_Path with the definition held; false when the file
    // cannot be read or its first line is empty.
    bool ReadFile();
    // The same on a text in memory.
    bool Parse(std::string_view text);

    // The saved definition: format word 1, the names flag, the separator,
    // X and Y columns, then the path and its terminating zero.
    std::size_t SavedSize() const { return kSavedHeader + m_Path.size() + 1; }
    // Writes into size bytes; the path is cut to fit and always terminated.
    // False when the buffer cannot hold the header and a zero.
    bool Save(void* buffer, std::size_t size) const;
    // Takes the definition from a saved block of size bytes; false when it is
    // too short or holds no terminated path.
    bool Restore(const void* buffer, std::size_t size);

    // The field text of a record this loader made: "ERROR" when its row is
    // not in the list, an empty text for a column past the row's end.
    const char* Attribute(const void* record, std::uint32_t column) const;
    static std::uint32_t RowOf(const void* record);

    std::string m_Path;
    bool m_FirstRowNames = false;
    char m_Separator = '\t';
    std::uint32_t m_XColumn = 1;
    std::uint32_t m_YColumn = 2;

    std::vector<std::string> m_FieldNames;
    std::vector<std::vector<std::string>> m_Rows;
    std::vector<const unsigned char*> m_Records;

private:
    unsigned char* Allocate(std::size_t size) { return m_Pool.Allocate(size); }
    void AddLine(std::string_view line, std::uint32_t lineNumber);

    CRecordPool m_Pool;
};

} // namespace scattern
