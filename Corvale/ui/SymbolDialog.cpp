#include "ui/SymbolDialog.h"

#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/PenWidthComboBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>

CSymbolDialog::CSymbolDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_SymbolList = new QListWidget(this);
    m_SymbolList->setObjectName(QString::number(IDC_Symbols));
    m_SymbolList->setViewMode(QListView::IconMode);
    m_SymbolList->setIconSize(QSize(kSymbolIconSize, kSymbolIconSize));
    m_SymbolList->setResizeMode(QListView::Adjust);
    m_SymbolList->setMovement(QListView::Static);
    m_SymbolList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_Picker = new CColourPickerXP(this);
    m_Picker->setObjectName(QString::number(IDC_Colour));
    m_PolylineCheck = new QCheckBox(QStringLiteral("Treat points as polyline"), this);
    m_PolylineCheck->setObjectName(QString::number(IDC_PointsAsPolyline));
    m_WidthLabel = new QLabel(QStringLiteral("Width:"), this);
    m_WidthLabel->setObjectName(QString::number(IDC_WidthLabel));
    m_WidthCombo = new CPenWidthComboBox(this);
    m_WidthCombo->setObjectName(QString::number(IDC_Width));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_SymbolList, 0, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("Color:"), this), 1, 0);
    layout->addWidget(m_Picker, 1, 1);
    layout->addWidget(m_PolylineCheck, 2, 0, 1, 2);
    layout->addWidget(m_WidthLabel, 2, 2);
    layout->addWidget(m_WidthCombo, 2, 3);

    connect(m_SymbolList, &QListWidget::itemSelectionChanged, this, [this] { OnSymbolSelected(); });
    connect(m_PolylineCheck, &QCheckBox::clicked, this, [this](bool checked) {
        m_PointsAsPolyline = checked ? 1 : 0;
        ShowWidth();
    });
    connect(m_WidthCombo, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            m_Width = m_WidthCombo->itemData(index).toInt();
    });
}

CSymbolDialog::~CSymbolDialog() { DestroyIconList(m_Icons); }

void CSymbolDialog::OnInitDialog() {
    m_SymbolList->clear();
    for (int v = 0; v < kPointSymbolCount; ++v)
        new QListWidgetItem(QString::fromStdString(GetPointSymbolName(v)), m_SymbolList);
    BuildIcons();
    // The current symbol is not preselected: the list shows the choice, the
    // members keep the value until the user picks another.
    m_SymbolList->clearSelection();
    m_Picker->SetColour(m_Colour);
    m_WidthCombo->SetCurWidth(m_Width);
    m_PolylineCheck->setChecked(m_PointsAsPolyline != 0);
    ShowWidth();
}

void CSymbolDialog::BuildIcons() {
    DestroyIconList(m_Icons);
    for (int v = 0; v < kPointSymbolCount && v < m_SymbolList->count(); ++v) {
        const QImage icon = CreateSymbolIcon(m_Icons, v + 1, m_Colour);
        m_SymbolList->item(v)->setIcon(QIcon(QPixmap::fromImage(icon)));
    }
    m_SymbolList->viewport()->update();
}

void CSymbolDialog::OnSymbolSelected() {
    const QList<QListWidgetItem*> selected = m_SymbolList->selectedItems();
    if (selected.isEmpty())
        return;
    m_Symbol = m_SymbolList->row(selected.front());
}

void CSymbolDialog::ShowWidth() {
    m_WidthCombo->setVisible(m_PointsAsPolyline != 0);
    m_WidthLabel->setVisible(m_PointsAsPolyline != 0);
}

std::intptr_t CSymbolDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    m_Colour = m_Picker->GetColour(false);
    if (m_Colour == kAutomaticColour) {
        m_Colour = kReplacementColour;
        m_Picker->SetColour(m_Colour);
    }
    BuildIcons();
    return 0;
}
