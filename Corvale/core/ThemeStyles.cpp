// How a theme's shapes are drawn: the default style built from the theme's
// base style, one style per conditional style rule, the style of every
// visible shape, and the cache of styles whose values come from attribute
// columns.
//
// One precedence holds wherever rules are applied (UpdateStyles,
// ApplyStyleRules, ApplyStyleRulesToAll, EvaluateStyleRules): the rules are
// tried in the order the rule page lists them, and the first whose condition
// holds for a shape draws it. A rule whose condition does not prepare, or
// does not evaluate for a shape, counts as not holding there. So a shape gets
// the same style whichever of them computes it.

#include "core/Theme.h"

#include "core/ColourText.h"
#include "core/query/QueryEngine.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using RuleColumns = std::array<int, 4>;

// A rule made ready for one pass over shapes: prepared once, evaluated per shape.
struct PreparedRule {
    const CAdvancedProperty* rule = nullptr;
    std::unique_ptr<CorvaleSQL::CQueryEngine> engine;
    bool prepared = false;
    RuleColumns columns = {-1, -1, -1, -1};
    bool attributeDriven = false;
};

// The column of each value the rule takes from an attribute; -1 for the others.
RuleColumns ColumnsOfRule(const CTheme& theme, const CAdvancedProperty& rule) {
    auto column = [&theme](std::int32_t flag, const std::string& name) {
        return flag != 0 ? theme.FindAttribute(name) : -1;
    };
    return {column(rule.FillFromAttribute, rule.FillAttribute),
            column(rule.PenColorFromAttribute, rule.PenColorAttribute),
            column(rule.PenWidthFromAttribute, rule.PenWidthAttribute),
            column(rule.PenStyleFromAttribute, rule.PenStyleAttribute)};
}

// Rules beyond the styles built for them (a list changed without a rebuild)
// take no part until the styles are built again.
std::size_t UsableRuleCount(const CTheme& theme) {
    if (theme.m_Styles.empty())
        return 0;
    return std::min(theme.m_AdvancedProperties.m_Properties.size(), theme.m_Styles.size() - 1);
}

std::vector<PreparedRule> PrepareRules(CTheme& theme) {
    const std::size_t count = UsableRuleCount(theme);
    std::vector<PreparedRule> prepared(count);
    for (std::size_t k = 0; k < count; ++k) {
        const CAdvancedProperty& rule = theme.m_AdvancedProperties.m_Properties[k];
        PreparedRule& p = prepared[k];
        p.rule = &rule;
        p.engine = std::make_unique<CorvaleSQL::CQueryEngine>();
        std::string error;
        p.prepared = p.engine->Prepare(&theme, rule.Condition, error);
        p.columns = ColumnsOfRule(theme, rule);
        p.attributeDriven = theme.RuleUsesAttributeStyle(rule);
    }
    return prepared;
}

// The style of the shape at a position: the first rule that holds, else the
// default style.
CStyleInfo* StyleOfPosition(CTheme& theme, std::vector<PreparedRule>& rules, int position) {
    for (std::size_t k = 0; k < rules.size(); ++k) {
        PreparedRule& p = rules[k];
        if (!p.prepared)
            continue;
        bool holds = false;
        std::string error;
        if (!p.engine->Evaluate(&theme, holds, position, error) || !holds)
            continue;
        if (p.attributeDriven) {
            if (CStyleInfo* style = theme.GetAttributeDrivenStyle(position, *p.rule, p.columns))
                return style;
        }
        return theme.m_Styles[k + 1].get();
    }
    return theme.m_Styles[0].get();
}

// The style a rule draws with when nothing comes from attributes.
std::unique_ptr<CStyleInfo> RuleStyle(const CTheme& theme, const CAdvancedProperty& rule) {
    if (theme.IsPolygonTheme())
        return std::make_unique<CStyleInfoPolygon>(theme.m_FillPattern, rule.FillColor, theme.m_PenStyle,
                                                   theme.m_LineWidth, rule.PenColor);
    if (theme.IsArcTheme())
        return std::make_unique<CStyleInfoPolyline>(rule.PenColor,
                                                    rule.PenStyle == -1 ? theme.m_PenStyle : rule.PenStyle,
                                                    rule.PenWidth == -1 ? theme.m_LineWidth : rule.PenWidth);
    if (theme.IsPointTheme())
        return std::make_unique<CStyleInfoPoint>(rule.PenColor, theme.m_PointSymbol);
    return std::make_unique<CStyleInfo>(rule.PenColor);
}

// A whole number from an attribute text, read without regard to the locale.
// Width columns may be decimal columns, so "3.0" and "3.7" read as 3. False
// for a text that is no number; the rule's own value then stays.
bool AttributeInteger(const std::string& text, std::int64_t& value) {
    if (corvale::ParseInt64(text, value))
        return true;
    double d = 0.0;
    if (!corvale::ParseDouble(text, d) || !std::isfinite(d))
        return false;
    d = std::trunc(d);
    constexpr double kLimit = 1e15;
    value = static_cast<std::int64_t>(std::clamp(d, -kLimit, kLimit));
    return true;
}

int ClampToInt(std::int64_t value) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

CStyleInfo* CTheme::GetShapeStyle(int position) const {
    if (m_Styles.empty() || position < 0)
        return nullptr;
    if (m_ShapeStyles.empty())
        return m_Styles[0].get();
    return static_cast<std::size_t>(position) < m_ShapeStyles.size() ? m_ShapeStyles[static_cast<std::size_t>(position)]
                                                                      : nullptr;
}

void CTheme::UpdateDefaultStyle() {
    std::unique_ptr<CStyleInfo> fresh;
    if (IsPointTheme())
        fresh = std::make_unique<CStyleInfoPoint>(m_Color, m_PointSymbol);
    else if (IsArcTheme())
        fresh = std::make_unique<CStyleInfoPolyline>(m_Color, m_PenStyle, m_LineWidth);
    else if (IsPolygonTheme())
        fresh = std::make_unique<CStyleInfoPolygon>(m_FillPattern, m_Color, m_PenStyle, m_LineWidth, m_OutlineColor);
    else if (m_ShapeType != SHT_Null)
        fresh = std::make_unique<CStyleInfo>(m_Color);
    if (!fresh)
        return;

    if (m_Styles.empty()) {
        m_Styles.push_back(std::move(fresh));
        return;
    }
    CStyleInfo* current = m_Styles[0].get();
    // Assigning in place keeps every shape that points at the default style
    // pointing at it.
    if (current->GetStyleType() == fresh->GetStyleType()) {
        switch (fresh->GetStyleType()) {
        case SIT_Polygon:
            *static_cast<CStyleInfoPolygon*>(current) = static_cast<const CStyleInfoPolygon&>(*fresh);
            break;
        case SIT_Polyline:
            *static_cast<CStyleInfoPolyline*>(current) = static_cast<const CStyleInfoPolyline&>(*fresh);
            break;
        case SIT_Point:
            *static_cast<CStyleInfoPoint*>(current) = static_cast<const CStyleInfoPoint&>(*fresh);
            break;
        default:
            *current = *fresh;
            break;
        }
        return;
    }
    // A default style of another kind (the theme's kind changed): replace it,
    // and move the shapes that used it to the new one.
    CStyleInfo* replacement = fresh.get();
    std::replace(m_ShapeStyles.begin(), m_ShapeStyles.end(), current, replacement);
    m_Styles[0] = std::move(fresh);
}

void CTheme::UpdateStyles() {
    if (m_ShapeType == SHT_Image)
        return;
    m_ShapeStyles.clear();
    m_Styles.clear();
    m_StyleCache.clear();

    UpdateDefaultStyle();
    // A theme of no kind has no default style, and no shape to draw.
    if (m_Styles.empty())
        return;
    const auto& rules = m_AdvancedProperties.m_Properties;
    for (const CAdvancedProperty& rule : rules)
        m_Styles.push_back(RuleStyle(*this, rule));
    if (rules.empty())
        return;

    std::vector<PreparedRule> prepared = PrepareRules(*this);
    const int count = GetShapeCount();
    m_ShapeStyles.resize(static_cast<std::size_t>(count), m_Styles[0].get());
    for (int position = 0; position < count; ++position)
        m_ShapeStyles[static_cast<std::size_t>(position)] = StyleOfPosition(*this, prepared, position);
}

CStyleInfo* CTheme::EvaluateStyleRules(int position) {
    if (m_Styles.empty())
        return nullptr;
    std::vector<PreparedRule> prepared = PrepareRules(*this);
    return StyleOfPosition(*this, prepared, position);
}

void CTheme::ApplyStyleRules(int position) {
    if (m_Styles.empty() || m_AdvancedProperties.m_Properties.empty())
        return;
    const int count = GetShapeCount();
    if (position < 0 || position >= count)
        return;
    if (m_ShapeStyles.size() < static_cast<std::size_t>(count))
        m_ShapeStyles.resize(static_cast<std::size_t>(count), m_Styles[0].get());
    // The shape's style is decided afresh: a shape that no longer meets the
    // rule it had goes back to the default or on to the next rule.
    m_ShapeStyles[static_cast<std::size_t>(position)] = EvaluateStyleRules(position);
}

void CTheme::ApplyStyleRulesToAll() {
    if (m_Styles.empty() && GetAllShapeCount() > 0) {
        UpdateDefaultStyle();
        if (!m_Styles.empty()) {
            for (const CAdvancedProperty& rule : m_AdvancedProperties.m_Properties)
                m_Styles.push_back(RuleStyle(*this, rule));
        }
    }
    if (m_AdvancedProperties.m_Properties.empty() || m_Styles.empty()) {
        m_ShapeStyles.clear();
        return;
    }
    std::vector<PreparedRule> prepared = PrepareRules(*this);
    const int count = GetShapeCount();
    // Exactly one entry per visible shape, so the list stays parallel to it.
    m_ShapeStyles.resize(static_cast<std::size_t>(count), m_Styles[0].get());
    for (int position = 0; position < count; ++position)
        m_ShapeStyles[static_cast<std::size_t>(position)] = StyleOfPosition(*this, prepared, position);
}

bool CTheme::RuleUsesAttributeStyle(const CAdvancedProperty& rule) const {
    if (IsPointTheme())
        return rule.PenColorFromAttribute != 0;
    if (IsArcTheme())
        return rule.PenColorFromAttribute != 0 || rule.PenWidthFromAttribute != 0 || rule.PenStyleFromAttribute != 0;
    if (IsPolygonTheme())
        return rule.FillFromAttribute != 0 || rule.PenColorFromAttribute != 0;
    return false;
}

CStyleInfo* CTheme::GetAttributeDrivenStyle(int position, const CAdvancedProperty& rule,
                                            const std::array<int, 4>& columns) {
    // The attribute text of a value the rule takes from a column; null when
    // it takes none for that value.
    auto text = [&](std::int32_t flag, int column, std::string& out) {
        if (flag == 0 || column == -1)
            return false;
        out = GetAttributeTextAt(position, column);
        return true;
    };
    // A text that is no colour text leaves the rule's colour.
    auto colour = [&](std::int32_t flag, int column, std::uint32_t fixed) {
        std::string t;
        std::uint32_t parsed = fixed;
        if (text(flag, column, t) && ParseColourHash(t.c_str(), parsed))
            return parsed;
        return fixed;
    };

    StyleCacheKey key;
    std::unique_ptr<CStyleInfo> (*make)(const CTheme&, const StyleCacheKey&) = nullptr;
    if (IsPolygonTheme()) {
        key.m_StyleType = SIT_Polygon;
        key.Set(StyleCacheKey::Fill, colour(rule.FillFromAttribute, columns[0], rule.FillColor));
        key.Set(StyleCacheKey::PenColor, colour(rule.PenColorFromAttribute, columns[1], rule.PenColor));
        make = [](const CTheme& t, const StyleCacheKey& k) -> std::unique_ptr<CStyleInfo> {
            return std::make_unique<CStyleInfoPolygon>(t.m_FillPattern, static_cast<std::uint32_t>(k.m_Values[0]),
                                                       t.m_PenStyle, t.m_LineWidth,
                                                       static_cast<std::uint32_t>(k.m_Values[1]));
        };
    } else if (IsArcTheme()) {
        key.m_StyleType = SIT_Polyline;
        key.Set(StyleCacheKey::PenColor, colour(rule.PenColorFromAttribute, columns[1], rule.PenColor));
        std::int64_t width = rule.PenWidth == -1 ? m_LineWidth : rule.PenWidth;
        std::int64_t style = rule.PenStyle == -1 ? m_PenStyle : rule.PenStyle;
        std::string t;
        std::int64_t number = 0;
        if (text(rule.PenWidthFromAttribute, columns[2], t) && AttributeInteger(t, number))
            width = ClampToInt(number);
        // One of the five line patterns; a negative number must not make a
        // negative pen style, which no pen has.
        if (text(rule.PenStyleFromAttribute, columns[3], t) && AttributeInteger(t, number))
            style = ((number % 5) + 5) % 5;
        key.Set(StyleCacheKey::PenWidth, width);
        key.Set(StyleCacheKey::PenStyle, style);
        make = [](const CTheme&, const StyleCacheKey& k) -> std::unique_ptr<CStyleInfo> {
            return std::make_unique<CStyleInfoPolyline>(static_cast<std::uint32_t>(k.m_Values[1]),
                                                        static_cast<int>(k.m_Values[3]),
                                                        static_cast<int>(k.m_Values[2]));
        };
    } else if (IsPointTheme()) {
        key.m_StyleType = SIT_Point;
        key.Set(StyleCacheKey::PenColor, colour(rule.PenColorFromAttribute, columns[1], rule.PenColor));
        make = [](const CTheme& t, const StyleCacheKey& k) -> std::unique_ptr<CStyleInfo> {
            return std::make_unique<CStyleInfoPoint>(static_cast<std::uint32_t>(k.m_Values[1]), t.m_PointSymbol);
        };
    } else {
        key.m_StyleType = SIT_Base;
        key.Set(StyleCacheKey::PenColor, colour(rule.PenColorFromAttribute, columns[1], rule.PenColor));
        make = [](const CTheme&, const StyleCacheKey& k) -> std::unique_ptr<CStyleInfo> {
            return std::make_unique<CStyleInfo>(static_cast<std::uint32_t>(k.m_Values[1]));
        };
    }

    auto found = m_StyleCache.find(key);
    if (found != m_StyleCache.end())
        return found->second.get();
    return m_StyleCache.emplace(key, make(*this, key)).first->second.get();
}
