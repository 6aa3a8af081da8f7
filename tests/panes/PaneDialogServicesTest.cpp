// The grid panes' dialog services: the attribute pane's Query, Find and Go
// To commands are enabled once the services are installed, and each dialog
// acts on the pane that opened it; the table check's dialogs answer the
// duplicate flow; the statistics ask which rows count when rows are selected.

#include "GridPaneTestSupport.h"

#include "panes/AttributesGridPane.h"
#include "panes/PaneDialogServices.h"
#include "ui/FindDialogs.h"
#include "ui/QueryDialog.h"
#include "ui/SmallDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class InstalledServices : public CDialogGridPaneServices {
public:
    InstalledServices() { SetGridPaneServices(this); }
    ~InstalledServices() override { SetGridPaneServices(nullptr); }
    int beeps = 0;
    void Beep() override { ++beeps; }
};

class PaneDialogServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        theme = AddTableTheme(doc, {{"NAME", FT_String}, {"POP", FT_Int}},
                              {{"Alba", "10"}, {"Brora", "7"}, {"Croy", "3"}, {"Dores", "7"}});
        window.resize(500, 300);
        pane = new CAttributesGridPane(&window);
        pane->resize(500, 300);
        window.show();
        pane->SetDocument(&doc);
    }
    void TearDown() override { pane->SetDocument(nullptr); }

    bool Enabled(unsigned id) {
        CCmdUI ui(id);
        return pane->OnCmdMsg(id, &ui) && ui.m_Enabled;
    }
    std::vector<int> ThemeSelection() const {
        std::vector<int> shapes;
        for (const auto& entry : theme->m_Selection)
            shapes.push_back(entry.first);
        return shapes;
    }

    corvale::CScriptedUserInterface ui;
    InstalledServices services;
    CCorvaleDoc doc;
    CTheme* theme = nullptr;
    QWidget window;
    CAttributesGridPane* pane = nullptr;
};

} // namespace

TEST_F(PaneDialogServicesTest, QueryRunsAgainstThePanesTheme) {
    for (unsigned id : {static_cast<unsigned>(ID_TABLE_QUERY), static_cast<unsigned>(ID_TABLE_FIND),
                        static_cast<unsigned>(ID_TABLE_GO_TO)})
        EXPECT_TRUE(Enabled(id)) << id;
    ASSERT_TRUE(pane->OnCmdMsg(ID_TABLE_QUERY, nullptr));
    CQueryDialog* dialog = services.GetQueryDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    // The engine's functions are offered.
    EXPECT_EQ(dialog->m_FunctionNames.front(), "sqrt");
    EXPECT_EQ(dialog->findChild<QComboBox*>(QString::number(IDC_QUERY_FUNCTIONS))->count(), 7);

    dialog->findChild<QPlainTextEdit*>(QString::number(IDC_QUERY_TEXT))
        ->setPlainText(QStringLiteral("[POP] = 7"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_QUERY_SELECT)),
                      Qt::LeftButton);
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{1, 3}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Query resulted in 2 matches,", 0), 0u);

    // A query the engine refuses shows its message as an error.
    dialog->findChild<QPlainTextEdit*>(QString::number(IDC_QUERY_TEXT))
        ->setPlainText(QStringLiteral("[NOPE] = 1"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_QUERY_COUNT)),
                      Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Error);

    // The theme going empties the column list of the open dialog.
    pane->SetDocument(nullptr);
    EXPECT_EQ(dialog->GetTheme(), nullptr);
}

TEST_F(PaneDialogServicesTest, FindNextSelectsTheRowFound) {
    ASSERT_TRUE(pane->OnCmdMsg(ID_TABLE_FIND, nullptr));
    CFindDialog* dialog = services.GetFindDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QComboBox*>(QString::number(IDC_FIND_TEXT))
        ->setEditText(QStringLiteral("croy"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_FIND_NEXT)),
                      Qt::LeftButton);
    EXPECT_EQ(pane->GetSelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(ThemeSelection(), (std::vector<int>{2}));

    // Only the checked columns are searched while the column list is shown.
    dialog->findChild<QComboBox*>(QString::number(IDC_FIND_TEXT))->setEditText(QStringLiteral("7"));
    dialog->OnAdvanced();
    dialog->CheckField(1, false);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_FIND_NEXT)),
                      Qt::LeftButton);
    EXPECT_EQ(services.beeps, 1);
}

TEST_F(PaneDialogServicesTest, GoToMovesToTheLineAndRefusesLinesBeyondTheTable) {
    ASSERT_TRUE(pane->OnCmdMsg(ID_TABLE_GO_TO, nullptr));
    CGoToDialog* dialog = services.GetGoToDialog();
    ASSERT_NE(dialog, nullptr);
    auto* number = dialog->findChild<QLineEdit*>(QString::number(IDC_GOTO_NUMBER));
    number->setText(QStringLiteral("3"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_GOTO_GO)),
                      Qt::LeftButton);
    EXPECT_EQ(services.beeps, 0);
    number->setText(QStringLiteral("9"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDC_GOTO_GO)),
                      Qt::LeftButton);
    EXPECT_EQ(services.beeps, 1);
}

TEST_F(PaneDialogServicesTest, DuplicateCheckOffersFindForTheChosenValue) {
    pane->GetModel()->SetHeadingSelected(1, true);
    ASSERT_TRUE(Enabled(ID_COLUMN_CHECK_DUPLICATES));
    QString caption;
    QStringList rows;
    QTimer::singleShot(0, [&] {
        // The options first, then the result.
        auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(options, nullptr);
        options->accept();
        QTimer::singleShot(0, [&] {
            auto* result = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(result, nullptr);
            caption = result->windowTitle();
            auto* list = result->findChild<QTreeWidget*>(QString::number(IDC_DUPLICATE_LIST));
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                rows << list->topLevelItem(row)->text(0) + QLatin1Char('=') +
                            list->topLevelItem(row)->text(1);
            list->setCurrentItem(list->topLevelItem(0));
            QTest::mouseClick(result->findChild<QPushButton*>(QString::number(IDC_DUPLICATE_FIND)),
                              Qt::LeftButton);
        });
    });
    ASSERT_TRUE(pane->OnCmdMsg(ID_COLUMN_CHECK_DUPLICATES, nullptr));
    EXPECT_EQ(caption, QStringLiteral("Duplicate Data Items"));
    EXPECT_EQ(rows, QStringList{QStringLiteral("7=2")});
    // The find box opens on the value, searching that column only.
    CFindDialog* find = services.GetFindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->findChild<QComboBox*>(QString::number(IDC_FIND_TEXT))->currentText(),
              QStringLiteral("7"));
    EXPECT_EQ(find->GetCheckedFields(), (std::vector<bool>{false, true}));
    EXPECT_TRUE(find->m_Advanced);
}

TEST_F(PaneDialogServicesTest, StatisticsWithSelectedRowsAskWhichRowsCount) {
    const unsigned sum = ID_COLUMN_STATISTICS_FIRST + 2;
    pane->GetModel()->SetHeadingSelected(1, true);
    // Alba (10) and Croy (3) selected.
    theme->AddToSelection(0, 0, 3, 0);
    theme->AddToSelection(2, 2, 3, 0);
    doc.FireUpdateEvent(nullptr, DUE_SelectionChanged, -3);
    ASSERT_EQ(pane->GetSelectedRows(), (std::vector<int>{0, 2}));
    ASSERT_TRUE(Enabled(sum)) << "the rows are asked for, not refused";

    // Answers the dialog with the radio of that text, or cancels it; notes
    // the caption and the radio checked when it opened.
    QString caption;
    QString checkedAtOpen;
    auto answer = [&](const QString& choice) {
        QTimer::singleShot(0, [&, choice] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            caption = dialog->windowTitle();
            for (QRadioButton* radio : dialog->findChildren<QRadioButton*>()) {
                if (radio->isChecked())
                    checkedAtOpen = radio->text();
                if (radio->text() == choice)
                    QTest::mouseClick(radio, Qt::LeftButton);
            }
            if (choice.isEmpty())
                dialog->reject();
            else
                dialog->accept();
        });
    };
    const std::string heading = "The sum of all numeric fields in column 'POP' was:\r\n";
    answer(QStringLiteral("Selected shapes"));
    ASSERT_TRUE(pane->OnCmdMsg(sum, nullptr));
    EXPECT_EQ(caption, QStringLiteral("Selection"));
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back(), heading + "13.000000");

    // The choice is kept for the next time.
    answer(QStringLiteral("Unselected shapes"));
    ASSERT_TRUE(pane->OnCmdMsg(sum, nullptr));
    EXPECT_EQ(checkedAtOpen, QStringLiteral("Selected shapes"));
    EXPECT_EQ(ui.Messages().back(), heading + "14.000000");

    const std::size_t shown = ui.Messages().size();
    answer(QString());
    ASSERT_TRUE(pane->OnCmdMsg(sum, nullptr));
    EXPECT_EQ(checkedAtOpen, QStringLiteral("Unselected shapes"));
    EXPECT_EQ(ui.Messages().size(), shown) << "cancelled: nothing computed";

    answer(QStringLiteral("All shapes"));
    ASSERT_TRUE(pane->OnCmdMsg(sum, nullptr));
    EXPECT_EQ(ui.Messages().back(), heading + "27.000000");
}
