#include "settings/AppSettings.h"

#include "platform/NumberText.h"
#include "platform/TextCase.h"
#include "settings/Registry.h"

#include <QSettings>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

const QString kSettingsSection = QStringLiteral("Settings");

// The ranges of the options dialog's pages. Only these three are held to
// them on load: a wider precision overflows nothing here but prints noise, a
// huge buffer size would be allocated for every new console, and a call depth
// below 1 would refuse every run.
constexpr int kMaxDataViewPrecision = 56;
constexpr int kMinConsoleMaxCallDepth = 1;
constexpr int kMaxConsoleMaxCallDepth = 500;
constexpr int kMinConsoleBufferSize_kB = 1;
constexpr int kMaxConsoleBufferSize_kB = 32;

QString UserScriptValueName(int n) { return QStringLiteral("UserScript%1").arg(n); }

} // namespace

CAppSettings* CAppSettings::GetInstance() {
    static CAppSettings instance;
    return &instance;
}

CAppSettings::CAppSettings() { SetDefaults(); }

CAppSettings::CAppSettings(const CAppSettings& other) = default;

CAppSettings& CAppSettings::operator=(const CAppSettings& other) = default;

CAppSettings::~CAppSettings() = default;

void CAppSettings::SetDefaults() {
    m_LoadToBottom = 1;
    m_Performance = 2;
    m_ThemesVisible = 1;
    m_LoadLatestWorkspace = 0;
    m_UnloadHiddenRasters = 0;
    m_MouseWheelZoom = 1;
    m_ColorSelection = 0x0000FF;
    m_ColorSelectionOutline = 0x000000;
    m_ColorBkgnd = 0xFFFFFF;
    m_ColorDefault = 0xFF0000;
    m_ColorOutline = 0x000000;
    m_LoaderOverride = 0;
    m_DataViewPrecision = 6;
    m_CCTemplate = DefaultCopyCoordinateTemplate();
    m_AutoLocate = 0;
    m_DynamicHelpLevel = 0;
    m_ConsoleColorScheme = 1;
    m_ConsoleAutoRun = DefaultConsoleAutoRun();
    m_ConsoleMaxCallDepth = 20;
    m_ConsoleBufferSize_kB = 8;
    m_LockPlugins = 0;
}

void CAppSettings::Load() {
    auto settings = corvale::OpenRegistry();
    Load(*settings);
}

void CAppSettings::Load(QSettings& settings) {
    using corvale::ReadRegistryInt;
    using corvale::ReadRegistryString;
    using corvale::ReadRegistryU32;

    // Absent values take the defaults of the table, not what the object held.
    const CAppSettings defaults;

    settings.beginGroup(kSettingsSection);
    m_LoadToBottom = ReadRegistryInt(settings, QStringLiteral("LoadToBottom"), defaults.m_LoadToBottom);
    m_Performance = ReadRegistryInt(settings, QStringLiteral("Performance"), defaults.m_Performance);
    m_ThemesVisible = ReadRegistryInt(settings, QStringLiteral("ThemesVisible"), defaults.m_ThemesVisible);
    m_LoadLatestWorkspace =
        ReadRegistryInt(settings, QStringLiteral("LoadLatestWorkspace"), defaults.m_LoadLatestWorkspace);
    m_UnloadHiddenRasters =
        ReadRegistryInt(settings, QStringLiteral("UnloadHiddenRasters"), defaults.m_UnloadHiddenRasters);
    m_MouseWheelZoom = ReadRegistryInt(settings, QStringLiteral("MouseWheelZoom"), defaults.m_MouseWheelZoom);
    m_ColorBkgnd = ReadRegistryU32(settings, QStringLiteral("ColorBkgnd"), defaults.m_ColorBkgnd);
    m_ColorDefault = ReadRegistryU32(settings, QStringLiteral("ColorDefault"), defaults.m_ColorDefault);
    m_ColorSelection = ReadRegistryU32(settings, QStringLiteral("ColorSelection"), defaults.m_ColorSelection);
    m_ColorSelectionOutline =
        ReadRegistryU32(settings, QStringLiteral("ColorSelectionOutline"), defaults.m_ColorSelectionOutline);
    m_ColorOutline = ReadRegistryU32(settings, QStringLiteral("ColorOutline"), defaults.m_ColorOutline);
    m_LoaderOverride = ReadRegistryInt(settings, QStringLiteral("LoaderOverride"), defaults.m_LoaderOverride);
    settings.endGroup();

    // The built-in themes stay when the store holds none or cannot be read.
    m_ColorThemes = GetBuiltInColorThemes();
    LoadColorThemes(settings, m_ColorThemes);

    settings.beginGroup(kSettingsSection);
    m_DataViewPrecision = std::clamp(
        ReadRegistryInt(settings, QStringLiteral("DataViewPrecision"), defaults.m_DataViewPrecision), 0,
        kMaxDataViewPrecision);
    m_CCTemplate = ReadRegistryString(settings, QStringLiteral("CCTemplate"), defaults.m_CCTemplate);
    m_AutoLocate = ReadRegistryInt(settings, QStringLiteral("AutoLocate"), defaults.m_AutoLocate);
    m_DynamicHelpLevel = ReadRegistryInt(settings, QStringLiteral("DynamicHelpLevel"), defaults.m_DynamicHelpLevel);
    m_ConsoleColorScheme =
        ReadRegistryInt(settings, QStringLiteral("ConsoleColorScheme"), defaults.m_ConsoleColorScheme);
    m_ConsoleAutoRun = ReadRegistryString(settings, QStringLiteral("ConsoleAutoRun"), defaults.m_ConsoleAutoRun);
    m_ConsoleMaxCallDepth = std::clamp(
        ReadRegistryInt(settings, QStringLiteral("ConsoleMaxCallDepth"), defaults.m_ConsoleMaxCallDepth),
        kMinConsoleMaxCallDepth, kMaxConsoleMaxCallDepth);
    m_ConsoleBufferSize_kB = std::clamp(
        ReadRegistryInt(settings, QStringLiteral("ConsoleBufferSize_kB"), defaults.m_ConsoleBufferSize_kB),
        kMinConsoleBufferSize_kB, kMaxConsoleBufferSize_kB);
    for (int n = 0; n < static_cast<int>(m_UserScripts.size()); ++n)
        m_UserScripts[n] = ReadRegistryString(settings, UserScriptValueName(n), std::string());
    m_LockPlugins = ReadRegistryInt(settings, QStringLiteral("LockPlugins"), defaults.m_LockPlugins);
    settings.endGroup();
}

bool CAppSettings::Save() const {
    auto settings = corvale::OpenRegistry();
    if (!Save(*settings))
        return false;
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool CAppSettings::Save(QSettings& settings) const {
    using corvale::WriteRegistryInt;
    using corvale::WriteRegistryString;
    using corvale::WriteRegistryU32;

    if (!settings.isWritable())
        return false;

    settings.beginGroup(kSettingsSection);
    WriteRegistryInt(settings, QStringLiteral("LoadToBottom"), m_LoadToBottom);
    WriteRegistryInt(settings, QStringLiteral("Performance"), m_Performance);
    WriteRegistryInt(settings, QStringLiteral("ThemesVisible"), m_ThemesVisible);
    WriteRegistryInt(settings, QStringLiteral("LoadLatestWorkspace"), m_LoadLatestWorkspace);
    WriteRegistryInt(settings, QStringLiteral("UnloadHiddenRasters"), m_UnloadHiddenRasters);
    WriteRegistryInt(settings, QStringLiteral("MouseWheelZoom"), m_MouseWheelZoom);
    WriteRegistryU32(settings, QStringLiteral("ColorBkgnd"), m_ColorBkgnd);
    WriteRegistryU32(settings, QStringLiteral("ColorDefault"), m_ColorDefault);
    WriteRegistryU32(settings, QStringLiteral("ColorSelection"), m_ColorSelection);
    WriteRegistryU32(settings, QStringLiteral("ColorSelectionOutline"), m_ColorSelectionOutline);
    WriteRegistryU32(settings, QStringLiteral("ColorOutline"), m_ColorOutline);
    WriteRegistryInt(settings, QStringLiteral("LoaderOverride"), m_LoaderOverride);
    settings.endGroup();

    const bool themesSaved = SaveColorThemes(settings, m_ColorThemes);

    settings.beginGroup(kSettingsSection);
    WriteRegistryInt(settings, QStringLiteral("DataViewPrecision"), m_DataViewPrecision);
    WriteRegistryString(settings, QStringLiteral("CCTemplate"), m_CCTemplate);
    WriteRegistryInt(settings, QStringLiteral("AutoLocate"), m_AutoLocate);
    // DynamicHelpLevel is read but never written.
    WriteRegistryInt(settings, QStringLiteral("ConsoleColorScheme"), m_ConsoleColorScheme);
    WriteRegistryString(settings, QStringLiteral("ConsoleAutoRun"), m_ConsoleAutoRun);
    WriteRegistryInt(settings, QStringLiteral("ConsoleMaxCallDepth"), m_ConsoleMaxCallDepth);
    WriteRegistryInt(settings, QStringLiteral("ConsoleBufferSize_kB"), m_ConsoleBufferSize_kB);
    for (int n = 0; n < static_cast<int>(m_UserScripts.size()); ++n)
        WriteRegistryString(settings, UserScriptValueName(n), m_UserScripts[n]);
    WriteRegistryInt(settings, QStringLiteral("LockPlugins"), m_LockPlugins);
    settings.endGroup();
    return themesSaved;
}

std::string CAppSettings::FormatCopyCoordinate(double x, double y) const {
    std::string text = m_CCTemplate;
    corvale::ReplaceAll(text, "<X>", FormatDecimal(m_DataViewPrecision, x));
    corvale::ReplaceAll(text, "<Y>", FormatDecimal(m_DataViewPrecision, y));
    corvale::ReplaceAll(text, "<TAB>", "\t");
    return text;
}

std::vector<CColorTheme> GetBuiltInColorThemes() {
    return {
        CColorTheme("Earth", {0x8CB4D2, 0x5BADFF, 0x2068FF, 0x008B8B, 0x98FB98, 0x71B33C, 0x009300, 0x8E8E38}),
        CColorTheme("Neon",
                    {0xFF00FF, 0x8000FF, 0xFF0080, 0x00FFFF, 0x00FF80, 0x0080FF, 0xFFFF00, 0xFF8000, 0x80FF00}),
        CColorTheme("Green", {0x004000, 0x008000, 0x00C400, 0x00FF00, 0x40FF40, 0x80FF80, 0xC4FFC4}),
        CColorTheme("Blue", {0x400000, 0x800000, 0xC40000, 0xFF0000, 0xFF4040, 0xFF8080, 0xFFC4C4}),
        CColorTheme("Red", {0x000040, 0x000080, 0x0000C4, 0x0000FF, 0x4040FF, 0x8080FF, 0xC4C4FF}),
    };
}

std::string FormatDecimal(int precision, double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    precision = std::clamp(precision, 0, kMaxDataViewPrecision);
    // printf's "%.*f" digits, exact from the binary value, without its locale:
    // -1.8e308 with 56 decimals needs 367 characters.
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (result.ec != std::errc())
        return corvale::FormatDouble(value);
    return std::string(buffer, result.ptr);
}

std::string DefaultCopyCoordinateTemplate() { return "X: <X>, Y: <Y>"; }

std::string DefaultConsoleAutoRun() { return std::string(); }
