// A plug-in for the option pages' tests, built once per kind and flaw from
// this one source. Compile-time switches:
//   PAGE_TEST_KIND=n            1 exporter, 2 loader, 3 drawing, 4 statistics
//   PAGE_TEST_NAME="..."        display name (also in the information text)
//   PAGE_TEST_VERSION=n         fnVersion's answer; -1 leaves fnVersion out
//   PAGE_TEST_NO_<entry>        leaves that entry out (PAGE_TEST_NO_fnGetName, ...)
//   PAGE_TEST_NO_INFO           leaves fnGetInfo out
//   PAGE_TEST_NO_SETTINGS       leaves fnSettings out
//   PAGE_TEST_THROW_SETTINGS    fnSettings throws
//
// fnSettings appends the plug-in's name and a line feed to the file named by
// the environment variable PAGE_TEST_SETTINGS_LOG, so that a test sees the
// call after the host has freed the module again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#define PAGE_EXPORT extern "C" __attribute__((visibility("default")))

#ifndef PAGE_TEST_NAME
#define PAGE_TEST_NAME "Page Test"
#endif
#ifndef PAGE_TEST_VERSION
#define PAGE_TEST_VERSION 1
#endif

namespace {
const char16_t g_Name[] = u"" PAGE_TEST_NAME;
const char16_t g_Description[] = u"" PAGE_TEST_NAME " description";
const char16_t g_Info[] = u"" PAGE_TEST_NAME " information";
} // namespace

#ifndef PAGE_TEST_NO_fnGetName
PAGE_EXPORT const char16_t* fnGetName() { return g_Name; }
#endif
PAGE_EXPORT const char16_t* fnGetDescription() { return g_Description; }

#if PAGE_TEST_VERSION >= 0
PAGE_EXPORT std::uint32_t fnVersion() { return PAGE_TEST_VERSION; }
#endif

#ifndef PAGE_TEST_NO_INFO
PAGE_EXPORT const char16_t* fnGetInfo() { return g_Info; }
#endif

#ifndef PAGE_TEST_NO_SETTINGS
PAGE_EXPORT void fnSettings() {
#ifdef PAGE_TEST_THROW_SETTINGS
    throw std::runtime_error("settings refused");
#else
    if (const char* log = std::getenv("PAGE_TEST_SETTINGS_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fputs(PAGE_TEST_NAME "\n", file);
            std::fclose(file);
        }
    }
#endif
}
#endif

// The entries the host only looks for; their arguments do not matter here.
#if PAGE_TEST_KIND == 1
#ifndef PAGE_TEST_NO_fnExportShape
PAGE_EXPORT std::uint8_t fnExportShape(void*) { return 1; }
#endif
#ifndef PAGE_TEST_NO_fnSupportsType
PAGE_EXPORT std::uint8_t fnSupportsType(std::uint32_t, std::uint32_t, void*) { return 1; }
#endif
#elif PAGE_TEST_KIND == 2
#ifndef PAGE_TEST_NO_fnLoadShapes
PAGE_EXPORT std::uint8_t fnLoadShapes(void*) { return 0; }
#endif
#ifndef PAGE_TEST_NO_fnSupportsType
PAGE_EXPORT std::uint8_t fnSupportsType(std::uint32_t) { return 1; }
#endif
#elif PAGE_TEST_KIND == 3
#ifndef PAGE_TEST_NO_fnDrawShape
PAGE_EXPORT void fnDrawShape() {}
#endif
#ifndef PAGE_TEST_NO_fnPreDrawLayer
PAGE_EXPORT void fnPreDrawLayer() {}
#endif
#ifndef PAGE_TEST_NO_fnInitializeSession
PAGE_EXPORT void fnInitializeSession() {}
#endif
#elif PAGE_TEST_KIND == 4
#ifndef PAGE_TEST_NO_fnPushValue
PAGE_EXPORT void fnPushValue() {}
#endif
#ifndef PAGE_TEST_NO_fnCalculate
PAGE_EXPORT void fnCalculate() {}
#endif
#else
#error "PAGE_TEST_KIND must be 1 to 4"
#endif
