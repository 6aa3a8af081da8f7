#pragma once
// The host side of drawing plug-ins (.ise modules, sdk/Drawing.h); statistics
// plug-ins (core/StatisticsPlugin.h) are bound alike. The program binds
// them only to list them: it checks their entries and interface version,
// reads their name, description and information text, and opens their
// settings dialog. Nothing calls their drawing or calculation entries, so
// the bindings keep those only as found-or-missing.
//
// Every call into a module is guarded: an exception that escapes one makes
// the binding invalid with a line that says so, and the settings call notes
// it in the error text.

#include "Drawing.h"
#include "core/PluginModule.h"

#include <cstdint>
#include <string>
#include <vector>

class CDrawingPlugin : public CPluginModule {
public:
    CDrawingPlugin() = default;
    ~CDrawingPlugin();
    CDrawingPlugin(const CDrawingPlugin&) = delete;
    CDrawingPlugin& operator=(const CDrawingPlugin&) = delete;

    // Binds the module; m_Valid says whether it has the required entries and
    // a version of 1 to PIV_DrawingMax, m_ErrorText why not ("<path>:\n" and
    // one line per reason).
    void Load(const std::string& path);
    // Frees the module and the texts.
    void Unload();
    // The settings dialog of the plug-in, when it has one; false without.
    bool ShowSettings();

    DrawingGetNameFn fnGetName = nullptr;
    DrawingGetDescriptionFn fnGetDescription = nullptr;
    void* fnDrawBackground = nullptr;
    void* fnDrawShape = nullptr;
    void* fnPreDrawLayer = nullptr;
    void* fnPostDrawLayer = nullptr;
    void* fnPostDraw = nullptr;
    void* fnInitializeSession = nullptr;
    void* fnCloseSession = nullptr;
    DrawingVersionFn fnVersion = nullptr;
    DrawingGetInfoFn fnGetInfo = nullptr;
    DrawingSettingsFn fnSettings = nullptr;

    // The module, name, path and error text are CPluginModule's.
    std::string m_Description;
    // fnGetInfo's text, read when binding.
    std::string m_InfoText;
    std::uint8_t m_Valid = 0;
    std::uint32_t m_Version = 0;
};

