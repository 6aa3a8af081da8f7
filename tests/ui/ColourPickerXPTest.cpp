// The colour button and its popup: what the owner hears, in which order, for
// every way a pick can end; keyboard navigation; the colour dialog's custom
// colours in the settings store.

#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/ColourPopupXP.h"

#include "StyleControlsTestSupport.h"
#include "core/ColorRef.h"
#include "settings/Registry.h"

#include <QApplication>
#include <QColorDialog>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kId = 2042;
constexpr std::uint32_t kRed = 0x0000FF;  // entry 16
constexpr std::uint32_t kBlue = 0xFF0000; // entry 13
constexpr std::uint32_t kGold = 0x00D7FF; // entry 25

class ColourPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.resize(200, 100);
        picker = new CColourPickerXP(&owner);
        picker->setObjectName(QString::number(kId));
        picker->setGeometry(10, 10, 80, 24);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    void TearDown() override { FlushDeletes(); }

    CColourPopupXP* Open() {
        QTest::mouseClick(picker, Qt::LeftButton);
        CColourPopupXP* popup = picker->GetPopup();
        EXPECT_NE(popup, nullptr);
        return popup;
    }
    static void Hover(CColourPopupXP* popup, int entry) {
        SendMouse(popup, QEvent::MouseMove, popup->GetEntryRect(entry).center());
    }
    static void ClickOn(CColourPopupXP* popup, int entry) {
        const QPoint at = popup->GetEntryRect(entry).center();
        SendMouse(popup, QEvent::MouseMove, at);
        SendMouse(popup, QEvent::MouseButtonPress, at);
        SendMouse(popup, QEvent::MouseButtonRelease, at);
    }
    static RecordedMessage M(unsigned message, std::uint32_t colour) { return {message, colour, kId}; }

    CMessageRecorder owner;
    CColourPickerXP* picker = nullptr;
};

} // namespace

TEST(ColourPopupTable, FortyNamedColours) {
    ASSERT_EQ(CColourPopupXP::GetColourCount(), 40);
    struct Case {
        int index;
        std::uint32_t colour;
        const char* name;
    };
    const Case cases[] = {{0, 0x000000, "Black"},      {1, 0x002AA5, "Brown"},       {13, 0xFF0000, "Blue"},
                          {16, 0x0000FF, "Red"},       {25, 0x00D7FF, "Gold"},       {35, 0x98FB98, "Pale green "},
                          {38, 0xFAE6E6, "Lavender"},  {39, 0xFFFFFF, "White"}};
    for (const Case& c : cases) {
        EXPECT_EQ(CColourPopupXP::GetTableColour(c.index), c.colour) << c.index;
        EXPECT_STREQ(CColourPopupXP::GetColourName(c.index), c.name) << c.index;
    }
}

TEST_F(ColourPickerTest, AnAutomaticColourShowsTheDefaultColour) {
    picker->SetDefaultColour(0x00FF00);
    EXPECT_EQ(picker->GetStoredColour(), kAutomaticColour);
    EXPECT_EQ(picker->GetColour(false), kAutomaticColour);
    EXPECT_EQ(picker->GetColour(true), 0x00FF00u);
    const QPoint middle(12, picker->height() / 2);
    EXPECT_EQ(ColourAt(picker->grab().toImage(), middle.x(), middle.y()), 0x00FF00u);

    picker->SetColour(kRed);
    EXPECT_EQ(picker->GetColour(true), kRed);
    EXPECT_EQ(ColourAt(picker->grab().toImage(), middle.x(), middle.y()), kRed);
    // The push-button look shows the swatch too.
    picker->SetStyle(0);
    EXPECT_EQ(ColourAt(picker->grab().toImage(), middle.x(), middle.y()), kRed);
}

TEST_F(ColourPickerTest, TheComboLookTakesItsFontsHeight) {
    picker->SetStyle(1);
    EXPECT_EQ(picker->height(), picker->fontMetrics().height() + 8);
    EXPECT_EQ(picker->width(), 80);
}

TEST_F(ColourPickerTest, AcceptingAnotherColour) {
    picker->SetColour(kRed);
    CColourPopupXP* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(picker->IsPopupOpen());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->GetChosenEntry(), 16);
    // The popup opens below the button.
    EXPECT_EQ(popup->pos(), picker->mapToGlobal(QPoint(0, picker->height())));

    ClickOn(popup, 13);
    const std::vector<RecordedMessage> expected = {M(PCM_PopupOpened, kRed), M(PCM_ColourChanged, kBlue),
                                                   M(PCM_PopupClosed, kBlue), M(PCM_ColourAccepted, kBlue),
                                                   M(PCM_ColourChanged, kBlue)};
    EXPECT_EQ(owner.messages, expected);
    EXPECT_EQ(picker->GetStoredColour(), kBlue);
    EXPECT_FALSE(picker->IsPopupOpen());
    FlushDeletes();
    EXPECT_EQ(picker->GetPopup(), nullptr);
}

TEST_F(ColourPickerTest, AcceptingTheSameColourSendsNoChange) {
    picker->SetColour(kRed);
    ClickOn(Open(), 16);
    const std::vector<RecordedMessage> expected = {M(PCM_PopupOpened, kRed), M(PCM_ColourChanged, kRed),
                                                   M(PCM_PopupClosed, kRed), M(PCM_ColourAccepted, kRed)};
    EXPECT_EQ(owner.messages, expected);
}

TEST_F(ColourPickerTest, EscapeAfterHoveringCancelsWithTheInitialColour) {
    for (bool track : {false, true}) {
        SCOPED_TRACE(track ? "track selection" : "no track selection");
        owner.messages.clear();
        picker->SetTrackSelection(track);
        picker->SetColour(kRed);
        CColourPopupXP* popup = Open();
        Hover(popup, 13);
        EXPECT_EQ(picker->GetStoredColour(), track ? kBlue : kRed);
        Hover(popup, 25);
        EXPECT_EQ(picker->GetStoredColour(), track ? kGold : kRed);
        QTest::keyClick(popup, Qt::Key_Escape);
        const std::vector<RecordedMessage> expected = {M(PCM_PopupOpened, kRed), M(PCM_ColourChanged, kBlue),
                                                       M(PCM_ColourChanged, kGold), M(PCM_PopupClosed, kRed),
                                                       M(PCM_PickCancelled, kRed)};
        EXPECT_EQ(owner.messages, expected);
        EXPECT_EQ(picker->GetStoredColour(), kRed);
        FlushDeletes();
    }
}

TEST_F(ColourPickerTest, AReleaseOutsideThePopupCancels) {
    picker->SetColour(kRed);
    CColourPopupXP* popup = Open();
    Hover(popup, 13);
    SendMouse(popup, QEvent::MouseButtonRelease, QPoint(-20, -20));
    ASSERT_GE(owner.messages.size(), 2u);
    EXPECT_EQ(owner.messages.back(), M(PCM_PickCancelled, kRed));
    EXPECT_EQ(picker->GetStoredColour(), kRed);
}

// A click on the popup's margin, where no entry is, keeps the colour the
// popup opened with (it used to accept 0xFFFFFFFF, which no owner expects).
TEST_F(ColourPickerTest, AClickOnTheMarginKeepsTheInitialColour) {
    picker->SetColour(kRed);
    CColourPopupXP* popup = Open();
    Hover(popup, 13);
    const QPoint margin(1, 1);
    ASSERT_EQ(popup->EntryAt(margin), CColourPopupXP::kNoEntry);
    SendMouse(popup, QEvent::MouseMove, margin);
    SendMouse(popup, QEvent::MouseButtonRelease, margin);
    const std::vector<RecordedMessage> expected = {M(PCM_PopupOpened, kRed), M(PCM_ColourChanged, kBlue),
                                                   M(PCM_ColourChanged, kRed), M(PCM_PopupClosed, kRed),
                                                   M(PCM_ColourAccepted, kRed)};
    EXPECT_EQ(owner.messages, expected);
    EXPECT_EQ(picker->GetStoredColour(), kRed);
}

TEST_F(ColourPickerTest, TheAutomaticEntry) {
    picker->SetColour(kRed);
    CColourPopupXP* popup = Open();
    ASSERT_TRUE(popup->HasEntry(CColourPopupXP::kDefaultEntry));
    ClickOn(popup, CColourPopupXP::kDefaultEntry);
    EXPECT_EQ(owner.messages.back(), M(PCM_ColourChanged, kAutomaticColour));
    EXPECT_EQ(picker->GetStoredColour(), kAutomaticColour);
    FlushDeletes();
    // Reopened on the automatic colour, "Automatic" is the chosen entry.
    EXPECT_EQ(Open()->GetChosenEntry(), CColourPopupXP::kDefaultEntry);
}

TEST_F(ColourPickerTest, TheChosenEntryFollowsTheColour) {
    struct Case {
        std::uint32_t colour;
        std::string defaultText;
        std::string customText;
        int chosen;
    };
    const Case cases[] = {
        {kAutomaticColour, "Automatic", "More Colors...", CColourPopupXP::kDefaultEntry},
        {kAutomaticColour, "", "More Colors...", CColourPopupXP::kCustomEntry},
        {kGold, "Automatic", "More Colors...", 25},
        {0x123456, "Automatic", "More Colors...", CColourPopupXP::kCustomEntry},
        {0x123456, "Automatic", "", CColourPopupXP::kNoEntry},
    };
    for (const Case& c : cases) {
        picker->SetColour(c.colour);
        picker->SetDefaultText(c.defaultText);
        picker->SetCustomText(c.customText);
        CColourPopupXP* popup = Open();
        EXPECT_EQ(popup->GetChosenEntry(), c.chosen) << std::hex << c.colour << " '" << c.defaultText << "' '"
                                                     << c.customText << "'";
        QTest::keyClick(popup, Qt::Key_Escape);
        FlushDeletes();
    }
}

TEST_F(ColourPickerTest, TheGridShowsTheTableColours) {
    CColourPopupXP* popup = Open();
    const QImage image = popup->grab().toImage();
    for (int entry : {0, 13, 16, 25, 39}) {
        const QPoint centre = popup->GetEntryRect(entry).center();
        EXPECT_EQ(ColourAt(image, centre.x(), centre.y()), CColourPopupXP::GetTableColour(entry)) << entry;
    }
    // Text entries above and below the grid.
    EXPECT_LT(popup->GetEntryRect(CColourPopupXP::kDefaultEntry).bottom(), popup->GetEntryRect(0).top());
    EXPECT_GT(popup->GetEntryRect(CColourPopupXP::kCustomEntry).top(), popup->GetEntryRect(39).bottom());
}

TEST_F(ColourPickerTest, KeyboardNavigationWithBothTextEntries) {
    picker->SetColour(0x000000);
    CColourPopupXP* popup = Open();
    struct Step {
        Qt::Key key;
        int entry;
    };
    const Step steps[] = {
        {Qt::Key_Down, 0},   // nothing highlighted: the chosen entry
        {Qt::Key_Down, 8},   {Qt::Key_Down, 16}, {Qt::Key_Down, 24}, {Qt::Key_Down, 32},
        {Qt::Key_Down, CColourPopupXP::kCustomEntry}, {Qt::Key_Down, CColourPopupXP::kDefaultEntry},
        {Qt::Key_Down, 0},   {Qt::Key_Up, CColourPopupXP::kDefaultEntry}, {Qt::Key_Up, CColourPopupXP::kCustomEntry},
        {Qt::Key_Up, 39},    {Qt::Key_Up, 31},   {Qt::Key_Right, 32},    {Qt::Key_Left, 31},
        {Qt::Key_Left, 30},
    };
    for (const Step& s : steps) {
        QTest::keyClick(popup, s.key);
        EXPECT_EQ(popup->GetHighlightedEntry(), s.entry) << "after key " << s.key;
    }
    // Right from the last cell reaches "More Colors...", then "Automatic".
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->GetHighlightedEntry(), 39);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->GetHighlightedEntry(), CColourPopupXP::kCustomEntry);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->GetHighlightedEntry(), CColourPopupXP::kDefaultEntry);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->GetHighlightedEntry(), 0);
    // Enter accepts the highlighted colour.
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(owner.messages.back(), M(PCM_ColourAccepted, 0x000000));
}

TEST_F(ColourPickerTest, KeyboardNavigationSkipsAMissingAutomaticEntry) {
    picker->SetDefaultText("");
    picker->SetColour(CColourPopupXP::GetTableColour(33));
    CColourPopupXP* popup = Open();
    ASSERT_FALSE(popup->HasEntry(CColourPopupXP::kDefaultEntry));
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->GetHighlightedEntry(), 33);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->GetHighlightedEntry(), CColourPopupXP::kCustomEntry);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->GetHighlightedEntry(), 0);
    QTest::keyClick(popup, Qt::Key_Up);
    EXPECT_EQ(popup->GetHighlightedEntry(), CColourPopupXP::kCustomEntry);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->GetHighlightedEntry(), 0);
    QTest::keyClick(popup, Qt::Key_Left);
    EXPECT_EQ(popup->GetHighlightedEntry(), CColourPopupXP::kCustomEntry);
    // Space accepts; "More Colors..." would open the colour dialog, so step
    // back onto a cell first.
    QTest::keyClick(popup, Qt::Key_Left);
    EXPECT_EQ(popup->GetHighlightedEntry(), 39);
    QTest::keyClick(popup, Qt::Key_Space);
    EXPECT_EQ(owner.messages.back(), M(PCM_ColourChanged, 0xFFFFFF));
    EXPECT_EQ(picker->GetStoredColour(), 0xFFFFFFu);
}

TEST_F(ColourPickerTest, TheKeysOfTheButton) {
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(picker->GetPopup(), nullptr);
    QTest::keyClick(picker, Qt::Key_Down);
    ASSERT_NE(picker->GetPopup(), nullptr);
    QTest::keyClick(picker->GetPopup(), Qt::Key_Escape);
    FlushDeletes();
    QTest::keyClick(picker, Qt::Key_F4);
    EXPECT_NE(picker->GetPopup(), nullptr);
}

TEST_F(ColourPickerTest, MoreColorsKeepsTheCustomColoursInTheSettings) {
    {
        auto settings = corvale::OpenRegistry();
        settings->remove("CustomColors");
        corvale::WriteRegistryU32(*settings, "CustomColors/CUSTOM_COLOR_3", 0x112233);
    }
    picker->SetColour(kRed);
    QColor seenCustom3;
    QColor seenCustom4;
    QColor initial;
    AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seenCustom3 = QColorDialog::customColor(3);
        seenCustom4 = QColorDialog::customColor(4);
        initial = dialog->currentColor();
        QColorDialog::setCustomColor(5, QColor(0x44, 0x55, 0x66));
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    ClickOn(Open(), CColourPopupXP::kCustomEntry);

    EXPECT_EQ(initial, ColorFromColorRef(kRed));
    EXPECT_EQ(seenCustom3, ColorFromColorRef(0x112233));
    EXPECT_EQ(seenCustom4, QColor(Qt::white));
    EXPECT_EQ(owner.messages.back(), M(PCM_ColourChanged, 0x1E140A));
    EXPECT_EQ(picker->GetStoredColour(), 0x1E140Au);
    auto settings = corvale::OpenRegistry();
    settings->beginGroup("CustomColors");
    EXPECT_EQ(corvale::ReadRegistryU32(*settings, "CUSTOM_COLOR_3", 0), 0x112233u);
    EXPECT_EQ(corvale::ReadRegistryU32(*settings, "CUSTOM_COLOR_5", 0), 0x665544u);
    EXPECT_EQ(corvale::ReadRegistryU32(*settings, "CUSTOM_COLOR_15", 0), 0xFFFFFFu);
}

TEST_F(ColourPickerTest, CancellingTheColourDialogCancelsThePick) {
    picker->SetColour(kRed);
    picker->SetRegistrySection("ThemeColours");
    AnswerNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->reject();
    });
    ClickOn(Open(), CColourPopupXP::kCustomEntry);
    EXPECT_EQ(owner.messages.back(), M(PCM_PickCancelled, kRed));
    EXPECT_EQ(picker->GetStoredColour(), kRed);
    // The custom colours went to the button's own section.
    auto settings = corvale::OpenRegistry();
    EXPECT_TRUE(settings->childGroups().contains("ThemeColours"));
}

TEST_F(ColourPickerTest, ClosingThePopupFromOutsideCancels) {
    picker->SetColour(kRed);
    CColourPopupXP* popup = Open();
    Hover(popup, 13);
    popup->close();
    EXPECT_EQ(owner.messages.back(), M(PCM_PickCancelled, kRed));
    EXPECT_FALSE(picker->IsPopupOpen());
}

TEST_F(ColourPickerTest, ADisabledButtonOpensNothing) {
    picker->setEnabled(false);
    picker->OpenPopup();
    EXPECT_EQ(picker->GetPopup(), nullptr);
    EXPECT_TRUE(owner.messages.empty());
}

TEST_F(ColourPickerTest, ThePopupStaysOnTheScreen) {
    const QRect area = picker->screen()->availableGeometry();
    // At the bottom right corner: moved left, and above the button.
    owner.move(area.right() - 120, area.bottom() - 60);
    QApplication::processEvents();
    CColourPopupXP* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QRect frame(popup->pos(), popup->size());
    EXPECT_EQ(frame.right(), area.right());
    EXPECT_EQ(frame.bottom(), picker->mapToGlobal(QPoint(0, 0)).y() - 1);
    QTest::keyClick(popup, Qt::Key_Escape);
}
