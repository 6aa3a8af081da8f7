#pragma once
// The layout of a workspace file (.cvw), read by the document when a
// workspace is opened and by CWorkspaceFileLoader when themes are imported from one.
//
// Little-endian, no header beyond the version word; strings in the archive's
// string form (platform/Archive.h). Each field is present from the version in
// the first column on; the program writes version 7.
//
//   all  u32 version
//    3   string description
//   all  u32 0 (reserved); u32 tool mode (not restored: a workspace opens in
//        the select tool); u32 theme count n; n theme records
//        (CTheme::Serialize); 4 x f64 extent minX, minY, maxX, maxY
//    2   u32 background colour
//    3   f64 grid spacing x, f64 grid spacing y
//    4   u32 bookmark count b; b bookmarks {u32 1, string name,
//        f64 units per pixel, f64 x, f64 y}
//    5   u32 open-properties flag
//    7   reference system {u32 8, u32 1, u32 program id} (RefSysTable.h);
//        u32 12; f64 earth radius; u32 0
//    6   blocks {u32 length, length bytes} ended by a length of 0 (written
//        as the single 0, skipped when read); the plug-ins' data section
//        (SerializeGpiWorkspaceData)
//
// Version 6 files have the open-properties flag, the blocks and the plug-in
// section without the version 7 fields between them.

#include "core/Theme.h"
#include "workspace/BookmarkRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CArchive;
class CCorvaleDoc;

constexpr std::uint32_t kWorkspaceFileVersion = 7;

// String 61470: shown when a workspace of a newer version is opened.
extern const char* const kNewerWorkspaceMessage;

// A file has no mark of its own, only the version word: a word far above
// any version the program could come to write is not a workspace's (random
// bytes nearly always give such a word), and the file is reported as not a
// workspace rather than as one from a newer program.
constexpr std::uint32_t kHighestPlausibleWorkspaceVersion = 255;
extern const char* const kNotAWorkspaceMessage;
bool IsPlausibleWorkspaceVersion(std::uint32_t version);

// Frees a theme that never joined a workspace, or left it, and drops its
// plug-in handle, which a plug-in may have been given while the theme's data
// was read.
struct CThemeDeleter {
    void operator()(CTheme* theme) const;
};
using CThemePtr = std::unique_ptr<CTheme, CThemeDeleter>;

// What a workspace file holds besides the plug-ins' section. The reader
// leaves a field the file's version does not hold as the caller set it.
struct CWorkspaceFileContents {
    std::string m_description;
    std::uint32_t m_toolMode = 0;
    std::vector<CThemePtr> m_themes;
    double m_viewExtent[4] = {0.0, 0.0, 0.0, 0.0};
    std::uint32_t m_backgroundColor = 0xFFFFFF;
    double m_gridSpacingX = 1.0;
    double m_gridSpacingY = 1.0;
    bool m_hasBookmarks = false;
    std::vector<CBookmarkRecord> m_bookmarks;
    std::uint32_t m_openPropertiesFlag = 0;
    int m_refSystem = -1;
    double m_earthRadius = 6361442.043;
};

struct CWorkspaceReadOptions {
    // Reads one theme record into a new theme.
    std::function<void(CArchive& archive, CTheme& theme)> readTheme;
    // Writes the trace lines "Loading theme %d of %d." and "Exception caught
    // when loading theme %d." (the workspace logging category, off unless
    // enabled with QT_LOGGING_RULES="corvale.workspace.debug=true").
    bool trace = false;
};

// Reads the fields after the version word up to and including the block
// list. A theme whose record does not read is freed and the exception goes
// on; the themes read before it stay in contents, which the caller drops.
// Counts are checked against the bytes there before anything is reserved.
void ReadWorkspaceFileBody(CArchive& archive, std::uint32_t version, CWorkspaceFileContents& contents,
                           const CWorkspaceReadOptions& options);

// The whole file, read into memory; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes);

// The theme record context of a workspace: plug-in data blocks go through
// the plug-in host with the given workspace (null: none).
CTheme::SerializeContext WorkspaceThemeContext(CCorvaleDoc* document, const std::string& baseFolder = std::string());
