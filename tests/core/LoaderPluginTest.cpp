// Loader plug-in bindings and the themes they fill, driven through the test
// loaders of tests/workspace/loader/testloader (one source, built once per
// kind of loader).

#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "platform/Archive.h"
#include "platform/ByteOrder.h"
#include "shapes/ShapeRecord.h"

#include "TestLoaderControl.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string LoaderPath(const std::string& kind) {
    return std::string(CORVALE_LOADER_TEST_PLUGINS) + "/" + kind + ".ldr";
}

LoaderTestControl* ControlOf(const CLoaderPlugin& loader) {
    auto get = reinterpret_cast<LoaderTestGetControlFn>(dlsym(loader.m_Module, LOADER_TEST_CONTROL_ENTRY));
    return get != nullptr ? get() : nullptr;
}

// Keeps a loader's module loaded (and its control record readable) while the
// bindings under test come and go.
struct ModuleHold {
    explicit ModuleHold(const std::string& kind) : module(dlopen(LoaderPath(kind).c_str(), RTLD_NOW)) {}
    ~ModuleHold() {
        if (module != nullptr)
            dlclose(module);
    }
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;
    void* module;
};

std::unique_ptr<CLoaderPlugin> Bind(const std::string& kind) {
    auto loader = std::make_unique<CLoaderPlugin>();
    loader->Load(LoaderPath(kind));
    if (LoaderTestControl* control = ControlOf(*loader))
        std::memset(control, 0, sizeof *control);
    return loader;
}

// A theme of the type filled by the loader the way the load command fills
// one: the binding's records go to the theme, which then owns the binding.
struct LoadedTheme {
    std::unique_ptr<CTheme> theme = std::make_unique<CTheme>();
    LoaderTestControl* control = nullptr;
    bool loaded = false;
    LoaderLoadResult result;
};

LoadedTheme LoadTheme(const std::string& kind, std::uint32_t type) {
    LoadedTheme out;
    std::unique_ptr<CLoaderPlugin> loader = Bind(kind);
    out.control = ControlOf(*loader);
    EXPECT_TRUE(loader->m_Valid) << loader->m_ErrorText;
    EXPECT_TRUE(loader->PreLoadShapes());
    out.theme->m_ShapeType = type;
    out.theme->m_SourceType = ST_CustomLoader;
    loader->m_Callbacks.hostContext = out.theme.get();
    loader->m_Callbacks.addShape = CTheme::ShapeCallback;
    const double extent[4] = {0, 0, 0, 0};
    out.loaded = loader->LoadShapes(type, extent, out.result);
    out.theme->m_LoaderHandle = out.result.m_Handle;
    out.theme->m_Loader = loader.release();
    out.theme->ResetFilter();
    out.theme->ResetShapePositions();
    return out;
}

Bytes PointBytes(std::uint32_t number, double x, double y, std::uint32_t contentWords = 10) {
    Bytes b(28, 0);
    corvale::WriteBE32(b.data(), number);
    corvale::WriteBE32(b.data() + 4, contentWords);
    corvale::WriteLE32(b.data() + 8, SHT_Point);
    corvale::WriteLEDouble(b.data() + 12, x);
    corvale::WriteLEDouble(b.data() + 20, y);
    return b;
}

} // namespace

// ---- binding ----

TEST(LoaderPlugin, BindingChecksTheRequiredEntriesAndReadsTheVersion) {
    struct Case {
        const char* kind;
        bool valid;
        std::uint32_t version;
        const char* errorTail; // after "<path>:\n"
    };
    const Case cases[] = {
        {"v1", true, 1, ""}, // no fnVersion: version 1
        {"v2", true, 2, ""},
        {"v3", true, 3, ""},
        {"v5", true, 5, ""},
        {"v6", true, 6, ""}, // bound; the load command refuses the version
        {"no_supports_type", false, 5, "Could not find fnSupportType() entry.\n"},
        {"missing", false, 1, "Not a valid plug-in, or missing a required component (dll)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CLoaderPlugin loader;
        loader.Load(LoaderPath(c.kind));
        EXPECT_EQ(loader.m_Valid, c.valid);
        EXPECT_EQ(loader.m_ErrorText, LoaderPath(c.kind) + ":\n" + c.errorTail);
        if (c.valid) {
            EXPECT_EQ(loader.m_Version, c.version);
            EXPECT_EQ(loader.m_Name, c.kind);
        }
    }
}

TEST(LoaderPlugin, CountsThemesOnlyForSupportedTypes) {
    auto polygons = Bind("polygons_only");
    EXPECT_EQ(polygons->CountThemes(SHT_Point), 0u);
    EXPECT_EQ(polygons->CountThemes(SHT_Polyline), 0u);
    EXPECT_EQ(polygons->CountThemes(SHT_Polygon), 1u);
    ControlOf(*polygons)->themeCount = 3;
    EXPECT_EQ(polygons->CountThemes(SHT_Polygon), 3u);

    // Without fnSupportsType nothing is supported.
    auto broken = Bind("no_supports_type");
    EXPECT_EQ(broken->CountThemes(SHT_Point), 0u);
}

TEST(LoaderPlugin, AHandleOfABindingThatIsGoneIsRefused) {
    LoaderHostHandle handle = 0;
    {
        CLoaderPlugin loader;
        handle = loader.HostHandle();
        EXPECT_EQ(CLoaderPlugin::FromHostHandle(handle), &loader);
    }
    EXPECT_EQ(CLoaderPlugin::FromHostHandle(handle), nullptr);
    EXPECT_EQ(CLoaderPlugin::FromHostHandle(0), nullptr);
}

// ---- loading by version ----

TEST(LoaderPlugin, LoadsByEveryInterfaceVersion) {
    struct Case {
        const char* kind;
        std::uint32_t type;
        const char* name;
        std::uint32_t color;  // the loader asks for 0x123456
        std::uint32_t handle;
        int records;
    };
    const Case cases[] = {
        // Version 1 has no name buffer and no colour: the loader's name, red.
        {"v1", SHT_Point, "v1", 0xFF0000, 0, 3},
        {"v2", SHT_Polyline, "test lines 0", 0xFF0000, 0, 2},
        {"v3", SHT_Polygon, "test areas 0", 0x123456, 501, 2},
        {"v5", SHT_Point, "test points 0", 0x123456, 101, 3},
        {"v5", SHT_Polyline, "test lines 0", 0x123456, 301, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " type " + std::to_string(c.type));
        auto loader = Bind(c.kind);
        ControlOf(*loader)->color = 0x123456;
        ASSERT_TRUE(loader->PreLoadShapes());
        CTheme theme;
        theme.m_ShapeType = c.type;
        loader->m_Callbacks.hostContext = &theme;
        loader->m_Callbacks.addShape = CTheme::ShapeCallback;
        LoaderLoadResult result;
        const double extent[4] = {0, 0, 0, 0};
        ASSERT_TRUE(loader->LoadShapes(c.type, extent, result)) << loader->m_ErrorText;
        EXPECT_EQ(result.m_Name, c.name);
        EXPECT_EQ(result.m_Color, c.color);
        EXPECT_EQ(result.m_Handle, c.handle);
        EXPECT_EQ(theme.GetAllShapeCount(), c.records);
        EXPECT_EQ(ControlOf(*loader)->acceptedRecords, c.records);
        EXPECT_EQ(loader->m_RefusedRecords, 0u);
    }
}

TEST(LoaderPlugin, AFailedLoadSaysWhy) {
    struct Case {
        const char* kind;
        bool throwing;
        const char* error;
    };
    const Case cases[] = {
        // Version 5 fills the request's error buffer; older ones answer fnGetLastErrMsg.
        {"v5", false, "Test failure (error buffer)"},
        {"v3", false, "Test failure (last error)"},
        {"v1", false, "Test failure (last error)"},
        {"v5", true, "Unknown exception caught from fnLoadShapes()."},
        {"v1", true, "Unknown exception caught from fnLoadShapes()."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + (c.throwing ? " throwing" : " failing"));
        auto loader = Bind(c.kind);
        if (c.throwing)
            ControlOf(*loader)->throwInLoadType = SHT_Polygon;
        else
            ControlOf(*loader)->failType = SHT_Polygon;
        CTheme theme;
        theme.m_ShapeType = SHT_Polygon;
        loader->m_Callbacks.hostContext = &theme;
        loader->m_Callbacks.addShape = CTheme::ShapeCallback;
        LoaderLoadResult result;
        const double extent[4] = {0, 0, 0, 0};
        EXPECT_FALSE(loader->LoadShapes(SHT_Polygon, extent, result));
        EXPECT_EQ(loader->m_ErrorText, c.error);
    }
}

TEST(LoaderPlugin, PreLoadFailureTakesTheLoadersText) {
    auto loader = Bind("v5");
    ControlOf(*loader)->preLoadFails = 1;
    EXPECT_FALSE(loader->PreLoadShapes());
    EXPECT_EQ(loader->m_ErrorText, "Pre-load refused");
}

TEST(LoaderPlugin, DamagedRecordsAndRecordsOfAnotherKindNeverReachTheTheme) {
    struct Case {
        const char* kind;
        bool damaged;
    };
    for (const Case& c : {Case{"v5", true}, Case{"v5", false}, Case{"v1", true}, Case{"v3", false}}) {
        SCOPED_TRACE(std::string(c.kind) + (c.damaged ? " damaged" : " wrong kind"));
        auto loader = Bind(c.kind);
        if (c.damaged)
            ControlOf(*loader)->damagedType = SHT_Polyline;
        else
            ControlOf(*loader)->wrongKindType = SHT_Polyline;
        CTheme theme;
        theme.m_ShapeType = SHT_Polyline;
        loader->m_Callbacks.hostContext = &theme;
        loader->m_Callbacks.addShape = CTheme::ShapeCallback;
        LoaderLoadResult result;
        const double extent[4] = {0, 0, 0, 0};
        EXPECT_TRUE(loader->LoadShapes(SHT_Polyline, extent, result));
        EXPECT_EQ(theme.m_Arcs.size(), 2u);
        EXPECT_TRUE(theme.m_Points.empty());
        EXPECT_TRUE(theme.m_Polygons.empty());
        EXPECT_EQ(loader->m_RefusedRecords, 1u);
        EXPECT_EQ(ControlOf(*loader)->refusedRecords, 1);
    }
}

TEST(LoaderPlugin, RecordCheck) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Bytes line(8 + 44 + 4 + 32, 0);
    corvale::WriteBE32(line.data(), 1);
    corvale::WriteBE32(line.data() + 4, static_cast<std::uint32_t>((line.size() - 8) / 2));
    corvale::WriteLE32(line.data() + 8, SHT_Polyline);
    corvale::WriteLE32(line.data() + 44, 1);
    corvale::WriteLE32(line.data() + 48, 2);
    Bytes shortLine = line;
    corvale::WriteBE32(shortLine.data() + 4, 20); // content length covers 1 point only
    Bytes partPastPoints = line;
    corvale::WriteLE32(partPastPoints.data() + 52, 5);
    Bytes nullRecord(12, 0);
    corvale::WriteBE32(nullRecord.data() + 4, 2);
    Bytes multiPoint = line;
    corvale::WriteLE32(multiPoint.data() + 8, 8);
    struct Case {
        const char* name;
        Bytes bytes;
        bool sound;
    };
    const Case cases[] = {
        {"a point", PointBytes(1, 1.0, 2.0), true},
        {"a polyline", line, true},
        {"a point whose length says less than it needs", PointBytes(1, 1.0, 2.0, 8), false},
        {"a point with a coordinate that is not a number", PointBytes(1, nan, 2.0), false},
        {"a polyline whose points run past its length", shortLine, false},
        {"a part start past the points", partPastPoints, false},
        {"a null record", nullRecord, false},
        {"a type the themes do not hold", multiPoint, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckLoaderRecord(c.bytes.data()), c.sound) << c.name;
    EXPECT_FALSE(CheckLoaderRecord(nullptr));
}

// ---- the themes' attributes ----

TEST(LoaderThemeAttributes, ColumnsAndValuesComeFromTheLoaderForEveryVersion) {
    struct Case {
        const char* kind;
        std::uint32_t firstArgument; // what the count and name entries receive
    };
    // Versions 1 and 2 know their themes by shape type, 3 and up by the handle word.
    for (const Case& c : {Case{"v1", SHT_Point}, Case{"v2", SHT_Point}, Case{"v3", 101}, Case{"v5", 101}}) {
        SCOPED_TRACE(c.kind);
        LoadedTheme loaded = LoadTheme(c.kind, SHT_Point);
        ASSERT_TRUE(loaded.loaded);
        CTheme& theme = *loaded.theme;
        ASSERT_EQ(theme.GetAttributeCount(), 2u);
        EXPECT_EQ(loaded.control->lastFirstArgument, c.firstArgument);
        EXPECT_EQ(theme.GetAttributeName(0), "NAME");
        EXPECT_EQ(theme.GetAttributeName(1), "VALUE");
        EXPECT_EQ(theme.GetAttributeName(2), "");
        EXPECT_EQ(theme.FindAttribute("VALUE"), 1);
        EXPECT_EQ(theme.GetAttributeType(0), FT_String);
        EXPECT_TRUE(theme.IsKeyAttribute(0));
        EXPECT_EQ(theme.GetAttributeType(1), FT_Int);
        EXPECT_FALSE(theme.IsKeyAttribute(1));
        EXPECT_EQ(theme.GetAttributeTextAt(0, 0), "P1");
        EXPECT_EQ(theme.GetAttributeTextAt(1, 1), "20");
        EXPECT_EQ(theme.GetAttributeText(2, 0), "P3-longer-name");
        EXPECT_EQ(theme.GetAttributeTextAt(3, 0), "");
        // Readers that parse values in place (queries) see the same.
        EXPECT_EQ(theme.GetAttributeViewAt(1, 1), "20");

        // The descriptor: the longest value, at least 2; the key from bit 31.
        const CAttributeFieldInfo name = theme.GetAttributeInfo(0);
        EXPECT_EQ(name.m_Name, "NAME");
        EXPECT_EQ(name.m_Length, 14);
        EXPECT_EQ(name.m_Decimals, 0);
        EXPECT_EQ(name.m_Type, FT_String);
        EXPECT_TRUE(name.m_PrimaryKey);
        const CAttributeFieldInfo value = theme.GetAttributeInfo(1);
        EXPECT_EQ(value.m_Length, 2);
        EXPECT_EQ(value.m_Type, FT_Int);
        EXPECT_FALSE(value.m_PrimaryKey);
    }
}

TEST(LoaderThemeAttributes, DescriptorWidthCountsFilteredShapesAndTheirTextsAreEmpty) {
    LoadedTheme loaded = LoadTheme("v5", SHT_Point);
    CTheme& theme = *loaded.theme;
    // Filter out the shape with the long name (shape index 2).
    theme.AddToSelection(2, 2, 3, 0);
    ASSERT_TRUE(theme.FilterSelected());
    ASSERT_EQ(theme.GetShapeCount(), 2);
    EXPECT_EQ(theme.GetAttributeInfo(0).m_Length, 14);
    EXPECT_EQ(theme.GetAttributeText(2, 0), "");
    EXPECT_EQ(theme.GetAttributeText(1, 0), "P2");
}

TEST(LoaderThemeAttributes, MissingEntriesAndThrowingEntriesGiveEmptyAnswers) {
    LoadedTheme bare = LoadTheme("no_attributes", SHT_Polygon);
    EXPECT_EQ(bare.theme->GetAttributeCount(), 0u);
    EXPECT_EQ(bare.theme->GetAttributeName(0), "");
    EXPECT_EQ(bare.theme->GetAttributeTextAt(0, 0), "");

    LoadedTheme throwing = LoadTheme("v5", SHT_Polygon);
    throwing.control->throwInAttributes = 1;
    EXPECT_EQ(throwing.theme->GetAttributeCount(), 0u);
    EXPECT_EQ(throwing.theme->GetAttributeTextAt(0, 0), "");
    throwing.control->throwInAttributes = 0;
    EXPECT_EQ(throwing.theme->GetAttributeTextAt(0, 0), "A1");

    // A loader theme without a binding (its plug-in missing) has no columns.
    CTheme unbound;
    unbound.m_SourceType = ST_CustomLoader;
    EXPECT_EQ(unbound.GetAttributeCount(), 0u);
}

TEST(LoaderThemeAttributes, DerivedThemesAskTheLoaderThroughTheirParent) {
    LoadedTheme loaded = LoadTheme("v5", SHT_Point);
    CTheme child;
    child.m_SourceType = ST_ParentTheme;
    child.m_ShapeType = SHT_Point;
    child.m_ParentTheme = loaded.theme.get();
    child.m_Points = {loaded.theme->m_Points[2]};
    child.ResetFilter();
    EXPECT_EQ(child.GetAttributeCount(), 2u);
    EXPECT_EQ(child.GetAttributeTextAt(0, 0), "P3-longer-name");
    EXPECT_EQ(child.GetAttributeViewAt(0, 0), "P3-longer-name");
    EXPECT_EQ(child.GetAttributeText(2, 0), "P3-longer-name") << "by the record's own index";
    child.m_ParentTheme = nullptr;
}

// ---- events, menu, removal ----

TEST(LoaderPlugin, ACustomEventHandlerAnsweringZeroHearsNoMore) {
    auto loader = Bind("v5");
    LoaderTestControl* control = ControlOf(*loader);
    control->customAnswer = 1;
    EXPECT_EQ(loader->HandleCustomEvent(7, 101), 1);
    EXPECT_EQ(control->lastCustomCode, 7u);
    EXPECT_EQ(control->lastCustomHandle, 101u);
    control->customAnswer = 0;
    EXPECT_EQ(loader->HandleCustomEvent(8, 101), 0);
    EXPECT_EQ(loader->HandleCustomEvent(9, 101), 0);
    EXPECT_EQ(control->customEventCalls, 2);
    EXPECT_EQ(control->lastCustomCode, 8u);
}

TEST(LoaderPlugin, ReadsTheLoadersMenu) {
    auto loader = Bind("v5");
    ASSERT_TRUE(loader->GetCustomMenu(0));
    ASSERT_EQ(loader->m_Menu.size(), 2u);
    EXPECT_EQ(loader->m_Menu[0].m_Text, "Refresh");
    EXPECT_EQ(loader->m_Menu[0].m_CommandId, 31001u);
    EXPECT_TRUE(loader->m_Menu[0].m_Flag);
    EXPECT_EQ(loader->m_Menu[0].m_Prompt, "Reads again");
    EXPECT_EQ(loader->m_Menu[1].m_Text, "");
    EXPECT_EQ(loader->m_Menu[1].m_CommandId, 31002u);
    EXPECT_FALSE(loader->m_Menu[1].m_Flag);
}

TEST(LoaderPlugin, DeletingTheThemeTellsTheLoaderWithItsHandle) {
    ModuleHold hold("v5");
    LoadedTheme loaded = LoadTheme("v5", SHT_Polyline);
    LoaderTestControl* control = loaded.control;
    loaded.theme.reset();
    EXPECT_EQ(control->removeShapesCalls, 1);
    EXPECT_EQ(control->lastRemovedHandle, 301u);
}

TEST(LoaderPlugin, ConvertingToNativeCopiesTheValuesAndReleasesTheLoader) {
    ModuleHold hold("v3");
    LoadedTheme loaded = LoadTheme("v3", SHT_Point);
    CTheme& theme = *loaded.theme;
    const CShapeRecord* loaderRecord = theme.m_Points[0];
    ASSERT_TRUE(theme.ConvertToNative(true, true));
    EXPECT_EQ(theme.m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(theme.m_Loader, nullptr);
    EXPECT_EQ(loaded.control->removeShapesCalls, 1);
    EXPECT_EQ(loaded.control->lastRemovedHandle, 101u);
    EXPECT_NE(theme.m_Points[0], loaderRecord);
    EXPECT_EQ(theme.GetAttributeCount(), 2u);
    EXPECT_EQ(theme.GetAttributeText(2, 0), "P3-longer-name");
    EXPECT_TRUE(theme.IsKeyAttribute(0));
}

TEST(LoaderPlugin, RemovingALoadedShapeLeavesNoTraceOfIt) {
    LoadedTheme loaded = LoadTheme("v5", SHT_Point);
    CTheme& theme = *loaded.theme;
    CShapeRecord* second = theme.m_Points[1];
    CShapeRecord* third = theme.m_Points[2];
    theme.AddToSelection(1, 1, 3, 0);
    theme.AddToSelection(2, 2, 3, 0);
    ASSERT_EQ(theme.GetShapePosition(2), 2);
    ASSERT_TRUE(theme.RemoveLoadedShape(second));
    EXPECT_EQ(theme.m_Points.size(), 2u);
    EXPECT_EQ(theme.m_VisiblePoints.size(), 2u);
    EXPECT_EQ(theme.GetSelectionIndex(1), -1);
    // The shape after it moved up a position; the selection follows it.
    EXPECT_EQ(theme.GetShapePosition(2), 1);
    EXPECT_EQ(theme.GetSelectionIndex(2), 0);
    EXPECT_EQ(theme.GetSelectedShape(0), third);
    EXPECT_EQ(theme.GetAttributeTextAt(1, 0), "P3-longer-name");
    // The bounds shrink to what is left: points 1 (1, 2) and 3 (3, 6).
    EXPECT_DOUBLE_EQ(theme.m_Bounds[0], 1.0);
    EXPECT_DOUBLE_EQ(theme.m_Bounds[3], 6.0);
    EXPECT_FALSE(theme.RemoveLoadedShape(second));
    EXPECT_FALSE(theme.RemoveLoadedShape(nullptr));
}

// ---- workspace storage ----

TEST(LoaderPlugin, SerializeRoundTripRedeliversTheRecords) {
    for (const char* kind : {"v5", "v3"}) {
        SCOPED_TRACE(kind);
        LoadedTheme loaded = LoadTheme(kind, SHT_Polygon);
        CLoaderPlugin& loader = *loaded.theme->m_Loader;
        const int size = loader.GetSerializedSize(501);
        ASSERT_EQ(size, 12);
        Bytes block(12);
        ASSERT_TRUE(loader.SaveSerializedData(501, block.data(), 12));

        CTheme restored;
        restored.m_ShapeType = SHT_Polygon;
        std::uint32_t handle = 0;
        ASSERT_TRUE(loader.RestoreSerializedData(&restored, CTheme::ShapeCallback, block.data(), 12, handle));
        EXPECT_EQ(handle, 501u);
        EXPECT_EQ(restored.m_Polygons.size(), 2u);
        EXPECT_EQ(loaded.control->restoredRecords, 2);
        EXPECT_EQ(loaded.control->serializeCalls[LSM_GetSize], 1);
        EXPECT_EQ(loaded.control->serializeCalls[LSM_Save], 1);
        EXPECT_EQ(loaded.control->serializeCalls[LSM_Restore], 1);
    }
}

TEST(LoaderPlugin, WithoutFnSerializeNothingIsStoredByTheLoader) {
    auto loader = Bind("no_serialize");
    EXPECT_EQ(loader->GetSerializedSize(101), -1);
    Bytes block(12);
    EXPECT_FALSE(loader->SaveSerializedData(101, block.data(), 12));
    CTheme theme;
    std::uint32_t handle = 0;
    EXPECT_FALSE(loader->RestoreSerializedData(&theme, CTheme::ShapeCallback, block.data(), 12, handle));
}

TEST(LoaderThemeSerialize, ALoaderThemeIsStoredAsTheLoadersBlockAndBoundAgainWhenRead) {
    LoadedTheme loaded = LoadTheme("v5", SHT_Polyline);
    loaded.theme->m_Name = "lines";
    CArchive store;
    loaded.theme->Serialize(store);
    const Bytes bytes = store.GetStored();
    EXPECT_EQ(loaded.theme->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));

    CTheme read;
    CArchive load(bytes.data(), bytes.size());
    read.Serialize(load);
    EXPECT_EQ(load.GetRemaining(), 0u);
    EXPECT_EQ(read.m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    ASSERT_NE(read.m_Loader, nullptr);
    EXPECT_EQ(read.m_LoaderHandle, 301u);
    EXPECT_FALSE(read.m_HasLoaderData);
    EXPECT_EQ(read.GetShapeCount(), 2);
    EXPECT_EQ(read.GetAttributeTextAt(1, 0), "L2");
    EXPECT_TRUE(read.m_BoundsValid);

    // Stored again, the same bytes.
    CArchive again;
    read.Serialize(again);
    EXPECT_EQ(again.GetStored(), bytes);
}

TEST(LoaderThemeSerialize, ALoaderThatCannotStoreItselfLeavesANativeTheme) {
    LoadedTheme loaded = LoadTheme("no_serialize", SHT_Point);
    CArchive store;
    loaded.theme->Serialize(store);
    const Bytes bytes = store.GetStored();
    EXPECT_EQ(loaded.theme->m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(loaded.theme->m_Loader, nullptr);

    CTheme read;
    CArchive load(bytes.data(), bytes.size());
    read.Serialize(load);
    EXPECT_EQ(read.m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(read.m_FormerSourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_EQ(read.GetShapeCount(), 3);
    EXPECT_EQ(read.GetAttributeText(0, 0), "P1");
}

TEST(LoaderThemeSerialize, ABlockTheLoaderRefusesIsKeptForTheNextSave) {
    LoadedTheme loaded = LoadTheme("v5", SHT_Point);
    CArchive store;
    loaded.theme->Serialize(store);
    const Bytes bytes = store.GetStored();

    loaded.control->serializeFails = 1;
    CTheme read;
    CArchive load(bytes.data(), bytes.size());
    read.Serialize(load);
    loaded.control->serializeFails = 0;
    EXPECT_EQ(read.m_Loader, nullptr);
    EXPECT_TRUE(read.m_HasLoaderData);
    EXPECT_EQ(read.GetShapeCount(), 0);
    CArchive again;
    read.Serialize(again);
    EXPECT_EQ(again.GetStored(), bytes);
}
