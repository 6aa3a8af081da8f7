// The selection, filter and z-order commands of the active theme, driven by
// their command ids with a scripted user interface.

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "geometry/ShapeOperations.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <gtest/gtest.h>

#include <set>
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

std::set<int> Selected(const CTheme* theme) {
    std::set<int> indexes;
    for (const auto& entry : theme->m_Selection)
        indexes.insert(entry.first);
    return indexes;
}

bool Enabled(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    doc.OnCmdMsg(id, &ui);
    return ui.m_Enabled;
}

// Installs dialog services for one test and puts the previous ones back.
class DialogScope {
public:
    DialogScope() : m_Saved(GetDocumentDialogServices()) {}
    ~DialogScope() { SetDocumentDialogServices(m_Saved); }
    CDocumentDialogServices& Services() { return m_Services; }
    void Install() { SetDocumentDialogServices(m_Services); }

private:
    CDocumentDialogServices m_Saved;
    CDocumentDialogServices m_Services;
};

class DocSelectionCommands : public ::testing::Test {
protected:
    CTheme* MakeTheme(std::uint32_t type) {
        auto* theme = new CTheme;
        doc.m_themes.push_back(theme);
        theme->m_ShapeType = type;
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        doc.SetThemeSelected(theme, true);
        return theme;
    }
    void Add(CTheme* theme, std::uint32_t type, const Parts& parts) {
        Bytes record = MakeMulti(type, parts);
        ASSERT_NE(theme->AddShape(Rec(record), false, false, false), nullptr);
    }

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
};

TEST_F(DocSelectionCommands, EveryCommandIsDisabledWithoutAnActiveTheme) {
    for (unsigned id : {ID_SELECTION_FILTER, ID_SELECTION_REMOVE_FILTER, ID_SELECTION_INVERT_FILTER,
                        ID_SELECTION_INVERT, ID_SELECTION_SELECT_ALL, ID_SELECTION_CLEAR, ID_SELECTION_MULTIPART,
                        ID_SELECTION_CLIPBOARD_POLYGONS, ID_EDIT_TOP_Z_ORDER, ID_EDIT_BOTTOM_Z_ORDER,
                        ID_SELECTION_BOUNDS, ID_SELECTION_POINT_COUNT}) {
        EXPECT_FALSE(Enabled(doc, id)) << id;
        EXPECT_TRUE(doc.OnCmdMsg(id, nullptr)) << "runs as a no-op: " << id;
    }
}

TEST_F(DocSelectionCommands, SelectAllInvertAndClearAnnounceTheirMarkers) {
    CTheme* theme = MakeTheme(SHT_Point);
    for (int i = 0; i < 4; ++i)
        theme->AddPointAt(false, false, i, i);
    EventLog log(doc);
    EXPECT_FALSE(Enabled(doc, ID_SELECTION_CLEAR)) << "nothing to clear";

    doc.OnCmdMsg(ID_SELECTION_SELECT_ALL, nullptr);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(Enabled(doc, ID_SELECTION_CLEAR));

    theme->RemoveFromSelection(1);
    theme->RemoveFromSelection(2);
    doc.OnCmdMsg(ID_SELECTION_INVERT, nullptr);
    EXPECT_EQ(Selected(theme), (std::set<int>{1, 2}));

    std::vector<CShapePoint> ring{{0, 0}, {0, 1}, {1, 1}, {0, 0}};
    theme->SetSelectionArea(&ring);
    theme->ClearSelection();
    theme->SetSelectionArea(&ring);
    EXPECT_TRUE(Enabled(doc, ID_SELECTION_CLEAR)) << "a selection area alone can be cleared";
    doc.OnCmdMsg(ID_SELECTION_CLEAR, nullptr);
    EXPECT_TRUE(theme->m_Selection.empty());
    EXPECT_EQ(theme->m_SelectionArea, nullptr);
    EXPECT_EQ(theme->m_SelectionCounter, 0);

    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_SelectionChanged, DUE_SELECTION_NEW},
                                                                      {DUE_SelectionChanged, DUE_SELECTION_SEVERAL},
                                                                      {DUE_SelectionChanged, DUE_SELECTION_CLEARED}}));
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(DocSelectionCommands, PointCountSelectsShapesAndCountsEachOnce) {
    CTheme* theme = MakeTheme(SHT_Polyline);
    // 0: two parts of 2 vertices; 1: one part of 3; 2: parts of 2 and 4.
    Add(theme, SHT_Polyline, {{{0, 0}, {1, 0}}, {{2, 0}, {3, 0}}});
    Add(theme, SHT_Polyline, {{{0, 1}, {1, 1}, {2, 1}}});
    Add(theme, SHT_Polyline, {{{0, 2}, {1, 2}}, {{0, 3}, {1, 3}, {2, 3}, {3, 3}}});
    struct Case {
        int partRule;
        int comparison;
        int count;
        std::set<int> selected;
    };
    const Case cases[] = {
        {0, 1, 2, {0, 2}}, // at least one part with 2 vertices: shape 0 counts once, not twice
        {1, 1, 2, {0}},    // all parts with 2 vertices
        {0, 2, 2, {1, 2}}, // some part with more than 2
        {1, 0, 4, {0, 1}}, // every part with fewer than 4
        {1, 2, 4, {}},     // every part with more than 4: none
    };
    for (const Case& c : cases) {
        theme->ClearSelection();
        EXPECT_EQ(doc.SelectByPointCount(c.partRule, c.comparison, c.count),
                  static_cast<int>(c.selected.size()))
            << c.partRule << " " << c.comparison << " " << c.count;
        EXPECT_EQ(Selected(theme), c.selected) << c.partRule << " " << c.comparison << " " << c.count;
    }
}

TEST_F(DocSelectionCommands, PointCountCommandAsksForTheRuleAndReportsTheCount) {
    CTheme* theme = MakeTheme(SHT_Polyline);
    Add(theme, SHT_Polyline, {{{0, 0}, {1, 0}}, {{2, 0}, {3, 0}}});
    Add(theme, SHT_Polyline, {{{0, 1}, {1, 1}, {2, 1}}});
    DialogScope dialogs;
    EXPECT_FALSE(Enabled(doc, ID_SELECTION_POINT_COUNT)) << "not without its dialog";
    bool answer = false;
    dialogs.Services().pointCountRule = [&answer](int& partRule, int& comparison, int& count) {
        partRule = 0;
        comparison = 1;
        count = 2;
        return answer;
    };
    dialogs.Install();
    ASSERT_TRUE(Enabled(doc, ID_SELECTION_POINT_COUNT));
    EventLog log(doc);

    doc.OnCmdMsg(ID_SELECTION_POINT_COUNT, nullptr);
    EXPECT_TRUE(theme->m_Selection.empty()) << "cancelled";
    EXPECT_TRUE(ui.Messages().empty());

    answer = true;
    doc.OnCmdMsg(ID_SELECTION_POINT_COUNT, nullptr);
    EXPECT_EQ(Selected(theme), std::set<int>{0});
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"1 objects matched."});
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_SelectionChanged, DUE_SELECTION_SEVERAL}}));
}

TEST_F(DocSelectionCommands, MultipartSelectsShapesOfSeveralPartsOnly) {
    CTheme* polygons = MakeTheme(SHT_Polygon);
    Add(polygons, SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {0, 0}}});
    Add(polygons, SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {0, 0}}, {{5, 5}, {5, 6}, {6, 6}, {5, 5}}});
    polygons->AddToSelection(0, 0, 1, 0);
    EventLog log(doc);
    doc.OnCmdMsg(ID_SELECTION_MULTIPART, nullptr);
    EXPECT_EQ(Selected(polygons), std::set<int>{1}) << "the earlier selection is cleared";
    EXPECT_EQ(polygons->m_Selection.at(1).m_Width, 3);

    doc.ClearThemeSelection();
    CTheme* points = MakeTheme(SHT_Point);
    points->AddPointAt(false, false, 1, 1);
    points->AddToSelection(0, 0, 3, 0);
    doc.OnCmdMsg(ID_SELECTION_MULTIPART, nullptr);
    EXPECT_TRUE(points->m_Selection.empty());
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_SelectionChanged, DUE_SELECTION_SEVERAL},
                                                                      {DUE_SelectionChanged, DUE_SELECTION_SEVERAL}}));
}

TEST_F(DocSelectionCommands, FilterCommandsAndTheirEmptiedSelection) {
    CTheme* theme = MakeTheme(SHT_Point);
    for (int i = 0; i < 4; ++i)
        theme->AddPointAt(false, false, i, i);
    EXPECT_FALSE(Enabled(doc, ID_SELECTION_FILTER)) << "nothing selected";
    theme->AddToSelection(1, 1, 3, 0);
    theme->AddToSelection(2, 2, 3, 0);
    doc.OnCmdMsg(ID_SELECTION_FILTER, nullptr);
    EXPECT_EQ(theme->GetShapeCount(), 2);

    CCmdUI remove(ID_SELECTION_REMOVE_FILTER);
    doc.OnCmdMsg(ID_SELECTION_REMOVE_FILTER, &remove);
    EXPECT_TRUE(remove.m_Enabled);
    EXPECT_TRUE(remove.m_Checked);

    for (unsigned id : {ID_SELECTION_INVERT_FILTER, ID_SELECTION_REMOVE_FILTER}) {
        theme->AddToSelection(0, 0, 3, 0);
        std::vector<CShapePoint> ring{{0, 0}, {0, 1}, {1, 1}, {0, 0}};
        theme->SetSelectionArea(&ring);
        doc.OnCmdMsg(id, nullptr);
        EXPECT_TRUE(theme->m_Selection.empty()) << id;
        EXPECT_EQ(theme->m_SelectionArea, nullptr) << id;
    }
    EXPECT_EQ(theme->GetShapeCount(), 4);
    EXPECT_FALSE(Enabled(doc, ID_SELECTION_REMOVE_FILTER));
}

TEST_F(DocSelectionCommands, ZOrderNeedsAnEditableUnfilteredThemeWithASelection) {
    CTheme* theme = MakeTheme(SHT_Point);
    for (int i = 0; i < 3; ++i)
        theme->AddPointAt(false, false, i, i);
    EXPECT_FALSE(Enabled(doc, ID_EDIT_TOP_Z_ORDER));
    theme->AddToSelection(0, 0, 3, 0);
    EXPECT_TRUE(Enabled(doc, ID_EDIT_TOP_Z_ORDER));
    EventLog log(doc);
    const CShapeRecord* first = theme->GetShape(0);
    doc.OnCmdMsg(ID_EDIT_TOP_Z_ORDER, nullptr);
    EXPECT_EQ(theme->GetShape(2), first) << "drawn last, on top";
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{
                              {DUE_ZOrderChanged, reinterpret_cast<std::intptr_t>(theme)}}));

    theme->m_Editable = false;
    EXPECT_FALSE(Enabled(doc, ID_EDIT_BOTTOM_Z_ORDER));
}

TEST_F(DocSelectionCommands, SelectionBoundsOfOnePointHasNoWidth) {
    CTheme* theme = MakeTheme(SHT_Point);
    theme->AddPointAt(false, false, 2.5, -1.0);
    theme->AddPointAt(false, false, 7.0, 4.0);
    theme->AddToSelection(0, 0, 3, 0);
    DialogScope dialogs;
    std::vector<std::pair<std::string, std::string>> shown;
    dialogs.Services().showInformation = [&shown](const std::string& caption, const std::string& text) {
        shown.emplace_back(caption, text);
    };
    dialogs.Install();
    doc.OnCmdMsg(ID_SELECTION_BOUNDS, nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Selection Bounds");
    EXPECT_EQ(shown[0].second, "Bounding box for current selection:\r\n\r\nWest:\t2.500000\r\nNorth:\t-1.000000\r\n"
                               "East:\t2.500000\r\nSouth:\t-1.000000\r\n");

    theme->AddToSelection(1, 1, 3, 0);
    double rect[4];
    ASSERT_TRUE(doc.GetSelectionBounds(rect));
    EXPECT_EQ(std::vector<double>(rect, rect + 4), (std::vector<double>{2.5, -1.0, 7.0, 4.0}));
}

TEST_F(DocSelectionCommands, ClipboardPolygonsReplaceTheSelection) {
    CTheme* theme = MakeTheme(SHT_Point);
    for (int i = 0; i < 5; ++i)
        theme->AddPointAt(false, false, 10.0 * i, 0.0);
    theme->AddToSelection(4, 4, 3, 0);
    DialogScope dialogs;
    EXPECT_FALSE(Enabled(doc, ID_SELECTION_CLIPBOARD_POLYGONS)) << "not without the clipboard formats";
    dialogs.Services().clipboardHasPolygons = [] { return true; };
    dialogs.Services().readClipboardPolygons = [] {
        // Around x = 0 and x = 10, and around x = 30.
        return std::vector<CShapeRecord*>{
            CreatePolygonShape({{-1, -1}, {-1, 1}, {11, 1}, {11, -1}, {-1, -1}}),
            CreatePolygonShape({{29, -1}, {29, 1}, {31, 1}, {31, -1}, {29, -1}})};
    };
    dialogs.Install();
    ASSERT_TRUE(Enabled(doc, ID_SELECTION_CLIPBOARD_POLYGONS));
    doc.OnCmdMsg(ID_SELECTION_CLIPBOARD_POLYGONS, nullptr);
    EXPECT_EQ(Selected(theme), (std::set<int>{0, 1, 3}));
}

TEST_F(DocSelectionCommands, AddShapeToSelectionKeepsAnExistingEntry) {
    CTheme* theme = MakeTheme(SHT_Point);
    theme->AddPointAt(false, false, 0, 0);
    theme->AddPointAt(false, false, 1, 1);
    DialogScope dialogs;
    std::vector<int> builder;
    dialogs.Services().attributeListBuilderAddShape = [&builder](CCorvaleDoc*, CShapeRecord*, int position) {
        builder.push_back(position);
    };
    dialogs.Install();
    doc.AddShapeToSelection(theme->GetShape(1), 1);
    doc.AddShapeToSelection(theme->GetShape(0), 0);
    doc.AddShapeToSelection(theme->GetShape(1), 1);
    EXPECT_EQ(theme->GetSelectionIndex(1), 0);
    EXPECT_EQ(theme->GetSelectionIndex(0), 1);
    EXPECT_EQ(theme->m_SelectionCounter, 2);
    EXPECT_EQ(builder, (std::vector<int>{1, 0, 1}));
}

} // namespace
