/*
 * Drawing.h: the binary interface between Corvale and its drawing plug-ins
 * (.ise shared objects), which draw the map's shapes in a style of their own.
 *
 * A drawing plug-in exports plain C functions with the names below
 * (ISE_ENTRY_*), looked up by name when the module is bound. fnGetName,
 * fnDrawShape, fnPreDrawLayer, fnInitializeSession and fnVersion are
 * required; the others may be left out.
 *
 * The host binds drawing plug-ins only to list them in its options: it checks
 * the entries and the interface version, shows the name, version and
 * information text, and opens the settings dialog. It calls none of the
 * drawing or session entries, so their argument lists are the plug-in's
 * business; the header names them so that both sides spell them alike.
 *
 * Rules both sides keep:
 * - Display texts (name, description, information page) are UTF-16
 *   (DrawingChar), zero-terminated, and stay valid until the module is freed.
 *   An information text that begins with "<HTML>" is shown as a page.
 * - Entries catch every exception: none may unwind into the host (which
 *   guards every call all the same).
 *
 * Usable from C and C++.
 */
#ifndef CORVALE_SDK_DRAWING_H
#define CORVALE_SDK_DRAWING_H

#include <stdint.h>

#ifdef __cplusplus
#define ISE_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define ISE_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* Marks a drawing plug-in's exported entries. */
#if defined(__GNUC__)
#define ISE_EXPORT __attribute__((visibility("default")))
#else
#define ISE_EXPORT
#endif

/* One UTF-16 code unit. */
typedef uint16_t DrawingChar;

/* Interface versions the host accepts: 1 to PIV_DrawingMax. */
enum DrawingInterfaceVersion {
    PIV_DrawingFirst = 1,
    PIV_DrawingMax = 2
};

/* Entries, in the order the host looks them up. */
#define ISE_ENTRY_GET_NAME "fnGetName"                     /* required */
#define ISE_ENTRY_GET_DESCRIPTION "fnGetDescription"
#define ISE_ENTRY_DRAW_BACKGROUND "fnDrawBackground"
#define ISE_ENTRY_DRAW_SHAPE "fnDrawShape"                 /* required */
#define ISE_ENTRY_PRE_DRAW_LAYER "fnPreDrawLayer"          /* required */
#define ISE_ENTRY_POST_DRAW_LAYER "fnPostDrawLayer"
#define ISE_ENTRY_POST_DRAW "fnPostDraw"
#define ISE_ENTRY_INITIALIZE_SESSION "fnInitializeSession" /* required */
#define ISE_ENTRY_CLOSE_SESSION "fnCloseSession"
#define ISE_ENTRY_VERSION "fnVersion"                      /* required */
#define ISE_ENTRY_GET_INFO "fnGetInfo"
#define ISE_ENTRY_SETTINGS "fnSettings"

/* The entries the host calls. */
typedef const DrawingChar* (*DrawingGetNameFn)(void);
typedef const DrawingChar* (*DrawingGetDescriptionFn)(void);
typedef uint32_t (*DrawingVersionFn)(void);
typedef const DrawingChar* (*DrawingGetInfoFn)(void);
typedef void (*DrawingSettingsFn)(void);

ISE_STATIC_ASSERT(sizeof(DrawingChar) == 2, "UTF-16 code units");
ISE_STATIC_ASSERT(sizeof(uint32_t) == 4, "the version is a 32-bit word");
ISE_STATIC_ASSERT(sizeof(DrawingVersionFn) == sizeof(void*), "entries are pointer-sized");

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CORVALE_SDK_DRAWING_H */
