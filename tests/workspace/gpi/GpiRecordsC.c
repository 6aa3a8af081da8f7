/* Compiles the plug-in interface header as C and reports its record layouts
 * to the C++ tests. */
#include "GpiLayoutList.h"

#define GPI_LAYOUT_VALUE(expression) (expression),
const size_t gpiLayoutFromC[] = {GPI_LAYOUT_ITEMS(GPI_LAYOUT_VALUE)};
const size_t gpiLayoutFromCCount = sizeof(gpiLayoutFromC) / sizeof(gpiLayoutFromC[0]);

/* A plug-in's view of the host entry: called through the pointer it was given. */
int GpiCallThroughInitInfo(const GpiInitInfo* info, int op, void* args) { return info->dispatch(op, args); }
