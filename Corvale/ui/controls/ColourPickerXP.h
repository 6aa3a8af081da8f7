#pragma once
// The colour button of the style pages, the option pages and the colour-theme
// editor. It shows the current colour as a swatch; a click (or Down, or F4)
// opens a CColourPopupXP below it with the 40 named colours, an optional
// "Automatic" entry and an optional "More Colors..." entry.
//
// The button reports to its owner window synchronously through the PCM_*
// messages (framework/Messages.h): wParam is the colour, lParam the button's
// control id (its object name read as a number). The owner is the nearest
// ancestor widget that is a CMessageWindow, unless SetOwner names another.
//
// Colours are COLORREFs; kAutomaticColour means "no colour chosen, the
// default applies".

#include "framework/Messages.h"

#include <QAbstractButton>
#include <QPointer>

#include <cstdint>
#include <string>

class CColourPopupXP;

// Messages between the popup, the button and the button's owner. The numbers
// are shared with other controls' messages; the sender tells them apart.
enum : unsigned {
    // An entry was highlighted (popup to button), forwarded to the owner;
    // also sent to the owner when an accepted colour differs from the old one.
    PCM_ColourChanged = 2025,
    PCM_PopupOpened = 2026,
    PCM_PopupClosed = 2027,
    PCM_ColourAccepted = 2028,
    PCM_PickCancelled = 2029,
};

// The "Automatic" choice: no colour of its own.
constexpr std::uint32_t kAutomaticColour = 0xFF000000u;

class CColourPickerXP : public QAbstractButton {
public:
    explicit CColourPickerXP(QWidget* parent = nullptr);
    ~CColourPickerXP() override;

    // The colour; with resolve, the default colour in place of the automatic one.
    virtual std::uint32_t GetColour(bool resolve) const;
    // The colour as stored, the automatic value included.
    virtual std::uint32_t GetStoredColour() const;
    virtual void SetColour(std::uint32_t colour);
    virtual std::uint32_t GetDefaultColour() const;
    virtual void SetDefaultColour(std::uint32_t colour);
    // The popup's "More Colors..." and "Automatic" texts; an empty text leaves
    // the entry out.
    virtual void SetCustomText(const std::string& text);
    virtual void SetDefaultText(const std::string& text);
    // Where the colour dialog's 16 custom colours are kept; empty means the
    // program's section "CustomColors".
    virtual void SetRegistrySection(const std::string& section);
    // With track selection the button takes each colour the user hovers over.
    virtual void SetTrackSelection(bool track);
    virtual bool GetTrackSelection() const;
    // 0: a push button with a small drop triangle; otherwise a combo-box look,
    // which also sets the height to the font's text height + 8.
    virtual void SetStyle(int style);
    virtual int GetStyle() const;
    // Kept for callers; the button draws no text. Padded with blanks to at
    // least 3 characters.
    virtual void SetText(const std::string& text);
    virtual void SetTextMode(int mode);
    virtual int GetTextMode() const;
    // The drop-down part of the combo look, hot or normal.
    virtual void DrawArrow(QPainter& painter, const QRect& rect, bool hot);

    const std::string& GetText() const { return m_Text; }
    const std::string& GetDefaultText() const { return m_DefaultText; }
    const std::string& GetCustomText() const { return m_CustomText; }
    const std::string& GetRegistrySection() const { return m_RegistrySection; }

    // The window that hears the PCM_* messages; null: the nearest ancestor
    // that is a CMessageWindow.
    void SetOwner(CMessageWindow* owner) { m_Owner = owner; }

    // What a click does: opens the popup below the button.
    void OpenPopup();
    bool IsPopupOpen() const { return m_PopupOpen; }
    // The open popup, null when none.
    CColourPopupXP* GetPopup() const;
    // The popup's reports: PCM_ColourChanged, PCM_ColourAccepted, PCM_PickCancelled.
    void OnPopupMessage(unsigned message, std::uint32_t colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Notify(unsigned message, std::uint32_t colour);
    int ControlId() const;

    std::uint32_t m_Colour = kAutomaticColour;
    std::uint32_t m_DefaultColour;
    std::string m_DefaultText = "Automatic";
    std::string m_CustomText = "More Colors...";
    bool m_PopupOpen = false;
    bool m_TrackSelection = false;
    bool m_MouseOver = false;
    // Menus are drawn flat, with a highlight border, as on current desktops.
    bool m_FlatMenus = true;
    int m_Style = 1;
    int m_TextMode = 0;
    std::string m_Text = "RGB";
    std::string m_RegistrySection;
    CMessageWindow* m_Owner = nullptr;
    QPointer<CColourPopupXP> m_Popup;
};
