// The small input dialogs: the view rectangle's arithmetic and checks, the
// grid sizes, map centre, typed values, the combo choice, the point-count
// choices kept between openings, and the installed view services.

#include "UiTestSupport.h"

#include "framework/ScriptedUserInterface.h"
#include "ui/SmallDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Runs the dialog; step acts on it once it is shown modal, then OK is
// pressed; a dialog still open after OK (a refused value) is cancelled, and
// still counts as refused.
int RunAndOk(CSmallDialog& dialog, std::function<void(QWidget*)> step, bool* refused = nullptr,
             int* focused = nullptr) {
    WhenModal([&dialog, step, refused, focused](QWidget*) {
        if (step)
            step(&dialog);
        dialog.accept();
        if (refused != nullptr)
            *refused = dialog.isVisible();
        if (focused != nullptr && dialog.focusWidget() != nullptr)
            *focused = dialog.focusWidget()->objectName().toInt();
        if (dialog.isVisible())
            dialog.reject();
    });
    return dialog.DoModal();
}

void Type(QWidget* dialog, int id, const char* text) { Control<QLineEdit>(dialog, id)->setText(QString::fromUtf8(text)); }

QString Text(QWidget* dialog, int id) { return Control<QLineEdit>(dialog, id)->text(); }

} // namespace

TEST(ViewRectDialog, PresetsFieldsAndKeepsTheAspectRatio) {
    struct Case {
        double x0, y0, x1, y1;
        double width, height, aspect;
    };
    const Case cases[] = {
        {0, 0, 10, 20, 10, 20, 2.0},
        // Corners given the other way round: sizes stay positive.
        {10, 20, 0, 0, 10, 20, 2.0},
        {-5, 1, 5, 6, 10, 5, 0.5},
        // No width: no ratio to keep, a square one stands in.
        {3, 0, 3, 8, 0, 8, 1.0},
    };
    for (const Case& c : cases) {
        CViewRectDialog dialog;
        dialog.SetViewRect(c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(dialog.m_Left, c.x0);
        EXPECT_EQ(dialog.m_Right, c.x1);
        EXPECT_EQ(dialog.m_Top, c.y1);
        EXPECT_EQ(dialog.m_Bottom, c.y0);
        EXPECT_EQ(dialog.m_Width, c.width);
        EXPECT_EQ(dialog.m_Height, c.height);
        EXPECT_DOUBLE_EQ(dialog.m_Aspect, c.aspect);
    }
}

TEST(ViewRectDialog, OkTakesLeftRightTopAndDerivesTheBottom) {
    corvale::CScriptedUserInterface ui;
    CViewRectDialog dialog;
    dialog.SetViewRect(0, 0, 10, 20);
    QString presetTop;
    const int answer = RunAndOk(dialog, [&](QWidget* d) {
        presetTop = Text(d, IDC_VIEWRECT_TOP);
        Type(d, IDC_VIEWRECT_LEFT, "100");
        Type(d, IDC_VIEWRECT_RIGHT, "104");
        Type(d, IDC_VIEWRECT_TOP, "50");
        // The typed bottom is not used: the view keeps its shape.
        Type(d, IDC_VIEWRECT_BOTTOM, "49");
    });
    ASSERT_EQ(answer, corvale::IDOK);
    EXPECT_EQ(presetTop, "20");
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    dialog.GetViewRect(x0, y0, x1, y1);
    EXPECT_EQ(std::vector<double>({x0, y0, x1, y1}), std::vector<double>({100, 42, 104, 50}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ViewRectDialog, RecalculateFillsBottomWidthAndHeight) {
    corvale::CScriptedUserInterface ui;
    CViewRectDialog dialog;
    dialog.SetViewRect(0, 0, 10, 5);
    QStringList shown;
    RunAndOk(dialog, [&](QWidget* d) {
        Type(d, IDC_VIEWRECT_LEFT, "2");
        Type(d, IDC_VIEWRECT_RIGHT, "6");
        Type(d, IDC_VIEWRECT_TOP, "10");
        Control<QPushButton>(d, IDC_VIEWRECT_RECALCULATE)->click();
        shown << Text(d, IDC_VIEWRECT_BOTTOM) << Text(d, IDC_VIEWRECT_WIDTH) << Text(d, IDC_VIEWRECT_HEIGHT);
    });
    EXPECT_EQ(shown, (QStringList{"8", "4", "2"}));
}

TEST(ViewRectDialog, LeftBeyondRightIsRefusedEqualSidesPass) {
    struct Case {
        const char* left;
        const char* right;
        bool refused;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"5", "1", true, {"Left needs to be smaller them Right."}},
        {"5", "5", false, {}},
        {"abc", "5", true, {"Please enter a number."}},
        // Beyond the largest double.
        {"1e400", "5", true, {"Please enter a number."}},
    };
    for (const Case& c : cases) {
        corvale::CScriptedUserInterface ui;
        CViewRectDialog dialog;
        dialog.SetViewRect(0, 0, 10, 20);
        bool refused = false;
        RunAndOk(
            dialog,
            [&](QWidget* d) {
                Type(d, IDC_VIEWRECT_LEFT, c.left);
                Type(d, IDC_VIEWRECT_RIGHT, c.right);
            },
            &refused);
        EXPECT_EQ(refused, c.refused) << c.left << " " << c.right;
        EXPECT_EQ(ui.Messages(), c.messages) << c.left << " " << c.right;
    }
    // Recalculate shows the same refusal and leaves the fields.
    corvale::CScriptedUserInterface ui;
    CViewRectDialog dialog;
    dialog.SetViewRect(0, 0, 10, 20);
    QString bottom;
    RunAndOk(dialog, [&](QWidget* d) {
        Type(d, IDC_VIEWRECT_LEFT, "9");
        Type(d, IDC_VIEWRECT_RIGHT, "1");
        Control<QPushButton>(d, IDC_VIEWRECT_RECALCULATE)->click();
        bottom = Text(d, IDC_VIEWRECT_BOTTOM);
    });
    EXPECT_EQ(bottom, "0");
    EXPECT_EQ(ui.Messages(), std::vector<std::string>(2, "Left needs to be smaller them Right."));
}

TEST(GridDefinitionDialog, ZeroSizesAreRefusedNegativeOnesPass) {
    struct Case {
        const char* x;
        const char* y;
        bool refused;
        int focused;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"0", "0", true, IDC_GRID_X, {"X-value may not be zero.\nPlease enter a non-zero value."}},
        {"2", "0", true, IDC_GRID_Y, {"Y-value may not be zero.\nPlease enter a non-zero value."}},
        {"-2", "-0.5", false, 0, {}},
    };
    for (const Case& c : cases) {
        corvale::CScriptedUserInterface ui;
        CGridDefinitionDialog dialog;
        dialog.m_GridX = 1;
        dialog.m_GridY = 1;
        bool refused = false;
        int focused = 0;
        RunAndOk(
            dialog,
            [&](QWidget* d) {
                Type(d, IDC_GRID_X, c.x);
                Type(d, IDC_GRID_Y, c.y);
            },
            &refused, &focused);
        EXPECT_EQ(refused, c.refused) << c.x << " " << c.y;
        EXPECT_EQ(ui.Messages(), c.messages);
        if (c.refused) {
            EXPECT_EQ(ui.shown.front().icon, corvale::MessageIcon::Error);
            EXPECT_EQ(focused, c.focused);
        } else {
            EXPECT_EQ(dialog.m_GridX, -2.0);
            EXPECT_EQ(dialog.m_GridY, -0.5);
        }
    }
}

TEST(CenterMapDialog, ShowsAndReturnsThePoint) {
    corvale::CScriptedUserInterface ui;
    CCenterMapDialog dialog;
    dialog.m_X = 5;
    dialog.m_Y = -2.5;
    QStringList preset;
    const int answer = RunAndOk(dialog, [&](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), "Center Map");
        preset << Text(d, IDC_CENTER_X) << Text(d, IDC_CENTER_Y);
        Type(d, IDC_CENTER_X, "7.25");
    });
    ASSERT_EQ(answer, corvale::IDOK);
    EXPECT_EQ(preset, (QStringList{"5", "-2.5"}));
    EXPECT_EQ(dialog.m_X, 7.25);
    EXPECT_EQ(dialog.m_Y, -2.5);
}

TEST(InputDialog, TextOrIntegerByMode) {
    struct Case {
        int mode;
        const char* typed;
        bool refused;
    };
    const Case cases[] = {{0, "any text 12", false}, {1, "42", false}, {1, "4.5", true}, {1, "x", true}};
    for (const Case& c : cases) {
        corvale::CScriptedUserInterface ui;
        CInputDialog dialog(c.mode, "Name");
        bool refused = false;
        QString title;
        RunAndOk(
            dialog,
            [&](QWidget* d) {
                title = d->windowTitle();
                Type(d, IDC_INPUT_VALUE, c.typed);
            },
            &refused);
        EXPECT_EQ(title, "Name");
        EXPECT_EQ(refused, c.refused) << c.typed;
        if (!c.refused && c.mode == 0) {
            EXPECT_EQ(dialog.m_Text, c.typed);
        }
        if (!c.refused && c.mode == 1) {
            EXPECT_EQ(dialog.m_Integer, 42);
        }
    }
    EXPECT_EQ(CInputDialog().windowTitle(), "Input");
}

TEST(ComboBoxDialog, InitialIndexAndSelectedData) {
    struct Case {
        int initial;
        int choose; // -2 leaves the combo as it opened
        int shownIndex;
        long data;
    };
    const Case cases[] = {
        {-1, -2, -1, -1},
        {1, -2, 1, 20},
        // Beyond the list: nothing is selected.
        {3, -2, -1, -1},
        {-1, 2, -1, 30},
    };
    for (const Case& c : cases) {
        CComboBoxDialog dialog;
        dialog.m_Items = {{"one", 10}, {"two", 20}, {"three", 30}};
        dialog.m_Selected = c.initial;
        int shown = -5;
        RunAndOk(dialog, [&](QWidget* d) {
            auto* combo = Control<QComboBox>(d, IDC_COMBOBOX_LIST);
            shown = combo->currentIndex();
            if (c.choose != -2)
                combo->setCurrentIndex(c.choose);
        });
        EXPECT_EQ(shown, c.shownIndex) << c.initial;
        EXPECT_EQ(dialog.GetSelectedItemData(), c.data) << c.initial;
    }
    EXPECT_EQ(CComboBoxDialog().windowTitle(), "Select");
}

TEST(PointCountSelectionDialog, ChoicesAreProposedAgain) {
    {
        CPointCountSelectionDialog first;
        QStringList opened;
        RunAndOk(first, [&](QWidget* d) {
            opened << Control<QComboBox>(d, IDC_POINTCOUNT_PARTS)->currentText()
                   << Control<QComboBox>(d, IDC_POINTCOUNT_COMPARISON)->currentText() << Text(d, IDC_POINTCOUNT_COUNT);
            Control<QComboBox>(d, IDC_POINTCOUNT_PARTS)->setCurrentIndex(1);
            Control<QComboBox>(d, IDC_POINTCOUNT_COMPARISON)->setCurrentIndex(2);
            Type(d, IDC_POINTCOUNT_COUNT, "7");
        });
        EXPECT_EQ(opened, (QStringList{"at least one part", "<", "2"}));
    }
    CPointCountSelectionDialog second;
    QStringList opened;
    RunAndOk(second, [&](QWidget* d) {
        opened << Control<QComboBox>(d, IDC_POINTCOUNT_PARTS)->currentText()
               << Control<QComboBox>(d, IDC_POINTCOUNT_COMPARISON)->currentText() << Text(d, IDC_POINTCOUNT_COUNT);
    });
    EXPECT_EQ(opened, (QStringList{"all parts", ">", "7"}));
    EXPECT_EQ(CPointCountSelectionDialog::s_Count, 7);
}

TEST(CheckDialogs, ExchangeTheirChecks) {
    CExportShapeConfirmationDialog exportDialog;
    exportDialog.m_CreateShx = true;
    exportDialog.m_CreateDbf = false;
    bool shownDbf = true;
    RunAndOk(exportDialog, [&](QWidget* d) {
        shownDbf = Control<QCheckBox>(d, IDC_EXPORT_DBF)->isChecked();
        Control<QCheckBox>(d, IDC_EXPORT_SHX)->setChecked(false);
    });
    EXPECT_FALSE(shownDbf);
    EXPECT_FALSE(exportDialog.m_CreateShx);
    EXPECT_FALSE(exportDialog.m_CreateDbf);

    CTableCheckDialog check;
    RunAndOk(check, [](QWidget* d) { Control<QCheckBox>(d, IDC_TABLECHECK_IGNORE_BLANK)->setChecked(true); });
    EXPECT_TRUE(check.m_IgnoreBlank);
}

TEST(ViewDialogServices, CenterMapAndViewRectangleAnswerThroughTheirDialogs) {
    corvale::CScriptedUserInterface ui;
    CDocumentDialogServices services;
    InstallViewDialogs(services, nullptr);
    ASSERT_TRUE(services.centerMap);
    ASSERT_TRUE(services.viewRectangle);

    double x = 1, y = 2;
    WhenModal([](QWidget* d) {
        Type(d, IDC_CENTER_X, "30");
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_TRUE(services.centerMap(x, y));
    EXPECT_EQ(x, 30.0);
    EXPECT_EQ(y, 2.0);

    WhenModal([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_FALSE(services.centerMap(x, y));
    EXPECT_EQ(x, 30.0);

    double extent[4] = {0, 0, 10, 20};
    WhenModal([](QWidget* d) {
        Type(d, IDC_VIEWRECT_RIGHT, "5");
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_TRUE(services.viewRectangle(extent));
    EXPECT_EQ(std::vector<double>(extent, extent + 4), std::vector<double>({0, 10, 5, 20}));

    // The grid opens with the spacings given and answers the ones entered.
    ASSERT_TRUE(services.gridDefinition);
    double gridX = 2.5, gridY = 4;
    std::string shownX;
    WhenModal([&shownX](QWidget* d) {
        shownX = Control<QLineEdit>(d, IDC_GRID_X)->text().toStdString();
        Type(d, IDC_GRID_Y, "10");
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_TRUE(services.gridDefinition(gridX, gridY));
    EXPECT_EQ(shownX, "2.5");
    EXPECT_EQ(gridX, 2.5);
    EXPECT_EQ(gridY, 10.0);
    WhenModal([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_FALSE(services.gridDefinition(gridX, gridY));
    EXPECT_EQ(gridY, 10.0);
}

TEST(VectorizationParametersDialog, SlidersMapToThresholds) {
    float colour = 35.0f;
    float greyscale = 0.125f;
    CVectorizationParametersDialog dialog(colour, greyscale);
    std::vector<int> opened;
    std::vector<float> applied;
    std::vector<float> reset;
    std::vector<std::string> shown;
    int titleRoom = 0;
    const int answer = RunAndOk(dialog, [&](QWidget* d) {
        auto* colourSlider = Control<QSlider>(d, IDC_VECTORIZE_COLOR);
        auto* greySlider = Control<QSlider>(d, IDC_VECTORIZE_GREYSCALE);
        opened = {colourSlider->value(), greySlider->value(), colourSlider->maximum(), colourSlider->tickInterval()};
        colourSlider->setValue(90);
        greySlider->setValue(64);
        // Each slider shows its position beside it.
        shown = {Control<QLabel>(d, IDC_VECTORIZE_COLOR_VALUE)->text().toStdString(),
                 Control<QLabel>(d, IDC_VECTORIZE_GREYSCALE_VALUE)->text().toStdString()};
        // The window is wide enough for its whole title.
        QFont bold = d->font();
        bold.setBold(true);
        titleRoom = d->width() - QFontMetrics(bold).horizontalAdvance(d->windowTitle());
        Control<QPushButton>(d, IDC_VECTORIZE_APPLY)->click();
        applied = {colour, greyscale};
        Control<QPushButton>(d, IDC_VECTORIZE_RESET)->click();
        reset = {colour, greyscale};
        colourSlider->setValue(0);
    });
    ASSERT_EQ(answer, corvale::IDOK);
    EXPECT_EQ(opened, (std::vector<int>{65, 32, 100, 10}));
    EXPECT_EQ(shown, (std::vector<std::string>{"90", "64"}));
    EXPECT_GE(titleRoom, 100);
    EXPECT_EQ(applied, (std::vector<float>{10.0f, 0.25f}));
    EXPECT_EQ(reset, (std::vector<float>{20.0f, 0.0390625f}));
    EXPECT_EQ(colour, 100.0f);
    EXPECT_EQ(greyscale, 0.0390625f);
}
