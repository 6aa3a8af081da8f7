#include "core/LoaderPlugin.h"

#include "geometry/ShapePiece.h"
#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

// Texts a loader hands over are read no further than this, terminated or not.
constexpr std::size_t kMaxNameBytes = 512;
constexpr std::size_t kMaxErrorBytes = 1024;
constexpr std::uint32_t kNameBufferSize = 128;
constexpr std::uint32_t kErrorBufferSize = 4096;
// A loader that claims more menu items than this answers garbage.
constexpr std::uint32_t kMaxMenuItems = 1000;

// The bindings by the handle their loader holds. Handles come from one
// counter and are never reused, so a loader holding the handle of a binding
// that is gone is refused rather than sent to another one.
std::mutex g_HandleMutex;
std::unordered_map<LoaderHostHandle, CLoaderPlugin*> g_Bindings;
LoaderHostHandle g_NextHandle = 1;

std::string NarrowText(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

// ---- the forwarders the loader calls ----

CShapeRecord* AcceptedRecord(const void* record) {
    if (!CheckLoaderRecord(record))
        return nullptr;
    return static_cast<CShapeRecord*>(const_cast<void*>(record));
}

uint8_t LoaderCallAddShape(LoaderHostHandle host, const void* record, uint32_t userData) {
    CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host);
    if (loader == nullptr)
        return 0;
    CShapeRecord* accepted = AcceptedRecord(record);
    if (accepted == nullptr || loader->m_Callbacks.addShape == nullptr ||
        !loader->m_Callbacks.addShape(loader->m_Callbacks.hostContext, accepted, userData)) {
        ++loader->m_RefusedRecords;
        return 0;
    }
    return 1;
}

uint8_t LoaderCallAddShapeByKind(LoaderHostHandle host, const void* point, const void* polyline,
                                 const void* polygon, uint32_t userData) {
    const void* record = point != nullptr ? point : polyline != nullptr ? polyline : polygon;
    if (record == nullptr) {
        if (CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host))
            ++loader->m_RefusedRecords;
        return 0;
    }
    // The slot must agree with the record's own type.
    if (CheckLoaderRecord(record)) {
        const std::uint32_t type = CShapeRecord::GetShapeType(static_cast<const CShapeRecord*>(record));
        const bool inSlot = point != nullptr    ? CShapeRecord::IsPointType(type)
                            : polyline != nullptr ? CShapeRecord::IsPolylineType(type)
                                                  : CShapeRecord::IsPolygonType(type);
        if (!inSlot) {
            if (CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host))
                ++loader->m_RefusedRecords;
            return 0;
        }
    }
    return LoaderCallAddShape(host, record, userData);
}

uint8_t LoaderCallRemoveShape(LoaderHostHandle host, const void* record) {
    CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host);
    if (loader == nullptr || record == nullptr || loader->m_Callbacks.removeShape == nullptr)
        return 0;
    // Compared by address only: the record is not read.
    return loader->m_Callbacks.removeShape(loader->m_Callbacks.hostContext, loader,
                                           static_cast<CShapeRecord*>(const_cast<void*>(record)))
               ? 1
               : 0;
}

uint8_t LoaderCallUpdateShape(LoaderHostHandle host, uint32_t handle, const void* record, uint8_t select) {
    CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host);
    if (loader == nullptr || loader->m_Callbacks.updateShape == nullptr)
        return 0;
    CShapeRecord* accepted = nullptr;
    if (record != nullptr) {
        accepted = AcceptedRecord(record);
        if (accepted == nullptr)
            return 0;
    }
    return loader->m_Callbacks.updateShape(loader->m_Callbacks.hostContext, loader, handle, accepted, select != 0)
               ? 1
               : 0;
}

uint8_t LoaderCallPostCustomEvent(LoaderHostHandle host, uint32_t code) {
    CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host);
    if (loader == nullptr || loader->m_Callbacks.postCustomEvent == nullptr)
        return 0;
    return loader->m_Callbacks.postCustomEvent(loader->m_Callbacks.hostContext, loader, code) ? 1 : 0;
}

uint8_t LoaderCallGetRecord(LoaderHostHandle host, uint32_t n, const void** record) {
    CLoaderPlugin* loader = CLoaderPlugin::FromHostHandle(host);
    if (record != nullptr)
        *record = nullptr;
    if (loader == nullptr || record == nullptr || loader->m_Callbacks.getRecord == nullptr)
        return 0;
    CShapeRecord* found = nullptr;
    if (!loader->m_Callbacks.getRecord(loader->m_Callbacks.hostContext, n, &found))
        return 0;
    *record = found;
    return 1;
}

} // namespace

std::string TruncatedUtf8(std::string text, std::size_t maxBytes) {
    if (text.size() > maxBytes) {
        text.resize(maxBytes);
        // Do not leave half a UTF-8 sequence at the end.
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
            text.pop_back();
        if (!text.empty() && (static_cast<unsigned char>(text.back()) & 0x80) != 0)
            text.pop_back();
    }
    return text;
}

std::string LoaderText(const LoaderChar* text, std::size_t maxUnits) {
    if (text == nullptr)
        return {};
    std::size_t length = 0;
    while (length < maxUnits && text[length] != 0)
        ++length;
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), static_cast<qsizetype>(length))
        .toStdString();
}

bool CheckLoaderRecord(const void* record) {
    if (record == nullptr)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(record);
    // The header's content length (16-bit words, big-endian) is all a loader
    // says about the size of its buffer.
    const std::uint64_t available = 8 + 2 * static_cast<std::uint64_t>(corvale::ReadBE32(bytes + 4));
    std::size_t size = 0;
    if (!CheckShapeRecordBytes(bytes, available, size))
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(static_cast<const CShapeRecord*>(record));
    if (!CShapeRecord::IsPointType(type) && !CShapeRecord::IsPolylineType(type) && !CShapeRecord::IsPolygonType(type))
        return false;
    return IsShapeRecordSound(static_cast<const CShapeRecord*>(record));
}

CLoaderPlugin::CLoaderPlugin() {
    std::lock_guard<std::mutex> lock(g_HandleMutex);
    m_HostHandle = g_NextHandle++;
    g_Bindings[m_HostHandle] = this;
}

CLoaderPlugin::~CLoaderPlugin() {
    Unload();
    std::lock_guard<std::mutex> lock(g_HandleMutex);
    g_Bindings.erase(m_HostHandle);
}

CLoaderPlugin* CLoaderPlugin::FromHostHandle(LoaderHostHandle handle) {
    std::lock_guard<std::mutex> lock(g_HandleMutex);
    auto it = g_Bindings.find(handle);
    return it != g_Bindings.end() ? it->second : nullptr;
}

void DeleteLoaderPlugin(CLoaderPlugin* loader) { delete loader; }

void CLoaderPlugin::Load(const std::string& path) {
    Unload();
    if (!OpenModule(path)) {
        m_Valid = false;
        return;
    }
    m_Valid = true;
    fnGetName = RequireEntry<LoaderGetNameFn>(LDR_ENTRY_GET_NAME, m_Valid);
    if (fnGetName != nullptr) {
        try {
            m_Name = NameText(fnGetName());
        } catch (...) {
            m_ErrorText += "Unknown exception caught from fnGetName().\n";
            m_Valid = false;
        }
    }
    fnLoadShapes = RequireEntry(LDR_ENTRY_LOAD_SHAPES, m_Valid);
    // The missing-entry line says fnSupportType, as it always has.
    fnSupportsType = RequireEntry<LoaderSupportsTypeFn>(LDR_ENTRY_SUPPORTS_TYPE, m_Valid, "fnSupportType");
    fnPreLoadShapes = FindEntry<LoaderPreLoadShapesFn>(LDR_ENTRY_PRE_LOAD_SHAPES);
    fnRemoveShapes = FindEntry<LoaderRemoveShapesFn>(LDR_ENTRY_REMOVE_SHAPES);
    fnThemeCount = FindEntry<LoaderThemeCountFn>(LDR_ENTRY_THEME_COUNT);
    fnGetLastErrMsg = FindEntry<LoaderGetLastErrMsgFn>(LDR_ENTRY_GET_LAST_ERR_MSG);
    fnSettings = FindEntry<LoaderSettingsFn>(LDR_ENTRY_SETTINGS);
    fnGetAttributeCount = FindEntry<LoaderGetAttributeCountFn>(LDR_ENTRY_GET_ATTRIBUTE_COUNT);
    fnGetAttributeName = FindEntry<LoaderGetAttributeNameFn>(LDR_ENTRY_GET_ATTRIBUTE_NAME);
    fnGetAttributeType = FindEntry<LoaderGetAttributeTypeFn>(LDR_ENTRY_GET_ATTRIBUTE_TYPE);
    fnGetAttribute = FindEntry<LoaderGetAttributeFn>(LDR_ENTRY_GET_ATTRIBUTE);
    fnGetPointAttributes = FindEntry(LDR_ENTRY_GET_POINT_ATTRIBUTES);
    fnGetArcAttributes = FindEntry(LDR_ENTRY_GET_ARC_ATTRIBUTES);
    fnGetPolygonAttributes = FindEntry(LDR_ENTRY_GET_POLYGON_ATTRIBUTES);
    fnHandleCustomEvent = FindEntry<LoaderHandleCustomEventFn>(LDR_ENTRY_HANDLE_CUSTOM_EVENT);
    fnHandleEvent = FindEntry<LoaderHandleEventFn>(LDR_ENTRY_HANDLE_EVENT);
    fnGetCustomMenu = FindEntry<LoaderGetCustomMenuFn>(LDR_ENTRY_GET_CUSTOM_MENU);
    fnGetInfo = FindEntry<LoaderGetInfoFn>(LDR_ENTRY_GET_INFO);
    m_Version = 1;
    if (auto version = FindEntry<LoaderVersionFn>(LDR_ENTRY_VERSION)) {
        try {
            m_Version = version();
        } catch (...) {
            m_ErrorText += "Unknown exception caught from fnVersion().\n";
            m_Valid = false;
        }
    }
}

void CLoaderPlugin::Unload() {
    fnGetName = nullptr;
    fnLoadShapes = nullptr;
    fnPreLoadShapes = nullptr;
    fnRemoveShapes = nullptr;
    fnSupportsType = nullptr;
    fnThemeCount = nullptr;
    fnGetLastErrMsg = nullptr;
    fnSettings = nullptr;
    fnGetAttributeCount = nullptr;
    fnGetAttributeName = nullptr;
    fnGetAttributeType = nullptr;
    fnGetAttribute = nullptr;
    fnGetPointAttributes = nullptr;
    fnGetArcAttributes = nullptr;
    fnGetPolygonAttributes = nullptr;
    fnHandleCustomEvent = nullptr;
    fnHandleEvent = nullptr;
    fnGetCustomMenu = nullptr;
    fnGetInfo = nullptr;
    CloseModule();
    m_Name.clear();
    m_Path.clear();
    m_ErrorText.clear();
    m_Menu.clear();
    m_Valid = false;
}

std::string CLoaderPlugin::LastErrorMessage(const char* fallback) {
    if (fnGetLastErrMsg == nullptr)
        return fallback;
    try {
        return TruncatedUtf8(LoaderText(fnGetLastErrMsg(), kMaxErrorBytes), kMaxErrorBytes);
    } catch (...) {
        return fallback;
    }
}

bool CLoaderPlugin::PreLoadShapes() {
    if (fnPreLoadShapes == nullptr)
        return true;
    try {
        if (fnPreLoadShapes() != 0)
            return true;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnPreLoadShapes().";
        return false;
    }
    m_ErrorText = LastErrorMessage("");
    return false;
}

std::uint32_t CLoaderPlugin::CountThemes(std::uint32_t shapeType) {
    if (fnSupportsType == nullptr)
        return 0;
    try {
        if (fnSupportsType(shapeType) == 0)
            return 0;
        return fnThemeCount != nullptr ? fnThemeCount() : 1;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnSupportsType().";
        return 0;
    }
}

bool CLoaderPlugin::LoadShapes(std::uint32_t shapeType, const double extent[4], LoaderLoadResult& result,
                               int penWidth) {
    result = LoaderLoadResult();
    if (fnLoadShapes == nullptr) {
        m_ErrorText = "Invalid shape loader. Could not find fnLoadShapes.";
        return false;
    }
    bool loaded = false;
    // Outside the guarded call: after an exception the handle word still
    // names the theme the loader began, so that it can be told to let go.
    LoaderLoadRequest request;
    std::memset(&request, 0, sizeof request);
    try {
        if (m_Version == 1) {
            loaded = reinterpret_cast<LoaderLoadShapesV1Fn>(fnLoadShapes)(shapeType, extent[0], extent[1], extent[2],
                                                                          extent[3], LoaderCallAddShapeByKind,
                                                                          m_HostHandle) != 0;
            if (loaded)
                result.m_Name = m_Name;
        } else if (m_Version == 2) {
            LoaderChar name[kNameBufferSize] = {};
            loaded = reinterpret_cast<LoaderLoadShapesV2Fn>(fnLoadShapes)(
                         shapeType, extent[0], extent[1], extent[2], extent[3], LoaderCallAddShapeByKind,
                         m_HostHandle, 0, name, kNameBufferSize) != 0;
            if (loaded)
                result.m_Name = LoaderText(name, kNameBufferSize - 1);
        } else {
            LoaderChar name[kNameBufferSize] = {};
            std::vector<LoaderChar> error(m_Version >= PIV_LoaderPerRecord ? kErrorBufferSize : 0, 0);
            request.shapeType = shapeType;
            for (int i = 0; i < 4; ++i)
                request.extent[i] = extent[i];
            if (m_Version >= PIV_LoaderPerRecord)
                request.callback.addShape = LoaderCallAddShape;
            else
                request.callback.addShapeByKind = LoaderCallAddShapeByKind;
            request.context = m_HostHandle;
            request.color = 0xFF0000;
            request.nameBuffer = name;
            request.nameSize = kNameBufferSize;
            request.penWidth = static_cast<std::uint32_t>(std::max(0, penWidth));
            if (m_Version >= PIV_LoaderPerRecord) {
                request.errorBuffer = error.data();
                request.errorSize = kErrorBufferSize;
                request.postCustomEvent = LoaderCallPostCustomEvent;
            }
            loaded = reinterpret_cast<LoaderLoadShapesFn>(fnLoadShapes)(&request) != 0;
            // Read back whatever the outcome: the caller keeps the words with
            // the theme being built.
            result.m_Name = LoaderText(name, kNameBufferSize - 1);
            result.m_Color = request.color & 0xFFFFFF;
            result.m_Handle = request.handle;
            result.m_PointSymbol = request.pointSymbol;
            result.m_PenWidth = request.penWidth;
            if (m_Version >= PIV_LoaderPerRecord) {
                result.m_InfoTipTemplate = TruncatedUtf8(NarrowText(request.infoTipTemplate), 4096);
                result.m_ShowInfoTip = request.showInfoTip != 0;
                result.m_PlaceOnTop = request.placeOnTop != 0;
                result.m_ConvertToNative = request.convertToNative != 0;
                if (!loaded) {
                    const std::string text = LoaderText(error.data(), kErrorBufferSize - 1);
                    if (!text.empty()) {
                        m_ErrorText = text;
                        return false;
                    }
                }
            }
        }
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnLoadShapes().";
        result.m_Handle = request.handle;
        return false;
    }
    if (!loaded) {
        m_ErrorText = LastErrorMessage("Unable to load all shapes. Error information unavailable.");
        if (m_ErrorText.empty())
            m_ErrorText = "Unable to load all shapes. Error information unavailable.";
        return false;
    }
    if (m_Version < PIV_LoaderRequestRecord)
        result.m_Color = 0xFF0000;
    return true;
}

std::uint32_t CLoaderPlugin::GetAttributeCount(std::uint32_t first) {
    if (fnGetAttributeCount == nullptr)
        return 0;
    try {
        return fnGetAttributeCount(first);
    } catch (...) {
        return 0;
    }
}

std::string CLoaderPlugin::GetAttributeName(std::uint32_t first, std::uint32_t field) {
    if (fnGetAttributeName == nullptr)
        return {};
    try {
        return NarrowText(fnGetAttributeName(first, field));
    } catch (...) {
        return {};
    }
}

std::uint32_t CLoaderPlugin::GetAttributeType(std::uint32_t handle, std::uint32_t field) {
    if (fnGetAttributeType == nullptr)
        return 0;
    try {
        return fnGetAttributeType(handle, field);
    } catch (...) {
        return 0;
    }
}

std::string CLoaderPlugin::GetAttribute(std::uint32_t handle, std::uint32_t shapeType, const CShapeRecord* record,
                                        std::uint32_t field) {
    try {
        if (m_Version >= PIV_LoaderPerRecord)
            return fnGetAttribute != nullptr ? NarrowText(fnGetAttribute(handle, record, field)) : std::string();
        void* entry = nullptr;
        if (shapeType == SHT_Point || shapeType == SHT_PointZ)
            entry = fnGetPointAttributes;
        else if (shapeType == SHT_Polyline || shapeType == SHT_PolylineZ)
            entry = fnGetArcAttributes;
        else if (shapeType == SHT_Polygon || shapeType == SHT_PolygonZ)
            entry = fnGetPolygonAttributes;
        if (entry == nullptr)
            return {};
        if (m_Version >= PIV_LoaderRequestRecord)
            return NarrowText(reinterpret_cast<LoaderGetKindAttributeFn>(entry)(handle, record, field));
        return NarrowText(reinterpret_cast<LoaderGetKindAttributeV1Fn>(entry)(record, field));
    } catch (...) {
        return {};
    }
}

void CLoaderPlugin::RemoveShapes(std::uint32_t handle) {
    if (fnRemoveShapes == nullptr)
        return;
    try {
        fnRemoveShapes(handle);
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnRemoveShapes().";
    }
}

int CLoaderPlugin::HandleCustomEvent(std::uint32_t code, std::uint32_t handle) {
    if (fnHandleCustomEvent == nullptr)
        return 0;
    LoaderCustomEventArgs args;
    std::memset(&args, 0, sizeof args);
    args.code = code;
    args.addShape = LoaderCallAddShape;
    args.removeShape = LoaderCallRemoveShape;
    args.host = m_HostHandle;
    args.handle = handle;
    args.updateShape = LoaderCallUpdateShape;
    int result = 0;
    try {
        result = fnHandleCustomEvent(&args);
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnHandleCustomEvent().";
        result = 0;
    }
    if (result <= 0)
        fnHandleCustomEvent = nullptr;
    return result;
}

int CLoaderPlugin::HandleEvent(std::uint32_t handle, std::uint32_t state, std::uint32_t count) {
    if (fnHandleEvent == nullptr)
        return -1;
    LoaderEventArgs args;
    std::memset(&args, 0, sizeof args);
    args.handle = handle;
    args.state = state;
    args.count = count;
    args.getRecord = LoaderCallGetRecord;
    args.host = m_HostHandle;
    int result = 0;
    try {
        result = fnHandleEvent(&args);
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnHandleEvent().";
        result = 0;
    }
    if ((result & LDR_EVENT_KeepActive) == 0)
        fnHandleEvent = nullptr;
    return result;
}

bool CLoaderPlugin::GetCustomMenu(std::uint32_t context) {
    m_Menu.clear();
    if (fnGetCustomMenu == nullptr)
        return false;
    try {
        const LoaderCustomMenuItem* items = fnGetCustomMenu(context);
        if (items == nullptr || items[0].word <= 1 || items[0].word > kMaxMenuItems)
            return false;
        for (std::uint32_t i = 1; i < items[0].word; ++i) {
            LoaderMenuItem item;
            item.m_Text = LoaderText(items[i].text, kMaxNameBytes);
            item.m_CommandId = items[i].word;
            item.m_Flag = items[i].flag != 0;
            item.m_Prompt = LoaderText(items[i].prompt, kMaxErrorBytes);
            m_Menu.push_back(std::move(item));
        }
        return true;
    } catch (...) {
        m_Menu.clear();
        m_ErrorText = "Unknown exception caught from fnGetCustomMenu().";
        return false;
    }
}

int CLoaderPlugin::GetSerializedSize(std::uint32_t handle) {
    LoaderSerializeFn serialize = FindEntry<LoaderSerializeFn>(LDR_ENTRY_SERIALIZE);
    if (serialize == nullptr)
        return -1;
    LoaderSerializeArgs args;
    std::memset(&args, 0, sizeof args);
    args.mode = LSM_GetSize;
    args.handle = &handle;
    args.context = m_HostHandle;
    try {
        const int size = serialize(&args);
        return size < 0 ? -1 : size;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnSerialize().";
        return -1;
    }
}

bool CLoaderPlugin::SaveSerializedData(std::uint32_t handle, void* buffer, std::uint32_t size) {
    LoaderSerializeFn serialize = FindEntry<LoaderSerializeFn>(LDR_ENTRY_SERIALIZE);
    if (serialize == nullptr)
        return false;
    LoaderSerializeArgs args;
    std::memset(&args, 0, sizeof args);
    args.mode = LSM_Save;
    args.handle = &handle;
    args.buffer = buffer;
    args.size = size;
    args.context = m_HostHandle;
    try {
        return serialize(&args) > 0;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnSerialize().";
        return false;
    }
}

bool CLoaderPlugin::RestoreSerializedData(void* theme,
                                          bool (*addShape)(void* theme, CShapeRecord* record, std::intptr_t),
                                          const void* buffer, std::uint32_t size, std::uint32_t& handle) {
    LoaderSerializeFn serialize = FindEntry<LoaderSerializeFn>(LDR_ENTRY_SERIALIZE);
    if (serialize == nullptr)
        return false;
    // The records go to the theme being restored for the length of the call.
    const LoaderHostCallbacks saved = m_Callbacks;
    m_Callbacks.hostContext = theme;
    m_Callbacks.addShape = addShape;
    // The loader may keep a pointer into the block no longer than the call.
    std::vector<unsigned char> block(static_cast<const unsigned char*>(buffer),
                                     static_cast<const unsigned char*>(buffer) + size);
    LoaderSerializeArgs args;
    std::memset(&args, 0, sizeof args);
    args.mode = LSM_Restore;
    args.handle = &handle;
    args.buffer = block.data();
    args.size = size;
    if (m_Version >= PIV_LoaderPerRecord)
        args.callback.addShape = LoaderCallAddShape;
    else
        args.callback.addShapeByKind = LoaderCallAddShapeByKind;
    args.context = m_HostHandle;
    bool restored = false;
    try {
        restored = serialize(&args) > 0;
    } catch (...) {
        m_ErrorText = "Unknown exception caught from fnSerialize().";
        restored = false;
    }
    m_Callbacks = saved;
    return restored;
}
