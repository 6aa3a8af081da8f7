#include "ui/ThemeExportAttributeListDlg.h"

#include "core/Theme.h"
#include "formats/ThemeExport.h"
#include "framework/UserInterface.h"
#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CThemeExportAttributeListDlg::CThemeExportAttributeListDlg(CTheme& theme, QWidget* parent)
    : QDialog(parent), m_Theme(theme) {
    setObjectName(QString::number(IDD_EXPORT_ATTRIBUTES));
    setWindowTitle(QStringLiteral("Export Attributes"));

    m_Available = new QListWidget(this);
    m_Exported = new QListWidget(this);
    for (QListWidget* list : {m_Available, m_Exported})
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Available->setObjectName(QString::number(IDC_EXPORT_AVAILABLE));
    m_Exported->setObjectName(QString::number(IDC_EXPORT_EXPORTED));
    m_Add = new QPushButton(QStringLiteral(">"), this);
    m_AddAll = new QPushButton(QStringLiteral(">>"), this);
    m_Remove = new QPushButton(QStringLiteral("<"), this);
    m_RemoveAll = new QPushButton(QStringLiteral("<<"), this);
    m_Add->setObjectName(QString::number(IDC_EXPORT_ADD));
    m_AddAll->setObjectName(QString::number(IDC_EXPORT_ADD_ALL));
    m_Remove->setObjectName(QString::number(IDC_EXPORT_REMOVE));
    m_RemoveAll->setObjectName(QString::number(IDC_EXPORT_REMOVE_ALL));
    m_OnlyVisibleBox = new QCheckBox(QStringLiteral("&Show only visible columns"), this);
    m_OnlyVisibleBox->setObjectName(QString::number(IDC_EXPORT_ONLY_VISIBLE));

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_Add, m_AddAll, m_Remove, m_RemoveAll}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Available Attributes:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Exported Attributes:"), this), 0, 2);
    grid->addWidget(m_Available, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_Exported, 1, 2);
    grid->addWidget(m_OnlyVisibleBox, 2, 0, 1, 3);
    grid->addWidget(CreateOkCancelButtons(this), 3, 0, 1, 3);

    connect(m_Add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_AddAll, &QPushButton::clicked, this, [this] { OnAddAll(); });
    connect(m_Remove, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(m_RemoveAll, &QPushButton::clicked, this, [this] { OnRemoveAll(); });
    connect(m_Available, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_Exported, &QListWidget::itemDoubleClicked, this, [this] { OnRemove(); });
    connect(m_Available, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_Exported, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_OnlyVisibleBox, &QCheckBox::clicked, this, [this] { OnOnlyVisible(); });
}

CThemeExportAttributeListDlg::~CThemeExportAttributeListDlg() = default;

int CThemeExportAttributeListDlg::DoModal() {
    m_OnlyVisibleBox->setChecked(m_OnlyVisible != 0);
    m_Lists = std::make_unique<CExportAttributeList>(m_Theme, m_OnlyVisible != 0);
    Refill();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CThemeExportAttributeListDlg::accept() {
    m_Names = m_Lists ? m_Lists->ChosenNames() : std::vector<std::string>();
    QDialog::accept();
}

std::vector<int> CThemeExportAttributeListDlg::SelectedRows(QListWidget* list) {
    std::vector<int> rows;
    for (const QListWidgetItem* item : list->selectedItems())
        rows.push_back(list->row(item));
    return rows;
}

void CThemeExportAttributeListDlg::OnAdd() {
    if (!m_Lists)
        return;
    m_Lists->Add(SelectedRows(m_Available));
    Refill();
}

void CThemeExportAttributeListDlg::OnAddAll() {
    if (!m_Lists)
        return;
    m_Lists->AddAll();
    Refill();
}

void CThemeExportAttributeListDlg::OnRemove() {
    if (!m_Lists)
        return;
    m_Lists->Remove(SelectedRows(m_Exported));
    Refill();
}

void CThemeExportAttributeListDlg::OnRemoveAll() {
    if (!m_Lists)
        return;
    m_Lists->RemoveAll();
    Refill();
}

void CThemeExportAttributeListDlg::OnOnlyVisible() {
    m_OnlyVisible = m_OnlyVisibleBox->isChecked() ? 1 : 0;
    if (!m_Lists)
        return;
    m_Lists->SetOnlyVisible(m_OnlyVisible != 0);
    Refill();
}

void CThemeExportAttributeListDlg::Refill() {
    const auto fill = [](QListWidget* widget, const std::vector<CExportAttributeItem>& items) {
        const QSignalBlocker blocker(widget);
        widget->clear();
        for (const CExportAttributeItem& item : items) {
            auto* entry = new QListWidgetItem(QString::fromStdString(item.m_Name), widget);
            entry->setData(Qt::UserRole, item.m_Column);
        }
    };
    fill(m_Available, m_Lists->Available());
    fill(m_Exported, m_Lists->Exported());
    UpdateButtons();
}

void CThemeExportAttributeListDlg::UpdateButtons() {
    if (!m_Lists)
        return;
    m_Add->setEnabled(m_Lists->CanAdd(!m_Available->selectedItems().isEmpty()));
    m_AddAll->setEnabled(m_Lists->CanAddAll());
    m_Remove->setEnabled(m_Lists->CanRemove(!m_Exported->selectedItems().isEmpty()));
    m_RemoveAll->setEnabled(m_Lists->CanRemoveAll());
}

void InstallExportAttributeChooser(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    SetExportAttributeChooser([owner](CTheme& theme, std::vector<std::string>& names) {
        CThemeExportAttributeListDlg dialog(theme, owner.data());
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        names = dialog.m_Names;
        return true;
    });
}
