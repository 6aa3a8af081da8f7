// The legend's list control under the offscreen platform: hit zones, clicks,
// keys, dragging and what a row draws, driven with Qt Test's events.

#include "ui/LegendListCtrl.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "core/styles/PointSymbols.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRow = CLegendListCtrl::kRowHeight;

std::unique_ptr<CTheme> MakeTheme(const std::string& name, std::uint32_t type = SHT_Polygon) {
    auto theme = std::make_unique<CTheme>();
    theme->m_Name = name;
    theme->m_ShapeType = type;
    theme->m_Color = 0x0000FF;
    theme->m_OutlineColor = 0x000000;
    return theme;
}

// A list of named themes, shown 240 x 200 (five rows a page), recording
// every notification as "code:item".
class LegendListTest : public ::testing::Test {
protected:
    void Fill(const std::vector<std::string>& names, std::uint32_t type = SHT_Polygon) {
        for (const std::string& name : names) {
            themes.push_back(MakeTheme(name, type));
            list.InsertItem(list.GetItemCount(), name, 1, themes.back().get());
        }
    }
    void SetUp() override {
        list.resize(240, 200);
        list.setFrameShape(QFrame::NoFrame);
        list.m_Notify = [this](int code, int item) {
            log.push_back(std::to_string(code) + ":" + std::to_string(item));
        };
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    QWidget* vp() { return list.viewport(); }
    static QPoint Row(int index, int x = 120) { return QPoint(x, index * kRow + kRow / 2); }
    static QPoint CheckBox(int index) { return QPoint(2 + 13, index * kRow + 2 + 12); }

    void SendMouse(QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                   Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, QPointF(at), QPointF(vp()->mapToGlobal(at)), button, buttons,
                          modifiers);
        QApplication::sendEvent(vp(), &event);
    }
    // Presses on one row, moves past the drag distance and on to the target,
    // and lets go there.
    void Drag(int fromRow, const QPoint& to) {
        const QPoint from = Row(fromRow);
        SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(QEvent::MouseMove, from + QPoint(0, QApplication::startDragDistance() + 1),
                  Qt::NoButton, Qt::LeftButton);
        SendMouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetItemCount(); ++i)
            names.push_back(list.GetItemText(i));
        return names;
    }
    QImage Picture() {
        QImage image(vp()->size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        list.Render(painter);
        return image;
    }

    std::vector<std::unique_ptr<CTheme>> themes;
    CLegendListCtrl list;
    std::vector<std::string> log;
};

bool Near(QRgb pixel, const QColor& colour, int tolerance = 40) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

} // namespace

// ---------------------------------------------------------------------------
// Hit zones
// ---------------------------------------------------------------------------

TEST_F(LegendListTest, HitZonesFollowTheIconAreaAndTheLabel) {
    Fill({"A", "B"});
    // The icon area of row 0 is (2, 2)-(38, 38); the label starts at 40.
    struct Case {
        QPoint point;
        int item;
        int zone;
    };
    const Case cases[] = {
        {{10, 9}, 0, LHZ_CheckBox},
        {{21, 20}, 0, LHZ_CheckBox},
        {{22, 9}, 0, LHZ_Item},
        {{10, 21}, 0, LHZ_FilterMarker},
        {{21, 32}, 0, LHZ_FilterMarker},
        {{10, 33}, 0, LHZ_Item},
        {{25, 22}, 0, LHZ_ParentMarker},
        {{35, 32}, 0, LHZ_ParentMarker},
        {{36, 32}, 0, LHZ_Item},
        {{25, 9}, 0, LHZ_EditableMarker},
        {{35, 20}, 0, LHZ_EditableMarker},
        {{25, 8}, 0, LHZ_Item},
        {{43, 2}, 0, LHZ_LabelTop},
        {{200, 19}, 0, LHZ_LabelTop},
        {{43, 20}, 0, LHZ_Item},
        {{42, 10}, 0, LHZ_Item},
        {{5, 5}, 0, LHZ_Item},
        {{10, kRow + 9}, 1, LHZ_CheckBox},
        {{43, kRow + 5}, 1, LHZ_LabelTop},
        {{10, 2 * kRow + 9}, -1, LHZ_None},
        {{-1, 10}, -1, LHZ_None},
    };
    for (const Case& c : cases) {
        int zone = -99;
        EXPECT_EQ(list.HitTestZone(c.point, &zone), c.item) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(zone, c.zone) << c.point.x() << "," << c.point.y();
    }
    // The whole width of the client area belongs to the row.
    int zone = 0;
    EXPECT_EQ(list.HitTestZone(QPoint(vp()->width() - 1, 10), &zone), 0);
    EXPECT_EQ(list.HitTestZone(QPoint(vp()->width(), 10), &zone), -1);
}

TEST_F(LegendListTest, HitZonesFollowScrolling) {
    Fill({"A", "B", "C", "D", "E", "F", "G", "H"});
    list.verticalScrollBar()->setValue(2);
    int zone = 0;
    EXPECT_EQ(list.HitTestZone(QPoint(10, 9), &zone), 2);
    EXPECT_EQ(zone, LHZ_CheckBox);
}

TEST_F(LegendListTest, LabelFitsMeasuresTheTextAgainstTheLabel) {
    Fill({"A", std::string(200, 'W')});
    list.SetColumnWidth(240);
    EXPECT_TRUE(list.LabelFits(0));
    EXPECT_FALSE(list.LabelFits(1));
    EXPECT_FALSE(list.LabelFits(7));
}

// ---------------------------------------------------------------------------
// Clicks and keys
// ---------------------------------------------------------------------------

TEST_F(LegendListTest, OnlyTheCheckBoxTogglesAndReportsTheClickedItem) {
    Fill({"A", "B", "C"});
    QTest::mouseClick(vp(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(log, (std::vector<std::string>{"3:-1"}));
    log.clear();

    // The name, the markers and the rest of the row leave the check alone.
    for (const QPoint& p :
         {QPoint(60, 10), QPoint(10, 25), QPoint(30, 25), QPoint(30, 10), QPoint(200, 30)})
        QTest::mouseClick(vp(), Qt::LeftButton, {}, p);
    EXPECT_TRUE(list.GetCheck(0));
    EXPECT_TRUE(log.empty());

    // CTRL-click on the box of C: C joins the selection, and C toggles, not
    // the first selected item.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, CheckBox(2));
    EXPECT_EQ(log, (std::vector<std::string>{"3:-1", "1:2"}));
    EXPECT_TRUE(list.GetCheck(0));
    EXPECT_FALSE(list.GetCheck(2));
    EXPECT_EQ(list.GetItemImage(2), 0);

    list.m_CheckBoxClicksEnabled = false;
    log.clear();
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, CheckBox(2));
    EXPECT_FALSE(list.GetCheck(2));
    EXPECT_EQ(log, (std::vector<std::string>{"3:-1"}));
}

TEST_F(LegendListTest, SelectionChangesAreReportedOnlyWhenTheSetChanges) {
    Fill({"A", "B", "C", "D"});
    struct Step {
        QPoint point;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> selected;
        bool reported;
    };
    const Step steps[] = {
        {Row(1), Qt::NoModifier, {1}, true},
        {Row(1), Qt::NoModifier, {1}, false},
        {Row(3), Qt::ShiftModifier, {1, 2, 3}, true},
        {Row(2), Qt::ControlModifier, {1, 3}, true},
        // A plain click inside a larger selection narrows it when the button
        // comes up (the group stays draggable until then).
        {Row(3), Qt::NoModifier, {3}, true},
        {QPoint(100, 190), Qt::NoModifier, {}, true},
        {QPoint(100, 190), Qt::NoModifier, {}, false},
    };
    for (const Step& step : steps) {
        log.clear();
        QTest::mouseClick(vp(), Qt::LeftButton, step.modifiers, step.point);
        EXPECT_EQ(list.GetSelectedItems(), step.selected) << step.point.y();
        EXPECT_EQ(!log.empty(), step.reported) << step.point.y();
    }
}

TEST_F(LegendListTest, NavigationKeysPostASelectionReport) {
    Fill({"A", "B", "C", "D", "E", "F", "G", "H"});
    list.setFocus();
    struct Case {
        Qt::Key key;
        std::vector<int> selected;
        bool reported;
    };
    const Case cases[] = {
        {Qt::Key_Down, {0}, true},   {Qt::Key_Down, {1}, true},     {Qt::Key_End, {7}, true},
        {Qt::Key_Home, {0}, true},   {Qt::Key_PageDown, {5}, true}, {Qt::Key_Up, {4}, true},
        {Qt::Key_PageUp, {0}, true}, {Qt::Key_Space, {0}, true},    {Qt::Key_Left, {0}, false},
        {Qt::Key_Right, {0}, false},
    };
    for (const Case& c : cases) {
        log.clear();
        QTest::keyClick(&list, c.key);
        // Posted: nothing is reported before the event loop runs.
        EXPECT_TRUE(log.empty());
        QCoreApplication::processEvents();
        EXPECT_EQ(list.GetSelectedItems(), c.selected) << c.key;
        EXPECT_EQ(log == std::vector<std::string>{"3:-1"}, c.reported) << c.key;
    }
    // The item the keys reach is scrolled into view.
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.GetTopIndex(), 3);
}

TEST_F(LegendListTest, RightClickSelectsAndAsksForTheMenu) {
    Fill({"A", "B", "C"});
    QPoint asked(-1, -1);
    list.m_ContextMenuRequested = [&](const QPoint& at) { asked = at; };
    QTest::mouseClick(vp(), Qt::LeftButton, {}, Row(0));
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, Row(1));
    log.clear();
    // On a selected item the selection stays.
    SendMouse(QEvent::MouseButtonPress, Row(1), Qt::RightButton, Qt::RightButton);
    QContextMenuEvent onSelected(QContextMenuEvent::Mouse, Row(1), vp()->mapToGlobal(Row(1)));
    QApplication::sendEvent(vp(), &onSelected);
    EXPECT_EQ(list.GetSelectedItems(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(asked, vp()->mapToGlobal(Row(1)));
    // On another item it becomes the selection, reported before the menu.
    SendMouse(QEvent::MouseButtonPress, Row(2), Qt::RightButton, Qt::RightButton);
    QContextMenuEvent onOther(QContextMenuEvent::Mouse, Row(2), vp()->mapToGlobal(Row(2)));
    QApplication::sendEvent(vp(), &onOther);
    EXPECT_EQ(list.GetSelectedItems(), (std::vector<int>{2}));
    EXPECT_EQ(log, (std::vector<std::string>{"3:-1"}));
    // From the keyboard: 5 pixels right and below the control's corner.
    QContextMenuEvent fromKeys(QContextMenuEvent::Keyboard, QPoint(0, 0),
                               vp()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(vp(), &fromKeys);
    EXPECT_EQ(asked, list.mapToGlobal(QPoint(5, 5)));
}

TEST_F(LegendListTest, DoubleClickAsksForTheProperties) {
    Fill({"A", "B"});
    int asked = -2;
    list.m_ItemDoubleClicked = [&](int item) { asked = item; };
    QTest::mouseDClick(vp(), Qt::LeftButton, {}, Row(1));
    EXPECT_EQ(asked, 1);
}

// ---------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------

TEST_F(LegendListTest, DraggingMovesTheSelectedGroupAsOne) {
    struct Case {
        const char* name;
        std::vector<int> selected;
        int pressRow;
        QPoint target;
        std::vector<std::string> order;
    };
    const QPoint belowItems(100, 4 * kRow + 20);
    const Case cases[] = {
        {"last to top", {3}, 3, Row(0), {"D", "A", "B", "C"}},
        {"first to end", {0}, 0, belowItems, {"B", "C", "D", "A"}},
        {"group to top", {1, 3}, 3, Row(0), {"B", "D", "A", "C"}},
        {"group into a gap", {0, 3}, 0, Row(2), {"B", "A", "D", "C"}},
        {"onto itself", {1}, 1, Row(1), {"A", "B", "C", "D"}},
        {"before the next", {1}, 1, Row(2), {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases) {
        list.DeleteAllItems();
        themes.clear();
        Fill({"A", "B", "C", "D"});
        for (int index : c.selected)
            list.SetItemSelected(index, true);
        log.clear();
        Drag(c.pressRow, c.target);
        EXPECT_EQ(Order(), c.order) << c.name;
        // Dropping in place still reports the order.
        EXPECT_EQ(log, (std::vector<std::string>{"2:-1"})) << c.name;
        // The moved items stay selected, the theme stays with its item.
        EXPECT_EQ(list.GetSelectedCount(), static_cast<int>(c.selected.size())) << c.name;
        for (int i = 0; i < list.GetItemCount(); ++i)
            EXPECT_EQ(list.GetItemData(i)->m_Name, list.GetItemText(i));
        EXPECT_FALSE(list.IsDragging());
        EXPECT_TRUE(list.GetInsertionMark().isEmpty());
    }
}

TEST_F(LegendListTest, DroppingBesideTheListMovesNothing) {
    Fill({"A", "B", "C"});
    list.SetItemSelected(2, true);
    Drag(2, QPoint(vp()->width() + 30, Row(0).y()));
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(log.empty());
}

TEST_F(LegendListTest, DraggingIsOffWhenDisabled) {
    Fill({"A", "B", "C"});
    list.m_DragEnabled = false;
    Drag(2, Row(0));
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(log, (std::vector<std::string>{"3:-1"}));
}

TEST_F(LegendListTest, TheInsertionMarkFollowsTheMouseAndScrollsAtTheEdges) {
    Fill({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
    const QPoint start = Row(1);
    SendMouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, start + QPoint(0, 10), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(list.IsDragging());
    auto moveTo = [&](const QPoint& p) {
        SendMouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
    };

    moveTo(Row(3));
    EXPECT_EQ(list.GetInsertionIndex(), 3);
    EXPECT_EQ(list.GetInsertionMark(), QRect(0, 3 * kRow, vp()->width(), 4));
    // Drawn with the halftone brush: black and background pixels alternate.
    const QImage picture = Picture();
    EXPECT_NE(picture.pixel(10, 3 * kRow + 1), picture.pixel(11, 3 * kRow + 1));

    // Above the list while the first item is shown: before item 0.
    moveTo(QPoint(100, -10));
    EXPECT_EQ(list.GetInsertionIndex(), 0);

    // Below the list: one item further each time 200 ms have passed.
    QTest::qWait(CLegendListCtrl::kAutoScrollMilliseconds + 50);
    moveTo(QPoint(100, vp()->height() + 10));
    EXPECT_EQ(list.GetTopIndex(), 1);
    EXPECT_EQ(list.GetInsertionIndex(), 5);
    moveTo(QPoint(100, vp()->height() + 12));
    EXPECT_EQ(list.GetTopIndex(), 1);
    QTest::qWait(CLegendListCtrl::kAutoScrollMilliseconds + 50);
    moveTo(QPoint(100, vp()->height() + 10));
    EXPECT_EQ(list.GetTopIndex(), 2);
    EXPECT_EQ(list.GetInsertionIndex(), 6);

    // Above the list with items hidden above: back up one.
    QTest::qWait(CLegendListCtrl::kAutoScrollMilliseconds + 50);
    moveTo(QPoint(100, -10));
    EXPECT_EQ(list.GetTopIndex(), 1);
    EXPECT_EQ(list.GetInsertionIndex(), 1);

    // Beside the list: no place.
    moveTo(QPoint(-20, 50));
    EXPECT_EQ(list.GetInsertionIndex(), -1);
    EXPECT_TRUE(list.GetInsertionMark().isEmpty());
    SendMouse(QEvent::MouseButtonRelease, QPoint(-20, 50), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(list.GetItemText(1), "B");
}

TEST_F(LegendListTest, BelowTheLastItemOfAFullListTheMarkGoesUnderIt) {
    Fill({"A", "B", "C", "D", "E", "F"});
    list.verticalScrollBar()->setValue(1);
    SendMouse(QEvent::MouseButtonPress, Row(0), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, Row(0) + QPoint(0, 10), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, QPoint(100, vp()->height() + 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(list.GetInsertionIndex(), 6);
    EXPECT_EQ(list.GetTopIndex(), 1);
    SendMouse(QEvent::MouseButtonRelease, QPoint(100, vp()->height() + 5), Qt::LeftButton,
              Qt::NoButton);
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "C", "D", "E", "F", "B"}));
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

TEST_F(LegendListTest, RowsShowTheCheckBoxAndTheSelectionGradient) {
    Fill({"A", "B"});
    list.SetCheck(1, false);
    list.SetItemSelected(0, true);
    const QImage picture = Picture();
    // The tick of the checked box is black, the empty box white.
    EXPECT_TRUE(Near(picture.pixel(2 + 12, 2 + 13), Qt::black, 60));
    EXPECT_TRUE(Near(picture.pixel(2 + 12, kRow + 2 + 13), Qt::white, 10));
    // The selected row ends near the orange selection colour, the other in the face colour.
    const QColor face = list.palette().color(QPalette::Button);
    EXPECT_TRUE(Near(picture.pixel(200, kRow - 4), ColorFromColorRef(0x0080FF), 40));
    EXPECT_TRUE(Near(picture.pixel(200, 2 * kRow - 3), face, 12));
    // Beyond the items the client area is the face colour.
    EXPECT_EQ(QColor(picture.pixel(200, 3 * kRow)), face);
}

TEST_F(LegendListTest, RowsShowTheMarkersOfTheTheme) {
    Fill({"A", "B"});
    CTheme& marked = *themes[0];
    marked.m_Editable = true;
    marked.m_SourceType = ST_ParentTheme;
    marked.m_ShapeType = SHT_Point;
    ASSERT_NE(marked.AddPointAt(false, false, 1.0, 2.0), nullptr);
    marked.m_VisiblePoints.clear(); // the one record filtered out
    marked.m_PointSymbol = 22;
    ASSERT_EQ(marked.GetFilteredShapeCount(), 1);
    const QImage picture = Picture();
    auto differs = [&](int x, int y) { return picture.pixel(x, y) != picture.pixel(x, kRow + y); };
    EXPECT_TRUE(differs(2 + 14, 2 + 22)); // filter, lower left
    EXPECT_TRUE(differs(2 + 24, 2 + 21)); // parent, lower right
    EXPECT_TRUE(differs(2 + 28, 2 + 14)); // editable, upper right
}

TEST_F(LegendListTest, StyleSamplesDrawTheThemesStyle) {
    // Name rectangle: left 46, bottom 22 of each row.
    Fill({"point", "line", "polygon", "nosymbol", "image"});
    themes[0]->m_ShapeType = SHT_Point;
    themes[0]->m_PointSymbol = 0; // icon 1: a filled circle in the theme colour
    themes[0]->m_Color = 0x00C000;
    themes[1]->m_ShapeType = SHT_PolylineZ;
    themes[1]->m_Color = 0xFF0000;
    themes[1]->m_LineWidth = 3;
    themes[2]->m_ShapeType = SHT_Polygon;
    themes[2]->m_Color = 0x00FFFF;
    themes[2]->m_OutlineColor = 0xFF00FF;
    themes[3]->m_ShapeType = SHT_Point;
    themes[3]->m_PointSymbol = 22; // past the catalogue: no sample
    themes[3]->m_Color = 0x00C000;
    themes[4]->m_ShapeType = SHT_Image;
    const QImage picture = Picture();
    EXPECT_TRUE(Near(picture.pixel(56, 30), QColor(0, 0xC0, 0), 10));
    EXPECT_TRUE(Near(picture.pixel(56, kRow + 27), Qt::blue, 10));
    EXPECT_TRUE(Near(picture.pixel(56, kRow + 26), Qt::blue, 10));
    EXPECT_FALSE(Near(picture.pixel(56, kRow + 30), Qt::blue, 60));
    EXPECT_TRUE(Near(picture.pixel(56, 2 * kRow + 30), Qt::yellow, 10));
    EXPECT_TRUE(Near(picture.pixel(46, 2 * kRow + 30), Qt::magenta, 10));
    EXPECT_FALSE(Near(picture.pixel(56, 3 * kRow + 30), QColor(0, 0xC0, 0), 60));
    EXPECT_FALSE(
        Near(picture.pixel(56, 4 * kRow + 30), list.palette().color(QPalette::Button), 30));
    // Each paint gives its symbol icons back.
    Picture();
    EXPECT_EQ(list.GetIconCacheSize(), 0u);
}

// Every symbol of the catalogue, the small dot and the large pin alike, and
// an image theme's picture, stay in the sample cell below the start of the
// name: the row is the same as a row without a sample everywhere else.
TEST_F(LegendListTest, SymbolSamplesKeepToTheirOwnCell) {
    list.resize(240, (kPointSymbolCount + 3) * kRow);
    Fill(std::vector<std::string>(kPointSymbolCount + 2, "Theme name"), SHT_Point);
    themes[0]->m_PointSymbol = 22; // the row without a sample
    for (int symbol = 0; symbol < kPointSymbolCount; ++symbol) {
        themes[static_cast<std::size_t>(symbol + 1)]->m_PointSymbol = symbol;
        themes[static_cast<std::size_t>(symbol + 1)]->m_Color = 0x00C000;
    }
    themes.back()->m_ShapeType = SHT_Image;
    const QImage picture = Picture();
    // Label left 40, name left 46 and bottom 22: the cell is 21 x 16 from there.
    const QRect cell(46, 22, 21, 16);
    for (int row = 1; row < list.GetItemCount(); ++row) {
        SCOPED_TRACE(row == list.GetItemCount() - 1 ? std::string("image")
                                                     : "symbol " + std::to_string(row - 1));
        int outside = 0;
        int inside = 0;
        for (int y = 0; y < kRow; ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const bool differs = picture.pixel(x, row * kRow + y) != picture.pixel(x, y);
                (cell.contains(x, y) ? inside : outside) += differs ? 1 : 0;
            }
        EXPECT_EQ(outside, 0);
        // "Blank" draws nothing.
        if (row - 1 == kBlankPointSymbol)
            EXPECT_EQ(inside, 0);
        else
            EXPECT_GT(inside, 4);
    }
}

TEST_F(LegendListTest, InfoTipsAndLabelsAreMarkedInTheLabel) {
    Fill({"tips", "labels", "plain"});
    themes[0]->m_ShowInfoTip = true;
    themes[1]->m_ShowLabels = true;
    const QImage picture = Picture();
    // The info-tip box: a black frame from the label's left (43) down from top + 3.
    EXPECT_TRUE(Near(picture.pixel(43, 20), Qt::black, 10));
    EXPECT_FALSE(Near(picture.pixel(43, 2 * kRow + 20), Qt::black, 10));
    // "Label" at label left + 32, bottom-aligned 5 pixels up: some dark pixels.
    auto darkIn = [&](int row) {
        int dark = 0;
        for (int x = 75; x < 120; ++x)
            for (int y = row * kRow + 25; y < row * kRow + 35; ++y)
                dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
        return dark;
    };
    EXPECT_GT(darkIn(1), 5);
    EXPECT_EQ(darkIn(2), 0);
}

TEST_F(LegendListTest, TooltipTextComesFromTheOwner) {
    Fill({"A"});
    QPoint asked(-1, -1);
    list.m_ToolTipText = [&](const QPoint& p) {
        asked = p;
        return std::string("tip");
    };
    QHelpEvent help(QEvent::ToolTip, QPoint(12, 12), vp()->mapToGlobal(QPoint(12, 12)));
    QApplication::sendEvent(vp(), &help);
    EXPECT_EQ(asked, QPoint(12, 12));
}
