// The script objects of the workspace: Workspace, Layer, Shape, Coord and
// Color over a real document, with a full garbage collection between the
// steps of every scenario, so that an object the engine lets go of, or one
// that holds a stale address, shows.

#include "ConsoleTestSupport.h"
#include "ScriptDocumentFixture.h"

#include "core/Theme.h"
#include "scripting/ScriptEngine.h"
#include "scripting/ScriptObjects.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// The shared document, with two lines in "Roads" and one square in "Parcels".
class ScriptObjectsTest : public ScriptDocumentTest {
protected:
    ScriptObjectsTest() : ScriptDocumentTest("objects.js") {}

    void SetUp() override {
        ScriptEngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        LoadToBottomScope bottom(1);
        MakeDocumentAndHandler();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(Run("var roads = workspace.getLayer(1);"
                        "roads.createShape([new Coord(0, 0), new Coord(10, 0), new Coord(10, 10)]);"
                        "roads.createShape([{x: 20, y: 0}, {x: 30, y: 0}]);"
                        "workspace.getLayer(2).createShape([{x: 0, y: 0}, {x: 4, y: 0}, {x: 4, y: 4}, {x: 0, y: 4}]);"))
            << output;
    }
    void TearDown() override {
        handler.reset();
        SetScriptAttributeChooser({});
        ScriptEngineTest::TearDown();
    }

    // The step's value of `result` as text.
    std::string Value(const std::string& expression) {
        if (!Run("var result = String(" + expression + ");"))
            return "failed: " + output;
        Run("throw result;");
        const std::size_t end = output.find("\r\n");
        return output.substr(0, end);
    }
    // The first line of a failed step's report.
    std::string Error(const std::string& script) {
        if (Run(script))
            return "no error";
        return output.substr(0, output.find("\r\n"));
    }
};

// The engine words an uncaught string as "uncaught exception: text".
std::string Thrown(const std::string& text) { return "uncaught exception: " + text; }

// ---------------------------------------------------------------------------
// Coord and Color
// ---------------------------------------------------------------------------

struct ValueCase {
    const char* name;
    const char* expression;
    const char* expected;
};

const ValueCase kValueCases[] = {
    {"CoordFromNumbers", "new Coord(1.5, -2).x + ',' + new Coord(1.5, -2).y", "1.5,-2"},
    {"CoordFromText", "new Coord('3', 2).x", "3"},
    {"CoordFromNonNumericText", "new Coord('abc', 2).x", "NaN"},
    {"CoordWrite", "(function(){ var c = new Coord(1, 2); c.y = 7; return c.y; })()", "7"},
    {"CoordEqual", "new Coord(1, 2).isEqual(new Coord(1, 2)) + ',' + new Coord(1, 2).isEqual(new Coord(2, 1))",
     "true,false"},
    {"ColorChannels", "(function(){ var c = new Color(255, 1, 2); return [c.red, c.green, c.blue].join(); })()",
     "255,1,2"},
    {"ColorTakesLowByte", "new Color(256, 0, 0).red", "0"},
    {"ColorEqual", "new Color(1, 2, 3).isEqual(new Color(1, 2, 3))", "true"},
    {"ColorChannelWrite", "(function(){ var c = new Color(1, 2, 3); c.green = 300; return c.green; })()", "44"},
};

class ScriptValueTest : public ScriptObjectsTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ScriptValueTest, Answers) { EXPECT_EQ(Value(GetParam().expression), Thrown(GetParam().expected)); }

INSTANTIATE_TEST_SUITE_P(Objects, ScriptValueTest, ::testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    const char* script;
    const char* message;
};

const ErrorCase kErrorCases[] = {
    {"CoordOneArgument", "new Coord(1);", "Wrong number of parameters for Coord."},
    {"ColorTwoArguments", "new Color(1, 2);", "Wrong number of parameters for Color."},
    {"ColorEqualNull", "new Color(1, 2, 3).isEqual(null);", "Trying to access a null Color object"},
    {"CoordEqualNoArgument", "new Coord(1, 2).isEqual();", "One argument expected in call to Coord.isEqual()"},
    // Only integers go into a channel: the script stops without a message.
    {"ColorChannelFraction", "var c = new Color(1, 2, 3); c.red = 1.5;", ""},
    {"GetLayerBeyondEnd", "workspace.getLayer(3);", "Index out of bounds. (was 3)"},
    {"GetLayerNegative", "workspace.getLayer(-1);", "Index out of bounds. (was -1)"},
    {"GetLayerText", "workspace.getLayer('0');", "Illegal argument type in call to Workspace.getLayer()"},
    {"AddNewLayerLowerCase", "workspace.addNewLayer('point');",
     "Illegal Shape type in call to Workspace.addNewLayer(), was point.\nLegal values are one of 'Point', "
     "'Polyline' and 'Polygon'"},
    {"ZoomZero", "workspace.zoom(0);", "Invalid argument to Workspace.zoom()"},
    {"ZoomNegative", "workspace.zoom(-1);", "Invalid argument to Workspace.zoom()"},
    {"ZoomNull", "workspace.zoom(null);", "Invalid argument to Workspace.zoom()"},
    {"CenterMapNotCoord", "workspace.centerMap({x: 1, y: 2});", "Trying to assign a Coord a non Coord value."},
    // A text that is no number would centre the map on NaN.
    {"CenterMapText", "workspace.centerMap('a', 2);", "Illegal argument type in call to Workspace.centerMap()"},
    {"MoveLayerBeyondEnd", "workspace.moveLayer(workspace.getLayer(0), 4);", "Index out of bounds. (Was 4)"},
    {"PolygonEmptyArray", "workspace.getLayer(2).createShape([]);",
     "Empty Array argument in call to Layer.createShape()."},
    {"PolygonTwoPoints", "workspace.getLayer(2).createShape([new Coord(0, 0), new Coord(1, 1)]);",
     "Illegal argument in call to Layer.createShape(). Not enough coordinates. At least 3 expected."},
    {"PolygonNotNumeric", "workspace.getLayer(2).createShape([{x: 0, y: 0}, {x: 1, y: 'a'}, {x: 2, y: 2}]);",
     "Illegal argument in call to Layer.createShape(). Coordinate did not contain numeric values."},
    {"PolygonWithoutY", "workspace.getLayer(2).createShape([{x: 0, y: 0}, {x: 1}, {x: 2, y: 2}]);",
     "Illegal argument in call to Layer.createShape()."},
    {"PointNaN", "workspace.getLayer(0).createShape({x: 1, y: NaN});",
     "Illegal argument in call to Layer.createShape()."},
    {"PointFromLine", "workspace.getLayer(0).createShape(workspace.getLayer(1).getShape(0));",
     "Illegal shape type in call to Layer.createShape()."},
    {"ShapeColumnMissing", "workspace.getLayer(1).addAttribute('Name'); workspace.getLayer(1).getShape(0)"
                           ".getAttribute('Street');",
     "Column 'Street' not found."},
    {"SetAttributeNumber", "workspace.getLayer(1).getShape(0).setAttribute(0, 5);",
     "Illegal argument type in call to Shape.setAttribute()"},
    {"NotSelected", "workspace.getLayer(1).getShape(0).selectionIndex;",
     "Trying to get selectionIndex on a non selected Shape."},
    {"GetCoordPastPart", "workspace.getLayer(1).getShape(0).getCoord(1, 0);", "Index out of bounds. (was 1)"},
    {"GetCoordPastVertex", "workspace.getLayer(1).getShape(0).getCoord(0, 3);", "Index out of bounds. (was 3)"},
    {"AddPartTwoOnPolygon", "workspace.getLayer(2).getShape(0).addPart([new Coord(0, 0), new Coord(1, 1)]);",
     "Illegal argument in call to Shape.addPart()"},
    {"AddPartNotCoords", "workspace.getLayer(1).getShape(0).addPart([{x: 0, y: 0}, {x: 1, y: 1}]);",
     "Illegal argument in call to Shape.addPart()"},
    {"FindClosestPlainObject", "workspace.getLayer(1).findClosestShapes({x: 1, y: 1});",
     "Invalid argument in call to Layer.findClosestShape()"},
    {"TransformUnknownCode", "workspace.getLayer(1).transform(4326, 1);",
     "Unsupported reference system in call to Layer.transform()."},
};

class ScriptErrorTest : public ScriptObjectsTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ScriptErrorTest, StopsWithItsMessage) { EXPECT_EQ(Error(GetParam().script), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(Objects, ScriptErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Workspace and the layer cache
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, GetLayerAnswersTheSameObjectAcrossCollections) {
    ASSERT_TRUE(Run("var first = workspace.getLayer(1); var color = first.color;")) << output;
    EXPECT_EQ(Value("first === workspace.getLayer(1)"), Thrown("true"));
    EXPECT_EQ(Value("color === workspace.getLayer(1).color"), Thrown("true"));
    EXPECT_EQ(Value("workspace.getLayer(1).name + ',' + workspace.layerCount"), Thrown("Roads,3"));
}

TEST_F(ScriptObjectsTest, NewLayerTakesTheDocumentsPlaceInTheCache) {
    for (int toBottom : {0, 1}) {
        LoadToBottomScope scope(toBottom);
        ASSERT_TRUE(Run("var added = workspace.addNewLayer('Point');")) << output;
        const std::string index = toBottom != 0 ? "workspace.layerCount - 1" : "0";
        EXPECT_EQ(Value("added === workspace.getLayer(" + index + ")"), Thrown("true")) << toBottom;
        EXPECT_EQ(Value("added.name"), Thrown("* Unnamed"));
        // The themes that were there keep their objects.
        EXPECT_EQ(Value("roads === workspace.getLayer(" + std::string(toBottom != 0 ? "1" : "2") + ")"),
                  Thrown("true"));
        ASSERT_TRUE(Run("workspace.removeLayer(added); roads = workspace.getLayer(1);")) << output;
    }
}

TEST_F(ScriptObjectsTest, MoveLayerReordersDocumentAndCache) {
    EventLog events(document);
    ASSERT_TRUE(Run("var top = workspace.getLayer(0);")) << output;
    EXPECT_EQ(Value("workspace.moveLayer(top, 1)"), Thrown("true"));  // its own place + 1: nothing
    EXPECT_EQ(document.m_themes[0], points);
    EXPECT_TRUE(events.events.empty());
    EXPECT_EQ(Value("workspace.moveLayer(top, 3)"), Thrown("true"));
    EXPECT_EQ(document.m_themes, (std::vector<CTheme*>{roads, parcels, points}));
    EXPECT_EQ(Value("top === workspace.getLayer(2) && roads === workspace.getLayer(0)"), Thrown("true"));
    EXPECT_EQ(events.events, (std::vector<std::string>{std::to_string(DUE_ThemeOrderChanged) + ":0"}));
    EXPECT_EQ(Value("workspace.moveLayer(top, 0)"), Thrown("true"));
    EXPECT_EQ(document.m_themes, (std::vector<CTheme*>{points, roads, parcels}));
    EXPECT_EQ(Value("workspace.moveLayer({}, 0)"), Thrown("false"));
}

TEST_F(ScriptObjectsTest, RemoveLayerDropsTheEntryOnlyWhenTheThemeWent) {
    // A theme made from the selection of Roads points at its records, so the
    // document keeps Roads.
    roads->AddToSelection(0, 0, 1, 0);
    CTheme* child = document.NewThemeFromSelection(roads, "Child", true);
    ASSERT_NE(child, nullptr);
    const std::size_t count = document.m_themes.size();
    const int roadsIndex = static_cast<int>(std::find(document.m_themes.begin(), document.m_themes.end(), roads) -
                                            document.m_themes.begin());
    ASSERT_TRUE(Run("var kept = workspace.getLayer(" + std::to_string(roadsIndex) + ");")) << output;
    EXPECT_EQ(Value("workspace.removeLayer(kept)"), Thrown("false"));
    EXPECT_EQ(document.m_themes.size(), count);
    EXPECT_EQ(Value("kept === workspace.getLayer(" + std::to_string(roadsIndex) + ")"), Thrown("true"));

    // Removing the first layer moves the second into its place.
    ASSERT_TRUE(Run("var second = workspace.getLayer(1);")) << output;
    EXPECT_EQ(Value("workspace.removeLayer(workspace.getLayer(0))"), Thrown("true"));
    EXPECT_EQ(Value("second === workspace.getLayer(0)"), Thrown("true"));
    EXPECT_EQ(Value("workspace.removeLayer(null)"), Thrown("false"));
}

TEST_F(ScriptObjectsTest, StaleLayerAnswersItsNullObjectMessage) {
    ASSERT_TRUE(Run("var gone = workspace.getLayer(0); var colour = gone.color; workspace.removeLayer(gone);"))
        << output;
    for (const char* use : {"gone.name;", "gone.getShape(0);", "gone.color;", "gone.visible = false;"})
        EXPECT_EQ(Error(use), "Trying to access a null Layer object") << use;
    // The Color bound to the removed theme says so instead of reading freed memory.
    EXPECT_EQ(Error("colour.red;"), "Trying to access a null Layer object");
}

TEST_F(ScriptObjectsTest, ZoomAndCenterMapMoveTheExtent) {
    const double extent[4] = {0.0, 0.0, 10.0, 20.0};
    document.SetViewExtent(extent);
    ASSERT_TRUE(Run("workspace.zoom(2);")) << output;
    EXPECT_DOUBLE_EQ(document.m_viewExtent[0], -5.0);
    EXPECT_DOUBLE_EQ(document.m_viewExtent[1], -10.0);
    EXPECT_DOUBLE_EQ(document.m_viewExtent[2], 15.0);
    EXPECT_DOUBLE_EQ(document.m_viewExtent[3], 30.0);
    ASSERT_TRUE(Run("workspace.centerMap(new Coord(100, 200));")) << output;
    EXPECT_DOUBLE_EQ(document.m_viewExtent[0], 90.0);
    EXPECT_DOUBLE_EQ(document.m_viewExtent[3], 220.0);
    ASSERT_TRUE(Run("workspace.centerMap();")) << output;
    EXPECT_DOUBLE_EQ(document.m_viewExtent[0] + document.m_viewExtent[2], 0.0);
}

TEST_F(ScriptObjectsTest, BackgroundColourIsBoundAndRefusesOtherValues) {
    document.m_backgroundColor = 0x00FFFFFF;
    ASSERT_TRUE(Run("var bg = workspace.bkgndColor; bg.red = 0;")) << output;
    EXPECT_EQ(document.m_backgroundColor, 0x00FFFF00u);
    EXPECT_EQ(Value("bg === workspace.bkgndColor"), Thrown("true"));
    ASSERT_TRUE(Run("workspace.bkgndColor = new Color(1, 2, 3);")) << output;
    EXPECT_EQ(document.m_backgroundColor, 0x00030201u);
    // A non-Color object warns and changes nothing; a number is ignored.
    ASSERT_TRUE(Run("workspace.bkgndColor = {red: 9};")) << output;
    EXPECT_NE(output.find("Trying to assign a Color a non Color value."), std::string::npos) << output;
    ASSERT_TRUE(Run("workspace.bkgndColor = 5;")) << output;
    EXPECT_EQ(document.m_backgroundColor, 0x00030201u);
}

// The map view's answer to a save request: records what it was asked.
struct SaveRecorder {
    explicit SaveRecorder(CCorvaleDoc& document) : m_Document(document) {
        document.m_updateEvent.AddHandler(this, &SaveRecorder::OnUpdate);
    }
    ~SaveRecorder() { m_Document.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) {
        if (code != DUE_SaveMapImageToFile)
            return;
        auto* request = reinterpret_cast<CSaveMapImageRequest*>(data);
        path = request->m_Path;
        colour = request->m_Color != nullptr ? *request->m_Color : 0;
        request->m_Result = true;
    }
    CCorvaleDoc& m_Document;
    std::string path;
    std::uint32_t colour = 0;
};

TEST_F(ScriptObjectsTest, SaveMapImageAsksTheViewWithTheColour) {
    SaveRecorder view(document);
    EXPECT_EQ(Value("workspace.saveMapImage('/tmp/map.png')"), Thrown("true"));
    EXPECT_EQ(view.path, "/tmp/map.png");
    EXPECT_EQ(view.colour, 0xFFFFFFFFu);
    EXPECT_EQ(Value("workspace.saveMapImage('/tmp/map.png', new Color(1, 2, 3))"), Thrown("true"));
    EXPECT_EQ(view.colour, 0x00030201u);
    EXPECT_EQ(Error("workspace.saveMapImage('');"), "Illegal file name argument in call to Workspace.saveMapImage().");
    EXPECT_EQ(Error("workspace.saveMapImage('/tmp/a.png', {});"), "Trying to assign a Color a non Color value.");
}

TEST_F(ScriptObjectsTest, ChoosersAnswerLayersAndColumns) {
    CDocumentDialogServices saved = GetDocumentDialogServices();
    CDocumentDialogServices services = saved;
    std::string caption;
    services.chooseTheme = [&](CCorvaleDoc*, const std::string& title, unsigned) {
        caption = title;
        return caption == "JavaScript: Select Theme" ? parcels : nullptr;
    };
    SetDocumentDialogServices(services);
    EXPECT_EQ(Value("workspace.browseLayer() === workspace.getLayer(2)"), Thrown("true"));
    EXPECT_EQ(Value("workspace.browseLayer('Pick')"), Thrown("undefined"));
    EXPECT_EQ(caption, "JavaScript: Pick");
    SetDocumentDialogServices(saved);

    std::vector<std::string> listed;
    SetScriptAttributeChooser([&](const std::string& title, const std::vector<std::string>& names) {
        caption = title;
        listed = names;
        return 1;
    });
    EXPECT_EQ(Value("workspace.getLayer(1).addAttribute('A') + workspace.getLayer(1).addAttribute('B')"),
              Thrown("1"));
    EXPECT_EQ(Value("workspace.getLayer(1).browseAttribute()"), Thrown("1"));
    EXPECT_EQ(caption, "JavaScript: Select Attribute");
    EXPECT_EQ(listed, (std::vector<std::string>{"A", "B"}));
}

// ---------------------------------------------------------------------------
// Layer
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, LayerPropertiesReadAndWriteTheTheme) {
    EventLog events(document);
    ASSERT_TRUE(Run("var r = workspace.getLayer(1); r.name = 'Streets'; r.visible = 0; r.comment = 42;"
                    "r.lineWidth = 3; r.readOnly = true;"))
        << output;
    EXPECT_EQ(roads->m_Name, "Streets");
    EXPECT_FALSE(roads->m_Visible);
    EXPECT_EQ(roads->m_Comment, "42");
    EXPECT_EQ(roads->m_LineWidth, 3);
    // true does not make an editable theme read-only.
    EXPECT_TRUE(roads->m_Editable);
    EXPECT_EQ(events.events, (std::vector<std::string>{std::to_string(DUE_Refresh) + ":0"}));
    EXPECT_EQ(Value("[r.dataSource, r.shapeCount, r.attributeCount, r.selectionCount, r.readOnly].join()"),
              Thrown("ST_Native,2,0,0,false"));
    // Read-only properties keep their values.
    EXPECT_EQ(Value("(function(){ r.shapeCount = 9; return r.shapeCount; })()"), Thrown("2"));
    ASSERT_TRUE(Run("r.color = new Color(0, 128, 255);")) << output;
    EXPECT_EQ(roads->m_Color, 0x00FF8000u);
}

TEST_F(ScriptObjectsTest, CreateShapeByThemeKind) {
    ASSERT_EQ(roads->GetShapeCount(), 2);
    // The polygon's ring was closed by repeating its first point.
    const CShapeRecord* square = parcels->GetShape(0);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(CShapeRecord::GetPointCount(square), 5u);
    EXPECT_EQ(CShapeRecord::GetPoint(square, 4).x, 0.0);
    EXPECT_EQ(CShapeRecord::GetPoint(square, 4).y, 0.0);

    ASSERT_TRUE(Run("var p = workspace.getLayer(0).createShape({x: 3, y: 4});")) << output;
    ASSERT_EQ(points->GetShapeCount(), 1);
    EXPECT_EQ(CShapeRecord::GetPoint(points->GetShape(0), 0).x, 3.0);
    EXPECT_EQ(Value("p.type + ',' + p.index"), Thrown("Point,0"));
    // A polyline from fewer than two points is no shape and no error.
    EXPECT_EQ(Value("workspace.getLayer(1).createShape([new Coord(1, 1)])"), Thrown("null"));
    EXPECT_EQ(Value("workspace.getLayer(1).createShape([])"), Thrown("null"));
    EXPECT_EQ(roads->GetShapeCount(), 2);
    // A shape of another theme is copied.
    ASSERT_TRUE(Run("workspace.getLayer(1).createShape(workspace.getLayer(1).getShape(1));")) << output;
    EXPECT_EQ(roads->GetShapeCount(), 3);
    EXPECT_TRUE(document.IsModified());
}

TEST_F(ScriptObjectsTest, MoveShapeCarriesTheWholeSelection) {
    ASSERT_TRUE(Run("var r = workspace.getLayer(1); r.createShape([new Coord(0, 5), new Coord(1, 5)]);"
                    "r.getShape(1).selected = true; r.getShape(2).selected = true;"))
        << output;
    const CShapeRecord* second = roads->GetShape(1);
    const CShapeRecord* third = roads->GetShape(2);
    // The first shape goes last: the two selected shapes move down one place
    // and their selection entries must follow them.
    EXPECT_EQ(Value("r.moveShape(r.getShape(0), 1000)"), Thrown("true"));
    EXPECT_EQ(roads->GetShape(0), second);
    EXPECT_EQ(roads->GetShape(1), third);
    EXPECT_EQ(Value("[r.getShape(0).selected, r.getShape(1).selected, r.getShape(2).selected].join()"),
              Thrown("true,true,false"));
    EXPECT_EQ(Value("r.getShape(0).selectionIndex + ',' + r.getShape(1).selectionIndex"), Thrown("0,1"));
}

TEST_F(ScriptObjectsTest, TransformIsAllOrNothing) {
    const CShapePoint before = CShapeRecord::GetPoint(roads->GetShape(0), 1);
    EXPECT_EQ(Error("workspace.getLayer(1).transform(4326, 1);"),
              "Unsupported reference system in call to Layer.transform().");
    EXPECT_EQ(CShapeRecord::GetPoint(roads->GetShape(0), 1).x, before.x);
    // The last line cannot be projected (longitude 500): no record changes,
    // the first ones included.
    ASSERT_TRUE(Run("workspace.getLayer(1).createShape([new Coord(0, 10), new Coord(500, 500)]);")) << output;
    EXPECT_EQ(Error("workspace.getLayer(1).transform(4326, 3857);"),
              "Error transforming coordinate in call to Layer.transform().");
    EXPECT_EQ(CShapeRecord::GetPoint(roads->GetShape(0), 1).x, before.x);
    // The records of a read-only theme are not written.
    points->m_Editable = false;
    EXPECT_EQ(Error("workspace.getLayer(0).transform(4326, 3857);"), "Trying to edit a read-only Layer object.");
    points->m_Editable = true;

    ASSERT_TRUE(Run("workspace.getLayer(1).getShape(2).getCoord(0, 1).x = 20;")) << output;
    ASSERT_TRUE(Run("workspace.getLayer(1).transform(4326, 3857);")) << output;
    // 10 degrees east on the pseudo-Mercator sphere: 10 * pi / 180 * 6378137 m.
    EXPECT_NEAR(CShapeRecord::GetPoint(roads->GetShape(0), 1).x, 1113194.908, 1e-3);
    EXPECT_TRUE(roads->m_Modified);
}

TEST_F(ScriptObjectsTest, GlobalTransformMovesABoundVertex) {
    const CShapePoint before = CShapeRecord::GetPoint(roads->GetShape(0), 1);
    ASSERT_TRUE(Run("transform(workspace.getLayer(1).getShape(0).getCoord(0, 1), 4326, 3857);")) << output;
    // East on the pseudo-Mercator sphere: longitude * pi / 180 * 6378137 m.
    EXPECT_NEAR(CShapeRecord::GetPoint(roads->GetShape(0), 1).x, before.x * M_PI / 180.0 * 6378137.0, 1e-3);
}

// ---------------------------------------------------------------------------
// Shape and bound Coords
// ---------------------------------------------------------------------------

TEST_F(ScriptObjectsTest, AttributesByNameWithoutRegardToCase) {
    ASSERT_TRUE(Run("var r = workspace.getLayer(1); r.addAttribute('Name');"
                    "r.getShape(1).setAttribute(0, 'Main Street');"))
        << output;
    EXPECT_EQ(Value("r.getShape(1).getAttribute('NAME')"), Thrown("Main Street"));
    EXPECT_EQ(Value("r.getShape(1).getAttribute(0)"), Thrown("Main Street"));
    EXPECT_EQ(Value("r.getAttribute(0)"), Thrown("Name"));
}

TEST_F(ScriptObjectsTest, BoundCoordMovesItsVertex) {
    ASSERT_TRUE(Run("var c = workspace.getLayer(1).getShape(0).getCoord(0, 2); c.x = 42;")) << output;
    EXPECT_EQ(CShapeRecord::GetPoint(roads->GetShape(0), 2).x, 42.0);
    EXPECT_EQ(Value("c.x + ',' + c.y"), Thrown("42,10"));

    // A read-only theme keeps its vertex and the script is warned.
    roads->m_Editable = false;
    ASSERT_TRUE(Run("c.y = 99;")) << output;
    EXPECT_EQ(output.substr(0, output.find("\r\n")), "Warning: Trying to modify a Coord in a non writable Layer.");
    EXPECT_EQ(CShapeRecord::GetPoint(roads->GetShape(0), 2).y, 10.0);
    roads->m_Editable = true;
}

TEST_F(ScriptObjectsTest, AddPartKeepsShapesAndCoordsOnTheNewRecord) {
    ASSERT_TRUE(Run("var s = workspace.getLayer(2).getShape(0); var corner = s.getCoord(0, 2);")) << output;
    const CShapeRecord* old = parcels->GetShape(0);
    EXPECT_EQ(Value("s.addPart([new Coord(1, 1), new Coord(2, 1), new Coord(2, 2)])"), Thrown("true"));
    const CShapeRecord* combined = parcels->GetShape(0);
    ASSERT_NE(combined, old);
    EXPECT_EQ(CShapeRecord::GetPartCount(combined), 2u);
    EXPECT_EQ(CShapeRecord::GetPointCount(combined), 8u);  // the ring of three is left open
    // The Shape and the Coord bound before the edit now read the new record.
    EXPECT_EQ(Value("s.partCount + ',' + s.getCoordCount(1)"), Thrown("2,3"));
    ASSERT_TRUE(Run("corner.x = 6;")) << output;
    EXPECT_EQ(CShapeRecord::GetPoint(combined, 2).x, 6.0);
    EXPECT_EQ(Value("corner.x + ',' + corner.y"), Thrown("6,4"));
}

TEST_F(ScriptObjectsTest, CoordOfADeletedShapeAnswersInsteadOfReadingFreedMemory) {
    ASSERT_TRUE(Run("var s = workspace.getLayer(1).getShape(0); var c = s.getCoord(0, 1);")) << output;
    ASSERT_TRUE(roads->DeleteShape(roads->GetShape(0)));
    EXPECT_EQ(Error("c.x;"), "Trying to access a null Shape object");
    EXPECT_EQ(Error("s.type;"), "Trying to access a null Shape object");
}

TEST_F(ScriptObjectsTest, SpatialSearchAnswersShapes) {
    EXPECT_EQ(Value("workspace.getLayer(1).findClosestShapes(new Coord(25, 1))[0].index"), Thrown("1"));
    EXPECT_EQ(Value("workspace.getLayer(1).getIntersectingShapes(workspace.getLayer(2).getShape(0)).length"),
              Thrown("1"));
    EXPECT_EQ(Value("workspace.getLayer(1).getShape(0).intersects(workspace.getLayer(2).getShape(0))"),
              Thrown("true"));
}

// A layer a script makes in an empty workspace is shown whole once the run
// has put shapes in it, as the first shape file opened there is; a script
// that sets its own view, or a layer beside others, keeps the extent.
TEST(ScriptFirstLayerTest, TheFirstLayerOfAnEmptyWorkspaceIsShownWhole) {
#ifndef CORVALE_SCRIPT_ENGINE
    GTEST_SKIP() << "the script engine bridge is not built";
#else
    SetScriptEngineLibraryPath(QString::fromUtf8(CORVALE_SCRIPT_ENGINE));
    ASSERT_TRUE(IsScriptEngineAvailable());
    const std::string shapes = "l.createShape([new Coord(100, 100), new Coord(300, 100), new Coord(300, 200)]);";
    struct Case {
        const char* name;
        std::vector<std::string> runs;
        bool fitted;
    };
    const Case cases[] = {
        {"one run", {"var l = workspace.addNewLayer('Polygon');" + shapes}, true},
        {"shapes in a later run", {"var l = workspace.addNewLayer('Polygon');", shapes}, true},
        {"the script zooms itself", {"var l = workspace.addNewLayer('Polygon');" + shapes + "workspace.zoom(2);"},
         false},
        {"a second layer", {"var l = workspace.addNewLayer('Polygon'); workspace.addNewLayer('Point');" + shapes},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCorvaleDoc document;
        const double start[4] = {0, 0, 10, 10};
        document.SetViewExtent(start);
        ScriptWorkspaceRecord record;
        record.workspace = GpiWorkspaceHandle(&document);
        CJSHandler handler;
        handler.SetWorkspaceRecord(&record);
        ASSERT_TRUE(handler.Initialize());
        EventLog events(document);
        for (const std::string& run : c.runs)
            ASSERT_TRUE(handler.Execute(run, "layer.js")) << ScriptOutput();
        const double* e = document.m_viewExtent;
        if (c.fitted) {
            // The layer's box, 200 x 100.
            EXPECT_EQ(std::vector<double>(e, e + 4), (std::vector<double>{100, 100, 300, 200}));
            EXPECT_EQ(std::count(events.events.begin(), events.events.end(), std::to_string(DUE_ExtentChanged) + ":0"),
                      1);
        } else {
            EXPECT_NE(std::vector<double>(e, e + 4), (std::vector<double>{100, 100, 300, 200}));
        }
    }
#endif
}

}  // namespace
