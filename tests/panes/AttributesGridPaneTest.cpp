// The attributes pane: the active theme's table, edits written through the
// theme, selection kept in step with the map's, Find, Query, the column
// statistics and the duplicate and value-list flow.

#include "GridPaneTestSupport.h"

#include "panes/AttributesGridPane.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct EventLog {
    void OnUpdate(const void* sender, int code, std::intptr_t data) { events.push_back({sender, code, data}); }
    struct Event {
        const void* sender;
        int code;
        std::intptr_t data;
    };
    int Count(int code) const {
        int n = 0;
        for (const Event& e : events)
            n += e.code == code;
        return n;
    }
    std::vector<Event> events;
};

class AttributesPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        theme = AddTableTheme(doc, {{"NAME", FT_String}, {"POP", FT_Int}, {"AREA", FT_Double}},
                              {{"Alba", "10", "1.5"},
                               {"Brora", "7", "x"},
                               {"Croy", "", "2.5"},
                               {"Dores", "7", "3"},
                               {"alba beach", "12abc", "-1"}});
        doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
        pane.resize(500, 300);
        pane.show();
        pane.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&pane));
        pane.SetDocument(&doc);
    }
    void TearDown() override { pane.SetDocument(nullptr); }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(pane.GetGrid()->viewport(), Qt::LeftButton, modifiers, CellCentre(pane.GetGrid(), row, 0));
    }
    void SelectHeading(int column) {
        pane.GetModel()->ClearHeadingSelection();
        pane.GetModel()->SetHeadingSelected(column, true);
    }
    std::vector<int> ThemeSelection() const {
        std::vector<int> shapes;
        for (const auto& entry : theme->m_Selection)
            shapes.push_back(entry.first);
        return shapes;
    }
    bool Enabled(unsigned id) {
        CCmdUI ui(id);
        if (!pane.OnCmdMsg(id, &ui))
            return false;
        return ui.m_Enabled;
    }
    // Clicks the cell, opens its editor with F2, types the text and presses Enter.
    // False when no editor opened.
    bool EditByKeys(int row, int column, const QString& text) {
        QTest::mouseClick(pane.GetGrid()->viewport(), Qt::LeftButton, {}, CellCentre(pane.GetGrid(), row, column));
        QTest::keyClick(pane.GetGrid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor == nullptr)
            return false;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the text from a queued call.
        QApplication::processEvents();
        return true;
    }

    corvale::CScriptedUserInterface ui;
    CRecordingGridPaneServices services;
    CCorvaleDoc doc;
    CTheme* theme = nullptr;
    EventLog log;
    CAttributesGridPane pane;
};

} // namespace

TEST_F(AttributesPaneTest, ShowsTheActiveThemesTable) {
    CGridModel* model = pane.GetModel();
    EXPECT_EQ(model->GetColumnCount(), 3);
    EXPECT_EQ(model->GetHeading(1), "POP");
    EXPECT_EQ(model->GetRowCount(), 5);
    EXPECT_EQ(model->data(model->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("Brora"));
    EXPECT_EQ(pane.GetGrid()->horizontalHeader()->sectionSize(0), 70);
    EXPECT_EQ(doc.m_commandWindow, &pane);

    // A theme without fields shows no columns; its rows still count.
    auto* bare = new CTheme;
    bare->m_ShapeType = SHT_Point;
    ASSERT_TRUE(bare->ConvertToNative(true, true));
    bare->AddPointAt(false, false, 1.0, 1.0);
    doc.m_themes.push_back(bare);
    doc.m_activeTheme = bare;
    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(bare));
    EXPECT_EQ(model->GetColumnCount(), 0);
    EXPECT_EQ(pane.GetTheme(), bare);

    // Back to the first theme; then the theme goes.
    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(model->GetColumnCount(), 3);
    doc.FireUpdateEvent(nullptr, DUE_ThemeRemoved, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(pane.GetTheme(), nullptr);
    EXPECT_EQ(model->GetRowCount(), 0);
    EXPECT_EQ(model->GetColumnCount(), 0);

    pane.SetDocument(nullptr);
    EXPECT_EQ(doc.m_commandWindow, nullptr);
    EXPECT_EQ(doc.m_updateEvent.GetCount(), 2u); // the document and the log
}

TEST_F(AttributesPaneTest, EditingACellWritesTheAttribute) {
    ASSERT_TRUE(EditByKeys(1, 1, QStringLiteral("42")));
    EXPECT_EQ(theme->GetAttributeTextAt(1, 1), "42");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(EditByKeys(0, 0, QStringLiteral("Aird")));
    EXPECT_EQ(theme->GetAttributeTextAt(0, 0), "Aird");
    EXPECT_EQ(pane.GetModel()->GetCellText(0, 0), "Aird");
}

TEST_F(AttributesPaneTest, ARefusedEditChangesNothing) {
    struct Case {
        int column;
        const char* text;
    } cases[] = {{1, "12abc"}, {1, "1.5"}, {2, "inf"}, {2, "nan"}, {2, "3,5"}};
    for (const Case& c : cases) {
        ui.shown.clear();
        ASSERT_TRUE(EditByKeys(0, c.column, QString::fromLatin1(c.text))) << c.text;
        EXPECT_EQ(theme->GetAttributeTextAt(0, c.column), c.column == 1 ? "10" : "1.5") << c.text;
        ASSERT_EQ(ui.Messages().size(), 1u) << c.text;
        EXPECT_NE(ui.Messages()[0].find("is not a valid value for the field"), std::string::npos);
    }
    EXPECT_FALSE(theme->m_Modified);

    // A read-only theme opens no editor at all.
    theme->m_Editable = false;
    doc.FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_FALSE(pane.EditCell(0, 0, "Aird"));
    EXPECT_FALSE(EditByKeys(0, 0, QStringLiteral("Aird")));
    EXPECT_EQ(theme->GetAttributeTextAt(0, 0), "Alba");
    EXPECT_FALSE(pane.GetModel()->flags(pane.GetModel()->index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST_F(AttributesPaneTest, RowSelectionSelectsShapes) {
    ClickRow(1);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{1}));
    ClickRow(3, Qt::ControlModifier);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{1, 3}));
    ASSERT_GE(log.Count(DUE_SelectionChanged), 2);
    EXPECT_EQ(log.events.back().sender, &pane);
    // A plain click replaces the selection.
    ClickRow(0);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{0}));
    // Ctrl+click on the only selected row deselects everything.
    ClickRow(0, Qt::ControlModifier);
    EXPECT_TRUE(ThemeSelection().empty());
    // Keys move the selection too.
    ClickRow(2);
    QTest::keyClick(pane.GetGrid(), Qt::Key_Down);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{3}));
    QTest::keyClick(pane.GetGrid(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{3, 4}));
}

TEST_F(AttributesPaneTest, MapSelectionSelectsRows) {
    theme->AddToSelection(4, 4, 3, 0xFF);
    theme->AddToSelection(2, 2, 3, 0xFF);
    const std::size_t events = log.events.size();
    doc.FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_NEW);
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{2, 4}));
    // Marking the rows did not come back as a selection change of the pane.
    EXPECT_EQ(log.events.size(), events + 1);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{2, 4}));

    // A filter shows the selected shapes at their new rows.
    ASSERT_TRUE(theme->ConvertToNative(false, true));
    theme->m_VisiblePoints = {theme->m_Points[2], theme->m_Points[4]};
    theme->ResetShapePositions();
    doc.FireUpdateEvent(nullptr, DUE_FilterChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 2);
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(pane.GetModel()->GetCellText(1, 0), "alba beach");
}

TEST_F(AttributesPaneTest, FindNext) {
    struct Case {
        const char* name;
        std::vector<int> selectedBefore;
        CFindRequest request;
        bool found;
        std::vector<int> selectedAfter;
    };
    const auto request = [](std::string text, bool matchCase, bool entire, bool down) {
        CFindRequest r;
        r.m_Text = std::move(text);
        r.m_MatchCase = matchCase;
        r.m_EntireField = entire;
        r.m_Down = down;
        return r;
    };
    CFindRequest chosen = request("7", false, false, true);
    chosen.m_ChosenColumnsOnly = true;
    chosen.m_CheckedFields = {true, false, false};
    const Case cases[] = {
        {"down from nothing starts at row 0", {}, request("alba", false, false, true), true, {0}},
        {"down from row 0", {0}, request("alba", false, false, true), true, {4}},
        {"down wraps", {4}, request("alba", false, false, true), true, {0}},
        {"match case", {1}, request("alba", true, false, true), true, {4}},
        {"entire field ignores case", {0}, request("ALBA", false, true, true), false, {0}},
        {"entire field", {1}, request("ALBA", false, true, true), true, {0}},
        {"entire field, match case", {1}, request("ALBA", true, true, true), false, {1}},
        {"up from nothing searches from the last row", {}, request("alba", false, false, false), true, {4}},
        {"up from row 3", {3}, request("7", false, false, false), true, {1}},
        {"chosen columns only", {}, chosen, false, {4}},
        // Row 4 is the start of a downward search from nothing, so never searched.
        {"the start row is not searched", {}, request("beach", false, false, true), false, {4}},
        {"not found", {2}, request("zzz", false, false, true), false, {2}},
    };
    for (const Case& c : cases) {
        pane.GetGrid()->clearSelection();
        for (int row : c.selectedBefore)
            ClickRow(row, Qt::ControlModifier);
        const int beeps = services.beeps;
        EXPECT_EQ(pane.FindNext(c.request), c.found) << c.name;
        EXPECT_EQ(pane.GetSelectedRows(), c.selectedAfter) << c.name;
        EXPECT_EQ(services.beeps - beeps, c.found ? 0 : 1) << c.name;
    }
    // A row found is selected in the theme too.
    pane.GetGrid()->clearSelection();
    ASSERT_TRUE(pane.FindNext(request("Dores", false, false, true)));
    EXPECT_EQ(theme->m_Selection.count(3), 1u);
}

TEST_F(AttributesPaneTest, FindNextOnAnEmptyTableEnds) {
    CCorvaleDoc empty;
    AddTableTheme(empty, {{"NAME", FT_String}}, {});
    pane.SetDocument(&empty);
    CFindRequest request;
    request.m_Text = "x";
    for (bool down : {true, false}) {
        request.m_Down = down;
        const int beeps = services.beeps;
        EXPECT_FALSE(pane.FindNext(request));
        EXPECT_EQ(services.beeps, beeps + 1);
    }
}

TEST_F(AttributesPaneTest, QueryCallbackModes) {
    int count = -1;
    std::string error;
    EXPECT_FALSE(CAttributesGridPane::QueryCallback(nullptr, QM_Select, "POP = 7", count, error));
    EXPECT_EQ(error, "Internal error.\nCallback information contained null pointer.");
    {
        CAttributesGridPane unbound;
        EXPECT_FALSE(CAttributesGridPane::QueryCallback(&unbound, QM_Select, "POP = 7", count, error));
        EXPECT_EQ(error, "Query mode not available.\nNo theme selected.");
    }

    // 2: counts only.
    ASSERT_TRUE(CAttributesGridPane::QueryCallback(&pane, QM_Count, "POP = 7", count, error)) << error;
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(pane.GetSelectedRows().empty());
    EXPECT_TRUE(theme->m_Selection.empty());
    // 3: stops at the first match and changes no selection.
    ASSERT_TRUE(CAttributesGridPane::QueryCallback(&pane, QM_First, "POP = 7", count, error));
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(theme->m_Selection.empty());
    EXPECT_EQ(log.Count(DUE_SelectionChanged), 0);
    // 0: adds the matches to the selection, rows and shapes.
    ClickRow(0);
    ASSERT_TRUE(CAttributesGridPane::QueryCallback(&pane, QM_Select, "POP = 7", count, error));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{0, 1, 3}));
    // 1: removes them.
    ASSERT_TRUE(CAttributesGridPane::QueryCallback(&pane, QM_Deselect, "NAME = 'Brora'", count, error));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{0, 3}));
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{0, 3}));
    EXPECT_EQ(log.events.back().code, DUE_SelectionChanged);
    EXPECT_EQ(log.events.back().sender, &pane);

    // A query the engine refuses is an error with its message.
    EXPECT_FALSE(CAttributesGridPane::QueryCallback(&pane, QM_Count, "POP = = 7", count, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(AttributesPaneTest, ColumnCommandsAreEnabledByTheHeadingSelection) {
    EXPECT_FALSE(Enabled(ID_COLUMN_STATISTICS_FIRST));
    EXPECT_FALSE(Enabled(ID_COLUMN_CHECK_DUPLICATES));
    SelectHeading(1);
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id)
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ID_COLUMN_SHOW_VALUE_LIST));
    EXPECT_TRUE(Enabled(ID_COLUMN_CHECK_DUPLICATES));
    EXPECT_TRUE(Enabled(ID_COLUMN_SORT_ASCENDING));
    EXPECT_TRUE(Enabled(ID_COLUMN_SORT_DESCENDING));
    pane.GetModel()->SetHeadingSelected(2, true);
    EXPECT_FALSE(Enabled(ID_COLUMN_SORT_ASCENDING));
    EXPECT_FALSE(Enabled(ID_COLUMN_STATISTICS_FIRST));
    EXPECT_FALSE(Enabled(ID_COLUMN_SHOW_VALUE_LIST));
    EXPECT_TRUE(Enabled(ID_COLUMN_CHECK_DUPLICATES));

    // The document's question for the toolbar arrives as an update event.
    SelectHeading(0);
    CCmdUI ui(ID_COLUMN_STATISTICS_FIRST + CS_Sum);
    doc.FireUpdateEvent(nullptr, DUE_ColumnCommand, reinterpret_cast<std::intptr_t>(&ui));
    EXPECT_TRUE(ui.m_Enabled);

    // Without their dialogs the commands that need one are disabled.
    services.dialogs = false;
    EXPECT_FALSE(Enabled(ID_COLUMN_CHECK_DUPLICATES));
    EXPECT_FALSE(Enabled(ID_TABLE_FIND));
    EXPECT_FALSE(Enabled(ID_TABLE_GO_TO));
    EXPECT_FALSE(Enabled(ID_TABLE_QUERY));
    EXPECT_TRUE(Enabled(ID_COLUMN_STATISTICS_FIRST));
    ClickRow(0);
    EXPECT_FALSE(Enabled(ID_COLUMN_STATISTICS_FIRST));
}

TEST_F(AttributesPaneTest, SortReordersTheShapesAndTheSelectionFollows) {
    struct Case {
        const char* what;
        unsigned id;
        int column;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        // POP as integers: 10, 7, none (0), 7, 12 from "12abc"; equal values keep their order.
        {"integers ascending", ID_COLUMN_SORT_ASCENDING, 1, {"Croy", "Brora", "Dores", "Alba", "alba beach"}},
        {"integers descending", ID_COLUMN_SORT_DESCENDING, 1, {"alba beach", "Alba", "Brora", "Dores", "Croy"}},
        // NAME byte by byte: capitals first.
        {"text ascending", ID_COLUMN_SORT_ASCENDING, 0, {"Alba", "Brora", "Croy", "Dores", "alba beach"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Back to the fixture's order first: shape k is row k.
        CTheme* fresh = AddTableTheme(doc, {{"NAME", FT_String}, {"POP", FT_Int}, {"AREA", FT_Double}},
                                      {{"Alba", "10", "1.5"},
                                       {"Brora", "7", "x"},
                                       {"Croy", "", "2.5"},
                                       {"Dores", "7", "3"},
                                       {"alba beach", "12abc", "-1"}});
        doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(fresh));
        ASSERT_EQ(pane.GetTheme(), fresh);
        fresh->AddToSelection(0, 0, 1, 0); // Alba
        doc.SetModifiedFlag(false);
        log.events.clear();
        SelectHeading(c.column);
        ASSERT_TRUE(Enabled(c.id));
        ASSERT_TRUE(pane.OnCmdMsg(c.id, nullptr));
        std::vector<std::string> names;
        for (int row = 0; row < pane.GetModel()->GetRowCount(); ++row)
            names.push_back(pane.GetModel()->GetCellText(row, 0));
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(log.Count(DUE_ZOrderChanged), 1);
        EXPECT_TRUE(doc.IsModified());
        // The selection still names Alba, wherever it went.
        ASSERT_EQ(fresh->m_Selection.size(), 1u);
        EXPECT_EQ(fresh->GetAttributeText(fresh->m_Selection.begin()->first, 0), "Alba");
    }
}

TEST_F(AttributesPaneTest, SortIsOfferedOnlyWhereTheDrawingOrderMayChange) {
    SelectHeading(1);
    ASSERT_TRUE(Enabled(ID_COLUMN_SORT_ASCENDING));
    theme->m_Editable = false;
    EXPECT_FALSE(Enabled(ID_COLUMN_SORT_ASCENDING));
    ASSERT_TRUE(pane.OnCmdMsg(ID_COLUMN_SORT_ASCENDING, nullptr));
    EXPECT_EQ(log.Count(DUE_ZOrderChanged), 0);
    theme->m_Editable = true;
    theme->AddToSelection(1, 1, 1, 0);
    ASSERT_TRUE(theme->FilterSelected());
    EXPECT_FALSE(Enabled(ID_COLUMN_SORT_DESCENDING));
}

TEST_F(AttributesPaneTest, StatisticsOverTheChosenRows) {
    SelectHeading(1); // POP: 10, 7, "", 7, "12abc"
    pane.RunStatistic(CS_Max);
    ASSERT_EQ(services.texts.size(), 1u);
    EXPECT_EQ(services.texts[0],
              "Maximum value of all numeric fields in column 'POP' was:\r\n10.000000\r\n\r\nIt occurred 1 time(s).");
    EXPECT_EQ(services.rowChoicesAsked, 0);

    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    services.rowChoiceAnswers = {1, 2};
    pane.RunStatistic(CS_Max);
    EXPECT_EQ(services.texts.back(),
              "Maximum value of all numeric fields in column 'POP' was:\r\n7.000000\r\n\r\nIt occurred 2 time(s).");
    pane.RunStatistic(CS_Sum);
    EXPECT_EQ(services.texts.back(), "The sum of all numeric fields in column 'POP' was:\r\n10.000000");
    EXPECT_EQ(CAttributesGridPane::StatisticsRowChoice(), 2);
    // Cancelled: nothing shown.
    const std::size_t shown = services.texts.size();
    pane.RunStatistic(CS_Sum);
    EXPECT_EQ(services.texts.size(), shown);
    CAttributesGridPane::StatisticsRowChoice() = 0;

    // NAME holds text only.
    pane.GetGrid()->clearSelection();
    SelectHeading(0);
    pane.RunStatistic(CS_Median);
    EXPECT_EQ(services.texts.back(), "No numeric data found in selected column.");
    pane.RunStatistic(CS_ArithmeticMean);
    EXPECT_EQ(services.texts.back(), "The arithmetic mean of all numeric fields in column 'NAME' was:\r\n0.000000");
    // AREA: 1.5, 2.5, 3, -1 ("x" skipped): the geometric mean is undefined.
    SelectHeading(2);
    pane.RunStatistic(CS_Median);
    EXPECT_EQ(services.texts.back(), "The median of all numeric fields in column 'AREA' was:\r\n2.000000");
    pane.RunStatistic(CS_GeometricMean);
    EXPECT_NE(services.texts.back().find("is undefined"), std::string::npos);
}

TEST_F(AttributesPaneTest, DuplicatesAndValueList) {
    SelectHeading(0);
    // No duplicates among the names: a message, no list.
    pane.CheckDuplicates(false);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No duplicates found."});
    EXPECT_EQ(services.duplicateKind, 0);
    // The value list shows even so.
    pane.CheckDuplicates(true);
    EXPECT_EQ(services.duplicateKind, 1);
    EXPECT_EQ(services.duplicateCounts.size(), 5u);
    EXPECT_TRUE(services.duplicateSingle);

    // Two columns: the key joins them with a tab, the label with "+".
    pane.GetModel()->SetHeadingSelected(1, true);
    theme->SetAttributeText(2, 0, "Brora", false);
    theme->SetAttributeText(2, 1, "7", false);
    services.duplicateChoice = "Brora\t7";
    pane.CheckDuplicates(false);
    EXPECT_EQ(services.duplicateKind, 2);
    EXPECT_EQ(services.duplicateLabel, "NAME+POP");
    EXPECT_FALSE(services.duplicateSingle);
    EXPECT_EQ(services.duplicateCounts.at("Brora\t7"), 2);
    // The value chosen opens the find dialog on the last selected column.
    EXPECT_EQ(services.findShown, 1);
    EXPECT_EQ(services.findPreset.m_Text, "Brora\t7");
    EXPECT_TRUE(services.findPreset.m_ChosenColumnsOnly);
    EXPECT_EQ(services.findPreset.m_CheckedFields, (std::vector<bool>{false, true, false}));

    // Cancelled options: nothing.
    services.tableCheckOk = false;
    services.duplicateKind = 0;
    pane.CheckDuplicates(true);
    EXPECT_EQ(services.duplicateKind, 0);
}

TEST_F(AttributesPaneTest, OpenUrlOpensOnlyWebAndMailLinks) {
    ui.messageAnswers = {corvale::IDNO, corvale::IDYES};
    pane.OpenLink("https://example.org/a");
    pane.OpenLink("HTTP://example.org/b");
    pane.OpenLink("ftp://example.org/c");
    pane.OpenLink("mailto:someone@example.org");
    pane.OpenLink("www.example.org");
    pane.OpenLink("file:///usr/bin/xterm"); // asked, No
    pane.OpenLink("file:///tmp/map.pdf");   // asked, Yes
    pane.OpenLink("javascript:alert(1)");
    pane.OpenLink("/usr/bin/xterm");
    EXPECT_EQ(services.opened,
              (std::vector<std::string>{"https://example.org/a", "HTTP://example.org/b", "ftp://example.org/c",
                                        "mailto:someone@example.org", "http://www.example.org",
                                        "file:///tmp/map.pdf"}));
    EXPECT_EQ(ui.Messages().size(), 2u);
}

TEST_F(AttributesPaneTest, ForwardsTheMainWindowsCommands) {
    ASSERT_TRUE(pane.OnCmdMsg(ID_SELECTION_SELECT_ALL, nullptr));
    ASSERT_TRUE(pane.OnCmdMsg(ID_EDIT_PASTE, nullptr));
    EXPECT_EQ(services.forwarded, (std::vector<unsigned>{ID_SELECTION_SELECT_ALL, ID_EDIT_PASTE}));
}

TEST_F(AttributesPaneTest, EachThemeKeepsItsColumnLayoutAndTopRow) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({std::to_string(i)});
    CTheme* other = AddTableTheme(doc, {{"N", FT_Int}}, rows, "other");
    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(other));
    pane.GetGrid()->scrollTo(pane.GetModel()->index(200, 0), QAbstractItemView::PositionAtTop);
    EXPECT_EQ(pane.GetGrid()->rowAt(0), 200);
    pane.GetGrid()->horizontalHeader()->resizeSection(0, 133);

    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(pane.GetGrid()->horizontalHeader()->sectionSize(0), 70);
    EXPECT_EQ(pane.GetGrid()->rowAt(0), 0);
    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(other));
    EXPECT_EQ(pane.GetGrid()->horizontalHeader()->sectionSize(0), 133);
    EXPECT_EQ(pane.GetGrid()->rowAt(0), 200);
}

TEST_F(AttributesPaneTest, ThemeDataChangesRebuildTheColumns) {
    ClickRow(2);
    CAttributeFieldInfo info;
    info.m_Name = "NOTE";
    info.m_Type = FT_String;
    ASSERT_EQ(theme->AddAttribute(info, "-", "What the surveyor noted"), 3);
    doc.FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(pane.GetModel()->GetColumnCount(), 4);
    EXPECT_EQ(pane.GetModel()->GetHeading(3), "NOTE");
    EXPECT_EQ(pane.GetModel()->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("What the surveyor noted"));
    EXPECT_FALSE(pane.GetModel()->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    // The selection stays on its row.
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{2}));
}

TEST_F(AttributesPaneTest, LocateCentresTheMapOnTheFocusedRow) {
    double extent[4] = {0.0, 0.0, 10.0, 10.0};
    doc.SetViewExtent(extent);
    EXPECT_FALSE(Enabled(ID_ATTR_LOCATE));
    ClickRow(3); // the point (3, 6)
    ASSERT_TRUE(Enabled(ID_ATTR_LOCATE));
    pane.OnCmdMsg(ID_ATTR_LOCATE, nullptr);
    EXPECT_DOUBLE_EQ((doc.m_viewExtent[0] + doc.m_viewExtent[2]) / 2.0, 3.0);
    EXPECT_DOUBLE_EQ((doc.m_viewExtent[1] + doc.m_viewExtent[3]) / 2.0, 6.0);
}
