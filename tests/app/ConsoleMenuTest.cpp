// The console and script commands in the running program: the View menu's
// Console opens the workspace's console, whose commands load themes, and the
// user-script buttons ask for a script once and then run it.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "scripting/ConsoleCommandEdit.h"
#include "scripting/ConsoleDialog.h"
#include "scripting/ConsoleEdit.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using ConsoleMenuTest = AppTest;

TEST_F(ConsoleMenuTest, ConsoleOpensFromTheViewMenuAndLoadsAShapeFile) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);

    QMenu* view = nullptr;
    for (QAction* action : frame.menuBar()->actions())
        if (action->text() == QStringLiteral("&View"))
            view = action->menu();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(frame.GetCommandAction(ID_VIEW_CONSOLE)));
    EXPECT_TRUE(EnabledInFrame(frame, ID_VIEW_CONSOLE));
    EXPECT_TRUE(EnabledInFrame(frame, ID_SCRIPT_FROM_TEMPLATE));
    EXPECT_TRUE(EnabledInFrame(frame, ID_VIEW_VECTORIZATION_PARAMETERS));

    frame.GetCommandAction(ID_VIEW_CONSOLE)->trigger();
    CConsoleDialog* console = document->GetConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(console->isVisible());

    const std::size_t themes = document->m_themes.size();
    QTest::keyClicks(console->GetCommandEdit(), QString::fromStdString("load shapefile " + shapes));
    QTest::keyClick(console->GetCommandEdit(), Qt::Key_Return);
    EXPECT_EQ(document->m_themes.size(), themes + 1);
    EXPECT_NE(console->GetOutputEdit()->GetBuffer().GetText().find("Loading '" + shapes + "'.\r\n"),
              std::string::npos);
}

TEST_F(ConsoleMenuTest, UserScriptButtonAsksOnceThenRunsItsScript) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    const std::string script = m_Dir.file("button.scr");
    std::ofstream(script) << "echo from the button\n";
    CAppSettings::GetInstance()->m_UserScripts[0].clear();

    ASSERT_TRUE(EnabledInFrame(frame, ID_USER_SCRIPT_FIRST));
    m_Ui->openAnswers.push_back({script});
    frame.GetCommandAction(ID_USER_SCRIPT_FIRST)->trigger();
    ASSERT_EQ(m_Ui->openRequests.size(), 1u);
    EXPECT_EQ(m_Ui->openRequests[0].title, "Open file to bind to button 1");
    EXPECT_EQ(CAppSettings::GetInstance()->m_UserScripts[0], script);

    frame.GetCommandAction(ID_USER_SCRIPT_FIRST)->trigger();
    EXPECT_EQ(m_Ui->openRequests.size(), 1u) << "a bound button asks no more";
    ASSERT_NE(document->GetConsole(), nullptr);
    EXPECT_NE(document->GetConsole()->GetOutputEdit()->GetBuffer().GetText().find("from the button\r\n"),
              std::string::npos);
    CAppSettings::GetInstance()->m_UserScripts[0].clear();
}

} // namespace
