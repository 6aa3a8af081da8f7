// The bookmarks pane: the workspace's bookmarks listed, renamed, gone to and
// removed.

#include "GridPaneTestSupport.h"

#include "framework/CommandTarget.h"
#include "panes/BookmarksGridPane.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class BookmarksPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.AddBookmark(1.5, 2.25, 1.0);
        doc.AddBookmark(-3.0, 4.0, 2.0);
        doc.AddBookmark(100.0, 200.0, 0.5);
        doc.SetModifiedFlag(false);
        doc.m_updateEvent.AddHandler(&log, &CPaneEventLog::OnUpdate);
        pane.resize(400, 300);
        pane.show();
        pane.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&pane));
        pane.SetDocument(&doc);
    }
    void TearDown() override {
        pane.SetDocument(nullptr);
        doc.m_updateEvent.RemoveHandler(&log);
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(pane.GetGrid()->viewport(), Qt::LeftButton, modifiers, CellCentre(pane.GetGrid(), row, 0));
    }
    bool Enabled(unsigned id) {
        CCmdUI ui(id);
        return pane.OnCmdMsg(id, &ui) && ui.m_Enabled;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const CBookmarkRecord* bookmark : doc.m_bookmarks)
            names.push_back(bookmark->m_Name);
        return names;
    }

    CRecordingGridPaneServices services;
    CCorvaleDoc doc;
    CPaneEventLog log;
    CBookmarksGridPane pane;
};

} // namespace

TEST_F(BookmarksPaneTest, ListsNameAndPosition) {
    CGridModel* model = pane.GetModel();
    ASSERT_EQ(model->GetColumnCount(), 3);
    EXPECT_EQ(model->GetHeading(0), "Name");
    EXPECT_EQ(model->GetHeading(1), "X");
    EXPECT_EQ(model->GetHeading(2), "Y");
    ASSERT_EQ(model->GetRowCount(), 3);
    EXPECT_EQ(model->GetCellText(0, 0), "BM 1");
    EXPECT_EQ(model->GetCellText(0, 1), "1.500000");
    EXPECT_EQ(model->GetCellText(0, 2), "2.250000");
    EXPECT_EQ(model->GetCellText(1, 1), "-3.000000");
    EXPECT_EQ(model->GetCellText(2, 0), "BM 3");
    EXPECT_EQ(model->GetCellText(3, 0), "");
}

TEST_F(BookmarksPaneTest, FollowsBookmarksAddedAndNoDocument) {
    doc.AddBookmark(7.0, 8.0, 1.0);
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 4);
    EXPECT_EQ(pane.GetModel()->GetCellText(3, 0), "BM 4");
    pane.SetDocument(nullptr);
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 0);
    // No longer subscribed: a change of the old document leaves the pane empty.
    doc.AddBookmark(9.0, 9.0, 1.0);
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 0);
}

TEST_F(BookmarksPaneTest, SelectingARowGoesToItsBookmark) {
    ClickRow(1);
    ASSERT_EQ(log.Count(DUE_GoToBookmark), 1);
    const CPaneEventLog::Event& event = log.events.back();
    EXPECT_EQ(event.sender, nullptr);
    EXPECT_EQ(event.data, reinterpret_cast<std::intptr_t>(doc.m_bookmarks[1]));
}

TEST_F(BookmarksPaneTest, OnlyTheNameCanBeEdited) {
    ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), 1, 0, "Harbour"));
    EXPECT_EQ(doc.m_bookmarks[1]->m_Name, "Harbour");
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(EditCellByKeys(pane.GetGrid(), 1, 1, "5"));
    EXPECT_FALSE(EditCellByKeys(pane.GetGrid(), 1, 2, "5"));
    EXPECT_EQ(doc.m_bookmarks[1]->m_X, -3.0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(BookmarksPaneTest, RemovingTheFirstAndThirdLeavesTheSecond) {
    EXPECT_FALSE(Enabled(ID_BOOKMARK_REMOVE));
    ClickRow(0);
    ClickRow(2, Qt::ControlModifier);
    ASSERT_EQ(pane.GetSelectedRows(), (std::vector<int>{0, 2}));
    ASSERT_TRUE(Enabled(ID_BOOKMARK_REMOVE));
    const int goTos = log.Count(DUE_GoToBookmark);
    pane.OnCmdMsg(ID_BOOKMARK_REMOVE, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"BM 2"}));
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 1);
    EXPECT_EQ(pane.GetModel()->GetCellText(0, 0), "BM 2");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(log.events.back().code, int(DUE_BookmarksChanged));
    // Removing moves the map nowhere.
    EXPECT_EQ(log.Count(DUE_GoToBookmark), goTos);
    // Numbering goes on after the removed ones.
    doc.AddBookmark(0, 0, 1);
    EXPECT_EQ(doc.m_bookmarks.back()->m_Name, "BM 4");
}

TEST_F(BookmarksPaneTest, ARowBeyondAShrunkListGoesNowhere) {
    // The list shrinks behind the pane's back, without an event.
    delete doc.m_bookmarks.back();
    doc.m_bookmarks.pop_back();
    const int before = log.Count(DUE_GoToBookmark);
    ClickRow(2);
    EXPECT_EQ(log.Count(DUE_GoToBookmark), before);
}
