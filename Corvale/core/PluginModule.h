#pragma once
// What every plug-in binding (loader, exporter, drawing, statistics) does
// with its module before its own work begins: open it, start the error text
// with "<path>:\n", look its entries up, note each required one that is
// missing, and check the interface version. Each kind keeps its own entries,
// their order, its own texts and its own version rule; only the mechanics
// live here, with the listing of a plug-in folder that every kind's page uses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPluginModule {
public:
    void* m_Module = nullptr;
    std::string m_Name;
    std::string m_Path;
    std::string m_ErrorText;

protected:
    CPluginModule() = default;
    ~CPluginModule();
    CPluginModule(const CPluginModule&) = delete;
    CPluginModule& operator=(const CPluginModule&) = delete;

    // Sets the path and the first line of the error text and opens the
    // module. When it cannot be opened the error text says so (no new line
    // after it) and the answer is false; the caller marks itself invalid.
    bool OpenModule(const std::string& path);
    // Frees the module when one is open.
    void CloseModule();

    // An entry the plug-in may leave out; null when it has none.
    void* FindEntry(const char* name) const;
    template <typename Fn> Fn FindEntry(const char* name) const {
        return reinterpret_cast<Fn>(FindEntry(name));
    }

    // An entry the plug-in must have. When it is missing, the line
    // "Could not find <shown>() entry." goes into the error text and valid
    // becomes false; shown is the entry's name unless given.
    template <typename Flag> void* RequireEntry(const char* name, Flag& valid, const char* shown = nullptr) {
        void* entry = FindEntry(name);
        if (entry == nullptr) {
            NoteMissingEntry(shown != nullptr ? shown : name);
            valid = Flag(0);
        }
        return entry;
    }
    template <typename Fn, typename Flag>
    Fn RequireEntry(const char* name, Flag& valid, const char* shown = nullptr) {
        return reinterpret_cast<Fn>(RequireEntry(name, valid, shown));
    }

    // Whether version lies in first..last; when not, the error text says the
    // interface version is unsupported and valid becomes false.
    template <typename Flag>
    bool CheckVersion(std::uint32_t version, std::uint32_t first, std::uint32_t last, Flag& valid) {
        if (version >= first && version <= last)
            return true;
        m_ErrorText += "Unsupported interface version.\n";
        valid = Flag(0);
        return false;
    }

    // The name or description text a plug-in hands over (UTF-16), read no
    // further than 512 bytes' worth, and its information text, read no
    // further than 64K code units.
    static std::string NameText(const std::uint16_t* text);
    static std::string InfoText(const std::uint16_t* text);

    // Reads the name, description and information texts through whichever
    // of the three entries the plug-in has; an entry it lacks leaves its text
    // as it was. An exception from the plug-in passes to the caller.
    using TextEntry = const std::uint16_t* (*)();
    void ReadTexts(TextEntry getName, TextEntry getDescription, TextEntry getInfo, std::string& description,
                   std::string& info);

    // Calls the plug-in's settings entry, when it has one (false without).
    // An exception that escapes it leaves `failure` as the error text.
    bool CallSettings(void (*settings)(), const char* failure);

private:
    void NoteMissingEntry(const char* shown);
};

// The files of a plug-in folder whose names match the pattern ("*.stc",
// letters without regard to case), as full paths in name order; none when the
// folder cannot be read. Folders are left out.
std::vector<std::string> ListPluginFolder(const std::string& folder, const std::string& pattern);
