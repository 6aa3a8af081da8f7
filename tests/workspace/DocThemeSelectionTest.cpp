// The themes selected in the legend and the legend's layer commands on the
// document.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorder {
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    std::vector<std::pair<int, std::intptr_t>> events;
};

CTheme* AddTheme(CCorvaleDoc& doc, std::uint32_t type, bool visible = true) {
    auto* theme = new CTheme;
    theme->m_ShapeType = type;
    theme->m_Visible = visible;
    doc.m_themes.push_back(theme);
    return theme;
}

std::intptr_t Data(const CTheme* theme) {
    return reinterpret_cast<std::intptr_t>(theme);
}

} // namespace

TEST(DocThemeSelection, TheActiveThemeIsTheOnlySelectedOne) {
    CCorvaleDoc doc;
    CTheme* a = AddTheme(doc, SHT_Point);
    CTheme* b = AddTheme(doc, SHT_Polygon);
    Recorder recorder;
    doc.m_updateEvent.AddHandler(&recorder, &Recorder::OnUpdate);

    doc.SetThemeSelected(a, true);
    doc.SetThemeSelected(a, true); // no duplicate
    EXPECT_EQ(doc.m_selectedThemes, (std::vector<CTheme*>{a}));
    EXPECT_EQ(doc.m_activeTheme, a);
    doc.SetThemeSelected(b, true);
    EXPECT_EQ(doc.m_activeTheme, nullptr);
    EXPECT_TRUE(doc.IsThemeSelected(b));
    doc.SetThemeSelected(a, false);
    EXPECT_EQ(doc.m_activeTheme, b);
    doc.SetThemeSelected(nullptr, true);
    EXPECT_EQ(doc.m_selectedThemes, (std::vector<CTheme*>{b}));
    doc.ClearThemeSelection();
    EXPECT_TRUE(doc.m_selectedThemes.empty());
    EXPECT_EQ(doc.m_activeTheme, nullptr);
    EXPECT_TRUE(recorder.events.empty());
}

TEST(DocThemeSelection, LayerCommandsSelectInThemeOrderAndAnnounceIt) {
    CCorvaleDoc doc;
    CTheme* p = AddTheme(doc, SHT_Point);
    CTheme* l = AddTheme(doc, SHT_PolylineZ, false);
    CTheme* g = AddTheme(doc, SHT_Polygon);
    CTheme* pz = AddTheme(doc, SHT_PointZ, false);
    Recorder recorder;
    doc.m_updateEvent.AddHandler(&recorder, &Recorder::OnUpdate);

    doc.SelectThemesMatching([](const CTheme& t) { return t.IsPointTheme(); });
    EXPECT_EQ(doc.m_selectedThemes, (std::vector<CTheme*>{p, pz}));
    EXPECT_EQ(doc.m_activeTheme, nullptr);
    doc.InvertThemeSelection();
    EXPECT_EQ(doc.m_selectedThemes, (std::vector<CTheme*>{l, g}));
    doc.SelectThemesMatching([](const CTheme& t) { return t.m_ShapeType == SHT_Polygon; });
    EXPECT_EQ(doc.m_activeTheme, g);
    ASSERT_EQ(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events[0],
              std::make_pair(static_cast<int>(DUE_ActiveThemeChanged), std::intptr_t{0}));
    EXPECT_EQ(recorder.events[2],
              std::make_pair(static_cast<int>(DUE_ActiveThemeChanged), Data(g)));

    recorder.events.clear();
    doc.ReverseThemeOrder();
    EXPECT_EQ(doc.m_themes, (std::vector<CTheme*>{pz, g, l, p}));
    EXPECT_EQ(recorder.events,
              (std::vector<std::pair<int, std::intptr_t>>{{DUE_ThemeOrderChanged, 0}}));
    // Without a map view there is no scale to ask for.
    EXPECT_EQ(doc.GetUnitsPerPixel(), 0.0);
}
