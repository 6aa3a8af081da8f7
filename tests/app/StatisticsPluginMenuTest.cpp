// The Table menu lists the valid statistics plug-ins of the plug-in folder
// after its seven statistics, each under its own command id, disabled since
// the program runs no plug-in's calculation.

#include "AppTestSupport.h"

#include "app/AppIds.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class StatisticsPluginMenuTest : public AppTest {
protected:
    void AddPlugin(const std::string& name) {
        std::filesystem::copy_file(std::string(CORVALE_PAGE_TEST_PLUGINS) + "/" + name + ".stc",
                                   m_Dir.file(name + ".stc"));
    }
    // Opens the menu as the user would, and answers its entries: the text,
    // or "-" for a separator, or "#id" for a plug-in entry's id.
    QMenu* OpenTable() {
        auto* menu = Frame().findChild<QMenu*>(QStringLiteral("TableMenu"));
        if (menu != nullptr)
            emit menu->aboutToShow();
        return menu;
    }
};

TEST_F(StatisticsPluginMenuTest, ListsTheValidPluginsAfterTheStatisticsDisabled) {
    ASSERT_TRUE(Start());
    // With a workspace open the document would pass the ids on to the
    // attribute pane, which does nothing with them.
    ASSERT_NE(Frame().GetActiveDocument(), nullptr);
    for (const char* name : {"statistics_valid", "statistics_no_version", "statistics_v2", "statistics_missing"})
        AddPlugin(name);
    std::ofstream(m_Dir.file("junk.stc")) << "not a module";
    Frame().SetPluginFolder(m_Dir.path());

    QMenu* menu = OpenTable();
    ASSERT_NE(menu, nullptr);
    QList<QAction*> items = menu->actions();
    // The sorts, the table checks and the query follow the separator.
    ASSERT_EQ(items.size(), 17);
    EXPECT_EQ(items[0]->data().toUInt(), static_cast<unsigned>(ID_COLUMN_STATISTICS_FIRST));
    EXPECT_EQ(items[6]->data().toUInt(), static_cast<unsigned>(ID_COLUMN_STATISTICS_LAST));
    const std::pair<unsigned, const char*> expected[] = {{20321, "statistics_no_version"},
                                                         {20322, "statistics_valid"}};
    for (int i = 0; i < 2; ++i) {
        QAction* entry = items[7 + i];
        EXPECT_EQ(entry->data().toUInt(), expected[i].first);
        EXPECT_EQ(entry->text().toStdString(), expected[i].second);
        EXPECT_EQ(entry->statusTip().toStdString(), std::string(expected[i].second) + " description");
        EXPECT_FALSE(entry->isEnabled());
    }
    EXPECT_TRUE(items[9]->isSeparator());

    // Opening again lists them once, and follows the folder.
    std::filesystem::remove(m_Dir.file("statistics_no_version.stc"));
    menu = OpenTable();
    items = menu->actions();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items[7]->data().toUInt(), 20321u);
    EXPECT_EQ(items[7]->text().toStdString(), "statistics_valid");
    EXPECT_TRUE(items[8]->isSeparator());
}

TEST_F(StatisticsPluginMenuTest, WithoutPluginsTheMenuKeepsOnlyItsOwnItems) {
    ASSERT_TRUE(Start());
    Frame().SetPluginFolder(m_Dir.file("absent"));
    QMenu* menu = OpenTable();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 15);
    EXPECT_TRUE(menu->actions()[7]->isSeparator());
}

} // namespace
