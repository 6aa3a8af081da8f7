#include "AppTestSupport.h"

#include "settings/AppSettings.h"
#include "settings/Registry.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QClipboard>
#include <QSettings>

#include "OffscreenApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// QSettings reads XDG_CONFIG_HOME when the first QSettings is made, so the
// variable is set during static initialisation.
struct ConfigHome {
    ConfigHome() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
    TempDir dir;
};

ConfigHome& TheConfigHome() {
    static ConfigHome home;
    return home;
}

const ConfigHome& g_configHomeSetEarly = TheConfigHome();

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

} // namespace

std::string CopyShapeFixture(const std::string& name, const std::string& folder) {
    const std::string source = std::string(CORVALE_TEST_DATA) + "/shapes/" + name;
    for (const char* extension : {".shp", ".shx"})
        std::filesystem::copy_file(source + extension, folder + "/" + name + extension,
                                   std::filesystem::copy_options::overwrite_existing);
    return folder + "/" + name + ".shp";
}

std::string WriteWorkspace(const std::string& shapeFile, const std::string& workspacePath) {
    CCorvaleDoc document;
    document.OnNewDocument();
    EXPECT_TRUE(document.OpenDataFile(shapeFile, true));
    EXPECT_TRUE(document.SaveWorkspace(workspacePath));
    return workspacePath;
}

void ClearSettings() {
    auto settings = corvale::OpenRegistry();
    settings->clear();
    settings->sync();
}

void WriteSetting(const char* key, int value) {
    auto settings = corvale::OpenRegistry();
    corvale::WriteRegistryInt(*settings, QString::fromLatin1(key), value);
    settings->sync();
}

void AppTest::SetUp() {
    (void)g_configHomeSetEarly;
    ClearSettings();
    CAppSettings::GetInstance()->SetDefaults();
    // The clipboard outlives a test; shapes one test copied must not enable
    // the paste commands of the next one in the same process.
    QGuiApplication::clipboard()->clear();
    m_Ui = std::make_unique<corvale::CScriptedUserInterface>();
    m_App = std::make_unique<CCorvaleApp>();
    m_App->m_InstallQtUserInterface = false;
}

void AppTest::TearDown() {
    if (m_App != nullptr)
        m_App->ExitInstance();
    m_App.reset();
    QApplication::processEvents();
    m_Ui.reset();
}

bool AppTest::Start(const QStringList& arguments) { return m_App->InitInstance(arguments); }

bool EnabledInFrame(CMainFrame& frame, unsigned id) {
    QAction* action = frame.GetCommandAction(id);
    EXPECT_NE(action, nullptr) << id;
    if (action == nullptr)
        return false;
    frame.UpdateCommandUI(action);
    return action->isEnabled();
}
