/* What the user-interface test plug-in exports besides its GPI entries:
 * GpiUiTestGetControl, through which a test reads what the plug-in made in
 * fnInit and which toolbar and command item events it received. */
#ifndef CORVALE_TESTS_GPI_UI_TEST_PLUGIN_CONTROL_H
#define CORVALE_TESTS_GPI_UI_TEST_PLUGIN_CONTROL_H

#include "Gpi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The plug-in's ids of its toolbar buttons, as its description lists them:
 * the first, a separator, the second. */
#define GPI_UI_TEST_TOOLBAR_RESOURCE 10015u
#define GPI_UI_TEST_BUTTON_FIRST 101u
#define GPI_UI_TEST_BUTTON_SECOND 102u

typedef struct GpiUiTestControl {
    uint32_t identity;
    int toolbarResult;    /* what GPIOP_ToolBarCreate answered fnInit */
    uint32_t toolbar;     /* the toolbar's handle */
    int commandItemResult;
    uint32_t commandItem; /* the command item's handle */
    /* The toolbar events received: command ids, in order. */
    uint32_t clicks[16];
    uint32_t clickCount;
    /* The command item events received: item handles, in order. */
    uint32_t items[16];
    uint32_t itemCount;
} GpiUiTestControl;

#define GPI_UI_TEST_CONTROL_ENTRY "GpiUiTestGetControl"
typedef GpiUiTestControl* (*GpiUiTestGetControlFn)(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif
