// The built Sorvend.gpi loaded by the host from a plug-in folder, called as
// scripts call it: loadLayer's answers, its refusals, and a database
// failure that stops the script.

#include "SorvendTestSupport.h"

#include "../DialogDriver.h"
#include "ViewTestSupport.h"
#include "framework/ScriptedUserInterface.h"
#include "scripting/ScriptPlugins.h"
#include "view/GeoViewGpi.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWizard>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kGuid[] = "{14A37D7E-AD27-45E2-8DF1-A8C6FD336370}";

const std::string& ConfigHome() {
    static TempDir folder;
    static const bool set = ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1) == 0;
    (void)set;
    return folder.path();
}

ScriptPluginValue Text(const std::string& text) {
    ScriptPluginValue v;
    v.kind = ScriptPluginValue::String;
    v.text = text;
    return v;
}

ScriptPluginValue Int(int value) {
    ScriptPluginValue v;
    v.kind = ScriptPluginValue::Int;
    v.integer = value;
    return v;
}

class SorvendPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SQLITE_ODBC();
        ConfigHome();
        GpiInitializeLock();
        GpiTestReset();
        InstallGpiMapViewServices();
        // The frame's side of the plug-in's menu item and active workspace.
        GpiState().m_Frame.addPluginTool = [this](const std::string& text, int placement, std::uint32_t,
                                                  const std::string&, std::uint32_t) {
            menuItems.push_back(std::to_string(placement) + " " + text);
            return 22010u;
        };
        GpiState().m_Frame.activeDocument = [this] { return ws.doc.get(); };
        std::filesystem::copy_file(std::string(CORVALE_PLUGIN_DIR) + "/Sorvend.gpi", plugins.file("Sorvend.gpi"));
        LoadGpiPlugins(plugins.path());
        ASSERT_EQ(GpiState().m_Plugins.size(), 1u) << (ui.shown.empty() ? "" : ui.shown[0].text);
        view = MakeView(ws, 200, 100);
        view->GetMapPicture();
        workspace = GpiWorkspaceHandle(ws.doc.get());
        path = data.file("data.db");
        MakeSqlite(path, {"CREATE TABLE p (name TEXT, lon REAL, lat REAL)", "INSERT INTO p VALUES ('a', 5, 6)",
                          "INSERT INTO p VALUES ('b', 7, 8)"});
    }
    void TearDown() override {
        view.reset();
        UnloadGpiPlugins();
        GpiTestReset();
    }

    ScriptReply LoadLayer(const std::vector<ScriptPluginValue>& arguments) {
        return CallScriptPlugin(kGuid, workspace, "loadLayer", arguments, answer);
    }

    std::size_t ThemeCount() const { return ws.doc->m_themes.size(); }

    corvale::CScriptedUserInterface ui;
    TempDir plugins;
    TempDir data;
    std::string path;
    TestWorkspace ws;
    std::unique_ptr<CGeoView> view;
    std::uint32_t workspace = 0;
    ScriptPluginAnswer answer;
    std::vector<std::string> menuItems;
};

} // namespace

TEST_F(SorvendPlugin, LoadLayerAnswersThePointsTheme) {
    const ScriptReply reply = LoadLayer({Text(SqliteConnect(path)), Text("  select name, lon, lat from p"), Int(1), Int(2)});
    ASSERT_FALSE(reply.Failed()) << reply.text;
    ASSERT_EQ(ThemeCount(), 1u);
    CTheme* theme = ws.doc->m_themes[0];
    EXPECT_EQ(theme->m_Name, "ODBC Points");
    EXPECT_EQ(theme->GetShapeCount(), 2);
    ASSERT_TRUE(answer.single);
    ASSERT_EQ(answer.values.size(), 1u);
    EXPECT_EQ(answer.values[0].kind, ScriptPluginValue::Handle);
    EXPECT_EQ(answer.values[0].word, GpiThemeHandle(theme));

    // The "ODBC;" prefix of a connection string is not the driver's.
    ASSERT_FALSE(LoadLayer({Text("odbc;" + SqliteConnect(path)), Text("SELECT * FROM p"), Int(1), Int(2)}).Failed());
    EXPECT_EQ(ThemeCount(), 2u);
}

TEST_F(SorvendPlugin, RefusedArgumentsLoadNothing) {
    const std::string bad = "Error invoking plug-in. Error interpreting parameters.";
    struct Case {
        const char* name;
        std::vector<ScriptPluginValue> arguments;
    };
    const Case cases[] = {
        {"not a SELECT", {Text(SqliteConnect(path)), Text("DELETE FROM p"), Int(1), Int(2)}},
        {"indices as texts", {Text(SqliteConnect(path)), Text("SELECT * FROM p"), Text("1"), Text("2")}},
        {"three arguments", {Text(SqliteConnect(path)), Text("SELECT * FROM p"), Int(1)}},
        {"column beyond the result", {Text(SqliteConnect(path)), Text("SELECT * FROM p"), Int(1), Int(3)}},
        {"negative column", {Text(SqliteConnect(path)), Text("SELECT * FROM p"), Int(-1), Int(2)}},
        {"empty connection", {Text(""), Text("SELECT * FROM p"), Int(1), Int(2)}},
        {"connection naming no source", {Text("DSN=;UID=;PWD="), Text("SELECT * FROM p"), Int(1), Int(2)}},
    };
    for (const Case& c : cases) {
        const ScriptReply reply = LoadLayer(c.arguments);
        EXPECT_TRUE(reply.Failed()) << c.name;
        EXPECT_EQ(reply.text, bad) << c.name;
    }
    EXPECT_EQ(ThemeCount(), 0u);
    EXPECT_EQ(GpiState().m_HostBlocks.size(), 0u) << "the answer memory is freed";

    // Another name is not loadLayer: nothing happens.
    EXPECT_FALSE(CallScriptPlugin(kGuid, workspace, "loadlayer", {}, answer).Failed());
    EXPECT_TRUE(answer.values.empty());
}

TEST_F(SorvendPlugin, DatabaseFailureStopsTheScript) {
    DialogDriver dialogs;
    dialogs.Button(QMessageBox::Ok);
    const ScriptReply reply = LoadLayer({Text(SqliteConnect(path)), Text("SELECT * FROM missing"), Int(0), Int(1)});
    EXPECT_TRUE(reply.Failed());
    EXPECT_EQ(reply.text, "Error invoking plug-in. Plug-in execution failure.");
    ASSERT_EQ(dialogs.m_Seen.size(), 1u);
    EXPECT_NE(dialogs.m_Seen[0].find("missing"), std::string::npos) << dialogs.m_Seen[0];
    EXPECT_EQ(ThemeCount(), 0u);

    // No rows: no layer, and no failure.
    const ScriptReply empty = LoadLayer({Text(SqliteConnect(path)), Text("SELECT * FROM p WHERE 0"), Int(1), Int(2)});
    EXPECT_FALSE(empty.Failed()) << empty.text;
    ASSERT_EQ(answer.values.size(), 1u);
    EXPECT_EQ(answer.values[0].word, 0u);
}

TEST_F(SorvendPlugin, WizardFromTheMenuLoadsTheQuery) {
    // One item, on the "Add Theme From" menu (the host's own number for it).
    EXPECT_EQ(menuItems, (std::vector<std::string>{std::to_string(GpiHostPlacement(GPIPLACE_AddThemeFrom)) + " ODBC Query..."}));
    DialogDriver dialogs;
    bool finished = false;
    dialogs.Other([&](QDialog* dialog) {
        auto* wizard = qobject_cast<QWizard*>(dialog);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(wizard->windowTitle(), "ODBC data selector");
        wizard->findChild<QRadioButton*>("6018")->click();
        wizard->findChild<QLineEdit*>("6007")->setText(QString::fromStdString(SqliteConnect(path)));
        wizard->next();
        ASSERT_EQ(wizard->currentId(), 1);
        wizard->currentPage()->findChild<QPlainTextEdit*>("6001")->setPlainText("SELECT name, lon, lat FROM p");
        wizard->next();
        ASSERT_EQ(wizard->currentId(), 2);
        wizard->currentPage()->findChild<QComboBox*>("6004")->setCurrentIndex(1);
        wizard->currentPage()->findChild<QComboBox*>("6005")->setCurrentIndex(2);
        finished = wizard->validateCurrentPage();
        wizard->accept();
    });
    GpiNotifyCommandItem(GpiState().m_Plugins[0]->m_Identity, 22010, 0);
    EXPECT_TRUE(finished);
    EXPECT_EQ(dialogs.Pending(), 0u);
    ASSERT_EQ(ThemeCount(), 1u);
    CTheme* theme = ws.doc->m_themes[0];
    EXPECT_EQ(theme->m_Name, "ODBC Points");
    ASSERT_EQ(theme->GetShapeCount(), 2);
    EXPECT_EQ(CShapeRecord::GetPoint(theme->GetShape(1), 0).x, 7.0);
    EXPECT_EQ(theme->GetAttributeTextAt(1, 0), "b");
    // The status bar said what was going on, and was reset afterwards.
    ASSERT_FALSE(ui.statusTexts.empty());
    EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(), "Loading objects..."), ui.statusTexts.end());
    EXPECT_NE(ui.statusTexts.back(), "Loading objects...");
}
