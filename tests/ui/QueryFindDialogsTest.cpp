// The query editor (column list, insertions, history and its spin, the run
// messages), the find box (history of 16, kept checks, advanced part), the
// go-to box and the duplicate check's result list.

#include "ui/FindDialogs.h"
#include "ui/QueryDialog.h"

#include "core/AttributeField.h"
#include "framework/ScriptedUserInterface.h"

#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvale::CScriptedUserInterface;

QPushButton* Button(QWidget* dialog, int id) {
    return Control<QPushButton>(dialog, id);
}
QPlainTextEdit* QueryEdit(QWidget* dialog) {
    return Control<QPlainTextEdit>(dialog, IDC_QUERY_TEXT);
}

void MakeColumnsTheme(CTheme& theme) {
    MakeNativeTheme(theme,
                    {{"Name", FT_String}, {"Area", FT_Double}, {"Count", FT_Int}, {"Day", FT_Date}},
                    {{"a", "1.5", "1", "20200101"}});
}

} // namespace

TEST(QueryDialog, ListsColumnsWithTheirTypesAndInsertsThemBracketed) {
    CTheme theme;
    MakeColumnsTheme(theme);
    CQueryDialog dialog;
    dialog.SetTheme(&theme);
    auto* list = Control<QListWidget>(&dialog, IDC_QUERY_COLUMNS);
    ASSERT_EQ(list->count(), 4);
    const char* expected[] = {"Name\t(string)", "Area\t(double)", "Count\t(integer)",
                              "Day\t(string)"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list->item(i)->text().toStdString(), expected[i]);

    dialog.show();
    EXPECT_FALSE(Button(&dialog, IDC_QUERY_ADD_COLUMN)->isEnabled());
    list->setCurrentRow(1);
    ASSERT_TRUE(Button(&dialog, IDC_QUERY_ADD_COLUMN)->isEnabled());
    QTest::mouseClick(Button(&dialog, IDC_QUERY_ADD_COLUMN), Qt::LeftButton);
    EXPECT_EQ(QueryEdit(&dialog)->toPlainText().toStdString(), "[Area]");

    // No theme, or one without columns, lists nothing.
    dialog.SetTheme(nullptr);
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(Button(&dialog, IDC_QUERY_ADD_COLUMN)->isEnabled());
}

TEST(QueryDialog, OperatorAndFunctionButtonsInsertAtTheCaret) {
    struct Case {
        int id;
        const char* text;
    };
    const Case cases[] = {
        {IDC_QUERY_EQUAL, " = "},       {IDC_QUERY_NOT_EQUAL, " <> "},
        {IDC_QUERY_LESS, " < "},        {IDC_QUERY_GREATER, " > "},
        {IDC_QUERY_LESS_EQUAL, " <= "}, {IDC_QUERY_GREATER_EQUAL, " >= "},
        {IDC_QUERY_NOT, " NOT "},       {IDC_QUERY_OR, " OR "},
        {IDC_QUERY_AND, " AND "},       {IDC_QUERY_LIKE, " LIKE '' "},
        {IDC_QUERY_IN, " IN ( ) "},
    };
    CQueryDialog dialog;
    dialog.m_FunctionNames = {"sqrt", "strlen"};
    dialog.m_FunctionDescriptions = {"sqrt(x): the square root", "strlen(s): the length"};
    dialog.show();
    for (const Case& c : cases) {
        // The selection "XY" is replaced by the operator.
        QueryEdit(&dialog)->setPlainText(QStringLiteral("aXYb"));
        QTextCursor cursor = QueryEdit(&dialog)->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        QueryEdit(&dialog)->setTextCursor(cursor);
        QTest::mouseClick(Button(&dialog, c.id), Qt::LeftButton);
        EXPECT_EQ(QueryEdit(&dialog)->toPlainText().toStdString(), std::string("a") + c.text + "b")
            << c.text;
    }

    auto* functions = Control<QComboBox>(&dialog, IDC_QUERY_FUNCTIONS);
    ASSERT_EQ(functions->count(), 2);
    EXPECT_EQ(functions->itemData(1).toInt(), 1);
    EXPECT_FALSE(Button(&dialog, IDC_QUERY_ADD_FUNCTION)->isEnabled());
    functions->setCurrentIndex(1);
    EXPECT_TRUE(Button(&dialog, IDC_QUERY_ADD_FUNCTION)->isEnabled());
    EXPECT_EQ(functions->toolTip().toStdString(), "strlen(s): the length");
    QueryEdit(&dialog)->clear();
    QTest::mouseClick(Button(&dialog, IDC_QUERY_ADD_FUNCTION), Qt::LeftButton);
    EXPECT_EQ(QueryEdit(&dialog)->toPlainText().toStdString(), "strlen( )");
}

TEST(QueryDialog, HistoryKeepsEachQueryOnceAndTheSpinStepsPastTheNewest) {
    CScriptedUserInterface ui;
    CQueryDialog dialog;
    std::vector<std::pair<int, std::string>> runs;
    dialog.m_Callback = [&](int mode, const std::string& query, int& count, std::string&) {
        runs.emplace_back(mode, query);
        count = 0;
        return true;
    };
    dialog.show();
    for (const char* text : {"[A] = 1", "[B] = 2", "[A] = 1"}) {
        QueryEdit(&dialog)->setPlainText(QString::fromLatin1(text));
        QTest::mouseClick(Button(&dialog, IDC_QUERY_COUNT), Qt::LeftButton);
    }
    ASSERT_EQ(dialog.m_History, (std::vector<std::string>{"[B] = 2", "[A] = 1"}));
    auto* spin = Control<QSpinBox>(&dialog, IDC_QUERY_HISTORY);
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_EQ(spin->maximum(), 2);
    EXPECT_EQ(dialog.GetHistoryPosition(), 2);

    struct Step {
        int delta;
        const char* shown;
        int position;
    };
    const Step steps[] = {
        {-1, "[A] = 1", 1},
        {-1, "[B] = 2", 0},
        // Below the oldest nothing changes.
        {-1, "[B] = 2", 0},
        {+1, "[A] = 1", 1},
        // One past the newest is an empty query; beyond it nothing changes.
        {+1, "", 2},
        {+1, "", 2},
    };
    for (const Step& step : steps) {
        spin->stepBy(step.delta);
        EXPECT_EQ(QueryEdit(&dialog)->toPlainText().toStdString(), step.shown);
        EXPECT_EQ(dialog.GetHistoryPosition(), step.position);
    }
    // The modes of the three buttons.
    runs.clear();
    QueryEdit(&dialog)->setPlainText(QStringLiteral("q"));
    for (int id : {IDC_QUERY_SELECT, IDC_QUERY_DESELECT, IDC_QUERY_COUNT})
        QTest::mouseClick(Button(&dialog, id), Qt::LeftButton);
    EXPECT_EQ(runs, (std::vector<std::pair<int, std::string>>{{0, "q"}, {1, "q"}, {2, "q"}}));
}

TEST(QueryDialog, ReportsMatchesWithTheTimeOrTheError) {
    CScriptedUserInterface ui;
    CQueryDialog dialog;
    // Without a callback nothing runs, nothing goes into the history.
    QTest::mouseClick(Button(&dialog, IDC_QUERY_SELECT), Qt::LeftButton);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(dialog.m_History.empty());

    bool succeed = true;
    dialog.m_Callback = [&](int, const std::string&, int& count, std::string& error) {
        count = 0;
        error = "Unknown column [X].";
        return succeed;
    };
    dialog.show();
    QueryEdit(&dialog)->setPlainText(QStringLiteral("[X] = 1"));
    QTest::mouseClick(Button(&dialog, IDC_QUERY_SELECT), Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Query resulted in 0 matches,\nand completed in 0.", 0), 0u)
        << ui.shown[0].text;
    EXPECT_EQ(ui.shown[0].text.substr(ui.shown[0].text.size() - 9), " seconds.");
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Information);

    succeed = false;
    QTest::mouseClick(Button(&dialog, IDC_QUERY_SELECT), Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "Unknown column [X].");
    EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Error);
    // The query stays for correction.
    EXPECT_EQ(QueryEdit(&dialog)->toPlainText().toStdString(), "[X] = 1");
}

TEST(FindDialog, HistoryKeepsSixteenTextsNewestFirstWithoutDuplicates) {
    CScriptedUserInterface ui;
    CFindDialog dialog;
    int calls = 0;
    dialog.m_Callback = [&] { ++calls; };
    dialog.show();
    auto* combo = Control<QComboBox>(&dialog, IDC_FIND_TEXT);
    auto find = [&](const std::string& text) {
        combo->setEditText(QString::fromStdString(text));
        QTest::mouseClick(Button(&dialog, IDC_FIND_NEXT), Qt::LeftButton);
    };
    find("alpha");
    find("beta");
    find("alpha");
    EXPECT_EQ(dialog.m_History, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText().toStdString(), "alpha");

    // Case counts: "Alpha" is another text.
    find("Alpha");
    EXPECT_EQ(dialog.m_History.size(), 3u);
    for (int i = 0; i < 14; ++i)
        find("t" + std::to_string(i));
    ASSERT_EQ(dialog.m_History.size(), 16u);
    EXPECT_EQ(dialog.m_History.front(), "t13");
    // The seventeenth distinct text pushed out the oldest ("beta").
    EXPECT_EQ(dialog.m_History.back(), "alpha");
    find("t14");
    EXPECT_EQ(dialog.m_History.back(), "Alpha");
    EXPECT_EQ(combo->count(), 16);
}

TEST(FindDialog, FindNextNeedsTextAndTakesTheOptions) {
    CScriptedUserInterface ui;
    CFindDialog dialog;
    int calls = 0;
    dialog.m_Callback = [&] { ++calls; };
    dialog.show();
    auto* next = Button(&dialog, IDC_FIND_NEXT);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(next->isDefault());
    // The starting options: down, whole field, case ignored.
    EXPECT_TRUE(Control<QAbstractButton>(&dialog, IDC_FIND_DOWN)->isChecked());
    EXPECT_TRUE(Control<QAbstractButton>(&dialog, IDC_FIND_ENTIRE_FIELD)->isChecked());
    EXPECT_FALSE(Control<QAbstractButton>(&dialog, IDC_FIND_MATCH_CASE)->isChecked());
    Control<QComboBox>(&dialog, IDC_FIND_TEXT)->setEditText(QStringLiteral("x"));
    EXPECT_TRUE(next->isEnabled());
    Control<QAbstractButton>(&dialog, IDC_FIND_UP)->click();
    Control<QAbstractButton>(&dialog, IDC_FIND_MATCH_CASE)->click();
    Control<QAbstractButton>(&dialog, IDC_FIND_ENTIRE_FIELD)->click();
    QTest::keyClick(Control<QComboBox>(&dialog, IDC_FIND_TEXT), Qt::Key_Return);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(dialog.m_Down);
    EXPECT_TRUE(dialog.m_MatchCase);
    EXPECT_FALSE(dialog.m_EntireField);
    EXPECT_EQ(dialog.m_Text, "x");
}

TEST(FindDialog, ColumnChecksSurviveReattachingTheSameTheme) {
    CTheme theme;
    MakeColumnsTheme(theme);
    CTheme other;
    MakeNativeTheme(other, {{"One", FT_String}}, {});
    CFindDialog dialog;
    dialog.SetTheme(&theme);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>{true, true, true, true}));
    dialog.CheckField(1, false);
    dialog.SetTheme(&theme);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>{true, false, true, true}));
    // A column added: the list is made again, all checked.
    CAttributeFieldInfo info;
    info.m_Name = "New";
    info.m_Type = FT_String;
    info.m_Length = 5;
    theme.AddAttribute(info, nullptr, nullptr);
    dialog.SetTheme(&theme);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>(5, true)));
    dialog.SetTheme(&other);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>{true}));

    dialog.SetTheme(&theme);
    dialog.show();
    QTest::mouseClick(Button(&dialog, IDC_FIND_UNCHECK_ALL), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>(5, false)));
    QTest::mouseClick(Button(&dialog, IDC_FIND_CHECK_ALL), Qt::LeftButton);
    EXPECT_EQ(dialog.GetCheckedFields(), (std::vector<bool>(5, true)));
}

TEST(FindDialog, AdvancedTogglesTheColumnListAndTheButtonText) {
    CFindDialog dialog;
    dialog.show();
    auto* toggle = Button(&dialog, IDC_FIND_ADVANCED);
    auto* list = Control<QListWidget>(&dialog, IDC_FIND_COLUMNS);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(toggle->text().toStdString(), "Advanced >>");
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(dialog.m_Advanced);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(toggle->text().toStdString(), "<< Simple");
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    // The state is kept over hiding and showing.
    QTest::mouseClick(toggle, Qt::LeftButton);
    dialog.hide();
    dialog.show();
    EXPECT_TRUE(list->isVisible());
}

TEST(GoToDialog, KindsSetTheTextsAndGoPassesKindAndNumber) {
    CScriptedUserInterface ui;
    CGoToDialog dialog;
    std::vector<std::pair<int, int>> calls;
    dialog.m_Callback = [&](int kind, int& number) {
        calls.emplace_back(kind, number);
        number = 42;
    };
    dialog.show();
    auto* kinds = Control<QComboBox>(&dialog, IDC_GOTO_KIND);
    struct Case {
        int kind;
        const char* item;
        const char* label;
        const char* description;
    };
    const Case cases[] = {
        {0, "Line", "Line number:", "Go to this line number in the data view."},
        {1, "Next selected object",
         "Search from line:", "Go to next selected item in the data view."},
        {2, "Previous selected object",
         "Search from line:", "Go to previous selected item in the data view."},
    };
    EXPECT_EQ(kinds->currentIndex(), 0);
    EXPECT_EQ(Control<QLineEdit>(&dialog, IDC_GOTO_NUMBER)->text().toStdString(), "1");
    for (const Case& c : cases) {
        kinds->setCurrentIndex(c.kind);
        EXPECT_EQ(kinds->currentText().toStdString(), c.item);
        EXPECT_EQ(Control<QLabel>(&dialog, IDC_GOTO_LABEL)->text().toStdString(), c.label);
        EXPECT_EQ(Control<QLabel>(&dialog, IDC_GOTO_DESCRIPTION)->text().toStdString(),
                  c.description);
    }
    kinds->setCurrentIndex(1);
    Control<QLineEdit>(&dialog, IDC_GOTO_NUMBER)->setText(QStringLiteral("7"));
    QTest::mouseClick(Button(&dialog, IDC_GOTO_GO), Qt::LeftButton);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 7}}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Control<QLineEdit>(&dialog, IDC_GOTO_NUMBER)->text().toStdString(), "42");

    // Not an integer: refused, no call.
    Control<QLineEdit>(&dialog, IDC_GOTO_NUMBER)->setText(QStringLiteral("7.5"));
    QTest::mouseClick(Button(&dialog, IDC_GOTO_GO), Qt::LeftButton);
    EXPECT_EQ(calls.size(), 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
}

TEST(TableDuplicateDataDialog, OrdersByCountAndWordsTheSummary) {
    const std::map<std::string, int> counts = {{"a", 2}, {"b", 3}, {"c", 2}, {"d", 1}, {"e", 5}};
    struct Case {
        int minimum;
        std::vector<std::pair<std::string, std::string>> rows;
        const char* summary;
    };
    const Case cases[] = {
        {1,
         {{"e", "5"}, {"b", "3"}, {"c", "2"}, {"a", "2"}, {"d", "1"}},
         "5 values occurred in column [NAME]."},
        // Equal counts stand in reverse value order.
        {2,
         {{"e", "5"}, {"b", "3"}, {"c", "2"}, {"a", "2"}},
         "4 values occur more than once in column [NAME]."},
        {5, {{"e", "5"}}, "1 value occur more than 5 times in column [NAME]."},
        {6, {}, "0 values occur more than 6 times in column [NAME]."},
    };
    for (const Case& c : cases) {
        CTableDuplicateDataDialog dialog(counts, "NAME", c.minimum, true, "Duplicate Data Items");
        EXPECT_EQ(dialog.GetRows(), c.rows) << c.minimum;
        EXPECT_EQ(dialog.GetSummary().toStdString(), c.summary);
    }
    // Every value distinct: nothing listed, 0 values.
    CTableDuplicateDataDialog distinct({{"x", 1}, {"y", 1}}, "ID", 2, true, "Duplicate Data Items");
    EXPECT_TRUE(distinct.GetRows().empty());
    EXPECT_EQ(distinct.GetSummary().toStdString(), "0 values occur more than once in column [ID].");
}

TEST(TableDuplicateDataDialog, CopiesTheShownValueAndInvokesFindWithTheKey) {
    CTableDuplicateDataDialog dialog({{"1\tx", 2}, {"2\ty", 3}}, "A+B", 2, true,
                                     "Duplicate Data Items");
    dialog.SetReplacement("\t", " + ");
    ASSERT_EQ(dialog.GetRows().front().first, "2 + y");
    dialog.show();
    EXPECT_FALSE(Button(&dialog, IDC_DUPLICATE_COPY)->isEnabled());
    EXPECT_FALSE(Button(&dialog, IDC_DUPLICATE_FIND)->isEnabled());
    auto* list = Control<QTreeWidget>(&dialog, IDC_DUPLICATE_LIST);
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(Button(&dialog, IDC_DUPLICATE_COPY)->isEnabled());
    ASSERT_TRUE(Button(&dialog, IDC_DUPLICATE_FIND)->isEnabled());
    QTest::mouseClick(Button(&dialog, IDC_DUPLICATE_COPY), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "1 + x");
    QTest::mouseClick(Button(&dialog, IDC_DUPLICATE_FIND), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_Chosen, "1\tx");

    // Invoke Find stays off where it is not allowed (several columns).
    CTableDuplicateDataDialog noFind({{"v", 2}}, "A", 2, false, "Duplicate Data Items");
    noFind.show();
    auto* noFindList = Control<QTreeWidget>(&noFind, IDC_DUPLICATE_LIST);
    noFindList->setCurrentItem(noFindList->topLevelItem(0));
    EXPECT_TRUE(Button(&noFind, IDC_DUPLICATE_COPY)->isEnabled());
    EXPECT_FALSE(Button(&noFind, IDC_DUPLICATE_FIND)->isEnabled());
}
