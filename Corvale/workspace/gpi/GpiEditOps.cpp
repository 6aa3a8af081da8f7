// The operations that add shapes to an editable theme (as a record, a point,
// WKT or WKB) and the update batches. Inside a batch a theme's per-shape work
// (spatial hash, style rules, the refresh event) is left out and done once
// when the batch ends, so that a plug-in can add many shapes quickly.

#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include "core/Theme.h"
#include "formats/WktText.h"
#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool InBatch(std::uint32_t theme) {
    const auto& list = GpiState().m_BatchList;
    return std::find(list.begin(), list.end(), theme) != list.end();
}

// Tells the theme's document that the theme's data changed.
void Refresh(CTheme* theme) {
    CCorvaleDoc* document = GpiDocumentOfTheme(theme);
    if (document != nullptr)
        document->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

std::uint32_t ReadBE32(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

// Whether a plug-in's record is whole before the theme copies it: the
// content length in its header is the only word on how many bytes the
// plug-in handed over, so the counts must fit it and the size they give
// must be what it says (in bytes, as this program's builders write it, or in
// 16-bit words, as a shape file does); part starts must increase and stay
// below the point count.
bool IsWholeRecord(const void* record) {
    const auto* bytes = static_cast<const unsigned char*>(record);
    const std::uint64_t content = ReadBE32(bytes + 4);
    const std::uint64_t declared = 8 + 2 * content;
    std::size_t size = 0;
    if (!CheckShapeRecordBytes(bytes, declared, size))
        return false;
    return size == 8 + content || size == declared;
}

// Answers the shape handle of an added record in the optional out word.
int Added(CTheme* theme, std::uint32_t themeHandle, CShapeRecord* added, std::uint32_t* out) {
    if (!InBatch(themeHandle))
        Refresh(theme);
    if (out != nullptr) {
        const std::uint32_t handle = GpiShapeHandle(added);
        if (handle == 0)
            return GPIERR_OutOfResources;
        *out = handle;
    }
    return GPIERR_NoError;
}

// Ops 137 and 138 once the record is parsed: the theme takes it over.
int AddParsed(CTheme* theme, std::uint32_t themeHandle, CShapeRecord* record, std::uint32_t* out) {
    if (record == nullptr)
        return GPIERR_OutOfResources;
    const bool immediate = !InBatch(themeHandle);
    CShapeRecord* added = theme->AddShape(record, immediate, immediate, true);
    if (added == nullptr) {
        FreeShapeRecord(record);
        return GPIERR_OutOfResources;
    }
    return Added(theme, themeHandle, added, out);
}

int UpdateBatch(std::uint32_t identity, std::uint32_t themeHandle, std::uint32_t end, const std::uint32_t* reserve) {
    CTheme* theme = GpiThemeFromHandle(themeHandle);
    if (theme == nullptr || !GpiIsPluginIdentity(identity))
        return GPIERR_InvalidHandle;
    auto& list = GpiState().m_BatchList;
    if (end == 0) {
        if (!InBatch(themeHandle))
            list.push_back(themeHandle);
        if (reserve != nullptr)
            theme->ReserveShapes(static_cast<int>(std::min<std::uint32_t>(*reserve, 0x7FFFFFFF)));
        return GPIERR_NoError;
    }
    const auto it = std::find(list.begin(), list.end(), themeHandle);
    if (it == list.end())
        return GPIERR_NoError;
    list.erase(it);
    theme->BuildSpatialIndex();
    theme->ApplyStyleRulesToAll();
    Refresh(theme);
    return GPIERR_NoError;
}

} // namespace

int GpiOnThemeAddShape(void* args) {
    auto* block = static_cast<GpiThemeAddShapeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (block->record == nullptr)
        return GPIERR_IllegalParameter;
    const std::uint32_t themeType = theme->m_ShapeType;
    // Null, multipoint and image themes take no records: refused rather than
    // answering success with nothing added.
    if (themeType == SHT_Image || themeType == SHT_Null || themeType == SHT_MultiPoint)
        return GPIERR_UnsupportedShapeType;
    if (!theme->m_Editable)
        return GPIERR_PermissionDenied;
    std::uint32_t recordType = 0;
    std::memcpy(&recordType, static_cast<const unsigned char*>(block->record) + 8, sizeof recordType);
    if (!AreShapeTypesCompatible(themeType, recordType))
        return GPIERR_UnexpectedShapeType;
    if (!IsWholeRecord(block->record))
        return GPIERR_IllegalParameter;
    const bool immediate = !InBatch(block->theme);
    auto* record = const_cast<CShapeRecord*>(CShapeRecord::FromBytes(block->record));
    CShapeRecord* added = nullptr;
    if (CShapeRecord::IsPointType(recordType))
        added = theme->AddPoint(record, immediate, immediate, false);
    else if (CShapeRecord::IsPolylineType(recordType))
        added = theme->AddArc(record, immediate, immediate, false);
    else
        added = theme->AddPolygon(record, immediate, immediate, false);
    if (added == nullptr)
        return GPIERR_OutOfResources;
    return Added(theme, block->theme, added, block->shape);
}

int GpiOnThemeAddPoint(void* args) {
    auto* block = static_cast<GpiThemeAddPointArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (!CShapeRecord::IsPointType(theme->m_ShapeType))
        return GPIERR_UnsupportedShapeType;
    if (!theme->m_Editable)
        return GPIERR_PermissionDenied;
    const bool immediate = !InBatch(block->theme);
    CShapeRecord* added = theme->AddPointAt(immediate, immediate, block->x, block->y);
    if (added == nullptr)
        return GPIERR_OutOfResources;
    return Added(theme, block->theme, added, block->shape);
}

int GpiOnThemeAddShapeWkt(void* args) {
    auto* block = static_cast<GpiThemeAddShapeWktArgs*>(args);
    if (block == nullptr || block->wkt == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    const std::uint32_t type = GetWktShapeType(block->wkt);
    if (type == 0 || !AreShapeTypesCompatible(type, theme->m_ShapeType))
        return GPIERR_UnexpectedShapeType;
    if (!theme->m_Editable)
        return GPIERR_PermissionDenied;
    // Two entries are enough to tell a text of more than one geometry.
    std::vector<CShapeRecord*> records;
    const bool parsed = ParseWkt(block->wkt, records, type, 2);
    if (!parsed || records.size() != 1) {
        DeleteShapeRecords(records);
        return GPIERR_OutOfResources;
    }
    return AddParsed(theme, block->theme, records[0], block->shape);
}

int GpiOnThemeAddShapeWkb(void* args) {
    auto* block = static_cast<GpiThemeAddShapeWkbArgs*>(args);
    if (block == nullptr || block->wkb == nullptr || block->size == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    const auto* bytes = static_cast<const unsigned char*>(block->wkb);
    const std::uint32_t type = block->size >= 5 ? GetWkbShapeType(bytes) : 0;
    if (type == 0 || !AreShapeTypesCompatible(type, theme->m_ShapeType))
        return GPIERR_UnexpectedShapeType;
    if (!theme->m_Editable)
        return GPIERR_PermissionDenied;
    return AddParsed(theme, block->theme, ParseWkb(bytes, block->size), block->shape);
}

int GpiOnThemeUpdateBatch(void* args) {
    auto* block = static_cast<GpiThemeUpdateBatchArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    return UpdateBatch(block->first, block->second, block->value, nullptr);
}

int GpiOnThemeUpdateBatchReserve(void* args) {
    auto* block = static_cast<GpiThemeUpdateBatchReserveArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    return UpdateBatch(block->identity, block->theme, block->end, &block->count);
}

int GpiOnThemeUpdateShape(void* args) {
    auto* block = static_cast<GpiThemeUpdateShapeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    CShapeRecord* old = GpiShapeFromHandle(block->shape);
    if (old == nullptr)
        return GPIERR_InvalidHandle;
    if (block->record == nullptr || !IsWholeRecord(block->record))
        return GPIERR_IllegalParameter;
    if (theme->ReplaceShape(CShapeRecord::FromBytes(block->record), old) == nullptr)
        return GPIERR_IllegalParameter;
    Refresh(theme);
    return GPIERR_NoError;
}

int GpiOnThemeDeleteShape(void* args) {
    auto* block = static_cast<GpiThemeDeleteShapeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->first);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    CShapeRecord* record = GpiShapeFromHandle(block->second);
    if (record == nullptr)
        return GPIERR_InvalidHandle;
    // The theme's edit hooks tell the plug-ins and drop the shape's handle.
    if (!theme->DeleteShape(record))
        return GPIERR_IllegalParameter;
    Refresh(theme);
    return GPIERR_NoError;
}

namespace {

// Ops 71, 134 and 135: one field of a shape of the theme.
int SetAttribute(std::uint32_t shapeHandle, std::uint32_t themeHandle, std::uint32_t field, const char* value) {
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(themeHandle, shapeHandle, theme, record))
        return GPIERR_InvalidHandle;
    if (field >= theme->GetAttributeCount())
        return GPIERR_IndexOutOfBounds;
    if (value == nullptr)
        return GPIERR_IllegalParameter;
    theme->SetAttributeText(GetShapeRecordIndex(record), static_cast<int>(field), value, !InBatch(themeHandle));
    return GPIERR_NoError;
}

} // namespace

int GpiOnShapeSetAttribute(void* args) {
    auto* block = static_cast<GpiShapeSetAttributeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    return SetAttribute(block->shape, block->theme, block->field, block->value);
}

int GpiOnShapeSetAttributeInt(void* args) {
    auto* block = static_cast<GpiShapeSetAttributeIntArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    return SetAttribute(block->shape, block->theme, block->field, std::to_string(block->value).c_str());
}

int GpiOnShapeSetAttributeDouble(void* args) {
    auto* block = static_cast<GpiShapeSetAttributeDoubleArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    // Six decimals: 2.5 is stored as 2.500000.
    char text[512];
    std::snprintf(text, sizeof text, "%f", block->value);
    return SetAttribute(block->shape, block->theme, block->field, text);
}

int GpiOnShapeSetAttributes(void* args) {
    auto* block = static_cast<GpiShapeSetAttributesArgs*>(args);
    if (block == nullptr || block->values == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(block->theme, block->shape, theme, record))
        return GPIERR_InvalidHandle;
    if (block->count > theme->GetAttributeCount())
        return GPIERR_IndexOutOfBounds;
    const bool restyle = !InBatch(block->theme);
    const int shapeIndex = GetShapeRecordIndex(record);
    // Null entries leave their field as it is.
    for (std::uint32_t i = 0; i < block->count; ++i)
        if (block->values[i] != nullptr)
            theme->SetAttributeText(shapeIndex, static_cast<int>(i), block->values[i], restyle);
    return GPIERR_NoError;
}
