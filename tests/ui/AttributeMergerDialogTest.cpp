// The merge dialog: the selected shapes' rows, edits of the result row, and
// the Concatenate, Copy and Sum operations.

#include "ui/AttributeMergerDialog.h"

#include "framework/ScriptedUserInterface.h"
#include "ui/DialogButtons.h"
#include "ui/controls/ColumnExEdit.h"
#include "ui/controls/ColumnExEditListCtrl.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include "CommaLocale.h"
#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace {

using corvale::CScriptedUserInterface;
using corvale::IDOK;

CColumnExEditListCtrl* List(QWidget* dialog) { return Control<CColumnExEditListCtrl>(dialog, IDC_AMERGE_LIST); }

void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QPoint CellPoint(CColumnExEditListCtrl* list, int row, int column) {
    return list->visualRect(list->model()->index(row, column)).center();
}

void ClickHeading(QWidget* dialog, int column) {
    CSelectHeaderCtrl* header = List(dialog)->GetHeaderCtrl();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                             header->height() / 2));
}

void Apply(QWidget* dialog, const char* operation) {
    auto* operations = Control<QComboBox>(dialog, IDC_AMERGE_OPERATION);
    operations->setCurrentIndex(operations->findText(QString::fromLatin1(operation)));
    QTest::mouseClick(Control<QPushButton>(dialog, IDC_AMERGE_APPLY), Qt::LeftButton);
}

std::vector<std::string> Row(QWidget* dialog, int row) {
    std::vector<std::string> texts;
    for (int column = 0; column < List(dialog)->GetColumnCount(); ++column)
        texts.push_back(List(dialog)->GetItemText(row, column));
    return texts;
}

class AttributeMergerTest : public ::testing::Test {
protected:
    AttributeMergerTest() {
        MakeNativeTheme(theme, {{"NAME", FT_String}, {"VALUE", FT_String}},
                        {{"north", "1.5"}, {"middle", "abc"}, {"south", "2"}, {"unused", "100"}});
        // Selected in the order 2, 0, 1; shape 3 is not selected.
        theme.AddToSelection(2, 2, 3, 0xFF);
        theme.AddToSelection(0, 0, 3, 0xFF);
        theme.AddToSelection(1, 1, 3, 0xFF);
        dialog.m_Theme = &theme;
    }
    int Run(std::function<void(QWidget*)> steps) {
        WhenModal(std::move(steps));
        return dialog.DoModal();
    }

    CScriptedUserInterface ui;
    CTheme theme;
    CAttributeMergerDialog dialog;
};

TEST_F(AttributeMergerTest, ListsTheSelectedShapesInSelectionOrderAboveAnEmptyResultRow) {
    const int answer = Run([&](QWidget* shown) {
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("Merge Attributes"));
        CColumnExEditListCtrl* list = List(shown);
        ASSERT_EQ(list->GetColumnCount(), 2);
        EXPECT_EQ(list->GetColumnHeading(1), "VALUE");
        EXPECT_EQ(list->GetColumnWidth(0), 70);
        ASSERT_EQ(list->GetItemCount(), 4);
        EXPECT_EQ(Row(shown, 0), (std::vector<std::string>{"south", "2"}));
        EXPECT_EQ(Row(shown, 1), (std::vector<std::string>{"north", "1.5"}));
        EXPECT_EQ(Row(shown, 2), (std::vector<std::string>{"middle", "abc"}));
        EXPECT_EQ(Row(shown, 3), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{3});
        EXPECT_EQ(list->currentRow(), 3);
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_CANCEL), Qt::LeftButton);
    });
    EXPECT_EQ(answer, corvale::IDCANCEL);
    EXPECT_TRUE(dialog.m_Result.empty());
}

TEST_F(AttributeMergerTest, OnlyTheResultRowIsEditedAndTakesTheTypedText) {
    const int answer = Run([&](QWidget* shown) {
        CColumnExEditListCtrl* list = List(shown);
        // An original row is not edited.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(list, 1, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(list, 1, 0));
        Settle();
        EXPECT_EQ(list->GetEditor(), nullptr);

        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(list, 3, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(list, 3, 0));
        Settle();
        ASSERT_NE(list->GetEditor(), nullptr);
        QTest::keyClicks(list->GetEditor(), "joined");
        QTest::keyClick(list->GetEditor(), Qt::Key_Tab);
        Settle();
        ASSERT_NE(list->GetEditor(), nullptr);
        EXPECT_EQ(list->GetEditor()->GetColumn(), 1);
        QTest::keyClicks(list->GetEditor(), "7");
        // Enter wraps to row 0, whose edit is refused.
        QTest::keyClick(list->GetEditor(), Qt::Key_Return);
        Settle();
        EXPECT_EQ(list->GetEditor(), nullptr);
        EXPECT_EQ(Row(shown, 3), (std::vector<std::string>{"joined", "7"}));
        EXPECT_EQ(Row(shown, 0), (std::vector<std::string>{"south", "2"}));
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_EQ(dialog.m_Result, (std::vector<std::string>{"joined", "7"}));
    // The theme's values are not the dialog's to change.
    EXPECT_EQ(theme.GetAttributeText(0, 0), "north");
}

TEST_F(AttributeMergerTest, OperationsWorkOnTheSelectedColumn) {
    const int answer = Run([&](QWidget* shown) {
        // Without a selected heading nothing happens but the message.
        Apply(shown, "Sum");
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No column selected."});
        EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);

        ClickHeading(shown, 0);
        Apply(shown, "Concatenate");
        EXPECT_EQ(List(shown)->GetItemText(3, 0), "southnorthmiddle");

        // Copy needs an original row: the result row is the one selected.
        ClickHeading(shown, 1);
        Apply(shown, "Copy");
        EXPECT_EQ(ui.Messages().size(), 2u);
        EXPECT_EQ(ui.Messages().back(),
                  "A column AND a row from the original attributes\nneed to be selected for Copy operation.");
        EXPECT_EQ(List(shown)->GetItemText(3, 1), "");
        CColumnExEditListCtrl* list = List(shown);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(list, 2, 1));
        Apply(shown, "Copy");
        EXPECT_EQ(List(shown)->GetItemText(3, 1), "abc");

        // 2 + 1.5 + 0 ("abc" holds no number).
        Apply(shown, "Sum");
        EXPECT_EQ(List(shown)->GetItemText(3, 1), "3.500000");
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(answer, IDOK);
    EXPECT_EQ(dialog.m_Result, (std::vector<std::string>{"southnorthmiddle", "3.500000"}));
}

TEST_F(AttributeMergerTest, SumIsWrittenWithAPointUnderACommaLocale) {
    CommaLocale comma;
    if (!comma.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    Run([&](QWidget* shown) {
        ClickHeading(shown, 1);
        Apply(shown, "Sum");
        EXPECT_EQ(List(shown)->GetItemText(3, 1), "3.500000");
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_CANCEL), Qt::LeftButton);
    });
}

TEST_F(AttributeMergerTest, TheLayoutFollowsTheDialogSize) {
    Run([&](QWidget* shown) {
        EXPECT_GE(shown->minimumWidth(), 450);
        EXPECT_GE(shown->minimumHeight(), 210);
        shown->resize(700, 400);
        QWidget* cancel = Control<QWidget>(shown, IDC_DIALOG_CANCEL);
        QWidget* ok = Control<QWidget>(shown, IDC_DIALOG_OK);
        QWidget* list = List(shown);
        EXPECT_EQ(cancel->geometry().right() + 1, 700 - 10);
        EXPECT_EQ(cancel->geometry().bottom() + 1, 400 - 11);
        EXPECT_EQ(ok->geometry().bottom() + 1, 400 - 18 - cancel->height());
        EXPECT_EQ(list->geometry().topLeft(), QPoint(11, 11));
        EXPECT_EQ(list->geometry().bottom() + 1, 400 - 11);
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_CANCEL), Qt::LeftButton);
    });
}

// The rows of a shape-file theme come from its dBase table; the expected
// values are what ogrinfo reads there (tests/data/dbf/make_fixtures.sh);
// numbers, since ogrinfo drops the leading blanks of texts, which are kept.
TEST(AttributeMergerShapeFile, MergesTheDbaseValues) {
    TempDir folder;
    CTheme theme;
    ASSERT_TRUE(OpenShapeFileTheme(theme, folder));
    theme.AddToSelection(0, 0, 3, 0xFF);
    theme.AddToSelection(1, 1, 3, 0xFF);

    std::ifstream ogrinfo(kTestData + "/dbf/gdal.ogrinfo.txt");
    const std::regex valueLine(R"(^\s+(COUNT|AREA) \(\w+\) = (.*)$)");
    std::map<std::string, std::vector<std::string>> values;
    for (std::string line; std::getline(ogrinfo, line);) {
        std::smatch match;
        if (std::regex_search(line, match, valueLine))
            values[match[1]].push_back(match[2]);
    }
    ASSERT_GE(values["AREA"].size(), 2u);
    const double sum = std::stod(values["AREA"][0]) + std::stod(values["AREA"][1]);
    char expectedSum[32];
    std::snprintf(expectedSum, sizeof expectedSum, "%f", sum);

    CScriptedUserInterface ui;
    CAttributeMergerDialog dialog;
    dialog.m_Theme = &theme;
    WhenModal([&](QWidget* shown) {
        EXPECT_EQ(List(shown)->GetItemText(0, 1), values["COUNT"][0]);
        EXPECT_EQ(List(shown)->GetItemText(1, 1), values["COUNT"][1]);
        EXPECT_EQ(List(shown)->GetItemText(1, 2), values["AREA"][1]);
        ClickHeading(shown, 1);
        Apply(shown, "Concatenate");
        ClickHeading(shown, 2);
        Apply(shown, "Sum");
        QTest::mouseClick(Control<QPushButton>(shown, IDC_DIALOG_OK), Qt::LeftButton);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.m_Result.size(), 5u);
    EXPECT_EQ(dialog.m_Result[1], values["COUNT"][0] + values["COUNT"][1]);
    EXPECT_EQ(dialog.m_Result[2], expectedSum);
    EXPECT_EQ(dialog.m_Result[0], "");
}

} // namespace
