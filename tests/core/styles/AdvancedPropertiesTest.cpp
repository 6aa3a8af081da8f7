// Conditional style rules: equality, copying and the workspace form, older
// record versions and damaged lists included.

#include "core/styles/AdvancedProperties.h"

#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Every field, whatever the flags say; equality deliberately skips some.
void ExpectSameFields(const CAdvancedProperty& a, const CAdvancedProperty& b) {
    EXPECT_EQ(a.Condition, b.Condition);
    EXPECT_EQ(a.FillColor, b.FillColor);
    EXPECT_EQ(a.PenColor, b.PenColor);
    EXPECT_EQ(a.PenWidth, b.PenWidth);
    EXPECT_EQ(a.PenStyle, b.PenStyle);
    EXPECT_EQ(a.FillFromAttribute, b.FillFromAttribute);
    EXPECT_EQ(a.PenColorFromAttribute, b.PenColorFromAttribute);
    EXPECT_EQ(a.PenWidthFromAttribute, b.PenWidthFromAttribute);
    EXPECT_EQ(a.PenStyleFromAttribute, b.PenStyleFromAttribute);
    EXPECT_EQ(a.FillAttribute, b.FillAttribute);
    EXPECT_EQ(a.PenColorAttribute, b.PenColorAttribute);
    EXPECT_EQ(a.PenWidthAttribute, b.PenWidthAttribute);
    EXPECT_EQ(a.PenStyleAttribute, b.PenStyleAttribute);
}

Bytes Store(CAdvancedProperties& list) {
    CArchive out;
    list.Serialize(out);
    return out.GetStored();
}

void Load(CAdvancedProperties& list, const Bytes& bytes) {
    CArchive in(bytes.data(), bytes.size());
    list.Serialize(in);
    EXPECT_EQ(in.GetRemaining(), 0u);
}

// Writes the words and strings of a hand-made record.
struct Writer {
    CArchive archive;
    Writer& U32(std::uint32_t v) {
        archive.WriteU32(v);
        return *this;
    }
    Writer& Str(const std::string& s) {
        archive.WriteString(s);
        return *this;
    }
    Bytes Done() const { return archive.GetStored(); }
};

CAdvancedProperties ListOf(std::vector<CAdvancedProperty> rules) {
    CAdvancedProperties list;
    list.m_Properties = std::move(rules);
    return list;
}

CAdvancedProperty FullRule() {
    CAdvancedProperty rule("[POP] > 1000 AND NAME LIKE 'S*'", 0x102030, 0x405060, 7);
    rule.PenStyle = 3;
    rule.FillFromAttribute = 1;
    rule.PenWidthFromAttribute = 1;
    rule.FillAttribute = "FILL";
    rule.PenColorAttribute = "kept behind a fixed value";
    rule.PenWidthAttribute = "WIDTH";
    rule.PenStyleAttribute = "STYLE";
    return rule;
}

} // namespace

TEST(AdvancedProperty, NewRulesStartInitialised) {
    const CAdvancedProperty rule;
    EXPECT_EQ(rule.Condition, "");
    EXPECT_EQ(rule.FillColor, 0u);
    EXPECT_EQ(rule.PenColor, 0u);
    EXPECT_EQ(rule.PenWidth, -1);
    EXPECT_EQ(rule.PenStyle, -1);
    EXPECT_EQ(rule.FillFromAttribute | rule.PenColorFromAttribute | rule.PenWidthFromAttribute |
                  rule.PenStyleFromAttribute,
              0);

    const CAdvancedProperty fromValues("ID = 1", 0xFF6400, 0x112233, 4);
    EXPECT_EQ(fromValues.Condition, "ID = 1");
    EXPECT_EQ(fromValues.FillColor, 0xFF6400u);
    EXPECT_EQ(fromValues.PenColor, 0x112233u);
    EXPECT_EQ(fromValues.PenWidth, 4);
    EXPECT_EQ(fromValues.PenStyle, -1);
    EXPECT_TRUE(fromValues.PenStyleAttribute.empty());
}

TEST(AdvancedProperty, Equality) {
    const CAdvancedProperty base = FullRule();
    struct Case {
        const char* what;
        std::function<void(CAdvancedProperty&)> change;
        bool equal;
    };
    const Case cases[] = {
        {"nothing", [](CAdvancedProperty&) {}, true},
        {"fill colour behind a column", [](CAdvancedProperty& r) { r.FillColor = 1; }, true},
        {"pen width behind a column", [](CAdvancedProperty& r) { r.PenWidth = 99; }, true},
        {"column behind a fixed pen colour", [](CAdvancedProperty& r) { r.PenColorAttribute = "OTHER"; }, true},
        {"fill column", [](CAdvancedProperty& r) { r.FillAttribute = "FILL2"; }, false},
        {"fill column in another case", [](CAdvancedProperty& r) { r.FillAttribute = "fill"; }, false},
        {"fixed pen colour", [](CAdvancedProperty& r) { r.PenColor = 1; }, false},
        {"fixed pen style", [](CAdvancedProperty& r) { r.PenStyle = 4; }, false},
        {"pen style flag", [](CAdvancedProperty& r) { r.PenStyleFromAttribute = 1; }, false},
        {"flag value", [](CAdvancedProperty& r) { r.FillFromAttribute = 2; }, false},
        {"condition in another case", [](CAdvancedProperty& r) { r.Condition = "[pop] > 1000 AND NAME LIKE 'S*'"; },
         false},
    };
    for (const Case& c : cases) {
        CAdvancedProperty other = base;
        c.change(other);
        EXPECT_EQ(base == other, c.equal) << c.what;
        EXPECT_EQ(base != other, !c.equal) << c.what;
    }
}

TEST(AdvancedProperties, EqualityAndAssignment) {
    CAdvancedProperties a = ListOf({FullRule(), CAdvancedProperty("X = 1", 1, 2, 3)});
    CAdvancedProperties b = ListOf({FullRule()});
    EXPECT_NE(a, b);
    b.m_Properties.push_back(CAdvancedProperty("X = 1", 1, 2, 3));
    EXPECT_EQ(a, b);
    b.m_Properties[1].Condition = "X = 2";
    EXPECT_NE(a, b);

    b = a;
    EXPECT_EQ(a, b);
    ExpectSameFields(b.m_Properties[0], a.m_Properties[0]);
    b = b;
    EXPECT_EQ(b.m_Properties.size(), 2u);
}

TEST(AdvancedProperties, EmptyListIsTwoWords) {
    CAdvancedProperties empty;
    const Bytes bytes = Store(empty);
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));

    CAdvancedProperties loaded = ListOf({FullRule()});
    Load(loaded, bytes);
    EXPECT_TRUE(loaded.m_Properties.empty());
}

TEST(AdvancedProperties, RoundTrip) {
    CAdvancedProperty longRule("NAME = '" + std::string(300, 'x') + "'", 0xFFFFFF, 0, -1);
    longRule.PenColorFromAttribute = 1;
    longRule.PenColorAttribute = "COLOUR";
    CAdvancedProperties list = ListOf({FullRule(), longRule, CAdvancedProperty()});
    const Bytes bytes = Store(list);
    // Record version 4 follows the list version and the count.
    EXPECT_EQ(bytes[8], 4);

    CAdvancedProperties loaded;
    Load(loaded, bytes);
    ASSERT_EQ(loaded.m_Properties.size(), 3u);
    EXPECT_EQ(loaded, list);
    for (std::size_t i = 0; i < 3; ++i)
        ExpectSameFields(loaded.m_Properties[i], list.m_Properties[i]);
}

// Records written by older versions of the program.
TEST(AdvancedProperties, OlderRecordVersions) {
    struct Case {
        const char* what;
        Bytes bytes;
        CAdvancedProperty expected;
    };
    CAdvancedProperty v1("A = 1", 0x0000FF, 0x0000FF, 1);
    CAdvancedProperty v2("B = 2", 0x00FF00, 0x112233, 5);
    CAdvancedProperty v3("C = 3", 0xFF0000, 0x445566, 2);
    v3.PenStyle = 4;
    const Case cases[] = {
        {"version 1", Writer().U32(1).U32(1).U32(1).Str("A = 1").U32(0x0000FF).Done(), v1},
        {"version 2", Writer().U32(1).U32(1).U32(2).Str("B = 2").U32(0x00FF00).U32(0x112233).U32(5).Done(), v2},
        {"version 3",
         Writer().U32(1).U32(1).U32(3).Str("C = 3").U32(0xFF0000).U32(0x445566).U32(2).U32(4).Done(), v3},
        // A version 0 record was never written; it reads as the oldest form.
        {"version 0", Writer().U32(1).U32(1).U32(0).Str("A = 1").U32(0x0000FF).Done(), v1},
    };
    for (const Case& c : cases) {
        // What the old list held must not leak into the rules read.
        CAdvancedProperties loaded = ListOf({FullRule()});
        Load(loaded, c.bytes);
        ASSERT_EQ(loaded.m_Properties.size(), 1u) << c.what;
        ExpectSameFields(loaded.m_Properties[0], c.expected);
    }
}

// A damaged or newer list is refused with the archive's exception and leaves
// the theme's rules as they were.
TEST(AdvancedProperties, RefusesWhatItCannotRead) {
    CAdvancedProperties one = ListOf({FullRule()});
    const Bytes good = Store(one);
    Bytes truncated = good;
    truncated.resize(good.size() - 3);
    Bytes twoRulesOneThere = good;
    twoRulesOneThere[4] = 2;
    Bytes newerRule = good;
    newerRule[8] = 5;

    struct Case {
        const char* what;
        Bytes bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"newer list version", Writer().U32(2).U32(0).Done(), CArchiveException::BadSchema},
        {"newer rule version", newerRule, CArchiveException::BadSchema},
        {"count beyond the data", Writer().U32(1).U32(0xFFFFFFFF).Done(), CArchiveException::BadData},
        {"count of 2 with 1 rule", twoRulesOneThere, CArchiveException::EndOfFile},
        {"truncated rule", truncated, CArchiveException::EndOfFile},
        {"no count", Writer().U32(1).Done(), CArchiveException::EndOfFile},
    };
    for (const Case& c : cases) {
        CAdvancedProperties target = ListOf({CAdvancedProperty("KEEP = 1", 1, 2, 3)});
        const CAdvancedProperties before = target;
        CArchive in(c.bytes.data(), c.bytes.size());
        try {
            target.Serialize(in);
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << c.what;
        }
        EXPECT_EQ(target, before) << c.what;
        ExpectSameFields(target.m_Properties[0], before.m_Properties[0]);
    }
}
