// The workspace file of a document: storing and reading it, opening and
// saving it on disk, and Import From Workspace File.
//
// Reading is all or nothing: the document takes what a file holds only once
// every theme has read, and gives it back when the plug-in section that
// follows does not read, so a damaged file changes nothing and no theme of it
// stays behind. Saving builds the whole file in memory and writes it under a
// temporary name that replaces the old file only when complete.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "platform/Archive.h"
#include "platform/FileNames.h"
#include "settings/AppSettings.h"
#include "shapes/FileWriter.h"
#include "workspace/ViewMessages.h"
#include "workspace/WorkspaceFile.h"
#include "workspace/WorkspaceFileLoader.h"
#include "workspace/gpi/GpiHost.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

using corvale::MessageButtons;
using corvale::MessageIcon;
using corvale::UI;

namespace {

const char* const kWorkspaceFilter = "Corvale Files (*.cvw)|*.cvw|All Files (*.*)|*.*||";

// The newer-version refusal, whose message the reading has shown already.
class CReportedArchiveException : public CArchiveException {
public:
    using CArchiveException::CArchiveException;
};

std::uint32_t CheckedCount(std::size_t count, const char* what) {
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error(std::string("The workspace holds too many ") + what + " to store.");
    return static_cast<std::uint32_t>(count);
}

void ShowOpenError(const std::string& path, const std::string& reason) {
    UI().ShowMessage("Corvale could not open the workspace\n" + path + "\n\n" + reason + "\nNothing was loaded.",
                     MessageIcon::Error, MessageButtons::Ok);
}

void ShowSaveError(const std::string& path, const std::string& reason) {
    UI().ShowMessage("Corvale could not save the workspace\n" + path + "\n\n" + reason +
                         "\nThe file on disk was left as it was.",
                     MessageIcon::Error, MessageButtons::Ok);
}

} // namespace

void CCorvaleDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteU32(kWorkspaceFileVersion);
        ar.WriteString(m_description);
        ar.WriteU32(0);
        ar.WriteU32(m_toolMode);
        ar.WriteU32(CheckedCount(m_themes.size(), "themes"));
        // Storing can make a theme native and editable (a loader theme whose
        // plug-in cannot store itself); the panes hear of it afterwards.
        bool editableChanged = false;
        const CTheme::SerializeContext context = WorkspaceThemeContext(this);
        try {
            for (CTheme* theme : m_themes) {
                const bool editable = theme->m_Editable;
                theme->Serialize(ar, context);
                editableChanged = editableChanged || editable != theme->m_Editable;
            }
        } catch (...) {
            if (editableChanged)
                FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, 0);
            throw;
        }
        for (double value : m_viewExtent)
            ar.WriteF64(value);
        ar.WriteU32(m_backgroundColor);
        ar.WriteF64(m_gridSpacingX);
        ar.WriteF64(m_gridSpacingY);
        ar.WriteU32(CheckedCount(m_bookmarks.size(), "bookmarks"));
        for (CBookmarkRecord* bookmark : m_bookmarks)
            bookmark->Serialize(ar);
        ar.WriteU32(m_openPropertiesFlag);
        int refSystem = m_refSystem;
        SerializeRefSysIndex(ar, refSystem);
        ar.WriteU32(12);
        ar.WriteF64(m_earthRadius);
        ar.WriteU32(0);
        // The block list: none is written.
        ar.WriteU32(0);
        SerializeGpiWorkspaceData(this, ar);
        if (editableChanged)
            FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, 0);
        return;
    }

    GpiRegisterWorkspace(this);
    CTheme* const previousActive = m_activeTheme;
    m_activeTheme = nullptr;
    const std::uint32_t version = ar.ReadU32();
    if (!IsPlausibleWorkspaceVersion(version)) {
        m_activeTheme = previousActive;
        throw CArchiveException(CArchiveException::BadData, kNotAWorkspaceMessage);
    }
    if (version > kWorkspaceFileVersion) {
        m_activeTheme = previousActive;
        UI().ShowMessage(kNewerWorkspaceMessage, MessageIcon::Error, MessageButtons::Ok);
        throw CReportedArchiveException(CArchiveException::BadSchema, kNewerWorkspaceMessage);
    }

    // What the file's version does not hold keeps the document's value.
    CWorkspaceFileContents contents;
    contents.m_description = m_description;
    std::copy(std::begin(m_viewExtent), std::end(m_viewExtent), std::begin(contents.m_viewExtent));
    contents.m_backgroundColor = m_backgroundColor;
    contents.m_gridSpacingX = m_gridSpacingX;
    contents.m_gridSpacingY = m_gridSpacingY;
    contents.m_openPropertiesFlag = m_openPropertiesFlag;
    contents.m_refSystem = m_refSystem;
    contents.m_earthRadius = m_earthRadius;
    CWorkspaceReadOptions options;
    const CTheme::SerializeContext context = WorkspaceThemeContext(this, m_readingFolder);
    options.readTheme = [&context](CArchive& archive, CTheme& theme) { theme.Serialize(archive, context); };
    try {
        ReadWorkspaceFileBody(ar, version, contents, options);
    } catch (...) {
        // The themes read so far go with contents.
        m_activeTheme = previousActive;
        throw;
    }

    // Everything read: the document takes it, keeping what it had until the
    // plug-in section has read too.
    std::string description = std::move(contents.m_description);
    m_description.swap(description);
    const std::uint32_t toolMode = m_toolMode;
    m_toolMode = MT_Select;
    double extent[4];
    std::copy(std::begin(m_viewExtent), std::end(m_viewExtent), std::begin(extent));
    std::copy(std::begin(contents.m_viewExtent), std::end(contents.m_viewExtent), std::begin(m_viewExtent));
    const std::uint32_t background = std::exchange(m_backgroundColor, contents.m_backgroundColor);
    const double gridX = std::exchange(m_gridSpacingX, contents.m_gridSpacingX);
    const double gridY = std::exchange(m_gridSpacingY, contents.m_gridSpacingY);
    const std::uint32_t openProperties = std::exchange(m_openPropertiesFlag, contents.m_openPropertiesFlag);
    const int refSystem = std::exchange(m_refSystem, contents.m_refSystem);
    const double earthRadius = std::exchange(m_earthRadius, contents.m_earthRadius);
    std::vector<CBookmarkRecord*> bookmarks;
    if (contents.m_hasBookmarks) {
        std::vector<CBookmarkRecord*> read;
        read.reserve(contents.m_bookmarks.size());
        try {
            for (CBookmarkRecord& bookmark : contents.m_bookmarks)
                read.push_back(new CBookmarkRecord(std::move(bookmark)));
        } catch (...) {
            for (CBookmarkRecord* bookmark : read)
                delete bookmark;
            throw;
        }
        bookmarks.swap(m_bookmarks);
        m_bookmarks.swap(read);
    }
    const std::vector<CTheme*> selected = m_selectedThemes;
    std::vector<CTheme*> added;
    added.reserve(contents.m_themes.size());
    m_themes.reserve(m_themes.size() + contents.m_themes.size());
    for (CThemePtr& theme : contents.m_themes) {
        added.push_back(theme.release());
        m_themes.push_back(added.back());
    }
    // Loader themes restored from their plug-ins' blocks call back into
    // this document from now on.
    AttachLoaderCallbacks();
    if (!added.empty()) {
        m_selectedThemes.assign(1, added.front());
        m_activeTheme = added.front();
    }

    try {
        if (version >= 6)
            SerializeGpiWorkspaceData(this, ar);
    } catch (...) {
        for (CTheme* theme : added) {
            const auto it = std::find(m_themes.begin(), m_themes.end(), theme);
            if (it != m_themes.end())
                m_themes.erase(it);
            CThemeDeleter()(theme);
        }
        m_selectedThemes = selected;
        m_activeTheme = previousActive;
        m_description.swap(description);
        m_toolMode = toolMode;
        std::copy(std::begin(extent), std::end(extent), std::begin(m_viewExtent));
        m_backgroundColor = background;
        m_gridSpacingX = gridX;
        m_gridSpacingY = gridY;
        m_openPropertiesFlag = openProperties;
        m_refSystem = refSystem;
        m_earthRadius = earthRadius;
        if (contents.m_hasBookmarks) {
            m_bookmarks.swap(bookmarks);
            for (CBookmarkRecord* bookmark : bookmarks)
                delete bookmark;
        }
        throw;
    }
    for (CBookmarkRecord* bookmark : bookmarks)
        delete bookmark;
}

bool CCorvaleDoc::OpenWorkspace(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) {
        ShowOpenError(path, "The file cannot be read.");
        return false;
    }
    try {
        corvale::CWaitCursor wait;
        CArchive ar(bytes.data(), bytes.size());
        m_readingFolder = corvale::FolderOf(path);
        Serialize(ar);
        m_readingFolder.clear();
    } catch (const CReportedArchiveException&) {
        m_readingFolder.clear();
        return false;
    } catch (const std::exception& e) {
        m_readingFolder.clear();
        ShowOpenError(path, e.what());
        return false;
    }

    const RefSysEntry* refSystem = GetRefSysEntry(m_refSystem);
    UI().SetStatusPaneText(1130, refSystem != nullptr ? refSystem->name : "Unknown");
    FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(m_activeTheme));
    UpdateMapScale();
    if (m_openPropertiesFlag != 0)
        for (CView* view : GetViews())
            PostMessage(view, WM_SHOW_WORKSPACE_PROPERTIES, 0, static_cast<std::intptr_t>(m_openPropertiesFlag));
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CCorvaleDoc::SaveWorkspace(const std::string& path) {
    // Storing clears each theme's modified flag; a save that then fails puts
    // them back, so that closing still asks to save.
    std::vector<std::pair<CTheme*, bool>> modified;
    modified.reserve(m_themes.size());
    for (CTheme* theme : m_themes)
        modified.emplace_back(theme, theme->m_Modified);
    auto restoreModified = [&modified] {
        for (const auto& [theme, flag] : modified)
            theme->m_Modified = flag;
    };

    CArchive ar;
    try {
        Serialize(ar);
    } catch (const std::exception& e) {
        restoreModified();
        ShowSaveError(path, e.what());
        return false;
    }
    const std::vector<unsigned char>& bytes = ar.GetStored();
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &error)) {
        restoreModified();
        ShowSaveError(path, error == CFileWriter::FOE_ReadOnly ? "The file is read-only."
                                                               : "The file could not be written.");
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

void CCorvaleDoc::OnImportFromWorkspaceFile() {
    corvale::FileDialogRequest request;
    request.filter = kWorkspaceFilter;
    request.multiple = false;
    std::vector<std::string> paths;
    if (!UI().ChooseOpenFiles(request, paths) || paths.empty() || paths.front().empty())
        return;

    CWorkspaceFileLoader loader(this);
    bool loaded = false;
    {
        corvale::CWaitCursor wait;
        loaded = loader.Load(paths.front());
    }
    if (!loaded) {
        UI().ShowMessage("Error loading workspace:\n\n" + loader.m_errorText, MessageIcon::Error, MessageButtons::Ok);
        return;
    }

    std::vector<CTheme*> themes = loader.TakeThemes();
    try {
        if (CAppSettings::GetInstance()->m_LoadToBottom != 0)
            m_themes.insert(m_themes.end(), themes.begin(), themes.end());
        else
            m_themes.insert(m_themes.begin(), themes.begin(), themes.end());
    } catch (...) {
        for (CTheme* theme : themes)
            CThemeDeleter()(theme);
        throw;
    }
    if (!themes.empty())
        SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_Refresh, 0);
    char text[64];
    std::snprintf(text, sizeof text, "%d theme(s) imported successfully.", static_cast<int>(themes.size()));
    UI().ShowMessage(text, MessageIcon::Information, MessageButtons::Ok);
}

void CCorvaleDoc::AddWorkspaceFileCommands() {
    OnCommand(ID_FILE_IMPORT_WORKSPACE, &CCorvaleDoc::OnImportFromWorkspaceFile);
}
