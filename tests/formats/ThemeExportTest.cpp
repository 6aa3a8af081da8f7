#include "formats/ThemeExport.h"

#include "FormatsTestSupport.h"
#include "core/NativeThemeFixture.h"
#include "crs/RefSysTable.h"
#include "formats/ExportAttributeList.h"
#include "formats/GeoJsonText.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/TextEncoding.h"
#include "shapes/RecordFixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::vector<std::string> kCodeAndName = {"CODE", "NAME"};

std::string Gpx(const CTheme& theme, int which, int refSystem = -1, bool* ok = nullptr,
                std::string* error = nullptr) {
    std::ostringstream out;
    std::string message;
    const bool result = ExportGpx(theme, out, which, refSystem, message);
    if (ok != nullptr)
        *ok = result;
    if (error != nullptr)
        *error = message;
    return out.str();
}

std::string Xml(const CTheme& theme, const std::vector<std::string>& names, int which) {
    std::ostringstream out;
    ExportXml(theme, names, which, out);
    return out.str();
}

std::string Table(const CTheme& theme, const std::vector<std::string>& names, int which) {
    std::ostringstream out;
    ExportTable(theme, names, out, which);
    return out.str();
}

TEST(ThemeExport, DocumentsOfTheFixtureThemesAreThePeersBytes) {
    // GPX as GDAL's GPX driver read it back; XML and GPX as xmllint took them.
    for (const char* stem : {"points", "lines", "linesz", "polygons"}) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        bool ok = false;
        EXPECT_EQ(Gpx(*theme, kExportAllShapes, -1, &ok), ReadFixtureText(std::string(stem) + ".gpx"));
        EXPECT_TRUE(ok);
    }
    for (const char* stem : {"points", "lines", "polygons"}) {
        SCOPED_TRACE(stem);
        const auto theme = OpenFixtureTheme(stem);
        ASSERT_NE(theme, nullptr);
        theme->m_Color = 0x001000FF; // red 255, green 0, blue 16
        EXPECT_EQ(Xml(*theme, kCodeAndName, kExportAllShapes), ReadFixtureText(std::string(stem) + ".xml"));
    }
    const auto points = OpenFixtureTheme("points");
    ASSERT_NE(points, nullptr);
    // A name without a column is left out of the header and the rows alike.
    EXPECT_EQ(Table(*points, {"CODE", "NO_SUCH", "NAME"}, kExportAllShapes), ReadFixtureText("points.tsv"));
}

TEST(ThemeExport, GpxOfThemesWithoutWaypointsOrTracks) {
    const auto pointsZ = OpenFixtureTheme("pointsz");
    const auto polygonsZ = OpenFixtureTheme("polygonsz");
    ASSERT_NE(pointsZ, nullptr);
    ASSERT_NE(polygonsZ, nullptr);
    EXPECT_EQ(Gpx(*polygonsZ, kExportAllShapes), "");
    const std::string z = Gpx(*pointsZ, kExportAllShapes);
    EXPECT_NE(z.find("\t<wpt lat=\"2.000000\" lon=\"1.000000\" />\r\n"), std::string::npos);
    EXPECT_EQ(z.find("<ele"), std::string::npos);
}

TEST(ThemeExport, GpxConvertsProjectedCoordinatesIntoWgs84) {
    // cs2cs EPSG:32632 EPSG:4326: 500000 5000000 -> 45.153477183 9.000000000,
    // 700000 5300000 -> 47.822235620 11.672054778.
    const int utm32 = FindRefSysByEpsg(32632);
    ASSERT_GE(utm32, 0);
    NativePointTheme fixture({}, {{}, {}}, {{500000, 5000000}, {700000, 5300000}});
    bool ok = false;
    const std::string gpx = Gpx(fixture.theme, kExportVisibleShapes, utm32, &ok);
    EXPECT_TRUE(ok);
    EXPECT_NE(gpx.find("\t<wpt lat=\"45.153477\" lon=\"9.000000\" />\r\n"), std::string::npos) << gpx;
    EXPECT_NE(gpx.find("\t<wpt lat=\"47.822236\" lon=\"11.672055\" />\r\n"), std::string::npos) << gpx;
}

TEST(ThemeExport, GpxRefusesCoordinatesThatAreNoLongitudesAndLatitudes) {
    struct Case {
        CShapePoint point;
        bool ok;
    };
    const Case cases[] = {
        {{180, 90}, true}, {{-180, -90}, true}, {{180.5, 0}, false}, {{0, -90.5}, false}, {{500000, 4000000}, false},
    };
    for (const Case& c : cases) {
        NativePointTheme fixture({}, {{}, {}}, {{1, 1}, c.point});
        bool ok = !c.ok;
        std::string error;
        const std::string gpx = Gpx(fixture.theme, kExportAllShapes, -1, &ok, &error);
        EXPECT_EQ(ok, c.ok) << c.point.x << " " << c.point.y;
        // A refusal writes nothing at all and says why.
        EXPECT_EQ(gpx.empty(), !c.ok);
        EXPECT_EQ(error.empty(), c.ok);
    }
    // The exporter shows the message.
    corvale::CScriptedUserInterface ui;
    NativePointTheme far({}, {{}}, {{500000, 4000000}});
    std::ostringstream out;
    CThemeGPXExport().Export(out, &far.theme, true);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);
    EXPECT_NE(ui.shown[0].text.find("longitudes and latitudes"), std::string::npos);
}

TEST(ThemeExport, OneShapeThemeShowsFullProgress) {
    corvale::CScriptedUserInterface ui;
    NativePointTheme fixture({{"NAME", FT_String}}, {{"only"}}, {{1, 2}});
    EXPECT_EQ(Table(fixture.theme, {"NAME"}, kExportVisibleShapes), "NAME\r\nonly\r\n");
    EXPECT_EQ(ui.progress, (std::vector<int>{-1, 100, -2}));
    ui.progress.clear();
    Gpx(fixture.theme, 0);
    EXPECT_EQ(ui.progress, (std::vector<int>{-1, 100, -2}));
}

TEST(ThemeExport, SelectorChoosesShapesAndHeadAndTail) {
    NativePointTheme fixture({{"NAME", FT_String}}, {{"a"}, {"b"}, {"c"}}, {{1, 1}, {2, 2}, {3, 3}});
    CTheme& theme = fixture.theme;
    theme.AddToSelection(1, 1, 1, 0xFF);
    ASSERT_TRUE(theme.FilterSelected());
    // Filtered-out shapes are written with -1, with their own values.
    EXPECT_EQ(Table(theme, {"NAME"}, kExportAllShapes), "NAME\r\na\r\nb\r\nc\r\n");
    EXPECT_EQ(Table(theme, {"NAME"}, kExportVisibleShapes), "NAME\r\na\r\nc\r\n");
    EXPECT_EQ(Table(theme, {"NAME"}, 1), "NAME\r\nc\r\n");
    EXPECT_EQ(Xml(theme, {"NAME"}, 1),
              "\t\t<PointShape index='3' NAME='c'>\r\n"
              "\t\t\t<Point longitude='3.000000' latitude='3.000000'/>\r\n"
              "\t\t</PointShape>\r\n");
    EXPECT_EQ(Gpx(theme, 1), "\t<wpt lat=\"3.000000\" lon=\"3.000000\" />\r\n");
    const std::string all = Xml(theme, {}, kExportAllShapes);
    EXPECT_NE(all.find("<PointShape index='2' >"), std::string::npos) << all;
    EXPECT_EQ(Xml(theme, {}, kExportVisibleShapes).find("index='2'"), std::string::npos);
}

TEST(ThemeExport, TableCases) {
    NativePointTheme fixture({{"A", FT_String}, {"B", FT_String}},
                             {{"plain", "tab\there"}, {"line\r\nbreak", "say \"x\""}});
    EXPECT_EQ(Table(fixture.theme, {"B", "A"}, kExportAllShapes),
              "B\tA\r\n\"tab\there\"\tplain\r\n\"say \"\"x\"\"\"\t\"line\r\nbreak\"\r\n");
    EXPECT_EQ(Table(fixture.theme, {}, kExportAllShapes), "");
    EXPECT_EQ(Table(fixture.theme, {"a"}, kExportAllShapes), "") << "names match case-sensitively";
    NativePointTheme bare({}, {{}});
    EXPECT_EQ(Table(bare.theme, {"A"}, kExportAllShapes), "");
}

TEST(ThemeExport, XmlAttributeText) {
    NativePointTheme fixture({{"NAME", FT_String}, {"N<2>", FT_String}}, {{"R&D <1> 'q' \"d\"", "x\ty"}});
    std::string text = "old";
    FormatXmlAttributes(fixture.theme, text, 0, {"NAME", "none", "N<2>"});
    EXPECT_EQ(text, "NAME='R&amp;D &lt;1&gt; &apos;q&apos; &quot;d&quot;' N_2_='x&#9;y'");
    FormatXmlAttributes(fixture.theme, text, 0, {});
    EXPECT_EQ(text, "");
    NativePointTheme bare({}, {{}});
    FormatXmlAttributes(bare.theme, text, 0, {"NAME"});
    EXPECT_EQ(text, "");
}

TEST(ThemeExport, TableAndXmlExportersAskForTheColumns) {
    NativePointTheme fixture({{"NAME", FT_String}}, {{"a"}});
    std::vector<std::string> answer;
    bool accept = false;
    int asked = 0;
    SetExportAttributeChooser([&](CTheme&, std::vector<std::string>& names) {
        ++asked;
        names = answer;
        return accept;
    });
    std::ostringstream out;
    CThemeTableExport().Export(out, &fixture.theme, true);
    CThemeXMLExport().Export(out, &fixture.theme, true);
    EXPECT_EQ(out.str(), "") << "Cancel writes nothing";
    EXPECT_EQ(asked, 2);
    accept = true;
    answer = {"NAME"};
    CThemeTableExport().Export(out, &fixture.theme, false);
    EXPECT_EQ(out.str(), "NAME\r\na\r\n");
    CThemeTableExport().Export(out, nullptr, true);
    EXPECT_EQ(asked, 3);
    SetExportAttributeChooser(nullptr);
    std::ostringstream none;
    CThemeXMLExport().Export(none, &fixture.theme, true);
    EXPECT_EQ(none.str(), "") << "without a chooser the question is cancelled";
}

// ---- The attribute chooser's lists ----

std::vector<std::string> Names(const std::vector<CExportAttributeItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items)
        names.push_back(item.m_Name);
    return names;
}

TEST(ExportAttributeList, MovesBetweenTheLists) {
    NativePointTheme fixture({{"A", FT_String}, {"B", FT_String}, {"C", FT_String}, {"D", FT_String}}, {{}});
    CTheme& theme = fixture.theme;
    theme.m_AttributeColumns = {{true}, {false}}; // B hidden; C and D beyond the list count as shown
    CExportAttributeList list(theme, true);
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(list.Available()), (V{"A", "C", "D"}));
    EXPECT_FALSE(list.CanRemoveAll());
    list.Add({2, 0, 0, 9});
    EXPECT_EQ(Names(list.Available()), (V{"C"}));
    EXPECT_EQ(Names(list.Exported()), (V{"A", "D"}));
    EXPECT_EQ(list.Exported()[1].m_Column, 3);
    // Showing every column brings B, leaving out what is exported.
    list.SetOnlyVisible(false);
    EXPECT_EQ(Names(list.Available()), (V{"B", "C"}));
    list.Add({0});
    EXPECT_EQ(Names(list.Exported()), (V{"A", "D", "B"}));
    list.SetOnlyVisible(true);
    EXPECT_EQ(Names(list.Available()), (V{"C"}));
    // A hidden column does not come back while only visible ones are offered.
    list.Remove({2, 0});
    EXPECT_EQ(Names(list.Available()), (V{"C", "A"}));
    EXPECT_EQ(list.ChosenNames(), (V{"D"}));
    list.AddAll();
    EXPECT_EQ(list.ChosenNames(), (V{"D", "C", "A"}));
    EXPECT_FALSE(list.CanAddAll());
    EXPECT_FALSE(list.CanAdd(true));
    EXPECT_TRUE(list.CanRemove(true));
    EXPECT_FALSE(list.CanRemove(false));
    list.RemoveAll();
    EXPECT_EQ(Names(list.Available()), (V{"D", "C", "A"}));
    EXPECT_TRUE(list.ChosenNames().empty());
}

} // namespace

namespace {

// The names and values of every attribute of every element, or the parser's
// error when the document is not well-formed XML.
std::vector<std::vector<std::pair<std::string, std::string>>> ParseXml(const std::string& text, std::string& error) {
    std::vector<std::vector<std::pair<std::string, std::string>>> elements;
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        elements.emplace_back();
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            elements.back().emplace_back(attribute.qualifiedName().toString().toStdString(),
                                         attribute.value().toString().toStdString());
    }
    if (reader.hasError())
        error = reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber());
    return elements;
}

} // namespace

// A column's name is written as an attribute name, which XML restricts: any
// name becomes one XML can hold, and none repeats another or the element's
// own index.
TEST(ThemeExport, XmlStaysWellFormedForAnyColumnName) {
    NativePointTheme fixture({{"POP 2010", FT_Int},
                              {"2nd", FT_String},
                              {"index", FT_String},
                              {"POP_2010", FT_String},
                              {"Côte<&>", FT_String},
                              {"", FT_String}},
                             {{"5", "b", "c", "d", "e", "f"}});
    const std::vector<std::string> names = {"POP 2010", "2nd", "index", "POP_2010", "Côte<&>", ""};
    std::string error;
    const auto elements = ParseXml(Xml(fixture.theme, names, kExportAllShapes), error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(elements.size(), 4u); // xml, Theme, PointShape, Point
    EXPECT_EQ(elements[2], (std::vector<std::pair<std::string, std::string>>{{"index", "1"},
                                                                              {"POP_2010", "5"},
                                                                              {"_2nd", "b"},
                                                                              {"index_2", "c"},
                                                                              {"POP_2010_2", "d"},
                                                                              {"Côte___", "e"},
                                                                              {"_", "f"}}));
}

// The sample's table is in Windows Latin 1 (code-page byte 87): the XML and
// GeoJSON, which are UTF-8, carry its names converted. (xmllint --noout
// accepts the XML this writes for it.)
TEST(ThemeExport, ALatin1TableExportsAsUtf8) {
    CTheme theme;
    ASSERT_TRUE(theme.OpenShapeFile(std::string(CORVALE_SAMPLES) + "/world.shp"));
    theme.ResetFilter();
    theme.m_Name = "world";
    EXPECT_EQ(theme.GetAttributeCodePage(), 87);
    const int nameColumn = theme.FindAttribute("name_long");
    ASSERT_GE(nameColumn, 0);
    int ivory = -1;
    for (int i = 0; i < theme.GetAllShapeCount() && ivory < 0; ++i)
        if (theme.GetAttributeText(i, nameColumn) == "C\xf4te d'Ivoire")
            ivory = i;
    ASSERT_GE(ivory, 0) << "the table keeps the name in Windows Latin 1";

    std::vector<std::string> names;
    for (int field = 0; field < static_cast<int>(theme.GetAttributeCount()); ++field)
        names.push_back(theme.GetAttributeName(field));
    const std::string xml = Xml(theme, names, kExportAllShapes);
    EXPECT_TRUE(corvale::IsValidUtf8(xml));
    std::string error;
    const auto elements = ParseXml(xml, error);
    EXPECT_EQ(error, "");
    bool found = false;
    for (const auto& attributes : elements)
        for (const auto& [name, value] : attributes)
            found = found || (name == "name_long" && value == "C\u00f4te d'Ivoire");
    EXPECT_TRUE(found);

    theme.AddToSelection(ivory, 0, 1, 0);
    const std::string json = FormatGeoJsonFeatureCollection(theme, 6);
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << parseError.errorString().toStdString();
    const QJsonObject properties =
        document.object()["features"].toArray().at(0).toObject()["properties"].toObject();
    EXPECT_EQ(properties["name_long"].toString().toStdString(), "C\u00f4te d'Ivoire");
    EXPECT_TRUE(properties["pop"].isDouble());
}
