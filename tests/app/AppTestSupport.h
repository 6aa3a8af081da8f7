#pragma once
// The application under test: one QApplication on the offscreen platform for
// the whole program, the settings store in a scratch folder, and a fixture
// that starts the application with a scripted user interface.

#include "app/CorvaleApp.h"
#include "app/MainFrame.h"
#include "framework/ScriptedUserInterface.h"

#include "TempDir.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Copies a fixture shape file (.shp and .shx) from tests/data/shapes into
// the folder; answers the new .shp path.
std::string CopyShapeFixture(const std::string& name, const std::string& folder);

// Writes a workspace holding the shape file as its one theme, with the
// program's own save; answers the path written.
std::string WriteWorkspace(const std::string& shapeFile, const std::string& workspacePath);

// Whether the command's item is enabled once its update handler has run;
// a failure, and false, when the frame has no item for the command.
bool EnabledInFrame(CMainFrame& frame, unsigned id);

// Empties the settings store.
void ClearSettings();
void WriteSetting(const char* key, int value);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the application on the arguments; InitInstance's answer.
    bool Start(const QStringList& arguments = {});
    CMainFrame& Frame() { return *m_App->GetMainFrame(); }
    int OpenCount() { return m_App->GetDocManager().GetOpenDocumentCount(); }

    TempDir m_Dir;
    std::unique_ptr<corvale::CScriptedUserInterface> m_Ui;
    std::unique_ptr<CCorvaleApp> m_App;
};
