// Placing an image by hand: the calibration steps and their undo list, the
// control-point list and its fit, saving and reloading the world file.

#include "UiTestSupport.h"

#include "TempDir.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "ui/TransformImageDialog.h"
#include "ui/controls/ColumnExEditListCtrl.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// A 20 x 10 image at one map unit per pixel, loaded as the document loads one.
class TransformImageDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Path = m_Dir.file("scan.png");
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(QString::fromStdString(m_Path)));
        m_Theme = new CTheme;
        m_Theme->m_ShapeType = SHT_Image;
        m_Theme->m_SourceType = ST_ImageFile;
        ASSERT_TRUE(m_Theme->LoadRaster(m_Path));
        m_Doc.m_themes.push_back(m_Theme);
        m_Doc.m_updateEvent.AddHandler(this, &TransformImageDialogTest::OnUpdate);
        m_Dialog = std::make_unique<CTransformImageDialog>();
        m_Dialog->SetTheme(m_Theme, &m_Doc);
    }
    void TearDown() override {
        m_Dialog.reset();
        m_Doc.m_updateEvent.RemoveHandler(this);
    }
    void OnUpdate(const void*, int code, std::intptr_t) {
        if (code == DUE_Refresh)
            ++m_Refreshes;
    }

    QPushButton* Button(QWidget* page, const char* name) { return page->findChild<QPushButton*>(name); }
    QLineEdit* Edit(QWidget* page, const char* name) { return page->findChild<QLineEdit*>(name); }
    CTransformRasterCalibrationDlg& Calibration() { return *m_Dialog->GetCalibrationPage(); }
    CTransformRasterFromControlPointsDlg& Points() { return *m_Dialog->GetControlPointsPage(); }
    QPushButton* Undo() { return Button(&Calibration(), "undo"); }

    // Types a cell of the control-point list as the list's editor reports it.
    void TypeCell(int row, int column, const std::string& text) {
        ListEditNotify notify;
        notify.m_Row = row;
        notify.m_Column = column;
        notify.m_Text = text;
        Points().OnMessage(LEM_CellChanged, 1, reinterpret_cast<std::intptr_t>(&notify));
    }

    corvale::CScriptedUserInterface m_Ui;
    TempDir m_Dir;
    std::string m_Path;
    CCorvaleDoc m_Doc;
    CTheme* m_Theme = nullptr;
    std::unique_ptr<CTransformImageDialog> m_Dialog;
    int m_Refreshes = 0;
};

} // namespace

TEST_F(TransformImageDialogTest, TabsAndCurrentValues) {
    ASSERT_EQ(m_Dialog->GetTabs()->count(), 2);
    EXPECT_EQ(m_Dialog->GetTabs()->tabText(0), "Calibrate");
    EXPECT_EQ(m_Dialog->GetTabs()->tabText(1), "Control Points");
    EXPECT_TRUE(Calibration().isEnabled());
    EXPECT_FALSE(Points().isEnabled());
    m_Dialog->GetTabs()->setCurrentIndex(1);
    EXPECT_FALSE(Calibration().isEnabled());
    EXPECT_TRUE(Points().isEnabled());
    EXPECT_EQ(m_Dialog->GetCurrentValues(),
              "1.000000\r\n0.000000\r\n0.000000\r\n-1.000000\r\n0.000000\r\n0.000000\r\n");
}

TEST_F(TransformImageDialogTest, CalibrationStepsUnwindInOrder) {
    const std::string before = m_Dialog->GetCurrentValues();
    EXPECT_FALSE(Undo()->isEnabled());

    Edit(&Calibration(), "angle")->setText("10");
    Button(&Calibration(), "rotate")->click();
    EXPECT_NE(m_Dialog->GetCurrentValues(), before);
    EXPECT_EQ(Undo()->text(), "Undo Rotate");
    Undo()->click();
    EXPECT_EQ(m_Dialog->GetCurrentValues(), before);
    EXPECT_EQ(Undo()->text(), "Undo");
    EXPECT_FALSE(Undo()->isEnabled());

    Edit(&Calibration(), "distance")->setText("5");
    Button(&Calibration(), "up")->click();
    const std::string afterUp = m_Dialog->GetCurrentValues();
    Button(&Calibration(), "left")->click();
    EXPECT_EQ(Undo()->text(), "Undo Move Left");
    EXPECT_DOUBLE_EQ(m_Theme->m_Raster.m_Transformation.GetC(), -5.0);
    EXPECT_DOUBLE_EQ(m_Theme->m_Raster.m_Transformation.GetF(), 5.0);
    Undo()->click();
    EXPECT_EQ(Undo()->text(), "Undo Move Up");
    EXPECT_EQ(m_Dialog->GetCurrentValues(), afterUp);
    Undo()->click();
    EXPECT_EQ(m_Dialog->GetCurrentValues(), before);
    EXPECT_GE(m_Refreshes, 6);
}

TEST_F(TransformImageDialogTest, RefusedStepsChangeNothing) {
    struct Case {
        const char* field;
        const char* text;
        const char* button;
        const char* message;
    };
    const Case cases[] = {
        {"widthFactor", "0", "resizeWidth", "Width scaling factor cannot be zero."},
        {"heightFactor", "0", "resizeHeight", "Height scaling factor cannot be zero."},
        {"angle", "361", "rotate", "Enter a number between -360 and 360."},
        {"distance", "five", "up", "Please enter a number."},
    };
    const std::string before = m_Dialog->GetCurrentValues();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        m_Ui.shown.clear();
        Calibration().m_WidthFactor = Calibration().m_HeightFactor = 1.0;
        Calibration().m_Angle = Calibration().m_Distance = 0.0;
        Calibration().UpdateData(false);
        Edit(&Calibration(), c.field)->setText(c.text);
        Button(&Calibration(), c.button)->click();
        ASSERT_EQ(m_Ui.Messages().size(), 1u);
        EXPECT_EQ(m_Ui.Messages()[0], c.message);
        EXPECT_TRUE(Calibration().GetUndoList().empty());
        EXPECT_EQ(m_Dialog->GetCurrentValues(), before);
    }
}

TEST_F(TransformImageDialogTest, ControlPointCellsAndFit) {
    m_Dialog->GetTabs()->setCurrentIndex(1);
    EXPECT_EQ(Points().GetLabel()->text(), "Top left pixel of image is (1, 1)\nBottom right is (20, 10)");
    CColumnExEditListCtrl& list = *Points().GetList();
    EXPECT_FALSE(Points().GetCalculateButton()->isEnabled());
    Points().OnNew();
    EXPECT_EQ(list.GetItemText(0, 0), "0");
    EXPECT_TRUE(Points().GetDeleteButton()->isEnabled());
    EXPECT_FALSE(Points().GetCalculateButton()->isEnabled());

    // Pixels count from 1 and stop at the image's size; a cell that is not a
    // whole number is refused rather than read as 0.
    struct CellCase {
        int column;
        const char* text;
        const char* kept;
    };
    const CellCase cells[] = {
        {0, "0", "0"}, {0, "20", "20"}, {0, "21", "20"}, {0, "12abc", "20"}, {0, "1", "1"},
        {1, "11", "0"}, {1, "1", "1"},   {2, "east", "0"}, {2, "100", "100"}, {3, "50.5", "50.5"},
    };
    for (const CellCase& c : cells) {
        SCOPED_TRACE(c.text);
        TypeCell(0, c.column, c.text);
        EXPECT_EQ(list.GetItemText(0, c.column), c.kept);
    }

    // Two points on one pixel row give no fit.
    Points().OnNew();
    TypeCell(1, 0, "20");
    TypeCell(1, 1, "1");
    TypeCell(1, 2, "138");
    TypeCell(1, 3, "50.5");
    EXPECT_TRUE(Points().GetCalculateButton()->isEnabled());
    const std::string before = m_Dialog->GetCurrentValues();
    Points().GetCalculateButton()->click();
    ASSERT_EQ(m_Ui.Messages().size(), 1u);
    EXPECT_EQ(m_Ui.Messages()[0], "An error occurred while calculating the parameters.\n\nNo action was taken.");
    EXPECT_EQ(m_Dialog->GetCurrentValues(), before);
    EXPECT_TRUE(m_Theme->m_Raster.m_ControlPoints.empty());

    // (1, 1) at (100, 50.5) and (20, 10) at (138, 33.4): 2 units a pixel
    // east, 1.9 south.
    TypeCell(1, 1, "10");
    TypeCell(1, 3, "33.4");
    Points().GetCalculateButton()->click();
    EXPECT_EQ(m_Ui.Messages().size(), 1u);
    const CRasterTransformation& t = m_Theme->m_Raster.m_Transformation;
    EXPECT_NEAR(t.GetA(), 2.0, 1e-9);
    EXPECT_NEAR(t.GetE(), -1.9, 1e-9);
    EXPECT_NEAR(t.GetC(), 100.0, 1e-9);
    EXPECT_NEAR(t.GetF(), 50.5, 1e-9);
    ASSERT_EQ(m_Theme->m_Raster.m_ControlPoints.size(), 2u);
    EXPECT_EQ(m_Theme->m_Raster.m_ControlPoints[1].column, 19);
    EXPECT_EQ(m_Theme->m_Raster.m_ControlPoints[1].row, 9);

    // The points come back 1-based when the dialog opens next.
    CTransformImageDialog again;
    again.SetTheme(m_Theme, &m_Doc);
    CColumnExEditListCtrl& shown = *again.GetControlPointsPage()->GetList();
    ASSERT_EQ(shown.GetItemCount(), 2);
    EXPECT_EQ(shown.GetItemText(0, 0), "1");
    EXPECT_EQ(shown.GetItemText(0, 1), "1");
    EXPECT_EQ(shown.GetItemText(1, 0), "20");
    EXPECT_EQ(shown.GetItemText(1, 1), "10");
    EXPECT_EQ(shown.GetItemText(1, 2), "138.000000");

    list.ClearSelection();
    list.SetRowSelected(0, true);
    Points().OnDelete();
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_FALSE(Points().GetCalculateButton()->isEnabled());
}

TEST_F(TransformImageDialogTest, SaveAndReload) {
    Edit(&Calibration(), "distance")->setText("7");
    Button(&Calibration(), "right")->click();
    const std::string moved = m_Dialog->GetCurrentValues();
    const std::string world = m_Dir.file("scan.pgw");
    m_Ui.saveAnswers.push_back(world);
    m_Dialog->OnSave();
    std::ifstream in(world, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, moved);

    // A file that does not hold six numbers keeps the placement and the undo list.
    const std::string bad = m_Dir.file("bad.pgw");
    std::ofstream(bad) << "1\n0\n0\n";
    m_Ui.openAnswers.push_back({bad});
    m_Dialog->OnReload();
    ASSERT_EQ(m_Ui.Messages().size(), 1u);
    EXPECT_EQ(m_Ui.Messages()[0], "Error reading parameters from file.\n\nOperation aborted.");
    EXPECT_EQ(m_Dialog->GetCurrentValues(), moved);
    EXPECT_EQ(Calibration().GetUndoList().size(), 1u);
    ASSERT_FALSE(m_Ui.openRequests.empty());
    EXPECT_EQ(m_Ui.openRequests.back().title, "Reload Transformation Parameters");
    EXPECT_EQ(m_Ui.openRequests.back().filter, "World File (*.pgw)|*.pgw|All files (*.*)|*.*||");
    EXPECT_EQ(m_Ui.openRequests.back().initialName, m_Dir.file("scan.pgw"));

    std::ofstream(m_Dir.file("good.pgw")) << "2\n0\n0\n-2\n300\n400\n";
    m_Ui.openAnswers.push_back({m_Dir.file("good.pgw")});
    m_Dialog->OnReload();
    EXPECT_EQ(m_Ui.Messages().size(), 1u);
    EXPECT_DOUBLE_EQ(m_Theme->m_Raster.m_Transformation.GetC(), 300.0);
    EXPECT_TRUE(Calibration().GetUndoList().empty());
    EXPECT_FALSE(Undo()->isEnabled());
}
