/* The test loader's window for the tests: besides the loader entries it
 * exports LoaderTestGetControl, through which a test (looking it up in the
 * bound module) tells the loader how to answer and reads what it was asked. */
#ifndef CORVALE_TESTS_TEST_LOADER_CONTROL_H
#define CORVALE_TESTS_TEST_LOADER_CONTROL_H

#include "Loader.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What fnHandleCustomEvent does with the callbacks it is handed. */
enum LoaderTestAction {
    LTA_None = 0,
    LTA_AddRecord = 1,    /* adds the extra record of the theme's type (record number 9) */
    LTA_RemoveFirst = 2,  /* removes the theme's first record */
    LTA_SelectFirst = 3,  /* selects the theme's first record */
    LTA_SelectAll = 4,    /* selects every record (null record) */
    LTA_DeselectFirst = 5,
    LTA_ClearAll = 6,     /* deselects every record */
    LTA_AddDamaged = 7    /* adds a record whose counts do not fit its length */
};

typedef struct LoaderTestControl {
    /* ---- how to answer ---- */
    uint32_t color;          /* colour set in the request (version 3 and up) */
    uint32_t failType;       /* fnLoadShapes fails for this shape type; 0 never */
    uint32_t throwInLoadType;/* fnLoadShapes throws for this shape type; 0 never */
    uint32_t damagedType;    /* a damaged record is handed over for this type */
    uint32_t wrongKindType;  /* a record of another kind is handed over for this type */
    int throwInAttributes;   /* the attribute entries throw */
    int preLoadFails;
    uint8_t placeOnTop;
    uint8_t convertToNative;
    uint32_t penWidth;       /* set in the request when not 0 */
    uint8_t pointSymbol;     /* set in the request when not 0 */
    const char* infoTip;     /* set in the request (version 5) */
    int customAction;        /* LTA_* */
    int customAnswer;        /* fnHandleCustomEvent's answer */
    int eventAnswer;         /* fnHandleEvent's answer */
    int serializeFails;      /* fnSerialize answers 0 for LSM_Save and LSM_Restore */
    uint32_t themeCount;     /* fnThemeCount's answer when not 0 */

    /* ---- what it saw ---- */
    int loadCalls;
    int removeShapesCalls;
    uint32_t lastRemovedHandle;
    uint32_t lastFirstArgument;    /* first argument of the last attribute entry */
    int customEventCalls;
    uint32_t lastCustomCode;
    uint32_t lastCustomHandle;
    uint8_t lastActionResult;      /* what the callback of the last action answered */
    int eventCalls;
    uint32_t lastEventState;
    uint32_t lastEventCount;
    uint32_t eventRecordsFound;    /* getRecord answers that were true, n = 0 .. count */
    uint32_t firstEventRecordNumber;
    int serializeCalls[3];         /* by LSM_* mode */
    int restoredRecords;           /* records the last restore's callback accepted */
    /* From the last request of version 5: the host handle and the post slot. */
    LoaderHostHandle host;
    LoaderPostCustomEventFn post;
    /* The callback answers of the last load, counted. */
    int acceptedRecords;
    int refusedRecords;
} LoaderTestControl;

#define LOADER_TEST_CONTROL_ENTRY "LoaderTestGetControl"
typedef LoaderTestControl* (*LoaderTestGetControlFn)(void);
/* The n-th record of theme number theme of a type, as the loader hands it over. */
#define LOADER_TEST_RECORD_ENTRY "LoaderTestGetRecord"
typedef const void* (*LoaderTestGetRecordFn)(uint32_t type, uint32_t theme, uint32_t n);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif
