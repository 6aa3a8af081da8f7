#pragma once
// "Arrow Style": the head type, size, colour and placement of the direction
// arrows of a polyline theme, with a preview. The caller sets the members,
// runs exec(), and on Accepted reads them back.

#include "framework/Messages.h"

#include <QDialog>

#include <cstdint>

class CArrowTypeComboBox;
class CColourPickerXP;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;

class CArrowStyleDialog : public QDialog, public CMessageWindow {
public:
    enum {
        IDD = 1240,
        IDC_Head = 2278,
        IDC_Size = 2279,
        IDC_Preview = 2031,
        IDC_Colour = 2280,
        IDC_Placement = 2282,
        IDC_PlacementText = 2283,
        IDC_OK = 1,
        IDC_Cancel = 2,
    };

    explicit CArrowStyleDialog(QWidget* parent = nullptr);
    ~CArrowStyleDialog() override;

    int m_ArrowType = 0;
    int m_ArrowSize = 0;
    std::uint32_t m_Colour = 0;
    // Where along the line the head sits, in percent.
    int m_Placement = 100;

    // PCM_ColourAccepted from the colour button.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // Reads the controls back, then closes with Accepted.
    void accept() override;

    // The preview in the "Preview" group box, in its coordinates.
    void DrawPreview(QPainter& painter, const QRect& groupRect);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void ReadControls();
    void ShowPlacement();

    CArrowTypeComboBox* m_HeadCombo;
    QComboBox* m_SizeCombo;
    QGroupBox* m_Preview;
    CColourPickerXP* m_Picker;
    QSlider* m_PlacementBar;
    QLabel* m_PlacementText;
    bool m_Initialised = false;
};
