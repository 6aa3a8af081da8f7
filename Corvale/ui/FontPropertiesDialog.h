#pragma once
// The font page of the theme properties: face, style, size, script, the two
// effects and the text colour of the labels, with a preview. The page works
// on the stored font form (LogFont): the fields it shows are rewritten when
// the user changes something, every other field is kept as it came, so an
// untouched font is stored back byte for byte.

#include "core/LogFont.h"
#include "ui/PropertiesBaseDialog.h"

#include <QComboBox>
#include <QWidget>

#include <cstdint>
#include <string>

class CColourPickerXP;
class QCheckBox;
class QGroupBox;
class QLabel;

class CFontPropertiesDialog : public CPropertiesBaseDialog {
public:
    enum {
        IDD = 1212,
        IDC_Face = 2143,
        IDC_Style = 2144,
        IDC_Size = 2145,
        IDC_Script = 2146,
        IDC_ScriptLabel = 2147,
        IDC_Effects = 2148,
        IDC_Sample = 2149,
        IDC_Strikeout = 2139,
        IDC_Underline = 2140,
        IDC_Colour = 2188,
        IDC_Preview = 2141,
    };
    // The feature word: which optional groups show, and in its low bits the
    // kinds of face the face list takes.
    static constexpr std::uint32_t FPF_ShowScript = 0x80000000u;
    static constexpr std::uint32_t FPF_ShowEffects = 0x40000000u;
    static constexpr std::uint32_t FPF_Raster = 1;
    static constexpr std::uint32_t FPF_Device = 2;
    static constexpr std::uint32_t FPF_TrueType = 4;
    // Item data of the style list: the weight in the low bits, and this bit
    // for an italic style.
    static constexpr int kItalicBit = 0x10000000;
    static constexpr int kWeightMask = 0x07FFFFFF;

    // The face list: a 15-pixel column before the names marks the scalable
    // faces while the list takes them.
    class CFontCombo : public QComboBox {
    public:
        static constexpr int kGlyphWidth = 15;
        explicit CFontCombo(CFontPropertiesDialog* page);
        bool ShowsGlyphs() const;

    private:
        CFontPropertiesDialog* m_Page;
    };

    // The preview: its background, then the caption centred in the page's
    // font and text colour, then a sunken edge.
    class CPreviewButton : public QWidget {
    public:
        explicit CPreviewButton(CFontPropertiesDialog* page);
        QSize sizeHint() const override { return QSize(200, 60); }

    protected:
        void paintEvent(QPaintEvent* event) override;

    private:
        CFontPropertiesDialog* m_Page;
    };

    explicit CFontPropertiesDialog(QWidget* parent = nullptr);
    ~CFontPropertiesDialog() override;

    // Set by the owner before the page opens (m_HasFont false: the page's own
    // font is taken), read back on OK.
    LogFont m_LogFont;
    bool m_HasFont = false;
    std::uint32_t m_TextColour = 0;
    std::uint32_t m_BackColour = 0x00FFFFFF;
    std::uint32_t m_Features = 0xFFFFFFFFu;

    // The font the page shows now.
    const LogFont& GetLogFont() const { return m_LogFont; }
    QFont GetFont() const;

    // PCM_ColourAccepted from the text colour picker.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Fills the style, size and script lists for the face in the face combo,
    // keeping the chosen size, style and script where the face has them.
    void FillFaceLists();
    // Rewrites the shown fields of the font from the controls.
    void RebuildFont();

    // The Windows character set of a writing system; -1 for one without.
    static int CharSetOfWritingSystem(int writingSystem);

protected:
    void OnInitDialog() override;

private:
    void UpdateOptionalControls();

    CFontCombo* m_FaceCombo;
    QComboBox* m_StyleCombo;
    QComboBox* m_SizeCombo;
    QComboBox* m_ScriptCombo;
    QLabel* m_ScriptLabel;
    QGroupBox* m_EffectsGroup;
    QCheckBox* m_StrikeoutCheck;
    QCheckBox* m_UnderlineCheck;
    CColourPickerXP* m_Picker;
    CPreviewButton* m_Preview;
    bool m_Filling = false;
    std::string m_LastFace;
    std::string m_LastStyle;
};
