// The workspace file: saved, opened and saved again byte for byte; files of
// older versions read with the document's defaults for what they lack; newer
// and damaged files refused without loading anything; failed saves leaving
// the old file; CWorkspaceFileLoader and Import From Workspace File with their
// messages.
//
// The files of older versions are made by tests/data/workspace/make_workspaces.py.

#include "workspace/CorvaleDoc.h"

#include "TempDir.h"
#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/Archive.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"
#include "workspace/ViewMessages.h"
#include "workspace/WorkspaceFile.h"
#include "workspace/WorkspaceFileLoader.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(CORVALE_TEST_DATA);
const std::string kWorkspaces = kData + "/workspace/";

std::string Copy(const std::string& fixture, const std::string& to) {
    WriteBytes(to, ReadBytes(kData + "/" + fixture));
    return to;
}

int RefSysIndexOfId(std::uint32_t id) {
    for (int i = 0; i < kRefSysCount; ++i)
        if (GetRefSysEntry(i)->id == id)
            return i;
    return -1;
}

// Records what the document announces.
struct UpdateLog {
    explicit UpdateLog(CCorvaleDoc& doc) : m_Doc(doc) { doc.m_updateEvent.AddHandler(this, &UpdateLog::OnUpdate); }
    ~UpdateLog() { m_Doc.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    bool Heard(int code) const {
        for (const auto& e : events)
            if (e.first == code)
                return true;
        return false;
    }
    CCorvaleDoc& m_Doc;
    std::vector<std::pair<int, std::intptr_t>> events;
};

CTheme* NewNativeTheme(std::uint32_t type, const std::string& name) {
    auto* theme = new CTheme;
    theme->m_ShapeType = type;
    theme->m_Name = name;
    theme->ConvertToNative(true, true);
    return theme;
}

// A polygon theme with two columns and two squares, and a rule on a column.
CTheme* NewParcels() {
    CTheme* theme = NewNativeTheme(SHT_Polygon, "Parcels");
    CAttributeFieldInfo owner;
    owner.m_Name = "OWNER";
    owner.m_Length = 20;
    theme->AddAttribute(owner, nullptr, "who owns it");
    CAttributeFieldInfo area;
    area.m_Name = "AREA";
    area.m_Type = FT_Double;
    area.m_Length = 10;
    area.m_Decimals = 2;
    theme->AddAttribute(area, "0", nullptr);
    const Parts squares[] = {{{{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}}, {{{5, 5}, {5, 9}, {9, 9}, {9, 5}, {5, 5}}}};
    const char* owners[] = {"Town", "Mill"};
    const char* areas[] = {"4.00", "16.00"};
    for (int i = 0; i < 2; ++i) {
        Bytes record = MakeMulti(SHT_Polygon, squares[i]);
        theme->AddPolygon(Rec(record), false, false, false);
        theme->SetAttributeText(i, 0, owners[i], false);
        theme->SetAttributeText(i, 1, areas[i], false);
    }
    theme->m_AdvancedProperties.m_Properties = {CAdvancedProperty("[AREA] > 10", 0x00FF00, 0x000000, 2)};
    theme->UpdateStyles();
    return theme;
}

// The workspace of the round trip: a shape-file theme with a rule, a native
// theme with attributes, an image theme, and every document setting away
// from its default.
struct FullWorkspace {
    FullWorkspace() {
        const std::string stem = dir.file("towns");
        Copy("shapes/points.shp", stem + ".shp");
        Copy("shapes/points.shx", stem + ".shx");
        Copy("dbf/gdal.dbf", stem + ".dbf");
        image = Copy("raster/placed.png", dir.file("placed.png"));
        Copy("raster/placed.pgw", dir.file("placed.pgw"));

        auto* towns = new CTheme;
        towns->OpenShapeFile(stem + ".shp");
        towns->m_Name = "Towns";
        towns->m_AdvancedProperties.m_Properties = {CAdvancedProperty("[COUNT] > 0", 0x0000FF, 0x0000FF, 3)};
        towns->m_ShowLabels = true;
        towns->UpdateStyles();

        auto* photo = new CTheme;
        photo->LoadRaster(image);
        photo->m_ShapeType = SHT_Image;
        photo->m_SourceType = ST_ImageFile;
        photo->m_Name = "Photo";
        photo->RotateRaster(0.1);

        doc.m_themes = {towns, NewParcels(), photo};
        doc.m_description = "Harbour district";
        const double extent[4] = {-3.0, -20.0, 10.0, 4.0};
        std::copy(extent, extent + 4, doc.m_viewExtent);
        doc.m_backgroundColor = 0x336699;
        doc.m_gridSpacingX = 0.5;
        doc.m_gridSpacingY = 0.25;
        doc.m_bookmarks = {new CBookmarkRecord{1.0, 2.0, "Quay", 0.125}, new CBookmarkRecord{3.0, 4.0, "", 2.0}};
        doc.m_refSystem = RefSysIndexOfId(2);
        doc.m_earthRadius = 6378137.0;
        doc.m_toolMode = MT_Pan;
        doc.m_gpiDataBlocks = {{"{WORKSPACE-PLUGIN}", {1, 2, 3, 4}}};
        doc.m_themes[1]->SetGpiDataBlock({"{THEME-PLUGIN}", {5, 6}});
        path = dir.file("harbour.cvw");
    }
    TempDir dir;
    std::string image;
    std::string path;
    CCorvaleDoc doc;
};

// A small workspace of native themes only, which opens without asking for
// any file.
std::vector<unsigned char> NativeWorkspaceBytes() {
    CCorvaleDoc doc;
    doc.m_themes = {NewParcels(), NewNativeTheme(SHT_Point, "Empty")};
    doc.m_description = "Native";
    doc.m_bookmarks = {new CBookmarkRecord{1.0, 2.0, "Mark", 1.0}};
    doc.m_gpiDataBlocks = {{"{P}", {7}}};
    CArchive ar;
    doc.Serialize(ar);
    return ar.GetStored();
}

// A view whose posted messages are delivered through Qt's event queue.
class RecordingView : public CView {
public:
    struct Target : QObject {
        explicit Target(RecordingView* view) : m_View(view) {}
        bool event(QEvent* e) override { return DispatchPostedMessage(m_View, e) || QObject::event(e); }
        RecordingView* m_View;
    };
    RecordingView() : m_Target(this) {}
    QObject* GetMessageObject() override { return &m_Target; }
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    struct Message {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> messages;
    Target m_Target;
};

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "workspace_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

} // namespace

TEST(WorkspaceFile, SavedOpenedAndSavedAgainIsTheSameFile) {
    FullWorkspace full;
    corvale::CScriptedUserInterface ui;
    ASSERT_TRUE(full.doc.SaveWorkspace(full.path));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(full.doc.GetPathName(), full.path);
    EXPECT_FALSE(full.doc.IsModified());

    CCorvaleDoc reopened;
    UpdateLog log(reopened);
    ASSERT_TRUE(reopened.OpenWorkspace(full.path));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_EQ(reopened.GetPathName(), full.path);

    ASSERT_EQ(reopened.m_themes.size(), 3u);
    CTheme* towns = reopened.m_themes[0];
    EXPECT_EQ(towns->m_Name, "Towns");
    EXPECT_EQ(towns->m_SourceType, static_cast<std::uint32_t>(ST_ShapeFile));
    EXPECT_EQ(towns->GetAllShapeCount(), 3);
    EXPECT_EQ(towns->m_AdvancedProperties, full.doc.m_themes[0]->m_AdvancedProperties);
    EXPECT_TRUE(towns->m_ShowLabels);
    CTheme* parcels = reopened.m_themes[1];
    EXPECT_EQ(parcels->m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(parcels->GetAttributeText(1, 0), "Mill");
    EXPECT_EQ(parcels->GetAttributeText(1, 1), "16.00");
    EXPECT_EQ(*parcels->m_NativeTable.GetDescription(0), "who owns it");
    EXPECT_EQ(parcels->GetShapeStyle(1), parcels->m_Styles[1].get());
    EXPECT_EQ(parcels->m_GpiData.size(), 1u);
    CTheme* photo = reopened.m_themes[2];
    EXPECT_EQ(photo->m_Raster.m_ImagePath, full.image);
    EXPECT_EQ(photo->m_Raster.m_Transformation.GetB(), full.doc.m_themes[2]->m_Raster.m_Transformation.GetB());

    EXPECT_EQ(reopened.m_description, "Harbour district");
    EXPECT_EQ(reopened.m_viewExtent[1], -20.0);
    EXPECT_EQ(reopened.m_backgroundColor, 0x336699u);
    EXPECT_EQ(reopened.m_gridSpacingY, 0.25);
    ASSERT_EQ(reopened.m_bookmarks.size(), 2u);
    EXPECT_EQ(reopened.m_bookmarks[0]->m_Name, "Quay");
    EXPECT_EQ(reopened.m_bookmarks[0]->m_UnitsPerPixel, 0.125);
    EXPECT_EQ(reopened.m_bookmarks[1]->m_Name, "");
    EXPECT_EQ(reopened.m_bookmarks[1]->m_Y, 4.0);
    EXPECT_EQ(reopened.m_refSystem, full.doc.m_refSystem);
    EXPECT_EQ(reopened.m_earthRadius, 6378137.0);
    ASSERT_EQ(reopened.m_gpiDataBlocks.size(), 1u);
    EXPECT_EQ(reopened.m_gpiDataBlocks[0].m_Data, (std::vector<unsigned char>{1, 2, 3, 4}));
    // The tool mode is never restored; the first theme is the active one.
    EXPECT_EQ(reopened.m_toolMode, static_cast<std::uint32_t>(MT_Select));
    EXPECT_EQ(reopened.m_activeTheme, towns);
    EXPECT_EQ(reopened.m_selectedThemes, std::vector<CTheme*>{towns});
    EXPECT_TRUE(log.Heard(DUE_ActiveThemeChanged));
    ASSERT_FALSE(ui.paneTexts.empty());
    EXPECT_EQ(ui.paneTexts.back(), (std::pair<int, std::string>(1130, GetRefSysEntry(reopened.m_refSystem)->name)));

    // Saved again, the file is the same but for the tool mode (after the
    // version, the description and the reserved word), which a workspace
    // does not keep.
    const std::vector<unsigned char> first = ReadBytes(full.path);
    const std::size_t toolModeAt = 4 + 1 + full.doc.m_description.size() + 4;
    EXPECT_EQ(corvale::ReadLE32(first.data() + toolModeAt), static_cast<std::uint32_t>(MT_Pan));
    std::vector<unsigned char> expected = first;
    corvale::WriteLE32(expected.data() + toolModeAt, MT_Select);
    const std::string again = full.dir.file("again.cvw");
    ASSERT_TRUE(reopened.SaveWorkspace(again));
    EXPECT_EQ(ReadBytes(again), expected);

    // And once more, byte for byte.
    CCorvaleDoc third;
    ASSERT_TRUE(third.OpenWorkspace(again));
    const std::string last = full.dir.file("last.cvw");
    ASSERT_TRUE(third.SaveWorkspace(last));
    EXPECT_EQ(ReadBytes(last), expected);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(WorkspaceFile, OlderVersionsKeepTheDocumentsDefaultsForWhatTheyLack) {
    const CCorvaleDoc fresh;
    struct Expected {
        const char* file;
        std::string description;
        std::uint32_t background;
        double gridX;
        std::size_t bookmarks;
        std::uint32_t openProperties;
        int refSystem;
        double earthRadius;
        std::size_t workspaceBlocks;
        std::vector<std::string> themes;
    };
    const std::vector<Expected> cases = {
        {"v1.cvw", fresh.m_description, fresh.m_backgroundColor, fresh.m_gridSpacingX, 0, 0, -1,
         fresh.m_earthRadius, 0, {"Old points"}},
        {"v4.cvw", "Four", 0x112233, 2.5, 2, 0, -1, fresh.m_earthRadius, 0, {"Roads"}},
        {"v5.cvw", "Five", 0x112233, 2.5, 1, 1, -1, fresh.m_earthRadius, 0, {"Places"}},
        {"v6.cvw", "Sechs \xc3\xa4", 0x112233, 2.5, 0, 0, -1, fresh.m_earthRadius, 1, {"Rules"}},
        {"v7.cvw", "Seven", 0x112233, 2.5, 2, 0, RefSysIndexOfId(2), 6378137.0, 0, {"Twenty", "Twenty-one"}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.file);
        corvale::CScriptedUserInterface ui;
        CCorvaleDoc doc;
        doc.m_toolMode = MT_ZoomIn;
        ASSERT_TRUE(doc.OpenWorkspace(kWorkspaces + e.file)) << ::testing::PrintToString(ui.Messages());
        EXPECT_EQ(doc.m_description, e.description);
        EXPECT_EQ(doc.m_backgroundColor, e.background);
        EXPECT_EQ(doc.m_gridSpacingX, e.gridX);
        EXPECT_EQ(doc.m_bookmarks.size(), e.bookmarks);
        EXPECT_EQ(doc.m_openPropertiesFlag, e.openProperties);
        EXPECT_EQ(doc.m_refSystem, e.refSystem);
        EXPECT_EQ(doc.m_earthRadius, e.earthRadius);
        EXPECT_EQ(doc.m_gpiDataBlocks.size(), e.workspaceBlocks);
        EXPECT_EQ(doc.m_toolMode, static_cast<std::uint32_t>(MT_Select));
        ASSERT_EQ(doc.m_themes.size(), e.themes.size());
        for (std::size_t i = 0; i < e.themes.size(); ++i) {
            EXPECT_EQ(doc.m_themes[i]->m_Name, e.themes[i]);
            EXPECT_FALSE(doc.m_themes[i]->m_Modified);
        }
        EXPECT_FALSE(doc.IsModified());
        EXPECT_TRUE(ui.Messages().empty());
    }
}

TEST(WorkspaceFile, ThemesOfOlderFilesCarryWhatTheirSchemaHeld) {
    corvale::CScriptedUserInterface ui;
    CCorvaleDoc v1;
    ASSERT_TRUE(v1.OpenWorkspace(kWorkspaces + "v1.cvw"));
    // Native data of version 1: the row of the deleted shape is gone.
    CTheme* old = v1.m_themes[0];
    ASSERT_EQ(old->GetAllShapeCount(), 2);
    EXPECT_EQ(old->GetAttributeText(1, 0), "third");
    EXPECT_EQ(old->m_Comment, "");

    CCorvaleDoc v4;
    ASSERT_TRUE(v4.OpenWorkspace(kWorkspaces + "v4.cvw"));
    CTheme* roads = v4.m_themes[0];
    EXPECT_EQ(roads->m_LabelAlignment, 2);
    EXPECT_EQ(roads->m_Comment, "four");
    EXPECT_FALSE(roads->m_ShowArrows);
    EXPECT_TRUE(roads->m_AdvancedProperties.m_Properties.empty());
    EXPECT_EQ(roads->m_Bounds[2], 4.0);
    EXPECT_EQ(v4.m_bookmarks[0]->m_Name, "Harbour");
    EXPECT_EQ(v4.m_bookmarks[1]->m_Name, "");
    EXPECT_EQ(v4.m_bookmarks[1]->m_X, 3.0);

    CCorvaleDoc v6;
    ASSERT_TRUE(v6.OpenWorkspace(kWorkspaces + "v6.cvw"));
    CTheme* rules = v6.m_themes[0];
    ASSERT_EQ(rules->m_AdvancedProperties.m_Properties.size(), 1u);
    EXPECT_EQ(rules->m_AdvancedProperties.m_Properties[0].Condition, "[NAME] = 'Seven'");
    EXPECT_EQ(rules->GetShapeStyle(0), rules->m_Styles[1].get());
    ASSERT_EQ(rules->m_GpiData.size(), 1u);
    EXPECT_EQ(rules->m_GpiData[0].m_PluginName, "{PLUGIN-A}");
    EXPECT_EQ(v6.m_gpiDataBlocks[0].m_Data, (std::vector<unsigned char>{'d', 'a', 't', 'a'}));

    CCorvaleDoc v7;
    ASSERT_TRUE(v7.OpenWorkspace(kWorkspaces + "v7.cvw"));
    EXPECT_EQ(v7.m_themes[1]->m_ArrowImage.GetArrowColor(), 0x0000BBu);
    EXPECT_EQ(v7.m_themes[1]->m_ArrowPosition, 0.5f);
    // Stored and read again, an older file comes back as it was read.
    CArchive first;
    v7.Serialize(first);
    CCorvaleDoc again;
    CArchive in(first.GetStored().data(), first.GetStored().size());
    again.Serialize(in);
    CArchive second;
    again.Serialize(second);
    EXPECT_EQ(second.GetStored(), first.GetStored());
}

TEST(WorkspaceFile, ThemesOfEverySourceComeBackAndAreStoredAsTheyCame) {
    const std::string path = kWorkspaces + "v7-sources.cvw";
    // A relative path is looked for beside the workspace file.
    auto question = [](const std::string& folder) {
        return "Corvale was unable to open " + folder + "/missing/roads.shp.\nWould you like to browse for the file?";
    };
    corvale::CScriptedUserInterface ui;
    ui.messageAnswers = {corvale::IDNO};
    CCorvaleDoc doc;
    ASSERT_TRUE(doc.OpenWorkspace(path));
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{question(kWorkspaces.substr(0, kWorkspaces.size() - 1))});
    ASSERT_EQ(doc.m_themes.size(), 5u);
    EXPECT_EQ(doc.m_refSystem, -1);

    // A loader whose plug-in is not bound: no records, its block kept.
    CTheme* block = doc.m_themes[0];
    EXPECT_EQ(block->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_EQ(block->m_ShapeType, static_cast<std::uint32_t>(SHT_Polygon));
    EXPECT_EQ(block->GetAllShapeCount(), 0);
    EXPECT_EQ(block->m_LoaderPath, "C:\\Corvale\\Plugins\\Grindal.ldr");
    EXPECT_EQ(block->m_LoaderData, (std::vector<unsigned char>{1, 's', 't', 'a', 't', 'e'}));
    // A loader that stored its records: a native theme.
    CTheme* records = doc.m_themes[1];
    EXPECT_EQ(records->m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(records->m_FormerSourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_TRUE(records->m_Editable);
    ASSERT_EQ(records->GetAllShapeCount(), 1);
    EXPECT_EQ(records->GetAttributeText(0, 0), "from the loader");
    // The shape file that is not there keeps its paths and stored bounds.
    CTheme* roads = doc.m_themes[2];
    EXPECT_EQ(roads->m_SourceType, static_cast<std::uint32_t>(ST_ShapeFile));
    EXPECT_EQ(roads->m_ShpPath, "missing/roads.shp");
    EXPECT_EQ(roads->m_DbfPath, "missing/roads.dbf");
    EXPECT_EQ(roads->GetAllShapeCount(), 0);
    EXPECT_FALSE(roads->m_BoundsValid);
    EXPECT_EQ(roads->m_Bounds[2], 50.0);
    // The image: its raster part, loaded when drawn, and its stored bounds.
    CTheme* scan = doc.m_themes[3];
    EXPECT_EQ(scan->m_Raster.m_ImagePath, "scans/sheet.png");
    ASSERT_EQ(scan->m_Raster.m_ControlPoints.size(), 2u);
    EXPECT_EQ(scan->m_Raster.m_ControlPoints[1].column, 4);
    EXPECT_EQ(scan->m_Raster.m_ControlPoints[1].y, 200.0);
    EXPECT_EQ(scan->m_Raster.m_Transformation.GetA(), 2.0);
    EXPECT_EQ(scan->m_Raster.m_Transformation.GetF(), 209.0);
    EXPECT_FALSE(scan->m_RasterLoaded);
    EXPECT_FALSE(scan->m_Raster.HasDisplayBitmap());
    EXPECT_TRUE(scan->m_BoundsValid);
    EXPECT_EQ(scan->m_Bounds[3], 209.0);
    EXPECT_EQ(doc.m_themes[4]->m_SourceType, static_cast<std::uint32_t>(ST_ParentTheme));

    // Saved, opened and saved again: the same file.
    TempDir dir;
    ASSERT_TRUE(doc.SaveWorkspace(dir.file("first.cvw")));
    ui.messageAnswers = {corvale::IDNO};
    CCorvaleDoc reopened;
    ASSERT_TRUE(reopened.OpenWorkspace(dir.file("first.cvw")));
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{question(kWorkspaces.substr(0, kWorkspaces.size() - 1)),
                                                        question(dir.path())}));
    ASSERT_TRUE(reopened.SaveWorkspace(dir.file("second.cvw")));
    EXPECT_EQ(ReadBytes(dir.file("second.cvw")), ReadBytes(dir.file("first.cvw")));
}

TEST(WorkspaceFile, OpeningWithTheOpenPropertiesFlagAsksTheViews) {
    App();
    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    RecordingView view;
    doc.AddView(&view);
    ASSERT_TRUE(doc.OpenWorkspace(kWorkspaces + "v5.cvw"));
    EXPECT_TRUE(view.messages.empty()); // posted, not sent
    QCoreApplication::sendPostedEvents(&view.m_Target);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].message, WM_SHOW_WORKSPACE_PROPERTIES);
    EXPECT_EQ(view.messages[0].wParam, 0u);
    EXPECT_EQ(view.messages[0].lParam, 1);
    doc.RemoveView(&view);
}

TEST(WorkspaceFile, ANewerVersionIsRefusedWithItsMessageAndLoadsNothing) {
    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    doc.m_description = "kept";
    EXPECT_FALSE(doc.OpenWorkspace(kWorkspaces + "v8.cvw"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              "The document you tried to load was created by a newer version of Corvale.\nCorvale was unable to "
              "interpret the file.\nOperation aborted.");
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);
    EXPECT_TRUE(doc.m_themes.empty());
    EXPECT_EQ(doc.m_description, "kept");
    EXPECT_TRUE(doc.GetPathName().empty());

    // Read directly, the refusal is the bad-schema exception.
    const auto bytes = ReadBytes(kWorkspaces + "v8.cvw");
    CArchive ar(bytes.data(), bytes.size());
    try {
        doc.Serialize(ar);
        ADD_FAILURE();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_Cause, CArchiveException::BadSchema);
    }
}

TEST(WorkspaceFile, EveryCutOfAFileIsRefusedAndLoadsNothing) {
    const std::vector<unsigned char> bytes = NativeWorkspaceBytes();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        CCorvaleDoc doc;
        doc.m_description = "kept";
        doc.m_bookmarks = {new CBookmarkRecord{0, 0, "own", 1}};
        CArchive ar(bytes.data(), size);
        EXPECT_THROW(doc.Serialize(ar), CArchiveException) << size;
        EXPECT_TRUE(doc.m_themes.empty()) << size;
        EXPECT_EQ(doc.m_description, "kept") << size;
        ASSERT_EQ(doc.m_bookmarks.size(), 1u) << size;
        EXPECT_EQ(doc.m_bookmarks[0]->m_Name, "own");
        EXPECT_EQ(doc.m_activeTheme, nullptr);
        EXPECT_TRUE(doc.m_gpiDataBlocks.empty());
    }
    // And the whole of it reads.
    CCorvaleDoc doc;
    CArchive ar(bytes.data(), bytes.size());
    doc.Serialize(ar);
    EXPECT_EQ(doc.m_themes.size(), 2u);
}

TEST(WorkspaceFile, DamagedFilesAreReportedAndLeaveTheDocumentAsItWas) {
    TempDir dir;
    const std::vector<unsigned char> good = NativeWorkspaceBytes();
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        std::string reason;
    };
    // The plug-in section is the last item: its version word, its count, and
    // one block of a marker, the name "{P}", a size and one byte.
    std::vector<unsigned char> badSection = good;
    corvale::WriteLE32(badSection.data() + badSection.size() - 21, 2);
    std::vector<unsigned char> hugeCount = good;
    // The theme count, after the version, the description "Native" and two
    // reserved words.
    corvale::WriteLE32(hugeCount.data() + 4 + 7 + 8, 0x10000000);
    std::vector<unsigned char> cut(good.begin(), good.end() - 1);
    // A file that is not a workspace at all: its first word is no version
    // (the newest possible is far below it), and it is not taken for a file
    // of a newer program.
    std::vector<unsigned char> text = {'P', 'K', 3, 4, 'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'};
    std::vector<unsigned char> versionWord(good);
    corvale::WriteLE32(versionWord.data(), kHighestPlausibleWorkspaceVersion + 1);
    const std::vector<Case> cases = {
        {"another kind of file", text, "The file is not a Corvale workspace, or it is damaged."},
        {"a version word above any version", versionWord, "The file is not a Corvale workspace, or it is damaged."},
        {"a plug-in section of another version", badSection,
         "The file holds plug-in data of a version this program does not know."},
        {"a theme count larger than the file", hugeCount, "The file holds a count larger than its data."},
        {"a file one byte short", cut, "The file ends before its data is complete."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("damaged.cvw");
        WriteBytes(path, c.bytes);
        corvale::CScriptedUserInterface ui;
        CCorvaleDoc doc;
        EXPECT_FALSE(doc.OpenWorkspace(path));
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Corvale could not open the workspace\n" + path + "\n\n" +
                                                          c.reason + "\nNothing was loaded."});
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_TRUE(doc.m_gpiDataBlocks.empty());
        EXPECT_TRUE(doc.m_bookmarks.empty());
        EXPECT_TRUE(doc.GetPathName().empty());
    }

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    EXPECT_FALSE(doc.OpenWorkspace(dir.file("none.cvw")));
    EXPECT_FALSE(doc.OpenWorkspace(dir.path()));
    EXPECT_EQ(ui.Messages(),
              (std::vector<std::string>{
                  "Corvale could not open the workspace\n" + dir.file("none.cvw") +
                      "\n\nThe file cannot be read.\nNothing was loaded.",
                  "Corvale could not open the workspace\n" + dir.path() + "\n\nThe file cannot be read.\nNothing was loaded."}));
}

TEST(WorkspaceFile, AFailedSaveLeavesTheOldFileAndTheDocumentModified) {
    TempDir dir;
    const std::string path = dir.file("kept.cvw");
    const std::vector<unsigned char> old = {1, 2, 3};
    WriteBytes(path, old);

    CCorvaleDoc doc;
    CTheme* parcels = NewParcels();
    doc.m_themes = {parcels};
    // A record of no known type cannot be stored.
    Bytes broken = MakePoint(1, 1, 1);
    corvale::WriteLE32(broken.data() + 8, 99);
    CTheme* bad = NewNativeTheme(SHT_Point, "Bad");
    bad->m_Points.push_back(Rec(broken));
    bad->m_Modified = true;
    doc.m_themes.push_back(bad);
    parcels->m_Modified = true;

    corvale::CScriptedUserInterface ui;
    EXPECT_FALSE(doc.SaveWorkspace(path));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(parcels->m_Modified);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().empty());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "Corvale could not save the workspace\n" + path +
                                    "\n\nThe theme \"Bad\" holds a shape that cannot be stored.\nThe file on disk "
                                    "was left as it was.");
    bad->m_Points.clear();

    // A folder that cannot take the file.
    doc.m_themes.pop_back();
    delete bad;
    const std::string nowhere = dir.file("missing/folder.cvw");
    EXPECT_FALSE(doc.SaveWorkspace(nowhere));
    EXPECT_EQ(ui.Messages().back(), "Corvale could not save the workspace\n" + nowhere +
                                        "\n\nThe file could not be written.\nThe file on disk was left as it was.");
    EXPECT_TRUE(parcels->m_Modified);
    EXPECT_FALSE(FileExists(nowhere));

    // Saved at last, over the old file.
    EXPECT_TRUE(doc.SaveWorkspace(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_NE(ReadBytes(path), old);
}

// A theme made of another theme's selection holds the parent's records; the
// file stores them and the values it shows as a native theme's own, so the
// theme reopens whole (and any reader of the format reads it).
TEST(WorkspaceFile, ASelectionThemeIsStoredWithItsShapesAndValues) {
    App();
    corvale::CScriptedUserInterface ui;
    TempDir dir;
    CCorvaleDoc doc;
    CTheme* parcels = NewParcels();
    doc.m_themes = {parcels};
    parcels->m_Modified = false;
    doc.SetModifiedFlag(false);
    parcels->AddToSelection(1, 0, 3, 0);
    CTheme* chosen = doc.NewThemeFromSelection(parcels, "Chosen", true);
    ASSERT_NE(chosen, nullptr);
    EXPECT_TRUE(doc.IsModified()) << "leaving without saving must ask";

    ASSERT_TRUE(doc.SaveWorkspace(dir.file("chosen.cvw")));
    // The theme in memory is left as it was.
    EXPECT_EQ(chosen->m_SourceType, static_cast<std::uint32_t>(ST_ParentTheme));
    EXPECT_EQ(chosen->m_ParentTheme, parcels);
    EXPECT_EQ(chosen->GetShape(0), parcels->GetShape(1));

    CCorvaleDoc reopened;
    ASSERT_TRUE(reopened.OpenWorkspace(dir.file("chosen.cvw")));
    ASSERT_EQ(reopened.m_themes.size(), 2u);
    CTheme* back = nullptr;
    for (CTheme* theme : reopened.m_themes)
        if (theme->m_Name == "Chosen")
            back = theme;
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(back->m_ParentTheme, nullptr);
    ASSERT_EQ(back->GetAllShapeCount(), 1);
    const CShapeRecord* shape = back->GetShape(0);
    const CShapeRecord* original = parcels->GetShape(1);
    ASSERT_EQ(CShapeRecord::GetPointCount(shape), CShapeRecord::GetPointCount(original));
    for (std::uint32_t i = 0; i < CShapeRecord::GetPointCount(shape); ++i) {
        EXPECT_EQ(CShapeRecord::GetPoint(shape, i).x, CShapeRecord::GetPoint(original, i).x);
        EXPECT_EQ(CShapeRecord::GetPoint(shape, i).y, CShapeRecord::GetPoint(original, i).y);
    }
    EXPECT_EQ(GetShapeRecordIndex(shape), 0);
    ASSERT_EQ(back->GetAttributeCount(), 2u);
    EXPECT_EQ(back->GetAttributeName(0), "OWNER");
    EXPECT_EQ(back->GetAttributeText(0, 0), "Mill");
    EXPECT_EQ(back->GetAttributeText(0, 1), "16.00");
    EXPECT_EQ(back->m_Bounds[0], 5.0);
    EXPECT_EQ(back->m_Bounds[3], 9.0);
    EXPECT_FALSE(reopened.IsModified());
}

TEST(WorkspaceFile, SavingOverAReadOnlyFileIsRefusedAndNamesIt) {
    TempDir dir;
    const std::string path = dir.file("locked.cvw");
    const std::vector<unsigned char> old = {1, 2, 3};
    WriteBytes(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CCorvaleDoc doc;
    CTheme* parcels = NewParcels();
    doc.m_themes = {parcels};
    parcels->m_Modified = true;

    corvale::CScriptedUserInterface ui;
    EXPECT_FALSE(doc.SaveWorkspace(path));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "Corvale could not save the workspace\n" + path +
                                    "\n\nThe file is read-only.\nThe file on disk was left as it was.");
}

TEST(WorkspaceFile, StoringALoaderThemeNativeAnnouncesTheEditableChange) {
    std::vector<Bytes> delivered = {MakePoint(1, 2, 1)};
    CCorvaleDoc doc;
    auto* theme = new CTheme;
    theme->m_ShapeType = SHT_Point;
    theme->m_SourceType = ST_CustomLoader;
    CTheme::ShapeCallback(theme, Rec(delivered[0]), 0);
    theme->ResetFilter();
    doc.m_themes = {theme};
    UpdateLog log(doc);
    CArchive ar;
    doc.Serialize(ar);
    EXPECT_TRUE(theme->m_Editable);
    EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_ThemeModifiedChanged, 0}}));

    // Stored again, nothing changes and nothing is announced.
    log.events.clear();
    CArchive again;
    doc.Serialize(again);
    EXPECT_TRUE(log.events.empty());
}

TEST(WorkspaceFileLoader, ReadsTheThemesAndTheSettingsItKeeps) {
    CWorkspaceFileLoader loader;
    ASSERT_TRUE(loader.Load(kWorkspaces + "v7.cvw"));
    EXPECT_EQ(loader.m_themes.size(), 2u);
    EXPECT_EQ(loader.m_description, "Seven");
    EXPECT_EQ(loader.m_backgroundColor, 0x112233u);
    EXPECT_EQ(loader.m_viewExtent[2], 10.0);
    EXPECT_EQ(loader.m_refSystem, RefSysIndexOfId(2));
    EXPECT_EQ(loader.m_earthRadius, 6378137.0);
    EXPECT_EQ(loader.m_pathName, kWorkspaces + "v7.cvw");

    // A version 1 file: the loader's own defaults stay.
    CWorkspaceFileLoader old;
    ASSERT_TRUE(old.Load(kWorkspaces + "v1.cvw"));
    EXPECT_EQ(old.m_themes.size(), 1u);
    EXPECT_EQ(old.m_backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(old.m_refSystem, -1);

    // Loading again replaces what was held.
    ASSERT_TRUE(loader.Load(kWorkspaces + "v1.cvw"));
    EXPECT_EQ(loader.m_themes.size(), 1u);
    std::vector<CTheme*> taken = loader.TakeThemes();
    EXPECT_TRUE(loader.m_themes.empty());
    for (CTheme* theme : taken)
        delete theme;
}

TEST(WorkspaceFileLoader, FailuresGiveTheirErrorTexts) {
    TempDir dir;
    CWorkspaceFileLoader loader;
    EXPECT_FALSE(loader.Load(dir.file("none.cvw")));
    EXPECT_EQ(loader.m_errorText, "Error opening file for reading.");

    EXPECT_FALSE(loader.Load(kWorkspaces + "v8.cvw"));
    EXPECT_EQ(loader.m_errorText,
              "The document you tried to load was created by a newer version of Corvale.\nCorvale was unable to "
              "interpret the file.\nOperation aborted.");

    const std::string other = dir.file("other.cvw");
    WriteBytes(other, {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4});
    EXPECT_FALSE(loader.Load(other));
    EXPECT_EQ(loader.m_errorText, "The file is not a Corvale workspace, or it is damaged.");

    // The second theme is damaged: the first stays with the loader.
    std::vector<unsigned char> bytes = ReadBytes(kWorkspaces + "v7.cvw");
    bytes.resize(bytes.size() - 200);
    const std::string cut = dir.file("cut.cvw");
    WriteBytes(cut, bytes);
    EXPECT_FALSE(loader.Load(cut));
    EXPECT_EQ(loader.m_errorText, "The file ends before its data is complete.");
    EXPECT_EQ(loader.m_themes.size(), 1u);
    EXPECT_TRUE(loader.m_pathName.empty());
}

TEST(ImportFromWorkspaceFile, AddsTheThemesWhereLoadToBottomSays) {
    for (const int toBottom : {1, 0}) {
        SCOPED_TRACE(toBottom);
        const int saved = CAppSettings::GetInstance()->m_LoadToBottom;
        CAppSettings::GetInstance()->m_LoadToBottom = toBottom;
        corvale::CScriptedUserInterface ui;
        ui.openAnswers = {{kWorkspaces + "v7.cvw"}};
        CCorvaleDoc doc;
        doc.m_description = "mine";
        doc.m_themes = {NewNativeTheme(SHT_Point, "Own")};
        doc.m_themes[0]->m_Modified = false;
        UpdateLog log(doc);
        doc.OnCmdMsg(ID_FILE_IMPORT_WORKSPACE, nullptr);
        CAppSettings::GetInstance()->m_LoadToBottom = saved;

        std::vector<std::string> names;
        for (const CTheme* theme : doc.m_themes)
            names.push_back(theme->m_Name);
        EXPECT_EQ(names, toBottom ? (std::vector<std::string>{"Own", "Twenty", "Twenty-one"})
                                  : (std::vector<std::string>{"Twenty", "Twenty-one", "Own"}));
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.m_description, "mine");
        EXPECT_EQ(doc.m_refSystem, -1);
        EXPECT_EQ(log.events, (std::vector<std::pair<int, std::intptr_t>>{{DUE_Refresh, 0}}));
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[0].kind, "open");
        EXPECT_EQ(ui.shown[1].text, "2 theme(s) imported successfully.");
        EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Information);
        EXPECT_GT(ui.waitCursorUses, 0);
        EXPECT_EQ(ui.waitCursorDepth, 0);
    }
}

TEST(ImportFromWorkspaceFile, NothingImportedLeavesTheWorkspaceAsItWas) {
    TempDir dir;
    // A workspace without themes.
    CCorvaleDoc empty;
    const std::string emptyPath = dir.file("empty.cvw");
    {
        corvale::CScriptedUserInterface ui;
        ASSERT_TRUE(empty.SaveWorkspace(emptyPath));
    }
    const std::string missing = dir.file("missing.cvw");
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> chosen;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"cancelled", {{}}, {}},
        {"no themes in the file", {{emptyPath}}, {"0 theme(s) imported successfully."}},
        {"a file that cannot be read", {{missing}}, {"Error loading workspace:\n\nError opening file for reading."}},
        {"a newer file",
         {{kWorkspaces + "v8.cvw"}},
         {"Error loading workspace:\n\nThe document you tried to load was created by a newer version of "
          "Corvale.\nCorvale was unable to interpret the file.\nOperation aborted."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        corvale::CScriptedUserInterface ui;
        ui.openAnswers.assign(c.chosen.begin(), c.chosen.end());
        CCorvaleDoc doc;
        doc.OnImportFromWorkspaceFile();
        EXPECT_EQ(ui.Messages(), c.messages);
        EXPECT_TRUE(doc.m_themes.empty());
        EXPECT_FALSE(doc.IsModified());
    }
}
