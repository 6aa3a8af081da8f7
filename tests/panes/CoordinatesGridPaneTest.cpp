// The coordinates pane: the vertices of the selected shape by part, edits
// written into the record, deleting vertices and parts, pasting and copying
// coordinates.

#include "GridPaneTestSupport.h"

#include "framework/CommandTarget.h"
#include "geometry/SpatialHash.h"
#include "panes/CoordinatesGridPane.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"
#include "view/GeoView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CChoosingServices : public CRecordingGridPaneServices {
public:
    bool ChooseFromList(QWidget*, const std::string& prompt, const std::vector<std::string>& choices,
                        int& choice) override {
        prompts.push_back(prompt);
        offered = choices;
        if (answer < 0)
            return false;
        choice = answer;
        return true;
    }
    int answer = -1;
    std::vector<std::string> prompts;
    std::vector<std::string> offered;
};

void PutCoordinates(const std::vector<std::pair<double, double>>& points) {
    QByteArray block(static_cast<int>(8 + 16 * points.size()), '\0');
    corvale::WriteLE32(block.data(), static_cast<std::uint32_t>(points.size()));
    corvale::WriteLE32(block.data() + 4, 2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        corvale::WriteLEDouble(block.data() + 8 + 16 * i, points[i].first);
        corvale::WriteLEDouble(block.data() + 16 + 16 * i, points[i].second);
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCoordinateClipboardMime), block);
    QGuiApplication::clipboard()->setMimeData(data);
}

// A shape block of the polylines on the clipboard, as Edit > Copy leaves it.
void PutShapes(const std::vector<Bytes>& records) {
    std::vector<const CShapeRecord*> pointers;
    for (const Bytes& record : records)
        pointers.push_back(Rec(record));
    std::string block;
    ASSERT_TRUE(AppendShapeClipboardBlock(block, SHT_Polyline, {}, pointers, {}));
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kShapeClipboardMime), QByteArray(block.data(), static_cast<int>(block.size())));
    data->setText(QStringLiteral("shapes"));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::vector<CShapePoint> Points(const CShapeRecord* record) {
    std::vector<CShapePoint> points;
    for (std::uint32_t i = 0; i < CShapeRecord::GetPointCount(record); ++i)
        points.push_back(CShapeRecord::GetPoint(record, i));
    return points;
}

class CoordinatesPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        CAppSettings::GetInstance()->m_DataViewPrecision = 6;
        doc.m_updateEvent.AddHandler(&log, &CPaneEventLog::OnUpdate);
        pane.resize(400, 400);
        pane.show();
        pane.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&pane));
    }
    void TearDown() override {
        pane.SetDocument(nullptr);
        doc.m_updateEvent.RemoveHandler(&log);
    }
    // A native editable theme of the records, the first one selected, shown
    // in the pane.
    CTheme* Show(std::uint32_t type, const std::vector<Bytes>& records, bool select = true) {
        theme = new CTheme;
        theme->m_ShapeType = type;
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        for (Bytes record : records)
            EXPECT_NE(theme->AddShape(Rec(record), true, true, false), nullptr);
        doc.m_themes.push_back(theme);
        doc.m_activeTheme = theme;
        if (select)
            theme->AddToSelection(0, 0, 3, 0);
        pane.SetDocument(&doc);
        return theme;
    }
    CShapeRecord* Shape() const { return theme->GetShape(0); }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(pane.GetGrid()->viewport(), Qt::LeftButton, modifiers, CellCentre(pane.GetGrid(), row, 0));
    }
    void SelectRows(const std::vector<int>& rows) {
        ClickRow(rows.front());
        for (std::size_t i = 1; i < rows.size(); ++i)
            ClickRow(rows[i], Qt::ControlModifier);
    }
    bool Enabled(unsigned id) {
        CCmdUI ui(id);
        return pane.OnCmdMsg(id, &ui) && ui.m_Enabled;
    }
    void Run(unsigned id) { pane.OnCmdMsg(id, nullptr); }

    corvale::CScriptedUserInterface ui;
    CChoosingServices services;
    CCorvaleDoc doc;
    CPaneEventLog log;
    CTheme* theme = nullptr;
    CCoordinatesGridPane pane;
};

// Two rings of 5 points each, closing points included.
Bytes TwoRings() {
    return MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}},
                                   {{20, 20}, {20, 30}, {30, 30}, {30, 20}, {20, 20}}});
}

} // namespace

TEST_F(CoordinatesPaneTest, RowsOfEachShapeType) {
    struct Case {
        const char* name;
        std::uint32_t type;
        Bytes record;
        std::vector<std::string> x;
        std::vector<std::string> z;
        std::vector<std::uint32_t> vertices;
        int columns;
    };
    const std::uint32_t none = 0xFFFFFFFFu;
    const Case cases[] = {
        {"point", SHT_Point, MakePoint(1.5, 2.5), {"1.500000"}, {""}, {0}, 2},
        {"pointZ", SHT_PointZ, MakePointZ(1, 2, 3, 4), {"1.000000"}, {"3.000000"}, {0}, 3},
        {"polyline of two parts",
         SHT_Polyline,
         MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{5, 5}, {6, 6}, {7, 7}}}),
         {"Part 1 of 2:", "0.000000", "1.000000", "Part 2 of 2:", "5.000000", "6.000000", "7.000000"},
         {"", "", "", "", "", "", ""},
         {none, 0, 1, none, 2, 3, 4},
         2},
        // The closing point of each ring is left out.
        {"polygon of two rings",
         SHT_Polygon,
         TwoRings(),
         {"Part 1 of 2:", "0.000000", "0.000000", "10.000000", "10.000000", "Part 2 of 2:", "20.000000", "20.000000",
          "30.000000", "30.000000"},
         {"", "", "", "", "", "", "", "", "", ""},
         {none, 0, 1, 2, 3, none, 5, 6, 7, 8},
         2},
        {"polylineZ",
         SHT_PolylineZ,
         MakeMulti(SHT_PolylineZ, {{{0, 0, 7, 1}, {1, 1, 8, 2}}}),
         {"Part 1 of 1:", "0.000000", "1.000000"},
         {"", "7.000000", "8.000000"},
         {none, 0, 1},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show(c.type, {c.record});
        EXPECT_EQ(pane.GetXTexts(), c.x);
        EXPECT_EQ(pane.GetZTexts(), c.z);
        EXPECT_EQ(pane.GetRowVertices(), c.vertices);
        EXPECT_EQ(pane.GetModel()->GetColumnCount(), c.columns);
        EXPECT_EQ(pane.GetModel()->GetRowCount(), static_cast<int>(c.x.size()));
        for (std::size_t r = 0; r < c.x.size(); ++r)
            EXPECT_EQ(pane.IsHeadingRow(static_cast<int>(r)), c.vertices[r] == none) << r;
        pane.SetDocument(nullptr);
    }
}

TEST_F(CoordinatesPaneTest, HeadingRowsAreOrangeAndBold) {
    Show(SHT_Polygon, {TwoRings()});
    const QModelIndex heading = pane.GetModel()->index(0, 0);
    const QModelIndex vertex = pane.GetModel()->index(1, 1);
    EXPECT_EQ(pane.GetModel()->data(heading, Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 0));
    EXPECT_TRUE(pane.GetModel()->data(heading, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(pane.GetModel()->data(vertex, Qt::BackgroundRole).isValid());
    // Headings cannot be edited, vertices can.
    EXPECT_FALSE(pane.GetModel()->flags(heading) & Qt::ItemIsEditable);
    EXPECT_TRUE(pane.GetModel()->flags(vertex) & Qt::ItemIsEditable);
}

TEST_F(CoordinatesPaneTest, NoneOrSeveralSelected) {
    Show(SHT_Point, {MakePoint(1, 1, 1), MakePoint(2, 2, 2)}, false);
    EXPECT_EQ(pane.GetXTexts(), std::vector<std::string>{"<No selection>"});
    theme->AddToSelection(0, 0, 3, 0);
    theme->AddToSelection(1, 1, 3, 0);
    doc.FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
    EXPECT_EQ(pane.GetXTexts(), std::vector<std::string>{"<Multiple selection>"});
    ClickRow(0);
    EXPECT_FALSE(Enabled(ID_COORD_CENTER_MAP));
    EXPECT_FALSE(Enabled(ID_VIEW_COPY_COORDINATE));
    EXPECT_FALSE(Enabled(ID_COORD_DELETE));
    EXPECT_EQ(pane.GetModel()->data(pane.GetModel()->index(0, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(255, 128, 0));
}

TEST_F(CoordinatesPaneTest, PrecisionFollowsTheSetting) {
    Show(SHT_Point, {MakePoint(1.23456789, 2)});
    CAppSettings::GetInstance()->m_DataViewPrecision = 2;
    doc.FireUpdateEvent(nullptr, DUE_OptionsChanged, 0);
    EXPECT_EQ(pane.GetXTexts(), std::vector<std::string>{"1.23"});
    CAppSettings::GetInstance()->m_DataViewPrecision = 6;
}

TEST_F(CoordinatesPaneTest, EditingTheFirstVertexMovesTheClosingPoint) {
    Show(SHT_Polygon, {TwoRings()});
    ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), 1, 0, "-5"));
    const std::vector<CShapePoint> points = Points(Shape());
    EXPECT_EQ(points[0].x, -5.0);
    EXPECT_EQ(points[4].x, -5.0);
    EXPECT_EQ(CShapeRecord::GetMinX(Shape()), -5.0);
    EXPECT_EQ(theme->m_Bounds[0], -5.0);
    EXPECT_EQ(pane.GetXTexts()[1], "-5.000000");
    ASSERT_GE(log.Count(DUE_ThemeDataChanged), 1);
    EXPECT_EQ(log.events.back().sender, &pane);
}

TEST_F(CoordinatesPaneTest, EditsByShapeType) {
    struct Case {
        const char* name;
        std::uint32_t type;
        Bytes record;
        int row;
        int column;
        std::uint32_t vertex;
        double x, y, z;
    };
    const Case cases[] = {
        {"point x", SHT_Point, MakePoint(1, 2), 0, 0, 0, 9, 2, 0},
        {"point y", SHT_Point, MakePoint(1, 2), 0, 1, 0, 1, 9, 0},
        {"pointZ z", SHT_PointZ, MakePointZ(1, 2, 3, 0), 0, 2, 0, 1, 2, 9},
        {"polyline y", SHT_Polyline, MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}}), 2, 1, 1, 1, 9, 0},
        {"polylineZ z", SHT_PolylineZ, MakeMulti(SHT_PolylineZ, {{{0, 0, 1}, {1, 1, 2}}}), 2, 2, 1, 1, 1, 9},
        {"polygonZ x", SHT_PolygonZ,
         MakeMulti(SHT_PolygonZ, {{{0, 0, 1}, {0, 1, 1}, {1, 1, 1}, {0, 0, 1}}}), 2, 0, 1, 9, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show(c.type, {c.record});
        ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), c.row, c.column, "9"));
        const CShapePoint p = CShapeRecord::GetPoint(Shape(), c.vertex);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
        EXPECT_EQ(CShapeRecord::GetZ(Shape(), c.vertex), c.z);
        pane.SetDocument(nullptr);
    }
}

// A text that is not a number used to be stored as 0, throwing the vertex to
// the origin.
TEST_F(CoordinatesPaneTest, TextThatIsNotANumberIsRefused) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{5, 5}, {6, 6}}})});
    theme->m_Modified = false;
    for (const char* text : {"abc", "1,5", "--1", "nan", "inf"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), 1, 0, text));
        EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 0).x, 5.0);
        EXPECT_EQ(pane.GetModel()->GetCellText(1, 0), "5.000000");
    }
    EXPECT_EQ(log.Count(DUE_ThemeDataChanged), 0);
    EXPECT_FALSE(theme->m_Modified);
}

// The hash used to keep the record under its old box, so that a search at
// the new place missed it.
TEST_F(CoordinatesPaneTest, SpatialIndexFollowsAnEdit) {
    Show(SHT_Polygon, {MakeMulti(SHT_Polygon, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}})});
    theme->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 100.0, 100.0);
    theme->m_SpatialIndex->InsertRecord(Shape());
    // Moves the third vertex far out: the box now reaches (90, 90).
    ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), 3, 0, "90"));
    ASSERT_TRUE(EditCellByKeys(pane.GetGrid(), 3, 1, "90"));
    int found = 0;
    theme->m_SpatialIndex->ForEachCandidate(CDoubleRect(85, 85, 95, 95), [&](CShapeRecord* record) {
        found += record == Shape();
        return true;
    });
    EXPECT_EQ(found, 1);
}

TEST_F(CoordinatesPaneTest, ReadOnlyThemeCannotBeEdited) {
    Show(SHT_Point, {MakePoint(1, 2)});
    theme->m_Editable = false;
    doc.FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, 0);
    EXPECT_FALSE(EditCellByKeys(pane.GetGrid(), 0, 0, "7"));
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 0).x, 1.0);
}

TEST_F(CoordinatesPaneTest, DeletingVerticesThenPartsThenTheShape) {
    Show(SHT_Polygon, {MakeMulti(SHT_Polygon, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {5, -5}, {0, 0}},
                                               {{20, 20}, {20, 30}, {30, 30}, {30, 20}, {20, 20}}})});
    // Rows: 0 heading, 1..5 ring 1, 6 heading, 7..10 ring 2.
    SelectRows({5});
    ASSERT_TRUE(Enabled(ID_COORD_DELETE));
    Run(ID_COORD_DELETE);
    EXPECT_TRUE(ui.Messages().empty());
    ASSERT_EQ(CShapeRecord::GetPointCount(Shape()), 10u);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 4).x, 0.0);
    EXPECT_EQ(pane.GetModel()->GetRowCount(), 10);
    EXPECT_TRUE(doc.IsModified());

    // A part goes whole when its heading is selected: asked first.
    SelectRows({6});
    ClickRow(0, Qt::ControlModifier);
    ui.messageAnswers.push_back(corvale::IDNO);
    Run(ID_COORD_DELETE);
    EXPECT_EQ(ui.Messages().back(), "This operation will delete one or more entire parts.\n\nProceed anyway?");
    EXPECT_EQ(CShapeRecord::GetPartCount(Shape()), 2u);
    SelectRows({0});
    ui.messageAnswers.push_back(corvale::IDYES);
    Run(ID_COORD_DELETE);
    ASSERT_EQ(CShapeRecord::GetPartCount(Shape()), 1u);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 0).x, 20.0);
    EXPECT_EQ(pane.GetXTexts().front(), "Part 1 of 1:");

    // Every vertex of the last part: the whole shape, asked first.
    SelectRows({1, 2, 3, 4});
    ui.messageAnswers.push_back(corvale::IDYES);
    Run(ID_COORD_DELETE);
    EXPECT_EQ(ui.Messages().back(), "This operation will delete the entire shape.\n\nProceed anyway?");
    EXPECT_EQ(theme->GetAllShapeCount(), 0);
    EXPECT_EQ(pane.GetXTexts(), std::vector<std::string>{"<No selection>"});
}

TEST_F(CoordinatesPaneTest, DeletingAPointAsksAndNoKeepsIt) {
    Show(SHT_Point, {MakePoint(1, 2)});
    ClickRow(0);
    ui.messageAnswers.push_back(corvale::IDNO);
    Run(ID_COORD_DELETE);
    EXPECT_EQ(ui.Messages().back(), "This operation will delete the entire shape.\n\nProceed anyway?");
    EXPECT_EQ(theme->GetAllShapeCount(), 1);
}

TEST_F(CoordinatesPaneTest, CopyCoordinateTakesTheRecordsValues) {
    CAppSettings::GetInstance()->m_DataViewPrecision = 1;
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{1.26, 2.5}, {3.125, 4.75}}, {{9, 9}, {8, 8}}})});
    CAppSettings::GetInstance()->m_DataViewPrecision = 6;
    const std::string oldTemplate = CAppSettings::GetInstance()->m_CCTemplate;
    CAppSettings::GetInstance()->m_CCTemplate = "<X>;<Y>";
    // A heading among the rows is passed over.
    SelectRows({0, 1, 2});
    ASSERT_TRUE(Enabled(ID_VIEW_COPY_COORDINATE));
    Run(ID_VIEW_COPY_COORDINATE);
    CAppSettings::GetInstance()->m_CCTemplate = oldTemplate;
        // The texts are the rows' (one decimal); the block has the record's values.
    EXPECT_EQ(ClipboardText(), "1.300000;2.500000\r\n3.100000;4.800000");
    const QByteArray block =
        QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kCoordinateClipboardMime));
    ASSERT_EQ(block.size(), 8 + 32);
    EXPECT_EQ(corvale::ReadLE32(block.constData()), 2u);
    EXPECT_EQ(corvale::ReadLE32(block.constData() + 4), 2u);
    EXPECT_EQ(corvale::ReadLEDouble(block.constData() + 8), 1.26);
    EXPECT_EQ(corvale::ReadLEDouble(block.constData() + 32), 4.75);
    EXPECT_EQ(ReadClipboardCoordinatePoints(), (std::vector<CShapePoint>{{1.26, 2.5}, {3.125, 4.75}}));
}

TEST_F(CoordinatesPaneTest, DamagedClipboardBlockGivesNothing) {
    QByteArray block(8, '\0');
    corvale::WriteLE32(block.data(), 1000);
    corvale::WriteLE32(block.data() + 4, 2);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCoordinateClipboardMime), block);
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_TRUE(ReadClipboardCoordinatePoints().empty());
}

TEST_F(CoordinatesPaneTest, CenterMapOnAPart) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {4, 2}}, {{10, 10}, {20, 30}}})});
    doc.m_viewExtent[0] = 0;
    doc.m_viewExtent[1] = 0;
    doc.m_viewExtent[2] = 2;
    doc.m_viewExtent[3] = 2;
    SelectRows({3});
    ASSERT_TRUE(Enabled(ID_COORD_CENTER_MAP));
    Run(ID_COORD_CENTER_MAP);
    EXPECT_DOUBLE_EQ((doc.m_viewExtent[0] + doc.m_viewExtent[2]) / 2, 15.0);
    EXPECT_DOUBLE_EQ((doc.m_viewExtent[1] + doc.m_viewExtent[3]) / 2, 20.0);
}

TEST_F(CoordinatesPaneTest, PasteAppendsWithoutDoublingTheJoin) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{5, 5}, {6, 6}}})});
    PutCoordinates({{1, 1}, {2, 2}, {3, 3}});
    ASSERT_TRUE(Enabled(ID_COORD_PASTE_SPECIAL));
    ClickRow(1);
    services.answer = 0;
    Run(ID_COORD_PASTE_SPECIAL);
    EXPECT_EQ(services.prompts.back(), "How should pasted data be inserted?");
    EXPECT_EQ(services.offered,
              (std::vector<std::string>{"Append coordinates to selected part", "Paste shape as new part(s)"}));
    const std::vector<CShapePoint> points = Points(Shape());
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(points[1].x, 1.0);
    EXPECT_EQ(points[2].x, 2.0);
    EXPECT_EQ(points[3].x, 3.0);
    EXPECT_EQ(CShapeRecord::GetPartStart(Shape(), 1), 4u);
}

TEST_F(CoordinatesPaneTest, PasteAsNewPartAndCancel) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}})});
    PutCoordinates({{7, 7}, {8, 8}});
    services.answer = -1;
    Run(ID_COORD_PASTE_SPECIAL);
    EXPECT_EQ(CShapeRecord::GetPartCount(Shape()), 1u);
    services.answer = 1;
    Run(ID_COORD_PASTE_SPECIAL);
    ASSERT_EQ(CShapeRecord::GetPartCount(Shape()), 2u);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 3).x, 8.0);
    EXPECT_EQ(pane.GetXTexts()[3], "Part 2 of 2:");
}

TEST_F(CoordinatesPaneTest, PasteSpecialTakesACopiedPolyline) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}})});
    // Appended to the one part, the shared point once.
    PutShapes({MakeMulti(SHT_Polyline, {{{1, 1}, {2, 2}, {3, 3}}})});
    ASSERT_TRUE(Enabled(ID_COORD_PASTE_SPECIAL));
    services.answer = 0;
    Run(ID_COORD_PASTE_SPECIAL);
    EXPECT_EQ(Points(Shape()), (std::vector<CShapePoint>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(CShapeRecord::GetPartCount(Shape()), 1u);

    // A multipart shape is added part by part, but not appended.
    PutShapes({MakeMulti(SHT_Polyline, {{{5, 5}, {6, 6}}, {{7, 7}, {8, 8}}})});
    ASSERT_TRUE(Enabled(ID_COORD_PASTE_SPECIAL));
    Run(ID_COORD_PASTE_SPECIAL);
    EXPECT_EQ(ui.Messages().back(), "Appending coordinates from a multipart polyline is\ncurrently not supported.");
    EXPECT_EQ(CShapeRecord::GetPointCount(Shape()), 4u);
    services.answer = 1;
    Run(ID_COORD_PASTE_SPECIAL);
    ASSERT_EQ(CShapeRecord::GetPartCount(Shape()), 3u);
    EXPECT_EQ(CShapeRecord::GetPartStart(Shape(), 2), 6u);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 7).x, 8.0);
    EXPECT_EQ(pane.GetXTexts()[5], "Part 2 of 3:");

    // Two shapes on the clipboard are no source.
    PutShapes({MakeMulti(SHT_Polyline, {{{5, 5}, {6, 6}}}), MakeMulti(SHT_Polyline, {{{7, 7}, {8, 8}}})});
    EXPECT_FALSE(Enabled(ID_COORD_PASTE_SPECIAL));
}

TEST_F(CoordinatesPaneTest, PasteSpecialAfterEditCopyOfAPolyline) {
    // The copy of another theme's selected line, as Edit > Copy makes it.
    CTheme source;
    source.m_ShapeType = SHT_Polyline;
    ASSERT_TRUE(source.ConvertToNative(true, true));
    Bytes line = MakeMulti(SHT_Polyline, {{{4, 4}, {5, 6}}});
    ASSERT_NE(source.AddShape(Rec(line), true, true, false), nullptr);
    source.AddToSelection(0, 0, 1, 0);
    auto* data = new QMimeData;
    ASSERT_TRUE(CopySelection(source, *data));
    QGuiApplication::clipboard()->setMimeData(data);

    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}})});
    ASSERT_TRUE(Enabled(ID_COORD_PASTE_SPECIAL));
    services.answer = 1;
    Run(ID_COORD_PASTE_SPECIAL);
    ASSERT_EQ(CShapeRecord::GetPartCount(Shape()), 2u);
    EXPECT_EQ(Points(Shape()), (std::vector<CShapePoint>{{0, 0}, {1, 1}, {4, 4}, {5, 6}}));
}

TEST_F(CoordinatesPaneTest, PasteSpecialIsOffOnPolygonsAndWithoutCoordinates) {
    Show(SHT_Polygon, {TwoRings()});
    PutCoordinates({{7, 7}, {8, 8}});
    EXPECT_FALSE(Enabled(ID_COORD_PASTE_SPECIAL));
    pane.SetDocument(nullptr);
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}})});
    SetClipboardText("just text");
    EXPECT_FALSE(Enabled(ID_COORD_PASTE_SPECIAL));
}

TEST_F(CoordinatesPaneTest, ReversePartOnAHeading) {
    Show(SHT_Polyline, {MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{5, 5}, {6, 6}, {7, 7}}})});
    ClickRow(4);
    EXPECT_FALSE(Enabled(ID_COORD_REVERSE_PART));
    ClickRow(3);
    ASSERT_TRUE(Enabled(ID_COORD_REVERSE_PART));
    Run(ID_COORD_REVERSE_PART);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 2).x, 7.0);
    EXPECT_EQ(CShapeRecord::GetPoint(Shape(), 0).x, 0.0);
    EXPECT_EQ(pane.GetXTexts()[4], "7.000000");
}

TEST_F(CoordinatesPaneTest, VertexRowsAndTheMapsVertexSelection) {
    Show(SHT_Polygon, {TwoRings()});
    // A row clicked tells the map which vertex.
    ClickRow(7);
    ASSERT_EQ(log.Count(DUE_VertexSelected), 1);
    double xy[2];
    std::memcpy(xy, reinterpret_cast<const void*>(log.events.back().data), sizeof xy);
    EXPECT_EQ(xy[0], 20.0);
    EXPECT_EQ(xy[1], 30.0);
    ClickRow(5);
    EXPECT_EQ(log.Count(DUE_VertexSelected), 1);

    // The map's vertex selection selects rows: vertex 7 of the record is
    // row 8 (two headings above it).
    const CShapePoint v7 = CShapeRecord::GetPoint(Shape(), 7);
    const double point[2] = {v7.x, v7.y};
    doc.FireUpdateEvent(nullptr, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(point));
    EXPECT_EQ(pane.GetSelectedRows(), std::vector<int>{8});
    const CShapePoint v1 = CShapeRecord::GetPoint(Shape(), 1);
    const double second[2] = {v1.x, v1.y};
    doc.FireUpdateEvent(nullptr, DUE_VertexAddedToSelection, reinterpret_cast<std::intptr_t>(second));
    EXPECT_EQ(pane.GetSelectedRows(), (std::vector<int>{2, 8}));
    doc.FireUpdateEvent(nullptr, DUE_VertexAddedToSelection, reinterpret_cast<std::intptr_t>(second));
    EXPECT_EQ(pane.GetSelectedRows(), std::vector<int>{8});
}

TEST_F(CoordinatesPaneTest, ImageThemeListsItsCorners) {
    theme = new CTheme;
    theme->m_ShapeType = SHT_Image;
    doc.m_themes.push_back(theme);
    doc.m_activeTheme = theme;
    pane.SetDocument(&doc);
    EXPECT_EQ(pane.GetXTexts(), std::vector<std::string>{"<No selection>"});
    theme->m_Raster.m_Corners = {{0, 10}, {0, 0}, {20, 0}, {20, 10}, {0, 10}};
    doc.FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(pane.GetXTexts(),
              (std::vector<std::string>{"Part 1 of 1:", "0.000000", "0.000000", "20.000000", "20.000000"}));
    EXPECT_EQ(pane.GetYTexts()[4], "10.000000");
    ClickRow(3);
    EXPECT_TRUE(Enabled(ID_VIEW_COPY_COORDINATE));
    EXPECT_FALSE(Enabled(ID_COORD_DELETE));
    // The map's vertex of the ring's closing corner is the first row.
    const double closing[2] = {0, 10};
    doc.FireUpdateEvent(nullptr, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(closing));
    EXPECT_EQ(pane.GetSelectedRows(), std::vector<int>{1});
}
