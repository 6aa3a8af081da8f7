#include "ui/AttributeMergerDialog.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "ui/DialogButtons.h"
#include "ui/controls/ColumnExEditListCtrl.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cctype>

namespace {

const char* const kNoColumn = "No column selected.";
const char* const kCopyNeedsRow =
    "A column AND a row from the original attributes\nneed to be selected for Copy operation.";

constexpr int kColumnWidth = 70;
constexpr int kMinimumWidth = 450;
constexpr int kMinimumHeight = 210;

// The number a text starts with, as the merge's Sum reads it: leading blanks
// are passed over, and a text that starts with no number counts 0.
double LeadingNumber(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    std::size_t end = start;
    const auto digits = [&] {
        const std::size_t from = end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        return end > from;
    };
    if (end < text.size() && (text[end] == '+' || text[end] == '-'))
        ++end;
    bool any = digits();
    if (end < text.size() && text[end] == '.') {
        ++end;
        any = digits() || any;
    }
    if (!any)
        return 0.0;
    std::size_t mantissaEnd = end;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        ++end;
        if (end < text.size() && (text[end] == '+' || text[end] == '-'))
            ++end;
        if (!digits())
            end = mantissaEnd;
    }
    double value = 0.0;
    std::string number = text.substr(start, end - start);
    if (!number.empty() && number.back() == '.')
        number.pop_back();
    if (!number.empty() && number.front() == '.')
        number.insert(number.begin(), '0');
    if (number.size() >= 2 && (number[0] == '+' || number[0] == '-') && number[1] == '.')
        number.insert(number.begin() + 1, '0');
    return corvale::ParseDouble(number, value) ? value : 0.0;
}

} // namespace

CAttributeMergerDialog::CAttributeMergerDialog(QWidget* parent)
    : QDialog(parent), m_List(new CColumnExEditListCtrl(this, IDC_AMERGE_LIST)),
      m_Operation(new QGroupBox(QStringLiteral("Operation"), this)), m_OperationCombo(new QComboBox(m_Operation)),
      m_Apply(new QPushButton(QStringLiteral("Apply"), m_Operation)), m_Ok(new QPushButton(QStringLiteral("OK"), this)),
      m_Cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QString::number(IDD_ATTRIBUTE_MERGER));
    setWindowTitle(QStringLiteral("Merge Attributes"));
    setSizeGripEnabled(true);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_OperationCombo->setObjectName(QString::number(IDC_AMERGE_OPERATION));
    m_Apply->setObjectName(QString::number(IDC_AMERGE_APPLY));
    m_Apply->setAutoDefault(false);
    m_OperationCombo->addItems({QStringLiteral("Concatenate"), QStringLiteral("Copy"), QStringLiteral("Sum")});
    m_OperationCombo->setCurrentIndex(0);
    m_Operation->resize(110, 95);
    // Inside the group, which stands 11 pixels from the top: the combo at 31
    // and Apply at 60 from the top, both 3 pixels from the group's right edge.
    m_OperationCombo->setGeometry(3, 31 - 11, m_Operation->width() - 6, m_OperationCombo->sizeHint().height());
    m_Apply->setGeometry(3, 60 - 11, m_Operation->width() - 6, m_Apply->sizeHint().height());
    connect(m_Apply, &QPushButton::clicked, this, [this] { OnApply(); });
    // The buttons are placed by hand (see resizeEvent), so they are not in a
    // button box.
    m_Ok->setObjectName(QString::number(IDC_DIALOG_OK));
    m_Cancel->setObjectName(QString::number(IDC_DIALOG_CANCEL));
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_List->setShowGrid(true);
    m_List->move(11, 11);
    resize(kMinimumWidth + 150, kMinimumHeight + 90);
}

int CAttributeMergerDialog::LastRow() const { return m_List->GetItemCount() - 1; }

void CAttributeMergerDialog::FillList() {
    m_List->DeleteAllItems();
    m_List->setColumnCount(0);
    if (m_Theme == nullptr)
        return;
    const int columns = static_cast<int>(m_Theme->GetAttributeCount());
    for (int column = 0; column < columns; ++column)
        m_List->InsertColumn(column, m_Theme->GetAttributeName(column), kColumnWidth);

    // The selected shapes in the order they were selected.
    std::vector<std::pair<int, int>> order;
    for (const auto& [shapeIndex, entry] : m_Theme->m_Selection)
        order.emplace_back(entry.m_SelectionIndex, shapeIndex);
    std::sort(order.begin(), order.end());
    for (const auto& [selectionIndex, shapeIndex] : order) {
        const int row = m_List->InsertItem(m_List->GetItemCount(), std::string());
        const int position = m_Theme->GetShapePosition(shapeIndex);
        for (int column = 0; column < columns; ++column)
            m_List->SetItemText(row, column,
                                position >= 0 ? m_Theme->GetAttributeTextAt(position, column)
                                              : m_Theme->GetAttributeText(shapeIndex, column));
    }
    const int last = m_List->InsertItem(m_List->GetItemCount(), std::string());
    m_List->SetRowSelected(last, true);
    m_List->setCurrentCell(last, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_List->setFocus();
}

int CAttributeMergerDialog::DoModal() {
    FillList();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

std::intptr_t CAttributeMergerDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == LEM_BeginEdit && lParam != 0) {
        auto* notify = reinterpret_cast<ListEditNotify*>(lParam);
        if (notify->m_Row != LastRow())
            notify->m_Cancel = true;
        return 0;
    }
    if (message == LEM_CellChanged && lParam != 0) {
        const auto* notify = reinterpret_cast<const ListEditNotify*>(lParam);
        m_List->SetItemText(LastRow(), notify->m_Column, notify->m_Text);
        return 0;
    }
    return CMessageWindow::OnMessage(message, wParam, lParam);
}

void CAttributeMergerDialog::OnApply() {
    const int position = m_List->GetFirstSelectedColumnPosition();
    if (position == 0) {
        corvale::UI().ShowMessage(kNoColumn, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return;
    }
    const int column = position - 1;
    const int last = LastRow();
    const QString operation = m_OperationCombo->currentText();
    if (operation == QLatin1String("Concatenate")) {
        std::string text;
        for (int row = 0; row < last; ++row)
            text += m_List->GetItemText(row, column);
        m_List->SetItemText(last, column, text);
    } else if (operation == QLatin1String("Copy")) {
        int source = -1;
        for (int row : m_List->GetSelectedRows()) {
            if (row < last) {
                source = row;
                break;
            }
        }
        if (source < 0) {
            corvale::UI().ShowMessage(kCopyNeedsRow, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
            return;
        }
        m_List->SetItemText(last, column, m_List->GetItemText(source, column));
    } else if (operation == QLatin1String("Sum")) {
        double sum = 0.0;
        for (int row = 0; row < last; ++row)
            sum += LeadingNumber(m_List->GetItemText(row, column));
        m_List->SetItemText(last, column, corvale::FormatFixed(sum, 6));
    }
}

void CAttributeMergerDialog::accept() {
    m_List->DestroyEditWindow();
    m_Result.clear();
    const int last = LastRow();
    for (int column = 0; column < m_List->GetColumnCount(); ++column)
        m_Result.push_back(last >= 0 ? m_List->GetItemText(last, column) : std::string());
    QDialog::accept();
}

void CAttributeMergerDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int width = event->size().width();
    const int height = event->size().height();
    const QSize cancel = m_Cancel->sizeHint();
    const QSize ok = m_Ok->sizeHint();
    m_Cancel->setGeometry(width - 10 - cancel.width(), height - 11 - cancel.height(), cancel.width(), cancel.height());
    m_Ok->setGeometry(width - 10 - ok.width(), height - 18 - cancel.height() - ok.height(), ok.width(), ok.height());
    m_Operation->move(width - 10 - m_Operation->width(), 11);
    m_List->setGeometry(11, 11, std::max(0, width - 28 - m_Operation->width() - 11),
                        std::max(0, height - 11 - 11));
}
