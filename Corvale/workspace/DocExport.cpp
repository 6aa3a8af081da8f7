// The Export command: the themes selected in the legend as shape files with
// their index and dBase table, as GPX, XML or tab-separated text, through an
// exporter plug-in or a plug-in export tool, and one image theme as an image
// file.

#include "workspace/DocExport.h"

#include "core/ExporterPlugin.h"
#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "formats/ThemeExport.h"
#include "framework/CommandTarget.h"
#include "framework/Messages.h"
#include "framework/UserInterface.h"
#include "platform/FileNames.h"
#include "platform/TextCase.h"
#include "platform/Wildcard.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/RecentShapeFileList.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <streambuf>

using corvale::UI;

namespace {

const char* const kUnableToOpen = "Unable to open file for writing.";
const char* const kSaveError = "An error occured during save.\nOperation halted.";
const char* const kFilteredShapesQuestion =
    "There are filtered shapes in current theme.\nWould you like to export all shapes?\n\n"
    "Yes:\tExport all shapes.\nNo:\tExport only non-filtered shapes.";
const char* const kLongFieldsQuestion =
    "One or more fields contains very long strings and do not fit in a dBase file.\n\n"
    "Would you like to continue exporting, and truncate these fields to 255 characters?";
const char* const kNotAShapeFileName = "A shape file must be named with the extension .shp:\n";

// The rows of the chooser that come before the plug-ins.
enum BuiltInRow { kRowShape = 0, kRowGpx = 1, kRowXml = 2, kRowTable = 3, kBuiltInRows = 4 };

// A dBase field is at most this wide; a 32-bit whole number takes at most 11
// characters ("-2147483648"), and an 'N' field without decimals reads back as
// a whole number only up to that width.
constexpr std::int32_t kMaxDbaseWidth = 255;
constexpr std::int32_t kMaxIntWidth = 11;
// The plug-ins' debug flag of CCorvaleDoc::m_debugFlags.
constexpr unsigned char kPluginDebugFlag = 4;

CDocumentExportServices& Services() {
    static CDocumentExportServices services;
    return services;
}

void ShowError(const std::string& text) {
    UI().ShowMessage(text, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

std::string ExportTitle(const CTheme& theme) { return "Export Theme '" + theme.m_Name + "'"; }

bool IsImageTheme(const CTheme* theme) { return theme->m_ShapeType == SHT_Image; }

// The records of the theme's own kind: the visible ones in list order, or
// all of them. A record of another kind in these lists is refused by the
// shape writer, so nothing of another family reaches a file.
const std::vector<CShapeRecord*>* ExportRecords(const CTheme& theme, bool all) {
    if (theme.IsPointTheme())
        return all ? &theme.m_Points : &theme.m_VisiblePoints;
    if (theme.IsArcTheme())
        return all ? &theme.m_Arcs : &theme.m_VisibleArcs;
    if (theme.IsPolygonTheme())
        return all ? &theme.m_Polygons : &theme.m_VisiblePolygons;
    return nullptr;
}

// The value text of a written record: by position among the visible
// records, by shape index among all of them.
std::string ExportValue(const CTheme& theme, const std::vector<CShapeRecord*>& records, std::size_t i,
                        bool all, int field) {
    if (all)
        return theme.GetAttributeText(GetShapeRecordIndex(records[i]), field);
    return theme.GetAttributeTextAt(static_cast<int>(i), field);
}

bool IsNumberType(std::int32_t type) { return type == FT_Int || type == FT_Double; }

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The dBase descriptors of the theme's columns. Every field gets a width a
// dBase reader takes (at least 1, at most 255); whole-number columns are no
// wider than their widest value needs, up to 11, so that they read back as
// whole numbers rather than as doubles.
std::vector<CAttributeFieldInfo> ExportFields(CTheme& theme, const std::vector<CShapeRecord*>& records, bool all) {
    std::vector<CAttributeFieldInfo> fields;
    const int count = static_cast<int>(theme.GetAttributeCount());
    for (int field = 0; field < count; ++field) {
        CAttributeFieldInfo info = theme.GetAttributeInfo(field);
        if (info.m_Type < FT_String || info.m_Type > FT_Boolean)
            info.m_Type = FT_String;
        info.m_Length = std::clamp(info.m_Length, 1, kMaxDbaseWidth);
        info.m_Decimals = std::clamp(info.m_Decimals, 0, 15);
        if (info.m_Type == FT_Int && info.m_Length > kMaxIntWidth) {
            std::size_t widest = 1;
            for (std::size_t i = 0; i < records.size(); ++i)
                widest = std::max(widest, TrimBlanks(ExportValue(theme, records, i, all, field)).size());
            info.m_Length = std::clamp(static_cast<std::int32_t>(widest), kMaxIntWidth, kMaxDbaseWidth);
        }
        info.m_PrimaryKey = false;
        fields.push_back(info);
    }
    return fields;
}

// The dBase table of the written records, row for row, closed by 0x1A.
bool WriteAttributeTable(CTheme& theme, CFileWriter& writer, const std::vector<CShapeRecord*>& records,
                         bool all) {
    const std::vector<CAttributeFieldInfo> fields = ExportFields(theme, records, all);
    // The values are copied byte for byte, so the copy is in the code page of
    // the table they come from.
    if (!CdBaseFile::WriteHeader(fields, &writer, static_cast<std::uint32_t>(records.size()),
                                 theme.GetAttributeCodePage()))
        return false;
    std::vector<CAttributeFieldValue> values(fields.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        for (std::size_t field = 0; field < fields.size(); ++field) {
            CAttributeFieldValue& value = values[field];
            value.m_Text = ExportValue(theme, records, i, all, static_cast<int>(field));
            if (IsNumberType(fields[field].m_Type)) {
                value.m_Text = TrimBlanks(value.m_Text);
                // A value that could not be read (a row the table lacks gives
                // "#ERROR#") is no number: it is written as a missing one
                // rather than refusing the whole table. A real number is
                // never cut.
                if (value.m_Text.size() > static_cast<std::size_t>(fields[field].m_Length) &&
                    !IsValidFieldValue(value.m_Text.c_str(), fields[field].m_Type))
                    value.m_Text.clear();
            }
            value.m_Length = fields[field].m_Length;
            value.m_Type = fields[field].m_Type;
        }
        if (!CdBaseFile::WriteRecord(fields, &writer, values))
            return false;
    }
    const unsigned char end = 0x1A;
    return writer.Write(&end, 1) == 1;
}

// An output stream into a CFileWriter, so that the text exports write
// beside their target and replace it only when they wrote something whole.
class CFileWriterBuffer : public std::streambuf {
public:
    explicit CFileWriterBuffer(CFileWriter& writer) : m_Writer(writer) {}
    std::size_t Written() const { return m_Written; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const std::size_t written = m_Writer.Write(s, static_cast<std::size_t>(n));
        m_Written += written;
        return static_cast<std::streamsize>(written);
    }

private:
    CFileWriter& m_Writer;
    std::size_t m_Written = 0;
};

// The exporter plug-ins of the folder that write every selected theme,
// bound; the others are released at once.
std::vector<std::unique_ptr<CExporterPlugin>> CollectExporters(const std::string& folder,
                                                               const std::vector<CTheme*>& themes) {
    std::vector<std::string> paths;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (corvale::MatchWildcard(name, "*.xpr"))
                paths.push_back(folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name);
        }
        ::closedir(dir);
    }
    // The folder's order is the file system's; the chooser lists them by name.
    std::sort(paths.begin(), paths.end());
    std::vector<std::unique_ptr<CExporterPlugin>> exporters;
    for (const std::string& path : paths) {
        auto exporter = std::make_unique<CExporterPlugin>();
        exporter->Load(path);
        bool offered = exporter->m_Valid && exporter->fnSupportsType != nullptr;
        for (std::size_t i = 0; offered && i < themes.size(); ++i)
            offered = exporter->SupportsType(themes[i]);
        CExporterPlugin::ClearExportTheme();
        if (offered)
            exporters.push_back(std::move(exporter));
    }
    return exporters;
}

// One export through an exporter plug-in, theme by theme and shape by shape.
void RunExporter(CCorvaleDoc& doc, CExporterPlugin& exporter) {
    const std::vector<CTheme*> themes = doc.m_selectedThemes;
    bool all = true;
    if (themes.size() == 1) {
        const int answer = doc.AskExportFilteredShapes(themes.front());
        if (answer == corvale::IDCANCEL)
            return;
        all = answer == corvale::IDYES;
    }
    auto report = [&doc](const std::string& text) {
        ShowError(text);
        if (doc.m_debugFlags & kPluginDebugFlag)
            doc.PrintConsoleLine(text);
    };

    double extent[4] = {0.0, 0.0, 0.0, 0.0};
    bool haveExtent = false;
    for (const CTheme* theme : themes) {
        if (!haveExtent) {
            std::copy(theme->m_Bounds, theme->m_Bounds + 4, extent);
            haveExtent = true;
            continue;
        }
        extent[0] = std::min(extent[0], theme->m_Bounds[0]);
        extent[1] = std::min(extent[1], theme->m_Bounds[1]);
        extent[2] = std::max(extent[2], theme->m_Bounds[2]);
        extent[3] = std::max(extent[3], theme->m_Bounds[3]);
    }
    bool reverse = false;
    exporter.BatchExportBegin(extent, reverse, static_cast<std::uint32_t>(themes.size()), doc.m_backgroundColor);

    for (std::size_t n = 0; n < themes.size(); ++n) {
        CTheme* theme = themes[reverse ? themes.size() - 1 - n : n];
        const auto themeIndex = static_cast<std::uint32_t>(n);
        const std::vector<CShapeRecord*>* records = ExportRecords(*theme, all);
        const std::size_t count = records != nullptr ? records->size() : 0;
        UI().SetStatusText("Exporting " + theme->m_Name + ":");
        UI().BeginProgress();
        bool ok = exporter.PreExport(theme, themeIndex, static_cast<std::uint32_t>(count));
        if (!ok) {
            UI().EndProgress();
            report(exporter.m_ErrorText);
            continue;
        }
        int shown = -1;
        for (std::size_t i = 0; i < count; ++i) {
            const CShapeRecord* record = (*records)[i];
            if (!exporter.ExportShape(theme, doc.m_mapView, CShapeRecord::GetShapeType(record), record,
                                      theme->GetAttributeCount())) {
                ok = false;
                report(exporter.m_ErrorText);
                break;
            }
            const int percent = static_cast<int>((i + 1) * 100 / count);
            if (percent != shown) {
                UI().SetProgress(percent);
                shown = percent;
            }
        }
        UI().EndProgress();
        if (exporter.fnPostExport != nullptr && !exporter.PostExport(themeIndex, ok)) {
            report(exporter.m_ErrorText);
            return;
        }
    }
    exporter.BatchExportEnd();
}

// Saves the raster of an image theme as an image file.
void ExportRasterImage(CTheme& theme) {
    const CDocumentExportServices& services = Services();
    if (!theme.m_Raster.HasDisplayBitmap() || !services.saveImage)
        return;
    corvale::FileDialogRequest request;
    request.title = "Save Raster Image";
    request.filter = services.imageFileFilter ? services.imageFileFilter() : std::string();
    // The first filter's extension is the one a bare name gets.
    const auto star = request.filter.find("*.");
    if (star != std::string::npos)
        request.defaultExtension = request.filter.substr(star + 1, request.filter.find_first_of(";|)", star) - star - 1);
    std::string path;
    if (!UI().ChooseSaveFile(request, path))
        return;
    corvale::CWaitCursor wait;
    if (!services.saveImage(theme.m_Raster.m_DisplayBitmap, path))
        ShowError(kSaveError);
}

} // namespace

void SetDocumentExportServices(const CDocumentExportServices& services) { Services() = services; }

const CDocumentExportServices& GetDocumentExportServices() { return Services(); }

std::string ProposedExportFileName(const std::string& themeName) {
    const auto backslash = themeName.find_last_of('\\');
    std::string name = backslash == std::string::npos ? themeName : themeName.substr(backslash + 1);
    for (char& c : name) {
        if (std::string_view("\\/:*?<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return name;
}

bool ShapeFileTrioPaths(const std::string& chosen, std::string& shp, std::string& shx, std::string& dbf) {
    const std::string stem = corvale::PathStem(chosen);
    if (stem.empty() || stem.back() == '/')
        return false;
    std::string extension = chosen.substr(stem.size());
    if (extension.empty()) {
        extension = ".shp";
    } else if (!corvale::EqualsNoCase(extension, ".shp")) {
        return false;
    }
    // The siblings follow the letter case the name was given in.
    const bool upper = extension == ".SHP";
    shp = stem + extension;
    shx = stem + (upper ? ".SHX" : ".shx");
    dbf = stem + (upper ? ".DBF" : ".dbf");
    return true;
}

int CCorvaleDoc::AskExportFilteredShapes(CTheme* theme) {
    if (theme == nullptr || theme->GetFilteredShapeCount() < 1)
        return corvale::IDYES;
    return UI().ShowMessage(kFilteredShapesQuestion, corvale::MessageIcon::Question,
                            corvale::MessageButtons::YesNoCancel);
}

void CCorvaleDoc::ExportAsShapeFiles() {
    const std::vector<CTheme*> themes = m_selectedThemes;
    const CDocumentExportServices& services = Services();
    for (CTheme* theme : themes) {
        corvale::FileDialogRequest request;
        request.title = ExportTitle(*theme);
        request.filter = "Shape Format (*.shp)|*.shp||";
        request.defaultExtension = ".shp";
        request.initialName = ProposedExportFileName(theme->m_Name);
        std::string chosen;
        if (!UI().ChooseSaveFile(request, chosen))
            continue;
        std::string shpPath, shxPath, dbfPath;
        if (!ShapeFileTrioPaths(chosen, shpPath, shxPath, dbfPath)) {
            ShowError(kNotAShapeFileName + chosen);
            return;
        }

        bool all = true;
        if (themes.size() == 1) {
            const int answer = AskExportFilteredShapes(theme);
            if (answer == corvale::IDCANCEL)
                return;
            all = answer == corvale::IDYES;
        }
        bool createIndex = true;
        bool createAttributes = true;
        if (!services.confirmShapeExport || !services.confirmShapeExport(createIndex, createAttributes))
            return;

        // Each writer starts a temporary file beside its target; the targets
        // are replaced only once all of them have been written whole.
        CFileWriter shp;
        CFileWriter shx;
        CFileWriter dbf;
        if (!shp.Open(shpPath.c_str()) || (createIndex && !shx.Open(shxPath.c_str())) ||
            (createAttributes && !dbf.Open(dbfPath.c_str()))) {
            if (shp.GetOpenError() == CFileWriter::FOE_ReadOnly)
                ShowError(ReadOnlyFileMessage(shpPath));
            else if (shx.GetOpenError() == CFileWriter::FOE_ReadOnly)
                ShowError(ReadOnlyFileMessage(shxPath));
            else if (dbf.GetOpenError() == CFileWriter::FOE_ReadOnly)
                ShowError(ReadOnlyFileMessage(dbfPath));
            else
                ShowError(kUnableToOpen);
            return;
        }

        corvale::CWaitCursor wait;
        static const std::vector<CShapeRecord*> kNone;
        const std::vector<CShapeRecord*>* found = ExportRecords(*theme, all);
        const std::vector<CShapeRecord*>& records = found != nullptr ? *found : kNone;
        bool written = found != nullptr &&
                       WriteShapeFile(shp, createIndex ? &shx : nullptr, theme->m_ShapeType, records.size(),
                                      const_cast<const CShapeRecord* const*>(records.data()));
        if (written && createAttributes)
            written = WriteAttributeTable(*theme, dbf, records, all);
        if (written)
            written = shp.Flush() && (!createIndex || shx.Flush()) && (!createAttributes || dbf.Flush());
        if (written) {
            // The .shp goes last: until it is in place, the old one still
            // stands with whatever siblings were there.
            written = (!createAttributes || dbf.Close()) && (!createIndex || shx.Close()) && shp.Close();
        }
        if (!written) {
            ShowError(kSaveError);
            continue;
        }
        GetRecentShapeFiles().Add(shpPath);
        GetRecentShapeFiles().WriteList();
    }
}

namespace {

// GPX, XML and table export: one file per selected theme.
void ExportAsText(CCorvaleDoc& doc, const char* extension, const char* filter,
                  const std::function<std::unique_ptr<CThemeExport>()>& makeExporter) {
    const std::vector<CTheme*> themes = doc.m_selectedThemes;
    for (CTheme* theme : themes) {
        corvale::FileDialogRequest request;
        request.title = ExportTitle(*theme);
        request.filter = filter;
        request.defaultExtension = extension;
        std::string path;
        if (!UI().ChooseSaveFile(request, path))
            continue;
        const int answer = doc.AskExportFilteredShapes(theme);
        if (answer == corvale::IDCANCEL)
            return;
        CFileWriter writer;
        if (!writer.Open(path.c_str())) {
            ShowError(OpenFailureMessage(writer, path, kUnableToOpen));
            return;
        }
        corvale::CWaitCursor wait;
        CFileWriterBuffer buffer(writer);
        std::ostream out(&buffer);
        makeExporter()->Export(out, theme, answer == corvale::IDYES);
        out.flush();
        // A writer that refused, or an attribute chooser that was cancelled,
        // wrote nothing: the file that was there stays.
        if (buffer.Written() == 0) {
            writer.Discard();
            continue;
        }
        if (!out || !writer.Close())
            ShowError(kSaveError);
    }
}

} // namespace

void CCorvaleDoc::ExportAsGpx() {
    const int refSystem = m_refSystem;
    ExportAsText(*this, "gpx", "GPX Format (*.gpx)|*.gpx||",
                 [refSystem] { return std::make_unique<CThemeGPXExport>(refSystem); });
}

void CCorvaleDoc::ExportAsXml() {
    ExportAsText(*this, "xml", "XML Format (*.xml)|*.xml||", [] { return std::make_unique<CThemeXMLExport>(); });
}

void CCorvaleDoc::ExportAsTable() {
    ExportAsText(*this, "txt", "Text Format (*.txt)|*.txt||", [] { return std::make_unique<CThemeTableExport>(); });
}

void CCorvaleDoc::OnExportTheme() {
    if (m_selectedThemes.empty())
        return;
    CTheme* first = m_selectedThemes.front();
    if (IsImageTheme(first)) {
        ExportRasterImage(*first);
        return;
    }
    const CDocumentExportServices& services = Services();
    if (!services.pluginFolder || !services.chooseFormat)
        return;

    std::vector<std::string> names = {"Shape", "GPX", "XML", "Table Data"};
    std::vector<std::string> descriptions = {"Shape format", "GPS eXchange Format", "Corvale native XML format",
                                             "Tab separated text file"};
    std::vector<std::unique_ptr<CExporterPlugin>> exporters =
        CollectExporters(services.pluginFolder(), m_selectedThemes);
    for (const auto& exporter : exporters) {
        names.push_back(exporter->m_Name);
        descriptions.push_back(exporter->m_Description);
    }
    const std::vector<CExportTool> tools = services.exportTools ? services.exportTools() : std::vector<CExportTool>();
    for (const CExportTool& tool : tools) {
        names.push_back(tool.m_Name);
        descriptions.push_back(tool.m_Description);
    }

    const int row = services.chooseFormat(names, descriptions);
    const int pluginRows = static_cast<int>(exporters.size());
    if (row == kRowShape) {
        // A column too wide for dBase is cut to 255 characters: asked once.
        bool asked = false;
        for (CTheme* theme : m_selectedThemes) {
            for (int field = 0, count = static_cast<int>(theme->GetAttributeCount()); !asked && field < count;
                 ++field) {
                if (theme->GetAttributeInfo(field).m_Length <= kMaxDbaseWidth)
                    continue;
                asked = true;
                if (UI().ShowMessage(kLongFieldsQuestion, corvale::MessageIcon::Warning,
                                     corvale::MessageButtons::YesNo) != corvale::IDYES) {
                    CExporterPlugin::ClearExportTheme();
                    return;
                }
            }
        }
        ExportAsShapeFiles();
    } else if (row == kRowGpx) {
        ExportAsGpx();
    } else if (row == kRowXml) {
        ExportAsXml();
    } else if (row == kRowTable) {
        ExportAsTable();
    } else if (row >= kBuiltInRows && row < kBuiltInRows + pluginRows) {
        RunExporter(*this, *exporters[static_cast<std::size_t>(row - kBuiltInRows)]);
    } else if (row >= kBuiltInRows + pluginRows &&
               row < kBuiltInRows + pluginRows + static_cast<int>(tools.size())) {
        if (services.runPluginTool)
            services.runPluginTool(tools[static_cast<std::size_t>(row - kBuiltInRows - pluginRows)].m_CommandId);
    }
    // The plug-ins are freed with the list; the callbacks serve no theme.
    CExporterPlugin::ClearExportTheme();
}

void CCorvaleDoc::OnUpdateExportTheme(CCmdUI& ui) {
    int images = 0;
    for (const CTheme* theme : m_selectedThemes)
        images += IsImageTheme(theme) ? 1 : 0;
    const CDocumentExportServices& services = Services();
    bool enable = false;
    if (!m_themes.empty() && !m_selectedThemes.empty()) {
        if (images == 0)
            enable = static_cast<bool>(services.chooseFormat) && static_cast<bool>(services.pluginFolder);
        else if (images == 1 && m_selectedThemes.size() == 1)
            enable = m_selectedThemes.front()->m_Raster.HasDisplayBitmap() && static_cast<bool>(services.saveImage);
    }
    ui.Enable(enable);
}

void CCorvaleDoc::AddExportCommands() {
    OnCommand(ID_THEME_EXPORT, &CCorvaleDoc::OnExportTheme, &CCorvaleDoc::OnUpdateExportTheme);
}
