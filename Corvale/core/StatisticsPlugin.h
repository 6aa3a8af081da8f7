#pragma once
// The host side of statistics plug-ins (.stc modules, sdk/Statistics.h),
// bound like drawing plug-ins (core/DrawingPlugin.h) only to be listed: on
// their options page and, the valid ones, in the Table menu.

#include "Statistics.h"
#include "core/PluginModule.h"

#include <cstdint>
#include <string>
#include <vector>

class CStatisticsPlugin : public CPluginModule {
public:
    CStatisticsPlugin() = default;
    // Binds the module at once.
    explicit CStatisticsPlugin(const std::string& path);
    ~CStatisticsPlugin();
    CStatisticsPlugin(const CStatisticsPlugin&) = delete;
    CStatisticsPlugin& operator=(const CStatisticsPlugin&) = delete;

    // Binds the module; m_Valid says whether it has the required entries and
    // version PIV_Statistics (1 without fnVersion), m_ErrorText why not.
    void Load(const std::string& path);
    void Unload();
    // The settings dialog of the plug-in, when it has one; false without.
    bool ShowSettings();

    StatisticsGetNameFn fnGetName = nullptr;
    void* fnPushValue = nullptr;
    void* fnCalculate = nullptr;
    void* fnPreCalculate = nullptr;
    StatisticsVersionFn fnVersion = nullptr;
    StatisticsGetInfoFn fnGetInfo = nullptr;
    StatisticsSettingsFn fnSettings = nullptr;
    void* fnToolbarBitmap = nullptr;
    StatisticsGetDescriptionFn fnGetDescription = nullptr;

    // The module, name, path and error text are CPluginModule's.
    std::string m_Description;
    std::string m_InfoText;
    std::uint8_t m_Valid = 0;
    std::uint32_t m_Version = 0;
};

// A valid statistics plug-in as the Table menu lists it.
struct StatisticsPluginEntry {
    std::string m_Path;
    std::string m_Name;
    std::string m_Description;
};
// The valid statistics plug-ins of the folder, in name order; each is bound
// only while it is read.
std::vector<StatisticsPluginEntry> ListStatisticsPlugins(const std::string& folder);
