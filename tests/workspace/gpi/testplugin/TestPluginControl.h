/* The test plug-in's window for the tests: besides the GPI entries it exports
 * GpiTestGetControl, through which a test (looking it up in the loaded
 * module) watches what the plug-in receives and tells it how to misbehave. */
#ifndef CORVALE_TESTS_GPI_TEST_PLUGIN_CONTROL_H
#define CORVALE_TESTS_GPI_TEST_PLUGIN_CONTROL_H

#include "Gpi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Called for every event the plug-in receives, before it answers, and once
 * from fnTerminate with hookType 0 and no block. plugin is the name the
 * plug-in was built with. */
typedef void (*GpiTestObserver)(void* context, const char* plugin, uint32_t workspace,
                                uint32_t hookType, void* args);

typedef struct GpiTestControl {
    GpiTestObserver observer;
    void* context;
    uint32_t throwOnHook; /* the callback throws for events of this type; 0: never */
    int throwInTerminate;
    int throwInSettings;
    int callbackAnswer; /* what the callback answers */
    int initCalls;
    int settingsCalls;
    /* The record fnInit received, as the plug-in kept it. */
    GpiInitInfo initInfo;
    /* What GPIOP_RegisterHook answered fnInit for GPIHOOK_DataLoaded. */
    int dataHookResult;
} GpiTestControl;

#define GPI_TEST_CONTROL_ENTRY "GpiTestGetControl"
typedef GpiTestControl* (*GpiTestGetControlFn)(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif
