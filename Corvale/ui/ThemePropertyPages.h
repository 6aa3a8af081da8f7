#pragma once
// The smaller pages of the theme properties: general settings (name,
// visibility, scale range), the polygon style, the info-tip template, the
// comment and the image display flags. Each page carries its values in
// public members: the owner fills them before the page opens and reads them
// back after UpdateData(true) succeeded; a page never writes the theme.

#include "ui/PropertiesBaseDialog.h"

#include <cstdint>
#include <string>
#include <vector>

class CBrushComboBox;
class CColourPickerXP;
class CCorvaleDoc;
class CTheme;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// A scale the general page offers for its units-per-pixel fields: the text
// of the menu item and the value it writes.
struct CNamedScale {
    std::string text;
    double value = 0.0;
};

// The window message that tells the properties dialog, and through it the
// info-tip page, that the theme's columns changed (lParam: the theme).
constexpr unsigned WM_THEME_COLUMNS_CHANGED = 0x800A;

class CGeneralThemePropertiesDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1157,
        IDC_Name = 2071,
        IDC_Visible = 2072,
        IDC_AdvancedVisibility = 2237,
        IDC_MaxUPP = 2238,
        IDC_MinUPP = 2239,
        IDC_MaxUPPLabel = 2240,
        IDC_MinUPPLabel = 2241,
        IDC_UPPLabel = 2242,
        IDC_PickMaxUPP = 2254,
        IDC_PickMinUPP = 2255,
        IDC_AttributeManager = 2129,
    };
    // Menu item ids of the scale menu start here.
    static constexpr int kScaleMenuBase = 0x8000;

    explicit CGeneralThemePropertiesDialog(QWidget* parent = nullptr);
    ~CGeneralThemePropertiesDialog() override;

    std::string m_Name;
    bool m_Visible = true;
    bool m_UseAdvancedVisibility = false;
    double m_MaxUPP = 0.0;
    double m_MinUPP = 0.0;
    CTheme* m_Theme = nullptr;
    CCorvaleDoc* m_Document = nullptr;
    std::vector<CNamedScale> m_Scales;

    // Reads name, flags and both values (0 to the largest double; otherwise a
    // message and false), or fills the controls.
    bool UpdateData(bool saveAndValidate) override;

    // The scale menu of a pick button (IDC_PickMaxUPP or IDC_PickMinUPP): shows
    // the scales' texts; a chosen one writes its value into the button's edit.
    void OnPickScale(int buttonId);
    // Writes scale index into the edit that belongs to the pick button.
    void ApplyScale(int buttonId, int index);
    // "Attribute Manager...".
    void OnAttributeManager();

protected:
    void OnInitDialog() override;

private:
    void EnableControls();

    QLineEdit* m_NameEdit;
    QCheckBox* m_VisibleCheck;
    QCheckBox* m_AdvancedCheck;
    QLineEdit* m_MaxEdit;
    QLineEdit* m_MinEdit;
    QPushButton* m_PickMax;
    QPushButton* m_PickMin;
    QLabel* m_Labels[3];
};

class CPolygonPropertiesDialog : public CPropertiesBaseDialog {
public:
    enum { IDD = 1155, IDC_FillColour = 2070, IDC_OutlineColour = 2071, IDC_Pattern = 2085 };
    // What an automatic choice stands for.
    static constexpr std::uint32_t kAutomaticFill = 0xFF0000;
    static constexpr std::uint32_t kAutomaticOutline = 0x000000;

    explicit CPolygonPropertiesDialog(QWidget* parent = nullptr);
    ~CPolygonPropertiesDialog() override;

    std::uint32_t m_FillColour = 0;
    std::uint32_t m_OutlineColour = 0;
    int m_FillPattern = 0;

    // PCM_ColourAccepted from either picker.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    void OnInitDialog() override;

private:
    CColourPickerXP* m_FillPicker;
    CColourPickerXP* m_OutlinePicker;
    CBrushComboBox* m_PatternCombo;
};

class CInfoTipDefinitionDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1152,
        IDC_Attributes = 2001,
        IDC_Add = 2002,
        IDC_Template = 2003,
        IDC_LoadTemplate = 2020,
        IDC_SaveTemplate = 2021,
    };
    static constexpr const char* kTemplateFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

    explicit CInfoTipDefinitionDialog(QWidget* parent = nullptr);
    ~CInfoTipDefinitionDialog() override;

    CTheme* m_Theme = nullptr;
    std::string m_Template;

    bool UpdateData(bool saveAndValidate) override;

    // Lists the place holders of the theme: "$LONGITUDE" and "$LATITUDE" for
    // a theme with points, "$INDEX" for one with any shape, then the columns.
    void FillAttributeList();
    // "Add": the selected entry as "<entry>" in place of the template's
    // selection.
    void OnAdd();
    // "Load Template..." and "Save Template...".
    void OnLoadTemplate();
    void OnSaveTemplate();

protected:
    void OnInitDialog() override;

private:
    QListWidget* m_List;
    QPushButton* m_AddButton;
    QPlainTextEdit* m_Edit;
};

class CThemeCommentDialog : public CPropertiesBaseDialog {
public:
    enum { IDD = 1185, IDC_Comment = 2084 };

    explicit CThemeCommentDialog(QWidget* parent = nullptr);
    ~CThemeCommentDialog() override;

    CTheme* m_Theme = nullptr;
    std::string m_Comment;

    bool UpdateData(bool saveAndValidate) override;

protected:
    void OnInitDialog() override;

private:
    QPlainTextEdit* m_Edit;
};

// The style page of image themes: two display flags.
class CRasterLayerPropertiesDialog : public CPropertiesBaseDialog {
public:
    enum { IDD = 1216, IDC_VectorizeOnSelect = 2300, IDC_AntiAlias = 2301 };

    explicit CRasterLayerPropertiesDialog(QWidget* parent = nullptr);
    ~CRasterLayerPropertiesDialog() override;

    bool m_VectorizeOnSelect = false;
    bool m_AntiAlias = false;

protected:
    void OnInitDialog() override;

private:
    QCheckBox* m_VectorizeCheck;
    QCheckBox* m_AntiAliasCheck;
};
