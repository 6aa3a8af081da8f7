#pragma once
// The style page of point themes: the point symbol picked from the catalogue
// (core/styles/PointSymbols.h) drawn in the theme's colour, the colour, and
// whether the points are drawn as a polyline of a given width.

#include "core/styles/PointSymbols.h"
#include "ui/PropertiesBaseDialog.h"

#include <cstdint>

class CColourPickerXP;
class CPenWidthComboBox;
class QCheckBox;
class QLabel;
class QListWidget;

class CSymbolDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1103,
        IDC_Symbols = 2007,
        IDC_Colour = 2046,
        IDC_PointsAsPolyline = 2103,
        IDC_Width = 2045,
        IDC_WidthLabel = 2104,
    };
    // An automatic colour is not a colour a symbol can take: blue instead.
    static constexpr std::uint32_t kReplacementColour = 0xFF0000;

    explicit CSymbolDialog(QWidget* parent = nullptr);
    ~CSymbolDialog() override;

    // Set by the owner before the page opens, read back on OK.
    int m_Symbol = 0;
    std::uint32_t m_Colour = 0;
    int m_Width = 0;
    std::uint8_t m_PointsAsPolyline = 0;

    // PCM_ColourAccepted from the colour button.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The icons the page made, for as long as the list shows them.
    const SymbolIconList& GetIconList() const { return m_Icons; }

protected:
    void OnInitDialog() override;

private:
    // Gives every item its icon in the current colour, dropping the old ones.
    void BuildIcons();
    void OnSymbolSelected();
    void ShowWidth();

    QListWidget* m_SymbolList;
    CColourPickerXP* m_Picker;
    QCheckBox* m_PolylineCheck;
    CPenWidthComboBox* m_WidthCombo;
    QLabel* m_WidthLabel;
    SymbolIconList m_Icons;
};
