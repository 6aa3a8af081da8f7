#pragma once
// "Multi-Edit Attributes": writes one attribute column of every selected
// shape of a theme in one step, with a fixed value, a measure (length,
// perimeter, X, Y), a running number, the geometry as WKT, a colour of a
// colour theme or the value of another column. Modal; Apply writes without
// closing, OK writes and closes.

#include "settings/ColorTheme.h"

#include <QDialog>

#include <string>
#include <vector>

class CCorvaleDoc;
class CColorThemeComboBox;
class CTheme;
class QComboBox;
class QLabel;
class QLineEdit;

constexpr int IDD_MULTI_EDIT_ATTRIBUTES = 1217;
constexpr int IDC_MULTIEDIT_COLUMN = 2159;
constexpr int IDC_MULTIEDIT_TYPE = 2160;
constexpr int IDC_MULTIEDIT_VALUE = 2161;
constexpr int IDC_MULTIEDIT_COLOR_THEME = 2216;
constexpr int IDC_MULTIEDIT_SOURCE = 2217;
constexpr int IDC_MULTIEDIT_MODE = 2288;
constexpr int IDC_MULTIEDIT_VALUE_LABEL = 2289;
constexpr int IDC_MULTIEDIT_APPLY = 12321;

// The ways of picking the value (the mode combo's item data).
enum MultiEditMode : int {
    MEM_FixedValue = 1,
    MEM_Length = 2,
    MEM_Perimeter = 3,
    MEM_Increment = 4,
    MEM_X = 5,
    MEM_Y = 6,
    MEM_Wkt = 7,
    MEM_ColourHash = 8,
    MEM_CopyColumn = 9,
};

class CMultiEditAttributesDialog : public QDialog {
public:
    // The colour themes offered are the application's (the built-in ones
    // when the settings are not loaded).
    CMultiEditAttributesDialog(CTheme* theme, CCorvaleDoc* document, QWidget* parent = nullptr);
    // Replaces the colour themes offered.
    void SetColorThemes(const std::vector<CColorTheme>& themes);

    // The start value of "Increment" and the decimals of the WKT text, kept
    // for the dialog's life and updated by every Apply.
    int m_StartValue = 1;
    int m_Decimals = 2;

    // The modes offered for the chosen column, in list order.
    std::vector<int> GetModes() const;
    // Chooses a column or a mode by its item data; false when not listed.
    bool SelectColumn(int field);
    bool SelectMode(int mode);
    // The source columns offered for "Copy from other column".
    std::vector<int> GetSourceColumns() const;

    // Checks, asks and writes; false when nothing was written.
    bool Apply();
    void accept() override;

    // "FT_String" .. "FT_Boolean", else "Unknown".
    static const char* TypeName(int type);

private:
    void OnColumnChanged();
    void OnModeChanged();
    // The selected shapes' shape indexes in the order they were selected.
    std::vector<int> SelectionOrder() const;

    CTheme* m_Theme;
    CCorvaleDoc* m_Document;
    QComboBox* m_Column;
    QLineEdit* m_Type;
    QComboBox* m_Mode;
    QLabel* m_ValueLabel;
    QLineEdit* m_Value;
    CColorThemeComboBox* m_ColorTheme;
    QComboBox* m_Source;
};

// Runs the dialog modally over the theme's selection; true when it closed
// with OK (the values were written). The document's multi-edit command
// reaches it through its dialog services.
bool RunMultiEditAttributesDialog(CTheme* theme, CCorvaleDoc* document, QWidget* parent);
