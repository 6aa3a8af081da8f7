// The GPI plug-in the host's tests load. One source, built once per kind of
// plug-in the host must handle (see tests/CMakeLists.txt):
//
//   GPI_TEST_NAME           name reported to the observer and in GpiInitInfo
//   GPI_TEST_GUID_LAST      last byte of the GUID (plug-ins with equal values
//                           have equal GUIDs)
//   GPI_TEST_USER_DATA      user data of the GPIHOOK_DataLoaded subscription
//                           made in fnInit
//   GPI_TEST_VERSION        what fnVersion answers (default 200)
//   GPI_TEST_NO_INIT        no fnInit
//   GPI_TEST_NO_GUID        no fnGUID
//   GPI_TEST_NULL_GUID      fnGUID answers null
//   GPI_TEST_THROW_IN_INIT  fnInit throws
//   GPI_TEST_THROW_IN_VERSION fnVersion throws
//
// A real plug-in catches everything in its entries; this one throws on
// purpose, to show that the host survives plug-ins that do not.

#include "TestPluginControl.h"

#include <stdexcept>

#ifndef GPI_TEST_NAME
#define GPI_TEST_NAME "test"
#endif
#ifndef GPI_TEST_GUID_LAST
#define GPI_TEST_GUID_LAST 0x01
#endif
#ifndef GPI_TEST_USER_DATA
#define GPI_TEST_USER_DATA 0
#endif
#ifndef GPI_TEST_VERSION
#define GPI_TEST_VERSION PIV_Gpi200
#endif

namespace {

GpiTestControl g_Control = {};

[[maybe_unused]] const GpiGuid g_Guid = {
    0x0a1b2c3d, 0x4e5f, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, GPI_TEST_GUID_LAST}};

[[maybe_unused]] int Callback(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    if (g_Control.observer != nullptr)
        g_Control.observer(g_Control.context, GPI_TEST_NAME, workspace, hookType, args);
    if (g_Control.throwOnHook != 0 && g_Control.throwOnHook == hookType)
        throw std::runtime_error("test plug-in: callback fault");
    return g_Control.callbackAnswer;
}

[[maybe_unused]] void Settings() {
    ++g_Control.settingsCalls;
    if (g_Control.throwInSettings != 0)
        throw std::runtime_error("test plug-in: settings fault");
}

} // namespace

extern "C" {

#ifndef GPI_TEST_NO_INIT
GPI_EXPORT int fnInit(GpiInitInfo* info) {
    ++g_Control.initCalls;
#ifdef GPI_TEST_THROW_IN_INIT
    throw std::runtime_error("test plug-in: fnInit fault");
#endif
    info->name = GPI_TEST_NAME;
    info->description = "A plug-in for the tests.\nTest plug-in";
    info->about = "Built by the tests.";
    info->version = "1.00";
    info->callback = &Callback;
    info->pfnSettings = &Settings;
    g_Control.initInfo = *info;
    // Subscribed here, before the host has taken the callback: the
    // subscription must hold all the same.
    GpiRegisterHookArgs subscribe = {info->identity, GPIHOOK_DataLoaded, GPI_TEST_USER_DATA,
                                     nullptr};
    g_Control.dataHookResult = info->dispatch(GPIOP_RegisterHook, &subscribe);
    return 0;
}
#endif

GPI_EXPORT void fnTerminate(void) {
    if (g_Control.observer != nullptr)
        g_Control.observer(g_Control.context, GPI_TEST_NAME, 0, 0, nullptr);
    if (g_Control.throwInTerminate != 0)
        throw std::runtime_error("test plug-in: fnTerminate fault");
}

GPI_EXPORT int fnVersion(void) {
#ifdef GPI_TEST_THROW_IN_VERSION
    throw std::runtime_error("test plug-in: fnVersion fault");
#endif
    return GPI_TEST_VERSION;
}

#ifndef GPI_TEST_NO_GUID
GPI_EXPORT const GpiGuid* fnGUID(void) {
#ifdef GPI_TEST_NULL_GUID
    return nullptr;
#else
    return &g_Guid;
#endif
}
#endif

GPI_EXPORT GpiTestControl* GpiTestGetControl(void) {
    return &g_Control;
}

} // extern "C"
