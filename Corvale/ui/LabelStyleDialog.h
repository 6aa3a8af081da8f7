#pragma once
// The label page of the theme properties: whether the theme's info-tip text
// is drawn on the map as labels, where around a point, in a framed box of
// which colours, duplicates, the spacing kept free around a label, and
// forced drawing. Text, font and text colour come from other pages.

#include "ui/PropertiesBaseDialog.h"

#include <cstdint>

class CColourPickerXP;
class CTheme;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class CLabelStyleDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1233,
        IDC_ShowLabels = 2073,
        IDC_AlignmentLabel = 2259,
        IDC_Alignment = 2086,
        IDC_Frame = 2153,
        IDC_FillColourLabel = 2260,
        IDC_FillColour = 2256,
        IDC_FrameColourLabel = 2261,
        IDC_FrameColour = 2189,
        IDC_Duplicates = 2154,
        IDC_Force = 2265,
        IDC_SpacingLabel = 2263,
        IDC_Spacing = 2262,
    };

    explicit CLabelStyleDialog(QWidget* parent = nullptr);
    ~CLabelStyleDialog() override;

    // Set by the owner before the page opens.
    CTheme* m_Theme = nullptr;
    std::uint32_t m_FillColour = 0xFFFFFF;
    std::uint32_t m_FrameColour = 0;
    int m_Spacing = 0;
    // Read back by the owner after UpdateData(true).
    bool m_ShowLabels = false;
    bool m_Force = false;

    // The check boxes and the spacing (an integer; otherwise a message and
    // false).
    bool UpdateData(bool saveAndValidate) override;
    // PCM_ColourAccepted from either picker.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // What the owner's OK stores besides the members above.
    bool IsFrameChecked() const;
    bool IsDuplicatesChecked() const;
    // The label position code of the selected alignment.
    int GetAlignment() const;

protected:
    void OnInitDialog() override;

private:
    void EnableControls();

    bool m_IsPointTheme = false;
    QCheckBox* m_ShowCheck;
    QLabel* m_AlignmentLabel;
    QComboBox* m_AlignmentCombo;
    QCheckBox* m_FrameCheck;
    QLabel* m_FillLabel;
    CColourPickerXP* m_FillPicker;
    QLabel* m_FrameLabel;
    CColourPickerXP* m_FramePicker;
    QCheckBox* m_DuplicatesCheck;
    QCheckBox* m_ForceCheck;
    QLabel* m_SpacingLabel;
    QLineEdit* m_SpacingEdit;
};
