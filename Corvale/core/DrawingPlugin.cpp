#include "core/DrawingPlugin.h"

#include "core/LoaderPlugin.h"
#include "platform/Wildcard.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

// Texts a plug-in hands over are read no further than this, terminated or not.
constexpr std::size_t kMaxNameBytes = 512;
constexpr std::size_t kMaxInfoUnits = 64 * 1024;

template <typename Fn> Fn Entry(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

// Looks an entry up; a required one that is missing adds its line to the
// error text and makes the binding invalid.
void* Require(void* module, const char* name, std::string& errorText, std::uint8_t& valid) {
    void* entry = dlsym(module, name);
    if (entry == nullptr) {
        errorText += std::string("Could not find ") + name + "() entry.\n";
        valid = 0;
    }
    return entry;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

CDrawingPlugin::~CDrawingPlugin() { Unload(); }

void CDrawingPlugin::Load(const std::string& path) {
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
    fnGetName = reinterpret_cast<DrawingGetNameFn>(Require(m_Module, ISE_ENTRY_GET_NAME, m_ErrorText, m_Valid));
    fnGetDescription = Entry<DrawingGetDescriptionFn>(m_Module, ISE_ENTRY_GET_DESCRIPTION);
    fnDrawBackground = dlsym(m_Module, ISE_ENTRY_DRAW_BACKGROUND);
    fnDrawShape = Require(m_Module, ISE_ENTRY_DRAW_SHAPE, m_ErrorText, m_Valid);
    fnPreDrawLayer = Require(m_Module, ISE_ENTRY_PRE_DRAW_LAYER, m_ErrorText, m_Valid);
    fnPostDrawLayer = dlsym(m_Module, ISE_ENTRY_POST_DRAW_LAYER);
    fnPostDraw = dlsym(m_Module, ISE_ENTRY_POST_DRAW);
    fnInitializeSession = Require(m_Module, ISE_ENTRY_INITIALIZE_SESSION, m_ErrorText, m_Valid);
    fnCloseSession = dlsym(m_Module, ISE_ENTRY_CLOSE_SESSION);
    fnVersion = reinterpret_cast<DrawingVersionFn>(Require(m_Module, ISE_ENTRY_VERSION, m_ErrorText, m_Valid));
    fnGetInfo = Entry<DrawingGetInfoFn>(m_Module, ISE_ENTRY_GET_INFO);
    fnSettings = Entry<DrawingSettingsFn>(m_Module, ISE_ENTRY_SETTINGS);

    try {
        if (fnVersion != nullptr) {
            m_Version = fnVersion();
            if (m_Version < PIV_DrawingFirst || m_Version > PIV_DrawingMax) {
                m_ErrorText += "Unsupported interface version.\n";
                m_Valid = 0;
            }
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

void CDrawingPlugin::Unload() {
    fnGetName = nullptr;
    fnGetDescription = nullptr;
    fnDrawBackground = nullptr;
    fnDrawShape = nullptr;
    fnPreDrawLayer = nullptr;
    fnPostDrawLayer = nullptr;
    fnPostDraw = nullptr;
    fnInitializeSession = nullptr;
    fnCloseSession = nullptr;
    fnVersion = nullptr;
    fnGetInfo = nullptr;
    fnSettings = nullptr;
    if (m_Module != nullptr)
        dlclose(m_Module);
    m_Module = nullptr;
    m_Name.clear();
    m_Description.clear();
    m_InfoText.clear();
    m_Valid = 0;
}

bool CDrawingPlugin::ShowSettings() {
    if (fnSettings == nullptr)
        return false;
    try {
        fnSettings();
    } catch (...) {
        m_ErrorText = "Unknown exception caught from plug-in fnSettings().";
    }
    return true;
}

std::vector<std::string> ListPluginFolder(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
    if (error)
        return {};
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (corvale::MatchWildcard(name, pattern) && !it->is_directory(typeError))
            names.push_back(name);
    }
    // The file system's order is its own; the pages list plug-ins by name.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string lowerA = Lower(a);
        const std::string lowerB = Lower(b);
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name);
    return paths;
}
