// The Workspace Properties dialog: its four tabs filled from the values, the
// checks of OK, and the values handed back.

#include "UiTestSupport.h"

#include "crs/RefSysTable.h"
#include "framework/ScriptedUserInterface.h"
#include "ui/WorkspacePropertiesDialog.h"
#include "ui/controls/ColourPickerXP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

CWorkspacePropertyValues SomeValues() {
    CWorkspacePropertyValues values;
    values.m_BackgroundColor = 0x00112233;
    values.m_Description = "Harbour survey";
    values.m_GridX = 2.5;
    values.m_GridY = 10.0;
    values.m_ShowOnOpen = true;
    values.m_RefSystem = 1;
    values.m_EarthRadius = 6371000.0;
    values.m_Page = 1;
    return values;
}

// Runs the dialog; step acts on it once it is shown modal.
int RunDialog(CWorkspaceProperties& dialog, std::function<void(CWorkspaceProperties&)> step) {
    WhenModal([&dialog, step](QWidget*) { step(dialog); });
    return dialog.DoModal();
}

} // namespace

TEST(WorkspacePropertiesDialog, ShowsAndReturnsTheValues) {
    corvale::CScriptedUserInterface ui;
    CWorkspaceProperties dialog;
    dialog.m_Values = SomeValues();
    const int answer = RunDialog(dialog, [](CWorkspaceProperties& d) {
        EXPECT_EQ(d.GetTabs()->currentIndex(), 1);
        EXPECT_EQ(d.GetTabs()->tabText(0), "General");
        EXPECT_EQ(d.GetTabs()->tabText(3), "Comment");
        EXPECT_EQ(Control<QLineEdit>(&d, IDC_WORKSPACE_GRID_X)->text(), "2.5");
        auto* combo = Control<QComboBox>(&d, IDC_WORKSPACE_REFSYS);
        EXPECT_EQ(combo->itemText(0), "Unknown");
        EXPECT_EQ(combo->count(), kRefSysCount + 1);
        EXPECT_EQ(combo->currentData().toInt(), 1);
        EXPECT_EQ(Control<QPlainTextEdit>(&d, IDC_WORKSPACE_DESCRIPTION)->toPlainText(), "Harbour survey");
        EXPECT_TRUE(Control<QCheckBox>(&d, IDC_WORKSPACE_SHOW_ON_OPEN)->isChecked());
        EXPECT_EQ(Control<CColourPickerXP>(&d, IDC_WORKSPACE_BACKGROUND)->GetColour(true), 0x00112233u);

        Control<QLineEdit>(&d, IDC_WORKSPACE_GRID_Y)->setText("-4");
        combo->setCurrentIndex(0);
        Control<QPlainTextEdit>(&d, IDC_WORKSPACE_DESCRIPTION)->setPlainText("Changed");
        Control<QCheckBox>(&d, IDC_WORKSPACE_SHOW_ON_OPEN)->setChecked(false);
        d.accept();
    });
    EXPECT_EQ(answer, corvale::IDOK);
    EXPECT_EQ(dialog.m_Values.m_GridX, 2.5);
    EXPECT_EQ(dialog.m_Values.m_GridY, -4.0);
    EXPECT_EQ(dialog.m_Values.m_RefSystem, -1);
    EXPECT_EQ(dialog.m_Values.m_Description, "Changed");
    EXPECT_FALSE(dialog.m_Values.m_ShowOnOpen);
    EXPECT_EQ(dialog.m_Values.m_BackgroundColor, 0x00112233u);
    EXPECT_EQ(dialog.m_Values.m_EarthRadius, 6371000.0);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(WorkspacePropertiesDialog, BadGridValueKeepsTheGridTabOpen) {
    struct Case {
        const char* x;
        const char* y;
        const char* message;
        int focusField;
    };
    const Case cases[] = {
        {"0", "1", "X-value may not be zero.\nPlease enter a non-zero value.", IDC_WORKSPACE_GRID_X},
        {"1", "0", "Y-value may not be zero.\nPlease enter a non-zero value.", IDC_WORKSPACE_GRID_Y},
        {"1", "0.0", "Y-value may not be zero.\nPlease enter a non-zero value.", IDC_WORKSPACE_GRID_Y},
        {"abc", "1", "Please enter a number.", IDC_WORKSPACE_GRID_X},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        corvale::CScriptedUserInterface ui;
        CWorkspaceProperties dialog;
        dialog.m_Values = SomeValues();
        dialog.m_Values.m_Page = 3;
        const int answer = RunDialog(dialog, [&c](CWorkspaceProperties& d) {
            Control<QLineEdit>(&d, IDC_WORKSPACE_GRID_X)->setText(c.x);
            Control<QLineEdit>(&d, IDC_WORKSPACE_GRID_Y)->setText(c.y);
            d.accept();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.GetTabs()->currentIndex(), 1);
            EXPECT_EQ(d.GetGridPage()->focusWidget(), Control<QLineEdit>(&d, c.focusField));
            d.reject();
        });
        EXPECT_EQ(answer, corvale::IDCANCEL);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(dialog.m_Values.m_GridY, 10.0);
    }
}
