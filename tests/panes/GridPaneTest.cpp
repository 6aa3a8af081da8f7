// The grid pane base, seen through the statistics pane (the simplest grid
// pane, whose rows the test chooses by the workspace it builds) and the
// attributes pane: clipboard bytes, Go To, heading clicks and the context
// menu's state.

#include "GridPaneTestSupport.h"

#include "panes/AttributesGridPane.h"
#include "workspace/ViewMessages.h"

#include <QHeaderView>
#include <QMenu>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class GridPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddTableTheme(doc, {{"NAME", FT_String}, {"POP", FT_Int}},
                      {{"Alba", "10"}, {"Brora", "7"}, {"Croy", ""}, {"Dores", "7"}});
        pane.resize(400, 300);
        pane.show();
        pane.SetDocument(&doc);
    }
    void SelectRows(const std::vector<int>& rows) {
        pane.GetGrid()->clearSelection();
        for (int row : rows)
            QTest::mouseClick(pane.GetGrid()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              CellCentre(pane.GetGrid(), row, 0));
    }

    corvale::CScriptedUserInterface ui;
    CRecordingGridPaneServices services;
    CCorvaleDoc doc;
    CAttributesGridPane pane;
};

} // namespace

TEST_F(GridPaneTest, CopyColumnWritesExactBytes) {
    SetClipboardText("before");
    // No row selected: every row, no question.
    pane.CopyColumn(0);
    EXPECT_EQ(ClipboardText(), "NAME\r\nAlba\r\nBrora\r\nCroy\r\nDores");
    EXPECT_TRUE(ui.shown.empty());

    // Rows selected: Yes copies only them, No all of them, Cancel nothing.
    SelectRows({3, 1});
    ui.messageAnswers = {corvale::IDYES, corvale::IDNO, corvale::IDCANCEL};
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "POP\r\n7\r\n7");
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "POP\r\n10\r\n7\r\n\r\n7");
    SetClipboardText("kept");
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "kept");
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[0], "Would you like to copy only selected rows?");

    // Out of range: nothing.
    pane.CopyColumn(2);
    pane.CopyColumn(-1);
    EXPECT_EQ(ClipboardText(), "kept");
}

TEST_F(GridPaneTest, CopyColumnTakesEverySelectedHeadingOnlyFromASelectedOne) {
    QHeaderView* header = pane.GetGrid()->horizontalHeader();
    // A click marks one heading, a Ctrl+click adds one.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(header->sectionViewportPosition(1) + 5, 5));
    EXPECT_EQ(pane.GetModel()->GetSelectedHeadings(), (std::vector<int>{0, 1}));
    // The click selected no row.
    EXPECT_TRUE(pane.GetSelectedRows().empty());
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "NAME\tPOP\r\nAlba\t10\r\nBrora\t7\r\nCroy\t\r\nDores\t7");

    // Only NAME marked: copying POP copies POP alone.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(header->sectionViewportPosition(1) + 5, 5));
    EXPECT_EQ(pane.GetModel()->GetSelectedHeadings(), (std::vector<int>{0}));
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "POP\r\n10\r\n7\r\n\r\n7");
    // A plain click on the only marked heading unmarks it.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    EXPECT_TRUE(pane.GetModel()->GetSelectedHeadings().empty());
}

TEST_F(GridPaneTest, CopyColumnOfAnEmptyTableIsTheHeadingLine) {
    CCorvaleDoc empty;
    AddTableTheme(empty, {{"NAME", FT_String}, {"POP", FT_Int}}, {});
    pane.SetDocument(&empty);
    pane.CopyColumn(1);
    EXPECT_EQ(ClipboardText(), "POP");
    pane.SetDocument(nullptr);
}

TEST_F(GridPaneTest, CopySelectedRowsAsText) {
    SetClipboardText("kept");
    pane.CopySelectedRowsAsText();
    EXPECT_EQ(ClipboardText(), "kept");
    SelectRows({2, 0});
    pane.CopySelectedRowsAsText();
    EXPECT_EQ(ClipboardText(), "Alba\t10\r\nCroy\t\r\n");
}

TEST_F(GridPaneTest, GoToRowInEveryMode) {
    SelectRows({1, 3});
    struct Case {
        int mode;
        int number;
        bool found;
        int numberAfter;
    } cases[] = {
        {GOTO_Record, 1, true, 1},          {GOTO_Record, 4, true, 4},
        {GOTO_Record, 0, false, 0},         {GOTO_Record, 5, false, 5},
        {GOTO_NextSelected, 1, true, 2},    {GOTO_NextSelected, 2, true, 4},
        {GOTO_NextSelected, 4, false, 4},   {GOTO_PreviousSelected, 4, true, 2},
        {GOTO_PreviousSelected, 3, true, 2}, {GOTO_PreviousSelected, 2, false, 2},
        {7, 1, false, 1},
    };
    for (const Case& c : cases) {
        const int beeps = services.beeps;
        int number = c.number;
        EXPECT_EQ(pane.GoToRow(c.mode, number), c.found) << c.mode << " " << c.number;
        EXPECT_EQ(number, c.numberAfter) << c.mode << " " << c.number;
        EXPECT_EQ(services.beeps - beeps, c.found ? 0 : 1) << c.mode << " " << c.number;
    }
    // Going somewhere changes no selection.
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{1, 3}));

    CCorvaleDoc empty;
    AddTableTheme(empty, {{"NAME", FT_String}}, {});
    pane.SetDocument(&empty);
    int number = 1;
    EXPECT_FALSE(pane.GoToRow(GOTO_Record, number));
    pane.SetDocument(nullptr);
}

TEST_F(GridPaneTest, GoToScrollsTheRowIntoView) {
    CCorvaleDoc big;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back({std::to_string(i)});
    AddTableTheme(big, {{"N", FT_Int}}, rows);
    pane.SetDocument(&big);
    int number = 400;
    ASSERT_TRUE(pane.GoToRow(GOTO_Record, number));
    const QRect rect = pane.GetGrid()->visualRect(pane.GetModel()->index(399, 0));
    EXPECT_TRUE(pane.GetGrid()->viewport()->rect().contains(rect));
    pane.SetDocument(nullptr);
}

TEST_F(GridPaneTest, CopyCellValueFollowsTheContextMenuPoint) {
    std::unique_ptr<QMenu> menu = pane.CreateContextMenu(CellCentre(pane.GetGrid(), 1, 0));
    QAction* copyCell = nullptr;
    for (QAction* action : menu->actions())
        if (action->data().toUInt() == ID_GRID_COPY_CELL_VALUE)
            copyCell = action;
    ASSERT_NE(copyCell, nullptr);
    EXPECT_TRUE(copyCell->isEnabled());
    copyCell->trigger();
    EXPECT_EQ(ClipboardText(), "Brora");

    // Over the empty cell of Croy's POP the command is disabled.
    menu = pane.CreateContextMenu(CellCentre(pane.GetGrid(), 2, 1));
    for (QAction* action : menu->actions()) {
        if (action->data().toUInt() == ID_GRID_COPY_CELL_VALUE) {
            EXPECT_FALSE(action->isEnabled());
        }
    }
}

TEST_F(GridPaneTest, AnswersWhetherItsContextMenuIsOpen) {
    std::uint32_t state = 7;
    EXPECT_EQ(SendMessage(&pane, WM_GET_CONTEXT_MENU_STATE, 0, reinterpret_cast<std::intptr_t>(&state)), 0);
    EXPECT_EQ(state, 0u);
    // While the menu runs its own loop, the question is asked from a timer.
    std::uint32_t during = 7;
    QTimer::singleShot(50, [&] {
        SendMessage(&pane, WM_GET_CONTEXT_MENU_STATE, 0, reinterpret_cast<std::intptr_t>(&during));
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    emit pane.GetGrid()->customContextMenuRequested(CellCentre(pane.GetGrid(), 0, 0));
    EXPECT_EQ(during, 1u);
    SendMessage(&pane, WM_GET_CONTEXT_MENU_STATE, 0, reinterpret_cast<std::intptr_t>(&state));
    EXPECT_EQ(state, 0u);
}
