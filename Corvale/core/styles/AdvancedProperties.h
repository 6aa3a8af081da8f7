#pragma once
// Conditional style rules. A theme carries an ordered list of them: each
// pairs a condition of the attribute query language (QueryEngine.h) with the
// colours, pen width and pen style that a matching shape is drawn with, every
// one of them either a fixed value or the name of the attribute column to
// read it from per shape. Rule 1 of the rule page is the first element; it
// comes first when the theme decides which rule draws a shape.
//
// Which fields a theme uses: point themes the pen colour (the symbol colour);
// polyline themes the pen colour, pen width and pen style; polygon themes the
// fill colour and the pen (outline) colour, taking width, style and pattern
// from the theme. Colour columns hold colour texts "#RRGGBB" (ColourText.h).
//
// Workspace form (CArchive, little-endian; strings in the archive's string
// form):
//   list: u32 version (1), u32 rule count n, n rule records, rule 1 first;
//   rule: u32 version (4), string Condition, u32 FillColor, u32 PenColor,
//         i32 PenWidth, i32 PenStyle, u32 FillFromAttribute,
//         u32 PenColorFromAttribute, u32 PenWidthFromAttribute,
//         u32 PenStyleFromAttribute, string FillAttribute,
//         string PenColorAttribute, string PenWidthAttribute,
//         string PenStyleAttribute.
// Older rule records are still read: version 1 stops after FillColor (the pen
// colour is then the fill colour, the pen width 1), version 2 after
// PenWidth, version 3 after PenStyle; what a version does not hold keeps its
// default (no pen style of its own, no attribute columns).

#include <cstdint>
#include <string>
#include <vector>

class CArchive;

class CAdvancedProperty {
public:
    // No condition, no columns, PenWidth and PenStyle -1 (the theme's own),
    // both colours black.
    CAdvancedProperty() = default;
    // The rule page's new rule: PenStyle -1, no columns.
    CAdvancedProperty(const std::string& condition, std::uint32_t fillColor, std::uint32_t penColor,
                      std::int32_t penWidth);

    // Equal flags; for each of fill, pen colour, pen width and pen style, equal
    // column names (case-sensitive) while its flag is set and equal fixed
    // values while it is clear; equal conditions (case-sensitive). A fixed
    // value kept behind a column, or a column name kept behind a fixed value,
    // does not count.
    bool operator==(const CAdvancedProperty& other) const;
    bool operator!=(const CAdvancedProperty& other) const { return !(*this == other); }

    // Stores the rule as record version 4, or loads a record of version 1 to 4
    // over this rule (fields the record's version does not hold are left as
    // they are). Throws CArchiveException: BadSchema for a record version
    // above 4, EndOfFile when the data ends inside the record.
    void Serialize(CArchive& archive);

    // A query of the attribute query language; column names may stand in
    // square brackets.
    std::string Condition;
    // COLORREFs.
    std::uint32_t FillColor = 0;
    std::uint32_t PenColor = 0;
    // -1: the theme's own line width / pen style.
    std::int32_t PenWidth = -1;
    std::int32_t PenStyle = -1;
    // Non-zero: the value comes from the column named below.
    std::int32_t FillFromAttribute = 0;
    std::int32_t PenColorFromAttribute = 0;
    std::int32_t PenWidthFromAttribute = 0;
    std::int32_t PenStyleFromAttribute = 0;
    std::string FillAttribute;
    std::string PenColorAttribute;
    std::string PenWidthAttribute;
    std::string PenStyleAttribute;
};

class CAdvancedProperties {
public:
    CAdvancedProperties() = default;
    CAdvancedProperties(const CAdvancedProperties&) = default;
    virtual ~CAdvancedProperties() = default;
    // Replaces the whole list by a copy of the other one.
    CAdvancedProperties& operator=(const CAdvancedProperties& other);

    // The same number of rules, and rule i equal to rule i.
    bool operator==(const CAdvancedProperties& other) const;
    bool operator!=(const CAdvancedProperties& other) const { return !(*this == other); }

    // Stores the list, or loads it in place of the current one. A list that
    // does not load (a version newer than the program knows, a count the
    // data cannot hold, data that ends early) throws CArchiveException and
    // leaves the current list as it was.
    void Serialize(CArchive& archive);

    // In rule order: the first element is rule 1.
    std::vector<CAdvancedProperty> m_Properties;
};
