// The GPI client classes inside a real plug-in, loaded by the host from a
// plug-in folder: the two-call texts, handle validity, errors as
// CvException, recordsets closed exactly once, and the workspace, theme and
// shape calls against a workspace of the host.

#include "GpiOpsFixture.h"
#include "GpiTestPlugins.h"

#include "ClientTestPluginControl.h"
#include "GpiClient.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "shapes/ShapeRecordBuilder.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

// A wrapper owns its recordset: no copy may close it a second time, and no
// destructor may throw out of a plug-in's clean-up.
static_assert(!std::is_copy_constructible_v<CvRecordset>);
static_assert(!std::is_copy_assignable_v<CvRecordset>);
static_assert(std::is_nothrow_move_constructible_v<CvRecordset>);
static_assert(std::is_nothrow_move_assignable_v<CvRecordset>);
static_assert(std::is_nothrow_destructible_v<CvRecordset>);
// The other wrappers are values, and add nothing to CvObject.
static_assert(std::is_copy_constructible_v<CvTheme> && sizeof(CvTheme) == sizeof(CvObject));
static_assert(sizeof(CvRecordset) == sizeof(CvObject));

namespace {

[[maybe_unused]] const std::string& g_ConfigHome = GpiTestConfigHome();

using Ops = std::vector<int>;
using Words = std::vector<std::uint32_t>;
using Texts = std::vector<std::string>;

// A polyline record of one part through the points.
std::vector<unsigned char> PolylineRecord(const std::vector<CShapePoint>& points) {
    std::vector<unsigned char> bytes(CShapeRecordBuilder::RecordSize(1, static_cast<std::uint32_t>(points.size())));
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = static_cast<std::uint32_t>(points.size());
    builder.m_Record = bytes.data();
    EXPECT_TRUE(builder.BeginPolyline());
    for (const CShapePoint& point : points)
        EXPECT_TRUE(builder.AddPoint(point.x, point.y));
    return bytes;
}

void* AsBlock(std::uint32_t handle) {
    return reinterpret_cast<void*>(std::uintptr_t{handle});
}

} // namespace

class GpiClientClasses : public GpiOpsTest {
protected:
    void SetUp() override {
        GpiOpsTest::SetUp();
        std::filesystem::copy_file(CORVALE_GPI_CLIENT_TEST_PLUGIN, m_Folder.file("client.gpi"));
        LoadGpiPlugins(m_Folder.path());
        ASSERT_EQ(GpiState().m_Plugins.size(), 1u) << (m_Ui.shown.empty() ? "" : m_Ui.shown[0].text);
        m_RunScenario = reinterpret_cast<CvClientTestRunFn>(
            dlsym(GpiState().m_Plugins[0]->m_Module, CV_CLIENT_TEST_ENTRY));
        ASSERT_NE(m_RunScenario, nullptr);
    }
    void TearDown() override {
        UnloadGpiPlugins();
        GpiOpsTest::TearDown();
    }

    CvClientTestRun Run(const char* scenario, Words handles, Texts texts = {},
                        std::vector<unsigned char> record = {}) {
        CvClientTestRun run;
        run.handles = std::move(handles);
        run.texts = std::move(texts);
        run.record = std::move(record);
        EXPECT_TRUE(m_RunScenario(scenario, &run)) << scenario;
        return run;
    }

    static std::size_t OpenRecordsets() { return GpiState().m_Recordsets.Entries().size(); }

    // Selects the theme's shapes at the positions, in that order.
    void SelectInOrder(std::uint32_t theme, const std::vector<std::uint32_t>& positions) {
        for (std::uint32_t position : positions) {
            std::uint32_t shape = 0;
            GpiThemeGetShapeArgs get = {theme, position, &shape};
            ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetShape, &get), GPIERR_NoError);
            GpiShapeSelectArgs select = {shape, theme, 1};
            ASSERT_EQ(GpiHostDispatch(GPIOP_ShapeSelect, &select), GPIERR_NoError);
        }
    }

    std::uint32_t AddPoint(double x, double y) {
        m_Points->AddPointAt(false, false, x, y);
        return GpiShapeHandle(m_Points->GetShape(m_Points->GetShapeCount() - 1));
    }

    TempDir m_Folder;
    CvClientTestRunFn m_RunScenario = nullptr;
};

TEST_F(GpiClientClasses, TextsCrossInTwoCallsAndEmptyTextsComeBackEmpty) {
    // A field added through the host, its values set the same way.
    std::uint32_t field = 0;
    GpiThemeAddFieldArgs add = {m_PointsHandle, GPIFT_String, "ROAD", "", &field};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeAddField, &add), GPIERR_NoError);
    const std::uint32_t named = AddPoint(1, 2);
    const std::uint32_t unnamed = AddPoint(3, 4);
    const std::string longText(300, 'x');
    GpiShapeSetAttributeArgs set = {named, m_PointsHandle, field, longText.c_str()};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttribute, &set), GPIERR_NoError);
    CTheme* untitled = AddNative("", SHT_Polyline);

    const CvClientTestRun theme = Run("theme", {m_PointsHandle});
    EXPECT_EQ(theme.error, 0);
    EXPECT_EQ(theme.results, (Texts{"Points", "ROAD"}));
    EXPECT_EQ(theme.values, (Words{0, SHT_Point, 1, 2, 0}));
    // Name and field name each take two calls: the size, then the text.
    EXPECT_EQ(theme.ops, (Ops{GPIOP_ThemeGetName, GPIOP_ThemeGetName, GPIOP_ThemeGetFieldCount,
                              GPIOP_ThemeGetFieldName, GPIOP_ThemeGetFieldName, GPIOP_ThemeIsReadOnly,
                              GPIOP_ThemeGetShapeType, GPIOP_ThemeGetShapeCount, GPIOP_ThemeGetSelectionCount}));

    EXPECT_EQ(Run("theme", {GpiThemeHandle(untitled)}).results, Texts{""});
    EXPECT_EQ(Run("attributes", {m_PointsHandle, named}).results, Texts{longText});
    EXPECT_EQ(Run("attributes", {m_PointsHandle, unnamed}).results, Texts{""});

    // The host's message of a code; a code it does not know has none, and
    // asking never throws.
    const CvClientTestRun texts = Run("error-text", {GPIERR_IndexOutOfBounds, GPIERR_InvalidHandle, 42});
    EXPECT_EQ(texts.error, 0);
    EXPECT_EQ(texts.results, (Texts{"Index out of bounds.", "Invalid handle.", ""}));
}

TEST_F(GpiClientClasses, FailuresThrowTheHostsCode) {
    struct Case {
        const char* name;
        const char* scenario;
        Words handles;
        int error;
        Ops ops;
    };
    AddPoint(0, 0);
    const Case cases[] = {
        {"a position past the end", "get-shape", {m_PointsHandle, 1}, GPIERR_IndexOutOfBounds, {GPIOP_ThemeGetShape}},
        // Handle 0 goes to the host like any other and the host refuses it.
        {"handle 0", "get-shape", {0, 0}, GPIERR_InvalidHandle, {GPIOP_ThemeGetShape}},
        {"a shape handle as theme", "get-shape", {GpiShapeHandle(m_Points->GetShape(0)), 0}, GPIERR_InvalidHandle,
         {GPIOP_ThemeGetShape}},
        // A failing first call of a text ends it before any buffer is used.
        {"text of handle 0", "theme", {0}, GPIERR_InvalidHandle, {GPIOP_ThemeGetName}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CvClientTestRun run = Run(c.scenario, c.handles);
        EXPECT_EQ(run.error, c.error);
        EXPECT_EQ(run.ops, c.ops);
        EXPECT_TRUE(run.values.empty());
    }
}

TEST_F(GpiClientClasses, IsValidAsksTheHostOnlyForNonZeroHandlesAndNeverThrows) {
    // A closed recordset and a theme the host has forgotten are stale.
    std::uint32_t closed = 0;
    GpiThemeGetSelectionArgs get = {m_PointsHandle, &closed};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetSelection, &get), GPIERR_NoError);
    ASSERT_EQ(GpiHostDispatch(GPIOP_RecordsetClose, AsBlock(closed)), GPIERR_NoError);
    GpiForgetTheme(m_Polygons);

    const CvClientTestRun run = Run("is-valid", {0, m_PointsHandle, m_Workspace, closed, m_PolygonsHandle, 0});
    EXPECT_EQ(run.error, 0);
    EXPECT_EQ(run.values, (Words{0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(run.ops, Ops(4, GPIOP_ObjectIsValid)) << "handle 0 is answered without the host";
}

TEST_F(GpiClientClasses, RecordsetsAreWalkedInSelectionOrderAndClosedOnce) {
    std::vector<std::uint32_t> shapes;
    for (int i = 0; i < 4; ++i)
        shapes.push_back(AddPoint(i, i));
    SelectInOrder(m_PointsHandle, {2, 0, 3});

    const CvClientTestRun walk = Run("walk-selection", {m_PointsHandle});
    EXPECT_EQ(walk.error, 0);
    EXPECT_EQ(walk.values, (Words{shapes[2], shapes[0], shapes[3]}));
    Ops expected = {GPIOP_ThemeGetSelection};
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), {GPIOP_RecordsetIsEOF, GPIOP_RecordsetGetValue, GPIOP_RecordsetMoveNext});
    expected.insert(expected.end(), {GPIOP_RecordsetIsEOF, GPIOP_RecordsetClose});
    EXPECT_EQ(walk.ops, expected);
    EXPECT_EQ(OpenRecordsets(), 0u);

    // Moved from wrapper to wrapper: the moved-from ones hold 0, and each of
    // the two recordsets is closed once, by its last holder.
    const CvClientTestRun moves = Run("recordset-moves", {m_PointsHandle});
    EXPECT_EQ(moves.error, 0);
    EXPECT_EQ(moves.values, (Words{0, 0, 1}));
    EXPECT_EQ(moves.ops, (Ops{GPIOP_ThemeGetSelection, GPIOP_ThemeGetSelection, GPIOP_RecordsetClose,
                              GPIOP_RecordsetClose}));
    EXPECT_EQ(OpenRecordsets(), 0u);
}

TEST_F(GpiClientClasses, AFailingCloseThrowsWhenAskedForAndIsDroppedByTheDestructor) {
    // Closed behind the wrapper's back: the destructor's close fails and the
    // plug-in goes on.
    const CvClientTestRun dropped = Run("stale-destructor", {m_PointsHandle});
    EXPECT_EQ(dropped.error, 0);
    ASSERT_EQ(dropped.values.size(), 1u);
    EXPECT_NE(dropped.values[0], 0u);
    EXPECT_EQ(dropped.ops, (Ops{GPIOP_ThemeGetSelection, GPIOP_RecordsetClose}));

    // An explicit close reports it; the wrapper holds 0 afterwards, so a
    // second close and the destructor call nothing.
    const CvClientTestRun thrown = Run("stale-close", {m_PointsHandle});
    EXPECT_EQ(thrown.error, GPIERR_InvalidHandle);
    EXPECT_EQ(thrown.values, Words{0});
    EXPECT_EQ(thrown.ops, (Ops{GPIOP_ThemeGetSelection, GPIOP_RecordsetClose}));
    EXPECT_EQ(OpenRecordsets(), 0u);
}

TEST_F(GpiClientClasses, WorkspaceThemesAndShapes) {
    m_Doc->m_activeTheme = m_Polygons;
    m_Doc->m_selectedThemes = {m_Polygons};
    const CvClientTestRun workspace = Run("workspace", {m_Workspace});
    EXPECT_EQ(workspace.error, 0);
    EXPECT_EQ(workspace.results, (Texts{"Points", "Polygons"}));
    EXPECT_EQ(workspace.values, (Words{2, m_PolygonsHandle, 1}));

    // A theme made, a field added, a shape added in a batch, its attributes
    // set and the shape selected, all through the classes.
    const std::vector<unsigned char> record = PolylineRecord({{0, 0}, {3, 4}, {6, 0}});
    const CvClientTestRun edit = Run("edit", {m_Workspace, SHT_Polyline}, {"Routes"}, record);
    ASSERT_EQ(edit.error, 0);
    ASSERT_EQ(edit.values.size(), 4u);
    ASSERT_EQ(m_Doc->m_themes.size(), 3u);
    CTheme* routes = nullptr;
    for (CTheme* theme : m_Doc->m_themes) {
        if (GpiThemeHandle(theme) == edit.values[0])
            routes = theme;
    }
    ASSERT_NE(routes, nullptr);
    EXPECT_EQ(routes->m_Name, "Routes");
    EXPECT_EQ(routes->m_ShapeType, static_cast<std::uint32_t>(SHT_Polyline));
    EXPECT_EQ(edit.values[1], 0u);
    ASSERT_EQ(routes->GetShapeCount(), 1u);
    EXPECT_EQ(edit.values[2], GpiShapeHandle(routes->GetShape(0)));
    EXPECT_EQ(edit.values[3], 1u);
    EXPECT_EQ(edit.results, Texts{"first"});

    // Reading it back: part 0's points, the bounds, and the nearest point.
    const CvClientTestRun geometry = Run("geometry", {edit.values[0]});
    EXPECT_EQ(geometry.error, 0);
    EXPECT_EQ(geometry.values, (Words{edit.values[2], 3}));
    EXPECT_EQ(geometry.numbers, (std::vector<double>{0, 0, 6, 4, 0, 0, 3, 4, 6, 0, 0, 0}));

    // Replaced by a record of other points.
    const std::vector<unsigned char> other = PolylineRecord({{10, 10}, {12, 11}});
    const CvClientTestRun update = Run("update", {edit.values[0]}, {}, other);
    EXPECT_EQ(update.error, 0);
    const CvClientTestRun reread = Run("geometry", {edit.values[0]});
    EXPECT_EQ(reread.numbers, (std::vector<double>{10, 10, 12, 11, 10, 10, 12, 11, 10, 10}));

    // Text handed to the host in its own memory.
    EXPECT_EQ(Run("host-string", {}, {"Route 7"}).results, Texts{"Route 7"});
}

// The routing plug-in's road from a link layer of the workspace to a route:
// the ids and lengths as the layer's texts, read through the classes.
TEST_F(GpiClientClasses, RoutesFromALinkLayer) {
    CTheme* links = AddNative("Links", SHT_Polyline);
    const std::uint32_t layer = GpiThemeHandle(links);
    std::uint32_t fields[3] = {};
    const char* const names[3] = {"FROM", "TO", "LENGTH"};
    for (int f = 0; f < 3; ++f) {
        GpiThemeAddFieldArgs add = {layer, GPIFT_String, names[f], "", &fields[f]};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeAddField, &add), GPIERR_NoError);
    }
    struct Row {
        const char* from;
        const char* to;
        const char* length;
    };
    // Node 4 is only ever an end; the last two rows cannot be read as links.
    const Row rows[] = {{"1", "2", "4"}, {"1", "3", "1"}, {"3", "2", "2"}, {"2", "4", "5"},
                        {"3", "4", "8"}, {"x", "4", "0"}, {"4", "", "1"}};
    std::vector<std::uint32_t> shapes;
    const std::vector<unsigned char> record = PolylineRecord({{0, 0}, {1, 1}});
    for (const Row& row : rows) {
        std::uint32_t shape = 0;
        GpiThemeAddShapeArgs add = {layer, record.data(), &shape};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeAddShape, &add), GPIERR_NoError);
        const char* const texts[3] = {row.from, row.to, row.length};
        for (int f = 0; f < 3; ++f) {
            GpiShapeSetAttributeArgs set = {shape, layer, fields[f], texts[f]};
            ASSERT_EQ(GpiHostDispatch(GPIOP_ShapeSetAttribute, &set), GPIERR_NoError);
        }
        shapes.push_back(shape);
    }

    struct Case {
        Words ids;
        Words route;
        double found;
        double cost;
    };
    const Case cases[] = {
        {{1, 4}, {shapes[1], shapes[2], shapes[3]}, 1, 8},
        {{1, 2, 4}, {shapes[1], shapes[2], shapes[3]}, 1, 8},
        {{4, 1}, {}, 0, 0},
        {{2, 2}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.ids));
        Words handles = {layer, fields[0], fields[1], fields[2]};
        handles.insert(handles.end(), c.ids.begin(), c.ids.end());
        const CvClientTestRun run = Run("route", handles);
        ASSERT_EQ(run.error, 0);
        EXPECT_EQ(run.values, c.route);
        EXPECT_EQ(run.numbers, (std::vector<double>{c.found, c.cost, 5, 2}));
        EXPECT_EQ(run.results, Texts{"2 links were left out: the from or to node id is not a whole number."});
    }

    // A length field beyond the layer's fields is the host's refusal.
    EXPECT_EQ(Run("route", {layer, fields[0], fields[1], 7, 1, 4}).error, GPIERR_IndexOutOfBounds);
}
