#pragma once
// The conditional style rules of a theme: the rule page of the theme
// properties (CAdvancedPropertiesDialog) lists the rules in order and adds,
// deletes, moves and edits them; the modal "Advanced Style Property" dialog
// (CAdvancedPropertyDialog) edits one rule: its condition, checked by the
// query engine, and for each style value a fixed value or a column.

#include "core/styles/AdvancedProperties.h"
#include "ui/PropertiesBaseDialog.h"

#include <QDialog>

#include <cstdint>
#include <string>

class CColorThemeComboBox;
class CColourPickerXP;
class CPenPatternComboBox;
class CPenWidthComboBox;
class CTheme;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolBar;
class QTreeWidget;

class CAdvancedPropertyDialog : public QDialog {
public:
    enum {
        IDD = 1225,
        IDC_Attributes = 2001,
        IDC_Add = 2002,
        IDC_Condition = 2210,
        IDC_Validate = 2212,
        IDC_FillFixed = 2304,
        IDC_FillFromAttribute = 2305,
        IDC_PenColourFixed = 2306,
        IDC_PenColourFromAttribute = 2307,
        IDC_PenStyleFixed = 2308,
        IDC_PenStyleFromAttribute = 2309,
        IDC_PenWidthFixed = 2310,
        IDC_PenWidthFromAttribute = 2311,
        IDC_FillColour = 2008,
        IDC_PenColour = 2009,
        IDC_PenWidth = 2291,
        IDC_PenStyle = 2292,
        IDC_FillColumn = 2312,
        IDC_PenColourColumn = 2313,
        IDC_PenWidthColumn = 2314,
        IDC_PenStyleColumn = 2315,
        IDC_FillLabel = 2320,
        IDC_PenColourLabel = 2321,
        IDC_PenWidthLabel = 2322,
        IDC_PenStyleLabel = 2323,
    };

    explicit CAdvancedPropertyDialog(QWidget* parent = nullptr);
    ~CAdvancedPropertyDialog() override;

    // Filled by the caller, read back after OK.
    std::uint32_t m_FillColour = 0;
    std::uint32_t m_PenColour = 0;
    int m_PenWidth = 1;
    int m_PenStyle = 0;
    std::string m_FillAttribute;
    std::string m_PenColourAttribute;
    std::string m_PenWidthAttribute;
    std::string m_PenStyleAttribute;
    std::string m_Condition;
    CTheme* m_Theme = nullptr;
    // 0: the fixed value, 1: from the column.
    int m_FillRadio = 0;
    int m_PenColourRadio = 0;
    int m_PenWidthRadio = 0;
    int m_PenStyleRadio = 0;

    // Runs the dialog: IDOK (1) or IDCANCEL (2).
    int DoModal();

    // "Add": the selected column as "[name] " at the condition's caret.
    void OnAdd();
    // "Validate": the condition through the query engine, with a message
    // either way.
    void OnValidate();

    void accept() override;

private:
    void OnInitDialog();
    void EnableControls();

    QListWidget* m_List;
    QPushButton* m_AddButton;
    QLineEdit* m_ConditionEdit;
    CColourPickerXP* m_FillPicker;
    CColourPickerXP* m_PenPicker;
    CPenWidthComboBox* m_WidthCombo;
    CPenPatternComboBox* m_PatternCombo;
    QComboBox* m_Columns[4];
    QRadioButton* m_Fixed[4];
    QRadioButton* m_FromAttribute[4];
    QLabel* m_Labels[4];
};

class CAdvancedPropertiesDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1224,
        IDC_Rules = 2207,
        IDC_ColorTheme = 2216,
        IDC_ToolbarPlace = 2217,
        ID_RuleNew = 32936,
        ID_RuleDelete = 32935,
        ID_RuleMoveUp = 32933,
        ID_RuleMoveDown = 32934,
        ID_RuleProperties = 32937,
    };
    // The colour of a new rule while no colour theme is chosen.
    static constexpr std::uint32_t kNewRuleColour = 0xFF6400;

    explicit CAdvancedPropertiesDialog(QWidget* parent = nullptr);
    ~CAdvancedPropertiesDialog() override;

    // Set by the owner before the page opens: the theme and its rules.
    CTheme* m_Theme = nullptr;
    CAdvancedProperties m_Properties;
    // What the last rule dialog answered.
    int m_LastResult = 0;

    // Rebuilds the page's rule list from the rows, in row order.
    const CAdvancedProperties& OnOK();

    // The toolbar commands, on the selected row.
    void OnNew();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();
    void OnRuleProperties();

    // The list's column of the fill colour and of the pen colour (-1: none).
    int GetFillColumn() const { return m_FillColumn; }
    int GetPenColumn() const { return m_PenColumn; }
    QAction* GetAction(int id) const;
    int RowCount() const;
    const CAdvancedProperty& RuleAt(int row) const { return m_Rules.at(static_cast<std::size_t>(row)); }

protected:
    void OnInitDialog() override;

private:
    void AddRow(const CAdvancedProperty& rule);
    void ShowRow(int row);
    void Renumber();
    void Select(int row);
    int SelectedRow() const;
    void UpdateButtons();
    void MoveRow(int from, int to);

    QTreeWidget* m_List;
    CColorThemeComboBox* m_ThemeCombo;
    QToolBar* m_Toolbar;
    // The rule of each row, in row order.
    std::vector<CAdvancedProperty> m_Rules;
    int m_FillColumn = -1;
    int m_PenColumn = -1;
};
