#pragma once
// What the plug-in host tests share: a fixture that starts every test from an
// empty host (no plug-ins, empty handle tables, the lock enabled) with a
// scripted user interface, and fake plug-ins whose event callbacks are test
// lambdas.

#include "Gpi.h"
#include "framework/ScriptedUserInterface.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

using GpiTestCallback = std::function<int(std::uint32_t workspace, std::uint32_t hookType, void* args)>;

// Plug-in callbacks are plain function pointers; each fake plug-in gets one
// of a few trampolines that forward to a lambda slot.
constexpr int kGpiTestSlots = 4;

inline std::array<GpiTestCallback, kGpiTestSlots>& GpiTestSlots() {
    static std::array<GpiTestCallback, kGpiTestSlots> slots;
    return slots;
}

template <int N> int GpiTestTrampoline(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    return GpiTestSlots()[N](workspace, hookType, args);
}

inline GpiPluginCallback GpiTestTrampolineFor(int slot) {
    static const GpiPluginCallback trampolines[kGpiTestSlots] = {
        &GpiTestTrampoline<0>, &GpiTestTrampoline<1>, &GpiTestTrampoline<2>, &GpiTestTrampoline<3>};
    return trampolines[slot];
}

class GpiHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        GpiInitializeLock();
        GpiTestReset();
        GpiTestSlots().fill(nullptr);
    }
    void TearDown() override {
        GpiTestReset();
        GpiTestSlots().fill(nullptr);
    }

    // Lists a started fake plug-in with the callback (none when empty), as the
    // plug-in manager lists a real one. Returns its identity.
    std::uint32_t AddPlugin(GpiTestCallback callback = nullptr, const std::string& guidText = "") {
        auto plugin = std::make_unique<CGpiPlugin>();
        plugin->m_GuidText = guidText;
        plugin->m_Valid = 1;
        plugin->m_Initialised = 1;
        plugin->m_InitInfo.dispatch = &GpiHostDispatch;
        if (callback) {
            EXPECT_LT(m_NextSlot, kGpiTestSlots);
            GpiTestSlots()[m_NextSlot] = std::move(callback);
            plugin->m_InitInfo.callback = GpiTestTrampolineFor(m_NextSlot++);
        }
        const GpiPluginCallback entry = plugin->m_InitInfo.callback;
        const std::uint32_t identity = GpiAddPlugin(std::move(plugin));
        GpiFindHookRecord(identity)->callback = entry;
        return identity;
    }

    static void Subscribe(std::uint32_t identity, std::uint32_t hookType, std::uint32_t userData) {
        GpiHookRecord* record = GpiFindHookRecord(identity);
        ASSERT_NE(record, nullptr);
        record->subscribed[hookType] = 1;
        record->userData[hookType] = userData;
    }

    static bool IsValid(std::uint32_t value) {
        std::uint32_t out = 0xEEEEEEEE;
        GpiObjectIsValidArgs args = {value, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ObjectIsValid, &args), GPIERR_NoError);
        return out == 1;
    }

    corvale::CScriptedUserInterface m_Ui;

private:
    int m_NextSlot = 0;
};
