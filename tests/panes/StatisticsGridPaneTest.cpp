// The statistics pane: the properties of the workspace and of the themes
// selected in the legend.

#include "GridPaneTestSupport.h"

#include "core/LoaderPlugin.h"
#include "panes/StatisticsGridPane.h"

#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

CTheme* AddEmptyTheme(CCorvaleDoc& doc, std::uint32_t type, std::uint32_t source) {
    auto* theme = new CTheme;
    theme->m_ShapeType = type;
    theme->m_SourceType = source;
    doc.m_themes.push_back(theme);
    return theme;
}

bool HasRow(const CStatisticsGridPane& pane, const std::string& property, const std::string& value) {
    const auto& rows = pane.GetRows();
    return std::find(rows.begin(), rows.end(), std::make_pair(property, value)) != rows.end();
}

} // namespace

TEST(StatisticsGridPane, OneTableTheme) {
    CRecordingGridPaneServices services;
    CCorvaleDoc doc;
    doc.SetPathName("/data/work.cvw");
    CTheme* theme = AddTableTheme(doc, {{"NAME", FT_String}}, {{"a"}, {"b"}, {"c"}});
    theme->m_Visible = false;
    theme->AddToSelection(1, 1, 3, 0);
    CStatisticsGridPane pane;
    pane.SetDocument(&doc);
    using Rows = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(pane.GetRows(), (Rows{
                                  {"Workspace path", "/data/work.cvw"},
                                  {"Themes, Total", "1"},
                                  {"Themes, Selected", "1"},
                                  {"Themes, Visible", "0"},
                                  {"", ""},
                                  {"Shape Type", "Points"},
                                  {"Shapes, Total", "3"},
                                  {"Shapes, Filtered", "0"},
                                  {"Shapes, Selected", "1"},
                                  {"Data Source", "ST_Native"},
                                  {"Original data source", "ST_Native"},
                                  {"Editable", "true"},
                                  {"", ""},
                                  {"Top", "4.000000"},
                                  {"Bottom", "0.000000"},
                                  {"Left", "0.000000"},
                                  {"Right", "2.000000"},
                                  {"Height", "4.000000"},
                                  {"Width", "2.000000"},
                                  {"", ""},
                                  {"Extra data (bytes)", "0"},
                              }));
    EXPECT_EQ(pane.GetModel()->GetRowCount(), static_cast<int>(pane.GetRows().size()));
    EXPECT_EQ(pane.GetModel()->GetCellText(5, 1), "Points");
    EXPECT_EQ(pane.GetModel()->GetHeading(0), "Property");

    // The pane follows the document's events.
    theme->m_VisiblePoints.pop_back();
    theme->ResetShapePositions();
    doc.FireUpdateEvent(nullptr, DUE_FilterChanged, reinterpret_cast<std::intptr_t>(theme));
    EXPECT_EQ(pane.GetValue("Shapes, Filtered"), "1");
    doc.m_selectedThemes.clear();
    doc.FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, 0);
    EXPECT_EQ(pane.GetRows().size(), 4u);

    // Copy As Text copies the selected rows.
    pane.GetGrid()->selectRow(1);
    ASSERT_TRUE(pane.OnCmdMsg(ID_GRID_COPY_AS_TEXT, nullptr));
    EXPECT_EQ(ClipboardText(), "Themes, Total\t1\r\n");

    pane.SetDocument(nullptr);
    EXPECT_TRUE(pane.GetRows().empty());
    EXPECT_EQ(doc.m_updateEvent.GetCount(), 1u);
}

TEST(StatisticsGridPane, SeveralKindsAndTheUndefinedCases) {
    CCorvaleDoc doc;
    CTheme* lines = AddEmptyTheme(doc, SHT_PolylineZ, ST_ShapeFile);
    CTheme* image = AddEmptyTheme(doc, SHT_Image, ST_ImageFile);
    image->m_Raster.m_ImagePath = "/data/scan.tif";

    // One empty Z theme: the extent and the Z range are undefined.
    doc.m_selectedThemes = {lines};
    auto rows = CStatisticsGridPane::BuildRows(&doc);
    CStatisticsGridPane pane;
    pane.SetDocument(&doc);
    EXPECT_EQ(pane.GetValue("Shape Type"), "PolyLineZ");
    EXPECT_EQ(pane.GetValue("Top"), "<Undefined>");
    EXPECT_EQ(pane.GetValue("Width"), "<Undefined>");
    EXPECT_EQ(pane.GetValue("Z-min"), "<Undefined>");
    EXPECT_EQ(pane.GetValue("Data Source"), "ST_ShapeFile");
    EXPECT_EQ(pane.GetValue("Editable"), "false");

    // An image without its bitmap.
    doc.m_selectedThemes = {image};
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetValue("Shape Type"), "Image layer");
    EXPECT_EQ(pane.GetValue("Image file"), "/data/scan.tif");
    EXPECT_EQ(pane.GetValue("Image status"), "Not loaded");
    EXPECT_EQ(pane.GetValue("Shapes, Total"), "");

    // Both: multiple types, no rows of a single theme.
    doc.m_selectedThemes = {lines, image};
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetValue("Shape Type"), "<Multiple types>");
    EXPECT_EQ(pane.GetValue("Data Source"), "<Multiple types>");
    EXPECT_EQ(pane.GetValue("Editable"), "");
    EXPECT_EQ(pane.GetValue("Image file"), "");
    EXPECT_EQ(pane.GetValue("Shapes, Total"), "0");

    // A derived theme without its parent.
    CTheme* child = AddEmptyTheme(doc, SHT_Point, ST_ParentTheme);
    doc.m_selectedThemes = {child};
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetValue("Parent theme"), "#ERROR# Parent is null");
    child->m_ParentTheme = lines;
    lines->m_Name = "roads";
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetValue("Parent theme"), "roads");
    child->m_ParentTheme = nullptr;
    pane.SetDocument(nullptr);
}

// A theme a loader plug-in made names the plug-in bound to it and the
// plug-in's file. One whose plug-in could not be bound again (its workspace
// opened where the plug-in is not) keeps both rows, empty.
TEST(StatisticsGridPane, ALoaderThemeNamesItsBoundLoader) {
    const std::string plugin = std::string(CORVALE_LOADER_TEST_PLUGINS) + "/v5.ldr";
    CCorvaleDoc loaded;
    ASSERT_GT(loaded.AddFromDataSource(plugin), 0);
    CTheme* theme = loaded.m_themes.front();
    ASSERT_NE(theme->m_Loader, nullptr);
    loaded.m_selectedThemes = {theme};
    CStatisticsGridPane pane;
    pane.SetDocument(&loaded);
    EXPECT_EQ(pane.GetValue("Data Source"), "ST_CustomLoader");
    EXPECT_TRUE(HasRow(pane, "Loader", "v5"));
    EXPECT_TRUE(HasRow(pane, "Loader file", plugin));

    // Two loader themes: no rows of a single theme.
    ASSERT_GT(loaded.m_themes.size(), 1u);
    loaded.m_selectedThemes = {loaded.m_themes[0], loaded.m_themes[1]};
    loaded.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetValue("Loader"), "");
    EXPECT_EQ(pane.GetValue("Loader file"), "");

    corvale::CScriptedUserInterface ui;
    // The workspace's missing shape file is not looked for.
    ui.messageAnswers = {corvale::IDNO};
    CCorvaleDoc stored;
    ASSERT_TRUE(stored.OpenWorkspace(std::string(CORVALE_TEST_DATA) + "/workspace/v7-sources.cvw"));
    CTheme* unbound = stored.m_themes.front();
    ASSERT_EQ(unbound->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    ASSERT_EQ(unbound->m_Loader, nullptr);
    stored.m_selectedThemes = {unbound};
    pane.SetDocument(&stored);
    EXPECT_EQ(pane.GetValue("Data Source"), "ST_CustomLoader");
    EXPECT_TRUE(HasRow(pane, "Loader", ""));
    EXPECT_TRUE(HasRow(pane, "Loader file", ""));
    pane.SetDocument(nullptr);
}
