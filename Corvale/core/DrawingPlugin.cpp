#include "core/DrawingPlugin.h"

CDrawingPlugin::~CDrawingPlugin() { Unload(); }

void CDrawingPlugin::Load(const std::string& path) {
    Unload();
    if (!OpenModule(path)) {
        m_Valid = 0;
        return;
    }
    m_Valid = 1;
    fnGetName = RequireEntry<DrawingGetNameFn>(ISE_ENTRY_GET_NAME, m_Valid);
    fnGetDescription = FindEntry<DrawingGetDescriptionFn>(ISE_ENTRY_GET_DESCRIPTION);
    fnDrawBackground = FindEntry(ISE_ENTRY_DRAW_BACKGROUND);
    fnDrawShape = RequireEntry(ISE_ENTRY_DRAW_SHAPE, m_Valid);
    fnPreDrawLayer = RequireEntry(ISE_ENTRY_PRE_DRAW_LAYER, m_Valid);
    fnPostDrawLayer = FindEntry(ISE_ENTRY_POST_DRAW_LAYER);
    fnPostDraw = FindEntry(ISE_ENTRY_POST_DRAW);
    fnInitializeSession = RequireEntry(ISE_ENTRY_INITIALIZE_SESSION, m_Valid);
    fnCloseSession = FindEntry(ISE_ENTRY_CLOSE_SESSION);
    fnVersion = RequireEntry<DrawingVersionFn>(ISE_ENTRY_VERSION, m_Valid);
    fnGetInfo = FindEntry<DrawingGetInfoFn>(ISE_ENTRY_GET_INFO);
    fnSettings = FindEntry<DrawingSettingsFn>(ISE_ENTRY_SETTINGS);

    try {
        if (fnVersion != nullptr) {
            m_Version = fnVersion();
            CheckVersion(m_Version, PIV_DrawingFirst, PIV_DrawingMax, m_Valid);
        }
        ReadTexts(fnGetName, fnGetDescription, fnGetInfo, m_Description, m_InfoText);
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
    CloseModule();
    m_Name.clear();
    m_Description.clear();
    m_InfoText.clear();
    m_Valid = 0;
}

bool CDrawingPlugin::ShowSettings() {
    return CallSettings(fnSettings, "Unknown exception caught from plug-in fnSettings().");
}
