// Loading query rows into a workspace of the host through the GPI client
// classes: point rows with decimal commas, WKT rows split over three themes,
// the fields' types, rows left out, the zoom and selection of a first load,
// and a failed load that takes its themes away again.

#include "LayerBuilder.h"
#include "Odbc.h"
#include "SorvendTestSupport.h"

#include "GpiClient.h"
#include "ViewTestSupport.h"
#include "framework/ScriptedUserInterface.h"
#include "view/GeoViewGpi.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class CRecordingReport : public CLayerBuildReport {
public:
    void HostError(const std::string& text) override { errors.push_back("host: " + text); }
    void DatabaseError(const std::string& text) override { errors.push_back("database: " + text); }
    void RowsSkipped(std::uint64_t skipped, std::uint64_t rows) override {
        this->skipped = skipped;
        this->rows = rows;
    }
    std::vector<std::string> errors;
    std::uint64_t skipped = 0;
    std::uint64_t rows = 0;
};

class SorvendLayer : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SQLITE_ODBC();
        GpiInitializeLock();
        GpiTestReset();
        InstallGpiMapViewServices();
        auto plugin = std::make_unique<CGpiPlugin>();
        plugin->m_Valid = 1;
        plugin->m_Initialised = 1;
        GpiInitInfo info = {};
        info.identity = GpiAddPlugin(std::move(plugin));
        info.dispatch = &GpiHostDispatch;
        CvClientInit(info);
        view = MakeView(ws, 200, 100);
        view->GetMapPicture();
        workspace = GpiWorkspaceHandle(ws.doc.get());
        path = folder.file("data.db");
    }
    void TearDown() override {
        recordset.reset();
        database.Close();
        view.reset();
        GpiTestReset();
    }

    CRecordset& Query(const std::vector<std::string>& statements, const std::string& sql) {
        MakeSqlite(path, statements);
        database.OpenEx(SqliteConnect(path), CDatabase::openReadOnly);
        recordset = std::make_unique<CRecordset>(&database);
        recordset->Open(sql);
        return *recordset;
    }

    CTheme* Theme(const std::string& name) const {
        for (CTheme* theme : ws.doc->m_themes)
            if (theme->m_Name == name)
                return theme;
        return nullptr;
    }

    static CShapePoint PointOf(const CTheme* theme, int position) {
        return CShapeRecord::GetPoint(theme->GetShape(position), 0);
    }

    corvale::CScriptedUserInterface ui;
    TempDir folder;
    std::string path;
    TestWorkspace ws;
    std::unique_ptr<CGeoView> view;
    std::uint32_t workspace = 0;
    CDatabase database;
    std::unique_ptr<CRecordset> recordset;
    CRecordingReport report;
};

} // namespace

TEST_F(SorvendLayer, PointRowsWithDecimalCommasAndTypedFields) {
    CRecordset& rs = Query({"CREATE TABLE p (name TEXT, x TEXT, y TEXT, big BIGINT, amount NUMERIC(8,2), "
                            "flag BIT, r REAL)",
                            "INSERT INTO p VALUES ('a', '1,5', ' 2,25 ', 5000000000, 3.5, 1, 0.5)",
                            "INSERT INTO p VALUES ('null', NULL, '3', 1, 1, 0, 1)",
                            "INSERT INTO p VALUES ('text', 'abc', '1', 1, 1, 0, 1)",
                            "INSERT INTO p VALUES ('empty', '', '1', 1, 1, 0, 1)",
                            "INSERT INTO p VALUES ('b', '10', '-20.5', -7, 0, 0, 2)"},
                           "SELECT * FROM p");
    std::uint32_t points = 0;
    ASSERT_TRUE(BuildLayer(workspace, &rs, 1, 2, false, &points, report));
    EXPECT_TRUE(report.errors.empty());
    CTheme* theme = Theme("ODBC Points");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(points, GpiThemeHandle(theme));
    EXPECT_EQ(theme->m_ShapeType, SHT_Point);
    ASSERT_EQ(theme->GetShapeCount(), 2) << "rows without numeric coordinates are not put at (0, 0)";
    EXPECT_EQ(PointOf(theme, 0).x, 1.5);
    EXPECT_EQ(PointOf(theme, 0).y, 2.25);
    EXPECT_EQ(PointOf(theme, 1).x, 10.0);
    EXPECT_EQ(PointOf(theme, 1).y, -20.5);
    EXPECT_EQ(report.skipped, 3u);
    EXPECT_EQ(report.rows, 5u);
    EXPECT_EQ(SkippedRowsText(3, 5), "3 of 5 rows were skipped: their coordinates are missing or could not be read.");

    const std::vector<std::pair<std::string, int>> fields = {
        {"name", FT_String}, {"x", FT_String}, {"y", FT_String}, {"big", FT_Int},
        {"amount", FT_Double}, {"flag", FT_Boolean}, {"r", FT_Double}};
    ASSERT_EQ(theme->GetAttributeCount(), fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        EXPECT_EQ(theme->GetAttributeName(static_cast<int>(f)), fields[f].first);
        EXPECT_EQ(theme->GetAttributeType(static_cast<int>(f)), fields[f].second) << fields[f].first;
    }
    EXPECT_EQ(theme->GetAttributeTextAt(0, 0), "a");
    EXPECT_EQ(theme->GetAttributeTextAt(0, 3), "5000000000");
    EXPECT_EQ(theme->GetAttributeTextAt(1, 0), "b");
}

TEST_F(SorvendLayer, WktRowsGoToThreeThemesAndEmptyWorkspaceZoomsAndSelects) {
    CRecordset& rs = Query({"CREATE TABLE g (id INTEGER, shape TEXT)",
                            "INSERT INTO g VALUES (1, 'POINT (100 200)')",
                            "INSERT INTO g VALUES (2, 'LINESTRING (0 0, 50 50)')",
                            "INSERT INTO g VALUES (3, 'POLYGON ((0 0, 0 10, 10 10, 10 0, 0 0), (2 2, 4 2, 4 4, 2 2))')",
                            "INSERT INTO g VALUES (4, 'MULTIPOINT (1 1, 2 2)')",
                            "INSERT INTO g VALUES (5, 'POINT Z (1 2 3)')",
                            "INSERT INTO g VALUES (6, NULL)",
                            "INSERT INTO g VALUES (7, 'MULTIPOLYGON (((0 0,0 1,1 1,0 0)),((5 5,5 6,6 6,5 5)))')"},
                           "SELECT id, shape FROM g");
    ASSERT_TRUE(ws.doc->m_themes.empty());
    ASSERT_TRUE(BuildLayer(workspace, &rs, 1, 0, true, nullptr, report));
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.skipped, 3u);
    CTheme* points = Theme("ODBC Points");
    CTheme* lines = Theme("ODBC Polylines");
    CTheme* polygons = Theme("ODBC Polygons");
    ASSERT_NE(points, nullptr);
    ASSERT_NE(lines, nullptr);
    ASSERT_NE(polygons, nullptr);
    EXPECT_EQ(lines->m_ShapeType, SHT_Polyline);
    EXPECT_EQ(polygons->m_ShapeType, SHT_Polygon);
    ASSERT_EQ(points->GetShapeCount(), 1);
    ASSERT_EQ(lines->GetShapeCount(), 1);
    ASSERT_EQ(polygons->GetShapeCount(), 2);
    EXPECT_EQ(points->GetAttributeTextAt(0, 0), "1");
    EXPECT_EQ(lines->GetAttributeTextAt(0, 0), "2");
    EXPECT_EQ(lines->GetAttributeTextAt(0, 1), "LINESTRING (0 0, 50 50)");
    EXPECT_EQ(CShapeRecord::GetPartCount(polygons->GetShape(0)), 2u) << "the hole is a part";
    EXPECT_EQ(CShapeRecord::GetPartCount(polygons->GetShape(1)), 2u) << "both polygons in one record";
    EXPECT_EQ(polygons->GetAttributeTextAt(1, 0), "7");

    // The map shows the new data, and the new themes are selected.
    EXPECT_LE(ws.doc->m_viewExtent[0], 0.0);
    EXPECT_GE(ws.doc->m_viewExtent[2], 100.0);
    EXPECT_GE(ws.doc->m_viewExtent[3], 200.0);
    for (CTheme* theme : {points, lines, polygons})
        EXPECT_TRUE(ws.doc->IsThemeSelected(theme)) << theme->m_Name;
}

TEST_F(SorvendLayer, WorkspaceWithThemesNeitherZoomsNorSelects) {
    CTheme* existing = ws.AddPointTheme("existing", {{1, 1}}, kRefRed);
    ws.SetExtent(0, 0, 5, 5);
    CRecordset& rs = Query({"CREATE TABLE p (x REAL, y REAL)", "INSERT INTO p VALUES (1000, 2000)"}, "SELECT * FROM p");
    ASSERT_TRUE(BuildLayer(workspace, &rs, 0, 1, false, nullptr, report));
    CTheme* added = Theme("ODBC Points");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(ws.doc->m_viewExtent[2], 5.0);
    EXPECT_FALSE(ws.doc->IsThemeSelected(added));
    EXPECT_NE(existing, nullptr);
    EXPECT_EQ(report.skipped, 0u) << "nothing left out";
    EXPECT_EQ(report.rows, 0u) << "no skip report";
}

TEST_F(SorvendLayer, FailedLoadRemovesTheThemesItBegan) {
    // A column name a shape file cannot keep: the host asks, the user says
    // no, and the field and so the load fail; the user then agrees to the
    // removal of the half-made theme.
    CRecordset& rs = Query({"CREATE TABLE p (x REAL, y REAL)", "INSERT INTO p VALUES (1, 2)"},
                           "SELECT x, y, 'v' AS \"not a field name\" FROM p");
    ui.messageAnswers = {corvale::IDNO, corvale::IDOK};
    std::uint32_t points = 0xEEEE;
    EXPECT_FALSE(BuildLayer(workspace, &rs, 0, 1, false, &points, report));
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_EQ(report.errors[0].rfind("host: ", 0), 0u);
    EXPECT_EQ(Theme("ODBC Points"), nullptr) << "the theme made for the load is gone";
    EXPECT_TRUE(ws.doc->m_themes.empty());
    EXPECT_EQ(points, 0xEEEEu) << "no theme handed out";
}

TEST_F(SorvendLayer, ThousandsOfRowsAllArriveAsTheThemeGrows) {
    CRecordset& rs = Query({"CREATE TABLE p (x REAL, y REAL, k INTEGER)",
                            "INSERT INTO p WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000) "
                            "SELECT i, -i, i * 2 FROM c"},
                           "SELECT * FROM p");
    std::uint32_t points = 0;
    ASSERT_TRUE(BuildLayer(workspace, &rs, 0, 1, false, &points, report));
    CTheme* theme = Theme("ODBC Points");
    ASSERT_NE(theme, nullptr);
    ASSERT_EQ(theme->GetShapeCount(), 5000);
    EXPECT_EQ(PointOf(theme, 4999).x, 5000.0);
    EXPECT_EQ(PointOf(theme, 4999).y, -5000.0);
    EXPECT_EQ(theme->GetAttributeTextAt(4999, 2), "10000");
    EXPECT_TRUE(GpiState().m_BatchList.empty()) << "the batch is closed";
}

TEST_F(SorvendLayer, ColumnOutsideTheResultChangesNothing) {
    CRecordset& rs = Query({"CREATE TABLE p (x REAL, y REAL)", "INSERT INTO p VALUES (1, 2)"}, "SELECT * FROM p");
    EXPECT_THROW(BuildLayer(workspace, &rs, 0, 2, false, nullptr, report), std::invalid_argument);
    EXPECT_THROW(BuildLayer(workspace, &rs, 5, 0, true, nullptr, report), std::invalid_argument);
    EXPECT_TRUE(ws.doc->m_themes.empty());
    EXPECT_FALSE(BuildLayer(workspace, nullptr, 0, 1, false, nullptr, report));
}
