// The polyline style page and "Arrow Style": the members reach the controls,
// what the user does reaches the members, and "Arrow Style" hands its values
// back only on OK.

#include "ui/ArcPropertiesDialog.h"
#include "ui/ArrowStyleDialog.h"
#include "ui/controls/ArrowTypeComboBox.h"
#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/PenPatternComboBox.h"
#include "ui/controls/PenWidthComboBox.h"

#include "StyleControlsTestSupport.h"
#include "framework/ScriptedUserInterface.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Page = CArcPropertiesDialog;
using Arrow = CArrowStyleDialog;

template <class T> T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

class ArcPropertiesTest : public ::testing::Test {
protected:
    void Open() {
        page.show();
        picker = Control<CColourPickerXP>(page, Page::IDC_PenColour);
        width = Control<CPenWidthComboBox>(page, Page::IDC_PenWidth);
        pattern = Control<CPenPatternComboBox>(page, Page::IDC_PenStyle);
        showDirection = Control<QCheckBox>(page, Page::IDC_ShowDirection);
        style = Control<QPushButton>(page, Page::IDC_ArrowStyle);
        displacement = Control<QLineEdit>(page, Page::IDC_Displacement);
        displacementLabel = Control<QLabel>(page, Page::IDC_DisplacementLabel);
    }
    QRadioButton* Radio(int id) { return Control<QRadioButton>(page, id); }

    corvale::CScriptedUserInterface ui;
    Page page;
    CColourPickerXP* picker = nullptr;
    CPenWidthComboBox* width = nullptr;
    CPenPatternComboBox* pattern = nullptr;
    QCheckBox* showDirection = nullptr;
    QPushButton* style = nullptr;
    QLineEdit* displacement = nullptr;
    QLabel* displacementLabel = nullptr;
};

} // namespace

TEST_F(ArcPropertiesTest, OpensWithTheMembers) {
    page.m_PenColour = 0x00D7FF;
    page.m_PenWidth = 1;
    page.m_PenStyle = 3;
    page.m_ShowDirection = 0;
    page.m_Alignment = Page::AL_Center;
    page.m_Displacement = 4;
    Open();
    EXPECT_EQ(page.objectName(), "1119");
    EXPECT_EQ(picker->GetStoredColour(), 0x00D7FFu);
    EXPECT_EQ(width->currentData().toInt(), 0);
    EXPECT_EQ(pattern->currentData().toInt(), 3);
    EXPECT_EQ(pattern->GetPenWidth(), 1);
    EXPECT_FALSE(showDirection->isChecked());
    EXPECT_FALSE(style->isEnabled());
    EXPECT_TRUE(Radio(Page::IDC_Center)->isChecked());
    EXPECT_EQ(displacement->text(), "4");
    EXPECT_FALSE(displacement->isEnabled());
    EXPECT_FALSE(displacementLabel->isEnabled());
}

TEST_F(ArcPropertiesTest, AlignmentsAndTheDisplacement) {
    page.m_Alignment = Page::AL_North;
    page.m_ShowDirection = 1;
    Open();
    EXPECT_TRUE(Radio(Page::IDC_North)->isChecked());
    EXPECT_TRUE(displacement->isEnabled());
    EXPECT_TRUE(style->isEnabled());

    struct Case {
        int id;
        int alignment;
    };
    const Case cases[] = {{Page::IDC_Center, 0}, {Page::IDC_Left, 1},  {Page::IDC_Right, 2}, {Page::IDC_East, 3},
                          {Page::IDC_West, 4},   {Page::IDC_North, 5}, {Page::IDC_South, 6}, {Page::IDC_Center, 0}};
    for (const Case& c : cases) {
        // On the button's indicator: a radio takes clicks on its indicator
        // and text only.
        QRadioButton* radio = Radio(c.id);
        QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(6, radio->height() / 2));
        EXPECT_EQ(page.m_Alignment, c.alignment) << c.id;
        EXPECT_EQ(displacement->isEnabled(), c.alignment != 0) << c.id;
        EXPECT_EQ(displacementLabel->isEnabled(), c.alignment != 0) << c.id;
    }
}

TEST_F(ArcPropertiesTest, ReadingBackRefusesADisplacementThatIsNoInteger) {
    page.m_Alignment = Page::AL_Left;
    page.m_Displacement = 3;
    Open();
    Radio(Page::IDC_South)->setChecked(true);
    displacement->setText("2.5");
    EXPECT_FALSE(page.UpdateData(true));
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Please enter an integer."});
    // Nothing was taken.
    EXPECT_EQ(page.m_Displacement, 3);
    EXPECT_EQ(page.m_Alignment, Page::AL_Left);

    displacement->setText("-7");
    EXPECT_TRUE(page.UpdateData(true));
    EXPECT_EQ(page.m_Displacement, -7);
    EXPECT_EQ(page.m_Alignment, Page::AL_South);
}

TEST_F(ArcPropertiesTest, PenControlsWriteTheMembers) {
    page.m_PenWidth = 0;
    page.m_PenStyle = 0;
    Open();
    width->setFocus();
    QTest::keyClick(width, Qt::Key_Down);
    EXPECT_EQ(page.m_PenWidth, 2);
    EXPECT_EQ(pattern->GetPenWidth(), 2);
    QTest::keyClick(width, Qt::Key_End);
    EXPECT_EQ(page.m_PenWidth, 7);
    EXPECT_EQ(pattern->GetPenWidth(), 7);

    pattern->setFocus();
    QTest::keyClick(pattern, Qt::Key_Down);
    EXPECT_EQ(page.m_PenStyle, 2); // dot follows solid
    QTest::keyClick(pattern, Qt::Key_Down);
    EXPECT_EQ(page.m_PenStyle, 1);

    QTest::mouseClick(showDirection, Qt::LeftButton);
    EXPECT_EQ(page.m_ShowDirection, 1);
    EXPECT_TRUE(style->isEnabled());
    QTest::mouseClick(showDirection, Qt::LeftButton);
    EXPECT_EQ(page.m_ShowDirection, 0);
    EXPECT_FALSE(style->isEnabled());
}

TEST_F(ArcPropertiesTest, AnAcceptedColourBecomesThePenColourAutomaticBecomesBlue) {
    page.m_PenColour = 0x00D7FF;
    Open();
    picker->OnPopupMessage(PCM_ColourAccepted, 0x0000FF);
    EXPECT_EQ(page.m_PenColour, 0x0000FFu);
    picker->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(page.m_PenColour, Page::kReplacementColour);
    EXPECT_EQ(picker->GetStoredColour(), Page::kReplacementColour);
    // A cancelled pick changes nothing.
    picker->OnPopupMessage(PCM_PickCancelled, Page::kReplacementColour);
    EXPECT_EQ(page.m_PenColour, Page::kReplacementColour);
}

TEST_F(ArcPropertiesTest, ArrowStyleOpensAtThePlacementInPercentAndHandsBackOnOk) {
    page.m_ShowDirection = 1;
    page.m_ArrowType = 0;
    page.m_ArrowSize = 0;
    page.m_ArrowColour = 0x0000FF;
    page.m_ArrowPlacement = 0.125f;
    Open();
    int openedAt = -1;
    QString shown;
    AnswerNextModal([&](QWidget* modal) {
        ASSERT_EQ(modal->objectName(), "1240");
        EXPECT_EQ(modal->windowTitle(), "Arrow Style");
        openedAt = modal->findChild<QSlider*>("2282")->value();
        shown = modal->findChild<QLabel*>("2283")->text();
        modal->findChild<QComboBox*>("2279")->setCurrentIndex(2);
        modal->findChild<QComboBox*>("2278")->setCurrentIndex(1);
        modal->findChild<QSlider*>("2282")->setValue(50);
        modal->findChild<CColourPickerXP*>("2280")->OnPopupMessage(PCM_ColourAccepted, 0x00FF00);
        QTest::mouseClick(modal->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    QTest::mouseClick(style, Qt::LeftButton);
    EXPECT_EQ(openedAt, 13);
    EXPECT_EQ(shown, "13%");
    EXPECT_EQ(page.m_ArrowType, 1);
    EXPECT_EQ(page.m_ArrowSize, 2);
    EXPECT_EQ(page.m_ArrowColour, 0x00FF00u);
    EXPECT_FLOAT_EQ(page.m_ArrowPlacement, 0.5f);

    // Cancel hands nothing back.
    AnswerNextModal([](QWidget* modal) {
        modal->findChild<QComboBox*>("2279")->setCurrentIndex(0);
        modal->findChild<QSlider*>("2282")->setValue(10);
        modal->findChild<CColourPickerXP*>("2280")->OnPopupMessage(PCM_ColourAccepted, 0x123456);
        QTest::mouseClick(modal->findChild<QPushButton*>("2"), Qt::LeftButton);
    });
    QTest::mouseClick(style, Qt::LeftButton);
    EXPECT_EQ(page.m_ArrowSize, 2);
    EXPECT_EQ(page.m_ArrowColour, 0x00FF00u);
    EXPECT_FLOAT_EQ(page.m_ArrowPlacement, 0.5f);
}

TEST(ArrowStyleDialog, OpensWithItsMembers) {
    Arrow dialog;
    dialog.m_ArrowType = 1;
    dialog.m_ArrowSize = 1;
    dialog.m_Colour = 0x00D7FF;
    dialog.m_Placement = 40;
    dialog.show();
    EXPECT_EQ(Control<CArrowTypeComboBox>(dialog, Arrow::IDC_Head)->currentData().toInt(), 1);
    auto* size = Control<QComboBox>(dialog, Arrow::IDC_Size);
    ASSERT_EQ(size->count(), 3);
    EXPECT_EQ(size->itemText(0), "Small");
    EXPECT_EQ(size->itemText(1), "Medium");
    EXPECT_EQ(size->itemText(2), "Large");
    EXPECT_EQ(size->currentData().toInt(), 1);
    EXPECT_EQ(Control<CColourPickerXP>(dialog, Arrow::IDC_Colour)->GetStoredColour(), 0x00D7FFu);
    EXPECT_EQ(Control<QSlider>(dialog, Arrow::IDC_Placement)->value(), 40);
    EXPECT_EQ(Control<QLabel>(dialog, Arrow::IDC_PlacementText)->text(), "40%");
    EXPECT_EQ(dialog.m_Placement, 40);
    EXPECT_EQ(dialog.m_ArrowType, 1);

    // An automatic colour becomes black.
    Control<CColourPickerXP>(dialog, Arrow::IDC_Colour)->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(dialog.m_Colour, 0u);
    EXPECT_EQ(Control<CColourPickerXP>(dialog, Arrow::IDC_Colour)->GetStoredColour(), 0u);
    Control<QSlider>(dialog, Arrow::IDC_Placement)->setValue(75);
    EXPECT_EQ(Control<QLabel>(dialog, Arrow::IDC_PlacementText)->text(), "75%");
}

TEST(ArrowStyleDialog, ThePreviewPutsTheHeadAtThePlacement) {
    for (int placement : {0, 50, 100}) {
        Arrow dialog;
        dialog.m_ArrowType = 1;
        dialog.m_ArrowSize = 2;
        dialog.m_Colour = 0x0000FF;
        dialog.m_Placement = placement;
        dialog.resize(300, 260);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        auto* preview = Control<QGroupBox>(dialog, Arrow::IDC_Preview);
        const QImage image = preview->grab().toImage();
        // The white area inside the sunken edge, and the head's tip in it.
        const QRect area = preview->rect().adjusted(4 + 3, 16 + 3, -4 - 3, -4 - 3);
        const int middle = area.top() + area.height() / 2;
        int tip = -1;
        for (int x = area.left(); x <= area.right(); ++x)
            if (ColourAt(image, x, middle) == 0x0000FFu)
                tip = x;
        const int expected = area.left() + 5 + (area.width() - 37) * placement / 100 + 16;
        EXPECT_EQ(tip, expected) << placement;
        // White area, black line from left + 21.
        EXPECT_EQ(ColourAt(image, area.left() + 1, area.top() + 1), 0xFFFFFFu);
        EXPECT_EQ(ColourAt(image, area.left() + 21, middle), placement == 0 ? 0x0000FFu : 0u) << placement;
    }
}

// A page on a tab leaves Enter and Escape to the dialog that shows it, instead
// of closing itself and leaving an empty tab.
TEST(PropertiesBaseDialog, OnATabThePageLeavesEscapeToItsDialog) {
    QDialog owner;
    auto* tabs = new QTabWidget(&owner);
    auto* page = new Page(tabs);
    tabs->addTab(page, QStringLiteral("Style"));
    page->SetTabControl(tabs);
    EXPECT_EQ(page->GetTabControl(), tabs);
    EXPECT_FALSE(page->isWindow());
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QTest::keyClick(page, Qt::Key_Escape);
    EXPECT_FALSE(owner.isVisible());
    EXPECT_EQ(owner.result(), QDialog::Rejected);
    EXPECT_TRUE(page->isVisibleTo(&owner));
}
