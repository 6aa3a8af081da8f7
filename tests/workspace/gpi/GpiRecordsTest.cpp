// The records, codes and texts of the plug-in interface, and the text-result
// protocol.

#include "GpiLayoutList.h"
#include "GpiTestSupport.h"

#include <cstring>
#include <string>
#include <vector>

extern "C" {
extern const size_t gpiLayoutFromC[];
extern const size_t gpiLayoutFromCCount;
int GpiCallThroughInitInfo(const GpiInitInfo* info, int op, void* args);
}

// The 64-bit layouts plug-ins are built against. The header checks the
// pointer-size formulas for every record; these pin the numbers a plug-in
// author reads off the layout.
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(GpiInitInfo) == 72, "nine words, pointers widened to 8 bytes");
static_assert(offsetof(GpiInitInfo, dispatch) == 8, "");
static_assert(offsetof(GpiInitInfo, name) == 16, "");
static_assert(offsetof(GpiInitInfo, description) == 24, "");
static_assert(offsetof(GpiInitInfo, about) == 32, "");
static_assert(offsetof(GpiInitInfo, version) == 40, "");
static_assert(offsetof(GpiInitInfo, callback) == 48, "");
static_assert(offsetof(GpiInitInfo, pfnSettings) == 56, "");
static_assert(offsetof(GpiInitInfo, reserved) == 64, "");
static_assert(sizeof(GpiGetErrorTextArgs) == 24 && offsetof(GpiGetErrorTextArgs, buffer) == 8 &&
                  offsetof(GpiGetErrorTextArgs, size) == 16,
              "");
static_assert(sizeof(GpiGetWorkspaceArgs) == 16 && offsetof(GpiGetWorkspaceArgs, workspace) == 8, "");
static_assert(sizeof(GpiStatusPaneSetTextArgs) == 24 && offsetof(GpiStatusPaneSetTextArgs, text) == 8 &&
                  offsetof(GpiStatusPaneSetTextArgs, icon) == 16,
              "");
static_assert(sizeof(GpiStatusPaneCreateArgs) == 16 && offsetof(GpiStatusPaneCreateArgs, pane) == 8, "");
static_assert(sizeof(GpiProgressCreateArgs) == 24 && offsetof(GpiProgressCreateArgs, fraction) == 8 &&
                  offsetof(GpiProgressCreateArgs, progress) == 16,
              "");
static_assert(sizeof(GpiProgressSetPosArgs) == 8 && offsetof(GpiProgressSetPosArgs, fraction) == 4, "");
static_assert(sizeof(GpiPluginPostMessageArgs) == 8 && offsetof(GpiPluginPostMessageArgs, value) == 4, "");
static_assert(sizeof(GpiObjectIsValidArgs) == 16 && offsetof(GpiObjectIsValidArgs, out) == 8, "");
static_assert(sizeof(GpiSetStatusTextArgs) == 16 && offsetof(GpiSetStatusTextArgs, text) == 8, "");
static_assert(sizeof(GpiHostAllocArgs) == 16 && offsetof(GpiHostAllocArgs, out) == 8, "");
static_assert(sizeof(GpiGetHostVersionArgs) == 24 && offsetof(GpiGetHostVersionArgs, buffer) == 8 &&
                  offsetof(GpiGetHostVersionArgs, size) == 16,
              "");
static_assert(sizeof(GpiHookFileOpenArgs) == 16 && offsetof(GpiHookFileOpenArgs, path) == 8, "");
static_assert(sizeof(GpiHookDataLoadedArgs) == 24 && offsetof(GpiHookDataLoadedArgs, size) == 8 &&
                  offsetof(GpiHookDataLoadedArgs, data) == 16,
              "the data pointer after one pad word");
static_assert(sizeof(GpiHookScriptCallArgs) == 48 && offsetof(GpiHookScriptCallArgs, name) == 8 &&
                  offsetof(GpiHookScriptCallArgs, inOut) == 16 &&
                  offsetof(GpiHookScriptCallArgs, argumentCount) == 20 &&
                  offsetof(GpiHookScriptCallArgs, arguments) == 24 &&
                  offsetof(GpiHookScriptCallArgs, resultCount) == 32 &&
                  offsetof(GpiHookScriptCallArgs, results) == 40,
              "");
static_assert(sizeof(GpiRegisterHookArgs) == 24 && offsetof(GpiRegisterHookArgs, info) == 16, "");
static_assert(sizeof(GpiCommandItemInfo) == 40 && offsetof(GpiCommandItemInfo, text) == 8 &&
                  offsetof(GpiCommandItemInfo, prompt) == 16 && offsetof(GpiCommandItemInfo, reserved) == 24 &&
                  offsetof(GpiCommandItemInfo, item) == 32,
              "");
static_assert(sizeof(GpiFileTypeInfo) == 16 && offsetof(GpiFileTypeInfo, pattern) == 8, "");
static_assert(sizeof(GpiScriptNamesInfo) == 24 && offsetof(GpiScriptNamesInfo, properties) == 8 &&
                  offsetof(GpiScriptNamesInfo, methods) == 16,
              "");
#endif
static_assert(sizeof(GpiScriptValue) == 16 && offsetof(GpiScriptValue, value) == 8, "the same on every target");
static_assert(sizeof(GpiHookMouseArgs) == 20 && offsetof(GpiHookMouseArgs, keyFlags) == 12, "");
static_assert(sizeof(GpiHookToolBarButtonArgs) == 8 && sizeof(GpiHookCommandItemArgs) == 8, "");
static_assert(sizeof(GpiUnregisterHookArgs) == 8, "");
static_assert(sizeof(GpiGuid) == 16, "");
static_assert(sizeof(GpiHookArgs) == 4 && sizeof(GpiHookThemeArgs) == 8, "");
static_assert(sizeof(GpiHookSelectionArgs) == 12 && sizeof(GpiHookShapeArgs) == 12, "");

TEST(GpiRecords, CAndCppSeeTheSameLayouts) {
#define GPI_LAYOUT_VALUE(expression) (expression),
    const std::vector<size_t> fromCpp = {GPI_LAYOUT_ITEMS(GPI_LAYOUT_VALUE)};
#undef GPI_LAYOUT_VALUE
    ASSERT_EQ(gpiLayoutFromCCount, fromCpp.size());
    for (size_t i = 0; i < fromCpp.size(); ++i)
        EXPECT_EQ(gpiLayoutFromC[i], fromCpp[i]) << "layout item " << i;
}

TEST(GpiRecords, DispatcherIsCallableThroughThePointerAPluginReceives) {
    GpiInitInfo info = {};
    info.dispatch = &GpiHostDispatch;
    const GpiHostDispatchFn entry = info.dispatch;

    std::uint32_t size = 0;
    GpiGetErrorTextArgs args = {GPIERR_InvalidHandle, nullptr, &size};
    EXPECT_EQ(entry(GPIOP_GetErrorText, &args), GPIERR_NoError);
    EXPECT_EQ(size, 16u);

    // And from C code, as a plug-in written in C calls it.
    char text[32] = {};
    size = sizeof text;
    args.buffer = text;
    EXPECT_EQ(GpiCallThroughInitInfo(&info, GPIOP_GetErrorText, &args), GPIERR_NoError);
    EXPECT_STREQ(text, "Invalid handle.");
}

TEST(GpiRecords, EveryCodeHasItsFixedTextAndNoOtherCodeHasOne) {
    const std::vector<std::pair<std::uint32_t, std::string>> texts = {
        {0, "No error"},
        {1, "False"},
        {2, "Function not implemented."},
        {3, "Unknown error code."},
        {100, "Invalid handle."},
        {101, "Illegal parameter value."},
        {102, "Unsupported shape type."},
        {103, "Unexpected shape type."},
        {104, "Index out of bounds."},
        {105, "Permission denied."},
        {106, "Buffer overflow."},
        {107, "Invalid query."},
        {108, "Unknown hook type used. (New plug-in and old Corvale?)"},
        {109, "Out of resources."},
        {110, "Script error."},
        {111, "Function is no longer supported."},
    };
    std::vector<std::uint32_t> codes;
    for (std::uint32_t code = 0; code <= 200; ++code)
        codes.push_back(code);
    codes.push_back(0x7FFFFFFF);
    codes.push_back(0xFFFFFFFF); // -1 as a plug-in might pass it

    for (std::uint32_t code : codes) {
        std::string expected;
        for (const auto& entry : texts)
            if (entry.first == code)
                expected = entry.second;

        std::uint32_t size = 0;
        GpiGetErrorTextArgs ask = {code, nullptr, &size};
        char buffer[80];
        std::memset(buffer, 'x', sizeof buffer);
        if (expected.empty()) {
            EXPECT_EQ(GpiHostDispatch(GPIOP_GetErrorText, &ask), GPIERR_UnknownErrorCode) << code;
            EXPECT_EQ(size, 0u) << code;
            std::uint32_t bufferSize = sizeof buffer;
            GpiGetErrorTextArgs copy = {code, buffer, &bufferSize};
            EXPECT_EQ(GpiHostDispatch(GPIOP_GetErrorText, &copy), GPIERR_UnknownErrorCode) << code;
            EXPECT_EQ(buffer[0], 'x') << "nothing written for code " << code;
            continue;
        }
        // The two-call pattern: ask for the size, then copy.
        ASSERT_EQ(GpiHostDispatch(GPIOP_GetErrorText, &ask), GPIERR_NoError) << code;
        EXPECT_EQ(size, expected.size() + 1) << code;
        GpiGetErrorTextArgs copy = {code, buffer, &size};
        ASSERT_EQ(GpiHostDispatch(GPIOP_GetErrorText, &copy), GPIERR_NoError) << code;
        EXPECT_EQ(std::string(buffer), expected) << code;
        EXPECT_EQ(size, expected.size() + 1) << "the size word is left as it was";
    }
}

TEST(GpiRecords, GetErrorTextChecksItsBlock) {
    struct Case {
        const char* name;
        std::uint32_t code;
        bool withBuffer;
        bool withSize;
        std::uint32_t size;
        int result;
        const char* text; // what the buffer holds afterwards
    };
    const Case cases[] = {
        {"null size pointer", 0, true, false, 0, GPIERR_IllegalParameter, "xxxxxxxxxxx"},
        {"buffer with size 0", 0, true, true, 0, GPIERR_IllegalParameter, "xxxxxxxxxxx"},
        {"buffer with size 0, unknown code", 4, true, true, 0, GPIERR_IllegalParameter, "xxxxxxxxxxx"},
        {"unknown code 4", 4, true, true, 12, GPIERR_UnknownErrorCode, "xxxxxxxxxxx"},
        {"cut to size - 1", 100, true, true, 4, GPIERR_NoError, "Inv"},
        {"size 1 gives an empty text", 100, true, true, 1, GPIERR_NoError, ""},
        {"exact fit", 0, true, true, 9, GPIERR_NoError, "No error"},
    };
    for (const Case& c : cases) {
        char buffer[12];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[11] = '\0';
        std::uint32_t size = c.size;
        GpiGetErrorTextArgs args = {c.code, c.withBuffer ? buffer : nullptr, c.withSize ? &size : nullptr};
        EXPECT_EQ(GpiHostDispatch(GPIOP_GetErrorText, &args), c.result) << c.name;
        EXPECT_STREQ(buffer, c.text) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
    }
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetErrorText, nullptr), GPIERR_IllegalParameter);
}

TEST(GpiRecords, StringProtocol) {
    struct Case {
        const char* name;
        std::string text;
        bool withBuffer;
        bool withSize;
        std::uint32_t size;
        int result;
        std::uint32_t sizeAfter;
        const char* bufferAfter; // the first bytes, up to a terminator
    };
    const Case cases[] = {
        {"no size word", "abc", true, false, 0, GPIERR_IllegalParameter, 0, "########"},
        {"size query", "abc", false, true, 77, GPIERR_NoError, 4, "########"},
        {"size query, empty text", "", false, true, 77, GPIERR_NoError, 1, "########"},
        {"size 0 copies nothing", "abc", true, true, 0, GPIERR_NoError, 0, "########"},
        {"size 1", "abc", true, true, 1, GPIERR_NoError, 1, ""},
        {"cut", "abcdef", true, true, 3, GPIERR_NoError, 3, "ab"},
        {"exact", "abc", true, true, 4, GPIERR_NoError, 4, "abc"},
        {"room to spare", "abc", true, true, 8, GPIERR_NoError, 8, "abc"},
    };
    for (const Case& c : cases) {
        char buffer[9];
        std::memset(buffer, '#', 8);
        buffer[8] = '\0';
        std::uint32_t size = c.size;
        EXPECT_EQ(GpiStringProtocol(c.text, c.withBuffer ? buffer : nullptr, c.withSize ? &size : nullptr),
                  c.result)
            << c.name;
        EXPECT_EQ(size, c.sizeAfter) << c.name;
        EXPECT_STREQ(buffer, c.bufferAfter) << c.name;
    }
}

TEST(GpiRecords, StringProtocolNeverWritesPastTheSizeWord) {
    // A buffer exactly as large as the plug-in says: the terminator lands on
    // the last byte, never beyond (the sanitizer watches the heap block).
    for (std::uint32_t size = 1; size <= 10; ++size) {
        std::unique_ptr<char[]> buffer(new char[size]);
        std::uint32_t word = size;
        ASSERT_EQ(GpiStringProtocol("0123456789abcdef", buffer.get(), &word), GPIERR_NoError);
        EXPECT_EQ(std::strlen(buffer.get()), size - 1);
    }
}

TEST(GpiRecords, PlacementsMapToTheFramesNumbers) {
    const std::pair<std::uint32_t, int> cases[] = {
        {0, -1},
        {GPIPLACE_NewTheme, 0},
        {GPIPLACE_AddThemeFrom, 1},
        {GPIPLACE_AdvancedSelection, 3},
        {GPIPLACE_AdvancedEdit, 4},
        {GPIPLACE_Unplaced, 5},
        {GPIPLACE_Tools, 6},
        {GPIPLACE_CopySpecial, 2},
        {8, -1},
        {0xFFFFFFFF, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GpiHostPlacement(c.first), c.second) << c.first;
}
