// The theme management commands: remove, show and hide, info tips, editing
// and copying styles, driven by their command ids with a scripted user
// interface.

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class EventLog {
public:
    explicit EventLog(CCorvaleDoc& doc) : m_Doc(doc) { doc.m_updateEvent.AddHandler(this, &EventLog::OnUpdate); }
    ~EventLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& event : events)
            codes.push_back(event.first);
        return codes;
    }
    std::vector<std::pair<int, std::intptr_t>> events;

private:
    CCorvaleDoc& m_Doc;
};

std::intptr_t DataOf(const CTheme* theme) { return reinterpret_cast<std::intptr_t>(theme); }

CCmdUI Update(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    doc.OnCmdMsg(id, &ui);
    return ui;
}

class DialogScope {
public:
    DialogScope() : m_Saved(GetDocumentDialogServices()) {}
    ~DialogScope() { SetDocumentDialogServices(m_Saved); }
    CDocumentDialogServices services;
    void Install() { SetDocumentDialogServices(services); }

private:
    CDocumentDialogServices m_Saved;
};

class DocThemeCommands : public ::testing::Test {
protected:
    // An editable, unmodified native theme of count points at the end of the list.
    CTheme* AddTheme(const char* name, std::uint32_t type = SHT_Point, int count = 2) {
        CTheme* theme = doc.CreateTheme(name, type);
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        for (int i = 0; i < count && type == SHT_Point; ++i)
            theme->AddPointAt(false, false, i, i);
        theme->m_Modified = false;
        doc.m_themes.push_back(theme);
        return theme;
    }
    // A theme of the parent's first shape, made the way the command makes it.
    CTheme* AddChild(CTheme* parent) {
        parent->AddToSelection(0, 0, 3, 0);
        CTheme* child = doc.NewThemeFromSelection(parent, nullptr, true);
        parent->ClearSelection();
        child->m_Modified = false;
        return child;
    }

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
};

TEST_F(DocThemeCommands, RemovingAParentWithItsChildRemovesTheChildFirst) {
    CTheme* parent = AddTheme("Towns");
    CTheme* child = AddChild(parent);
    CTheme* other = AddTheme("Roads");
    // The parent stands first in the selection, so only a second pass can take it.
    doc.SetThemeSelected(parent, true);
    doc.SetThemeSelected(child, true);
    EventLog log(doc);

    ASSERT_TRUE(doc.OnCmdMsg(ID_THEME_REMOVE, nullptr));
    EXPECT_EQ(doc.m_themes, std::vector<CTheme*>{other});
    EXPECT_TRUE(doc.m_selectedThemes.empty());
    EXPECT_EQ(doc.m_activeTheme, nullptr);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_ThemeRemoved, DataOf(child)},
                                                                      {DUE_ThemeRemoved, DataOf(parent)},
                                                                      {DUE_ActiveThemeChanged, 0}}));
}

TEST_F(DocThemeCommands, RemovingAParentAloneKeepsItAndSaysWhy) {
    CTheme* parent = AddTheme("Towns");
    CTheme* child = AddChild(parent);
    doc.SetThemeSelected(parent, true);
    doc.m_vertexMode = 1;
    doc.m_toolMode = MT_DrawNew;

    doc.OnCmdMsg(ID_THEME_REMOVE, nullptr);
    EXPECT_EQ(doc.m_themes.size(), 2u);
    EXPECT_EQ(doc.m_activeTheme, parent);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"1 theme could not be removed.\nThis theme holds data that "
                                                      "other themes depend on.\nYou have to remove those themes "
                                                      "first.\n\n"});
    EXPECT_EQ(doc.m_vertexMode, 0);
    EXPECT_EQ(doc.m_toolMode, static_cast<std::uint32_t>(MT_Select));
    // The child still reads its parent's records.
    ASSERT_EQ(child->GetShapeCount(), 1);
    EXPECT_EQ(child->GetShape(0), parent->GetShape(0));

    // Two parents left: the plural message.
    CTheme* second = AddTheme("Wells");
    AddChild(second);
    doc.SetThemeSelected(second, true);
    doc.OnCmdMsg(ID_THEME_REMOVE, nullptr);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1], "2 themes could not be removed.\nThese themes hold data that other themes depend "
                                "on.\nYou have to remove those themes first.\n\n");
}

TEST_F(DocThemeCommands, RemovingModifiedThemesAsksFirst) {
    CTheme* theme = AddTheme("Towns");
    theme->m_Modified = true;
    doc.SetThemeSelected(theme, true);
    ui.messageAnswers.push_back(corvale::IDNO);
    doc.OnCmdMsg(ID_THEME_REMOVE, nullptr);
    EXPECT_EQ(doc.m_themes.size(), 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].buttons, corvale::MessageButtons::YesNo);

    ui.messageAnswers.push_back(corvale::IDYES);
    doc.OnCmdMsg(ID_THEME_REMOVE, nullptr);
    EXPECT_TRUE(doc.m_themes.empty());
    EXPECT_FALSE(Update(doc, ID_THEME_REMOVE).m_Enabled);
}

TEST_F(DocThemeCommands, ShowAndHideFollowTheVisibility) {
    CTheme* a = AddTheme("a");
    CTheme* b = AddTheme("b");
    struct Case {
        bool a, b;
        bool hideAll, showAll;
    };
    for (const Case& c : {Case{true, true, true, false}, Case{false, false, false, true},
                          Case{true, false, true, true}}) {
        a->m_Visible = c.a;
        b->m_Visible = c.b;
        EXPECT_EQ(Update(doc, ID_THEME_HIDE_ALL).m_Enabled, c.hideAll) << c.a << c.b;
        EXPECT_EQ(Update(doc, ID_THEME_SHOW_ALL).m_Enabled, c.showAll) << c.a << c.b;
    }
    doc.OnCmdMsg(ID_THEME_SHOW_ALL, nullptr);
    EXPECT_TRUE(a->m_Visible && b->m_Visible);
    doc.OnCmdMsg(ID_THEME_HIDE_ALL, nullptr);
    EXPECT_FALSE(a->m_Visible || b->m_Visible);

    EXPECT_FALSE(Update(doc, ID_THEME_SHOW).m_Enabled);
    doc.SetThemeSelected(a, true);
    EXPECT_EQ(Update(doc, ID_THEME_SHOW).m_Text, "&Show");
    EventLog log(doc);
    doc.OnCmdMsg(ID_THEME_SHOW, nullptr);
    EXPECT_TRUE(a->m_Visible);
    EXPECT_EQ(Update(doc, ID_THEME_SHOW).m_Text, "&Hide");
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_VisibilityChanged, DataOf(a)}}));
}

TEST_F(DocThemeCommands, InfoTipsShowOnOneThemeAtATime) {
    CTheme* a = AddTheme("a");
    CTheme* b = AddTheme("b");
    b->m_ShowInfoTip = true;
    doc.SetThemeSelected(a, true);
    EXPECT_FALSE(Update(doc, ID_THEME_INFOTIPS).m_Checked);
    doc.OnCmdMsg(ID_THEME_INFOTIPS, nullptr);
    EXPECT_TRUE(a->m_ShowInfoTip);
    EXPECT_FALSE(b->m_ShowInfoTip);
    EXPECT_TRUE(Update(doc, ID_THEME_INFOTIPS).m_Checked);
    doc.OnCmdMsg(ID_THEME_INFOTIPS, nullptr);
    EXPECT_FALSE(a->m_ShowInfoTip);
}

TEST_F(DocThemeCommands, EnableEditingConvertsAndReportsFailures) {
    CTheme* readOnly = AddTheme("Towns");
    ASSERT_TRUE(readOnly->ConvertToNative(false, true));
    ASSERT_FALSE(readOnly->m_Editable);
    CTheme* parent = AddTheme("Wells");
    ASSERT_TRUE(parent->ConvertToNative(false, true));
    AddChild(parent);

    doc.SetThemeSelected(parent, true);
    EXPECT_FALSE(Update(doc, ID_THEME_ENABLE_EDITING).m_Enabled) << "others are made from it";
    doc.SetThemeSelected(readOnly, true);
    ASSERT_TRUE(Update(doc, ID_THEME_ENABLE_EDITING).m_Enabled);
    doc.m_vertexMode = 1;
    EventLog log(doc);

    doc.OnCmdMsg(ID_THEME_ENABLE_EDITING, nullptr);
    EXPECT_TRUE(readOnly->m_Editable);
    EXPECT_FALSE(parent->m_Editable);
    EXPECT_EQ(doc.m_vertexMode, 0);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Not all themes could be converted to native format."});
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_EditModeChanged, 0},
                                                                      {DUE_ThemeModifiedChanged, DataOf(readOnly)}}));
    EXPECT_FALSE(Update(doc, ID_THEME_ENABLE_EDITING).m_Enabled);
}

TEST_F(DocThemeCommands, EnableEditingLetsTheDrawingToolsWork) {
    CTheme* theme = AddTheme("Towns");
    ASSERT_TRUE(theme->ConvertToNative(false, true));
    doc.SetThemeSelected(theme, true);
    EXPECT_FALSE(Update(doc, ID_TOOL_DRAW_NEW).m_Enabled);
    doc.OnCmdMsg(ID_THEME_ENABLE_EDITING, nullptr);
    EXPECT_TRUE(Update(doc, ID_TOOL_DRAW_NEW).m_Enabled);
}

TEST_F(DocThemeCommands, CopyStyleFromNeedsOneKindAndCopiesTheDrawingStyleOnly) {
    CTheme* points = AddTheme("Towns");
    CTheme* polygons = AddTheme("Lakes", SHT_Polygon);
    CTheme* source = AddTheme("Wells");
    DialogScope dialogs;
    unsigned askedMask = 0;
    dialogs.services.chooseTheme = [&](CCorvaleDoc*, const std::string& caption, unsigned mask) {
        EXPECT_EQ(caption, "Select Style Source");
        askedMask = mask;
        return source;
    };
    dialogs.Install();
    doc.SetThemeSelected(points, true);
    doc.SetThemeSelected(polygons, true);
    EXPECT_FALSE(Update(doc, ID_THEME_COPY_STYLE_FROM).m_Enabled) << "a point and a polygon theme";
    doc.SetThemeSelected(polygons, false);
    ASSERT_TRUE(Update(doc, ID_THEME_COPY_STYLE_FROM).m_Enabled);

    source->m_Color = 0x123456;
    source->m_OutlineColor = 0x654321;
    source->m_LineWidth = 4;
    source->m_PointSymbol = 7;
    source->m_ShowArrows = true;
    source->m_Visible = false;
    doc.SetModifiedFlag(false);
    EventLog log(doc);
    doc.OnCmdMsg(ID_THEME_COPY_STYLE_FROM, nullptr);
    EXPECT_EQ(askedMask, 1u);
    EXPECT_EQ(points->m_Color, 0x123456u);
    EXPECT_EQ(points->m_OutlineColor, 0x654321u);
    EXPECT_EQ(points->m_LineWidth, 4);
    EXPECT_EQ(points->m_PointSymbol, 7);
    EXPECT_TRUE(points->m_ShowArrows);
    EXPECT_TRUE(points->m_Visible) << "visibility is not style";
    EXPECT_EQ(points->m_Name, "Towns");
    EXPECT_TRUE(points->m_Modified);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(log.Codes(), std::vector<int>{DUE_ThemeStyleChanged});
}

} // namespace
