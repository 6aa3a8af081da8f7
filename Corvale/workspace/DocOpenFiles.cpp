// Files become themes: shape files, images, folders of shape files, Add
// Theme and the recent shape files.

#include "workspace/CorvaleDoc.h"

#include "core/FileEnumeration.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/FileNames.h"
#include "platform/Wildcard.h"
#include "settings/AppSettings.h"
#include "shapes/FileReader.h"
#include "shapes/ShapeFile.h"
#include "workspace/CommandIds.h"
#include "workspace/RecentShapeFileList.h"
#include "workspace/gpi/GpiHost.h"

#include <QByteArray>
#include <QImageReader>
#include <QList>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

using corvale::MessageButtons;
using corvale::MessageIcon;
using corvale::UI;

namespace {

const char* const kAddThemeFilter =
    "Shape Files (*.shp)|*.shp|"
    "Image files (*.bmp;*.jpg;*.gif;*.png;*.tif)|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.tif;*.tiff|";
const char* const kAllFilesFilter = "All Files (*.*)|*.*||";

void ShowError(const std::string& text) { UI().ShowMessage(text, MessageIcon::Error, MessageButtons::Ok); }

// The file name of a path written with either separator, so that a path
// from a Windows workspace names its theme by the file alone.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasShpExtension(const std::string& path) { return corvale::MatchWildcard(FileNameOf(path), "*.shp"); }

bool IsRecordType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_Polyline || type == SHT_Polygon || type == SHT_PointZ ||
           type == SHT_PolylineZ || type == SHT_PolygonZ;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Folders already scanned, by device and inode, so that a link back up the
// tree ends the descent instead of looping.
using FolderIdentities = std::set<std::pair<dev_t, ino_t>>;

class CFilesOnly : public stdext::basic_file_enumeration_filter {
public:
    explicit CFilesOnly(const char* pattern) : m_Pattern(pattern) {}
    bool accept(const stdext::basic_file_enumeration_data& entry) const override {
        return !entry.directory && m_Pattern.accept(entry);
    }

private:
    stdext::basic_file_pattern_match_simple_pattern m_Pattern;
};

} // namespace

bool CCorvaleDoc::IsImageFileName(const std::string& path) {
    // Each decoder's file types, as a pattern list per decoder.
    const std::string name = FileNameOf(path);
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray& format : formats) {
        const std::string pattern = "*." + format.toStdString();
        if (corvale::MatchWildcardList(name, pattern))
            return true;
    }
    return false;
}

void CCorvaleDoc::PrintConsoleLine(const std::string& text) {
    // The console window belongs to the scripting side; while the workspace
    // has none open, or the scripting side is not installed, the line goes
    // nowhere.
    const CDocumentConsoleServices& console = GetDocumentConsoleServices();
    if (console.printLine)
        console.printLine(*this, text);
}

void CCorvaleDoc::PrintLoadingMessage(const std::string& text) {
    if (m_debugFlags & 2)
        PrintConsoleLine(text);
}

void CCorvaleDoc::ApplyNewThemeSettings(CTheme* theme) {
    const CAppSettings* settings = CAppSettings::GetInstance();
    theme->m_Color = settings->m_ColorDefault;
    theme->m_OutlineColor = settings->m_ColorOutline;
    theme->m_Visible = settings->m_ThemesVisible != 0;
    theme->UpdateDefaultStyle();
}

bool CCorvaleDoc::ShapeCallback(void* document, CShapeRecord* record, std::intptr_t userData) {
    auto* self = static_cast<CCorvaleDoc*>(document);
    if (self == nullptr || self->m_loaderTargetTheme == nullptr)
        return false;
    return CTheme::ShapeCallback(self->m_loaderTargetTheme, record, userData);
}

CTheme* CCorvaleDoc::LoadShapeFile(const std::string& path, bool showErrors) {
    const bool hadThemes = !m_themes.empty();
    const std::string stem = corvale::PathStem(path);
    const std::string shp = corvale::FindSiblingFile(stem, ".shp");
    if (shp.empty())
        return nullptr;

    // A file that was only partly read would show part of the data as if it
    // were all of it: the header is checked first, and a damaged file gives
    // no theme at all.
    CShapeFileHeader header;
    bool headerRead = false;
    {
        CFileReader probe;
        if (!probe.Open(shp.c_str()))
            return nullptr;
        probe.SetPosition(0);
        headerRead = ReadShapeFileHeader(probe, header);
    }
    if (headerRead && !IsRecordType(header.m_ShapeType)) {
        const std::string message =
            "Shape file contains unsupported shape type (" + std::to_string(header.m_ShapeType) + ").";
        PrintLoadingMessage(message);
        // The box names the file: a folder scan may meet many.
        if (showErrors)
            ShowError(message + "\n\n" + shp);
        return nullptr;
    }

    auto theme = std::make_unique<CTheme>();
    m_loaderTargetTheme = theme.get();
    theme->m_Name = FileNameOf(shp);
    ApplyNewThemeSettings(theme.get());
    // The plug-ins hear of the theme when it is inserted, before its records
    // are read; a read that fails takes it out again and tells them so.
    CTheme* added = theme.release();
    InsertNewTheme(added);
    if (!headerRead || !added->OpenShapeFile(shp)) {
        m_themes.erase(std::find(m_themes.begin(), m_themes.end(), added));
        GpiNotifyThemesRemoved(this, added);
        GpiForgetTheme(added);
        delete added;
        m_loaderTargetTheme = nullptr;
        if (showErrors)
            ShowError("The shape file is damaged or incomplete:\n\n" + shp + "\n\n\nNo theme was added.");
        return nullptr;
    }

    const std::string dbf = corvale::FindSiblingFile(stem, ".dbf");
    if (!dbf.empty() && !added->OpenDbfFile(dbf)) {
        // Columns read before the damage would show with no values in them.
        added->m_Dbf = CdBaseFile();
        added->m_DbfReader.Close();
        if (showErrors)
            ShowError("The attribute file is invalid or unreadable:\n\n" + dbf +
                      "\n\n\nNo attributes will be loaded for this theme.");
    } else if (!dbf.empty() && showErrors) {
        // A table read in spite of damage keeps the attributes it has; the
        // user learns that some may be missing.
        const std::string damage = DamagedTableMessage(added->m_Dbf, dbf);
        if (!damage.empty())
            UI().ShowMessage(damage, MessageIcon::Warning, MessageButtons::Ok);
    }

    added->UpdateDefaultStyle();
    added->ResetShapePositions();
    added->UpdateStyles();
    added->BuildSpatialIndex();

    const int count = added->GetAllShapeCount();
    if (added->IsPointTheme())
        PrintLoadingMessage("Loaded shape file containing " + std::to_string(count) + " points.");
    else if (added->IsArcTheme())
        PrintLoadingMessage("Loaded shape file containing " + std::to_string(count) + " arcs.");
    else
        PrintLoadingMessage("Loaded shape file containing " + std::to_string(count) + " polygons.");

    if (!hadThemes)
        ZoomToFullExtent(nullptr);
    GetRecentShapeFiles().Add(shp);
    GetRecentShapeFiles().WriteList();
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(added));
    return added;
}

CTheme* CCorvaleDoc::LoadRasterFile(const std::string& path) {
    const bool hadThemes = !m_themes.empty();
    auto theme = std::make_unique<CTheme>();
    m_loaderTargetTheme = theme.get();
    theme->m_Name = FileNameOf(path);

    bool placed = false;
    if (!theme->LoadRaster(path, nullptr, &placed)) {
        m_loaderTargetTheme = nullptr;
        ShowError("Could not open image file:\n\n" + path + "\n\n\nOperation aborted.");
        return nullptr;
    }
    // The kind is set before the plug-ins hear of the theme, so that they
    // see an image theme.
    theme->m_ShapeType = SHT_Image;
    theme->m_SourceType = ST_ImageFile;
    ApplyNewThemeSettings(theme.get());

    CTheme* added = theme.release();
    InsertNewTheme(added);
    PrintLoadingMessage("Loaded raster file.");

    if (!hadThemes)
        ZoomToFullExtent(nullptr);
    GetRecentShapeFiles().Add(path);
    GetRecentShapeFiles().WriteList();
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(added));

    // Without a world file the image lies at its pixel coordinates; the user
    // places it now.
    if (!placed && GetDocumentDialogServices().transformImage)
        GetDocumentDialogServices().transformImage(this, added);
    SetModifiedFlag(true);
    return added;
}

bool CCorvaleDoc::OpenPluginFile(const std::string& path) {
    if (!GpiOpenPluginFile(path))
        return false;
    GetRecentShapeFiles().Add(path);
    GetRecentShapeFiles().WriteList();
    return true;
}

bool CCorvaleDoc::OpenDataFile(const std::string& path, bool showErrors) {
    if (HasShpExtension(path))
        return LoadShapeFile(path, showErrors) != nullptr;
    if (IsImageFileName(path))
        return LoadRasterFile(path) != nullptr;
    if (OpenPluginFile(path))
        return true;
    if (showErrors)
        ShowError("Corvale does not understand this file format.\n\n" + path);
    return false;
}

namespace {

void ScanShapeFolder(CCorvaleDoc& document, const std::string& folder, bool showErrors, FolderIdentities& seen) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    if (!seen.insert({info.st_dev, info.st_ino}).second)
        return;

    const CFilesOnly shapeFiles("*.shp");
    const stdext::basic_file_enumeration files(folder.c_str(), &shapeFiles);
    for (const auto& entry : files)
        document.OpenDataFile(JoinPath(folder, entry.name), showErrors);

    const stdext::basic_file_enumeration entries(folder.c_str());
    for (const auto& entry : entries)
        if (entry.directory && entry.name != "." && entry.name != "..")
            ScanShapeFolder(document, JoinPath(folder, entry.name), showErrors, seen);
}

} // namespace

bool CCorvaleDoc::LoadShapeFolder(const std::string& folder, bool showErrors) {
    corvale::CWaitCursor wait;
    FolderIdentities seen;
    ScanShapeFolder(*this, folder, showErrors, seen);
    return true;
}

void CCorvaleDoc::OnAddTheme() {
    corvale::FileDialogRequest request;
    request.title = "Add Themes";
    request.filter = kAddThemeFilter;
    for (const GpiPluginFileType& type : GpiPluginFileTypes())
        request.filter += type.m_Description + "|" + type.m_Pattern + "|";
    request.filter += kAllFilesFilter;
    request.multiple = true;
    std::vector<std::string> paths;
    if (!UI().ChooseOpenFiles(request, paths))
        return;

    corvale::CWaitCursor wait;
    // The chooser does not say which filter was picked; each choice is read
    // the way its own filter would: shape files, images, a plug-in's file
    // types, and anything else as an image, as under all files.
    for (const std::string& path : paths) {
        if (!HasShpExtension(path) && !IsImageFileName(path) && OpenPluginFile(path))
            continue;
        CTheme* theme = HasShpExtension(path) ? LoadShapeFile(path, true) : LoadRasterFile(path);
        if (theme != nullptr)
            SetModifiedFlag(true);
    }
}

void CCorvaleDoc::OnLoadRecentFile(unsigned id) {
    const std::string path = GetRecentShapeFiles().Get(static_cast<int>(id - ID_RECENT_SHAPE_FILE_FIRST));
    if (path.empty())
        return;
    if (HasShpExtension(path))
        LoadShapeFile(path, true);
    else if (IsImageFileName(path))
        LoadRasterFile(path);
    else
        OpenPluginFile(path);
}

void CCorvaleDoc::AddOpenFileCommands() {
    OnCommand(ID_INSERT_ADD_THEME, &CCorvaleDoc::OnAddTheme);
    OnCommandRange(ID_RECENT_SHAPE_FILE_FIRST, ID_RECENT_SHAPE_FILE_LAST, &CCorvaleDoc::OnLoadRecentFile);
    OnCommandRange(ID_ADD_FROM_DATA_SOURCE_FIRST, ID_ADD_FROM_DATA_SOURCE_LAST,
                   &CCorvaleDoc::OnAddFromDataSource);
}
