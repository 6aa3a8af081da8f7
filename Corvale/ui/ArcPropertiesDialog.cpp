#include "ui/ArcPropertiesDialog.h"

#include "framework/UserInterface.h"
#include "ui/ArrowStyleDialog.h"
#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/PenPatternComboBox.h"
#include "ui/controls/PenWidthComboBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

struct AlignmentRadio {
    int id;
    const char* text;
};
const AlignmentRadio kAlignmentRadios[CArcPropertiesDialog::AL_Count] = {
    {CArcPropertiesDialog::IDC_Center, "Center"}, {CArcPropertiesDialog::IDC_Left, "Left"},
    {CArcPropertiesDialog::IDC_Right, "Right"},   {CArcPropertiesDialog::IDC_East, "East"},
    {CArcPropertiesDialog::IDC_West, "West"},     {CArcPropertiesDialog::IDC_North, "North"},
    {CArcPropertiesDialog::IDC_South, "South"},
};

} // namespace

CArcPropertiesDialog::CArcPropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    auto* pen = new QGroupBox(QStringLiteral("Pen"), this);
    m_Picker = new CColourPickerXP(pen);
    m_Picker->setObjectName(QString::number(IDC_PenColour));
    m_WidthCombo = new CPenWidthComboBox(pen);
    m_WidthCombo->setObjectName(QString::number(IDC_PenWidth));
    m_PatternCombo = new CPenPatternComboBox(pen);
    m_PatternCombo->setObjectName(QString::number(IDC_PenStyle));
    auto* penGrid = new QGridLayout(pen);
    penGrid->addWidget(new QLabel(QStringLiteral("Color:"), pen), 0, 0);
    penGrid->addWidget(m_Picker, 0, 1);
    penGrid->addWidget(new QLabel(QStringLiteral("Width:"), pen), 1, 0);
    penGrid->addWidget(m_WidthCombo, 1, 1);
    penGrid->addWidget(new QLabel(QStringLiteral("Style:"), pen), 2, 0);
    penGrid->addWidget(m_PatternCombo, 2, 1);

    auto* arrows = new QGroupBox(QStringLiteral("Arrows"), this);
    m_ShowDirectionCheck = new QCheckBox(QStringLiteral("Show direction of selection"), arrows);
    m_ShowDirectionCheck->setObjectName(QString::number(IDC_ShowDirection));
    m_StyleButton = new QPushButton(QStringLiteral("Style..."), arrows);
    m_StyleButton->setObjectName(QString::number(IDC_ArrowStyle));
    m_StyleButton->setAutoDefault(false);
    auto* arrowsLayout = new QVBoxLayout(arrows);
    arrowsLayout->addWidget(m_ShowDirectionCheck);
    arrowsLayout->addWidget(m_StyleButton, 0, Qt::AlignLeft);

    auto* alignment = new QGroupBox(QStringLiteral("Alignment"), this);
    auto* alignmentGrid = new QGridLayout(alignment);
    for (int i = 0; i < AL_Count; ++i) {
        m_AlignmentRadios[i] = new QRadioButton(QString::fromUtf8(kAlignmentRadios[i].text), alignment);
        m_AlignmentRadios[i]->setObjectName(QString::number(kAlignmentRadios[i].id));
        alignmentGrid->addWidget(m_AlignmentRadios[i], i < 3 ? i : i - 3, i < 3 ? 0 : 1);
        connect(m_AlignmentRadios[i], &QRadioButton::clicked, this, [this] { OnAlignment(); });
    }
    m_DisplacementLabel = new QLabel(QStringLiteral("Displacement:"), alignment);
    m_DisplacementLabel->setObjectName(QString::number(IDC_DisplacementLabel));
    m_DisplacementEdit = new QLineEdit(alignment);
    m_DisplacementEdit->setObjectName(QString::number(IDC_Displacement));
    alignmentGrid->addWidget(m_DisplacementLabel, 4, 0);
    alignmentGrid->addWidget(m_DisplacementEdit, 4, 1);
    alignmentGrid->addWidget(new QLabel(QStringLiteral("pt"), alignment), 4, 2);

    auto* layout = new QGridLayout(this);
    layout->addWidget(pen, 0, 0);
    layout->addWidget(arrows, 1, 0);
    layout->addWidget(alignment, 0, 1, 2, 1);

    connect(m_WidthCombo, &QComboBox::activated, this, [this] { OnPenWidthChanged(); });
    connect(m_PatternCombo, &QComboBox::activated, this, [this] { OnPenStyleChanged(); });
    connect(m_ShowDirectionCheck, &QCheckBox::clicked, this, [this](bool checked) {
        m_ShowDirection = checked ? 1 : 0;
        m_StyleButton->setEnabled(checked);
    });
    connect(m_StyleButton, &QPushButton::clicked, this, [this] { OnArrowStyle(); });
}

CArcPropertiesDialog::~CArcPropertiesDialog() = default;

void CArcPropertiesDialog::OnInitDialog() {
    UpdateData(false);
    m_Picker->SetColour(m_PenColour);
    m_WidthCombo->SetCurWidth(m_PenWidth);
    m_PatternCombo->SetCurPattern(m_PenStyle);
    m_PatternCombo->SetPenWidth(m_PenWidth);
    m_ShowDirectionCheck->setChecked(m_ShowDirection != 0);
    m_StyleButton->setEnabled(m_ShowDirection != 0);
    EnableDisplacement();
}

bool CArcPropertiesDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        if (m_Alignment >= 0 && m_Alignment < AL_Count)
            m_AlignmentRadios[m_Alignment]->setChecked(true);
        m_DisplacementEdit->setText(QString::number(m_Displacement));
        return true;
    }
    // Nothing is taken unless every value is good.
    bool ok = false;
    const int displacement = m_DisplacementEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        corvale::UI().ShowMessage("Please enter an integer.", corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
        m_DisplacementEdit->setFocus();
        return false;
    }
    for (int i = 0; i < AL_Count; ++i) {
        if (m_AlignmentRadios[i]->isChecked())
            m_Alignment = i;
    }
    m_Displacement = displacement;
    return true;
}

void CArcPropertiesDialog::EnableDisplacement() {
    const bool enable = m_Alignment != AL_Center;
    m_DisplacementLabel->setEnabled(enable);
    m_DisplacementEdit->setEnabled(enable);
}

void CArcPropertiesDialog::OnAlignment() {
    for (int i = 0; i < AL_Count; ++i) {
        if (m_AlignmentRadios[i]->isChecked())
            m_Alignment = i;
    }
    EnableDisplacement();
}

void CArcPropertiesDialog::OnPenWidthChanged() {
    const int index = m_WidthCombo->currentIndex();
    m_PenWidth = index >= 0 ? m_WidthCombo->itemData(index).toInt() : m_WidthCombo->GetCurWidth();
    m_PatternCombo->SetPenWidth(m_PenWidth);
}

void CArcPropertiesDialog::OnPenStyleChanged() {
    const int index = m_PatternCombo->currentIndex();
    m_PenStyle = index >= 0 ? m_PatternCombo->itemData(index).toInt() : m_PatternCombo->GetCurPattern();
}

std::intptr_t CArcPropertiesDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    m_PenColour = m_Picker->GetColour(false);
    if (m_PenColour == kAutomaticColour) {
        m_PenColour = kReplacementColour;
        m_Picker->SetColour(m_PenColour);
    }
    update();
    return 0;
}

void CArcPropertiesDialog::OnArrowStyle() {
    CArrowStyleDialog dialog(this);
    dialog.m_ArrowType = m_ArrowType;
    dialog.m_ArrowSize = m_ArrowSize;
    dialog.m_Colour = m_ArrowColour;
    dialog.m_Placement = static_cast<int>(std::floor(static_cast<double>(m_ArrowPlacement) * 100.0 + 0.5));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_ArrowType = dialog.m_ArrowType;
    m_ArrowSize = dialog.m_ArrowSize;
    m_ArrowColour = dialog.m_Colour;
    m_ArrowPlacement = static_cast<float>(dialog.m_Placement / 100.0);
}
