#pragma once
// Georeferencing an image theme by hand: "Transform Image Layer" with a
// Calibrate page (rotate, resize and move, each undoable) and a Control
// Points page (fit the placement to pixel/map point pairs), the current six
// parameters shown, saved to or reloaded from a world file. Every change goes
// to the theme at once and every view is redrawn.

#include "raster/RasterTransformation.h"
#include "ui/PropertiesBaseDialog.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CCorvaleDoc;
class CColumnExEditListCtrl;
class CTheme;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

// The placement before one calibration step, and the undo button's text for it.
struct CalibrationUndoRecord {
    CRasterTransformation m_Transformation;
    std::string m_Label;
};

class CTransformRasterCalibrationDlg : public CPropertiesBaseDialog {
public:
    explicit CTransformRasterCalibrationDlg(QWidget* parent = nullptr);

    void SetTheme(CTheme* theme, CCorvaleDoc* document);
    // Runs after every change: redraws the views and shows the new values.
    std::function<void()> m_Refresh;

    bool UpdateData(bool saveAndValidate) override;

    void OnRotate();
    void OnResizeWidth();
    void OnResizeHeight();
    void OnMoveUp();
    void OnMoveDown();
    void OnMoveLeft();
    void OnMoveRight();
    void OnUndo();
    // Forgets every step (after the placement was reloaded from a file).
    void ClearUndo();

    const std::vector<CalibrationUndoRecord>& GetUndoList() const { return m_UndoList; }

    double m_WidthFactor = 1.0;
    double m_HeightFactor = 1.0;
    double m_Distance = 0.0;
    double m_Angle = 0.0;

private:
    // Reads the fields and runs one step; the step answers whether it changed
    // the theme (the undo record is dropped otherwise).
    void RunStep(const char* label, const std::function<bool()>& step);
    void UpdateUndoButton();

    CTheme* m_Theme = nullptr;
    CCorvaleDoc* m_Document = nullptr;
    std::vector<CalibrationUndoRecord> m_UndoList;
    QLineEdit* m_WidthEdit;
    QLineEdit* m_HeightEdit;
    QLineEdit* m_DistanceEdit;
    QLineEdit* m_AngleEdit;
    QPushButton* m_UndoButton;
};

class CTransformRasterFromControlPointsDlg : public CPropertiesBaseDialog {
public:
    explicit CTransformRasterFromControlPointsDlg(QWidget* parent = nullptr);

    void SetTheme(CTheme* theme, CCorvaleDoc* document);
    std::function<void()> m_Refresh;

    void OnNew();
    void OnDelete();
    void OnCalculate();
    void UpdateControls();

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    CColumnExEditListCtrl* GetList() const { return m_List; }
    QPushButton* GetCalculateButton() const { return m_CalculateButton; }
    QToolButton* GetDeleteButton() const { return m_DeleteButton; }
    QLabel* GetLabel() const { return m_Label; }

protected:
    void OnInitDialog() override;

private:
    CTheme* m_Theme = nullptr;
    CCorvaleDoc* m_Document = nullptr;
    int m_ImageWidth = 0;
    int m_ImageHeight = 0;
    CColumnExEditListCtrl* m_List;
    QLabel* m_Label;
    QToolButton* m_NewButton;
    QToolButton* m_DeleteButton;
    QPushButton* m_CalculateButton;
};

class CTransformImageDialog : public QDialog {
public:
    explicit CTransformImageDialog(QWidget* parent = nullptr);

    // Set by the opener before the dialog runs.
    void SetTheme(CTheme* theme, CCorvaleDoc* document);

    void OnSave();
    void OnReload();
    // Tells every view of the document to redraw and shows the new values.
    void Refresh();

    CTransformRasterCalibrationDlg* GetCalibrationPage() const { return m_Calibration; }
    CTransformRasterFromControlPointsDlg* GetControlPointsPage() const { return m_ControlPoints; }
    QTabWidget* GetTabs() const { return m_Tabs; }
    const std::string& GetCurrentValues() const { return m_CurrentValues; }

private:
    void OnTabChanged(int index);

    CTheme* m_Theme = nullptr;
    CCorvaleDoc* m_Document = nullptr;
    std::string m_CurrentValues;
    QLabel* m_CurrentLabel;
    QTabWidget* m_Tabs;
    CTransformRasterCalibrationDlg* m_Calibration;
    CTransformRasterFromControlPointsDlg* m_ControlPoints;
};
