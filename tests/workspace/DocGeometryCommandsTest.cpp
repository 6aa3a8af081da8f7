// The geometry commands driven by their ids, with a scripted user interface.

#include "OffscreenApplication.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "geometry/ShapePiece.h"
#include "geometry/SpatialHash.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

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

bool Checked(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnCmdMsg(id, &ui));
    return ui.m_Checked;
}

void RunCommand(CCorvaleDoc& doc, unsigned id) {
    ASSERT_TRUE(doc.OnCmdMsg(id, nullptr));
}

// An editable theme of the type with one shape per entry, shape k with NAME
// "S<k>", added to the document and active.
CTheme* AddShapes(CCorvaleDoc& doc, std::uint32_t type, const std::vector<Shape>& shapes) {
    CTheme* theme = doc.CreateTheme("shapes", type);
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
                piece.Add(p, IsShapeZType(type), 7.0 + k, 0.0);
        }
        CShapeRecordPtr record(BuildShapeRecord(type, 1, piece));
        CShapeRecord* added = theme->AddShape(record.get(), true, true, false);
        EXPECT_NE(added, nullptr);
        theme->SetAttributeText(GetShapeRecordIndex(added), 0, "S" + std::to_string(k), false);
    }
    theme->m_Modified = false;
    doc.m_themes.push_back(theme);
    doc.m_activeTheme = theme;
    return theme;
}

void Select(CTheme& theme, const std::vector<int>& indexes) {
    for (int index : indexes)
        theme.AddToSelection(index, theme.GetShapePosition(index), 1, 0);
}

// The parts of the shape at a position.
Shape PartsAt(const CTheme& theme, int position) {
    CShapePiece piece;
    EXPECT_TRUE(ReadShapePiece(theme.GetShape(position), piece));
    Shape parts;
    for (std::uint32_t j = 0; j < piece.PartCount(); ++j) {
        parts.emplace_back();
        for (std::uint32_t i = piece.PartBegin(j); i < piece.PartEnd(j); ++i)
            parts.back().push_back(piece.m_Points[i]);
    }
    return parts;
}

class GeometryCommands : public ::testing::Test {
protected:
    void TearDown() override { SetDocumentDialogServices({}); }
    CCorvaleDoc doc;
    corvale::CScriptedUserInterface ui;
};

const CShapePointList kA{{0, 0}, {1, 0}};
const CShapePointList kB{{1, 0}, {2, 0}};
const CShapePointList kC{{5, 5}, {6, 6}};

TEST_F(GeometryCommands, MergeToCopyAppendsOneShapeWithEveryPartInIndexOrder) {
    std::vector<std::string> offered;
    CDocumentDialogServices services;
    services.mergeAttributes = [](CTheme*, std::vector<std::string>& values) {
        values = {"MERGED"};
        return true;
    };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{kC}, {kA, kB}, {kA}});
    Select(*theme, {2, 0});
    ASSERT_TRUE(Enabled(doc, ID_GEOMETRY_MERGE_TO_COPY));
    RunCommand(doc, ID_GEOMETRY_MERGE_TO_COPY);
    ASSERT_EQ(theme->GetShapeCount(), 4);
    EXPECT_EQ(PartsAt(*theme, 3), (Shape{kC, kA}));
    EXPECT_EQ(theme->GetAttributeTextAt(3, 0), "MERGED");
    EXPECT_EQ(PartsAt(*theme, 0), (Shape{kC}));
    EXPECT_EQ(theme->m_Selection.size(), 2u);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(GeometryCommands, MergeToCopyOfZShapesKeepsZAndWritesMZero) {
    CDocumentDialogServices services;
    services.mergeAttributes = [](CTheme*, std::vector<std::string>& values) {
        values = {"Z"};
        return true;
    };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_PolylineZ, {{kA}, {kB}});
    Select(*theme, {0, 1});
    RunCommand(doc, ID_GEOMETRY_MERGE_TO_COPY);
    ASSERT_EQ(theme->GetShapeCount(), 3);
    const CShapeRecord* merged = theme->GetShape(2);
    ASSERT_EQ(CShapeRecord::GetShapeType(merged), std::uint32_t(SHT_PolylineZ));
    const std::vector<double> z{7, 7, 8, 8};
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(CShapeRecord::GetZ(merged, i), z[i]) << i;
        EXPECT_EQ(CShapeRecord::GetM(merged, i), 0.0) << i;
    }
}

TEST_F(GeometryCommands, MergeToCopyCancelledOrWithoutTwoShapesAddsNothing) {
    CDocumentDialogServices services;
    services.mergeAttributes = [](CTheme*, std::vector<std::string>&) { return false; };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{kA}, {kB}});
    Select(*theme, {0, 1});
    RunCommand(doc, ID_GEOMETRY_MERGE_TO_COPY);
    EXPECT_EQ(theme->GetShapeCount(), 2);
    EXPECT_TRUE(ui.shown.empty());

    // One visible shape is not enough to merge.
    CTheme* single = AddShapes(doc, SHT_Polyline, {{kA}});
    Select(*single, {0});
    EXPECT_FALSE(Enabled(doc, ID_GEOMETRY_MERGE_TO_COPY));
    RunCommand(doc, ID_GEOMETRY_MERGE_TO_COPY);
    EXPECT_EQ(single->GetShapeCount(), 1);
    ASSERT_EQ(ui.Messages(), std::vector<std::string>{
                                 "An error occurred while merging shapes.\n\nOperation aborted."});
}

TEST_F(GeometryCommands, SplitToCopiesAddsOneShapeForEveryPartWithTheSourceAttributes) {
    const CShapePointList ring1{{0, 0}, {0, 1}, {1, 1}, {0, 0}};
    const CShapePointList ring2{{5, 5}, {5, 6}, {6, 6}, {5, 5}};
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<Shape> shapes;
        std::vector<int> selected;
        std::vector<Shape> added;
        std::vector<std::string> addedNames;
        std::string message;
    };
    const std::vector<Case> cases{
        {"two multi-part lines",
         SHT_Polyline,
         {{kA, kB}, {kC}, {kA, kB, kC}},
         {0, 1, 2},
         {{kA}, {kB}, {kA}, {kB}, {kC}},
         {"S0", "S0", "S2", "S2", "S2"},
         "2 shape(s) successfully split into 5 new shapes."},
        {"polygon rings",
         SHT_Polygon,
         {{ring1, ring2}, {ring1}},
         {0},
         {{ring1}, {ring2}},
         {"S0", "S0"},
         "1 shape(s) successfully split into 2 new shapes."},
        {"single parts only",
         SHT_Polyline,
         {{kA}, {kB}},
         {0, 1},
         {},
         {},
         "No multipart shapes are selected.\n\nOperation ignored."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* theme = AddShapes(document, c.type, c.shapes);
        Select(*theme, c.selected);
        RunCommand(document, ID_GEOMETRY_SPLIT_TO_COPIES);
        const int before = static_cast<int>(c.shapes.size());
        ASSERT_EQ(theme->GetShapeCount(), before + static_cast<int>(c.added.size()));
        for (std::size_t k = 0; k < c.added.size(); ++k) {
            EXPECT_EQ(PartsAt(*theme, before + static_cast<int>(k)), c.added[k]) << k;
            EXPECT_EQ(theme->GetAttributeTextAt(before + static_cast<int>(k), 0), c.addedNames[k])
                << k;
        }
        EXPECT_EQ(PartsAt(*theme, 0), c.shapes[0]);
        EXPECT_EQ(scripted.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(document.IsModified(), !c.added.empty());
    }
}

TEST_F(GeometryCommands, SimplifyPartsJoinsOnlyPartsThatStartWhereTheLastEnded) {
    const CShapePointList kBReversed{{2, 0}, {1, 0}};
    struct Case {
        const char* name;
        std::vector<Shape> shapes;
        Shape after; // shape 0
        std::string message;
    };
    const std::vector<Case> cases{
        {"second joins, third apart",
         {{kA, kB, kC}},
         {{{0, 0}, {1, 0}, {2, 0}}, kC},
         "1 shapes selected.\n1 selected shapes had multiple parts.\n1 shapes were modified.\n1 "
         "parts successfully "
         "removed."},
        {"reverse direction left alone",
         {{kB, kA}},
         {kB, kA},
         "1 shapes selected.\n1 selected shapes had multiple parts.\n0 shapes were modified.\n0 "
         "parts successfully "
         "removed."},
        {"end to end reversed",
         {{kA, kBReversed}},
         {kA, kBReversed},
         "1 shapes selected.\n1 selected shapes had multiple parts.\n0 shapes were modified.\n0 "
         "parts successfully "
         "removed."},
        {"chain of three",
         {{kA, kB, {{2, 0}, {3, 3}}}},
         {{{0, 0}, {1, 0}, {2, 0}, {3, 3}}},
         "1 shapes selected.\n1 selected shapes had multiple parts.\n1 shapes were modified.\n2 "
         "parts successfully "
         "removed."},
        {"single part", {{kA}}, {kA}, "No multipart shapes are selected.\n\nOperation ignored."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* theme = AddShapes(document, SHT_Polyline, c.shapes);
        Select(*theme, {0});
        RunCommand(document, ID_GEOMETRY_SIMPLIFY_PARTS);
        EXPECT_EQ(PartsAt(*theme, 0), c.after);
        EXPECT_EQ(theme->GetAttributeTextAt(0, 0), "S0");
        EXPECT_EQ(scripted.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(theme->m_Selection.size(), 1u);
    }
}

TEST_F(GeometryCommands, SimplifyPartsIsForPolylinesOnly) {
    AddShapes(doc, SHT_Polygon, {{{{0, 0}, {0, 1}, {1, 1}, {0, 0}}}});
    Select(*doc.m_activeTheme, {0});
    EXPECT_FALSE(Enabled(doc, ID_GEOMETRY_SIMPLIFY_PARTS));
}

TEST_F(GeometryCommands, RemoveDuplicateVerticesReplacesOnlyShapesThatHadThem) {
    CTheme* theme =
        AddShapes(doc, SHT_Polyline,
                  {{{{0, 0}, {0, 0}, {1, 1}, {1, 1}, {1, 1}}}, {kA}, {{{3, 3}, {3, 3}, {4, 4}}}});
    Select(*theme, {0, 1, 2});
    RunCommand(doc, ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES);
    EXPECT_EQ(PartsAt(*theme, 0), (Shape{{{0, 0}, {1, 1}}}));
    EXPECT_EQ(PartsAt(*theme, 1), (Shape{kA}));
    EXPECT_EQ(PartsAt(*theme, 2), (Shape{{{3, 3}, {4, 4}}}));
    EXPECT_EQ(
        ui.Messages(),
        std::vector<std::string>{
            "3 shapes selected.\n2 shapes were modified.\n4 coordinates successfully removed."});
    EXPECT_TRUE(doc.IsModified());

    // Nothing left to remove.
    ui.shown.clear();
    RunCommand(doc, ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No shapes could be simplified."});
}

TEST_F(GeometryCommands, ReplacedRecordsStayReadableThroughAChildTheme) {
    // A child theme made from the selection lists the parent's records: the
    // commands that put new records in place must leave it the new ones.
    struct Case {
        const char* name;
        unsigned id;
        Shape before, after;
    };
    const std::vector<Case> cases{
        {"duplicate removal",
         ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES,
         {{{0, 0}, {0, 0}, {3, 4}}},
         {{{0, 0}, {3, 4}}}},
        {"simplify parts", ID_GEOMETRY_SIMPLIFY_PARTS, {kA, kB}, {{{0, 0}, {1, 0}, {2, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CTheme* theme = AddShapes(document, SHT_Polyline, {c.before, {kC}});
        Select(*theme, {0});
        CTheme* child = document.NewThemeFromSelection(theme, "child", true);
        ASSERT_NE(child, nullptr);
        document.m_activeTheme = theme;
        RunCommand(document, c.id);
        EXPECT_EQ(PartsAt(*theme, 0), c.after);
        ASSERT_EQ(child->GetShapeCount(), 1);
        EXPECT_EQ(child->GetShape(0), theme->GetShape(0));
        EXPECT_EQ(PartsAt(*child, 0), c.after);
    }
}

TEST_F(GeometryCommands, ReverseCoordinatesReversesEverySelectedShape) {
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{kA, kC}, {kB}});
    Select(*theme, {0});
    RunCommand(doc, ID_GEOMETRY_REVERSE_COORDINATES);
    EXPECT_EQ(PartsAt(*theme, 0), (Shape{{{1, 0}, {0, 0}}, {{6, 6}, {5, 5}}}));
    EXPECT_EQ(PartsAt(*theme, 1), (Shape{kB}));
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"1 shape(s) reversed successfully."});
}

TEST_F(GeometryCommands, SnapToGridRoundsHalvesUpwardsAndRefusesAZeroSpacing) {
    struct Case {
        const char* name;
        double sx, sy;
        bool confirm;
        CShapePointList after;
        double storedX, storedY;
    };
    const CShapePointList before{{14.9, 15.0}, {-15.0, 0.0}, {-14.9, 24.99}};
    const std::vector<Case> cases{
        {"spacing 10", 10, 10, true, {{10, 20}, {-10, 0}, {-10, 20}}, 10, 10},
        {"x spacing 5, y 20", 5, 20, true, {{15, 20}, {-15, 0}, {-15, 20}}, 5, 20},
        {"x spacing 0", 0, 10, true, before, 1, 1},
        {"cancelled", 10, 10, false, before, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        corvale::CScriptedUserInterface scripted;
        CDocumentDialogServices services;
        services.gridDefinition = [&c](double& x, double& y) {
            EXPECT_EQ(x, 1.0);
            x = c.sx;
            y = c.sy;
            return c.confirm;
        };
        SetDocumentDialogServices(services);
        CTheme* theme = AddShapes(document, SHT_Polyline, {{before}});
        Select(*theme, {0});
        ASSERT_TRUE(Enabled(document, ID_GEOMETRY_SNAP_TO_GRID));
        RunCommand(document, ID_GEOMETRY_SNAP_TO_GRID);
        EXPECT_EQ(PartsAt(*theme, 0), Shape{c.after});
        EXPECT_EQ(document.m_gridSpacingX, c.storedX);
        EXPECT_EQ(document.m_gridSpacingY, c.storedY);
    }
}

TEST_F(GeometryCommands, SnapToGridKeepsRingsClosedAndPointsInTheirBox) {
    CDocumentDialogServices services;
    services.gridDefinition = [](double& x, double& y) {
        x = y = 10;
        return true;
    };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_Polygon, {{{{1, 1}, {1, 19}, {19, 19}, {1, 1}}}});
    Select(*theme, {0});
    RunCommand(doc, ID_GEOMETRY_SNAP_TO_GRID);
    EXPECT_EQ(PartsAt(*theme, 0), (Shape{{{0, 0}, {0, 20}, {20, 20}, {0, 0}}}));
    const CShapeRecord* record = theme->GetShape(0);
    EXPECT_EQ(CShapeRecord::GetMaxX(record), 20.0);
    EXPECT_EQ(ui.progress.front(), -1);
    EXPECT_EQ(ui.progress.back(), -2);
}

TEST_F(GeometryCommands, SnapToGridMovesPoints) {
    CDocumentDialogServices services;
    services.gridDefinition = [](double& x, double& y) {
        x = y = 10;
        return true;
    };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_Point, {});
    ASSERT_NE(theme->AddPointAt(true, true, 14.9, -15.0), nullptr);
    ASSERT_NE(theme->AddPointAt(true, true, 3.0, 3.0), nullptr);
    Select(*theme, {0});
    RunCommand(doc, ID_GEOMETRY_SNAP_TO_GRID);
    EXPECT_EQ(CShapeRecord::GetPoint(theme->GetShape(0), 0), (CShapePoint{10, -10}));
    EXPECT_EQ(CShapeRecord::GetPoint(theme->GetShape(1), 0), (CShapePoint{3, 3}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(GeometryCommands, SnapToGridMovesTheShapeInTheSpatialHash) {
    CDocumentDialogServices services;
    services.gridDefinition = [](double& x, double& y) {
        x = y = 100;
        return true;
    };
    SetDocumentDialogServices(services);
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{{{24, 24}, {26, 26}}}});
    theme->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(0.0, 0.0, 100.0, 100.0);
    theme->m_SpatialIndex->InsertRecord(theme->GetShape(0));
    Select(*theme, {0});
    RunCommand(doc, ID_GEOMETRY_SNAP_TO_GRID);
    int found = 0;
    if (theme->m_SpatialIndex != nullptr)
        theme->m_SpatialIndex->ForEachCandidate(CDoubleRect(-1, -1, 1, 1), [&](CShapeRecord*) {
            ++found;
            return true;
        });
    else
        found = 1; // the hash was dropped: searches go through every shape
    EXPECT_EQ(found, 1);
}

TEST_F(GeometryCommands, CommandsNeedAnEditableThemeWithASelection) {
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{kA}, {kB}});
    CDocumentDialogServices services;
    services.gridDefinition = [](double&, double&) { return false; };
    SetDocumentDialogServices(services);
    const unsigned ids[] = {ID_GEOMETRY_SPLIT_TO_COPIES, ID_GEOMETRY_SIMPLIFY_PARTS,
                            ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES, ID_GEOMETRY_REVERSE_COORDINATES,
                            ID_GEOMETRY_SNAP_TO_GRID};
    for (unsigned id : ids)
        EXPECT_FALSE(Enabled(doc, id)) << id;
    Select(*theme, {0});
    for (unsigned id : ids)
        EXPECT_TRUE(Enabled(doc, id)) << id;
    theme->m_Editable = false;
    for (unsigned id : ids)
        EXPECT_FALSE(Enabled(doc, id)) << id;
    doc.m_activeTheme = nullptr;
    for (unsigned id : ids)
        EXPECT_FALSE(Enabled(doc, id)) << id;
}

TEST_F(GeometryCommands, AutosnapIsClearedAsSoonAsNoThemeIsEditable) {
    EXPECT_FALSE(Enabled(doc, ID_GEOMETRY_AUTO_SNAP));
    CTheme* theme = AddShapes(doc, SHT_Polyline, {{kA}});
    ASSERT_TRUE(Enabled(doc, ID_GEOMETRY_AUTO_SNAP));
    EXPECT_FALSE(Checked(doc, ID_GEOMETRY_AUTO_SNAP));
    RunCommand(doc, ID_GEOMETRY_AUTO_SNAP);
    EXPECT_TRUE(Checked(doc, ID_GEOMETRY_AUTO_SNAP));
    theme->m_Editable = false;
    EXPECT_FALSE(Enabled(doc, ID_GEOMETRY_AUTO_SNAP));
    EXPECT_FALSE(Checked(doc, ID_GEOMETRY_AUTO_SNAP));
    EXPECT_EQ(doc.m_autoSnap, 0);
}

} // namespace
