#include "ui/AttributeManagerDialog.h"

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "framework/UserInterface.h"
#include "ui/AttributeModifierDialog.h"
#include "ui/DialogButtons.h"
#include "ui/controls/ColumnExListCtrl.h"
#include "ui/controls/SelectHeaderCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kEraseOneColumn =
    "Continuing will erase an entire column of data.\n\nThis operation cannot be undone.\n\nContinue anyway?";
const char* const kEraseColumnsFormat =
    "Continuing will erase %d entire columns of data.\n\nThis operation cannot be undone.\n\nContinue anyway?";
const char* const kColumnsNotChanged = "Corvale failed to change the attribute columns.";

enum ListColumn { kNameColumn, kTypeColumn, kDefaultColumn, kDescriptionColumn };

std::string TypeName(std::int32_t type) {
    return type >= FT_String && type <= FT_Boolean ? g_FieldTypeNames[type] : "Unknown";
}

// The description in one line: every tab and every CR LF becomes a blank.
std::string OneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\t') {
            line += ' ';
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            line += ' ';
            ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

// The 7 x 11 key that marks the columns of the primary key.
QIcon KeyIcon() {
    QPixmap pixmap(7, 11);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x80, 0x60, 0x00));
    painter.drawEllipse(0, 0, 6, 5);
    painter.drawLine(3, 5, 3, 10);
    painter.drawLine(3, 8, 5, 8);
    painter.drawLine(3, 10, 5, 10);
    return QIcon(pixmap);
}

const char* Optional(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

} // namespace

CAttributeManagerDialog::CAttributeManagerDialog(QWidget* parent)
    : QDialog(parent), m_List(new CColumnExListCtrl(this, IDC_AMAN_LIST)),
      m_Add(new QPushButton(QStringLiteral("&Add..."), this)),
      m_Change(new QPushButton(QStringLiteral("&Change..."), this)),
      m_Delete(new QPushButton(QStringLiteral("&Delete"), this)),
      m_PrimaryKey(new QPushButton(QStringLiteral("Primary &Key"), this)),
      m_RemoveKeys(new QPushButton(QStringLiteral("&Remove Keys"), this)),
      m_CopyTable(new QPushButton(QStringLiteral("Copy &Table"), this)) {
    setObjectName(QString::number(IDD_ATTRIBUTE_MANAGER));
    setWindowTitle(QStringLiteral("Attribute Manager"));
    m_Add->setObjectName(QString::number(IDC_AMAN_ADD));
    m_Change->setObjectName(QString::number(IDC_AMAN_CHANGE));
    m_Delete->setObjectName(QString::number(IDC_AMAN_DELETE));
    m_PrimaryKey->setObjectName(QString::number(IDC_AMAN_PRIMARY_KEY));
    m_RemoveKeys->setObjectName(QString::number(IDC_AMAN_REMOVE_KEYS));
    m_CopyTable->setObjectName(QString::number(IDC_AMAN_COPY_TABLE));
    for (QPushButton* button : {m_Add, m_Change, m_Delete, m_PrimaryKey, m_RemoveKeys, m_CopyTable})
        button->setAutoDefault(false);

    // A plain list: no header menu and no selectable headings matter here.
    m_List->m_HeaderMenu = false;
    m_List->GetHeaderCtrl()->setSectionsClickable(false);
    m_List->setShowGrid(true);
    m_List->setIconSize(QSize(7, 11));
    m_List->InsertColumn(kNameColumn, "Name", 100);
    m_List->InsertColumn(kTypeColumn, "Type", 60);
    m_List->InsertColumn(kDefaultColumn, "Default Value", 100);
    m_List->InsertColumn(kDescriptionColumn, "Description", 200);
    m_List->setMinimumWidth(470);

    connect(m_List, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_List, &QTableWidget::cellDoubleClicked, this, [this](int, int) {
        if (IsEditable())
            OnChange();
    });
    connect(m_Add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_Change, &QPushButton::clicked, this, [this] { OnChange(); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_PrimaryKey, &QPushButton::clicked, this, [this] { OnPrimaryKey(); });
    connect(m_RemoveKeys, &QPushButton::clicked, this, [this] { OnRemoveKeys(); });
    connect(m_CopyTable, &QPushButton::clicked, this, [this] { OnCopyTable(); });

    auto* buttons = new QVBoxLayout();
    for (QPushButton* button : {m_Add, m_Change, m_Delete, m_PrimaryKey, m_RemoveKeys, m_CopyTable})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* top = new QHBoxLayout();
    top->addWidget(m_List, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(CreateOkCancelButtons(this));
}

bool CAttributeManagerDialog::IsEditable() const { return m_Theme != nullptr && m_Theme->m_Editable; }

int CAttributeManagerDialog::EntryOfRow(int row) const {
    int shown = -1;
    for (std::size_t i = 0; i < m_Entries.size(); ++i) {
        if ((m_Entries[i].m_Flags & AMF_Deleted) != 0)
            continue;
        if (++shown == row)
            return static_cast<int>(i);
    }
    return -1;
}

void CAttributeManagerDialog::ShowEntry(int row, const CAttributeManagerEntry& entry) {
    m_List->SetItemText(row, kNameColumn, entry.m_Info.m_Name);
    m_List->SetItemText(row, kTypeColumn, TypeName(entry.m_Info.m_Type));
    m_List->SetItemText(row, kDefaultColumn, entry.m_Default);
    m_List->SetItemText(row, kDescriptionColumn, OneLine(entry.m_Description));
    SetRowKeyIcon(row, (entry.m_Flags & AMF_Key) != 0);
}

void CAttributeManagerDialog::SetRowKeyIcon(int row, bool key) {
    if (QTableWidgetItem* cell = m_List->item(row, kNameColumn))
        cell->setIcon(key ? KeyIcon() : QIcon());
}

void CAttributeManagerDialog::ReadColumns() {
    m_Entries.clear();
    m_List->DeleteAllItems();
    if (m_Theme == nullptr)
        return;
    const int count = static_cast<int>(m_Theme->GetAttributeCount());
    for (int field = 0; field < count; ++field) {
        CAttributeManagerEntry entry;
        entry.m_Info = m_Theme->GetAttributeInfo(field);
        entry.m_Info.m_Name = m_Theme->GetAttributeName(field);
        if (m_Theme->IsKeyAttribute(field))
            entry.m_Flags |= AMF_Key;
        if (m_Theme->m_SourceType == ST_Native) {
            entry.m_Default = m_Theme->m_NativeTable.GetDefault(field).value_or(std::string());
            entry.m_Description = m_Theme->m_NativeTable.GetDescription(field).value_or(std::string());
        }
        m_Entries.push_back(entry);
        ShowEntry(m_List->InsertItem(field, entry.m_Info.m_Name), entry);
    }
}

void CAttributeManagerDialog::UpdateButtons() {
    const bool editable = IsEditable();
    const std::size_t selected = m_List->GetSelectedRows().size();
    m_Change->setEnabled(editable && selected == 1);
    m_Delete->setEnabled(editable && selected >= 1);
    m_PrimaryKey->setEnabled(editable && selected >= 1);
}

int CAttributeManagerDialog::DoModal() {
    ReadColumns();
    const bool editable = IsEditable();
    m_Add->setEnabled(editable);
    m_Change->setEnabled(false);
    m_Delete->setEnabled(false);
    m_PrimaryKey->setEnabled(false);
    bool anyKey = false;
    for (const auto& entry : m_Entries)
        anyKey = anyKey || (entry.m_Flags & AMF_Key) != 0;
    m_RemoveKeys->setEnabled(editable && anyKey);
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CAttributeManagerDialog::OnAdd() {
    if (!IsEditable())
        return;
    CAttributeModifierDialog modifier(this);
    modifier.m_Caption = "Add Attribute";
    modifier.m_TypeName = g_FieldTypeNames[FT_String];
    if (modifier.DoModal() != corvale::IDOK)
        return;
    CAttributeManagerEntry entry;
    entry.m_Flags = AMF_Added;
    entry.m_Info.m_Name = modifier.m_Name;
    entry.m_Info.m_Type = GetFieldTypeFromName(modifier.m_TypeName.c_str());
    entry.m_Default = modifier.m_Default;
    entry.m_Description = modifier.m_Description;
    m_Entries.push_back(entry);
    ShowEntry(m_List->InsertItem(m_List->GetItemCount(), entry.m_Info.m_Name), entry);
}

void CAttributeManagerDialog::OnChange() {
    const std::vector<int> rows = m_List->GetSelectedRows();
    if (!IsEditable() || rows.size() != 1)
        return;
    const int index = EntryOfRow(rows.front());
    if (index < 0)
        return;
    CAttributeManagerEntry& entry = m_Entries[index];
    CAttributeModifierDialog modifier(this);
    modifier.m_Caption = "Change Attribute";
    modifier.m_Name = entry.m_Info.m_Name;
    modifier.m_TypeName = TypeName(entry.m_Info.m_Type);
    modifier.m_Default = entry.m_Default;
    modifier.m_Description = entry.m_Description;
    if (modifier.DoModal() != corvale::IDOK)
        return;
    entry.m_Info.m_Name = modifier.m_Name;
    entry.m_Info.m_Type = GetFieldTypeFromName(modifier.m_TypeName.c_str());
    entry.m_Default = modifier.m_Default;
    entry.m_Description = modifier.m_Description;
    if ((entry.m_Flags & AMF_Added) == 0)
        entry.m_Flags |= AMF_Changed;
    ShowEntry(rows.front(), entry);
}

void CAttributeManagerDialog::OnDelete() {
    if (!IsEditable())
        return;
    const std::vector<int> rows = m_List->GetSelectedRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const int index = EntryOfRow(*row);
        if (index < 0)
            continue;
        // A column added in this dialog never reached the theme: it simply goes.
        if ((m_Entries[index].m_Flags & AMF_Added) != 0)
            m_Entries.erase(m_Entries.begin() + index);
        else
            m_Entries[index].m_Flags |= AMF_Deleted;
        m_List->DeleteItem(*row);
    }
    m_Change->setEnabled(false);
    m_Delete->setEnabled(false);
}

void CAttributeManagerDialog::OnPrimaryKey() {
    if (!IsEditable())
        return;
    for (auto& entry : m_Entries)
        entry.m_Flags &= ~AMF_Key;
    for (int row = 0; row < m_List->GetItemCount(); ++row)
        SetRowKeyIcon(row, false);
    for (int row : m_List->GetSelectedRows()) {
        const int index = EntryOfRow(row);
        if (index < 0)
            continue;
        m_Entries[index].m_Flags |= AMF_Key;
        SetRowKeyIcon(row, true);
    }
    m_RemoveKeys->setEnabled(true);
}

void CAttributeManagerDialog::OnRemoveKeys() {
    for (auto& entry : m_Entries)
        entry.m_Flags &= ~AMF_Key;
    for (int row = 0; row < m_List->GetItemCount(); ++row)
        SetRowKeyIcon(row, false);
    m_RemoveKeys->setEnabled(false);
}

std::string CAttributeManagerDialog::GetTableText() const {
    std::string text = "Name\tType\tDefault Value\tDescription\r\n";
    for (int row = 0; row < m_List->GetItemCount(); ++row) {
        for (int column = kNameColumn; column <= kDescriptionColumn; ++column) {
            if (column != kNameColumn)
                text += '\t';
            text += m_List->GetItemText(row, column);
        }
        text += "\r\n";
    }
    return text;
}

void CAttributeManagerDialog::OnCopyTable() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(GetTableText()));
}

bool CAttributeManagerDialog::ApplyChanges() {
    CTheme& theme = *m_Theme;
    // What the theme was, to put back when the change as a whole is refused.
    const CNativeAttributeTable table = theme.m_NativeTable;
    const bool modified = theme.m_Modified;
    const std::vector<CStyleInfo*> shapeStyles = theme.m_ShapeStyles;
    const auto restore = [&] {
        theme.m_NativeTable = table;
        theme.m_Modified = modified;
        theme.m_ShapeStyles = shapeStyles;
    };

    if (theme.m_SourceType == ST_Native) {
        // From the last entry down, so that an entry's index still names its
        // column when the columns after it are gone. Added entries come after
        // every existing one.
        for (int index = static_cast<int>(m_Entries.size()) - 1; index >= 0; --index) {
            const CAttributeManagerEntry& entry = m_Entries[index];
            if ((entry.m_Flags & AMF_Added) != 0)
                continue;
            bool done = true;
            if ((entry.m_Flags & AMF_Deleted) != 0) {
                done = theme.DeleteAttribute(index);
            } else if ((entry.m_Flags & AMF_Changed) != 0) {
                const CAttributeFieldInfo* current = theme.m_NativeTable.GetField(index);
                CAttributeFieldInfo info = entry.m_Info;
                // The key is set below, and checked there, as a whole.
                info.m_PrimaryKey = current != nullptr && current->m_PrimaryKey;
                done = theme.m_NativeTable.SetField(info, index, Optional(entry.m_Default),
                                                    Optional(entry.m_Description));
                if (done)
                    theme.m_Modified = true;
            }
            if (!done) {
                restore();
                corvale::UI().ShowMessage(kColumnsNotChanged, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
                return false;
            }
        }
        for (const CAttributeManagerEntry& entry : m_Entries) {
            if ((entry.m_Flags & AMF_Added) == 0)
                continue;
            CAttributeFieldInfo info = entry.m_Info;
            info.m_PrimaryKey = false;
            theme.AddAttribute(info, Optional(entry.m_Default), Optional(entry.m_Description));
        }
    }

    // Key columns counted as the columns stand after the deletions; a
    // deleted column is no longer there to be part of it.
    std::vector<int> key;
    int column = 0;
    for (const CAttributeManagerEntry& entry : m_Entries) {
        if ((entry.m_Flags & AMF_Deleted) != 0)
            continue;
        if ((entry.m_Flags & AMF_Key) != 0)
            key.push_back(column);
        ++column;
    }
    try {
        theme.SetPrimaryKey(key);
    } catch (const CPrimaryKeyError& error) {
        restore();
        corvale::UI().ShowMessage(error.what(), corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return false;
    }
    return true;
}

void CAttributeManagerDialog::accept() {
    if (!IsEditable()) {
        QDialog::accept();
        return;
    }
    int deleted = 0;
    for (const auto& entry : m_Entries)
        if ((entry.m_Flags & AMF_Deleted) != 0)
            ++deleted;
    if (deleted > 0) {
        std::string question = kEraseOneColumn;
        if (deleted > 1) {
            question = kEraseColumnsFormat;
            question.replace(question.find("%d"), 2, std::to_string(deleted));
        }
        if (corvale::UI().ShowMessage(question, corvale::MessageIcon::Warning, corvale::MessageButtons::YesNo) !=
            corvale::IDYES)
            return;
    }
    bool applied = false;
    {
        corvale::CWaitCursor wait;
        applied = ApplyChanges();
    }
    if (applied)
        QDialog::accept();
}
