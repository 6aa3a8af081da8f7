// The column list: hiding and showing columns, the saved layout, the header
// menu, selectable headings, link detection and the cell colours.

#include "ui/controls/ColumnExListCtrl.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include "UiTestSupport.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kListId = 4711;

class ColumnExListCtrlTest : public ::testing::Test {
protected:
    explicit ColumnExListCtrlTest(int columns = 4) {
        owner.resize(600, 300);
        list = new CColumnExListCtrl(&owner, kListId);
        list->setGeometry(0, 0, 600, 300);
        const int widths[] = {80, 120, 60, 90};
        for (int column = 0; column < columns; ++column)
            list->InsertColumn(column, "Col" + std::to_string(column), widths[column % 4]);
        owner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    void AddRows(int count) {
        for (int row = 0; row < count; ++row) {
            list->InsertItem(row, "r" + std::to_string(row));
            for (int column = 1; column < list->GetColumnCount(); ++column)
                list->SetItemText(row, column, "c" + std::to_string(column));
        }
    }
    QPoint HeadingCentre(int column) const {
        CSelectHeaderCtrl* header = list->GetHeaderCtrl();
        return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2};
    }
    void ClickHeading(int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(list->GetHeaderCtrl()->viewport(), Qt::LeftButton, modifiers, HeadingCentre(column));
    }
    static QStringList Texts(const QMenu& menu) {
        QStringList texts;
        for (QAction* action : menu.actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }
    static QAction* Find(const QMenu& menu, const QString& text) {
        for (QAction* action : menu.actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    CRecordingOwner owner;
    CColumnExListCtrl* list = nullptr;
};

TEST_F(ColumnExListCtrlTest, HidingAndShowingAColumnRestoresItsWidthAndTellsTheOwner) {
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST + 1);
    EXPECT_EQ(list->GetColumnWidth(1), 0);
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST + 1);
    EXPECT_EQ(list->GetColumnWidth(1), 120);

    const auto changed = owner.Of(CXLM_ColumnsChanged);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].wParam, ID_COLUMNEX_TOGGLE_FIRST + 1);
    EXPECT_EQ(changed[0].lParam, kListId);

    // Hiding deselects the heading.
    list->GetHeaderCtrl()->SetHeadingSelected(2, true);
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST + 2);
    EXPECT_FALSE(list->GetHeaderCtrl()->IsHeadingSelected(2));
}

TEST_F(ColumnExListCtrlTest, HideAllAndShowAllKeepTheWidths) {
    list->OnHideAll();
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(list->GetColumnWidth(column), 0) << column;
    EXPECT_FALSE(list->CanHideAll());
    EXPECT_TRUE(list->CanShowAll());
    list->OnShowAll();
    const int widths[] = {80, 120, 60, 90};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(list->GetColumnWidth(column), widths[column]) << column;
    const auto changed = owner.Of(CXLM_ColumnsChanged);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(static_cast<std::intptr_t>(changed[1].wParam), -1);
}

TEST_F(ColumnExListCtrlTest, ShowAllWithoutCapturedStateGivesHiddenColumnsTheDefaultWidth) {
    // Hidden before any state was captured: nothing remembers its width.
    list->SetColumnWidth(2, 0);
    list->OnShowAll();
    EXPECT_EQ(list->GetColumnWidth(2), CColumnExListCtrl::kRebuiltHiddenWidth);
    EXPECT_EQ(list->GetColumnWidth(1), 120);

    // Without a header a shown column gets 70.
    list->GetHeaderCtrl()->hide();
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST + 3);
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST + 3);
    EXPECT_EQ(list->GetColumnWidth(3), CColumnExListCtrl::kHeaderlessWidth);
}

TEST_F(ColumnExListCtrlTest, AStateIsAppliedOnlyToAListOfItsColumnCount) {
    list->GetHeaderCtrl()->SetHeadingSelected(3, true);
    list->CaptureColumnState();
    CColumnExState saved;
    saved.Assign(list->GetColumnState());
    ASSERT_EQ(saved.GetSize(), 4u);
    EXPECT_EQ(saved.m_Order, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(saved.m_Columns[3].m_Selected);

    CColumnExState other = saved;
    other.m_Columns[0].m_Visible = false;
    other.m_Columns[1].m_Width = 33;
    other.m_Columns[3].m_Selected = false;
    other.m_Order = {3, 2, 1, 0};
    CColumnExState shorter = other;
    shorter.m_Columns.pop_back();
    shorter.m_Order = {2, 1, 0};
    CColumnExState badOrder = other;
    badOrder.m_Order = {0, 0, 1, 2};

    for (const CColumnExState* refused : {&shorter, &badOrder}) {
        EXPECT_FALSE(list->ApplyColumnState(*refused));
        EXPECT_EQ(list->GetColumnState(), saved);
        EXPECT_EQ(list->GetColumnWidth(0), 80);
        EXPECT_EQ(list->GetHeaderCtrl()->visualIndex(3), 3);
    }

    ASSERT_TRUE(list->ApplyColumnState(other));
    EXPECT_EQ(list->GetColumnWidth(0), 0);
    EXPECT_EQ(list->GetColumnWidth(1), 33);
    EXPECT_FALSE(list->GetHeaderCtrl()->IsHeadingSelected(3));
    EXPECT_EQ(list->GetHeaderCtrl()->logicalIndex(0), 3);
    // The hidden column comes back at the width the state remembers.
    list->OnToggleColumn(ID_COLUMNEX_TOGGLE_FIRST);
    EXPECT_EQ(list->GetColumnWidth(0), 80);

    // And back to the saved layout.
    ASSERT_TRUE(list->ApplyColumnState(saved));
    list->CaptureColumnState();
    EXPECT_EQ(list->GetColumnState(), saved);
}

TEST(ColumnExLinks, LinksAreRecognisedByTheirExactPrefix) {
    const struct {
        const char* text;
        bool link;
    } cases[] = {
        {"http://example.org", true}, {"https://example.org", true}, {"ftp://host/file", true},
        {"file:///tmp/a.txt", true},  {"mailto:someone@example.org", true}, {"www.example.org", true},
        {"HTTP://EXAMPLE.ORG", false}, {"WWW.example.org", false}, {" http://lead", false},
        {"www", false},               {"", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(IsLinkText(row.text), row.link) << row.text;
}

TEST_F(ColumnExListCtrlTest, HeaderMenuListsTheColumnsAndOffersShowAndHideAllAboveThree) {
    auto menu = list->CreateHeaderMenu(HeadingCentre(1));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Texts(*menu), (QStringList{"Copy Column", "-", "Show All", "Hide All", "-", "Col0", "Col1", "Col2",
                                         "Col3"}));
    EXPECT_EQ(list->m_MenuColumn, 1);
    // No rows: nothing to copy; nothing hidden: nothing to show.
    EXPECT_FALSE(Find(*menu, "Copy Column")->isEnabled());
    EXPECT_FALSE(Find(*menu, "Show All")->isEnabled());
    EXPECT_TRUE(Find(*menu, "Hide All")->isEnabled());
    EXPECT_TRUE(Find(*menu, "Col2")->isChecked());

    // A column item toggles its column.
    Find(*menu, "Col2")->trigger();
    EXPECT_EQ(list->GetColumnWidth(2), 0);
    menu = list->CreateHeaderMenu(HeadingCentre(1));
    EXPECT_FALSE(Find(*menu, "Col2")->isChecked());
    EXPECT_TRUE(Find(*menu, "Show All")->isEnabled());

    // Copy Column names the column under the menu.
    AddRows(2);
    menu = list->CreateHeaderMenu(HeadingCentre(3));
    ASSERT_TRUE(Find(*menu, "Copy Column")->isEnabled());
    Find(*menu, "Copy Column")->trigger();
    const auto copies = owner.Of(CXLM_CopyColumn);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].wParam, 3u);

    list->m_HeaderMenu = false;
    EXPECT_EQ(list->CreateHeaderMenu(HeadingCentre(1)), nullptr);
}

class ThreeColumnListTest : public ColumnExListCtrlTest {
protected:
    ThreeColumnListTest() : ColumnExListCtrlTest(3) {}
};

TEST_F(ThreeColumnListTest, HeaderMenuOfThreeColumnsHasNoShowAllOrHideAll) {
    auto menu = list->CreateHeaderMenu(HeadingCentre(0));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Texts(*menu), (QStringList{"Copy Column", "-", "Col0", "Col1", "Col2"}));
}

TEST_F(ColumnExListCtrlTest, ClickingHeadingsSelectsThem) {
    AddRows(3);
    ClickHeading(1);
    EXPECT_TRUE(list->GetHeaderCtrl()->IsHeadingSelected(1));
    EXPECT_EQ(list->GetFirstSelectedColumnPosition(), 2);
    // The click is kept in the state straight away.
    EXPECT_TRUE(list->GetColumnState().m_Columns.at(1).m_Selected);

    // Another heading replaces it; Ctrl adds only when several may be selected.
    ClickHeading(3);
    EXPECT_EQ(list->GetSelectedColumnCount(), 1);
    EXPECT_EQ(list->GetFirstSelectedColumnPosition(), 4);
    ClickHeading(0, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedColumnCount(), 1);
    list->GetHeaderCtrl()->SetOptions(CSelectHeaderCtrl::kMultiSelect);
    ClickHeading(2, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedColumnCount(), 2);

    int position = list->GetFirstSelectedColumnPosition();
    std::vector<int> columns;
    while (position != 0)
        columns.push_back(list->GetNextSelectedColumn(position));
    EXPECT_EQ(columns, (std::vector<int>{0, 2}));

    // A second click deselects; the rows are not touched by heading clicks.
    ClickHeading(2);
    EXPECT_EQ(list->GetSelectedColumnCount(), 0);
    EXPECT_TRUE(list->GetSelectedRows().empty());
    EXPECT_EQ(list->GetColumnHeading(2), "Col2");
}

TEST_F(ColumnExListCtrlTest, DividerOfAHiddenColumnDoesNotDragAndNarrowColumnsGetFifteen) {
    CSelectHeaderCtrl* header = list->GetHeaderCtrl();
    QWidget* viewport = header->viewport();
    const int y = header->height() / 2;
    const auto drag = [&](int fromX, int toX) {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(fromX, y));
        QTest::mouseMove(viewport, QPoint((fromX + toX) / 2, y));
        QTest::mouseMove(viewport, QPoint(toX, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(toX, y));
    };
    // Column 1 ends at 200: pulled to 5 pixels wide it is set to 15.
    drag(200, 85);
    EXPECT_EQ(list->GetColumnWidth(1), CSelectHeaderCtrl::kMinimumWidth);

    // Column 2 hidden: its divider sits on column 1's; a drag there leaves
    // the hidden column hidden.
    list->SetColumnWidth(1, 120);
    list->SetColumnWidth(2, 0);
    drag(200, 260);
    EXPECT_EQ(list->GetColumnWidth(2), 0);
}

TEST_F(ColumnExListCtrlTest, CellsOfSelectedColumnsAndOwnerStylesAreDrawn) {
    AddRows(2);
    owner.cellStyle = [](ColumnExCellStyle& style) {
        if (style.m_Column == 3)
            style.m_Background = 0x0000FF; // red
    };
    list->GetHeaderCtrl()->SetHeadingSelected(1, true);
    list->clearSelection();
    const QImage image = list->viewport()->grab().toImage();
    const auto pixelIn = [&](int column) {
        const QRect cell = list->visualRect(list->model()->index(1, column));
        return QColor(image.pixel(cell.right() - 2, cell.center().y()));
    };
    EXPECT_EQ(pixelIn(1), QColor(0xE6, 0xE6, 0xFF)); // the COLORREF 0xFFE6E6
    EXPECT_EQ(pixelIn(3), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(pixelIn(0), QColor(0xFF, 0xFF, 0xFF));

    // A selected row of a list without the focus is grey, not highlighted.
    list->clearFocus();
    ASSERT_FALSE(list->hasFocus());
    list->SetRowSelected(1, true);
    const QImage selected = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(1, 0));
    EXPECT_EQ(QColor(selected.pixel(cell.right() - 2, cell.center().y())), QColor(0xAA, 0xAA, 0xAA));
}

TEST_F(ColumnExListCtrlTest, CellMenuOffersOpenUrlOnLinks) {
    AddRows(2);
    list->SetItemText(0, 1, "www.example.org");
    list->SetItemText(1, 1, "HTTP://EXAMPLE.ORG");
    list->m_DetectURLs = true;
    list->m_OpenURLCommand = 32999;
    const auto cellPoint = [&](int row, int column) { return list->visualRect(list->model()->index(row, column)).center(); };

    // Without a menu id there is no cell menu.
    EXPECT_EQ(list->CreateCellMenu(cellPoint(0, 1)), nullptr);

    list->m_ContextMenuId = 1234;
    int askedFor = 0;
    list->m_ContextMenuSource = [&](int id) {
        askedFor = id;
        auto menu = std::make_unique<QMenu>();
        menu->addAction(QStringLiteral("Zoom To"));
        return menu;
    };
    auto menu = list->CreateCellMenu(cellPoint(0, 1));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(askedFor, 1234);
    EXPECT_EQ(Texts(*menu), (QStringList{"Zoom To", "-", "Open URL"}));
    EXPECT_EQ(list->m_URL, "www.example.org");
    Find(*menu, "Open URL")->trigger();
    const auto commands = owner.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, 32999u);

    menu = list->CreateCellMenu(cellPoint(1, 1));
    EXPECT_EQ(Texts(*menu), (QStringList{"Zoom To"}));
    EXPECT_EQ(list->m_URL, "");
    EXPECT_EQ(list->m_CellText, "HTTP://EXAMPLE.ORG");
}

} // namespace
