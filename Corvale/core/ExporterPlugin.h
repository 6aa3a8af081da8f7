#pragma once
// The host side of exporter plug-ins (.xpr modules, sdk/Exporter.h): binding
// a module and driving one export through it, theme by theme and shape by
// shape, with the host callbacks an exporter reads attributes through.
//
// The callbacks are plain C functions without a context argument, so they
// act on one host-wide "theme being exported" that PreExport, ExportShape and
// SupportsType set and ClearExportTheme clears; outside an export they
// answer 0. Every call into a module is guarded: an exception that escapes
// an exporter is caught and the call fails with a text that says so.

#include "Exporter.h"
#include "core/PluginModule.h"

#include <cstdint>
#include <string>

class CTheme;
class CShapeRecord;

class CExporterPlugin : public CPluginModule {
public:
    CExporterPlugin() = default;
    ~CExporterPlugin();
    CExporterPlugin(const CExporterPlugin&) = delete;
    CExporterPlugin& operator=(const CExporterPlugin&) = delete;

    // Binds the module; m_Valid says whether it has the required entries,
    // m_ErrorText why not ("<path>:\n" and the reasons).
    void Load(const std::string& path);
    // Frees the module and the texts.
    void Unload();

    // Whether the exporter writes this theme: fnSupportsType with the theme's
    // shape type (PointZ asked as Point, PolylineZ as Polyline), its column
    // count and ExportHostGetFieldName, which meanwhile serves this theme.
    // False without the entry.
    bool SupportsType(CTheme* theme);

    // Once before the themes. From version 5 the record carries the extent
    // (min x, min y, max x, max y), the count and the document word, and the
    // exporter may set reverseOrder, copied back; below 5 it hears the count.
    bool BatchExportBegin(const double extent[4], bool& reverseOrder, std::uint32_t themeCount,
                          std::uint32_t documentWord);
    // Before the shapes of a theme; sets the theme being exported. From
    // version 3 the record also states the code page of the theme's names
    // and values (read by exporters of version 6 and up). True without the
    // entry; on failure m_ErrorText holds the exporter's text.
    bool PreExport(CTheme* theme, std::uint32_t themeIndex, std::uint32_t shapeCount);
    // One shape; sets the theme and the view of the export. On failure
    // m_ErrorText holds the exporter's text.
    bool ExportShape(CTheme* theme, void* view, std::uint32_t shapeType, const CShapeRecord* record,
                     std::uint32_t word);
    // After the shapes of a theme; true without the entry. On false
    // m_ErrorText holds the exporter's text.
    bool PostExport(std::uint32_t themeIndex, bool succeeded);
    // Once after the themes, when the exporter has the entry.
    void BatchExportEnd();
    // The exporter's own text of its last failure, at most 1024 bytes, or the
    // general one when it has none.
    std::string GetLastErrorText();
    // The settings dialog of the exporter, when it has one.
    void ShowSettings();

    // Ends what the host callbacks serve: no theme, no view.
    static void ClearExportTheme();
    static CTheme* ExportTheme();
    // Who draws the map images an exporter asks for: called with the view of
    // the export and the request, it answers the word handed back to the
    // exporter. Without a handler (or without a view) the answer is 0.
    using RenderMapImageHandler = std::uint32_t (*)(void* view, const ExporterMapImageRequest& request);
    static void SetRenderMapImageHandler(RenderMapImageHandler handler);

    ExporterGetNameFn fnGetName = nullptr;
    ExporterGetDescriptionFn fnGetDescription = nullptr;
    void* fnExportShape = nullptr; // signature by version
    ExporterSupportsTypeFn fnSupportsType = nullptr;
    ExporterGetLastErrMsgFn fnGetLastErrMsg = nullptr;
    void* fnPreExport = nullptr; // signature by version
    ExporterPostExportFn fnPostExport = nullptr;
    ExporterSettingsFn fnSettings = nullptr;
    void* fnBatchExportBegin = nullptr; // signature by version
    ExporterBatchExportEndFn fnBatchExportEnd = nullptr;

    // The module, name, path and error text are CPluginModule's.
    std::string m_Description;
    bool m_Valid = false;
    std::uint32_t m_Version = 1;
    std::string m_InfoText;
};

// The callbacks handed to exporters; they serve the theme being exported.
extern "C" {
const char* ExportHostGetFieldName(std::uint32_t field);
const char* ExportHostGetAttributeValue(std::uint32_t shapeIndex, std::uint32_t field);
std::uint32_t ExportHostGetFieldType(std::uint32_t field);
std::uint32_t ExportHostRenderMapImage(const ExporterMapImageRequest* request);
}
