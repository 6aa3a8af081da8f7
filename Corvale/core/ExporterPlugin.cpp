#include "core/ExporterPlugin.h"

#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "platform/TextEncoding.h"
#include "shapes/ShapeRecord.h"

#include <cstring>

namespace {

// Texts an exporter hands over are read no further than this, terminated or not.
constexpr std::size_t kMaxErrorBytes = 1024;
const char* const kNoErrorInformation = "An error occurred during export. Error information unavailable";

// What the host callbacks serve. Exports run on the GUI thread, one at a
// time; the texts live until the next call of the same callback.
CTheme* g_ExportTheme = nullptr;
void* g_ExportView = nullptr;
CExporterPlugin::RenderMapImageHandler g_RenderHandler = nullptr;
std::string g_FieldName;
std::string g_AttributeValue;

bool FieldInRange(std::uint32_t field) {
    return g_ExportTheme != nullptr && field < g_ExportTheme->GetAttributeCount();
}

// The plain shape type an exporter is asked about.
std::uint32_t SupportedTypeQuery(std::uint32_t type) {
    if (type == SHT_PointZ)
        return SHT_Point;
    if (type == SHT_PolylineZ)
        return SHT_Polyline;
    return type;
}

// The code page of a theme's names and values as exporters are told it: that
// of a dBase table whose code-page byte names Windows Latin 1; "not stated"
// for every other theme, whose text is then read as the program's own UTF-8
// exports read it (platform/TextEncoding.h).
std::uint32_t TextCodePage(const CTheme& theme) {
    return corvale::IsWindowsLatin1CodePage(theme.GetAttributeCodePage()) ? XPR_CP_WindowsLatin1
                                                                          : XPR_CP_NotStated;
}

} // namespace

extern "C" {

const char* ExportHostGetFieldName(std::uint32_t field) {
    if (!FieldInRange(field))
        return nullptr;
    g_FieldName = g_ExportTheme->GetAttributeName(static_cast<int>(field));
    return g_FieldName.c_str();
}

const char* ExportHostGetAttributeValue(std::uint32_t shapeIndex, std::uint32_t field) {
    if (!FieldInRange(field) || shapeIndex > static_cast<std::uint32_t>(INT32_MAX))
        return nullptr;
    g_AttributeValue = g_ExportTheme->GetAttributeText(static_cast<int>(shapeIndex), static_cast<int>(field));
    return g_AttributeValue.c_str();
}

std::uint32_t ExportHostGetFieldType(std::uint32_t field) {
    if (!FieldInRange(field))
        return 0;
    const int index = static_cast<int>(field);
    std::uint32_t type = static_cast<std::uint32_t>(g_ExportTheme->GetAttributeType(index));
    if (g_ExportTheme->IsKeyAttribute(index))
        type |= XPR_FT_PrimaryKey;
    return type;
}

std::uint32_t ExportHostRenderMapImage(const ExporterMapImageRequest* request) {
    if (request == nullptr || g_ExportTheme == nullptr || g_ExportView == nullptr || g_RenderHandler == nullptr)
        return 0;
    return g_RenderHandler(g_ExportView, *request);
}

} // extern "C"

CExporterPlugin::~CExporterPlugin() { Unload(); }

void CExporterPlugin::ClearExportTheme() {
    g_ExportTheme = nullptr;
    g_ExportView = nullptr;
}

CTheme* CExporterPlugin::ExportTheme() { return g_ExportTheme; }

void CExporterPlugin::SetRenderMapImageHandler(RenderMapImageHandler handler) { g_RenderHandler = handler; }

void CExporterPlugin::Load(const std::string& path) {
    Unload();
    if (!OpenModule(path)) {
        m_Valid = false;
        return;
    }
    m_Valid = true;
    fnGetName = RequireEntry<ExporterGetNameFn>(XPR_ENTRY_GET_NAME, m_Valid);
    fnGetDescription = FindEntry<ExporterGetDescriptionFn>(XPR_ENTRY_GET_DESCRIPTION);
    auto version = FindEntry<ExporterVersionFn>(XPR_ENTRY_VERSION);
    fnExportShape = RequireEntry(XPR_ENTRY_EXPORT_SHAPE, m_Valid);
    fnSupportsType = RequireEntry<ExporterSupportsTypeFn>(XPR_ENTRY_SUPPORTS_TYPE, m_Valid);
    fnGetLastErrMsg = FindEntry<ExporterGetLastErrMsgFn>(XPR_ENTRY_GET_LAST_ERR_MSG);
    fnPreExport = FindEntry(XPR_ENTRY_PRE_EXPORT);
    fnPostExport = FindEntry<ExporterPostExportFn>(XPR_ENTRY_POST_EXPORT);
    auto info = FindEntry<ExporterGetInfoFn>(XPR_ENTRY_GET_INFO);
    fnSettings = FindEntry<ExporterSettingsFn>(XPR_ENTRY_SETTINGS);
    fnBatchExportBegin = FindEntry(XPR_ENTRY_BATCH_EXPORT_BEGIN);
    fnBatchExportEnd = FindEntry<ExporterBatchExportEndFn>(XPR_ENTRY_BATCH_EXPORT_END);

    m_Version = 1;
    try {
        if (version != nullptr)
            m_Version = version();
        ReadTexts(fnGetName, fnGetDescription, info, m_Description, m_InfoText);
    } catch (...) {
        m_ErrorText += "Unknown exception caught while binding the exporter.\n";
        m_Valid = false;
    }
}

void CExporterPlugin::Unload() {
    fnGetName = nullptr;
    fnGetDescription = nullptr;
    fnExportShape = nullptr;
    fnSupportsType = nullptr;
    fnGetLastErrMsg = nullptr;
    fnPreExport = nullptr;
    fnPostExport = nullptr;
    fnSettings = nullptr;
    fnBatchExportBegin = nullptr;
    fnBatchExportEnd = nullptr;
    CloseModule();
    m_Name.clear();
    m_Description.clear();
    m_InfoText.clear();
    m_Valid = false;
}

std::string CExporterPlugin::GetLastErrorText() {
    if (fnGetLastErrMsg == nullptr)
        return kNoErrorInformation;
    try {
        return TruncatedUtf8(LoaderText(fnGetLastErrMsg(), kMaxErrorBytes), kMaxErrorBytes);
    } catch (...) {
        return kNoErrorInformation;
    }
}

bool CExporterPlugin::SupportsType(CTheme* theme) {
    if (fnSupportsType == nullptr || theme == nullptr)
        return false;
    g_ExportTheme = theme;
    try {
        return fnSupportsType(SupportedTypeQuery(theme->m_ShapeType), theme->GetAttributeCount(),
                              ExportHostGetFieldName) != 0;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnSupportsType().";
        return false;
    }
}

bool CExporterPlugin::BatchExportBegin(const double extent[4], bool& reverseOrder, std::uint32_t themeCount,
                                       std::uint32_t documentWord) {
    reverseOrder = false;
    if (fnBatchExportBegin == nullptr)
        return true;
    try {
        if (m_Version >= PIV_ExporterBatchArgs) {
            BatchExportArgs args;
            std::memset(&args, 0, sizeof args);
            args.themeCount = themeCount;
            for (int i = 0; i < 4; ++i)
                args.extent[i] = extent[i];
            args.backgroundColor = documentWord;
            reinterpret_cast<ExporterBatchExportBeginFn>(fnBatchExportBegin)(&args);
            reverseOrder = args.reverseOrder != 0;
        } else {
            reinterpret_cast<ExporterBatchExportBeginV1Fn>(fnBatchExportBegin)(themeCount);
        }
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnBatchExportBegin().";
    }
    return true;
}

bool CExporterPlugin::PreExport(CTheme* theme, std::uint32_t themeIndex, std::uint32_t shapeCount) {
    g_ExportTheme = theme;
    if (fnPreExport == nullptr)
        return true;
    if (theme == nullptr) {
        m_ErrorText = "No theme to export.";
        return false;
    }
    const std::uint32_t fieldCount = theme->GetAttributeCount();
    bool ok = false;
    try {
        if (m_Version >= PIV_ExporterArgsRecord) {
            PreExportArgs args;
            std::memset(&args, 0, sizeof args);
            args.shapeType = theme->m_ShapeType;
            args.themeName = theme->m_Name.c_str();
            args.themeIndex = themeIndex;
            args.shapeCount = shapeCount;
            args.fieldCount = fieldCount;
            args.getFieldName = ExportHostGetFieldName;
            args.getFieldType = ExportHostGetFieldType;
            args.textCodePage = TextCodePage(*theme);
            ok = reinterpret_cast<ExporterPreExportFn>(fnPreExport)(&args) != 0;
        } else if (m_Version == PIV_ExporterFiveWords) {
            ok = reinterpret_cast<ExporterPreExportV2Fn>(fnPreExport)(theme->m_ShapeType, theme->m_Name.c_str(),
                                                                       themeIndex, shapeCount, fieldCount,
                                                                       ExportHostGetFieldName) != 0;
        } else {
            ok = reinterpret_cast<ExporterPreExportV1Fn>(fnPreExport)(themeIndex, shapeCount, fieldCount,
                                                                       ExportHostGetFieldName) != 0;
        }
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnPreExport().";
        return false;
    }
    if (!ok)
        m_ErrorText = GetLastErrorText();
    return ok;
}

bool CExporterPlugin::ExportShape(CTheme* theme, void* view, std::uint32_t shapeType, const CShapeRecord* record,
                                  std::uint32_t word) {
    g_ExportTheme = theme;
    g_ExportView = view;
    if (fnExportShape == nullptr) {
        m_ErrorText = "Invalid shape exporter. Could not find fnExportShape.";
        return false;
    }
    bool ok = false;
    try {
        if (m_Version >= PIV_ExporterArgsRecord) {
            ExportShapeArgs args;
            std::memset(&args, 0, sizeof args);
            args.shapeType = shapeType;
            args.record = record;
            args.word = word;
            args.getFieldName = ExportHostGetFieldName;
            args.getAttributeValue = ExportHostGetAttributeValue;
            args.getFieldType = ExportHostGetFieldType;
            args.renderMapImage = ExportHostRenderMapImage;
            std::string infoTip;
            if (theme != nullptr) {
                args.color = theme->IsPolygonTheme() ? theme->m_OutlineColor : theme->m_Color;
                args.lineWidth = static_cast<std::uint32_t>(theme->m_LineWidth);
                args.penStyle = static_cast<std::uint32_t>(theme->m_PenStyle);
                args.fillPattern = static_cast<std::uint32_t>(theme->m_FillPattern);
                args.themeColor = theme->m_Color;
                if (record != nullptr) {
                    const int shapeIndex = GetShapeRecordIndex(record);
                    args.selected = theme->GetSelectionIndex(shapeIndex) >= 0 ? 1 : 0;
                    const int position = theme->GetShapePosition(shapeIndex);
                    if (position >= 0)
                        infoTip = theme->GetInfoTipText(position);
                }
            }
            args.infoTip = infoTip.c_str();
            ok = reinterpret_cast<ExporterExportShapeFn>(fnExportShape)(&args) != 0;
        } else {
            const void* bySlot[3] = {nullptr, nullptr, nullptr};
            if (CShapeRecord::IsPointType(shapeType))
                bySlot[0] = record;
            else if (CShapeRecord::IsPolylineType(shapeType))
                bySlot[1] = record;
            else if (CShapeRecord::IsPolygonType(shapeType))
                bySlot[2] = record;
            ok = reinterpret_cast<ExporterExportShapeV1Fn>(fnExportShape)(shapeType, bySlot[0], bySlot[1], bySlot[2],
                                                                           word, ExportHostGetFieldName,
                                                                           ExportHostGetAttributeValue) != 0;
        }
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnExportShape().";
        return false;
    }
    if (!ok)
        m_ErrorText = GetLastErrorText();
    return ok;
}

bool CExporterPlugin::PostExport(std::uint32_t themeIndex, bool succeeded) {
    if (fnPostExport == nullptr)
        return true;
    try {
        if (fnPostExport(themeIndex, succeeded ? 1 : 0) != 0)
            return true;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnPostExport().";
        return false;
    }
    m_ErrorText = GetLastErrorText();
    return false;
}

void CExporterPlugin::BatchExportEnd() {
    if (fnBatchExportEnd == nullptr)
        return;
    try {
        fnBatchExportEnd();
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnBatchExportEnd().";
    }
}

void CExporterPlugin::ShowSettings() { CallSettings(fnSettings, "Unknown exception caught from fnSettings()."); }
