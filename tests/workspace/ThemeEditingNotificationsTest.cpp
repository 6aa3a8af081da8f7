// Record edits reach the plug-ins: deleted shapes are announced
// (GPIHOOK_ShapeDeleted) while they are still intact and lose their handles,
// and a record replaced by a copy hands its handle on to the copy.

#include "workspace/gpi/GpiTestSupport.h"

#include "core/ShapeEditHooks.h"
#include "core/Theme.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiShapeEditHooks.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kShapes = std::string(CORVALE_TEST_DATA) + "/shapes/";

// What a listening plug-in saw of one announced shape, inside its callback.
struct Announcement {
    std::uint32_t workspace = 0;
    std::uint32_t userData = 0;
    std::uint32_t theme = 0;
    std::uint32_t shape = 0;
    // Read from the record the handle named; 0 when it named none.
    std::uint32_t recordNumber = 0;
    // Whether the theme still listed the record, and how many it listed.
    bool listed = false;
    int shapeCount = 0;
};

} // namespace

class ThemeEditingNotifications : public GpiHostTest {
protected:
    void SetUp() override {
        GpiHostTest::SetUp();
        GpiInstallShapeEditHooks();
        m_Document = std::make_unique<CCorvaleDoc>();
        GpiRegisterWorkspace(m_Document.get());
        m_Theme = new CTheme;
        m_Document->m_themes = {m_Theme};
        m_Theme->m_ShapeType = SHT_Polygon;
        ASSERT_TRUE(m_Theme->ConvertToNative(true, true));
        for (int k = 0; k < 5; ++k) {
            const double x = 10.0 * k;
            Bytes record = MakeMulti(SHT_Polygon, {{{x, 0}, {x, 5}, {x + 5, 5}, {x, 0}}});
            ASSERT_NE(m_Theme->AddShape(Rec(record), true, true, false), nullptr);
        }
    }

    void TearDown() override {
        m_Document.reset();
        SetShapeEditHooks(CShapeEditHooks());
        GpiHostTest::TearDown();
    }

    void Listen() {
        const std::uint32_t plugin =
            AddPlugin([this](std::uint32_t workspace, std::uint32_t, void* args) {
                const auto* shapeArgs = static_cast<const GpiHookShapeArgs*>(args);
                Announcement heard;
                heard.workspace = workspace;
                heard.userData = shapeArgs->userData;
                heard.theme = shapeArgs->theme;
                heard.shape = shapeArgs->shape;
                // Reading the record through its handle: a freed buffer would
                // show up under the address sanitizer.
                if (CShapeRecord* record = GpiShapeFromHandle(shapeArgs->shape)) {
                    heard.recordNumber =
                        static_cast<std::uint32_t>(GetShapeRecordIndex(record) + 1);
                    heard.listed = std::find(m_Theme->m_Polygons.begin(), m_Theme->m_Polygons.end(),
                                             record) != m_Theme->m_Polygons.end();
                }
                heard.shapeCount = m_Theme->GetAllShapeCount();
                m_Heard.push_back(heard);
                return 0;
            });
        Subscribe(plugin, GPIHOOK_ShapeDeleted, 0x5D);
    }

    std::vector<std::uint32_t> HandlesOfAllShapes() {
        std::vector<std::uint32_t> handles;
        for (CShapeRecord* record : m_Theme->m_Polygons)
            handles.push_back(GpiShapeHandle(record));
        return handles;
    }

    // Selects the shapes (shape indexes), deletes them and checks what the
    // plug-in heard, and which handles are left.
    void ExpectDeletionAnnounced(std::vector<int> selected) {
        Listen();
        const std::vector<std::uint32_t> handles = HandlesOfAllShapes();
        const std::vector<CShapeRecord*> records = m_Theme->m_Polygons;
        for (int index : selected)
            m_Theme->AddToSelection(index, index, 1, 0xFF);
        ASSERT_TRUE(m_Theme->DeleteSelectedShapes());

        std::sort(selected.begin(), selected.end());
        ASSERT_EQ(m_Heard.size(), selected.size());
        for (std::size_t n = 0; n < selected.size(); ++n) {
            const auto index = static_cast<std::size_t>(selected[n]);
            const Announcement& heard = m_Heard[n];
            EXPECT_EQ(heard.workspace, GpiWorkspaceHandle(m_Document.get()));
            EXPECT_EQ(heard.userData, 0x5Du);
            EXPECT_EQ(heard.theme, GpiThemeHandle(m_Theme));
            EXPECT_EQ(heard.shape, handles[index]) << "in shape-index order";
            EXPECT_EQ(heard.recordNumber, index + 1) << "the record is intact";
            EXPECT_TRUE(heard.listed);
            EXPECT_EQ(heard.shapeCount, 5) << "told before the theme changes";
        }
        // The deleted shapes' handles are gone; the others still name their
        // records.
        for (std::size_t i = 0; i < handles.size(); ++i) {
            const bool deleted =
                std::count(selected.begin(), selected.end(), static_cast<int>(i)) != 0;
            EXPECT_EQ(IsValid(handles[i]), !deleted) << i;
            if (!deleted) {
                EXPECT_EQ(GpiShapeFromHandle(handles[i]), records[i]);
            }
        }
    }

    std::unique_ptr<CCorvaleDoc> m_Document;
    CTheme* m_Theme = nullptr;
    std::vector<Announcement> m_Heard;
};

TEST_F(ThemeEditingNotifications, DeletedShapesAreAnnouncedWhileTheThemeStillShowsThem) {
    ExpectDeletionAnnounced({3, 1});
}

TEST_F(ThemeEditingNotifications, AFullyDeletedThemeAnnouncesEveryShape) {
    // Everything selected frees the buffers without walking the selection.
    ExpectDeletionAnnounced({4, 0, 2, 1, 3});
}

TEST_F(ThemeEditingNotifications, DeleteShapeAnnouncesOneShape) {
    Listen();
    const std::vector<std::uint32_t> handles = HandlesOfAllShapes();
    ASSERT_TRUE(m_Theme->DeleteShape(m_Theme->m_Polygons[2]));
    ASSERT_EQ(m_Heard.size(), 1u);
    EXPECT_EQ(m_Heard[0].shape, handles[2]);
    EXPECT_EQ(m_Heard[0].recordNumber, 3u);
    EXPECT_EQ(m_Heard[0].shapeCount, 5);
    EXPECT_FALSE(IsValid(handles[2]));
    EXPECT_EQ(GpiShapeFromHandle(handles[3]), m_Theme->m_Polygons[2]);
}

TEST_F(ThemeEditingNotifications, AReplacedRecordsHandleMovesToTheCopy) {
    Listen();
    CShapeRecord* old = m_Theme->m_Polygons[1];
    const std::uint32_t handle = GpiShapeHandle(old);
    Bytes moved = MakeMulti(SHT_Polygon, {{{10, 1}, {10, 6}, {15, 6}, {10, 1}}});
    CShapeRecord* copy = m_Theme->ReplaceShape(Rec(moved), old);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GpiShapeFromHandle(handle), copy);
    EXPECT_EQ(GpiShapeHandle(copy), handle);
    EXPECT_TRUE(m_Heard.empty()) << "nothing was deleted";
}

TEST_F(ThemeEditingNotifications, ConversionMovesHandlesOfRecordsThatGoAway) {
    // A shape-file theme's records point into the mapped file, which the
    // conversion closes: the handles go to the copies.
    auto* file = new CTheme;
    m_Document->m_themes.push_back(file);
    ASSERT_TRUE(file->OpenShapeFile(kShapes + "polygons.shp"));
    const std::uint32_t handle = GpiShapeHandle(file->m_Polygons[1]);
    ASSERT_TRUE(file->ConvertToNative(true, true));
    CShapeRecord* copy = GpiShapeFromHandle(handle);
    EXPECT_EQ(copy, file->m_Polygons[1]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(CShapeRecord::GetPointCount(copy), 4u);

    // A theme made from a selection lists its parent's records, which stay
    // the parent's, handles included.
    CTheme child;
    child.m_ShapeType = SHT_Polygon;
    child.m_SourceType = ST_ParentTheme;
    child.m_Polygons = {m_Theme->m_Polygons[0], m_Theme->m_Polygons[3]};
    child.ResetFilter();
    child.m_ParentTheme = m_Theme;
    m_Theme->AddChildTheme(&child);
    const std::uint32_t parentHandle = GpiShapeHandle(m_Theme->m_Polygons[3]);
    ASSERT_TRUE(child.ConvertToNative(true, true));
    EXPECT_EQ(GpiShapeFromHandle(parentHandle), m_Theme->m_Polygons[3]);
    EXPECT_TRUE(m_Heard.empty());
}

TEST_F(ThemeEditingNotifications, WithoutTheHooksNobodyIsTold) {
    Listen();
    SetShapeEditHooks(CShapeEditHooks());
    m_Theme->AddToSelection(0, 0, 1, 0xFF);
    ASSERT_TRUE(m_Theme->DeleteSelectedShapes());
    EXPECT_TRUE(m_Heard.empty());
    EXPECT_EQ(m_Theme->GetAllShapeCount(), 4);
}
