#pragma once
// The attribute query language: one boolean expression over the attribute
// columns of a theme, answered per shape. Query selection, the attribute
// filter, the style rules and the plug-in theme query all use it.
//
//   [POP_1990] > 10000 AND NAME LIKE 'S*'
//   TYPE IN (1, 3, 5)
//   strlen(NAME) <= 4 OR mod(ID, 2) = 0
//
// The engine keeps no syntax tree. Prepare turns the text into a token list;
// Evaluate takes a copy of it and rewrites groups of tokens into the tokens of
// their values until one token, TRUE or FALSE, is left. Values travel as the
// text they would be written as: a number is re-read from its text at every
// step, so 7.5 / 2.5 reads back as the integer 3, and an integer column is a
// 64-bit integer. AND and OR share one level and bind left to right (a OR b
// AND c is (a OR b) AND c); users' stored queries rely on that.
//
// Every refusal is a false result with an English message for the user; the
// texts are part of the program's behaviour and are kept exactly.
//
// Usage: create an engine on the stack, Prepare once per theme and query, then
// Evaluate per visible position. An engine is used by one caller at a time.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CTheme;

namespace CorvaleSQL {

// Column types as the engine knows them. A theme's FT_Int column is an
// integer, FT_Double a double and every other type text. The engine also takes
// 2 and 3 as integer and 8 as double where it reads a type; it never makes them.
enum QueryColumnType : std::int32_t { QCT_Integer = 4, QCT_String = 7, QCT_Double = 9 };

// A refusal of the query language; what() is the message to show.
class CQueryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A built-in function: receives the argument texts (string literals without
// their quotes) and their types (7 text, 9 number) and returns the text of the
// result token; throws CQueryError with the message to show.
using QueryFunctionHandler = std::string (*)(const std::vector<std::string>& texts,
                                             const std::vector<std::int32_t>& types);

struct QueryFunctionInfo {
    const char* name;
    // -1: the handler checks the count itself.
    int argumentCount;
    QueryFunctionHandler handler;
    // Shown by the query input of the attribute pane, in table order.
    const char* help;
};

// sqrt, min, max, avg, strcat, strlen, mod, in that order.
constexpr int kQueryFunctionCount = 7;
extern const QueryFunctionInfo QueryFunctionTable[kQueryFunctionCount];

// "AND", "OR", "LIKE", "NOT", "SELECT". "IN" is a keyword but no reserved word.
constexpr int kQueryReservedWordCount = 5;
extern const char* const QueryReservedWords[kQueryReservedWordCount];

// The row whose name equals the text without regard to case; null when none.
const QueryFunctionInfo* FindQueryFunction(std::string_view name);

// One attribute column of the prepared theme; the index in m_Columns is the
// field index.
struct QueryColumn {
    // The current shape's value; set only for the columns the query names.
    // A number column of a query that calls no function is read as a number
    // straight from the stored text instead (numeric true): integer or
    // number then hold what reading value would give.
    std::string value;
    // The text the query reads: a view of value, or of the cell itself when
    // the cell stays where it is while the query runs.
    std::string_view text;
    bool numeric = false;
    std::int64_t integer = 0;
    double number = 0.0;
    std::string name;
    std::int32_t type = QCT_String;
};

class CQueryEngine {
public:
    CQueryEngine();
    virtual ~CQueryEngine();
    CQueryEngine(const CQueryEngine&) = delete;
    CQueryEngine& operator=(const CQueryEngine&) = delete;

    // Tokenizes the query and fixes the columns it reads. A SELECT with a
    // column name is replaced here, once, by that column's distinct values
    // over the theme's visible shapes. False with the message in error for a
    // null theme or a text the tokenizer refuses; an empty query prepares and
    // then fails in Evaluate.
    bool Prepare(CTheme* theme, const std::string& query, std::string& error);

    // Answers the prepared query for the shape at a visible position of theme.
    // False with the message in error when the expression cannot be reduced
    // for this shape or does not come out as TRUE or FALSE; the prepared query
    // stays usable for the next shape.
    bool Evaluate(CTheme* theme, bool& result, int position, std::string& error);

    // Reduces the prepared query once with every column it reads set to "0":
    // the check of a style-rule condition.
    bool CheckExpression(std::string& error);

    static bool IsReservedWord(std::string_view token);

    // Replaces m_Tokens and m_NameTokens with those of the text (up to its
    // first NUL byte). Throws CQueryError with the tokenizer's message.
    void Tokenize(const std::string& text);

    // The prepared token list, SELECTs expanded.
    std::vector<std::string> m_Tokens;
    // Every name and bracketed name of the query text, in order.
    std::vector<std::string> m_NameTokens;
    // The column of each name token that names one, duplicates kept.
    std::vector<std::int32_t> m_ColumnRefs;
    std::vector<QueryColumn> m_Columns;
    // Not owned.
    CTheme* m_Layer = nullptr;

private:
    struct Token;
    struct Work;
    struct Operand;

    // The first column named by the token without regard to case, or by the
    // text between its brackets; -1 when none.
    std::int32_t FindColumn(std::string_view token) const;
    std::size_t ApplySelect(std::vector<std::string>& tokens, std::size_t index);
    void BuildPreparedTokens();
    bool Run(bool& result, std::string& error);

    Token Reduce(std::vector<Token>& tokens, int depth);
    void ReduceGroups(std::vector<Token>& tokens, int depth);
    Token ReduceRange(std::vector<Token>& tokens, std::size_t begin, std::size_t end, int depth);
    void ReduceSigns(std::vector<Token>& tokens);
    void ReduceArithmetic(std::vector<Token>& tokens, bool multiplicative);
    void ReduceNot(std::vector<Token>& tokens, std::size_t index);
    bool ReduceComparisons(std::vector<Token>& tokens);
    void ReduceLogical(std::vector<Token>& tokens);
    void EvaluateFunctionCall(std::vector<Token>& tokens, std::size_t index, const QueryFunctionInfo& function);
    void EvaluateArithmetic(Token& left, Token& right, int op, Token& out);
    bool EvaluateComparison(int code, Token& left, Token& right);
    const Token& EvaluateLogical(const Token& left, const Token& right, int op) const;
    static int CountArguments(const std::vector<Token>& tokens, std::size_t begin, std::size_t end);

    Operand ArithmeticOperand(Token& token);
    Operand ComparisonOperand(Token& token);
    static Operand ColumnComparisonOperand(const QueryColumn& info);
    void ArithmeticOnOperands(const Operand& a, const Operand& b, int op, Token& out);
    // Makes out the integer result of an arithmetic step.
    static void SetIntegerResult(Token& out, std::int64_t value);
    static bool CompareOperands(int code, const Operand& a, const Operand& b);
    void CompilePlan();
    std::int32_t ColumnOf(Token& token) const;
    std::string_view TextOf(Token& token);
    Token MakeToken(std::string_view text);
    void Classify(std::string_view text, Token& token);
    const Token& MakeBool(bool value) const;
    Token& SlotToken(std::uint32_t slot);
    void Record(Token& value, int kind, int op, std::uint32_t left, std::uint32_t right = 0, std::uint32_t count = 0);
    const Token& Replay();

    std::unique_ptr<Work> m_Work;
};

} // namespace CorvaleSQL
