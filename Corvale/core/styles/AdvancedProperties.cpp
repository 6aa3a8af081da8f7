#include "core/styles/AdvancedProperties.h"

#include "platform/Archive.h"

namespace {

constexpr std::uint32_t kListVersion = 1;
constexpr std::uint32_t kRuleVersion = 4;

// The smallest rule record there is: a version 1 record with an empty
// condition (version word, one length byte, FillColor).
constexpr std::size_t kSmallestRuleBytes = 4 + 1 + 4;

// A style value compares by its column while it comes from one, else by its
// fixed value.
template <typename T>
bool SameValue(std::int32_t fromAttribute, const std::string& column, const std::string& otherColumn, T value,
               T otherValue) {
    return fromAttribute != 0 ? column == otherColumn : value == otherValue;
}

} // namespace

CAdvancedProperty::CAdvancedProperty(const std::string& condition, std::uint32_t fillColor, std::uint32_t penColor,
                                     std::int32_t penWidth)
    : Condition(condition), FillColor(fillColor), PenColor(penColor), PenWidth(penWidth) {}

bool CAdvancedProperty::operator==(const CAdvancedProperty& other) const {
    if (FillFromAttribute != other.FillFromAttribute || PenColorFromAttribute != other.PenColorFromAttribute ||
        PenWidthFromAttribute != other.PenWidthFromAttribute || PenStyleFromAttribute != other.PenStyleFromAttribute)
        return false;
    return SameValue(FillFromAttribute, FillAttribute, other.FillAttribute, FillColor, other.FillColor) &&
           SameValue(PenColorFromAttribute, PenColorAttribute, other.PenColorAttribute, PenColor, other.PenColor) &&
           SameValue(PenWidthFromAttribute, PenWidthAttribute, other.PenWidthAttribute, PenWidth, other.PenWidth) &&
           SameValue(PenStyleFromAttribute, PenStyleAttribute, other.PenStyleAttribute, PenStyle, other.PenStyle) &&
           Condition == other.Condition;
}

void CAdvancedProperty::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(kRuleVersion);
        archive.WriteString(Condition);
        archive.WriteU32(FillColor);
        archive.WriteU32(PenColor);
        archive.WriteI32(PenWidth);
        archive.WriteI32(PenStyle);
        archive.WriteI32(FillFromAttribute);
        archive.WriteI32(PenColorFromAttribute);
        archive.WriteI32(PenWidthFromAttribute);
        archive.WriteI32(PenStyleFromAttribute);
        archive.WriteString(FillAttribute);
        archive.WriteString(PenColorAttribute);
        archive.WriteString(PenWidthAttribute);
        archive.WriteString(PenStyleAttribute);
        return;
    }

    const std::uint32_t version = archive.ReadU32();
    // A newer record may hold fields this program would misread as the next
    // rule; it cannot be read safely.
    if (version > kRuleVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "Style rule of version " + std::to_string(version) + " is newer than this program.");
    Condition = archive.ReadString();
    FillColor = archive.ReadU32();
    if (version < 2) {
        PenColor = FillColor;
        PenWidth = 1;
        return;
    }
    PenColor = archive.ReadU32();
    PenWidth = archive.ReadI32();
    if (version > 2)
        PenStyle = archive.ReadI32();
    if (version <= 3) {
        FillFromAttribute = PenColorFromAttribute = PenWidthFromAttribute = PenStyleFromAttribute = 0;
        return;
    }
    FillFromAttribute = archive.ReadI32();
    PenColorFromAttribute = archive.ReadI32();
    PenWidthFromAttribute = archive.ReadI32();
    PenStyleFromAttribute = archive.ReadI32();
    FillAttribute = archive.ReadString();
    PenColorAttribute = archive.ReadString();
    PenWidthAttribute = archive.ReadString();
    PenStyleAttribute = archive.ReadString();
}

CAdvancedProperties& CAdvancedProperties::operator=(const CAdvancedProperties& other) {
    if (this != &other)
        m_Properties = other.m_Properties;
    return *this;
}

bool CAdvancedProperties::operator==(const CAdvancedProperties& other) const {
    return m_Properties == other.m_Properties;
}

void CAdvancedProperties::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(kListVersion);
        archive.WriteU32(static_cast<std::uint32_t>(m_Properties.size()));
        for (CAdvancedProperty& rule : m_Properties)
            rule.Serialize(archive);
        return;
    }

    const std::uint32_t version = archive.ReadU32();
    if (version > kListVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "Style rule list of version " + std::to_string(version) +
                                    " is newer than this program.");
    const std::uint32_t count = archive.ReadU32();
    archive.CheckCount(count, kSmallestRuleBytes);
    // Each rule is read over a fresh rule, so that what an older record does
    // not hold takes the defaults and not what a rule of the old list held;
    // the list is replaced only once all of it has read.
    std::vector<CAdvancedProperty> rules(count);
    for (CAdvancedProperty& rule : rules)
        rule.Serialize(archive);
    m_Properties.swap(rules);
}
