#include "core/PluginModule.h"

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

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

CPluginModule::~CPluginModule() { CloseModule(); }

bool CPluginModule::OpenModule(const std::string& path) {
    CloseModule();
    m_Path = path;
    m_ErrorText = path + ":\n";
    m_Module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_Module == nullptr) {
        m_ErrorText += "Not a valid plug-in, or missing a required component (dll).";
        return false;
    }
    return true;
}

void CPluginModule::CloseModule() {
    if (m_Module != nullptr)
        dlclose(m_Module);
    m_Module = nullptr;
}

void* CPluginModule::FindEntry(const char* name) const {
    return m_Module != nullptr ? dlsym(m_Module, name) : nullptr;
}

void CPluginModule::NoteMissingEntry(const char* shown) {
    m_ErrorText += std::string("Could not find ") + shown + "() entry.\n";
}

std::string CPluginModule::NameText(const std::uint16_t* text) {
    return TruncatedUtf8(LoaderText(text, kMaxNameBytes), kMaxNameBytes);
}

std::string CPluginModule::InfoText(const std::uint16_t* text) { return LoaderText(text, kMaxInfoUnits); }

void CPluginModule::ReadTexts(TextEntry getName, TextEntry getDescription, TextEntry getInfo,
                              std::string& description, std::string& info) {
    if (getName != nullptr)
        m_Name = NameText(getName());
    if (getDescription != nullptr)
        description = NameText(getDescription());
    if (getInfo != nullptr)
        info = InfoText(getInfo());
}

bool CPluginModule::CallSettings(void (*settings)(), const char* failure) {
    if (settings == nullptr)
        return false;
    try {
        settings();
    } catch (...) {
        m_ErrorText = failure;
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
