#include "ui/QueryDialog.h"

#include "core/AttributeField.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// The history's up-down arrows: each step is reported as a delta and the
// dialog decides what the position becomes.
class CHistorySpin : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    std::function<void(int)> m_OnDelta;
    void stepBy(int steps) override {
        if (m_OnDelta)
            m_OnDelta(steps);
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

// Draws "name\t(type)" with the type tag at three quarters of the width, so
// that the tags line up in a column.
class CTabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString text = index.data(Qt::DisplayRole).toString();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab < 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem name(option);
        initStyleOption(&name, index);
        name.text = text.left(tab);
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : nullptr;
        if (style == nullptr)
            return;
        style->drawControl(QStyle::CE_ItemViewItem, &name, painter, widget);
        QRect tagRect = option.rect;
        tagRect.setLeft(option.rect.left() + option.rect.width() * 3 / 4);
        painter->save();
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->fillRect(tagRect, option.state & QStyle::State_Selected
                                       ? option.palette.highlight()
                                       : option.palette.base());
        painter->drawText(tagRect, Qt::AlignLeft | Qt::AlignVCenter, text.mid(tab + 1));
        painter->restore();
    }
};

const char* TypeTag(int type) {
    switch (type) {
    case FT_Int:
        return "\t(integer)";
    case FT_Double:
        return "\t(double)";
    default:
        return "\t(string)";
    }
}

} // namespace

CQueryDialog::CQueryDialog(QWidget* parent)
    : QDialog(parent), m_Columns(Named(new QListWidget(this), IDC_QUERY_COLUMNS)),
      m_AddColumn(Named(new QPushButton(QStringLiteral("Add"), this), IDC_QUERY_ADD_COLUMN)),
      m_Functions(Named(new QComboBox(this), IDC_QUERY_FUNCTIONS)),
      m_AddFunction(Named(new QPushButton(QStringLiteral("Add"), this), IDC_QUERY_ADD_FUNCTION)),
      m_Query(Named(new QPlainTextEdit(this), IDC_QUERY_TEXT)),
      m_HistorySpin(Named(new CHistorySpin(this), IDC_QUERY_HISTORY)) {
    setObjectName(QString::number(IDD_QUERY));
    setWindowTitle(QStringLiteral("Query"));
    setModal(false);

    m_Columns->setItemDelegate(new CTabStopDelegate(m_Columns));
    m_AddColumn->setEnabled(false);
    m_AddFunction->setEnabled(false);
    m_Query->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_HistorySpin->setRange(0, 0);
    m_HistorySpin->setEnabled(false);
    m_HistorySpin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    static_cast<CHistorySpin*>(m_HistorySpin)->m_OnDelta = [this](int delta) {
        OnHistoryDelta(delta);
    };

    auto* attributes = new QGroupBox(QStringLiteral("Attributes"), this);
    auto* attributesLayout = new QVBoxLayout(attributes);
    attributesLayout->addWidget(m_Columns);
    attributesLayout->addWidget(m_AddColumn);

    auto* operators = new QGroupBox(QStringLiteral("Operators"), this);
    auto* operatorsLayout = new QGridLayout(operators);
    struct Operator {
        int id;
        const char* label;
        const char* text;
    };
    static const Operator kOperators[] = {
        {IDC_QUERY_EQUAL, "=", " = "},        {IDC_QUERY_NOT_EQUAL, "<>", " <> "},
        {IDC_QUERY_LESS, "<", " < "},         {IDC_QUERY_GREATER, ">", " > "},
        {IDC_QUERY_LESS_EQUAL, "<=", " <= "}, {IDC_QUERY_GREATER_EQUAL, ">=", " >= "},
        {IDC_QUERY_NOT, "not", " NOT "},      {IDC_QUERY_OR, "or", " OR "},
        {IDC_QUERY_AND, "and", " AND "},      {IDC_QUERY_LIKE, "like", " LIKE '' "},
        {IDC_QUERY_IN, "in()", " IN ( ) "},
    };
    int cell = 0;
    for (const Operator& op : kOperators) {
        auto* button = Named(new QPushButton(QString::fromLatin1(op.label), operators), op.id);
        button->setAutoDefault(false);
        const QString text = QString::fromLatin1(op.text);
        connect(button, &QPushButton::clicked, this, [this, text] { InsertText(text); });
        operatorsLayout->addWidget(button, cell / 4, cell % 4);
        ++cell;
    }
    operators->findChild<QPushButton*>(QString::number(IDC_QUERY_LIKE))
        ->setToolTip(QStringLiteral(
            "<string> LIKE '<pattern>'\r\n\r\n<pattern> accepts '*' and '?' as wildcards."));
    operators->findChild<QPushButton*>(QString::number(IDC_QUERY_IN))
        ->setToolTip(QStringLiteral(
            "<value> IN ( v1 [, v2 [...]] )\r\n\r\nEquals: <value>=v1 [OR <value>=v2 [...]]"));

    auto* functions = new QGroupBox(QStringLiteral("Functions"), this);
    auto* functionsLayout = new QHBoxLayout(functions);
    functionsLayout->addWidget(m_Functions, 1);
    functionsLayout->addWidget(m_AddFunction);

    auto* history = new QGroupBox(QStringLiteral("History"), this);
    auto* historyLayout = new QHBoxLayout(history);
    historyLayout->addWidget(m_HistorySpin);

    auto* top = new QHBoxLayout;
    top->addWidget(attributes, 1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(operators);
    middle->addWidget(functions);
    middle->addWidget(history);
    top->addLayout(middle);

    auto* buttons = new QHBoxLayout;
    auto* select =
        Named(new QPushButton(QStringLiteral("Add to &Selection"), this), IDC_QUERY_SELECT);
    auto* deselect =
        Named(new QPushButton(QStringLiteral("&Remove from Selection"), this), IDC_QUERY_DESELECT);
    auto* count = Named(new QPushButton(QStringLiteral("&Count"), this), IDC_QUERY_COUNT);
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), IDC_QUERY_CLOSE);
    select->setDefault(true);
    for (QPushButton* button : {deselect, count, close})
        button->setAutoDefault(false);
    buttons->addWidget(select);
    buttons->addWidget(deselect);
    buttons->addWidget(count);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("For all shapes where"), this));
    layout->addWidget(m_Query, 1);
    layout->addLayout(buttons);

    connect(select, &QPushButton::clicked, this, [this] { Run(0); });
    connect(deselect, &QPushButton::clicked, this, [this] { Run(1); });
    connect(count, &QPushButton::clicked, this, [this] { Run(2); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_AddColumn, &QPushButton::clicked, this, [this] { OnAddColumn(); });
    connect(m_Columns, &QListWidget::itemDoubleClicked, this, [this] { OnAddColumn(); });
    connect(m_Columns, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_AddFunction, &QPushButton::clicked, this, [this] { OnAddFunction(); });
    connect(m_Functions, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        // The tip tells what the chosen function does.
        const std::size_t i = static_cast<std::size_t>(std::max(index, 0));
        QString tip;
        if (index >= 0 && i < m_FunctionDescriptions.size())
            tip = QString::fromStdString(m_FunctionDescriptions[i].substr(0, 79));
        m_Functions->setToolTip(tip);
        UpdateButtons();
    });
}

void CQueryDialog::SetTheme(CTheme* theme) {
    m_Theme = theme;
    m_Columns->clear();
    if (theme == nullptr || theme->GetAttributeCount() == 0) {
        UpdateButtons();
        return;
    }
    const int count = static_cast<int>(theme->GetAttributeCount());
    for (int field = 0; field < count; ++field)
        m_Columns->addItem(QString::fromStdString(theme->GetAttributeName(field)) +
                           QLatin1String(TypeTag(theme->GetAttributeType(field))));
    UpdateButtons();
}

void CQueryDialog::UpdateButtons() {
    m_AddColumn->setEnabled(!m_Columns->selectedItems().isEmpty());
    m_AddFunction->setEnabled(m_Functions->currentIndex() >= 0);
}

void CQueryDialog::FillFunctions() {
    if (m_FunctionsFilled)
        return;
    m_FunctionsFilled = true;
    m_Functions->blockSignals(true);
    m_Functions->clear();
    for (std::size_t i = 0; i < m_FunctionNames.size(); ++i)
        m_Functions->addItem(QString::fromStdString(m_FunctionNames[i]), static_cast<int>(i));
    // Nothing is chosen until the user picks a function.
    m_Functions->setCurrentIndex(-1);
    m_Functions->blockSignals(false);
    UpdateButtons();
}

void CQueryDialog::showEvent(QShowEvent* event) {
    FillFunctions();
    QDialog::showEvent(event);
    m_Query->setFocus();
}

void CQueryDialog::InsertText(const QString& text) {
    m_Query->textCursor().insertText(text);
    m_Query->setFocus();
}

void CQueryDialog::OnAddColumn() {
    const QList<QListWidgetItem*> chosen = m_Columns->selectedItems();
    if (chosen.isEmpty()) {
        m_AddColumn->setEnabled(false);
        return;
    }
    const QString text = chosen.front()->text();
    InsertText(QLatin1Char('[') + text.left(text.indexOf(QLatin1Char('\t'))) + QLatin1Char(']'));
}

void CQueryDialog::OnAddFunction() {
    FillFunctions();
    if (m_Functions->currentIndex() < 0) {
        m_AddFunction->setEnabled(false);
        return;
    }
    InsertText(m_Functions->currentText() + QStringLiteral("( )"));
}

QString CQueryDialog::GetQueryText() const {
    return m_Query->toPlainText();
}

int CQueryDialog::GetHistoryPosition() const {
    return m_HistorySpin->value();
}

void CQueryDialog::Run(int mode) {
    if (!m_Callback)
        return;
    const std::string text = m_Query->toPlainText().toStdString();
    m_History.erase(std::remove(m_History.begin(), m_History.end(), text), m_History.end());
    m_History.push_back(text);
    const int count = static_cast<int>(m_History.size());
    m_HistorySpin->setEnabled(true);
    m_HistorySpin->setRange(0, count);
    m_HistorySpin->setValue(count);

    int matches = 0;
    std::string error;
    bool ran = false;
    const auto start = std::chrono::steady_clock::now();
    {
        corvale::CWaitCursor wait;
        ran = m_Callback(mode, text, matches, error);
    }
    if (ran) {
        const double milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        char message[128];
        std::snprintf(message, sizeof message,
                      "Query resulted in %d matches,\nand completed in %.02f seconds.", matches,
                      milliseconds / 1000.0);
        corvale::UI().ShowMessage(message, corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
    } else {
        corvale::UI().ShowMessage(error, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        m_Query->setFocus();
    }
}

void CQueryDialog::OnHistoryDelta(int delta) {
    const int count = static_cast<int>(m_History.size());
    const int position = m_HistorySpin->value() + delta;
    if (position < 0 || position > count || !m_HistorySpin->isEnabled())
        return;
    m_HistorySpin->setValue(position);
    m_Query->setPlainText(
        position < count ? QString::fromStdString(m_History[static_cast<std::size_t>(position)])
                         : QString());
    m_Query->moveCursor(QTextCursor::End);
    m_Query->setFocus();
}
