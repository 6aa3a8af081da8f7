// The handle tables: handles are stable for an object, unique across kinds,
// never reused, and dropped with their objects; plug-in identities lie in a
// range of their own.

#include "GpiTestSupport.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

// Record pointers for the shape table. The host never reads a record's
// bytes, but the pointers address real memory all the same.
struct Records {
    std::vector<std::vector<unsigned char>> buffers;
    CShapeRecord* Make() {
        buffers.emplace_back(28, 0);
        return CShapeRecord::FromBytes(buffers.back().data());
    }
    Records() { buffers.reserve(64); }
};

} // namespace

using GpiHandles = GpiHostTest;

TEST_F(GpiHandles, AnObjectKeepsItsHandleAndNullHasNone) {
    auto document = std::make_unique<CCorvaleDoc>();
    auto* theme = new CTheme;
    document->m_themes.push_back(theme);
    Records records;
    CShapeRecord* record = records.Make();

    EXPECT_EQ(GpiWorkspaceHandle(nullptr), 0u);
    EXPECT_EQ(GpiThemeHandle(nullptr), 0u);
    EXPECT_EQ(GpiShapeHandle(nullptr), 0u);
    EXPECT_EQ(GpiRegisterMapView(nullptr), 0u);

    const std::uint32_t w = GpiWorkspaceHandle(document.get());
    const std::uint32_t t = GpiThemeHandle(theme);
    const std::uint32_t s = GpiShapeHandle(record);
    EXPECT_NE(w, 0u);
    EXPECT_LT(w, t);
    EXPECT_LT(t, s);
    EXPECT_EQ(GpiWorkspaceHandle(document.get()), w);
    GpiRegisterWorkspace(document.get());
    EXPECT_EQ(GpiWorkspaceHandle(document.get()), w);
    EXPECT_EQ(GpiThemeHandle(theme), t);
    EXPECT_EQ(GpiShapeHandle(record), s);

    EXPECT_EQ(GpiWorkspaceFromHandle(w), document.get());
    EXPECT_EQ(GpiThemeFromHandle(t), theme);
    EXPECT_EQ(GpiShapeFromHandle(s), record);
    // Each handle is looked up in its own table only.
    EXPECT_EQ(GpiThemeFromHandle(w), nullptr);
    EXPECT_EQ(GpiWorkspaceFromHandle(t), nullptr);
    EXPECT_EQ(GpiShapeFromHandle(t), nullptr);
    EXPECT_EQ(GpiShapeFromHandle(0), nullptr);
}

TEST_F(GpiHandles, KindsOfEveryTable) {
    const std::uint32_t identity = AddPlugin();
    auto document = std::make_unique<CCorvaleDoc>();
    auto* theme = new CTheme;
    document->m_themes.push_back(theme);
    Records records;
    auto* view = reinterpret_cast<CGeoView*>(std::uintptr_t{0x100});

    CGpiHostState& state = GpiState();
    struct Case {
        const char* name;
        std::uint32_t value;
        int kind;
    };
    const Case cases[] = {
        {"zero", 0, GPIHANDLE_Unknown},
        {"plug-in", identity, GPIHANDLE_Plugin},
        {"workspace", GpiWorkspaceHandle(document.get()), GPIHANDLE_Workspace},
        {"theme", GpiThemeHandle(theme), GPIHANDLE_Theme},
        {"map", GpiRegisterMapView(view), GPIHANDLE_Map},
        {"shape", GpiShapeHandle(records.Make()), GPIHANDLE_Shape},
        {"recordset", state.m_Recordsets.Add(reinterpret_cast<GpiRecordset*>(std::uintptr_t{0x200})),
         GPIHANDLE_Recordset},
        {"toolbar", state.m_ToolBars.GetOrCreate(reinterpret_cast<CCorvaleToolBar*>(std::uintptr_t{0x300})),
         GPIHANDLE_ToolBar},
        {"command item", state.m_CommandItems.GetOrCreate(22010u), GPIHANDLE_CommandItem},
        {"tool pane", state.m_ToolPanes.Add(reinterpret_cast<CCustomToolPane*>(std::uintptr_t{0x400})),
         GPIHANDLE_ToolPane},
        {"script", state.m_Scripts.GetOrCreate({reinterpret_cast<CJSHandler*>(std::uintptr_t{0x500}), nullptr}),
         GPIHANDLE_JavaScript},
        {"progress", state.m_ProgressBars.GetOrCreate(reinterpret_cast<CStatusBarProgressCtrl*>(std::uintptr_t{0x600})),
         GPIHANDLE_ProgressBar},
        {"status pane", state.m_StatusPanes.Add({2}), GPIHANDLE_StatusPane},
        {"never issued", 0x7FFFFFF0, GPIHANDLE_Unknown},
        {"identity range, not listed", identity + 1, GPIHANDLE_Unknown},
    };
    std::set<std::uint32_t> seen;
    for (const Case& c : cases) {
        EXPECT_EQ(GpiGetHandleKind(c.value), c.kind) << c.name;
        EXPECT_EQ(GpiIsValidHandle(c.value), c.kind != GPIHANDLE_Unknown) << c.name;
        if (c.kind != GPIHANDLE_Unknown) {
            EXPECT_TRUE(seen.insert(c.value).second) << c.name << ": one counter, so no value twice";
        }
    }
    GpiForgetMapView(view);
}

TEST_F(GpiHandles, ForgettingAThemeDropsItAndTheShapesOfAllItsRecords) {
    Records records;
    auto document = std::make_unique<CCorvaleDoc>();
    auto* theme = new CTheme;
    auto* other = new CTheme;
    document->m_themes = {theme, other};
    theme->m_Points = {records.Make(), records.Make()};
    theme->m_Arcs = {records.Make()};
    theme->m_Polygons = {records.Make()};
    other->m_Points = {records.Make()};

    const std::uint32_t themeHandle = GpiThemeHandle(theme);
    std::vector<std::uint32_t> shapes;
    for (const auto* list : {&theme->m_Points, &theme->m_Arcs, &theme->m_Polygons})
        for (CShapeRecord* record : *list)
            shapes.push_back(GpiShapeHandle(record));
    const std::uint32_t otherTheme = GpiThemeHandle(other);
    const std::uint32_t otherShape = GpiShapeHandle(other->m_Points[0]);

    GpiForgetTheme(theme);
    EXPECT_FALSE(IsValid(themeHandle));
    for (std::uint32_t shape : shapes) {
        EXPECT_FALSE(IsValid(shape)) << shape;
        EXPECT_EQ(GpiShapeFromHandle(shape), nullptr);
    }
    EXPECT_TRUE(IsValid(otherTheme));
    EXPECT_TRUE(IsValid(otherShape));
    GpiForgetTheme(nullptr);
}

TEST_F(GpiHandles, ForgettingADerivedThemeKeepsItsParentsShapes) {
    Records records;
    auto document = std::make_unique<CCorvaleDoc>();
    auto* parent = new CTheme;
    auto* child = new CTheme;
    document->m_themes = {parent, child};
    parent->m_Points = {records.Make(), records.Make()};
    child->m_SourceType = ST_ParentTheme;
    child->m_ParentTheme = parent;
    child->m_Points = {parent->m_Points[1]};
    const std::uint32_t shared = GpiShapeHandle(parent->m_Points[1]);
    const std::uint32_t childHandle = GpiThemeHandle(child);

    GpiForgetTheme(child);
    EXPECT_FALSE(IsValid(childHandle));
    EXPECT_TRUE(IsValid(shared)) << "the record is the parent's";
    EXPECT_EQ(GpiShapeFromHandle(shared), parent->m_Points[1]);
    child->m_ParentTheme = nullptr;
}

TEST_F(GpiHandles, ADestroyedDocumentTakesItsHandlesWithIt) {
    Records records;
    auto document = std::make_unique<CCorvaleDoc>();
    auto* theme = new CTheme;
    theme->m_Points = {records.Make()};
    document->m_themes = {theme};
    const std::uint32_t w = GpiWorkspaceHandle(document.get());
    const std::uint32_t t = GpiThemeHandle(theme);
    const std::uint32_t s = GpiShapeHandle(theme->m_Points[0]);
    auto* script = reinterpret_cast<CJSHandler*>(std::uintptr_t{0x700});
    const std::uint32_t j = GpiState().m_Scripts.GetOrCreate({script, document.get()});

    document.reset();
    for (std::uint32_t handle : {w, t, s, j})
        EXPECT_FALSE(IsValid(handle)) << handle;
}

TEST_F(GpiHandles, HandlesAreNeverReused) {
    Records records;
    auto document = std::make_unique<CCorvaleDoc>();
    auto* theme = new CTheme;
    document->m_themes = {theme};
    CShapeRecord* record = records.Make();

    const std::uint32_t first = GpiThemeHandle(theme);
    const std::uint32_t firstShape = GpiShapeHandle(record);
    // The theme leaves the document and comes back: a new, higher number.
    GpiNotifyThemesRemoved(document.get(), theme);
    EXPECT_FALSE(IsValid(first));
    const std::uint32_t second = GpiThemeHandle(theme);
    EXPECT_GT(second, first);
    EXPECT_EQ(GpiThemeHandle(theme), second);

    GpiNotifyShapeDeleted(theme, record);
    const std::uint32_t secondShape = GpiShapeHandle(record);
    EXPECT_GT(secondShape, firstShape);

    GpiForgetWorkspace(document.get());
    const std::uint32_t w = GpiWorkspaceHandle(document.get());
    EXPECT_GT(w, secondShape);

    // Nothing handed out later lands on a number given before.
    std::set<std::uint32_t> given = {first, firstShape, second, secondShape, w};
    for (int i = 0; i < 50; ++i) {
        CShapeRecord* r = records.Make();
        const std::uint32_t h = GpiShapeHandle(r);
        EXPECT_TRUE(given.insert(h).second) << h;
        if (i % 2 == 0)
            GpiNotifyShapeDeleted(theme, r);
    }
}

TEST_F(GpiHandles, TheCounterStopsBeforeTheIdentityRange) {
    const std::uint32_t saved = GpiTestSetHandleCounter(GPI_HANDLE_LAST - 1);
    Records records;
    auto* a = reinterpret_cast<CTheme*>(std::uintptr_t{0x10});
    auto* b = reinterpret_cast<CTheme*>(std::uintptr_t{0x20});

    EXPECT_EQ(GpiThemeHandle(a), GPI_HANDLE_LAST);
    EXPECT_EQ(GpiThemeHandle(b), 0u) << "exhausted";
    EXPECT_EQ(GpiShapeHandle(records.Make()), 0u);
    EXPECT_EQ(GpiNewHandle(), 0u) << "and stays exhausted";
    EXPECT_EQ(GpiState().m_Themes.Size(), 1u) << "nothing inserted without a handle";
    EXPECT_EQ(GpiState().m_Shapes.size(), 0u);
    EXPECT_EQ(GpiThemeHandle(a), GPI_HANDLE_LAST) << "existing handles still answer";

    // A plug-in asking for a new handle then hears "Out of resources.".
    auto document = std::make_unique<CCorvaleDoc>();
    GpiFrameServices frame;
    frame.openDocuments = [&document] { return std::vector<CCorvaleDoc*>{document.get()}; };
    GpiSetFrameServices(frame);
    std::uint32_t out = 77;
    GpiGetWorkspaceArgs args = {0, &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_GetWorkspace, &args), GPIERR_OutOfResources);
    EXPECT_EQ(out, 77u);

    // Identities are unaffected.
    const std::uint32_t identity = AddPlugin();
    EXPECT_GE(identity, GPI_PLUGIN_IDENTITY_FIRST);
    EXPECT_EQ(GpiGetHandleKind(identity), GPIHANDLE_Plugin);

    document.reset();
    GpiTestReset();
    GpiTestSetHandleCounter(saved);
}

TEST_F(GpiHandles, PluginIdentitiesComeFromTheirOwnRangeAndAreNotReused) {
    const std::uint32_t a = AddPlugin(nullptr, "{aaaaaaaa-0000-0000-0000-000000000000}");
    const std::uint32_t b = AddPlugin(nullptr, "{bbbbbbbb-0000-0000-0000-000000000000}");
    EXPECT_GE(a, GPI_PLUGIN_IDENTITY_FIRST);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(GpiFindPlugin(a)->m_InitInfo.identity, a) << "the plug-in receives it in its init info";
    EXPECT_STREQ(GetGpiPluginGuidText(b), "{bbbbbbbb-0000-0000-0000-000000000000}");
    EXPECT_EQ(GetGpiPluginGuidText(b + 1), nullptr);
    EXPECT_EQ(GetGpiPluginGuidText(0), nullptr);

    // The last plug-in is taken out again (its start failed): its identity
    // names nothing from then on, and the next plug-in gets another.
    std::unique_ptr<CGpiPlugin> removed = GpiRemoveLastPlugin();
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->m_Identity, b);
    EXPECT_FALSE(GpiIsPluginIdentity(b));
    EXPECT_EQ(GpiFindHookRecord(b), nullptr);
    EXPECT_EQ(GetGpiPluginGuidText(b), nullptr);
    const std::uint32_t c = AddPlugin();
    EXPECT_NE(c, b);
    EXPECT_TRUE(GpiIsPluginIdentity(a));
    EXPECT_TRUE(GpiIsPluginIdentity(c));
    EXPECT_EQ(GpiAddPlugin(nullptr), 0u);
}

TEST_F(GpiHandles, ShapeHandlesFollowARecordReplacedByACopy) {
    Records records;
    CShapeRecord* old = records.Make();
    CShapeRecord* copy = records.Make();
    const std::uint32_t handle = GpiShapeHandle(old);
    GpiMoveShapeHandle(old, copy);
    EXPECT_EQ(GpiShapeFromHandle(handle), copy);
    EXPECT_EQ(GpiShapeHandle(copy), handle);
    EXPECT_GT(GpiShapeHandle(old), handle) << "the old record is a stranger now";

    // A record without a handle moves nothing.
    CShapeRecord* plain = records.Make();
    GpiMoveShapeHandle(plain, records.Make());
    EXPECT_EQ(GpiFindShapeHandle(plain), 0u);
}

TEST_F(GpiHandles, ThemeOfAShapeAndDocumentOfATheme) {
    Records records;
    auto document = std::make_unique<CCorvaleDoc>();
    auto* first = new CTheme;
    auto* second = new CTheme;
    document->m_themes = {first, second};
    CShapeRecord* shared = records.Make();
    CShapeRecord* own = records.Make();
    second->m_Arcs = {shared, own};
    first->m_Polygons = {shared};
    auto loose = std::make_unique<CTheme>();

    // Only themes with handles are searched, in handle order.
    EXPECT_EQ(GpiThemeOfShape(shared), nullptr);
    GpiThemeHandle(second);
    GpiThemeHandle(first);
    EXPECT_EQ(GpiThemeOfShape(shared), second);
    EXPECT_EQ(GpiThemeOfShape(own), second);
    EXPECT_EQ(GpiThemeOfShape(records.Make()), nullptr);
    EXPECT_EQ(GpiThemeOfShape(nullptr), nullptr);

    EXPECT_EQ(GpiDocumentOfTheme(first), nullptr) << "the document has no handle yet";
    GpiRegisterWorkspace(document.get());
    EXPECT_EQ(GpiDocumentOfTheme(first), document.get());
    EXPECT_EQ(GpiDocumentOfTheme(loose.get()), nullptr);
}

TEST_F(GpiHandles, ToolOwnerOfAWorkspace) {
    auto document = std::make_unique<CCorvaleDoc>();
    const std::uint32_t identity = AddPlugin();
    const std::uint32_t w = GpiWorkspaceHandle(document.get());
    EXPECT_EQ(GpiGetToolOwner(w), 0u);
    GpiSetToolOwner(w, identity);
    EXPECT_EQ(GpiGetToolOwner(w), identity);
    EXPECT_EQ(GpiWorkspaceHandle(document.get()), w) << "the owner word does not change the entry's identity";
    GpiSetToolOwner(w + 100, identity);
    EXPECT_EQ(GpiGetToolOwner(w + 100), 0u);
}

TEST_F(GpiHandles, MapViewsRegisterAndForget) {
    auto* view = reinterpret_cast<CGeoView*>(std::uintptr_t{0x800});
    const std::uint32_t m = GpiRegisterMapView(view);
    EXPECT_EQ(GpiMapViewFromHandle(m), view);
    GpiForgetMapView(view);
    EXPECT_EQ(GpiMapViewFromHandle(m), nullptr);
    EXPECT_FALSE(IsValid(m));
}

TEST(GpiBimap, InsertRefusesEitherSideTwiceAndLookupsReportMisses) {
    bimap<int, const char*> map;
    const char* a = "a";
    const char* b = "b";
    map.insert(1, a);

    struct Case {
        const char* name;
        int left;
        const char* right;
    };
    for (const Case& c : {Case{"same left", 1, b}, Case{"same right", 2, a}, Case{"same pair", 1, a}}) {
        try {
            map.insert(c.left, c.right);
            ADD_FAILURE() << c.name << ": no throw";
        } catch (const duplicate_value& e) {
            EXPECT_STREQ(e.what(), "duplicate value") << c.name;
        }
        EXPECT_EQ(map.size(), 1u) << c.name;
        EXPECT_EQ(map.right_of(1), a) << c.name;
        EXPECT_EQ(map.left_of(a), 1) << c.name;
    }

    try {
        map.left_of(b);
        ADD_FAILURE() << "no throw";
    } catch (const value_not_found& e) {
        EXPECT_STREQ(e.what(), "value not found");
    }
    EXPECT_THROW(map.right_of(2), value_not_found);
    EXPECT_EQ(map.find_left(b), nullptr);
    EXPECT_EQ(map.find_right(2), nullptr);

    // Erasing by one side removes both entries.
    EXPECT_TRUE(map.erase_right(a));
    EXPECT_FALSE(map.contains_left(1));
    EXPECT_FALSE(map.erase_left(1));
    map.insert(1, b);
    EXPECT_EQ(map.right_of(1), b);
}
