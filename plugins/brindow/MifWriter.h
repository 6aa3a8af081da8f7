#pragma once
// Writes one theme as a MIF file and, when asked, its MID table. Both files
// are written beside their targets and put in place only when the theme is
// complete, so an export that goes wrong leaves any earlier files untouched.

#include "Exporter.h"

#include "shapes/FileWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brindow {

struct MifField {
    std::string m_Name;
    std::uint32_t m_Type = XPR_FT_String; // XPR_FT_*, the key bit taken off
};

// A column name MIF can read: space, %, /, [, ], (, ), {, }, + and - become "_".
std::string MifColumnName(std::string name);
// The MID form of a value: text types between double quotes, a quote inside
// doubled; line breaks (and, outside quotes, tabs) become spaces so that a
// value can never break its row.
std::string MidValue(const char* value, std::uint32_t type);
// The path with its extension replaced by ".mid".
std::string MidPathFor(const std::string& mifPath);
// Text in Windows Latin 1, the code page the files declare, from text in
// codePage (XPR_CP_*, as the host states it). Windows Latin 1 text is kept
// byte for byte. Text whose code page is not stated (or one this writer does
// not know) is read as the program's UTF-8 exports read it: UTF-8 when it is
// valid UTF-8, else Windows Latin 1. A character the code page cannot hold
// becomes '?' and is counted in replaced.
std::string ToWindowsLatin1(const std::string& text, std::uint32_t codePage, std::size_t& replaced);

class CMifExport {
public:
    enum Result { Written, Skipped, Unsupported };

    // Creates the MIF at mifPath (and the MID at midPath unless it is empty)
    // and writes the header. The field names and the values of the theme are
    // in textCodePage (XPR_CP_*). False, with the reason in error, when a file
    // cannot be created; nothing is left open then.
    bool Begin(const std::string& mifPath, const std::string& midPath, const std::vector<MifField>& fields,
               std::uint32_t textCodePage, std::string& error);
    bool IsOpen() const { return m_Mif != nullptr; }
    // Writes one shape and its row. Polylines and polygons without parts
    // are skipped in both files, so objects and rows stay paired.
    Result WriteShape(const ExportShapeArgs& args);
    // Puts the files in place (commit) or drops them. False, with the reason
    // in error, when a file could not be completed.
    bool End(bool commit, std::string& error);
    // Characters of the last export that Windows Latin 1 could not hold.
    std::size_t Replaced() const { return m_Replaced; }

private:
    void Put(const std::string& text);
    void PutRow(const ExportShapeArgs& args);

    std::unique_ptr<CFileWriter> m_Mif;
    std::unique_ptr<CFileWriter> m_Mid;
    std::string m_MifPath;
    std::string m_MidPath;
    std::vector<MifField> m_Fields;
    std::uint32_t m_TextCodePage = XPR_CP_NotStated;
    std::string m_Buffer;
    std::size_t m_Replaced = 0;
};

} // namespace brindow
