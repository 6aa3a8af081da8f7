#include "ui/FindDialogs.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

// ---- Find ----

CFindDialog::CFindDialog(QWidget* parent)
    : QDialog(parent), m_TextCombo(Named(new QComboBox(this), IDC_FIND_TEXT)),
      m_Up(Named(new QRadioButton(QStringLiteral("&Up"), this), IDC_FIND_UP)),
      m_DownButton(Named(new QRadioButton(QStringLiteral("&Down"), this), IDC_FIND_DOWN)),
      m_MatchCaseBox(
          Named(new QCheckBox(QStringLiteral("Match &case"), this), IDC_FIND_MATCH_CASE)),
      m_EntireFieldBox(
          Named(new QCheckBox(QStringLiteral("Match &entire field"), this), IDC_FIND_ENTIRE_FIELD)),
      m_FindNext(Named(new QPushButton(QStringLiteral("&Find Next"), this), IDC_FIND_NEXT)),
      m_Close(Named(new QPushButton(QStringLiteral("Close"), this), IDC_FIND_CLOSE)),
      m_AdvancedButton(
          Named(new QPushButton(QStringLiteral("Advanced >>"), this), IDC_FIND_ADVANCED)),
      m_AdvancedPart(new QWidget(this)),
      m_Columns(Named(new QListWidget(m_AdvancedPart), IDC_FIND_COLUMNS)) {
    setObjectName(QString::number(IDD_FIND));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    m_TextCombo->setEditable(true);
    m_TextCombo->setInsertPolicy(QComboBox::NoInsert);
    m_DownButton->setChecked(true);
    m_EntireFieldBox->setChecked(true);

    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_Up);
    directionLayout->addWidget(m_DownButton);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Fi&nd what:"), this), 0, 0);
    fields->addWidget(m_TextCombo, 0, 1);
    fields->addWidget(m_MatchCaseBox, 1, 0, 1, 2);
    fields->addWidget(m_EntireFieldBox, 2, 0, 1, 2);
    fields->addWidget(direction, 3, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_FindNext);
    buttons->addWidget(m_Close);
    buttons->addWidget(m_AdvancedButton);
    buttons->addStretch(1);

    auto* advancedLayout = new QVBoxLayout(m_AdvancedPart);
    advancedLayout->setContentsMargins(0, 0, 0, 0);
    advancedLayout->addWidget(
        new QLabel(QStringLiteral("Search in these columns:"), m_AdvancedPart));
    advancedLayout->addWidget(m_Columns);
    auto* checks = new QHBoxLayout;
    auto* uncheckAll = Named(new QPushButton(QStringLiteral("&Uncheck All"), m_AdvancedPart),
                             IDC_FIND_UNCHECK_ALL);
    auto* checkAll =
        Named(new QPushButton(QStringLiteral("&Check All"), m_AdvancedPart), IDC_FIND_CHECK_ALL);
    checks->addWidget(uncheckAll);
    checks->addWidget(checkAll);
    advancedLayout->addLayout(checks);
    m_AdvancedPart->setVisible(false);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addWidget(m_AdvancedPart);

    for (QPushButton* button : {m_Close, m_AdvancedButton, uncheckAll, checkAll})
        button->setAutoDefault(false);
    connect(m_FindNext, &QPushButton::clicked, this, [this] { OnFindNext(); });
    connect(m_Close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_AdvancedButton, &QPushButton::clicked, this, [this] { OnAdvanced(); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { OnCheckAll(false); });
    connect(checkAll, &QPushButton::clicked, this, [this] { OnCheckAll(true); });
    connect(m_TextCombo, &QComboBox::editTextChanged, this, [this] { UpdateFindButton(); });
    UpdateFindButton();
}

void CFindDialog::SetTheme(CTheme* theme) {
    const int columns = theme != nullptr ? static_cast<int>(theme->GetAttributeCount()) : 0;
    if (theme == m_Theme && m_Columns->count() == columns)
        return;
    m_Theme = theme;
    m_Columns->clear();
    for (int field = 0; field < columns; ++field) {
        auto* item = new QListWidgetItem(Q(theme->GetAttributeName(field)), m_Columns);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void CFindDialog::SetSearchText(const std::string& text) {
    m_Text = text;
    m_TextCombo->setEditText(Q(text));
    UpdateFindButton();
}

bool CFindDialog::IsFieldChecked(int field) const {
    const QListWidgetItem* item = m_Columns->item(field);
    return item != nullptr && item->checkState() == Qt::Checked;
}

void CFindDialog::CheckField(int field, bool checked) {
    if (QListWidgetItem* item = m_Columns->item(field))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<bool> CFindDialog::GetCheckedFields() const {
    std::vector<bool> checked;
    for (int field = 0; field < m_Columns->count(); ++field)
        checked.push_back(IsFieldChecked(field));
    return checked;
}

void CFindDialog::OnCheckAll(bool checked) {
    for (int field = 0; field < m_Columns->count(); ++field)
        CheckField(field, checked);
}

void CFindDialog::UpdateFindButton() {
    m_FindNext->setEnabled(!m_TextCombo->currentText().isEmpty());
}

void CFindDialog::PlaceForState() {
    m_AdvancedPart->setVisible(m_Advanced);
    m_AdvancedButton->setText(m_Advanced ? QStringLiteral("<< Simple")
                                         : QStringLiteral("Advanced >>"));
}

void CFindDialog::OnAdvanced() {
    m_Advanced = !m_Advanced;
    PlaceForState();
}

void CFindDialog::showEvent(QShowEvent* event) {
    // Enter runs Find Next, never Close.
    m_Close->setDefault(false);
    m_FindNext->setDefault(true);
    UpdateFindButton();
    PlaceForState();
    QDialog::showEvent(event);
    if (m_TextCombo->lineEdit() != nullptr)
        m_TextCombo->lineEdit()->selectAll();
    m_TextCombo->setFocus();
}

void CFindDialog::OnFindNext() {
    const std::string text = m_TextCombo->currentText().toStdString();
    if (text.empty())
        return;
    corvale::CWaitCursor wait;
    m_Text = text;
    m_Down = m_DownButton->isChecked();
    m_MatchCase = m_MatchCaseBox->isChecked();
    m_EntireField = m_EntireFieldBox->isChecked();
    m_History.erase(std::remove(m_History.begin(), m_History.end(), text), m_History.end());
    m_History.insert(m_History.begin(), text);
    if (m_History.size() > kHistorySize)
        m_History.resize(kHistorySize);
    m_TextCombo->blockSignals(true);
    m_TextCombo->clear();
    for (const std::string& entry : m_History)
        m_TextCombo->addItem(Q(entry));
    m_TextCombo->setCurrentIndex(0);
    m_TextCombo->blockSignals(false);
    if (m_TextCombo->lineEdit() != nullptr)
        m_TextCombo->lineEdit()->selectAll();
    UpdateFindButton();
    if (m_Callback)
        m_Callback();
}

// ---- Go To ----

namespace {

struct GoToKind {
    const char* item;
    const char* label;
    const char* description;
};
constexpr GoToKind kGoToKinds[] = {
    {"Line", "Line number:", "Go to this line number in the data view."},
    {"Next selected object", "Search from line:", "Go to next selected item in the data view."},
    {"Previous selected object",
     "Search from line:", "Go to previous selected item in the data view."},
};

} // namespace

CGoToDialog::CGoToDialog(QWidget* parent)
    : QDialog(parent), m_KindList(Named(new QComboBox(this), IDC_GOTO_KIND)),
      m_Label(Named(new QLabel(this), IDC_GOTO_LABEL)),
      m_NumberEdit(Named(new QLineEdit(this), IDC_GOTO_NUMBER)),
      m_Description(Named(new QLabel(this), IDC_GOTO_DESCRIPTION)) {
    setObjectName(QString::number(IDD_GO_TO));
    setWindowTitle(QStringLiteral("Go To"));
    setModal(false);
    for (int kind = 0; kind < 3; ++kind)
        m_KindList->addItem(QString::fromLatin1(kGoToKinds[kind].item), kind);
    m_KindList->setCurrentIndex(0);
    m_NumberEdit->setText(QString::number(m_Number));

    auto* go = Named(new QPushButton(QStringLiteral("Go To"), this), IDC_GOTO_GO);
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), IDC_GOTO_CLOSE);
    go->setDefault(true);
    close->setAutoDefault(false);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Go to what:"), m_KindList);
    form->addRow(m_Label, m_NumberEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(go);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_Description);
    layout->addLayout(buttons);

    connect(m_KindList, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { OnKindChanged(); });
    connect(go, &QPushButton::clicked, this, [this] { OnGo(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    OnKindChanged();
}

void CGoToDialog::OnKindChanged() {
    const int kind = std::clamp(m_KindList->currentData().toInt(), 0, 2);
    m_Label->setText(QString::fromLatin1(kGoToKinds[kind].label));
    m_Description->setText(QString::fromLatin1(kGoToKinds[kind].description));
}

void CGoToDialog::OnGo() {
    std::int64_t number = 0;
    if (!corvale::ParseInt64(m_NumberEdit->text().trimmed().toStdString(), number) ||
        number < INT_MIN || number > INT_MAX) {
        corvale::UI().ShowMessage("Please enter an integer.", corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
        m_NumberEdit->setFocus();
        return;
    }
    m_Number = static_cast<int>(number);
    m_Kind = std::clamp(m_KindList->currentData().toInt(), 0, 2);
    if (m_Callback) {
        m_Callback(m_Kind, m_Number);
        m_NumberEdit->setText(QString::number(m_Number));
    }
}

// ---- Duplicate data ----

CTableDuplicateDataDialog::CTableDuplicateDataDialog(const std::map<std::string, int>& counts,
                                                     const std::string& column, int minimum,
                                                     bool findAllowed, const std::string& caption,
                                                     QWidget* parent)
    : QDialog(parent), m_Counts(counts), m_Column(column), m_Minimum(minimum),
      m_FindAllowed(findAllowed), m_List(Named(new QTreeWidget(this), IDC_DUPLICATE_LIST)),
      m_Summary(Named(new QLabel(this), IDC_DUPLICATE_SUMMARY)),
      m_Copy(Named(new QPushButton(QStringLiteral("Copy &Data"), this), IDC_DUPLICATE_COPY)),
      m_Find(Named(new QPushButton(QStringLiteral("&Invoke Find"), this), IDC_DUPLICATE_FIND)) {
    setObjectName(QString::number(IDD_TABLE_DUPLICATE_DATA));
    setWindowTitle(Q(caption));
    m_List->setRootIsDecorated(false);
    m_List->setAllColumnsShowFocus(true);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Occurrences")});
    m_List->header()->setDefaultAlignment(Qt::AlignLeft);
    m_List->headerItem()->setTextAlignment(1, Qt::AlignRight);
    m_List->setColumnWidth(0, 225);
    m_List->setColumnWidth(1, 78);
    m_Summary->setWordWrap(true);
    m_Copy->setEnabled(false);
    m_Find->setEnabled(false);
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Copy);
    buttons->addWidget(m_Find);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Summary);
    layout->addWidget(m_List, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_Copy, &QPushButton::clicked, this, [this] { OnCopyData(); });
    connect(m_Find, &QPushButton::clicked, this, [this] { OnInvokeFind(); });
    connect(m_List, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool chosen = !m_List->selectedItems().isEmpty();
        m_Copy->setEnabled(chosen);
        m_Find->setEnabled(chosen && m_FindAllowed);
    });
    Fill();
}

void CTableDuplicateDataDialog::SetReplacement(const std::string& search,
                                               const std::string& replacement) {
    m_Search = search;
    m_Replacement = replacement;
    Fill();
}

void CTableDuplicateDataDialog::Fill() {
    m_List->clear();
    m_RowValues.clear();
    // Each value goes before the first row whose count is not higher, so the
    // most frequent come first and equal counts stand in reverse value order.
    std::vector<std::pair<std::string, int>> rows;
    for (const auto& [value, count] : m_Counts) {
        if (count < m_Minimum)
            continue;
        auto at = std::find_if(rows.begin(), rows.end(),
                               [count = count](const auto& row) { return row.second <= count; });
        rows.insert(at, {value, count});
    }
    for (const auto& [value, count] : rows) {
        std::string shown = value;
        if (!m_Search.empty()) {
            for (std::size_t at = shown.find(m_Search); at != std::string::npos;
                 at = shown.find(m_Search, at + m_Replacement.size()))
                shown.replace(at, m_Search.size(), m_Replacement);
        }
        auto* item = new QTreeWidgetItem(m_List, {Q(shown), QString::number(count)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        m_RowValues.push_back(value);
    }
    const int n = static_cast<int>(rows.size());
    const char* plural = n == 1 ? "" : "s";
    char summary[512];
    if (m_Minimum == 1)
        std::snprintf(summary, sizeof summary, "%d value%s occurred in column [%s].", n, plural,
                      m_Column.c_str());
    else if (m_Minimum == 2)
        std::snprintf(summary, sizeof summary, "%d value%s occur more than once in column [%s].", n,
                      plural, m_Column.c_str());
    else
        std::snprintf(summary, sizeof summary,
                      "%d value%s occur more than %d times in column [%s].", n, plural, m_Minimum,
                      m_Column.c_str());
    m_Summary->setText(QString::fromUtf8(summary));
}

std::vector<std::pair<std::string, std::string>> CTableDuplicateDataDialog::GetRows() const {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < m_List->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_List->topLevelItem(row);
        rows.emplace_back(item->text(0).toStdString(), item->text(1).toStdString());
    }
    return rows;
}

QString CTableDuplicateDataDialog::GetSummary() const {
    return m_Summary->text();
}

std::string CTableDuplicateDataDialog::RowValue(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_RowValues.size()
               ? m_RowValues[static_cast<std::size_t>(row)]
               : std::string();
}

void CTableDuplicateDataDialog::OnCopyData() {
    const QList<QTreeWidgetItem*> chosen = m_List->selectedItems();
    if (chosen.isEmpty())
        return;
    // The value as the list shows it.
    QApplication::clipboard()->setText(chosen.front()->text(0));
}

void CTableDuplicateDataDialog::OnInvokeFind() {
    const QList<QTreeWidgetItem*> chosen = m_List->selectedItems();
    if (chosen.isEmpty() || !m_FindAllowed)
        return;
    m_Chosen = RowValue(m_List->indexOfTopLevelItem(chosen.front()));
    accept();
}
