/*
 * Statistics.h: the binary interface between Corvale and its statistics
 * plug-ins (.stc shared objects), which compute a figure over the values of
 * an attribute column.
 *
 * A statistics plug-in exports plain C functions with the names below
 * (STC_ENTRY_*), looked up by name when the module is bound. fnGetName,
 * fnPushValue and fnCalculate are required; the others may be left out. A
 * plug-in without fnVersion has interface version 1.
 *
 * The host binds statistics plug-ins to list them in its options and in the
 * Table menu: it checks the entries and the interface version, shows the
 * name, version and information text, and opens the settings dialog. It calls
 * none of the calculation entries, so their argument lists are the plug-in's
 * business; the header names them so that both sides spell them alike.
 *
 * Rules both sides keep:
 * - Display texts (name, description, information page) are UTF-16
 *   (StatisticsChar), zero-terminated, and stay valid until the module is
 *   freed. An information text that begins with "<HTML>" is shown as a page.
 * - Entries catch every exception: none may unwind into the host (which
 *   guards every call all the same).
 *
 * Usable from C and C++.
 */
#ifndef CORVALE_SDK_STATISTICS_H
#define CORVALE_SDK_STATISTICS_H

#include <stdint.h>

#ifdef __cplusplus
#define STC_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define STC_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* Marks a statistics plug-in's exported entries. */
#if defined(__GNUC__)
#define STC_EXPORT __attribute__((visibility("default")))
#else
#define STC_EXPORT
#endif

/* One UTF-16 code unit. */
typedef uint16_t StatisticsChar;

/* The one interface version the host accepts. */
enum StatisticsInterfaceVersion {
    PIV_Statistics = 1
};

/* Entries, in the order the host looks them up. */
#define STC_ENTRY_GET_NAME "fnGetName"          /* required */
#define STC_ENTRY_PUSH_VALUE "fnPushValue"      /* required */
#define STC_ENTRY_CALCULATE "fnCalculate"       /* required */
#define STC_ENTRY_PRE_CALCULATE "fnPreCalculate"
#define STC_ENTRY_VERSION "fnVersion"
#define STC_ENTRY_GET_INFO "fnGetInfo"
#define STC_ENTRY_SETTINGS "fnSettings"
#define STC_ENTRY_TOOLBAR_BITMAP "fnToolbarBitmap"
#define STC_ENTRY_GET_DESCRIPTION "fnGetDescription"

/* The entries the host calls. */
typedef const StatisticsChar* (*StatisticsGetNameFn)(void);
typedef uint32_t (*StatisticsVersionFn)(void);
typedef const StatisticsChar* (*StatisticsGetInfoFn)(void);
typedef void (*StatisticsSettingsFn)(void);
typedef const StatisticsChar* (*StatisticsGetDescriptionFn)(void);

STC_STATIC_ASSERT(sizeof(StatisticsChar) == 2, "UTF-16 code units");
STC_STATIC_ASSERT(sizeof(uint32_t) == 4, "the version is a 32-bit word");
STC_STATIC_ASSERT(sizeof(StatisticsVersionFn) == sizeof(void*), "entries are pointer-sized");

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CORVALE_SDK_STATISTICS_H */
