// The GPI operations on a workspace document: its map view, its themes and
// their order, the selected and active themes, its description, its console
// and the plug-in data kept with it.

#include "workspace/gpi/GpiOperations.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiState.h"

#include <algorithm>
#include <memory>

namespace {

// The console debug flag under which plug-ins may print.
constexpr unsigned char kPluginOutputFlag = 4;

const char* const kRemoveThemeQuestion = "A plug-in is trying to remove a theme.\n\nContinue?";
const char* const kSelectThemeCaption = "Select Theme";

bool HoldsTheme(const CCorvaleDoc& document, const CTheme* theme) {
    return std::find(document.m_themes.begin(), document.m_themes.end(), theme) != document.m_themes.end();
}

// The shape types a new theme may have: points, polylines, polygons,
// multipoints and their Z forms.
bool IsNewThemeShapeType(std::uint32_t type) {
    switch (type) {
    case SHT_Point:
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_MultiPoint:
    case SHT_PointZ:
    case SHT_PolylineZ:
    case SHT_PolygonZ: return true;
    default: return false;
    }
}

} // namespace

int GpiOnWorkspaceGetMap(void* args) {
    using Args = GpiWorkspaceGetMapArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        // A document whose view has not been shown yet has no map to hand out.
        const std::uint32_t map = GpiFindMapViewHandle(document);
        if (map == 0)
            return GPIERR_InvalidHandle;
        *block->out = map;
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceGetThemeCount(void* args) {
    using Args = GpiWorkspaceGetThemeCountArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        *block->out = static_cast<std::uint32_t>(document->m_themes.size());
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceGetTheme(void* args) {
    auto* block = static_cast<GpiWorkspaceGetThemeArgs*>(args);
    if (block == nullptr || block->theme == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    if (block->index >= document->m_themes.size())
        return GPIERR_IndexOutOfBounds;
    const std::uint32_t theme = GpiThemeHandle(document->m_themes[block->index]);
    if (theme == 0)
        return GPIERR_InvalidHandle;
    *block->theme = theme;
    return GPIERR_NoError;
}

int GpiOnWorkspaceAddTheme(void* args) {
    auto* block = static_cast<GpiWorkspaceAddThemeArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    // A theme of another type (null, multipatch, an image, a number that is
    // no type at all) could neither be drawn nor take shapes.
    if (!IsNewThemeShapeType(block->shapeType))
        return GPIERR_UnsupportedShapeType;
    CTheme* theme = document->CreateTheme(block->name != nullptr ? block->name : "", block->shapeType);
    // Editable and holding its own attribute table, so that the plug-in can
    // fill it; a multipoint theme stays as created.
    theme->ConvertToNative(true, true);
    document->AddTheme(theme);
    const std::uint32_t handle = GpiThemeHandle(theme);
    if (handle == 0)
        return GPIERR_InvalidHandle;
    if (block->theme != nullptr)
        *block->theme = handle;
    return GPIERR_NoError;
}

int GpiOnWorkspaceGetExtent(void* args) {
    auto* block = static_cast<GpiWorkspaceGetExtentArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CCorvaleDoc* document = GpiWorkspaceFromHandle(block->handle);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    double extent[4] = {0.0, 0.0, 0.0, 0.0};
    document->GetThemesExtent(extent);
    double* const outs[4] = {block->xmin, block->ymin, block->xmax, block->ymax};
    for (int i = 0; i < 4; ++i)
        if (outs[i] != nullptr)
            *outs[i] = extent[i];
    return GPIERR_NoError;
}

int GpiOnWorkspacePrintConsole(void* args) {
    auto* block = static_cast<GpiWorkspacePrintConsoleArgs*>(args);
    if (block == nullptr || block->text == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->handle);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    if ((document->m_debugFlags & kPluginOutputFlag) == 0)
        return GPIERR_NoError;
    document->GetConsole();
    document->PrintConsoleLine(std::string("CV: ") + block->text);
    return GPIERR_NoError;
}

int GpiOnWorkspaceIsActive(void* args) {
    using Args = GpiWorkspaceIsActiveArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        const auto& activeDocument = GpiState().m_Frame.activeDocument;
        *block->out = activeDocument && activeDocument() == document ? 1 : 0;
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceSelectTheme(void* args) {
    auto* block = static_cast<GpiWorkspaceSelectThemeArgs*>(args);
    if (block == nullptr || block->theme == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    const auto& chooseTheme = GpiState().m_Frame.chooseTheme;
    const int position =
        chooseTheme ? chooseTheme(document, block->caption != nullptr ? block->caption : kSelectThemeCaption) : -1;
    std::uint32_t theme = 0;
    if (position >= 0 && static_cast<std::size_t>(position) < document->m_themes.size())
        theme = GpiThemeHandle(document->m_themes[static_cast<std::size_t>(position)]);
    *block->theme = theme;
    return GPIERR_NoError;
}

int GpiOnWorkspaceNotifyChanged(void* args) {
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(GpiHandleOfBlock(args));
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    document->FireUpdateEvent(nullptr, DUE_Refresh, 0);
    return GPIERR_NoError;
}

int GpiOnWorkspaceGetSelectedThemes(void* args) {
    using Args = GpiWorkspaceGetSelectedThemesArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        auto recordset = std::make_unique<GpiRecordset>();
        recordset->m_ElementKind = GPIHANDLE_Theme;
        for (CTheme* theme : document->m_selectedThemes)
            recordset->m_Handles.push_back(GpiThemeHandle(theme));
        const std::uint32_t handle = GpiAddRecordset(std::move(recordset));
        if (handle == 0)
            return GPIERR_OutOfResources;
        *block->out = handle;
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceGetActiveTheme(void* args) {
    using Args = GpiWorkspaceGetActiveThemeArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        *block->out = GpiThemeHandle(document->m_activeTheme);
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceGetDescription(void* args) {
    auto* block = static_cast<GpiWorkspaceGetDescriptionArgs*>(args);
    if (block == nullptr || block->size == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CCorvaleDoc* document = GpiWorkspaceFromHandle(block->handle);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    return GpiStringProtocol(document->m_description, block->buffer, block->size);
}

int GpiOnWorkspaceSetDescription(void* args) {
    auto* block = static_cast<GpiWorkspaceSetDescriptionArgs*>(args);
    if (block == nullptr || block->text == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->handle);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    document->m_description = block->text;
    return GPIERR_NoError;
}

int GpiOnWorkspaceRemoveTheme(void* args) {
    auto* block = static_cast<GpiWorkspaceRemoveThemeArgs*>(args);
    if (block == nullptr || block->removed == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    // A theme of another workspace would be "removed" from this one without
    // leaving it: refused like an unknown one.
    if (theme == nullptr || !HoldsTheme(*document, theme))
        return GPIERR_InvalidHandle;
    std::uint32_t removed = 0;
    if (corvale::UI().ShowMessage(kRemoveThemeQuestion, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::OkCancel) == corvale::IDOK)
        removed = document->RemoveTheme(theme) ? 1 : 0;
    *block->removed = removed;
    return GPIERR_NoError;
}

int GpiOnWorkspaceSetPluginData(void* args) {
    return GpiOnSetPluginData<GpiWorkspaceSetPluginDataArgs>(
        args, GpiWorkspaceFromHandle,
        [](CCorvaleDoc* document, const GpiDataBlock& data) { SetGpiWorkspaceDataBlock(document, data); });
}

int GpiOnWorkspaceClearThemeSelection(void* args) {
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(GpiHandleOfBlock(args));
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    document->ClearThemeSelection();
    return GPIERR_NoError;
}

int GpiOnWorkspaceGetSelectedThemeCount(void* args) {
    using Args = GpiWorkspaceGetSelectedThemeCountArgs;
    return GpiOnOutBlock<Args>(args, GpiWorkspaceFromHandle, [](Args* block, const CCorvaleDoc* document) -> int {
        *block->out = static_cast<std::uint32_t>(document->m_selectedThemes.size());
        return GPIERR_NoError;
    });
}

int GpiOnWorkspaceNewThemeFromSelection(void* args) {
    auto* block = static_cast<GpiWorkspaceNewThemeFromSelectionArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CCorvaleDoc* document = GpiWorkspaceFromHandle(block->workspace);
    if (document == nullptr)
        return GPIERR_InvalidHandle;
    CTheme* source = GpiThemeFromHandle(block->theme);
    // The new theme refers to the source's records: it must live in the
    // same workspace, which deletes them.
    if (source == nullptr || !HoldsTheme(*document, source))
        return GPIERR_InvalidHandle;
    CTheme* theme = document->NewThemeFromSelection(source, block->name, true);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    theme->ConvertToNative(true, true);
    const std::uint32_t handle = GpiThemeHandle(theme);
    if (handle == 0)
        return GPIERR_InvalidHandle;
    if (block->newTheme != nullptr)
        *block->newTheme = handle;
    return GPIERR_NoError;
}
