#include "scripting/ConsoleCmdProcessor.h"

#include "ConsoleTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* line;
    const char* word;
    const char* rest;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << '"' << Escaped(c.line) << '"';
}

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesWordAndTrimmedRest) {
    std::string word = "old";
    std::string rest = "old";
    CConsoleCmdProcessor::SplitCommandLine(GetParam().line, word, rest);
    EXPECT_EQ(word, GetParam().word);
    EXPECT_EQ(rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLine,
    ::testing::Values(SplitCase{"dir *.shp", "dir", "*.shp"}, SplitCase{"help", "help", ""},
                      SplitCase{"", "", ""}, SplitCase{"   ", "", ""},
                      // The "." ends the word and stays with the rest.
                      SplitCase{"$t.show(true)", "$t", ".show(true)"},
                      SplitCase{"$t .show(true)", "$t", ".show(true)"},
                      SplitCase{".show()", "", ".show()"},
                      SplitCase{"run\tscript.scr", "run", "script.scr"},
                      // Line ends come off the right of either part.
                      SplitCase{"cd\r\n", "cd", ""},
                      SplitCase{"echo   two  words \t\r\n", "echo", "two  words"},
                      // An indented line still names its command.
                      SplitCase{"  \tdir  x", "dir", "x"}));

// A processor with the commands DIR, ECHO and a failing FAIL, and its log.
class ProcessorTest : public ::testing::Test {
protected:
    ProcessorTest() {
        processor.RegisterCommand(CRecordingCmd("dir", &log));
        processor.RegisterCommand(CRecordingCmd("echo", &log));
        processor.RegisterCommand(CRecordingCmd("fail", &log, false));
    }
    bool Run(const std::string& line) { return processor.Execute(line, output); }

    std::vector<std::string> log;
    std::string output;
    CConsoleCmdProcessor processor;
};

struct DispatchCase {
    const char* line;
    bool ok;
    const char* ran; // what the log holds afterwards; "" for nothing
};
void PrintTo(const DispatchCase& c, std::ostream* os) {
    *os << '"' << Escaped(c.line) << '"';
}

class Dispatch : public ProcessorTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(Dispatch, RunsTheCommandOfTheFirstWord) {
    EXPECT_EQ(Run(GetParam().line), GetParam().ok);
    const std::string ran = log.empty() ? std::string() : log.front();
    EXPECT_EQ(ran, GetParam().ran);
    EXPECT_LE(log.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Dispatch,
    ::testing::Values(DispatchCase{"dir *.shp", true, "DIR(*.shp)"},
                      DispatchCase{"DiR a", true, "DIR(a)"},
                      DispatchCase{"echo\thello\tworld", true, "ECHO(hello world)"},
                      DispatchCase{"fail now", false, "FAIL(now)"}, DispatchCase{"", true, ""},
                      DispatchCase{" \t ", true, ""}, DispatchCase{".dir", true, ""},
                      DispatchCase{"dirx", false, ""}));

TEST_F(ProcessorTest, UnknownCommandIsAppendedWithOrWithoutTheHelpHint) {
    output = "earlier\r\n";
    EXPECT_FALSE(Run("frobnicate all"));
    EXPECT_EQ(output, "earlier\r\nUnknown command 'frobnicate'.\r\n");

    output.clear();
    processor.m_HelpHint = true;
    EXPECT_FALSE(Run("Frob"));
    EXPECT_EQ(output, "Unknown command 'Frob'.\r\nTry 'help'.\r\n");
    EXPECT_TRUE(processor.GetVariables().empty());
}

TEST_F(ProcessorTest, FirstRegisteredCommandOfAWordWins) {
    std::vector<std::string> second;
    processor.RegisterCommand(CRecordingCmd("dir", &second));
    EXPECT_TRUE(Run("dir"));
    EXPECT_EQ(log, std::vector<std::string>{"DIR()"});
    EXPECT_TRUE(second.empty());
    // The processor keeps clones: four commands, each its own object.
    EXPECT_EQ(processor.GetCommands().size(), 4u);
}

struct AliasCase {
    std::vector<std::pair<std::string, std::string>> aliases; // {name, target}, oldest first
    const char* line;
    const char* ran;
};
void PrintTo(const AliasCase& c, std::ostream* os) {
    *os << '"' << Escaped(c.line) << '"';
}

class Aliases : public ProcessorTest, public ::testing::WithParamInterface<AliasCase> {};

TEST_P(Aliases, ResolveBeforeDispatch) {
    for (const auto& alias : GetParam().aliases)
        processor.SetAlias(alias.second, alias.first);
    EXPECT_TRUE(Run(GetParam().line)) << output;
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log.front(), GetParam().ran);
}

INSTANTIATE_TEST_SUITE_P(Lines, Aliases,
                         ::testing::Values(
                             // Names match without regard to case; the rest follows the target.
                             AliasCase{{{"ll", "dir -l"}}, "LL *.shp", "DIR(-l *.shp)"},
                             // Aliases of aliases.
                             AliasCase{{{"a", "b x"}, {"b", "dir y"}}, "a z", "DIR(y x z)"},
                             // The newest alias that matches wins.
                             AliasCase{{{"LL", "dir one"}, {"ll", "echo two"}}, "Ll", "ECHO(two)"},
                             // An empty target takes its word from the rest of the line.
                             AliasCase{{{"e", ""}}, "e e dir q", "DIR(q)"},
                             // A target with a "." ends its word there.
                             AliasCase{{{"say", "echo.hi"}}, "say", "ECHO(.hi)"}));

TEST_F(ProcessorTest, SetAliasReplacesAnExactNameAndRemoveKeepsTheOrder) {
    processor.SetAlias("dir", "a");
    processor.SetAlias("echo", "b");
    processor.SetAlias("fail", "c");
    processor.SetAlias("echo x", "b");
    processor.SetAlias("dir B", "B"); // another name: case counts here
    ASSERT_EQ(processor.GetAliases().size(), 4u);
    EXPECT_EQ(processor.GetAliases()[1].m_Target, "echo x");

    processor.RemoveAlias("b");
    processor.RemoveAlias("nothing");
    ASSERT_EQ(processor.GetAliases().size(), 3u);
    EXPECT_EQ(processor.GetAliases()[0].m_Name, "a");
    EXPECT_EQ(processor.GetAliases()[1].m_Name, "c");
    EXPECT_EQ(processor.GetAliases()[2].m_Name, "B");
}

TEST_F(ProcessorTest, AliasCycleGivesAMessageInsteadOfHanging) {
    struct Cycle {
        std::vector<std::pair<std::string, std::string>> aliases;
        const char* line;
    };
    const Cycle cycles[] = {
        {{{"loop", "loop"}}, "loop"},
        {{{"a", "b"}, {"b", "A"}}, "a"},
        // Each round makes the line longer.
        {{{"grow", "grow more"}}, "grow now"},
        {{{"x", "y 1"}, {"y", "z 2"}, {"z", "x 3"}}, "X"},
    };
    for (const Cycle& cycle : cycles) {
        CConsoleCmdProcessor fresh;
        std::vector<std::string> ran;
        fresh.RegisterCommand(CRecordingCmd("dir", &ran));
        for (const auto& alias : cycle.aliases)
            fresh.SetAlias(alias.second, alias.first);
        std::string answer;
        EXPECT_FALSE(fresh.Execute(cycle.line, answer)) << cycle.line;
        EXPECT_EQ(answer, "Alias loop: '" +
                              std::string(cycle.line).substr(0, std::string(cycle.line).find(' ')) +
                              "'.\r\n");
        EXPECT_TRUE(ran.empty());
        EXPECT_TRUE(fresh.GetVariables().empty());
    }
}

TEST_F(ProcessorTest, LongAliasChainWithoutACycleResolves) {
    // Each alias names the next; the last names dir.
    const int count = 200;
    for (int i = 0; i < count; ++i)
        processor.SetAlias(i + 1 < count ? "a" + std::to_string(i + 1) : "dir end",
                           "a" + std::to_string(i));
    EXPECT_TRUE(Run("a0 x"));
    EXPECT_EQ(log, std::vector<std::string>{"DIR(end x)"});
}

TEST_F(ProcessorTest, SuccessfulCommandsPushResultsAndFailuresDropThem) {
    int deletions = 0;
    CRecordingCmd make("make", &log);
    make.makeResult = [&] { return std::make_unique<CCountedVariable>(&deletions, "made"); };
    CRecordingCmd broken("broken", &log, false);
    broken.makeResult = [&] { return std::make_unique<CCountedVariable>(&deletions, "lost"); };
    processor.RegisterCommand(make);
    processor.RegisterCommand(broken);

    EXPECT_TRUE(Run("make"));
    EXPECT_TRUE(Run("dir")); // no result: an empty entry all the same
    EXPECT_FALSE(Run("broken"));
    EXPECT_EQ(deletions, 1); // the failed command's result is not kept
    EXPECT_FALSE(Run("unknown"));
    EXPECT_TRUE(Run(""));

    const auto& entries = processor.GetVariables();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].m_Name.empty());
    ASSERT_NE(entries[0].m_Object, nullptr);
    EXPECT_EQ(entries[0].m_Object->Print(), "made");
    EXPECT_TRUE(entries[1].m_Name.empty());
    EXPECT_EQ(entries[1].m_Object, nullptr);

    // Newest first: dir's empty entry, then make's object.
    EXPECT_EQ(processor.PopLastResult(), nullptr);
    std::unique_ptr<CConsoleCmdVariable> made = processor.PopLastResult();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Print(), "made");
    EXPECT_EQ(processor.PopLastResult(), nullptr);
    EXPECT_TRUE(processor.GetVariables().empty());
}

TEST_F(ProcessorTest, VariablesAreFoundByExactNameAndReplacedInPlace) {
    int deletions = 0;
    processor.SetVariable("$a", std::make_unique<CCountedVariable>(&deletions, "first"));
    processor.SetVariable("$b", nullptr);
    ASSERT_NE(processor.FindVariable("$a"), nullptr);
    EXPECT_EQ(processor.FindVariable("$a")->Print(), "first");
    EXPECT_EQ(processor.FindVariable("$A"), nullptr);
    EXPECT_EQ(processor.FindVariable("$b"), nullptr); // bound to nothing
    EXPECT_EQ(processor.FindVariable("$c"), nullptr);

    processor.SetVariable("$a", std::make_unique<CCountedVariable>(&deletions, "second"));
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(processor.FindVariable("$a")->Print(), "second");
    ASSERT_EQ(processor.GetVariables().size(), 2u);
    EXPECT_EQ(processor.GetVariables()[0].m_Name, "$a");
}

TEST(ConsoleCmdProcessor, DestructionDeletesEveryVariable) {
    int deletions = 0;
    {
        CConsoleCmdProcessor processor;
        std::vector<std::string> log;
        CRecordingCmd make("make", &log);
        make.makeResult = [&] { return std::make_unique<CCountedVariable>(&deletions); };
        processor.RegisterCommand(make);
        std::string output;
        processor.Execute("make", output);
        processor.SetVariable("$x", std::make_unique<CCountedVariable>(&deletions));
    }
    EXPECT_EQ(deletions, 2);
}

TEST(ConsoleCmdProcessor, DetachThemeClearsOnlyTheVariablesOfThatTheme) {
    DocumentWithTheme roads;
    auto* rivers = new CTheme;
    rivers->m_ShapeType = SHT_Polyline;
    roads.document.m_themes.push_back(rivers);

    CConsoleCmdProcessor processor;
    int deletions = 0;
    processor.SetVariable("$r",
                          std::make_unique<CConsoleCmdThemeVariable>(roads.theme, &roads.document));
    processor.SetVariable("$r2",
                          std::make_unique<CConsoleCmdThemeVariable>(roads.theme, &roads.document));
    processor.SetVariable("$w",
                          std::make_unique<CConsoleCmdThemeVariable>(rivers, &roads.document));
    processor.SetVariable("$p", std::make_unique<CCountedVariable>(&deletions));

    processor.DetachTheme(roads.theme);
    processor.DetachTheme(nullptr);
    for (const char* name : {"$r", "$r2"}) {
        auto* variable = dynamic_cast<CConsoleCmdThemeVariable*>(processor.FindVariable(name));
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->GetTheme(), nullptr);
    }
    EXPECT_EQ(dynamic_cast<CConsoleCmdThemeVariable*>(processor.FindVariable("$w"))->GetTheme(),
              rivers);
    EXPECT_EQ(deletions, 0);
}

TEST(ConsoleCmd, WordsMatchInUpperCaseWhateverTheLocale) {
    std::vector<std::string> log;
    CRecordingCmd dir("Dir", &log);
    EXPECT_EQ(dir.GetName(), "DIR");
    EXPECT_TRUE(dir.Matches("dir"));
    EXPECT_TRUE(dir.Matches("DIR"));
    EXPECT_FALSE(dir.Matches("dirs"));
    EXPECT_FALSE(dir.Matches(""));
    EXPECT_EQ(dir.GetHelp(), "No help available.");
    EXPECT_EQ(dir.GetShortHelp(), "");
    // Only ASCII letters change, so a Turkish dotless or dotted i never sneaks in.
    EXPECT_EQ(ConsoleUpperCase("dir \xC3\xA9t\xC3\xA9"), "DIR \xC3\xA9T\xC3\xA9");
}

TEST(ConsoleCmd, CurrentDirectoryIsKeptPerOwner) {
    ConsoleCurrentDirectory(101) = "/data";
    EXPECT_EQ(ConsoleCurrentDirectory(101), "/data");
    EXPECT_EQ(ConsoleCurrentDirectory(102), ""); // made empty on first use
    ForgetConsoleCurrentDirectory(101);
    EXPECT_EQ(ConsoleCurrentDirectory(101), "");
    ForgetConsoleCurrentDirectory(101);
    ForgetConsoleCurrentDirectory(102);
}

} // namespace
