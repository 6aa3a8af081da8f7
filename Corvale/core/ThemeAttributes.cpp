// The attribute interface of a theme: one set of questions answered by
// whatever holds the theme's attributes (dBase table, native table, parent
// theme, loader plug-in).

#include "core/Theme.h"

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
    default:
        // Loader plug-ins are asked through their binding, which a loader
        // theme only has once loader plug-ins are bound; without one a theme
        // has no columns.
        return 0;
    }
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
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? info->m_Name : std::string();
}

int CTheme::FindAttribute(const std::string& name) const {
    const int count = static_cast<int>(GetAttributeCount());
    for (int field = 0; field < count; ++field)
        if (GetAttributeName(field) == name)
            return field;
    return -1;
}

CAttributeFieldInfo CTheme::GetAttributeInfo(int field) {
    CTheme* source = const_cast<CTheme*>(AttributeSource());
    if (source != nullptr && source->m_SourceType == ST_Native)
        source->m_NativeTable.UpdateFieldLength(field);
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? *info : CAttributeFieldInfo();
}

int CTheme::GetAttributeType(int field) const {
    const CAttributeFieldInfo* info = FieldInfo(field);
    return info != nullptr ? info->m_Type : FT_String;
}

bool CTheme::IsKeyAttribute(int field) const {
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
    return {};
}

} // namespace

std::string CTheme::GetAttributeTextAt(int position, int field) const {
    return std::string(GetAttributeViewAt(position, field));
}

std::string_view CTheme::GetAttributeViewAt(int position, int field) const {
    const int shapeIndex = ShapeIndexAt(position);
    if (shapeIndex < 0)
        return {};
    return ValueOfRow(AttributeSource(), shapeIndex, field, "#Error#");
}

std::string CTheme::GetAttributeText(int shapeIndex, int field) const {
    return std::string(ValueOfRow(AttributeSource(), shapeIndex, field, "#ERROR#"));
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
