// The point symbol page: the catalogue listed with its names and recoloured
// icons, the choice, the colour and the polyline width.

#include "ui/SymbolDialog.h"
#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/PenWidthComboBox.h"

#include "StyleControlsTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Page = CSymbolDialog;

template <class T> T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

QImage ItemIcon(QListWidget* list, int row) { return list->item(row)->icon().pixmap(32, 32).toImage(); }

} // namespace

TEST(SymbolDialog, ListsTheCatalogueWithoutPreselecting) {
    Page page;
    page.m_Symbol = 5;
    page.m_Colour = 0x00D7FF;
    page.m_Width = 1;
    page.m_PointsAsPolyline = 0;
    page.show();
    auto* list = Control<QListWidget>(page, Page::IDC_Symbols);
    ASSERT_EQ(list->count(), 22);
    EXPECT_EQ(list->item(0)->text(), "Dot 1");
    EXPECT_EQ(list->item(14)->text(), "Triangles");
    EXPECT_EQ(list->item(21)->text(), "Blank");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(page.m_Symbol, 5);
    EXPECT_EQ(list->iconSize(), QSize(32, 32));
    EXPECT_EQ(Control<CColourPickerXP>(page, Page::IDC_Colour)->GetStoredColour(), 0x00D7FFu);
    EXPECT_EQ(Control<CPenWidthComboBox>(page, Page::IDC_Width)->currentData().toInt(), 0);
    EXPECT_FALSE(Control<QCheckBox>(page, Page::IDC_PointsAsPolyline)->isChecked());
    EXPECT_FALSE(Control<CPenWidthComboBox>(page, Page::IDC_Width)->isVisible());
    EXPECT_FALSE(Control<QLabel>(page, Page::IDC_WidthLabel)->isVisible());
    // The coloured icons (indexes 1 to 15) are the page's own.
    EXPECT_EQ(page.GetIconList().size(), 15u);
}

TEST(SymbolDialog, IconsTakeTheColourAtTheirSeedsAndFollowAnAcceptedColour) {
    Page page;
    page.m_Colour = 0x00D7FF;
    page.show();
    auto* list = Control<QListWidget>(page, Page::IDC_Symbols);
    struct Case {
        int value;
        int x;
        int y;
    };
    // "Dot 2" at (16, 16), "Diamond" at (15, 15), "Flag 1" at (15, 10).
    const Case cases[] = {{1, 16, 16}, {5, 15, 15}, {12, 15, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(ColourAt(ItemIcon(list, c.value), c.x, c.y), 0x00D7FFu) << c.value;

    auto* picker = Control<CColourPickerXP>(page, Page::IDC_Colour);
    picker->OnPopupMessage(PCM_ColourAccepted, 0x8B0000);
    EXPECT_EQ(page.m_Colour, 0x8B0000u);
    for (const Case& c : cases)
        EXPECT_EQ(ColourAt(ItemIcon(list, c.value), c.x, c.y), 0x8B0000u) << c.value;
    // The old icons were let go.
    EXPECT_EQ(page.GetIconList().size(), 15u);

    picker->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(page.m_Colour, Page::kReplacementColour);
    EXPECT_EQ(picker->GetStoredColour(), Page::kReplacementColour);
    EXPECT_EQ(ColourAt(ItemIcon(list, 1), 16, 16), Page::kReplacementColour);
}

TEST(SymbolDialog, PickingASymbol) {
    Page page;
    page.m_Symbol = 0;
    page.show();
    auto* list = Control<QListWidget>(page, Page::IDC_Symbols);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    const QRect item = list->visualItemRect(list->item(7));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    EXPECT_EQ(page.m_Symbol, 7);
    list->clearSelection();
    EXPECT_EQ(page.m_Symbol, 7);
    list->setCurrentRow(21);
    EXPECT_EQ(page.m_Symbol, 21);
}

TEST(SymbolDialog, PointsAsPolylineShowsTheWidth) {
    Page page;
    page.m_PointsAsPolyline = 1;
    page.m_Width = 3;
    page.show();
    auto* check = Control<QCheckBox>(page, Page::IDC_PointsAsPolyline);
    auto* width = Control<CPenWidthComboBox>(page, Page::IDC_Width);
    auto* label = Control<QLabel>(page, Page::IDC_WidthLabel);
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(width->isVisible());
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(width->currentData().toInt(), 3);

    width->setFocus();
    QTest::keyClick(width, Qt::Key_Down);
    EXPECT_EQ(page.m_Width, 4);

    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(page.m_PointsAsPolyline, 0);
    EXPECT_FALSE(width->isVisible());
    EXPECT_FALSE(label->isVisible());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(page.m_PointsAsPolyline, 1);
    EXPECT_TRUE(width->isVisible());
}
