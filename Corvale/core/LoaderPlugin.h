#pragma once
// The host side of loader plug-ins (.ldr modules, sdk/Loader.h): binding a
// module, asking it for the shapes of one shape type, the attribute, event,
// menu and serialise calls, and the forwarders through which a loader hands
// records back. One binding belongs to one loader theme (or to one load
// command); it lives in the data model because a theme asks its binding for
// attributes and hands it its state when the workspace is stored.
//
// Every call into a module is guarded: an exception that escapes a loader is
// caught, becomes the binding's error text, and the call fails. Every record
// a loader hands back is checked (CheckLoaderRecord) before it reaches the
// host slot that would put it into a theme.

#include "Loader.h"
#include "core/PluginModule.h"

#include <cstdint>
#include <string>
#include <vector>

class CShapeRecord;
class CLoaderPlugin;

// The slots the host fills before it calls into a loader; the forwarders
// handed to the loader call them with hostContext first. Empty slots refuse.
struct LoaderHostCallbacks {
    void* hostContext = nullptr;
    bool (*postCustomEvent)(void* host, CLoaderPlugin* loader, std::uint32_t code) = nullptr;
    bool (*addShape)(void* host, CShapeRecord* record, std::intptr_t userData) = nullptr;
    bool (*removeShape)(void* host, CLoaderPlugin* loader, CShapeRecord* record) = nullptr;
    bool (*updateShape)(void* host, CLoaderPlugin* loader, std::uint32_t handle, CShapeRecord* record,
                        bool select) = nullptr;
    // The n-th selected record of the theme of a selection event.
    bool (*getRecord)(void* host, std::uint32_t n, CShapeRecord** record) = nullptr;
};

// One item of a loader's own menu.
struct LoaderMenuItem {
    std::string m_Text;
    std::uint32_t m_CommandId = 0;
    bool m_Flag = false;
    std::string m_Prompt;
};

// What a load of one shape type hands back, besides the records.
struct LoaderLoadResult {
    std::string m_Name;
    std::uint32_t m_Color = 0xFF0000;
    std::uint32_t m_Handle = 0;
    std::uint32_t m_PointSymbol = 0;
    std::uint32_t m_PenWidth = 0;
    // From version 5.
    std::string m_InfoTipTemplate;
    bool m_ShowInfoTip = false;
    bool m_PlaceOnTop = false;
    bool m_ConvertToNative = false;
};

class CLoaderPlugin : public CPluginModule {
public:
    CLoaderPlugin();
    ~CLoaderPlugin();
    CLoaderPlugin(const CLoaderPlugin&) = delete;
    CLoaderPlugin& operator=(const CLoaderPlugin&) = delete;

    // Binds the module; m_Valid says whether it has the required entries,
    // m_ErrorText why not ("<path>:\n" and the reasons).
    void Load(const std::string& path);
    void Unload();

    // fnPreLoadShapes; true without the entry.
    bool PreLoadShapes();
    // 0 when the type is not supported; else fnThemeCount (1 without it).
    std::uint32_t CountThemes(std::uint32_t shapeType);
    // Asks for the shapes of one type; records go to m_Callbacks.addShape
    // (set by the caller, with hostContext). result receives the theme's
    // name, colour and further words; on failure m_ErrorText says why.
    // penWidth is the line width of the theme being built, which the loader
    // may change.
    bool LoadShapes(std::uint32_t shapeType, const double extent[4], LoaderLoadResult& result,
                    int penWidth = 0);

    // Attribute entries. first is the handle word from version 3, the shape
    // type below (the theme chooses). Absent entries give 0 and the empty text.
    bool HasAttributeEntries() const { return fnGetAttributeCount != nullptr; }
    std::uint32_t GetAttributeCount(std::uint32_t first);
    std::string GetAttributeName(std::uint32_t first, std::uint32_t field);
    // With bit 31 (the key flag); 0 without the entry.
    std::uint32_t GetAttributeType(std::uint32_t handle, std::uint32_t field);
    // The value of a record of a theme of that shape type; empty without an entry.
    std::string GetAttribute(std::uint32_t handle, std::uint32_t shapeType, const CShapeRecord* record,
                             std::uint32_t field);

    // fnRemoveShapes, when the loader has it.
    void RemoveShapes(std::uint32_t handle);
    // Delivers a custom event; records come back through m_Callbacks. A
    // result of 0 or less, or an exception, stops further custom events.
    int HandleCustomEvent(std::uint32_t code, std::uint32_t handle);
    // fnHandleEvent; -1 without the entry. A result without bit 0 (or an
    // exception) stops further selection events.
    int HandleEvent(std::uint32_t handle, std::uint32_t state, std::uint32_t count);
    // Reads the loader's menu into m_Menu; false when it has none.
    bool GetCustomMenu(std::uint32_t context);

    // Workspace storage through fnSerialize: -1 without the entry or on a
    // failure; the size of the block otherwise.
    int GetSerializedSize(std::uint32_t handle);
    bool SaveSerializedData(std::uint32_t handle, void* buffer, std::uint32_t size);
    // The loader rebuilds its state from the block and re-delivers the
    // theme's records to addShape(theme, ...); handle may be changed.
    bool RestoreSerializedData(void* theme, bool (*addShape)(void* theme, CShapeRecord* record, std::intptr_t),
                               const void* buffer, std::uint32_t size, std::uint32_t& handle);

    // The handle the loader holds for this binding.
    LoaderHostHandle HostHandle() const { return m_HostHandle; }
    // The binding with that handle; null when it is gone or never was.
    static CLoaderPlugin* FromHostHandle(LoaderHostHandle handle);

    LoaderGetNameFn fnGetName = nullptr;
    void* fnLoadShapes = nullptr; // signature by version
    LoaderPreLoadShapesFn fnPreLoadShapes = nullptr;
    LoaderRemoveShapesFn fnRemoveShapes = nullptr;
    LoaderSupportsTypeFn fnSupportsType = nullptr;
    LoaderThemeCountFn fnThemeCount = nullptr;
    LoaderGetLastErrMsgFn fnGetLastErrMsg = nullptr;
    LoaderSettingsFn fnSettings = nullptr;
    LoaderGetAttributeCountFn fnGetAttributeCount = nullptr;
    LoaderGetAttributeNameFn fnGetAttributeName = nullptr;
    LoaderGetAttributeTypeFn fnGetAttributeType = nullptr;
    LoaderGetAttributeFn fnGetAttribute = nullptr;
    void* fnGetPointAttributes = nullptr; // signature by version
    void* fnGetArcAttributes = nullptr;
    void* fnGetPolygonAttributes = nullptr;
    LoaderHandleCustomEventFn fnHandleCustomEvent = nullptr;
    LoaderHandleEventFn fnHandleEvent = nullptr;
    LoaderGetCustomMenuFn fnGetCustomMenu = nullptr;
    LoaderGetInfoFn fnGetInfo = nullptr;

    // The module, name, path and error text are CPluginModule's.
    bool m_Valid = false;
    LoaderHostCallbacks m_Callbacks;
    std::uint32_t m_Version = 1;
    std::vector<LoaderMenuItem> m_Menu;
    // Records the forwarders refused since the caller last cleared it: not
    // sound, or not taken by the host slot (another kind than the theme's).
    std::uint32_t m_RefusedRecords = 0;

private:
    std::string LastErrorMessage(const char* fallback);
    LoaderHostHandle m_HostHandle = 0;
};

// Unbinds and frees a binding; null is allowed.
void DeleteLoaderPlugin(CLoaderPlugin* loader);

// Whether the bytes a loader handed over are one sound record of a shape
// type the program handles: a content length that covers what the counts
// need, part starts in order, finite coordinates.
bool CheckLoaderRecord(const void* record);

// UTF-16 text from a loader, read up to its terminator or maxUnits code units.
std::string LoaderText(const LoaderChar* text, std::size_t maxUnits);

// The text cut to at most maxBytes bytes, never inside a UTF-8 sequence.
std::string TruncatedUtf8(std::string text, std::size_t maxBytes);
