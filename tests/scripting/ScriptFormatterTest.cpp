// The script formatter: indentation by braces, and the texts it must not
// look into (strings, comments).

#include "scripting/ScriptFormatter.h"

#include "ConsoleTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char* name;
    const char* input;
    const char* output;
};

const FormatCase kCases[] = {
    {"BlockIndentsItsBodyAndEndsWithAnEmptyLine", "a {\nb;\n}", "a {\n\tb;\n}\n\n"},
    {"SourceIndentationIsReplaced", "if (x) {\n        y();\n   \t z();\n}\n", "if (x) {\n\ty();\n\tz();\n}\n\n\n"},
    {"CarriageReturnsAreDropped", "a {\r\nb;\r\n}\r\n", "a {\n\tb;\n}\n\n\n"},
    {"NestedBracesCloseTogether", "f {\ng {\nx;\n}\n}", "f {\n\tg {\n\t\tx;\n\t}\n}\n\n"},
    {"EmptyLinesAreKept", "a;\n\n\nb;", "a;\n\n\nb;\n"},
    {"CloseBraceFollowedByCodeBreaksTheLine", "if (a) { b(); } else { c(); }",
     "if (a) { b(); }\n else { c(); }\n\n"},
    {"BracesInDoubleQuotesAreText", "s = \"{ {\";\nt;", "s = \"{ {\";\nt;\n"},
    {"BracesInSingleQuotesAreText", "s = '}';\nt;", "s = '}';\nt;\n"},
    {"EscapedQuoteDoesNotEndTheString", "s = \"a\\\" {\";\nt;", "s = \"a\\\" {\";\nt;\n"},
    {"EscapedBackslashEndsBeforeTheQuote", "s = \"a\\\\\";{\nt;\n}", "s = \"a\\\\\";{\n\tt;\n}\n\n"},
    {"UnterminatedStringRunsToTheEnd", "s = \"{ never\nclosed", "s = \"{ never\nclosed\n"},
    {"LineCommentHidesBraces", "a; // { not a block\nb;", "a; // { not a block\nb;\n"},
    {"BlockCommentHidesBracesAndIsIndented", "{\n/* { x\n   y */\nz;\n}",
     "{\n\t/* { x\n\ty */\n\t\n\tz;\n}\n\n"},
    {"StarOfTheOpeningDoesNotCloseTheComment", "/*/ { */x", "/*/ { */\nx\n"},
    {"DivisionIsText", "a = b / c;", "a = b / c;\n"},
    {"UnbalancedCloseNeverIndentsNegative", "}\n}\na;\n{\nb;\n}", "}\n}\n\na;\n{\n\tb;\n}\n\n"},
    {"EmptyText", "", "\n"},
};

class ScriptFormatterCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ScriptFormatterCases, Formats) {
    ScriptFormatter formatter;
    EXPECT_EQ(Escaped(formatter.Format(GetParam().input)), Escaped(GetParam().output));
    std::string text = GetParam().input;
    FormatScriptText(text);
    EXPECT_EQ(text, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptFormatterCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

} // namespace
