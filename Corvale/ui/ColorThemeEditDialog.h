#pragma once
// The colour theme editor: a name and an ordered list of colours. The caller
// sets m_Theme and m_Caption ("Add Color Theme", say), runs the dialog with
// exec(), and on Accepted takes m_Theme back; Cancel leaves m_Theme as given.

#include "framework/Messages.h"
#include "settings/ColorTheme.h"

#include <QDialog>

#include <string>

class CColorListBox;
class CColourPickerXP;
class QLineEdit;
class QPushButton;

class CColorThemeEditDialog : public QDialog, public CMessageWindow {
public:
    // The dialog's resource id and its controls' ids, which the controls
    // carry as their object names.
    enum {
        IDD = 1230,
        IDC_Name = 2250,
        IDC_Colors = 2251,
        IDC_Colour = 2008,
        IDC_AddColor = 2002,
        IDC_DeleteColor = 2060,
        IDC_OK = 1,
        IDC_Cancel = 2,
    };
    // The colour a new entry, or an "Automatic" choice, gets: blue.
    static constexpr std::uint32_t kNewColour = 0x00FF0000;

    explicit CColorThemeEditDialog(QWidget* parent = nullptr);
    ~CColorThemeEditDialog() override;

    CColorTheme m_Theme;
    std::string m_Caption;

    // PCM_ColourAccepted from the colour button.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Checks the name and the list; on success takes them into m_Theme and
    // closes with Accepted, otherwise shows why and stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnSelectionChanged();
    void OnAddColor();
    void OnDeleteColor();
    int SelectedRow() const;
    void UpdateControls();

    QLineEdit* m_NameEdit;
    CColorListBox* m_ColorList;
    CColourPickerXP* m_Picker;
    QPushButton* m_AddButton;
    QPushButton* m_DeleteButton;
    bool m_Initialised = false;
};
