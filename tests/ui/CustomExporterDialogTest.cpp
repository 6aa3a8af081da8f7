// The "Export Format" chooser: rows from the two arrays, the first row
// chosen at first, OK only while a row is selected, double-click as OK.

#include "ui/CustomExporterDialog.h"

#include "framework/UserInterface.h"
#include "ui/DialogButtons.h"
#include "ui/ExportDialogs.h"
#include "ui/SmallDialogs.h"
#include "workspace/DocExport.h"

#include "UiTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QTreeWidget* List(QWidget* dialog) { return Control<QTreeWidget>(dialog, IDC_CUSTOM_EXPORTER_LIST); }
QPushButton* Ok(QWidget* dialog) { return Control<QPushButton>(dialog, IDC_DIALOG_OK); }

void Fill(CCustomExporterDialog& dialog) {
    dialog.m_ExporterNames = {"Shape", "GPX", "MIF"};
    dialog.m_ExporterDescriptions = {"Shape format", "GPS eXchange Format", "MapInfo interchange"};
}

TEST(CustomExporterDialog, RowsColumnsAndTheFirstRowChosen) {
    CCustomExporterDialog dialog;
    Fill(dialog);
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Export Format");
    QTreeWidget* list = List(&dialog);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->headerItem()->text(0), "Name");
    EXPECT_EQ(list->headerItem()->text(1), "Description");
    EXPECT_EQ(list->columnWidth(0), 120);
    EXPECT_EQ(list->columnWidth(1), 180);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "GPX");
    EXPECT_EQ(list->topLevelItem(2)->text(1), "MapInfo interchange");
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
}

// Long names and descriptions are shown whole: the columns grow to them and
// the list to the columns.
TEST(CustomExporterDialog, LongNamesAndDescriptionsAreShownWhole) {
    CCustomExporterDialog dialog;
    dialog.m_ExporterNames = {"Shape", "Ostrela Interchange Format"};
    dialog.m_ExporterDescriptions = {"Shape format", "Exports to MIF/MID format files for the desktop"};
    dialog.OnInitDialog();
    dialog.show();
    QApplication::processEvents();
    QTreeWidget* list = List(&dialog);
    const QFontMetrics metrics(list->font());
    for (int column = 0; column < 2; ++column) {
        const QString text = list->topLevelItem(1)->text(column);
        EXPECT_GT(list->columnWidth(column), metrics.horizontalAdvance(text)) << text.toStdString();
    }
    EXPECT_GE(list->viewport()->width(), list->columnWidth(0) + list->columnWidth(1));
}

TEST(CustomExporterDialog, OkFollowsTheSelectionAndDoesNothingWithoutOne) {
    CCustomExporterDialog dialog;
    Fill(dialog);
    dialog.OnInitDialog();
    QTreeWidget* list = List(&dialog);
    list->clearSelection();
    EXPECT_FALSE(Ok(&dialog)->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.m_ChosenIndex, -1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    list->topLevelItem(2)->setSelected(true);
    EXPECT_TRUE(Ok(&dialog)->isEnabled());
}

TEST(CustomExporterDialog, ChoiceByOkByDoubleClickAndCancel) {
    struct Case {
        const char* how;
        int row;
        int answer;
        int chosen;
    } cases[] = {{"ok", 1, corvale::IDOK, 1}, {"double-click", 2, corvale::IDOK, 2},
                 {"cancel", 1, corvale::IDCANCEL, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        CCustomExporterDialog dialog;
        Fill(dialog);
        const std::string how = c.how;
        const int row = c.row;
        WhenModal([how, row](QWidget* modal) {
            QTreeWidget* list = List(modal);
            QTreeWidgetItem* item = list->topLevelItem(row);
            const QPoint at = list->visualItemRect(item).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (how == "double-click")
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            else if (how == "ok")
                QTest::mouseClick(Ok(modal), Qt::LeftButton);
            else
                QTest::mouseClick(Control<QPushButton>(modal, IDC_DIALOG_CANCEL), Qt::LeftButton);
            if (modal->isVisible())
                static_cast<QDialog*>(modal)->reject(); // never leave the test hanging
        });
        EXPECT_EQ(dialog.DoModal(), c.answer);
        EXPECT_EQ(dialog.m_ChosenIndex, c.chosen);
    }
}

// The Export command's services: the chooser answers the row clicked, the
// confirmation the boxes as left.
TEST(ExportDialogs, ChooserAndConfirmationAnswerTheCommand) {
    CDocumentExportServices services;
    InstallExportDialogs(services, nullptr);
    ASSERT_TRUE(services.chooseFormat && services.confirmShapeExport);

    WhenModal([](QWidget* modal) {
        QTreeWidget* list = List(modal);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
        QTest::mouseClick(Ok(modal), Qt::LeftButton);
        if (modal->isVisible())
            static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_EQ(services.chooseFormat({"Shape", "GPX", "MIF"}, {"a", "b", "c"}), 2);

    struct Case {
        bool uncheckIndex;
        bool uncheckAttributes;
        bool ok;
    } cases[] = {{false, false, true}, {true, false, true}, {true, true, true}, {false, false, false}};
    for (const Case& c : cases) {
        WhenModal([c](QWidget* modal) {
            EXPECT_EQ(modal->windowTitle(), "Export to Shape File");
            QCheckBox* index = Control<QCheckBox>(modal, IDC_EXPORT_SHX);
            QCheckBox* attributes = Control<QCheckBox>(modal, IDC_EXPORT_DBF);
            EXPECT_TRUE(index->isChecked() && attributes->isChecked());
            if (c.uncheckIndex)
                QTest::mouseClick(index, Qt::LeftButton);
            if (c.uncheckAttributes)
                QTest::mouseClick(attributes, Qt::LeftButton);
            QTest::mouseClick(Control<QPushButton>(modal, c.ok ? IDC_DIALOG_OK : IDC_DIALOG_CANCEL),
                              Qt::LeftButton);
            if (modal->isVisible())
                static_cast<QDialog*>(modal)->reject();
        });
        bool index = true;
        bool attributes = true;
        EXPECT_EQ(services.confirmShapeExport(index, attributes), c.ok);
        if (c.ok) {
            EXPECT_EQ(index, !c.uncheckIndex);
            EXPECT_EQ(attributes, !c.uncheckAttributes);
        }
    }
}

} // namespace
