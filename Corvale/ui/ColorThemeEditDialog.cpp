#include "ui/ColorThemeEditDialog.h"

#include "framework/UserInterface.h"
#include "ui/controls/ColorListBox.h"
#include "ui/controls/ColourPickerXP.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CColorThemeEditDialog::CColorThemeEditDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    m_NameEdit = new QLineEdit(this);
    m_NameEdit->setObjectName(QString::number(IDC_Name));
    m_ColorList = new CColorListBox(this);
    m_ColorList->setObjectName(QString::number(IDC_Colors));
    m_Picker = new CColourPickerXP(this);
    m_Picker->setObjectName(QString::number(IDC_Colour));
    m_AddButton = new QPushButton(QStringLiteral("&Add Color"), this);
    m_AddButton->setObjectName(QString::number(IDC_AddColor));
    m_AddButton->setAutoDefault(false);
    m_DeleteButton = new QPushButton(QStringLiteral("&Delete Color"), this);
    m_DeleteButton->setObjectName(QString::number(IDC_DeleteColor));
    m_DeleteButton->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IDC_OK));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QString::number(IDC_Cancel));

    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    nameLabel->setBuddy(m_NameEdit);
    auto* colorsLabel = new QLabel(QStringLiteral("&Colors:"), this);
    colorsLabel->setBuddy(m_ColorList);

    auto* grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_NameEdit, 0, 1, 1, 2);
    grid->addWidget(colorsLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(m_ColorList, 1, 1, 4, 1);
    grid->addWidget(m_Picker, 1, 2);
    grid->addWidget(m_AddButton, 2, 2);
    grid->addWidget(m_DeleteButton, 3, 2);
    grid->setRowStretch(4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_AddButton, &QPushButton::clicked, this, [this] { OnAddColor(); });
    connect(m_DeleteButton, &QPushButton::clicked, this, [this] { OnDeleteColor(); });
    connect(m_ColorList, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
}

CColorThemeEditDialog::~CColorThemeEditDialog() = default;

void CColorThemeEditDialog::showEvent(QShowEvent* event) {
    if (!m_Initialised) {
        m_Initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CColorThemeEditDialog::OnInitDialog() {
    setWindowTitle(QString::fromStdString(m_Caption));
    m_NameEdit->setText(QString::fromStdString(m_Theme.m_Name));
    m_ColorList->clear();
    for (std::size_t i = 0; i < m_Theme.m_Colors.size(); ++i)
        m_ColorList->AddColor(m_Theme.GetColor(static_cast<int>(i)));
    m_ColorList->clearSelection();
    UpdateControls();
}

int CColorThemeEditDialog::SelectedRow() const {
    const QList<QListWidgetItem*> selected = m_ColorList->selectedItems();
    return selected.isEmpty() ? -1 : m_ColorList->row(selected.front());
}

void CColorThemeEditDialog::UpdateControls() {
    const bool selected = SelectedRow() >= 0;
    m_Picker->setEnabled(selected);
    m_DeleteButton->setEnabled(selected);
}

void CColorThemeEditDialog::OnSelectionChanged() {
    const int row = SelectedRow();
    if (row >= 0)
        m_Picker->SetColour(m_ColorList->GetColor(row));
    UpdateControls();
}

void CColorThemeEditDialog::OnAddColor() {
    m_ColorList->AddColor(kNewColour);
    m_Picker->SetColour(kNewColour);
    m_ColorList->setCurrentRow(m_ColorList->count() - 1, QItemSelectionModel::ClearAndSelect);
    UpdateControls();
}

void CColorThemeEditDialog::OnDeleteColor() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    delete m_ColorList->takeItem(row);
    const int count = m_ColorList->count();
    if (count > 0)
        m_ColorList->setCurrentRow(row < count ? row : count - 1, QItemSelectionModel::ClearAndSelect);
    else
        m_ColorList->clearSelection();
    UpdateControls();
}

std::intptr_t CColorThemeEditDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CMessageWindow::OnMessage(message, wParam, lParam);
    const int row = SelectedRow();
    if (row < 0)
        return 0;
    auto colour = static_cast<std::uint32_t>(wParam);
    if (colour == kAutomaticColour) {
        colour = kNewColour;
        m_Picker->SetColour(colour);
    }
    m_ColorList->SetColor(row, colour);
    return 0;
}

void CColorThemeEditDialog::accept() {
    const std::string name = m_NameEdit->text().toStdString();
    if (name.empty()) {
        corvale::UI().ShowMessage("Name cannot be empty.", corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return;
    }
    if (m_ColorList->count() == 0) {
        corvale::UI().ShowMessage("Color list cannot be empty.", corvale::MessageIcon::Error,
                                  corvale::MessageButtons::Ok);
        return;
    }
    m_Theme.m_Name = name;
    m_Theme.m_Colors.clear();
    for (int i = 0; i < m_ColorList->count(); ++i)
        m_Theme.m_Colors.push_back(m_ColorList->GetColor(i));
    QDialog::accept();
}
