#pragma once
// The editor of one attribute column: name, type, default value and
// description. The attribute manager opens it as "Add Attribute" or
// "Change Attribute" and reads the values back after OK.

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// The dialog's resource id and its controls' ids (their object names).
constexpr int IDD_ATTRIBUTE_MODIFIER = 1150;
constexpr int IDC_AMOD_NAME = 2061;
constexpr int IDC_AMOD_TYPE = 2062;
constexpr int IDC_AMOD_DEFAULT = 2063;
constexpr int IDC_AMOD_DESCRIPTION = 2170;

class CAttributeModifierDialog : public QDialog {
public:
    explicit CAttributeModifierDialog(QWidget* parent = nullptr);

    // Set before DoModal, read after IDOK. The type is one of the names
    // "FT_String" .. "FT_Boolean"; the description keeps its CR LF line ends.
    std::string m_Caption;
    std::string m_Name;
    std::string m_TypeName;
    std::string m_Default;
    std::string m_Description;

    // Shows the values, runs the dialog and takes the values back on OK;
    // IDOK (1) or IDCANCEL (2).
    int DoModal();

    // Takes the values from the controls; a name the shape-file standard
    // does not allow is kept only when the user says Yes to the question,
    // else the name is selected for correction and the dialog stays open.
    void accept() override;

private:
    void ShowValues();

    QLineEdit* m_NameEdit;
    QComboBox* m_TypeCombo;
    QLineEdit* m_DefaultEdit;
    QPlainTextEdit* m_DescriptionEdit;
};
