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
    X(offsetof(GpiGetHostVersionArgs, size))

#endif
