#include "workspace/WorkspaceFile.h"

#include "crs/RefSysTable.h"
#include "platform/Archive.h"
#include "workspace/gpi/GpiHost.h"

#include <QLoggingCategory>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

Q_LOGGING_CATEGORY(lcWorkspace, "corvale.workspace", QtInfoMsg)

// Bytes of the smallest theme record (schema 1, no source data, empty texts)
// and of the smallest bookmark: what a count read from a file is checked
// against before anything is reserved.
constexpr std::size_t kSmallestThemeRecord = 30;
constexpr std::size_t kSmallestBookmark = 29;

void Trace(const char* format, int a, int b = 0) {
    char line[96];
    std::snprintf(line, sizeof line, format, a, b);
    qCDebug(lcWorkspace).noquote() << line;
}

} // namespace

const char* const kNewerWorkspaceMessage =
    "The document you tried to load was created by a newer version of Corvale.\nCorvale was unable to interpret "
    "the file.\nOperation aborted.";

const char* const kNotAWorkspaceMessage = "The file is not a Corvale workspace, or it is damaged.";

bool IsPlausibleWorkspaceVersion(std::uint32_t version) {
    return version <= kHighestPlausibleWorkspaceVersion;
}

void CThemeDeleter::operator()(CTheme* theme) const {
    if (theme == nullptr)
        return;
    GpiForgetTheme(theme);
    delete theme;
}

CTheme::SerializeContext WorkspaceThemeContext(CCorvaleDoc* document, const std::string& baseFolder) {
    CTheme::SerializeContext context;
    context.baseFolder = baseFolder;
    context.serializeGpiData = [document](CArchive& archive, CTheme& theme) {
        SerializeGpiThemeData(archive, &theme, document);
    };
    return context;
}

void ReadWorkspaceFileBody(CArchive& ar, std::uint32_t version, CWorkspaceFileContents& contents,
                           const CWorkspaceReadOptions& options) {
    if (version >= 3)
        contents.m_description = ar.ReadString();
    ar.ReadU32();
    contents.m_toolMode = ar.ReadU32();

    const std::uint32_t count = ar.ReadU32();
    ar.CheckCount(count, kSmallestThemeRecord);
    contents.m_themes.reserve(contents.m_themes.size() + count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const int number = static_cast<int>(i) + 1;
        if (options.trace)
            Trace("Loading theme %d of %d.\n", number, static_cast<int>(count));
        CThemePtr theme(new CTheme);
        try {
            if (options.readTheme)
                options.readTheme(ar, *theme);
            else
                theme->Serialize(ar);
        } catch (...) {
            if (options.trace)
                Trace("Exception caught when loading theme %d.\n", number);
            throw;
        }
        contents.m_themes.push_back(std::move(theme));
    }

    for (double& value : contents.m_viewExtent)
        value = ar.ReadF64();
    if (version >= 2)
        contents.m_backgroundColor = ar.ReadU32();
    if (version >= 3) {
        contents.m_gridSpacingX = ar.ReadF64();
        contents.m_gridSpacingY = ar.ReadF64();
    }
    if (version >= 4) {
        const std::uint32_t bookmarks = ar.ReadU32();
        ar.CheckCount(bookmarks, kSmallestBookmark);
        std::vector<CBookmarkRecord> read;
        read.reserve(bookmarks);
        for (std::uint32_t i = 0; i < bookmarks; ++i) {
            CBookmarkRecord bookmark;
            bookmark.Serialize(ar);
            read.push_back(std::move(bookmark));
        }
        contents.m_bookmarks = std::move(read);
        contents.m_hasBookmarks = true;
    }
    if (version >= 5)
        contents.m_openPropertiesFlag = ar.ReadU32();
    if (version >= 7) {
        SerializeRefSysIndex(ar, contents.m_refSystem);
        ar.ReadU32(); // 12, the length of the next two fields
        contents.m_earthRadius = ar.ReadF64();
        ar.ReadU32();
    }
    if (version >= 6) {
        for (;;) {
            const std::uint32_t length = ar.ReadU32();
            if (length == 0)
                break;
            ar.Skip(length);
        }
    }
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    // A folder opens as a stream that reads nothing.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<unsigned char> read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    bytes = std::move(read);
    return true;
}
