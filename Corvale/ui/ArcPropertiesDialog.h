#pragma once
// The style page of polyline themes: the pen (colour, width, pattern), the
// direction arrows (shown or not, and their style through "Arrow Style"), and
// the line's alignment with a displacement in points.

#include "ui/PropertiesBaseDialog.h"

#include <cstdint>

class CColourPickerXP;
class CPenPatternComboBox;
class CPenWidthComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CArcPropertiesDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1119,
        IDC_PenColour = 2042,
        IDC_PenWidth = 2045,
        IDC_PenStyle = 2046,
        IDC_ShowDirection = 2157,
        IDC_ArrowStyle = 2277,
        IDC_Center = 2189,
        IDC_Left = 2190,
        IDC_Right = 2191,
        IDC_East = 2194,
        IDC_West = 2195,
        IDC_North = 2196,
        IDC_South = 2197,
        IDC_DisplacementLabel = 2192,
        IDC_Displacement = 2193,
    };
    // Alignment values, in the order of the radio buttons.
    enum { AL_Center = 0, AL_Left, AL_Right, AL_East, AL_West, AL_North, AL_South, AL_Count };
    // An automatic pen colour is not a colour a line can take: blue instead.
    static constexpr std::uint32_t kReplacementColour = 0xFF0000;

    explicit CArcPropertiesDialog(QWidget* parent = nullptr);
    ~CArcPropertiesDialog() override;

    // Set by the owner before the page opens, read back on OK.
    int m_Alignment = AL_Center;
    int m_Displacement = 0;
    std::uint32_t m_PenColour = 0;
    int m_PenWidth = 0;
    int m_PenStyle = 0;
    std::uint8_t m_ShowDirection = 0;
    int m_ArrowType = 0;
    int m_ArrowSize = 0;
    std::uint32_t m_ArrowColour = 0;
    // 0.0 (line start) to 1.0 (line end).
    float m_ArrowPlacement = 1.0f;

    // Reads the alignment and the displacement (an integer; otherwise "Please
    // enter an integer." and false), or fills the controls from the members.
    bool UpdateData(bool saveAndValidate) override;
    // PCM_ColourAccepted from the pen colour button.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // "Style...": runs "Arrow Style" on the arrow members.
    void OnArrowStyle();

protected:
    void OnInitDialog() override;

private:
    void OnPenWidthChanged();
    void OnPenStyleChanged();
    void OnAlignment();
    void EnableDisplacement();

    CColourPickerXP* m_Picker;
    CPenWidthComboBox* m_WidthCombo;
    CPenPatternComboBox* m_PatternCombo;
    QCheckBox* m_ShowDirectionCheck;
    QPushButton* m_StyleButton;
    QRadioButton* m_AlignmentRadios[AL_Count];
    QLabel* m_DisplacementLabel;
    QLineEdit* m_DisplacementEdit;
};
