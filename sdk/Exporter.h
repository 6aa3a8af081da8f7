/*
 * Exporter.h: the binary interface between Corvale and its exporter plug-ins
 * (.xpr shared objects), which write themes into formats of their own.
 *
 * An exporter exports plain C functions with the names below (XPR_ENTRY_*),
 * looked up by name when the module is bound. fnGetName, fnExportShape and
 * fnSupportsType are required; the others may be left out.
 *
 * One export runs in this order: fnBatchExportBegin once; for every theme
 * fnPreExport, fnExportShape for each shape (the host stops the theme at the
 * first failure), fnPostExport; fnBatchExportEnd once. The host binds the
 * module for one export command and frees it at the end.
 *
 * Rules both sides keep:
 * - Argument records are C structs of natural alignment: 32-bit words for
 *   integers and colours, pointer-sized fields for pointers and callbacks,
 *   8-byte alignment for doubles. The layouts below are checked at compile
 *   time for 32-bit and 64-bit builds. Records belong to the host and live
 *   for the call.
 * - Display texts (name, description, error text, information page) are
 *   UTF-16 (ExporterChar), zero-terminated. Field names, values and the theme
 *   name are narrow (8-bit) texts; field names and values are in the code page
 *   of the theme's table, which PreExportArgs.textCodePage states from
 *   version 6. Texts an exporter returns must stay valid until its next call;
 *   texts the host callbacks return stay valid until the next call of the
 *   same callback.
 * - Records only grow at their end: an exporter reads the fields of the
 *   version it declares and none added later, so the host hands the newest
 *   record to every exporter that takes it. An exporter that reads a field of
 *   a later version needs a host of that version.
 * - Shape records are pointers to the bytes of one .shp record, 8-byte record
 *   header included; they belong to the host.
 * - The host callbacks answer only while an export runs (0 otherwise).
 * - Entries catch every exception: none may unwind into the host (which
 *   guards every call all the same).
 *
 * Usable from C and C++.
 */
#ifndef CORVALE_SDK_EXPORTER_H
#define CORVALE_SDK_EXPORTER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define XPR_STATIC_ASSERT(condition, message) static_assert(condition, message)
#define XPR_ALIGN8 alignas(8)
extern "C" {
#else
#define XPR_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#define XPR_ALIGN8 _Alignas(8)
#endif

/* Marks an exporter's exported entries. */
#if defined(__GNUC__)
#define XPR_EXPORT __attribute__((visibility("default")))
#else
#define XPR_EXPORT
#endif

/* One UTF-16 code unit. */
typedef uint16_t ExporterChar;

/* Interface versions. */
enum ExporterInterfaceVersion {
    PIV_ExporterFirst = 1,         /* fnPreExport(word 3, word 4, word 5, getFieldName);
                                      fnExportShape(type, point, polyline, polygon, word, ...) */
    PIV_ExporterFiveWords = 2,     /* fnPreExport(word 1 .. word 5, getFieldName) */
    PIV_ExporterArgsRecord = 3,    /* fnPreExport(PreExportArgs*), fnExportShape(ExportShapeArgs*) */
    PIV_ExporterBatchArgs = 5,     /* fnBatchExportBegin(BatchExportArgs*) */
    PIV_ExporterTextCodePage = 6,  /* PreExportArgs.textCodePage */
    PIV_ExporterMax = 6
};

/* The code pages PreExportArgs.textCodePage names, as Windows numbers them. */
enum ExporterTextCodePage {
    /* The theme's source does not say (a dBase table without a code-page
       byte or with one the host does not convert, a native table, a
       loader's theme). The host reads such text, as it does for its own
       UTF-8 exports, as UTF-8 when it is valid UTF-8 and as Windows Latin 1
       otherwise. */
    XPR_CP_NotStated = 0,
    XPR_CP_WindowsLatin1 = 1252
};

/* Field types of ExportHostGetFieldType; XPR_FT_PrimaryKey marks a key column. */
enum ExporterFieldType {
    XPR_FT_String = 0,
    XPR_FT_Int = 1,
    XPR_FT_Double = 2,
    XPR_FT_Date = 3,
    XPR_FT_Boolean = 4
};
#define XPR_FT_PrimaryKey 0x80000000u

/* What an exporter asks the map view to draw: an image of width x height
 * pixels around (centerX, centerY), mapWidth x mapHeight map units wide and
 * high (both 0: the view's current scale). */
typedef struct ExporterMapImageRequest {
    uint32_t width;
    uint32_t height;
    XPR_ALIGN8 double centerX;
    double centerY;
    double mapWidth;
    double mapHeight;
} ExporterMapImageRequest;

/* ------------------------------------------------------------------------
 * Host callbacks; they act on the theme being exported.
 * ------------------------------------------------------------------------ */
/* The name of a field; 0 outside the columns or when no export runs. */
typedef const char* (*ExportHostGetFieldNameFn)(uint32_t field);
/* The value text of a field of the shape with that shape index. */
typedef const char* (*ExportHostGetAttributeValueFn)(uint32_t shapeIndex, uint32_t field);
/* XPR_FT_*, with XPR_FT_PrimaryKey for key columns. */
typedef uint32_t (*ExportHostGetFieldTypeFn)(uint32_t field);
/* Asks the view of the export for a map image; answers the view's word. */
typedef uint32_t (*ExportHostRenderMapImageFn)(const ExporterMapImageRequest* request);

/* ------------------------------------------------------------------------
 * Argument records
 * ------------------------------------------------------------------------ */

/* fnExportShape from version 3; zero-filled before the host fills it. */
typedef struct ExportShapeArgs {
    uint32_t shapeType;          /* shape type of the record */
    const void* record;          /* the record, 8-byte header included */
    uint32_t word;               /* the number of attribute fields of the theme */
    uint32_t color;              /* outline colour of polygon themes, else the theme colour; 0x00BBGGRR */
    uint32_t lineWidth;          /* the theme's line width */
    uint32_t penStyle;           /* the theme's pen style */
    ExportHostGetFieldNameFn getFieldName;
    ExportHostGetAttributeValueFn getAttributeValue;
    ExportHostGetFieldTypeFn getFieldType;
    ExportHostRenderMapImageFn renderMapImage;
    uint32_t fillPattern;        /* the theme's fill pattern */
    uint32_t themeColor;         /* the theme colour */
    uint8_t selected;            /* 1 when the shape is selected */
    uint8_t padding[3];
    const char* infoTip;         /* the shape's info-tip text */
} ExportShapeArgs;

/* fnPreExport from version 3; zero-filled before the host fills it. The five
 * words are those of the version-2 argument list, in the same order. */
typedef struct PreExportArgs {
    uint32_t shapeType;          /* word 1: the theme's shape type */
    const char* themeName;       /* word 2: the theme's name */
    uint32_t themeIndex;         /* word 3: the theme's place in the run */
    uint32_t shapeCount;         /* word 4: the shapes that will be passed */
    uint32_t fieldCount;         /* word 5: the theme's attribute fields */
    ExportHostGetFieldNameFn getFieldName;
    ExportHostGetFieldTypeFn getFieldType;
    /* From version 6: the code page of the theme's field names and values
       (XPR_CP_*); it holds for every fnExportShape of the theme. */
    uint32_t textCodePage;
} PreExportArgs;

/* fnBatchExportBegin from version 5; zero-filled before the host fills it. */
typedef struct BatchExportArgs {
    uint32_t themeCount;
    uint32_t padding0;
    double extent[4];            /* min x, min y, max x, max y of the exported themes */
    uint32_t backgroundColor;    /* the map background colour, 0x00BBGGRR */
    uint8_t reverseOrder;        /* in/out: 0 on entry; 1 asks for the themes last to first */
    uint8_t padding1[3];
} BatchExportArgs;

/* ------------------------------------------------------------------------
 * Entries (names and signatures)
 * ------------------------------------------------------------------------ */
#define XPR_ENTRY_GET_NAME "fnGetName"
#define XPR_ENTRY_GET_DESCRIPTION "fnGetDescription"
#define XPR_ENTRY_VERSION "fnVersion"
#define XPR_ENTRY_EXPORT_SHAPE "fnExportShape"
#define XPR_ENTRY_SUPPORTS_TYPE "fnSupportsType"
#define XPR_ENTRY_GET_LAST_ERR_MSG "fnGetLastErrMsg"
#define XPR_ENTRY_PRE_EXPORT "fnPreExport"
#define XPR_ENTRY_POST_EXPORT "fnPostExport"
#define XPR_ENTRY_GET_INFO "fnGetInfo"
#define XPR_ENTRY_SETTINGS "fnSettings"
#define XPR_ENTRY_BATCH_EXPORT_BEGIN "fnBatchExportBegin"
#define XPR_ENTRY_BATCH_EXPORT_END "fnBatchExportEnd"

typedef const ExporterChar* (*ExporterGetNameFn)(void);
typedef const ExporterChar* (*ExporterGetDescriptionFn)(void);
typedef uint32_t (*ExporterVersionFn)(void);
typedef uint8_t (*ExporterExportShapeV1Fn)(uint32_t shapeType, const void* point, const void* polyline,
                                           const void* polygon, uint32_t word, ExportHostGetFieldNameFn getFieldName,
                                           ExportHostGetAttributeValueFn getAttributeValue);
typedef uint8_t (*ExporterExportShapeFn)(ExportShapeArgs* args);
/* Whether the exporter writes themes of that shape type (Z types are asked
 * as their plain type) with that many fields; an exporter may read only the
 * first argument. */
typedef uint8_t (*ExporterSupportsTypeFn)(uint32_t shapeType, uint32_t fieldCount,
                                          ExportHostGetFieldNameFn getFieldName);
typedef const ExporterChar* (*ExporterGetLastErrMsgFn)(void);
typedef uint8_t (*ExporterPreExportV1Fn)(uint32_t themeIndex, uint32_t shapeCount, uint32_t fieldCount,
                                         ExportHostGetFieldNameFn getFieldName);
typedef uint8_t (*ExporterPreExportV2Fn)(uint32_t shapeType, const char* themeName, uint32_t themeIndex,
                                         uint32_t shapeCount, uint32_t fieldCount,
                                         ExportHostGetFieldNameFn getFieldName);
typedef uint8_t (*ExporterPreExportFn)(PreExportArgs* args);
/* After the shapes of a theme: its place in the run and whether they all
 * went; 0 ends the whole export. */
typedef uint8_t (*ExporterPostExportFn)(uint32_t themeIndex, uint8_t succeeded);
typedef const ExporterChar* (*ExporterGetInfoFn)(void);
typedef void (*ExporterSettingsFn)(void);
typedef void (*ExporterBatchExportBeginV1Fn)(uint32_t themeCount);
typedef void (*ExporterBatchExportBeginFn)(BatchExportArgs* args);
typedef void (*ExporterBatchExportEndFn)(void);

/* ------------------------------------------------------------------------
 * Layouts. P is the size of a pointer: 4 on 32-bit, 8 on 64-bit builds.
 * ------------------------------------------------------------------------ */
#define XPR_P ((size_t)sizeof(void*))
#define XPR_ROUND_UP(n, a) (((size_t)(n) + (a) - 1) & ~((size_t)(a) - 1))
XPR_STATIC_ASSERT(sizeof(void (*)(void)) == sizeof(void*), "function pointers are pointer-sized");
XPR_STATIC_ASSERT(sizeof(ExporterChar) == 2, "UTF-16 code units");

XPR_STATIC_ASSERT(offsetof(ExporterMapImageRequest, centerX) == 8, "ExporterMapImageRequest layout");
XPR_STATIC_ASSERT(sizeof(ExporterMapImageRequest) == 40, "ExporterMapImageRequest layout");

/* 32-bit: 56 bytes with the offsets 0, 4, 8, ... 48, 52. */
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, record) == XPR_P, "ExportShapeArgs layout");
#define XPR_ESA_WORDS (2 * XPR_P)
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, word) == XPR_ESA_WORDS, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, color) == XPR_ESA_WORDS + 4, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, lineWidth) == XPR_ESA_WORDS + 8, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, penStyle) == XPR_ESA_WORDS + 12, "ExportShapeArgs layout");
#define XPR_ESA_FNS XPR_ROUND_UP(XPR_ESA_WORDS + 16, XPR_P)
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, getFieldName) == XPR_ESA_FNS, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, getAttributeValue) == XPR_ESA_FNS + XPR_P, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, getFieldType) == XPR_ESA_FNS + 2 * XPR_P, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, renderMapImage) == XPR_ESA_FNS + 3 * XPR_P, "ExportShapeArgs layout");
#define XPR_ESA_TAIL (XPR_ESA_FNS + 4 * XPR_P)
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, fillPattern) == XPR_ESA_TAIL, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, themeColor) == XPR_ESA_TAIL + 4, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, selected) == XPR_ESA_TAIL + 8, "ExportShapeArgs layout");
XPR_STATIC_ASSERT(offsetof(ExportShapeArgs, infoTip) == XPR_ROUND_UP(XPR_ESA_TAIL + 12, XPR_P),
                  "ExportShapeArgs layout");
XPR_STATIC_ASSERT(sizeof(ExportShapeArgs) == XPR_ROUND_UP(XPR_ESA_TAIL + 12, XPR_P) + XPR_P,
                  "ExportShapeArgs layout");
XPR_STATIC_ASSERT(XPR_P != 4 || sizeof(ExportShapeArgs) == 56, "ExportShapeArgs is 56 bytes on 32-bit builds");
#undef XPR_ESA_WORDS
#undef XPR_ESA_FNS
#undef XPR_ESA_TAIL

/* 32-bit: 32 bytes (28 before version 6), the theme name at 4, the field
 * count at 16 and the code page at 28. */
XPR_STATIC_ASSERT(offsetof(PreExportArgs, themeName) == XPR_P, "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, themeIndex) == 2 * XPR_P, "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, shapeCount) == 2 * XPR_P + 4, "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, fieldCount) == 2 * XPR_P + 8, "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, getFieldName) == XPR_ROUND_UP(2 * XPR_P + 12, XPR_P),
                  "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, getFieldType) == XPR_ROUND_UP(2 * XPR_P + 12, XPR_P) + XPR_P,
                  "PreExportArgs layout");
XPR_STATIC_ASSERT(offsetof(PreExportArgs, textCodePage) == XPR_ROUND_UP(2 * XPR_P + 12, XPR_P) + 2 * XPR_P,
                  "PreExportArgs layout");
XPR_STATIC_ASSERT(sizeof(PreExportArgs) == XPR_ROUND_UP(XPR_ROUND_UP(2 * XPR_P + 12, XPR_P) + 2 * XPR_P + 4, XPR_P),
                  "PreExportArgs layout");
XPR_STATIC_ASSERT(XPR_P != 4 || sizeof(PreExportArgs) == 32, "PreExportArgs is 32 bytes on 32-bit builds");

XPR_STATIC_ASSERT(offsetof(BatchExportArgs, extent) == 8, "BatchExportArgs layout");
XPR_STATIC_ASSERT(offsetof(BatchExportArgs, backgroundColor) == 40, "BatchExportArgs layout");
XPR_STATIC_ASSERT(offsetof(BatchExportArgs, reverseOrder) == 44, "BatchExportArgs layout");
XPR_STATIC_ASSERT(sizeof(BatchExportArgs) == 48, "BatchExportArgs layout");
#undef XPR_ROUND_UP
#undef XPR_P

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CORVALE_SDK_EXPORTER_H */
