// The reprojection dialog: the two trees of reference systems, when "Begin"
// may be pressed, and a run over themes, with failures and cancelling.

#include "UiTestSupport.h"

#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/ScriptedUserInterface.h"
#include "shapes/RecordFixtures.h"
#include "ui/TransformDialog.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

int Index(std::uint32_t epsg) { return FindRefSysByEpsg(epsg); }

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void Select(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->clearSelection();
    if (item != nullptr) {
        tree->setCurrentItem(item);
        item->setSelected(true);
    }
}

// An editable native theme of the records.
std::unique_ptr<CTheme> MakeTheme(std::uint32_t type, const std::vector<Bytes>& records) {
    auto theme = std::make_unique<CTheme>();
    theme->m_ShapeType = type;
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    for (Bytes record : records)
        EXPECT_NE(theme->AddShape(Rec(record), true, true, false), nullptr);
    theme->m_Modified = false;
    return theme;
}

class TransformDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        CTransformDialog::LastSource() = -1;
        CTransformDialog::LastTarget() = -1;
    }
    corvale::CScriptedUserInterface ui;
};

} // namespace

TEST_F(TransformDialogTest, TreesOfferTheTableRows) {
    CTransformDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Transform Theme");
    for (QTreeWidget* tree : {dialog.GetFromTree(), dialog.GetToTree()}) {
        // The geocentric first row is offered in neither tree; the geodetic
        // "WGS 84" sits at the root.
        const QList<QTreeWidgetItem*> wgs = tree->findItems("WGS 84", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(wgs.size(), 1);
        EXPECT_EQ(wgs.front()->parent(), nullptr);
        EXPECT_EQ(wgs.front()->data(0, Qt::UserRole).toInt(), 1);
        QTreeWidgetItem* zone = FindItem(tree, "UTM Zone 32N");
        ASSERT_NE(zone, nullptr);
        ASSERT_NE(zone->parent(), nullptr);
        EXPECT_EQ(zone->parent()->text(0), "WGS84");
        EXPECT_EQ(zone->parent()->parent()->text(0), "UTM");
        EXPECT_EQ(zone->parent()->data(0, Qt::UserRole).toInt(), -1);
        // Subgroup "Stockholm" under the group "Sweden".
        QTreeWidgetItem* st74 = FindItem(tree, "ST 74 0 gon 65:-1");
        ASSERT_NE(st74, nullptr);
        EXPECT_EQ(st74->parent()->text(0), "Stockholm");
        EXPECT_EQ(st74->parent()->parent()->text(0), "Sweden");
        // Groups are listed once each.
        EXPECT_EQ(tree->findItems("UTM", Qt::MatchExactly).size(), 1);
    }
}

TEST_F(TransformDialogTest, BeginIsEnabledForTwoDifferentSystems) {
    CTransformDialog dialog;
    QTreeWidget* from = dialog.GetFromTree();
    QTreeWidget* to = dialog.GetToTree();
    struct Case {
        const char* name;
        const char* source;
        const char* target;
        bool enabled;
    };
    const Case cases[] = {
        {"nothing selected", nullptr, nullptr, false},
        {"no target", "WGS 84", nullptr, false},
        {"the same system", "WGS 84", "WGS 84", false},
        {"a group as source", "UTM", "UTM Zone 32N", false},
        {"a subgroup as target", "WGS 84", "Stockholm", false},
        {"two systems", "WGS 84", "UTM Zone 32N", true},
        {"two projected systems", "SWEREF99 TM", "UTM Zone 33N", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Select(from, c.source != nullptr ? FindItem(from, c.source) : nullptr);
        Select(to, c.target != nullptr ? FindItem(to, c.target) : nullptr);
        EXPECT_EQ(dialog.GetBeginButton()->isEnabled(), c.enabled);
    }
}

TEST_F(TransformDialogTest, ConvertsEveryShapeFilteredOutOnesToo) {
    std::unique_ptr<CTheme> points = MakeTheme(SHT_Point, {MakePoint(9, 45, 1), MakePoint(10, 46, 2)});
    // The second point is filtered out.
    points->m_VisiblePoints.pop_back();
    points->ResetShapePositions();
    std::unique_ptr<CTheme> lines = MakeTheme(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{9, 45}, {10, 46}}})});
    CTransformDialog dialog;
    dialog.m_Themes = {points.get(), lines.get()};
    Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
    Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "UTM Zone 32N"));
    ASSERT_TRUE(dialog.GetBeginButton()->isEnabled());
    dialog.OnBegin();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Transform complete."});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetLastResult().m_Total, 3);
    EXPECT_EQ(dialog.GetLastResult().m_Failed, 0);
    // Reference: echo "45 9\n46 10" | cs2cs -f "%.4f" EPSG:4326 EPSG:32632
    const CShapePoint a = CShapeRecord::GetPoint(points->m_Points[0], 0);
    const CShapePoint b = CShapeRecord::GetPoint(points->m_Points[1], 0);
    EXPECT_NEAR(a.x, 500000.0000, 1e-3);
    EXPECT_NEAR(a.y, 4982950.4002, 1e-3);
    EXPECT_NEAR(b.x, 577432.1826, 1e-3);
    EXPECT_NEAR(b.y, 5094533.5911, 1e-3);
    const CShapeRecord* line = lines->m_Arcs[0];
    EXPECT_NEAR(CShapeRecord::GetPoint(line, 1).x, 577432.1826, 1e-3);
    EXPECT_NEAR(CShapeRecord::GetMaxY(line), 5094533.5911, 1e-3);
    // Bounds come from the converted shapes.
    EXPECT_NEAR(lines->m_Bounds[3], 5094533.5911, 1e-3);
    EXPECT_NEAR(points->m_Bounds[0], 500000.0, 1e-3);
    EXPECT_TRUE(points->m_Modified);
    EXPECT_TRUE(lines->m_Modified);
    EXPECT_EQ(CTransformDialog::LastSource(), 1);
    EXPECT_EQ(CTransformDialog::LastTarget(), Index(32632));
}

// Conversion failures used to be ignored: the shape kept whatever the engine
// wrote and the run still said "Transform complete.".
TEST_F(TransformDialogTest, FailedShapesAreLeftAndCounted) {
    std::unique_ptr<CTheme> points =
        MakeTheme(SHT_Point, {MakePoint(9, 45, 1), MakePoint(9, 100, 2), MakePoint(10, 46, 3)});
    CTransformDialog dialog;
    dialog.m_Themes = {points.get()};
    Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
    Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "UTM Zone 32N"));
    dialog.OnBegin();
    EXPECT_EQ(dialog.GetLastResult().m_Failed, 1);
    EXPECT_EQ(dialog.GetLastResult().m_Converted, 2);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages().front(), "Transform finished with errors.\n\n1 of 3 shapes could not be converted and "
                                     "were left unchanged.");
    const CShapePoint bad = CShapeRecord::GetPoint(points->m_Points[1], 0);
    EXPECT_EQ(bad.x, 9.0);
    EXPECT_EQ(bad.y, 100.0);
    EXPECT_NEAR(CShapeRecord::GetPoint(points->m_Points[0], 0).y, 4982950.4002, 1e-3);
}

TEST_F(TransformDialogTest, ShapesSharedByTwoThemesAreConvertedOnce) {
    std::unique_ptr<CTheme> points = MakeTheme(SHT_Point, {MakePoint(9, 45, 1)});
    CTransformDialog dialog;
    // The same theme twice stands for a theme and one made from its records.
    dialog.m_Themes = {points.get(), points.get()};
    Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
    Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "UTM Zone 32N"));
    dialog.OnBegin();
    EXPECT_EQ(dialog.GetLastResult().m_Total, 1);
    EXPECT_NEAR(CShapeRecord::GetPoint(points->m_Points[0], 0).x, 500000.0, 1e-3);
}

TEST_F(TransformDialogTest, CancelDuringARunChangesNothing) {
    std::unique_ptr<CTheme> points = MakeTheme(SHT_Point, {MakePoint(9, 45, 1), MakePoint(10, 46, 2)});
    CTransformDialog dialog;
    dialog.m_Themes = {points.get()};
    Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
    Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "UTM Zone 32N"));
    // Runs inside the run's first event pass, as a click on Cancel would.
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_EQ(dialog.GetCloseButton()->text(), "Cancel");
        EXPECT_FALSE(dialog.GetBeginButton()->isEnabled());
        dialog.GetCloseButton()->click();
    });
    dialog.OnBegin();
    EXPECT_TRUE(dialog.GetLastResult().m_Cancelled);
    EXPECT_EQ(CShapeRecord::GetPoint(points->m_Points[0], 0).x, 9.0);
    EXPECT_EQ(CShapeRecord::GetPoint(points->m_Points[1], 0).y, 46.0);
    EXPECT_FALSE(points->m_Modified);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Transform cancelled. No theme was changed."});
    // The dialog stays open for another try.
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetCloseButton()->text(), "Close");
}

TEST_F(TransformDialogTest, ReopeningPreselectsTheLastSystems) {
    std::unique_ptr<CTheme> points = MakeTheme(SHT_Point, {MakePoint(9, 45, 1)});
    {
        CTransformDialog dialog;
        dialog.m_Themes = {points.get()};
        Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
        Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "ST 74 0 gon 65:-1"));
        dialog.OnBegin();
    }
    CTransformDialog again;
    EXPECT_EQ(again.SelectedIndex(again.GetFromTree()), 1);
    const int st74 = again.SelectedIndex(again.GetToTree());
    EXPECT_EQ(st74, CTransformDialog::LastTarget());
    QTreeWidgetItem* item = again.GetToTree()->selectedItems().front();
    EXPECT_EQ(item->text(0), "ST 74 0 gon 65:-1");
    EXPECT_TRUE(item->parent()->isExpanded());
    EXPECT_TRUE(item->parent()->parent()->isExpanded());
    EXPECT_TRUE(again.GetBeginButton()->isEnabled());
}

TEST_F(TransformDialogTest, BeginWithoutThemesDoesNothing) {
    CTransformDialog dialog;
    Select(dialog.GetFromTree(), FindItem(dialog.GetFromTree(), "WGS 84"));
    Select(dialog.GetToTree(), FindItem(dialog.GetToTree(), "UTM Zone 32N"));
    dialog.OnBegin();
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(CTransformDialog::LastSource(), -1);
}

// The percentage used to be computed in an int, which wrapped to negative
// values for large themes.
TEST(TransformProgressPercent, CountsIn64Bits) {
    struct Case {
        std::int64_t done;
        std::int64_t total;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 0},
        {5, 0, 0},
        {1, 3, 33},
        {2, 3, 66},
        {30000000, 40000000, 75},
        {3000000000LL, 4000000000LL, 75},
        {40000000, 40000000, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransformProgressPercent(c.done, c.total), c.percent) << c.done << " of " << c.total;
}
