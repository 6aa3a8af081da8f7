/*
 * Loader.h: the binary interface between Corvale and its loader plug-ins
 * (.ldr shared objects), which hand the program the shapes of a data source
 * it cannot read itself.
 *
 * A loader exports plain C functions with the names below (LDR_ENTRY_*),
 * looked up by name when the module is bound. fnGetName, fnLoadShapes and
 * fnSupportsType are required; the others may be left out.
 *
 * Rules both sides keep:
 * - Every host object a loader sees is a 32-bit handle (LoaderHostHandle):
 *   the loader passes it back, unchanged, as the first argument of the host
 *   callbacks. A handle whose binding is gone is refused, never followed.
 * - A loader's own handle word (the one it sets in LoaderLoadRequest and gets
 *   back in the attribute, event and serialise entries) is a 32-bit value of
 *   its choosing.
 * - Argument records are C structs of natural alignment: 32-bit words for
 *   handles and integers, pointer-sized fields for pointers, 8-byte alignment
 *   for doubles. The layouts below are checked at compile time for 32-bit
 *   and 64-bit builds. Records belong to the caller and live for the call.
 * - Display texts (names, error texts, menus, the information page) are
 *   UTF-16 (LoaderChar), zero-terminated. Attribute names and values are
 *   narrow (8-bit) texts. Texts a loader returns must stay valid until its
 *   next call.
 * - Shape records are handed as pointers to the bytes of one .shp record,
 *   8-byte record header (big-endian record number and content length in
 *   16-bit words) included. They stay the loader's: they must live until the
 *   loader hears fnRemoveShapes or removes them. The host checks every record
 *   (its content length, counts, part starts and coordinates) and refuses a
 *   broken one.
 * - Entries catch every exception: none may unwind into the host (which
 *   guards every call all the same and drops a loader that throws).
 *
 * Usable from C and C++.
 */
#ifndef CORVALE_SDK_LOADER_H
#define CORVALE_SDK_LOADER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define LDR_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define LDR_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

#ifdef __cplusplus
#define LDR_ALIGN8 alignas(8)
#else
#define LDR_ALIGN8 _Alignas(8)
#endif

/* Marks a loader's exported entries. */
#if defined(__GNUC__)
#define LDR_EXPORT __attribute__((visibility("default")))
#else
#define LDR_EXPORT
#endif

/* One UTF-16 code unit. */
typedef uint16_t LoaderChar;
/* A host object as the loader holds it. */
typedef uint32_t LoaderHostHandle;

/* Interface versions. */
enum LoaderInterfaceVersion {
    PIV_LoaderFirst = 1,         /* fnLoadShapes(type, extent..., callback, context) */
    PIV_LoaderNameBuffer = 2,    /* ... plus caller word and a name buffer */
    PIV_LoaderRequestRecord = 3, /* fnLoadShapes(LoaderLoadRequest*); handle words */
    PIV_LoaderPerRecord = 5,     /* one record callback, fnGetAttribute, the error buffer */
    PIV_LoaderMax = 5
};

/* Shape types a loader is asked for. */
enum LoaderShapeType {
    LDR_SHT_Point = 1,
    LDR_SHT_Polyline = 3,
    LDR_SHT_Polygon = 5,
    LDR_SHT_PointZ = 11,
    LDR_SHT_PolylineZ = 13,
    LDR_SHT_PolygonZ = 15
};

/* Field types of fnGetAttributeType; LDR_FT_PrimaryKey marks a key column. */
enum LoaderFieldType {
    LDR_FT_String = 0,
    LDR_FT_Int = 1,
    LDR_FT_Double = 2,
    LDR_FT_Date = 3,
    LDR_FT_Boolean = 4
};
#define LDR_FT_PrimaryKey 0x80000000u

/* Modes of fnSerialize. */
enum LoaderSerializeMode {
    LSM_GetSize = 0, /* answer the size of the block for the handle word */
    LSM_Save = 1,    /* write the block into buffer (size bytes); answer > 0 on success */
    LSM_Restore = 2  /* rebuild from the block and deliver the theme's records again */
};

/* Result bits of fnHandleEvent. */
#define LDR_EVENT_KeepActive 0x1u /* clear: no further selection events */
#define LDR_EVENT_Redraw 0x2u

/* ------------------------------------------------------------------------
 * Host callbacks. host is the handle the host handed in with them.
 * Non-zero answers mean success.
 * ------------------------------------------------------------------------ */

/* A record for the theme being built or restored (version 5 and up, and
 * during custom events). userData is kept as the theme's last loader handle. */
typedef uint8_t (*LoaderAddShapeFn)(LoaderHostHandle host, const void* record, uint32_t userData);
/* The same for versions below 5: the record stands in the slot of its kind
 * (point, polyline, polygon); the first non-null one is taken. */
typedef uint8_t (*LoaderAddShapeByKindFn)(LoaderHostHandle host, const void* point, const void* polyline,
                                          const void* polygon, uint32_t userData);
/* Takes a record out of the loader's theme (compared by address). */
typedef uint8_t (*LoaderRemoveShapeFn)(LoaderHostHandle host, const void* record);
/* Selects (select != 0) or deselects a record of the loader theme with that
 * handle word; a null record selects or clears all. */
typedef uint8_t (*LoaderUpdateShapeFn)(LoaderHostHandle host, uint32_t handle, const void* record, uint8_t select);
/* Asks the host to call fnHandleCustomEvent with this code later, from the
 * event loop, once for every theme of the loader. */
typedef uint8_t (*LoaderPostCustomEventFn)(LoaderHostHandle host, uint32_t code);
/* The n-th selected record (by shape index) of the theme of a selection event. */
typedef uint8_t (*LoaderGetRecordFn)(LoaderHostHandle host, uint32_t n, const void** record);

/* ------------------------------------------------------------------------
 * Argument records
 * ------------------------------------------------------------------------ */

/* fnLoadShapes from version 3. "in" fields are set by the host, "out" fields
 * by the loader; the host reads back every in/out and out field, whether or
 * not the load succeeded. */
typedef struct LoaderLoadRequest {
    uint32_t shapeType;             /* in: LDR_SHT_* */
    uint32_t reserved0;
    LDR_ALIGN8 double extent[4];    /* in: min x, min y, max x, max y; all 0 = everything */
    union {                         /* in: version 5 and up addShape, below addShapeByKind */
        LoaderAddShapeFn addShape;
        LoaderAddShapeByKindFn addShapeByKind;
    } callback;
    LoaderHostHandle context;       /* in: the first argument of the callbacks */
    uint32_t userWord;              /* in: a word of the caller, passed through */
    uint32_t color;                 /* in/out: theme colour, 0x00BBGGRR */
    LoaderChar* nameBuffer;         /* in: receives the theme name */
    uint32_t nameSize;              /* in: characters of nameBuffer (128) */
    uint32_t handle;                /* in/out: the theme's handle word */
    uint8_t pointSymbol;            /* out: point symbol of a point theme, 0 = default */
    uint32_t penWidth;              /* in/out: line width of the theme */
    /* Version 5 and up; below 5 neither filled nor read back. */
    const char* infoTipTemplate;    /* out: info-tip template, null = none; copied by the host */
    uint8_t showInfoTip;            /* in/out: show info tips */
    LoaderChar* errorBuffer;        /* in: zero-filled, receives a failure text */
    uint32_t errorSize;             /* in: characters of errorBuffer (4096) */
    uint8_t placeOnTop;             /* in/out: put the theme at the top of the list */
    uint8_t convertToNative;        /* in/out: make the theme an editable native theme */
    LoaderPostCustomEventFn postCustomEvent; /* in */
} LoaderLoadRequest;

/* fnHandleCustomEvent: an event the loader posted itself. Records it adds go
 * to the theme with this handle word. */
typedef struct LoaderCustomEventArgs {
    uint32_t code;
    LoaderAddShapeFn addShape;
    LoaderRemoveShapeFn removeShape;
    LoaderHostHandle host;
    uint32_t handle;
    LoaderUpdateShapeFn updateShape;
} LoaderCustomEventArgs;

/* fnHandleEvent: the selection of a loader theme changed. */
typedef struct LoaderEventArgs {
    uint32_t handle;
    uint32_t reserved;    /* 0 */
    uint32_t state;       /* the command window's state byte */
    uint32_t count;       /* selected records */
    LoaderGetRecordFn getRecord;
    LoaderHostHandle host;
} LoaderEventArgs;

/* fnGetCustomMenu answers an array: item 0 is a header whose word is the
 * number of items including itself (above 1); in the others the word is the
 * command id. Null texts read as empty. */
typedef struct LoaderCustomMenuItem {
    const LoaderChar* text;
    uint32_t word;
    uint32_t flag;
    const LoaderChar* prompt;
} LoaderCustomMenuItem;

/* fnSerialize. */
typedef struct LoaderSerializeArgs {
    uint32_t mode;               /* LSM_* */
    uint32_t* handle;            /* the theme's handle word; a restore may set it */
    void* buffer;                /* LSM_Save: size bytes to fill; LSM_Restore: the block */
    uint32_t size;
    union {                      /* LSM_Restore: version 5 and up addShape, below addShapeByKind */
        LoaderAddShapeFn addShape;
        LoaderAddShapeByKindFn addShapeByKind;
    } callback;
    LoaderHostHandle context;
} LoaderSerializeArgs;

/* ------------------------------------------------------------------------
 * Entries (names and signatures)
 * ------------------------------------------------------------------------ */
#define LDR_ENTRY_GET_NAME "fnGetName"
#define LDR_ENTRY_LOAD_SHAPES "fnLoadShapes"
#define LDR_ENTRY_PRE_LOAD_SHAPES "fnPreLoadShapes"
#define LDR_ENTRY_REMOVE_SHAPES "fnRemoveShapes"
#define LDR_ENTRY_SUPPORTS_TYPE "fnSupportsType"
#define LDR_ENTRY_THEME_COUNT "fnThemeCount"
#define LDR_ENTRY_GET_LAST_ERR_MSG "fnGetLastErrMsg"
#define LDR_ENTRY_SETTINGS "fnSettings"
#define LDR_ENTRY_GET_ATTRIBUTE_COUNT "fnGetAttributeCount"
#define LDR_ENTRY_GET_ATTRIBUTE_NAME "fnGetAttributeName"
#define LDR_ENTRY_GET_ATTRIBUTE_TYPE "fnGetAttributeType"
#define LDR_ENTRY_GET_ATTRIBUTE "fnGetAttribute"
#define LDR_ENTRY_GET_POINT_ATTRIBUTES "fnGetPointAttributes"
#define LDR_ENTRY_GET_ARC_ATTRIBUTES "fnGetArcAttributes"
#define LDR_ENTRY_GET_POLYGON_ATTRIBUTES "fnGetPolygonAttributes"
#define LDR_ENTRY_HANDLE_CUSTOM_EVENT "fnHandleCustomEvent"
#define LDR_ENTRY_HANDLE_EVENT "fnHandleEvent"
#define LDR_ENTRY_GET_CUSTOM_MENU "fnGetCustomMenu"
#define LDR_ENTRY_VERSION "fnVersion"
#define LDR_ENTRY_GET_INFO "fnGetInfo"
#define LDR_ENTRY_SERIALIZE "fnSerialize"

typedef const LoaderChar* (*LoaderGetNameFn)(void);
/* Version 1. */
typedef uint8_t (*LoaderLoadShapesV1Fn)(uint32_t shapeType, double minX, double minY, double maxX, double maxY,
                                        LoaderAddShapeByKindFn callback, LoaderHostHandle context);
/* Version 2. */
typedef uint8_t (*LoaderLoadShapesV2Fn)(uint32_t shapeType, double minX, double minY, double maxX, double maxY,
                                        LoaderAddShapeByKindFn callback, LoaderHostHandle context,
                                        uint32_t userWord, LoaderChar* nameBuffer, uint32_t nameSize);
/* Version 3 and up. */
typedef uint8_t (*LoaderLoadShapesFn)(LoaderLoadRequest* request);
typedef uint8_t (*LoaderPreLoadShapesFn)(void);
typedef void (*LoaderRemoveShapesFn)(uint32_t handle);
typedef uint8_t (*LoaderSupportsTypeFn)(uint32_t shapeType);
typedef uint32_t (*LoaderThemeCountFn)(void);
typedef uint32_t (*LoaderVersionFn)(void);
typedef const LoaderChar* (*LoaderGetLastErrMsgFn)(void);
typedef void (*LoaderSettingsFn)(void);
/* first: the theme's handle word from version 3, its shape type below. */
typedef uint32_t (*LoaderGetAttributeCountFn)(uint32_t first);
typedef const char* (*LoaderGetAttributeNameFn)(uint32_t first, uint32_t field);
/* Always given the handle word; LDR_FT_* with LDR_FT_PrimaryKey for a key column. */
typedef uint32_t (*LoaderGetAttributeTypeFn)(uint32_t handle, uint32_t field);
/* Version 5 and up. */
typedef const char* (*LoaderGetAttributeFn)(uint32_t handle, const void* record, uint32_t field);
/* fnGetPointAttributes, fnGetArcAttributes, fnGetPolygonAttributes: versions 3
 * and 4 with the handle word, versions 1 and 2 without. */
typedef const char* (*LoaderGetKindAttributeFn)(uint32_t handle, const void* record, uint32_t field);
typedef const char* (*LoaderGetKindAttributeV1Fn)(const void* record, uint32_t field);
typedef int (*LoaderHandleCustomEventFn)(LoaderCustomEventArgs* args);
typedef int (*LoaderHandleEventFn)(LoaderEventArgs* args);
typedef LoaderCustomMenuItem* (*LoaderGetCustomMenuFn)(uint32_t context);
typedef const LoaderChar* (*LoaderGetInfoFn)(void);
typedef int (*LoaderSerializeFn)(LoaderSerializeArgs* args);

/* ------------------------------------------------------------------------
 * Layouts. P is the size of a pointer: 4 on 32-bit, 8 on 64-bit builds.
 * ------------------------------------------------------------------------ */
#define LDR_P ((size_t)sizeof(void*))
#define LDR_ROUND_UP(n, a) (((size_t)(n) + (a) - 1) & ~((size_t)(a) - 1))
LDR_STATIC_ASSERT(sizeof(void (*)(void)) == sizeof(void*), "function pointers are pointer-sized");
LDR_STATIC_ASSERT(sizeof(LoaderChar) == 2, "UTF-16 code units");

LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, shapeType) == 0, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, extent) == 8, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, callback) == 40, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, context) == 40 + LDR_P, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, userWord) == 44 + LDR_P, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, color) == 48 + LDR_P, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, nameBuffer) == LDR_ROUND_UP(52 + LDR_P, LDR_P),
                  "LoaderLoadRequest layout");
#define LDR_REQ_NAME_END (LDR_ROUND_UP(52 + LDR_P, LDR_P) + LDR_P)
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, nameSize) == LDR_REQ_NAME_END, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, handle) == LDR_REQ_NAME_END + 4, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, pointSymbol) == LDR_REQ_NAME_END + 8, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, penWidth) == LDR_REQ_NAME_END + 12, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, infoTipTemplate) == LDR_ROUND_UP(LDR_REQ_NAME_END + 16, LDR_P),
                  "LoaderLoadRequest layout");
#define LDR_REQ_TIP_END (LDR_ROUND_UP(LDR_REQ_NAME_END + 16, LDR_P) + LDR_P)
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, showInfoTip) == LDR_REQ_TIP_END, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, errorBuffer) == LDR_ROUND_UP(LDR_REQ_TIP_END + 1, LDR_P),
                  "LoaderLoadRequest layout");
#define LDR_REQ_ERR_END (LDR_ROUND_UP(LDR_REQ_TIP_END + 1, LDR_P) + LDR_P)
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, errorSize) == LDR_REQ_ERR_END, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, placeOnTop) == LDR_REQ_ERR_END + 4, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, convertToNative) == LDR_REQ_ERR_END + 5, "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(offsetof(LoaderLoadRequest, postCustomEvent) == LDR_ROUND_UP(LDR_REQ_ERR_END + 6, LDR_P),
                  "LoaderLoadRequest layout");
LDR_STATIC_ASSERT(sizeof(LoaderLoadRequest) == LDR_ROUND_UP(LDR_ROUND_UP(LDR_REQ_ERR_END + 6, LDR_P) + LDR_P, 8),
                  "LoaderLoadRequest layout");
#undef LDR_REQ_NAME_END
#undef LDR_REQ_TIP_END
#undef LDR_REQ_ERR_END

LDR_STATIC_ASSERT(offsetof(LoaderCustomEventArgs, addShape) == LDR_P, "LoaderCustomEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomEventArgs, removeShape) == 2 * LDR_P, "LoaderCustomEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomEventArgs, host) == 3 * LDR_P, "LoaderCustomEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomEventArgs, handle) == 3 * LDR_P + 4, "LoaderCustomEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomEventArgs, updateShape) == 3 * LDR_P + 8, "LoaderCustomEventArgs layout");
LDR_STATIC_ASSERT(sizeof(LoaderCustomEventArgs) == 4 * LDR_P + 8, "LoaderCustomEventArgs layout");

LDR_STATIC_ASSERT(offsetof(LoaderEventArgs, state) == 8, "LoaderEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderEventArgs, count) == 12, "LoaderEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderEventArgs, getRecord) == 16, "LoaderEventArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderEventArgs, host) == 16 + LDR_P, "LoaderEventArgs layout");
LDR_STATIC_ASSERT(sizeof(LoaderEventArgs) == LDR_ROUND_UP(20 + LDR_P, LDR_P), "LoaderEventArgs layout");

LDR_STATIC_ASSERT(offsetof(LoaderCustomMenuItem, word) == LDR_P, "LoaderCustomMenuItem layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomMenuItem, flag) == LDR_P + 4, "LoaderCustomMenuItem layout");
LDR_STATIC_ASSERT(offsetof(LoaderCustomMenuItem, prompt) == LDR_ROUND_UP(LDR_P + 8, LDR_P),
                  "LoaderCustomMenuItem layout");
LDR_STATIC_ASSERT(sizeof(LoaderCustomMenuItem) == LDR_ROUND_UP(LDR_P + 8, LDR_P) + LDR_P,
                  "LoaderCustomMenuItem layout");

LDR_STATIC_ASSERT(offsetof(LoaderSerializeArgs, handle) == LDR_P, "LoaderSerializeArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderSerializeArgs, buffer) == 2 * LDR_P, "LoaderSerializeArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderSerializeArgs, size) == 3 * LDR_P, "LoaderSerializeArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderSerializeArgs, callback) == 4 * LDR_P, "LoaderSerializeArgs layout");
LDR_STATIC_ASSERT(offsetof(LoaderSerializeArgs, context) == 5 * LDR_P, "LoaderSerializeArgs layout");
LDR_STATIC_ASSERT(sizeof(LoaderSerializeArgs) == 6 * LDR_P, "LoaderSerializeArgs layout");
#undef LDR_ROUND_UP
#undef LDR_P

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CORVALE_SDK_LOADER_H */
