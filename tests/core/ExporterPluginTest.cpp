#include "core/ExporterPlugin.h"

#include "TempDir.h"
#include "core/LoaderPlugin.h"
#include "core/NativeThemeFixture.h"
#include "core/Theme.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string ExporterPath(const std::string& kind) {
    return std::string(CORVALE_EXPORTER_TEST_PLUGINS) + "/" + kind + ".xpr";
}

// The test exporter's log of its calls, and the switch of its failures.
std::string ExporterLog(const CExporterPlugin& exporter) {
    auto log = reinterpret_cast<const char* (*)()>(dlsym(exporter.m_Module, "xprTestLog"));
    return log != nullptr ? log() : "(no log)";
}

void ControlExporter(const CExporterPlugin& exporter, int failShape, bool failPost = false, bool throwEnd = false) {
    auto control = reinterpret_cast<void (*)(int, int, int)>(dlsym(exporter.m_Module, "xprTestControl"));
    ASSERT_NE(control, nullptr);
    control(failShape, failPost ? 1 : 0, throwEnd ? 1 : 0);
}

std::unique_ptr<CExporterPlugin> Bind(const std::string& kind) {
    auto exporter = std::make_unique<CExporterPlugin>();
    exporter->Load(ExporterPath(kind));
    return exporter;
}

// Two points with a text column and a key column; the first point selected.
struct ExportFixture {
    ExportFixture() : points({{"NAME", FT_String}, {"VALUE", FT_Int}}, {{"a", "1"}, {"b", "2"}}) {
        CTheme& theme = points.theme;
        theme.m_Name = "pts";
        theme.m_Color = 0xff;
        theme.m_OutlineColor = 0xee;
        theme.m_LineWidth = 3;
        theme.SetPrimaryKey({1});
        theme.AddToSelection(0, 0, 1, 0);
    }
    ~ExportFixture() { CExporterPlugin::ClearExportTheme(); }
    NativePointTheme points;
};

TEST(ExporterPlugin, BindingChecksTheRequiredEntriesAndReadsVersionAndTexts) {
    struct Case {
        const char* kind;
        bool valid;
        std::uint32_t version;
    } cases[] = {{"xv1", true, 1}, {"xv2", true, 2}, {"xv3", true, 3},
                 {"xv5", true, 5}, {"xv6", true, 6}, {"no_export_shape", false, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto exporter = Bind(c.kind);
        EXPECT_EQ(exporter->m_Valid, c.valid) << exporter->m_ErrorText;
        EXPECT_EQ(exporter->m_Version, c.version);
        EXPECT_EQ(exporter->m_Name, c.kind);
        EXPECT_EQ(exporter->m_Description, "Writes a log of its calls");
    }
    auto broken = Bind("no_export_shape");
    EXPECT_EQ(broken->m_ErrorText, ExporterPath("no_export_shape") + ":\nCould not find fnExportShape() entry.\n");
    ExportFixture f;
    EXPECT_FALSE(broken->ExportShape(&f.points.theme, nullptr, SHT_Point, f.points.theme.GetShape(0), 0));
    EXPECT_EQ(broken->m_ErrorText, "Invalid shape exporter. Could not find fnExportShape.");

    auto missing = Bind("no_such_exporter");
    EXPECT_FALSE(missing->m_Valid);
    EXPECT_EQ(missing->m_ErrorText,
              ExporterPath("no_such_exporter") + ":\nNot a valid plug-in, or missing a required component (dll).");
}

TEST(ExporterPlugin, SupportsTypeAsksThePlainTypeWithTheThemesColumns) {
    ExportFixture f;
    auto pointsOnly = Bind("points_only");
    ASSERT_TRUE(pointsOnly->m_Valid) << pointsOnly->m_ErrorText;
    ControlExporter(*pointsOnly, -1);
    EXPECT_TRUE(pointsOnly->SupportsType(&f.points.theme));
    f.points.theme.m_ShapeType = SHT_PointZ;
    EXPECT_TRUE(pointsOnly->SupportsType(&f.points.theme));
    EXPECT_EQ(ExporterLog(*pointsOnly), "supports 1 fields=2 f0=NAME\nsupports 1 fields=2 f0=NAME\n");
    f.points.theme.m_ShapeType = SHT_PolylineZ;
    EXPECT_FALSE(pointsOnly->SupportsType(&f.points.theme));
    f.points.theme.m_ShapeType = SHT_Point;
}

TEST(ExporterPlugin, EachVersionGetsItsOwnArgumentLists) {
    struct Case {
        const char* kind;
        const char* log;
    } cases[] = {
        {"xv1", "begin n=1\n"
                "pre index=0 count=2 fields=2 f1=VALUE\n"
                "shape type=1 slots=P-- word=2 f0=NAME v0=a\n"
                "shape type=1 slots=P-- word=2 f0=NAME v0=b\n"
                "post index=0 ok=1\nend\n"},
        {"xv2", "begin n=1\n"
                "pre type=1 name=pts index=0 count=2 fields=2 f1=VALUE\n"
                "shape type=1 slots=P-- word=2 f0=NAME v0=a\n"
                "shape type=1 slots=P-- word=2 f0=NAME v0=b\n"
                "post index=0 ok=1\nend\n"},
        {"xv3", "begin n=1\n"
                "pre type=1 name=pts index=0 count=2 fields=2 f1=VALUE t1=80000001\n"
                "shape type=1 index=0 word=2 color=ff themeColor=ff width=3 sel=1 v0=a t0=0 t1=80000001 image=0\n"
                "shape type=1 index=1 word=2 color=ff themeColor=ff width=3 sel=0 v0=b t0=0 t1=80000001 image=0\n"
                "post index=0 ok=1\nend\n"},
        {"xv5", "begin n=1 extent=0,1,2,3 bg=ffffff reverse=0\n"
                "pre type=1 name=pts index=0 count=2 fields=2 f1=VALUE t1=80000001\n"
                "shape type=1 index=0 word=2 color=ff themeColor=ff width=3 sel=1 v0=a t0=0 t1=80000001 image=0\n"
                "shape type=1 index=1 word=2 color=ff themeColor=ff width=3 sel=0 v0=b t0=0 t1=80000001 image=0\n"
                "post index=0 ok=1\nend\n"},
        {"xv6", "begin n=1 extent=0,1,2,3 bg=ffffff reverse=0\n"
                "pre type=1 name=pts index=0 count=2 fields=2 f1=VALUE t1=80000001 cp=0\n"
                "shape type=1 index=0 word=2 color=ff themeColor=ff width=3 sel=1 v0=a t0=0 t1=80000001 image=0\n"
                "shape type=1 index=1 word=2 color=ff themeColor=ff width=3 sel=0 v0=b t0=0 t1=80000001 image=0\n"
                "post index=0 ok=1\nend\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ExportFixture f;
        CTheme& theme = f.points.theme;
        auto exporter = Bind(c.kind);
        ASSERT_TRUE(exporter->m_Valid) << exporter->m_ErrorText;
        ControlExporter(*exporter, -1);
        const double extent[4] = {0, 1, 2, 3};
        bool reverse = true;
        EXPECT_TRUE(exporter->BatchExportBegin(extent, reverse, 1, 0xffffff));
        EXPECT_FALSE(reverse);
        EXPECT_TRUE(exporter->PreExport(&theme, 0, 2));
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(exporter->ExportShape(&theme, nullptr, SHT_Point, theme.GetShape(i), 2));
        EXPECT_TRUE(exporter->PostExport(0, true));
        exporter->BatchExportEnd();
        EXPECT_EQ(ExporterLog(*exporter), c.log);
    }
}

// Exporters are told the code page of a theme's names and values: Windows
// Latin 1 where a dBase table's code-page byte says so, "not stated" for
// every other theme (a table that does not say or names a code page the
// program does not convert, a native table, a loader's theme).
TEST(ExporterPlugin, PreExportStatesTheCodePageOfTheThemesText) {
    const std::string data = std::string(CORVALE_TEST_DATA) + "/export/";
    const int kNative = -1;
    const int kLoader = -2;
    struct Case {
        const char* what;
        int source; // the dBase header's code-page byte, or kNative, kLoader
        std::uint32_t stated;
    } cases[] = {
        {"Windows Latin 1 table", 87, XPR_CP_WindowsLatin1},
        {"Windows Latin 1 table, the older byte", 3, XPR_CP_WindowsLatin1},
        {"a table that does not say", 0, XPR_CP_NotStated},
        {"a table of a code page not converted", 0x65, XPR_CP_NotStated},
        {"a native table", kNative, XPR_CP_NotStated},
        {"a loader's theme", kLoader, XPR_CP_NotStated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ExportFixture native;
        CTheme opened;
        CTheme* theme = &native.points.theme;
        if (c.source == kLoader) {
            auto loader = std::make_unique<CLoaderPlugin>();
            loader->Load(std::string(CORVALE_LOADER_TEST_PLUGINS) + "/v5.ldr");
            ASSERT_TRUE(loader->m_Valid) << loader->m_ErrorText;
            ASSERT_TRUE(loader->PreLoadShapes());
            opened.m_ShapeType = SHT_Point;
            opened.m_SourceType = ST_CustomLoader;
            loader->m_Callbacks.hostContext = &opened;
            loader->m_Callbacks.addShape = CTheme::ShapeCallback;
            const double extent[4] = {0, 0, 0, 0};
            LoaderLoadResult result;
            ASSERT_TRUE(loader->LoadShapes(SHT_Point, extent, result));
            opened.m_LoaderHandle = result.m_Handle;
            opened.m_Loader = loader.release();
            opened.ResetFilter();
            ASSERT_EQ(opened.GetAttributeName(1), "VALUE");
            theme = &opened;
        } else if (c.source >= 0) {
            for (const char* extension : {".shp", ".shx"})
                std::filesystem::copy_file(data + "towns" + extension, dir.file(std::string("t") + extension));
            Bytes dbf = ReadBytes(data + "towns.dbf");
            dbf.at(29) = static_cast<unsigned char>(c.source);
            WriteBytes(dir.file("t.dbf"), dbf);
            ASSERT_TRUE(opened.OpenShapeFile(dir.file("t.shp")));
            opened.ResetFilter();
            opened.m_Name = "t";
            theme = &opened;
        }
        auto exporter = Bind("xv6");
        ASSERT_TRUE(exporter->m_Valid) << exporter->m_ErrorText;
        ControlExporter(*exporter, -1);
        ASSERT_TRUE(exporter->PreExport(theme, 0, 1));
        const std::string log = ExporterLog(*exporter);
        EXPECT_EQ(log.substr(log.find(" cp=")), " cp=" + std::to_string(c.stated) + "\n") << log;
        CExporterPlugin::ClearExportTheme();
    }
}

TEST(ExporterPlugin, PolygonThemesHandOverTheirOutlineColour) {
    ExportFixture f;
    f.points.theme.m_ShapeType = SHT_Polygon;
    auto exporter = Bind("xv3");
    ControlExporter(*exporter, -1);
    EXPECT_TRUE(exporter->ExportShape(&f.points.theme, nullptr, SHT_Point, f.points.theme.GetShape(1), 0));
    EXPECT_NE(ExporterLog(*exporter).find(" color=ee themeColor=ff "), std::string::npos) << ExporterLog(*exporter);
    f.points.theme.m_ShapeType = SHT_Point;
}

TEST(ExporterPlugin, OlderExportersGetNullSlotsForOtherShapeTypes) {
    ExportFixture f;
    auto exporter = Bind("xv2");
    ControlExporter(*exporter, -1);
    EXPECT_TRUE(exporter->ExportShape(&f.points.theme, nullptr, SHT_MultiPoint, f.points.theme.GetShape(0), 0));
    EXPECT_EQ(ExporterLog(*exporter), "shape type=8 slots=--- word=0 f0=NAME\n");
}

TEST(ExporterPlugin, BatchBeginCopiesTheReverseRequestBack) {
    auto exporter = Bind("xv5_reverse");
    ControlExporter(*exporter, -1);
    const double extent[4] = {-1.5, 2, 3, 4};
    bool reverse = false;
    EXPECT_TRUE(exporter->BatchExportBegin(extent, reverse, 3, 0x123456));
    EXPECT_TRUE(reverse);
    EXPECT_EQ(ExporterLog(*exporter), "begin n=3 extent=-1.5,2,3,4 bg=123456 reverse=0\n");
}

TEST(ExporterPlugin, FailuresCarryTheExportersTextOrTheGeneralOne) {
    ExportFixture f;
    CTheme& theme = f.points.theme;
    struct Case {
        const char* kind;
        const char* text;
    } cases[] = {{"xv3", "shape refused"},
                 {"no_errmsg", "An error occurred during export. Error information unavailable"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto exporter = Bind(c.kind);
        ControlExporter(*exporter, 1);
        EXPECT_TRUE(exporter->ExportShape(&theme, nullptr, SHT_Point, theme.GetShape(0), 0));
        EXPECT_FALSE(exporter->ExportShape(&theme, nullptr, SHT_Point, theme.GetShape(1), 0));
        EXPECT_EQ(exporter->m_ErrorText, c.text);
        EXPECT_EQ(exporter->GetLastErrorText(), c.text);
    }

    auto exporter = Bind("xv5");
    ControlExporter(*exporter, -1, true, true);
    EXPECT_FALSE(exporter->PostExport(4, false));
    EXPECT_EQ(exporter->m_ErrorText, "post refused");
    exporter->BatchExportEnd();
    EXPECT_EQ(exporter->m_ErrorText, "Unknown exception caught from fnBatchExportEnd().");
    EXPECT_EQ(ExporterLog(*exporter), "post index=4 ok=0\nend\n");
}

TEST(ExporterPlugin, CallbacksServeOnlyTheThemeBeingExported) {
    ExportFixture f;
    CExporterPlugin::ClearExportTheme();
    EXPECT_EQ(ExportHostGetFieldName(0), nullptr);
    EXPECT_EQ(ExportHostGetAttributeValue(0, 0), nullptr);
    EXPECT_EQ(ExportHostGetFieldType(1), 0u);
    const ExporterMapImageRequest request{640, 480, 1.0, 2.0, 0.0, 0.0};
    EXPECT_EQ(ExportHostRenderMapImage(&request), 0u);

    auto exporter = Bind("xv3");
    ASSERT_TRUE(exporter->PreExport(&f.points.theme, 0, 2));
    EXPECT_STREQ(ExportHostGetFieldName(1), "VALUE");
    EXPECT_EQ(ExportHostGetFieldName(2), nullptr);
    EXPECT_STREQ(ExportHostGetAttributeValue(1, 1), "2");
    EXPECT_EQ(ExportHostGetAttributeValue(0, 7), nullptr);
    EXPECT_EQ(ExportHostGetFieldType(0), static_cast<std::uint32_t>(FT_String));
    EXPECT_EQ(ExportHostGetFieldType(1), FT_Int | XPR_FT_PrimaryKey);

    // Map images go to the view of the export through the handler.
    static std::uint32_t seenWidth = 0;
    static void* seenView = nullptr;
    CExporterPlugin::SetRenderMapImageHandler([](void* view, const ExporterMapImageRequest& r) -> std::uint32_t {
        seenView = view;
        seenWidth = r.width;
        return 7;
    });
    int view = 0;
    ControlExporter(*exporter, -1);
    EXPECT_TRUE(exporter->ExportShape(&f.points.theme, &view, SHT_Point, f.points.theme.GetShape(0), 0));
    EXPECT_NE(ExporterLog(*exporter).find(" image=0"), std::string::npos); // the exporter's null request
    EXPECT_EQ(ExportHostRenderMapImage(&request), 7u);
    EXPECT_EQ(seenView, &view);
    EXPECT_EQ(seenWidth, 640u);
    CExporterPlugin::ClearExportTheme();
    EXPECT_EQ(ExportHostRenderMapImage(&request), 0u);
    CExporterPlugin::SetRenderMapImageHandler(nullptr);
}

} // namespace
