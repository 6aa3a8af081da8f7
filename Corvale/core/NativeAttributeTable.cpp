#include "core/NativeAttributeTable.h"

#include "platform/Archive.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kArchiveVersion = 3;

std::optional<std::string> Optional(const char* text) {
    return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}

void StoreOptional(CArchive& ar, const std::optional<std::string>& text) {
    ar.WriteU32(text ? 1 : 0);
    if (text)
        ar.WriteString(*text);
}

std::optional<std::string> LoadOptional(CArchive& ar) {
    if (ar.ReadU32() == 0)
        return std::nullopt;
    return ar.ReadString();
}

const std::optional<std::string> kNone;

} // namespace

std::string CNativeAttributeRow::GetValue(int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= m_Cells.size() || !m_Cells[field])
        return {};
    return *m_Cells[field];
}

std::string_view CNativeAttributeRow::GetValueView(int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= m_Cells.size() || !m_Cells[field])
        return {};
    return *m_Cells[field];
}

bool CNativeAttributeRow::SetValue(int field, const std::string& text) {
    if (field < 0)
        return false;
    if (static_cast<std::size_t>(field) >= m_Cells.size())
        m_Cells.resize(static_cast<std::size_t>(field) + 1);
    m_Cells[field] = text;
    return true;
}

void CNativeAttributeRow::RemoveValue(int field) {
    if (field >= 0 && static_cast<std::size_t>(field) < m_Cells.size())
        m_Cells.erase(m_Cells.begin() + field);
}

bool CNativeAttributeRow::HasText(int field) const {
    return field >= 0 && static_cast<std::size_t>(field) < m_Cells.size() && m_Cells[field].has_value();
}

CNativeAttributeTable::~CNativeAttributeTable() = default;

CNativeAttributeTable::CNativeAttributeTable(const CNativeAttributeTable& other) { *this = other; }

CNativeAttributeTable& CNativeAttributeTable::operator=(const CNativeAttributeTable& other) {
    if (this == &other)
        return *this;
    m_Fields = other.m_Fields;
    m_Defaults = other.m_Defaults;
    m_Descriptions = other.m_Descriptions;
    m_Rows.clear();
    for (const auto& row : other.m_Rows)
        m_Rows.push_back(row ? std::make_unique<CNativeAttributeRow>(*row) : nullptr);
    return *this;
}

std::string CNativeAttributeTable::GetValue(int field, int row) const {
    const CNativeAttributeRow* r = GetRow(row);
    return r != nullptr ? r->GetValue(field) : std::string();
}

std::string_view CNativeAttributeTable::GetValueView(int field, int row) const {
    const CNativeAttributeRow* r = GetRow(row);
    return r != nullptr ? r->GetValueView(field) : std::string_view();
}

int CNativeAttributeTable::AppendRow() {
    auto row = std::make_unique<CNativeAttributeRow>();
    for (int field = 0; field < GetFieldCount(); ++field)
        if (m_Defaults[field])
            row->SetValue(field, *m_Defaults[field]);
    m_Rows.push_back(std::move(row));
    return GetRowCount() - 1;
}

bool CNativeAttributeTable::MoveRow(int from, int to) {
    if (!IsRow(from) || to < 0 || to > GetRowCount())
        return false;
    auto row = std::move(m_Rows[from]);
    m_Rows.erase(m_Rows.begin() + from);
    // The row that was at 'to' moved down by one when 'from' stood before it.
    const int target = to > from ? to - 1 : to;
    m_Rows.insert(m_Rows.begin() + target, std::move(row));
    return true;
}

bool CNativeAttributeTable::ReorderRows(const std::vector<int>& order) {
    if (order.size() != m_Rows.size())
        return false;
    std::vector<bool> seen(m_Rows.size(), false);
    for (int from : order) {
        if (!IsRow(from) || seen[static_cast<std::size_t>(from)])
            return false;
        seen[static_cast<std::size_t>(from)] = true;
    }
    std::vector<std::unique_ptr<CNativeAttributeRow>> rows;
    rows.reserve(m_Rows.size());
    for (int from : order)
        rows.push_back(std::move(m_Rows[static_cast<std::size_t>(from)]));
    m_Rows.swap(rows);
    return true;
}

bool CNativeAttributeTable::DeleteRow(int row) {
    if (!IsRow(row))
        return false;
    m_Rows.erase(m_Rows.begin() + row);
    return true;
}

void CNativeAttributeTable::RemoveAllRows() { m_Rows.clear(); }

bool CNativeAttributeTable::ClearRow(int row) {
    if (!IsRow(row))
        return false;
    m_Rows[row].reset();
    return true;
}

void CNativeAttributeTable::CompactRows() {
    m_Rows.erase(std::remove(m_Rows.begin(), m_Rows.end(), nullptr), m_Rows.end());
}

int CNativeAttributeTable::AddField(const CAttributeFieldInfo& info, const char* defaultValue, const char* description) {
    m_Fields.push_back(info);
    m_Defaults.push_back(Optional(defaultValue));
    m_Descriptions.push_back(Optional(description));
    const int field = GetFieldCount() - 1;
    if (defaultValue != nullptr && *defaultValue != '\0') {
        for (auto& row : m_Rows)
            if (row)
                row->SetValue(field, defaultValue);
    }
    return field;
}

bool CNativeAttributeTable::SetField(const CAttributeFieldInfo& info, int field, const char* defaultValue,
                                     const char* description) {
    if (!IsField(field))
        return false;
    m_Fields[field] = info;
    m_Defaults[field] = Optional(defaultValue);
    m_Descriptions[field] = Optional(description);
    return true;
}

bool CNativeAttributeTable::SetFieldDescription(int field, const char* text) {
    if (!IsField(field))
        return false;
    m_Descriptions[field] = Optional(text);
    return true;
}

bool CNativeAttributeTable::DeleteField(int field) {
    if (!IsField(field))
        return false;
    m_Fields.erase(m_Fields.begin() + field);
    m_Defaults.erase(m_Defaults.begin() + field);
    m_Descriptions.erase(m_Descriptions.begin() + field);
    for (auto& row : m_Rows)
        if (row)
            row->RemoveValue(field);
    return true;
}

bool CNativeAttributeTable::UpdateFieldLength(int field) {
    if (!IsField(field))
        return false;
    std::size_t longest = 0;
    for (const auto& row : m_Rows)
        if (row)
            longest = std::max(longest, row->GetValue(field).size());
    m_Fields[field].m_Length = m_Rows.empty() || longest == 0 ? 1 : static_cast<std::int32_t>(longest + 1);
    return true;
}

bool CNativeAttributeTable::SetPrimaryKey(const std::vector<int>& columns) {
    for (int column : columns)
        if (!IsField(column))
            return false;
    for (auto& info : m_Fields)
        info.m_PrimaryKey = false;
    for (int column : columns)
        m_Fields[column].m_PrimaryKey = true;
    return true;
}

void CNativeAttributeTable::GetPrimaryKey(std::vector<int>& columns) const {
    for (int field = 0; field < GetFieldCount(); ++field)
        if (m_Fields[field].m_PrimaryKey)
            columns.push_back(field);
}

const CAttributeFieldInfo* CNativeAttributeTable::GetField(int field) const {
    return IsField(field) ? &m_Fields[field] : nullptr;
}

const std::optional<std::string>& CNativeAttributeTable::GetDefault(int field) const {
    return IsField(field) ? m_Defaults[field] : kNone;
}

const std::optional<std::string>& CNativeAttributeTable::GetDescription(int field) const {
    return IsField(field) ? m_Descriptions[field] : kNone;
}

CNativeAttributeRow* CNativeAttributeTable::GetRow(int row) { return IsRow(row) ? m_Rows[row].get() : nullptr; }

const CNativeAttributeRow* CNativeAttributeTable::GetRow(int row) const {
    return IsRow(row) ? m_Rows[row].get() : nullptr;
}

void CNativeAttributeTable::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteU32(kArchiveVersion);
        ar.WriteU32(static_cast<std::uint32_t>(m_Fields.size()));
        for (const auto& info : m_Fields) {
            ar.WriteString(info.m_Name);
            ar.WriteU32(static_cast<std::uint32_t>(info.m_Length));
            ar.WriteU32(static_cast<std::uint32_t>(info.m_Decimals));
            ar.WriteU32(static_cast<std::uint32_t>(info.m_Type));
            ar.WriteU32(info.m_PrimaryKey ? 1 : 0);
        }
        ar.WriteU32(static_cast<std::uint32_t>(m_Defaults.size()));
        for (const auto& text : m_Defaults)
            StoreOptional(ar, text);
        ar.WriteU32(static_cast<std::uint32_t>(m_Descriptions.size()));
        for (const auto& text : m_Descriptions)
            StoreOptional(ar, text);
        std::uint32_t rows = 0;
        for (const auto& row : m_Rows)
            rows += row != nullptr;
        ar.WriteU32(rows);
        for (const auto& row : m_Rows) {
            if (!row)
                continue;
            ar.WriteU32(1);
            ar.WriteU32(static_cast<std::uint32_t>(row->GetCellCount()));
            for (std::size_t cell = 0; cell < row->GetCellCount(); ++cell) {
                ar.WriteU32(1);
                const int field = static_cast<int>(cell);
                StoreOptional(ar, row->HasText(field) ? std::optional<std::string>(row->GetValue(field))
                                                      : std::nullopt);
            }
        }
        return;
    }

    const std::uint32_t version = ar.ReadU32();
    if (version < 1 || version > kArchiveVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "The attribute table was written by a newer version of Corvale.");
    // Everything is read into a new table first, so a damaged archive leaves
    // this one as it was.
    CNativeAttributeTable loaded;
    const std::uint32_t columns = ar.ReadU32();
    ar.CheckCount(columns, 13);
    for (std::uint32_t i = 0; i < columns; ++i) {
        CAttributeFieldInfo info;
        info.m_Name = ar.ReadString();
        info.m_Length = ar.ReadI32();
        info.m_Decimals = ar.ReadI32();
        info.m_Type = ar.ReadI32();
        info.m_PrimaryKey = version >= 2 ? ar.ReadU32() != 0 : false;
        loaded.m_Fields.push_back(std::move(info));
    }
    const std::uint32_t defaults = ar.ReadU32();
    ar.CheckCount(defaults, 4);
    for (std::uint32_t i = 0; i < defaults; ++i)
        loaded.m_Defaults.push_back(LoadOptional(ar));
    if (version >= 3) {
        const std::uint32_t descriptions = ar.ReadU32();
        ar.CheckCount(descriptions, 4);
        for (std::uint32_t i = 0; i < descriptions; ++i)
            loaded.m_Descriptions.push_back(LoadOptional(ar));
    } else {
        loaded.m_Descriptions.resize(loaded.m_Defaults.size());
    }
    // Every column index addresses all three lists; a table whose lists
    // disagree cannot be used safely.
    if (loaded.m_Defaults.size() != loaded.m_Fields.size() || loaded.m_Descriptions.size() != loaded.m_Fields.size())
        throw CArchiveException(CArchiveException::BadData, "The attribute table is damaged.");
    const std::uint32_t rows = ar.ReadU32();
    ar.CheckCount(rows, 8);
    for (std::uint32_t r = 0; r < rows; ++r) {
        auto row = std::make_unique<CNativeAttributeRow>();
        ar.ReadU32();
        const std::uint32_t cells = ar.ReadU32();
        ar.CheckCount(cells, 8);
        for (std::uint32_t c = 0; c < cells; ++c) {
            ar.ReadU32();
            row->AppendCell(LoadOptional(ar));
        }
        loaded.m_Rows.push_back(std::move(row));
    }
    for (auto& info : loaded.m_Fields)
        m_Fields.push_back(std::move(info));
    for (auto& text : loaded.m_Defaults)
        m_Defaults.push_back(std::move(text));
    for (auto& text : loaded.m_Descriptions)
        m_Descriptions.push_back(std::move(text));
    for (auto& row : loaded.m_Rows)
        m_Rows.push_back(std::move(row));
}
