// End points with node numbers, mid points, outlines and the clipboard
// polyline, driven by their command ids with a scripted user interface.

#include "OffscreenApplication.h"
#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "framework/ScriptedUserInterface.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapePiece.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

::testing::Environment* const g_App =
    ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QGuiApplication>);

using Shape = CShapePartList;

bool Enabled(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnCmdMsg(id, &ui));
    return ui.m_Enabled;
}

void RunCommand(CCorvaleDoc& doc, unsigned id) { ASSERT_TRUE(doc.OnCmdMsg(id, nullptr)); }

// A native theme of the type with one shape per entry, shape k with NAME
// "S<k>", added to the document and active; editable as asked.
CTheme* AddShapes(CCorvaleDoc& doc, std::uint32_t type, const std::vector<Shape>& shapes, bool editable = true) {
    CTheme* theme = doc.CreateTheme("lines", type);
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    CAttributeFieldInfo text;
    text.m_Name = "NAME";
    text.m_Length = 10;
    theme->AddAttribute(text, nullptr, nullptr);
    for (std::size_t k = 0; k < shapes.size(); ++k) {
        CShapePiece piece;
        for (const CShapePointList& part : shapes[k]) {
            piece.StartPart();
            for (const CShapePoint& p : part)
                piece.Add(p, IsShapeZType(type), 3.0, 0.0);
        }
        CShapeRecordPtr record(type == SHT_Point ? CreatePointShape(piece.m_Points[0].x, piece.m_Points[0].y)
                                                 : BuildShapeRecord(type, 1, piece));
        CShapeRecord* added = theme->AddShape(record.get(), true, true, false);
        EXPECT_NE(added, nullptr);
        theme->SetAttributeText(GetShapeRecordIndex(added), 0, "S" + std::to_string(k), false);
    }
    if (!editable)
        theme->ConvertToNative(false, true);
    theme->m_Modified = false;
    doc.m_themes.push_back(theme);
    doc.m_activeTheme = theme;
    return theme;
}

// The document's theme of that name other than the source; null when none.
CTheme* NewThemeNamed(CCorvaleDoc& doc, const std::string& name, const CTheme* source) {
    for (CTheme* theme : doc.m_themes)
        if (theme != source && theme->m_Name == name)
            return theme;
    return nullptr;
}

std::vector<std::string> Column(const CTheme& theme, const char* name) {
    std::vector<std::string> values;
    const int field = theme.FindAttribute(name);
    for (int position = 0; field >= 0 && position < theme.GetShapeCount(); ++position)
        values.push_back(theme.GetAttributeTextAt(position, field));
    return values;
}

std::vector<CShapePoint> Points(const CTheme& theme) {
    std::vector<CShapePoint> points;
    for (int position = 0; position < theme.GetShapeCount(); ++position)
        points.push_back(CShapeRecord::GetPoint(theme.GetShape(position), 0));
    return points;
}

class DerivedGeometryCommands : public ::testing::Test {
protected:
    CCorvaleDoc doc;
    corvale::CScriptedUserInterface ui;
};

TEST_F(DerivedGeometryCommands, EndPointsNumbersNodesInMeetingOrderAndWritesThemInXOrder) {
    struct Case {
        const char* name;
        std::vector<Shape> lines;
        bool editable;
        int answer; // to the node question; 0 when it must not be asked
        const char* start;
        std::vector<CShapePoint> nodes; // in the order written
        std::vector<std::string> nodeIds;
        std::vector<std::string> fnode; // empty: no FNODE column
        std::vector<std::string> tnode;
    };
    const std::vector<Case> cases{
        {"two touching lines",
         {{{{0, 0}, {1, 0}}}, {{{1, 0}, {2, 0}}}},
         true,
         corvale::IDYES,
         "1",
         {{0, 0}, {1, 0}, {2, 0}},
         {"1", "2", "3"},
         {"1", "2"},
         {"2", "3"}},
        {"closed line is one node",
         {{{{0, 0}, {1, 0}, {1, 1}, {0, 0}}}},
         true,
         corvale::IDYES,
         "1",
         {{0, 0}},
         {"1"},
         {"1"},
         {"1"}},
        {"points apart by a hair are two nodes",
         {{{{0, 0}, {1, 0}}}, {{{1.0000000000000002, 0}, {2, 0}}}},
         true,
         corvale::IDYES,
         "1",
         {{0, 0}, {1, 0}, {1.0000000000000002, 0}, {2, 0}},
         {"1", "2", "3", "4"},
         {"1", "3"},
         {"2", "4"}},
        {"x order, not number order",
         {{{{5, 0}, {0, 0}}}},
         true,
         corvale::IDYES,
         "10",
         {{0, 0}, {5, 0}},
         {"11", "10"},
         {"10"},
         {"11"}},
        {"numbers go on past the top of int's range",
         {{{{0, 0}, {1, 0}}}},
         true,
         corvale::IDYES,
         "2147483647",
         {{0, 0}, {1, 0}},
         {"2147483647", "2147483648"},
         {"2147483647"},
         {"2147483648"}},
        {"answered No",
         {{{{0, 0}, {1, 0}}}},
         true,
         corvale::IDNO,
         "1",
         {{0, 0}, {1, 0}},
         {"1", "2"},
         {},
         {}},
        {"read-only theme is not asked",
         {{{{0, 0}, {0, 3}}}, {{{0, 3}, {0, 1}}}},
         false,
         0,
         "-2",
         {{0, 0}, {0, 1}, {0, 3}},
         {"-2", "0", "-1"},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* lines = AddShapes(document, SHT_Polyline, c.lines, c.editable);
        ASSERT_TRUE(Enabled(document, ID_THEME_END_POINTS));
        if (c.answer != 0)
            scripted.messageAnswers.push_back(c.answer);
        scripted.textAnswers.push_back(c.start);
        RunCommand(document, ID_THEME_END_POINTS);

        const std::size_t questions = c.answer != 0 ? 1 : 0;
        ASSERT_EQ(scripted.Messages().size(), questions);
        if (questions == 1) {
            EXPECT_EQ(scripted.Messages()[0], "Would you like to add node information to selected theme\nlines ?");
        }
        CTheme* nodes = NewThemeNamed(document, "End points of lines", lines);
        ASSERT_NE(nodes, nullptr);
        EXPECT_EQ(nodes->m_ShapeType, std::uint32_t(SHT_Point));
        ASSERT_EQ(nodes->GetAttributeCount(), 1u);
        const CAttributeFieldInfo id = nodes->GetAttributeInfo(0);
        EXPECT_EQ(id.m_Name, "NodeId");
        EXPECT_EQ(id.m_Type, FT_Int);
        EXPECT_TRUE(id.m_PrimaryKey);
        const std::vector<CShapePoint> points = Points(*nodes);
        ASSERT_EQ(points.size(), c.nodes.size());
        for (std::size_t k = 0; k < points.size(); ++k) {
            EXPECT_EQ(points[k].x, c.nodes[k].x) << k;
            EXPECT_EQ(points[k].y, c.nodes[k].y) << k;
        }
        EXPECT_EQ(Column(*nodes, "NodeId"), c.nodeIds);
        EXPECT_EQ(Column(*lines, "FNODE"), c.fnode);
        EXPECT_EQ(Column(*lines, "TNODE"), c.tnode);
        EXPECT_EQ(lines->m_Modified, !c.fnode.empty());
        EXPECT_EQ(lines->GetShapeCount(), static_cast<int>(c.lines.size()));
    }
}

TEST_F(DerivedGeometryCommands, EndPointsRunTwiceReusesTheNodeColumns) {
    CTheme* lines = AddShapes(doc, SHT_Polyline, {{{{0, 0}, {1, 0}}}, {{{1, 0}, {2, 0}}}});
    for (const char* start : {"1", "100"}) {
        ui.messageAnswers.push_back(corvale::IDYES);
        ui.textAnswers.push_back(start);
        doc.m_activeTheme = lines;
        RunCommand(doc, ID_THEME_END_POINTS);
    }
    ASSERT_EQ(lines->GetAttributeCount(), 3u);
    EXPECT_EQ(lines->GetAttributeName(1), "FNODE");
    EXPECT_EQ(lines->GetAttributeName(2), "TNODE");
    EXPECT_EQ(Column(*lines, "FNODE"), (std::vector<std::string>{"100", "101"}));
    EXPECT_EQ(Column(*lines, "TNODE"), (std::vector<std::string>{"101", "102"}));
    EXPECT_EQ(doc.m_themes.size(), 3u);
}

TEST_F(DerivedGeometryCommands, EndPointsCancelledChangesNothing) {
    struct Case {
        const char* name;
        std::vector<int> answers;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases{
        {"question cancelled", {corvale::IDCANCEL}, {}},
        {"start value cancelled", {corvale::IDYES}, {}},
        {"start value not a number", {corvale::IDYES}, {"1x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* lines = AddShapes(document, SHT_Polyline, {{{{0, 0}, {1, 0}}}});
        scripted.messageAnswers.assign(c.answers.begin(), c.answers.end());
        scripted.textAnswers.assign(c.texts.begin(), c.texts.end());
        RunCommand(document, ID_THEME_END_POINTS);
        EXPECT_EQ(document.m_themes.size(), 1u);
        EXPECT_EQ(lines->GetAttributeCount(), 1u);
        EXPECT_FALSE(lines->m_Modified);
    }
}

TEST_F(DerivedGeometryCommands, EndPointsReportsItsWorkInTheStatusBar) {
    AddShapes(doc, SHT_Polyline, {{{{0, 0}, {1, 0}}}, {{{1, 0}, {2, 0}}}});
    ui.messageAnswers.push_back(corvale::IDNO);
    ui.textAnswers.push_back("1");
    RunCommand(doc, ID_THEME_END_POINTS);
    EXPECT_EQ(ui.shown.back().kind, "text");
    EXPECT_EQ(ui.shown.back().text, "Start node value");
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Working...", "For Help, press F1"}));
    EXPECT_EQ(ui.progressTexts, (std::vector<std::string>{"Collecting point info", "Writing point data"}));
    EXPECT_EQ(ui.progress, (std::vector<int>{-1, 0, 25, 50, 66, 83, -2}));
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_GT(ui.waitCursorUses, 0);
}

struct PeerMidPoint {
    const char* name;
    Shape parts;
    double x;
    double y;
};

const std::vector<PeerMidPoint> kPeerMidPoints{
#include "../data/workspace/peer_mid_points.inc"
};

TEST_F(DerivedGeometryCommands, MidPointsMatchThePeerOnTheLongestPart) {
    std::vector<Shape> lines;
    for (const PeerMidPoint& row : kPeerMidPoints)
        lines.push_back(row.parts);
    CTheme* source = AddShapes(doc, SHT_Polyline, lines);
    ui.messageAnswers.push_back(corvale::IDNO);
    RunCommand(doc, ID_THEME_MID_POINTS);
    CTheme* mids = NewThemeNamed(doc, "Unnamed", source);
    ASSERT_NE(mids, nullptr);
    EXPECT_EQ(mids->GetAttributeCount(), 0u) << "answered No";
    const std::vector<CShapePoint> points = Points(*mids);
    ASSERT_EQ(points.size(), kPeerMidPoints.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        const PeerMidPoint& row = kPeerMidPoints[k];
        const double tolerance = 1e-9 * (1.0 + std::fabs(row.x) + std::fabs(row.y));
        EXPECT_NEAR(points[k].x, row.x, tolerance) << row.name;
        EXPECT_NEAR(points[k].y, row.y, tolerance) << row.name;
    }
    EXPECT_EQ(ui.Messages().size(), 1u) << "only the question";
}

TEST_F(DerivedGeometryCommands, MidPointsLeaveOutLinesWithoutLengthAndCountThem) {
    // Lines 1 and 3 have no length: they get no point, and line 2 its own.
    CTheme* source = AddShapes(doc, SHT_Polyline,
                               {{{{0, 0}, {2, 0}}},
                                {{{5, 5}, {5, 5}}},
                                {{{0, 10}, {0, 14}}},
                                {{{1, 1}, {1, 1}}, {{2, 2}, {2, 2}}}});
    ui.messageAnswers.push_back(corvale::IDYES);
    RunCommand(doc, ID_THEME_MID_POINTS);
    CTheme* mids = NewThemeNamed(doc, "Unnamed", source);
    ASSERT_NE(mids, nullptr);
    const std::vector<CShapePoint> points = Points(*mids);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0], (CShapePoint{1, 0}));
    EXPECT_EQ(points[1], (CShapePoint{0, 12}));
    ASSERT_EQ(mids->GetAttributeCount(), 1u);
    EXPECT_EQ(mids->GetAttributeName(0), "NAME");
    EXPECT_EQ(Column(*mids, "NAME"), (std::vector<std::string>{"S0", "S2"}));
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Would you like to copy attribute information?",
                                                       "2 polylines have no length and got no mid point."}));
}

TEST_F(DerivedGeometryCommands, MidPointsCancelledMakesNothing) {
    AddShapes(doc, SHT_Polyline, {{{{0, 0}, {2, 0}}}});
    ui.messageAnswers.push_back(corvale::IDCANCEL);
    RunCommand(doc, ID_THEME_MID_POINTS);
    EXPECT_EQ(doc.m_themes.size(), 1u);
    EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(DerivedGeometryCommands, OutlinesKeepTheRingsClosedWithTheValues) {
    const CShapePointList outer{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    const CShapePointList hole{{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}};
    const CShapePointList other{{20, 20}, {20, 21}, {21, 21}, {20, 20}};
    for (const std::uint32_t type : {SHT_Polygon, SHT_PolygonZ}) {
        SCOPED_TRACE(type);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* source = AddShapes(document, type, {{outer, hole}, {other}});
        ASSERT_TRUE(Enabled(document, ID_THEME_POLYGON_OUTLINE));
        EXPECT_FALSE(Enabled(document, ID_THEME_END_POINTS));
        RunCommand(document, ID_THEME_POLYGON_OUTLINE);
        CTheme* outlines = NewThemeNamed(document, "Unnamed", source);
        ASSERT_NE(outlines, nullptr);
        const std::uint32_t lineType = type == SHT_Polygon ? SHT_Polyline : SHT_PolylineZ;
        EXPECT_EQ(outlines->m_ShapeType, lineType);
        ASSERT_EQ(outlines->GetShapeCount(), 2);
        const std::vector<Shape> expected{{outer, hole}, {other}};
        for (int position = 0; position < 2; ++position) {
            const CShapeRecord* line = outlines->GetShape(position);
            EXPECT_EQ(CShapeRecord::GetShapeType(line), lineType);
            CShapePiece piece;
            ASSERT_TRUE(ReadShapePiece(line, piece));
            Shape parts;
            for (std::uint32_t j = 0; j < piece.PartCount(); ++j)
                parts.emplace_back(piece.m_Points.begin() + piece.PartBegin(j),
                                   piece.m_Points.begin() + piece.PartEnd(j));
            EXPECT_EQ(parts, expected[static_cast<std::size_t>(position)]);
        }
        EXPECT_EQ(Column(*outlines, "NAME"), (std::vector<std::string>{"S0", "S1"}));
        EXPECT_EQ(source->GetShapeCount(), 2);
        EXPECT_TRUE(scripted.Messages().empty());
    }
}

TEST_F(DerivedGeometryCommands, CreatePolylinePutsTheSelectedPointsInIndexOrderOnTheClipboard) {
    CTheme* points = AddShapes(doc, SHT_Point, {{{{0, 0}}}, {{{5, 1}}}, {{{2, 7}}}, {{{9, 9}}}});
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    points->AddToSelection(2, 2, 1, 0);
    EXPECT_FALSE(Enabled(doc, ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD)) << "one point";
    points->AddToSelection(0, 0, 1, 0);
    points->AddToSelection(1, 1, 1, 0);
    ASSERT_TRUE(Enabled(doc, ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD));
    RunCommand(doc, ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text().toStdString(), "NAME='S0'\r\n");
    const QByteArray bytes = data->data(QString::fromLatin1(kShapeClipboardMime));
    ShapeClipboardBlock block;
    ASSERT_TRUE(ReadShapeClipboardBlock(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()), block, true));
    EXPECT_EQ(block.m_ShapeType, std::uint32_t(SHT_Polyline));
    ASSERT_EQ(block.m_Columns.size(), 1u);
    EXPECT_EQ(block.m_Columns[0].m_Name, "NAME");
    ASSERT_EQ(block.m_Records.size(), 1u);
    CShapePiece piece;
    ASSERT_TRUE(ReadShapePiece(block.m_Records[0].get(), piece));
    EXPECT_EQ(piece.PartCount(), 1u);
    EXPECT_EQ(piece.m_Points, (CShapePointList{{0, 0}, {5, 1}, {2, 7}}));
    EXPECT_EQ(block.m_Values, (std::vector<std::vector<std::string>>{{"S0"}}));
    EXPECT_EQ(points->m_Selection.size(), 3u);
}

TEST_F(DerivedGeometryCommands, CommandsAreEnabledOnlyForTheKindTheyTake) {
    struct Case {
        const char* name;
        std::uint32_t type;
        bool endAndMid;
        bool outline;
        bool polyline; // with two shapes selected
    };
    const std::vector<Case> cases{
        {"points", SHT_Point, false, false, true},
        {"polylines", SHT_Polyline, true, false, false},
        {"polylines with Z", SHT_PolylineZ, true, false, false},
        {"polygons", SHT_Polygon, false, true, false},
    };
    const CShapePointList ring{{0, 0}, {0, 1}, {1, 1}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        const bool point = c.type == SHT_Point;
        const Shape shape = point ? Shape{{{1, 1}}} : Shape{ring};
        CTheme* theme = AddShapes(document, c.type, {shape, shape});
        theme->AddToSelection(0, 0, 1, 0);
        theme->AddToSelection(1, 1, 1, 0);
        EXPECT_EQ(Enabled(document, ID_THEME_END_POINTS), c.endAndMid);
        EXPECT_EQ(Enabled(document, ID_THEME_MID_POINTS), c.endAndMid);
        EXPECT_EQ(Enabled(document, ID_THEME_POLYGON_OUTLINE), c.outline);
        EXPECT_EQ(Enabled(document, ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD), c.polyline);
        document.m_activeTheme = nullptr;
        for (unsigned id : {static_cast<unsigned>(ID_THEME_END_POINTS), static_cast<unsigned>(ID_THEME_MID_POINTS),
                            static_cast<unsigned>(ID_THEME_POLYGON_OUTLINE),
                            static_cast<unsigned>(ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD)}) {
            EXPECT_FALSE(Enabled(document, id)) << id;
            RunCommand(document, id);
        }
        EXPECT_EQ(document.m_themes.size(), 1u);
    }
}

} // namespace
