#pragma once
// Small modal dialogs that ask for one or two values: the caller fills the
// members, runs DoModal and reads the members after IDOK.

#include "workspace/CorvaleDoc.h"

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

class CNotifyEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class SimpleBrowser;
class QSlider;

constexpr int IDD_VIEW_RECT = 1111;
constexpr int IDD_CENTER_MAP = 1116;
constexpr int IDD_INPUT = 1183;
constexpr int IDD_GRID_DEFINITION = 1206;
constexpr int IDD_POINT_COUNT_SELECTION = 1229;
constexpr int IDD_COMBOBOX = 1236;
constexpr int IDD_EXPORT_SHAPE_CONFIRMATION = 1113;
constexpr int IDD_TABLE_CHECK = 1221;
constexpr int IDD_STATISTICS_SELECTION = 1169;
constexpr int IDD_VECTORIZATION_PARAMETERS = 1200;
constexpr int IDD_TEXT_INFORMATION = 1127;

constexpr int IDC_VIEWRECT_LEFT = 2024;
constexpr int IDC_VIEWRECT_RIGHT = 2025;
constexpr int IDC_VIEWRECT_TOP = 2026;
constexpr int IDC_VIEWRECT_BOTTOM = 2027;
constexpr int IDC_VIEWRECT_WIDTH = 2028;
constexpr int IDC_VIEWRECT_HEIGHT = 2029;
constexpr int IDC_VIEWRECT_RECALCULATE = 2064;
constexpr int IDC_CENTER_X = 2037;
constexpr int IDC_CENTER_Y = 2038;
constexpr int IDC_INPUT_VALUE = 2080;
constexpr int IDC_GRID_X = 2124;
constexpr int IDC_GRID_Y = 2125;
constexpr int IDC_POINTCOUNT_COMPARISON = 2233;
constexpr int IDC_POINTCOUNT_PARTS = 2234;
constexpr int IDC_POINTCOUNT_COUNT = 2235;
constexpr int IDC_COMBOBOX_LIST = 2267;
constexpr int IDC_EXPORT_SHX = 2025;
constexpr int IDC_EXPORT_DBF = 2026;
constexpr int IDC_TABLECHECK_IGNORE_BLANK = 2174;
constexpr int IDC_VECTORIZE_COLOR = 2116;
constexpr int IDC_VECTORIZE_GREYSCALE = 2117;
constexpr int IDC_VECTORIZE_APPLY = 2118;
constexpr int IDC_VECTORIZE_RESET = 2119;
// The positions written beside the two sliders.
constexpr int IDC_VECTORIZE_COLOR_VALUE = 2120;
constexpr int IDC_VECTORIZE_GREYSCALE_VALUE = 2122;
constexpr int IDC_INFORMATION_TEXT = 2053;

// The base of these dialogs: OK runs the exchange out of the fields, which
// may refuse with a message and keep the dialog open.
class CSmallDialog : public QDialog {
public:
    explicit CSmallDialog(int id, const QString& caption, QWidget* parent);
    int DoModal();
    void accept() override;

protected:
    // Fields from members (false) or members from fields (true); false
    // when a field's value is refused.
    virtual bool UpdateData(bool saveAndValidate) = 0;
    // Adds the OK and Cancel buttons under the fields already laid out.
    void AddButtons();
    // Widens the dialog so that its title is shown whole.
    void FitWidthToTitle();

    // The part of a title bar that is not title: icon and buttons.
    static constexpr int kTitleBarChrome = 120;
};

// "Grid Definition": the grid's X and Y size, neither of them zero.
class CGridDefinitionDialog : public CSmallDialog {
public:
    explicit CGridDefinitionDialog(QWidget* parent = nullptr);
    double m_GridX = 0.0;
    double m_GridY = 0.0;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QLineEdit* m_X;
    QLineEdit* m_Y;
};

// "View Rectangle": the view's extent; the view keeps its aspect ratio, so
// the bottom follows from the top and the width.
class CViewRectDialog : public CSmallDialog {
public:
    explicit CViewRectDialog(QWidget* parent = nullptr);
    void SetViewRect(double x0, double y0, double x1, double y1);
    void GetViewRect(double& x0, double& y0, double& x1, double& y1) const;
    // "Recalculate": the bottom, width and height from left, right and top.
    void OnRecalculate();

    double m_Left = 0.0;
    double m_Right = 0.0;
    double m_Top = 0.0;
    double m_Bottom = 0.0;
    double m_Width = 0.0;
    double m_Height = 0.0;
    double m_Aspect = 1.0;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    CNotifyEdit* m_LeftEdit;
    CNotifyEdit* m_RightEdit;
    CNotifyEdit* m_TopEdit;
    CNotifyEdit* m_BottomEdit;
    QLineEdit* m_WidthEdit;
    QLineEdit* m_HeightEdit;
};

// "Center Map": the point the map is centred on.
class CCenterMapDialog : public CSmallDialog {
public:
    explicit CCenterMapDialog(QWidget* parent = nullptr);
    double m_X = 0.0;
    double m_Y = 0.0;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QLineEdit* m_XEdit;
    QLineEdit* m_YEdit;
};

// One value under a given caption: a text (mode 0) or an integer (mode 1).
class CInputDialog : public CSmallDialog {
public:
    explicit CInputDialog(int mode = 0, const std::string& caption = "Input", QWidget* parent = nullptr);
    std::string m_Text;
    int m_Integer = 0;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    int m_Mode;
    QLineEdit* m_Edit;
};

// One choice from a list of (text, item data) pairs.
class CComboBoxDialog : public CSmallDialog {
public:
    explicit CComboBoxDialog(const std::string& caption = "Select", QWidget* parent = nullptr);
    std::vector<std::pair<std::string, long>> m_Items;
    int m_Selected = -1;
    // The chosen item's data; -1 when nothing was chosen.
    long GetSelectedItemData() const;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QComboBox* m_Combo;
};

// "Point Count Selection": which shapes to select by their vertex count.
// The choices are kept for the program's run and proposed again.
class CPointCountSelectionDialog : public CSmallDialog {
public:
    explicit CPointCountSelectionDialog(QWidget* parent = nullptr);
    // 0 "at least one part", 1 "all parts".
    static int s_Parts;
    // 0 "<", 1 "=", 2 ">".
    static int s_Comparison;
    static int s_Count;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QComboBox* m_PartsCombo;
    QComboBox* m_ComparisonCombo;
    QLineEdit* m_CountEdit;
};

// "Export to Shape File": whether the index and attribute files are written.
class CExportShapeConfirmationDialog : public CSmallDialog {
public:
    explicit CExportShapeConfirmationDialog(QWidget* parent = nullptr);
    bool m_CreateShx = true;
    bool m_CreateDbf = true;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QCheckBox* m_Shx;
    QCheckBox* m_Dbf;
};

// "Table Check Options".
class CTableCheckDialog : public CSmallDialog {
public:
    explicit CTableCheckDialog(QWidget* parent = nullptr);
    bool m_IgnoreBlank = false;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    QCheckBox* m_IgnoreBlankBox;
};

// "Selection": which rows the column statistics run over. The choice is the
// caller's own value (kept for the program's run), read when the dialog
// opens and written back on OK: 0 all shapes, 1 selected shapes, 2
// unselected shapes.
class CStatisticsSelectionDialog : public CSmallDialog {
public:
    explicit CStatisticsSelectionDialog(int& choice, QWidget* parent = nullptr);
    QRadioButton* m_All;
    QRadioButton* m_Selected;
    QRadioButton* m_Unselected;

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    int& m_Choice;
};

// "Vectorization Parameters": the colour and greyscale thresholds of the
// target, shown as sliders (the colour one inverted, the greyscale one in
// 1/256 steps). Apply, Reset and OK write into the target at once.
class CVectorizationParametersDialog : public CSmallDialog {
public:
    CVectorizationParametersDialog(float& colourThreshold, float& greyscaleThreshold, QWidget* parent = nullptr);
    void OnApply();
    void OnReset();

protected:
    bool UpdateData(bool saveAndValidate) override;

private:
    float& m_ColourThreshold;
    float& m_GreyscaleThreshold;
    QSlider* m_Colour;
    QSlider* m_Greyscale;
};

// A text under a given caption: plain text in a read-only edit, or, when
// it begins with "<HTML>" in any case, a page in the browser window.
class CTextInformationDialog : public QDialog {
public:
    explicit CTextInformationDialog(const std::string& caption = "Information", QWidget* parent = nullptr);
    std::string m_Text;
    int DoModal();

    // The browser when the text was a page, else null.
    SimpleBrowser* GetBrowser() const { return m_Browser; }
    QPlainTextEdit* GetEdit() const { return m_Edit; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place();
    QPlainTextEdit* m_Edit;
    SimpleBrowser* m_Browser = nullptr;
    QPushButton* m_Close;
};

// Installs Center Map, the view rectangle and the grid definition into the
// document's dialog services.
void InstallViewDialogs(CDocumentDialogServices& services, QWidget* parent);
