#include "ui/CustomExporterDialog.h"

#include "framework/UserInterface.h"
#include "ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The widest the format list grows to show its texts whole.
constexpr int kWidestList = 900;

} // namespace

CCustomExporterDialog::CCustomExporterDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD_CUSTOM_EXPORTER));
    setWindowTitle(QStringLiteral("Export Format"));

    m_List = new QTreeWidget(this);
    m_List->setObjectName(QString::number(IDC_CUSTOM_EXPORTER_LIST));
    m_List->setRootIsDecorated(false);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Description")});
    m_List->setColumnWidth(0, 120);
    m_List->setColumnWidth(1, 180);

    QDialogButtonBox* buttons = CreateOkCancelButtons(this);
    m_Ok = buttons->button(QDialogButtonBox::Ok);
    m_Cancel = buttons->button(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_List);
    layout->addWidget(buttons);

    connect(m_List, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateOk(); });
    connect(m_List, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
}

void CCustomExporterDialog::OnInitDialog() {
    m_List->clear();
    const std::size_t rows = std::max(m_ExporterNames.size(), m_ExporterDescriptions.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string name = i < m_ExporterNames.size() ? m_ExporterNames[i] : std::string();
        const std::string description = i < m_ExporterDescriptions.size() ? m_ExporterDescriptions[i] : std::string();
        new QTreeWidgetItem(m_List, {QString::fromStdString(name), QString::fromStdString(description)});
    }
    // The columns grow to their longest name and description, and the list
    // (with the dialog) to the columns, so that no format reads "Ostrela
    // Intercha..."; a list wider than most screens scrolls instead.
    int total = 0;
    for (int column = 0; column < m_List->columnCount(); ++column) {
        const int width = m_List->columnWidth(column);
        m_List->resizeColumnToContents(column);
        m_List->setColumnWidth(column, std::max(width, m_List->columnWidth(column)));
        total += m_List->columnWidth(column);
    }
    const int chrome = 2 * m_List->frameWidth() + m_List->verticalScrollBar()->sizeHint().width();
    m_List->setMinimumWidth(std::min(total + chrome, kWidestList));
    if (m_List->topLevelItemCount() > 0) {
        m_List->setCurrentItem(m_List->topLevelItem(0));
        m_List->topLevelItem(0)->setSelected(true);
    }
    m_Ok->setEnabled(true);
}

int CCustomExporterDialog::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CCustomExporterDialog::UpdateOk() { m_Ok->setEnabled(!m_List->selectedItems().isEmpty()); }

void CCustomExporterDialog::accept() {
    const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
    if (selected.isEmpty())
        return;
    m_ChosenIndex = m_List->indexOfTopLevelItem(selected.front());
    QDialog::accept();
}
