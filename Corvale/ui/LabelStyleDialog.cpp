#include "ui/LabelStyleDialog.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "ui/controls/ColourPickerXP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

struct Alignment {
    const char* text;
    int code;
};
// The label position codes of the renderer.
const Alignment kAlignments[] = {
    {"Center", 0}, {"Top Left", 1},    {"Top", 2},    {"Top Right", 3},    {"Left", 4},
    {"Right", 5},  {"Bottom Left", 6}, {"Bottom", 7}, {"Bottom Right", 8},
};

bool IsPointType(std::uint32_t type) { return type == SHT_Point || type == SHT_PointZ; }

} // namespace

CLabelStyleDialog::CLabelStyleDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_ShowCheck = Named(new QCheckBox(QStringLiteral("Draw InfoTip on map"), this), IDC_ShowLabels);
    m_AlignmentLabel = Named(new QLabel(QStringLiteral("Alignment:"), this), IDC_AlignmentLabel);
    m_AlignmentCombo = Named(new QComboBox(this), IDC_Alignment);
    m_FrameCheck = Named(new QCheckBox(QStringLiteral("Frame"), this), IDC_Frame);
    m_FillLabel = Named(new QLabel(QStringLiteral("Fill color:"), this), IDC_FillColourLabel);
    m_FillPicker = Named(new CColourPickerXP(this), IDC_FillColour);
    m_FrameLabel = Named(new QLabel(QStringLiteral("Frame color:"), this), IDC_FrameColourLabel);
    m_FramePicker = Named(new CColourPickerXP(this), IDC_FrameColour);
    m_DuplicatesCheck = Named(new QCheckBox(QStringLiteral("Allow duplicates"), this), IDC_Duplicates);
    m_ForceCheck = Named(new QCheckBox(QStringLiteral("Force drawing"), this), IDC_Force);
    m_SpacingLabel = Named(new QLabel(QStringLiteral("Inter-label spacing:"), this), IDC_SpacingLabel);
    m_SpacingEdit = Named(new QLineEdit(this), IDC_Spacing);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_ShowCheck, 0, 0, 1, 2);
    layout->addWidget(m_AlignmentLabel, 1, 0);
    layout->addWidget(m_AlignmentCombo, 1, 1);
    layout->addWidget(m_FrameCheck, 2, 0, 1, 2);
    layout->addWidget(m_FillLabel, 3, 0);
    layout->addWidget(m_FillPicker, 3, 1);
    layout->addWidget(m_FrameLabel, 4, 0);
    layout->addWidget(m_FramePicker, 4, 1);
    layout->addWidget(m_DuplicatesCheck, 5, 0, 1, 2);
    layout->addWidget(m_ForceCheck, 6, 0, 1, 2);
    layout->addWidget(m_SpacingLabel, 7, 0);
    layout->addWidget(m_SpacingEdit, 7, 1);
    layout->setRowStretch(8, 1);
    layout->setColumnStretch(2, 1);

    for (QCheckBox* check : {m_ShowCheck, m_FrameCheck, m_ForceCheck})
        connect(check, &QCheckBox::clicked, this, [this] { EnableControls(); });
}

CLabelStyleDialog::~CLabelStyleDialog() = default;

void CLabelStyleDialog::OnInitDialog() {
    m_IsPointTheme = m_Theme != nullptr && IsPointType(m_Theme->m_ShapeType);
    for (const Alignment& a : kAlignments)
        m_AlignmentCombo->addItem(QString::fromLatin1(a.text), a.code);
    m_AlignmentCombo->setCurrentIndex(0);
    // Only points are placed around their position; lines and areas keep
    // their labels centred.
    const int wanted = m_IsPointTheme ? m_Theme->m_LabelAlignment : 0;
    const int index = m_AlignmentCombo->findData(wanted);
    if (index >= 0)
        m_AlignmentCombo->setCurrentIndex(index);
    if (m_Theme != nullptr) {
        m_ShowLabels = m_Theme->m_ShowLabels;
        m_Force = m_Theme->m_LabelForce;
    }
    UpdateData(false);
    m_FrameCheck->setChecked(m_Theme != nullptr && m_Theme->m_LabelFrame);
    m_DuplicatesCheck->setChecked(m_Theme != nullptr && m_Theme->m_LabelDuplicates);
    m_FillPicker->SetColour(m_FillColour);
    m_FramePicker->SetColour(m_FrameColour);
    m_ForceCheck->setChecked(m_Force);
    // Labels need shapes to stand at: an image theme or a theme without
    // shapes cannot switch them on.
    const bool hasShapes = m_Theme != nullptr &&
                           (!m_Theme->m_Points.empty() || !m_Theme->m_Arcs.empty() || !m_Theme->m_Polygons.empty());
    m_ShowCheck->setEnabled(hasShapes);
    EnableControls();
}

bool CLabelStyleDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_ShowCheck->setChecked(m_ShowLabels);
        m_ForceCheck->setChecked(m_Force);
        m_SpacingEdit->setText(QString::number(m_Spacing));
        return true;
    }
    bool ok = false;
    const int spacing = m_SpacingEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        corvale::UI().ShowMessage("Please enter an integer.", corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
        m_SpacingEdit->setFocus();
        return false;
    }
    m_Spacing = spacing;
    m_ShowLabels = m_ShowCheck->isChecked();
    m_Force = m_ForceCheck->isChecked();
    return true;
}

void CLabelStyleDialog::EnableControls() {
    const bool labels = m_ShowCheck->isChecked();
    const bool frame = m_FrameCheck->isChecked();
    const bool force = m_ForceCheck->isChecked();
    m_AlignmentCombo->setEnabled(labels && m_IsPointTheme);
    m_AlignmentLabel->setEnabled(labels && m_IsPointTheme);
    m_FrameCheck->setEnabled(labels);
    m_SpacingEdit->setEnabled(labels && !force);
    m_SpacingLabel->setEnabled(labels && !force);
    m_DuplicatesCheck->setEnabled(labels);
    m_ForceCheck->setEnabled(labels);
    for (QWidget* w : std::initializer_list<QWidget*>{m_FillPicker, m_FramePicker, m_FillLabel, m_FrameLabel})
        w->setEnabled(labels && frame);
}

std::intptr_t CLabelStyleDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    // An automatic colour is no colour a box can take: black.
    m_FillColour = m_FillPicker->GetColour(false);
    if (m_FillColour == kAutomaticColour) {
        m_FillColour = 0;
        m_FillPicker->SetColour(0);
    }
    m_FrameColour = m_FramePicker->GetColour(false);
    if (m_FrameColour == kAutomaticColour) {
        m_FrameColour = 0;
        m_FramePicker->SetColour(0);
    }
    m_FillPicker->update();
    m_FramePicker->update();
    return 0;
}

bool CLabelStyleDialog::IsFrameChecked() const { return m_FrameCheck->isChecked(); }

bool CLabelStyleDialog::IsDuplicatesChecked() const { return m_DuplicatesCheck->isChecked(); }

int CLabelStyleDialog::GetAlignment() const {
    const int index = m_AlignmentCombo->currentIndex();
    return index >= 0 ? m_AlignmentCombo->itemData(index).toInt() : 0;
}
