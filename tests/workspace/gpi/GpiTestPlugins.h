#pragma once
// Real GPI plug-ins for the tests: builds of tests/plugins/testplugin, copied
// into a scratch plug-in folder under the names a test chooses (the names set
// the load order), loaded by the host, and watched through the control entry
// each of them exports.

#include "GpiTestSupport.h"
#include "TempDir.h"
#include "TestPluginControl.h"

#include "settings/Registry.h"

#include <QSettings>
#include <QString>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The block list lives in the settings store: XDG_CONFIG_HOME points at a
// scratch folder before the first QSettings of the process is made.
inline const std::string& GpiTestConfigHome() {
    static TempDir folder;
    static const bool set = ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1) == 0;
    (void)set;
    return folder.path();
}

// The build of one kind of test plug-in (see tests/CMakeLists.txt).
inline std::string GpiTestPluginBuild(const std::string& kind) {
    return std::string(CORVALE_GPI_TEST_PLUGINS) + "/" + kind + ".gpi";
}

// The GUID texts of the test plug-ins with GPI_TEST_GUID_LAST 0xA1 (valid_a,
// duplicate_guid) and 0xB2 (valid_b).
inline const std::string kGuidA = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8a1}";
inline const std::string kGuidB = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8b2}";

// What a test plug-in reported: the event, the words of its block that the
// type defines, and for GPIHOOK_DataLoaded the bytes.
struct GpiObservedEvent {
    std::string plugin;
    std::uint32_t workspace = 0;
    std::uint32_t hookType = 0; // 0: fnTerminate
    std::vector<std::uint32_t> words;
    std::vector<unsigned char> data;
};

class GpiRealPluginTest : public GpiHostTest {
protected:
    void SetUp() override {
        GpiTestConfigHome();
        GpiHostTest::SetUp();
    }
    void TearDown() override {
        // The hook may hold references to the test's locals, which are gone.
        m_DuringEvent = nullptr;
        UnloadGpiPlugins();
        auto registry = corvale::OpenRegistry();
        registry->remove(QStringLiteral("GPIBlockList"));
        registry->sync();
        GpiHostTest::TearDown();
    }

    // Copies a build of the test plug-in into the plug-in folder.
    void AddPluginFile(const std::string& kind, const std::string& name) {
        std::filesystem::copy_file(GpiTestPluginBuild(kind), m_Folder.file(name));
    }

    static void SetBlocked(const std::string& guidText, int value) {
        auto registry = corvale::OpenRegistry();
        registry->beginGroup(QStringLiteral("GPIBlockList"));
        corvale::WriteRegistryInt(*registry, QString::fromStdString(guidText), value);
        registry->endGroup();
        registry->sync();
    }

    static std::vector<CGpiPlugin*> Listed() {
        std::vector<CGpiPlugin*> plugins;
        for (const auto& plugin : GpiState().m_Plugins)
            plugins.push_back(plugin.get());
        return plugins;
    }

    static GpiTestControl* Control(const CGpiPlugin* plugin) {
        if (plugin == nullptr || plugin->m_Module == nullptr)
            return nullptr;
        const auto get =
            reinterpret_cast<GpiTestGetControlFn>(dlsym(plugin->m_Module, GPI_TEST_CONTROL_ENTRY));
        return get != nullptr ? get() : nullptr;
    }

    // Has every listed plug-in report to m_Events.
    void ObserveAll() {
        for (CGpiPlugin* plugin : Listed()) {
            GpiTestControl* control = Control(plugin);
            ASSERT_NE(control, nullptr) << plugin->m_Path;
            control->observer = &Observe;
            control->context = this;
        }
    }

    using GpiHostTest::Subscribe;
    // Subscribes a started plug-in the way the plug-in itself does: through
    // the dispatch entry and with the identity it received in fnInit.
    static int Subscribe(const CGpiPlugin* plugin, std::uint32_t hookType, std::uint32_t userData,
                         const void* info = nullptr) {
        const GpiTestControl* control = Control(plugin);
        if (control == nullptr || control->initInfo.dispatch == nullptr)
            return -1;
        GpiRegisterHookArgs args = {control->initInfo.identity, hookType, userData, info};
        return control->initInfo.dispatch(GPIOP_RegisterHook, &args);
    }

    // Called inside a plug-in's callback, after the event is logged.
    std::function<void(const GpiObservedEvent&, void* args)> m_DuringEvent;
    std::vector<GpiObservedEvent> m_Events;
    TempDir m_Folder;

private:
    static void Observe(void* context, const char* plugin, std::uint32_t workspace,
                        std::uint32_t hookType, void* args) {
        auto* self = static_cast<GpiRealPluginTest*>(context);
        GpiObservedEvent event;
        event.plugin = plugin;
        event.workspace = workspace;
        event.hookType = hookType;
        std::size_t words = 1;
        switch (hookType) {
        case 0:
            words = 0;
            break;
        case GPIHOOK_MouseMove:
        case GPIHOOK_LButtonDown:
        case GPIHOOK_LButtonUp:
            words = 5;
            break;
        case GPIHOOK_DataLoaded:
            words = 3;
            break;
        default:
            break;
        }
        if (args != nullptr) {
            event.words.resize(words);
            std::memcpy(event.words.data(), args, words * sizeof(std::uint32_t));
            if (hookType == GPIHOOK_DataLoaded) {
                const auto* block = static_cast<const GpiHookDataLoadedArgs*>(args);
                const auto* bytes = static_cast<const unsigned char*>(block->data);
                event.data.assign(bytes, bytes + block->size);
            }
        }
        self->m_Events.push_back(event);
        if (self->m_DuringEvent)
            self->m_DuringEvent(self->m_Events.back(), args);
    }
};
