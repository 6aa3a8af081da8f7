// The operations that read and change a theme's selection shape by shape, find
// a shape by its shape index, and read a shape's attribute and info-tip texts.
// Those that name a theme and a shape refuse a shape that is not the theme's:
// the theme's rows and selection are keyed by shape index, and another
// theme's shape index would read or select an unrelated row.

#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiOperations.h"
#include "workspace/gpi/GpiState.h"

#include "core/Theme.h"
#include "framework/Messages.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/ViewMessages.h"

#include <algorithm>
#include <cstdint>

namespace {

// Whether the theme holds the record among all its shapes, filtered-out ones
// included. The usual case, a record at its own shape index in the list of
// its kind, is answered without a search.
bool ThemeHoldsShape(const CTheme& theme, const CShapeRecord* record) {
    const int shapeIndex = GetShapeRecordIndex(record);
    for (const auto* list : {&theme.m_Points, &theme.m_Arcs, &theme.m_Polygons}) {
        if (shapeIndex >= 0 && static_cast<std::size_t>(shapeIndex) < list->size() &&
            (*list)[static_cast<std::size_t>(shapeIndex)] == record)
            return true;
    }
    for (const auto* list : {&theme.m_Points, &theme.m_Arcs, &theme.m_Polygons})
        if (std::find(list->begin(), list->end(), record) != list->end())
            return true;
    return false;
}

} // namespace

bool GpiFindThemeShape(std::uint32_t themeHandle, std::uint32_t shapeHandle, CTheme*& theme, CShapeRecord*& record) {
    theme = GpiThemeFromHandle(themeHandle);
    if (theme == nullptr)
        return false;
    record = GpiShapeFromHandle(shapeHandle);
    return record != nullptr && ThemeHoldsShape(*theme, record);
}

int GpiOnThemeFindShape(void* args) {
    using Args = GpiThemeFindShapeArgs;
    return GpiOnOutBlock<Args>(args, GpiThemeFromHandle, [](Args* block, CTheme* theme) -> int {
        const int position = block->index > 0x7FFFFFFFu ? -1 : theme->GetShapePosition(static_cast<int>(block->index));
        if (position < 0)
            return GPIERR_IndexOutOfBounds;
        const std::uint32_t handle = GpiShapeHandle(theme->GetShape(position));
        if (handle == 0)
            return GPIERR_InvalidHandle;
        *block->out = handle;
        return GPIERR_NoError;
    });
}

int GpiOnShapeIsSelected(void* args) {
    auto* block = static_cast<GpiShapeIsSelectedArgs*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    // Block order: shape, then theme; the theme is looked up first.
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(block->second, block->first, theme, record))
        return GPIERR_InvalidHandle;
    *block->out = theme->m_Selection.count(GetShapeRecordIndex(record)) != 0 ? 1 : 0;
    return GPIERR_NoError;
}

int GpiOnShapeSelect(void* args) {
    auto* block = static_cast<GpiShapeSelectArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(block->second, block->first, theme, record))
        return GPIERR_InvalidHandle;
    const int shapeIndex = GetShapeRecordIndex(record);
    if (block->value != 0) {
        const int width = theme->IsPointTheme() ? 3 : theme->m_LineWidth;
        theme->AddToSelection(shapeIndex, theme->GetShapePosition(shapeIndex), width,
                              CAppSettings::GetInstance()->m_ColorSelection);
    } else {
        theme->RemoveFromSelection(shapeIndex);
    }
    // The message carries the theme's handle, never its pointer: the theme
    // may be gone by the time the view takes the message.
    const CCorvaleDoc* document = GpiDocumentOfTheme(theme);
    if (document != nullptr && document->m_mapView != nullptr)
        PostMessage(document->m_mapView, WM_THEME_SELECTION_CHANGED, 0, static_cast<std::intptr_t>(block->second));
    return GPIERR_NoError;
}

int GpiOnShapeGetAttribute(void* args) {
    auto* block = static_cast<GpiShapeGetAttributeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(block->theme, block->shape, theme, record))
        return GPIERR_InvalidHandle;
    if (block->field >= theme->GetAttributeCount())
        return GPIERR_IndexOutOfBounds;
    if (block->size == nullptr)
        return GPIERR_IllegalParameter;
    return GpiStringProtocol(theme->GetAttributeText(GetShapeRecordIndex(record), static_cast<int>(block->field)),
                             block->buffer, block->size);
}

int GpiOnShapeGetInfoTipText(void* args) {
    auto* block = static_cast<GpiShapeGetInfoTipTextArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = nullptr;
    CShapeRecord* record = nullptr;
    if (!GpiFindThemeShape(block->theme, block->shape, theme, record))
        return GPIERR_InvalidHandle;
    if (block->size == nullptr)
        return GPIERR_IllegalParameter;
    // A filtered-out shape has no place in the visible list to expand the
    // template for.
    const int position = theme->GetShapePosition(GetShapeRecordIndex(record));
    if (position < 0)
        return GPIERR_IndexOutOfBounds;
    return GpiStringProtocol(theme->GetInfoTipText(position), block->buffer, block->size);
}

int GpiOnThemeClearSelection(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    theme->ClearSelection();
    return GPIERR_NoError;
}

int GpiOnThemeInvertSelection(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    theme->InvertSelectionWithDefaultColour();
    return GPIERR_NoError;
}
