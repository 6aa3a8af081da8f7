// The Export command: shape-file trios compared with what shapelib wrote and
// read (tests/data/export/make_fixtures.sh), the questions it asks, the names
// it derives, what a failure leaves behind, the text formats, exporter
// plug-ins and export tools, and image themes.

#include "workspace/CorvaleDoc.h"

#include "TempDir.h"
#include "core/ExporterPlugin.h"
#include "core/NativeThemeFixture.h"
#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "formats/ThemeExport.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "shapes/FileReader.h"
#include "shapes/RecordFixtures.h"
#include "workspace/CommandIds.h"
#include "workspace/DocExport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The recent shape files are written to the settings: a scratch folder.
struct ConfigHome {
    ConfigHome() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
    TempDir dir;
};
const ConfigHome& g_configHome = []() -> const ConfigHome& {
    static ConfigHome home;
    return home;
}();

using corvale::IDCANCEL;
using corvale::IDNO;
using corvale::IDYES;

const std::string kData = std::string(CORVALE_TEST_DATA) + "/export/";
const char* const kFilteredQuestion =
    "There are filtered shapes in current theme.\nWould you like to export all shapes?\n\n"
    "Yes:\tExport all shapes.\nNo:\tExport only non-filtered shapes.";
const char* const kLongFieldsQuestion =
    "One or more fields contains very long strings and do not fit in a dBase file.\n\n"
    "Would you like to continue exporting, and truncate these fields to 255 characters?";
const char* const kSaveError = "An error occured during save.\nOperation halted.";

std::string Copy(const std::string& from, const std::string& to) {
    WriteBytes(to, ReadBytes(from));
    return to;
}

// Copies a fixture trio under a stem; the .shp path.
std::string CopyTrio(const std::string& fixture, const std::string& stem) {
    for (const char* extension : {".shx", ".dbf"})
        Copy(kData + fixture + extension, stem + extension);
    return Copy(kData + fixture + ".shp", stem + ".shp");
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(std::string(" \0", 2));
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(std::string(" \0", 2)) - first + 1);
}

// A dBase table as dbfdump -h -r -m shows it: fields, then values trimmed of
// blanks and padding (a number of asterisks is a missing value, as shapelib
// writes it).
struct DbfField {
    char letter = 0;
    std::string title;
    int width = 0;
    int decimals = 0;
    bool operator==(const DbfField& o) const {
        return letter == o.letter && title == o.title && width == o.width && decimals == o.decimals;
    }
};
struct DbfTable {
    std::vector<DbfField> fields;
    std::vector<std::vector<std::string>> records;
};

std::string Missing(std::string value) {
    return value.find_first_not_of('*') == std::string::npos ? std::string() : value;
}

DbfTable ParseDbfDump(const std::string& path) {
    DbfTable table;
    std::istringstream in(ReadText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Field ", 0) == 0) {
            DbfField field;
            field.letter = line[line.find("Type=") + 5];
            const auto title = line.find("Title=`") + 7;
            field.title = line.substr(title, line.find('\'', title) - title);
            field.width = std::stoi(line.substr(line.find("Width=") + 6));
            field.decimals = std::stoi(line.substr(line.find("Decimals=") + 9));
            table.fields.push_back(field);
        } else if (line.rfind("Record: ", 0) == 0) {
            table.records.emplace_back();
        } else if (!table.records.empty() && line.find(": ") != std::string::npos) {
            table.records.back().push_back(Missing(Trim(line.substr(line.find(": ") + 2))));
        }
    }
    return table;
}

// The same read straight from the bytes of a written table, checking its
// frame on the way: header and record lengths, the terminator, the end byte.
DbfTable ReadDbf(const std::string& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    DbfTable table;
    EXPECT_GE(bytes.size(), 33u);
    if (bytes.size() < 33)
        return table;
    const std::uint32_t count = corvale::ReadLE32(bytes.data() + 4);
    const std::uint16_t headerLength = corvale::ReadLE16(bytes.data() + 8);
    const std::uint16_t recordLength = corvale::ReadLE16(bytes.data() + 10);
    const std::size_t fieldCount = (headerLength - 33u) / 32u;
    EXPECT_EQ(bytes[32 + 32 * fieldCount], 0x0D);
    EXPECT_EQ(bytes.size(), headerLength + std::size_t(count) * recordLength + 1u);
    EXPECT_EQ(bytes.back(), 0x1A);
    std::vector<int> widths;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        const unsigned char* d = bytes.data() + 32 + 32 * f;
        DbfField field;
        field.title = std::string(reinterpret_cast<const char*>(d), strnlen(reinterpret_cast<const char*>(d), 11));
        field.letter = static_cast<char>(d[11]);
        field.width = d[16];
        field.decimals = d[17];
        widths.push_back(field.width);
        table.fields.push_back(field);
    }
    for (std::uint32_t r = 0; r < count; ++r) {
        const unsigned char* record = bytes.data() + headerLength + std::size_t(r) * recordLength;
        EXPECT_EQ(record[0], ' ');
        std::size_t at = 1;
        table.records.emplace_back();
        for (int width : widths) {
            table.records.back().push_back(
                Missing(Trim(std::string(reinterpret_cast<const char*>(record + at), std::size_t(width)))));
            at += std::size_t(width);
        }
    }
    return table;
}

// A written trio against its expectation: the .shp and .shx as shapelib
// wrote them, the .dbf as dbfdump read shapelib's.
void ExpectTrio(const std::string& stem, const std::string& expected) {
    SCOPED_TRACE(stem + " against " + expected);
    EXPECT_EQ(ReadBytes(stem + ".shp"), ReadBytes(kData + expected + ".shp"));
    EXPECT_EQ(ReadBytes(stem + ".shx"), ReadBytes(kData + expected + ".shx"));
    const DbfTable want = ParseDbfDump(kData + expected + ".dbfdump.txt");
    const DbfTable got = ReadDbf(stem + ".dbf");
    EXPECT_EQ(got.fields, want.fields);
    EXPECT_EQ(got.records, want.records);
}

std::string ExporterFolder() { return std::string(CORVALE_EXPORTER_TEST_PLUGINS) + "/"; }

// What the services were asked, and how they answer.
struct Services {
    Services() {
        CDocumentExportServices services;
        services.pluginFolder = [this] { return pluginFolder; };
        services.exportTools = [this] { return tools; };
        services.runPluginTool = [this](unsigned id) { toolsRun.push_back(id); };
        services.chooseFormat = [this](const std::vector<std::string>& n, const std::vector<std::string>& d) {
            names = n;
            descriptions = d;
            ++chooserShown;
            for (std::size_t i = 0; i < n.size(); ++i)
                if (n[i] == choose)
                    return static_cast<int>(i);
            return -1;
        };
        services.confirmShapeExport = [this](bool& index, bool& attributes) {
            ++confirmShown;
            EXPECT_TRUE(index);
            EXPECT_TRUE(attributes);
            index = createIndex;
            attributes = createAttributes;
            return confirm;
        };
        services.imageFileFilter = [] { return std::string("PNG (*.png)|*.png|BMP (*.bmp)|*.bmp||"); };
        services.saveImage = [this](const QImage& image, const std::string& path) {
            savedImages.push_back({image.size(), path});
            return true;
        };
        SetDocumentExportServices(services);
    }
    ~Services() { SetDocumentExportServices(CDocumentExportServices()); }

    std::string pluginFolder = "/nonexistent/";
    std::vector<CExportTool> tools;
    std::string choose = "Shape";
    bool confirm = true;
    bool createIndex = true;
    bool createAttributes = true;

    std::vector<std::string> names;
    std::vector<std::string> descriptions;
    int chooserShown = 0;
    int confirmShown = 0;
    std::vector<unsigned> toolsRun;
    std::vector<std::pair<QSize, std::string>> savedImages;
};

class CConsoleDoc : public CCorvaleDoc {
public:
    void PrintConsoleLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

class DocExport : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
    }
    void TearDown() override { *CAppSettings::GetInstance() = m_Saved; }

    // The fixture workspace: towns, roads and parcels opened from copies.
    void OpenFixtureThemes() {
        for (const char* name : {"towns", "roads", "parcels"}) {
            CTheme* theme = doc.LoadShapeFile(CopyTrio(name, dir.file(std::string("in_") + name)), false);
            ASSERT_NE(theme, nullptr);
            theme->m_Name = name;
        }
    }
    CTheme* Theme(const std::string& name) {
        for (CTheme* theme : doc.m_themes)
            if (theme->m_Name == name)
                return theme;
        return nullptr;
    }
    void Select(const std::vector<std::string>& names) {
        doc.ClearThemeSelection();
        for (const std::string& name : names)
            doc.SetThemeSelected(Theme(name), true);
    }
    // Filters out the shape with that index.
    static void FilterOut(CTheme* theme, int shapeIndex) {
        theme->AddToSelection(shapeIndex, shapeIndex, 1, 0);
        ASSERT_TRUE(theme->FilterSelected());
    }
    int Asked(const std::string& question) const {
        int n = 0;
        for (const std::string& text : ui.Messages())
            n += text == question ? 1 : 0;
        return n;
    }

    CAppSettings m_Saved;
    TempDir dir;
    corvale::CScriptedUserInterface ui;
    Services services;
    CConsoleDoc doc;
};

TEST_F(DocExport, ExportsTheSelectedThemesAsTheTriosShapelibWrites) {
    OpenFixtureThemes();
    Select({"towns", "roads", "parcels"});
    // Filters are not asked about with several themes: every shape goes.
    FilterOut(Theme("towns"), 1);
    for (const char* name : {"towns", "roads", "parcels"})
        ui.saveAnswers.push_back(dir.file(std::string("out_") + name + ".shp"));
    doc.OnExportTheme();

    EXPECT_EQ(services.chooserShown, 1);
    EXPECT_EQ(services.names, (std::vector<std::string>{"Shape", "GPX", "XML", "Table Data"}));
    EXPECT_EQ(services.descriptions, (std::vector<std::string>{"Shape format", "GPS eXchange Format",
                                                               "Corvale native XML format",
                                                               "Tab separated text file"}));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(services.confirmShown, 3);
    ASSERT_EQ(ui.saveRequests.size(), 3u);
    EXPECT_EQ(ui.saveRequests[0].title, "Export Theme 'towns'");
    EXPECT_EQ(ui.saveRequests[0].filter, "Shape Format (*.shp)|*.shp||");
    EXPECT_EQ(ui.saveRequests[0].defaultExtension, ".shp");
    EXPECT_EQ(ui.saveRequests[1].initialName, "roads");
    for (const char* name : {"towns", "roads", "parcels"})
        ExpectTrio(dir.file(std::string("out_") + name), name);
    EXPECT_GT(ui.waitCursorUses, 0);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(DocExport, OneThemeWithFiltersAsksWhetherToExportEveryShape) {
    OpenFixtureThemes();
    struct Case {
        const char* what;
        bool filtered;
        int answer;
        int questions;
        const char* expected; // null: nothing written, the command ended
    } cases[] = {
        {"Yes exports every shape", true, IDYES, 1, "towns"},
        {"No exports the visible shapes", true, IDNO, 1, "towns_visible"},
        {"Cancel ends the command", true, IDCANCEL, 1, nullptr},
        {"nothing filtered, nothing asked", false, IDNO, 0, "towns"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTheme* towns = Theme("towns");
        towns->ResetFilter();
        if (c.filtered)
            FilterOut(towns, 1);
        Select({"towns"});
        ui.shown.clear();
        ui.messageAnswers = {c.answer};
        const std::string stem = dir.file("case" + std::to_string(n++));
        ui.saveAnswers = {stem + ".shp"};
        services.confirmShown = 0;
        doc.OnExportTheme();
        EXPECT_EQ(Asked(kFilteredQuestion), c.questions);
        for (const auto& shown : ui.shown) {
            if (shown.kind == "message") {
                EXPECT_EQ(shown.icon, corvale::MessageIcon::Question);
                EXPECT_EQ(shown.buttons, corvale::MessageButtons::YesNoCancel);
            }
        }
        if (c.expected == nullptr) {
            EXPECT_EQ(services.confirmShown, 0);
            EXPECT_FALSE(FileExists(stem + ".shp"));
            EXPECT_FALSE(FileExists(stem + ".dbf"));
        } else {
            ExpectTrio(stem, c.expected);
        }
    }
}

TEST_F(DocExport, EveryWrittenRecordCarriesItsOwnRow) {
    OpenFixtureThemes();
    // Beta and Delta visible, Alpha and Gamma filtered out: positions and
    // shape indexes differ.
    CTheme* towns = Theme("towns");
    FilterOut(towns, 0);
    FilterOut(towns, 2);
    Select({"towns"});
    ui.messageAnswers = {IDNO, IDYES};
    ui.saveAnswers = {dir.file("visible.shp"), dir.file("all.shp")};
    doc.OnExportTheme();
    const DbfTable table = ReadDbf(dir.file("visible.dbf"));
    ASSERT_EQ(table.records.size(), 2u);
    EXPECT_EQ(table.records[0][0], "Beta");
    EXPECT_EQ(table.records[1][0], "Delta");
    // The .shp records are Beta's and Delta's points, renumbered.
    const std::vector<unsigned char> shp = ReadBytes(dir.file("visible.shp"));
    ASSERT_EQ(shp.size(), 100u + 2 * 28u);
    EXPECT_EQ(corvale::ReadBE32(shp.data() + 128), 2u);
    EXPECT_DOUBLE_EQ(corvale::ReadLEDouble(shp.data() + 100 + 12), -3.0);
    EXPECT_DOUBLE_EQ(corvale::ReadLEDouble(shp.data() + 128 + 12), 7.0);

    // With the filtered-out shapes every record is written in all-shapes
    // order, each with its own row.
    doc.OnExportTheme();
    ExpectTrio(dir.file("all"), "towns");
}

TEST_F(DocExport, ProposedFileNamesReplaceTheCharactersFileNamesCannotHold) {
    struct Case {
        const char* theme;
        const char* proposed;
    } cases[] = {
        {"roads/main:2", "roads_main_2"},
        {"C:\\data\\rivers", "rivers"},
        {"a*b?c<d>e|f\"g", "a_b_c_d_e_f\"g"},
        {"plain", "plain"},
        {"ends\\", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposedExportFileName(c.theme), c.proposed) << c.theme;

    OpenFixtureThemes();
    Theme("roads")->m_Name = "roads/main:2";
    doc.ClearThemeSelection();
    doc.SetThemeSelected(Theme("roads/main:2"), true);
    doc.OnExportTheme();
    ASSERT_EQ(ui.saveRequests.size(), 1u);
    EXPECT_EQ(ui.saveRequests[0].initialName, "roads_main_2");
    EXPECT_EQ(ui.saveRequests[0].title, "Export Theme 'roads/main:2'");
}

TEST_F(DocExport, SiblingNamesComeFromARealShpExtension) {
    struct Case {
        const char* chosen;
        const char* shp; // null: refused
        const char* shx;
        const char* dbf;
    } cases[] = {
        {"/d/roads.shp", "/d/roads.shp", "/d/roads.shx", "/d/roads.dbf"},
        {"/d/roads", "/d/roads.shp", "/d/roads.shx", "/d/roads.dbf"},
        {"/d/ROADS.SHP", "/d/ROADS.SHP", "/d/ROADS.SHX", "/d/ROADS.DBF"},
        {"/d.v2/roads", "/d.v2/roads.shp", "/d.v2/roads.shx", "/d.v2/roads.dbf"},
        {"/d/ab", "/d/ab.shp", "/d/ab.shx", "/d/ab.dbf"},
        {"/d/x.dbf", nullptr, nullptr, nullptr},
        {"/d/x.shx", nullptr, nullptr, nullptr},
        {"/d/x.txt", nullptr, nullptr, nullptr},
        {"/d/x.shp2", nullptr, nullptr, nullptr},
        {"/d/", nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        std::string shp, shx, dbf;
        ASSERT_EQ(ShapeFileTrioPaths(c.chosen, shp, shx, dbf), c.shp != nullptr);
        if (c.shp == nullptr)
            continue;
        EXPECT_EQ(shp, c.shp);
        EXPECT_EQ(shx, c.shx);
        EXPECT_EQ(dbf, c.dbf);
    }
}

TEST_F(DocExport, AChosenDbfNameIsRefusedAndTouchesNothing) {
    OpenFixtureThemes();
    Select({"roads"});
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteBytes(dir.file("x.dbf"), old);
    ui.saveAnswers = {dir.file("x.dbf")};
    doc.OnExportTheme();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "A shape file must be named with the extension .shp:\n" + dir.file("x.dbf"));
    EXPECT_EQ(ui.shown.back().icon, corvale::MessageIcon::Error);
    EXPECT_EQ(services.confirmShown, 0);
    EXPECT_EQ(ReadBytes(dir.file("x.dbf")), old);
    EXPECT_FALSE(FileExists(dir.file("x.shx")));
    EXPECT_FALSE(FileExists(dir.file("x.shp")));

    // A name without extension becomes a .shp with its own siblings.
    ui.saveAnswers = {dir.file("bare")};
    doc.OnExportTheme();
    ExpectTrio(dir.file("bare"), "roads");
}

TEST_F(DocExport, TheBoxesChooseTheSiblingsAndLeaveOthersAlone) {
    OpenFixtureThemes();
    Select({"parcels"});
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteBytes(dir.file("p.shx"), old);
    WriteBytes(dir.file("p.dbf"), old);
    services.createIndex = false;
    services.createAttributes = false;
    ui.saveAnswers = {dir.file("p.shp")};
    doc.OnExportTheme();
    EXPECT_EQ(ReadBytes(dir.file("p.shp")), ReadBytes(kData + "parcels.shp"));
    EXPECT_EQ(ReadBytes(dir.file("p.shx")), old);
    EXPECT_EQ(ReadBytes(dir.file("p.dbf")), old);

    services.createIndex = false;
    services.createAttributes = true;
    ui.saveAnswers = {dir.file("q.shp")};
    doc.OnExportTheme();
    EXPECT_FALSE(FileExists(dir.file("q.shx")));
    EXPECT_EQ(ReadDbf(dir.file("q.dbf")).records, ParseDbfDump(kData + "parcels.dbfdump.txt").records);

    // Cancel in the confirmation writes nothing.
    services.confirm = false;
    ui.saveAnswers = {dir.file("r.shp")};
    doc.OnExportTheme();
    EXPECT_FALSE(FileExists(dir.file("r.shp")));
}

TEST_F(DocExport, ALongTextColumnAsksOnceAndNoWritesNothing) {
    NativePointTheme a({{"NOTE", FT_String}}, {{std::string(300, 'a')}, {"short"}});
    NativePointTheme b({{"TEXT", FT_String}}, {{std::string(280, 'b')}});
    a.theme.m_Name = "a";
    b.theme.m_Name = "b";
    doc.m_selectedThemes = {&a.theme, &b.theme};

    ui.messageAnswers = {IDNO};
    doc.OnExportTheme();
    EXPECT_EQ(Asked(kLongFieldsQuestion), 1);
    EXPECT_EQ(ui.shown.back().icon, corvale::MessageIcon::Warning);
    EXPECT_TRUE(ui.saveRequests.empty());

    ui.shown.clear();
    ui.messageAnswers = {IDYES};
    ui.saveAnswers = {dir.file("a.shp"), dir.file("b.shp")};
    doc.OnExportTheme();
    EXPECT_EQ(Asked(kLongFieldsQuestion), 1);
    const DbfTable table = ReadDbf(dir.file("a.dbf"));
    ASSERT_EQ(table.fields.size(), 1u);
    EXPECT_EQ(table.fields[0].width, 255);
    EXPECT_EQ(table.records[0][0], std::string(255, 'a'));
    EXPECT_EQ(table.records[1][0], "short");
}

// Field types of a drawn theme as dBase descriptors, and what this program
// reads back from them. Whole numbers up to 11 characters read back as
// whole numbers; D is always 8 wide and L 1.
TEST_F(DocExport, FieldsGetValidDescriptorsThatReadBackAsTheirType) {
    NativePointTheme drawn({{"NAME", FT_String},
                            {"COUNT", FT_Int},
                            {"MINIMUM", FT_Int},
                            {"RATIO", FT_Double},
                            {"SINCE", FT_Date},
                            {"OPEN", FT_Boolean},
                            {"LONGFIELDNAME_A", FT_String},
                            {"LONGFIELDNAME_B", FT_String}},
                           {{"x", "12", "-2147483648", "0.25", "20260115", "T", "p", "q"},
                            {"yy", "-7", "0", "12.5", "19991231", "F", "r", "s"}});
    drawn.theme.m_Name = "drawn";
    doc.m_selectedThemes = {&drawn.theme};
    ui.saveAnswers = {dir.file("drawn.shp")};
    doc.OnExportTheme();
    ASSERT_TRUE(ui.Messages().empty()) << ui.Messages()[0];

    const DbfTable table = ReadDbf(dir.file("drawn.dbf"));
    struct Want {
        const char* title;
        char letter;
        int width;
        int decimals;
        std::int32_t readBack;
    } want[] = {
        {"NAME", 'C', 3, 0, FT_String},     {"COUNT", 'N', 3, 0, FT_Int},    {"MINIMUM", 'N', 11, 0, FT_Int},
        {"RATIO", 'N', 5, 3, FT_Double},    {"SINCE", 'D', 8, 0, FT_Date},   {"OPEN", 'L', 1, 0, FT_Boolean},
        {"LONGFIELDN", 'C', 2, 0, FT_String}, {"LONGFIELD1", 'C', 2, 0, FT_String},
    };
    ASSERT_EQ(table.fields.size(), std::size(want));
    CFileReader reader;
    ASSERT_TRUE(reader.Open(dir.file("drawn.dbf").c_str()));
    CdBaseFile dbf;
    ASSERT_TRUE(dbf.ReadHeader(&reader));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(want[i].title);
        EXPECT_EQ(table.fields[i].title, want[i].title);
        EXPECT_EQ(table.fields[i].letter, want[i].letter);
        EXPECT_EQ(table.fields[i].width, want[i].width);
        EXPECT_EQ(table.fields[i].decimals, want[i].decimals);
        EXPECT_EQ(dbf.GetFields()[i].m_Type, want[i].readBack);
    }
    EXPECT_EQ(table.records[0],
              (std::vector<std::string>{"x", "12", "-2147483648", "0.25", "20260115", "T", "p", "q"}));
}

// A table shorter than the shape file: the missing row's number cannot be
// read and is written as a missing number instead of refusing the export.
TEST_F(DocExport, AMissingRowIsWrittenAsMissingNumbers) {
    Copy(std::string(CORVALE_TEST_DATA) + "/shapes/points.shx", dir.file("short.shx"));
    Copy(std::string(CORVALE_TEST_DATA) + "/dbf/extra_header.dbf", dir.file("short.dbf"));
    CTheme* theme = doc.LoadShapeFile(Copy(std::string(CORVALE_TEST_DATA) + "/shapes/points.shp",
                                           dir.file("short.shp")),
                                      false);
    ASSERT_NE(theme, nullptr);
    doc.SetThemeSelected(theme, true);
    ui.saveAnswers = {dir.file("out.shp")};
    doc.OnExportTheme();
    EXPECT_TRUE(ui.Messages().empty());
    const DbfTable table = ReadDbf(dir.file("out.dbf"));
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(table.records[0], (std::vector<std::string>{"Oslo", "1"}));
    EXPECT_EQ(table.records[2][1], "");
}

// The values are copied byte for byte, so the copy of a Windows Latin 1
// table (the sample's: code-page byte 87) says so too; it used to say 0.
TEST_F(DocExport, TheCopyOfATableKeepsItsCodePage) {
    const std::string samples = std::string(CORVALE_TEST_DATA) + "/../../samples/";
    for (const char* extension : {".shx", ".dbf"})
        Copy(samples + "world" + extension, dir.file(std::string("world") + extension));
    CTheme* theme = doc.LoadShapeFile(Copy(samples + "world.shp", dir.file("world.shp")), false);
    ASSERT_NE(theme, nullptr);
    doc.SetThemeSelected(theme, true);
    ui.saveAnswers = {dir.file("copy.shp")};
    doc.OnExportTheme();
    EXPECT_TRUE(ui.Messages().empty());
    const std::vector<unsigned char> bytes = ReadBytes(dir.file("copy.dbf"));
    ASSERT_GT(bytes.size(), 32u);
    EXPECT_EQ(bytes[29], 87);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("C\xF4te d'Ivoire"), std::string::npos);
}

// Renaming over a file needs only the folder's permission: a read-only
// target is refused by name and left as it was, its siblings too.
TEST_F(DocExport, AReadOnlyTargetIsRefusedByName) {
    OpenFixtureThemes();
    Select({"towns"});
    const std::vector<unsigned char> old = {1, 2, 3};
    for (const char* extension : {".shp", ".shx", ".dbf"})
        WriteBytes(dir.file(std::string("locked") + extension), old);
    ASSERT_EQ(::chmod(dir.file("locked.dbf").c_str(), 0444), 0);
    ui.saveAnswers = {dir.file("locked.shp")};
    doc.OnExportTheme();
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"The file\n" + dir.file("locked.dbf") + "\nis read-only and was not replaced."});
    for (const char* extension : {".shp", ".shx", ".dbf"})
        EXPECT_EQ(ReadBytes(dir.file(std::string("locked") + extension)), old) << extension;
}

TEST_F(DocExport, ARecordOfAnotherFamilyIsNotWrittenAndTheOldTrioStays) {
    OpenFixtureThemes();
    for (const char* extension : {".shp", ".shx", ".dbf"})
        Copy(kData + std::string("roads") + extension, dir.file(std::string("old") + extension));
    CTheme* towns = Theme("towns");
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}}, 5);
    towns->m_Points.push_back(Rec(line));
    towns->m_VisiblePoints.push_back(Rec(line));
    Select({"towns"});
    ui.saveAnswers = {dir.file("old.shp")};
    doc.OnExportTheme();
    towns->m_Points.pop_back();
    towns->m_VisiblePoints.pop_back();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{kSaveError});
    ExpectTrio(dir.file("old"), "roads");
}

// A full disk, made with a file-size limit in a child process: the writes
// fail part way and the trio that was there stays byte for byte.
TEST_F(DocExport, AFullDiskLeavesTheOldTrioAsItWas) {
    OpenFixtureThemes();
    for (const char* extension : {".shp", ".shx", ".dbf"})
        Copy(kData + std::string("towns") + extension, dir.file(std::string("full") + extension));
    Select({"parcels"});
    for (const std::size_t limit : {std::size_t(0), std::size_t(100), std::size_t(200)}) {
        SCOPED_TRACE(limit);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit rl{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &rl);
            ui.saveAnswers = {dir.file("full.shp")};
            doc.OnExportTheme();
            const std::vector<std::string> messages = ui.Messages();
            const bool failed = messages.size() == 1 && (messages[0] == kSaveError ||
                                                         messages[0] == "Unable to open file for writing.");
            ::_exit(failed ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure was not reported";
        ExpectTrio(dir.file("full"), "towns");
    }
    // No temporary file is left behind either.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("full", 0) == 0 || name.rfind(".full", 0) == 0)
            left.push_back(name);
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"full.dbf", "full.shp", "full.shx"}));
}

TEST_F(DocExport, TextFormatsAskForEveryThemeAndKeepTheOldFileWhenNothingIsWritten) {
    OpenFixtureThemes();
    FilterOut(Theme("towns"), 1);
    FilterOut(Theme("roads"), 0);
    Select({"towns", "roads"});
    SetExportAttributeChooser([](CTheme& theme, std::vector<std::string>& names) {
        for (unsigned i = 0; i < theme.GetAttributeCount(); ++i)
            names.push_back(theme.GetAttributeName(static_cast<int>(i)));
        return true;
    });
    services.choose = "Table Data";
    ui.messageAnswers = {IDNO, IDYES};
    ui.saveAnswers = {dir.file("towns.txt"), dir.file("roads.txt")};
    doc.OnExportTheme();
    EXPECT_EQ(Asked(kFilteredQuestion), 2);
    ASSERT_EQ(ui.saveRequests.size(), 2u);
    EXPECT_EQ(ui.saveRequests[0].filter, "Text Format (*.txt)|*.txt||");
    EXPECT_EQ(ui.saveRequests[0].defaultExtension, "txt");
    EXPECT_EQ(ui.saveRequests[0].initialName, "");
    EXPECT_EQ(ReadText(dir.file("towns.txt")),
              "NAME\tPOP\tAREA\r\nAlpha\t1200\t3.250\r\nGamma\t300000\t12.125\r\nDelta\t0\t100.000\r\n");
    EXPECT_EQ(ReadText(dir.file("roads.txt")), "ROAD\tLANES\r\nMain Street\t2\r\nRing\t4\r\n");

    // A cancelled attribute chooser writes nothing: the file stays.
    SetExportAttributeChooser([](CTheme&, std::vector<std::string>&) { return false; });
    services.choose = "XML";
    Select({"roads"});
    WriteBytes(dir.file("keep.xml"), {'o', 'l', 'd'});
    ui.messageAnswers = {IDYES};
    ui.saveAnswers = {dir.file("keep.xml")};
    doc.OnExportTheme();
    EXPECT_EQ(ReadText(dir.file("keep.xml")), "old");
    SetExportAttributeChooser(nullptr);

    // Cancel in the question ends the command before the next theme.
    services.choose = "GPX";
    Select({"towns", "roads"});
    ui.shown.clear();
    ui.messageAnswers = {IDCANCEL};
    ui.saveAnswers = {dir.file("t.gpx"), dir.file("r.gpx")};
    doc.OnExportTheme();
    EXPECT_EQ(Asked(kFilteredQuestion), 1);
    EXPECT_FALSE(FileExists(dir.file("t.gpx")));
    EXPECT_EQ(ui.saveAnswers.size(), 1u);
}

TEST_F(DocExport, GpxOfTheVisibleShapes) {
    OpenFixtureThemes();
    FilterOut(Theme("towns"), 2);
    Select({"towns"});
    services.choose = "GPX";
    ui.messageAnswers = {IDNO};
    ui.saveAnswers = {dir.file("towns.gpx")};
    doc.OnExportTheme();
    EXPECT_TRUE(ui.Messages().size() == 1 && ui.Messages()[0] == kFilteredQuestion);
    const std::string gpx = ReadText(dir.file("towns.gpx"));
    EXPECT_NE(gpx.find("<wpt lat=\"2.5"), std::string::npos) << gpx;
    EXPECT_EQ(gpx.find("-20"), std::string::npos) << gpx;
}

// Holds the test exporter's module so that its log outlives the command's
// binding.
struct ExporterModule {
    explicit ExporterModule(const std::string& kind)
        : module(dlopen((ExporterFolder() + kind + ".xpr").c_str(), RTLD_NOW)) {
        auto control = reinterpret_cast<void (*)(int, int, int)>(dlsym(module, "xprTestControl"));
        if (control != nullptr)
            control(-1, 0, 0);
    }
    ~ExporterModule() { dlclose(module); }
    ExporterModule(const ExporterModule&) = delete;
    ExporterModule& operator=(const ExporterModule&) = delete;
    std::string Log() const {
        auto log = reinterpret_cast<const char* (*)()>(dlsym(module, "xprTestLog"));
        return log != nullptr ? log() : "(no log)";
    }
    void Fail(int shape, bool post) const {
        reinterpret_cast<void (*)(int, int, int)>(dlsym(module, "xprTestControl"))(shape, post ? 1 : 0, 0);
    }
    void* module;
};

std::vector<std::string> Lines(const std::string& log, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    return lines;
}

TEST_F(DocExport, ExportersAreOfferedWhenTheyWriteEverySelectedTheme) {
    OpenFixtureThemes();
    services.pluginFolder = ExporterFolder();
    services.choose = "";
    services.tools = {{"Tool A", "Exports by a tool", 22011}};
    struct Case {
        std::vector<std::string> themes;
        bool pointsOnlyOffered;
    } cases[] = {{{"towns"}, true}, {{"towns", "roads"}, false}, {{"parcels"}, false}};
    for (const Case& c : cases) {
        Select(c.themes);
        doc.OnExportTheme();
        const std::vector<std::string>& names = services.names;
        ASSERT_GE(names.size(), 5u);
        EXPECT_EQ(names.back(), "Tool A");
        EXPECT_EQ(services.descriptions.back(), "Exports by a tool");
        EXPECT_EQ(std::count(names.begin(), names.end(), "points_only"), c.pointsOnlyOffered ? 1 : 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "no_export_shape"), 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "xv5_reverse"), 1);
        EXPECT_EQ(std::count(names.begin(), names.end(), "xv1"), 1);
    }
    EXPECT_EQ(CExporterPlugin::ExportTheme(), nullptr);

    // A tool row runs the tool's command.
    services.choose = "Tool A";
    doc.OnExportTheme();
    EXPECT_EQ(services.toolsRun, std::vector<unsigned>{22011});
}

TEST_F(DocExport, AnExporterSeesTheThemesInReverseWhenItAsks) {
    OpenFixtureThemes();
    services.pluginFolder = ExporterFolder();
    Select({"towns", "roads"});
    struct Case {
        const char* kind;
        std::vector<std::string> order;
    } cases[] = {{"xv5", {"towns", "roads"}}, {"xv5_reverse", {"roads", "towns"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ExporterModule module(c.kind);
        services.choose = c.kind;
        doc.OnExportTheme();
        const std::string log = module.Log();
        const std::vector<std::string> pre = Lines(log, "pre ");
        ASSERT_EQ(pre.size(), 2u) << log;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_NE(pre[i].find("name=" + c.order[i] + " index=" + std::to_string(i)), std::string::npos)
                << pre[i];
        }
        // Both themes whole, filters or not (several themes: all shapes).
        EXPECT_NE(log.find("begin n=2 extent=-3,-20,10,7"), std::string::npos) << log;
        const std::vector<std::string> shapes = Lines(log, "shape ");
        ASSERT_EQ(shapes.size(), 4u + 2u);
        // Each shape comes with its theme's column count (towns 3, roads 2).
        const std::string towns = "type=1 ", roads = "type=3 ";
        for (const std::string& line : shapes) {
            if (line.find(towns) != std::string::npos)
                EXPECT_NE(line.find(" word=3 "), std::string::npos) << line;
            else
                EXPECT_NE(line.find(roads + "index"), std::string::npos) << line;
            if (line.find(roads) != std::string::npos) {
                EXPECT_NE(line.find(" word=2 "), std::string::npos) << line;
            }
        }
        EXPECT_EQ(Lines(log, "post ").size(), 2u);
        EXPECT_EQ(Lines(log, "end").size(), 1u);
    }
}

TEST_F(DocExport, ExporterFailuresAreShownAndAFailedPostExportEndsTheRun) {
    OpenFixtureThemes();
    services.pluginFolder = ExporterFolder();
    services.choose = "xv5";
    doc.m_debugFlags = 4;
    Select({"towns", "roads"});
    ExporterModule module("xv5");

    module.Fail(1, false);
    doc.OnExportTheme();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"shape refused"});
    EXPECT_EQ(doc.lines, std::vector<std::string>{"shape refused"});
    std::string log = module.Log();
    // The towns stop at their second shape; the roads follow whole.
    EXPECT_EQ(Lines(log, "shape ").size(), 2u + 2u) << log;
    EXPECT_EQ(Lines(log, "post index=0 ok=0").size(), 1u) << log;
    EXPECT_EQ(Lines(log, "end").size(), 1u);

    ui.shown.clear();
    module.Fail(-1, true);
    doc.OnExportTheme();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"post refused"});
    log = module.Log();
    EXPECT_EQ(Lines(log, "pre ").size(), 1u) << log;
    EXPECT_TRUE(Lines(log, "end").empty()) << log;
}

TEST_F(DocExport, OneFilteredThemeAsksBeforeAnExporterRuns) {
    OpenFixtureThemes();
    services.pluginFolder = ExporterFolder();
    services.choose = "xv5";
    FilterOut(Theme("towns"), 1);
    Select({"towns"});
    ExporterModule module("xv5");
    struct Case {
        int answer;
        std::size_t shapes;
        bool runs;
    } cases[] = {{IDYES, 4, true}, {IDNO, 3, true}, {IDCANCEL, 0, false}};
    for (const Case& c : cases) {
        module.Fail(-1, false);
        ui.messageAnswers = {c.answer};
        doc.OnExportTheme();
        const std::string log = module.Log();
        EXPECT_EQ(Lines(log, "shape ").size(), c.shapes) << log;
        EXPECT_EQ(Lines(log, "begin").size(), c.runs ? 1u : 0u) << log;
    }
}

TEST_F(DocExport, TheCommandIsEnabledForVectorThemesOrOneImageWithARaster) {
    OpenFixtureThemes();
    auto* image = new CTheme();
    image->m_ShapeType = SHT_Image;
    image->m_Name = "picture";
    doc.m_themes.push_back(image);
    auto* unloaded = new CTheme();
    unloaded->m_ShapeType = SHT_Image;
    unloaded->m_Name = "unloaded";
    doc.m_themes.push_back(unloaded);
    image->m_Raster.m_DisplayBitmap = QImage(4, 3, QImage::Format_RGB32);

    struct Case {
        std::vector<std::string> themes;
        bool enabled;
    } cases[] = {
        {{}, false},
        {{"towns"}, true},
        {{"towns", "parcels"}, true},
        {{"picture"}, true},
        {{"unloaded"}, false},
        {{"picture", "towns"}, false},
        {{"picture", "unloaded"}, false},
    };
    for (const Case& c : cases) {
        Select(c.themes);
        CCmdUI cmd(ID_THEME_EXPORT);
        ASSERT_TRUE(doc.OnCmdMsg(ID_THEME_EXPORT, &cmd));
        EXPECT_EQ(cmd.m_Enabled, c.enabled) << (c.themes.empty() ? "" : c.themes[0]);
    }

    // One image theme is saved as an image; the chooser is not shown.
    Select({"picture"});
    ui.saveAnswers = {dir.file("picture.png")};
    doc.OnExportTheme();
    EXPECT_EQ(services.chooserShown, 0);
    ASSERT_EQ(ui.saveRequests.size(), 1u);
    EXPECT_EQ(ui.saveRequests[0].title, "Save Raster Image");
    EXPECT_EQ(ui.saveRequests[0].filter, "PNG (*.png)|*.png|BMP (*.bmp)|*.bmp||");
    EXPECT_EQ(ui.saveRequests[0].defaultExtension, ".png");
    ASSERT_EQ(services.savedImages.size(), 1u);
    EXPECT_EQ(services.savedImages[0].first, QSize(4, 3));
    EXPECT_EQ(services.savedImages[0].second, dir.file("picture.png"));

    // Without the frame's services nothing is offered.
    SetDocumentExportServices(CDocumentExportServices());
    Select({"towns"});
    CCmdUI cmd(ID_THEME_EXPORT);
    doc.OnCmdMsg(ID_THEME_EXPORT, &cmd);
    EXPECT_FALSE(cmd.m_Enabled);
}

} // namespace
