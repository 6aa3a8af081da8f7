#include "core/StatisticsPlugin.h"

#include "core/DrawingPlugin.h"
#include "core/LoaderPlugin.h"

#include <dlfcn.h>

namespace {

// Texts a plug-in hands over are read no further than this, terminated or not.
constexpr std::size_t kMaxNameBytes = 512;
constexpr std::size_t kMaxInfoUnits = 64 * 1024;

template <typename Fn> Fn Entry(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

void* Require(void* module, const char* name, std::string& errorText, std::uint8_t& valid) {
    void* entry = dlsym(module, name);
    if (entry == nullptr) {
        errorText += std::string("Could not find ") + name + "() entry.\n";
        valid = 0;
    }
    return entry;
}

} // namespace

CStatisticsPlugin::CStatisticsPlugin(const std::string& path) { Load(path); }

CStatisticsPlugin::~CStatisticsPlugin() { Unload(); }

void CStatisticsPlugin::Load(const std::string& path) {
    Unload();
    m_Path = path;
    m_ErrorText = path + ":\n";
    m_Module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_Module == nullptr) {
        m_ErrorText += "Not a valid plug-in, or missing a required component (dll).";
        m_Valid = 0;
        return;
    }
    m_Valid = 1;
    fnGetName =
        reinterpret_cast<StatisticsGetNameFn>(Require(m_Module, STC_ENTRY_GET_NAME, m_ErrorText, m_Valid));
    fnPushValue = Require(m_Module, STC_ENTRY_PUSH_VALUE, m_ErrorText, m_Valid);
    fnCalculate = Require(m_Module, STC_ENTRY_CALCULATE, m_ErrorText, m_Valid);
    fnPreCalculate = dlsym(m_Module, STC_ENTRY_PRE_CALCULATE);
    fnVersion = Entry<StatisticsVersionFn>(m_Module, STC_ENTRY_VERSION);
    fnGetInfo = Entry<StatisticsGetInfoFn>(m_Module, STC_ENTRY_GET_INFO);
    fnSettings = Entry<StatisticsSettingsFn>(m_Module, STC_ENTRY_SETTINGS);
    fnToolbarBitmap = dlsym(m_Module, STC_ENTRY_TOOLBAR_BITMAP);
    fnGetDescription = Entry<StatisticsGetDescriptionFn>(m_Module, STC_ENTRY_GET_DESCRIPTION);

    try {
        m_Version = fnVersion != nullptr ? fnVersion() : static_cast<std::uint32_t>(PIV_Statistics);
        if (m_Version != PIV_Statistics) {
            m_ErrorText += "Unsupported interface version.\n";
            m_Valid = 0;
        }
        if (fnGetName != nullptr)
            m_Name = TruncatedUtf8(LoaderText(fnGetName(), kMaxNameBytes), kMaxNameBytes);
        if (fnGetDescription != nullptr)
            m_Description = TruncatedUtf8(LoaderText(fnGetDescription(), kMaxNameBytes), kMaxNameBytes);
        if (fnGetInfo != nullptr)
            m_InfoText = LoaderText(fnGetInfo(), kMaxInfoUnits);
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
    if (m_Module != nullptr)
        dlclose(m_Module);
    m_Module = nullptr;
    m_Name.clear();
    m_Description.clear();
    m_InfoText.clear();
    m_Valid = 0;
}

bool CStatisticsPlugin::ShowSettings() {
    if (fnSettings == nullptr)
        return false;
    try {
        fnSettings();
    } catch (...) {
        m_ErrorText = "Unknown exception caught from plug-in fnSettings().";
    }
    return true;
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
