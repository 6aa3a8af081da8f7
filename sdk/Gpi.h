/*
 * Gpi.h: the binary interface between Corvale and its general plug-ins
 * (.gpi shared objects).
 *
 * A plug-in exports four plain C functions (fnInit, fnTerminate, fnVersion,
 * fnGUID). Everything else crosses through two function pointers: the host's
 * GpiHostDispatch, handed to the plug-in in GpiInitInfo, and the plug-in's
 * GpiPluginCallback, handed back in the same record.
 *
 * Rules both sides keep:
 * - Every object a plug-in sees is a 32-bit handle. Handles are positive
 *   integers from one host-wide counter, never reused, so a value names at
 *   most one object of one kind. A plug-in's own identity (GpiInitInfo
 *   word 0) comes from a separate range that the counter never enters.
 * - Argument blocks are C structs with natural alignment: 32-bit words for
 *   handles and integers, pointer-sized fields for pointers, 8-byte alignment
 *   for doubles. The layouts below are checked at compile time for both
 *   32-bit and 64-bit builds. Blocks belong to the caller and live only for
 *   the duration of the call.
 * - Out words are written only on success.
 * - Text results follow the two-call size protocol: with a null buffer the
 *   host stores the bytes needed (terminator included) in the size word; with
 *   a buffer it copies at most size - 1 characters and always terminates.
 * - Memory a plug-in hands to the host comes from GPIOP_HostAlloc and goes
 *   back with GPIOP_HostFree.
 * - Texts are narrow (8-bit) strings.
 * - Entries and callbacks catch every exception: none may unwind into the
 *   host (which guards every call all the same).
 *
 * Build a plug-in with corvale_add_gpi_plugin (cmake/CorvaleGpiPlugin.cmake):
 * a shared object named <name>.gpi, placed in the program's plug-in folder.
 *
 * Usable from C and C++.
 */
#ifndef CORVALE_SDK_GPI_H
#define CORVALE_SDK_GPI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define GPI_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define GPI_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* Gives a member 8-byte alignment on every target, so that a record holding
 * a double or a pointer-or-double value has one layout for 32-bit and 64-bit
 * plug-ins alike (i386 aligns doubles inside records to 4 only). */
#ifdef __cplusplus
#define GPI_ALIGN8 alignas(8)
#else
#define GPI_ALIGN8 _Alignas(8)
#endif

/* Marks a plug-in's exported entries: define them as
 *     GPI_EXPORT int fnInit(GpiInitInfo* info) { ... }
 * inside an extern "C" block when compiling C++. */
#if defined(__GNUC__)
#define GPI_EXPORT __attribute__((visibility("default")))
#else
#define GPI_EXPORT
#endif

/* ------------------------------------------------------------------------
 * Exports of a plug-in
 * ------------------------------------------------------------------------ */

/* Names the host looks the entries up by. */
#define GPI_ENTRY_INIT "fnInit"           /* required */
#define GPI_ENTRY_TERMINATE "fnTerminate" /* optional */
#define GPI_ENTRY_VERSION "fnVersion"     /* required */
#define GPI_ENTRY_GUID "fnGUID"           /* required */

/* Interface versions fnVersion may answer; any other value rejects the plug-in. */
enum GpiInterfaceVersion {
    PIV_Gpi100 = 100,
    PIV_Gpi200 = 200
};

/* The plug-in's 16-byte identity GUID. */
typedef struct GpiGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GpiGuid;

/* The host's single entry: op is a GPIOP_* number, args its argument block
 * (or, for the operations that say so, the single value itself). Answers a
 * GPIERR_* code. */
typedef int (*GpiHostDispatchFn)(int op, void* args);

/* The plug-in's event entry. workspace is the handle of the workspace the
 * event concerns (0 for none), hookType a GPIHOOK_* code, args the event's
 * argument block, owned by the host for the call; its first word is always
 * the user-data word the plug-in gave when it subscribed. The answer is read
 * only for GPIHOOK_ScriptCall. */
typedef int (*GpiPluginCallback)(uint32_t workspace, uint32_t hookType, void* args);

/* Optional settings entry, called from the plug-in options page. */
typedef void (*GpiSettingsFn)(void);

/* Passed to fnInit. The host fills identity and dispatch and hands the other
 * fields in as zero; the plug-in fills its fields and keeps a copy. The host
 * keeps the text pointers without copying them: they must stay valid until
 * fnTerminate. */
typedef struct GpiInitInfo {
    uint32_t identity;          /* host: the value the plug-in passes as its own handle */
    GpiHostDispatchFn dispatch; /* host: GpiHostDispatch */
    const char* name;           /* plug-in: display name */
    const char* description;    /* plug-in: a long text, a line feed, a short text */
    const char* about;          /* plug-in: credits, usage notes */
    const char* version;        /* plug-in: version text, for example "1.00" */
    GpiPluginCallback callback; /* plug-in: event entry; null = no events */
    GpiSettingsFn pfnSettings;  /* plug-in: settings entry; null = no settings */
    uint32_t reserved;          /* 0 */
} GpiInitInfo;

typedef int (*GpiInitFn)(GpiInitInfo* info); /* 0 = success */
typedef void (*GpiTerminateFn)(void);
typedef int (*GpiVersionFn)(void);
typedef const GpiGuid* (*GpiGuidFn)(void); /* null rejects the plug-in */

/* ------------------------------------------------------------------------
 * Result codes. Codes 4-99 and above 111 are not defined.
 * GPIERR_False is a second success answer of yes/no operations.
 * ------------------------------------------------------------------------ */
enum GpiError {
    GPIERR_NoError = 0,
    GPIERR_False = 1,
    GPIERR_NotImplemented = 2,
    GPIERR_UnknownErrorCode = 3,
    GPIERR_InvalidHandle = 100,
    GPIERR_IllegalParameter = 101,
    GPIERR_UnsupportedShapeType = 102,
    GPIERR_UnexpectedShapeType = 103,
    GPIERR_IndexOutOfBounds = 104,
    GPIERR_PermissionDenied = 105,
    GPIERR_BufferOverflow = 106,
    GPIERR_InvalidQuery = 107,
    GPIERR_UnknownHookType = 108,
    GPIERR_OutOfResources = 109,
    GPIERR_ScriptError = 110,
    GPIERR_NoLongerSupported = 111
};

/* ------------------------------------------------------------------------
 * Handle kinds, as GpiHostDispatch's kind query reports them.
 * ------------------------------------------------------------------------ */
enum GpiHandleKind {
    GPIHANDLE_Unknown = -1,
    GPIHANDLE_Plugin = 0,
    GPIHANDLE_Workspace = 1,
    GPIHANDLE_Theme = 2,
    GPIHANDLE_Map = 3,
    GPIHANDLE_Shape = 4,
    GPIHANDLE_Recordset = 5,
    GPIHANDLE_ToolBar = 6,
    GPIHANDLE_CommandItem = 7,
    GPIHANDLE_ToolPane = 8,
    GPIHANDLE_JavaScript = 9,
    GPIHANDLE_ProgressBar = 10,
    GPIHANDLE_StatusPane = 11
};

/* ------------------------------------------------------------------------
 * Menu places of a plug-in's command items. Any other value is refused.
 * ------------------------------------------------------------------------ */
enum GpiPlacement {
    GPIPLACE_NewTheme = 1,          /* "&New Theme", after "From &Selection" */
    GPIPLACE_AddThemeFrom = 2,      /* "Add Theme &From" */
    GPIPLACE_AdvancedSelection = 3, /* "A&dvanced Selection", after "&Multipart Shapes" */
    GPIPLACE_AdvancedEdit = 4,      /* "Advanced &Edit", after "&Merge to Multipart Copy" */
    GPIPLACE_Unplaced = 5,          /* accepted and kept, shown nowhere */
    GPIPLACE_Tools = 6,             /* the tools menu */
    GPIPLACE_CopySpecial = 7        /* "Copy Special", after "Copy Map Image" */
};

/* ------------------------------------------------------------------------
 * Hook types: the events a plug-in subscribes to.
 * ------------------------------------------------------------------------ */
enum GpiHookType {
    GPIHOOK_MapDrawn = 1,
    GPIHOOK_Idle = 2,
    GPIHOOK_MouseMove = 3,
    GPIHOOK_SelectionChanged = 4,
    GPIHOOK_WorkspaceClosing = 5,
    GPIHOOK_ThemesRemoved = 6,
    GPIHOOK_LButtonDown = 7,
    GPIHOOK_LButtonUp = 8,
    GPIHOOK_ToolBarButton = 9,
    GPIHOOK_CommandItem = 10,
    GPIHOOK_ShapeDeleted = 11,
    GPIHOOK_Reserved12 = 12, /* accepted, never fired */
    GPIHOOK_FileOpen = 13,
    GPIHOOK_DataLoaded = 14,
    GPIHOOK_ViewInitialized = 15,
    GPIHOOK_ScriptCall = 16,
    GPIHOOK_ActiveThemeChanged = 17,
    GPIHOOK_ActiveWorkspaceChanged = 18,
    GPIHOOK_EscapeKey = 19,
    GPIHOOK_ThemeAdded = 20,

    GPIHOOK_First = 1,
    GPIHOOK_Last = 20
};

/* Argument blocks of the events that carry only handles. */

/* Types 1, 2, 5, 15, 17, 18, 19. */
typedef struct GpiHookArgs {
    uint32_t userData;
} GpiHookArgs;

/* Type 6 (themes removed, once per theme) and type 20 (theme added). */
typedef struct GpiHookThemeArgs {
    uint32_t userData;
    uint32_t theme;
} GpiHookThemeArgs;

/* Type 4: theme is the theme the change concerns (0 for none); flag is 1. */
typedef struct GpiHookSelectionArgs {
    uint32_t userData;
    uint32_t theme;
    uint32_t flag;
} GpiHookSelectionArgs;

/* Type 11: the shape is about to be deleted from the theme. */
typedef struct GpiHookShapeArgs {
    uint32_t userData;
    uint32_t theme;
    uint32_t shape;
} GpiHookShapeArgs;

/* Types 3, 7, 8 (mouse move, left button down and up over a map view): the
 * pointer in client pixels and the key flags as the window system gave them. */
typedef struct GpiHookMouseArgs {
    uint32_t userData;
    int32_t x;
    int32_t y;
    uint32_t keyFlags;
    uint32_t reserved; /* 0 */
} GpiHookMouseArgs;

/* Type 9: a button of one of the plug-in's toolbars was clicked. commandId
 * is the button's id in the plug-in's own GpiToolBarDesc (the ids the
 * plug-in also enables and checks its buttons by), not the frame's command
 * id, which the plug-in has no way to know. */
typedef struct GpiHookToolBarButtonArgs {
    uint32_t userData;
    uint32_t commandId;
} GpiHookToolBarButtonArgs;

/* Type 10: one of the plug-in's command items was chosen. userData is the
 * word given when the item was registered. */
typedef struct GpiHookCommandItemArgs {
    uint32_t userData;
    uint32_t item; /* command item handle */
} GpiHookCommandItemArgs;

/* Type 13: a file of a type the plug-in registered is being opened. userData
 * is the word given when the file type was registered. */
typedef struct GpiHookFileOpenArgs {
    uint32_t userData;
    const char* path; /* full path */
} GpiHookFileOpenArgs;

/* Type 14: a data block named by the plug-in's GUID text was read from a
 * workspace file. theme is 0 for a block of the workspace itself. The bytes
 * stay valid only during the call: copy what you keep. */
typedef struct GpiHookDataLoadedArgs {
    uint32_t userData;
    uint32_t theme;
    uint32_t size;
    const void* data;
} GpiHookDataLoadedArgs;

/* Values exchanged with scripts (type 16 and the script Plugin object). */
enum GpiScriptValueType {
    GPISV_Handle = 0, /* value.handle: a workspace, theme or shape handle */
    GPISV_Int = 1,    /* value.integer */
    GPISV_String = 2, /* value.text: zero-terminated */
    GPISV_Double = 3, /* value.number */
    GPISV_Bool = 4,   /* value.boolean: 0 or 1 */
    GPISV_Color = 5   /* value.color: 0x00BBGGRR */
};

typedef struct GpiScriptValue {
    uint32_t type; /* GPISV_* */
    uint32_t reserved;
    GPI_ALIGN8 union {
        uint32_t handle;
        int32_t integer;
        const char* text;
        double number;
        uint32_t boolean;
        uint32_t color;
    } value;
} GpiScriptValue;

/* Type 16: a script reads, writes or calls one of the names the plug-in
 * registered. The host passes inOut as 0. To answer, the plug-in sets bit 0
 * of inOut when it answers a single value, puts the number of values into
 * resultCount and a list of them into results; the list and every
 * GPISV_String text in it come from GPIOP_HostAlloc, and the host frees them.
 * The callback's answer: GPIERR_NotImplemented for a name it does not know,
 * GPIERR_IllegalParameter for arguments it cannot use, GPIERR_ScriptError
 * when the call itself failed (the script stops with the plug-in's failure),
 * else 0. */
typedef struct GpiHookScriptCallArgs {
    uint32_t userData;
    const char* name;
    uint32_t inOut;
    uint32_t argumentCount;
    const GpiScriptValue* arguments;
    uint32_t resultCount;
    GpiScriptValue* results;
} GpiHookScriptCallArgs;

/* ------------------------------------------------------------------------
 * Operation numbers for GpiHostDispatch. Numbers outside
 * GPIOP_First..GPIOP_Last answer GPIERR_NotImplemented.
 * ------------------------------------------------------------------------ */
enum GpiOperation {
    GPIOP_RegisterHook = 1,
    GPIOP_UnregisterHook = 2,
    GPIOP_UnregisterAllHooks = 3,
    GPIOP_GetErrorText = 4,
    GPIOP_GetWorkspaceCount = 5,
    GPIOP_GetWorkspace = 6,
    GPIOP_GetActiveWorkspace = 7,
    GPIOP_StatusPaneSetText = 8,
    GPIOP_WorkspaceGetMap = 9,
    GPIOP_WorkspaceGetThemeCount = 10,
    GPIOP_WorkspaceGetTheme = 11,
    GPIOP_WorkspaceAddTheme = 12,
    GPIOP_WorkspaceGetExtent = 13,
    GPIOP_WorkspacePrintConsole = 14,
    GPIOP_WorkspaceIsActive = 15,
    GPIOP_WorkspaceSelectTheme = 16,
    GPIOP_MapGetClientExtent = 17,
    GPIOP_MapGetClientSize = 18,
    GPIOP_MapWorldToClient = 19,
    GPIOP_MapClientToWorld = 20,
    GPIOP_MapGetWindow = 21,
    GPIOP_MapRedraw = 22,
    GPIOP_MapRender = 23,
    GPIOP_ThemeAddShape = 24,
    GPIOP_ThemeUpdateShape = 25,
    GPIOP_ThemeDeleteShape = 26,
    GPIOP_ThemeIsSelected = 27,
    GPIOP_ThemeIsReadOnly = 28,
    GPIOP_ThemeGetName = 29,
    GPIOP_ThemeSetName = 30,
    GPIOP_ThemeGetFieldCount = 31,
    GPIOP_ThemeGetShapeCount = 32,
    GPIOP_ThemeGetShape = 33,
    GPIOP_ThemeFindShape = 34,
    GPIOP_ThemeGetShapeType = 35,
    GPIOP_ThemeGetBounds = 36,
    GPIOP_ThemeRecalcBounds = 37,
    GPIOP_ThemeQueryIntersecting = 38,
    GPIOP_ThemeGetSelectionCount = 39,
    GPIOP_ThemeGetSelection = 40,
    GPIOP_ShapeGetInfoTipText = 41,
    GPIOP_ThemeGetLabelFont = 42,
    GPIOP_ThemeQuery = 43,
    GPIOP_ShapeIsSelected = 44,
    GPIOP_ShapeSelect = 45,
    GPIOP_ShapeGetType = 46,
    GPIOP_ShapeGetBounds = 47,
    GPIOP_ShapeGetAttribute = 48,
    GPIOP_ShapeGetRecord = 49,
    GPIOP_RecordsetMoveNext = 50,
    GPIOP_RecordsetMovePrevious = 51,
    GPIOP_RecordsetMoveFirst = 52,
    GPIOP_RecordsetMoveLast = 53,
    GPIOP_RecordsetGetValue = 54,
    GPIOP_RecordsetIsEOF = 55,
    GPIOP_RecordsetIsBOF = 56,
    GPIOP_RecordsetClose = 57,
    GPIOP_MapCenterAt = 58,
    GPIOP_MapZoom = 59,
    GPIOP_MapZoomToSelection = 60,
    GPIOP_MapZoomToTheme = 61,
    GPIOP_MapGetTool = 62,
    GPIOP_MapSetTool = 63,
    GPIOP_ThemeQueryRectangle = 64,
    GPIOP_RecordsetGetCount = 65,
    GPIOP_ToolBarCreate = 66,
    GPIOP_ToolBarGetButtonCount = 67,
    GPIOP_ToolBarEnableButton = 68,
    GPIOP_ToolBarCheckButton = 69,
    GPIOP_ThemeGetFieldName = 70,
    GPIOP_ShapeSetAttribute = 71,
    GPIOP_WorkspaceNotifyChanged = 72,
    GPIOP_ThemeGetWorkspace = 73,
    GPIOP_StatusPaneCreate = 74,
    GPIOP_StatusPaneDestroy = 75,
    GPIOP_ThemeIsVisible = 76,
    GPIOP_WorkspaceGetSelectedThemes = 77,
    GPIOP_CommandItemEnable = 78,
    GPIOP_ProgressCreate = 79,
    GPIOP_ProgressSetPos = 80,
    GPIOP_ProgressDestroy = 81,
    GPIOP_ThemeQuerySelectedRectangle = 82,
    GPIOP_ThemeAddField = 83,
    GPIOP_ThemeDeleteField = 84,
    GPIOP_WorkspaceGetActiveTheme = 85,
    GPIOP_WorkspaceCreateScript = 86,
    GPIOP_ScriptRun = 87,
    GPIOP_ScriptCallFunction = 88,
    GPIOP_ScriptDestroy = 89,
    GPIOP_IsScriptingAvailable = 90,
    GPIOP_PluginPostMessage = 91,
    GPIOP_ObjectIsValid = 92,
    GPIOP_WorkspaceGetDescription = 93,
    GPIOP_WorkspaceSetDescription = 94,
    GPIOP_ThemeGetComment = 95,
    GPIOP_ThemeSetComment = 96,
    GPIOP_ThemeGetColor = 97,
    GPIOP_ThemeSetColor = 98,
    GPIOP_ThemeUpdateBatch = 99,
    GPIOP_ShapeSetAttributes = 100,
    GPIOP_ThemeGetBaseColor = 101,
    GPIOP_ThemeSetBaseColor = 102,
    GPIOP_ThemeGetLineWidth = 103,
    GPIOP_ThemeSetLineWidth = 104,
    GPIOP_SetStatusText = 105,
    GPIOP_WorkspaceRemoveTheme = 106,
    GPIOP_ThemeSetRasterImage = 107,
    GPIOP_WorkspaceSetPluginData = 108,
    GPIOP_ThemeSetPluginData = 109,
    GPIOP_Retired110 = 110,
    GPIOP_ToolPaneRelease = 111,
    GPIOP_ToolPaneGetWindow = 112,
    GPIOP_ThemeClearSelection = 113,
    GPIOP_ThemeSetSelected = 114,
    GPIOP_WorkspaceClearThemeSelection = 115,
    GPIOP_HostAlloc = 116,
    GPIOP_HostFree = 117,
    GPIOP_GetHostVersion = 118,
    GPIOP_ThemeGetFieldType = 119,
    GPIOP_WorkspaceGetSelectedThemeCount = 120,
    GPIOP_ToolBarGetState = 121,
    GPIOP_ShapeGetPartCount = 122,
    GPIOP_ShapeGetPartPointCount = 123,
    GPIOP_ShapeGetPoint = 124,
    GPIOP_ThemeFindField = 125,
    GPIOP_WorkspaceNewThemeFromSelection = 126,
    GPIOP_ThemeInvertSelection = 127,
    GPIOP_ShapeGetNearestPoint = 128,
    GPIOP_ThemeGetPenStyle = 129,
    GPIOP_ThemeSetPenStyle = 130,
    GPIOP_ThemeSetFieldText = 131,
    GPIOP_ToolPaneCreate = 132,
    GPIOP_ToolPaneQuery = 133,
    GPIOP_ShapeSetAttributeInt = 134,
    GPIOP_ShapeSetAttributeDouble = 135,
    GPIOP_ThemeAddPoint = 136,
    GPIOP_ThemeAddShapeWkt = 137,
    GPIOP_ThemeAddShapeWkb = 138,
    GPIOP_ThemeUpdateBatchReserve = 139,

    GPIOP_First = 1,
    GPIOP_Last = 139
};

/* Argument blocks of the host's own small operations. */

/* GPIOP_RegisterHook. info is read for three types only:
 * GPIHOOK_CommandItem (GpiCommandItemInfo), GPIHOOK_FileOpen (GpiFileTypeInfo)
 * and GPIHOOK_ScriptCall (GpiScriptNamesInfo). A second subscription to a
 * type replaces the user data; for types 10 and 13 it adds a further item or
 * file type. */
typedef struct GpiRegisterHookArgs {
    uint32_t identity;
    uint32_t hookType;
    uint32_t userData;
    const void* info;
} GpiRegisterHookArgs;

/* GPIOP_UnregisterHook. Command items and file types registered earlier stay.
 * GPIOP_UnregisterAllHooks takes the identity itself as its argument. */
typedef struct GpiUnregisterHookArgs {
    uint32_t identity;
    uint32_t hookType;
} GpiUnregisterHookArgs;

/* Registration of GPIHOOK_CommandItem: a menu entry in the place named by
 * placement (GPIPLACE_*). item, when not null, receives the command item's
 * handle. */
typedef struct GpiCommandItemInfo {
    uint32_t placement;
    const char* text;
    const char* prompt; /* status-bar prompt */
    uint32_t reserved;
    uint32_t* item;
} GpiCommandItemInfo;

/* Registration of GPIHOOK_FileOpen: a file type offered in the open dialogs,
 * for example {"Route networks (*.net)", "*.net"}. */
typedef struct GpiFileTypeInfo {
    const char* description;
    const char* pattern;
} GpiFileTypeInfo;

/* Registration of GPIHOOK_ScriptCall: the names scripts may use, each list
 * ended by a null pointer or an empty text. They replace the names given
 * before; a null list gives no names of that kind. */
typedef struct GpiScriptNamesInfo {
    uint32_t reserved;
    const char* const* properties;
    const char* const* methods;
} GpiScriptNamesInfo;

/* GPIOP_GetErrorText: the text of a GPIERR_* code. */
typedef struct GpiGetErrorTextArgs {
    uint32_t code;
    char* buffer;
    uint32_t* size;
} GpiGetErrorTextArgs;

/* GPIOP_GetWorkspace: the handle of the index-th open workspace. */
typedef struct GpiGetWorkspaceArgs {
    uint32_t index;
    uint32_t* workspace;
} GpiGetWorkspaceArgs;

/* GPIOP_StatusPaneSetText: icon is an icon handle of the window system, or null. */
typedef struct GpiStatusPaneSetTextArgs {
    uint32_t pane;
    const char* text;
    void* icon;
} GpiStatusPaneSetTextArgs;

/* GPIOP_StatusPaneCreate: width in pixels. */
typedef struct GpiStatusPaneCreateArgs {
    uint32_t width;
    uint32_t* pane;
} GpiStatusPaneCreateArgs;

/* GPIOP_ProgressCreate: text may be null; fraction 0..1. */
typedef struct GpiProgressCreateArgs {
    const char* text;
    float fraction;
    uint32_t* progress;
} GpiProgressCreateArgs;

/* GPIOP_ProgressSetPos: fraction 0..1. */
typedef struct GpiProgressSetPosArgs {
    uint32_t progress;
    float fraction;
} GpiProgressSetPosArgs;

/* GPIOP_PluginPostMessage. */
typedef struct GpiPluginPostMessageArgs {
    uint32_t identity;
    uint32_t value;
} GpiPluginPostMessageArgs;

/* GPIOP_ObjectIsValid: out = 1 for a known handle or plug-in identity, else 0. */
typedef struct GpiObjectIsValidArgs {
    uint32_t value;
    uint32_t* out;
} GpiObjectIsValidArgs;

/* GPIOP_SetStatusText: a null text restores the idle message. */
typedef struct GpiSetStatusTextArgs {
    uint32_t identity;
    const char* text;
} GpiSetStatusTextArgs;

/* GPIOP_HostAlloc: size bytes from the host's heap. */
typedef struct GpiHostAllocArgs {
    uint32_t size;
    void** out;
} GpiHostAllocArgs;

/* GPIOP_GetHostVersion: the host's version text. */
typedef struct GpiGetHostVersionArgs {
    uint32_t identity;
    char* buffer;
    uint32_t* size;
} GpiGetHostVersionArgs;

/* ------------------------------------------------------------------------
 * Argument blocks of the workspace and theme operations. Blocks of the same
 * shape share one record; each operation's name is an alias of it. The
 * check order of every operation: a null block, then a null required out
 * pointer (GPIERR_IllegalParameter); then each handle in block order
 * (GPIERR_InvalidHandle, also for a handle of another kind); then values.
 * ------------------------------------------------------------------------ */

/* A handle and one out word. */
typedef struct GpiHandleOutArgs {
    uint32_t handle;
    uint32_t* out;
} GpiHandleOutArgs;
typedef GpiHandleOutArgs GpiWorkspaceGetMapArgs;                /* 9: out = map */
typedef GpiHandleOutArgs GpiWorkspaceGetThemeCountArgs;         /* 10 */
typedef GpiHandleOutArgs GpiWorkspaceIsActiveArgs;              /* 15: 1 or 0 */
typedef GpiHandleOutArgs GpiThemeIsSelectedArgs;                /* 27 */
typedef GpiHandleOutArgs GpiThemeIsReadOnlyArgs;                /* 28 */
typedef GpiHandleOutArgs GpiThemeGetFieldCountArgs;             /* 31 */
typedef GpiHandleOutArgs GpiThemeGetShapeTypeArgs;              /* 35 */
typedef GpiHandleOutArgs GpiThemeGetWorkspaceArgs;              /* 73 */
typedef GpiHandleOutArgs GpiThemeIsVisibleArgs;                 /* 76 */
typedef GpiHandleOutArgs GpiWorkspaceGetSelectedThemesArgs;     /* 77: out = recordset */
typedef GpiHandleOutArgs GpiWorkspaceGetActiveThemeArgs;        /* 85: 0 for none */
typedef GpiHandleOutArgs GpiThemeGetColorArgs;                  /* 97 */
typedef GpiHandleOutArgs GpiThemeGetBaseColorArgs;              /* 101 */
typedef GpiHandleOutArgs GpiThemeGetLineWidthArgs;              /* 103 */
typedef GpiHandleOutArgs GpiWorkspaceGetSelectedThemeCountArgs; /* 120 */
typedef GpiHandleOutArgs GpiThemeGetPenStyleArgs;               /* 129 */

/* A handle and one value word. */
typedef struct GpiHandleValueArgs {
    uint32_t handle;
    uint32_t value;
} GpiHandleValueArgs;
typedef GpiHandleValueArgs GpiThemeSetColorArgs;     /* 98: COLORREF 0x00BBGGRR */
typedef GpiHandleValueArgs GpiThemeSetBaseColorArgs; /* 102 */
typedef GpiHandleValueArgs GpiThemeSetLineWidthArgs; /* 104 */
typedef GpiHandleValueArgs GpiThemeSetSelectedArgs;  /* 114: non-zero selects */
typedef GpiHandleValueArgs GpiThemeSetPenStyleArgs;  /* 130 */
typedef GpiHandleValueArgs GpiThemeDeleteFieldArgs;  /* 84: value = field index */

/* A handle and a text the host reads. */
typedef struct GpiHandleTextArgs {
    uint32_t handle;
    const char* text;
} GpiHandleTextArgs;
typedef GpiHandleTextArgs GpiWorkspacePrintConsoleArgs;   /* 14 */
typedef GpiHandleTextArgs GpiThemeSetNameArgs;            /* 30 */
typedef GpiHandleTextArgs GpiWorkspaceSetDescriptionArgs; /* 94 */
typedef GpiHandleTextArgs GpiThemeSetCommentArgs;         /* 96 */

/* A handle and a text result (two-call size protocol). */
typedef struct GpiHandleStringArgs {
    uint32_t handle;
    char* buffer;
    uint32_t* size;
} GpiHandleStringArgs;
typedef GpiHandleStringArgs GpiThemeGetNameArgs;            /* 29 */
typedef GpiHandleStringArgs GpiWorkspaceGetDescriptionArgs; /* 93 */
typedef GpiHandleStringArgs GpiThemeGetCommentArgs;         /* 95 */

/* A handle and four optional out doubles: xmin, ymin, xmax, ymax. */
typedef struct GpiHandleBoundsArgs {
    uint32_t handle;
    double* xmin;
    double* ymin;
    double* xmax;
    double* ymax;
} GpiHandleBoundsArgs;
typedef GpiHandleBoundsArgs GpiWorkspaceGetExtentArgs; /* 13 */
typedef GpiHandleBoundsArgs GpiThemeGetBoundsArgs;     /* 36 */

/* 11: the theme at a position of the workspace's theme list. */
typedef struct GpiWorkspaceGetThemeArgs {
    uint32_t workspace;
    uint32_t index;
    uint32_t* theme;
} GpiWorkspaceGetThemeArgs;

/* 12: a new, empty, editable theme of a shape type (1, 3, 5, 8, 11, 13 or
 * 15). theme may be null. */
typedef struct GpiWorkspaceAddThemeArgs {
    uint32_t workspace;
    uint32_t shapeType;
    const char* name;
    uint32_t* theme;
} GpiWorkspaceAddThemeArgs;

/* 16: the user picks a theme; caption may be null; theme = 0 when cancelled. */
typedef struct GpiWorkspaceSelectThemeArgs {
    uint32_t workspace;
    const char* caption;
    uint32_t* theme;
} GpiWorkspaceSelectThemeArgs;

/* 42: font receives the 60-byte LOGFONT of the labels, colour their colour;
 * either may be null. */
typedef struct GpiThemeGetLabelFontArgs {
    uint32_t theme;
    void* font;
    uint32_t* colour;
} GpiThemeGetLabelFontArgs;

/* 70: the name of a field, as a text result. */
typedef struct GpiThemeGetFieldNameArgs {
    uint32_t theme;
    uint32_t field;
    char* buffer;
    uint32_t* size;
} GpiThemeGetFieldNameArgs;

/* Field types of the type words of ops 83 and 119; GPI_FIELD_KEY marks a key
 * field. */
enum GpiFieldType {
    GPIFT_String = 0,
    GPIFT_Int = 1,
    GPIFT_Double = 2,
    GPIFT_Date = 3,
    GPIFT_Boolean = 4
};
#define GPI_FIELD_KEY 0x80000000u

/* 83: a field appended to an editable theme's own table; defaultValue (may be
 * null) goes into every existing row; field (may be null) receives its index. */
typedef struct GpiThemeAddFieldArgs {
    uint32_t theme;
    uint32_t type;
    const char* name;
    const char* defaultValue;
    uint32_t* field;
} GpiThemeAddFieldArgs;

/* 106: removed = 1 when the theme was removed (the user is asked first). */
typedef struct GpiWorkspaceRemoveThemeArgs {
    uint32_t workspace;
    uint32_t theme;
    uint32_t* removed;
} GpiWorkspaceRemoveThemeArgs;

/* 107: a picture a plug-in made, for an image theme: width x height pixels,
 * rows stride bytes apart, each pixel a 32-bit 0xAARRGGBB word. The host
 * copies the pixels. */
typedef struct GpiBitmap {
    uint32_t width;
    uint32_t height;
    uint32_t stride;
    const void* pixels;
} GpiBitmap;

typedef struct GpiThemeSetRasterImageArgs {
    uint32_t theme;
    const GpiBitmap* bitmap;
    double x1;
    double y1;
    double x2;
    double y2;
    const char* name;
} GpiThemeSetRasterImageArgs;

/* 108 and 109: the plug-in's data block, kept with the workspace or the
 * theme and stored in the workspace file. */
typedef struct GpiSetPluginDataArgs {
    uint32_t identity;
    uint32_t handle;
    uint32_t size;
    const void* data;
} GpiSetPluginDataArgs;
typedef GpiSetPluginDataArgs GpiWorkspaceSetPluginDataArgs; /* 108: handle = workspace */
typedef GpiSetPluginDataArgs GpiThemeSetPluginDataArgs;     /* 109: handle = theme */

/* 119: type = GPIFT_*, with GPI_FIELD_KEY for a key field. */
typedef struct GpiThemeGetFieldTypeArgs {
    uint32_t theme;
    uint32_t field;
    uint32_t* type;
} GpiThemeGetFieldTypeArgs;

/* 125: the index of the field of exactly that name (letter case counts);
 * GPIERR_False when there is none. */
typedef struct GpiThemeFindFieldArgs {
    uint32_t theme;
    const char* name;
    uint32_t* field;
} GpiThemeFindFieldArgs;

/* 126: a theme of copies of the theme's selected shapes; name may be null
 * ("From: " + the theme's name), newTheme may be null. */
typedef struct GpiWorkspaceNewThemeFromSelectionArgs {
    uint32_t workspace;
    uint32_t theme;
    const char* name;
    uint32_t* newTheme;
} GpiWorkspaceNewThemeFromSelectionArgs;

/* 131: the description of a field. */
typedef struct GpiThemeSetFieldTextArgs {
    uint32_t theme;
    uint32_t field;
    const char* text;
} GpiThemeSetFieldTextArgs;

/* ------------------------------------------------------------------------
 * Argument blocks of the shape, selection, recordset, map view, toolbar and
 * script operations. An operation whose argument is a handle itself (50-53,
 * 57, 87, 89, 111, 113, 127; 3, 37, 72, 75, 81, 115, 117 above) has no
 * block. A double after a single leading handle follows a pad word, so that
 * it sits at offset 8 on every target.
 * ------------------------------------------------------------------------ */

typedef GpiHandleBoundsArgs GpiMapGetClientExtentArgs; /* 17: all four required */
typedef GpiHandleBoundsArgs GpiShapeGetBoundsArgs;     /* 47: each may be null */

typedef GpiHandleOutArgs GpiThemeGetShapeCountArgs;     /* 32 */
typedef GpiHandleOutArgs GpiThemeGetSelectionCountArgs; /* 39 */
typedef GpiHandleOutArgs GpiThemeGetSelectionArgs;      /* 40: out = recordset */
typedef GpiHandleOutArgs GpiShapeGetTypeArgs;           /* 46 */
typedef GpiHandleOutArgs GpiRecordsetGetValueArgs;      /* 54: out = the handle at the cursor */
typedef GpiHandleOutArgs GpiRecordsetIsEOFArgs;         /* 55 */
typedef GpiHandleOutArgs GpiRecordsetIsBOFArgs;         /* 56 */
typedef GpiHandleOutArgs GpiRecordsetGetCountArgs;      /* 65 */
typedef GpiHandleOutArgs GpiToolBarGetButtonCountArgs;  /* 67 */
typedef GpiHandleOutArgs GpiToolBarGetStateArgs;        /* 121 */
typedef GpiHandleOutArgs GpiShapeGetPartCountArgs;      /* 122 */
typedef GpiHandleOutArgs GpiToolPaneQueryArgs;          /* 133 */

typedef GpiHandleValueArgs GpiMapRedrawArgs;          /* 22: value = erase */
typedef GpiHandleValueArgs GpiCommandItemEnableArgs;  /* 78: value = enabled */

typedef GpiHandleTextArgs GpiScriptCallFunctionArgs; /* 88: text = the function's name */

/* A handle, an index and an out word. */
typedef struct GpiHandleIndexOutArgs {
    uint32_t handle;
    uint32_t index;
    uint32_t* out;
} GpiHandleIndexOutArgs;
typedef GpiHandleIndexOutArgs GpiThemeGetShapeArgs;           /* 33: index = visible position */
typedef GpiHandleIndexOutArgs GpiThemeFindShapeArgs;          /* 34: index = shape index */
typedef GpiHandleIndexOutArgs GpiShapeGetPartPointCountArgs;  /* 123: index = part */

/* 18 */
typedef struct GpiMapGetClientSizeArgs {
    uint32_t map;
    uint32_t* width;
    uint32_t* height;
} GpiMapGetClientSizeArgs;

/* 19 */
typedef struct GpiMapWorldToClientArgs {
    uint32_t map;
    uint32_t pad;
    double x;
    double y;
    int32_t* px;
    int32_t* py;
} GpiMapWorldToClientArgs;

/* 20 */
typedef struct GpiMapClientToWorldArgs {
    uint32_t map;
    int32_t px;
    int32_t py;
    double* x;
    double* y;
} GpiMapClientToWorldArgs;

/* 24: record is a shape record as in a .shp file, from its 8-byte record
 * header (record number and content length, both big-endian) on, the type
 * word following at offset 8; shape may be null. */
typedef struct GpiThemeAddShapeArgs {
    uint32_t theme;
    const void* record;
    uint32_t* shape;
} GpiThemeAddShapeArgs;

/* 25 */
typedef struct GpiThemeUpdateShapeArgs {
    uint32_t theme;
    uint32_t shape;
    const void* record;
} GpiThemeUpdateShapeArgs;

/* A theme and one of its shapes, in either order, and an out word. */
typedef struct GpiThemeShapeArgs {
    uint32_t first;
    uint32_t second;
} GpiThemeShapeArgs;
typedef GpiThemeShapeArgs GpiThemeDeleteShapeArgs;    /* 26: theme, shape */
typedef GpiThemeShapeArgs GpiMapZoomToSelectionArgs;  /* 60: map, theme */
typedef GpiThemeShapeArgs GpiMapZoomToThemeArgs;      /* 61: map, theme or 0 */

typedef struct GpiThemeShapeOutArgs {
    uint32_t first;
    uint32_t second;
    uint32_t* out;
} GpiThemeShapeOutArgs;
typedef GpiThemeShapeOutArgs GpiThemeQueryIntersectingArgs; /* 38: theme, shape; out = recordset */
typedef GpiThemeShapeOutArgs GpiShapeIsSelectedArgs;        /* 44: shape, theme */
typedef GpiThemeShapeOutArgs GpiMapGetToolArgs;             /* 62: map, identity; out = tool */

/* 41: shape's info-tip text. */
typedef struct GpiShapeGetInfoTipTextArgs {
    uint32_t theme;
    uint32_t shape;
    char* buffer;
    uint32_t* size;
} GpiShapeGetInfoTipTextArgs;

/* 43: query in the attribute query language. */
typedef struct GpiThemeQueryArgs {
    uint32_t theme;
    const char* query;
    uint32_t* recordset;
} GpiThemeQueryArgs;

/* A shape, a theme and a value word. */
typedef struct GpiThemeShapeValueArgs {
    uint32_t first;
    uint32_t second;
    uint32_t value;
} GpiThemeShapeValueArgs;
typedef GpiThemeShapeValueArgs GpiShapeSelectArgs;  /* 45: shape, theme, select */
typedef GpiThemeShapeValueArgs GpiMapSetToolArgs;   /* 63: map, identity, tool */
typedef GpiThemeShapeValueArgs GpiThemeUpdateBatchArgs; /* 99: identity, theme, end */

/* 48 */
typedef struct GpiShapeGetAttributeArgs {
    uint32_t shape;
    uint32_t theme;
    uint32_t field;
    char* buffer;
    uint32_t* size;
} GpiShapeGetAttributeArgs;

/* 49: with a null buffer, size receives the record's size in bytes. */
typedef struct GpiShapeGetRecordArgs {
    uint32_t shape;
    void* buffer;
    uint32_t* size;
} GpiShapeGetRecordArgs;

/* 58 */
typedef struct GpiMapCenterAtArgs {
    uint32_t map;
    uint32_t pad;
    double x;
    double y;
} GpiMapCenterAtArgs;

/* 59 */
typedef struct GpiMapZoomArgs {
    uint32_t map;
    uint32_t pad;
    double factor;
} GpiMapZoomArgs;

/* 64 and 82: shapes inside (intersect 0) or touching (intersect 1) the
 * rectangle. */
typedef struct GpiThemeQueryRectangleArgs {
    uint32_t theme;
    uint32_t pad;
    double x1;
    double y1;
    double x2;
    double y2;
    uint32_t intersect;
    uint32_t* recordset;
} GpiThemeQueryRectangleArgs;
typedef GpiThemeQueryRectangleArgs GpiThemeQuerySelectedRectangleArgs; /* 82 */

/* 68 and 69 */
typedef struct GpiToolBarButtonArgs {
    uint32_t toolbar;
    uint32_t identity;
    uint32_t buttonId;
    uint32_t value;
} GpiToolBarButtonArgs;
typedef GpiToolBarButtonArgs GpiToolBarEnableButtonArgs; /* 68: value = enable */
typedef GpiToolBarButtonArgs GpiToolBarCheckButtonArgs;  /* 69: value = check */

/* 71 */
typedef struct GpiShapeSetAttributeArgs {
    uint32_t shape;
    uint32_t theme;
    uint32_t field;
    const char* value;
} GpiShapeSetAttributeArgs;

/* 86: script may receive 0 when the file does not compile. */
typedef struct GpiWorkspaceCreateScriptArgs {
    uint32_t workspace;
    const char* file;
    uint32_t* script;
} GpiWorkspaceCreateScriptArgs;

/* 100: values[0..count-1] go into fields 0..count-1. */
typedef struct GpiShapeSetAttributesArgs {
    uint32_t shape;
    uint32_t theme;
    uint32_t count;
    const char* const* values;
} GpiShapeSetAttributesArgs;

/* 124: any out pointer may be null. */
typedef struct GpiShapeGetPointArgs {
    uint32_t shape;
    uint32_t part;
    uint32_t point;
    double* x;
    double* y;
    double* z;
} GpiShapeGetPointArgs;

/* 128 */
typedef struct GpiShapeGetNearestPointArgs {
    uint32_t shape;
    uint32_t pad;
    double x;
    double y;
    double* nx;
    double* ny;
} GpiShapeGetNearestPointArgs;

/* 134 */
typedef struct GpiShapeSetAttributeIntArgs {
    uint32_t shape;
    uint32_t theme;
    uint32_t field;
    int32_t value;
} GpiShapeSetAttributeIntArgs;

/* 135 */
typedef struct GpiShapeSetAttributeDoubleArgs {
    uint32_t shape;
    uint32_t theme;
    uint32_t field;
    uint32_t pad;
    double value;
} GpiShapeSetAttributeDoubleArgs;

/* 136: shape may be null. */
typedef struct GpiThemeAddPointArgs {
    uint32_t theme;
    uint32_t pad;
    double x;
    double y;
    uint32_t* shape;
} GpiThemeAddPointArgs;

/* 137: one geometry as well-known text; shape may be null. */
typedef struct GpiThemeAddShapeWktArgs {
    uint32_t theme;
    const char* wkt;
    uint32_t* shape;
} GpiThemeAddShapeWktArgs;

/* 138: one geometry as well-known binary of size bytes; shape may be null. */
typedef struct GpiThemeAddShapeWkbArgs {
    uint32_t theme;
    const void* wkb;
    uint32_t size;
    uint32_t* shape;
} GpiThemeAddShapeWkbArgs;

/* 139: as 99, with room reserved for count shapes. */
typedef struct GpiThemeUpdateBatchReserveArgs {
    uint32_t identity;
    uint32_t theme;
    uint32_t end;
    uint32_t count;
} GpiThemeUpdateBatchReserveArgs;

/* ------------------------------------------------------------------------
 * Argument blocks of the map view's window and drawing, and of the plug-in
 * toolbars and tool panes. Where the operation table speaks of a window, the
 * host hands out its widget (a QWidget*), which a plug-in built against the
 * same Qt may use as the parent of its own widgets.
 * ------------------------------------------------------------------------ */

/* 21 */
typedef struct GpiMapGetWindowArgs {
    uint32_t map;
    void** window; /* the map view's widget */
} GpiMapGetWindowArgs;

/* Pixels a plug-in lends the host to draw into: width x height pixels, rows
 * stride bytes apart, each pixel a 32-bit 0xAARRGGBB word (as GpiBitmap). */
typedef struct GpiRenderTarget {
    uint32_t width;
    uint32_t height;
    uint32_t stride;
    void* pixels;
} GpiRenderTarget;

/* 23: draws the map around (centerX, centerY), mapWidth x mapHeight map
 * units (both 0: at the view's units per pixel), into width x height pixels
 * at the top left of the target. */
typedef struct GpiMapRenderArgs {
    uint32_t map;
    GpiRenderTarget* dc;
    uint32_t width;
    uint32_t height;
    double centerX;
    double centerY;
    double mapWidth;
    double mapHeight;
} GpiMapRenderArgs;

/* A plug-in's toolbar, in place of a toolbar resource of its module: the
 * buttons in order, a button of id 0 being a separator. description is the
 * button's status-bar prompt, a line feed and its tooltip (either part may be
 * empty; without a line feed the whole text is the tooltip). image, when not
 * null, is the button's picture. */
typedef struct GpiToolBarButtonDesc {
    uint32_t id;
    const char* description;
    const GpiBitmap* image;
} GpiToolBarButtonDesc;

typedef struct GpiToolBarDesc {
    uint32_t resourceId; /* the id GPIOP_ToolBarCreate names it by */
    uint32_t buttonCount;
    const GpiToolBarButtonDesc* buttons;
} GpiToolBarDesc;

/* 66: module points to the plug-in's GpiToolBarDesc; a resource id other
 * than its resourceId finds no toolbar. */
typedef struct GpiToolBarCreateArgs {
    uint32_t identity;
    const GpiToolBarDesc* module;
    uint32_t resourceId;
    const char* name;
    uint32_t* toolbar;
} GpiToolBarCreateArgs;

/* 132: icon, when not null, becomes the pane's small icon; window (may be
 * null) receives the pane's widget, into which the plug-in puts its own;
 * tpane (may be null) the pane's handle. */
typedef struct GpiToolPaneCreateArgs {
    uint32_t identity;
    const char* caption;
    const GpiBitmap* icon;
    void** window;
    uint32_t* tpane;
} GpiToolPaneCreateArgs;

/* 112 */
typedef struct GpiToolPaneGetWindowArgs {
    uint32_t tpane;
    void** window;
} GpiToolPaneGetWindowArgs;

/* ------------------------------------------------------------------------
 * Layouts. P is the size of a pointer: 4 on 32-bit, 8 on 64-bit builds.
 * ------------------------------------------------------------------------ */
#define GPI_P ((size_t)sizeof(void*))
/* n rounded up to a multiple of the power of two a. */
#define GPI_ROUND_UP(n, a) (((size_t)(n) + (a) - 1) & ~((size_t)(a) - 1))
GPI_STATIC_ASSERT(sizeof(void (*)(void)) == sizeof(void*), "function pointers are pointer-sized");
GPI_STATIC_ASSERT(sizeof(float) == 4, "f32 is four bytes");

GPI_STATIC_ASSERT(sizeof(GpiGuid) == 16, "GpiGuid layout");
GPI_STATIC_ASSERT(offsetof(GpiGuid, Data2) == 4, "GpiGuid layout");
GPI_STATIC_ASSERT(offsetof(GpiGuid, Data3) == 6, "GpiGuid layout");
GPI_STATIC_ASSERT(offsetof(GpiGuid, Data4) == 8, "GpiGuid layout");

GPI_STATIC_ASSERT(offsetof(GpiInitInfo, identity) == 0, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, dispatch) == 1 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, name) == 2 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, description) == 3 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, about) == 4 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, version) == 5 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, callback) == 6 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, pfnSettings) == 7 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiInitInfo, reserved) == 8 * GPI_P, "GpiInitInfo layout");
GPI_STATIC_ASSERT(sizeof(GpiInitInfo) == 9 * GPI_P, "GpiInitInfo layout");

GPI_STATIC_ASSERT(sizeof(GpiHookArgs) == 4, "GpiHookArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookThemeArgs, theme) == 4, "GpiHookThemeArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookThemeArgs) == 8, "GpiHookThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookSelectionArgs, theme) == 4, "GpiHookSelectionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookSelectionArgs, flag) == 8, "GpiHookSelectionArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookSelectionArgs) == 12, "GpiHookSelectionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookShapeArgs, theme) == 4, "GpiHookShapeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookShapeArgs, shape) == 8, "GpiHookShapeArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookShapeArgs) == 12, "GpiHookShapeArgs layout");

GPI_STATIC_ASSERT(offsetof(GpiHookMouseArgs, x) == 4, "GpiHookMouseArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookMouseArgs, y) == 8, "GpiHookMouseArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookMouseArgs, keyFlags) == 12, "GpiHookMouseArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookMouseArgs, reserved) == 16, "GpiHookMouseArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookMouseArgs) == 20, "GpiHookMouseArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookToolBarButtonArgs, commandId) == 4, "GpiHookToolBarButtonArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookToolBarButtonArgs) == 8, "GpiHookToolBarButtonArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookCommandItemArgs, item) == 4, "GpiHookCommandItemArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookCommandItemArgs) == 8, "GpiHookCommandItemArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookFileOpenArgs, path) == GPI_P, "GpiHookFileOpenArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookFileOpenArgs) == 2 * GPI_P, "GpiHookFileOpenArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookDataLoadedArgs, theme) == 4, "GpiHookDataLoadedArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookDataLoadedArgs, size) == 8, "GpiHookDataLoadedArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookDataLoadedArgs, data) == GPI_ROUND_UP(12, GPI_P), "GpiHookDataLoadedArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookDataLoadedArgs) == GPI_ROUND_UP(12, GPI_P) + GPI_P, "GpiHookDataLoadedArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiScriptValue, reserved) == 4, "GpiScriptValue layout");
GPI_STATIC_ASSERT(offsetof(GpiScriptValue, value) == 8, "GpiScriptValue layout");
GPI_STATIC_ASSERT(sizeof(GpiScriptValue) == 16, "GpiScriptValue layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, name) == GPI_P, "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, inOut) == 2 * GPI_P, "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, argumentCount) == 2 * GPI_P + 4, "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, arguments) == 2 * GPI_P + 8, "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, resultCount) == 3 * GPI_P + 8, "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHookScriptCallArgs, results) == GPI_ROUND_UP(3 * GPI_P + 12, GPI_P),
                  "GpiHookScriptCallArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHookScriptCallArgs) == GPI_ROUND_UP(3 * GPI_P + 12, GPI_P) + GPI_P,
                  "GpiHookScriptCallArgs layout");

GPI_STATIC_ASSERT(offsetof(GpiRegisterHookArgs, hookType) == 4, "GpiRegisterHookArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiRegisterHookArgs, userData) == 8, "GpiRegisterHookArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiRegisterHookArgs, info) == GPI_ROUND_UP(12, GPI_P), "GpiRegisterHookArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiRegisterHookArgs) == GPI_ROUND_UP(12, GPI_P) + GPI_P, "GpiRegisterHookArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiUnregisterHookArgs, hookType) == 4, "GpiUnregisterHookArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiUnregisterHookArgs) == 8, "GpiUnregisterHookArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiCommandItemInfo, text) == GPI_P, "GpiCommandItemInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiCommandItemInfo, prompt) == 2 * GPI_P, "GpiCommandItemInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiCommandItemInfo, reserved) == 3 * GPI_P, "GpiCommandItemInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiCommandItemInfo, item) == 4 * GPI_P, "GpiCommandItemInfo layout");
GPI_STATIC_ASSERT(sizeof(GpiCommandItemInfo) == 5 * GPI_P, "GpiCommandItemInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiFileTypeInfo, pattern) == GPI_P, "GpiFileTypeInfo layout");
GPI_STATIC_ASSERT(sizeof(GpiFileTypeInfo) == 2 * GPI_P, "GpiFileTypeInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiScriptNamesInfo, properties) == GPI_P, "GpiScriptNamesInfo layout");
GPI_STATIC_ASSERT(offsetof(GpiScriptNamesInfo, methods) == 2 * GPI_P, "GpiScriptNamesInfo layout");
GPI_STATIC_ASSERT(sizeof(GpiScriptNamesInfo) == 3 * GPI_P, "GpiScriptNamesInfo layout");

GPI_STATIC_ASSERT(offsetof(GpiGetErrorTextArgs, buffer) == GPI_P, "GpiGetErrorTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiGetErrorTextArgs, size) == 2 * GPI_P, "GpiGetErrorTextArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiGetErrorTextArgs) == 3 * GPI_P, "GpiGetErrorTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiGetWorkspaceArgs, workspace) == GPI_P, "GpiGetWorkspaceArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiGetWorkspaceArgs) == 2 * GPI_P, "GpiGetWorkspaceArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiStatusPaneSetTextArgs, text) == GPI_P, "GpiStatusPaneSetTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiStatusPaneSetTextArgs, icon) == 2 * GPI_P, "GpiStatusPaneSetTextArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiStatusPaneSetTextArgs) == 3 * GPI_P, "GpiStatusPaneSetTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiStatusPaneCreateArgs, pane) == GPI_P, "GpiStatusPaneCreateArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiStatusPaneCreateArgs) == 2 * GPI_P, "GpiStatusPaneCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiProgressCreateArgs, fraction) == GPI_P, "GpiProgressCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiProgressCreateArgs, progress) == 2 * GPI_P, "GpiProgressCreateArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiProgressCreateArgs) == 3 * GPI_P, "GpiProgressCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiProgressSetPosArgs, fraction) == 4, "GpiProgressSetPosArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiProgressSetPosArgs) == 8, "GpiProgressSetPosArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiPluginPostMessageArgs, value) == 4, "GpiPluginPostMessageArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiPluginPostMessageArgs) == 8, "GpiPluginPostMessageArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiObjectIsValidArgs, out) == GPI_P, "GpiObjectIsValidArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiObjectIsValidArgs) == 2 * GPI_P, "GpiObjectIsValidArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiSetStatusTextArgs, text) == GPI_P, "GpiSetStatusTextArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiSetStatusTextArgs) == 2 * GPI_P, "GpiSetStatusTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHostAllocArgs, out) == GPI_P, "GpiHostAllocArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHostAllocArgs) == 2 * GPI_P, "GpiHostAllocArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiGetHostVersionArgs, buffer) == GPI_P, "GpiGetHostVersionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiGetHostVersionArgs, size) == 2 * GPI_P, "GpiGetHostVersionArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiGetHostVersionArgs) == 3 * GPI_P, "GpiGetHostVersionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleOutArgs, out) == GPI_P, "GpiHandleOutArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHandleOutArgs) == 2 * GPI_P, "GpiHandleOutArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleValueArgs, value) == 4, "GpiHandleValueArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHandleValueArgs) == 8, "GpiHandleValueArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleTextArgs, text) == GPI_P, "GpiHandleTextArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiHandleTextArgs) == 2 * GPI_P, "GpiHandleTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleStringArgs, buffer) == GPI_P, "GpiHandleStringArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleStringArgs, size) == 2 * GPI_P, "GpiHandleStringArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleBoundsArgs, xmin) == GPI_P, "GpiHandleBoundsArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleBoundsArgs, ymax) == 4 * GPI_P, "GpiHandleBoundsArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceGetThemeArgs, index) == 4, "GpiWorkspaceGetThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceGetThemeArgs, theme) == 8, "GpiWorkspaceGetThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceAddThemeArgs, name) == 8, "GpiWorkspaceAddThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceAddThemeArgs, theme) == 8 + GPI_P, "GpiWorkspaceAddThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceSelectThemeArgs, theme) == 2 * GPI_P, "GpiWorkspaceSelectThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeGetLabelFontArgs, colour) == 2 * GPI_P, "GpiThemeGetLabelFontArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeGetFieldNameArgs, buffer) == 8, "GpiThemeGetFieldNameArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeGetFieldNameArgs, size) == 8 + GPI_P, "GpiThemeGetFieldNameArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddFieldArgs, name) == 8, "GpiThemeAddFieldArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddFieldArgs, field) == 8 + 2 * GPI_P, "GpiThemeAddFieldArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceRemoveThemeArgs, removed) == 8, "GpiWorkspaceRemoveThemeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiBitmap, pixels) == GPI_ROUND_UP(12, GPI_P), "GpiBitmap layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeSetRasterImageArgs, bitmap) == GPI_P, "GpiThemeSetRasterImageArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeSetRasterImageArgs, x1) == GPI_ROUND_UP(2 * GPI_P, 8),
                  "GpiThemeSetRasterImageArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiSetPluginDataArgs, size) == 8, "GpiSetPluginDataArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiSetPluginDataArgs, data) == GPI_ROUND_UP(12, GPI_P), "GpiSetPluginDataArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeGetFieldTypeArgs, type) == 8, "GpiThemeGetFieldTypeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeFindFieldArgs, field) == 2 * GPI_P, "GpiThemeFindFieldArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceNewThemeFromSelectionArgs, name) == 8,
                  "GpiWorkspaceNewThemeFromSelectionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceNewThemeFromSelectionArgs, newTheme) == 8 + GPI_P,
                  "GpiWorkspaceNewThemeFromSelectionArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeSetFieldTextArgs, text) == 8, "GpiThemeSetFieldTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiHandleIndexOutArgs, out) == 8, "GpiHandleIndexOutArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapGetClientSizeArgs, height) == 2 * GPI_P, "GpiMapGetClientSizeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapWorldToClientArgs, x) == 8, "GpiMapWorldToClientArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapWorldToClientArgs, px) == 24, "GpiMapWorldToClientArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapClientToWorldArgs, x) == GPI_ROUND_UP(12, GPI_P), "GpiMapClientToWorldArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddShapeArgs, shape) == 2 * GPI_P, "GpiThemeAddShapeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeUpdateShapeArgs, record) == 8, "GpiThemeUpdateShapeArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiThemeShapeArgs) == 8, "GpiThemeShapeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeShapeOutArgs, out) == 8, "GpiThemeShapeOutArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetInfoTipTextArgs, size) == 8 + GPI_P, "GpiShapeGetInfoTipTextArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeQueryArgs, recordset) == 2 * GPI_P, "GpiThemeQueryArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiThemeShapeValueArgs) == 12, "GpiThemeShapeValueArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetAttributeArgs, buffer) == GPI_ROUND_UP(12, GPI_P),
                  "GpiShapeGetAttributeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetRecordArgs, size) == 2 * GPI_P, "GpiShapeGetRecordArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapCenterAtArgs, x) == 8, "GpiMapCenterAtArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapZoomArgs, factor) == 8, "GpiMapZoomArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeQueryRectangleArgs, x1) == 8, "GpiThemeQueryRectangleArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeQueryRectangleArgs, intersect) == 40, "GpiThemeQueryRectangleArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeQueryRectangleArgs, recordset) == GPI_ROUND_UP(44, GPI_P),
                  "GpiThemeQueryRectangleArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiToolBarButtonArgs) == 16, "GpiToolBarButtonArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeSetAttributeArgs, value) == GPI_ROUND_UP(12, GPI_P),
                  "GpiShapeSetAttributeArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiWorkspaceCreateScriptArgs, script) == 2 * GPI_P, "GpiWorkspaceCreateScriptArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeSetAttributesArgs, values) == GPI_ROUND_UP(12, GPI_P),
                  "GpiShapeSetAttributesArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetPointArgs, x) == GPI_ROUND_UP(12, GPI_P), "GpiShapeGetPointArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetNearestPointArgs, x) == 8, "GpiShapeGetNearestPointArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeGetNearestPointArgs, nx) == 24, "GpiShapeGetNearestPointArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiShapeSetAttributeIntArgs) == 16, "GpiShapeSetAttributeIntArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiShapeSetAttributeDoubleArgs, value) == 16, "GpiShapeSetAttributeDoubleArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddPointArgs, x) == 8, "GpiThemeAddPointArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddPointArgs, shape) == 24, "GpiThemeAddPointArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddShapeWktArgs, shape) == 2 * GPI_P, "GpiThemeAddShapeWktArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddShapeWkbArgs, size) == 2 * GPI_P, "GpiThemeAddShapeWkbArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiThemeAddShapeWkbArgs, shape) == GPI_ROUND_UP(2 * GPI_P + 4, GPI_P),
                  "GpiThemeAddShapeWkbArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiThemeUpdateBatchReserveArgs) == 16, "GpiThemeUpdateBatchReserveArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapGetWindowArgs, window) == GPI_P, "GpiMapGetWindowArgs layout");
GPI_STATIC_ASSERT(sizeof(GpiMapGetWindowArgs) == 2 * GPI_P, "GpiMapGetWindowArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiRenderTarget, pixels) == GPI_ROUND_UP(12, GPI_P), "GpiRenderTarget layout");
GPI_STATIC_ASSERT(offsetof(GpiMapRenderArgs, dc) == GPI_P, "GpiMapRenderArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapRenderArgs, width) == 2 * GPI_P, "GpiMapRenderArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapRenderArgs, height) == 2 * GPI_P + 4, "GpiMapRenderArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapRenderArgs, centerX) == GPI_ROUND_UP(2 * GPI_P + 8, 8), "GpiMapRenderArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiMapRenderArgs, mapHeight) == GPI_ROUND_UP(2 * GPI_P + 8, 8) + 24,
                  "GpiMapRenderArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarButtonDesc, description) == GPI_P, "GpiToolBarButtonDesc layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarButtonDesc, image) == 2 * GPI_P, "GpiToolBarButtonDesc layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarDesc, buttonCount) == 4, "GpiToolBarDesc layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarDesc, buttons) == 8, "GpiToolBarDesc layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarCreateArgs, module) == GPI_P, "GpiToolBarCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarCreateArgs, resourceId) == 2 * GPI_P, "GpiToolBarCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarCreateArgs, name) == 3 * GPI_P, "GpiToolBarCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolBarCreateArgs, toolbar) == 4 * GPI_P, "GpiToolBarCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolPaneCreateArgs, caption) == GPI_P, "GpiToolPaneCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolPaneCreateArgs, icon) == 2 * GPI_P, "GpiToolPaneCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolPaneCreateArgs, window) == 3 * GPI_P, "GpiToolPaneCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolPaneCreateArgs, tpane) == 4 * GPI_P, "GpiToolPaneCreateArgs layout");
GPI_STATIC_ASSERT(offsetof(GpiToolPaneGetWindowArgs, window) == GPI_P, "GpiToolPaneGetWindowArgs layout");
#undef GPI_ROUND_UP
#undef GPI_P

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CORVALE_SDK_GPI_H */
