#include "core/StatisticsPlugin.h"

CStatisticsPlugin::CStatisticsPlugin(const std::string& path) { Load(path); }

CStatisticsPlugin::~CStatisticsPlugin() { Unload(); }

void CStatisticsPlugin::Load(const std::string& path) {
    Unload();
    if (!OpenModule(path)) {
        m_Valid = 0;
        return;
    }
    m_Valid = 1;
    fnGetName = RequireEntry<StatisticsGetNameFn>(STC_ENTRY_GET_NAME, m_Valid);
    fnPushValue = RequireEntry(STC_ENTRY_PUSH_VALUE, m_Valid);
    fnCalculate = RequireEntry(STC_ENTRY_CALCULATE, m_Valid);
    fnPreCalculate = FindEntry(STC_ENTRY_PRE_CALCULATE);
    fnVersion = FindEntry<StatisticsVersionFn>(STC_ENTRY_VERSION);
    fnGetInfo = FindEntry<StatisticsGetInfoFn>(STC_ENTRY_GET_INFO);
    fnSettings = FindEntry<StatisticsSettingsFn>(STC_ENTRY_SETTINGS);
    fnToolbarBitmap = FindEntry(STC_ENTRY_TOOLBAR_BITMAP);
    fnGetDescription = FindEntry<StatisticsGetDescriptionFn>(STC_ENTRY_GET_DESCRIPTION);

    try {
        m_Version = fnVersion != nullptr ? fnVersion() : static_cast<std::uint32_t>(PIV_Statistics);
        CheckVersion(m_Version, PIV_Statistics, PIV_Statistics, m_Valid);
        ReadTexts(fnGetName, fnGetDescription, fnGetInfo, m_Description, m_InfoText);
    } catch (...) {
        m_ErrorText += "Unknown exception caught while binding the plug-in.\n";
        m_Valid = 0;
    }
}

void CStatisticsPlugin::Unload() {
    fnGetName = nullptr;
    fnPushValue = nullptr;
    fnCalculate = nullptr;
    fnPreCalculate = nullptr;
    fnVersion = nullptr;
    fnGetInfo = nullptr;
    fnSettings = nullptr;
    fnToolbarBitmap = nullptr;
    fnGetDescription = nullptr;
    CloseModule();
    m_Name.clear();
    m_Description.clear();
    m_InfoText.clear();
    m_Valid = 0;
}

bool CStatisticsPlugin::ShowSettings() {
    return CallSettings(fnSettings, "Unknown exception caught from plug-in fnSettings().");
}

std::vector<StatisticsPluginEntry> ListStatisticsPlugins(const std::string& folder) {
    std::vector<StatisticsPluginEntry> entries;
    for (const std::string& path : ListPluginFolder(folder, "*.stc")) {
        CStatisticsPlugin plugin(path);
        if (plugin.m_Valid != 0)
            entries.push_back({path, plugin.m_Name, plugin.m_Description});
    }
    return entries;
}
