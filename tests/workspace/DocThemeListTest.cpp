// Making, adding and removing the document's themes.

#include "core/Theme.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

struct EventLog {
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    std::vector<std::pair<int, std::intptr_t>> events;
};

std::intptr_t DataOf(const CTheme* theme) { return reinterpret_cast<std::intptr_t>(theme); }

// An editable point theme of points at x = 0, 1, 2, ... at the end of the list.
CTheme* AddPoints(CCorvaleDoc& doc, const char* name, int count) {
    CTheme* theme = doc.CreateTheme(name, SHT_Point);
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    for (int i = 0; i < count; ++i)
        theme->AddPointAt(false, false, i, 10.0 * i);
    doc.m_themes.push_back(theme);
    return theme;
}

} // namespace

TEST(DocThemeList, CreateThemeTakesTheSettingsColoursAndIsNotInserted) {
    CAppSettings* settings = CAppSettings::GetInstance();
    CCorvaleDoc doc;
    std::unique_ptr<CTheme> theme(doc.CreateTheme("Roads", SHT_Polyline));
    EXPECT_EQ(theme->m_Name, "Roads");
    EXPECT_EQ(theme->m_ShapeType, static_cast<std::uint32_t>(SHT_Polyline));
    EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_Unknown));
    EXPECT_EQ(theme->m_Color, settings->m_ColorDefault);
    EXPECT_EQ(theme->m_OutlineColor, settings->m_ColorOutline);
    EXPECT_TRUE(theme->m_Visible);
    EXPECT_FALSE(theme->m_Styles.empty()) << "with its default style";
    EXPECT_TRUE(doc.m_themes.empty());
}

TEST(DocThemeList, AddThemeByTheOrderSettingUnlessForcedToTheTop) {
    CAppSettings* settings = CAppSettings::GetInstance();
    const int saved = settings->m_LoadToBottom;
    settings->m_LoadToBottom = 1;
    CCorvaleDoc doc;
    CTheme* a = doc.CreateTheme("a", SHT_Point);
    CTheme* b = doc.CreateTheme("b", SHT_Point);
    CTheme* c = doc.CreateTheme("c", SHT_Point);
    doc.AddTheme(a);
    doc.AddTheme(b);
    doc.AddTheme(c, true);
    doc.AddTheme(nullptr);
    EXPECT_EQ(doc.m_themes, (std::vector<CTheme*>{c, a, b}));
    EXPECT_FALSE(doc.IsModified());
    settings->m_LoadToBottom = saved;
}

TEST(DocThemeList, RemoveThemeAnnouncesBeforeAndAfter) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    CTheme* a = AddPoints(doc, "a", 1);
    CTheme* b = AddPoints(doc, "b", 1);
    doc.SetThemeSelected(a, true);
    doc.SetThemeSelected(b, true);
    for (CTheme* theme : doc.m_themes)
        theme->m_Modified = false;
    doc.SetModifiedFlag(false);

    ASSERT_TRUE(doc.RemoveTheme(a));
    EXPECT_EQ(doc.m_themes, std::vector<CTheme*>{b});
    EXPECT_EQ(doc.m_selectedThemes, std::vector<CTheme*>{b});
    EXPECT_EQ(doc.m_activeTheme, b) << "the one selected theme left is active";
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_ThemeRemoved, DataOf(a)},
                                                                      {DUE_ActiveThemeChanged, DataOf(b)}}));
}

TEST(DocThemeList, RemoveThemeRefusesParentsAndAnEmptyList) {
    CCorvaleDoc doc;
    CTheme loose;
    EXPECT_FALSE(doc.RemoveTheme(&loose));
    CTheme* parent = AddPoints(doc, "parent", 2);
    parent->AddToSelection(1, 1, 1, 0);
    CTheme* child = doc.NewThemeFromSelection(parent, nullptr, true);
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(doc.RemoveTheme(parent));
    EXPECT_EQ(doc.m_themes.size(), 2u);
    ASSERT_TRUE(doc.RemoveTheme(child));
    EXPECT_TRUE(parent->m_ChildThemes.empty());
    EXPECT_TRUE(doc.RemoveTheme(parent));
    EXPECT_TRUE(doc.m_themes.empty());
}

TEST(DocThemeList, ThemeFromSelectionRefersToTheRootParentsRecords) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    CTheme* parent = AddPoints(doc, "Towns", 4);
    parent->AddToSelection(3, 3, 1, 0);
    parent->AddToSelection(1, 1, 1, 0);

    CTheme* child = doc.NewThemeFromSelection(parent, nullptr, false);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->m_Name, "From: Towns");
    EXPECT_EQ(child->m_SourceType, static_cast<std::uint32_t>(ST_ParentTheme));
    EXPECT_EQ(child->m_ParentTheme, parent);
    EXPECT_EQ(parent->m_ChildThemes, std::vector<CTheme*>{child});
    // Shape-index order, the parent's own records.
    ASSERT_EQ(child->GetShapeCount(), 2);
    EXPECT_EQ(child->GetShape(0), parent->GetShape(1));
    EXPECT_EQ(child->GetShape(1), parent->GetShape(3));
    EXPECT_EQ(child->m_Bounds[0], 1.0);
    EXPECT_EQ(child->m_Bounds[3], 30.0);
    EXPECT_EQ(log.events.back(), std::make_pair(int(DUE_ThemeAdded), DataOf(child)));

    // A selection of the selection refers to the same parent.
    child->AddToSelection(child->GetShapeIndex(1), 1, 1, 0);
    CTheme* grandChild = doc.NewThemeFromSelection(child, "Picked", true);
    ASSERT_NE(grandChild, nullptr);
    EXPECT_EQ(grandChild->m_Name, "Picked");
    EXPECT_EQ(grandChild->m_ParentTheme, parent);
    ASSERT_EQ(grandChild->GetShapeCount(), 1);
    EXPECT_EQ(grandChild->GetShape(0), parent->GetShape(3));

    EXPECT_EQ(doc.NewThemeFromSelection(nullptr, nullptr, true), nullptr);
    CTheme image;
    image.m_ShapeType = SHT_Image;
    EXPECT_EQ(doc.NewThemeFromSelection(&image, nullptr, true), nullptr);
}
