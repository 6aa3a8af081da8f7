// A theme's styles: the default style, the rule styles, which rule draws a
// shape, and the shared attribute-driven styles.

#include "core/Theme.h"

#include "TempDir.h"
#include "shapes/RecordFixtures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

const std::string kData = CORVALE_TEST_DATA;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kGrey = 0x808080;

struct Column {
    const char* name;
    std::int32_t type;
};
using Row = std::vector<std::string>;

// A native theme of one kind, one shape and one attribute row per row given.
class NativeTheme {
public:
    NativeTheme(std::uint32_t shapeType, const std::vector<Column>& columns, const std::vector<Row>& rows) {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = shapeType;
        theme.m_Editable = true;
        theme.m_Color = kGrey;
        theme.m_OutlineColor = kBlue;
        theme.m_LineWidth = 2;
        theme.m_PenStyle = PS_Dot;
        theme.m_FillPattern = 0;
        theme.m_PointSymbol = 1;
        for (const Column& column : columns) {
            CAttributeFieldInfo info;
            info.m_Name = column.name;
            info.m_Type = column.type;
            info.m_Length = 20;
            theme.AddAttribute(info, nullptr, nullptr);
        }
        for (std::size_t i = 0; i < rows.size(); ++i)
            Add(rows[i]);
        theme.ResetFilter();
    }

    // A shape and its row, visible, without restyling.
    void Add(const Row& row) {
        const auto number = static_cast<std::uint32_t>(m_Records.size() + 1);
        const double x = static_cast<double>(m_Records.size());
        if (theme.IsPointTheme())
            m_Records.push_back(MakePoint(x, 0, number));
        else if (theme.IsArcTheme())
            m_Records.push_back(MakeMulti(SHT_Polyline, {{{x, 0}, {x + 1, 1}}}, number));
        else
            m_Records.push_back(MakeMulti(SHT_Polygon, {{{x, 0}, {x, 1}, {x + 1, 1}, {x, 0}}}, number));
        CTheme::ShapeCallback(&theme, Rec(m_Records.back()), 0);
        const int r = theme.AppendAttributeRow();
        for (std::size_t c = 0; c < row.size(); ++c)
            theme.SetAttributeText(r, static_cast<int>(c), row[c], false);
    }

    void SetRules(std::vector<CAdvancedProperty> rules) {
        theme.m_AdvancedProperties.m_Properties = std::move(rules);
        theme.UpdateStyles();
    }

    CStyleInfo* Slot(std::size_t k) const { return theme.m_Styles.at(k).get(); }

    CTheme theme;

private:
    std::vector<Bytes> m_Records;
};

CAdvancedProperty Rule(const std::string& condition, std::uint32_t colour, std::int32_t width = -1) {
    return CAdvancedProperty(condition, colour, colour, width);
}

CAdvancedProperty PenColourFrom(const std::string& column, std::uint32_t fixed = kGrey) {
    CAdvancedProperty rule = Rule("TRUE", fixed);
    rule.PenColorFromAttribute = 1;
    rule.PenColorAttribute = column;
    return rule;
}

// The style every path gives a shape must be one and the same.
void ExpectAllPathsAgree(NativeTheme& t, int position, CStyleInfo* expected, const char* what) {
    ASSERT_LT(static_cast<std::size_t>(position), t.theme.m_ShapeStyles.size()) << what;
    EXPECT_EQ(t.theme.m_ShapeStyles[static_cast<std::size_t>(position)], expected) << what << ": UpdateStyles";
    EXPECT_EQ(t.theme.EvaluateStyleRules(position), expected) << what << ": EvaluateStyleRules";
    t.theme.m_ShapeStyles[static_cast<std::size_t>(position)] = nullptr;
    t.theme.ApplyStyleRules(position);
    EXPECT_EQ(t.theme.m_ShapeStyles[static_cast<std::size_t>(position)], expected) << what << ": ApplyStyleRules";
    t.theme.m_ShapeStyles[static_cast<std::size_t>(position)] = nullptr;
    t.theme.ApplyStyleRulesToAll();
    EXPECT_EQ(t.theme.m_ShapeStyles[static_cast<std::size_t>(position)], expected)
        << what << ": ApplyStyleRulesToAll";
    EXPECT_EQ(t.theme.GetShapeStyle(position), expected) << what << ": GetShapeStyle";
}

} // namespace

TEST(ThemeStyles, DefaultStyleByKind) {
    struct Case {
        std::uint32_t shapeType;
        int styleType; // -1: none
    };
    const Case cases[] = {
        {SHT_Point, SIT_Point},       {SHT_PointZ, SIT_Point},       {SHT_Polyline, SIT_Polyline},
        {SHT_PolylineZ, SIT_Polyline}, {SHT_Polygon, SIT_Polygon},   {SHT_PolygonZ, SIT_Polygon},
        {SHT_MultiPoint, SIT_Base},   {SHT_Image, SIT_Base},         {SHT_Null, -1},
    };
    for (const Case& c : cases) {
        CTheme theme;
        theme.m_ShapeType = c.shapeType;
        theme.m_Color = kRed;
        theme.m_OutlineColor = kBlue;
        theme.m_LineWidth = 3;
        theme.m_PenStyle = PS_Dash;
        theme.m_FillPattern = 5;
        theme.m_PointSymbol = 4;
        theme.UpdateDefaultStyle();
        if (c.styleType < 0) {
            EXPECT_TRUE(theme.m_Styles.empty());
            continue;
        }
        ASSERT_EQ(theme.m_Styles.size(), 1u) << c.shapeType;
        const CStyleInfo& style = *theme.m_Styles[0];
        EXPECT_EQ(style.GetStyleType(), c.styleType) << c.shapeType;
        switch (c.styleType) {
        case SIT_Point:
            EXPECT_EQ(style, CStyleInfoPoint(kRed, 4));
            break;
        case SIT_Polyline:
            EXPECT_EQ(style, CStyleInfoPolyline(kRed, PS_Dash, 3));
            break;
        case SIT_Polygon:
            EXPECT_EQ(style, CStyleInfoPolygon(5, kRed, PS_Dash, 3, kBlue));
            break;
        default:
            EXPECT_EQ(style, CStyleInfo(kRed));
        }
    }
}

TEST(ThemeStyles, WithoutRulesEveryShapeUsesTheDefault) {
    NativeTheme t(SHT_Polygon, {{"CODE", FT_Int}}, {{"1"}, {"2"}, {"3"}});
    t.theme.UpdateStyles();
    EXPECT_TRUE(t.theme.m_ShapeStyles.empty());
    ASSERT_EQ(t.theme.m_Styles.size(), 1u);
    for (int position = 0; position < 3; ++position)
        EXPECT_EQ(t.theme.GetShapeStyle(position), t.Slot(0));
    EXPECT_EQ(t.theme.EvaluateStyleRules(1), t.Slot(0));
    EXPECT_EQ(t.theme.GetShapeStyle(-1), nullptr);

    // Rules that go away take the per-shape styles with them.
    t.SetRules({Rule("CODE = 1", kRed)});
    EXPECT_EQ(t.theme.m_ShapeStyles.size(), 3u);
    t.theme.m_AdvancedProperties.m_Properties.clear();
    t.theme.ApplyStyleRulesToAll();
    EXPECT_TRUE(t.theme.m_ShapeStyles.empty());
}

TEST(ThemeStyles, ImageAndEmptyThemesAreLeftAlone) {
    CTheme image;
    image.m_ShapeType = SHT_Image;
    image.UpdateDefaultStyle();
    CStyleInfo* before = image.m_Styles.at(0).get();
    image.m_AdvancedProperties.m_Properties.push_back(Rule("TRUE", kRed));
    image.UpdateStyles();
    ASSERT_EQ(image.m_Styles.size(), 1u);
    EXPECT_EQ(image.m_Styles[0].get(), before);

    // A theme of no kind has no default style, so no rule slots either.
    CTheme none;
    none.m_AdvancedProperties.m_Properties.push_back(Rule("TRUE", kRed));
    none.UpdateStyles();
    EXPECT_TRUE(none.m_Styles.empty());
    EXPECT_TRUE(none.m_ShapeStyles.empty());
    EXPECT_EQ(none.EvaluateStyleRules(0), nullptr);
    none.ApplyStyleRules(0);
    none.ApplyStyleRulesToAll();
    EXPECT_TRUE(none.m_ShapeStyles.empty());
}

// The first rule the rule page lists that holds for a shape draws it, in
// every path that applies rules.
TEST(ThemeStyles, RulePrecedenceIsTheListOrder) {
    NativeTheme t(SHT_Polyline, {{"CODE", FT_Int}, {"NAME", FT_String}},
                  {{"1", "a"}, {"2", "b"}, {"0", "c"}, {"5", "d"}, {"7", "e"}});
    t.SetRules({
        Rule("CODE = ", kBlue),               // prepares, never evaluates
        Rule("NAME = 1", kBlue),              // a type mismatch for every shape
        Rule("CODE = 1", kRed),               // rule 2
        Rule("CODE >= 1 AND CODE < 7", kGreen), // rule 3
        Rule("[NOPE] = 1", kBlue),            // no such column
        Rule("CODE = 7 OR CODE = 1", kGrey),  // rule 5
    });
    ASSERT_EQ(t.theme.m_Styles.size(), 7u);
    struct Case {
        int position;
        std::size_t slot;
        const char* what;
    };
    const Case cases[] = {
        {0, 3, "CODE 1: rules 2, 3 and 5 hold, rule 2 comes first"},
        {1, 4, "CODE 2: rule 3 only"},
        {2, 0, "CODE 0: no rule holds"},
        {3, 4, "CODE 5: rule 3"},
        {4, 6, "CODE 7: rule 5"},
    };
    for (const Case& c : cases)
        ExpectAllPathsAgree(t, c.position, t.Slot(c.slot), c.what);

    EXPECT_EQ(*t.Slot(3), CStyleInfoPolyline(kRed, PS_Dot, 2));
}

// A shape whose attributes change is styled afresh: a shape that no longer
// meets its rule goes back to the default (or to the next rule).
TEST(ThemeStyles, ApplyStyleRulesDecidesAfresh) {
    NativeTheme t(SHT_Point, {{"CODE", FT_Int}}, {{"1"}, {"2"}});
    t.SetRules({Rule("CODE = 1", kRed), Rule("CODE > 1", kGreen)});
    ASSERT_EQ(t.theme.m_ShapeStyles[0], t.Slot(1));

    ASSERT_TRUE(t.theme.SetAttributeTextAt(0, 0, "0"));
    t.theme.ApplyStyleRules(0);
    EXPECT_EQ(t.theme.m_ShapeStyles[0], t.Slot(0));
    ASSERT_TRUE(t.theme.SetAttributeTextAt(0, 0, "3"));
    t.theme.ApplyStyleRules(0);
    EXPECT_EQ(t.theme.m_ShapeStyles[0], t.Slot(2));

    // A shape added after the styles were built: the list grows to it.
    t.Add({"1"});
    t.theme.m_VisiblePoints = t.theme.m_Points;
    t.theme.ResetShapePositions();
    t.theme.ApplyStyleRules(2);
    ASSERT_EQ(t.theme.m_ShapeStyles.size(), 3u);
    EXPECT_EQ(t.theme.m_ShapeStyles[2], t.Slot(1));
    EXPECT_EQ(t.theme.m_ShapeStyles[1], t.Slot(2));
    // Positions outside the list change nothing.
    t.theme.ApplyStyleRules(3);
    t.theme.ApplyStyleRules(-1);
    EXPECT_EQ(t.theme.m_ShapeStyles.size(), 3u);
}

TEST(ThemeStyles, RuleStylesByKind) {
    CAdvancedProperty rule("TRUE", kRed, kGreen, 5);
    rule.PenStyle = PS_DashDot;

    NativeTheme polygons(SHT_Polygon, {}, {{}});
    polygons.theme.m_FillPattern = 7;
    polygons.SetRules({rule});
    // A polygon rule keeps the theme's pattern, pen style and width.
    EXPECT_EQ(*polygons.Slot(1), CStyleInfoPolygon(7, kRed, PS_Dot, 2, kGreen));

    NativeTheme lines(SHT_Polyline, {}, {{}});
    lines.SetRules({rule, Rule("TRUE", kBlue, -1)});
    EXPECT_EQ(*lines.Slot(1), CStyleInfoPolyline(kGreen, PS_DashDot, 5));
    // Width and style -1 are the theme's own.
    EXPECT_EQ(*lines.Slot(2), CStyleInfoPolyline(kBlue, PS_Dot, 2));

    NativeTheme points(SHT_Point, {}, {{}});
    points.SetRules({rule});
    EXPECT_EQ(*points.Slot(1), CStyleInfoPoint(kGreen, 1));
}

// Shapes whose attribute texts give the same values share one style.
TEST(ThemeStyles, AttributeColoursShareCachedStyles) {
    NativeTheme t(SHT_Polyline, {{"COLOUR", FT_String}},
                  {{"#FF0000"}, {"#FF0000"}, {"#00ff00"}, {"red"}, {""}, {"#FF00001"}});
    t.SetRules({PenColourFrom("COLOUR")});
    const auto& styles = t.theme.m_ShapeStyles;
    ASSERT_EQ(styles.size(), 6u);
    EXPECT_EQ(styles[0], styles[1]);
    EXPECT_EQ(styles[0]->m_Color, kRed);
    EXPECT_EQ(styles[0]->m_Color & 0xFF, 0xFFu);
    EXPECT_EQ(styles[2]->m_Color, kGreen);
    // Texts that are no colour texts leave the rule's colour.
    EXPECT_EQ(styles[3]->m_Color, kGrey);
    EXPECT_EQ(styles[3], styles[4]);
    EXPECT_EQ(styles[3], styles[5]);
    EXPECT_EQ(t.theme.m_StyleCache.size(), 3u);
    for (CStyleInfo* style : styles)
        EXPECT_NE(style, t.Slot(1));
    ExpectAllPathsAgree(t, 1, styles[0], "cached style");
    EXPECT_EQ(t.theme.m_StyleCache.size(), 3u);

    // The column name is matched exactly.
    NativeTheme other(SHT_Polyline, {{"COLOUR", FT_String}}, {{"#FF0000"}});
    other.SetRules({PenColourFrom("colour", kBlue)});
    EXPECT_EQ(other.theme.m_ShapeStyles[0]->m_Color, kBlue);
}

TEST(ThemeStyles, AttributePenWidthAndStyle) {
    struct Case {
        const char* width;
        const char* style;
        int expectedWidth;
        int expectedStyle;
    };
    const Case cases[] = {
        {"4", "7", 4, PS_Dot},       // style 7 is pattern 2
        {"3", "-7", 3, PS_DashDot},  // never a negative style
        {"2.9", "5", 2, PS_Solid},   // a decimal width is cut to a whole number
        {"wide", "4", 2, PS_DashDotDot}, // no number: the theme's width (the rule says -1)
        {"1", "dotted", 1, PS_Dot},  // no number: the theme's style
        {"-3", "-10", -3, PS_Solid},
    };
    for (const Case& c : cases) {
        NativeTheme t(SHT_Polyline, {{"W", FT_Double}, {"S", FT_Int}}, {{c.width, c.style}});
        CAdvancedProperty rule = Rule("TRUE", kRed);
        rule.PenWidthFromAttribute = 1;
        rule.PenWidthAttribute = "W";
        rule.PenStyleFromAttribute = 1;
        rule.PenStyleAttribute = "S";
        t.SetRules({rule});
        ASSERT_EQ(t.theme.m_ShapeStyles.size(), 1u);
        const auto* style = dynamic_cast<const CStyleInfoPolyline*>(t.theme.m_ShapeStyles[0]);
        ASSERT_NE(style, nullptr) << c.width;
        EXPECT_EQ(style->m_Width, c.expectedWidth) << c.width << " " << c.style;
        EXPECT_EQ(style->m_PenStyle, c.expectedStyle) << c.width << " " << c.style;
        EXPECT_GE(style->m_PenStyle, 0);
        EXPECT_EQ(style->m_Color, kRed);
    }
}

TEST(ThemeStyles, AttributeDrivenPolygonsAndPoints) {
    NativeTheme polygons(SHT_Polygon, {{"FILL", FT_String}, {"EDGE", FT_String}}, {{"#0000FF", "#00FF00"}});
    polygons.theme.m_FillPattern = 3;
    CAdvancedProperty rule = Rule("TRUE", kGrey);
    rule.FillFromAttribute = 1;
    rule.FillAttribute = "FILL";
    rule.PenColorFromAttribute = 1;
    rule.PenColorAttribute = "EDGE";
    rule.PenWidthFromAttribute = 1; // not a polygon's business
    rule.PenWidthAttribute = "FILL";
    polygons.SetRules({rule});
    EXPECT_EQ(*polygons.theme.m_ShapeStyles[0], CStyleInfoPolygon(3, kBlue, PS_Dot, 2, kGreen));

    NativeTheme points(SHT_Point, {{"C", FT_String}}, {{"#00FF00"}});
    points.SetRules({PenColourFrom("C")});
    EXPECT_EQ(*points.theme.m_ShapeStyles[0], CStyleInfoPoint(kGreen, 1));

    // A point rule with only a width from a column is a plain rule.
    NativeTheme plain(SHT_Point, {{"C", FT_String}}, {{"#00FF00"}});
    CAdvancedProperty widthOnly = Rule("TRUE", kRed);
    widthOnly.PenWidthFromAttribute = 1;
    widthOnly.PenWidthAttribute = "C";
    EXPECT_FALSE(plain.theme.RuleUsesAttributeStyle(widthOnly));
    plain.SetRules({widthOnly});
    EXPECT_EQ(plain.theme.m_ShapeStyles[0], plain.Slot(1));
    EXPECT_TRUE(plain.theme.m_StyleCache.empty());
}

// The default style is assigned in place, so the shapes that use it keep
// pointing at it; a default style of another kind is replaced and the shapes
// move with it.
TEST(ThemeStyles, UpdateDefaultStyleKeepsShapesPointingAtIt) {
    NativeTheme t(SHT_Polyline, {{"CODE", FT_Int}}, {{"1"}, {"0"}});
    t.SetRules({Rule("CODE = 1", kRed)});
    CStyleInfo* slot0 = t.Slot(0);
    ASSERT_EQ(t.theme.m_ShapeStyles[1], slot0);

    t.theme.m_Color = kBlue;
    t.theme.m_LineWidth = 6;
    t.theme.UpdateDefaultStyle();
    EXPECT_EQ(t.Slot(0), slot0);
    EXPECT_EQ(*slot0, CStyleInfoPolyline(kBlue, PS_Dot, 6));

    t.theme.m_ShapeType = SHT_Polygon;
    t.theme.UpdateDefaultStyle();
    EXPECT_EQ(t.Slot(0)->GetStyleType(), SIT_Polygon);
    EXPECT_EQ(t.theme.m_ShapeStyles[1], t.Slot(0));
    EXPECT_EQ(t.theme.m_ShapeStyles[0], t.Slot(1));
}

// Rules added without rebuilding the styles have no style slot yet; they wait
// for the rebuild instead of reaching past the styles.
TEST(ThemeStyles, RulesWithoutStylesWaitForTheRebuild) {
    NativeTheme t(SHT_Point, {{"CODE", FT_Int}}, {{"1"}});
    t.theme.UpdateStyles();
    t.theme.m_AdvancedProperties.m_Properties.push_back(Rule("CODE = 1", kRed));
    EXPECT_EQ(t.theme.EvaluateStyleRules(0), t.Slot(0));
    t.theme.ApplyStyleRules(0);
    EXPECT_EQ(t.theme.GetShapeStyle(0), t.Slot(0));
    t.theme.UpdateStyles();
    EXPECT_EQ(t.theme.GetShapeStyle(0), t.Slot(1));

    // Without any styles, ApplyStyleRulesToAll makes them, rule slots included.
    t.theme.m_Styles.clear();
    t.theme.m_ShapeStyles.clear();
    t.theme.ApplyStyleRulesToAll();
    ASSERT_EQ(t.theme.m_Styles.size(), 2u);
    EXPECT_EQ(t.theme.GetShapeStyle(0), t.Slot(1));
}

TEST(ThemeStyles, OpeningAndFilteringBuildStyles) {
    TempDir dir;
    std::filesystem::copy_file(kData + "/shapes/points.shp", dir.file("p.shp"));
    std::filesystem::copy_file(kData + "/shapes/points.shx", dir.file("p.shx"));
    CTheme theme;
    theme.m_Color = kRed;
    ASSERT_TRUE(theme.OpenShapeFile(dir.file("p.shp")));
    ASSERT_EQ(theme.m_Styles.size(), 1u);
    EXPECT_EQ(*theme.m_Styles[0], CStyleInfoPoint(kRed, 0));

    theme.m_AdvancedProperties.m_Properties.push_back(Rule("TRUE", kGreen));
    theme.ResetFilter();
    EXPECT_EQ(theme.m_ShapeStyles.size(), static_cast<std::size_t>(theme.GetShapeCount()));
    EXPECT_EQ(theme.GetShapeStyle(0), theme.m_Styles.at(1).get());
}

// The styles a theme hands out draw what they say.
TEST(ThemeStyles, ShapeStylesDrawTheirColours) {
    NativeTheme t(SHT_Polygon, {{"FILL", FT_String}}, {{"#00FF00"}, {"none"}});
    CAdvancedProperty rule = Rule("FILL = '#00FF00'", kRed);
    rule.FillFromAttribute = 1;
    rule.FillAttribute = "FILL";
    t.theme.m_PenStyle = PS_Null;
    t.SetRules({rule});
    for (int position = 0; position < 2; ++position) {
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        CStyleInfo* style = t.theme.GetShapeStyle(position);
        ASSERT_NE(style, nullptr);
        style->BeginDraw(painter, false);
        painter.drawRect(QRect(0, 0, 16, 16));
        style->EndDraw(painter);
        painter.end();
        EXPECT_EQ(image.pixel(8, 8), position == 0 ? qRgb(0, 255, 0) : qRgb(128, 128, 128)) << position;
    }
}
