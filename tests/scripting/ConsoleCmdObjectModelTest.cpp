#include "scripting/ConsoleCmdObjectModel.h"

#include "scripting/ConsoleCmdProcessor.h"

#include "ConsoleTestSupport.h"

#include <gtest/gtest.h>

#include "workspace/gpi/GpiHost.h"

#include <cstdio>
#include <regex>

namespace {

// A processor with the $ command and $t bound to the theme "Roads".
class ObjectModelTest : public ::testing::Test {
protected:
    ObjectModelTest() {
        processor.RegisterCommand(CConsoleCmdObjectModel(7, &processor));
        processor.SetVariable(
            "$t", std::make_unique<CConsoleCmdThemeVariable>(roads.theme, &roads.document));
    }
    bool Run(const std::string& line) { return processor.Execute(line, output); }

    DocumentWithTheme roads;
    CConsoleCmdProcessor processor;
    std::string output;
};

struct FailureCase {
    const char* line;
    const char* message;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << '"' << Escaped(c.line) << '"';
}

class ObjectModelFailures : public ObjectModelTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ObjectModelFailures, AnswerWithTheirMessageAndChangeNothing) {
    EventLog events(roads.document);
    EXPECT_FALSE(Run(GetParam().line));
    EXPECT_EQ(output, GetParam().message);
    EXPECT_EQ(roads.theme->m_Name, "Roads");
    EXPECT_EQ(roads.theme->m_Color, 0x0000FFu);
    EXPECT_TRUE(roads.theme->m_Visible);
    EXPECT_TRUE(events.events.empty());
    // Only $t: a failure leaves no result entry.
    EXPECT_EQ(processor.GetVariables().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ObjectModelFailures,
    ::testing::Values(FailureCase{"$t", "Missing method or property.\r\n"},
                      FailureCase{"$t show(false)", "Missing method or property.\r\n"},
                      FailureCase{"$t.show", "Missing argument.\r\n"},
                      FailureCase{"$t.show(false", "Missing closing ')'.\r\n"},
                      FailureCase{"$t.show)(false", "Missing closing ')'.\r\n"},
                      FailureCase{"$u.show(false)", "Undefined variable: $u\r\n"},
                      // Variable and method names are exact.
                      FailureCase{"$T.show(false)", "Undefined variable: $T\r\n"},
                      FailureCase{"$t.Show(false)", "Show: unsupported method.\r\n"},
                      FailureCase{"$t.hide()", "hide: unsupported method.\r\n"},
                      FailureCase{"$t.show()", "Missing boolean argument.\r\n"},
                      FailureCase{"$t.show(False)", "Invlaid boolean argument.\r\n"},
                      FailureCase{"$t.show(0)", "Invlaid boolean argument.\r\n"},
                      FailureCase{"$t.set_color(#00FF00)", "Invalid color argument.\r\n"},
                      FailureCase{"$t.set_color( \"#00FF00 \" )", "Invalid color argument.\r\n"},
                      FailureCase{"$t.set_color('#00FF00')", "Argument type mismatch.\r\n"},
                      FailureCase{"$t.set_color(\"#00FG00\")", "Unknown color format.\r\n"},
                      FailureCase{"$t.set_color(\"0000FF0\")", "Unknown color format.\r\n"},
                      FailureCase{"$t.set_name()", "Missing string argument.\r\n"},
                      FailureCase{"$t.set_name(Streets)", "Argument type mismatch.\r\n"},
                      FailureCase{"$t.set_name(\")", "Argument type mismatch.\r\n"}));

TEST_F(ObjectModelTest, ThemeMethodsChangeTheThemeAndAnnounceIt) {
    EventLog events(roads.document);
    const std::string theme = std::to_string(reinterpret_cast<std::intptr_t>(roads.theme));

    EXPECT_TRUE(Run("$t.set_color(\"#FF8000\")")) << output;
    EXPECT_EQ(roads.theme->m_Color, 0x0080FFu); // red in the low byte
    ASSERT_FALSE(roads.theme->m_Styles.empty());
    EXPECT_EQ(roads.theme->m_Styles[0]->m_Color, 0x0080FFu); // the default style follows

    EXPECT_TRUE(Run("$t.set_name( \"Roads (main)\" )")) << output;
    EXPECT_EQ(roads.theme->m_Name, "Roads (main)");
    EXPECT_TRUE(Run("$t . show ( false ) "));
    EXPECT_FALSE(roads.theme->m_Visible);
    EXPECT_TRUE(Run("$t.set_name(\"\")"));
    EXPECT_EQ(roads.theme->m_Name, "");

    EXPECT_EQ(output, "");
    EXPECT_EQ(events.events,
              (std::vector<std::string>{"5:" + theme, "17:" + theme, "7:" + theme, "17:" + theme}));
    // Each successful call left an empty result entry after $t.
    EXPECT_EQ(processor.GetVariables().size(), 5u);
}

TEST_F(ObjectModelTest, DetachedThemeVariableRefusesAndPrintsNoTheme) {
    processor.DetachTheme(roads.theme);
    EXPECT_FALSE(Run("$t.show(true)"));
    EXPECT_EQ(output, "Theme: object is null.\r\n");
    EXPECT_EQ(processor.FindVariable("$t")->Print(), "Theme Object\r\n\tHandle:\t00000000\r\n");

    output.clear();
    CConsoleCmdThemeVariable noDocument(roads.theme, nullptr);
    std::unique_ptr<CConsoleCmdVariable> result;
    EXPECT_FALSE(noDocument.CallMethod("show", "true", output, result));
    EXPECT_EQ(output, "Theme: object is null.\r\n");
}

TEST_F(ObjectModelTest, ThemeVariablePrintsTheTheme) {
    roads.theme->m_Color = 0x0080FF;
    const std::string text = processor.FindVariable("$t")->Print();
    // The handle is the one plug-ins and scripts know the theme by.
    char handle[16];
    std::snprintf(handle, sizeof handle, "%08X", static_cast<unsigned>(GpiThemeHandle(roads.theme)));
    EXPECT_TRUE(std::regex_match(text, std::regex(std::string("Theme Object\r\n"
                                                              "\tHandle:\t") +
                                                  handle +
                                                  "\r\n"
                                                  "\tname:\tRoads\r\n"
                                                  "\tcolor:\t#FF8000\r\n"
                                                  "\tshown:\ttrue\r\n")))
        << text;
    roads.theme->m_Visible = false;
    EXPECT_NE(processor.FindVariable("$t")->Print().find("\tshown:\tfalse\r\n"), std::string::npos);
}

TEST(ConsoleCmdVariable, PlainVariableHasNoMethods) {
    CConsoleCmdVariable plain;
    std::string output = "before\r\n";
    std::unique_ptr<CConsoleCmdVariable> result;
    EXPECT_FALSE(plain.CallMethod("size", "", output, result));
    EXPECT_EQ(output, "before\r\nsize: unsupported method\r\n");
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(plain.Print(), "Undefined");
}

TEST(ConsoleCmdObjectModel, TakesEveryDollarWordAndIsNotListed) {
    CConsoleCmdObjectModel command(1, nullptr);
    EXPECT_TRUE(command.Matches("$"));
    EXPECT_TRUE(command.Matches("$anything"));
    EXPECT_FALSE(command.Matches("x$"));
    EXPECT_FALSE(command.Matches(""));
    EXPECT_EQ(command.GetShortHelp(), "");

    // Without a processor every variable is undefined.
    command.Matches("$v");
    std::string output;
    std::unique_ptr<CConsoleCmdVariable> result;
    EXPECT_FALSE(command.Execute(".show(true)", output, result));
    EXPECT_EQ(output, "Undefined variable: $v\r\n");
}

} // namespace
