// The attribute interface of a theme: one set of questions answered by
// whatever holds the theme's attributes (dBase table, native table, parent
// theme, loader plug-in).

#include "core/Theme.h"

#include "core/LoaderPlugin.h"
#include "core/query/QueryText.h"
#include "platform/TextEncoding.h"

#include <algorithm>

namespace {

const char* const kReadOnly = "Theme is read-only.\n\nCorvale failed to set the requested Primary Key.";
const char* const kDuplicates =
    "Integrity check failed.\n\nThe given columns contain duplicate items.\n\nCorvale failed to set the requested "
    "Primary Key.";
const char* const kInternal = "Internal error.\n\nCorvale failed to set the requested Primary Key.";

std::string Trimmed(const std::string& text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isSpace(text[first]))
        ++first;
    while (last > first && isSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

// The theme that answers attribute questions: a parent theme answers for its
// derived themes, following the chain.
const CTheme* CTheme::AttributeSource() const {
    const CTheme* theme = this;
    // The bound only guards against a cycle in a damaged workspace.
    for (int depth = 0; theme != nullptr && theme->m_SourceType == ST_ParentTheme && depth < 1000; ++depth)
        theme = theme->m_ParentTheme;
    if (theme == nullptr || theme->m_SourceType == ST_ParentTheme)
        return nullptr;
    return theme;
}

int CTheme::ShapeIndexAt(int position) const {
    const CShapeRecord* record = GetShape(position);
    return record != nullptr ? GetShapeRecordIndex(record) : -1;
}

unsigned CTheme::GetAttributeCount() const {
    const CTheme* source = AttributeSource();
    if (source == nullptr)
        return 0;
    switch (source->m_SourceType) {
    case ST_ShapeFile:
        return static_cast<unsigned>(std::max(0, const_cast<CTheme*>(source)->GetRootDbaseFile()->GetFieldCount()));
    case ST_Native:
        return static_cast<unsigned>(source->m_NativeTable.GetFieldCount());
    case ST_CustomLoader:
        return source->m_Loader != nullptr ? source->m_Loader->GetAttributeCount(source->LoaderFirstArgument()) : 0;
    default:
        return 0;
    }
}

const CTheme* CTheme::LoaderAttributeSource() const {
    const CTheme* source = AttributeSource();
    return source != nullptr && source->m_SourceType == ST_CustomLoader && source->m_Loader != nullptr ? source
                                                                                                        : nullptr;
}

std::uint32_t CTheme::LoaderFirstArgument() const {
    // Older loaders know their themes by shape type only.
    return m_Loader != nullptr && m_Loader->m_Version >= PIV_LoaderRequestRecord ? m_LoaderHandle : m_ShapeType;
}

std::uint32_t CTheme::LoaderFieldType(int field) const {
    const CTheme* source = LoaderAttributeSource();
    if (source == nullptr || field < 0 || static_cast<unsigned>(field) >= GetAttributeCount())
        return 0;
    return source->m_Loader->GetAttributeType(source->m_LoaderHandle, static_cast<std::uint32_t>(field));
}

const CAttributeFieldInfo* CTheme::FieldInfo(int field) const {
    const CTheme* source = AttributeSource();
    if (source == nullptr || field < 0)
        return nullptr;
    if (source->m_SourceType == ST_ShapeFile) {
        const auto& fields = const_cast<CTheme*>(source)->GetRootDbaseFile()->GetFields();
        return static_cast<std::size_t>(field) < fields.size() ? &fields[field] : nullptr;
    }
    if (source->m_SourceType == ST_Native)
        return source->m_NativeTable.GetField(field);
    return nullptr;
}

std::string CTheme::GetAttributeName(int field) const {
    if (const CTheme* source = LoaderAttributeSource()) {
        if (field < 0 || static_cast<unsigned>(field) >= GetAttributeCount())
            return {};
        return source->m_Loader->GetAttributeName(source->LoaderFirstArgument(), static_cast<std::uint32_t>(field));
    }
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? info->m_Name : std::string();
}

std::uint8_t CTheme::GetAttributeCodePage() const {
    const CTheme* source = AttributeSource();
    if (source == nullptr || source->m_SourceType != ST_ShapeFile)
        return corvale::kDbfCodePageUnknown;
    const CdBaseFile* table = const_cast<CTheme*>(source)->GetRootDbaseFile();
    return table != nullptr ? table->GetCodePage() : corvale::kDbfCodePageUnknown;
}

std::string CTheme::GetAttributeNameUtf8(int field) const {
    return corvale::TableTextToUtf8(GetAttributeName(field), GetAttributeCodePage());
}

std::string CTheme::GetAttributeTextUtf8(int shapeIndex, int field) const {
    return corvale::TableTextToUtf8(GetAttributeText(shapeIndex, field), GetAttributeCodePage());
}

int CTheme::FindAttribute(const std::string& name) const {
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field)
        if (GetAttributeName(field) == name)
            return field;
    return -1;
}

CAttributeFieldInfo CTheme::GetAttributeInfo(int field) {
    if (const CTheme* loaderSource = LoaderAttributeSource()) {
        // Loaders say nothing of widths: the column is as wide as its longest
        // value over every shape, filtered-out ones included, and at least 2.
        CAttributeFieldInfo info;
        if (field < 0 || static_cast<unsigned>(field) >= GetAttributeCount())
            return info;
        info.m_Name = GetAttributeName(field);
        const std::uint32_t type = LoaderFieldType(field);
        info.m_Type = static_cast<std::int32_t>(type & ~LDR_FT_PrimaryKey);
        info.m_PrimaryKey = (type & LDR_FT_PrimaryKey) != 0;
        std::size_t length = 2;
        for (int i = 0, count = loaderSource->GetAllShapeCount(); i < count; ++i)
            length = std::max(length, loaderSource->m_Loader
                                          ->GetAttribute(loaderSource->m_LoaderHandle, loaderSource->m_ShapeType,
                                                         loaderSource->GetAllShape(i),
                                                         static_cast<std::uint32_t>(field))
                                          .size());
        info.m_Length = static_cast<std::int32_t>(std::min<std::size_t>(length, 0x7FFFFFFF));
        return info;
    }
    CTheme* source = const_cast<CTheme*>(AttributeSource());
    if (source != nullptr && source->m_SourceType == ST_Native)
        source->m_NativeTable.UpdateFieldLength(field);
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? *info : CAttributeFieldInfo();
}

int CTheme::GetAttributeType(int field) const {
    if (LoaderAttributeSource() != nullptr)
        return static_cast<int>(LoaderFieldType(field) & ~LDR_FT_PrimaryKey);
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? info->m_Type : FT_String;
}

bool CTheme::IsKeyAttribute(int field) const {
    if (LoaderAttributeSource() != nullptr)
        return (LoaderFieldType(field) & LDR_FT_PrimaryKey) != 0;
    // dBase columns never belong to a key.
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr && info->m_PrimaryKey;
}

namespace {

// The value of one row of the theme that holds the attributes, or the error
// text when a dBase row cannot be read; a view of where it is kept.
std::string_view ValueOfRow(const CTheme* source, int shapeIndex, int field, const char* errorText) {
    if (source == nullptr || shapeIndex < 0 || field < 0)
        return {};
    if (source->m_SourceType == ST_ShapeFile) {
        std::string_view text;
        if (!const_cast<CTheme*>(source)->GetRootDbaseFile()->ReadValueView(shapeIndex, field, text))
            return errorText;
        return text;
    }
    if (source->m_SourceType == ST_Native)
        return source->m_NativeTable.GetValueView(field, shapeIndex);
    // Loader themes' values are made on request, not kept: LoaderValueOfRow.
    return {};
}

bool IsLoaderTheme(const CTheme* source) {
    return source != nullptr && source->m_SourceType == ST_CustomLoader && source->m_Loader != nullptr;
}

// Loaders answer by record: a shape that is filtered out has none to ask for.
std::string LoaderValueOfRow(const CTheme* source, int shapeIndex, int field) {
    if (shapeIndex < 0 || field < 0)
        return {};
    auto* theme = const_cast<CTheme*>(source);
    const CShapeRecord* record = theme->GetShape(theme->GetShapePosition(shapeIndex));
    if (record == nullptr)
        return {};
    return source->m_Loader->GetAttribute(source->m_LoaderHandle, source->m_ShapeType, record,
                                          static_cast<std::uint32_t>(field));
}

} // namespace

std::string CTheme::GetAttributeTextAt(int position, int field) const {
    // A loader theme's own records are asked for directly: the loader's
    // record numbers need not be unique.
    if (m_SourceType == ST_CustomLoader && m_Loader != nullptr) {
        const CShapeRecord* record = GetShape(position);
        if (record == nullptr || field < 0)
            return {};
        return m_Loader->GetAttribute(m_LoaderHandle, m_ShapeType, record, static_cast<std::uint32_t>(field));
    }
    return std::string(GetAttributeViewAt(position, field));
}

std::string_view CTheme::GetAttributeViewAt(int position, int field) const {
    // A loader makes its values on request; the view is of the row's copy,
    // kept until the next call on this thread (readers take it at once).
    thread_local CAttributeRow row;
    row = GetAttributeRowAt(position);
    return row.Text(field);
}

CTheme::CAttributeRow CTheme::GetAttributeRowAt(int position) const {
    // Where the row's values are kept, found once for all its cells.
    CAttributeRow row;
    if (IsLoaderTheme(this)) {
        row.m_Record = GetShape(position);
        row.m_Source = this;
        row.m_Kind = row.m_Record != nullptr ? CAttributeRow::Kind::OwnLoader : CAttributeRow::Kind::Empty;
        return row;
    }
    const int shapeIndex = ShapeIndexAt(position);
    const CTheme* source = AttributeSource();
    if (shapeIndex < 0 || source == nullptr)
        return row;
    row.m_Source = source;
    row.m_ShapeIndex = shapeIndex;
    if (IsLoaderTheme(source)) {
        row.m_Kind = CAttributeRow::Kind::Loader;
    } else if (source->m_SourceType == ST_ShapeFile) {
        row.m_Dbf = const_cast<CTheme*>(source)->GetRootDbaseFile();
        row.m_RecordBytes = row.m_Dbf->GetRecordBytes(shapeIndex);
        row.m_Kind = row.m_RecordBytes != nullptr ? CAttributeRow::Kind::DBase : CAttributeRow::Kind::DBaseError;
    } else if (source->m_SourceType == ST_Native) {
        row.m_NativeRow = source->m_NativeTable.GetRow(shapeIndex);
        row.m_Kind = row.m_NativeRow != nullptr ? CAttributeRow::Kind::Native : CAttributeRow::Kind::Empty;
    }
    return row;
}

std::string_view CTheme::CAttributeRow::Text(int field) {
    if (field < 0)
        return {};
    switch (m_Kind) {
    case Kind::OwnLoader:
        m_LoaderValue = m_Source->m_Loader->GetAttribute(m_Source->m_LoaderHandle, m_Source->m_ShapeType, m_Record,
                                                         static_cast<std::uint32_t>(field));
        return m_LoaderValue;
    case Kind::Loader:
        m_LoaderValue = LoaderValueOfRow(m_Source, m_ShapeIndex, field);
        return m_LoaderValue;
    case Kind::DBase:
        if (field >= m_Dbf->GetFieldCount())
            return "#Error#";
        return m_Dbf->GetFieldText(m_RecordBytes, field);
    case Kind::DBaseError:
        return "#Error#";
    case Kind::Native:
        return m_NativeRow->GetValueView(field);
    case Kind::Empty:
    default:
        return {};
    }
}

std::int64_t CTheme::CAttributeRow::Integer(int field) {
    std::int64_t value = 0;
    if (m_Kind == Kind::DBase && field >= 0 && field < m_Dbf->GetFieldCount() &&
        CorvaleSQL::detail::ReadRightAlignedInt64(m_Dbf->GetFieldBytes(m_RecordBytes, field), value))
        return value;
    return CorvaleSQL::detail::ReadLeadingInt64(Text(field));
}

double CTheme::CAttributeRow::Number(int field) {
    double value = 0.0;
    if (m_Kind == Kind::DBase && field >= 0 && field < m_Dbf->GetFieldCount() &&
        CorvaleSQL::detail::ReadRightAlignedDouble(m_Dbf->GetFieldBytes(m_RecordBytes, field), value))
        return value;
    return CorvaleSQL::detail::ReadLeadingDouble(Text(field));
}

std::string CTheme::GetAttributeText(int shapeIndex, int field) const {
    const CTheme* source = AttributeSource();
    if (IsLoaderTheme(source))
        return LoaderValueOfRow(source, shapeIndex, field);
    return std::string(ValueOfRow(source, shapeIndex, field, "#ERROR#"));
}

bool CTheme::SetAttributeText(int shapeIndex, int field, const std::string& text, bool restyle) {
    if (m_SourceType != ST_Native || field < 0)
        return false;
    CNativeAttributeRow* row = m_NativeTable.GetRow(shapeIndex);
    if (row == nullptr || !row->SetValue(field, text))
        return false;
    m_Modified = true;
    // A rule may depend on the value just changed.
    if (restyle && !m_ShapeStyles.empty())
        Restyle(GetShapePosition(shapeIndex));
    return true;
}

bool CTheme::SetAttributeTextAt(int position, int field, const std::string& text) {
    const int shapeIndex = ShapeIndexAt(position);
    if (shapeIndex < 0 || !SetAttributeText(shapeIndex, field, text, false))
        return false;
    if (!m_ShapeStyles.empty())
        Restyle(position);
    return true;
}

void CTheme::Restyle(int position) {
    if (position >= 0 && static_cast<std::size_t>(position) < m_ShapeStyles.size())
        m_ShapeStyles[position] = EvaluateStyleRules(position);
}

int CTheme::AddAttribute(const CAttributeFieldInfo& info, const char* defaultValue, const char* description) {
    if (m_SourceType != ST_Native)
        return -1;
    m_Modified = true;
    return m_NativeTable.AddField(info, defaultValue, description);
}

bool CTheme::DeleteAttribute(int field) {
    if (m_SourceType != ST_Native || !m_NativeTable.DeleteField(field))
        return false;
    // Styles taken from that column are no longer right; the next style
    // update rebuilds them.
    m_ShapeStyles.clear();
    m_Modified = true;
    return true;
}

int CTheme::AppendAttributeRow() {
    if (m_SourceType != ST_Native)
        return -1;
    return m_NativeTable.AppendRow();
}

bool CTheme::CopyAttributes(const CShapeRecord* destination, const CShapeRecord* source) {
    if (destination == nullptr || source == nullptr)
        return true;
    const int to = GetShapeRecordIndex(destination);
    const int from = GetShapeRecordIndex(source);
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field) {
        const std::string value = GetAttributeText(from, field);
        if (m_SourceType == ST_Native && m_NativeTable.GetRow(to) != nullptr &&
            m_NativeTable.GetRow(to)->SetValue(field, value))
            m_Modified = true;
    }
    const int position = GetShapePosition(to);
    if (position >= 0)
        ApplyStyleRules(position);
    return true;
}

namespace {

// Counts the key built from the given columns for each of count shapes, whose
// values valueOf(i, column) gives; true when a key occurs more than once.
template <typename ValueOf>
bool CountKeys(std::size_t count, ValueOf valueOf, bool trim, const char* separator,
               std::map<std::string, int>& counts, const std::vector<int>& columns) {
    if (columns.empty())
        return false;
    bool duplicate = false;
    for (std::size_t shape = 0; shape < count; ++shape) {
        std::string key;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0 && separator != nullptr)
                key += separator;
            // Each value is trimmed on its own: trimming the key built so far
            // would let ('a', 'b') and ('ab', '') meet once a blank separator
            // is cut away.
            const std::string value = valueOf(shape, columns[i]);
            key += trim ? Trimmed(value) : value;
        }
        if (++counts[key] > 1)
            duplicate = true;
    }
    return duplicate;
}

} // namespace

bool CTheme::FindDuplicateKeys(bool trim, const char* separator, std::map<std::string, int>& counts,
                               const std::vector<int>& columns) const {
    const auto valueAt = [this](std::size_t position, int column) {
        return GetAttributeTextAt(static_cast<int>(position), column);
    };
    return CountKeys(static_cast<std::size_t>(GetShapeCount()), valueAt, trim, separator, counts, columns);
}

void CTheme::SetPrimaryKey(const std::vector<int>& columns) {
    if (!m_Editable)
        throw CPrimaryKeyError(kReadOnly);
    std::vector<int> current;
    m_NativeTable.GetPrimaryKey(current);
    if (current == columns)
        return;
    // A key must hold for every shape, filtered-out ones included: they come
    // back when the filter is removed.
    const auto& all = !m_Points.empty() ? m_Points : !m_Arcs.empty() ? m_Arcs : m_Polygons;
    const auto valueOf = [this, &all](std::size_t i, int column) {
        return GetAttributeText(GetShapeRecordIndex(all[i]), column);
    };
    std::map<std::string, int> counts;
    if (CountKeys(all.size(), valueOf, false, "\t\t", counts, columns))
        throw CPrimaryKeyError(kDuplicates);
    if (!m_NativeTable.SetPrimaryKey(columns))
        throw CPrimaryKeyError(kInternal);
    m_Modified = true;
}
