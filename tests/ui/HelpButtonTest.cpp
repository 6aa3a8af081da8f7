// The dialogs' Help button: it shows its topic through the program's help
// handler, and is disabled without a topic or a handler.

#include "ui/controls/HelpButton.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HelpButton, ShowsItsTopicOnlyWhenItHasOneAndTheProgramCanShowIt) {
    CHelpButton::SetHelpHandler({});
    CHelpButton withTopic(0x20000 + 321);
    CHelpButton without;
    EXPECT_FALSE(withTopic.isEnabled()) << "no handler yet";
    EXPECT_FALSE(withTopic.icon().isNull());

    std::vector<unsigned> shown;
    CHelpButton::SetHelpHandler([&shown](unsigned context) {
        shown.push_back(context);
        return true;
    });
    withTopic.show();
    without.show();
    EXPECT_TRUE(withTopic.isEnabled());
    EXPECT_FALSE(without.isEnabled());
    QTest::mouseClick(&withTopic, Qt::LeftButton);
    QTest::mouseClick(&without, Qt::LeftButton);
    EXPECT_EQ(shown, (std::vector<unsigned>{0x20000 + 321}));

    without.SetHelpContext(7);
    EXPECT_TRUE(without.isEnabled());
    without.click();
    EXPECT_EQ(shown, (std::vector<unsigned>{0x20000 + 321, 7}));
    CHelpButton::SetHelpHandler({});
}

} // namespace
