// Files become themes: Add Theme, opening by path, folder scans, images and
// the recent shape files, with every message they show.

#include "workspace/CorvaleDoc.h"

// Before any Qt header: it names a member "slots", which Qt defines as a macro.
#include "workspace/gpi/GpiTestSupport.h"

#include "TempDir.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/FileWriter.h"
#include "shapes/RecordFixtures.h"
#include "shapes/ShapeFile.h"
#include "workspace/CommandIds.h"
#include "workspace/RecentShapeFileList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// QSettings reads XDG_CONFIG_HOME once, when the first QSettings of the
// process is made; the recent shape files are written there, so the variable
// points at a scratch folder from static initialisation on.
struct ConfigHome {
    ConfigHome() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
    TempDir dir;
};
const ConfigHome& g_configHome = [] () -> const ConfigHome& {
    static ConfigHome home;
    return home;
}();

const std::string kData = std::string(CORVALE_TEST_DATA);

std::string Copy(const std::string& fixture, const std::string& to) {
    WriteBytes(to, ReadBytes(kData + "/" + fixture));
    return to;
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// points.shp (3 points, bounds -3, -20 to 10, 4) with its index and a table
// of 3 rows and 5 columns, under the given stem.
std::string CopyPointTrio(const std::string& stem) {
    Copy("shapes/points.shx", stem + ".shx");
    Copy("dbf/gdal.dbf", stem + ".dbf");
    return Copy("shapes/points.shp", stem + ".shp");
}

// placed.png (bounds 99.5, 192.75 to 107.5, 201.75 by gdalinfo) with its world file.
std::string CopyPlacedImage(const std::string& stem) {
    Copy("raster/placed.pgw", stem + ".pgw");
    return Copy("raster/placed.png", stem + ".png");
}

// A shape file of one point.
std::string WriteOnePoint(const std::string& stem, double x, double y) {
    Bytes point = MakePoint(x, y);
    const CShapeRecord* records[] = {Rec(point)};
    CFileWriter shp, shx;
    EXPECT_TRUE(shp.Open((stem + ".shp").c_str()));
    EXPECT_TRUE(shx.Open((stem + ".shx").c_str()));
    EXPECT_TRUE(WriteShapeFile(shp, &shx, SHT_Point, 1, records));
    EXPECT_TRUE(shp.Close());
    EXPECT_TRUE(shx.Close());
    return stem + ".shp";
}

std::vector<std::string> ThemeNames(const CCorvaleDoc& doc) {
    std::vector<std::string> names;
    for (const CTheme* theme : doc.m_themes)
        names.push_back(theme->m_Name);
    return names;
}

using Extent = std::vector<double>;
Extent ExtentOf(const CCorvaleDoc& doc) { return Extent(doc.m_viewExtent, doc.m_viewExtent + 4); }

// A document that keeps the lines it writes to its console.
class CConsoleDoc : public CCorvaleDoc {
public:
    void PrintConsoleLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

struct AddedLog {
    void OnUpdate(const void*, int code, std::intptr_t data) {
        if (code == DUE_ThemeAdded)
            added.push_back(reinterpret_cast<CTheme*>(data));
    }
    std::vector<CTheme*> added;
};

// Every test starts from the default settings and puts back what it changed.
class OpenFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_Saved = *CAppSettings::GetInstance();
        CAppSettings::GetInstance()->SetDefaults();
    }
    void TearDown() override { *CAppSettings::GetInstance() = m_Saved; }
    CAppSettings& Settings() { return *CAppSettings::GetInstance(); }

    corvale::CScriptedUserInterface ui;
    TempDir dir;

private:
    CAppSettings m_Saved;
};

} // namespace

TEST_F(OpenFiles, AddThemeOpensShapeFilesAndImagesInTheOrderLoadToBottomGives) {
    for (const int loadToBottom : {0, 1}) {
        SCOPED_TRACE(loadToBottom);
        TempDir folder;
        const std::string shp = CopyPointTrio(folder.file("points"));
        const std::string png = CopyPlacedImage(folder.file("placed"));
        const std::string unknown = folder.file("notes.xyz");
        WriteText(unknown, "not a map");

        Settings().m_LoadToBottom = loadToBottom;
        ui.shown.clear();
        ui.waitCursorUses = 0;
        ui.openAnswers.push_back({shp, png, unknown});
        CCorvaleDoc doc;
        AddedLog log;
        doc.m_updateEvent.AddHandler(&log, &AddedLog::OnUpdate);
        ASSERT_TRUE(doc.OnCmdMsg(ID_INSERT_ADD_THEME, nullptr));

        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(ui.shown[0].kind, "open");
        EXPECT_EQ(ui.shown[0].text, "Add Themes");
        // A file that is neither a shape file nor an image is tried as an image.
        EXPECT_EQ(ui.Messages(),
                  (std::vector<std::string>{"Could not open image file:\n\n" + unknown + "\n\n\nOperation aborted."}));
        EXPECT_EQ(ui.shown.back().icon, corvale::MessageIcon::Error);
        EXPECT_GT(ui.waitCursorUses, 0);
        EXPECT_EQ(ui.waitCursorDepth, 0);

        ASSERT_EQ(doc.m_themes.size(), 2u);
        // Off: each new theme goes on top (the front); on: underneath.
        EXPECT_EQ(ThemeNames(doc), loadToBottom ? (std::vector<std::string>{"points.shp", "placed.png"})
                                                : (std::vector<std::string>{"placed.png", "points.shp"}));
        CTheme* points = doc.m_themes[loadToBottom ? 0 : 1];
        CTheme* image = doc.m_themes[loadToBottom ? 1 : 0];
        EXPECT_EQ(log.added, (std::vector<CTheme*>{points, image}));

        EXPECT_EQ(points->m_ShapeType, SHT_Point);
        EXPECT_EQ(points->m_SourceType, ST_ShapeFile);
        EXPECT_EQ(points->GetAllShapeCount(), 3);
        EXPECT_EQ(points->GetShapeCount(), 3);
        EXPECT_EQ(points->GetAttributeCount(), 5u);
        EXPECT_EQ(image->m_ShapeType, SHT_Image);
        EXPECT_EQ(image->m_SourceType, ST_ImageFile);
        EXPECT_TRUE(image->m_Raster.HasDisplayBitmap());
        EXPECT_EQ(Extent(image->m_Bounds, image->m_Bounds + 4), (Extent{99.5, 192.75, 107.5, 201.75}));

        // The first theme set the extent; the image did not move it.
        EXPECT_EQ(ExtentOf(doc), (Extent{-3, -20, 10, 4}));
        EXPECT_TRUE(doc.IsModified());
        // The image that failed last cleared the loading target.
        EXPECT_EQ(doc.m_loaderTargetTheme, nullptr);
        EXPECT_EQ(GetRecentShapeFiles().Get(0), png);
        EXPECT_EQ(GetRecentShapeFiles().Get(1), shp);
    }
}

TEST_F(OpenFiles, AddThemeCancelledAddsNothing) {
    CCorvaleDoc doc;
    ASSERT_TRUE(doc.OnCmdMsg(ID_INSERT_ADD_THEME, nullptr));
    EXPECT_TRUE(doc.m_themes.empty());
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(OpenFiles, TheFirstThemeZoomsToItAndLaterOnesKeepTheExtent) {
    CCorvaleDoc doc;
    doc.m_viewExtent[2] = doc.m_viewExtent[3] = 1.0;
    ASSERT_NE(doc.LoadShapeFile(WriteOnePoint(dir.file("one"), 12.5, -3.0), true), nullptr);
    // A single point: a 10 x 10 square around it.
    EXPECT_EQ(ExtentOf(doc), (Extent{7.5, -8.0, 17.5, 2.0}));
    ASSERT_NE(doc.LoadShapeFile(CopyPointTrio(dir.file("points")), true), nullptr);
    EXPECT_EQ(ExtentOf(doc), (Extent{7.5, -8.0, 17.5, 2.0}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(OpenFiles, NewThemesTakeTheirColoursAndVisibilityFromTheSettings) {
    Settings().m_ColorDefault = 0x123456;
    Settings().m_ColorOutline = 0x654321;
    Settings().m_ThemesVisible = 0;
    CCorvaleDoc doc;
    CTheme* shapes = doc.LoadShapeFile(CopyPointTrio(dir.file("points")), true);
    CTheme* image = doc.LoadRasterFile(CopyPlacedImage(dir.file("placed")));
    for (CTheme* theme : {shapes, image}) {
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(theme->m_Color, 0x123456u);
        EXPECT_EQ(theme->m_OutlineColor, 0x654321u);
        EXPECT_FALSE(theme->m_Visible);
        ASSERT_FALSE(theme->m_Styles.empty());
    }
    // The default style was rebuilt with the colours.
    EXPECT_EQ(shapes->GetShapeStyle(0), shapes->m_Styles[0].get());
    // The only theme counts for the first zoom though it is hidden.
    EXPECT_EQ(ExtentOf(doc), (Extent{-3, -20, 10, 4}));
}

TEST_F(OpenFiles, OpenDataFileTellsShapeFilesImagesAndTheRestApart) {
    // The extension test ignores case; the .shx beside it is found in any case.
    Copy("shapes/lines.shx", dir.file("ROADS.SHX"));
    const std::string roads = Copy("shapes/lines.shp", dir.file("ROADS.SHP"));
    const std::string image = CopyPlacedImage(dir.file("photo"));
    const std::string csv = dir.file("table.csv");
    WriteText(csv, "a,b\n1,2\n");

    CCorvaleDoc doc;
    EXPECT_TRUE(doc.OpenDataFile(roads, true));
    ASSERT_EQ(doc.m_themes.size(), 1u);
    EXPECT_EQ(doc.m_themes[0]->m_Name, "ROADS.SHP");
    EXPECT_EQ(doc.m_themes[0]->m_ShapeType, SHT_Polyline);
    EXPECT_FALSE(doc.m_themes[0]->m_ShxPath.empty());

    EXPECT_TRUE(doc.OpenDataFile(image, true));
    EXPECT_EQ(doc.m_themes.back()->m_Name, "photo.png");
    EXPECT_EQ(doc.m_themes.back()->m_ShapeType, SHT_Image);
    EXPECT_TRUE(ui.Messages().empty());

    EXPECT_FALSE(doc.OpenDataFile(csv, false));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(doc.OpenDataFile(csv, true));
    // The message names the file it refuses.
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Corvale does not understand this file format.\n\n" + csv}));

    // A missing .shp is no theme and no message: the caller decides.
    ui.shown.clear();
    EXPECT_FALSE(doc.OpenDataFile(dir.file("gone.shp"), true));
    EXPECT_EQ(doc.LoadShapeFile(dir.file("gone.shp"), true), nullptr);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(doc.m_themes.size(), 2u);
}

// A file read only in part must not pass for the whole file.
TEST_F(OpenFiles, AShapeFileThatCannotBeReadWholeGivesAMessageAndNoTheme) {
    const std::string multipoint = Copy("shapes/multipoint.shp", dir.file("multi.shp"));
    Copy("shapes/multipoint.shx", dir.file("multi.shx"));

    std::vector<unsigned char> bytes = ReadBytes(kData + "/shapes/points.shp");
    bytes.resize(bytes.size() - 10);
    const std::string truncated = dir.file("truncated.shp");
    WriteBytes(truncated, bytes);
    Copy("shapes/points.shx", dir.file("truncated.shx"));

    bytes.resize(60);
    const std::string headerOnly = dir.file("stub.shp");
    WriteBytes(headerOnly, bytes);

    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {multipoint, "Shape file contains unsupported shape type (8).\n\n" + multipoint},
        {truncated, "The shape file is damaged or incomplete:\n\n" + truncated + "\n\n\nNo theme was added."},
        {headerOnly, "The shape file is damaged or incomplete:\n\n" + headerOnly + "\n\n\nNo theme was added."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CConsoleDoc doc;
        doc.m_debugFlags = 2;
        ui.shown.clear();
        EXPECT_EQ(doc.LoadShapeFile(c.path, true), nullptr);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_EQ(doc.m_loaderTargetTheme, nullptr);
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(ui.Messages(), (std::vector<std::string>{c.message}));
        for (const std::string& line : doc.lines)
            EXPECT_EQ(line.find("Loaded shape file"), std::string::npos) << line;

        // Quietly, for folder scans.
        ui.shown.clear();
        EXPECT_FALSE(doc.OpenDataFile(c.path, false));
        EXPECT_TRUE(ui.shown.empty());
    }
}

TEST_F(OpenFiles, AnUnreadableTableLeavesTheThemeWithoutAttributes) {
    const std::string cut = CopyPointTrio(dir.file("cut"));
    // The table ends inside its column descriptors.
    std::vector<unsigned char> table = ReadBytes(kData + "/dbf/gdal.dbf");
    table.resize(40);
    WriteBytes(dir.file("cut.dbf"), table);
    const std::string garbage = CopyPointTrio(dir.file("garbage"));
    WriteText(dir.file("garbage.dbf"), "xx");

    for (const std::string& shp : {cut, garbage}) {
        SCOPED_TRACE(shp);
        const std::string dbf = shp.substr(0, shp.size() - 4) + ".dbf";
        CCorvaleDoc doc;
        ui.shown.clear();
        CTheme* theme = doc.LoadShapeFile(shp, true);
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(theme->GetAllShapeCount(), 3);
        EXPECT_EQ(theme->GetAttributeCount(), 0u);
        EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"The attribute file is invalid or unreadable:\n\n" + dbf +
                                                           "\n\n\nNo attributes will be loaded for this theme."}));
        ui.shown.clear();
        ASSERT_NE(doc.LoadShapeFile(shp, false), nullptr);
        EXPECT_TRUE(ui.shown.empty());
    }

    // A missing table is no fault.
    Copy("shapes/points.shx", dir.file("bare.shx"));
    CCorvaleDoc doc;
    ui.shown.clear();
    ASSERT_NE(doc.LoadShapeFile(Copy("shapes/points.shp", dir.file("bare.shp")), true), nullptr);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(OpenFiles, ADamagedTableIsReadWithAWarningOnce) {
    // gdal.dbf as dbfdump reads it (dbf/gdal.dbfdump.txt): 3 rows, 5 columns,
    // a header of 193 bytes and rows of 38.
    const std::vector<std::vector<std::string>> good = {
        {"Harbour", "12", "1234.50", "20260115", "1"},
        {"  Mill", "-3", "0.25", "19991231", "0"},
        {"", "", "", "00000000", ""},
    };
    const std::vector<unsigned char> table = ReadBytes(kData + "/dbf/gdal.dbf");
    auto withHeaderLength = [&](std::uint16_t length) {
        std::vector<unsigned char> b = table;
        b[8] = static_cast<unsigned char>(length & 0xFF);
        b[9] = static_cast<unsigned char>(length >> 8);
        return b;
    };
    std::vector<unsigned char> cut = table;
    cut.resize(cut.size() - 20);
    std::vector<unsigned char> padded = withHeaderLength(193 + 6);
    padded.insert(padded.begin() + 193, 6, 0);

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        int rowsRead;
        const char* first; // null: no message
        const char* last;
    };
    const Case cases[] = {
        {"header length inside the descriptors", withHeaderLength(80), 3,
         "The header of the attribute file is damaged:",
         "Its records were read from where its field list ends."},
        {"header length past the end", withHeaderLength(0xFFFF), 3,
         "The header of the attribute file is damaged:",
         "Its records were read from where its field list ends."},
        {"the last record cut", cut, 2,
         "The attribute file is incomplete:", "2 of 3 records could be read."},
        {"a padded header", padded, 3, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        const std::string shp = CopyPointTrio(folder.file("towns"));
        const std::string dbf = folder.file("towns.dbf");
        WriteBytes(dbf, c.bytes);
        CCorvaleDoc doc;
        ui.shown.clear();
        CTheme* theme = doc.LoadShapeFile(shp, true);
        ASSERT_NE(theme, nullptr);
        ASSERT_EQ(theme->GetAttributeCount(), 5u);
        for (int row = 0; row < 3; ++row)
            for (int field = 0; field < 5; ++field)
                EXPECT_EQ(theme->GetAttributeTextAt(row, field),
                          row < c.rowsRead ? good[row][field] : std::string("#Error#"))
                    << "row " << row << " field " << field;
        if (c.first == nullptr) {
            EXPECT_TRUE(ui.shown.empty());
        } else {
            EXPECT_EQ(ui.Messages(), (std::vector<std::string>{std::string(c.first) + "\n\n" + dbf +
                                                               "\n\n\n" + c.last}));
            ASSERT_EQ(ui.shown.size(), 1u);
            EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Warning);
            EXPECT_EQ(ui.shown[0].buttons, corvale::MessageButtons::Ok);
        }
        // Quietly, for folder scans.
        ui.shown.clear();
        ASSERT_NE(doc.LoadShapeFile(shp, false), nullptr);
        EXPECT_TRUE(ui.shown.empty());
    }
}

TEST_F(OpenFiles, LoadingMessagesReachTheConsoleUnderTheLoadingFlagOnly) {
    Copy("shapes/lines.shx", dir.file("lines.shx"));
    Copy("shapes/polygons.shx", dir.file("polygons.shx"));
    Copy("shapes/multipoint.shx", dir.file("multi.shx"));
    const std::vector<std::string> files = {
        CopyPointTrio(dir.file("points")),
        Copy("shapes/lines.shp", dir.file("lines.shp")),
        Copy("shapes/polygons.shp", dir.file("polygons.shp")),
        Copy("shapes/multipoint.shp", dir.file("multi.shp")),
        CopyPlacedImage(dir.file("placed")),
    };
    for (const unsigned char flags : {static_cast<unsigned char>(2), static_cast<unsigned char>(8 | 4 | 1)}) {
        CConsoleDoc doc;
        doc.m_debugFlags = flags;
        for (const std::string& file : files)
            doc.OpenDataFile(file, false);
        if (flags & 2) {
            EXPECT_EQ(doc.lines, (std::vector<std::string>{"Loaded shape file containing 3 points.",
                                                           "Loaded shape file containing 2 arcs.",
                                                           "Loaded shape file containing 2 polygons.",
                                                           "Shape file contains unsupported shape type (8).",
                                                           "Loaded raster file."}));
        } else {
            EXPECT_TRUE(doc.lines.empty());
        }
    }

    // The lines reach the console the scripting side installed.
    const CDocumentConsoleServices saved = GetDocumentConsoleServices();
    std::vector<std::string> printed;
    CDocumentConsoleServices console;
    console.printLine = [&printed](CCorvaleDoc&, const std::string& text) { printed.push_back(text); };
    SetDocumentConsoleServices(console);
    CCorvaleDoc doc;
    doc.m_debugFlags = 2;
    doc.OpenDataFile(files[0], false);
    SetDocumentConsoleServices(saved);
    EXPECT_EQ(printed, (std::vector<std::string>{"Loaded shape file containing 3 points."}));
}

TEST_F(OpenFiles, AnImageWithoutWorldFileIsAddedAndGeoreferencedByTheUser) {
    const CDocumentDialogServices saved = GetDocumentDialogServices();
    std::vector<CTheme*> calibrated;
    CDocumentDialogServices services;
    services.transformImage = [&calibrated](CCorvaleDoc*, CTheme* theme) { calibrated.push_back(theme); };
    SetDocumentDialogServices(services);

    CCorvaleDoc doc;
    CTheme* placed = doc.LoadRasterFile(CopyPlacedImage(dir.file("placed")));
    ASSERT_NE(placed, nullptr);
    EXPECT_TRUE(calibrated.empty());
    CTheme* loose = doc.LoadRasterFile(Copy("raster/placed.png", dir.file("loose.png")));
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(calibrated, (std::vector<CTheme*>{loose}));
    // Where the default placement puts it: one unit per pixel at the origin.
    EXPECT_EQ(Extent(loose->m_Bounds, loose->m_Bounds + 4), (Extent{-0.5, -2.5, 3.5, 0.5}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(ui.Messages().empty());
    SetDocumentDialogServices(saved);
}

TEST_F(OpenFiles, FolderScansOpenFilesBeforeSubfoldersAndSurviveLinkCycles) {
    namespace fs = std::filesystem;
    Settings().m_LoadToBottom = 1;
    const std::string root = dir.file("maps");
    fs::create_directories(root + "/sub/deeper");
    CopyPointTrio(root + "/a");
    CopyPointTrio(root + "/b");
    CopyPointTrio(root + "/sub/c");
    CopyPointTrio(root + "/sub/deeper/d");
    CopyPlacedImage(root + "/image");
    // Links back up the tree and sideways into a folder seen already.
    fs::create_directory_symlink(root, root + "/sub/deeper/up");
    fs::create_directory_symlink(root + "/sub", root + "/again");

    CCorvaleDoc doc;
    EXPECT_TRUE(doc.LoadShapeFolder(root, false));
    const std::vector<std::string> names = ThemeNames(doc);
    ASSERT_EQ(names.size(), 4u);
    // The folder's own files in listing order, then each subfolder's.
    EXPECT_TRUE((names[0] == "a.shp" && names[1] == "b.shp") || (names[0] == "b.shp" && names[1] == "a.shp"));
    EXPECT_EQ(names[2], "c.shp");
    EXPECT_EQ(names[3], "d.shp");
    EXPECT_GT(ui.waitCursorUses, 0);
    EXPECT_EQ(ui.waitCursorDepth, 0);

    // A folder that does not exist scans nothing.
    CCorvaleDoc empty;
    EXPECT_TRUE(empty.LoadShapeFolder(dir.file("nowhere"), true));
    EXPECT_TRUE(empty.m_themes.empty());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(OpenFiles, ThemeNamesAreTheFileNameWhateverThePathsLength) {
    // Longer than any fixed buffer of 250 or 260 characters would hold.
    std::string folder = dir.path();
    for (int i = 0; i < 8; ++i)
        folder += "/a-rather-long-folder-name-for-a-deep-tree-" + std::to_string(i);
    std::filesystem::create_directories(folder);
    const std::string shp = CopyPointTrio(folder + "/points-with-a-long-name");
    ASSERT_GT(shp.size(), 300u);
    // A name written on Windows may hold a backslash: it separates too.
    const std::string windowsName = CopyPointTrio(dir.file("old\\roads"));

    CCorvaleDoc doc;
    CTheme* theme = doc.LoadShapeFile(shp, true);
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(theme->m_Name, "points-with-a-long-name.shp");
    EXPECT_EQ(theme->GetAttributeCount(), 5u);
    ASSERT_NE(doc.LoadShapeFile(windowsName, true), nullptr);
    EXPECT_EQ(doc.m_themes.back()->m_Name, "roads.shp");
    EXPECT_EQ(GetRecentShapeFiles().Get(1), shp);
}

TEST_F(OpenFiles, RecentShapeFilesAreWrittenAtOnceAndOpenAgain) {
    const std::string shp = CopyPointTrio(dir.file("points"));
    const std::string png = CopyPlacedImage(dir.file("placed"));
    CCorvaleDoc doc;
    ASSERT_NE(doc.LoadShapeFile(shp, true), nullptr);
    ASSERT_NE(doc.LoadRasterFile(png), nullptr);

    CRecentShapeFileList stored;
    stored.ReadList();
    ASSERT_GE(stored.GetEntries().size(), 2u);
    EXPECT_EQ(stored.Get(0), png);
    EXPECT_EQ(stored.Get(1), shp);

    // Entry 0 is the image, entry 1 the shape file.
    ASSERT_TRUE(doc.OnCmdMsg(ID_RECENT_SHAPE_FILE_FIRST, nullptr));
    ASSERT_TRUE(doc.OnCmdMsg(ID_RECENT_SHAPE_FILE_FIRST + 1, nullptr));
    ASSERT_EQ(doc.m_themes.size(), 4u);
    EXPECT_EQ(doc.m_themes[2]->m_ShapeType, SHT_Image);
    EXPECT_EQ(doc.m_themes[3]->m_ShapeType, SHT_Point);
    EXPECT_EQ(GetCommandPrompt(ID_RECENT_SHAPE_FILE_FIRST + 3), std::string("Load this shape file\nLoad File"));
}

TEST(RecentShapeFileList, KeepsTenPathsNewestFirstWithoutRepeats) {
    CRecentShapeFileList list;
    for (int i = 0; i < 12; ++i)
        list.Add("/maps/" + std::to_string(i) + ".shp");
    ASSERT_EQ(list.GetEntries().size(), 10u);
    EXPECT_EQ(list.Get(0), "/maps/11.shp");
    EXPECT_EQ(list.Get(9), "/maps/2.shp");
    EXPECT_EQ(list.Get(10), "");
    EXPECT_EQ(list.Get(-1), "");

    list.Add("/maps/5.shp");
    EXPECT_EQ(list.GetEntries().size(), 10u);
    EXPECT_EQ(list.Get(0), "/maps/5.shp");
    EXPECT_EQ(list.Get(1), "/maps/11.shp");
    EXPECT_EQ(std::count(list.GetEntries().begin(), list.GetEntries().end(), "/maps/5.shp"), 1);
    // Linux file names have case.
    list.Add("/maps/11.SHP");
    EXPECT_EQ(list.Get(0), "/maps/11.SHP");
    EXPECT_EQ(list.Get(2), "/maps/11.shp");

    // A relative path is kept as the absolute path it names now.
    list.Add("relative/x.shp");
    EXPECT_EQ(list.Get(0), (std::filesystem::current_path() / "relative/x.shp").string());
}

TEST(DocumentShapeCallback, HandsRecordsToTheTargetTheme) {
    CCorvaleDoc doc;
    Bytes point = MakePoint(4, 5);
    EXPECT_FALSE(CCorvaleDoc::ShapeCallback(&doc, Rec(point), 7));
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    doc.m_loaderTargetTheme = &theme;
    EXPECT_FALSE(CCorvaleDoc::ShapeCallback(&doc, nullptr, 3));
    EXPECT_EQ(theme.m_LastLoaderHandle, 3);
    EXPECT_TRUE(CCorvaleDoc::ShapeCallback(&doc, Rec(point), 9));
    EXPECT_EQ(theme.m_LastLoaderHandle, 9);
    ASSERT_EQ(theme.m_Points.size(), 1u);
    EXPECT_TRUE(theme.m_BoundsValid);
    EXPECT_EQ(theme.m_Bounds[0], 4.0);
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    EXPECT_FALSE(CCorvaleDoc::ShapeCallback(&doc, Rec(line), 1));
    doc.m_loaderTargetTheme = nullptr;
}

// The plug-ins hear of each new theme once it is in the workspace and
// complete: a shape file with its records, an image as an image theme.
TEST_F(GpiHostTest, PluginsHearOfEveryNewThemeWhenItIsInPlace) {
    TempDir dir;
    CCorvaleDoc doc;
    struct Heard {
        std::uint32_t theme;
        std::size_t themeCount;
    };
    std::vector<Heard> heard;
    const std::uint32_t plugin = AddPlugin([&](std::uint32_t, std::uint32_t hookType, void* args) {
        if (hookType == GPIHOOK_ThemeAdded)
            heard.push_back({static_cast<GpiHookThemeArgs*>(args)->theme, doc.m_themes.size()});
        return 0;
    });
    Subscribe(plugin, GPIHOOK_ThemeAdded, 0);

    CTheme* points = doc.LoadShapeFile(CopyPointTrio(dir.file("points")), true);
    CTheme* image = doc.LoadRasterFile(CopyPlacedImage(dir.file("placed")));
    ASSERT_NE(points, nullptr);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].theme, GpiThemeHandle(points));
    EXPECT_EQ(heard[0].themeCount, 1u);
    EXPECT_EQ(heard[1].theme, GpiThemeHandle(image));
    EXPECT_EQ(heard[1].themeCount, 2u);

    // A file that gives no theme is never announced.
    WriteText(dir.file("bad.png"), "no image");
    EXPECT_EQ(doc.LoadRasterFile(dir.file("bad.png")), nullptr);
    EXPECT_EQ(heard.size(), 2u);
}
