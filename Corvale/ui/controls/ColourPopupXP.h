#pragma once
// The popup of the colour button: a grid of 40 named colours, 8 to a row,
// with an optional "Automatic" entry above it and an optional
// "More Colors..." entry below it, which opens the colour dialog.
//
// Entries are numbered 0..39 for the grid (row by row), kDefaultEntry for
// "Automatic" and kCustomEntry for "More Colors..."; an entry exists only when
// its text is not empty. The popup reports to its button with
// CColourPickerXP::OnPopupMessage: PCM_ColourChanged for each entry the user
// moves to, then exactly one PCM_ColourAccepted or PCM_PickCancelled, after
// which it deletes itself.

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>

class CColourPickerXP;

class CColourPopupXP : public QWidget {
public:
    static constexpr int kColumns = 8;
    static constexpr int kDefaultEntry = -3;
    static constexpr int kCustomEntry = -2;
    static constexpr int kNoEntry = -1;
    // The custom colours of the colour dialog.
    static constexpr int kCustomColourCount = 16;

    // Shows the popup with its top-left corner at position (screen
    // coordinates), kept on the screen. The registry section holds the colour
    // dialog's custom colours.
    CColourPopupXP(const QPoint& position, std::uint32_t colour, CColourPickerXP* picker,
                   const std::string& defaultText, const std::string& customText,
                   const std::string& registrySection, bool flatMenus);
    ~CColourPopupXP() override;

    // From now on the popup reports to nobody (its button is going away).
    void DetachPicker() { m_Picker = nullptr; }

    // The colour table.
    static int GetColourCount();
    static std::uint32_t GetTableColour(int index);
    static const char* GetColourName(int index);

    std::uint32_t GetInitialColour() const { return m_InitialColour; }
    std::uint32_t GetChosenColour() const { return m_ChosenColour; }
    int GetHighlightedEntry() const { return m_Highlighted; }
    // The entry of the colour the popup opened with, drawn sunken.
    int GetChosenEntry() const { return m_ChosenEntry; }
    bool HasEntry(int entry) const;
    // In the popup's coordinates; empty for an entry that does not exist.
    QRect GetEntryRect(int entry) const;
    // The entry under a point of the popup, kNoEntry when none.
    int EntryAt(const QPoint& point) const;

    // The colour dialog's custom colours kept in a section of the settings
    // store: "CUSTOM_COLOR_0" .. "CUSTOM_COLOR_15", white when absent.
    static void LoadCustomColours(const std::string& section);
    static void SaveCustomColours(const std::string& section);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Layout(const QPoint& position);
    void FindChosenEntry();
    void ChangeHighlight(int entry);
    // The entry keyboard navigation reaches from the highlighted one.
    int NextEntry(int key) const;
    void EndSelection(bool accept);
    void DrawEntry(QPainter& painter, int entry);

    QPointer<CColourPickerXP> m_Picker;
    std::uint32_t m_InitialColour;
    std::uint32_t m_ChosenColour;
    std::string m_DefaultText;
    std::string m_CustomText;
    std::string m_RegistrySection;
    bool m_FlatMenus;
    int m_Rows = 0;
    int m_BoxSize = 18;
    int m_Margin = 2;
    int m_Highlighted = kNoEntry;
    int m_ChosenEntry = kNoEntry;
    QRect m_DefaultRect;
    QRect m_CustomRect;
    QRect m_GridRect;
    bool m_Ended = false;
    bool m_ColourDialogOpen = false;
};
