// Colour themes on the screen: the colour list, the theme combo box and the
// editor dialog with its checks.

#include "ui/ColorThemeEditDialog.h"
#include "ui/controls/ColorListBox.h"
#include "ui/controls/ColorThemeComboBox.h"
#include "ui/controls/ColourPickerXP.h"

#include "StyleControlsTestSupport.h"
#include "core/ColorRef.h"
#include "framework/ScriptedUserInterface.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Dialog = CColorThemeEditDialog;

template <class T> T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

std::vector<std::uint32_t> ListColours(CColorListBox* list) {
    std::vector<std::uint32_t> colours;
    for (int i = 0; i < list->count(); ++i)
        colours.push_back(list->GetColor(i));
    return colours;
}

} // namespace

TEST(ColorListBox, DrawsSwatchesAndFramesTheSelectedOne) {
    CColorListBox list;
    list.AddColor(0x0000FF);
    QImage image(60, 16, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        list.DrawItem(painter, image.rect(), 0, false);
    }
    EXPECT_EQ(ColourAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(image, 1, 1), 0x0000FFu);
    EXPECT_EQ(ColourAt(image, 30, 8), 0x0000FFu);
    {
        QPainter painter(&image);
        list.DrawItem(painter, image.rect(), 0, true);
    }
    const std::uint32_t highlight = ColorRefFromRgb(list.palette().color(QPalette::Highlight).rgb());
    EXPECT_EQ(ColourAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(image, 1, 1), highlight);
    EXPECT_EQ(ColourAt(image, 3, 3), highlight);
    EXPECT_EQ(ColourAt(image, 4, 4), 0x0000FFu);
}

TEST(ColorThemeComboBox, BlocksCycleThroughTheColours) {
    CColorThemeComboBox combo;
    const std::vector<std::uint32_t> colours = {0x0000FF, 0x00FF00, 0xFF0000};
    combo.SetColorThemes({CColorTheme("Sea", colours), CColorTheme("Empty", {})});
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), "Sea");

    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        combo.DrawItem(painter, image.rect(), 0, {});
    }
    const int first = 1 + combo.fontMetrics().horizontalAdvance(QStringLiteral("Sea")) + 6;
    int block = 0;
    for (int x = first + 5; x < 196; x += 10, ++block)
        EXPECT_EQ(ColourAt(image, x, 10), colours[static_cast<std::size_t>(block % 3)]) << "block " << block;
    EXPECT_GT(block, 5);
    // The last block is cut 3 pixels before the right edge of the item
    // (shrunk by 1): pixels 196 to 198 stay white.
    EXPECT_EQ(ColourAt(image, 196, 10), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(image, 195, 10), colours[static_cast<std::size_t>((195 - first) / 10 % 3)]);
    // Between the name and the blocks: white.
    EXPECT_EQ(ColourAt(image, first - 2, 18), 0xFFFFFFu);

    // The selected item frames its blocks in the highlight colour.
    {
        QPainter painter(&image);
        combo.DrawItem(painter, image.rect(), 0, {false, true, false});
    }
    const std::uint32_t highlight = ColorRefFromRgb(combo.palette().color(QPalette::Highlight).rgb());
    EXPECT_EQ(ColourAt(image, first + 5, 2), highlight);
    EXPECT_EQ(ColourAt(image, first + 5, 10), colours[0]);
    // A theme without colours shows black blocks.
    {
        QPainter painter(&image);
        combo.DrawItem(painter, image.rect(), 1, {});
    }
    EXPECT_EQ(ColourAt(image, 190, 10), 0u);
}

class ColorThemeEditDialogTest : public ::testing::Test {
protected:
    void Open() {
        dialog.m_Theme = CColorTheme("Sea", {0x112233, 0x445566, 0x778899});
        dialog.m_Caption = "Edit Color Theme";
        dialog.show();
        name = Control<QLineEdit>(dialog, Dialog::IDC_Name);
        list = Control<CColorListBox>(dialog, Dialog::IDC_Colors);
        picker = Control<CColourPickerXP>(dialog, Dialog::IDC_Colour);
        add = Control<QPushButton>(dialog, Dialog::IDC_AddColor);
        remove = Control<QPushButton>(dialog, Dialog::IDC_DeleteColor);
        ok = Control<QPushButton>(dialog, Dialog::IDC_OK);
    }

    corvale::CScriptedUserInterface ui;
    Dialog dialog;
    QLineEdit* name = nullptr;
    CColorListBox* list = nullptr;
    CColourPickerXP* picker = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* ok = nullptr;
};

TEST_F(ColorThemeEditDialogTest, OpensWithTheThemeAndNothingSelected) {
    Open();
    EXPECT_EQ(dialog.windowTitle(), "Edit Color Theme");
    EXPECT_EQ(dialog.objectName(), "1230");
    EXPECT_EQ(name->text(), "Sea");
    EXPECT_EQ(ListColours(list), (std::vector<std::uint32_t>{0x112233, 0x445566, 0x778899}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(ColorThemeEditDialogTest, AddSelectDeleteAndPick) {
    Open();
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(ListColours(list).back(), Dialog::kNewColour);
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_TRUE(picker->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_EQ(picker->GetStoredColour(), Dialog::kNewColour);

    list->setCurrentRow(1);
    EXPECT_EQ(picker->GetStoredColour(), 0x445566u);
    // A colour accepted in the picker goes into the selected item; the
    // automatic choice becomes blue.
    picker->OnPopupMessage(PCM_ColourAccepted, 0x00D7FF);
    EXPECT_EQ(list->GetColor(1), 0x00D7FFu);
    picker->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(list->GetColor(1), Dialog::kNewColour);
    EXPECT_EQ(picker->GetStoredColour(), Dialog::kNewColour);

    // Deleting selects the item that took the place, or the new last one.
    list->setCurrentRow(1);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(ListColours(list), (std::vector<std::uint32_t>{0x112233, 0x778899, Dialog::kNewColour}));
    EXPECT_EQ(list->currentRow(), 1);
    list->setCurrentRow(2);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::mouseClick(remove, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    // Without a selection an accepted colour changes nothing.
    picker->OnPopupMessage(PCM_ColourAccepted, 0x00D7FF);
    EXPECT_EQ(list->count(), 0);
}

TEST_F(ColorThemeEditDialogTest, OkChecksTheNameAndTheList) {
    Open();
    const CColorTheme given = dialog.m_Theme;
    name->clear();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Name cannot be empty.");
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);

    name->setText("Reef");
    list->clear();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "Color list cannot be empty.");
    EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Error);
    EXPECT_EQ(dialog.m_Theme, given);

    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_Theme, CColorTheme("Reef", {Dialog::kNewColour}));
}

TEST(ColorThemeEditDialogModal, OkTakesTheThemeCancelLeavesIt) {
    for (bool accept : {true, false}) {
        Dialog dialog;
        dialog.m_Theme = CColorTheme("Sea", {0x112233});
        dialog.m_Caption = "Add Color Theme";
        AnswerNextModal([accept](QWidget* modal) {
            ASSERT_EQ(modal->objectName(), "1230");
            EXPECT_EQ(modal->windowTitle(), "Add Color Theme");
            modal->findChild<QLineEdit*>("2250")->setText("Coral");
            QTest::mouseClick(modal->findChild<QPushButton*>("2002"), Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QPushButton*>(accept ? "1" : "2"), Qt::LeftButton);
        });
        const int result = dialog.exec();
        EXPECT_EQ(result, accept ? QDialog::Accepted : QDialog::Rejected);
        const CColorTheme expected =
            accept ? CColorTheme("Coral", {0x112233, Dialog::kNewColour}) : CColorTheme("Sea", {0x112233});
        EXPECT_EQ(dialog.m_Theme, expected);
    }
}
