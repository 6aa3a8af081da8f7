// Start-up, the command line, opening paths, the recent workspaces, closing
// and options.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "app/ChildFrame.h"
#include "core/ExporterPlugin.h"
#include "core/Theme.h"
#include "crs/RefSysTable.h"
#include "view/GeoView.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocExport.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using CorvaleAppTest = AppTest;

std::string Absolute(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

TEST(CommandLine, FirstNonOptionArgumentIsTheFile) {
    struct Case {
        QStringList arguments;
        bool open;
        const char* file;
    };
    const Case cases[] = {
        {{}, false, ""},
        {{"-style", "/a/b.cvw"}, true, "/a/b.cvw"},
        {{"/x/one.shp", "/x/two.shp"}, true, "/x/one.shp"},
        {{"--", "-dash.cvw"}, true, nullptr},
        {{"-v"}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        CCommandLineInfo info;
        ParseCommandLine(c.arguments, info);
        EXPECT_EQ(info.m_nShellCommand == CCommandLineInfo::FileOpen, c.open);
        if (c.file != nullptr) {
            EXPECT_EQ(info.m_strFileName, c.file);
        }
    }
    CCommandLineInfo relative;
    ParseCommandLine({"data/map.cvw"}, relative);
    EXPECT_EQ(relative.m_strFileName, Absolute("data/map.cvw"));
}

TEST_F(CorvaleAppTest, NoArgumentOpensOneEmptyWorkspace) {
    // LoadLatestWorkspace on with an empty recent list still starts empty.
    WriteSetting("Settings/LoadLatestWorkspace", 1);
    ASSERT_TRUE(Start());
    ASSERT_EQ(OpenCount(), 1);
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->m_themes.empty());
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(Frame().GetLastActiveDocument(), document);
    EXPECT_TRUE(IsDocumentOpen(document));
}

TEST_F(CorvaleAppTest, CommandLineOpensWorkspaceOrAddsData) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.CVW"));
    std::filesystem::create_directory(m_Dir.file("folder"));
    std::filesystem::create_directory(m_Dir.file("folder/deeper"));
    CopyShapeFixture("points", m_Dir.file("folder"));
    CopyShapeFixture("lines", m_Dir.file("folder/deeper"));

    struct Case {
        const char* name;
        std::string path;
        std::size_t themes;
        bool workspacePath;
    };
    const Case cases[] = {
        {"workspace in capitals", workspace, 1, true},
        {"shape file", shapes, 1, false},
        {"folder of shape files", m_Dir.file("folder"), 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearSettings();
        m_App = std::make_unique<CCorvaleApp>();
        m_App->m_InstallQtUserInterface = false;
        ASSERT_TRUE(Start({QString::fromStdString(c.path)}));
        ASSERT_EQ(OpenCount(), 1);
        CCorvaleDoc* document = Frame().GetActiveDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->m_themes.size(), c.themes);
        EXPECT_EQ(document->GetPathName().empty(), !c.workspacePath);
        // Only a workspace enters the recent list.
        const auto& recent = m_App->GetRecentFileList().GetEntries();
        EXPECT_EQ(recent.size(), c.workspacePath ? 1u : 0u);
        if (c.workspacePath && !recent.empty()) {
            EXPECT_EQ(recent.front(), Absolute(c.path));
        }
        m_App->ExitInstance();
        m_App.reset();
        QApplication::processEvents();
    }
    EXPECT_TRUE(m_Ui->Messages().empty());
}

// A file on the command line that does not open says so, naming the file,
// and the program goes on with an empty workspace.
TEST_F(CorvaleAppTest, BadFilesAtStartUpGiveAMessageAndAnEmptyWorkspace) {
    const std::string random = m_Dir.file("random.cvw");
    {
        // Bytes that are no workspace's: the first word is far above any
        // version number.
        std::vector<unsigned char> bytes(512);
        unsigned state = 12345;
        for (unsigned char& byte : bytes) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<unsigned char>(state >> 16);
        }
        bytes[3] = 0xA7;
        std::ofstream(random, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
    }
    const std::string text = m_Dir.file("notes.txt");
    std::ofstream(text) << "not a map\n";

    struct Case {
        const char* what;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"missing workspace", m_Dir.file("missing.cvw"),
         "Corvale could not open the workspace\n" + m_Dir.file("missing.cvw") +
             "\n\nThe file cannot be read.\nNothing was loaded."},
        {"random bytes", random,
         "Corvale could not open the workspace\n" + random +
             "\n\nThe file is not a Corvale workspace, or it is damaged.\nNothing was loaded."},
        {"missing shape file", m_Dir.file("gone.shp"),
         "Corvale could not open the file\n" + m_Dir.file("gone.shp") +
             "\n\nThe file does not exist.\nNothing was loaded."},
        {"missing file of another type", m_Dir.file("gone.xyz"),
         "Corvale could not open the file\n" + m_Dir.file("gone.xyz") +
             "\n\nThe file does not exist.\nNothing was loaded."},
        {"unsupported type", text, "Corvale does not understand this file format.\n\n" + text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearSettings();
        m_Ui->shown.clear();
        m_App = std::make_unique<CCorvaleApp>();
        m_App->m_InstallQtUserInterface = false;
        ASSERT_TRUE(Start({QString::fromStdString(c.path)}));
        ASSERT_EQ(OpenCount(), 1);
        CCorvaleDoc* document = Frame().GetActiveDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(document->m_themes.empty());
        EXPECT_TRUE(document->GetPathName().empty());
        EXPECT_EQ(m_Ui->Messages(), (std::vector<std::string>{c.message}));
        EXPECT_TRUE(m_App->GetRecentFileList().GetEntries().empty());
        m_App->ExitInstance();
        m_App.reset();
        QApplication::processEvents();
    }
}

// The sample workspace as it ships: its countries in WGS 84, so that the
// status bar names the system and the scale box shows a world scale.
TEST_F(CorvaleAppTest, SampleWorkspaceIsInWgs84WithAWorldScale) {
    const std::string sample = std::string(CORVALE_SAMPLES) + "/sample.cvw";
    ASSERT_TRUE(std::filesystem::exists(sample));
    ASSERT_TRUE(Start({QString::fromStdString(sample)}));
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    EXPECT_TRUE(m_Ui->Messages().empty());
    EXPECT_EQ(document->m_refSystem, FindRefSysByEpsg(4326));
    ASSERT_FALSE(m_Ui->paneTexts.empty());
    EXPECT_EQ(m_Ui->paneTexts.back(), std::make_pair(int(ID_INDICATOR_REFSYS), std::string("WGS 84")));

    // At full extent in a window of about 700 pixels the whole world is
    // some 1:100,000,000 to 1:400,000,000, not the width in degrees taken
    // as metres (about 1:2000).
    CChildFrame* child = Frame().GetActiveChild();
    ASSERT_NE(child, nullptr);
    child->GetView()->resize(700, 500);
    document->ZoomToFullExtent(nullptr);
    document->UpdateMapScale();
    EXPECT_GT(document->m_mapScale, 1.0e8);
    EXPECT_LT(document->m_mapScale, 4.0e8);
    const std::string shown = Frame().GetScaleControl()->currentText().toStdString();
    EXPECT_GE(shown.size(), std::string("1:100000000").size()) << shown;
}

TEST_F(CorvaleAppTest, LatestWorkspaceOpensAndAGoneOneStartsEmpty) {
    const std::string workspace = WriteWorkspace(CopyShapeFixture("points", m_Dir.path()), m_Dir.file("last.cvw"));
    WriteSetting("Settings/LoadLatestWorkspace", 1);
    {
        CRecentFileList list;
        list.Add(workspace);
        list.WriteList();
    }
    ASSERT_TRUE(Start());
    ASSERT_EQ(OpenCount(), 1);
    EXPECT_EQ(Frame().GetActiveDocument()->GetPathName(), workspace);
    m_App->ExitInstance();

    // The latest workspace has gone: the program still starts, empty.
    std::filesystem::remove(workspace);
    m_App = std::make_unique<CCorvaleApp>();
    m_App->m_InstallQtUserInterface = false;
    ASSERT_TRUE(Start());
    ASSERT_EQ(OpenCount(), 1);
    EXPECT_TRUE(Frame().GetActiveDocument()->GetPathName().empty());
}

TEST_F(CorvaleAppTest, RecentListHoldsSixteenNewestFirst) {
    ASSERT_TRUE(Start());
    std::vector<std::string> workspaces;
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    for (int i = 0; i < 18; ++i)
        workspaces.push_back(WriteWorkspace(shapes, m_Dir.file("w" + std::to_string(i) + ".cvw")));
    for (const std::string& path : workspaces)
        ASSERT_NE(m_App->OpenDocumentFile(path), nullptr);
    // Opening one again brings it up instead of a second entry or document.
    EXPECT_EQ(m_App->OpenDocumentFile(workspaces[5]), m_App->GetDocManager().FindDocumentByPath(workspaces[5]));

    const auto& entries = m_App->GetRecentFileList().GetEntries();
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries[0], workspaces[5]);
    EXPECT_EQ(entries[1], workspaces[17]);
    EXPECT_EQ(entries[15], workspaces[2]);

    // The list is in the store for the next start.
    CRecentFileList stored;
    stored.ReadList();
    EXPECT_EQ(stored.GetEntries(), entries);

    // A recent entry that no longer opens leaves the list.
    std::filesystem::remove(workspaces[17]);
    m_App->CloseAllDocuments();
    Frame().ExecuteCommand(ID_FILE_MRU_FIRST + 1);
    EXPECT_EQ(m_App->GetRecentFileList().GetEntries().size(), 15u);
    EXPECT_EQ(m_App->GetRecentFileList().Get(1), workspaces[16]);
}

TEST_F(CorvaleAppTest, UntouchedEmptyWorkspaceGivesWayToAnOpenedOne) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("one.cvw"));
    const std::string second = WriteWorkspace(shapes, m_Dir.file("two.cvw"));
    ASSERT_TRUE(Start());
    CCorvaleDoc* empty = Frame().GetActiveDocument();
    ASSERT_NE(empty, nullptr);

    CCorvaleDoc* opened = m_App->OpenDocumentFile(workspace);
    ASSERT_NE(opened, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(OpenCount(), 1);
    EXPECT_FALSE(IsDocumentOpen(empty));
    EXPECT_EQ(Frame().GetActiveDocument(), opened);
    EXPECT_EQ(Frame().GetLastActiveDocument(), opened);
    EXPECT_EQ(Frame().GetChildFrames().size(), 1u);

    // A workspace that holds a theme is not replaced.
    m_App->OpenDocumentFile(second);
    QApplication::processEvents();
    EXPECT_EQ(OpenCount(), 2);
    EXPECT_TRUE(IsDocumentOpen(opened));
}

TEST_F(CorvaleAppTest, ModifiedEmptyWorkspaceIsKept) {
    const std::string workspace = WriteWorkspace(CopyShapeFixture("points", m_Dir.path()), m_Dir.file("one.cvw"));
    ASSERT_TRUE(Start());
    CCorvaleDoc* empty = Frame().GetActiveDocument();
    empty->SetModifiedFlag(true);
    ASSERT_NE(m_App->OpenDocumentFile(workspace), nullptr);
    EXPECT_EQ(OpenCount(), 2);
    EXPECT_TRUE(IsDocumentOpen(empty));
    // A failed open leaves everything as it was.
    EXPECT_EQ(m_App->OpenDocumentFile(m_Dir.file("missing.cvw")), nullptr);
    EXPECT_EQ(OpenCount(), 2);
}

TEST_F(CorvaleAppTest, DataFileWithoutWorkspaceMakesOne) {
    const std::string shapes = CopyShapeFixture("lines", m_Dir.path());
    ASSERT_TRUE(Start());
    m_App->CloseAllDocuments();
    QApplication::processEvents();
    ASSERT_EQ(OpenCount(), 0);
    EXPECT_EQ(m_App->OpenDocumentFile(shapes), nullptr);
    ASSERT_EQ(OpenCount(), 1);
    EXPECT_EQ(Frame().GetActiveDocument()->m_themes.size(), 1u);
    EXPECT_TRUE(m_App->GetRecentFileList().GetEntries().empty());
}

TEST_F(CorvaleAppTest, DroppedFilesAreOpened) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    ASSERT_TRUE(Start());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(shapes))});
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    for (const std::string& message : m_Ui->Messages())
        ADD_FAILURE() << message;
    ASSERT_EQ(OpenCount(), 1);
    EXPECT_EQ(Frame().GetActiveDocument()->m_themes.size(), 1u);
}

TEST_F(CorvaleAppTest, ClosingAModifiedWorkspaceAsksToSave) {
    ASSERT_TRUE(Start());
    CCorvaleDoc* document = Frame().GetActiveDocument();
    document->SetModifiedFlag(true);
    CChildFrame* child = Frame().GetChildFrames().front();

    m_Ui->messageAnswers.push_back(corvale::IDCANCEL);
    child->close();
    ASSERT_EQ(m_Ui->Messages().size(), 1u);
    EXPECT_EQ(m_Ui->Messages()[0], "Save changes to " + document->GetTitle() + "?");
    EXPECT_TRUE(IsDocumentOpen(document));

    // Yes with Save As cancelled keeps it open too.
    m_Ui->messageAnswers.push_back(corvale::IDYES);
    m_Ui->saveAnswers.push_back("");
    child->close();
    EXPECT_TRUE(IsDocumentOpen(document));

    // Yes and a file name saves it and closes.
    m_Ui->messageAnswers.push_back(corvale::IDYES);
    m_Ui->saveAnswers.push_back(m_Dir.file("saved"));
    child->close();
    QApplication::processEvents();
    EXPECT_FALSE(IsDocumentOpen(document));
    EXPECT_TRUE(std::filesystem::exists(m_Dir.file("saved.cvw")));
    EXPECT_EQ(m_App->GetRecentFileList().Get(0), m_Dir.file("saved.cvw"));
}

// Counts the update events a subscriber hears.
struct Listener {
    void OnUpdate(const void* sender, int code, std::intptr_t data) {
        if (code == DUE_OptionsChanged && sender == nullptr && data == 0)
            ++optionsChanged;
    }
    int optionsChanged = 0;
};

TEST_F(CorvaleAppTest, ApplyOptionsReachesEveryWorkspace) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CCorvaleDoc* first = Frame().GetActiveDocument();
    CCorvaleDoc* second = m_App->OnFileNew();
    ASSERT_NE(second, nullptr);
    second->OpenDataFile(shapes, true);

    for (CCorvaleDoc* document : {first, second}) {
        ASSERT_EQ(document->m_themes.size(), 1u);
        document->m_themes.front()->AddToSelection(0, 0, 1, 0x0000FF);
    }
    Listener listeners[2];
    first->m_updateEvent.AddHandler(&listeners[0], &Listener::OnUpdate);
    second->m_updateEvent.AddHandler(&listeners[1], &Listener::OnUpdate);
    CAppSettings::GetInstance()->m_ColorSelection = 0x00FF00;
    m_App->ApplyOptions();
    EXPECT_EQ(listeners[0].optionsChanged, 1);
    EXPECT_EQ(listeners[1].optionsChanged, 1);
    for (CCorvaleDoc* document : {first, second}) {
        ASSERT_EQ(document->m_themes.size(), 1u);
        CTheme* theme = document->m_themes.front();
        ASSERT_FALSE(theme->m_Selection.empty());
        EXPECT_EQ(theme->m_Selection.begin()->second.m_Color, 0x00FF00u);
    }
    first->m_updateEvent.RemoveHandler(&listeners[0]);
    second->m_updateEvent.RemoveHandler(&listeners[1]);
}

} // namespace

// The document's attribute commands reach the attribute dialogs through the
// dialog services the application installs, and lose them when it ends.
TEST_F(CorvaleAppTest, AttributeDialogsAreInstalledForTheDocument) {
    ASSERT_TRUE(Start());
    const CDocumentDialogServices& services = GetDocumentDialogServices();
    ASSERT_TRUE(services.manageAttributes);
    ASSERT_TRUE(services.mergeAttributes);

    CTheme theme;
    QString shown;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shown = dialog->objectName();
            dialog->close();
        }
    });
    EXPECT_FALSE(services.manageAttributes(&theme));
    EXPECT_EQ(shown, QStringLiteral("1137"));

    m_App->ExitInstance();
    EXPECT_FALSE(GetDocumentDialogServices().manageAttributes);
    EXPECT_FALSE(GetDocumentDialogServices().mergeAttributes);
}

TEST_F(CorvaleAppTest, CenterMapMovesTheExtentThroughItsDialog) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CCorvaleDoc* doc = Frame().GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(GetDocumentDialogServices().centerMap);
    ASSERT_TRUE(GetDocumentDialogServices().viewRectangle);
    doc->m_activeTheme = doc->m_themes.front();
    doc->m_viewExtent[0] = 0.0;
    doc->m_viewExtent[1] = 0.0;
    doc->m_viewExtent[2] = 10.0;
    doc->m_viewExtent[3] = 20.0;

    QString shown;
    QString presetX;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        shown = dialog->objectName();
        auto* x = dialog->findChild<QLineEdit*>(QStringLiteral("2037"));
        auto* y = dialog->findChild<QLineEdit*>(QStringLiteral("2038"));
        if (x == nullptr || y == nullptr) {
            dialog->close();
            return;
        }
        presetX = x->text();
        x->setText(QStringLiteral("100"));
        y->setText(QStringLiteral("-50"));
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(doc->OnCmdMsg(ID_VIEW_CENTER_MAP, nullptr));
    EXPECT_EQ(shown, QStringLiteral("1116"));
    EXPECT_EQ(presetX, QStringLiteral("5"));
    // The view may widen the extent to its window's shape; the centre stays.
    EXPECT_NEAR((doc->m_viewExtent[0] + doc->m_viewExtent[2]) / 2.0, 100.0, 1e-9);
    EXPECT_NEAR((doc->m_viewExtent[1] + doc->m_viewExtent[3]) / 2.0, -50.0, 1e-9);

    m_App->ExitInstance();
    EXPECT_FALSE(GetDocumentDialogServices().centerMap);
    EXPECT_FALSE(GetDocumentDialogServices().viewRectangle);
}

// The Export command reaches the frame's plug-in folder and export tools,
// the Export Format chooser and the image encoders through the services the
// application installs; exporters get their map images from the map view.
TEST_F(CorvaleAppTest, ExportServicesComeFromTheFrameAndTheView) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CCorvaleDoc* doc = Frame().GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    const CDocumentExportServices& services = GetDocumentExportServices();
    ASSERT_TRUE(services.pluginFolder && services.exportTools && services.chooseFormat &&
                services.confirmShapeExport && services.saveImage && services.imageFileFilter);
    EXPECT_EQ(services.pluginFolder(), Frame().GetPluginFolder());
    EXPECT_EQ(services.imageFileFilter().rfind("PNG (*.png)|*.png|", 0), 0u);

    // Only enabled items of the export placement are export tools.
    const unsigned exportTool = Frame().AddPluginTool("To Somewhere", 7, 5, "Writes somewhere", 0);
    Frame().AddPluginTool("Elsewhere", 7, 6, "Not an export", 0);
    const std::vector<CExportTool> tools = services.exportTools();
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].m_Name, "To Somewhere");
    EXPECT_EQ(tools[0].m_Description, "Writes somewhere");
    EXPECT_EQ(tools[0].m_CommandId, exportTool);

    // The chooser is the "Export Format" dialog.
    QString shown;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shown = dialog->objectName();
            dialog->close();
        }
    });
    EXPECT_EQ(services.chooseFormat({"Shape", "GPX"}, {"Shape format", "GPS eXchange Format"}), -1);
    EXPECT_EQ(shown, QStringLiteral("1120"));

    // The command is on the Theme menu and enabled for the points.
    doc->SetThemeSelected(doc->m_themes.front(), true);
    CCmdUI cmd(ID_THEME_EXPORT);
    ASSERT_TRUE(doc->OnCmdMsg(ID_THEME_EXPORT, &cmd));
    EXPECT_TRUE(cmd.m_Enabled);

    // A map image asked for during an export is drawn by the document's view.
    ASSERT_NE(doc->m_mapView, nullptr);
    CExporterPlugin unbound;
    unbound.ExportShape(doc->m_themes.front(), doc->m_mapView, SHT_Point, nullptr, 0);
    ExporterMapImageRequest request{};
    request.width = 40;
    request.height = 30;
    EXPECT_EQ(ExportHostRenderMapImage(&request), 1u);
    request.width = 0;
    EXPECT_EQ(ExportHostRenderMapImage(&request), 0u);
    CExporterPlugin::ClearExportTheme();

    m_App->ExitInstance();
    EXPECT_FALSE(GetDocumentExportServices().chooseFormat);
    EXPECT_FALSE(GetDocumentExportServices().pluginFolder);
}

TEST_F(CorvaleAppTest, MapSignatureShowsItsTextInTheInformationDialog) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CGeoView* view = Frame().GetActiveView();
    ASSERT_NE(view, nullptr);
    QString shown;
    QString text;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        shown = dialog->objectName();
        text = dialog->windowTitle();
        dialog->close();
    });
    ASSERT_TRUE(view->OnCmdMsg(ID_MAP_VIEW_SIGNATURE, nullptr));
    EXPECT_EQ(shown, QStringLiteral("1127"));
    EXPECT_EQ(text, QStringLiteral("Map Signature"));
}

TEST_F(CorvaleAppTest, EditFindOpensTheFindDialogOfTheAttributePane) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CCorvaleDoc* doc = Frame().GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(doc->m_commandWindow, nullptr);
    doc->m_activeTheme = doc->m_themes.front();
    QAction* find = Frame().GetCommandAction(ID_TABLE_FIND);
    ASSERT_NE(find, nullptr);
    Frame().UpdateCommandUI(find);
    ASSERT_TRUE(find->isEnabled());
    find->trigger();
    QWidget* dialog = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("1106") && widget->isVisible())
            dialog = widget;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find"));
    dialog->hide();
}
