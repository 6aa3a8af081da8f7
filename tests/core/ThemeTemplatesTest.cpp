#include "core/NativeThemeFixture.h"
#include "core/Theme.h"

#include <gtest/gtest.h>

namespace {

// Two named points; NAME of the second holds a placeholder of its own.
struct Towns : NativePointTheme {
    Towns()
        : NativePointTheme({{"NAME", FT_String}, {"POP", FT_Int}, {"NOTE", FT_String}},
                           {{"Alby", "120", "quiet"}, {"Brent", "75", "<$INDEX> and <NAME>"}},
                           {{12.5, -3.25}, {1e300, -1e-7}}) {}
};

// A native polyline theme: no coordinates in its templates.
struct Roads {
    Roads() {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Polyline;
        CAttributeFieldInfo info;
        info.m_Name = "ROAD";
        info.m_Length = 10;
        theme.AddAttribute(info, nullptr, nullptr);
        for (std::uint32_t i = 0; i < 2; ++i) {
            records.push_back(MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}}, i + 1));
            CTheme::ShapeCallback(&theme, Rec(records.back()), 0);
            theme.SetAttributeText(theme.AppendAttributeRow(), 0, i == 0 ? "A1" : "M6", false);
        }
        theme.ResetFilter();
    }
    std::vector<Bytes> records = std::vector<Bytes>();
    CTheme theme;
};

} // namespace

TEST(ThemeTemplates, ParsingListsThePlaceholdersInOrder) {
    Towns towns;
    InfoTipPlaceholderList list = {99};
    towns.theme.m_InfoTipTemplate = "<NOTE> <$INDEX> <NAME> <$LATITUDE> <$LONGITUDE> <NAME> <Name> <MISSING>";
    towns.theme.ParseInfoTipTemplate(list);
    EXPECT_EQ(list, (InfoTipPlaceholderList{TP_Longitude, TP_Latitude, TP_Index, 0, 2}));

    towns.theme.m_InfoTipTemplate = "no placeholders";
    towns.theme.ParseInfoTipTemplate(list);
    EXPECT_TRUE(list.empty());

    Roads roads;
    roads.theme.m_InfoTipTemplate = "<$LONGITUDE> <ROAD> <$INDEX>";
    roads.theme.ParseInfoTipTemplate(list);
    EXPECT_EQ(list, (InfoTipPlaceholderList{TP_Index, 0}));
}

TEST(ThemeTemplates, ExpandsEveryKindOfPlaceholderPerShape) {
    Towns towns;
    const std::string text = "<NAME> (<POP>) #<$INDEX> at <$LONGITUDE>, <$LATITUDE>; <NAME> <MISSING> <name>";
    towns.theme.m_InfoTipTemplate = text;
    InfoTipPlaceholderList list;
    towns.theme.ParseInfoTipTemplate(list);

    const std::string first = "Alby (120) #0 at 12.500000, -3.250000; Alby <MISSING> <name>";
    EXPECT_EQ(towns.theme.GetInfoTipText(0), first);
    EXPECT_EQ(towns.theme.FormatInfoTip(0, list), first);
    EXPECT_EQ(towns.theme.ExpandTemplate(text, 0), first);

    // A coordinate of 1e300 is written in full, every digit of its binary
    // value as "%f" writes it; no fixed buffer cuts it.
    const std::string x1e300 =
        "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864"
        "0437044438328838781769425232353604305756447921847867069828483872009265758037378302337947880900593689"
        "53234970799945081119038967640880074652742780142494579258788820056842838115669472196386865459400540160.000000";
    const std::string second = "Brent (75) #1 at " + x1e300 + ", -0.000000; Brent <MISSING> <name>";
    EXPECT_EQ(towns.theme.GetInfoTipText(1), second);
    EXPECT_EQ(towns.theme.FormatInfoTip(1, list), second);
    EXPECT_EQ(towns.theme.ExpandTemplate(text, 1), second);

    // FormatInfoTip replaces only what the list names.
    EXPECT_EQ(towns.theme.FormatInfoTip(0, {TP_Index}),
              "<NAME> (<POP>) #0 at <$LONGITUDE>, <$LATITUDE>; <NAME> <MISSING> <name>");

    EXPECT_EQ(towns.theme.ExpandTemplate("no placeholders", 0), "no placeholders");
    EXPECT_EQ(towns.theme.ExpandTemplate("", 0), "");
}

TEST(ThemeTemplates, ValuesAreNotExpandedAgain) {
    Towns towns;
    towns.theme.m_InfoTipTemplate = "<NOTE> / <NAME> / <$INDEX>";
    InfoTipPlaceholderList list;
    towns.theme.ParseInfoTipTemplate(list);
    const std::string expected = "<$INDEX> and <NAME> / Brent / 1";
    EXPECT_EQ(towns.theme.GetInfoTipText(1), expected);
    EXPECT_EQ(towns.theme.FormatInfoTip(1, list), expected);
    EXPECT_EQ(towns.theme.ExpandTemplate(towns.theme.m_InfoTipTemplate, 1), expected);
}

TEST(ThemeTemplates, PolylineThemesKeepCoordinatePlaceholders) {
    Roads roads;
    const std::string text = "<ROAD> #<$INDEX> <$LONGITUDE> <$LATITUDE>";
    roads.theme.m_InfoTipTemplate = text;
    InfoTipPlaceholderList list;
    roads.theme.ParseInfoTipTemplate(list);
    const std::string expected = "M6 #1 <$LONGITUDE> <$LATITUDE>";
    EXPECT_EQ(roads.theme.GetInfoTipText(1), expected);
    EXPECT_EQ(roads.theme.FormatInfoTip(1, list), expected);
    EXPECT_EQ(roads.theme.ExpandTemplate(text, 1), expected);
}

// Coordinates carry a decimal point whatever the desktop's locale says.
TEST(ThemeTemplates, CoordinatesUnderACommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "the de_DE.UTF-8 locale is missing; scripts/setup.sh generates it";
    Towns towns;
    towns.theme.m_InfoTipTemplate = "<$LONGITUDE> <$LATITUDE>";
    EXPECT_EQ(towns.theme.GetInfoTipText(0), "12.500000 -3.250000");
    EXPECT_EQ(towns.theme.ExpandTemplate("<$LONGITUDE>", 0), "12.500000");
}
