// Script templates: reading the XML, putting a script together from the
// fragments the conditions choose, and the Create JavaScript Stub dialog.

#include "scripting/CreateScriptDialog.h"
#include "scripting/ScriptFormatter.h"
#include "scripting/ScriptTemplates.h"

#include "ScriptTestSupport.h"
#include "TempDir.h"
#include "framework/ScriptedUserInterface.h"
#include "scripting/ConsoleCommands.h"

#include <QComboBox>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::string kTemplates = std::string(CORVALE_TEST_DATA) + "/scripting/templates";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ScriptTemplates, ReadsDefinitionsAndFragmentsInFileOrder) {
    ScriptTemplate read;
    std::string error;
    ASSERT_TRUE(LoadScriptTemplate(kTemplates + "/Layers.xml", read, error)) << error;
    ASSERT_EQ(read.m_Conditions.size(), 3u);
    EXPECT_EQ(read.m_Conditions[0].m_Name, "loop");
    EXPECT_EQ(read.m_Conditions[0].m_DefaultValue, "true");
    EXPECT_EQ(read.m_Conditions[0].m_Label, "Loop over the layers");
    EXPECT_EQ(read.m_Conditions[1].m_Name, "alert");
    ASSERT_EQ(read.m_Fragments.size(), 6u);
    EXPECT_EQ(read.m_Fragments[0].m_Condition, "");
    EXPECT_EQ(read.m_Fragments[0].m_Text, "var ws = Workspace;");
    EXPECT_EQ(read.m_Fragments[3].m_Text, "alert(\"done { really }\");");
    EXPECT_EQ(read.m_Fragments[4].m_Condition, "unknown");
}

struct AssembleCase {
    const char* name;
    const char* loop;
    const char* alert;
    const char* script;
};

TEST(ScriptTemplates, ConditionsChooseTheirFragments) {
    ScriptTemplate read;
    std::string error;
    ASSERT_TRUE(LoadScriptTemplate(kTemplates + "/Layers.xml", read, error)) << error;
    const std::string loop = "for (var i = 0; i < ws.layerCount; i++) {\n    var layer = ws.getLayer(i);\n    }\n";
    const AssembleCase cases[] = {
        {"LoopTicked", "true", "false", "var ws = Workspace;\n" },
        {"LoopNotTicked", "false", "false", "var ws = Workspace;\nvar layer = ws.getLayer(0);\n"},
        {"BothTicked", "true", "true", "var ws = Workspace;\n"},
    };
    for (const AssembleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ScriptCondition> chosen = {{"loop", c.loop, ""}, {"alert", c.alert, ""}};
        std::string expected = c.script;
        if (std::string(c.loop) == "true")
            expected += loop;
        if (std::string(c.alert) == "true")
            expected += "alert(\"done { really }\");\n";
        expected += "// always, in its place\n";
        EXPECT_EQ(AssembleScript(read, chosen), expected);
    }
    // The defaults: ticked only where the default is exactly "true".
    const std::vector<ScriptCondition> defaults = DefaultConditions(read);
    ASSERT_EQ(defaults.size(), 3u);
    EXPECT_EQ(defaults[0].m_State, "true");
    EXPECT_EQ(defaults[1].m_State, "false");
    EXPECT_EQ(defaults[2].m_State, "false");
}

TEST(ScriptTemplates, TextThatIsNotWellFormedGivesTheReasonAndNothing) {
    ScriptTemplate read;
    read.m_Fragments.push_back({"", "", "old"});
    std::string error;
    EXPECT_FALSE(ParseScriptTemplate("<t><jsFragment>x</jsFragment><conditionDefs></t>", read, error));
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    EXPECT_TRUE(read.m_Fragments.empty());
    EXPECT_TRUE(read.m_Conditions.empty());
    EXPECT_FALSE(LoadScriptTemplate(kTemplates + "/missing.xml", read, error));
    // Names are compared exactly.
    ASSERT_TRUE(ParseScriptTemplate("<t><JSFragment>x</JSFragment><jsfragment>y</jsfragment></t>", read, error));
    EXPECT_TRUE(read.m_Fragments.empty());
}

TEST(ScriptTemplates, ListsTheXmlFilesOfTheFolderOnly) {
    TempDir dir;
    std::ofstream(dir.file("b.xml")) << "<t/>";
    std::ofstream(dir.file("a.xml")) << "<t/>";
    std::ofstream(dir.file("notes.txt")) << "x";
    std::filesystem::create_directories(dir.file("sub.xml"));
    EXPECT_EQ(ListScriptTemplates(dir.path()), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(ListScriptTemplates(dir.file("missing")).empty());
}

class CreateScriptDialogTest : public ::testing::Test {
protected:
    CreateScriptDialogTest() {
        SetConsoleShell([this](const std::string& verb, const std::string& path) {
            shellCalls.push_back(verb + " " + path);
            return true;
        });
    }
    ~CreateScriptDialogTest() override { SetConsoleShell({}); }

    TempDir dir;
    corvale::CScriptedUserInterface ui;
    std::vector<std::string> shellCalls;
};

TEST_F(CreateScriptDialogTest, TicksChooseTheScriptWrittenAndOpened) {
    CCreateScriptDialog dialog(kTemplates);
    ASSERT_EQ(dialog.GetTemplateList()->count(), 1);
    EXPECT_EQ(dialog.GetTemplateList()->currentText(), QStringLiteral("Layers"));
    QTreeWidget* tree = dialog.GetTree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Loop over the layers"));
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(tree->topLevelItem(1)->checkState(0), Qt::Unchecked);

    // Cancel in the save dialog keeps the dialog open and writes nothing.
    ui.saveAnswers = {"", dir.file("new.js")};
    EXPECT_FALSE(dialog.Generate());
    EXPECT_EQ(dialog.result(), 0);

    tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(dialog.Generate());
    EXPECT_EQ(ReadText(dir.file("new.js")), "var ws = Workspace;\nvar layer = ws.getLayer(0);\n"
                                            "alert(\"done { really }\");\n// always, in its place\n\n");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(shellCalls, std::vector<std::string>{"edit " + dir.file("new.js")});
    ASSERT_EQ(ui.saveRequests.size(), 2u);
    EXPECT_EQ(ui.saveRequests[0].defaultExtension, "js");
    EXPECT_EQ(ui.saveRequests[0].filter, "JavaScript Files (*.js)|*.js||");
}

TEST_F(CreateScriptDialogTest, LoopIsReindentedWhenTicked) {
    CCreateScriptDialog dialog(kTemplates);
    ui.saveAnswers = {dir.file("loop.js")};
    ASSERT_TRUE(dialog.Generate());
    EXPECT_EQ(ReadText(dir.file("loop.js")), "var ws = Workspace;\n"
                                             "for (var i = 0; i < ws.layerCount; i++) {\n"
                                             "\tvar layer = ws.getLayer(i);\n"
                                             "}\n\n"
                                             "// always, in its place\n\n");
}

TEST_F(CreateScriptDialogTest, EmptyTemplateFolderLeavesBothListsEmptyAndWritesAnEmptyFile) {
    CCreateScriptDialog dialog(dir.path());
    EXPECT_EQ(dialog.GetTemplateList()->count(), 0);
    EXPECT_EQ(dialog.GetTree()->topLevelItemCount(), 0);
    ui.saveAnswers = {dir.file("empty.js")};
    ASSERT_TRUE(dialog.Generate());
    EXPECT_TRUE(std::filesystem::exists(dir.file("empty.js")));
    EXPECT_EQ(ReadText(dir.file("empty.js")), "");
}

TEST_F(CreateScriptDialogTest, BrokenTemplateIsReportedAndLeavesTheTreeEmpty) {
    std::ofstream(dir.file("Broken.xml")) << "<t><conditionDefs><conditionDef name='a'>A</conditionDef>";
    CCreateScriptDialog dialog(dir.path());
    EXPECT_EQ(dialog.GetTemplateList()->count(), 1);
    EXPECT_EQ(dialog.GetTree()->topLevelItemCount(), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
}

TEST_F(CreateScriptDialogTest, UnwritableFileKeepsTheDialogOpen) {
    CCreateScriptDialog dialog(kTemplates);
    ui.saveAnswers = {dir.file("no-such-folder/x.js")};
    EXPECT_FALSE(dialog.Generate());
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Error opening file for writing."});
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(shellCalls.empty());
}

// Every template shipped with the program gives a script that compiles, with
// its features as they start and with every tick turned over.
class BundledTemplatesTest : public ScriptEngineTest {};

TEST_F(BundledTemplatesTest, EveryChoiceCompiles) {
    const std::string folder = std::string(CORVALE_TEST_DATA) + "/../../packaging/Templates/JavaScript";
    const std::vector<std::string> names = ListScriptTemplates(folder);
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ScriptTemplate read;
        std::string error;
        ASSERT_TRUE(LoadScriptTemplate(folder + "/" + name + ".xml", read, error)) << error;
        std::vector<ScriptCondition> chosen = DefaultConditions(read);
        for (int pass = 0; pass < 2; ++pass) {
            std::string text = AssembleScript(read, chosen);
            FormatScriptText(text);
            ScriptWorkspaceRecord record;
            CJSHandler handler;
            handler.SetWorkspaceRecord(&record);
            ASSERT_TRUE(handler.Initialize());
            EXPECT_TRUE(handler.Compile(text, name + ".js")) << ScriptOutput() << "\n" << text;
            for (ScriptCondition& condition : chosen)
                condition.m_State = condition.m_State == "true" ? "false" : "true";
        }
    }
}

} // namespace
