// The picture combo boxes: fill patterns, pen patterns, pen widths and arrow
// heads. Their items, how the current one is chosen, and what each item draws
// (on the pixels of an image).

#include "ui/controls/ArrowTypeComboBox.h"
#include "ui/controls/BrushComboBox.h"
#include "ui/controls/PenPatternComboBox.h"
#include "ui/controls/PenWidthComboBox.h"

#include "StyleControlsTestSupport.h"
#include "core/ColorRef.h"
#include "core/styles/BrushPatterns.h"

#include <QAbstractItemView>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint32_t kBlack = 0x000000;

std::vector<int> ItemData(const COwnerDrawnComboBox& combo) {
    std::vector<int> data;
    for (int i = 0; i < combo.count(); ++i)
        data.push_back(combo.itemData(i).toInt());
    return data;
}

// One item drawn into a white image of the given size.
QImage DrawnItem(COwnerDrawnComboBox& combo, int index, const COwnerDrawnComboBox::ItemState& state,
                 QSize size = QSize(100, 20)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    combo.DrawItem(painter, image.rect(), index, state);
    return image;
}

std::uint32_t Base(const QWidget& w) { return ColorRefFromRgb(w.palette().color(QPalette::Base).rgb()); }
std::uint32_t Highlight(const QWidget& w) { return ColorRefFromRgb(w.palette().color(QPalette::Highlight).rgb()); }

const COwnerDrawnComboBox::ItemState kListItem{};
const COwnerDrawnComboBox::ItemState kSelectedListItem{false, true, false};
const COwnerDrawnComboBox::ItemState kField{true, false, false};

} // namespace

TEST(PictureComboBoxes, Items) {
    EXPECT_EQ(ItemData(CBrushComboBox()), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ItemData(CPenPatternComboBox()), (std::vector<int>{0, 2, 1, 3, 4}));
    EXPECT_EQ(ItemData(CPenPatternComboBox(nullptr, true)), (std::vector<int>{-1, 0, 2, 1, 3, 4}));
    EXPECT_EQ(ItemData(CPenWidthComboBox()), (std::vector<int>{0, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ItemData(CPenWidthComboBox(nullptr, true)), (std::vector<int>{-1, 0, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ItemData(CArrowTypeComboBox()), (std::vector<int>{0, 1}));
}

TEST(PictureComboBoxes, SettingTheCurrentValueSelectsItsItem) {
    struct Case {
        bool automatic;
        int width;
        int selectedData; // -2: nothing selected
    };
    const Case widths[] = {{false, 1, 0}, {false, 0, 0}, {false, 5, 5}, {false, 9, -2},
                           {false, -1, -2}, {true, -1, -1}, {true, 1, 0}};
    for (const Case& c : widths) {
        CPenWidthComboBox combo(nullptr, c.automatic);
        combo.SetCurWidth(c.width);
        EXPECT_EQ(combo.GetCurWidth(), c.width);
        if (c.selectedData == -2)
            EXPECT_EQ(combo.currentIndex(), -1) << c.width;
        else
            EXPECT_EQ(combo.currentData().toInt(), c.selectedData) << c.width;
    }

    CPenPatternComboBox pattern;
    pattern.SetCurPattern(1);
    EXPECT_EQ(pattern.currentIndex(), 2);
    pattern.SetCurPattern(7);
    EXPECT_EQ(pattern.currentIndex(), -1);
    EXPECT_EQ(pattern.GetCurPattern(), 7);

    CBrushComboBox brush;
    brush.SetCurPattern(11);
    EXPECT_EQ(brush.currentIndex(), 11);
    brush.SetCurPattern(14);
    EXPECT_EQ(brush.currentIndex(), -1);
}

TEST(PictureComboBoxes, FillPatternItemsShowTheirPattern) {
    CBrushComboBox combo;
    for (int pattern : {0, 5, 10, 13}) {
        const QImage image = DrawnItem(combo, pattern, kListItem);
        const unsigned char* rows = GetFillPatternRows(pattern);
        ASSERT_NE(rows, nullptr);
        for (int y = 3; y < 17; ++y) {
            for (int x = 3; x < 97; ++x) {
                const bool set = ((rows[y % 8] >> (7 - x % 8)) & 1) != 0;
                ASSERT_EQ(ColourAt(image, x, y), set ? 0xFFFFFFu : kBlack)
                    << "pattern " << pattern << " at " << x << ", " << y;
            }
        }
        // The 3-pixel border is the item's background.
        EXPECT_EQ(ColourAt(image, 1, 1), Base(combo));
    }
}

TEST(PictureComboBoxes, TheHollowPatternDrawsNothing) {
    CBrushComboBox combo;
    for (const auto& state : {kListItem, kSelectedListItem}) {
        const QImage image = DrawnItem(combo, kHollowFillPattern, state);
        const std::uint32_t background = state.selected ? Highlight(combo) : Base(combo);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(ColourAt(image, x, y), background) << x << ", " << y;
    }
}

TEST(PictureComboBoxes, PenWidthItemsShowTheirWidthAndALine) {
    CPenWidthComboBox combo;
    const int index = combo.FindItemData(4);
    const QImage list = DrawnItem(combo, index, kListItem);
    // "4:" then a line 4 pixels high through the middle (rows 8 to 11), from
    // 3 + 2 pixels after the text to 2 + 3 pixels before the right edge.
    const int textEnd = 5 + combo.fontMetrics().horizontalAdvance(QStringLiteral("4:"));
    const int lineStart = textEnd + 3 + 2;
    for (int y = 8; y <= 11; ++y) {
        EXPECT_EQ(ColourAt(list, lineStart, y), kBlack) << y;
        EXPECT_EQ(ColourAt(list, 94, y), kBlack) << y;
        EXPECT_NE(ColourAt(list, 95, y), kBlack) << y;
        EXPECT_NE(ColourAt(list, lineStart - 1, y), kBlack) << y;
    }
    EXPECT_NE(ColourAt(list, 50, 7), kBlack);
    EXPECT_NE(ColourAt(list, 50, 12), kBlack);
    // The text is drawn somewhere left of the line.
    bool text = false;
    for (int x = 5; x < textEnd; ++x)
        for (int y = 0; y < 20; ++y)
            text = text || ColourAt(list, x, y) != Base(combo);
    EXPECT_TRUE(text);

    // In the field there is no text: the line starts at 3 + 2.
    const QImage field = DrawnItem(combo, index, kField);
    EXPECT_EQ(ColourAt(field, 5, 10), kBlack);
    EXPECT_NE(ColourAt(field, 4, 10), kBlack);

    // Width 0 is drawn one pixel wide.
    const QImage thin = DrawnItem(combo, combo.FindItemData(0), kField);
    EXPECT_EQ(ColourAt(thin, 50, 10), kBlack);
    EXPECT_NE(ColourAt(thin, 50, 9), kBlack);
    EXPECT_NE(ColourAt(thin, 50, 11), kBlack);
}

TEST(PictureComboBoxes, TheAutomaticItemIsText) {
    CPenWidthComboBox combo(nullptr, true);
    const QImage image = DrawnItem(combo, 0, kListItem);
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            inked += ColourAt(image, x, y) != Base(combo) ? 1 : 0;
    EXPECT_GT(inked, 10);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(ColourAt(image, x, y), Base(combo));
}

TEST(PictureComboBoxes, PenPatternItemsDrawTheirPattern) {
    CPenPatternComboBox combo;
    struct Case {
        int style;
        bool gaps;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{3, true}, Case{4, true}}) {
        const QImage image = DrawnItem(combo, combo.FindItemData(c.style), kListItem);
        int black = 0;
        int other = 0;
        for (int x = 3; x <= 96; ++x)
            (ColourAt(image, x, 10) == kBlack ? black : other) += 1;
        EXPECT_GT(black, 0) << c.style;
        if (c.gaps)
            EXPECT_GT(other, 0) << c.style;
        else
            EXPECT_EQ(other, 0) << c.style;
        EXPECT_NE(ColourAt(image, 1, 10), kBlack);
    }
    // The samples take the pen width given to the combo.
    combo.SetPenWidth(5);
    const QImage wide = DrawnItem(combo, combo.FindItemData(0), kListItem);
    EXPECT_EQ(ColourAt(wide, 50, 8), kBlack);
    EXPECT_EQ(ColourAt(wide, 50, 12), kBlack);
    EXPECT_NE(ColourAt(wide, 50, 5), kBlack);
}

TEST(PictureComboBoxes, ArrowHeadItems) {
    CArrowTypeComboBox combo;
    // The head points right with its tip at left + 3 + 16, in the middle.
    const QImage outline = DrawnItem(combo, 0, kListItem, QSize(60, 20));
    const QImage filled = DrawnItem(combo, 1, kListItem, QSize(60, 20));
    EXPECT_EQ(ColourAt(outline, 19, 10), kBlack);
    EXPECT_EQ(ColourAt(filled, 19, 10), kBlack);
    // Inside the small head: empty for the outline, black for the filled one.
    EXPECT_NE(ColourAt(outline, 16, 10), kBlack);
    EXPECT_EQ(ColourAt(filled, 16, 10), kBlack);
    EXPECT_NE(ColourAt(filled, 21, 10), kBlack);
}

TEST(PictureComboBoxes, TheClosedBoxShowsTheCurrentItem) {
    CBrushComboBox combo;
    combo.resize(120, 26);
    combo.SetCurPattern(0);
    const QImage solid = combo.grab().toImage();
    EXPECT_EQ(ColourAt(solid, 30, 13), kBlack);
    combo.SetCurPattern(kHollowFillPattern);
    const QImage hollow = combo.grab().toImage();
    EXPECT_NE(ColourAt(hollow, 30, 13), kBlack);
}

TEST(PictureComboBoxes, TheListDrawsItsItems) {
    CPenWidthComboBox combo;
    combo.resize(120, 26);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.showPopup();
    QAbstractItemView* view = combo.view();
    ASSERT_TRUE(view->isVisible());
    const QRect row = view->visualRect(combo.model()->index(combo.FindItemData(7), 0));
    EXPECT_EQ(row.height(), 18);
    const QImage image = view->viewport()->grab().toImage();
    // A 7-pixel line through the middle of the last item.
    EXPECT_EQ(ColourAt(image, row.right() - 10, row.center().y()), kBlack);
    combo.hidePopup();
}
