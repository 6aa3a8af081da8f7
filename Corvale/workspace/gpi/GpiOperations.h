#pragma once
// The handlers of the GPI operations on workspaces and on themes as a whole,
// for the dispatcher's table. Each takes the operation's argument block as
// GpiHostDispatch received it and answers a GPIERR_* code.
//
// Every handler checks in one order: a null block, then a null required
// pointer (GPIERR_IllegalParameter); then, under the plug-in lock, each
// handle in block order, each looked up in its own table only
// (GPIERR_InvalidHandle); then the values. The first failing check decides
// and nothing changes; out words are written only on success.

#include "Gpi.h"
#include "core/GpiDataBlock.h"
#include "workspace/gpi/GpiState.h"

#include <cstdint>

class CShapeRecord;
class CTheme;

// A handle passed as the argument itself rather than in a block.
inline std::uint32_t GpiHandleOfBlock(void* args) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(args));
}

// The checks of an operation whose block holds one `handle` and one required
// pointer, `out`: a null block or out answers GPIERR_IllegalParameter; then,
// under the plug-in lock, `find` looks the handle up and an unknown one
// answers GPIERR_InvalidHandle; otherwise `body(block, object)` answers, both
// pointers non-null, still under the lock.
template <typename Args, typename Object, typename Body>
int GpiOnOutBlock(void* args, Object* (*find)(std::uint32_t), Body body) {
    auto* block = static_cast<Args*>(args);
    if (block == nullptr || block->out == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    Object* object = find(block->handle);
    if (object == nullptr)
        return GPIERR_InvalidHandle;
    return body(block, object);
}

// A plug-in's data for a workspace or a theme (`store(object, data)` keeps
// it), with the checks both share: a null block answers
// GPIERR_IllegalParameter; under the plug-in lock a handle of 0, an identity
// that is no plug-in's, or a handle `find` does not know answer
// GPIERR_InvalidHandle; a size without data answers GPIERR_IllegalParameter.
template <typename Args, typename Object, typename Store>
int GpiOnSetPluginData(void* args, Object* (*find)(std::uint32_t), Store store) {
    auto* block = static_cast<Args*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    if (block->handle == 0)
        return GPIERR_InvalidHandle;
    const char* guidText = GetGpiPluginGuidText(block->identity);
    if (guidText == nullptr)
        return GPIERR_InvalidHandle;
    Object* object = find(block->handle);
    if (object == nullptr)
        return GPIERR_InvalidHandle;
    if (block->size != 0 && block->data == nullptr)
        return GPIERR_IllegalParameter;
    GpiDataBlock data;
    data.m_PluginName = guidText;
    const auto* bytes = static_cast<const unsigned char*>(block->data);
    data.m_Data.assign(bytes, bytes + block->size);
    store(object, data);
    return GPIERR_NoError;
}

// Workspaces (GpiWorkspaceOps.cpp).
int GpiOnWorkspaceGetMap(void* args);
int GpiOnWorkspaceGetThemeCount(void* args);
int GpiOnWorkspaceGetTheme(void* args);
int GpiOnWorkspaceAddTheme(void* args);
int GpiOnWorkspaceGetExtent(void* args);
int GpiOnWorkspacePrintConsole(void* args);
int GpiOnWorkspaceIsActive(void* args);
int GpiOnWorkspaceSelectTheme(void* args);
int GpiOnWorkspaceNotifyChanged(void* args);
int GpiOnWorkspaceGetSelectedThemes(void* args);
int GpiOnWorkspaceGetActiveTheme(void* args);
int GpiOnWorkspaceGetDescription(void* args);
int GpiOnWorkspaceSetDescription(void* args);
int GpiOnWorkspaceRemoveTheme(void* args);
int GpiOnWorkspaceSetPluginData(void* args);
int GpiOnWorkspaceClearThemeSelection(void* args);
int GpiOnWorkspaceGetSelectedThemeCount(void* args);
int GpiOnWorkspaceNewThemeFromSelection(void* args);

// Themes as a whole: properties, fields and the default style
// (GpiThemeOps.cpp).
int GpiOnThemeIsSelected(void* args);
int GpiOnThemeIsReadOnly(void* args);
int GpiOnThemeGetName(void* args);
int GpiOnThemeSetName(void* args);
int GpiOnThemeGetFieldCount(void* args);
int GpiOnThemeGetShapeType(void* args);
int GpiOnThemeGetBounds(void* args);
int GpiOnThemeRecalcBounds(void* args);
int GpiOnThemeGetLabelFont(void* args);
int GpiOnThemeGetFieldName(void* args);
int GpiOnThemeGetWorkspace(void* args);
int GpiOnThemeIsVisible(void* args);
int GpiOnThemeAddField(void* args);
int GpiOnThemeDeleteField(void* args);
int GpiOnThemeGetComment(void* args);
int GpiOnThemeSetComment(void* args);
int GpiOnThemeGetColor(void* args);
int GpiOnThemeSetColor(void* args);
int GpiOnThemeGetBaseColor(void* args);
int GpiOnThemeSetBaseColor(void* args);
int GpiOnThemeGetLineWidth(void* args);
int GpiOnThemeSetLineWidth(void* args);
int GpiOnThemeSetRasterImage(void* args);
int GpiOnThemeSetPluginData(void* args);
int GpiOnThemeSetSelected(void* args);
int GpiOnThemeGetFieldType(void* args);
int GpiOnThemeFindField(void* args);
int GpiOnThemeGetPenStyle(void* args);
int GpiOnThemeSetPenStyle(void* args);
int GpiOnThemeSetFieldText(void* args);

// Walking a theme's shapes, reading one shape, and the selection as counts
// and recordsets (GpiShapeOps.cpp). Operations on one shape that name no
// theme (the record reads) check the shape handle before a null out pointer.
int GpiOnThemeGetShapeCount(void* args);
int GpiOnThemeGetShape(void* args);
int GpiOnThemeGetSelectionCount(void* args);
int GpiOnThemeGetSelection(void* args);
int GpiOnShapeGetType(void* args);
int GpiOnShapeGetBounds(void* args);
int GpiOnShapeGetRecord(void* args);
int GpiOnShapeGetPartCount(void* args);
int GpiOnShapeGetPartPointCount(void* args);
int GpiOnShapeGetPoint(void* args);
int GpiOnShapeGetNearestPoint(void* args);

// The selection shape by shape, finding a shape by its shape index, and a
// shape's texts (GpiSelectionOps.cpp). Those that name a theme and a shape
// answer Invalid handle for a shape that is not the theme's.
int GpiOnThemeFindShape(void* args);
// The theme and the shape of a block that names both; false (the operation
// answers Invalid handle) when either is unknown or the shape is another
// theme's. Callers hold the lock.
bool GpiFindThemeShape(std::uint32_t themeHandle, std::uint32_t shapeHandle, CTheme*& theme, CShapeRecord*& record);
int GpiOnShapeIsSelected(void* args);
int GpiOnShapeSelect(void* args);
int GpiOnShapeGetAttribute(void* args);
int GpiOnShapeGetInfoTipText(void* args);
int GpiOnThemeClearSelection(void* args);
int GpiOnThemeInvertSelection(void* args);

// The queries that answer with a recordset of shapes (GpiQueryOps.cpp).
int GpiOnThemeQuery(void* args);
int GpiOnThemeQueryIntersecting(void* args);
int GpiOnThemeQueryRectangle(void* args);
int GpiOnThemeQuerySelectedRectangle(void* args);

// The recordset cursor, value, count and close (GpiRecordsetOps.cpp).
int GpiOnRecordsetMoveNext(void* args);
int GpiOnRecordsetMovePrevious(void* args);
int GpiOnRecordsetMoveFirst(void* args);
int GpiOnRecordsetMoveLast(void* args);
int GpiOnRecordsetGetValue(void* args);
int GpiOnRecordsetIsEOF(void* args);
int GpiOnRecordsetIsBOF(void* args);
int GpiOnRecordsetClose(void* args);
int GpiOnRecordsetGetCount(void* args);

// Adding shapes and the update batches (GpiEditOps.cpp).
int GpiOnThemeAddShape(void* args);
int GpiOnThemeAddPoint(void* args);
int GpiOnThemeAddShapeWkt(void* args);
int GpiOnThemeAddShapeWkb(void* args);
int GpiOnThemeUpdateBatch(void* args);
int GpiOnThemeUpdateBatchReserve(void* args);
int GpiOnThemeUpdateShape(void* args);
int GpiOnThemeDeleteShape(void* args);
int GpiOnShapeSetAttribute(void* args);
int GpiOnShapeSetAttributes(void* args);
int GpiOnShapeSetAttributeInt(void* args);
int GpiOnShapeSetAttributeDouble(void* args);

// The map view: conversions, window, repainting, zoom and the map tool
// (GpiMapOps.cpp).
int GpiOnMapGetClientExtent(void* args);
int GpiOnMapGetClientSize(void* args);
int GpiOnMapWorldToClient(void* args);
int GpiOnMapClientToWorld(void* args);
int GpiOnMapGetWindow(void* args);
int GpiOnMapRedraw(void* args);
int GpiOnMapRender(void* args);
int GpiOnMapCenterAt(void* args);
int GpiOnMapZoom(void* args);
int GpiOnMapZoomToSelection(void* args);
int GpiOnMapZoomToTheme(void* args);
int GpiOnMapGetTool(void* args);
int GpiOnMapSetTool(void* args);

// Plug-in toolbars, command items, tool panes and workspace scripts
// (GpiInterfaceOps.cpp).
int GpiOnToolBarCreate(void* args);
int GpiOnToolBarGetButtonCount(void* args);
int GpiOnToolBarEnableButton(void* args);
int GpiOnToolBarCheckButton(void* args);
int GpiOnToolBarGetState(void* args);
int GpiOnCommandItemEnable(void* args);
int GpiOnToolPaneCreate(void* args);
int GpiOnToolPaneRelease(void* args);
int GpiOnToolPaneGetWindow(void* args);
int GpiOnToolPaneQuery(void* args);
int GpiOnWorkspaceCreateScript(void* args);
int GpiOnScriptRun(void* args);
int GpiOnScriptCallFunction(void* args);
int GpiOnScriptDestroy(void* args);
