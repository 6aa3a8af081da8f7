// The style rule page and the rule dialog: the list's columns per kind of
// theme, new rules and their colours from the colour theme, the toolbar's
// states, moving and deleting, Cancel on a new rule, what the rule dialog
// hands back and its Validate through the query engine.

#include "ui/AdvancedPropertiesDialog.h"

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "ui/controls/ColorThemeComboBox.h"
#include "ui/controls/ColourPickerXP.h"

#include "TempDir.h"
#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using corvale::CScriptedUserInterface;
using Page = CAdvancedPropertiesDialog;
using RuleDialog = CAdvancedPropertyDialog;

namespace {

// Polygons with gdal.dbf as their table (NAME string, COUNT integer, AREA
// double, DAY date, FLAG integer).
struct Fixture {
    TempDir folder;
    CTheme theme;
    bool opened = false;
    explicit Fixture(const std::string& name) {
        std::filesystem::copy_file(kTestData + "/shapes/" + name + ".shp", folder.file(name + ".shp"));
        std::filesystem::copy_file(kTestData + "/shapes/" + name + ".shx", folder.file(name + ".shx"));
        std::filesystem::copy_file(kTestData + "/dbf/gdal.dbf", folder.file(name + ".dbf"));
        opened = theme.OpenShapeFile(folder.file(name + ".shp"));
    }
};

// The settings' colour themes for one test.
struct ColourThemes {
    std::vector<CColorTheme> saved = CAppSettings::GetInstance()->m_ColorThemes;
    explicit ColourThemes(std::vector<CColorTheme> themes) { CAppSettings::GetInstance()->m_ColorThemes = themes; }
    ~ColourThemes() { CAppSettings::GetInstance()->m_ColorThemes = saved; }
};

QTreeWidget* List(Page& page) { return Control<QTreeWidget>(&page, Page::IDC_Rules); }

void SelectRow(Page& page, int row) {
    List(page)->clearSelection();
    List(page)->topLevelItem(row)->setSelected(true);
}

int SelectedRow(Page& page) {
    const auto selected = List(page)->selectedItems();
    return selected.isEmpty() ? -1 : List(page)->indexOfTopLevelItem(selected.front());
}

// Enabled states of Delete, Move Up, Move Down, Properties.
std::vector<bool> Buttons(Page& page) {
    return {page.GetAction(Page::ID_RuleDelete)->isEnabled(), page.GetAction(Page::ID_RuleMoveUp)->isEnabled(),
            page.GetAction(Page::ID_RuleMoveDown)->isEnabled(), page.GetAction(Page::ID_RuleProperties)->isEnabled()};
}

QStringList Conditions(Page& page) {
    QStringList texts;
    for (int row = 0; row < List(page)->topLevelItemCount(); ++row)
        texts << List(page)->topLevelItem(row)->text(0) + ":" + List(page)->topLevelItem(row)->text(1);
    return texts;
}

// Answers the next rule dialog with a condition, or cancels it.
void AnswerRule(const QString& condition, bool accept = true) {
    WhenModal([condition, accept](QWidget* dialog) {
        Control<QLineEdit>(dialog, RuleDialog::IDC_Condition)->setText(condition);
        if (accept)
            static_cast<QDialog*>(dialog)->accept();
        else
            static_cast<QDialog*>(dialog)->reject();
    });
}

CAdvancedProperty Rule(const std::string& condition, std::uint32_t fill, std::uint32_t pen) {
    return CAdvancedProperty(condition, fill, pen, 1);
}

} // namespace

TEST(AdvancedPropertiesPage, ColumnsAndColourCellsPerKindOfTheme) {
    struct Case {
        std::uint32_t type;
        QStringList headers;
        int fillColumn;
        int penColumn;
    };
    const Case cases[] = {
        {SHT_Point, {"Item", "Condition", "Color"}, -1, 2},
        {SHT_PointZ, {"Item", "Condition", "Color"}, -1, 2},
        {SHT_Polyline, {"Item", "Condition", "Pen color"}, -1, 2},
        {SHT_PolylineZ, {"Item", "Condition", "Pen color"}, -1, 2},
        {SHT_Polygon, {"Item", "Condition", "Fill color", "Pen color"}, 2, 3},
        {SHT_MultiPoint, {"Item", "Condition"}, -1, -1},
    };
    for (const Case& c : cases) {
        CTheme theme;
        theme.m_ShapeType = c.type;
        Page page;
        page.m_Theme = &theme;
        CAdvancedProperty fromColumn = Rule("A = 1", 0x0000FF, 0x00FF00);
        fromColumn.PenColorFromAttribute = 1;
        fromColumn.PenColorAttribute = "NAME";
        page.m_Properties.m_Properties = {fromColumn};
        page.InitDialog();
        QTreeWidget* list = List(page);
        QStringList headers;
        for (int i = 0; i < list->columnCount(); ++i)
            headers << list->headerItem()->text(i);
        EXPECT_EQ(headers, c.headers) << c.type;
        EXPECT_EQ(page.GetFillColumn(), c.fillColumn);
        EXPECT_EQ(page.GetPenColumn(), c.penColumn);
        QTreeWidgetItem* row = list->topLevelItem(0);
        EXPECT_EQ(row->text(0), "1");
        EXPECT_EQ(row->text(1), "A = 1");
        // The fixed colour shows even while the rule reads it from a column.
        if (c.penColumn >= 0) {
            EXPECT_EQ(row->background(c.penColumn).color(), QColor(0, 255, 0)) << c.type;
        }
        if (c.fillColumn >= 0) {
            EXPECT_EQ(row->background(c.fillColumn).color(), QColor(255, 0, 0)) << c.type;
        }
    }
}

TEST(AdvancedPropertiesPage, NewRulesTakeTheColourThemesColoursInTurn) {
    ColourThemes themes({CColorTheme("Three", {0x000011, 0x000022, 0x000033}), CColorTheme("None", {})});
    CTheme theme;
    theme.m_ShapeType = SHT_Polygon;
    theme.m_LineWidth = 3;
    Page page;
    page.m_Theme = &theme;
    page.InitDialog();
    auto* combo = Control<CColorThemeComboBox>(&page, Page::IDC_ColorTheme);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 0);
    const std::uint32_t expected[] = {0x000011, 0x000022, 0x000033, 0x000011};
    for (int i = 0; i < 4; ++i) {
        AnswerRule(QString("[COUNT] > %1").arg(i));
        page.OnNew();
        ASSERT_EQ(page.RowCount(), i + 1);
        EXPECT_EQ(page.RuleAt(i).FillColor, expected[i]) << i;
        EXPECT_EQ(page.RuleAt(i).PenColor, expected[i]) << i;
        EXPECT_EQ(page.RuleAt(i).PenWidth, 3);
        EXPECT_EQ(page.RuleAt(i).PenStyle, -1);
        EXPECT_EQ(SelectedRow(page), i);
    }
    // A theme without colours gives black; no theme chosen, orange.
    combo->setCurrentIndex(1);
    AnswerRule("x");
    page.OnNew();
    EXPECT_EQ(page.RuleAt(4).FillColor, 0u);
    combo->setCurrentIndex(-1);
    AnswerRule("y");
    page.OnNew();
    EXPECT_EQ(page.RuleAt(5).FillColor, Page::kNewRuleColour);
    const CAdvancedProperties& rules = page.OnOK();
    ASSERT_EQ(rules.m_Properties.size(), 6u);
    EXPECT_EQ(rules.m_Properties[2].Condition, "[COUNT] > 2");
}

TEST(AdvancedPropertiesPage, CancellingANewRuleRemovesItsRowAndAnOldOneChangesNothing) {
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    Page page;
    page.m_Theme = &theme;
    page.m_Properties.m_Properties = {Rule("A = 1", 1, 2)};
    page.InitDialog();
    AnswerRule("B = 2", false);
    page.OnNew();
    EXPECT_EQ(page.m_LastResult, corvale::IDCANCEL);
    EXPECT_EQ(page.RowCount(), 1);
    EXPECT_EQ(Conditions(page), QStringList{"1:A = 1"});
    SelectRow(page, 0);
    AnswerRule("C = 3", false);
    page.OnRuleProperties();
    EXPECT_EQ(page.RowCount(), 1);
    EXPECT_EQ(page.RuleAt(0), Rule("A = 1", 1, 2));
    EXPECT_EQ(Conditions(page), QStringList{"1:A = 1"});
}

TEST(AdvancedPropertiesPage, ButtonStatesByTheSelectedRow) {
    CTheme theme;
    theme.m_ShapeType = SHT_Polyline;
    Page page;
    page.m_Theme = &theme;
    page.m_Properties.m_Properties = {Rule("A", 1, 1), Rule("B", 2, 2), Rule("C", 3, 3)};
    page.InitDialog();
    struct Case {
        int row;
        std::vector<bool> buttons; // Delete, Move Up, Move Down, Properties
    };
    const Case cases[] = {
        {-1, {false, false, false, false}},
        {0, {true, false, true, true}},
        {1, {true, true, true, true}},
        {2, {true, true, false, true}},
    };
    for (const Case& c : cases) {
        if (c.row < 0)
            List(page)->clearSelection();
        else
            SelectRow(page, c.row);
        EXPECT_EQ(Buttons(page), c.buttons) << c.row;
    }
}

TEST(AdvancedPropertiesPage, MoveAndDeleteKeepNumbersAndSelection) {
    CTheme theme;
    theme.m_ShapeType = SHT_Polygon;
    Page page;
    page.m_Theme = &theme;
    page.m_Properties.m_Properties = {Rule("A", 1, 1), Rule("B", 2, 2), Rule("C", 3, 3)};
    page.InitDialog();
    SelectRow(page, 0);
    page.OnMoveDown();
    EXPECT_EQ(Conditions(page), (QStringList{"1:B", "2:A", "3:C"}));
    EXPECT_EQ(SelectedRow(page), 1);
    // The rule travels with its row, colours and all.
    EXPECT_EQ(page.RuleAt(1).FillColor, 1u);
    EXPECT_EQ(List(page)->topLevelItem(1)->background(page.GetFillColumn()).color(), QColor(1, 0, 0));
    page.OnMoveDown();
    EXPECT_EQ(Conditions(page), (QStringList{"1:B", "2:C", "3:A"}));
    EXPECT_FALSE(page.GetAction(Page::ID_RuleMoveDown)->isEnabled());
    page.OnMoveUp();
    page.OnMoveUp();
    EXPECT_EQ(Conditions(page), (QStringList{"1:A", "2:B", "3:C"}));
    EXPECT_FALSE(page.GetAction(Page::ID_RuleMoveUp)->isEnabled());
    // Moving past either end does nothing.
    page.OnMoveUp();
    EXPECT_EQ(Conditions(page), (QStringList{"1:A", "2:B", "3:C"}));

    SelectRow(page, 1);
    page.OnDelete();
    EXPECT_EQ(Conditions(page), (QStringList{"1:A", "2:C"}));
    EXPECT_EQ(SelectedRow(page), 1);
    page.OnDelete();
    EXPECT_EQ(Conditions(page), QStringList{"1:A"});
    EXPECT_EQ(SelectedRow(page), 0);
    page.OnDelete();
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_EQ(Buttons(page), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(page.OnOK().m_Properties.empty());
}

TEST(AdvancedPropertiesPage, PropertiesTakeFixedValuesOrColumnsAndKeepTheOther) {
    Fixture fixture("lines");
    ASSERT_TRUE(fixture.opened);
    Page page;
    page.m_Theme = &fixture.theme;
    CAdvancedProperty rule = Rule("[COUNT] > 1", 0x10, 0x20);
    rule.PenWidth = 2;
    rule.PenStyle = 1;
    rule.PenColorAttribute = "old column";
    page.m_Properties.m_Properties = {rule};
    page.InitDialog();
    SelectRow(page, 0);
    WhenModal([](QWidget* dialog) {
        // The dialog shows the rule.
        EXPECT_EQ(Control<QLineEdit>(dialog, RuleDialog::IDC_Condition)->text(), "[COUNT] > 1");
        EXPECT_EQ(Control<CColourPickerXP>(dialog, RuleDialog::IDC_PenColour)->GetStoredColour(), 0x20u);
        EXPECT_TRUE(Control<QRadioButton>(dialog, RuleDialog::IDC_PenColourFixed)->isChecked());
        // Pen colour from NAME, width from AREA; the style stays fixed.
        Control<QRadioButton>(dialog, RuleDialog::IDC_PenColourFromAttribute)->click();
        auto* penColumn = Control<QComboBox>(dialog, RuleDialog::IDC_PenColourColumn);
        EXPECT_TRUE(penColumn->isEnabled());
        EXPECT_FALSE(Control<QWidget>(dialog, RuleDialog::IDC_PenColour)->isEnabled());
        penColumn->setCurrentIndex(penColumn->findText("NAME"));
        Control<QRadioButton>(dialog, RuleDialog::IDC_PenWidthFromAttribute)->click();
        auto* widthColumn = Control<QComboBox>(dialog, RuleDialog::IDC_PenWidthColumn);
        widthColumn->setCurrentIndex(widthColumn->findText("AREA"));
        Control<QLineEdit>(dialog, RuleDialog::IDC_Condition)->setText("[FLAG] = 1");
        static_cast<QDialog*>(dialog)->accept();
    });
    page.OnRuleProperties();
    EXPECT_EQ(page.m_LastResult, corvale::IDOK);
    const CAdvancedProperty& result = page.RuleAt(0);
    EXPECT_EQ(result.Condition, "[FLAG] = 1");
    EXPECT_EQ(result.PenColorFromAttribute, 1);
    EXPECT_EQ(result.PenColorAttribute, "NAME");
    EXPECT_EQ(result.PenColor, 0x20u); // kept behind the column
    EXPECT_EQ(result.PenWidthFromAttribute, 1);
    EXPECT_EQ(result.PenWidthAttribute, "AREA");
    EXPECT_EQ(result.PenWidth, 2);
    EXPECT_EQ(result.PenStyleFromAttribute, 0);
    EXPECT_EQ(result.PenStyle, 1);
    EXPECT_EQ(List(page)->topLevelItem(0)->text(1), "[FLAG] = 1");

    // Back to a fixed pen colour: the column name stays behind it.
    WhenModal([](QWidget* dialog) {
        EXPECT_TRUE(Control<QRadioButton>(dialog, RuleDialog::IDC_PenColourFromAttribute)->isChecked());
        Control<QRadioButton>(dialog, RuleDialog::IDC_PenColourFixed)->click();
        Control<CColourPickerXP>(dialog, RuleDialog::IDC_PenColour)->SetColour(0x30);
        static_cast<QDialog*>(dialog)->accept();
    });
    page.OnRuleProperties();
    EXPECT_EQ(page.RuleAt(0).PenColorFromAttribute, 0);
    EXPECT_EQ(page.RuleAt(0).PenColor, 0x30u);
    EXPECT_EQ(page.RuleAt(0).PenColorAttribute, "NAME");
}

TEST(AdvancedPropertyDialog, ColumnListsAndWhatEachKindShows) {
    struct Case {
        const char* shapes;
        bool fill;
        bool widthAndStyle;
        const char* penLabel;
    };
    const Case cases[] = {
        {"points", false, false, "Color:"},
        {"lines", false, true, "Pen Color:"},
        {"polygons", true, false, "Pen Color:"},
    };
    for (const Case& c : cases) {
        Fixture fixture(c.shapes);
        ASSERT_TRUE(fixture.opened);
        RuleDialog dialog;
        dialog.m_Theme = &fixture.theme;
        WhenModal([&c](QWidget* d) {
            auto* list = Control<QListWidget>(d, RuleDialog::IDC_Attributes);
            QStringList entries;
            for (int i = 0; i < list->count(); ++i)
                entries << list->item(i)->text();
            // The date column lists as text; only integers and doubles give
            // widths, only integers pen styles.
            EXPECT_EQ(entries, (QStringList{"NAME\t(string)", "COUNT\t(integer)", "AREA\t(double)", "DAY\t(string)",
                                            "FLAG\t(integer)"}));
            auto texts = [d](int id) {
                auto* combo = Control<QComboBox>(d, id);
                QStringList items;
                for (int i = 0; i < combo->count(); ++i)
                    items << combo->itemText(i);
                return items;
            };
            EXPECT_EQ(texts(RuleDialog::IDC_PenWidthColumn), (QStringList{"COUNT", "AREA", "FLAG"}));
            EXPECT_EQ(texts(RuleDialog::IDC_PenStyleColumn), (QStringList{"COUNT", "FLAG"}));
            EXPECT_EQ(texts(RuleDialog::IDC_FillColumn).size(), 5);
            EXPECT_EQ(texts(RuleDialog::IDC_PenColourColumn).size(), 5);
            for (int id : {RuleDialog::IDC_FillColour, RuleDialog::IDC_FillFixed, RuleDialog::IDC_FillFromAttribute,
                           RuleDialog::IDC_FillLabel, RuleDialog::IDC_FillColumn})
                EXPECT_EQ(Control<QWidget>(d, id)->isVisible(), c.fill) << c.shapes << " " << id;
            for (int id : {RuleDialog::IDC_PenWidth, RuleDialog::IDC_PenStyle, RuleDialog::IDC_PenWidthFixed,
                           RuleDialog::IDC_PenStyleFromAttribute, RuleDialog::IDC_PenWidthLabel})
                EXPECT_EQ(Control<QWidget>(d, id)->isVisible(), c.widthAndStyle) << c.shapes << " " << id;
            EXPECT_EQ(Control<QLabel>(d, RuleDialog::IDC_PenColourLabel)->text(), c.penLabel);
            static_cast<QDialog*>(d)->reject();
        });
        EXPECT_EQ(dialog.DoModal(), corvale::IDCANCEL);
    }
}

TEST(AdvancedPropertyDialog, AddInsertsTheColumnAtTheCaret) {
    Fixture fixture("points");
    ASSERT_TRUE(fixture.opened);
    RuleDialog dialog;
    dialog.m_Theme = &fixture.theme;
    dialog.m_Condition = "> 5";
    WhenModal([](QWidget* d) {
        auto* add = Control<QPushButton>(d, RuleDialog::IDC_Add);
        auto* list = Control<QListWidget>(d, RuleDialog::IDC_Attributes);
        auto* edit = Control<QLineEdit>(d, RuleDialog::IDC_Condition);
        EXPECT_FALSE(add->isEnabled());
        list->setCurrentRow(1);
        EXPECT_TRUE(add->isEnabled());
        edit->setCursorPosition(0);
        add->click();
        EXPECT_EQ(edit->text(), "[COUNT] > 5");
        edit->undo();
        EXPECT_EQ(edit->text(), "> 5");
        list->clearSelection();
        EXPECT_FALSE(add->isEnabled());
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(dialog.DoModal(), corvale::IDOK);
    EXPECT_EQ(dialog.m_Condition, "> 5");
}

TEST(AdvancedPropertyDialog, ValidateAsksTheQueryEngine) {
    Fixture fixture("points");
    ASSERT_TRUE(fixture.opened);
    CScriptedUserInterface ui;
    struct Case {
        const char* condition;
        bool valid;
    };
    const Case cases[] = {
        {"[COUNT] > 5", true},
        {"[NAME] = 'Mill' AND [AREA] < 1", true},
        {"[NOSUCHCOLUMN] > 5", false},
        {"[COUNT] >", false},
    };
    for (const Case& c : cases) {
        RuleDialog dialog;
        dialog.m_Theme = &fixture.theme;
        dialog.m_Condition = c.condition;
        WhenModal([](QWidget* d) {
            static_cast<RuleDialog*>(d)->OnValidate();
            static_cast<QDialog*>(d)->reject();
        });
        dialog.DoModal();
        ASSERT_FALSE(ui.shown.empty());
        const auto& shown = ui.shown.back();
        if (c.valid) {
            EXPECT_EQ(shown.text, "Condition validated without errors.") << c.condition;
            EXPECT_EQ(shown.icon, corvale::MessageIcon::Information) << c.condition;
        } else {
            EXPECT_FALSE(shown.text.empty()) << c.condition;
            EXPECT_NE(shown.text, "Condition validated without errors.") << c.condition;
            EXPECT_EQ(shown.icon, corvale::MessageIcon::Error) << c.condition;
        }
    }
}

TEST(AdvancedPropertyDialog, OkKeepsAnAutomaticColourAsStored) {
    CTheme theme;
    theme.m_ShapeType = SHT_Polygon;
    RuleDialog dialog;
    dialog.m_Theme = &theme;
    dialog.m_FillColour = 0x112233;
    WhenModal([](QWidget* d) {
        Control<CColourPickerXP>(d, RuleDialog::IDC_FillColour)->SetColour(kAutomaticColour);
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(dialog.DoModal(), corvale::IDOK);
    EXPECT_EQ(dialog.m_FillColour, kAutomaticColour);
}
