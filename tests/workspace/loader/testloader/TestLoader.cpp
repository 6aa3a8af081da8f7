// A loader plug-in for the tests, built once per kind of loader the host
// must handle from this one source. Compile-time switches:
//   LDR_TEST_NAME="..."        display name
//   LDR_TEST_VERSION=n         fnVersion's answer; 0 leaves fnVersion out (version 1)
//   LDR_TEST_TYPES=mask        supported families: 1 points, 2 polylines, 4 polygons (default 7)
//   LDR_TEST_NO_SUPPORTS_TYPE  leaves fnSupportsType out
//   LDR_TEST_NO_SERIALIZE      leaves fnSerialize out
//   LDR_TEST_NO_ATTRIBUTES     leaves the attribute entries out
//
// Theme t of a family holds records 1..n (3 points, 2 polylines, 2
// polygons) at x offset 100 * t. Attribute values: NAME is the kind letter
// and the record number ("P1", "L2", "A1"; record 3 of the points is
// "P3-longer-name"), a key column; VALUE is ten times the record number.
// Version 3 and up hand out the handle word 100 * type + theme + 1.

#include "TestLoaderControl.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#ifndef LDR_TEST_NAME
#define LDR_TEST_NAME "Test Loader"
#endif
#ifndef LDR_TEST_VERSION
#define LDR_TEST_VERSION 5
#endif
#ifndef LDR_TEST_TYPES
#define LDR_TEST_TYPES 7
#endif

namespace {

LoaderTestControl g_Control;

void PutBE32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<unsigned char>(v >> 24);
    b[at + 1] = static_cast<unsigned char>(v >> 16);
    b[at + 2] = static_cast<unsigned char>(v >> 8);
    b[at + 3] = static_cast<unsigned char>(v);
}
void PutLE32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); }
void PutF64(std::vector<unsigned char>& b, std::size_t at, double v) { std::memcpy(&b[at], &v, 8); }
std::uint32_t GetBE32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t GetLE32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

std::vector<unsigned char> PointRecord(std::uint32_t number, double x, double y) {
    std::vector<unsigned char> b(28, 0);
    PutBE32(b, 0, number);
    PutBE32(b, 4, 10);
    PutLE32(b, 8, LDR_SHT_Point);
    PutF64(b, 12, x);
    PutF64(b, 20, y);
    return b;
}

// One part through the points.
std::vector<unsigned char> MultiRecord(std::uint32_t type, std::uint32_t number,
                                       const std::vector<std::pair<double, double>>& points) {
    const std::size_t size = 8 + 44 + 4 + 16 * points.size();
    std::vector<unsigned char> b(size, 0);
    PutBE32(b, 0, number);
    PutBE32(b, 4, static_cast<std::uint32_t>((size - 8) / 2));
    PutLE32(b, 8, type);
    double minX = points[0].first, minY = points[0].second, maxX = minX, maxY = minY;
    for (const auto& p : points) {
        minX = std::min(minX, p.first);
        minY = std::min(minY, p.second);
        maxX = std::max(maxX, p.first);
        maxY = std::max(maxY, p.second);
    }
    PutF64(b, 12, minX);
    PutF64(b, 20, minY);
    PutF64(b, 28, maxX);
    PutF64(b, 36, maxY);
    PutLE32(b, 44, 1);
    PutLE32(b, 48, static_cast<std::uint32_t>(points.size()));
    PutLE32(b, 52, 0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        PutF64(b, 56 + 16 * i, points[i].first);
        PutF64(b, 64 + 16 * i, points[i].second);
    }
    return b;
}

std::uint32_t RecordCount(std::uint32_t type) { return type == LDR_SHT_Point ? 3 : 2; }

std::vector<unsigned char> MakeRecord(std::uint32_t type, std::uint32_t theme, std::uint32_t number) {
    const double dx = 100.0 * theme + number;
    if (type == LDR_SHT_Point)
        return PointRecord(number, dx, 2.0 * number);
    if (type == LDR_SHT_Polyline)
        return MultiRecord(type, number, {{dx, 0.0}, {dx + 1.0, 1.0}, {dx + 2.0, 0.5}});
    return MultiRecord(type, number, {{dx, 0.0}, {dx + 1.0, 0.0}, {dx + 1.0, 1.0}, {dx, 0.0}});
}

// The records stay put for the life of the module, as the interface asks.
const void* Record(std::uint32_t type, std::uint32_t theme, std::uint32_t n) {
    static std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, std::vector<unsigned char>> records;
    auto key = std::make_tuple(type, theme, n);
    auto it = records.find(key);
    if (it == records.end())
        it = records.emplace(key, MakeRecord(type, theme, n + 1)).first;
    return it->second.data();
}

const void* ExtraRecord(std::uint32_t type, std::uint32_t theme) {
    static std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<unsigned char>> records;
    auto key = std::make_pair(type, theme);
    auto it = records.find(key);
    if (it == records.end())
        it = records.emplace(key, MakeRecord(type, theme, 9)).first;
    return it->second.data();
}

// A polyline whose point count runs past its content length.
const void* DamagedRecord() {
    static std::vector<unsigned char> record = [] {
        std::vector<unsigned char> b = MultiRecord(LDR_SHT_Polyline, 7, {{0.0, 0.0}, {1.0, 1.0}});
        PutLE32(b, 48, 1000);
        return b;
    }();
    return record.data();
}

const void* WrongKindRecord(std::uint32_t type) {
    return type == LDR_SHT_Point ? Record(LDR_SHT_Polygon, 0, 0) : Record(LDR_SHT_Point, 0, 0);
}

std::uint32_t HandleOf(std::uint32_t type, std::uint32_t theme) { return 100 * type + theme + 1; }
std::uint32_t TypeOfHandle(std::uint32_t handle) { return (handle - 1) / 100; }
std::uint32_t ThemeOfHandle(std::uint32_t handle) { return (handle - 1) % 100; }

std::u16string g_LastError;
std::uint32_t g_NextTheme[16];

[[maybe_unused]] bool Supported(std::uint32_t type) {
    const int bit = type == LDR_SHT_Point ? 1 : type == LDR_SHT_Polyline ? 2 : type == LDR_SHT_Polygon ? 4 : 0;
    return (LDR_TEST_TYPES & bit) != 0;
}

// Hands over the theme's records through whichever callback the version uses.
template <typename Deliver> bool DeliverTheme(std::uint32_t type, std::uint32_t theme, Deliver deliver) {
    g_Control.acceptedRecords = 0;
    g_Control.refusedRecords = 0;
    auto count = [](bool accepted) { ++(accepted ? g_Control.acceptedRecords : g_Control.refusedRecords); };
    for (std::uint32_t n = 0; n < RecordCount(type); ++n)
        count(deliver(Record(type, theme, n)));
    if (g_Control.damagedType == type)
        count(deliver(DamagedRecord()));
    if (g_Control.wrongKindType == type)
        count(deliver(WrongKindRecord(type)));
    return true;
}

[[maybe_unused]] std::uint8_t ByKind(LoaderAddShapeByKindFn callback, LoaderHostHandle context, const void* record,
                    std::uint32_t user) {
    const std::uint32_t type = GetLE32(static_cast<const unsigned char*>(record) + 8);
    if (type == LDR_SHT_Point)
        return callback(context, record, nullptr, nullptr, user);
    if (type == LDR_SHT_Polyline)
        return callback(context, nullptr, record, nullptr, user);
    return callback(context, nullptr, nullptr, record, user);
}

[[maybe_unused]] std::string AttributeText(const void* record, std::uint32_t field) {
    if (g_Control.throwInAttributes)
        throw std::runtime_error("attribute");
    if (record == nullptr)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(record);
    const std::uint32_t number = GetBE32(bytes);
    const std::uint32_t type = GetLE32(bytes + 8);
    if (field == 0) {
        const char kind = type == LDR_SHT_Point ? 'P' : type == LDR_SHT_Polyline ? 'L' : 'A';
        std::string text = std::string(1, kind) + std::to_string(number);
        if (type == LDR_SHT_Point && number == 3)
            text += "-longer-name";
        return text;
    }
    return std::to_string(10 * number);
}

[[maybe_unused]] const char* Keep(std::string text) {
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

[[maybe_unused]] void CopyText(LoaderChar* buffer, std::uint32_t size, const std::u16string& text) {
    if (buffer == nullptr || size == 0)
        return;
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n * sizeof(LoaderChar));
    buffer[n] = 0;
}

[[maybe_unused]] std::u16string ThemeName(std::uint32_t type, std::uint32_t theme) {
    const char16_t* kind = type == LDR_SHT_Point ? u"points" : type == LDR_SHT_Polyline ? u"lines" : u"areas";
    return std::u16string(u"test ") + kind + u" " + std::u16string(1, char16_t(u'0' + theme));
}

// The theme number of the next load of a type; a restore does not count.
std::uint32_t NextTheme(std::uint32_t type) { return g_NextTheme[type % 16]++; }

bool FailOrThrow(std::uint32_t type) {
    if (g_Control.throwInLoadType == type)
        throw std::runtime_error("load");
    if (g_Control.failType == type) {
        g_LastError = u"Test failure (last error)";
        return true;
    }
    return false;
}

} // namespace

extern "C" {

LDR_EXPORT LoaderTestControl* LoaderTestGetControl(void) { return &g_Control; }

LDR_EXPORT const void* LoaderTestGetRecord(uint32_t type, uint32_t theme, uint32_t n) {
    return Record(type, theme, n);
}

LDR_EXPORT const LoaderChar* fnGetName(void) {
    static const std::u16string name = [] {
        const std::string narrow = LDR_TEST_NAME;
        return std::u16string(narrow.begin(), narrow.end());
    }();
    return reinterpret_cast<const LoaderChar*>(name.c_str());
}

#if LDR_TEST_VERSION != 0
LDR_EXPORT uint32_t fnVersion(void) { return LDR_TEST_VERSION; }
#endif

#ifndef LDR_TEST_NO_SUPPORTS_TYPE
LDR_EXPORT uint8_t fnSupportsType(uint32_t type) { return Supported(type) ? 1 : 0; }
#endif

LDR_EXPORT uint32_t fnThemeCount(void) { return g_Control.themeCount != 0 ? g_Control.themeCount : 1; }

LDR_EXPORT uint8_t fnPreLoadShapes(void) {
    // Every load command starts counting themes afresh.
    std::memset(g_NextTheme, 0, sizeof g_NextTheme);
    if (g_Control.preLoadFails) {
        g_LastError = u"Pre-load refused";
        return 0;
    }
    return 1;
}

LDR_EXPORT const LoaderChar* fnGetLastErrMsg(void) { return reinterpret_cast<const LoaderChar*>(g_LastError.c_str()); }

#if LDR_TEST_VERSION == 0 || LDR_TEST_VERSION == 1
LDR_EXPORT uint8_t fnLoadShapes(uint32_t type, double, double, double, double, LoaderAddShapeByKindFn callback,
                                LoaderHostHandle context) {
    ++g_Control.loadCalls;
    const std::uint32_t theme = NextTheme(type);
    if (FailOrThrow(type))
        return 0;
    return DeliverTheme(type, theme, [&](const void* r) { return ByKind(callback, context, r, 0) != 0; }) ? 1 : 0;
}
#elif LDR_TEST_VERSION == 2
LDR_EXPORT uint8_t fnLoadShapes(uint32_t type, double, double, double, double, LoaderAddShapeByKindFn callback,
                                LoaderHostHandle context, uint32_t, LoaderChar* name, uint32_t size) {
    ++g_Control.loadCalls;
    const std::uint32_t theme = NextTheme(type);
    if (FailOrThrow(type))
        return 0;
    CopyText(name, size, ThemeName(type, theme));
    return DeliverTheme(type, theme, [&](const void* r) { return ByKind(callback, context, r, 0) != 0; }) ? 1 : 0;
}
#else
LDR_EXPORT uint8_t fnLoadShapes(LoaderLoadRequest* request) {
    ++g_Control.loadCalls;
    const std::uint32_t type = request->shapeType;
    const std::uint32_t theme = NextTheme(type);
    const std::uint32_t handle = HandleOf(type, theme);
    request->handle = handle;
    CopyText(request->nameBuffer, request->nameSize, ThemeName(type, theme));
    if (g_Control.color != 0)
        request->color = g_Control.color;
    if (g_Control.penWidth != 0)
        request->penWidth = g_Control.penWidth;
    if (g_Control.pointSymbol != 0)
        request->pointSymbol = g_Control.pointSymbol;
#if LDR_TEST_VERSION >= 5
    request->placeOnTop = g_Control.placeOnTop;
    request->convertToNative = g_Control.convertToNative;
    request->infoTipTemplate = g_Control.infoTip;
    g_Control.host = request->context;
    g_Control.post = request->postCustomEvent;
    if (g_Control.failType == type) {
        CopyText(request->errorBuffer, request->errorSize, u"Test failure (error buffer)");
        return 0;
    }
    if (FailOrThrow(type))
        return 0;
    return DeliverTheme(type, theme,
                        [&](const void* r) { return request->callback.addShape(request->context, r, handle) != 0; })
               ? 1
               : 0;
#else
    if (FailOrThrow(type))
        return 0;
    return DeliverTheme(type, theme,
                        [&](const void* r) { return ByKind(request->callback.addShapeByKind, request->context, r,
                                                           handle) != 0; })
               ? 1
               : 0;
#endif
}
#endif

LDR_EXPORT void fnRemoveShapes(uint32_t handle) {
    ++g_Control.removeShapesCalls;
    g_Control.lastRemovedHandle = handle;
}

#ifndef LDR_TEST_NO_ATTRIBUTES
LDR_EXPORT uint32_t fnGetAttributeCount(uint32_t first) {
    if (g_Control.throwInAttributes)
        throw std::runtime_error("attribute");
    g_Control.lastFirstArgument = first;
    return 2;
}

LDR_EXPORT const char* fnGetAttributeName(uint32_t first, uint32_t field) {
    if (g_Control.throwInAttributes)
        throw std::runtime_error("attribute");
    g_Control.lastFirstArgument = first;
    return field == 0 ? "NAME" : field == 1 ? "VALUE" : nullptr;
}

LDR_EXPORT uint32_t fnGetAttributeType(uint32_t, uint32_t field) {
    return field == 0 ? (uint32_t(LDR_FT_String) | LDR_FT_PrimaryKey) : uint32_t(LDR_FT_Int);
}

#if LDR_TEST_VERSION >= 5
LDR_EXPORT const char* fnGetAttribute(uint32_t handle, const void* record, uint32_t field) {
    g_Control.lastFirstArgument = handle;
    return Keep(AttributeText(record, field));
}
#elif LDR_TEST_VERSION >= 3
static const char* KindAttribute(uint32_t handle, const void* record, uint32_t field) {
    g_Control.lastFirstArgument = handle;
    return Keep(AttributeText(record, field));
}
LDR_EXPORT const char* fnGetPointAttributes(uint32_t h, const void* r, uint32_t f) { return KindAttribute(h, r, f); }
LDR_EXPORT const char* fnGetArcAttributes(uint32_t h, const void* r, uint32_t f) { return KindAttribute(h, r, f); }
LDR_EXPORT const char* fnGetPolygonAttributes(uint32_t h, const void* r, uint32_t f) {
    return KindAttribute(h, r, f);
}
#else
LDR_EXPORT const char* fnGetPointAttributes(const void* r, uint32_t f) { return Keep(AttributeText(r, f)); }
LDR_EXPORT const char* fnGetArcAttributes(const void* r, uint32_t f) { return Keep(AttributeText(r, f)); }
LDR_EXPORT const char* fnGetPolygonAttributes(const void* r, uint32_t f) { return Keep(AttributeText(r, f)); }
#endif
#endif

LDR_EXPORT int fnHandleCustomEvent(LoaderCustomEventArgs* args) {
    ++g_Control.customEventCalls;
    g_Control.lastCustomCode = args->code;
    g_Control.lastCustomHandle = args->handle;
    const std::uint32_t type = TypeOfHandle(args->handle);
    const std::uint32_t theme = ThemeOfHandle(args->handle);
    switch (g_Control.customAction) {
    case LTA_AddRecord:
        g_Control.lastActionResult = args->addShape(args->host, ExtraRecord(type, theme), args->handle);
        break;
    case LTA_RemoveFirst:
        g_Control.lastActionResult = args->removeShape(args->host, Record(type, theme, 0));
        break;
    case LTA_SelectFirst:
        g_Control.lastActionResult = args->updateShape(args->host, args->handle, Record(type, theme, 0), 1);
        break;
    case LTA_SelectAll:
        g_Control.lastActionResult = args->updateShape(args->host, args->handle, nullptr, 1);
        break;
    case LTA_DeselectFirst:
        g_Control.lastActionResult = args->updateShape(args->host, args->handle, Record(type, theme, 0), 0);
        break;
    case LTA_ClearAll:
        g_Control.lastActionResult = args->updateShape(args->host, args->handle, nullptr, 0);
        break;
    case LTA_AddDamaged:
        g_Control.lastActionResult = args->addShape(args->host, DamagedRecord(), args->handle);
        break;
    default:
        break;
    }
    return g_Control.customAnswer;
}

LDR_EXPORT int fnHandleEvent(LoaderEventArgs* args) {
    ++g_Control.eventCalls;
    g_Control.lastEventState = args->state;
    g_Control.lastEventCount = args->count;
    g_Control.eventRecordsFound = 0;
    g_Control.firstEventRecordNumber = 0;
    for (std::uint32_t n = 0; n <= args->count; ++n) {
        const void* record = nullptr;
        if (args->getRecord(args->host, n, &record) && record != nullptr) {
            if (g_Control.eventRecordsFound == 0)
                g_Control.firstEventRecordNumber = GetBE32(static_cast<const unsigned char*>(record));
            ++g_Control.eventRecordsFound;
        }
    }
    return g_Control.eventAnswer;
}

LDR_EXPORT LoaderCustomMenuItem* fnGetCustomMenu(uint32_t) {
    static LoaderCustomMenuItem items[3] = {
        {nullptr, 3, 0, nullptr},
        {reinterpret_cast<const LoaderChar*>(u"Refresh"), 31001, 1, reinterpret_cast<const LoaderChar*>(u"Reads again")},
        {nullptr, 31002, 0, nullptr}};
    return items;
}

#ifndef LDR_TEST_NO_SERIALIZE
// The block: "TLDR", the shape type, the theme number.
LDR_EXPORT int fnSerialize(LoaderSerializeArgs* args) {
    ++g_Control.serializeCalls[args->mode < 3 ? args->mode : 0];
    switch (args->mode) {
    case LSM_GetSize:
        return 12;
    case LSM_Save: {
        if (g_Control.serializeFails || args->size < 12)
            return 0;
        const std::uint32_t handle = *args->handle;
        const std::uint32_t words[2] = {TypeOfHandle(handle), ThemeOfHandle(handle)};
        std::memcpy(args->buffer, "TLDR", 4);
        std::memcpy(static_cast<char*>(args->buffer) + 4, words, 8);
        return 1;
    }
    case LSM_Restore: {
        if (g_Control.serializeFails || args->size != 12 || std::memcmp(args->buffer, "TLDR", 4) != 0)
            return 0;
        std::uint32_t words[2];
        std::memcpy(words, static_cast<const char*>(args->buffer) + 4, 8);
        const std::uint32_t type = words[0];
        const std::uint32_t theme = words[1];
        *args->handle = HandleOf(type, theme);
        g_Control.restoredRecords = 0;
        for (std::uint32_t n = 0; n < RecordCount(type); ++n) {
            const void* record = Record(type, theme, n);
#if LDR_TEST_VERSION >= 5
            const bool accepted = args->callback.addShape(args->context, record, *args->handle) != 0;
#else
            const bool accepted = ByKind(args->callback.addShapeByKind, args->context, record, *args->handle) != 0;
#endif
            if (accepted)
                ++g_Control.restoredRecords;
        }
        return 1;
    }
    default:
        return 0;
    }
}
#endif

} // extern "C"
