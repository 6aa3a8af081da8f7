#include "workspace/WorkspaceFileLoader.h"

#include "core/Theme.h"
#include "platform/Archive.h"
#include "platform/FileNames.h"
#include "workspace/WorkspaceFile.h"

#include <algorithm>
#include <exception>
#include <iterator>

namespace {

constexpr std::size_t kLongestErrorText = 512;

} // namespace

CWorkspaceFileLoader::CWorkspaceFileLoader(CCorvaleDoc* document) : m_document(document) {}

CWorkspaceFileLoader::~CWorkspaceFileLoader() { DeleteThemes(); }

void CWorkspaceFileLoader::DeleteThemes() {
    for (CTheme* theme : m_themes)
        CThemeDeleter()(theme);
    m_themes.clear();
}

std::vector<CTheme*> CWorkspaceFileLoader::TakeThemes() {
    std::vector<CTheme*> themes;
    themes.swap(m_themes);
    return themes;
}

bool CWorkspaceFileLoader::Load(const std::string& path) {
    DeleteThemes();
    // The whole file is read at once: what is read cannot change under the
    // reading, whoever writes to the file meanwhile.
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) {
        m_errorText = "Error opening file for reading.";
        return false;
    }

    CWorkspaceFileContents contents;
    contents.m_backgroundColor = m_backgroundColor;
    std::copy(std::begin(m_viewExtent), std::end(m_viewExtent), std::begin(contents.m_viewExtent));
    contents.m_description = m_description;
    contents.m_refSystem = m_refSystem;
    contents.m_earthRadius = m_earthRadius;
    // Themes read before a damaged one stay with the loader, as they were
    // read; they are freed with it.
    auto keepThemes = [&] {
        for (CThemePtr& theme : contents.m_themes)
            m_themes.push_back(theme.release());
        contents.m_themes.clear();
    };
    try {
        CArchive ar(bytes.data(), bytes.size());
        const std::uint32_t version = ar.ReadU32();
        if (!IsPlausibleWorkspaceVersion(version))
            throw CArchiveException(CArchiveException::BadData, kNotAWorkspaceMessage);
        if (version > kWorkspaceFileVersion)
            throw CArchiveException(CArchiveException::BadSchema, kNewerWorkspaceMessage);
        CWorkspaceReadOptions options;
        CTheme::SerializeContext context = WorkspaceThemeContext(m_document, corvale::FolderOf(path));
        options.readTheme = [&context](CArchive& archive, CTheme& theme) { theme.Serialize(archive, context); };
        options.trace = true;
        ReadWorkspaceFileBody(ar, version, contents, options);
    } catch (const CArchiveException& e) {
        keepThemes();
        m_errorText = std::string(e.what()).substr(0, kLongestErrorText);
        return false;
    } catch (...) {
        keepThemes();
        m_errorText = "Unknown exception caught.";
        return false;
    }
    keepThemes();
    m_description = contents.m_description;
    m_backgroundColor = contents.m_backgroundColor;
    std::copy(std::begin(contents.m_viewExtent), std::end(contents.m_viewExtent), std::begin(m_viewExtent));
    m_refSystem = contents.m_refSystem;
    m_earthRadius = contents.m_earthRadius;
    m_pathName = path;
    return true;
}
