#include "core/query/QueryEngine.h"

#include "TempDir.h"
#include "core/NativeThemeFixture.h"
#include "core/query/QueryText.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

using namespace CorvaleSQL;

namespace {

// The attribute rows the conditions are evaluated against.
//   row 0: Sydney     ID 2   AREA -2.5   Pop 7  Population 100  [Pop 1990] 5  BIG INT64_MIN
//   row 1: Melbourne  ID 1   AREA 1e308  Pop 0  Population 200  [Pop 1990] 3  BIG 2^53 + 1
//   row 2: abc        ID -3  AREA 12.5   Pop 3  Population 300  [Pop 1990] 9  BIG 5000000000
// The column "inf" is there to catch an infinite result read back as a name.
NativePointTheme& Cities() {
    static NativePointTheme cities(
        {{"NAME", FT_String},
         {"ID", FT_Int},
         {"AREA", FT_Double},
         {"Pop", FT_Int},
         {"Population", FT_Int},
         {"Pop 1990", FT_Int},
         {"FLAG", FT_Boolean},
         {"BIG", FT_Int},
         {"inf", FT_Int}},
        {{"Sydney", "2", "-2.5", "7", "100", "5", "T", "-9223372036854775808", "50"},
         {"Melbourne", "1", "1e308", "0", "200", "3", "F", "9007199254740993", "50"},
         {"abc", "-3", "12.5", "3", "300", "9", "T", "5000000000", "50"}});
    return cities;
}

// The answer for one shape: "TRUE", "FALSE" or the error message.
std::string Answer(const std::string& condition, int position) {
    CQueryEngine engine;
    std::string error;
    if (!engine.Prepare(&Cities().theme, condition, error))
        return error;
    bool result = false;
    if (!engine.Evaluate(&Cities().theme, result, position, error))
        return error;
    return result ? "TRUE" : "FALSE";
}

struct ConditionCase {
    const char* condition;
    int position;
    const char* expected;
};

const char* const kMalformed = "Malformed SQL expression.";
const char* const kNoSense = "Expression makes no sense.\n\nIt does not evaluate to true or false.";

// Conditions as users type them, with the row they are evaluated for.
const ConditionCase kConditions[] = {
    // Empty and non-boolean results.
    {"", 0, kMalformed},
    {"  \t\r\n ", 0, kMalformed},
    {"1", 0, kNoSense},
    {"'TRUE'", 0, kNoSense},
    {"TRUE", 0, "TRUE"},
    {"true", 2, "TRUE"},
    {"FALSE", 1, "FALSE"},

    // Arithmetic: values are re-read from their text at every step.
    {"7 / 2 = 3", 0, "TRUE"},
    {"7.5 / 2.5 = 3", 0, "TRUE"},
    {"10 - 7 % 4 = 3", 0, "TRUE"},
    {"-1 - 2 = -3", 0, "TRUE"},
    {"5 % -2 = 1", 0, "TRUE"},
    {"AREA = -2.5", 0, "TRUE"},
    {"2 + 3 * 4 = 14", 0, "TRUE"},
    {"(2 + 3) * 4 = 20", 0, "TRUE"},
    {"0.1 + 0.2 = 0.3", 0, "TRUE"},
    {"ID * 2 + 1 = 5", 0, "TRUE"},
    {"ID / 2 = 0.5", 1, "FALSE"},
    {"-ID = 3", 2, "TRUE"},
    {"+ID = 2", 0, "TRUE"},
    {"AREA * 2 = 25", 2, "TRUE"},
    {"9223372036854775807 + 1 > 0", 0, "TRUE"},
    {"NAME + 1 > 0", 0, "Type mismatch in arithmetic expression."},
    {"1 + 'a' = 1", 0, "Type mismatch in arithmetic expression."},
    {"1 + AND = 1", 0, "Illegal use of reserved keyword."},
    {"1.5 % 1 = 0", 0, "Modulus only supported for integers."},
    {"AREA % 2 = 0", 0, "Modulus only supported for integers."},
    {"x + y = 1", 0, "Error in SQL expression."},
    {"x + 1 = 1", 0, "Type mismatch in arithmetic expression."},

    // Comparisons.
    {"NAME = 'sydney'", 0, "TRUE"},
    {"NAME < 'Tokyo'", 0, "TRUE"},
    {"NAME >= 'MELBOURNE'", 1, "TRUE"},
    {"NAME <> 'Sydney'", 0, "FALSE"},
    {"ID >= 2", 0, "TRUE"},
    {"ID <= 1.5", 1, "TRUE"},
    {"ID <> 1", 1, "FALSE"},
    {"Population > 150", 1, "TRUE"},
    {"FLAG = 'T'", 0, "TRUE"},
    {"NAME = 1", 0, "Type mismatch."},
    {"TRUE > FALSE", 0, "Illegal comparison operator on boolean type."},
    {"TRUE = true", 0, "TRUE"},
    {"TRUE <> FALSE", 0, "TRUE"},
    {"x = 1", 0, "Type mismatch."},
    {"x = y", 0, "FALSE"},
    {"ID = AND", 0, "'AND', invalid column name."},
    {"ID =", 0, kMalformed},
    {"= 1", 0, kMalformed},
    {"NAME = 'it''s'", 0, kMalformed},

    // LIKE.
    {"NAME LIKE 's*'", 0, "TRUE"},
    {"NAME LIKE 'S?DNEY'", 0, "TRUE"},
    {"NAME LIKE 'Syd'", 0, "FALSE"},
    {"NAME LIKE '*bourne'", 1, "TRUE"},
    {"NAME LIKE ''", 0, "FALSE"},
    {"ID LIKE 1", 1, "FALSE"},
    {"ID LIKE '1*'", 1, "Type mismatch."},

    // IN.
    {"ID IN (1, 2, 3)", 0, "TRUE"},
    {"ID IN (1, 3)", 0, "FALSE"},
    {"ID IN (2)", 0, "TRUE"},
    {"ID IN (3, 2, 'x')", 0, "TRUE"},
    {"ID IN ('x', 2)", 0, "Type mismatch."},
    {"NAME IN ('Perth', 'sydney')", 0, "TRUE"},
    {"ID IN (1 + 1, 5)", 0, "TRUE"},
    {"ID in (1, 2) AND NAME = 'Sydney'", 0, "TRUE"},
    {"ID IN ()", 0, "Expected value between parantheses."},
    {"ID IN 1", 0, "Missing '(' after 'IN'."},
    {"ID IN (1, 2", 0, "Missing ')'."},
    {"ID IN (,1)", 0, "Expected value before ','."},
    {"ID IN (1,)", 0, kMalformed},

    // Logic: AND and OR share one level, left to right.
    {"TRUE OR FALSE AND FALSE", 0, "FALSE"},
    {"FALSE AND FALSE OR TRUE", 0, "TRUE"},
    {"NOT NOT TRUE", 0, "TRUE"},
    {"NOT NOT NOT TRUE", 0, "FALSE"},
    {"NOT FALSE", 0, "TRUE"},
    {"NAME = 'abc' AND NOT ID = 2", 1, "FALSE"},
    {"NAME = 'abc' AND NOT ID = 2", 2, "TRUE"},
    {"NOT ID = 1 AND NAME = 'x'", 1, "TRUE"},
    {"ID = 2 AND (NAME = 'x' OR Pop = 7)", 0, "TRUE"},
    {"ID = 1 AND", 0, "Malformed (or unsupported functions in) SQL expression."},
    {"TRUE AND NOT", 0, kMalformed},
    {"TRUE AND 1", 0, "Error in SQL expression."},
    {"AND TRUE", 0, kMalformed},
    {"NOT", 0, kNoSense},
    {"ID = 2 and NAME Like 'S*' and SQRT(16) = 4 Or true", 0, "TRUE"},

    // Functions.
    {"sqrt(16) = 4", 0, "TRUE"},
    {"sqrt(2) = 1.414214", 0, "TRUE"},
    {"mod(7, 3) = 1", 0, "TRUE"},
    {"mod(ID, 2) = 0", 0, "TRUE"},
    {"mod(7.9, 2) = 1", 0, "TRUE"},
    {"strlen('abc') = 3", 0, "TRUE"},
    {"strlen(NAME) <= 4", 2, "TRUE"},
    {"strcat('a', 1) = 'a1'", 0, "TRUE"},
    {"strcat(NAME, '!', ID) = 'Sydney!2'", 0, "TRUE"},
    {"avg(1, 2) = 1.5", 0, "TRUE"},
    {"avg(1, 2, 2) = 1.66667", 0, "TRUE"},
    {"avg(ID, 4) = 3", 0, "TRUE"},
    {"min(3, 1, 2) = 1", 0, "TRUE"},
    {"max(3, 1, 2) = 3", 0, "TRUE"},
    {"max('b', 'a') = 'b'", 0, "TRUE"},
    {"min(NAME, 'Z') = 'Sydney'", 0, "TRUE"},
    {"max(ID, 10) = 10", 0, "TRUE"},
    {"sqrt(ID * 8) = 4", 0, "TRUE"},
    {"sqrt('4') = 2", 0, "Function argument type mismatch in call to sqrt().\nExpected number."},
    {"sqrt(1, 2) > 0", 0, "Wrong number of parameters in call to sqrt().\nExpected 1."},
    {"strlen() = 0", 0, "Wrong number of parameters in call to strlen().\nExpected 1."},
    {"sqrt(x) = 1", 0, "'x', invalid column name."},
    {"sqrt(TRUE) = 1", 0, "'TRUE', invalid column name."},
    {"strlen(ID) = 1", 0, "Function argument type mismatch in call to strlen()."},
    {"min(1) = 1", 0, "Too few parameters in call to min().\nExpected at least 2."},
    {"max(1) = 1", 0, "Too few parameters in call to max().\nExpected at least 2."},
    {"min(1, 'a') = 1", 0, "Function argument type mismatch in call to min()."},
    {"max(1, 'a') = 1", 0, "Function argument type mismatch in call to max()."},
    {"avg(1) = 1", 0, "Too few parameters in call to avg().\nExpected at least 2."},
    {"avg(NAME, 1) = 1", 0, "Expected numeric arguments in call to avg()."},
    {"strcat('a') = 'a'", 0, "Too few parameters in call to strcat().\nExpected at least 2."},
    {"mod(1) = 1", 0, "Incorrect parameter count in call to mod().\nExpected 2."},
    {"mod('a', 1) = 1", 0,
     "Function argument type mismatch in call to mod(). Expected mod(integer, integer)."},
    {"foo(1) = 1", 0, kMalformed},

    // Column names.
    {"[Pop] = 7", 0, "TRUE"},
    {"[Pop] = 100", 0, "FALSE"},
    {"[Population] = 100", 0, "TRUE"},
    {"[Pop 1990] >= 5", 0, "TRUE"},
    {"pop = 7", 0, "TRUE"},
    {"[nosuch] = 1", 0, "Type mismatch."},

    // Tokenizer faults.
    {"x = .5", 0, "Illegal character in WHERE statement."},
    {"a ] b", 0, "Unexpected closing bracket, ']', in WHERE statement."},
    {"[Pop = 1", 0, "Missing closing bracket, ']', in WHERE statement."},
    {"NAME = 'abc", 0, "Unmatched quote in WHERE statement."},
    {"NAME = 'a\nb'", 0, "Newline in constant."},
    {"NAME = \"a\"", 0, "Illegal character in WHERE statement."},
    {"ID == 2", 0, "Type mismatch."},

    // Faults that used to crash or mislead.
    {"Population / 0 = 1", 0, "Division by zero."},
    {"Population % 0 = 1", 0, "Division by zero."},
    {"1.5 / 0 > 1", 0, "Division by zero."},
    {"mod(ID, 0) = 1", 0, "Division by zero."},
    {"BIG / -1 = 1", 0, "Integer overflow."},
    {"BIG - 1 < 0", 0, "Integer overflow."},
    {"-BIG > 0", 0, "Integer overflow."},
    {"BIG % -1 = 0", 0, "TRUE"},
    {"mod(BIG, -1) = 0", 0, "TRUE"},
    {"BIG * 2 > 0", 2, "TRUE"},
    {"mod(BIG, 10) = 3", 1, "TRUE"},
    {"mod(5000000000, 3) = 2", 0, "TRUE"},
    {"mod(BIG, 7) = 2", 2, "TRUE"},
    // AREA * 10 overflows to infinity; its text "inf" must not read as the
    // column inf (which holds 50).
    {"AREA * 10 = 50", 1, "Result is not a finite number."},
    {"AREA + AREA > 0", 1, "Result is not a finite number."},
    {"sqrt(0 - 4) > 0", 0, "Result is not a finite number."},
    // No exponents in query text: 1e300 is the number 1 and the name e300.
    {"AREA > 1e300", 1, kMalformed},

    // An AND or OR decided by its first operand still raises what the rest
    // of the expression raises.
    {"ID = 1 AND Population / 0 = 1", 0, "Division by zero."},
    {"ID = 2 OR BIG - 1 < 0", 0, "Integer overflow."},
    {"ID = 1 AND NAME > 5", 0, "Type mismatch."},
    {"ID = 2 OR TRUE AND 1", 0, "Error in SQL expression."},
    {"ID = 1 AND (Pop > 1 OR NAME LIKE 'S*')", 0, "FALSE"},
    {"ID = 2 AND (Pop > 1 OR NAME LIKE 'x*')", 0, "TRUE"},
    {"ID * 2 + 1 > 4 AND AREA < 0 AND NAME LIKE 'S*'", 0, "TRUE"},
    {"ID * 2 + 1 > 4 AND AREA < 0 AND NAME LIKE 'S*'", 1, "FALSE"},
    {"Pop > 100 AND Population * 2 > 0 OR NAME LIKE 'a*'", 2, "TRUE"},
    {"1 < ID * 2 AND 100 = Population", 0, "TRUE"},

    // Patterns that only fix the start of the text, and others.
    {"NAME LIKE 's*'", 0, "TRUE"},
    {"NAME LIKE 'Sydney*'", 0, "TRUE"},
    {"NAME LIKE 'Sydneys*'", 0, "FALSE"},
    {"NAME LIKE 'SYD**'", 0, "TRUE"},
    {"NAME LIKE 'M*'", 0, "FALSE"},
    {"NAME LIKE '*'", 2, "TRUE"},
    {"NAME LIKE 'a*c'", 2, "TRUE"},
    {"NAME LIKE 'a?*'", 2, "TRUE"},
    {"NAME LIKE ''", 2, "FALSE"},
    {"'S*' LIKE NAME", 0, "FALSE"},

    // Integer arithmetic with a constant, on columns and on earlier results.
    {"ID * 2 + 1 = 5", 0, "TRUE"},
    {"1 - ID * 3 = 10", 2, "TRUE"},
    {"BIG + 1 - 1 = BIG", 1, "TRUE"},
    {"BIG * 1 * 1 > 0", 1, "TRUE"},
    {"BIG * 2 * 2 > 0", 2, "TRUE"},
    {"BIG * 3 > 0", 0, "Integer overflow."},
    {"0 - BIG > 0", 0, "Integer overflow."},
    {"BIG - 1 + 0 < 0", 0, "Integer overflow."},
    {"ID * 2 + AREA > 0", 0, "TRUE"},

    // AND and OR over answers of comparisons, IN lists and NOTs, and over
    // keywords and other tokens.
    {"ID = 2 OR Pop = 0 AND NAME LIKE 'S*'", 0, "TRUE"},
    {"ID = 2 OR Pop = 0 AND NAME LIKE 'S*'", 1, "FALSE"},
    {"ID IN (1, 2) AND Pop > 5", 0, "TRUE"},
    {"ID IN (1, 2) AND Pop > 5", 1, "FALSE"},
    {"TRUE AND ID = 2", 0, "TRUE"},
    {"ID = 2 AND FALSE", 0, "FALSE"},
    {"NOT ID = 2 OR Pop = 0", 1, "FALSE"},
    {"ID = 2 AND Pop", 0, "Error in SQL expression."},
};

void ExpectConditions() {
    for (const ConditionCase& c : kConditions)
        EXPECT_EQ(Answer(c.condition, c.position), c.expected) << "condition: " << c.condition << " at " << c.position;
}

} // namespace

TEST(QueryEngine, AnswersConditionsAgainstAttributeRows) { ExpectConditions(); }

// Numbers in queries and cells carry a decimal point whatever the desktop's
// locale says.
TEST(QueryEngine, AnswersTheSameUnderACommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "the de_DE.UTF-8 locale is missing; scripts/setup.sh generates it";
    ExpectConditions();
}

// After the first shape, an engine replays the steps that shape's reduction
// took; every shape must still get the answer (or message) of a reduction of
// its own, whichever shape came first.
TEST(QueryEngine, LaterShapesAnswerAsAFirstShapeWould) {
    for (const ConditionCase& c : kConditions) {
        for (const std::vector<int>& order : {std::vector<int>{0, 1, 2, 0}, std::vector<int>{2, 1, 0, 2},
                                              std::vector<int>{1, 2, 0, 1}}) {
            CQueryEngine engine;
            std::string error;
            if (!engine.Prepare(&Cities().theme, c.condition, error))
                continue;
            for (const int position : order) {
                bool result = false;
                const std::string answer = engine.Evaluate(&Cities().theme, result, position, error)
                                               ? (result ? "TRUE" : "FALSE")
                                               : error;
                EXPECT_EQ(answer, Answer(c.condition, position)) << c.condition << " at " << position;
            }
        }
    }
}

TEST(QueryEngine, TokenizesAsUsersType) {
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"[Pop 1990]>=5", {"[Pop 1990]", ">=", "5"}, {"[Pop 1990]"}},
        {"NAME='it''s'", {"NAME", "=", "'it'", "'s'"}, {"NAME"}},
        {"A<>B", {"A", "<>", "B"}, {"A", "B"}},
        {"A=<B", {"A", "=", "<", "B"}, {"A", "B"}},
        {"a==b", {"a", "=", "=", "b"}, {"a", "b"}},
        {"x = 1.5e3", {"x", "=", "1.5", "e3"}, {"x", "e3"}},
        {"12abc 1.", {"12", "abc", "1."}, {"abc"}},
        {"_a1 AND [x!y] (1,2)", {"_a1", "AND", "[x!y]", "(", "1", ",", "2", ")"}, {"_a1", "AND", "[x!y]"}},
        {"-a+b*c/d%e", {"-", "a", "+", "b", "*", "c", "/", "d", "%", "e"}, {"a", "b", "c", "d", "e"}},
        {"'a b' '' \t\r\n", {"'a b'", "''"}, {}},
        {"[caf\xc3\xa9]", {"[caf\xc3\xa9]"}, {"[caf\xc3\xa9]"}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        CQueryEngine engine;
        EXPECT_NO_THROW(engine.Tokenize(c.text)) << c.text;
        EXPECT_EQ(engine.m_Tokens, c.tokens) << c.text;
        EXPECT_EQ(engine.m_NameTokens, c.names) << c.text;
    }

    // The text ends at its first NUL byte.
    CQueryEngine engine;
    engine.Tokenize(std::string("a\0!", 3));
    EXPECT_EQ(engine.m_Tokens, std::vector<std::string>{"a"});

    const std::pair<const char*, const char*> faults[] = {
        {"1.2.3", "Illegal character in WHERE statement."},
        {"caf\xc3\xa9", "Illegal character in WHERE statement."},
        {"a;b", "Illegal character in WHERE statement."},
        {"a ] b", "Unexpected closing bracket, ']', in WHERE statement."},
        {"[abc", "Missing closing bracket, ']', in WHERE statement."},
        {"'abc", "Unmatched quote in WHERE statement."},
        {"'ab\rc'", "Newline in constant."},
    };
    for (const auto& [text, message] : faults) {
        try {
            engine.Tokenize(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const CQueryError& e) {
            EXPECT_STREQ(e.what(), message) << text;
        }
    }
}

TEST(QueryEngine, FunctionTableAndReservedWords) {
    const char* const names[] = {"sqrt", "min", "max", "avg", "strcat", "strlen", "mod"};
    const int counts[] = {1, -1, -1, -1, -1, 1, -1};
    for (int i = 0; i < kQueryFunctionCount; ++i) {
        EXPECT_STREQ(QueryFunctionTable[i].name, names[i]);
        EXPECT_EQ(QueryFunctionTable[i].argumentCount, counts[i]);
    }
    EXPECT_STREQ(QueryFunctionTable[0].help, "Square root.\r\n\r\nAccepts 1 parameter.");
    EXPECT_STREQ(QueryFunctionTable[3].help, "Average value of given parameters.\r\n\r\nAccepts 2 or more numeric parameters.");
    EXPECT_STREQ(QueryFunctionTable[6].help, "Performs modulus calculation.\r\n\r\nAccepts 2 parameters.");
    EXPECT_EQ(FindQueryFunction("StrLen"), &QueryFunctionTable[5]);
    EXPECT_EQ(FindQueryFunction("strle"), nullptr);

    for (const char* word : {"AND", "or", "Like", "not", "SELECT"})
        EXPECT_TRUE(CQueryEngine::IsReservedWord(word)) << word;
    for (const char* word : {"IN", "TRUE", "ANDY", ""})
        EXPECT_FALSE(CQueryEngine::IsReservedWord(word)) << word;
}

TEST(QueryEngine, PrepareFixesColumnsAndReferences) {
    CQueryEngine engine;
    std::string error;
    EXPECT_FALSE(engine.Prepare(nullptr, "TRUE", error));
    EXPECT_EQ(error, "Internal error.\nLayer was a null pointer.");

    ASSERT_TRUE(engine.Prepare(&Cities().theme, "id = 1 OR [Pop] > ID AND strlen(NAME) > 0", error)) << error;
    ASSERT_EQ(engine.m_Columns.size(), 9u);
    EXPECT_EQ(engine.m_Columns[0].type, QCT_String);
    EXPECT_EQ(engine.m_Columns[1].type, QCT_Integer);
    EXPECT_EQ(engine.m_Columns[2].type, QCT_Double);
    EXPECT_EQ(engine.m_Columns[6].type, QCT_String); // a logical column is text
    EXPECT_EQ(engine.m_Columns[5].name, "Pop 1990");
    // Name tokens in order, keywords and function names included; the ones
    // that name columns, duplicates kept.
    EXPECT_EQ(engine.m_NameTokens, (std::vector<std::string>{"id", "OR", "[Pop]", "ID", "AND", "strlen", "NAME"}));
    EXPECT_EQ(engine.m_ColumnRefs, (std::vector<std::int32_t>{1, 3, 1, 0}));
    EXPECT_EQ(engine.m_Layer, &Cities().theme);
}

TEST(QueryEngine, EvaluationLeavesThePreparedQueryIntact) {
    CQueryEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Prepare(&Cities().theme, "100 / (ID - 1) > 0", error));
    const std::vector<std::string> tokens = engine.m_Tokens;
    bool result = false;
    EXPECT_TRUE(engine.Evaluate(&Cities().theme, result, 0, error));
    EXPECT_TRUE(result);
    // Row 1 fails; the next shape still evaluates.
    EXPECT_FALSE(engine.Evaluate(&Cities().theme, result, 1, error));
    EXPECT_EQ(error, "Division by zero.");
    EXPECT_TRUE(engine.Evaluate(&Cities().theme, result, 2, error));
    EXPECT_FALSE(result);
    EXPECT_EQ(engine.m_Tokens, tokens);

    // A refused Prepare leaves nothing to evaluate.
    EXPECT_FALSE(engine.Prepare(&Cities().theme, "NAME = 'x", error));
    EXPECT_FALSE(engine.Evaluate(&Cities().theme, result, 0, error));
    EXPECT_EQ(error, "Malformed SQL expression.");
}

TEST(QueryEngine, CheckExpressionReadsEveryColumnAsZero) {
    struct Case {
        const char* condition;
        const char* expected; // "" for success
    };
    const Case cases[] = {
        {"NAME = 'x' AND ID > 5", ""},
        {"NAME = '0' AND [Pop 1990] = 0 AND AREA = 0", ""},
        {"100 / ID > 1", "Division by zero."},
        {"sqrt(NAME) > 1", "Function argument type mismatch in call to sqrt().\nExpected number."},
        {"ID + 1", "Expression makes no sense.\n\nIt does not evaluate to true or false."},
    };
    for (const Case& c : cases) {
        CQueryEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Prepare(&Cities().theme, c.condition, error)) << c.condition;
        EXPECT_EQ(engine.CheckExpression(error), *c.expected == '\0') << c.condition;
        if (*c.expected != '\0') {
            EXPECT_EQ(error, c.expected) << c.condition;
        }
    }
}

TEST(QueryEngine, SelectExpandsToTheDistinctValuesOfAColumn) {
    CQueryEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Prepare(&Cities().theme, "ID IN (select id)", error)) << error;
    // Distinct values in byte order, unquoted, with commas between.
    EXPECT_EQ(engine.m_Tokens, (std::vector<std::string>{"ID", "IN", "(", "-3", ",", "1", ",", "2", ")"}));
    for (int position = 0; position < 3; ++position)
        EXPECT_EQ(Answer("ID IN (SELECT ID)", position), "TRUE");
    // Brackets do not name a field here.
    EXPECT_EQ(Answer("Pop IN (SELECT [Pop 1990])", 2), "Expected value between parantheses.");
    EXPECT_EQ(Answer("Pop IN (SELECT nosuch)", 0), "Expected value between parantheses.");
    EXPECT_EQ(Answer("Pop IN (SELECT Population)", 0), "FALSE");
    EXPECT_EQ(Answer("ID IN (SELECT", 0), "Malformed SQL expression. Expected column name after SELECT.");
    // Text values are inserted without quotes and so read as names.
    EXPECT_EQ(Answer("NAME IN (SELECT NAME)", 0), "Type mismatch.");

    // Only visible shapes give values, and the list is fixed at Prepare.
    NativePointTheme small({{"A", FT_Int}}, {{"1"}, {"2"}});
    small.theme.m_VisiblePoints.erase(small.theme.m_VisiblePoints.begin());
    small.theme.ResetShapePositions();
    ASSERT_TRUE(engine.Prepare(&small.theme, "A IN (SELECT A)", error));
    EXPECT_EQ(engine.m_Tokens, (std::vector<std::string>{"A", "IN", "(", "2", ")"}));

    // A cell that reads SELECT is a value, not a second expansion.
    NativePointTheme loop({{"A", FT_String}}, {{"SELECT"}, {"A"}});
    ASSERT_TRUE(engine.Prepare(&loop.theme, "A IN (SELECT A)", error));
    EXPECT_EQ(engine.m_Tokens, (std::vector<std::string>{"A", "IN", "(", "A", ",", "SELECT", ")"}));
}

// Nesting and long chains are reduced without recursion per level, so a
// pasted or generated query cannot exhaust the stack.
TEST(QueryEngine, DeepNestingAndLongChainsEvaluate) {
    const int depth = 3000;
    std::string nested = std::string(depth, '(') + "ID" + std::string(depth, ')') + " = 2";
    EXPECT_EQ(Answer(nested, 0), "TRUE");
    EXPECT_EQ(Answer(std::string(depth, '(') + "ID = 2", 0), kMalformed);

    std::string nots;
    for (int i = 0; i < depth; ++i)
        nots += "NOT ";
    EXPECT_EQ(Answer(nots + "TRUE", 0), "TRUE");
    EXPECT_EQ(Answer("TRUE AND " + nots + "FALSE", 0), "FALSE");

    std::string sum = "0";
    for (int i = 0; i < depth; ++i)
        sum += " + 1";
    EXPECT_EQ(Answer(sum + " = 3000", 0), "TRUE");
}

// Double results are written with fifteen decimals by integer arithmetic; the
// text and the value it reads back as must be those of "%.15f".
TEST(QueryEngine, FifteenDecimalsAsPrintfWritesThem) {
    std::vector<double> values = {0.0, -0.0, 0.5, -2.5, 1e-16, -1e-16, 5e-16, 0.1, 0.2 + 0.1, 1.0 / 3.0,
                                  9.007199254740993, 123456.789, 1.0 / 65536.0, 3.0 / 65536.0, 1e15, 1e18,
                                  9.3e18, -1e300, 4.9e-324, 1.7976931348623157e308, 2000.123456789};
    std::mt19937_64 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::ldexp(std::generate_canonical<double, 64>(random), static_cast<int>(random() % 140) - 70);
        values.push_back(random() % 2 ? magnitude : -magnitude);
    }
    for (const double value : values) {
        std::string text;
        double readBack = 1.0;
        CorvaleSQL::detail::FormatFifteenDecimals(value, text, readBack);
        const std::string expected = corvale::FormatFixed(value, 15);
        ASSERT_EQ(text, expected) << value;
        double parsed = 0.0;
        ASSERT_TRUE(corvale::ParseDouble(expected, parsed));
        ASSERT_EQ(readBack, parsed) << expected;
        ASSERT_EQ(std::signbit(readBack), std::signbit(parsed)) << expected;
    }
}

// shapelib and GDAL write a missing number as asterisks (numbers.dbf, row 2);
// conditions must answer for it as for a blank numeric cell.
TEST(QueryEngine, AsteriskNumbersAnswerAsBlankCells) {
    const std::string data = CORVALE_TEST_DATA;
    TempDir dir;
    std::filesystem::copy_file(data + "/shapes/points.shp", dir.file("p.shp"));
    std::filesystem::copy_file(data + "/shapes/points.shx", dir.file("p.shx"));
    std::filesystem::copy_file(data + "/dbf/numbers.dbf", dir.file("p.dbf"));
    CTheme shapeFile;
    ASSERT_TRUE(shapeFile.OpenShapeFile(dir.file("p.shp")));
    ASSERT_EQ(shapeFile.GetAttributeTextAt(2, 0), "");
    NativePointTheme blank({{"ID", FT_Int}, {"BIG", FT_Int}, {"WIDE", FT_Double}, {"AREA", FT_Double}},
                           {{"", "", "", ""}});

    for (const char* condition : {"ID = 0", "ID > -1", "AREA = 0", "AREA + 1 = 1", "WIDE < 1", "ID * 2 = 0",
                                  "ID = BIG", "AREA = 0.0"}) {
        std::string answers[2];
        CTheme* themes[2] = {&shapeFile, &blank.theme};
        const int positions[2] = {2, 0};
        for (int k = 0; k < 2; ++k) {
            CQueryEngine engine;
            std::string error;
            bool result = false;
            if (!engine.Prepare(themes[k], condition, error) || !engine.Evaluate(themes[k], result, positions[k], error))
                answers[k] = error;
            else
                answers[k] = result ? "TRUE" : "FALSE";
        }
        EXPECT_EQ(answers[0], answers[1]) << condition;
    }
}

// Without a function call the engine reads number columns as numbers straight
// from the stored text; with one it keeps their text for the call. Both must
// answer alike for every kind of cell text, so each condition is asked alone
// and joined to a call that is always true.
TEST(QueryEngine, NumberColumnsReadAsNumbersAnswerAsTheirText) {
    NativePointTheme odd({{"N", FT_Int}, {"D", FT_Double}, {"S", FT_String}},
                         {{"12", "2.5", "x"},
                          {"  -7", " 1e3", "y"},
                          {"", "", ""},
                          {"12abc", "3.5e", "z"},
                          {"99999999999999999999", "1e400", "w"},
                          {"-9223372036854775808", "-0", "v"},
                          {"+5", "+.5", "u"},
                          {"#Error#", "nan", "t"},
                          {"0x10", "0x10", "s"}});
    const char* const conditions[] = {
        "N = 12",    "N < 0",         "N * 2 + 1 > 20", "D > 1",     "D = 0",  "D * 2 < 6",
        "N = D",     "N + D > 14",    "N % 5 = 2",      "N IN (12, -7, 0, 5)", "D IN (2.5, 1000)",
        "N > 5 AND D < 100 AND S LIKE '?'",             "NOT N = 0", "N / 2 = 6",
    };
    for (const char* condition : conditions) {
        for (int row = 0; row < 9; ++row) {
            std::string answers[2];
            const std::string queries[2] = {condition, std::string("(") + condition + ") AND strlen('x') = 1"};
            for (int k = 0; k < 2; ++k) {
                CQueryEngine engine;
                std::string error;
                bool result = false;
                if (!engine.Prepare(&odd.theme, queries[k], error) ||
                    !engine.Evaluate(&odd.theme, result, row, error))
                    answers[k] = error;
                else
                    answers[k] = result ? "TRUE" : "FALSE";
            }
            EXPECT_EQ(answers[0], answers[1]) << condition << " row " << row;
        }
    }
}

// dBase number cells are read straight from their bytes when they have the
// plain right-aligned form; any value read that way is the one the text
// reading gives, and every other form is declined for the text reading.
TEST(QueryEngine, RightAlignedNumberCellsReadAsTheirText) {
    struct Case {
        const char* field;
        bool integer;
        bool real;
    };
    const Case cases[] = {
        {"        42", true, true},    {"       -42", true, true},     {"       +42", true, true},
        {"0", true, true},             {"    750.125", false, true},  {"   -0.5", false, true},
        {"  -0", true, true},          {"", false, false},            {"          ", false, false},
        {"    -", false, false},       {"   - 5", false, false},      {"  --5", false, false},
        {"  5 ", false, false},        {" 1 2", false, false},        {"   5.", false, false},
        {"   .5", false, false},       {"  1.2.3", false, false},     {" 1e3", false, false},
        {"**********", false, false},  {"x12", false, false},         {"12x", false, false},
        {"123456789012345678", true, false}, {"1234567890123456789", false, false},
        {"123456789012345", true, true},     {"1234567.89012345", false, true}, {"1234567.890123456", false, false},
        {"-9.99999999999999", false, true},
    };
    for (const Case& c : cases) {
        const std::string_view field(c.field);
        std::int64_t integer = 7;
        double real = 7.0;
        EXPECT_EQ(detail::ReadRightAlignedInt64(field, integer), c.integer) << '"' << field << '"';
        EXPECT_EQ(detail::ReadRightAlignedDouble(field, real), c.real) << '"' << field << '"';
        if (c.integer) {
            EXPECT_EQ(integer, detail::ReadLeadingInt64(field)) << field;
        } else {
            EXPECT_EQ(integer, 7);
        }
        if (c.real) {
            EXPECT_EQ(real, detail::ReadLeadingDouble(field)) << field;
            EXPECT_EQ(std::signbit(real), std::signbit(detail::ReadLeadingDouble(field))) << field;
        } else {
            EXPECT_EQ(real, 7.0);
        }
    }
    // A field with a zero byte before the number is no plain form.
    const char zeroFirst[] = {'\0', ' ', '1', '2'};
    std::int64_t integer = 7;
    EXPECT_FALSE(detail::ReadRightAlignedInt64(std::string_view(zeroFirst, 4), integer));

    // Random decimals read exactly as the text reading reads them.
    std::mt19937_64 random(5);
    for (int k = 0; k < 20000; ++k) {
        const int decimals = static_cast<int>(random() % 8);
        const std::int64_t scaled = static_cast<std::int64_t>(random() % 100000000000000ull) - 50000000000000;
        std::string text = corvale::FormatFixed(static_cast<double>(scaled) / std::pow(10.0, decimals), decimals);
        text.insert(0, 20 - std::min<std::size_t>(20, text.size()), ' ');
        double real = 0.0;
        if (detail::ReadRightAlignedDouble(text, real)) {
            EXPECT_EQ(real, detail::ReadLeadingDouble(text)) << text;
        }
    }
}

// Wide cells are read eight bytes at a time: a byte that is no digit
// anywhere in a field of any width, and runs of digits of every length on
// either side of the point, are taken or declined exactly as the plain form
// says, and whatever is taken reads as the text reading reads it.
TEST(QueryEngine, RightAlignedNumberCellsOfEveryWidthAndByte) {
    const std::regex integerForm(" *[-+]?[0-9]{1,18}");
    const std::regex realForm(" *[-+]?([0-9]+)(\\.([0-9]+))?");
    const char odd[] = {'x', '\0', '/', ':', '.', ' ', '-', 'e', '\xB5', '\xFA', '\xC6', '\x7F'};
    std::mt19937_64 random(11);
    for (int k = 0; k < 60000; ++k) {
        const std::size_t wholeDigits = random() % 20;
        const std::size_t decimals = random() % 3 == 0 ? 0 : random() % 12;
        std::string text;
        if (random() % 3 == 0)
            text += random() % 2 == 0 ? '-' : '+';
        for (std::size_t d = 0; d < wholeDigits; ++d)
            text += static_cast<char>('0' + random() % 10);
        if (decimals > 0 || random() % 8 == 0)
            text += '.';
        for (std::size_t d = 0; d < decimals; ++d)
            text += static_cast<char>('0' + random() % 10);
        text.insert(0, random() % 12, ' ');
        if (random() % 2 == 0 && !text.empty())
            text[random() % text.size()] = odd[random() % sizeof odd];
        // Bytes before the field: a reader must neither use nor need them.
        const std::string record = "99" + text;
        const std::string_view field(record.data() + 2, text.size());

        std::int64_t integer = 7;
        const bool integerTaken = detail::ReadRightAlignedInt64(field, integer);
        EXPECT_EQ(integerTaken, std::regex_match(text, integerForm)) << '"' << text << '"';
        EXPECT_EQ(integer, integerTaken ? detail::ReadLeadingInt64(field) : 7) << '"' << text << '"';

        double real = 7.0;
        const bool realTaken = detail::ReadRightAlignedDouble(field, real);
        std::smatch parts;
        const bool plain = std::regex_match(text, parts, realForm) && parts[1].length() + parts[3].length() <= 15;
        EXPECT_EQ(realTaken, plain) << '"' << text << '"';
        if (realTaken) {
            EXPECT_EQ(real, detail::ReadLeadingDouble(field)) << '"' << text << '"';
            EXPECT_EQ(std::signbit(real), std::signbit(detail::ReadLeadingDouble(field))) << '"' << text << '"';
        } else {
            EXPECT_EQ(real, 7.0) << '"' << text << '"';
        }
    }
}
