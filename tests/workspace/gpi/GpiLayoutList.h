/* The sizes and offsets of every record of the plug-in interface, listed once
 * so that a C and a C++ translation unit can compute them side by side: a
 * plug-in written in C must see the records exactly as the host does. */
#ifndef CORVALE_TESTS_GPI_LAYOUT_LIST_H
#define CORVALE_TESTS_GPI_LAYOUT_LIST_H

#include "Gpi.h"

#define GPI_LAYOUT_ITEMS(X)                        \
    X(sizeof(GpiGuid))                             \
    X(offsetof(GpiGuid, Data4))                    \
    X(sizeof(GpiInitInfo))                         \
    X(offsetof(GpiInitInfo, dispatch))             \
    X(offsetof(GpiInitInfo, name))                 \
    X(offsetof(GpiInitInfo, callback))             \
    X(offsetof(GpiInitInfo, pfnSettings))          \
    X(offsetof(GpiInitInfo, reserved))             \
    X(sizeof(GpiHookArgs))                         \
    X(sizeof(GpiHookThemeArgs))                    \
    X(sizeof(GpiHookSelectionArgs))                \
    X(sizeof(GpiHookShapeArgs))                    \
    X(sizeof(GpiGetErrorTextArgs))                 \
    X(offsetof(GpiGetErrorTextArgs, buffer))       \
    X(offsetof(GpiGetErrorTextArgs, size))         \
    X(sizeof(GpiGetWorkspaceArgs))                 \
    X(offsetof(GpiGetWorkspaceArgs, workspace))    \
    X(sizeof(GpiStatusPaneSetTextArgs))            \
    X(offsetof(GpiStatusPaneSetTextArgs, icon))    \
    X(sizeof(GpiStatusPaneCreateArgs))             \
    X(sizeof(GpiProgressCreateArgs))               \
    X(offsetof(GpiProgressCreateArgs, fraction))   \
    X(offsetof(GpiProgressCreateArgs, progress))   \
    X(sizeof(GpiProgressSetPosArgs))               \
    X(sizeof(GpiPluginPostMessageArgs))            \
    X(sizeof(GpiObjectIsValidArgs))                \
    X(offsetof(GpiObjectIsValidArgs, out))         \
    X(sizeof(GpiSetStatusTextArgs))                \
    X(sizeof(GpiHostAllocArgs))                    \
    X(offsetof(GpiHostAllocArgs, out))             \
    X(sizeof(GpiGetHostVersionArgs))               \
    X(offsetof(GpiGetHostVersionArgs, size))       \
    X(sizeof(GpiHookMouseArgs))                    \
    X(offsetof(GpiHookMouseArgs, keyFlags))        \
    X(sizeof(GpiHookToolBarButtonArgs))            \
    X(sizeof(GpiHookCommandItemArgs))              \
    X(sizeof(GpiHookFileOpenArgs))                 \
    X(offsetof(GpiHookFileOpenArgs, path))         \
    X(sizeof(GpiHookDataLoadedArgs))               \
    X(offsetof(GpiHookDataLoadedArgs, size))       \
    X(offsetof(GpiHookDataLoadedArgs, data))       \
    X(sizeof(GpiScriptValue))                      \
    X(offsetof(GpiScriptValue, value))             \
    X(sizeof(GpiHookScriptCallArgs))               \
    X(offsetof(GpiHookScriptCallArgs, name))       \
    X(offsetof(GpiHookScriptCallArgs, inOut))      \
    X(offsetof(GpiHookScriptCallArgs, argumentCount)) \
    X(offsetof(GpiHookScriptCallArgs, arguments))  \
    X(offsetof(GpiHookScriptCallArgs, resultCount)) \
    X(offsetof(GpiHookScriptCallArgs, results))    \
    X(sizeof(GpiRegisterHookArgs))                 \
    X(offsetof(GpiRegisterHookArgs, userData))     \
    X(offsetof(GpiRegisterHookArgs, info))         \
    X(sizeof(GpiUnregisterHookArgs))               \
    X(sizeof(GpiCommandItemInfo))                  \
    X(offsetof(GpiCommandItemInfo, prompt))        \
    X(offsetof(GpiCommandItemInfo, reserved))      \
    X(offsetof(GpiCommandItemInfo, item))          \
    X(sizeof(GpiFileTypeInfo))                     \
    X(sizeof(GpiScriptNamesInfo))                  \
    X(offsetof(GpiScriptNamesInfo, methods))       \
    X(sizeof(GpiHandleOutArgs))                    \
    X(sizeof(GpiHandleValueArgs))                  \
    X(sizeof(GpiHandleTextArgs))                   \
    X(sizeof(GpiHandleStringArgs))                 \
    X(sizeof(GpiHandleBoundsArgs))                 \
    X(sizeof(GpiWorkspaceGetThemeArgs))            \
    X(sizeof(GpiWorkspaceAddThemeArgs))            \
    X(offsetof(GpiWorkspaceAddThemeArgs, theme))   \
    X(sizeof(GpiWorkspaceSelectThemeArgs))         \
    X(sizeof(GpiThemeGetLabelFontArgs))            \
    X(sizeof(GpiThemeGetFieldNameArgs))            \
    X(offsetof(GpiThemeGetFieldNameArgs, size))    \
    X(sizeof(GpiThemeAddFieldArgs))                \
    X(offsetof(GpiThemeAddFieldArgs, defaultValue)) \
    X(sizeof(GpiWorkspaceRemoveThemeArgs))         \
    X(sizeof(GpiBitmap))                           \
    X(sizeof(GpiThemeSetRasterImageArgs))          \
    X(offsetof(GpiThemeSetRasterImageArgs, x1))    \
    X(offsetof(GpiThemeSetRasterImageArgs, name))  \
    X(sizeof(GpiSetPluginDataArgs))                \
    X(offsetof(GpiSetPluginDataArgs, data))        \
    X(sizeof(GpiThemeGetFieldTypeArgs))            \
    X(sizeof(GpiThemeFindFieldArgs))               \
    X(sizeof(GpiWorkspaceNewThemeFromSelectionArgs)) \
    X(sizeof(GpiThemeSetFieldTextArgs))            \
    X(sizeof(GpiHandleIndexOutArgs))               \
    X(sizeof(GpiMapGetClientSizeArgs))             \
    X(sizeof(GpiMapWorldToClientArgs))             \
    X(offsetof(GpiMapWorldToClientArgs, x))        \
    X(offsetof(GpiMapWorldToClientArgs, py))       \
    X(sizeof(GpiMapClientToWorldArgs))             \
    X(offsetof(GpiMapClientToWorldArgs, x))        \
    X(sizeof(GpiThemeAddShapeArgs))                \
    X(sizeof(GpiThemeUpdateShapeArgs))             \
    X(sizeof(GpiThemeShapeOutArgs))                \
    X(sizeof(GpiShapeGetInfoTipTextArgs))          \
    X(sizeof(GpiThemeQueryArgs))                   \
    X(sizeof(GpiShapeGetAttributeArgs))            \
    X(offsetof(GpiShapeGetAttributeArgs, buffer))  \
    X(sizeof(GpiShapeGetRecordArgs))               \
    X(sizeof(GpiMapCenterAtArgs))                  \
    X(sizeof(GpiMapZoomArgs))                      \
    X(sizeof(GpiThemeQueryRectangleArgs))          \
    X(offsetof(GpiThemeQueryRectangleArgs, intersect)) \
    X(offsetof(GpiThemeQueryRectangleArgs, recordset)) \
    X(sizeof(GpiShapeSetAttributeArgs))            \
    X(sizeof(GpiWorkspaceCreateScriptArgs))        \
    X(sizeof(GpiShapeSetAttributesArgs))           \
    X(sizeof(GpiShapeGetPointArgs))                \
    X(offsetof(GpiShapeGetPointArgs, z))           \
    X(sizeof(GpiShapeGetNearestPointArgs))         \
    X(sizeof(GpiShapeSetAttributeDoubleArgs))      \
    X(offsetof(GpiShapeSetAttributeDoubleArgs, value)) \
    X(sizeof(GpiThemeAddPointArgs))                \
    X(offsetof(GpiThemeAddPointArgs, shape))       \
    X(sizeof(GpiThemeAddShapeWktArgs))             \
    X(sizeof(GpiThemeAddShapeWkbArgs))             \
    X(offsetof(GpiThemeAddShapeWkbArgs, shape))    \
    X(sizeof(GpiThemeUpdateBatchReserveArgs))      \
    X(sizeof(GpiMapGetWindowArgs))                 \
    X(sizeof(GpiRenderTarget))                     \
    X(offsetof(GpiMapRenderArgs, centerX))         \
    X(sizeof(GpiMapRenderArgs))                    \
    X(sizeof(GpiToolBarButtonDesc))                \
    X(sizeof(GpiToolBarDesc))                      \
    X(sizeof(GpiToolBarCreateArgs))                \
    X(sizeof(GpiToolPaneCreateArgs))               \
    X(sizeof(GpiToolPaneGetWindowArgs))

#endif
