// New themes: empty themes to draw in, themes of a selection and themes of
// bounding boxes, driven by their command ids with a scripted user interface.

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) { doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate); }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    std::vector<std::pair<int, std::intptr_t>> events;

private:
    CCorvaleDoc& m_Doc;
};

class DialogScope {
public:
    DialogScope() : m_Saved(GetDocumentDialogServices()) {}
    ~DialogScope() { SetDocumentDialogServices(m_Saved); }
    CDocumentDialogServices services;
    void Install() { SetDocumentDialogServices(services); }

private:
    CDocumentDialogServices m_Saved;
};

class LoadToBottomScope {
public:
    explicit LoadToBottomScope(int value) : m_Saved(CAppSettings::GetInstance()->m_LoadToBottom) {
        CAppSettings::GetInstance()->m_LoadToBottom = value;
    }
    ~LoadToBottomScope() { CAppSettings::GetInstance()->m_LoadToBottom = m_Saved; }

private:
    int m_Saved;
};

CAttributeFieldInfo Field(const char* name, std::int32_t type, std::int32_t length) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = type;
    info.m_Length = length;
    return info;
}

class DocNewThemeCommands : public ::testing::Test {
protected:
    CTheme* AddNative(const char* name, std::uint32_t type) {
        CTheme* theme = doc.CreateTheme(name, type);
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        doc.m_themes.push_back(theme);
        return theme;
    }

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
};

TEST_F(DocNewThemeCommands, UniqueNamesCountOnFromTwo) {
    struct Case {
        std::vector<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "* Unnamed"},
        {{"* Unnamed"}, "* Unnamed (2)"},
        {{"* Unnamed", "* Unnamed (2)"}, "* Unnamed (3)"},
        {{"* Unnamed (2)"}, "* Unnamed"},
        // Taken names found in any order, and compared with their case.
        {{"* Unnamed (3)", "* Unnamed (2)", "* Unnamed"}, "* Unnamed (4)"},
        {{"* unnamed"}, "* Unnamed"},
    };
    for (const Case& c : cases) {
        CCorvaleDoc document;
        for (const std::string& name : c.existing)
            document.m_themes.push_back(document.CreateTheme(name, SHT_Point));
        EXPECT_EQ(document.UniqueThemeName("* Unnamed"), c.expected) << c.existing.size();
    }
}

TEST_F(DocNewThemeCommands, NewEmptyThemesAreEditableAndDrawnOnTop) {
    LoadToBottomScope top(0);
    CTheme* existing = doc.CreateTheme("Image", SHT_Image);
    doc.m_themes.push_back(existing);
    EventLog log(doc);
    struct Case {
        unsigned id;
        std::uint32_t type;
        std::string name;
    };
    for (const Case& c : {Case{ID_THEME_NEW_POINTS, SHT_Point, "* Unnamed"},
                          Case{ID_THEME_NEW_POLYLINES, SHT_Polyline, "* Unnamed (2)"},
                          Case{ID_THEME_NEW_POLYGONS, SHT_Polygon, "* Unnamed (3)"}}) {
        doc.OnCmdMsg(c.id, nullptr);
        CTheme* theme = doc.m_themes.front();
        EXPECT_EQ(theme->m_ShapeType, c.type);
        EXPECT_EQ(theme->m_Name, c.name);
        EXPECT_TRUE(theme->m_Editable);
        EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_Native));
        ASSERT_FALSE(log.events.empty());
        EXPECT_EQ(log.events.back(),
                  std::make_pair(static_cast<int>(DUE_ThemeAdded), reinterpret_cast<std::intptr_t>(theme)));
        // Only the first: no vector theme to copy attributes from yet.
        if (c.id == ID_THEME_NEW_POINTS) {
            EXPECT_TRUE(ui.Messages().empty());
        }
    }
    EXPECT_EQ(doc.m_themes.back(), existing);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ui.Messages().size(), 2u) << "asked about attributes once there were vector themes";
}

TEST_F(DocNewThemeCommands, NewThemeCopiesTheChosenFieldDefinitionsOnly) {
    CTheme* source = AddNative("Towns", SHT_Point);
    source->AddAttribute(Field("NAME", FT_String, 20), nullptr, nullptr);
    source->AddAttribute(Field("POP", FT_Int, 9), nullptr, nullptr);
    source->AddPointAt(false, false, 1, 1);
    source->SetAttributeText(0, 0, "Alda", false);
    DialogScope dialogs;
    dialogs.services.chooseTheme = [source](CCorvaleDoc*, const std::string&, unsigned mask) {
        EXPECT_EQ(mask, 7u);
        return source;
    };
    dialogs.Install();

    ui.messageAnswers.push_back(corvale::IDNO);
    CTheme* plain = doc.NewTheme(nullptr, "a", SHT_Point, true);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetAttributeCount(), 0u);

    ui.messageAnswers.push_back(corvale::IDYES);
    CTheme* copied = doc.NewTheme(nullptr, "b", SHT_Polygon, true);
    ASSERT_NE(copied, nullptr);
    ASSERT_EQ(copied->GetAttributeCount(), 2u);
    EXPECT_EQ(copied->GetAttributeName(0), "NAME");
    EXPECT_EQ(copied->GetAttributeInfo(1).m_Type, FT_Int);
    EXPECT_EQ(copied->GetShapeCount(), 0);

    CTheme* quiet = doc.NewTheme(source, "c", SHT_Point, false);
    EXPECT_EQ(quiet->GetAttributeCount(), 0u) << "no attributes without ask";
    EXPECT_EQ(ui.Messages().size(), 2u);
}

TEST_F(DocNewThemeCommands, BoundingBoxesOfPolylinesKeepOrderAndValues) {
    CTheme* roads = AddNative("Roads", SHT_Polyline);
    roads->AddAttribute(Field("NAME", FT_String, 20), nullptr, nullptr);
    const Parts lines[] = {
        {{{0, 0}, {4, 2}}},
        {{{10, 10}, {12, 15}}, {{9, 11}, {10, 10}}},
        {{{3, 3}, {3, 3}}}, // all on one spot: no polygon of it
        {{{5, 1}, {8, 1}}}, // flat, still a box of some width
    };
    const char* names[] = {"North", "East", "Dot", "Flat"};
    for (int i = 0; i < 4; ++i) {
        Bytes record = MakeMulti(SHT_Polyline, lines[i]);
        ASSERT_NE(roads->AddShape(Rec(record), false, false, false), nullptr);
        roads->SetAttributeText(i, 0, names[i], false);
    }
    doc.SetThemeSelected(roads, true);
    CCmdUI enabled(ID_THEME_NEW_BOUNDING_BOXES);
    doc.OnCmdMsg(ID_THEME_NEW_BOUNDING_BOXES, &enabled);
    ASSERT_TRUE(enabled.m_Enabled);
    EventLog log(doc);

    doc.OnCmdMsg(ID_THEME_NEW_BOUNDING_BOXES, nullptr);
    ASSERT_EQ(log.events.size(), 1u);
    auto* boxes = reinterpret_cast<CTheme*>(log.events[0].second);
    ASSERT_NE(boxes, nullptr);
    EXPECT_EQ(boxes->m_Name, "Bounds from: Roads");
    EXPECT_EQ(boxes->m_ShapeType, static_cast<std::uint32_t>(SHT_Polygon));
    ASSERT_EQ(boxes->GetShapeCount(), 3);
    const double expected[][4] = {{0, 0, 4, 2}, {9, 10, 12, 15}, {5, 1, 8, 1}};
    const char* expectedNames[] = {"North", "East", "Flat"};
    for (int p = 0; p < 3; ++p) {
        const CShapeRecord* box = boxes->GetShape(p);
        ASSERT_EQ(CShapeRecord::GetPointCount(box), 5u);
        EXPECT_EQ(CShapeRecord::GetMinX(box), expected[p][0]) << p;
        EXPECT_EQ(CShapeRecord::GetMinY(box), expected[p][1]) << p;
        EXPECT_EQ(CShapeRecord::GetMaxX(box), expected[p][2]) << p;
        EXPECT_EQ(CShapeRecord::GetMaxY(box), expected[p][3]) << p;
        const CShapePoint first = CShapeRecord::GetPoint(box, 0);
        const CShapePoint last = CShapeRecord::GetPoint(box, 4);
        EXPECT_EQ(first.x, last.x);
        EXPECT_EQ(first.y, last.y);
        EXPECT_EQ(boxes->GetAttributeTextAt(p, 0), expectedNames[p]) << p;
    }
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"1 shape has a bounding box of a single point and got no polygon."});
}

TEST_F(DocNewThemeCommands, BoundingBoxesOfPointsMakeNoDegeneratePolygons) {
    CTheme* towns = AddNative("Towns", SHT_Point);
    towns->AddPointAt(false, false, 1, 1);
    towns->AddPointAt(false, false, 2, 2);
    doc.SetThemeSelected(towns, true);
    CCmdUI enabled(ID_THEME_NEW_BOUNDING_BOXES);
    doc.OnCmdMsg(ID_THEME_NEW_BOUNDING_BOXES, &enabled);
    EXPECT_FALSE(enabled.m_Enabled) << "the command offers polylines and polygons only";

    CTheme* boxes = doc.NewThemeFromBoundingBoxes(towns);
    ASSERT_NE(boxes, nullptr);
    EXPECT_EQ(boxes->GetShapeCount(), 0);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"2 shapes have a bounding box of a single point and got no polygon."});
}

TEST_F(DocNewThemeCommands, FromSelectionNeedsASelectionAndRefersToTheRoot) {
    CTheme* towns = AddNative("Towns", SHT_Point);
    for (int i = 0; i < 3; ++i)
        towns->AddPointAt(false, false, i, i);
    doc.SetThemeSelected(towns, true);
    CCmdUI disabled(ID_THEME_NEW_FROM_SELECTION);
    doc.OnCmdMsg(ID_THEME_NEW_FROM_SELECTION, &disabled);
    EXPECT_FALSE(disabled.m_Enabled);

    towns->AddToSelection(2, 2, 3, 0);
    towns->AddToSelection(0, 0, 3, 0);
    EventLog log(doc);
    doc.OnCmdMsg(ID_THEME_NEW_FROM_SELECTION, nullptr);
    ASSERT_EQ(log.events.size(), 1u);
    auto* child = reinterpret_cast<CTheme*>(log.events[0].second);
    EXPECT_EQ(child->m_ParentTheme, towns);
    ASSERT_EQ(child->GetShapeCount(), 2);

    // A selection of the child is still made of the root's records.
    doc.ClearThemeSelection();
    doc.SetThemeSelected(child, true);
    child->AddToSelection(2, 1, 3, 0);
    doc.OnCmdMsg(ID_THEME_NEW_FROM_SELECTION, nullptr);
    auto* grandchild = reinterpret_cast<CTheme*>(log.events.back().second);
    EXPECT_EQ(grandchild->m_ParentTheme, towns);
    ASSERT_EQ(grandchild->GetShapeCount(), 1);
    EXPECT_EQ(grandchild->GetShape(0), towns->GetShape(2));
    EXPECT_FALSE(doc.RemoveTheme(towns)) << "two themes are made from it";
}

} // namespace

namespace {

// A record that the parent's loader withdraws is about to be freed: the
// themes made from the parent's selection must stop listing it.
TEST_F(DocNewThemeCommands, AWithdrawnRecordLeavesTheSelectionThemesToo) {
    CTheme* towns = AddNative("Towns", SHT_Point);
    for (int i = 0; i < 3; ++i)
        towns->AddPointAt(false, false, i, i);
    // Read-only, as a loader's theme is.
    ASSERT_TRUE(towns->ConvertToNative(false, true));
    towns->AddToSelection(0, 0, 3, 0);
    towns->AddToSelection(1, 1, 3, 0);
    CTheme* child = doc.NewThemeFromSelection(towns, nullptr, true);
    ASSERT_EQ(child->GetShapeCount(), 2);
    child->AddToSelection(1, 1, 3, 0);
    CShapeRecord* withdrawn = towns->GetShape(1);
    CShapeRecord* kept = towns->GetShape(0);

    ASSERT_TRUE(towns->RemoveLoadedShape(withdrawn));
    ASSERT_EQ(child->GetShapeCount(), 1);
    EXPECT_EQ(child->GetShape(0), kept);
    EXPECT_TRUE(child->m_Selection.empty());
    EXPECT_EQ(std::count(child->m_Points.begin(), child->m_Points.end(), withdrawn), 0);
}

} // namespace
