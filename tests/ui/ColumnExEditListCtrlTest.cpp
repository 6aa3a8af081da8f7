// In-place editing in the column list: starting an edit, committing,
// moving with Tab, Enter and the arrows, and the notifying edit box.

#include "ui/controls/ColumnExEdit.h"
#include "ui/controls/ColumnExEditListCtrl.h"
#include "ui/controls/NotifyEdit.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include "UiTestSupport.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kListId = 815;

void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

class ColumnExEditListCtrlTest : public ::testing::Test {
protected:
    ColumnExEditListCtrlTest() {
        owner.resize(500, 300);
        list = new CColumnExEditListCtrl(&owner, kListId);
        list->setGeometry(0, 0, 500, 300);
        for (int column = 0; column < 4; ++column)
            list->InsertColumn(column, "C" + std::to_string(column), 80);
        for (int row = 0; row < 3; ++row) {
            list->InsertItem(row, Cell(row, 0));
            for (int column = 1; column < 4; ++column)
                list->SetItemText(row, column, Cell(row, column));
        }
        owner.show();
        owner.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&owner));
    }
    static std::string Cell(int row, int column) { return std::to_string(row) + ":" + std::to_string(column); }
    QPoint CellPoint(int row, int column) const {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    void DoubleClick(int row, int column) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(row, column));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(row, column));
        Settle();
    }
    // The cell being edited, or (-1, -1).
    std::pair<int, int> Editing() const {
        CColumnExEdit* editor = list->GetEditor();
        return editor != nullptr ? std::make_pair(editor->GetRow(), editor->GetColumn()) : std::make_pair(-1, -1);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_NE(list->GetEditor(), nullptr);
        QTest::keyClick(list->GetEditor(), key, modifiers);
        Settle();
    }

    CRecordingOwner owner;
    CColumnExEditListCtrl* list = nullptr;
};

TEST_F(ColumnExEditListCtrlTest, DoubleClickAsksTheOwnerAndEditsTheCell) {
    DoubleClick(1, 2);
    const auto asked = owner.Of(LEM_BeginEdit);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].row, 1);
    EXPECT_EQ(asked[0].column, 2);
    EXPECT_EQ(asked[0].wParam, static_cast<std::uintptr_t>(kListId));
    ASSERT_EQ(Editing(), std::make_pair(1, 2));
    CColumnExEdit* editor = list->GetEditor();
    EXPECT_EQ(editor->text().toStdString(), "1:2");
    EXPECT_EQ(editor->selectedText().toStdString(), "1:2");
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->objectName(), QString::number(IDC_COLUMNEX_EDIT));

    // Escape ends the edit without a word to the owner.
    QTest::keyClicks(editor, "changed");
    Key(Qt::Key_Escape);
    EXPECT_EQ(list->GetEditor(), nullptr);
    EXPECT_TRUE(owner.Of(LEM_CellChanged).empty());
}

TEST_F(ColumnExEditListCtrlTest, NoEditWhereTheOwnerRefusesOrTheListIsReadOnly) {
    owner.refuseEdit = [](const ListEditNotify& notify) { return notify.m_Column == 0; };
    DoubleClick(0, 0);
    EXPECT_EQ(list->GetEditor(), nullptr);
    EXPECT_EQ(owner.Of(LEM_BeginEdit).size(), 1u);

    owner.messages.clear();
    list->SetReadOnly(true);
    DoubleClick(0, 1);
    EXPECT_EQ(list->GetEditor(), nullptr);
    EXPECT_TRUE(owner.Of(LEM_BeginEdit).empty());
    // Asked directly, the owner hears the cancel preset.
    owner.refuseEdit = nullptr;
    EXPECT_FALSE(list->BeginEdit(0, 1));
    EXPECT_EQ(list->GetEditor(), nullptr);
}

TEST_F(ColumnExEditListCtrlTest, ChangedTextGoesToTheOwnerWhichDecidesAboutTheCell) {
    DoubleClick(0, 1);
    QTest::keyClicks(list->GetEditor(), "new");
    Key(Qt::Key_Return);
    const auto changed = owner.Of(LEM_CellChanged);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].row, 0);
    EXPECT_EQ(changed[0].column, 1);
    EXPECT_EQ(changed[0].text, "new");
    // The list never writes the cell itself.
    EXPECT_EQ(list->GetItemText(0, 1), "0:1");
    // Enter moved the edit down, selecting the new row and telling the owner.
    EXPECT_EQ(Editing(), std::make_pair(1, 1));
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{1});
    bool clicked = false;
    for (const auto& record : owner.Of(WM_NOTIFY))
        clicked = clicked || record.code == NM_CLICK;
    EXPECT_TRUE(clicked);

    // Unchanged text: no message. A click elsewhere ends the edit.
    owner.messages.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(2, 3));
    Settle();
    EXPECT_EQ(list->GetEditor(), nullptr);
    EXPECT_TRUE(owner.Of(LEM_CellChanged).empty());

    // A click elsewhere commits a changed text.
    DoubleClick(2, 2);
    QTest::keyClicks(list->GetEditor(), "x");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(0, 0));
    Settle();
    ASSERT_EQ(owner.Of(LEM_CellChanged).size(), 1u);
    EXPECT_EQ(owner.Of(LEM_CellChanged)[0].text, "x");
}

TEST_F(ColumnExEditListCtrlTest, TabMovesThroughShownColumnsAndWrapsToTheNextRow) {
    list->SetColumnWidth(2, 0);
    DoubleClick(0, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Editing(), std::make_pair(0, 3)); // column 2 is hidden
    Key(Qt::Key_Tab);
    EXPECT_EQ(Editing(), std::make_pair(1, 0));
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{1});
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Editing(), std::make_pair(0, 3));

    // Display order counts, not column indexes.
    list->GetHeaderCtrl()->moveSection(3, 0); // order 3, 0, 1, (2)
    list->BeginEdit(2, 0);
    Settle();
    Key(Qt::Key_Tab);
    EXPECT_EQ(Editing(), std::make_pair(2, 1));
    // The last shown column of the last row: the edit ends there.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Editing(), std::make_pair(-1, -1));

    // Backwards from the first cell of the first row: nothing.
    list->BeginEdit(0, 3);
    Settle();
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Editing(), std::make_pair(-1, -1));
}

TEST_F(ColumnExEditListCtrlTest, EnterWrapsFromTheLastRowAndUpStaysOnTheFirst) {
    DoubleClick(2, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Editing(), std::make_pair(0, 1));
    Key(Qt::Key_Up);
    EXPECT_EQ(Editing(), std::make_pair(0, 1));
    Key(Qt::Key_Down);
    EXPECT_EQ(Editing(), std::make_pair(1, 1));
    EXPECT_TRUE(owner.Of(LEM_CellChanged).empty());
}

TEST_F(ColumnExEditListCtrlTest, ScrollingResizingAndColumnTrackingEndTheEdit) {
    DoubleClick(0, 0);
    ASSERT_NE(list->GetEditor(), nullptr);
    list->resize(400, 250);
    Settle();
    EXPECT_EQ(list->GetEditor(), nullptr);

    list->ClearSelection();
    EXPECT_TRUE(list->GetSelectedRows().empty());
}

TEST(NotifyEdit, EveryTypedCharacterIsReported) {
    CRecordingOwner owner;
    auto* edit = new CNotifyEdit(&owner, 2200);
    owner.show();
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("b"));
    const auto notes = owner.Of(WM_NOTIFY);
    ASSERT_EQ(notes.size(), 3u);
    for (const auto& note : notes) {
        EXPECT_EQ(note.code, NEN_CharTyped);
        EXPECT_EQ(note.wParam, 2200u);
    }
}

} // namespace

namespace {

TEST_F(ColumnExEditListCtrlTest, DraggingTheScrollThumbShowsTheTopLine) {
    for (int row = 3; row < 60; ++row)
        list->InsertItem(row, Cell(row, 0));
    Settle();
    QScrollBar* scroll = list->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 5);
    scroll->setSliderDown(true);
    scroll->setSliderPosition(5);
    EXPECT_TRUE(list->GetScrollTip().IsCreated());
    EXPECT_EQ(list->GetScrollTip().GetText(), QStringLiteral("Top line: %1").arg(list->rowAt(0) + 1));
    EXPECT_GT(list->rowAt(0), 0);
    scroll->setSliderDown(false);
    EXPECT_FALSE(list->GetScrollTip().IsCreated());
}

} // namespace
