// The Export Attributes dialog: the lists filled from the theme, the move
// buttons and double-clicks, the check box, and what OK hands back.

#include "ui/ThemeExportAttributeListDlg.h"

#include "core/Theme.h"
#include "formats/ThemeExport.h"
#include "ui/DialogButtons.h"

#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

namespace {

QStringList Texts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QListWidget* Available(QWidget* dialog) { return Control<QListWidget>(dialog, IDC_EXPORT_AVAILABLE); }
QListWidget* Exported(QWidget* dialog) { return Control<QListWidget>(dialog, IDC_EXPORT_EXPORTED); }
QPushButton* Button(QWidget* dialog, int id) { return Control<QPushButton>(dialog, id); }

void DoubleClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

struct ColumnTheme {
    CTheme theme;
    ColumnTheme() {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Point;
        theme.m_Editable = true;
        for (const char* name : {"ID", "SECRET", "NAME", "AREA"}) {
            CAttributeFieldInfo info;
            info.m_Name = name;
            info.m_Type = FT_String;
            info.m_Length = 10;
            theme.AddAttribute(info, nullptr, nullptr);
        }
        theme.m_AttributeColumns = {{true}, {false}};
    }
};

TEST(ThemeExportAttributeListDlg, ButtonsDoubleClicksAndCheckBox) {
    ColumnTheme fixture;
    CThemeExportAttributeListDlg dialog(fixture.theme);
    std::vector<std::string> seen;
    WhenModal([&](QWidget* modal) {
        QListWidget* available = Available(modal);
        QListWidget* exported = Exported(modal);
        ASSERT_NE(available, nullptr);
        EXPECT_EQ(modal->windowTitle(), "Export Attributes");
        EXPECT_EQ(Texts(available), (QStringList{"ID", "NAME", "AREA"}));
        EXPECT_FALSE(Button(modal, IDC_EXPORT_ADD)->isEnabled());
        EXPECT_TRUE(Button(modal, IDC_EXPORT_ADD_ALL)->isEnabled());
        EXPECT_FALSE(Button(modal, IDC_EXPORT_REMOVE_ALL)->isEnabled());

        // Select AREA and press ">", then double-click ID.
        available->item(2)->setSelected(true);
        EXPECT_TRUE(Button(modal, IDC_EXPORT_ADD)->isEnabled());
        QTest::mouseClick(Button(modal, IDC_EXPORT_ADD), Qt::LeftButton);
        DoubleClickRow(available, 0);
        EXPECT_EQ(Texts(exported), (QStringList{"AREA", "ID"}));
        EXPECT_EQ(exported->item(0)->data(Qt::UserRole).toInt(), 3);
        EXPECT_EQ(Texts(available), (QStringList{"NAME"}));

        // The check box off offers the hidden column too.
        auto* box = Control<QCheckBox>(modal, IDC_EXPORT_ONLY_VISIBLE);
        ASSERT_TRUE(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        EXPECT_EQ(Texts(available), (QStringList{"SECRET", "NAME"}));

        // "<" on AREA sends it back to the end of the available list.
        exported->item(0)->setSelected(true);
        QTest::mouseClick(Button(modal, IDC_EXPORT_REMOVE), Qt::LeftButton);
        EXPECT_EQ(Texts(available), (QStringList{"SECRET", "NAME", "AREA"}));
        QTest::mouseClick(Button(modal, IDC_EXPORT_ADD_ALL), Qt::LeftButton);
        EXPECT_EQ(Texts(exported), (QStringList{"ID", "SECRET", "NAME", "AREA"}));
        EXPECT_FALSE(Button(modal, IDC_EXPORT_ADD_ALL)->isEnabled());
        QTest::mouseClick(Button(modal, IDC_DIALOG_OK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.m_Names, (std::vector<std::string>{"ID", "SECRET", "NAME", "AREA"}));
    EXPECT_EQ(dialog.m_OnlyVisible, 0);
}

TEST(ThemeExportAttributeListDlg, InstalledAsTheExportersChooser) {
    ColumnTheme fixture;
    const int row = fixture.theme.AppendAttributeRow();
    fixture.theme.SetAttributeText(row, 2, "Oslo", false);
    InstallExportAttributeChooser(nullptr);
    // Cancel writes nothing; OK with NAME writes its column.
    WhenModal([](QWidget* modal) { QTest::mouseClick(Button(modal, IDC_DIALOG_CANCEL), Qt::LeftButton); });
    std::ostringstream cancelled;
    CThemeTableExport().Export(cancelled, &fixture.theme, true);
    EXPECT_EQ(cancelled.str(), "");
    SetExportAttributeChooser(nullptr);
}

} // namespace
