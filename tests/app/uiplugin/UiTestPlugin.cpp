// A GPI plug-in with a user interface, as the routing plug-in has one: in
// fnInit it makes a toolbar from its description and a command item in the
// Tools menu, and subscribes to their events. Built once per GUID (see
// tests/CMakeLists.txt), so that a test can tell two owners apart:
//
//   GPI_UI_TEST_NAME       name in GpiInitInfo and of the toolbar
//   GPI_UI_TEST_GUID_LAST  last byte of the GUID

#include "UiTestPluginControl.h"

#include <cstdint>

#ifndef GPI_UI_TEST_NAME
#define GPI_UI_TEST_NAME "ui"
#endif
#ifndef GPI_UI_TEST_GUID_LAST
#define GPI_UI_TEST_GUID_LAST 0x01
#endif

namespace {

GpiUiTestControl g_Control = {};

const GpiGuid g_Guid = {0x5e1f0a11, 0x2b3c, 0x4d5e, {0x8f, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, GPI_UI_TEST_GUID_LAST}};

// A 2 x 2 picture for the first button.
const std::uint32_t g_Pixels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
const GpiBitmap g_Image = {2, 2, 8, g_Pixels};

const GpiToolBarButtonDesc g_Buttons[] = {
    {GPI_UI_TEST_BUTTON_FIRST, "Open the route wizard\nRoute wizard", &g_Image},
    {0, nullptr, nullptr},
    {GPI_UI_TEST_BUTTON_SECOND, "Adjust route end points", nullptr},
};
const GpiToolBarDesc g_ToolBar = {GPI_UI_TEST_TOOLBAR_RESOURCE, 3, g_Buttons};

int Callback(std::uint32_t, std::uint32_t hookType, void* args) {
    if (hookType == GPIHOOK_ToolBarButton && g_Control.clickCount < 16) {
        const auto* block = static_cast<const GpiHookToolBarButtonArgs*>(args);
        g_Control.clicks[g_Control.clickCount++] = block->commandId;
    } else if (hookType == GPIHOOK_CommandItem && g_Control.itemCount < 16) {
        const auto* block = static_cast<const GpiHookCommandItemArgs*>(args);
        g_Control.items[g_Control.itemCount++] = block->item;
    }
    return 0;
}

} // namespace

extern "C" {

GPI_EXPORT int fnInit(GpiInitInfo* info) {
    // A module loaded again may keep its data from the last time.
    g_Control = GpiUiTestControl{};
    info->name = GPI_UI_TEST_NAME;
    info->description = "A plug-in with a toolbar.\nToolbar test plug-in";
    info->about = "Built by the tests.";
    info->version = "1.00";
    info->callback = &Callback;
    g_Control.identity = info->identity;
    GpiRegisterHookArgs buttons = {info->identity, GPIHOOK_ToolBarButton, 0, nullptr};
    info->dispatch(GPIOP_RegisterHook, &buttons);
    GpiCommandItemInfo item = {GPIPLACE_Tools, "Route &Options", "Options of the routing\nOptions", 0,
                               &g_Control.commandItem};
    GpiRegisterHookArgs items = {info->identity, GPIHOOK_CommandItem, 0, &item};
    g_Control.commandItemResult = info->dispatch(GPIOP_RegisterHook, &items);
    GpiToolBarCreateArgs toolbar = {info->identity, &g_ToolBar, GPI_UI_TEST_TOOLBAR_RESOURCE,
                                    GPI_UI_TEST_NAME " Toolbar", &g_Control.toolbar};
    g_Control.toolbarResult = info->dispatch(GPIOP_ToolBarCreate, &toolbar);
    return 0;
}

GPI_EXPORT int fnVersion() { return PIV_Gpi200; }

GPI_EXPORT const GpiGuid* fnGUID() { return &g_Guid; }

GPI_EXPORT GpiUiTestControl* GpiUiTestGetControl() { return &g_Control; }

} // extern "C"
